// TNumLab: one number in a framed box, a caption left of the box and a unit text right of
// it ("Voltage [ 12.35 ] V"). The number is kept as a double and turned into text by the
// display type and the precision; OnBeforeDisplay may rewrite the text, and a text too wide
// for the box gives way to the overflow indicator. Every change redraws the whole control at
// once, composed off-screen (a transparent label is invalidated instead, so that the parent
// paints beneath it first).
//
// Texts of the display types (P = Precision, 0..15; "rounded" means to the nearest integer,
// halves to even):
//   dtFloat      P significant digits, fixed or scientific as the value needs ("%.*g")
//   dtFixP       fixed notation with P decimals ("3.14")
//   dtExp        scientific, P digits in all, a signed exponent of three digits or more
//                ("3.14E+000")
//   dtHex        the rounded value's 32-bit two's complement in upper-case hexadecimal, at
//                least P digits with leading zeros and never fewer than the value needs
//                (P 2: 10 -> "0A", 300 -> "12C", -1 -> "FFFFFFFF")
//   dtOct, dtBin the same in octal (at most 11 digits) and binary (at most 32 digits)
//   dtZeroInt    the rounded value in decimal, padded with leading zeros to P digits, a
//                "-" before them when negative (P 4: 42 -> "0042", -7 -> "-0007")
//   dtInt        the rounded value in decimal; P has no effect
//   dtDateTime   the value as a date and time (days since 30 December 1899), formatted by
//                DTFormat ("mmm-dd, yyyy" -> "Mar-15, 2023")
//   dtState      StateNames[rounded value] when the list holds that index (0-based),
//                otherwise StateText; never replaced by the overflow indicator
//   dtDeg        an angle in degrees with P decimals and the degree sign ("12.50°")
//   dtDegMin     whole degrees, then minutes of two integer digits and P decimals
//                ("12°30.00'"); carries are taken into the higher unit (59.999' -> 1°)
//   dtDegMinSec  whole degrees, whole minutes of two digits, seconds of two integer digits
//                and P decimals ("12°30'15.00\"")
//   dtEEng       engineering notation: a mantissa from 1 to below 1000 with P decimals and
//                the SI prefix of its power of 1000 (y z a f p n µ m, none, k M G T P E Z Y:
//                4700 -> "4.70k", 0.000047 -> "47.00µ"); beyond the prefixes "E" and the
//                exponent, a multiple of 3 ("1.00E27"); 0 -> "0.00"
//   dtEEngNoDP   as dtEEng without decimals ("5k")
// A "-" leads the text of a negative value in every decimal type. A value that a type cannot
// show as a number at all (not a number or infinite for the integer, angle, engineering and
// date types, outside the 64-bit range for dtInt and dtZeroInt, outside -2^31 .. 2^32 - 1
// for dtHex, dtOct and dtBin, outside the years 1 to 9999 for dtDateTime) shows the overflow
// indicator, as a text that does not fit does; OnBeforeDisplay still sees it first.
// dtHex, dtBin, dtDateTime and dtState keep their text as made; every other type then gets
// the separator of Comma ("," or ".", whatever the locale says) and, with ForcePlusSign, a
// "+" before values above 0.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "foundation/kovobase.h"
#include "host/Control.h"
#include "host/WinControl.h"

namespace kovo {

class TBitmap;
class TCanvas;

enum TDisplay : uint8_t {
    dtFloat,
    dtFixP,
    dtExp,
    dtHex,
    dtZeroInt,
    dtInt,
    dtDateTime,
    dtState,
    dtBin,
    dtOct,
    dtDeg,
    dtDegMin,
    dtDegMinSec,
    dtEEng,
    dtEEngNoDP
};

using TBeforeDisplayEvent = std::function<void(TObject* Sender, std::string& Text)>;

class TNumLab : public TGraphicControl {
  public:
    explicit TNumLab(TComponent* AOwner);
    ~TNumLab() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TAlignment LeftTextAlignment() const { return FLTAlignment; }
    void SetLeftTextAlignment(TAlignment Value);
    TAlignment RightTextAlignment() const { return FRTAlignment; }
    void SetRightTextAlignment(TAlignment Value);

    TColor ColorLabBakG() const { return FColorLabBakG; }
    void SetColorLabBakG(TColor Value);
    TColor ColorLabText() const { return FColorLabText; }
    void SetColorLabText(TColor Value);
    TColor ColorOutBakG() const { return FColorOutBakG; }
    void SetColorOutBakG(TColor Value);
    TColor ColorOutText() const { return FColorOutText; }
    void SetColorOutText(TColor Value);
    TColorScheme ColorScheme() const { return FLines.FColorScheme; }
    void SetColorScheme(TColorScheme Value);

    bool Comma() const { return FComma; }
    void SetComma(bool Value);
    bool ForcePlusSign() const { return FPlusSign; }
    void SetForcePlusSign(bool Value);
    bool Empty() const { return FEmpty; }
    void SetEmpty(bool Value);

    TDisplay DisplayType() const { return FDisplayType; }
    void SetDisplayType(TDisplay Value);
    const std::string& DTFormat() const { return FDtFormat; }
    void SetDTFormat(const std::string& Value);
    const std::string& LeftText() const { return FLeftText; }
    void SetLeftText(const std::string& Value);
    const std::string& RightText() const { return FRightText; }
    void SetRightText(const std::string& Value);
    const std::string& OverflowIndicator() const { return FOverFlowIndi; }
    void SetOverflowIndicator(const std::string& Value);
    const std::string& StateText() const { return FStateText; }
    void SetStateText(const std::string& Value);
    // The names dtState shows, indexed by the rounded value from 0.
    const std::vector<std::string>& StateNames() const { return FStateNames; }
    void SetStateNames(const std::vector<std::string>& Value);

    void SetEnabled(bool Value) override;

    TFrameStyle FrameStyle() const { return FFrameStyle; }
    void SetFrameStyle(TFrameStyle Value);
    int LabelWidth() const { return FLabWidth; }
    void SetLabelWidth(int Value);
    int LeftSpace() const { return FLeftSpace; }
    void SetLeftSpace(int Value);
    int Precision() const { return FDecP; }
    void SetPrecision(int Value);
    bool Transparent() const { return FTransParent; }
    void SetTransparent(bool Value);
    double Value() const { return FLabValue; }
    void SetValue(double Value);

    // 0 left of the box, 1 over the box, 2 right of it; set on every mouse move.
    int MouseAreaCode() const { return FMouseAreaCode; }

    void Assign(TPersistent* Source) override;

    TBeforeDisplayEvent OnBeforeDisplay;

  protected:
    void AssignTo(TPersistent* Dest) override;
    void Paint() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

    // Draws the whole picture, Width() x Height(), on Target (the off-screen bitmap's
    // canvas, carrying the control's font).
    virtual void PaintPicture(TCanvas* Target);
    // The number text by DisplayType, after the separator and plus-sign step, before
    // OnBeforeDisplay.
    std::string MakeValueText() const;

  private:
    void Redraw();
    void PaintSideTexts(TCanvas* C, int Y0);
    void PaintValueText(TCanvas* C, int Y0);

    int FLeftSpace = 35;                       // width of the zone left of the box
    bool FEmpty = false;                       // box drawn without a value text
    int FLabWidth = 80;                        // width of the box
    int FDecP = 2;                             // precision, 0..15
    bool FComma = false;                       // separator shown: "," or "."
    bool FPlusSign = false;                    // "+" before values above 0
    bool FTransParent = false;                 // outer zones show the parent through
    std::string FLeftText;                     // text left of the box
    std::string FRightText;                    // text right of the box
    TFrameStyle FFrameStyle = fsSunken;        // frame of the box
    std::string FStateText = "undefined";      // text of dtState
    TAlignment FAlignment = taCenter;          // number in the box
    TAlignment FLTAlignment = taRightJustify;  // left text in its zone
    TAlignment FRTAlignment = taLeftJustify;   // right text in its zone
    int FMouseAreaCode = 0;                    // zone under the mouse
    std::string FOverFlowIndi = "*********";   // shown for a number that does not fit
    double FLabValue = 0;                      // the value
    bool FEnabled = true;                      // drawn enabled or disabled
    TColor FColorLabBakG = clBtnFace;          // background of the box
    TColor FColorLabText = clBlack;            // number text
    TColor FColorOutBakG = clBtnFace;          // background outside the box
    TColor FColorOutText = clBlack;            // left and right texts
    TLineColors FLines;                        // black, shadow and light line, scheme
    TDisplay FDisplayType = dtFixP;            // how the value becomes text
    std::string FDtFormat = "mmm-dd, yyyy";    // format of dtDateTime
    std::vector<std::string> FStateNames;      // names of dtState by rounded value
};

}  // namespace kovo
