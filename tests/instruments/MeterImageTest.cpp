// The meter's image files: background in its three fill modes and the anchor with its
// mask, and what happens to missing, unreadable and good files, from a setter and from
// Loaded. The pictures are made in a temporary directory by each test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/Bitmap.h"
#include "host/Canvas.h"
#include "host/Component.h"
#include "host/Exceptions.h"
#include "instruments/Meter.h"

using namespace kovo;

namespace {

struct ImageFixture : ::testing::Test {
    std::filesystem::path dir;
    TMeter m{nullptr};

    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "meterXXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    TColor At(int x, int y) { return m.Canvas()->Pixels(x, y); }
    std::string File(const std::string& name) { return (dir / name).string(); }
    std::string WriteText(const std::string& name, const std::string& bytes) {
        std::ofstream(File(name), std::ios::binary) << bytes;
        return File(name);
    }
    // A picture of one colour with pixel (1, 1) marked in another (row 0 of a bare dial is
    // taken by the dial border).
    std::string WriteMarked(const std::string& name, int w, int h, TColor fill, TColor mark) {
        TBitmap b(w, h);
        b.Canvas()->Brush()->SetColor(fill);
        b.Canvas()->FillRect(Rect(0, 0, w, h));
        b.Canvas()->SetPixels(1, 1, mark);
        b.SaveToFile(File(name));
        return File(name);
    }
    // A 20 x 20 anchor: a red square in the middle of a black picture.
    std::string WriteAnchor(const std::string& name, TPixelFormat format) {
        TBitmap b(20, 20);
        b.Canvas()->Brush()->SetColor(clBlack);
        b.Canvas()->FillRect(Rect(0, 0, 20, 20));
        b.Canvas()->Brush()->SetColor(clRed);
        b.Canvas()->FillRect(Rect(6, 6, 14, 14));
        b.SetPixelFormat(format);
        b.SaveToFile(File(name));
        return File(name);
    }
    // Only the background: no scale, needle, anchor, lamps, rims or frame.
    void BareDial() {
        m.SetScaleVisible(false);
        m.SetAnchorCovered(false);
        m.SetLimWatchHighOn(false);
        m.SetLimWatchLowOn(false);
        m.SetFrameStyle(fsNone);
        m.SetRimTop(0);
        m.SetRimBottom(0);
        m.SetRimSide(0);
        m.OnBeforeDrawNeedle = [](TObject*, TCanvas*, bool& drawn) { drawn = true; };
    }
};

TEST_F(ImageFixture, MissingFilesClearTheNames) {
    m.SetBackGroundImg(File("nothing.png"));
    EXPECT_EQ(m.BackGroundImg(), "");
    m.SetAnchorImage(File("nothing.bmp"));
    EXPECT_EQ(m.AnchorImage(), "");
    m.SetBackGroundImg(dir.string());  // a directory is no file
    EXPECT_EQ(m.BackGroundImg(), "");
}

TEST_F(ImageFixture, AnUnreadableBackgroundRaisesAndKeepsItsName) {
    std::string bad = WriteText("bad.png", "this is no picture");
    EXPECT_THROW(m.SetBackGroundImg(bad), EInvalidGraphic);
    EXPECT_EQ(m.BackGroundImg(), bad);
    // The picture that was there (the initial 10 x 10 white one) stays in use.
    m.SetColorBakG(clYellow);
    m.Repaint();
    EXPECT_EQ(At(50, 50), clWhite);
}

TEST_F(ImageFixture, AnUnreadableAnchorOnlyClearsItsName) {
    std::string bad = WriteText("bad.bmp", "BM and then nothing useful");
    EXPECT_NO_THROW(m.SetAnchorImage(bad));
    EXPECT_EQ(m.AnchorImage(), "");
}

TEST_F(ImageFixture, LoadedClearsTheNamesOfUnreadableFiles) {
    std::string bad = WriteText("bad.png", "no picture");
    std::string good = WriteMarked("good.png", 10, 10, clBlue, clBlue);
    int paints = 0;
    m.OnMeterRendered = [&](TObject*, TCanvas*) { ++paints; };
    {
        TLoadingScope scope(&m);
        m.SetBackGroundImg(bad);  // only stored while loading
        m.SetAnchorImage(good);
        m.SetBkgndFillMode(bfStretch);
        EXPECT_EQ(m.BackGroundImg(), bad);
    }
    EXPECT_EQ(m.BackGroundImg(), "");
    EXPECT_EQ(m.AnchorImage(), good);
    EXPECT_EQ(paints, 1);
    {
        TLoadingScope scope(&m);
        m.SetBackGroundImg(good);
        m.SetAnchorImage(bad);
    }
    EXPECT_EQ(m.BackGroundImg(), good);
    EXPECT_EQ(m.AnchorImage(), "");
    EXPECT_EQ(At(60, 150), clBlue);
}

TEST_F(ImageFixture, PlainBackgroundOnceInTheCorner) {
    BareDial();
    m.SetColorBakG(clYellow);
    m.SetBackGroundImg(WriteMarked("bg.png", 40, 30, clBlue, clRed));
    EXPECT_EQ(At(1, 1), clRed);
    EXPECT_EQ(At(39, 29), clBlue);
    EXPECT_EQ(At(45, 29), clWhite);  // the rest is white, not the dial colour
    EXPECT_EQ(At(20, 35), clWhite);
    m.SetBackGroundImg("");  // the name goes, the dial colour comes back
    EXPECT_EQ(At(20, 20), clYellow);
}

TEST_F(ImageFixture, StretchedBackground) {
    BareDial();
    m.SetBkgndFillMode(bfStretch);
    m.SetBackGroundImg(WriteMarked("bg.bmp", 4, 4, clGreen, clGreen));
    EXPECT_EQ(At(10, 10), clGreen);
    EXPECT_EQ(At(290, 200), clGreen);
    m.SetBkgndFillMode(TBkgFill(7));  // no background at all
    EXPECT_EQ(At(60, 60), clWhite);   // the fresh picture's white
}

// A 100 x 50 picture on a 297 x 209 meter: 3 columns and 5 rows of tiles, the last ones
// clipped.
TEST_F(ImageFixture, TiledBackground) {
    BareDial();
    m.SetBkgndFillMode(bfTile);
    m.SetBackGroundImg(WriteMarked("tile.png", 100, 50, clBlue, clRed));
    for (int col = 0; col < 3; ++col)
        for (int row = 0; row < 5; ++row) {
            SCOPED_TRACE(testing::Message() << col << "," << row);
            EXPECT_EQ(At(100 * col + 1, 50 * row + 1), clRed);
            EXPECT_EQ(At(100 * col + 2, 50 * row + 1), clBlue);
        }
    EXPECT_EQ(At(296, 208), clBlue);
}

TEST_F(ImageFixture, ScaleBackgroundDiscIsDrawnOverTheImage) {
    BareDial();
    m.SetBkgndFillMode(bfStretch);
    m.SetBackGroundImg(WriteMarked("bg.png", 8, 8, clGreen, clGreen));
    m.SetScaleBkVisible(true);
    m.SetScaleBkWidth(10);
    m.SetColorBakG(clYellow);
    int x, y;
    m.ConvertToPixelCoords(0.5, 50, x, y);
    EXPECT_EQ(At(x, y), clYellow);
    m.ConvertToPixelCoords(0.5, 95, x, y);
    EXPECT_EQ(At(x, y), ColorToRGB(m.ColorSclBkNorm()));
}

struct AnchorCase {
    const char* name;
    TPixelFormat format;
};

// Black parts of the anchor picture let the dial through; the rest covers it.
TEST_F(ImageFixture, AnchorImageWithItsMask) {
    const AnchorCase cases[] = {{"anchor8.bmp", pf8bit},
                                {"anchor24.png", pf24bit},
                                {"anchor32.bmp", pf32bit},
                                {"anchor4.bmp", pf4bit}};
    m.SetScaleVisible(false);
    m.OnBeforeDrawNeedle = [](TObject*, TCanvas*, bool& drawn) { drawn = true; };
    m.SetColorBakG(clYellow);
    m.SetMeterLayout(mlCirc270);  // the centre, and the whole picture, inside the dial
    const int cx = m.OriginX(), cy = m.OriginY();
    for (const AnchorCase& c : cases) {
        SCOPED_TRACE(c.name);
        m.SetAnchorImage("");
        m.SetAnchorImage(WriteAnchor(c.name, c.format));
        ASSERT_EQ(m.AnchorImage(), File(c.name));
        EXPECT_EQ(At(cx, cy), clRed);
        EXPECT_EQ(At(cx - 3, cy + 3), clRed);
        EXPECT_EQ(At(cx - 9, cy + 8), clYellow);  // black in the picture
        EXPECT_EQ(At(cx + 9, cy - 9), clYellow);
    }
    m.SetAnchorCovered(false);
    EXPECT_EQ(At(cx, cy + 3), clYellow);
}

}  // namespace
