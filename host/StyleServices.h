// The visual-style service. Off unless a program switches it on; when on, components that
// honour StyleElements take their background, text and bevel colours from it.
#pragma once

#include "host/Colors.h"

namespace kovo {

enum TStyleColor : uint8_t {
    scBorder,
    scButtonDisabled,
    scButtonFocused,
    scButtonHot,
    scButtonNormal,
    scButtonPressed,
    scComboBox,
    scComboBoxDisabled,
    scEdit,
    scEditDisabled,
    scGrid,
    scGenericBackground,
    scListBox,
    scListBoxDisabled,
    scListView,
    scPanel,
    scPanelDisabled,
    scTreeView,
    scWindow
};

enum TStyleFont : uint8_t {
    sfButtonTextDisabled,
    sfButtonTextNormal,
    sfButtonTextPressed,
    sfEditBoxTextDisabled,
    sfEditBoxTextNormal,
    sfEditBoxTextSelected,
    sfGridItemFixedNormal,
    sfGridItemNormal,
    sfListItemTextNormal,
    sfListItemTextSelected,
    sfPanelTextDisabled,
    sfPanelTextNormal,
    sfTreeItemTextNormal,
    sfWindowTextDisabled,
    sfWindowTextNormal
};

// The one style the host carries is a dark one, so a program can see the switch at work.
class TCustomStyleServices {
  public:
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    TColor GetStyleColor(TStyleColor Color) const;
    TColor GetStyleFontColor(TStyleFont Font) const;
    // The style's version of a system colour; explicit colours come back unchanged.
    TColor GetSystemColor(TColor Color) const;

  private:
    bool FEnabled = false;
};

TCustomStyleServices* StyleServices();

}  // namespace kovo
