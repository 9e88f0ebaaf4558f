#include "Sampler.h"

#include <string>

#include "host/Bitmap.h"

using namespace kovo;

namespace gallery {

namespace {

void Caption(TCanvas* c, int x, int y, const std::string& text) {
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetName("DejaVu Sans");
    c->Font()->SetSize(8);
    c->Font()->SetStyle({});
    c->Font()->SetOrientation(0);
    c->Font()->SetColor(clBlack);
    c->TextOut(x, y, text);
}

void Reset(TCanvas* c) {
    c->Pen()->SetColor(clBlack);
    c->Pen()->SetWidth(1);
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetMode(pmCopy);
    c->Brush()->SetColor(clWhite);
    c->Brush()->SetStyle(bsSolid);
}

}  // namespace

void DrawSampler(TCanvas* c) {
    Reset(c);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(Rect(0, 0, SamplerWidth, SamplerHeight));

    // Row 1: rectangles, pens and brushes.
    Caption(c, 10, 6, "Rectangle, pen widths and styles, hatch brushes");
    const TPenStyle styles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot};
    for (int i = 0; i < 5; ++i) {
        Reset(c);
        c->Pen()->SetStyle(styles[i]);
        c->Brush()->SetColor(RGB(255 - i * 30, 230, 160 + i * 20));
        c->Rectangle(10 + i * 50, 24, 50 + i * 50, 64);
    }
    const TBrushStyle hatches[] = {bsHorizontal, bsVertical, bsFDiagonal,
                                   bsBDiagonal,  bsCross,    bsDiagCross};
    for (int i = 0; i < 6; ++i) {
        Reset(c);
        c->Brush()->SetColor(clNavy);
        c->Brush()->SetStyle(hatches[i]);
        c->Rectangle(270 + i * 40, 24, 304 + i * 40, 64);
    }
    for (int w = 1; w <= 4; ++w) {
        Reset(c);
        c->Pen()->SetWidth(w * 2 - 1);
        c->Pen()->SetColor(clMaroon);
        c->MoveTo(520, 20 + w * 10);
        c->LineTo(740, 20 + w * 10);
    }

    // Row 2: curves.
    Caption(c, 10, 76, "Ellipse, RoundRect, Arc, Pie, Chord, Polygon, Polyline");
    Reset(c);
    c->Brush()->SetColor(clSkyBlue);
    c->Ellipse(10, 94, 90, 154);
    c->Brush()->SetColor(clMoneyGreen);
    c->RoundRect(100, 94, 180, 154, 20, 20);
    c->Pen()->SetWidth(3);
    c->Arc(190, 94, 260, 154, 260, 124, 190, 124);
    c->Pen()->SetWidth(1);
    c->Brush()->SetColor(clYellow);
    c->Pie(270, 94, 340, 154, 340, 124, 305, 94);
    c->Brush()->SetColor(clCream);
    c->Chord(350, 94, 420, 154, 420, 104, 350, 144);
    c->Brush()->SetColor(clAqua);
    c->Polygon({{440, 154}, {470, 94}, {500, 154}, {430, 116}, {510, 116}});
    c->Pen()->SetColor(clGreen);
    c->Pen()->SetWidth(2);
    c->Polyline({{520, 150}, {560, 100}, {600, 140}, {640, 96}, {680, 150}, {730, 110}});

    // Row 3: pen modes over a striped background.
    Caption(c, 10, 166, "Pen modes over stripes: copy, not, xor, notxor, mask, merge");
    Reset(c);
    for (int i = 0; i < 12; ++i) {
        c->Brush()->SetColor(i % 2 ? clRed : clTeal);
        c->FillRect(Rect(10 + i * 30, 184, 40 + i * 30, 244));
    }
    const TPenMode modes[] = {pmCopy, pmNot, pmXor, pmNotXor, pmMask, pmMerge};
    for (int i = 0; i < 6; ++i) {
        Reset(c);
        c->Pen()->SetMode(modes[i]);
        c->Pen()->SetColor(clYellow);
        c->Brush()->SetColor(clYellow);
        c->Rectangle(14 + i * 60, 194, 64 + i * 60, 234);
    }

    // Flood fill inside a closed outline.
    Reset(c);
    c->Brush()->SetColor(clWhite);
    c->Ellipse(400, 184, 470, 244);
    c->MoveTo(435, 184);
    c->LineTo(435, 244);
    c->Brush()->SetColor(clFuchsia);
    c->FloodFill(420, 214, clBlack, fsBorder);
    Caption(c, 480, 190, "FloodFill stops at the border");

    // Row 4: text.
    Caption(c, 10, 256, "TextOut in several fonts, bold, italic, underline, turned text");
    const char* faces[] = {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono"};
    for (int i = 0; i < 3; ++i) {
        Reset(c);
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetName(faces[i]);
        c->Font()->SetSize(12);
        c->Font()->SetColor(clNavy);
        c->Font()->SetStyle(i == 0   ? TFontStyles{fsBold}
                            : i == 1 ? TFontStyles{fsItalic}
                                     : TFontStyles{fsUnderline});
        c->TextOut(10, 276 + i * 24, std::string(faces[i]) + ": 1234.56 Ä é ß");
    }
    Reset(c);
    c->Brush()->SetColor(clYellow);
    c->Font()->SetName("DejaVu Sans");
    c->Font()->SetSize(10);
    c->Font()->SetStyle({});
    c->Font()->SetColor(clBlack);
    c->TextOut(300, 280, "opaque background");
    c->Font()->SetQuality(fqNonAntialiased);
    c->TextOut(300, 304, "not anti-aliased");
    c->Font()->SetQuality(fqDefault);
    c->Brush()->SetStyle(bsClear);
    for (int a = 0; a < 4; ++a) {
        c->Font()->SetOrientation(a * 300);
        c->TextOut(560, 330, "  turned");
    }
    c->Font()->SetOrientation(0);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clInfoBk);
    c->TextRect(Rect(300, 330, 400, 346), 302, 331, "TextRect clips this long text");

    // Row 5: bitmaps, stretching and transparency.
    Caption(c, 10, 366, "Draw with a transparent colour, StretchDraw, stretch modes");
    TBitmap tile(16, 16);
    TCanvas* t = tile.Canvas();
    t->Brush()->SetColor(clFuchsia);
    t->FillRect(Rect(0, 0, 16, 16));
    t->Brush()->SetColor(clBlue);
    t->Ellipse(2, 2, 14, 14);
    t->Pen()->SetColor(clWhite);
    t->MoveTo(4, 8);
    t->LineTo(12, 8);
    for (int i = 0; i < 4; ++i) c->Draw(10 + i * 20, 386, &tile);
    tile.SetTransparent(true);
    tile.SetTransparentColor(clFuchsia);
    for (int i = 0; i < 4; ++i) c->Draw(10 + i * 20, 410, &tile);
    tile.SetTransparent(false);
    c->StretchDraw(Rect(110, 386, 190, 466), &tile);
    TBitmap checker(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            checker.Canvas()->SetPixels(x, y, (x + y) % 2 ? clBlack : clWhite);
    TBitmap big(96, 96);
    big.Canvas()->SetStretchBltMode(COLORONCOLOR);
    big.Canvas()->CopyRect(Rect(0, 0, 96, 96), checker.Canvas(), Rect(0, 0, 8, 8));
    c->Draw(210, 386, &big);
    TBitmap small(40, 40);
    small.Canvas()->SetStretchBltMode(COLORONCOLOR);
    small.Canvas()->CopyRect(Rect(0, 0, 40, 40), big.Canvas(), Rect(0, 0, 96, 96));
    c->Draw(320, 386, &small);
    small.Canvas()->SetStretchBltMode(HALFTONE);
    small.Canvas()->CopyRect(Rect(0, 0, 40, 40), big.Canvas(), Rect(0, 0, 96, 96));
    c->Draw(370, 386, &small);
    Caption(c, 320, 430, "colour on colour / halftone");
    Reset(c);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(0, 0, SamplerWidth, SamplerHeight);
}

}  // namespace gallery
