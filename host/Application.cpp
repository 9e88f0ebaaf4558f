#include "host/Application.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "host/Form.h"
#include "host/WinControl.h"
#include "host/platform/Backend.h"

namespace kovo {

// The application lives as long as the program; it is never freed, so that controls
// destroyed by static destructors can still unregister themselves.
TApplication* Application = new TApplication();

namespace {

bool IsSelfOrChild(const TControl* Ancestor, const TControl* C) {
    for (; C; C = C->Parent())
        if (C == Ancestor) return true;
    return false;
}

// Decodes one code point of UTF-8 at s[i], advancing i; bad bytes give U+FFFD.
char32_t NextCodePoint(const std::string& s, size_t& i) {
    unsigned char c = s[i++];
    if (c < 0x80) return c;
    int extra = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
    if (extra < 0) return 0xFFFD;
    char32_t cp = c & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0xFFFD;
        cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    }
    return cp;
}

WPARAM ButtonBit(TMouseButton b) {
    return b == mbLeft ? MK_LBUTTON : b == mbRight ? MK_RBUTTON : MK_MBUTTON;
}

}  // namespace

HWND AllocateHWnd(TWndMethod Method) {
    return Application->RegisterWindow(std::move(Method));
}
void DeallocateHWnd(HWND Wnd) {
    Application->UnregisterWindow(Wnd);
}
bool IsWindow(HWND Wnd) {
    return Application->WindowExists(Wnd);
}

LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    return Application->Send(Wnd, m);
}

bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    return Application->Post(Wnd, TMessage{Msg, WParam, LParam, 0});
}

LRESULT DefWindowProc(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

uintptr_t SetTimer(HWND Wnd, uintptr_t IDEvent, UINT Elapse) {
    return Application->StartTimer(Wnd, IDEvent, Elapse);
}

bool KillTimer(HWND Wnd, uintptr_t IDEvent) {
    return Application->StopTimer(Wnd, IDEvent);
}

uint64_t GetTickCount() {
    return Backend().TickCount();
}

bool MessageBeep(UINT) {
    Backend().Beep();
    return true;
}

TApplication::TApplication() : TComponent(nullptr) {}
TApplication::~TApplication() = default;

void TApplication::Run() {
    FTerminated = false;
    if (FMainForm) FMainForm->Show();
    while (!FTerminated) {
        HandleMessage();
        if (FMainForm && !FMainForm->Visible()) FTerminated = true;
    }
}

void TApplication::HandleMessage() {
    ProcessMessages();
    if (FTerminated) return;
    Backend().PumpEvents(true, NextTimerDelay());
    ProcessMessages();
}

void TApplication::ProcessMessages() {
    Backend().PumpEvents(false, 0);
    // Messages that handlers post while this runs are delivered too; a handler that posts
    // endlessly cannot hang the loop, because each round takes only what was there.
    for (int round = 0; round < 10000; ++round) {
        if (FInput.empty() && FPosted.empty()) break;
        size_t inputs = FInput.size();
        for (size_t i = 0; i < inputs && !FInput.empty(); ++i) {
            TInputEvent e = std::move(FInput.front());
            FInput.pop_front();
            Guarded(e.root, [&] { Deliver(e); });
        }
        size_t posts = FPosted.size();
        for (size_t i = 0; i < posts && !FPosted.empty(); ++i) {
            TPosted p = FPosted.front();
            FPosted.pop_front();
            Guarded(this, [&] { Send(p.wnd, p.msg); });
        }
    }
    FireDueTimers();
    PaintPending();
}

void TApplication::Guarded(TObject* Sender, const std::function<void()>& Work) {
    try {
        Work();
    } catch (...) {
        HandleException(Sender);
    }
}

void TApplication::HandleException(TObject* Sender) {
    std::exception_ptr current = std::current_exception();
    if (!current) return;
    try {
        std::rethrow_exception(current);
    } catch (EAbort&) {
        // A silent exception: it only ends what was being done.
    } catch (Exception& e) {
        if (OnException)
            OnException(Sender, e);
        else
            ShowException(e);
    } catch (std::exception& e) {
        Exception wrapped(e.what());
        if (OnException)
            OnException(Sender, wrapped);
        else
            ShowException(wrapped);
    } catch (...) {
        Exception wrapped("Unknown exception");
        if (OnException)
            OnException(Sender, wrapped);
        else
            ShowException(wrapped);
    }
}

void TApplication::ShowException(const std::exception& E) {
    std::fprintf(stderr, "%s\n", E.what());
}

void TApplication::InputMouseButton(TControl* Root, TMouseButton Button, bool Down, int X, int Y,
                                    TShiftState Shift) {
    TInputEvent e{TInputEvent::MouseButton, Root, Button, Down, X, Y, 0, Shift, 0, {}};
    FInput.push_back(std::move(e));
}

void TApplication::InputMouseMove(TControl* Root, int X, int Y, TShiftState Shift) {
    FInput.push_back(
        TInputEvent{TInputEvent::MouseMove, Root, mbLeft, false, X, Y, 0, Shift, 0, {}});
}

void TApplication::InputMouseWheel(TControl* Root, int X, int Y, int Delta, TShiftState Shift) {
    FInput.push_back(
        TInputEvent{TInputEvent::MouseWheel, Root, mbLeft, false, X, Y, Delta, Shift, 0, {}});
}

void TApplication::InputMouseLeave(TControl* Root) {
    FInput.push_back(TInputEvent{TInputEvent::MouseLeave, Root, mbLeft, false, 0, 0, 0, {}, 0, {}});
}

void TApplication::InputKey(TControl* Root, WORD Key, bool Down, TShiftState Shift) {
    FInput.push_back(TInputEvent{TInputEvent::Key, Root, mbLeft, Down, 0, 0, 0, Shift, Key, {}});
}

void TApplication::InputText(TControl* Root, const std::string& Utf8) {
    FInput.push_back(TInputEvent{TInputEvent::Text, Root, mbLeft, false, 0, 0, 0, {}, 0, Utf8});
}

void TApplication::Deliver(const TInputEvent& E) {
    switch (E.kind) {
        case TInputEvent::MouseButton:
            DeliverMouseButton(E);
            break;
        case TInputEvent::MouseMove:
            DeliverMouseMove(E);
            break;
        case TInputEvent::MouseWheel: {
            TControl* target = HitTest(E.root, E.x, E.y);
            if (!target) target = FocusedControl(E.root);
            if (!target) break;
            TPoint screen = E.root->ClientToScreen({E.x, E.y});
            WPARAM w = (WPARAM(uint16_t(int16_t(E.delta))) << 16) | ShiftStateToKeys(E.shift);
            target->Perform(WM_MOUSEWHEEL, w, MAKELPARAM(screen.X, screen.Y));
            break;
        }
        case TInputEvent::MouseLeave:
            if (FHover && FHover->RootControl() == E.root) {
                TControl* old = FHover;
                FHover = nullptr;
                old->Perform(CM_MOUSELEAVE);
            }
            break;
        case TInputEvent::Key:
            DeliverKey(E);
            break;
        case TInputEvent::Text:
            DeliverText(E);
            break;
    }
}

TControl* TApplication::HitTest(TControl* Root, int X, int Y) const {
    if (!Root || !Root->Visible() || !Root->Enabled()) return nullptr;
    if (!TRect{0, 0, Root->Width(), Root->Height()}.Contains({X, Y})) return nullptr;
    TControl* c = Root;
    TPoint p{X, Y};
    while (auto* w = dynamic_cast<TWinControl*>(c)) {
        TControl* child = w->ControlAtPos(p);
        if (!child) break;
        p.X -= child->Left();
        p.Y -= child->Top();
        c = child;
    }
    return c;
}

void TApplication::UpdateHover(TControl* Root, int X, int Y) {
    TControl* now = HitTest(Root, X, Y);
    if (now == FHover) return;
    TControl* old = FHover;
    FHover = now;
    if (old) old->Perform(CM_MOUSELEAVE);
    if (now && FHover == now) now->Perform(CM_MOUSEENTER);
    TCursor cursor = Screen->Cursor();
    if (cursor == crDefault && FHover) cursor = FHover->Cursor();
    Backend().SetCursorShape(cursor);
}

void TApplication::DeliverMouseButton(const TInputEvent& E) {
    TControl* root = E.root;
    TControl* target = nullptr;
    if (FCapture && FCapture->RootControl() == root)
        target = FCapture;
    else
        target = HitTest(root, E.x, E.y);
    FActiveRoot = root;
    if (!target) return;
    TPoint off = target->RootOffset();
    LPARAM pos = MAKELPARAM(E.x - off.X, E.y - off.Y);
    WPARAM keys = ShiftStateToKeys(E.shift);
    if (E.down) {
        uint64_t now = GetTickCount();
        bool dbl = FLastClick.control == target && FLastClick.button == E.button &&
                   now - FLastClick.time <= uint64_t(DoubleClickTime) &&
                   std::abs(E.x - FLastClick.x) <= DoubleClickDistance &&
                   std::abs(E.y - FLastClick.y) <= DoubleClickDistance;
        if (dbl)
            FLastClick.control = nullptr;
        else
            FLastClick = TClickMemory{target, E.button, now, E.x, E.y};
        if (!FCapture && target->ControlStyle().contains(csCaptureMouse)) {
            FCapture = target;
            FCaptureButton = E.button;
        }
        keys |= ButtonBit(E.button);
        UINT msg;
        switch (E.button) {
            case mbLeft:
                msg = dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
                break;
            case mbRight:
                msg = dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
                break;
            default:
                msg = dbl ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN;
                break;
        }
        target->Perform(msg, keys, pos);
    } else {
        if (FCapture == target && FCaptureButton == E.button) FCapture = nullptr;
        UINT msg = E.button == mbLeft    ? WM_LBUTTONUP
                   : E.button == mbRight ? WM_RBUTTONUP
                                         : WM_MBUTTONUP;
        target->Perform(msg, keys, pos);
        UpdateHover(root, E.x, E.y);
    }
}

void TApplication::DeliverMouseMove(const TInputEvent& E) {
    TControl* root = E.root;
    UpdateHover(root, E.x, E.y);
    TControl* target =
        (FCapture && FCapture->RootControl() == root) ? FCapture : HitTest(root, E.x, E.y);
    if (!target) return;
    TPoint off = target->RootOffset();
    target->Perform(WM_MOUSEMOVE, ShiftStateToKeys(E.shift), MAKELPARAM(E.x - off.X, E.y - off.Y));
}

TWinControl* TApplication::FocusedControl(TControl* Root) const {
    auto it = FFocus.find(Root);
    return it == FFocus.end() ? nullptr : it->second;
}

TWinControl* TApplication::KeyTarget(TControl* Root) const {
    if (TWinControl* f = FocusedControl(Root)) return f;
    return dynamic_cast<TWinControl*>(Root);
}

void TApplication::SetFocusedControl(TControl* Root, TWinControl* Control) {
    TWinControl* old = FocusedControl(Root);
    if (old == Control) return;
    if (Control)
        FFocus[Root] = Control;
    else
        FFocus.erase(Root);
    FActiveRoot = Root;
    if (old) old->Perform(WM_KILLFOCUS);
    if (Control && FocusedControl(Root) == Control) Control->Perform(WM_SETFOCUS);
}

void TApplication::DeliverKey(const TInputEvent& E) {
    TControl* root = E.root;
    TWinControl* target = KeyTarget(root);
    if (!target) return;
    FActiveRoot = root;
    LPARAM shift = LPARAM(ShiftStateToKeys(E.shift));
    auto* form = dynamic_cast<TCustomForm*>(root);
    bool preview = form && form->KeyPreview() && target != form;
    if (!E.down) {
        if (preview) {
            TMessage m{WM_KEYUP, E.key, shift, 0};
            form->WndProc(m);
            if (m.WParam == 0) return;
        }
        target->Perform(WM_KEYUP, E.key, shift);
        return;
    }
    WORD key = E.key;
    if (preview) {
        TMessage m{WM_KEYDOWN, key, shift, 0};
        form->WndProc(m);
        key = WORD(m.WParam);
        if (key == 0) return;
    }
    LRESULT dlg = target->Perform(WM_GETDLGCODE);
    if (key == VK_TAB && !E.shift.contains(ssCtrl) && !(dlg & (DLGC_WANTTAB | DLGC_WANTALLKEYS))) {
        if (auto* rootWin = dynamic_cast<TWinControl*>(root))
            rootWin->SelectNext(target, !E.shift.contains(ssShift), true);
        return;
    }
    TMessage m{WM_KEYDOWN, key, shift, 0};
    target->WndProc(m);
    key = WORD(m.WParam);
    if (key == 0) return;
    // The characters that keys make without text input: editing keys and Ctrl+letter.
    char32_t ch = 0;
    if (key == VK_BACK)
        ch = 8;
    else if (key == VK_RETURN)
        ch = 13;
    else if (key == VK_ESCAPE)
        ch = 27;
    else if (key == VK_TAB)
        ch = 9;
    else if (E.shift.contains(ssCtrl) && !E.shift.contains(ssAlt) && key >= 'A' && key <= 'Z')
        ch = key - 'A' + 1;
    if (ch) {
        TInputEvent t{TInputEvent::Text, root, mbLeft, false, 0, 0, 0, {}, 0, {}};
        t.key = WORD(ch);
        DeliverText(t);
    }
}

void TApplication::DeliverText(const TInputEvent& E) {
    TControl* root = E.root;
    auto* form = dynamic_cast<TCustomForm*>(root);
    auto send = [&](char32_t cp) {
        TWinControl* target = KeyTarget(root);
        if (!target) return;
        if (form && form->KeyPreview() && target != form) {
            TMessage m{WM_CHAR, WPARAM(cp), 0, 0};
            form->WndProc(m);
            cp = char32_t(m.WParam);
            if (cp == 0) return;
        }
        target->Perform(WM_CHAR, WPARAM(cp));
    };
    if (E.text.empty()) {
        if (E.key) send(E.key);
        return;
    }
    for (size_t i = 0; i < E.text.size();) send(NextCodePoint(E.text, i));
}

void TApplication::InvalidateRoot(TControl* Root, const TRect& R) {
    if (R.IsEmpty()) return;
    auto it = FDirty.find(Root);
    if (it == FDirty.end()) {
        FDirty.emplace(Root, R);
    } else {
        TRect& d = it->second;
        if (d.IsEmpty()) {
            d = R;
            return;
        }
        d = TRect{std::min(d.Left, R.Left), std::min(d.Top, R.Top), std::max(d.Right, R.Right),
                  std::max(d.Bottom, R.Bottom)};
    }
}

void TApplication::PaintRoot(TControl* Root) {
    if (FPainting) return;
    auto it = FDirty.find(Root);
    if (it != FDirty.end()) {
        TRect r = IntersectRect(it->second, TRect{0, 0, Root->Width(), Root->Height()});
        FDirty.erase(it);
        if (!r.IsEmpty() && (Root->Visible() || Root->ComponentState().contains(csDesigning))) {
            Root->RootSurface();
            FPainting = true;
            Guarded(Root, [&] { Root->PaintControl(r); });
            FPainting = false;
        }
    }
    if (auto* form = dynamic_cast<TCustomForm*>(Root); form && form->FShownOnBackend)
        Backend().Present(form);
}

void TApplication::PaintPending() {
    std::vector<TControl*> roots;
    for (auto& [root, r] : FDirty) roots.push_back(root);
    for (TControl* root : roots) PaintRoot(root);
}

void TApplication::SurfaceChanged(TControl* Root) {
    if (FPainting) return;
    // A drawing made outside the paint cycle reaches the screen with the next round.
    if (dynamic_cast<TCustomForm*>(Root)) FDirty.emplace(Root, TRect{});
}

HWND TApplication::RegisterWindow(TWndMethod Method) {
    HWND h = ++FNextHandle;
    FWindows.emplace(h, std::move(Method));
    return h;
}

void TApplication::UnregisterWindow(HWND Wnd) {
    FWindows.erase(Wnd);
    std::erase_if(FTimers, [&](const TTimer& t) { return t.wnd == Wnd; });
    std::erase_if(FPosted, [&](const TPosted& p) { return p.wnd == Wnd; });
}

LRESULT TApplication::Send(HWND Wnd, TMessage& Message) {
    auto it = FWindows.find(Wnd);
    if (it == FWindows.end()) return 0;
    TWndMethod method = it->second;  // the window may go away while it handles the message
    method(Message);
    return Message.Result;
}

bool TApplication::Post(HWND Wnd, const TMessage& Message) {
    if (!WindowExists(Wnd)) return false;
    FPosted.push_back(TPosted{Wnd, Message});
    return true;
}

uintptr_t TApplication::StartTimer(HWND Wnd, uintptr_t Id, UINT Elapse) {
    if (!WindowExists(Wnd) || !Backend().TimerAvailable()) return 0;
    Elapse = std::max<UINT>(Elapse, 10);  // the platform's shortest timer interval
    uint64_t due = GetTickCount() + Elapse;
    for (TTimer& t : FTimers) {
        if (t.wnd == Wnd && t.id == Id) {
            t.interval = Elapse;
            t.due = due;
            t.serial = ++FTimerSerial;
            return Id;
        }
    }
    FTimers.push_back(TTimer{Wnd, Id, Elapse, due, ++FTimerSerial});
    return Id;
}

bool TApplication::StopTimer(HWND Wnd, uintptr_t Id) {
    return std::erase_if(FTimers, [&](const TTimer& t) { return t.wnd == Wnd && t.id == Id; }) > 0;
}

int TApplication::NextTimerDelay() {
    if (FTimers.empty()) return -1;
    uint64_t now = GetTickCount();
    uint64_t next = UINT64_MAX;
    for (const TTimer& t : FTimers) next = std::min(next, t.due);
    return next <= now ? 0 : int(std::min<uint64_t>(next - now, 1u << 30));
}

void TApplication::FireDueTimers() {
    uint64_t now = GetTickCount();
    std::vector<TTimer> due;
    for (const TTimer& t : FTimers)
        if (t.due <= now) due.push_back(t);
    std::sort(due.begin(), due.end(), [](const TTimer& a, const TTimer& b) {
        return a.due != b.due ? a.due < b.due : a.serial < b.serial;
    });
    for (const TTimer& d : due) {
        auto it = std::find_if(FTimers.begin(), FTimers.end(), [&](const TTimer& t) {
            return t.wnd == d.wnd && t.id == d.id && t.serial == d.serial;
        });
        if (it == FTimers.end()) continue;  // killed or restarted by an earlier tick
        it->due = now + it->interval;
        TMessage m{WM_TIMER, d.id, 0, 0};
        Guarded(this, [&] { Send(d.wnd, m); });
    }
}

void TApplication::ControlDestroying(TControl* Control) {
    if (FCapture && IsSelfOrChild(Control, FCapture)) FCapture = nullptr;
    if (FHover && IsSelfOrChild(Control, FHover)) FHover = nullptr;
    if (FLastClick.control && IsSelfOrChild(Control, FLastClick.control))
        FLastClick.control = nullptr;
    for (auto it = FFocus.begin(); it != FFocus.end();) {
        if (it->first == Control || IsSelfOrChild(Control, it->second))
            it = FFocus.erase(it);
        else
            ++it;
    }
    FDirty.erase(Control);
    if (FActiveRoot == Control) FActiveRoot = nullptr;
    if (FMainForm == Control) FMainForm = nullptr;
    std::erase_if(FInput, [&](const TInputEvent& e) { return e.root == Control; });
}

}  // namespace kovo
