#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/Application.h"
#include "host/Edit.h"
#include "host/Form.h"
#include "host/Label.h"
#include "host/TextRender.h"
#include "host/platform/Headless.h"

using namespace kovo;

namespace {

struct LabelFixture : ::testing::Test {
    std::unique_ptr<TForm> form;
    TLabel* label = nullptr;

    void SetUp() override {
        Headless::Instance();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 400, 200);
        form->SetColor(clYellow);
        label = new TLabel(form.get());
        label->SetParent(form.get());
        label->SetBounds(10, 10, 65, 17);
        form->Show();
        Application->ProcessMessages();
    }

    int TextW(const std::string& s) { return MeasureText(*label->Font(), s).cx; }
    int LineH() { return MeasureText(*label->Font(), "").cy; }
    // Columns (or rows) of the label that hold a pixel of text (anything but the background).
    std::vector<int> InkColumns() {
        std::vector<int> cols;
        TColor back = ColorToRGB(clYellow);
        for (int x = 0; x < label->Width(); ++x)
            for (int y = 0; y < label->Height(); ++y)
                if (Headless::PixelAt(label, x, y) != back) {
                    cols.push_back(x);
                    break;
                }
        return cols;
    }
    std::vector<int> InkRows() {
        std::vector<int> rows;
        TColor back = ColorToRGB(clYellow);
        for (int y = 0; y < label->Height(); ++y)
            for (int x = 0; x < label->Width(); ++x)
                if (Headless::PixelAt(label, x, y) != back) {
                    rows.push_back(y);
                    break;
                }
        return rows;
    }
};

}  // namespace

TEST_F(LabelFixture, AutoSizeFitsTheCaption) {
    label->SetCaption("Hello world");
    EXPECT_EQ(label->Width(), TextW("Hello world"));
    EXPECT_EQ(label->Height(), LineH());
    EXPECT_EQ(label->Left(), 10);
    // A right-aligned label keeps its right edge.
    label->SetAlignment(taRightJustify);
    int right = label->Left() + label->Width();
    label->SetCaption("Hi");
    EXPECT_EQ(label->Left() + label->Width(), right);
    EXPECT_EQ(label->Width(), TextW("Hi"));
    // An empty caption keeps the height of a line.
    label->SetCaption("");
    EXPECT_EQ(label->Height(), LineH());
    // Without AutoSize the bounds stay.
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 120, 40);
    label->SetCaption("A much longer caption than before");
    EXPECT_EQ(label->Width(), 120);
    EXPECT_EQ(label->Height(), 40);
}

TEST_F(LabelFixture, AccelCharsAreNotDrawn) {
    label->SetCaption("&Save");
    EXPECT_EQ(label->Width(), TextW("Save"));
    label->SetCaption("a&&b");
    EXPECT_EQ(label->Width(), TextW("a&b"));
    label->SetShowAccelChar(false);
    EXPECT_EQ(label->Width(), TextW("a&&b"));
    EXPECT_EQ(StripAccelChars("&File && &Edit&"), "File & Edit");
}

TEST_F(LabelFixture, AlignmentAndLayoutPlaceTheText) {
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 200, 60);
    label->SetCaption("III");
    int w = TextW("III");
    struct Case {
        TAlignment align;
        int left, right;  // expected ink range, with a little room for the glyphs' bearings
    };
    for (Case c : {Case{taLeftJustify, 0, w}, Case{taRightJustify, 200 - w, 200},
                   Case{taCenter, (200 - w) / 2, (200 - w) / 2 + w}}) {
        SCOPED_TRACE(int(c.align));
        label->SetAlignment(c.align);
        std::vector<int> cols = InkColumns();
        ASSERT_FALSE(cols.empty());
        EXPECT_GE(cols.front(), c.left - 1);
        EXPECT_LE(cols.back(), c.right);
    }
    struct VCase {
        TTextLayout layout;
        int top, bottom;
    };
    int h = LineH();
    for (VCase c : {VCase{tlTop, 0, h}, VCase{tlCenter, (60 - h) / 2, (60 - h) / 2 + h},
                    VCase{tlBottom, 60 - h, 60}}) {
        SCOPED_TRACE(int(c.layout));
        label->SetLayout(c.layout);
        std::vector<int> rows = InkRows();
        ASSERT_FALSE(rows.empty());
        EXPECT_GE(rows.front(), c.top);
        EXPECT_LT(rows.back(), c.bottom);
    }
}

TEST_F(LabelFixture, WordWrapBreaksIntoLines) {
    label->SetWordWrap(true);
    label->SetAutoSize(false);
    label->SetWidth(TextW("word word") + 2);
    label->SetAutoSize(true);
    label->SetCaption("word word word word");
    EXPECT_EQ(label->Height(), 2 * LineH());
    std::vector<int> rows = InkRows();
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(rows.back(), LineH());  // ink on the second line
    label->SetWordWrap(false);
    EXPECT_EQ(label->Height(), LineH());
    EXPECT_EQ(label->Width(), TextW("word word word word"));
}

TEST_F(LabelFixture, BackgroundUnlessTransparentAndDisabledEmbossed) {
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 100, 30);
    label->SetCaption("Mmm");
    // A label takes its parent's colour and paints it, unless it is transparent.
    EXPECT_EQ(Headless::PixelAt(label, 90, 25), ColorToRGB(clYellow));
    label->SetColor(clAqua);
    EXPECT_EQ(Headless::PixelAt(label, 90, 25), ColorToRGB(clAqua));
    label->SetTransparent(true);
    EXPECT_EQ(Headless::PixelAt(label, 90, 25), ColorToRGB(clYellow));
    // Disabled: the text in the shadow colour with a highlight copy one pixel right and down.
    label->SetEnabled(false);
    TColor shadow = ColorToRGB(clBtnShadow), highlight = ColorToRGB(clBtnHighlight);
    int shadows = 0, pairs = 0;
    for (int y = 0; y < 29; ++y)
        for (int x = 0; x < 99; ++x)
            if (Headless::PixelAt(label, x, y) == shadow) {
                ++shadows;
                if (Headless::PixelAt(label, x + 1, y + 1) == highlight ||
                    Headless::PixelAt(label, x + 1, y + 1) == shadow)
                    ++pairs;
            }
    EXPECT_GT(shadows, 0);
    EXPECT_GT(pairs, 0);
    int black = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x) black += Headless::PixelAt(label, x, y) == TColor(0);
    EXPECT_EQ(black, 0);
}

// A label that draws its own text, as a rotated label does; the host asks it for the size
// as well.
class TBoxLabel : public TCustomLabel {
  public:
    using TCustomLabel::TCustomLabel;
    int measured = 0, drawn = 0;

  protected:
    void DoDrawText(TRect& Rect, uint32_t Flags) override {
        if (Flags & DT_CALCRECT) {
            ++measured;
            Rect.Right = Rect.Left + 30;
            Rect.Bottom = Rect.Top + 12;
            return;
        }
        ++drawn;
        Canvas()->Brush()->SetStyle(bsSolid);
        Canvas()->Brush()->SetColor(clRed);
        Canvas()->FillRect(TRect{Rect.Left, Rect.Top, Rect.Left + 4, Rect.Top + 4});
    }
};

TEST_F(LabelFixture, DerivedLabelsReplaceTheTextDrawing) {
    auto* box = new TBoxLabel(form.get());
    box->SetParent(form.get());
    box->SetBounds(100, 100, 10, 10);
    box->SetCaption("anything");
    EXPECT_EQ(box->Width(), 30);
    EXPECT_EQ(box->Height(), 12);
    EXPECT_GT(box->measured, 0);
    EXPECT_EQ(Headless::PixelAt(box, 1, 1), ColorToRGB(clRed));
    EXPECT_EQ(Headless::PixelAt(box, 20, 8), ColorToRGB(clYellow));  // the parent's colour
    EXPECT_GT(box->drawn, 0);
}

TEST_F(LabelFixture, ClickFocusesTheFocusControl) {
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(100, 10, 100, 23);
    label->SetCaption("Name:");
    label->SetFocusControl(edit);
    Headless::Click(label, 2, 2);
    EXPECT_TRUE(edit->Focused());
    delete edit;
    EXPECT_EQ(label->FocusControl(), nullptr);
    Headless::Advance(1000);
    Headless::Click(label, 2, 2);  // nothing to focus any more, and nothing breaks
}
