// The math package's services: the numeric data table behind the table editor, the
// matrices, and two numeric routines.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "foundation/kovocore.h"
#include "host/Component.h"

namespace kovo {

// ---------------------------------------------------------------------------------------
// Matrices (1-based; reads outside answer 0, writes outside do nothing)

class TMatrix : public TPersistent {
  public:
    TMatrix() = default;
    TMatrix(int Cols, int Rows) { Resize(Cols, Rows); }
    int NrOfColumns() const { return FCols; }
    int NrOfRows() const { return FRows; }
    // Values that stay inside keep their place; new ones are 0. Negative counts count as 0.
    // False, with nothing changed, beyond MaxCells values or without memory.
    bool Resize(int Cols, int Rows);
    static constexpr int64_t MaxCells = int64_t{1} << 25;
    double Elem(int Col, int Row) const;
    void SetElem(int Col, int Row, double Value);
    void Fill(double Value);
    void Assign(TPersistent* Source) override;

  private:
    bool Inside(int Col, int Row) const {
        return Col >= 1 && Col <= FCols && Row >= 1 && Row <= FRows;
    }
    size_t Index(int Col, int Row) const {
        return size_t(Row - 1) * size_t(FCols) + size_t(Col - 1);
    }

    int FCols = 0;
    int FRows = 0;
    std::vector<double> FData;  // row by row
};

class TIntMatrix : public TPersistent {
  public:
    TIntMatrix() = default;
    TIntMatrix(int Cols, int Rows) { Resize(Cols, Rows); }
    int NrOfColumns() const { return FCols; }
    int NrOfRows() const { return FRows; }
    // As TMatrix::Resize.
    bool Resize(int Cols, int Rows);
    // Rows 1..min(old, N) keep their values; new rows are 0.
    bool SetNRows(int N) { return Resize(FCols, N); }
    int GetVal(int Col, int Row) const;
    void SetVal(int Col, int Row, int Value);
    void Fill(int Value);
    void Assign(TPersistent* Source) override;

  private:
    bool Inside(int Col, int Row) const {
        return Col >= 1 && Col <= FCols && Row >= 1 && Row <= FRows;
    }
    int FCols = 0;
    int FRows = 0;
    std::vector<int> FData;  // row by row
};

// ---------------------------------------------------------------------------------------
// Data table

// A name of a column or row: at most 50 characters.
constexpr int DTNameLength = 50;
// A nominal ID: at most 10 characters; a categorical column has at most 150 of them.
constexpr int NominalIDLength = 10;
constexpr int MaxNominalIDs = 150;

// The bits of a cell's state byte.
constexpr uint8_t cstNaN = 0x01;    // not a number
constexpr uint8_t cstEmpty = 0x02;  // no value
constexpr uint8_t cstMarkA = 0x40;
constexpr uint8_t cstMarkB = 0x80;

// Scale types of a column. Nominal and ordinal columns are categorical: a cell holds the
// ordinal (1..150) of one of the column's nominal IDs.
constexpr uint8_t mstNumeric = 0;
constexpr uint8_t mstNominal = 1;
constexpr uint8_t mstOrdinal = 2;
constexpr uint8_t mstInterval = 3;
constexpr uint8_t mstRatio = 4;
constexpr int MScaleTypeCount = 5;
// Display names by scale type: "numeric", "nominal", "ordinal", "interval", "ratio".
extern const char* const MScaleTypeNames[MScaleTypeCount];

using TDTResizedEvent =
    std::function<void(TObject* Sender, int OldCols, int OldRows, int NewCols, int NewRows)>;
// Kind 1: columns A and B were exchanged (C..D the rows concerned); Kind 2: rows A and B
// were exchanged (C..D the columns concerned).
using TDTSortExchangeEvent =
    std::function<void(TObject* Sender, int Kind, int A, int B, int C, int D)>;

// A table of doubles with a state byte per cell, a name and an attribute byte per column and
// row, a scale type and nominal IDs per column, and a comment. Indices are 1-based; reads
// outside the table answer 0 or empty texts and writes outside do nothing. The table has at
// least one column and one row.
class TDataTable : public TComponent {
  public:
    explicit TDataTable(TComponent* AOwner = nullptr);
    ~TDataTable() override;

    int NrOfColumns() const { return FNrOfCols; }
    int NrOfRows() const { return FNrOfRows; }
    const std::string& Comment() const { return FComment; }
    // The values. Fill and SetElem through it fire nothing; do not resize it directly.
    TMatrix& Elements() { return FElements; }
    const TMatrix& Elements() const { return FElements; }

    // Counts below 1 become 1. Surviving cells, names and attributes stay; new cells are 0
    // with state 0. Fires OnResized. False, with nothing changed, when the table cannot be
    // that large.
    bool Resize(int Cols, int Rows);
    static constexpr int64_t MaxCells = TMatrix::MaxCells;
    // Values 0, states 0, names, attributes, scale types, nominal IDs and comment empty; the
    // size stays. Fires OnDataChanged and OnSetupChanged.
    void Clear();
    // A new row or column of zeros before Pos (1..count + 1); false outside or when too
    // large. Remove ignores Pos outside and the last remaining row or column. Mirror
    // reverses the order. Each fires OnResized (also Mirror, whose size stays).
    bool InsertRow(int Pos);
    bool InsertColumn(int Pos);
    void RemoveRow(int Pos);
    void RemoveColumn(int Pos);
    void MirrorRows();
    void MirrorColumns();

    double GetElem(int Col, int Row) const { return FElements.Elem(Col, Row); }
    // Leaves the cell state unchanged; fires OnDataChanged.
    void SetElem(int Col, int Row, double Value);

    uint8_t GetCellState(int Col, int Row) const;
    void SetCellState(int Col, int Row, uint8_t State);
    // True when neither cstNaN nor cstEmpty is set (false outside).
    bool GetIsNumber(int Col, int Row) const;
    void InvertCellStates(uint8_t Mask);
    void ExchangeMarkings();
    void UnmarkAllCells();
    // Cells whose state has every bit of Mask set (no cell for Mask 0) get Value and lose
    // cstNaN and cstEmpty; the marks stay. Returns the number of cells filled and fires
    // OnDataChanged when there were any.
    int FillMarkedCells(double Value, uint8_t Mask);

    std::string GetColName(int Col) const;
    std::string GetRowName(int Row) const;
    // Names are cut to 50 characters; fire OnSetupChanged.
    void SetColName(int Col, const std::string& Name);
    void SetRowName(int Row, const std::string& Name);
    uint8_t GetColAttrib(int Col) const;
    uint8_t GetRowAttrib(int Row) const;
    void SetColAttrib(int Col, uint8_t Attrib);
    void SetRowAttrib(int Row, uint8_t Attrib);
    void SetFComment(const std::string& Text);

    uint8_t GetMScaleType(int Col) const;
    // Any byte is stored; fires OnSetupChanged.
    void SetMScaleType(int Col, uint8_t ScaleType);
    // The ID of ordinal Ordinal (1..150) of column Col; empty if none.
    std::string GetNominalID(int Col, int Ordinal) const;
    // Stores ID (cut to 10 characters) as ordinal Ordinal of column Col; fires
    // OnSetupChanged.
    void SetNominalID(int Col, int Ordinal, const std::string& ID);
    // Every nominal ID of the column removed.
    void ClearNominalIDs(int Col);
    // The lowest ordinal whose ID equals ID (ignoring ASCII case when IgnoreCase; blanks
    // around ID ignored); 0 when none or ID is empty.
    int OrdinalOfNominalID(int Col, const std::string& ID, bool IgnoreCase) const;

    // Exchange two columns or rows (values, states, names, attributes, and for columns the
    // scale type and nominal IDs) and fire OnSortExchange.
    void ExchangeColumns(int A, int B);
    void ExchangeRows(int A, int B);
    // Stable sorts of the block LowCol..HighCol x LowRow..HighRow (clipped to the table):
    // SortRows orders the block's rows by their value in column SortColIx, SortCols its
    // columns by their value in row SortRowIx. Cells that are not numbers come last in
    // either direction. Only the block's cells move, with their states; with
    // IncludeHeaders the names and attributes of the moved rows (columns) move too. The
    // moves are made, and reported through OnSortExchange, as exchanges of two rows
    // (columns). Fires OnPercentDone and OnDataChanged.
    void SortRows(int SortColIx, bool Ascending, int LowCol, int LowRow, int HighCol, int HighRow,
                  bool IncludeHeaders);
    void SortCols(int SortRowIx, bool Ascending, int LowCol, int LowRow, int HighCol, int HighRow,
                  bool IncludeHeaders);

    // Another TDataTable: size, values, states, names, attributes, scale types, nominal IDs
    // and comment (not the notification slots). Fires OnResized, OnDataChanged and
    // OnSetupChanged.
    void Assign(TPersistent* Source) override;

    TNotifyEvent OnDataChanged;
    TNotifyEvent OnSetupChanged;
    TOnPercentDoneEvent OnPercentDone;
    TDTResizedEvent OnResized;
    TDTSortExchangeEvent OnSortExchange;

  private:
    struct TColumnInfo {
        std::string Name;
        uint8_t Attrib = 0;
        uint8_t ScaleType = mstNumeric;
        std::vector<std::string> NominalIDs;  // ordinal - 1 -> ID
    };
    struct TRowInfo {
        std::string Name;
        uint8_t Attrib = 0;
    };

    bool Inside(int Col, int Row) const {
        return Col >= 1 && Col <= FNrOfCols && Row >= 1 && Row <= FNrOfRows;
    }
    size_t StateIndex(int Col, int Row) const {
        return size_t(Row - 1) * size_t(FNrOfCols) + size_t(Col - 1);
    }
    // Rebuilds values and states for a new shape: new cell (c, r) takes old cell
    // (MapCol(c), MapRow(r)), or 0 with state 0 where the map answers 0.
    bool Reshape(int Cols, int Rows, const std::function<int(int)>& MapCol,
                 const std::function<int(int)>& MapRow);
    void ExchangeCells(int C1, int R1, int C2, int R2);
    void DataChanged();
    void SetupChanged();
    void Resized(int OldCols, int OldRows);

    int FNrOfCols = 1;
    int FNrOfRows = 1;
    std::string FComment;
    TMatrix FElements;
    std::vector<uint8_t> FStates;  // row by row
    std::vector<TColumnInfo> FCols;
    std::vector<TRowInfo> FRowInfo;
};

// ---------------------------------------------------------------------------------------
// Routines

// True when Text (blanks around allowed) is a decimal integer with an optional sign that
// fits in 32 bits.
bool IsValidDecInt(const std::string& Text);
// X rounded towards negative infinity (-1.3 gives -2), clamped to the int range; NaN is 0.
int IntNeg(double X);

}  // namespace kovo
