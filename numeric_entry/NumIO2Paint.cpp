// TNumIO2's painting: the whole control is composed in an off-screen bitmap (left text,
// spin buttons, right text, gauge, text box with number, caret and selection) and copied to
// the control in one step.
#include <algorithm>
#include <cmath>
#include <string>

#include "host/Bitmap.h"
#include "host/Canvas.h"
#include "host/SysUtils.h"
#include "numeric_entry/NumIO.h"

namespace kovo {

namespace {

// The text whose height sets the vertical place of every text.
const std::string kProbeText = "(8g]}\xC3\x9C\xC3\x84\xC2\xA7";
constexpr TColor kDisabledFace = 0xC0C0C0;
constexpr TColor kDisabledText = 0x808080;

// Ordinals above the last style draw no frame.
TFrameStyle Drawable(TFrameStyle Style) {
    return Style > fsGroove ? fsNone : Style;
}

}  // namespace

int TNumIO2::GaugeStrip() const {
    return FGaugeVisib ? FGaugeHeight + FGaugeTopMarg + 1 : 0;
}

int TNumIO2::NumberTextX(int Tw) const {
    switch (FAlignment) {
        case taLeftJustify:
            return FLeftSpace + 4;
        case taRightJustify:
            return FLeftSpace + FTextBoxWidth - 2 - Tw;
        default:
            return FLeftSpace + 2 + (FTextBoxWidth - Tw) / 2;
    }
}

void TNumIO2::PaintBevel(TCanvas* C, TFrameStyle Style, int L, int T, int R, int B) {
    const TColor dark = FLines.FColBlackLine, light = FLines.FColWhiteLine,
                 shadow = FLines.FColGrayLine;
    TColor inner, outer;
    switch (Style) {
        case fsSunken:
            inner = dark, outer = light;
            break;
        case fsRaised:
            inner = light, outer = dark;
            break;
        case fsRidge:
            inner = shadow, outer = shadow;
            break;
        case fsGroove:
            inner = light, outer = light;
            break;
        default:
            return;
    }
    // Inner corner along the top-left inside the outline, outer corner along the
    // bottom-right just outside it.
    C->Pen()->SetColor(inner);
    C->MoveTo(L + 1, B - 2);
    C->LineTo(L + 1, T + 1);
    C->LineTo(R - 1, T + 1);
    C->Pen()->SetColor(outer);
    C->MoveTo(L + 1, B);
    C->LineTo(R, B);
    C->LineTo(R, T);
}

void TNumIO2::PaintSideText(TCanvas* C, const std::string& Text, int X, int Ty) {
    if (FEnabled) {
        C->Font()->SetColor(FColorOutText);
        C->TextOut(X, Ty, Text);
        return;
    }
    // Embossed: a white copy one pixel right and down under the grey text.
    C->Brush()->SetStyle(bsClear);
    C->Font()->SetColor(clWhite);
    C->TextOut(X + 1, Ty + 1, Text);
    C->Font()->SetColor(kDisabledText);
    C->TextOut(X, Ty, Text);
}

void TNumIO2::PaintSpinButtons(TCanvas* C) {
    const int BW = FButWidth, hb = FButHeight / 2, q = hb / 2;
    const int bx = FLeftSpace + FTextBoxWidth + FButSpace, cx = bx + 1 + BW / 2;
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(FButColor);
    C->Pen()->SetColor(0x808080);
    C->Rectangle(bx, 0, bx + BW + 1, 2 * hb - 1);
    C->MoveTo(bx, hb - 1);
    C->LineTo(bx + BW, hb - 1);
    if (FBut3D) {
        C->Pen()->SetColor(clWhite);
        C->MoveTo(bx + 1, 2 * hb - 3);
        C->LineTo(bx + 1, hb);
        C->LineTo(bx + BW, hb);
        C->MoveTo(bx + 1, hb - 2);
        C->LineTo(bx + 1, 1);
        C->LineTo(bx + BW, 1);
        C->Pen()->SetColor(clBlack);
        C->MoveTo(bx + 1, 2 * hb - 1);
        C->LineTo(bx + BW + 1, 2 * hb - 1);
        C->LineTo(bx + BW + 1, 1);
    }
    C->Pen()->SetColor(FEnabled ? clBlack : kDisabledText);
    for (int i = 1; i <= 3; ++i) {
        // Stroke i of each arrow is 2i pixels wide; the arrows point away from the divider.
        const int up = q - 2 + i, down = hb + q + 1 - i;
        C->MoveTo(cx - i, up);
        C->LineTo(cx + i, up);
        C->MoveTo(cx - i, down);
        C->LineTo(cx + i, down);
    }
}

void TNumIO2::PaintGauge(TCanvas* C, int H, int Gh) {
    const int gl = FGaugeLeftMarg, gw = FGaugeWidth, gH = FGaugeHeight;
    const int gy = H - Gh + FGaugeTopMarg;
    const TFrameStyle style = Drawable(FGaugeFrameSt);
    C->Brush()->SetStyle(bsSolid);
    C->Pen()->SetColor(style == fsNone ? FGaugeColorBg : FGaugeColorFrm);
    C->Brush()->SetColor(FGaugeColorBg);
    C->Rectangle(gl, gy, gl + gw, gy + gH);

    double f = 1;
    if (FMaximum != FMinimum) f = (Value() - FMinimum) / (FMaximum - FMinimum);
    if (std::isnan(f)) f = 0;
    f = std::clamp(f, 0.0, 1.0);
    const int r = int(Round(gw * f));
    const TColor bar = FEnabled ? FGaugeColor : kDisabledText;
    C->Pen()->SetColor(bar);
    C->Brush()->SetColor(bar);
    if (r > 0) C->Rectangle(gl, gy, gl + r, gy + gH);

    if (style == fsNone) return;
    switch (style) {
        case fsSingle:
            C->Pen()->SetColor(FGaugeColorFrm);
            break;
        case fsRidge:
            C->Pen()->SetColor(FLines.FColWhiteLine);
            break;
        default:
            C->Pen()->SetColor(FLines.FColGrayLine);
            break;
    }
    C->Brush()->SetStyle(bsClear);
    C->Rectangle(gl, gy, gl + gw, gy + gH);
    PaintBevel(C, style, gl, gy, gl + gw, gy + gH);
}

void TNumIO2::PaintBox(TCanvas* C, int H, int Gh, bool Warn) {
    const int LS = FLeftSpace, TBW = FTextBoxWidth, bh = H - Gh - 4;
    const TFrameStyle style = Drawable(FFrameStyle);
    TColor pen;
    if (style == fsNone)
        pen = FEnabled ? FColorBoxBG : kDisabledFace;
    else if (style == fsRidge)
        pen = FLines.FColWhiteLine;
    else
        pen = FLines.FColGrayLine;
    TColor brush = FColorBoxBG;
    if (Warn) {
        brush = FColorWarnBG;
        if (style == fsNone && FEnabled) pen = FColorWarnBG;
    }
    if (!FEnabled) brush = kDisabledFace;
    C->Pen()->SetColor(pen);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(brush);
    if (style == fsNone || style == fsSingle) {
        C->Rectangle(LS, 0, LS + TBW + 2, H - Gh);
        return;
    }
    C->Rectangle(LS, 0, LS + TBW + 2, H - Gh - 1);
    // The box's bevel: its bottom corner stroke lies on row bh + 3, just below the outline.
    PaintBevel(C, style, LS, 0, LS + TBW + 2, bh + 3);
}

void TNumIO2::Paint() {
    if (FSuppressPaint) return;
    if (!Visible() && !ComponentState().contains(csDesigning)) return;
    TCanvas* cv = Canvas();
    cv->SetFont(Font());
    const int th = cv->TextHeight(kProbeText);
    if (FAutoSize) {
        // The inherited setter: the fitted height has no lower limit.
        const int h = cv->TextHeight("E0") + 6;
        if (h != Height()) TCustomControl::SetBounds(Left(), Top(), Width(), h);
    }
    const int W = Width(), H = Height();
    if (W <= 0 || H <= 0) return;
    const int LS = FLeftSpace, TBW = FTextBoxWidth;
    const int gh = GaugeStrip(), bb = FButVisible ? FButWidth + FButSpace : 0;
    const int ty = (H - gh - th) / 2, bh = H - gh - 4;

    TBitmap picture(W, H);
    TCanvas* C = picture.Canvas();
    C->SetFont(Font());
    C->Pen()->SetColor(FColorOutBG);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(FColorOutBG);
    C->Rectangle(0, 0, W, H);

    if (!FLeftText.empty()) {
        const int tw = C->TextWidth(FLeftText);
        int x = (LS - tw) / 2;
        if (FLTAlignment == taLeftJustify) x = 7;
        if (FLTAlignment == taRightJustify) x = LS - tw - 5;
        PaintSideText(C, FLeftText, x, ty);
    }
    if (FButVisible) PaintSpinButtons(C);
    if (!FRightText.empty()) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(FColorOutBG);
        const int tw = C->TextWidth(FRightText);
        const int zone = LS + bb + TBW;
        int x = (W - zone - tw) / 2 + zone + 1;
        if (FRTAlignment == taLeftJustify) x = zone + 7;
        if (FRTAlignment == taRightJustify) x = W - tw - 6;
        PaintSideText(C, FRightText, x, ty);
    }
    if (FGaugeVisib) PaintGauge(C, H, gh);

    const bool warn = OutOfRange();
    PaintBox(C, H, gh, warn);

    // The number, clipped to the inside of the box; the brush is the box's.
    const int caretChars = std::clamp(FCaretPos, 0, Utf8Length(FInBuffer));
    const int tw = C->TextWidth(FInBuffer);
    const int cw = C->TextWidth(Utf8Copy(FInBuffer, 1, caretChars));
    C->Font()->SetColor(!FEnabled ? kDisabledText : warn ? FColorWarnTxt : FColorBoxText);
    const int tx = NumberTextX(tw);
    C->TextRect(TRect{LS + 3, 2, LS + TBW - 1, bh + 1}, tx, ty, FInBuffer);

    // One pixel before the first character after the caret.
    const int c = tx - LS - 1 + cw;
    if (FCaretVisib && c > 0 && c < TBW) {
        C->Pen()->SetColor(clBlack);
        C->MoveTo(LS + c, 3);
        C->LineTo(LS + c, H - gh - 3);
    }

    if (FSelBegin < FSelEnd && (Focused() || !FHideSel)) {
        const int x1 = std::clamp(CharPosToXCoords(FSelBegin), LS, LS + TBW);
        const int x2 = std::clamp(CharPosToXCoords(FSelEnd), LS, LS + TBW);
        const TRect r{x1, 3, x2, H - gh - 3};
        C->SetCopyMode(cmNotSrcCopy);
        C->CopyRect(r, C, r);
        C->SetCopyMode(cmSrcCopy);
    }

    cv->SetCopyMode(cmSrcCopy);
    cv->Draw(0, 0, &picture);
}

int TNumIO2::CharPosToXCoords(int P) {
    TCanvas* cv = Canvas();
    cv->SetFont(Font());
    const int tw = cv->TextWidth(FInBuffer);
    const int pw = cv->TextWidth(Utf8Copy(FInBuffer, 1, std::max(P, 0)));
    return pw + NumberTextX(tw);
}

int TNumIO2::XCoordsToCharPos(int X) {
    const int n = Utf8Length(FInBuffer);
    if (n == 0) return 0;
    TCanvas* cv = Canvas();
    cv->SetFont(Font());
    const int tw = cv->TextWidth(FInBuffer);
    // A text narrower than one pixel per character counts one pixel per character.
    const int a = std::max(tw / n, 1);
    const int c = std::clamp(X - NumberTextX(tw) + 1, 0, tw);
    return std::min((c + a / 2) / a, n);
}

}  // namespace kovo
