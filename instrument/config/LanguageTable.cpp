#include "instrument/config/LanguageTable.h"

#include "instrument/config/SettingsKeys.h"

std::optional<std::string> LanguageTable::FileFor(int languageId) {
    if (languageId == settings::kChinese)
        return settings::kLanguageFileChinese;
    if (languageId == settings::kEnglish)
        return settings::kLanguageFileEnglish;
    return std::nullopt;
}

LanguageTable::LanguageTable(int languageId, std::u16string section)
    : languageId_(languageId), section_(std::move(section)) {
    if (const auto path = FileFor(languageId))
        file_.emplace(*path);
}

std::optional<std::u16string> LanguageTable::Text(const std::u16string& key) const {
    if (!file_)
        return std::nullopt;
    return file_->GetString(section_, key, settings::kMissingText);
}

std::u16string LanguageTable::TextOr(const std::u16string& key, const std::u16string& caption) const {
    return Text(key).value_or(caption);
}

std::u16string LanguageTable::TextOrOwn(const std::u16string& key, const char16_t* english,
                                        const char16_t* chinese) const {
    const std::optional<std::u16string> text = Text(key);
    if (text && *text != settings::kMissingText)
        return *text;
    return languageId_ == settings::kEnglish ? english : chinese;
}
