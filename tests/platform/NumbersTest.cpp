#include "platform/Numbers.h"

#include "tests/support/CommaLocale.h"
#include "tests/support/TempRoot.h"

#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Under a locale whose decimal point is a comma, as Qt sets the C library up for a German user.
class NumbersTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = MakeCommaLocale(root.Path() / "locales");
        ASSERT_FALSE(name.empty()) << "localedef could not make a German locale";
        setenv("LOCPATH", (root.Path() / "locales").c_str(), 1);
        ASSERT_NE(std::setlocale(LC_ALL, name.c_str()), nullptr);
        // The fault the functions exist for: the C library reads and writes commas now.
        char text[16];
        std::snprintf(text, sizeof text, "%.1f", 1.5);
        ASSERT_STREQ(text, "1,5");
    }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
    TempRoot root;
};

TEST_F(NumbersTest, FormatsInTheSystemsNotationAsPrintfDoesInTheCLocale) {
    EXPECT_EQ(platform::FormatFixed(1.468, 4), "1.4680");
    EXPECT_EQ(platform::FormatFixed(0.125, 2), "0.12"); // a tie goes to even, as printf rounds
    EXPECT_EQ(platform::FormatFixed(-0.25, 1), "-0.2");
    EXPECT_EQ(platform::FormatFixed(12345678.9, 0), "12345679");
    EXPECT_EQ(platform::FormatGeneral(0.44000000357627869, 9), "0.440000004");
    EXPECT_EQ(platform::FormatGeneral(1310, 6), "1310");
    EXPECT_EQ(platform::FormatGeneral(0.0001, 6), "0.0001");
    EXPECT_EQ(platform::FormatGeneral(1e-5, 6), "1e-05");

    // And digit for digit what printf writes in the C locale, over a sweep of values.
    const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    const locale_t previous = uselocale(c);
    std::srand(7);
    for (int i = 0; i < 2000; ++i) {
        const double value = (std::rand() - RAND_MAX / 2) / 1000.0 / (1 + i % 7);
        char fixed[64], general[64];
        std::snprintf(fixed, sizeof fixed, "%.4f", value);
        std::snprintf(general, sizeof general, "%.9g", value);
        ASSERT_EQ(platform::FormatFixed(value, 4), fixed);
        ASSERT_EQ(platform::FormatGeneral(value, 9), general);
    }
    uselocale(previous);
    freelocale(c);
}

TEST_F(NumbersTest, ParsesTheStartOfATextAsStrtodDoesInTheCLocale) {
    size_t used = 0;
    EXPECT_DOUBLE_EQ(platform::ParseNumber("1.4680", &used), 1.468);
    EXPECT_EQ(used, 6u);
    EXPECT_DOUBLE_EQ(platform::ParseNumber("  +12.5 dB", &used), 12.5);
    EXPECT_EQ(used, 7u);
    EXPECT_DOUBLE_EQ(platform::ParseNumber("-.5e1", &used), -5.0);
    EXPECT_DOUBLE_EQ(platform::ParseNumber("1,5", &used), 1.0); // a comma ends the number
    EXPECT_EQ(used, 1u);
    for (const char* none : {"", " ", ".", "-", "+-1", "--1", "e5", "x"}) {
        EXPECT_EQ(platform::ParseNumber(none, &used), 0.0) << none;
        EXPECT_EQ(used, 0u) << none;
    }
    EXPECT_EQ(platform::ParseNumber("0x1A", &used), 0.0); // no hexadecimal
    EXPECT_EQ(used, 1u);
}

// A NaN passes every check against bounds and an infinity every check with one bound, so no setting,
// option or file may read as either.
TEST_F(NumbersTest, ReadsOnlyFiniteNumbers) {
    size_t used = 7;
    const std::vector<std::string> nonFinite = {
        "nan",  "NaN",  "-nan",     "+NAN",      " nan(1)", "nanx",   "inf",
        "-inf", "+Inf", "infinity", "-INFINITY", "1e999",   "-1e309", std::string(400, '9')};
    for (const std::string& none : nonFinite) {
        EXPECT_EQ(platform::ParseNumber(none, &used), 0.0) << none;
        EXPECT_EQ(used, 0u) << none;
    }
    EXPECT_EQ(platform::ParseNumber("1.7976931348623157e308", &used), 1.7976931348623157e308);
    EXPECT_EQ(used, 22u);
    EXPECT_EQ(platform::ParseNumber("-1e308", &used), -1e308);
    EXPECT_EQ(platform::ParseNumber("1e-999", &used), 0.0); // too small is zero, as strtod has it
    EXPECT_EQ(used, 6u);
    EXPECT_EQ(platform::ParseNumber("2inf", &used), 2.0);
    EXPECT_EQ(used, 1u);
}

} // namespace
