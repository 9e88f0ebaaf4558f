#include "host/TextRender.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>

#include "host/BuiltinFont.h"
#include "host/FontCache.h"

using namespace kovo;

namespace {

constexpr TPixel kWhite = 0xFFFFFF;

// The pixels of a surface that differ from the background.
struct Ink {
    TRect box;  // empty when there is no ink
    int count = 0;
    std::set<TPixel> values;  // every pixel value, background included
};

Ink InkOf(const TSurface& s, TPixel background = kWhite) {
    Ink ink;
    int l = INT_MAX, t = INT_MAX, r = INT_MIN, b = INT_MIN;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            TPixel p = s.Get(x, y);
            ink.values.insert(p);
            if (p == background) continue;
            ++ink.count;
            l = std::min(l, x), t = std::min(t, y), r = std::max(r, x + 1), b = std::max(b, y + 1);
        }
    if (ink.count > 0) ink.box = TRect{l, t, r, b};
    return ink;
}

TFont MakeFont(int size, TFontStyles style = {}, int orientation = 0,
               TFontQuality quality = fqDefault) {
    TFont f;
    f.SetSize(size);
    f.SetStyle(style);
    f.SetOrientation(orientation);
    f.SetQuality(quality);
    return f;
}

Ink Draw(const TFont& f, const std::string& text, int x, int y, int w = 300, int h = 300,
         TColor color = clBlack) {
    TSurface s(w, h, kWhite);
    RenderText(s, s.Bounds(), x, y, f, text, color);
    return InkOf(s);
}

bool Within(const TRect& inner, const TRect& outer) {
    return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
           inner.Bottom <= outer.Bottom;
}

std::string Show(const TRect& r) {
    return "[" + std::to_string(r.Left) + "," + std::to_string(r.Top) + " - " +
           std::to_string(r.Right) + "," + std::to_string(r.Bottom) + ")";
}

// Every geometric property is checked with both glyph sources: font files (when the machine
// has any) and the built-in bitmap font.
enum class Source { FontFiles, Builtin };

class TextRender : public ::testing::TestWithParam<Source> {
  protected:
    void SetUp() override {
        SetFontFilesDisabled(GetParam() == Source::Builtin);
        if (GetParam() == Source::FontFiles && ResolveFontFile(TFont()).empty())
            GTEST_SKIP() << "no font files installed";
    }
    void TearDown() override { SetFontFilesDisabled(false); }
};

}  // namespace

TEST_P(TextRender, WidthIsTheSumOfWholePixelAdvances) {
    TFont f = MakeFont(10);
    int previous = 0;
    std::string text;
    int sum = 0;
    for (char c : std::string("Hello, World")) {
        text += c;
        int w = MeasureText(f, text).cx;
        EXPECT_GE(w, previous) << text;
        previous = w;
        sum += MeasureText(f, std::string(1, c)).cx;
        EXPECT_EQ(w, sum) << text;
    }
    EXPECT_GT(MeasureText(f, "WWW").cx, MeasureText(f, "W").cx);
    EXPECT_EQ(MeasureText(f, "").cx, 0);
    EXPECT_EQ(MeasureText(f, "").cy, GetTextMetrics(f).tmHeight);
    EXPECT_EQ(MeasureText(f, "Ag").cy, GetTextMetrics(f).tmHeight);
}

TEST_P(TextRender, BoldIsWiderAndBiggerIsTaller) {
    const std::string text = "Hello World";
    EXPECT_GT(MeasureText(MakeFont(10, {fsBold}), text).cx, MeasureText(MakeFont(10), text).cx);
    EXPECT_GT(MeasureText(MakeFont(24), text).cy, MeasureText(MakeFont(8), text).cy);
    EXPECT_GT(MeasureText(MakeFont(24), text).cx, MeasureText(MakeFont(8), text).cx);
    Ink small = Draw(MakeFont(8), "H", 10, 10), big = Draw(MakeFont(24), "H", 10, 10);
    EXPECT_GT(big.box.Height(), small.box.Height());
}

TEST_P(TextRender, BoldInksMoreAndItalicLeansRight) {
    Ink regular = Draw(MakeFont(14), "Hello World", 10, 10);
    Ink bold = Draw(MakeFont(14, {fsBold}), "Hello World", 10, 10);
    EXPECT_GT(bold.count, regular.count);

    // In an upright stem the top row starts where the bottom row starts; leaning, further right.
    auto lean = [](const TFont& f) {
        TSurface s(60, 60, kWhite);
        RenderText(s, s.Bounds(), 20, 10, f, "l", clBlack);
        Ink ink = InkOf(s);
        auto leftmost = [&](int y) {
            for (int x = 0; x < s.Width(); ++x)
                if (s.Get(x, y) != kWhite) return x;
            return -1;
        };
        return leftmost(ink.box.Top) - leftmost(ink.box.Bottom - 1);
    };
    EXPECT_LE(std::abs(lean(MakeFont(20))), 1);
    EXPECT_GE(lean(MakeFont(20, {fsItalic})), 2);
    EXPECT_GE(lean(MakeFont(20, {fsItalic, fsBold})), 2);
}

TEST_P(TextRender, MetricsAreConsistent) {
    for (int size : {6, 8, 11, 20, 48}) {
        TTextMetric tm = GetTextMetrics(MakeFont(size));
        EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent) << size;
        EXPECT_GT(tm.tmAscent, 0) << size;
        // At least the character height (the bitmap font only grows by whole factors).
        if (GetParam() == Source::FontFiles) {
            EXPECT_GE(tm.tmHeight, size * 96 / 72) << size;
        }
        EXPECT_GT(tm.tmAveCharWidth, 0) << size;
        EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth) << size;
    }
    // A positive height is the cell height.
    TFont cell;
    cell.SetHeight(26);
    EXPECT_NEAR(GetTextMetrics(cell).tmHeight, 26, 1);
}

TEST_P(TextRender, UnturnedInkStaysInTheTextCell) {
    struct Case {
        const char* text;
        TFontStyles style;
    } cases[] = {{"Hello World", {}},
                 {"Hello World", {fsBold}},
                 {"qypgj", {}},
                 {"ABC|[]", {fsUnderline, fsStrikeOut}},
                 {"1234567890", {fsBold, fsUnderline}}};
    for (const auto& c : cases) {
        TFont f = MakeFont(12, c.style);
        TSize size = MeasureText(f, c.text);
        const int x = 17, y = 23;
        Ink ink = Draw(f, c.text, x, y);
        ASSERT_GT(ink.count, 0) << c.text;
        EXPECT_TRUE(Within(ink.box, Bounds(x, y, size.cx, size.cy)))
            << c.text << ": ink " << Show(ink.box) << " cell "
            << Show(Bounds(x, y, size.cx, size.cy));
    }
}

TEST_P(TextRender, BaselineIsAscentBelowTheTop) {
    // An underscore-free capital stands on the baseline: its lowest ink row is ascent - 1.
    TFont f = MakeFont(16);
    Ink ink = Draw(f, "H", 5, 40);
    EXPECT_EQ(ink.box.Bottom, 40 + GetTextMetrics(f).tmAscent);
}

TEST_P(TextRender, UnderlineAndStrikeOutSpanTheAdvance) {
    // Spaces have no ink, so what shows is the line alone.
    for (TFontStyle line : {fsUnderline, fsStrikeOut}) {
        TFont f = MakeFont(12, {line});
        TTextMetric tm = GetTextMetrics(f);
        int w = MeasureText(f, "    ").cx;
        Ink ink = Draw(f, "    ", 10, 20);
        ASSERT_GT(ink.count, 0);
        EXPECT_EQ(ink.box.Left, 10);
        EXPECT_EQ(ink.box.Right, 10 + w);
        if (line == fsUnderline) {
            EXPECT_GE(ink.box.Top, 20 + tm.tmAscent);
        } else {
            EXPECT_LE(ink.box.Bottom, 20 + tm.tmAscent);
        }
        EXPECT_TRUE(Within(ink.box, Bounds(10, 20, w, tm.tmHeight)));
        EXPECT_EQ(ink.count, ink.box.Width() * ink.box.Height());  // a solid bar

        // Turned a quarter, the bar stands upright to the right of the reference point.
        f.SetOrientation(900);
        Ink up = Draw(f, "    ", 100, 200);
        EXPECT_EQ(up.box.Bottom, 200);
        EXPECT_EQ(up.box.Top, 200 - w);
        EXPECT_EQ(up.box.Width(), ink.box.Height());
        EXPECT_EQ(up.box.Left, 100 + (ink.box.Top - 20));
    }
}

TEST_P(TextRender, TurnedTextOccupiesTheTurnedCell) {
    struct Case {
        int orientation;
        // The cell for a text of width w and height h drawn at (x, y).
        TRect (*cell)(int x, int y, int w, int h);
    } cases[] = {
        {900,
         [](int x, int y, int w, int h) {
             return TRect{x, y - w, x + h, y};
         }},
        {1800,
         [](int x, int y, int w, int h) {
             return TRect{x - w, y - h, x, y};
         }},
        {2700,
         [](int x, int y, int w, int h) {
             return TRect{x - h, y, x, y + w};
         }},
        {-900,
         [](int x, int y, int w, int h) {
             return TRect{x - h, y, x, y + w};
         }},
        {4500,
         [](int x, int y, int w, int h) {
             return TRect{x, y - w, x + h, y};
         }},
    };
    const std::string text = "Hello World";
    for (const auto& c : cases) {
        TFont f = MakeFont(12, {}, c.orientation);
        TSize size = MeasureText(f, text);  // the unturned extent
        const int x = 150, y = 150;
        Ink ink = Draw(f, text, x, y);
        ASSERT_GT(ink.count, 0) << c.orientation;
        TRect cell = c.cell(x, y, size.cx, size.cy);
        EXPECT_TRUE(Within(ink.box, cell))
            << c.orientation << ": ink " << Show(ink.box) << " cell " << Show(cell);
        if (c.orientation % 1800 != 0)
            EXPECT_GT(ink.box.Height(), ink.box.Width()) << c.orientation;
        else
            EXPECT_GT(ink.box.Width(), ink.box.Height()) << c.orientation;
    }
}

TEST_P(TextRender, ObliqueTextRisesAlongItsBaseline) {
    TFont f = MakeFont(12, {}, 300);  // 30 degrees
    TSize size = MeasureText(f, "MMMMMMMM");
    Ink ink = Draw(f, "MMMMMMMM", 20, 200);
    ASSERT_GT(ink.count, 0);
    // The far end of the line is width * sin 30 higher than its start.
    EXPECT_LT(ink.box.Top, 200 - size.cx / 2 + size.cy);
    EXPECT_GT(ink.box.Right, 20 + size.cx * 3 / 4);
    EXPECT_GE(ink.box.Left, 19);
}

TEST_P(TextRender, MonochromeUsesOnlyTheColour) {
    for (int orientation : {0, 900, 300}) {
        TFont f = MakeFont(14, {}, orientation, fqNonAntialiased);
        Ink ink = Draw(f, "Smooth & round @ 0", 100, 150, 300, 300, clRed);
        ASSERT_GT(ink.count, 0);
        EXPECT_EQ(ink.values, (std::set<TPixel>{kWhite, ToPixel(clRed)})) << orientation;
    }
}

TEST_P(TextRender, AntialiasedTextBlendsEdges) {
    if (GetParam() == Source::Builtin) GTEST_SKIP() << "the bitmap font has no grey levels";
    for (TFontQuality q : {fqDefault, fqAntialiased}) {
        Ink ink = Draw(MakeFont(14, {}, 0, q), "Smooth & round", 10, 10, 300, 300, clBlack);
        EXPECT_GT(ink.values.size(), 2u) << int(q);
        EXPECT_TRUE(ink.values.count(0)) << int(q);  // full coverage is the colour itself
    }
}

TEST_P(TextRender, BlendsOntoTheBackground) {
    // Grey levels lie between the background and the colour in every channel.
    TSurface s(200, 60, 0x0000FF);  // blue background
    RenderText(s, s.Bounds(), 5, 5, MakeFont(16), "Ragged", clRed);
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            TPixel p = s.Get(x, y);
            EXPECT_EQ(p & 0x00FF00, 0u);
            EXPECT_EQ(((p >> 16) & 0xFF) + (p & 0xFF), 255u) << x << "," << y;
        }
}

TEST_P(TextRender, ClippingIsSafeAnywhere) {
    TFont plain = MakeFont(12), turned = MakeFont(12, {fsUnderline}, 450);
    const TPoint points[] = {{-1000, -1000},   {INT_MAX - 5, INT_MAX - 5},
                             {INT_MIN + 5, 0}, {INT_MIN, INT_MIN},
                             {0, INT_MAX},     {INT_MAX, INT_MIN}};
    for (const TFont* f : {&plain, &turned})
        for (TPoint p : points) EXPECT_EQ(Draw(*f, "Clipped away", p.X, p.Y, 50, 50).count, 0);

    // Partly outside on the left and above: only the part on the surface is drawn.
    Ink part = Draw(plain, "WWWWWW", -10, -5, 40, 40);
    EXPECT_GT(part.count, 0);
    EXPECT_EQ(part.box.Left, 0);
    // Running off the right edge: drawn up to the edge.
    Ink right = Draw(plain, std::string(80, 'H'), 10, 5, 60, 40);
    EXPECT_GE(right.box.Right, 58);

    // A clip rectangle inside the surface keeps everything outside it untouched.
    TSurface s(100, 40, kWhite);
    const TRect clip{20, 5, 60, 15};
    RenderText(s, clip, 0, 0, MakeFont(20, {fsUnderline}), "MMMMMMMMMM", clBlack);
    Ink ink = InkOf(s);
    ASSERT_GT(ink.count, 0);
    EXPECT_TRUE(Within(ink.box, clip)) << Show(ink.box);
    // A clip reaching past the surface, or inverted, or empty, is no fault.
    RenderText(s, TRect{-50, -50, 500, 500}, 0, 0, plain, "abc", clBlack);
    RenderText(s, TRect{60, 30, 10, 5}, 0, 0, plain, "abc", clBlack);
    RenderText(s, TRect{}, 0, 0, plain, "abc", clBlack);
    TSurface empty;
    RenderText(empty, TRect{0, 0, 10, 10}, 0, 0, plain, "abc", clBlack);
}

TEST_P(TextRender, InvalidUtf8BecomesReplacementCharacters) {
    TFont f = MakeFont(12);
    const std::string r = "\xEF\xBF\xBD";  // U+FFFD
    EXPECT_GT(MeasureText(f, r).cx, 0);
    struct Case {
        std::string bytes;
        std::string same;  // well-formed text that measures the same
    } cases[] = {
        {"\xFF", r},                          // never valid
        {"\x80", r},                          // a lone continuation byte
        {"\xC3", r},                          // cut short at the end
        {"\xE2\x82", r},                      // cut short at the end
        {"\xC0\xAF", r + r},                  // overlong: neither byte starts a sequence
        {"\xE0\x80\xAF", r + r + r},          // overlong in three bytes
        {"\xED\xA0\x80", r + r + r},          // a surrogate
        {"\xF4\x90\x80\x80", r + r + r + r},  // beyond U+10FFFF
        {"\xF8\x88\x80\x80\x80", r + r + r + r + r},
        {"\xE2\x82\xE2\x82\xAC", r + "\xE2\x82\xAC"},  // cut, then a whole euro sign
        {"\xC3\xA9", "\xC3\xA9"},                      // valid stays valid
    };
    for (const auto& c : cases) {
        std::string text = "a" + c.bytes + "a";
        EXPECT_EQ(MeasureText(f, text).cx, MeasureText(f, "a" + c.same + "a").cx)
            << testing::PrintToString(c.bytes);
        EXPECT_GT(Draw(f, text, 5, 5, 200, 40).count, 0);
    }
    std::string nul("a\0b", 3);
    EXPECT_GE(MeasureText(f, nul).cx, MeasureText(f, "ab").cx);
    // A well-formed character the font lacks still takes room (the face's missing-glyph box).
    EXPECT_GT(MeasureText(f, "\xF3\xA0\x80\x80").cx, 0);
}

TEST_P(TextRender, HugeHeightsAreBounded) {
    TFont f;
    f.SetHeight(-1000000);
    TSize size = MeasureText(f, "W");
    EXPECT_GT(size.cy, 0);
    EXPECT_LE(size.cy, 4096);
    // Drawn at the largest size there is.
    Ink ink = Draw(f, "H", 0, 0, 1500, 1500);
    EXPECT_GT(ink.box.Height(), 500);
    EXPECT_LE(ink.box.Bottom, size.cy);
    f.SetHeight(INT_MIN);
    EXPECT_LE(MeasureText(f, "W").cy, 4096);
    f.SetHeight(INT_MAX);
    EXPECT_LE(MeasureText(f, "W").cy, 4096);
    f.SetHeight(0);
    EXPECT_GT(MeasureText(f, "W").cy, 0);
}

INSTANTIATE_TEST_SUITE_P(Sources, TextRender, ::testing::Values(Source::FontFiles, Source::Builtin),
                         [](const auto& info) {
                             return info.param == Source::FontFiles ? "FontFiles" : "Builtin";
                         });

TEST(FontLookup, NamesResolveToFilesWhenFontsExist) {
    SetFontFilesDisabled(false);
    if (ResolveFontFile(TFont()).empty()) GTEST_SKIP() << "no font files installed";
    for (const char* name : {"Tahoma", "Arial", "MS Sans Serif", "No Such Family 123", ""}) {
        TFont f;
        f.SetName(name);
        EXPECT_FALSE(ResolveFontFile(f).empty()) << name;
        f.SetStyle({fsBold, fsItalic});
        EXPECT_FALSE(ResolveFontFile(f).empty()) << name;
        f.SetPitch(fpFixed);
        EXPECT_FALSE(ResolveFontFile(f).empty()) << name;
    }
}

TEST(FontLookup, DisabledFilesFallBackToTheBuiltinFont) {
    SetFontFilesDisabled(true);
    TFont f = MakeFont(8);
    EXPECT_EQ(ResolveFontFile(f), "");
    TTextMetric tm = GetTextMetrics(f);
    EXPECT_EQ(tm.tmHeight, builtin_font::kCellHeight);
    EXPECT_EQ(tm.tmAscent, builtin_font::kAscent);
    EXPECT_EQ(MeasureText(f, "abc").cx, 3 * builtin_font::kAdvance);
    EXPECT_GT(Draw(f, "abc", 2, 2).count, 0);
    // Larger heights scale the design by whole factors.
    f.SetHeight(-33);
    EXPECT_EQ(GetTextMetrics(f).tmHeight, 3 * builtin_font::kCellHeight);
    SetFontFilesDisabled(false);
}

TEST(BuiltinFont, EveryPrintableCharacterHasInkExceptSpace) {
    for (char32_t cp = 32; cp <= 126; ++cp) {
        TGlyphImage g = builtin_font::Glyph(cp, 1, false, false);
        int ink = 0;
        for (uint8_t v : g.coverage) ink += v != 0;
        EXPECT_EQ(ink == 0, cp == ' ') << char(cp);
        EXPECT_EQ(g.advance, builtin_font::kAdvance);
    }
    // Distinct designs for look-alike characters.
    auto same = [](char32_t a, char32_t b) {
        return builtin_font::Glyph(a, 1, false, false).coverage ==
               builtin_font::Glyph(b, 1, false, false).coverage;
    };
    EXPECT_FALSE(same('O', '0'));
    EXPECT_FALSE(same('l', '1'));
    EXPECT_FALSE(same('I', 'l'));
    // Anything else is a box; bold adds a column.
    EXPECT_TRUE(same(0x00E9, 0x4E2D));
    EXPECT_FALSE(builtin_font::HasGlyph(0x7F));
    EXPECT_EQ(builtin_font::Glyph('A', 2, true, false).advance, 2 * (builtin_font::kAdvance + 1));
}

TEST(GlyphCache, EvictsTheLeastRecentlyUsed) {
    fontcache::TGlyphCache cache(3, 1 << 20);
    auto key = [](uint32_t g) {
        fontcache::TGlyphKey k;
        k.glyph = g;
        return k;
    };
    auto glyph = [](int advance, size_t bytes) {
        TGlyphImage g;
        g.advance = advance;
        g.coverage.assign(bytes, 1);
        return g;
    };
    cache.Insert(key(1), glyph(1, 10));
    cache.Insert(key(2), glyph(2, 10));
    cache.Insert(key(3), glyph(3, 10));
    ASSERT_NE(cache.Find(key(1)), nullptr);  // 1 is now the most recent
    cache.Insert(key(4), glyph(4, 10));
    EXPECT_EQ(cache.Count(), 3u);
    EXPECT_EQ(cache.Find(key(2)), nullptr);
    ASSERT_NE(cache.Find(key(1)), nullptr);
    EXPECT_EQ(cache.Find(key(1))->advance, 1);
    EXPECT_EQ(cache.Find(key(4))->advance, 4);
    // Replacing a key keeps one entry.
    cache.Insert(key(4), glyph(40, 10));
    EXPECT_EQ(cache.Count(), 3u);
    EXPECT_EQ(cache.Find(key(4))->advance, 40);

    // The byte bound evicts too, but never the glyph just stored.
    fontcache::TGlyphCache small(100, 1000);
    small.Insert(key(1), glyph(1, 600));
    small.Insert(key(2), glyph(2, 600));
    EXPECT_EQ(small.Count(), 1u);
    EXPECT_NE(small.Find(key(2)), nullptr);
    small.Insert(key(3), glyph(3, 5000));
    EXPECT_EQ(small.Count(), 1u);
    EXPECT_NE(small.Find(key(3)), nullptr);
    small.Clear();
    EXPECT_EQ(small.Count(), 0u);
    EXPECT_EQ(small.Bytes(), 0u);
}

TEST(GlyphCache, StaysBoundedUnderManySizesAndAngles) {
    SetFontFilesDisabled(false);
    TSurface s(64, 64);
    for (int size = 6; size < 40; ++size)
        for (int angle = 0; angle < 3600; angle += 250)
            RenderText(s, s.Bounds(), 32, 32, MakeFont(size, {}, angle),
                       "The quick brown fox jumps", clBlack);
    EXPECT_LE(fontcache::Glyphs().Count(), 4096u);
    EXPECT_LE(fontcache::Glyphs().Bytes(), size_t(8) << 20);
}
