// TCustomComboBox and TComboBox: a box showing one entry of a list of texts, with a button
// that drops the list down in a popup window (TComboBoxDropDown) below the box, or above it
// when the screen has no room below. The list scrolls past DropDownCount entries, follows the
// mouse, chooses with a click or Enter and closes unchanged with Esc or a click elsewhere; on
// the closed box the arrow keys step through the entries and F4 or Alt+Down open the list.
//
// Styles: csDropDown has an edit part (a TCustomEdit inside the box) for any text; csSimple
// shows the list always, below the edit part, inside the box; csDropDownList shows the
// chosen entry only; csOwnerDrawFixed and csOwnerDrawVariable are drop-down lists whose
// entries and edit part the program draws through DrawItem (OnDrawItem), on Canvas.
//
// Events follow the user: choosing an entry (list or keys) fires Click (OnClick) and Select
// (OnSelect, or OnChange when OnSelect is not assigned); typing in the edit part fires
// Change (OnChange). Setting ItemIndex or Text from the program fires none of them.
//
// In the headless backend the drop-down's modal handler receives the TComboBoxDropDown; a
// test plays the user on it (Headless::Click on ItemRect(i), Headless::PressKey(list, VK_DOWN)
// and VK_RETURN, or Choose(i)), or returns at once to cancel.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/Edit.h"
#include "host/PopupWindow.h"
#include "host/ScrollBars.h"
#include "host/Strings.h"

namespace kovo {

enum TComboBoxStyle : uint8_t {
    csDropDown,
    csSimple,
    csDropDownList,
    csOwnerDrawFixed,
    csOwnerDrawVariable
};

enum TOwnerDrawStateFlag : uint8_t {
    odSelected,
    odGrayed,
    odDisabled,
    odChecked,
    odFocused,
    odDefault,
    odHotLight,
    odInactive,
    odNoAccel,
    odNoFocusRect,
    odReserved1,
    odReserved2,
    odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateFlag>;

class TCustomComboBox;

using TDrawItemEvent =
    std::function<void(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;

// The drop-down list's popup window.
class TComboBoxDropDown : public TPopupWindow {
  public:
    explicit TComboBoxDropDown(TCustomComboBox* Combo);
    TCustomComboBox* Combo() const { return FCombo; }

    // The entry under the mouse or chosen with the keys (-1: none), and the first one shown.
    int HotIndex() const { return FHotIndex; }
    void SetHotIndex(int Index);
    int TopIndex() const { return FTopIndex; }
    void SetTopIndex(int Index);
    // Where entry Index is drawn, in the window's client coordinates (empty when scrolled out
    // of view), and the entry at a client point (-1 outside the entries).
    TRect ItemRect(int Index);
    int ItemAtPos(TPoint P);
    // Entries that fit into the window from TopIndex on.
    int VisibleCount();
    // Closes the list with entry Index chosen (-1: closes unchanged).
    void Choose(int Index);
    int ChosenIndex() const { return FChosen; }
    TScrollBarPiece& ScrollBar() { return FScroll; }

    // Sizes the window for the combo box's entries and shows HotIndex.
    void Prepare(int Width, int HotIndex);

  protected:
    void Paint() override;
    TRect ListRect() const;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

  private:
    void UpdateScrollBar();
    void MakeVisible(int Index);

    TCustomComboBox* FCombo;  // the box the list belongs to
    int FHotIndex = -1;       // entry under the mouse or the keyboard
    int FTopIndex = 0;        // first entry shown
    int FChosen = -1;         // the entry chosen when the window closed
    bool FScrolling = false;  // the scroll bar has the mouse
    TScrollBarPiece FScroll{sbVertical};
};

class TCustomComboBox : public TCustomControl {
  public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    // -1: no entry. Values outside -1..Count-1 are ignored.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    // The edit part's text; for the list styles the chosen entry's text (setting it chooses
    // the entry with that text, or none).
    std::string GetText() const override;
    void SetText(const std::string& Value) override;
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value);  // at least 1
    // The height of an entry; for the owner-drawn styles it can be set, the others follow the
    // font.
    int ItemHeight() const;
    void SetItemHeight(int Value);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    // Opening runs the popup's modal loop and returns when the list has closed again.
    bool DroppedDown() const { return FDroppedDown; }
    void SetDroppedDown(bool Value);
    // The selection of the edit part (empty for the list styles).
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    std::string SelText() const;
    void SelectAll();
    // The edit part of csDropDown and csSimple (nullptr for the list styles).
    TCustomEdit* EditPart() const { return FEdit.get(); }
    // The open drop-down list (nullptr while closed).
    TComboBoxDropDown* DropDownList() const { return FDroppedDown ? FList.get() : nullptr; }
    // The canvas DrawItem draws on: the box's own, or the list window's while the list paints.
    TCanvas* Canvas() const { return FDrawCanvas ? FDrawCanvas : TCustomControl::Canvas(); }

    // True when the box or its edit part has the focus.
    bool HasFocus() const;
    void SetFocus() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // Height of entry Index (MeasureItem for csOwnerDrawVariable).
    int ItemHeightOf(int Index);
    // The rectangle of the closed box's edit part (client coordinates).
    TRect EditPartRect() const;
    // The drop-down button (empty for csSimple).
    TRect ButtonRect() const;
    // csSimple: where the always-shown list lies, its first entry and entry rectangles.
    TRect SimpleListRect() const;
    int SimpleTopIndex() const { return FSimpleTop; }
    TRect SimpleItemRect(int Index);

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

  protected:
    friend class TComboBoxDropDown;
    friend class TComboBoxEdit;

    // Draws entry Index into Rect on Canvas; the canvas brush and font are set up for the
    // state already (highlight colours for odSelected). The default fills Rect and writes the
    // entry's text. Calls OnDrawItem instead when it is assigned.
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    // The list is about to open (OnDropDown), has closed (OnCloseUp).
    virtual void DropDown();
    virtual void CloseUp();
    // The user chose an entry: OnClick, then Select.
    void Click() override;
    virtual void Select();
    // The edit part's text changed by the user (OnChange).
    virtual void Change();

    void Paint() override;
    LRESULT GetDlgCode() const override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMColorChanged(TMessage& Message) override;

    // Draws entry Index (with the state's colours, DrawItem and the focus rectangle) on C.
    void PaintItem(TCanvas* C, int Index, const TRect& Rect, TOwnerDrawState State);
    // The user chose entry Index (keys, the list): text, ItemIndex, Click, Select.
    void UserSelect(int Index);

  private:
    bool HasEdit() const { return FStyle == csDropDown || FStyle == csSimple; }
    bool OwnerDrawn() const { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }
    void ItemsChanged();
    void UpdateEditPart();
    void PlaceEditPart();
    void AdjustHeight();
    void SetEditTextQuietly(const std::string& S);
    int SimpleEditHeight() const;
    void MakeSimpleVisible(int Index);
    void EditTextChanged();
    int FindPrefix(const std::string& Prefix, int After) const;
    void PaintButton(TCanvas* C);
    TColor Background() const;
    void PaintSimpleList(TCanvas* C);
    void UpdateSimpleScroll();
    void SimpleScrolled(TScrollCode Code, int Pos);
    bool NavigateKey(WORD Key, TShiftState Shift);
    // The plain look of an entry: the rectangle filled, the text at its left.
    void DrawItemText(int Index, const TRect& Rect);

    TComboBoxStyle FStyle = csDropDown;
    std::unique_ptr<TStringList> FItems;        // the entries
    int FItemIndex = -1;                        // the chosen entry
    bool FSorted = false;                       // entries kept in order
    int FDropDownCount = 8;                     // entries the list shows before it scrolls
    int FItemHeight = 0;                        // owner-drawn entry height (0: from the font)
    int FMaxLength = 0;                         // for the edit part
    bool FDroppedDown = false;                  // the list is open
    std::unique_ptr<TCustomEdit> FEdit;         // the edit part (csDropDown, csSimple)
    std::unique_ptr<TComboBoxDropDown> FList;   // the drop-down window, made when first opened
    TCanvas* FDrawCanvas = nullptr;             // the canvas DrawItem uses while not the box's
    bool FQuietText = false;                    // the program sets the edit part's text
    std::string FSearch;                        // typed prefix of the list styles
    uint64_t FSearchTime = 0;                   // when it was last typed
    int FSimpleTop = 0;                         // csSimple: first entry shown
    TScrollBarPiece FSimpleScroll{sbVertical};  // csSimple: the list's scroll bar
};

class TComboBox : public TCustomComboBox {
  public:
    explicit TComboBox(TComponent* AOwner);
};

}  // namespace kovo
