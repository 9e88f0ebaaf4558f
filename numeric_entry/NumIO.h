// The unit NumIO: the eight input formats of the numeric entry fields and the routines that
// read, check and write their texts. Positions are 1-based character positions; a separator
// set is a string that lists the characters counting as the decimal separator ("." or ".,").
// Everything here is independent of the C library's locale.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "foundation/kovobase.h"
#include "foundation/kovocore.h"
#include "host/WinControl.h"

namespace kovo {

// How a numeric field keeps its value as text.
enum TInFormat : uint8_t {
    itExp,       // real number, exponent allowed while typing
    itFloat,     // real number with a decimal separator, no exponent
    itFixPoint,  // real number with a fixed number of decimals
    itInt,       // optionally signed decimal integer
    itHex,       // hexadecimal digits of a 32-bit two's-complement integer
    itOct,       // octal digits of a 32-bit two's-complement integer
    itBin,       // binary digits of a 32-bit two's-complement integer
    itDynamic    // "$" hexadecimal, "%" binary, "&" octal, anything else decimal
};

// ---------------------------------------------------------------------------------------
// Separator sets. Under dpSystem the platform's decimal separator (FormatSettings) decides;
// the two fields differ only for a platform separator that is neither "." nor ",".

// As the edit-based field converts: dpSystem gives "," for a "," platform, else ".".
std::string SeparatorSetForConvert(TDecPSep DecPSep);
// As the painted field checks: dpSystem gives "." for a "." platform, else ",".
std::string SeparatorSetForCheck(TDecPSep DecPSep);

// ---------------------------------------------------------------------------------------
// Readers and checks. Readers never fail: a text that is not a number reads as 0 and Pos
// tells how far the reader got. A position outside the text reads as its end.

// Reads a real number from Pos on ("e" counts as "E"; an exponent only with ExpAllowed;
// exponent digits beyond 4200 are dropped). The result is clamped to +-uc_MaxDouble; Pos is
// left at the first character not taken (the length + 1 when the text was read to its end).
double ScanRealText(const std::string& Instring, bool ExpAllowed, const std::string& DecSeps,
                    int& Pos);
// True when the real-number reader accepts the beginning of Instring ("12A" and "1E" are
// valid, "-" and "A1" are not) and no exponent beyond 4200 is written.
bool IsRealText(const std::string& Instring, bool ExpAllowed, TDecPSep DecPSep);
// Sign, digits, one separator, digits, each part optional: "-", "5." and "-12.50" are
// valid; blanks, an exponent, a second sign or separator are not.
bool IsFixedText(const std::string& Instring, TDecPSep DecPSep);

// Reads an optionally signed decimal integer, wrapping around modulo 2^32.
int ScanIntText(const std::string& Instring, int& Pos);
bool IsIntText(const std::string& Instring);

// Read digits of base 16, 8 or 2 as the bits of a 32-bit two's-complement integer
// ("FFFFFFFF" reads as -1). ScanHexText passes over a "$" at position 1 when it starts
// there, before any blanks.
int ScanHexText(const std::string& Instring, int& Pos);
int ScanOctText(const std::string& Instring, int& Pos);
int ScanBinText(const std::string& Instring, int& Pos);
// Non-empty texts made only of digits of the base (hexadecimal in either case).
bool IsHexText(const std::string& Instring);
bool IsOctText(const std::string& Instring);
bool IsBinText(const std::string& Instring);

// ---------------------------------------------------------------------------------------
// Writers. Texts written here always use "." as the decimal separator.

// Decimals >= 0: fixed notation with that many decimals in a field at least Width wide.
// A negative Decimals (the fields use -2): exponential notation with Width - 6 significant
// digits and a two-digit exponent (" 1.23450E+03" for Width 12); a value whose exponent
// needs three digits, an infinity or NaN gives asterisks of the same length.
std::string FormatRealText(int Width, int Decimals, double Value);
// Exactly NumDigits digits (clamped to 1..8, 1..11, 1..32) of the two's-complement bits.
std::string FormatHexText(int Value, int NumDigits);
std::string FormatOctText(int Value, int NumDigits);
std::string FormatBinText(int Value, int NumDigits);

// ---------------------------------------------------------------------------------------
// TNumIO2: the painted numeric field. It keeps its text itself and paints, in a row, a left
// text, a framed text box with the number, caret and selection, an optional pair of spin
// buttons and a right text; an optional gauge lies in a strip along the bottom. Every edit
// is checked against the input format at once and undone when it fails; a value outside
// RangeLow..RangeHigh is shown in the warning colours. Setters repaint at once.

using TOnGaugeChangeEvent =
    std::function<void(TObject* Sender, TShiftState Shift, double GaugeValue)>;

class TNumIO2 : public TCustomControl {
  public:
    explicit TNumIO2(TComponent* AOwner);
    ~TNumIO2() override;

    // --- layout
    int LeftSpace() const { return FLeftSpace; }
    void SetLeftSpace(int Value);  // negative values ignored, at most Width
    int TextBoxWidth() const { return FTextBoxWidth; }
    void SetTextBoxWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TAlignment LeftTextAlignment() const { return FLTAlignment; }
    void SetLeftTextAlignment(TAlignment Value);
    TAlignment RightTextAlignment() const { return FRTAlignment; }
    void SetRightTextAlignment(TAlignment Value);
    const std::string& LeftText() const { return FLeftText; }
    void SetLeftText(const std::string& Value);
    const std::string& RightText() const { return FRightText; }
    void SetRightText(const std::string& Value);
    TFrameStyle FrameStyle() const { return FFrameStyle; }
    void SetFrameStyle(TFrameStyle Value);
    // Fits the height to the font (the height of "E0" plus 6) at every paint.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    // Heights below 18 become 18; ButHeight follows a lower height.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // --- spin buttons
    bool ButVisible() const { return FButVisible; }
    void SetButVisible(bool Value);
    bool But3D() const { return FBut3D; }
    void SetBut3D(bool Value);
    TColor ButColor() const { return FButColor; }
    void SetButColor(TColor Value);
    int ButWidth() const { return FButWidth; }
    void SetButWidth(int Value);  // 8..50
    int ButSpace() const { return FButSpace; }
    void SetButSpace(int Value);  // 0..50
    int ButHeight() const { return FButHeight; }
    void SetButHeight(int Value);  // 18..Height
    double ButIncrem() const { return FButIncrem; }
    void SetButIncrem(double Value);
    // Values, in ascending order, that the spin buttons step between and the gauge snaps
    // to; empty for plain steps of ButIncrem.
    TDoubleArray ButtonPivots;

    // --- gauge
    bool GaugeVisible() const { return FGaugeVisib; }
    void SetGaugeVisible(bool Value);
    int GaugeHeight() const { return FGaugeHeight; }
    void SetGaugeHeight(int Value);  // at most Height - GaugeTopMargin - 18, then at least 3
    int GaugeWidth() const { return FGaugeWidth; }
    void SetGaugeWidth(int Value);  // at least 10, then at most Width - GaugeLeftMargin
    int GaugeLeftMargin() const { return FGaugeLeftMarg; }
    void SetGaugeLeftMargin(int Value);  // at most Width - GaugeWidth, then at least 0
    int GaugeTopMargin() const { return FGaugeTopMarg; }
    void SetGaugeTopMargin(int Value);  // at most Height - GaugeHeight - 18, then at least 0
    TColor GaugeColor() const { return FGaugeColor; }
    void SetGaugeColor(TColor Value);
    TColor GaugeColorBg() const { return FGaugeColorBg; }
    void SetGaugeColorBg(TColor Value);
    TColor GaugeColorFrame() const { return FGaugeColorFrm; }
    void SetGaugeColorFrame(TColor Value);
    TFrameStyle GaugeFrameStyle() const { return FGaugeFrameSt; }
    void SetGaugeFrameStyle(TFrameStyle Value);

    // --- colours
    TColor ColorBoxBG() const { return FColorBoxBG; }
    void SetColorBoxBG(TColor Value);
    TColor ColorBoxText() const { return FColorBoxText; }
    void SetColorBoxText(TColor Value);
    TColor ColorOutBG() const { return FColorOutBG; }
    void SetColorOutBG(TColor Value);
    TColor ColorOutText() const { return FColorOutText; }
    void SetColorOutText(TColor Value);
    TColor ColorWarnBG() const { return FColorWarnBG; }
    void SetColorWarnBG(TColor Value);  // stored and repainted always
    TColor ColorWarnText() const { return FColorWarnTxt; }
    void SetColorWarnText(TColor Value);  // stored and repainted always
    TColorScheme ColorScheme() const { return FLines.FColorScheme; }
    void SetColorScheme(TColorScheme Value);

    // --- the number
    // The text being edited. A non-empty text that fails CheckValidity is ignored;
    // otherwise the caret and the selection go to 0.
    std::string GetText() const override { return FInBuffer; }
    void SetText(const std::string& Value) override;
    // The text read as a number in the input format (hexadecimal, octal and binary texts as
    // the signed 32-bit value of their digits); written, the text of the value in the format,
    // where NaN counts as 0 and an infinity as the largest finite value of its sign.
    double Value() const;
    void SetValue(double Value);
    // Value rounded to the nearest integer; "integer overflow" (EKovoNumIO2Error) outside
    // the 32-bit range or for not-a-number.
    int IntegerValue() const;
    TInFormat InputFormat() const { return FInputFormat; }
    void SetInputFormat(TInFormat Value);  // the value is rewritten in the new format
    int FixPointDecPlaces() const { return FDecP; }
    void SetFixPointDecPlaces(int Value);  // 0 and below ignored, at most 15
    int SignificantDigits() const { return FSigDig; }
    void SetSignificantDigits(int Value);  // 0 and below ignored, at most 15
    TDecPSep DecPlaceSep() const { return FDecPSep; }
    void SetDecPlaceSep(TDecPSep Value);  // the separators of the text follow
    double RangeLow() const { return FMinimum; }
    void SetRangeLow(double Value);  // RangeHigh follows when below it
    double RangeHigh() const { return FMaximum; }
    void SetRangeHigh(double Value);  // RangeLow follows when above it
    bool OutOfRange() const;
    // Whether Instring is a valid text of the input format under DecPlaceSep.
    bool CheckValidity(const std::string& Instring) const;

    // --- editing
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool Beep() const { return FBeep; }
    void SetBeep(bool Value) { FBeep = Value; }
    bool HideSelection() const { return FHideSel; }
    void SetHideSelection(bool Value);
    // The selection covers the characters SelBegin + 1 .. SelEnd (1-based); both setters
    // clamp to the text and put the caret at the new end.
    int SelBegin() const { return FSelBegin; }
    void SetSelBegin(int Value);
    int SelEnd() const { return FSelEnd; }
    void SetSelEnd(int Value);
    // Characters before the caret, and whether the caret is in its visible phase.
    int CaretPos() const { return FCaretPos; }
    bool CaretVisible() const { return FCaretVisib; }
    // 0 left of the text box, 1 over it, 2 right of it; set on every mouse move.
    int MouseAreaCode() const { return FMouseAreaCode; }
    // x of the caret place before character P + 1, and the character position nearest x.
    int CharPosToXCoords(int P);
    int XCoordsToCharPos(int X);

    void SetFocus() override;
    void SetEnabled(bool Value) override;
    // Fires OnChange.
    void Changed() override;

    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;              // the value changed by keys, spin buttons or gauge
    TOnGaugeChangeEvent OnGaugeChange;  // every move while the gauge is dragged

  protected:
    void AssignTo(TPersistent* Dest) override;
    void CreateWnd() override;
    void Paint() override;
    LRESULT GetDlgCode() const override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Click() override;
    void DoEnter() override;
    // Shift and Ctrl released while another control has the focus are not seen here, so
    // leaving the field forgets them.
    void DoExit() override;
    // One tick of the caret timer: the caret blinks while focused, otherwise it is hidden
    // and the timer stops.
    virtual void DoTimer();

  private:
    // Restarts the caret timer with the caret visible; "no timer available" when refused.
    void UpdateTimer();
    // The separator characters the checks accept under DecPlaceSep.
    std::string CheckSeparators() const;
    // The text of V in the input format, with the separator the checks accept.
    std::string ValueText(double V) const;
    // Keeps caret and selection inside the text.
    void ClampPositions();
    // Removes the selected characters (the zero rule applies when nothing is left).
    void DeleteSelection();
    // The character a key types, 0 for none.
    char KeyChar(WORD Key, bool Shifted) const;
    // V on the gauge's position at X, snapped to a pivot and clamped to the range.
    double GaugeValueAt(int X) const;
    // Index of the pivot nearest V (the lowest of equal ones), -1 without pivots.
    int NearestPivot(double V) const;
    void StepSpin(bool Up);
    int GaugeStrip() const;  // gh: the height of the gauge strip, 0 without gauge
    // The x of the number text, Tw pixels wide, in the box by Alignment.
    int NumberTextX(int Tw) const;
    void PaintBox(TCanvas* C, int H, int Gh, bool Warn);
    void PaintSpinButtons(TCanvas* C);
    void PaintGauge(TCanvas* C, int H, int Gh);
    void PaintSideText(TCanvas* C, const std::string& Text, int X, int Ty);
    // The inner top-left and outer bottom-right corner strokes of a bevelled frame.
    void PaintBevel(TCanvas* C, TFrameStyle Style, int L, int T, int R, int B);

    int FLeftSpace = 35;                       // width of the zone left of the text box
    bool FSuppressPaint = true;                // no painting until the window exists
    int FTextBoxWidth = 80;                    // width of the text box
    bool FValueChanged = false;                // the gauge changed the value in this press
    int FDecP = 2;                             // FixPointDecPlaces
    int FSigDig = 6;                           // SignificantDigits
    bool FEnabled = true;                      // drawn enabled or disabled
    int FButWidth = 18;                        // spin button width
    int FButSpace = 3;                         // gap between text box and spin buttons
    double FButIncrem = 1.0;                   // spin step without pivots
    bool FButVisible = false;                  // spin buttons shown
    bool FBut3D = true;                        // spin buttons with light and dark edges
    int FButHeight = 28;                       // height of the spin button pair
    TColor FButColor = 0xC0C0C0;               // face colour of the spin buttons
    TKovoTimer FCaretTimerH;                   // the caret's private window and timer 1
    std::string FInBuffer;                     // the text being edited
    int FCaretPos = 0;                         // characters before the caret
    bool FCaretVisib = true;                   // caret shown in this blink phase
    bool FGaugeVisib = false;                  // gauge shown
    int FGaugeHeight = 8;                      // gauge height
    int FGaugeWidth = 82;                      // gauge width
    int FGaugeLeftMarg = 35;                   // x of the gauge's left edge
    int FGaugeTopMarg = 3;                     // gap above the gauge
    TColor FGaugeColor = 0x800000;             // bar colour
    TColor FGaugeColorBg = 0xC0C0C0;           // gauge background
    TColor FGaugeColorFrm = 0x808080;          // gauge frame colour of fsSingle
    TFrameStyle FGaugeFrameSt = fsSunken;      // gauge frame
    std::string FLeftText;                     // text left of the box
    std::string FRightText;                    // text right of the buttons
    TFrameStyle FFrameStyle = fsSunken;        // frame of the text box
    TAlignment FAlignment = taCenter;          // number in the box
    TAlignment FLTAlignment = taRightJustify;  // left text
    TAlignment FRTAlignment = taLeftJustify;   // right text
    int FMouseAreaCode = 0;                    // zone under the mouse
    TColor FColorBoxBG = 0xFFFFFF;             // text box background
    TColor FColorBoxText = clBlack;            // number colour
    TColor FColorOutBG = clBtnFace;            // background outside the box
    TColor FColorOutText = clBlack;            // left and right texts
    TLineColors FLines;                        // black, shadow and light line, the scheme
    TColor FColorWarnBG = 0x6088FFF0;          // box background out of range
    TColor FColorWarnTxt = 0x0000FF;           // number colour out of range
    int FSelBegin = 0;                         // selection start (characters before it)
    int FSelEnd = 0;                           // selection end; empty when equal
    TDecPSep FDecPSep = dpBoth;                // decimal separator rule
    TInFormat FInputFormat = itFloat;          // text format
    bool FKeyShifted = false;                  // Shift held
    bool FKeyCntrl = false;                    // Ctrl held
    bool FHideSel = true;                      // selection hidden without focus
    double FMaximum = 1000.0;                  // RangeHigh
    double FMinimum = 0.0;                     // RangeLow
    bool FOnlineCheck = true;                  // every edit checked at once (always)
    bool FBeep = false;                        // beep on refused keys
    bool FReadOnly = false;                    // no editing
    bool FAutoSize = false;                    // height fitted to the font
};

}  // namespace kovo
