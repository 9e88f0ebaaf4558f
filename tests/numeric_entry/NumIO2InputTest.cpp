// TNumIO2 driven through the headless backend: keys with their checks and beeps, the
// clipboard, the fixed-point caret rule, selection with the mouse, the spin buttons with and
// without pivots, the gauge, focus and the blinking caret on the virtual clock.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/Application.h"
#include "host/Clipboard.h"
#include "host/Form.h"
#include "host/platform/Headless.h"
#include "numeric_entry/NumIO.h"

using namespace kovo;

namespace {

using TKeys = std::vector<std::pair<WORD, TShiftState>>;
const TShiftState Shift{ssShift}, Ctrl{ssCtrl}, None{};
constexpr WORD KeyMinus = 189, KeyPlus = 187, KeyComma = 188, KeyPoint = 190;

class NumIO2Input : public ::testing::Test {
  protected:
    void SetUp() override {
        Headless::Instance();
        Headless::SetTimersRefused(false);
        Headless::SetModalHandler(nullptr);
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 300, 120);
        field = new TNumIO2(form.get());
        field->SetParent(form.get());
        field->SetBounds(10, 10, 160, 28);
        other = new TNumIO2(form.get());
        other->SetParent(form.get());
        other->SetBounds(10, 60, 160, 28);
        form->Show();
        field->SetFocus();
        Application->ProcessMessages();
        Headless::Advance(1000);  // no double click with anything that came before
        field->SetBeep(true);
        Headless::ResetBeeps();
        field->OnChange = [this](TObject*) { ++changes; };
    }

    void Press(const TKeys& Keys) {
        for (const auto& [k, s] : Keys) Headless::PressKey(field, k, s);
    }
    void Key(WORD K, TShiftState S = {}) { Headless::PressKey(field, K, S); }
    // A click on the text at the caret place before character P + 1.
    int XOf(int P) { return field->CharPosToXCoords(P); }
    void Select(int From, int To) {
        field->SetSelEnd(To);
        field->SetSelBegin(From);
        field->SetSelEnd(To);  // the caret at the end, as a drag to the right leaves it
    }

    std::unique_ptr<TForm> form;
    TNumIO2* field = nullptr;
    TNumIO2* other = nullptr;
    int changes = 0;
};

struct TypingCase {
    TInFormat Format;
    TKeys Keys;
    const char* Text;
    int Beeps;
};

TEST_F(NumIO2Input, TypingIsCheckedAtOnceInEveryFormat) {
    const TypingCase cases[] = {
        {itFloat, {{'1', None}, {'A', None}}, "1", 1},
        {itFloat, {{'1', None}, {KeyPoint, None}, {'5', None}}, "1.5", 0},
        {itFloat, {{'1', None}, {KeyComma, None}, {'5', None}}, "1,5", 0},
        {itFloat, {{VK_NUMPAD1, None}, {VK_DECIMAL, None}, {VK_NUMPAD2, None}}, "1,2", 0},
        {itFloat, {{KeyMinus, None}}, "-", 0},
        {itFloat, {{KeyMinus, None}, {KeyMinus, None}}, "-", 1},
        {itFloat, {{VK_ADD, None}, {'3', None}}, "+3", 0},
        {itFloat, {{KeyPlus, None}, {VK_SUBTRACT, None}}, "+", 1},
        {itFloat, {{'1', Shift}, {'2', None}}, "12", 0},
        {itFloat, {{'7', None}, {VK_F1, None}, {VK_ESCAPE, None}}, "7", 2},
        {itFloat, {{'7', None}, {'Q', Ctrl}}, "7", 1},
        {itDynamic, {{'4', Shift}}, "", 1},
        {itDynamic, {{'1', None}, {VK_HOME, None}, {'4', Shift}}, "$1", 0},
        {itDynamic, {{'1', None}, {VK_HOME, None}, {'5', Shift}}, "%1", 0},
        {itDynamic, {{'7', None}, {VK_HOME, None}, {'6', Shift}}, "&7", 0},
        {itDynamic,
         {{'1', None}, {VK_HOME, None}, {'4', Shift}, {VK_END, None}, {'F', None}},
         "$1F",
         0},
        {itDynamic,
         {{'1', None}, {VK_HOME, None}, {'5', Shift}, {VK_END, None}, {'2', None}},
         "%1",
         1},
        {itDynamic, {{KeyMinus, None}, {'3', None}, {KeyPoint, None}, {'5', None}}, "-3.5", 0},
        {itHex, {{'A', None}, {'F', None}, {'1', None}, {KeyPoint, None}}, "AF1", 1},
        {itHex, {{'G', None}}, "", 1},
        {itInt, {{KeyMinus, None}, {'5', None}, {KeyPoint, None}}, "-5", 1},
        {itExp, {{'1', None}, {'E', None}, {KeyMinus, None}, {'2', None}}, "1E-2", 0},
        {itExp, {{'1', None}, {'E', None}, {'E', None}}, "1E", 1},
        {itBin, {{'1', None}, {'0', None}, {'2', None}}, "10", 1},
        {itOct, {{'7', None}, {'8', None}}, "7", 1},
    };
    for (const auto& c : cases) {
        field->SetInputFormat(c.Format);
        field->SetText("");
        Headless::ResetBeeps();
        Press(c.Keys);
        EXPECT_EQ(field->Text(), c.Text) << "format " << int(c.Format) << " -> " << c.Text;
        EXPECT_EQ(Headless::BeepCount(), c.Beeps) << "format " << int(c.Format) << " -> " << c.Text;
    }
}

TEST_F(NumIO2Input, OnChangeFiresForAcceptedEditsOnlyAndBeepFollowsItsSwitch) {
    Press({{'1', None}, {'2', None}, {'A', None}, {VK_LEFT, None}, {VK_HOME, None}});
    EXPECT_EQ(field->Text(), "12");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(Headless::BeepCount(), 1);
    field->SetBeep(false);
    Press({{'A', None}, {VK_F2, None}});
    EXPECT_EQ(Headless::BeepCount(), 1);
    EXPECT_EQ(changes, 2);
}

TEST_F(NumIO2Input, ShiftKeySeenByTheFieldMakesThePrefixes) {
    field->SetInputFormat(itDynamic);
    field->SetText("");
    Key('1');
    Key(VK_HOME);
    Headless::KeyDown(field, VK_SHIFT);
    Key('4');
    Headless::KeyUp(field, VK_SHIFT);
    Key(VK_END);
    Key('4');
    EXPECT_EQ(field->Text(), "$14");
}

TEST_F(NumIO2Input, ModifiersReleasedElsewhereAreForgotten) {
    Headless::KeyDown(field, VK_CONTROL);
    other->SetFocus();
    Headless::KeyUp(other, VK_CONTROL);
    field->SetFocus();
    Key('1');
    EXPECT_EQ(field->Text(), "1");
    EXPECT_EQ(Headless::BeepCount(), 0);
}

TEST_F(NumIO2Input, CursorKeysMoveTheCaretWithinTheText) {
    field->SetText("12.5");
    EXPECT_EQ(field->CaretPos(), 0);
    const std::pair<WORD, int> steps[] = {{VK_LEFT, 0},  {VK_RIGHT, 1}, {VK_DOWN, 2}, {VK_END, 4},
                                          {VK_RIGHT, 4}, {VK_UP, 3},    {VK_HOME, 0}};
    for (const auto& [k, caret] : steps) {
        Key(k);
        EXPECT_EQ(field->CaretPos(), caret) << "key " << k;
    }
    EXPECT_EQ(changes, 0);
}

TEST_F(NumIO2Input, BackspaceAndDeleteRemoveOneCharacterOrTheSelection) {
    field->SetText("123.5");
    Key(VK_BACK);  // at 0: nothing
    Key(VK_END);
    Key(VK_DELETE);  // at the end: nothing
    EXPECT_EQ(field->Text(), "123.5");
    EXPECT_EQ(changes, 0);
    Key(VK_BACK);
    EXPECT_EQ(field->Text(), "123.");
    EXPECT_EQ(field->CaretPos(), 4);
    Key(VK_HOME);
    Key(VK_DELETE);
    EXPECT_EQ(field->Text(), "23.");
    EXPECT_EQ(field->CaretPos(), 0);
    Select(1, 3);
    Key(VK_BACK);
    EXPECT_EQ(field->Text(), "2");
    EXPECT_EQ(field->CaretPos(), 1);
    EXPECT_EQ(field->SelBegin(), 1);
    EXPECT_EQ(field->SelEnd(), 1);
    EXPECT_EQ(changes, 3);
    // Deleting the last character leaves the text empty (no zero text without a selection).
    Key(VK_BACK);
    EXPECT_EQ(field->Text(), "");
}

TEST_F(NumIO2Input, DeletingTheWholeSelectionWritesTheZeroTextOfTheFormat) {
    field->SetText("12.34");
    Select(0, 5);
    Key(VK_DELETE);
    EXPECT_EQ(field->Text(), "0.00");
    EXPECT_EQ(field->CaretPos(), 0);
    EXPECT_EQ(field->SelBegin(), 0);
    EXPECT_EQ(field->SelEnd(), 0);
    EXPECT_EQ(changes, 1);

    field->SetInputFormat(itHex);
    Select(0, 8);
    Key(VK_BACK);
    EXPECT_EQ(field->Text(), "00000000");
}

TEST_F(NumIO2Input, ATypedCharacterReplacesTheSelectionAndARefusedEditIsUndone) {
    field->SetText("12.34");
    Select(1, 3);
    Key('9');
    EXPECT_EQ(field->Text(), "1934");
    EXPECT_EQ(field->CaretPos(), 2);
    // A "." where the text has none yet goes in; a second one is refused.
    Key(KeyPoint);
    EXPECT_EQ(field->Text(), "19.34");
    Key(VK_END);
    Key(KeyPoint);
    EXPECT_EQ(field->Text(), "19.34");
    EXPECT_EQ(field->CaretPos(), 5);
    EXPECT_EQ(Headless::BeepCount(), 1);
    // A refused replacement brings back the text and the caret; the selection stays gone.
    Select(0, 2);
    Key('A');
    EXPECT_EQ(field->Text(), "19.34");
    EXPECT_EQ(field->CaretPos(), 2);
    EXPECT_EQ(field->SelBegin(), field->SelEnd());
}

TEST_F(NumIO2Input, FixedPointDecimalsAreOverwrittenFromTheCaret) {
    field->SetInputFormat(itFixPoint);
    field->SetValue(12.5);
    ASSERT_EQ(field->Text(), "12.50");
    // By key: behind the "." the digit after the caret is selected and replaced.
    Key(VK_HOME);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    EXPECT_EQ(field->SelBegin(), field->SelEnd());  // still among the integer digits
    Key(VK_RIGHT);
    EXPECT_EQ(field->CaretPos(), 3);
    EXPECT_EQ(field->SelBegin(), 3);
    EXPECT_EQ(field->SelEnd(), 4);
    Key('7');
    EXPECT_EQ(field->Text(), "12.70");
    EXPECT_EQ(field->SelBegin(), 4);
    EXPECT_EQ(field->SelEnd(), 5);
    Key('3');
    EXPECT_EQ(field->Text(), "12.73");
    EXPECT_EQ(Headless::BeepCount(), 0);

    // By mouse: the first digit would make three decimals and is refused, but selects the
    // digit after the caret; the second one replaces it.
    field->SetValue(12.5);
    Headless::Click(field, XOf(3), 10);
    EXPECT_EQ(field->CaretPos(), 3);
    EXPECT_EQ(field->SelBegin(), field->SelEnd());
    Key('8');
    EXPECT_EQ(field->Text(), "12.50");
    EXPECT_EQ(Headless::BeepCount(), 1);
    EXPECT_EQ(field->SelBegin(), 3);
    EXPECT_EQ(field->SelEnd(), 4);
    Key('8');
    EXPECT_EQ(field->Text(), "12.80");
    // Before the integer digits typing inserts.
    Key(VK_HOME);
    Key('4');
    EXPECT_EQ(field->Text(), "412.80");
}

TEST_F(NumIO2Input, PasteGoesInAtTheCaretWithoutRemovingTheSelection) {
    field->SetText("12.34");
    Select(1, 3);
    Clipboard()->SetAsText("5");
    Key('V', Ctrl);
    EXPECT_EQ(field->Text(), "12.534");
    EXPECT_EQ(field->CaretPos(), 4);
    EXPECT_EQ(changes, 1);
    Clipboard()->SetAsText("x");
    Key('V', Ctrl);
    EXPECT_EQ(field->Text(), "12.534");
    EXPECT_EQ(field->CaretPos(), 4);
    EXPECT_EQ(Headless::BeepCount(), 1);
    Clipboard()->SetAsText("\xC3\xA9");  // not ASCII: refused as well
    Key('V', Ctrl);
    EXPECT_EQ(field->Text(), "12.534");
    Clipboard()->Clear();
    Key('V', Ctrl);
    EXPECT_EQ(field->Text(), "12.534");
    EXPECT_EQ(changes, 1);
}

TEST_F(NumIO2Input, CopyAndCutTakeTheSelection) {
    field->SetText("12.34");
    Select(1, 4);
    Key('C', Ctrl);
    EXPECT_EQ(Clipboard()->AsText(), "2.3");
    EXPECT_EQ(field->Text(), "12.34");
    Select(3, 5);
    Key('X', Ctrl);
    EXPECT_EQ(Clipboard()->AsText(), "34");
    EXPECT_EQ(field->Text(), "12.");
    EXPECT_EQ(field->CaretPos(), 3);
    EXPECT_EQ(changes, 1);
    // Nothing selected: nothing copied or cut.
    Clipboard()->SetAsText("keep");
    Key('C', Ctrl);
    Key('X', Ctrl);
    EXPECT_EQ(Clipboard()->AsText(), "keep");
    EXPECT_EQ(field->Text(), "12.");
}

TEST_F(NumIO2Input, AReadOnlyFieldOnlyCopies) {
    field->SetText("12.34");
    Select(1, 4);
    field->SetReadOnly(true);
    Key('C', Ctrl);
    EXPECT_EQ(Clipboard()->AsText(), "2.3");
    Press({{'5', None}, {VK_BACK, None}, {'X', Ctrl}, {'V', Ctrl}, {'A', None}, {VK_HOME, None}});
    EXPECT_EQ(field->Text(), "12.34");
    EXPECT_EQ(field->CaretPos(), 4);
    EXPECT_EQ(Headless::BeepCount(), 0);
    EXPECT_EQ(changes, 0);
}

TEST_F(NumIO2Input, HostKeyEventsStillFollow) {
    int downs = 0;
    field->OnKeyDown = [&](TObject*, WORD&, TShiftState) { ++downs; };
    Press({{'1', None}, {'A', None}, {VK_SHIFT, None}});
    EXPECT_EQ(downs, 3);
}

TEST_F(NumIO2Input, TabMovesTheFocusToTheNextControl) {
    Key(VK_TAB);
    EXPECT_TRUE(other->Focused());
    EXPECT_FALSE(field->Focused());
}

TEST_F(NumIO2Input, ClickingTakesTheFocusAndPlacesTheCaret) {
    other->SetFocus();
    field->SetText("1234");
    Headless::Click(field, XOf(2), 12);
    EXPECT_TRUE(field->Focused());
    EXPECT_EQ(field->CaretPos(), 2);
    EXPECT_EQ(field->SelBegin(), 2);
    EXPECT_EQ(field->SelEnd(), 2);
    Headless::Advance(600);
    Headless::Click(field, 110, 12);  // beyond the text: its end
    EXPECT_EQ(field->CaretPos(), 4);
}

TEST_F(NumIO2Input, DraggingOverTheTextSelects) {
    field->SetText("12345");
    Headless::MouseDown(field, XOf(1), 12);
    Headless::MouseMove(field, XOf(3), 12, TShiftState{ssLeft});
    EXPECT_EQ(field->SelBegin(), 1);
    EXPECT_EQ(field->SelEnd(), 3);
    EXPECT_EQ(field->CaretPos(), 3);
    Headless::MouseMove(field, XOf(0), 12, TShiftState{ssLeft});
    EXPECT_EQ(field->SelBegin(), 0);
    EXPECT_EQ(field->SelEnd(), 3);
    Headless::MouseUp(field, XOf(0), 12);
    // Without the button held a move selects nothing.
    Headless::MouseMove(field, XOf(5), 12);
    EXPECT_EQ(field->SelEnd(), 3);
    Key('C', Ctrl);
    EXPECT_EQ(Clipboard()->AsText(), "123");
    EXPECT_EQ(field->Text(), "12345");
}

TEST_F(NumIO2Input, MouseAreaCodeTellsTheZoneUnderTheMouse) {
    int seen = -1;
    field->OnMouseMove = [&](TObject*, TShiftState, int, int) { seen = field->MouseAreaCode(); };
    const std::pair<int, int> zones[] = {{10, 0}, {35, 0}, {36, 1}, {115, 1}, {116, 2}, {150, 2}};
    for (const auto& [x, code] : zones) {
        Headless::MouseMove(field, x, 12);
        EXPECT_EQ(field->MouseAreaCode(), code) << "x " << x;
        EXPECT_EQ(seen, code) << "x " << x;
    }
}

// The upper and lower spin button of the default layout: x 118..136, halves at row 14.
constexpr int SpinX = 127, UpY = 5, DownY = 20;

TEST_F(NumIO2Input, SpinButtonsStepByTheIncrementWithinTheRange) {
    field->SetButVisible(true);
    field->SetButIncrem(2.5);
    field->SetValue(10);
    Headless::Click(field, SpinX, UpY);
    EXPECT_EQ(field->Value(), 12.5);
    EXPECT_EQ(changes, 1);
    Headless::Advance(600);
    Headless::Click(field, SpinX, DownY);
    Headless::Advance(600);
    Headless::Click(field, SpinX, DownY);
    EXPECT_EQ(field->Value(), 7.5);
    EXPECT_EQ(changes, 3);

    field->SetButIncrem(1);
    field->SetValue(1000);
    Headless::Advance(600);
    Headless::Click(field, SpinX, UpY);
    EXPECT_EQ(field->Value(), 1000);
    field->SetValue(0.5);
    Headless::Advance(600);
    Headless::Click(field, SpinX, DownY);
    EXPECT_EQ(field->Value(), 0);

    // Holding a button does not repeat.
    Headless::Advance(600);
    Headless::MouseDown(field, SpinX, UpY);
    Headless::Advance(2000);
    Headless::MouseUp(field, SpinX, UpY);
    EXPECT_EQ(field->Value(), 1);
}

struct PivotCase {
    double Value;
    bool Up;
    double Expected;
};

TEST_F(NumIO2Input, SpinButtonsStepBetweenPivots) {
    field->SetButVisible(true);
    field->ButtonPivots = {0, 10, 20};
    const PivotCase cases[] = {
        {10, true, 20}, {10, false, 0}, {12, false, 10}, {12, true, 20},  {20, true, 20},
        {0, false, 0},  {-5, false, 0}, {-5, true, 0},   {25, false, 20},
    };
    for (const auto& c : cases) {
        field->SetValue(c.Value);
        Headless::Advance(600);
        Headless::Click(field, SpinX, c.Up ? UpY : DownY);
        EXPECT_EQ(field->Value(), c.Expected) << c.Value << (c.Up ? " up" : " down");
    }
    // Pivots are taken as they are, even outside the range.
    field->ButtonPivots = {0, 5000};
    field->SetValue(0);
    Headless::Advance(600);
    Headless::Click(field, SpinX, UpY);
    EXPECT_EQ(field->Value(), 5000);
    EXPECT_TRUE(field->OutOfRange());
}

TEST_F(NumIO2Input, DraggingTheGaugeFiresGaugeChangeOnEveryMoveAndChangeOnRelease) {
    field->SetGaugeVisible(true);  // rows 19..26, x 35..116
    std::vector<double> gauge;
    TShiftState lastShift;
    field->OnGaugeChange = [&](TObject*, TShiftState S, double V) {
        gauge.push_back(V);
        lastShift = S;
    };
    const int y = 23;
    auto at = [](int x) { return (x - 35) / 82.0 * 1000.0; };
    Headless::MouseDown(field, 35 + 41, y);
    EXPECT_EQ(field->Value(), 500);
    EXPECT_TRUE(gauge.empty());
    EXPECT_EQ(changes, 0);
    for (int x : {55, 90, 100}) Headless::MouseMove(field, x, y, TShiftState{ssLeft});
    ASSERT_EQ(gauge.size(), 3u);
    EXPECT_DOUBLE_EQ(gauge[0], at(55));
    EXPECT_DOUBLE_EQ(gauge[2], at(100));
    EXPECT_TRUE(lastShift.contains(ssLeft));
    EXPECT_NEAR(field->Value(), at(100), 0.005);
    EXPECT_EQ(changes, 0);
    Headless::MouseMove(field, 34, y, TShiftState{ssLeft});  // one pixel outside still counts
    EXPECT_EQ(field->Value(), 0);
    Headless::MouseMove(field, 200, y, TShiftState{ssLeft});  // further out: ignored
    EXPECT_EQ(gauge.size(), 4u);
    Headless::MouseUp(field, 200, y);
    EXPECT_EQ(changes, 1);
    // A move without the button changes nothing.
    Headless::MouseMove(field, 60, y);
    EXPECT_EQ(gauge.size(), 4u);
    EXPECT_EQ(field->Value(), 0);
    Headless::Advance(600);
    Headless::Click(field, 60, 5);  // a press on the text fires no change
    EXPECT_EQ(changes, 1);
}

TEST_F(NumIO2Input, TheGaugeSnapsToPivots) {
    field->SetGaugeVisible(true);
    field->ButtonPivots = {0, 250, 500, 1000};
    Headless::MouseDown(field, 35 + 25, 23);  // 304.9
    EXPECT_EQ(field->Value(), 250);
    Headless::MouseMove(field, 35 + 70, 23, TShiftState{ssLeft});  // 853.7
    EXPECT_EQ(field->Value(), 1000);
    Headless::MouseUp(field, 35 + 70, 23);
    EXPECT_EQ(changes, 1);
}

TEST_F(NumIO2Input, AReadOnlyFieldKeepsItsValueAgainstButtonsAndGauge) {
    field->SetButVisible(true);
    field->SetGaugeVisible(true);
    field->SetValue(10);
    field->SetReadOnly(true);
    Headless::Click(field, SpinX, UpY);
    Headless::MouseDown(field, 80, 23);
    Headless::MouseMove(field, 90, 23, TShiftState{ssLeft});
    Headless::MouseUp(field, 90, 23);
    EXPECT_EQ(field->Value(), 10);
    EXPECT_EQ(changes, 0);
}

// The caret of the empty, centred text: column 35 + 41, rows 3..24.
constexpr int CaretX = 76, CaretY = 10;

TEST_F(NumIO2Input, TheCaretBlinksWhileFocusedAndStopsWhenTheFocusLeaves) {
    field->SetFocus();  // restarts the timer with the caret shown
    EXPECT_TRUE(field->CaretVisible());
    EXPECT_EQ(Headless::PixelAt(field, CaretX, CaretY), clBlack);
    EXPECT_EQ(Headless::PixelAt(field, CaretX + 1, CaretY), clWhite);
    Headless::Advance(499);
    EXPECT_TRUE(field->CaretVisible());
    Headless::Advance(1);
    EXPECT_FALSE(field->CaretVisible());
    EXPECT_EQ(Headless::PixelAt(field, CaretX, CaretY), clWhite);
    Headless::Advance(500);
    EXPECT_TRUE(field->CaretVisible());
    EXPECT_EQ(Headless::PixelAt(field, CaretX, CaretY), clBlack);

    other->SetFocus();
    EXPECT_TRUE(other->CaretVisible());
    Headless::Advance(500);  // the field's tick finds the focus gone
    EXPECT_FALSE(field->CaretVisible());
    EXPECT_EQ(Headless::PixelAt(field, CaretX, CaretY), clWhite);
    Headless::Advance(5000);
    EXPECT_FALSE(field->CaretVisible());

    // Back in focus it shows again; a key shows it at once, at its new place.
    field->SetFocus();
    EXPECT_TRUE(field->CaretVisible());
    Headless::Advance(500);
    EXPECT_FALSE(field->CaretVisible());
    Key('1');
    EXPECT_TRUE(field->CaretVisible());
    EXPECT_EQ(Headless::PixelAt(field, field->CharPosToXCoords(1) - 1, CaretY), clBlack);
}

TEST_F(NumIO2Input, ReadOnlyStopsTheCaretAndEditingRestartsIt) {
    field->SetReadOnly(true);
    EXPECT_FALSE(field->CaretVisible());
    Headless::Advance(2000);
    EXPECT_FALSE(field->CaretVisible());
    EXPECT_EQ(Headless::PixelAt(field, CaretX, CaretY), clWhite);
    field->SetFocus();
    EXPECT_FALSE(field->CaretVisible());
    field->SetReadOnly(false);
    EXPECT_TRUE(field->CaretVisible());
    Headless::Advance(500);
    EXPECT_FALSE(field->CaretVisible());
    Headless::Advance(500);
    EXPECT_TRUE(field->CaretVisible());
}

}  // namespace
