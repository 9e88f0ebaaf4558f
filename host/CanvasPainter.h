// Internal to the canvas: the raster primitives every drawing operation is built from. A
// painter is made for one operation; it binds the canvas to its surface, resolves the pen
// and brush colours once, and writes clipped spans and pixels in surface coordinates with
// the pen mode applied. Coordinates are 64-bit so that canvas coordinates near the int
// limits plus the origin cannot overflow.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "host/Canvas.h"

namespace kovo {

using i64 = int64_t;

class TCanvasPainter {
  public:
    explicit TCanvasPainter(TCanvas& canvas);

    // False without a surface or with an empty clip: the operation then draws nothing.
    bool Ready() const { return surface_ != nullptr; }
    TSurface& Surface() { return *surface_; }
    const TRect& Clip() const { return clip_; }  // surface coordinates, within the surface
    i64 ToSurfaceX(i64 x) const { return x + originX_; }
    i64 ToSurfaceY(i64 y) const { return y + originY_; }

    bool PenVisible() const { return penStyle_ != psClear; }
    int PenWidth() const { return penWidth_; }
    TPenStyle PenStyle() const { return penStyle_; }
    // Dashed drawing applies only to one-pixel pens; wider pens draw solid.
    bool PenDashed() const;
    TPixel PenPixel() const { return penPixel_; }
    TPenMode PenMode() const { return penMode_; }
    bool BrushVisible() const { return brushStyle_ != bsClear; }
    // Whether the background is opaque (a solid brush): dash gaps and text cells are then
    // painted in the brush colour.
    bool OpaqueBackground() const { return brushStyle_ == bsSolid; }
    TPixel BrushPixel() const { return brushPixel_; }
    TBrushStyle BrushStyle() const { return brushStyle_; }
    // The brush as the pattern of a block copy at surface pixel (x, y): a hatch's gaps are
    // white there, since a block copy always writes.
    TPixel PatternPixel(i64 x, i64 y) const {
        if (brushStyle_ == bsSolid || brushStyle_ == bsClear) return brushPixel_;
        return HatchBit(brushStyle_, int(x), int(y)) ? brushPixel_ : 0x00FFFFFF;
    }

    // Writes pixel p over [x0, x1] (inclusive, any values) of row y with mode.
    void Span(i64 y, i64 x0, i64 x1, TPixel p, TPenMode mode);
    // The brush over [x0, x1] of row y (hatches aligned to the surface), with mode.
    void BrushSpan(i64 y, i64 x0, i64 x1, TPenMode mode);
    // One pixel, clipped.
    void Plot(i64 x, i64 y, TPixel p, TPenMode mode);
    // One pen pixel: solid, or the pen or gap colour by the dash pattern at position index.
    void PenPlot(i64 x, i64 y, i64 index);
    // One brush pixel with mode (hatch aware).
    void BrushPlot(i64 x, i64 y, TPenMode mode);

    // A one-pixel line from (x0, y0) to (x1, y1), the end point left out unless includeEnd;
    // dashIndex is the dash position of the first pixel, and the position after the last
    // pixel is returned (so a figure's sides continue one pattern).
    i64 ThinLine(i64 x0, i64 y0, i64 x1, i64 y1, bool includeEnd, i64 dashIndex = 0);
    // A line of the pen's width centred on the segment, with round ends.
    void WideLine(i64 x0, i64 y0, i64 x1, i64 y1);
    // Fills a polygon (surface coordinates) with the brush by the alternate rule: the pixels
    // whose centres lie inside.
    void BrushPolygon(const std::vector<std::pair<i64, i64>>& points, TPenMode mode);

    // The pen's line between two points: thin (end left out unless includeEnd) or wide.
    i64 PenLine(i64 x0, i64 y0, i64 x1, i64 y1, bool includeEnd, i64 dashIndex = 0);

  private:
    TSurface* surface_ = nullptr;
    TRect clip_;
    i64 originX_ = 0;
    i64 originY_ = 0;
    TPixel penPixel_ = 0;
    TPenMode penMode_ = pmCopy;
    TPenStyle penStyle_ = psSolid;
    int penWidth_ = 1;
    TPixel brushPixel_ = 0;
    TBrushStyle brushStyle_ = bsSolid;
};

// Whether the dash pattern of style is "on" at position index (index >= 0).
bool DashOn(TPenStyle style, i64 index);

// Integer division rounding down / up, for any signs.
inline i64 FloorDiv(i64 a, i64 b) {
    i64 q = a / b, r = a % b;
    return (r != 0 && ((r < 0) != (b < 0))) ? q - 1 : q;
}
inline i64 CeilDiv(i64 a, i64 b) {
    i64 q = a / b, r = a % b;
    return (r != 0 && ((r < 0) == (b < 0))) ? q + 1 : q;
}

}  // namespace kovo
