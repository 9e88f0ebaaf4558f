#include <gtest/gtest.h>

#include <functional>

#include "foundation/kovobase.h"
#include "host/StyleServices.h"

using namespace kovo;

namespace {

std::unique_ptr<TComponent> Named(const std::string& Name) {
    auto c = std::make_unique<TComponent>(nullptr);
    c->SetName(Name);
    return c;
}

template <class E>
void ExpectUnitError(const char* Reason) {
    auto c = Named("Meter1");
    try {
        RaiseKovoError<E>(c.get(), Reason);
        FAIL() << "nothing raised";
    } catch (const EKovoError& e) {
        EXPECT_NE(dynamic_cast<const E*>(&e), nullptr);
        EXPECT_EQ(e.Message(), std::string("Component \"Meter1\": ") + Reason);
    }
}

}  // namespace

TEST(KovoError, EveryUnitClassCarriesTheOneMessageForm) {
    ExpectUnitError<EKovoNumIO2Error>("integer overflow");
    ExpectUnitError<EKovoRLDataError>("failed to initialize (out of memory)");
    ExpectUnitError<EKovoRepListError>("not enough memory on heap");
    ExpectUnitError<EKovoNTabedError>("failed to initialize table editor (out of memory)");
    ExpectUnitError<EKovoRasterLabError>("no timer available");
    ExpectUnitError<EKovoRepSpeedButton>("no timer available");
    ExpectUnitError<EKovoProgBar>("no timer available");
}

TEST(KovoError, IsAHostExceptionAndToleratesAMissingComponent) {
    EKovoError e(nullptr, "x");
    EXPECT_EQ(e.Message(), "Component \"\": x");
    const Exception& base = e;
    EXPECT_STREQ(base.what(), "Component \"\": x");
    EXPECT_EQ(KovoErrorMessage("A", "b"), "Component \"A\": b");
}

TEST(LineColors, SchemeRuleSetsTheTwoDependentLinesAndReportsChanges) {
    TLineColors lines;
    EXPECT_EQ(lines.FColorScheme, csFixed);
    EXPECT_EQ(lines.FColBlackLine, clBlack);
    EXPECT_EQ(lines.FColGrayLine, clGray);
    EXPECT_EQ(lines.FColWhiteLine, clWhite);
    EXPECT_FALSE(lines.SetColorScheme(csFixed));  // unchanged: no redraw

    EXPECT_TRUE(lines.SetColorScheme(csSystem));
    EXPECT_EQ(lines.FColGrayLine, clBtnShadow);
    EXPECT_EQ(lines.FColWhiteLine, clBtnHighlight);
    EXPECT_FALSE(lines.SetColorScheme(csSystem));

    // Any ordinal other than 0 counts as the system scheme.
    EXPECT_TRUE(lines.SetColorScheme(TColorScheme(7)));
    EXPECT_EQ(lines.FColGrayLine, clBtnShadow);
    EXPECT_TRUE(lines.SetColorScheme(csFixed));
    EXPECT_EQ(lines.FColGrayLine, clGray);
    EXPECT_EQ(lines.FColWhiteLine, clWhite);
    EXPECT_EQ(lines.FColBlackLine, clBlack);
}

TEST(FrameWidth, FollowsTheStyleTable) {
    const std::pair<int, int> cases[] = {{fsNone, 0},  {fsSingle, 1}, {fsSunken, 1}, {fsRaised, 1},
                                         {fsRidge, 2}, {fsGroove, 2}, {6, 0},        {255, 0}};
    for (auto [style, width] : cases) EXPECT_EQ(FrameWidth(TFrameStyle(style)), width) << style;
}

TEST(EnumerationOrdinals, MatchTheirStoredValues) {
    EXPECT_EQ(int(dpBoth), 3);
    EXPECT_EQ(int(lgSpanish), 4);
    EXPECT_EQ(int(drRight), 3);
    EXPECT_EQ(int(orHorizontal), 1);
    EXPECT_EQ(int(bfTile), 2);
    EXPECT_EQ(sizeof(TFrameStyle), 1u);
}

struct StyleFixture : ::testing::Test {
    void TearDown() override { StyleServices()->SetEnabled(false); }
};

TEST_F(StyleFixture, LookupsUseTheStyleOnlyWhenOnAndTheElementIsAsked) {
    const TStyleElements all{seFont, seClient, seBorder};
    EXPECT_EQ(StyledColor(all, clRed, scWindow), clRed);
    EXPECT_EQ(StyledFontColor(all, clBlue, sfPanelTextNormal), clBlue);
    TBevelColors plain = StyledBevelColors(all);
    EXPECT_EQ(plain.Light, clWhite);
    EXPECT_EQ(plain.Highlight, clSilver);
    EXPECT_EQ(plain.Shadow, clGray);
    EXPECT_EQ(plain.Dark, clBlack);

    StyleServices()->SetEnabled(true);
    auto* s = StyleServices();
    EXPECT_EQ(StyledColor(all, clRed, scWindow), s->GetStyleColor(scWindow));
    EXPECT_EQ(StyledFontColor(all, clBlue, sfPanelTextNormal),
              s->GetStyleFontColor(sfPanelTextNormal));
    TBevelColors styled = StyledBevelColors(all);
    EXPECT_EQ(styled.Light, s->GetSystemColor(cl3DLight));
    EXPECT_EQ(styled.Highlight, s->GetSystemColor(clBtnHighlight));
    EXPECT_EQ(styled.Shadow, s->GetSystemColor(clBtnShadow));
    EXPECT_EQ(styled.Dark, s->GetSystemColor(cl3DDkShadow));

    // Without the element the component's own colours stay.
    EXPECT_EQ(StyledColor(TStyleElements{seFont}, clRed, scWindow), clRed);
    EXPECT_EQ(StyledFontColor(TStyleElements{seClient}, clBlue, sfPanelTextNormal), clBlue);
    EXPECT_EQ(StyledBevelColors(TStyleElements{seBorder}).Light, clWhite);
    EXPECT_EQ(StyledBevelColors(TStyleElements{seBorder}, seBorder).Light,
              s->GetSystemColor(cl3DLight));
}

// A component that follows the paint-suppression rule.
struct Painted {
    bool FSuppressPaint = false;
    int paints = 0;
    void SetSuppressPaint(bool Value) {
        if (Value == FSuppressPaint) return;
        FSuppressPaint = Value;
        if (!Value) ++paints;
    }
    void Batch(const std::function<void()>& Work) {
        TPaintBatch batch(FSuppressPaint, [this](bool v) { SetSuppressPaint(v); });
        Work();
    }
};

TEST(PaintBatch, RepaintsOnceWhenPaintingWasOnAndNotAtAllWhenItWasOff) {
    Painted p;
    p.Batch([&] {
        EXPECT_TRUE(p.FSuppressPaint);
        p.Batch([&] {});  // a nested batch does not paint
        EXPECT_EQ(p.paints, 0);
    });
    EXPECT_FALSE(p.FSuppressPaint);
    EXPECT_EQ(p.paints, 1);

    p.FSuppressPaint = true;
    p.Batch([] {});
    EXPECT_TRUE(p.FSuppressPaint);
    EXPECT_EQ(p.paints, 1);
}

TEST(PaintBatch, RestoresWhenTheWorkThrows) {
    Painted p;
    EXPECT_THROW(p.Batch([] { throw Exception("boom"); }), Exception);
    EXPECT_FALSE(p.FSuppressPaint);
    EXPECT_EQ(p.paints, 1);
}

namespace {

struct Shape : TPersistent {
    int value = 0;
    void Assign(TPersistent* Source) override {
        if (auto* s = dynamic_cast<Shape*>(Source)) {
            value = s->value;
            return;
        }
        TPersistent::Assign(Source);
    }
    void CopyTo(TPersistent* Dest) { AssignTo(Dest); }

  protected:
    void AssignTo(TPersistent* Dest) override {
        if (!AssignToSameClass(this, Dest)) TPersistent::AssignTo(Dest);
    }
};
struct Other : TPersistent {};

}  // namespace

TEST(CopyConvention, AssignToHandsOverToTheSameClassAndRefusesOthers) {
    Shape a, b;
    a.value = 42;
    a.CopyTo(&b);
    EXPECT_EQ(b.value, 42);
    Other o;
    try {
        a.CopyTo(&o);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_NE(e.Message().find("Cannot assign"), std::string::npos);
    }
}
