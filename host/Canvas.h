// TCanvas: the software painter. It draws with a pen, a brush and a font into a TSurface,
// following the pixel rules of a classic GDI, and can record the calls made on it so that
// tests can check what a component drew without looking at pixels.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/Colors.h"
#include "host/Font.h"
#include "host/Graphics.h"
#include "host/Object.h"
#include "host/Surface.h"
#include "host/Types.h"

namespace kovo {

class TBitmap;
class TCanvas;

// A device context is the canvas itself, so GDI-style free functions take a canvas.
using HDC = TCanvas*;

// One recorded drawing call. Args holds the coordinates as passed, in canvas coordinates
// (for Polygon/Polyline the points as x0, y0, x1, y1, ...; for CopyRect/BitBlt/StretchBlt
// the destination then the source rectangle); colours are recorded as set, so a system
// colour stays a system colour.
struct TCanvasCall {
    std::string Op;         // the method's name: "Rectangle", "LineTo", "TextOut", ...
    std::vector<int> Args;  // coordinates (and, for FloodFill/SetPixels, the colour last)
    std::string Text;       // the text of TextOut, TextRect and DrawText
    TColor PenColor = clBlack;
    TColor BrushColor = clWhite;
    TColor FontColor = clBlack;
    TBrushStyle BrushStyle = bsSolid;
    TPenStyle PenStyle = psSolid;
    int PenWidth = 1;
    TPenMode PenMode = pmCopy;
    std::string FontName;     // the font's face name
    int FontHeight = 0;       // the font's pixel height (negative: character height)
    TFontStyles FontStyle;    // bold, italic, ...
    int FontOrientation = 0;  // tenths of a degree
    TCopyMode CopyMode = cmSrcCopy;
};

class TCanvas : public TPersistent {
  public:
    TCanvas();
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // The target. Canvas point (0, 0) is surface point origin; clip (surface coordinates)
    // limits every drawing operation, an empty clip meaning the whole surface. Without a
    // surface every drawing operation does nothing and every read answers 0 (clBlack).
    void SetSurface(TSurface* surface, TPoint origin = {0, 0}, TRect clip = {});
    // The surface as last bound (drawing operations bind through RequireSurface first).
    TSurface* Surface() { return surface_; }
    TPoint Origin() const { return origin_; }

    // The canvas owns its tools; the setters copy the given ones by Assign.
    TPen* Pen() { return pen_.get(); }
    TBrush* Brush() { return brush_.get(); }
    TFont* Font() { return font_.get(); }
    void SetPen(TPen* pen);
    void SetBrush(TBrush* brush);
    void SetFont(TFont* font);

    TPoint PenPos() const { return penPos_; }
    void SetPenPos(TPoint p) { penPos_ = p; }
    // The raster operation of Draw, StretchDraw and CopyRect.
    TCopyMode CopyMode() const { return copyMode_; }
    void SetCopyMode(TCopyMode mode) { copyMode_ = mode; }
    // How scaled copies sample their source (COLORONCOLOR by default).
    int StretchBltMode() const { return stretchMode_; }
    // Modes outside BLACKONWHITE..HALFTONE are ignored.
    void SetStretchBltMode(int mode);

    // The clip rectangle in canvas coordinates (empty without a surface).
    TRect ClipRect() const;
    HDC Handle() { return this; }

    // Pixel rules. A box (l, t, r, b) covers [l, r) x [t, b); Rectangle, RoundRect and the
    // ellipses take their corners in any order. The pen mode applies to every pixel the pen
    // draws and to the brush fills of shapes (not to FillRect, FrameRect, FloodFill, text
    // backgrounds or SetPixels, which write their colour). A pen wider than one pixel is
    // centred on the one-pixel outline (psInsideFrame: inside the box), has round ends on
    // lines, and is always solid; a one-pixel dashed pen paints its gaps in the brush colour
    // when the brush is solid and leaves them alone otherwise. System colours are resolved
    // when drawn.

    void MoveTo(int x, int y);
    // Draws from PenPos to (x, y), leaving out (x, y), and moves PenPos there. Each line
    // starts its dash pattern afresh.
    void LineTo(int x, int y);
    // Outlines [l, r) x [t, b) with the pen and fills the inside with the brush; with a
    // clear pen the brush fills the whole box.
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r);
    // The brush over exactly [l, r) x [t, b) (nothing for an inverted rectangle).
    void FillRect(const TRect& r);
    // A one-pixel frame round [l, r) x [t, b) in the brush.
    void FrameRect(const TRect& r);
    // A rectangle whose corners are quarters of an x3 x y3 ellipse.
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    // The ellipse inscribed in the box: it touches columns l and r - 1 and rows t and b - 1.
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r);
    // Arc, Pie and Chord run counter-clockwise as seen on the screen from the direction of
    // (x3, y3) to that of (x4, y4), seen from the box's centre; equal directions make the
    // whole ellipse. Arc draws the curve only; Pie fills the sector and outlines the curve
    // and both radii; Chord fills the part cut off by the line between the curve's ends.
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    // Fills by the alternate rule (pixels whose centres lie inside) and outlines the closed
    // figure through all points.
    void Polygon(const std::vector<TPoint>& points);
    // Lines through the points, the last point left out; PenPos does not change.
    void Polyline(const std::vector<TPoint>& points);
    // Fills with the brush from (x, y): fsBorder up to pixels of color, fsSurface the
    // four-connected area of color. Nothing when the start lies outside the clip.
    void FloodFill(int x, int y, TColor color, TFillStyle style);

    // Text in the font colour with its top-left cell corner at (x, y); unless the brush is
    // clear the cell (for a turned font the turned cell) is first painted with the brush.
    // PenPos moves to (x + text width, y).
    void TextOut(int x, int y, const std::string& text);
    // Fills r with the brush (unless clear) and draws the text at (x, y) clipped to r.
    void TextRect(const TRect& r, int x, int y, const std::string& text);
    int TextWidth(const std::string& text);
    int TextHeight(const std::string& text);
    TSize TextExtent(const std::string& text);

    // The bitmap at (x, y) with the copy mode; a Transparent() bitmap leaves out the pixels
    // of its TransparentColor().
    void Draw(int x, int y, TBitmap* bitmap);
    // The bitmap scaled to dest with the stretch mode (a transparent bitmap is always
    // sampled nearest, so that its transparent colour stays exact).
    void StretchDraw(const TRect& dest, TBitmap* bitmap);
    // Copies sourceRect of source onto dest with the copy mode, scaling when the sizes
    // differ. Destination pixels whose source lies outside the source's clip stay as they
    // are. A brush pattern in the copy mode is the brush colour (white between the lines of
    // a hatch).
    void CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect);

    // A pixel's colour; clBlack outside the clip or without a surface.
    TColor Pixels(int x, int y);
    void SetPixels(int x, int y, TColor color);

    // The call record: while on, every drawing call (and MoveTo) appends a TCanvasCall.
    void StartRecording() { recording_ = true; }
    void StopRecording() { recording_ = false; }
    bool Recording() const { return recording_; }
    const std::vector<TCanvasCall>& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }

    // Copies pen, brush, font, copy mode and stretch mode of another canvas.
    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;    // after a drawing operation
    TNotifyEvent OnChanging;  // before a drawing operation

  protected:
    // Called before every drawing or reading operation: a canvas that borrows another
    // object's surface (a control's canvas) binds itself here.
    virtual void RequireSurface() {}

  private:
    friend bool BitBlt(HDC, int, int, int, int, HDC, int, int, uint32_t);
    friend bool StretchBlt(HDC, int, int, int, int, HDC, int, int, int, int, uint32_t);
    friend int DrawText(HDC, const std::string&, TRect&, uint32_t);
    friend class TCanvasPainter;
    friend class TCanvasBlitter;

    // Records a call when recording is on.
    void Record(const char* op, std::initializer_list<int> args, const std::string& text = {});
    void RecordPoints(const char* op, const std::vector<TPoint>& points);
    void Changing();
    void Changed();
    // The clip that applies now: the asked one within the surface's current bounds.
    TRect EffectiveClip() const;

    TSurface* surface_ = nullptr;  // target, not owned
    TPoint origin_;                // surface point of canvas (0, 0)
    TRect clip_;                   // as asked, surface coordinates; empty: whole surface
    std::unique_ptr<TPen> pen_;
    std::unique_ptr<TBrush> brush_;
    std::unique_ptr<TFont> font_;
    TPoint penPos_;  // canvas coordinates
    TCopyMode copyMode_ = cmSrcCopy;
    int stretchMode_ = COLORONCOLOR;
    bool recording_ = false;
    std::vector<TCanvasCall> calls_;
};

// GDI-style block copies between canvases (coordinates in each canvas's own system).
// Negative sizes mirror; StretchBlt scales with the destination's stretch mode.
bool BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, uint32_t rop);
bool StretchBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                uint32_t rop);
// Returns the previous mode, 0 for a null canvas or an unknown mode.
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);

constexpr uint32_t DT_TOP = 0x0000;
constexpr uint32_t DT_LEFT = 0x0000;
constexpr uint32_t DT_CENTER = 0x0001;
constexpr uint32_t DT_RIGHT = 0x0002;
constexpr uint32_t DT_VCENTER = 0x0004;
constexpr uint32_t DT_BOTTOM = 0x0008;
constexpr uint32_t DT_WORDBREAK = 0x0010;
constexpr uint32_t DT_SINGLELINE = 0x0020;
constexpr uint32_t DT_NOCLIP = 0x0100;
constexpr uint32_t DT_CALCRECT = 0x0400;
constexpr uint32_t DT_NOPREFIX = 0x0800;
constexpr uint32_t DT_END_ELLIPSIS = 0x8000;

// Draws text into r with the canvas's font; each line's text cell is painted with the
// brush first unless the brush is clear, as TextOut does. Lines break at line feeds unless
// DT_SINGLELINE, and at word ends with DT_WORDBREAK. DT_CALCRECT draws nothing and sets r's
// right and bottom edges to the extent of the text. Ampersands are plain characters (as
// with DT_NOPREFIX) and tabs are not expanded. Returns the height of the text.
int DrawText(HDC dc, const std::string& text, TRect& r, uint32_t flags);

}  // namespace kovo
