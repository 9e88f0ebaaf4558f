// TFont: what text looks like (face name, size, style, colour, turning angle, smoothing),
// and TLogFont, the font description record a font can be read into and made from.
#pragma once

#include <cstddef>
#include <string>

#include "host/Colors.h"
#include "host/Object.h"
#include "host/Types.h"

namespace kovo {

enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

enum TFontQuality : uint8_t {
    fqDefault,
    fqDraft,
    fqProof,
    fqNonAntialiased,
    fqAntialiased,
    fqClearType,
    fqClearTypeNatural
};

enum TFontPitch : uint8_t { fpDefault, fpVariable, fpFixed };

// Weights of TLogFont::lfWeight.
constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
// A weight from this one up is drawn bold.
constexpr int kBoldWeightThreshold = 600;
// Longer face names are cut to this many bytes, as the record's fixed name field would.
constexpr size_t kMaxFaceNameLength = 31;

// The font description record. lfHeight < 0 is the character height in pixels,
// lfHeight > 0 the cell height; lfEscapement is the text angle in tenths of a degree,
// counter-clockwise.
struct TLogFont {
    int lfHeight = 0;
    int lfWidth = 0;
    int lfEscapement = 0;
    int lfOrientation = 0;
    int lfWeight = FW_NORMAL;
    bool lfItalic = false;
    bool lfUnderline = false;
    bool lfStrikeOut = false;
    uint8_t lfCharSet = 1;
    TFontQuality lfQuality = fqDefault;
    TFontPitch lfPitchAndFamily = fpDefault;
    std::string lfFaceName;
    bool operator==(const TLogFont&) const = default;
};

class TFont : public TPersistent {
  public:
    TFont();

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);
    // Size in points at 96 dots per inch; Height is the matching negative pixel height.
    int Size() const;
    void SetSize(int points);
    int Height() const { return height_; }
    void SetHeight(int pixels);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    int Orientation() const { return orientation_; }
    void SetOrientation(int tenthsOfDegree);
    TFontQuality Quality() const { return quality_; }
    void SetQuality(TFontQuality quality);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch);
    int PixelsPerInch() const { return 96; }

    // The font as a description record, and a font made from one (name, height, weight,
    // italic, underline, strike-out, escapement, quality, pitch); the colour stays.
    TLogFont Handle() const;
    void SetHandle(const TLogFont& lf);

    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;

  protected:
    virtual void Changed();

  private:
    std::string name_;
    int height_;
    TFontStyles style_;
    TColor color_;
    int orientation_ = 0;
    TFontQuality quality_ = fqDefault;
    TFontPitch pitch_ = fpDefault;
};

bool operator==(const TFont& a, const TFont& b);

// Reads the font's description record into lf; returns the size of the record.
int GetObject(const TFont& font, TLogFont& lf);
// A font handle made from a description record: the record itself, with the weight clamped
// to 0..1000, the face name cut to kMaxFaceNameLength and unknown quality or pitch values made
// default. Installed with TFont::SetHandle, as in font.SetHandle(CreateFontIndirect(lf)).
TLogFont CreateFontIndirect(const TLogFont& lf);

}  // namespace kovo
