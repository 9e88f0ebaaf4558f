// TDataTable: values in a TMatrix, a state byte per cell, and per-column and per-row
// descriptions; shape changes rebuild values and states through one index mapping.
#include <algorithm>
#include <cmath>
#include <numeric>

#include "foundation/kovonum.h"
#include "host/SysUtils.h"

namespace kovo {

const char* const MScaleTypeNames[MScaleTypeCount] = {"numeric", "nominal", "ordinal", "interval",
                                                      "ratio"};

TDataTable::TDataTable(TComponent* AOwner)
    : TComponent(AOwner), FElements(1, 1), FStates(1, 0), FCols(1), FRowInfo(1) {}

TDataTable::~TDataTable() = default;

void TDataTable::DataChanged() {
    if (OnDataChanged) OnDataChanged(this);
}

void TDataTable::SetupChanged() {
    if (OnSetupChanged) OnSetupChanged(this);
}

void TDataTable::Resized(int OldCols, int OldRows) {
    if (OnResized) OnResized(this, OldCols, OldRows, FNrOfCols, FNrOfRows);
}

bool TDataTable::Reshape(int Cols, int Rows, const std::function<int(int)>& MapCol,
                         const std::function<int(int)>& MapRow) {
    if (int64_t(Cols) * int64_t(Rows) > MaxCells) return false;
    TMatrix values;
    std::vector<uint8_t> states;
    try {
        if (!values.Resize(Cols, Rows)) return false;
        states.assign(size_t(Cols) * size_t(Rows), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int r = 1; r <= Rows; ++r) {
        const int oldR = MapRow(r);
        if (oldR < 1) continue;
        for (int c = 1; c <= Cols; ++c) {
            const int oldC = MapCol(c);
            if (oldC < 1) continue;
            values.SetElem(c, r, FElements.Elem(oldC, oldR));
            states[size_t(r - 1) * size_t(Cols) + size_t(c - 1)] = FStates[StateIndex(oldC, oldR)];
        }
    }
    FElements.Assign(&values);
    FStates.swap(states);
    FNrOfCols = Cols;
    FNrOfRows = Rows;
    return true;
}

bool TDataTable::Resize(int Cols, int Rows) {
    if (Cols < 1) Cols = 1;
    if (Rows < 1) Rows = 1;
    const int oldCols = FNrOfCols, oldRows = FNrOfRows;
    if (Cols == oldCols && Rows == oldRows) return true;
    if (int64_t(Cols) * int64_t(Rows) > MaxCells) return false;
    auto keepCol = [oldCols](int c) { return c <= oldCols ? c : 0; };
    auto keepRow = [oldRows](int r) { return r <= oldRows ? r : 0; };
    try {
        FCols.reserve(size_t(Cols));
        FRowInfo.reserve(size_t(Rows));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!Reshape(Cols, Rows, keepCol, keepRow)) return false;
    FCols.resize(size_t(Cols));
    FRowInfo.resize(size_t(Rows));
    Resized(oldCols, oldRows);
    return true;
}

void TDataTable::Clear() {
    FElements.Fill(0);
    std::fill(FStates.begin(), FStates.end(), 0);
    for (TColumnInfo& c : FCols) c = TColumnInfo{};
    for (TRowInfo& r : FRowInfo) r = TRowInfo{};
    FComment.clear();
    DataChanged();
    SetupChanged();
}

bool TDataTable::InsertRow(int Pos) {
    if (Pos < 1 || Pos > FNrOfRows + 1) return false;
    const int oldCols = FNrOfCols, oldRows = FNrOfRows;
    auto row = [Pos](int r) { return r < Pos ? r : (r == Pos ? 0 : r - 1); };
    if (!Reshape(
            FNrOfCols, FNrOfRows + 1, [](int c) { return c; }, row))
        return false;
    FRowInfo.insert(FRowInfo.begin() + (Pos - 1), TRowInfo{});
    Resized(oldCols, oldRows);
    return true;
}

bool TDataTable::InsertColumn(int Pos) {
    if (Pos < 1 || Pos > FNrOfCols + 1) return false;
    const int oldCols = FNrOfCols, oldRows = FNrOfRows;
    auto col = [Pos](int c) { return c < Pos ? c : (c == Pos ? 0 : c - 1); };
    if (!Reshape(FNrOfCols + 1, FNrOfRows, col, [](int r) { return r; })) return false;
    FCols.insert(FCols.begin() + (Pos - 1), TColumnInfo{});
    Resized(oldCols, oldRows);
    return true;
}

void TDataTable::RemoveRow(int Pos) {
    if (Pos < 1 || Pos > FNrOfRows || FNrOfRows == 1) return;
    const int oldCols = FNrOfCols, oldRows = FNrOfRows;
    auto row = [Pos](int r) { return r < Pos ? r : r + 1; };
    if (!Reshape(
            FNrOfCols, FNrOfRows - 1, [](int c) { return c; }, row))
        return;
    FRowInfo.erase(FRowInfo.begin() + (Pos - 1));
    Resized(oldCols, oldRows);
}

void TDataTable::RemoveColumn(int Pos) {
    if (Pos < 1 || Pos > FNrOfCols || FNrOfCols == 1) return;
    const int oldCols = FNrOfCols, oldRows = FNrOfRows;
    auto col = [Pos](int c) { return c < Pos ? c : c + 1; };
    if (!Reshape(FNrOfCols - 1, FNrOfRows, col, [](int r) { return r; })) return;
    FCols.erase(FCols.begin() + (Pos - 1));
    Resized(oldCols, oldRows);
}

void TDataTable::MirrorRows() {
    for (int r = 1; r <= FNrOfRows / 2; ++r)
        for (int c = 1; c <= FNrOfCols; ++c) ExchangeCells(c, r, c, FNrOfRows + 1 - r);
    std::reverse(FRowInfo.begin(), FRowInfo.end());
    Resized(FNrOfCols, FNrOfRows);
}

void TDataTable::MirrorColumns() {
    for (int c = 1; c <= FNrOfCols / 2; ++c)
        for (int r = 1; r <= FNrOfRows; ++r) ExchangeCells(c, r, FNrOfCols + 1 - c, r);
    std::reverse(FCols.begin(), FCols.end());
    Resized(FNrOfCols, FNrOfRows);
}

void TDataTable::SetElem(int Col, int Row, double Value) {
    if (!Inside(Col, Row)) return;
    FElements.SetElem(Col, Row, Value);
    DataChanged();
}

uint8_t TDataTable::GetCellState(int Col, int Row) const {
    return Inside(Col, Row) ? FStates[StateIndex(Col, Row)] : 0;
}

void TDataTable::SetCellState(int Col, int Row, uint8_t State) {
    if (Inside(Col, Row)) FStates[StateIndex(Col, Row)] = State;
}

bool TDataTable::GetIsNumber(int Col, int Row) const {
    return Inside(Col, Row) && (FStates[StateIndex(Col, Row)] & (cstNaN | cstEmpty)) == 0;
}

void TDataTable::InvertCellStates(uint8_t Mask) {
    for (uint8_t& s : FStates) s ^= Mask;
}

void TDataTable::ExchangeMarkings() {
    for (uint8_t& s : FStates) {
        const bool a = s & cstMarkA, b = s & cstMarkB;
        s = uint8_t((s & ~(cstMarkA | cstMarkB)) | (a ? cstMarkB : 0) | (b ? cstMarkA : 0));
    }
}

void TDataTable::UnmarkAllCells() {
    for (uint8_t& s : FStates) s &= uint8_t(~(cstMarkA | cstMarkB));
}

int TDataTable::FillMarkedCells(double Value, uint8_t Mask) {
    if (Mask == 0) return 0;
    int n = 0;
    for (int r = 1; r <= FNrOfRows; ++r)
        for (int c = 1; c <= FNrOfCols; ++c) {
            uint8_t& s = FStates[StateIndex(c, r)];
            if ((s & Mask) != Mask) continue;
            FElements.SetElem(c, r, Value);
            s &= uint8_t(~(cstNaN | cstEmpty));
            ++n;
        }
    if (n > 0) DataChanged();
    return n;
}

std::string TDataTable::GetColName(int Col) const {
    return Col >= 1 && Col <= FNrOfCols ? FCols[size_t(Col - 1)].Name : std::string();
}

std::string TDataTable::GetRowName(int Row) const {
    return Row >= 1 && Row <= FNrOfRows ? FRowInfo[size_t(Row - 1)].Name : std::string();
}

void TDataTable::SetColName(int Col, const std::string& Name) {
    if (Col < 1 || Col > FNrOfCols) return;
    FCols[size_t(Col - 1)].Name = Utf8Truncate(Name, DTNameLength);
    SetupChanged();
}

void TDataTable::SetRowName(int Row, const std::string& Name) {
    if (Row < 1 || Row > FNrOfRows) return;
    FRowInfo[size_t(Row - 1)].Name = Utf8Truncate(Name, DTNameLength);
    SetupChanged();
}

uint8_t TDataTable::GetColAttrib(int Col) const {
    return Col >= 1 && Col <= FNrOfCols ? FCols[size_t(Col - 1)].Attrib : 0;
}

uint8_t TDataTable::GetRowAttrib(int Row) const {
    return Row >= 1 && Row <= FNrOfRows ? FRowInfo[size_t(Row - 1)].Attrib : 0;
}

void TDataTable::SetColAttrib(int Col, uint8_t Attrib) {
    if (Col < 1 || Col > FNrOfCols) return;
    FCols[size_t(Col - 1)].Attrib = Attrib;
    SetupChanged();
}

void TDataTable::SetRowAttrib(int Row, uint8_t Attrib) {
    if (Row < 1 || Row > FNrOfRows) return;
    FRowInfo[size_t(Row - 1)].Attrib = Attrib;
    SetupChanged();
}

void TDataTable::SetFComment(const std::string& Text) {
    FComment = Text;
    SetupChanged();
}

uint8_t TDataTable::GetMScaleType(int Col) const {
    return Col >= 1 && Col <= FNrOfCols ? FCols[size_t(Col - 1)].ScaleType : mstNumeric;
}

void TDataTable::SetMScaleType(int Col, uint8_t ScaleType) {
    if (Col < 1 || Col > FNrOfCols) return;
    FCols[size_t(Col - 1)].ScaleType = ScaleType;
    SetupChanged();
}

std::string TDataTable::GetNominalID(int Col, int Ordinal) const {
    if (Col < 1 || Col > FNrOfCols || Ordinal < 1) return std::string();
    const auto& ids = FCols[size_t(Col - 1)].NominalIDs;
    return size_t(Ordinal) <= ids.size() ? ids[size_t(Ordinal - 1)] : std::string();
}

void TDataTable::SetNominalID(int Col, int Ordinal, const std::string& ID) {
    if (Col < 1 || Col > FNrOfCols || Ordinal < 1 || Ordinal > MaxNominalIDs) return;
    auto& ids = FCols[size_t(Col - 1)].NominalIDs;
    if (ids.size() < size_t(Ordinal)) ids.resize(size_t(Ordinal));
    ids[size_t(Ordinal - 1)] = Utf8Truncate(ID, NominalIDLength);
    SetupChanged();
}

void TDataTable::ClearNominalIDs(int Col) {
    if (Col < 1 || Col > FNrOfCols) return;
    FCols[size_t(Col - 1)].NominalIDs.clear();
    SetupChanged();
}

int TDataTable::OrdinalOfNominalID(int Col, const std::string& ID, bool IgnoreCase) const {
    if (Col < 1 || Col > FNrOfCols) return 0;
    const std::string id = Trim(ID);
    if (id.empty()) return 0;
    const auto& ids = FCols[size_t(Col - 1)].NominalIDs;
    for (size_t i = 0; i < ids.size(); ++i)
        if (IgnoreCase ? SameText(ids[i], id) : ids[i] == id) return int(i) + 1;
    return 0;
}

void TDataTable::ExchangeCells(int C1, int R1, int C2, int R2) {
    double v = FElements.Elem(C1, R1);
    FElements.SetElem(C1, R1, FElements.Elem(C2, R2));
    FElements.SetElem(C2, R2, v);
    std::swap(FStates[StateIndex(C1, R1)], FStates[StateIndex(C2, R2)]);
}

void TDataTable::ExchangeColumns(int A, int B) {
    if (A < 1 || A > FNrOfCols || B < 1 || B > FNrOfCols || A == B) return;
    for (int r = 1; r <= FNrOfRows; ++r) ExchangeCells(A, r, B, r);
    std::swap(FCols[size_t(A - 1)], FCols[size_t(B - 1)]);
    if (OnSortExchange) OnSortExchange(this, 1, A, B, 1, FNrOfRows);
    DataChanged();
}

void TDataTable::ExchangeRows(int A, int B) {
    if (A < 1 || A > FNrOfRows || B < 1 || B > FNrOfRows || A == B) return;
    for (int c = 1; c <= FNrOfCols; ++c) ExchangeCells(c, A, c, B);
    std::swap(FRowInfo[size_t(A - 1)], FRowInfo[size_t(B - 1)]);
    if (OnSortExchange) OnSortExchange(this, 2, A, B, 1, FNrOfCols);
    DataChanged();
}

namespace {

// The stable order of Count items by the key KeyOf(i) (i 0-based): numbers by value,
// then every item without a number, in their old order.
std::vector<int> StableOrder(int Count, bool Ascending,
                             const std::function<bool(int, double&)>& KeyOf) {
    std::vector<double> keys(size_t(Count), 0);
    std::vector<char> isNum(size_t(Count), 0);
    for (int i = 0; i < Count; ++i) {
        double v = 0;
        isNum[size_t(i)] = KeyOf(i, v) && !std::isnan(v);
        keys[size_t(i)] = v;
    }
    std::vector<int> order(static_cast<size_t>(Count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        if (!isNum[size_t(a)]) return false;
        if (!isNum[size_t(b)]) return true;
        return Ascending ? keys[size_t(a)] < keys[size_t(b)] : keys[size_t(b)] < keys[size_t(a)];
    });
    return order;
}

// Carries out Order (new place i gets old item Order[i]) as a sequence of exchanges.
void ApplyByExchanges(const std::vector<int>& Order,
                      const std::function<void(int, int)>& Exchange) {
    const size_t n = Order.size();
    std::vector<int> where(n), at(n);  // place of each old item, item at each place
    std::iota(where.begin(), where.end(), 0);
    std::iota(at.begin(), at.end(), 0);
    for (size_t i = 0; i < n; ++i) {
        const int j = where[size_t(Order[i])];
        if (j == int(i)) continue;
        Exchange(int(i), j);
        const int a = at[i], b = at[size_t(j)];
        std::swap(at[i], at[size_t(j)]);
        where[size_t(a)] = j;
        where[size_t(b)] = int(i);
    }
}

}  // namespace

void TDataTable::SortRows(int SortColIx, bool Ascending, int LowCol, int LowRow, int HighCol,
                          int HighRow, bool IncludeHeaders) {
    LowCol = std::max(LowCol, 1), HighCol = std::min(HighCol, FNrOfCols);
    LowRow = std::max(LowRow, 1), HighRow = std::min(HighRow, FNrOfRows);
    if (SortColIx < 1 || SortColIx > FNrOfCols || LowCol > HighCol || LowRow >= HighRow) return;
    auto order = StableOrder(HighRow - LowRow + 1, Ascending, [&](int i, double& v) {
        v = GetElem(SortColIx, LowRow + i);
        return GetIsNumber(SortColIx, LowRow + i);
    });
    if (OnPercentDone) OnPercentDone(this, 50);
    ApplyByExchanges(order, [&](int i, int j) {
        const int a = LowRow + i, b = LowRow + j;
        for (int c = LowCol; c <= HighCol; ++c) ExchangeCells(c, a, c, b);
        if (IncludeHeaders) std::swap(FRowInfo[size_t(a - 1)], FRowInfo[size_t(b - 1)]);
        if (OnSortExchange) OnSortExchange(this, 2, a, b, LowCol, HighCol);
    });
    if (OnPercentDone) OnPercentDone(this, 100);
    DataChanged();
}

void TDataTable::SortCols(int SortRowIx, bool Ascending, int LowCol, int LowRow, int HighCol,
                          int HighRow, bool IncludeHeaders) {
    LowCol = std::max(LowCol, 1), HighCol = std::min(HighCol, FNrOfCols);
    LowRow = std::max(LowRow, 1), HighRow = std::min(HighRow, FNrOfRows);
    if (SortRowIx < 1 || SortRowIx > FNrOfRows || LowRow > HighRow || LowCol >= HighCol) return;
    auto order = StableOrder(HighCol - LowCol + 1, Ascending, [&](int i, double& v) {
        v = GetElem(LowCol + i, SortRowIx);
        return GetIsNumber(LowCol + i, SortRowIx);
    });
    if (OnPercentDone) OnPercentDone(this, 50);
    ApplyByExchanges(order, [&](int i, int j) {
        const int a = LowCol + i, b = LowCol + j;
        for (int r = LowRow; r <= HighRow; ++r) ExchangeCells(a, r, b, r);
        if (IncludeHeaders) std::swap(FCols[size_t(a - 1)], FCols[size_t(b - 1)]);
        if (OnSortExchange) OnSortExchange(this, 1, a, b, LowRow, HighRow);
    });
    if (OnPercentDone) OnPercentDone(this, 100);
    DataChanged();
}

void TDataTable::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TDataTable*>(Source);
    if (src == nullptr) {
        TComponent::Assign(Source);
        return;
    }
    if (src == this) return;
    const int oldCols = FNrOfCols, oldRows = FNrOfRows;
    TMatrix values;
    values.Assign(&src->FElements);
    std::vector<uint8_t> states = src->FStates;
    std::vector<TColumnInfo> cols = src->FCols;
    std::vector<TRowInfo> rows = src->FRowInfo;
    FElements.Assign(&values);
    FStates.swap(states);
    FCols.swap(cols);
    FRowInfo.swap(rows);
    FComment = src->FComment;
    FNrOfCols = src->FNrOfCols;
    FNrOfRows = src->FNrOfRows;
    if (oldCols != FNrOfCols || oldRows != FNrOfRows) Resized(oldCols, oldRows);
    DataChanged();
    SetupChanged();
}

}  // namespace kovo
