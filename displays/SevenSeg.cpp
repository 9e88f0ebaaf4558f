#include "displays/sevenseg.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>

#include "foundation/kovocore.h"
#include "host/Bitmap.h"
#include "host/Canvas.h"
#include "host/SysUtils.h"
#include "resources/SevenSegShapes.h"

namespace kovo {

namespace {

constexpr int TemplateWidth = 312;
constexpr int TemplateHeight = 432;

const std::u32string& CharList() {
    static const std::u32string list = Utf8Decode(SevenSegCharList);
    return list;
}

// Segment bits: 1 top, 2 upper left, 4 upper right, 8 middle, 16 lower left, 32 lower
// right, 64 bottom.
int SegmentsOf(char32_t Ch) {
    switch (Ch) {
        case U'0':
            return 1 | 2 | 4 | 16 | 32 | 64;
        case U'1':
            return 4 | 32;
        case U'2':
            return 1 | 4 | 8 | 16 | 64;
        case U'3':
            return 1 | 4 | 8 | 32 | 64;
        case U'4':
            return 2 | 4 | 8 | 32;
        case U'5':
            return 1 | 2 | 8 | 32 | 64;
        case U'6':
            return 1 | 2 | 8 | 16 | 32 | 64;
        case U'7':
            return 1 | 4 | 32;
        case U'8':
            return 127;
        case U'9':
            return 1 | 2 | 4 | 8 | 32 | 64;
        case U'-':
            return 8;
        case U'A':
            return 1 | 2 | 4 | 8 | 16 | 32;
        case U'B':
            return 2 | 8 | 16 | 32 | 64;
        case U'C':
            return 1 | 2 | 16 | 64;
        case U'D':
            return 4 | 8 | 16 | 32 | 64;
        case U'E':
            return 1 | 2 | 8 | 16 | 64;
        case U'F':
            return 1 | 2 | 8 | 16;
        default:
            return 0;
    }
}

struct TSegmentPlace {
    int X, Y;
};
// Top-left corners in the template of segments 1..7.
constexpr TSegmentPlace SegmentPlaces[7] = {{94, 0},  {37, 23},   {244, 23}, {57, 197},
                                            {0, 220}, {207, 220}, {20, 394}};
constexpr TSegmentPlace DotPlace{269, 394};
constexpr TSegmentPlace PlusPlace{57, 120};
constexpr TSegmentPlace ColonPlace{122, 121};
constexpr TSegmentPlace DegreePlace{150, 0};

bool IsSeparator(char32_t Ch) {
    return Ch == U'.' || Ch == U',';
}

char32_t UpperAscii(char32_t Ch) {
    return Ch >= U'a' && Ch <= U'z' ? Ch - 32 : Ch;
}

// Whole picture copied with the canvas's copy mode to (X, Y).
void CopyWhole(TCanvas* Dest, TSegmentPlace At, TBitmap* Image) {
    Dest->CopyRect(TRect{At.X, At.Y, At.X + Image->Width(), At.Y + Image->Height()},
                   Image->Canvas(), TRect{0, 0, Image->Width(), Image->Height()});
}

}  // namespace

TSevenSeg::TSevenSeg(TComponent* AOwner)
    : TGraphicControl(AOwner),
      DigImg(std::make_unique<TBitmap>(TemplateWidth, TemplateHeight)),
      SegHorz(std::make_unique<TBitmap>()),
      SegVert(std::make_unique<TBitmap>()),
      SegDot(std::make_unique<TBitmap>()),
      SegPlus(std::make_unique<TBitmap>()),
      SegColon(std::make_unique<TBitmap>()),
      SegDeg(std::make_unique<TBitmap>()),
      ImgCache(std::make_unique<TBitmap>()) {
    DigImg->SetPixelFormat(pf32bit);
    ImgCache->SetPixelFormat(pf32bit);
    LoadShapes();
    SetWidth(216);
    SetHeight(76);
    FWidth = Width();
    FHeight = Height();
    CreateImageCache();
    OnResize = [this](TObject* Sender) { ProcessResize(Sender); };
}

TSevenSeg::~TSevenSeg() = default;

void TSevenSeg::LoadShapes() {
    RegisterSevenSegShapes();
    const std::pair<TBitmap*, const char*> shapes[] = {
        {SegHorz.get(), "SEGHORZ"}, {SegVert.get(), "SEGVERT"},   {SegDot.get(), "SEGDOT"},
        {SegPlus.get(), "SEGPLUS"}, {SegColon.get(), "SEGCOLON"}, {SegDeg.get(), "SEGDEG"}};
    for (const auto& [bitmap, name] : shapes) {
        bitmap->LoadFromResourceName(name);
        // 32 bits, so the colour a shape takes is kept exactly, whatever depth it came in.
        bitmap->SetPixelFormat(pf32bit);
    }
}

// ---- properties ----

void TSevenSeg::SetText(const std::string& Value) {
    if (Store(FCaption, Value)) Invalidate();
}

void TSevenSeg::RebuildAndRepaint() {
    CreateImageCache();
    Invalidate();
}

void TSevenSeg::SetColorBackGnd(TColor Value) {
    if (Store(FColorBakG, Value)) RebuildAndRepaint();
}

void TSevenSeg::SetColorText(TColor Value) {
    if (Store(FColorTxt, Value)) RebuildAndRepaint();
}

void TSevenSeg::SetColorScheme(TColorScheme Value) {
    if (FLines.SetColorScheme(Value)) Invalidate();
}

void TSevenSeg::SetFrameStyle(TFrameStyle Value) {
    if (Store(FFrameStyle, Value)) Invalidate();
}

void TSevenSeg::SetInterDigDist(int Value) {
    if (Store(FInterDigDist, std::clamp(Value, 0, 255))) RebuildAndRepaint();
}

void TSevenSeg::SetMargin(int Value) {
    if (Value == FMargin) return;
    if (Store(FMargin, std::clamp(Value, 0, std::max(0, Height() / 2 - 1)))) RebuildAndRepaint();
}

void TSevenSeg::SetNumDigits(int Value) {
    if (Value < 1 || Value > 32) return;
    if (Store(FNumDigits, Value)) RebuildAndRepaint();
}

void TSevenSeg::ProcessResize(TObject*) {
    if (Width() == FWidth && Height() == FHeight) return;
    FWidth = Width();
    FHeight = Height();
    RebuildAndRepaint();
}

void TSevenSeg::Loaded() {
    TGraphicControl::Loaded();
    Resize();
}

// ---- copy convention ----

void TSevenSeg::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TSevenSeg*>(Source);
    if (src == nullptr) {
        TGraphicControl::Assign(Source);
        return;
    }
    if (src == this) return;
    FColorBakG = src->FColorBakG;
    FColorTxt = src->FColorTxt;
    FNumDigits = src->FNumDigits;
    FCaption = src->FCaption;
    FFrameStyle = src->FFrameStyle;
    FLines = src->FLines;
    FMargin = src->FMargin;
    FInterDigDist = src->FInterDigDist;
    DigImg->Assign(src->DigImg.get());
    SegHorz->Assign(src->SegHorz.get());
    SegVert->Assign(src->SegVert.get());
    SegDot->Assign(src->SegDot.get());
    SegPlus->Assign(src->SegPlus.get());
    SegColon->Assign(src->SegColon.get());
    SegDeg->Assign(src->SegDeg.get());
    // The cache is made again rather than copied: the source may have another size.
    RebuildAndRepaint();
}

void TSevenSeg::AssignTo(TPersistent* Dest) {
    if (!AssignToSameClass(this, Dest)) TGraphicControl::AssignTo(Dest);
}

// ---- the image cache ----

void TSevenSeg::ColorizeSegments(TColor C) {
    TColor rgb = ColorToRGB(C);
    if (rgb == clWhite) rgb = 0xFEFEFE;
    struct TSeeded {
        TBitmap* Image;
        std::vector<TPoint> Seeds;
    };
    auto centre = [](TBitmap* b) { return TPoint{b->Width() / 2, b->Height() / 2}; };
    const int cw = SegColon->Width(), ch = SegColon->Height();
    const TSeeded shapes[] = {
        {SegHorz.get(), {centre(SegHorz.get())}},
        {SegVert.get(), {centre(SegVert.get())}},
        {SegDot.get(), {centre(SegDot.get())}},
        {SegPlus.get(), {centre(SegPlus.get())}},
        {SegColon.get(), {{18, ch - 18}, {cw - 18, 18}}},
        {SegDeg.get(), {{25, SegDeg->Height() / 2}}},
    };
    for (const TSeeded& s : shapes) {
        TCanvas* c = s.Image->Canvas();
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(rgb);
        for (TPoint p : s.Seeds) c->FloodFill(p.X, p.Y, c->Pixels(p.X, p.Y), fsSurface);
    }
}

void TSevenSeg::CreateDigit(char32_t Ch, bool Dot) {
    TCanvas* t = DigImg->Canvas();
    t->SetCopyMode(cmSrcCopy);
    t->Brush()->SetStyle(bsSolid);
    t->Brush()->SetColor(clWhite);
    t->FillRect(TRect{0, 0, TemplateWidth, TemplateHeight});
    // AND keeps the darker pixel: the coloured shapes over the white template and each other.
    t->SetCopyMode(cmSrcAnd);
    if (IsSeparator(Ch)) {
        Dot = true;
    } else if (Ch == U'+') {
        CopyWhole(t, PlusPlace, SegPlus.get());
    } else if (Ch == U':') {
        CopyWhole(t, ColonPlace, SegColon.get());
    } else if (Ch == U'\u00B0') {
        CopyWhole(t, DegreePlace, SegDeg.get());
    } else {
        const int segments = SegmentsOf(UpperAscii(Ch));
        for (int i = 0; i < 7; ++i) {
            if ((segments & (1 << i)) == 0) continue;
            const bool horizontal = i == 0 || i == 3 || i == 6;
            CopyWhole(t, SegmentPlaces[i], horizontal ? SegHorz.get() : SegVert.get());
        }
    }
    if (Dot) CopyWhole(t, DotPlace, SegDot.get());
    t->SetCopyMode(cmSrcCopy);
    // The white around the shapes becomes the background; white enclosed by a shape (the
    // ring's hole) is not reached and stays white.
    t->Brush()->SetColor(FColorBakG);
    t->FloodFill(1, 1, t->Pixels(1, 1), fsSurface);
}

void TSevenSeg::CreateImageCache() {
    const int cw = (Width() - 2 * FMargin) / FNumDigits - FInterDigDist;
    const int h = Height() - 2 * FMargin;
    if (cw <= 0 || h <= 0 || int64_t(cw) * SevenSegCharCount > INT_MAX) {
        ImgCache->SetSize(0, 0);
        return;
    }
    ImgCache->SetSize(SevenSegCharCount * cw, h);
    TCanvas* cc = ImgCache->Canvas();
    cc->Brush()->SetStyle(bsSolid);
    cc->Brush()->SetColor(FColorBakG);
    cc->FillRect(TRect{0, 0, ImgCache->Width(), h});
    ColorizeSegments(FColorTxt);
    cc->SetCopyMode(cmSrcCopy);
    SetStretchBltMode(cc, HALFTONE);  // averaging keeps thin strokes visible when shrunk
    const std::u32string& list = CharList();
    for (int i = 0; i < SevenSegCharCount; ++i) {
        CreateDigit(list[size_t(i)], false);
        cc->CopyRect(TRect{i * cw, 0, (i + 1) * cw, h}, DigImg->Canvas(),
                     TRect{0, 0, TemplateWidth, TemplateHeight});
    }
}

// ---- painting ----

void TSevenSeg::Paint() {
    if (!Visible() && !ComponentState().contains(csDesigning)) return;
    const int W = Width(), H = Height();
    if (W <= 0 || H <= 0) return;
    TBitmap picture(W, H);
    TCanvas* pc = picture.Canvas();
    pc->Brush()->SetStyle(bsSolid);
    pc->Brush()->SetColor(FColorBakG);
    pc->FillRect(TRect{0, 0, W, H});
    pc->SetCopyMode(cmSrcCopy);

    const int cw = (W - 2 * FMargin) / FNumDigits - FInterDigDist;
    const int h = ImgCache->Height();
    if (cw > 0 && !ImgCache->Empty()) {
        TCanvas* cache = ImgCache->Canvas();
        const std::u32string text = Utf8Decode(FCaption);
        const std::u32string& list = CharList();
        const int pointX = (5 * cw) / 6, pointY = (5 * h) / 6;
        size_t pos = 0;
        for (int cell = 0; cell < FNumDigits && pos < text.size(); ++cell) {
            const int x = cell * (cw + FInterDigDist) + FMargin;
            const char32_t ch = text[pos++];
            bool dot = false;
            if (IsSeparator(ch)) {
                dot = true;
            } else {
                if (pos < text.size() && IsSeparator(text[pos])) {
                    dot = true;
                    ++pos;
                }
                const size_t k = list.find(UpperAscii(ch));
                if (k != std::u32string::npos) {
                    const int sx = int(k) * cw;
                    pc->CopyRect(TRect{x, FMargin, x + cw, H - FMargin}, cache,
                                 TRect{sx, 0, sx + cw, h});
                }
            }
            if (dot) {
                const int sx = (SevenSegCharCount - 1) * cw;
                pc->CopyRect(TRect{x + pointX, FMargin + pointY, x + cw, FMargin + h}, cache,
                             TRect{sx + pointX, pointY, sx + cw, h});
            }
        }
    }
    DrawFrame(pc, FFrameStyle, 0, 0, W - 1, H - 1, clWhite, clSilver, clGray, clBlack, clBlack);
    TCanvas* cv = Canvas();
    cv->SetCopyMode(cmSrcCopy);
    cv->Draw(0, 0, &picture);
}

}  // namespace kovo
