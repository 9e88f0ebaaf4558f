// The canvas's state, its call record, pixel access and text. Shapes are in
// CanvasShapes.cpp, block copies in CanvasBlit.cpp, the raster primitives in
// CanvasPainter.cpp.
#include "host/Canvas.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "host/CanvasPainter.h"
#include "host/TextRender.h"

namespace kovo {

namespace {

constexpr double kPi = 3.14159265358979323846;

// A surface coordinate for the text renderer, which takes int: anything beyond this range
// is far outside every surface anyway.
int ToRenderCoord(i64 v) {
    return int(std::clamp<i64>(v, INT_MIN / 4, INT_MAX / 4));
}

}  // namespace

TCanvas::TCanvas()
    : pen_(std::make_unique<TPen>()),
      brush_(std::make_unique<TBrush>()),
      font_(std::make_unique<TFont>()) {}

TCanvas::~TCanvas() = default;

void TCanvas::SetSurface(TSurface* surface, TPoint origin, TRect clip) {
    surface_ = surface;
    origin_ = origin;
    clip_ = clip;
}

TRect TCanvas::EffectiveClip() const {
    if (surface_ == nullptr) return TRect{};
    if (clip_.IsEmpty()) return surface_->Bounds();
    return IntersectRect(clip_, surface_->Bounds());
}

TRect TCanvas::ClipRect() const {
    // Binding to the surface does not change what the canvas is, only where it draws.
    const_cast<TCanvas*>(this)->RequireSurface();
    const TRect clip = EffectiveClip();
    if (clip.IsEmpty()) return TRect{};
    return OffsetRect(clip, -origin_.X, -origin_.Y);
}

void TCanvas::SetPen(TPen* pen) {
    pen_->Assign(pen);
}

void TCanvas::SetBrush(TBrush* brush) {
    brush_->Assign(brush);
}

void TCanvas::SetFont(TFont* font) {
    font_->Assign(font);
}

void TCanvas::SetStretchBltMode(int mode) {
    if (mode >= BLACKONWHITE && mode <= HALFTONE) stretchMode_ = mode;
}

void TCanvas::Assign(TPersistent* Source) {
    if (auto* canvas = dynamic_cast<TCanvas*>(Source)) {
        if (canvas == this) return;
        pen_->Assign(canvas->pen_.get());
        brush_->Assign(canvas->brush_.get());
        font_->Assign(canvas->font_.get());
        copyMode_ = canvas->copyMode_;
        stretchMode_ = canvas->stretchMode_;
        return;
    }
    TPersistent::Assign(Source);
}

void TCanvas::Record(const char* op, std::initializer_list<int> args, const std::string& text) {
    if (!recording_) return;
    TCanvasCall call;
    call.Op = op;
    call.Args.assign(args.begin(), args.end());
    call.Text = text;
    call.PenColor = pen_->Color();
    call.BrushColor = brush_->Color();
    call.FontColor = font_->Color();
    call.BrushStyle = brush_->Style();
    call.PenStyle = pen_->Style();
    call.PenWidth = pen_->Width();
    call.PenMode = pen_->Mode();
    call.FontName = font_->Name();
    call.FontHeight = font_->Height();
    call.FontStyle = font_->Style();
    call.FontOrientation = font_->Orientation();
    call.CopyMode = copyMode_;
    calls_.push_back(std::move(call));
}

void TCanvas::RecordPoints(const char* op, const std::vector<TPoint>& points) {
    if (!recording_) return;
    Record(op, {});
    std::vector<int>& args = calls_.back().Args;
    args.reserve(points.size() * 2);
    for (const TPoint& p : points) {
        args.push_back(p.X);
        args.push_back(p.Y);
    }
}

void TCanvas::Changing() {
    if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

// ---- Pixels --------------------------------------------------------------------------

TColor TCanvas::Pixels(int x, int y) {
    TCanvasPainter p(*this);
    if (!p.Ready()) return clBlack;
    const i64 sx = p.ToSurfaceX(x), sy = p.ToSurfaceY(y);
    const TRect& clip = p.Clip();
    if (sx < clip.Left || sx >= clip.Right || sy < clip.Top || sy >= clip.Bottom) return clBlack;
    return PixelToColor(p.Surface().Row(int(sy))[sx]);
}

void TCanvas::SetPixels(int x, int y, TColor color) {
    Record("SetPixels", {x, y, int(color)});
    TCanvasPainter p(*this);
    if (!p.Ready()) return;
    Changing();
    p.Plot(p.ToSurfaceX(x), p.ToSurfaceY(y), ToPixel(color), pmCopy);
    Changed();
}

// ---- Text ----------------------------------------------------------------------------

int TCanvas::TextWidth(const std::string& text) {
    return MeasureText(*font_, text).cx;
}

int TCanvas::TextHeight(const std::string& text) {
    return MeasureText(*font_, text).cy;
}

TSize TCanvas::TextExtent(const std::string& text) {
    return MeasureText(*font_, text);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    Record("TextOut", {x, y}, text);
    TCanvasPainter p(*this);
    const TSize extent = MeasureText(*font_, text);
    penPos_ = {int(std::clamp<i64>(i64(x) + extent.cx, INT_MIN, INT_MAX)), y};
    if (!p.Ready()) return;
    Changing();
    const i64 sx = p.ToSurfaceX(x), sy = p.ToSurfaceY(y);
    if (p.BrushVisible() && extent.cx > 0 && extent.cy > 0) {
        const int turn = ((font_->Orientation() % 3600) + 3600) % 3600;
        if (turn == 0) {
            const TRect& clip = p.Clip();
            const i64 yFrom = std::max<i64>(sy, clip.Top);
            const i64 yTo = std::min<i64>(sy + extent.cy - 1, clip.Bottom - 1);
            for (i64 row = yFrom; row <= yTo; ++row)
                p.BrushSpan(row, sx, sx + extent.cx - 1, pmCopy);
        } else {
            // The turned cell, turned about its top-left corner as the text is.
            const double a = turn * kPi / 1800.0, c = std::cos(a), s = std::sin(a);
            std::vector<std::pair<i64, i64>> cell;
            for (int corner = 0; corner < 4; ++corner) {
                const double dx = (corner == 1 || corner == 2) ? extent.cx : 0;
                const double dy = (corner >= 2) ? extent.cy : 0;
                cell.emplace_back(i64(std::llround(double(sx) + dx * c + dy * s)),
                                  i64(std::llround(double(sy) - dx * s + dy * c)));
            }
            p.BrushPolygon(cell, pmCopy);
        }
    }
    RenderText(p.Surface(), p.Clip(), ToRenderCoord(sx), ToRenderCoord(sy), *font_, text,
               font_->Color());
    Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
    Record("TextRect", {r.Left, r.Top, r.Right, r.Bottom, x, y}, text);
    TCanvasPainter p(*this);
    if (!p.Ready()) return;
    const TRect& clip = p.Clip();
    const i64 l = std::max<i64>(p.ToSurfaceX(r.Left), clip.Left);
    const i64 t = std::max<i64>(p.ToSurfaceY(r.Top), clip.Top);
    const i64 rr = std::min<i64>(p.ToSurfaceX(r.Right), clip.Right);
    const i64 b = std::min<i64>(p.ToSurfaceY(r.Bottom), clip.Bottom);
    if (l >= rr || t >= b) return;
    Changing();
    if (p.BrushVisible())
        for (i64 row = t; row < b; ++row) p.BrushSpan(row, l, rr - 1, pmCopy);
    const TRect textClip{int(l), int(t), int(rr), int(b)};
    RenderText(p.Surface(), textClip, ToRenderCoord(p.ToSurfaceX(x)),
               ToRenderCoord(p.ToSurfaceY(y)), *font_, text, font_->Color());
    Changed();
}

int DrawText(HDC dc, const std::string& text, TRect& r, uint32_t flags) {
    if (dc == nullptr) return 0;
    TCanvas& canvas = *dc;
    canvas.Record("DrawText", {r.Left, r.Top, r.Right, r.Bottom, int(flags)}, text);
    const TFont& font = *canvas.font_;
    auto width = [&](const std::string& s) { return MeasureText(font, s).cx; };
    const int lineHeight = MeasureText(font, "").cy;

    // Lay out the lines.
    std::vector<std::string> paragraphs;
    if (flags & DT_SINGLELINE) {
        std::string line;
        for (char ch : text)
            if (ch != '\r' && ch != '\n') line += ch;
        paragraphs.push_back(line);
    } else {
        size_t start = 0;
        while (true) {
            size_t nl = text.find('\n', start);
            std::string line = text.substr(start, nl == std::string::npos ? nl : nl - start);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            paragraphs.push_back(line);
            if (nl == std::string::npos) break;
            start = nl + 1;
        }
    }
    std::vector<std::string> lines;
    const int boxWidth = r.Width();
    for (const std::string& para : paragraphs) {
        if (!(flags & DT_WORDBREAK) || (flags & DT_SINGLELINE) || width(para) <= boxWidth) {
            lines.push_back(para);
            continue;
        }
        // Greedy word wrap at blanks; a word wider than the box stays whole on its line.
        // Text widths are sums of advances, so a line's width grows word by word.
        const int blank = width(" ");
        std::string current;
        int currentWidth = 0;
        size_t i = 0;
        while (i < para.size()) {
            size_t wordEnd = para.find(' ', i);
            if (wordEnd == std::string::npos) wordEnd = para.size();
            const std::string word = para.substr(i, wordEnd - i);
            const int wordWidth = width(word);
            if (!current.empty() && currentWidth + blank + wordWidth > boxWidth) {
                lines.push_back(current);
                current = word;
                currentWidth = wordWidth;
            } else if (current.empty()) {
                current = word;
                currentWidth = wordWidth;
            } else {
                current += " " + word;
                currentWidth += blank + wordWidth;
            }
            i = wordEnd;
            while (i < para.size() && para[i] == ' ') ++i;
        }
        lines.push_back(current);
    }
    if (flags & DT_END_ELLIPSIS) {
        const int room = boxWidth - width("...");
        for (std::string& line : lines) {
            if (width(line) <= boxWidth) continue;
            // Keep the longest run of whole code points that leaves room for the dots.
            size_t keep = 0, at = 0;
            int used = 0;
            while (at < line.size()) {
                size_t next = at + 1;
                while (next < line.size() &&
                       (static_cast<unsigned char>(line[next]) & 0xC0) == 0x80)
                    ++next;
                used += width(line.substr(at, next - at));
                if (used > room) break;
                keep = at = next;
            }
            line.erase(keep);
            line += "...";
        }
    }
    const int height = int(lines.size()) * lineHeight;
    if (flags & DT_CALCRECT) {
        int widest = 0;
        for (const std::string& line : lines) widest = std::max(widest, width(line));
        if ((flags & DT_WORDBREAK) && !(flags & DT_SINGLELINE)) widest = std::max(widest, boxWidth);
        r.Right = r.Left + widest;
        r.Bottom = r.Top + height;
        return height;
    }

    TCanvasPainter p(canvas);
    if (!p.Ready()) return height;
    TRect clip = p.Clip();
    if (!(flags & DT_NOCLIP)) {
        const TRect box{ToRenderCoord(p.ToSurfaceX(r.Left)), ToRenderCoord(p.ToSurfaceY(r.Top)),
                        ToRenderCoord(p.ToSurfaceX(r.Right)),
                        ToRenderCoord(p.ToSurfaceY(r.Bottom))};
        clip = IntersectRect(clip, box);
        if (clip.IsEmpty()) return height;
    }
    canvas.Changing();
    i64 y = r.Top;
    if (flags & DT_SINGLELINE) {
        if (flags & DT_VCENTER)
            y = r.Top + (i64(r.Height()) - lineHeight) / 2;
        else if (flags & DT_BOTTOM)
            y = i64(r.Bottom) - lineHeight;
    }
    for (const std::string& line : lines) {
        const int w = width(line);
        i64 x = r.Left;
        if (flags & DT_CENTER)
            x = r.Left + (i64(boxWidth) - w) / 2;
        else if (flags & DT_RIGHT)
            x = i64(r.Right) - w;
        const i64 sx = p.ToSurfaceX(x), sy = p.ToSurfaceY(y);
        if (p.BrushVisible() && w > 0) {
            const i64 yFrom = std::max<i64>(sy, clip.Top);
            const i64 yTo = std::min<i64>(sy + lineHeight - 1, clip.Bottom - 1);
            const i64 x0 = std::max<i64>(sx, clip.Left);
            const i64 x1 = std::min<i64>(sx + w - 1, clip.Right - 1);
            for (i64 row = yFrom; row <= yTo; ++row) p.BrushSpan(row, x0, x1, pmCopy);
        }
        RenderText(p.Surface(), clip, ToRenderCoord(sx), ToRenderCoord(sy), font, line,
                   font.Color());
        y += lineHeight;
    }
    canvas.Changed();
    return height;
}

}  // namespace kovo
