#include <gtest/gtest.h>

#include <set>

#include "foundation/kovocore.h"
#include "host/SysUtils.h"

using namespace kovo;

TEST(NameTables, NeutralRowIsNumbered) {
    EXPECT_STREQ(MonthLong[lgNeutral][1], "M01");
    EXPECT_STREQ(MonthLong[lgNeutral][12], "M12");
    EXPECT_STREQ(MonthShort[lgNeutral][10], "M10");
    EXPECT_STREQ(WeekDayShort[lgNeutral][1], "D1");
    EXPECT_STREQ(WeekDayShort[lgNeutral][7], "D7");
}

TEST(NameTables, LanguagesStartInJanuaryAndOnMonday) {
    struct Case {
        TLanguage lang;
        const char *jan, *dec, *mon, *sun, *marShort;
    };
    const Case cases[] = {
        {lgEnglish, "January", "December", "Mon", "Sun", "Mar"},
        {lgGerman, "Januar", "Dezember", "Mo", "So", "M\u00e4r"},
        {lgFrench, "Janvier", "D\u00e9cembre", "Lun", "Dim", "Mars"},
        {lgSpanish, "Enero", "Diciembre", "Lun", "Dom", "Mar"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(MonthLong[c.lang][1], c.jan);
        EXPECT_STREQ(MonthLong[c.lang][12], c.dec);
        EXPECT_STREQ(WeekDayShort[c.lang][1], c.mon);
        EXPECT_STREQ(WeekDayShort[c.lang][7], c.sun);
        EXPECT_STREQ(MonthShort[c.lang][3], c.marShort);
    }
}

TEST(NameTables, EntriesKeepTheirLengthBoundsAndDiffer) {
    for (int lg = 0; lg < LanguageCount; ++lg) {
        std::set<std::string> longs, shorts, days;
        EXPECT_STREQ(MonthLong[lg][0], "");
        for (int m = 1; m <= 12; ++m) {
            EXPECT_LE(Utf8Length(MonthLong[lg][m]), 10) << MonthLong[lg][m];
            EXPECT_LE(Utf8Length(MonthShort[lg][m]), 4) << MonthShort[lg][m];
            longs.insert(MonthLong[lg][m]);
            shorts.insert(MonthShort[lg][m]);
        }
        for (int d = 1; d <= 7; ++d) {
            EXPECT_LE(Utf8Length(WeekDayShort[lg][d]), 3);
            days.insert(WeekDayShort[lg][d]);
        }
        EXPECT_EQ(longs.size(), 12u);
        EXPECT_EQ(shorts.size(), 12u);
        EXPECT_EQ(days.size(), 7u);
    }
}

TEST(PredefinedColors, BasicExtendedAndSystemBlocks) {
    EXPECT_EQ(PredefinedColorCount, 47);
    EXPECT_EQ(PredefinedColors[1], clBlack);
    EXPECT_EQ(PredefinedColors[10], clRed);
    EXPECT_EQ(PredefinedColors[16], clWhite);
    EXPECT_EQ(PredefinedColors[17], clMoneyGreen);
    EXPECT_EQ(PredefinedColors[18], clSkyBlue);
    EXPECT_EQ(PredefinedColors[19], clCream);
    EXPECT_EQ(PredefinedColors[20], clMedGray);
    std::set<TColor> all;
    for (int i = 1; i <= 47; ++i) {
        EXPECT_EQ(IsSystemColor(PredefinedColors[i]), i >= 21) << i;
        all.insert(PredefinedColors[i]);
    }
    EXPECT_EQ(all.size(), 47u);
    EXPECT_EQ(PredefinedColors[21], clScrollBar);
}

TEST(MeanColor, HalfwayPerChannelWithSystemColoursResolved) {
    EXPECT_EQ(MeanColor(clBlack, clWhite), 0x7F7F7Fu);
    EXPECT_EQ(MeanColor(RGB(10, 20, 30), RGB(20, 40, 61)), RGB(15, 30, 45));
    EXPECT_EQ(MeanColor(clBtnFace, clBtnFace), ColorToRGB(clBtnFace));
}
