#include "host/DateUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "host/Exceptions.h"

using namespace kovo;

namespace {

// Fixed settings and a fixed clock: 15 June 2025, 10:30.
class Dates : public ::testing::Test {
  protected:
    void SetUp() override {
        FormatSettings = InvariantFormatSettings();
        SetNowOverride([] { return EncodeDate(2025, 6, 15) + EncodeTime(10, 30, 0, 0); });
    }
    void TearDown() override {
        SetNowOverride(nullptr);
        ResetFormatSettings();
    }
};

struct TYmd {
    int y, m, d;
};

}  // namespace

TEST_F(Dates, EncodeDateCountsDaysFrom1899) {
    struct {
        int y, m, d;
        double v;
    } cases[] = {{1899, 12, 30, 0},   {1900, 1, 1, 2},         {2000, 1, 1, 36526},
                 {1, 1, 1, -693593},  {9999, 12, 31, 2958465}, {1899, 12, 29, -1},
                 {2024, 2, 29, 45351}};
    for (const auto& c : cases) EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.v) << c.y << "-" << c.m;
}

TEST_F(Dates, InvalidPartsRaise) {
    try {
        EncodeDate(2023, 2, 29);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Invalid argument to date encode");
    }
    for (TYmd bad : {TYmd{0, 1, 1}, TYmd{10000, 1, 1}, TYmd{2024, 13, 1}, TYmd{2024, 0, 1},
                     TYmd{2024, 4, 31}, TYmd{1900, 2, 29}, TYmd{2024, 1, 0}}) {
        TDateTime d = 123;
        EXPECT_FALSE(TryEncodeDate(bad.y, bad.m, bad.d, d));
        EXPECT_EQ(d, 123);
    }
    try {
        EncodeTime(24, 0, 0, 0);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Invalid argument to time encode");
    }
    EXPECT_THROW(EncodeTime(1, 60, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(1, 0, 0, 1000), EConvertError);
    EXPECT_THROW(EncodeTime(-1, 0, 0, 0), EConvertError);
}

TEST_F(Dates, DecodeInvertsEncodeOverTheWholeRange) {
    for (int64_t day = -693593; day <= 2958465; day += 97) {
        int y, m, d;
        DecodeDate(double(day), y, m, d);
        ASSERT_EQ(EncodeDate(y, m, d), double(day)) << day;
    }
    int y, m, d;
    DecodeDate(2958465, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 99991231);
    DecodeDate(2958466, y, m, d);  // past 9999: no date
    EXPECT_EQ(y + m + d, 0);
    DecodeDate(std::nan(""), y, m, d);
    EXPECT_EQ(y + m + d, 0);
}

TEST_F(Dates, TimesAndNegativeValues) {
    int h, n, s, ms;
    DecodeTime(EncodeTime(13, 45, 30, 250), h, n, s, ms);
    EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + ms, 134530250);

    // Before 1899 the day counts toward zero and the time is the absolute fraction.
    TDateTime v = EncodeDateTime(1899, 12, 29, 6, 0, 0, 0);
    EXPECT_DOUBLE_EQ(v, -1.25);
    int y, m, d;
    DecodeDate(-1.25, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
    DecodeTime(-1.25, h, n, s, ms);
    EXPECT_EQ(h, 6);
    DecodeDate(-0.5, y, m, d);
    EXPECT_EQ(d, 30);

    // A value a hair below midnight is the next day at 0:00, as the millisecond rounds up.
    DecodeDateTime(EncodeDate(2024, 3, 9) + 0.9999999999, y, m, d, h, n, s, ms);
    EXPECT_EQ(d, 10);
    EXPECT_EQ(h + n + s + ms, 0);
}

TEST_F(Dates, CalendarFacts) {
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 2), 28);
    EXPECT_EQ(DaysInMonth(2023, 4), 30);
    EXPECT_EQ(DaysInMonth(2023, 13), 0);
    EXPECT_EQ(MonthDays[1][1], 29);
    EXPECT_EQ(DaysInAYear(2024), 366);

    TDateTime sat = EncodeDate(1899, 12, 30);
    EXPECT_EQ(DayOfWeek(sat), 7);     // Sunday 1 ... Saturday 7
    EXPECT_EQ(DayOfTheWeek(sat), 6);  // Monday 1 ... Sunday 7
    TDateTime sun = EncodeDate(2024, 3, 10);
    EXPECT_EQ(DayOfWeek(sun), 1);
    EXPECT_EQ(DayOfTheWeek(sun), 7);
    EXPECT_EQ(DayOfTheWeek(EncodeDate(1, 1, 1)), 1);  // a Monday
    EXPECT_EQ(DayOfTheYear(EncodeDate(2024, 12, 31)), 366);
    EXPECT_EQ(DaysBetween(EncodeDate(2024, 1, 1), EncodeDate(2024, 3, 1) + 0.5), 60);
    EXPECT_TRUE(SameDate(EncodeDate(2024, 1, 1) + 0.1, EncodeDate(2024, 1, 1) + 0.9));
}

TEST_F(Dates, WeekOfTheYearFollowsIso8601) {
    struct {
        int y, m, d, week, weekYear;
    } cases[] = {
        {2020, 12, 31, 53, 2020}, {2021, 1, 3, 53, 2020},  {2021, 1, 4, 1, 2021},
        {2019, 12, 30, 1, 2020},  {2024, 12, 30, 1, 2025}, {2026, 1, 1, 1, 2026},
        {2027, 1, 1, 53, 2026},   {2024, 6, 15, 24, 2024}, {2015, 12, 31, 53, 2015},
        {2018, 1, 1, 1, 2018},
    };
    for (const auto& c : cases) {
        int year = 0;
        EXPECT_EQ(WeekOfTheYear(EncodeDate(c.y, c.m, c.d), year), c.week)
            << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(year, c.weekYear);
    }
    EXPECT_EQ(WeeksInYear(2020), 53);
    EXPECT_EQ(WeeksInYear(2021), 52);
}

TEST_F(Dates, IncMonthCutsTheDayAndKeepsTheTime) {
    TDateTime jan31 = EncodeDate(2024, 1, 31) + 0.75;
    int y, m, d;
    DecodeDate(IncMonth(jan31), y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
    EXPECT_DOUBLE_EQ(Frac(IncMonth(jan31)), 0.75);
    DecodeDate(IncMonth(jan31, -2), y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20231130);
    DecodeDate(IncMonth(jan31, 25), y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20260228);
    DecodeDate(IncYear(EncodeDate(2024, 2, 29)), y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20250228);
    EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1)), EConvertError);
}

TEST_F(Dates, TheClockCanBeReplaced) {
    EXPECT_EQ(CurrentYear(), 2025);
    EXPECT_DOUBLE_EQ(Date(), EncodeDate(2025, 6, 15));
    EXPECT_NEAR(Time(), 10.5 / 24, 1e-9);
    SetNowOverride(nullptr);
    EXPECT_GE(CurrentYear(), 2024);  // the real clock again
    EXPECT_GT(Now(), EncodeDate(2024, 1, 1));
}

TEST_F(Dates, FormatDateTimeTokens) {
    // Tuesday 5 March 2024, 14:07:09.045
    TDateTime v = EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);
    struct {
        const char* fmt;
        const char* text;
    } cases[] = {
        {"d/m/yy", "5/3/24"},
        {"dd.mm.yyyy", "05.03.2024"},
        {"ddd dddd", "Tue Tuesday"},
        {"mmm mmmm", "Mar March"},
        {"ddddd", "3/5/2024"},
        {"dddddd", "Tuesday, March 5, 2024"},
        {"h:n:s", "14:7:9"},
        {"hh:nn:ss.zzz", "14:07:09.045"},
        {"z", "45"},
        {"hh:mm", "14:07"},  // m after h is minutes
        {"h 'o''clock' m", "14 oclock 7"},
        {"mm", "03"},
        {"h:mm am/pm", "2:07 pm"},
        {"h:mm AM/PM", "2:07 PM"},
        {"h:mm a/p", "2:07 p"},
        {"hh ampm", "02 PM"},
        {"t", "14:07"},
        {"tt", "14:07:09"},
        {"c", "3/5/2024 14:07:09"},
        {"\"day\" d", "day 5"},
        {"'mmm' mmm", "mmm Mar"},
        {"yyyy-mm-dd", "2024-03-05"},
        {"mmm-dd, yyyy", "Mar-05, 2024"},
        {"x", "x"},
        {"", "3/5/2024 14:07:09"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.fmt, v), c.text) << c.fmt;

    EXPECT_EQ(FormatDateTime("h am/pm", EncodeTime(0, 30, 0, 0)), "12 am");
    EXPECT_EQ(FormatDateTime("h am/pm", EncodeTime(12, 0, 0, 0)), "12 pm");
    EXPECT_EQ(FormatDateTime("c", EncodeDate(2024, 3, 5)), "3/5/2024");  // no 0:00:00
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -1.25), "1899-12-29 06:00");
    EXPECT_EQ(FormatDateTime("yy", EncodeDate(2005, 1, 1)), "05");
}

TEST_F(Dates, FormatDateTimeUsesTheSettings) {
    FormatSettings.DateSeparator = '.';
    FormatSettings.TimeSeparator = '-';
    FormatSettings.ShortDateFormat = "dd/mm/yyyy";
    FormatSettings.LongMonthNames[2] = "M\xC3\xA4rz";
    TDateTime v = EncodeDateTime(2024, 3, 5, 9, 8, 0, 0);
    EXPECT_EQ(FormatDateTime("d/m/yyyy h:nn mmmm", v), "5.3.2024 9-08 M\xC3\xA4rz");
    EXPECT_EQ(DateToStr(v), "05.03.2024");
    EXPECT_EQ(TimeToStr(v), "09-08-00");
    // A format that names itself stops instead of going round.
    FormatSettings.ShortDateFormat = "ddddd!";
    EXPECT_EQ(FormatDateTime("ddddd", v), "!!");
}

TEST_F(Dates, StrToDateReadsTheShortDateOrder) {
    struct {
        const char* format;
        const char* text;
        int y, m, d;
    } cases[] = {
        {"m/d/yyyy", "3/5/2024", 2024, 3, 5},
        {"m/d/yyyy", " 12 / 31 / 1999 ", 1999, 12, 31},
        {"dd/mm/yyyy", "5/3/2024", 2024, 3, 5},
        {"yyyy/mm/dd", "2024/03/05", 2024, 3, 5},
        {"m/d/yyyy", "7/4", 2025, 7, 4},  // two numbers: this year
        {"d/m/yyyy", "7/4", 2025, 4, 7},
        {"m/d/yyyy", "1/2/3/", 2003, 1, 2},  // a closing separator is allowed
    };
    for (const auto& c : cases) {
        FormatSettings.ShortDateFormat = c.format;
        int y, m, d;
        DecodeDate(StrToDate(c.text), y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d) << c.text;
    }
}

TEST_F(Dates, TwoDigitYearsUseTheCenturyWindow) {
    // The clock says 2025: with the window 50 two-digit years lie in 1975..2074.
    struct {
        int window;
        const char* text;
        int year;
    } cases[] = {
        {50, "1/1/74", 2074}, {50, "1/1/75", 1975}, {50, "1/1/99", 1999}, {50, "1/1/00", 2000},
        {50, "1/1/5", 2005},  {0, "1/1/99", 2099},  {0, "1/1/10", 2010},  {50, "1/1/0099", 99},
        {10, "1/1/14", 2114}, {10, "1/1/15", 2015},
    };
    for (const auto& c : cases) {
        FormatSettings.TwoDigitYearCenturyWindow = c.window;
        EXPECT_EQ(YearOf(StrToDate(c.text)), c.year) << c.window << " " << c.text;
    }
}

TEST_F(Dates, StrToDateRejectsBadTexts) {
    for (const char* bad : {"", "3", "3/", "2/30/2024", "13/1/2024", "a/b/c", "1/2/3/4",
                            "1/2/2024x", "12345/1/1", "1-2-2024"}) {
        TDateTime d = 42;
        EXPECT_FALSE(TryStrToDate(bad, d)) << bad;
        EXPECT_EQ(d, 42);
    }
    try {
        StrToDate("2/30/2024");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'2/30/2024' is not a valid date");
    }
}

TEST_F(Dates, TimesAndDateTimesReadBack) {
    EXPECT_DOUBLE_EQ(StrToTime("14:07"), EncodeTime(14, 7, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("2:07:09 PM"), EncodeTime(14, 7, 9, 0));
    EXPECT_DOUBLE_EQ(StrToTime("12:00 am"), 0.0);
    EXPECT_DOUBLE_EQ(StrToTime("1:02:03.5"), EncodeTime(1, 2, 3, 5));
    EXPECT_DOUBLE_EQ(StrToTime("7"), EncodeTime(7, 0, 0, 0));
    for (const char* bad : {"", "25:00", "13:00 PM", "0:00 AM", "1:", "1:2:", "x"}) {
        TDateTime t = 0;
        EXPECT_FALSE(TryStrToTime(bad, t)) << bad;
    }
    EXPECT_THROW(StrToTime("25:00"), EConvertError);

    TDateTime v = EncodeDateTime(2024, 3, 5, 14, 7, 9, 0);
    EXPECT_DOUBLE_EQ(StrToDateTime(DateTimeToStr(v)), v);
    EXPECT_DOUBLE_EQ(StrToDateTime("3/5/2024"), EncodeDate(2024, 3, 5));
    try {
        StrToDateTime("3/5/2024 99:00");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'3/5/2024 99:00' is not a valid date and time");
    }
}

TEST_F(Dates, FileDatesPackToTwoSeconds) {
    TDateTime v = EncodeDateTime(2024, 3, 5, 14, 7, 9, 0);
    int packed = DateTimeToFileDate(v);
    EXPECT_DOUBLE_EQ(FileDateToDateTime(packed), EncodeDateTime(2024, 3, 5, 14, 7, 8, 0));
    EXPECT_EQ(DateTimeToFileDate(EncodeDate(1970, 1, 1)), 0);
    EXPECT_EQ(FileDateToDateTime(0), 0);  // month 0 is no date
}
