#include "tools/otdrtool/MeasureCommand.h"

#include "tests/support/TempRoot.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

// Each number option with a value it refuses for being out of range.
struct NumberOption {
    const char* name;
    const char* outOfRange;
};

constexpr NumberOption kNumberOptions[] = {
    {"--refractive", "1.6"}, {"--cable-ratio", "1.5"}, {"--threshold", "20"},
    {"--range", "3"},        {"--wavelength", "1400"}, {"--pulse", "77"},
    {"--atten", "33"},       {"--verno", "2"},         {"--invalid-m", "-1"},
};

// A NaN or an infinity gets the message a number out of range gets (with the value as given, where the
// message names it), and no trace is written.
TEST(MeasureNumbersTest, NumbersThatAreNotFiniteAreOutOfRange) {
    std::ifstream in(std::filesystem::path(DEVICE_DATA_DIR) / "languageEN.ini", std::ios::binary);
    const std::vector<uint8_t> english{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(english.empty());
    TempRoot root;
    const std::string output = (root.Path() / "out.st").string();
    const auto measure = [&](const char* option, const std::string& value, std::string& err) {
        std::string out;
        return RunMeasureCommand({"--fast", option, value, "-o", output}, english, out, err);
    };
    for (const NumberOption& option : kNumberOptions) {
        std::string refused;
        ASSERT_EQ(measure(option.name, option.outOfRange, refused), 2) << option.name;
        for (const std::string value : {"nan", "inf", "-inf"}) {
            std::string expected = refused;
            if (const size_t at = expected.find(std::string(" ") + option.outOfRange + " ");
                at != std::string::npos)
                expected.replace(at + 1, std::string(option.outOfRange).size(), value);
            std::string err;
            EXPECT_EQ(measure(option.name, value, err), 2) << option.name << " " << value;
            EXPECT_EQ(err, expected) << option.name << " " << value;
            EXPECT_FALSE(std::filesystem::exists(output)) << option.name << " " << value;
        }
    }
}

} // namespace
