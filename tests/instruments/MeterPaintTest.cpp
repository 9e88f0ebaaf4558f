// The meter's painting, read back pixel by pixel: scale labels (through
// OnBeforeDrawScaleLabel), needles and shadows, sectors, lamps, anchor, frame and the
// background fill modes. Coordinates follow from the layout of a 297 x 209 meter (centre
// (148, 191), radius 175) unless a test says otherwise.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "host/Bitmap.h"
#include "instruments/Meter.h"

using namespace kovo;

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;

struct PaintFixture : ::testing::Test {
    TMeter m{nullptr};

    TColor At(int x, int y) { return m.Canvas()->Pixels(x, y); }
    // The point at the dial angle (degrees) and distance r from the centre.
    TPoint Dial(double a, double r) {
        return TPoint{int(std::nearbyint(m.OriginX() + r * std::cos(a * kDeg))),
                      int(std::nearbyint(m.OriginY() - r * std::sin(a * kDeg)))};
    }
    // The needle's tip for a value: at R - 4 from the centre.
    TPoint Tip(double v) {
        TPoint p;
        m.ConvertToPixelCoords(v, 100 * (m.ScaleRadius() - 4) / m.ScaleRadius(), p.X, p.Y);
        return p;
    }
    void HideNeedles() {
        m.OnBeforeDrawNeedle = [](TObject*, TCanvas*, bool& drawn) { drawn = true; };
    }
    // Whether a pixel of the colour lies in [l, r) x [t, b).
    bool Contains(TColor c, int l, int t, int r, int b) {
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x)
                if (At(x, y) == c) return true;
        return false;
    }
    // A pixel of the colour at p or next to it (lines are rasterised from rounded ends).
    bool Near(TColor c, TPoint p) { return Contains(c, p.X - 1, p.Y - 1, p.X + 2, p.Y + 2); }
};

// ---------------------------------------------------------------------------------------
// Labels

std::vector<std::string> Labels(TMeter& m) {
    std::vector<std::string> texts;
    m.OnBeforeDrawScaleLabel = [&](TObject* s, TCanvas* c, std::string& text, int, int) {
        EXPECT_EQ(s, &m);
        EXPECT_NE(c, m.Canvas());  // the off-screen picture's canvas
        texts.push_back(text);
    };
    m.Repaint();
    m.OnBeforeDrawScaleLabel = nullptr;
    return texts;
}

TEST_F(PaintFixture, LinearLabels) {
    EXPECT_EQ(Labels(m), (std::vector<std::string>{"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}));
    m.SetMeterMinValue(-1);
    m.SetMeterDecPlaces(2);
    EXPECT_EQ(Labels(m), (std::vector<std::string>{"-1.00", "-0.50", "0.00", "0.50", "1.00"}));
    m.SetMeterMaxValue(100);
    m.SetMeterMinValue(0);
    m.SetMeterDecPlaces(0);
    EXPECT_EQ(Labels(m), (std::vector<std::string>{"0", "20", "40", "60", "80", "100"}));
}

TEST_F(PaintFixture, DecadeLabels) {
    m.SetMeterMaxValue(1000);
    m.SetMeterMinValue(1);
    m.SetLogarithmic(true);
    m.SetMeterDecPlaces(0);
    EXPECT_EQ(Labels(m), (std::vector<std::string>{"1", "2", "5", "10", "20", "50", "100", "200",
                                                   "500", "1000"}));
    // Less than a decade: the linear values, placed logarithmically.
    m.SetMeterMaxValue(9);
    m.SetMeterMinValue(2);
    EXPECT_EQ(Labels(m), (std::vector<std::string>{"2", "4", "6", "8"}));
    int x4 = 0, y4 = 0, w4 = 0, h4 = 0, lw = 0, lh = 0;
    m.OnBeforeDrawScaleLabel = [&](TObject*, TCanvas* c, std::string& text, int x, int y) {
        if (text != "4") return;
        x4 = x;
        y4 = y;
        w4 = c->TextWidth(text);
        h4 = c->TextHeight(text);
        lw = c->TextWidth("9");
        lh = c->TextHeight("9");
    };
    m.Repaint();
    const double a = (135 - 90 * std::log(4 / 2.0) / std::log(9 / 2.0)) * kDeg;
    EXPECT_EQ(x4 + w4 / 2, int(std::nearbyint(148 + (175 - (lw / 2.0 + 15)) * std::cos(a))));
    EXPECT_EQ(y4 + h4 / 2, int(std::nearbyint(191 - (175 - (lh / 2.0 + 15)) * std::sin(a))));
    // One decade exactly (Max/Min = 10 is not below 10): 1, 2 and 5 of each decade.
    m.SetMeterMaxValue(30);
    m.SetMeterMinValue(3);
    m.SetMeterDecPlaces(1);
    EXPECT_EQ(Labels(m), (std::vector<std::string>{"5.0", "10.0", "20.0"}));
}

// Decade ticks at 1..9, 10..90, 100..900 and 1000: the major ticks are 8 pixels long,
// the minor ones (from the linear step rule) 4.
TEST_F(PaintFixture, DecadeTicksAreLongTicks) {
    m.SetMeterMaxValue(1000);
    m.SetMeterMinValue(1);
    m.SetLogarithmic(true);
    m.SetMeterShortTicks(false);
    m.SetMeterScaleLine(false);
    HideNeedles();
    m.Repaint();
    const double R = m.ScaleRadius();
    for (double v : {3.0, 7.0, 30.0, 300.0, 900.0}) {
        double a = 135 - 90 * std::log(v) / std::log(1000.0);
        SCOPED_TRACE(v);
        EXPECT_TRUE(Near(clNavy, Dial(a, R - 1)));
        EXPECT_TRUE(Near(clNavy, Dial(a, R - 7)));  // beyond the reach of a minor tick
    }
}

TEST_F(PaintFixture, LabelsAreCentredInsideTheArc) {
    int chartX = 0, chartY = 0, width = 0, height = 0, lw = 0, lh = 0;
    bool first = true;
    m.OnBeforeDrawScaleLabel = [&](TObject*, TCanvas* c, std::string& text, int x, int y) {
        if (!first) return;
        first = false;
        EXPECT_EQ(text, "0.0");
        chartX = x;
        chartY = y;
        width = c->TextWidth(text);
        height = c->TextHeight(text);
        lw = c->TextWidth("1.0");
        lh = c->TextHeight("1.0");
    };
    m.Repaint();
    const double R = m.ScaleRadius();
    const double a = 135 * kDeg;  // the label of Min
    int lx = int(std::nearbyint(148 + (R - (lw / 2.0 + 15)) * std::cos(a)));
    int ly = int(std::nearbyint(191 - (R - (lh / 2.0 + 15)) * std::sin(a)));
    EXPECT_EQ(chartX, lx - width / 2);
    EXPECT_EQ(chartY, ly - height / 2);
}

TEST_F(PaintFixture, AnEmptyLabelIsLeftOutButItsTickIsDrawn) {
    m.Font()->SetColor(clRed);
    m.Font()->SetSize(12);
    m.SetMeterScaleLine(false);
    HideNeedles();
    int x0 = 0, y0 = 0, w0 = 0, h0 = 0;
    m.OnBeforeDrawScaleLabel = [&](TObject*, TCanvas* c, std::string& text, int x, int y) {
        if (text != "1.0") return;
        x0 = x;
        y0 = y;
        w0 = c->TextWidth(text);
        h0 = c->TextHeight(text);
    };
    m.Repaint();
    ASSERT_GT(w0, 0);
    EXPECT_TRUE(Contains(clRed, x0, y0, x0 + w0, y0 + h0));

    m.OnBeforeDrawScaleLabel = [&](TObject*, TCanvas*, std::string& text, int, int) {
        if (text == "1.0") text.clear();
    };
    m.Repaint();
    EXPECT_FALSE(Contains(clRed, x0, y0, x0 + w0, y0 + h0));
    EXPECT_TRUE(Near(clNavy, Dial(45, m.ScaleRadius() - 2)));
}

TEST_F(PaintFixture, AChangedLabelIsCentredOnTheSamePoint) {
    m.Font()->SetColor(clRed);
    m.SetScaleVisible(true);
    HideNeedles();
    int cx0 = 0, cy0 = 0, wide = 0, high = 0;
    m.OnBeforeDrawScaleLabel = [&](TObject*, TCanvas* c, std::string& text, int x, int y) {
        if (text != "0.4") {
            text.clear();
            return;
        }
        cx0 = x + c->TextWidth(text) / 2;
        cy0 = y + c->TextHeight(text) / 2;
        text = "MMMMMM";
        wide = c->TextWidth(text);
        high = c->TextHeight(text);
    };
    m.Repaint();
    ASSERT_GT(wide, 0);
    // The new text's cell lies round the same centre: red ink on both sides of it.
    EXPECT_TRUE(Contains(clRed, cx0 - wide / 2, cy0 - high / 2, cx0 - 2, cy0 + high / 2));
    EXPECT_TRUE(Contains(clRed, cx0 + 2, cy0 - high / 2, cx0 + wide / 2, cy0 + high / 2));
    EXPECT_FALSE(
        Contains(clRed, cx0 - wide / 2 - 12, cy0 - high / 2, cx0 - wide / 2 - 2, cy0 + high / 2));
}

// ---------------------------------------------------------------------------------------
// Needles

TEST_F(PaintFixture, NeedleTipLiesOnTheArcForEveryLayout) {
    m.NeedleLayout()->SetColorOutline(clFuchsia);
    m.NeedleLayout()->SetColorBody(clYellow);
    m.SetScaleVisible(false);
    for (TMeterLayout layout : {mlCirc90, mlCirc120, mlCirc180, mlCirc270, mlCirc300, mlCirc360})
        for (double v : {0.1, 0.5, 0.9}) {
            SCOPED_TRACE(testing::Message() << "layout " << int(layout) << " value " << v);
            m.SetMeterLayout(layout);
            m.SetValue(v);
            TPoint tip = Tip(v);
            EXPECT_EQ(At(tip.X, tip.Y), clFuchsia);
            // Three pixels further out lies the dial.
            const double A = m.CalcNeedleAngle(1) - m.CalcNeedleAngle(0);
            const double a = 90 + A / 2 - A * v;
            TPoint out = Dial(a, m.ScaleRadius() - 1);
            EXPECT_EQ(At(out.X, out.Y), clWhite);
        }
}

TEST_F(PaintFixture, NeedleHeadShaftAndShadow) {
    m.SetValue(0.5);  // straight up: tip at (148, 20)
    m.SetScaleVisible(false);
    EXPECT_EQ(At(148, 20), clBlack);   // outline at the tip
    EXPECT_EQ(At(148, 30), clSilver);  // body inside the head
    EXPECT_EQ(At(148, 80), clBlack);   // a shaft of thickness 0 is one line
    EXPECT_EQ(At(152, 80), clWhite);
    EXPECT_EQ(At(145, 20), clWhite);

    m.NeedleLayout()->SetShadowDx(3);  // a copy 3 pixels to the left, under the needle
    EXPECT_EQ(At(145, 20), clGray);
    EXPECT_EQ(At(145, 80), clGray);
    EXPECT_EQ(At(148, 30), clSilver);
    m.NeedleLayout()->SetShadowDx(0);
    m.NeedleLayout()->SetShadowDy(-4);  // 4 pixels down
    EXPECT_EQ(At(148, 19), clWhite);
    EXPECT_EQ(At(148, 100), clBlack);
    EXPECT_EQ(At(145, 20), clWhite);

    m.NeedleLayout()->SetShadowDy(0);
    m.NeedleLayout()->SetThickness(8);  // a shaft 8 pixels wide
    EXPECT_EQ(At(148, 100), clSilver);
    EXPECT_EQ(At(145, 100), clSilver);
    EXPECT_EQ(At(154, 100), clWhite);
    m.NeedleLayout()->SetPercentNeedleLength(50);
    EXPECT_EQ(At(148, 30), clWhite);
    EXPECT_EQ(At(148, 191 - 86 + 8), clSilver);
}

TEST_F(PaintFixture, SuppressedNeedleLeavesEverythingElse) {
    m.SetValue(0.5);
    int rendered = 0;
    m.OnMeterRendered = [&](TObject*, TCanvas*) { ++rendered; };
    HideNeedles();
    m.Repaint();
    EXPECT_EQ(At(148, 30), clWhite);
    EXPECT_EQ(At(273, 20), clGray);                  // the high lamp
    EXPECT_EQ(At(148, 180), ColorToRGB(clBtnFace));  // the anchor
    EXPECT_EQ(At(0, 100), clWhite);                  // the frame
    EXPECT_EQ(rendered, 1);
}

TEST_F(PaintFixture, SecondaryNeedleLiesUnderThePrimary) {
    m.SetScaleVisible(false);
    m.SetValue(0.5);
    m.NeedleLayoutSec()->SetColorOutline(clBlue);
    m.NeedleLayoutSec()->SetColorBody(clAqua);
    m.SetValueSec(0.2);
    TPoint tip = Tip(0.2);
    EXPECT_EQ(At(tip.X, tip.Y), clWhite);  // hidden at first

    m.NeedleLayoutSec()->SetVisible(true);
    EXPECT_EQ(At(tip.X, tip.Y), clBlue);
    m.NeedleLayoutSec()->SetShadowDx(3);
    EXPECT_EQ(At(tip.X - 3, tip.Y), clGray);

    m.SetValueSec(0.5);  // on top of each other: the primary wins
    EXPECT_EQ(At(148, 20), clBlack);
    EXPECT_EQ(At(148, 30), clSilver);

    m.NeedleLayout()->SetVisible(false);  // a hidden primary needle is not drawn
    EXPECT_EQ(At(148, 20), clBlue);
    EXPECT_EQ(At(148, 30), clAqua);
}

// ---------------------------------------------------------------------------------------
// Scale background, lamps, anchor, frame

TEST_F(PaintFixture, SectorColoursFollowTheThresholds) {
    m.SetScaleVisible(false);
    m.SetScaleBkVisible(true);
    m.SetScaleBkWidth(20);
    m.SetThresholdHigh(0.7);
    m.SetThresholdLow(0.3);
    HideNeedles();
    m.Repaint();
    auto at = [&](double v, double pct) {
        int x, y;
        m.ConvertToPixelCoords(v, pct, x, y);
        return At(x, y);
    };
    const TColor orange = 0x0080FF;
    EXPECT_EQ(at(0.1, 90), clLime);
    EXPECT_EQ(at(0.5, 90), orange);
    EXPECT_EQ(at(0.9, 90), clRed);
    EXPECT_EQ(at(0.9, 101.5), clRed);  // the band reaches 4 pixels beyond the arc
    EXPECT_EQ(at(0.5, 70), clWhite);   // inside the band: the dial
    TPoint outside = Dial(30, 0.9 * m.ScaleRadius());
    EXPECT_EQ(At(outside.X, outside.Y), clWhite);

    // A sector that has shrunk to nothing is not drawn (not as a whole disc either).
    m.SetThresholdLow(0);
    EXPECT_EQ(at(0.1, 90), orange);
    EXPECT_EQ(At(outside.X, outside.Y), clWhite);
    m.SetThresholdHigh(1);
    EXPECT_EQ(at(0.9, 90), orange);
    EXPECT_EQ(At(outside.X, outside.Y), clWhite);
}

struct LampCase {
    double value;
    bool highOn, lowOn;
    TColor high, low;  // colours inside the lamps
};

TEST_F(PaintFixture, LampsFollowTheFlags) {
    m.SetThresholdHigh(0.8);
    m.SetThresholdLow(0.2);
    m.SetLimWatchActColor(clRed);
    m.SetLimWatchPsvColor(clGreen);
    const LampCase cases[] = {
        {0.9, true, true, clRed, clGreen},    {0.5, true, true, clGreen, clGreen},
        {0.1, true, true, clGreen, clRed},    {0.9, false, true, clWhite, clGreen},
        {0.1, true, false, clGreen, clWhite},
    };
    for (const LampCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " " << c.highOn << c.lowOn);
        m.SetLimWatchHighOn(c.highOn);
        m.SetLimWatchLowOn(c.lowOn);
        m.SetValue(c.value);
        EXPECT_EQ(At(273, 20), c.high);  // inside [269, 279) x [16, 26)
        EXPECT_EQ(At(23, 20), c.low);    // inside [18, 28) x [16, 26)
    }
    // The bevel of the high lamp.
    EXPECT_EQ(At(269, 20), clBlack);
    EXPECT_EQ(At(278, 20), clWhite);
    EXPECT_EQ(At(277, 20), clSilver);
    EXPECT_EQ(At(270, 20), clGray);
}

TEST_F(PaintFixture, AnchorShapes) {
    const TColor face = ColorToRGB(clBtnFace);
    m.SetValue(0);
    m.Repaint();
    EXPECT_EQ(At(148, 191 - 20), face);  // half disc
    EXPECT_EQ(At(148, 195), face);       // on a column down to the bottom rim
    EXPECT_EQ(At(148 - 24, 195), clWhite);
    EXPECT_EQ(At(148 + 23, 195), clGray);

    m.SetMeterLayout(mlCirc270);  // a full disc round the centre
    const int cy = m.OriginY();
    EXPECT_EQ(At(148, cy + 20), face);
    EXPECT_EQ(At(148, cy + 30), clWhite);

    m.SetAnchorCovered(false);
    EXPECT_NE(At(148, cy + 20), face);
    EXPECT_NE(At(148 + 20, cy - 5), face);
}

struct FrameCase {
    TFrameStyle style;
    TColorScheme scheme;
    TColor x0, x1, xw2, xw1;  // colours at x = 0, 1, W - 2, W - 1 on row 100
};

TEST_F(PaintFixture, FrameStyles) {
    const TColor face = ColorToRGB(clBtnFace);
    const TColor light = ColorToRGB(clBtnHighlight), shadow = ColorToRGB(clBtnShadow);
    const FrameCase cases[] = {
        {fsNone, csFixed, face, face, face, face},
        {fsSingle, csFixed, clWhite, face, face, clWhite},
        {fsSunken, csFixed, clGray, face, face, clWhite},
        {fsRaised, csFixed, clWhite, face, face, clGray},
        {fsRaised, csSystem, light, face, face, shadow},
        {fsRidge, csFixed, clWhite, clGray, clWhite, clGray},
        {fsGroove, csFixed, clGray, clWhite, clGray, clWhite},
        {TFrameStyle(9), csFixed, face, face, face, face},
    };
    m.SetColorBakG(clYellow);
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.style) << " " << int(c.scheme));
        m.SetColorScheme(c.scheme);
        m.SetFrameStyle(c.style);
        m.SetColorBakG(c.style == fsSingle ? clWhite : clYellow);
        m.Repaint();
        EXPECT_EQ(At(0, 100), c.x0);
        EXPECT_EQ(At(1, 100), c.x1);
        EXPECT_EQ(At(295, 100), c.xw2);
        EXPECT_EQ(At(296, 100), c.xw1);
    }
}

TEST_F(PaintFixture, UnitLabelSitsAThirdOfTheRadiusAboveTheCentre) {
    m.FontCaption()->SetColor(clRed);
    m.FontCaption()->SetSize(14);
    m.SetCaption("WWW");
    TBitmap probe(10, 10);
    probe.Canvas()->SetFont(m.FontCaption());
    int w = probe.Canvas()->TextWidth("WWW"), h = probe.Canvas()->TextHeight("WWW");
    int x = 148 - w / 2, y = 191 - int(std::nearbyint(175 / 3.0)) - h / 2;
    EXPECT_TRUE(Contains(clRed, x, y, x + w, y + h));
    EXPECT_FALSE(Contains(clRed, 10, 10, 287, y - 1));
    EXPECT_FALSE(Contains(clRed, 10, y + h + 1, 287, 199));
}

TEST_F(PaintFixture, NothingIsDrawnWithoutARadius) {
    m.SetHeight(34);  // R = 34 - 10 - 8 - 16 = 0
    ASSERT_LE(m.ScaleRadius(), 0);
    int rendered = 0;
    m.OnMeterRendered = [&](TObject*, TCanvas*) { ++rendered; };
    m.Canvas()->StartRecording();
    m.Repaint();
    m.SetValue(0.7);
    EXPECT_TRUE(m.Canvas()->Calls().empty());
    EXPECT_EQ(rendered, 0);
}

TEST_F(PaintFixture, OnePaintCopiesOnePicture) {
    m.Canvas()->StartRecording();
    m.SetValue(0.3);
    ASSERT_EQ(m.Canvas()->Calls().size(), 1u);
    EXPECT_EQ(m.Canvas()->Calls()[0].Op, "Draw");
    EXPECT_EQ(m.Canvas()->Calls()[0].Args, (std::vector<int>{0, 0}));
}

}  // namespace
