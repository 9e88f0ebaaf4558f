#include "host/InplaceEdit.h"

#include <algorithm>

#include "host/Application.h"
#include "host/ListKeys.h"
#include "host/TextRender.h"

namespace kovo {

// --- TInplaceEdit ---------------------------------------------------------------------------

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
    SetBorderStyle(bsNone);
    SetAutoSize(false);
    SetTabStop(false);
    SetVisible(false);
}

TInplaceEdit::~TInplaceEdit() = default;

void TInplaceEdit::SetGrid(TCustomGrid* AGrid) {
    FGrid = AGrid;
    if (!AGrid) return;
    SetParentColor(true);
    SetParent(AGrid);
}

void TInplaceEdit::Move(const TRect& Loc) {
    InternalMove(Loc, true);
}

void TInplaceEdit::UpdateLoc(const TRect& Loc) {
    InternalMove(Loc, true);
}

void TInplaceEdit::InternalMove(const TRect& Loc, bool TakeFocus) {
    if (!FGrid) return;
    if (Loc.IsEmpty()) {
        // The cell left the view: the editor waits, hidden, until it comes back.
        HideEditor();
        return;
    }
    int b = FGrid->BorderWidth();
    SetBounds(Loc.Left + b, Loc.Top + b, Loc.Width(), Loc.Height());
    if (!Visible()) Show();
    BoundsChanged();
    Invalidate();
    if (TakeFocus && FGrid->Focused() && CanFocus()) SetFocus();
}

void TInplaceEdit::HideEditor() {
    if (!Visible()) return;
    // The grid takes the focus before the editor goes, so that it never leaves the grid.
    if (Focused() && FGrid && FGrid->CanFocus()) FGrid->SetFocus();
    Hide();
}

void TInplaceEdit::UpdateContents() {
    if (!FGrid) return;
    FUpdating = true;
    try {
        SetText(FGrid->GetEditText(FGrid->FInplaceCol, FGrid->FInplaceRow));
        SetMaxLength(FGrid->GetEditLimit());
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}

void TInplaceEdit::Deselect() {
    SetSelStart(FBuffer.Length());
}

void TInplaceEdit::Change() {
    TCustomEdit::Change();
    if (FUpdating || !FGrid || FGrid->FInplaceCol < 0 || FGrid->FInplaceRow < 0) return;
    std::string text = Text();
    if (text == FGrid->FEditReported) return;
    FGrid->FEditReported = text;
    FGrid->SetEditText(FGrid->FInplaceCol, FGrid->FInplaceRow, text);
}

void TInplaceEdit::KeyDown(WORD& Key, TShiftState Shift) {
    if (!FGrid) {
        TCustomEdit::KeyDown(Key, Shift);
        return;
    }
    TCustomGrid* grid = FGrid;
    auto sendToGrid = [&] {
        grid->KeyDown(Key, Shift);
        Key = 0;
    };
    auto gridEvent = [&] {
        if (grid->OnKeyDown) grid->OnKeyDown(grid, Key, Shift);
    };
    bool forward = grid->Options().contains(goAlwaysShowEditor);
    bool ctrl = Shift.contains(ssCtrl);
    int len = FBuffer.Length(), caret = CaretPosition();
    int selStart = SelStart(), selEnd = SelStart() + SelLength();
    bool leftSide = caret == 0 && selStart == 0 && (selEnd == 0 || selEnd == len);
    bool rightSide = caret == len && (selStart == 0 || selEnd == selStart) && selEnd == len;
    switch (Key) {
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
            sendToGrid();
            break;
        case VK_ESCAPE: {
            // The grid cancels the edit; the key stays, so that its character (Esc) reaches
            // whatever has the focus then.
            WORD k = Key;
            grid->KeyDown(k, Shift);
            return;
        }
        case VK_INSERT:
            if (Shift.empty())
                sendToGrid();
            else if (Shift == TShiftState{ssShift} && !grid->CanEditModify())
                Key = 0;
            break;
        case VK_LEFT:
        case VK_HOME:
            if (forward && (ctrl || leftSide)) sendToGrid();
            break;
        case VK_RIGHT:
        case VK_END:
            if (forward && (ctrl || rightSide)) sendToGrid();
            break;
        case VK_F2:
            gridEvent();
            if (Key == VK_F2) Deselect();
            return;
        case VK_TAB:
            if (!Shift.contains(ssAlt)) sendToGrid();
            break;
        case VK_DELETE:
            if (ctrl)
                sendToGrid();
            else if (!grid->CanEditModify())
                Key = 0;
            break;
        default:
            break;
    }
    if (Key != 0) {
        gridEvent();
        TCustomEdit::KeyDown(Key, Shift);
    }
}

void TInplaceEdit::KeyPress(char32_t& Key) {
    if (!FGrid) {
        TCustomEdit::KeyPress(Key);
        return;
    }
    FGrid->KeyPress(Key);
    if (Key >= 32 && !FGrid->CanEditAcceptKey(Key)) {
        Key = 0;
        MessageBeep();
    }
    switch (Key) {
        case 9:
        case 27:
            Key = 0;
            break;
        case 13:
            // Still here with goAlwaysShowEditor: Enter toggles between all and nothing.
            if (SelStart() == 0 && SelLength() == FBuffer.Length())
                Deselect();
            else
                SelectAll();
            Key = 0;
            break;
        case 8:
        case 22:
        case 24:
            if (!FGrid->CanEditModify()) Key = 0;
            break;
        default:
            if (Key >= 32 && !FGrid->CanEditModify()) Key = 0;
            break;
    }
    if (Key != 0) TCustomEdit::KeyPress(Key);
}

void TInplaceEdit::KeyUp(WORD& Key, TShiftState Shift) {
    if (FGrid) FGrid->KeyUp(Key, Shift);
    if (Key != 0) TCustomEdit::KeyUp(Key, Shift);
}

void TInplaceEdit::WMSetFocus(TMessage& Message) {
    if (FGrid) {
        if (!FGrid->FFocusToEditor) FGrid->DoEnter();
        FGrid->FFocusToEditor = false;
    }
    TCustomEdit::WMSetFocus(Message);
}

void TInplaceEdit::WMKillFocus(TMessage& Message) {
    if (FGrid) {
        if (Application->FocusedControl(RootControl()) == FGrid)
            FGrid->FFocusFromEditor = true;
        else
            FGrid->DoExit();
    }
    TCustomEdit::WMKillFocus(Message);
}

TRect TInplaceEdit::EditRect() const {
    int lineH = std::max(1, GetTextMetrics(*Font()).tmHeight);
    TRect r = ClientRect();
    r = TRect{r.Left + 2, r.Top + 2, r.Right - 2, std::min(r.Bottom, r.Top + 2 + lineH)};
    if (r.Right < r.Left) r.Right = r.Left;
    if (r.Bottom < r.Top) r.Bottom = r.Top;
    return r;
}

LRESULT TInplaceEdit::GetDlgCode() const {
    LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (FGrid) code |= FGrid->GetDlgCode() & DLGC_WANTTAB;
    return code;
}

// --- TPopupListbox ----------------------------------------------------------------------------

TPopupListbox::TPopupListbox(TComponent* AOwner)
    : TPopupWindow(AOwner), FItems(std::make_unique<TStringList>()) {
    FControlStyle.Include(csCaptureMouse);
    FScroll.OnScroll = [this](TScrollCode Code, int Pos) {
        switch (Code) {
            case scLineUp:
                SetTopIndex(FTopIndex - 1);
                break;
            case scLineDown:
                SetTopIndex(FTopIndex + 1);
                break;
            case scPageUp:
                SetTopIndex(FTopIndex - FVisibleRows);
                break;
            case scPageDown:
                SetTopIndex(FTopIndex + FVisibleRows);
                break;
            case scTrack:
            case scPosition:
                SetTopIndex(Pos);
                break;
            default:
                break;
        }
    };
    FScroll.OnInvalidate = [this] { Invalidate(); };
    SetBounds(0, 0, 100, 2 + FVisibleRows * ItemHeight());
}

TPopupListbox::~TPopupListbox() {
    FScroll.OnScroll = nullptr;
    FScroll.OnInvalidate = nullptr;
}

int TPopupListbox::ItemHeight() const {
    return std::max(1, GetTextMetrics(*Font()).tmHeight + 2);
}

void TPopupListbox::SetVisibleRows(int Value) {
    FVisibleRows = std::max(1, Value);
    SetHeight(2 + FVisibleRows * ItemHeight());
    LayoutScroll();
}

void TPopupListbox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= FItems->Count()) Value = -1;
    if (Value == FItemIndex) return;
    FItemIndex = Value;
    if (Value >= 0) MakeVisible(Value);
    Invalidate();
}

void TPopupListbox::SetTopIndex(int Value) {
    Value = std::clamp(Value, 0, std::max(0, FItems->Count() - FVisibleRows));
    if (Value == FTopIndex) return;
    FTopIndex = Value;
    LayoutScroll();
    Invalidate();
}

void TPopupListbox::MakeVisible(int Index) {
    if (Index < FTopIndex)
        SetTopIndex(Index);
    else if (Index >= FTopIndex + FVisibleRows)
        SetTopIndex(Index - FVisibleRows + 1);
}

void TPopupListbox::LayoutScroll() {
    int count = FItems->Count();
    if (count > FVisibleRows) {
        FScroll.SetBounds(TRect{Width() - 1 - ScrollBarSize, 1, Width() - 1, Height() - 1});
        FScroll.SetRange(0, count - 1, FVisibleRows);
        FScroll.SetPosition(FTopIndex);
    } else {
        FScroll.SetBounds({});
    }
}

void TPopupListbox::Resize() {
    TPopupWindow::Resize();
    LayoutScroll();
}

int TPopupListbox::ItemAtPos(int X, int Y) const {
    int right = FScroll.BoundsRect().IsEmpty() ? Width() - 1 : FScroll.BoundsRect().Left;
    if (X < 1 || X >= right || Y < 1 || Y >= Height() - 1) return -1;
    int i = FTopIndex + (Y - 1) / ItemHeight();
    return i < FItems->Count() && i < FTopIndex + FVisibleRows ? i : -1;
}

void TPopupListbox::Paint() {
    LayoutScroll();
    TCanvas* c = Canvas();
    c->SetFont(Font());
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    c->Brush()->SetColor(clWindowFrame);
    c->FrameRect(ClientRect());
    int right = FScroll.BoundsRect().IsEmpty() ? Width() - 1 : FScroll.BoundsRect().Left;
    int ih = ItemHeight();
    for (int i = FTopIndex; i < FItems->Count() && i < FTopIndex + FVisibleRows; ++i) {
        TRect r{1, 1 + (i - FTopIndex) * ih, right, 1 + (i - FTopIndex + 1) * ih};
        bool sel = i == FItemIndex;
        c->Brush()->SetColor(sel ? clHighlight : Color());
        c->Font()->SetColor(sel ? clHighlightText : Font()->Color());
        c->TextRect(r, r.Left + 2, r.Top + 1, FItems->Strings(i));
    }
    FScroll.Paint(c);
}

void TPopupListbox::KeyDown(WORD& Key, TShiftState Shift) {
    int count = FItems->Count();
    int i = FItemIndex;
    if (Key == VK_RETURN) {
        Key = 0;
        ClosePopup(FItemIndex >= 0);
        return;
    }
    if (!ListKeyTarget(Key, i, count, FVisibleRows, i)) {
        TPopupWindow::KeyDown(Key, Shift);
        return;
    }
    Key = 0;
    if (count > 0) SetItemIndex(i);
}

void TPopupListbox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FScroll.MouseDown(Button, Shift, X, Y)) return;
    if (Button == mbLeft) {
        FTracking = true;
        int i = ItemAtPos(X, Y);
        if (i >= 0) SetItemIndex(i);
    }
    TPopupWindow::MouseDown(Button, Shift, X, Y);
}

void TPopupListbox::MouseMove(TShiftState Shift, int X, int Y) {
    if (FScroll.MouseMove(Shift, X, Y)) return;
    // The highlight follows the mouse, as in every drop-down list.
    int i = ItemAtPos(X, Y);
    if (i >= 0) SetItemIndex(i);
    TPopupWindow::MouseMove(Shift, X, Y);
}

void TPopupListbox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FScroll.MouseUp(Button, Shift, X, Y)) return;
    TPopupWindow::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !FTracking) return;
    FTracking = false;
    int i = ItemAtPos(X, Y);
    if (i < 0) return;
    SetItemIndex(i);
    ClosePopup(true);
}

bool TPopupListbox::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    if (!TPopupWindow::DoMouseWheelDown(Shift, MousePos)) SetTopIndex(FTopIndex + 1);
    return true;
}

bool TPopupListbox::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    if (!TPopupWindow::DoMouseWheelUp(Shift, MousePos)) SetTopIndex(FTopIndex - 1);
    return true;
}

// --- TInplaceEditList -------------------------------------------------------------------------

TInplaceEditList::TInplaceEditList(TComponent* AOwner)
    : TInplaceEdit(AOwner), FPickList(std::make_unique<TPopupListbox>(nullptr)) {}

TInplaceEditList::~TInplaceEditList() = default;

void TInplaceEditList::SetDropDownRows(int Value) {
    FDropDownRows = std::max(1, Value);
}

void TInplaceEditList::SetButtonWidth(int Value) {
    Value = std::max(0, Value);
    if (Value == FButtonWidth) return;
    FButtonWidth = Value;
    Invalidate();
}

TRect TInplaceEditList::ButtonRect() const {
    if (FEditStyle == esSimple) return {};
    TRect r = ClientRect();
    return TRect{std::max(r.Left, r.Right - FButtonWidth), r.Top, r.Right, r.Bottom};
}

TRect TInplaceEditList::EditRect() const {
    TRect r = TInplaceEdit::EditRect();
    TRect button = ButtonRect();
    if (!button.IsEmpty()) r.Right = std::max(r.Left, std::min(r.Right, button.Left - 1));
    return r;
}

void TInplaceEditList::UpdateContents() {
    FPickListLoaded = false;
    FEditStyle = FGrid ? FGrid->GetEditStyle(FGrid->FInplaceCol, FGrid->FInplaceRow) : esSimple;
    TInplaceEdit::UpdateContents();
    Invalidate();
}

void TInplaceEditList::DoGetPickListItems() {
    if (FPickListLoaded) return;
    if (OnGetPickListItems && FGrid)
        OnGetPickListItems(FGrid->FInplaceCol, FGrid->FInplaceRow, PickList());
    FPickListLoaded = true;
}

void TInplaceEditList::DoEditButtonClick() {
    if (OnEditButtonClick) OnEditButtonClick(FGrid ? static_cast<TObject*>(FGrid) : this);
}

void TInplaceEditList::DropDown() {
    if (FListVisible || FEditStyle != esPickList) return;
    DoGetPickListItems();
    TPopupListbox* list = FPickList.get();
    list->SetFont(Font());
    list->SetColor(Color());
    int count = PickList()->Count();
    int rows = std::clamp(count, 1, FDropDownRows);
    // As wide as the editor, or as the widest entry.
    int widest = 0;
    for (int i = 0; i < count; ++i)
        widest = std::max(widest, MeasureText(*Font(), PickList()->Strings(i)).cx);
    int width = std::max(Width(), widest + 6 + (count > rows ? ScrollBarSize : 0));
    list->SetWidth(width);
    list->SetVisibleRows(rows);
    list->SetItemIndex(Text().empty() ? -1 : PickList()->IndexOf(Text()));
    TPoint p = ClientToScreen(TPoint{0, 0});
    FListVisible = true;
    Invalidate();
    bool accepted = false;
    try {
        accepted = list->PopupBelow(Bounds(p.X, p.Y, Width(), Height()));
    } catch (...) {
        FListVisible = false;
        Invalidate();
        throw;
    }
    CloseUp(accepted);
}

void TInplaceEditList::CloseUp(bool Accept) {
    FListVisible = false;
    Invalidate();
    if (FPickList->IsOpen()) FPickList->ClosePopup(false);
    int i = FPickList->ItemIndex();
    if (!Accept || i < 0 || i >= PickList()->Count()) return;
    if (FGrid && !FGrid->CanEditModify()) return;
    std::string value = PickList()->Strings(i);
    if (value != Text()) SetText(value);
    SelectAll();
}

void TInplaceEditList::Paint() {
    TInplaceEdit::Paint();
    TRect r = ButtonRect();
    if (r.IsEmpty()) return;
    TCanvas* c = Canvas();
    bool down = FButtonDown || FListVisible;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(r);
    DrawButtonEdge(c, r, down);
    TRect g = down ? OffsetRect(r, 1, 1) : r;
    if (FEditStyle == esPickList) {
        DrawArrowGlyph(c, g, arDown, clBtnText);
    } else {
        // Three dots in the middle of the button.
        int cx = g.Left + (g.Width() - 1) / 2, cy = g.Top + (g.Height() - 1) / 2;
        c->Brush()->SetColor(clBtnText);
        for (int dx : {-4, 0, 4}) c->FillRect(TRect{cx + dx - 1, cy, cx + dx + 1, cy + 2});
    }
}

void TInplaceEditList::KeyDown(WORD& Key, TShiftState Shift) {
    if (FEditStyle == esPickList &&
        (((Key == VK_DOWN || Key == VK_UP) && Shift == TShiftState{ssAlt}) ||
         (Key == VK_F4 && Shift.empty()))) {
        Key = 0;
        DropDown();
        return;
    }
    if (FEditStyle == esEllipsis && Key == VK_RETURN && Shift == TShiftState{ssCtrl}) {
        Key = 0;
        DoEditButtonClick();
        return;
    }
    TInplaceEdit::KeyDown(Key, Shift);
}

void TInplaceEditList::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && ButtonRect().Contains(TPoint{X, Y})) {
        if (CanFocus() && !Focused()) SetFocus();
        FButtonPressed = true;
        FButtonDown = true;
        Invalidate();
        // A pick list drops down at once; the "..." button acts when released over it.
        if (FEditStyle == esPickList) {
            FButtonDown = false;
            DropDown();
        }
        return;
    }
    TInplaceEdit::MouseDown(Button, Shift, X, Y);
}

void TInplaceEditList::MouseMove(TShiftState Shift, int X, int Y) {
    if (FButtonPressed) {
        bool over = FEditStyle == esEllipsis && ButtonRect().Contains(TPoint{X, Y});
        if (over != FButtonDown) {
            FButtonDown = over;
            Invalidate();
        }
        return;
    }
    TInplaceEdit::MouseMove(Shift, X, Y);
}

void TInplaceEditList::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FButtonPressed && Button == mbLeft) {
        FButtonPressed = false;
        bool clicked = FButtonDown;
        FButtonDown = false;
        Invalidate();
        if (clicked && FEditStyle == esEllipsis) DoEditButtonClick();
        return;
    }
    TInplaceEdit::MouseUp(Button, Shift, X, Y);
}

}  // namespace kovo
