#include "instrument/acquisition/TestParameters.h"

#include "instrument/config/IniFile.h"
#include "instrument/config/SettingsKeys.h"

#include "platform/Numbers.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

TestParameterTable TestParam;
TestWayPair TestWay;

namespace {

constexpr RangeRow kRanges[kRangeCount] = {
    {0.5f, 5, 2, 100, 2560, 40, 0.2f},   {1.0f, 5, 2, 100, 5120, 40, 0.2f},
    {2.0f, 5, 2, 100, 4096, 16, 0.5f},   {4.0f, 5, 2, 100, 8192, 16, 0.5f},
    {8.0f, 5, 2, 100, 16384, 16, 0.5f},  {16.0f, 7, 2, 100, 16384, 8, 1.0f},
    {32.0f, 9, 3, 200, 4096, 1, 8.0f},   {64.0f, 9, 3, 200, 8192, 1, 8.0f},
    {128.0f, 9, 3, 310, 16384, 1, 8.0f},
};
constexpr float kAttenuations[] = {10, 5, 0};

template <typename T, size_t N> T At(const T (&table)[N], int index) {
    return table[index < 0 ? 0 : (static_cast<size_t>(index) >= N ? N - 1 : static_cast<size_t>(index))];
}

std::u16string ToText(double value, int decimals) {
    return platform::Utf8ToUtf16(platform::FormatFixed(value, decimals));
}

double Number(const std::string& text) {
    return platform::ParseNumber(text);
}

} // namespace

std::array<float, 8> TestParameterTable::Values() const {
    std::array<float, 8> values{};
    for (size_t i = 0; i < items.size(); ++i)
        values[i] = items[i].value;
    return values;
}

const RangeRow& RangeAt(int rangeIndex) {
    return kRanges[rangeIndex < 0 ? 0 : (rangeIndex >= kRangeCount ? kRangeCount - 1 : rangeIndex)];
}

float RangeValue(int index) {
    return RangeAt(index).km;
}
float WavelengthValue(int index) {
    return index == 1 ? 1550.0f : 1310.0f;
}
float PulseWidthValue(int index) {
    return tracefile::kPulseWidths[static_cast<size_t>(std::clamp(index, 0, kPulseCount - 1))];
}
float AttenuationValue(int index) {
    return At(kAttenuations, index);
}

int ClampPulseIndex(int rangeIndex, int pulseIndex) {
    return std::min(pulseIndex, RangeAt(rangeIndex).pulseCount - 1);
}

int ClampAttenuationIndex(int rangeIndex, int attenuationIndex) {
    return std::min(attenuationIndex, RangeAt(rangeIndex).attenuationCount - 1);
}

ApplyResult ApplySettings(SettingsFields& fields, TestParameterTable& table, TestWayPair& way) {
    const auto refuse = [](const char16_t* key) { return ApplyResult{0, key}; };
    if (fields.averageTime.empty())
        return refuse(u"message_inputAvgTestTime");
    if (fields.cableRatio.empty())
        return refuse(u"message_inputCableRatio");
    if (fields.refractive.empty())
        return refuse(u"message_inputRefractive");
    if (fields.threshold.empty())
        return refuse(u"message_inputEventTh");
    const double refractive = Number(fields.refractive);
    const double cableRatio = Number(fields.cableRatio);
    const double threshold = Number(fields.threshold);
    const long average = std::strtol(fields.averageTime.c_str(), nullptr, 10);
    if (refractive < 1.2999999 || static_cast<float>(refractive) > 1.5f)
        return refuse(u"message_RefactivLimit");
    if (cableRatio < 0.799999 || cableRatio > 1.0)
        return refuse(u"message_CableRatioLimit");
    if (threshold < 0.009999 || threshold > 9.99)
        return refuse(u"message_EventThLimit");
    const auto cut = [&](int limit, const char16_t* key) {
        fields.averageTime = std::to_string(limit);
        return refuse(key);
    };
    if (fields.testWay == kAutomaticTest && average >= 21)
        return cut(20, u"message_AvgTimeLimit20");
    if (fields.testWay == kAveragingTest) {
        if (fields.rangeIndex <= 5 && average >= 101)
            return cut(100, u"message_AvgTimeLimit100");
        if ((fields.rangeIndex == 6 || fields.rangeIndex == 7) && average >= 201)
            return cut(200, u"message_AvgTimeLimit200");
        if (fields.rangeIndex == 8 && average >= 311)
            return cut(310, u"message_AvgTimeLimit310");
    }
    way.TestMode = fields.testWay;
    way.m_iAvgTime = static_cast<int>(average);
    table.items[kRangeItem].value = RangeValue(fields.rangeIndex);
    table.items[kWavelengthItem].value = WavelengthValue(fields.wavelengthIndex);
    table.items[kPulseWidthItem].value = PulseWidthValue(fields.pulseIndex);
    table.items[kAttenuationItem].value = AttenuationValue(fields.attenuationIndex);
    table.items[kRefractiveItem].value = static_cast<float>(refractive);
    table.items[kCableRatioItem].value = static_cast<float>(cableRatio);
    table.items[kThresholdItem].value = static_cast<float>(threshold);
    return ApplyResult{1, {}};
}

std::string StoredRefractive(int wavelengthIndex) {
    using namespace settings;
    const IniFile config(kConfigFile);
    return platform::Utf16ToUtf8(wavelengthIndex == 1
                                     ? config.GetString(kParam, kRefractive1550, kRefractive1550Default)
                                     : config.GetString(kParam, kRefractive, kRefractiveDefault));
}

SettingsFields LoadSettingsFields() {
    using namespace settings;
    const IniFile config(kConfigFile);
    SettingsFields fields;
    fields.testWay = config.GetInt(kParam, kTestWay, 0);
    fields.pulseIndex = config.GetInt(kParam, kPulseWidth, 0);
    fields.attenuationIndex = config.GetInt(kParam, kAttenuation, 0);
    fields.rangeIndex = config.GetInt(kParam, kRange, 0);
    fields.wavelengthIndex = config.GetInt(kParam, kWavelength, 0);
    fields.pulseIndex = ClampPulseIndex(fields.rangeIndex, fields.pulseIndex);
    fields.attenuationIndex = ClampAttenuationIndex(fields.rangeIndex, fields.attenuationIndex);
    fields.refractive = StoredRefractive(fields.wavelengthIndex);
    fields.cableRatio = platform::Utf16ToUtf8(config.GetString(kParam, kCableRatio, kCableRatioDefault));
    fields.threshold =
        platform::Utf16ToUtf8(config.GetString(kParam, kEventThreshold, kEventThresholdDefault));
    fields.averageTime = platform::Utf16ToUtf8(config.GetString(kParam, kAverageTime, kAverageTimeDefault));
    return fields;
}

bool SaveSettingsFields(const SettingsFields& fields) {
    using namespace settings;
    const IniFile config(kConfigFile);
    // Stops at the first key the flash refuses: the rest would fail the same way.
    return config.SetInt(kParam, kTestWay, fields.testWay) &&
           config.SetInt(kParam, kPulseWidth, fields.pulseIndex) &&
           config.SetInt(kParam, kAttenuation, fields.attenuationIndex) &&
           config.SetInt(kParam, kRange, fields.rangeIndex) &&
           config.SetInt(kParam, kWavelength, fields.wavelengthIndex) &&
           config.SetString(kParam, fields.wavelengthIndex == 1 ? kRefractive1550 : kRefractive,
                            ToText(Number(fields.refractive), 4)) &&
           config.SetString(kParam, kCableRatio, ToText(Number(fields.cableRatio), 3)) &&
           config.SetString(kParam, kEventThreshold, ToText(Number(fields.threshold), 2)) &&
           config.SetInt(kParam, kAverageTime,
                         static_cast<int>(std::strtol(fields.averageTime.c_str(), nullptr, 10)));
}

tracefile::ParameterBlock ToParameterBlock(const TestParameterTable& table, const TestWayPair& way) {
    return tracefile::ParameterBlock::FromParameters(table.Values(), way.m_iAvgTime, way.TestMode);
}
