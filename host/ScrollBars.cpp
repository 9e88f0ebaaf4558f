#include "host/ScrollBars.h"

#include <algorithm>

#include "host/Application.h"
#include "host/Canvas.h"

namespace kovo {

namespace {

constexpr uintptr_t kRepeatTimer = 1;

// The classic raised edge of a button: light outside and highlight inside at top and left,
// dark shadow outside and shadow inside at bottom and right.
void RaisedEdge(TCanvas* C, const TRect& R) {
    auto line = [C](int x0, int y0, int x1, int y1, TColor c) {
        C->Pen()->SetColor(c);
        C->MoveTo(x0, y0);
        C->LineTo(x1, y1);
    };
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetWidth(1);
    C->Pen()->SetMode(pmCopy);
    int l = R.Left, t = R.Top, r = R.Right - 1, b = R.Bottom - 1;
    if (r <= l || b <= t) return;
    line(l, b, l, t, cl3DLight);
    line(l, t, r, t, cl3DLight);
    line(l, b, r, b, cl3DDkShadow);
    line(r, t, r, b + 1, cl3DDkShadow);
    if (r - l < 2 || b - t < 2) return;
    line(l + 1, b - 1, l + 1, t + 1, clBtnHighlight);
    line(l + 1, t + 1, r - 1, t + 1, clBtnHighlight);
    line(l + 1, b - 1, r - 1, b - 1, clBtnShadow);
    line(r - 1, t + 1, r - 1, b, clBtnShadow);
}

void Fill(TCanvas* C, const TRect& R, TColor Color) {
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color);
    C->FillRect(R);
}

}  // namespace

void DrawArrowGlyph(TCanvas* C, const TRect& R, TArrowDirection Dir, TColor Color) {
    int size = std::min(R.Width(), R.Height());
    int n = std::max(1, (size + 1) / 4);  // rows of the triangle: 4 in a 17-pixel button
    int cx = R.Left + (R.Width() - 1) / 2;
    int cy = R.Top + (R.Height() - 1) / 2;
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color);
    for (int i = 0; i < n; ++i) {
        // Row i has 2i+1 pixels; the tip row sits half the height before the centre.
        int off = i - n / 2;
        switch (Dir) {
            case arUp:
                C->FillRect(Rect(cx - i, cy + off, cx + i + 1, cy + off + 1));
                break;
            case arDown:
                C->FillRect(Rect(cx - i, cy - off, cx + i + 1, cy - off + 1));
                break;
            case arLeft:
                C->FillRect(Rect(cx + off, cy - i, cx + off + 1, cy + i + 1));
                break;
            default:
                C->FillRect(Rect(cx - off, cy - i, cx - off + 1, cy + i + 1));
                break;
        }
    }
}

void DrawButtonEdge(TCanvas* C, const TRect& R, bool Pressed) {
    if (Pressed) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(clBtnShadow);
        C->FrameRect(R);
    } else {
        RaisedEdge(C, R);
    }
}

TScrollBarPiece::TScrollBarPiece(TScrollBarKind Kind) : FKind(Kind) {}

TScrollBarPiece::~TScrollBarPiece() {
    StopRepeat();
    if (FTimerWnd) DeallocateHWnd(FTimerWnd);
}

void TScrollBarPiece::SetBounds(const TRect& R) {
    if (R == FBounds) return;
    FBounds = R.IsEmpty() ? TRect{} : R;
    if (FBounds.IsEmpty()) CancelTracking();
    Changed();
}

int TScrollBarPiece::MaxPosition() const {
    if (FPageSize > 0) return std::max(FMin, FMax - FPageSize + 1);
    return std::max(FMin, FMax);
}

void TScrollBarPiece::SetRange(int AMin, int AMax, int APageSize) {
    if (AMax < AMin) AMax = AMin;
    APageSize = std::max(0, APageSize);
    if (AMin == FMin && AMax == FMax && APageSize == FPageSize) return;
    FMin = AMin;
    FMax = AMax;
    FPageSize = APageSize;
    FPosition = std::clamp(FPosition, FMin, MaxPosition());
    if (!Active()) CancelTracking();
    Changed();
}

void TScrollBarPiece::SetPosition(int Value) {
    Value = std::clamp(Value, FMin, MaxPosition());
    if (Value == FPosition) return;
    FPosition = Value;
    Changed();
}

void TScrollBarPiece::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    if (!FEnabled) CancelTracking();
    Changed();
}

int TScrollBarPiece::Along(TPoint P) const {
    return FKind == sbVertical ? P.Y : P.X;
}

int TScrollBarPiece::ArrowLength() const {
    int length = FKind == sbVertical ? FBounds.Height() : FBounds.Width();
    int thick = FKind == sbVertical ? FBounds.Width() : FBounds.Height();
    return std::min(thick, length / 2);
}

int TScrollBarPiece::TrackStart() const {
    return (FKind == sbVertical ? FBounds.Top : FBounds.Left) + ArrowLength();
}

int TScrollBarPiece::TrackLength() const {
    int length = FKind == sbVertical ? FBounds.Height() : FBounds.Width();
    return std::max(0, length - 2 * ArrowLength());
}

int TScrollBarPiece::ThumbLength() const {
    if (!Active()) return 0;
    int track = TrackLength();
    if (track < ScrollMinThumbLength) return 0;
    int len;
    if (FPageSize > 0) {
        int64_t range = int64_t(FMax) - FMin + 1;
        len = int(int64_t(track) * FPageSize / range);
    } else {
        len = FKind == sbVertical ? FBounds.Width() : FBounds.Height();
    }
    return std::clamp(len, ScrollMinThumbLength, track);
}

int TScrollBarPiece::ThumbOffset() const {
    if (FPressed == sbpThumb) return FDragThumb;
    int span = TrackLength() - ThumbLength();
    int64_t range = int64_t(MaxPosition()) - FMin;
    if (span <= 0 || range <= 0) return 0;
    return int((int64_t(FPosition) - FMin) * span / range);
}

int TScrollBarPiece::PositionFromThumb(int ThumbStart) const {
    int span = TrackLength() - ThumbLength();
    int64_t range = int64_t(MaxPosition()) - FMin;
    if (span <= 0 || range <= 0) return FMin;
    int64_t pos = FMin + (int64_t(ThumbStart) * range + span / 2) / span;
    return int(std::clamp<int64_t>(pos, FMin, MaxPosition()));
}

TRect TScrollBarPiece::PartRect(TScrollBarPart Part) const {
    if (FBounds.IsEmpty()) return {};
    int a = ArrowLength();
    int start = FKind == sbVertical ? FBounds.Top : FBounds.Left;
    int end = FKind == sbVertical ? FBounds.Bottom : FBounds.Right;
    int ts = TrackStart(), tl = TrackLength();
    int thumbLen = ThumbLength();
    int thumb = ts + ThumbOffset();
    int s = 0, e = 0;
    switch (Part) {
        case sbpArrowStart:
            s = start, e = start + a;
            break;
        case sbpArrowEnd:
            s = end - a, e = end;
            break;
        case sbpThumb:
            if (thumbLen == 0) return {};
            s = thumb, e = thumb + thumbLen;
            break;
        case sbpPageStart:
            s = ts, e = thumbLen ? thumb : ts;
            break;
        case sbpPageEnd:
            s = thumbLen ? thumb + thumbLen : ts + tl, e = ts + tl;
            break;
        default:
            return {};
    }
    if (e <= s) return {};
    if (FKind == sbVertical) return Rect(FBounds.Left, s, FBounds.Right, e);
    return Rect(s, FBounds.Top, e, FBounds.Bottom);
}

TScrollBarPart TScrollBarPiece::HitTest(TPoint P) const {
    if (!FBounds.Contains(P)) return sbpNone;
    for (TScrollBarPart part : {sbpArrowStart, sbpArrowEnd, sbpThumb, sbpPageStart, sbpPageEnd})
        if (PartRect(part).Contains(P)) return part;
    return sbpNone;
}

void TScrollBarPiece::Paint(TCanvas* C) const {
    if (FBounds.IsEmpty() || !C) return;
    bool active = Active();
    bool vertical = FKind == sbVertical;
    // The track first, then the pressed page part dark, then thumb and arrows over it.
    TRect track =
        vertical ? Rect(FBounds.Left, TrackStart(), FBounds.Right, TrackStart() + TrackLength())
                 : Rect(TrackStart(), FBounds.Top, TrackStart() + TrackLength(), FBounds.Bottom);
    Fill(C, track, clScrollBar);
    if ((FPressed == sbpPageStart || FPressed == sbpPageEnd) && FPressedInside)
        Fill(C, PartRect(FPressed), cl3DDkShadow);
    TRect thumb = PartRect(sbpThumb);
    if (!thumb.IsEmpty()) {
        Fill(C, thumb, clBtnFace);
        RaisedEdge(C, thumb);
    }
    for (TScrollBarPart part : {sbpArrowStart, sbpArrowEnd}) {
        TRect r = PartRect(part);
        if (r.IsEmpty()) continue;
        Fill(C, r, clBtnFace);
        bool down = FPressed == part && FPressedInside;
        DrawButtonEdge(C, r, down);
        TArrowDirection dir = vertical ? (part == sbpArrowStart ? arUp : arDown)
                                       : (part == sbpArrowStart ? arLeft : arRight);
        TRect g = down ? OffsetRect(r, 1, 1) : r;
        if (active) {
            DrawArrowGlyph(C, g, dir, clBtnText);
        } else {
            DrawArrowGlyph(C, OffsetRect(g, 1, 1), dir, clBtnHighlight);
            DrawArrowGlyph(C, g, dir, clBtnShadow);
        }
    }
}

bool TScrollBarPiece::MouseDown(TMouseButton Button, TShiftState, int X, int Y) {
    TPoint p{X, Y};
    if (!FBounds.Contains(p)) return false;
    if (Button != mbLeft || !Active() || Tracking()) return true;
    TScrollBarPart part = HitTest(p);
    if (part == sbpNone) return true;
    int thumb = ThumbOffset();
    FPressed = part;
    FPressedInside = true;
    FMousePos = p;
    if (part == sbpThumb) {
        FDragThumb = thumb;
        FDragOffset = Along(p) - (TrackStart() + FDragThumb);
        Changed();
        return true;
    }
    Changed();
    Step();
    if (Tracking()) StartRepeat(ScrollRepeatDelay);
    return true;
}

bool TScrollBarPiece::MouseMove(TShiftState, int X, int Y) {
    if (!Tracking()) return false;
    TPoint p{X, Y};
    FMousePos = p;
    if (FPressed == sbpThumb) {
        int span = TrackLength() - ThumbLength();
        int t = std::clamp(Along(p) - TrackStart() - FDragOffset, 0, std::max(0, span));
        if (t != FDragThumb) {
            int oldPos = PositionFromThumb(FDragThumb);
            FDragThumb = t;
            int pos = PositionFromThumb(t);
            Changed();
            if (pos != oldPos && OnScroll) OnScroll(scTrack, pos);
        }
        return true;
    }
    bool inside = HitTest(p) == FPressed;
    if (inside != FPressedInside) {
        FPressedInside = inside;
        Changed();
    }
    return true;
}

bool TScrollBarPiece::MouseUp(TMouseButton Button, TShiftState, int X, int Y) {
    if (!Tracking()) return false;
    if (Button != mbLeft) return true;
    FMousePos = TPoint{X, Y};
    TScrollBarPart part = FPressed;
    int thumbPos = PositionFromThumb(FDragThumb);
    StopRepeat();
    FPressed = sbpNone;
    FPressedInside = false;
    Changed();
    if (part == sbpThumb && OnScroll) OnScroll(scPosition, thumbPos);
    if (OnScroll) OnScroll(scEndScroll, FPosition);
    return true;
}

void TScrollBarPiece::CancelTracking() {
    if (!Tracking()) return;
    StopRepeat();
    FPressed = sbpNone;
    FPressedInside = false;
    Changed();
}

void TScrollBarPiece::Step() {
    if (!OnScroll) return;
    switch (FPressed) {
        case sbpArrowStart:
            OnScroll(scLineUp, FPosition);
            break;
        case sbpArrowEnd:
            OnScroll(scLineDown, FPosition);
            break;
        case sbpPageStart:
            OnScroll(scPageUp, FPosition);
            break;
        case sbpPageEnd:
            OnScroll(scPageDown, FPosition);
            break;
        default:
            break;
    }
}

void TScrollBarPiece::StartRepeat(int Delay) {
    if (!FTimerWnd) FTimerWnd = AllocateHWnd([this](TMessage& m) { TimerTick(m); });
    // Without a timer the press still made its first step; it just does not repeat.
    FTimerOn = SetTimer(FTimerWnd, kRepeatTimer, UINT(Delay)) != 0;
}

void TScrollBarPiece::StopRepeat() {
    if (FTimerOn && FTimerWnd) KillTimer(FTimerWnd, kRepeatTimer);
    FTimerOn = false;
}

void TScrollBarPiece::TimerTick(TMessage& Message) {
    if (Message.Msg != WM_TIMER) {
        Message.Result = DefWindowProc(FTimerWnd, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    if (!Tracking() || FPressed == sbpThumb) {
        StopRepeat();
        return;
    }
    // The page parts shrink as the thumb moves: paging stops when the thumb reaches the mouse.
    bool inside = HitTest(FMousePos) == FPressed;
    if (inside != FPressedInside) {
        FPressedInside = inside;
        Changed();
    }
    if (FPressedInside) Step();
    if (Tracking()) StartRepeat(ScrollRepeatInterval);
}

void TScrollBarPiece::Changed() {
    if (OnInvalidate) OnInvalidate();
}

}  // namespace kovo
