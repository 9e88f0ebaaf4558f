#include "host/platform/Headless.h"

#include <memory>

#include "host/Application.h"
#include "host/Bitmap.h"
#include "host/Control.h"
#include "host/Form.h"
#include "host/PopupWindow.h"

namespace kovo {

namespace {

std::unique_ptr<TBackend>& InstalledBackend() {
    static std::unique_ptr<TBackend> backend;
    return backend;
}

THeadlessBackend& DefaultHeadless() {
    static THeadlessBackend* headless = new THeadlessBackend();  // lives as long as the program
    return *headless;
}

}  // namespace

TBackend& Backend() {
    auto& installed = InstalledBackend();
    if (installed) return *installed;
    return DefaultHeadless();
}

void InstallBackend(TBackend* NewBackend) {
    InstalledBackend().reset(NewBackend);
}

void THeadlessBackend::PumpEvents(bool Wait, int TimeoutMs) {
    // Nothing outside the program makes events here: waiting means letting time pass until
    // the next timer, and with no timer there is nothing to wait for.
    if (!Wait) return;
    if (TimeoutMs < 0) {
        Application->Terminate();
        return;
    }
    FNow += uint64_t(TimeoutMs);
}

TPoint THeadlessBackend::FormOrigin(TCustomForm* Form) {
    return TPoint{Form->Left(), Form->Top()};
}

void THeadlessBackend::ModalLoop(TObject* Subject, const std::function<bool()>& Done) {
    if (!FModalHandler || Done()) return;
    auto handler = FModalHandler;  // a nested loop may replace it
    handler(Subject);
    Application->ProcessMessages();
}

namespace Headless {

THeadlessBackend& Instance() {
    auto* current = dynamic_cast<THeadlessBackend*>(&Backend());
    if (current) return *current;
    InstallBackend(nullptr);
    return DefaultHeadless();
}

uint64_t Now() {
    return Instance().FNow;
}

void Advance(int Milliseconds) {
    THeadlessBackend& b = Instance();
    uint64_t target = b.FNow + uint64_t(Milliseconds > 0 ? Milliseconds : 0);
    for (;;) {
        int delay = Application->NextTimerDelay();
        if (delay < 0 || b.FNow + uint64_t(delay) > target) break;
        b.FNow += uint64_t(delay);
        Application->ProcessMessages();
    }
    b.FNow = target;
    Application->ProcessMessages();
}

void SetModalHandler(std::function<void(TObject* Subject)> Handler) {
    Instance().FModalHandler = std::move(Handler);
}

void SetTimersRefused(bool Refused) {
    Instance().FTimersRefused = Refused;
}
int BeepCount() {
    return Instance().FBeeps;
}
void ResetBeeps() {
    Instance().FBeeps = 0;
}
int CursorShape() {
    return Instance().FCursor;
}

namespace {
TPoint ToRoot(TControl* C, int X, int Y) {
    return C->ClientToRoot({X, Y});
}
// While popups are open the keyboard serves the topmost one.
TControl* KeyboardRoot(TControl* C) {
    TCustomForm* popup = PopupKeyboardTarget();
    return popup ? popup : C->RootControl();
}
}  // namespace

void MouseDown(TControl* C, int X, int Y, TMouseButton Button, TShiftState Shift) {
    Instance();
    TPoint p = ToRoot(C, X, Y);
    Application->InputMouseMove(C->RootControl(), p.X, p.Y, Shift);
    // As on a desktop, a press outside the open popups closes them and goes nowhere.
    if (PopupPressAllowed(dynamic_cast<TCustomForm*>(C->RootControl())))
        Application->InputMouseButton(C->RootControl(), Button, true, p.X, p.Y, Shift);
    Application->ProcessMessages();
}

void MouseUp(TControl* C, int X, int Y, TMouseButton Button, TShiftState Shift) {
    Instance();
    TPoint p = ToRoot(C, X, Y);
    Application->InputMouseButton(C->RootControl(), Button, false, p.X, p.Y, Shift);
    Application->ProcessMessages();
}

void MouseMove(TControl* C, int X, int Y, TShiftState Shift) {
    Instance();
    TPoint p = ToRoot(C, X, Y);
    Application->InputMouseMove(C->RootControl(), p.X, p.Y, Shift);
    Application->ProcessMessages();
}

void Click(TControl* C, int X, int Y, TMouseButton Button, TShiftState Shift) {
    MouseDown(C, X, Y, Button, Shift);
    MouseUp(C, X, Y, Button, Shift);
}

void DoubleClick(TControl* C, int X, int Y, TShiftState Shift) {
    Click(C, X, Y, mbLeft, Shift);
    Click(C, X, Y, mbLeft, Shift);
}

void Wheel(TControl* C, int X, int Y, int Delta, TShiftState Shift) {
    Instance();
    TPoint p = ToRoot(C, X, Y);
    Application->InputMouseWheel(C->RootControl(), p.X, p.Y, Delta, Shift);
    Application->ProcessMessages();
}

void MouseLeave(TControl* C) {
    Instance();
    Application->InputMouseLeave(C->RootControl());
    Application->ProcessMessages();
}

void KeyDown(TControl* C, WORD Key, TShiftState Shift) {
    Instance();
    Application->InputKey(KeyboardRoot(C), Key, true, Shift);
    Application->ProcessMessages();
}

void KeyUp(TControl* C, WORD Key, TShiftState Shift) {
    Instance();
    Application->InputKey(KeyboardRoot(C), Key, false, Shift);
    Application->ProcessMessages();
}

void PressKey(TControl* C, WORD Key, TShiftState Shift) {
    KeyDown(C, Key, Shift);
    KeyUp(C, Key, Shift);
}

void TypeText(TControl* C, const std::string& Utf8) {
    Instance();
    Application->InputText(KeyboardRoot(C), Utf8);
    Application->ProcessMessages();
}

TSurface Capture(TControl* C) {
    Application->PaintPending();
    TSurface* root = C->RootSurface();
    TPoint off = C->RootOffset();
    TSurface out(C->Width(), C->Height(), 0);
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x) out.Set(x, y, root->Get(x + off.X, y + off.Y));
    return out;
}

TColor PixelAt(TControl* C, int X, int Y) {
    Application->PaintPending();
    TPoint off = C->RootOffset();
    return PixelToColor(C->RootSurface()->Get(X + off.X, Y + off.Y));
}

void SavePng(TControl* C, const std::string& Path) {
    TBitmap picture;
    picture.SetSize(C->Width(), C->Height());
    picture.MutableSurface() = Capture(C);
    picture.SaveToFile(Path);
}

}  // namespace Headless

}  // namespace kovo
