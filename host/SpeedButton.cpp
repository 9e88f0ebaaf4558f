#include "host/SpeedButton.h"

#include <algorithm>

#include "host/Bitmap.h"
#include "host/Canvas.h"

namespace kovo {

namespace {

// A pixel of a glyph that the embossed (disabled) picture keeps: anything darker than a
// light grey.
bool IsInk(TPixel p) {
    int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    return (r * 30 + g * 59 + b * 11) / 100 < 0xC0;
}

void Line(TCanvas* c, TColor color, int x1, int y1, int x2, int y2) {
    c->Pen()->SetColor(color);
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
}

// A frame one pixel wide: TopLeft above and to the left, BottomRight below and to the right.
void Frame(TCanvas* c, const TRect& r, TColor TopLeft, TColor BottomRight) {
    int l = r.Left, t = r.Top, rr = r.Right - 1, b = r.Bottom - 1;
    Line(c, TopLeft, l, b - 1, l, t);
    Line(c, TopLeft, l, t, rr, t);
    Line(c, BottomRight, rr, t, rr, b);
    Line(c, BottomRight, rr, b, l - 1, b);
}

}  // namespace

TSpeedButton::TSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
    // The button decides itself when a release is a click (after the group's rules).
    FControlStyle = TControlStyle{csCaptureMouse, csDoubleClicks};
    SetColor(clBtnFace);
    SetBounds(0, 0, 23, 22);
    FGlyph->OnChange = [this](TObject*) { GlyphChanged(); };
}

TSpeedButton::~TSpeedButton() {
    FGlyph->OnChange = nullptr;
}

void TSpeedButton::SetGlyph(TBitmap* Value) {
    FGlyph->Assign(Value);
}

void TSpeedButton::GlyphChanged() {
    int w = FGlyph->Width(), h = FGlyph->Height();
    if (h > 0 && w % h == 0) {
        int n = w / h;
        if (n >= 1 && n <= 4) FNumGlyphs = n;
    }
    Invalidate();
}

void TSpeedButton::SetNumGlyphs(int Value) {
    if (Value < 1 || Value > 4 || Value == FNumGlyphs) return;
    FNumGlyphs = Value;
    Invalidate();
}

void TSpeedButton::SetGroupIndex(int Value) {
    if (FGroupIndex == Value) return;
    FGroupIndex = Value;
    UpdateExclusive();
}

void TSpeedButton::SetDown(bool Value) {
    if (FGroupIndex == 0) Value = false;
    if (Value == FDown) return;
    if (FDown && !FAllowAllUp) return;
    FDown = Value;
    FState = Value ? bsExclusive : bsUp;
    if (!Enabled()) FState = bsDisabled;
    Invalidate();
    if (Value) UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool Value) {
    if (FAllowAllUp == Value) return;
    FAllowAllUp = Value;
    UpdateExclusive();
}

void TSpeedButton::SetFlat(bool Value) {
    if (FFlat == Value) return;
    FFlat = Value;
    Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout Value) {
    if (FLayout == Value) return;
    FLayout = Value;
    Invalidate();
}

void TSpeedButton::SetMargin(int Value) {
    if (Value < -1 || FMargin == Value) return;
    FMargin = Value;
    Invalidate();
}

void TSpeedButton::SetSpacing(int Value) {
    if (Value < -1 || FSpacing == Value) return;
    FSpacing = Value;
    Invalidate();
}

void TSpeedButton::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    Invalidate();
}

void TSpeedButton::UpdateExclusive() {
    if (FGroupIndex == 0 || !Parent()) return;
    TMessage m{CM_BUTTONPRESSED, WPARAM(FGroupIndex), LPARAM(reinterpret_cast<intptr_t>(this)), 0};
    Parent()->Broadcast(m);
}

void TSpeedButton::CMButtonPressed(TMessage& Message) {
    Message.Result = 0;
    if (int(Message.WParam) != FGroupIndex) return;
    auto* sender = reinterpret_cast<TSpeedButton*>(Message.LParam);
    if (sender == this || !sender) return;
    if (sender->Down() && FDown) {
        FDown = false;
        FState = Enabled() ? bsUp : bsDisabled;
        Invalidate();
    }
    FAllowAllUp = sender->AllowAllUp();
}

void TSpeedButton::Click() {
    TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled()) return;
    if (!FDown) {
        FState = bsDown;
        Invalidate();
    }
    FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging) return;
    TButtonState state = FDown ? bsExclusive : bsUp;
    if (ClientRect().Contains({X, Y})) state = FDown ? bsExclusive : bsDown;
    if (state != FState) {
        FState = state;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging || Button != mbLeft) return;
    FDragging = false;
    bool doClick = ClientRect().Contains({X, Y});
    if (FGroupIndex == 0) {
        FState = bsUp;
        Invalidate();
    } else if (doClick) {
        SetDown(!FDown);
        FState = FDown ? bsExclusive : bsUp;
        Invalidate();
    } else {
        FState = FDown ? bsExclusive : bsUp;
        Invalidate();
    }
    if (!Enabled()) FState = bsDisabled;
    if (doClick) Click();
}

void TSpeedButton::CMMouseEnter(TMessage& Message) {
    TGraphicControl::CMMouseEnter(Message);
    if (!FMouseInControl && Enabled()) {
        FMouseInControl = true;
        Invalidate();
    }
}

void TSpeedButton::CMMouseLeave(TMessage& Message) {
    TGraphicControl::CMMouseLeave(Message);
    if (FMouseInControl) {
        FMouseInControl = false;
        Invalidate();
    }
}

void TSpeedButton::CMEnabledChanged(TMessage& Message) {
    if (!Enabled()) {
        FState = bsDisabled;
        FMouseInControl = false;
        FDragging = false;
    } else {
        FState = FDown ? bsExclusive : bsUp;
    }
    TGraphicControl::CMEnabledChanged(Message);
}

std::unique_ptr<TBitmap> TSpeedButton::GlyphImage(TButtonState State) const {
    if (FGlyph->Empty()) return nullptr;
    const TSurface& strip = FGlyph->PixelSurface();
    int w = FGlyph->Width() / FNumGlyphs, h = FGlyph->Height();
    if (w <= 0) return nullptr;
    // Pictures the strip lacks fall back: held down to down, down to up; a missing disabled
    // picture is embossed from the up one.
    int index = 0;
    bool emboss = false;
    switch (State) {
        case bsDisabled:
            if (FNumGlyphs >= 2)
                index = 1;
            else
                emboss = true;
            break;
        case bsDown:
            index = FNumGlyphs >= 3 ? 2 : 0;
            break;
        case bsExclusive:
            index = FNumGlyphs >= 4 ? 3 : FNumGlyphs >= 3 ? 2 : 0;
            break;
        default:
            break;
    }
    TPixel key = strip.Get(0, h - 1);
    auto image = std::make_unique<TBitmap>(emboss ? w + 1 : w, emboss ? h + 1 : h);
    TSurface& dst = image->MutableSurface();
    if (!emboss) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) dst.Set(x, y, strip.Get(index * w + x, y));
    } else {
        TPixel highlight = ToPixel(clBtnHighlight), shadow = ToPixel(clBtnShadow);
        // The transparent key of the embossed picture must differ from both of its colours.
        TPixel back = 0x00FF00FF;
        if (back == highlight || back == shadow) back = 0x0000FF00;
        key = back;
        for (int y = 0; y <= h; ++y)
            for (int x = 0; x <= w; ++x) dst.Set(x, y, back);
        TPixel src = strip.Get(0, h - 1);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                TPixel p = strip.Get(x, y);
                if (p != src && IsInk(p)) dst.Set(x + 1, y + 1, highlight);
            }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                TPixel p = strip.Get(x, y);
                if (p != src && IsInk(p)) dst.Set(x, y, shadow);
            }
    }
    image->SetTransparentColor(PixelToColor(key));
    image->SetTransparent(true);
    return image;
}

void TSpeedButton::CalcLayout(const TRect& Client, TPoint& GlyphPos, TPoint& TextPos) {
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    std::string caption = Caption();
    TSize text = caption.empty() ? TSize{0, 0} : c->TextExtent(caption);
    TSize glyph{0, 0};
    if (!FGlyph->Empty()) glyph = TSize{FGlyph->Width() / FNumGlyphs, FGlyph->Height()};
    int cw = Client.Width(), ch = Client.Height();
    bool horizontal = FLayout == blGlyphLeft || FLayout == blGlyphRight;
    if (horizontal) {
        GlyphPos.Y = (ch - glyph.cy + 1) / 2;
        TextPos.Y = (ch - text.cy + 1) / 2;
    } else {
        GlyphPos.X = (cw - glyph.cx + 1) / 2;
        TextPos.X = (cw - text.cx + 1) / 2;
    }
    int margin = FMargin, spacing = FSpacing;
    if (caption.empty() || glyph.cx == 0) spacing = 0;
    int room = horizontal ? cw : ch;
    int glyphSize = horizontal ? glyph.cx : glyph.cy;
    int textSize = horizontal ? text.cx : text.cy;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (room - (glyphSize + textSize)) / 3;
            spacing = margin;
        } else {
            margin = (room - (glyphSize + spacing + textSize) + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = (room - (margin + glyphSize) - textSize) / 2;
    }
    switch (FLayout) {
        case blGlyphLeft:
            GlyphPos.X = margin;
            TextPos.X = GlyphPos.X + glyph.cx + spacing;
            break;
        case blGlyphRight:
            GlyphPos.X = cw - margin - glyph.cx;
            TextPos.X = GlyphPos.X - spacing - text.cx;
            break;
        case blGlyphTop:
            GlyphPos.Y = margin;
            TextPos.Y = GlyphPos.Y + glyph.cy + spacing;
            break;
        case blGlyphBottom:
            GlyphPos.Y = ch - margin - glyph.cy;
            TextPos.Y = GlyphPos.Y - spacing - text.cy;
            break;
    }
    GlyphPos = TPoint{GlyphPos.X + Client.Left, GlyphPos.Y + Client.Top};
    TextPos = TPoint{TextPos.X + Client.Left, TextPos.Y + Client.Top};
}

void TSpeedButton::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    TButtonState state = Enabled() ? FState : bsDisabled;
    bool pressed = state == bsDown || state == bsExclusive;
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    c->Pen()->SetMode(pmCopy);

    // Background: the face, a dither of face and highlight while held down, nothing for a
    // transparent flat button at rest.
    bool showFace = !FFlat || !FTransparent || FMouseInControl || pressed;
    if (showFace) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Color());
        c->FillRect(r);
        if (state == bsExclusive && (!FFlat || !FMouseInControl)) {
            TColor light = clBtnHighlight;
            for (int y = r.Top + 2; y < r.Bottom - 2; ++y)
                for (int x = r.Left + 2 + ((y + r.Left) & 1); x < r.Right - 2; x += 2)
                    c->SetPixels(x, y, light);
        }
    }

    // Frame.
    if (r.Width() >= 2 && r.Height() >= 2) {
        if (FFlat) {
            if (pressed)
                Frame(c, r, clBtnShadow, clBtnHighlight);
            else if (FMouseInControl && Enabled())
                Frame(c, r, clBtnHighlight, clBtnShadow);
        } else if (pressed) {
            Frame(c, r, cl3DDkShadow, clBtnHighlight);
            Frame(c, InflateRect(r, -1, -1), clBtnShadow, cl3DLight);
        } else {
            Frame(c, r, clBtnHighlight, cl3DDkShadow);
            Frame(c, InflateRect(r, -1, -1), cl3DLight, clBtnShadow);
        }
    }

    // Content, moved one pixel down and right while pressed.
    TRect content = InflateRect(r, -1, -1);
    if (pressed) content = OffsetRect(content, 1, 1);
    TPoint glyphPos, textPos;
    CalcLayout(content, glyphPos, textPos);
    if (auto image = GlyphImage(state)) c->Draw(glyphPos.X, glyphPos.Y, image.get());
    std::string caption = Caption();
    if (!caption.empty()) {
        c->Brush()->SetStyle(bsClear);
        c->Font()->Assign(Font());
        if (state == bsDisabled) {
            c->Font()->SetColor(clBtnHighlight);
            c->TextOut(textPos.X + 1, textPos.Y + 1, caption);
            c->Font()->SetColor(clBtnShadow);
        }
        c->TextOut(textPos.X, textPos.Y, caption);
    }
}

}  // namespace kovo
