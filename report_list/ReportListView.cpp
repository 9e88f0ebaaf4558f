// TReportListView: construction, the grid mapping, appearance setters, column widths,
// selection and check-mark methods, sorting, filtering, row operations and Assign.
#include <algorithm>
#include <cctype>

#include "report_list/replist.h"

namespace kovo {

TReportListView::TReportListView(TComponent* AOwner) : TCustomDrawGrid(AOwner) {
    FSuppressPaint = true;
    FRLData = new TRLData(nullptr);
    SetDefaultDrawing(false);
    SetFixedCols(0);
    SetFixedRows(1);
    FRLData->SetNrOfColumns(ColCount());
    FRLData->SetNrOfRows(RowCount() - 1);
    try {
        ResizeColumnArrays(NrOfColumns(), true);
    } catch (const std::bad_alloc&) {
        delete FRLData;
        FRLData = nullptr;
        RaiseKovoError<EKovoRepListError>(this,
                                          "failed to initialize table editor (out of memory)");
    }
    HookStore();
    FRLData->OnPercentDone = [this](TObject*, int Percent) {
        if (OnPercentDone) OnPercentDone(this, Percent);
    };
    FRLData->OnBeforeHTMLExport = [this](TObject*, std::string& Text, int Col, int Row) {
        if (OnBeforeHTMLExport) OnBeforeHTMLExport(this, Text, Col, Row);
    };
    SetOptions({goFixedVertLine, goFixedHorzLine, goColSizing, goRowSelect, goThumbTracking});
    UpdateGridMapping();
    SetHeaderHeights();
    SetTopRow(1);
    SetDoubleBuffered(true);
}

TReportListView::~TReportListView() {
    delete FRLData;
}

// The view listens to the string store: content changes repaint, progress and sort keys
// are forwarded with the view as Sender. A new store (after Assign) is hooked again.
void TReportListView::HookStore() {
    TStringArray* s = FRLData->Strings;
    s->OnChange = [this](TObject* Sender) { StringsHasChanged(Sender); };
    s->OnPercentDone = [this](TObject*, int Percent) {
        if (OnPercentDone) OnPercentDone(this, Percent);
    };
    s->OnBeforeSortExchange = [this](TObject*, const std::string& Text, std::string& Key) {
        if (OnBeforeSortExchange) OnBeforeSortExchange(this, Text, Key);
    };
}

void TReportListView::SyncWithData() {
    HookStore();
    int a = NrOfColumns();
    if (a != ColCount()) {
        if (FixedCols() >= a) SetFixedCols(0);
        SetColCount(a);
        SetFixedCols(FFixedColOne && a > 1 ? 1 : 0);
    }
    if (int(FColOrder.size()) != a) {
        try {
            ResizeColumnArrays(a, false);
        } catch (const std::bad_alloc&) {
            RaiseKovoError<EKovoRepListError>(this, ReasonNoHeap);
        }
    }
    UpdateGridMapping();
    SetHeaderHeights();
    Paint();
    ChangedSetup();
}

void TReportListView::StringsHasChanged(TObject*) {
    Changed();
    Paint();
}

void TReportListView::CreateWnd() {
    TCustomDrawGrid::CreateWnd();
    FSuppressPaint = false;
}

void TReportListView::Changed() {
    if (OnChange) OnChange(this);
}
void TReportListView::ChangedSetup() {
    if (OnChangeSetup) OnChangeSetup(this);
}
void TReportListView::ChangedSelection() {
    if (OnSelectedChange) OnSelectedChange(this);
}

void TReportListView::PaintBatch(const std::function<void()>& Work) {
    TPaintBatch batch(FSuppressPaint, [this](bool v) { SetSuppressPaint(v); });
    Work();
}

void TReportListView::SetSuppressPaint(bool Value) {
    if (Value == FSuppressPaint) return;
    FSuppressPaint = Value;
    if (!Value) Paint();
}

void TReportListView::SetEnabled(bool Value) {
    FEnabled = Value;
    TCustomDrawGrid::SetEnabled(Value);
    Refresh();
}

void TReportListView::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomDrawGrid::SetBounds(ALeft, ATop, AWidth, AHeight);
    Paint();
}

// ---- grid mapping ----

void TReportListView::ResizeColumnArrays(int Count, bool Initial) {
    size_t n = size_t(Count) + 1;
    if (Initial) {
        FColAlignment.assign(n, taLeftJustify);
        FColumnEditable.assign(n, 0);
        FColumnIsPwd.assign(n, 0);
    } else {
        FColAlignment.resize(n, taLeftJustify);
        FColumnEditable.resize(n, 0);
        FColumnIsPwd.resize(n, 0);
    }
    FColOrder.resize(size_t(Count));
    for (int i = 0; i < Count; ++i) FColOrder[size_t(i)] = i;
}

// FixedRows = head rows, RowCount = max(head rows + NrOfRows, head rows + 1); the order of
// the two calls keeps at least one non-fixed row at every step.
void TReportListView::UpdateGridMapping() {
    int h = CountHeadRows();
    int rc = std::max(h + NrOfRows(), h + 1);
    if (FixedRows() > h) {
        SetFixedRows(h);
        SetRowCount(rc);
    } else {
        SetRowCount(rc);
        SetFixedRows(h);
    }
}

void TReportListView::SetHeaderHeights() {
    int def = TCustomGrid::DefaultRowHeight();
    bool row1 = RowCount() > 1;  // the grid has a second row to size
    if (FComHdVis && FColHdVis) {
        SetRowHeights(0, FComHdHgt);
        if (row1) SetRowHeights(1, FColHdHgt);
    } else {
        SetRowHeights(0, FComHdVis ? FComHdHgt : FColHdVis ? FColHdHgt : def);
        if (row1) SetRowHeights(1, def);
    }
}

void TReportListView::SetNrOfColumns(int Value) {
    int oldCount = ColCount();
    int lastWidth = TCustomGrid::ColWidths(oldCount - 1);
    FRLData->SetNrOfColumns(Value);
    int a = FRLData->NrOfColumns();
    if (FixedCols() >= a) SetFixedCols(0);
    SetColCount(a);
    SetFixedCols(FFixedColOne && a > 1 ? 1 : 0);
    for (int g = std::max(oldCount - 1, 0); g < a; ++g) TCustomGrid::SetColWidths(g, lastWidth);
    try {
        ResizeColumnArrays(a, false);
    } catch (const std::bad_alloc&) {
        RaiseKovoError<EKovoRepListError>(this, ReasonNoHeap);
    }
    SetTopRow(0);
    Paint();
    ChangedSetup();
}

void TReportListView::SetNrOfRows(int Value) {
    FRLData->SetNrOfRows(Value);
    SetSelection(TGridRect{0, 0, 0, 0});
    UpdateGridMapping();
    SetHeaderHeights();
    Paint();
    ChangedSetup();
}

void TReportListView::SetTopRow(int Value) {
    int h = CountHeadRows();
    int v = std::min(Value + h - 1, h + NrOfRows() - 1);
    TCustomGrid::SetTopRow(std::max(v, h));
}

void TReportListView::SetLeftCol(int Value) {
    int v = std::max(std::min(Value, NrOfColumns()), FixedCols() + 1);
    TCustomGrid::SetLeftCol(v - 1);
}

void TReportListView::SetDefaultColWidth(int Value) {
    TCustomGrid::SetDefaultColWidth(Value);
    Paint();
    ChangedSetup();
}

void TReportListView::SetDefaultRowHeight(int Value) {
    TCustomGrid::SetDefaultRowHeight(Value);
    SetHeaderHeights();
    Paint();
    ChangedSetup();
}

void TReportListView::SetFixedFirstColumn(bool Value) {
    FFixedColOne = Value;
    SetFixedCols(Value && ColCount() > 1 ? 1 : 0);
    Changed();
    Paint();
}

int TReportListView::GridColOfData(int Index) const {
    if (Index < 1 || Index > int(FColOrder.size())) return -1;
    return FColOrder[size_t(Index - 1)];
}

int TReportListView::DataColOfGrid(int ACol) const {
    if (ACol < 0 || ACol >= int(FColOrder.size())) return 0;
    return FColOrder[size_t(ACol)] + 1;
}

int TReportListView::ColWidths(int Index) const {
    int g = GridColOfData(Index);
    return g < 0 ? 0 : TCustomGrid::ColWidths(g);
}

void TReportListView::SetColWidths(int Index, int Value) {
    int g = GridColOfData(Index);
    if (g >= 0) TCustomGrid::SetColWidths(g, Value);
    ChangedSetup();
}

bool TReportListView::SetColumnOrder(const std::vector<int>& ColList) {
    int n = NrOfColumns();
    if (int(ColList.size()) != n) return false;
    bool ok = true;
    for (int i = 0; i < n; ++i) {
        int v = ColList[size_t(i)];
        if (v >= 1 && v <= n)
            FColOrder[size_t(i)] = v - 1;
        else
            ok = false;
    }
    return ok;
}

int TReportListView::ColumnOrder(int Index) const {
    int g = GridColOfData(Index);
    return g < 0 ? 0 : g + 1;
}

int TReportListView::DetermineMaxColWidth(int ColNr, bool IncludeHeader) {
    if (ColNr < 1 || ColNr > NrOfColumns()) return 9;
    TCanvas* C = Canvas();
    C->SetFont(Font());
    bool italic = Font()->Style().contains(fsItalic);
    bool box = FRLData->GetCheckedCol(ColNr);
    int extra = (box ? 16 : 0) + (italic ? 2 : 0);
    int best = 0;
    for (int r = 1; r <= NrOfRows(); ++r) {
        const std::string& s = FRLData->Strings->StringRef(ColNr, r);
        int w = C->TextWidth(box && !s.empty() ? s.substr(1) : s) + extra;
        best = std::max(best, w);
    }
    if (IncludeHeader) {
        int w = C->TextWidth(FRLData->GetColName(ColNr)) +
                (ColNr == FRLData->LastSortColumn() ? 13 : 0) + (italic ? 2 : 0);
        best = std::max(best, w);
    }
    return best + 9;
}

void TReportListView::AutoColWidth(int ColNr, bool IncludeHeader, int Addon) {
    SetColWidths(ColNr, std::max(DetermineMaxColWidth(ColNr, IncludeHeader) + Addon, 4));
}

void TReportListView::AutoColWidth(int ColNr, bool IncludeHeader, int Addon, int MaxWidth) {
    int w = std::max(DetermineMaxColWidth(ColNr, IncludeHeader) + Addon, 4);
    SetColWidths(ColNr, std::min(w, MaxWidth));
}

void TReportListView::ExpandColWidth(int ColIx, int RightMargin) {
    int n = NrOfColumns();
    if (ColIx >= 1 && ColIx <= n) {
        int others = 0;
        for (int c = 1; c <= n; ++c)
            if (c != ColIx) others += ColWidths(c);
        int w = ClientWidth() - RightMargin - others;
        int g = GridColOfData(ColIx);
        TCustomGrid::SetColWidths(g, w > 15 ? w : 16);
    }
    ChangedSetup();
}

void TReportListView::FitAllColWidths(int ExpandColumn, bool IncludeHeader, int Addon, int MaxWidth,
                                      int RightMargin) {
    PaintBatch([&] {
        for (int c = 1; c <= NrOfColumns(); ++c)
            if (c != ExpandColumn) AutoColWidth(c, IncludeHeader, Addon, MaxWidth);
        ExpandColWidth(ExpandColumn, RightMargin);
    });
}

// ---- headers ----

void TReportListView::SetCommonHeader(const std::string& Value) {
    if (Value == FRLData->CommonHeader()) return;
    FRLData->SetCommonHeader(Value);
    Changed();
    Paint();
}

void TReportListView::SetCommonHeaderAlignment(TAlignment Value) {
    if (Value == FHeaderAlignment) return;
    FHeaderAlignment = Value;
    Changed();
    Paint();
}

void TReportListView::SetCommonHeaderVisible(bool Value) {
    if (Value == FComHdVis) return;
    FComHdVis = Value;
    UpdateGridMapping();
    SetHeaderHeights();
    Changed();
    Paint();
}

void TReportListView::SetColumnHeadersVisible(bool Value) {
    if (Value == FColHdVis) return;
    FColHdVis = Value;
    UpdateGridMapping();
    SetHeaderHeights();
    Changed();
    Paint();
}

void TReportListView::SetCommonHeaderHeight(int Value) {
    FComHdHgt = std::clamp(Value, 8, 127);
    SetHeaderHeights();
    Changed();
    Paint();
}

void TReportListView::SetColumnHeadersHeight(int Value) {
    FColHdHgt = std::clamp(Value, 8, 127);
    SetHeaderHeights();
    Changed();
    Paint();
}

// ---- columns ----

static bool InColumns(int ColNr, int Count) {
    return ColNr >= 1 && ColNr <= Count;
}

TAlignment TReportListView::ColumnAlignment(int ColNr) const {
    return InColumns(ColNr, NrOfColumns()) ? FColAlignment[size_t(ColNr)] : taLeftJustify;
}

void TReportListView::SetColumnAlignment(int ColNr, TAlignment Value) {
    if (!InColumns(ColNr, NrOfColumns()) || FColAlignment[size_t(ColNr)] == Value) return;
    FColAlignment[size_t(ColNr)] = Value;
    Changed();
    Paint();
}

bool TReportListView::ColumnIsPwd(int ColNr) const {
    return InColumns(ColNr, NrOfColumns()) && FColumnIsPwd[size_t(ColNr)];
}

void TReportListView::SetColumnIsPwd(int ColNr, bool Value) {
    if (!InColumns(ColNr, NrOfColumns()) || bool(FColumnIsPwd[size_t(ColNr)]) == Value) return;
    FColumnIsPwd[size_t(ColNr)] = Value;
    Changed();
    Paint();
}

bool TReportListView::ColumnEditable(int ColNr) const {
    return InColumns(ColNr, NrOfColumns()) && FColumnEditable[size_t(ColNr)];
}

void TReportListView::SetColumnEditable(int ColNr, bool Value) {
    if (InColumns(ColNr, NrOfColumns())) FColumnEditable[size_t(ColNr)] = Value;
}

void TReportListView::SetHeader(int ColNr, const std::string& Value) {
    if (!InColumns(ColNr, NrOfColumns())) return;
    FRLData->SetColName(ColNr, Value);
    Changed();
    Paint();
}

void TReportListView::SetColumnFormat(int ColNr, const std::string& Value) {
    if (!InColumns(ColNr, NrOfColumns())) return;
    FRLData->SetColumnFormat(ColNr, Value);
    Changed();
    Paint();
}

void TReportListView::SetColumnCheckMode(int ColNr, TCheckMode Value) {
    FRLData->SetColCheckMode(ColNr, Value);
    Changed();
    Paint();
}

void TReportListView::SetIsCheckedColumn(int ColNr, bool Value) {
    FRLData->SetCheckedCol(ColNr, Value);
    Changed();
    Paint();
}

// ---- other appearance ----

void TReportListView::SetColorEmptyMsg(TColor Value) {
    if (Value != FColorEmptyMsg) StoreSetup(FColorEmptyMsg, Value);
}

void TReportListView::SetEmptyMessage(const std::string& Value) {
    if (Value != FEmptyMsg) StoreSetup(FEmptyMsg, Value);
}

void TReportListView::SetInterRowIndicatorPos(int Value) {
    if (Value == FInterRowIndi) return;
    FInterRowIndi = Value;
    Paint();
}

void TReportListView::SetCheckMarksReadOnly(bool Value) {
    if (Value == FROCheckMarks) return;
    FROCheckMarks = Value;
    Paint();
}

void TReportListView::SetShowEmptyCheckBoxes(bool Value) {
    if (Value == FShowEmptyCBx) return;
    FShowEmptyCBx = Value;
    Paint();
}

// ---- selection ----

void TReportListView::SetRowBits(uint8_t Bit, bool Value) {
    TStringArray* s = FRLData->Strings;
    for (int r = 1; r <= NrOfRows(); ++r) {
        uint8_t a = s->GetRowAttrib(r);
        s->SetRowAttrib(r, Value ? uint8_t(a | Bit) : uint8_t(a & ~Bit));
    }
}

void TReportListView::SetRowSelectMode(int Value) {
    FRowSelectMode = Value;
    if (Value == 2) return;
    PaintBatch([&] {
        SetRowBits(AttrSelected, false);
        if (Value == 0) {
            int c = NrOfColumns() + 1, r = NrOfRows() + 1;
            SetSelection(TGridRect{c, r, c, r});
        }
    });
    ChangedSelection();
}

void TReportListView::SetSecondarySortColumn(int Value) {
    if (Value < -1 || Value > NrOfColumns()) return;
    // The data store keeps the secondary column as part of its sort memory, written only
    // by Sort: unsorted, a sort by no column stores it and leaves the order alone; sorted,
    // the last sort is repeated with the new tie-break.
    int last = FRLData->LastSortColumn();
    bool order = FRLData->LastSortOrder();
    if (last < 0) {
        auto saved = FRLData->Strings->OnChange;
        FRLData->Strings->OnChange = nullptr;
        FRLData->Sort(-1, Value, order);
        FRLData->Strings->OnChange = saved;
    } else {
        Sort(last, Value, order);
    }
    ChangedSetup();
}

bool TReportListView::RowSelected(int r) const {
    return r >= 1 && r <= NrOfRows() && (FRLData->Strings->GetRowAttrib(r) & AttrSelected);
}

void TReportListView::SetRowSelected(int r, bool Value) {
    if (r < 1 || r > NrOfRows()) return;
    uint8_t a = FRLData->Strings->GetRowAttrib(r);
    FRLData->Strings->SetRowAttrib(r,
                                   Value ? uint8_t(a | AttrSelected) : uint8_t(a & ~AttrSelected));
    ChangedSelection();
    Paint();
}

bool TReportListView::RowEnabled(int r) const {
    return r >= 1 && r <= NrOfRows() && !(FRLData->Strings->GetRowAttrib(r) & AttrDisabled);
}

void TReportListView::SetRowEnabled(int r, bool Value) {
    if (r < 1 || r > NrOfRows()) return;
    uint8_t a = FRLData->Strings->GetRowAttrib(r);
    FRLData->Strings->SetRowAttrib(r,
                                   Value ? uint8_t(a & ~AttrDisabled) : uint8_t(a | AttrDisabled));
    ChangedSelection();
    Paint();
}

bool TReportListView::ColumnSelected(int c) const {
    return InColumns(c, NrOfColumns()) && (FRLData->Strings->GetColAttrib(c) & AttrSelected);
}

void TReportListView::SetColumnSelected(int c, bool Value) {
    if (!InColumns(c, NrOfColumns())) return;
    uint8_t a = FRLData->Strings->GetColAttrib(c);
    FRLData->Strings->SetColAttrib(c,
                                   Value ? uint8_t(a | AttrSelected) : uint8_t(a & ~AttrSelected));
    ChangedSelection();
    Paint();
}

int TReportListView::FirstSelectedRow() const {
    for (int r = 1; r <= NrOfRows(); ++r) {
        uint8_t a = FRLData->Strings->GetRowAttrib(r);
        if (a & AttrSelected) return (a & AttrDisabled) ? 0 : r;
    }
    return 0;
}

int TReportListView::FirstSelectedColumn() const {
    for (int c = 1; c <= NrOfColumns(); ++c)
        if (ColumnSelected(c)) return c;
    return 0;
}

int TReportListView::NumSelectedRows() const {
    int n = 0;
    for (int r = 1; r <= NrOfRows(); ++r) n += RowSelected(r);
    return n;
}

int TReportListView::NumEnabledRows() const {
    int n = 0;
    for (int r = 1; r <= NrOfRows(); ++r) n += RowEnabled(r);
    return n;
}

int TReportListView::NumSelectedColumns() const {
    int n = 0;
    for (int c = 1; c <= NrOfColumns(); ++c) n += ColumnSelected(c);
    return n;
}

void TReportListView::SelectAllRows() {
    PaintBatch([&] { SetRowBits(AttrSelected, true); });
    ChangedSelection();
}
void TReportListView::DeselectAllRows() {
    PaintBatch([&] { SetRowBits(AttrSelected, false); });
    ChangedSelection();
}
void TReportListView::EnableAllRows() {
    PaintBatch([&] { SetRowBits(AttrDisabled, false); });
    ChangedSelection();
}
void TReportListView::DisableAllRows() {
    PaintBatch([&] { SetRowBits(AttrDisabled, true); });
    ChangedSelection();
}

void TReportListView::SelectAllColumns() {
    PaintBatch([&] {
        for (int c = 1; c <= NrOfColumns(); ++c)
            FRLData->Strings->SetColAttrib(c, FRLData->Strings->GetColAttrib(c) | AttrSelected);
    });
    ChangedSelection();
}

void TReportListView::DeselectAllColumns() {
    PaintBatch([&] {
        for (int c = 1; c <= NrOfColumns(); ++c)
            FRLData->Strings->SetColAttrib(c, FRLData->Strings->GetColAttrib(c) & ~AttrSelected);
    });
    ChangedSelection();
}

void TReportListView::CenterScrollAndSelect(int Row) {
    PaintBatch([&] {
        DeselectAllRows();
        SetRowSelected(Row, true);
        int v = VisibleRowCount();
        int n = NrOfRows();
        int top = Row > n - v / 2 ? n - v + 1 : Row - v / 2;
        SetTopRow(std::max(top, 1));
        if (Row >= 1 && Row <= n) {
            int g = Row + CountHeadRows() - 1;
            SetSelection(TGridRect{FixedCols(), g, ColCount() - 1, g});
        }
    });
}

TGridCoord TReportListView::MouseCell(int X, int Y) const {
    TGridCoord g = MouseCoord(X, Y);
    TGridCoord res;
    res.X = g.X < 0 ? 0 : g.X + 1;
    int h = CountHeadRows();
    if (g.Y < 0)
        res.Y = 0;
    else if (g.Y >= h)
        res.Y = g.Y - h + 1;
    else if (FColHdVis && g.Y == h - 1)
        res.Y = -1;
    else
        res.Y = -2;
    return res;
}

// ---- check marks ----

void TReportListView::SetElemChecked(int ACol, int ARow, bool Value) {
    FRLData->SetElemChecked(ACol, ARow, Value);
}

void TReportListView::SetAllCheckmarksOfCol(int Column, bool Checked) {
    if (FRLData->GetColCheckMode(Column) != cmBox) return;
    PaintBatch([&] { FRLData->SetAllCheckmarksOfCol(Column, Checked); });
}

void TReportListView::InvertAllCheckmarksOfCol(int Column) {
    if (FRLData->GetColCheckMode(Column) != cmBox) return;
    PaintBatch([&] { FRLData->InvertAllCheckmarksOfCol(Column); });
}

int TReportListView::CountCheckedElemsInCol(int Column) const {
    if (FRLData->GetColCheckMode(Column) == cmNone) return 0;
    int n = 0;
    for (int r = 1; r <= NrOfRows(); ++r)
        if (RowEnabled(r) && FRLData->GetElemChecked(Column, r)) ++n;
    return n;
}

// ---- sorting ----

void TReportListView::Sort(int Col, int ColSec, bool Ascending) {
    FRLData->Sort(Col, ColSec, Ascending);
    Paint();
}

void TReportListView::UnSort() {
    FRLData->UnSort();
    Paint();
}

// ---- rows ----

int TReportListView::AddRow() {
    HideEditor();
    SetNrOfRows(NrOfRows() + 1);
    return NrOfRows();
}

// The sort memory is forgotten (a new row has no place in the last order) while the
// presented order stays: a sort by a column outside the store changes only the memory.
static void ForgetSort(TRLData* D) {
    auto saved = D->Strings->OnChange;
    D->Strings->OnChange = nullptr;
    D->Sort(-1, -1, D->LastSortOrder());
    D->Strings->OnChange = saved;
}

int TReportListView::InsertRow(int r) {
    HideEditor();
    PaintBatch([&] {
        int n = NrOfRows();
        if (r >= 1 && r <= n) {
            if (FRLData->Strings->InsertRow(r)) {
                SetNrOfRows(n + 1);
                ChangedSetup();
            }
        } else if (r > n) {
            SetNrOfRows(n + 1);
            r = n + 1;
        }
        ForgetSort(FRLData);
    });
    return r;
}

void TReportListView::RemoveRow(int r) {
    HideEditor();
    int n = NrOfRows();
    if (r < 1 || r > n) return;
    int h = CountHeadRows();
    if (n >= h) {
        PaintBatch([&] {
            FRLData->Strings->RemoveRow(r);
            FRLData->SetNrOfRows(n - 1);
            UpdateGridMapping();
            SetHeaderHeights();
        });
        ChangedSetup();
    } else {
        PaintBatch([&] {
            for (int c = 0; c <= NrOfColumns(); ++c) FRLData->Strings->SetString(c, r, "");
            SetNrOfRows(0);
        });
    }
}

void TReportListView::RemoveEmptyRows() {
    for (int r = NrOfRows(); r >= 1; --r) {
        bool empty = true;
        for (int c = 0; c <= NrOfColumns() && empty; ++c)
            if (!FRLData->GetElem(c, r).empty()) empty = false;
        if (empty) RemoveRow(r);
    }
}

void TReportListView::Fill(const std::string& s) {
    HideEditor();
    PaintBatch([&] { FRLData->Fill(s); });
}

void TReportListView::Clear() {
    HideEditor();
    FRLData->Clear();
    ResizeColumnArrays(NrOfColumns(), true);
    Paint();
}

// ---- copy convention ----

void TReportListView::AssignTo(TPersistent* Dest) {
    if (!AssignToSameClass(this, Dest)) TCustomDrawGrid::AssignTo(Dest);
}

void TReportListView::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TReportListView*>(Source);
    if (src == nullptr) {
        TCustomDrawGrid::Assign(Source);
        return;
    }
    if (src == this) return;
    FAutoAdvance = src->FAutoAdvance;
    FLastMousePosX = src->FLastMousePosX;
    FLastMousePosY = src->FLastMousePosY;
    OnChange = src->OnChange;
    OnChangeSetup = src->OnChangeSetup;
    OnSelectedChange = src->OnSelectedChange;
    FSelectAnchor = src->FSelectAnchor;
    FRowSelectMode = src->FRowSelectMode;
    FSortEnabled = src->FSortEnabled;
    FEnabled = src->FEnabled;
    OnCheckedChange = src->OnCheckedChange;
    OnBeforeCheckedChange = src->OnBeforeCheckedChange;
    OnGetEditText = src->OnGetEditText;
    OnSetEditText = src->OnSetEditText;
    FSelRowColor = src->FSelRowColor;
    FSelRowTextColor = src->FSelRowTextColor;
    FSelColColor = src->FSelColColor;
    FSelColTextColor = src->FSelColTextColor;
    FSelBothColor = src->FSelBothColor;
    FSelBothTextColor = src->FSelBothTextColor;
    FHiLgtColor = src->FHiLgtColor;
    FHiLgtTextColor = src->FHiLgtTextColor;
    FHiLgtBold = src->FHiLgtBold;
    FHiLgtRow = src->FHiLgtRow;
    FHiLgtColumn = src->FHiLgtColumn;
    bool suppress = src->FSuppressPaint;
    FColorNormal = src->FColorNormal;
    FRColorNormal = src->FRColorNormal;
    FRColorShaded = src->FRColorShaded;
    FRowColPattern = src->FRowColPattern;
    FHeaderAlignment = src->FHeaderAlignment;
    FComHdVis = src->FComHdVis;
    FColHdVis = src->FColHdVis;
    FComHdColor = src->FComHdColor;
    FComHdTxtColor = src->FComHdTxtColor;
    FColHdColor = src->FColHdColor;
    FColHdTxtColor = src->FColHdTxtColor;
    OnRequestEditFormat = src->OnRequestEditFormat;
    FShowEmptyCBx = src->FShowEmptyCBx;
    OnPercentDone = src->OnPercentDone;
    OnBeforeRenderCell = src->OnBeforeRenderCell;
    OnBeforeSortExchange = src->OnBeforeSortExchange;
    OnBeforeHTMLExport = src->OnBeforeHTMLExport;
    OnBeforeFilter = src->OnBeforeFilter;
    FInterRowIndi = src->FInterRowIndi;
    FInterRowColor = src->FInterRowColor;
    FInterRowWidth = src->FInterRowWidth;
    FFixedColOne = src->FFixedColOne;

    FSuppressPaint = true;  // the grid is rebuilt below; one paint at the end
    FRLData->Assign(src->FRLData);
    int a = NrOfColumns();
    if (FixedCols() >= a) SetFixedCols(0);
    SetColCount(a);
    SetFixedCols(FFixedColOne && a > 1 ? 1 : 0);
    UpdateGridMapping();
    SetHeaderHeights();
    HookStore();
    try {
        FColAlignment = src->FColAlignment;
        FColumnIsPwd = src->FColumnIsPwd;
        FColumnEditable = src->FColumnEditable;
        FColOrder = src->FColOrder;
    } catch (const std::bad_alloc&) {
        RaiseKovoError<EKovoRepListError>(this, ReasonNoHeap);
    }
    FSuppressPaint = suppress;
    Paint();
}

}  // namespace kovo
