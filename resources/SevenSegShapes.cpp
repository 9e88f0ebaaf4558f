#include "resources/SevenSegShapes.h"

#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include "host/Bitmap.h"
#include "host/Canvas.h"
#include "host/Resources.h"

namespace kovo {

namespace {

// The lean of the digits: the template's left segments move 37 pixels right over the 197
// pixels from the lower to the upper one.
constexpr double Lean = 37.0 / 197.0;

int RoundInt(double v) {
    return int(std::lround(v));
}

// A white picture of the size, the shapes drawn by Draw in black, stored at the depth.
void MakeShape(TBitmap& picture, int width, int height, TPixelFormat format,
               const std::function<void(TCanvas*)>& Draw) {
    picture.SetSize(width, height);
    TCanvas* c = picture.Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect{0, 0, width, height});
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clBlack);
    Draw(c);
    picture.SetPixelFormat(format);
}

// A horizontal bar between Left and Right (tip to tip) centred on row Middle, HalfHeight
// above and below it; the tapers are skewed by the lean so the ends follow the digit's
// slant.
std::vector<TPoint> HorizontalBar(int Left, int Right, int Middle, int HalfHeight) {
    const int skew = RoundInt(Lean * HalfHeight);
    return {{Left, Middle},
            {Left + HalfHeight + skew, Middle - HalfHeight},
            {Right - HalfHeight + skew, Middle - HalfHeight},
            {Right, Middle},
            {Right - HalfHeight - skew, Middle + HalfHeight},
            {Left + HalfHeight - skew, Middle + HalfHeight}};
}

// A vertical bar from row Top to row Bottom (tip to tip) whose centre line runs through
// (CentreX, CentreY) with the digits' lean, HalfWidth to either side, with pointed ends.
std::vector<TPoint> VerticalBar(int Top, int Bottom, double CentreX, int CentreY, int HalfWidth) {
    auto cx = [&](int y) { return CentreX + Lean * (CentreY - y); };
    const int shoulder = HalfWidth;  // 45-degree points
    const int ys = Top + shoulder, ye = Bottom - shoulder;
    return {{RoundInt(cx(Top)), Top},           {RoundInt(cx(ys) + HalfWidth), ys},
            {RoundInt(cx(ye) + HalfWidth), ye}, {RoundInt(cx(Bottom)), Bottom},
            {RoundInt(cx(ye) - HalfWidth), ye}, {RoundInt(cx(ys) - HalfWidth), ys}};
}

void MakeSegHorz(TBitmap& b) {
    MakeShape(b, 200, 38, pf1bit, [](TCanvas* c) { c->Polygon(HorizontalBar(1, 198, 19, 17)); });
}

// The bar's lower end stays left of column 53 below row 140: in the template that corner
// belongs to the decimal point's part of the cell, which the display copies over.
void MakeSegVert(TBitmap& b) {
    MakeShape(b, 68, 190, pf1bit,
              [](TCanvas* c) { c->Polygon(VerticalBar(1, 188, 33.0, 95, 15)); });
}

void MakeSegDot(TBitmap& b) {
    MakeShape(b, 38, 38, pf1bit, [](TCanvas* c) { c->Ellipse(1, 1, 37, 37); });
}

void MakeSegPlus(TBitmap& b) {
    MakeShape(b, 200, 190, pf24bit, [](TCanvas* c) {
        c->Polygon(HorizontalBar(20, 180, 95, 17));
        c->Polygon(VerticalBar(12, 178, 100.0, 95, 15));
    });
}

void MakeSegColon(TBitmap& b) {
    MakeShape(b, 68, 190, pf24bit, [](TCanvas* c) {
        c->Ellipse(32, 0, 67, 35);    // upper dot, around (50, 18)
        c->Ellipse(1, 155, 36, 190);  // lower dot, around (18, 172)
    });
}

void MakeSegDeg(TBitmap& b) {
    MakeShape(b, 160, 138, pf24bit, [](TCanvas* c) {
        c->Ellipse(18, 7, 143, 132);
        c->Pen()->SetColor(clWhite);
        c->Brush()->SetColor(clWhite);
        c->Ellipse(46, 35, 115, 104);  // the ring's stroke runs through (25, 69)
    });
}

}  // namespace

void RegisterSevenSegShapes() {
    static const std::pair<const char*, void (*)(TBitmap&)> shapes[] = {
        {"SEGHORZ", MakeSegHorz}, {"SEGVERT", MakeSegVert},   {"SEGDOT", MakeSegDot},
        {"SEGPLUS", MakeSegPlus}, {"SEGCOLON", MakeSegColon}, {"SEGDEG", MakeSegDeg}};
    // A name already taken is left alone: a program may put pictures of its own there.
    for (const auto& [name, maker] : shapes)
        if (!PictureRegistered(name)) RegisterPicture(name, maker);
}

}  // namespace kovo
