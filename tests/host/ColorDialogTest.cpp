#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "host/Application.h"
#include "host/ColorDialog.h"
#include "host/Edit.h"
#include "host/SpeedButton.h"
#include "host/platform/Headless.h"

using namespace kovo;

namespace {

struct DialogFixture : ::testing::Test {
    TColorDialog dialog{nullptr};
    TColorDialogForm* seen = nullptr;

    void SetUp() override { Headless::Instance(); }
    void TearDown() override { Headless::SetModalHandler(nullptr); }
    // Runs Execute with a handler that plays the user on the dialog's form.
    bool Run(std::function<void(TColorDialogForm*)> User) {
        Headless::SetModalHandler([this, User](TObject* Subject) {
            seen = dynamic_cast<TColorDialogForm*>(Subject);
            ASSERT_NE(seen, nullptr);
            EXPECT_EQ(dialog.Form(), seen);
            User(seen);
        });
        return dialog.Execute();
    }
    static void ClickSwatch(TColorDialogForm* F, int Index) {
        TRect r = F->Swatches()->SwatchRect(Index);
        Headless::Click(F->Swatches(), r.Left + 4, r.Top + 4);
        Headless::Advance(1000);
    }
};

TEST(BasicColorsTest, FortyEightDistinctColoursWithThePureOnes) {
    const auto& c = BasicColors();
    std::set<TColor> distinct(c.begin(), c.end());
    EXPECT_EQ(distinct.size(), 48u);
    for (TColor pure : {clRed, clYellow, clLime, clAqua, clBlue, clFuchsia, clBlack, clWhite})
        EXPECT_TRUE(distinct.count(pure)) << std::hex << pure;
    EXPECT_EQ(c[16], clRed);  // the pure hues fill the middle row
    EXPECT_EQ(c[40], clBlack);
    EXPECT_EQ(c[47], clWhite);
}

TEST_F(DialogFixture, ASwatchAndOKChooseTheColour) {
    dialog.SetColor(clBlack);
    bool ok = Run([](TColorDialogForm* f) {
        ClickSwatch(f, 21);  // the pure blue of the middle row
        EXPECT_EQ(f->SelectedColor(), clBlue);
        EXPECT_EQ(f->BlueEdit()->Text(), "255");
        EXPECT_EQ(f->RedEdit()->Text(), "0");
        Headless::Click(f->OKButton(), 10, 10);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(dialog.Color(), clBlue);
    EXPECT_EQ(dialog.Form(), nullptr);
}

TEST_F(DialogFixture, CancelAndEscKeepTheColour) {
    dialog.SetColor(clRed);
    EXPECT_FALSE(Run([](TColorDialogForm* f) {
        ClickSwatch(f, 0);
        Headless::Click(f->CancelButton(), 10, 10);
    }));
    EXPECT_EQ(dialog.Color(), clRed);
    EXPECT_FALSE(Run([](TColorDialogForm* f) {
        ClickSwatch(f, 3);
        Headless::PressKey(f, VK_ESCAPE);
    }));
    EXPECT_EQ(dialog.Color(), clRed);
    // No handler: the dialog closes at once, as cancelled.
    Headless::SetModalHandler(nullptr);
    EXPECT_FALSE(dialog.Execute());
}

TEST_F(DialogFixture, TheFieldsMakeAnyColour) {
    dialog.SetColor(clWhite);
    bool ok = Run([](TColorDialogForm* f) {
        EXPECT_EQ(f->Swatches()->SelectedIndex(), 47);  // white is a swatch
        f->RedEdit()->SetFocus();
        f->RedEdit()->SelectAll();
        Headless::TypeText(f, "18x");  // letters do not go in
        f->GreenEdit()->SetFocus();
        f->GreenEdit()->SelectAll();
        Headless::TypeText(f, "52");
        f->BlueEdit()->SetFocus();
        f->BlueEdit()->SelectAll();
        Headless::TypeText(f, "999");  // more than 255 counts as 255
        EXPECT_EQ(f->RedEdit()->Text(), "18");
        EXPECT_EQ(f->Swatches()->SelectedIndex(), -1);  // no swatch has it
        Headless::PressKey(f, VK_RETURN);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(dialog.Color(), RGB(18, 52, 255));
}

TEST_F(DialogFixture, ArrowKeysAndADoubleClickOnTheGrid) {
    dialog.SetColor(clRed);  // swatch 16
    EXPECT_TRUE(Run([](TColorDialogForm* f) {
        f->Swatches()->SetFocus();
        Headless::PressKey(f, VK_RIGHT);
        Headless::PressKey(f, VK_DOWN);
        EXPECT_EQ(f->Swatches()->SelectedIndex(), 25);
        Headless::PressKey(f, VK_RETURN);
    }));
    EXPECT_EQ(dialog.Color(), BasicColors()[25]);
    EXPECT_TRUE(Run([](TColorDialogForm* f) {
        TRect r = f->Swatches()->SwatchRect(44);
        Headless::DoubleClick(f->Swatches(), r.Left + 3, r.Top + 3);
    }));
    EXPECT_EQ(dialog.Color(), BasicColors()[44]);
}

TEST_F(DialogFixture, ASystemColourOpensAsWhatItShows) {
    dialog.SetColor(clBtnFace);
    EXPECT_TRUE(Run([](TColorDialogForm* f) { Headless::PressKey(f, VK_RETURN); }));
    EXPECT_EQ(dialog.Color(), ColorToRGB(clBtnFace));
}

TEST_F(DialogFixture, TheGridAndThePreviewShowTheColours) {
    dialog.SetColor(clLime);
    Run([](TColorDialogForm* f) {
        TColorSwatchGrid* g = f->Swatches();
        for (int i : {0, 19, 47}) {
            TRect r = g->SwatchRect(i);
            EXPECT_EQ(Headless::PixelAt(g, r.Left + 5, r.Top + 5), BasicColors()[size_t(i)]) << i;
        }
        TControl* p = f->Preview();
        EXPECT_EQ(Headless::PixelAt(p, p->Width() / 2, p->Height() / 2), clLime);
        // The selected swatch (lime, 19) is framed in black.
        TRect sel = g->SwatchRect(19);
        EXPECT_EQ(Headless::PixelAt(g, sel.Left - 1, sel.Top + 5), clBlack);
        TRect other = g->SwatchRect(18);
        EXPECT_NE(Headless::PixelAt(g, other.Left - 1, other.Top + 5), clBlack);
        Headless::PressKey(f, VK_ESCAPE);
    });
}

}  // namespace
