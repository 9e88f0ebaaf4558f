// A program that uses two components: a meter and a numeric label that follow a value.
#include "displays/NumLab.h"
#include "host/Form.h"
#include "host/platform/Headless.h"
#include "instruments/Meter.h"

using namespace kovo;

int main() {
    TForm form(nullptr);
    form.SetBounds(0, 0, 320, 260);
    auto* meter = new TMeter(&form);  // the form owns and frees it
    meter->SetParent(&form);
    meter->SetBounds(10, 10, 300, 200);
    meter->SetMeterLayout(mlCirc120);
    meter->SetMeterMaxValue(100);
    meter->SetCaption("bar");
    auto* label = new TNumLab(&form);
    label->SetParent(&form);
    label->SetBounds(10, 220, 300, 26);
    label->SetLeftSpace(70);
    label->SetLeftText("Pressure");
    label->SetRightText("bar");
    for (double v : {20.0, 45.5, 72.25}) {
        meter->SetValue(v);
        label->SetValue(v);
    }
    form.Show();
    Headless::SavePng(&form, "hello.png");  // or run Application->Run() in a window
    return 0;
}
