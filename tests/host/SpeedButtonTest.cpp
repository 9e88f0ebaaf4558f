#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/Application.h"
#include "host/Bitmap.h"
#include "host/Form.h"
#include "host/SpeedButton.h"
#include "host/platform/Headless.h"

using namespace kovo;

namespace {

struct ButtonFixture : ::testing::Test {
    std::unique_ptr<TForm> form;
    std::vector<TSpeedButton*> buttons;
    std::vector<int> clicks;

    void SetUp() override {
        Headless::Instance();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 300, 100);
        for (int i = 0; i < 4; ++i) {
            auto* b = new TSpeedButton(form.get());
            b->SetParent(form.get());
            b->SetBounds(10 + i * 30, 10, 25, 25);
            b->OnClick = [this, i](TObject*) { clicks.push_back(i); };
            buttons.push_back(b);
        }
        form->Show();
        Application->ProcessMessages();
    }
    void ClickOn(int i) {
        Headless::Advance(1000);  // never a double click
        Headless::Click(buttons[size_t(i)], 5, 5);
    }
    std::vector<bool> DownStates() {
        std::vector<bool> d;
        for (auto* b : buttons) d.push_back(b->Down());
        return d;
    }
    TColor Px(int i, int x, int y) { return Headless::PixelAt(buttons[size_t(i)], x, y); }
};

// A strip of Count square pictures of Size pixels: a magenta background (its bottom-left
// pixel) with a filled square of the colour of each picture in the middle.
std::unique_ptr<TBitmap> Strip(int Size, const std::vector<TColor>& Colors) {
    auto bmp = std::make_unique<TBitmap>(Size * int(Colors.size()), Size);
    TSurface& s = bmp->MutableSurface();
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < bmp->Width(); ++x) {
            int k = x / Size, lx = x % Size;
            bool inside = lx >= 4 && lx < Size - 4 && y >= 4 && y < Size - 4;
            s.Set(x, y, ToPixel(inside ? Colors[size_t(k)] : clFuchsia));
        }
    return bmp;
}

}  // namespace

TEST_F(ButtonFixture, ClickOnReleaseInsideAndPressedLookMeanwhile) {
    TSpeedButton* b = buttons[0];
    Headless::MouseDown(b, 5, 5);
    EXPECT_EQ(b->State(), bsDown);
    EXPECT_EQ(Px(0, 0, 0), ColorToRGB(cl3DDkShadow));  // sunken while held
    EXPECT_TRUE(clicks.empty());
    Headless::MouseMove(b, 40, 5, TShiftState{ssLeft});  // dragged off: drawn up again
    EXPECT_EQ(b->State(), bsUp);
    Headless::MouseMove(b, 5, 5, TShiftState{ssLeft});
    EXPECT_EQ(b->State(), bsDown);
    Headless::MouseUp(b, 5, 5);
    EXPECT_EQ(clicks, std::vector<int>{0});
    EXPECT_EQ(b->State(), bsUp);
    EXPECT_FALSE(b->Down());  // a button outside a group never stays down
    // Released outside: no click.
    Headless::Advance(1000);
    Headless::MouseDown(b, 5, 5);
    Headless::MouseUp(b, 60, 5);
    EXPECT_EQ(clicks, std::vector<int>{0});
    // A right click is no click, and a disabled button ignores the mouse.
    Headless::Advance(1000);
    Headless::Click(b, 5, 5, mbRight);
    b->SetEnabled(false);
    ClickOn(0);
    EXPECT_EQ(clicks, std::vector<int>{0});
    EXPECT_EQ(b->State(), bsDisabled);
}

TEST_F(ButtonFixture, GroupsKeepOneButtonDown) {
    for (int i = 0; i < 3; ++i) buttons[size_t(i)]->SetGroupIndex(1);
    buttons[3]->SetGroupIndex(2);
    ClickOn(0);
    EXPECT_EQ(DownStates(), (std::vector<bool>{true, false, false, false}));
    ClickOn(1);
    EXPECT_EQ(DownStates(), (std::vector<bool>{false, true, false, false}));
    // Clicking the down button again keeps it down but still clicks.
    ClickOn(1);
    EXPECT_EQ(DownStates(), (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(clicks, (std::vector<int>{0, 1, 1}));
    // Another group is independent.
    ClickOn(3);
    EXPECT_EQ(DownStates(), (std::vector<bool>{false, true, false, true}));
    ClickOn(3);  // alone in its group and not AllowAllUp: stays down
    EXPECT_TRUE(buttons[3]->Down());
    // AllowAllUp is shared by the group and lets the down one come up.
    buttons[0]->SetAllowAllUp(true);
    EXPECT_TRUE(buttons[2]->AllowAllUp());
    ClickOn(1);
    EXPECT_EQ(DownStates(), (std::vector<bool>{false, false, false, true}));
    // The program follows the same rules.
    buttons[2]->SetDown(true);
    buttons[0]->SetDown(true);
    EXPECT_EQ(DownStates(), (std::vector<bool>{true, false, false, true}));
    buttons[3]->SetDown(false);  // not AllowAllUp
    EXPECT_TRUE(buttons[3]->Down());
    buttons[3]->SetGroupIndex(0);
    auto* loose = new TSpeedButton(form.get());
    loose->SetParent(form.get());
    loose->SetDown(true);  // without a group a button cannot be down
    EXPECT_FALSE(loose->Down());
}

TEST_F(ButtonFixture, DrawsUpDownHotAndFlat) {
    TSpeedButton* b = buttons[0];
    EXPECT_EQ(Px(0, 0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(Px(0, 24, 24), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(Px(0, 23, 23), ColorToRGB(clBtnShadow));
    EXPECT_EQ(Px(0, 12, 12), ColorToRGB(clBtnFace));
    // Held down in a group: sunken with the dithered face.
    b->SetGroupIndex(5);
    b->SetDown(true);
    EXPECT_EQ(Px(0, 0, 0), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(Px(0, 24, 24), ColorToRGB(clBtnHighlight));
    int light = 0;
    for (int x = 3; x < 22; ++x) light += Px(0, x, 12) == ColorToRGB(clBtnHighlight);
    EXPECT_GT(light, 5);
    // Flat: no frame until the mouse comes over it.
    TSpeedButton* f = buttons[1];
    f->SetFlat(true);
    form->SetColor(clTeal);
    EXPECT_EQ(Px(1, 0, 0), ColorToRGB(clTeal));  // transparent at rest
    Headless::MouseMove(f, 5, 5);
    EXPECT_TRUE(f->MouseInControl());
    EXPECT_EQ(Px(1, 0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(Px(1, 24, 24), ColorToRGB(clBtnShadow));
    Headless::MouseMove(form.get(), 290, 90);
    EXPECT_FALSE(f->MouseInControl());
    EXPECT_EQ(Px(1, 0, 0), ColorToRGB(clTeal));
}

TEST_F(ButtonFixture, GlyphStatesAndTransparency) {
    TSpeedButton* b = buttons[0];
    b->SetBounds(10, 50, 40, 40);
    auto strip = Strip(16, {clRed, clGreen, clBlue, clNavy});
    b->SetGlyph(strip.get());
    EXPECT_EQ(b->NumGlyphs(), 4);
    b->SetMargin(4);
    // Up: the first picture at (1 + Margin, centred); its background colour is transparent.
    int gx = 1 + 4, gy = 1 + (38 - 16 + 1) / 2;
    EXPECT_EQ(Px(0, gx + 8, gy + 8), ColorToRGB(clRed));
    EXPECT_EQ(Px(0, gx + 1, gy + 1), ColorToRGB(clBtnFace));
    // Pressed: the third picture, one pixel down and right.
    Headless::MouseDown(b, 30, 30);
    EXPECT_EQ(Px(0, gx + 9, gy + 9), ColorToRGB(clBlue));
    Headless::MouseUp(b, 30, 30);
    // Held down: the fourth; disabled: the second.
    b->SetGroupIndex(1);
    b->SetDown(true);
    EXPECT_EQ(Px(0, gx + 9, gy + 9), ColorToRGB(clNavy));
    b->SetAllowAllUp(true);
    b->SetDown(false);
    b->SetEnabled(false);
    EXPECT_EQ(Px(0, gx + 8, gy + 8), ColorToRGB(clGreen));
    // A single picture is embossed when disabled: shadow, with highlight one pixel further.
    auto single = Strip(16, {clMaroon});
    b->SetGlyph(single.get());
    EXPECT_EQ(b->NumGlyphs(), 1);
    EXPECT_EQ(Px(0, gx + 4, gy + 4), ColorToRGB(clBtnShadow));
    EXPECT_EQ(Px(0, gx + 12, gy + 12), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(Px(0, gx + 1, gy + 1), ColorToRGB(clBtnFace));
    // NumGlyphs can be set when the strip's shape does not tell.
    b->SetNumGlyphs(7);
    EXPECT_EQ(b->NumGlyphs(), 1);
}

TEST_F(ButtonFixture, LayoutPlacesGlyphAndCaption) {
    TSpeedButton* b = buttons[0];
    b->SetBounds(10, 50, 100, 40);  // clear of the other buttons
    auto strip = Strip(16, {clRed});
    b->SetGlyph(strip.get());
    b->SetCaption("OK");
    auto redColumns = [&] {
        std::vector<int> cols;
        for (int x = 0; x < 100; ++x)
            for (int y = 0; y < 40; ++y)
                if (Px(0, x, y) == ColorToRGB(clRed)) {
                    cols.push_back(x);
                    break;
                }
        return cols;
    };
    b->SetLayout(blGlyphLeft);
    b->SetMargin(2);
    std::vector<int> cols = redColumns();
    ASSERT_FALSE(cols.empty());
    EXPECT_EQ(cols.front(), 1 + 2 + 4);
    b->SetLayout(blGlyphRight);
    cols = redColumns();
    ASSERT_FALSE(cols.empty());
    EXPECT_EQ(cols.back(), 99 - 2 - 4 - 1);  // content ends at 99, then margin and border
    // Centred (Margin -1): glyph, spacing and caption share the middle.
    b->SetLayout(blGlyphLeft);
    b->SetMargin(-1);
    cols = redColumns();
    ASSERT_FALSE(cols.empty());
    EXPECT_GT(cols.front(), 20);
    EXPECT_LT(cols.back(), 60);
}

// A button that repeats while held, built on the virtual mouse handlers.
class TRepeatProbe : public TSpeedButton {
  public:
    using TSpeedButton::TSpeedButton;
    std::vector<std::string> log;

  protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        TSpeedButton::MouseDown(Button, Shift, X, Y);
        log.push_back("down");
    }
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        TSpeedButton::MouseUp(Button, Shift, X, Y);
        log.push_back("up");
    }
    void Click() override {
        log.push_back("click");
        TSpeedButton::Click();
    }
    void CMMouseLeave(TMessage& Message) override {
        TSpeedButton::CMMouseLeave(Message);
        log.push_back("leave");
    }
};

TEST_F(ButtonFixture, DerivedButtonsSeeMouseAndClick) {
    auto* r = new TRepeatProbe(form.get());
    r->SetParent(form.get());
    r->SetBounds(200, 10, 25, 25);
    Headless::Advance(1000);
    Headless::Click(r, 5, 5);
    // The click comes from within the release, before the derived MouseUp goes on.
    EXPECT_EQ(r->log, (std::vector<std::string>{"down", "click", "up"}));
    Headless::MouseMove(form.get(), 290, 90);
    EXPECT_EQ(r->log.back(), "leave");
}
