#include "host/StyleServices.h"

namespace kovo {

TCustomStyleServices* StyleServices() {
    static TCustomStyleServices services;
    return &services;
}

TColor TCustomStyleServices::GetStyleColor(TStyleColor Color) const {
    switch (Color) {
        case scBorder:
            return RGB(0x5A, 0x5A, 0x5A);
        case scButtonDisabled:
            return RGB(0x3C, 0x3C, 0x3C);
        case scButtonFocused:
        case scButtonHot:
            return RGB(0x50, 0x50, 0x58);
        case scButtonPressed:
            return RGB(0x2A, 0x2A, 0x30);
        case scEditDisabled:
        case scComboBoxDisabled:
        case scListBoxDisabled:
        case scPanelDisabled:
            return RGB(0x38, 0x38, 0x38);
        case scEdit:
        case scComboBox:
        case scListBox:
        case scListView:
        case scTreeView:
        case scGrid:
            return RGB(0x26, 0x26, 0x2A);
        default:
            return RGB(0x30, 0x30, 0x34);
    }
}

TColor TCustomStyleServices::GetStyleFontColor(TStyleFont Font) const {
    switch (Font) {
        case sfButtonTextDisabled:
        case sfEditBoxTextDisabled:
        case sfPanelTextDisabled:
        case sfWindowTextDisabled:
            return RGB(0x80, 0x80, 0x80);
        case sfEditBoxTextSelected:
        case sfListItemTextSelected:
            return clWhite;
        default:
            return RGB(0xE6, 0xE6, 0xE6);
    }
}

TColor TCustomStyleServices::GetSystemColor(TColor Color) const {
    if (!IsSystemColor(Color)) return Color;
    switch (Color) {
        case cl3DLight:
            return RGB(0x5C, 0x5C, 0x60);
        case clBtnHighlight:
            return RGB(0x70, 0x70, 0x74);
        case clBtnShadow:
            return RGB(0x1E, 0x1E, 0x20);
        case cl3DDkShadow:
            return RGB(0x10, 0x10, 0x10);
        case clBtnFace:
        case clWindow:
            return RGB(0x30, 0x30, 0x34);
        case clWindowText:
        case clBtnText:
            return RGB(0xE6, 0xE6, 0xE6);
        case clHighlight:
            return RGB(0x3A, 0x6E, 0xA5);
        case clHighlightText:
            return clWhite;
        default:
            return ColorToRGB(Color);
    }
}

}  // namespace kovo
