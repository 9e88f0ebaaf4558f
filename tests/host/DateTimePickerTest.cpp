#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/Application.h"
#include "host/DateTimePicker.h"
#include "host/Form.h"
#include "host/platform/Headless.h"

using namespace kovo;

namespace {

struct PickerFixture : ::testing::Test {
    std::unique_ptr<TForm> form;
    TDateTimePicker* picker = nullptr;
    int changes = 0;

    void SetUp() override {
        Headless::Instance();
        ResetFormatSettings();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 300, 100);
        picker = new TDateTimePicker(form.get());
        picker->SetParent(form.get());
        picker->SetBounds(10, 10, 200, 21);
        picker->SetDateTime(EncodeDateTime(2021, 1, 31, 14, 30, 5, 0));
        picker->OnChange = [this](TObject*) { ++changes; };
        form->Show();
        picker->SetFocus();
        Application->ProcessMessages();
    }
    void TearDown() override {
        form.reset();
        ResetFormatSettings();
    }
    void Press(WORD Key) { Headless::PressKey(picker, Key); }
    void Type(const std::string& S) { Headless::TypeText(picker, S); }
};

TEST_F(PickerFixture, TheTextFollowsTheFormat) {
    TDateTime v = EncodeDateTime(2021, 11, 5, 9, 7, 3, 45);
    picker->SetDateTime(v);
    const char* formats[] = {
        "dd.MM.yyyy HH:mm",
        "yyyy-mm-dd",
        "d/m/yy",
        "mmmm d, yyyy",
        "dddd dd mmm yyyy",
        "hh:nn:ss am/pm",
        "h:nn a/p",
        "c",
        "ddddd",
        "dddddd",
        "t",
        "tt",
        "'Date:' dd",
        "\"at\" h:mm",
        "hh:mm:ss.zzz",
        "ampm h",
        "yyyyy MMMMM x",
    };
    for (const char* f : formats) {
        picker->SetFormat(f);
        EXPECT_EQ(picker->Text(), FormatDateTime(f, v)) << f;
    }
    EXPECT_EQ(changes, 0);  // setting by program is not a change by the user
}

TEST_F(PickerFixture, AnEmptyFormatFollowsKindAndDateFormat) {
    TDateTime v = picker->DateTime();
    EXPECT_EQ(picker->Text(), FormatDateTime(FormatSettings.ShortDateFormat, v));
    picker->SetDateFormat(dfLong);
    EXPECT_EQ(picker->Text(), FormatDateTime(FormatSettings.LongDateFormat, v));
    picker->SetKind(dtkTime);
    EXPECT_EQ(picker->Text(), FormatDateTime(FormatSettings.LongTimeFormat, v));
    picker->SetFormat("hh:nn");
    EXPECT_EQ(picker->Text(), "14:30");
}

TEST_F(PickerFixture, FieldsAreTheTokensBetweenLiterals) {
    picker->SetFormat("dd.MM.yyyy HH:mm");
    ASSERT_EQ(picker->FieldCount(), 5);
    TDTField kinds[] = {dtfDay, dtfMonth, dtfYear, dtfHour, dtfMinute};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(picker->FieldKind(i), kinds[i]) << i;
    EXPECT_LT(picker->FieldRect(0).Right, picker->FieldRect(1).Left);
    picker->SetFormat("h:nn am/pm ddd");
    TDTField twelve[] = {dtfHour12, dtfMinute, dtfAmPm, dtfDayName};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(picker->FieldKind(i), twelve[i]) << i;
}

TEST_F(PickerFixture, ArrowsStepTheFieldUnderTheCaret) {
    picker->SetFormat("dd.MM.yyyy HH:mm");
    // 31.01.2021 14:30
    Press(VK_UP);  // day 31 wraps to 1 within January
    EXPECT_EQ(picker->Text(), "01.01.2021 14:30");
    Press(VK_DOWN);
    EXPECT_EQ(picker->Text(), "31.01.2021 14:30");
    Press(VK_RIGHT);
    Press(VK_UP);  // February has 28 days in 2021
    EXPECT_EQ(picker->Text(), "28.02.2021 14:30");
    Press(VK_DOWN);
    Press(VK_DOWN);  // December of the same year
    EXPECT_EQ(picker->Text(), "28.12.2021 14:30");
    Press(VK_RIGHT);
    Press(VK_DOWN);
    EXPECT_EQ(picker->Text(), "28.12.2020 14:30");
    Press(VK_END);
    for (int i = 0; i < 30; ++i) Press(VK_UP);  // minutes wrap without touching the hour
    EXPECT_EQ(picker->Text(), "28.12.2020 14:00");
    Press(VK_LEFT);
    for (int i = 0; i < 10; ++i) Press(VK_UP);  // hours wrap without touching the day
    EXPECT_EQ(picker->Text(), "28.12.2020 00:00");
    Press(VK_HOME);
    EXPECT_EQ(picker->FieldIndex(), 0);
    Press(VK_LEFT);  // no field before the first
    EXPECT_EQ(picker->FieldIndex(), 0);
    EXPECT_EQ(changes, 46);
    EXPECT_EQ(picker->DateTime(), EncodeDateTime(2020, 12, 28, 0, 0, 5, 0));  // seconds kept
}

TEST_F(PickerFixture, DigitsAreTypedIntoFieldsAndMoveOn) {
    picker->SetFormat("dd.MM.yyyy");
    Type("05");  // two digits fill the day
    EXPECT_EQ(picker->FieldIndex(), 1);
    Type("1");  // 1 could still become 10, 11 or 12
    EXPECT_EQ(picker->FieldIndex(), 1);
    Type("1");
    EXPECT_EQ(picker->FieldIndex(), 2);
    Type("20");
    EXPECT_EQ(picker->Text(), "05.11.2021");  // a year waits for its four digits
    Type("19");
    EXPECT_EQ(picker->Text(), "05.11.2019");
    Press(VK_HOME);
    Type("4");  // no day starts with 4 and goes on: at once to the month
    EXPECT_EQ(picker->Text(), "04.11.2019");
    EXPECT_EQ(picker->FieldIndex(), 1);
    Press(VK_LEFT);
    Type("3.");  // the separator ends the field
    EXPECT_EQ(picker->Text(), "03.11.2019");
    EXPECT_EQ(picker->FieldIndex(), 1);
    Type("9");
    EXPECT_EQ(picker->Text(), "03.09.2019");
    Press(VK_RIGHT);
    Type("98");  // two digits and the field left: a year of this century
    Press(VK_LEFT);
    EXPECT_EQ(YearOf(picker->DateTime()), CurrentYear() / 100 * 100 + 98);
}

TEST_F(PickerFixture, TypingKeepsTheDayValid) {
    picker->SetFormat("dd.MM.yyyy");
    Press(VK_RIGHT);
    Type("2");  // 31 January becomes 28 February
    EXPECT_EQ(picker->Text(), "28.02.2021");
    Press(VK_HOME);
    Type("3");  // 3 and then 0 would be past February's end
    Type("0");
    EXPECT_EQ(picker->Text(), "03.02.2021");
}

TEST_F(PickerFixture, TwelveHourFieldsAndTheMarker) {
    picker->SetKind(dtkTime);
    picker->SetFormat("hh:nn am/pm");
    EXPECT_EQ(picker->Text(), "02:30 pm");
    Press(VK_END);
    Type("a");
    EXPECT_EQ(picker->Text(), "02:30 am");
    Press(VK_UP);
    EXPECT_EQ(picker->Text(), "02:30 pm");
    Press(VK_HOME);
    Type("12");  // twelve in the afternoon is noon
    EXPECT_EQ(picker->Text(), "12:30 pm");
    EXPECT_EQ(HourOf(picker->DateTime()), 12);
}

TEST_F(PickerFixture, DateAndTimeAreSetApart) {
    picker->SetDate(EncodeDate(2000, 2, 29));
    EXPECT_EQ(picker->DateTime(), EncodeDateTime(2000, 2, 29, 14, 30, 5, 0));
    picker->SetTime(EncodeTime(8, 15, 0, 0));
    EXPECT_EQ(picker->DateTime(), EncodeDateTime(2000, 2, 29, 8, 15, 0, 0));
    EXPECT_EQ(picker->Date(), EncodeDate(2000, 2, 29));
    EXPECT_DOUBLE_EQ(picker->Time(), EncodeTime(8, 15, 0, 0));
    EXPECT_EQ(changes, 0);
}

TEST_F(PickerFixture, TheMousePicksFieldsAndSteps) {
    picker->SetFormat("dd.MM.yyyy");
    TRect year = picker->FieldRect(2);
    Headless::Click(picker, year.Left + 2, 10);
    EXPECT_EQ(picker->FieldIndex(), 2);
    TRect up = picker->SpinUpRect(), down = picker->SpinDownRect();
    Headless::Click(picker, up.Left + 5, up.Top + 3);
    EXPECT_EQ(picker->Text(), "31.01.2022");
    Headless::Advance(1000);
    Headless::Click(picker, down.Left + 5, down.Bottom - 3);
    Headless::Advance(1000);
    Headless::Click(picker, down.Left + 5, down.Bottom - 3);
    EXPECT_EQ(picker->Text(), "31.01.2020");
    EXPECT_EQ(changes, 3);
}

TEST_F(PickerFixture, TheCurrentFieldIsHighlightedWhileFocused) {
    picker->SetFormat("dd.MM.yyyy");
    Press(VK_RIGHT);
    TRect month = picker->FieldRect(1), day = picker->FieldRect(0);
    int y = (picker->Height() - picker->Canvas()->TextHeight("0")) / 2;  // top of the band
    EXPECT_EQ(Headless::PixelAt(picker, month.Left + 1, y), ColorToRGB(clHighlight));
    EXPECT_EQ(Headless::PixelAt(picker, day.Left + 1, y), ColorToRGB(clWindow));
    picker->SetEnabled(false);
    EXPECT_EQ(Headless::PixelAt(picker, month.Left + 1, y), ColorToRGB(clBtnFace));
    picker->SetColor(0xE0E0E0);  // the colour a program gives a read-only field stays
    EXPECT_EQ(Headless::PixelAt(picker, month.Left + 1, y), TColor(0xE0E0E0));
}

}  // namespace
