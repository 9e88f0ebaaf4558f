#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/Application.h"
#include "host/Clipboard.h"
#include "host/Edit.h"
#include "host/Form.h"
#include "host/Memo.h"
#include "host/TextRender.h"
#include "host/platform/Headless.h"

using namespace kovo;

namespace {

struct MemoFixture : ::testing::Test {
    std::unique_ptr<TForm> form;
    TMemo* memo = nullptr;
    TEdit* next = nullptr;
    int changes = 0;

    void SetUp() override {
        Headless::Instance();
        Headless::SetModalHandler(nullptr);
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 400, 300);
        memo = new TMemo(form.get());
        memo->SetParent(form.get());
        memo->SetBounds(10, 10, 200, 120);
        next = new TEdit(form.get());
        next->SetParent(form.get());
        next->SetBounds(10, 200, 100, 23);
        form->Show();
        memo->SetFocus();
        Application->ProcessMessages();
        Headless::Advance(1000);
        memo->OnChange = [this](TObject*) { ++changes; };
    }

    void Type(const std::string& s) { Headless::TypeText(memo, s); }
    void Key(WORD k, TShiftState s = {}) { Headless::PressKey(memo, k, s); }
    int LineH() { return GetTextMetrics(*memo->Font()).tmHeight; }
};

}  // namespace

TEST_F(MemoFixture, LinesViewTheText) {
    TStrings* lines = memo->Lines();
    EXPECT_EQ(lines->Count(), 0);
    lines->Add("one");
    lines->Add("two");
    // Lines added end with a line break; the empty line after it does not count.
    EXPECT_EQ(memo->Text(), "one\ntwo\n");
    EXPECT_EQ(lines->Count(), 2);
    lines->Insert(1, "between");
    EXPECT_EQ(memo->Text(), "one\nbetween\ntwo\n");
    lines->SetStrings(0, "ONE");
    lines->Delete(2);
    EXPECT_EQ(memo->Text(), "ONE\nbetween\n");
    EXPECT_EQ(lines->Strings(1), "between");
    EXPECT_THROW(lines->Strings(2), EStringListError);
    EXPECT_THROW(lines->Insert(5, "x"), EStringListError);
    EXPECT_EQ(changes, 5);
    // Text set directly: line breaks of any kind become "\n"; no break at the end is added.
    memo->SetText("a\r\nb\rc");
    EXPECT_EQ(memo->Text(), "a\nb\nc");
    EXPECT_EQ(lines->Count(), 3);
    EXPECT_EQ(lines->Strings(2), "c");
    lines->Add("d");
    EXPECT_EQ(memo->Text(), "a\nb\nc\nd");
    lines->Delete(3);
    EXPECT_EQ(memo->Text(), "a\nb\nc\n");
    lines->SetText("x\ny\n");
    EXPECT_EQ(lines->Count(), 2);
    lines->Clear();
    EXPECT_EQ(memo->Text(), "");
    // Assigning other strings copies them line by line.
    TStringList src;
    src.Add("p");
    src.Add("q");
    memo->SetLines(&src);
    EXPECT_EQ(lines->Count(), 2);
    EXPECT_EQ(lines->Strings(1), "q");
}

TEST_F(MemoFixture, EnterMakesLinesAndHandlersCanSwallowIt) {
    Type("first");
    Key(VK_RETURN);
    Type("second");
    EXPECT_EQ(memo->Text(), "first\nsecond");
    EXPECT_EQ(memo->CaretPos(), (TPoint{6, 1}));
    // The comment editor's way: Enter and Esc taken in OnKeyPress never reach the text.
    std::vector<unsigned> taken;
    memo->OnKeyPress = [&](TObject*, char32_t& Key) {
        if (Key == 13 || Key == 27) {
            taken.push_back(unsigned(Key));
            Key = 0;
        }
    };
    Key(VK_RETURN);
    Key(VK_ESCAPE);
    EXPECT_EQ(taken, (std::vector<unsigned>{13, 27}));
    EXPECT_EQ(memo->Text(), "first\nsecond");
    memo->OnKeyPress = nullptr;
    memo->SetWantReturns(false);
    Key(VK_RETURN);
    EXPECT_EQ(memo->Text(), "first\nsecond");
}

TEST_F(MemoFixture, CaretMovesAcrossLines) {
    memo->SetText("abcdefg\nab\nabcdefg hij");
    memo->SetCaretPos({4, 0});
    Key(VK_DOWN);
    EXPECT_EQ(memo->CaretPos(), (TPoint{2, 1}));  // the short line takes its end
    Key(VK_DOWN);
    EXPECT_EQ(memo->CaretPos(), (TPoint{4, 2}));  // the column comes back on a long line
    Key(VK_UP, TShiftState{ssShift});
    Key(VK_UP, TShiftState{ssShift});
    EXPECT_EQ(memo->CaretPos(), (TPoint{4, 0}));
    EXPECT_EQ(memo->SelText(), "efg\nab\nabcd");
    Key(VK_HOME);
    EXPECT_EQ(memo->CaretPos(), (TPoint{0, 0}));
    Key(VK_END);
    EXPECT_EQ(memo->CaretPos(), (TPoint{7, 0}));
    Key(VK_END, TShiftState{ssCtrl});
    EXPECT_EQ(memo->SelStart(), 22);
    Key(VK_HOME, TShiftState{ssCtrl});
    EXPECT_EQ(memo->SelStart(), 0);
    // Right at the end of a line goes on to the next one; Backspace at a line start joins.
    memo->SetCaretPos({7, 0});
    Key(VK_RIGHT);
    EXPECT_EQ(memo->CaretPos(), (TPoint{0, 1}));
    Key(VK_BACK);
    EXPECT_EQ(memo->Text(), "abcdefgab\nabcdefg hij");
    // Copying a selection across lines keeps its line breaks; pasting turns CR LF into LF.
    memo->SelectAll();
    memo->CopyToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "abcdefgab\nabcdefg hij");
    memo->SetSelStart(int(memo->Text().size()));
    Clipboard()->SetAsText("x\r\ny");
    memo->PasteFromClipboard();
    EXPECT_EQ(memo->Text(), "abcdefgab\nabcdefg hijx\ny");
}

TEST_F(MemoFixture, WordWrapBreaksLongLinesIntoRows) {
    std::string words;
    for (int i = 0; i < 12; ++i) words += "word" + std::to_string(i) + " ";
    memo->SetText(words);
    EXPECT_GT(memo->RowCount(), 1);
    EXPECT_EQ(memo->Lines()->Count(), 1);
    // Every row starts with a word, and no row is wider than the box.
    for (int pos = 0; pos < int(words.size()); ++pos) {
        TPoint p = memo->PointOfPosition(pos);
        EXPECT_LE(p.X, 200);
    }
    // Down moves by rows, not by lines.
    memo->SetSelStart(0);
    Key(VK_DOWN);
    EXPECT_EQ(memo->CaretPos().Y, 0);
    EXPECT_GT(memo->SelStart(), 0);
    EXPECT_EQ(memo->PointOfPosition(memo->SelStart()).Y, memo->PointOfPosition(0).Y + LineH());
    memo->SetWordWrap(false);
    EXPECT_EQ(memo->RowCount(), 1);
    memo->SetWordWrap(true);
    memo->SetScrollBars(ssHorizontal);  // a horizontal scroll bar means no wrapping
    EXPECT_EQ(memo->RowCount(), 1);
}

TEST_F(MemoFixture, ScrollsToTheCaretAndByWheelAndScrollBar) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "line " + std::to_string(i) + "\n";
    memo->SetText(text);
    memo->SetScrollBars(ssVertical);
    EXPECT_EQ(memo->TopRow(), 0);
    Key(VK_END, TShiftState{ssCtrl});
    int last = memo->RowCount() - 1;
    EXPECT_EQ(memo->TopRow(), last - memo->VisibleRows() + 1);
    Key(VK_HOME, TShiftState{ssCtrl});
    EXPECT_EQ(memo->TopRow(), 0);
    Headless::Wheel(memo, 50, 50, -WHEEL_DELTA);
    EXPECT_EQ(memo->TopRow(), 3);
    Headless::Wheel(memo, 50, 50, WHEEL_DELTA);
    EXPECT_EQ(memo->TopRow(), 0);
    // The down arrow of the scroll bar (bottom right inside the frame) scrolls one row.
    Headless::Click(memo, 200 - 2 - 8, 120 - 2 - 8);
    EXPECT_EQ(memo->TopRow(), 1);
    EXPECT_EQ(memo->SelStart(), 0);  // the caret stays where it was
    // Page Down moves the caret by a page of rows.
    Key(VK_NEXT);
    EXPECT_EQ(memo->CaretPos().Y, memo->VisibleRows());
}

TEST_F(MemoFixture, TabMovesOnUnlessTheMemoWantsTabs) {
    Type("a");
    Key(VK_TAB);
    EXPECT_TRUE(next->Focused());
    EXPECT_EQ(memo->Text(), "a");
    memo->SetFocus();
    memo->SetWantTabs(true);
    Key(VK_TAB);
    EXPECT_TRUE(memo->Focused());
    EXPECT_EQ(memo->Text(), "a\t");
    // A tab reaches the next tab stop.
    int stop = GetTextMetrics(*memo->Font()).tmAveCharWidth * 8;
    EXPECT_EQ(memo->PointOfPosition(2).X - memo->PointOfPosition(0).X, stop);
}

TEST_F(MemoFixture, MouseClickPlacesTheCaretOnARow) {
    memo->SetText("top\nmiddle\nbottom");
    TPoint p = memo->PointOfPosition(memo->LineStart(1) + 3);
    Headless::Click(memo, p.X + 1, p.Y + LineH() / 2);
    EXPECT_EQ(memo->CaretPos(), (TPoint{3, 1}));
    // Below the last row the caret goes to that row.
    Headless::Advance(1000);
    Headless::Click(memo, 5, 110);
    EXPECT_EQ(memo->CaretPos(), (TPoint{0, 2}));
    // Dragging selects across rows.
    Headless::Advance(1000);
    TPoint a = memo->PointOfPosition(1);
    TPoint b = memo->PointOfPosition(memo->LineStart(2) + 2);
    Headless::MouseDown(memo, a.X, a.Y + 2);
    Headless::MouseMove(memo, b.X, b.Y + 2, TShiftState{ssLeft});
    Headless::MouseUp(memo, b.X, b.Y + 2);
    EXPECT_EQ(memo->SelText(), "op\nmiddle\nbo");
}

TEST_F(MemoFixture, PaintsRowsAndTheSelection) {
    memo->SetText("one\ntwo");
    next->SetFocus();
    memo->SetHideSelection(false);
    memo->SetSelStart(0);
    memo->SetSelLength(5);  // "one\nt"
    auto highlighted = [&](int row) {
        int y0 = memo->PointOfPosition(0).Y + row * LineH();
        int n = 0;
        for (int y = y0; y < y0 + LineH(); ++y)
            for (int x = 2; x < 100; ++x)
                n += Headless::PixelAt(memo, x, y) == ColorToRGB(clHighlight);
        return n;
    };
    EXPECT_GT(highlighted(0), 0);
    EXPECT_GT(highlighted(1), 0);
    EXPECT_EQ(highlighted(2), 0);
    memo->SetSelLength(0);
    EXPECT_EQ(highlighted(0), 0);
    EXPECT_EQ(Headless::PixelAt(memo, 0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(Headless::PixelAt(memo, 150, 100), ColorToRGB(clWindow));
}
