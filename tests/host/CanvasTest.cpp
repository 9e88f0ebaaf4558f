// Pixel rules of the canvas, read back at exact coordinates from small surfaces.
#include "host/Canvas.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <set>
#include <utility>

#include "host/Bitmap.h"
#include "host/Exceptions.h"

namespace kovo {
namespace {

constexpr TColor kBack = clWhite;

class CanvasTest : public ::testing::Test {
  protected:
    CanvasTest() : surface(40, 40, ToPixel(kBack)) { canvas.SetSurface(&surface); }

    TColor At(int x, int y) const { return PixelToColor(surface.Get(x, y)); }
    void Clear(TColor c) {
        for (int y = 0; y < surface.Height(); ++y)
            for (int x = 0; x < surface.Width(); ++x) surface.Set(x, y, ToPixel(c));
    }
    // The pixels of colour c inside [l, r) x [t, b).
    int Count(TColor c, TRect r = {0, 0, 40, 40}) const {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) n += At(x, y) == c;
        return n;
    }
    std::set<std::pair<int, int>> PixelsOf(TColor c) const {
        std::set<std::pair<int, int>> out;
        for (int y = 0; y < surface.Height(); ++y)
            for (int x = 0; x < surface.Width(); ++x)
                if (At(x, y) == c) out.insert({x, y});
        return out;
    }

    TSurface surface;
    TCanvas canvas;
};

// ---- Pen and brush -------------------------------------------------------------------

TEST(PenBrushTest, DefaultsAndClearBrushTurnsSolidOnColour) {
    TPen pen;
    EXPECT_EQ(pen.Color(), clBlack);
    EXPECT_EQ(pen.Width(), 1);
    EXPECT_EQ(pen.Style(), psSolid);
    EXPECT_EQ(pen.Mode(), pmCopy);
    TBrush brush;
    EXPECT_EQ(brush.Color(), clWhite);
    EXPECT_EQ(brush.Style(), bsSolid);
    brush.SetStyle(bsClear);
    int changes = 0;
    brush.OnChange = [&](TObject*) { ++changes; };
    brush.SetColor(clWhite);  // the same colour still makes the brush solid
    EXPECT_EQ(brush.Style(), bsSolid);
    EXPECT_EQ(changes, 1);
    brush.SetColor(clWhite);
    EXPECT_EQ(changes, 1);
}

TEST(PenBrushTest, AssignCopiesAndRejectsOtherClasses) {
    TPen a, b;
    a.SetColor(clRed);
    a.SetWidth(3);
    a.SetStyle(psDot);
    a.SetMode(pmXor);
    b.Assign(&a);
    EXPECT_EQ(b.Color(), clRed);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Style(), psDot);
    EXPECT_EQ(b.Mode(), pmXor);
    TBrush brush;
    EXPECT_THROW(b.Assign(&brush), EConvertError);
    a.SetWidth(0);
    EXPECT_EQ(a.Width(), 1);
}

TEST(RasterOperationTest, TernaryCodesFollowTheirTruthTables) {
    const TPixel P = 0x00F0F0F0 & 0x00CC33AA, S = 0x005A5A5A, D = 0x00336699;
    struct Case {
        TCopyMode rop;
        TPixel expected;
    } cases[] = {
        {cmBlackness, 0},
        {cmWhiteness, 0x00FFFFFF},
        {cmSrcCopy, S},
        {cmSrcAnd, S & D},
        {cmSrcPaint, S | D},
        {cmSrcInvert, S ^ D},
        {cmSrcErase, S & ~D & 0xFFFFFF},
        {cmNotSrcCopy, ~S & 0xFFFFFF},
        {cmNotSrcErase, ~(S | D) & 0xFFFFFF},
        {cmMergeCopy, P & S},
        {cmMergePaint, (~S | D) & 0xFFFFFF},
        {cmPatCopy, P},
        {cmPatPaint, (P | ~S | D) & 0xFFFFFF},
        {cmPatInvert, P ^ D},
        {cmDstInvert, ~D & 0xFFFFFF},
        {0x00E20746, (D & ~S) | (P & S)},  // DSPDxax: pattern where the source is set
    };
    for (const Case& c : cases)
        EXPECT_EQ(ApplyRop3(c.rop, P, S, D), c.expected) << std::hex << c.rop;
}

// ---- Rectangles ----------------------------------------------------------------------

TEST_F(CanvasTest, RectangleOutlinesAndFillsHalfOpenBox) {
    canvas.Brush()->SetColor(clRed);
    canvas.Rectangle(15, 12, 5, 5);  // corners in any order
    EXPECT_EQ(At(5, 5), clBlack);
    EXPECT_EQ(At(14, 5), clBlack);
    EXPECT_EQ(At(14, 11), clBlack);
    EXPECT_EQ(At(5, 11), clBlack);
    EXPECT_EQ(At(15, 8), kBack);
    EXPECT_EQ(At(8, 12), kBack);
    EXPECT_EQ(At(4, 8), kBack);
    EXPECT_EQ(Count(clRed), 8 * 5);
    EXPECT_EQ(Count(clRed, {6, 6, 14, 11}), 8 * 5);
    EXPECT_EQ(Count(clBlack), 10 * 7 - 8 * 5);
}

TEST_F(CanvasTest, RectangleWithClearPenOrClearBrush) {
    canvas.Pen()->SetStyle(psClear);
    canvas.Brush()->SetColor(clRed);
    canvas.Rectangle(5, 5, 15, 12);
    EXPECT_EQ(Count(clRed), 10 * 7);
    EXPECT_EQ(Count(clRed, {5, 5, 15, 12}), 10 * 7);

    Clear(kBack);
    canvas.Pen()->SetStyle(psSolid);
    canvas.Brush()->SetStyle(bsClear);
    canvas.Rectangle(5, 5, 15, 12);
    EXPECT_EQ(Count(clBlack), 10 * 7 - 8 * 5);
    EXPECT_EQ(At(8, 8), kBack);
}

TEST_F(CanvasTest, WidePenIsCentredAndInsideFrameStaysInside) {
    canvas.Brush()->SetColor(clRed);
    canvas.Pen()->SetWidth(3);
    canvas.Rectangle(10, 10, 20, 20);
    // Centred on the one-pixel outline: columns 9..11 on the left, 18..20 on the right.
    for (int x : {9, 10, 11, 18, 19, 20}) EXPECT_EQ(At(x, 15), clBlack) << x;
    EXPECT_EQ(At(8, 15), kBack);
    EXPECT_EQ(At(21, 15), kBack);
    EXPECT_EQ(At(12, 15), clRed);
    EXPECT_EQ(At(17, 15), clRed);
    EXPECT_EQ(At(15, 9), clBlack);
    EXPECT_EQ(At(15, 20), clBlack);

    Clear(kBack);
    canvas.Pen()->SetStyle(psInsideFrame);
    canvas.Rectangle(10, 10, 20, 20);
    for (int x : {10, 11, 12, 17, 18, 19}) EXPECT_EQ(At(x, 15), clBlack) << x;
    EXPECT_EQ(At(9, 15), kBack);
    EXPECT_EQ(At(20, 15), kBack);
    EXPECT_EQ(At(13, 15), clRed);
    EXPECT_EQ(Count(clBlack) + Count(clRed), 100);
}

TEST_F(CanvasTest, FillRectAndFrameRectUseTheBrushOnly) {
    canvas.Brush()->SetColor(clBlue);
    canvas.Pen()->SetColor(clRed);
    canvas.Pen()->SetMode(pmXor);  // fills of FillRect ignore the pen mode
    canvas.FillRect(Rect(2, 3, 7, 9));
    EXPECT_EQ(Count(clBlue), 5 * 6);
    EXPECT_EQ(Count(clBlue, {2, 3, 7, 9}), 5 * 6);
    canvas.FillRect(Rect(30, 30, 20, 20));  // inverted: nothing
    EXPECT_EQ(Count(clBlue), 5 * 6);

    Clear(kBack);
    canvas.Brush()->SetColor(clGreen);
    canvas.FrameRect(Rect(10, 10, 20, 15));
    EXPECT_EQ(Count(clGreen), 2 * 10 + 2 * 3);
    EXPECT_EQ(At(10, 10), clGreen);
    EXPECT_EQ(At(19, 14), clGreen);
    EXPECT_EQ(At(12, 12), kBack);
    EXPECT_EQ(Count(clRed), 0);
}

TEST_F(CanvasTest, HatchedBrushDrawsLinesAndLeavesGaps) {
    Clear(clYellow);
    canvas.Pen()->SetStyle(psClear);
    canvas.Brush()->SetColor(clBlue);
    canvas.Brush()->SetStyle(bsHorizontal);
    canvas.Rectangle(0, 0, 40, 40);
    EXPECT_EQ(Count(clBlue), 5 * 40);
    EXPECT_EQ(At(3, 8), clBlue);
    EXPECT_EQ(At(3, 9), clYellow);
    Clear(clYellow);
    canvas.Brush()->SetStyle(bsCross);
    canvas.FillRect(Rect(0, 0, 16, 16));
    EXPECT_EQ(Count(clBlue), 2 * 16 + 2 * 16 - 4);
}

TEST_F(CanvasTest, SystemColoursResolveWhenDrawn) {
    canvas.Brush()->SetColor(clBtnFace);
    canvas.FillRect(Rect(0, 0, 4, 4));
    EXPECT_EQ(At(1, 1), ColorToRGB(clBtnFace));
    EXPECT_EQ(canvas.Pixels(1, 1), ColorToRGB(clBtnFace));
}

// ---- Lines ---------------------------------------------------------------------------

TEST_F(CanvasTest, LineToLeavesOutTheEndPointAndMovesThePen) {
    canvas.MoveTo(2, 3);
    canvas.LineTo(12, 3);
    EXPECT_EQ(canvas.PenPos(), Point(12, 3));
    EXPECT_EQ(Count(clBlack), 10);
    EXPECT_EQ(At(2, 3), clBlack);
    EXPECT_EQ(At(11, 3), clBlack);
    EXPECT_EQ(At(12, 3), kBack);
    canvas.LineTo(12, 8);  // continues from the pen position, starting with its end point
    EXPECT_EQ(At(12, 3), clBlack);
    EXPECT_EQ(At(12, 7), clBlack);
    EXPECT_EQ(At(12, 8), kBack);
}

TEST_F(CanvasTest, BresenhamPixelsAreTheSameInBothDirections) {
    // Steps of exactly half a pixel go to the smaller coordinate whichever way is drawn.
    canvas.MoveTo(0, 0);
    canvas.LineTo(4, 2);
    const std::set<std::pair<int, int>> forward = PixelsOf(clBlack);
    EXPECT_EQ(forward, (std::set<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    Clear(kBack);
    canvas.MoveTo(4, 2);
    canvas.LineTo(0, 0);
    EXPECT_EQ(PixelsOf(clBlack), (std::set<std::pair<int, int>>{{4, 2}, {3, 1}, {2, 1}, {1, 0}}));

    Clear(kBack);
    canvas.MoveTo(5, 5);
    canvas.LineTo(10, 30);  // steep: one pixel per row
    EXPECT_EQ(Count(clBlack), 25);
    for (int y = 5; y < 30; ++y) EXPECT_EQ(Count(clBlack, {0, y, 40, y + 1}), 1) << y;
}

TEST_F(CanvasTest, PenModesApplyPerPixel) {
    const TColor back = 0x00336699, pen = 0x005AC3F0;
    const TPixel b = ColorToPixel(back), p = ColorToPixel(pen), m = 0xFFFFFF;
    struct Case {
        TPenMode mode;
        TPixel expected;
    } cases[] = {
        {pmBlack, 0},
        {pmWhite, m},
        {pmNop, b},
        {pmNot, ~b & m},
        {pmCopy, p},
        {pmNotCopy, ~p & m},
        {pmMergePenNot, (p | ~b) & m},
        {pmMaskPenNot, p & ~b & m},
        {pmMergeNotPen, (~p | b) & m},
        {pmMaskNotPen, ~p & b & m},
        {pmMerge, p | b},
        {pmNotMerge, ~(p | b) & m},
        {pmMask, p & b},
        {pmNotMask, ~(p & b) & m},
        {pmXor, p ^ b},
        {pmNotXor, ~(p ^ b) & m},
    };
    canvas.Pen()->SetColor(pen);
    for (const Case& c : cases) {
        Clear(back);
        canvas.Pen()->SetMode(c.mode);
        canvas.MoveTo(0, 5);
        canvas.LineTo(10, 5);
        EXPECT_EQ(surface.Get(3, 5), c.expected) << int(c.mode);
        EXPECT_EQ(surface.Get(10, 5), b) << int(c.mode);
    }
}

TEST_F(CanvasTest, XorLineTwiceRestoresAndNotOnWhiteIsBlack) {
    Clear(clTeal);
    canvas.Pen()->SetColor(clFuchsia);
    canvas.Pen()->SetMode(pmXor);
    canvas.Pen()->SetWidth(3);
    for (int pass = 0; pass < 2; ++pass) {
        canvas.MoveTo(3, 4);
        canvas.LineTo(30, 25);
    }
    EXPECT_EQ(Count(clTeal), 40 * 40);

    Clear(kBack);
    canvas.Pen()->SetWidth(1);
    canvas.Pen()->SetMode(pmNot);
    canvas.Brush()->SetColor(clWhite);
    canvas.Rectangle(0, 0, 10, 10);  // pen mode applies to the brush fill too
    EXPECT_EQ(Count(clBlack), 100);
}

TEST_F(CanvasTest, DashedPenGapsFollowTheBackgroundMode) {
    canvas.Pen()->SetStyle(psDot);
    canvas.Brush()->SetColor(clYellow);
    canvas.MoveTo(0, 0);
    canvas.LineTo(12, 0);
    for (int x = 0; x < 12; ++x) EXPECT_EQ(At(x, 0), (x % 6) < 3 ? clBlack : clYellow) << x;
    canvas.Brush()->SetStyle(bsClear);
    canvas.MoveTo(0, 2);
    canvas.LineTo(12, 2);
    for (int x = 0; x < 12; ++x) EXPECT_EQ(At(x, 2), (x % 6) < 3 ? clBlack : kBack) << x;
    // Wider pens draw solid.
    canvas.Pen()->SetStyle(psDash);
    canvas.Pen()->SetWidth(2);
    canvas.MoveTo(0, 10);
    canvas.LineTo(39, 10);
    EXPECT_EQ(Count(clBlack, {1, 10, 38, 11}), 37);
}

TEST_F(CanvasTest, WideLinesAreCentred) {
    canvas.Pen()->SetWidth(3);
    canvas.MoveTo(5, 10);
    canvas.LineTo(30, 10);
    for (int y : {9, 10, 11}) EXPECT_EQ(At(15, y), clBlack) << y;
    EXPECT_EQ(At(15, 8), kBack);
    EXPECT_EQ(At(15, 12), kBack);
    Clear(kBack);
    canvas.Pen()->SetWidth(2);
    canvas.MoveTo(5, 10);
    canvas.LineTo(30, 10);
    EXPECT_EQ(Count(clBlack, {15, 0, 16, 40}), 2);
    EXPECT_EQ(At(15, 9), clBlack);
    EXPECT_EQ(At(15, 10), clBlack);
}

TEST_F(CanvasTest, ClearPenDrawsNothingButMoves) {
    canvas.Pen()->SetStyle(psClear);
    canvas.MoveTo(0, 0);
    canvas.LineTo(20, 20);
    EXPECT_EQ(canvas.PenPos(), Point(20, 20));
    EXPECT_EQ(Count(kBack), 1600);
}

// ---- Ellipses and their parts --------------------------------------------------------

TEST_F(CanvasTest, EllipseIsInscribedInItsBox) {
    canvas.Brush()->SetColor(clRed);
    canvas.Ellipse(Rect(10, 10, 21, 21));
    EXPECT_EQ(At(10, 15), clBlack);
    EXPECT_EQ(At(20, 15), clBlack);
    EXPECT_EQ(At(15, 10), clBlack);
    EXPECT_EQ(At(15, 20), clBlack);
    EXPECT_EQ(At(9, 15), kBack);
    EXPECT_EQ(At(21, 15), kBack);
    EXPECT_EQ(At(10, 10), kBack);
    EXPECT_EQ(At(15, 15), clRed);
    EXPECT_EQ(Count(clBlack) + Count(clRed),
              Count(clBlack, {10, 10, 21, 21}) + Count(clRed, {10, 10, 21, 21}));
    // Symmetric about both axes of the box.
    for (int y = 10; y <= 20; ++y)
        for (int x = 10; x <= 20; ++x) {
            EXPECT_EQ(At(x, y), At(30 - x, y)) << x << "," << y;
            EXPECT_EQ(At(x, y), At(x, 30 - y)) << x << "," << y;
        }
}

TEST_F(CanvasTest, EvenAndThinEllipsesTouchAllFourSides) {
    struct Box {
        int l, t, r, b;
    } boxes[] = {{0, 0, 10, 6}, {2, 2, 4, 38}, {1, 20, 39, 22}, {5, 5, 6, 30}, {3, 3, 37, 36}};
    for (const Box& box : boxes) {
        Clear(kBack);
        canvas.Brush()->SetStyle(bsClear);
        canvas.Ellipse(box.l, box.t, box.r, box.b);
        const TRect r{box.l, box.t, box.r, box.b};
        EXPECT_EQ(Count(clBlack), Count(clBlack, r)) << box.l;
        EXPECT_GT(Count(clBlack, {box.l, box.t, box.l + 1, box.b}), 0) << box.l;
        EXPECT_GT(Count(clBlack, {box.r - 1, box.t, box.r, box.b}), 0) << box.l;
        EXPECT_GT(Count(clBlack, {box.l, box.t, box.r, box.t + 1}), 0) << box.l;
        EXPECT_GT(Count(clBlack, {box.l, box.b - 1, box.r, box.b}), 0) << box.l;
        // The outline is closed: a fill from outside never gets in and from inside never
        // gets out.
        canvas.Brush()->SetColor(clLime);
        canvas.FloodFill(0, 39, clBlack, fsBorder);
        const int cx = (box.l + box.r - 1) / 2, cy = (box.t + box.b - 1) / 2;
        if (box.r - box.l > 2 && box.b - box.t > 2) {
            EXPECT_NE(At(cx, cy), clLime) << box.l;
        }
    }
}

TEST_F(CanvasTest, CircleMatchesTheMidpointOutline) {
    canvas.Brush()->SetStyle(bsClear);
    canvas.Ellipse(0, 0, 11, 11);  // radius 5 about (5, 5)
    // One octant of the midpoint circle, mirrored eight ways.
    const int octant[][2] = {{0, 5}, {1, 5}, {2, 5}, {3, 4}};
    std::set<std::pair<int, int>> expected;
    for (auto [a, b] : octant)
        for (int sa : {-1, 1})
            for (int sb : {-1, 1}) {
                expected.insert({5 + sa * a, 5 + sb * b});
                expected.insert({5 + sb * b, 5 + sa * a});
            }
    EXPECT_EQ(PixelsOf(clBlack), expected);
}

TEST_F(CanvasTest, PieRunsCounterClockwiseOnScreen) {
    canvas.Brush()->SetColor(clRed);
    canvas.Pen()->SetColor(clBlue);
    // From east to north: the upper right quarter.
    canvas.Pie(0, 0, 40, 40, 40, 20, 20, 0);
    EXPECT_EQ(At(28, 10), clRed);
    EXPECT_EQ(At(10, 10), kBack);
    EXPECT_EQ(At(10, 28), kBack);
    EXPECT_EQ(At(28, 28), kBack);
    EXPECT_EQ(At(39, 19), clBlue);  // the arc's east end
    EXPECT_EQ(At(25, 20), clBlue);  // on the radius to the east
    EXPECT_EQ(At(20, 5), clBlue);   // on the radius to the north

    Clear(kBack);
    // From north to east: the other three quarters.
    canvas.Pie(0, 0, 40, 40, 20, 0, 40, 20);
    EXPECT_EQ(At(28, 10), kBack);
    EXPECT_EQ(At(10, 10), clRed);
    EXPECT_EQ(At(10, 28), clRed);
    EXPECT_EQ(At(28, 28), clRed);
}

TEST_F(CanvasTest, ArcDrawsOnlyTheCurveAndChordFillsTheSegment) {
    canvas.Brush()->SetColor(clRed);
    canvas.Arc(0, 0, 40, 40, 40, 20, 0, 20);  // east to west through north: the top half
    EXPECT_EQ(Count(clRed), 0);
    EXPECT_EQ(At(20, 0), clBlack);
    EXPECT_GT(Count(clBlack, {0, 0, 40, 19}), 40);
    EXPECT_EQ(Count(clBlack, {0, 21, 40, 40}), 0);

    Clear(kBack);
    canvas.Chord(0, 0, 40, 40, 40, 20, 20, 0);  // the segment cut off by the north-east chord
    // The arc's ends are (39, 20) and (20, 1); the chord between them is x = y + 19.
    EXPECT_EQ(At(30, 8), clRed);
    EXPECT_EQ(At(35, 10), clRed);
    EXPECT_EQ(At(29, 10), clBlack);
    EXPECT_EQ(At(20, 20), kBack);
    EXPECT_EQ(At(22, 18), kBack);
    EXPECT_EQ(At(10, 30), kBack);
}

TEST_F(CanvasTest, RoundRectCutsItsCorners) {
    canvas.Brush()->SetColor(clRed);
    canvas.RoundRect(0, 0, 30, 20, 10, 10);
    EXPECT_EQ(At(0, 0), kBack);
    EXPECT_EQ(At(29, 19), kBack);
    EXPECT_EQ(At(15, 0), clBlack);
    EXPECT_EQ(At(0, 10), clBlack);
    EXPECT_EQ(At(29, 10), clBlack);
    EXPECT_EQ(At(15, 19), clBlack);
    EXPECT_EQ(At(15, 10), clRed);
    EXPECT_EQ(At(30, 10), kBack);
}

TEST_F(CanvasTest, ShapesDrawEachPixelOnceWithPenOrBrush) {
    // With xor, a pixel that both the outline and the fill touched would show both colours.
    const TColor back = 0x00404040, pen = 0x000000FF, brush = 0x0000FF00;
    const TColor both = back ^ pen ^ brush;
    canvas.Pen()->SetColor(pen);
    canvas.Pen()->SetMode(pmXor);
    canvas.Brush()->SetColor(brush);
    for (int width : {1, 3, 4}) {
        canvas.Pen()->SetWidth(width);
        for (int shape = 0; shape < 3; ++shape) {
            Clear(back);
            if (shape == 0) canvas.Rectangle(5, 6, 33, 30);
            if (shape == 1) canvas.Ellipse(5, 6, 33, 30);
            if (shape == 2) canvas.RoundRect(5, 6, 33, 30, 12, 9);
            EXPECT_EQ(Count(both), 0) << width << " " << shape;
            EXPECT_GT(Count(back ^ pen), 0) << width << " " << shape;
            EXPECT_GT(Count(back ^ brush), 0) << width << " " << shape;
            EXPECT_EQ(At(19, 18), back ^ brush) << width << " " << shape;
        }
    }
}

TEST_F(CanvasTest, WideEllipseFrames) {
    canvas.Brush()->SetStyle(bsClear);
    canvas.Pen()->SetWidth(4);
    canvas.Ellipse(10, 10, 30, 30);
    // Centred: two pixels outside the box and two inside at the middle of each side.
    EXPECT_EQ(At(8, 19), clBlack);
    EXPECT_EQ(At(11, 19), clBlack);
    EXPECT_EQ(At(7, 19), kBack);
    EXPECT_EQ(At(12, 19), kBack);
    Clear(kBack);
    canvas.Pen()->SetStyle(psInsideFrame);
    canvas.Ellipse(10, 10, 30, 30);
    EXPECT_EQ(Count(clBlack), Count(clBlack, {10, 10, 30, 30}));
    EXPECT_EQ(At(10, 19), clBlack);
    EXPECT_EQ(At(13, 19), clBlack);
    EXPECT_EQ(At(14, 19), kBack);
}

// ---- Polygons ------------------------------------------------------------------------

TEST_F(CanvasTest, PolygonFillsAndClosesPolylineDoesNot) {
    canvas.Brush()->SetColor(clRed);
    canvas.Polygon({{5, 5}, {30, 5}, {30, 25}, {5, 25}});
    EXPECT_EQ(At(5, 5), clBlack);
    EXPECT_EQ(At(30, 25), clBlack);  // all vertices, the closing side included
    EXPECT_EQ(At(5, 15), clBlack);
    EXPECT_EQ(At(15, 15), clRed);
    EXPECT_EQ(At(31, 15), kBack);
    EXPECT_EQ(Count(clRed), 24 * 19);

    Clear(kBack);
    canvas.Polyline({{5, 5}, {30, 5}, {30, 25}});
    EXPECT_EQ(Count(clRed), 0);
    EXPECT_EQ(At(30, 24), clBlack);
    EXPECT_EQ(At(30, 25), kBack);  // the last point is left out
    EXPECT_EQ(At(5, 15), kBack);   // not closed
}

TEST_F(CanvasTest, PolygonUsesTheAlternateRule) {
    canvas.Pen()->SetStyle(psClear);
    canvas.Brush()->SetColor(clRed);
    // A five-pointed star drawn in one stroke: its centre pentagon is crossed twice.
    canvas.Polygon({{20, 2}, {31, 36}, {2, 14}, {38, 14}, {9, 36}});
    EXPECT_EQ(At(20, 20), kBack);
    EXPECT_EQ(At(20, 8), clRed);
}

// ---- Flood fill ----------------------------------------------------------------------

TEST_F(CanvasTest, FloodFillStopsAtTheBorderColour) {
    canvas.Brush()->SetStyle(bsClear);
    canvas.Pen()->SetColor(clBlue);
    canvas.Rectangle(5, 5, 20, 20);
    surface.Set(12, 12, ToPixel(clYellow));
    canvas.Brush()->SetColor(clRed);
    canvas.FloodFill(10, 10, clBlue, fsBorder);
    EXPECT_EQ(Count(clRed), 13 * 13);  // everything inside the border, the yellow pixel too
    EXPECT_EQ(At(4, 4), kBack);
    EXPECT_EQ(At(5, 5), clBlue);
    canvas.Brush()->SetColor(clLime);
    canvas.FloodFill(0, 0, clBlue, fsBorder);
    EXPECT_EQ(Count(clLime), 1600 - 15 * 15);
}

TEST_F(CanvasTest, FloodFillSurfaceFillsTheConnectedColour) {
    Clear(clYellow);
    canvas.Pen()->SetColor(clBlack);
    canvas.MoveTo(0, 20);
    canvas.LineTo(40, 20);
    canvas.Brush()->SetColor(clYellow);  // filling with the same colour ends too
    canvas.FloodFill(3, 3, clYellow, fsSurface);
    canvas.Brush()->SetColor(clRed);
    canvas.FloodFill(3, 3, clYellow, fsSurface);
    EXPECT_EQ(Count(clRed), 40 * 20);
    EXPECT_EQ(At(3, 30), clYellow);
    canvas.FloodFill(3, 30, clBlue, fsSurface);  // the seed lacks the colour: nothing
    EXPECT_EQ(Count(clYellow), 40 * 19);
}

TEST(CanvasLargeTest, FloodFillOfAHugeMazeIsIterative) {
    // A serpentine of 4000 x 4000 pixels: a recursive fill would exhaust the stack.
    TSurface s(4000, 4000, 0xFFFFFF);
    for (int y = 1; y < 4000; y += 2) {
        const int gap = (y / 2) % 2 == 0 ? 3999 : 0;
        for (int x = 0; x < 4000; ++x)
            if (x != gap) s.Set(x, y, 0);
    }
    TCanvas c;
    c.SetSurface(&s);
    c.Brush()->SetColor(clRed);
    c.FloodFill(0, 0, clWhite, fsSurface);
    EXPECT_EQ(PixelToColor(s.Get(0, 3998)), clRed);
    EXPECT_EQ(PixelToColor(s.Get(3999, 1)), clRed);
    EXPECT_EQ(PixelToColor(s.Get(5, 1)), clBlack);
}

// ---- Clipping ------------------------------------------------------------------------

TEST_F(CanvasTest, WildCoordinatesAreClippedCheaply) {
    const int big = 2000000000;
    canvas.Brush()->SetColor(clRed);
    canvas.Rectangle(-big, -big, big, big);
    EXPECT_EQ(Count(clRed), 1600);
    Clear(kBack);
    canvas.Ellipse(-big, -big, big, big);  // four billion pixels across: one row costs 40
    EXPECT_EQ(Count(clRed), 1600);
    Clear(kBack);
    canvas.Pen()->SetWidth(5);
    canvas.Ellipse(-big, -big, big, big);
    canvas.Pie(-big, -big, big, big, big, 0, 0, -big);
    canvas.Arc(INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, 0, 0, INT_MIN);
    canvas.RoundRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, INT_MAX);
    canvas.Pen()->SetWidth(1);
    Clear(kBack);
    canvas.MoveTo(-big, -big);
    canvas.LineTo(big, big);
    EXPECT_EQ(Count(clBlack), 40);
    EXPECT_EQ(At(20, 20), clBlack);
    Clear(kBack);
    canvas.Pen()->SetWidth(3);
    canvas.MoveTo(INT_MIN, 20);
    canvas.LineTo(INT_MAX, 20);
    EXPECT_EQ(Count(clBlack), 120);
    Clear(kBack);
    canvas.Polygon({{-big, -big}, {big, -big}, {0, big}});
    EXPECT_EQ(At(20, 30), clRed);
    canvas.FillRect(Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    canvas.TextOut(INT_MAX - 5, INT_MIN, "far away");
    canvas.SetPixels(INT_MIN, INT_MAX, clBlue);
    EXPECT_EQ(canvas.Pixels(INT_MIN, 0), clBlack);
    EXPECT_EQ(Count(clBlue), 0);
}

TEST_F(CanvasTest, EveryOperationStaysInsideTheClip) {
    // Random shapes with tools of every kind, from small to extreme coordinates: pixels
    // outside the clip never change.
    TCanvas source;
    TSurface sourceSurface(7, 5, 0x123456);
    source.SetSurface(&sourceSurface);
    canvas.SetSurface(&surface, Point(3, 4), Rect(10, 10, 30, 30));
    std::mt19937 rng(12345);
    const int scales[] = {8, 40, 1000, 2000000000};
    auto coord = [&](int scale) {
        return int(std::uniform_int_distribution<long long>(-scale, scale)(rng));
    };
    for (int round = 0; round < 3000; ++round) {
        const int scale = scales[round % 4];
        int v[8];
        for (int& c : v) c = coord(scale);
        canvas.Pen()->SetWidth(1 + int(rng() % 6));
        canvas.Pen()->SetStyle(TPenStyle(rng() % 9));
        canvas.Pen()->SetMode(TPenMode(rng() % 16));
        canvas.Pen()->SetColor(TColor(rng() & 0xFFFFFF));
        canvas.Brush()->SetColor(TColor(rng() & 0xFFFFFF));
        canvas.Brush()->SetStyle(TBrushStyle(rng() % 8));
        canvas.SetStretchBltMode(1 + int(rng() % 4));
        canvas.SetCopyMode(TCopyMode((rng() & 0xFF) << 16));
        switch (round % 13) {
            case 0:
                canvas.Rectangle(v[0], v[1], v[2], v[3]);
                break;
            case 1:
                canvas.Ellipse(v[0], v[1], v[2], v[3]);
                break;
            case 2:
                canvas.Pie(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
                break;
            case 3:
                canvas.Arc(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
                break;
            case 4:
                canvas.Chord(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
                break;
            case 5:
                canvas.RoundRect(v[0], v[1], v[2], v[3], v[4], v[5]);
                break;
            case 6:
                canvas.MoveTo(v[0], v[1]);
                canvas.LineTo(v[2], v[3]);
                break;
            case 7:
                canvas.Polygon({{v[0], v[1]}, {v[2], v[3]}, {v[4], v[5]}, {v[6], v[7]}});
                break;
            case 8:
                canvas.FillRect(Rect(v[0], v[1], v[2], v[3]));
                break;
            case 9:
                canvas.FloodFill(v[0] % 30, v[1] % 30, TColor(rng() & 0xFFFFFF), fsBorder);
                break;
            case 10:
                canvas.CopyRect(Rect(v[0], v[1], v[2], v[3]), &source,
                                Rect(v[4], v[5], v[6], v[7]));
                break;
            case 11:
                canvas.CopyRect(Rect(v[0], v[1], v[2], v[3]), &canvas,
                                Rect(v[4], v[5], v[6], v[7]));
                break;
            case 12:
                canvas.FrameRect(Rect(v[0], v[1], v[2], v[3]));
                break;
        }
    }
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            if (x < 10 || x >= 30 || y < 10 || y >= 30) {
                ASSERT_EQ(At(x, y), kBack) << x << "," << y;
            }
    EXPECT_LT(Count(kBack, {10, 10, 30, 30}), 400);
}

TEST_F(CanvasTest, OriginAndClipPlaceTheCanvasOnTheSurface) {
    canvas.SetSurface(&surface, Point(10, 5), Rect(10, 5, 30, 15));
    EXPECT_EQ(canvas.ClipRect(), Rect(0, 0, 20, 10));
    canvas.Brush()->SetColor(clRed);
    canvas.Pen()->SetStyle(psClear);
    canvas.Rectangle(-5, -5, 100, 100);
    EXPECT_EQ(Count(clRed), 20 * 10);
    EXPECT_EQ(Count(clRed, {10, 5, 30, 15}), 20 * 10);
    canvas.SetPixels(0, 0, clBlue);
    EXPECT_EQ(At(10, 5), clBlue);
    EXPECT_EQ(canvas.Pixels(0, 0), clBlue);
    EXPECT_EQ(canvas.Pixels(25, 0), clBlack);  // outside the clip
}

TEST(CanvasNoSurfaceTest, EverythingIsASafeNoOp) {
    TCanvas c;
    EXPECT_EQ(c.Surface(), nullptr);
    EXPECT_EQ(c.ClipRect(), TRect{});
    c.Rectangle(0, 0, 10, 10);
    c.Ellipse(0, 0, 10, 10);
    c.MoveTo(1, 2);
    c.LineTo(5, 6);
    c.FloodFill(1, 1, clBlack, fsBorder);
    c.TextOut(0, 0, "x");
    c.SetPixels(0, 0, clRed);
    EXPECT_EQ(c.PenPos(), Point(c.TextWidth("x"), 0));
    EXPECT_EQ(c.Pixels(0, 0), clBlack);
    TCanvas other;
    EXPECT_TRUE(BitBlt(&c, 0, 0, 5, 5, &other, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 5, 5, &other, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(&c, 0, 0, 5, 5, nullptr, 0, 0, SRCCOPY));
}

// A canvas that binds itself only when asked, as a control's canvas does.
class LateCanvas : public TCanvas {
  public:
    explicit LateCanvas(TSurface* s) : target(s) {}
    int binds = 0;

  protected:
    void RequireSurface() override {
        ++binds;
        SetSurface(target, Point(2, 2));
    }

  private:
    TSurface* target;
};

TEST(CanvasHookTest, RequireSurfaceBindsBeforeDrawingAndReading) {
    TSurface s(10, 10, 0xFFFFFF);
    LateCanvas c(&s);
    c.Brush()->SetColor(clRed);
    c.FillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(PixelToColor(s.Get(2, 2)), clRed);
    EXPECT_EQ(c.Pixels(0, 0), clRed);
    EXPECT_EQ(c.ClipRect(), Rect(-2, -2, 8, 8));
    EXPECT_GE(c.binds, 3);
}

// ---- Block copies --------------------------------------------------------------------

class CopyTest : public CanvasTest {
  protected:
    CopyTest() : source(8, 8, 0) {
        src.SetSurface(&source);
        // Four vertical stripes, two pixels each.
        const TPixel stripes[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00808080};
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) source.Set(x, y, stripes[x / 2]);
    }
    TSurface source;
    TCanvas src;
};

TEST_F(CopyTest, CopyRectAppliesTheCopyMode) {
    const TColor back = 0x00336699;
    const TPixel D = ColorToPixel(back), m = 0xFFFFFF;
    const TPixel B = ToPixel(clYellow);
    struct Case {
        TCopyMode mode;
        TPixel (*expected)(TPixel s, TPixel d, TPixel b);
    } cases[] = {
        {cmSrcCopy, [](TPixel s, TPixel, TPixel) { return s; }},
        {cmSrcAnd, [](TPixel s, TPixel d, TPixel) { return s & d; }},
        {cmSrcPaint, [](TPixel s, TPixel d, TPixel) { return s | d; }},
        {cmSrcInvert, [](TPixel s, TPixel d, TPixel) { return s ^ d; }},
        {cmDstInvert, [](TPixel, TPixel d, TPixel) { return ~d & 0xFFFFFF; }},
        {cmNotSrcCopy, [](TPixel s, TPixel, TPixel) { return ~s & 0xFFFFFF; }},
        {cmMergeCopy, [](TPixel s, TPixel, TPixel b) { return s & b; }},
        {cmMergePaint, [](TPixel s, TPixel d, TPixel) { return (~s | d) & 0xFFFFFF; }},
        {cmNotSrcErase, [](TPixel s, TPixel d, TPixel) { return ~(s | d) & 0xFFFFFF; }},
        {cmSrcErase, [](TPixel s, TPixel d, TPixel) { return s & ~d & 0xFFFFFF; }},
        {cmPatCopy, [](TPixel, TPixel, TPixel b) { return b; }},
        {cmPatInvert, [](TPixel, TPixel d, TPixel b) { return b ^ d; }},
        {cmPatPaint, [](TPixel s, TPixel d, TPixel b) { return (b | ~s | d) & 0xFFFFFF; }},
        {cmBlackness, [](TPixel, TPixel, TPixel) { return TPixel(0); }},
        {cmWhiteness, [](TPixel, TPixel, TPixel) { return TPixel(0xFFFFFF); }},
    };
    canvas.Brush()->SetColor(clYellow);
    for (const Case& c : cases) {
        Clear(back);
        canvas.SetCopyMode(c.mode);
        canvas.CopyRect(Rect(10, 10, 18, 18), &src, Rect(0, 0, 8, 8));
        for (int x = 0; x < 8; x += 2)
            EXPECT_EQ(surface.Get(10 + x, 12), c.expected(source.Get(x, 0), D, B) & m)
                << std::hex << c.mode << " x=" << x;
        EXPECT_EQ(surface.Get(9, 12), D);
        EXPECT_EQ(surface.Get(18, 12), D);
    }
}

TEST_F(CopyTest, ColourOnColourDropsColumnsAndHalftoneAverages) {
    canvas.SetStretchBltMode(COLORONCOLOR);
    canvas.CopyRect(Rect(0, 0, 4, 1), &src, Rect(0, 0, 8, 1));
    // Each destination pixel takes the source pixel under its centre: one of each pair.
    for (int x = 0; x < 4; ++x) EXPECT_EQ(surface.Get(x, 0), source.Get(2 * x, 0)) << x;

    EXPECT_EQ(SetStretchBltMode(&canvas, HALFTONE), COLORONCOLOR);
    EXPECT_EQ(GetStretchBltMode(&canvas), HALFTONE);
    canvas.CopyRect(Rect(0, 2, 2, 3), &src, Rect(0, 0, 8, 1));
    // Destination pixel 0 covers the red and the green stripe.
    EXPECT_EQ(surface.Get(0, 2), 0x00808000u);
    // Pixel 1 covers blue and grey: (0 + 0 + 128 + 128) / 4 and (255 + 255 + 128 + 128) / 4.
    EXPECT_EQ(surface.Get(1, 2), 0x004040C0u);
}

TEST_F(CopyTest, HalftoneBlendsWhereAGrownPixelStraddlesTwo) {
    canvas.SetStretchBltMode(HALFTONE);
    // Two source pixels onto three: the middle one covers half of each.
    canvas.CopyRect(Rect(0, 0, 3, 1), &src, Rect(1, 0, 3, 1));
    EXPECT_EQ(surface.Get(0, 0), source.Get(1, 0));
    EXPECT_EQ(surface.Get(1, 0), 0x00808000u);
    EXPECT_EQ(surface.Get(2, 0), source.Get(2, 0));
    canvas.SetStretchBltMode(COLORONCOLOR);
    canvas.CopyRect(Rect(0, 1, 3, 2), &src, Rect(1, 0, 3, 1));
    EXPECT_EQ(surface.Get(1, 1), source.Get(2, 0));
}

TEST_F(CopyTest, StretchingUpRepeatsAndNegativeWidthMirrors) {
    canvas.CopyRect(Rect(0, 0, 16, 2), &src, Rect(0, 0, 8, 1));
    for (int x = 0; x < 16; ++x) EXPECT_EQ(surface.Get(x, 1), source.Get(x / 2, 0)) << x;
    // The destination's corners given right to left: the copy is mirrored.
    StretchBlt(&canvas, 8, 5, -8, 1, &src, 0, 0, 8, 1, SRCCOPY);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(surface.Get(x, 5), source.Get(7 - x, 0)) << x;
    BitBlt(&canvas, 20, 20, 3, 3, &src, 6, 6, SRCCOPY);
    EXPECT_EQ(surface.Get(20, 20), source.Get(6, 6));
    EXPECT_EQ(surface.Get(21, 20), source.Get(7, 6));
    EXPECT_EQ(surface.Get(22, 20), ToPixel(kBack));  // beyond the source: left alone
}

TEST_F(CanvasTest, CopyOntoItselfReadsTheOldPixels) {
    for (int x = 0; x < 10; ++x) surface.Set(x, 0, TPixel(x));
    canvas.CopyRect(Rect(1, 0, 11, 1), &canvas, Rect(0, 0, 10, 1));
    for (int x = 0; x < 10; ++x) EXPECT_EQ(surface.Get(x + 1, 0), TPixel(x)) << x;
}

TEST_F(CanvasTest, DrawCopiesBitmapsAndLeavesOutTheTransparentColour) {
    TBitmap bmp(4, 4);
    bmp.Canvas()->Brush()->SetColor(clFuchsia);
    bmp.Canvas()->FillRect(Rect(0, 0, 4, 4));
    bmp.Canvas()->SetPixels(1, 1, clGreen);
    Clear(clYellow);
    canvas.Draw(5, 5, &bmp);
    EXPECT_EQ(At(5, 5), clFuchsia);
    EXPECT_EQ(At(6, 6), clGreen);
    EXPECT_EQ(At(9, 9), clYellow);
    Clear(clYellow);
    bmp.SetTransparent(true);
    bmp.SetTransparentColor(clFuchsia);
    canvas.Draw(5, 5, &bmp);
    EXPECT_EQ(At(5, 5), clYellow);
    EXPECT_EQ(At(6, 6), clGreen);
    EXPECT_EQ(Count(clYellow), 1599);

    Clear(clYellow);
    bmp.SetTransparent(false);
    canvas.StretchDraw(Rect(0, 0, 8, 8), &bmp);
    EXPECT_EQ(Count(clGreen), 4);
    EXPECT_EQ(At(2, 2), clGreen);
    EXPECT_EQ(At(3, 3), clGreen);
    EXPECT_EQ(Count(clFuchsia), 60);
    canvas.Draw(0, 0, nullptr);
}

// ---- Text ----------------------------------------------------------------------------

TEST_F(CanvasTest, TextOutPaintsItsCellWithASolidBrushOnly) {
    Clear(clYellow);
    canvas.Brush()->SetColor(clAqua);
    canvas.Font()->SetColor(clBlack);
    const TSize ext = canvas.TextExtent("Hello");
    ASSERT_GT(ext.cx, 0);
    canvas.TextOut(3, 4, "Hello");
    EXPECT_EQ(canvas.PenPos(), Point(3 + ext.cx, 4));
    EXPECT_EQ(At(3, 4), clAqua);
    EXPECT_EQ(At(3 + ext.cx - 1, 4 + ext.cy - 1), clAqua);
    EXPECT_EQ(At(3 + ext.cx, 4), clYellow);
    EXPECT_EQ(At(3, 4 + ext.cy), clYellow);
    EXPECT_EQ(Count(clYellow, {3, 4, 3 + ext.cx, 4 + ext.cy}), 0);

    Clear(clYellow);
    canvas.Brush()->SetStyle(bsClear);
    canvas.TextOut(3, 4, "Hello");
    EXPECT_EQ(Count(clAqua), 0);
    EXPECT_LT(Count(clYellow), 1600);  // the text itself was drawn
}

TEST_F(CanvasTest, TurnedTextPaintsTheTurnedCell) {
    Clear(clYellow);
    canvas.Brush()->SetColor(clAqua);
    canvas.Font()->SetOrientation(900);  // a quarter turn: the text runs upward from (x, y)
    const TSize ext = canvas.TextExtent("Hello");
    ASSERT_LT(ext.cx, 30);
    canvas.TextOut(10, 35, "Hello");
    EXPECT_EQ(At(10 + ext.cy - 1, 35 - ext.cx + 1), clAqua);
    EXPECT_EQ(At(10, 34), clAqua);
    EXPECT_EQ(At(10 + ext.cy + 1, 30), clYellow);
    EXPECT_EQ(At(12, 37), clYellow);
    EXPECT_EQ(At(12, 35 - ext.cx - 2), clYellow);
}

TEST_F(CanvasTest, TextRectFillsAndClipsToTheRectangle) {
    Clear(clYellow);
    canvas.Brush()->SetColor(clWhite);
    canvas.Font()->SetColor(clBlack);
    canvas.TextRect(Rect(5, 5, 15, 30), 2, 8, "WWWWWWWWWWWW");
    // Nothing outside the rectangle changed, though the text starts left of it.
    EXPECT_EQ(Count(clYellow), 1600 - 10 * 25);
    EXPECT_EQ(Count(clYellow, {5, 5, 15, 30}), 0);
    EXPECT_LT(Count(clWhite, {5, 5, 15, 30}), 250);  // some ink inside
}

TEST_F(CanvasTest, DrawTextMeasuresAndAligns) {
    TRect r{0, 0, 0, 0};
    const int h = DrawText(&canvas, "Hi", r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.Right, canvas.TextWidth("Hi"));
    EXPECT_EQ(r.Bottom, canvas.TextHeight("Hi"));
    EXPECT_EQ(h, r.Bottom);
    TRect two{0, 0, 0, 0};
    DrawText(&canvas, "Hi\nthere", two, DT_CALCRECT);
    EXPECT_EQ(two.Bottom, 2 * canvas.TextHeight("Hi"));
    EXPECT_EQ(two.Right, canvas.TextWidth("there"));

    const int lh = canvas.TextHeight("a");
    TRect wrap{0, 0, canvas.TextWidth("aaa aaa") - 1, 0};
    EXPECT_EQ(DrawText(&canvas, "aaa aaa aaa", wrap, DT_CALCRECT | DT_WORDBREAK), 3 * lh);
    TRect wider{0, 0, canvas.TextWidth("aaa aaa"), 0};
    EXPECT_EQ(DrawText(&canvas, "aaa aaa aaa", wider, DT_CALCRECT | DT_WORDBREAK), 2 * lh);
    TRect cut{0, 0, canvas.TextWidth("abc..."), 0};
    DrawText(&canvas, "abcdefgh", cut, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(cut.Right, canvas.TextWidth("abc..."));

    Clear(clYellow);
    canvas.Brush()->SetStyle(bsClear);
    TRect box{0, 0, 40, 40};
    DrawText(&canvas, "I", box, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    // The ink sits in the bottom-right part only.
    EXPECT_EQ(Count(clYellow, {0, 0, 40, 40 - canvas.TextHeight("I")}), 40 * (40 - h));
    EXPECT_EQ(Count(clYellow, {0, 0, 40 - canvas.TextWidth("I"), 40}),
              40 * (40 - canvas.TextWidth("I")));
    EXPECT_LT(Count(clYellow), 1600);
}

// ---- Call record ---------------------------------------------------------------------

TEST_F(CanvasTest, RecordKeepsTheCallsWithTheirTools) {
    canvas.Rectangle(1, 2, 3, 4);
    EXPECT_TRUE(canvas.Calls().empty());
    EXPECT_FALSE(canvas.Recording());
    canvas.StartRecording();
    EXPECT_TRUE(canvas.Recording());
    canvas.Pen()->SetColor(clRed);
    canvas.Pen()->SetWidth(2);
    canvas.Brush()->SetColor(clBtnFace);
    canvas.Rectangle(1, 2, 30, 40);
    canvas.Brush()->SetStyle(bsClear);
    canvas.Font()->SetColor(clBlue);
    canvas.TextOut(5, 6, "abc");
    canvas.Polygon({{1, 2}, {3, 4}, {5, 6}});
    canvas.StopRecording();
    canvas.LineTo(9, 9);
    ASSERT_EQ(canvas.Calls().size(), 3u);
    const TCanvasCall& rect = canvas.Calls()[0];
    EXPECT_EQ(rect.Op, "Rectangle");
    EXPECT_EQ(rect.Args, (std::vector<int>{1, 2, 30, 40}));
    EXPECT_EQ(rect.PenColor, clRed);
    EXPECT_EQ(rect.PenWidth, 2);
    EXPECT_EQ(rect.BrushColor, clBtnFace);  // as set, not resolved
    EXPECT_EQ(rect.BrushStyle, bsSolid);
    const TCanvasCall& text = canvas.Calls()[1];
    EXPECT_EQ(text.Op, "TextOut");
    EXPECT_EQ(text.Args, (std::vector<int>{5, 6}));
    EXPECT_EQ(text.Text, "abc");
    EXPECT_EQ(text.FontColor, clBlue);
    EXPECT_EQ(text.BrushStyle, bsClear);
    EXPECT_EQ(canvas.Calls()[2].Args, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    canvas.ClearCalls();
    EXPECT_TRUE(canvas.Calls().empty());
}

}  // namespace
}  // namespace kovo
