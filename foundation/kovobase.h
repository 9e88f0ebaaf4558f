// The frame every component of the package shares: the shared enumerations, the error
// classes and their one message form, the line colours and the colour-scheme rule, frame
// widths, the visual-style colour lookups, paint suppression, the copy convention and the
// hidden-window timer used by the timer components.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "host/Application.h"
#include "host/Colors.h"
#include "host/Component.h"
#include "host/Control.h"
#include "host/Exceptions.h"
#include "host/Messages.h"
#include "host/StyleServices.h"

namespace kovo {

// ---------------------------------------------------------------------------------------
// Shared enumerations (one byte each)

enum TColorScheme : uint8_t { csFixed, csSystem };

enum TFrameStyle : uint8_t { fsNone, fsSingle, fsSunken, fsRaised, fsRidge, fsGroove };

// Decimal separator accepted and produced by numeric entry and display.
enum TDecPSep : uint8_t { dpSystem, dpPoint, dpComma, dpBoth };

enum TLanguage : uint8_t { lgNeutral, lgEnglish, lgGerman, lgFrench, lgSpanish };
constexpr int LanguageCount = 5;

// Growth direction of a bar.
enum TDirection : uint8_t { drUp, drDown, drLeft, drRight };

enum TOrientation : uint8_t { orVertical, orHorizontal };

// How a background image fills an area.
enum TBkgFill : uint8_t { bfPlain, bfStretch, bfTile };

// The part of a control under the mouse (FMouseAreaCode).
enum TMouseAreaCode : uint8_t { macLeft, macValue, macRight };

// ---------------------------------------------------------------------------------------
// Errors

// `Component "<Name>": <Reason>`, the one form of every message the package raises.
std::string KovoErrorMessage(const std::string& ComponentName, const std::string& Reason);

class EKovoError : public Exception {
  public:
    using Exception::Exception;
    // The message of Component (its Name; an empty name for nullptr) and Reason.
    EKovoError(const TComponent* Component, const std::string& Reason);
};

#define KOVO_UNIT_ERROR(Name)         \
    class Name : public EKovoError {  \
      public:                         \
        using EKovoError::EKovoError; \
    };

KOVO_UNIT_ERROR(EKovoNumIO2Error)
KOVO_UNIT_ERROR(EKovoRLDataError)
KOVO_UNIT_ERROR(EKovoRepListError)
KOVO_UNIT_ERROR(EKovoNTabedError)
KOVO_UNIT_ERROR(EKovoRasterLabError)
KOVO_UNIT_ERROR(EKovoRepSpeedButton)
KOVO_UNIT_ERROR(EKovoProgBar)

#undef KOVO_UNIT_ERROR

// Raises the unit's class E with the message of Component and Reason.
template <class E>
[[noreturn]] void RaiseKovoError(const TComponent* Component, const std::string& Reason) {
    throw E(Component, Reason);
}
using TKovoErrorRaiser = void (*)(const TComponent* Component, const std::string& Reason);

// The reasons shared by several units.
inline constexpr const char* ReasonNoTimer = "no timer available";
inline constexpr const char* ReasonNoHeap = "not enough memory on heap";

// ---------------------------------------------------------------------------------------
// Line colours and the colour scheme

// The three line colours a component with a ColorScheme property paints its bevels,
// frames and separators with, next to the scheme they follow.
struct TLineColors {
    TColorScheme FColorScheme = csFixed;
    TColor FColBlackLine = clBlack;  // always black
    TColor FColGrayLine = clGray;    // shadow line
    TColor FColWhiteLine = clWhite;  // light line

    // The colour-scheme setter rule: an equal value changes nothing and answers false;
    // otherwise the scheme is stored, the shadow and light lines follow it (every ordinal
    // but csFixed counts as csSystem) and the answer is true, so the caller redraws.
    bool SetColorScheme(TColorScheme Value);
};

// ---------------------------------------------------------------------------------------
// Frames

// Pixels a frame of this style takes from each edge (0 for an ordinal above fsGroove).
int FrameWidth(TFrameStyle Style);

// The four bevel colours handed to DrawFrame.
struct TBevelColors {
    TColor Light = clWhite;
    TColor Highlight = clSilver;
    TColor Shadow = clGray;
    TColor Dark = clBlack;
};

// ---------------------------------------------------------------------------------------
// Visual styles

// True when the style service is on and Elements contains Element.
bool StyleActive(TStyleElements Elements, TStyleElement Element);
// A background: the style's colour when seClient is active, else Own.
TColor StyledColor(TStyleElements Elements, TColor Own, TStyleColor StyleColor);
// A text colour: the style's font colour when seFont is active, else Own.
TColor StyledFontColor(TStyleElements Elements, TColor Own, TStyleFont StyleFont);
// The bevel colours for DrawFrame: the style's cl3DLight, clBtnHighlight, clBtnShadow and
// cl3DDkShadow when Element is active, else clWhite, clSilver, clGray and clBlack.
TBevelColors StyledBevelColors(TStyleElements Elements, TStyleElement Element = seClient);

// ---------------------------------------------------------------------------------------
// Paint suppression

// A batch operation: painting is suppressed for the scope's life, and at its end the
// component's own SetSuppressPaint gets the saved value back, which paints once when
// painting was enabled before.
class TPaintBatch {
  public:
    TPaintBatch(bool& SuppressPaintField, std::function<void(bool)> SetSuppressPaint)
        : FField(SuppressPaintField),
          FSaved(SuppressPaintField),
          FRestore(std::move(SetSuppressPaint)) {
        FField = true;
    }
    ~TPaintBatch() noexcept(false) {
        if (FRestore) FRestore(FSaved);
    }
    TPaintBatch(const TPaintBatch&) = delete;
    TPaintBatch& operator=(const TPaintBatch&) = delete;

  private:
    bool& FField;
    bool FSaved;
    std::function<void(bool)> FRestore;
};

// ---------------------------------------------------------------------------------------
// Setter shape

// The first steps of every property setter: an unchanged value does nothing (answers
// false), a new one is stored (answers true) and the caller redraws and notifies.
template <class T>
bool Store(T& Field, const T& Value) {
    if (Field == Value) return false;
    Field = Value;
    return true;
}

// ---------------------------------------------------------------------------------------
// Copy convention

// AssignTo's test: when Dest is a T, Dest->Assign(Self) and true; otherwise false and the
// caller goes on with the inherited AssignTo.
template <class T>
bool AssignToSameClass(T* Self, TPersistent* Dest) {
    if (auto* same = dynamic_cast<T*>(Dest)) {
        same->Assign(Self);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------
// Hidden-window timer

// The private message window and its timer 1, shared by the components that act
// periodically. A tick calls DoTimer inside an exception guard: what escapes goes to
// Application->HandleException(Owner) and the timer keeps running. With a start interval
// the first tick comes after it (InitTimer) and the following ones after the repeat
// interval: the first tick switches to the repeat phase before DoTimer runs.
class TKovoTimer {
  public:
    // Raise reports a refused timer in the unit's exception class (RaiseKovoError<E>).
    TKovoTimer(TComponent* Owner, TKovoErrorRaiser Raise, std::function<void()> DoTimer,
               int RepeatInterval, int StartInterval = 0);
    ~TKovoTimer();
    TKovoTimer(const TKovoTimer&) = delete;
    TKovoTimer& operator=(const TKovoTimer&) = delete;

    // Kills timer 1; starts it with the repeat interval when that is above 0 and the timer
    // is enabled; clears the start flag. A refused timer raises "no timer available".
    void UpdateTimer();
    // The same with the start interval; sets the start flag.
    void InitTimer();
    // Kills timer 1 (the enabled flag stays as it is).
    void KillTimer();

    bool Enabled() const { return FEnabled; }
    // Only stores the flag; the component decides when to (re)start.
    void SetEnabled(bool Value) { FEnabled = Value; }

    int Interval() const { return FInterval; }
    int StartInterval() const { return FStartInterval; }
    // Interval setters: values below 10 become 10; an equal value answers false and does
    // nothing; otherwise the value is stored and, unless the owner is being designed, the
    // timer restarts (UpdateTimer for the repeat interval, InitTimer for the start
    // interval). Restart is false: only store.
    bool SetInterval(int Value, bool Restart = true);
    bool SetStartInterval(int Value, bool Restart = true);

    // True between InitTimer and the first tick (or the next UpdateTimer).
    bool IsStart() const { return FIsStart; }
    // True while timer 1 is set.
    bool Running() const { return FRunning; }
    HWND Handle() const { return FWindow; }
    // The private window's message handler.
    void WndProc(TMessage& Message);

    static constexpr int MinInterval = 10;
    static constexpr uintptr_t TimerId = 1;

  private:
    bool Designing() const;
    void Start(int Interval);

    TComponent* FOwner;              // Sender of HandleException, Name of messages
    TKovoErrorRaiser FRaise;         // the unit's exception class
    std::function<void()> FDoTimer;  // one tick of the component
    HWND FWindow = 0;                // the private message window
    int FInterval;                   // repeat interval, milliseconds
    int FStartInterval;              // start interval, milliseconds
    bool FEnabled = false;           // the component's timer-enabled flag
    bool FIsStart = false;           // start phase
    bool FRunning = false;           // timer 1 is set
};

}  // namespace kovo
