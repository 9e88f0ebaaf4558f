#include "host/Font.h"

#include <algorithm>
#include <cstdlib>

namespace kovo {

namespace {

constexpr int kScreenPpi = 96;
constexpr int kPointsPerInch = 72;
constexpr int kDefaultSize = 8;

// a * b / c rounded to the nearest integer, halves away from zero (the classic MulDiv).
int MulDivRound(int a, int b, int c) {
    long long n = (long long)a * b;
    bool negative = (n < 0) != (c < 0);
    long long an = std::llabs(n), ac = std::llabs((long long)c);
    long long q = (an * 2 + ac) / (ac * 2);
    return int(negative ? -q : q);
}

}  // namespace

TFont::TFont()
    : name_("Tahoma"),
      height_(-MulDivRound(kDefaultSize, kScreenPpi, kPointsPerInch)),
      color_(clWindowText) {}

void TFont::SetName(const std::string& name) {
    if (name == name_) return;
    name_ = name;
    Changed();
}

int TFont::Size() const {
    return -MulDivRound(height_, kPointsPerInch, kScreenPpi);
}

void TFont::SetSize(int points) {
    SetHeight(-MulDivRound(points, kScreenPpi, kPointsPerInch));
}

void TFont::SetHeight(int pixels) {
    if (pixels == height_) return;
    height_ = pixels;
    Changed();
}

void TFont::SetStyle(TFontStyles style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TFont::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TFont::SetOrientation(int tenthsOfDegree) {
    if (tenthsOfDegree == orientation_) return;
    orientation_ = tenthsOfDegree;
    Changed();
}

void TFont::SetQuality(TFontQuality quality) {
    if (quality == quality_) return;
    quality_ = quality;
    Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
    if (pitch == pitch_) return;
    pitch_ = pitch;
    Changed();
}

TLogFont TFont::Handle() const {
    TLogFont lf;
    lf.lfHeight = height_;
    lf.lfEscapement = orientation_;
    lf.lfOrientation = orientation_;
    lf.lfWeight = style_.contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style_.contains(fsItalic);
    lf.lfUnderline = style_.contains(fsUnderline);
    lf.lfStrikeOut = style_.contains(fsStrikeOut);
    lf.lfQuality = quality_;
    lf.lfPitchAndFamily = pitch_;
    lf.lfFaceName = name_;
    return lf;
}

void TFont::SetHandle(const TLogFont& lf) {
    TLogFont n = CreateFontIndirect(lf);
    TFontStyles style;
    if (n.lfWeight >= kBoldWeightThreshold) style.Include(fsBold);
    if (n.lfItalic) style.Include(fsItalic);
    if (n.lfUnderline) style.Include(fsUnderline);
    if (n.lfStrikeOut) style.Include(fsStrikeOut);
    bool changed = n.lfFaceName != name_ || n.lfHeight != height_ || style != style_ ||
                   n.lfEscapement != orientation_ || n.lfQuality != quality_ ||
                   n.lfPitchAndFamily != pitch_;
    if (!changed) return;
    name_ = n.lfFaceName;
    height_ = n.lfHeight;
    style_ = style;
    orientation_ = n.lfEscapement;
    quality_ = n.lfQuality;
    pitch_ = n.lfPitchAndFamily;
    Changed();
}

void TFont::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TFont*>(Source);
    if (src == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (*src == *this) return;
    name_ = src->name_;
    height_ = src->height_;
    style_ = src->style_;
    color_ = src->color_;
    orientation_ = src->orientation_;
    quality_ = src->quality_;
    pitch_ = src->pitch_;
    Changed();
}

void TFont::Changed() {
    if (OnChange) OnChange(this);
}

bool operator==(const TFont& a, const TFont& b) {
    return a.Name() == b.Name() && a.Height() == b.Height() && a.Style() == b.Style() &&
           a.Color() == b.Color() && a.Orientation() == b.Orientation() &&
           a.Quality() == b.Quality() && a.Pitch() == b.Pitch();
}

int GetObject(const TFont& font, TLogFont& lf) {
    lf = font.Handle();
    return int(sizeof(TLogFont));
}

TLogFont CreateFontIndirect(const TLogFont& lf) {
    TLogFont n = lf;
    n.lfWeight = std::clamp(n.lfWeight, 0, 1000);
    if (n.lfFaceName.size() > kMaxFaceNameLength) n.lfFaceName.resize(kMaxFaceNameLength);
    if (n.lfQuality > fqClearTypeNatural) n.lfQuality = fqDefault;
    if (n.lfPitchAndFamily > fpFixed) n.lfPitchAndFamily = fpDefault;
    return n;
}

}  // namespace kovo
