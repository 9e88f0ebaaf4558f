// The meter's model: layout parameters, the value/angle/pixel mappings, the major step rule,
// the setters with their clamping and the limit events, loading and the mouse report.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "host/Component.h"
#include "host/platform/Headless.h"
#include "instruments/Meter.h"

using namespace kovo;

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;

struct MeterFixture : ::testing::Test {
    TMeter m{nullptr};
    int paints = 0;
    std::vector<std::string> events;

    void SetUp() override {
        m.OnMeterRendered = [this](TObject*, TCanvas*) { ++paints; };
        m.OnOverFlow = [this](TObject* s) {
            EXPECT_EQ(s, &m);
            events.push_back("over");
        };
        m.OnUnderFlow = [this](TObject*) { events.push_back("under"); };
        m.OnNormalRange = [this](TObject*) { events.push_back("normal"); };
    }
    // The scale angle A, from the needle angles of the range ends.
    double ScaleAngle() { return m.CalcNeedleAngle(1e300) - m.CalcNeedleAngle(-1e300); }
};

// ---------------------------------------------------------------------------------------
// Layout parameters

struct LayoutCase {
    TMeterLayout layout;
    int w, h;
    int cx, cy;
    double r;
    double angle;
};

TEST_F(MeterFixture, LayoutParametersFollowSizeLayoutAndRims) {
    const LayoutCase cases[] = {
        {mlCirc90, 297, 209, 148, 191, 175, 90},
        {mlCirc120, 297, 209, 148, 191, 150.68835, 120},
        {mlCirc300, 200, 200, 100, 98, 82, 300},
        {mlCirc300, 297, 209, 148, 110, 175 / 1.866, 300},
        // Half circle on the bottom rim: 8 pixels from the side rims to the arc's ends.
        {mlCirc180, 297, 209, 148, 191, 130.5, 180},
        {mlCirc180, 600, 209, 300, 191, 175, 180},
        // Full-width circles as for mlCirc300, limited by the height their lowest point
        // needs (the ends 45 degrees below the centre, the circle's bottom).
        {mlCirc270, 297, 209, 148, 119, 175 / (1 + std::sqrt(0.5)), 270},
        {mlCirc270, 200, 400, 100, 98, 82, 270},
        {mlCirc360, 297, 209, 148, 104, 87.5, 360},
        {mlCirc360, 200, 400, 100, 98, 82, 360},
        // An unknown layout keeps the defaults.
        {TMeterLayout(9), 297, 209, 148, 191, 175, 90},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "layout " << int(c.layout) << " " << c.w << "x" << c.h);
        m.SetMeterLayout(c.layout);
        m.SetBounds(0, 0, c.w, c.h);
        EXPECT_EQ(m.OriginX(), c.cx);
        EXPECT_EQ(m.OriginY(), c.cy);
        EXPECT_NEAR(m.ScaleRadius(), c.r, 1e-4);
        EXPECT_DOUBLE_EQ(ScaleAngle(), c.angle);
    }
}

// The layouts with a rule of their own keep the whole arc 8 pixels inside the rims.
TEST_F(MeterFixture, ArcsStayInsideTheRims) {
    const TMeterLayout layouts[] = {mlCirc120, mlCirc180, mlCirc270, mlCirc300, mlCirc360};
    const int sizes[][2] = {{297, 209}, {200, 400}, {640, 200}, {120, 120}};
    m.SetRimTop(6);
    m.SetRimBottom(12);
    m.SetRimSide(9);
    for (TMeterLayout layout : layouts)
        for (auto& size : sizes) {
            SCOPED_TRACE(testing::Message()
                         << "layout " << int(layout) << " " << size[0] << "x" << size[1]);
            m.SetMeterLayout(layout);
            m.SetBounds(0, 0, size[0], size[1]);
            const double A = ScaleAngle(), R = m.ScaleRadius();
            ASSERT_GT(R, 0);
            for (double a = 90 - A / 2; a <= 90 + A / 2 + 1e-9; a += 1) {
                double x = m.OriginX() + R * std::cos(a * kDeg);
                double y = m.OriginY() - R * std::sin(a * kDeg);
                ASSERT_GE(x, 9 + 8 - 1) << "angle " << a;
                ASSERT_LE(x, size[0] - 9 - 8 + 1) << "angle " << a;
                ASSERT_GE(y, 6 + 8 - 1) << "angle " << a;
                ASSERT_LE(y, size[1] - 12 - 8 + 1) << "angle " << a;
            }
        }
}

TEST_F(MeterFixture, RimsAndBoundsRecomputeTheLayout) {
    m.SetRimBottom(20);
    EXPECT_EQ(m.OriginY(), 209 - 20 - 8);
    EXPECT_DOUBLE_EQ(m.ScaleRadius(), 209 - 20 - 8 - 16);
    m.SetRimTop(0);
    EXPECT_DOUBLE_EQ(m.ScaleRadius(), 209 - 20 - 16);
    m.SetWidth(101);
    EXPECT_EQ(m.OriginX(), 50);
    m.SetHeight(34);
    m.SetRimTop(8);
    m.SetRimBottom(10);
    EXPECT_LE(m.ScaleRadius(), 0);
}

// ---------------------------------------------------------------------------------------
// Value, angle and pixel

TEST_F(MeterFixture, NeedleAngleRunsClockwiseFromSixOClock) {
    EXPECT_DOUBLE_EQ(m.CalcNeedleAngle(0), 135);
    EXPECT_DOUBLE_EQ(m.CalcNeedleAngle(0.5), 180);
    EXPECT_DOUBLE_EQ(m.CalcNeedleAngle(1), 225);
    EXPECT_DOUBLE_EQ(m.CalcNeedleAngle(-7), 135);  // clamped
    EXPECT_DOUBLE_EQ(m.CalcNeedleAngle(7), 225);
    m.SetMeterMaxValue(1000);
    m.SetMeterMinValue(1);
    m.SetLogarithmic(true);
    ASSERT_TRUE(m.Logarithmic());
    EXPECT_NEAR(m.CalcNeedleAngle(std::sqrt(1000.0)), 180, 1e-9);
    EXPECT_NEAR(m.CalcNeedleAngle(10), 135 + 30, 1e-9);
}

TEST_F(MeterFixture, PixelCoordinatesOfValues) {
    int x = 0, y = 0;
    m.ConvertToPixelCoords(0, 100, x, y);  // left end of the arc
    EXPECT_EQ(x, int(std::nearbyint(148 + 175 * std::cos(135 * kDeg))));
    EXPECT_EQ(y, int(std::nearbyint(191 - 175 * std::sin(135 * kDeg))));
    EXPECT_EQ(x, 24);
    EXPECT_EQ(y, 67);
    m.ConvertToPixelCoords(1, 50, x, y);  // half-way to the centre at the right end
    EXPECT_EQ(x, 210);
    EXPECT_EQ(y, 129);
    m.ConvertToPixelCoords(0.5, 100, x, y);
    EXPECT_EQ(x, 148);
    EXPECT_EQ(y, 16);
    m.ConvertToPixelCoords(99, 0, x, y);
    EXPECT_EQ(x, 148);
    EXPECT_EQ(y, 191);
}

struct PixelCase {
    TMeterLayout layout;
    int dx, dy;  // from the centre
    bool within;
    double value;
};

TEST_F(MeterFixture, PixelToValue) {
    const PixelCase cases[] = {
        {mlCirc90, 0, 0, true, 0.5},    // the centre counts as straight up
        {mlCirc90, 0, -50, true, 0.5},  // distance does not matter
        {mlCirc90, 0, -500, true, 0.5},
        {mlCirc90, -9, -10, true, 0.03347541671314818},  // just inside the left end
        {mlCirc90, 9, -10, true, 0.9665245832868519},
        {mlCirc90, -10, -9, false, 0},  // just outside the sector
        {mlCirc90, 0, 30, false, 0},    // straight down
        {mlCirc90, 40, 0, false, 0},    // to the right
        {mlCirc300, 0, 30, false, 0},
        {mlCirc300, -40, 0, true, 0.5 - 90.0 / 300},
        {mlCirc360, 0, 30, true, 0},  // straight down: the start of a full circle
        {mlCirc360, 40, 0, true, 0.75},
    };
    for (const PixelCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "layout " << int(c.layout) << " at " << c.dx << "," << c.dy);
        m.SetMeterLayout(c.layout);
        double v = -1;
        EXPECT_EQ(m.ConvertPixelToValue(m.OriginX() + c.dx, m.OriginY() + c.dy, v), c.within);
        EXPECT_NEAR(v, c.value, 1e-12);
    }
}

TEST_F(MeterFixture, PixelToValueInvertsValueToPixel) {
    for (TMeterLayout layout : {mlCirc90, mlCirc120, mlCirc180, mlCirc270, mlCirc300, mlCirc360})
        for (bool log : {false, true}) {
            m.SetMeterLayout(layout);
            m.SetLogarithmic(false);
            m.SetMeterMaxValue(log ? 1000 : 40);
            m.SetMeterMinValue(log ? 1 : -10);
            m.SetLogarithmic(log);
            for (double f : {0.05, 0.3, 0.5, 0.77, 0.95}) {
                double v = log ? std::pow(1000.0, f) : -10 + 50 * f;
                int x, y;
                m.ConvertToPixelCoords(v, 100, x, y);
                double back = 0;
                ASSERT_TRUE(m.ConvertPixelToValue(x, y, back)) << layout << " " << v;
                // One pixel on the arc is at most about 1/R radians.
                double span = log ? std::log(1000.0) : 50;
                double got = log ? std::log(back) : back, want = log ? std::log(v) : v;
                EXPECT_NEAR(got, want, span * 2.0 / m.ScaleRadius()) << layout << " " << v;
            }
        }
}

TEST_F(MeterFixture, PixelToValueOnALogarithmicScale) {
    m.SetMeterMaxValue(1000);
    m.SetMeterMinValue(1);
    m.SetLogarithmic(true);
    double v = 0;
    ASSERT_TRUE(m.ConvertPixelToValue(m.OriginX(), m.OriginY(), v));
    EXPECT_NEAR(v, std::sqrt(1000.0), 1e-9);
}

// ---------------------------------------------------------------------------------------
// Major step rule

struct StepCase {
    int n;
    double lo, hi;
    double first, step;
    int nsub;
};

TEST(MeterScaleSteps, StepRule) {
    const StepCase cases[] = {
        {3, 0, 1, 0, 0.2, 4},
        {3, 0, 100, 0, 20, 4},
        {10, 0, 1, 0, 0.1, 5},   // a raw step of exactly a power of ten
        {4, 0, 10, 0, 2, 4},     // raw 2.5
        {3, -1, 1, -1, 0.5, 5},  // raw 0.667, below 1: decade -1, mantissa 5
        {5, 3, 8, 3, 1, 5},      // First is the first step multiple at or above lo
        {3, 0.5, 0.8, 0.5, 0.1, 5},
        {3, 0.07, 1, 0.2, 0.2, 4},  // lo between multiples: First is the next one up
        {3, 1, 1000, 200, 200, 4},
        {21, 0, 1e6, 0, 20000, 4},
        // The boundaries of the mantissa bands belong to the band below them: a raw step of
        // exactly 2 or 5 gives 1 or 2.
        {5, 0, 10, 0, 1, 5},
        {2, 0, 10, 0, 2, 4},
        {2, 1, 1, 1, 0, 1},  // an empty range
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.n << " " << c.lo << ".." << c.hi);
        double first = -99, step = -99;
        int nsub = -99;
        TMeter::CalcScaleSteps(c.n, c.lo, c.hi, first, step, nsub);
        EXPECT_NEAR(step, c.step, 1e-12 * std::fabs(c.step));
        EXPECT_NEAR(first, c.first, 1e-9 * (1 + std::fabs(c.step)));
        EXPECT_EQ(nsub, c.nsub);
    }
}

TEST(MeterScaleSteps, RangesAtTheEdgeOfDoublePrecisionEnd) {
    double first, step;
    int nsub;
    TMeter::CalcScaleSteps(21, 1e20, 1e20 + 16384 * 4, first, step, nsub);
    EXPECT_GT(step, 0);
    TMeter::CalcScaleSteps(3, -1e308, 1e308, first, step, nsub);  // the span overflows
    EXPECT_EQ(step, 0);
}

// ---------------------------------------------------------------------------------------
// Setters

TEST_F(MeterFixture, TickAndDecimalCountsAreClamped) {
    const int ticks[][2] = {{1, 2}, {30, 21}, {5, 5}, {-4, 2}, {21, 21}};
    for (auto& c : ticks) {
        m.SetMeterNrTicks(c[0]);
        EXPECT_EQ(m.MeterNrTicks(), c[1]) << c[0];
    }
    const int decimals[][2] = {{-1, 0}, {9, 4}, {2, 2}};
    for (auto& c : decimals) {
        m.SetMeterDecPlaces(c[0]);
        EXPECT_EQ(m.MeterDecPlaces(), c[1]) << c[0];
    }
}

struct ValueCase {
    double low, high, value;
    double stored;
    const char* event;
    bool over, under;
};

TEST_F(MeterFixture, ValueSetterRaisesTheLimitEvents) {
    const ValueCase cases[] = {
        {0.3, 0.7, 0.9, 0.9, "over", true, false},
        {0.3, 0.7, 0.7, 0.7, "over", true, false},
        {0.3, 0.7, 0.5, 0.5, "normal", false, false},
        {0.3, 0.7, 0.3, 0.3, "under", false, true},
        {0.3, 0.7, 0.1, 0.1, "under", false, true},
        {0.3, 0.7, 5, 1, "over", true, false},  // above Max: Max
        {0.3, 0.7, -3, 0, "under", false, true},
        {0.5, 0.5, 0.5, 0.5, "over", true, false},  // equal to both: overflow first
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.low << ".." << c.high << " value " << c.value);
        m.SetValue(0.42);
        m.SetThresholdHigh(c.high);
        m.SetThresholdLow(c.low);
        m.SetThresholdHigh(c.high);
        m.SetValue(0.4242);  // leave the flags of the thresholds behind
        events.clear();
        paints = 0;
        m.SetValue(c.value);
        EXPECT_DOUBLE_EQ(m.Value(), c.stored);
        EXPECT_EQ(events, std::vector<std::string>{c.event});
        EXPECT_EQ(m.Overflow(), c.over);
        EXPECT_EQ(m.Underflow(), c.under);
        EXPECT_EQ(paints, 1);
    }
}

TEST_F(MeterFixture, AnUnchangedValueDoesNothing) {
    m.SetValue(0.5);
    events.clear();
    paints = 0;
    m.SetValue(0.5);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(paints, 0);
    m.SetValue(NAN);  // not a number: ignored
    EXPECT_DOUBLE_EQ(m.Value(), 0.5);
    EXPECT_EQ(paints, 0);
}

TEST_F(MeterFixture, HiddenNeedlesRaiseNoEventsAndClearTheFlags) {
    m.SetValue(1);
    ASSERT_TRUE(m.Overflow());
    m.NeedleLayout()->SetVisible(false);
    events.clear();
    paints = 0;
    m.SetValue(0.9);
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(m.Overflow());
    EXPECT_FALSE(m.Underflow());
    EXPECT_EQ(paints, 1);  // the primary value repaints all the same

    // The secondary needle is hidden at first: its value is stored and clears the shared
    // flags, with neither event nor repaint.
    m.NeedleLayout()->SetVisible(true);
    m.SetValue(0);
    ASSERT_TRUE(m.Underflow());
    events.clear();
    paints = 0;
    m.SetValueSec(0.6);
    EXPECT_DOUBLE_EQ(m.ValueSec(), 0.6);
    EXPECT_FALSE(m.Underflow());
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(paints, 0);

    m.NeedleLayoutSec()->SetVisible(true);
    paints = 0;
    m.SetValueSec(7);
    EXPECT_DOUBLE_EQ(m.ValueSec(), 1);
    EXPECT_EQ(events, std::vector<std::string>{"over"});
    EXPECT_TRUE(m.Overflow());
    EXPECT_EQ(paints, 1);
}

TEST_F(MeterFixture, RaisingMinPushesEverythingUp) {
    m.SetValue(0.2);
    m.SetThresholdLow(0.1);
    m.SetThresholdHigh(0.9);
    events.clear();
    m.SetMeterMinValue(5);
    EXPECT_DOUBLE_EQ(m.MeterMinValue(), 5);
    EXPECT_DOUBLE_EQ(m.MeterMaxValue(), 6);
    EXPECT_DOUBLE_EQ(m.Value(), 5);
    EXPECT_DOUBLE_EQ(m.ValueSec(), 5);
    EXPECT_DOUBLE_EQ(m.ThresholdLow(), 5);
    EXPECT_DOUBLE_EQ(m.ThresholdHigh(), 5);
    EXPECT_TRUE(events.empty());  // no event, flags untouched
    EXPECT_FALSE(m.Overflow());
}

TEST_F(MeterFixture, LoweringMaxBelowMinOnALogarithmicScale) {
    m.SetMeterMaxValue(10);
    m.SetMeterMinValue(1);
    m.SetLogarithmic(true);
    m.SetValue(8);
    m.SetMeterMaxValue(0.5);
    EXPECT_DOUBLE_EQ(m.MeterMaxValue(), 0.5);
    EXPECT_DOUBLE_EQ(m.MeterMinValue(), 0.05);  // 0.5 - 1 is not positive
    EXPECT_DOUBLE_EQ(m.Value(), 0.5);
    EXPECT_DOUBLE_EQ(m.ThresholdHigh(), 0.5);
    EXPECT_DOUBLE_EQ(m.ThresholdLow(), 0.5);
    EXPECT_TRUE(m.Logarithmic());

    m.SetLogarithmic(false);
    m.SetMeterMaxValue(-3);  // linear: Min becomes Max - 1
    EXPECT_DOUBLE_EQ(m.MeterMinValue(), -4);
}

TEST_F(MeterFixture, LogarithmicNeedsAPositiveRange) {
    m.SetLogarithmic(true);
    EXPECT_FALSE(m.Logarithmic());  // Min is 0
    m.SetMeterMaxValue(1000);
    m.SetMeterMinValue(1);
    paints = 0;
    m.SetLogarithmic(true);
    EXPECT_TRUE(m.Logarithmic());
    EXPECT_EQ(paints, 1);
    // Numbers below 1e-100 are ignored by the range and threshold setters.
    m.SetMeterMinValue(0);
    m.SetMeterMinValue(-5);
    m.SetThresholdLow(1e-101);
    m.SetMeterMaxValue(0);
    EXPECT_DOUBLE_EQ(m.MeterMinValue(), 1);
    EXPECT_DOUBLE_EQ(m.MeterMaxValue(), 1000);
    EXPECT_DOUBLE_EQ(m.ThresholdLow(), 1);
}

TEST_F(MeterFixture, ThresholdsStayOrderedAndInRange) {
    m.SetMeterMaxValue(10);
    m.SetThresholdHigh(4);
    m.SetThresholdLow(6);  // above High: High follows
    EXPECT_DOUBLE_EQ(m.ThresholdLow(), 6);
    EXPECT_DOUBLE_EQ(m.ThresholdHigh(), 6);
    m.SetThresholdHigh(2);  // below Low: Low follows
    EXPECT_DOUBLE_EQ(m.ThresholdLow(), 2);
    EXPECT_DOUBLE_EQ(m.ThresholdHigh(), 2);
    m.SetThresholdHigh(50);
    EXPECT_DOUBLE_EQ(m.ThresholdHigh(), 10);
    m.SetThresholdLow(-50);
    EXPECT_DOUBLE_EQ(m.ThresholdLow(), 0);
}

TEST_F(MeterFixture, ThresholdSettersTestThePrimaryValue) {
    m.SetValue(0.5);
    m.NeedleLayout()->SetVisible(false);  // not looked at by the threshold setters
    events.clear();
    m.SetThresholdLow(0.6);
    EXPECT_EQ(events, std::vector<std::string>{"under"});
    EXPECT_TRUE(m.Underflow());
    events.clear();
    m.SetThresholdLow(0.2);
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(m.Underflow());
    m.SetThresholdHigh(0.4);
    EXPECT_EQ(events, std::vector<std::string>{"over"});
    EXPECT_TRUE(m.Overflow());
    events.clear();
    m.SetThresholdHigh(0.8);
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(m.Overflow());
}

TEST_F(MeterFixture, LoadingStoresWithoutTestsAndClampsValueOnce) {
    {
        TLoadingScope scope(&m);
        m.SetMeterMaxValue(10);
        m.SetValue(50);
        m.SetValueSec(50);
        m.SetThresholdHigh(80);
        m.SetMeterMinValue(-20);
        m.SetLogarithmic(true);  // stored as given while loading
        EXPECT_DOUBLE_EQ(m.Value(), 50);
        EXPECT_TRUE(events.empty());
        EXPECT_EQ(paints, 0);
        m.SetLogarithmic(false);
    }
    EXPECT_DOUBLE_EQ(m.Value(), 10);
    EXPECT_DOUBLE_EQ(m.ValueSec(), 50);  // only Value is clamped
    EXPECT_DOUBLE_EQ(m.ThresholdHigh(), 80);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(paints, 1);  // Loaded paints once
}

TEST_F(MeterFixture, NeedleLayoutSettersClampAndNotify) {
    TNeedleLayout* l = m.NeedleLayout();
    paints = 0;
    l->SetPercentNeedleLength(150);
    EXPECT_EQ(l->PercentNeedleLength(), 100);  // clamped before the comparison: no change
    EXPECT_EQ(paints, 0);
    l->SetPercentNeedleLength(-5);
    EXPECT_EQ(l->PercentNeedleLength(), 0);
    l->SetHeadAngle(200);
    EXPECT_EQ(l->HeadAngle(), 180);
    l->SetHeadAngle(-1);
    EXPECT_EQ(l->HeadAngle(), 0);
    l->SetThickness(-3);  // any integer
    EXPECT_EQ(l->Thickness(), -3);
    EXPECT_EQ(paints, 4);
    l->SetThickness(-3);
    EXPECT_EQ(paints, 4);
}

TEST_F(MeterFixture, LayoutSettersCopyValuesAndKeepTheOwnHandler) {
    TNeedleLayout other;
    int otherChanges = 0;
    other.OnChange = [&](TObject*) { ++otherChanges; };
    other.SetColorBody(clRed);
    other.SetHeadSize(7);
    other.SetShadowDx(2);
    other.SetVisible(false);
    otherChanges = 0;
    paints = 0;
    m.SetNeedleLayoutSec(&other);
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(m.NeedleLayoutSec()->ColorBody(), clRed);
    EXPECT_EQ(m.NeedleLayoutSec()->HeadSize(), 7);
    EXPECT_EQ(m.NeedleLayoutSec()->ShadowDx(), 2);
    EXPECT_FALSE(m.NeedleLayoutSec()->Visible());
    m.NeedleLayoutSec()->SetHeadSize(9);  // the meter's handler is still in place
    EXPECT_EQ(paints, 2);
    EXPECT_EQ(otherChanges, 0);
    EXPECT_EQ(other.HeadSize(), 7);
}

TEST_F(MeterFixture, DefaultsAfterConstruction) {
    EXPECT_EQ(m.Width(), 297);
    EXPECT_EQ(m.Height(), 209);
    EXPECT_EQ(m.MeterLayout(), mlCirc90);
    EXPECT_EQ(m.MeterNrTicks(), 3);
    EXPECT_EQ(m.MeterDecPlaces(), 1);
    EXPECT_EQ(m.RimTop(), 8);
    EXPECT_EQ(m.RimBottom(), 10);
    EXPECT_EQ(m.RimSide(), 10);
    EXPECT_DOUBLE_EQ(m.MeterMaxValue(), 1);
    EXPECT_DOUBLE_EQ(m.ThresholdHigh(), 1);
    EXPECT_TRUE(m.NeedleLayout()->Visible());
    EXPECT_FALSE(m.NeedleLayoutSec()->Visible());
    EXPECT_EQ(m.FrameStyle(), fsRaised);
    EXPECT_EQ(m.ColorCover(), clBtnFace);
    EXPECT_EQ(m.AnchorSize(), 24);
    EXPECT_EQ(m.FontCaption()->Name(), m.Font()->Name());
    EXPECT_EQ(m.FontCaption()->Size(), m.Font()->Size());
}

TEST_F(MeterFixture, CaptionIsTheControlText) {
    paints = 0;
    m.SetCaption("kPa");
    EXPECT_EQ(m.Caption(), "kPa");
    EXPECT_EQ(m.Text(), "kPa");
    EXPECT_EQ(paints, 1);
}

TEST_F(MeterFixture, ColorSchemeSetsTheLineColoursOnce) {
    paints = 0;
    m.SetColorScheme(csFixed);
    EXPECT_EQ(paints, 0);
    m.SetColorScheme(TColorScheme(7));
    EXPECT_EQ(paints, 1);
}

// ---------------------------------------------------------------------------------------
// Mouse

TEST_F(MeterFixture, MouseMovesReportTheValueUnderTheMouse) {
    std::vector<std::string> log;
    m.OnMouseMove = [&](TObject*, TShiftState, int X, int Y) {
        log.push_back("move " + std::to_string(X) + "," + std::to_string(Y));
    };
    bool within = false;
    double value = -1;
    TShiftState shift;
    m.OnMouseMoveInMeter = [&](TObject* s, bool w, TShiftState sh, double v) {
        EXPECT_EQ(s, &m);
        log.push_back("meter");
        within = w;
        shift = sh;
        value = v;
    };
    Headless::MouseMove(&m, 148, 100, TShiftState{ssShift});
    EXPECT_EQ(log, (std::vector<std::string>{"move 148,100", "meter"}));
    EXPECT_TRUE(within);
    EXPECT_NEAR(value, 0.5, 1e-9);
    EXPECT_TRUE(shift.contains(ssShift));
    Headless::MouseMove(&m, 290, 190);
    EXPECT_FALSE(within);
    EXPECT_EQ(value, 0);
}

}  // namespace
