// The hidden-window timer: a private message window with timer 1, a start phase and a
// repeat phase, and ticks guarded so that no exception leaves the message handler.
#include "foundation/kovobase.h"

namespace kovo {

TKovoTimer::TKovoTimer(TComponent* Owner, TKovoErrorRaiser Raise, std::function<void()> DoTimer,
                       int RepeatInterval, int StartInterval)
    : FOwner(Owner),
      FRaise(Raise),
      FDoTimer(std::move(DoTimer)),
      FInterval(RepeatInterval),
      FStartInterval(StartInterval) {
    FWindow = AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
}

TKovoTimer::~TKovoTimer() {
    if (FWindow != 0) {
        if (FRunning) ::kovo::KillTimer(FWindow, TimerId);
        DeallocateHWnd(FWindow);
    }
}

bool TKovoTimer::Designing() const {
    return FOwner != nullptr && FOwner->ComponentState().contains(csDesigning);
}

void TKovoTimer::KillTimer() {
    ::kovo::KillTimer(FWindow, TimerId);
    FRunning = false;
}

void TKovoTimer::Start(int Interval) {
    KillTimer();
    if (Interval <= 0 || !FEnabled) return;
    if (::kovo::SetTimer(FWindow, TimerId, UINT(Interval)) == 0) {
        if (FRaise) FRaise(FOwner, ReasonNoTimer);
        throw EKovoError(FOwner, ReasonNoTimer);
    }
    FRunning = true;
}

void TKovoTimer::UpdateTimer() {
    FIsStart = false;
    Start(FInterval);
}

void TKovoTimer::InitTimer() {
    FIsStart = true;
    Start(FStartInterval);
}

bool TKovoTimer::SetInterval(int Value, bool Restart) {
    if (Value < MinInterval) Value = MinInterval;
    if (Value == FInterval) return false;
    FInterval = Value;
    if (Restart && !Designing()) UpdateTimer();
    return true;
}

bool TKovoTimer::SetStartInterval(int Value, bool Restart) {
    if (Value < MinInterval) Value = MinInterval;
    if (Value == FStartInterval) return false;
    FStartInterval = Value;
    if (Restart && !Designing()) InitTimer();
    return true;
}

void TKovoTimer::WndProc(TMessage& Message) {
    if (Message.Msg != WM_TIMER) {
        Message.Result = DefWindowProc(FWindow, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    try {
        if (FIsStart) UpdateTimer();
        if (FDoTimer) FDoTimer();
    } catch (...) {
        if (Application != nullptr) Application->HandleException(FOwner);
    }
}

}  // namespace kovo
