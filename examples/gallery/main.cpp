// The gallery: the package's main program. Every component family has a page; with a
// display the gallery is a window to try them in, without one it writes a picture of every
// page and prints where.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Page.h"
#include "Sampler.h"
#include "Script.h"
#include "host/Application.h"
#include "host/Bitmap.h"
#include "host/FileUtils.h"
#include "host/Form.h"
#include "host/Strings.h"
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

// Lets time pass: on the virtual clock when headless, on the real one in a window.
void Wait(int Milliseconds, bool Headless) {
    if (Headless) {
        Headless::Advance(Milliseconds);
        return;
    }
    uint64_t end = GetTickCount() + uint64_t(Milliseconds);
    while (GetTickCount() < end && !Application->Terminated()) Application->HandleMessage();
}

// Plays the steps of a script on the gallery window, as a person would.
void Replay(TGalleryForm& Form, const std::vector<gallery::TScriptStep>& Steps, bool Headless) {
    for (const auto& s : Steps) {
        switch (s.kind) {
            case gallery::TScriptStep::Page:
                for (int i = 0; i < Form.PageCount(); ++i)
                    if (SameText(Form.PageTitle(i), s.text)) Form.Choose(i);
                break;
            case gallery::TScriptStep::Click:
                Application->InputMouseMove(&Form, s.x, s.y, {});
                Application->InputMouseButton(&Form, s.button, true, s.x, s.y, {});
                Application->InputMouseButton(&Form, s.button, false, s.x, s.y, {});
                break;
            case gallery::TScriptStep::Move:
                Application->InputMouseMove(&Form, s.x, s.y, {});
                break;
            case gallery::TScriptStep::Drag:
                Application->InputMouseMove(&Form, s.x, s.y, {});
                Application->InputMouseButton(&Form, mbLeft, true, s.x, s.y, {});
                Application->InputMouseMove(&Form, (s.x + s.x2) / 2, (s.y + s.y2) / 2, {ssLeft});
                Application->InputMouseMove(&Form, s.x2, s.y2, {ssLeft});
                Application->InputMouseButton(&Form, mbLeft, false, s.x2, s.y2, {});
                break;
            case gallery::TScriptStep::Type:
                Application->InputText(&Form, s.text);
                break;
            case gallery::TScriptStep::Key:
                Application->InputKey(&Form, s.key, true, s.shift);
                Application->InputKey(&Form, s.key, false, s.shift);
                break;
            case gallery::TScriptStep::Wait:
                Wait(s.ms, Headless);
                break;
        }
        Application->ProcessMessages();
    }
}

// How many different colours a picture has (up to a few): a page with fewer than three
// shows nothing.
int CountColours(const TSurface& Picture) {
    std::vector<TPixel> seen;
    for (int y = 0; y < Picture.Height(); ++y)
        for (int x = 0; x < Picture.Width(); ++x) {
            TPixel p = Picture.Get(x, y);
            if (std::find(seen.begin(), seen.end(), p) == seen.end()) seen.push_back(p);
            if (seen.size() >= 8) return int(seen.size());
        }
    return int(seen.size());
}

// Without a display: a picture of the canvas sampler and of every page, after the page's
// timers have run for a second of virtual time. With a script, the script's own page is
// pictured after its steps instead.
int WritePictures(const std::string& Folder, const std::vector<gallery::TScriptStep>* Script) {
    ForceDirectories(Folder);
    TBitmap sampler(gallery::SamplerWidth, gallery::SamplerHeight);
    gallery::DrawSampler(sampler.Canvas());
    std::string samplerPath = IncludeTrailingPathDelimiter(Folder) + "sampler.png";
    sampler.SaveToFile(samplerPath);
    std::printf("Canvas sampler written to %s\n", samplerPath.c_str());
    TGalleryForm form;
    form.Show();
    auto picture = [&](const std::string& name) {
        std::string path = IncludeTrailingPathDelimiter(Folder) + "gallery-" + name + ".png";
        Headless::SavePng(&form, path);
        return path;
    };
    if (Script) {
        Replay(form, *Script, true);
        std::printf("After the script: %s\n", picture("script").c_str());
        return 0;
    }
    int blank = 0;
    for (int i = 0; i < form.PageCount(); ++i) {
        form.Choose(i);
        Headless::Advance(1000);
        std::printf("Page \"%s\" written to %s\n", form.PageTitle(i).c_str(),
                    picture(FileNameFor(form.PageTitle(i))).c_str());
        if (CountColours(Headless::Capture(form.Host())) < 3) {
            std::printf("Page \"%s\" is blank\n", form.PageTitle(i).c_str());
            ++blank;
        }
    }
    return blank == 0 ? 0 : 1;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: gallery [--snapshot DIR] [--script FILE] [--page TITLE]\n"
                 "               [--exit-after MS] [--shot FILE]\n"
                 "  --snapshot DIR   write a picture of every page into DIR and exit\n"
                 "  --script FILE    replay the input steps of FILE first\n"
                 "  --page TITLE     start on that page\n"
                 "  --exit-after MS  in a window: close after MS milliseconds\n"
                 "  --shot FILE      in a window: write a picture of it to FILE on closing\n");
    return 2;
}

// Closes the gallery window after a while (for unattended runs).
class TExitTimer : public TComponent {
  public:
    TExitTimer(TComponent* AOwner, TCustomForm* Form, int Milliseconds)
        : TComponent(AOwner), FForm(Form) {
        FWindow = AllocateHWnd([this](TMessage& M) {
            if (M.Msg == WM_TIMER) FForm->Close();
        });
        SetTimer(FWindow, 1, UINT(Milliseconds));
    }
    ~TExitTimer() override { DeallocateHWnd(FWindow); }

  private:
    TCustomForm* FForm;
    HWND FWindow = 0;
};

}  // namespace

int main(int argc, char** argv) {
    std::string folder, scriptFile, page, shot;
    int exitAfter = 0;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool more = i + 1 < argc;
        if (a == "--snapshot" && more)
            folder = argv[++i];
        else if (a == "--script" && more)
            scriptFile = argv[++i];
        else if (a == "--page" && more)
            page = argv[++i];
        else if (a == "--shot" && more)
            shot = argv[++i];
        else if (a == "--exit-after" && more && TryStrToInt(argv[i + 1], exitAfter) &&
                 exitAfter > 0)
            ++i;
        else
            return Usage();
    }
    try {
        std::vector<gallery::TScriptStep> script;
        if (!scriptFile.empty()) {
            TStringList lines;
            lines.LoadFromFile(scriptFile);
            script = gallery::ParseScript(lines.Text());
        }
        if (!page.empty()) {
            gallery::TScriptStep first;
            first.kind = gallery::TScriptStep::Page;
            first.text = page;
            script.insert(script.begin(), first);
        }
        const auto* scriptPtr = script.empty() ? nullptr : &script;
#ifdef KOVO_HAVE_SDL2
        std::string reason;
        if (folder.empty() && UseSdlBackend(&reason)) {
            TGalleryForm form;
            Application->SetMainForm(&form);
            form.Show();
            if (exitAfter > 0) new TExitTimer(&form, &form, exitAfter);
            if (scriptPtr) Replay(form, script, false);
            Application->Run();
            if (!shot.empty()) {
                Headless::SavePng(&form, shot);
                std::printf("Window picture written to %s\n", shot.c_str());
            }
            return 0;
        }
        if (folder.empty())
            std::printf("No display (%s): writing pictures instead.\n", reason.c_str());
#endif
        return WritePictures(ExpandFileName(folder.empty() ? "out/snapshot" : folder), scriptPtr);
    } catch (const Exception& e) {
        std::fprintf(stderr, "gallery: %s\n", e.Message().c_str());
        return 1;
    }
}
