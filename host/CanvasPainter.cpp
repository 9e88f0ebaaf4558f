#include "host/CanvasPainter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kovo {

namespace {

constexpr TPixel kRgbMask = 0x00FFFFFF;

// The dash patterns as alternating run lengths, starting with a drawn run.
struct TDashPattern {
    int runs[6];
    int count;
    int length;
};
constexpr TDashPattern kDash{{18, 6}, 2, 24};
constexpr TDashPattern kDot{{3, 3}, 2, 6};
constexpr TDashPattern kDashDot{{9, 6, 3, 6}, 4, 24};
constexpr TDashPattern kDashDotDot{{9, 3, 3, 3, 3, 3}, 6, 24};
constexpr TDashPattern kAlternate{{1, 1}, 2, 2};

// Writes p over n destination pixels with mode m; the frequent modes run without a
// per-pixel switch.
void ModeRun(TPixel* d, i64 n, TPixel p, TPenMode m) {
    switch (m) {
        case pmCopy:
            std::fill_n(d, n, p);
            return;
        case pmBlack:
            std::fill_n(d, n, TPixel(0));
            return;
        case pmWhite:
            std::fill_n(d, n, kRgbMask);
            return;
        case pmNotCopy:
            std::fill_n(d, n, ~p & kRgbMask);
            return;
        case pmNop:
            return;
        case pmNot:
            for (i64 i = 0; i < n; ++i) d[i] = ~d[i] & kRgbMask;
            return;
        case pmXor:
            for (i64 i = 0; i < n; ++i) d[i] = (d[i] ^ p) & kRgbMask;
            return;
        default:
            for (i64 i = 0; i < n; ++i) d[i] = ApplyPenMode(m, p, d[i]);
            return;
    }
}

// The x-interval of a linear inequality lo < c0 + c1 * x < hi, intersected into [a, b].
void SlabInterval(double c0, double c1, double lo, double hi, double& a, double& b) {
    if (c1 == 0) {
        if (!(c0 > lo && c0 < hi)) a = 1, b = 0;  // empty
        return;
    }
    double x0 = (lo - c0) / c1, x1 = (hi - c0) / c1;
    if (x0 > x1) std::swap(x0, x1);
    a = std::max(a, x0);
    b = std::min(b, x1);
}

}  // namespace

bool DashOn(TPenStyle style, i64 index) {
    const TDashPattern* p;
    switch (style) {
        case psDash:
            p = &kDash;
            break;
        case psDot:
            p = &kDot;
            break;
        case psDashDot:
            p = &kDashDot;
            break;
        case psDashDotDot:
            p = &kDashDotDot;
            break;
        case psAlternate:
            p = &kAlternate;
            break;
        default:
            return true;
    }
    i64 pos = index % p->length;
    if (pos < 0) pos += p->length;
    for (int i = 0; i < p->count; ++i) {
        if (pos < p->runs[i]) return (i & 1) == 0;
        pos -= p->runs[i];
    }
    return true;
}

TCanvasPainter::TCanvasPainter(TCanvas& canvas) {
    canvas.RequireSurface();
    if (canvas.surface_ == nullptr) return;
    clip_ = canvas.EffectiveClip();
    if (clip_.IsEmpty()) return;
    surface_ = canvas.surface_;
    originX_ = canvas.origin_.X;
    originY_ = canvas.origin_.Y;
    const TPen& pen = *canvas.pen_;
    const TBrush& brush = *canvas.brush_;
    penPixel_ = ToPixel(pen.Color());
    penMode_ = pen.Mode();
    penStyle_ = pen.Style();
    penWidth_ = std::max(1, pen.Width());
    brushPixel_ = ToPixel(brush.Color());
    brushStyle_ = brush.Style();
}

bool TCanvasPainter::PenDashed() const {
    return penWidth_ == 1 && (penStyle_ == psDash || penStyle_ == psDot || penStyle_ == psDashDot ||
                              penStyle_ == psDashDotDot || penStyle_ == psAlternate);
}

void TCanvasPainter::Span(i64 y, i64 x0, i64 x1, TPixel p, TPenMode mode) {
    if (y < clip_.Top || y >= clip_.Bottom) return;
    x0 = std::max<i64>(x0, clip_.Left);
    x1 = std::min<i64>(x1, clip_.Right - 1);
    if (x0 > x1) return;
    ModeRun(surface_->Row(int(y)) + x0, x1 - x0 + 1, p, mode);
}

void TCanvasPainter::BrushSpan(i64 y, i64 x0, i64 x1, TPenMode mode) {
    if (brushStyle_ == bsClear) return;
    if (brushStyle_ == bsSolid) {
        Span(y, x0, x1, brushPixel_, mode);
        return;
    }
    if (y < clip_.Top || y >= clip_.Bottom) return;
    x0 = std::max<i64>(x0, clip_.Left);
    x1 = std::min<i64>(x1, clip_.Right - 1);
    TPixel* row = surface_->Row(int(y));
    for (i64 x = x0; x <= x1; ++x)
        if (HatchBit(brushStyle_, int(x), int(y))) row[x] = ApplyPenMode(mode, brushPixel_, row[x]);
}

void TCanvasPainter::Plot(i64 x, i64 y, TPixel p, TPenMode mode) {
    if (x < clip_.Left || x >= clip_.Right || y < clip_.Top || y >= clip_.Bottom) return;
    TPixel& d = surface_->Row(int(y))[x];
    d = ApplyPenMode(mode, p, d);
}

void TCanvasPainter::PenPlot(i64 x, i64 y, i64 index) {
    if (!PenDashed() || DashOn(penStyle_, index)) {
        Plot(x, y, penPixel_, penMode_);
    } else if (OpaqueBackground()) {
        Plot(x, y, brushPixel_, penMode_);
    }
}

void TCanvasPainter::BrushPlot(i64 x, i64 y, TPenMode mode) {
    if (brushStyle_ == bsClear) return;
    if (brushStyle_ != bsSolid && !HatchBit(brushStyle_, int(x), int(y))) return;
    Plot(x, y, brushPixel_, mode);
}

i64 TCanvasPainter::ThinLine(i64 x0, i64 y0, i64 x1, i64 y1, bool includeEnd, i64 dashIndex) {
    const i64 dx = x1 - x0, dy = y1 - y0;
    const i64 n = std::max(std::llabs(dx), std::llabs(dy));  // steps along the major axis
    const i64 count = includeEnd ? n + 1 : n;
    if (count <= 0) return dashIndex;
    if (n == 0) {
        PenPlot(x0, y0, dashIndex);
        return dashIndex + 1;
    }
    // Step i lies at major offset i and minor offset round(i * minor / n), ties rounded
    // toward the smaller coordinate, so a line and its reverse light the same pixels.
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const i64 major0 = xMajor ? x0 : y0, minor0 = xMajor ? y0 : x0;
    const i64 step = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const i64 minorDelta = xMajor ? dy : dx;
    const i64 clipLo = xMajor ? clip_.Left : clip_.Top,
              clipHi = xMajor ? clip_.Right : clip_.Bottom;
    const i64 minorLo = xMajor ? clip_.Top : clip_.Left;
    const i64 minorHi = xMajor ? clip_.Bottom : clip_.Right;
    // The steps whose major coordinate lies inside the clip.
    i64 iFrom, iTo;
    if (step > 0) {
        iFrom = clipLo - major0;
        iTo = clipHi - 1 - major0;
    } else {
        iFrom = major0 - (clipHi - 1);
        iTo = major0 - clipLo;
    }
    iFrom = std::max<i64>(iFrom, 0);
    iTo = std::min<i64>(iTo, count - 1);
    if (iFrom > iTo) return dashIndex + count;
    // Minor offset q = ceil((2 i d - n) / 2n), kept with its remainder r in (-2n, 0].
    const i64 twoN = 2 * n;
    const __int128 num = __int128(2) * iFrom * minorDelta - n;
    __int128 q128 = num / twoN;
    if (num % twoN > 0) ++q128;
    i64 q = i64(q128);
    i64 r = i64(num - q128 * twoN);
    for (i64 i = iFrom; i <= iTo; ++i) {
        const i64 major = major0 + step * i, minor = minor0 + q;
        if (minor >= minorLo && minor < minorHi) {
            if (xMajor)
                PenPlot(major, minor, dashIndex + i);
            else
                PenPlot(minor, major, dashIndex + i);
        }
        r += 2 * minorDelta;
        if (r > 0) {
            ++q;
            r -= twoN;
        } else if (r <= -twoN) {
            --q;
            r += twoN;
        }
    }
    return dashIndex + count;
}

void TCanvasPainter::WideLine(i64 x0, i64 y0, i64 x1, i64 y1) {
    if (x0 == x1 && y0 == y1) return;
    // A pixel belongs to the line when its centre is nearer than w/2 to the segment. An even
    // width is centred half a pixel up and left, so that it covers w rows of a horizontal
    // line, the extra one above, as the frames of shapes do.
    const int w = penWidth_;
    const double radius = w / 2.0;
    const double shift = (w % 2 == 0) ? -0.5 : 0.0;
    const double ax = double(x0) + shift, ay = double(y0) + shift;
    const double bx = double(x1) + shift, by = double(y1) + shift;
    const double ddx = bx - ax, ddy = by - ay;
    const double len = std::sqrt(ddx * ddx + ddy * ddy);
    const double r2 = radius * radius;
    i64 yFrom = i64(std::floor(std::min(ay, by) - radius)) + 1;
    i64 yTo = i64(std::ceil(std::max(ay, by) + radius)) - 1;
    yFrom = std::max<i64>(yFrom, clip_.Top);
    yTo = std::min<i64>(yTo, clip_.Bottom - 1);
    for (i64 y = yFrom; y <= yTo; ++y) {
        const double yc = double(y);
        double lo = 1e300, hi = -1e300;
        auto unite = [&](double a, double b) {
            if (a < b) lo = std::min(lo, a), hi = std::max(hi, b);
        };
        for (int end = 0; end < 2; ++end) {  // the round ends
            const double cx = end ? bx : ax, cy = end ? by : ay;
            const double d = yc - cy;
            if (d * d < r2) {
                const double h = std::sqrt(r2 - d * d);
                unite(cx - h, cx + h);
            }
        }
        // The band: |cross(d, P - A)| < r * len and 0 <= dot(d, P - A) <= len^2.
        double a = -1e300, b = 1e300;
        SlabInterval(ddx * (yc - ay) + ddy * ax, -ddy, -radius * len, radius * len, a, b);
        SlabInterval(ddy * (yc - ay) - ddx * ax, ddx, -1e-9, len * len + 1e-9, a, b);
        unite(a, b);
        if (lo >= hi) continue;
        const double clipL = clip_.Left - 1.0, clipR = double(clip_.Right);
        lo = std::max(lo, clipL);
        hi = std::min(hi, clipR);
        const i64 xa = i64(std::floor(lo)) + 1, xb = i64(std::ceil(hi)) - 1;
        Span(y, xa, xb, penPixel_, penMode_);
    }
}

void TCanvasPainter::BrushPolygon(const std::vector<std::pair<i64, i64>>& pts, TPenMode mode) {
    struct TEdge {
        double yMin, yMax, x0, y0, slope;
    };
    std::vector<TEdge> edges;
    const size_t n = pts.size();
    double minY = 1e300, maxY = -1e300;
    for (size_t i = 0; i < n; ++i) {
        auto [x0, y0] = pts[i];
        auto [x1, y1] = pts[(i + 1) % n];
        if (y0 == y1) continue;
        TEdge e;
        e.yMin = double(std::min(y0, y1));
        e.yMax = double(std::max(y0, y1));
        e.x0 = double(x0);
        e.y0 = double(y0);
        e.slope = (double(x1) - double(x0)) / (double(y1) - double(y0));
        minY = std::min(minY, e.yMin);
        maxY = std::max(maxY, e.yMax);
        edges.push_back(e);
    }
    if (edges.empty()) return;
    const TRect& clip = clip_;
    const i64 yFrom = std::max<i64>(i64(std::max(minY, double(clip.Top))), clip.Top);
    const i64 yTo = std::min<i64>(i64(std::min(maxY, double(clip.Bottom))), clip.Bottom) - 1;
    std::sort(edges.begin(), edges.end(),
              [](const TEdge& a, const TEdge& b) { return a.yMin < b.yMin; });
    std::vector<const TEdge*> active;
    std::vector<double> xs;
    size_t next = 0;
    const double clipL = clip.Left - 1.0, clipR = double(clip.Right);
    for (i64 y = yFrom; y <= yTo; ++y) {
        const double yc = double(y);
        while (next < edges.size() && edges[next].yMin <= yc) {
            if (edges[next].yMax > yc) active.push_back(&edges[next]);
            ++next;
        }
        active.erase(std::remove_if(active.begin(), active.end(),
                                    [&](const TEdge* e) { return e->yMax <= yc; }),
                     active.end());
        xs.clear();
        for (const TEdge* e : active) xs.push_back(e->x0 + (yc - e->y0) * e->slope);
        std::sort(xs.begin(), xs.end());
        for (size_t i = 0; i + 1 < xs.size(); i += 2) {
            // Pixel centres x with xs[i] <= x < xs[i + 1].
            const double a = std::clamp(xs[i], clipL, clipR);
            const double b = std::clamp(xs[i + 1], clipL, clipR);
            BrushSpan(y, i64(std::ceil(a)), i64(std::ceil(b)) - 1, mode);
        }
    }
}

i64 TCanvasPainter::PenLine(i64 x0, i64 y0, i64 x1, i64 y1, bool includeEnd, i64 dashIndex) {
    if (!PenVisible()) return dashIndex;
    if (penWidth_ > 1) {
        WideLine(x0, y0, x1, y1);
        return dashIndex;
    }
    return ThinLine(x0, y0, x1, y1, includeEnd, dashIndex);
}

}  // namespace kovo
