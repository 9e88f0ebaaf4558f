// TBitmap: sizes, pixel formats and their scan lines, the two pixel stores kept in step,
// palettes, transparency, copies, files and the picture registry.
#include "host/Bitmap.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/Canvas.h"
#include "host/Exceptions.h"
#include "host/Graphics.h"
#include "host/Resources.h"

using namespace kovo;
namespace fs = std::filesystem;

namespace {

std::string ExpectMessage(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "(no exception)";
}

// A folder of its own for each test that touches files, removed afterwards.
class BitmapFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("kovo-bitmap-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename());
        return names;
    }
    void Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        std::ofstream(Path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }

    fs::path dir_;
};

// A picture in the colours a format holds exactly: for an indexed format its palette
// entries, otherwise a spread of colours (with 5- and 6-bit levels for 15 and 16 bits).
TColor SampleColor(TPixelFormat format, int x, int y) {
    const int i = x * 7 + y * 3;
    switch (format) {
        case pf1bit:
            return i % 2 ? clWhite : clBlack;
        case pf4bit:
            return DefaultPalette(pf4bit)[size_t(i % 16)];
        case pf8bit:
            return DefaultPalette(pf8bit)[size_t(i * 11 % 256)];
        case pf15bit:
        case pf16bit: {
            auto level5 = [](int v) { return uint8_t((v << 3) | (v >> 2)); };
            auto level6 = [](int v) { return uint8_t((v << 2) | (v >> 4)); };
            const uint8_t g = format == pf15bit ? level5((i * 3) % 32) : level6((i * 3) % 64);
            return RGB(level5(i % 32), g, level5((i * 5) % 32));
        }
        default:
            return RGB(uint8_t(i * 13), uint8_t(i * 29), uint8_t(255 - i));
    }
}

void Paint(TBitmap& b, TPixelFormat format) {
    TSurface& s = b.MutableSurface();
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) s.Set(x, y, ToPixel(SampleColor(format, x, y)));
}

void ExpectPainted(TBitmap& b, TPixelFormat format) {
    const TSurface& s = b.PixelSurface();
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            ASSERT_EQ(PixelToColor(s.Get(x, y)), SampleColor(format, x, y)) << x << "," << y;
}

const TPixelFormat kFileFormats[] = {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit};

}  // namespace

// ---- size and format ----

TEST(Bitmap, NewBitmapIsEmptyDeviceFormat) {
    TBitmap b;
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.PixelFormat(), pfDevice);
    EXPECT_EQ(b.PaletteSize(), 0);
    b.SetWidth(3);
    EXPECT_TRUE(b.Empty());
    b.SetHeight(2);
    EXPECT_FALSE(b.Empty());
    EXPECT_EQ(b.PixelSurface().Get(2, 1), 0xFFFFFFu);
}

TEST(Bitmap, SetSizeKeepsWhatFitsAndFillsWhite) {
    for (TPixelFormat f : {pfDevice, pf4bit, pf24bit}) {
        SCOPED_TRACE(int(f));
        TBitmap b(4, 3);
        b.SetPixelFormat(f);
        b.MutableSurface().Set(1, 1, ToPixel(clRed));
        b.MutableSurface().Set(3, 2, ToPixel(clBlue));
        b.ScanLine(0);  // the rows, not the surface, are current now
        b.SetSize(6, 2);
        EXPECT_EQ(b.Width(), 6);
        EXPECT_EQ(b.Height(), 2);
        EXPECT_EQ(b.Canvas()->Pixels(1, 1), clRed);
        EXPECT_EQ(b.Canvas()->Pixels(5, 1), clWhite);
        EXPECT_EQ(b.Canvas()->Pixels(3, 1), clWhite);
        b.SetSize(-1, 5);
        EXPECT_TRUE(b.Empty());
    }
}

TEST(Bitmap, ScanLineRowsArePaddedToFourBytes) {
    EXPECT_EQ(BytesPerScanline(9, pf1bit), 4u);
    EXPECT_EQ(BytesPerScanline(33, pf1bit), 8u);
    EXPECT_EQ(BytesPerScanline(9, pf4bit), 8u);
    EXPECT_EQ(BytesPerScanline(5, pf8bit), 8u);
    EXPECT_EQ(BytesPerScanline(3, pf15bit), 8u);
    EXPECT_EQ(BytesPerScanline(3, pf24bit), 12u);
    EXPECT_EQ(BytesPerScanline(3, pfDevice), 12u);
    TBitmap b(5, 3);
    b.SetPixelFormat(pf24bit);
    EXPECT_EQ(static_cast<uint8_t*>(b.ScanLine(1)) - static_cast<uint8_t*>(b.ScanLine(0)), 16);
}

TEST(Bitmap, ScanLineOutsideThePictureRaises) {
    TBitmap b(2, 2);
    for (int row : {-1, 2, 100}) {
        EXPECT_EQ(ExpectMessage([&] { b.ScanLine(row); }), "Scan line index out of range");
        EXPECT_THROW(b.ScanLine(row), EInvalidGraphic);
    }
    TBitmap empty;
    EXPECT_THROW(empty.ScanLine(0), EInvalidGraphic);
}

TEST(Bitmap, CustomFormatCannotBeSet) {
    TBitmap b(1, 1);
    EXPECT_THROW(b.SetPixelFormat(pfCustom), EInvalidGraphic);
    EXPECT_EQ(b.PixelFormat(), pfDevice);
}

// ---- the scan-line layouts, both ways ----

struct ScanCase {
    TPixelFormat format;
    std::vector<uint8_t> bytes;  // the start of row 0
    std::vector<TColor> colors;  // what pixels 0.. show
};

const ScanCase kScanCases[] = {
    {pf1bit, {0x40}, {clBlack, clWhite, clBlack}},
    {pf4bit, {0x9C, 0xF0}, {clRed, clBlue, clWhite, clBlack}},
    {pf8bit, {0, 255, 1, 8 + 36 + 12 + 3}, {clBlack, clWhite, clMaroon, RGB(51, 102, 153)}},
    {pf15bit, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00}, {clRed, clLime, clBlue}},
    {pf16bit, {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00}, {clRed, clLime, clBlue}},
    {pf24bit, {0x30, 0x20, 0x10, 0xFF, 0, 0}, {RGB(0x10, 0x20, 0x30), clBlue}},
    {pf32bit, {0x30, 0x20, 0x10, 0, 0, 0, 0xFF, 0}, {RGB(0x10, 0x20, 0x30), clRed}},
    {pfDevice, {0, 0xFF, 0, 0x77}, {clLime}},
};

TEST(Bitmap, ScanLineWritesShowOnTheCanvas) {
    for (const ScanCase& c : kScanCases) {
        SCOPED_TRACE(int(c.format));
        TBitmap b(8, 2);
        b.SetPixelFormat(c.format);
        TCanvas* canvas = b.Canvas();  // kept across the write: it must see it all the same
        auto* row = static_cast<uint8_t*>(b.ScanLine(0));
        std::memcpy(row, c.bytes.data(), c.bytes.size());
        for (size_t x = 0; x < c.colors.size(); ++x)
            EXPECT_EQ(canvas->Pixels(int(x), 0), c.colors[x]) << x;
        EXPECT_EQ(canvas->Pixels(0, 1), clWhite);
    }
}

// The stored value of pixel x: an index, a 16-bit word or the B, G, R bytes.
unsigned RawPixel(const uint8_t* row, TPixelFormat f, int x) {
    switch (f) {
        case pf1bit:
            return (row[x / 8] >> (7 - x % 8)) & 1;
        case pf4bit:
            return x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4;
        case pf8bit:
            return row[x];
        case pf15bit:
        case pf16bit:
            return row[2 * x] | (row[2 * x + 1] << 8);
        case pf24bit:
            return row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16);
        default:
            return row[4 * x] | (row[4 * x + 1] << 8) | (row[4 * x + 2] << 16);
    }
}

TEST(Bitmap, CanvasDrawingShowsInScanLine) {
    for (const ScanCase& c : kScanCases) {
        SCOPED_TRACE(int(c.format));
        TBitmap b(8, 2);
        b.SetPixelFormat(c.format);
        b.ScanLine(0);
        for (size_t x = 0; x < c.colors.size(); ++x) b.Canvas()->SetPixels(int(x), 0, c.colors[x]);
        const auto* row = static_cast<const uint8_t*>(b.ScanLine(0));
        const bool indexed = b.PaletteSize() > 0;
        for (size_t x = 0; x < c.colors.size(); ++x) {
            const unsigned raw = RawPixel(row, c.format, int(x));
            // The default 256 colours hold some colours twice, so indexes are compared by
            // the colour they stand for.
            if (indexed) {
                EXPECT_EQ(b.PaletteEntry(int(raw)), c.colors[x]) << x;
            } else {
                EXPECT_EQ(raw, RawPixel(c.bytes.data(), c.format, int(x))) << x;
            }
        }
        if (c.format == pf32bit || c.format == pfDevice) {
            EXPECT_EQ(row[3], 0);  // the reserved byte
        }
    }
}

TEST(Bitmap, DrawingWithAKeptCanvasAfterScanLineKeepsBoth) {
    TBitmap b(4, 1);
    b.SetPixelFormat(pf8bit);
    TCanvas* canvas = b.Canvas();
    canvas->SetPixels(0, 0, clRed);
    static_cast<uint8_t*>(b.ScanLine(0))[1] = 12;  // the colour-cube entry (0, 0, 204)
    canvas->SetPixels(2, 0, clLime);
    auto* row = static_cast<uint8_t*>(b.ScanLine(0));
    EXPECT_EQ(b.PaletteEntry(row[0]), clRed);
    EXPECT_EQ(row[1], 12);
    EXPECT_EQ(PixelToColor(b.PixelSurface().Get(1, 0)), RGB(0, 0, 204));
    EXPECT_EQ(b.PaletteEntry(row[2]), clLime);
}

// ---- palettes and conversions ----

TEST(Bitmap, DefaultPalettes) {
    EXPECT_EQ(DefaultPalette(pf1bit), (std::vector<TColor>{clBlack, clWhite}));
    const std::vector<TColor> sixteen = DefaultPalette(pf4bit);
    ASSERT_EQ(sixteen.size(), 16u);
    EXPECT_EQ(sixteen[0], clBlack);
    EXPECT_EQ(sixteen[9], clRed);
    EXPECT_EQ(sixteen[15], clWhite);
    const std::vector<TColor> full = DefaultPalette(pf8bit);
    ASSERT_EQ(full.size(), 256u);
    EXPECT_EQ(full[0], clBlack);
    EXPECT_EQ(full[255], clWhite);
    EXPECT_EQ(full[8 + 1 * 36 + 2 * 6 + 3], RGB(51, 102, 153));
    EXPECT_EQ(full[224], RGB(8, 8, 8));
    EXPECT_EQ(full[249], clRed);
    EXPECT_TRUE(DefaultPalette(pf24bit).empty());
}

TEST(Bitmap, ConvertingToAnIndexedFormatTakesTheNearestEntry) {
    TBitmap b(3, 1);
    TSurface& s = b.MutableSurface();
    s.Set(0, 0, ToPixel(RGB(250, 10, 10)));
    s.Set(1, 0, ToPixel(RGB(100, 100, 100)));
    s.Set(2, 0, ToPixel(RGB(20, 20, 120)));
    b.SetPixelFormat(pf4bit);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(b.Canvas()->Pixels(1, 0), clGray);
    EXPECT_EQ(b.Canvas()->Pixels(2, 0), clNavy);
    b.SetPixelFormat(pf1bit);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clBlack);
    EXPECT_EQ(b.Canvas()->Pixels(1, 0), clWhite);  // $808080 lies nearer white than black
    b.SetPixelFormat(pf24bit);
    EXPECT_EQ(b.PaletteSize(), 0);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clBlack);
}

TEST(Bitmap, PaletteChangesRecolourPixels) {
    TBitmap b(2, 1);
    b.SetPixelFormat(pf1bit);
    b.Canvas()->SetPixels(0, 0, clBlack);
    b.Canvas()->SetPixels(1, 0, clWhite);
    b.SetPaletteEntries(0, {clRed, clBtnFace});
    EXPECT_EQ(b.PaletteEntry(1), ColorToRGB(clBtnFace));
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(b.Canvas()->Pixels(1, 0), ColorToRGB(clBtnFace));
    b.SetPaletteEntry(5, clLime);  // beyond the two entries: ignored
    EXPECT_EQ(b.PaletteSize(), 2);
}

// ---- transparency ----

TEST(Bitmap, TransparentColorAutoIsTheBottomLeftPixel) {
    TBitmap b(3, 3);
    EXPECT_EQ(b.TransparentMode(), tmAuto);
    b.MutableSurface().Set(0, 2, ToPixel(clFuchsia));
    EXPECT_EQ(b.TransparentColor(), clFuchsia);
    b.SetPixelFormat(pf8bit);
    static_cast<uint8_t*>(b.ScanLine(2))[0] = 3;  // olive
    EXPECT_EQ(b.TransparentColor(), clOlive);
    EXPECT_EQ(TBitmap().TransparentColor(), clWhite);
}

TEST(Bitmap, TransparentColorFixedAndBack) {
    TBitmap b(2, 2);
    b.SetTransparentColor(clBtnFace);
    EXPECT_EQ(b.TransparentMode(), tmFixed);
    EXPECT_EQ(b.TransparentColor(), ColorToRGB(clBtnFace));
    b.SetTransparentColor(clDefault);
    EXPECT_EQ(b.TransparentMode(), tmAuto);
    EXPECT_EQ(b.TransparentColor(), clWhite);
    // Fixing the mode keeps the colour seen so far, whatever the picture does next.
    b.MutableSurface().Set(0, 1, ToPixel(clTeal));
    b.SetTransparentMode(tmFixed);
    b.MutableSurface().Set(0, 1, ToPixel(clRed));
    EXPECT_EQ(b.TransparentColor(), clTeal);
}

// ---- copies ----

TEST(Bitmap, AssignMakesAnIndependentCopy) {
    TBitmap a(3, 2);
    a.SetPixelFormat(pf4bit);
    a.SetPaletteEntry(2, clSkyBlue);
    a.Canvas()->SetPixels(1, 1, clSkyBlue);
    a.SetTransparent(true);
    a.SetTransparentColor(clRed);
    TBitmap b;
    b.Assign(&a);
    a.Canvas()->SetPixels(1, 1, clBlack);
    a.SetPaletteEntry(2, clMoneyGreen);
    a.SetSize(1, 1);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 2);
    EXPECT_EQ(b.PixelFormat(), pf4bit);
    EXPECT_EQ(b.PaletteEntry(2), clSkyBlue);
    EXPECT_EQ(b.Canvas()->Pixels(1, 1), clSkyBlue);
    EXPECT_EQ(static_cast<uint8_t*>(b.ScanLine(1))[0] & 0x0F, 2);
    EXPECT_TRUE(b.Transparent());
    EXPECT_EQ(b.TransparentColor(), clRed);

    b.Assign(nullptr);
    EXPECT_TRUE(b.Empty());
}

TEST(Bitmap, AssignFromAnotherClassRaises) {
    TBitmap b(1, 1);
    TPen pen;
    EXPECT_EQ(ExpectMessage([&] { b.Assign(&pen); }), "Cannot assign a TPen to a TBitmap");
    EXPECT_THROW(b.Assign(&pen), EConvertError);
    EXPECT_EQ(b.Width(), 1);
}

TEST(Bitmap, OnChangeFiresForSizeFormatAndDrawing) {
    TBitmap b;
    int changes = 0;
    b.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &b);
        ++changes;
    };
    b.SetSize(2, 2);
    EXPECT_EQ(changes, 1);
    b.SetSize(2, 2);
    EXPECT_EQ(changes, 1);
    b.SetPixelFormat(pf8bit);
    EXPECT_EQ(changes, 2);
    b.Canvas()->SetPixels(0, 0, clRed);
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(b.Modified());
}

// ---- files ----

TEST_F(BitmapFiles, EveryFormatSurvivesBmpAndPng) {
    for (TPixelFormat f : kFileFormats) {
        for (bool png : {false, true}) {
            SCOPED_TRACE(std::to_string(int(f)) + (png ? " png" : " bmp"));
            TBitmap b(13, 5);
            b.SetPixelFormat(f);
            Paint(b, f);
            const std::string path = Path(png ? "p.png" : "p.bmp");
            b.SaveToFile(path);
            TBitmap back;
            back.LoadFromFile(path);
            EXPECT_EQ(back.Width(), 13);
            EXPECT_EQ(back.Height(), 5);
            // PNG keeps indexed depths; every other depth is written as 24-bit RGB.
            const bool indexed = f == pf1bit || f == pf4bit || f == pf8bit;
            EXPECT_EQ(back.PixelFormat(), png && !indexed ? pf24bit : f);
            ExpectPainted(back, f);
            if (indexed) {
                EXPECT_EQ(back.PaletteEntries(), b.PaletteEntries());
            }
        }
    }
}

TEST_F(BitmapFiles, ScanLineWritesReachTheFile) {
    TBitmap b(2, 2);
    b.SetPixelFormat(pf8bit);
    b.SetPaletteEntry(77, RGB(1, 2, 3));
    static_cast<uint8_t*>(b.ScanLine(1))[1] = 77;
    b.SaveToFile(Path("s.bmp"));
    TBitmap back;
    back.LoadFromFile(Path("s.bmp"));
    EXPECT_EQ(static_cast<uint8_t*>(back.ScanLine(1))[1], 77);
    EXPECT_EQ(back.Canvas()->Pixels(1, 1), RGB(1, 2, 3));
}

TEST_F(BitmapFiles, ExtensionChoosesTheFileTypeAndContentTheReader) {
    TBitmap b(2, 2);
    b.SaveToFile(Path("upper.PNG"));
    b.SaveToFile(Path("other.img"));
    std::ifstream png(Path("upper.PNG"), std::ios::binary), bmp(Path("other.img"));
    char p[4] = {}, m[2] = {};
    png.read(p, 4);
    bmp.read(m, 2);
    EXPECT_EQ(std::string(p + 1, 3), "PNG");
    EXPECT_EQ(std::string(m, 2), "BM");
    fs::rename(Path("upper.PNG"), Path("misnamed.bmp"));
    TBitmap back;
    back.LoadFromFile(Path("misnamed.bmp"));
    EXPECT_EQ(back.Width(), 2);
}

TEST_F(BitmapFiles, MissingFileRaisesOpenErrorNamingIt) {
    TBitmap b;
    const std::string path = Path("none.bmp");
    EXPECT_EQ(ExpectMessage([&] { b.LoadFromFile(path); }),
              "Cannot open file \"" + path + "\". No such file or directory");
    EXPECT_THROW(b.LoadFromFile(path), EFOpenError);
    EXPECT_THROW(b.LoadFromFile(dir_.string()), EFOpenError);  // a folder
}

TEST_F(BitmapFiles, DamagedFilesRaiseInvalidGraphicAndChangeNothing) {
    TBitmap good(3, 3);
    good.SetPixelFormat(pf24bit);
    std::vector<uint8_t> bmp = good.SaveToMemory(false);
    std::vector<uint8_t> png = good.SaveToMemory(true);
    Write("cut.bmp", std::vector<uint8_t>(bmp.begin(), bmp.end() - 10));
    Write("cut.png", std::vector<uint8_t>(png.begin(), png.end() - 30));
    Write("text.bmp", {'h', 'e', 'l', 'l', 'o'});

    TBitmap b(4, 2);
    b.SetPixelFormat(pf4bit);
    b.Canvas()->SetPixels(1, 1, clRed);
    struct Case {
        const char* file;
        const char* prefix;
    };
    for (const Case& c : {Case{"cut.bmp", "Bitmap image is not valid: "},
                          Case{"cut.png", "PNG image is not valid: "},
                          Case{"text.bmp", "Bitmap image is not valid: "}}) {
        SCOPED_TRACE(c.file);
        const std::string message = ExpectMessage([&] { b.LoadFromFile(Path(c.file)); });
        EXPECT_EQ(message.rfind(c.prefix + Path(c.file) + " (", 0), 0u) << message;
        EXPECT_THROW(b.LoadFromFile(Path(c.file)), EInvalidGraphic);
        EXPECT_EQ(b.Width(), 4);
        EXPECT_EQ(b.PixelFormat(), pf4bit);
        EXPECT_EQ(b.Canvas()->Pixels(1, 1), clRed);
    }
}

TEST_F(BitmapFiles, FailedSaveRaisesCreateErrorAndLeavesNoFile) {
    TBitmap b(2, 2);
    const std::string path = Path("missing-folder/x.bmp");
    EXPECT_THROW(b.SaveToFile(path), EFCreateError);
    EXPECT_EQ(ExpectMessage([&] { b.SaveToFile(path); }).rfind("Cannot create file \"" + path, 0),
              0u);
    fs::create_directory(Path("taken.bmp"));  // a folder where the file should go
    EXPECT_THROW(b.SaveToFile(Path("taken.bmp")), EFCreateError);
    EXPECT_EQ(Files(), std::vector<std::string>{"taken.bmp"});
}

TEST_F(BitmapFiles, SavingReplacesAnExistingFile) {
    TBitmap b(2, 2);
    b.SaveToFile(Path("x.png"));
    b.SetSize(5, 1);
    b.SaveToFile(Path("x.png"));
    EXPECT_EQ(Files(), std::vector<std::string>{"x.png"});
    TBitmap back;
    back.LoadFromFile(Path("x.png"));
    EXPECT_EQ(back.Width(), 5);
}

TEST(Bitmap, EmptyBitmapSavesAsNothingAndLoadsBack) {
    TBitmap b;
    EXPECT_TRUE(b.SaveToMemory(false).empty());
    EXPECT_TRUE(b.SaveToMemory(true).empty());
    TBitmap c(3, 3);
    c.LoadFromMemory(nullptr, 0);
    EXPECT_TRUE(c.Empty());
}

TEST(Bitmap, LoadingKeepsTheTransparencySettings) {
    TBitmap source(2, 2);
    source.SetPixelFormat(pf24bit);
    const std::vector<uint8_t> bytes = source.SaveToMemory(false);
    TBitmap b;
    b.SetTransparent(true);
    b.SetTransparentColor(clLime);
    b.LoadFromMemory(bytes.data(), bytes.size());
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    EXPECT_TRUE(b.Transparent());
    EXPECT_EQ(b.TransparentColor(), clLime);
}

// ---- the picture registry ----

TEST(BitmapResources, RegisteredMakerDrawsThePicture) {
    RegisterPicture("TestCross", [](TBitmap& b) {
        b.SetPixelFormat(pf4bit);
        b.SetSize(5, 5);
        b.Canvas()->SetPixels(2, 2, clBlue);
    });
    EXPECT_TRUE(PictureRegistered("TESTCROSS"));
    TBitmap b;
    b.LoadFromResourceName("testcross");
    EXPECT_EQ(b.Width(), 5);
    EXPECT_EQ(b.PixelFormat(), pf4bit);
    EXPECT_EQ(b.Canvas()->Pixels(2, 2), clBlue);
    TBitmap c;
    c.LoadFromResourceName(uintptr_t{0x400000}, "TestCross");
    EXPECT_EQ(c.Canvas()->Pixels(2, 2), clBlue);
}

TEST(BitmapResources, RegisteredFileData) {
    TBitmap source(3, 1);
    source.SetPixelFormat(pf1bit);
    source.Canvas()->SetPixels(1, 0, clBlack);
    RegisterPictureData("TESTDATA", source.SaveToMemory(true));
    TBitmap b;
    b.LoadFromResourceName("TestData");
    EXPECT_EQ(b.PixelFormat(), pf1bit);
    EXPECT_EQ(b.Canvas()->Pixels(1, 0), clBlack);
    EXPECT_EQ(b.Canvas()->Pixels(2, 0), clWhite);
}

TEST(BitmapResources, FailuresLeaveTheBitmapAlone) {
    TBitmap b(2, 2);
    b.Canvas()->SetPixels(0, 0, clRed);
    EXPECT_FALSE(PictureRegistered("NOSUCHPICTURE"));
    EXPECT_EQ(ExpectMessage([&] { b.LoadFromResourceName("NoSuchPicture"); }),
              "Resource NoSuchPicture not found");
    EXPECT_THROW(b.LoadFromResourceName("NoSuchPicture"), EResNotFound);

    RegisterPictureData("TESTBROKEN", {'B', 'M', 1, 2, 3});
    EXPECT_THROW(b.LoadFromResourceName("TestBroken"), EInvalidGraphic);
    RegisterPicture("TESTTHROWS", [](TBitmap& p) {
        p.SetSize(9, 9);
        throw EInvalidOperation("cannot draw");
    });
    EXPECT_THROW(b.LoadFromResourceName("TestThrows"), EInvalidOperation);
    EXPECT_EQ(b.Width(), 2);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clRed);

    UnregisterPicture("TestBroken");
    EXPECT_FALSE(PictureRegistered("TESTBROKEN"));
}
