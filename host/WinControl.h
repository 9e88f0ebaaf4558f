// TWinControl: a control with a window of the message system. It holds child controls,
// takes the keyboard focus and lays out aligned children; TGraphicControl and
// TCustomControl are the two bases that components paint on through a Canvas.
#pragma once

#include <vector>

#include "host/Canvas.h"
#include "host/Control.h"

namespace kovo {

using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char32_t& Key)>;

enum TBorderStyle : uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TFormBorderStyle = TBorderStyle;

class TControlCanvas;

class TWinControl : public TControl {
  public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // Children in z-order: the last one is on top.
    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int Index) const;
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    // The topmost visible child (enabled unless AllowDisabled) at P (client coordinates).
    TControl* ControlAtPos(TPoint P, bool AllowDisabled = false) const;
    bool ContainsControl(const TControl* Control) const;

    // The window. Handle() creates it when it does not exist yet (with the windows of the
    // parents first), calling CreateWnd.
    HWND Handle();
    bool HandleAllocated() const { return FHandle != 0; }
    void HandleNeeded();
    void DestroyHandle();

    // Focus.
    bool Focused() const;
    virtual bool CanFocus() const;
    virtual void SetFocus();
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value) { FTabStop = Value; }
    int TabOrder() const;
    void SetTabOrder(int Value);
    // The next (or previous) control that takes focus by Tab, after CurControl.
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                 bool CheckParent) const;
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

    bool DoubleBuffered() const { return FDoubleBuffered; }
    virtual void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }

    // Sends Message to every child.
    void Broadcast(TMessage& Message);
    void NotifyControls(UINT Msg);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Invalidate() override;
    // Lays out the aligned and anchored children.
    void Realign();
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();

    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

  protected:
    virtual void CreateWnd();
    virtual void DestroyWnd();
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void KeyPress(char32_t& Key);
    virtual void DoEnter();
    virtual void DoExit();
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    // The window's answer to WM_GETDLGCODE: which navigation keys it keeps for itself.
    virtual LRESULT GetDlgCode() const { return 0; }
    // Fills the background before Paint (skipped with csOpaque).
    virtual void EraseBackground(TCanvas* ACanvas);

    void WndProc(TMessage& Message) override;
    virtual void WMKeyDown(TMessage& Message);
    virtual void WMKeyUp(TMessage& Message);
    virtual void WMChar(TMessage& Message);
    virtual void WMSetFocus(TMessage& Message);
    virtual void WMKillFocus(TMessage& Message);
    void CMColorChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;

    void PaintControl(const TRect& Clip) override;
    virtual void PaintWindow(TCanvas* ACanvas) { (void)ACanvas; }

    friend class TControl;
    friend class TApplication;

    // The area being painted (root coordinates) while the paint cycle draws this control.
    TRect FPaintClip;

  private:
    void AlignChildren();
    void AnchorChildren(int OldClientWidth, int OldClientHeight);
    void CollectTabOrder(std::vector<TWinControl*>& List) const;

    std::vector<TControl*> FControls;    // children, bottom to top
    std::vector<TWinControl*> FTabList;  // windowed children in tab order
    HWND FHandle = 0;                    // the window in the message system
    bool FTabStop = false;
    bool FDoubleBuffered = false;
    int FAlignLevel = 0;
    std::unique_ptr<TControlCanvas> FPaintCanvas;  // the canvas the paint cycle draws with
};

// A canvas that draws on a control: into its root's picture, at the control's place,
// clipped to the parts of the control its parents leave visible (and, during the paint
// cycle, to the area being painted).
class TControlCanvas : public TCanvas {
  public:
    explicit TControlCanvas(TControl* Control) : FControl(Control) {}
    TControl* Control() const { return FControl; }
    // Limits drawing to R (root coordinates) while the paint cycle runs; an empty rectangle
    // lifts the limit.
    void SetPaintClip(const TRect& R) { FPaintClip = R; }

  protected:
    void RequireSurface() override;

  private:
    TControl* FControl;
    TRect FPaintClip;
};

// Limits a control canvas to the area being painted for as long as the scope lasts.
class TPaintClipScope {
  public:
    TPaintClipScope(TControlCanvas* Canvas, const TRect& Clip) : FCanvas(Canvas) {
        FCanvas->SetPaintClip(Clip);
    }
    ~TPaintClipScope() { FCanvas->SetPaintClip({}); }
    TPaintClipScope(const TPaintClipScope&) = delete;
    TPaintClipScope& operator=(const TPaintClipScope&) = delete;

  private:
    TControlCanvas* FCanvas;
};

// A control without a window of its own that paints on its parent through Canvas.
class TGraphicControl : public TControl {
  public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }

  protected:
    virtual void Paint() {}
    void PaintControl(const TRect& Clip) override;

  private:
    std::unique_ptr<TControlCanvas> FCanvas;
};

// A windowed control that paints itself through Canvas.
class TCustomControl : public TWinControl {
  public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }

  protected:
    virtual void Paint() {}
    void PaintWindow(TCanvas* ACanvas) override;

  private:
    std::unique_ptr<TControlCanvas> FCanvas;
};

}  // namespace kovo
