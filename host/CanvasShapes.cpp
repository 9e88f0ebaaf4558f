// The canvas's lines and shapes. Every shape is produced row by row, and only the rows and
// columns inside the clip are ever visited, so that a shape of any size costs no more than
// the pixels it can touch.
#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

#include "host/Canvas.h"
#include "host/CanvasPainter.h"

namespace kovo {

namespace {

constexpr double kEps = 1e-7;
constexpr double kPi = 3.14159265358979323846;

// One row of a shape: the outline runs [L, Lend] and [Ro, R] and the interior between them;
// a whole row is outline [L, R] without interior. An outline run may be empty (Lend < L).
struct TRowSpans {
    i64 L = 0, Lend = 0, Ro = 0, R = 0;
    bool whole = false;
};

class TRowShape {
  public:
    virtual ~TRowShape() = default;
    // The spans of row y, false when the shape has no pixel in that row.
    virtual bool Row(i64 y, TRowSpans& s) const = 0;
    i64 top = 0;      // first row
    i64 bottom = -1;  // last row
};

// The ellipse inscribed in [l, r) x [t, b): through the centres of the pixels of columns l
// and r - 1 and rows t and b - 1. Each row holds the outline pixels the curve passes through
// (rounded like a midpoint algorithm: the curve's extent inside the row's band, plus the
// pixel nearest to the curve at the row's centre line), so the outline is connected and
// touches all four sides of the box.
class TEllipseShape : public TRowShape {
  public:
    TEllipseShape(i64 l, i64 t, i64 r, i64 b) : l_(l), r_(r) {
        top = t;
        bottom = b - 1;
        cx = (double(l) + double(r) - 1) / 2;
        cy = (double(t) + double(b) - 1) / 2;
        a = (double(r) - double(l) - 1) / 2;
        bb = (double(b) - double(t) - 1) / 2;
    }

    bool Row(i64 y, TRowSpans& s) const override {
        if (y < top || y > bottom || r_ <= l_) return false;
        if (bb <= 0) {
            s = {l_, r_ - 1, r_, r_ - 1, true};
            return true;
        }
        const double dy = std::fabs(double(y) - cy);
        auto halfWidth = [&](double v) {
            v = std::min(v, bb);
            const double q = v / bb;
            return a * std::sqrt(std::max(0.0, 1 - q * q));
        };
        const double hMax = halfWidth(std::max(0.0, dy - 0.5));
        const double hMid = halfWidth(dy);
        const bool vertexRow = dy + 0.5 > bb;
        const double hMin = vertexRow ? 0.0 : halfWidth(dy + 0.5);
        // Right side, ties rounded outward; the left side mirrors it.
        const i64 mid = i64(std::floor(cx + hMid + 0.5 + kEps));
        const i64 hi = i64(std::floor(cx + hMax + kEps));
        const i64 lo = i64(std::ceil(cx + hMin - kEps));
        const i64 midL = i64(std::ceil(cx - hMid - 0.5 - kEps));
        const i64 loL = i64(std::ceil(cx - hMax - kEps));
        const i64 hiL = i64(std::floor(cx - hMin + kEps));
        s.R = std::min(std::max(hi, mid), r_ - 1);
        s.Ro = std::min(lo, mid);
        s.L = std::max(std::min(loL, midL), l_);
        s.Lend = std::max(hiL, midL);
        s.whole = vertexRow || s.Ro <= s.Lend;
        return true;
    }

    double cx = 0, cy = 0, a = 0, bb = 0;  // centre and semi-axes, pixel-centre coordinates

  private:
    i64 l_, r_;
};

// A rectangle with corners rounded by quarters of a cw x ch ellipse.
class TRoundRectShape : public TRowShape {
  public:
    TRoundRectShape(i64 l, i64 t, i64 r, i64 b, i64 cw, i64 ch)
        : l_(l),
          r_(r),
          t_(t),
          b_(b),
          cw_(std::min(cw, r - l)),
          ch_(std::min(ch, b - t)),
          corner_(l, t, l + std::max<i64>(cw_, 0), t + std::max<i64>(ch_, 0)) {
        top = t;
        bottom = b - 1;
    }

    bool Row(i64 y, TRowSpans& s) const override {
        if (y < t_ || y >= b_ || r_ <= l_) return false;
        const bool square = cw_ < 2 || ch_ < 2;
        const i64 cornerRows = square ? 1 : ch_ / 2;
        i64 ye;
        if (y < t_ + cornerRows) {
            ye = y;
        } else if (y >= b_ - cornerRows) {
            ye = square ? y : y - (b_ - t_ - ch_);
        } else {
            s = {l_, l_, r_ - 1, r_ - 1, r_ - 1 <= l_};
            return true;
        }
        if (square) {
            s = {l_, r_ - 1, r_, r_ - 1, true};
            return true;
        }
        TRowSpans e;
        if (!corner_.Row(ye, e)) return false;
        const i64 shift = r_ - l_ - cw_;
        s.L = e.L;
        s.R = e.R + shift;
        if (e.whole) {
            s.Lend = s.R;
            s.Ro = s.R + 1;
            s.whole = true;
        } else {
            s.Lend = e.Lend;
            s.Ro = e.Ro + shift;
            s.whole = s.Ro <= s.Lend;
        }
        return true;
    }

  private:
    i64 l_, r_, t_, b_, cw_, ch_;
    TEllipseShape corner_;
};

// The frame of a wide pen: what lies in the outer shape but not in the inner one.
class TRingShape : public TRowShape {
  public:
    TRingShape(std::unique_ptr<TRowShape> outer, std::unique_ptr<TRowShape> inner)
        : outer_(std::move(outer)), inner_(std::move(inner)) {
        top = outer_->top;
        bottom = outer_->bottom;
    }

    bool Row(i64 y, TRowSpans& s) const override {
        TRowSpans o, i;
        if (!outer_->Row(y, o)) return false;
        s = {o.L, o.R, o.R + 1, o.R, true};
        if (!inner_->Row(y, i)) return true;
        const i64 iL = std::max(i.L, o.L), iR = std::min(i.R, o.R);
        if (iL > iR) return true;
        s = {o.L, iL - 1, iR + 1, o.R, false};
        return true;
    }

  private:
    std::unique_ptr<TRowShape> outer_, inner_;
};

// Which pixels of an arc, pie or chord are kept: the sector running counter-clockwise on
// the screen from the direction of the start point to that of the end point, and for a
// chord's interior the side of the chord where the arc lies.
struct TArcFilter {
    double cx = 0, cy = 0;  // centre, surface coordinates
    double sx = 1, sy = 0;  // start direction, y pointing up
    double ex = 1, ey = 0;  // end direction, y pointing up
    double turn = 0;        // cross(start, end)
    bool full = true;       // start and end in the same direction: the whole ellipse
    bool chord = false;     // test the chord side instead of the sector
    double px = 0, py = 0, qx = 0, qy = 0;  // the chord's ends, y pointing up

    bool InSector(double x, double y) const {
        if (full) return true;
        const double ux = x - cx, uy = cy - y;
        const double c1 = sx * uy - sy * ux;  // start -> u
        const double c2 = ux * ey - uy * ex;  // u -> end
        if (turn > 0) return c1 >= 0 && c2 >= 0;
        if (turn < 0) return c1 >= 0 || c2 >= 0;
        return c1 >= 0;  // half a turn
    }
    bool InChord(double x, double y) const {
        if (full) return true;
        const double ux = x - px, uy = (-y) - py;
        return (qx - px) * uy - (qy - py) * ux <= 0;
    }
    bool Keeps(i64 x, i64 y) const {
        return chord ? InChord(double(x), double(y)) : InSector(double(x), double(y));
    }
};

TArcFilter MakeArcFilter(const TEllipseShape& e, i64 x3, i64 y3, i64 x4, i64 y4) {
    TArcFilter f;
    f.cx = e.cx;
    f.cy = e.cy;
    f.sx = double(x3) - e.cx;
    f.sy = e.cy - double(y3);
    f.ex = double(x4) - e.cx;
    f.ey = e.cy - double(y4);
    if (f.sx == 0 && f.sy == 0) f.sx = 1;
    if (f.ex == 0 && f.ey == 0) f.ex = 1;
    f.turn = f.sx * f.ey - f.sy * f.ex;
    const double dot = f.sx * f.ex + f.sy * f.ey;
    f.full = f.turn == 0 && dot > 0;
    return f;
}

// The point where the ray from the centre in direction (dx, dy) (y pointing up) meets the
// ellipse, rounded to a pixel.
void PointOnEllipse(const TEllipseShape& e, double dx, double dy, i64& x, i64& y) {
    double t = 0;
    if (e.a > 0 && e.bb > 0) {
        const double u = dx / e.a, v = dy / e.bb;
        const double n = std::sqrt(u * u + v * v);
        if (n > 0) t = 1 / n;
    } else if (e.a > 0 && dy == 0) {
        t = e.a / std::fabs(dx);
    } else if (e.bb > 0 && dx == 0) {
        t = e.bb / std::fabs(dy);
    }
    x = i64(std::floor(e.cx + dx * t + 0.5));
    y = i64(std::floor(e.cy - dy * t + 0.5));
}

// The position of an outline pixel along the ellipse's perimeter, for dash patterns.
i64 EllipseDashIndex(const TEllipseShape& e, i64 x, i64 y) {
    const double a = std::max(e.a, 0.5), b = std::max(e.bb, 0.5);
    double angle = std::atan2((e.cy - double(y)) / b, (double(x) - e.cx) / a);
    if (angle < 0) angle += 2 * kPi;
    // Ramanujan's approximation of the perimeter.
    const double h = (a - b) * (a - b) / ((a + b) * (a + b));
    const double perimeter = kPi * (a + b) * (1 + 3 * h / (10 + std::sqrt(4 - 3 * h)));
    return i64(angle / (2 * kPi) * perimeter);
}

struct TShapePaint {
    bool outline = true;                         // draw the outline with the pen
    bool interior = true;                        // fill the interior with the brush
    const TArcFilter* outlineFilter = nullptr;   // keep only these outline pixels
    const TArcFilter* interiorFilter = nullptr;  // keep only these interior pixels
    const TEllipseShape* dashShape = nullptr;    // dash positions along this ellipse
};

void PaintShape(TCanvasPainter& p, const TRowShape& shape, const TShapePaint& how) {
    const TRect& clip = p.Clip();
    const i64 yFrom = std::max<i64>(shape.top, clip.Top);
    const i64 yTo = std::min<i64>(shape.bottom, clip.Bottom - 1);
    const TPenMode mode = p.PenMode();
    const bool dashed = how.outline && p.PenDashed() && how.dashShape != nullptr;
    const i64 xMin = clip.Left, xMax = clip.Right - 1;
    auto outlineRun = [&](i64 y, i64 x0, i64 x1) {
        x0 = std::max(x0, xMin);
        x1 = std::min(x1, xMax);
        if (x0 > x1) return;
        if (how.outlineFilter == nullptr && !dashed) {
            p.Span(y, x0, x1, p.PenPixel(), mode);
            return;
        }
        for (i64 x = x0; x <= x1; ++x) {
            if (how.outlineFilter != nullptr && !how.outlineFilter->Keeps(x, y)) continue;
            p.PenPlot(x, y, dashed ? EllipseDashIndex(*how.dashShape, x, y) : 0);
        }
    };
    auto interiorRun = [&](i64 y, i64 x0, i64 x1) {
        x0 = std::max(x0, xMin);
        x1 = std::min(x1, xMax);
        if (x0 > x1) return;
        if (how.interiorFilter == nullptr) {
            p.BrushSpan(y, x0, x1, mode);
            return;
        }
        for (i64 x = x0; x <= x1; ++x)
            if (how.interiorFilter->Keeps(x, y)) p.BrushPlot(x, y, mode);
    };
    TRowSpans s;
    for (i64 y = yFrom; y <= yTo; ++y) {
        if (!shape.Row(y, s)) continue;
        if (!how.outline) {
            if (how.interior) interiorRun(y, s.L, s.R);
            continue;
        }
        if (s.whole) {
            outlineRun(y, s.L, s.R);
            continue;
        }
        outlineRun(y, s.L, s.Lend);
        if (how.interior) interiorRun(y, s.Lend + 1, s.Ro - 1);
        outlineRun(y, s.Ro, s.R);
    }
}

// The boxes of a wide pen's frame around [l, r) x [t, b): centred on the one-pixel outline,
// or inside the box for psInsideFrame.
void FrameBoxes(const TCanvasPainter& p, i64 l, i64 t, i64 r, i64 b, i64 outer[4], i64 inner[4]) {
    const i64 w = p.PenWidth();
    if (p.PenStyle() == psInsideFrame) {
        outer[0] = l, outer[1] = t, outer[2] = r, outer[3] = b;
        inner[0] = l + w, inner[1] = t + w, inner[2] = r - w, inner[3] = b - w;
        return;
    }
    const i64 before = w / 2, after = w - 1 - w / 2;
    outer[0] = l - before, outer[1] = t - before, outer[2] = r + after, outer[3] = b + after;
    inner[0] = l - before + w, inner[1] = t - before + w;
    inner[2] = r - 1 - before, inner[3] = b - 1 - before;
}

enum TArcKind { akEllipse, akArc, akPie, akChord };

void PaintEllipseFamily(TCanvasPainter& p, TArcKind kind, i64 l, i64 t, i64 r, i64 b, i64 x3,
                        i64 y3, i64 x4, i64 y4) {
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    if (l == r || t == b) return;
    const TEllipseShape base(l, t, r, b);
    const bool pen = p.PenVisible();
    TArcFilter sector, chordSide;
    if (kind != akEllipse) {
        sector = MakeArcFilter(base, x3, y3, x4, y4);
        chordSide = sector;
        chordSide.chord = true;
    }
    i64 p3x = 0, p3y = 0, p4x = 0, p4y = 0;
    if (kind != akEllipse) {
        PointOnEllipse(base, sector.sx, sector.sy, p3x, p3y);
        PointOnEllipse(base, sector.ex, sector.ey, p4x, p4y);
        chordSide.px = double(p3x), chordSide.py = -double(p3y);
        chordSide.qx = double(p4x), chordSide.qy = -double(p4y);
    }
    TShapePaint how;
    how.outline = pen;
    how.interior = kind != akArc && p.BrushVisible();
    if (kind != akEllipse) how.outlineFilter = &sector;
    if (kind == akPie) how.interiorFilter = &sector;
    if (kind == akChord) how.interiorFilter = &chordSide;
    how.dashShape = &base;
    if (!how.outline && !how.interior) return;
    if (pen && p.PenWidth() > 1) {
        i64 o[4], in[4];
        FrameBoxes(p, l, t, r, b, o, in);
        TRingShape ring(std::make_unique<TEllipseShape>(o[0], o[1], o[2], o[3]),
                        std::make_unique<TEllipseShape>(in[0], in[1], in[2], in[3]));
        PaintShape(p, ring, how);
    } else {
        PaintShape(p, base, how);
    }
    if (!pen || sector.full) return;
    if (kind == akPie) {
        const i64 cx = i64(std::floor(base.cx + 0.5)), cy = i64(std::floor(base.cy + 0.5));
        p.PenLine(cx, cy, p3x, p3y, true);
        p.PenLine(cx, cy, p4x, p4y, true);
    } else if (kind == akChord) {
        p.PenLine(p3x, p3y, p4x, p4y, true);
    }
}

std::vector<std::pair<i64, i64>> ToSurfacePoints(const TCanvasPainter& p,
                                                 const std::vector<TPoint>& points) {
    std::vector<std::pair<i64, i64>> out;
    out.reserve(points.size());
    for (const TPoint& pt : points) out.emplace_back(p.ToSurfaceX(pt.X), p.ToSurfaceY(pt.Y));
    return out;
}

}  // namespace

void TCanvas::MoveTo(int x, int y) {
    Record("MoveTo", {x, y});
    penPos_ = {x, y};
}

void TCanvas::LineTo(int x, int y) {
    Record("LineTo", {x, y});
    TCanvasPainter p(*this);
    const TPoint from = penPos_;
    penPos_ = {x, y};
    if (!p.Ready()) return;
    Changing();
    p.PenLine(p.ToSurfaceX(from.X), p.ToSurfaceY(from.Y), p.ToSurfaceX(x), p.ToSurfaceY(y), false);
    Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    Record("Rectangle", {x1, y1, x2, y2});
    TCanvasPainter p(*this);
    if (!p.Ready()) return;
    i64 l = p.ToSurfaceX(std::min(x1, x2)), r = p.ToSurfaceX(std::max(x1, x2));
    i64 t = p.ToSurfaceY(std::min(y1, y2)), b = p.ToSurfaceY(std::max(y1, y2));
    if (l == r || t == b) return;
    Changing();
    const TRect& clip = p.Clip();
    const TPenMode mode = p.PenMode();
    if (!p.PenVisible() || p.PenDashed()) {
        // Dashed: the interior first, then the outline as one dash pattern round the box.
        const i64 inset = p.PenVisible() ? 1 : 0;
        const i64 yFrom = std::max<i64>(t + inset, clip.Top);
        const i64 yTo = std::min<i64>(b - 1 - inset, clip.Bottom - 1);
        for (i64 y = yFrom; y <= yTo; ++y) p.BrushSpan(y, l + inset, r - 1 - inset, mode);
        if (p.PenVisible()) {
            i64 dash = p.ThinLine(l, t, r - 1, t, false);
            dash = p.ThinLine(r - 1, t, r - 1, b - 1, false, dash);
            dash = p.ThinLine(r - 1, b - 1, l, b - 1, false, dash);
            p.ThinLine(l, b - 1, l, t, false, dash);
        }
        Changed();
        return;
    }
    i64 o[4], in[4];
    if (p.PenWidth() == 1) {
        o[0] = l, o[1] = t, o[2] = r, o[3] = b;
        in[0] = l + 1, in[1] = t + 1, in[2] = r - 1, in[3] = b - 1;
    } else {
        FrameBoxes(p, l, t, r, b, o, in);
    }
    const TPixel pen = p.PenPixel();
    const i64 yFrom = std::max<i64>(o[1], clip.Top);
    const i64 yTo = std::min<i64>(o[3] - 1, clip.Bottom - 1);
    const bool hasInside = in[0] < in[2] && in[1] < in[3];
    for (i64 y = yFrom; y <= yTo; ++y) {
        if (hasInside && y >= in[1] && y < in[3]) {
            p.Span(y, o[0], in[0] - 1, pen, mode);
            p.BrushSpan(y, in[0], in[2] - 1, mode);
            p.Span(y, in[2], o[2] - 1, pen, mode);
        } else {
            p.Span(y, o[0], o[2] - 1, pen, mode);
        }
    }
    Changed();
}

void TCanvas::Rectangle(const TRect& r) {
    Rectangle(r.Left, r.Top, r.Right, r.Bottom);
}

void TCanvas::FillRect(const TRect& r) {
    Record("FillRect", {r.Left, r.Top, r.Right, r.Bottom});
    TCanvasPainter p(*this);
    if (!p.Ready() || !p.BrushVisible()) return;
    Changing();
    const TRect& clip = p.Clip();
    const i64 l = p.ToSurfaceX(r.Left), rr = p.ToSurfaceX(r.Right);
    const i64 yFrom = std::max<i64>(p.ToSurfaceY(r.Top), clip.Top);
    const i64 yTo = std::min<i64>(p.ToSurfaceY(r.Bottom) - 1, clip.Bottom - 1);
    for (i64 y = yFrom; y <= yTo; ++y) p.BrushSpan(y, l, rr - 1, pmCopy);
    Changed();
}

void TCanvas::FrameRect(const TRect& r) {
    Record("FrameRect", {r.Left, r.Top, r.Right, r.Bottom});
    TCanvasPainter p(*this);
    if (!p.Ready() || !p.BrushVisible() || r.IsEmpty()) return;
    Changing();
    const TRect& clip = p.Clip();
    const i64 l = p.ToSurfaceX(r.Left), rr = p.ToSurfaceX(r.Right);
    const i64 t = p.ToSurfaceY(r.Top), b = p.ToSurfaceY(r.Bottom);
    const i64 yFrom = std::max<i64>(t, clip.Top), yTo = std::min<i64>(b - 1, clip.Bottom - 1);
    for (i64 y = yFrom; y <= yTo; ++y) {
        if (y == t || y == b - 1) {
            p.BrushSpan(y, l, rr - 1, pmCopy);
        } else {
            p.BrushSpan(y, l, l, pmCopy);
            p.BrushSpan(y, rr - 1, rr - 1, pmCopy);
        }
    }
    Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
    Record("RoundRect", {x1, y1, x2, y2, x3, y3});
    TCanvasPainter p(*this);
    if (!p.Ready()) return;
    i64 l = p.ToSurfaceX(std::min(x1, x2)), r = p.ToSurfaceX(std::max(x1, x2));
    i64 t = p.ToSurfaceY(std::min(y1, y2)), b = p.ToSurfaceY(std::max(y1, y2));
    if (l == r || t == b) return;
    const i64 cw = std::llabs(i64(x3)), ch = std::llabs(i64(y3));
    TShapePaint how;
    how.outline = p.PenVisible();
    how.interior = p.BrushVisible();
    if (!how.outline && !how.interior) return;
    Changing();
    if (how.outline && p.PenWidth() > 1) {
        i64 o[4], in[4];
        FrameBoxes(p, l, t, r, b, o, in);
        const i64 grow = (o[2] - o[0]) - (r - l), shrink = (r - l) - (in[2] - in[0]);
        TRingShape ring(
            std::make_unique<TRoundRectShape>(o[0], o[1], o[2], o[3], cw + grow, ch + grow),
            std::make_unique<TRoundRectShape>(in[0], in[1], in[2], in[3], cw - shrink,
                                              ch - shrink));
        PaintShape(p, ring, how);
    } else {
        PaintShape(p, TRoundRectShape(l, t, r, b, cw, ch), how);
    }
    Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    Record("Ellipse", {x1, y1, x2, y2});
    TCanvasPainter p(*this);
    if (!p.Ready()) return;
    Changing();
    PaintEllipseFamily(p, akEllipse, p.ToSurfaceX(x1), p.ToSurfaceY(y1), p.ToSurfaceX(x2),
                       p.ToSurfaceY(y2), 0, 0, 0, 0);
    Changed();
}

void TCanvas::Ellipse(const TRect& r) {
    Ellipse(r.Left, r.Top, r.Right, r.Bottom);
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    Record("Arc", {x1, y1, x2, y2, x3, y3, x4, y4});
    TCanvasPainter p(*this);
    if (!p.Ready()) return;
    Changing();
    PaintEllipseFamily(p, akArc, p.ToSurfaceX(x1), p.ToSurfaceY(y1), p.ToSurfaceX(x2),
                       p.ToSurfaceY(y2), p.ToSurfaceX(x3), p.ToSurfaceY(y3), p.ToSurfaceX(x4),
                       p.ToSurfaceY(y4));
    Changed();
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    Record("Pie", {x1, y1, x2, y2, x3, y3, x4, y4});
    TCanvasPainter p(*this);
    if (!p.Ready()) return;
    Changing();
    PaintEllipseFamily(p, akPie, p.ToSurfaceX(x1), p.ToSurfaceY(y1), p.ToSurfaceX(x2),
                       p.ToSurfaceY(y2), p.ToSurfaceX(x3), p.ToSurfaceY(y3), p.ToSurfaceX(x4),
                       p.ToSurfaceY(y4));
    Changed();
}

void TCanvas::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    Record("Chord", {x1, y1, x2, y2, x3, y3, x4, y4});
    TCanvasPainter p(*this);
    if (!p.Ready()) return;
    Changing();
    PaintEllipseFamily(p, akChord, p.ToSurfaceX(x1), p.ToSurfaceY(y1), p.ToSurfaceX(x2),
                       p.ToSurfaceY(y2), p.ToSurfaceX(x3), p.ToSurfaceY(y3), p.ToSurfaceX(x4),
                       p.ToSurfaceY(y4));
    Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
    RecordPoints("Polygon", points);
    TCanvasPainter p(*this);
    if (!p.Ready() || points.size() < 2) return;
    Changing();
    const auto pts = ToSurfacePoints(p, points);
    if (p.BrushVisible()) p.BrushPolygon(pts, p.PenMode());
    i64 dash = 0;
    for (size_t i = 0; i < pts.size(); ++i) {
        const auto& a = pts[i];
        const auto& b = pts[(i + 1) % pts.size()];
        dash = p.PenLine(a.first, a.second, b.first, b.second, false, dash);
    }
    Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
    RecordPoints("Polyline", points);
    TCanvasPainter p(*this);
    if (!p.Ready() || points.size() < 2) return;
    Changing();
    const auto pts = ToSurfacePoints(p, points);
    i64 dash = 0;
    for (size_t i = 0; i + 1 < pts.size(); ++i)
        dash = p.PenLine(pts[i].first, pts[i].second, pts[i + 1].first, pts[i + 1].second, false,
                         dash);
    Changed();
}

void TCanvas::FloodFill(int x, int y, TColor color, TFillStyle style) {
    Record("FloodFill", {x, y, int(color), int(style)});
    TCanvasPainter p(*this);
    if (!p.Ready() || !p.BrushVisible()) return;
    const TRect clip = p.Clip();
    const i64 sx = p.ToSurfaceX(x), sy = p.ToSurfaceY(y);
    if (sx < clip.Left || sx >= clip.Right || sy < clip.Top || sy >= clip.Bottom) return;
    const TPixel key = ToPixel(color);
    TSurface& s = p.Surface();
    const int w = clip.Width(), h = clip.Height();
    // First find the region (scanline seeds on an explicit stack, a mark per pixel so that
    // each is visited once whatever the brush colour), then paint it.
    std::vector<uint8_t> mark(size_t(w) * size_t(h), 0);
    auto fillable = [&](int px, int py) {
        if (mark[size_t(py - clip.Top) * size_t(w) + size_t(px - clip.Left)]) return false;
        const TPixel v = s.Row(py)[px];
        return style == fsSurface ? v == key : v != key;
    };
    std::vector<std::pair<int, int>> seeds{{int(sx), int(sy)}};
    while (!seeds.empty()) {
        auto [px, py] = seeds.back();
        seeds.pop_back();
        if (!fillable(px, py)) continue;
        int xl = px, xr = px;
        while (xl > clip.Left && fillable(xl - 1, py)) --xl;
        while (xr < clip.Right - 1 && fillable(xr + 1, py)) ++xr;
        uint8_t* m = &mark[size_t(py - clip.Top) * size_t(w)];
        std::fill(m + (xl - clip.Left), m + (xr - clip.Left) + 1, uint8_t(1));
        for (int ny : {py - 1, py + 1}) {
            if (ny < clip.Top || ny >= clip.Bottom) continue;
            bool inRun = false;
            for (int qx = xl; qx <= xr; ++qx) {
                const bool f = fillable(qx, ny);
                if (f && !inRun) seeds.emplace_back(qx, ny);
                inRun = f;
            }
        }
    }
    Changing();
    for (int row = 0; row < h; ++row) {
        const uint8_t* m = &mark[size_t(row) * size_t(w)];
        for (int i = 0; i < w;) {
            if (!m[i]) {
                ++i;
                continue;
            }
            int j = i;
            while (j < w && m[j]) ++j;
            p.BrushSpan(clip.Top + row, clip.Left + i, clip.Left + j - 1, pmCopy);
            i = j;
        }
    }
    Changed();
}

}  // namespace kovo
