// The message loop: input from the backend routed to controls (hit-testing, capture, double
// clicks, focus and keys), posted messages, timers of the message system's windows, and the
// paint cycle that draws what was invalidated. Everything runs on one thread.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host/Component.h"
#include "host/Exceptions.h"
#include "host/Messages.h"

namespace kovo {

class TControl;
class TWinControl;
class TCustomForm;

// The message system's windows. A control's window and a private window made with
// AllocateHWnd both receive messages through their window method.
using TWndMethod = std::function<void(TMessage& Message)>;
HWND AllocateHWnd(TWndMethod Method);
void DeallocateHWnd(HWND Wnd);
bool IsWindow(HWND Wnd);
LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
// Queues the message; the loop delivers it. False when the window does not exist.
bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

// Starts (or restarts) timer IDEvent of the window: WM_TIMER with WParam = IDEvent arrives
// every Elapse milliseconds. Answers IDEvent, or 0 when the platform refuses a timer.
uintptr_t SetTimer(HWND Wnd, uintptr_t IDEvent, UINT Elapse);
bool KillTimer(HWND Wnd, uintptr_t IDEvent);

// Milliseconds of the backend's clock (virtual in the headless backend).
uint64_t GetTickCount();
// The warning sound.
constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_ICONERROR = 0x0010;
constexpr UINT MB_ICONWARNING = 0x0030;
bool MessageBeep(UINT Type = MB_OK);

using TExceptionEvent = std::function<void(TObject* Sender, Exception& E)>;

class TApplication : public TComponent {
  public:
    TApplication();
    ~TApplication() override;

    // Shows the main form and runs the loop until Terminate or the main form closes.
    void Run();
    // Delivers every pending input event, posted message and due timer, then paints what is
    // invalid. Returns when nothing is left.
    void ProcessMessages();
    // Waits for one event (or the next timer) and processes it.
    void HandleMessage();
    void Terminate() { FTerminated = true; }
    bool Terminated() const { return FTerminated; }
    void ResetTerminated() { FTerminated = false; }

    // Hands the exception being handled (call it inside a catch block) to OnException, or
    // writes its message to standard error. The program goes on.
    void HandleException(TObject* Sender);
    void ShowException(const std::exception& E);
    TExceptionEvent OnException;

    TCustomForm* MainForm() const { return FMainForm; }
    void SetMainForm(TCustomForm* Form) { FMainForm = Form; }
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }

    // Input, in client coordinates of the top-level control Root (a form, or a control
    // without parent). The backends and the tests' input helpers call these; the events are
    // queued and delivered by ProcessMessages exactly as real input is.
    void InputMouseButton(TControl* Root, TMouseButton Button, bool Down, int X, int Y,
                          TShiftState Shift);
    void InputMouseMove(TControl* Root, int X, int Y, TShiftState Shift);
    void InputMouseWheel(TControl* Root, int X, int Y, int Delta, TShiftState Shift);
    void InputMouseLeave(TControl* Root);
    void InputKey(TControl* Root, WORD Key, bool Down, TShiftState Shift);
    void InputText(TControl* Root, const std::string& Utf8);

    // The control that has the mouse captured, and the one under the mouse.
    TControl* CaptureControl() const { return FCapture; }
    void SetCaptureControl(TControl* Control) { FCapture = Control; }
    TControl* HoverControl() const { return FHover; }
    // The focused control of a top-level control.
    TWinControl* FocusedControl(TControl* Root) const;
    // The top-level control that has the keyboard (the active form).
    TControl* ActiveRoot() const { return FActiveRoot; }
    void SetActiveRoot(TControl* Root) { FActiveRoot = Root; }

    // The paint cycle: marks a rectangle of a root's picture for repainting, and paints
    // every marked area now.
    void InvalidateRoot(TControl* Root, const TRect& R);
    void PaintPending();
    void PaintRoot(TControl* Root);
    bool PaintIsPending() const { return !FDirty.empty(); }
    // The root's picture changed outside the paint cycle (a direct Paint); show it.
    void SurfaceChanged(TControl* Root);

    // Time until the next timer is due (ms), -1 without timers.
    int NextTimerDelay();
    // Delivers WM_TIMER for every timer due at the backend clock's current time.
    void FireDueTimers();

    // Forgets every reference to a control that is being destroyed.
    void ControlDestroying(TControl* Control);
    void SetFocusedControl(TControl* Root, TWinControl* Control);

    // The handle registry (used by AllocateHWnd and the windowed controls).
    HWND RegisterWindow(TWndMethod Method);
    void UnregisterWindow(HWND Wnd);
    bool WindowExists(HWND Wnd) const { return FWindows.count(Wnd) != 0; }
    LRESULT Send(HWND Wnd, TMessage& Message);
    bool Post(HWND Wnd, const TMessage& Message);
    uintptr_t StartTimer(HWND Wnd, uintptr_t Id, UINT Elapse);
    bool StopTimer(HWND Wnd, uintptr_t Id);

  private:
    struct TInputEvent {
        enum Kind { MouseButton, MouseMove, MouseWheel, MouseLeave, Key, Text } kind;
        TControl* root;
        TMouseButton button;
        bool down;
        int x, y, delta;
        TShiftState shift;
        WORD key;
        std::string text;
    };
    struct TPosted {
        HWND wnd;
        TMessage msg;
    };
    struct TTimer {
        HWND wnd;
        uintptr_t id;
        UINT interval;
        uint64_t due;
        uint64_t serial;  // keeps timers due at the same time in the order they were set
    };
    struct TClickMemory {
        TControl* control = nullptr;
        TMouseButton button = mbLeft;
        uint64_t time = 0;
        int x = 0, y = 0;
    };

    void Deliver(const TInputEvent& E);
    void DeliverMouseButton(const TInputEvent& E);
    void DeliverMouseMove(const TInputEvent& E);
    void DeliverKey(const TInputEvent& E);
    void DeliverText(const TInputEvent& E);
    void UpdateHover(TControl* Root, int X, int Y);
    TControl* HitTest(TControl* Root, int X, int Y) const;
    TWinControl* KeyTarget(TControl* Root) const;
    void Guarded(TObject* Sender, const std::function<void()>& Work);

    bool FTerminated = false;
    TCustomForm* FMainForm = nullptr;
    std::string FTitle;
    std::deque<TInputEvent> FInput;
    std::deque<TPosted> FPosted;
    std::vector<TTimer> FTimers;
    uint64_t FTimerSerial = 0;
    std::map<HWND, TWndMethod> FWindows;
    HWND FNextHandle = 0x1000;
    std::map<TControl*, TRect> FDirty;  // per root, the bounding box of what is marked
    std::map<TControl*, TWinControl*> FFocus;
    TControl* FCapture = nullptr;
    TMouseButton FCaptureButton = mbLeft;
    TControl* FHover = nullptr;
    TControl* FActiveRoot = nullptr;
    TClickMemory FLastClick;
    bool FPainting = false;
};

extern TApplication* Application;

// Time within which a second click counts as a double click, and how far it may be away.
constexpr int DoubleClickTime = 500;
constexpr int DoubleClickDistance = 4;

}  // namespace kovo
