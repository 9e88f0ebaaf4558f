// The built-in bitmap font: a 5 x 7 design in a 6 x 13 cell, drawn here in code, scaled by
// whole factors. The text renderer uses it when no font file can be found, so text still
// appears on a machine without any fonts.
#pragma once

#include "host/GlyphImage.h"

namespace kovo::builtin_font {

// The unscaled cell: 13 rows, the baseline below row 9, glyphs 5 columns wide on a
// 6-column advance.
constexpr int kCellHeight = 13;
constexpr int kAscent = 10;
constexpr int kEm = 11;
constexpr int kAdvance = 6;

// The whole factor used for a character height of em pixels (at least 1).
int ScaleFor(int em);

TLineMetrics Metrics(int scale, bool bold);

// True for the code points the font has a design for (the printable ASCII range); every
// other code point is drawn as a box.
bool HasGlyph(char32_t cp);

// The unturned glyph at the given scale. Bold doubles every column (one scaled column more
// of advance); italic shifts rows right with their height above the baseline.
TGlyphImage Glyph(char32_t cp, int scale, bool bold, bool italic);

}  // namespace kovo::builtin_font
