// Block copies onto a canvas: bitmaps drawn plain, transparent or stretched, and copies
// between canvases with a ternary raster operation and a stretch mode.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "host/Bitmap.h"
#include "host/Canvas.h"
#include "host/CanvasPainter.h"

namespace kovo {

namespace {

bool RopUsesSource(uint32_t rop) {
    const uint32_t t = (rop >> 16) & 0xFF;
    return (((t >> 2) ^ t) & 0x33) != 0;
}

// How the destination indices of one axis map onto source indices: for each destination
// index, a run of taps (source index and weight). Taps lie inside the readable source.
struct TAxisMap {
    std::vector<int> first;  // taps of destination index k: [first[k], first[k + 1])
    std::vector<int> source;
    std::vector<float> weight;
};

enum TSampling { smNearest, smBox, smAnd, smOr };

// Destination indices [from, to] of an axis of destination length w (both normalised, so
// index 0 is the left or top edge) onto a source of length sw starting at s0, read only
// within [lo, hi); flip mirrors.
TAxisMap MapAxis(i64 from, i64 to, i64 w, i64 sw, bool flip, i64 s0, i64 lo, i64 hi,
                 TSampling sampling) {
    TAxisMap m;
    m.first.reserve(size_t(to - from + 2));
    auto push = [&](i64 j, float weight) {  // j: index into the unmirrored source run
        const i64 sc = flip ? s0 + sw - 1 - j : s0 + j;
        if (sc < lo || sc >= hi) return;
        m.source.push_back(int(sc));
        m.weight.push_back(weight);
    };
    // The source run positions that are readable, for bounding the box taps.
    i64 jLo, jHi;
    if (flip) {
        jLo = s0 + sw - hi;
        jHi = s0 + sw - lo;
    } else {
        jLo = lo - s0;
        jHi = hi - s0;
    }
    jLo = std::max<i64>(jLo, 0);
    jHi = std::min<i64>(jHi, sw);
    for (i64 i = from; i <= to; ++i) {
        m.first.push_back(int(m.source.size()));
        if (sampling == smNearest || (sampling != smBox && sw <= w)) {
            // The source pixel under the destination pixel's centre.
            const i64 j = i64((__int128(2 * i + 1) * sw) / (2 * __int128(w)));
            push(j, 1.0f);
            continue;
        }
        // Every source pixel the destination pixel covers, weighted by the overlap (when
        // growing, one pixel or the two it straddles).
        const double a = double(i) * double(sw) / double(w);
        const double b = double(i + 1) * double(sw) / double(w);
        const i64 j0 = std::max<i64>(i64(std::floor(a)), jLo);
        const i64 j1 = std::min<i64>(i64(std::ceil(b)), jHi);
        for (i64 j = j0; j < j1; ++j) {
            const double overlap = std::min(b, double(j + 1)) - std::max(a, double(j));
            if (overlap > 1e-9) push(j, float(overlap));
        }
    }
    m.first.push_back(int(m.source.size()));
    return m;
}

// Copies source [sx, sx + sw) x [sy, sy + sh) (surface coordinates of src, read only within
// srcBounds) onto destination [x, x + w) x [y, y + h) (surface coordinates of the painter).
// Negative sizes mirror that axis; pixels equal to *key are left out.
void Blit(TCanvasPainter& p, i64 x, i64 y, i64 w, i64 h, const TSurface* src, TRect srcBounds,
          i64 sx, i64 sy, i64 sw, i64 sh, uint32_t rop, int stretchMode,
          std::optional<TPixel> key) {
    bool flipX = false, flipY = false;
    if (w < 0) x += w, w = -w, flipX = !flipX;
    if (h < 0) y += h, h = -h, flipY = !flipY;
    if (sw < 0) sx += sw, sw = -sw, flipX = !flipX;
    if (sh < 0) sy += sh, sh = -sh, flipY = !flipY;
    if (w == 0 || h == 0) return;
    const TRect& clip = p.Clip();
    const i64 xFrom = std::max<i64>(x, clip.Left), xTo = std::min<i64>(x + w, clip.Right) - 1;
    const i64 yFrom = std::max<i64>(y, clip.Top), yTo = std::min<i64>(y + h, clip.Bottom) - 1;
    if (xFrom > xTo || yFrom > yTo) return;
    TSurface& dest = p.Surface();

    if (!RopUsesSource(rop)) {
        for (i64 row = yFrom; row <= yTo; ++row) {
            TPixel* d = dest.Row(int(row));
            for (i64 col = xFrom; col <= xTo; ++col)
                d[col] = ApplyRop3(rop, p.PatternPixel(col, row), 0, d[col]);
        }
        return;
    }
    if (src == nullptr || sw == 0 || sh == 0) return;
    srcBounds = IntersectRect(srcBounds, src->Bounds());
    if (srcBounds.IsEmpty()) return;

    // Reading and writing one surface: read from a copy of the source area.
    TSurface copy;
    if (src == &dest) {
        const TRect area =
            IntersectRect(srcBounds, TRect{int(std::clamp<i64>(sx, INT32_MIN, INT32_MAX)),
                                           int(std::clamp<i64>(sy, INT32_MIN, INT32_MAX)),
                                           int(std::clamp<i64>(sx + sw, INT32_MIN, INT32_MAX)),
                                           int(std::clamp<i64>(sy + sh, INT32_MIN, INT32_MAX))});
        if (area.IsEmpty()) return;
        copy.Resize(area.Width(), area.Height());
        for (int row = 0; row < area.Height(); ++row)
            std::memcpy(copy.Row(row), src->Row(area.Top + row) + area.Left,
                        sizeof(TPixel) * size_t(area.Width()));
        src = &copy;
        sx -= area.Left;
        sy -= area.Top;
        srcBounds = copy.Bounds();
    }

    TSampling sampling = smNearest;
    if (!key) {
        if (stretchMode == HALFTONE) sampling = smBox;
        if (stretchMode == BLACKONWHITE) sampling = smAnd;
        if (stretchMode == WHITEONBLACK) sampling = smOr;
    }
    // Destination indices relative to the normalised destination rectangle.
    const TAxisMap cols =
        MapAxis(xFrom - x, xTo - x, w, sw, flipX, sx, srcBounds.Left, srcBounds.Right, sampling);
    const TAxisMap rows =
        MapAxis(yFrom - y, yTo - y, h, sh, flipY, sy, srcBounds.Top, srcBounds.Bottom, sampling);
    const bool plainCopy = (rop & 0x00FF0000) == (cmSrcCopy & 0x00FF0000) && !key;
    const bool oneTap = sampling == smNearest || (sampling != smBox && sw <= w && sh <= h);

    auto put = [&](TPixel* d, i64 col, i64 row, TPixel s) {
        s &= 0x00FFFFFF;
        if (key && s == *key) return;
        d[col] = plainCopy ? s : ApplyRop3(rop, p.PatternPixel(col, row), s, d[col]);
    };

    if (sampling == smBox) {
        // Separable box filter: per destination row, the covered source rows are blended
        // into one row of channel sums first, then each destination pixel blends the
        // covered columns of that row.
        int cMin = INT32_MAX, cMax = INT32_MIN;
        for (int c : cols.source) cMin = std::min(cMin, c), cMax = std::max(cMax, c);
        if (cMin > cMax) return;
        std::vector<float> sums(size_t(cMax - cMin + 1) * 3);
        for (i64 row = yFrom; row <= yTo; ++row) {
            const size_t ri = size_t(row - yFrom);
            const int r0 = rows.first[ri], r1 = rows.first[ri + 1];
            if (r0 == r1) continue;
            float rowTotal = 0;
            for (int rt = r0; rt < r1; ++rt) rowTotal += rows.weight[rt];
            std::fill(sums.begin(), sums.end(), 0.0f);
            for (int rt = r0; rt < r1; ++rt) {
                const TPixel* sr = src->Row(rows.source[rt]) + cMin;
                const float wgt = rows.weight[rt] / rowTotal;
                for (size_t c = 0; c < sums.size() / 3; ++c) {
                    const TPixel v = sr[c];
                    sums[3 * c] += wgt * float(v & 0xFF);
                    sums[3 * c + 1] += wgt * float((v >> 8) & 0xFF);
                    sums[3 * c + 2] += wgt * float((v >> 16) & 0xFF);
                }
            }
            TPixel* d = dest.Row(int(row));
            for (i64 col = xFrom; col <= xTo; ++col) {
                const size_t ci = size_t(col - xFrom);
                const int c0 = cols.first[ci], c1 = cols.first[ci + 1];
                if (c0 == c1) continue;
                float acc[3] = {0, 0, 0}, total = 0;
                for (int ct = c0; ct < c1; ++ct) {
                    const float* v = &sums[3 * size_t(cols.source[ct] - cMin)];
                    const float wgt = cols.weight[ct];
                    acc[0] += wgt * v[0];
                    acc[1] += wgt * v[1];
                    acc[2] += wgt * v[2];
                    total += wgt;
                }
                // Sums are never negative, so truncation after adding a half rounds.
                const float inverse = 1.0f / total;
                auto channel = [&](int k) {
                    return TPixel(std::min(255, int(acc[k] * inverse + 0.5f)));
                };
                put(d, col, row, channel(0) | (channel(1) << 8) | (channel(2) << 16));
            }
        }
        return;
    }

    for (i64 row = yFrom; row <= yTo; ++row) {
        const size_t ri = size_t(row - yFrom);
        const int r0 = rows.first[ri], r1 = rows.first[ri + 1];
        if (r0 == r1) continue;
        TPixel* d = dest.Row(int(row));
        const TPixel* sr = src->Row(rows.source[r0]);
        for (i64 col = xFrom; col <= xTo; ++col) {
            const size_t ci = size_t(col - xFrom);
            const int c0 = cols.first[ci], c1 = cols.first[ci + 1];
            if (c0 == c1) continue;
            if (oneTap) {
                put(d, col, row, sr[cols.source[c0]]);
                continue;
            }
            // The darkest (AND) or lightest (OR) of the covered source pixels.
            TPixel s = sampling == smAnd ? 0x00FFFFFF : 0;
            for (int rt = r0; rt < r1; ++rt) {
                const TPixel* r = src->Row(rows.source[rt]);
                for (int ct = c0; ct < c1; ++ct)
                    s = sampling == smAnd ? (s & r[cols.source[ct]]) : (s | r[cols.source[ct]]);
            }
            put(d, col, row, s);
        }
    }
}

// Draws a bitmap into [x, x + w) x [y, y + h) (surface coordinates) with the canvas's
// copy and stretch modes; a transparent bitmap leaves out its transparent colour.
void DrawBitmap(TCanvasPainter& p, i64 x, i64 y, i64 w, i64 h, TBitmap* bitmap, uint32_t rop,
                int stretchMode) {
    const TSurface& src = bitmap->PixelSurface();
    if (src.Width() == 0 || src.Height() == 0) return;
    std::optional<TPixel> key;
    if (bitmap->Transparent()) key = ToPixel(bitmap->TransparentColor());
    Blit(p, x, y, w, h, &src, src.Bounds(), 0, 0, src.Width(), src.Height(), rop, stretchMode, key);
}

}  // namespace

// The copy behind BitBlt, StretchBlt and CopyRect, in each canvas's own coordinates (a
// friend of the canvas: it reads the source canvas's surface and origin).
class TCanvasBlitter {
  public:
    static bool Run(HDC dest, i64 x, i64 y, i64 w, i64 h, HDC src, i64 sx, i64 sy, i64 sw, i64 sh,
                    uint32_t rop) {
        const bool needsSource = RopUsesSource(rop);
        if (needsSource && src == nullptr) return false;
        TCanvasPainter p(*dest);
        if (!p.Ready()) return true;
        const TSurface* surface = nullptr;
        TRect bounds;
        if (needsSource) {
            src->RequireSurface();
            if (src->surface_ == nullptr) return true;
            surface = src->surface_;
            bounds = src->EffectiveClip();
            sx += src->origin_.X;
            sy += src->origin_.Y;
        }
        dest->Changing();
        Blit(p, p.ToSurfaceX(x), p.ToSurfaceY(y), w, h, surface, bounds, sx, sy, sw, sh, rop,
             dest->stretchMode_, std::nullopt);
        dest->Changed();
        return true;
    }
};

void TCanvas::Draw(int x, int y, TBitmap* bitmap) {
    Record("Draw", {x, y});
    if (bitmap == nullptr || bitmap->Empty()) return;
    TCanvasPainter p(*this);
    if (!p.Ready()) return;
    Changing();
    DrawBitmap(p, p.ToSurfaceX(x), p.ToSurfaceY(y), bitmap->Width(), bitmap->Height(), bitmap,
               copyMode_, stretchMode_);
    Changed();
}

void TCanvas::StretchDraw(const TRect& dest, TBitmap* bitmap) {
    Record("StretchDraw", {dest.Left, dest.Top, dest.Right, dest.Bottom});
    if (bitmap == nullptr || bitmap->Empty()) return;
    TCanvasPainter p(*this);
    if (!p.Ready()) return;
    Changing();
    DrawBitmap(p, p.ToSurfaceX(dest.Left), p.ToSurfaceY(dest.Top), i64(dest.Right) - dest.Left,
               i64(dest.Bottom) - dest.Top, bitmap, copyMode_, stretchMode_);
    Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect) {
    Record("CopyRect", {dest.Left, dest.Top, dest.Right, dest.Bottom, sourceRect.Left,
                        sourceRect.Top, sourceRect.Right, sourceRect.Bottom});
    TCanvasBlitter::Run(this, dest.Left, dest.Top, i64(dest.Right) - dest.Left,
                        i64(dest.Bottom) - dest.Top, source, sourceRect.Left, sourceRect.Top,
                        i64(sourceRect.Right) - sourceRect.Left,
                        i64(sourceRect.Bottom) - sourceRect.Top, copyMode_);
}

bool BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, uint32_t rop) {
    if (dest == nullptr) return false;
    if (dest->recording_) {
        dest->Record("BitBlt", {x, y, w, h, sx, sy});
        dest->calls_.back().CopyMode = rop;
    }
    return TCanvasBlitter::Run(dest, x, y, w, h, src, sx, sy, w, h, rop);
}

bool StretchBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                uint32_t rop) {
    if (dest == nullptr) return false;
    if (dest->recording_) {
        dest->Record("StretchBlt", {x, y, w, h, sx, sy, sw, sh});
        dest->calls_.back().CopyMode = rop;
    }
    return TCanvasBlitter::Run(dest, x, y, w, h, src, sx, sy, sw, sh, rop);
}

int SetStretchBltMode(HDC dc, int mode) {
    if (dc == nullptr || mode < BLACKONWHITE || mode > HALFTONE) return 0;
    const int old = dc->StretchBltMode();
    dc->SetStretchBltMode(mode);
    return old;
}

int GetStretchBltMode(HDC dc) {
    return dc ? dc->StretchBltMode() : 0;
}

}  // namespace kovo
