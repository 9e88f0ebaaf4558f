// TForm: a top-level window with a caption that owns one picture (its frame buffer), shows
// itself through the backend and runs modal loops; TScreen: the desktop.
#pragma once

#include <functional>
#include <vector>

#include "host/WinControl.h"

namespace kovo {

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrClose = 8;
constexpr TModalResult mrAll = 12;
constexpr TModalResult mrNoToAll = 13;
constexpr TModalResult mrYesToAll = 14;

enum TPosition : uint8_t {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};

enum TCloseAction : uint8_t { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
  public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }

    TWinControl* ActiveControl() const;
    void SetActiveControl(TWinControl* Control);

    // Shows the form (a window on the desktop with the SDL2 backend).
    void Show();
    void SetVisible(bool Value) override;
    // Asks OnCloseQuery, then OnClose; hides the form (or ends its modal loop, or frees it
    // with caFree after the current message).
    void Close();
    // Shows the form and runs a modal loop until ModalResult is set; answers it. The form is
    // hidden again at the end.
    virtual TModalResult ShowModal();
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    bool Modal() const { return FModal; }

    void SetText(const std::string& Value) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;

  protected:
    virtual bool CloseQuery();
    virtual void DoShow();
    virtual void DoHide();
    void KeyDown(WORD& Key, TShiftState Shift) override;

  private:
    friend class TApplication;
    TBorderStyle FBorderStyle = bsSizeable;
    TPosition FPosition = poDesigned;
    bool FKeyPreview = false;
    TModalResult FModalResult = mrNone;
    bool FModal = false;
    bool FShownOnBackend = false;
};

class TForm : public TCustomForm {
  public:
    explicit TForm(TComponent* AOwner);
};

class TScreen : public TComponent {
  public:
    TScreen();
    // The cursor shown everywhere while it is not crDefault (crHourGlass during long work).
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    int Width() const;
    int Height() const;
    int FormCount() const { return static_cast<int>(FForms.size()); }
    TCustomForm* Forms(int Index) const;
    TCustomForm* ActiveForm() const;
    TWinControl* ActiveControl() const;

  private:
    friend class TCustomForm;
    TCursor FCursor = crDefault;
    std::vector<TCustomForm*> FForms;
};

extern TScreen* Screen;

}  // namespace kovo
