#include "displays/NumLab.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "host/Bitmap.h"
#include "host/Canvas.h"
#include "host/DateUtils.h"
#include "host/Form.h"
#include "host/StyleServices.h"
#include "host/SysUtils.h"
#include "host/platform/Headless.h"

using namespace kovo;

namespace {

const std::string Deg = "\xC2\xB0";
const std::string Micro = "\xC2\xB5";
const std::string Probe = "(8g]}\xC3\x9C\xC3\x84\xC2\xA7";

// Opens the off-screen picture to the tests: what a paint draws, as canvas calls.
class TProbeLab : public TNumLab {
  public:
    using TNumLab::TNumLab;
    std::vector<TCanvasCall> Record() {
        TBitmap b(Width(), Height());
        b.Canvas()->SetFont(Font());
        b.Canvas()->StartRecording();
        PaintPicture(b.Canvas());
        return b.Canvas()->Calls();
    }
    void PaintNow() { Paint(); }
};

std::vector<TCanvasCall> CallsOf(const std::vector<TCanvasCall>& calls, const std::string& op) {
    std::vector<TCanvasCall> out;
    for (const auto& c : calls)
        if (c.Op == op) out.push_back(c);
    return out;
}

int TextWidthIn(TNumLab& lab, const std::string& text) {
    TBitmap b(1, 1);
    b.Canvas()->SetFont(lab.Font());
    return b.Canvas()->TextWidth(text);
}

int TextHeightIn(TNumLab& lab, const std::string& text) {
    TBitmap b(1, 1);
    b.Canvas()->SetFont(lab.Font());
    return b.Canvas()->TextHeight(text);
}

// The text each paint hands to OnBeforeDisplay.
class NumLabText : public ::testing::Test {
  protected:
    void SetUp() override {
        lab.SetLabelWidth(100000);  // nothing overflows for width
        lab.OnBeforeDisplay = [this](TObject*, std::string& t) {
            last = t;
            ++calls;
        };
    }
    void TearDown() override { ResetFormatSettings(); }

    std::string Show(TDisplay type, int precision, double value) {
        lab.SetDisplayType(type);
        lab.SetPrecision(precision);
        lab.SetValue(value);
        lab.PaintNow();
        return last;
    }

    TProbeLab lab{nullptr};
    std::string last;
    int calls = 0;
};

struct TextCase {
    TDisplay Type;
    int Precision;
    double Value;
    std::string Expected;
};

TEST_F(NumLabText, EveryDisplayType) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::string over = "*********";
    const std::vector<TextCase> cases = {
        {dtFixP, 2, 3.14159, "3.14"},
        {dtFixP, 0, 2.5, "3"},
        {dtFixP, 3, -0.5, "-0.500"},
        {dtFloat, 3, 3.14159, "3.14"},
        {dtFloat, 2, 123456.0, "1.2E5"},
        {dtFloat, 6, 0.5, "0.5"},
        {dtExp, 3, 3.14159, "3.14E+000"},
        {dtExp, 4, -1234.5, "-1.235E+003"},
        {dtInt, 2, 2.5, "2"},
        {dtInt, 9, 3.5, "4"},
        {dtInt, 0, -7.5, "-8"},
        {dtInt, 0, 1e30, over},
        {dtInt, 0, nan, over},
        {dtZeroInt, 4, 42, "0042"},
        {dtZeroInt, 4, -7, "-0007"},
        {dtZeroInt, 3, 2.5, "002"},
        {dtZeroInt, 2, 12345, "12345"},
        {dtHex, 2, 10, "0A"},
        {dtHex, 2, 300, "12C"},
        {dtHex, 0, 0, "0"},
        {dtHex, 2, -1, "FFFFFFFF"},
        {dtHex, 2, 4294967295.0, "FFFFFFFF"},
        {dtHex, 2, -2147483648.0, "80000000"},
        {dtHex, 2, 4294967296.0, over},
        {dtHex, 2, -2147483649.0, over},
        {dtHex, 15, 255, "000000FF"},  // at most the 8 digits of 32 bits
        {dtOct, 0, 8, "10"},
        {dtOct, 4, 8, "0010"},
        {dtOct, 0, -1, "37777777777"},
        {dtBin, 0, 5, "101"},
        {dtBin, 8, 5, "00000101"},
        {dtBin, 0, -1, std::string(32, '1')},
        {dtBin, 0, inf, over},
        {dtDateTime, 2, EncodeDate(2023, 3, 15), "Mar-15, 2023"},
        {dtDateTime, 2, 1e10, over},
        {dtDateTime, 2, nan, over},
        {dtState, 2, 3, "undefined"},
        {dtDeg, 2, 12.5, "12.50" + Deg},
        {dtDeg, 0, -90.4, "-90" + Deg},
        {dtDeg, 2, inf, over},
        {dtDegMin, 2, 12.5, "12" + Deg + "30.00'"},
        {dtDegMin, 0, -0.5, "-0" + Deg + "30'"},
        {dtDegMin, 1, 59.99999, "60" + Deg + "00.0'"},  // the carry reaches the degrees
        {dtDegMin, 2, 0.0001, "0" + Deg + "00.01'"},
        {dtDegMinSec, 0, 12.5042, "12" + Deg + "30'15\""},
        {dtDegMinSec, 2, 12.5042, "12" + Deg + "30'15.12\""},
        {dtDegMinSec, 0, 1.0 - 1e-6, "1" + Deg + "00'00\""},
        {dtDegMinSec, 15, 1e10, over},
        {dtEEng, 2, 4700, "4.70k"},
        {dtEEng, 2, 0.000047, "47.00" + Micro},
        {dtEEng, 1, -1500000, "-1.5M"},
        {dtEEng, 2, 1, "1.00"},
        {dtEEng, 2, 999.999, "1.00k"},  // rounding carries into the next prefix
        {dtEEng, 2, 0.9999999, "1.00"},
        {dtEEng, 2, 0.001, "1.00m"},
        {dtEEng, 2, 0, "0.00"},
        {dtEEng, 0, 1e24, "1Y"},
        {dtEEng, 0, 1e-24, "1y"},
        {dtEEng, 2, 1e27, "1.00E27"},
        {dtEEng, 2, 2e-27, "2.00E-27"},
        {dtEEng, 2, 5e-324, "4.94E-324"},
        {dtEEng, 2, nan, over},
        {dtEEngNoDP, 2, 4700, "5k"},
        {dtEEngNoDP, 2, 123456, "123k"},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(Show(c.Type, c.Precision, c.Value), c.Expected)
            << "type " << int(c.Type) << " precision " << c.Precision << " value " << c.Value;
    }
}

TEST_F(NumLabText, StateNamesByRoundedValueWithTheStateTextAsFallback) {
    lab.SetStateNames({"off", "on", "fault"});
    EXPECT_EQ(Show(dtState, 2, 1), "on");
    EXPECT_EQ(Show(dtState, 2, 2.4), "fault");
    EXPECT_EQ(Show(dtState, 2, 3), "undefined");
    EXPECT_EQ(Show(dtState, 2, -1), "undefined");
    EXPECT_EQ(Show(dtState, 2, std::nan("")), "undefined");
    lab.SetStateText("no signal");
    EXPECT_EQ(Show(dtState, 2, 7), "no signal");
}

// The separator comes from Comma alone; the types that keep their text are left alone, and
// so is the plus sign for them.
TEST_F(NumLabText, SeparatorAndPlusSign) {
    FormatSettings.DecimalSeparator = ',';
    EXPECT_EQ(Show(dtFixP, 2, 3.14159), "3.14");
    lab.SetComma(true);
    EXPECT_EQ(Show(dtFixP, 2, 3.14159), "3,14");
    FormatSettings.DecimalSeparator = '.';
    EXPECT_EQ(Show(dtFixP, 2, 3.14159), "3,14");
    EXPECT_EQ(Show(dtDeg, 1, 2.24), "2,2" + Deg);
    EXPECT_EQ(Show(dtEEng, 1, 2500), "2,5k");
    lab.SetDTFormat("dd.mm.yyyy");
    EXPECT_EQ(Show(dtDateTime, 2, EncodeDate(2023, 3, 15)), "15.03.2023");
    lab.SetComma(false);

    lab.SetForcePlusSign(true);
    EXPECT_EQ(Show(dtFixP, 2, 0), "0.00");
    EXPECT_EQ(Show(dtFixP, 2, 0.5), "+0.50");
    EXPECT_EQ(Show(dtFixP, 2, -0.5), "-0.50");
    EXPECT_EQ(Show(dtInt, 0, 7), "+7");
    EXPECT_EQ(Show(dtOct, 0, 8), "+10");
    EXPECT_EQ(Show(dtHex, 2, 10), "0A");
    EXPECT_EQ(Show(dtBin, 0, 2), "10");
    EXPECT_EQ(Show(dtState, 0, 1), "undefined");
    EXPECT_EQ(Show(dtDateTime, 0, EncodeDate(2023, 3, 15)), "15.03.2023");
    EXPECT_EQ(Show(dtInt, 0, 1e30), "*********");
}

TEST_F(NumLabText, SettersRepaintOnlyOnChangeAndClamp) {
    lab.SetValue(1);
    const int before = calls;
    lab.SetValue(1);
    lab.SetPrecision(2);
    lab.SetDisplayType(dtFixP);
    lab.SetLeftText("");
    lab.SetComma(false);
    lab.SetColorScheme(csFixed);
    EXPECT_EQ(calls, before);

    lab.SetPrecision(20);
    EXPECT_EQ(lab.Precision(), 15);
    EXPECT_EQ(calls, before + 1);
    lab.SetPrecision(-1);
    EXPECT_EQ(lab.Precision(), 15);
    EXPECT_EQ(calls, before + 1);

    lab.SetLeftSpace(lab.Width() + 50);
    EXPECT_EQ(lab.LeftSpace(), lab.Width());
    lab.SetLeftSpace(-3);
    EXPECT_EQ(lab.LeftSpace(), lab.Width());
    lab.SetLabelWidth(-5);  // no limits
    EXPECT_EQ(lab.LabelWidth(), -5);
}

TEST(NumLabDefaults, AsConstructed) {
    TNumLab lab(nullptr);
    EXPECT_EQ(lab.Width(), 160);
    EXPECT_EQ(lab.Height(), 28);
    EXPECT_EQ(lab.LeftSpace(), 35);
    EXPECT_EQ(lab.LabelWidth(), 80);
    EXPECT_EQ(lab.Precision(), 2);
    EXPECT_EQ(lab.DisplayType(), dtFixP);
    EXPECT_EQ(lab.FrameStyle(), fsSunken);
    EXPECT_EQ(lab.Alignment(), taCenter);
    EXPECT_EQ(lab.LeftTextAlignment(), taRightJustify);
    EXPECT_EQ(lab.RightTextAlignment(), taLeftJustify);
    EXPECT_EQ(lab.OverflowIndicator(), "*********");
    EXPECT_EQ(lab.StateText(), "undefined");
    EXPECT_EQ(lab.DTFormat(), "mmm-dd, yyyy");
    EXPECT_EQ(lab.ColorLabBakG(), clBtnFace);
    EXPECT_EQ(lab.ColorOutBakG(), clBtnFace);
    EXPECT_EQ(lab.ColorScheme(), csFixed);
}

// ---- layout through the canvas record ----

class NumLabLayout : public ::testing::Test {
  protected:
    void SetUp() override {
        lab.SetBounds(0, 0, 300, 30);
        lab.SetLeftSpace(60);
        lab.SetLabelWidth(120);
    }
    TCanvasCall Only(const std::string& op) {
        auto calls = CallsOf(lab.Record(), op);
        EXPECT_EQ(calls.size(), 1u) << op;
        return calls.empty() ? TCanvasCall{} : calls[0];
    }
    int Y0() { return (lab.Height() - TextHeightIn(lab, Probe)) / 2; }
    TProbeLab lab{nullptr};
};

TEST_F(NumLabLayout, NumberPlacedByAlignmentAndClippedToTheBox) {
    lab.SetValue(3.14159);
    const int tw = TextWidthIn(lab, "3.14");
    struct {
        TAlignment Align;
        int X;
    } cases[] = {{taLeftJustify, 64},
                 {taRightJustify, 60 + 120 - 2 - tw},
                 {taCenter, 60 + 2 + (120 - tw) / 2}};
    for (auto& c : cases) {
        lab.SetAlignment(c.Align);
        TCanvasCall t = Only("TextRect");
        EXPECT_EQ(t.Text, "3.14");
        EXPECT_EQ(t.Args, (std::vector<int>{63, 2, 179, 30 - 3, c.X, Y0()})) << int(c.Align);
        EXPECT_EQ(t.FontColor, clBlack);
        EXPECT_EQ(t.BrushColor, clBtnFace);
    }
}

TEST_F(NumLabLayout, SideTextsPlacedByTheirAlignments) {
    lab.SetLeftText("Voltage");
    lab.SetRightText("mV");
    const int lw = TextWidthIn(lab, "Voltage"), rw = TextWidthIn(lab, "mV");
    struct {
        TAlignment Align;
        int LeftX, RightX;
    } cases[] = {
        {taLeftJustify, 7, 60 + 120 + 7},
        {taRightJustify, 60 - lw - 5, 300 - rw - 6},
        {taCenter, (60 - lw) / 2, (300 - 60 - 120 - rw) / 2 + 60 + 120 + 1},
    };
    for (auto& c : cases) {
        lab.SetLeftTextAlignment(c.Align);
        lab.SetRightTextAlignment(c.Align);
        auto outs = CallsOf(lab.Record(), "TextOut");
        ASSERT_EQ(outs.size(), 2u);
        EXPECT_EQ(outs[0].Text, "Voltage");
        EXPECT_EQ(outs[0].Args, (std::vector<int>{c.LeftX, Y0()})) << int(c.Align);
        EXPECT_EQ(outs[1].Text, "mV");
        EXPECT_EQ(outs[1].Args, (std::vector<int>{c.RightX, Y0()})) << int(c.Align);
        EXPECT_EQ(outs[0].FontColor, clBlack);
    }
}

TEST_F(NumLabLayout, VerticalPlaceFollowsTheProbeTextAlsoWhenTooLow) {
    lab.SetHeight(4);
    TCanvasCall t = Only("TextRect");
    EXPECT_EQ(t.Args[5], (4 - TextHeightIn(lab, Probe)) / 2);  // truncated toward zero
    EXPECT_LT(t.Args[5], 0);
}

TEST_F(NumLabLayout, OverflowIndicatorPlacedByItsOwnWidth) {
    lab.SetLabelWidth(40);
    lab.SetValue(123456789.0);
    lab.SetAlignment(taRightJustify);
    TCanvasCall t = Only("TextRect");
    EXPECT_EQ(t.Text, "*********");
    EXPECT_EQ(t.Args[4], 60 + 40 - 2 - TextWidthIn(lab, "*********"));

    // Exactly LabelWidth - 6 still fits; one pixel more does not.
    const int tw = TextWidthIn(lab, "123456789.00");
    lab.SetLabelWidth(tw + 6);
    EXPECT_EQ(Only("TextRect").Text, "123456789.00");
    lab.SetLabelWidth(tw + 5);
    EXPECT_EQ(Only("TextRect").Text, "*********");

    lab.SetOverflowIndicator("#");
    EXPECT_EQ(Only("TextRect").Text, "#");
}

TEST_F(NumLabLayout, StateTextIsNeverReplaced) {
    lab.SetLabelWidth(10);
    lab.SetDisplayType(dtState);
    lab.SetStateText("a rather long state text");
    EXPECT_EQ(Only("TextRect").Text, "a rather long state text");
}

TEST_F(NumLabLayout, HandlerMaySetAnyTextAndAnEmptyOneDrawsNothing) {
    lab.OnBeforeDisplay = [](TObject*, std::string& t) { t = "n/a"; };
    EXPECT_EQ(Only("TextRect").Text, "n/a");
    lab.OnBeforeDisplay = [](TObject*, std::string& t) { t.clear(); };
    EXPECT_TRUE(CallsOf(lab.Record(), "TextRect").empty());
}

TEST_F(NumLabLayout, EmptyDrawsFrameAndSideTextsButNoNumber) {
    int handlerCalls = 0;
    lab.OnBeforeDisplay = [&](TObject*, std::string&) { ++handlerCalls; };
    lab.SetLeftText("L");
    lab.SetRightText("R");
    lab.SetEmpty(true);
    handlerCalls = 0;
    auto calls = lab.Record();
    EXPECT_TRUE(CallsOf(calls, "TextRect").empty());
    EXPECT_EQ(CallsOf(calls, "TextOut").size(), 2u);
    EXPECT_FALSE(CallsOf(calls, "LineTo").empty());
    EXPECT_EQ(handlerCalls, 0);
}

// The box: filled in ColorLabBakG with the pen the frame style asks for, then the frame.
TEST_F(NumLabLayout, BoxPenFollowsFrameStyleAndScheme) {
    lab.SetColorLabBakG(clYellow);
    struct {
        TFrameStyle Style;
        TColorScheme Scheme;
        TColor Pen;
    } cases[] = {
        {fsNone, csFixed, clYellow},          {fsSingle, csFixed, clGray},
        {fsSunken, csFixed, clGray},          {fsRaised, csFixed, clGray},
        {fsRidge, csFixed, clWhite},          {fsGroove, csFixed, clGray},
        {fsSunken, csSystem, clBtnShadow},    {fsRidge, csSystem, clBtnHighlight},
        {TFrameStyle(7), csSystem, clYellow},  // no frame: the outline disappears too
    };
    for (auto& c : cases) {
        lab.SetFrameStyle(c.Style);
        lab.SetColorScheme(c.Scheme);
        auto rects = CallsOf(lab.Record(), "Rectangle");
        ASSERT_EQ(rects.size(), 2u);
        EXPECT_EQ(rects[1].Args, (std::vector<int>{61, 0, 181, 29}));
        EXPECT_EQ(rects[1].PenColor, c.Pen) << int(c.Style) << "/" << int(c.Scheme);
        EXPECT_EQ(rects[1].BrushColor, clYellow);
    }
}

// Frame pixels of the painted control: the box spans columns 61..180 and rows 0..28.
TEST_F(NumLabLayout, FramePixels) {
    lab.SetColorLabBakG(clYellow);
    struct {
        TFrameStyle Style;
        TColor Left, Top, Right, Bottom, Inside;
    } cases[] = {
        {fsNone, clYellow, clYellow, clYellow, clYellow, clYellow},
        {fsSingle, clBlack, clBlack, clBlack, clBlack, clYellow},
        {fsSunken, clGray, clGray, clWhite, clWhite, clYellow},
        {fsRaised, clWhite, clWhite, clGray, clGray, clYellow},
        {fsRidge, clWhite, clWhite, clGray, clGray, clGray},
        {fsGroove, clGray, clGray, clWhite, clWhite, clWhite},
        {TFrameStyle(9), clYellow, clYellow, clYellow, clYellow, clYellow},
    };
    for (auto& c : cases) {
        lab.SetFrameStyle(c.Style);
        TCanvas* cv = lab.Canvas();
        EXPECT_EQ(cv->Pixels(61, 15), c.Left) << int(c.Style);
        EXPECT_EQ(cv->Pixels(100, 0), c.Top) << int(c.Style);
        EXPECT_EQ(cv->Pixels(180, 15), c.Right) << int(c.Style);
        EXPECT_EQ(cv->Pixels(100, 28), c.Bottom) << int(c.Style);
        EXPECT_EQ(cv->Pixels(62, 15), c.Inside) << int(c.Style);
        EXPECT_EQ(ColorToRGB(cv->Pixels(30, 29)), ColorToRGB(clBtnFace));  // outside the box
    }
}

TEST_F(NumLabLayout, DisabledEmbossesSideTextsAndGreysTheNumber) {
    lab.SetLeftText("L");
    lab.SetLeftTextAlignment(taLeftJustify);
    lab.SetEnabled(false);
    auto calls = lab.Record();
    auto outs = CallsOf(calls, "TextOut");
    ASSERT_EQ(outs.size(), 2u);
    EXPECT_EQ(outs[0].Args, (std::vector<int>{8, Y0() + 1}));
    EXPECT_EQ(outs[0].FontColor, clWhite);
    EXPECT_EQ(outs[1].Args, (std::vector<int>{7, Y0()}));
    EXPECT_EQ(outs[1].FontColor, clGray);
    EXPECT_EQ(outs[0].BrushStyle, bsClear);
    EXPECT_EQ(Only("TextRect").FontColor, clBtnShadow);
    EXPECT_FALSE(lab.Enabled());
}

TEST_F(NumLabLayout, StyleServiceColours) {
    StyleServices()->SetEnabled(true);
    auto calls = lab.Record();
    StyleServices()->SetEnabled(false);
    auto rects = CallsOf(calls, "Rectangle");
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].BrushColor, StyleServices()->GetStyleColor(scWindow));
    EXPECT_EQ(rects[1].BrushColor, StyleServices()->GetStyleColor(scGrid));
    auto texts = CallsOf(calls, "TextRect");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].FontColor, StyleServices()->GetStyleFontColor(sfPanelTextNormal));
    // Without seClient and seFont the own colours stay.
    lab.SetStyleElements({seBorder});
    StyleServices()->SetEnabled(true);
    calls = lab.Record();
    StyleServices()->SetEnabled(false);
    EXPECT_EQ(CallsOf(calls, "Rectangle")[0].BrushColor, clBtnFace);
}

// ---- composition ----

TEST(NumLabCompose, OpaqueCopiesTheWholePicture) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 100);
    form.SetColor(clRed);
    auto* lab = new TNumLab(&form);
    lab->SetParent(&form);
    lab->SetBounds(10, 10, 200, 30);
    lab->SetColorOutBakG(clAqua);
    lab->SetColorLabBakG(clYellow);
    form.Show();
    EXPECT_EQ(Headless::PixelAt(lab, 2, 2), clAqua);
    EXPECT_EQ(Headless::PixelAt(lab, 40, 3), clYellow);
}

TEST(NumLabCompose, TransparentShowsTheParentOutsideTheBox) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 100);
    form.SetColor(clRed);
    auto* lab = new TNumLab(&form);
    lab->SetParent(&form);
    lab->SetBounds(10, 10, 200, 30);
    lab->SetColorOutBakG(clAqua);
    lab->SetColorLabBakG(clYellow);
    lab->SetEmpty(true);
    lab->SetTransparent(true);
    form.Show();
    EXPECT_EQ(Headless::PixelAt(lab, 2, 2), clRed);
    EXPECT_EQ(Headless::PixelAt(lab, 40, 3), clYellow);
    // The sunken frame's shadow line lies outside the underlay: grey AND red.
    EXPECT_EQ(Headless::PixelAt(lab, 36, 3), TColor(clRed & clGray));

    // A coloured number text makes the box's underlay white: the picture's box colour shows.
    auto* canvasRec = lab->Canvas();
    canvasRec->StartRecording();
    lab->SetColorLabText(clBlue);
    EXPECT_TRUE(canvasRec->Calls().empty());  // transparent: invalidated, not drawn at once
    Headless::Capture(&form);
    canvasRec->StopRecording();
    auto rects = CallsOf(canvasRec->Calls(), "Rectangle");
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].Args, (std::vector<int>{37, 2, 115, 28}));
    EXPECT_EQ(rects[0].BrushColor, clWhite);
    auto draws = CallsOf(canvasRec->Calls(), "Draw");
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].CopyMode, cmSrcAnd);
    EXPECT_EQ(Headless::PixelAt(lab, 40, 3), clYellow);
}

// A transparent label's picture is ANDed with what lies beneath, so a change lets the parent
// paint first: a removed side text leaves nothing behind.
TEST(NumLabCompose, TransparentChangesRepaintTheParentBeneath) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 100);
    form.SetColor(clRed);
    auto* lab = new TNumLab(&form);
    lab->SetParent(&form);
    lab->SetBounds(10, 10, 200, 30);
    lab->SetLeftSpace(100);
    lab->SetLeftTextAlignment(taLeftJustify);
    lab->SetLeftText("WWWW");
    lab->SetTransparent(true);
    form.Show();
    auto darkPixels = [&] {
        const TSurface shot = Headless::Capture(lab);
        int n = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 100; ++x) n += shot.Row(y)[x] != ToPixel(clRed);
        return n;
    };
    EXPECT_GT(darkPixels(), 0);
    lab->SetLeftText("");
    EXPECT_EQ(darkPixels(), 0);
}

TEST(NumLabCompose, NothingDrawnWhenHiddenUnlessDesigning) {
    TProbeLab lab(nullptr);
    int paints = 0;
    lab.OnBeforeDisplay = [&](TObject*, std::string&) { ++paints; };
    lab.SetVisible(false);
    lab.SetValue(5);
    EXPECT_EQ(paints, 0);
    SetDesigning(&lab, true);
    lab.SetValue(6);
    EXPECT_EQ(paints, 1);
}

// ---- mouse, copying ----

TEST(NumLabMouse, AreaCodeByZone) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 100);
    auto* lab = new TNumLab(&form);
    lab->SetParent(&form);
    lab->SetBounds(0, 0, 200, 28);
    form.Show();
    int seen = -1;
    lab->OnMouseMove = [&](TObject*, TShiftState, int, int) { seen = lab->MouseAreaCode(); };
    struct {
        int X, Code;
    } cases[] = {{0, 0}, {35, 0}, {36, 1}, {115, 1}, {116, 2}, {199, 2}};
    for (auto& c : cases) {
        Headless::MouseMove(lab, c.X, 10);
        EXPECT_EQ(lab->MouseAreaCode(), c.Code) << c.X;
        EXPECT_EQ(seen, c.Code) << "the handler sees the new code, x " << c.X;
    }
}

TEST(NumLabAssign, CopiesTheAppearanceButNotPlaceCommaSignDateFormatOrEvent) {
    TNumLab a(nullptr), b(nullptr);
    a.SetLeftSpace(20);
    a.SetEmpty(true);
    a.SetLabelWidth(50);
    a.SetPrecision(4);
    a.SetLeftText("L");
    a.SetRightText("R");
    a.SetFrameStyle(fsRidge);
    a.SetAlignment(taLeftJustify);
    a.SetRightTextAlignment(taCenter);
    a.SetLeftTextAlignment(taCenter);
    a.SetOverflowIndicator("!");
    a.SetValue(42);
    a.SetStateText("s");
    a.SetStateNames({"x"});
    a.SetColorLabBakG(clRed);
    a.SetColorLabText(clLime);
    a.SetColorOutBakG(clBlue);
    a.SetColorOutText(clYellow);
    a.SetColorScheme(csSystem);
    a.SetDisplayType(dtHex);
    a.SetComma(true);
    a.SetForcePlusSign(true);
    a.SetDTFormat("yyyy");
    a.SetBounds(5, 6, 170, 30);
    a.OnBeforeDisplay = [](TObject*, std::string&) {};

    b.Assign(&a);
    EXPECT_EQ(b.LeftSpace(), 20);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.LabelWidth(), 50);
    EXPECT_EQ(b.Precision(), 4);
    EXPECT_EQ(b.LeftText(), "L");
    EXPECT_EQ(b.RightText(), "R");
    EXPECT_EQ(b.FrameStyle(), fsRidge);
    EXPECT_EQ(b.Alignment(), taLeftJustify);
    EXPECT_EQ(b.RightTextAlignment(), taCenter);
    EXPECT_EQ(b.LeftTextAlignment(), taCenter);
    EXPECT_EQ(b.OverflowIndicator(), "!");
    EXPECT_EQ(b.Value(), 42);
    EXPECT_EQ(b.StateText(), "s");
    EXPECT_EQ(b.StateNames(), std::vector<std::string>{"x"});
    EXPECT_EQ(b.ColorLabBakG(), clRed);
    EXPECT_EQ(b.ColorLabText(), clLime);
    EXPECT_EQ(b.ColorOutBakG(), clBlue);
    EXPECT_EQ(b.ColorOutText(), clYellow);
    EXPECT_EQ(b.ColorScheme(), csSystem);
    EXPECT_EQ(b.DisplayType(), dtHex);
    EXPECT_FALSE(b.Comma());
    EXPECT_FALSE(b.ForcePlusSign());
    EXPECT_EQ(b.DTFormat(), "mmm-dd, yyyy");
    EXPECT_FALSE(bool(b.OnBeforeDisplay));
    EXPECT_EQ(b.Left(), 0);
    EXPECT_EQ(b.Width(), 160);
}

TEST(NumLabAssign, OtherClassesRaiseTheAssignmentError) {
    TNumLab lab(nullptr);
    TBitmap bitmap;
    EXPECT_THROW(lab.Assign(&bitmap), EConvertError);
    EXPECT_THROW(bitmap.Assign(&lab), EConvertError);
}

}  // namespace
