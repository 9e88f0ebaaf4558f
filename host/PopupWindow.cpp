#include "host/PopupWindow.h"

#include <algorithm>
#include <vector>

#include "host/Application.h"
#include "host/platform/Backend.h"

namespace kovo {

namespace {

// The open popups, the first opened first.
std::vector<TPopupWindow*>& OpenPopups() {
    static std::vector<TPopupWindow*> list;
    return list;
}

bool IsListedForm(TControl* Root) {
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i) == Root) return true;
    return false;
}

}  // namespace

TPopupWindow::TPopupWindow(TComponent* AOwner)
    : TCustomForm(AOwner), FCanvas(std::make_unique<TControlCanvas>(this)) {
    SetBorderStyle(bsNone);
    SetPosition(poDesigned);
    SetColor(clWindow);
    // Esc must reach the window even when one of its controls has the focus.
    SetKeyPreview(true);
}

TPopupWindow::~TPopupWindow() {
    std::erase(OpenPopups(), this);
}

bool TPopupWindow::Popup(int ScreenX, int ScreenY) {
    if (FOpen) return false;
    TSize screen = Backend().ScreenSize();
    int x = std::max(0, std::min(ScreenX, screen.cx - Width()));
    int y = std::max(0, std::min(ScreenY, screen.cy - Height()));
    SetBounds(x, y, Width(), Height());

    TCustomForm* previousMain = Application->MainForm();
    TControl* previousRoot = Application->ActiveRoot();
    FAccepted = false;
    FOpen = true;
    OpenPopups().push_back(this);
    auto finish = [&] {
        std::erase(OpenPopups(), this);
        FOpen = false;
        if (Visible()) Hide();
        if (Application->MainForm() == this) Application->SetMainForm(previousMain);
        if (Application->ActiveRoot() == this || !Application->ActiveRoot())
            Application->SetActiveRoot(IsListedForm(previousRoot) ? previousRoot : nullptr);
    };
    try {
        Show();
        // A popup never becomes the program's main form: closing it must not end the program.
        if (Application->MainForm() == this) Application->SetMainForm(previousMain);
        if (OnPopup) OnPopup(this);
        Application->ProcessMessages();
        if (FOpen && Visible())
            Backend().ModalLoop(ModalSubject(), [this] { return !FOpen || !Visible(); });
    } catch (...) {
        finish();
        throw;
    }
    finish();
    if (OnCloseUp) OnCloseUp(this);
    return FAccepted;
}

bool TPopupWindow::PopupBelow(const TRect& Anchor) {
    TSize screen = Backend().ScreenSize();
    int y = Anchor.Bottom;
    if (y + Height() > screen.cy && Anchor.Top - Height() >= 0) y = Anchor.Top - Height();
    return Popup(Anchor.Left, y);
}

void TPopupWindow::ClosePopup(bool Accepted) {
    if (!FOpen) return;
    FAccepted = Accepted;
    FOpen = false;
    if (Visible()) Hide();
}

void TPopupWindow::PaintWindow(TCanvas*) {
    FCanvas->SetPaintClip(FPaintClip);
    try {
        Paint();
    } catch (...) {
        FCanvas->SetPaintClip({});
        throw;
    }
    FCanvas->SetPaintClip({});
}

void TPopupWindow::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomForm::KeyDown(Key, Shift);
    if (Key == VK_ESCAPE && FOpen) {
        Key = 0;
        ClosePopup(false);
    }
}

bool PopupPressAllowed(TCustomForm* Form) {
    auto& list = OpenPopups();
    if (list.empty()) return true;
    auto it = std::find(list.begin(), list.end(), Form);
    // Close from the top down to (not including) the popup pressed in, or all of them.
    size_t keep = it == list.end() ? 0 : size_t(it - list.begin()) + 1;
    std::vector<TPopupWindow*> closing(list.begin() + long(keep), list.end());
    for (auto c = closing.rbegin(); c != closing.rend(); ++c) (*c)->ClosePopup(false);
    return it != list.end();
}

TCustomForm* PopupKeyboardTarget() {
    auto& list = OpenPopups();
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if ((*it)->IsOpen()) return *it;
    return nullptr;
}

bool IsPopupWindow(const TCustomForm* Form) {
    return dynamic_cast<const TPopupWindow*>(Form) != nullptr;
}

}  // namespace kovo
