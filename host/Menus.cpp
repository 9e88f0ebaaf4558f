#include "host/Menus.h"

#include <algorithm>

#include "host/Application.h"
#include "host/Bitmap.h"
#include "host/Canvas.h"
#include "host/SysUtils.h"
#include "host/platform/Backend.h"

namespace kovo {

namespace {

constexpr int kFrame = 3;         // raised border plus one pixel of margin
constexpr int kGlyphSize = 16;    // item bitmaps
constexpr int kGutter = 24;       // room for the check mark or bitmap, before the caption
constexpr int kArrowArea = 18;    // room for the submenu arrow at the right
constexpr int kShortCutGap = 20;  // between caption and shortcut
constexpr int kLineHeight = 9;    // a separator row
constexpr int kHoverDelay = 300;  // ms the mouse rests on an item before its submenu opens
constexpr uintptr_t kHoverTimer = 1;

void MenuPopupHandler(TPopupMenu* Menu, int ScreenX, int ScreenY) {
    if (Menu && Menu->AutoPopup()) Menu->Popup(ScreenX, ScreenY);
}

// Registered as soon as the unit is linked in; TPopupMenu's constructor repeats it for
// programs whose linker keeps no static initialisers of an unreferenced object.
const bool gHandlerInstalled = (SetPopupHandler(&MenuPopupHandler), true);

std::string KeyName(WORD Key) {
    if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9')) return std::string(1, char(Key));
    if (Key >= VK_F1 && Key <= VK_F12) return "F" + IntToStr(Key - VK_F1 + 1);
    if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD9) return "Num " + IntToStr(Key - VK_NUMPAD0);
    switch (Key) {
        case VK_BACK:
            return "BkSp";
        case VK_TAB:
            return "Tab";
        case VK_RETURN:
            return "Enter";
        case VK_ESCAPE:
            return "Esc";
        case VK_SPACE:
            return "Space";
        case VK_PRIOR:
            return "PgUp";
        case VK_NEXT:
            return "PgDn";
        case VK_END:
            return "End";
        case VK_HOME:
            return "Home";
        case VK_LEFT:
            return "Left";
        case VK_UP:
            return "Up";
        case VK_RIGHT:
            return "Right";
        case VK_DOWN:
            return "Down";
        case VK_INSERT:
            return "Ins";
        case VK_DELETE:
            return "Del";
        case VK_MULTIPLY:
            return "Num *";
        case VK_ADD:
            return "Num +";
        case VK_SUBTRACT:
            return "Num -";
        case VK_DIVIDE:
            return "Num /";
        default:
            return "";
    }
}

void FillBox(TCanvas* C, const TRect& R, TColor Color) {
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color);
    C->FillRect(R);
}

void Line(TCanvas* C, int X0, int Y0, int X1, int Y1, TColor Color) {
    C->Pen()->SetColor(Color);
    C->MoveTo(X0, Y0);
    C->LineTo(X1, Y1);
}

bool MatchesEntry(const TMenuItem* Item, const std::string& Entry) {
    if (Item->IsLine()) return false;
    if (SameText(StripHotkey(Item->Caption()), StripHotkey(Entry))) return true;
    return !Item->Name().empty() && SameText(Item->Name(), Entry);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Shortcuts and captions

TShortCut ShortCut(WORD Key, TShiftState Shift) {
    TShortCut sc = TShortCut(Key & 0xFF);
    if (Shift.contains(ssShift)) sc |= scShift;
    if (Shift.contains(ssCtrl)) sc |= scCtrl;
    if (Shift.contains(ssAlt)) sc |= scAlt;
    return sc;
}

void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift) {
    Key = WORD(ShortCut & 0xFF);
    Shift = {};
    if (ShortCut & scShift) Shift.Include(ssShift);
    if (ShortCut & scCtrl) Shift.Include(ssCtrl);
    if (ShortCut & scAlt) Shift.Include(ssAlt);
}

std::string ShortCutToText(TShortCut ShortCut) {
    std::string name = KeyName(WORD(ShortCut & 0xFF));
    if (name.empty()) return "";
    std::string s;
    if (ShortCut & scShift) s += "Shift+";
    if (ShortCut & scCtrl) s += "Ctrl+";
    if (ShortCut & scAlt) s += "Alt+";
    return s + name;
}

std::string StripHotkey(const std::string& Caption) {
    std::string s;
    for (size_t i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == '&') {
            if (i + 1 < Caption.size() && Caption[i + 1] == '&') {
                s += '&';
                ++i;
            }
            continue;
        }
        s += Caption[i];
    }
    return s;
}

char32_t GetHotkey(const std::string& Caption) {
    for (size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&') continue;
        if (Caption[i + 1] == '&') {
            ++i;
            continue;
        }
        size_t at = i + 1;
        std::u32string c =
            Utf8Decode(std::string_view(Caption).substr(at, size_t(Utf8CharSize(Caption, at))));
        if (c.empty()) return 0;
        char32_t ch = c[0];
        if (ch >= U'A' && ch <= U'Z') ch = ch - U'A' + U'a';
        return ch;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------
// TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    Clear();
    if (FParent) FParent->Remove(this);
}

void TMenuItem::SetCaption(const std::string& Value) {
    if (FCaption == Value) return;
    FCaption = Value;
    Changed();
}

void TMenuItem::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    Changed();
}

void TMenuItem::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    if (Value && FRadioItem) UncheckRadioSiblings();
    Changed();
}

void TMenuItem::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    Changed();
}

void TMenuItem::SetRadioItem(bool Value) {
    if (FRadioItem == Value) return;
    FRadioItem = Value;
    if (Value && FChecked) UncheckRadioSiblings();
    Changed();
}

void TMenuItem::SetDefault(bool Value) {
    if (FDefault == Value) return;
    FDefault = Value;
    Changed();
}

void TMenuItem::SetShortCut(TShortCut Value) {
    if (FShortCut == Value) return;
    FShortCut = Value;
    Changed();
}

void TMenuItem::UncheckRadioSiblings() {
    if (!FParent) return;
    for (TMenuItem* s : FParent->FItems) {
        if (s != this && s->FRadioItem && s->FGroupIndex == FGroupIndex && s->FChecked) {
            s->FChecked = false;
            s->Changed();
        }
    }
}

TBitmap* TMenuItem::Bitmap() {
    if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
    return FBitmap.get();
}

void TMenuItem::SetBitmap(TBitmap* Value) {
    if (!Value) {
        FBitmap.reset();
    } else {
        Bitmap()->Assign(Value);
    }
    Changed();
}

bool TMenuItem::HasBitmap() const {
    return FBitmap && !FBitmap->Empty();
}

TMenuItem* TMenuItem::Items(int Index) const {
    if (Index < 0 || Index >= Count()) return nullptr;
    return FItems[size_t(Index)];
}

void TMenuItem::Add(TMenuItem* Item) {
    Insert(Count(), Item);
}

void TMenuItem::Add(const std::vector<TMenuItem*>& AItems) {
    for (TMenuItem* item : AItems) Add(item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (!Item) throw EMenuError("A menu item to insert is missing");
    for (const TMenuItem* p = this; p; p = p->FParent)
        if (p == Item) throw EMenuError("A menu item cannot be put into itself");
    if (Item->FParent) Item->FParent->Remove(Item);
    Index = std::clamp(Index, 0, Count());
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    if (Item->FChecked && Item->FRadioItem) Item->UncheckRadioSiblings();
    Changed();
}

void TMenuItem::Delete(int Index) {
    if (Index < 0 || Index >= Count()) return;
    TMenuItem* item = FItems[size_t(Index)];
    FItems.erase(FItems.begin() + Index);
    item->FParent = nullptr;
    Changed();
}

void TMenuItem::Remove(TMenuItem* Item) {
    int i = IndexOf(Item);
    if (i >= 0) Delete(i);
}

void TMenuItem::Clear() {
    while (!FItems.empty()) {
        TMenuItem* item = FItems.back();
        FItems.pop_back();
        item->FParent = nullptr;
        delete item;
    }
    Changed();
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const {
    std::string wanted = StripHotkey(ACaption);
    for (TMenuItem* item : FItems)
        if (SameText(StripHotkey(item->FCaption), wanted)) return item;
    return nullptr;
}

int TMenuItem::MenuIndex() const {
    return FParent ? FParent->IndexOf(this) : -1;
}

TPopupMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* root = this;
    while (root->FParent) root = root->FParent;
    return root->FMenu;
}

void TMenuItem::Click() {
    if (!FEnabled) return;
    if (FAutoCheck) SetChecked(FRadioItem ? true : !FChecked);
    if (OnClick) OnClick(this);
}

void TMenuItem::Changed() {
    TPopupMenu* menu = GetParentMenu();
    if (!menu) return;
    for (TMenuWindow* w : menu->FLevels) w->Invalidate();
}

// ---------------------------------------------------------------------------------------
// TPopupMenu

TPopupMenu::TPopupMenu(TComponent* AOwner)
    : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
    (void)gHandlerInstalled;
    SetPopupHandler(&MenuPopupHandler);
    FItems->FMenu = this;
}

TPopupMenu::~TPopupMenu() {
    CloseAll(false);
    FItems.reset();
}

bool TPopupMenu::IsOpen() const {
    return !FLevels.empty() && FLevels.front()->IsOpen();
}

TMenuWindow* TPopupMenu::Level(int Index) const {
    if (Index < 0 || Index >= LevelCount()) return nullptr;
    return FLevels[size_t(Index)];
}

void TPopupMenu::DoPopup(TObject* Sender) {
    if (OnPopup) OnPopup(Sender);
}

void TPopupMenu::Popup(int X, int Y) {
    if (FPopping) return;
    FPopupPoint = TPoint{X, Y};
    DoPopup(this);
    bool any = false;
    for (int i = 0; i < FItems->Count(); ++i) any = any || FItems->Items(i)->Visible();
    if (!any) return;
    FPopping = true;
    FChosen = nullptr;
    auto root = std::make_unique<TMenuWindow>(this, FItems.get(), 0);
    int x = X;
    if (FAlignment == paRight)
        x = X - root->Width();
    else if (FAlignment == paCenter)
        x = X - root->Width() / 2;
    FLevels.push_back(root.get());
    try {
        root->Popup(x, Y);
    } catch (...) {
        FLevels.clear();
        FPopping = false;
        throw;
    }
    FLevels.clear();
    root.reset();
    FPopping = false;
    TMenuItem* chosen = FChosen;
    FChosen = nullptr;
    if (OnClose) OnClose(this);
    // Last: the command may free the menu.
    if (chosen) chosen->Click();
}

void TPopupMenu::Choose(TMenuItem* Item) {
    FChosen = Item;
    CloseAll(true);
}

void TPopupMenu::CloseAll(bool Accepted) {
    std::vector<TMenuWindow*> levels = FLevels;
    for (auto it = levels.rbegin(); it != levels.rend(); ++it) (*it)->ClosePopup(Accepted);
}

void TPopupMenu::Dismiss() {
    CloseAll(false);
}

bool TPopupMenu::ChooseItem(const std::vector<std::string>& Path) {
    if (Path.empty() || FLevels.empty()) return false;
    for (size_t k = 0; k < Path.size(); ++k) {
        if (k >= FLevels.size()) return false;
        TMenuWindow* w = FLevels[k];
        int i = w->IndexOfEntry(Path[k]);
        if (i < 0) return false;
        TMenuItem* item = w->Item(i);
        if (!item->Enabled()) return false;
        w->SetHighlighted(i);
        bool last = k + 1 == Path.size();
        if (last) return item->Count() == 0 ? w->Activate(i) : (w->OpenSubmenu(i), false);
        if (item->Count() == 0) return false;
        // Already open (this call runs inside the submenu's own loop): go on in it.
        if (k + 1 < FLevels.size() && w->SubmenuIndex() == i) continue;
        // Opening runs the submenu's loop, in which the modal handler is called again and
        // goes on along the same path.
        w->OpenSubmenu(i);
        return FChosen != nullptr;
    }
    return false;
}

TMenuItem* TPopupMenu::FindItem(const std::string& AName) const {
    std::vector<TMenuItem*> pending{FItems.get()};
    while (!pending.empty()) {
        TMenuItem* item = pending.back();
        pending.pop_back();
        if (item != FItems.get() && !item->Name().empty() && SameText(item->Name(), AName))
            return item;
        for (int i = item->Count() - 1; i >= 0; --i) pending.push_back(item->Items(i));
    }
    return nullptr;
}

bool TPopupMenu::IsShortCut(WORD Key, TShiftState Shift) {
    TShortCut sc = ShortCut(Key, Shift & TShiftState{ssShift, ssCtrl, ssAlt});
    if ((sc & 0xFF) == 0) return false;
    // Depth first; an item counts only when it and every parent can be used.
    std::vector<TMenuItem*> pending{FItems.get()};
    while (!pending.empty()) {
        TMenuItem* item = pending.back();
        pending.pop_back();
        for (int i = item->Count() - 1; i >= 0; --i) {
            TMenuItem* c = item->Items(i);
            if (!c->Enabled() || !c->Visible()) continue;
            if (c->ShortCut() == sc && c->Count() == 0) {
                c->Click();
                return true;
            }
            pending.push_back(c);
        }
    }
    return false;
}

// ---------------------------------------------------------------------------------------
// TMenuWindow

TMenuWindow::TMenuWindow(TPopupMenu* Menu, TMenuItem* Source, int Level)
    : TPopupWindow(nullptr), FMenu(Menu), FSource(Source), FLevel(Level) {
    SetModalSubject(Menu);
    SetColor(clMenu);
    for (int i = 0; i < Source->Count(); ++i)
        if (Source->Items(i)->Visible()) FShown.push_back(Source->Items(i));
    FTimerWnd = AllocateHWnd([this](TMessage& M) { HoverTimer(M); });
    Measure();
}

TMenuWindow::~TMenuWindow() {
    StopHoverTimer();
    if (FTimerWnd) DeallocateHWnd(FTimerWnd);
}

TMenuItem* TMenuWindow::Item(int Index) const {
    if (Index < 0 || Index >= ItemCount()) return nullptr;
    return FShown[size_t(Index)];
}

void TMenuWindow::Measure() {
    TCanvas* C = Canvas();
    C->Font()->Assign(Font());
    int textH = C->TextHeight("Wg");
    int itemH = std::max(kGlyphSize + 4, textH + 6);
    FRowTop.clear();
    int y = kFrame;
    FTextWidth = 0;
    FShortCutWidth = 0;
    for (TMenuItem* item : FShown) {
        FRowTop.push_back(y);
        if (item->IsLine()) {
            y += kLineHeight;
            continue;
        }
        y += itemH;
        C->Font()->SetStyle(item->Default() ? TFontStyles{fsBold} : TFontStyles{});
        FTextWidth = std::max(FTextWidth, C->TextWidth(StripHotkey(item->Caption())));
        C->Font()->SetStyle({});
        std::string sc = ShortCutToText(item->ShortCut());
        if (!sc.empty()) FShortCutWidth = std::max(FShortCutWidth, C->TextWidth(sc));
    }
    FRowTop.push_back(y);
    int width = kFrame + kGutter + FTextWidth +
                (FShortCutWidth ? kShortCutGap + FShortCutWidth : 0) + kArrowArea + kFrame;
    SetBounds(Left(), Top(), std::max(width, 60), y + kFrame);
}

TRect TMenuWindow::ItemRect(int Index) const {
    if (Index < 0 || Index >= ItemCount()) return {};
    return TRect{kFrame, FRowTop[size_t(Index)], Width() - kFrame, FRowTop[size_t(Index) + 1]};
}

int TMenuWindow::ItemAtPos(int X, int Y) const {
    if (X < kFrame || X >= Width() - kFrame) return -1;
    for (int i = 0; i < ItemCount(); ++i)
        if (Y >= FRowTop[size_t(i)] && Y < FRowTop[size_t(i) + 1]) return i;
    return -1;
}

int TMenuWindow::IndexOfEntry(const std::string& Entry) const {
    for (int i = 0; i < ItemCount(); ++i)
        if (MatchesEntry(FShown[size_t(i)], Entry)) return i;
    return -1;
}

bool TMenuWindow::Selectable(int Index) const {
    TMenuItem* item = Item(Index);
    return item && !item->IsLine();
}

void TMenuWindow::SetHighlighted(int Index) {
    if (!Selectable(Index)) Index = -1;
    if (FHighlighted == Index) return;
    InvalidateRect(ItemRect(FHighlighted));
    FHighlighted = Index;
    InvalidateRect(ItemRect(FHighlighted));
}

void TMenuWindow::MoveHighlight(int Delta) {
    int n = ItemCount();
    if (n == 0) return;
    int i = FHighlighted;
    for (int step = 0; step < n; ++step) {
        i = i < 0 ? (Delta > 0 ? 0 : n - 1) : (i + Delta + n) % n;
        if (Selectable(i)) {
            SetHighlighted(i);
            return;
        }
    }
}

bool TMenuWindow::Activate(int Index) {
    TMenuItem* item = Item(Index);
    if (!item || item->IsLine() || !item->Enabled()) return false;
    SetHighlighted(Index);
    if (item->Count() > 0) {
        OpenSubmenu(Index);
        return false;
    }
    FMenu->Choose(item);
    return true;
}

void TMenuWindow::OpenSubmenu(int Index, bool SelectFirst) {
    TMenuItem* item = Item(Index);
    if (!IsOpen() || !item || !item->Enabled() || item->Count() == 0) return;
    StopHoverTimer();
    if (FChildRunning) {
        if (FChildIndex == Index && FPendingIndex < 0 && FChild && FChild->IsOpen()) return;
        // The open submenu closes first; the loop below then opens this one. So the open
        // levels never pile up on the stack however often the user switches.
        FPendingIndex = Index;
        FPendingSelectFirst = SelectFirst;
        if (FChild) FChild->ClosePopup(false);
        return;
    }
    FPendingIndex = Index;
    FPendingSelectFirst = SelectFirst;
    FChildRunning = true;
    while (FPendingIndex >= 0 && IsOpen()) {
        int index = FPendingIndex;
        bool first = FPendingSelectFirst;
        FPendingIndex = -1;
        TMenuItem* source = Item(index);
        if (!source || !source->Enabled() || source->Count() == 0) break;
        auto child = std::make_unique<TMenuWindow>(FMenu, source, FLevel + 1);
        if (child->ItemCount() == 0) break;
        SetHighlighted(index);
        if (first) child->MoveHighlight(1);
        // Beside the row, or to the left of this window where the screen ends.
        TRect row = ItemRect(index);
        int x = Left() + Width() - kFrame;
        int y = Top() + row.Top - kFrame;
        TSize screen = Backend().ScreenSize();
        if (x + child->Width() > screen.cx) x = std::max(0, Left() - child->Width() + kFrame);
        FChild = child.get();
        FChildIndex = index;
        FMenu->FLevels.push_back(FChild);
        try {
            child->Popup(x, y);
        } catch (...) {
            std::erase(FMenu->FLevels, FChild);
            FChild = nullptr;
            FChildIndex = -1;
            FChildRunning = false;
            throw;
        }
        std::erase(FMenu->FLevels, FChild);
        FChild = nullptr;
        FChildIndex = -1;
    }
    FChildRunning = false;
    Invalidate();
}

void TMenuWindow::StartHoverTimer(int Index) {
    FHoverIndex = Index;
    SetTimer(FTimerWnd, kHoverTimer, kHoverDelay);
}

void TMenuWindow::StopHoverTimer() {
    FHoverIndex = -1;
    if (FTimerWnd) KillTimer(FTimerWnd, kHoverTimer);
}

void TMenuWindow::HoverTimer(TMessage& Message) {
    if (Message.Msg != WM_TIMER) return;
    int index = FHoverIndex;
    StopHoverTimer();
    if (index < 0 || index != FHighlighted || !IsOpen()) return;
    TMenuItem* item = Item(index);
    if (item && item->Enabled() && item->Count() > 0)
        OpenSubmenu(index);
    else if (FChild)
        FChild->ClosePopup(false);  // the mouse rests on another row: its submenu goes
}

// ---------------------------------------------------------------------------------------
// Input

void TMenuWindow::MouseMove(TShiftState Shift, int X, int Y) {
    TPopupWindow::MouseMove(Shift, X, Y);
    int index = ItemAtPos(X, Y);
    if (!Selectable(index)) {
        // Between rows the open submenu's row stays marked.
        SetHighlighted(FChildRunning ? FChildIndex : -1);
        return;
    }
    if (index == FHighlighted) return;
    SetHighlighted(index);
    if (index == FChildIndex && FChildRunning) {
        StopHoverTimer();
        return;
    }
    TMenuItem* item = Item(index);
    if ((item->Count() > 0 && item->Enabled()) || FChildRunning)
        StartHoverTimer(index);
    else
        StopHoverTimer();
}

void TMenuWindow::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TPopupWindow::MouseDown(Button, Shift, X, Y);
    int index = ItemAtPos(X, Y);
    TMenuItem* item = Item(index);
    if (item && item->Count() > 0 && Button != mbMiddle) Activate(index);
}

void TMenuWindow::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TPopupWindow::MouseUp(Button, Shift, X, Y);
    if (Button == mbMiddle) return;
    int index = ItemAtPos(X, Y);
    TMenuItem* item = Item(index);
    if (item && item->Count() == 0) Activate(index);
}

void TMenuWindow::CMMouseLeave(TMessage& Message) {
    TPopupWindow::CMMouseLeave(Message);
    // On the way into the submenu nothing may close it.
    StopHoverTimer();
    SetHighlighted(FChildRunning ? FChildIndex : -1);
}

void TMenuWindow::KeyDown(WORD& Key, TShiftState Shift) {
    switch (Key) {
        case VK_DOWN:
            MoveHighlight(1);
            break;
        case VK_UP:
            MoveHighlight(-1);
            break;
        case VK_HOME:
            SetHighlighted(-1);
            MoveHighlight(1);
            break;
        case VK_END:
            SetHighlighted(-1);
            MoveHighlight(-1);
            break;
        case VK_RIGHT:
            if (TMenuItem* item = Item(FHighlighted); item && item->Count() > 0)
                OpenSubmenu(FHighlighted, true);
            break;
        case VK_LEFT:
            if (FLevel > 0) ClosePopup(false);
            break;
        case VK_RETURN:
        case VK_SPACE:
            if (TMenuItem* item = Item(FHighlighted)) {
                if (item->Count() > 0)
                    OpenSubmenu(FHighlighted, true);
                else
                    Activate(FHighlighted);
            }
            break;
        default:
            TPopupWindow::KeyDown(Key, Shift);  // Esc closes this level
            return;
    }
    Key = 0;
}

void TMenuWindow::KeyPress(char32_t& Key) {
    TPopupWindow::KeyPress(Key);
    if (Key == 0) return;
    char32_t ch = Key >= U'A' && Key <= U'Z' ? Key - U'A' + U'a' : Key;
    for (int i = 0; i < ItemCount(); ++i) {
        TMenuItem* item = FShown[size_t(i)];
        if (item->IsLine() || GetHotkey(item->Caption()) != ch) continue;
        Key = 0;
        SetHighlighted(i);
        if (item->Count() > 0)
            OpenSubmenu(i, true);
        else
            Activate(i);
        return;
    }
}

// ---------------------------------------------------------------------------------------
// Drawing

void TMenuWindow::Paint() {
    TCanvas* C = Canvas();
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetMode(pmCopy);
    int w = Width(), h = Height();
    FillBox(C, TRect{0, 0, w, h}, clMenu);
    for (int i = 0; i < ItemCount(); ++i) PaintItem(i);
    // A raised frame.
    int r = w - 1, b = h - 1;
    Line(C, 0, b, 0, 0, cl3DLight);
    Line(C, 0, 0, r, 0, cl3DLight);
    Line(C, 0, b, r, b, cl3DDkShadow);
    Line(C, r, 0, r, b + 1, cl3DDkShadow);
    Line(C, 1, b - 1, 1, 1, clBtnHighlight);
    Line(C, 1, 1, r - 1, 1, clBtnHighlight);
    Line(C, 1, b - 1, r - 1, b - 1, clBtnShadow);
    Line(C, r - 1, 1, r - 1, b, clBtnShadow);
}

void TMenuWindow::PaintItem(int Index) {
    TCanvas* C = Canvas();
    TMenuItem* item = FShown[size_t(Index)];
    TRect r = ItemRect(Index);
    if (item->IsLine()) {
        FillBox(C, r, clMenu);
        int y = r.Top + kLineHeight / 2 - 1;
        Line(C, r.Left + 1, y, r.Right - 1, y, clBtnShadow);
        Line(C, r.Left + 1, y + 1, r.Right - 1, y + 1, clBtnHighlight);
        return;
    }
    bool highlighted = Index == FHighlighted;
    bool enabled = item->Enabled();
    TColor text = !enabled ? clGrayText : highlighted ? clHighlightText : clMenuText;
    FillBox(C, r, highlighted ? clHighlight : clMenu);
    int cy = r.Top + (r.Height() - 1) / 2;

    // The gutter: the bitmap (framed when checked), or a check mark or radio dot.
    TRect glyph{r.Left + 3, r.Top + (r.Height() - kGlyphSize) / 2, 0, 0};
    glyph.Right = glyph.Left + kGlyphSize;
    glyph.Bottom = glyph.Top + kGlyphSize;
    if (item->HasBitmap()) {
        if (item->Checked()) {
            TRect f = InflateRect(glyph, 1, 1);
            FillBox(C, f, highlighted ? clHighlight : clBtnHighlight);
            Line(C, f.Left, f.Bottom - 1, f.Left, f.Top, clBtnShadow);
            Line(C, f.Left, f.Top, f.Right, f.Top, clBtnShadow);
            Line(C, f.Left, f.Bottom - 1, f.Right - 1, f.Bottom - 1, clBtnHighlight);
            Line(C, f.Right - 1, f.Top, f.Right - 1, f.Bottom, clBtnHighlight);
        }
        TBitmap* bmp = item->Bitmap();
        if (!bmp->Transparent()) bmp->SetTransparent(true);
        if (enabled) {
            if (bmp->Width() == kGlyphSize && bmp->Height() == kGlyphSize)
                C->Draw(glyph.Left, glyph.Top, bmp);
            else
                C->StretchDraw(glyph, bmp);
        } else {
            // A grey silhouette of the picture's opaque pixels.
            TBitmap grey;
            grey.SetSize(kGlyphSize, kGlyphSize);
            TColor key = ColorToRGB(bmp->TransparentColor());
            TColor shade = ColorToRGB(clBtnShadow);
            TColor clear = key == shade ? ColorToRGB(clBtnFace) : key;
            int bw = bmp->Width(), bh = bmp->Height();
            for (int y = 0; y < kGlyphSize; ++y) {
                for (int x = 0; x < kGlyphSize; ++x) {
                    TColor p = bmp->Canvas()->Pixels(x * bw / kGlyphSize, y * bh / kGlyphSize);
                    grey.Canvas()->SetPixels(x, y, p == key ? clear : shade);
                }
            }
            grey.SetTransparentColor(clear);
            grey.SetTransparent(true);
            C->Draw(glyph.Left, glyph.Top, &grey);
        }
    } else if (item->Checked()) {
        int cx = glyph.Left + kGlyphSize / 2;
        C->Pen()->SetColor(text);
        if (item->RadioItem()) {
            C->Brush()->SetStyle(bsSolid);
            C->Brush()->SetColor(text);
            C->Ellipse(cx - 3, cy - 3, cx + 3, cy + 3);
        } else {
            // A tick three pixels thick.
            for (int k = 0; k < 3; ++k) {
                C->MoveTo(cx - 3, cy - 1 + k);
                C->LineTo(cx - 1, cy + 1 + k);
                C->LineTo(cx + 4, cy - 4 + k);
            }
        }
    }

    // The caption with its accelerator underlined.
    C->Font()->Assign(Font());
    if (item->Default()) C->Font()->SetStyle(TFontStyles{fsBold});
    std::string caption = StripHotkey(item->Caption());
    int textH = C->TextHeight(caption.empty() ? std::string("W") : caption);
    int tx = r.Left + kGutter, ty = r.Top + (r.Height() - textH) / 2;
    C->Brush()->SetStyle(bsClear);
    if (!enabled && !highlighted) {
        // Disabled text is embossed: a light copy one pixel down and to the right.
        C->Font()->SetColor(clBtnHighlight);
        C->TextOut(tx + 1, ty + 1, caption);
    }
    C->Font()->SetColor(text);
    C->TextOut(tx, ty, caption);
    if (char32_t hot = GetHotkey(item->Caption()); hot != 0) {
        // The accelerator is the first single "&"; its place in the stripped caption is the
        // caption before it, stripped.
        size_t amp = 0;
        for (size_t i = 0; i + 1 < item->Caption().size(); ++i) {
            if (item->Caption()[i] != '&') continue;
            if (item->Caption()[i + 1] == '&') {
                ++i;
                continue;
            }
            amp = i;
            break;
        }
        std::string before = StripHotkey(item->Caption().substr(0, amp));
        std::string letter = Utf8Copy(item->Caption().substr(amp + 1), 1, 1);
        int ux = tx + C->TextWidth(before);
        int uy = ty + textH - 1;
        Line(C, ux, uy, ux + C->TextWidth(letter), uy, text);
    }
    std::string sc = ShortCutToText(item->ShortCut());
    if (!sc.empty()) {
        C->Font()->SetStyle({});
        C->TextOut(r.Right - kArrowArea - C->TextWidth(sc), ty, sc);
    }
    C->Brush()->SetStyle(bsSolid);
    if (item->Count() > 0) {
        // The submenu arrow: a solid triangle pointing right.
        int ax = r.Right - kArrowArea / 2 - 2;
        C->Brush()->SetColor(text);
        for (int k = 0; k < 4; ++k) C->FillRect(TRect{ax + k, cy - 3 + k, ax + k + 1, cy + 4 - k});
    }
}

// ---------------------------------------------------------------------------------------
// Builders

TPopupMenu* NewPopupMenu(TComponent* Owner, const std::string& AName, TPopupAlignment Alignment,
                         bool AutoPopup, const std::vector<TMenuItem*>& Items) {
    auto* menu = new TPopupMenu(Owner);
    try {
        menu->SetName(AName);
    } catch (...) {
        delete menu;
        for (TMenuItem* item : Items) delete item;
        throw;
    }
    menu->SetAlignment(Alignment);
    menu->SetAutoPopup(AutoPopup);
    menu->Items()->Add(Items);
    return menu;
}

TMenuItem* NewItem(const std::string& ACaption, TShortCut AShortCut, bool AChecked, bool AEnabled,
                   TNotifyEvent AOnClick, int hCtx, const std::string& AName) {
    auto* item = new TMenuItem(nullptr);
    try {
        item->SetName(AName);
    } catch (...) {
        delete item;
        throw;
    }
    item->SetCaption(ACaption);
    item->SetShortCut(AShortCut);
    item->SetChecked(AChecked);
    item->SetEnabled(AEnabled);
    item->OnClick = std::move(AOnClick);
    item->SetHelpContext(hCtx);
    return item;
}

TMenuItem* NewSubMenu(const std::string& ACaption, int hCtx, const std::string& AName,
                      const std::vector<TMenuItem*>& Items, bool AEnabled) {
    auto* item = new TMenuItem(nullptr);
    try {
        item->SetName(AName);
    } catch (...) {
        delete item;
        for (TMenuItem* child : Items) delete child;
        throw;
    }
    item->SetCaption(ACaption);
    item->SetHelpContext(hCtx);
    item->SetEnabled(AEnabled);
    item->Add(Items);
    return item;
}

TMenuItem* NewLine() {
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(cLineCaption);
    return item;
}

}  // namespace kovo
