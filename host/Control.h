// TControl: a rectangle on a parent that can be shown, enabled, coloured, painted and
// clicked. Every message reaches a control through its WndProc; Dispatch turns the message
// numbers into the virtual handlers (MouseDown, Click, CMMouseEnter, ...).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "host/Colors.h"
#include "host/Component.h"
#include "host/Font.h"
#include "host/Messages.h"
#include "host/Surface.h"
#include "host/Types.h"

namespace kovo {

class TWinControl;
class TCanvas;
class TPopupMenu;

enum TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

// Horizontal placement of text in a control, and vertical placement (a label's Layout).
enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TVerticalAlignment : uint8_t { taAlignTop, taAlignBottom, taVerticalCenter };
enum TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };

enum TAnchorKind : uint8_t { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;

enum TStyleElement : uint8_t { seFont, seClient, seBorder };
using TStyleElements = TSet<TStyleElement>;

enum TControlStyleFlag : uint8_t {
    csAcceptsControls,
    csCaptureMouse,
    csDesignInteractive,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csParentBackground,
};
using TControlStyle = TSet<TControlStyleFlag>;

enum TControlStateFlag : uint8_t {
    csLButtonDown,
    csClicked,
    csPalette,
    csReadingState,
    csFocusing,
    csCreating,
    csPaintCopy,
    csCustomPaint,
    csDestroyingHandle,
};
using TControlState = TSet<TControlStateFlag>;

using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent = std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta,
                                            TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent =
    std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;

constexpr int WHEEL_DELTA = 120;

class TControl : public TComponent {
  public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    // Moves and sizes the control (negative sizes count as 0), repaints what it covered and
    // what it covers now, and fires OnResize when the size changed.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }

    // The client area in the control's own coordinates; controls without a border have the
    // whole control as client area.
    virtual TRect GetClientRect() const;
    TRect ClientRect() const { return GetClientRect(); }
    int ClientWidth() const { return GetClientRect().Width(); }
    int ClientHeight() const { return GetClientRect().Height(); }
    void SetClientWidth(int Value);
    void SetClientHeight(int Value);
    // Screen position of the client area's (0, 0).
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(TPoint P) const;
    TPoint ScreenToClient(TPoint P) const;
    // The client point P in the coordinates of the top-level control (form) this control
    // sits in.
    TPoint ClientToRoot(TPoint P) const;

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    void Show();
    void Hide();
    // True when this control and all its parents are visible.
    bool Showing() const;

    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);

    TColor Color() const { return FColor; }
    virtual void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);

    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);

    // Caption and Text are the same text, as in the classic host.
    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& Value) { SetText(Value); }
    std::string Text() const { return GetText(); }
    virtual std::string GetText() const { return FText; }
    virtual void SetText(const std::string& Value);

    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);
    TStyleElements StyleElements() const { return FStyleElements; }
    void SetStyleElements(TStyleElements Value);

    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState Value) { FControlState = Value; }

    // Marks the control for repainting; the message loop paints it once, however often it
    // was marked.
    virtual void Invalidate();
    // Paints what is marked at once.
    virtual void Update();
    // Invalidate and Update: the control is drawn before the call returns.
    virtual void Repaint();
    void Refresh() { Repaint(); }
    void BringToFront();
    void SendToBack();

    // Sends a message to the control's WndProc at once and answers its result.
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    virtual void WndProc(TMessage& Message);
    // Calls the handler for the message number, or DefaultHandler.
    void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    // Mouse wheel handling: OnMouseWheel first, then the up/down forms.
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);

    // The top-level control this one sits in (a form, or the control itself without a
    // parent) and the picture that top-level control draws into.
    TControl* RootControl() const;
    TSurface* RootSurface();
    // The part of the control not hidden by the edges of its parents, in root coordinates.
    TRect VisibleRectInRoot() const;
    // The control's position in root coordinates.
    TPoint RootOffset() const;

    void Loaded() override;
    // Forgets the PopupMenu when it is freed.
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnResize;

  protected:
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void Resize();
    virtual void Changed() {}

    // Message handlers, called by Dispatch.
    virtual void WMMouseMove(TMessage& Message);
    virtual void WMLButtonDown(TMessage& Message);
    virtual void WMLButtonUp(TMessage& Message);
    virtual void WMLButtonDblClk(TMessage& Message);
    virtual void WMRButtonDown(TMessage& Message);
    virtual void WMRButtonUp(TMessage& Message);
    virtual void WMMButtonDown(TMessage& Message);
    virtual void WMMButtonUp(TMessage& Message);
    virtual void WMMouseWheel(TMessage& Message);
    virtual void CMMouseEnter(TMessage& Message);
    virtual void CMMouseLeave(TMessage& Message);
    virtual void CMEnabledChanged(TMessage& Message);
    virtual void CMColorChanged(TMessage& Message);
    virtual void CMFontChanged(TMessage& Message);
    virtual void CMTextChanged(TMessage& Message);
    virtual void CMVisibleChanged(TMessage& Message);
    virtual void CMParentFontChanged(TMessage& Message);
    virtual void CMParentColorChanged(TMessage& Message);
    virtual void CMButtonPressed(TMessage& Message) { Message.Result = 0; }
    virtual void CMHitTest(TMessage& Message) { Message.Result = 1; }

    // Draws the control into its root's picture, clipped to Clip (root coordinates). The
    // paint cycle calls this for every control that meets a marked area.
    virtual void PaintControl(const TRect& Clip) { (void)Clip; }
    // Marks the rectangle R (this control's coordinates) of the root for repainting.
    void InvalidateRect(const TRect& R);

    friend class TWinControl;
    friend class TApplication;
    friend class TControlCanvas;

    void InitVisible(bool Value) { FVisible = Value; }

    TControlStyle FControlStyle;
    TControlState FControlState;

  private:
    void DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift);
    void DoMouseUp(TMessage& Message, TMouseButton Button);
    void FontChanged(TObject* Sender);

    TWinControl* FParent = nullptr;  // the windowed control this one sits on
    int FLeft = 0, FTop = 0;         // position in the parent's client area
    int FWidth = 0, FHeight = 0;     // size in pixels
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clWindow;
    bool FParentColor = false;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    bool FFontFromParent = false;  // set while a parent's font is copied in
    std::string FText;
    std::string FHint;
    bool FShowHint = false;
    TCursor FCursor = crDefault;
    TPopupMenu* FPopupMenu = nullptr;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    TStyleElements FStyleElements{seFont, seClient, seBorder};
    std::unique_ptr<TSurface> FOwnSurface;  // the picture of a control without a parent
    TRect FAnchorBase;                      // bounds when last placed by the program, for anchoring
    TSize FAnchorParent;                    // the parent's client size at that time
    bool FAnchoring = false;                // set while the parent moves it by its anchors
};

// The form (or top-level control) the control sits in, nullptr when it has no parent form.
class TCustomForm;
TCustomForm* GetParentForm(TControl* Control);

// The component menus register their way of opening a popup menu at a screen point; a right
// click on a control with a PopupMenu calls it.
using TPopupHandler = void (*)(TPopupMenu* Menu, int ScreenX, int ScreenY);
void SetPopupHandler(TPopupHandler Handler);

}  // namespace kovo
