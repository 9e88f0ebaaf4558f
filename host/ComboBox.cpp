#include "host/ComboBox.h"

#include <algorithm>

#include "host/Application.h"
#include "host/Canvas.h"
#include "host/ListKeys.h"
#include "host/SysUtils.h"
#include "host/TextRender.h"

namespace kovo {

namespace {

constexpr int kFrame = 2;           // the sunken frame round the box
constexpr int kButtonWidth = 17;    // the drop-down button
constexpr int kWheelRows = 3;       // entries a wheel notch scrolls the list
constexpr int kSearchPause = 1000;  // ms after which typing starts a new search prefix

// The classic focus rectangle: every other pixel of the outline inverted.
void DrawFocusRect(TCanvas* C, const TRect& R) {
    if (R.IsEmpty()) return;
    auto invert = [&](int x, int y) {
        if (((x + y) & 1) == 0) C->SetPixels(x, y, ColorToRGB(C->Pixels(x, y)) ^ 0xFFFFFF);
    };
    for (int x = R.Left; x < R.Right; ++x) {
        invert(x, R.Top);
        if (R.Bottom - 1 > R.Top) invert(x, R.Bottom - 1);
    }
    for (int y = R.Top + 1; y < R.Bottom - 1; ++y) {
        invert(R.Left, y);
        if (R.Right - 1 > R.Left) invert(R.Right - 1, y);
    }
}

void DrawArrowDown(TCanvas* C, const TRect& R, TColor Color) {
    int cx = R.Left + (R.Width() - 1) / 2, cy = R.Top + (R.Height() - 4) / 2;
    C->Pen()->SetColor(Color);
    C->Pen()->SetMode(pmCopy);
    for (int i = 0; i < 4; ++i) {
        C->MoveTo(cx - 3 + i, cy + i);
        C->LineTo(cx + 4 - i, cy + i);
    }
}

void RaisedFrame(TCanvas* C, const TRect& R, bool Pressed) {
    auto line = [&](TColor c, int x1, int y1, int x2, int y2) {
        C->Pen()->SetColor(c);
        C->MoveTo(x1, y1);
        C->LineTo(x2, y2);
    };
    int l = R.Left, t = R.Top, r = R.Right - 1, b = R.Bottom - 1;
    C->Pen()->SetMode(pmCopy);
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetWidth(1);
    if (Pressed) {
        // A pressed drop-down button is flat, framed by the shadow.
        C->Brush()->SetColor(clBtnShadow);
        C->FrameRect(R);
        return;
    }
    line(cl3DLight, l, b - 1, l, t);
    line(cl3DLight, l, t, r, t);
    line(cl3DDkShadow, r, t, r, b);
    line(cl3DDkShadow, r, b, l - 1, b);
    line(clBtnHighlight, l + 1, b - 2, l + 1, t + 1);
    line(clBtnHighlight, l + 1, t + 1, r - 1, t + 1);
    line(clBtnShadow, r - 1, t + 1, r - 1, b - 1);
    line(clBtnShadow, r - 1, b - 1, l, b - 1);
}

// The geometry of a list of entries laid out from entry Top down in Area.
TRect ListItemRect(TCustomComboBox* Combo, const TRect& Area, int Top, int Index) {
    if (Index < Top || Index >= Combo->Items()->Count()) return {};
    int y = Area.Top;
    for (int i = Top; i < Index; ++i) {
        y += Combo->ItemHeightOf(i);
        if (y >= Area.Bottom) return {};
    }
    return TRect{Area.Left, y, Area.Right, y + Combo->ItemHeightOf(Index)};
}

int ListItemAt(TCustomComboBox* Combo, const TRect& Area, int Top, TPoint P) {
    if (!Area.Contains(P)) return -1;
    int y = Area.Top, n = Combo->Items()->Count();
    for (int i = std::max(0, Top); i < n && y < Area.Bottom; ++i) {
        int h = Combo->ItemHeightOf(i);
        if (P.Y < y + h) return i;
        y += h;
    }
    return -1;
}

// Entries wholly inside Area from Top on (at least one).
int ListRowsFit(TCustomComboBox* Combo, const TRect& Area, int Top) {
    int y = Area.Top, n = Combo->Items()->Count(), rows = 0;
    for (int i = std::max(0, Top); i < n; ++i) {
        y += Combo->ItemHeightOf(i);
        if (y > Area.Bottom) break;
        ++rows;
    }
    return std::max(1, rows);
}

// The largest first entry that still fills Area.
int ListMaxTop(TCustomComboBox* Combo, const TRect& Area) {
    int n = Combo->Items()->Count(), y = Area.Bottom, top = n;
    while (top > 0) {
        int h = Combo->ItemHeightOf(top - 1);
        if (y - h < Area.Top) break;
        y -= h;
        --top;
    }
    return std::clamp(top, 0, std::max(0, n - 1));
}

// Keeps Index inside Area by moving Top.
int ListTopShowing(TCustomComboBox* Combo, const TRect& Area, int Top, int Index) {
    if (Index < 0) return Top;
    if (Index < Top) return Index;
    while (Top < Index) {
        TRect r = ListItemRect(Combo, Area, Top, Index);
        if (!r.IsEmpty() && r.Bottom <= Area.Bottom) break;
        ++Top;
    }
    return Top;
}

int ScrollTarget(TScrollCode Code, int Pos, int Current, int Page, int Max) {
    switch (Code) {
        case scLineUp:
            return Current - 1;
        case scLineDown:
            return Current + 1;
        case scPageUp:
            return Current - Page;
        case scPageDown:
            return Current + Page;
        case scTrack:
        case scPosition:
            return Pos;
        case scTop:
            return 0;
        case scBottom:
            return Max;
        default:
            return Current;
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The edit part: an edit box inside the combo box whose keys, focus and changes are the box's.

class TComboBoxEdit : public TCustomEdit {
  public:
    explicit TComboBoxEdit(TCustomComboBox* Combo) : TCustomEdit(nullptr), FCombo(Combo) {
        SetBorderStyle(bsNone);
        SetAutoSize(false);
        SetTabStop(false);
        SetColor(Combo->Color());
    }

  protected:
    // The box sees the keys first: its events, the arrows and F4; the rest edits the text.
    // Tab moves on from the box, as the edit part is no stop of its own.
    void KeyDown(WORD& Key, TShiftState Shift) override {
        FCombo->KeyDown(Key, Shift);
        if (Key == VK_TAB && !Shift.contains(ssCtrl)) {
            Key = 0;
            if (auto* root = dynamic_cast<TWinControl*>(RootControl()))
                root->SelectNext(FCombo, !Shift.contains(ssShift), true);
        }
    }
    LRESULT GetDlgCode() const override { return TCustomEdit::GetDlgCode() | DLGC_WANTTAB; }
    void KeyUp(WORD& Key, TShiftState Shift) override { FCombo->KeyUp(Key, Shift); }
    void KeyPress(char32_t& Key) override { FCombo->KeyPress(Key); }
    void Change() override { FCombo->EditTextChanged(); }
    void DoEnter() override { FCombo->DoEnter(); }
    void DoExit() override { FCombo->DoExit(); }
    void WMSetFocus(TMessage& Message) override {
        TCustomEdit::WMSetFocus(Message);
        FCombo->Invalidate();
    }
    void WMKillFocus(TMessage& Message) override {
        TCustomEdit::WMKillFocus(Message);
        FCombo->Invalidate();
    }
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override {
        return FCombo->DoMouseWheelDown(Shift, MousePos);
    }
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override {
        return FCombo->DoMouseWheelUp(Shift, MousePos);
    }

  private:
    TCustomComboBox* FCombo;
};

// ---------------------------------------------------------------------------------------
// The drop-down window

TComboBoxDropDown::TComboBoxDropDown(TCustomComboBox* Combo)
    : TPopupWindow(nullptr), FCombo(Combo) {
    FScroll.OnScroll = [this](TScrollCode Code, int Pos) {
        SetTopIndex(
            ScrollTarget(Code, Pos, FTopIndex, VisibleCount(), ListMaxTop(FCombo, ListRect())));
    };
    FScroll.OnInvalidate = [this] { Invalidate(); };
}

TRect TComboBoxDropDown::ListRect() const {
    TRect r = InflateRect(ClientRect(), -1, -1);
    if (!FScroll.BoundsRect().IsEmpty()) r.Right = FScroll.BoundsRect().Left;
    if (r.Right < r.Left) r.Right = r.Left;
    if (r.Bottom < r.Top) r.Bottom = r.Top;
    return r;
}

void TComboBoxDropDown::Prepare(int Width, int HotIndex) {
    int n = FCombo->Items()->Count();
    int rows = std::min(n, FCombo->DropDownCount());
    int h = 0;
    for (int i = 0; i < rows; ++i) h += FCombo->ItemHeightOf(i);
    if (n == 0) h = FCombo->ItemHeight();
    SetBounds(Left(), Top(), Width, h + 2);
    bool scrolls = n > FCombo->DropDownCount();
    FScroll.SetBounds(scrolls ? Rect(Width - 1 - ScrollBarSize, 1, Width - 1, h + 1) : TRect{});
    FChosen = -1;
    FScrolling = false;
    FTopIndex = 0;
    FHotIndex = std::clamp(HotIndex, -1, n - 1);
    MakeVisible(FHotIndex);
    UpdateScrollBar();
    Invalidate();
}

int TComboBoxDropDown::VisibleCount() {
    return ListRowsFit(FCombo, ListRect(), FTopIndex);
}

TRect TComboBoxDropDown::ItemRect(int Index) {
    return ListItemRect(FCombo, ListRect(), FTopIndex, Index);
}

int TComboBoxDropDown::ItemAtPos(TPoint P) {
    return ListItemAt(FCombo, ListRect(), FTopIndex, P);
}

void TComboBoxDropDown::SetHotIndex(int Index) {
    Index = std::clamp(Index, -1, FCombo->Items()->Count() - 1);
    if (Index == FHotIndex) return;
    FHotIndex = Index;
    Invalidate();
}

void TComboBoxDropDown::SetTopIndex(int Index) {
    Index = std::clamp(Index, 0, ListMaxTop(FCombo, ListRect()));
    if (Index != FTopIndex) {
        FTopIndex = Index;
        Invalidate();
    }
    UpdateScrollBar();
}

void TComboBoxDropDown::MakeVisible(int Index) {
    SetTopIndex(ListTopShowing(FCombo, ListRect(), FTopIndex, Index));
}

void TComboBoxDropDown::UpdateScrollBar() {
    if (FScroll.BoundsRect().IsEmpty()) return;
    FScroll.SetRange(0, std::max(0, FCombo->Items()->Count() - 1), VisibleCount());
    FScroll.SetPosition(FTopIndex);
}

void TComboBoxDropDown::Choose(int Index) {
    FChosen = std::clamp(Index, -1, FCombo->Items()->Count() - 1);
    ClosePopup(FChosen >= 0);
}

void TComboBoxDropDown::Paint() {
    TCanvas* c = Canvas();
    TRect list = ListRect();
    int n = FCombo->Items()->Count();
    int y = list.Top;
    for (int i = FTopIndex; i < n && y < list.Bottom; ++i) {
        TRect r{list.Left, y, list.Right, y + FCombo->ItemHeightOf(i)};
        TOwnerDrawState state;
        if (i == FHotIndex) state = TOwnerDrawState{odSelected, odFocused};
        FCombo->PaintItem(c, i, r, state);
        y = r.Bottom;
    }
    if (y < list.Bottom) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(FCombo->Color());
        c->FillRect(TRect{list.Left, y, list.Right, list.Bottom});
    }
    FScroll.Paint(c);
    // The frame last: an entry taller than the room left must not cover it.
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clWindowFrame);
    c->FrameRect(ClientRect());
}

void TComboBoxDropDown::KeyDown(WORD& Key, TShiftState Shift) {
    TPopupWindow::KeyDown(Key, Shift);
    int n = FCombo->Items()->Count();
    int page = VisibleCount();
    int hot = FHotIndex;
    const bool alt = Shift.contains(ssAlt) && (Key == VK_UP || Key == VK_DOWN);
    if (alt || Key == VK_RETURN || Key == VK_TAB || Key == VK_F4)
        Choose(FHotIndex);
    else if (!ListKeyTarget(Key, FHotIndex, n, page, hot))
        return;
    Key = 0;
    if (!IsOpen()) return;
    SetHotIndex(hot);
    MakeVisible(FHotIndex);
}

void TComboBoxDropDown::KeyPress(char32_t& Key) {
    TPopupWindow::KeyPress(Key);
    if (Key < 32 || !IsOpen()) return;
    int i = FCombo->FindPrefix(Utf8Encode(Key), FHotIndex);
    if (i >= 0) {
        SetHotIndex(i);
        MakeVisible(i);
    }
    Key = 0;
}

void TComboBoxDropDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TPopupWindow::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && FScroll.MouseDown(Button, Shift, X, Y)) FScrolling = true;
}

void TComboBoxDropDown::MouseMove(TShiftState Shift, int X, int Y) {
    TPopupWindow::MouseMove(Shift, X, Y);
    if (FScrolling) {
        FScroll.MouseMove(Shift, X, Y);
        return;
    }
    int i = ItemAtPos({X, Y});
    if (i >= 0) SetHotIndex(i);
}

void TComboBoxDropDown::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TPopupWindow::MouseUp(Button, Shift, X, Y);
    if (FScrolling) {
        FScroll.MouseUp(Button, Shift, X, Y);
        FScrolling = FScroll.Tracking();
        return;
    }
    if (Button != mbLeft) return;
    // A release on an entry chooses it, also at the end of a drag that began on the box.
    int i = ItemAtPos({X, Y});
    if (i >= 0) Choose(i);
}

bool TComboBoxDropDown::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    if (TPopupWindow::DoMouseWheelDown(Shift, MousePos)) return true;
    SetTopIndex(FTopIndex + kWheelRows);
    return true;
}

bool TComboBoxDropDown::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    if (TPopupWindow::DoMouseWheelUp(Shift, MousePos)) return true;
    SetTopIndex(FTopIndex - kWheelRows);
    return true;
}

// ---------------------------------------------------------------------------------------
// The combo box

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TCustomControl(AOwner), FItems(std::make_unique<TStringList>()) {
    // The box decides itself when the user chose an entry (Click).
    FControlStyle.Exclude(csClickEvents);
    FControlStyle.Include(csOpaque);
    SetTabStop(true);
    SetColor(clWindow);
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
    FSimpleScroll.OnScroll = [this](TScrollCode Code, int Pos) { SimpleScrolled(Code, Pos); };
    FSimpleScroll.OnInvalidate = [this] { Invalidate(); };
    SetBounds(0, 0, 145, 0);
    UpdateEditPart();
}

TCustomComboBox::~TCustomComboBox() {
    FItems->OnChange = nullptr;
    FSimpleScroll.OnInvalidate = nullptr;
    if (FList) FList->ClosePopup(false);
    FList.reset();
    if (FEdit) FEdit->SetParent(nullptr);
    FEdit.reset();
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
    if (FStyle == Value) return;
    std::string text = GetText();
    FStyle = Value;
    UpdateEditPart();
    if (HasEdit()) SetEditTextQuietly(text);
    AdjustHeight();
    Invalidate();
}

void TCustomComboBox::UpdateEditPart() {
    if (HasEdit() && !FEdit) {
        FEdit = std::make_unique<TComboBoxEdit>(this);
        FEdit->SetMaxLength(FMaxLength);
        FEdit->SetEnabled(Enabled());
        FEdit->SetParent(this);
        if (FItemIndex >= 0) SetEditTextQuietly(FItems->Strings(FItemIndex));
    } else if (!HasEdit() && FEdit) {
        bool hadFocus = FEdit->Focused();
        // Taken off the box while it is whole, so that the box forgets it completely.
        FEdit->SetParent(nullptr);
        FEdit.reset();
        if (hadFocus && CanFocus()) TCustomControl::SetFocus();
    }
    PlaceEditPart();
}

int TCustomComboBox::SimpleEditHeight() const {
    return ItemHeight() + 6;
}

void TCustomComboBox::PlaceEditPart() {
    if (!FEdit) return;
    TRect r = EditPartRect();
    FEdit->SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

TRect TCustomComboBox::EditPartRect() const {
    int w = Width(), h = FStyle == csSimple ? SimpleEditHeight() : Height();
    int right = FStyle == csSimple ? w - kFrame - 1 : w - kFrame - kButtonWidth - 1;
    TRect r{kFrame + 1, kFrame + 1, right, h - kFrame - 1};
    if (r.Right < r.Left) r.Right = r.Left;
    if (r.Bottom < r.Top) r.Bottom = r.Top;
    return r;
}

TRect TCustomComboBox::ButtonRect() const {
    if (FStyle == csSimple) return {};
    TRect r{Width() - kFrame - kButtonWidth, kFrame, Width() - kFrame, Height() - kFrame};
    if (r.Left < kFrame) r.Left = kFrame;
    if (r.Bottom < r.Top) r.Bottom = r.Top;
    return r;
}

TRect TCustomComboBox::SimpleListRect() const {
    if (FStyle != csSimple) return {};
    return TRect{0, SimpleEditHeight(), Width(), std::max(SimpleEditHeight(), Height())};
}

int TCustomComboBox::ItemHeight() const {
    if (OwnerDrawn() && FItemHeight > 0) return FItemHeight;
    return GetTextMetrics(*Font()).tmHeight + 2;
}

void TCustomComboBox::SetItemHeight(int Value) {
    if (Value < 1 || Value == FItemHeight) return;
    FItemHeight = Value;
    AdjustHeight();
    Invalidate();
}

int TCustomComboBox::ItemHeightOf(int Index) {
    int h = ItemHeight();
    if (FStyle == csOwnerDrawVariable && Index >= 0) MeasureItem(Index, h);
    return std::max(1, h);
}

void TCustomComboBox::MeasureItem(int Index, int& Height) {
    if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TCustomComboBox::AdjustHeight() {
    SetBounds(Left(), Top(), Width(), Height());
}

void TCustomComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    // The closed box is as high as an entry and its frame; a simple box keeps its height.
    if (FStyle != csSimple)
        AHeight = ItemHeight() + 6;
    else
        AHeight = std::max(AHeight, SimpleEditHeight());
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    PlaceEditPart();
    UpdateSimpleScroll();
}

void TCustomComboBox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= FItems->Count()) return;
    FItemIndex = Value;
    if (FEdit) SetEditTextQuietly(Value >= 0 ? FItems->Strings(Value) : std::string());
    MakeSimpleVisible(Value);
    Invalidate();
}

std::string TCustomComboBox::GetText() const {
    if (FEdit) return FEdit->Text();
    return FItemIndex >= 0 ? FItems->Strings(FItemIndex) : std::string();
}

void TCustomComboBox::SetText(const std::string& Value) {
    // An entry with exactly this text becomes the chosen one.
    int index = -1;
    for (int i = 0; i < FItems->Count(); ++i)
        if (FItems->Strings(i) == Value) {
            index = i;
            break;
        }
    if (FEdit) {
        SetEditTextQuietly(Value);
        FItemIndex = index;
        MakeSimpleVisible(index);
        Invalidate();
    } else {
        SetItemIndex(index);
    }
}

void TCustomComboBox::SetSorted(bool Value) {
    if (FSorted == Value) return;
    FSorted = Value;
    std::string chosen = FItemIndex >= 0 ? FItems->Strings(FItemIndex) : std::string();
    bool had = FItemIndex >= 0;
    FItems->SetSorted(Value);
    if (had) FItemIndex = FItems->IndexOf(chosen);
    Invalidate();
}

void TCustomComboBox::SetDropDownCount(int Value) {
    FDropDownCount = std::max(1, Value);
}

void TCustomComboBox::SetMaxLength(int Value) {
    FMaxLength = std::max(0, Value);
    if (FEdit) FEdit->SetMaxLength(FMaxLength);
}

int TCustomComboBox::SelStart() const {
    return FEdit ? FEdit->SelStart() : 0;
}
void TCustomComboBox::SetSelStart(int Value) {
    if (FEdit) FEdit->SetSelStart(Value);
}
int TCustomComboBox::SelLength() const {
    return FEdit ? FEdit->SelLength() : 0;
}
void TCustomComboBox::SetSelLength(int Value) {
    if (FEdit) FEdit->SetSelLength(Value);
}
std::string TCustomComboBox::SelText() const {
    return FEdit ? FEdit->SelText() : std::string();
}
void TCustomComboBox::SelectAll() {
    if (FEdit) FEdit->SelectAll();
}

void TCustomComboBox::SetEditTextQuietly(const std::string& S) {
    if (!FEdit) return;
    FQuietText = true;
    try {
        FEdit->SetText(S);
    } catch (...) {
        FQuietText = false;
        throw;
    }
    FQuietText = false;
    FEdit->SelectAll();
}

void TCustomComboBox::EditTextChanged() {
    if (FQuietText) return;
    FItemIndex = FItems->IndexOf(FEdit->Text());
    MakeSimpleVisible(FItemIndex);
    Invalidate();
    Change();
}

void TCustomComboBox::ItemsChanged() {
    if (FItemIndex >= FItems->Count()) FItemIndex = -1;
    FSimpleTop = std::clamp(FSimpleTop, 0, std::max(0, FItems->Count() - 1));
    UpdateSimpleScroll();
    if (FList && FDroppedDown) FList->Invalidate();
    Invalidate();
}

int TCustomComboBox::FindPrefix(const std::string& Prefix, int After) const {
    int n = FItems->Count();
    if (n == 0 || Prefix.empty()) return -1;
    std::string p = LowerCase(Prefix);
    for (int k = 1; k <= n; ++k) {
        int i = ((After < 0 ? -1 : After) + k) % n;
        std::string s = LowerCase(FItems->Strings(i));
        if (s.compare(0, p.size(), p) == 0) return i;
    }
    return -1;
}

bool TCustomComboBox::HasFocus() const {
    return Focused() || (FEdit && FEdit->Focused());
}

void TCustomComboBox::SetFocus() {
    if (FEdit && FEdit->Visible()) {
        if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
        FEdit->SetFocus();
        return;
    }
    TCustomControl::SetFocus();
}

void TCustomComboBox::WMSetFocus(TMessage& Message) {
    // With an edit part the focus belongs there; the box's OnEnter comes from it.
    if (FEdit && FEdit->CanFocus()) {
        FEdit->SetFocus();
        return;
    }
    TCustomControl::WMSetFocus(Message);
}

void TCustomComboBox::WMKillFocus(TMessage& Message) {
    if (FEdit) {
        Invalidate();
        return;
    }
    FSearch.clear();
    TCustomControl::WMKillFocus(Message);
}

void TCustomComboBox::CMEnabledChanged(TMessage& Message) {
    if (FEdit) FEdit->SetEnabled(Enabled());
    TCustomControl::CMEnabledChanged(Message);
}

void TCustomComboBox::CMFontChanged(TMessage& Message) {
    TCustomControl::CMFontChanged(Message);
    AdjustHeight();
}

void TCustomComboBox::CMColorChanged(TMessage& Message) {
    if (FEdit) FEdit->SetColor(Color());
    TCustomControl::CMColorChanged(Message);
}

void TCustomComboBox::DropDown() {
    if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
    if (OnCloseUp) OnCloseUp(this);
}

void TCustomComboBox::Click() {
    TCustomControl::Click();
}

void TCustomComboBox::Select() {
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TCustomComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TCustomComboBox::UserSelect(int Index) {
    if (Index < 0 || Index >= FItems->Count()) return;
    bool sameText = !FEdit || FEdit->Text() == FItems->Strings(Index);
    if (Index == FItemIndex && sameText) return;
    FItemIndex = Index;
    if (FEdit) SetEditTextQuietly(FItems->Strings(Index));
    MakeSimpleVisible(Index);
    Invalidate();
    Click();
    Select();
}

void TCustomComboBox::SetDroppedDown(bool Value) {
    if (Value == FDroppedDown) return;
    if (!Value) {
        if (FList) FList->ClosePopup(false);
        return;
    }
    if (FStyle == csSimple || !Enabled()) return;
    DropDown();
    if (!FList) FList = std::make_unique<TComboBoxDropDown>(this);
    FList->Font()->Assign(Font());
    FList->Prepare(Width(), FItemIndex);
    TPoint origin = ClientToScreen({0, 0});
    FDroppedDown = true;
    FSearch.clear();
    Invalidate();
    bool chosen = false;
    try {
        chosen = FList->PopupBelow(Bounds(origin.X, origin.Y, Width(), Height()));
    } catch (...) {
        FDroppedDown = false;
        Invalidate();
        throw;
    }
    FDroppedDown = false;
    Invalidate();
    if (chosen) UserSelect(FList->ChosenIndex());
    CloseUp();
}

bool TCustomComboBox::NavigateKey(WORD Key, TShiftState Shift) {
    if (Key == VK_F4 || ((Key == VK_DOWN || Key == VK_UP) && Shift.contains(ssAlt))) {
        SetDroppedDown(!FDroppedDown);
        return true;
    }
    int n = FItems->Count();
    bool list = !HasEdit();
    int page = FStyle == csSimple
                   ? ListRowsFit(this, InflateRect(SimpleListRect(), -kFrame, -kFrame), FSimpleTop)
                   : FDropDownCount;
    int i = FItemIndex;
    // The list styles also move with Left and Right and go to the ends with Home and End;
    // with an edit part those keys are the edit's.
    const bool editKey = Key == VK_LEFT || Key == VK_RIGHT || Key == VK_HOME || Key == VK_END;
    if (editKey && !list) return false;
    const WORD move = Key == VK_LEFT ? VK_UP : Key == VK_RIGHT ? VK_DOWN : Key;
    if (!ListKeyTarget(move, i, n, page, i)) return false;
    if (n > 0) UserSelect(i);
    return true;
}

void TCustomComboBox::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key != 0 && NavigateKey(Key, Shift)) Key = 0;
}

void TCustomComboBox::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    if (Key < 32 || HasEdit()) return;
    // The list styles choose the next entry starting with what was typed.
    uint64_t now = GetTickCount();
    if (now - FSearchTime > uint64_t(kSearchPause)) FSearch.clear();
    FSearchTime = now;
    std::string typed = Utf8Encode(Key);
    bool fresh = FSearch.empty(), sameAgain = FSearch == typed;
    if (!sameAgain) FSearch += typed;
    // A first letter, or the same letter again, moves on to the next entry starting with it;
    // a longer prefix may keep the current entry.
    int i = FindPrefix(FSearch, fresh || sameAgain ? FItemIndex : FItemIndex - 1);
    if (i >= 0) UserSelect(i);
    Key = 0;
}

void TCustomComboBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled()) return;
    if (FStyle == csSimple) {
        if (FSimpleScroll.MouseDown(Button, Shift, X, Y)) return;
        int i =
            ListItemAt(this, InflateRect(SimpleListRect(), -kFrame, -kFrame), FSimpleTop, {X, Y});
        if (CanFocus() && !HasFocus()) SetFocus();
        if (i >= 0) UserSelect(i);
        return;
    }
    if (CanFocus() && !HasFocus()) SetFocus();
    if (!HasEdit() || ButtonRect().Contains({X, Y})) SetDroppedDown(!FDroppedDown);
}

void TCustomComboBox::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (FSimpleScroll.Tracking()) FSimpleScroll.MouseMove(Shift, X, Y);
}

void TCustomComboBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FSimpleScroll.Tracking()) FSimpleScroll.MouseUp(Button, Shift, X, Y);
}

bool TCustomComboBox::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    if (TCustomControl::DoMouseWheelDown(Shift, MousePos)) return true;
    if (FStyle == csSimple) {
        SimpleScrolled(scPosition, FSimpleTop + kWheelRows);
        return true;
    }
    if (!HasFocus()) return false;
    if (FItems->Count() > 0) UserSelect(std::min(FItems->Count() - 1, FItemIndex + 1));
    return true;
}

bool TCustomComboBox::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    if (TCustomControl::DoMouseWheelUp(Shift, MousePos)) return true;
    if (FStyle == csSimple) {
        SimpleScrolled(scPosition, FSimpleTop - kWheelRows);
        return true;
    }
    if (!HasFocus()) return false;
    if (FItems->Count() > 0) UserSelect(std::max(0, FItemIndex - 1));
    return true;
}

void TCustomComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
    if (OnDrawItem)
        OnDrawItem(this, Index, Rect, State);
    else
        DrawItemText(Index, Rect);
}

void TCustomComboBox::DrawItemText(int Index, const TRect& Rect) {
    TCanvas* c = Canvas();
    c->FillRect(Rect);
    if (Index < 0 || Index >= FItems->Count()) return;
    c->Brush()->SetStyle(bsClear);
    std::string text = FItems->Strings(Index);
    c->TextRect(Rect, Rect.Left + 2, Rect.Top + (Rect.Height() - c->TextHeight(text)) / 2, text);
}

void TCustomComboBox::PaintItem(TCanvas* C, int Index, const TRect& Rect, TOwnerDrawState State) {
    // Erase with the list's background, then set the colours for the state.
    TColor back = Background();
    C->Pen()->SetMode(pmCopy);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(back);
    C->FillRect(Rect);
    C->Font()->Assign(Font());
    bool selected = Index >= 0 && State.contains(odSelected);
    if (selected) {
        C->Brush()->SetColor(clHighlight);
        C->Font()->SetColor(clHighlightText);
    } else if (State.contains(odDisabled)) {
        C->Font()->SetColor(clGrayText);
    }
    TCanvas* previous = FDrawCanvas;
    FDrawCanvas = C == TCustomControl::Canvas() ? nullptr : C;
    try {
        if (OwnerDrawn()) {
            if (Index >= 0)
                DrawItem(Index, Rect, State);
            else
                C->FillRect(Rect);
        } else {
            DrawItemText(Index, Rect);
        }
    } catch (...) {
        FDrawCanvas = previous;
        throw;
    }
    FDrawCanvas = previous;
    if (State.contains(odFocused) && !State.contains(odNoFocusRect)) DrawFocusRect(C, Rect);
}

TColor TCustomComboBox::Background() const {
    // Disabled boxes turn grey unless the program chose a colour of its own.
    return !Enabled() && Color() == clWindow ? clBtnFace : Color();
}

void TCustomComboBox::PaintButton(TCanvas* C) {
    TRect b = ButtonRect();
    if (b.IsEmpty()) return;
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(b);
    RaisedFrame(C, b, FDroppedDown);
    TRect arrow = FDroppedDown ? OffsetRect(b, 1, 1) : b;
    if (!Enabled()) DrawArrowDown(C, OffsetRect(arrow, 1, 1), clBtnHighlight);
    DrawArrowDown(C, arrow, Enabled() ? clBtnText : clBtnShadow);
}

void TCustomComboBox::UpdateSimpleScroll() {
    if (FStyle != csSimple) {
        FSimpleScroll.SetBounds({});
        return;
    }
    TRect area = InflateRect(SimpleListRect(), -kFrame, -kFrame);
    bool scrolls =
        FItems->Count() > 0 && (FItems->Count() > ListRowsFit(this, area, 0) || FSimpleTop > 0);
    auto invalidate = std::move(FSimpleScroll.OnInvalidate);
    FSimpleScroll.OnInvalidate = nullptr;
    FSimpleScroll.SetBounds(
        scrolls ? Rect(area.Right - ScrollBarSize, area.Top, area.Right, area.Bottom) : TRect{});
    if (scrolls) {
        area.Right -= ScrollBarSize;
        FSimpleScroll.SetRange(0, FItems->Count() - 1, ListRowsFit(this, area, FSimpleTop));
        FSimpleScroll.SetPosition(FSimpleTop);
    }
    FSimpleScroll.OnInvalidate = std::move(invalidate);
}

TRect TCustomComboBox::SimpleItemRect(int Index) {
    TRect area = InflateRect(SimpleListRect(), -kFrame, -kFrame);
    if (!FSimpleScroll.BoundsRect().IsEmpty()) area.Right = FSimpleScroll.BoundsRect().Left;
    return ListItemRect(this, area, FSimpleTop, Index);
}

void TCustomComboBox::MakeSimpleVisible(int Index) {
    if (FStyle != csSimple || Index < 0) return;
    TRect area = InflateRect(SimpleListRect(), -kFrame, -kFrame);
    FSimpleTop = ListTopShowing(this, area, FSimpleTop, Index);
    UpdateSimpleScroll();
}

void TCustomComboBox::SimpleScrolled(TScrollCode Code, int Pos) {
    TRect area = InflateRect(SimpleListRect(), -kFrame, -kFrame);
    int top = ScrollTarget(Code, Pos, FSimpleTop, ListRowsFit(this, area, FSimpleTop),
                           ListMaxTop(this, area));
    top = std::clamp(top, 0, ListMaxTop(this, area));
    if (top != FSimpleTop) {
        FSimpleTop = top;
        Invalidate();
    }
    UpdateSimpleScroll();
}

void TCustomComboBox::PaintSimpleList(TCanvas* C) {
    TRect frame = SimpleListRect();
    if (frame.IsEmpty()) return;
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Background());
    C->FillRect(frame);
    DrawSunkenFrame(C, frame);
    TRect area = InflateRect(frame, -kFrame, -kFrame);
    if (!FSimpleScroll.BoundsRect().IsEmpty()) area.Right = FSimpleScroll.BoundsRect().Left;
    int y = area.Top;
    for (int i = FSimpleTop; i < FItems->Count() && y < area.Bottom; ++i) {
        TRect r{area.Left, y, area.Right, std::min(area.Bottom, y + ItemHeightOf(i))};
        TOwnerDrawState state;
        if (i == FItemIndex) {
            state.Include(odSelected);
            if (HasFocus()) state.Include(odFocused);
        }
        if (!Enabled()) state.Include(odDisabled);
        PaintItem(C, i, r, state);
        y += ItemHeightOf(i);
    }
    FSimpleScroll.Paint(C);
}

void TCustomComboBox::Paint() {
    TCanvas* c = TCustomControl::Canvas();
    TColor face = Background();
    TRect box = FStyle == csSimple ? Rect(0, 0, Width(), SimpleEditHeight()) : ClientRect();
    c->Pen()->SetMode(pmCopy);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(face);
    c->FillRect(box);
    DrawSunkenFrame(c, box);
    PaintButton(c);
    if (FStyle == csSimple) PaintSimpleList(c);
    if (HasEdit()) return;  // the edit part paints itself
    TRect r = EditPartRect();
    TOwnerDrawState state{odComboBoxEdit};
    if (HasFocus() && !FDroppedDown) state |= TOwnerDrawState{odSelected, odFocused};
    if (!Enabled()) state.Include(odDisabled);
    PaintItem(c, FItemIndex, r, state);
}

TComboBox::TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}

}  // namespace kovo
