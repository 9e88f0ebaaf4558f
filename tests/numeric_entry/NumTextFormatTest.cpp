// The writers of the numeric texts, their round trip through the real-number reader, and
// the independence of both from the C library's locale.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <locale.h>
#include <random>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "host/SysUtils.h"
#include "tests/support/GermanLocale.h"
#include "numeric_entry/NumIO.h"

using namespace kovo;

namespace {

struct TRealTextCase {
    int Width;
    int Decimals;
    double Value;
    const char* Text;
};

TEST(NumTextFormat, FormatRealText) {
    const double inf = std::numeric_limits<double>::infinity();
    const TRealTextCase cases[] = {
        // Fixed notation.
        {1, 0, 12, "12"},
        {1, 2, 3.14159, "3.14"},
        {1, 2, -0.5, "-0.50"},
        {1, 8, 0.1, "0.10000000"},
        {1, 0, -7.6, "-8"},
        {1, 3, 0, "0.000"},
        {8, 2, 1.5, "    1.50"},
        // Exponential notation: Width - 6 significant digits, two exponent digits.
        {12, -2, 1234.5, " 1.23450E+03"},
        {12, -2, -1234.5, "-1.23450E+03"},
        {12, -2, 0, " 0.00000E+00"},
        {12, -2, 1e-5, " 1.00000E-05"},
        {12, -2, 9.87654321e99, " 9.87654E+99"},
        {12, -2, -1e-99, "-1.00000E-99"},
        {21, -2, 1234.5, " 1.23450000000000E+03"},
        {8, -2, 31.4, " 3.1E+01"},
        {9, -2, 31.4, " 3.14E+01"},
        {2, -2, 31.4, " 3.1E+01"},  // Str's shortest field
        // An exponent of 100 or more, or a value that rounds up to one, cannot be shown.
        {12, -2, 1e100, "************"},
        {12, -2, -1e100, "************"},
        {12, -2, 1e-100, "************"},
        {12, -2, 9.999996e99, "************"},
        {12, -2, 1.7976931348623157e308, "************"},
        {12, -2, inf, "************"},
        {12, -2, -inf, "************"},
        {12, -2, std::nan(""), "************"},
        {2, -2, inf, "********"},
        {-5, -2, 31.4, " 3.1E+01"},
    };
    for (const TRealTextCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Width) + ", " + std::to_string(c.Decimals) + ", " +
                     std::to_string(c.Value));
        EXPECT_EQ(FormatRealText(c.Width, c.Decimals, c.Value), c.Text);
    }
    // The widest field Str allows, and no overflow beyond it.
    EXPECT_EQ(FormatRealText(INT_MAX, -2, 1.0).size(), 253u);
    EXPECT_EQ(FormatRealText(INT_MAX, -2, inf).size(), 253u);
}

TEST(NumTextFormat, FormatHexOctBinText) {
    struct TCase {
        std::string (*Format)(int, int);
        int Value;
        int Digits;
        const char* Text;
    };
    const TCase cases[] = {
        {FormatHexText, -1, 8, "FFFFFFFF"},
        {FormatHexText, 255, 2, "FF"},
        {FormatHexText, 255, 1, "F"},
        {FormatHexText, 255, 0, "F"},  // at least one digit
        {FormatHexText, 255, 20, "000000FF"},
        {FormatHexText, INT_MIN, 8, "80000000"},
        {FormatHexText, 0xABCDEF, 4, "CDEF"},
        {FormatOctText, -1, 11, "37777777777"},
        {FormatOctText, -1, 20, "37777777777"},
        {FormatOctText, 8, 3, "010"},
        {FormatOctText, INT_MIN, 11, "20000000000"},
        {FormatBinText, -1, 32, "11111111111111111111111111111111"},
        {FormatBinText, -1, 40, "11111111111111111111111111111111"},
        {FormatBinText, 5, 0, "1"},
        {FormatBinText, 5, 8, "00000101"},
        {FormatBinText, INT_MIN, -3, "0"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Value) + " in " + std::to_string(c.Digits));
        EXPECT_EQ(c.Format(c.Value, c.Digits), c.Text);
    }
}

// What the integer writers put out, the integer readers take back whole.
TEST(NumTextFormat, IntegerTextsReadBack) {
    std::mt19937 rng(7);
    for (int i = 0; i < 2000; ++i) {
        int v = static_cast<int>(rng());
        int pos = 1;
        EXPECT_EQ(ScanHexText(FormatHexText(v, 8), pos), v);
        EXPECT_EQ(pos, 9);
        pos = 1;
        EXPECT_EQ(ScanOctText(FormatOctText(v, 11), pos), v);
        pos = 1;
        EXPECT_EQ(ScanBinText(FormatBinText(v, 32), pos), v);
    }
}

// A text written in exponential notation reads back as the value to the digits written,
// and is taken whole by the reader.
TEST(NumTextFormat, ExponentialRoundTrip) {
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-98, 98);
    std::uniform_int_distribution<int> width(8, 21);
    int checked = 0;
    for (int i = 0; i < 20000; ++i) {
        const int e = exponent(rng);
        double x = mantissa(rng) * std::pow(10.0, e);
        if (rng() & 1) x = -x;
        const int w = width(rng);
        const std::string text = FormatRealText(w, -2, x);
        ASSERT_EQ(text.size(), size_t(w));
        if (text[0] == '*') continue;  // rounded up to an exponent of 100
        int pos = 1;
        const double back = ScanRealText(text, true, ".", pos);
        ASSERT_EQ(pos, w + 1) << text;
        // Half a unit in the last written digit, and a little for the reading itself.
        const int sig = w - 6;
        const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(x))) - (sig - 1));
        ASSERT_LE(std::fabs(back - x), 0.5 * unit * (1 + 1e-9) + std::fabs(x) * 1e-15)
            << text << " for " << x;
        // Writing what was read gives the same text again.
        ASSERT_EQ(FormatRealText(w, -2, back), text);
        ++checked;
    }
    EXPECT_GT(checked, 19000);
}

TEST(NumTextFormat, FixedRoundTrip) {
    std::mt19937_64 rng(4242);
    std::uniform_real_distribution<double> magnitude(-12.0, 12.0);
    std::uniform_int_distribution<int> decimals(0, 8);
    for (int i = 0; i < 20000; ++i) {
        double x = std::pow(10.0, magnitude(rng));
        if (rng() & 1) x = -x;
        const int d = decimals(rng);
        const std::string text = FormatRealText(1, d, x);
        int pos = 1;
        const double back = ScanRealText(text, false, ".", pos);
        ASSERT_EQ(pos, int(text.size()) + 1) << text;
        ASSERT_LE(std::fabs(back - x), 0.5 * std::pow(10.0, -d) + std::fabs(x) * 1e-15)
            << text << " for " << x;
    }
}

using kovo::testing::TGermanLocale;

TEST(NumTextFormat, TextsIgnoreTheCLibraryLocale) {
    TGermanLocale german;
    if (!german.Active()) GTEST_SKIP() << "no German locale available";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5");  // the C library now uses a comma

    int pos = 1;
    EXPECT_EQ(ScanRealText("1.5", true, ".", pos), 1.5);
    EXPECT_EQ(pos, 4);
    pos = 1;
    EXPECT_EQ(ScanRealText("-2,25E1", true, ",", pos), -22.5);
    EXPECT_EQ(FormatRealText(1, 2, 1.5), "1.50");
    EXPECT_EQ(FormatRealText(12, -2, 1234.5), " 1.23450E+03");
}

}  // namespace
