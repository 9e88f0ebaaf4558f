#include "host/SysUtils.h"
#include "tests/support/GermanLocale.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <clocale>
#include <locale.h>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "host/Exceptions.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

using namespace kovo;

namespace {

// Every test starts from the same settings, whatever the environment's locale says.
class SysUtils : public ::testing::Test {
  protected:
    void SetUp() override { FormatSettings = InvariantFormatSettings(); }
    void TearDown() override { ResetFormatSettings(); }
};

}  // namespace

// ---------------------------------------------------------------------------------------
// Rounding

TEST_F(SysUtils, RoundTiesToEven) {
    struct {
        double x;
        int64_t r;
    } cases[] = {{2.5, 2},
                 {3.5, 4},
                 {-7.5, -8},
                 {-6.5, -6},
                 {0.5, 0},
                 {-0.5, 0},
                 {1.5, 2},
                 {2.4999, 2},
                 {2.5001, 3},
                 {-2.6, -3},
                 {0.49999999999999994, 0},
                 {4503599627370497.0, 4503599627370497},
                 {-9223372036854775808.0, std::numeric_limits<int64_t>::min()}};
    for (const auto& c : cases) EXPECT_EQ(Round(c.x), c.r) << c.x;
}

TEST_F(SysUtils, RoundAndTruncRefuseWhatDoesNotFit) {
    EXPECT_THROW(Round(9.3e18), EInvalidOp);
    EXPECT_THROW(Round(std::nan("")), EInvalidOp);
    EXPECT_THROW(Trunc(-1e300), EInvalidOp);
    EXPECT_THROW(Trunc(std::numeric_limits<double>::infinity()), EInvalidOp);
}

TEST_F(SysUtils, TruncIntFrac) {
    EXPECT_EQ(Trunc(-2.7), -2);
    EXPECT_EQ(Trunc(2.7), 2);
    EXPECT_DOUBLE_EQ(Int(-2.75), -2.0);
    EXPECT_DOUBLE_EQ(Frac(-2.75), -0.75);
    EXPECT_DOUBLE_EQ(Frac(3.25), 0.25);
}

TEST_F(SysUtils, MulDivRoundsHalvesAwayFromZero) {
    struct {
        int a, b, c, r;
    } cases[] = {
        {5, 3, 2, 8},
        {-5, 3, 2, -8},
        {5, -3, 2, -8},
        {7, 1, 3, 2},
        {8, 1, 3, 3},
        {1, 121, 16, 8},
        {2, 121, 16, 15},
        {0, 5, 7, 0},
        {1, 1, 0, -1},
        {2000000000, 2000000000, 1, -1},  // does not fit
        {2000000000, 3, 4, 1500000000},   // the product needs 64 bits
    };
    for (const auto& c : cases)
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.r) << c.a << "*" << c.b << "/" << c.c;
}

// ---------------------------------------------------------------------------------------
// Integers

TEST_F(SysUtils, IntegerTexts) {
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-42), "-42");
    EXPECT_EQ(IntToStr(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(IntToStr(uint64_t(18446744073709551615ull)), "18446744073709551615");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(-1, 1), "FFFFFFFF");
    EXPECT_EQ(IntToHex(int64_t(-1), 1), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(IntToHex(0, 0), "0");
}

TEST_F(SysUtils, StrToIntAcceptsDecimalAndHex) {
    struct {
        const char* s;
        int v;
    } ok[] = {{"0", 0},
              {"-17", -17},
              {"+5", 5},
              {"  12", 12},
              {"$FF", 255},
              {"0x1f", 31},
              {"-$10", -16},
              {"2147483647", 2147483647},
              {"-2147483648", std::numeric_limits<int>::min()},
              {"$FFFFFFFF", -1}};
    for (const auto& c : ok) EXPECT_EQ(StrToInt(c.s), c.v) << c.s;
    for (const char* bad :
         {"", " ", "-", "12a", "1 ", "2147483648", "$", "0x", "1.0", "$100000000"}) {
        int v = 99;
        EXPECT_FALSE(TryStrToInt(bad, v)) << bad;
        EXPECT_EQ(v, 99);
        EXPECT_EQ(StrToIntDef(bad, -3), -3);
    }
    try {
        StrToInt("12a");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'12a' is not a valid integer value");
    }
    EXPECT_EQ(StrToInt64("9223372036854775807"), std::numeric_limits<int64_t>::max());
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
}

// ---------------------------------------------------------------------------------------
// Reals

TEST_F(SysUtils, StrToFloatUsesTheSettingsSeparator) {
    EXPECT_DOUBLE_EQ(StrToFloat(" 1.5 "), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloat("-2.5E3"), -2500.0);
    EXPECT_DOUBLE_EQ(StrToFloat("5."), 5.0);
    EXPECT_DOUBLE_EQ(StrToFloat(".25"), 0.25);
    EXPECT_THROW(StrToFloat("1,5"), EConvertError);
    FormatSettings.DecimalSeparator = ',';
    EXPECT_DOUBLE_EQ(StrToFloat("1,5"), 1.5);
    EXPECT_THROW(StrToFloat("1.5"), EConvertError);
    for (const char* bad : {"", ".", "1e", "1e+", "e5", "1.5.2", "1e400", "- 1", "INF"}) {
        double v = 7;
        EXPECT_FALSE(TryStrToFloat(bad, v)) << bad;
        EXPECT_EQ(v, 7);
    }
    try {
        StrToFloat("abc");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'abc' is not a valid floating point value");
    }
}

TEST_F(SysUtils, FloatToStrGivesTheShortestFifteenDigitForm) {
    struct {
        double v;
        const char* s;
    } cases[] = {
        {0.1, "0.1"},
        {1e20, "1E20"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {0.1 + 0.2, "0.3"},
        {-1234.5, "-1234.5"},
        {0, "0"},
        {-0.0, "0"},
        {100, "100"},
        {1e15, "1E15"},
        {999999999999999.0, "999999999999999"},
        {0.00001, "0.00001"},
        {0.000001234, "1.234E-6"},
        {1.5e-300, "1.5E-300"},
        {123456789012345678.0, "1.23456789012346E17"},
        {std::numeric_limits<double>::infinity(), "INF"},
        {-std::numeric_limits<double>::infinity(), "-INF"},
        {std::nan(""), "NAN"},
    };
    for (const auto& c : cases) EXPECT_EQ(FloatToStr(c.v), c.s) << c.s;
    FormatSettings.DecimalSeparator = ',';
    EXPECT_EQ(FloatToStr(2.5), "2,5");
}

TEST_F(SysUtils, FloatToStrFForms) {
    struct {
        double v;
        TFloatFormat f;
        int precision, digits;
        const char* s;
    } cases[] = {
        {3.14159, ffFixed, 15, 2, "3.14"},
        {2.675, ffFixed, 15, 2, "2.68"},  // decimal halves round away from zero
        {0.125, ffFixed, 15, 2, "0.13"},
        {-0.001, ffFixed, 15, 2, "0.00"},  // no sign on a rounded zero
        {2.5, ffFixed, 15, 0, "3"},
        {0.6, ffFixed, 15, 0, "1"},
        {0.145, ffFixed, 2, 3, "0.150"},  // one rounding to two significant digits
        {1e20, ffFixed, 15, 2, "1E20"},   // more integer digits than the precision
        {1234567.891, ffNumber, 15, 2, "1,234,567.89"},
        {-1234.5, ffNumber, 15, 0, "-1,235"},
        {999.5, ffNumber, 15, 0, "1,000"},
        {1234.5, ffExponent, 4, 3, "1.235E+003"},
        {-0.000123, ffExponent, 3, 2, "-1.23E-04"},
        {0, ffExponent, 3, 0, "0.00E+0"},
        {9.99, ffExponent, 2, 3, "1.0E+001"},
        {5, ffExponent, 1, 3, "5E+000"},
        {1234567, ffGeneral, 4, 0, "1.235E6"},
        {1234, ffGeneral, 4, 0, "1234"},
        {0.5, ffGeneral, 1, 0, "0.5"},
        {1e-20, ffGeneral, 15, 3, "1E-020"},
        {12.5, ffCurrency, 15, 2, "$12.50"},
        {-12.5, ffCurrency, 15, 2, "-$12.50"},
    };
    for (const auto& c : cases) EXPECT_EQ(FloatToStrF(c.v, c.f, c.precision, c.digits), c.s) << c.s;
}

// ---------------------------------------------------------------------------------------
// Str and Val

TEST_F(SysUtils, StrFixedPoint) {
    struct {
        double x;
        int width, decimals;
        const char* s;
    } cases[] = {
        {12, 1, 0, "12"},           {3.14159, 1, 2, "3.14"},
        {-0.5, 1, 2, "-0.50"},      {2.5, 1, 0, "3"},
        {1.005, 1, 2, "1.01"},      {-0.004, 1, 2, "0.00"},
        {12.345, 8, 1, "    12.3"}, {1e18, 1, 0, "1000000000000000000"},
        {0, 5, 3, "0.000"},         {123.456, 2, 1, "123.5"},
    };
    for (const auto& c : cases) EXPECT_EQ(Str(c.x, c.width, c.decimals), c.s) << c.s;
    EXPECT_EQ(Str(42, 5), "   42");
    EXPECT_EQ(Str(std::numeric_limits<double>::infinity(), 1, 2), "+Inf");
}

TEST_F(SysUtils, StrScientificHasAFourDigitExponent) {
    struct {
        double x;
        int width;
        const char* s;
    } cases[] = {
        {1234.5, 14, " 1.23450E+0003"},
        {0, 14, " 0.00000E+0000"},
        {-0.0, 14, " 0.00000E+0000"},
        {1e100, 14, " 1.00000E+0100"},
        {-1.5e-7, 14, "-1.50000E-0007"},
        {9.999995, 14, " 1.00000E+0001"},  // rounding carries into the exponent
        {12.3456789012345, 23, " 1.23456789012345E+0001"},
        {1234.5, 10, " 1.2E+0003"},
        {1234.5, 3, " 1.2E+0003"},  // at least one digit after the point
        {1234.5, 12, " 1.235E+0003"},
        {std::numeric_limits<double>::max(), 14, " 1.79769E+0308"},
    };
    for (const auto& c : cases) EXPECT_EQ(Str(c.x, c.width), c.s) << c.s;
    EXPECT_EQ(Str(12.3456789012345), " 1.23456789012345E+0001");
    EXPECT_EQ(Str(1.0, -1, -1), Str(1.0, -1));  // negative decimals: scientific
    EXPECT_EQ(Str(1.0, 100000).size(), 255u);   // the field is a short string at most
}

TEST_F(SysUtils, ValReportsTheFirstBadPosition) {
    struct {
        const char* s;
        double v;
        int code;
    } cases[] = {
        {"1.5", 1.5, 0},  {"  12", 12, 0},   {"-.5", -0.5, 0},     {"-.0", 0, 0}, {"1.", 1, 0},
        {"+3e2", 300, 0}, {"1E-2", 0.01, 0}, {"1.5x", 1.5, 4},     {"1,5", 1, 2}, {"", 0, 1},
        {"-", 0, 2},      {".", 0, 2},       {"abc", 0, 1},        {"1E", 1, 3},  {"1E+", 1, 4},
        {"1Ex", 1, 3},    {" 1 ", 1, 3},     {"12e3.5", 12000, 5},
    };
    for (const auto& c : cases) {
        double v = -99;
        int code = -99;
        Val(c.s, v, code);
        EXPECT_EQ(code, c.code) << c.s;
        EXPECT_DOUBLE_EQ(v, c.v) << c.s;
    }
}

TEST_F(SysUtils, ValBeyondTheDoubleRange) {
    double v = 0;
    int code = -1;
    Val("1E500", v, code);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(std::isinf(v) && v > 0);
    Val("-1E99999999999999999999", v, code);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(std::isinf(v) && v < 0);
    Val("1e-400", v, code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(v, 0);
    std::string digits(5000, '9');
    Val(digits, v, code);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(std::isinf(v));
}

TEST_F(SysUtils, ValIntegers) {
    struct {
        const char* s;
        int v;
        int code;
    } cases[] = {{"42", 42, 0},
                 {" -7", -7, 0},
                 {"$1A", 26, 0},
                 {"0X10", 16, 0},
                 {"12a", 12, 3},
                 {"", 0, 1},
                 {"2147483648", 214748364, 10},
                 {"-2147483648", std::numeric_limits<int>::min(), 0},
                 {"$FFFFFFFF", -1, 0}};
    for (const auto& c : cases) {
        int v = -99, code = -99;
        Val(c.s, v, code);
        EXPECT_EQ(code, c.code) << c.s;
        EXPECT_EQ(v, c.v) << c.s;
    }
    int64_t big = 0;
    int code = 0;
    Val("-9223372036854775808", big, code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(big, std::numeric_limits<int64_t>::min());
}

// ---------------------------------------------------------------------------------------
// Format

TEST_F(SysUtils, FormatPatterns) {
    struct {
        std::string got;
        const char* want;
    } cases[] = {
        {Format("%d", 42), "42"},
        {Format("%5d|%-5d|", 42, -42), "   42|-42  |"},
        {Format("%.4d", -7), "-0007"},
        {Format("%*.*d", 1, 0, int64_t(-12)), "-12"},
        {Format("%u", -1), "4294967295"},
        {Format("%u", int64_t(-1)), "18446744073709551615"},
        {Format("%x", 255), "FF"},
        {Format("%.4x", 255), "00FF"},
        {Format("%x", -1), "FFFFFFFF"},
        {Format("%s and %s", "this", std::string("that")), "this and that"},
        {Format("%-10s|", "left"), "left      |"},
        {Format("%10s|", "right"), "     right|"},
        {Format("%.3s", "abcdef"), "abc"},
        {Format("%4s|", "\xC3\xA4"), "   \xC3\xA4|"},  // width counts characters
        {Format("%s", 'c'), "c"},
        {Format("100%%"), "100%"},
        {Format("%.2f", 3.14159), "3.14"},
        {Format("%f", 2.0), "2.00"},
        {Format("%*.*f", 1, 3, -0.5), "-0.500"},
        {Format("%8.2f|", 3.14159), "    3.14|"},
        {Format("%.0f", 2.5), "3"},
        {Format("%f", 3), "3.00"},  // an integer where a real is asked for
        {Format("%e", 1234.5), "1.23450000000000E+003"},
        {Format("%.4e", 1234.5), "1.235E+003"},
        {Format("%*.*e", 1, 3, -0.000123), "-1.23E-004"},
        {Format("%.0e", 7.0), "7E+000"},
        {Format("%g", 0.1), "0.1"},
        {Format("%*.*g", 1, 4, 1234567.0), "1.235E6"},
        {Format("%*.*g", 1, 6, 3.14159265), "3.14159"},
        {Format("%.0g", 0.25), "0.3"},
        {Format("%n", 1234567.891), "1,234,567.89"},
        {Format("%m", 5.0), "$5.00"},
        {Format("%1:s-%0:s", "a", "b"), "b-a"},
        {Format("%*d|", -5, 3), "3    |"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
    EXPECT_EQ(Format("%d %s", std::vector<TVarRec>{7, "x"}), "7 x");
}

TEST_F(SysUtils, FormatUsesTheSettings) {
    FormatSettings.DecimalSeparator = ',';
    FormatSettings.ThousandSeparator = '.';
    EXPECT_EQ(Format("%.2f", 1.5), "1,50");
    EXPECT_EQ(Format("%n", 1234.5), "1.234,50");
    TFormatSettings point = InvariantFormatSettings();
    EXPECT_EQ(Format("%.1f", {2.25}, point), "2.3");
}

TEST_F(SysUtils, FormatRejectsBadPatternsAndArguments) {
    const char* message = "Format '%d' invalid or incompatible with argument";
    try {
        Format("%d", 1.5);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), message);
    }
    EXPECT_THROW(Format("%d"), EConvertError);              // missing argument
    EXPECT_THROW(Format("%s", 5), EConvertError);           // not a text
    EXPECT_THROW(Format("%q", 5), EConvertError);           // unknown type
    EXPECT_THROW(Format("50%"), EConvertError);             // dangling percent
    EXPECT_THROW(Format("%5:d", 1), EConvertError);         // index past the arguments
    EXPECT_THROW(Format("%999999999d", 1), EConvertError);  // no huge fields
    EXPECT_THROW(Format("%*d", "w", 1), EConvertError);
}

// ---------------------------------------------------------------------------------------
// Locale independence

namespace {

using kovo::testing::TGermanLocale;

}  // namespace

TEST_F(SysUtils, ConversionsIgnoreTheCLibraryLocale) {
    TGermanLocale german;
    if (german.Name().empty()) GTEST_SKIP() << "no German locale available";
    char probe[32];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    EXPECT_STREQ(probe, "1,5");  // the C library now writes a comma

    EXPECT_EQ(FloatToStr(1.5), "1.5");
    EXPECT_EQ(Format("%.2f|%e|%g", 1.25, 1.5, 2.5), "1.25|1.50000000000000E+000|2.5");
    EXPECT_EQ(Str(1234.5, 14), " 1.23450E+0003");
    EXPECT_EQ(Str(3.25, 1, 2), "3.25");
    EXPECT_DOUBLE_EQ(StrToFloat("2.5"), 2.5);
    double v = 0;
    int code = -1;
    Val("7.75", v, code);
    EXPECT_EQ(code, 0);
    EXPECT_DOUBLE_EQ(v, 7.75);

    // The locale's separators are readable on request.
    char dec = 0, thou = 0;
    {
#if defined(__SANITIZE_ADDRESS__)
        __lsan::ScopedDisabler keep;  // as in TGermanLocale
#endif
        EXPECT_TRUE(LocaleSeparators(german.Name(), dec, thou));
    }
    EXPECT_EQ(dec, ',');
    EXPECT_EQ(thou, '.');
}

TEST_F(SysUtils, LocaleSeparatorsOfTheCLocale) {
    char dec = 0, thou = 0;
    EXPECT_TRUE(LocaleSeparators("C", dec, thou));
    EXPECT_EQ(dec, '.');
    EXPECT_EQ(thou, ',');
    EXPECT_FALSE(LocaleSeparators("xx_NOWHERE.UTF-8", dec, thou));
}

// ---------------------------------------------------------------------------------------
// Strings

TEST_F(SysUtils, StringHelpers) {
    EXPECT_EQ(UpperCase("abc\xC3\xA4z"), "ABC\xC3\xA4Z");  // ASCII letters only
    EXPECT_EQ(LowerCase("ABC"), "abc");
    EXPECT_EQ(Trim(" \t x y \r\n"), "x y");
    EXPECT_EQ(TrimLeft("  x "), "x ");
    EXPECT_EQ(TrimRight("  x "), "  x");
    EXPECT_LT(CompareText("apple", "BANANA"), 0);
    EXPECT_EQ(CompareText("ABC", "abc"), 0);
    EXPECT_GT(CompareText("abcd", "ABC"), 0);
    EXPECT_LT(CompareStr("B", "a"), 0);
    EXPECT_TRUE(SameText("Hello", "hELLO"));
    EXPECT_FALSE(SameText("Hello", "Hell"));
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(AnsiDequotedStr("'it''s' tail", '\''), "it's");
    EXPECT_EQ(Pos("lo", "hello lo"), 4);
    EXPECT_EQ(Pos("lo", "hello lo", 5), 7);
    EXPECT_EQ(Pos("", "x"), 0);
    EXPECT_EQ(Pos("z", "hello"), 0);
    EXPECT_EQ(Copy("hello", 2, 3), "ell");
    EXPECT_EQ(Copy("hello", 0, 2), "he");
    EXPECT_EQ(Copy("hello", 4, 100), "lo");
    EXPECT_EQ(Copy("hello", 9, 1), "");
    std::string s = "hello";
    Delete(s, 2, 2);
    EXPECT_EQ(s, "hlo");
    Insert("el", s, 2);
    EXPECT_EQ(s, "hello");
    Insert("!", s, 99);
    EXPECT_EQ(s, "hello!");
    EXPECT_EQ(StringOfChar('*', 3), "***");
}

TEST_F(SysUtils, StringReplaceFlags) {
    EXPECT_EQ(StringReplace("a.b.c", ".", ",", {}), "a,b.c");
    EXPECT_EQ(StringReplace("a.b.c", ".", ",", rfReplaceAll), "a,b,c");
    EXPECT_EQ(StringReplace("Ab ab AB", "ab", "x", {rfReplaceAll, rfIgnoreCase}), "x x x");
    EXPECT_EQ(StringReplace("Ab ab AB", "ab", "x", rfReplaceAll), "Ab x AB");
    EXPECT_EQ(StringReplace("aaa", "a", "aa", rfReplaceAll), "aaaaaa");
    EXPECT_EQ(StringReplace("abc", "", "x", rfReplaceAll), "abc");
}

TEST_F(SysUtils, Utf8CharactersAreNeverCut) {
    const std::string mixed = "a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80z";  // a ä € 😀 z
    EXPECT_EQ(Utf8Length(mixed), 5);
    EXPECT_EQ(Utf8Copy(mixed, 2, 2), "\xC3\xA4\xE2\x82\xAC");
    EXPECT_EQ(Utf8Copy(mixed, 4, 10), "\xF0\x9F\x98\x80z");
    EXPECT_EQ(Utf8Copy(mixed, 9, 1), "");
    for (int n = 0; n <= 6; ++n) {
        std::string cut = Utf8Truncate(mixed, n);
        EXPECT_EQ(Utf8Length(cut), std::min(n, 5));
        EXPECT_EQ(mixed.compare(0, cut.size(), cut), 0);
    }
    EXPECT_EQ(Utf8Truncate(mixed, 3), "a\xC3\xA4\xE2\x82\xAC");

    // Ill-formed bytes count one each and survive a copy unchanged.
    const std::string broken = "x\xC3\xE2\x82y\xFF";
    EXPECT_EQ(Utf8Length(broken), 6);
    EXPECT_EQ(Utf8Copy(broken, 1, 6), broken);
    EXPECT_EQ(Utf8Decode(broken), (std::u32string{U'x', 0xFFFD, 0xFFFD, 0xFFFD, U'y', 0xFFFD}));
    EXPECT_EQ(Utf8Encode(Utf8Decode(mixed)), mixed);
    EXPECT_EQ(Utf8Encode(char32_t(0xD800)), "\xEF\xBF\xBD");
}
