#include "shared/sor/TraceConversion.h"

#include "shared/analysis/EventTable.h"
#include "shared/tracefile/RangeGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double kLight = 299792458.0;
constexpr float kRanges[] = {0.5f, 1.0f, 2.0f, 4.0f, 8.0f, 16.0f, 32.0f, 64.0f, 128.0f};

// Seconds between the instrument's samples of a range: range ÷ points of fibre at index 1.5.
double GridSeconds(float rangeKm) {
    return rangeKm * 1000.0 / tracefile::PointsForRange(rangeKm) * 1.5 / kLight;
}

// A SOR file of `count` points `spacing` apart (100 ps per 10000 points), point j being 5 dB + j x 0.001 dB
// below the top: a straight fibre whose level at any time is known without the converter.
sor::SorFile LinearFile(uint32_t count, uint32_t spacing, int32_t frontPanelOffset = 0) {
    sor::SorFile file;
    file.fxd.actualWavelength = 13100;
    file.fxd.pulses = {{.width = 80, .dataSpacing = spacing, .points = count}};
    file.fxd.groupIndex = 150000;
    file.fxd.frontPanelOffset = frontPanelOffset;
    file.data.numberOfPoints = count;
    sor::TraceData trace;
    for (uint32_t j = 0; j < count; ++j)
        trace.points.push_back(static_cast<uint16_t>(5000 + j));
    file.data.traces.push_back(trace);
    return file;
}

// The level the linear file has at a time after the front panel, counted up from its weakest point.
double LinearLevel(const sor::SorFile& file, double seconds) {
    const double pointSeconds = file.fxd.pulses[0].dataSpacing * 1e-14;
    const double x = (seconds + file.fxd.frontPanelOffset * 1e-10) / pointSeconds;
    const double weakestDb = 5.0 + (file.data.numberOfPoints - 1) * 0.001;
    return (weakestDb - (5.0 + x * 0.001)) / 0.0005;
}

tracefile::ParameterBlock Block(float rangeKm, float pulse = 320.0f) {
    tracefile::ParameterBlock block =
        tracefile::ParameterBlock::FromParameters({rangeKm, 1550, pulse, 10, 0, 1.4685f, 0.9f, 0.25f}, 30, 2);
    block.reserved[3] = 77;
    return block;
}

// A measured-looking trace: a falling fibre with a reflection, then noise at the floor; `top` sets the
// span, which decides whether 16-bit points hold it exactly.
std::vector<uint32_t> Trace(uint32_t count, uint32_t top) {
    std::vector<uint32_t> levels(count);
    uint32_t noise = 12345;
    for (uint32_t k = 0; k < count; ++k) {
        noise = noise * 1103515245u + 12345u;
        const uint32_t fall = static_cast<uint32_t>(static_cast<uint64_t>(k) * top / count);
        levels[k] = k < count * 3 / 4 ? top - fall : (noise >> 16) % 5000;
        if (k == count / 3)
            levels[k] = top;
    }
    return levels;
}

sor::SorFile ReadBack(const sor::SorFile& file) {
    sor::SorFile again;
    EXPECT_EQ(sor::Read(sor::Write(file), again), 0);
    return again;
}

TEST(SorImport, TraceIsResampledOntoTheGridFromTheFrontPanel) {
    // 0.5 ns points with the front panel 100 ns after the first: finer than the 1 km grid (blended
    // neighbours) and than the 16 km one (averaged), both exact on a straight line.
    const sor::SorFile file = LinearFile(8000, 50000, 1000);
    for (const float range : {1.0f, 16.0f}) {
        SCOPED_TRACE(range);
        sor::ImportedTrace imported;
        ASSERT_EQ(sor::ImportTrace(file, range, imported), 0);
        ASSERT_EQ(imported.samples.size(), tracefile::PointsForRange(range));
        const double grid = GridSeconds(range);
        const size_t last = static_cast<size_t>((7999 * 0.5e-9 - 100e-9) / grid);
        // Averaging over whole points may centre half a point (one level) off.
        for (const size_t k : {size_t{0}, size_t{1}, size_t{377}, last / 2, last - 1})
            EXPECT_NEAR(imported.samples[k], LinearLevel(file, k * grid), 1.0) << k;
        // Past the trace lies the noise floor.
        for (size_t k = last + 2; k < imported.samples.size(); ++k)
            ASSERT_EQ(imported.samples[k], 0u) << k;
        EXPECT_EQ(imported.block.range, static_cast<int32_t>(range * 100000));
    }
}

TEST(SorImport, RangeIsTheShortestThatHoldsTheTraceUnlessGiven) {
    // 1 ns points: the 1 km grid ends at 5119.5 samples of 0.977 ns.
    const uint32_t fits = static_cast<uint32_t>(5119.5 * GridSeconds(1.0f) / 1e-9);
    const auto importedRange = [](const sor::SorFile& file, float given, bool* cut = nullptr) {
        sor::ImportedTrace imported;
        EXPECT_EQ(sor::ImportTrace(file, given, imported), 0);
        if (cut)
            *cut = imported.cut;
        return tracefile::BlockRangeKm(imported.block, tracefile::ReaderVariant::Pc);
    };
    bool cut = true;
    EXPECT_EQ(importedRange(LinearFile(fits + 1, 100000), 0.0f, &cut), 1.0f);
    EXPECT_FALSE(cut);
    EXPECT_EQ(importedRange(LinearFile(fits + 2, 100000), 0.0f), 2.0f);
    EXPECT_EQ(importedRange(LinearFile(fits + 1, 100000), 0.5f, &cut), 0.5f);
    EXPECT_TRUE(cut);
    EXPECT_EQ(importedRange(LinearFile(fits + 1, 100000), 64.0f, &cut), 64.0f);
    EXPECT_FALSE(cut);

    // 200 km of points 1 us apart: cut at 128 km, its length said at the file's index.
    sor::ImportedTrace imported;
    ASSERT_EQ(sor::ImportTrace(LinearFile(1000, 100000000), 0.0f, imported), 0);
    EXPECT_EQ(imported.block.range, 12800000);
    EXPECT_TRUE(imported.cut);
    EXPECT_NEAR(imported.traceKm, 999 * 1e-6 * kLight / 1.5 / 1000.0, 1e-9);

    sor::ConversionError error = sor::ConversionError::None;
    EXPECT_EQ(sor::ImportTrace(LinearFile(100, 100000), 3.0f, imported, &error), -1);
    EXPECT_EQ(error, sor::ConversionError::UnknownRange);
}

TEST(SorImport, ParametersAreTheNearestOnesTheInstrumentRecords) {
    struct Case {
        uint16_t wavelength;
        uint16_t pulse;
        uint16_t lossThreshold;
        uint16_t averagingTime;
        int32_t waveWord, pulseWord, thresholdWord, averageWord;
    };
    const Case cases[] = {
        {16513, 30, 50, 180, 155000000, 1000000, 5000, 18000000},
        {1310, 100, 0, 0, 131000000, 8000000, 10000, 0},
        // The midpoint of two goes to the smaller; a threshold the instrument cannot set is replaced.
        {1430, 45, 20000, 65535, 131000000, 1000000, 10000, 2147400000},
        {15500, 3000, 10, 1, 155000000, 128000000, 1000, 100000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wavelength);
        sor::SorFile file = LinearFile(3000, 100000);
        file.fxd.actualWavelength = c.wavelength;
        file.fxd.pulses[0].width = c.pulse;
        file.fxd.lossThreshold = c.lossThreshold;
        file.fxd.averagingTime = c.averagingTime;
        file.fxd.groupIndex = 146750;
        sor::ImportedTrace imported;
        ASSERT_EQ(sor::ImportTrace(file, 0.0f, imported), 0);
        EXPECT_EQ(imported.block.m_iWaveLen, c.waveWord);
        EXPECT_EQ(imported.block.m_iPulseWidth, c.pulseWord);
        EXPECT_EQ(imported.block.m_fEventThreshold, c.thresholdWord);
        EXPECT_EQ(imported.block.m_iAvgTime, c.averageWord);
        EXPECT_EQ(imported.block.m_fRefractive, 146750); // not 146749 of a float product
        EXPECT_EQ(imported.block.m_iAttenuation, 500000);
        EXPECT_EQ(imported.block.m_fCableRatio, 100000);
        EXPECT_TRUE(tracefile::IsValidBlock(imported.block, tracefile::ReaderVariant::Instrument));
        EXPECT_TRUE(tracefile::IsValidBlock(imported.block, tracefile::ReaderVariant::Pc));
    }
}

TEST(SorImport, FilesTheInstrumentCannotShowAreRefusedWithTheirReason) {
    struct Case {
        sor::SorFile file;
        sor::ConversionError reason;
    };
    std::vector<Case> cases;
    cases.push_back({LinearFile(100, 100000), sor::ConversionError::NoTimebase});
    cases.back().file.fxd.pulses.clear();
    cases.push_back({LinearFile(100, 0), sor::ConversionError::NoTimebase});
    cases.push_back({LinearFile(100, 100000), sor::ConversionError::NoTrace});
    cases.back().file.data.traces.clear();
    for (const uint32_t index : {0u, 99999u, 200001u}) {
        cases.push_back({LinearFile(100, 100000), sor::ConversionError::IndexOutsideLimits});
        cases.back().file.fxd.groupIndex = index;
    }
    for (const Case& c : cases) {
        sor::ImportedTrace imported;
        imported.samples = {1, 2, 3};
        sor::ConversionError error = sor::ConversionError::None;
        EXPECT_EQ(sor::ImportTrace(c.file, 0.0f, imported, &error), -1);
        EXPECT_EQ(error, c.reason) << sor::Describe(error);
        EXPECT_EQ(imported.samples, (std::vector<uint32_t>{1, 2, 3}));
    }
}

TEST(SorImport, FloorIsTheNoiseFloorOnlyWhereMostOfTheTraceLiesAboveIt) {
    sor::SorFile file = LinearFile(3000, 100000); // weakest point 7.999 dB
    sor::ImportedTrace imported;
    file.fxd.noiseFloorLevel = 9000;
    file.fxd.noiseFloorScale = 1000;
    ASSERT_EQ(sor::ImportTrace(file, 1.0f, imported), 0);
    EXPECT_EQ(imported.samples[0], 8000u); // (9 - 5) dB
    file.fxd.noiseFloorScale = 0;          // the default scale
    ASSERT_EQ(sor::ImportTrace(file, 1.0f, imported), 0);
    EXPECT_EQ(imported.samples[0], 8000u);
    // Above the weakest points but below most of the trace: those points are the instrument's 0.
    file.fxd.noiseFloorLevel = 7000;
    ASSERT_EQ(sor::ImportTrace(file, 1.0f, imported), 0);
    EXPECT_EQ(imported.samples[0], 4000u);
    EXPECT_EQ(imported.samples[2500], 0u);
    file.fxd.noiseFloorLevel = 6000; // counted from elsewhere: above most of the fibre's points
    ASSERT_EQ(sor::ImportTrace(file, 1.0f, imported), 0);
    EXPECT_EQ(imported.samples[0], 5998u);
}

TEST(SorImport, ScaleFactorGroupsArePiecesOfTheTraceOrCopiesOfIt) {
    sor::SorFile file = LinearFile(4, 100000);
    file.data.traces = {{.scaleFactor = 1000, .points = {10, 20}}, {.scaleFactor = 2000, .points = {30, 40}}};
    EXPECT_EQ(sor::PointsDb(file), (std::vector<double>{0.01, 0.02, 0.06, 0.08}));
    file.data.traces = {{.scaleFactor = 1000, .points = {1, 2, 3, 4}},
                        {.scaleFactor = 100, .points = {9, 9, 9, 9}}};
    EXPECT_EQ(sor::PointsDb(file), (std::vector<double>{0.001, 0.002, 0.003, 0.004}));
}

TEST(SorExport, FileHoldsTheTraceParametersAndEvents) {
    const std::vector<uint32_t> levels = Trace(16384, 40000);
    const std::vector<sor::TraceEvent> events = {
        {.position = 100, .reflective = true, .lossDb = 0.352f},
        {.position = 4000, .lossDb = -0.05f},
        {.position = 12288, .reflective = true, .end = true},
    };
    sor::SorFile file;
    ASSERT_EQ(sor::ExportTrace(levels, Block(16.0f), events, {1700000000, "otdrtool", "1.2.3"}, file), 0);
    file = ReadBack(file);
    EXPECT_EQ(file.checksum, sor::ChecksumStatus::Matches);
    EXPECT_EQ(file.sup.supplier, "Lumetra Instruments");
    EXPECT_EQ(file.sup.otdrName, "Lumetra");
    EXPECT_EQ(file.sup.softwareVersion, "1.2.3");
    EXPECT_EQ(file.sup.other, "Exported by otdrtool 1.2.3");
    EXPECT_EQ(file.gen.nominalWavelength, 1550);
    EXPECT_EQ(file.fxd.dateTime, 1700000000u);
    EXPECT_DOUBLE_EQ(sor::WavelengthNm(file.fxd), 1550.0);
    ASSERT_EQ(file.fxd.pulses.size(), 1u);
    EXPECT_EQ(file.fxd.pulses[0].width, 320);
    EXPECT_EQ(file.fxd.pulses[0].points, 16384u);
    // The cable ratio goes into the index: distances read as on the instrument.
    const tracefile::ParameterBlock block = Block(16.0f);
    EXPECT_EQ(file.fxd.groupIndex, 163167u); // 146850 / 0.9
    const double kmPerSample =
        tracefile::KilometresPerSample(16.0f, block.m_fRefractive, block.m_fCableRatio);
    EXPECT_NEAR(sor::MetresPerPoint(file.fxd), kmPerSample * 1000.0, 1e-5);
    EXPECT_EQ(file.fxd.averagingTime, 30);
    EXPECT_EQ(file.fxd.lossThreshold, 250);
    EXPECT_EQ(file.fxd.frontPanelOffset, 0);

    // Within 16 bits every level is kept to the 0.0005 dB unit, counted down from the top.
    ASSERT_EQ(file.data.traces.size(), 1u);
    EXPECT_EQ(file.data.traces[0].scaleFactor, 500);
    EXPECT_EQ(file.fxd.noiseFloorLevel, 40000);
    EXPECT_EQ(file.fxd.noiseFloorScale, 500);
    for (size_t k = 0; k < levels.size(); ++k)
        ASSERT_EQ(file.data.traces[0].points[k], 40000 - levels[k]) << k;

    ASSERT_EQ(file.keyEvents.events.size(), 3u);
    const auto code = [](const sor::KeyEvent& e) { return std::string(e.code.begin(), e.code.end()); };
    EXPECT_EQ(code(file.keyEvents.events[0]), "1F9999");
    EXPECT_EQ(code(file.keyEvents.events[1]), "0F9999");
    EXPECT_EQ(code(file.keyEvents.events[2]), "1E9999");
    EXPECT_EQ(file.keyEvents.events[0].loss, 352);
    EXPECT_EQ(file.keyEvents.events[1].loss, -50);
    EXPECT_EQ(file.keyEvents.events[2].loss, 0);
    for (size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(file.keyEvents.events[i].number, i + 1);
        EXPECT_NEAR(sor::EventDistanceKm(file.fxd, file.keyEvents.events[i]),
                    events[i].position * kmPerSample, 1e-4);
    }
}

TEST(SorExport, TracesBeyondSixteenBitsAreStoredCoarserAndComeBackExact) {
    const std::vector<uint32_t> levels = Trace(16384, 90001);
    sor::SorFile file;
    ASSERT_EQ(sor::ExportTrace(levels, Block(16.0f), {}, {}, file), 0);
    file = ReadBack(file);
    const sor::TraceData& trace = file.data.traces.at(0);
    EXPECT_EQ(trace.scaleFactor, 1000);
    const double floorDb = file.fxd.noiseFloorLevel * file.fxd.noiseFloorScale / 1e6;
    for (size_t k = 0; k < levels.size(); ++k)
        ASSERT_NEAR(floorDb - trace.points[k] * 0.001, levels[k] * 0.0005, 0.0005 + 1e-9) << k;

    sor::ImportedTrace imported;
    ASSERT_EQ(sor::ImportTrace(file, 0.0f, imported), 0);
    EXPECT_EQ(imported.samples, levels);

    // Without this system's block another reader's view is all there is: within one level.
    sor::SorFile plain = file;
    plain.others.clear();
    ASSERT_EQ(sor::ImportTrace(ReadBack(plain), 0.0f, imported), 0);
    for (size_t k = 0; k < levels.size(); ++k)
        ASSERT_NEAR(imported.samples[k], levels[k], 1.0) << k;
    EXPECT_EQ(imported.block.m_iAttenuation, 500000); // the import's own, not the trace's 10 dB
}

TEST(SorExport, OwnBlockIsIgnoredOnceAnotherProgramChangedThePoints) {
    const std::vector<uint32_t> levels = Trace(4096, 30000);
    sor::SorFile file;
    ASSERT_EQ(sor::ExportTrace(levels, Block(2.0f, 160.0f), {}, {}, file), 0);
    file.data.traces[0].points[1000] -= 200; // 0.1 dB stronger
    sor::ImportedTrace imported;
    ASSERT_EQ(sor::ImportTrace(ReadBack(file), 0.0f, imported), 0);
    EXPECT_EQ(imported.samples[1000], levels[1000] + 200);
    EXPECT_EQ(imported.samples[999], levels[999]);
    EXPECT_EQ(imported.block.m_iAttenuation, 500000);
    EXPECT_EQ(imported.block.m_fCableRatio, 100000);

    // A block of ours that no program would open is not taken over either.
    ASSERT_EQ(sor::ExportTrace(levels, Block(2.0f, 160.0f), {}, {}, file), 0);
    file.others.at(0).bytes[7] = 0x7F; // the wavelength word's top byte
    ASSERT_EQ(sor::ImportTrace(ReadBack(file), 0.0f, imported), 0);
    EXPECT_EQ(imported.samples, levels);
    EXPECT_EQ(imported.block.m_iWaveLen, 155000000);
    EXPECT_EQ(imported.block.m_iAttenuation, 500000);
}

TEST(SorExport, TracesAFileCannotHoldAreRefused) {
    struct Case {
        std::vector<uint32_t> levels;
        tracefile::ParameterBlock block;
        sor::ConversionError reason;
    };
    tracefile::ParameterBlock badRange = Block(16.0f);
    badRange.range = 300000;
    const Case cases[] = {
        {std::vector<uint32_t>(63, 100), Block(0.5f), sor::ConversionError::TooFewSamples},
        {std::vector<uint32_t>(2560, 66u * 65535u), Block(0.5f), sor::ConversionError::LevelsTooLarge},
        {std::vector<uint32_t>(16384, 100), badRange, sor::ConversionError::InvalidParameters},
    };
    for (const Case& c : cases) {
        sor::SorFile file;
        file.version = 9;
        sor::ConversionError error = sor::ConversionError::None;
        EXPECT_EQ(sor::ExportTrace(c.levels, c.block, {}, {}, file, &error), -1);
        EXPECT_EQ(error, c.reason) << sor::Describe(error);
        EXPECT_EQ(file.version, 9);
    }
}

TEST(SorRoundTrip, EveryRangeComesBackAsTheSameTraceFile) {
    for (const float range : kRanges) {
        for (const uint32_t top : {30000u, 65535u, 65536u, 131071u}) {
            SCOPED_TRACE(std::to_string(range) + " km, top " + std::to_string(top));
            const std::vector<uint32_t> levels = Trace(tracefile::PointsForRange(range), top);
            const tracefile::ParameterBlock block = Block(range, range >= 32.0f ? 20480.0f : 640.0f);
            sor::SorFile file;
            ASSERT_EQ(sor::ExportTrace(levels, block, {}, {}, file), 0);
            sor::ImportedTrace imported;
            ASSERT_EQ(sor::ImportTrace(ReadBack(file), 0.0f, imported), 0);
            EXPECT_FALSE(imported.cut);
            EXPECT_EQ(imported.block, block);
            EXPECT_EQ(imported.samples, levels);
        }
    }
}

// The team's published files, where they are beside the checkout.
class SorSampleImport : public ::testing::Test {
protected:
    const fs::path samples = SOR_SAMPLES_DIR;
    void SetUp() override {
        if (!fs::is_directory(samples))
            GTEST_SKIP() << "no SOR samples at " << samples;
    }
};

TEST_F(SorSampleImport, EverySampleImportsAndItsEventsLieWhereTheFileSays) {
    for (const auto& entry : fs::directory_iterator(samples)) {
        if (entry.path().extension() != ".sor")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        sor::SorFile file;
        ASSERT_EQ(sor::ReadFile(entry.path(), file), 0);
        sor::ImportedTrace imported;
        ASSERT_EQ(sor::ImportTrace(file, 0.0f, imported), 0);
        EXPECT_FALSE(imported.cut);
        EXPECT_GT(*std::max_element(imported.samples.begin(), imported.samples.end()), 20000u);
    }
    // Two links without a launch fibre: the analysis finds the file's reflective events within 5 m, which
    // puts the front panel, the spacing and the index where the file has them.
    struct Expected {
        const char* name;
        std::vector<double> km;
    };
    for (const Expected& expected : {Expected{"link-c-1310nm-100ns.sor", {1.0107, 6.9510, 7.9846}},
                                     Expected{"link-b-1310nm-10ns.sor", {0.1503, 3.7392}}}) {
        SCOPED_TRACE(expected.name);
        sor::SorFile file;
        ASSERT_EQ(sor::ReadFile(samples / expected.name, file), 0);
        sor::ImportedTrace imported;
        ASSERT_EQ(sor::ImportTrace(file, 0.0f, imported), 0);
        const tracefile::ParameterBlock& b = imported.block;
        analysis::EventTable table;
        table.AnalyseTrace(imported.samples, tracefile::BlockRangeKm(b, tracefile::ReaderVariant::Pc),
                           b.m_iWaveLen / 100000, b.m_iPulseWidth / 100000, 0.1f, b.m_iAttenuation);
        const double kmPerSample = tracefile::KilometresPerSample(
            tracefile::BlockRangeKm(b, tracefile::ReaderVariant::Pc), b.m_fRefractive, b.m_fCableRatio);
        for (const double km : expected.km) {
            bool found = false;
            for (const analysis::EventRecord& e : table.Events())
                found = found || std::fabs(e.position * kmPerSample - km) < 0.005;
            EXPECT_TRUE(found) << km;
        }
    }
}

} // namespace
