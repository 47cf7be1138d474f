#include "tools/otdrtool/MeasureCommand.h"

#include "instrument/display/TraceScale.h"

#include "shared/tracefile/TraceFile.h"

#include "tests/support/TempRoot.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {

// A clean 10 km stretch of a measured trace reads the fibre's own attenuation in the trace view's dB/km
// readout: its samples per km are those of the distance readouts.
class MeasuredAttenuationTest : public ::testing::TestWithParam<std::pair<int, double>> {};

TEST_P(MeasuredAttenuationTest, ACleanStretchReadsTheFibresAttenuation) {
    const auto [wavelength, attenuation] = GetParam();
    TempRoot root;
    std::ofstream(root.Path() / "clean.txt") << "fibre 14 0.33 0.19 1.4680\nend 13 -14\n";
    const std::string trace = (root.Path() / "clean.st").string();
    std::string out, err;
    ASSERT_EQ(RunMeasureCommand({"--fast", "--wavelength", std::to_string(wavelength), "--scenario",
                                 (root.Path() / "clean.txt").string(), "-o", trace},
                                {}, out, err),
              0)
        << err;
    tracefile::TraceFileContents contents;
    ASSERT_EQ(tracefile::ReadTraceFile(trace, tracefile::ReaderVariant::Instrument, contents), 0);
    TraceScale scale(contents.block.Words());
    // Cursor A at 1 km and B at 11 km, in columns of the full view.
    const auto column = [&](double km) {
        return static_cast<int>(km / scale.KmPerSample() / scale.FullViewStep());
    };
    scale.SetCursorColumn(column(11.0));
    scale.ToggleActive();
    scale.SetCursorColumn(column(1.0));
    ASSERT_NEAR(scale.Distance(), 10.0, 0.1);
    EXPECT_NEAR(scale.Attenuation(contents.samples), attenuation, 0.01);
}

INSTANTIATE_TEST_SUITE_P(Wavelengths, MeasuredAttenuationTest,
                         ::testing::Values(std::pair{1310, 0.33}, std::pair{1550, 0.19}));

} // namespace
