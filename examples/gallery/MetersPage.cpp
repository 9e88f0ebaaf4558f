// The "Meters" page: a linear 120-degree meter, a logarithmic 300-degree meter and a wide
// meter on a picture background with both needles, all moved smoothly by a timer. Beside
// them: a button that stops the timer, a choice of the first meter's layout, and a click on
// the first meter sets its value there (and says so on standard output).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "Page.h"
#include "host/Application.h"
#include "host/Bitmap.h"
#include "host/Canvas.h"
#include "host/ComboBox.h"
#include "host/Label.h"
#include "host/SpeedButton.h"
#include "instruments/Meter.h"

using namespace kovo;

namespace {

// Moves the meters' values on every tick of a private timer. It is created after the
// meters with the same owner, and an owner frees the newest component first, so it is gone
// before the meters are.
class TMeterAnimator : public TComponent {
  public:
    TMeterAnimator(TComponent* AOwner, TMeter* Linear, TMeter* Log, TMeter* Pictured)
        : TComponent(AOwner), FLinear(Linear), FLog(Log), FPictured(Pictured) {
        FWindow = AllocateHWnd([this](TMessage& M) { WndProc(M); });
        // Without a timer the page still shows the meters, standing still.
        SetTimer(FWindow, 1, 40);
    }
    ~TMeterAnimator() override {
        KillTimer(FWindow, 1);
        DeallocateHWnd(FWindow);
    }
    bool Running = true;  // the timer moves the values only while this is set

  private:
    void WndProc(TMessage& M) {
        if (M.Msg != WM_TIMER) {
            M.Result = DefWindowProc(FWindow, M.Msg, M.WParam, M.LParam);
            return;
        }
        try {
            if (Running) Tick();
        } catch (...) {
            Application->HandleException(this);
        }
    }
    void Tick() {
        FPhase += 0.04;
        const double t = FPhase;
        FLinear->SetValue(50 + 42 * std::sin(t) + 6 * std::sin(3.7 * t));
        FLog->SetValue(std::pow(10.0, 1.5 + 1.45 * std::sin(0.7 * t)));
        FPictured->SetValueSec(0.5 + 0.42 * std::sin(0.45 * t + 1.0));
        FPictured->SetValue(0.5 + 0.45 * std::sin(1.3 * t));
    }

    TMeter* FLinear;
    TMeter* FLog;
    TMeter* FPictured;
    HWND FWindow = 0;
    double FPhase = 0;
};

// A dial picture of our own: soft vertical bands of warm grey with a fine grid.
void DrawDialPicture(TBitmap& B) {
    B.SetSize(64, 64);
    TCanvas* c = B.Canvas();
    for (int x = 0; x < 64; ++x) {
        int shade = 236 + int(10 * std::sin(x * 3.14159265 / 32));
        c->Pen()->SetColor(RGB(uint8_t(shade), uint8_t(shade - 6), uint8_t(shade - 20)));
        c->MoveTo(x, 0);
        c->LineTo(x, 64);
    }
    c->Pen()->SetColor(RGB(214, 206, 188));
    for (int i = 0; i < 64; i += 16) {
        c->MoveTo(i, 0);
        c->LineTo(i, 64);
        c->MoveTo(0, i);
        c->LineTo(64, i);
    }
}

// The anchor: a brass knob on black, which the meter treats as transparent.
void DrawAnchorPicture(TBitmap& B) {
    B.SetSize(41, 41);
    TCanvas* c = B.Canvas();
    c->Brush()->SetColor(clBlack);
    c->FillRect(Rect(0, 0, 41, 41));
    c->Pen()->SetColor(RGB(120, 90, 30));
    c->Brush()->SetColor(RGB(200, 160, 60));
    c->Ellipse(2, 2, 39, 39);
    c->Pen()->SetColor(RGB(250, 220, 140));
    c->Brush()->SetColor(RGB(230, 190, 90));
    c->Ellipse(10, 8, 26, 22);
}

// The meter reads its pictures from files: write them into a fresh temporary directory,
// hand them over, and remove them again (the meter keeps what it has read).
void GivePictures(TMeter* M) {
    std::error_code ec;
    std::string dir = (std::filesystem::temp_directory_path(ec) / "kovo-meters-XXXXXX").string();
    if (ec || !mkdtemp(dir.data())) return;  // no pictures then: the dial colour shows
    const std::string background = dir + "/dial.png", anchor = dir + "/anchor.png";
    try {
        TBitmap b;
        DrawDialPicture(b);
        b.SaveToFile(background);
        TBitmap a;
        DrawAnchorPicture(a);
        a.SaveToFile(anchor);
        M->SetBkgndFillMode(bfTile);
        M->SetBackGroundImg(background);
        M->SetAnchorImage(anchor);
    } catch (const Exception&) {
        // A disk that refuses the files leaves the meter in its plain colours.
    }
    std::filesystem::remove_all(dir, ec);
}

void BuildMetersPage(TWinControl* Parent) {
    auto* linear = new TMeter(Parent);
    linear->SetParent(Parent);
    linear->SetBounds(10, 10, 430, 300);
    linear->SetMeterLayout(mlCirc120);
    linear->SetMeterMaxValue(100);
    linear->SetThresholdHigh(85);
    linear->SetThresholdLow(15);
    linear->SetMeterNrTicks(5);
    linear->SetMeterDecPlaces(0);
    linear->SetScaleBkVisible(true);
    linear->SetScaleBkWidth(8);
    linear->SetCaption("kPa");
    linear->NeedleLayout()->SetShadowDx(3);
    linear->NeedleLayout()->SetShadowDy(-3);
    linear->SetValue(50);

    auto* log = new TMeter(Parent);
    log->SetParent(Parent);
    log->SetBounds(460, 10, 430, 300);
    log->SetMeterLayout(mlCirc300);
    log->SetMeterMaxValue(1000);
    log->SetMeterMinValue(1);
    log->SetLogarithmic(true);
    log->SetMeterDecPlaces(0);
    log->SetThresholdHigh(500);
    log->SetThresholdLow(2);
    log->SetColorScale(clMaroon);
    log->SetCaption("Hz");
    log->SetColorScheme(csSystem);
    log->SetFrameStyle(fsSunken);
    log->NeedleLayout()->SetColorBody(clRed);
    log->NeedleLayout()->SetThickness(3);
    log->SetValue(30);

    auto* pictured = new TMeter(Parent);
    pictured->SetParent(Parent);
    pictured->SetBounds(150, 320, 600, 290);
    pictured->SetMeterLayout(mlCirc180);
    pictured->SetMeterNrTicks(10);
    pictured->SetMeterDecPlaces(1);
    pictured->SetThresholdHigh(0.9);
    pictured->SetThresholdLow(0.1);
    pictured->SetColorCover(RGB(90, 70, 50));
    pictured->SetFrameStyle(fsRidge);
    pictured->SetCaption("load, set point");
    pictured->NeedleLayout()->SetColorBody(RGB(40, 40, 40));
    pictured->NeedleLayout()->SetHeadSize(26);
    pictured->NeedleLayout()->SetShadowDx(2);
    pictured->NeedleLayout()->SetShadowDy(-3);
    pictured->NeedleLayoutSec()->SetColorBody(RGB(0, 150, 200));
    pictured->NeedleLayoutSec()->SetColorOutline(RGB(0, 80, 120));
    pictured->NeedleLayoutSec()->SetPercentNeedleLength(80);
    pictured->NeedleLayoutSec()->SetVisible(true);
    GivePictures(pictured);
    pictured->SetValueSec(0.7);
    pictured->SetValue(0.4);

    auto* animator = new TMeterAnimator(Parent, linear, log, pictured);

    auto* run = new TSpeedButton(Parent);
    run->SetParent(Parent);
    run->SetBounds(10, 340, 120, 26);
    run->SetCaption("Moving");
    run->SetGroupIndex(7);
    run->SetAllowAllUp(true);
    run->SetDown(true);
    run->OnClick = [run, animator](TObject*) {
        animator->Running = run->Down();
        run->SetCaption(run->Down() ? "Moving" : "Stopped");
    };
    auto* layoutLabel = new TLabel(Parent);
    layoutLabel->SetParent(Parent);
    layoutLabel->SetBounds(10, 380, 130, 16);
    layoutLabel->SetCaption("First meter's layout:");
    auto* layout = new TComboBox(Parent);
    layout->SetParent(Parent);
    layout->SetBounds(10, 398, 120, 24);
    layout->SetStyle(csDropDownList);
    for (const char* n :
         {"90 degrees", "120 degrees", "180 degrees", "270 degrees", "300 degrees", "360 degrees"})
        layout->Items()->Add(n);
    layout->SetItemIndex(int(linear->MeterLayout()));
    layout->OnChange = [layout, linear](TObject*) {
        if (layout->ItemIndex() >= 0) linear->SetMeterLayout(TMeterLayout(layout->ItemIndex()));
    };
    auto* hint = new TLabel(Parent);
    hint->SetParent(Parent);
    hint->SetBounds(10, 436, 130, 60);
    hint->SetWordWrap(true);
    hint->SetCaption("Click on the first meter's scale to set its value.");
    linear->OnMouseDown = [linear, run, animator](TObject*, TMouseButton, TShiftState, int X,
                                                  int Y) {
        double v = 0;
        if (!linear->ConvertPixelToValue(X, Y, v)) return;
        animator->Running = false;
        run->SetDown(false);
        run->SetCaption("Stopped");
        linear->SetValue(v);
        std::printf("meter value set to %.1f\n", v);
        std::fflush(stdout);
    };
}

gallery::TPageRegistration registration("Meters", 30, BuildMetersPage);

}  // namespace
