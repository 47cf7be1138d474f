#include "shared/sor/SorFile.h"

#include "tests/support/TempRoot.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kSamples = SOR_SAMPLES_DIR;

sor::SorFile ReadSample(const std::string& name, sor::SorError* error = nullptr) {
    sor::SorFile file;
    EXPECT_EQ(sor::ReadFile(kSamples / name, file, error), 0) << name;
    return file;
}

std::string Text(std::span<const char> chars) {
    return {chars.begin(), chars.end()};
}

struct ExpectedEvent {
    double km;
    const char* code;
    double loss;
    double reflectance;
};

struct ExpectedSample {
    const char* name;
    double wavelengthNm;
    uint16_t pulseNs;
    double groupIndex;
    double metresPerPoint;
    uint32_t points;
    double spanKm;
    std::vector<ExpectedEvent> events;
};

// The values the samples' README lists, to its precision.
const std::vector<ExpectedSample> kExpected = {
    {"link-a-1550nm-30ns-resaved.sor",
     1550.0,
     30,
     1.46750,
     0.204,
     30000,
     6.13,
     {{0.0439, "1F9999", -0.215, -46.67},
      {0.0547, "0F9999", 0.374, 0.00},
      {3.7783, "1F9999", 1.238, 0.00},
      {3.8222, "1E9999", 0.000, -76.05}}},
    {"link-a-1550nm-30ns.sor",
     1550.0,
     30,
     1.46750,
     0.204,
     30000,
     6.13,
     {{0.0000, "1F9999", -0.215, -46.67},
      {0.0109, "0F9999", 0.374, 0.00},
      {3.7344, "2E9999", -0.950, -23.03}}},
    {"link-b-1310nm-10ns.sor",
     1312.9,
     10,
     1.46770,
     0.319,
     31343,
     10.00,
     {{0.0000, "1F9999", 0.000, -44.96},
      {0.1503, "1F9999", 0.652, -34.81},
      {3.7392, "2E9999", 0.000, -17.25},
      {3.9125, "1F9999", 0.000, -57.07},
      {7.3275, "1F9999", 0.000, -49.86},
      {7.5018, "1F9999", 0.000, -39.45}}},
    {"link-c-1310nm-100ns.sor",
     1310.0,
     100,
     1.46710,
     0.511,
     20001,
     10.22,
     {{1.0107, "1F9999", 0.434, -34.16},
      {6.9510, "1F9999", 0.087, -33.27},
      {7.9846, "1E9999", 13.684, 4.01}}},
    {"link-d-1310nm-10ns.sor",
     1308.4,
     10,
     1.46770,
     0.160,
     25903,
     4.13,
     {{0.0000, "1F9999", 0.203, -49.25},
      {0.4776, "0F9999", -0.336, 0.00},
      {0.5777, "0F9999", 0.110, 0.00},
      {0.7786, "0F9999", 0.342, 0.00},
      {0.8730, "0F9999", 0.060, 0.00},
      {1.1552, "0F9999", 0.099, 0.00},
      {1.2489, "0F9999", 0.058, 0.00},
      {1.4477, "1F9999", 0.511, -50.62},
      {3.6286, "2E9999", 0.000, -15.74}}},
    {"link-d-1550nm-20ns.sor",
     1548.6,
     20,
     1.46833,
     0.319,
     12952,
     4.13,
     {{0.0000, "1F9999", 0.152, -50.33},
      {0.4776, "0F9999", -0.363, 0.00},
      {0.5777, "0F9999", 0.078, 0.00},
      {0.7787, "0F9999", 0.380, 0.00},
      {0.8732, "0F9999", 0.044, 0.00},
      {1.1552, "0F9999", 0.088, 0.00},
      {1.2490, "0F9999", 0.044, 0.00},
      {1.4477, "1F9999", 0.447, -51.74},
      {3.6285, "2E9999", 0.000, -18.26}}},
    {"link-e-1650nm-10ns.sor",
     1651.3,
     10,
     1.46890,
     0.080,
     15692,
     1.25,
     {{0.0000, "1F9999", 0.000, -77.06},
      {0.0153, "1E9999", 0.000, -69.30},
      {0.5367, "1F9999", 0.000, -20.78}}},
};

TEST(SorSamples, EverySampleReadsAsItsReadmeLists) {
    for (const ExpectedSample& expected : kExpected) {
        SCOPED_TRACE(expected.name);
        sor::SorError error = sor::SorError::CannotRead;
        const sor::SorFile file = ReadSample(expected.name, &error);
        EXPECT_EQ(error, sor::SorError::None);
        EXPECT_EQ(file.version, 2);
        EXPECT_NEAR(sor::WavelengthNm(file.fxd), expected.wavelengthNm, 0.05);
        ASSERT_EQ(file.fxd.pulses.size(), 1u);
        EXPECT_EQ(file.fxd.pulses[0].width, expected.pulseNs);
        EXPECT_NEAR(sor::GroupIndex(file.fxd), expected.groupIndex, 0.000005);
        EXPECT_NEAR(sor::MetresPerPoint(file.fxd), expected.metresPerPoint, 0.0005);
        EXPECT_EQ(file.data.numberOfPoints, expected.points);
        ASSERT_EQ(file.data.traces.size(), 1u);
        EXPECT_EQ(file.data.traces[0].points.size(), expected.points);
        EXPECT_NEAR(sor::SpanKm(file), expected.spanKm, 0.005);
        ASSERT_EQ(file.keyEvents.events.size(), expected.events.size());
        for (size_t i = 0; i < expected.events.size(); ++i) {
            SCOPED_TRACE(i);
            const sor::KeyEvent& event = file.keyEvents.events[i];
            EXPECT_NEAR(sor::EventDistanceKm(file.fxd, event), expected.events[i].km, 0.00005);
            EXPECT_EQ(Text(event.code), expected.events[i].code);
            EXPECT_NEAR(event.loss / 1000.0, expected.events[i].loss, 0.0005);
            // The README rounds -50.625 down.
            EXPECT_NEAR(event.reflectance / 1000.0, expected.events[i].reflectance, 0.0051);
        }
    }
}

TEST(SorSamples, StringsAndOffsetsAreKeptAsStored) {
    const sor::SorFile file = ReadSample("link-a-1550nm-30ns.sor");
    EXPECT_EQ(Text(file.gen.language), "EN");
    EXPECT_EQ(file.gen.cableId, "C001 ");
    EXPECT_EQ(file.gen.fibreId, "009");
    EXPECT_EQ(file.gen.fibreType, 652);
    EXPECT_EQ(file.gen.nominalWavelength, 1550);
    EXPECT_EQ(file.gen.originatingLocation, "CAB000 ");
    EXPECT_EQ(file.gen.terminatingLocation, "CLS007 ");
    EXPECT_EQ(Text(file.gen.buildCondition), "NC");
    EXPECT_EQ(file.gen.userOffset, 24641);
    EXPECT_EQ(file.gen.userOffsetDistance, 503);
    EXPECT_EQ(file.sup.supplier, "Noyes");
    EXPECT_EQ(file.sup.otdrName, "OFL280C-100");
    EXPECT_EQ(file.sup.other, "Last Calibration Date:  2019-03-25 ");
    EXPECT_EQ(Text(file.fxd.distanceUnits), "mt");
    EXPECT_EQ(file.fxd.actualWavelength, 1550);
    EXPECT_EQ(file.fxd.acquisitionOffset, -2147);
    EXPECT_EQ(file.fxd.averages, 2704u);
    EXPECT_EQ(Text(file.fxd.traceType), "ST");
}

TEST(SorSamples, ResavedFileHoldsTheSameTraceAndOtherProprietaryBlocks) {
    const sor::SorFile original = ReadSample("link-a-1550nm-30ns.sor");
    const sor::SorFile resaved = ReadSample("link-a-1550nm-30ns-resaved.sor");
    ASSERT_EQ(resaved.data.numberOfPoints, original.data.numberOfPoints);
    ASSERT_EQ(resaved.fxd.pulses, original.fxd.pulses);
    // The resaving moved the zero: the first event's time shift, in points, is where the trace starts.
    const uint32_t shift = (resaved.keyEvents.events[0].time - original.keyEvents.events[0].time) * 10000 /
                           original.fxd.pulses[0].dataSpacing;
    EXPECT_EQ(shift, 215u);
    const std::vector<uint16_t>& before = original.data.traces.at(0).points;
    const std::vector<uint16_t>& after = resaved.data.traces.at(0).points;
    EXPECT_EQ(resaved.data.traces[0].scaleFactor, original.data.traces[0].scaleFactor);
    EXPECT_TRUE(std::equal(before.begin() + shift, before.end(), after.begin()));
    std::vector<std::string> originalOthers, resavedOthers;
    for (const sor::OtherBlock& block : original.others)
        originalOthers.push_back(block.name);
    for (const sor::OtherBlock& block : resaved.others)
        resavedOthers.push_back(block.name);
    EXPECT_EQ(originalOthers,
              (std::vector<std::string>{"FodParams", "Fod02Params", "Fod04Params", "Fod03Params"}));
    EXPECT_EQ(resavedOthers, (std::vector<std::string>{"ExfoNewProprietaryBlock 01"}));
}

TEST(SorSamples, ChecksumStatusIsReportedNotRefused) {
    EXPECT_EQ(ReadSample("link-a-1550nm-30ns.sor").checksum, sor::ChecksumStatus::Matches);
    EXPECT_EQ(ReadSample("link-b-1310nm-10ns.sor").checksum, sor::ChecksumStatus::Mismatch);
}

TEST(SorSamples, WriteThenReadGivesEveryFieldAndSampleBack) {
    const TempRoot root;
    for (const ExpectedSample& expected : kExpected) {
        SCOPED_TRACE(expected.name);
        const sor::SorFile file = ReadSample(expected.name);
        const fs::path copy = root.Path() / expected.name;
        sor::SorError error = sor::SorError::CannotRead;
        ASSERT_EQ(sor::WriteFile(copy, file, &error), 0);
        EXPECT_EQ(error, sor::SorError::None);
        sor::SorFile again;
        ASSERT_EQ(sor::ReadFile(copy, again), 0);
        EXPECT_EQ(again.version, 2);
        EXPECT_EQ(again.gen, file.gen);
        EXPECT_EQ(again.sup, file.sup);
        EXPECT_EQ(again.fxd, file.fxd);
        EXPECT_EQ(again.keyEvents, file.keyEvents);
        EXPECT_EQ(again.data, file.data);
        EXPECT_EQ(again.others, file.others);
        EXPECT_EQ(again.checksum, sor::ChecksumStatus::Matches);
    }
}

} // namespace
