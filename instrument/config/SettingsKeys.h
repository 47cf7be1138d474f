#pragma once

// Files, sections, keys and built-in defaults of the instrument's settings and language files.
namespace settings {

inline constexpr const char* kConfigFile = "\\Nandflash\\config.ini";
inline constexpr const char* kLanguageFileEnglish = "\\Nandflash\\languageEN.ini";
inline constexpr const char* kLanguageFileChinese = "\\Nandflash\\languageCH.ini";

inline constexpr const char16_t* kConfig = u"config";
inline constexpr const char16_t* kLanguage = u"language";
inline constexpr const char16_t* kLanguageDefault = u"3";
inline constexpr const char16_t* kAutoClose = u"autocloseOnOrOff";
inline constexpr const char16_t* kAutoCloseDefault = u"1";
inline constexpr const char16_t* kInvalidMeter = u"invainmeter";
inline constexpr const char16_t* kInvalidMeterDefault = u"0.0";
inline constexpr const char16_t* kVersionNumber = u"verno";
inline constexpr const char16_t* kVersionNumberDefault = u"1";

inline constexpr const char16_t* kParam = u"param";
inline constexpr const char16_t* kTestWay = u"myTestWay";
inline constexpr const char16_t* kPulseWidth = u"myPuWith";
inline constexpr const char16_t* kAttenuation = u"myAtten";
inline constexpr const char16_t* kRange = u"myRang";
inline constexpr const char16_t* kWavelength = u"myWaveLen";
inline constexpr const char16_t* kRefractive = u"myRefractive";
inline constexpr const char16_t* kRefractiveDefault = u"1.4680";
inline constexpr const char16_t* kRefractive1550 = u"myRefractive_1550";
inline constexpr const char16_t* kRefractive1550Default = u"1.4685";
inline constexpr const char16_t* kCableRatio = u"myCableRatio";
inline constexpr const char16_t* kCableRatioDefault = u"1.0000";
inline constexpr const char16_t* kEventThreshold = u"myEventThreshold";
inline constexpr const char16_t* kEventThresholdDefault = u"0.1000";
inline constexpr const char16_t* kAverageTime = u"myAvgTime";
inline constexpr const char16_t* kAverageTimeDefault = u"7";

inline constexpr const char16_t* kSystemInfo = u"systemInfo";
inline constexpr const char16_t* kInfoVersion = u"edit_version";
inline constexpr const char16_t* kInfoEmail = u"edit_email";
inline constexpr const char16_t* kInfoTel = u"edit_tel";
inline constexpr const char16_t* kInfoUrl = u"edit_URL";

// What a screen shows for a text that no file provides.
inline constexpr const char16_t* kMissingText = u"flase";

inline constexpr int kEnglish = 0;
inline constexpr int kChinese = 1;
inline constexpr int kFollowLocale = 3;
inline constexpr const char* kChineseLocale = "0804";

} // namespace settings
