// TNumIO2's model: construction, the property setters, and the conversions between the text
// and the value in each input format.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "foundation/kovocore.h"
#include "host/SysUtils.h"
#include "numeric_entry/NumIO.h"

namespace kovo {

namespace {

constexpr int kMinHeight = 18;
constexpr int kMaxDigits = 15;  // FixPointDecPlaces and SignificantDigits

// V rounded to the nearest integer (halves to even) and held to the 64-bit range; NaN
// counts as 0, so that every double has a text.
int64_t RoundedInt64(double V) {
    if (std::isnan(V)) return 0;
    constexpr double kLimit = 9223372036854775807.0;  // 2^63
    if (V >= kLimit) return INT64_MAX;
    if (V <= -kLimit) return INT64_MIN;
    return Round(V);
}

// A text that passed IsIntText as a 32-bit integer; 2147483647 when it does not fit.
double IntTextValue(const std::string& S) {
    size_t i = 0;
    bool negative = false;
    if (S[0] == '+' || S[0] == '-') {
        negative = S[0] == '-';
        i = 1;
    }
    int64_t magnitude = 0;
    for (; i < S.size(); ++i) {
        magnitude = magnitude * 10 + (S[i] - '0');
        if (magnitude > int64_t(INT32_MAX) + 1) return INT32_MAX;
    }
    const int64_t v = negative ? -magnitude : magnitude;
    if (v > INT32_MAX || v < INT32_MIN) return INT32_MAX;
    return double(v);
}

}  // namespace

TNumIO2::TNumIO2(TComponent* AOwner)
    : TCustomControl(AOwner),
      FCaretTimerH(
          this, RaiseKovoError<EKovoNumIO2Error>, [this] { DoTimer(); }, 500) {
    // Everything inside the bounds is painted here, so the host need not erase first; a
    // number field is reached by Tab.
    FControlStyle.Include(csOpaque);
    SetTabStop(true);
    SetWidth(160);
    SetHeight(28);
    FButHeight = Height();
    FCaretTimerH.SetEnabled(true);
    UpdateTimer();
}

TNumIO2::~TNumIO2() = default;

void TNumIO2::CreateWnd() {
    TCustomControl::CreateWnd();
    FSuppressPaint = false;
}

// ---------------------------------------------------------------------------------------
// Layout

void TNumIO2::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    AHeight = std::max(AHeight, kMinHeight);
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    FButHeight = std::min(FButHeight, Height());
    Paint();
}

void TNumIO2::SetLeftSpace(int Value) {
    if (Value < 0) return;
    if (Store(FLeftSpace, std::min(Value, Width()))) Paint();
}

void TNumIO2::SetTextBoxWidth(int Value) {
    if (Store(FTextBoxWidth, Value)) Paint();
}

void TNumIO2::SetAlignment(TAlignment Value) {
    if (Store(FAlignment, Value)) Paint();
}

void TNumIO2::SetLeftTextAlignment(TAlignment Value) {
    if (Store(FLTAlignment, Value)) Paint();
}

void TNumIO2::SetRightTextAlignment(TAlignment Value) {
    if (Store(FRTAlignment, Value)) Paint();
}

void TNumIO2::SetLeftText(const std::string& Value) {
    if (Store(FLeftText, Value)) Paint();
}

void TNumIO2::SetRightText(const std::string& Value) {
    if (Store(FRightText, Value)) Paint();
}

void TNumIO2::SetFrameStyle(TFrameStyle Value) {
    if (Store(FFrameStyle, Value)) Paint();
}

void TNumIO2::SetAutoSize(bool Value) {
    if (Store(FAutoSize, Value)) Paint();
}

// ---------------------------------------------------------------------------------------
// Spin buttons and gauge

void TNumIO2::SetButVisible(bool Value) {
    if (Store(FButVisible, Value)) Paint();
}

void TNumIO2::SetBut3D(bool Value) {
    if (Store(FBut3D, Value)) Paint();
}

void TNumIO2::SetButColor(TColor Value) {
    if (Store(FButColor, Value)) Paint();
}

void TNumIO2::SetButWidth(int Value) {
    if (Store(FButWidth, std::clamp(Value, 8, 50))) Paint();
}

void TNumIO2::SetButSpace(int Value) {
    if (Store(FButSpace, std::clamp(Value, 0, 50))) Paint();
}

void TNumIO2::SetButHeight(int Value) {
    if (Store(FButHeight, std::min(std::max(Value, kMinHeight), Height()))) Paint();
}

void TNumIO2::SetButIncrem(double Value) {
    if (Store(FButIncrem, Value)) Paint();
}

void TNumIO2::SetGaugeVisible(bool Value) {
    if (Store(FGaugeVisib, Value)) Paint();
}

void TNumIO2::SetGaugeHeight(int Value) {
    Value = std::max(std::min(Value, Height() - FGaugeTopMarg - kMinHeight), 3);
    if (Store(FGaugeHeight, Value)) Paint();
}

void TNumIO2::SetGaugeWidth(int Value) {
    Value = std::min(std::max(Value, 10), Width() - FGaugeLeftMarg);
    if (Store(FGaugeWidth, Value)) Paint();
}

void TNumIO2::SetGaugeLeftMargin(int Value) {
    Value = std::max(std::min(Value, Width() - FGaugeWidth), 0);
    if (Store(FGaugeLeftMarg, Value)) Paint();
}

void TNumIO2::SetGaugeTopMargin(int Value) {
    Value = std::max(std::min(Value, Height() - FGaugeHeight - kMinHeight), 0);
    if (Store(FGaugeTopMarg, Value)) Paint();
}

void TNumIO2::SetGaugeColor(TColor Value) {
    if (Store(FGaugeColor, Value)) Paint();
}

void TNumIO2::SetGaugeColorBg(TColor Value) {
    if (Store(FGaugeColorBg, Value)) Paint();
}

void TNumIO2::SetGaugeColorFrame(TColor Value) {
    if (Store(FGaugeColorFrm, Value)) Paint();
}

void TNumIO2::SetGaugeFrameStyle(TFrameStyle Value) {
    if (Store(FGaugeFrameSt, Value)) Paint();
}

// ---------------------------------------------------------------------------------------
// Colours

void TNumIO2::SetColorBoxBG(TColor Value) {
    if (Store(FColorBoxBG, Value)) Paint();
}

void TNumIO2::SetColorBoxText(TColor Value) {
    if (Store(FColorBoxText, Value)) Paint();
}

void TNumIO2::SetColorOutBG(TColor Value) {
    if (Store(FColorOutBG, Value)) Paint();
}

void TNumIO2::SetColorOutText(TColor Value) {
    if (Store(FColorOutText, Value)) Paint();
}

void TNumIO2::SetColorWarnBG(TColor Value) {
    FColorWarnBG = Value;
    Paint();
}

void TNumIO2::SetColorWarnText(TColor Value) {
    FColorWarnTxt = Value;
    Paint();
}

void TNumIO2::SetColorScheme(TColorScheme Value) {
    if (FLines.SetColorScheme(Value)) Paint();
}

// ---------------------------------------------------------------------------------------
// The number

std::string TNumIO2::CheckSeparators() const {
    return SeparatorSetForCheck(FDecPSep);
}

bool TNumIO2::CheckValidity(const std::string& Instring) const {
    switch (FInputFormat) {
        case itExp:
            return IsRealText(Instring, true, FDecPSep);
        case itFloat:
            return IsFixedText(Instring, FDecPSep);
        case itFixPoint: {
            if (!IsFixedText(Instring, FDecPSep)) return false;
            // The separator the check accepted, whichever of "." and "," it is.
            const size_t sep = Instring.find_first_of(".,");
            const int pos = sep == std::string::npos ? 0 : int(sep) + 1;
            return pos == int(Instring.size()) - FDecP;
        }
        case itInt:
            return IsIntText(Instring);
        case itHex:
            return IsHexText(Instring);
        case itOct:
            return IsOctText(Instring);
        case itBin:
            return IsBinText(Instring);
        case itDynamic: {
            if (Instring.empty()) return false;
            const std::string rest = Instring.substr(1);
            switch (Instring[0]) {
                case '$':
                    return IsHexText(rest);
                case '%':
                    return IsBinText(rest);
                case '&':
                    return IsOctText(rest);
                default:
                    return IsFixedText(Instring, FDecPSep);
            }
        }
    }
    return false;
}

double TNumIO2::Value() const {
    const std::string& s = FInBuffer;
    int pos = 1;
    switch (FInputFormat) {
        case itExp:
        case itFloat:
        case itFixPoint:
            return ScanRealText(s, true, ".,", pos);
        case itInt:
            if (s.empty() || !IsIntText(s)) return 0;
            return IntTextValue(s);
        case itHex:
            return ScanHexText(s, pos);
        case itOct:
            return ScanOctText(s, pos);
        case itBin:
            return ScanBinText(s, pos);
        case itDynamic: {
            if (s.empty()) return 0;
            const std::string rest = s.substr(1);
            switch (s[0]) {
                case '$':
                    return ScanHexText(rest, pos);
                case '%':
                    return ScanBinText(rest, pos);
                case '&':
                    return ScanOctText(rest, pos);
                default:
                    return ScanRealText(s, true, ".,", pos);
            }
        }
    }
    return 0;
}

std::string TNumIO2::ValueText(double V) const {
    // As in the integer formats, NaN counts as 0 and an infinity as the largest value the
    // format can take, so that the field never holds a text its own check refuses.
    if (std::isnan(V)) V = 0;
    V = std::clamp(V, -uc_MaxDouble, uc_MaxDouble);
    std::string text;
    switch (FInputFormat) {
        case itExp:
            text = FormatRealText(FSigDig + 6, -2, V);
            break;
        case itFloat:
        case itFixPoint:
            text = FormatRealText(1, FDecP, V);
            break;
        case itInt:
        case itDynamic:
            return IntToStr(RoundedInt64(V));
        case itHex:
            return FormatHexText(int(uint32_t(uint64_t(RoundedInt64(V)))), 8);
        case itOct:
            return FormatOctText(int(uint32_t(uint64_t(RoundedInt64(V)))), 11);
        case itBin:
            return FormatBinText(int(uint32_t(uint64_t(RoundedInt64(V)))), 32);
    }
    // The writers use "."; under a comma setting the field shows what its checks accept.
    const std::string seps = CheckSeparators();
    if (seps.find('.') == std::string::npos) text = ReplaceCharInString(text, '.', seps[0]);
    return text;
}

void TNumIO2::SetValue(double Value) {
    FInBuffer = ValueText(Value);
    ClampPositions();
    Paint();
}

int TNumIO2::IntegerValue() const {
    const double v = Value();
    if (std::isnan(v) || v > 2147483647.0 || v < -2147483648.0)
        RaiseKovoError<EKovoNumIO2Error>(this, "integer overflow");
    return int(Round(v));
}

bool TNumIO2::OutOfRange() const {
    const double v = Value();
    return v < FMinimum || v > FMaximum;
}

void TNumIO2::SetText(const std::string& Value) {
    if (!Value.empty() && !CheckValidity(Value)) return;
    FInBuffer = Value;
    FCaretPos = FSelBegin = FSelEnd = 0;
    Paint();
}

void TNumIO2::SetInputFormat(TInFormat Value) {
    if (Value == FInputFormat) return;
    const double v = this->Value();
    FInputFormat = Value;
    SetValue(v);
}

void TNumIO2::SetFixPointDecPlaces(int Value) {
    if (Value == FDecP || Value <= 0) return;
    FDecP = std::min(Value, kMaxDigits);
    SetValue(this->Value());
}

void TNumIO2::SetSignificantDigits(int Value) {
    if (Value == FSigDig || Value <= 0) return;
    FSigDig = std::min(Value, kMaxDigits);
    SetValue(this->Value());
}

void TNumIO2::SetDecPlaceSep(TDecPSep Value) {
    if (Value == FDecPSep) return;
    if (Value != dpBoth) {
        // The character the checks of each setting accept (dpBoth texts may hold either).
        auto sepOf = [](TDecPSep S) { return SeparatorSetForCheck(S == dpBoth ? dpPoint : S)[0]; };
        const char newSep = sepOf(Value);
        if (FDecPSep == dpBoth) {
            FInBuffer = ReplaceCharInString(FInBuffer, '.', newSep);
            FInBuffer = ReplaceCharInString(FInBuffer, ',', newSep);
        } else if (sepOf(FDecPSep) != newSep) {
            FInBuffer = ReplaceCharInString(FInBuffer, sepOf(FDecPSep), newSep);
        }
    }
    FDecPSep = Value;
    Paint();
}

void TNumIO2::SetRangeLow(double Value) {
    FMinimum = Value;
    if (FMaximum < Value) FMaximum = Value;
    Paint();
}

void TNumIO2::SetRangeHigh(double Value) {
    FMaximum = Value;
    if (FMinimum > Value) FMinimum = Value;
    Paint();
}

// ---------------------------------------------------------------------------------------
// Editing state

void TNumIO2::ClampPositions() {
    const int n = Utf8Length(FInBuffer);
    FCaretPos = std::clamp(FCaretPos, 0, n);
    FSelEnd = std::clamp(FSelEnd, 0, n);
    FSelBegin = std::clamp(FSelBegin, 0, FSelEnd);
}

void TNumIO2::SetReadOnly(bool Value) {
    if (!Store(FReadOnly, Value)) return;
    if (Value) {
        FCaretTimerH.KillTimer();
        FCaretVisib = false;
    } else {
        UpdateTimer();
    }
    Paint();
}

void TNumIO2::SetHideSelection(bool Value) {
    if (Store(FHideSel, Value)) Paint();
}

void TNumIO2::SetSelBegin(int Value) {
    Value = std::clamp(Value, 0, Utf8Length(FInBuffer));
    FSelBegin = Value;
    FCaretPos = Value;
    if (FSelEnd < Value) FSelEnd = Value;
    Paint();
}

void TNumIO2::SetSelEnd(int Value) {
    Value = std::clamp(Value, 0, Utf8Length(FInBuffer));
    FSelEnd = Value;
    FCaretPos = Value;
    if (FSelBegin > Value) FSelBegin = Value;
    Paint();
}

void TNumIO2::SetEnabled(bool Value) {
    FEnabled = Value;
    TCustomControl::SetEnabled(Value);
    Refresh();
}

void TNumIO2::Changed() {
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------------------
// Copy convention

void TNumIO2::AssignTo(TPersistent* Dest) {
    if (!AssignToSameClass(this, Dest)) TCustomControl::AssignTo(Dest);
}

void TNumIO2::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TNumIO2*>(Source);
    if (src == nullptr) {
        TCustomControl::Assign(Source);
        return;
    }
    if (src == this) return;
    FLeftSpace = src->FLeftSpace;
    FTextBoxWidth = src->FTextBoxWidth;
    FDecP = src->FDecP;
    FSigDig = src->FSigDig;
    FLeftText = src->FLeftText;
    FRightText = src->FRightText;
    FFrameStyle = src->FFrameStyle;
    FAlignment = src->FAlignment;
    FRTAlignment = src->FRTAlignment;
    FLTAlignment = src->FLTAlignment;
    FColorBoxBG = src->FColorBoxBG;
    FColorBoxText = src->FColorBoxText;
    FColorOutBG = src->FColorOutBG;
    FColorOutText = src->FColorOutText;
    FLines = src->FLines;
    FInputFormat = src->FInputFormat;
    FInBuffer = src->FInBuffer;
    FCaretPos = src->FCaretPos;
    FCaretVisib = src->FCaretVisib;
    FMouseAreaCode = src->FMouseAreaCode;
    FColorWarnBG = src->FColorWarnBG;
    FColorWarnTxt = src->FColorWarnTxt;
    FSelBegin = src->FSelBegin;
    FSelEnd = src->FSelEnd;
    FDecPSep = src->FDecPSep;
    FKeyShifted = src->FKeyShifted;
    FKeyCntrl = src->FKeyCntrl;
    FHideSel = src->FHideSel;
    FMaximum = src->FMaximum;
    FMinimum = src->FMinimum;
    FOnlineCheck = src->FOnlineCheck;
    FBeep = src->FBeep;
    FReadOnly = src->FReadOnly;
    FAutoSize = src->FAutoSize;
    Paint();
}

}  // namespace kovo
