// The six frame styles and the plain outline, drawn with one-pixel lines.
#include "foundation/kovocore.h"

namespace kovo {

namespace {

// Draws with a solid one-pixel pen and puts the caller's pen back afterwards.
class TPenSaver {
  public:
    explicit TPenSaver(TCanvas* Canvas)
        : FPen(Canvas->Pen()), FColor(FPen->Color()), FWidth(FPen->Width()), FStyle(FPen->Style()) {
        FPen->SetWidth(1);
        FPen->SetStyle(psSolid);
    }
    ~TPenSaver() {
        FPen->SetColor(FColor);
        FPen->SetWidth(FWidth);
        FPen->SetStyle(FStyle);
    }

  private:
    TPen* FPen;
    TColor FColor;
    int FWidth;
    TPenStyle FStyle;
};

// Pixels from (x1, y1) to (x2, y2), both ends included (a horizontal or vertical line).
void Line(TCanvas* C, TColor Color, int x1, int y1, int x2, int y2) {
    C->Pen()->SetColor(Color);
    C->MoveTo(x1, y1);
    if (x1 == x2 && y1 == y2) {
        C->LineTo(x2 + 1, y2);
        return;
    }
    int dx = x2 > x1 ? 1 : (x2 < x1 ? -1 : 0);
    int dy = y2 > y1 ? 1 : (y2 < y1 ? -1 : 0);
    C->LineTo(x2 + dx, y2 + dy);
}

// Top and left in TopLeft (with the bottom-left corner), bottom and right in BottomRight
// (with the top-right corner).
void Bevel(TCanvas* C, int L, int T, int R, int B, TColor TopLeft, TColor BottomRight) {
    Line(C, TopLeft, L, B, L, T);
    if (R > L) Line(C, TopLeft, L + 1, T, R - 1, T);
    Line(C, BottomRight, R, T, R, B);
    if (R > L) Line(C, BottomRight, L + 1, B, R - 1, B);
}

void Outline(TCanvas* C, TColor Color, int L, int T, int R, int B) {
    Line(C, Color, L, T, R, T);
    if (B > T) {
        Line(C, Color, L, B, R, B);
        if (B > T + 1) {
            Line(C, Color, L, T + 1, L, B - 1);
            Line(C, Color, R, T + 1, R, B - 1);
        }
    }
}

// Outer light rectangle, inner top-left and outer bottom-right lines in Inner.
void Ridge(TCanvas* C, int L, int T, int R, int B, TColor Outer, TColor Inner) {
    Outline(C, Outer, L, T, R - 1, B - 1);
    if (R - 2 >= L + 1) Line(C, Inner, L + 1, T + 1, R - 2, T + 1);
    if (B - 2 >= T + 2) Line(C, Inner, L + 1, T + 2, L + 1, B - 2);
    Line(C, Inner, L, B, R, B);
    Line(C, Inner, R, T, R, B - 1);
}

}  // namespace

void DrawFrame(TCanvas* Canvas, TFrameStyle Style, int Left, int Top, int Right, int Bottom,
               TColor Light, TColor /*Highlight*/, TColor Shadow, TColor /*Dark*/, TColor Line) {
    if (Canvas == nullptr || Style == fsNone || Style > fsGroove) return;
    if (Right < Left) std::swap(Left, Right);
    if (Bottom < Top) std::swap(Top, Bottom);
    TPenSaver saver(Canvas);
    switch (Style) {
        case fsSingle:
            Outline(Canvas, Line, Left, Top, Right, Bottom);
            break;
        case fsSunken:
            Bevel(Canvas, Left, Top, Right, Bottom, Shadow, Light);
            break;
        case fsRaised:
            Bevel(Canvas, Left, Top, Right, Bottom, Light, Shadow);
            break;
        case fsRidge:
            Ridge(Canvas, Left, Top, Right, Bottom, Light, Shadow);
            break;
        case fsGroove:
            Ridge(Canvas, Left, Top, Right, Bottom, Shadow, Light);
            break;
        default:
            break;
    }
}

void DrawFrame(TCanvas* Canvas, TFrameStyle Style, int Left, int Top, int Right, int Bottom,
               const TBevelColors& Colors, TColor Line) {
    DrawFrame(Canvas, Style, Left, Top, Right, Bottom, Colors.Light, Colors.Highlight,
              Colors.Shadow, Colors.Dark, Line);
}

void DrawRectangle(TCanvas* Canvas, int Left, int Top, int Right, int Bottom) {
    if (Canvas == nullptr) return;
    if (Right < Left) std::swap(Left, Right);
    if (Bottom < Top) std::swap(Top, Bottom);
    Outline(Canvas, Canvas->Pen()->Color(), Left, Top, Right, Bottom);
}

}  // namespace kovo
