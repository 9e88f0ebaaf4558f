#include "host/Bitmap.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "host/Canvas.h"
#include "host/Exceptions.h"
#include "host/ImageCodecs.h"
#include "host/Resources.h"

namespace kovo {

// The bitmap's own canvas: before every operation it makes the surface current, so drawing
// after ScanLine writes sees them, and ScanLine after drawing converts the drawing back.
class TBitmapCanvas : public TCanvas {
  public:
    explicit TBitmapCanvas(TBitmap* owner) : owner_(owner) {}

  protected:
    void RequireSurface() override { owner_->SurfaceWillChange(); }

  private:
    TBitmap* owner_;
};

namespace {

constexpr TPixel kWhitePixel = 0xFFFFFF;

// The depth the codecs speak for a format (15 for x-5-5-5).
int CodecBits(TPixelFormat format) {
    switch (format) {
        case pf1bit:
            return 1;
        case pf4bit:
            return 4;
        case pf8bit:
            return 8;
        case pf15bit:
            return 15;
        case pf16bit:
            return 16;
        case pf24bit:
            return 24;
        default:
            return 32;
    }
}

TPixelFormat FormatOfBits(int bits) {
    switch (bits) {
        case 1:
            return pf1bit;
        case 4:
            return pf4bit;
        case 8:
            return pf8bit;
        case 15:
            return pf15bit;
        case 16:
            return pf16bit;
        case 24:
            return pf24bit;
        default:
            return pf32bit;
    }
}

bool IsIndexed(TPixelFormat format) {
    return format == pf1bit || format == pf4bit || format == pf8bit;
}

std::vector<TPixel> DefaultPixelPalette(TPixelFormat format) {
    std::vector<TColor> colors = DefaultPalette(format);
    std::vector<TPixel> pixels(colors.size());
    for (size_t i = 0; i < colors.size(); ++i) pixels[i] = ColorToPixel(colors[i]);
    return pixels;
}

// Nearest palette entry by squared RGB distance (the lowest index wins a tie), remembered
// for recent colours since pictures repeat colours a lot.
class TPaletteMatcher {
  public:
    explicit TPaletteMatcher(const std::vector<TPixel>& palette) : palette_(palette) {
        keys_.fill(0xFFFFFFFF);
    }
    uint8_t Match(TPixel p) {
        p &= 0xFFFFFF;
        const size_t slot = (p * 2654435761u) >> 20;
        if (keys_[slot] == p) return values_[slot];
        const int r = int(p >> 16), g = int((p >> 8) & 0xFF), b = int(p & 0xFF);
        int best = 0;
        int bestDistance = 1 << 30;
        for (size_t i = 0; i < palette_.size(); ++i) {
            const TPixel e = palette_[i];
            const int dr = r - int(e >> 16), dg = g - int((e >> 8) & 0xFF), db = b - int(e & 0xFF);
            const int d = dr * dr + dg * dg + db * db;
            if (d < bestDistance) {
                bestDistance = d;
                best = int(i);
                if (d == 0) break;
            }
        }
        keys_[slot] = p;
        values_[slot] = uint8_t(best);
        return uint8_t(best);
    }

  private:
    const std::vector<TPixel>& palette_;
    std::array<TPixel, 4096> keys_;
    std::array<uint8_t, 4096> values_{};
};

// One row of 32-bit pixels in a format other than 32 bits.
void PixelsToRow(const TPixel* in, int width, TPixelFormat format, TPaletteMatcher* matcher,
                 uint8_t* row) {
    switch (format) {
        case pf1bit:
        case pf4bit:
        case pf8bit: {
            const int bits = CodecBits(format);
            const size_t bytes = (size_t(width) * size_t(bits) + 7) / 8;
            std::memset(row, 0, bytes);
            for (int x = 0; x < width; ++x) {
                const uint8_t i = matcher->Match(in[x]);
                if (bits == 8)
                    row[x] = i;
                else if (bits == 4)
                    row[x >> 1] |= uint8_t((x & 1) ? i : i << 4);
                else
                    row[x >> 3] |= uint8_t(i << (7 - (x & 7)));
            }
            break;
        }
        case pf15bit:
        case pf16bit:
            for (int x = 0; x < width; ++x) {
                const TPixel p = in[x];
                const unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
                const unsigned v = format == pf15bit
                                       ? ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3)
                                       : ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
                row[2 * x] = uint8_t(v);
                row[2 * x + 1] = uint8_t(v >> 8);
            }
            break;
        case pf24bit:
            for (int x = 0; x < width; ++x) {
                row[3 * x] = uint8_t(in[x]);
                row[3 * x + 1] = uint8_t(in[x] >> 8);
                row[3 * x + 2] = uint8_t(in[x] >> 16);
            }
            break;
        default:
            break;
    }
}

// The row value of white in a format, as the byte pattern that fills a row with it.
void FillWhite(uint8_t* row, size_t bytes, TPixelFormat format, uint8_t whiteIndex) {
    switch (format) {
        case pf1bit:
            std::memset(row, whiteIndex ? 0xFF : 0x00, bytes);
            break;
        case pf4bit:
            std::memset(row, whiteIndex * 0x11, bytes);
            break;
        case pf8bit:
            std::memset(row, whiteIndex, bytes);
            break;
        case pf15bit:
            for (size_t i = 0; i + 1 < bytes; i += 2) {
                row[i] = 0xFF;
                row[i + 1] = 0x7F;
            }
            break;
        default:
            std::memset(row, 0xFF, bytes);
            break;
    }
}

unsigned GetPackedIndex(const uint8_t* row, int bits, int x) {
    if (bits == 4) return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
}

void SetPackedIndex(uint8_t* row, int bits, int x, unsigned v) {
    if (bits == 4) {
        uint8_t& b = row[x >> 1];
        b = (x & 1) ? uint8_t((b & 0xF0) | v) : uint8_t((b & 0x0F) | (v << 4));
    } else {
        const uint8_t bit = uint8_t(0x80 >> (x & 7));
        row[x >> 3] = v ? uint8_t(row[x >> 3] | bit) : uint8_t(row[x >> 3] & ~bit);
    }
}

bool EndsWithPng(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return ext == ".png";
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    auto openError = [&](int error) {
        return EFOpenError("Cannot open file \"" + path + "\". " + std::strerror(error));
    };
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) throw openError(errno);
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    for (;;) {
        const size_t n = std::fread(chunk, 1, sizeof chunk, f);
        bytes.insert(bytes.end(), chunk, chunk + n);
        if (n < sizeof chunk) break;
        if (bytes.size() > (size_t{1} << 32)) {
            std::fclose(f);
            throw EInvalidGraphic("Bitmap image is not valid: " + path +
                                  " (the file is too large)");
        }
    }
    const bool failed = std::ferror(f) != 0;
    const int error = errno;
    std::fclose(f);
    if (failed) throw openError(error);
    return bytes;
}

// Writes next to the target and renames, so a failure never leaves half a file.
void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    static std::atomic<unsigned> counter{0};
    auto createError = [&](int error) {
        return EFCreateError("Cannot create file \"" + path + "\". " + std::strerror(error));
    };
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = path + ".~" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) throw createError(errno);
    }
    if (fd < 0) throw createError(EEXIST);
    size_t done = 0;
    int error = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            break;
        }
        done += size_t(n);
    }
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && std::rename(temp.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        throw createError(error);
    }
}

}  // namespace

int PixelFormatBits(TPixelFormat format) {
    switch (format) {
        case pfCustom:
            return 0;
        case pf15bit:
            return 16;
        default:
            return CodecBits(format);
    }
}

size_t BytesPerScanline(int width, TPixelFormat format) {
    return ImageRowBytes(width, CodecBits(format));
}

std::vector<TColor> DefaultPalette(TPixelFormat format) {
    static const TColor sixteen[16] = {clBlack, clMaroon,  clGreen,  clOlive, clNavy, clPurple,
                                       clTeal,  clGray,    clSilver, clRed,   clLime, clYellow,
                                       clBlue,  clFuchsia, clAqua,   clWhite};
    switch (format) {
        case pf1bit:
            return {clBlack, clWhite};
        case pf4bit:
            return std::vector<TColor>(sixteen, sixteen + 16);
        case pf8bit: {
            std::vector<TColor> p(sixteen, sixteen + 8);
            for (int r = 0; r < 6; ++r)
                for (int g = 0; g < 6; ++g)
                    for (int b = 0; b < 6; ++b)
                        p.push_back(RGB(uint8_t(51 * r), uint8_t(51 * g), uint8_t(51 * b)));
            for (int i = 0; i < 24; ++i) {
                const uint8_t v = uint8_t(8 + 10 * i);
                p.push_back(RGB(v, v, v));
            }
            p.insert(p.end(), sixteen + 8, sixteen + 16);
            return p;
        }
        default:
            return {};
    }
}

// ---- TGraphic ----

void TGraphic::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    Changed();
}

void TGraphic::Changed() {
    modified_ = true;
    if (OnChange) OnChange(this);
}

// ---- TBitmap: stores ----

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) {
    SetSize(width, height);
}

TBitmap::~TBitmap() = default;

bool TBitmap::SharedStore() const {
    return format_ == pfDevice || format_ == pf32bit;
}

void TBitmap::EnsureSurface() const {
    if (surfaceCurrent_) return;
    if (SharedStore()) {
        // ScanLine may have written the reserved bytes; the surface keeps them 0.
        TPixel* p = surface_.Data();
        const size_t n = size_t(surface_.Width()) * size_t(surface_.Height());
        for (size_t i = 0; i < n; ++i) p[i] &= 0xFFFFFF;
    } else {
        // The surface of a picture that lived in its rows only is made when first needed.
        const bool empty = width_ == 0 || height_ == 0;
        if (surface_.Width() != (empty ? 0 : width_) ||
            surface_.Height() != (empty ? 0 : height_)) {
            surface_.Resize(width_, height_);
            BindCanvas();
        }
        const int bits = CodecBits(format_);
        const size_t stride = BytesPerScanline(width_, format_);
        for (int y = 0; y < surface_.Height(); ++y)
            RowToPixels(native_.data() + size_t(y) * stride, width_, bits, palette_,
                        surface_.Row(y));
    }
    surfaceCurrent_ = true;
}

TPixel TBitmap::PixelAt(int x, int y) const {
    if (surfaceCurrent_ || SharedStore()) return surface_.Get(x, y) & 0xFFFFFF;
    std::vector<TPixel> row(static_cast<size_t>(width_));
    RowToPixels(native_.data() + size_t(y) * BytesPerScanline(width_, format_), width_,
                CodecBits(format_), palette_, row.data());
    return row[size_t(x)];
}

void TBitmap::EnsureNative() const {
    if (nativeCurrent_) return;
    const size_t stride = BytesPerScanline(width_, format_);
    native_.assign(stride * size_t(surface_.Height()), 0);
    TPaletteMatcher matcher(palette_);
    for (int y = 0; y < surface_.Height(); ++y)
        PixelsToRow(surface_.Row(y), width_, format_, &matcher,
                    native_.data() + size_t(y) * stride);
    nativeCurrent_ = true;
}

void TBitmap::SurfaceWillChange() {
    EnsureSurface();
    if (!SharedStore()) nativeCurrent_ = false;
}

void TBitmap::BindCanvas() const {
    if (canvas_) canvas_->SetSurface(&surface_);
}

const TSurface& TBitmap::PixelSurface() const {
    EnsureSurface();
    return surface_;
}

TSurface& TBitmap::MutableSurface() {
    SurfaceWillChange();
    return surface_;
}

TCanvas* TBitmap::Canvas() {
    if (!canvas_) {
        canvas_ = std::make_unique<TBitmapCanvas>(this);
        canvas_->OnChange = [this](TObject*) { Changed(); };
        BindCanvas();
    }
    SurfaceWillChange();
    return canvas_.get();
}

void* TBitmap::ScanLine(int row) {
    if (row < 0 || row >= height_ || width_ == 0)
        throw EInvalidGraphic("Scan line index out of range");
    EnsureNative();
    surfaceCurrent_ = false;
    if (SharedStore()) return surface_.Row(row);
    return native_.data() + size_t(row) * BytesPerScanline(width_, format_);
}

// ---- size and format ----

void TBitmap::SetWidth(int width) {
    SetSize(width, height_);
}

void TBitmap::SetHeight(int height) {
    SetSize(width_, height);
}

void TBitmap::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    if (!SharedStore() && nativeCurrent_ && !surfaceCurrent_) {
        // Only the rows hold the picture: resize them, so that indexes survive unchanged.
        ResizeNative(width, height);
    } else {
        EnsureSurface();
        TSurface resized(width, height, kWhitePixel);
        const int w = std::min(resized.Width(), surface_.Width());
        const int h = std::min(resized.Height(), surface_.Height());
        for (int y = 0; y < h; ++y)
            std::memcpy(resized.Row(y), surface_.Row(y), size_t(w) * sizeof(TPixel));
        surface_ = std::move(resized);
        width_ = width;
        height_ = height;
        surfaceCurrent_ = true;
        nativeCurrent_ = SharedStore();
        if (!nativeCurrent_) native_.clear();
    }
    BindCanvas();
    Changed();
}

void TBitmap::ResizeNative(int width, int height) {
    const int bits = CodecBits(format_);
    const size_t oldStride = BytesPerScanline(width_, format_);
    const size_t stride = BytesPerScanline(width, format_);
    std::vector<uint8_t> rows(stride * size_t(height));
    TPaletteMatcher matcher(palette_);
    const uint8_t whiteIndex = IsIndexed(format_) ? matcher.Match(kWhitePixel) : 0;
    const int w = std::min(width, width_), h = std::min(height, height_);
    for (int y = 0; y < height && stride > 0; ++y) {
        uint8_t* dst = rows.data() + size_t(y) * stride;
        FillWhite(dst, stride, format_, whiteIndex);
        if (y >= h || w == 0) continue;
        const uint8_t* src = native_.data() + size_t(y) * oldStride;
        if (bits >= 8) {
            std::memcpy(dst, src, size_t(w) * size_t(PixelFormatBits(format_) / 8));
        } else {
            for (int x = 0; x < w; ++x) SetPackedIndex(dst, bits, x, GetPackedIndex(src, bits, x));
        }
    }
    native_ = std::move(rows);
    surface_ = TSurface();  // stale; made again when asked for
    width_ = width;
    height_ = height;
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == pfCustom) throw EInvalidGraphic("Invalid pixel format");
    if (format == format_) return;
    EnsureSurface();
    format_ = format;
    palette_ = DefaultPixelPalette(format);
    native_.clear();
    if (SharedStore()) {
        nativeCurrent_ = true;
    } else {
        // Converted at once, so the surface shows what the new format can hold.
        nativeCurrent_ = false;
        EnsureNative();
        surfaceCurrent_ = false;
    }
    Changed();
}

// ---- palette and transparency ----

std::vector<TColor> TBitmap::PaletteEntries() const {
    std::vector<TColor> colors(palette_.size());
    for (size_t i = 0; i < palette_.size(); ++i) colors[i] = PixelToColor(palette_[i]);
    return colors;
}

TColor TBitmap::PaletteEntry(int index) const {
    if (index < 0 || index >= PaletteSize()) return clBlack;
    return PixelToColor(palette_[size_t(index)]);
}

void TBitmap::SetPaletteEntries(int start, const std::vector<TColor>& colors) {
    if (start < 0 || start >= PaletteSize() || colors.empty()) return;
    EnsureNative();
    for (size_t i = 0; i < colors.size() && size_t(start) + i < palette_.size(); ++i)
        palette_[size_t(start) + i] = ToPixel(colors[i]);
    surfaceCurrent_ = false;
    Changed();
}

TColor TBitmap::TransparentColor() const {
    if (transparentMode_ == tmFixed) return transparentColor_;
    if (Empty()) return clWhite;
    return PixelToColor(PixelAt(0, height_ - 1));
}

void TBitmap::SetTransparentColor(TColor color) {
    if (color == clDefault) {
        transparentMode_ = tmAuto;
    } else {
        transparentColor_ = ColorToRGB(color);
        transparentMode_ = tmFixed;
    }
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
    if (mode == transparentMode_) return;
    // Fixing the mode fixes the colour seen until now.
    if (mode == tmFixed)
        SetTransparentColor(TransparentColor());
    else
        SetTransparentColor(clDefault);
}

// ---- copying ----

void TBitmap::Assign(TPersistent* Source) {
    if (Source == nullptr) {
        TBitmap empty;
        TakePicture(empty);
        return;
    }
    auto* other = dynamic_cast<TBitmap*>(Source);
    if (other == nullptr) {
        TGraphic::Assign(Source);
        return;
    }
    if (other == this) return;
    // Copies made before anything changes, so a failed allocation leaves this bitmap as is.
    std::vector<uint8_t> native = other->native_;
    TSurface surface = other->surface_;
    std::vector<TPixel> palette = other->palette_;
    width_ = other->width_;
    height_ = other->height_;
    format_ = other->format_;
    palette_ = std::move(palette);
    native_ = std::move(native);
    surface_ = std::move(surface);
    nativeCurrent_ = other->nativeCurrent_;
    surfaceCurrent_ = other->surfaceCurrent_;
    transparentMode_ = other->transparentMode_;
    transparentColor_ = other->transparentColor_;
    SetTransparentQuietly(other->Transparent());
    BindCanvas();
    Changed();
}

void TBitmap::TakePicture(TBitmap& other) {
    width_ = other.width_;
    height_ = other.height_;
    format_ = other.format_;
    palette_ = std::move(other.palette_);
    native_ = std::move(other.native_);
    surface_ = std::move(other.surface_);
    nativeCurrent_ = other.nativeCurrent_;
    surfaceCurrent_ = other.surfaceCurrent_;
    other.width_ = other.height_ = 0;
    other.nativeCurrent_ = other.surfaceCurrent_ = true;
    BindCanvas();
    Changed();
}

// ---- files ----

void TBitmap::LoadFromBytes(const uint8_t* data, size_t size, const std::string& source) {
    const std::string where = source.empty() ? std::string() : ": " + source;
    TImageData image;
    if (size == 0) {
        // What saving an empty bitmap writes.
        TBitmap empty;
        TakePicture(empty);
        return;
    }
    const bool png = LooksLikePng(data, size);
    try {
        if (png)
            image = DecodePng(data, size);
        else if (LooksLikeBmp(data, size))
            image = DecodeBmp(data, size);
        else
            throw EInvalidGraphic("neither a BMP nor a PNG file");
    } catch (const EInvalidGraphic& e) {
        throw EInvalidGraphic(
            std::string(png ? "PNG image is not valid" : "Bitmap image is not valid") + where +
            " (" + e.Message() + ")");
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory("Out of memory while loading the picture" + where);
    }

    TBitmap picture;
    picture.width_ = image.Width;
    picture.height_ = image.Height;
    picture.format_ = FormatOfBits(image.Bits);
    picture.palette_ = std::move(image.Palette);
    if (image.Bits == 32) {
        picture.surface_.Resize(image.Width, image.Height);
        const size_t rowBytes = size_t(image.Width) * 4;
        for (int y = 0; y < image.Height; ++y)
            std::memcpy(picture.surface_.Row(y), image.Rows.data() + size_t(y) * rowBytes,
                        rowBytes);
        picture.nativeCurrent_ = true;
    } else {
        picture.native_ = std::move(image.Rows);
        picture.nativeCurrent_ = true;
    }
    picture.surfaceCurrent_ = false;
    TakePicture(picture);
}

void TBitmap::LoadFromMemory(const uint8_t* data, size_t size) {
    LoadFromBytes(data, size, std::string());
}

void TBitmap::LoadFromFile(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    LoadFromBytes(bytes.data(), bytes.size(), path);
}

std::vector<uint8_t> TBitmap::SaveToMemory(bool png) const {
    if (Empty()) return {};
    EnsureNative();
    TImageData image;
    image.Width = width_;
    image.Height = height_;
    image.Bits = CodecBits(format_);
    image.Palette = palette_;
    if (SharedStore()) {
        const TPixel* p = surface_.Data();
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(p);
        image.Rows.assign(bytes, bytes + size_t(width_) * size_t(height_) * 4);
    } else {
        image.Rows = native_;
    }
    return png ? EncodePng(image) : EncodeBmp(image);
}

void TBitmap::SaveToFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    try {
        bytes = SaveToMemory(EndsWithPng(path));
    } catch (const EInvalidGraphic& e) {
        throw EFCreateError("Cannot create file \"" + path + "\". " + e.Message());
    }
    WriteWholeFile(path, bytes);
}

void TBitmap::LoadFromResourceName(const std::string& name) {
    TBitmap picture;
    MakeRegisteredPicture(name, picture);
    TakePicture(picture);
}

void TBitmap::LoadFromResourceName(uintptr_t, const std::string& name) {
    LoadFromResourceName(name);
}

}  // namespace kovo
