#include "host/Colors.h"

#include <cstdio>
#include <strings.h>

#include "host/Exceptions.h"

namespace kovo {

namespace {

// The light system palette (0x00BBGGRR), indexed by the low byte of a system colour.
constexpr TColor kSystemPalette[31] = {
    0xC8C8C8,  // 0 scroll bar
    0x6B4A2E,  // 1 desktop background
    0xD1B499,  // 2 active caption
    0xDBCDBF,  // 3 inactive caption
    0xF0F0F0,  // 4 menu
    0xFFFFFF,  // 5 window
    0x646464,  // 6 window frame
    0x000000,  // 7 menu text
    0x000000,  // 8 window text
    0x000000,  // 9 caption text
    0xB4B4B4,  // 10 active border
    0xFCF7F4,  // 11 inactive border
    0xABABAB,  // 12 application workspace
    0xD77800,  // 13 highlight
    0xFFFFFF,  // 14 highlight text
    0xF0F0F0,  // 15 button face
    0xA0A0A0,  // 16 button shadow
    0x6D6D6D,  // 17 grey text
    0x000000,  // 18 button text
    0x000000,  // 19 inactive caption text
    0xFFFFFF,  // 20 button highlight
    0x696969,  // 21 3D dark shadow
    0xE3E3E3,  // 22 3D light
    0x000000,  // 23 tooltip text
    0xE1FFFF,  // 24 tooltip background
    0xB5B5B5,  // 25 (unused slot)
    0xCC6600,  // 26 hot-tracked item
    0xEAD1B9,  // 27 gradient of the active caption
    0xF2E4D7,  // 28 gradient of the inactive caption
    0xFF9933,  // 29 menu highlight
    0xF0F0F0,  // 30 menu bar
};

struct NamedColor {
    TColor color;
    const char* name;
};

constexpr NamedColor kNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"},
};

}  // namespace

TColor ColorToRGB(TColor color) {
    if (IsSystemColor(color)) {
        unsigned index = color & 0xFF;
        return index < 31 ? kSystemPalette[index] : TColor(0);
    }
    if (color == clNone) return clWhite;
    if (color == clDefault) return kSystemPalette[5];
    return color & 0x00FFFFFF;
}

bool ColorToIdent(TColor color, std::string& ident) {
    for (const auto& n : kNames) {
        if (n.color == color) {
            ident = n.name;
            return true;
        }
    }
    return false;
}

bool IdentToColor(const std::string& ident, TColor& color) {
    for (const auto& n : kNames) {
        if (strcasecmp(n.name, ident.c_str()) == 0) {
            color = n.color;
            return true;
        }
    }
    return false;
}

std::string ColorToString(TColor color) {
    std::string ident;
    if (ColorToIdent(color, ident)) return ident;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%08X", unsigned(color));
    return buf;
}

TColor StringToColor(const std::string& text) {
    TColor color = 0;
    if (IdentToColor(text, color)) return color;
    std::string digits = text;
    int base = 10;
    bool negative = false;
    if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
        negative = digits[0] == '-';
        digits.erase(0, 1);
    }
    if (!digits.empty() && digits[0] == '$') {
        base = 16;
        digits.erase(0, 1);
    } else if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits.erase(0, 2);
    }
    if (digits.empty() || digits.size() > (base == 16 ? 8u : 10u)) {
        throw EConvertError("'" + text + "' is not a valid colour value");
    }
    uint64_t value = 0;
    for (char ch : digits) {
        int d;
        if (ch >= '0' && ch <= '9')
            d = ch - '0';
        else if (base == 16 && ch >= 'a' && ch <= 'f')
            d = ch - 'a' + 10;
        else if (base == 16 && ch >= 'A' && ch <= 'F')
            d = ch - 'A' + 10;
        else
            throw EConvertError("'" + text + "' is not a valid colour value");
        value = value * base + d;
    }
    if (value > 0xFFFFFFFFull) throw EConvertError("'" + text + "' is not a valid colour value");
    return negative ? TColor(-int64_t(value)) : TColor(value);
}

}  // namespace kovo
