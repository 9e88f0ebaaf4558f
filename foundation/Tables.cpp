// The month and weekday names in the five languages and the predefined colour table.
#include "foundation/kovocore.h"

namespace kovo {

const char* const MonthLong[LanguageCount][13] = {
    {"", "M01", "M02", "M03", "M04", "M05", "M06", "M07", "M08", "M09", "M10", "M11", "M12"},
    {"", "January", "February", "March", "April", "May", "June", "July", "August", "September",
     "October", "November", "December"},
    {"", "Januar", "Februar", "M\u00e4rz", "April", "Mai", "Juni", "Juli", "August", "September",
     "Oktober", "November", "Dezember"},
    {"", "Janvier", "F\u00e9vrier", "Mars", "Avril", "Mai", "Juin", "Juillet", "Ao\u00fbt",
     "Septembre", "Octobre", "Novembre", "D\u00e9cembre"},
    {"", "Enero", "Febrero", "Marzo", "Abril", "Mayo", "Junio", "Julio", "Agosto", "Septiembre",
     "Octubre", "Noviembre", "Diciembre"},
};

const char* const MonthShort[LanguageCount][13] = {
    {"", "M01", "M02", "M03", "M04", "M05", "M06", "M07", "M08", "M09", "M10", "M11", "M12"},
    {"", "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
    {"", "Jan", "Feb", "M\u00e4r", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"},
    {"", "Janv", "F\u00e9vr", "Mars", "Avr", "Mai", "Juin", "Juil", "Ao\u00fbt", "Sept", "Oct",
     "Nov", "D\u00e9c"},
    {"", "Ene", "Feb", "Mar", "Abr", "May", "Jun", "Jul", "Ago", "Sep", "Oct", "Nov", "Dic"},
};

const char* const WeekDayShort[LanguageCount][8] = {
    {"", "D1", "D2", "D3", "D4", "D5", "D6", "D7"},
    {"", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"},
    {"", "Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"},
    {"", "Lun", "Mar", "Mer", "Jeu", "Ven", "Sam", "Dim"},
    {"", "Lun", "Mar", "Mi\u00e9", "Jue", "Vie", "S\u00e1b", "Dom"},
};

const TColor PredefinedColors[PredefinedColorCount + 1] = {
    clNone,
    // the basic 16
    clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple, clTeal, clGray, clSilver, clRed, clLime,
    clYellow, clBlue, clFuchsia, clAqua, clWhite,
    // the extended four
    clMoneyGreen, clSkyBlue, clCream, clMedGray,
    // 27 system colours
    clScrollBar, clBackground, clActiveCaption, clInactiveCaption, clMenu, clWindow, clWindowFrame,
    clMenuText, clWindowText, clCaptionText, clActiveBorder, clInactiveBorder, clAppWorkSpace,
    clHighlight, clHighlightText, clBtnFace, clBtnShadow, clGrayText, clBtnText,
    clInactiveCaptionText, clBtnHighlight, cl3DDkShadow, cl3DLight, clInfoText, clInfoBk,
    clHotLight, clGradientActiveCaption};

TColor MeanColor(TColor C1, TColor C2) {
    TColor a = ColorToRGB(C1), b = ColorToRGB(C2);
    return RGB(uint8_t((GetRValue(a) + GetRValue(b)) / 2),
               uint8_t((GetGValue(a) + GetGValue(b)) / 2),
               uint8_t((GetBValue(a) + GetBValue(b)) / 2));
}

}  // namespace kovo
