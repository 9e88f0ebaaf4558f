// The 52 marker symbols: outlines in the canvas's pen, fills in its brush. Hollow symbols
// leave their inside alone.
#include "foundation/kovocore.h"

namespace kovo {

namespace {

class TMarkPainter {
  public:
    TMarkPainter(TCanvas* Canvas, int X, int Y) : C(Canvas), x(X), y(Y) {}

    // A line through both end points.
    void Line(int x1, int y1, int x2, int y2) {
        C->MoveTo(x + x1, y + y1);
        int dx = x2 > x1 ? 1 : (x2 < x1 ? -1 : 0);
        int dy = y2 > y1 ? 1 : (y2 < y1 ? -1 : 0);
        if (dx == 0 && dy == 0) dx = 1;
        C->LineTo(x + x2 + dx, y + y2 + dy);
    }
    void Cross(int r) {
        Line(-r, -r, r, r);
        Line(-r, r, r, -r);
    }
    void Plus(int r) {
        Line(-r, 0, r, 0);
        Line(0, -r, 0, r);
    }
    // Shapes spanning -r..r around the centre.
    void Square(int r, bool Filled) {
        Shape(Filled, [&] { C->Rectangle(x - r, y - r, x + r + 1, y + r + 1); });
    }
    void Circle(int r, bool Filled) {
        Shape(Filled, [&] { C->Ellipse(x - r, y - r, x + r + 1, y + r + 1); });
    }
    void Poly(const std::vector<TPoint>& Points, bool Filled) {
        std::vector<TPoint> p;
        p.reserve(Points.size());
        for (TPoint q : Points) p.push_back(TPoint{x + q.X, y + q.Y});
        Shape(Filled, [&] { C->Polygon(p); });
    }
    void Pixel(int dx, int dy) { Line(dx, dy, dx, dy); }
    // A filled block of pen colour from (x1, y1) to (x2, y2), both included.
    void Block(int x1, int y1, int x2, int y2) {
        for (int j = y1; j <= y2; ++j) Line(x1, j, x2, j);
    }

  private:
    template <class F>
    void Shape(bool Filled, F Draw) {
        if (Filled) {
            Draw();
            return;
        }
        TBrush* b = C->Brush();
        const TBrushStyle style = b->Style();
        const TColor color = b->Color();
        b->SetStyle(bsClear);
        Draw();
        b->SetColor(color);
        b->SetStyle(style);
    }

    TCanvas* C;
    int x, y;
};

const std::vector<TPoint> TriangleUp{{-3, 3}, {0, -3}, {3, 3}};
const std::vector<TPoint> TriangleDown{{-3, -3}, {0, 3}, {3, -3}};
const std::vector<TPoint> TriangleLeft{{3, -3}, {-3, 0}, {3, 3}};
const std::vector<TPoint> TriangleRight{{-3, -3}, {3, 0}, {-3, 3}};
const std::vector<TPoint> Diamond{{0, -3}, {3, 0}, {0, 3}, {-3, 0}};
const std::vector<TPoint> SmallDiamond{{0, -2}, {2, 0}, {0, 2}, {-2, 0}};
const std::vector<TPoint> Hexagon{{-1, -3}, {1, -3}, {3, 0}, {1, 3}, {-1, 3}, {-3, 0}};
const std::vector<TPoint> Star{{0, -4}, {1, -1}, {4, -1}, {2, 1},   {3, 4},
                               {0, 2},  {-3, 4}, {-2, 1}, {-4, -1}, {-1, -1}};
const std::vector<TPoint> HourGlass{{-3, -3}, {3, -3}, {-3, 3}, {3, 3}};
const std::vector<TPoint> BowTie{{-3, -3}, {3, 3}, {3, -3}, {-3, 3}};

}  // namespace

void DrawMarkOnCanvas(TCanvas* Canvas, int Mark, int X, int Y) {
    if (Canvas == nullptr || Mark < 0 || Mark >= MarkerCount) return;
    TMarkPainter p(Canvas, X, Y);
    switch (Mark) {
        case 0:
            p.Block(-1, -1, 1, 1);
            break;  // dot
        case 1:
            p.Pixel(0, 0);
            break;  // point
        case 2:
            p.Square(3, false);
            break;
        case 3:
            p.Square(3, true);
            break;
        case 4:
            p.Square(2, false);
            break;
        case 5:
            p.Square(2, true);
            break;
        case 6:
            p.Circle(3, false);
            break;
        case 7:
            p.Circle(3, true);
            break;
        case 8:
            p.Circle(2, false);
            break;
        case 9:
            p.Circle(2, true);
            break;
        case 10:
            p.Poly(TriangleUp, false);
            break;
        case 11:
            p.Poly(TriangleDown, false);
            break;
        case 12:
            p.Poly(TriangleLeft, false);
            break;
        case 13:
            p.Poly(TriangleRight, false);
            break;
        case 14:
            p.Poly(TriangleUp, true);
            break;
        case 15:
            p.Poly(TriangleDown, true);
            break;
        case 16:
            p.Poly(TriangleLeft, true);
            break;
        case 17:
            p.Poly(TriangleRight, true);
            break;
        case 18:
            p.Poly(Diamond, false);
            break;
        case 19:
            p.Poly(Diamond, true);
            break;
        case 20:
            p.Poly(SmallDiamond, false);
            break;
        case 21:
            p.Poly(SmallDiamond, true);
            break;
        case 22:
            p.Cross(3);
            break;
        case 23:
            p.Cross(2);
            break;
        case 24:
            p.Plus(3);
            break;
        case 25:
            p.Plus(2);
            break;
        case 26:
            p.Cross(2), p.Plus(3);
            break;  // asterisk
        case 27:
            p.Cross(1), p.Plus(2);
            break;  // small asterisk
        case 28:
            p.Line(-3, 0, 3, 0);
            break;  // horizontal bar
        case 29:
            p.Line(0, -3, 0, 3);
            break;  // vertical bar
        case 30:
            p.Block(-3, -1, 3, 1);
            break;  // thick horizontal bar
        case 31:
            p.Block(-1, -3, 1, 3);
            break;  // thick vertical bar
        case 32:
            p.Square(3, false), p.Cross(3);
            break;  // boxed cross
        case 33:
            p.Square(3, false), p.Plus(3);
            break;  // boxed plus
        case 34:
            p.Circle(3, false), p.Plus(3);
            break;  // circled plus
        case 35:
            p.Circle(3, false), p.Cross(2);
            break;  // circled cross
        case 36:
            p.Poly(Diamond, false), p.Plus(3);
            break;  // diamond with plus
        case 37:
            p.Square(3, false), p.Pixel(0, 0);
            break;  // square with centre
        case 38:
            p.Circle(3, false), p.Pixel(0, 0);
            break;  // circle with centre
        case 39:
            p.Poly(TriangleUp, false), p.Pixel(0, 1);
            break;
        case 40:
            p.Poly(HourGlass, true);
            break;
        case 41:
            p.Poly(BowTie, true);
            break;
        case 42:
            p.Square(3, false), p.Block(-3, -3, 0, 3);
            break;  // left half filled
        case 43:
            p.Square(3, false), p.Block(-3, -3, 3, 0);
            break;  // top half filled
        case 44:
            p.Poly(Hexagon, false);
            break;
        case 45:
            p.Poly(Hexagon, true);
            break;
        case 46:
            p.Poly(Star, true);
            break;
        case 47:
            p.Poly(Star, false);
            break;
        case 48:
            p.Square(4, false);
            break;
        case 49:
            p.Circle(4, false);
            break;
        case 50:
            p.Plus(4);
            break;
        case 51:
            p.Cross(4);
            break;
    }
}

}  // namespace kovo
