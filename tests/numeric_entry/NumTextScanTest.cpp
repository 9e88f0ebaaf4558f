// The readers and checks of the numeric texts: the real-number machine with its stop
// positions, exponent limit and clamp, the fixed-number and integer checks, the integer
// readers with their 32-bit wrap, and the separator sets.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <iterator>
#include <utility>
#include <string>

#include "foundation/kovocore.h"
#include "host/SysUtils.h"
#include "numeric_entry/NumIO.h"

using namespace kovo;

namespace {

// Restores the format settings that a test changed.
class NumTextScan : public ::testing::Test {
  protected:
    void TearDown() override { ResetFormatSettings(); }
};

struct TRealCase {
    const char* Text;
    bool ExpAllowed;
    const char* Seps;
    int Start;
    double Value;
    int Stop;
};

TEST_F(NumTextScan, ScanRealTextValuesAndStopPositions) {
    const double big = uc_MaxDouble;
    const TRealCase cases[] = {
        {"1.5", true, ".", 1, 1.5, 4},
        {" 12", true, ".", 1, 12, 4},
        {"  -3.25e1", true, ".", 1, -32.5, 10},
        {"1,5", true, ".", 1, 1, 2},
        {"1,5", true, ",", 1, 1.5, 4},
        {"1.5", true, ",", 1, 1, 2},
        {"1,5", true, ".,", 1, 1.5, 4},
        {"1.5", true, ".,", 1, 1.5, 4},
        {".", true, ".", 1, 0, 2},
        {"5.", true, ".", 1, 5, 3},
        {"-.5", true, ".", 1, -0.5, 4},
        {"+7", true, ".", 1, 7, 3},
        {"12A", true, ".", 1, 12, 3},
        {"12 34", true, ".", 1, 12, 3},
        {"1-2", true, ".", 1, 1, 2},
        // The exponent, with and without permission.
        {"1e3", true, ".", 1, 1000, 4},
        {"1E+2", true, ".", 1, 100, 5},
        {"2.5e-1x", true, ".", 1, 0.25, 7},
        {"1e3", false, ".", 1, 1, 2},
        {"1.e3", false, ".", 1, 1, 3},
        {"1E", true, ".", 1, 1, 3},
        {"1E-", true, ".", 1, 1, 4},
        {"1E+x", true, ".", 1, 1, 4},
        {"1.E2", true, ".", 1, 100, 5},
        {"1E2E3", true, ".", 1, 100, 4},
        {"1E 2", true, ".", 1, 0, 3},  // a blank after "E" rejects
        {"1E+-2", true, ".", 1, 0, 4},
        {"1E2.5", true, ".", 1, 100, 4},
        // Rejected walks read as 0; the position names the character that ended them.
        {"", true, ".", 1, 0, 1},
        {"-", true, ".", 1, 0, 2},
        {"+", true, ".", 1, 0, 2},
        {"A1", true, ".", 1, 0, 1},
        {"E5", true, ".", 1, 0, 1},
        {"--1", true, ".", 1, 0, 2},
        {"- 1", true, ".", 1, 0, 2},
        {"   ", true, ".", 1, 0, 4},
        {"1.2.3", true, ".", 1, 0, 4},  // a separator in the fraction rejects
        {"1..", true, ".", 1, 0, 3},
        // The exponent limit: digits that would make it exceed 4200 are dropped.
        {"1E5000", true, ".", 1, big, 7},
        {"-1E5000", true, ".", 1, -big, 8},
        {"1E-5000", true, ".", 1, 0, 8},
        {"1E99999999999999999999", true, ".", 1, big, 23},
        {"2.5E-4201", true, ".", 1, 0, 10},
        {"1E0000000000000000000002", true, ".", 1, 100, 25},
        {"1E308", true, ".", 1, 1e308, 6},
        {"1E309", true, ".", 1, big, 6},
        {"-4E400", true, ".", 1, -big, 7},
        // Starting inside the text, and outside it.
        {"x12.5y", true, ".", 2, 12.5, 6},
        {"12", true, ".", 3, 0, 3},
        {"12", true, ".", 10, 0, 10},
        {"12", true, ".", 0, 0, 0},
        {"12", true, ".", -4, 0, -4},
        {"12", true, ".", INT_MAX, 0, INT_MAX},
        // Positions count characters, not bytes.
        {"\xC3\xA9"
         "12",
         true, ".", 2, 12, 4},
        {"12\xC3\xA9", true, ".", 1, 12, 3},
        {"\xE2\x82\xAC"
         "\xC3\xA9"
         "3.5",
         true, ".", 3, 3.5, 6},
        {"1\xD9\xAB"
         "5",
         true, "\xD9\xAB", 1, 1.5, 4},  // a separator outside ASCII
        {"1\xD9\xAB"
         "5",
         true, ".", 1, 1, 2},
        {"\xFF"
         "1",
         true, ".", 2, 1, 3},  // an ill-formed byte is one character
    };
    for (const TRealCase& c : cases) {
        SCOPED_TRACE(std::string("'") + c.Text + "' from " + std::to_string(c.Start));
        int pos = c.Start;
        EXPECT_EQ(ScanRealText(c.Text, c.ExpAllowed, c.Seps, pos), c.Value);
        EXPECT_EQ(pos, c.Stop);
    }
}

TEST_F(NumTextScan, ScanRealTextConvertsToTheNearestDouble) {
    const char* texts[] = {"0.1",
                           "3.14159265358979323846",
                           "123456789012345678901234567890",
                           "2.2250738585072014E-308",
                           "4.9406564584124654E-324",
                           "1.7976931348623157E308",
                           "0.000001234"};
    for (const char* t : texts) {
        SCOPED_TRACE(t);
        int pos = 1;
        EXPECT_EQ(ScanRealText(t, true, ".", pos), std::strtod(t, nullptr));
    }
}

TEST_F(NumTextScan, IsRealTextTakesAValidBeginning) {
    struct TCase {
        const char* Text;
        bool ExpAllowed;
        TDecPSep Sep;
        bool Valid;
    };
    const TCase cases[] = {
        {"1E", true, dpPoint, true},
        {"1E-", true, dpPoint, true},
        {"-1.5E+12", true, dpPoint, true},
        {"12A", true, dpPoint, true},
        {"1e5", true, dpPoint, true},
        {".", true, dpPoint, true},
        {"  5", true, dpPoint, true},
        {"1E4200", true, dpPoint, true},
        {"1E0004200", true, dpPoint, true},
        {"1E5", false, dpPoint, true},
        {"", true, dpPoint, false},
        {"-", true, dpPoint, false},
        {"E5", true, dpPoint, false},
        {"A1", true, dpPoint, false},
        {"1.2.3", true, dpPoint, false},
        {"1.2.", true, dpPoint, false},
        {"+-1", true, dpPoint, false},
        {" ", true, dpPoint, false},
        {"1E4201", true, dpPoint, false},
        {"1E-9999", true, dpPoint, false},
        {"1E99999999999999999999", true, dpPoint, false},
        {"1,5", true, dpComma, true},
        {"1.5", true, dpComma, true},  // "." ends the number after "1"
        {".5", true, dpComma, false},
        {",5", true, dpPoint, false},
        {",5", true, dpBoth, true},
        {"1,5,", true, dpBoth, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string("'") + c.Text + "'");
        EXPECT_EQ(IsRealText(c.Text, c.ExpAllowed, c.Sep), c.Valid);
    }
}

TEST_F(NumTextScan, IsFixedTextAllowsSignDigitsAndOneSeparator) {
    struct TCase {
        const char* Text;
        TDecPSep Sep;
        bool Valid;
    };
    const TCase cases[] = {
        {"-", dpPoint, true},        {"+", dpPoint, true},    {".", dpPoint, true},
        {"-.", dpPoint, true},       {"5.", dpPoint, true},   {"-12.50", dpPoint, true},
        {"12.", dpPoint, true},      {".5", dpPoint, true},   {"0123", dpPoint, true},
        {"", dpPoint, false},        {"1,5", dpPoint, false}, {"1e5", dpPoint, false},
        {" 1", dpPoint, false},      {"1 ", dpPoint, false},  {"1.2.3", dpPoint, false},
        {"--1", dpPoint, false},     {"1-", dpPoint, false},  {"1.5-", dpPoint, false},
        {"+-", dpPoint, false},      {"1,5", dpBoth, true},   {"1.5", dpBoth, true},
        {"1,5.", dpBoth, false},     {"1,5", dpComma, true},  {"1.5", dpComma, false},
        {"\xC3\xA9", dpBoth, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string("'") + c.Text + "'");
        EXPECT_EQ(IsFixedText(c.Text, c.Sep), c.Valid);
    }
}

// The platform separator decides dpSystem; the two fields part only for a separator that
// is neither "." nor ",".
TEST_F(NumTextScan, SeparatorSetsFollowThePlatformUnderDpSystem) {
    struct TCase {
        char Platform;
        const char* Convert;
        const char* Check;
    };
    const TCase cases[] = {{'.', ".", "."}, {',', ",", ","}, {'/', ".", ","}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string("platform '") + c.Platform + "'");
        FormatSettings.DecimalSeparator = c.Platform;
        EXPECT_EQ(SeparatorSetForConvert(dpSystem), c.Convert);
        EXPECT_EQ(SeparatorSetForCheck(dpSystem), c.Check);
        for (auto [sep, set] : {std::pair{dpPoint, "."}, {dpComma, ","}, {dpBoth, ".,"}}) {
            EXPECT_EQ(SeparatorSetForConvert(sep), set);
            EXPECT_EQ(SeparatorSetForCheck(sep), set);
        }
    }
    FormatSettings.DecimalSeparator = ',';
    EXPECT_TRUE(IsFixedText("1,5", dpSystem));
    EXPECT_FALSE(IsFixedText("1.5", dpSystem));
    EXPECT_FALSE(IsRealText(".5", true, dpSystem));
    FormatSettings.DecimalSeparator = '.';
    EXPECT_TRUE(IsFixedText("1.5", dpSystem));
    EXPECT_FALSE(IsFixedText("1,5", dpSystem));
}

struct TIntCase {
    const char* Text;
    int Start;
    int Value;
    int Stop;
};

void ExpectScans(int (*Scan)(const std::string&, int&), const TIntCase* First,
                 const TIntCase* Last) {
    for (const TIntCase* c = First; c != Last; ++c) {
        SCOPED_TRACE(std::string("'") + c->Text + "' from " + std::to_string(c->Start));
        int pos = c->Start;
        EXPECT_EQ(Scan(c->Text, pos), c->Value);
        EXPECT_EQ(pos, c->Stop);
    }
}

TEST_F(NumTextScan, ScanIntTextWrapsAround32Bits) {
    const TIntCase cases[] = {
        {"", 1, 0, 1},
        {"123", 1, 123, 4},
        {"  -45x", 1, -45, 6},
        {"+7", 1, 7, 3},
        {"-", 1, 0, 2},
        {"1.5", 1, 1, 2},
        {"x9", 2, 9, 3},
        {" ", 1, 0, 1},
        {"   ", 1, 0, 3},  // blanks are skipped up to the last character only
        {"  7", 1, 7, 4},
        {"- 5", 1, 0, 2},
        {"--5", 1, 0, 2},
        {"2147483647", 1, 2147483647, 11},
        {"2147483648", 1, INT_MIN, 11},
        {"-2147483648", 1, INT_MIN, 12},
        {"4294967296", 1, 0, 11},
        {"99999999999", 1, 1215752191, 12},
        {"-99999999999", 1, -1215752191, 13},
        {"12", 3, 0, 3},
        {"12", 0, 0, 0},
        {"12", INT_MAX, 0, INT_MAX},
        {"\xC3\xA9"
         "5",
         2, 5, 3},
    };
    ExpectScans(ScanIntText, std::begin(cases), std::end(cases));
}

TEST_F(NumTextScan, IsIntText) {
    const std::pair<const char*, bool> cases[] = {
        {"5", true},   {"+1", true},   {"-12", true},  {"007", true},       {"", false},
        {"-", false},  {"+", false},   {"1-", false},  {"a", false},        {"12a", false},
        {" 1", false}, {"--1", false}, {"1.0", false}, {"\xC3\xA9", false},
    };
    for (auto [text, valid] : cases) EXPECT_EQ(IsIntText(text), valid) << "'" << text << "'";
}

TEST_F(NumTextScan, ScanHexText) {
    const TIntCase cases[] = {
        {"FFFFFFFF", 1, -1, 9},
        {"80000000", 1, INT_MIN, 9},
        {"7fffffff", 1, INT_MAX, 9},
        {"ff", 1, 255, 3},
        {"$1F", 1, 31, 4},
        {"$ 1F", 1, 31, 5},
        {"$", 1, 0, 2},
        {" $1F", 1, 0, 2},  // "$" counts at position 1 only
        {"$$1", 2, 0, 2},
        {"xx1F", 3, 31, 5},
        {"  a", 1, 10, 4},
        {"1G", 1, 1, 2},
        {"123456789", 1, 0x23456789, 10},
        {"", 1, 0, 1},
        {"1F", 5, 0, 5},
    };
    ExpectScans(ScanHexText, std::begin(cases), std::end(cases));
}

TEST_F(NumTextScan, ScanOctAndBinText) {
    const TIntCase octal[] = {
        {"37777777777", 1, -1, 12},
        {"20000000000", 1, INT_MIN, 12},
        {"777", 1, 511, 4},
        {"8", 1, 0, 1},
        {" 17 ", 1, 15, 4},
        {"$7", 1, 0, 1},
        {"", 1, 0, 1},
    };
    ExpectScans(ScanOctText, std::begin(octal), std::end(octal));
    const TIntCase binary[] = {
        {"101", 1, 5, 4},
        {"11111111111111111111111111111111", 1, -1, 33},
        {"10000000000000000000000000000000", 1, INT_MIN, 33},
        {"100000000000000000000000000000001", 1, 1, 34},  // the 33rd bit falls off
        {"102", 1, 2, 3},
        {"  1", 1, 1, 4},
        {"2", 1, 0, 1},
    };
    ExpectScans(ScanBinText, std::begin(binary), std::end(binary));
}

TEST_F(NumTextScan, DigitChecks) {
    EXPECT_TRUE(IsHexText("0123456789abcdefABCDEF"));
    EXPECT_FALSE(IsHexText(""));
    EXPECT_FALSE(IsHexText("1G"));
    EXPECT_FALSE(IsHexText("$1F"));
    EXPECT_FALSE(IsHexText("-1"));
    EXPECT_TRUE(IsOctText("01234567"));
    EXPECT_FALSE(IsOctText("8"));
    EXPECT_FALSE(IsOctText(""));
    EXPECT_TRUE(IsBinText("0110"));
    EXPECT_FALSE(IsBinText("102"));
    EXPECT_FALSE(IsBinText(" 1"));
    EXPECT_FALSE(IsBinText(""));
}

}  // namespace
