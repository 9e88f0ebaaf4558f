// The headless backend: no display, a virtual clock that tests advance, injected input, and
// modal loops played by a handler the program installs. The functions in namespace Headless
// are the tests' hands and eyes.
#pragma once

#include <functional>
#include <string>

#include "host/Messages.h"
#include "host/Surface.h"
#include "host/platform/Backend.h"

namespace kovo {

class TControl;

class THeadlessBackend : public TBackend {
  public:
    uint64_t TickCount() override { return FNow; }
    void PumpEvents(bool Wait, int TimeoutMs) override;
    void FormShown(TCustomForm*) override {}
    void FormHidden(TCustomForm*) override {}
    void FormChanged(TCustomForm*) override {}
    void FormDestroyed(TCustomForm*) override {}
    void Present(TCustomForm*) override { ++FPresents; }
    TPoint FormOrigin(TCustomForm* Form) override;
    void ModalLoop(TObject* Subject, const std::function<bool()>& Done) override;
    bool TimerAvailable() override { return !FTimersRefused; }
    void Beep() override { ++FBeeps; }
    void SetCursorShape(int Cursor) override { FCursor = Cursor; }
    TSize ScreenSize() override { return TSize{1920, 1080}; }
    std::string ClipboardText() override { return FClipboard; }
    bool ClipboardHasText() override { return FClipboardHasText; }
    void SetClipboardText(const std::string& Text) override {
        FClipboard = Text;
        FClipboardHasText = true;
    }
    void ClearClipboard() override {
        FClipboard.clear();
        FClipboardHasText = false;
    }

    uint64_t FNow = 0;
    bool FTimersRefused = false;
    int FBeeps = 0;
    int FPresents = 0;
    int FCursor = 0;
    std::string FClipboard;
    bool FClipboardHasText = false;
    std::function<void(TObject* Subject)> FModalHandler;
};

namespace Headless {

// The headless backend, installed as the backend in use when it is not already.
THeadlessBackend& Instance();

// The virtual clock. Advance moves it forward, firing every timer at its due time in order,
// and runs the message loop after each tick and at the end.
uint64_t Now();
void Advance(int Milliseconds);

// Plays the user's part in modal loops (a modal form, a popup menu, a drop-down list, a
// dialog): the handler gets the subject, acts on it (clicks, keys, ModalResult) and returns.
// Without a handler modal loops end at once, as cancelled.
void SetModalHandler(std::function<void(TObject* Subject)> Handler);
// Makes SetTimer refuse (answer 0) while on.
void SetTimersRefused(bool Refused);
int BeepCount();
void ResetBeeps();
int CursorShape();

// Input at a point of a control's client area, delivered through the top-level control's
// routing exactly as real input: hit-testing, capture, double clicks (two presses within
// the double-click time of the clock, which stands still unless advanced), focus and keys.
// Each call runs the message loop afterwards.
void MouseDown(TControl* C, int X, int Y, TMouseButton Button = mbLeft, TShiftState Shift = {});
void MouseUp(TControl* C, int X, int Y, TMouseButton Button = mbLeft, TShiftState Shift = {});
void MouseMove(TControl* C, int X, int Y, TShiftState Shift = {});
void Click(TControl* C, int X, int Y, TMouseButton Button = mbLeft, TShiftState Shift = {});
void DoubleClick(TControl* C, int X, int Y, TShiftState Shift = {});
void Wheel(TControl* C, int X, int Y, int Delta, TShiftState Shift = {});
void MouseLeave(TControl* C);
// Keys go to the focused control of C's top-level control (C itself when nothing has focus
// and C is that top-level control); while popup windows are open they go to the topmost
// popup instead, and a mouse press outside every open popup closes them and goes nowhere.
void KeyDown(TControl* C, WORD Key, TShiftState Shift = {});
void KeyUp(TControl* C, WORD Key, TShiftState Shift = {});
void PressKey(TControl* C, WORD Key, TShiftState Shift = {});
// Characters as a keyboard's text input gives them (each one a WM_CHAR).
void TypeText(TControl* C, const std::string& Utf8);

// Paints what is pending and answers a copy of the control's pixels.
TSurface Capture(TControl* C);
// The colour of a pixel of the control, after painting what is pending.
TColor PixelAt(TControl* C, int X, int Y);
// Writes the control's pixels to a PNG file (after painting what is pending).
void SavePng(TControl* C, const std::string& Path);

}  // namespace Headless

}  // namespace kovo
