// TNumIO2 without input: initial state, the setters and their limits, the checks, and the
// conversions between text and value in every input format and separator setting.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "foundation/kovocore.h"
#include "host/Form.h"
#include "host/SysUtils.h"
#include "host/platform/Headless.h"
#include "numeric_entry/NumIO.h"

using namespace kovo;

namespace {

class NumIO2Model : public ::testing::Test {
  protected:
    void SetUp() override {
        Headless::Instance();
        Headless::SetTimersRefused(false);
        field = std::make_unique<TNumIO2>(nullptr);
        field->SetName("Field");
    }
    void TearDown() override { ResetFormatSettings(); }

    std::unique_ptr<TNumIO2> field;
};

TEST_F(NumIO2Model, StartsWithTheDocumentedState) {
    TNumIO2& f = *field;
    EXPECT_EQ(f.Width(), 160);
    EXPECT_EQ(f.Height(), 28);
    EXPECT_EQ(f.LeftSpace(), 35);
    EXPECT_EQ(f.TextBoxWidth(), 80);
    EXPECT_EQ(f.FixPointDecPlaces(), 2);
    EXPECT_EQ(f.SignificantDigits(), 6);
    EXPECT_EQ(f.ButWidth(), 18);
    EXPECT_EQ(f.ButSpace(), 3);
    EXPECT_EQ(f.ButIncrem(), 1.0);
    EXPECT_FALSE(f.ButVisible());
    EXPECT_TRUE(f.But3D());
    EXPECT_EQ(f.ButHeight(), 28);
    EXPECT_EQ(f.ButColor(), TColor(0xC0C0C0));
    EXPECT_EQ(f.Text(), "");
    EXPECT_EQ(f.CaretPos(), 0);
    EXPECT_TRUE(f.CaretVisible());
    EXPECT_FALSE(f.GaugeVisible());
    EXPECT_EQ(f.GaugeHeight(), 8);
    EXPECT_EQ(f.GaugeWidth(), 82);
    EXPECT_EQ(f.GaugeLeftMargin(), 35);
    EXPECT_EQ(f.GaugeTopMargin(), 3);
    EXPECT_EQ(f.GaugeColor(), TColor(0x800000));
    EXPECT_EQ(f.GaugeColorBg(), TColor(0xC0C0C0));
    EXPECT_EQ(f.GaugeColorFrame(), TColor(0x808080));
    EXPECT_EQ(f.GaugeFrameStyle(), fsSunken);
    EXPECT_EQ(f.FrameStyle(), fsSunken);
    EXPECT_EQ(f.Alignment(), taCenter);
    EXPECT_EQ(f.LeftTextAlignment(), taRightJustify);
    EXPECT_EQ(f.RightTextAlignment(), taLeftJustify);
    EXPECT_EQ(f.MouseAreaCode(), 0);
    EXPECT_EQ(f.ColorBoxBG(), TColor(0xFFFFFF));
    EXPECT_EQ(f.ColorBoxText(), clBlack);
    EXPECT_EQ(f.ColorOutBG(), clBtnFace);
    EXPECT_EQ(f.ColorOutText(), clBlack);
    EXPECT_EQ(f.ColorWarnBG(), TColor(0x6088FFF0));
    EXPECT_EQ(f.ColorWarnText(), TColor(0x0000FF));
    EXPECT_EQ(f.ColorScheme(), csFixed);
    EXPECT_EQ(f.SelBegin(), 0);
    EXPECT_EQ(f.SelEnd(), 0);
    EXPECT_EQ(f.DecPlaceSep(), dpBoth);
    EXPECT_EQ(f.InputFormat(), itFloat);
    EXPECT_TRUE(f.HideSelection());
    EXPECT_EQ(f.RangeHigh(), 1000.0);
    EXPECT_EQ(f.RangeLow(), 0.0);
    EXPECT_FALSE(f.Beep());
    EXPECT_FALSE(f.ReadOnly());
    EXPECT_FALSE(f.AutoSize());
    EXPECT_TRUE(f.ButtonPivots.empty());
    EXPECT_TRUE(f.TabStop());
}

TEST_F(NumIO2Model, ConstructionWithoutATimerRaisesTheUnitsError) {
    Headless::SetTimersRefused(true);
    try {
        TNumIO2 f(nullptr);
        ADD_FAILURE() << "no exception";
    } catch (const EKovoNumIO2Error& e) {
        EXPECT_STREQ(e.what(), "Component \"\": no timer available");
    }
    Headless::SetTimersRefused(false);
}

struct ValidityCase {
    TInFormat Format;
    TDecPSep Sep;
    const char* Text;
    bool Valid;
};

TEST_F(NumIO2Model, CheckValidityFollowsTheInputFormat) {
    const ValidityCase cases[] = {
        {itExp, dpPoint, "1E", true},          {itExp, dpPoint, "-1.5E+12", true},
        {itExp, dpPoint, "12A", true},         {itExp, dpPoint, "-", false},
        {itExp, dpPoint, "1E4201", false},     {itFloat, dpPoint, "-12.50", true},
        {itFloat, dpPoint, "-", true},         {itFloat, dpPoint, "1,5", false},
        {itFloat, dpBoth, "1,5", true},        {itFloat, dpComma, "1.5", false},
        {itFloat, dpPoint, "1A", false},       {itFloat, dpPoint, "1e5", false},
        {itFixPoint, dpPoint, "1.25", true},   {itFixPoint, dpPoint, "1.2", false},
        {itFixPoint, dpPoint, "1.250", false}, {itFixPoint, dpPoint, "125", false},
        {itFixPoint, dpComma, "1,25", true},   {itFixPoint, dpBoth, "1,25", true},
        {itInt, dpPoint, "-17", true},         {itInt, dpPoint, "+3", true},
        {itInt, dpPoint, "-", false},          {itInt, dpPoint, "1.0", false},
        {itHex, dpPoint, "fF09", true},        {itHex, dpPoint, "G", false},
        {itHex, dpPoint, "-1", false},         {itOct, dpPoint, "17", true},
        {itOct, dpPoint, "18", false},         {itBin, dpPoint, "101", true},
        {itBin, dpPoint, "102", false},        {itDynamic, dpPoint, "$", false},
        {itDynamic, dpPoint, "%", false},      {itDynamic, dpPoint, "&", false},
        {itDynamic, dpPoint, "$1F", true},     {itDynamic, dpPoint, "%101", true},
        {itDynamic, dpPoint, "&17", true},     {itDynamic, dpPoint, "-3.5", true},
        {itDynamic, dpPoint, "$1G", false},    {itDynamic, dpPoint, "%102", false},
        {itDynamic, dpPoint, "&8", false},     {itDynamic, dpPoint, "", false},
    };
    for (const auto& c : cases) {
        field->SetInputFormat(c.Format);
        field->SetDecPlaceSep(c.Sep);
        EXPECT_EQ(field->CheckValidity(c.Text), c.Valid)
            << "format " << int(c.Format) << " sep " << int(c.Sep) << " '" << c.Text << "'";
    }
}

struct WriteCase {
    TInFormat Format;
    double Value;
    const char* Text;
};

TEST_F(NumIO2Model, WritingTheValueGivesTheTextOfTheFormat) {
    const WriteCase cases[] = {
        {itHex, -1, "FFFFFFFF"},
        {itHex, 255, "000000FF"},
        {itHex, 2.5, "00000002"},
        {itOct, -1, "37777777777"},
        {itOct, 8, "00000000010"},
        {itBin, -1, "11111111111111111111111111111111"},
        {itBin, 5, "00000000000000000000000000000101"},
        {itExp, 1234.5, " 1.23450E+03"},
        {itExp, 0, " 0.00000E+00"},
        {itExp, -0.5, "-5.00000E-01"},
        {itExp, 1e100, "************"},
        {itFloat, 3.14159, "3.14"},
        {itFloat, -0.5, "-0.50"},
        {itFixPoint, 12, "12.00"},
        {itInt, 2.5, "2"},
        {itInt, 3.5, "4"},
        {itInt, -7.5, "-8"},
        {itInt, 3e9, "3000000000"},
        {itDynamic, 41.7, "42"},
        {itDynamic, -3, "-3"},
    };
    for (const auto& c : cases) {
        field->SetInputFormat(c.Format);
        field->SetValue(c.Value);
        EXPECT_EQ(field->Text(), c.Text) << "format " << int(c.Format) << " value " << c.Value;
    }
}

TEST_F(NumIO2Model, ValuesBeyondTheIntegerRangeStillGetAText) {
    field->SetInputFormat(itInt);
    field->SetValue(1e300);
    EXPECT_EQ(field->Text(), "9223372036854775807");
    field->SetValue(-1e300);
    EXPECT_EQ(field->Text(), "-9223372036854775808");
    field->SetValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(field->Text(), "0");
    field->SetInputFormat(itHex);
    field->SetValue(std::numeric_limits<double>::infinity());
    EXPECT_EQ(field->Text(), "FFFFFFFF");  // the low 32 bits of the largest 64-bit integer
}

TEST_F(NumIO2Model, InfinitiesAndNaNInTheRealFormatsGiveTextsTheFieldAccepts) {
    const double inf = std::numeric_limits<double>::infinity();
    for (TInFormat f : {itFloat, itFixPoint}) {
        field->SetInputFormat(f);
        for (double v : {inf, -inf, std::numeric_limits<double>::quiet_NaN()}) {
            SCOPED_TRACE(std::to_string(int(f)) + " " + std::to_string(v));
            field->SetValue(v);
            EXPECT_TRUE(field->CheckValidity(field->Text())) << field->Text();
            EXPECT_EQ(field->Value(), std::isnan(v) ? 0.0 : std::copysign(uc_MaxDouble, v));
        }
    }
}

struct ReadCase {
    TInFormat Format;
    const char* Text;
    double Value;
};

TEST_F(NumIO2Model, ReadingTheTextGivesTheValueOfTheFormat) {
    const ReadCase cases[] = {
        {itDynamic, "$FFFFFFFF", -1},
        {itDynamic, "%101", 5},
        {itDynamic, "&17", 15},
        {itDynamic, "-3.5", -3.5},
        {itDynamic, "", 0},
        {itHex, "FFFFFFFF", -1},
        {itHex, "80000000", -2147483648.0},
        {itHex, "7fffffff", 2147483647},
        {itOct, "37777777777", -1},
        {itBin, "11111111111111111111111111111110", -2},
        {itInt, "99999999999", 2147483647},
        {itInt, "-99999999999", 2147483647},
        {itInt, "-2147483648", -2147483648.0},
        {itInt, "+12", 12},
        {itExp, "12A", 12},
        {itExp, " 1.5E+02", 150},
        {itFloat, "1,5", 1.5},  // the reader takes either separator
        {itFloat, "-", 0},
    };
    for (const auto& c : cases) {
        field->SetInputFormat(c.Format);
        field->SetText(c.Text);
        ASSERT_EQ(field->Text(), c.Text) << "format " << int(c.Format);
        EXPECT_EQ(field->Value(), c.Value) << "format " << int(c.Format) << " '" << c.Text << "'";
    }
}

// Whatever the field writes passes its own check and reads back, under every separator.
TEST_F(NumIO2Model, WrittenTextsPassTheCheckAndReadBackUnderEverySeparator) {
    const TInFormat formats[] = {itExp, itFloat, itFixPoint, itInt, itHex, itOct, itBin, itDynamic};
    const double values[] = {0, 1.25, -37.5, 1234.5};
    for (char locale : {'.', ','}) {
        FormatSettings.DecimalSeparator = locale;
        for (TDecPSep sep : {dpSystem, dpPoint, dpComma, dpBoth}) {
            field->SetDecPlaceSep(sep);
            for (TInFormat fmt : formats) {
                field->SetInputFormat(fmt);
                for (double v : values) {
                    field->SetValue(v);
                    const std::string text = field->Text();
                    SCOPED_TRACE("locale " + std::string(1, locale) + " sep " +
                                 std::to_string(int(sep)) + " format " + std::to_string(int(fmt)) +
                                 " text '" + text + "'");
                    EXPECT_TRUE(field->CheckValidity(text));
                    const bool integral = fmt == itInt || fmt == itHex || fmt == itOct ||
                                          fmt == itBin || fmt == itDynamic;
                    EXPECT_EQ(field->Value(), integral ? double(Round(v)) : v);
                }
            }
        }
    }
}

TEST_F(NumIO2Model, ACommaSettingShowsACommaInTheText) {
    field->SetDecPlaceSep(dpComma);
    field->SetValue(2.5);
    EXPECT_EQ(field->Text(), "2,50");
    FormatSettings.DecimalSeparator = ',';
    field->SetDecPlaceSep(dpSystem);
    field->SetValue(-1.75);
    EXPECT_EQ(field->Text(), "-1,75");
    field->SetDecPlaceSep(dpPoint);
    EXPECT_EQ(field->Text(), "-1.75");
    FormatSettings.DecimalSeparator = '.';
    field->SetDecPlaceSep(dpSystem);
    field->SetValue(0.5);
    EXPECT_EQ(field->Text(), "0.50");
}

TEST_F(NumIO2Model, IntegerValueRoundsAndReportsOverflow) {
    field->SetValue(2.5);
    EXPECT_EQ(field->IntegerValue(), 2);
    field->SetValue(-3.5);
    EXPECT_EQ(field->IntegerValue(), -4);
    field->SetInputFormat(itInt);
    field->SetText("-2147483648");
    EXPECT_EQ(field->IntegerValue(), INT32_MIN);
    field->SetInputFormat(itFloat);
    field->SetValue(3e9);
    const std::string before = field->Text();
    try {
        (void)field->IntegerValue();
        ADD_FAILURE() << "no exception";
    } catch (const EKovoNumIO2Error& e) {
        EXPECT_STREQ(e.what(), "Component \"Field\": integer overflow");
    }
    EXPECT_EQ(field->Text(), before);
    field->SetValue(-3e9);
    EXPECT_THROW((void)field->IntegerValue(), EKovoError);
}

TEST_F(NumIO2Model, TextSetterIgnoresInvalidTextsAndResetsCaretAndSelection) {
    field->SetText("12.5");
    field->SetSelBegin(1);
    field->SetSelEnd(3);
    EXPECT_EQ(field->CaretPos(), 3);
    field->SetText("12x");
    EXPECT_EQ(field->Text(), "12.5");
    EXPECT_EQ(field->SelBegin(), 1);
    field->SetText("7");
    EXPECT_EQ(field->Text(), "7");
    EXPECT_EQ(field->CaretPos(), 0);
    EXPECT_EQ(field->SelBegin(), 0);
    EXPECT_EQ(field->SelEnd(), 0);
    field->SetText("");
    EXPECT_EQ(field->Text(), "");
    EXPECT_EQ(field->Value(), 0);
}

TEST_F(NumIO2Model, SelectionSettersClampAndMoveTheCaret) {
    field->SetText("1234");
    field->SetSelEnd(10);
    EXPECT_EQ(field->SelEnd(), 4);
    EXPECT_EQ(field->CaretPos(), 4);
    field->SetSelBegin(2);
    EXPECT_EQ(field->SelBegin(), 2);
    EXPECT_EQ(field->SelEnd(), 4);
    EXPECT_EQ(field->CaretPos(), 2);
    field->SetSelEnd(1);  // below the beginning: the beginning follows
    EXPECT_EQ(field->SelBegin(), 1);
    EXPECT_EQ(field->SelEnd(), 1);
    field->SetSelBegin(3);  // above the end: the end follows
    EXPECT_EQ(field->SelEnd(), 3);
    field->SetSelBegin(-5);
    EXPECT_EQ(field->SelBegin(), 0);
    // A shorter text written by the value keeps caret and selection inside it.
    field->SetSelEnd(4);
    field->SetValue(1);
    EXPECT_EQ(field->Text(), "1.00");
    field->SetFixPointDecPlaces(1);
    EXPECT_EQ(field->Text(), "1.0");
    EXPECT_LE(field->SelEnd(), 3);
    EXPECT_LE(field->CaretPos(), 3);
}

TEST_F(NumIO2Model, InputFormatRewritesTheValueInTheNewFormat) {
    field->SetValue(255.4);
    field->SetInputFormat(itHex);
    EXPECT_EQ(field->Text(), "000000FF");
    field->SetInputFormat(itBin);
    EXPECT_EQ(field->Text(), "00000000000000000000000011111111");
    field->SetInputFormat(itExp);
    EXPECT_EQ(field->Text(), " 2.55000E+02");
    field->SetInputFormat(itFixPoint);
    EXPECT_EQ(field->Text(), "255.00");
}

TEST_F(NumIO2Model, DigitSettersLimitAndRewrite) {
    // The text is what the value is: more decimals show the digits it has.
    field->SetValue(1.0 / 3.0);
    field->SetFixPointDecPlaces(4);
    EXPECT_EQ(field->Text(), "0.3300");
    field->SetValue(1.0 / 3.0);
    EXPECT_EQ(field->Text(), "0.3333");
    field->SetFixPointDecPlaces(0);
    EXPECT_EQ(field->FixPointDecPlaces(), 4);
    field->SetFixPointDecPlaces(-2);
    EXPECT_EQ(field->FixPointDecPlaces(), 4);
    field->SetFixPointDecPlaces(40);
    EXPECT_EQ(field->FixPointDecPlaces(), 15);

    field->SetInputFormat(itExp);
    field->SetSignificantDigits(20);
    EXPECT_EQ(field->SignificantDigits(), 15);
    field->SetSignificantDigits(0);
    EXPECT_EQ(field->SignificantDigits(), 15);
    field->SetSignificantDigits(3);
    EXPECT_EQ(field->Text(), " 3.33E-01");
}

TEST_F(NumIO2Model, SeparatorSetterRewritesTheSeparatorsOfTheText) {
    field->SetText("1,5");  // dpBoth accepts either
    field->SetDecPlaceSep(dpPoint);
    EXPECT_EQ(field->Text(), "1.5");
    field->SetDecPlaceSep(dpComma);
    EXPECT_EQ(field->Text(), "1,5");
    field->SetDecPlaceSep(dpBoth);  // only stored
    EXPECT_EQ(field->Text(), "1,5");
    EXPECT_EQ(field->DecPlaceSep(), dpBoth);
    FormatSettings.DecimalSeparator = '.';
    field->SetDecPlaceSep(dpSystem);
    EXPECT_EQ(field->Text(), "1.5");
}

TEST_F(NumIO2Model, RangeEndsPushEachOther) {
    field->SetRangeHigh(3);
    field->SetRangeLow(5);
    EXPECT_EQ(field->RangeLow(), 5);
    EXPECT_EQ(field->RangeHigh(), 5);
    field->SetRangeHigh(-1);
    EXPECT_EQ(field->RangeLow(), -1);
    EXPECT_EQ(field->RangeHigh(), -1);
    field->SetRangeHigh(10);
    EXPECT_EQ(field->RangeLow(), -1);

    field->SetValue(10);
    EXPECT_FALSE(field->OutOfRange());
    field->SetValue(10.01);
    EXPECT_TRUE(field->OutOfRange());
    field->SetValue(-1.01);
    EXPECT_TRUE(field->OutOfRange());
}

struct LimitCase {
    const char* Name;
    void (TNumIO2::*Set)(int);
    int (TNumIO2::*Get)() const;
    int Value;
    int Stored;
};

TEST_F(NumIO2Model, LayoutSettersKeepTheirLimits) {
    // Height 28, width 160, gauge 8 high at margin 3, 82 wide at 35.
    const LimitCase cases[] = {
        {"ButWidth", &TNumIO2::SetButWidth, &TNumIO2::ButWidth, 100, 50},
        {"ButWidth", &TNumIO2::SetButWidth, &TNumIO2::ButWidth, 2, 8},
        {"ButSpace", &TNumIO2::SetButSpace, &TNumIO2::ButSpace, -4, 0},
        {"ButSpace", &TNumIO2::SetButSpace, &TNumIO2::ButSpace, 60, 50},
        {"ButHeight", &TNumIO2::SetButHeight, &TNumIO2::ButHeight, 5, 18},
        {"ButHeight", &TNumIO2::SetButHeight, &TNumIO2::ButHeight, 40, 28},
        {"GaugeHeight", &TNumIO2::SetGaugeHeight, &TNumIO2::GaugeHeight, 1, 3},
        {"GaugeHeight", &TNumIO2::SetGaugeHeight, &TNumIO2::GaugeHeight, 20, 7},
        {"GaugeWidth", &TNumIO2::SetGaugeWidth, &TNumIO2::GaugeWidth, 4, 10},
        {"GaugeWidth", &TNumIO2::SetGaugeWidth, &TNumIO2::GaugeWidth, 500, 125},
        {"GaugeLeftMargin", &TNumIO2::SetGaugeLeftMargin, &TNumIO2::GaugeLeftMargin, -3, 0},
        {"GaugeLeftMargin", &TNumIO2::SetGaugeLeftMargin, &TNumIO2::GaugeLeftMargin, 300, 78},
        {"GaugeTopMargin", &TNumIO2::SetGaugeTopMargin, &TNumIO2::GaugeTopMargin, 50, 2},
        {"GaugeTopMargin", &TNumIO2::SetGaugeTopMargin, &TNumIO2::GaugeTopMargin, -1, 0},
        {"LeftSpace", &TNumIO2::SetLeftSpace, &TNumIO2::LeftSpace, 500, 160},
        {"LeftSpace", &TNumIO2::SetLeftSpace, &TNumIO2::LeftSpace, -1, 35},
    };
    for (const auto& c : cases) {
        TNumIO2 f(nullptr);
        (f.*c.Set)(c.Value);
        EXPECT_EQ((f.*c.Get)(), c.Stored) << c.Name << " := " << c.Value;
    }
}

TEST_F(NumIO2Model, HeightHasAMinimumAndPullsTheButtonsDown) {
    field->SetHeight(10);
    EXPECT_EQ(field->Height(), 18);
    EXPECT_EQ(field->ButHeight(), 18);
    field->SetHeight(40);
    EXPECT_EQ(field->ButHeight(), 18);  // a greater height leaves the buttons alone
    field->SetButHeight(40);
    field->SetBounds(0, 0, 100, 30);
    EXPECT_EQ(field->ButHeight(), 30);
}

TEST_F(NumIO2Model, AssignCopiesTheFieldButNotItsButtonsGaugeOrEvents) {
    TNumIO2 src(nullptr);
    src.SetLeftSpace(50);
    src.SetTextBoxWidth(60);
    src.SetFixPointDecPlaces(3);
    src.SetLeftText("Left");
    src.SetRightText("Right");
    src.SetFrameStyle(fsRidge);
    src.SetAlignment(taLeftJustify);
    src.SetColorBoxBG(clYellow);
    src.SetColorWarnText(clGreen);
    src.SetColorScheme(csSystem);
    src.SetInputFormat(itFixPoint);
    src.SetRangeHigh(50);
    src.SetRangeLow(-50);
    src.SetValue(12.5);
    src.SetSelBegin(1);
    src.SetSelEnd(3);
    src.SetBeep(true);
    src.SetReadOnly(true);
    src.SetButVisible(true);
    src.SetGaugeVisible(true);
    src.ButtonPivots = {1, 2};
    src.OnChange = [](TObject*) {};

    field->SetBounds(7, 8, 200, 40);
    field->Assign(&src);
    EXPECT_EQ(field->LeftSpace(), 50);
    EXPECT_EQ(field->TextBoxWidth(), 60);
    EXPECT_EQ(field->FixPointDecPlaces(), 3);
    EXPECT_EQ(field->LeftText(), "Left");
    EXPECT_EQ(field->RightText(), "Right");
    EXPECT_EQ(field->FrameStyle(), fsRidge);
    EXPECT_EQ(field->Alignment(), taLeftJustify);
    EXPECT_EQ(field->ColorBoxBG(), clYellow);
    EXPECT_EQ(field->ColorWarnText(), clGreen);
    EXPECT_EQ(field->ColorScheme(), csSystem);
    EXPECT_EQ(field->InputFormat(), itFixPoint);
    EXPECT_EQ(field->Text(), "12.500");
    EXPECT_EQ(field->SelBegin(), 1);
    EXPECT_EQ(field->SelEnd(), 3);
    EXPECT_EQ(field->CaretPos(), 3);
    EXPECT_EQ(field->RangeHigh(), 50);
    EXPECT_EQ(field->RangeLow(), -50);
    EXPECT_TRUE(field->Beep());
    EXPECT_TRUE(field->ReadOnly());
    EXPECT_FALSE(field->ButVisible());
    EXPECT_FALSE(field->GaugeVisible());
    EXPECT_TRUE(field->ButtonPivots.empty());
    EXPECT_FALSE(bool(field->OnChange));
    EXPECT_EQ(field->Left(), 7);
    EXPECT_EQ(field->Width(), 200);
    EXPECT_EQ(field->Name(), "Field");

    TForm form(nullptr);
    EXPECT_THROW(field->Assign(&form), EConvertError);
}

}  // namespace
