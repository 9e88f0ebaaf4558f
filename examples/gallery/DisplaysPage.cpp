// The "Displays" page: numeric labels of several display types beside seven-segment
// displays, among them a clock whose colon blinks and a signed reading, both driven by a
// timer.
#include <cmath>
#include <string>

#include "Page.h"
#include "displays/NumLab.h"
#include "displays/sevenseg.h"
#include "host/Application.h"
#include "host/ComboBox.h"
#include "numeric_entry/NumIO.h"
#include "host/DateUtils.h"
#include "host/Label.h"
#include "host/SysUtils.h"

using namespace kovo;

namespace {

// Ticks twice a second: the clock's colon blinks, the readings drift. It is created after
// the displays with the same owner, and an owner frees the newest component first, so it is
// gone before the displays are.
class TDisplayTicker : public TComponent {
  public:
    TDisplayTicker(TComponent* AOwner, TSevenSeg* Clock, TSevenSeg* Reading, TNumLab* Voltage,
                   TNumLab* Power, TNumLab* State)
        : TComponent(AOwner),
          FClock(Clock),
          FReading(Reading),
          FVoltage(Voltage),
          FPower(Power),
          FState(State) {
        FWindow = AllocateHWnd([this](TMessage& M) { WndProc(M); });
        Tick();
        // Without a timer the page still shows the displays, standing still.
        SetTimer(FWindow, 1, 500);
    }
    ~TDisplayTicker() override {
        KillTimer(FWindow, 1);
        DeallocateHWnd(FWindow);
    }

  private:
    void WndProc(TMessage& M) {
        if (M.Msg != WM_TIMER) {
            M.Result = DefWindowProc(FWindow, M.Msg, M.WParam, M.LParam);
            return;
        }
        try {
            Tick();
        } catch (...) {
            Application->HandleException(this);
        }
    }
    void Tick() {
        ++FTicks;
        const bool colon = FTicks % 2 == 0;
        FClock->SetCaption(FormatDateTime(colon ? "hh:nn" : "hh nn", Now()));
        const double t = FTicks * 0.21;
        const double reading = 14.0 * std::sin(t) + 3.0 * std::sin(2.9 * t);
        // The sign gets a cell of its own; "+" for values above zero.
        FReading->SetCaption((reading > 0 ? "+" : "") + Format("%.1f", reading));
        FVoltage->SetValue(12.0 + 0.35 * std::sin(1.7 * t));
        FPower->SetValue(4700.0 * (1.0 + 0.2 * std::sin(t)));
        FState->SetValue(double((FTicks / 6) % 4));
    }

    TSevenSeg* FClock;
    TSevenSeg* FReading;
    TNumLab* FVoltage;
    TNumLab* FPower;
    TNumLab* FState;
    HWND FWindow = 0;
    int FTicks = 0;
};

TNumLab* AddNumLab(TWinControl* Parent, int Y, const std::string& Left, TDisplay Type, double Value,
                   const std::string& Right) {
    auto* lab = new TNumLab(Parent);
    lab->SetParent(Parent);
    lab->SetBounds(20, Y, 330, 28);
    lab->SetLeftSpace(110);
    lab->SetLabelWidth(160);
    lab->SetLeftText(Left);
    lab->SetRightText(Right);
    lab->SetDisplayType(Type);
    lab->SetValue(Value);
    return lab;
}

void AddHeading(TWinControl* Parent, int X, int Y, const std::string& Text) {
    auto* label = new TLabel(Parent);
    label->SetParent(Parent);
    label->SetBounds(X, Y, 400, 20);
    label->Font()->SetStyle(TFontStyles{fsBold});
    label->SetCaption(Text);
}

void BuildDisplaysPage(TWinControl* Parent) {
    AddHeading(Parent, 20, 12, "Numeric labels");
    auto* voltage = AddNumLab(Parent, 40, "Voltage", dtFixP, 12.0, "V");
    voltage->SetColorLabBakG(clWindow);
    AddNumLab(Parent, 74, "Register", dtHex, 48879, "hex")->SetPrecision(4);
    AddNumLab(Parent, 108, "Mask", dtBin, 165, "bin")->SetPrecision(8);
    auto* power = AddNumLab(Parent, 142, "Power", dtEEng, 4700, "W");
    power->SetPrecision(1);
    auto* bearing = AddNumLab(Parent, 176, "Bearing", dtDegMinSec, 48.1375, "");
    bearing->SetPrecision(0);
    bearing->SetFrameStyle(fsRidge);
    auto* date = AddNumLab(Parent, 210, "Calibrated", dtDateTime, EncodeDate(2024, 5, 17), "");
    date->SetAlignment(taLeftJustify);
    auto* state = AddNumLab(Parent, 244, "Pump", dtState, 0, "");
    state->SetStateNames({"stopped", "starting", "running", "stopping"});
    state->SetColorLabBakG(clBlack);
    state->SetColorLabText(clLime);
    state->SetFrameStyle(fsSingle);
    auto* comma = AddNumLab(Parent, 278, "Druck", dtFixP, 1.013, "bar");
    comma->SetComma(true);
    comma->SetPrecision(3);
    comma->SetForcePlusSign(true);
    auto* off = AddNumLab(Parent, 312, "Disabled", dtFloat, 2.0 / 3.0, "A");
    off->SetPrecision(4);
    off->SetEnabled(false);
    auto* narrow = AddNumLab(Parent, 346, "Too wide", dtFixP, 123456789.0, "");
    narrow->SetLabelWidth(70);

    AddHeading(Parent, 400, 12, "Seven-segment displays");
    auto* clock = new TSevenSeg(Parent);
    clock->SetParent(Parent);
    clock->SetBounds(400, 40, 300, 100);
    clock->SetNumDigits(5);
    clock->SetColorText(RGB(255, 60, 40));

    auto* reading = new TSevenSeg(Parent);
    reading->SetParent(Parent);
    reading->SetBounds(400, 152, 300, 90);
    reading->SetNumDigits(5);
    reading->SetColorText(RGB(60, 255, 90));
    reading->SetColorBackGnd(RGB(10, 24, 12));
    reading->SetFrameStyle(fsRidge);

    auto* hex = new TSevenSeg(Parent);
    hex->SetParent(Parent);
    hex->SetBounds(400, 254, 300, 70);
    hex->SetNumDigits(6);
    hex->SetColorText(RGB(255, 190, 40));
    hex->SetColorBackGnd(RGB(30, 20, 0));
    hex->SetCaption("C0FFEE");

    auto* temperature = new TSevenSeg(Parent);
    temperature->SetParent(Parent);
    temperature->SetBounds(400, 336, 200, 70);
    temperature->SetColorText(RGB(80, 170, 255));
    temperature->SetColorBackGnd(RGB(8, 16, 32));
    temperature->SetInterDigDist(6);
    temperature->SetCaption("21.5\xC2\xB0");

    auto* small = new TSevenSeg(Parent);
    small->SetParent(Parent);
    small->SetBounds(620, 336, 80, 36);
    small->SetMargin(4);
    small->SetCaption("-1.5");

    new TDisplayTicker(Parent, clock, reading, voltage, power, state);

    // Try it: a value typed or spun in the field shows in a numeric label in the chosen
    // display type and on a seven-segment display in the chosen colour.
    AddHeading(Parent, 20, 400, "Try it");
    auto* input = new TNumIO2(Parent);
    input->SetParent(Parent);
    input->SetBounds(20, 424, 330, 24);
    input->SetLeftText("Value");
    input->SetLeftSpace(60);
    input->SetTextBoxWidth(150);
    input->SetInputFormat(itFloat);
    input->SetButVisible(true);
    input->SetButIncrem(0.25);
    input->SetValue(3.75);
    auto* shown = AddNumLab(Parent, 458, "Shown as", dtFixP, 3.75, "");
    shown->SetPrecision(2);
    auto* kind = new TComboBox(Parent);
    kind->SetParent(Parent);
    kind->SetBounds(20, 494, 160, 24);
    kind->SetStyle(csDropDownList);
    for (const char* n : {"float", "fixed point", "exponential", "hex", "zero-padded integer",
                          "integer", "date and time", "state", "binary", "octal", "degrees",
                          "degrees, minutes", "deg, min, sec", "engineering", "engineering, 0 dp"})
        kind->Items()->Add(n);
    kind->SetItemIndex(int(dtFixP));
    auto* segments = new TSevenSeg(Parent);
    segments->SetParent(Parent);
    segments->SetBounds(20, 530, 330, 80);
    segments->SetNumDigits(6);
    segments->SetCaption("3.75");
    auto* colour = new TComboBox(Parent);
    colour->SetParent(Parent);
    colour->SetBounds(190, 494, 160, 24);
    colour->SetStyle(csDropDownList);
    const TColor colours[] = {clRed, clLime, clAqua, clYellow, RGB(255, 160, 40)};
    for (const char* n : {"red", "green", "cyan", "yellow", "amber"}) colour->Items()->Add(n);
    colour->SetItemIndex(0);
    segments->SetColorText(clRed);
    input->OnChange = [input, shown, segments](TObject*) {
        shown->SetValue(input->Value());
        segments->SetCaption(FloatToStrF(input->Value(), ffGeneral, 6, 0));
    };
    kind->OnChange = [kind, shown](TObject*) {
        if (kind->ItemIndex() >= 0) shown->SetDisplayType(TDisplay(kind->ItemIndex()));
    };
    colour->OnChange = [colour, segments, colours](TObject*) {
        int i = colour->ItemIndex();
        if (i >= 0 && i < 5) segments->SetColorText(colours[i]);
    };
}

gallery::TPageRegistration registration("Displays", 20, BuildDisplaysPage);

}  // namespace
