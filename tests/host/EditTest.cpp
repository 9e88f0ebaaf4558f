#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/Application.h"
#include "host/Clipboard.h"
#include "host/Edit.h"
#include "host/Form.h"
#include "host/SysUtils.h"
#include "host/TextRender.h"
#include "host/platform/Headless.h"

using namespace kovo;

namespace {

struct EditFixture : ::testing::Test {
    std::unique_ptr<TForm> form;
    TEdit* edit = nullptr;
    TEdit* other = nullptr;
    int changes = 0;

    void SetUp() override {
        Headless::Instance();
        Headless::SetModalHandler(nullptr);
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 300, 120);
        edit = new TEdit(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(10, 10, 150, 23);
        other = new TEdit(form.get());
        other->SetParent(form.get());
        other->SetBounds(10, 50, 150, 23);
        form->Show();
        edit->SetFocus();
        Application->ProcessMessages();
        Headless::Advance(1000);  // no double click with anything that came before
        edit->OnChange = [this](TObject*) { ++changes; };
    }

    void Type(const std::string& s) { Headless::TypeText(edit, s); }
    void Key(WORD k, TShiftState s = {}) { Headless::PressKey(edit, k, s); }
    // The client x of the caret place before character Pos.
    int XOf(int Pos) { return edit->PointOfPosition(Pos).X; }
};

}  // namespace

TEST_F(EditFixture, TypingInsertsAtTheCaretAndFiresOnChangeEachTime) {
    Type("hello");
    EXPECT_EQ(edit->Text(), "hello");
    EXPECT_EQ(edit->SelStart(), 5);
    EXPECT_EQ(changes, 5);
    EXPECT_TRUE(edit->Modified());
    Key(VK_HOME);
    Type("¡ñ");  // characters, not bytes
    EXPECT_EQ(edit->Text(), "¡ñhello");
    EXPECT_EQ(edit->SelStart(), 2);
    EXPECT_EQ(changes, 7);
}

TEST_F(EditFixture, ProgramChangesFireOnChangeOnlyWhenTheTextDiffers) {
    edit->SetText("abc");
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(edit->Modified());
    edit->SetText("abc");
    EXPECT_EQ(changes, 1);
    edit->SetSelStart(1);
    edit->SetSelLength(1);
    edit->SetSelText("XY");
    EXPECT_EQ(edit->Text(), "aXYc");
    EXPECT_EQ(changes, 2);
    edit->Clear();
    EXPECT_EQ(edit->Text(), "");
    EXPECT_EQ(changes, 3);
    // Setting the text keeps the caret where the new text still reaches.
    edit->SetText("0123456789");
    edit->SetSelStart(8);
    edit->SetText("0123");
    EXPECT_EQ(edit->SelStart(), 4);
    EXPECT_EQ(edit->SelLength(), 0);
}

TEST_F(EditFixture, EditingKeys) {
    struct Case {
        const char* name;
        std::vector<std::pair<WORD, TShiftState>> keys;
        const char* text;
        int selStart, selLength;
    };
    const TShiftState none{}, shift{ssShift}, ctrl{ssCtrl};
    std::vector<Case> cases = {
        {"backspace", {{VK_BACK, none}}, "one two thre", 12, 0},
        {"left and delete",
         {{VK_LEFT, none}, {VK_LEFT, none}, {VK_DELETE, none}},
         "one two thre",
         11,
         0},
        {"home and delete", {{VK_HOME, none}, {VK_DELETE, none}}, "ne two three", 0, 0},
        {"shift-left selects", {{VK_LEFT, shift}, {VK_LEFT, shift}}, "one two three", 11, 2},
        {"selection deleted",
         {{VK_LEFT, shift}, {VK_LEFT, shift}, {VK_BACK, none}},
         "one two thr",
         11,
         0},
        {"shift-home", {{VK_LEFT, none}, {VK_HOME, shift}}, "one two three", 0, 12},
        {"left collapses a selection to its start",
         {{VK_HOME, shift}, {VK_LEFT, none}},
         "one two three",
         0,
         0},
        {"ctrl-left by words", {{VK_LEFT, ctrl}, {VK_LEFT, ctrl}}, "one two three", 4, 0},
        {"ctrl-shift-left", {{VK_LEFT, TShiftState{ssCtrl, ssShift}}}, "one two three", 8, 5},
        {"ctrl-right from home", {{VK_HOME, none}, {VK_RIGHT, ctrl}}, "one two three", 4, 0},
        {"end after home", {{VK_HOME, none}, {VK_END, none}}, "one two three", 13, 0},
        {"ctrl-delete a word", {{VK_HOME, none}, {VK_DELETE, ctrl}}, "two three", 0, 0},
        {"backspace at the start", {{VK_HOME, none}, {VK_BACK, none}}, "one two three", 0, 0},
        {"delete at the end", {{VK_DELETE, none}}, "one two three", 13, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        edit->SetText("");
        Type("one two three");
        for (auto& [k, s] : c.keys) Key(k, s);
        EXPECT_EQ(edit->Text(), c.text);
        EXPECT_EQ(edit->SelStart(), c.selStart);
        EXPECT_EQ(edit->SelLength(), c.selLength);
    }
}

TEST_F(EditFixture, ClipboardKeys) {
    Clipboard()->Clear();
    Type("copy me");
    Key('A', TShiftState{ssCtrl});
    EXPECT_EQ(edit->SelLength(), 7);
    Key('C', TShiftState{ssCtrl});
    EXPECT_EQ(Clipboard()->AsText(), "copy me");
    EXPECT_EQ(edit->Text(), "copy me");
    Key(VK_LEFT, TShiftState{ssShift});
    Key(VK_END);
    Key(VK_LEFT, TShiftState{ssShift});
    Key(VK_LEFT, TShiftState{ssShift});
    Key('X', TShiftState{ssCtrl});
    EXPECT_EQ(Clipboard()->AsText(), "me");
    EXPECT_EQ(edit->Text(), "copy ");
    Key(VK_HOME);
    Key('V', TShiftState{ssCtrl});
    EXPECT_EQ(edit->Text(), "mecopy ");
    EXPECT_EQ(edit->SelStart(), 2);
    // The classic alternatives: Shift+Insert pastes, Ctrl+Insert copies, Shift+Delete cuts.
    Key(VK_INSERT, TShiftState{ssShift});
    EXPECT_EQ(edit->Text(), "memecopy ");
    Key(VK_HOME, TShiftState{ssShift});
    Key(VK_DELETE, TShiftState{ssShift});
    EXPECT_EQ(edit->Text(), "copy ");
    EXPECT_EQ(Clipboard()->AsText(), "meme");
    // Ctrl+Z takes the last change back.
    Key('Z', TShiftState{ssCtrl});
    EXPECT_EQ(edit->Text(), "memecopy ");
}

TEST_F(EditFixture, PasteKeepsTheFirstLineAndRespectsMaxLength) {
    Clipboard()->SetAsText("first\r\nsecond");
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "first");
    edit->SetMaxLength(8);
    Clipboard()->SetAsText("123456");
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "first123");
    int before = changes;
    Type("x");  // full: refused, nothing changes
    EXPECT_EQ(edit->Text(), "first123");
    EXPECT_EQ(changes, before);
    // Text set by the program is not cut.
    edit->SetText("a much longer text");
    EXPECT_EQ(edit->Text(), "a much longer text");
}

TEST_F(EditFixture, ReadOnlyAndPasswordAndCharCase) {
    edit->SetText("fixed");
    edit->SetReadOnly(true);
    changes = 0;
    Key(VK_END);
    Type("x");
    Key(VK_BACK);
    Key(VK_HOME, TShiftState{ssShift});
    Key('X', TShiftState{ssCtrl});
    EXPECT_EQ(edit->Text(), "fixed");
    EXPECT_EQ(changes, 0);
    Key('C', TShiftState{ssCtrl});  // reading is still allowed
    EXPECT_EQ(Clipboard()->AsText(), "fixed");
    edit->SetReadOnly(false);

    Clipboard()->SetAsText("untouched");
    edit->SetPasswordChar(U'*');
    edit->SelectAll();
    edit->CopyToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "untouched");  // a password is not copied

    edit->SetPasswordChar(0);
    edit->SetText("");
    edit->SetCharCase(ecUpperCase);
    Type("abc");
    EXPECT_EQ(edit->Text(), "ABC");
    edit->SetCharCase(ecLowerCase);  // the text there is converted as well
    EXPECT_EQ(edit->Text(), "abc");
}

TEST_F(EditFixture, KeyHandlersComeFirstAndCanSwallowKeys) {
    edit->OnKeyPress = [](TObject*, char32_t& Key) {
        if (Key == U'x') Key = 0;
        if (Key == U'a') Key = U'A';
    };
    edit->OnKeyDown = [](TObject*, WORD& Key, TShiftState) {
        if (Key == VK_DELETE) Key = 0;
    };
    Type("xaxb");
    EXPECT_EQ(edit->Text(), "Ab");
    Key(VK_HOME);
    Key(VK_DELETE);
    EXPECT_EQ(edit->Text(), "Ab");
    // Enter and Esc reach OnKeyPress and leave the text alone.
    std::vector<unsigned> seen;
    edit->OnKeyPress = [&](TObject*, char32_t& Key) { seen.push_back(unsigned(Key)); };
    Key(VK_RETURN);
    Key(VK_ESCAPE);
    EXPECT_EQ(seen, (std::vector<unsigned>{13, 27}));
    EXPECT_EQ(edit->Text(), "Ab");
}

// A box that rewrites the user's text from its Change, as a numeric field does.
class TDigitsEdit : public TCustomEdit {
  public:
    using TCustomEdit::TCustomEdit;
    int changes = 0;

  protected:
    void Change() override {
        ++changes;
        std::string t = Text(), digits;
        for (char c : t)
            if (c >= '0' && c <= '9') digits += c;
        if (digits != t) {
            SetSelStart(SelStart() - 1);
            SetText(digits);
            return;
        }
        TCustomEdit::Change();
    }
};

TEST_F(EditFixture, ChangeCanRewriteTheText) {
    auto* d = new TDigitsEdit(form.get());
    d->SetParent(form.get());
    d->SetBounds(10, 80, 100, 23);
    d->SetFocus();
    int events = 0;
    d->OnChange = [&](TObject*) { ++events; };
    Headless::TypeText(d, "12x3");
    EXPECT_EQ(d->Text(), "123");
    EXPECT_EQ(d->SelStart(), 3);
    EXPECT_EQ(events, 4);      // 1, 12, 12 again after the refused x, 123
    EXPECT_EQ(d->changes, 5);  // and the refused text itself
}

TEST_F(EditFixture, MousePlacesTheCaretAndDragsASelection) {
    edit->SetText("alpha beta gamma");
    int y = 10;
    Headless::Click(edit, XOf(3) + 1, y);
    EXPECT_EQ(edit->SelStart(), 3);
    EXPECT_EQ(edit->SelLength(), 0);
    // Drag from 6 to 10.
    Headless::Advance(1000);
    Headless::MouseDown(edit, XOf(6), y);
    Headless::MouseMove(edit, XOf(8), y, TShiftState{ssLeft});
    Headless::MouseMove(edit, XOf(10), y, TShiftState{ssLeft});
    Headless::MouseUp(edit, XOf(10), y);
    EXPECT_EQ(edit->SelText(), "beta");
    // Shift+click extends from the anchor.
    Headless::Advance(1000);
    Headless::Click(edit, XOf(16), y, mbLeft, TShiftState{ssShift});
    EXPECT_EQ(edit->SelText(), "beta gamma");
    // A double click takes the word.
    Headless::Advance(1000);
    Headless::DoubleClick(edit, XOf(2), y);
    EXPECT_EQ(edit->SelText(), "alpha");
    // Past the end of the text the caret goes to the end.
    Headless::Advance(1000);
    Headless::Click(edit, 140, y);
    EXPECT_EQ(edit->SelStart(), 16);
}

TEST_F(EditFixture, ClickFocusesAndTabFocusSelectsAll) {
    other->SetText("other text");
    edit->SetText("mine");
    Headless::Click(other, XOf(2), 10);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(other->SelLength(), 0);  // a click places the caret instead of selecting
    Headless::PressKey(form.get(), VK_TAB);
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(edit->SelText(), "mine");
    edit->SetAutoSelect(false);
    edit->SetSelStart(2);
    Headless::PressKey(form.get(), VK_TAB);
    Headless::PressKey(form.get(), VK_TAB);
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(edit->SelStart(), 2);
    EXPECT_EQ(edit->SelLength(), 0);
}

TEST_F(EditFixture, CaretBlinksWhileFocused) {
    edit->SetText("ab");
    edit->SetSelStart(1);
    Application->ProcessMessages();
    EXPECT_TRUE(edit->CaretShown());
    TPoint p = edit->PointOfPosition(1);
    // The caret inverts the background (white) under it.
    int y = p.Y + 2;
    EXPECT_EQ(Headless::PixelAt(edit, p.X, y), TColor(0x000000));
    Headless::Advance(TCustomEdit::CaretBlinkTime);
    EXPECT_FALSE(edit->CaretShown());
    Headless::Advance(TCustomEdit::CaretBlinkTime);
    EXPECT_TRUE(edit->CaretShown());
    // Typing shows it at once.
    Headless::Advance(TCustomEdit::CaretBlinkTime);
    EXPECT_FALSE(edit->CaretShown());
    Type("x");
    EXPECT_TRUE(edit->CaretShown());
    // Without focus it is gone and stays gone.
    other->SetFocus();
    EXPECT_FALSE(edit->CaretShown());
    Headless::Advance(TCustomEdit::CaretBlinkTime * 3);
    EXPECT_FALSE(edit->CaretShown());
}

TEST_F(EditFixture, PaintsFrameTextSelectionAndDisabledLook) {
    edit->SetText("WWW");
    other->SetFocus();  // no caret in the way
    auto px = [&](int x, int y) { return Headless::PixelAt(edit, x, y); };
    EXPECT_EQ(px(0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(px(1, 1), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(px(149, 22), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(px(148, 21), ColorToRGB(cl3DLight));
    EXPECT_EQ(px(140, 11), ColorToRGB(clWindow));
    // Some pixel of the text is in the font's colour.
    TPoint p0 = edit->PointOfPosition(0);
    int x1 = edit->PointOfPosition(3).X;
    int lineH = GetTextMetrics(*edit->Font()).tmHeight;
    auto countColour = [&](TColor c, int from, int to) {
        int n = 0;
        for (int y = p0.Y; y < p0.Y + lineH; ++y)
            for (int x = from; x < to; ++x) n += px(x, y) == c;
        return n;
    };
    EXPECT_GT(countColour(ColorToRGB(clWindowText), p0.X, x1), 0);
    // The selection shows in the highlight colours while focused (and hides otherwise).
    edit->SelectAll();
    EXPECT_EQ(countColour(ColorToRGB(clHighlight), p0.X, x1), 0);
    edit->SetFocus();
    EXPECT_GT(countColour(ColorToRGB(clHighlight), p0.X, x1), 0);
    EXPECT_GT(countColour(ColorToRGB(clHighlightText), p0.X, x1), 0);
    edit->SetHideSelection(false);
    other->SetFocus();
    EXPECT_GT(countColour(ColorToRGB(clHighlight), p0.X, x1), 0);
    // Disabled: button face behind grey text.
    edit->SetEnabled(false);
    EXPECT_EQ(px(140, 11), ColorToRGB(clBtnFace));
    EXPECT_EQ(countColour(ColorToRGB(clWindowText), p0.X, x1), 0);
    EXPECT_GT(countColour(ColorToRGB(clGrayText), p0.X, x1), 0);

    // Flat and frameless borders.
    edit->SetEnabled(true);
    edit->SetCtl3D(false);
    EXPECT_EQ(px(0, 0), ColorToRGB(clWindowFrame));
    EXPECT_EQ(px(1, 1), ColorToRGB(clWindow));
    edit->SetBorderStyle(bsNone);
    EXPECT_EQ(px(0, 0), ColorToRGB(clWindow));
}

TEST_F(EditFixture, AlignmentAndScrollingKeepTheCaretInView) {
    edit->SetText("ab");
    int left = edit->PointOfPosition(0).X;
    edit->SetAlignment(taRightJustify);
    int right = edit->PointOfPosition(2).X;
    EXPECT_LT(left, 10);
    EXPECT_GT(right, 140);
    edit->SetAlignment(taCenter);
    int mid = (edit->PointOfPosition(0).X + edit->PointOfPosition(2).X) / 2;
    EXPECT_NEAR(mid, 75, 2);
    // A text wider than the box scrolls so that the caret stays visible.
    edit->SetAlignment(taLeftJustify);
    edit->SetText("");
    Type(std::string(80, 'm'));
    int x = edit->PointOfPosition(80).X;
    EXPECT_GE(x, 2);
    EXPECT_LT(x, 150 - 2);
    EXPECT_LT(edit->PointOfPosition(0).X, 0);
    Key(VK_HOME);
    EXPECT_GE(edit->PointOfPosition(0).X, 2);
}

TEST_F(EditFixture, AutoSizeFollowsTheFont) {
    TEdit e(nullptr);
    EXPECT_EQ(e.Height(), GetTextMetrics(*e.Font()).tmHeight + 8);
    e.Font()->SetSize(e.Font()->Size() * 2);
    EXPECT_EQ(e.Height(), GetTextMetrics(*e.Font()).tmHeight + 8);
    e.SetBorderStyle(bsNone);
    EXPECT_EQ(e.Height(), GetTextMetrics(*e.Font()).tmHeight + 2);
    e.SetAutoSize(false);
    e.SetHeight(40);
    e.Font()->SetSize(8);
    EXPECT_EQ(e.Height(), 40);
}
