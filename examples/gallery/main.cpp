// The gallery: the package's main program. Every component family has a page; with a
// display the gallery is a window to try them in, without one it writes a picture of every
// page and prints where.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Page.h"
#include "Sampler.h"
#include "host/Application.h"
#include "host/Bitmap.h"
#include "host/FileUtils.h"
#include "host/Form.h"
#include "host/platform/Headless.h"
#ifdef KOVO_HAVE_SDL2
#include "host/platform/Sdl.h"
#endif

using namespace kovo;

namespace {

constexpr int TabWidth = 150;
constexpr int TabHeight = 30;
constexpr int PageWidth = 900;
constexpr int PageHeight = 700;

// The area a page builds on; switching pages frees what the last one made.
class TPageHost : public TCustomControl {
  public:
    using TCustomControl::TCustomControl;
    void ShowPage(const gallery::TPage& Page) {
        while (ControlCount() > 0) delete Controls(ControlCount() - 1);
        while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
        Page.Build(this);
        Invalidate();
    }

  protected:
    void Paint() override {}
};

// One entry of the page list on the left.
class TPageTab : public TCustomControl {
  public:
    TPageTab(TComponent* AOwner, std::string Title, std::function<void()> OnChoose)
        : TCustomControl(AOwner), FTitle(std::move(Title)), FChoose(std::move(OnChoose)) {}
    bool Current = false;

  protected:
    void Paint() override {
        TCanvas* c = Canvas();
        c->Brush()->SetColor(Current ? clHighlight : FHot ? cl3DLight : clBtnFace);
        c->Pen()->SetStyle(psClear);
        c->Rectangle(0, 0, Width(), Height());
        c->Pen()->SetStyle(psSolid);
        c->Font()->SetColor(Current ? clHighlightText : clBtnText);
        c->Font()->SetSize(10);
        c->Brush()->SetStyle(bsClear);
        c->TextOut(12, (Height() - c->TextHeight(FTitle)) / 2, FTitle);
    }
    void Click() override { FChoose(); }
    void CMMouseEnter(TMessage&) override {
        FHot = true;
        Invalidate();
    }
    void CMMouseLeave(TMessage&) override {
        FHot = false;
        Invalidate();
    }

  private:
    std::string FTitle;
    std::function<void()> FChoose;
    bool FHot = false;
};

class TGalleryForm : public TForm {
  public:
    TGalleryForm() : TForm(nullptr) {
        SetCaption("kovo gallery");
        SetBounds(0, 0, TabWidth + PageWidth + 20, PageHeight + 20);
        SetPosition(poScreenCenter);
        std::vector<gallery::TPage> pages = gallery::Pages();
        std::stable_sort(pages.begin(), pages.end(),
                         [](auto& a, auto& b) { return a.Order < b.Order; });
        FPages = pages;
        FHost = new TPageHost(this);
        FHost->SetParent(this);
        FHost->SetBounds(TabWidth + 10, 10, PageWidth, PageHeight);
        for (size_t i = 0; i < FPages.size(); ++i) {
            auto* tab = new TPageTab(this, FPages[i].Title, [this, i] { Choose(int(i)); });
            tab->SetParent(this);
            tab->SetBounds(6, 10 + int(i) * (TabHeight + 4), TabWidth - 6, TabHeight);
            FTabs.push_back(tab);
        }
        if (!FPages.empty()) Choose(0);
    }
    int PageCount() const { return int(FPages.size()); }
    const std::string& PageTitle(int i) const { return FPages[i].Title; }
    void Choose(int Index) {
        for (size_t i = 0; i < FTabs.size(); ++i) {
            FTabs[i]->Current = int(i) == Index;
            FTabs[i]->Invalidate();
        }
        FHost->ShowPage(FPages[Index]);
    }
    TPageHost* Host() const { return FHost; }

  private:
    std::vector<gallery::TPage> FPages;
    std::vector<TPageTab*> FTabs;
    TPageHost* FHost = nullptr;
};

std::string FileNameFor(const std::string& Title) {
    std::string s;
    for (char ch : Title)
        s += std::isalnum(static_cast<unsigned char>(ch)) ? char(std::tolower(ch)) : '-';
    return s;
}

// Without a display: a picture of the canvas sampler and of every page, after the page's
// timers have run for a second of virtual time.
int WritePictures(const std::string& Folder) {
    ForceDirectories(Folder);
    TBitmap sampler(gallery::SamplerWidth, gallery::SamplerHeight);
    gallery::DrawSampler(sampler.Canvas());
    std::string samplerPath = IncludeTrailingPathDelimiter(Folder) + "sampler.png";
    sampler.SaveToFile(samplerPath);
    std::printf("Canvas sampler written to %s\n", samplerPath.c_str());
    TGalleryForm form;
    form.Show();
    for (int i = 0; i < form.PageCount(); ++i) {
        form.Choose(i);
        Headless::Advance(1000);
        std::string path = IncludeTrailingPathDelimiter(Folder) + "gallery-" +
                           FileNameFor(form.PageTitle(i)) + ".png";
        Headless::SavePng(&form, path);
        std::printf("Page \"%s\" written to %s\n", form.PageTitle(i).c_str(), path.c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = ExpandFileName("out");
    bool windowed = true;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--png")
            windowed = false;
        else
            folder = ExpandFileName(a);
    }
    try {
#ifdef KOVO_HAVE_SDL2
        std::string reason;
        if (windowed && UseSdlBackend(&reason)) {
            TGalleryForm form;
            Application->SetMainForm(&form);
            Application->Run();
            return 0;
        }
        if (windowed) std::printf("No display (%s): writing pictures instead.\n", reason.c_str());
#else
        (void)windowed;
#endif
        return WritePictures(folder);
    } catch (const Exception& e) {
        std::fprintf(stderr, "gallery: %s\n", e.Message().c_str());
        return 1;
    }
}
