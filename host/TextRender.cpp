// Laying out and drawing text: UTF-8 decoding, glyph placement along a possibly turned
// baseline, coverage blending, underline and strike-out. Glyphs come from a FreeType face
// found through fontconfig, or from the built-in bitmap font when there is no file.
#include "host/TextRender.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "host/BuiltinFont.h"
#include "host/FontCache.h"

namespace kovo {

namespace {

using fontcache::TFace;
using fontcache::TGlyphKey;

// Larger character heights are drawn at this one, which bounds the memory of one glyph.
constexpr int kMaxEm = 1024;
// The character height of a font whose Height is 0.
constexpr int kDefaultEm = 11;
constexpr double kPi = 3.14159265358979323846;

enum : uint8_t { kFlagBold = 1, kFlagItalic = 2, kFlagMono = 4 };

// ---- UTF-8 ----

constexpr char32_t kReplacement = 0xFFFD;

// The code point at s[i], advancing i. A malformed sequence yields one U+FFFD for each
// maximal part of a valid sequence (at least one byte), so decoding always makes progress
// and an overlong form, a surrogate or a value past U+10FFFF never decodes.
char32_t NextCodePoint(std::string_view s, size_t& i) {
    const unsigned char b0 = static_cast<unsigned char>(s[i++]);
    if (b0 < 0x80) return b0;
    size_t len;
    char32_t cp;
    unsigned char lo = 0x80, hi = 0xBF;  // the range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2, cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3, cp = b0 & 0x0F;
        if (b0 == 0xE0) lo = 0xA0;  // no overlong forms
        if (b0 == 0xED) hi = 0x9F;  // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4, cp = b0 & 0x07;
        if (b0 == 0xF0) lo = 0x90;
        if (b0 == 0xF4) hi = 0x8F;  // nothing past U+10FFFF
    } else {
        return kReplacement;
    }
    for (size_t k = 1; k < len; ++k, lo = 0x80, hi = 0xBF) {
        if (i >= s.size()) return kReplacement;
        const unsigned char b = static_cast<unsigned char>(s[i]);
        if (b < lo || b > hi) return kReplacement;
        cp = (cp << 6) | (b & 0x3F);
        ++i;
    }
    return cp;
}

// ---- Angles ----

struct TTurn {
    int tenths = 0;  // 0..3599, counter-clockwise on the screen
    double cos = 1;
    double sin = 0;
};

TTurn MakeTurn(int orientation) {
    TTurn t;
    t.tenths = ((orientation % 3600) + 3600) % 3600;
    switch (t.tenths) {  // exact values keep quarter turns on the pixel grid
        case 0:
            t.cos = 1, t.sin = 0;
            break;
        case 900:
            t.cos = 0, t.sin = 1;
            break;
        case 1800:
            t.cos = -1, t.sin = 0;
            break;
        case 2700:
            t.cos = 0, t.sin = -1;
            break;
        default:
            t.cos = std::cos(t.tenths * kPi / 1800.0);
            t.sin = std::sin(t.tenths * kPi / 1800.0);
    }
    return t;
}

// ---- The font as prepared for drawing ----

struct TPrepared {
    std::string path;       // the font file, empty for the built-in font
    TFace* face = nullptr;  // nullptr: the built-in font
    int em = kDefaultEm;    // pixel size of the face, or the built-in font's scale
    bool bold = false;      // asked for
    bool italic = false;
    bool synthBold = false;  // the face lacks it, so it is made
    bool synthItalic = false;
    bool mono = false;
    int boldStrength = 0;  // pixels a synthetic bold glyph grows by
    TTurn turn;
    TLineMetrics metrics;

    uint8_t Flags() const {
        bool b = face ? synthBold : bold, i = face ? synthItalic : italic;
        return uint8_t((b ? kFlagBold : 0) | (i ? kFlagItalic : 0) | (mono ? kFlagMono : 0));
    }
};

int RoundPx(double v) {
    return int(std::lround(v));
}

int ClampEm(long long em) {
    return int(std::clamp<long long>(em, 1, kMaxEm));
}

// The face's cell above and below the baseline in font units: the OS/2 Windows metrics when
// present (what the cell height of a font means), else the horizontal header.
void CellUnits(FT_Face ft, long& ascent, long& descent) {
    ascent = ft->ascender;
    descent = -ft->descender;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
    }
    if (ascent + descent <= 0) ascent = ft->units_per_EM, descent = 0;
}

TLineMetrics FaceMetrics(FT_Face ft, int em, int boldPx) {
    TLineMetrics m;
    const FT_Size_Metrics& sm = ft->size->metrics;
    if (FT_IS_SCALABLE(ft)) {
        const double ys = sm.y_scale / 65536.0 / 64.0;  // font units to pixels
        const double xs = sm.x_scale / 65536.0 / 64.0;
        long a, d;
        CellUnits(ft, a, d);
        m.em = em;
        m.ascent = RoundPx(a * ys);
        m.descent = RoundPx(d * ys);
        m.externalLeading = std::max(0, RoundPx(ft->height * ys) - m.ascent - m.descent);
        m.maxCharWidth = RoundPx(ft->max_advance_width * xs);
        auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
        m.aveCharWidth = os2 != nullptr && os2->version != 0xFFFF && os2->xAvgCharWidth > 0
                             ? RoundPx(os2->xAvgCharWidth * xs)
                             : (em + 1) / 2;
        m.underlineThickness = std::max(1, RoundPx(ft->underline_thickness * ys));
        m.underlineOffset = RoundPx(-ft->underline_position * ys - m.underlineThickness / 2.0);
        if (os2 != nullptr && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
            m.strikeThickness = std::max(1, RoundPx(os2->yStrikeoutSize * ys));
            m.strikeOffset = -RoundPx(os2->yStrikeoutPosition * ys);
        } else {
            m.strikeThickness = m.underlineThickness;
            m.strikeOffset = -RoundPx(em * 0.3) - m.strikeThickness / 2;
        }
    } else {
        m.em = int(sm.y_ppem);
        m.ascent = RoundPx(sm.ascender / 64.0);
        m.descent = RoundPx(-sm.descender / 64.0);
        m.maxCharWidth = RoundPx(sm.max_advance / 64.0);
        m.aveCharWidth = std::max(1, m.maxCharWidth / 2);
        m.underlineThickness = std::max(1, m.em / 12);
        m.underlineOffset = 1;
        m.strikeThickness = m.underlineThickness;
        m.strikeOffset = -RoundPx(m.em * 0.3);
    }
    if (m.ascent + m.descent <= 0) m.ascent = std::max(1, m.em);
    m.descent = std::max(0, m.descent);
    // Both lines stay inside the cell.
    m.underlineOffset =
        std::clamp(m.underlineOffset, 0, std::max(0, m.descent - m.underlineThickness));
    m.strikeOffset = std::clamp(m.strikeOffset, -m.ascent, -m.strikeThickness);
    m.aveCharWidth += boldPx;
    m.maxCharWidth += boldPx;
    return m;
}

TPrepared PrepareUncached(const TFont& font) {
    TPrepared p;
    p.bold = font.Style().contains(fsBold);
    p.italic = font.Style().contains(fsItalic);
    p.mono = font.Quality() == fqNonAntialiased;
    p.turn = MakeTurn(font.Orientation());
    const long long h = font.Height();

    const fontcache::TFontFileMatch* file =
        fontcache::MatchFontFile(font.Name(), p.bold, p.italic, font.Pitch());
    if (file != nullptr) p.face = fontcache::OpenFace(file->path, file->index);
    if (p.face != nullptr) {
        FT_Face ft = p.face->ft;
        if (h < 0) {
            p.em = ClampEm(-h);
        } else if (h > 0 && FT_IS_SCALABLE(ft)) {
            long a, d;
            CellUnits(ft, a, d);
            p.em = ClampEm((h * ft->units_per_EM * 2 + (a + d)) / (2 * (a + d)));
        } else if (h > 0) {
            p.em = ClampEm(h);
        }
        if (!fontcache::SetFaceSize(*p.face, p.em)) p.face = nullptr;
    }
    if (p.face != nullptr) {
        p.path = file->path;
        p.synthBold = p.bold && !p.face->bold;
        p.synthItalic = p.italic && !p.face->italic;
        p.boldStrength = p.synthBold ? std::max(1, (p.em + 12) / 24) : 0;
        p.metrics = FaceMetrics(p.face->ft, p.em, p.boldStrength);
    } else {
        long long em = h < 0    ? -h
                       : h == 0 ? kDefaultEm
                                : (h * builtin_font::kEm * 2 + builtin_font::kCellHeight) /
                                      (2 * builtin_font::kCellHeight);
        p.em = builtin_font::ScaleFor(ClampEm(em));
        p.metrics = builtin_font::Metrics(p.em, p.bold);
    }
    return p;
}

// What a prepared font depends on.
struct TFontRequest {
    std::string name;
    int height = 0;
    uint64_t style = 0;
    int orientation = 0;
    TFontQuality quality = fqDefault;
    TFontPitch pitch = fpDefault;
    bool filesDisabled = false;
    bool operator==(const TFontRequest&) const = default;
};

// The few fonts used last, prepared: a canvas measures and draws with the same handful of
// fonts over and over. (Faces are never closed, so the face pointers stay valid.)
const TPrepared& Prepare(const TFont& font) {
    constexpr size_t kRemembered = 8;
    struct TSlot {
        TFontRequest request;
        TPrepared prepared;
    };
    static auto* slots = new std::vector<TSlot>;
    static size_t next = 0;
    TFontRequest r{font.Name(),    font.Height(), font.Style().Bits(),           font.Orientation(),
                   font.Quality(), font.Pitch(),  fontcache::FontFilesDisabled()};
    for (const TSlot& slot : *slots)
        if (slot.request == r) return slot.prepared;
    TSlot slot{r, PrepareUncached(font)};
    if (slots->size() < kRemembered) {
        slots->push_back(std::move(slot));
        return slots->back().prepared;
    }
    TSlot& victim = (*slots)[next];
    next = (next + 1) % kRemembered;
    victim = std::move(slot);
    return victim.prepared;
}

// ---- Glyph images ----

// Turns an unturned glyph about its origin, which sits (phaseX, phaseY) quarter pixels past
// the pixel corner it is drawn at, by sampling the source at each target pixel's centre.
TGlyphImage TurnImage(const TGlyphImage& src, const TTurn& turn, int phaseX, int phaseY,
                      bool mono) {
    if (turn.tenths == 0 && phaseX == 0 && phaseY == 0) return src;
    const double c = turn.cos, s = turn.sin, ox = phaseX / 4.0, oy = phaseY / 4.0;
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    for (int corner = 0; corner < 4; ++corner) {
        double px = src.left + ((corner & 1) ? src.width : 0);
        double py = src.top + ((corner & 2) ? src.height : 0);
        double sx = ox + px * c + py * s, sy = oy - px * s + py * c;
        minX = std::min(minX, sx), maxX = std::max(maxX, sx);
        minY = std::min(minY, sy), maxY = std::max(maxY, sy);
    }
    TGlyphImage out;
    out.advance = src.advance;
    if (src.width == 0 || src.height == 0) return out;
    out.left = int(std::floor(minX));
    out.top = int(std::floor(minY));
    out.width = int(std::ceil(maxX)) - out.left;
    out.height = int(std::ceil(maxY)) - out.top;
    out.coverage.assign(size_t(out.width) * size_t(out.height), 0);
    for (int j = 0; j < out.height; ++j) {
        for (int i = 0; i < out.width; ++i) {
            double qx = out.left + i + 0.5 - ox, qy = out.top + j + 0.5 - oy;
            double px = qx * c - qy * s - src.left, py = qx * s + qy * c - src.top;
            uint8_t v;
            if (mono) {
                v = src.At(int(std::floor(px)), int(std::floor(py)));
            } else {  // bilinear between the four nearest source pixel centres
                double fx = px - 0.5, fy = py - 0.5;
                int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
                double ax = fx - x0, ay = fy - y0;
                double top = src.At(x0, y0) * (1 - ax) + src.At(x0 + 1, y0) * ax;
                double bottom = src.At(x0, y0 + 1) * (1 - ax) + src.At(x0 + 1, y0 + 1) * ax;
                v = uint8_t(std::lround(top * (1 - ay) + bottom * ay));
            }
            out.coverage[size_t(j) * size_t(out.width) + size_t(i)] = v;
        }
    }
    return out;
}

// Copies a FreeType bitmap into 8-bit coverage.
TGlyphImage FromBitmap(const FT_Bitmap& bm, int left, int top) {
    TGlyphImage g;
    g.left = left;
    g.top = -top;
    g.width = int(bm.width);
    g.height = int(bm.rows);
    g.coverage.assign(size_t(g.width) * size_t(g.height), 0);
    if (bm.buffer == nullptr) return g;
    const int pitch = bm.pitch < 0 ? -bm.pitch : bm.pitch;
    const int grays = bm.num_grays > 1 ? bm.num_grays - 1 : 255;
    for (int y = 0; y < g.height; ++y) {
        // A negative pitch stores the rows bottom-up.
        const unsigned char* row = bm.buffer + size_t(bm.pitch < 0 ? g.height - 1 - y : y) * pitch;
        uint8_t* out = &g.coverage[size_t(y) * size_t(g.width)];
        for (int x = 0; x < g.width; ++x) {
            unsigned v = 0;
            switch (bm.pixel_mode) {
                case FT_PIXEL_MODE_MONO:
                    v = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
                    break;
                case FT_PIXEL_MODE_GRAY2:
                    v = ((row[x >> 2] >> (6 - 2 * (x & 3))) & 3) * 85;
                    break;
                case FT_PIXEL_MODE_GRAY4:
                    v = ((row[x >> 1] >> (4 - 4 * (x & 1))) & 15) * 17;
                    break;
                case FT_PIXEL_MODE_GRAY:
                    v = std::min(255u, row[x] * 255u / unsigned(grays));
                    break;
                case FT_PIXEL_MODE_BGRA:
                    v = row[4 * x + 3];
                    break;
                default:
                    v = 0;
            }
            out[x] = uint8_t(v);
        }
    }
    return g;
}

// Widens coverage by px columns to the right (synthetic bold of a bitmap-only face).
void WidenImage(TGlyphImage& g, int px) {
    if (g.width == 0 || px <= 0) return;
    TGlyphImage w = g;
    w.width = g.width + px;
    w.coverage.assign(size_t(w.width) * size_t(w.height), 0);
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < w.width; ++x) {
            uint8_t v = 0;
            for (int k = 0; k <= px; ++k) v = std::max(v, g.At(x - k, y));
            w.coverage[size_t(y) * size_t(w.width) + size_t(x)] = v;
        }
    g = std::move(w);
}

// Renders glyph index gi of a FreeType face: synthetic bold and slant are applied to the
// unturned outline, then the outline is turned and shifted by the sub-pixel phase.
TGlyphImage RenderFaceGlyph(const TPrepared& p, uint32_t gi, int phaseX, int phaseY) {
    TGlyphImage g;
    FT_Face ft = p.face->ft;
    if (!fontcache::SetFaceSize(*p.face, p.em)) return g;
    FT_Int32 flags = FT_LOAD_DEFAULT | (p.mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    if (FT_IS_SCALABLE(ft)) flags |= FT_LOAD_NO_BITMAP;
    if (FT_Load_Glyph(ft, gi, flags) != 0 && (gi == 0 || FT_Load_Glyph(ft, 0, flags) != 0))
        return g;
    FT_GlyphSlot slot = ft->glyph;
    FT_Pos advance = slot->metrics.horiAdvance;  // untransformed, 26.6
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        if (p.synthBold) {
            FT_Pos strength = FT_Pos(p.boldStrength) * 64;
            FT_Outline_EmboldenXY(&slot->outline, strength, strength / 2);
            advance += strength;
        }
        if (p.synthItalic) FT_GlyphSlot_Oblique(slot);
        if (p.turn.tenths != 0) {
            FT_Matrix m;
            m.xx = FT_Fixed(std::lround(p.turn.cos * 65536.0));
            m.xy = FT_Fixed(std::lround(-p.turn.sin * 65536.0));
            m.yx = -m.xy;
            m.yy = m.xx;
            FT_Outline_Transform(&slot->outline, &m);
        }
        if (phaseX != 0 || phaseY != 0)
            FT_Outline_Translate(&slot->outline, phaseX * 16, -phaseY * 16);
        if (FT_Render_Glyph(slot, p.mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) == 0)
            g = FromBitmap(slot->bitmap, slot->bitmap_left, slot->bitmap_top);
    } else {
        if (slot->format != FT_GLYPH_FORMAT_BITMAP &&
            FT_Render_Glyph(slot, p.mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
            return g;
        // A bitmap glyph cannot be turned as an outline: it is turned by sampling.
        g = FromBitmap(slot->bitmap, slot->bitmap_left, slot->bitmap_top);
        if (p.synthBold) {
            WidenImage(g, p.boldStrength);
            advance += FT_Pos(p.boldStrength) * 64;
        }
        g = TurnImage(g, p.turn, phaseX, phaseY, p.mono);
    }
    g.advance = int(std::max<FT_Pos>(0, (advance + 32) >> 6));
    return g;
}

// The glyph for code point cp, turned by turn, with the origin's sub-pixel phase; cached.
// The reference stays valid until the next glyph is fetched.
const TGlyphImage& FetchGlyph(const TPrepared& p, char32_t cp, const TTurn& turn, int phaseX,
                              int phaseY) {
    TGlyphKey key;
    key.face = p.face ? p.face->id : 0;
    key.glyph = p.face ? FT_Get_Char_Index(p.face->ft, cp) : uint32_t(cp);
    key.size = uint16_t(p.em);
    key.angle = uint16_t(turn.tenths);
    key.flags = p.Flags();
    key.phase = uint8_t(phaseX * 4 + phaseY);
    fontcache::TGlyphCache& cache = fontcache::Glyphs();
    if (const TGlyphImage* hit = cache.Find(key)) return *hit;
    TGlyphImage g;
    if (p.face != nullptr) {
        TPrepared q = p;
        q.turn = turn;
        g = RenderFaceGlyph(q, key.glyph, phaseX, phaseY);
    } else {
        g = TurnImage(builtin_font::Glyph(cp, p.em, p.bold, p.italic), turn, phaseX, phaseY,
                      p.mono);
    }
    return cache.Insert(key, std::move(g));
}

// ---- Painting ----

struct TPainter {
    TSurface& surface;
    TRect clip;  // within the surface
    TPixel pixel;

    void Put(int x, int y, unsigned a) {
        TPixel& d = surface.Row(y)[x];
        if (a >= 255) {
            d = pixel;
            return;
        }
        TPixel out = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            int dc = int((d >> shift) & 0xFF), sc = int((pixel >> shift) & 0xFF);
            int v = dc + ((sc - dc) * int(a) + (sc >= dc ? 127 : -127)) / 255;
            out |= TPixel(v) << shift;
        }
        d = out;
    }

    void Glyph(const TGlyphImage& g, long long originX, long long originY) {
        long long left = originX + g.left, top = originY + g.top;
        long long x0 = std::max<long long>(left, clip.Left);
        long long x1 = std::min<long long>(left + g.width, clip.Right);
        long long y0 = std::max<long long>(top, clip.Top);
        long long y1 = std::min<long long>(top + g.height, clip.Bottom);
        for (long long y = y0; y < y1; ++y) {
            const uint8_t* row = &g.coverage[size_t(y - top) * size_t(g.width)];
            for (long long x = x0; x < x1; ++x)
                if (uint8_t a = row[x - left]) Put(int(x), int(y), a);
        }
    }

    // A line of the text cell, [0, length) x [top, top + thickness) in the unturned cell
    // whose top-left corner is at (x, y), turned about that corner.
    void CellBar(long long x, long long y, long long length, int top, int thickness,
                 const TTurn& turn, bool mono) {
        if (length <= 0 || thickness <= 0) return;
        const double c = turn.cos, s = turn.sin;
        if (turn.tenths == 0) {
            long long x0 = std::max<long long>(x, clip.Left);
            long long x1 = std::min<long long>(x + length, clip.Right);
            long long y0 = std::max<long long>(y + top, clip.Top);
            long long y1 = std::min<long long>(y + top + thickness, clip.Bottom);
            for (long long py = y0; py < y1; ++py)
                for (long long px = x0; px < x1; ++px) Put(int(px), int(py), 255);
            return;
        }
        double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
        for (int corner = 0; corner < 4; ++corner) {
            double px = (corner & 1) ? double(length) : 0.0;
            double py = top + ((corner & 2) ? thickness : 0);
            double sx = x + px * c + py * s, sy = y - px * s + py * c;
            minX = std::min(minX, sx), maxX = std::max(maxX, sx);
            minY = std::min(minY, sy), maxY = std::max(maxY, sy);
        }
        long long x0 = std::max<long long>(std::llround(std::floor(minX)), clip.Left);
        long long x1 = std::min<long long>(std::llround(std::ceil(maxX)), clip.Right);
        long long y0 = std::max<long long>(std::llround(std::floor(minY)), clip.Top);
        long long y1 = std::min<long long>(std::llround(std::ceil(maxY)), clip.Bottom);
        // Coverage from a 4 x 4 grid of samples per pixel (the centre only when monochrome).
        const int n = mono ? 1 : 4;
        for (long long py = y0; py < y1; ++py) {
            for (long long px = x0; px < x1; ++px) {
                int inside = 0;
                for (int sj = 0; sj < n; ++sj) {
                    for (int si = 0; si < n; ++si) {
                        double qx = double(px - x) + (si + 0.5) / n;
                        double qy = double(py - y) + (sj + 0.5) / n;
                        double u = qx * c - qy * s, v = qx * s + qy * c;
                        if (u >= 0 && u < double(length) && v >= top && v < top + thickness)
                            ++inside;
                    }
                }
                if (inside > 0) Put(int(px), int(py), unsigned(inside * 255 / (n * n)));
            }
        }
    }
};

}  // namespace

TTextMetric GetTextMetrics(const TFont& font) {
    const TLineMetrics m = Prepare(font).metrics;
    TTextMetric tm;
    tm.tmAscent = m.ascent;
    tm.tmDescent = m.descent;
    tm.tmHeight = m.ascent + m.descent;
    tm.tmInternalLeading = std::max(0, tm.tmHeight - m.em);
    tm.tmExternalLeading = m.externalLeading;
    tm.tmAveCharWidth = m.aveCharWidth;
    tm.tmMaxCharWidth = m.maxCharWidth;
    return tm;
}

TSize MeasureText(const TFont& font, std::string_view utf8) {
    const TPrepared& p = Prepare(font);
    const TTurn unturned;
    long long width = 0;
    for (size_t i = 0; i < utf8.size();) {
        char32_t cp = NextCodePoint(utf8, i);
        width += FetchGlyph(p, cp, unturned, 0, 0).advance;
    }
    return TSize{int(std::min<long long>(width, INT32_MAX)), p.metrics.ascent + p.metrics.descent};
}

void RenderText(TSurface& surface, const TRect& clip, int x, int y, const TFont& font,
                std::string_view utf8, TColor color) {
    TPainter painter{surface, IntersectRect(NormalizeRect(clip), surface.Bounds()), ToPixel(color)};
    if (painter.clip.IsEmpty() || utf8.empty()) return;
    const TPrepared& p = Prepare(font);
    const TLineMetrics& m = p.metrics;
    const TTurn& turn = p.turn;
    const int cellHeight = m.ascent + m.descent;
    // An unturned line wholly above or below the clip draws nothing (a margin of one character
    // height covers ink reaching out of the cell).
    if (turn.tenths == 0 && (static_cast<long long>(y) - m.em >= painter.clip.Bottom ||
                             static_cast<long long>(y) + cellHeight + m.em <= painter.clip.Top))
        return;
    // The baseline starts ascent below the reference point, in the turned cell.
    const double baseX = x + m.ascent * turn.sin, baseY = y + m.ascent * turn.cos;
    const bool lines = font.Style().contains(fsUnderline) || font.Style().contains(fsStrikeOut);
    long long pen = 0;
    for (size_t i = 0; i < utf8.size();) {
        char32_t cp = NextCodePoint(utf8, i);
        long long ox, oy;
        int phaseX = 0, phaseY = 0;
        if (turn.tenths == 0) {
            ox = x + pen;
            oy = static_cast<long long>(y) + m.ascent;
        } else {
            // Origins along a turned baseline fall between pixels: they are kept to a quarter
            // pixel, and the glyph is rendered for that phase.
            long long qx = std::llround(std::floor((baseX + pen * turn.cos) * 4 + 0.5));
            long long qy = std::llround(std::floor((baseY - pen * turn.sin) * 4 + 0.5));
            ox = qx >> 2, oy = qy >> 2;
            phaseX = int(qx & 3), phaseY = int(qy & 3);
        }
        // Past the clip's right edge an unturned line shows nothing more, unless a line
        // under or through it needs its full length (a margin of one em covers glyphs
        // reaching left of their origin).
        if (turn.tenths == 0 && !lines && ox >= painter.clip.Right + m.em) break;
        const TGlyphImage& g = FetchGlyph(p, cp, turn, phaseX, phaseY);
        painter.Glyph(g, ox, oy);
        pen += g.advance;
    }
    if (font.Style().contains(fsUnderline))
        painter.CellBar(x, y, pen, m.ascent + m.underlineOffset, m.underlineThickness, turn,
                        p.mono);
    if (font.Style().contains(fsStrikeOut))
        painter.CellBar(x, y, pen, m.ascent + m.strikeOffset, m.strikeThickness, turn, p.mono);
}

std::string ResolveFontFile(const TFont& font) {
    return Prepare(font).path;
}

}  // namespace kovo
