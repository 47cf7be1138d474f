#pragma once
#include "shared/tracefile/ParameterBlock.h"
#include "shared/tracefile/RangeGeometry.h"

#include <array>
#include <cstdint>
#include <string>

// The eight current test parameters, in fixed item order.
enum TestParamItemIndex {
    kRangeItem = 0,
    kWavelengthItem = 1,
    kPulseWidthItem = 2,
    kAttenuationItem = 3,
    kAverageTimeItem = 4, // never set: the average time lives in m_iAvgTime
    kRefractiveItem = 5,
    kCableRatioItem = 6,
    kThresholdItem = 7,
};

struct TestParamItem {
    std::u16string label;
    std::u16string unit;
    float value = 0.0f;
};

struct TestParameterTable {
    std::array<TestParamItem, 8> items;
    float Value(int item) const { return items[static_cast<size_t>(item)].value; }
    std::array<float, 8> Values() const;
};

// Which test the next start runs (0 averaging, 1 real-time, 2 automatic) and the average time as typed.
struct TestWayPair {
    int TestMode = 2;
    int m_iAvgTime = 0;
};

enum TestWay { kAveragingTest = 0, kRealtimeTest = 1, kAutomaticTest = 2 };

// The process-wide table and test-way pair; written only by ApplySettings.
extern TestParameterTable TestParam;
extern TestWayPair TestWay;

// What each range allows and implies.
struct RangeRow {
    float km;
    int pulseCount;       // entries of the pulse list offered, from 10 ns up
    int attenuationCount; // entries of the attenuation list offered (10, 5, 0 dB)
    int averageLimit;     // averaging-test limit of m_iAvgTime
    uint32_t points;      // m_iDotNum
    int phases;           // interleave phases
    float spacing;        // nominal metres per point
};

constexpr int kRangeCount = 9;
constexpr int kPulseCount = static_cast<int>(tracefile::kPulseWidths.size());
const RangeRow& RangeAt(int rangeIndex);
float RangeValue(int index);
float WavelengthValue(int index);
float PulseWidthValue(int index);
float AttenuationValue(int index);

// The list indexes a new range keeps: a pulse beyond the shortened list takes its last entry, and
// 0 dB becomes 5 dB where it is not offered.
int ClampPulseIndex(int rangeIndex, int pulseIndex);
int ClampAttenuationIndex(int rangeIndex, int attenuationIndex);

// The settings screen's fields, as typed and chosen.
struct SettingsFields {
    int testWay = kAveragingTest;
    std::string averageTime; // digits only
    std::string refractive;
    std::string cableRatio;
    std::string threshold;
    int wavelengthIndex = 0;
    int rangeIndex = 0;
    int pulseIndex = 0;
    int attenuationIndex = 0;
};

struct ApplyResult {
    int ok = 0;
    // The language key (section "setotdr_body") of the message to show when ok is 0.
    std::u16string messageKey;
};

// Validates the fields in the instrument's order; on success writes the test way, the average time
// and items 0, 1, 2, 3, 5, 6, 7. A corrected average time is left in the fields, so the next apply
// passes.
ApplyResult ApplySettings(SettingsFields& fields, TestParameterTable& table, TestWayPair& way);

// The settings of section "param" of config.ini, and their save after a successful apply.
SettingsFields LoadSettingsFields();
// The refractive-index text stored for a wavelength (0 1310 nm, 1 1550 nm).
std::string StoredRefractive(int wavelengthIndex);
// False when the flash refused a key; the keys before it may be stored.
bool SaveSettingsFields(const SettingsFields& fields);

// The stored form of the current parameters, as the trace file keeps them.
tracefile::ParameterBlock ToParameterBlock(const TestParameterTable& table, const TestWayPair& way);
