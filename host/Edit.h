// TCustomEdit and TEdit: the single-line edit box. It edits its text with the keyboard
// (characters, Backspace, Delete, arrows, Home, End, Shift-selection, Ctrl+A/C/X/V/Z) and
// the mouse (caret placement, drag selection, double click on a word), blinks a caret while
// it has the focus, and calls Change (OnChange) after every change of the text, whether the
// user or the program made it. TCustomMemo derives from it for several lines.
//
// Keys reach the editing after the virtual KeyDown/KeyPress (and OnKeyDown/OnKeyPress): a
// derived control or a handler that sets the key to 0 stops the edit box from acting on it.
#pragma once

#include <string>

#include "host/TextBuffer.h"
#include "host/WinControl.h"

namespace kovo {

enum TEditCharCase : uint8_t { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEdit : public TCustomControl {
  public:
    explicit TCustomEdit(TComponent* AOwner);
    ~TCustomEdit() override;

    // Text and Caption. Setting a different text moves no caret beyond the new end, drops
    // the selection, clears Modified and calls Change.
    std::string GetText() const override;
    void SetText(const std::string& Value) override;

    // The most characters the user can type or paste (0: no limit). Text set by the program
    // is not cut.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    // The user cannot change the text; the program still can.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);

    // The selection in characters. Setting SelStart puts the caret there without a
    // selection; SelLength then selects from SelStart on (negative: to the left).
    int SelStart() const { return FBuffer.SelStart(); }
    void SetSelStart(int Value);
    int SelLength() const { return FBuffer.SelLength(); }
    void SetSelLength(int Value);
    std::string SelText() const;
    // Replaces the selection (inserts at the caret without one); ReadOnly does not apply.
    void SetSelText(const std::string& Value);
    void SelectAll();
    void ClearSelection();
    // The caret's character position: the moving end of the selection.
    int CaretPosition() const { return FBuffer.Caret(); }
    void Clear();

    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    bool CanUndo() const { return FBuffer.CanUndo(); }
    void Undo();
    void ClearUndo() { FBuffer.ClearUndo(); }

    // Set by every change the user makes, cleared when the program sets Text.
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    // Select the whole text when the box gets the focus by the keyboard (Tab).
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    // Keep the height fitting the font.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    // bsSingle: a sunken frame (a flat one-pixel frame without Ctl3D); bsNone: no frame.
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // Shown in place of every character when not 0; copying and cutting are then refused.
    char32_t PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char32_t Value);
    // Hide the selection while the box does not have the focus.
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    // Typed and pasted characters are changed to this case.
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);

    // The character position nearest to the client point (X, Y).
    virtual int PositionAtPoint(int X, int Y);
    // The client point of the top of the caret at character position Pos.
    virtual TPoint PointOfPosition(int Pos);
    // True while the caret is drawn (it blinks every CaretBlinkTime ms while focused).
    bool CaretShown() const { return FCaretOn && Focused(); }

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TNotifyEvent OnChange;

    static constexpr int CaretBlinkTime = 500;

  protected:
    // After every change of the text: fires OnChange.
    virtual void Change();

    // The area inside the frame, and the area the text is laid out in.
    TRect InnerRect() const;
    virtual TRect EditRect() const;
    int BorderWidth() const;

    // The editing layer, in the order keys reach it: navigation and Delete from WM_KEYDOWN,
    // characters (with Backspace, Enter, Ctrl+letters) from WM_CHAR.
    virtual bool EditKeyDown(WORD Key, TShiftState Shift);
    virtual bool EditChar(char32_t Ch);
    // Text the user inserts: cut to MaxLength, CharCase applied, line breaks handled by the
    // kind of box (a single line keeps the first line only).
    virtual std::u32string FilterInput(const std::u32string& S) const;
    // Replaces the selection with S as the user does: nothing when ReadOnly.
    bool UserReplace(const std::u32string& S);
    // What a change of the buffer leads to: Modified (when by the user), the scroll position,
    // the caret, a repaint and Change.
    void TextChanged(bool ByUser);
    void SelectionChanged();
    // Keeps the caret inside the visible area.
    virtual void ScrollCaretIntoView();
    // The text, the size, the font or the frame changed: a derived box lays its text out
    // anew (called before the caret is scrolled into view).
    virtual void LayoutChanged() {}
    // The text as drawn (with the password character).
    std::u32string DisplayChars() const;
    int TextWidthOf(const std::u32string& S);
    int LineHeight();
    void RestartCaret();
    void StopCaret();
    void AdjustHeight();

    void Paint() override;
    // Draws the frame and background; a memo uses it too.
    void PaintFrame();
    // Draws one line of DisplayChars [From, To) with its selected part at (X, Y).
    void PaintTextRun(int X, int Y, int From, int To, int LineH);

    LRESULT GetDlgCode() const override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }
    void WMKeyDown(TMessage& Message) override;
    void WMChar(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    TTextBuffer FBuffer;  // the text, the caret and the selection
    int FScrollX = 0;     // pixels of the text scrolled out to the left

  private:
    void CaretTimer(TMessage& Message);

    int FMaxLength = 0;       // 0: no limit
    bool FReadOnly = false;   // the user cannot change the text
    bool FModified = false;   // the user changed the text
    bool FAutoSelect = true;  // select all on keyboard focus
    bool FAutoSize = true;    // height follows the font
    TBorderStyle FBorderStyle = bsSingle;
    bool FCtl3D = true;  // sunken frame rather than a flat one
    TAlignment FAlignment = taLeftJustify;
    char32_t FPasswordChar = 0;          // shown for every character when not 0
    bool FHideSelection = true;          // selection hidden without focus
    TEditCharCase FCharCase = ecNormal;  // case forced on input
    HWND FCaretWnd = 0;                  // private window of the blink timer
    bool FCaretOn = false;               // the caret is in its visible phase
    bool FSelecting = false;             // the left button drags a selection
    bool FWordSelect = false;            // the drag selects whole words (after a double click)
    int FWordAnchorStart = 0, FWordAnchorEnd = 0;
};

// The classic sunken frame of edit boxes and lists, two pixels wide round R: shadow and dark
// shadow above and to the left, highlight and light below and to the right.
void DrawSunkenFrame(TCanvas* Canvas, const TRect& R);

class TEdit : public TCustomEdit {
  public:
    explicit TEdit(TComponent* AOwner);
};

}  // namespace kovo
