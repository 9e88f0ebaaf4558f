// Shows a form with a painted control in a real window, pushes a click and a key as
// desktop events, and checks that the control got them and that the window's pixels
// changed. Writes a screenshot to the path given as the first argument.
#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "host/Application.h"
#include "host/Bitmap.h"
#include "host/Form.h"
#include "host/platform/Sdl.h"

using namespace kovo;

namespace {

class TPad : public TCustomControl {
  public:
    using TCustomControl::TCustomControl;
    int clicks = 0;
    WORD lastKey = 0;
    std::string typed;
    TColor fill = clSilver;

  protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(fill);
        Canvas()->Pen()->SetColor(clBlack);
        Canvas()->Rectangle(0, 0, Width(), Height());
        Canvas()->Brush()->SetStyle(bsClear);
        Canvas()->TextOut(6, 6, "clicks: " + std::to_string(clicks) + "  typed: " + typed);
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        TCustomControl::MouseDown(Button, Shift, X, Y);
        ++clicks;
        fill = clLime;
        SetFocus();
        Invalidate();
    }
    void KeyDown(WORD& Key, TShiftState Shift) override {
        TCustomControl::KeyDown(Key, Shift);
        lastKey = Key;
    }
    void KeyPress(char32_t& Key) override {
        if (Key < 128) typed += char(Key);
        Invalidate();
    }
};

SDL_Window* FindWindow(const char* title) {
    for (Uint32 id = 1; id < 64; ++id) {
        SDL_Window* w = SDL_GetWindowFromID(id);
        if (w && std::string(SDL_GetWindowTitle(w)) == title) return w;
    }
    return nullptr;
}

void RunFor(int ms) {
    uint64_t end = GetTickCount() + uint64_t(ms);
    while (GetTickCount() < end) {
        Application->ProcessMessages();
        SDL_Delay(5);
    }
}

int Fail(const std::string& why) {
    std::fprintf(stderr, "sdl_check: %s\n", why.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string reason;
    if (!UseSdlBackend(&reason)) return Fail("no display: " + reason);
    TForm form(nullptr);
    form.SetCaption("sdl check");
    form.SetBounds(0, 0, 320, 200);
    TPad pad(&form);
    pad.SetParent(&form);
    pad.SetBounds(20, 20, 200, 100);
    form.Show();
    RunFor(300);

    SDL_Window* win = FindWindow("sdl check");
    if (!win) return Fail("the form has no window");
    SDL_Surface* shown = SDL_GetWindowSurface(win);
    auto windowPixel = [&](int x, int y) {
        Uint32 p = 0;
        SDL_LockSurface(shown);
        std::memcpy(&p, static_cast<Uint8*>(shown->pixels) + y * shown->pitch + x * 4, 4);
        SDL_UnlockSurface(shown);
        Uint8 r, g, b;
        SDL_GetRGB(p, shown->format, &r, &g, &b);
        return RGB(r, g, b);
    };
    TColor before = windowPixel(100, 90);
    if (before != clSilver) return Fail("the window does not show the painted control");

    Uint32 id = SDL_GetWindowID(win);
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = id;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = SDL_PRESSED;
    e.button.x = 100;
    e.button.y = 90;
    SDL_PushEvent(&e);
    e.type = SDL_MOUSEBUTTONUP;
    e.button.state = SDL_RELEASED;
    SDL_PushEvent(&e);
    SDL_Event k{};
    k.type = SDL_KEYDOWN;
    k.key.windowID = id;
    k.key.state = SDL_PRESSED;
    k.key.keysym.sym = SDLK_q;
    SDL_PushEvent(&k);
    k.type = SDL_KEYUP;
    k.key.state = SDL_RELEASED;
    SDL_PushEvent(&k);
    SDL_Event t{};
    t.type = SDL_TEXTINPUT;
    t.text.windowID = id;
    std::snprintf(t.text.text, sizeof t.text.text, "q");
    SDL_PushEvent(&t);
    RunFor(300);

    if (pad.clicks != 1) return Fail("the click did not reach the control");
    if (pad.lastKey != 'Q' || pad.typed != "q") return Fail("the key did not reach the control");
    TColor after = windowPixel(100, 90);
    if (after != clLime) return Fail("the window's pixels did not change");

    if (argc > 1) {
        TBitmap shot(shown->w, shown->h);
        TSurface& s = shot.MutableSurface();
        for (int y = 0; y < shown->h; ++y)
            for (int x = 0; x < shown->w; ++x) s.Set(x, y, ColorToPixel(windowPixel(x, y)));
        shot.SaveToFile(argv[1]);
        std::printf("sdl_check: screenshot written to %s\n", argv[1]);
    }
    std::printf("sdl_check: click, key and repaint went through a real window\n");
    return 0;
}
