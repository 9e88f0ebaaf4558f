// TSevenSeg: a short text shown as a row of italic seven-segment digits, like an LED display:
// the digits, the hexadecimal letters A to F (either case), minus, plus, colon, degree sign
// and decimal points. Each character is composed from six black-on-white shape pictures on a
// 312 x 432 template, coloured, and scaled down once (averaging the pixels) into an image
// cache that holds the 21 characters side by side; painting copies cache cells. The cache is
// rebuilt when the colours, the digit count, the margin, the gap or the size change; a new
// caption only repaints.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "foundation/kovobase.h"
#include "host/Control.h"
#include "host/WinControl.h"

namespace kovo {

class TBitmap;
class TCanvas;

// The characters of the image cache in the order of its cells (21 characters, UTF-8).
inline constexpr const char* SevenSegCharList =
    "0123456789-+:\xC2\xB0"
    "ABCDEF.";
inline constexpr int SevenSegCharCount = 21;

class TSevenSeg : public TGraphicControl {
  public:
    explicit TSevenSeg(TComponent* AOwner);
    ~TSevenSeg() override;

    // The text shown; Caption()/SetCaption() of the control read and write it as well.
    std::string GetText() const override { return FCaption; }
    void SetText(const std::string& Value) override;

    TColor ColorBackGnd() const { return FColorBakG; }
    void SetColorBackGnd(TColor Value);
    // Every colour is accepted; white is drawn as $FEFEFE, since white marks the template's
    // area outside the shapes.
    TColor ColorText() const { return FColorTxt; }
    void SetColorText(TColor Value);
    TColorScheme ColorScheme() const { return FLines.FColorScheme; }
    void SetColorScheme(TColorScheme Value);
    TFrameStyle FrameStyle() const { return FFrameStyle; }
    void SetFrameStyle(TFrameStyle Value);
    // Gap between digit cells: negative values count as 0, values above 255 as 255.
    int InterDigDist() const { return FInterDigDist; }
    void SetInterDigDist(int Value);
    // Margin on all four sides: limited to 0 .. Height div 2 - 1.
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    // 1..32; other values are ignored.
    int NumDigits() const { return FNumDigits; }
    void SetNumDigits(int Value);

    // The cache of the 21 characters, SevenSegCharList order, each cell
    // (Width - 2 Margin) div NumDigits - InterDigDist wide and Height - 2 Margin high
    // (empty when a cell would have no pixels).
    const TBitmap* ImageCache() const { return ImgCache.get(); }

    // The control's OnResize handler, installed by the constructor: a new size rebuilds the
    // cache and repaints. A program that assigns OnResize replaces it.
    void ProcessResize(TObject* Sender);

    void Assign(TPersistent* Source) override;

  protected:
    void AssignTo(TPersistent* Dest) override;
    void Paint() override;
    // After loading, the loaded size is treated as a resize (through OnResize).
    void Loaded() override;

    // Gives every shape picture the colour C (white becomes $FEFEFE).
    void ColorizeSegments(TColor C);
    // Composes character Ch (a code point) on the template, with the decimal point when Dot.
    void CreateDigit(char32_t Ch, bool Dot);
    // Rebuilds the cache for the current size and settings.
    virtual void CreateImageCache();

  private:
    void LoadShapes();
    void RebuildAndRepaint();

    TColor FColorBakG = 0x333333;               // background
    TColor FColorTxt = 0x0000FF;                // segment colour (red)
    std::unique_ptr<TBitmap> DigImg;            // 312 x 432 template of one character
    int FNumDigits = 4;                         // digit cells, 1..32
    std::string FCaption = "8.8.8.8.";          // text shown
    TFrameStyle FFrameStyle = fsSunken;         // frame
    int FMargin = 8;                            // margin on all four sides
    int FInterDigDist = 2;                      // gap between digit cells
    int FWidth = 216, FHeight = 76;             // size the cache was last built for
    std::unique_ptr<TBitmap> SegHorz, SegVert;  // shape pictures: bars,
    std::unique_ptr<TBitmap> SegDot, SegPlus;   // point, plus,
    std::unique_ptr<TBitmap> SegColon, SegDeg;  // colon and ring
    std::unique_ptr<TBitmap> ImgCache;          // the 21 character cells
    TLineColors FLines;                         // line colours and scheme (not drawn)
};

}  // namespace kovo
