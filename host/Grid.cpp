// The grid's model: counts, sizes, options, the current cell and the selection, scrolling,
// the layout of the client area and the scroll bars, and the in-place editor's life.
// Painting is in GridPaint.cpp, mouse and keyboard in GridInput.cpp.
#include "host/Grid.h"

#include <algorithm>
#include <climits>

#include "host/Application.h"
#include "host/InplaceEdit.h"

namespace kovo {

TGridRect GridRect(TGridCoord A, TGridCoord B) {
    return TGridRect{std::min(A.X, B.X), std::min(A.Y, B.Y), std::max(A.X, B.X),
                     std::max(A.Y, B.Y)};
}

bool PointInGridRect(int Col, int Row, const TGridRect& Rect) {
    return Col >= Rect.Left && Col <= Rect.Right && Row >= Rect.Top && Row <= Rect.Bottom;
}

// --- TGridAxis ---------------------------------------------------------------------------

void TGridAxis::SetCount(int Value) {
    Value = std::max(0, Value);
    if (Value == FCount) return;
    if (Value < FCount) {
        FSizes.erase(FSizes.lower_bound(Value), FSizes.end());
        FDirty = true;
    }
    FCount = Value;
}

void TGridAxis::SetDefaultSize(int Value) {
    FDefault = std::max(0, Value);
    FSizes.clear();
    FDirty = true;
}

int TGridAxis::Size(int Index) const {
    if (Index < 0 || Index >= FCount) return 0;
    auto it = FSizes.find(Index);
    return it == FSizes.end() ? FDefault : it->second;
}

void TGridAxis::SetSize(int Index, int Value) {
    if (Index < 0 || Index >= FCount) return;
    Value = std::max(0, Value);
    if (Value == FDefault)
        FSizes.erase(Index);
    else
        FSizes[Index] = Value;
    FDirty = true;
}

void TGridAxis::Rebuild() const {
    FKeys.clear();
    FDelta.clear();
    FKeys.reserve(FSizes.size());
    FDelta.reserve(FSizes.size() + 1);
    int64_t sum = 0;
    FDelta.push_back(0);
    for (auto [index, size] : FSizes) {
        FKeys.push_back(index);
        sum += int64_t(size) - FDefault;
        FDelta.push_back(sum);
    }
    FDirty = false;
}

int64_t TGridAxis::Offset(int Index, int Line) const {
    Index = std::clamp(Index, 0, FCount);
    if (FDirty) Rebuild();
    size_t k = size_t(std::lower_bound(FKeys.begin(), FKeys.end(), Index) - FKeys.begin());
    return int64_t(Index) * (int64_t(FDefault) + Line) + FDelta[k];
}

int TGridAxis::CellAt(int From, int64_t Distance, int Line) const {
    if (From < 0 || From >= FCount || Distance < 0) return -1;
    int64_t target = Offset(From, Line) + Distance;
    if (Offset(FCount, Line) <= target) return -1;
    // The smallest m in (From, FCount] with Offset(m) > target; the cell is m - 1.
    int lo = From + 1, hi = FCount;
    while (lo < hi) {
        int mid = lo + (hi - lo) / 2;
        if (Offset(mid, Line) > target)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo - 1;
}

void TGridAxis::Move(int From, int To) {
    if (From == To || From < 0 || To < 0 || From >= FCount || To >= FCount) return;
    int moved = Size(From);
    std::map<int, int> next;
    for (auto [index, size] : FSizes) {
        if (index == From) continue;
        int i = index;
        if (From < To && index > From && index <= To) --i;
        if (To < From && index >= To && index < From) ++i;
        next.emplace(i, size);
    }
    FSizes.swap(next);
    SetSize(To, moved);
    FDirty = true;
}

// --- The client-area canvas -------------------------------------------------------------

// Draws into the root's picture with its origin at the grid's client origin, clipped to the
// client area (and, during the paint cycle, to the area being painted).
class TGridClientCanvas : public TCanvas {
  public:
    explicit TGridClientCanvas(TCustomGrid* Grid) : FGrid(Grid) {}
    void SetPaintClip(const TRect& R) { FPaintClip = R; }

  protected:
    void RequireSurface() override {
        TCustomGrid* g = FGrid;
        if (g->Parent() && !g->Showing() && !g->ComponentState().contains(csDesigning)) {
            SetSurface(nullptr);
            return;
        }
        TPoint off = g->RootOffset();
        int b = g->BorderWidth();
        TPoint org{off.X + b, off.Y + b};
        TRect vis =
            IntersectRect(g->VisibleRectInRoot(), OffsetRect(g->GetClientRect(), org.X, org.Y));
        if (!FPaintClip.IsEmpty()) vis = IntersectRect(vis, FPaintClip);
        if (vis.IsEmpty()) {
            SetSurface(nullptr);
            return;
        }
        SetSurface(g->RootSurface(), org, vis);
        Application->SurfaceChanged(g->RootControl());
    }

  private:
    TCustomGrid* FGrid;
    TRect FPaintClip;
};

// --- TCustomGrid: construction and properties --------------------------------------------

TCustomGrid::TCustomGrid(TComponent* AOwner)
    : TCustomControl(AOwner), FClientCanvas(std::make_unique<TGridClientCanvas>(this)) {
    FColAxis.SetDefaultSize(64);
    FColAxis.SetCount(5);
    FRowAxis.SetDefaultSize(24);
    FRowAxis.SetCount(5);
    FOptions =
        TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    // No click events of the control's own: the grid clicks when a cell becomes current.
    FControlStyle = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks};
    SetTabStop(true);
    SetColor(clWindow);
    for (TScrollBarPiece* bar : {&FVertScroll, &FHorzScroll}) {
        bool vertical = bar == &FVertScroll;
        bar->OnScroll = [this, vertical](TScrollCode Code, int Pos) {
            ScrollBarScroll(vertical, Code, Pos);
        };
        bar->OnInvalidate = [this, bar] {
            if (!FInLayout) InvalidateRect(bar->BoundsRect());
        };
    }
    SetBounds(0, 0, 320, 120);
}

TCustomGrid::~TCustomGrid() {
    StopSelectTimer();
    if (FTimerWnd) DeallocateHWnd(FTimerWnd);
    for (TScrollBarPiece* bar : {&FVertScroll, &FHorzScroll}) {
        bar->OnScroll = nullptr;
        bar->OnInvalidate = nullptr;
    }
    if (TInplaceEdit* edit = FInplaceEdit) {
        FInplaceEdit = nullptr;
        edit->FGrid = nullptr;
        delete edit;
    }
}

TCanvas* TCustomGrid::Canvas() const {
    return FClientCanvas.get();
}

void TCustomGrid::SetClientPaintClip(const TRect& R) {
    FClientCanvas->SetPaintClip(R);
}

void TCustomGrid::SetColCount(int Value) {
    Value = std::max(1, Value);
    if (Value == ColCount()) return;
    int oldCols = ColCount(), oldRows = RowCount();
    if (FFixedCols >= Value) FFixedCols = Value - 1;
    FColAxis.SetCount(Value);
    // Indexes that were inside the grid stay inside it.
    auto clamp = [&](int& x) {
        if (x < oldCols && x >= Value) x = Value - 1;
    };
    clamp(FCurrent.X);
    clamp(FAnchor.X);
    if (FOptions.contains(goRowSelect) && FAnchor.X < oldCols) FAnchor.X = Value - 1;
    int oldLeft = FTopLeft.X;
    FTopLeft.X = std::clamp(FTopLeft.X, FFixedCols, Value - 1);
    if (FInplaceCol >= Value) HideEdit();
    SizeChanged(oldCols, oldRows);
    LayoutChanged();
    if (FTopLeft.X != oldLeft) TopLeftChanged();
    UpdateEdit();
}

void TCustomGrid::SetRowCount(int Value) {
    Value = std::max(1, Value);
    if (Value == RowCount()) return;
    int oldCols = ColCount(), oldRows = RowCount();
    if (FFixedRows >= Value) FFixedRows = Value - 1;
    FRowAxis.SetCount(Value);
    auto clamp = [&](int& y) {
        if (y < oldRows && y >= Value) y = Value - 1;
    };
    clamp(FCurrent.Y);
    clamp(FAnchor.Y);
    int oldTop = FTopLeft.Y;
    FTopLeft.Y = std::clamp(FTopLeft.Y, FFixedRows, Value - 1);
    if (FInplaceRow >= Value) HideEdit();
    SizeChanged(oldCols, oldRows);
    LayoutChanged();
    if (FTopLeft.Y != oldTop) TopLeftChanged();
    UpdateEdit();
}

void TCustomGrid::SetFixedCols(int Value) {
    if (Value < 0) throw EInvalidGridOperation("Grid index out of range");
    if (Value >= ColCount())
        throw EInvalidGridOperation("Fixed column count must be less than column count");
    if (Value == FFixedCols) return;
    HideEdit();
    FFixedCols = Value;
    // The first non-fixed cell becomes current and the view starts there.
    FTopLeft = TGridCoord{FFixedCols, FFixedRows};
    FCurrent = FTopLeft;
    FAnchor = FCurrent;
    if (FOptions.contains(goRowSelect)) FAnchor.X = ColCount() - 1;
    LayoutChanged();
}

void TCustomGrid::SetFixedRows(int Value) {
    if (Value < 0) throw EInvalidGridOperation("Grid index out of range");
    if (Value >= RowCount())
        throw EInvalidGridOperation("Fixed row count must be less than row count");
    if (Value == FFixedRows) return;
    HideEdit();
    FFixedRows = Value;
    FTopLeft = TGridCoord{FFixedCols, FFixedRows};
    FCurrent = FTopLeft;
    FAnchor = FCurrent;
    if (FOptions.contains(goRowSelect)) FAnchor.X = ColCount() - 1;
    LayoutChanged();
}

void TCustomGrid::SetDefaultColWidth(int Value) {
    FColAxis.SetDefaultSize(Value);
    AfterAxisResize(true);
}

void TCustomGrid::SetDefaultRowHeight(int Value) {
    FRowAxis.SetDefaultSize(Value);
    AfterAxisResize(false);
}

int TCustomGrid::ColWidths(int Index) const {
    return FColAxis.Size(Index);
}

void TCustomGrid::SetColWidths(int Index, int Value) {
    if (Index < 0 || Index >= ColCount()) return;
    if (std::max(0, Value) == FColAxis.Size(Index)) return;
    FColAxis.SetSize(Index, Value);
    AfterAxisResize(true);
}

int TCustomGrid::RowHeights(int Index) const {
    return FRowAxis.Size(Index);
}

void TCustomGrid::SetRowHeights(int Index, int Value) {
    if (Index < 0 || Index >= RowCount()) return;
    if (std::max(0, Value) == FRowAxis.Size(Index)) return;
    FRowAxis.SetSize(Index, Value);
    AfterAxisResize(false);
}

void TCustomGrid::AfterAxisResize(bool Columns) {
    LayoutChanged();
    if (Columns)
        ColWidthsChanged();
    else
        RowHeightsChanged();
}

void TCustomGrid::SetGridLineWidth(int Value) {
    Value = std::max(0, Value);
    if (Value == FGridLineWidth) return;
    FGridLineWidth = Value;
    LayoutChanged();
    ColWidthsChanged();
    RowHeightsChanged();
}

void TCustomGrid::SetOptions(TGridOptions Value) {
    if (Value.contains(goRowSelect)) Value.Exclude(goAlwaysShowEditor);
    if (Value == FOptions) return;
    bool rowSelectOn = Value.contains(goRowSelect) && !FOptions.contains(goRowSelect);
    FOptions = Value;
    if (!FOptions.contains(goEditing) || FOptions.contains(goRowSelect))
        HideEditor();
    else if (FOptions.contains(goAlwaysShowEditor))
        ShowEditor();
    else if (FEditorMode)
        UpdateEdit();
    if (rowSelectOn) {
        // Whole rows from now on; the current row stays.
        if (FCurrent.Y >= 0 && FCurrent.Y < RowCount()) {
            FCurrent.X = FFixedCols;
            FAnchor = TGridCoord{ColCount() - 1, FCurrent.Y};
        }
    }
    LayoutChanged();
}

void TCustomGrid::SetCol(int Value) {
    if (Value != Col()) FocusCell(Value, Row(), true);
}

void TCustomGrid::SetRow(int Value) {
    if (Value != Row()) FocusCell(Col(), Value, true);
}

TGridRect TCustomGrid::Selection() const {
    TGridRect r = GridRect(FCurrent, FAnchor);
    if (FOptions.contains(goRowSelect)) {
        r.Left = FFixedCols;
        r.Right = ColCount() - 1;
    }
    return r;
}

void TCustomGrid::SetSelection(const TGridRect& Value) {
    TGridRect old = Selection();
    FAnchor = TGridCoord{Value.Left, Value.Top};
    FCurrent = TGridCoord{Value.Right, Value.Bottom};
    SelectionMoved(old);
}

void TCustomGrid::SetTopRow(int Value) {
    Value = std::clamp(Value, FFixedRows, RowCount() - 1);
    MoveTopLeft(FTopLeft.X, Value);
}

void TCustomGrid::SetLeftCol(int Value) {
    Value = std::clamp(Value, FFixedCols, ColCount() - 1);
    MoveTopLeft(Value, FTopLeft.Y);
}

int TCustomGrid::VisibleColCount() const {
    TDrawInfo d = CalcDrawInfo();
    return std::max(0, d.Horz.LastFull - d.Horz.First + 1);
}

int TCustomGrid::VisibleRowCount() const {
    TDrawInfo d = CalcDrawInfo();
    return std::max(0, d.Vert.LastFull - d.Vert.First + 1);
}

int TCustomGrid::GridWidth() const {
    return CalcDrawInfo().Horz.GridBoundary;
}

int TCustomGrid::GridHeight() const {
    return CalcDrawInfo().Vert.GridBoundary;
}

void TCustomGrid::SetFixedColor(TColor Value) {
    if (Value == FFixedColor) return;
    FFixedColor = Value;
    Invalidate();
}

void TCustomGrid::SetScrollBars(TScrollStyle Value) {
    if (Value == FScrollBars) return;
    FScrollBars = Value;
    LayoutChanged();
}

void TCustomGrid::SetDefaultDrawing(bool Value) {
    if (Value == FDefaultDrawing) return;
    FDefaultDrawing = Value;
    Invalidate();
}

void TCustomGrid::SetBorderStyle(TBorderStyle Value) {
    if (Value != bsNone) Value = bsSingle;
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    LayoutChanged();
}

void TCustomGrid::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    bool resized = AWidth != Width() || AHeight != Height();
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (resized) LayoutChanged();
}

// --- Layout ------------------------------------------------------------------------------

int TCustomGrid::LineWidth(bool Horizontal) const {
    TGridOptions lines = Horizontal ? TGridOptions{goFixedVertLine, goVertLine}
                                    : TGridOptions{goFixedHorzLine, goHorzLine};
    return (FOptions & lines).empty() ? 0 : FGridLineWidth;
}

int TCustomGrid::MaxFirst(const TGridAxis& Axis, int Line, int Fixed, int Extent) const {
    int count = Axis.Count();
    if (count <= Fixed + 1) return std::max(Fixed, count - 1);
    int64_t room = int64_t(Extent) + Line - Axis.Offset(Fixed, Line);
    int64_t total = Axis.Offset(count, Line);
    // The smallest first cell from which every following cell is in full view.
    int lo = Fixed, hi = count - 1;
    if (total - Axis.Offset(hi, Line) > room) return hi;
    while (lo < hi) {
        int mid = lo + (hi - lo) / 2;
        if (total - Axis.Offset(mid, Line) <= room)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

void TCustomGrid::EnsureLayout() const {
    if (FLayoutValid) return;
    FInLayout = true;
    int b = BorderWidth();
    int w = std::max(0, Width() - 2 * b), h = std::max(0, Height() - 2 * b);
    bool allowV = FScrollBars == ssVertical || FScrollBars == ssBoth;
    bool allowH = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    int vLine = LineWidth(false), hLine = LineWidth(true);
    auto needV = [&](int ch) {
        return allowV &&
               (MaxFirst(FRowAxis, vLine, FFixedRows, ch) > FFixedRows || FTopLeft.Y > FFixedRows);
    };
    auto needH = [&](int cw) {
        return allowH &&
               (MaxFirst(FColAxis, hLine, FFixedCols, cw) > FFixedCols || FTopLeft.X > FFixedCols);
    };
    bool v = needV(h);
    bool hz = needH(v ? w - ScrollBarSize : w);
    if (hz && !v) v = needV(h - ScrollBarSize);
    FShowVert = v;
    FShowHorz = hz;
    FClientW = std::max(0, w - (v ? ScrollBarSize : 0));
    FClientH = std::max(0, h - (hz ? ScrollBarSize : 0));
    FLayoutValid = true;

    // The bars in control coordinates, their ranges from the first scrolled cell to the
    // largest first cell, a page being the cells in full view.
    auto* self = const_cast<TCustomGrid*>(this);
    TDrawInfo d = CalcDrawInfo();
    if (v) {
        self->FVertScroll.SetBounds(Bounds(b + FClientW, b, ScrollBarSize, FClientH));
        int maxTop = std::max(MaxFirst(FRowAxis, vLine, FFixedRows, FClientH), FTopLeft.Y);
        int page = std::max(1, d.Vert.LastFull - d.Vert.First + 1);
        self->FVertScroll.SetRange(FFixedRows, maxTop + page - 1, page);
        self->FVertScroll.SetPosition(FTopLeft.Y);
    } else {
        self->FVertScroll.SetBounds({});
    }
    if (hz) {
        self->FHorzScroll.SetBounds(Bounds(b, b + FClientH, FClientW, ScrollBarSize));
        int maxLeft = std::max(MaxFirst(FColAxis, hLine, FFixedCols, FClientW), FTopLeft.X);
        int page = std::max(1, d.Horz.LastFull - d.Horz.First + 1);
        self->FHorzScroll.SetRange(FFixedCols, maxLeft + page - 1, page);
        self->FHorzScroll.SetPosition(FTopLeft.X);
    } else {
        self->FHorzScroll.SetBounds({});
    }
    FInLayout = false;
}

void TCustomGrid::LayoutChanged() {
    FLayoutValid = false;
    Invalidate();
    // The editor follows its cell (and hides while the cell is out of view).
    if (FInplaceEdit && FInplaceCol >= 0 && CanEditShow())
        FInplaceEdit->UpdateLoc(CellRect(FInplaceCol, FInplaceRow));
}

TScrollBarPiece* TCustomGrid::VertScrollBar() {
    EnsureLayout();
    return &FVertScroll;
}

TScrollBarPiece* TCustomGrid::HorzScrollBar() {
    EnsureLayout();
    return &FHorzScroll;
}

TRect TCustomGrid::GetClientRect() const {
    EnsureLayout();
    return TRect{0, 0, FClientW, FClientH};
}

TPoint TCustomGrid::ClientOrigin() const {
    TPoint p = TCustomControl::ClientOrigin();
    int b = BorderWidth();
    return TPoint{p.X + b, p.Y + b};
}

void TCustomGrid::CalcAxis(TAxisInfo& A, const TGridAxis& Axis, int Line, int Fixed, int First,
                           int Extent) const {
    A.Axis = &Axis;
    A.Extent = Extent;
    A.Line = Line;
    A.FixedCount = Fixed;
    A.FixedBoundary = int(std::min<int64_t>(Axis.Offset(Fixed, Line), INT_MAX / 2));
    A.First = First;
    A.FirstOffset = Axis.Offset(First, Line);
    int count = Axis.Count();
    if (A.FixedBoundary >= Extent || First >= count) {
        A.LastVisible = First - 1;
        A.LastFull = First;
        A.GridBoundary = std::min(A.FixedBoundary, Extent);
        return;
    }
    int last = Axis.CellAt(First, int64_t(Extent) - 1 - A.FixedBoundary, Line);
    if (last < 0) last = count - 1;
    A.LastVisible = last;
    int64_t cellEnd = A.Pos(last) + Axis.Size(last);
    A.GridBoundary = int(std::min<int64_t>(cellEnd + Line, Extent));
    A.LastFull = std::max(First, cellEnd > Extent ? last - 1 : last);
}

TCustomGrid::TDrawInfo TCustomGrid::CalcDrawInfo() const {
    EnsureLayout();
    TDrawInfo d;
    CalcAxis(d.Horz, FColAxis, LineWidth(true), FFixedCols, FTopLeft.X, FClientW);
    CalcAxis(d.Vert, FRowAxis, LineWidth(false), FFixedRows, FTopLeft.Y, FClientH);
    return d;
}

int64_t TCustomGrid::TAxisInfo::Pos(int Index) const {
    if (Index < FixedCount) return Axis->Offset(Index, Line);
    return FixedBoundary + Axis->Offset(Index, Line) - FirstOffset;
}

bool TCustomGrid::TAxisInfo::Span(int Lo, int Hi, int& Start, int& End) const {
    int count = Axis->Count();
    Lo = std::max(Lo, 0);
    Hi = std::min(Hi, count - 1);
    if (Lo > Hi) return false;
    int64_t s = INT64_MAX, e = INT64_MIN;
    if (Lo < FixedCount) {
        int fhi = std::min(Hi, FixedCount - 1);
        s = Pos(Lo);
        e = Pos(fhi) + Axis->Size(fhi);
    }
    int slo = std::max(Lo, First), shi = std::min(Hi, LastVisible);
    if (slo <= shi) {
        s = std::min(s, Pos(slo));
        e = std::max(e, Pos(shi) + Axis->Size(shi));
    }
    if (s == INT64_MAX) return false;
    e = std::min<int64_t>(e, Extent);
    if (s >= e) return false;
    Start = int(s);
    End = int(e);
    return true;
}

int TCustomGrid::TAxisInfo::CellAt(int P) const {
    if (P < 0) return -1;
    if (P < FixedBoundary) {
        int c = Axis->CellAt(0, P, Line);
        return c >= 0 && c < FixedCount ? c : -1;
    }
    if (First >= Axis->Count()) return -1;
    return Axis->CellAt(First, int64_t(P) - FixedBoundary, Line);
}

TRect TCustomGrid::BoxRect(int ALeft, int ATop, int ARight, int ABottom) const {
    TDrawInfo d = CalcDrawInfo();
    TRect r;
    if (!d.Horz.Span(std::min(ALeft, ARight), std::max(ALeft, ARight), r.Left, r.Right)) return {};
    if (!d.Vert.Span(std::min(ATop, ABottom), std::max(ATop, ABottom), r.Top, r.Bottom)) return {};
    return r;
}

TRect TCustomGrid::CellRect(int ACol, int ARow) const {
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) return {};
    return BoxRect(ACol, ARow, ACol, ARow);
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) const {
    TDrawInfo d = CalcDrawInfo();
    return TGridCoord{d.Horz.CellAt(X), d.Vert.CellAt(Y)};
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
    TGridCoord c = MouseCoord(X, Y);
    ACol = c.X;
    ARow = c.Y;
}

TGridCoord TCustomGrid::MaxTopLeft() const {
    EnsureLayout();
    return TGridCoord{MaxFirst(FColAxis, LineWidth(true), FFixedCols, FClientW),
                      MaxFirst(FRowAxis, LineWidth(false), FFixedRows, FClientH)};
}

// --- Invalidation -------------------------------------------------------------------------

void TCustomGrid::InvalidateBox(const TGridRect& R) {
    TRect r = BoxRect(R.Left, R.Top, R.Right, R.Bottom);
    if (r.IsEmpty()) return;
    int b = BorderWidth();
    InvalidateRect(OffsetRect(r, b, b));
}

void TCustomGrid::InvalidateCell(int ACol, int ARow) {
    InvalidateBox(TGridRect{ACol, ARow, ACol, ARow});
}

void TCustomGrid::InvalidateCol(int ACol) {
    InvalidateBox(TGridRect{ACol, 0, ACol, RowCount() - 1});
}

void TCustomGrid::InvalidateRow(int ARow) {
    InvalidateBox(TGridRect{0, ARow, ColCount() - 1, ARow});
}

// --- Current cell, selection and scrolling -------------------------------------------------

void TCustomGrid::SelectionMoved(const TGridRect& OldSel) {
    InvalidateBox(OldSel);
    InvalidateBox(Selection());
}

void TCustomGrid::MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show) {
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount())
        throw EInvalidGridOperation("Grid index out of range");
    if (!SelectCell(ACol, ARow)) return;
    TGridRect old = Selection();
    FCurrent = TGridCoord{ACol, ARow};
    if (!FOptions.contains(goAlwaysShowEditor)) HideEdit();
    if (MoveAnchor || !FOptions.contains(goRangeSelect)) {
        FAnchor = FCurrent;
        if (FOptions.contains(goRowSelect)) FAnchor.X = ColCount() - 1;
    }
    if (FOptions.contains(goRowSelect)) FCurrent.X = FFixedCols;
    if (Show) ClampInView(FCurrent);
    SelectionMoved(old);
}

void TCustomGrid::MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show) {
    MoveCurrent(ACol, ARow, MoveAnchor, Show);
}

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
    MoveCurrent(ACol, ARow, MoveAnchor, true);
    UpdateEdit();
    Click();
}

void TCustomGrid::MoveAnchor(TGridCoord NewAnchor) {
    if ((FOptions & TGridOptions{goRangeSelect, goEditing}) == TGridOptions{goRangeSelect}) {
        TGridRect old = Selection();
        FAnchor = NewAnchor;
        if (FOptions.contains(goRowSelect)) FAnchor.X = ColCount() - 1;
        ClampInView(NewAnchor);
        SelectionMoved(old);
    } else {
        MoveCurrent(NewAnchor.X, NewAnchor.Y, true, true);
    }
}

void TCustomGrid::ClampInView(TGridCoord Coord) {
    TDrawInfo d = CalcDrawInfo();
    // The smallest first cell that still shows Index in full.
    auto firstShowing = [](const TAxisInfo& A, int Index) {
        int64_t room = int64_t(A.Extent) + A.Line - A.FixedBoundary;
        int64_t end = A.Axis->Offset(Index + 1, A.Line);
        int lo = A.FixedCount, hi = Index;
        while (lo < hi) {
            int mid = lo + (hi - lo) / 2;
            if (end - A.Axis->Offset(mid, A.Line) <= room)
                hi = mid;
            else
                lo = mid + 1;
        }
        return lo;
    };
    TGridCoord tl = FTopLeft;
    if (Coord.X >= FFixedCols && Coord.X < ColCount()) {
        if (Coord.X < d.Horz.First)
            tl.X = Coord.X;
        else if (Coord.X > d.Horz.LastFull)
            tl.X = firstShowing(d.Horz, Coord.X);
    }
    if (Coord.Y >= FFixedRows && Coord.Y < RowCount()) {
        if (Coord.Y < d.Vert.First)
            tl.Y = Coord.Y;
        else if (Coord.Y > d.Vert.LastFull)
            tl.Y = firstShowing(d.Vert, Coord.Y);
    }
    MoveTopLeft(tl.X, tl.Y);
}

void TCustomGrid::MoveTopLeft(int ALeft, int ATop) {
    if (ALeft == FTopLeft.X && ATop == FTopLeft.Y) return;
    FTopLeft = TGridCoord{ALeft, ATop};
    LayoutChanged();
    TopLeftChanged();
}

void TCustomGrid::ScrollBarScroll(bool Vertical, TScrollCode Code, int Pos) {
    TDrawInfo d = CalcDrawInfo();
    TGridCoord maxTL = MaxTopLeft();
    const TAxisInfo& a = Vertical ? d.Vert : d.Horz;
    int cur = Vertical ? FTopLeft.Y : FTopLeft.X;
    int fixed = Vertical ? FFixedRows : FFixedCols;
    int maxFirst = std::max(Vertical ? maxTL.Y : maxTL.X, cur);
    int page = std::max(1, a.LastFull - a.First);
    int next = cur;
    switch (Code) {
        case scLineUp:
            next = cur - 1;
            break;
        case scLineDown:
            next = cur + 1;
            break;
        case scPageUp:
            next = cur - page;
            break;
        case scPageDown:
            next = cur + page;
            break;
        case scTrack:
            if (!FOptions.contains(goThumbTracking)) return;
            next = Pos;
            break;
        case scPosition:
            next = Pos;
            break;
        case scTop:
            next = fixed;
            break;
        case scBottom:
            next = maxFirst;
            break;
        case scEndScroll:
            return;
    }
    if (next > cur)
        next = std::min(next, Vertical ? std::max(maxTL.Y, cur) : std::max(maxTL.X, cur));
    next = std::max(next, fixed);
    if (Vertical)
        MoveTopLeft(FTopLeft.X, next);
    else
        MoveTopLeft(next, FTopLeft.Y);
}

void TCustomGrid::MoveColumn(int FromIndex, int ToIndex) {
    if (FromIndex == ToIndex || FromIndex < 0 || ToIndex < 0 || FromIndex >= ColCount() ||
        ToIndex >= ColCount())
        return;
    HideEdit();
    FColAxis.Move(FromIndex, ToIndex);
    auto adjust = [&](int& x) {
        if (x == FromIndex)
            x = ToIndex;
        else if (FromIndex < ToIndex && x > FromIndex && x <= ToIndex)
            --x;
        else if (ToIndex < FromIndex && x >= ToIndex && x < FromIndex)
            ++x;
    };
    if (!FOptions.contains(goRowSelect)) {
        adjust(FCurrent.X);
        adjust(FAnchor.X);
    }
    LayoutChanged();
    ColumnMoved(FromIndex, ToIndex);
    UpdateEdit();
}

void TCustomGrid::MoveRow(int FromIndex, int ToIndex) {
    if (FromIndex == ToIndex || FromIndex < 0 || ToIndex < 0 || FromIndex >= RowCount() ||
        ToIndex >= RowCount())
        return;
    HideEdit();
    FRowAxis.Move(FromIndex, ToIndex);
    auto adjust = [&](int& y) {
        if (y == FromIndex)
            y = ToIndex;
        else if (FromIndex < ToIndex && y > FromIndex && y <= ToIndex)
            --y;
        else if (ToIndex < FromIndex && y >= ToIndex && y < FromIndex)
            ++y;
    };
    adjust(FCurrent.Y);
    adjust(FAnchor.Y);
    LayoutChanged();
    RowMoved(FromIndex, ToIndex);
    UpdateEdit();
}

// --- Virtual defaults ----------------------------------------------------------------------

void TCustomGrid::DrawCell(int, int, TRect, TGridDrawState) {}

bool TCustomGrid::SelectCell(int, int) {
    return true;
}

std::string TCustomGrid::GetEditText(int, int) {
    return {};
}

void TCustomGrid::SetEditText(int, int, const std::string&) {}

TEditStyle TCustomGrid::GetEditStyle(int, int) {
    return esSimple;
}

bool TCustomGrid::CanEditAcceptKey(char32_t) {
    return true;
}

bool TCustomGrid::CanEditModify() {
    return FCanEditModify;
}

bool TCustomGrid::CanGridAcceptKey(WORD, TShiftState) {
    return true;
}

void TCustomGrid::SizeChanged(int, int) {}
void TCustomGrid::ColumnMoved(int, int) {}
void TCustomGrid::RowMoved(int, int) {}

TInplaceEdit* TCustomGrid::CreateEditor() {
    return new TInplaceEdit(nullptr);
}

// --- The in-place editor ---------------------------------------------------------------------

bool TCustomGrid::IsActiveControl() const {
    if (Focused()) return true;
    return FInplaceEdit && FInplaceEdit->Focused();
}

bool TCustomGrid::CanEditShow() const {
    return (FOptions & TGridOptions{goRowSelect, goEditing}) == TGridOptions{goEditing} &&
           FEditorMode && !ComponentState().contains(csDesigning) &&
           (FOptions.contains(goAlwaysShowEditor) || IsActiveControl());
}

void TCustomGrid::SetEditorMode(bool Value) {
    if (!Value) {
        HideEditor();
    } else {
        ShowEditor();
        if (FInplaceEdit && FInplaceEdit->Visible()) FInplaceEdit->Deselect();
    }
}

void TCustomGrid::ShowEditor() {
    FEditorMode = true;
    UpdateEdit();
}

void TCustomGrid::HideEditor() {
    FEditorMode = false;
    HideEdit();
}

void TCustomGrid::UpdateEdit() {
    if (!CanEditShow()) return;
    if (FCurrent.X < 0 || FCurrent.Y < 0 || FCurrent.X >= ColCount() || FCurrent.Y >= RowCount())
        return;
    auto load = [this] {
        FInplaceCol = FCurrent.X;
        FInplaceRow = FCurrent.Y;
        FInplaceEdit->UpdateContents();
        FEditOriginal = FInplaceEdit->Text();
        FEditReported = FEditOriginal;
        FCanEditModify = true;
        FInplaceEdit->SelectAll();
    };
    if (!FInplaceEdit) {
        HandleNeeded();
        FInplaceEdit = CreateEditor();
        FInplaceEdit->SetGrid(this);
        load();
    } else if (FCurrent.X != FInplaceCol || FCurrent.Y != FInplaceRow) {
        HideEdit();
        load();
    }
    if (CanEditShow()) FInplaceEdit->Move(CellRect(FCurrent.X, FCurrent.Y));
}

void TCustomGrid::UpdateText() {
    if (!FInplaceEdit || FInplaceCol < 0 || FInplaceRow < 0) return;
    std::string text = FInplaceEdit->Text();
    if (text == FEditReported) return;
    FEditReported = text;
    SetEditText(FInplaceCol, FInplaceRow, text);
}

void TCustomGrid::HideEdit() {
    if (!FInplaceEdit) return;
    try {
        UpdateText();
    } catch (...) {
        FInplaceCol = FInplaceRow = -1;
        FInplaceEdit->HideEditor();
        throw;
    }
    FInplaceCol = FInplaceRow = -1;
    FInplaceEdit->HideEditor();
}

void TCustomGrid::CancelEdit() {
    if (!FInplaceEdit || FInplaceCol < 0 || FInplaceRow < 0) {
        HideEditor();
        return;
    }
    // The cell gets its text back from before the editing began.
    if (FInplaceEdit->Text() != FEditOriginal) {
        FInplaceEdit->FUpdating = true;
        FInplaceEdit->SetText(FEditOriginal);
        FInplaceEdit->FUpdating = false;
    }
    if (FEditReported != FEditOriginal) {
        FEditReported = FEditOriginal;
        SetEditText(FInplaceCol, FInplaceRow, FEditOriginal);
    }
    HideEditor();
}

// --- TCustomDrawGrid, TDrawGrid, TStringGrid -------------------------------------------------

TCustomDrawGrid::TCustomDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}

void TCustomDrawGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
    if (OnDrawCell) OnDrawCell(this, ACol, ARow, ARect, AState);
}

bool TCustomDrawGrid::SelectCell(int ACol, int ARow) {
    bool can = true;
    if (OnSelectCell) OnSelectCell(this, ACol, ARow, can);
    return can;
}

std::string TCustomDrawGrid::GetEditText(int ACol, int ARow) {
    std::string value;
    if (OnGetEditText) OnGetEditText(this, ACol, ARow, value);
    return value;
}

void TCustomDrawGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
    if (OnSetEditText) OnSetEditText(this, ACol, ARow, Value);
}

void TCustomDrawGrid::TopLeftChanged() {
    TCustomGrid::TopLeftChanged();
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TCustomDrawGrid::ColumnMoved(int FromIndex, int ToIndex) {
    if (OnColumnMoved) OnColumnMoved(this, FromIndex, ToIndex);
}

void TCustomDrawGrid::RowMoved(int FromIndex, int ToIndex) {
    if (OnRowMoved) OnRowMoved(this, FromIndex, ToIndex);
}

TDrawGrid::TDrawGrid(TComponent* AOwner) : TCustomDrawGrid(AOwner) {}

TStringGrid::TStringGrid(TComponent* AOwner) : TDrawGrid(AOwner) {}

std::string TStringGrid::Cells(int ACol, int ARow) const {
    auto it = FCells.find({ARow, ACol});
    return it == FCells.end() ? std::string() : it->second;
}

void TStringGrid::SetCells(int ACol, int ARow, const std::string& Value) {
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) return;
    if (Value.empty())
        FCells.erase({ARow, ACol});
    else
        FCells[{ARow, ACol}] = Value;
    InvalidateCell(ACol, ARow);
}

void TStringGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
    if (DefaultDrawing()) {
        auto it = FCells.find({ARow, ACol});
        if (it != FCells.end())
            Canvas()->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, it->second);
    }
    TDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}

std::string TStringGrid::GetEditText(int ACol, int ARow) {
    std::string value = Cells(ACol, ARow);
    if (OnGetEditText) OnGetEditText(this, ACol, ARow, value);
    return value;
}

void TStringGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
    SetCells(ACol, ARow, Value);
    TDrawGrid::SetEditText(ACol, ARow, Value);
}

void TStringGrid::SizeChanged(int OldColCount, int OldRowCount) {
    if (ColCount() < OldColCount || RowCount() < OldRowCount) {
        for (auto it = FCells.begin(); it != FCells.end();) {
            if (it->first.first >= RowCount() || it->first.second >= ColCount())
                it = FCells.erase(it);
            else
                ++it;
        }
    }
    TDrawGrid::SizeChanged(OldColCount, OldRowCount);
}

void TStringGrid::ColumnMoved(int FromIndex, int ToIndex) {
    std::map<std::pair<int, int>, std::string> next;
    for (auto& [key, text] : FCells) {
        int c = key.second;
        if (c == FromIndex)
            c = ToIndex;
        else if (FromIndex < ToIndex && c > FromIndex && c <= ToIndex)
            --c;
        else if (ToIndex < FromIndex && c >= ToIndex && c < FromIndex)
            ++c;
        next.emplace(std::make_pair(key.first, c), std::move(text));
    }
    FCells.swap(next);
    TDrawGrid::ColumnMoved(FromIndex, ToIndex);
}

void TStringGrid::RowMoved(int FromIndex, int ToIndex) {
    std::map<std::pair<int, int>, std::string> next;
    for (auto& [key, text] : FCells) {
        int r = key.first;
        if (r == FromIndex)
            r = ToIndex;
        else if (FromIndex < ToIndex && r > FromIndex && r <= ToIndex)
            --r;
        else if (ToIndex < FromIndex && r >= ToIndex && r < FromIndex)
            ++r;
        next.emplace(std::make_pair(r, key.second), std::move(text));
    }
    FCells.swap(next);
    TDrawGrid::RowMoved(FromIndex, ToIndex);
}

}  // namespace kovo
