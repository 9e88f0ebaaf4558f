#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/Application.h"
#include "host/Bitmap.h"
#include "host/Form.h"
#include "host/Menus.h"
#include "host/platform/Headless.h"

using namespace kovo;

namespace {

// A menu like the table editor's data menu: a submenu, a disabled item, a checked item with
// a glyph, a line, a shortcut.
struct MenuFixture : ::testing::Test {
    std::unique_ptr<TForm> form;
    TPopupMenu* menu = nullptr;
    std::vector<std::string> log;

    TNotifyEvent Logger(const std::string& What) {
        return [this, What](TObject*) {
            log.push_back(What + (menu->IsOpen() ? " (menu open)" : ""));
        };
    }

    void SetUp() override {
        Headless::Instance();
        form = std::make_unique<TForm>(nullptr);
        menu = NewPopupMenu(
            form.get(), "PopupDTAction", paLeft, true,
            {NewSubMenu("Mark as type &A", 0, "DIt1",
                        {NewItem("Range", 0, false, true, Logger("range"), 0, "M1It1"),
                         NewItem("Column", 0, false, true, Logger("column"), 0, "M1It2")}),
             NewItem("&Clear", 0, false, true, Logger("clear"), 0, "DIt6"),
             NewItem("Paste", ShortCut('V', TShiftState{ssCtrl}), false, false, Logger("paste"), 0,
                     "DIt8"),
             NewLine(), NewItem("Data Read-Only", 0, true, true, Logger("readonly"), 0, "DIt9")});
        menu->OnPopup = Logger("onpopup");
        menu->OnClose = Logger("onclose");
    }
    void TearDown() override {
        Headless::SetModalHandler(nullptr);
        form.reset();
    }
    // Opens the menu with a handler that acts on it.
    void Open(std::function<void(TPopupMenu*)> Act, int X = 100, int Y = 100) {
        Headless::SetModalHandler([this, Act](TObject* Subject) {
            ASSERT_EQ(Subject, menu);
            Act(menu);
        });
        menu->Popup(X, Y);
    }
};

// ---------------------------------------------------------------------------------------
// Items

TEST_F(MenuFixture, BuildersMakeTheTree) {
    TMenuItem* items = menu->Items();
    EXPECT_EQ(menu->Name(), "PopupDTAction");
    EXPECT_EQ(menu->Owner(), form.get());
    ASSERT_EQ(items->Count(), 5);
    EXPECT_EQ(items->Items(0)->Caption(), "Mark as type &A");
    EXPECT_EQ(items->Items(0)->Count(), 2);
    EXPECT_EQ(items->Items(0)->Items(1)->Name(), "M1It2");
    EXPECT_FALSE(items->Items(2)->Enabled());
    EXPECT_TRUE(items->Items(3)->IsLine());
    EXPECT_TRUE(items->Items(4)->Checked());
    EXPECT_EQ(items->Items(5), nullptr);
    EXPECT_EQ(items->Find("clear"), items->Items(1));  // without "&", any case
    EXPECT_EQ(items->Find("Mark as type A"), items->Items(0));
    EXPECT_EQ(menu->FindItem("m1it1"), items->Items(0)->Items(0));
    EXPECT_EQ(menu->FindItem("nothing"), nullptr);
    EXPECT_EQ(items->Items(0)->Items(0)->Parent(), items->Items(0));
    EXPECT_EQ(items->Items(0)->Items(0)->GetParentMenu(), menu);
    EXPECT_EQ(items->Items(4)->MenuIndex(), 4);
    EXPECT_EQ(ShortCutToText(items->Items(2)->ShortCut()), "Ctrl+V");
}

TEST_F(MenuFixture, ItemsMoveAndTheTreeStaysATree) {
    TMenuItem* items = menu->Items();
    TMenuItem* sub = items->Items(0);
    TMenuItem* clear = items->Items(1);
    sub->Insert(0, clear);  // taken from the top level
    EXPECT_EQ(items->Count(), 4);
    EXPECT_EQ(sub->Items(0), clear);
    EXPECT_THROW(clear->Add(sub), EMenuError);  // a parent into its child
    EXPECT_THROW(sub->Add(sub), EMenuError);
    EXPECT_THROW(sub->Add(nullptr), EMenuError);
    sub->Delete(0);  // out of the menu, not freed
    EXPECT_EQ(clear->Parent(), nullptr);
    EXPECT_EQ(sub->IndexOf(clear), -1);
    sub->Delete(7);  // nothing there: nothing happens
    delete clear;
    sub->Clear();
    EXPECT_EQ(sub->Count(), 0);
    TMenuItem* line = items->Items(2);
    delete line;  // an item freed by itself leaves its parent
    EXPECT_EQ(items->Count(), 3);
}

TEST(MenuItemTest, ClickDispatchesUnlessDisabled) {
    int clicks = 0;
    std::unique_ptr<TMenuItem> item(NewItem(
        "Go", 0, false, true, [&](TObject*) { ++clicks; }, 0, ""));
    item->Click();
    EXPECT_EQ(clicks, 1);
    item->SetEnabled(false);
    item->Click();
    EXPECT_EQ(clicks, 1);
    item->SetEnabled(true);
    item->SetAutoCheck(true);
    item->Click();
    EXPECT_TRUE(item->Checked());
    item->Click();
    EXPECT_FALSE(item->Checked());
}

TEST(MenuItemTest, RadioItemsOfAGroupExcludeEachOther) {
    TMenuItem root(nullptr);
    std::vector<TMenuItem*> r;
    for (int i = 0; i < 3; ++i) {
        r.push_back(NewItem("r" + std::to_string(i), 0, false, true, nullptr, 0, ""));
        r.back()->SetRadioItem(true);
        r.back()->SetGroupIndex(i < 2 ? 1 : 2);
        root.Add(r.back());
    }
    r[0]->SetChecked(true);
    r[2]->SetChecked(true);  // another group
    r[1]->SetChecked(true);
    EXPECT_FALSE(r[0]->Checked());
    EXPECT_TRUE(r[1]->Checked());
    EXPECT_TRUE(r[2]->Checked());
}

TEST(MenuItemTest, ShortCutTexts) {
    struct Case {
        TShortCut sc;
        const char* text;
    } cases[] = {
        {ShortCut('C', TShiftState{ssCtrl}), "Ctrl+C"},
        {ShortCut(VK_F5, TShiftState{ssShift}), "Shift+F5"},
        {ShortCut(VK_DELETE, {}), "Del"},
        {ShortCut('X', TShiftState{ssShift, ssCtrl, ssAlt}), "Shift+Ctrl+Alt+X"},
        {scNone, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ShortCutToText(c.sc), c.text);
    EXPECT_EQ(StripHotkey("&Save && close"), "Save & close");
    EXPECT_EQ(GetHotkey("Save && &Close"), U'c');
    EXPECT_EQ(GetHotkey("None"), 0u);
}

// ---------------------------------------------------------------------------------------
// Choosing

TEST_F(MenuFixture, AChosenItemClicksAfterTheMenuClosed) {
    Open([](TPopupMenu* m) {
        EXPECT_EQ(m->LevelCount(), 1);
        EXPECT_TRUE(m->ChooseItem({"Clear"}));
    });
    EXPECT_EQ(log, (std::vector<std::string>{"onpopup", "onclose", "clear"}));
    EXPECT_FALSE(menu->IsOpen());
}

TEST_F(MenuFixture, ADisabledItemCannotBeChosen) {
    bool chosen = true;
    Open([&](TPopupMenu* m) { chosen = m->ChooseItem({"Paste"}); });
    EXPECT_FALSE(chosen);
    EXPECT_EQ(log, (std::vector<std::string>{"onpopup", "onclose"}));
    // Nor can a missing one, or a line.
    Open([&](TPopupMenu* m) {
        EXPECT_FALSE(m->ChooseItem({"Nothing"}));
        EXPECT_FALSE(m->ChooseItem({"-"}));
        EXPECT_FALSE(m->ChooseItem({"Clear", "More"}));  // no submenu there
    });
    EXPECT_EQ(log.size(), 4u);
}

TEST_F(MenuFixture, SubmenusOpenOnTheWayAlongThePath) {
    std::vector<int> levels;
    Headless::SetModalHandler([&](TObject*) {
        levels.push_back(menu->LevelCount());
        menu->ChooseItem({"Mark as type A", "Range"});
    });
    menu->Popup(100, 100);
    EXPECT_EQ(levels, (std::vector<int>{1, 2}));
    EXPECT_EQ(log, (std::vector<std::string>{"onpopup", "onclose", "range"}));
    // Names work as well as captions.
    log.clear();
    levels.clear();
    Headless::SetModalHandler([&](TObject*) { menu->ChooseItem({"DIt1", "M1It2"}); });
    menu->Popup(100, 100);
    EXPECT_EQ(log, (std::vector<std::string>{"onpopup", "onclose", "column"}));
}

TEST_F(MenuFixture, ASubmenuOpensBesideItsRow) {
    TRect row;
    TPoint rootPos, subPos;
    Headless::SetModalHandler([&](TObject*) {
        if (menu->LevelCount() == 1) {
            row = menu->Level(0)->ItemRect(0);
            rootPos = TPoint{menu->Level(0)->Left(), menu->Level(0)->Top()};
            menu->ChooseItem({"DIt1", "M1It1"});
        } else {
            subPos = TPoint{menu->Level(1)->Left(), menu->Level(1)->Top()};
            EXPECT_EQ(menu->Level(0)->SubmenuIndex(), 0);
            EXPECT_EQ(menu->Level(1)->Source(), menu->Items()->Items(0));
            menu->Dismiss();
        }
    });
    menu->Popup(100, 100);
    EXPECT_EQ(rootPos, TPoint(100, 100));
    EXPECT_GT(subPos.X, rootPos.X + row.Right - 10);
    EXPECT_EQ(subPos.Y, rootPos.Y + row.Top - 3);
    EXPECT_EQ(log, (std::vector<std::string>{"onpopup", "onclose"}));
}

TEST_F(MenuFixture, DismissChoosesNothing) {
    Open([](TPopupMenu* m) { m->Dismiss(); });
    EXPECT_EQ(log, (std::vector<std::string>{"onpopup", "onclose"}));
    // Without a handler the menu closes at once, as dismissed.
    Headless::SetModalHandler(nullptr);
    menu->Popup(0, 0);
    EXPECT_EQ(log.size(), 4u);
}

TEST_F(MenuFixture, AlignmentPlacesTheMenuAtThePoint) {
    struct Case {
        TPopupAlignment align;
        int expectedLeft;  // in widths from the point: 0, -1, -1/2
    } cases[] = {{paLeft, 0}, {paRight, -2}, {paCenter, -1}};
    for (const Case& c : cases) {
        menu->SetAlignment(c.align);
        int left = 0, width = 0;
        Open(
            [&](TPopupMenu* m) {
                left = m->Level(0)->Left();
                width = m->Level(0)->Width();
                m->Dismiss();
            },
            600, 300);
        EXPECT_EQ(left, 600 + c.expectedLeft * width / 2) << int(c.align);
    }
}

// ---------------------------------------------------------------------------------------
// Mouse and keyboard inside the menu

TEST_F(MenuFixture, ClicksOnRows) {
    Open([](TPopupMenu* m) {
        TMenuWindow* w = m->Level(0);
        TRect paste = w->ItemRect(2);
        Headless::Click(w, paste.Left + 30, paste.Top + 5);  // disabled: stays open
        EXPECT_TRUE(m->IsOpen());
        TRect line = w->ItemRect(3);
        Headless::Click(w, line.Left + 30, line.Top + 4);
        EXPECT_TRUE(m->IsOpen());
        TRect readOnly = w->ItemRect(4);
        Headless::Click(w, readOnly.Left + 30, readOnly.Top + 5);
        EXPECT_FALSE(m->IsOpen());
    });
    EXPECT_EQ(log, (std::vector<std::string>{"onpopup", "onclose", "readonly"}));
}

TEST_F(MenuFixture, HoveringOpensTheSubmenuAfterAMoment) {
    std::vector<int> levels;
    Headless::SetModalHandler([&](TObject*) {
        levels.push_back(menu->LevelCount());
        TMenuWindow* top = menu->Level(menu->LevelCount() - 1);
        if (menu->LevelCount() == 1) {
            TRect sub = top->ItemRect(0);
            Headless::MouseMove(top, sub.Left + 30, sub.Top + 5);
            EXPECT_EQ(top->Highlighted(), 0);
            Headless::Advance(100);
            EXPECT_EQ(menu->LevelCount(), 1);  // not yet
            Headless::Advance(300);            // opens: this handler runs again inside
        } else {
            TRect column = top->ItemRect(1);
            Headless::Click(top, column.Left + 20, column.Top + 5);
        }
    });
    menu->Popup(100, 100);
    EXPECT_EQ(levels, (std::vector<int>{1, 2}));
    EXPECT_EQ(log, (std::vector<std::string>{"onpopup", "onclose", "column"}));
}

TEST_F(MenuFixture, ArrowKeysEnterAndEsc) {
    std::vector<int> levels;
    Headless::SetModalHandler([&](TObject*) {
        levels.push_back(menu->LevelCount());
        TMenuWindow* top = menu->Level(menu->LevelCount() - 1);
        if (levels.size() == 1) {
            Headless::PressKey(top, VK_DOWN);
            EXPECT_EQ(top->Highlighted(), 0);
            Headless::PressKey(top, VK_UP);  // wraps to the last row, over the line
            EXPECT_EQ(top->Highlighted(), 4);
            Headless::PressKey(top, VK_UP);
            EXPECT_EQ(top->Highlighted(), 2);    // disabled rows can be highlighted
            Headless::PressKey(top, VK_RETURN);  // but not chosen
            EXPECT_TRUE(menu->IsOpen());
            Headless::PressKey(top, VK_HOME);
            Headless::PressKey(top, VK_RIGHT);  // opens the submenu, first row marked
            // The submenu was left with Esc: back here.
            EXPECT_EQ(menu->LevelCount(), 1);
            EXPECT_TRUE(menu->IsOpen());
            Headless::TypeText(top, "c");  // the accelerator of "&Clear"
        } else {
            EXPECT_EQ(top->Highlighted(), 0);
            Headless::PressKey(top, VK_ESCAPE);
        }
    });
    menu->Popup(100, 100);
    EXPECT_EQ(levels, (std::vector<int>{1, 2}));
    EXPECT_EQ(log, (std::vector<std::string>{"onpopup", "onclose", "clear"}));
}

// ---------------------------------------------------------------------------------------
// Opening from a control

class TPlainControl : public TCustomControl {
  public:
    using TCustomControl::TCustomControl;
};

TEST_F(MenuFixture, ARightClickOpensTheControlsMenu) {
    form->SetBounds(50, 40, 300, 200);
    auto* c = new TPlainControl(form.get());
    c->SetParent(form.get());
    c->SetBounds(10, 20, 100, 100);
    c->SetPopupMenu(menu);
    form->Show();
    TPoint at;
    Headless::SetModalHandler([&](TObject*) {
        at = menu->PopupPoint();
        menu->Dismiss();
    });
    Headless::Click(c, 5, 6, mbRight);
    EXPECT_EQ(at, TPoint(50 + 10 + 5, 40 + 20 + 6));  // the click's screen point
    EXPECT_EQ(log, (std::vector<std::string>{"onpopup", "onclose"}));
    menu->SetAutoPopup(false);
    Headless::Click(c, 5, 6, mbRight);
    Headless::Click(c, 5, 6, mbLeft);
    EXPECT_EQ(log.size(), 2u);
}

TEST_F(MenuFixture, AFreedMenuLeavesTheControl) {
    auto* c = new TPlainControl(form.get());
    c->SetParent(form.get());
    c->SetBounds(0, 0, 50, 50);
    c->SetPopupMenu(menu);
    form->Show();
    delete menu;
    menu = nullptr;
    EXPECT_EQ(c->PopupMenu(), nullptr);
    Headless::Click(c, 5, 5, mbRight);  // nothing to open
}

TEST_F(MenuFixture, ShortCutsClickEnabledItems) {
    menu->Items()->Items(1)->SetShortCut(ShortCut(VK_DELETE, {}));
    EXPECT_TRUE(menu->IsShortCut(VK_DELETE, {}));
    EXPECT_FALSE(menu->IsShortCut('V', TShiftState{ssCtrl}));  // Paste is disabled
    EXPECT_FALSE(menu->IsShortCut('Q', {}));
    EXPECT_EQ(log, (std::vector<std::string>{"clear"}));
}

// ---------------------------------------------------------------------------------------
// Drawing

TEST_F(MenuFixture, RowsShowHighlightChecksAndGlyphs) {
    // A 16 x 16 glyph: red with a white frame, white being its transparent colour.
    TBitmap glyph(16, 16);
    glyph.Canvas()->Brush()->SetColor(clWhite);
    glyph.Canvas()->FillRect(Rect(0, 0, 16, 16));
    glyph.Canvas()->Brush()->SetColor(clRed);
    glyph.Canvas()->FillRect(Rect(2, 2, 14, 14));
    menu->Items()->Items(1)->SetBitmap(&glyph);
    auto gutterInk = [](TMenuWindow* w, int Row) {
        TRect r = w->ItemRect(Row);
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left + 3; x < r.Left + 19; ++x)
                n += Headless::PixelAt(w, x, y) == ColorToRGB(clMenuText);
        return n;
    };
    Open([&](TPopupMenu* m) {
        TMenuWindow* w = m->Level(0);
        TColor menuColor = ColorToRGB(clMenu);
        // The glyph sits 3 pixels into the row, centred from top to bottom.
        TRect clear = w->ItemRect(1);
        int gx = clear.Left + 3, gy = clear.Top + (clear.Height() - 16) / 2;
        EXPECT_EQ(Headless::PixelAt(w, gx + 8, gy + 8), ColorToRGB(clRed));
        EXPECT_EQ(Headless::PixelAt(w, gx + 1, gy + 1), menuColor);  // transparent
        // "Data Read-Only" is checked: a tick in its gutter; "Range"'s parent is not.
        EXPECT_GT(gutterInk(w, 4), 10);
        EXPECT_EQ(gutterInk(w, 0), 0);
        // The highlighted row is filled.
        TRect first = w->ItemRect(0);
        EXPECT_EQ(Headless::PixelAt(w, first.Right - 3, first.Top + 1), menuColor);
        w->SetHighlighted(0);
        EXPECT_EQ(Headless::PixelAt(w, first.Right - 3, first.Top + 1), ColorToRGB(clHighlight));
        // The line row has an etched line in its middle.
        TRect line = w->ItemRect(3);
        EXPECT_EQ(Headless::PixelAt(w, line.Left + 10, line.Top + 3), ColorToRGB(clBtnShadow));
        EXPECT_EQ(Headless::PixelAt(w, line.Left + 10, line.Top + 4), ColorToRGB(clBtnHighlight));
        m->Dismiss();
    });
}

}  // namespace
