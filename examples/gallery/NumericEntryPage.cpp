// The "Numeric entry" page: painted numeric fields in several input formats, with spin
// buttons, pivots and a gauge; beside each field a label shows its Value as it changes.
#include <string>

#include "Page.h"
#include "host/Label.h"
#include "host/SysUtils.h"
#include "numeric_entry/NumIO.h"

using namespace kovo;

namespace {

void AddHeading(TWinControl* Parent, int X, int Y, const std::string& Text) {
    auto* label = new TLabel(Parent);
    label->SetParent(Parent);
    label->SetBounds(X, Y, 500, 20);
    label->Font()->SetStyle(TFontStyles{fsBold});
    label->SetCaption(Text);
}

// A field at row Y with its value label to the right; the label follows every change,
// the gauge's drag included.
TNumIO2* AddField(TWinControl* Parent, int Y, int Height, const std::string& Left,
                  const std::string& Right, TInFormat InFormat) {
    auto* field = new TNumIO2(Parent);
    field->SetParent(Parent);
    field->SetBounds(20, Y, 330, Height);
    field->SetLeftSpace(120);
    field->SetTextBoxWidth(110);
    field->SetLeftText(Left);
    field->SetRightText(Right);
    field->SetInputFormat(InFormat);
    field->SetBeep(true);

    auto* shown = new TLabel(Parent);
    shown->SetParent(Parent);
    shown->SetBounds(370, Y + 6, 300, 20);
    auto show = [field, shown](double V) {
        shown->SetCaption("Value = " + Format("%g", {V}) +
                          (field->OutOfRange() ? "  (out of range)" : ""));
    };
    field->OnChange = [field, show](TObject*) { show(field->Value()); };
    field->OnGaugeChange = [show](TObject*, TShiftState, double V) { show(V); };
    show(field->Value());
    return field;
}

void BuildNumericEntryPage(TWinControl* Parent) {
    AddHeading(Parent, 20, 12,
               "Painted numeric fields (type, use the spin buttons, drag the gauge)");

    auto* flow = AddField(Parent, 44, 28, "Flow rate", "l/min", itFloat);
    flow->SetButVisible(true);
    flow->SetButIncrem(0.25);
    flow->SetRangeLow(0);
    flow->SetRangeHigh(20);
    flow->SetValue(12.5);
    flow->Changed();

    auto* reg = AddField(Parent, 88, 28, "Register", "hex", itHex);
    reg->SetRangeLow(-2147483648.0);
    reg->SetRangeHigh(2147483647.0);
    reg->SetAlignment(taRightJustify);
    reg->SetValue(0xBEEF);
    reg->Changed();

    auto* level = AddField(Parent, 132, 44, "Level", "%", itFixPoint);
    level->SetFixPointDecPlaces(1);
    level->SetRangeLow(0);
    level->SetRangeHigh(100);
    level->SetButVisible(true);
    level->SetButHeight(30);
    level->SetGaugeVisible(true);
    level->SetGaugeLeftMargin(120);
    level->SetGaugeWidth(112);
    level->ButtonPivots = {0, 10, 25, 50, 75, 90, 100};
    level->SetValue(50);
    level->Changed();

    auto* dyn = AddField(Parent, 192, 28, "Any base", "$ % &", itDynamic);
    dyn->SetRangeLow(-1e9);
    dyn->SetRangeHigh(1e9);
    dyn->SetText("$1F");
    dyn->Changed();

    auto* sci = AddField(Parent, 236, 28, "Rate constant", "1/s", itExp);
    sci->SetSignificantDigits(4);
    sci->SetRangeLow(1e-12);
    sci->SetRangeHigh(1);
    sci->SetValue(6.02e-4);
    sci->Changed();

    auto* druck = AddField(Parent, 280, 28, "Druck", "bar", itFloat);
    druck->SetDecPlaceSep(dpComma);
    druck->SetFixPointDecPlaces(3);
    druck->SetFrameStyle(fsRidge);
    druck->SetValue(1.013);
    druck->Changed();

    AddHeading(Parent, 20, 330, "Out of range, read-only and disabled");
    auto* hot = AddField(Parent, 360, 28, "Temperature",
                         "\xC2\xB0"
                         "C",
                         itFloat);
    hot->SetRangeHigh(80);
    hot->SetValue(92.4);
    hot->Changed();

    auto* fixed = AddField(Parent, 404, 28, "Serial", "", itInt);
    fixed->SetRangeHigh(1e9);
    fixed->SetValue(4711);
    fixed->SetReadOnly(true);
    fixed->Changed();

    auto* off = AddField(Parent, 448, 28, "Disabled", "V", itFloat);
    off->SetButVisible(true);
    off->SetValue(3.3);
    off->SetEnabled(false);
    off->Changed();
}

gallery::TPageRegistration registration("Numeric entry", 40, BuildNumericEntryPage);

}  // namespace
