// The PNG reader and writer on libpng's classic interface.
//
// libpng reports errors by longjmp. Every libpng call is made from functions whose locals are
// plain data (ReadBody, WriteBody and the callbacks), so a jump never skips a destructor;
// the C++ containers they fill belong to the callers, and are grown by small noexcept helpers
// that return before libpng runs again. The callers turn a failure into EInvalidGraphic.
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <new>
#include <string>

#include "host/Exceptions.h"
#include "host/ImageCodecs.h"

namespace kovo {

namespace {

constexpr png_byte kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
// Ancillary chunks (text, profiles) are not used; this bounds what libpng buffers for them.
constexpr png_alloc_size_t kChunkLimit = png_alloc_size_t{8} << 20;

// The decoder's shared state: what the guarded part reads and writes.
struct TPngRead {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
    bool streamChecked = false;   // an earlier run decoded the whole stream without error
    bool needsSecondRun = false;  // interlaced: this run only checked the stream
    char error[160] = {};
    // From the header.
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    int interlace = 0;
    // The layout libpng delivers after the transformations.
    int outBits = 0;  // 1, 2, 4, 8 indexed/grey; 24 BGR; 32 BGRA
    size_t rowBytes = 0;
    size_t stride = 0;  // of `rows`
    int paletteCount = 0;
    TPixel palette[256] = {};
    bool hasAlpha = false;  // rows hold BGRA to composite onto white
    std::vector<uint8_t>* rows = nullptr;
    std::vector<uint8_t>* scratch = nullptr;
};

struct TPngWrite {
    std::vector<uint8_t>* out = nullptr;
    char error[160] = {};
};

void OnError(png_structp png, png_const_charp message) {
    char* error = static_cast<char*>(png_get_error_ptr(png));
    std::strncpy(error, message ? message : "libpng error", 159);
    error[159] = 0;
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadData(png_structp png, png_bytep out, size_t count) {
    auto* job = static_cast<TPngRead*>(png_get_io_ptr(png));
    if (count > job->size - job->pos) png_error(png, "the data ends early");
    std::memcpy(out, job->data + job->pos, count);
    job->pos += count;
}

// Resizes a caller's buffer; false when memory runs out.
bool Grow(std::vector<uint8_t>* buffer, size_t bytes) noexcept {
    try {
        buffer->resize(bytes);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void WriteData(png_structp png, png_bytep data, size_t count) {
    auto* job = static_cast<TPngWrite*>(png_get_io_ptr(png));
    const size_t old = job->out->size();
    if (!Grow(job->out, old + count)) png_error(png, "out of memory");
    std::memcpy(job->out->data() + old, data, count);
}

void FlushData(png_structp) {}

// Reads the header, sets up the transformations and delivers the rows. Only plain locals.
void ReadBody(png_structp png, png_infop info, TPngRead* job) {
    png_set_user_limits(png, png_uint_32(kMaxImageSide), png_uint_32(kMaxImageSide));
    png_set_chunk_malloc_max(png, kChunkLimit);
    png_set_read_fn(png, job, ReadData);
    png_read_info(png, info);
    png_get_IHDR(png, info, &job->width, &job->height, &job->bitDepth, &job->colorType,
                 &job->interlace, nullptr, nullptr);
    if (uint64_t(job->width) * job->height > kMaxImagePixels)
        png_error(png, "the picture is too large");

    const int type = job->colorType;
    const bool trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (type == PNG_COLOR_TYPE_PALETTE) {
        png_colorp entries = nullptr;
        int count = 0;
        if (!png_get_PLTE(png, info, &entries, &count)) png_error(png, "no palette");
        png_bytep alpha = nullptr;
        int alphaCount = 0;
        if (trns) png_get_tRNS(png, info, &alpha, &alphaCount, nullptr);
        job->paletteCount = count < 256 ? count : 256;
        for (int i = 0; i < job->paletteCount; ++i) {
            unsigned a = alpha && i < alphaCount ? alpha[i] : 255;
            auto over = [a](unsigned c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            job->palette[i] = (over(entries[i].red) << 16) | (over(entries[i].green) << 8) |
                              over(entries[i].blue);
        }
        job->outBits = job->bitDepth;
    } else if (type == PNG_COLOR_TYPE_GRAY && !trns) {
        if (job->bitDepth == 16) png_set_strip_16(png);
        job->outBits = job->bitDepth == 16 ? 8 : job->bitDepth;
        const int levels = 1 << job->outBits;
        job->paletteCount = levels;
        for (int i = 0; i < levels; ++i) {
            TPixel v = TPixel(i * 255 / (levels - 1));
            job->palette[i] = (v << 16) | (v << 8) | v;
        }
    } else if (type == PNG_COLOR_TYPE_RGB && !trns) {
        png_set_strip_16(png);
        png_set_bgr(png);
        job->outBits = 24;
    } else {
        // Alpha channel or a transparent colour: 8-bit BGRA, composited afterwards.
        png_set_strip_16(png);
        png_set_expand(png);  // also turns tRNS into an alpha channel
        png_set_gray_to_rgb(png);
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);  // when tRNS is absent
        png_set_bgr(png);
        job->outBits = 32;
        job->hasAlpha = true;
    }
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    job->rowBytes = png_get_rowbytes(png, info);
    const size_t expected = (size_t(job->width) * size_t(job->outBits) + 7) / 8;
    if (job->rowBytes != expected) png_error(png, "unexpected row layout");
    job->stride = ImageRowBytes(int(job->width), job->outBits == 2 ? 4 : job->outBits);

    if (passes > 1 && !job->streamChecked) {
        // The later passes need the whole picture in memory. A damaged stream should not
        // cost that, so this run decodes into one scratch row and the caller runs again.
        job->needsSecondRun = true;
        if (!Grow(job->scratch, job->rowBytes)) png_error(png, "out of memory");
        for (int pass = 0; pass < passes; ++pass)
            for (png_uint_32 y = 0; y < job->height; ++y)
                png_read_row(png, job->scratch->data(), nullptr);
        return;
    }
    if (passes > 1) {
        if (!Grow(job->rows, job->stride * job->height)) png_error(png, "out of memory");
        for (int pass = 0; pass < passes; ++pass)
            for (png_uint_32 y = 0; y < job->height; ++y)
                png_read_row(png, job->rows->data() + y * job->stride, nullptr);
        return;
    }
    // Rows arrive one by one, so memory grows only with data that actually decodes.
    for (png_uint_32 y = 0; y < job->height; ++y) {
        if (!Grow(job->rows, (y + 1) * job->stride)) png_error(png, "out of memory");
        png_read_row(png, job->rows->data() + y * job->stride, nullptr);
    }
}

bool ReadGuarded(png_structp png, png_infop info, TPngRead* job) {
    if (setjmp(png_jmpbuf(png))) return false;
    ReadBody(png, info, job);
    return true;
}

bool RunRead(TPngRead* job) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, job->error, OnError, OnWarning);
    if (png == nullptr) {
        std::strcpy(job->error, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        std::strcpy(job->error, "out of memory");
        return false;
    }
    const bool ok = ReadGuarded(png, info, job);
    png_destroy_read_struct(&png, &info, nullptr);
    return ok;
}

void WriteBody(png_structp png, png_infop info, const TImageData* image, TPngWrite* job) {
    png_set_write_fn(png, job, WriteData, FlushData);
    const bool indexed = image->Bits <= 8;
    png_set_IHDR(png, info, png_uint_32(image->Width), png_uint_32(image->Height),
                 indexed ? image->Bits : 8, indexed ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[256];
    if (indexed) {
        const int count = 1 << image->Bits;
        for (int i = 0; i < count; ++i) {
            TPixel c = size_t(i) < image->Palette.size() ? image->Palette[size_t(i)] : 0;
            palette[i].red = png_byte(c >> 16);
            palette[i].green = png_byte(c >> 8);
            palette[i].blue = png_byte(c);
        }
        png_set_PLTE(png, info, palette, count);
    }
    png_write_info(png, info);
    if (!indexed) {
        png_set_bgr(png);
        if (image->Bits == 32) png_set_filler(png, 0, PNG_FILLER_AFTER);
    }
    const size_t stride = ImageRowBytes(image->Width, image->Bits);
    for (int y = 0; y < image->Height; ++y)
        png_write_row(png, image->Rows.data() + size_t(y) * stride);
    png_write_end(png, nullptr);
}

bool WriteGuarded(png_structp png, png_infop info, const TImageData* image, TPngWrite* job) {
    if (setjmp(png_jmpbuf(png))) return false;
    WriteBody(png, info, image, job);
    return true;
}

[[noreturn]] void Fail(const char* error) {
    throw EInvalidGraphic(error[0] ? error : "libpng error");
}

// 2-bit rows (palette or grey) widened in place of the bigger 4-bit layout.
void WidenTwoBitRows(TImageData& image, size_t stride) {
    std::vector<uint8_t> row(stride);
    for (int y = 0; y < image.Height; ++y) {
        uint8_t* r = image.Rows.data() + size_t(y) * stride;
        std::memcpy(row.data(), r, stride);
        std::memset(r, 0, stride);
        for (int x = 0; x < image.Width; ++x) {
            unsigned v = (row[size_t(x) >> 2] >> (6 - 2 * (x & 3))) & 3;
            r[x >> 1] |= uint8_t((x & 1) ? v : v << 4);
        }
    }
}

}  // namespace

bool LooksLikePng(const uint8_t* data, size_t size) {
    return size >= 8 && std::memcmp(data, kSignature, 8) == 0;
}

TImageData DecodePng(const uint8_t* data, size_t size) {
    if (!LooksLikePng(data, size)) throw EInvalidGraphic("no PNG signature");
    TImageData image;
    std::vector<uint8_t> scratch;
    TPngRead job;
    job.data = data;
    job.size = size;
    job.rows = &image.Rows;
    job.scratch = &scratch;
    if (!RunRead(&job)) Fail(job.error);
    if (job.needsSecondRun) {
        // The stream of an interlaced picture decoded without errors: now keep the pixels.
        scratch = std::vector<uint8_t>();
        TPngRead again;
        again.data = data;
        again.size = size;
        again.rows = &image.Rows;
        again.scratch = &scratch;
        again.streamChecked = true;
        if (!RunRead(&again)) Fail(again.error);
        job = again;
    }

    image.Width = int(job.width);
    image.Height = int(job.height);
    image.Bits = job.outBits == 2 ? 4 : job.outBits;
    if (job.outBits == 2) WidenTwoBitRows(image, job.stride);
    if (image.Bits <= 8) {
        image.Palette.assign(size_t{1} << image.Bits, 0);
        for (int i = 0; i < job.paletteCount && i < int(image.Palette.size()); ++i)
            image.Palette[size_t(i)] = job.palette[i];
    }
    if (job.hasAlpha) {
        // Onto white, so the picture looks as it would on a page.
        for (size_t i = 0; i + 3 < image.Rows.size(); i += 4) {
            uint8_t* p = image.Rows.data() + i;
            const unsigned a = p[3];
            for (int c = 0; c < 3; ++c) p[c] = uint8_t((p[c] * a + 255 * (255 - a) + 127) / 255);
            p[3] = 0;
        }
    }
    return image;
}

std::vector<uint8_t> EncodePng(const TImageData& source) {
    // Depths libpng cannot take as they are become 24-bit rows first.
    TImageData converted;
    const TImageData* image = &source;
    if (source.Bits == 15 || source.Bits == 16) {
        converted.Width = source.Width;
        converted.Height = source.Height;
        converted.Bits = 24;
        const size_t inStride = ImageRowBytes(source.Width, source.Bits);
        const size_t outStride = ImageRowBytes(source.Width, 24);
        converted.Rows.assign(outStride * size_t(source.Height), 0);
        std::vector<TPixel> pixels(size_t(source.Width));
        for (int y = 0; y < source.Height; ++y) {
            RowToPixels(source.Rows.data() + size_t(y) * inStride, source.Width, source.Bits,
                        source.Palette, pixels.data());
            uint8_t* d = converted.Rows.data() + size_t(y) * outStride;
            for (int x = 0; x < source.Width; ++x, d += 3) {
                d[0] = uint8_t(pixels[size_t(x)]);
                d[1] = uint8_t(pixels[size_t(x)] >> 8);
                d[2] = uint8_t(pixels[size_t(x)] >> 16);
            }
        }
        image = &converted;
    }
    if (image->Width <= 0 || image->Height <= 0)
        throw EInvalidGraphic("an empty picture cannot be written as PNG");

    std::vector<uint8_t> out;
    TPngWrite job;
    job.out = &out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, job.error, OnError, OnWarning);
    if (png == nullptr) throw EInvalidGraphic("out of memory");
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        throw EInvalidGraphic("out of memory");
    }
    const bool ok = WriteGuarded(png, info, image, &job);
    png_destroy_write_struct(&png, &info);
    if (!ok) Fail(job.error);
    return out;
}

}  // namespace kovo
