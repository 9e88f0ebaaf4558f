// The pieces the text renderer shares between its font sources (FreeType faces and the
// built-in bitmap font): one rasterised glyph, and a font's line metrics in pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kovo {

// A glyph as 8-bit coverage, placed relative to its pen origin on the baseline. Screen axes:
// x to the right, y downward; the origin is a pixel corner.
struct TGlyphImage {
    int advance = 0;  // whole pixels along the unturned baseline
    int left = 0;     // column of the bitmap's left edge relative to the origin
    int top = 0;      // row of the bitmap's top edge relative to the origin (negative: above)
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage;  // width * height values, 0 = none, 255 = full

    uint8_t At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0;
        return coverage[size_t(y) * size_t(width) + size_t(x)];
    }
};

// A font's vertical layout in pixels. Line offsets are measured from the baseline, downward.
struct TLineMetrics {
    int ascent = 0;
    int descent = 0;
    int em = 0;  // the character height (cell height minus internal leading)
    int externalLeading = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
    int underlineOffset = 1;
    int underlineThickness = 1;
    int strikeOffset = -3;
    int strikeThickness = 1;
};

}  // namespace kovo
