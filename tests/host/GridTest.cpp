// The grid's geometry (cell rectangles, hit tests, scrolling limits, the client area) and
// its painting (which cells DrawCell sees, with which states; the default look).
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "host/Application.h"
#include "host/Grid.h"
#include "host/platform/Headless.h"

using namespace kovo;

namespace {

struct Drawn {
    int Col, Row;
    TRect Rect;
    TGridDrawState State;
};

// A draw grid of 400 x 200 pixels (client 396 x 196) that records every DrawCell.
struct GridFixture : ::testing::Test {
    std::unique_ptr<TDrawGrid> grid;
    std::vector<Drawn> drawn;

    void SetUp() override {
        Headless::Instance();
        grid = std::make_unique<TDrawGrid>(nullptr);
        grid->SetBounds(0, 0, 400, 200);
        grid->OnDrawCell = [this](TObject*, int c, int r, TRect R, TGridDrawState S) {
            drawn.push_back(Drawn{c, r, R, S});
        };
        Application->ProcessMessages();
    }
    void TearDown() override { grid.reset(); }

    std::vector<Drawn> Paint() {
        drawn.clear();
        grid->Repaint();
        return drawn;
    }
    // A pixel of the client area.
    TColor ClientPixel(int X, int Y) {
        int b = grid->BorderWidth();
        return Headless::PixelAt(grid.get(), X + b, Y + b);
    }
};

TEST_F(GridFixture, DefaultsAreTheClassicOnes) {
    EXPECT_EQ(grid->ColCount(), 5);
    EXPECT_EQ(grid->RowCount(), 5);
    EXPECT_EQ(grid->FixedCols(), 1);
    EXPECT_EQ(grid->FixedRows(), 1);
    EXPECT_EQ(grid->DefaultColWidth(), 64);
    EXPECT_EQ(grid->DefaultRowHeight(), 24);
    EXPECT_EQ(grid->GridLineWidth(), 1);
    EXPECT_EQ(grid->Options(), (TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine,
                                             goHorzLine, goRangeSelect}));
    EXPECT_EQ(grid->FixedColor(), clBtnFace);
    EXPECT_EQ(grid->Color(), clWindow);
    EXPECT_EQ(grid->ScrollBars(), ssBoth);
    EXPECT_TRUE(grid->DefaultDrawing());
    EXPECT_EQ(grid->BorderStyle(), bsSingle);
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->TopRow(), 1);
    EXPECT_EQ(grid->LeftCol(), 1);
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 1, 1}));
    // 5 x 5 cells of 65 x 25 fit into 396 x 196: no scroll bars, the client area is the
    // control less its 2-pixel border.
    EXPECT_EQ(grid->ClientRect(), Rect(0, 0, 396, 196));
    EXPECT_EQ(grid->GridWidth(), 5 * 65);
    EXPECT_EQ(grid->GridHeight(), 5 * 25);
}

TEST_F(GridFixture, CellRectFollowsWidthsHeightsAndLines) {
    grid->SetColWidths(1, 100);
    grid->SetRowHeights(2, 40);
    struct Case {
        int col, row;
        TRect rect;
    } cases[] = {
        {0, 0, Rect(0, 0, 64, 24)},
        {1, 0, Rect(65, 0, 165, 24)},
        {2, 0, Rect(166, 0, 230, 24)},
        {0, 2, Rect(0, 50, 64, 90)},
        {2, 2, Rect(166, 50, 230, 90)},
        {4, 4, Rect(296, 116, 360, 140)},
        {5, 0, TRect{}},
        {0, 5, TRect{}},
        {-1, 0, TRect{}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(grid->CellRect(c.col, c.row), c.rect) << c.col << "," << c.row;
    EXPECT_EQ(grid->ColWidths(1), 100);
    EXPECT_EQ(grid->ColWidths(2), 64);
    EXPECT_EQ(grid->RowHeights(2), 40);
    // Out-of-range indexes read 0 and change nothing.
    EXPECT_EQ(grid->ColWidths(7), 0);
    grid->SetColWidths(7, 30);
    grid->SetRowHeights(-1, 30);
    EXPECT_EQ(grid->CellRect(4, 4), Rect(296, 116, 360, 140));
    // A wider line moves every cell after it; without any line option the lines vanish.
    grid->SetGridLineWidth(3);
    EXPECT_EQ(grid->CellRect(2, 2), Rect(170, 54, 234, 94));
    grid->SetOptions({});
    EXPECT_EQ(grid->CellRect(2, 2), Rect(164, 48, 228, 88));
    // A new default size gives every column that size again.
    grid->SetDefaultColWidth(30);
    EXPECT_EQ(grid->ColWidths(1), 30);
}

TEST_F(GridFixture, MouseCoordMapsPointsToCells) {
    grid->SetColWidths(2, 10);
    struct Case {
        int x, y, col, row;
    } cases[] = {
        {0, 0, 0, 0},     {63, 23, 0, 0},   {64, 24, 0, 0},  // the line belongs to the cell
        {65, 25, 1, 1},   {129, 49, 1, 1},  {130, 0, 2, 0},     {140, 0, 2, 0},
        {141, 0, 3, 0},   {270, 124, 4, 4}, {271, 125, -1, -1},  // beyond the last cells
        {-1, -1, -1, -1}, {395, 10, -1, 0},
    };
    for (const Case& c : cases) {
        TGridCoord g = grid->MouseCoord(c.x, c.y);
        EXPECT_EQ(g.X, c.col) << c.x << "," << c.y;
        EXPECT_EQ(g.Y, c.row) << c.x << "," << c.y;
    }
    int col = 9, row = 9;
    grid->MouseToCell(70, 30, col, row);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 1);
}

TEST_F(GridFixture, ScrollingMovesTheNonFixedCells) {
    grid->SetColCount(20);
    grid->SetRowCount(30);
    grid->SetFixedCols(2);
    grid->SetFixedRows(2);
    grid->SetLeftCol(5);
    grid->SetTopRow(10);
    EXPECT_EQ(grid->LeftCol(), 5);
    EXPECT_EQ(grid->TopRow(), 10);
    // Fixed cells stay; column 5 follows the fixed columns, columns 2..4 are out of view.
    EXPECT_EQ(grid->CellRect(1, 1), Rect(65, 25, 129, 49));
    EXPECT_EQ(grid->CellRect(5, 10), Rect(130, 50, 194, 74));
    EXPECT_EQ(grid->CellRect(1, 10), Rect(65, 50, 129, 74));
    EXPECT_EQ(grid->CellRect(5, 0), Rect(130, 0, 194, 24));
    EXPECT_TRUE(grid->CellRect(4, 10).IsEmpty());
    EXPECT_TRUE(grid->CellRect(5, 9).IsEmpty());
    EXPECT_EQ(grid->MouseCoord(130, 50), (TGridCoord{5, 10}));
    EXPECT_EQ(grid->MouseCoord(10, 50), (TGridCoord{0, 10}));
    // A cell cut by the client edge ends at the edge; the first cell beyond it has no rect.
    int clientW = grid->ClientWidth();
    TRect partial = grid->CellRect(grid->LeftCol() + grid->VisibleColCount(), 10);
    EXPECT_EQ(partial.Right, clientW);
    EXPECT_LT(partial.Width(), 64);
    EXPECT_TRUE(grid->CellRect(grid->LeftCol() + grid->VisibleColCount() + 1, 10).IsEmpty());
    // Set values stay among the non-fixed cells.
    grid->SetTopRow(0);
    EXPECT_EQ(grid->TopRow(), 2);
    grid->SetTopRow(1000);
    EXPECT_EQ(grid->TopRow(), 29);
}

TEST_F(GridFixture, ScrollBarsAppearWhenTheCellsDoNotFit) {
    EXPECT_TRUE(grid->VertScrollBar()->BoundsRect().IsEmpty());
    EXPECT_TRUE(grid->HorzScrollBar()->BoundsRect().IsEmpty());
    grid->SetRowCount(9);  // 9 x 25 > 196
    EXPECT_EQ(grid->VertScrollBar()->BoundsRect(), Rect(398 - 17, 2, 398, 198));
    EXPECT_EQ(grid->ClientWidth(), 396 - 17);
    EXPECT_EQ(grid->ClientHeight(), 196);
    // Six columns fit beside no bar (6 * 65 = 390) but not beside a vertical one.
    grid->SetColCount(6);
    EXPECT_FALSE(grid->HorzScrollBar()->BoundsRect().IsEmpty());
    EXPECT_EQ(grid->ClientRect(), Rect(0, 0, 396 - 17, 196 - 17));
    grid->SetScrollBars(ssNone);
    EXPECT_EQ(grid->ClientRect(), Rect(0, 0, 396, 196));
    grid->SetBorderStyle(bsNone);
    EXPECT_EQ(grid->ClientRect(), Rect(0, 0, 400, 200));
    EXPECT_EQ(grid->BorderWidth(), 0);
}

TEST_F(GridFixture, VisibleCountsAndTheLastTopRow) {
    grid->SetRowCount(100);
    grid->SetColCount(20);
    // Client 379 x 179: after the fixed row 154 pixels, six rows of 25 in full.
    EXPECT_EQ(grid->VisibleRowCount(), 6);
    EXPECT_EQ(grid->VisibleColCount(), 4);
    // Scrolling by the keyboard stops where the last row is in full view.
    grid->SetFocus();
    Headless::PressKey(grid.get(), VK_END, {ssCtrl});
    EXPECT_EQ(grid->Row(), 99);
    EXPECT_EQ(grid->Col(), 19);
    EXPECT_EQ(grid->TopRow(), 94);
    EXPECT_EQ(grid->LeftCol(), 16);
    EXPECT_EQ(grid->CellRect(19, 99).Bottom, 25 + 6 * 25 - 1);
}

TEST_F(GridFixture, CustomSizesInAMillionRows) {
    grid->SetRowCount(1000000);
    grid->SetRowHeights(10, 100);
    grid->SetRowHeights(500000, 4);
    grid->SetTopRow(499999);
    EXPECT_EQ(grid->CellRect(0, 499999), Rect(0, 25, 64, 49));
    EXPECT_EQ(grid->CellRect(0, 500000), Rect(0, 50, 64, 54));
    EXPECT_EQ(grid->CellRect(0, 500001), Rect(0, 55, 64, 79));
    EXPECT_EQ(grid->MouseCoord(0, 52), (TGridCoord{0, 500000}));
    EXPECT_EQ(grid->MouseCoord(0, 56), (TGridCoord{0, 500001}));
    grid->SetRowCount(20);
    EXPECT_EQ(grid->TopRow(), 19);
    EXPECT_EQ(grid->RowHeights(10), 100);
    grid->SetRowCount(5);
    grid->SetRowCount(20);
    EXPECT_EQ(grid->RowHeights(10), 24);  // gone with its row
}

TEST_F(GridFixture, CountsAndFixedCountsGuardEachOther) {
    EXPECT_THROW(grid->SetFixedCols(5), EInvalidGridOperation);
    EXPECT_THROW(grid->SetFixedRows(-1), EInvalidGridOperation);
    EXPECT_EQ(grid->FixedCols(), 1);
    grid->SetColCount(1);  // fewer columns than fixed ones reduce the fixed ones
    EXPECT_EQ(grid->FixedCols(), 0);
    grid->SetRowCount(0);
    EXPECT_EQ(grid->RowCount(), 1);
    EXPECT_EQ(grid->FixedRows(), 0);
    // Fixed counts put the current cell at the first non-fixed one.
    grid->SetColCount(6);
    grid->SetRowCount(6);
    grid->SetFixedCols(2);
    grid->SetFixedRows(3);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_EQ(grid->LeftCol(), 2);
    EXPECT_EQ(grid->TopRow(), 3);
    EXPECT_THROW(grid->SetCol(6), EInvalidGridOperation);
    EXPECT_EQ(grid->Col(), 2);
}

TEST_F(GridFixture, DrawCellVisitsEachVisibleCellOnce) {
    auto cells = Paint();
    ASSERT_EQ(cells.size(), 25u);
    std::map<std::pair<int, int>, int> seen;
    for (const Drawn& d : cells) {
        ++seen[{d.Col, d.Row}];
        EXPECT_EQ(d.Rect, grid->CellRect(d.Col, d.Row));
        EXPECT_EQ(d.State.contains(gdFixed), d.Col == 0 || d.Row == 0);
        // Not focused: the current cell is merely selected.
        EXPECT_EQ(d.State.contains(gdSelected), d.Col == 1 && d.Row == 1);
        EXPECT_FALSE(d.State.contains(gdFocused));
    }
    EXPECT_EQ(seen.size(), 25u);
    // Fixed cells first, then the body row by row.
    EXPECT_EQ(std::make_pair(cells[0].Col, cells[0].Row), std::make_pair(0, 0));
    EXPECT_EQ(std::make_pair(cells.back().Col, cells.back().Row), std::make_pair(4, 4));
    // Focused: the current cell has both states, a range is selected.
    grid->SetFocus();
    grid->SetSelection(TGridRect{1, 1, 2, 3});
    for (const Drawn& d : Paint()) {
        bool inRange = d.Col >= 1 && d.Col <= 2 && d.Row >= 1 && d.Row <= 3;
        EXPECT_EQ(d.State.contains(gdSelected), inRange) << d.Col << "," << d.Row;
        EXPECT_EQ(d.State.contains(gdFocused), d.Col == 2 && d.Row == 3) << d.Col << "," << d.Row;
    }
    // A zero-width column is not drawn.
    grid->SetColWidths(3, 0);
    for (const Drawn& d : Paint()) EXPECT_NE(d.Col, 3);
}

TEST_F(GridFixture, DrawCellNeverSeesRowsOutOfView) {
    grid->SetRowCount(1000000);
    grid->SetColCount(50);
    grid->SetTopRow(400000);
    grid->SetLeftCol(30);
    auto cells = Paint();
    // Visible (client 379 x 179): below the fixed row 6 full rows and one cut; beside the
    // fixed column 4 full columns and one cut.
    EXPECT_EQ(cells.size(), size_t(8 * 6));
    for (const Drawn& d : cells) {
        EXPECT_TRUE(d.Row == 0 || (d.Row >= 400000 && d.Row <= 400006)) << d.Row;
        EXPECT_TRUE(d.Col == 0 || (d.Col >= 30 && d.Col <= 34)) << d.Col;
        EXPECT_FALSE(d.Rect.IsEmpty());
        EXPECT_LE(d.Rect.Top, grid->ClientHeight());
    }
    // Invalidating one cell repaints only the cells that meet it.
    drawn.clear();
    grid->InvalidateCell(31, 400002);
    Application->ProcessMessages();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].Col, 31);
    EXPECT_EQ(drawn[0].Row, 400002);
}

TEST_F(GridFixture, DefaultDrawingLook) {
    grid->SetRowCount(3);
    grid->Repaint();
    TColor face = ColorToRGB(clBtnFace), window = ColorToRGB(clWindow);
    // Fixed cells: the face with a raised inner edge, black lines between them.
    EXPECT_EQ(ClientPixel(30, 12), face);
    EXPECT_EQ(ClientPixel(30, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(ClientPixel(30, 23), ColorToRGB(clBtnShadow));
    EXPECT_EQ(ClientPixel(63, 12), ColorToRGB(clBtnShadow));
    EXPECT_EQ(ClientPixel(64, 12), clBlack);
    EXPECT_EQ(ClientPixel(30, 24), clBlack);
    // Body: window colour with silver lines; the selected current cell highlighted while
    // the grid has no focus.
    EXPECT_EQ(ClientPixel(150, 40), window);
    EXPECT_EQ(ClientPixel(129, 40), ColorToRGB(clSilver));
    EXPECT_EQ(ClientPixel(150, 49), ColorToRGB(clSilver));
    EXPECT_EQ(ClientPixel(90, 40), ColorToRGB(clHighlight));
    // Beyond the cells: the grid colour; round the client area the sunken border.
    EXPECT_EQ(ClientPixel(380, 40), window);
    EXPECT_EQ(ClientPixel(100, 150), window);
    EXPECT_EQ(Headless::PixelAt(grid.get(), 0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(Headless::PixelAt(grid.get(), 1, 1), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(Headless::PixelAt(grid.get(), 399, 199), ColorToRGB(clBtnHighlight));
    // Focused: the current cell is drawn plain with a dotted inverted outline.
    grid->SetFocus();
    grid->Repaint();
    EXPECT_EQ(ClientPixel(90, 40), window);
    EXPECT_EQ(ClientPixel(65, 25), ~window & 0xFFFFFF);
    // goDrawFocusSelected highlights it even when focused; FixedColor colours fixed cells.
    grid->SetOptions(grid->Options() | TGridOptions{goDrawFocusSelected});
    grid->SetFixedColor(clRed);
    grid->Repaint();
    EXPECT_EQ(ClientPixel(90, 40), ColorToRGB(clHighlight));
    EXPECT_EQ(ClientPixel(30, 12), ColorToRGB(clRed));
}

TEST_F(GridFixture, WithoutDefaultDrawingTheCellsAreTheProgramsOwn) {
    grid->SetDefaultDrawing(false);
    grid->SetRowCount(3);
    grid->OnDrawCell = [this](TObject*, int c, int r, TRect R, TGridDrawState) {
        grid->Canvas()->Brush()->SetColor(((c + r) % 2) ? clRed : clBlue);
        grid->Canvas()->FillRect(R);
    };
    grid->Repaint();
    EXPECT_EQ(ClientPixel(30, 12), ColorToRGB(clBlue));  // (0, 0): no face, no edge
    EXPECT_EQ(ClientPixel(0, 0), ColorToRGB(clBlue));
    EXPECT_EQ(ClientPixel(90, 12), ColorToRGB(clRed));   // (1, 0)
    EXPECT_EQ(ClientPixel(90, 40), ColorToRGB(clBlue));  // (1, 1): no highlight
    EXPECT_EQ(ClientPixel(64, 12), clBlack);             // the grid still draws its lines
    // The canvas draws in client coordinates and stays inside the client area.
    grid->Canvas()->Brush()->SetColor(clLime);
    grid->Canvas()->FillRect(Rect(-10, -10, 5, 5));
    EXPECT_EQ(ClientPixel(0, 0), ColorToRGB(clLime));
    EXPECT_EQ(Headless::PixelAt(grid.get(), 0, 0), ColorToRGB(clBtnShadow));
}

}  // namespace
