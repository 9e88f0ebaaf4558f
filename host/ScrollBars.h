// TScrollBarPiece: a scroll bar that a control draws and drives inside its own window (a
// grid, a tree view, a drop-down list). The control places it, forwards its mouse events and
// paints it; the piece keeps the range and position, hit-tests its parts, drags its thumb,
// repeats arrow and track presses with a timer, and reports every step through OnScroll.
// The control decides what a step means (a line, a page) and sets the new position.
#pragma once

#include <cstdint>
#include <functional>

#include "host/Colors.h"
#include "host/Messages.h"
#include "host/Types.h"

namespace kovo {

class TCanvas;

enum TScrollBarKind : uint8_t { sbHorizontal, sbVertical };

// Which scroll bars a control shows.
enum TScrollStyle : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

// What the user asked for: a line or a page towards the start (up/left) or the end, the thumb
// dragged to a position (scTrack while dragging, scPosition when let go), the ends, and the
// end of a scroll action (button released).
enum TScrollCode : uint8_t {
    scLineUp,
    scLineDown,
    scPageUp,
    scPageDown,
    scPosition,
    scTrack,
    scTop,
    scBottom,
    scEndScroll
};

// The parts of a bar, from the start (top or left) to the end.
enum TScrollBarPart : uint8_t {
    sbpNone,
    sbpArrowStart,  // the arrow button at the top (left)
    sbpPageStart,   // the track before the thumb
    sbpThumb,
    sbpPageEnd,  // the track after the thumb
    sbpArrowEnd  // the arrow button at the bottom (right)
};

// The classic thickness of a scroll bar (the width of a vertical one) at 96 dots per inch.
constexpr int ScrollBarSize = 17;
// The smallest thumb length the track gives, and the auto-repeat timing.
constexpr int ScrollMinThumbLength = 8;
constexpr int ScrollRepeatDelay = 400;    // ms from the press to the first repeat
constexpr int ScrollRepeatInterval = 50;  // ms between repeats

// Code is the step asked for; Pos is the position the piece proposes (the current one for
// line and page steps, the thumb's position for scTrack/scPosition). The handler moves the
// owner's view and calls SetPosition; the piece does not move by itself.
using TScrollPieceEvent = std::function<void(TScrollCode Code, int Pos)>;

// Drawing pieces of the classic look, shared with other buttons that sit in fields (the
// drop-down button of a pick list, a combo box's button).
enum TArrowDirection : uint8_t { arUp, arDown, arLeft, arRight };
// The raised two-pixel edge of a button round R; Pressed draws the flat, one-pixel shadow
// frame of a pressed scroll button instead. The face is not filled.
void DrawButtonEdge(TCanvas* Canvas, const TRect& R, bool Pressed);
// A solid triangle pointing towards Dir, centred in R (4 rows in a 17-pixel button).
void DrawArrowGlyph(TCanvas* Canvas, const TRect& R, TArrowDirection Dir, TColor Color);

class TScrollBarPiece {
  public:
    explicit TScrollBarPiece(TScrollBarKind Kind);
    ~TScrollBarPiece();
    TScrollBarPiece(const TScrollBarPiece&) = delete;
    TScrollBarPiece& operator=(const TScrollBarPiece&) = delete;

    TScrollBarKind Kind() const { return FKind; }

    // Where the bar lies, in the owner's coordinates (the coordinates of its mouse events and
    // canvas). An empty rectangle hides the bar: it paints nothing and hits nothing.
    const TRect& BoundsRect() const { return FBounds; }
    void SetBounds(const TRect& R);

    // The range Min..Max with a page of PageSize positions (0: no page, a square thumb). The
    // position runs from Min to Max - PageSize + 1 (to Max without a page) and is clamped to
    // it whenever the range changes.
    int Min() const { return FMin; }
    int Max() const { return FMax; }
    int PageSize() const { return FPageSize; }
    void SetRange(int AMin, int AMax, int APageSize = 0);
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    // The largest position the thumb can reach.
    int MaxPosition() const;

    // A disabled bar paints grey arrows and no thumb and ignores the mouse. A bar is also
    // inactive when its whole range fits into one page.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Active() const { return FEnabled && MaxPosition() > FMin; }

    // Geometry of the parts in the owner's coordinates (empty when not shown).
    TRect PartRect(TScrollBarPart Part) const;
    TScrollBarPart HitTest(TPoint P) const;
    bool Contains(TPoint P) const { return FBounds.Contains(P); }

    // Draws the bar in the classic look: raised arrow buttons, a dithered track, a raised
    // thumb; the pressed part drawn sunken (arrows) or dark (track).
    void Paint(TCanvas* Canvas) const;

    // Mouse events in the owner's coordinates. MouseDown answers true when the press landed
    // on the bar (the owner then keeps the following moves and the release for the piece:
    // Tracking() stays true until the release). MouseMove and MouseUp answer true while the
    // piece is tracking.
    bool MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    bool MouseMove(TShiftState Shift, int X, int Y);
    bool MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    bool Tracking() const { return FPressed != sbpNone; }
    // The part held down (sbpNone when not tracking).
    TScrollBarPart PressedPart() const { return FPressed; }
    // Ends a tracking action at once (the owner lost the mouse or is going away).
    void CancelTracking();

    TScrollPieceEvent OnScroll;
    // The piece's look changed (position, press, range): the owner repaints BoundsRect.
    std::function<void()> OnInvalidate;

  private:
    int TrackStart() const;   // first pixel of the track along the bar
    int TrackLength() const;  // pixels between the arrows
    int ThumbLength() const;
    int ThumbOffset() const;  // thumb start, from the track start
    int Along(TPoint P) const;
    int ArrowLength() const;
    int PositionFromThumb(int ThumbStart) const;
    void Step();  // one line or page step of the pressed part
    void StartRepeat(int Delay);
    void StopRepeat();
    void TimerTick(TMessage& Message);
    void Changed();

    TScrollBarKind FKind;               // vertical or horizontal
    TRect FBounds;                      // where the bar lies, owner coordinates
    int FMin = 0, FMax = 100;           // the range
    int FPageSize = 0;                  // positions per page (0: none)
    int FPosition = 0;                  // the thumb's position
    bool FEnabled = true;               // false: grey, ignores the mouse
    TScrollBarPart FPressed = sbpNone;  // the part the button went down on
    bool FPressedInside = false;        // the mouse is over the pressed part
    TPoint FMousePos;                   // last mouse point while tracking
    int FDragOffset = 0;                // mouse offset from the thumb start when grabbed
    int FDragThumb = 0;                 // the dragged thumb's start, from the track start
    HWND FTimerWnd = 0;                 // private window of the repeat timer
    bool FTimerOn = false;              // the repeat timer is running
};

}  // namespace kovo
