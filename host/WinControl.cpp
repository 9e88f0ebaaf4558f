#include "host/WinControl.h"

#include <algorithm>

#include "host/Application.h"

namespace kovo {

TWinControl::TWinControl(TComponent* AOwner)
    : TControl(AOwner), FPaintCanvas(std::make_unique<TControlCanvas>(this)) {}

TWinControl::~TWinControl() {
    // Leave the parent while this is still a windowed control, so that the parent's tab
    // list lets go of it too.
    if (Parent()) Parent()->RemoveControl(this);
    Application->ControlDestroying(this);
    // Children that nobody else frees stay alive without a parent: in C++ their creator
    // owns them, so the parent only lets go.
    for (TControl* c : FControls) {
        c->FParent = nullptr;
        c->FOwnSurface.reset();
    }
    FControls.clear();
    FTabList.clear();
    DestroyHandle();
}

TControl* TWinControl::Controls(int Index) const {
    if (Index < 0 || Index >= ControlCount()) return nullptr;
    return FControls[Index];
}

void TWinControl::InsertControl(TControl* AControl) {
    if (!AControl || AControl->FParent == this) return;
    if (AControl->FParent) AControl->FParent->RemoveControl(AControl);
    Application->ControlDestroying(AControl);  // its capture, hover and focus end here
    AControl->FParent = this;
    AControl->FOwnSurface.reset();
    FControls.push_back(AControl);
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        FTabList.push_back(w);
        if (HandleAllocated()) w->HandleNeeded();
    }
    AControl->FAnchorBase = AControl->BoundsRect();
    AControl->FAnchorParent = TSize{ClientWidth(), ClientHeight()};
    if (AControl->FParentFont) AControl->Perform(CM_PARENTFONTCHANGED);
    if (AControl->FParentColor) AControl->Perform(CM_PARENTCOLORCHANGED);
    if (AControl->FAlign != alNone) Realign();
    AControl->Invalidate();
}

void TWinControl::RemoveControl(TControl* AControl) {
    if (!AControl || AControl->FParent != this) return;
    AControl->Invalidate();
    Application->ControlDestroying(AControl);
    std::erase(FControls, AControl);
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) std::erase(FTabList, w);
    AControl->FParent = nullptr;
    if (AControl->FAlign != alNone) Realign();
}

bool TWinControl::ContainsControl(const TControl* Control) const {
    for (const TControl* c = Control; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint P, bool AllowDisabled) const {
    bool designing = ComponentState().contains(csDesigning);
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!c->Visible() && !designing) continue;
        if (!c->Enabled() && !AllowDisabled) continue;
        if (!c->BoundsRect().Contains(P)) continue;
        TPoint local{P.X - c->Left(), P.Y - c->Top()};
        if (c->Perform(CM_HITTEST, 0, MAKELPARAM(local.X, local.Y)) == 0) continue;
        return c;
    }
    return nullptr;
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded() {
    if (FHandle) return;
    if (Parent()) Parent()->HandleNeeded();
    if (FHandle) return;  // the parent made it while making its children's
    FControlState.Include(csCreating);
    CreateWnd();
    FControlState.Exclude(csCreating);
    for (TWinControl* w : FTabList) w->HandleNeeded();
}

void TWinControl::CreateWnd() {
    if (FHandle) return;
    FHandle = Application->RegisterWindow([this](TMessage& m) { WndProc(m); });
}

void TWinControl::DestroyWnd() {
    if (!FHandle) return;
    Application->UnregisterWindow(FHandle);
    FHandle = 0;
}

void TWinControl::DestroyHandle() {
    if (!FHandle) return;
    FControlState.Include(csDestroyingHandle);
    for (TWinControl* w : FTabList) w->DestroyHandle();
    DestroyWnd();
    FControlState.Exclude(csDestroyingHandle);
}

bool TWinControl::Focused() const {
    return Application->FocusedControl(RootControl()) == this;
}

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

void TWinControl::SetFocus() {
    if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    HandleNeeded();
    Application->SetFocusedControl(RootControl(), this);
}

int TWinControl::TabOrder() const {
    if (!Parent()) return -1;
    const auto& list = Parent()->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (!Parent()) return;
    auto& list = Parent()->FTabList;
    std::erase(list, this);
    Value = std::clamp(Value, 0, int(list.size()));
    list.insert(list.begin() + Value, this);
}

void TWinControl::CollectTabOrder(std::vector<TWinControl*>& List) const {
    for (TWinControl* w : FTabList) {
        List.push_back(w);
        w->CollectTabOrder(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward,
                                          bool CheckTabStop, bool CheckParent) const {
    std::vector<TWinControl*> list;
    CollectTabOrder(list);
    if (list.empty()) return nullptr;
    int n = int(list.size());
    auto it = std::find(list.begin(), list.end(), CurControl);
    int start = it == list.end() ? (GoForward ? n - 1 : 0) : int(it - list.begin());
    for (int step = 1; step <= n; ++step) {
        int i = GoForward ? (start + step) % n : (start - step + n * 2) % n;
        TWinControl* c = list[i];
        if (c == CurControl && it != list.end()) break;
        if (!c->CanFocus()) continue;
        if (CheckTabStop && !c->TabStop()) continue;
        if (CheckParent && c->Parent() != this) continue;
        return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, false)) c->SetFocus();
}

void TWinControl::Broadcast(TMessage& Message) {
    for (size_t i = 0; i < FControls.size(); ++i) {
        FControls[i]->WndProc(Message);
        if (Message.Result != 0) return;
    }
}

void TWinControl::NotifyControls(UINT Msg) {
    TMessage m{Msg, 0, 0, 0};
    Broadcast(m);
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    int oldW = ClientWidth(), oldH = ClientHeight();
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (ClientWidth() != oldW || ClientHeight() != oldH) {
        AnchorChildren(oldW, oldH);
        Realign();
    }
}

void TWinControl::Invalidate() {
    TControl::Invalidate();
}

void TWinControl::EnableAlign() {
    if (FAlignLevel > 0 && --FAlignLevel == 0) Realign();
}

void TWinControl::Realign() {
    if (FAlignLevel > 0) return;
    AlignChildren();
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
    (void)AControl;
    // Docked children first in the order top, bottom, left, right; the client one last.
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : FControls) {
            if (c->FAlign != a || (!c->Visible() && !ComponentState().contains(csDesigning)))
                continue;
            int w = c->Width(), h = c->Height();
            TRect r;
            switch (a) {
                case alTop:
                    r = Bounds(Rect.Left, Rect.Top, Rect.Width(), h);
                    Rect.Top += h;
                    break;
                case alBottom:
                    r = Bounds(Rect.Left, Rect.Bottom - h, Rect.Width(), h);
                    Rect.Bottom -= h;
                    break;
                case alLeft:
                    r = Bounds(Rect.Left, Rect.Top, w, Rect.Height());
                    Rect.Left += w;
                    break;
                case alRight:
                    r = Bounds(Rect.Right - w, Rect.Top, w, Rect.Height());
                    Rect.Right -= w;
                    break;
                default:
                    r = Rect;
                    break;
            }
            if (r.Width() < 0) r.Right = r.Left;
            if (r.Height() < 0) r.Bottom = r.Top;
            c->SetBounds(r.Left, r.Top, r.Width(), r.Height());
        }
    }
}

void TWinControl::AlignChildren() {
    bool any = false;
    for (TControl* c : FControls) any = any || c->FAlign != alNone;
    if (!any) return;
    ++FAlignLevel;  // the children's SetBounds must not realign this control again
    TRect r = ClientRect();
    AlignControls(nullptr, r);
    --FAlignLevel;
}

void TWinControl::AnchorChildren(int OldClientWidth, int OldClientHeight) {
    (void)OldClientWidth;
    (void)OldClientHeight;
    for (TControl* c : FControls) {
        if (c->FAlign != alNone) continue;
        TAnchors a = c->FAnchors;
        if (a == TAnchors{akLeft, akTop}) continue;
        int dw = ClientWidth() - c->FAnchorParent.cx;
        int dh = ClientHeight() - c->FAnchorParent.cy;
        TRect b = c->FAnchorBase;
        int l = b.Left, t = b.Top, w = b.Width(), h = b.Height();
        if (a.contains(akRight)) {
            if (a.contains(akLeft))
                w += dw;
            else
                l += dw;
        } else if (!a.contains(akLeft)) {
            l += dw / 2;
        }
        if (a.contains(akBottom)) {
            if (a.contains(akTop))
                h += dh;
            else
                t += dh;
        } else if (!a.contains(akTop)) {
            t += dh / 2;
        }
        c->FAnchoring = true;
        c->SetBounds(l, t, w, h);
        c->FAnchoring = false;
    }
}

void TWinControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            WMKeyDown(Message);
            return;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            WMKeyUp(Message);
            return;
        case WM_CHAR:
            WMChar(Message);
            return;
        case WM_SETFOCUS:
            WMSetFocus(Message);
            return;
        case WM_KILLFOCUS:
            WMKillFocus(Message);
            return;
        case WM_GETDLGCODE:
            Message.Result = GetDlgCode();
            return;
        default:
            TControl::WndProc(Message);
    }
}

void TWinControl::WMKeyDown(TMessage& Message) {
    WORD key = WORD(Message.WParam);
    KeyDown(key, KeysToShiftState(WPARAM(Message.LParam)));
    Message.WParam = key;
    Message.Result = key == 0 ? 1 : 0;
}

void TWinControl::WMKeyUp(TMessage& Message) {
    WORD key = WORD(Message.WParam);
    KeyUp(key, KeysToShiftState(WPARAM(Message.LParam)));
    Message.WParam = key;
}

void TWinControl::WMChar(TMessage& Message) {
    char32_t key = char32_t(Message.WParam);
    KeyPress(key);
    Message.WParam = key;
}

void TWinControl::WMSetFocus(TMessage&) {
    DoEnter();
    Invalidate();
}

void TWinControl::WMKillFocus(TMessage&) {
    DoExit();
    Invalidate();
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char32_t& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

void TWinControl::CMColorChanged(TMessage& Message) {
    TControl::CMColorChanged(Message);
    NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMFontChanged(TMessage& Message) {
    TControl::CMFontChanged(Message);
    NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMEnabledChanged(TMessage& Message) {
    if (!Enabled() && Focused()) Application->SetFocusedControl(RootControl(), nullptr);
    TControl::CMEnabledChanged(Message);
}

void TWinControl::CMVisibleChanged(TMessage& Message) {
    if (!Visible()) {
        TControl* root = RootControl();
        TWinControl* f = Application->FocusedControl(root);
        if (f && ContainsControl(f) && root != this) Application->SetFocusedControl(root, nullptr);
    }
    TControl::CMVisibleChanged(Message);
}

void TWinControl::EraseBackground(TCanvas* ACanvas) {
    ACanvas->Brush()->SetColor(Color());
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->FillRect(ClientRect());
}

void TWinControl::PaintControl(const TRect& Clip) {
    FPaintClip = Clip;
    {
        TPaintClipScope scope(FPaintCanvas.get(), Clip);
        if (!FControlStyle.contains(csOpaque)) EraseBackground(FPaintCanvas.get());
        PaintWindow(FPaintCanvas.get());
    }
    bool designing = ComponentState().contains(csDesigning);
    for (size_t i = 0; i < FControls.size(); ++i) {
        TControl* c = FControls[i];
        if (!c->Visible() && !designing) continue;
        TRect r = IntersectRect(Clip, c->VisibleRectInRoot());
        if (!r.IsEmpty()) c->PaintControl(r);
    }
    FPaintClip = {};
}

void TControlCanvas::RequireSurface() {
    TControl* c = FControl;
    if (c->Parent() && !c->Showing() && !c->ComponentState().contains(csDesigning)) {
        SetSurface(nullptr);
        return;
    }
    TRect vis = c->VisibleRectInRoot();
    if (!FPaintClip.IsEmpty()) vis = IntersectRect(vis, FPaintClip);
    if (vis.IsEmpty()) {
        SetSurface(nullptr);
        return;
    }
    SetSurface(c->RootSurface(), c->RootOffset(), vis);
    Application->SurfaceChanged(c->RootControl());
}

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this)) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::PaintControl(const TRect& Clip) {
    TPaintClipScope scope(FCanvas.get(), Clip);
    Paint();
}

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this)) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(TCanvas*) {
    TPaintClipScope scope(FCanvas.get(), FPaintClip);
    Paint();
}

}  // namespace kovo
