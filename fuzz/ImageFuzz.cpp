// Feeds arbitrary bytes to the BMP and PNG readers and, through TBitmap, to the whole load
// path. The host's exceptions are the expected answer to bad input; anything else (a crash,
// a sanitizer report, another exception, a picture that does not survive being saved and
// loaded again) is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "host/Bitmap.h"
#include "host/Exceptions.h"
#include "host/ImageCodecs.h"

using namespace kovo;

namespace {

// Pictures up to this size also go through conversion, saving and reloading.
constexpr uint64_t kRoundTripPixels = uint64_t{1} << 18;
constexpr uint64_t kCheckPixels = uint64_t{1} << 22;

[[noreturn]] void Finding(const char* what) {
    std::fprintf(stderr, "fuzz_image: %s\n", what);
    std::abort();
}

// Reads every row the decoder delivered, so a short buffer shows up under the sanitizers.
void CheckImage(const TImageData& image) {
    if (image.Width <= 0 || image.Height <= 0) Finding("decoder returned an empty picture");
    if (image.Rows.size() != ImageRowBytes(image.Width, image.Bits) * size_t(image.Height))
        Finding("row buffer has the wrong size");
    if (image.Bits <= 8 && image.Palette.size() != (size_t{1} << image.Bits))
        Finding("palette has the wrong size");
    // Reading every row of a huge, mostly empty RLE picture would only slow the search.
    if (uint64_t(image.Width) * uint64_t(image.Height) > kCheckPixels) return;
    std::vector<TPixel> row(size_t(image.Width));
    const size_t stride = ImageRowBytes(image.Width, image.Bits);
    for (int y = 0; y < image.Height; ++y)
        RowToPixels(image.Rows.data() + size_t(y) * stride, image.Width, image.Bits, image.Palette,
                    row.data());
}

bool SamePixels(const TSurface& a, const TSurface& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Get(x, y) != b.Get(x, y)) return false;
    return true;
}

void RoundTrip(TBitmap& bitmap, bool png) {
    const std::vector<uint8_t> saved = bitmap.SaveToMemory(png);
    TBitmap again;
    try {
        again.LoadFromMemory(saved.data(), saved.size());
    } catch (const Exception&) {
        Finding(png ? "a saved PNG does not load" : "a saved BMP does not load");
    }
    if (!SamePixels(bitmap.PixelSurface(), again.PixelSurface()))
        Finding("pixels changed on saving and loading");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        CheckImage(DecodeBmp(data, size));
    } catch (const Exception&) {
    }
    try {
        CheckImage(DecodePng(data, size));
    } catch (const Exception&) {
    }

    TBitmap bitmap;
    try {
        bitmap.LoadFromMemory(data, size);
    } catch (const Exception&) {
        if (!bitmap.Empty() || bitmap.PixelFormat() != pfDevice)
            Finding("a failed load changed the bitmap");
        return 0;
    }
    if (bitmap.Empty()) return 0;
    if (uint64_t(bitmap.Width()) * uint64_t(bitmap.Height()) > kRoundTripPixels) return 0;
    bitmap.TransparentColor();
    bitmap.ScanLine(bitmap.Height() - 1);
    RoundTrip(bitmap, false);
    RoundTrip(bitmap, true);
    // Indexed formats are rebuilt from the 32-bit pixels through the nearest palette entry.
    bitmap.SetPixelFormat(bitmap.PixelFormat() == pf8bit ? pf4bit : pf8bit);
    RoundTrip(bitmap, false);
    return 0;
}
