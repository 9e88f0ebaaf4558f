// The seven-segment shapes: sizes and depths the display's template relies on, black
// shapes on white, and every black pixel reachable from the colour seeds the display fills
// from (a pixel left black would stay black on the display).
#include "resources/SevenSegShapes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/Bitmap.h"
#include "host/Canvas.h"
#include "host/Resources.h"

using namespace kovo;

namespace {

struct ShapeCase {
    const char* Name;
    int Width, Height;
    TPixelFormat Format;
    std::vector<TPoint> Seeds;
};

std::vector<ShapeCase> Shapes() {
    return {
        {"SEGHORZ", 200, 38, pf1bit, {{100, 19}}},
        {"SEGVERT", 68, 190, pf1bit, {{34, 95}}},
        {"SEGDOT", 38, 38, pf1bit, {{19, 19}}},
        {"SEGPLUS", 200, 190, pf24bit, {{100, 95}}},
        {"SEGCOLON", 68, 190, pf24bit, {{18, 190 - 18}, {68 - 18, 18}}},
        {"SEGDEG", 160, 138, pf24bit, {{25, 138 / 2}}},
    };
}

class SevenSegShapes : public ::testing::TestWithParam<ShapeCase> {
  protected:
    void SetUp() override { RegisterSevenSegShapes(); }
};

TEST_P(SevenSegShapes, HasTheSizeAndDepthOfTheTemplate) {
    const ShapeCase& c = GetParam();
    TBitmap b;
    b.LoadFromResourceName(c.Name);
    EXPECT_EQ(b.Width(), c.Width);
    EXPECT_EQ(b.Height(), c.Height);
    EXPECT_EQ(b.PixelFormat(), c.Format);
}

TEST_P(SevenSegShapes, IsOneBlackShapeOnWhiteReachedFromTheSeeds) {
    const ShapeCase& c = GetParam();
    TBitmap b;
    b.LoadFromResourceName(c.Name);
    b.SetPixelFormat(pf32bit);
    TCanvas* cv = b.Canvas();
    int black = 0;
    for (int y = 0; y < c.Height; ++y)
        for (int x = 0; x < c.Width; ++x) {
            const TColor p = cv->Pixels(x, y);
            ASSERT_TRUE(p == clBlack || p == clWhite) << c.Name << " at " << x << "," << y;
            black += p == clBlack;
        }
    EXPECT_GT(black, 0);
    EXPECT_EQ(cv->Pixels(0, 0), clWhite);
    cv->Brush()->SetColor(clRed);
    for (TPoint s : c.Seeds) {
        EXPECT_NE(cv->Pixels(s.X, s.Y), clWhite) << c.Name << " seed " << s.X << "," << s.Y;
        cv->FloodFill(s.X, s.Y, cv->Pixels(s.X, s.Y), fsSurface);
    }
    for (int y = 0; y < c.Height; ++y)
        for (int x = 0; x < c.Width; ++x)
            ASSERT_NE(cv->Pixels(x, y), clBlack) << c.Name << " unreached at " << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(All, SevenSegShapes, ::testing::ValuesIn(Shapes()),
                         [](const auto& info) { return std::string(info.param.Name); });

// The lower-right sixth of a character cell is where the display copies the decimal point
// over a digit; the lower-right bar (placed at (207, 220) in the 312 x 432 template) must not
// reach into it, or the point's copy would cut its tip off.
TEST(SevenSegShapesLayout, LowerRightBarStaysOutOfThePointCorner) {
    RegisterSevenSegShapes();
    TBitmap b;
    b.LoadFromResourceName("SEGVERT");
    b.SetPixelFormat(pf32bit);
    const int left = 312 * 5 / 6 - 207, top = 432 * 5 / 6 - 220;
    for (int y = top; y < b.Height(); ++y)
        for (int x = left; x < b.Width(); ++x)
            ASSERT_EQ(b.Canvas()->Pixels(x, y), clWhite) << x << "," << y;
}

TEST(SevenSegShapesLayout, TheRingKeepsItsHoleWhite) {
    RegisterSevenSegShapes();
    TBitmap b;
    b.LoadFromResourceName("SEGDEG");
    EXPECT_EQ(b.Canvas()->Pixels(80, 69), clWhite);
    EXPECT_EQ(b.Canvas()->Pixels(25, 69), clBlack);
}

TEST(SevenSegShapesRegistration, RepeatedCallsAndProgramPicturesAreKept) {
    RegisterSevenSegShapes();
    RegisterSevenSegShapes();
    EXPECT_TRUE(PictureRegistered("segdot"));
    // A picture the program put under one of the names stays; a removed one comes back.
    RegisterPicture("SEGDOT", [](TBitmap& b) { b.SetSize(3, 3); });
    UnregisterPicture("SEGHORZ");
    RegisterSevenSegShapes();
    TBitmap dot, horz;
    dot.LoadFromResourceName("SEGDOT");
    horz.LoadFromResourceName("SEGHORZ");
    EXPECT_EQ(dot.Width(), 3);
    EXPECT_EQ(horz.Width(), 200);
    UnregisterPicture("SEGDOT");
    RegisterSevenSegShapes();
}

}  // namespace
