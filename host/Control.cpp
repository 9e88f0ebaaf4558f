#include "host/Control.h"

#include "host/Application.h"
#include "host/Form.h"
#include "host/Menus.h"
#include "host/WinControl.h"
#include "host/platform/Backend.h"

namespace kovo {

namespace {
TPopupHandler gPopupHandler = nullptr;
constexpr WPARAM MK_ALT = 0x1000;  // the host's own bit for Alt in mouse messages
}  // namespace

void SetPopupHandler(TPopupHandler Handler) {
    gPopupHandler = Handler;
}

TShiftState KeysToShiftState(WPARAM keys) {
    TShiftState s;
    if (keys & MK_SHIFT) s.Include(ssShift);
    if (keys & MK_CONTROL) s.Include(ssCtrl);
    if (keys & MK_ALT) s.Include(ssAlt);
    if (keys & MK_LBUTTON) s.Include(ssLeft);
    if (keys & MK_RBUTTON) s.Include(ssRight);
    if (keys & MK_MBUTTON) s.Include(ssMiddle);
    return s;
}

WPARAM ShiftStateToKeys(TShiftState s) {
    WPARAM k = 0;
    if (s.contains(ssShift)) k |= MK_SHIFT;
    if (s.contains(ssCtrl)) k |= MK_CONTROL;
    if (s.contains(ssAlt)) k |= MK_ALT;
    if (s.contains(ssLeft)) k |= MK_LBUTTON;
    if (s.contains(ssRight)) k |= MK_RBUTTON;
    if (s.contains(ssMiddle)) k |= MK_MBUTTON;
    return k;
}

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>()) {
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FFont->OnChange = [this](TObject* Sender) { FontChanged(Sender); };
}

TControl::~TControl() {
    Application->ControlDestroying(this);
    if (FParent) FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent) return;
    if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent) FParent->RemoveControl(this);
    if (AParent) {
        AParent->InsertControl(this);
    }
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (AWidth < 0) AWidth = 0;
    if (AHeight < 0) AHeight = 0;
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    bool resized = AWidth != FWidth || AHeight != FHeight;
    if (FParent) Invalidate();
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (!FParent && FOwnSurface) FOwnSurface->Resize(FWidth, FHeight, ToPixel(FColor));
    if (FParent && !FAnchoring && (FParent->FAlignLevel == 0 || FAlign == alNone)) {
        FAnchorBase = BoundsRect();
        FAnchorParent = TSize{FParent->ClientWidth(), FParent->ClientHeight()};
    }
    Invalidate();
    if (FParent && FAlign != alNone) FParent->Realign();
    if (resized && !ComponentState().contains(csLoading)) Resize();
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

TRect TControl::GetClientRect() const {
    return TRect{0, 0, FWidth, FHeight};
}

void TControl::SetClientWidth(int Value) {
    SetWidth(FWidth - ClientWidth() + Value);
}

void TControl::SetClientHeight(int Value) {
    SetHeight(FHeight - ClientHeight() + Value);
}

TPoint TControl::RootOffset() const {
    TPoint p{0, 0};
    for (const TControl* c = this; c->FParent; c = c->FParent) {
        p.X += c->FLeft;
        p.Y += c->FTop;
    }
    return p;
}

TControl* TControl::RootControl() const {
    const TControl* c = this;
    while (c->FParent) c = c->FParent;
    return const_cast<TControl*>(c);
}

TSurface* TControl::RootSurface() {
    TControl* root = RootControl();
    if (!root->FOwnSurface) {
        root->FOwnSurface =
            std::make_unique<TSurface>(root->FWidth, root->FHeight, ToPixel(root->FColor));
    } else if (root->FOwnSurface->Width() != root->FWidth ||
               root->FOwnSurface->Height() != root->FHeight) {
        root->FOwnSurface->Resize(root->FWidth, root->FHeight, ToPixel(root->FColor));
    }
    return root->FOwnSurface.get();
}

TRect TControl::VisibleRectInRoot() const {
    TPoint off = RootOffset();
    TRect r = Bounds(off.X, off.Y, FWidth, FHeight);
    for (const TControl* p = FParent; p; p = p->FParent) {
        TPoint po = p->RootOffset();
        r = IntersectRect(r, OffsetRect(p->GetClientRect(), po.X, po.Y));
    }
    return r;
}

TPoint TControl::ClientOrigin() const {
    TControl* root = RootControl();
    TPoint origin{0, 0};
    if (auto* form = dynamic_cast<TCustomForm*>(root)) origin = Backend().FormOrigin(form);
    TPoint off = RootOffset();
    return TPoint{origin.X + off.X, origin.Y + off.Y};
}

TPoint TControl::ClientToScreen(TPoint P) const {
    TPoint o = ClientOrigin();
    return TPoint{P.X + o.X, P.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint P) const {
    TPoint o = ClientOrigin();
    return TPoint{P.X - o.X, P.Y - o.Y};
}

TPoint TControl::ClientToRoot(TPoint P) const {
    TPoint o = RootOffset();
    return TPoint{P.X + o.X, P.Y + o.Y};
}

bool TControl::Showing() const {
    for (const TControl* c = this; c; c = c->FParent)
        if (!c->FVisible) return false;
    return true;
}

void TControl::SetVisible(bool Value) {
    if (FVisible == Value) return;
    if (!Value) Invalidate();
    FVisible = Value;
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0);
    if (Value) Invalidate();
    if (FParent && FAlign != alNone) FParent->Realign();
}

void TControl::Show() {
    SetVisible(true);
}
void TControl::Hide() {
    SetVisible(false);
}

void TControl::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    FParentColor = false;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool Value) {
    if (FParentColor == Value) return;
    FParentColor = Value;
    if (Value && FParent) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentFont(bool Value) {
    if (FParentFont == Value) return;
    FParentFont = Value;
    if (Value && FParent) Perform(CM_PARENTFONTCHANGED);
}

void TControl::FontChanged(TObject*) {
    if (!FFontFromParent) FParentFont = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetText(const std::string& Value) {
    if (FText == Value) return;
    FText = Value;
    Perform(CM_TEXTCHANGED);
}

void TControl::SetCursor(TCursor Value) {
    if (FCursor == Value) return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
    if (FPopupMenu == Value) return;
    if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::SetAlign(TAlign Value) {
    if (FAlign == Value) return;
    FAlign = Value;
    if (FParent) FParent->Realign();
}

void TControl::SetAnchors(TAnchors Value) {
    FAnchors = Value;
}

void TControl::SetStyleElements(TStyleElements Value) {
    if (FStyleElements == Value) return;
    FStyleElements = Value;
    Perform(CM_STYLECHANGED);
    Invalidate();
}

void TControl::InvalidateRect(const TRect& R) {
    if (!Showing() && !ComponentState().contains(csDesigning)) return;
    TPoint off = RootOffset();
    TRect r = IntersectRect(OffsetRect(R, off.X, off.Y), VisibleRectInRoot());
    if (r.IsEmpty()) return;
    Application->InvalidateRoot(RootControl(), r);
}

void TControl::Invalidate() {
    InvalidateRect(TRect{0, 0, FWidth, FHeight});
}

void TControl::Update() {
    Application->PaintRoot(RootControl());
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::BringToFront() {
    if (!FParent) return;
    auto& list = FParent->FControls;
    std::erase(list, this);
    list.push_back(this);
    Invalidate();
}

void TControl::SendToBack() {
    if (!FParent) return;
    auto& list = FParent->FControls;
    std::erase(list, this);
    list.insert(list.begin(), this);
    Invalidate();
}

void TControl::Loaded() {
    TComponent::Loaded();
    if (FParentFont && FParent) Perform(CM_PARENTFONTCHANGED);
    if (FParentColor && FParent) Perform(CM_PARENTCOLORCHANGED);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& Message) {
    Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_MOUSEMOVE:
            WMMouseMove(Message);
            break;
        case WM_LBUTTONDOWN:
            WMLButtonDown(Message);
            break;
        case WM_LBUTTONUP:
            WMLButtonUp(Message);
            break;
        case WM_LBUTTONDBLCLK:
            WMLButtonDblClk(Message);
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            WMRButtonDown(Message);
            break;
        case WM_RBUTTONUP:
            WMRButtonUp(Message);
            break;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            WMMButtonDown(Message);
            break;
        case WM_MBUTTONUP:
            WMMButtonUp(Message);
            break;
        case WM_MOUSEWHEEL:
            WMMouseWheel(Message);
            break;
        case CM_MOUSEENTER:
            CMMouseEnter(Message);
            break;
        case CM_MOUSELEAVE:
            CMMouseLeave(Message);
            break;
        case CM_ENABLEDCHANGED:
            CMEnabledChanged(Message);
            break;
        case CM_COLORCHANGED:
            CMColorChanged(Message);
            break;
        case CM_FONTCHANGED:
            CMFontChanged(Message);
            break;
        case CM_TEXTCHANGED:
            CMTextChanged(Message);
            break;
        case CM_VISIBLECHANGED:
            CMVisibleChanged(Message);
            break;
        case CM_PARENTFONTCHANGED:
            CMParentFontChanged(Message);
            break;
        case CM_PARENTCOLORCHANGED:
            CMParentColorChanged(Message);
            break;
        case CM_BUTTONPRESSED:
            CMButtonPressed(Message);
            break;
        case CM_HITTEST:
            CMHitTest(Message);
            break;
        default:
            DefaultHandler(Message);
            break;
    }
}

void TControl::DefaultHandler(TMessage& Message) {
    Message.Result = 0;
}

void TControl::DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift) {
    TShiftState s = KeysToShiftState(Message.WParam) | Shift;
    MouseDown(Button, s, GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
}

void TControl::DoMouseUp(TMessage& Message, TMouseButton Button) {
    MouseUp(Button, KeysToShiftState(Message.WParam), GET_X_LPARAM(Message.LParam),
            GET_Y_LPARAM(Message.LParam));
}

void TControl::WMMouseMove(TMessage& Message) {
    MouseMove(KeysToShiftState(Message.WParam), GET_X_LPARAM(Message.LParam),
              GET_Y_LPARAM(Message.LParam));
}

void TControl::WMLButtonDown(TMessage& Message) {
    if (FControlStyle.contains(csClickEvents)) FControlState.Include(csClicked);
    FControlState.Include(csLButtonDown);
    DoMouseDown(Message, mbLeft, {});
}

void TControl::WMLButtonDblClk(TMessage& Message) {
    FControlState.Include(csLButtonDown);
    if (FControlStyle.contains(csClickEvents)) DblClick();
    DoMouseDown(Message, mbLeft, TShiftState{ssDouble});
}

void TControl::WMLButtonUp(TMessage& Message) {
    FControlState.Exclude(csLButtonDown);
    bool clicked = FControlState.contains(csClicked);
    FControlState.Exclude(csClicked);
    if (clicked) {
        TPoint p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        if (PtInRect(GetClientRect(), p)) Click();
    }
    DoMouseUp(Message, mbLeft);
}

void TControl::WMRButtonDown(TMessage& Message) {
    DoMouseDown(Message, mbRight, {});
}

void TControl::WMRButtonUp(TMessage& Message) {
    DoMouseUp(Message, mbRight);
    if (FPopupMenu && gPopupHandler) {
        TPoint p = ClientToScreen({GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
        gPopupHandler(FPopupMenu, p.X, p.Y);
    }
}

void TControl::WMMButtonDown(TMessage& Message) {
    DoMouseDown(Message, mbMiddle, {});
}
void TControl::WMMButtonUp(TMessage& Message) {
    DoMouseUp(Message, mbMiddle);
}

void TControl::WMMouseWheel(TMessage& Message) {
    int delta = int16_t(uint16_t((Message.WParam >> 16) & 0xFFFF));
    TShiftState shift = KeysToShiftState(Message.WParam & 0xFFFF);
    TPoint screen{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    if (DoMouseWheel(shift, delta, screen)) {
        Message.Result = 1;
    } else if (FParent) {
        Message.Result = FParent->Perform(Message.Msg, Message.WParam, Message.LParam);
    }
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    if (!handled) {
        if (WheelDelta < 0)
            handled = DoMouseWheelDown(Shift, MousePos);
        else if (WheelDelta > 0)
            handled = DoMouseWheelUp(Shift, MousePos);
    }
    return handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
    return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
    return handled;
}

void TControl::CMMouseEnter(TMessage&) {
    if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage&) {
    if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::CMEnabledChanged(TMessage&) {
    Invalidate();
}
void TControl::CMColorChanged(TMessage&) {
    Invalidate();
}
void TControl::CMFontChanged(TMessage&) {
    Invalidate();
}
void TControl::CMTextChanged(TMessage&) {
    Invalidate();
}
void TControl::CMVisibleChanged(TMessage&) {}

void TControl::CMParentFontChanged(TMessage&) {
    if (!FParentFont || !FParent) return;
    FFontFromParent = true;
    try {
        FFont->Assign(FParent->Font());
    } catch (...) {
        FFontFromParent = false;
        throw;
    }
    FFontFromParent = false;
}

void TControl::CMParentColorChanged(TMessage&) {
    if (!FParentColor || !FParent) return;
    if (FColor != FParent->Color()) {
        FColor = FParent->Color();
        Perform(CM_COLORCHANGED);
        FParentColor = true;
    }
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

TCustomForm* GetParentForm(TControl* Control) {
    if (!Control) return nullptr;
    return dynamic_cast<TCustomForm*>(Control->RootControl());
}

}  // namespace kovo
