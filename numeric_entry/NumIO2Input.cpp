// TNumIO2's input: keys with immediate checking and undo, the caret timer, the clipboard,
// selection with the mouse, the spin buttons and the gauge.
#include <algorithm>
#include <cmath>
#include <string>

#include "host/Application.h"
#include "host/Clipboard.h"
#include "host/SysUtils.h"
#include "numeric_entry/NumIO.h"

namespace kovo {

namespace {

// The host's simple beep.
constexpr UINT kSimpleBeep = 0xFFFF;

bool IsShiftKey(WORD Key) {
    return Key == VK_SHIFT || Key == VK_LSHIFT || Key == VK_RSHIFT;
}

bool IsCtrlKey(WORD Key) {
    return Key == VK_CONTROL || Key == VK_LCONTROL || Key == VK_RCONTROL;
}

// The characters Count from the character position From (0-based) on.
std::string Chars(const std::string& S, int From, int Count) {
    return Utf8Copy(S, From + 1, Count);
}

// S without its characters From + 1 .. To (1-based), i.e. the positions From..To.
std::string WithoutChars(const std::string& S, int From, int To) {
    return Chars(S, 0, From) + Chars(S, To, Utf8Length(S) - To);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Caret timer and focus

void TNumIO2::UpdateTimer() {
    FCaretTimerH.KillTimer();
    FCaretVisib = true;
    FCaretTimerH.UpdateTimer();
    Paint();
}

void TNumIO2::DoTimer() {
    if (Focused()) {
        FCaretVisib = !FCaretVisib;
    } else {
        FCaretTimerH.KillTimer();
        FCaretVisib = false;
    }
    Paint();
}

void TNumIO2::SetFocus() {
    TCustomControl::SetFocus();
    if (!FReadOnly) UpdateTimer();
}

void TNumIO2::DoEnter() {
    TCustomControl::DoEnter();
    if (!FReadOnly) UpdateTimer();
}

void TNumIO2::DoExit() {
    FKeyShifted = false;
    FKeyCntrl = false;
    TCustomControl::DoExit();
}

LRESULT TNumIO2::GetDlgCode() const {
    // Arrows and characters edit the number; Tab is left to the form's navigation.
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

// ---------------------------------------------------------------------------------------
// Keys

void TNumIO2::KeyUp(WORD& Key, TShiftState Shift) {
    if (IsShiftKey(Key)) FKeyShifted = false;
    if (IsCtrlKey(Key)) FKeyCntrl = false;
    TCustomControl::KeyUp(Key, Shift);
}

char TNumIO2::KeyChar(WORD Key, bool Shifted) const {
    if (Key >= '0' && Key <= '9') {
        if (Shifted && Key == '4') return '$';
        if (Shifted && Key == '5') return '%';
        if (Shifted && Key == '6') return '&';
        return char(Key);
    }
    if (Key >= 'A' && Key <= 'F') return char(Key);
    if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD9) return char('0' + (Key - VK_NUMPAD0));
    switch (Key) {
        case VK_ADD:
        case 187:  // the "=+" key
            return '+';
        case VK_SUBTRACT:
        case 189:  // the "-" key
            return '-';
        case VK_DECIMAL:
        case 188:  // the "," key
            return ',';
        case 190:  // the "." key
            return '.';
        default:
            return 0;
    }
}

void TNumIO2::DeleteSelection() {
    FInBuffer = WithoutChars(FInBuffer, FSelBegin, FSelEnd);
    if (FInBuffer.empty()) FInBuffer = ValueText(0);
    FCaretPos = FSelEnd = FSelBegin;
    ClampPositions();
}

void TNumIO2::KeyDown(WORD& Key, TShiftState Shift) {
    const WORD k = Key;
    if (IsShiftKey(k) || IsCtrlKey(k)) {
        if (IsShiftKey(k)) FKeyShifted = true;
        if (IsCtrlKey(k)) FKeyCntrl = true;
        TCustomControl::KeyDown(Key, Shift);
        return;
    }
    // The flags follow the modifier keys this control saw; the key's own shift state covers
    // modifiers pressed while another control had the focus.
    const bool shifted = FKeyShifted || Shift.contains(ssShift);
    const bool ctrl = FKeyCntrl || Shift.contains(ssCtrl);
    const bool hasSel = FSelBegin < FSelEnd;
    if (FReadOnly) {
        if (ctrl && k == 'C' && hasSel)
            Clipboard()->SetAsText(Chars(FInBuffer, FSelBegin, FSelEnd - FSelBegin));
        TCustomControl::KeyDown(Key, Shift);
        return;
    }

    const std::string savedText = FInBuffer;
    const int savedCaret = FCaretPos;
    bool changed = false;
    auto refuse = [this] {
        if (FBeep) MessageBeep(kSimpleBeep);
    };
    const int len = Utf8Length(FInBuffer);

    if (ctrl) {
        switch (k) {
            case 'C':
                if (hasSel)
                    Clipboard()->SetAsText(Chars(FInBuffer, FSelBegin, FSelEnd - FSelBegin));
                break;
            case 'V':
                if (Clipboard()->HasFormat(CF_TEXT)) {
                    const std::string paste = Clipboard()->AsText();
                    FInBuffer = Chars(FInBuffer, 0, FCaretPos) + paste +
                                Chars(FInBuffer, FCaretPos, len - FCaretPos);
                    FCaretPos += Utf8Length(paste);
                    changed = true;
                }
                break;
            case 'X':
                if (hasSel) {
                    Clipboard()->SetAsText(Chars(FInBuffer, FSelBegin, FSelEnd - FSelBegin));
                    DeleteSelection();
                    changed = true;
                }
                break;
            default:
                refuse();
                break;
        }
    } else {
        switch (k) {
            case VK_BACK:
                if (hasSel) {
                    DeleteSelection();
                    changed = true;
                } else if (FCaretPos > 0) {
                    FInBuffer = WithoutChars(FInBuffer, FCaretPos - 1, FCaretPos);
                    --FCaretPos;
                    changed = true;
                }
                break;
            case VK_DELETE:
                if (hasSel) {
                    DeleteSelection();
                    changed = true;
                } else if (FCaretPos < len) {
                    FInBuffer = WithoutChars(FInBuffer, FCaretPos, FCaretPos + 1);
                    changed = true;
                }
                break;
            case VK_TAB:
                // Reaches the field only when a form passes it on: the next control.
                if (auto* root = dynamic_cast<TWinControl*>(RootControl()))
                    root->SelectNext(this, !shifted, true);
                break;
            case VK_END:
                FCaretPos = len;
                break;
            case VK_HOME:
                FCaretPos = 0;
                break;
            case VK_LEFT:
            case VK_UP:
                if (FCaretPos > 0) --FCaretPos;
                break;
            case VK_RIGHT:
            case VK_DOWN:
                if (FCaretPos < len) ++FCaretPos;
                break;
            default:
                if (const char ch = KeyChar(k, shifted)) {
                    if (hasSel) {
                        FInBuffer = WithoutChars(FInBuffer, FSelBegin, FSelEnd);
                        FCaretPos = FSelEnd = FSelBegin;
                    }
                    FInBuffer = Chars(FInBuffer, 0, FCaretPos) + ch +
                                Chars(FInBuffer, FCaretPos, Utf8Length(FInBuffer) - FCaretPos);
                    ++FCaretPos;
                    changed = true;
                } else {
                    refuse();
                }
                break;
        }
    }

    if (changed && !FInBuffer.empty() && FInBuffer != "-" && FInBuffer != "+" &&
        !CheckValidity(FInBuffer)) {
        FInBuffer = savedText;
        FCaretPos = savedCaret;
        changed = false;
        refuse();
    }
    ClampPositions();

    // Among the decimals of a fixed-point text the next digit overwrites the one after the
    // caret.
    const int n = Utf8Length(FInBuffer);
    if (FInputFormat == itFixPoint && FCaretPos > n - FDecP - 1) {
        FSelBegin = FCaretPos;
        FSelEnd = std::min(FCaretPos + 1, n);
    } else {
        FSelBegin = FSelEnd;
    }

    FCaretVisib = true;
    if (changed) Changed();
    Paint();
    TCustomControl::KeyDown(Key, Shift);
}

// ---------------------------------------------------------------------------------------
// Mouse

int TNumIO2::NearestPivot(double V) const {
    if (ButtonPivots.empty()) return -1;
    int best = 0;
    double bestDiff = uc_MaxReal;
    for (size_t i = 0; i < ButtonPivots.size(); ++i) {
        const double d = std::fabs(ButtonPivots[i] - V);
        if (d < bestDiff) {
            bestDiff = d;
            best = int(i);
        }
    }
    return best;
}

double TNumIO2::GaugeValueAt(int X) const {
    const double t = double(X - FGaugeLeftMarg) / FGaugeWidth;
    double v = FMinimum + t * (FMaximum - FMinimum);
    // A range wider than the largest double: the same point, weighted from both ends.
    if (!std::isfinite(v)) v = FMinimum * (1 - t) + FMaximum * t;
    const int i = NearestPivot(v);
    if (i >= 0) v = ButtonPivots[size_t(i)];
    return std::clamp(v, FMinimum, FMaximum);
}

void TNumIO2::StepSpin(bool Up) {
    double v = Value();
    if (ButtonPivots.empty()) {
        v = std::clamp(Up ? v + FButIncrem : v - FButIncrem, FMinimum, FMaximum);
    } else {
        const double eps = std::pow(10.0, -FDecP);
        int i = NearestPivot(v);
        const int last = int(ButtonPivots.size()) - 1;
        if (!Up && ButtonPivots[size_t(i)] + eps >= v && i > 0) --i;
        if (Up && ButtonPivots[size_t(i)] - eps <= v && i < last) ++i;
        v = ButtonPivots[size_t(i)];
    }
    SetValue(v);
    Changed();
}

void TNumIO2::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    // Only the left button edits; the others keep their host meaning (a popup menu).
    if (Button == mbLeft) {
        const int H = Height(), gh = GaugeStrip();
        if (!FReadOnly) FCaretVisib = true;
        if (Y > 0 && Y < H - gh) {
            FCaretPos = XCoordsToCharPos(X);
            FSelBegin = FCaretPos;
            SetSelEnd(FCaretPos);
            Paint();
        }
        // A read-only field shows its value but lets neither gauge nor buttons change it.
        if (!FReadOnly && FGaugeVisib && FGaugeWidth > 0 && Y > H - gh && X >= FGaugeLeftMarg &&
            X <= FGaugeLeftMarg + FGaugeWidth) {
            SetValue(GaugeValueAt(X));
            FValueChanged = true;
        }
        const int bx = FLeftSpace + FTextBoxWidth + FButSpace;
        if (!FReadOnly && FButVisible && X > bx && X < bx + FButWidth && Y > 0 && Y < FButHeight)
            StepSpin(Y <= FButHeight / 2);
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TNumIO2::MouseMove(TShiftState Shift, int X, int Y) {
    FMouseAreaCode = 0;
    if (X > FLeftSpace) FMouseAreaCode = 1;
    if (X > FLeftSpace + FTextBoxWidth) FMouseAreaCode = 2;
    if (Shift.contains(ssLeft) || ControlState().contains(csLButtonDown)) {
        const int H = Height(), gh = GaugeStrip();
        if (Y > 0 && Y < H - gh) {
            const int p = XCoordsToCharPos(X);
            if (p > FSelBegin)
                SetSelEnd(p);
            else
                SetSelBegin(p);
        }
        if (!FReadOnly && FGaugeVisib && FGaugeWidth > 0 && Y > H - gh && X >= FGaugeLeftMarg - 1 &&
            X <= FGaugeLeftMarg + FGaugeWidth + 1) {
            const double v = GaugeValueAt(X);
            SetValue(v);
            FValueChanged = true;
            if (OnGaugeChange) OnGaugeChange(this, Shift, v);
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TNumIO2::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FValueChanged) {
        FValueChanged = false;
        Changed();
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TNumIO2::Click() {
    if (CanFocus()) TCustomControl::SetFocus();
    if (!FReadOnly) UpdateTimer();
    TCustomControl::Click();
}

}  // namespace kovo
