#include "instrument/config/StartupSettings.h"

#include "instrument/config/IniFile.h"
#include "instrument/config/SettingsKeys.h"

#include "platform/Numbers.h"
#include "platform/TextCodec.h"

#include <cstdio>

int LanguageForLocale(const std::string& localeId) {
    return localeId == settings::kChineseLocale ? settings::kChinese : settings::kEnglish;
}

StartupSettings ReadStartupSettings(const std::string& localeId) {
    const IniFile config(settings::kConfigFile);
    StartupSettings result;
    // An empty stored value keeps the built-in one.
    const auto read = [&](const char16_t* key, const char16_t* fallback, auto&& apply) {
        const std::u16string text = config.GetString(settings::kConfig, key, fallback);
        if (!text.empty())
            apply(text);
    };
    int language = settings::kFollowLocale;
    read(settings::kLanguage, settings::kLanguageDefault,
         [&](const std::u16string& t) { language = WideToInt(t); });
    read(settings::kAutoClose, settings::kAutoCloseDefault,
         [&](const std::u16string& t) { result.autoCloseOn = WideToInt(t); });
    read(settings::kInvalidMeter, settings::kInvalidMeterDefault, [&](const std::u16string& t) {
        size_t used = 0;
        const double meters = platform::ParseNumber(platform::Utf16ToUtf8(t), &used);
        if (used > 0)
            result.invalidMeter = static_cast<float>(meters);
    });
    read(settings::kVersionNumber, settings::kVersionNumberDefault,
         [&](const std::u16string& t) { result.versionNumber = WideToInt(t); });
    result.languageId = language == settings::kFollowLocale ? LanguageForLocale(localeId) : language;
    return result;
}
