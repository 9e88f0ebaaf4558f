#include "host/DateTimePicker.h"

#include <algorithm>
#include <cmath>

#include "host/SysUtils.h"

namespace kovo {

namespace {

constexpr int kBorder = 2;      // the sunken frame
constexpr int kTextLeft = 3;    // from the frame to the first character
constexpr int kSpinWidth = 15;  // the up-down buttons at the right

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

std::string Number(int v, int digits) {
    std::string s = IntToStr(v);
    if (int(s.size()) < digits) s.insert(0, size_t(digits) - s.size(), '0');
    return s;
}

bool StartsWithNoCase(const std::string& s, size_t i, std::string_view what) {
    return s.size() - i >= what.size() &&
           CompareText(std::string_view(s).substr(i, what.size()), what) == 0;
}

// The parts of a decoded value.
struct TParts {
    int Year = 0, Month = 0, Day = 0, Dow = 0, Hour = 0, Min = 0, Sec = 0, MSec = 0;
};

TParts Decode(TDateTime Value) {
    TParts p;
    DecodeDateFully(Value, p.Year, p.Month, p.Day, p.Dow);
    DecodeTime(Value, p.Hour, p.Min, p.Sec, p.MSec);
    return p;
}

bool Encode(TParts p, TDateTime& Value) {
    if (p.Year < 1 || p.Year > 9999 || p.Month < 1 || p.Month > 12) return false;
    p.Day = std::clamp(p.Day, 1, DaysInMonth(p.Year, p.Month));
    return TryEncodeDateTime(p.Year, p.Month, p.Day, p.Hour, p.Min, p.Sec, p.MSec, Value);
}

// Date and time of day put together, keeping the rule for values before 1899.
TDateTime Combine(TDateTime DatePart, TDateTime TimePart) {
    double day = std::trunc(DatePart);
    double time = std::fabs(TimePart - std::trunc(TimePart));
    return day < 0 ? day - time : day + time;
}

int Wrap(int Value, int Lo, int Hi) {
    int n = Hi - Lo + 1;
    return ((Value - Lo) % n + n) % n + Lo;
}

}  // namespace

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle.Include(csOpaque);
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 186, 21);
    FDateTime = kovo::Date();
}

TDateTimePicker::~TDateTimePicker() = default;

// ---------------------------------------------------------------------------------------
// Value and format

void TDateTimePicker::SetDateTime(TDateTime Value) {
    if (Value == FDateTime) return;
    FDateTime = Value;
    FTyped.clear();
    Invalidated();
}

TDateTime TDateTimePicker::Date() const {
    return std::trunc(FDateTime);
}

void TDateTimePicker::SetDate(TDateTime Value) {
    SetDateTime(Combine(Value, FDateTime));
}

TDateTime TDateTimePicker::Time() const {
    return std::fabs(FDateTime - std::trunc(FDateTime));
}

void TDateTimePicker::SetTime(TDateTime Value) {
    SetDateTime(Combine(FDateTime, Value));
}

void TDateTimePicker::SetKind(TDateTimeKind Value) {
    if (FKind == Value) return;
    FKind = Value;
    FFieldIndex = 0;
    Invalidated();
}

void TDateTimePicker::SetFormat(const std::string& Value) {
    if (FFormat == Value) return;
    FFormat = Value;
    FFieldIndex = 0;
    Invalidated();
}

void TDateTimePicker::SetDateFormat(TDTDateFormat Value) {
    if (FDateFormat == Value) return;
    FDateFormat = Value;
    Invalidated();
}

std::string TDateTimePicker::EffectiveFormat() const {
    if (!FFormat.empty()) return FFormat;
    if (FKind == dtkTime) return FormatSettings.LongTimeFormat;
    return FDateFormat == dfLong ? FormatSettings.LongDateFormat : FormatSettings.ShortDateFormat;
}

std::string TDateTimePicker::GetText() const {
    BuildSegments();
    std::string s;
    for (const TSegment& seg : FSegments) s += seg.Text;
    return s;
}

void TDateTimePicker::Invalidated() {
    FSegmentsValid = false;
    int n = FieldCount();
    FFieldIndex = n == 0 ? 0 : std::clamp(FFieldIndex, 0, n - 1);
    Invalidate();
}

// ---------------------------------------------------------------------------------------
// The text split into fields. The walk over the format follows FormatDateTime token by
// token, so that the parts put together are exactly the text FormatDateTime makes.

void TDateTimePicker::BuildSegments() const {
    if (FSegmentsValid) return;
    FSegments.clear();
    AppendSegments(EffectiveFormat(), 0);
    // Neighbouring literals become one part.
    std::vector<TSegment> merged;
    for (TSegment& s : FSegments) {
        if (s.Text.empty() && s.Field == dtfLiteral) continue;
        if (!merged.empty() && s.Field == dtfLiteral && merged.back().Field == dtfLiteral)
            merged.back().Text += s.Text;
        else
            merged.push_back(std::move(s));
    }
    FSegments = std::move(merged);
    FSegmentsValid = true;
}

void TDateTimePicker::AppendSegments(const std::string& Fmt, int Level) const {
    if (Level > 2) return;  // formats that name each other
    const TFormatSettings& fs = FormatSettings;
    TParts p = Decode(FDateTime);
    auto add = [&](TDTField f, std::string text, int digits) {
        FSegments.push_back(TSegment{f, std::move(text), digits});
    };
    auto literal = [&](std::string text) { add(dtfLiteral, std::move(text), 0); };
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
                if (run <= 2)
                    add(dtfYear2, Number(p.Year % 100, 2), 2);
                else
                    add(dtfYear, Number(p.Year, 4), 4);
                i += run;
                break;
            case 'M':
                if (run == 1)
                    add(dtfMonth, IntToStr(p.Month), 2);
                else if (run == 2)
                    add(dtfMonth, Number(p.Month, 2), 2);
                else if (p.Month >= 1)
                    add(dtfMonthName,
                        run == 3 ? fs.ShortMonthNames[p.Month - 1] : fs.LongMonthNames[p.Month - 1],
                        2);
                i += run;
                break;
            case 'D':
                if (run == 1)
                    add(dtfDay, IntToStr(p.Day), 2);
                else if (run == 2)
                    add(dtfDay, Number(p.Day, 2), 2);
                else if (run == 5)
                    AppendSegments(fs.ShortDateFormat, Level + 1);
                else if (run >= 6)
                    AppendSegments(fs.LongDateFormat, Level + 1);
                else if (p.Dow >= 1)
                    add(dtfDayName,
                        run == 3 ? fs.ShortDayNames[p.Dow - 1] : fs.LongDayNames[p.Dow - 1], 0);
                i += run;
                break;
            case 'H': {
                bool twelve = FormatHasAmPm(Fmt, i + run);
                int hour = p.Hour;
                if (twelve) {
                    hour %= 12;
                    if (hour == 0) hour = 12;
                }
                add(twelve ? dtfHour12 : dtfHour, run == 1 ? IntToStr(hour) : Number(hour, 2), 2);
                i += run;
                break;
            }
            case 'N':
                add(dtfMinute, run == 1 ? IntToStr(p.Min) : Number(p.Min, 2), 2);
                i += run;
                break;
            case 'S':
                add(dtfSecond, run == 1 ? IntToStr(p.Sec) : Number(p.Sec, 2), 2);
                i += run;
                break;
            case 'Z':
                add(dtfMSec, run <= 2 ? IntToStr(p.MSec) : Number(p.MSec, 3), 3);
                i += run;
                break;
            case 'T':
                AppendSegments(run == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, Level + 1);
                i += run;
                break;
            case 'C':
                AppendSegments(fs.ShortDateFormat, Level + 1);
                if (p.Hour != 0 || p.Min != 0 || p.Sec != 0) {
                    literal(" ");
                    AppendSegments(fs.LongTimeFormat, Level + 1);
                }
                i += run;
                break;
            case 'A': {
                bool pm = p.Hour >= 12;
                if (StartsWithNoCase(Fmt, i, "AM/PM")) {
                    add(dtfAmPm, Fmt.substr(pm ? i + 3 : i, 2), 0);
                    i += 5;
                } else if (StartsWithNoCase(Fmt, i, "A/P")) {
                    add(dtfAmPm, std::string(1, Fmt[pm ? i + 2 : i]), 0);
                    i += 3;
                } else if (StartsWithNoCase(Fmt, i, "AMPM")) {
                    add(dtfAmPm, pm ? fs.TimePMString : fs.TimeAMString, 0);
                    i += 4;
                } else {
                    literal(std::string(1, Fmt[i]));
                    i += 1;
                }
                break;
            }
            case '/':
                if (fs.DateSeparator != '\0') literal(std::string(1, fs.DateSeparator));
                ++i;
                break;
            case ':':
                if (fs.TimeSeparator != '\0') literal(std::string(1, fs.TimeSeparator));
                ++i;
                break;
            case '\'':
            case '"': {
                size_t close = Fmt.find(starter, i + 1);
                if (close == std::string::npos) close = Fmt.size();
                literal(Fmt.substr(i + 1, close - i - 1));
                i = close + 1;
                break;
            }
            default:
                literal(std::string(1, starter));
                ++i;
                break;
        }
    }
}

int TDateTimePicker::FieldCount() const {
    BuildSegments();
    int n = 0;
    for (const TSegment& s : FSegments)
        if (s.Field != dtfLiteral) ++n;
    return n;
}

int TDateTimePicker::SegmentOfField(int Field) const {
    BuildSegments();
    int n = 0;
    for (size_t i = 0; i < FSegments.size(); ++i) {
        if (FSegments[i].Field == dtfLiteral) continue;
        if (n++ == Field) return int(i);
    }
    return -1;
}

TDTField TDateTimePicker::FieldKind(int Index) const {
    int s = SegmentOfField(Index);
    return s < 0 ? dtfLiteral : FSegments[size_t(s)].Field;
}

void TDateTimePicker::SetFieldIndex(int Value) {
    int n = FieldCount();
    Value = n == 0 ? 0 : std::clamp(Value, 0, n - 1);
    if (Value == FFieldIndex) return;
    CommitTyped();
    FFieldIndex = Value;
    Invalidate();
}

void TDateTimePicker::MoveField(int Delta) {
    SetFieldIndex(FFieldIndex + Delta);
}

void TDateTimePicker::Layout() {
    BuildSegments();
    Canvas()->Font()->Assign(Font());
    FSegmentLeft.clear();
    int x = kBorder + kTextLeft;
    for (const TSegment& s : FSegments) {
        FSegmentLeft.push_back(x);
        x += Canvas()->TextWidth(s.Text);
    }
    FSegmentLeft.push_back(x);
}

TRect TDateTimePicker::FieldRect(int Index) {
    int s = SegmentOfField(Index);
    if (s < 0) return {};
    Layout();
    return TRect{FSegmentLeft[size_t(s)], kBorder, FSegmentLeft[size_t(s) + 1], Height() - kBorder};
}

TRect TDateTimePicker::SpinUpRect() const {
    int right = Width() - kBorder, top = kBorder, bottom = Height() - kBorder;
    return TRect{right - kSpinWidth, top, right, top + (bottom - top) / 2};
}

TRect TDateTimePicker::SpinDownRect() const {
    TRect up = SpinUpRect();
    return TRect{up.Left, up.Bottom, up.Right, Height() - kBorder};
}

// ---------------------------------------------------------------------------------------
// Changing the value

void TDateTimePicker::Change() {
    if (OnChange) OnChange(this);
}

void TDateTimePicker::UserSetValue(TDateTime Value) {
    if (Value == FDateTime) return;
    FDateTime = Value;
    FSegmentsValid = false;
    Invalidate();
    Change();
}

void TDateTimePicker::StepField(int Delta) {
    CommitTyped();
    int s = SegmentOfField(FFieldIndex);
    if (s < 0) return;
    TParts p = Decode(FDateTime);
    if (p.Year == 0) return;  // a value outside the calendar cannot be stepped
    switch (FSegments[size_t(s)].Field) {
        case dtfYear:
        case dtfYear2:
            p.Year = std::clamp(p.Year + Delta, 1, 9999);
            break;
        case dtfMonth:
        case dtfMonthName:
            p.Month = Wrap(p.Month + Delta, 1, 12);
            break;
        case dtfDay:
        case dtfDayName:
            p.Day = Wrap(p.Day + Delta, 1, DaysInMonth(p.Year, p.Month));
            break;
        case dtfHour:
        case dtfHour12:
            p.Hour = Wrap(p.Hour + Delta, 0, 23);
            break;
        case dtfMinute:
            p.Min = Wrap(p.Min + Delta, 0, 59);
            break;
        case dtfSecond:
            p.Sec = Wrap(p.Sec + Delta, 0, 59);
            break;
        case dtfMSec:
            p.MSec = Wrap(p.MSec + Delta, 0, 999);
            break;
        case dtfAmPm:
            p.Hour = (p.Hour + 12) % 24;
            break;
        case dtfLiteral:
            return;
    }
    TDateTime v;
    if (Encode(p, v)) UserSetValue(v);
}

void TDateTimePicker::TypeDigit(int Digit) {
    int s = SegmentOfField(FFieldIndex);
    if (s < 0) return;
    const TSegment seg = FSegments[size_t(s)];
    if (seg.Digits == 0) return;
    TParts p = Decode(FDateTime);
    if (p.Year == 0) return;
    int lo = 0, hi = 0;
    switch (seg.Field) {
        case dtfYear:
            lo = 1, hi = 9999;
            break;
        case dtfYear2:
            lo = 0, hi = 99;
            break;
        case dtfMonth:
        case dtfMonthName:
            lo = 1, hi = 12;
            break;
        case dtfDay:
            lo = 1, hi = DaysInMonth(p.Year, p.Month);
            break;
        case dtfHour:
            lo = 0, hi = 23;
            break;
        case dtfHour12:
            lo = 1, hi = 12;
            break;
        case dtfMinute:
        case dtfSecond:
            lo = 0, hi = 59;
            break;
        case dtfMSec:
            lo = 0, hi = 999;
            break;
        default:
            return;
    }
    FTyped += char('0' + Digit);
    int v = StrToIntDef(FTyped, 0);
    if (v > hi) {  // no longer a value of the field: start again with this digit
        FTyped = std::string(1, char('0' + Digit));
        v = Digit;
    }
    bool full = int(FTyped.size()) >= seg.Digits || v * 10 > hi;
    if (seg.Field == dtfYear) {
        // A year takes effect when all its digits are in (or when the field is left).
        if (full) CommitTyped();
        Invalidate();
        if (full) MoveField(1);
        return;
    }
    if (v >= lo) {
        switch (seg.Field) {
            case dtfYear2:
                p.Year = p.Year / 100 * 100 + v;
                break;
            case dtfMonth:
            case dtfMonthName:
                p.Month = v;
                break;
            case dtfDay:
                p.Day = v;
                break;
            case dtfHour:
                p.Hour = v;
                break;
            case dtfHour12:
                p.Hour = v % 12 + (p.Hour >= 12 ? 12 : 0);
                break;
            case dtfMinute:
                p.Min = v;
                break;
            case dtfSecond:
                p.Sec = v;
                break;
            case dtfMSec:
                p.MSec = v;
                break;
            default:
                break;
        }
        TDateTime value;
        if (Encode(p, value)) UserSetValue(value);
    }
    if (full) {
        FTyped.clear();
        MoveField(1);
    }
}

void TDateTimePicker::CommitTyped() {
    if (FTyped.empty()) return;
    std::string typed = FTyped;
    FTyped.clear();
    int s = SegmentOfField(FFieldIndex);
    if (s < 0 || FSegments[size_t(s)].Field != dtfYear) return;
    int v = StrToIntDef(typed, 0);
    if (v < 1) return;
    TParts p = Decode(FDateTime);
    if (p.Year == 0) return;
    // One or two digits name a year of the current century.
    p.Year = typed.size() <= 2 ? CurrentYear() / 100 * 100 + v : v;
    TDateTime value;
    if (Encode(p, value)) UserSetValue(value);
}

// ---------------------------------------------------------------------------------------
// Input

void TDateTimePicker::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    switch (Key) {
        case VK_LEFT:
            MoveField(-1);
            break;
        case VK_RIGHT:
            MoveField(1);
            break;
        case VK_HOME:
            SetFieldIndex(0);
            break;
        case VK_END:
            SetFieldIndex(FieldCount() - 1);
            break;
        case VK_UP:
        case VK_ADD:
            StepField(1);
            break;
        case VK_DOWN:
        case VK_SUBTRACT:
            StepField(-1);
            break;
        default:
            return;
    }
    Key = 0;
}

void TDateTimePicker::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    if (Key == 0) return;
    if (Key >= U'0' && Key <= U'9') {
        TypeDigit(int(Key - U'0'));
        Key = 0;
        return;
    }
    int s = SegmentOfField(FFieldIndex);
    if (s < 0) return;
    if (FSegments[size_t(s)].Field == dtfAmPm && Key < 128) {
        // The first letter of the morning or the afternoon marker picks it.
        char c = Upper(char(Key));
        TParts p = Decode(FDateTime);
        std::string am = FormatSettings.TimeAMString, pm = FormatSettings.TimePMString;
        int hour = p.Hour;
        if (c == 'A' || (!am.empty() && c == Upper(am[0])))
            hour = p.Hour % 12;
        else if (c == 'P' || (!pm.empty() && c == Upper(pm[0])))
            hour = p.Hour % 12 + 12;
        if (hour != p.Hour) {
            p.Hour = hour;
            TDateTime v;
            if (Encode(p, v)) UserSetValue(v);
        }
        Key = 0;
        return;
    }
    // The separator after the field moves on to the next field.
    if (size_t(s) + 1 < FSegments.size() && FSegments[size_t(s) + 1].Field == dtfLiteral &&
        Key < 128 && Key > 32 &&
        FSegments[size_t(s) + 1].Text.find(char(Key)) != std::string::npos) {
        CommitTyped();
        MoveField(1);
        Key = 0;
    }
}

void TDateTimePicker::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (CanFocus() && !Focused()) SetFocus();
    if (Button == mbLeft) {
        TPoint p{X, Y};
        if (SpinUpRect().Contains(p)) {
            StepField(1);
        } else if (SpinDownRect().Contains(p)) {
            StepField(-1);
        } else {
            // The field under the point, or the nearest one.
            int best = -1, bestDistance = 0;
            for (int f = 0; f < FieldCount(); ++f) {
                TRect r = FieldRect(f);
                int d = X < r.Left ? r.Left - X : X >= r.Right ? X - r.Right + 1 : 0;
                if (best < 0 || d < bestDistance) {
                    best = f;
                    bestDistance = d;
                }
            }
            if (best >= 0) SetFieldIndex(best);
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TDateTimePicker::DoExit() {
    CommitTyped();
    Invalidate();
    TCustomControl::DoExit();
}

void TDateTimePicker::CMEnabledChanged(TMessage& Message) {
    TCustomControl::CMEnabledChanged(Message);
    Invalidate();
}

void TDateTimePicker::CMFontChanged(TMessage& Message) {
    TCustomControl::CMFontChanged(Message);
    Invalidate();
}

// ---------------------------------------------------------------------------------------
// Drawing

void TDateTimePicker::Paint() {
    TCanvas* C = Canvas();
    Layout();
    int w = Width(), h = Height();
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetMode(pmCopy);
    C->Brush()->SetStyle(bsSolid);
    // Disabled, the window colour turns grey; a colour the program chose stays.
    TColor background = Color();
    if (!Enabled() && background == clWindow) background = clBtnFace;
    C->Brush()->SetColor(background);
    C->FillRect(TRect{0, 0, w, h});
    bool focused = Focused() && Enabled();
    int textH = C->TextHeight("0");
    int y = (h - textH) / 2;
    int current = SegmentOfField(FFieldIndex);
    TRect spin{SpinUpRect().Left, kBorder, w - kBorder, h - kBorder};
    for (size_t i = 0; i < FSegments.size(); ++i) {
        TRect cell{FSegmentLeft[i], kBorder, FSegmentLeft[i + 1], h - kBorder};
        cell.Right = std::min(cell.Right, spin.Left);
        if (cell.IsEmpty()) continue;
        bool highlight = focused && int(i) == current;
        if (highlight) {
            C->Brush()->SetColor(clHighlight);
            C->Brush()->SetStyle(bsSolid);
            C->FillRect(TRect{cell.Left, y, cell.Right, y + textH});
        }
        C->Brush()->SetStyle(bsClear);
        C->Font()->SetColor(!Enabled()  ? clGrayText
                            : highlight ? clHighlightText
                                        : Font()->Color());
        // A year being typed shows its digits so far.
        bool typing = int(i) == current && !FTyped.empty() && FSegments[i].Field == dtfYear;
        C->TextRect(cell, cell.Left, y, typing ? FTyped : FSegments[i].Text);
    }
    // The spin buttons: two raised halves with a small triangle each.
    auto button = [&](const TRect& r, bool up) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(clBtnFace);
        C->FillRect(r);
        auto line = [&](int x0, int y0, int x1, int y1, TColor c) {
            C->Pen()->SetColor(c);
            C->MoveTo(x0, y0);
            C->LineTo(x1, y1);
        };
        line(r.Left, r.Bottom - 1, r.Left, r.Top, clBtnHighlight);
        line(r.Left, r.Top, r.Right - 1, r.Top, clBtnHighlight);
        line(r.Left, r.Bottom - 1, r.Right - 1, r.Bottom - 1, clBtnShadow);
        line(r.Right - 1, r.Top, r.Right - 1, r.Bottom, clBtnShadow);
        int cx = r.Left + (r.Width() - 1) / 2, cy = r.Top + (r.Height() - 1) / 2;
        C->Brush()->SetColor(Enabled() ? clBtnText : clGrayText);
        for (int k = 0; k < 3; ++k) {
            int row = up ? cy - 1 + k : cy + 1 - k;
            C->FillRect(TRect{cx - k, row, cx + k + 1, row + 1});
        }
    };
    button(SpinUpRect(), true);
    button(SpinDownRect(), false);
    // The sunken frame of an edit box.
    auto line = [&](int x0, int y0, int x1, int y1, TColor c) {
        C->Pen()->SetColor(c);
        C->MoveTo(x0, y0);
        C->LineTo(x1, y1);
    };
    int r = w - 1, b = h - 1;
    line(0, b, 0, 0, clBtnShadow);
    line(0, 0, r, 0, clBtnShadow);
    line(0, b, r, b, clBtnHighlight);
    line(r, 0, r, b + 1, clBtnHighlight);
    line(1, b - 1, 1, 1, cl3DDkShadow);
    line(1, 1, r - 1, 1, cl3DDkShadow);
    line(1, b - 1, r - 1, b - 1, cl3DLight);
    line(r - 1, 1, r - 1, b, cl3DLight);
}

}  // namespace kovo
