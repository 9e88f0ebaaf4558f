// Drawing tools of the canvas: TPen and TBrush, their styles, the sixteen binary raster
// operations a pen mode names, the ternary raster operations of block copies and the stretch
// modes of scaled copies.
#pragma once

#include <cstdint>

#include "host/Colors.h"
#include "host/Object.h"
#include "host/Surface.h"

namespace kovo {

enum TPenStyle : uint8_t {
    psSolid,
    psDash,
    psDot,
    psDashDot,
    psDashDotDot,
    psClear,
    psInsideFrame,
    psUserStyle,
    psAlternate
};

// The binary raster operations (P = pen or brush pixel, D = destination pixel).
enum TPenMode : uint8_t {
    pmBlack,        // 0
    pmWhite,        // 1
    pmNop,          // D
    pmNot,          // ~D
    pmCopy,         // P
    pmNotCopy,      // ~P
    pmMergePenNot,  // P | ~D
    pmMaskPenNot,   // P & ~D
    pmMergeNotPen,  // ~P | D
    pmMaskNotPen,   // ~P & D
    pmMerge,        // P | D
    pmNotMerge,     // ~(P | D)
    pmMask,         // P & D
    pmNotMask,      // ~(P & D)
    pmXor,          // P ^ D
    pmNotXor        // ~(P ^ D)
};

// Hatched brushes draw 8x8 patterns aligned to the surface origin: the hatch lines in the
// brush colour, the gaps left as they were (a hatched brush draws transparently, as in the
// classic library). Only a solid brush makes the background opaque: it fills the gaps of
// dashed pens and the cells of text.
enum TBrushStyle : uint8_t {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

enum TFillStyle : uint8_t { fsSurface, fsBorder };

// Applies a binary raster operation to one pixel: p is the pen or brush pixel, d the
// destination pixel. Works on 0x00RRGGBB pixels; the top byte of the result is cleared.
TPixel ApplyPenMode(TPenMode mode, TPixel p, TPixel d);

// Whether hatch style (bsHorizontal..bsDiagCross) marks surface pixel (x, y) as a hatch line.
bool HatchBit(TBrushStyle style, int x, int y);

class TPen : public TPersistent {
  public:
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    int Width() const { return width_; }
    // Widths below 1 count as 1.
    void SetWidth(int width);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle style);
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode mode);

    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;

  protected:
    virtual void Changed();

  private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
};

class TBrush : public TPersistent {
  public:
    TColor Color() const { return color_; }
    // A colour makes a clear brush solid again.
    void SetColor(TColor color);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style);

    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;

  protected:
    virtual void Changed();

  private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
};

// A ternary raster operation code: the low byte of the high word is the truth table over
// (pattern, source, destination); the classic codes carry their full 32-bit value.
using TCopyMode = uint32_t;

constexpr TCopyMode cmBlackness = 0x00000042;
constexpr TCopyMode cmDstInvert = 0x00550009;
constexpr TCopyMode cmMergeCopy = 0x00C000CA;  // source AND brush
constexpr TCopyMode cmMergePaint = 0x00BB0226;
constexpr TCopyMode cmNotSrcCopy = 0x00330008;
constexpr TCopyMode cmNotSrcErase = 0x001100A6;
constexpr TCopyMode cmPatCopy = 0x00F00021;
constexpr TCopyMode cmPatInvert = 0x005A0049;
constexpr TCopyMode cmPatPaint = 0x00FB0A09;
constexpr TCopyMode cmSrcAnd = 0x008800C6;
constexpr TCopyMode cmSrcCopy = 0x00CC0020;
constexpr TCopyMode cmSrcErase = 0x00440328;
constexpr TCopyMode cmSrcInvert = 0x00660046;
constexpr TCopyMode cmSrcPaint = 0x00EE0086;
constexpr TCopyMode cmWhiteness = 0x00FF0062;

constexpr uint32_t SRCCOPY = cmSrcCopy;
constexpr uint32_t SRCAND = cmSrcAnd;
constexpr uint32_t SRCPAINT = cmSrcPaint;
constexpr uint32_t SRCINVERT = cmSrcInvert;
constexpr uint32_t SRCERASE = cmSrcErase;
constexpr uint32_t NOTSRCCOPY = cmNotSrcCopy;
constexpr uint32_t NOTSRCERASE = cmNotSrcErase;
constexpr uint32_t DSTINVERT = cmDstInvert;
constexpr uint32_t MERGECOPY = cmMergeCopy;
constexpr uint32_t MERGEPAINT = cmMergePaint;
constexpr uint32_t PATCOPY = cmPatCopy;
constexpr uint32_t PATPAINT = cmPatPaint;
constexpr uint32_t PATINVERT = cmPatInvert;
constexpr uint32_t BLACKNESS = cmBlackness;
constexpr uint32_t WHITENESS = cmWhiteness;

// Applies the ternary operation rop (its truth-table byte, bits 16..23) bitwise to the
// pattern, source and destination pixels.
TPixel ApplyRop3(uint32_t rop, TPixel pattern, TPixel source, TPixel dest);

// Stretch modes of scaled copies. Colour-on-colour samples the nearest source pixel (rows
// and columns are dropped or repeated); halftone averages the source pixels that fall on a
// destination pixel. The two monochrome modes keep the darker (AND) or lighter (OR) of the
// source pixels that collapse onto one destination pixel.
constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;
constexpr int STRETCH_ANDSCANS = 1;
constexpr int STRETCH_ORSCANS = 2;
constexpr int STRETCH_DELETESCANS = 3;
constexpr int STRETCH_HALFTONE = 4;

}  // namespace kovo
