// The in-place editor: how text flows from GetEditText into the editor and back through
// SetEditText, Enter and Esc, following the cell, and the pick-list editor.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "host/Application.h"
#include "host/Edit.h"
#include "host/Form.h"
#include "host/Grid.h"
#include "host/InplaceEdit.h"
#include "host/platform/Headless.h"

using namespace kovo;

namespace {

using TEditCall = std::tuple<int, int, std::string>;

// A draw grid of 400 x 200 whose cells hold "c<col>r<row>" until edited, with goEditing.
struct EditFixture : ::testing::Test {
    std::unique_ptr<TDrawGrid> grid;
    std::vector<std::pair<int, int>> gets;
    std::vector<TEditCall> sets;

    void SetUp() override {
        Headless::Instance();
        Headless::SetModalHandler(nullptr);
        grid = std::make_unique<TDrawGrid>(nullptr);
        Attach(grid.get());
    }
    void TearDown() override {
        Headless::SetModalHandler(nullptr);
        grid.reset();
    }
    void Attach(TDrawGrid* g) {
        g->SetBounds(0, 0, 400, 200);
        g->SetOptions(g->Options() | TGridOptions{goEditing});
        g->OnGetEditText = [this](TObject*, int c, int r, std::string& v) {
            gets.emplace_back(c, r);
            v = "c" + std::to_string(c) + "r" + std::to_string(r);
        };
        g->OnSetEditText = [this](TObject*, int c, int r, const std::string& v) {
            sets.emplace_back(c, r, v);
        };
        g->SetFocus();
        Application->ProcessMessages();
    }
    TInplaceEdit* Editor() const { return grid->InplaceEditor(); }
    bool EditorShown() const { return Editor() && Editor()->Visible(); }
    void Key(WORD K, TShiftState Shift = {}) { Headless::PressKey(grid.get(), K, Shift); }
    void Type(const std::string& S) { Headless::TypeText(grid.get(), S); }
    void ClickCell(int Col, int Row) {
        TRect r = grid->CellRect(Col, Row);
        Headless::Advance(DoubleClickTime + 100);
        Headless::Click(grid.get(), r.Left + 5 + grid->BorderWidth(),
                        r.Top + 5 + grid->BorderWidth());
    }
    TRect EditorRectInClient() const {
        int b = grid->BorderWidth();
        return OffsetRect(Editor()->BoundsRect(), -b, -b);
    }
};

TEST_F(EditFixture, TextFlowsFromGetEditTextAndBackThroughSetEditText) {
    EXPECT_EQ(Editor(), nullptr);
    Key(VK_F2);
    ASSERT_TRUE(EditorShown());
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_TRUE(Editor()->Focused());
    EXPECT_EQ(EditorRectInClient(), grid->CellRect(1, 1));
    EXPECT_EQ(Editor()->Text(), "c1r1");
    ASSERT_EQ(gets.size(), 1u);
    EXPECT_EQ(gets[0], std::make_pair(1, 1));
    EXPECT_TRUE(sets.empty());  // loading the text is no edit
    // F2 puts the caret at the end; every change is reported at once.
    Type("x");
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0], TEditCall(1, 1, "c1r1x"));
    Key(VK_BACK);
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[1], TEditCall(1, 1, "c1r1"));
    // Enter ends the edit without another report and gives the focus back to the grid.
    Key(VK_RETURN);
    EXPECT_FALSE(EditorShown());
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_TRUE(grid->Focused());
    EXPECT_EQ(sets.size(), 2u);
    // Enter starts it again, with the whole text selected: typing replaces it.
    Key(VK_RETURN);
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(Editor()->SelLength(), 4);
    Type("new");
    EXPECT_EQ(std::get<2>(sets.back()), "new");
    EXPECT_EQ(Editor()->Text(), "new");
}

TEST_F(EditFixture, TypingOnTheGridOpensTheEditorWithTheCharacter) {
    Type("7");
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(Editor()->Text(), "7");
    ASSERT_FALSE(sets.empty());
    EXPECT_EQ(sets.back(), TEditCall(1, 1, "7"));
    Type("5");
    EXPECT_EQ(sets.back(), TEditCall(1, 1, "75"));
}

TEST_F(EditFixture, EscCancelsTheEditAndRestoresTheText) {
    std::vector<char32_t> gridChars;
    grid->OnKeyPress = [&](TObject*, char32_t& k) { gridChars.push_back(k); };
    Key(VK_F2);
    Type("zz");
    EXPECT_EQ(sets.back(), TEditCall(1, 1, "c1r1zz"));
    size_t before = sets.size();
    Key(VK_ESCAPE);
    EXPECT_FALSE(EditorShown());
    EXPECT_FALSE(grid->EditorMode());
    ASSERT_EQ(sets.size(), before + 1);
    EXPECT_EQ(sets.back(), TEditCall(1, 1, "c1r1"));
    EXPECT_EQ(Editor()->Text(), "c1r1");
    // The Esc character still reaches the grid, which has the focus again.
    ASSERT_FALSE(gridChars.empty());
    EXPECT_EQ(gridChars.back(), U'\x1b');
    // Esc without an edit changes nothing.
    Key(VK_F2);
    Key(VK_ESCAPE);
    EXPECT_EQ(sets.size(), before + 1);
}

TEST_F(EditFixture, TheEditorMovesWithTheCurrentCell) {
    Key(VK_F2);
    Type("!");
    Key(VK_DOWN);
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(Editor()->Text(), "c1r2");
    EXPECT_EQ(gets.back(), std::make_pair(1, 2));
    EXPECT_EQ(EditorRectInClient(), grid->CellRect(1, 2));
    EXPECT_TRUE(Editor()->Focused());
    // With goTabs, Tab moves on along the row.
    grid->SetOptions(grid->Options() | TGridOptions{goTabs});
    Key(VK_TAB);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(Editor()->Text(), "c2r2");
    // A click on another cell takes the editor there; a click on the current cell opens it.
    Key(VK_RETURN);
    ClickCell(3, 3);
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_FALSE(EditorShown());
    ClickCell(3, 3);
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(Editor()->Text(), "c3r3");
}

TEST_F(EditFixture, TheEditorFollowsTheCellWhenTheGridScrolls) {
    grid->SetRowCount(40);
    grid->SetRow(5);
    Key(VK_F2);
    ASSERT_TRUE(EditorShown());
    grid->SetTopRow(3);
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(EditorRectInClient(), grid->CellRect(1, 5));
    EXPECT_EQ(grid->CellRect(1, 5).Top, 25 + 2 * 25);
    // Out of view it waits hidden, still in editor mode; back in view it returns.
    grid->SetTopRow(10);
    EXPECT_FALSE(EditorShown());
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_TRUE(grid->Focused());
    grid->SetTopRow(4);
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(EditorRectInClient(), grid->CellRect(1, 5));
    EXPECT_TRUE(Editor()->Focused());
    // A wider column widens it.
    grid->SetColWidths(1, 100);
    EXPECT_EQ(Editor()->Width(), 100);
}

TEST_F(EditFixture, OptionsDecideWhetherThereIsAnEditor) {
    grid->SetOptions(grid->Options() - TGridOptions{goEditing});
    Key(VK_F2);
    Type("a");
    EXPECT_FALSE(EditorShown());
    grid->SetOptions(grid->Options() | TGridOptions{goEditing, goRowSelect});
    Key(VK_F2);
    EXPECT_FALSE(EditorShown());
    // goAlwaysShowEditor shows it at once and keeps it while moving.
    grid->SetOptions(TGridOptions{goEditing, goAlwaysShowEditor, goVertLine, goHorzLine});
    ASSERT_TRUE(EditorShown());
    Key(VK_DOWN);
    EXPECT_TRUE(EditorShown());
    EXPECT_EQ(Editor()->Text(), "c1r2");
    // Turning editing off hides a shown editor.
    grid->SetOptions(TGridOptions{goVertLine});
    EXPECT_FALSE(EditorShown());
    EXPECT_FALSE(grid->EditorMode());
}

TEST_F(EditFixture, AStringGridKeepsWhatIsTyped) {
    auto sg = std::make_unique<TStringGrid>(nullptr);
    Attach(sg.get());
    sg->OnGetEditText = nullptr;
    sg->SetCells(2, 1, "old");
    sg->SetCol(2);
    Headless::PressKey(sg.get(), VK_F2);
    ASSERT_TRUE(sg->InplaceEditor());
    EXPECT_EQ(sg->InplaceEditor()->Text(), "old");
    Headless::TypeText(sg.get(), "er");
    EXPECT_EQ(sg->Cells(2, 1), "older");
    EXPECT_EQ(std::get<2>(sets.back()), "older");
    Headless::PressKey(sg.get(), VK_RETURN);
    // The text is drawn 2 pixels in from the cell's corner.
    sg->Canvas()->StartRecording();
    sg->Repaint();
    sg->Canvas()->StopRecording();
    TRect cell = sg->CellRect(2, 1);
    bool found = false;
    for (const TCanvasCall& call : sg->Canvas()->Calls())
        if (call.Op == "TextRect" && call.Text == "older") {
            found = true;
            ASSERT_GE(call.Args.size(), 6u);
            EXPECT_EQ(call.Args[4], cell.Left + 2);
            EXPECT_EQ(call.Args[5], cell.Top + 2);
        }
    EXPECT_TRUE(found);
    // Texts go with their columns and rows, and with the cells that are dropped.
    sg->MoveColumn(2, 4);
    EXPECT_EQ(sg->Cells(4, 1), "older");
    EXPECT_EQ(sg->Cells(2, 1), "");
    sg->MoveRow(1, 3);
    EXPECT_EQ(sg->Cells(4, 3), "older");
    sg->SetColCount(3);
    sg->SetColCount(5);
    EXPECT_EQ(sg->Cells(4, 3), "");
}

TEST(GridEditFocus, TheEditorTakingTheFocusDoesNotLeaveTheGrid) {
    Headless::Instance();
    TForm form(nullptr);
    form.SetBounds(0, 0, 500, 300);
    auto* grid = new TDrawGrid(&form);
    grid->SetParent(&form);
    grid->SetBounds(10, 10, 400, 200);
    grid->SetOptions(grid->Options() | TGridOptions{goEditing});
    auto* other = new TEdit(&form);
    other->SetParent(&form);
    other->SetBounds(10, 250, 100, 21);
    form.Show();
    other->SetFocus();
    int enters = 0, exits = 0;
    grid->OnEnter = [&](TObject*) { ++enters; };
    grid->OnExit = [&](TObject*) { ++exits; };
    grid->SetFocus();
    Application->ProcessMessages();
    EXPECT_EQ(enters, 1);
    Headless::PressKey(grid, VK_F2);
    ASSERT_TRUE(grid->InplaceEditor() && grid->InplaceEditor()->Focused());
    Headless::PressKey(grid, VK_RETURN);
    EXPECT_TRUE(grid->Focused());
    Headless::PressKey(grid, VK_F2);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(exits, 0);
    // Leaving from the editor leaves the grid; coming back into the editor enters it.
    other->SetFocus();
    EXPECT_EQ(exits, 1);
    grid->InplaceEditor()->SetFocus();
    EXPECT_EQ(enters, 2);
    // The editor lies over the cell in the form's picture, its text where the grid draws.
    TRect cell = grid->CellRect(1, 1);
    int b = grid->BorderWidth();
    EXPECT_EQ(grid->InplaceEditor()->BoundsRect(), OffsetRect(cell, b, b));
}

// A grid whose column 2 is edited with a pick list of colours, column 3 with a "..." button.
class TPickGrid : public TDrawGrid {
  public:
    using TDrawGrid::TDrawGrid;
    int rows = 7;

  protected:
    TEditStyle GetEditStyle(int ACol, int) override {
        return ACol == 2 ? esPickList : ACol == 3 ? esEllipsis : esSimple;
    }
    TInplaceEdit* CreateEditor() override {
        auto* e = new TInplaceEditList(this);
        e->SetDropDownRows(rows);
        e->OnGetPickListItems = [](int, int, TStrings* Items) {
            Items->Clear();
            Items->Add("red");
            Items->Add("green");
            Items->Add("blue");
        };
        return e;
    }
};

TEST_F(EditFixture, APickListOffersItsEntries) {
    auto pg = std::make_unique<TPickGrid>(nullptr);
    pg->rows = 2;
    Attach(pg.get());
    pg->SetCol(1);
    Headless::PressKey(pg.get(), VK_F2);
    auto* list = dynamic_cast<TInplaceEditList*>(pg->InplaceEditor());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->EditStyle(), esSimple);
    EXPECT_TRUE(list->ButtonRect().IsEmpty());
    Headless::PressKey(pg.get(), VK_TAB);  // no goTabs: Tab leaves the cell alone
    Headless::PressKey(pg.get(), VK_RIGHT, {ssCtrl});
    Headless::PressKey(pg.get(), VK_RETURN);
    pg->SetCol(2);
    Headless::PressKey(pg.get(), VK_F2);
    ASSERT_TRUE(list->Visible());
    EXPECT_EQ(list->EditStyle(), esPickList);
    EXPECT_EQ(list->ButtonRect(), Rect(64 - ScrollBarSize, 0, 64, 24));
    // Alt+Down drops the list; the user picks the second entry.
    TPopupListbox* seen = nullptr;
    Headless::SetModalHandler([&](TObject* s) {
        seen = dynamic_cast<TPopupListbox*>(s);
        if (!seen) return;
        int ih = seen->ItemHeight();
        Headless::Click(seen, 10, 1 + ih + ih / 2);
    });
    Headless::PressKey(pg.get(), VK_DOWN, {ssAlt});
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen->Items()->Count(), 3);
    EXPECT_EQ(seen->VisibleRows(), 2);
    EXPECT_FALSE(seen->ScrollBar()->BoundsRect().IsEmpty());
    EXPECT_EQ(list->Text(), "green");
    EXPECT_EQ(sets.back(), TEditCall(2, 1, "green"));
    EXPECT_FALSE(list->ListVisible());
    // A click on the button drops it too; Esc in the list changes nothing.
    Headless::SetModalHandler([&](TObject* s) {
        if (auto* l = dynamic_cast<TPopupListbox*>(s)) {
            EXPECT_EQ(l->ItemIndex(), 1);  // the current text is highlighted
            Headless::PressKey(l, VK_DOWN);
            Headless::PressKey(l, VK_ESCAPE);
        }
    });
    size_t before = sets.size();
    TRect button = list->ButtonRect();
    Headless::Advance(DoubleClickTime + 100);
    Headless::Click(list, button.Left + 5, button.Top + 5);
    EXPECT_EQ(list->Text(), "green");
    EXPECT_EQ(sets.size(), before);
    // Keys in the list: Down twice from "green" wraps to nothing more than "blue", Enter takes it.
    Headless::SetModalHandler([&](TObject* s) {
        if (auto* l = dynamic_cast<TPopupListbox*>(s)) {
            Headless::PressKey(l, VK_DOWN);
            Headless::PressKey(l, VK_DOWN);
            Headless::PressKey(l, VK_RETURN);
        }
    });
    Headless::PressKey(pg.get(), VK_F4);
    EXPECT_EQ(list->Text(), "blue");
    EXPECT_EQ(sets.back(), TEditCall(2, 1, "blue"));
}

TEST_F(EditFixture, AnEllipsisButtonCallsItsEvent) {
    auto pg = std::make_unique<TPickGrid>(nullptr);
    Attach(pg.get());
    pg->SetCol(3);
    Headless::PressKey(pg.get(), VK_F2);
    auto* list = dynamic_cast<TInplaceEditList*>(pg->InplaceEditor());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->EditStyle(), esEllipsis);
    int pressed = 0;
    list->OnEditButtonClick = [&](TObject* Sender) {
        EXPECT_EQ(Sender, pg.get());
        ++pressed;
    };
    TRect button = list->ButtonRect();
    ASSERT_FALSE(button.IsEmpty());
    // Released off the button it does nothing; on it, it clicks; Ctrl+Enter clicks too.
    Headless::Advance(DoubleClickTime + 100);
    Headless::MouseDown(list, button.Left + 5, 5);
    Headless::MouseMove(list, 5, 5, {ssLeft});
    Headless::MouseUp(list, 5, 5);
    EXPECT_EQ(pressed, 0);
    Headless::Advance(DoubleClickTime + 100);
    Headless::Click(list, button.Left + 5, 5);
    EXPECT_EQ(pressed, 1);
    Headless::PressKey(pg.get(), VK_RETURN, {ssCtrl});
    EXPECT_EQ(pressed, 2);
    // The button is drawn at the right end: a raised face with three dots.
    EXPECT_EQ(Headless::PixelAt(list, button.Left + 3, button.Top + 3), ColorToRGB(clBtnFace));
    EXPECT_EQ(Headless::PixelAt(list, button.Left, button.Top), ColorToRGB(cl3DLight));
    int cx = button.Left + (button.Width() - 1) / 2, cy = button.Top + (button.Height() - 1) / 2;
    EXPECT_EQ(Headless::PixelAt(list, cx, cy), ColorToRGB(clBtnText));
    Headless::PressKey(pg.get(), VK_F4);  // no list on this cell
    EXPECT_FALSE(list->ListVisible());
}

}  // namespace
