#pragma once
#include "instrument/config/IniFile.h"

#include <optional>
#include <string>

// The texts of one screen: its section of the language file that the language id selects.
class LanguageTable {
public:
    // 0 English, 1 Chinese; any other id has no file, and the screen keeps its own captions.
    static std::optional<std::string> FileFor(int languageId);

    LanguageTable(int languageId, std::u16string section);

    bool HasFile() const { return file_.has_value(); }
    // The text of a key, "flase" when the file or the key is missing; nullopt without a file.
    std::optional<std::u16string> Text(const std::u16string& key) const;
    // The text, or the caption given when this language has no file.
    std::u16string TextOr(const std::u16string& key, const std::u16string& caption) const;
    // For keys that older language files lack: the text, or where the file lacks it (or there is none)
    // the program's own wording in English, or in Chinese for any other language.
    std::u16string TextOrOwn(const std::u16string& key, const char16_t* english,
                             const char16_t* chinese) const;

private:
    int languageId_;
    std::optional<IniFile> file_;
    std::u16string section_;
};
