// The grid's in-place editor: TInplaceEdit, an edit line without a frame that lies over the
// current cell, starts with the grid's GetEditText and hands every change to SetEditText;
// TInplaceEditList, which adds a button at its right end for cells whose edit style is
// esEllipsis (a "..." button) or esPickList (a drop-down list of PickList entries); and
// TPopupListbox, the list that drops down.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "host/Edit.h"
#include "host/Grid.h"
#include "host/PopupWindow.h"
#include "host/ScrollBars.h"
#include "host/Strings.h"

namespace kovo {

class TInplaceEdit : public TCustomEdit {
  public:
    explicit TInplaceEdit(TComponent* AOwner);
    ~TInplaceEdit() override;

    TCustomGrid* Grid() const { return FGrid; }
    // The grid makes the editor its child; called once by the grid.
    void SetGrid(TCustomGrid* AGrid);

    // Places the editor over Loc (the grid's client coordinates) and shows it, taking the
    // focus when the grid has it; an empty Loc hides it.
    void Move(const TRect& Loc);
    // The same, keeping the focus where it is (the grid scrolled).
    void UpdateLoc(const TRect& Loc);
    // Hides the editor; the focus goes back to the grid when the editor had it.
    void HideEditor();
    // Fetches the current cell's text through the grid's GetEditText (no SetEditText).
    virtual void UpdateContents();
    void Deselect();

  protected:
    // Every change of the text goes to the grid's SetEditText for the edited cell.
    void Change() override;
    // Moving keys go to the grid (up, down, pages, Tab, Esc; left, right, Home and End
    // at the ends of the text with goAlwaysShowEditor), the rest to the edit line.
    void KeyDown(WORD& Key, TShiftState Shift) override;
    // The grid sees every character first (Enter ends editing there).
    void KeyPress(char32_t& Key) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    LRESULT GetDlgCode() const override;
    // Focus coming from outside the grid enters the grid; leaving it exits the grid.
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    // The text starts 2 pixels in from the cell's corner, where the grid's texts are drawn.
    TRect EditRect() const override;
    // After the editor was placed.
    virtual void BoundsChanged() {}

    friend class TCustomGrid;

    TCustomGrid* FGrid = nullptr;  // the grid the editor serves
    bool FUpdating = false;        // the text is being loaded, not edited

  private:
    void InternalMove(const TRect& Loc, bool TakeFocus);
};

// The drop-down list of a pick-list editor (and of anything else that needs a plain list
// under a field): a popup window with one line per entry, a scroll bar when there are more
// entries than DropDownRows, the mouse and arrow keys choosing, Enter or a click accepting.
class TPopupListbox : public TPopupWindow {
  public:
    explicit TPopupListbox(TComponent* AOwner);
    ~TPopupListbox() override;

    TStrings* Items() const { return FItems.get(); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int TopIndex() const { return FTopIndex; }
    void SetTopIndex(int Value);
    // Pixels per entry (the font's line height plus 2).
    int ItemHeight() const;
    // Lines shown; the height follows (with a 1-pixel frame above and below).
    int VisibleRows() const { return FVisibleRows; }
    void SetVisibleRows(int Value);
    // The entry at a client point, -1 outside the entries.
    int ItemAtPos(int X, int Y) const;
    TScrollBarPiece* ScrollBar() { return &FScroll; }

  protected:
    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void Resize() override;

  private:
    void LayoutScroll();
    void MakeVisible(int Index);

    std::unique_ptr<TStringList> FItems;  // the entries
    int FItemIndex = -1;                  // the highlighted entry
    int FTopIndex = 0;                    // first entry shown
    int FVisibleRows = 8;                 // entries shown at once
    bool FTracking = false;               // the left button is down over the list
    TScrollBarPiece FScroll{sbVertical};
};

using TOnGetPickListItems = std::function<void(int ACol, int ARow, TStrings* Items)>;

class TInplaceEditList : public TInplaceEdit {
  public:
    explicit TInplaceEditList(TComponent* AOwner);
    ~TInplaceEditList() override;

    // The entries of the drop-down list; OnGetPickListItems may fill them just before the
    // list first drops down on a cell.
    TStrings* PickList() const { return FPickList->Items(); }
    TPopupListbox* PickListBox() const { return FPickList.get(); }
    // Entries shown at once (at least 1).
    int DropDownRows() const { return FDropDownRows; }
    void SetDropDownRows(int Value);
    // The style of the cell being edited, from the grid's GetEditStyle.
    TEditStyle EditStyle() const { return FEditStyle; }
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    bool ListVisible() const { return FListVisible; }
    // The button's rectangle (client coordinates), empty for esSimple.
    TRect ButtonRect() const;

    // Drops the list down below the editor (or above it at the screen's bottom) and runs it;
    // an accepted entry becomes the text.
    void DropDown();
    void CloseUp(bool Accept);

    void UpdateContents() override;

    TOnGetPickListItems OnGetPickListItems;
    TNotifyEvent OnEditButtonClick;

  protected:
    virtual void DoGetPickListItems();
    virtual void DoEditButtonClick();
    TRect EditRect() const override;
    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  private:
    std::unique_ptr<TPopupListbox> FPickList;  // the drop-down list
    int FDropDownRows = 7;                     // entries shown at once
    TEditStyle FEditStyle = esSimple;          // style of the cell being edited
    int FButtonWidth = ScrollBarSize;          // width of the button at the right end
    bool FListVisible = false;                 // the list is down
    bool FPickListLoaded = false;              // OnGetPickListItems ran for this cell
    bool FButtonPressed = false;               // the left button went down on the button
    bool FButtonDown = false;                  // ... and the mouse is over it
};

}  // namespace kovo
