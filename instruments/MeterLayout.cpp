// The meter's scale geometry: centre, radius and angle of each layout, the mappings between
// value, angle and pixel, the major step rule and the tick marks with their label texts.
#include <algorithm>
#include <cmath>

#include "foundation/kovocore.h"
#include "foundation/kovonum.h"
#include "host/SysUtils.h"
#include "instruments/Meter.h"

namespace kovo {

namespace {

constexpr double kRadPerDeg = 3.14159265358979323846 / 180.0;
// The step rule works in extended precision throughout, ln 10 included.
constexpr long double kLn10 = 2.302585092994045684017991454684364208L;
constexpr long double kLog10Of2 = 0.3010299956639812L;
constexpr long double kLog10Of5 = 0.6989700043360189L;
// Nothing the step rule or the decade loop produces comes near this many ticks; it only
// stops a range at the edge of double precision from looping for long.
constexpr int kMaxTicks = 20000;

}  // namespace

int TMeter::Px(double v) {
    if (std::isnan(v)) return 0;
    constexpr double limit = 1 << 28;
    return int(std::nearbyint(std::clamp(v, -limit, limit)));
}

double TMeter::ClampToRange(double v) const {
    if (v > FMaxValue) return FMaxValue;
    if (v < FMinValue) return FMinValue;
    return v;
}

void TMeter::CalcMeterLayoutParams() {
    const int W = Width(), H = Height(), B = FBRim, S = FSRim, T = FTRim;
    FMeterRadius = H - B - T - 16;
    FMeterCenterX = W / 2;
    FMeterCenterY = H - B - 8;
    FMeterAngle = 90;
    // A full-width circle whose lowest point (the scale ends, or its bottom) lies
    // Depth * R below the centre, 8 pixels inside the rims all round.
    auto fitCircle = [&](double Depth) {
        FMeterRadius = (W / 2) - S - 8;
        double h = (H - T - B - 16) / (1.0 + Depth);
        if (h < FMeterRadius) FMeterRadius = h;
        FMeterCenterY = int(Round(T + 8 + FMeterRadius));
    };
    switch (FMeterLayout) {
        case mlCirc90:
            break;
        case mlCirc120: {
            FMeterAngle = 120;
            double d = (W / 2.0 - S - 8) * 1.1547;
            if (d < FMeterRadius) FMeterRadius = d;
            break;
        }
        case mlCirc180: {
            // A half circle standing on the bottom rim; its ends lie at the centre's height.
            FMeterAngle = 180;
            double d = W / 2.0 - S - 8;
            if (d < FMeterRadius) FMeterRadius = d;
            break;
        }
        case mlCirc270:
            FMeterAngle = 270;
            fitCircle(std::sqrt(0.5));  // the ends at 45 degrees below the horizontal
            break;
        case mlCirc300:
            FMeterAngle = 300;
            FMeterRadius = (W / 2) - S - 8;
            {
                double h = (H - T - B - 16) / 1.866;
                if (h < FMeterRadius) FMeterRadius = h;
            }
            FMeterCenterY = int(Round(T + 8 + FMeterRadius));
            break;
        case mlCirc360:
            FMeterAngle = 360;
            fitCircle(1.0);
            break;
    }
}

double TMeter::Fraction(double v, bool UseLog) const {
    if (UseLog)
        return (std::log(v) - std::log(FMinValue)) / (std::log(FMaxValue) - std::log(FMinValue));
    return (v - FMinValue) / (FMaxValue - FMinValue);
}

double TMeter::GuardedDialAngle(double v) const {
    bool useLog = FLogarithmic && v > 0 && FMinValue > 0 && FMaxValue > 0;
    return (FMeterAngle / 2.0 + 90.0 - FMeterAngle * Fraction(v, useLog)) * kRadPerDeg;
}

double TMeter::CalcNeedleAngle(double value) const {
    value = ClampToRange(value);
    return 180.0 - FMeterAngle / 2.0 + FMeterAngle * Fraction(value, FLogarithmic);
}

void TMeter::ConvertToPixelCoords(double value, double pctradius, int& X, int& Y) const {
    value = ClampToRange(value);
    double w = (-90.0 - CalcNeedleAngle(value)) * kRadPerDeg;
    double d = 0.01 * pctradius * FMeterRadius;
    X = Px(FMeterCenterX + d * std::cos(w));
    Y = Px(FMeterCenterY - d * std::sin(w));
}

bool TMeter::ConvertPixelToValue(int XPos, int YPos, double& MeterValue) const {
    const double pi = 3.14159265358979323846;
    double dx = XPos - FMeterCenterX, dy = YPos - FMeterCenterY;
    double t;
    if (dx == 0)
        t = dy > 0 ? pi / 2 : 4.71238898038469;
    else if (dx < 0)
        t = std::atan(dy / dx) + pi;
    else
        t = std::atan(dy / dx);
    if (t < 0) t += 2 * pi;
    if (t > 2 * pi) t -= 2 * pi;
    double g = t * 57.29577951308232 - 90.0;
    if (g < 0) g += 360.0;
    double s = 180.0 - FMeterAngle / 2.0, e = 180.0 + FMeterAngle / 2.0;
    if (g < s || g > e) {
        MeterValue = 0;
        return false;
    }
    double f = (g - s) / FMeterAngle;
    if (FLogarithmic)
        MeterValue =
            std::exp((std::log(FMaxValue) - std::log(FMinValue)) * f + std::log(FMinValue));
    else
        MeterValue = FMinValue + f * (FMaxValue - FMinValue);
    return true;
}

void TMeter::CalcScaleSteps(int N, double Lo, double Hi, double& First, double& Step, int& NSub) {
    const long double lo = Lo, hi = Hi;
    if (lo == hi || N <= 0 || !std::isfinite(double(hi - lo))) {
        First = Lo;
        Step = 0;
        NSub = 1;
        return;
    }
    const long double dir = lo < hi ? 1 : -1;
    long double g = std::log(std::fabs(hi - lo) / N) / kLn10;
    long double h = g - std::trunc(g);
    if (std::fabs(h) < 1e-10L || std::fabs(h) > 0.9999999999L) {
        g = std::nearbyint(g);
        h = 0;
    }
    if (g < 0 && h != 0) g -= 1;
    if (h < 0) h += 1;
    long double mantissa;
    if (h < kLog10Of2 + 1e-10L) {
        mantissa = 1;
        NSub = 5;
    } else if (h < kLog10Of5 + 1e-10L) {
        mantissa = 2;
        NSub = 4;
    } else {
        mantissa = 5;
        NSub = 5;
    }
    const long double step = dir * std::exp(kLn10 * (std::trunc(g) + std::log10(mantissa)));
    long double first = (std::trunc(lo / step) - 1) * step;
    // At the edge of double precision adding a step can stop changing anything.
    for (int i = 0; (lo - first) * dir > 0.001L * std::fabs(step) && i < kMaxTicks; ++i) {
        long double next = first + step;
        if (next == first) break;
        first = next;
    }
    First = double(first);
    Step = double(step);
}

std::string TMeter::TickLabel(double v) const {
    return Str(v, 0, FDecPlaces);
}

std::vector<TMeter::TScaleTick> TMeter::ScaleTicks() const {
    std::vector<TScaleTick> ticks;
    double firstD, stepD;
    int nsub;
    CalcScaleSteps(FNrTicks, FMinValue, FMaxValue, firstD, stepD, nsub);
    const long double first = firstD, step = stepD, lo = FMinValue, hi = FMaxValue;
    // A range that is empty or turned round (possible only as streamed) has no scale.
    if (!(lo < hi) || step == 0 || !std::isfinite(stepD)) return ticks;
    const bool positive = FMinValue > 0 && FMaxValue > 0;
    auto angleOf = [&](long double v, bool useLog) {
        return (FMeterAngle / 2.0 + 90.0 - FMeterAngle * Fraction(double(v), useLog)) * kRadPerDeg;
    };

    if (FShortTicks) {
        const long double minor = step / nsub;
        const long double start = first - step;
        for (int i = 0; i < kMaxTicks; ++i) {
            long double v = start + i * minor;
            long double k = (v - first) / step;
            if (std::fabs(k - std::trunc(k)) > 1e-5L && v >= lo) {
                bool useLog = FLogarithmic && v - lo > 0 && positive;
                ticks.push_back({double(v), angleOf(v, useLog), false, false});
            }
            if (start + (i + 1) * minor - hi > 0.001L * minor) break;
        }
    }

    // Decimal logarithms are natural ones over the package's ln 10, both in double, so that
    // a range of exactly one decade gives exactly 1.
    const bool decades =
        FLogarithmic && positive && std::fabs(std::log(FMaxValue / FMinValue) / uc_ln10) >= 1;
    if (!decades) {
        // Linear values; a logarithmic scale of less than a decade places them by its own
        // fraction.
        const bool useLog = FLogarithmic && positive;
        for (int i = 0; i < kMaxTicks && first + i * step - hi <= 0.001L * step; ++i) {
            long double v = first + i * step;
            ticks.push_back({double(v), angleOf(v, useLog), true, true});
        }
        return ticks;
    }
    const long double q = 0.999999999L;
    const long double e = IntNeg(std::log(double(q * lo)) / uc_ln10);
    const long double D = std::pow(10.0L, e);
    const bool labelAll = hi / lo < 10;
    long double M = 1;
    int count = 0;
    do {
        for (int i = 1; i <= 9; ++i) {
            long double v = i * D * M;
            if (v / q > lo && q * v < hi)
                ticks.push_back(
                    {double(v), angleOf(v, true), true, labelAll || i == 1 || i == 2 || i == 5});
        }
        M *= 10;
    } while (q * D * M <= hi && ++count < kMaxTicks);
    return ticks;
}

}  // namespace kovo
