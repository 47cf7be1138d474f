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

// The samples are the team's shared test data beside the repository, not part of it: a checkout without
// them says so instead of failing.
class SorSamples : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::is_directory(kSamples))
            GTEST_SKIP() << "no SOR samples at " << kSamples << " (configure with -DSOR_SAMPLES_DIR=...)";
    }
};

TEST_F(SorSamples, EverySampleReadsAsItsReadmeLists) {
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

TEST_F(SorSamples, StringsAndOffsetsAreKeptAsStored) {
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

TEST_F(SorSamples, ResavedFileHoldsTheSameTraceAndOtherProprietaryBlocks) {
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

TEST_F(SorSamples, ChecksumStatusIsReportedNotRefused) {
    EXPECT_EQ(ReadSample("link-a-1550nm-30ns.sor").checksum, sor::ChecksumStatus::Matches);
    EXPECT_EQ(ReadSample("link-b-1310nm-10ns.sor").checksum, sor::ChecksumStatus::Mismatch);
}

TEST_F(SorSamples, WriteThenReadGivesEveryFieldAndSampleBack) {
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

// Little-endian fields for blocks made by hand.
struct Bytes {
    std::vector<uint8_t> v;
    Bytes& U16(uint16_t x) { return Put(x, 2); }
    Bytes& U32(uint32_t x) { return Put(x, 4); }
    Bytes& Put(uint64_t x, int width) {
        for (int i = 0; i < width; ++i)
            v.push_back(static_cast<uint8_t>(x >> (8 * i)));
        return *this;
    }
    Bytes& Raw(const std::string& text) {
        v.insert(v.end(), text.begin(), text.end());
        return *this;
    }
    Bytes& Str(const std::string& text) { return Raw(text).Put(0, 1); }
};

using Blocks = std::vector<std::pair<std::string, std::vector<uint8_t>>>;

// A file of these blocks with its map: issue 2 names the map and every block, issue 1 names them only in
// the map. A "Cksum" block gets the checksum of everything before it.
std::vector<uint8_t> Build(int issue, const Blocks& blocks) {
    Bytes map;
    size_t mapSize = (issue == 2 ? 4 : 0) + 2 + 4 + 2;
    for (const auto& [name, content] : blocks)
        mapSize += name.size() + 1 + 2 + 4;
    if (issue == 2)
        map.Str("Map");
    map.U16(issue * 100).U32(static_cast<uint32_t>(mapSize)).U16(static_cast<uint16_t>(blocks.size() + 1));
    for (const auto& [name, content] : blocks)
        map.Str(name)
            .U16(issue * 100)
            .U32(static_cast<uint32_t>((issue == 2 ? name.size() + 1 : 0) +
                                       (name == "Cksum" ? 2 : content.size())));
    std::vector<uint8_t> bytes = map.v;
    for (const auto& [name, content] : blocks) {
        if (issue == 2)
            bytes.insert(bytes.end(), name.begin(), name.end() + 1);
        const std::vector<uint8_t> stored = name == "Cksum" ? Bytes{}.U16(sor::Checksum(bytes)).v : content;
        bytes.insert(bytes.end(), stored.begin(), stored.end());
    }
    return bytes;
}

sor::SorFile SmallFile() {
    sor::SorFile file;
    file.gen.language = {'E', 'N'};
    file.gen.cableId = "cable 7";
    file.gen.userOffset = 120;
    file.sup.supplier = "Lumetra";
    file.fxd.actualWavelength = 13100;
    file.fxd.groupIndex = 146800;
    file.fxd.pulses = {{100, 50000, 4}};
    file.keyEvents.events.resize(2);
    file.keyEvents.events[0].code = {'1', 'F', '9', '9', '9', '9'};
    file.keyEvents.events[1].time = 100000;
    file.keyEvents.events[1].comment = "end";
    file.data.numberOfPoints = 4;
    file.data.traces = {{1000, {10, 2000, 3000, 65535}}};
    file.others = {{"Maker", 3, {1, 2, 3}}};
    return file;
}

sor::SorError ReadError(const std::vector<uint8_t>& bytes) {
    sor::SorFile file = SmallFile();
    const sor::SorFile held = file;
    sor::SorError error = sor::SorError::None;
    EXPECT_EQ(sor::Read(bytes, file, &error), -1);
    EXPECT_EQ(file.data, held.data) << "a refused file changed what was held";
    return error;
}

TEST(SorChecksum, WrittenMatchesFlippedByteMismatchesNoBlockIsAbsent) {
    EXPECT_EQ(sor::Checksum(std::vector<uint8_t>{'1', '2', '3', '4', '5', '6', '7', '8', '9'}), 0x29B1);
    std::vector<uint8_t> bytes = sor::Write(SmallFile());
    sor::SorFile file;
    ASSERT_EQ(sor::Read(bytes, file), 0);
    EXPECT_EQ(file.checksum, sor::ChecksumStatus::Matches);
    bytes[bytes.size() - 10] ^= 0x40; // a sample
    ASSERT_EQ(sor::Read(bytes, file), 0);
    EXPECT_EQ(file.checksum, sor::ChecksumStatus::Mismatch);

    const Bytes fxd = Bytes{}
                          .U32(0)
                          .Raw("mt")
                          .U16(1550)
                          .U32(0)
                          .U32(0)
                          .U16(1)
                          .U16(10)
                          .U32(100000)
                          .U32(1)
                          .U32(146800)
                          .U16(0)
                          .U32(0)
                          .U16(0)
                          .U32(0)
                          .U32(0)
                          .U32(0)
                          .U16(0)
                          .U16(0)
                          .U16(0)
                          .U16(0)
                          .U16(0)
                          .U16(0)
                          .Raw("ST")
                          .U32(0)
                          .U32(0)
                          .U32(0)
                          .U32(0);
    const Bytes data = Bytes{}.U32(1).U16(1).U32(1).U16(1000).U16(77);
    ASSERT_EQ(sor::Read(Build(2, {{"FxdParams", fxd.v}, {"DataPts", data.v}}), file), 0);
    EXPECT_EQ(file.checksum, sor::ChecksumStatus::Absent);
    EXPECT_EQ(file.data.traces.at(0).points, std::vector<uint16_t>{77});
}

TEST(SorRoundTrip, SmallFileKeepsEveryFieldAndItsProprietaryBlock) {
    const sor::SorFile file = SmallFile();
    sor::SorFile again;
    ASSERT_EQ(sor::Read(sor::Write(file), again), 0);
    EXPECT_EQ(again.gen, file.gen);
    EXPECT_EQ(again.sup, file.sup);
    EXPECT_EQ(again.fxd, file.fxd);
    EXPECT_EQ(again.keyEvents, file.keyEvents);
    EXPECT_EQ(again.data, file.data);
    EXPECT_EQ(again.others, file.others);
}

TEST(SorRoundTrip, UnstorableFieldsGiveNoBytes) {
    sor::SorFile file = SmallFile();
    file.sup.other = std::string("a\0b", 3);
    EXPECT_TRUE(sor::Write(file).empty());
    const TempRoot root;
    sor::SorError error = sor::SorError::None;
    EXPECT_EQ(sor::WriteFile(root.Path() / "x.sor", file, &error), -1);
    EXPECT_EQ(error, sor::SorError::NotWritable);
    EXPECT_FALSE(fs::exists(root.Path() / "x.sor"));
    file = SmallFile();
    file.keyEvents.events.resize(70000);
    EXPECT_TRUE(sor::Write(file).empty());
}

TEST(SorIssue1, UnnamedBlocksWithTheirIssueFieldsAreRead) {
    const Bytes gen = Bytes{}
                          .Raw("EN")
                          .Str("cab")
                          .Str("fib")
                          .U16(1310)
                          .Str("A")
                          .Str("B")
                          .Str("code")
                          .Raw("BC")
                          .U32(static_cast<uint32_t>(-50))
                          .Str("op")
                          .Str("note");
    const Bytes sup = Bytes{}.Str("Maker").Str("Box").Str("S1").Str("Mod").Str("S2").Str("1.0").Str("x");
    const Bytes fxd = Bytes{}
                          .U32(1000)
                          .Raw("mt")
                          .U16(1310)
                          .U32(7)
                          .U16(1)
                          .U16(30)
                          .U32(200000)
                          .U32(3)
                          .U32(146500)
                          .U16(800)
                          .U32(64)
                          .U32(50000)
                          .U32(9)
                          .U16(1)
                          .U16(2)
                          .U16(3)
                          .U16(4)
                          .U16(5)
                          .U16(6);
    const Bytes key = Bytes{}
                          .U16(1)
                          .U16(1)
                          .U32(4000)
                          .U16(200)
                          .Put(static_cast<uint16_t>(-300), 2)
                          .U32(static_cast<uint32_t>(-45000))
                          .Raw("1F9999")
                          .Raw("LS")
                          .U32(1)
                          .U32(2)
                          .U32(3)
                          .U32(4)
                          .U32(5)
                          .Str("ev")
                          .U32(700)
                          .U32(8)
                          .U32(9);
    const Bytes data = Bytes{}.U32(3).U16(1).U32(3).U16(1000).U16(5).U16(6).U16(7);
    const std::vector<uint8_t> bytes = Build(1, {{"GenParams", gen.v},
                                                 {"SupParams", sup.v},
                                                 {"FxdParams", fxd.v},
                                                 {"KeyEvents", key.v},
                                                 {"Own", {9, 9}},
                                                 {"DataPts", data.v},
                                                 {"Cksum", {}}});
    sor::SorFile file;
    sor::SorError error = sor::SorError::CannotRead;
    ASSERT_EQ(sor::Read(bytes, file, &error), 0) << sor::Describe(error);
    EXPECT_EQ(file.version, 1);
    EXPECT_EQ(file.checksum, sor::ChecksumStatus::Matches);
    EXPECT_EQ(file.gen.nominalWavelength, 1310);
    EXPECT_EQ(file.gen.comment, "note");
    EXPECT_EQ(file.gen.userOffset, -50);
    EXPECT_EQ(file.sup.other, "x");
    EXPECT_EQ(file.fxd.acquisitionOffset, 7);
    EXPECT_EQ(file.fxd.pulses, (std::vector<sor::PulseSetting>{{30, 200000, 3}}));
    EXPECT_EQ(file.fxd.groupIndex, 146500u);
    EXPECT_EQ(file.fxd.acquisitionRange, 50000u);
    EXPECT_EQ(file.fxd.endOfFibreThreshold, 6);
    ASSERT_EQ(file.keyEvents.events.size(), 1u);
    EXPECT_EQ(file.keyEvents.events[0].loss, -300);
    EXPECT_EQ(file.keyEvents.events[0].reflectance, -45000);
    EXPECT_EQ(file.keyEvents.events[0].markers[4], 5);
    EXPECT_EQ(file.keyEvents.events[0].comment, "ev");
    EXPECT_EQ(file.keyEvents.endToEndLoss, 700);
    EXPECT_EQ(file.keyEvents.endToEndMarkers[1], 9);
    EXPECT_EQ(file.others, (std::vector<sor::OtherBlock>{{"Own", 100, {9, 9}}}));
    EXPECT_EQ(file.data.traces.at(0).points, (std::vector<uint16_t>{5, 6, 7}));

    sor::SorFile issue2;
    ASSERT_EQ(sor::Read(sor::Write(file), issue2), 0);
    EXPECT_EQ(issue2.version, 2);
    EXPECT_EQ(issue2.gen, file.gen);
    EXPECT_EQ(issue2.fxd, file.fxd);
    EXPECT_EQ(issue2.keyEvents, file.keyEvents);
    EXPECT_EQ(issue2.data, file.data);
}

TEST(SorHostile, TruncatedAnywhereIsRefused) {
    const std::vector<uint8_t> bytes = sor::Write(SmallFile());
    for (size_t size = 0; size < bytes.size(); ++size) {
        SCOPED_TRACE(size);
        // A copy of exactly this size, so a read past it is a read past the allocation.
        const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + size);
        EXPECT_EQ(ReadError(cut), size < 12 ? sor::SorError::TooShort : sor::SorError::BlockOutsideFile);
    }
}

TEST(SorHostile, BadContentInsideItsBlockIsRefusedWithItsReason) {
    const Bytes fxdHead = Bytes{}.U32(0).Raw("mt").U16(1550).U32(0).U32(0);
    EXPECT_EQ(ReadError(Build(2, {{"SupParams", Bytes{}.Str("a").Raw("no end").v}, {"DataPts", {}}})),
              sor::SorError::StringPastBlock);
    EXPECT_EQ(ReadError(Build(2, {{"KeyEvents", Bytes{}.U16(60000).U32(0).v}})),
              sor::SorError::CountTooLarge);
    EXPECT_EQ(ReadError(Build(2, {{"DataPts", Bytes{}.U32(5).U16(1).U32(0x40000000).U16(1000).U16(1).v}})),
              sor::SorError::CountTooLarge);
    EXPECT_EQ(ReadError(Build(2, {{"FxdParams", Bytes(fxdHead).U16(0xFFFF).v}})),
              sor::SorError::CountTooLarge);
    EXPECT_EQ(ReadError(Build(2, {{"FxdParams", Bytes(fxdHead).U16(0).U32(1).v}})),
              sor::SorError::FieldPastBlock);
    EXPECT_EQ(ReadError(Build(2, {{"DataPts", Bytes{}.U32(0).U16(0).v}})), sor::SorError::MissingBlock);
    EXPECT_EQ(
        ReadError(Build(2, {{"DataPts", Bytes{}.U32(0).U16(0).v}, {"DataPts", Bytes{}.U32(0).U16(0).v}})),
        sor::SorError::DuplicateBlock);

    std::vector<uint8_t> renamed = sor::Write(SmallFile());
    const auto at =
        std::search(renamed.begin() + 20, renamed.end(), std::begin("SupParams"), std::end("SupParams"));
    ASSERT_NE(at, renamed.end());
    // The map's entries come first; the second occurrence is the block's own name.
    const auto own = std::search(at + 1, renamed.end(), std::begin("SupParams"), std::end("SupParams"));
    ASSERT_NE(own, renamed.end());
    *own = 'X';
    EXPECT_EQ(ReadError(renamed), sor::SorError::BlockNameMismatch);

    // A block the map lists with no bytes at all, not even its empty name's terminator.
    std::vector<uint8_t> empty = Build(2, {{"", {}}});
    std::fill(empty.begin() + 15, empty.begin() + 19, uint8_t{0});
    empty.pop_back();
    EXPECT_EQ(ReadError(empty), sor::SorError::StringPastBlock);

    sor::SorFile mismatched = SmallFile();
    mismatched.data.numberOfPoints = 5;
    EXPECT_EQ(ReadError(sor::Write(mismatched)), sor::SorError::PointCountMismatch);
}

TEST(SorHostile, MapThatDoesNotFitIsRefused) {
    std::vector<uint8_t> bytes = sor::Write(SmallFile());
    std::vector<uint8_t> huge = bytes;
    huge[9] = 0x7F; // the map's own size, far past the file
    EXPECT_EQ(ReadError(huge), sor::SorError::BlockOutsideFile);
    std::vector<uint8_t> many = bytes;
    many[10] = 0xFF; // more entries than the map holds
    EXPECT_EQ(ReadError(many), sor::SorError::BadMap);
    std::vector<uint8_t> longBlock = bytes;
    longBlock[4 + 2 + 4 + 2 + 10 + 2 + 3] = 0x7F; // GenParams' size in the map
    EXPECT_EQ(ReadError(longBlock), sor::SorError::BlockOutsideFile);
    std::vector<uint8_t> unknown = bytes;
    unknown[4] = 44; // map version 300
    unknown[5] = 1;
    EXPECT_EQ(ReadError(unknown), sor::SorError::UnknownVersion);
}

TEST(SorUnits, WavelengthInEitherUnitAndDistancesFromTheGroupIndex) {
    sor::FxdParams fxd;
    fxd.actualWavelength = 1550;
    EXPECT_DOUBLE_EQ(sor::WavelengthNm(fxd), 1550.0);
    fxd.actualWavelength = 1999;
    EXPECT_DOUBLE_EQ(sor::WavelengthNm(fxd), 1999.0);
    fxd.actualWavelength = 13129;
    EXPECT_DOUBLE_EQ(sor::WavelengthNm(fxd), 1312.9);
    fxd.actualWavelength = 2000;
    EXPECT_DOUBLE_EQ(sor::WavelengthNm(fxd), 200.0);

    EXPECT_EQ(sor::MetresPerPoint(fxd), 0.0);
    sor::KeyEvent event;
    event.time = 100000; // 10 us one way
    EXPECT_EQ(sor::EventDistanceKm(fxd, event), 0.0);
    fxd.groupIndex = 150000;
    fxd.pulses = {{10, 100000, 1}};
    EXPECT_NEAR(sor::EventDistanceKm(fxd, event), 299792458.0 * 1e-5 / 1.5 / 1000, 1e-9);
    EXPECT_NEAR(sor::MetresPerPoint(fxd), 299792458.0 * 1e-9 / 1.5, 1e-12);
}

} // namespace
