// The first page: what the host canvas draws, and a pad that follows the mouse.
#include <string>
#include <vector>

#include "Page.h"
#include "Sampler.h"

using namespace kovo;

namespace {

class TSamplerView : public TCustomControl {
  public:
    using TCustomControl::TCustomControl;

  protected:
    void Paint() override { gallery::DrawSampler(Canvas()); }
};

// Drag with the left button to draw, right click to clear.
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
            c->MoveTo(stroke[0].X, stroke[0].Y);
            for (const TPoint& p : stroke) c->LineTo(p.X, p.Y);
        }
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetColor(clGray);
        c->TextOut(6, 4,
                   "Draw here with the left button; right click clears.  Mouse at " +
                       std::to_string(FMouse.X) + ", " + std::to_string(FMouse.Y));
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        TCustomControl::MouseDown(Button, Shift, X, Y);
        if (Button == mbRight)
            FStrokes.clear();
        else
            FStrokes.push_back({TPoint{X, Y}});
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

void BuildCanvasPage(TWinControl* Parent) {
    auto* sampler = new TSamplerView(Parent);
    sampler->SetParent(Parent);
    sampler->SetBounds(10, 10, gallery::SamplerWidth, gallery::SamplerHeight);
    auto* pad = new TScribblePad(Parent);
    pad->SetParent(Parent);
    pad->SetBounds(10, gallery::SamplerHeight + 20, gallery::SamplerWidth,
                   Parent->ClientHeight() - gallery::SamplerHeight - 30);
}

gallery::TPageRegistration registration("Canvas", 10, BuildCanvasPage);

}  // namespace
