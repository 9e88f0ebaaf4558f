// Text rasterisation: FreeType glyphs found through fontconfig, cached per face and size,
// with a built-in bitmap font when no font file exists. The canvas calls these.
#pragma once

#include <string>
#include <string_view>

#include "host/Font.h"
#include "host/Surface.h"

namespace kovo {

struct TTextMetric {
    int tmHeight = 0;  // ascent + descent
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
};

TTextMetric GetTextMetrics(const TFont& font);

// The extent of the text drawn unturned: the advance width and the cell height.
TSize MeasureText(const TFont& font, std::string_view utf8);

// Draws utf8 in colour with the top-left of its text cell at (x, y) on the surface, turned
// by the font's Orientation about that point, clipped to clip (surface coordinates).
// Underline and strike-out are drawn too; the background is the caller's business.
void RenderText(TSurface& surface, const TRect& clip, int x, int y, const TFont& font,
                std::string_view utf8, TColor color);

// The path of the font file that will be used for the font, empty for the built-in font.
std::string ResolveFontFile(const TFont& font);

// With true, no font file is looked up and every font is drawn with the built-in bitmap font
// (as on a machine without fonts). For tests.
void SetFontFilesDisabled(bool disabled);

}  // namespace kovo
