// The BMP and PNG readers and writers behind TBitmap. They work on pictures in a bitmap's
// own terms (rows in a pixel format plus a palette), so a file keeps its depth when loaded.
// Decoders check every size, offset and count against the data before using it and raise
// EInvalidGraphic with a short reason; they never read outside the data and never allocate
// more than the pixel limit allows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/Surface.h"

namespace kovo {

// The largest picture a decoder accepts, in pixels (and at most this many per side).
constexpr uint64_t kMaxImagePixels = uint64_t{1} << 28;
constexpr int kMaxImageSide = 1 << 20;

// A picture as rows: Bits is 1, 4, 8 (indexed), 15 (x-5-5-5), 16 (5-6-5), 24 (B, G, R) or
// 32 (B, G, R, reserved). Rows are top-down, each ImageRowBytes(Width, Bits) long.
struct TImageData {
    int Width = 0;
    int Height = 0;
    int Bits = 24;
    std::vector<TPixel> Palette;  // 2^Bits entries for the indexed depths, 0x00RRGGBB
    std::vector<uint8_t> Rows;
};

// Bytes in one row, padded to a multiple of 4 (15 counts as 16 bits).
size_t ImageRowBytes(int width, int bits);

bool LooksLikeBmp(const uint8_t* data, size_t size);
bool LooksLikePng(const uint8_t* data, size_t size);

// Reads BITMAPFILEHEADER followed by a core (12 bytes), info (40), OS/2 (64) or V2..V5 header;
// 1/4/8 bits with palette, 16 bits (x-5-5-5 or bit fields), 24 and 32 bits (plain or bit
// fields), bottom-up or top-down, RLE8 and RLE4. Bit fields other than 5-5-5 and 5-6-5
// become 24 bits (32 when an alpha mask is given).
TImageData DecodeBmp(const uint8_t* data, size_t size);
// Writes BITMAPFILEHEADER + BITMAPINFOHEADER, bottom-up: indexed depths with their palette,
// 15 bits plain, 16 bits with 5-6-5 bit fields, 24 and 32 bits plain.
std::vector<uint8_t> EncodeBmp(const TImageData& image);

// Reads every PNG colour type and depth. Palette images become 1/4/8 bits with the file's
// palette (2-bit ones 4 bits), grey images without transparency 1/4/8 bits with a grey
// palette, RGB images 24 bits; images with an alpha channel or a transparent colour become
// 32 bits. Transparency is composited onto white (palette entries too), so the picture
// looks as it would on a white page; the reserved bytes are 0. 16-bit samples are cut to 8.
TImageData DecodePng(const uint8_t* data, size_t size);
// Writes indexed depths as palette PNGs of the same depth and every other depth as 8-bit
// RGB.
std::vector<uint8_t> EncodePng(const TImageData& image);

// Conversions between rows and 32-bit pixels for one row of `width` pixels.
void RowToPixels(const uint8_t* row, int width, int bits, const std::vector<TPixel>& palette,
                 TPixel* out);

}  // namespace kovo
