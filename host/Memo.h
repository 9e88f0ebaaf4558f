// TCustomMemo and TMemo: the edit box for several lines. Lines gives the text line by line
// as a TStrings; the text breaks at line feeds ("\r\n" and a lone "\r" become "\n") and, with
// WordWrap, at word ends to fit the width. Enter makes a new line (WantReturns), Tab a tab
// character (WantTabs); Up, Down, PageUp, PageDown and Ctrl+Home/End move between lines, and
// the scroll bars (ScrollBars) and the mouse wheel scroll.
#pragma once

#include <memory>
#include <vector>

#include "host/Edit.h"
#include "host/ScrollBars.h"
#include "host/Strings.h"

namespace kovo {

class TCustomMemo;

// The memo's text seen line by line. Lines are counted as the memo shows them, except that an
// empty last line (the text ends with a line break) is not counted.
class TMemoStrings : public TStrings {
  public:
    explicit TMemoStrings(TCustomMemo* Memo) : FMemo(Memo) {}
    int Count() const override;
    std::string Strings(int Index) const override;
    void SetStrings(int Index, const std::string& S) override;
    // Before line Index (which then follows the new line); at Count, after the last line.
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    void SetText(const std::string& Value) override;

  private:
    TCustomMemo* FMemo;
};

class TCustomMemo : public TCustomEdit {
  public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;

    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value) { FLines->Assign(Value); }
    void SetText(const std::string& Value) override;

    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    // Lines wider than the box continue on the next row (not with a horizontal scroll bar).
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);

    // The caret as column (X) and line (Y), both from 0.
    TPoint CaretPos() const;
    void SetCaretPos(TPoint Value);
    // The first row shown, and how many rows fit.
    int TopRow() const { return FTopRow; }
    void SetTopRow(int Value);
    int VisibleRows();
    // The rows the text is laid out in (a line is one row without WordWrap).
    int RowCount();

    int PositionAtPoint(int X, int Y) override;
    TPoint PointOfPosition(int Pos) override;

    // The character position where line Index starts (Length() for Index beyond the end).
    int LineStart(int Index) const;
    int LineLength(int Index) const;
    int PhysicalLineCount() const;

  protected:
    friend class TMemoStrings;
    struct TRow {
        int Start, End;  // characters of the row, its line break left out
    };

    TRect EditRect() const override;
    bool EditKeyDown(WORD Key, TShiftState Shift) override;
    bool EditChar(char32_t Ch) override;
    std::u32string FilterInput(const std::u32string& S) const override;
    void ScrollCaretIntoView() override;
    void LayoutChanged() override;
    LRESULT GetDlgCode() const override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

    // Replaces characters [From, To) of the text as the program does (Lines).
    void ReplaceRange(int From, int To, const std::u32string& S);

  private:
    bool Wrapping() const;
    void EnsureLineStarts() const;
    void EnsureRows();
    // Pixel offsets of the row's character boundaries from its origin (tabs included).
    std::vector<int> RowOffsets(const TRow& Row);
    int CharWidth(char32_t C, int X);
    int PosInRow(int Row, int X);
    void PaintRow(int Row, int Y, int LineH);
    int RowOf(int Pos);
    int RowOriginX(int Row);
    void PlaceScrollBars();
    void Scrolled(TScrollBarKind Kind, TScrollCode Code, int Pos);
    void MoveToRow(int Row, bool Extend);

    std::unique_ptr<TMemoStrings> FLines;  // the text line by line
    bool FWantReturns = true;              // Enter makes a new line
    bool FWantTabs = false;                // Tab types a tab character
    bool FWordWrap = true;                 // rows break at word ends
    TScrollStyle FScrollBars = ssNone;
    mutable std::vector<int> FLineStarts;  // where each line starts
    mutable bool FLineStartsValid = false;
    std::vector<TRow> FRows;  // the layout
    bool FRowsValid = false;  // FRows fits the text, width and font
    int FTopRow = 0;          // first row shown
    int FDesiredX = -1;       // column in pixels that Up and Down keep (-1: the caret's)
    TScrollBarPiece FVScroll{sbVertical};
    TScrollBarPiece FHScroll{sbHorizontal};
};

class TMemo : public TCustomMemo {
  public:
    explicit TMemo(TComponent* AOwner);
};

}  // namespace kovo
