// TMeter's model: construction, the property setters with their clamping rules, the limit
// flags and their events, the image files, loading and the mouse report. TNeedleLayout's
// setters are here too.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/FileUtils.h"
#include "instruments/Meter.h"

namespace kovo {

namespace {

// Logarithmic scales refuse range and threshold numbers below this.
constexpr double kLogFloor = 1e-100;

// A number above X that differs from it: X + 1, or more where X + 1 rounds back to X.
// NaN when there is none (X at the top of the double range).
double NumberAbove(double X) {
    double r = X + 1;
    if (r <= X) r = X + std::fabs(X) * 1e-9;
    return std::isfinite(r) && r > X ? r : NAN;
}

double NumberBelow(double X) {
    return -NumberAbove(-X);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TNeedleLayout

void TNeedleLayout::Changed() {
    if (OnChange) OnChange(this);
}

void TNeedleLayout::CopyValues(const TNeedleLayout& Source) {
    FColorFill = Source.FColorFill;
    FColorLine = Source.FColorLine;
    FSize1 = Source.FSize1;
    FThickness = Source.FThickness;
    FPctNeedleLeng = Source.FPctNeedleLeng;
    FAngle1 = Source.FAngle1;
    FBackShift1 = Source.FBackShift1;
    FShadowDx = Source.FShadowDx;
    FShadowDy = Source.FShadowDy;
    FShadowColor = Source.FShadowColor;
    FVisible = Source.FVisible;
}

#define KOVO_LAYOUT_SETTER(Name, Type, Field)   \
    void TNeedleLayout::Set##Name(Type Value) { \
        if (Field == Value) return;             \
        Field = Value;                          \
        Changed();                              \
    }

KOVO_LAYOUT_SETTER(ColorBody, TColor, FColorFill)
KOVO_LAYOUT_SETTER(ColorOutline, TColor, FColorLine)
KOVO_LAYOUT_SETTER(HeadSize, int, FSize1)
KOVO_LAYOUT_SETTER(Thickness, int, FThickness)
KOVO_LAYOUT_SETTER(HeadMidLeng, int, FBackShift1)
KOVO_LAYOUT_SETTER(ShadowDx, int, FShadowDx)
KOVO_LAYOUT_SETTER(ShadowDy, int, FShadowDy)
KOVO_LAYOUT_SETTER(ShadowColor, TColor, FShadowColor)
KOVO_LAYOUT_SETTER(Visible, bool, FVisible)

#undef KOVO_LAYOUT_SETTER

void TNeedleLayout::SetPercentNeedleLength(int Value) {
    Value = std::clamp(Value, 0, 100);
    if (FPctNeedleLeng == Value) return;
    FPctNeedleLeng = Value;
    Changed();
}

void TNeedleLayout::SetHeadAngle(int Value) {
    Value = std::clamp(Value, 0, 180);
    if (FAngle1 == Value) return;
    FAngle1 = Value;
    Changed();
}

// ---------------------------------------------------------------------------------------
// TMeter: life

TMeter::TMeter(TComponent* AOwner)
    : TGraphicControl(AOwner),
      AuxBGBmp(std::make_unique<TBitmap>(10, 10)),
      AuxACBmp(std::make_unique<TBitmap>(10, 10)),
      AuxACMaskBmp(std::make_unique<TBitmap>(10, 10)),
      FFontCaption(std::make_unique<TFont>()),
      FNeedleLayout(std::make_unique<TNeedleLayout>()),
      FNeedle2Layout(std::make_unique<TNeedleLayout>()) {
    FFontCaption->Assign(Font());
    FNeedle2Layout->FVisible = false;
    FNeedleLayout->OnChange = [this](TObject* Sender) { StyleChanged(Sender); };
    FNeedle2Layout->OnChange = [this](TObject* Sender) { StyleChanged(Sender); };
    // SetBounds also computes the layout parameters from the initial values above.
    SetBounds(Left(), Top(), 297, 209);
}

TMeter::~TMeter() = default;

void TMeter::Redraw() {
    if (Loading() || ComponentState().contains(csDestroying)) return;
    Paint();
}

void TMeter::StyleChanged(TObject*) {
    Redraw();
}

void TMeter::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TGraphicControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    CalcMeterLayoutParams();
}

void TMeter::Loaded() {
    TGraphicControl::Loaded();
    FValue = ClampToRange(FValue);
    CalcMeterLayoutParams();
    LoadBackground(true);
    LoadAnchor();
    Paint();
}

// ---------------------------------------------------------------------------------------
// Values, range and thresholds

void TMeter::SetNeedleValue(double Value, double& Field, const TNeedleLayout& Layout,
                            bool PaintWhenHidden) {
    if (std::isnan(Value)) return;
    if (Loading()) {
        Field = Value;
        return;
    }
    if (Value == Field) return;
    Field = ClampToRange(Value);
    FOFL = false;
    FUFL = false;
    if (Layout.Visible()) {
        // In this order, so that a value equal to both thresholds counts as overflow.
        if (Field >= FHighThreshold) {
            FOFL = true;
            if (OnOverFlow) OnOverFlow(this);
        } else if (Field > FLowThreshold) {
            if (OnNormalRange) OnNormalRange(this);
        } else {
            FUFL = true;
            if (OnUnderFlow) OnUnderFlow(this);
        }
    } else if (!PaintWhenHidden) {
        return;
    }
    Redraw();
}

void TMeter::SetValue(double Value) {
    SetNeedleValue(Value, FValue, *FNeedleLayout, true);
}

void TMeter::SetValueSec(double Value) {
    SetNeedleValue(Value, FValue2, *FNeedle2Layout, false);
}

void TMeter::SetMeterMinValue(double Value) {
    if (!std::isfinite(Value) || (FLogarithmic && Value < kLogFloor)) return;
    if (Loading()) {
        FMinValue = Value;
        return;
    }
    if (Value == FMinValue) return;
    double max = FMaxValue;
    if (max <= Value) max = NumberAbove(Value);
    if (std::isnan(max)) return;
    FMinValue = Value;
    FMaxValue = max;
    FValue = std::max(FValue, FMinValue);
    FValue2 = std::max(FValue2, FMinValue);
    FLowThreshold = std::max(FLowThreshold, FMinValue);
    FHighThreshold = std::max(FHighThreshold, FMinValue);
    Redraw();
}

void TMeter::SetMeterMaxValue(double Value) {
    if (!std::isfinite(Value) || (FLogarithmic && Value < kLogFloor)) return;
    if (Loading()) {
        FMaxValue = Value;
        return;
    }
    if (Value == FMaxValue) return;
    double min = FMinValue;
    if (min >= Value) {
        min = NumberBelow(Value);
        if (std::isnan(min)) return;
        if (FLogarithmic && min <= 0) min = Value / 10;
    }
    FMaxValue = Value;
    FMinValue = min;
    FValue = std::min(FValue, FMaxValue);
    FValue2 = std::min(FValue2, FMaxValue);
    FLowThreshold = std::min(FLowThreshold, FMaxValue);
    FHighThreshold = std::min(FHighThreshold, FMaxValue);
    Redraw();
}

void TMeter::SetThresholdLow(double Value) {
    if (std::isnan(Value) || (FLogarithmic && Value < kLogFloor)) return;
    if (Loading()) {
        FLowThreshold = Value;
        return;
    }
    if (Value == FLowThreshold) return;
    FLowThreshold = ClampToRange(Value);
    if (FLowThreshold > FHighThreshold) FHighThreshold = FLowThreshold;
    FUFL = false;
    if (FValue <= FLowThreshold) {
        FUFL = true;
        if (OnUnderFlow) OnUnderFlow(this);
    }
    Redraw();
}

void TMeter::SetThresholdHigh(double Value) {
    if (std::isnan(Value) || (FLogarithmic && Value < kLogFloor)) return;
    if (Loading()) {
        FHighThreshold = Value;
        return;
    }
    if (Value == FHighThreshold) return;
    FHighThreshold = ClampToRange(Value);
    if (FHighThreshold < FLowThreshold) FLowThreshold = FHighThreshold;
    FOFL = false;
    if (FValue >= FHighThreshold) {
        FOFL = true;
        if (OnOverFlow) OnOverFlow(this);
    }
    Redraw();
}

void TMeter::SetLogarithmic(bool Value) {
    if (Loading()) {
        FLogarithmic = Value;
        return;
    }
    if (Value == FLogarithmic) return;
    FLogarithmic = (kLogFloor >= FMinValue || kLogFloor >= FMaxValue) ? false : Value;
    Redraw();
}

// ---------------------------------------------------------------------------------------
// Scale setters

void TMeter::SetMeterLayout(TMeterLayout Value) {
    if (Value == FMeterLayout) return;
    FMeterLayout = Value;
    CalcMeterLayoutParams();
    Redraw();
}

void TMeter::SetMeterNrTicks(int Value) {
    if (Value == FNrTicks) return;
    FNrTicks = std::clamp(Value, 2, 21);
    Redraw();
}

void TMeter::SetMeterDecPlaces(int Value) {
    if (Value == FDecPlaces) return;
    FDecPlaces = std::clamp(Value, 0, 4);
    Redraw();
}

#define KOVO_METER_SETTER(Name, Type, Field) \
    void TMeter::Set##Name(Type Value) {     \
        if (Field == Value) return;          \
        Field = Value;                       \
        Redraw();                            \
    }

KOVO_METER_SETTER(MeterShortTicks, bool, FShortTicks)
KOVO_METER_SETTER(MeterScaleLine, bool, FScaleLine)
KOVO_METER_SETTER(AnchorCovered, bool, FAnchorCovrd)
KOVO_METER_SETTER(AnchorSize, int, FSizeAnchor)
KOVO_METER_SETTER(ColorBakG, TColor, FColorBakG)
KOVO_METER_SETTER(ColorCover, TColor, FColorCover)
KOVO_METER_SETTER(ColorScale, TColor, FColorScale)
KOVO_METER_SETTER(ColorSclBkLow, TColor, FColorBakGLow)
KOVO_METER_SETTER(ColorSclBkNorm, TColor, FColorBakGNorm)
KOVO_METER_SETTER(ColorSclBkHigh, TColor, FColorBakGHigh)
KOVO_METER_SETTER(FrameStyle, TFrameStyle, FFrameStyle)
KOVO_METER_SETTER(LimWatchHighOn, bool, FLimWatHighOn)
KOVO_METER_SETTER(LimWatchLowOn, bool, FLimWatLowOn)
KOVO_METER_SETTER(LimWatchActColor, TColor, FLimWatActCol)
KOVO_METER_SETTER(LimWatchPsvColor, TColor, FLimWatPsvCol)

#undef KOVO_METER_SETTER

void TMeter::SetScaleVisible(bool Value) {
    FScaleVis = Value;
    Redraw();
}

bool TMeter::SetRim(int& Field, int Value) {
    if (Field == Value) return false;
    Field = Value;
    CalcMeterLayoutParams();
    Redraw();
    return true;
}

void TMeter::SetRimTop(int Value) {
    SetRim(FTRim, Value);
}

void TMeter::SetRimBottom(int Value) {
    SetRim(FBRim, Value);
}

void TMeter::SetRimSide(int Value) {
    SetRim(FSRim, Value);
}

// ---------------------------------------------------------------------------------------
// Appearance setters

void TMeter::SetText(const std::string& Value) {
    FCaption = Value;
    Redraw();
}

void TMeter::SetColorScheme(TColorScheme Value) {
    if (FLines.SetColorScheme(Value)) Redraw();
}

void TMeter::SetBkgndFillMode(TBkgFill Value) {
    FBGFillMode = Value;
    Redraw();
}

void TMeter::SetFontCaption(TFont* Value) {
    if (Value && Value != FFontCaption.get()) FFontCaption->Assign(Value);
    Redraw();
}

void TMeter::SetNeedleLayout(const TNeedleLayout* Value) {
    if (Value && Value != FNeedleLayout.get()) FNeedleLayout->CopyValues(*Value);
    Redraw();
}

void TMeter::SetNeedleLayoutSec(const TNeedleLayout* Value) {
    if (Value && Value != FNeedle2Layout.get()) FNeedle2Layout->CopyValues(*Value);
    Redraw();
}

void TMeter::SetScaleBkWidth(double Value) {
    if (std::isnan(Value)) return;
    FScaleBakWidth = std::clamp(Value, 0.0, 100.0);
    Redraw();
}

void TMeter::SetScaleBkVisible(bool Value) {
    FScaleBkVis = Value;
    Redraw();
}

// ---------------------------------------------------------------------------------------
// Image files

void TMeter::SetBackGroundImg(const std::string& Value) {
    if (Loading()) {
        FBakGndFName = Value;  // Loaded reads the file
        return;
    }
    FBakGndFName = Value;
    LoadBackground(false);
    Redraw();
}

void TMeter::SetAnchorImage(const std::string& Value) {
    if (Loading()) {
        FACoverFName = Value;
        return;
    }
    FACoverFName = Value;
    LoadAnchor();
    Redraw();
}

void TMeter::LoadBackground(bool Guarded) {
    if (FBakGndFName.empty()) return;
    if (!FileExists(FBakGndFName)) {
        FBakGndFName.clear();
        return;
    }
    if (!Guarded) {
        AuxBGBmp->LoadFromFile(FBakGndFName);  // the error reaches the caller, name kept
        return;
    }
    try {
        AuxBGBmp->LoadFromFile(FBakGndFName);
    } catch (const Exception&) {
        FBakGndFName.clear();
    }
}

void TMeter::LoadAnchor() {
    if (FACoverFName.empty()) return;
    if (!FileExists(FACoverFName)) {
        FACoverFName.clear();
        return;
    }
    for (TBitmap* target : {AuxACBmp.get(), AuxACMaskBmp.get()}) {
        try {
            target->LoadFromFile(FACoverFName);
        } catch (const Exception&) {
            FACoverFName.clear();
            return;
        }
    }
    BuildAnchorMask();
}

// The mask keeps the dial where the image is black and clears it elsewhere, so that
// and-ing the mask and then or-ing the image puts the image on the dial with its black
// parts transparent. An 8-bit image is taken byte by byte (index 0 transparent, with the
// standard palette's white at 255 and black at 0); any other format pixel by pixel.
void TMeter::BuildAnchorMask() {
    TBitmap& mask = *AuxACMaskBmp;
    if (mask.Empty()) return;
    if (mask.PixelFormat() == pf8bit) {
        for (int y = 0; y < mask.Height(); ++y) {
            auto* row = static_cast<uint8_t*>(mask.ScanLine(y));
            for (int x = 0; x < mask.Width(); ++x) row[x] = row[x] == 0 ? 0xFF : 0x00;
        }
        return;
    }
    mask.SetPixelFormat(pf32bit);
    TSurface& s = mask.MutableSurface();
    for (int y = 0; y < s.Height(); ++y) {
        TPixel* row = s.Row(y);
        for (int x = 0; x < s.Width(); ++x) row[x] = (row[x] & 0xFFFFFF) == 0 ? 0xFFFFFF : 0;
    }
}

// ---------------------------------------------------------------------------------------
// Mouse

void TMeter::WMMouseMove(TMessage& Message) {
    TGraphicControl::WMMouseMove(Message);
    double value = 0;
    bool within =
        ConvertPixelToValue(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam), value);
    if (OnMouseMoveInMeter)
        OnMouseMoveInMeter(this, within, KeysToShiftState(Message.WParam), value);
}

}  // namespace kovo
