#include "instrument/acquisition/TestParameters.h"
#include "instrument/config/IniFile.h"

#include "tests/support/TempRoot.h"

#include <gtest/gtest.h>

namespace {

SettingsFields Fields(int testWay, int rangeIndex, const std::string& average) {
    SettingsFields fields;
    fields.testWay = testWay;
    fields.rangeIndex = rangeIndex;
    fields.averageTime = average;
    fields.refractive = "1.4685";
    fields.cableRatio = "1.0";
    fields.threshold = "0.1";
    return fields;
}

TEST(TestParametersTest, ChangingRangeClampsThePulseAndAttenuationChoices) {
    EXPECT_EQ(ClampPulseIndex(5, 8), 6);       // 20480 ns at 128 km becomes 5120 ns at 16 km
    EXPECT_EQ(ClampAttenuationIndex(5, 2), 1); // 0 dB becomes 5 dB
    EXPECT_EQ(ClampPulseIndex(4, 6), 4);
    EXPECT_EQ(ClampPulseIndex(8, 8), 8);
    EXPECT_EQ(ClampAttenuationIndex(6, 2), 2);
    EXPECT_EQ(RangeAt(5).pulseCount, 7);
    for (int i = 0; i < kRangeCount; ++i)
        EXPECT_EQ(RangeAt(i).points % 512, 0u);
}

TEST(TestParametersTest, AverageTimeLimitsCutTheFieldAndRefuseOnce) {
    TestParameterTable table;
    TestWayPair way;
    SettingsFields fields = Fields(kAveragingTest, 4, "150");
    ApplyResult result = ApplySettings(fields, table, way);
    EXPECT_EQ(result.ok, 0);
    EXPECT_EQ(result.messageKey, u"message_AvgTimeLimit100");
    EXPECT_EQ(fields.averageTime, "100");
    EXPECT_EQ(way.m_iAvgTime, 0); // nothing written on a refusal
    EXPECT_EQ(ApplySettings(fields, table, way).ok, 1);
    EXPECT_EQ(way.m_iAvgTime, 100);

    fields = Fields(kAveragingTest, 7, "150");
    EXPECT_EQ(ApplySettings(fields, table, way).ok, 1);
    fields = Fields(kAveragingTest, 8, "311");
    EXPECT_EQ(ApplySettings(fields, table, way).messageKey, u"message_AvgTimeLimit310");
    EXPECT_EQ(fields.averageTime, "310");
    fields = Fields(kAveragingTest, 6, "201");
    EXPECT_EQ(ApplySettings(fields, table, way).messageKey, u"message_AvgTimeLimit200");
    fields = Fields(kAutomaticTest, 8, "25");
    EXPECT_EQ(ApplySettings(fields, table, way).messageKey, u"message_AvgTimeLimit20");
    EXPECT_EQ(fields.averageTime, "20");
    fields = Fields(kRealtimeTest, 0, "25");
    EXPECT_EQ(ApplySettings(fields, table, way).ok, 1);
    EXPECT_EQ(way.TestMode, kRealtimeTest);
    EXPECT_EQ(way.m_iAvgTime, 25);
}

TEST(TestParametersTest, FieldChecksComeInOrderWithTheirBounds) {
    TestParameterTable table;
    TestWayPair way;
    SettingsFields all = Fields(kAveragingTest, 0, "");
    all.cableRatio.clear();
    all.refractive.clear();
    all.threshold.clear();
    const char16_t* order[] = {u"message_inputAvgTestTime", u"message_inputCableRatio",
                               u"message_inputRefractive", u"message_inputEventTh"};
    std::string* fill[] = {&all.averageTime, &all.cableRatio, &all.refractive, &all.threshold};
    const char* values[] = {"7", "1.0", "1.4", "0.1"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ApplySettings(all, table, way).messageKey, order[i]);
        *fill[i] = values[i];
    }
    EXPECT_EQ(ApplySettings(all, table, way).ok, 1);

    const auto check = [&](const std::string& refractive, const std::string& cable,
                           const std::string& threshold) {
        SettingsFields fields = Fields(kAveragingTest, 0, "7");
        fields.refractive = refractive;
        fields.cableRatio = cable;
        fields.threshold = threshold;
        return ApplySettings(fields, table, way).messageKey;
    };
    EXPECT_EQ(check("1.3", "1.0", "0.1"), u"");
    EXPECT_EQ(check("1.29", "1.0", "0.1"), u"message_RefactivLimit");
    EXPECT_EQ(check("1.5", "1.0", "0.1"), u"");
    EXPECT_EQ(check("1.51", "1.0", "0.1"), u"message_RefactivLimit");
    EXPECT_EQ(check("1.4", "0.8", "0.01"), u"");
    EXPECT_EQ(check("1.4", "0.79", "0.1"), u"message_CableRatioLimit");
    EXPECT_EQ(check("1.4", "1.01", "0.1"), u"message_CableRatioLimit");
    EXPECT_EQ(check("1.4", "1.0", "0.009"), u"message_EventThLimit");
    EXPECT_EQ(check("1.4", "1.0", "9.99"), u"");
    EXPECT_EQ(check("1.4", "1.0", "10"), u"message_EventThLimit");
}

// Whether typed on the settings screen, stored in config.ini or given to otdrtool, a NaN or an infinity
// is out of range, and nothing of the table changes.
TEST(TestParametersTest, NumbersThatAreNotFiniteAreOutOfRange) {
    struct Item {
        std::string SettingsFields::*field;
        const char16_t* limitKey;
    };
    const Item items[] = {{&SettingsFields::refractive, u"message_RefactivLimit"},
                          {&SettingsFields::cableRatio, u"message_CableRatioLimit"},
                          {&SettingsFields::threshold, u"message_EventThLimit"}};
    for (const Item& item : items) {
        for (const char* value : {"nan", "NAN", "-nan", "inf", "-inf", "+infinity", "1e999", "-1e999"}) {
            TestParameterTable table;
            TestWayPair way;
            SettingsFields fields = Fields(kAveragingTest, 5, "7");
            fields.*item.field = value;
            const ApplyResult result = ApplySettings(fields, table, way);
            EXPECT_EQ(result.ok, 0) << value;
            EXPECT_EQ(result.messageKey, item.limitKey) << value;
            EXPECT_EQ(table.Values(), TestParameterTable().Values()) << value;
            EXPECT_EQ(way.m_iAvgTime, 0) << value;
        }
    }
}

TEST(TestParametersTest, AStoredRefractiveIndexThatIsNoNumberIsNotMeasuredWith) {
    TempRoot root;
    root.Write("NandFlash/config.ini",
               Utf16Bytes("[param]\r\nmyRang=5\r\nmyRefractive=nan\r\nmyRefractive_1550=-NaN\r\n"));
    SettingsFields fields = LoadSettingsFields();
    TestParameterTable table;
    TestWayPair way;
    EXPECT_EQ(ApplySettings(fields, table, way).messageKey, u"message_RefactivLimit");
    fields.wavelengthIndex = 1;
    fields.refractive = StoredRefractive(1);
    EXPECT_EQ(ApplySettings(fields, table, way).messageKey, u"message_RefactivLimit");
    EXPECT_EQ(table.Values(), TestParameterTable().Values());
    EXPECT_EQ(way.m_iAvgTime, 0);
}

TEST(TestParametersTest, AppliedValuesGiveTheStoredBlock) {
    TestParameterTable table;
    TestWayPair way;
    SettingsFields fields = Fields(kAveragingTest, 5, "7");
    fields.wavelengthIndex = 1;
    fields.pulseIndex = 3;
    fields.attenuationIndex = 1;
    ASSERT_EQ(ApplySettings(fields, table, way).ok, 1);
    const tracefile::ParameterBlock block = ToParameterBlock(table, way);
    EXPECT_EQ(block.range, 1600000);
    EXPECT_EQ(block.m_iWaveLen, 155000000);
    EXPECT_EQ(block.m_iPulseWidth, 32000000);
    EXPECT_EQ(block.m_iAttenuation, 500000);
    EXPECT_EQ(block.m_iAvgTime, 700000);
    EXPECT_EQ(block.m_fRefractive, 146850);
    EXPECT_EQ(block.testWay, 0);
}

TEST(TestParametersTest, SettingsRoundTripThroughTheConfigurationFile) {
    TempRoot root;
    root.Write("NandFlash/config.ini",
               Utf16Bytes("[param]\r\nmyRefractive=1.4700\r\nmyRang=8\r\nmyPuWith=8\r\n"));
    SettingsFields fields = LoadSettingsFields();
    EXPECT_EQ(fields.rangeIndex, 8);
    EXPECT_EQ(fields.pulseIndex, 8);
    EXPECT_EQ(fields.refractive, "1.4700");
    EXPECT_EQ(fields.cableRatio, "1.0000");
    EXPECT_EQ(fields.threshold, "0.1000");
    EXPECT_EQ(fields.averageTime, "7");

    fields.wavelengthIndex = 1;
    fields.refractive = "1.46851";
    fields.cableRatio = "0.95";
    fields.threshold = "0.125";
    SaveSettingsFields(fields);
    const IniFile config("\\Nandflash\\config.ini");
    EXPECT_EQ(config.GetString(u"param", u"myRefractive_1550", u"-"), u"1.4685");
    EXPECT_EQ(config.GetString(u"param", u"myRefractive", u"-"), u"1.4700");
    EXPECT_EQ(config.GetString(u"param", u"myCableRatio", u"-"), u"0.950");
    EXPECT_EQ(config.GetString(u"param", u"myEventThreshold", u"-"), u"0.12");
    EXPECT_EQ(config.GetInt(u"param", u"myWaveLen", -1), 1);
    const SettingsFields back = LoadSettingsFields();
    EXPECT_EQ(back.refractive, "1.4685");
    EXPECT_EQ(back.wavelengthIndex, 1);
}

} // namespace
