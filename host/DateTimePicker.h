// TDateTimePicker: a date or a time shown in an edit-like box as its Format writes it. The
// text is made of fields (day, month, year, hour, ...) between literal parts; the user picks
// a field with Left/Right or the mouse, steps it with Up/Down or the spin buttons at the
// right, and types digits into it. OnChange follows every change the user makes.
#pragma once

#include <string>
#include <vector>

#include "host/DateUtils.h"
#include "host/WinControl.h"

namespace kovo {

enum TDateTimeKind : uint8_t { dtkDate, dtkTime };
// The format used when Format is empty: the short or the long date format.
enum TDTDateFormat : uint8_t { dfShort, dfLong };

// What a part of the picker's text shows.
enum TDTField : uint8_t {
    dtfLiteral,    // fixed text between fields
    dtfYear,       // yyyy
    dtfYear2,      // yy
    dtfMonth,      // m, mm
    dtfMonthName,  // mmm, mmmm
    dtfDay,        // d, dd
    dtfDayName,    // ddd, dddd (steps the day)
    dtfHour,       // h, hh on the 24-hour clock
    dtfHour12,     // h, hh before an am/pm marker
    dtfMinute,     // n, nn (and m after h)
    dtfSecond,     // s, ss
    dtfMSec,       // z, zzz
    dtfAmPm        // am/pm, a/p, ampm
};

class TDateTimePicker : public TCustomControl {
  public:
    explicit TDateTimePicker(TComponent* AOwner);
    ~TDateTimePicker() override;

    // The value; Date is its day (the time kept when set), Time its time of day (the day
    // kept). Setting them by program does not fire OnChange.
    TDateTime DateTime() const { return FDateTime; }
    void SetDateTime(TDateTime Value);
    TDateTime Date() const;
    void SetDate(TDateTime Value);
    TDateTime Time() const;
    void SetTime(TDateTime Value);

    TDateTimeKind Kind() const { return FKind; }
    void SetKind(TDateTimeKind Value);
    // FormatDateTime tokens. Empty: the short (or, with DateFormat dfLong, the long) date
    // format for dtkDate, the long time format for dtkTime.
    const std::string& Format() const { return FFormat; }
    void SetFormat(const std::string& Value);
    TDTDateFormat DateFormat() const { return FDateFormat; }
    void SetDateFormat(TDTDateFormat Value);
    // The format in effect and the text shown (FormatDateTime of that format).
    std::string EffectiveFormat() const;
    std::string GetText() const override;

    // The fields of the text: their number, the one the keys act on, and their places.
    int FieldCount() const;
    int FieldIndex() const { return FFieldIndex; }
    void SetFieldIndex(int Value);
    TDTField FieldKind(int Index) const;
    // Index's part of the text, in the picker's coordinates.
    TRect FieldRect(int Index);
    // The up and down halves of the spin buttons.
    TRect SpinUpRect() const;
    TRect SpinDownRect() const;

    // Steps the current field as Up (Delta 1) or Down (-1) does.
    void StepField(int Delta);

    TNotifyEvent OnChange;

  protected:
    // After every change of the value by the user: fires OnChange.
    virtual void Change();

    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoExit() override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    LRESULT GetDlgCode() const override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

  private:
    struct TSegment {
        TDTField Field;    // what the part shows
        std::string Text;  // as drawn
        int Digits;        // digits a typed number can have (0: not typed into)
    };

    // Splits the text of the current value along the effective format.
    void BuildSegments() const;
    void AppendSegments(const std::string& Fmt, int Level) const;
    int SegmentOfField(int Field) const;  // index into FSegments, -1 when none
    void Layout();                        // segment positions after the font or text changed
    // Applies a change made by the user: stores it and fires Change.
    void UserSetValue(TDateTime Value);
    void TypeDigit(int Digit);
    void CommitTyped();
    void MoveField(int Delta);
    void Invalidated();

    TDateTime FDateTime = 0;                  // the value
    TDateTimeKind FKind = dtkDate;            // date or time picker
    std::string FFormat;                      // empty: by Kind and DateFormat
    TDTDateFormat FDateFormat = dfShort;      // date format used without Format
    int FFieldIndex = 0;                      // the field the keys act on
    std::string FTyped;                       // digits typed into the current field so far
    mutable std::vector<TSegment> FSegments;  // the text split into parts
    mutable bool FSegmentsValid = false;      // FSegments matches value and format
    std::vector<int> FSegmentLeft;            // x of each part, after Layout
};

}  // namespace kovo
