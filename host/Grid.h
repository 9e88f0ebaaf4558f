// The grids: TCustomGrid (cells in rows and columns, fixed rows and columns, sizes per column
// and row, scrolling, selection, keyboard and mouse navigation, column and row sizing and
// moving, the in-place editor), TCustomDrawGrid (the grid whose cells the program draws, with
// events), and the two concrete ones, TDrawGrid and TStringGrid.
//
// Coordinates. The grid's Canvas, its mouse handlers (MouseDown, MouseMove, MouseUp),
// CellRect, MouseCoord and GridWidth/GridHeight all use client coordinates: (0, 0) is the
// top-left pixel inside the border, where the first fixed cell starts. Scroll bars and the
// border lie outside the client area (ClientWidth and ClientHeight leave them out); presses on
// them never reach MouseDown. Positions given to the host's input routines (Headless::Click,
// ...) are control coordinates, BorderWidth() pixels further right and down.
//
// Every cell is followed by a grid line of GridLineWidth pixels (to its right and below),
// drawn in the areas whose line option is on. Painting visits only the visible cells; the
// cost of every operation grows at most with the logarithm of RowCount and ColCount.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/Exceptions.h"
#include "host/ScrollBars.h"
#include "host/WinControl.h"

namespace kovo {

class TInplaceEdit;
class TGridClientCanvas;

enum TGridOption : uint8_t {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking
};
using TGridOptions = TSet<TGridOption>;

enum TGridDrawStateFlag : uint8_t { gdSelected, gdFocused, gdFixed, gdHotTrack };
using TGridDrawState = TSet<TGridDrawStateFlag>;

// What a pressed mouse button is doing.
enum TGridState : uint8_t {
    gsNormal,
    gsSelecting,
    gsRowSizing,
    gsColSizing,
    gsRowMoving,
    gsColMoving
};

// How the in-place editor edits a cell: a plain line, a line with a "..." button, or a line
// with a drop-down list.
enum TEditStyle : uint8_t { esSimple, esEllipsis, esPickList };

struct TGridCoord {
    int X = 0;
    int Y = 0;
    bool operator==(const TGridCoord&) const = default;
};

struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TGridRect&) const = default;
};

// The rectangle spanned by two cells, corners in order.
TGridRect GridRect(TGridCoord A, TGridCoord B);
bool PointInGridRect(int Col, int Row, const TGridRect& Rect);

class EInvalidGridOperation : public EInvalidOperation {
  public:
    using EInvalidOperation::EInvalidOperation;
};

using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TDrawCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, std::string& Value)>;
using TSetEditEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, const std::string& Value)>;
using TMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;

// The sizes of the cells along one axis: a default size plus the cells whose size differs,
// so that a million rows cost nothing until they get sizes of their own. Offsets are found
// in logarithmic time from an index of the differing sizes, rebuilt when they change.
class TGridAxis {
  public:
    int Count() const { return FCount; }
    // Cells beyond the new count lose their sizes; new cells have the default size.
    void SetCount(int Value);
    int DefaultSize() const { return FDefault; }
    // Every cell takes the new default size.
    void SetDefaultSize(int Value);
    int Size(int Index) const;
    void SetSize(int Index, int Value);
    // The sum of (size + Line) over the cells before Index (0 <= Index <= Count).
    int64_t Offset(int Index, int Line) const;
    // The first cell at or after From whose extent (with its line) reaches beyond Distance
    // pixels from the start of From; -1 when the cells end before.
    int CellAt(int From, int64_t Distance, int Line) const;
    // The size of cell From moves to To; the cells between move one place.
    void Move(int From, int To);

  private:
    void Rebuild() const;

    int FCount = 0;                       // number of cells
    int FDefault = 0;                     // size of the cells without a size of their own
    std::map<int, int> FSizes;            // cells whose size differs from the default
    mutable bool FDirty = true;           // FKeys/FDelta must be rebuilt
    mutable std::vector<int> FKeys;       // the indexes of FSizes, ascending
    mutable std::vector<int64_t> FDelta;  // FDelta[k]: sum of (size - default) over FKeys[0..k)
};

class TCustomGrid : public TCustomControl {
  public:
    explicit TCustomGrid(TComponent* AOwner);
    ~TCustomGrid() override;

    // The canvas of the client area (client coordinates, clipped to the client area). It
    // hides TCustomControl::Canvas, whose origin is the control's corner.
    TCanvas* Canvas() const;

    // Counts. At least 1; fewer columns (rows) than fixed ones reduce the fixed ones.
    int ColCount() const { return FColAxis.Count(); }
    void SetColCount(int Value);
    int RowCount() const { return FRowAxis.Count(); }
    void SetRowCount(int Value);
    // Fixed columns (rows) stay in place at the left (top) and never become current. There
    // is always at least one non-fixed column and row: a value not below the count fails
    // with EInvalidGridOperation.
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);

    // Sizes in pixels. Setting a default size gives it to every column (row). Out-of-range
    // indexes read 0 and are ignored when set; negative sizes count as 0.
    int DefaultColWidth() const { return FColAxis.DefaultSize(); }
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FRowAxis.DefaultSize(); }
    void SetDefaultRowHeight(int Value);
    int ColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    int RowHeights(int Index) const;
    void SetRowHeights(int Index, int Value);
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);

    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);

    // The current cell. Setting it goes through SelectCell, scrolls it into view and
    // collapses the selection to it; an index outside the grid fails with
    // EInvalidGridOperation. With goRowSelect the current column is FixedCols.
    int Col() const { return FCurrent.X; }
    void SetCol(int Value);
    int Row() const { return FCurrent.Y; }
    void SetRow(int Value);
    // The selected block: the current cell and the anchor of a range. Setting it stores the
    // block as given (Left/Top become the anchor, Right/Bottom the current cell), without
    // SelectCell and without scrolling; cells outside the grid are allowed, so that a
    // program can leave no visible cell selected.
    TGridRect Selection() const;
    void SetSelection(const TGridRect& Value);

    // The first non-fixed row (column) in view. Set values are limited to the non-fixed
    // rows (columns); the scroll bars and the keys stop where the last row (column) is in
    // full view.
    int TopRow() const { return FTopLeft.Y; }
    void SetTopRow(int Value);
    int LeftCol() const { return FTopLeft.X; }
    void SetLeftCol(int Value);
    // Non-fixed columns (rows) in full view from LeftCol (TopRow), at least 1.
    int VisibleColCount() const;
    int VisibleRowCount() const;
    // The extent of the drawn cells in client coordinates: the right (bottom) end of the
    // last visible column (row) with its line, at most the client width (height).
    int GridWidth() const;
    int GridHeight() const;

    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    // With it on, the grid fills every cell with its colour (the highlight for selected
    // cells, FixedColor for fixed ones) and sets the canvas font before DrawCell, and draws
    // the fixed cells' raised edges and the focus rectangle after it.
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value);
    // bsSingle: a 2-pixel sunken border round the client area; bsNone: none.
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    int BorderWidth() const { return FBorderStyle == bsNone ? 0 : 2; }

    // The in-place editor is on (shown over the current cell while the grid or the editor
    // has the focus, goEditing is set and goRowSelect is not).
    bool EditorMode() const { return FEditorMode; }
    void SetEditorMode(bool Value);
    // The editor, made by CreateEditor when first needed; nullptr before.
    TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }
    void ShowEditor();
    // Reports the editor's text through SetEditText once more if it changed, and hides it.
    void HideEditor();

    // The cell rectangle in client coordinates, clipped to the client area; empty for a
    // cell out of view or outside the grid.
    TRect CellRect(int ACol, int ARow) const;
    // The cell under a client point, each coordinate -1 outside the cells.
    TGridCoord MouseCoord(int X, int Y) const;
    void MouseToCell(int X, int Y, int& ACol, int& ARow) const;

    void InvalidateCell(int ACol, int ARow);
    void InvalidateCol(int ACol);
    void InvalidateRow(int ARow);
    void InvalidateGrid() { Invalidate(); }

    // Makes (ACol, ARow) current through SelectCell; MoveAnchor collapses the selection to
    // it (otherwise a range selection grows), Show scrolls it into view.
    void MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show);
    // Moves a column (row) with its size to another place, as dragging a fixed cell with
    // goColMoving (goRowMoving) does; ColumnMoved (RowMoved) follows.
    void MoveColumn(int FromIndex, int ToIndex);
    void MoveRow(int FromIndex, int ToIndex);

    TGridState GridState() const { return FGridState; }
    // The scroll bars (control coordinates; empty bounds while hidden).
    TScrollBarPiece* VertScrollBar();
    TScrollBarPiece* HorzScrollBar();

    TRect GetClientRect() const override;
    TPoint ClientOrigin() const override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // The wheel moves the current row (unless OnMouseWheelDown/Up handled it).
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

  protected:
    // Draws one cell, called by Paint for every cell in view (not for the cell the shown
    // editor covers). AState: gdFixed for fixed cells, gdSelected inside the Selection,
    // gdFocused for the current cell while the grid has the focus, gdHotTrack for the fixed
    // cell under the mouse. The default draws nothing (DefaultDrawing has filled the cell).
    virtual void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState);
    // Asked before a cell becomes current by the keyboard, the mouse or the program;
    // false keeps the current cell.
    virtual bool SelectCell(int ACol, int ARow);
    // The editor's text when it starts on a cell, and every text the user makes.
    virtual std::string GetEditText(int ACol, int ARow);
    virtual void SetEditText(int ACol, int ARow, const std::string& Value);
    virtual TEditStyle GetEditStyle(int ACol, int ARow);
    // The most characters the editor takes (0: no limit).
    virtual int GetEditLimit() { return 0; }
    virtual bool CanEditShow() const;
    virtual bool CanEditAcceptKey(char32_t Key);
    virtual bool CanEditModify();
    virtual bool CanGridAcceptKey(WORD Key, TShiftState Shift);
    // Makes the in-place editor (a TInplaceEdit; a TInplaceEditList for pick lists).
    virtual TInplaceEdit* CreateEditor();

    // Notifications after the fact.
    virtual void TopLeftChanged() {}
    virtual void SizeChanged(int OldColCount, int OldRowCount);
    virtual void ColWidthsChanged() {}
    virtual void RowHeightsChanged() {}
    virtual void ColumnMoved(int FromIndex, int ToIndex);
    virtual void RowMoved(int FromIndex, int ToIndex);

    void Paint() override;
    void PaintWindow(TCanvas* ACanvas) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    LRESULT GetDlgCode() const override;
    void WndProc(TMessage& Message) override;
    void WMChar(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;

    // MoveColRow, then the editor follows and Click fires (the keyboard's way).
    void FocusCell(int ACol, int ARow, bool MoveAnchor);
    // Shows the editor at the current cell, moves it there, or hides it, as the state asks.
    void UpdateEdit();
    // The screen rectangle (client coordinates) of a block of cells, clipped to the view.
    TRect BoxRect(int ALeft, int ATop, int ARight, int ABottom) const;
    void InvalidateBox(const TGridRect& R);
    // The largest LeftCol and TopRow that scrolling reaches.
    TGridCoord MaxTopLeft() const;
    void MoveTopLeft(int ALeft, int ATop);
    // Scrolls so that the cell is in full view (as far as it fits).
    void ClampInView(TGridCoord Coord);
    bool IsActiveControl() const;

    friend class TInplaceEdit;
    friend class TInplaceEditList;

  private:
    // Where the cells lie along one axis, for the current scroll position and client size.
    struct TAxisInfo {
        int Extent = 0;         // client width (height)
        int Line = 0;           // width of the lines along this axis (0 when all off)
        int FixedCount = 0;     // fixed cells
        int FixedBoundary = 0;  // end of the fixed cells with their lines
        int First = 0;          // first scrolled cell in view (LeftCol, TopRow)
        int LastVisible = -1;   // last cell (partly) in view; below First when none
        int LastFull = 0;       // last cell in full view (at least First)
        int GridBoundary = 0;   // end of the drawn cells, at most Extent
        const TGridAxis* Axis = nullptr;
        int64_t FirstOffset = 0;  // Axis->Offset(First)
        // Client position of a cell's start; only meaningful for cells in view.
        int64_t Pos(int Index) const;
        // The visible span [start, end) of cells Lo..Hi; false when none is in view.
        bool Span(int Lo, int Hi, int& Start, int& End) const;
        // The cell at a client position, -1 outside.
        int CellAt(int P) const;
    };
    struct TDrawInfo {
        TAxisInfo Horz, Vert;
    };

    void CalcAxis(TAxisInfo& A, const TGridAxis& Axis, int Line, int Fixed, int First,
                  int Extent) const;
    TDrawInfo CalcDrawInfo() const;
    void EnsureLayout() const;
    void LayoutChanged();
    int LineWidth(bool Horizontal) const;
    int MaxFirst(const TGridAxis& Axis, int Line, int Fixed, int Extent) const;

    // Painting.
    void DrawLines(const TDrawInfo& D, bool DoHorz, bool DoVert, int FirstCol, int FirstRow,
                   const TRect& Area, TColor OnColor, TColor OffColor);
    void DrawCells(const TDrawInfo& D, int FirstCol, int EndCol, int FirstRow, int EndRow,
                   const TRect& Area, TColor AColor, TGridDrawState AState, const TRect& Clip);
    void DrawFixedEdge(TRect R, const TDrawInfo& D);
    void DrawDragLine(const TDrawInfo& D);
    void PaintBorderAndBars(TCanvas* C);
    void SetClientPaintClip(const TRect& R);

    // Input.
    void SelectionMoved(const TGridRect& OldSel);
    void MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show);
    void MoveAnchor(TGridCoord NewAnchor);
    void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos,
                         int& SizingOfs) const;
    void ScrollBarScroll(bool Vertical, TScrollCode Code, int Pos);
    void StartSelectTimer();
    void StopSelectTimer();
    void SelectTimer(TMessage& Message);
    void SetHotCell(TGridCoord Cell);
    void UpdateHoverCursor(int X, int Y);
    void ShowCursor(TCursor Cursor);
    void HideEdit();
    void UpdateText();
    void CancelEdit();
    void AfterAxisResize(bool Columns);

    TGridAxis FColAxis;              // column widths
    TGridAxis FRowAxis;              // row heights
    int FFixedCols = 1;              // fixed columns at the left
    int FFixedRows = 1;              // fixed rows at the top
    int FGridLineWidth = 1;          // pixels of each grid line
    TGridOptions FOptions;           // behaviour switches
    TGridCoord FCurrent{1, 1};       // the current cell
    TGridCoord FAnchor{1, 1};        // the other corner of the selection
    TGridCoord FTopLeft{1, 1};       // LeftCol, TopRow
    TColor FFixedColor = clBtnFace;  // background of fixed cells
    TScrollStyle FScrollBars = ssBoth;
    bool FDefaultDrawing = true;
    TBorderStyle FBorderStyle = bsSingle;
    bool FEditorMode = false;                // the in-place editor is on
    TInplaceEdit* FInplaceEdit = nullptr;    // owned
    int FInplaceCol = -1, FInplaceRow = -1;  // the cell the editor shows, -1: none
    std::string FEditOriginal;               // the cell's text when the editor started on it
    std::string FEditReported;               // the last text given to SetEditText
    bool FCanEditModify = true;
    TGridState FGridState = gsNormal;  // what the pressed button does
    int FSizingIndex = -1;             // column (row) being sized
    int FSizingPos = 0;                // client position of the sizing line
    int FSizingOfs = 0;                // mouse offset from the line when grabbed
    int FMoveIndex = -1;               // column (row) being moved
    int FMovePos = -1;                 // where it would go now
    TPoint FLastMouse;                 // last mouse point (client) while a button is down
    TGridCoord FHotCell{-1, -1};       // fixed cell under the mouse
    bool FPressOutside = false;        // a button went down outside the client area
    HWND FTimerWnd = 0;                // private window of the selection scroll timer
    bool FTimerOn = false;
    TScrollBarPiece FVertScroll{sbVertical};
    TScrollBarPiece FHorzScroll{sbHorizontal};
    std::unique_ptr<TGridClientCanvas> FClientCanvas;
    // Layout derived from the properties, recomputed when marked stale.
    mutable bool FLayoutValid = false;
    mutable bool FShowVert = false, FShowHorz = false;  // scroll bars shown
    mutable int FClientW = 0, FClientH = 0;             // client size
    mutable bool FInLayout = false;
    // The focus moving between the grid and its own editor stays inside the grid: no
    // OnExit/OnEnter for that.
    bool FFocusToEditor = false;    // the grid is giving the focus to its editor
    bool FFocusFromEditor = false;  // the editor is giving the focus back
};

class TCustomDrawGrid : public TCustomGrid {
  public:
    explicit TCustomDrawGrid(TComponent* AOwner);

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TGetEditEvent OnGetEditText;
    TSetEditEvent OnSetEditText;
    TNotifyEvent OnTopLeftChanged;
    TMovedEvent OnColumnMoved;
    TMovedEvent OnRowMoved;

  protected:
    void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
    void TopLeftChanged() override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;
};

// A draw grid for programs: everything of TCustomDrawGrid.
class TDrawGrid : public TCustomDrawGrid {
  public:
    explicit TDrawGrid(TComponent* AOwner);
};

// A grid that keeps a text per cell and draws it (2 pixels in from the cell's top-left),
// edits it in place with goEditing, and moves the texts with moved columns and rows.
class TStringGrid : public TDrawGrid {
  public:
    explicit TStringGrid(TComponent* AOwner);

    std::string Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const std::string& Value);

  protected:
    void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
    void SizeChanged(int OldColCount, int OldRowCount) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;

  private:
    std::map<std::pair<int, int>, std::string> FCells;  // (row, column) -> text, non-empty only
};

}  // namespace kovo
