// TNumIO2's picture, read back pixel by pixel: the text box and its frames, the warning
// colours, the disabled look, the spin buttons, the gauge, the selection, the placement of
// the texts and the positions of the characters.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/Bitmap.h"
#include "host/Canvas.h"
#include "host/platform/Headless.h"
#include "numeric_entry/NumIO.h"

using namespace kovo;

namespace {

class TProbe : public TNumIO2 {
  public:
    using TNumIO2::TNumIO2;
    void PaintNow() { Paint(); }
};

// Default geometry: 160 x 28, box from x 35, 80 wide; without gauge the box ends on row 26
// with its bevel on row 27, the text area's last row is bh = 24.
constexpr int LS = 35, TBW = 80, H = 28;

class NumIO2Paint : public ::testing::Test {
  protected:
    void SetUp() override {
        Headless::Instance();
        Headless::SetTimersRefused(false);
        field = std::make_unique<TProbe>(nullptr);
        field->Font()->SetQuality(fqNonAntialiased);  // text pixels in their exact colour
        field->HandleNeeded();
        field->SetReadOnly(true);  // no caret in the pictures
        field->PaintNow();
    }

    TColor Px(int X, int Y) { return field->Canvas()->Pixels(X, Y); }
    static TColor Rgb(TColor C) { return ColorToRGB(C); }
    int Count(TColor C, int L, int T, int R, int B) {
        int n = 0;
        for (int y = T; y < B; ++y)
            for (int x = L; x < R; ++x) n += Px(x, y) == Rgb(C);
        return n;
    }
    // The columns of the leftmost and rightmost pixel of colour C in the rectangle.
    std::pair<int, int> Columns(TColor C, int L, int T, int R, int B) {
        int lo = R, hi = -1;
        for (int y = T; y < B; ++y)
            for (int x = L; x < R; ++x)
                if (Px(x, y) == Rgb(C)) lo = std::min(lo, x), hi = std::max(hi, x);
        return {lo, hi};
    }
    int TextWidth(const std::string& S) {
        TBitmap b(1, 1);
        b.Canvas()->SetFont(field->Font());
        return b.Canvas()->TextWidth(S);
    }
    int TextHeight(const std::string& S) {
        TBitmap b(1, 1);
        b.Canvas()->SetFont(field->Font());
        return b.Canvas()->TextHeight(S);
    }

    std::unique_ptr<TProbe> field;
};

TEST_F(NumIO2Paint, SunkenBoxHasShadowOutlineDarkInnerAndLightOuterLines) {
    EXPECT_EQ(Px(LS, 10), Rgb(clGray));            // outline, left
    EXPECT_EQ(Px(50, 0), Rgb(clGray));             // outline, top
    EXPECT_EQ(Px(LS + TBW + 1, 10), Rgb(clGray));  // outline, right
    EXPECT_EQ(Px(50, 26), Rgb(clGray));            // outline, bottom
    EXPECT_EQ(Px(LS + 1, 10), Rgb(clBlack));       // inner corner
    EXPECT_EQ(Px(50, 1), Rgb(clBlack));
    EXPECT_EQ(Px(50, 27), Rgb(clWhite));  // outer corner
    EXPECT_EQ(Px(LS + TBW + 2, 10), Rgb(clWhite));
    EXPECT_EQ(Px(40, 20), Rgb(clWhite));  // the box
    EXPECT_EQ(Px(LS, 27), Rgb(clBtnFace));
    EXPECT_EQ(Px(5, 5), Rgb(clBtnFace));
    EXPECT_EQ(Px(150, 20), Rgb(clBtnFace));
}

TEST_F(NumIO2Paint, FrameStylesAndTheColourScheme) {
    field->SetFrameStyle(fsRidge);
    EXPECT_EQ(Px(LS, 10), Rgb(clWhite));  // light outline, shadow corners
    EXPECT_EQ(Px(LS + 1, 10), Rgb(clGray));
    EXPECT_EQ(Px(LS + TBW + 2, 10), Rgb(clGray));
    field->SetFrameStyle(fsRaised);
    EXPECT_EQ(Px(LS + 1, 10), Rgb(clWhite));
    EXPECT_EQ(Px(LS + TBW + 2, 10), Rgb(clBlack));
    field->SetFrameStyle(fsSingle);  // one shadow outline down to the last row
    EXPECT_EQ(Px(LS, 10), Rgb(clGray));
    EXPECT_EQ(Px(LS + 1, 10), Rgb(clWhite));
    EXPECT_EQ(Px(50, 27), Rgb(clGray));
    field->SetFrameStyle(fsNone);
    EXPECT_EQ(Px(LS, 10), Rgb(clWhite));
    field->SetFrameStyle(TFrameStyle(7));  // beyond the styles: no frame
    EXPECT_EQ(Px(LS, 10), Rgb(clWhite));
    EXPECT_EQ(Px(LS + TBW + 2, 10), Rgb(clBtnFace));

    field->SetFrameStyle(fsSunken);
    field->SetColorScheme(csSystem);
    EXPECT_EQ(Px(LS, 10), Rgb(clBtnShadow));
    EXPECT_EQ(Px(LS + TBW + 2, 10), Rgb(clBtnHighlight));
    field->SetColorScheme(TColorScheme(9));  // any other ordinal is the system scheme
    EXPECT_EQ(Px(LS, 10), Rgb(clBtnShadow));
    field->SetColorScheme(csFixed);
    EXPECT_EQ(Px(LS, 10), Rgb(clGray));
}

TEST_F(NumIO2Paint, AValueOutOfRangeShowsTheWarningColours) {
    const TColor warnBG = 0x88FFF0;  // red 240, green 255, blue 136
    field->SetValue(500);
    EXPECT_EQ(Px(40, 20), Rgb(clWhite));
    EXPECT_GT(Count(clBlack, LS + 3, 2, LS + TBW - 1, 25), 0);
    EXPECT_EQ(Count(clRed, LS + 3, 2, LS + TBW - 1, 25), 0);

    field->SetValue(2000);
    EXPECT_EQ(Px(40, 20), warnBG);
    EXPECT_GT(Count(clRed, LS + 3, 2, LS + TBW - 1, 25), 0);
    EXPECT_EQ(Count(clBlack, LS + 3, 2, LS + TBW - 1, 25), 0);
    EXPECT_EQ(Px(LS, 10), Rgb(clGray));  // the frame keeps its colours

    field->SetValue(-1);
    EXPECT_EQ(Px(40, 20), warnBG);

    field->SetFrameStyle(fsNone);  // without a frame the outline warns too
    EXPECT_EQ(Px(LS, 10), warnBG);
    field->SetValue(1);
    EXPECT_EQ(Px(LS, 10), Rgb(clWhite));

    // Changing the range alone repaints.
    field->SetRangeLow(2);
    EXPECT_EQ(Px(40, 20), warnBG);
    field->SetColorWarnBG(clAqua);
    EXPECT_EQ(Px(40, 20), Rgb(clAqua));
}

TEST_F(NumIO2Paint, DisabledLookIsGreyAndEmbossed) {
    field->SetLeftText("Wg");
    field->SetRightText("Wg");
    field->SetButVisible(true);
    field->SetGaugeVisible(true);
    field->SetValue(500);
    const int gh = 12, ty = (H - gh - TextHeight("(8g]}\xC3\x9C\xC3\x84\xC2\xA7")) / 2;
    EXPECT_EQ(Count(clWhite, 0, 0, LS, H - gh), 0);
    EXPECT_GT(Count(clBlack, 0, 0, LS, H - gh), 0);

    field->SetEnabled(false);
    EXPECT_FALSE(field->Enabled());
    EXPECT_EQ(Px(40, 10), Rgb(0xC0C0C0));  // box
    EXPECT_GT(Count(0x808080, LS + 3, 2, LS + TBW - 1, H - gh - 3), 0);
    EXPECT_EQ(Count(clBlack, LS + 3, 2, LS + TBW - 1, H - gh - 3), 0);
    // The side texts: white one pixel right and down, grey on top.
    EXPECT_GT(Count(clWhite, 0, ty, LS, H - gh), 0);
    EXPECT_GT(Count(0x808080, 0, ty, LS, H - gh), 0);
    EXPECT_EQ(Count(clBlack, 0, 0, LS, H - gh), 0);
    EXPECT_GT(Count(clWhite, 140, ty, 160, H - gh), 0);
    // Arrows and gauge bar.
    EXPECT_EQ(Px(128, 6), Rgb(0x808080));
    EXPECT_EQ(Px(40, 23), Rgb(0x808080));

    field->SetEnabled(true);
    EXPECT_EQ(Px(40, 10), Rgb(clWhite));
    EXPECT_EQ(Px(128, 6), Rgb(clBlack));
}

TEST_F(NumIO2Paint, SpinButtonsOfTheDefaultHeight) {
    field->SetButVisible(true);
    // bx = 35 + 80 + 3 = 118, centre column cx = 118 + 1 + 9 = 128; hb 14, q 7.
    const TColor face = Rgb(0xC0C0C0);
    struct Stroke {
        int Row, From, To;  // black from From to To inclusive
    };
    const Stroke strokes[] = {{6, 127, 128},  {7, 126, 129},  {8, 125, 130},
                              {21, 127, 128}, {20, 126, 129}, {19, 125, 130}};
    for (const auto& s : strokes) {
        EXPECT_EQ(Px(s.From, s.Row), Rgb(clBlack)) << "row " << s.Row;
        EXPECT_EQ(Px(s.To, s.Row), Rgb(clBlack)) << "row " << s.Row;
        EXPECT_EQ(Px(s.From - 1, s.Row), face) << "row " << s.Row;
        EXPECT_EQ(Px(s.To + 1, s.Row), face) << "row " << s.Row;
    }
    EXPECT_EQ(Px(128, 5), face);
    EXPECT_EQ(Px(128, 9), face);
    EXPECT_EQ(Px(124, 13), Rgb(clGray));  // divider
    EXPECT_EQ(Px(118, 10), Rgb(clGray));  // outline
    EXPECT_EQ(Px(136, 10), Rgb(clGray));
    EXPECT_EQ(Px(119, 5), Rgb(clWhite));  // light edges of both buttons
    EXPECT_EQ(Px(125, 1), Rgb(clWhite));
    EXPECT_EQ(Px(125, 14), Rgb(clWhite));
    EXPECT_EQ(Px(125, 27), Rgb(clBlack));  // dark edge along the bottom and right
    EXPECT_EQ(Px(137, 10), Rgb(clBlack));
    EXPECT_EQ(Px(125, 10), face);

    field->SetBut3D(false);
    EXPECT_EQ(Px(119, 5), face);
    EXPECT_EQ(Px(137, 10), Rgb(clBtnFace));
    field->SetButColor(clYellow);
    EXPECT_EQ(Px(125, 10), Rgb(clYellow));
}

TEST_F(NumIO2Paint, GaugeBarFollowsTheValueWithinTheRange) {
    field->SetGaugeVisible(true);
    // gh = 12: gauge rows 19..26 with the outer corner on 27, x 35..116; bar colour navy.
    const TColor bar = Rgb(0x800000), bg = Rgb(0xC0C0C0);
    field->SetValue(500);  // 41 of 82 pixels
    EXPECT_EQ(Px(40, 23), bar);
    EXPECT_EQ(Px(75, 23), bar);
    EXPECT_EQ(Px(76, 23), bg);
    EXPECT_EQ(Px(36, 23), Rgb(clBlack));  // the frame lies over the bar
    EXPECT_EQ(Px(50, 19), Rgb(clGray));
    EXPECT_EQ(Px(50, 27), Rgb(clWhite));
    EXPECT_EQ(Px(50, 15), Rgb(clWhite));  // the box ends above the gauge strip

    field->SetValue(-5);  // below: empty
    EXPECT_EQ(Px(40, 23), bg);
    field->SetValue(5000);  // above: full
    EXPECT_EQ(Px(114, 23), bar);
    field->SetValue(0);
    field->SetRangeHigh(0);  // equal ends: full
    EXPECT_EQ(Px(114, 23), bar);

    field->SetGaugeFrameStyle(fsSingle);
    field->SetGaugeColorFrame(clRed);
    EXPECT_EQ(Px(50, 19), Rgb(clRed));
    EXPECT_EQ(Px(50, 27), Rgb(clBtnFace));
    field->SetGaugeFrameStyle(fsNone);
    field->SetRangeHigh(100);
    EXPECT_EQ(Px(35, 23), bg);
}

TEST_F(NumIO2Paint, SelectionIsInvertedWhileFocusedOrNotHidden) {
    field->SetRangeHigh(1e6);
    field->SetText("1111");
    field->SetSelEnd(4);
    field->SetSelBegin(0);
    const int ty = (H - TextHeight("(8g]}\xC3\x9C\xC3\x84\xC2\xA7")) / 2;
    ASSERT_GT(ty, 4);  // row 3 lies above the text
    const int x1 = field->CharPosToXCoords(0), x2 = field->CharPosToXCoords(4);
    EXPECT_EQ(Px(x1 + 1, 3), Rgb(clWhite));  // hidden without focus
    field->SetHideSelection(false);
    EXPECT_EQ(Px(x1 + 1, 3), Rgb(clBlack));
    EXPECT_EQ(Px(x2 - 1, 3), Rgb(clBlack));
    EXPECT_EQ(Px(x2, 3), Rgb(clWhite));
    EXPECT_EQ(Px(x1 + 1, 2), Rgb(clWhite));
    EXPECT_EQ(Px(x1 + 1, H - 3), Rgb(clWhite));
    // The digits turn white.
    EXPECT_GT(Count(clWhite, x1, ty, x2, 25), 0);
    EXPECT_EQ(Count(clBlack, x1, 4, x2, 25) + Count(clWhite, x1, 4, x2, 25), (x2 - x1) * 21);

    field->SetHideSelection(true);
    field->SetFocus();
    field->PaintNow();
    EXPECT_EQ(Px(x1 + 1, 3), Rgb(clBlack));
}

TEST_F(NumIO2Paint, NumberAndCaretPlacesFollowTheAlignment) {
    field->SetRangeHigh(1e6);
    field->SetText("8888");
    const int tw = TextWidth("8888"), a = tw / 4;
    ASSERT_EQ(a * 4, tw) << "digits of equal width";
    struct Case {
        TAlignment Align;
        int TextX;
    };
    const Case cases[] = {{taLeftJustify, LS + 4},
                          {taRightJustify, LS + TBW - 2 - tw},
                          {taCenter, LS + 2 + (TBW - tw) / 2}};
    for (const auto& c : cases) {
        field->SetAlignment(c.Align);
        for (int p = 0; p <= 4; ++p) {
            EXPECT_EQ(field->CharPosToXCoords(p), c.TextX + p * a) << int(c.Align) << " " << p;
            EXPECT_EQ(field->XCoordsToCharPos(c.TextX + p * a), p) << int(c.Align) << " " << p;
        }
        EXPECT_EQ(field->XCoordsToCharPos(c.TextX + a / 2 + 1), 1);
        EXPECT_EQ(field->XCoordsToCharPos(-50), 0);
        EXPECT_EQ(field->XCoordsToCharPos(500), 4);
        auto [lo, hi] = Columns(clBlack, LS + 3, 2, LS + TBW - 1, 25);
        EXPECT_GE(lo, c.TextX) << int(c.Align);
        EXPECT_LE(lo, c.TextX + a / 2) << int(c.Align);
        EXPECT_LT(hi, c.TextX + tw) << int(c.Align);
    }
    field->SetText("");
    EXPECT_EQ(field->XCoordsToCharPos(60), 0);
}

TEST_F(NumIO2Paint, SideTextsSitInTheirZones) {
    field->SetLeftText("Ag");
    field->SetRightText("Ag");
    const int tw = TextWidth("Ag");
    auto [lo, hi] = Columns(clBlack, 0, 0, LS, H);
    EXPECT_LT(hi, LS - 5);  // right-justified: ends 5 pixels before the box
    EXPECT_GE(lo, LS - 5 - tw);
    field->SetLeftTextAlignment(taLeftJustify);
    std::tie(lo, hi) = Columns(clBlack, 0, 0, LS, H);
    EXPECT_GE(lo, 7);
    EXPECT_LT(lo, 7 + tw / 2);

    std::tie(lo, hi) = Columns(clBlack, LS + TBW + 3, 0, 160, H);
    EXPECT_GE(lo, LS + TBW + 7);
    EXPECT_LT(lo, LS + TBW + 7 + tw / 2);
    field->SetButVisible(true);
    std::tie(lo, hi) = Columns(clBlack, LS + TBW + 24, 0, 160, H);
    EXPECT_GE(lo, LS + TBW + 21 + 7);
    field->SetRightTextAlignment(taRightJustify);
    std::tie(lo, hi) = Columns(clBlack, LS + TBW + 24, 0, 160, H);
    EXPECT_LT(hi, 160 - 6);
    EXPECT_GE(hi, 160 - 6 - tw / 2);

    field->SetColorOutText(clBlue);
    EXPECT_GT(Count(clBlue, 0, 0, LS, H), 0);
}

TEST_F(NumIO2Paint, AutoSizeFitsTheHeightToTheFont) {
    field->Font()->SetSize(20);
    field->SetAutoSize(true);
    EXPECT_EQ(field->Height(), TextHeight("E0") + 6);
    field->Font()->SetSize(6);
    field->PaintNow();
    EXPECT_EQ(field->Height(), TextHeight("E0") + 6);  // below 18 too
}

TEST_F(NumIO2Paint, NothingIsDrawnBeforeTheWindowExistsAndEqualValuesDrawNothing) {
    TProbe f(nullptr);
    f.Canvas()->StartRecording();
    f.SetLeftText("x");
    f.SetValue(3);
    EXPECT_TRUE(f.Canvas()->Calls().empty());
    f.HandleNeeded();
    f.SetLeftText("y");
    EXPECT_EQ(f.Canvas()->Calls().size(), 1u);
    f.Canvas()->ClearCalls();
    f.SetColorScheme(csFixed);
    f.SetLeftText("y");
    f.SetAlignment(taCenter);
    EXPECT_TRUE(f.Canvas()->Calls().empty());
    f.SetColorWarnText(f.ColorWarnText());  // stored and painted always
    EXPECT_EQ(f.Canvas()->Calls().size(), 1u);
    f.Hide();
    f.Canvas()->ClearCalls();
    f.SetLeftText("z");
    EXPECT_TRUE(f.Canvas()->Calls().empty());
}

}  // namespace
