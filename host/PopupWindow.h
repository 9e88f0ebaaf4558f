// TPopupWindow: a borderless top-level window that opens at a screen point and runs a modal
// loop until it closes: by its content (ClosePopup, e.g. when a list entry or menu item is
// chosen), by Esc, or by a mouse press outside it. Drop-down lists, popup menus and small
// dialogs are built on it.
//
// With the SDL2 backend it is a real window that takes no decorations; keyboard input goes to
// the topmost open popup and a press elsewhere closes it. With the headless backend the
// modal handler receives the popup window itself (Subject, unless SetModalSubject chose
// another object) and plays the user: Headless::Click(popup, x, y), Headless::PressKey(popup,
// VK_RETURN), or ClosePopup.
//
// Popups nest (a submenu opens from a menu): a press inside an open popup closes the ones
// opened after it and goes on to it; a press outside all of them closes them all and is
// swallowed.
#pragma once

#include <memory>

#include "host/Form.h"

namespace kovo {

class TPopupWindow : public TCustomForm {
  public:
    explicit TPopupWindow(TComponent* AOwner);
    ~TPopupWindow() override;

    // Shows the window with its top-left corner at the screen point (moved as far as needed
    // to lie on the screen) and runs the modal loop. Answers true when the content closed it
    // with ClosePopup(true), false when cancelled (Esc, a press outside, no modal handler).
    bool Popup(int ScreenX, int ScreenY);
    // Opens below the screen rectangle Anchor, left edges aligned, or above it when the
    // screen has no room below.
    bool PopupBelow(const TRect& Anchor);
    // Ends the modal loop; Accepted is what Popup answers.
    void ClosePopup(bool Accepted);
    bool IsOpen() const { return FOpen; }
    bool Accepted() const { return FAccepted; }

    // What the headless modal handler receives (this window unless set).
    TObject* ModalSubject() const {
        return FModalSubject ? FModalSubject : const_cast<TPopupWindow*>(this);
    }
    void SetModalSubject(TObject* Subject) { FModalSubject = Subject; }

    // Drawing surface for Paint (the window has no caption or frame of its own).
    TCanvas* Canvas() const { return FCanvas.get(); }

    TNotifyEvent OnPopup;    // shown, before the loop runs
    TNotifyEvent OnCloseUp;  // closed, before Popup returns

  protected:
    virtual void Paint() {}
    void PaintWindow(TCanvas* ACanvas) override;
    // Esc closes as cancelled.
    void KeyDown(WORD& Key, TShiftState Shift) override;

  private:
    std::unique_ptr<TControlCanvas> FCanvas;
    TObject* FModalSubject = nullptr;  // handed to the modal loop
    bool FOpen = false;                // the modal loop runs
    bool FAccepted = false;            // closed by the content with a choice
};

// The backends' side of open popups.
// Before a mouse press reaches Form (nullptr: outside every window of the program, or the
// program lost the focus): closes the popups the press lies outside of and answers false
// when the press is to be swallowed.
bool PopupPressAllowed(TCustomForm* Form);
// The window keyboard input goes to while popups are open (the topmost one), else nullptr.
TCustomForm* PopupKeyboardTarget();
// True when Form is a popup window.
bool IsPopupWindow(const TCustomForm* Form);

}  // namespace kovo
