#include "host/Form.h"

#include <algorithm>

#include "host/Application.h"
#include "host/platform/Backend.h"

namespace kovo {

// The screen lives as long as the program, like the application.
TScreen* Screen = new TScreen();

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    InitVisible(false);
    SetColor(clBtnFace);
    FControlStyle.Include(csAcceptsControls);
    TWinControl::SetBounds(0, 0, 400, 300);
    Screen->FForms.push_back(this);
}

TCustomForm::~TCustomForm() {
    if (OnDestroy) {
        try {
            OnDestroy(this);
        } catch (...) {
            Application->HandleException(this);
        }
    }
    std::erase(Screen->FForms, this);
    if (FShownOnBackend) Backend().FormDestroyed(this);
    FShownOnBackend = false;
    Application->ControlDestroying(this);
}

void TCustomForm::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    if (FShownOnBackend) Backend().FormChanged(this);
}

TWinControl* TCustomForm::ActiveControl() const {
    return Application->FocusedControl(const_cast<TCustomForm*>(this));
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
    if (Control && !ContainsControl(Control)) return;
    if (Control && Visible() && Control->CanFocus())
        Control->SetFocus();
    else
        Application->SetFocusedControl(this, Control);
}

void TCustomForm::Show() {
    SetVisible(true);
}

void TCustomForm::SetVisible(bool Value) {
    if (Visible() == Value) return;
    TWinControl::SetVisible(Value);
    if (Value) {
        HandleNeeded();
        if (FPosition == poScreenCenter || FPosition == poDesktopCenter ||
            FPosition == poMainFormCenter || FPosition == poOwnerFormCenter) {
            TSize s = Backend().ScreenSize();
            TWinControl::SetBounds((s.cx - Width()) / 2, (s.cy - Height()) / 2, Width(), Height());
        }
        if (!Application->MainForm()) Application->SetMainForm(this);
        Backend().FormShown(this);
        FShownOnBackend = true;
        Application->SetActiveRoot(this);
        if (!ActiveControl()) SelectNext(nullptr, true, true);
        DoShow();
        Invalidate();
    } else {
        DoHide();
        if (FShownOnBackend) Backend().FormHidden(this);
        FShownOnBackend = false;
    }
}

void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    if (OnClose) OnClose(this, action);
    if (action == caNone) return;
    if (FModal) {
        if (FModalResult == mrNone) FModalResult = mrCancel;
        return;
    }
    Hide();
    if (Application->MainForm() == this) Application->Terminate();
}

TModalResult TCustomForm::ShowModal() {
    if (FModal) throw EInvalidOperation("Cannot make a visible window modal");
    FModalResult = mrNone;
    FModal = true;
    TControl* previousRoot = Application->ActiveRoot();
    try {
        Show();
        Application->ProcessMessages();
        Backend().ModalLoop(this, [this] { return FModalResult != mrNone || !Visible(); });
    } catch (...) {
        FModal = false;
        Hide();
        throw;
    }
    if (FModalResult == mrNone) FModalResult = mrCancel;
    FModal = false;
    Hide();
    Application->SetActiveRoot(previousRoot);
    return FModalResult;
}

void TCustomForm::SetText(const std::string& Value) {
    TWinControl::SetText(Value);
    if (FShownOnBackend) Backend().FormChanged(this);
}

void TCustomForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FShownOnBackend) Backend().FormChanged(this);
}

void TCustomForm::KeyDown(WORD& Key, TShiftState Shift) {
    TWinControl::KeyDown(Key, Shift);
}

TForm::TForm(TComponent* AOwner) : TCustomForm(AOwner) {}

TScreen::TScreen() : TComponent(nullptr) {}

void TScreen::SetCursor(TCursor Value) {
    if (FCursor == Value) return;
    FCursor = Value;
    TControl* hover = Application->HoverControl();
    Backend().SetCursorShape(FCursor != crDefault ? FCursor : hover ? hover->Cursor() : crDefault);
}

int TScreen::Width() const {
    return Backend().ScreenSize().cx;
}
int TScreen::Height() const {
    return Backend().ScreenSize().cy;
}

TCustomForm* TScreen::Forms(int Index) const {
    if (Index < 0 || Index >= FormCount()) return nullptr;
    return FForms[Index];
}

TCustomForm* TScreen::ActiveForm() const {
    return dynamic_cast<TCustomForm*>(Application->ActiveRoot());
}

TWinControl* TScreen::ActiveControl() const {
    TCustomForm* f = ActiveForm();
    return f ? f->ActiveControl() : nullptr;
}

}  // namespace kovo
