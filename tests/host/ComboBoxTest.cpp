#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/Application.h"
#include "host/ComboBox.h"
#include "host/Edit.h"
#include "host/Form.h"
#include "host/platform/Headless.h"

using namespace kovo;

namespace {

struct ComboFixture : ::testing::Test {
    std::unique_ptr<TForm> form;
    TComboBox* combo = nullptr;
    TEdit* edit = nullptr;
    std::vector<std::string> events;

    void SetUp() override {
        Headless::Instance();
        Headless::SetModalHandler(nullptr);
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(100, 200, 300, 200);
        combo = new TComboBox(form.get());
        combo->SetParent(form.get());
        combo->SetBounds(10, 10, 150, 0);
        for (const char* s : {"red", "green", "blue", "black", "brown"}) combo->Items()->Add(s);
        edit = new TEdit(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(10, 150, 100, 23);
        form->Show();
        Application->ProcessMessages();
        Headless::Advance(1000);
        combo->OnChange = [this](TObject*) { events.push_back("change"); };
        combo->OnClick = [this](TObject*) { events.push_back("click"); };
        combo->OnDropDown = [this](TObject*) { events.push_back("dropdown"); };
        combo->OnCloseUp = [this](TObject*) { events.push_back("closeup"); };
    }
    void TearDown() override { Headless::SetModalHandler(nullptr); }

    // Plays the user on the drop-down list with Action.
    void WhenDropped(std::function<void(TComboBoxDropDown*)> Action) {
        Headless::SetModalHandler([this, Action](TObject* Subject) {
            auto* list = dynamic_cast<TComboBoxDropDown*>(Subject);
            ASSERT_NE(list, nullptr);
            EXPECT_EQ(combo->DropDownList(), list);
            EXPECT_TRUE(combo->DroppedDown());
            Action(list);
        });
    }
    void ClickItem(TComboBoxDropDown* list, int i) {
        TRect r = list->ItemRect(i);
        ASSERT_FALSE(r.IsEmpty());
        Headless::Click(list, r.Left + 5, r.Top + r.Height() / 2);
    }
};

// Records every DrawItem call.
class TDrawProbe : public TCustomComboBox {
  public:
    explicit TDrawProbe(TComponent* AOwner) : TCustomComboBox(AOwner) {}
    struct Call {
        int index;
        TRect rect;
        TOwnerDrawState state;
        TCanvas* canvas;
        TColor brush;  // what the host set up for the state
    };
    std::vector<Call> calls;
    int dropDowns = 0;

  protected:
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override {
        calls.push_back({Index, Rect, State, Canvas(), Canvas()->Brush()->Color()});
        // A bar in a colour of the entry's own, so the list's pixels show who drew them.
        Canvas()->Brush()->SetColor(Index % 2 ? clLime : clFuchsia);
        Canvas()->FillRect(TRect{Rect.Left + 2, Rect.Top + 1, Rect.Left + 12, Rect.Bottom - 1});
    }
    void DropDown() override {
        ++dropDowns;
        TCustomComboBox::DropDown();
    }
};

}  // namespace

TEST_F(ComboFixture, ItemIndexAndTextFromTheProgramFireNoEvents) {
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetItemIndex(2);
    EXPECT_EQ(combo->Text(), "blue");
    combo->SetItemIndex(7);  // out of range: ignored
    EXPECT_EQ(combo->ItemIndex(), 2);
    combo->SetText("black");
    EXPECT_EQ(combo->ItemIndex(), 3);
    combo->SetText("purple");  // an edit part takes any text
    EXPECT_EQ(combo->Text(), "purple");
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetStyle(csDropDownList);
    EXPECT_EQ(combo->EditPart(), nullptr);
    combo->SetText("green");
    EXPECT_EQ(combo->ItemIndex(), 1);
    combo->SetText("purple");  // a list has only its entries
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), "");
    EXPECT_TRUE(events.empty());
    // Removing the chosen entry's place leaves none chosen.
    combo->SetItemIndex(4);
    combo->Items()->Delete(4);
    EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(ComboFixture, SortedKeepsTheChosenEntry) {
    combo->SetItemIndex(0);  // red
    combo->SetSorted(true);
    EXPECT_EQ(combo->Items()->Strings(0), "black");
    EXPECT_EQ(combo->Text(), "red");
    EXPECT_EQ(combo->ItemIndex(), 4);
    combo->Items()->Add("azure");
    EXPECT_EQ(combo->Items()->Strings(0), "azure");
}

TEST_F(ComboFixture, ArrowKeysOnTheClosedBoxChooseEntries) {
    combo->SetStyle(csDropDownList);
    combo->SetFocus();
    Headless::PressKey(form.get(), VK_DOWN);
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"click", "change"}));
    Headless::PressKey(form.get(), VK_DOWN);
    Headless::PressKey(form.get(), VK_RIGHT);
    EXPECT_EQ(combo->ItemIndex(), 2);
    Headless::PressKey(form.get(), VK_UP);
    EXPECT_EQ(combo->Text(), "green");
    Headless::PressKey(form.get(), VK_END);
    EXPECT_EQ(combo->ItemIndex(), 4);
    events.clear();
    Headless::PressKey(form.get(), VK_DOWN);  // at the end already: nothing happens
    EXPECT_TRUE(events.empty());
    // With OnSelect the selection fires it instead of OnChange.
    combo->OnSelect = [this](TObject*) { events.push_back("select"); };
    Headless::PressKey(form.get(), VK_HOME);
    EXPECT_EQ(events, (std::vector<std::string>{"click", "select"}));
    // Typing a letter picks the next entry starting with it, and again the one after.
    Headless::TypeText(form.get(), "b");
    EXPECT_EQ(combo->Text(), "blue");
    Headless::TypeText(form.get(), "b");
    EXPECT_EQ(combo->Text(), "black");
    Headless::Advance(2000);
    Headless::TypeText(form.get(), "br");
    EXPECT_EQ(combo->Text(), "brown");
}

TEST_F(ComboFixture, ChoosingFromTheDropDownWithTheMouse) {
    combo->SetStyle(csDropDownList);
    combo->SetItemIndex(0);
    WhenDropped([this](TComboBoxDropDown* list) {
        EXPECT_EQ(list->HotIndex(), 0);  // the chosen entry is hot when the list opens
        // The list lies below the box, as wide as it.
        TPoint boxOnScreen = combo->ClientToScreen({0, 0});
        EXPECT_EQ(list->Left(), boxOnScreen.X);
        EXPECT_EQ(list->Top(), boxOnScreen.Y + combo->Height());
        EXPECT_EQ(list->Width(), combo->Width());
        EXPECT_EQ(list->Height(), 5 * combo->ItemHeight() + 2);
        // The hot entry follows the mouse.
        TRect r = list->ItemRect(3);
        Headless::MouseMove(list, 10, r.Top + 2);
        EXPECT_EQ(list->HotIndex(), 3);
        ClickItem(list, 2);
    });
    Headless::Click(combo, 20, 5);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(combo->Text(), "blue");
    EXPECT_EQ(events, (std::vector<std::string>{"dropdown", "click", "change", "closeup"}));
    EXPECT_TRUE(combo->HasFocus());
}

TEST_F(ComboFixture, KeysInTheDropDownAndCancelling) {
    combo->SetItemIndex(1);
    combo->SetFocus();
    // F4 opens; Down, Down, Enter chooses two entries further.
    WhenDropped([](TComboBoxDropDown* list) {
        Headless::PressKey(list, VK_DOWN);
        Headless::PressKey(list, VK_DOWN);
        EXPECT_EQ(list->HotIndex(), 3);
        Headless::PressKey(list, VK_RETURN);
    });
    Headless::PressKey(form.get(), VK_F4);
    EXPECT_EQ(combo->ItemIndex(), 3);
    EXPECT_EQ(combo->Text(), "black");
    // Esc leaves everything as it was.
    events.clear();
    WhenDropped([](TComboBoxDropDown* list) {
        Headless::PressKey(list, VK_UP);
        Headless::PressKey(list, VK_ESCAPE);
    });
    Headless::PressKey(form.get(), VK_DOWN, TShiftState{ssAlt});
    EXPECT_EQ(combo->ItemIndex(), 3);
    EXPECT_EQ(events, (std::vector<std::string>{"dropdown", "closeup"}));
    // So does a press outside the list, which goes nowhere else.
    int editDowns = 0;
    edit->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++editDowns; };
    WhenDropped([this](TComboBoxDropDown* list) {
        Headless::PressKey(list, VK_DOWN);
        Headless::Click(edit, 5, 5);
        EXPECT_FALSE(list->IsOpen());
    });
    combo->SetDroppedDown(true);
    EXPECT_EQ(combo->ItemIndex(), 3);
    EXPECT_EQ(editDowns, 0);
    EXPECT_FALSE(edit->Focused());
    // Without a modal handler the list closes at once.
    Headless::SetModalHandler(nullptr);
    combo->SetDroppedDown(true);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 3);
}

TEST_F(ComboFixture, LongListsScroll) {
    combo->Items()->Clear();
    for (int i = 0; i < 20; ++i) combo->Items()->Add("item " + std::to_string(i));
    combo->SetDropDownCount(5);
    combo->SetItemIndex(12);
    WhenDropped([this](TComboBoxDropDown* list) {
        EXPECT_EQ(list->Height(), 5 * combo->ItemHeight() + 2);
        EXPECT_FALSE(list->ScrollBar().BoundsRect().IsEmpty());
        EXPECT_EQ(list->VisibleCount(), 5);
        // The chosen entry is in view.
        EXPECT_LE(list->TopIndex(), 12);
        EXPECT_GT(list->TopIndex() + 5, 12);
        EXPECT_FALSE(list->ItemRect(12).IsEmpty());
        Headless::PressKey(list, VK_END);
        EXPECT_EQ(list->TopIndex(), 15);
        EXPECT_TRUE(list->ItemRect(0).IsEmpty());
        Headless::PressKey(list, VK_HOME);
        EXPECT_EQ(list->TopIndex(), 0);
        // The wheel and the scroll bar's arrow scroll without changing the hot entry.
        Headless::Wheel(list, 10, 10, -WHEEL_DELTA);
        EXPECT_EQ(list->TopIndex(), 3);
        TRect bar = list->ScrollBar().BoundsRect();
        Headless::Click(list, bar.Left + 3, bar.Bottom - 3);
        EXPECT_EQ(list->TopIndex(), 4);
        EXPECT_EQ(list->HotIndex(), 0);
        EXPECT_TRUE(list->IsOpen());
        ClickItem(list, 6);
    });
    combo->SetDroppedDown(true);
    EXPECT_EQ(combo->Text(), "item 6");
}

TEST_F(ComboFixture, TheListOpensAboveWhenThereIsNoRoomBelow) {
    form->SetTop(1080 - 60);  // the headless screen is 1920 x 1080
    WhenDropped([this](TComboBoxDropDown* list) {
        TPoint boxOnScreen = combo->ClientToScreen({0, 0});
        EXPECT_EQ(list->Top() + list->Height(), boxOnScreen.Y);
        list->Choose(-1);
    });
    combo->SetDroppedDown(true);
}

TEST_F(ComboFixture, TheEditPartTypesAndHandsKeysToTheBox) {
    combo->SetFocus();
    ASSERT_NE(combo->EditPart(), nullptr);
    EXPECT_TRUE(combo->EditPart()->Focused());
    EXPECT_TRUE(combo->HasFocus());
    std::vector<unsigned> pressed;
    combo->OnKeyPress = [&](TObject*, char32_t& Key) {
        pressed.push_back(unsigned(Key));
        if (Key == 13) Key = 0;  // as a dialog does with Enter
    };
    Headless::TypeText(form.get(), "gre");
    EXPECT_EQ(combo->Text(), "gre");
    EXPECT_EQ(combo->ItemIndex(), -1);
    Headless::TypeText(form.get(), "en");
    EXPECT_EQ(combo->ItemIndex(), 1);  // the text names an entry
    Headless::PressKey(form.get(), VK_RETURN);
    EXPECT_EQ(pressed, (std::vector<unsigned>{'g', 'r', 'e', 'e', 'n', 13}));
    EXPECT_EQ(std::count(events.begin(), events.end(), "change"), 5);
    EXPECT_EQ(std::count(events.begin(), events.end(), "click"), 0);
    // Up and Down step through the entries, editing keys edit.
    events.clear();
    Headless::PressKey(form.get(), VK_DOWN);
    EXPECT_EQ(combo->Text(), "blue");
    EXPECT_EQ(combo->SelText(), "blue");  // a chosen entry's text is selected
    Headless::PressKey(form.get(), VK_END);
    Headless::PressKey(form.get(), VK_BACK);
    EXPECT_EQ(combo->Text(), "blu");
    EXPECT_EQ(events, (std::vector<std::string>{"click", "change", "change"}));
    // A click on the button drops the list down; a click on the text does not.
    int drops = 0;
    Headless::SetModalHandler([&](TObject*) { ++drops; });
    Headless::Advance(1000);
    TRect b = combo->ButtonRect();
    Headless::Click(combo, b.Left + 3, b.Top + 3);
    EXPECT_EQ(drops, 1);
    Headless::Advance(1000);
    Headless::Click(combo->EditPart(), 5, 5);
    EXPECT_EQ(drops, 1);
    // Tab leaves the box; OnEnter and OnExit come once each.
    int enters = 0, exits = 0;
    combo->OnEnter = [&](TObject*) { ++enters; };
    combo->OnExit = [&](TObject*) { ++exits; };
    Headless::PressKey(form.get(), VK_TAB);
    EXPECT_TRUE(edit->Focused());
    Headless::PressKey(form.get(), VK_TAB, TShiftState{ssShift});
    EXPECT_TRUE(combo->HasFocus());
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(exits, 1);
    // Shift+Tab from the edit part goes back past the box itself.
    auto* before = new TEdit(form.get());
    before->SetParent(form.get());
    before->SetTabOrder(0);
    Headless::PressKey(form.get(), VK_TAB, TShiftState{ssShift});
    EXPECT_TRUE(before->Focused());
    EXPECT_EQ(exits, 2);
}

TEST_F(ComboFixture, OwnerDrawnEntriesGoThroughDrawItem) {
    auto* probe = new TDrawProbe(form.get());
    probe->SetParent(form.get());
    probe->SetStyle(csOwnerDrawFixed);
    probe->SetItemHeight(20);
    probe->SetBounds(10, 60, 150, 0);
    EXPECT_EQ(probe->Height(), 26);
    for (const char* s : {"a", "b", "c"}) probe->Items()->Add(s);
    probe->SetItemIndex(1);
    // The closed box draws the chosen entry as its edit part.
    Application->ProcessMessages();
    probe->calls.clear();
    probe->Repaint();
    ASSERT_EQ(probe->calls.size(), 1u);
    EXPECT_EQ(probe->calls[0].index, 1);
    EXPECT_EQ(probe->calls[0].state, TOwnerDrawState{odComboBoxEdit});
    EXPECT_EQ(probe->calls[0].rect, probe->EditPartRect());
    // Focused, it is drawn selected and focused.
    probe->SetFocus();
    probe->calls.clear();
    probe->Repaint();
    ASSERT_EQ(probe->calls.size(), 1u);
    EXPECT_EQ(probe->calls[0].state, (TOwnerDrawState{odComboBoxEdit, odSelected, odFocused}));
    // Disabled: odDisabled.
    probe->SetEnabled(false);
    probe->calls.clear();
    probe->Repaint();
    ASSERT_EQ(probe->calls.size(), 1u);
    EXPECT_TRUE(probe->calls[0].state.contains(odDisabled));
    probe->SetEnabled(true);
    // The list: every entry, the hot one selected and focused, drawn on the list's canvas.
    Headless::SetModalHandler([&](TObject* Subject) {
        auto* list = dynamic_cast<TComboBoxDropDown*>(Subject);
        ASSERT_NE(list, nullptr);
        probe->calls.clear();
        list->Repaint();
        ASSERT_EQ(probe->calls.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(probe->calls[size_t(i)].index, i);
            EXPECT_EQ(probe->calls[size_t(i)].rect, list->ItemRect(i));
            EXPECT_EQ(probe->calls[size_t(i)].rect.Height(), 20);
            EXPECT_EQ(probe->calls[size_t(i)].canvas, list->Canvas());
            TOwnerDrawState expected;
            if (i == 1) expected = TOwnerDrawState{odSelected, odFocused};
            EXPECT_EQ(probe->calls[size_t(i)].state, expected);
            EXPECT_EQ(probe->calls[size_t(i)].brush, i == 1 ? clHighlight : clWindow);
        }
        // The pixels are the list window's.
        TRect r0 = list->ItemRect(0), r1 = list->ItemRect(1);
        EXPECT_EQ(Headless::PixelAt(list, r0.Left + 5, r0.Top + 5), ColorToRGB(clFuchsia));
        EXPECT_EQ(Headless::PixelAt(list, r1.Left + 5, r1.Top + 5), ColorToRGB(clLime));
        // Around the bar the list's background: the entry draws its own highlight.
        EXPECT_EQ(Headless::PixelAt(list, r1.Left + 40, r1.Top + 5), ColorToRGB(clWindow));
        EXPECT_EQ(Headless::PixelAt(list, r0.Left + 40, r0.Top + 5), ColorToRGB(clWindow));
        ClickItem(list, 2);
    });
    probe->SetDroppedDown(true);
    EXPECT_EQ(probe->dropDowns, 1);
    EXPECT_EQ(probe->ItemIndex(), 2);
    EXPECT_EQ(probe->Canvas(), static_cast<TCustomControl*>(probe)->Canvas());
}

TEST_F(ComboFixture, VariableHeightsComeFromMeasureItem) {
    combo->SetStyle(csOwnerDrawVariable);
    combo->SetItemHeight(16);
    combo->OnMeasureItem = [](TWinControl*, int Index, int& Height) { Height = 10 + Index * 5; };
    std::vector<TRect> drawn;
    combo->OnDrawItem = [&](TWinControl*, int, const TRect& Rect, TOwnerDrawState) {
        drawn.push_back(Rect);
    };
    WhenDropped([&](TComboBoxDropDown* list) {
        EXPECT_EQ(list->Height(), 10 + 15 + 20 + 25 + 30 + 2);
        EXPECT_EQ(list->ItemRect(2).Height(), 20);
        EXPECT_EQ(list->ItemRect(2).Top, 1 + 10 + 15);
        EXPECT_EQ(list->ItemAtPos({5, 1 + 10 + 15 + 3}), 2);
        drawn.clear();
        list->Repaint();
        EXPECT_EQ(drawn.size(), 5u);
        list->Choose(4);
    });
    combo->SetDroppedDown(true);
    EXPECT_EQ(combo->Text(), "brown");
}

TEST_F(ComboFixture, SimpleStyleShowsTheListInTheBox) {
    combo->SetStyle(csSimple);
    combo->SetBounds(10, 10, 150, 100);
    EXPECT_EQ(combo->Height(), 100);
    EXPECT_TRUE(combo->ButtonRect().IsEmpty());
    TRect r = combo->SimpleItemRect(3);
    ASSERT_FALSE(r.IsEmpty());
    Headless::Click(combo, r.Left + 5, r.Top + 2);
    EXPECT_EQ(combo->ItemIndex(), 3);
    EXPECT_EQ(combo->Text(), "black");
    EXPECT_EQ(events, (std::vector<std::string>{"click", "change"}));
    // The chosen entry is drawn highlighted in the list.
    EXPECT_EQ(Headless::PixelAt(combo, r.Right - 3, r.Top + 2), ColorToRGB(clHighlight));
    // It never drops down.
    int drops = 0;
    Headless::SetModalHandler([&](TObject*) { ++drops; });
    combo->SetDroppedDown(true);
    EXPECT_EQ(drops, 0);
}

TEST_F(ComboFixture, ClosedBoxPaintsFrameButtonAndText) {
    combo->SetStyle(csDropDownList);
    combo->SetItemIndex(0);
    EXPECT_EQ(Headless::PixelAt(combo, 0, 0), ColorToRGB(clBtnShadow));
    TRect b = combo->ButtonRect();
    EXPECT_EQ(Headless::PixelAt(combo, b.Left + 1, b.Top + 1), ColorToRGB(clBtnHighlight));
    // The arrow in the middle of the button.
    int dark = 0;
    for (int y = b.Top; y < b.Bottom; ++y)
        for (int x = b.Left; x < b.Right; ++x)
            dark += Headless::PixelAt(combo, x, y) == ColorToRGB(clBtnText);
    EXPECT_GE(dark, 7 + 5 + 3 + 1);
    // Focused: the text part is highlighted.
    combo->SetFocus();
    TRect e = combo->EditPartRect();
    EXPECT_EQ(Headless::PixelAt(combo, e.Right - 3, e.Top + 3), ColorToRGB(clHighlight));
    // Disabled: button face, grey arrow.
    combo->SetEnabled(false);
    EXPECT_EQ(Headless::PixelAt(combo, e.Right - 3, e.Top + 3), ColorToRGB(clBtnFace));
    // A colour of the program's own stays (a read-only field's grey).
    combo->SetColor(TColor(0xE0E0E0));
    EXPECT_EQ(Headless::PixelAt(combo, e.Right - 3, e.Top + 3), TColor(0xE0E0E0));
}
