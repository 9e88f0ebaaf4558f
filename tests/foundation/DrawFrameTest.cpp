#include <gtest/gtest.h>

#include "foundation/kovocore.h"
#include "host/Bitmap.h"

using namespace kovo;

namespace {

constexpr TColor L = 0x0000F0, H = 0x00F000, S = 0xF00000, D = 0x101010, N = 0x0A0B0C;
constexpr TColor Bg = 0x777777;

struct FrameFixture : ::testing::Test {
    TBitmap bmp;
    const int W = 12, Hh = 9;  // frames (0, 0, W - 1, Hh - 1)
    void SetUp() override {
        bmp.SetSize(W, Hh);
        bmp.Canvas()->Brush()->SetColor(Bg);
        bmp.Canvas()->FillRect(Rect(0, 0, W, Hh));
    }
    void Draw(TFrameStyle Style) {
        DrawFrame(bmp.Canvas(), Style, 0, 0, W - 1, Hh - 1, L, H, S, D, N);
    }
    TColor At(int x, int y) { return bmp.Canvas()->Pixels(x, y); }
};

}  // namespace

TEST_F(FrameFixture, NoneAndUnknownStylesDrawNothing) {
    for (int style : {0, 6, 200}) {
        Draw(TFrameStyle(style));
        for (int y = 0; y < Hh; ++y)
            for (int x = 0; x < W; ++x) ASSERT_EQ(At(x, y), Bg) << style << " " << x << "," << y;
    }
}

TEST_F(FrameFixture, SingleIsOneLineInTheLineColour) {
    Draw(fsSingle);
    for (int x = 0; x < W; ++x) {
        EXPECT_EQ(At(x, 0), N);
        EXPECT_EQ(At(x, Hh - 1), N);
    }
    for (int y = 0; y < Hh; ++y) {
        EXPECT_EQ(At(0, y), N);
        EXPECT_EQ(At(W - 1, y), N);
    }
    EXPECT_EQ(At(1, 1), Bg);
    EXPECT_EQ(At(W - 2, Hh - 2), Bg);
}

TEST_F(FrameFixture, SunkenAndRaisedPutShadowAndLightOnOppositeSides) {
    struct Case {
        TFrameStyle style;
        TColor topLeft, bottomRight;
    };
    for (Case c : {Case{fsSunken, S, L}, Case{fsRaised, L, S}}) {
        SetUp();
        Draw(c.style);
        for (int x = 0; x < W - 1; ++x) EXPECT_EQ(At(x, 0), c.topLeft) << x;
        for (int y = 0; y < Hh; ++y) EXPECT_EQ(At(0, y), c.topLeft) << y;
        for (int x = 1; x < W; ++x) EXPECT_EQ(At(x, Hh - 1), c.bottomRight) << x;
        for (int y = 0; y < Hh; ++y) EXPECT_EQ(At(W - 1, y), c.bottomRight) << y;
        EXPECT_EQ(At(1, 1), Bg);  // one pixel wide
    }
}

TEST_F(FrameFixture, RidgeAndGrooveAreTwoPixelsWithExchangedColours) {
    struct Case {
        TFrameStyle style;
        TColor outer, inner;  // outer: the rectangle to (w-2, h-2)
    };
    for (Case c : {Case{fsRidge, L, S}, Case{fsGroove, S, L}}) {
        SetUp();
        Draw(c.style);
        // Top and left: outer line outside, inner line inside.
        EXPECT_EQ(At(5, 0), c.outer);
        EXPECT_EQ(At(5, 1), c.inner);
        EXPECT_EQ(At(0, 4), c.outer);
        EXPECT_EQ(At(1, 4), c.inner);
        // Bottom and right: the rectangle's edge inside, the inner colour outside.
        EXPECT_EQ(At(5, Hh - 2), c.outer);
        EXPECT_EQ(At(5, Hh - 1), c.inner);
        EXPECT_EQ(At(W - 2, 4), c.outer);
        EXPECT_EQ(At(W - 1, 4), c.inner);
        EXPECT_EQ(At(W - 1, Hh - 1), c.inner);
        EXPECT_EQ(At(0, 0), c.outer);
        EXPECT_EQ(At(2, 2), Bg);  // two pixels wide
    }
}

TEST_F(FrameFixture, BevelColourSetAndPenAreKept) {
    TCanvas* c = bmp.Canvas();
    c->Pen()->SetColor(clRed);
    c->Pen()->SetWidth(3);
    DrawFrame(c, fsSunken, 0, 0, W - 1, Hh - 1, TBevelColors{L, H, S, D}, N);
    EXPECT_EQ(At(3, 0), S);
    EXPECT_EQ(At(3, 1), Bg);  // drawn one pixel wide despite the wide pen
    EXPECT_EQ(c->Pen()->Color(), clRed);
    EXPECT_EQ(c->Pen()->Width(), 3);
}

TEST_F(FrameFixture, FrameAtAnOffsetStaysInsideItsBox) {
    DrawFrame(bmp.Canvas(), fsSingle, 2, 3, 6, 5, L, H, S, D, N);
    EXPECT_EQ(At(2, 3), N);
    EXPECT_EQ(At(6, 5), N);
    EXPECT_EQ(At(4, 4), Bg);
    EXPECT_EQ(At(1, 3), Bg);
    EXPECT_EQ(At(7, 5), Bg);
    EXPECT_EQ(At(4, 6), Bg);
}

TEST_F(FrameFixture, DrawRectangleOutlinesWithTheCurrentPen) {
    bmp.Canvas()->Pen()->SetColor(clLime);
    DrawRectangle(bmp.Canvas(), 1, 1, 5, 4);
    for (int x = 1; x <= 5; ++x) {
        EXPECT_EQ(At(x, 1), clLime);
        EXPECT_EQ(At(x, 4), clLime);
    }
    EXPECT_EQ(At(1, 2), clLime);
    EXPECT_EQ(At(5, 3), clLime);
    EXPECT_EQ(At(3, 2), Bg);
    EXPECT_EQ(At(6, 1), Bg);
}
