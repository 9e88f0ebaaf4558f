// The small interface between the host layer and the platform it runs on. The headless
// backend (the default) and the SDL2 backend implement it; nothing else in the host knows
// which one is running.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "host/Types.h"

namespace kovo {

class TCustomForm;
class TObject;

class TBackend {
  public:
    virtual ~TBackend() = default;

    // Milliseconds of a monotonic clock.
    virtual uint64_t TickCount() = 0;
    // Turns pending platform events into host input (TApplication's Input* calls). With
    // Wait, blocks until an event arrives or TimeoutMs passes.
    virtual void PumpEvents(bool Wait, int TimeoutMs) = 0;

    // A top-level form became visible, was hidden, changed caption or size, or is going.
    virtual void FormShown(TCustomForm* Form) = 0;
    virtual void FormHidden(TCustomForm* Form) = 0;
    virtual void FormChanged(TCustomForm* Form) = 0;
    virtual void FormDestroyed(TCustomForm* Form) = 0;
    // The form's picture changed; show it.
    virtual void Present(TCustomForm* Form) = 0;
    // Screen position of a form's client area.
    virtual TPoint FormOrigin(TCustomForm* Form) = 0;

    // Runs a modal loop for Subject (a form, a popup menu, a drop-down list, a dialog) until
    // Done answers true. The headless backend hands Subject to the program's modal handler
    // instead, which plays the user's part.
    virtual void ModalLoop(TObject* Subject, const std::function<bool()>& Done) = 0;

    virtual bool TimerAvailable() = 0;
    virtual void Beep() = 0;
    virtual void SetCursorShape(int Cursor) = 0;
    virtual TSize ScreenSize() = 0;

    // Clipboard text.
    virtual std::string ClipboardText() = 0;
    virtual bool ClipboardHasText() = 0;
    virtual void SetClipboardText(const std::string& Text) = 0;
    virtual void ClearClipboard() = 0;
};

// The backend in use (headless until another is installed).
TBackend& Backend();
// Installs a backend; the host owns it from then on. nullptr returns to the headless one.
void InstallBackend(TBackend* NewBackend);

}  // namespace kovo
