// TGraphic and TBitmap: a picture with a pixel format of its own, a canvas to draw on it,
// scan-line access in that format, BMP and PNG files and the named pictures of the resource
// registry.
//
// A bitmap keeps two stores of its pixels: the rows in its own pixel format (what ScanLine
// hands out and what files hold) and a 32-bit surface (what the canvas draws into and what
// Draw/StretchDraw read). One of them is current at any time; the other is brought up to
// date when it is asked for. Writing through ScanLine makes the rows current, drawing on the
// canvas makes the surface current. For pf32bit and pfDevice both stores are one buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/Colors.h"
#include "host/Object.h"
#include "host/Surface.h"

namespace kovo {

class TCanvas;
class TBitmapCanvas;

// pfDevice is the format of a new bitmap and behaves exactly as pf32bit (the headless
// screen is 32-bit). pfCustom cannot be set; it stands for formats the bitmap cannot hold.
enum TPixelFormat : uint8_t {
    pfDevice,
    pf1bit,
    pf4bit,
    pf8bit,
    pf15bit,
    pf16bit,
    pf24bit,
    pf32bit,
    pfCustom
};

// tmAuto takes the transparent colour from the bottom-left pixel, tmFixed uses the colour
// that was set.
enum TTransparentMode : uint8_t { tmAuto, tmFixed };

// Bits per pixel of a format (pfDevice: 32; pf15bit: 16; pfCustom: 0).
int PixelFormatBits(TPixelFormat format);
// Bytes in one row of width pixels of a format, padded to a multiple of 4.
size_t BytesPerScanline(int width, TPixelFormat format);

// The standard palettes of the indexed formats, as TColor values:
//   2 entries:   black, white;
//   16 entries:  black, maroon, green, olive, navy, purple, teal, gray, silver, red, lime,
//                yellow, blue, fuchsia, aqua, white;
//   256 entries: the first eight of the sixteen at 0..7, a 6x6x6 colour cube (levels 0, 51,
//                102, 153, 204, 255; red slowest) at 8..223, 24 greys from 8 to 238 in steps
//                of 10 at 224..247 and the last eight of the sixteen at 248..255, so that
//                black is entry 0 and white entry 255.
std::vector<TColor> DefaultPalette(TPixelFormat format);

// The abstract picture: size, emptiness, transparency, files, change notification.
class TGraphic : public TPersistent {
  public:
    virtual int Width() const = 0;
    virtual void SetWidth(int width) = 0;
    virtual int Height() const = 0;
    virtual void SetHeight(int height) = 0;
    virtual bool Empty() const = 0;

    bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool value);
    bool Modified() const { return modified_; }
    void SetModified(bool value) { modified_ = value; }

    virtual void LoadFromFile(const std::string& path) = 0;
    virtual void SaveToFile(const std::string& path) = 0;

    TNotifyEvent OnChange;  // after the picture changed (size, format, content loaded)

  protected:
    // Marks the picture modified and fires OnChange.
    virtual void Changed();
    // Sets the flag without notification (for copies that notify once at the end).
    void SetTransparentQuietly(bool value) { transparent_ = value; }

  private:
    bool transparent_ = false;  // drawn with its transparent colour left out
    bool modified_ = false;     // changed since the flag was last cleared
};

class TBitmap : public TGraphic {
  public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const override { return width_; }
    void SetWidth(int width) override;
    int Height() const override { return height_; }
    void SetHeight(int height) override;
    // Negative sizes count as 0. The pixels that fit are kept, new ones are white (for an
    // indexed format: the palette entry nearest to white).
    void SetSize(int width, int height);
    bool Empty() const override { return width_ == 0 || height_ == 0; }

    TPixelFormat PixelFormat() const { return format_; }
    // Converts the pixels to the new format; an indexed format gets its standard palette and
    // every pixel the nearest entry. pfCustom raises EInvalidGraphic.
    void SetPixelFormat(TPixelFormat format);

    // The canvas drawing on this bitmap (owned by it). Its pen, brush and font live as
    // long as the bitmap.
    TCanvas* Canvas();

    // Row `row` (0 = top) in the bitmap's own format: pf1bit eight pixels per byte, most
    // significant bit first; pf4bit two per byte, high nibble first; pf8bit one palette
    // index per byte; pf15bit/pf16bit little-endian 5-5-5 / 5-6-5 words; pf24bit B, G, R;
    // pf32bit and pfDevice B, G, R, reserved. Rows are BytesPerScanline long. The pointer
    // stays valid until the size or format changes, or the canvas draws (in pf32bit it stays
    // valid across drawing). A row outside 0..Height-1 raises EInvalidGraphic.
    void* ScanLine(int row);

    // The pixels as 0x00RRGGBB, up to date (what Draw and StretchDraw copy).
    const TSurface& PixelSurface() const;
    // The surface to write into directly; makes it the current store.
    TSurface& MutableSurface();

    // The palette of an indexed format (2, 16 or 256 entries; empty for the others).
    std::vector<TColor> PaletteEntries() const;
    int PaletteSize() const { return int(palette_.size()); }
    TColor PaletteEntry(int index) const;
    // Sets entries from `start` on (those beyond the palette are ignored). Pixels keep their
    // indexes, so they change colour.
    void SetPaletteEntries(int start, const std::vector<TColor>& colors);
    void SetPaletteEntry(int index, TColor color) { SetPaletteEntries(index, {color}); }

    // Always an explicit colour: tmFixed the set colour, tmAuto the bottom-left pixel
    // (white for an empty bitmap).
    TColor TransparentColor() const;
    // System colours are resolved; clDefault switches back to tmAuto, any other colour
    // switches to tmFixed.
    void SetTransparentColor(TColor color);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode mode);

    // From another TBitmap: an independent copy of size, format, palette, pixels and
    // transparency. nullptr empties the bitmap. Other classes raise EConvertError.
    void Assign(TPersistent* Source) override;

    // Loads a BMP or PNG file, recognised by its content. A missing or unreadable file raises
    // EFOpenError, a damaged or unsupported one EInvalidGraphic; the bitmap is then unchanged.
    // No bytes at all give an empty bitmap, as that is what saving an empty bitmap writes.
    void LoadFromFile(const std::string& path) override;
    // Writes PNG for a ".png" extension (any case), BMP otherwise, in the bitmap's format
    // (PNG keeps 1, 4 and 8 bits with their palette and stores the others as 24-bit RGB).
    // The file is written beside the target and renamed over it, so a failure raises
    // EFCreateError and leaves no file behind.
    void SaveToFile(const std::string& path) override;
    void LoadFromMemory(const uint8_t* data, size_t size);
    std::vector<uint8_t> SaveToMemory(bool png) const;

    // Loads a picture of the resource registry (names ignore case); an unknown name raises
    // EResNotFound. The instance handle of the classic form is ignored.
    void LoadFromResourceName(const std::string& name);
    void LoadFromResourceName(uintptr_t instance, const std::string& name);

  private:
    friend class TBitmapCanvas;

    void LoadFromBytes(const uint8_t* data, size_t size, const std::string& source);
    bool SharedStore() const;  // pf32bit and pfDevice keep their rows in the surface
    void EnsureSurface() const;
    void EnsureNative() const;
    void SurfaceWillChange();
    void BindCanvas() const;
    TPixel PixelAt(int x, int y) const;  // from the current store, without converting
    void ResizeNative(int width, int height);
    // Takes over size, format, palette and pixels of `other` (which is left empty); the
    // transparency settings stay.
    void TakePicture(TBitmap& other);

    int width_ = 0;                              // pixels across
    int height_ = 0;                             // pixels down
    TPixelFormat format_ = pfDevice;             // format of ScanLine and of saved files
    std::vector<TPixel> palette_;                // entries of an indexed format, 0x00RRGGBB
    mutable std::vector<uint8_t> native_;        // rows in the own format (not for 32 bits)
    mutable TSurface surface_;                   // 32-bit pixels (the rows, for 32 bits)
    mutable bool nativeCurrent_ = true;          // native_ holds the picture
    mutable bool surfaceCurrent_ = true;         // surface_ holds the picture (reserved bytes 0)
    TTransparentMode transparentMode_ = tmAuto;  // where TransparentColor comes from
    TColor transparentColor_ = clWhite;          // the fixed transparent colour
    std::unique_ptr<TBitmapCanvas> canvas_;      // created on first use
};

}  // namespace kovo
