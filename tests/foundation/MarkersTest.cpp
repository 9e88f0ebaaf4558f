#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "foundation/kovocore.h"
#include "host/Bitmap.h"

using namespace kovo;

namespace {

constexpr TColor Bg = clWhite, PenC = clBlack, Fill = clRed;
constexpr int Size = 21, C = 10;

// The pixels of one symbol drawn at the centre of a white bitmap, as a text per pixel.
std::vector<TColor> Render(int Mark) {
    TBitmap bmp;
    bmp.SetSize(Size, Size);
    TCanvas* c = bmp.Canvas();
    c->Brush()->SetColor(Bg);
    c->FillRect(Rect(0, 0, Size, Size));
    c->Pen()->SetColor(PenC);
    c->Brush()->SetColor(Fill);
    DrawMarkOnCanvas(c, Mark, C, C);
    EXPECT_EQ(c->Brush()->Color(), Fill);
    EXPECT_EQ(c->Brush()->Style(), bsSolid);
    std::vector<TColor> px;
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) px.push_back(c->Pixels(x, y));
    return px;
}

}  // namespace

TEST(Markers, FiftyTwoDistinctSymbolsCentredAndAboutSevenPixelsAcross) {
    std::set<std::vector<TColor>> seen;
    for (int m = 0; m < MarkerCount; ++m) {
        std::vector<TColor> px = Render(m);
        int l = Size, t = Size, r = -1, b = -1;
        for (int y = 0; y < Size; ++y)
            for (int x = 0; x < Size; ++x) {
                TColor p = px[size_t(y * Size + x)];
                if (p == Bg) continue;
                EXPECT_TRUE(p == PenC || p == Fill) << m;  // only the pen and the brush
                l = std::min(l, x), r = std::max(r, x), t = std::min(t, y), b = std::max(b, y);
            }
        ASSERT_GE(r, 0) << "symbol " << m << " draws nothing";
        EXPECT_LE(r - l + 1, 9) << m;
        EXPECT_LE(b - t + 1, 9) << m;
        EXPECT_LE(std::abs((l + r) - 2 * C), 1) << m;  // centred on (X, Y)
        EXPECT_LE(std::abs((t + b) - 2 * C), 1) << m;
        EXPECT_TRUE(seen.insert(px).second) << "symbol " << m << " repeats another";
    }
}

TEST(Markers, FilledSymbolsUseTheBrushAndHollowOnesLeaveTheInsideAlone) {
    // 3 filled square, 2 hollow square; 7 filled circle, 6 hollow circle.
    for (auto [mark, filled] : {std::pair{3, true}, {2, false}, {7, true}, {6, false}}) {
        std::vector<TColor> px = Render(mark);
        EXPECT_EQ(px[size_t(C * Size + C)], filled ? Fill : Bg) << mark;
    }
}

TEST(Markers, NumbersOutsideTheRangeDrawNothing) {
    for (int m : {-1, 52, 1000}) {
        std::vector<TColor> px = Render(m);
        for (TColor p : px) ASSERT_EQ(p, Bg) << m;
    }
    DrawMarkOnCanvas(nullptr, 3, 0, 0);  // no canvas: nothing happens
}
