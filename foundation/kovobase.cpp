// The error message form, the colour-scheme rule, frame widths and the style lookups.
#include "foundation/kovobase.h"

namespace kovo {

std::string KovoErrorMessage(const std::string& ComponentName, const std::string& Reason) {
    return "Component \"" + ComponentName + "\": " + Reason;
}

EKovoError::EKovoError(const TComponent* Component, const std::string& Reason)
    : Exception(KovoErrorMessage(Component ? Component->Name() : std::string(), Reason)) {}

bool TLineColors::SetColorScheme(TColorScheme Value) {
    if (Value == FColorScheme) return false;
    FColorScheme = Value;
    if (Value == csFixed) {
        FColGrayLine = clGray;
        FColWhiteLine = clWhite;
    } else {
        FColGrayLine = clBtnShadow;
        FColWhiteLine = clBtnHighlight;
    }
    return true;
}

int FrameWidth(TFrameStyle Style) {
    switch (Style) {
        case fsSingle:
        case fsSunken:
        case fsRaised:
            return 1;
        case fsRidge:
        case fsGroove:
            return 2;
        default:
            return 0;
    }
}

bool StyleActive(TStyleElements Elements, TStyleElement Element) {
    return StyleServices()->Enabled() && Elements.contains(Element);
}

TColor StyledColor(TStyleElements Elements, TColor Own, TStyleColor StyleColor) {
    return StyleActive(Elements, seClient) ? StyleServices()->GetStyleColor(StyleColor) : Own;
}

TColor StyledFontColor(TStyleElements Elements, TColor Own, TStyleFont StyleFont) {
    return StyleActive(Elements, seFont) ? StyleServices()->GetStyleFontColor(StyleFont) : Own;
}

TBevelColors StyledBevelColors(TStyleElements Elements, TStyleElement Element) {
    if (!StyleActive(Elements, Element)) return TBevelColors{};
    const TCustomStyleServices* s = StyleServices();
    return TBevelColors{s->GetSystemColor(cl3DLight), s->GetSystemColor(clBtnHighlight),
                        s->GetSystemColor(clBtnShadow), s->GetSystemColor(cl3DDkShadow)};
}

}  // namespace kovo
