// The BMP and PNG codecs on hand-made files: every header variant, depth and compression the
// reader takes, and damaged or lying files, which must fail with EInvalidGraphic.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/Exceptions.h"
#include "host/ImageCodecs.h"

using namespace kovo;

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, size_t at, uint32_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}
void PutBE32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (24 - 8 * i));
}

// A BMP file built field by field, so each test states exactly what the header says.
struct BmpSpec {
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bpp = 24;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> palette;  // 0x00RRGGBB
    std::vector<uint32_t> masks;    // after a 40-byte header, inside a V4/V5 header
    Bytes pixels;                   // the pixel data as stored
};

Bytes MakeBmp(const BmpSpec& s) {
    const bool core = s.headerSize == 12;
    const size_t entry = core ? 3 : 4;
    const size_t masksAfter = s.headerSize == 40 ? s.masks.size() * 4 : 0;
    const size_t offBits = 14 + s.headerSize + masksAfter + s.palette.size() * entry;
    Bytes b(offBits + s.pixels.size(), 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, uint32_t(b.size()));
    Put32(b, 10, uint32_t(offBits));
    Put32(b, 14, s.headerSize);
    if (core) {
        Put16(b, 18, uint32_t(s.width));
        Put16(b, 20, uint32_t(s.height));
        Put16(b, 22, 1);
        Put16(b, 24, s.bpp);
    } else {
        Put32(b, 18, uint32_t(s.width));
        Put32(b, 22, uint32_t(s.height));
        Put16(b, 26, 1);
        Put16(b, 28, s.bpp);
        Put32(b, 30, s.compression);
        Put32(b, 34, uint32_t(s.pixels.size()));
        Put32(b, 46, s.colorsUsed);
        // After a 40-byte header or inside a longer one: the same place either way.
        for (size_t i = 0; i < s.masks.size(); ++i) Put32(b, 14 + 40 + 4 * i, s.masks[i]);
    }
    size_t at = 14 + s.headerSize + masksAfter;
    for (uint32_t c : s.palette) {
        b[at] = uint8_t(c);
        b[at + 1] = uint8_t(c >> 8);
        b[at + 2] = uint8_t(c >> 16);
        at += entry;
    }
    std::memcpy(b.data() + offBits, s.pixels.data(), s.pixels.size());
    return b;
}

TImageData Bmp(const Bytes& b) {
    return DecodeBmp(b.data(), b.size());
}

// The value of pixel (x, y) as the decoder delivered it (palette index or packed value).
unsigned Index(const TImageData& im, int x, int y) {
    const uint8_t* row = im.Rows.data() + size_t(y) * ImageRowBytes(im.Width, im.Bits);
    switch (im.Bits) {
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1;
        case 4:
            return (x & 1) ? row[x >> 1] & 15 : row[x >> 1] >> 4;
        case 8:
            return row[x];
        default:
            return 0;
    }
}

TPixel Pixel(const TImageData& im, int x, int y) {
    std::vector<TPixel> row(size_t(im.Width));
    RowToPixels(im.Rows.data() + size_t(y) * ImageRowBytes(im.Width, im.Bits), im.Width, im.Bits,
                im.Palette, row.data());
    return row[size_t(x)];
}

}  // namespace

// ---- BMP: headers, depths, orientation ----

TEST(BmpDecode, Plain24BitIsBottomUpWithPaddedRows) {
    BmpSpec s;
    s.width = 2;
    s.height = 2;
    // Bottom row first: blue, green; then the top row: red, white. Rows padded to 8 bytes.
    s.pixels = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0};
    TImageData im = Bmp(MakeBmp(s));
    EXPECT_EQ(im.Bits, 24);
    EXPECT_EQ(Pixel(im, 0, 0), 0xFF0000u);
    EXPECT_EQ(Pixel(im, 1, 0), 0xFFFFFFu);
    EXPECT_EQ(Pixel(im, 0, 1), 0x0000FFu);
    EXPECT_EQ(Pixel(im, 1, 1), 0x00FF00u);
}

TEST(BmpDecode, NegativeHeightIsTopDown) {
    BmpSpec s;
    s.width = 1;
    s.height = -2;
    s.pixels = {0, 0, 0xFF, 0, 0xFF, 0, 0, 0};
    TImageData im = Bmp(MakeBmp(s));
    EXPECT_EQ(im.Height, 2);
    EXPECT_EQ(Pixel(im, 0, 0), 0xFF0000u);
    EXPECT_EQ(Pixel(im, 0, 1), 0x0000FFu);
}

TEST(BmpDecode, IndexedDepthsKeepIndexesAndPadShortPalettes) {
    BmpSpec s;
    s.width = 3;
    s.height = 1;
    s.bpp = 4;
    s.colorsUsed = 2;
    s.palette = {0x112233, 0x445566};
    s.pixels = {0x10, 0xF0, 0, 0};  // indexes 1, 0, 15
    TImageData im = Bmp(MakeBmp(s));
    EXPECT_EQ(im.Bits, 4);
    ASSERT_EQ(im.Palette.size(), 16u);
    EXPECT_EQ(Index(im, 0, 0), 1u);
    EXPECT_EQ(Index(im, 1, 0), 0u);
    EXPECT_EQ(Index(im, 2, 0), 15u);
    EXPECT_EQ(im.Palette[1], 0x445566u);
    EXPECT_EQ(Pixel(im, 2, 0), 0u);  // beyond the stored palette: black

    s.bpp = 1;
    s.width = 10;
    s.pixels = {0xA5, 0x40, 0, 0};
    im = Bmp(MakeBmp(s));
    EXPECT_EQ(im.Bits, 1);
    const unsigned expected[10] = {1, 0, 1, 0, 0, 1, 0, 1, 0, 1};
    for (int x = 0; x < 10; ++x) EXPECT_EQ(Index(im, x, 0), expected[x]) << x;
}

TEST(BmpDecode, CoreHeaderHasThreeBytePaletteEntries) {
    BmpSpec s;
    s.headerSize = 12;
    s.width = 2;
    s.height = 1;
    s.bpp = 1;
    s.palette = {0x00FF00, 0x0000FF};
    s.pixels = {0x40, 0, 0, 0};
    TImageData im = Bmp(MakeBmp(s));
    EXPECT_EQ(Pixel(im, 0, 0), 0x00FF00u);
    EXPECT_EQ(Pixel(im, 1, 0), 0x0000FFu);
}

TEST(BmpDecode, SixteenBitLayouts) {
    BmpSpec s;
    s.width = 1;
    s.height = 1;
    s.bpp = 16;
    s.pixels = {0x00, 0x7C, 0, 0};  // x-5-5-5 red
    TImageData im = Bmp(MakeBmp(s));
    EXPECT_EQ(im.Bits, 15);
    EXPECT_EQ(Pixel(im, 0, 0), 0xFF0000u);

    s.compression = 3;
    s.masks = {0xF800, 0x07E0, 0x001F};
    s.pixels = {0xE0, 0x07, 0, 0};  // 5-6-5 green
    im = Bmp(MakeBmp(s));
    EXPECT_EQ(im.Bits, 16);
    EXPECT_EQ(Pixel(im, 0, 0), 0x00FF00u);

    // 4-4-4-4 with alpha: scaled to 8 bits per channel, alpha in the fourth byte.
    s.headerSize = 56;
    s.masks = {0x0F00, 0x00F0, 0x000F, 0xF000};
    s.pixels = {0x5A, 0x8F, 0, 0};  // a=8, r=F, g=5, b=A
    im = Bmp(MakeBmp(s));
    EXPECT_EQ(im.Bits, 32);
    EXPECT_EQ(Pixel(im, 0, 0), 0xFF55AAu);
    EXPECT_EQ(im.Rows[3], 0x88);
}

TEST(BmpDecode, V5HeaderWithStandardAndOddBitFields) {
    BmpSpec s;
    s.headerSize = 124;
    s.width = 1;
    s.height = 1;
    s.bpp = 32;
    s.compression = 3;
    s.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    s.pixels = {0x30, 0x20, 0x10, 0x80};
    TImageData im = Bmp(MakeBmp(s));
    EXPECT_EQ(im.Bits, 32);
    EXPECT_EQ(Pixel(im, 0, 0), 0x102030u);
    EXPECT_EQ(im.Rows[3], 0x80);

    s.headerSize = 108;
    s.masks = {0xFF, 0xFF00, 0xFF0000, 0};  // R and B swapped
    im = Bmp(MakeBmp(s));
    EXPECT_EQ(Pixel(im, 0, 0), 0x302010u);
}

TEST(BmpDecode, LastRowMayLackItsPadding) {
    BmpSpec s;
    s.width = 1;
    s.height = 2;
    s.pixels = {1, 2, 3, 0, 4, 5, 6};  // the top row stops after its three bytes
    TImageData im = Bmp(MakeBmp(s));
    EXPECT_EQ(Pixel(im, 0, 0), 0x060504u);
}

// ---- BMP: run-length encoding ----

TEST(BmpRle, Rle8RunsAbsoluteRunsDeltaAndEndOfLine) {
    BmpSpec s;
    s.width = 6;
    s.height = 3;
    s.bpp = 8;
    s.compression = 1;
    s.palette.assign(256, 0);
    s.pixels = {
        3, 7,              // bottom row: 7 7 7
        0, 3, 1, 2, 3, 0,  // absolute 1 2 3 (padded to even)
        0, 0,              // end of line
        0, 2, 2, 1,        // delta: 2 right, 1 up -> row 2 (top), x = 2
        2, 9,              // 9 9 at x 2, 3
        0, 1,              // end of bitmap
    };
    TImageData im = Bmp(MakeBmp(s));
    ASSERT_EQ(im.Bits, 8);
    const unsigned expect[3][6] = {{0, 0, 9, 9, 0, 0}, {0, 0, 0, 0, 0, 0}, {7, 7, 7, 1, 2, 3}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(Index(im, x, y), expect[y][x]) << x << "," << y;
}

TEST(BmpRle, Rle4AlternatesNibblesAndClipsAtTheRightEdge) {
    BmpSpec s;
    s.width = 5;
    s.height = 2;
    s.bpp = 4;
    s.compression = 2;
    s.palette.assign(16, 0);
    s.pixels = {
        5, 0x12,              // bottom: 1 2 1 2 1
        0, 0,                 // end of line
        0, 3,    0xAB, 0xC0,  // absolute A B C (two bytes, already even)
        7, 0x45,              // 4 5 until the edge, the rest clipped
        0, 1,
    };
    TImageData im = Bmp(MakeBmp(s));
    ASSERT_EQ(im.Bits, 4);
    const unsigned top[5] = {10, 11, 12, 4, 5}, bottom[5] = {1, 2, 1, 2, 1};
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(Index(im, x, 0), top[x]) << x;
        EXPECT_EQ(Index(im, x, 1), bottom[x]) << x;
    }
}

TEST(BmpRle, DataMayEndRightAfterTheLastPixel) {
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.bpp = 8;
    s.compression = 1;
    s.palette.assign(2, 0);
    s.colorsUsed = 2;
    s.pixels = {2, 1};
    EXPECT_EQ(Index(Bmp(MakeBmp(s)), 1, 0), 1u);
}

// ---- BMP: damaged and lying files ----

struct CorruptBmp {
    const char* name;
    Bytes bytes;
};

std::vector<CorruptBmp> CorruptBmps() {
    BmpSpec base;
    base.width = 2;
    base.height = 2;
    base.pixels.assign(16, 0x55);
    const Bytes good = MakeBmp(base);
    auto with = [&](auto change) {
        Bytes b = good;
        change(b);
        return b;
    };
    BmpSpec rle;
    rle.width = 4;
    rle.height = 2;
    rle.bpp = 8;
    rle.compression = 1;
    rle.palette.assign(4, 0);
    auto rleWith = [&](Bytes data) {
        BmpSpec s = rle;
        s.pixels = std::move(data);
        return MakeBmp(s);
    };
    BmpSpec indexed;
    indexed.width = 4;
    indexed.height = 1;
    indexed.bpp = 8;
    indexed.palette.assign(256, 0);
    indexed.pixels.assign(4, 0);
    const Bytes goodIndexed = MakeBmp(indexed);

    return {
        {"empty", {}},
        {"signature only", {'B', 'M'}},
        {"file header only", Bytes(good.begin(), good.begin() + 14)},
        {"header cut off", Bytes(good.begin(), good.begin() + 30)},
        {"unknown header size", with([](Bytes& b) { Put32(b, 14, 41); })},
        {"header size beyond the file", with([](Bytes& b) { Put32(b, 14, 124); })},
        {"zero width", with([](Bytes& b) { Put32(b, 18, 0); })},
        {"negative width", with([](Bytes& b) { Put32(b, 18, uint32_t(-5)); })},
        {"zero height", with([](Bytes& b) { Put32(b, 22, 0); })},
        {"lying huge size", with([](Bytes& b) {
             Put32(b, 18, 100000);
             Put32(b, 22, 100000);
         })},
        {"most negative height", with([](Bytes& b) { Put32(b, 22, 0x80000000u); })},
        {"bit count 7", with([](Bytes& b) { Put16(b, 28, 7); })},
        {"bit count 0", with([](Bytes& b) { Put16(b, 28, 0); })},
        {"JPEG compression", with([](Bytes& b) { Put32(b, 30, 4); })},
        {"RLE8 on 24 bits", with([](Bytes& b) { Put32(b, 30, 1); })},
        {"bit fields on 24 bits", with([](Bytes& b) { Put32(b, 30, 3); })},
        {"pixel offset past the end", with([](Bytes& b) { Put32(b, 10, 0x7FFFFFFF); })},
        {"pixel offset inside the header", with([](Bytes& b) { Put32(b, 10, 20); })},
        {"pixel data cut off", Bytes(good.begin(), good.end() - 6)},
        {"lying height for the data", with([](Bytes& b) { Put32(b, 22, 3000); })},
        {"palette cut off", Bytes(goodIndexed.begin(), goodIndexed.begin() + 14 + 40 + 100)},
        {"palette count lies",
         [&] {
             Bytes b(goodIndexed.begin(), goodIndexed.begin() + 14 + 40 + 16);
             Put32(b, 10, 0);
             Put32(b, 46, 0xFFFFFFFF);
             return b;
         }()},
        {"RLE record cut in half", rleWith({4, 1, 0})},
        {"RLE absolute run past the end", rleWith({0, 8, 1, 2})},
        {"RLE delta cut off", rleWith({0, 2, 1})},
        {"RLE without end of bitmap", rleWith({4, 1, 0, 0})},
        {"RLE top-down",
         [&] {
             Bytes b = rleWith({4, 1, 0, 1});
             Put32(b, 22, uint32_t(-2));
             return b;
         }()},
    };
}

TEST(BmpDecode, DamagedOrLyingFilesRaiseInvalidGraphic) {
    for (const CorruptBmp& c : CorruptBmps()) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(DecodeBmp(c.bytes.data(), c.bytes.size()), EInvalidGraphic);
    }
}

// ---- BMP: writing ----

TEST(BmpEncode, EveryDepthReadsBackTheSame) {
    for (int bits : {1, 4, 8, 15, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        TImageData im;
        im.Width = 13;
        im.Height = 3;
        im.Bits = bits;
        if (bits <= 8) {
            im.Palette.resize(size_t{1} << bits);
            for (size_t i = 0; i < im.Palette.size(); ++i)
                im.Palette[i] = TPixel(i * 0x010203) & 0xFFFFFF;
        }
        const size_t stride = ImageRowBytes(im.Width, bits);
        const size_t used = (size_t(im.Width) * size_t(bits == 15 ? 16 : bits) + 7) / 8;
        im.Rows.assign(stride * 3, 0);
        for (size_t y = 0; y < 3; ++y)
            for (size_t i = 0; i < used; ++i) im.Rows[y * stride + i] = uint8_t(y * 31 + i * 7);
        // 13 pixels: the last bits of a 1- or 4-bit row are padding, which writers clear.
        for (size_t y = 0; y < 3 && bits < 8; ++y)
            im.Rows[y * stride + used - 1] &= bits == 1 ? 0xF8 : 0xF0;
        if (bits == 15)
            for (size_t i = 1; i < stride * 3; i += 2) im.Rows[i] &= 0x7F;

        Bytes file = EncodeBmp(im);
        TImageData back = DecodeBmp(file.data(), file.size());
        EXPECT_EQ(back.Bits, bits);
        EXPECT_EQ(back.Width, 13);
        EXPECT_EQ(back.Height, 3);
        EXPECT_EQ(back.Palette, im.Palette);
        for (size_t y = 0; y < 3; ++y)
            EXPECT_EQ(0,
                      std::memcmp(back.Rows.data() + y * stride, im.Rows.data() + y * stride, used))
                << "row " << y;
    }
}

// ---- PNG ----

namespace {

void PngAbort(png_structp, png_const_charp message) {
    std::fprintf(stderr, "libpng: %s\n", message);
    std::abort();
}

struct PngSpec {
    int width = 1;
    int height = 1;
    int colorType = PNG_COLOR_TYPE_RGB;
    int depth = 8;
    bool interlace = false;
    std::vector<Bytes> rows;  // packed as PNG stores them (big-endian 16-bit samples)
    std::vector<png_color> palette;
    Bytes trnsAlpha;           // palette alpha
    png_color_16 trnsColor{};  // grey or RGB key
    bool trnsKey = false;
};

void AppendPng(png_structp png, png_bytep data, size_t n) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

// Written with libpng itself (its errors abort the test), so every type and depth is at hand.
Bytes MakePng(const PngSpec& s) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngAbort, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, AppendPng, nullptr);
    png_set_IHDR(png, info, png_uint_32(s.width), png_uint_32(s.height), s.depth, s.colorType,
                 s.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!s.palette.empty()) png_set_PLTE(png, info, s.palette.data(), int(s.palette.size()));
    if (!s.trnsAlpha.empty())
        png_set_tRNS(png, info, s.trnsAlpha.data(), int(s.trnsAlpha.size()), nullptr);
    if (s.trnsKey) png_set_tRNS(png, info, nullptr, 0, &s.trnsColor);
    png_write_info(png, info);
    const int passes = png_set_interlace_handling(png);
    for (int p = 0; p < passes; ++p)
        for (const Bytes& r : s.rows) png_write_row(png, r.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

TImageData Png(const Bytes& b) {
    return DecodePng(b.data(), b.size());
}

// Recomputes the CRC of the chunk starting at `at` after a test changed its data.
void FixCrc(Bytes& b, size_t at) {
    const uint32_t length =
        (uint32_t(b[at]) << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
    const uLong crc = crc32(0, b.data() + at + 4, uInt(length + 4));
    PutBE32(b, at + 8 + length, uint32_t(crc));
}

size_t FindChunk(const Bytes& b, const char* type) {
    for (size_t at = 8; at + 8 <= b.size();) {
        const uint32_t length =
            (uint32_t(b[at]) << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
        if (std::memcmp(b.data() + at + 4, type, 4) == 0) return at;
        at += 12 + length;
    }
    return std::string::npos;
}

}  // namespace

TEST(PngDecode, PaletteDepthsKeepIndexes) {
    struct Case {
        int depth;
        int bits;
        Bytes row;
        std::vector<unsigned> indexes;
    };
    const Case cases[] = {
        {1, 1, {0xA0}, {1, 0, 1}},
        {2, 4, {0x1B}, {0, 1, 2, 3}},
        {4, 4, {0x3C, 0x50}, {3, 12, 5}},
        {8, 8, {0, 2, 3}, {0, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.depth);
        PngSpec s;
        s.colorType = PNG_COLOR_TYPE_PALETTE;
        s.depth = c.depth;
        s.width = int(c.indexes.size());
        s.palette.resize(size_t{1} << std::min(c.depth, 4));
        for (size_t i = 0; i < s.palette.size(); ++i)
            s.palette[i] = png_color{png_byte(i * 16), png_byte(255 - i), 7};
        s.rows = {c.row};
        TImageData im = Png(MakePng(s));
        EXPECT_EQ(im.Bits, c.bits);
        EXPECT_EQ(im.Palette.size(), size_t{1} << c.bits);
        for (size_t x = 0; x < c.indexes.size(); ++x) {
            EXPECT_EQ(Index(im, int(x), 0), c.indexes[x]) << x;
            const png_color e = s.palette[c.indexes[x]];
            EXPECT_EQ(Pixel(im, int(x), 0), (TPixel(e.red) << 16) | (e.green << 8) | e.blue);
        }
    }
}

TEST(PngDecode, GreyDepthsBecomeGreyPalettes) {
    struct Case {
        int depth;
        int bits;
        Bytes row;
        std::vector<unsigned> greys;
    };
    const Case cases[] = {
        {1, 1, {0x40}, {0, 255}},
        {2, 4, {0x6C}, {85, 170, 255, 0}},
        {4, 4, {0x0F, 0x80}, {0, 255, 136}},
        {8, 8, {0, 127, 255}, {0, 127, 255}},
        {16, 8, {0x12, 0x34, 0xAB, 0xCD}, {0x12, 0xAB}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.depth);
        PngSpec s;
        s.colorType = PNG_COLOR_TYPE_GRAY;
        s.depth = c.depth;
        s.width = int(c.greys.size());
        s.rows = {c.row};
        TImageData im = Png(MakePng(s));
        EXPECT_EQ(im.Bits, c.bits);
        for (size_t x = 0; x < c.greys.size(); ++x)
            EXPECT_EQ(Pixel(im, int(x), 0), c.greys[x] * 0x010101u) << x;
    }
}

TEST(PngDecode, ColourTypesAndAlphaOntoWhite) {
    struct Case {
        const char* name;
        int type;
        int depth;
        Bytes row;
        int bits;
        TPixel expected;
    };
    const Case cases[] = {
        {"RGB 8", PNG_COLOR_TYPE_RGB, 8, {0x10, 0x20, 0x30}, 24, 0x102030},
        {"RGB 16", PNG_COLOR_TYPE_RGB, 16, {0x10, 1, 0x20, 2, 0x30, 3}, 24, 0x102030},
        {"RGBA opaque", PNG_COLOR_TYPE_RGBA, 8, {0x10, 0x20, 0x30, 255}, 32, 0x102030},
        {"RGBA clear", PNG_COLOR_TYPE_RGBA, 8, {0x10, 0x20, 0x30, 0}, 32, 0xFFFFFF},
        {"RGBA half", PNG_COLOR_TYPE_RGBA, 8, {255, 0, 0, 128}, 32, 0xFF7F7F},
        {"RGBA 16", PNG_COLOR_TYPE_RGBA, 16, {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}, 32, 0x0000FF},
        {"grey alpha", PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0, 128}, 32, 0x7F7F7F},
        {"grey alpha 16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, {0x40, 0, 0xFF, 0xFF}, 32, 0x404040},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PngSpec s;
        s.colorType = c.type;
        s.depth = c.depth;
        s.rows = {c.row};
        TImageData im = Png(MakePng(s));
        EXPECT_EQ(im.Bits, c.bits);
        EXPECT_EQ(Pixel(im, 0, 0), c.expected);
        if (c.bits == 32) {
            EXPECT_EQ(im.Rows[3], 0);
        }
    }
}

TEST(PngDecode, TransparencyChunks) {
    PngSpec s;
    s.colorType = PNG_COLOR_TYPE_PALETTE;
    s.width = 2;
    s.palette = {{255, 0, 0}, {0, 0, 255}};
    s.trnsAlpha = {0};  // entry 0 fully transparent, entry 1 opaque
    s.rows = {{0, 1}};
    TImageData im = Png(MakePng(s));
    EXPECT_EQ(im.Bits, 8);
    EXPECT_EQ(Pixel(im, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(Pixel(im, 1, 0), 0x0000FFu);

    PngSpec key;
    key.colorType = PNG_COLOR_TYPE_RGB;
    key.width = 2;
    key.trnsKey = true;
    key.trnsColor.red = 1;
    key.trnsColor.green = 2;
    key.trnsColor.blue = 3;
    key.rows = {{1, 2, 3, 4, 5, 6}};
    im = Png(MakePng(key));
    EXPECT_EQ(im.Bits, 32);
    EXPECT_EQ(Pixel(im, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(Pixel(im, 1, 0), 0x040506u);
}

TEST(PngDecode, InterlacedPicturesComeOutWhole) {
    PngSpec s;
    s.width = 11;
    s.height = 9;
    s.interlace = true;
    for (int y = 0; y < s.height; ++y) {
        Bytes row;
        for (int x = 0; x < s.width; ++x) {
            row.push_back(uint8_t(x * 20));
            row.push_back(uint8_t(y * 25));
            row.push_back(uint8_t(x + y));
        }
        s.rows.push_back(row);
    }
    TImageData im = Png(MakePng(s));
    ASSERT_EQ(im.Bits, 24);
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            ASSERT_EQ(Pixel(im, x, y), TPixel((x * 20) << 16 | (y * 25) << 8 | (x + y)))
                << x << "," << y;
}

TEST(PngDecode, DamagedOrLyingFilesRaiseInvalidGraphic) {
    PngSpec s;
    s.width = 8;
    s.height = 8;
    for (int y = 0; y < 8; ++y) s.rows.push_back(Bytes(24, uint8_t(y * 9)));
    const Bytes good = MakePng(s);
    PngSpec inter = s;
    inter.interlace = true;
    const Bytes goodInterlaced = MakePng(inter);
    const size_t ihdr = FindChunk(good, "IHDR");
    const size_t idat = FindChunk(good, "IDAT");
    ASSERT_NE(idat, std::string::npos);
    auto with = [&](auto change) {
        Bytes b = good;
        change(b);
        return b;
    };
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const Case cases[] = {
        {"signature only", Bytes(good.begin(), good.begin() + 8)},
        {"header cut off", Bytes(good.begin(), good.begin() + 20)},
        {"header CRC wrong", with([&](Bytes& b) { b[ihdr + 20] ^= 0xFF; })},
        {"zero width", with([&](Bytes& b) {
             PutBE32(b, ihdr + 8, 0);
             FixCrc(b, ihdr);
         })},
        {"lying huge size", with([&](Bytes& b) {
             PutBE32(b, ihdr + 8, 16000);
             PutBE32(b, ihdr + 12, 16000);
             FixCrc(b, ihdr);
         })},
        {"beyond the pixel limit", with([&](Bytes& b) {
             PutBE32(b, ihdr + 8, 1 << 19);
             PutBE32(b, ihdr + 12, 1 << 19);
             FixCrc(b, ihdr);
         })},
        {"bad colour type", with([&](Bytes& b) {
             b[ihdr + 17] = 5;
             FixCrc(b, ihdr);
         })},
        {"image data cut off", Bytes(good.begin(), good.begin() + long(idat) + 20)},
        {"image data garbled", with([&](Bytes& b) {
             for (size_t i = idat + 10; i < idat + 20; ++i) b[i] ^= 0x5A;
             FixCrc(b, idat);
         })},
        {"no image data",
         [&] {
             Bytes b(good.begin(), good.begin() + long(idat));
             const Bytes iend = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
             b.insert(b.end(), iend.begin(), iend.end());
             return b;
         }()},
        {"interlaced, cut off", Bytes(goodInterlaced.begin(), goodInterlaced.end() - 30)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(DecodePng(c.bytes.data(), c.bytes.size()), EInvalidGraphic);
    }
    EXPECT_THROW(DecodePng(good.data(), 0), EInvalidGraphic);
}

TEST(PngEncode, IndexedDepthsStayPalettesOthersBecomeRgb) {
    for (int bits : {1, 4, 8, 15, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        TImageData im;
        im.Width = 5;
        im.Height = 2;
        im.Bits = bits;
        if (bits <= 8) {
            im.Palette.resize(size_t{1} << bits);
            for (size_t i = 0; i < im.Palette.size(); ++i)
                im.Palette[i] = TPixel(0xFFFFFF - i * 0x010101);
        }
        const size_t stride = ImageRowBytes(5, bits);
        im.Rows.assign(stride * 2, 0);
        for (size_t i = 0; i < im.Rows.size(); ++i) im.Rows[i] = uint8_t(i * 37 + 11);
        if (bits == 15)
            for (size_t i = 1; i < im.Rows.size(); i += 2) im.Rows[i] &= 0x7F;

        Bytes file = EncodePng(im);
        TImageData back = DecodePng(file.data(), file.size());
        EXPECT_EQ(back.Bits, bits <= 8 ? bits : 24);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 5; ++x) EXPECT_EQ(Pixel(back, x, y), Pixel(im, x, y)) << x << y;
    }
}
