// The gallery: the package's main program. It writes a picture of what the canvas draws and,
// where a display is available, opens a window with that picture and a pad to draw on.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Sampler.h"
#include "host/Application.h"
#include "host/Bitmap.h"
#include "host/FileUtils.h"
#include "host/Form.h"
#ifdef KOVO_HAVE_SDL2
#include "host/platform/Sdl.h"
#endif

using namespace kovo;

namespace {

// Shows the sampler picture.
class TSamplerView : public TCustomControl {
  public:
    using TCustomControl::TCustomControl;

  protected:
    void Paint() override { gallery::DrawSampler(Canvas()); }
};

// A pad that follows the mouse: drag with the left button to draw, right click to clear.
class TScribblePad : public TCustomControl {
  public:
    explicit TScribblePad(TComponent* AOwner) : TCustomControl(AOwner) { SetCursor(crCross); }

  protected:
    void Paint() override {
        TCanvas* c = Canvas();
        c->Brush()->SetColor(FHot ? clCream : clWhite);
        c->Pen()->SetColor(clGray);
        c->Pen()->SetWidth(1);
        c->Rectangle(0, 0, Width(), Height());
        c->Pen()->SetColor(clNavy);
        c->Pen()->SetWidth(2);
        for (const auto& stroke : FStrokes) {
            if (stroke.empty()) continue;
            c->MoveTo(stroke[0].X, stroke[0].Y);
            for (const TPoint& p : stroke) c->LineTo(p.X, p.Y);
        }
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetColor(clGray);
        c->TextOut(6, 4,
                   "Draw here with the left button; right click clears.  " +
                       std::to_string(FMouse.X) + ", " + std::to_string(FMouse.Y));
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        TCustomControl::MouseDown(Button, Shift, X, Y);
        if (Button == mbRight) {
            FStrokes.clear();
        } else {
            FStrokes.push_back({TPoint{X, Y}});
        }
        Invalidate();
    }
    void MouseMove(TShiftState Shift, int X, int Y) override {
        TCustomControl::MouseMove(Shift, X, Y);
        FMouse = TPoint{X, Y};
        if (Shift.contains(ssLeft) && !FStrokes.empty()) FStrokes.back().push_back(FMouse);
        Invalidate();
    }
    void CMMouseEnter(TMessage& M) override {
        TCustomControl::CMMouseEnter(M);
        FHot = true;
        Invalidate();
    }
    void CMMouseLeave(TMessage& M) override {
        TCustomControl::CMMouseLeave(M);
        FHot = false;
        Invalidate();
    }

  private:
    std::vector<std::vector<TPoint>> FStrokes;
    TPoint FMouse;
    bool FHot = false;
};

std::string WriteSampler(const std::string& path) {
    TBitmap picture(gallery::SamplerWidth, gallery::SamplerHeight);
    gallery::DrawSampler(picture.Canvas());
    ForceDirectories(ExtractFilePath(ExpandFileName(path)));
    picture.SaveToFile(path);
    return ExpandFileName(path);
}

}  // namespace

int main(int argc, char** argv) {
    std::string path = "out/sampler.png";
    bool windowed = true;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--png")
            windowed = false;
        else
            path = a;
    }
    try {
        std::printf("Canvas sampler written to %s\n", WriteSampler(path).c_str());
    } catch (const Exception& e) {
        std::fprintf(stderr, "gallery: %s\n", e.Message().c_str());
        return 1;
    }
    if (!windowed) return 0;
#ifdef KOVO_HAVE_SDL2
    std::string reason;
    if (!UseSdlBackend(&reason)) {
        std::printf("No display (%s): only the picture was written.\n", reason.c_str());
        return 0;
    }
    TForm form(nullptr);
    form.SetCaption("kovo gallery");
    form.SetBounds(0, 0, gallery::SamplerWidth + 20, gallery::SamplerHeight + 180);
    form.SetPosition(poScreenCenter);
    TSamplerView sampler(&form);
    sampler.SetParent(&form);
    sampler.SetBounds(10, 10, gallery::SamplerWidth, gallery::SamplerHeight);
    TScribblePad pad(&form);
    pad.SetParent(&form);
    pad.SetBounds(10, gallery::SamplerHeight + 20, gallery::SamplerWidth, 150);
    Application->SetMainForm(&form);
    Application->Run();
#else
    std::printf("Built without SDL2: only the picture was written.\n");
#endif
    return 0;
}
