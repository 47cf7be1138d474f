#pragma once
#include <string>

// The values of section "config" that the instrument reads once at start.
struct StartupSettings {
    int languageId = 0;
    int autoCloseOn = 1;
    float invalidMeter = 0.0f;
    int versionNumber = 1;
};

// Reads "\Nandflash\config.ini"; a language of 3 follows the locale id ("0804" is Chinese).
StartupSettings ReadStartupSettings(const std::string& localeId);

// Language 1 for "0804", else 0.
int LanguageForLocale(const std::string& localeId);
