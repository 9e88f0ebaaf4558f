#include "displays/NumLab.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "foundation/kovocore.h"
#include "host/Bitmap.h"
#include "host/Canvas.h"
#include "host/DateUtils.h"
#include "host/SysUtils.h"
#include "numeric_entry/NumIO.h"

namespace kovo {

namespace {

constexpr const char* DegreeSign = "\xC2\xB0";
constexpr const char* MicroSign = "\xC2\xB5";
// Measures the line height: a text reaching from the lowest descender to the highest accent.
constexpr const char* ProbeText = "(8g]}\xC3\x9C\xC3\x84\xC2\xA7";

// The dates FormatDateTime can show: 1 January 0001 up to the last millisecond of 9999.
constexpr double FirstDate = -693593.0;
constexpr double EndOfDates = 2958466.0 - 0.5 / MSecsPerDay;

// The value rounded to the nearest integer (halves to even); false when it has none in 64
// bits.
bool RoundedInt64(double V, int64_t& R) {
    if (!std::isfinite(V) || V >= 9223372036854775808.0 || V < -9223372036854775808.0) return false;
    R = Round(V);
    return true;
}

int DigitsOf(uint32_t Bits, int BitsPerDigit) {
    int n = 1;
    while ((Bits >>= BitsPerDigit) != 0) ++n;
    return n;
}

// Digits of a 32-bit pattern in base 2, 8 or 16: at least MinDigits, never fewer than the
// value needs. Values that 32 bits cannot hold (signed or unsigned) have no such text.
bool BaseText(double V, int MinDigits, int BitsPerDigit, std::string& Text) {
    int64_t r;
    if (!RoundedInt64(V, r) || r < INT32_MIN || r > int64_t(UINT32_MAX)) return false;
    const uint32_t bits = uint32_t(r);
    const int n = std::max(MinDigits, DigitsOf(bits, BitsPerDigit));
    const int value = int(bits);
    Text = BitsPerDigit == 4   ? FormatHexText(value, n)
           : BitsPerDigit == 3 ? FormatOctText(value, n)
                               : FormatBinText(value, n);
    return true;
}

std::string Padded(uint64_t V, int Digits) {
    std::string s = IntToStr(V);
    if (int(s.size()) < Digits) s.insert(0, size_t(Digits) - s.size(), '0');
    return s;
}

// Degrees and minutes (Parts 2) or degrees, minutes and seconds (Parts 3); the last part has
// Decimals decimals. The value is rounded once in units of the last digit, so carries reach
// the higher parts.
bool AngleText(double V, int Decimals, int Parts, std::string& Text) {
    if (!std::isfinite(V)) return false;
    const uint64_t perUnit = Parts == 2 ? 60 : 3600;
    uint64_t scale = 1;
    for (int i = 0; i < Decimals; ++i) scale *= 10;
    const long double scaled = std::fabs(static_cast<long double>(V)) * perUnit * scale;
    if (!(scaled < 9.2e18L)) return false;
    const uint64_t total = uint64_t(std::nearbyint(scaled));
    const uint64_t perDegree = perUnit * scale;
    uint64_t rest = total % perDegree;
    std::string s = (V < 0 && total != 0) ? "-" : "";
    s += IntToStr(total / perDegree) + DegreeSign;
    if (Parts == 3) {
        s += Padded(rest / (60 * scale), 2) + "'";
        rest %= 60 * scale;
    }
    s += Padded(rest / scale, 2);
    if (Decimals > 0) s += "." + Padded(rest % scale, Decimals);
    s += Parts == 2 ? "'" : "\"";
    Text = s;
    return true;
}

int IntegerDigits(const std::string& Fixed) {
    int n = 0;
    for (char c : Fixed) {
        if (c == '.') break;
        if (c >= '0' && c <= '9') ++n;
    }
    return n;
}

// A mantissa of 1 to below 1000 and the prefix of its power of 1000.
bool EngineeringText(double V, int Decimals, std::string& Text) {
    if (!std::isfinite(V)) return false;
    if (V == 0) {
        Text = FormatRealText(1, Decimals, 0.0);
        return true;
    }
    int e3 = int(std::floor(std::log10(std::fabs(V)) / 3.0)) * 3;
    auto mantissa = [&](int e) {
        // Below 1E-290 the power itself would leave the double range; scale in two steps.
        const double m = e < -290 ? (V * 1e30) / std::pow(10.0, e + 30) : V / std::pow(10.0, e);
        return FormatRealText(1, Decimals, m);
    };
    std::string m = mantissa(e3);
    if (IntegerDigits(m) > 3) m = mantissa(e3 += 3);  // 999.999 rounded up to 1000
    static const char* const prefixes[] = {"y", "z", "a", "f", "p", "n", MicroSign, "m", "",
                                           "k", "M", "G", "T", "P", "E", "Z",       "Y"};
    if (e3 >= -24 && e3 <= 24)
        Text = m + prefixes[(e3 + 24) / 3];
    else
        Text = m + "E" + IntToStr(e3);
    return true;
}

}  // namespace

TNumLab::TNumLab(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetWidth(160);
    SetHeight(28);
}

TNumLab::~TNumLab() = default;

// ---- properties ----

void TNumLab::SetAlignment(TAlignment Value) {
    if (Store(FAlignment, Value)) Redraw();
}

void TNumLab::SetLeftTextAlignment(TAlignment Value) {
    if (Store(FLTAlignment, Value)) Redraw();
}

void TNumLab::SetRightTextAlignment(TAlignment Value) {
    if (Store(FRTAlignment, Value)) Redraw();
}

void TNumLab::SetColorLabBakG(TColor Value) {
    if (Store(FColorLabBakG, Value)) Redraw();
}

void TNumLab::SetColorLabText(TColor Value) {
    if (Store(FColorLabText, Value)) Redraw();
}

void TNumLab::SetColorOutBakG(TColor Value) {
    if (Store(FColorOutBakG, Value)) Redraw();
}

void TNumLab::SetColorOutText(TColor Value) {
    if (Store(FColorOutText, Value)) Redraw();
}

void TNumLab::SetColorScheme(TColorScheme Value) {
    if (FLines.SetColorScheme(Value)) Redraw();
}

void TNumLab::SetComma(bool Value) {
    if (Store(FComma, Value)) Redraw();
}

void TNumLab::SetForcePlusSign(bool Value) {
    if (Store(FPlusSign, Value)) Redraw();
}

void TNumLab::SetEmpty(bool Value) {
    if (Store(FEmpty, Value)) Redraw();
}

void TNumLab::SetDisplayType(TDisplay Value) {
    if (Store(FDisplayType, Value)) Redraw();
}

void TNumLab::SetDTFormat(const std::string& Value) {
    if (Store(FDtFormat, Value)) Redraw();
}

void TNumLab::SetLeftText(const std::string& Value) {
    if (Store(FLeftText, Value)) Redraw();
}

void TNumLab::SetRightText(const std::string& Value) {
    if (Store(FRightText, Value)) Redraw();
}

void TNumLab::SetOverflowIndicator(const std::string& Value) {
    if (Store(FOverFlowIndi, Value)) Redraw();
}

void TNumLab::SetStateText(const std::string& Value) {
    if (Store(FStateText, Value)) Redraw();
}

void TNumLab::SetStateNames(const std::vector<std::string>& Value) {
    if (Store(FStateNames, Value)) Redraw();
}

// Paints at once; a transparent label asks for the parent's picture beneath first instead,
// since its picture is combined with what the canvas holds and would keep the old texts.
void TNumLab::Redraw() {
    if (FTransParent)
        Invalidate();
    else
        Paint();
}

void TNumLab::SetEnabled(bool Value) {
    FEnabled = Value;
    TGraphicControl::SetEnabled(Value);
    Refresh();
}

void TNumLab::SetFrameStyle(TFrameStyle Value) {
    if (Store(FFrameStyle, Value)) Redraw();
}

void TNumLab::SetLabelWidth(int Value) {
    if (Store(FLabWidth, Value)) Redraw();
}

void TNumLab::SetLeftSpace(int Value) {
    if (Value < 0) return;
    if (Store(FLeftSpace, std::min(Value, Width()))) Redraw();
}

void TNumLab::SetPrecision(int Value) {
    if (Value < 0) return;
    if (Store(FDecP, std::min(Value, 15))) Redraw();
}

void TNumLab::SetTransparent(bool Value) {
    if (!Store(FTransParent, Value)) return;
    if (Value)
        Invalidate();  // the parent paints beneath first, then this control on top
    else
        Paint();
}

void TNumLab::SetValue(double Value) {
    if (Store(FLabValue, Value)) Redraw();
}

// ---- copy convention ----

void TNumLab::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TNumLab*>(Source);
    if (src == nullptr) {
        TGraphicControl::Assign(Source);
        return;
    }
    FLeftSpace = src->FLeftSpace;
    FEmpty = src->FEmpty;
    FLabWidth = src->FLabWidth;
    FDecP = src->FDecP;
    FLeftText = src->FLeftText;
    FRightText = src->FRightText;
    FFrameStyle = src->FFrameStyle;
    FAlignment = src->FAlignment;
    FRTAlignment = src->FRTAlignment;
    FLTAlignment = src->FLTAlignment;
    FOverFlowIndi = src->FOverFlowIndi;
    FLabValue = src->FLabValue;
    FStateText = src->FStateText;
    FStateNames = src->FStateNames;
    FTransParent = src->FTransParent;
    FColorLabBakG = src->FColorLabBakG;
    FColorLabText = src->FColorLabText;
    FColorOutBakG = src->FColorOutBakG;
    FColorOutText = src->FColorOutText;
    FLines = src->FLines;
    FDisplayType = src->FDisplayType;
    Redraw();
}

void TNumLab::AssignTo(TPersistent* Dest) {
    if (!AssignToSameClass(this, Dest)) TGraphicControl::AssignTo(Dest);
}

// ---- input ----

void TNumLab::MouseMove(TShiftState Shift, int X, int Y) {
    FMouseAreaCode = 0;
    if (X > FLeftSpace) FMouseAreaCode = 1;
    if (X > FLeftSpace + FLabWidth) FMouseAreaCode = 2;
    TGraphicControl::MouseMove(Shift, X, Y);
}

// ---- texts ----

std::string TNumLab::MakeValueText() const {
    const double v = FLabValue;
    const int p = FDecP;
    std::string s;
    bool shown = true;
    int64_t r = 0;
    switch (FDisplayType) {
        case dtFloat:
            s = Format("%*.*g", 1, p, v);
            break;
        case dtFixP:
            s = Format("%*.*f", 1, p, v);
            break;
        case dtExp:
            s = Format("%*.*e", 1, p, v);
            break;
        case dtHex:
            shown = BaseText(v, p, 4, s);
            break;
        case dtOct:
            shown = BaseText(v, p, 3, s);
            break;
        case dtBin:
            shown = BaseText(v, p, 1, s);
            break;
        case dtZeroInt:
            shown = RoundedInt64(v, r);
            if (shown) s = Format("%*.*d", 1, p, r);
            break;
        case dtInt:
            shown = RoundedInt64(v, r);
            if (shown) s = Format("%*.*d", 1, 0, r);
            break;
        case dtDateTime:
            shown = v >= FirstDate && v < EndOfDates;
            if (shown) {
                try {
                    s = FormatDateTime(FDtFormat, v);
                } catch (const Exception&) {
                    shown = false;
                }
            }
            break;
        case dtState:
            if (RoundedInt64(v, r) && r >= 0 && r < int64_t(FStateNames.size()))
                s = FStateNames[size_t(r)];
            else
                s = FStateText;
            break;
        case dtDeg:
            shown = std::isfinite(v);
            if (shown) s = FormatRealText(1, p, v) + DegreeSign;
            break;
        case dtDegMin:
            shown = AngleText(v, p, 2, s);
            break;
        case dtDegMinSec:
            shown = AngleText(v, p, 3, s);
            break;
        case dtEEng:
            shown = EngineeringText(v, p, s);
            break;
        case dtEEngNoDP:
            shown = EngineeringText(v, 0, s);
            break;
        default:
            break;
    }
    if (!shown) return FOverFlowIndi;
    if (FDisplayType != dtHex && FDisplayType != dtDateTime && FDisplayType != dtState &&
        FDisplayType != dtBin) {
        std::replace(s.begin(), s.end(), FComma ? '.' : ',', FComma ? ',' : '.');
        if (FPlusSign && v > 0) s.insert(s.begin(), '+');
    }
    return s;
}

// ---- painting ----

void TNumLab::Paint() {
    if (!Visible() && !ComponentState().contains(csDesigning)) return;
    TCanvas* cv = Canvas();
    cv->SetFont(Font());
    const int W = Width(), H = Height();
    if (W <= 0 || H <= 0) return;
    TBitmap picture(W, H);
    picture.Canvas()->SetFont(Font());
    PaintPicture(picture.Canvas());
    if (!FTransParent) {
        cv->SetCopyMode(cmSrcCopy);
        cv->Draw(0, 0, &picture);
        return;
    }
    // White picture pixels leave the parent's picture as it is; texts and lines darken it.
    const TColor boxFill = FColorLabText == clBlack ? FColorLabBakG : clWhite;
    cv->Pen()->SetStyle(psSolid);
    cv->Pen()->SetColor(boxFill);
    cv->Brush()->SetColor(boxFill);
    cv->Rectangle(FLeftSpace + 2, 2, FLeftSpace + FLabWidth, H - 2);
    cv->SetCopyMode(cmSrcAnd);
    cv->Draw(0, 0, &picture);
    cv->SetCopyMode(cmSrcCopy);
}

void TNumLab::PaintPicture(TCanvas* C) {
    const int W = Width(), H = Height();
    const int LS = FLeftSpace, LW = FLabWidth;
    const int th = C->TextHeight(ProbeText);
    const int y0 = (H - th) / 2;

    const TColor back =
        FTransParent ? clWhite : StyledColor(StyleElements(), FColorOutBakG, scWindow);
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetColor(back);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(back);
    C->Rectangle(0, 0, W, H);

    PaintSideTexts(C, y0);

    if (LW < 1) return;  // no box to draw the number in
    // An ordinal above fsGroove draws no frame, so its outline takes the box colour too.
    C->Pen()->SetColor(FFrameStyle == fsNone || FFrameStyle > fsGroove ? FColorLabBakG
                       : FFrameStyle == fsRidge                        ? FLines.FColWhiteLine
                                                                       : FLines.FColGrayLine);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(StyledColor(StyleElements(), FColorLabBakG, scGrid));
    C->Rectangle(LS + 1, 0, LS + LW + 1, H - 1);
    DrawFrame(C, FFrameStyle, LS + 1, 0, LS + LW, H - 2, StyledBevelColors(StyleElements()),
              clBlack);
    if (!FEmpty) PaintValueText(C, y0);
}

void TNumLab::PaintSideTexts(TCanvas* C, int Y0) {
    const int W = Width();
    const int LS = FLeftSpace, LW = FLabWidth;
    auto leftX = [&](int tw) {
        switch (FLTAlignment) {
            case taLeftJustify:
                return 7;
            case taRightJustify:
                return LS - tw - 5;
            default:
                return (LS - tw) / 2;
        }
    };
    auto rightX = [&](int tw) {
        switch (FRTAlignment) {
            case taLeftJustify:
                return LS + LW + 7;
            case taRightJustify:
                return W - tw - 6;
            default:
                return (W - LS - LW - tw) / 2 + LS + LW + 1;
        }
    };
    struct TPlaced {
        const std::string& Text;
        int X;
    };
    const TPlaced texts[] = {{FLeftText, leftX(C->TextWidth(FLeftText))},
                             {FRightText, rightX(C->TextWidth(FRightText))}};
    if (FEnabled) {
        C->Font()->SetColor(StyledFontColor(StyleElements(), FColorOutText, sfPanelTextNormal));
        for (const TPlaced& t : texts)
            if (!t.Text.empty()) C->TextOut(t.X, Y0, t.Text);
        return;
    }
    // Embossed: a light copy one pixel right and down, the grey copy on top of it.
    const bool styled = StyleActive(StyleElements(), seFont);
    C->Brush()->SetStyle(bsClear);
    for (const TPlaced& t : texts) {
        if (t.Text.empty()) continue;
        C->Font()->SetColor(styled ? StyleServices()->GetStyleFontColor(sfPanelTextDisabled)
                                   : clWhite);
        C->TextOut(t.X + 1, Y0 + 1, t.Text);
        if (styled) continue;
        C->Font()->SetColor(clGray);
        C->TextOut(t.X, Y0, t.Text);
    }
    C->Brush()->SetStyle(bsSolid);
}

void TNumLab::PaintValueText(TCanvas* C, int Y0) {
    const int H = Height();
    const int LS = FLeftSpace, LW = FLabWidth;
    std::string text = MakeValueText();
    if (OnBeforeDisplay) OnBeforeDisplay(this, text);
    int tw = C->TextWidth(text);
    if (tw > LW - 6 && FDisplayType != dtState) {
        text = FOverFlowIndi;
        tw = C->TextWidth(text);
    }
    if (text.empty()) return;
    C->Font()->SetColor(FEnabled
                            ? StyledFontColor(StyleElements(), FColorLabText, sfPanelTextNormal)
                            : clBtnShadow);
    int x = LS + 2 + (LW - tw) / 2;
    if (FAlignment == taLeftJustify) x = LS + 4;
    if (FAlignment == taRightJustify) x = LS + LW - 2 - tw;
    C->TextRect(TRect{LS + 3, 2, LS + LW - 1, H - 3}, x, Y0, text);
}

}  // namespace kovo
