// TSurface: a plain 32-bit pixel buffer that canvases draw into. A form's frame buffer, a
// bitmap's pixels and a parentless control's own picture are all surfaces.
#pragma once

#include <cstdint>
#include <vector>

#include "host/Colors.h"
#include "host/Types.h"

namespace kovo {

// One pixel is 0x00RRGGBB (the byte order of the screen formats), not a TColor.
using TPixel = uint32_t;

constexpr TPixel ColorToPixel(TColor rgb) {
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}
// Resolves system colours first.
inline TPixel ToPixel(TColor color) {
    return ColorToPixel(ColorToRGB(color));
}
constexpr TColor PixelToColor(TPixel p) {
    return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}

class TSurface {
  public:
    TSurface() = default;
    TSurface(int width, int height, TPixel fill = 0xFFFFFF) { Resize(width, height, fill); }

    int Width() const { return width_; }
    int Height() const { return height_; }
    TRect Bounds() const { return TRect{0, 0, width_, height_}; }

    // Resizes to width x height (negative sizes count as 0); the content is lost.
    void Resize(int width, int height, TPixel fill = 0xFFFFFF) {
        width_ = width > 0 ? width : 0;
        height_ = height > 0 ? height : 0;
        if (width_ == 0 || height_ == 0) width_ = height_ = 0;
        pixels_.assign(size_t(width_) * size_t(height_), fill);
    }

    TPixel* Row(int y) { return pixels_.data() + size_t(y) * size_t(width_); }
    const TPixel* Row(int y) const { return pixels_.data() + size_t(y) * size_t(width_); }
    TPixel* Data() { return pixels_.data(); }
    const TPixel* Data() const { return pixels_.data(); }

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    TPixel Get(int x, int y) const { return Contains(x, y) ? Row(y)[x] : 0; }
    void Set(int x, int y, TPixel p) {
        if (Contains(x, y)) Row(y)[x] = p;
    }

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<TPixel> pixels_;
};

}  // namespace kovo
