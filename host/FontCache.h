// Internal to the text renderer: the font file lookup (fontconfig), FreeType faces opened
// once per file, and the bounded cache of rendered glyphs. The host runs one UI thread, so
// there are no locks; everything is created on first use and lives until the process ends
// (never destroyed, so no order of static destruction matters).
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>

#include "host/Font.h"
#include "host/GlyphImage.h"

namespace kovo::fontcache {

// ---- Font files (FontLookup.cpp) ----

struct TFontFileMatch {
    std::string path;
    int index = 0;  // face index inside the file (collections, named instances)
};

// The file fontconfig offers for the family, weight, slant and pitch: the installed family,
// or fontconfig's best substitute for a name that is not installed. nullptr when there is
// none at all (no fonts, no configuration, or font files disabled for tests).
const TFontFileMatch* MatchFontFile(const std::string& family, bool bold, bool italic,
                                    TFontPitch pitch);

bool FontFilesDisabled();

// ---- FreeType faces (FontCache.cpp) ----

struct TFace {
    FT_Face ft = nullptr;
    uint32_t id = 0;      // non-zero; keys the glyph cache
    int activeSize = -1;  // the pixel size last set on the face
    // What the design itself is; a style it lacks is made synthetically. (fontconfig's
    // answer cannot tell: its synthetic rules rewrite the weight and slant of the match.)
    bool bold = false;
    bool italic = false;
};

// The face of the file, opened once and kept; nullptr when FreeType cannot open it (that
// failure is remembered too).
TFace* OpenFace(const std::string& path, int index);

// Makes em the face's active pixel size (the nearest strike for a bitmap-only face).
// Returns false when the face cannot be sized.
bool SetFaceSize(TFace& face, int em);

// ---- Rendered glyphs (FontCache.cpp) ----

struct TGlyphKey {
    uint32_t face = 0;  // 0 = the built-in font
    uint32_t glyph = 0;
    uint16_t size = 0;
    uint16_t angle = 0;  // tenths of a degree, 0..3599
    uint8_t flags = 0;
    uint8_t phase = 0;  // sub-pixel offset of the origin, in quarter pixels: x * 4 + y
    bool operator==(const TGlyphKey&) const = default;
};

struct TGlyphKeyHash {
    size_t operator()(const TGlyphKey& k) const;
};

// Least-recently-used cache with a bound on the number of glyphs and on their bytes.
class TGlyphCache {
  public:
    TGlyphCache(size_t maxGlyphs, size_t maxBytes) : maxGlyphs_(maxGlyphs), maxBytes_(maxBytes) {}
    // The cached glyph or nullptr; a hit becomes the most recent entry. The pointer stays
    // valid until the next Insert.
    const TGlyphImage* Find(const TGlyphKey& key);
    // Stores the glyph, evicting the least recently used ones beyond the bounds (never the
    // new one), and returns the stored copy.
    const TGlyphImage& Insert(const TGlyphKey& key, TGlyphImage glyph);
    size_t Count() const { return map_.size(); }
    size_t Bytes() const { return bytes_; }
    void Clear();

  private:
    using Entry = std::pair<TGlyphKey, TGlyphImage>;
    size_t maxGlyphs_;
    size_t maxBytes_;
    size_t bytes_ = 0;
    std::list<Entry> order_;  // most recent first
    std::unordered_map<TGlyphKey, std::list<Entry>::iterator, TGlyphKeyHash> map_;
};

TGlyphCache& Glyphs();

}  // namespace kovo::fontcache
