// The analog meter TMeter: a needle turning over a circular scale, with thresholds, limit
// lamps, a logarithmic mode, an optional second needle and a dial drawn in colours or from
// image files. TNeedleLayout describes how one needle looks.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/kovobase.h"
#include "host/Bitmap.h"
#include "host/Canvas.h"
#include "host/Font.h"
#include "host/WinControl.h"

namespace kovo {

// The number in each name is the scale angle in degrees.
enum TMeterLayout : uint8_t { mlCirc90, mlCirc120, mlCirc180, mlCirc270, mlCirc300, mlCirc360 };

using TMouseMoveInMeterEvent =
    std::function<void(TObject* Sender, bool WithinRange, TShiftState Shift, double MeterValue)>;
using TmtBeforeDrawScaleLabelEvent = std::function<void(
    TObject* Sender, TCanvas* Canvas, std::string& CurrentTickLabel, int ChartX, int ChartY)>;
using TMeterRenderedEvent = std::function<void(TObject* Sender, TCanvas* Canvas)>;
using TBeforeDrawNeedleEvent =
    std::function<void(TObject* Sender, TCanvas* Canvas, bool& NeedleDrawn)>;

// The look of one needle: an arrow head on a shaft from the centre, with a shadow.
class TNeedleLayout : public TPersistent {
  public:
    TColor ColorBody() const { return FColorFill; }
    void SetColorBody(TColor Value);
    TColor ColorOutline() const { return FColorLine; }
    void SetColorOutline(TColor Value);
    // Length in pixels of the two barbs of the head.
    int HeadSize() const { return FSize1; }
    void SetHeadSize(int Value);
    // Width in pixels of the shaft; 0 makes the shaft a single line.
    int Thickness() const { return FThickness; }
    void SetThickness(int Value);
    // Length in percent of the scale radius less 4 pixels; clamped to 0..100.
    int PercentNeedleLength() const { return FPctNeedleLeng; }
    void SetPercentNeedleLength(int Value);
    // Full opening angle of the head in degrees; clamped to 0..180.
    int HeadAngle() const { return FAngle1; }
    void SetHeadAngle(int Value);
    // Distance in pixels from the tip back to where the shaft meets the head.
    int HeadMidLeng() const { return FBackShift1; }
    void SetHeadMidLeng(int Value);
    // The shadow lies at (-ShadowDx, -ShadowDy) from the needle; (0, 0) draws none.
    int ShadowDx() const { return FShadowDx; }
    void SetShadowDx(int Value);
    int ShadowDy() const { return FShadowDy; }
    void SetShadowDy(int Value);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    TNotifyEvent OnChange;  // raised by Changed; the owning meter repaints

  protected:
    void Changed();

  private:
    friend class TMeter;

    // The values a meter's layout setter copies, everything except OnChange.
    void CopyValues(const TNeedleLayout& Source);

    TColor FColorFill = clSilver;  // fill colour
    TColor FColorLine = clBlack;   // outline colour
    int FSize1 = 20;               // barb length
    int FThickness = 0;            // shaft width
    int FPctNeedleLeng = 100;      // length in percent of (R - 4)
    int FAngle1 = 30;              // opening angle of the head, degrees
    int FBackShift1 = 20;          // tip to shaft-head joint
    int FShadowDx = 0;             // shadow displacement (subtracted)
    int FShadowDy = 0;
    TColor FShadowColor = clGray;  // fill and outline of the shadow
    bool FVisible = true;          // primary: evaluates the thresholds; both: drawn
};

class TMeter : public TGraphicControl {
  public:
    explicit TMeter(TComponent* AOwner);
    ~TMeter() override;

    // --- Scale model -------------------------------------------------------------------
    double Value() const { return FValue; }
    void SetValue(double Value);
    double ValueSec() const { return FValue2; }
    void SetValueSec(double Value);
    double MeterMinValue() const { return FMinValue; }
    void SetMeterMinValue(double Value);
    double MeterMaxValue() const { return FMaxValue; }
    void SetMeterMaxValue(double Value);
    double ThresholdLow() const { return FLowThreshold; }
    void SetThresholdLow(double Value);
    double ThresholdHigh() const { return FHighThreshold; }
    void SetThresholdHigh(double Value);
    bool Logarithmic() const { return FLogarithmic; }
    void SetLogarithmic(bool Value);
    TMeterLayout MeterLayout() const { return FMeterLayout; }
    void SetMeterLayout(TMeterLayout Value);
    int MeterNrTicks() const { return FNrTicks; }
    void SetMeterNrTicks(int Value);
    int MeterDecPlaces() const { return FDecPlaces; }
    void SetMeterDecPlaces(int Value);
    bool MeterShortTicks() const { return FShortTicks; }
    void SetMeterShortTicks(bool Value);
    bool MeterScaleLine() const { return FScaleLine; }
    void SetMeterScaleLine(bool Value);
    bool ScaleVisible() const { return FScaleVis; }
    void SetScaleVisible(bool Value);
    int RimTop() const { return FTRim; }
    void SetRimTop(int Value);
    int RimBottom() const { return FBRim; }
    void SetRimBottom(int Value);
    int RimSide() const { return FSRim; }
    void SetRimSide(int Value);

    // The layout parameters: centre (cx, cy) and scale radius R.
    int OriginX() const { return FMeterCenterX; }
    int OriginY() const { return FMeterCenterY; }
    double ScaleRadius() const { return FMeterRadius; }
    // The limit flags the lamps show: the value reached ThresholdHigh / fell to ThresholdLow.
    bool Overflow() const { return FOFL; }
    bool Underflow() const { return FUFL; }

    // --- Appearance --------------------------------------------------------------------
    bool AnchorCovered() const { return FAnchorCovrd; }
    void SetAnchorCovered(bool Value);
    int AnchorSize() const { return FSizeAnchor; }
    void SetAnchorSize(int Value);
    // Image files. A name of a file that does not exist is cleared. A background file that
    // cannot be read raises the loader's error (EFOpenError, EInvalidGraphic) with the
    // name kept; an anchor file that cannot be read only clears the name.
    const std::string& AnchorImage() const { return FACoverFName; }
    void SetAnchorImage(const std::string& Value);
    const std::string& BackGroundImg() const { return FBakGndFName; }
    void SetBackGroundImg(const std::string& Value);
    TBkgFill BkgndFillMode() const { return FBGFillMode; }
    void SetBkgndFillMode(TBkgFill Value);
    // The unit label; Caption and Text of the control are this text.
    std::string GetText() const override { return FCaption; }
    void SetText(const std::string& Value) override;
    TColor ColorBakG() const { return FColorBakG; }
    void SetColorBakG(TColor Value);
    TColor ColorCover() const { return FColorCover; }
    void SetColorCover(TColor Value);
    TColor ColorScale() const { return FColorScale; }
    void SetColorScale(TColor Value);
    TColorScheme ColorScheme() const { return FLines.FColorScheme; }
    void SetColorScheme(TColorScheme Value);
    TColor ColorSclBkLow() const { return FColorBakGLow; }
    void SetColorSclBkLow(TColor Value);
    TColor ColorSclBkNorm() const { return FColorBakGNorm; }
    void SetColorSclBkNorm(TColor Value);
    TColor ColorSclBkHigh() const { return FColorBakGHigh; }
    void SetColorSclBkHigh(TColor Value);
    // The font of the unit label; the scale labels use Font. Changing a member of the
    // returned font does not repaint by itself.
    TFont* FontCaption() const { return FFontCaption.get(); }
    void SetFontCaption(TFont* Value);
    TFrameStyle FrameStyle() const { return FFrameStyle; }
    void SetFrameStyle(TFrameStyle Value);
    bool LimWatchHighOn() const { return FLimWatHighOn; }
    void SetLimWatchHighOn(bool Value);
    bool LimWatchLowOn() const { return FLimWatLowOn; }
    void SetLimWatchLowOn(bool Value);
    TColor LimWatchActColor() const { return FLimWatActCol; }
    void SetLimWatchActColor(TColor Value);
    TColor LimWatchPsvColor() const { return FLimWatPsvCol; }
    void SetLimWatchPsvColor(TColor Value);
    // The meter's own layouts; the setters copy the given layout's values into them.
    TNeedleLayout* NeedleLayout() const { return FNeedleLayout.get(); }
    void SetNeedleLayout(const TNeedleLayout* Value);
    TNeedleLayout* NeedleLayoutSec() const { return FNeedle2Layout.get(); }
    void SetNeedleLayoutSec(const TNeedleLayout* Value);
    // Width of the coloured scale-background band in percent of R, clamped to 0..100.
    double ScaleBkWidth() const { return FScaleBakWidth; }
    void SetScaleBkWidth(double Value);
    bool ScaleBkVisible() const { return FScaleBkVis; }
    void SetScaleBkVisible(bool Value);

    // --- Geometry ----------------------------------------------------------------------
    // The value's needle angle in degrees clockwise from 6 o'clock: 180 - A/2 at
    // MeterMinValue, 180 + A/2 at MeterMaxValue (the value is clamped into the range).
    double CalcNeedleAngle(double value) const;
    // The pixel at pctradius percent of R from the centre in the value's direction.
    void ConvertToPixelCoords(double value, double pctradius, int& X, int& Y) const;
    // The scale value in the direction of the pixel; false (and 0) outside the sector.
    bool ConvertPixelToValue(int XPos, int YPos, double& MeterValue) const;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // Centre, radius and scale angle from the size, the layout and the rims.
    void CalcMeterLayoutParams();
    // The major step rule: Step is 1, 2 or 5 times a power of ten not above (Hi - Lo) / N,
    // First the first multiple of Step at or above Lo, NSub the minor intervals per step.
    static void CalcScaleSteps(int N, double Lo, double Hi, double& First, double& Step, int& NSub);

    // --- Events ------------------------------------------------------------------------
    TMouseMoveInMeterEvent OnMouseMoveInMeter;
    TNotifyEvent OnOverFlow;
    TNotifyEvent OnUnderFlow;
    TNotifyEvent OnNormalRange;
    TmtBeforeDrawScaleLabelEvent OnBeforeDrawScaleLabel;
    TMeterRenderedEvent OnMeterRendered;
    TBeforeDrawNeedleEvent OnBeforeDrawNeedle;

  protected:
    void Paint() override;
    void Loaded() override;
    // The inherited mouse-move handling (OnMouseMove), then OnMouseMoveInMeter.
    void WMMouseMove(TMessage& Message) override;

  private:
    // One tick mark of the scale, at its dial angle in radians.
    struct TScaleTick {
        double Value;
        double Angle;
        bool Major;
        bool Labelled;
    };

    // A coordinate as a pixel: rounded to the nearest integer (halves to even), kept within
    // what the canvas clips safely; a NaN (a logarithmic scale over a range that is not
    // positive) gives 0.
    static int Px(double v);
    // Above Max gives Max, below Min gives Min.
    double ClampToRange(double v) const;

    bool Loading() const { return ComponentState().contains(csLoading); }
    // Paint at once, except while loading (Loaded paints) or being destroyed.
    void Redraw();
    void StyleChanged(TObject* Sender);
    // Loads the background image; Guarded turns a failure into a cleared name.
    void LoadBackground(bool Guarded);
    void LoadAnchor();
    void BuildAnchorMask();
    // Value setters share everything but the field and the layout they look at.
    void SetNeedleValue(double Value, double& Field, const TNeedleLayout& Layout,
                        bool PaintWhenHidden);
    bool SetRim(int& Field, int Value);

    // Scale geometry (MeterLayout.cpp).
    double Fraction(double v, bool UseLog) const;
    // Dial angle in radians with the logarithmic fraction only where it is defined.
    double GuardedDialAngle(double v) const;
    std::vector<TScaleTick> ScaleTicks() const;
    std::string TickLabel(double v) const;

    // Painting (MeterPaint.cpp).
    void PaintBackground(TCanvas* C);
    void PaintScaleBackground(TCanvas* C);
    void PaintScale(TCanvas* C);
    void PaintNeedle(TCanvas* C, const TNeedleLayout& Layout, double Theta);
    void PaintRims(TCanvas* C);
    void PaintAnchor(TCanvas* C);
    void PaintDialBorder(TCanvas* C);
    void PaintLamps(TCanvas* C);
    void PaintFrame(TCanvas* C);

    bool FAnchorCovrd = true;               // the needle anchor is drawn
    std::unique_ptr<TBitmap> AuxBGBmp;      // background image
    std::unique_ptr<TBitmap> AuxACBmp;      // anchor image
    std::unique_ptr<TBitmap> AuxACMaskBmp;  // anchor mask
    std::string FBakGndFName;               // background image file
    TBkgFill FBGFillMode = bfPlain;         // how the background image is laid out
    std::string FACoverFName;               // anchor image file
    bool FLogarithmic = false;              // logarithmic scale
    bool FScaleVis = true;                  // ticks, labels and scale line are drawn
    int FSizeAnchor = 24;                   // anchor radius
    bool FLimWatHighOn = true;              // high limit lamp is drawn
    bool FLimWatLowOn = true;               // low limit lamp is drawn
    TColor FLimWatActCol = clRed;           // lamp colour with the flag set
    TColor FLimWatPsvCol = clGray;          // lamp colour without it
    bool FOFL = false;                      // the value reached ThresholdHigh
    bool FUFL = false;                      // the value fell to ThresholdLow or below
    TColor FColorScale = clNavy;            // ticks and scale line
    std::string FCaption;                   // unit label
    TFrameStyle FFrameStyle = fsRaised;
    int FDecPlaces = 1;                   // decimals of the scale labels, 0..4
    int FNrTicks = 3;                     // wished number of major intervals, 2..21
    int FBRim = 10;                       // bottom rim width
    int FSRim = 10;                       // side rim width
    int FTRim = 8;                        // top rim width
    bool FShortTicks = true;              // minor ticks are drawn
    bool FScaleLine = true;               // the scale arc is drawn
    TColor FColorBakG = clWhite;          // dial background
    TColor FColorCover = clBtnFace;       // rims and anchor
    TLineColors FLines;                   // colour scheme and its line colours (frame)
    TColor FColorBakGLow = clLime;        // scale background below ThresholdLow
    TColor FColorBakGNorm = 0x0080FF;     // between the thresholds (orange)
    TColor FColorBakGHigh = clRed;        // above ThresholdHigh
    std::unique_ptr<TFont> FFontCaption;  // font of the unit label
    double FScaleBakWidth = 0;            // band width in percent of R
    bool FScaleBkVis = false;             // scale background is drawn
    double FLowThreshold = 0;             // Min <= Low <= High <= Max
    double FHighThreshold = 1.0;
    std::unique_ptr<TNeedleLayout> FNeedleLayout;   // primary needle
    std::unique_ptr<TNeedleLayout> FNeedle2Layout;  // secondary needle
    TMeterLayout FMeterLayout = mlCirc90;           // scale layout
    int FMeterAngle = 90;                           // scale angle A, degrees
    double FMeterRadius = 0;                        // scale radius R
    int FMeterCenterX = 0;                          // centre cx
    int FMeterCenterY = 0;                          // centre cy
    double FValue = 0;                              // primary needle
    double FValue2 = 0;                             // secondary needle
    double FMinValue = 0;                           // Min < Max
    double FMaxValue = 1.0;
};

}  // namespace kovo
