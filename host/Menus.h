// Popup menus: TMenuItem (a command, a line or a submenu), TPopupMenu (a tree of items that
// opens at a screen point) and the builders NewPopupMenu, NewItem, NewSubMenu and NewLine.
//
// Popup is modal. Each open level of the menu is a TMenuWindow, a popup window that follows
// the mouse, opens submenus when an item is hovered or clicked, and takes the arrow keys,
// Enter, Esc and accelerator letters. The chosen item's Click runs after the menu has closed.
// A disabled item can be highlighted but not chosen.
//
// With the headless backend the modal handler receives the TPopupMenu (not the window): once
// when the menu opens and once more for every submenu that opens while it is shown (those
// open inside the handler's own call). ChooseItem and Dismiss play the user's part through
// the same code a click or Esc takes; the level windows (Level(i)) can also be clicked with
// Headless::Click at ItemRect.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/Component.h"
#include "host/Exceptions.h"
#include "host/PopupWindow.h"

namespace kovo {

// A wrong use of menu items: a missing item inserted, an item put into itself.
class EMenuError : public Exception {
  public:
    using Exception::Exception;
};

class TBitmap;
class TMenuItem;
class TPopupMenu;

// A key with Shift, Ctrl and Alt bits: the key code in the low byte.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;
TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift);
// "Ctrl+C", "Shift+F5", "Del"; empty for scNone.
std::string ShortCutToText(TShortCut ShortCut);

// A caption without its accelerator marks ("&File" is "File", "&&" one ampersand).
std::string StripHotkey(const std::string& Caption);
// The accelerator letter of a caption (lower case), 0 when it has none.
char32_t GetHotkey(const std::string& Caption);

// The caption of a separator line.
inline const std::string cLineCaption = "-";

class TMenuItem : public TComponent {
  public:
    explicit TMenuItem(TComponent* AOwner);
    // Frees the sub-items and leaves the parent item.
    ~TMenuItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    // A disabled item shows grey and cannot be chosen; its Click does nothing.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Checked() const { return FChecked; }
    // Checking a RadioItem unchecks the radio items of the same GroupIndex beside it.
    void SetChecked(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // The picture drawn before the caption (16 x 16, drawn with its transparent colour).
    // The item owns it; SetBitmap copies the given one (nullptr empties it).
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* Value);
    bool HasBitmap() const;
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    uint8_t GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(uint8_t Value) { FGroupIndex = Value; }
    // Click toggles Checked first.
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value) { FAutoCheck = Value; }
    // Drawn in bold: the command a double click would run.
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);

    // Sub-items, 0-based. The item owns them.
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const;
    TMenuItem* operator[](int Index) const { return Items(Index); }
    // Appends Item (taking it from a parent it had). An item cannot hold itself or one of
    // its parents.
    void Add(TMenuItem* Item);
    void Add(const std::vector<TMenuItem*>& AItems);
    void Insert(int Index, TMenuItem* Item);
    // Takes the sub-item at Index out without freeing it: the caller owns it then. An index
    // out of range does nothing.
    void Delete(int Index);
    void Remove(TMenuItem* Item);
    // Frees every sub-item.
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    // The sub-item whose caption, without accelerator marks, equals ACaption ignoring case.
    TMenuItem* Find(const std::string& ACaption) const;
    TMenuItem* Parent() const { return FParent; }
    int MenuIndex() const;
    bool IsLine() const { return FCaption == cLineCaption; }
    // The popup menu the item belongs to (nullptr when it is in none).
    TPopupMenu* GetParentMenu() const;

    // Toggles Checked with AutoCheck and fires OnClick, when enabled.
    virtual void Click();

    TNotifyEvent OnClick;

  private:
    friend class TPopupMenu;
    void Changed();
    void UncheckRadioSiblings();

    std::string FCaption;              // text with "&" before the accelerator; "-": a line
    bool FEnabled = true;              // can be chosen
    bool FChecked = false;             // shows a check mark (a dot for a radio item)
    bool FVisible = true;              // shown in the menu
    std::unique_ptr<TBitmap> FBitmap;  // the glyph, made on first use
    TShortCut FShortCut = scNone;      // key shown at the right
    int FHelpContext = 0;              // help topic number
    std::string FHint;                 // help text
    bool FRadioItem = false;           // one of a group of exclusive choices
    uint8_t FGroupIndex = 0;           // the radio group
    bool FAutoCheck = false;           // Click toggles Checked
    bool FDefault = false;             // shown bold
    std::vector<TMenuItem*> FItems;    // sub-items, owned
    TMenuItem* FParent = nullptr;      // the item this one is a sub-item of
    TPopupMenu* FMenu = nullptr;       // set on the root item of a popup menu
};

enum TPopupAlignment : uint8_t { paLeft, paRight, paCenter };

class TMenuWindow;

class TPopupMenu : public TComponent {
  public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    // The root item; its sub-items are the menu's items.
    TMenuItem* Items() const { return FItems.get(); }
    // Where the menu goes relative to the point Popup gets: its left edge, its right edge or
    // its centre there.
    TPopupAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
    // A right click on a control whose PopupMenu is this menu opens it.
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    // The point the last Popup opened at.
    TPoint PopupPoint() const { return FPopupPoint; }

    // Fires OnPopup, shows the menu at the screen point and runs it until an item is chosen
    // or the menu is dismissed; then fires OnClose and the chosen item's Click. A menu without
    // visible items does not open.
    virtual void Popup(int X, int Y);
    // The menu is shown (nothing chosen or dismissed yet).
    bool IsOpen() const;

    // The open levels: 0 the menu itself, then each submenu opened from the one before.
    int LevelCount() const { return static_cast<int>(FLevels.size()); }
    TMenuWindow* Level(int Index) const;

    // While the menu is open: goes along Path, one caption (without "&", any case) or item
    // name per level, opening each submenu on the way as hovering does, and chooses the last
    // item as a click does. False when an entry is not found, not visible or disabled, or
    // when the last one opens a submenu rather than running a command.
    bool ChooseItem(const std::vector<std::string>& Path);
    // Closes every open level without choosing anything, as Esc and a click elsewhere do.
    void Dismiss();

    // The item (anywhere in the menu) with that name, ignoring case.
    TMenuItem* FindItem(const std::string& AName) const;
    // Clicks the enabled item whose ShortCut the key makes; true when there was one.
    bool IsShortCut(WORD Key, TShiftState Shift);

    TNotifyEvent OnPopup;
    TNotifyEvent OnClose;

  protected:
    // Fires OnPopup before the menu shows.
    virtual void DoPopup(TObject* Sender);

  private:
    friend class TMenuWindow;
    friend class TMenuItem;
    void Choose(TMenuItem* Item);  // closes every level and remembers the item
    void CloseAll(bool Accepted);

    std::unique_ptr<TMenuItem> FItems;  // the root item
    TPopupAlignment FAlignment = paLeft;
    bool FAutoPopup = true;
    TPoint FPopupPoint;                 // where the last Popup opened
    std::vector<TMenuWindow*> FLevels;  // open windows, the menu first
    TMenuItem* FChosen = nullptr;       // the item chosen in the current Popup
    bool FPopping = false;              // Popup is running
};

// One open level of a popup menu: the visible sub-items of an item in a window.
class TMenuWindow : public TPopupWindow {
  public:
    TMenuWindow(TPopupMenu* Menu, TMenuItem* Source, int Level);
    ~TMenuWindow() override;

    TPopupMenu* Menu() const { return FMenu; }
    // The item whose sub-items the window lists.
    TMenuItem* Source() const { return FSource; }
    int LevelIndex() const { return FLevel; }

    // The visible sub-items shown, top to bottom.
    int ItemCount() const { return static_cast<int>(FShown.size()); }
    TMenuItem* Item(int Index) const;
    // Index's row in the window's coordinates; empty outside 0..ItemCount-1.
    TRect ItemRect(int Index) const;
    // The row at a point (-1 over none, a line counts as a row).
    int ItemAtPos(int X, int Y) const;
    // The row a match of a path entry is in (caption without "&" or name, any case).
    int IndexOfEntry(const std::string& Entry) const;

    // The highlighted row (-1: none) and the row whose submenu is open (-1: none).
    int Highlighted() const { return FHighlighted; }
    void SetHighlighted(int Index);
    int SubmenuIndex() const { return FChildIndex; }

    // What a click does: a command item closes the menu and is chosen, a submenu item opens
    // its submenu, a line or a disabled item does nothing. True when a command was chosen.
    bool Activate(int Index);
    // Opens the submenu of row Index and runs it (its own modal loop) until it closes. While
    // another submenu of this window is open, that one closes first.
    void OpenSubmenu(int Index, bool SelectFirst = false);

  protected:
    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseLeave(TMessage& Message) override;

  private:
    void Measure();  // row heights, column widths and the window size
    void PaintItem(int Index);
    void MoveHighlight(int Delta);
    bool Selectable(int Index) const;
    void StartHoverTimer(int Index);
    void StopHoverTimer();
    void HoverTimer(TMessage& Message);

    TPopupMenu* FMenu;               // the menu being shown
    TMenuItem* FSource;              // whose sub-items are listed
    int FLevel;                      // 0 for the menu itself
    std::vector<TMenuItem*> FShown;  // the visible sub-items
    std::vector<int> FRowTop;        // y of each row, plus the bottom of the last
    int FTextWidth = 0;              // widest caption
    int FShortCutWidth = 0;          // widest shortcut text
    int FHighlighted = -1;           // row under the mouse or the keyboard
    int FChildIndex = -1;            // row whose submenu is open
    int FPendingIndex = -1;          // submenu to open when the open one has closed
    bool FPendingSelectFirst = false;
    bool FChildRunning = false;     // OpenSubmenu's loop is on the stack
    TMenuWindow* FChild = nullptr;  // the open submenu
    HWND FTimerWnd = 0;             // private window of the hover timer
    int FHoverIndex = -1;           // row the hover timer acts on
};

// Builders, as the classic menu unit offers them.
TPopupMenu* NewPopupMenu(TComponent* Owner, const std::string& AName, TPopupAlignment Alignment,
                         bool AutoPopup, const std::vector<TMenuItem*>& Items);
TMenuItem* NewItem(const std::string& ACaption, TShortCut AShortCut, bool AChecked, bool AEnabled,
                   TNotifyEvent AOnClick, int hCtx, const std::string& AName);
TMenuItem* NewSubMenu(const std::string& ACaption, int hCtx, const std::string& AName,
                      const std::vector<TMenuItem*>& Items, bool AEnabled = true);
TMenuItem* NewLine();

}  // namespace kovo
