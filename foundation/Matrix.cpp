// TMatrix and TIntMatrix: dense row-by-row storage that keeps values in place on resize.
#include <cmath>
#include <limits>

#include "foundation/kovonum.h"
#include "host/SysUtils.h"

namespace kovo {

namespace {

// Copies the overlap of an old Cols x Rows block into a new one; false without memory.
template <class T>
bool ResizeBlock(std::vector<T>& Data, int& Cols, int& Rows, int NewCols, int NewRows,
                 int64_t MaxCells) {
    if (NewCols < 0) NewCols = 0;
    if (NewRows < 0) NewRows = 0;
    if (int64_t(NewCols) * int64_t(NewRows) > MaxCells) return false;
    if (NewCols == Cols && NewRows == Rows) return true;
    std::vector<T> fresh;
    try {
        fresh.assign(size_t(NewCols) * size_t(NewRows), T{});
    } catch (const std::bad_alloc&) {
        return false;
    }
    const int cc = std::min(Cols, NewCols), rr = std::min(Rows, NewRows);
    for (int r = 0; r < rr; ++r)
        for (int c = 0; c < cc; ++c)
            fresh[size_t(r) * size_t(NewCols) + size_t(c)] =
                Data[size_t(r) * size_t(Cols) + size_t(c)];
    Data.swap(fresh);
    Cols = NewCols;
    Rows = NewRows;
    return true;
}

}  // namespace

bool TMatrix::Resize(int Cols, int Rows) {
    return ResizeBlock(FData, FCols, FRows, Cols, Rows, MaxCells);
}

double TMatrix::Elem(int Col, int Row) const {
    return Inside(Col, Row) ? FData[Index(Col, Row)] : 0.0;
}

void TMatrix::SetElem(int Col, int Row, double Value) {
    if (Inside(Col, Row)) FData[Index(Col, Row)] = Value;
}

void TMatrix::Fill(double Value) {
    std::fill(FData.begin(), FData.end(), Value);
}

void TMatrix::Assign(TPersistent* Source) {
    if (auto* m = dynamic_cast<TMatrix*>(Source)) {
        if (m == this) return;
        FData = m->FData;
        FCols = m->FCols;
        FRows = m->FRows;
        return;
    }
    TPersistent::Assign(Source);
}

bool TIntMatrix::Resize(int Cols, int Rows) {
    return ResizeBlock(FData, FCols, FRows, Cols, Rows, TMatrix::MaxCells);
}

int TIntMatrix::GetVal(int Col, int Row) const {
    return Inside(Col, Row) ? FData[size_t(Row - 1) * size_t(FCols) + size_t(Col - 1)] : 0;
}

void TIntMatrix::SetVal(int Col, int Row, int Value) {
    if (Inside(Col, Row)) FData[size_t(Row - 1) * size_t(FCols) + size_t(Col - 1)] = Value;
}

void TIntMatrix::Fill(int Value) {
    std::fill(FData.begin(), FData.end(), Value);
}

void TIntMatrix::Assign(TPersistent* Source) {
    if (auto* m = dynamic_cast<TIntMatrix*>(Source)) {
        if (m == this) return;
        FData = m->FData;
        FCols = m->FCols;
        FRows = m->FRows;
        return;
    }
    TPersistent::Assign(Source);
}

bool IsValidDecInt(const std::string& Text) {
    std::string t = Trim(Text);
    if (t.empty()) return false;
    size_t i = (t[0] == '+' || t[0] == '-') ? 1 : 0;
    if (i == t.size()) return false;
    for (size_t k = i; k < t.size(); ++k)
        if (t[k] < '0' || t[k] > '9') return false;
    int64_t v = 0;
    for (size_t k = i; k < t.size(); ++k) {
        v = v * 10 + (t[k] - '0');
        if (v > int64_t(std::numeric_limits<int>::max()) + 1) return false;
    }
    if (t[0] == '-') v = -v;
    return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
}

int IntNeg(double X) {
    if (std::isnan(X)) return 0;
    double f = std::floor(X);
    if (f <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    if (f >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    return int(f);
}

}  // namespace kovo
