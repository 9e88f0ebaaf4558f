#include "host/DateUtils.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "host/Exceptions.h"

namespace kovo {

const int MonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                              {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

bool IsLeapYear(int Year) {
    return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0);
}

int DaysInMonth(int Year, int Month) {
    if (Month < 1 || Month > 12) return 0;
    return MonthDays[IsLeapYear(Year) ? 1 : 0][Month - 1];
}

int DaysInAYear(int Year) {
    return IsLeapYear(Year) ? 366 : 365;
}

// ---------------------------------------------------------------------------------------
// Encoding and decoding

namespace {

// Days since 1 January 0001, that day being 1.
int64_t DayNumber(int Year, int Month, int Day) {
    int64_t days = Day;
    for (int m = 1; m < Month; ++m) days += DaysInMonth(Year, m);
    int64_t i = Year - 1;
    return i * 365 + i / 4 - i / 100 + i / 400 + days;
}

// The inverse of DayNumber; false before 1 January 0001 or after 9999.
bool CivilFromDayNumber(int64_t T, int& Year, int& Month, int& Day) {
    constexpr int64_t D1 = 365, D4 = D1 * 4 + 1, D100 = D4 * 25 - 1, D400 = D100 * 4 + 1;
    if (T <= 0 || T > DayNumber(9999, 12, 31)) {
        Year = Month = Day = 0;
        return false;
    }
    --T;
    int64_t y = 1 + (T / D400) * 400;
    T %= D400;
    int64_t i = T / D100, d = T % D100;
    if (i == 4) {
        --i;
        d += D100;
    }
    y += i * 100;
    i = d / D4;
    d %= D4;
    y += i * 4;
    i = d / D1;
    d %= D1;
    if (i == 4) {
        --i;
        d += D1;
    }
    y += i;
    Year = static_cast<int>(y);
    int m = 1;
    while (d >= DaysInMonth(Year, m)) d -= DaysInMonth(Year, m++);
    Month = m;
    Day = static_cast<int>(d) + 1;
    return true;
}

// Days since 1 January 0001 (1-based) and milliseconds of the day, as the classic time
// stamp splits a value: the whole value rounded to the millisecond, the day toward zero,
// the time from the absolute remainder.
struct TTimeStamp {
    int64_t Date = 0;  // 0: not a representable date
    int Time = 0;
};

TTimeStamp ToTimeStamp(TDateTime Value) {
    TTimeStamp ts;
    // A little beyond both ends of years 1..9999; everything else is no date.
    if (!(Value > -700000.0 && Value < 3000000.0)) return ts;
    int64_t ms = std::llround(Value * MSecsPerDay);
    ts.Date = ms / MSecsPerDay + DateDelta;
    ts.Time = static_cast<int>((ms < 0 ? -ms : ms) % MSecsPerDay);
    return ts;
}

[[noreturn]] void DateEncodeError() {
    throw EConvertError("Invalid argument to date encode");
}

[[noreturn]] void TimeEncodeError() {
    throw EConvertError("Invalid argument to time encode");
}

}  // namespace

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date) {
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 ||
        Day > DaysInMonth(Year, Month))
        return false;
    Date = static_cast<double>(DayNumber(Year, Month, Day) - DateDelta);
    return true;
}

TDateTime EncodeDate(int Year, int Month, int Day) {
    TDateTime d = 0;
    if (!TryEncodeDate(Year, Month, Day, d)) DateEncodeError();
    return d;
}

bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time) {
    if (Hour < 0 || Hour > 23 || Min < 0 || Min > 59 || Sec < 0 || Sec > 59 || MSec < 0 ||
        MSec > 999)
        return false;
    Time = (Hour * 3600000.0 + Min * 60000.0 + Sec * 1000.0 + MSec) / MSecsPerDay;
    return true;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec) {
    TDateTime t = 0;
    if (!TryEncodeTime(Hour, Min, Sec, MSec, t)) TimeEncodeError();
    return t;
}

bool TryEncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec,
                       TDateTime& Value) {
    TDateTime d = 0, t = 0;
    if (!TryEncodeDate(Year, Month, Day, d) || !TryEncodeTime(Hour, Min, Sec, MSec, t))
        return false;
    Value = d >= 0 ? d + t : d - t;
    return true;
}

TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec) {
    TDateTime d = EncodeDate(Year, Month, Day);
    TDateTime t = EncodeTime(Hour, Min, Sec, MSec);
    return d >= 0 ? d + t : d - t;
}

void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day) {
    CivilFromDayNumber(ToTimeStamp(Date).Date, Year, Month, Day);
}

bool DecodeDateFully(TDateTime Date, int& Year, int& Month, int& Day, int& DOW) {
    TTimeStamp ts = ToTimeStamp(Date);
    if (!CivilFromDayNumber(ts.Date, Year, Month, Day)) {
        DOW = 0;
        return false;
    }
    DOW = static_cast<int>(ts.Date % 7) + 1;
    return IsLeapYear(Year);
}

void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec) {
    int t = ToTimeStamp(Time).Time;
    Hour = t / 3600000;
    Min = t / 60000 % 60;
    Sec = t / 1000 % 60;
    MSec = t % 1000;
}

void DecodeDateTime(TDateTime Value, int& Year, int& Month, int& Day, int& Hour, int& Min, int& Sec,
                    int& MSec) {
    DecodeDate(Value, Year, Month, Day);
    DecodeTime(Value, Hour, Min, Sec, MSec);
}

// ---------------------------------------------------------------------------------------
// The clock

namespace {

std::function<TDateTime()>& NowOverride() {
    static std::function<TDateTime()> clock;
    return clock;
}

TDateTime SystemNow() {
    using namespace std::chrono;
    auto now = system_clock::now();
    auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count();
    std::time_t secs = static_cast<std::time_t>(ms / 1000);
    std::tm local{};
    localtime_r(&secs, &local);
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59),
                      static_cast<int>(ms % 1000));
}

}  // namespace

void SetNowOverride(std::function<TDateTime()> Clock) {
    NowOverride() = std::move(Clock);
}

TDateTime Now() {
    const auto& clock = NowOverride();
    return clock ? clock() : SystemNow();
}

TDateTime Date() {
    return std::trunc(Now());
}

TDateTime Time() {
    TDateTime n = Now();
    return n - std::trunc(n);
}

int CurrentYear() {
    return YearOf(Now());
}

// ---------------------------------------------------------------------------------------
// Parts of a value

int YearOf(TDateTime Value) {
    int y, m, d;
    DecodeDate(Value, y, m, d);
    return y;
}

int MonthOf(TDateTime Value) {
    int y, m, d;
    DecodeDate(Value, y, m, d);
    return m;
}

int DayOf(TDateTime Value) {
    int y, m, d;
    DecodeDate(Value, y, m, d);
    return d;
}

int HourOf(TDateTime Value) {
    int h, n, s, ms;
    DecodeTime(Value, h, n, s, ms);
    return h;
}

int MinuteOf(TDateTime Value) {
    int h, n, s, ms;
    DecodeTime(Value, h, n, s, ms);
    return n;
}

int SecondOf(TDateTime Value) {
    int h, n, s, ms;
    DecodeTime(Value, h, n, s, ms);
    return s;
}

int MilliSecondOf(TDateTime Value) {
    int h, n, s, ms;
    DecodeTime(Value, h, n, s, ms);
    return ms;
}

int DayOfWeek(TDateTime Value) {
    TTimeStamp ts = ToTimeStamp(Value);
    if (ts.Date <= 0) return 0;
    // Day 1 (1 January 0001) was a Monday.
    return static_cast<int>(ts.Date % 7) + 1;
}

int DayOfTheWeek(TDateTime Value) {
    int dow = DayOfWeek(Value);
    if (dow == 0) return 0;
    return dow == 1 ? 7 : dow - 1;
}

int DayOfTheYear(TDateTime Value) {
    TTimeStamp ts = ToTimeStamp(Value);
    int y, m, d;
    if (!CivilFromDayNumber(ts.Date, y, m, d)) return 0;
    return static_cast<int>(ts.Date - DayNumber(y, 1, 1)) + 1;
}

int WeekOfTheYear(TDateTime Value, int& AYear) {
    TTimeStamp ts = ToTimeStamp(Value);
    int y, m, d;
    if (!CivilFromDayNumber(ts.Date, y, m, d)) {
        AYear = 0;
        return 0;
    }
    // The week belongs to the year of its Thursday.
    int iso = static_cast<int>((ts.Date - 1) % 7) + 1;  // 1 = Monday
    int64_t thursday = ts.Date + (4 - iso);
    if (!CivilFromDayNumber(thursday, y, m, d)) {
        AYear = 0;
        return 0;
    }
    AYear = y;
    return static_cast<int>((thursday - DayNumber(y, 1, 1)) / 7) + 1;
}

int WeekOfTheYear(TDateTime Value) {
    int year = 0;
    return WeekOfTheYear(Value, year);
}

int WeeksInYear(int Year) {
    int y = 0;
    return WeekOfTheYear(EncodeDate(Year, 12, 28), y);
}

// ---------------------------------------------------------------------------------------
// Arithmetic

TDateTime IncMonth(TDateTime Value, int NumberOfMonths) {
    int y, m, d;
    DecodeDate(Value, y, m, d);
    if (y == 0) DateEncodeError();
    int64_t total = int64_t(y) * 12 + (m - 1) + NumberOfMonths;
    int64_t ny = total >= 0 ? total / 12 : (total - 11) / 12;
    int nm = static_cast<int>(total - ny * 12) + 1;
    if (ny < 1 || ny > 9999) DateEncodeError();
    int nd = std::min(d, DaysInMonth(static_cast<int>(ny), nm));
    TDateTime date = EncodeDate(static_cast<int>(ny), nm, nd);
    TDateTime time = std::fabs(Value - std::trunc(Value));
    return date >= 0 ? date + time : date - time;
}

TDateTime IncYear(TDateTime Value, int NumberOfYears) {
    return IncMonth(Value, NumberOfYears * 12);
}

TDateTime IncDay(TDateTime Value, int NumberOfDays) {
    return Value + NumberOfDays;
}

int DaysBetween(TDateTime A, TDateTime B) {
    return static_cast<int>(std::trunc(std::fabs(A - B) + 0.5 / MSecsPerDay));
}

bool SameDate(TDateTime A, TDateTime B) {
    return ToTimeStamp(A).Date == ToTimeStamp(B).Date;
}

// ---------------------------------------------------------------------------------------
// Formatting

namespace {

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

std::string Number(int v, int digits) {
    std::string s = IntToStr(v);
    if (static_cast<int>(s.size()) < digits) s.insert(0, size_t(digits) - s.size(), '0');
    return s;
}

bool StartsWithNoCase(const std::string& s, size_t i, std::string_view what) {
    return s.size() - i >= what.size() &&
           CompareText(std::string_view(s).substr(i, what.size()), what) == 0;
}

}  // namespace

bool FormatHasAmPm(const std::string& Fmt, size_t From) {
    char quote = '\0';
    for (size_t i = From; i < Fmt.size(); ++i) {
        char c = Fmt[i];
        if (quote != '\0') {
            if (c == quote) quote = '\0';
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
            continue;
        }
        if (Upper(c) == 'A' &&
            (StartsWithNoCase(Fmt, i, "AM/PM") || StartsWithNoCase(Fmt, i, "A/P") ||
             StartsWithNoCase(Fmt, i, "AMPM")))
            return true;
    }
    return false;
}

namespace {

class TDateFormatter {
  public:
    TDateFormatter(TDateTime Value, const TFormatSettings& Settings) : FSettings(Settings) {
        DecodeDateFully(Value, FYear, FMonth, FDay, FDow);
        DecodeTime(Value, FHour, FMin, FSec, FMSec);
    }

    void Append(const std::string& Fmt, int Level) {
        // Formats may name other formats (ddddd, c, t); two levels are enough for those
        // and keep a format that names itself from going round for ever.
        if (Level > 2) return;
        char last = ' ';
        size_t i = 0;
        while (i < Fmt.size()) {
            char starter = Fmt[i];
            char token = Upper(starter);
            if (token >= 'A' && token <= 'Z') {
                if (token == 'M' && last == 'H') token = 'N';
                last = token;
            }
            size_t run = 1;
            while (i + run < Fmt.size() && Fmt[i + run] == starter) ++run;
            switch (token) {
                case 'Y':
                    FOut += run <= 2 ? Number(FYear % 100, 2) : Number(FYear, 4);
                    i += run;
                    break;
                case 'M':
                    if (run == 1)
                        FOut += IntToStr(FMonth);
                    else if (run == 2)
                        FOut += Number(FMonth, 2);
                    else if (FMonth >= 1)
                        FOut += run == 3 ? FSettings.ShortMonthNames[FMonth - 1]
                                         : FSettings.LongMonthNames[FMonth - 1];
                    i += run;
                    break;
                case 'D':
                    if (run == 1)
                        FOut += IntToStr(FDay);
                    else if (run == 2)
                        FOut += Number(FDay, 2);
                    else if (run == 5)
                        Append(FSettings.ShortDateFormat, Level + 1);
                    else if (run >= 6)
                        Append(FSettings.LongDateFormat, Level + 1);
                    else if (FDow >= 1)
                        FOut += run == 3 ? FSettings.ShortDayNames[FDow - 1]
                                         : FSettings.LongDayNames[FDow - 1];
                    i += run;
                    break;
                case 'H': {
                    int hour = FHour;
                    if (FormatHasAmPm(Fmt, i + run)) {
                        hour %= 12;
                        if (hour == 0) hour = 12;
                    }
                    FOut += run == 1 ? IntToStr(hour) : Number(hour, 2);
                    i += run;
                    break;
                }
                case 'N':
                    FOut += run == 1 ? IntToStr(FMin) : Number(FMin, 2);
                    i += run;
                    break;
                case 'S':
                    FOut += run == 1 ? IntToStr(FSec) : Number(FSec, 2);
                    i += run;
                    break;
                case 'Z':
                    FOut += run <= 2 ? IntToStr(FMSec) : Number(FMSec, 3);
                    i += run;
                    break;
                case 'T':
                    Append(run == 1 ? FSettings.ShortTimeFormat : FSettings.LongTimeFormat,
                           Level + 1);
                    i += run;
                    break;
                case 'C':
                    Append(FSettings.ShortDateFormat, Level + 1);
                    if (FHour != 0 || FMin != 0 || FSec != 0) {
                        FOut += ' ';
                        Append(FSettings.LongTimeFormat, Level + 1);
                    }
                    i += run;
                    break;
                case 'A':
                    i = AmPm(Fmt, i);
                    break;
                case '/':
                    if (FSettings.DateSeparator != '\0') FOut += FSettings.DateSeparator;
                    ++i;
                    break;
                case ':':
                    if (FSettings.TimeSeparator != '\0') FOut += FSettings.TimeSeparator;
                    ++i;
                    break;
                case '\'':
                case '"': {
                    size_t close = Fmt.find(starter, i + 1);
                    if (close == std::string::npos) close = Fmt.size();
                    FOut.append(Fmt, i + 1, close - i - 1);
                    i = close + 1;
                    break;
                }
                default:
                    FOut += starter;
                    ++i;
                    break;
            }
        }
    }

    const std::string& Result() const { return FOut; }

  private:
    // The marker at Fmt[i] in the case it is written; returns the index after it.
    size_t AmPm(const std::string& Fmt, size_t i) {
        bool pm = FHour >= 12;
        if (StartsWithNoCase(Fmt, i, "AM/PM")) {
            FOut.append(Fmt, pm ? i + 3 : i, 2);
            return i + 5;
        }
        if (StartsWithNoCase(Fmt, i, "A/P")) {
            FOut += Fmt[pm ? i + 2 : i];
            return i + 3;
        }
        if (StartsWithNoCase(Fmt, i, "AMPM")) {
            FOut += pm ? FSettings.TimePMString : FSettings.TimeAMString;
            return i + 4;
        }
        FOut += Fmt[i];
        return i + 1;
    }

    const TFormatSettings& FSettings;
    int FYear = 0, FMonth = 0, FDay = 0, FDow = 0;
    int FHour = 0, FMin = 0, FSec = 0, FMSec = 0;
    std::string FOut;
};

}  // namespace

std::string FormatDateTime(const std::string& Fmt, TDateTime Value,
                           const TFormatSettings& Settings) {
    TDateFormatter f(Value, Settings);
    f.Append(Fmt.empty() ? std::string("c") : Fmt, 0);
    return f.Result();
}

std::string FormatDateTime(const std::string& Fmt, TDateTime Value) {
    return FormatDateTime(Fmt, Value, FormatSettings);
}

std::string DateToStr(TDateTime Value) {
    return FormatDateTime("ddddd", Value);
}

std::string TimeToStr(TDateTime Value) {
    return FormatDateTime("tt", Value);
}

std::string DateTimeToStr(TDateTime Value) {
    return FormatDateTime("c", Value);
}

// ---------------------------------------------------------------------------------------
// Reading

namespace {

class TDateScanner {
  public:
    TDateScanner(const std::string& S, const TFormatSettings& Settings)
        : FS(S), FSettings(Settings) {}

    void Blanks() {
        while (FPos < FS.size() && FS[FPos] == ' ') ++FPos;
    }

    // Up to four digits after blanks.
    bool Number(int& Value, int& Digits) {
        Blanks();
        Value = 0;
        Digits = 0;
        while (FPos < FS.size() && FS[FPos] >= '0' && FS[FPos] <= '9' && Digits < 4) {
            Value = Value * 10 + (FS[FPos++] - '0');
            ++Digits;
        }
        return Digits > 0;
    }

    bool Char(char C) {
        Blanks();
        if (FPos < FS.size() && FS[FPos] == C) {
            ++FPos;
            return true;
        }
        return false;
    }

    bool Text(const std::string& T) {
        Blanks();
        if (T.empty() || !StartsWithNoCase(FS, FPos, T)) return false;
        FPos += T.size();
        return true;
    }

    bool AtEnd() {
        Blanks();
        return FPos >= FS.size();
    }

    bool Date(TDateTime& Value) {
        enum { doMDY, doDMY, doYMD } order = doMDY;
        for (char c : FSettings.ShortDateFormat) {
            char u = Upper(c);
            if (u == 'Y') {
                order = doYMD;
                break;
            }
            if (u == 'M') {
                order = doMDY;
                break;
            }
            if (u == 'D') {
                order = doDMY;
                break;
            }
        }
        const char sep = FSettings.DateSeparator;
        int n1, l1, n2, l2, n3, l3;
        if (!Number(n1, l1) || !Char(sep) || !Number(n2, l2)) return false;
        int y, m, d;
        if (Char(sep)) {
            if (!Number(n3, l3)) return false;
            int yearDigits;
            switch (order) {
                case doYMD:
                    y = n1, m = n2, d = n3, yearDigits = l1;
                    break;
                case doDMY:
                    y = n3, m = n2, d = n1, yearDigits = l3;
                    break;
                default:
                    y = n3, m = n1, d = n2, yearDigits = l3;
                    break;
            }
            if (yearDigits <= 2) {
                int window = FSettings.TwoDigitYearCenturyWindow;
                int base = CurrentYear() - window;
                y += base / 100 * 100;
                if (window > 0 && y < base) y += 100;
            }
        } else {
            y = CurrentYear();
            if (order == doDMY) {
                d = n1, m = n2;
            } else {
                m = n1, d = n2;
            }
        }
        Char(sep);  // a separator may close the date
        return TryEncodeDate(y, m, d, Value);
    }

    bool Time(TDateTime& Value) {
        int hour, min = 0, sec = 0, msec = 0, digits;
        if (!Number(hour, digits)) return false;
        if (Char(FSettings.TimeSeparator)) {
            if (!Number(min, digits)) return false;
            if (Char(FSettings.TimeSeparator)) {
                if (!Number(sec, digits)) return false;
                if (Char(FSettings.DecimalSeparator) && !Number(msec, digits)) return false;
            }
        }
        int base = -1;
        if (Text(FSettings.TimeAMString) || Text("AM"))
            base = 0;
        else if (Text(FSettings.TimePMString) || Text("PM"))
            base = 12;
        if (base >= 0) {
            if (hour == 0 || hour > 12) return false;
            if (hour == 12) hour = 0;
            hour += base;
        }
        return TryEncodeTime(hour, min, sec, msec, Value);
    }

  private:
    const std::string& FS;
    const TFormatSettings& FSettings;
    size_t FPos = 0;
};

}  // namespace

bool TryStrToDate(const std::string& S, TDateTime& Value, const TFormatSettings& Settings) {
    TDateScanner scan(S, Settings);
    TDateTime d = 0;
    if (!scan.Date(d) || !scan.AtEnd()) return false;
    Value = d;
    return true;
}

bool TryStrToDate(const std::string& S, TDateTime& Value) {
    return TryStrToDate(S, Value, FormatSettings);
}

TDateTime StrToDate(const std::string& S, const TFormatSettings& Settings) {
    TDateTime d = 0;
    if (!TryStrToDate(S, d, Settings)) throw EConvertError("'" + S + "' is not a valid date");
    return d;
}

TDateTime StrToDate(const std::string& S) {
    return StrToDate(S, FormatSettings);
}

bool TryStrToTime(const std::string& S, TDateTime& Value, const TFormatSettings& Settings) {
    TDateScanner scan(S, Settings);
    TDateTime t = 0;
    if (!scan.Time(t) || !scan.AtEnd()) return false;
    Value = t;
    return true;
}

bool TryStrToTime(const std::string& S, TDateTime& Value) {
    return TryStrToTime(S, Value, FormatSettings);
}

TDateTime StrToTime(const std::string& S) {
    TDateTime t = 0;
    if (!TryStrToTime(S, t)) throw EConvertError("'" + S + "' is not a valid time");
    return t;
}

bool TryStrToDateTime(const std::string& S, TDateTime& Value, const TFormatSettings& Settings) {
    TDateScanner scan(S, Settings);
    TDateTime d = 0, t = 0;
    if (!scan.Date(d)) return false;
    if (!scan.AtEnd() && (!scan.Time(t) || !scan.AtEnd())) return false;
    Value = d >= 0 ? d + t : d - t;
    return true;
}

bool TryStrToDateTime(const std::string& S, TDateTime& Value) {
    return TryStrToDateTime(S, Value, FormatSettings);
}

TDateTime StrToDateTime(const std::string& S) {
    TDateTime v = 0;
    if (!TryStrToDateTime(S, v)) throw EConvertError("'" + S + "' is not a valid date and time");
    return v;
}

// ---------------------------------------------------------------------------------------
// File dates

int DateTimeToFileDate(TDateTime Value) {
    int y, m, d, h, n, s, ms;
    DecodeDateTime(Value, y, m, d, h, n, s, ms);
    if (y < 1980 || y > 2107) return 0;
    uint32_t packed = (uint32_t(y - 1980) << 25) | (uint32_t(m) << 21) | (uint32_t(d) << 16) |
                      (uint32_t(h) << 11) | (uint32_t(n) << 5) | uint32_t(s / 2);
    return static_cast<int>(packed);
}

TDateTime FileDateToDateTime(int FileDate) {
    uint32_t p = static_cast<uint32_t>(FileDate);
    TDateTime v = 0;
    if (!TryEncodeDateTime(int(p >> 25) + 1980, int((p >> 21) & 15), int((p >> 16) & 31),
                           int((p >> 11) & 31), int((p >> 5) & 63), int(p & 31) * 2, 0, v))
        return 0;
    return v;
}

}  // namespace kovo
