// TCustomLabel and TLabel: a text on its parent, without a window of its own. It sizes itself
// to its caption (AutoSize), places the text by Alignment and Layout, wraps it (WordWrap),
// paints a background unless Transparent, and draws the disabled text embossed. A derived
// label can replace the text drawing (DoDrawText) and add to Paint.
#pragma once

#include <string>

#include "host/WinControl.h"

namespace kovo {

class TCustomLabel : public TGraphicControl {
  public:
    explicit TCustomLabel(TComponent* AOwner);
    ~TCustomLabel() override;

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // "&&" shows one ampersand and a single "&" marks the accelerator (drawn without it).
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    // A click on the label gives this control the focus.
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);

    // Resizes to the caption when AutoSize is on (keeping the right edge of a right-aligned
    // label and the centre of a centred one in place).
    virtual void AdjustBounds();
    void Loaded() override;

  protected:
    // The text drawn (the caption by default).
    virtual std::string GetLabelText() const;
    // Draws the label's text into Rect with DrawText Flags; with DT_CALCRECT nothing is drawn
    // and Rect takes the text's extent instead.
    virtual void DoDrawText(TRect& Rect, uint32_t Flags);
    // Background (unless Transparent), then the text through DoDrawText.
    void Paint() override;
    void Click() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CMTextChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;

    // The DrawText flags of the label's alignment and wrapping.
    uint32_t DrawTextFlags() const;

  private:
    bool FAutoSize = true;  // size follows the caption
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;           // vertical placement
    bool FWordWrap = false;                // break lines at word ends to fit the width
    bool FTransparent = false;             // the parent shows through the background
    bool FShowAccelChar = true;            // "&" marks the accelerator
    TWinControl* FFocusControl = nullptr;  // focused by a click on the label
};

class TLabel : public TCustomLabel {
  public:
    explicit TLabel(TComponent* AOwner);
};

// The text without its accelerator marks: "&&" becomes "&", a single "&" goes.
std::string StripAccelChars(const std::string& S);

}  // namespace kovo
