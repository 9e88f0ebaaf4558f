#include "displays/sevenseg.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/Bitmap.h"
#include "host/Canvas.h"
#include "host/Form.h"
#include "host/Resources.h"
#include "host/SysUtils.h"
#include "host/platform/Headless.h"
#include "resources/SevenSegShapes.h"

using namespace kovo;

namespace {

const std::string Degree = "\xC2\xB0";

// Counts the cache rebuilds.
class TCountingSeg : public TSevenSeg {
  public:
    using TSevenSeg::TSevenSeg;
    int builds = 0;

  protected:
    void CreateImageCache() override {
        ++builds;
        TSevenSeg::CreateImageCache();
    }
};

// Points in the 312 x 432 character template that lie on exactly one shape each (the colon
// dots are sampled above and below the plus sign's upright, which passes between them).
const std::map<std::string, TPoint>& Samples() {
    static const std::map<std::string, TPoint> samples = {
        {"s1", {140, 19}},       {"s2", {71, 118}},         {"s3", {278, 118}},
        {"s4", {157, 216}},      {"s5", {34, 315}},         {"s6", {241, 315}},
        {"s7", {120, 413}},      {"dot", {288, 413}},       {"plus", {167, 160}},
        {"colonUp", {172, 128}}, {"colonDown", {140, 305}}, {"ring", {175, 69}},
    };
    return samples;
}

// The template point (tx, ty) in cell i of the cache, or of a painted cell at (x0, y0).
TPoint Scaled(TPoint t, int cw, int h) {
    return {t.X * cw / 312, t.Y * h / 432};
}

bool Lit(TColor c) {
    return GetRValue(c) > 0xA0 && GetGValue(c) < 0x60;
}

TColor CachePixel(const TSevenSeg& s, int x, int y) {
    return PixelToColor(s.ImageCache()->PixelSurface().Row(y)[x]);
}

struct CharCase {
    std::string Ch;
    std::set<std::string> Lit;
};

std::vector<CharCase> CharCases() {
    return {
        {"0", {"s1", "s2", "s3", "s5", "s6", "s7"}},
        {"1", {"s3", "s6"}},
        {"2", {"s1", "s3", "s4", "s5", "s7"}},
        {"3", {"s1", "s3", "s4", "s6", "s7"}},
        {"4", {"s2", "s3", "s4", "s6"}},
        {"5", {"s1", "s2", "s4", "s6", "s7"}},
        {"6", {"s1", "s2", "s4", "s5", "s6", "s7"}},
        {"7", {"s1", "s3", "s6"}},
        {"8", {"s1", "s2", "s3", "s4", "s5", "s6", "s7"}},
        {"9", {"s1", "s2", "s3", "s4", "s6", "s7"}},
        {"-", {"s4"}},
        {"+", {"s4", "plus"}},  // the plus sign's bar lies where the middle segment does
        {":", {"colonUp", "colonDown"}},
        {Degree, {"ring"}},
        {"A", {"s1", "s2", "s3", "s4", "s5", "s6"}},
        {"B", {"s2", "s4", "s5", "s6", "s7"}},
        {"C", {"s1", "s2", "s5", "s7"}},
        {"D", {"s3", "s4", "s5", "s6", "s7"}},
        {"E", {"s1", "s2", "s4", "s5", "s7"}},
        {"F", {"s1", "s2", "s4", "s5"}},
        {".", {"dot"}},
    };
}

// A large display, so each sample falls well inside its shape after scaling.
class SevenSegCache : public ::testing::Test {
  protected:
    void SetUp() override { seg.SetBounds(0, 0, 600, 220); }
    int cw() const { return (600 - 16) / 4 - 2; }
    int h() const { return 220 - 16; }
    TSevenSeg seg{nullptr};
};

TEST_F(SevenSegCache, HoldsTheCharactersSideBySide) {
    ASSERT_EQ(seg.ImageCache()->Width(), 21 * cw());
    ASSERT_EQ(seg.ImageCache()->Height(), h());
    EXPECT_EQ(Utf8Length(SevenSegCharList), 21);
    const std::vector<CharCase> cases = CharCases();
    const std::u32string list = Utf8Decode(SevenSegCharList);
    for (size_t i = 0; i < cases.size(); ++i) {
        ASSERT_EQ(Utf8Encode(list[i]), cases[i].Ch);
        for (const auto& [name, t] : Samples()) {
            const TPoint p = Scaled(t, cw(), h());
            const TColor c = CachePixel(seg, int(i) * cw() + p.X, p.Y);
            EXPECT_EQ(Lit(c), cases[i].Lit.count(name) == 1)
                << "character " << cases[i].Ch << " sample " << name;
        }
        EXPECT_EQ(CachePixel(seg, int(i) * cw() + 1, 1), TColor(0x333333));
    }
}

TEST_F(SevenSegCache, RingHoleStaysWhiteAndEdgesAreAveraged) {
    const TPoint hole = Scaled({230, 69}, cw(), h());
    EXPECT_EQ(CachePixel(seg, 13 * cw() + hole.X, hole.Y), clWhite);
    // Halftone scaling leaves blends of segment and background along the edges.
    int blends = 0;
    for (int x = 0; x < cw(); ++x) {
        const TColor c = CachePixel(seg, 8 * cw() + x, Scaled({0, 216}, cw(), h()).Y);
        if (c != TColor(0x333333) && c != clRed && c != clWhite) ++blends;
    }
    EXPECT_GT(blends, 0);
}

TEST_F(SevenSegCache, WhiteSegmentsAreDrawnAlmostWhite) {
    seg.SetColorText(clWhite);
    EXPECT_EQ(seg.ColorText(), clWhite);
    const TPoint p = Scaled(Samples().at("s4"), cw(), h());
    EXPECT_EQ(CachePixel(seg, 8 * cw() + p.X, p.Y), TColor(0xFEFEFE));
    seg.SetColorText(clLime);  // recolouring from the near-white works as from any colour
    EXPECT_EQ(CachePixel(seg, 8 * cw() + p.X, p.Y), clLime);
}

TEST_F(SevenSegCache, BackgroundColourFillsAroundTheShapes) {
    seg.SetColorBackGnd(clNavy);
    EXPECT_EQ(CachePixel(seg, 3, 3), clNavy);
    EXPECT_EQ(CachePixel(seg, 21 * cw() - 1, h() - 1), clNavy);
}

TEST(SevenSegCacheSize, EmptyWhenCellsHaveNoPixels) {
    TSevenSeg seg(nullptr);
    seg.SetWidth(50);
    seg.SetNumDigits(32);
    EXPECT_TRUE(seg.ImageCache()->Empty());
    EXPECT_NO_THROW(Headless::Capture(&seg));
    seg.SetNumDigits(1);
    EXPECT_EQ(seg.ImageCache()->Width(), 21 * (50 - 16 - 2));
}

// ---- rebuilding ----

TEST(SevenSegRebuild, OnlyForSettingsThatChangeTheLookOrTheCellSize) {
    TCountingSeg seg(nullptr);
    struct {
        const char* What;
        std::function<void()> Change;
        bool Rebuilds;
    } cases[] = {
        {"caption", [&] { seg.SetCaption("12.34"); }, false},
        {"frame", [&] { seg.SetFrameStyle(fsRaised); }, false},
        {"scheme", [&] { seg.SetColorScheme(csSystem); }, false},
        {"same colour", [&] { seg.SetColorText(seg.ColorText()); }, false},
        {"same digits", [&] { seg.SetNumDigits(4); }, false},
        {"digits 0", [&] { seg.SetNumDigits(0); }, false},
        {"digits 33", [&] { seg.SetNumDigits(33); }, false},
        {"same size", [&] { seg.SetBounds(5, 5, seg.Width(), seg.Height()); }, false},
        {"text colour", [&] { seg.SetColorText(clLime); }, true},
        {"background", [&] { seg.SetColorBackGnd(clBlack); }, true},
        {"digits", [&] { seg.SetNumDigits(6); }, true},
        {"margin", [&] { seg.SetMargin(3); }, true},
        {"gap", [&] { seg.SetInterDigDist(5); }, true},
        {"width", [&] { seg.SetWidth(300); }, true},
        {"height", [&] { seg.SetHeight(90); }, true},
    };
    for (auto& c : cases) {
        const int before = seg.builds;
        c.Change();
        EXPECT_EQ(seg.builds - before, c.Rebuilds ? 1 : 0) << c.What;
    }
}

TEST(SevenSegRebuild, AnOnResizeHandlerOfTheProgramStopsTheRebuild) {
    TCountingSeg seg(nullptr);
    int resizes = 0;
    seg.OnResize = [&](TObject*) { ++resizes; };
    seg.SetWidth(400);
    EXPECT_EQ(resizes, 1);
    EXPECT_EQ(seg.builds, 0);
    EXPECT_EQ(seg.ImageCache()->Width(), 21 * ((216 - 16) / 4 - 2));
    // The program can still hand the resize on.
    seg.ProcessResize(&seg);
    EXPECT_EQ(seg.builds, 1);
    EXPECT_EQ(seg.ImageCache()->Width(), 21 * ((400 - 16) / 4 - 2));
}

TEST(SevenSegRebuild, LoadingTreatsTheLoadedSizeAsAResize) {
    TForm form(nullptr);
    TCountingSeg* seg = nullptr;
    {
        TLoadingScope loading(&form);
        seg = new TCountingSeg(&form);
        seg->SetBounds(0, 0, 400, 120);
        EXPECT_EQ(seg->builds, 0);
    }
    EXPECT_EQ(seg->builds, 1);
    EXPECT_EQ(seg->ImageCache()->Height(), 120 - 16);
}

TEST(SevenSegSetters, ClampsAndDefaults) {
    TSevenSeg seg(nullptr);
    EXPECT_EQ(seg.Width(), 216);
    EXPECT_EQ(seg.Height(), 76);
    EXPECT_EQ(seg.Caption(), "8.8.8.8.");
    EXPECT_EQ(seg.NumDigits(), 4);
    EXPECT_EQ(seg.Margin(), 8);
    EXPECT_EQ(seg.InterDigDist(), 2);
    EXPECT_EQ(seg.ColorBackGnd(), TColor(0x333333));
    EXPECT_EQ(seg.ColorText(), clRed);
    EXPECT_EQ(seg.FrameStyle(), fsSunken);
    EXPECT_EQ(seg.ColorScheme(), csFixed);

    seg.SetMargin(100);
    EXPECT_EQ(seg.Margin(), 37);
    seg.SetMargin(-4);
    EXPECT_EQ(seg.Margin(), 0);
    seg.SetInterDigDist(300);
    EXPECT_EQ(seg.InterDigDist(), 255);
    seg.SetInterDigDist(-1);
    EXPECT_EQ(seg.InterDigDist(), 0);
    seg.SetNumDigits(0);
    seg.SetNumDigits(33);
    EXPECT_EQ(seg.NumDigits(), 4);
    seg.SetNumDigits(32);
    EXPECT_EQ(seg.NumDigits(), 32);
    seg.SetColorScheme(TColorScheme(5));
    EXPECT_EQ(seg.ColorScheme(), TColorScheme(5));
}

// ---- painting ----

// What each painted cell shows, read from its pixels at the template samples.
class SevenSegPaint : public ::testing::Test {
  protected:
    void SetUp() override { seg.SetBounds(0, 0, 600, 220); }
    int cw() const {
        return (seg.Width() - 2 * seg.Margin()) / seg.NumDigits() - seg.InterDigDist();
    }
    int h() const { return seg.Height() - 2 * seg.Margin(); }
    int CellX(int cell) const { return cell * (cw() + seg.InterDigDist()) + seg.Margin(); }
    // The sample names lit in cell `cell` (0-based).
    std::set<std::string> Shown(int cell) {
        std::set<std::string> lit;
        for (const auto& [name, t] : Samples()) {
            const TPoint p = Scaled(t, cw(), h());
            if (Lit(Headless::PixelAt(&seg, CellX(cell) + p.X, seg.Margin() + p.Y)))
                lit.insert(name);
        }
        return lit;
    }
    std::set<std::string> Of(const std::string& ch) {
        for (auto& c : CharCases())
            if (c.Ch == ch) return c.Lit;
        return {};
    }
    std::set<std::string> With(std::set<std::string> s, const std::string& extra) {
        s.insert(extra);
        return s;
    }
    TSevenSeg seg{nullptr};
};

TEST_F(SevenSegPaint, CaptionsCellByCell) {
    struct {
        std::string Caption;
        int Digits;
        std::vector<std::set<std::string>> Cells;
    } cases[] = {
        {"8.8.8.8.",
         4,
         {With(Of("8"), "dot"), With(Of("8"), "dot"), With(Of("8"), "dot"), With(Of("8"), "dot")}},
        {"12:30", 5, {Of("1"), Of("2"), Of(":"), Of("3"), Of("0")}},
        {"-1.5", 4, {Of("-"), With(Of("1"), "dot"), Of("5"), {}}},
        {"123456", 4, {Of("1"), Of("2"), Of("3"), Of("4")}},  // cut to the cells
        {"1 x2", 4, {Of("1"), {}, {}, Of("2")}},              // blank and unknown leave cells empty
        {"abcf", 4, {Of("A"), Of("B"), Of("C"), Of("F")}},
        {"..5,", 4, {{"dot"}, {"dot"}, With(Of("5"), "dot"), {}}},
        {"+" + Degree + "C", 3, {Of("+"), Of(Degree), Of("C")}},
        {"", 4, {{}, {}, {}, {}}},
    };
    for (auto& c : cases) {
        seg.SetNumDigits(c.Digits);
        seg.SetCaption(c.Caption);
        for (int cell = 0; cell < c.Digits; ++cell)
            EXPECT_EQ(Shown(cell), c.Cells[size_t(cell)])
                << "caption \"" << c.Caption << "\" cell " << cell;
    }
}

// Each cell is a 1:1 copy of its cache cell; margins and gaps keep the background.
TEST_F(SevenSegPaint, CellsMarginsAndGapsInPixels) {
    seg.SetFrameStyle(fsNone);
    seg.SetMargin(11);
    seg.SetInterDigDist(7);
    seg.SetNumDigits(3);
    seg.SetCaption("80");
    const TSurface shot = Headless::Capture(&seg);
    const TSurface& cache = seg.ImageCache()->PixelSurface();
    const TPixel back = 0x333333;
    const int cellW = cw();
    ASSERT_EQ(cellW, (600 - 22) / 3 - 7);
    const int cacheCell[] = {8, 0};
    for (int y = 0; y < seg.Height(); ++y) {
        for (int x = 0; x < seg.Width(); ++x) {
            const TPixel got = shot.Row(y)[x];
            const int inCell = (x - 11) % (cellW + 7), cell = (x - 11) / (cellW + 7);
            const bool inside = y >= 11 && y < 220 - 11 && x >= 11 && inCell < cellW;
            if (inside && cell < 2) {
                ASSERT_EQ(got, cache.Row(y - 11)[cacheCell[cell] * cellW + inCell])
                    << x << "," << y;
            } else {
                ASSERT_EQ(got, back) << "margin, gap or empty cell at " << x << "," << y;
            }
        }
    }
}

TEST_F(SevenSegPaint, FrameAroundTheWholeControl) {
    EXPECT_EQ(Headless::PixelAt(&seg, 0, 100), clGray);
    EXPECT_EQ(Headless::PixelAt(&seg, 300, 0), clGray);
    EXPECT_EQ(Headless::PixelAt(&seg, 599, 100), clWhite);
    EXPECT_EQ(Headless::PixelAt(&seg, 300, 219), clWhite);
    seg.SetFrameStyle(fsRaised);
    EXPECT_EQ(Headless::PixelAt(&seg, 0, 100), clWhite);
    EXPECT_EQ(Headless::PixelAt(&seg, 599, 100), clGray);
    seg.SetFrameStyle(TFrameStyle(6));
    EXPECT_EQ(Headless::PixelAt(&seg, 0, 100), TColor(0x333333));
}

TEST_F(SevenSegPaint, HiddenDisplaysDrawNothing) {
    TCanvas* cv = seg.Canvas();
    cv->StartRecording();
    seg.SetVisible(false);
    seg.Repaint();
    seg.Invalidate();
    Headless::Capture(&seg);
    cv->StopRecording();
    EXPECT_TRUE(cv->Calls().empty());
}

TEST_F(SevenSegPaint, ResizeRebuildsAndRepaints) {
    seg.SetCaption("1");
    seg.SetBounds(0, 0, 300, 100);
    EXPECT_EQ(seg.ImageCache()->Height(), 100 - 16);
    EXPECT_EQ(Shown(0), Of("1"));
}

// ---- copying ----

TEST(SevenSegAssign, CopiesSettingsAndImagesButNotThePlace) {
    TSevenSeg a(nullptr), b(nullptr);
    a.SetBounds(3, 4, 400, 150);
    a.SetColorBackGnd(clNavy);
    a.SetColorText(clYellow);
    a.SetNumDigits(6);
    a.SetCaption("12:34");
    a.SetFrameStyle(fsGroove);
    a.SetColorScheme(csSystem);
    a.SetMargin(5);
    a.SetInterDigDist(9);
    b.Assign(&a);
    EXPECT_EQ(b.ColorBackGnd(), clNavy);
    EXPECT_EQ(b.ColorText(), clYellow);
    EXPECT_EQ(b.NumDigits(), 6);
    EXPECT_EQ(b.Caption(), "12:34");
    EXPECT_EQ(b.FrameStyle(), fsGroove);
    EXPECT_EQ(b.ColorScheme(), csSystem);
    EXPECT_EQ(b.Margin(), 5);
    EXPECT_EQ(b.InterDigDist(), 9);
    EXPECT_EQ(b.Left(), 0);
    EXPECT_EQ(b.Width(), 216);
    // The cache fits b's own size and shows a's colours.
    const int cw = (216 - 10) / 6 - 9;
    ASSERT_EQ(b.ImageCache()->Width(), 21 * cw);
    const TPoint p = Scaled(Samples().at("s4"), cw, 76 - 10);
    EXPECT_EQ(CachePixel(b, 8 * cw + p.X, p.Y), clYellow);
    EXPECT_EQ(CachePixel(b, 1, 1), clNavy);
}

// The shape pictures travel by content: a display made while a program's own (square) point
// was registered hands it on to one made with the standard disc.
TEST(SevenSegAssign, ShapePicturesAreCopiedByContent) {
    RegisterSevenSegShapes();
    RegisterPicture("SEGDOT", [](TBitmap& b) {
        b.SetSize(38, 38);
        b.Canvas()->Brush()->SetColor(clBlack);
        b.Canvas()->FillRect(TRect{0, 0, 38, 38});
    });
    auto square = std::make_unique<TSevenSeg>(nullptr);
    UnregisterPicture("SEGDOT");
    RegisterSevenSegShapes();
    TSevenSeg disc(nullptr);
    disc.SetBounds(0, 0, 600, 220);
    const int cw = (600 - 16) / 4 - 2, h = 220 - 16;
    const TPoint corner = Scaled({273, 398}, cw, h);  // inside the square, outside the disc
    EXPECT_FALSE(Lit(CachePixel(disc, 20 * cw + corner.X, corner.Y)));
    disc.Assign(square.get());
    square.reset();  // the copy does not depend on the source
    EXPECT_TRUE(Lit(CachePixel(disc, 20 * cw + corner.X, corner.Y)));
    disc.SetMargin(9);
    EXPECT_EQ(disc.ImageCache()->Height(), 220 - 18);
}

TEST(SevenSegAssign, OtherClassesRaiseTheAssignmentError) {
    TSevenSeg seg(nullptr);
    TBitmap bitmap;
    EXPECT_THROW(seg.Assign(&bitmap), EConvertError);
    EXPECT_THROW(bitmap.Assign(&seg), EConvertError);
}

}  // namespace
