#include "host/platform/Sdl.h"

#include <SDL.h>

#include <cstdio>
#include <map>

#include "host/Application.h"
#include "host/Form.h"
#include "host/PopupWindow.h"
#include "host/platform/Backend.h"

namespace kovo {

namespace {

WORD KeyToVirtualKey(SDL_Keycode k) {
    if (k >= SDLK_a && k <= SDLK_z) return WORD('A' + (k - SDLK_a));
    if (k >= SDLK_0 && k <= SDLK_9) return WORD('0' + (k - SDLK_0));
    if (k >= SDLK_F1 && k <= SDLK_F12) return WORD(VK_F1 + (k - SDLK_F1));
    if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return WORD(VK_NUMPAD1 + (k - SDLK_KP_1));
    switch (k) {
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_PAGEUP:
            return VK_PRIOR;
        case SDLK_PAGEDOWN:
            return VK_NEXT;
        case SDLK_END:
            return VK_END;
        case SDLK_HOME:
            return VK_HOME;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_INSERT:
            return VK_INSERT;
        case SDLK_DELETE:
            return VK_DELETE;
        case SDLK_LSHIFT:
            return VK_LSHIFT;
        case SDLK_RSHIFT:
            return VK_RSHIFT;
        case SDLK_LCTRL:
            return VK_LCONTROL;
        case SDLK_RCTRL:
            return VK_RCONTROL;
        case SDLK_LALT:
            return VK_LMENU;
        case SDLK_RALT:
            return VK_RMENU;
        case SDLK_KP_0:
            return VK_NUMPAD0;
        case SDLK_KP_MULTIPLY:
            return VK_MULTIPLY;
        case SDLK_KP_PLUS:
            return VK_ADD;
        case SDLK_KP_MINUS:
            return VK_SUBTRACT;
        case SDLK_KP_PERIOD:
            return VK_DECIMAL;
        case SDLK_KP_DIVIDE:
            return VK_DIVIDE;
        case SDLK_PAUSE:
            return VK_PAUSE;
        case SDLK_CAPSLOCK:
            return VK_CAPITAL;
        case SDLK_NUMLOCKCLEAR:
            return VK_NUMLOCK;
        case SDLK_SCROLLLOCK:
            return VK_SCROLL;
        case SDLK_APPLICATION:
            return VK_APPS;
        case SDLK_MINUS:
            return 0xBD;
        case SDLK_PLUS:
        case SDLK_EQUALS:
            return 0xBB;
        case SDLK_COMMA:
            return 0xBC;
        case SDLK_PERIOD:
            return 0xBE;
        default:
            return 0;
    }
}

TShiftState ModsToShift(Uint16 mods) {
    TShiftState s;
    if (mods & KMOD_SHIFT) s.Include(ssShift);
    if (mods & KMOD_CTRL) s.Include(ssCtrl);
    if (mods & KMOD_ALT) s.Include(ssAlt);
    return s;
}

TShiftState CurrentShift() {
    TShiftState s = ModsToShift(Uint16(SDL_GetModState()));
    Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
    if (buttons & SDL_BUTTON_LMASK) s.Include(ssLeft);
    if (buttons & SDL_BUTTON_RMASK) s.Include(ssRight);
    if (buttons & SDL_BUTTON_MMASK) s.Include(ssMiddle);
    return s;
}

SDL_SystemCursor CursorFor(int cursor) {
    switch (cursor) {
        case crIBeam:
            return SDL_SYSTEM_CURSOR_IBEAM;
        case crHourGlass:
            return SDL_SYSTEM_CURSOR_WAIT;
        case crAppStart:
            return SDL_SYSTEM_CURSOR_WAITARROW;
        case crCross:
            return SDL_SYSTEM_CURSOR_CROSSHAIR;
        case crSizeNWSE:
            return SDL_SYSTEM_CURSOR_SIZENWSE;
        case crSizeNESW:
            return SDL_SYSTEM_CURSOR_SIZENESW;
        case crSizeWE:
        case crHSplit:
            return SDL_SYSTEM_CURSOR_SIZEWE;
        case crSizeNS:
        case crVSplit:
            return SDL_SYSTEM_CURSOR_SIZENS;
        case crSizeAll:
            return SDL_SYSTEM_CURSOR_SIZEALL;
        case crNo:
        case crNoDrop:
            return SDL_SYSTEM_CURSOR_NO;
        case crHandPoint:
            return SDL_SYSTEM_CURSOR_HAND;
        default:
            return SDL_SYSTEM_CURSOR_ARROW;
    }
}

class TSdlBackend : public TBackend {
  public:
    ~TSdlBackend() override {
        for (auto& [form, win] : FWindows) SDL_DestroyWindow(win);
        for (auto& [id, cursor] : FCursors) SDL_FreeCursor(cursor);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    uint64_t TickCount() override { return SDL_GetTicks64(); }

    void PumpEvents(bool Wait, int TimeoutMs) override {
        SDL_Event e;
        if (Wait) {
            // With no timer, wake up now and then anyway so that a terminated loop ends.
            int timeout = TimeoutMs < 0 ? 250 : TimeoutMs;
            if (SDL_WaitEventTimeout(&e, timeout)) Translate(e);
        }
        while (SDL_PollEvent(&e)) Translate(e);
        CheckPopupFocus();
    }

    void FormShown(TCustomForm* Form) override {
        SDL_Window* win = Window(Form);
        if (!win) {
            Uint32 flags = SDL_WINDOW_HIDDEN;
            if (Form->BorderStyle() == bsNone) flags |= SDL_WINDOW_BORDERLESS;
            // A popup (drop-down list, menu) stays above its owner and out of the task bar.
            if (IsPopupWindow(Form))
                flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR |
                         SDL_WINDOW_ALWAYS_ON_TOP;
            if (Form->BorderStyle() == bsSizeable || Form->BorderStyle() == bsSizeToolWin)
                flags |= SDL_WINDOW_RESIZABLE;
            int x = Form->Position() == poDesigned ? Form->Left() : SDL_WINDOWPOS_CENTERED;
            int y = Form->Position() == poDesigned ? Form->Top() : SDL_WINDOWPOS_CENTERED;
            win = SDL_CreateWindow(Form->Caption().c_str(), x, y, std::max(1, Form->Width()),
                                   std::max(1, Form->Height()), flags);
            if (!win) throw EOutOfMemory(std::string("Cannot create a window: ") + SDL_GetError());
            FWindows[Form] = win;
        } else if (IsPopupWindow(Form)) {
            SDL_SetWindowPosition(win, Form->Left(), Form->Top());
        }
        if (IsPopupWindow(Form)) FFocusBeforePopup[Form] = SDL_GetKeyboardFocus();
        SDL_ShowWindow(win);
        SDL_RaiseWindow(win);
        if (IsPopupWindow(Form)) FPopupShownAt = SDL_GetTicks64();
        Form->Invalidate();
    }

    void FormHidden(TCustomForm* Form) override {
        SDL_Window* win = Window(Form);
        if (!win) return;
        SDL_HideWindow(win);
        // A desktop without a window manager gives a shown window the keyboard and leaves
        // nobody with it when the window goes: a closing popup hands it back.
        auto it = FFocusBeforePopup.find(Form);
        if (it == FFocusBeforePopup.end()) return;
        SDL_Window* before = it->second;
        FFocusBeforePopup.erase(it);
        SDL_Window* now = SDL_GetKeyboardFocus();
        if (before && before != win && (now == win || !now) && IsOurs(before) &&
            (SDL_GetWindowFlags(before) & SDL_WINDOW_SHOWN))
            SDL_SetWindowInputFocus(before);
    }

    void FormChanged(TCustomForm* Form) override {
        SDL_Window* win = Window(Form);
        if (!win) return;
        SDL_SetWindowTitle(win, Form->Caption().c_str());
        int w, h;
        SDL_GetWindowSize(win, &w, &h);
        if (w != Form->Width() || h != Form->Height())
            SDL_SetWindowSize(win, std::max(1, Form->Width()), std::max(1, Form->Height()));
        if (IsPopupWindow(Form)) SDL_SetWindowPosition(win, Form->Left(), Form->Top());
        SDL_SetWindowBordered(win, Form->BorderStyle() == bsNone ? SDL_FALSE : SDL_TRUE);
    }

    void FormDestroyed(TCustomForm* Form) override {
        FFocusBeforePopup.erase(Form);
        auto it = FWindows.find(Form);
        if (it == FWindows.end()) return;
        for (auto& [popup, before] : FFocusBeforePopup)
            if (before == it->second) before = nullptr;
        SDL_DestroyWindow(it->second);
        FWindows.erase(it);
    }

    void Present(TCustomForm* Form) override {
        SDL_Window* win = Window(Form);
        if (!win) return;
        SDL_Surface* target = SDL_GetWindowSurface(win);
        TSurface* picture = Form->RootSurface();
        if (!target || !picture || picture->Width() == 0) return;
        int w = std::min(target->w, picture->Width());
        int h = std::min(target->h, picture->Height());
        SDL_LockSurface(target);
        SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_XRGB8888, picture->Data(),
                          picture->Width() * int(sizeof(TPixel)), target->format->format,
                          target->pixels, target->pitch);
        SDL_UnlockSurface(target);
        SDL_UpdateWindowSurface(win);
    }

    TPoint FormOrigin(TCustomForm* Form) override {
        SDL_Window* win = Window(Form);
        if (!win) return TPoint{Form->Left(), Form->Top()};
        int x, y;
        SDL_GetWindowPosition(win, &x, &y);
        return TPoint{x, y};
    }

    void ModalLoop(TObject*, const std::function<bool()>& Done) override {
        while (!Done() && !Application->Terminated()) Application->HandleMessage();
    }

    bool TimerAvailable() override { return true; }
    void Beep() override {
        std::fputc('\a', stderr);
        std::fflush(stderr);
    }

    void SetCursorShape(int Cursor) override {
        SDL_SystemCursor id = CursorFor(Cursor);
        SDL_Cursor*& c = FCursors[id];
        if (!c) c = SDL_CreateSystemCursor(id);
        if (c) SDL_SetCursor(c);
    }

    TSize ScreenSize() override {
        SDL_Rect r;
        if (SDL_GetDisplayBounds(0, &r) != 0) return TSize{1920, 1080};
        return TSize{r.w, r.h};
    }

    std::string ClipboardText() override {
        char* t = SDL_GetClipboardText();
        std::string s = t ? t : "";
        SDL_free(t);
        return s;
    }
    bool ClipboardHasText() override { return SDL_HasClipboardText() == SDL_TRUE; }
    void SetClipboardText(const std::string& Text) override { SDL_SetClipboardText(Text.c_str()); }
    void ClearClipboard() override { SDL_SetClipboardText(""); }

  private:
    SDL_Window* Window(TCustomForm* Form) {
        auto it = FWindows.find(Form);
        return it == FWindows.end() ? nullptr : it->second;
    }

    bool IsOurs(SDL_Window* Win) const {
        for (auto& [form, w] : FWindows)
            if (w == Win) return true;
        return false;
    }

    TCustomForm* FormOf(Uint32 windowId) {
        SDL_Window* win = SDL_GetWindowFromID(windowId);
        for (auto& [form, w] : FWindows)
            if (w == win) return form;
        return nullptr;
    }

    void Translate(const SDL_Event& e) {
        switch (e.type) {
            case SDL_QUIT:
                Application->Terminate();
                break;
            case SDL_MOUSEMOTION:
                if (TCustomForm* f = FormOf(e.motion.windowID))
                    Application->InputMouseMove(f, e.motion.x, e.motion.y, CurrentShift());
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                // A press outside the open popups closes them and goes nowhere.
                if (e.type == SDL_MOUSEBUTTONDOWN && !PopupPressAllowed(FormOf(e.button.windowID)))
                    break;
                if (TCustomForm* f = FormOf(e.button.windowID)) {
                    TMouseButton b = e.button.button == SDL_BUTTON_RIGHT    ? mbRight
                                     : e.button.button == SDL_BUTTON_MIDDLE ? mbMiddle
                                                                            : mbLeft;
                    Application->InputMouseButton(f, b, e.type == SDL_MOUSEBUTTONDOWN, e.button.x,
                                                  e.button.y,
                                                  ModsToShift(Uint16(SDL_GetModState())));
                }
                break;
            case SDL_MOUSEWHEEL:
                if (TCustomForm* f = FormOf(e.wheel.windowID)) {
                    int x, y;
                    SDL_GetMouseState(&x, &y);
                    int dy = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
                    if (dy) Application->InputMouseWheel(f, x, y, dy * WHEEL_DELTA, CurrentShift());
                }
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                if (TCustomForm* f = KeyboardForm(e.key.windowID)) {
                    WORD vk = KeyToVirtualKey(e.key.keysym.sym);
                    if (vk)
                        Application->InputKey(f, vk, e.type == SDL_KEYDOWN,
                                              ModsToShift(e.key.keysym.mod));
                }
                break;
            case SDL_TEXTINPUT:
                if (TCustomForm* f = KeyboardForm(e.text.windowID))
                    Application->InputText(f, e.text.text);
                break;
            case SDL_WINDOWEVENT:
                if (TCustomForm* f = FormOf(e.window.windowID)) {
                    switch (e.window.event) {
                        case SDL_WINDOWEVENT_CLOSE:
                            f->Close();
                            break;
                        case SDL_WINDOWEVENT_SIZE_CHANGED:
                            f->SetBounds(f->Left(), f->Top(), e.window.data1, e.window.data2);
                            f->Invalidate();
                            break;
                        case SDL_WINDOWEVENT_EXPOSED:
                            f->Invalidate();
                            break;
                        case SDL_WINDOWEVENT_LEAVE:
                            Application->InputMouseLeave(f);
                            break;
                        case SDL_WINDOWEVENT_FOCUS_GAINED:
                            if (!PopupKeyboardTarget()) Application->SetActiveRoot(f);
                            break;
                        case SDL_WINDOWEVENT_FOCUS_LOST:
                            FFocusLost = true;
                            break;
                        default:
                            break;
                    }
                }
                break;
            default:
                break;
        }
    }

    // While popups are open the keyboard serves the topmost one, whichever window the
    // desktop gives the focus to.
    TCustomForm* KeyboardForm(Uint32 windowId) {
        TCustomForm* f = FormOf(windowId);
        if (!f) return nullptr;
        TCustomForm* popup = PopupKeyboardTarget();
        return popup ? popup : f;
    }

    // The program lost the keyboard to another one while a popup was open: close it. Focus
    // moving between the program's own windows (a popup taking it on a desktop without a
    // window manager) does not count, nor the moments right after a popup appeared.
    void CheckPopupFocus() {
        if (!FFocusLost) return;
        FFocusLost = false;
        if (!PopupKeyboardTarget() || SDL_GetTicks64() < FPopupShownAt + 300) return;
        SDL_Window* focus = SDL_GetKeyboardFocus();
        if (!focus || !FormOf(SDL_GetWindowID(focus))) PopupPressAllowed(nullptr);
    }

    std::map<TCustomForm*, SDL_Window*> FWindows;
    std::map<SDL_SystemCursor, SDL_Cursor*> FCursors;
    std::map<TCustomForm*, SDL_Window*> FFocusBeforePopup;  // who had the keyboard before
    bool FFocusLost = false;     // a window lost the keyboard focus since the last check
    uint64_t FPopupShownAt = 0;  // when the last popup appeared
};

}  // namespace

bool UseSdlBackend(std::string* Reason) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (Reason) *Reason = SDL_GetError();
        return false;
    }
    SDL_StartTextInput();
    InstallBackend(new TSdlBackend());
    return true;
}

}  // namespace kovo
