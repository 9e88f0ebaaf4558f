// TMeter's painting. Every paint composes the whole meter on a fresh bitmap of the
// control's size (background, scale background, scale, unit label, needles, rims, anchor,
// lamps, frame) and copies it onto the control once, so nothing half-drawn is ever shown.
#include <cmath>
#include <memory>

#include "host/SysUtils.h"
#include "instruments/Meter.h"

namespace kovo {

namespace {

constexpr double kRadPerDeg = 3.14159265358979323846 / 180.0;
// The bevel colours of the anchor, the dial border and the lamps do not follow the colour
// scheme.
constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kGray = 0x808080;
constexpr TColor kSilver = 0xC0C0C0;

void PenAndBrush(TCanvas* C, TColor Color) {
    C->Pen()->SetColor(Color);
    C->Brush()->SetColor(Color);
}

}  // namespace

void TMeter::Paint() {
    if (!(FMeterRadius > 0)) return;
    const int W = Width(), H = Height();
    auto picture = std::make_unique<TBitmap>(W, H);
    TCanvas* C = picture->Canvas();

    PaintBackground(C);
    if (FScaleBkVis) PaintScaleBackground(C);
    C->Brush()->SetStyle(bsClear);  // texts and arcs from here on are transparent
    if (FScaleVis) PaintScale(C);

    // The unit label, with or without the scale.
    C->SetFont(FFontCaption.get());
    C->TextOut(FMeterCenterX - C->TextWidth(FCaption) / 2,
               FMeterCenterY - Px(FMeterRadius / 3) - C->TextHeight(FCaption) / 2, FCaption);

    bool needleDrawn = false;
    if (OnBeforeDrawNeedle) OnBeforeDrawNeedle(this, C, needleDrawn);
    if (!needleDrawn) {
        C->Brush()->SetStyle(bsSolid);
        // The secondary needle lies under the primary one.
        if (FNeedle2Layout->Visible()) PaintNeedle(C, *FNeedle2Layout, GuardedDialAngle(FValue2));
        if (FNeedleLayout->Visible()) PaintNeedle(C, *FNeedleLayout, GuardedDialAngle(FValue));
    }

    PaintRims(C);
    PaintAnchor(C);
    PaintLamps(C);
    if (OnMeterRendered) OnMeterRendered(this, C);
    PaintFrame(C);
    Canvas()->Draw(0, 0, picture.get());
}

void TMeter::PaintBackground(TCanvas* C) {
    const int W = Width(), H = Height();
    if (FBakGndFName.empty()) {
        C->SetFont(Font());
        PenAndBrush(C, FColorBakG);
        C->Rectangle(0, 0, W, H);
        return;
    }
    TBitmap* image = AuxBGBmp.get();
    const int iw = image->Width(), ih = image->Height();
    switch (FBGFillMode) {
        case bfPlain:
            C->Pen()->SetColor(clBlack);
            C->Brush()->SetColor(clWhite);
            C->Rectangle(0, 0, W, H);
            C->StretchDraw(Rect(0, 0, iw, ih), image);
            break;
        case bfStretch:
            C->StretchDraw(Rect(0, 0, W, H), image);
            break;
        case bfTile: {
            if (iw <= 0 || ih <= 0) break;
            const int nx = (W - 1) / iw + 1, ny = (H - 1) / ih + 1;
            for (int i = 1; i <= nx; ++i)
                for (int j = 1; j <= ny; ++j)
                    C->StretchDraw(Rect(iw * (i - 1), ih * (j - 1), iw * i, ih * j), image);
            break;
        }
        default:
            break;  // an unknown fill mode draws no background
    }
}

void TMeter::PaintScaleBackground(TCanvas* C) {
    const double R = FMeterRadius;
    const int cx = FMeterCenterX, cy = FMeterCenterY;
    auto P = [&](double a) { return TPoint{Px(R * std::cos(a)) + cx, cy - Px(R * std::sin(a))}; };
    const double aMin = (90 + FMeterAngle / 2.0) * kRadPerDeg;
    const double aMax = (90 - FMeterAngle / 2.0) * kRadPerDeg;
    const double aLow = GuardedDialAngle(FLowThreshold);
    const double aHigh = GuardedDialAngle(FHighThreshold);
    const int r1 = Px(R + 4), r2 = Px((100 - FScaleBakWidth) * R / 100);
    // One sector from angle a (clockwise end) counter-clockwise to angle b; sectors that
    // have shrunk to a line are left out, as Pie would draw them as a whole disc.
    auto sector = [&](TColor color, double a, double b) {
        PenAndBrush(C, color);
        if (!(std::fabs(a - b) > 1e-6)) return;
        TPoint p = P(a), q = P(b);
        C->Pie(cx - r1, cy - r1, cx + r1 + 1, cy + r1, p.X, p.Y, q.X, q.Y);
    };
    sector(FColorBakGLow, aLow, aMin);
    sector(FColorBakGNorm, aHigh, aLow);
    sector(FColorBakGHigh, aMax, aHigh);
    // The disc in the dial colour leaves the band, also over a background image.
    PenAndBrush(C, FColorBakG);
    C->Ellipse(cx - r2, cy - r2, cx + r2 + 1, cy + r2);
}

void TMeter::PaintScale(TCanvas* C) {
    const double R = FMeterRadius;
    const int cx = FMeterCenterX, cy = FMeterCenterY;
    C->Pen()->SetColor(FColorScale);
    if (FScaleLine) {
        const int Rr = Px(R);
        const double aMin = (90 + FMeterAngle / 2.0) * kRadPerDeg;
        const double aMax = (90 - FMeterAngle / 2.0) * kRadPerDeg;
        C->Arc(cx - Rr, cy - Rr, cx + Rr + 1, cy + Rr, Px(R * std::cos(aMax)) + cx,
               cy - Px(R * std::sin(aMax)), Px(R * std::cos(aMin)) + cx,
               cy - Px(R * std::sin(aMin)));
    }

    C->SetFont(Font());
    // Labels sit as far inside the arc as half the widest text (that of Max) needs.
    const std::string maxText = TickLabel(FMaxValue);
    const double lw = C->TextWidth(maxText) / 2.0 + 15;
    const double lh = C->TextHeight(maxText) / 2.0 + 15;
    for (const TScaleTick& tick : ScaleTicks()) {
        const double ca = std::cos(tick.Angle), sa = std::sin(tick.Angle);
        const double inner = R - (tick.Major ? 8 : 4);
        C->MoveTo(Px(cx + R * ca), Px(cy - R * sa));
        C->LineTo(Px(cx + inner * ca), Px(cy - inner * sa));
        if (!tick.Labelled) continue;
        const int lx = Px(cx + (R - lw) * ca), ly = Px(cy - (R - lh) * sa);
        std::string text = TickLabel(tick.Value);
        int x = lx - C->TextWidth(text) / 2, y = ly - C->TextHeight(text) / 2;
        if (OnBeforeDrawScaleLabel) {
            OnBeforeDrawScaleLabel(this, C, text, x, y);
            x = lx - C->TextWidth(text) / 2;
            y = ly - C->TextHeight(text) / 2;
        }
        if (text.empty()) continue;
        C->Brush()->SetStyle(bsClear);
        C->TextOut(x, y, text);
    }
}

void TMeter::PaintNeedle(TCanvas* C, const TNeedleLayout& L, double Theta) {
    const int cx = FMeterCenterX, cy = FMeterCenterY;
    const double HS = L.FSize1, alpha = L.FAngle1 * kRadPerDeg, Bk = L.FBackShift1;
    const double len = (FMeterRadius - 4) * L.FPctNeedleLeng * 0.01;
    const double ct = std::cos(Theta), st = std::sin(Theta);
    const int tx = Px(cx + len * ct), ty = Px(cy - len * st);
    const double ex = st * L.FThickness / 2, ey = ct * L.FThickness / 2;  // across the needle
    std::vector<TPoint> pts = {
        {Px(tx - HS * std::cos(Theta + alpha / 2)), Px(ty + HS * std::sin(Theta + alpha / 2))},
        {tx, ty},
        {Px(tx - HS * std::cos(Theta - alpha / 2)), Px(ty + HS * std::sin(Theta - alpha / 2))},
        {Px(tx - ex - Bk * ct), Px(ty - ey + Bk * st)},
        {Px(cx - ex), Px(cy - ey)},
        {Px(cx + ex), Px(cy + ey)},
        {Px(tx + ex - Bk * ct), Px(ty + ey + Bk * st)},
    };
    if (L.FShadowDx != 0 || L.FShadowDy != 0) {
        std::vector<TPoint> shadow = pts;
        for (TPoint& p : shadow) {
            p.X -= L.FShadowDx;
            p.Y -= L.FShadowDy;
        }
        PenAndBrush(C, L.FShadowColor);
        C->Polygon(shadow);
    }
    C->Pen()->SetColor(L.FColorLine);
    C->Brush()->SetColor(L.FColorFill);
    C->Polygon(pts);
}

void TMeter::PaintRims(TCanvas* C) {
    const int W = Width(), H = Height(), B = FBRim, S = FSRim, T = FTRim;
    PenAndBrush(C, FColorCover);
    C->Rectangle(0, 0, S - 1, H);
    C->Rectangle(0, 0, W, T);
    C->Rectangle(W - S, 0, W, H);
    C->Rectangle(0, H - B, W, H);
}

void TMeter::PaintDialBorder(TCanvas* C) {
    const int W = Width(), H = Height(), B = FBRim, S = FSRim, T = FTRim;
    C->Pen()->SetColor(kWhite);
    C->MoveTo(S - 1, H - B);
    C->LineTo(W - S, H - B);
    C->LineTo(W - S, T);
    C->Pen()->SetColor(kGray);
    C->LineTo(S - 1, T);
    C->LineTo(S - 1, H - B);
}

void TMeter::PaintAnchor(TCanvas* C) {
    const int W = Width(), H = Height(), B = FBRim, S = FSRim, T = FTRim;
    const int cx = FMeterCenterX, cy = FMeterCenterY, a = FSizeAnchor;
    if (!FAnchorCovrd) {
        PaintDialBorder(C);
        return;
    }
    if (!FACoverFName.empty()) {
        PaintDialBorder(C);
        const int iw = AuxACBmp->Width(), ih = AuxACBmp->Height();
        const TRect box = Bounds(cx - iw / 2, cy - ih / 2, iw, ih);
        C->SetCopyMode(cmSrcAnd);
        C->StretchDraw(box, AuxACMaskBmp.get());
        C->SetCopyMode(cmSrcPaint);
        C->StretchDraw(box, AuxACBmp.get());
        C->SetCopyMode(cmSrcCopy);
        return;
    }
    if (FMeterLayout == mlCirc270 || FMeterLayout == mlCirc300 || FMeterLayout == mlCirc360) {
        // A disc round the centre, lit from the top left.
        PenAndBrush(C, FColorCover);
        C->Ellipse(cx - a, cy - a, cx + a, cy + a);
        PaintDialBorder(C);
        C->Pen()->SetColor(kWhite);
        C->Arc(cx - a, cy - a, cx + a, cy + a, cx + a, cy - a, cx - a, cy + a);
        C->Pen()->SetColor(kGray);
        C->Arc(cx - a, cy - a, cx + a, cy + a, cx - a, cy + a, cx + a, cy - a);
        return;
    }
    // A half disc on a column down to the bottom rim, which joins the dial border.
    PenAndBrush(C, FColorCover);
    C->Pie(cx - a, cy - a, cx + a, cy + a, W, cy, 0, cy);
    C->Rectangle(cx - a, H - B, cx + a, cy);
    C->Pen()->SetColor(kGray);
    C->MoveTo(cx + a - 1, cy);
    C->LineTo(cx + a - 1, H - B);
    C->Pen()->SetColor(kWhite);
    C->LineTo(W - S, H - B);
    C->LineTo(W - S, T);
    C->Pen()->SetColor(kGray);
    C->LineTo(S - 1, T);
    C->LineTo(S - 1, H - B);
    C->Pen()->SetColor(kWhite);
    C->LineTo(cx - a, H - B);
    C->LineTo(cx - a, cy - 1);
    C->Arc(cx - a, cy - a, cx + a, cy + a, W, cy, 0, cy);
    C->Pen()->SetColor(kGray);
    C->Arc(cx - a, cy - a, cx + a, cy + a, cx + a, cy, cx + a, cy - a);
}

void TMeter::PaintLamps(TCanvas* C) {
    const int W = Width(), S = FSRim, T = FTRim;
    // A sunken 10 x 10 lamp with its left edge at x.
    auto lamp = [&](int x, bool on) {
        C->Brush()->SetColor(on ? FLimWatActCol : FLimWatPsvCol);
        C->Pen()->SetColor(clBlack);
        C->Rectangle(x, T + 8, x + 10, T + 18);
        C->Pen()->SetColor(kWhite);
        C->MoveTo(x + 1, T + 17);
        C->LineTo(x + 9, T + 17);
        C->LineTo(x + 9, T + 8);
        C->Pen()->SetColor(kSilver);
        C->MoveTo(x + 2, T + 16);
        C->LineTo(x + 8, T + 16);
        C->LineTo(x + 8, T + 9);
        C->Pen()->SetColor(kGray);
        C->MoveTo(x + 1, T + 16);
        C->LineTo(x + 1, T + 9);
        C->LineTo(x + 9, T + 9);
    };
    if (FLimWatHighOn) lamp(W - S - 18, FOFL);
    if (FLimWatLowOn) lamp(S + 8, FUFL);
}

void TMeter::PaintFrame(TCanvas* C) {
    const int W = Width(), H = Height();
    const TColor L = FLines.FColWhiteLine, D = FLines.FColGrayLine;
    auto bevel = [&](TColor first, TColor second) {
        C->Pen()->SetColor(first);
        C->MoveTo(0, H - 1);
        C->LineTo(0, 0);
        C->LineTo(W - 1, 0);
        C->Pen()->SetColor(second);
        C->LineTo(W - 1, H - 1);
        C->LineTo(0, H - 1);
    };
    auto ridge = [&](TColor first, TColor second) {
        C->Pen()->SetColor(first);
        C->MoveTo(0, 0);
        C->LineTo(W - 2, 0);
        C->LineTo(W - 2, H - 2);
        C->LineTo(0, H - 2);
        C->LineTo(0, 0);
        C->Pen()->SetColor(second);
        C->MoveTo(1, H - 3);
        C->LineTo(1, 1);
        C->LineTo(W - 2, 1);
        C->MoveTo(1, H - 1);
        C->LineTo(W - 1, H - 1);
        C->LineTo(W - 1, 0);
    };
    switch (FFrameStyle) {
        case fsNone:
            break;
        case fsSingle:
            bevel(FColorBakG, FColorBakG);
            break;
        case fsSunken:
            bevel(D, L);
            break;
        case fsRaised:
            bevel(L, D);
            break;
        case fsRidge:
            ridge(L, D);
            break;
        case fsGroove:
            ridge(D, L);
            break;
        default:
            break;
    }
}

}  // namespace kovo
