// The grid under the mouse and the keyboard: making cells current, selecting ranges,
// refusing cells, whole-row selection, sizing and moving columns and rows, the wheel, the
// scroll bars and scrolling while a selection is dragged.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/Application.h"
#include "host/Grid.h"
#include "host/platform/Headless.h"

using namespace kovo;

namespace {

// A 10 x 20 draw grid of 400 x 200 (both scroll bars, client 379 x 179), focused.
struct InputFixture : ::testing::Test {
    std::unique_ptr<TDrawGrid> grid;
    int clicks = 0;

    void SetUp() override {
        Headless::Instance();
        Headless::SetTimersRefused(false);
        grid = std::make_unique<TDrawGrid>(nullptr);
        grid->SetBounds(0, 0, 400, 200);
        grid->SetColCount(10);
        grid->SetRowCount(20);
        grid->OnClick = [this](TObject*) { ++clicks; };
        grid->SetFocus();
        Application->ProcessMessages();
    }
    void TearDown() override { grid.reset(); }

    int B() const { return grid->BorderWidth(); }
    // Client-coordinate mouse actions, far enough apart in time not to make double clicks.
    void Click(int X, int Y, TShiftState Shift = {}) {
        Headless::Advance(DoubleClickTime + 100);
        Headless::Click(grid.get(), X + B(), Y + B(), mbLeft, Shift);
    }
    void Down(int X, int Y, TShiftState Shift = {}) {
        Headless::Advance(DoubleClickTime + 100);
        Headless::MouseDown(grid.get(), X + B(), Y + B(), mbLeft, Shift);
    }
    void Move(int X, int Y) { Headless::MouseMove(grid.get(), X + B(), Y + B(), {ssLeft}); }
    void Up(int X, int Y) { Headless::MouseUp(grid.get(), X + B(), Y + B()); }
    void Key(WORD K, TShiftState Shift = {}) { Headless::PressKey(grid.get(), K, Shift); }
    // The centre of a cell in view.
    TPoint At(int Col, int Row) {
        TRect r = grid->CellRect(Col, Row);
        return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    void ClickCell(int Col, int Row, TShiftState Shift = {}) {
        TPoint p = At(Col, Row);
        Click(p.X, p.Y, Shift);
    }
    TGridCoord Current() const { return TGridCoord{grid->Col(), grid->Row()}; }
};

TEST_F(InputFixture, AClickMakesTheCellCurrent) {
    ClickCell(3, 2);
    EXPECT_EQ(Current(), (TGridCoord{3, 2}));
    EXPECT_EQ(grid->Selection(), (TGridRect{3, 2, 3, 2}));
    EXPECT_EQ(clicks, 1);
    // Fixed cells and the empty area beyond the cells change nothing.
    ClickCell(0, 4);
    ClickCell(5, 0);
    EXPECT_EQ(Current(), (TGridCoord{3, 2}));
    // A click takes the focus.
    TDrawGrid other(nullptr);
    other.SetBounds(0, 0, 200, 200);
    Headless::Advance(DoubleClickTime + 100);
    Headless::Click(&other, 100, 50);
    EXPECT_TRUE(other.Focused());
}

TEST_F(InputFixture, ADragSelectsARangeAndKeepsTheCurrentCell) {
    TPoint a = At(1, 1), b = At(3, 2);
    Down(a.X, a.Y);
    EXPECT_EQ(grid->GridState(), gsSelecting);
    Move(b.X, b.Y);
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 3, 2}));
    Up(b.X, b.Y);
    EXPECT_EQ(grid->GridState(), gsNormal);
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 3, 2}));
    EXPECT_EQ(Current(), (TGridCoord{1, 1}));
    EXPECT_EQ(clicks, 1);
    // Dragging back above the start turns the range round it.
    TPoint c = At(2, 1);
    Down(b.X, b.Y);
    Move(c.X, c.Y);
    Move(At(1, 1).X, At(1, 1).Y);
    Up(At(1, 1).X, At(1, 1).Y);
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 3, 2}));
    EXPECT_EQ(Current(), (TGridCoord{3, 2}));
    // Without goRangeSelect a drag only moves the current cell.
    grid->SetOptions(grid->Options() - TGridOptions{goRangeSelect});
    Down(a.X, a.Y);
    Move(b.X, b.Y);
    Up(b.X, b.Y);
    EXPECT_EQ(Current(), (TGridCoord{3, 2}));
    EXPECT_EQ(grid->Selection(), (TGridRect{3, 2, 3, 2}));
}

TEST_F(InputFixture, ShiftClickExtendsFromTheCurrentCell) {
    ClickCell(2, 2);
    ClickCell(4, 5, {ssShift});
    EXPECT_EQ(grid->Selection(), (TGridRect{2, 2, 4, 5}));
    EXPECT_EQ(Current(), (TGridCoord{2, 2}));
    ClickCell(1, 1, {ssShift});
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 2, 2}));
    ClickCell(3, 3);
    EXPECT_EQ(grid->Selection(), (TGridRect{3, 3, 3, 3}));
}

TEST_F(InputFixture, KeysMoveTheCurrentCell) {
    // Client 379 x 179: six rows in full view, so a page is five rows.
    struct Step {
        WORD key;
        TShiftState shift;
        TGridCoord cur;
        TGridRect sel;
        int top;
    } steps[] = {
        {VK_RIGHT, {}, {2, 1}, {2, 1, 2, 1}, 1},
        {VK_DOWN, {}, {2, 2}, {2, 2, 2, 2}, 1},
        {VK_DOWN, {ssShift}, {2, 3}, {2, 2, 2, 3}, 1},
        {VK_RIGHT, {ssShift}, {3, 3}, {2, 2, 3, 3}, 1},
        {VK_END, {}, {9, 3}, {9, 3, 9, 3}, 1},
        {VK_HOME, {}, {1, 3}, {1, 3, 1, 3}, 1},
        {VK_LEFT, {}, {1, 3}, {1, 3, 1, 3}, 1},  // the fixed column is never current
        {VK_NEXT, {}, {1, 8}, {1, 8, 1, 8}, 6},
        {VK_NEXT, {}, {1, 13}, {1, 13, 1, 13}, 11},
        {VK_NEXT, {}, {1, 18}, {1, 18, 1, 18}, 14},  // the top row stops at the last page
        {VK_NEXT, {}, {1, 19}, {1, 19, 1, 19}, 14},
        {VK_PRIOR, {}, {1, 14}, {1, 14, 1, 14}, 9},
        {VK_HOME, {ssCtrl}, {1, 1}, {1, 1, 1, 1}, 1},
        {VK_UP, {}, {1, 1}, {1, 1, 1, 1}, 1},
        {VK_END, {ssCtrl}, {9, 19}, {9, 19, 9, 19}, 14},
        {VK_PRIOR, {ssCtrl}, {9, 14}, {9, 14, 9, 14}, 14},
        {VK_UP, {ssCtrl}, {9, 14}, {9, 14, 9, 14}, 13},  // Ctrl+arrow scrolls only
    };
    int n = 0;
    for (const Step& s : steps) {
        Key(s.key, s.shift);
        EXPECT_EQ(Current(), s.cur) << "step " << n;
        EXPECT_EQ(grid->Selection(), s.sel) << "step " << n;
        EXPECT_EQ(grid->TopRow(), s.top) << "step " << n;
        ++n;
    }
    EXPECT_GE(clicks, 10);  // every move of the current cell clicks
}

TEST_F(InputFixture, TabRunsAlongTheRowsWithGoTabs) {
    EXPECT_EQ(grid->Perform(WM_GETDLGCODE) & DLGC_WANTTAB, 0);
    grid->SetOptions(grid->Options() | TGridOptions{goTabs});
    EXPECT_NE(grid->Perform(WM_GETDLGCODE) & DLGC_WANTTAB, 0);
    grid->SetCol(8);
    Key(VK_TAB);
    EXPECT_EQ(Current(), (TGridCoord{9, 1}));
    Key(VK_TAB);
    EXPECT_EQ(Current(), (TGridCoord{1, 2}));
    Key(VK_TAB, {ssShift});
    EXPECT_EQ(Current(), (TGridCoord{9, 1}));
    EXPECT_EQ(grid->Selection(), (TGridRect{9, 1, 9, 1}));  // Shift+Tab does not extend
    grid->SetCol(1);
    Key(VK_TAB, {ssShift});
    EXPECT_EQ(Current(), (TGridCoord{9, 19}));  // from the first cell round to the last
}

TEST_F(InputFixture, SelectCellCanRefuseAMove) {
    std::vector<std::pair<int, int>> asked;
    grid->OnSelectCell = [&](TObject*, int c, int r, bool& can) {
        asked.emplace_back(c, r);
        can = c != 3;
    };
    ClickCell(2, 2);
    EXPECT_EQ(Current(), (TGridCoord{2, 2}));
    ClickCell(3, 4);
    EXPECT_EQ(Current(), (TGridCoord{2, 2}));
    EXPECT_EQ(asked.back(), std::make_pair(3, 4));
    Key(VK_RIGHT);
    EXPECT_EQ(Current(), (TGridCoord{2, 2}));
    grid->SetCol(3);
    EXPECT_EQ(Current(), (TGridCoord{2, 2}));
    grid->SetCol(4);
    EXPECT_EQ(Current(), (TGridCoord{4, 2}));
    // Setting the selection asks nothing.
    asked.clear();
    grid->SetSelection(TGridRect{3, 3, 3, 3});
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(Current(), (TGridCoord{3, 3}));
}

TEST_F(InputFixture, RowSelectSelectsWholeRows) {
    grid->SetOptions(grid->Options() | TGridOptions{goRowSelect});
    ClickCell(3, 2);
    EXPECT_EQ(Current(), (TGridCoord{1, 2}));
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 2, 9, 2}));
    Key(VK_DOWN, {ssShift});
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 2, 9, 3}));
    // Left and right scroll instead of moving; Home and End go to the first and last row.
    Key(VK_RIGHT);
    EXPECT_EQ(grid->LeftCol(), 2);
    EXPECT_EQ(Current(), (TGridCoord{1, 3}));
    Key(VK_END);
    EXPECT_EQ(Current(), (TGridCoord{1, 19}));
    Key(VK_HOME);
    EXPECT_EQ(Current(), (TGridCoord{1, 1}));
    EXPECT_EQ(grid->Perform(WM_GETDLGCODE), DLGC_WANTARROWS);
}

TEST_F(InputFixture, DraggingAColumnBorderSizesTheColumn) {
    grid->SetOptions(grid->Options() | TGridOptions{goColSizing});
    // The line after column 1 is at x = 129; the grip reaches 3 pixels in and 4 beyond.
    Headless::MouseMove(grid.get(), 127 + B(), 10 + B());
    EXPECT_EQ(Headless::CursorShape(), crHSplit);
    Headless::MouseMove(grid.get(), 120 + B(), 10 + B());
    EXPECT_EQ(Headless::CursorShape(), crDefault);
    Headless::MouseMove(grid.get(), 127 + B(), 40 + B());  // only in the fixed rows
    EXPECT_EQ(Headless::CursorShape(), crDefault);
    Down(127, 10);
    EXPECT_EQ(grid->GridState(), gsColSizing);
    Move(160, 12);
    EXPECT_EQ(grid->ColWidths(1), 64);  // the width follows at the release
    // The sizing line is drawn inverted over the cells.
    EXPECT_EQ(Headless::PixelAt(grid.get(), 162 + B(), 100 + B()),
              ~ColorToRGB(clWindow) & 0xFFFFFF);
    Up(160, 12);
    EXPECT_EQ(grid->GridState(), gsNormal);
    EXPECT_EQ(grid->ColWidths(1), 64 + 33);
    EXPECT_EQ(grid->CellRect(2, 1).Left, 65 + 97 + 1);
    EXPECT_EQ(Current(), (TGridCoord{1, 1}));  // sizing selects nothing
    // Fixed columns are not sized; a size of 1 or less is refused.
    Down(64, 10);
    EXPECT_EQ(grid->GridState(), gsNormal);
    Up(64, 10);
    Down(162, 10);
    Move(50, 10);
    Up(50, 10);
    EXPECT_EQ(grid->ColWidths(1), 97);
}

TEST_F(InputFixture, DraggingARowBorderSizesTheRow) {
    grid->SetOptions(grid->Options() | TGridOptions{goRowSizing});
    Headless::MouseMove(grid.get(), 10 + B(), 49 + B());
    EXPECT_EQ(Headless::CursorShape(), crVSplit);
    Down(10, 49);
    EXPECT_EQ(grid->GridState(), gsRowSizing);
    Move(10, 70);
    Up(10, 70);
    EXPECT_EQ(grid->RowHeights(1), 45);
    EXPECT_EQ(grid->RowHeights(2), 24);
}

TEST_F(InputFixture, DraggingAFixedCellMovesItsColumn) {
    grid->SetOptions(grid->Options() | TGridOptions{goColMoving});
    grid->SetColWidths(1, 40);
    std::vector<std::pair<int, int>> moved;
    grid->OnColumnMoved = [&](TObject*, int from, int to) { moved.emplace_back(from, to); };
    ClickCell(1, 3);
    TPoint from = At(1, 0), to = At(3, 0);
    Down(from.X, from.Y);
    EXPECT_EQ(grid->GridState(), gsColMoving);
    Move(to.X, to.Y);
    Up(to.X, to.Y);
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0], std::make_pair(1, 3));
    EXPECT_EQ(grid->ColWidths(3), 40);
    EXPECT_EQ(grid->ColWidths(1), 64);
    EXPECT_EQ(Current(), (TGridCoord{3, 3}));  // the current cell went with its column
    grid->MoveRow(5, 2);
    grid->MoveColumn(0, 99);  // out of range: nothing
    EXPECT_EQ(moved.size(), 1u);
}

TEST_F(InputFixture, TheWheelMovesTheCurrentRow) {
    TPoint p = At(2, 2);
    Headless::Wheel(grid.get(), p.X + B(), p.Y + B(), -WHEEL_DELTA);
    EXPECT_EQ(Current(), (TGridCoord{1, 2}));
    Headless::Wheel(grid.get(), p.X + B(), p.Y + B(), -WHEEL_DELTA);
    Headless::Wheel(grid.get(), p.X + B(), p.Y + B(), WHEEL_DELTA);
    EXPECT_EQ(Current(), (TGridCoord{1, 2}));
    // A handler that takes the turn leaves the row alone.
    grid->OnMouseWheelDown = [](TObject*, TShiftState, TPoint, bool& handled) { handled = true; };
    Headless::Wheel(grid.get(), p.X + B(), p.Y + B(), -WHEEL_DELTA);
    EXPECT_EQ(Current(), (TGridCoord{1, 2}));
    grid->SetRow(19);
    grid->OnMouseWheelDown = nullptr;
    Headless::Wheel(grid.get(), p.X + B(), p.Y + B(), -WHEEL_DELTA);
    EXPECT_EQ(Current(), (TGridCoord{1, 19}));
}

TEST_F(InputFixture, TheScrollBarsWorkWithTheMouse) {
    TScrollBarPiece* v = grid->VertScrollBar();
    TRect bar = v->BoundsRect();
    ASSERT_FALSE(bar.IsEmpty());
    // Control coordinates: the down arrow at the bar's bottom.
    int x = bar.Left + 8;
    Headless::Advance(DoubleClickTime + 100);
    Headless::MouseDown(grid.get(), x, bar.Bottom - 5);
    EXPECT_EQ(grid->TopRow(), 2);
    Headless::Advance(ScrollRepeatDelay + 2 * ScrollRepeatInterval);
    EXPECT_EQ(grid->TopRow(), 5);
    Headless::MouseUp(grid.get(), x, bar.Bottom - 5);
    Headless::Advance(500);
    EXPECT_EQ(grid->TopRow(), 5);
    EXPECT_EQ(Current(), (TGridCoord{1, 1}));  // scrolling leaves the current cell
    EXPECT_EQ(clicks, 0);
    // A press on the track pages (five rows); the top row never passes the last page.
    Headless::Advance(DoubleClickTime + 100);
    Headless::Click(grid.get(), x, bar.Bottom - 20);
    EXPECT_EQ(grid->TopRow(), 10);
    Headless::Advance(DoubleClickTime + 100);
    Headless::Click(grid.get(), x, bar.Bottom - 20);
    EXPECT_EQ(grid->TopRow(), 14);
    EXPECT_EQ(v->Position(), 14);
    // The thumb: without goThumbTracking the view moves when it is let go.
    TRect thumb = v->PartRect(sbpThumb);
    Headless::Advance(DoubleClickTime + 100);
    Headless::MouseDown(grid.get(), x, thumb.Top + 2);
    Headless::MouseMove(grid.get(), x, bar.Top + 17 + 2, {ssLeft});
    EXPECT_EQ(grid->TopRow(), 14);
    Headless::MouseUp(grid.get(), x, bar.Top + 17 + 2);
    EXPECT_EQ(grid->TopRow(), 1);
    grid->SetOptions(grid->Options() | TGridOptions{goThumbTracking});
    thumb = v->PartRect(sbpThumb);
    Headless::Advance(DoubleClickTime + 100);
    Headless::MouseDown(grid.get(), x, thumb.Top + 2);
    Headless::MouseMove(grid.get(), x, bar.Bottom - 17 - 2, {ssLeft});
    EXPECT_EQ(grid->TopRow(), 14);
    Headless::MouseUp(grid.get(), x, bar.Bottom - 17 - 2);
    // The horizontal bar scrolls the columns.
    TRect h = grid->HorzScrollBar()->BoundsRect();
    Headless::Advance(DoubleClickTime + 100);
    Headless::Click(grid.get(), h.Right - 5, h.Top + 8);
    EXPECT_EQ(grid->LeftCol(), 2);
    // The corner between the bars and the border take no clicks.
    Headless::Advance(DoubleClickTime + 100);
    Headless::Click(grid.get(), 398, 198);
    Headless::Click(grid.get(), 0, 100);
    EXPECT_EQ(Current(), (TGridCoord{1, 1}));
}

TEST_F(InputFixture, DraggingBeyondTheCellsScrollsTheSelection) {
    TPoint a = At(2, 3);
    Down(a.X, a.Y);
    Move(a.X, 250);  // below the client area
    // One row further per tick of 60 ms; beyond row 6 the view follows.
    Headless::Advance(60 * 4);
    TGridRect sel = grid->Selection();
    EXPECT_EQ(sel.Top, 3);
    EXPECT_EQ(sel.Bottom, 7);
    EXPECT_EQ(grid->TopRow(), 2);
    EXPECT_EQ(Current(), (TGridCoord{2, 3}));
    Up(a.X, 250);
    int rows = grid->Selection().Bottom;
    Headless::Advance(60 * 4);
    EXPECT_EQ(grid->Selection().Bottom, rows);  // the timer ended with the drag
}

TEST_F(InputFixture, ADoubleClickIsNoSecondSelection) {
    int dbl = 0;
    grid->OnDblClick = [&](TObject*) { ++dbl; };
    TPoint a = At(2, 2);
    Headless::Advance(DoubleClickTime + 100);
    Headless::DoubleClick(grid.get(), a.X + B(), a.Y + B());
    EXPECT_EQ(dbl, 1);
    EXPECT_EQ(Current(), (TGridCoord{2, 2}));
    EXPECT_EQ(grid->GridState(), gsNormal);
}

TEST_F(InputFixture, AFixedCellUnderTheMouseIsHotTracked) {
    std::vector<std::pair<TGridCoord, TGridDrawState>> drawn;
    grid->OnDrawCell = [&](TObject*, int c, int r, TRect, TGridDrawState s) {
        drawn.emplace_back(TGridCoord{c, r}, s);
    };
    auto stateOf = [&](TGridCoord cell) {
        TGridDrawState last;
        for (auto& [c, s] : drawn)
            if (c == cell) last = s;
        return last;
    };
    TPoint p = At(2, 0);
    Headless::MouseMove(grid.get(), p.X + B(), p.Y + B());
    EXPECT_TRUE(stateOf({2, 0}).contains(gdHotTrack));
    drawn.clear();
    TPoint q = At(2, 2);
    Headless::MouseMove(grid.get(), q.X + B(), q.Y + B());
    EXPECT_FALSE(stateOf({2, 0}).contains(gdHotTrack));
    EXPECT_FALSE(stateOf({2, 2}).contains(gdHotTrack));  // only fixed cells
    EXPECT_FALSE(drawn.empty());
}

}  // namespace
