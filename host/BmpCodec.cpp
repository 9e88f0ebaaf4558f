// The BMP reader and writer, and the row conversions every codec shares.
#include <algorithm>
#include <cstring>
#include <string>

#include "host/Exceptions.h"
#include "host/ImageCodecs.h"

namespace kovo {

namespace {

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;
constexpr uint32_t BI_ALPHABITFIELDS = 6;

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kCoreHeaderSize = 12;
constexpr size_t kOs2HeaderSize = 64;

[[noreturn]] void Fail(const std::string& reason) {
    throw EInvalidGraphic(reason);
}

// Little-endian reads at offsets the caller has checked.
uint16_t U16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
int32_t I32(const uint8_t* p) {
    return int32_t(U32(p));
}
void Put16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// Whether [offset, offset + length) lies inside a buffer of `size` bytes.
bool Fits(size_t size, uint64_t offset, uint64_t length) {
    return offset <= size && length <= size - offset;
}

// One colour channel of a bit-field pixel: the mask's position and width, scaled to 8 bits.
struct TChannel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit TChannel(uint32_t m) : mask(m) {
        if (m == 0) return;
        while (((m >> shift) & 1) == 0) ++shift;
        uint32_t v = m >> shift;
        while (bits < 32 && (v >> bits) != 0) ++bits;
    }
    uint8_t Get(uint32_t pixel) const {
        if (bits == 0) return 0;
        uint64_t v = (pixel & mask) >> shift;
        if (bits >= 8) return uint8_t(v >> (bits - 8));
        uint64_t max = (uint64_t{1} << bits) - 1;
        return uint8_t((v * 255 + max / 2) / max);
    }
};

void SetIndex(uint8_t* row, int bits, int x, uint8_t value) {
    switch (bits) {
        case 8:
            row[x] = value;
            break;
        case 4: {
            uint8_t& b = row[x >> 1];
            if (x & 1)
                b = uint8_t((b & 0xF0) | (value & 0x0F));
            else
                b = uint8_t((b & 0x0F) | (value << 4));
            break;
        }
    }
}

// Decodes RLE8 or RLE4 data into top-down rows. Runs past the right edge are clipped; a
// delta or end-of-line that leaves the picture ends decoding. The data must reach the
// end-of-bitmap mark, unless it ends exactly after the last pixel.
void DecodeRle(const uint8_t* data, size_t size, TImageData& image) {
    const int bits = image.Bits;
    const size_t stride = ImageRowBytes(image.Width, bits);
    const int64_t w = image.Width, h = image.Height;
    int64_t x = 0, y = 0;  // y counts rows from the bottom
    size_t pos = 0;
    auto put = [&](int64_t px, uint8_t value) {
        if (px < w && y < h)
            SetIndex(image.Rows.data() + size_t(h - 1 - y) * stride, bits, int(px), value);
    };
    for (;;) {
        if (y >= h) return;
        if (pos == size) {
            if (y == h - 1 && x >= w) return;
            Fail("RLE data ends before the end-of-bitmap mark");
        }
        if (size - pos < 2) Fail("RLE data ends inside a record");
        const uint8_t count = data[pos], code = data[pos + 1];
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count && x + i < w; ++i) {
                uint8_t v = bits == 8 ? code : uint8_t((i & 1) ? (code & 0x0F) : (code >> 4));
                put(x + i, v);
            }
            x = std::min<int64_t>(x + count, w);
            continue;
        }
        switch (code) {
            case 0:  // end of line
                x = 0;
                ++y;
                break;
            case 1:  // end of bitmap
                return;
            case 2:  // delta
                if (size - pos < 2) Fail("RLE delta record ends early");
                x = std::min<int64_t>(x + data[pos], w);
                y += data[pos + 1];
                pos += 2;
                break;
            default: {  // absolute run of `code` pixels, padded to a 16-bit boundary
                size_t bytes = bits == 8 ? code : (size_t(code) + 1) / 2;
                size_t padded = (bytes + 1) & ~size_t{1};
                if (size - pos < padded) Fail("RLE absolute run ends early");
                for (int i = 0; i < code && x + i < w; ++i) {
                    uint8_t v = bits == 8 ? data[pos + i]
                                          : uint8_t((i & 1) ? (data[pos + i / 2] & 0x0F)
                                                            : (data[pos + i / 2] >> 4));
                    put(x + i, v);
                }
                x = std::min<int64_t>(x + code, w);
                pos += padded;
                break;
            }
        }
    }
}

// What the header says, in one place.
struct TBmpHeader {
    size_t headerSize = 0;
    int64_t width = 0;
    int64_t height = 0;  // negative: top-down
    int bitCount = 0;
    uint32_t compression = BI_RGB;
    uint32_t imageSize = 0;
    uint32_t colorsUsed = 0;
    uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
    bool core = false;                 // 3-byte palette entries
    size_t masksSize = 0;              // bytes of masks stored after a 40-byte header
};

TBmpHeader ReadHeader(const uint8_t* data, size_t size) {
    if (size < kFileHeaderSize + 4) Fail("the file is too short");
    if (data[0] != 'B' || data[1] != 'M') Fail("no BMP signature");
    TBmpHeader h;
    h.headerSize = U32(data + 14);
    const size_t hs = h.headerSize;
    if (hs != kCoreHeaderSize && hs != kInfoHeaderSize && hs != 52 && hs != 56 &&
        hs != kOs2HeaderSize && hs != 108 && hs != 124)
        Fail("unsupported header size " + std::to_string(hs));
    if (!Fits(size, kFileHeaderSize, hs)) Fail("the header is cut off");
    const uint8_t* p = data + kFileHeaderSize;
    if (hs == kCoreHeaderSize) {
        h.core = true;
        h.width = U16(p + 4);
        h.height = U16(p + 6);
        h.bitCount = U16(p + 10);
        return h;
    }
    h.width = I32(p + 4);
    h.height = I32(p + 8);
    h.bitCount = U16(p + 14);
    h.compression = U32(p + 16);
    h.imageSize = U32(p + 20);
    h.colorsUsed = U32(p + 32);
    if (hs == kOs2HeaderSize && h.compression > BI_RLE4)
        Fail("unsupported OS/2 compression " + std::to_string(h.compression));
    if (h.compression == BI_BITFIELDS || h.compression == BI_ALPHABITFIELDS) {
        const uint8_t* m = nullptr;
        size_t count = h.compression == BI_ALPHABITFIELDS ? 4 : 3;
        if (hs >= 52 && hs != kOs2HeaderSize) {
            m = p + 40;
            if (hs >= 56) count = 4;
        } else {
            h.masksSize = count * 4;
            if (!Fits(size, kFileHeaderSize + hs, h.masksSize)) Fail("the bit masks are cut off");
            m = p + hs;
        }
        for (size_t i = 0; i < count; ++i) h.masks[i] = U32(m + 4 * i);
    }
    return h;
}

}  // namespace

size_t ImageRowBytes(int width, int bits) {
    if (width <= 0) return 0;
    const uint64_t b = bits == 15 ? 16 : uint64_t(bits);
    return size_t((uint64_t(width) * b + 31) / 32 * 4);
}

bool LooksLikeBmp(const uint8_t* data, size_t size) {
    return size >= 2 && data[0] == 'B' && data[1] == 'M';
}

void RowToPixels(const uint8_t* row, int width, int bits, const std::vector<TPixel>& palette,
                 TPixel* out) {
    auto lookup = [&](unsigned i) -> TPixel { return i < palette.size() ? palette[i] : 0; };
    switch (bits) {
        case 1:
            for (int x = 0; x < width; ++x) out[x] = lookup((row[x >> 3] >> (7 - (x & 7))) & 1);
            break;
        case 4:
            for (int x = 0; x < width; ++x)
                out[x] = lookup((x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4));
            break;
        case 8:
            for (int x = 0; x < width; ++x) out[x] = lookup(row[x]);
            break;
        case 15:
            for (int x = 0; x < width; ++x) {
                unsigned v = U16(row + 2 * x);
                unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
                out[x] = (((r << 3) | (r >> 2)) << 16) | (((g << 3) | (g >> 2)) << 8) |
                         ((b << 3) | (b >> 2));
            }
            break;
        case 16:
            for (int x = 0; x < width; ++x) {
                unsigned v = U16(row + 2 * x);
                unsigned r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
                out[x] = (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) |
                         ((b << 3) | (b >> 2));
            }
            break;
        case 24:
            for (int x = 0; x < width; ++x) {
                const uint8_t* s = row + 3 * x;
                out[x] = (TPixel(s[2]) << 16) | (TPixel(s[1]) << 8) | s[0];
            }
            break;
        case 32:
            for (int x = 0; x < width; ++x) {
                const uint8_t* s = row + 4 * x;
                out[x] = (TPixel(s[2]) << 16) | (TPixel(s[1]) << 8) | s[0];
            }
            break;
    }
}

TImageData DecodeBmp(const uint8_t* data, size_t size) {
    const TBmpHeader h = ReadHeader(data, size);
    const uint32_t offBits = U32(data + 10);

    if (h.width <= 0) Fail("the width is not positive");
    if (h.height == 0) Fail("the height is 0");
    const bool topDown = h.height < 0;
    const int64_t height = topDown ? -h.height : h.height;
    if (h.width > kMaxImageSide || height > kMaxImageSide ||
        uint64_t(h.width) * uint64_t(height) > kMaxImagePixels)
        Fail("the picture is too large (" + std::to_string(h.width) + " x " +
             std::to_string(height) + ")");

    const int bpp = h.bitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        Fail("unsupported bit count " + std::to_string(bpp));
    const uint32_t c = h.compression;
    const bool rle = c == BI_RLE8 || c == BI_RLE4;
    const bool fields = c == BI_BITFIELDS || c == BI_ALPHABITFIELDS;
    if (!(c == BI_RGB || (c == BI_RLE8 && bpp == 8) || (c == BI_RLE4 && bpp == 4) ||
          (fields && (bpp == 16 || bpp == 32))))
        Fail("unsupported compression " + std::to_string(c) + " for " + std::to_string(bpp) +
             " bits");
    if (rle && topDown) Fail("a compressed picture cannot be top-down");

    TImageData image;
    image.Width = int(h.width);
    image.Height = int(height);

    // The palette follows the header (and the masks); unused entries are black.
    const size_t paletteOffset = kFileHeaderSize + h.headerSize + h.masksSize;
    size_t paletteBytes = 0;
    if (bpp <= 8) {
        const uint32_t full = 1u << bpp;
        uint32_t count = h.colorsUsed == 0 || h.colorsUsed > full ? full : h.colorsUsed;
        const size_t entry = h.core ? 3 : 4;
        paletteBytes = count * entry;
        if (!Fits(size, paletteOffset, paletteBytes)) Fail("the palette is cut off");
        image.Palette.assign(full, 0);
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* e = data + paletteOffset + i * entry;
            image.Palette[i] = (TPixel(e[2]) << 16) | (TPixel(e[1]) << 8) | e[0];
        }
    }

    const size_t pixelOffset = offBits != 0 ? offBits : paletteOffset + paletteBytes;
    if (pixelOffset < kFileHeaderSize + h.headerSize)
        Fail("the pixel data starts inside the header");
    if (pixelOffset >= size) Fail("the pixel data starts past the end of the file");

    if (rle) {
        image.Bits = bpp;
        image.Rows.assign(ImageRowBytes(image.Width, bpp) * size_t(image.Height), 0);
        size_t end = size;
        if (h.imageSize != 0 && Fits(size, pixelOffset, h.imageSize))
            end = pixelOffset + h.imageSize;
        DecodeRle(data + pixelOffset, end - pixelOffset, image);
        return image;
    }

    const size_t srcStride = ImageRowBytes(image.Width, bpp);
    const size_t lastRow = (uint64_t(image.Width) * uint64_t(bpp) + 7) / 8;
    // The last row may miss its padding, as some writers leave it out.
    if (!Fits(size, pixelOffset, srcStride * size_t(image.Height - 1) + lastRow))
        Fail("the pixel data is cut off");
    auto srcRow = [&](int y) {
        int fileRow = topDown ? y : image.Height - 1 - y;
        return data + pixelOffset + size_t(fileRow) * srcStride;
    };

    // Pixels kept as they are stored: the indexed depths, 24 bits, the standard 16- and
    // 32-bit layouts.
    int bits = bpp;
    bool copy = true;
    if (bpp == 16) {
        bits = 15;
        if (fields) {
            const uint32_t* m = h.masks;
            if (m[0] == 0x7C00 && m[1] == 0x03E0 && m[2] == 0x001F)
                bits = 15;
            else if (m[0] == 0xF800 && m[1] == 0x07E0 && m[2] == 0x001F)
                bits = 16;
            else {
                copy = false;
                bits = h.masks[3] != 0 ? 32 : 24;
            }
        }
    } else if (bpp == 32 && fields) {
        const uint32_t* m = h.masks;
        copy =
            m[0] == 0xFF0000 && m[1] == 0xFF00 && m[2] == 0xFF && (m[3] == 0 || m[3] == 0xFF000000);
    }
    image.Bits = bits;
    const size_t stride = ImageRowBytes(image.Width, bits);
    image.Rows.assign(stride * size_t(image.Height), 0);

    if (copy) {
        for (int y = 0; y < image.Height; ++y)
            std::memcpy(image.Rows.data() + size_t(y) * stride, srcRow(y), lastRow);
        return image;
    }

    // Other bit fields: each channel scaled to 8 bits; an alpha channel goes to the fourth
    // byte.
    const TChannel r(h.masks[0]), g(h.masks[1]), b(h.masks[2]), a(h.masks[3]);
    const int outBytes = bits / 8;
    for (int y = 0; y < image.Height; ++y) {
        const uint8_t* s = srcRow(y);
        uint8_t* d = image.Rows.data() + size_t(y) * stride;
        for (int x = 0; x < image.Width; ++x, d += outBytes) {
            uint32_t px = bpp == 16 ? U16(s + 2 * x) : U32(s + 4 * x);
            d[0] = b.Get(px);
            d[1] = g.Get(px);
            d[2] = r.Get(px);
            if (outBytes == 4) d[3] = a.Get(px);
        }
    }
    return image;
}

std::vector<uint8_t> EncodeBmp(const TImageData& image) {
    const int bits = image.Bits;
    const int bpp = bits == 15 ? 16 : bits;
    const bool indexed = bits <= 8;
    const bool fields = bits == 16;
    const size_t paletteCount = indexed ? size_t{1} << bits : 0;
    const size_t stride = ImageRowBytes(image.Width, bits);
    const size_t used = (uint64_t(image.Width) * uint64_t(bpp) + 7) / 8;
    const size_t headers = kFileHeaderSize + kInfoHeaderSize + (fields ? 12 : 0);
    const size_t offBits = headers + paletteCount * 4;
    const size_t imageBytes = stride * size_t(image.Height);

    std::vector<uint8_t> out(offBits + imageBytes, 0);
    uint8_t* p = out.data();
    p[0] = 'B';
    p[1] = 'M';
    Put32(p + 2, uint32_t(out.size()));
    Put32(p + 10, uint32_t(offBits));
    uint8_t* ih = p + kFileHeaderSize;
    Put32(ih, uint32_t(kInfoHeaderSize));
    Put32(ih + 4, uint32_t(image.Width));
    Put32(ih + 8, uint32_t(image.Height));
    Put16(ih + 12, 1);
    Put16(ih + 14, uint32_t(bpp));
    Put32(ih + 16, fields ? BI_BITFIELDS : BI_RGB);
    Put32(ih + 20, uint32_t(imageBytes));
    Put32(ih + 24, 3780);  // 96 dots per inch
    Put32(ih + 28, 3780);
    Put32(ih + 32, uint32_t(paletteCount));
    if (fields) {
        Put32(ih + 40, 0xF800);
        Put32(ih + 44, 0x07E0);
        Put32(ih + 48, 0x001F);
    }
    for (size_t i = 0; i < paletteCount; ++i) {
        TPixel c = i < image.Palette.size() ? image.Palette[i] : 0;
        uint8_t* e = p + headers + 4 * i;
        e[0] = uint8_t(c);
        e[1] = uint8_t(c >> 8);
        e[2] = uint8_t(c >> 16);
    }
    const size_t srcStride = ImageRowBytes(image.Width, bits);
    for (int y = 0; y < image.Height; ++y) {
        const uint8_t* src = image.Rows.data() + size_t(y) * srcStride;
        uint8_t* dst = p + offBits + size_t(image.Height - 1 - y) * stride;
        std::memcpy(dst, src, used);
        // The unused bits of the last byte stay 0, as readers expect of padding.
        const unsigned rest = unsigned((uint64_t(image.Width) * unsigned(bpp)) % 8);
        if (rest != 0) dst[used - 1] &= uint8_t(0xFF << (8 - rest));
    }
    return out;
}

}  // namespace kovo
