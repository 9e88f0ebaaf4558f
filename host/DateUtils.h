// Dates and times. A TDateTime counts days since 30 December 1899; the fraction is the time
// of day. Values before that day are negative: the integer part (toward zero) is the day
// and the absolute fraction the time, so -1.25 is 29 December 1899, 6:00.
// Years run from 1 to 9999 in the proleptic Gregorian calendar. Decoding functions take
// int& parts.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "host/SysUtils.h"

namespace kovo {

using TDateTime = double;

constexpr int HoursPerDay = 24;
constexpr int MinsPerDay = 24 * 60;
constexpr int SecsPerDay = 24 * 60 * 60;
constexpr int MSecsPerDay = SecsPerDay * 1000;
// Days from 1 January 0001 to 30 December 1899.
constexpr int DateDelta = 693594;

// MonthDays[IsLeapYear][month - 1].
extern const int MonthDays[2][12];

bool IsLeapYear(int Year);
// 0 for a month outside 1..12.
int DaysInMonth(int Year, int Month);
int DaysInAYear(int Year);

// Invalid parts raise EConvertError "Invalid argument to date encode" /
// "Invalid argument to time encode".
TDateTime EncodeDate(int Year, int Month, int Day);
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date);
bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time);
// Date and time together; before 1899 the time is subtracted, keeping the rule above.
TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec);
bool TryEncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec,
                       TDateTime& Value);

// A value rounded to the millisecond; one outside years 1..9999 (or NaN) decodes as
// year, month and day 0.
void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day);
// Also the day of the week (1 = Sunday); returns whether the year is a leap year.
bool DecodeDateFully(TDateTime Date, int& Year, int& Month, int& Day, int& DOW);
void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec);
void DecodeDateTime(TDateTime Value, int& Year, int& Month, int& Day, int& Hour, int& Min, int& Sec,
                    int& MSec);

// The clock: local time. SetNowOverride installs a replacement clock (for tests); an
// empty function restores the real one.
TDateTime Now();
TDateTime Date();
TDateTime Time();
int CurrentYear();
void SetNowOverride(std::function<TDateTime()> Clock);

int YearOf(TDateTime Value);
int MonthOf(TDateTime Value);
int DayOf(TDateTime Value);
int HourOf(TDateTime Value);
int MinuteOf(TDateTime Value);
int SecondOf(TDateTime Value);
int MilliSecondOf(TDateTime Value);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime Value);
// ISO: 1 = Monday ... 7 = Sunday.
int DayOfTheWeek(TDateTime Value);
// 1 = 1 January.
int DayOfTheYear(TDateTime Value);
// ISO 8601 week (weeks start on Monday; week 1 holds the year's first Thursday);
// AYear receives the year the week belongs to.
int WeekOfTheYear(TDateTime Value);
int WeekOfTheYear(TDateTime Value, int& AYear);
int WeeksInYear(int Year);

// Months added (or taken away); the day is cut to the new month's length, the time kept.
TDateTime IncMonth(TDateTime Value, int NumberOfMonths = 1);
TDateTime IncYear(TDateTime Value, int NumberOfYears = 1);
TDateTime IncDay(TDateTime Value, int NumberOfDays = 1);
// Whole days from A to B (sign ignored).
int DaysBetween(TDateTime A, TDateTime B);
bool SameDate(TDateTime A, TDateTime B);

// Texts. Format tokens (letters in any case):
//   c       ShortDateFormat, then " " and LongTimeFormat unless the time is 0:00:00
//   d dd    day 1..31 / 01..31;  ddd dddd  short / long day name;
//   ddddd   ShortDateFormat;  dddddd  LongDateFormat
//   m mm    month 1..12 / 01..12 (minutes right after an h or hh token);
//   mmm mmmm  short / long month name
//   yy yyyy year with 2 / 4 digits;  h hh  hour;  n nn  minute;  s ss  second;
//   z zzz   millisecond 0..999 / 000..999;  t tt  ShortTimeFormat / LongTimeFormat
//   am/pm a/p  12-hour clock with that text in the case written; ampm  TimeAMString /
//           TimePMString (and a 12-hour clock for the hours before them)
//   /  DateSeparator   :  TimeSeparator   "..." and '...' literal text
// Any other character stands for itself. An empty format means "c".
std::string FormatDateTime(const std::string& Fmt, TDateTime Value);
// True when an am/pm marker (AM/PM, A/P, AMPM) follows position From of a FormatDateTime
// pattern outside quotes: the hours before it are on the 12-hour clock.
bool FormatHasAmPm(const std::string& Fmt, size_t From);
std::string FormatDateTime(const std::string& Fmt, TDateTime Value,
                           const TFormatSettings& Settings);
std::string DateToStr(TDateTime Value);
std::string TimeToStr(TDateTime Value);
std::string DateTimeToStr(TDateTime Value);

// Reads numbers separated by DateSeparator in the order of ShortDateFormat (day, month
// and year as its first "d", "m" or "y" says); two numbers are day and month (in the
// format's order) of the current year. A year of one or two digits is put into the
// century that the TwoDigitYearCenturyWindow gives: with the window w > 0 the year lies
// in the hundred years from (current year - w) on; with 0 in the current century.
// Numbers have at most four digits; blanks around the text are ignored.
// Failures raise EConvertError "'<s>' is not a valid date".
TDateTime StrToDate(const std::string& S);
TDateTime StrToDate(const std::string& S, const TFormatSettings& Settings);
bool TryStrToDate(const std::string& S, TDateTime& Value);
bool TryStrToDate(const std::string& S, TDateTime& Value, const TFormatSettings& Settings);
// "h[:n[:s[.z]]]" (TimeSeparator) with an optional AM/PM marker (TimeAMString,
// TimePMString, "AM", "PM"); EConvertError "'<s>' is not a valid time".
TDateTime StrToTime(const std::string& S);
bool TryStrToTime(const std::string& S, TDateTime& Value);
bool TryStrToTime(const std::string& S, TDateTime& Value, const TFormatSettings& Settings);
// A date, optionally followed by blanks and a time; EConvertError
// "'<s>' is not a valid date and time".
TDateTime StrToDateTime(const std::string& S);
bool TryStrToDateTime(const std::string& S, TDateTime& Value);
bool TryStrToDateTime(const std::string& S, TDateTime& Value, const TFormatSettings& Settings);

// The packed date and time of file records: bits 25..31 year - 1980, 21..24 month,
// 16..20 day, 11..15 hour, 5..10 minute, 0..4 second / 2.
int DateTimeToFileDate(TDateTime Value);
TDateTime FileDateToDateTime(int FileDate);

}  // namespace kovo
