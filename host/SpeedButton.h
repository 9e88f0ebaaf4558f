// TSpeedButton: a button without a window of its own, for tool bars. It shows a caption and a
// glyph (a strip of up to four pictures: up, disabled, down, held down), works as a push
// button or, with a GroupIndex, as one of a group of buttons of which at most one stays down,
// and can be flat (a frame only while the mouse is over it).
#pragma once

#include <memory>
#include <string>

#include "host/WinControl.h"

namespace kovo {

class TBitmap;

enum TButtonLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// How a button is drawn: up, disabled, pressed (while the mouse holds it), held down.
enum TButtonState : uint8_t { bsUp, bsDisabled, bsDown, bsExclusive };

class TSpeedButton : public TGraphicControl {
  public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    // The picture strip; SetGlyph copies it. A strip whose width is a multiple (up to 4) of
    // its height sets NumGlyphs. The bottom-left pixel's colour is transparent.
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);  // 1..4, other values are ignored

    // Buttons of the same parent with the same GroupIndex (not 0) work as a group: pressing
    // one puts it down and the others up. AllowAllUp lets the down one be clicked up again
    // (shared by the whole group).
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);

    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    // Pixels between the edge and the glyph (-1: the content is centred).
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    // Pixels between glyph and caption (-1: the free room is shared out evenly).
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    // Flat buttons let the parent show through while up and not hot.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);

    TButtonState State() const { return FState; }
    // True while the mouse is over the button.
    bool MouseInControl() const { return FMouseInControl; }

    // Fires OnClick (a click with the mouse has then already put a grouped button down).
    void Click() override;

  protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    // Another button of the group went down (WParam: the group, LParam: the button).
    void CMButtonPressed(TMessage& Message) override;

    // Tells the other buttons of the group that this one is down.
    void UpdateExclusive();
    // Where glyph and caption go in Client for the current layout.
    void CalcLayout(const TRect& Client, TPoint& GlyphPos, TPoint& TextPos);

  private:
    void GlyphChanged();
    // The picture of the glyph strip for a state (an embossed one for disabled when the
    // strip has none), nullptr without a glyph.
    std::unique_ptr<TBitmap> GlyphImage(TButtonState State) const;

    std::unique_ptr<TBitmap> FGlyph;  // the picture strip
    int FNumGlyphs = 1;               // pictures in the strip
    int FGroupIndex = 0;              // 0: a push button; else the group
    bool FDown = false;               // held down (grouped buttons)
    bool FAllowAllUp = false;         // the group may have no button down
    bool FFlat = false;               // a frame only while hot
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    bool FTransparent = true;
    TButtonState FState = bsUp;  // the look being shown
    bool FDragging = false;      // the left button went down on the button
    bool FMouseInControl = false;
};

}  // namespace kovo
