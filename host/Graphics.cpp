#include "host/Graphics.h"

namespace kovo {

namespace {
constexpr TPixel kRgbMask = 0x00FFFFFF;
}

TPixel ApplyPenMode(TPenMode mode, TPixel p, TPixel d) {
    TPixel r;
    switch (mode) {
        case pmBlack:
            r = 0;
            break;
        case pmWhite:
            r = kRgbMask;
            break;
        case pmNop:
            r = d;
            break;
        case pmNot:
            r = ~d;
            break;
        case pmCopy:
            r = p;
            break;
        case pmNotCopy:
            r = ~p;
            break;
        case pmMergePenNot:
            r = p | ~d;
            break;
        case pmMaskPenNot:
            r = p & ~d;
            break;
        case pmMergeNotPen:
            r = ~p | d;
            break;
        case pmMaskNotPen:
            r = ~p & d;
            break;
        case pmMerge:
            r = p | d;
            break;
        case pmNotMerge:
            r = ~(p | d);
            break;
        case pmMask:
            r = p & d;
            break;
        case pmNotMask:
            r = ~(p & d);
            break;
        case pmXor:
            r = p ^ d;
            break;
        case pmNotXor:
            r = ~(p ^ d);
            break;
        default:
            r = p;
            break;
    }
    return r & kRgbMask;
}

TPixel ApplyRop3(uint32_t rop, TPixel pattern, TPixel source, TPixel dest) {
    // Bit i of the truth table is the result for pattern bit P, source bit S and
    // destination bit D with i = P*4 + S*2 + D; the union of the set minterms gives every
    // bit of the pixel at once.
    const uint32_t table = (rop >> 16) & 0xFF;
    switch (table) {  // the frequent ones without the general sum
        case 0x00:
            return 0;
        case 0xFF:
            return kRgbMask;
        case 0xCC:
            return source & kRgbMask;
        case 0x88:
            return (source & dest) & kRgbMask;
        case 0xEE:
            return (source | dest) & kRgbMask;
        case 0x66:
            return (source ^ dest) & kRgbMask;
        case 0x55:
            return ~dest & kRgbMask;
        case 0x33:
            return ~source & kRgbMask;
        case 0xF0:
            return pattern & kRgbMask;
        case 0xC0:
            return (pattern & source) & kRgbMask;
        default:
            break;
    }
    TPixel result = 0;
    for (uint32_t i = 0; i < 8; ++i) {
        if ((table & (1u << i)) == 0) continue;
        const TPixel p = (i & 4) ? pattern : ~pattern;
        const TPixel s = (i & 2) ? source : ~source;
        const TPixel d = (i & 1) ? dest : ~dest;
        result |= p & s & d;
    }
    return result & kRgbMask;
}

bool HatchBit(TBrushStyle style, int x, int y) {
    const bool horizontal = (y & 7) == 0;
    const bool vertical = (x & 7) == 0;
    const bool forward = ((x - y) & 7) == 0;   // "\": down and to the right
    const bool backward = ((x + y) & 7) == 0;  // "/": up and to the right
    switch (style) {
        case bsHorizontal:
            return horizontal;
        case bsVertical:
            return vertical;
        case bsFDiagonal:
            return forward;
        case bsBDiagonal:
            return backward;
        case bsCross:
            return horizontal || vertical;
        case bsDiagCross:
            return forward || backward;
        case bsSolid:
            return true;
        default:
            return false;
    }
}

// ---- TPen ----------------------------------------------------------------------------

void TPen::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TPen::SetWidth(int width) {
    if (width < 1) width = 1;
    if (width == width_) return;
    width_ = width;
    Changed();
}

void TPen::SetStyle(TPenStyle style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TPen::SetMode(TPenMode mode) {
    if (mode == mode_) return;
    mode_ = mode;
    Changed();
}

void TPen::Assign(TPersistent* Source) {
    if (auto* pen = dynamic_cast<TPen*>(Source)) {
        if (pen == this) return;
        color_ = pen->color_;
        width_ = pen->width_;
        style_ = pen->style_;
        mode_ = pen->mode_;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TPen::Changed() {
    if (OnChange) OnChange(this);
}

// ---- TBrush --------------------------------------------------------------------------

void TBrush::SetColor(TColor color) {
    if (color == color_ && style_ != bsClear) return;
    color_ = color;
    if (style_ == bsClear) style_ = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TBrush::Assign(TPersistent* Source) {
    if (auto* brush = dynamic_cast<TBrush*>(Source)) {
        if (brush == this) return;
        color_ = brush->color_;
        style_ = brush->style_;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TBrush::Changed() {
    if (OnChange) OnChange(this);
}

}  // namespace kovo
