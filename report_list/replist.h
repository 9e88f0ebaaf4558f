// The report list unit: TRLData, a table of short text cells in named columns with check
// marks, column formats and default values, over a TStringArray.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "foundation/kovobase.h"
#include "foundation/kovocore.h"
#include "host/Component.h"

namespace kovo {

// Column names: at most 50 characters. Column formats: at most 80. Cells: at most 255.
using TNameStrType = std::string;
using TColFmtString = std::string;
constexpr int NameStrLength = 50;
constexpr int ColFmtLength = 80;
constexpr int CellTextLength = 255;

enum TCheckMode : uint8_t {
    cmNone,   // plain text column
    cmBox,    // an independent check box in every row
    cmRadio,  // at most one checked row
};

using TBeforeHTMLExportEvent =
    std::function<void(TObject* Sender, std::string& Text, int Col, int Row)>;

// The data of a report list. Columns 1..NrOfColumns are described (name, format, check
// mode); column 0 is an undescribed plain column that is never shown but travels with its
// row. In a check-mark column a non-empty stored cell starts with a state character, a
// blank for unchecked and "X" (any other character) for checked, followed by the visible
// text; an empty stored cell is unchecked. Indexes outside the table are no errors: getters
// answer empty texts, false or 0 and setters do nothing.
class TRLData : public TComponent {
  public:
    // Raises EKovoRLDataError "failed to initialize (out of memory)" when the column
    // arrays cannot be made.
    explicit TRLData(TComponent* AOwner);
    ~TRLData() override;

    int NrOfColumns() const { return FNrOfCols; }
    // Below 1 gives 1; new columns are named "C-<n>", with no format and cmNone. Raises
    // EKovoRLDataError "not enough memory on heap", the count unchanged, when the store or
    // the column arrays cannot grow.
    void SetNrOfColumns(int Value) { SetNrCols(Value); }
    int NrOfRows() const { return FNrOfRows; }
    // Below 0 gives 0; new rows are empty. Raises as SetNrOfColumns.
    void SetNrOfRows(int Value) { SetNrRows(Value); }

    const std::string& CommonHeader() const { return FCommonHeader; }
    void SetCommonHeader(const std::string& Value);
    const std::string& Comment() const { return FComment; }
    void SetComment(const std::string& Value) { FComment = Value; }
    const std::string& DataID() const { return FDataID; }
    void SetDataID(const std::string& Value) { FDataID = Value; }
    // The last Sort: its columns (-1 after UnSort) and whether it was ascending.
    int LastSortColumn() const { return FSortColumn; }
    int SecondarySortColumn() const { return FSortColumnSec; }
    bool LastSortOrder() const { return FSortOrder; }
    // The direction memory for sorting by header click.
    bool SortToggle() const { return FSortToggle; }
    void SetSortToggle(bool Value) { FSortToggle = Value; }
    // Cells for progress reports (rows x (columns + 1), at least 1) and the step.
    int FeedbackNumCells() const { return FFeedbkNumCells; }
    int FeedbackStep() const { return FFeedbkStep; }

    // Array properties.
    double AsNumber(int ACol, int ARow) const { return GetAsNumber(ACol, ARow); }
    std::string DefaultValue(int ACol, int ARow) const { return GetCellDefaultValue(ACol, ARow); }
    std::string Elem(int ACol, int ARow) const { return GetElem(ACol, ARow); }
    bool ElemChecked(int ACol, int ARow) const { return GetElemChecked(ACol, ARow); }
    std::string ColumnFormat(int ColNr) const { return GetColumnFormat(ColNr); }
    TCheckMode ColumnCheckMode(int ColNr) const { return GetColCheckMode(ColNr); }
    void SetColumnCheckMode(int ColNr, TCheckMode Value) { SetColCheckMode(ColNr, Value); }
    std::string Header(int ColNr) const { return GetColName(ColNr); }
    void SetHeader(int ColNr, const std::string& Value) { SetColName(ColNr, Value); }
    bool IsCheckedColumn(int ColNr) const { return GetCheckedCol(ColNr); }
    void SetIsCheckedColumn(int ColNr, bool Value) { SetCheckedCol(ColNr, Value); }

    // The visible text (a check-mark cell without its state character); ACol may be 0.
    std::string GetElem(int ACol, int ARow) const;
    // Stores Value (cut to 255 characters with the state character); in a check-mark
    // column the state character stays (an empty cell gets a blank).
    void SetElem(int ACol, int ARow, const std::string& Value);
    bool GetElemChecked(int ACol, int ARow) const;
    // In a cmRadio column every cell is unchecked first; plain columns are ignored.
    void SetElemChecked(int ACol, int ARow, bool Value);

    std::string GetColName(int ColNr) const;
    void SetColName(int ColNr, const TNameStrType& HLine);  // cut to 50 characters
    std::string GetColumnFormat(int ColNr) const;
    void SetColumnFormat(int ColNr, const TColFmtString& DefValue);  // cut to 80
    TCheckMode GetColCheckMode(int ColNr) const;
    // Rewrites the column's cells for the new mode (state characters added, removed or
    // reset) without change notifications of the store.
    void SetColCheckMode(int ColNr, TCheckMode Value);
    bool GetCheckedCol(int ColNr) const;        // the mode is cmBox
    void SetCheckedCol(int ColNr, bool Value);  // cmBox or cmNone

    // cmBox columns only.
    void SetAllCheckmarksOfCol(int Column, bool Checked);
    void InvertAllCheckmarksOfCol(int Column);

    int CountCheckedElemsInCol(int Column) const;
    int CountCheckedElemsInRow(int Row) const;
    // The first checked row (column) from 1 on, 0 when there is none.
    int FirstCheckedElemInCol(int ColNr) const;
    int FirstCheckedElemInRow(int RowNr) const;

    // The highest-numbered column whose name equals Head (or contains it, with
    // PartialMatch), ignoring case; -1 when none.
    int ColumnIndex(const std::string& Head, bool PartialMatch) const;

    // Removing the only row empties it instead.
    void RemoveRow(int r);
    void RemoveEmptyRows();
    // Stored texts of columns 0..NrOfColumns and the row attribute.
    void CopyRow(int Source, int Target);
    // Every cell of columns 1..NrOfColumns becomes s (after its state character).
    void Fill(const std::string& s);
    // Cells emptied; names, formats and modes back to their defaults.
    void Clear();

    void Sort(int Col, int ColSec, bool Ascending);
    void UnSort();

    double GetAsNumber(int ACol, int ARow) const;
    // The default value of a cell computed from its column's format.
    std::string GetCellDefaultValue(int ACol, int ARow) const;

    // Puts the cells LeftCol..RightCol x TopRow..BottomRow on the clipboard as text, lines
    // ending in a line feed: with AddHeader first the column names and an empty line; tab
    // separated (UseTabs) or in fixed-width columns. The rows are clipped to the table;
    // columns outside it give empty entries (at most max(NrOfColumns + 1, 10 000) columns
    // are copied).
    void CopyToClipBoard(int LeftCol, int TopRow, int RightCol, int BottomRow, bool AddHeader,
                         bool UseTabs);
    // The same with Separator between the entries.
    void CopyToClipBoard(int LeftCol, int TopRow, int RightCol, int BottomRow, bool AddHeader,
                         const std::string& Separator);
    // A string literal is a separator (not a flag).
    void CopyToClipBoard(int LeftCol, int TopRow, int RightCol, int BottomRow, bool AddHeader,
                         const char* Separator) {
        CopyToClipBoard(LeftCol, TopRow, RightCol, BottomRow, AddHeader,
                        std::string(Separator ? Separator : ""));
    }
    // The clipboard text itself: fixed-width, or the entries joined by Separator.
    std::string ClipboardText(int LeftCol, int TopRow, int RightCol, int BottomRow, bool AddHeader,
                              bool FixedWidth, const std::string& Separator) const;

    // Another TRLData: counts, sort memory, texts, attributes, order, column descriptions,
    // comment, common header, data ID and OnBeforeSortExchange. The store is made anew.
    void Assign(TPersistent* Source) override;

    TBeforeSortExchgEvent OnBeforeSortExchange;
    TBeforeHTMLExportEvent OnBeforeHTMLExport;
    TOnPercentDoneEvent OnPercentDone;

    TStringArray* Strings = nullptr;  // the string store, owned

  protected:
    void AssignTo(TPersistent* Dest) override;
    // Fires OnBeforeSortExchange with this data store as Sender.
    void BeforeSortExchange(TObject* Sender, const std::string& Text, std::string& Key);
    void BeforeHTMLExport(std::string& Text, int Col, int Row);

    void SetNrCols(int a);
    void SetNrRows(int a);

  private:
    bool ValidCell(int ACol, int ARow) const {
        return ACol >= 0 && ACol <= FNrOfCols && ARow >= 1 && ARow <= FNrOfRows;
    }
    bool ValidCol(int ColNr) const { return ColNr >= 1 && ColNr <= FNrOfCols; }
    // True when the column has a check mode (column 0 never has).
    bool IsCheckCol(int ColNr) const {
        return ValidCol(ColNr) && FColButMode[size_t(ColNr)] != cmNone;
    }
    bool StoredChecked(int ACol, int ARow) const;
    void SetStateChar(int ACol, int ARow, char State);
    void UpdateFeedback();
    void HookStore(TStringArray* Store);
    static std::string DefaultColName(int ColNr);

    // Entries 1..FNrOfCols are the columns; entry 0 is unused.
    std::string FComment;                      // free comment text
    std::vector<TNameStrType> FColName;        // column names
    std::vector<TColFmtString> FColumnFormat;  // column formats
    std::string FCommonHeader;                 // header common to all columns
    std::vector<TCheckMode> FColButMode;       // check mode per column
    int FNrOfCols = 1;                         // number of columns, at least 1
    int FNrOfRows = 0;                         // number of rows, at least 0
    int FSortColumn = -1;                      // column of the last sort, -1 unsorted
    int FSortColumnSec = -1;                   // its secondary column
    bool FSortOrder = true;                    // the last sort was ascending
    std::string FDataID;                       // identifier of the data set
    bool FSortToggle = true;                   // direction memory for header clicks
    int FFeedbkNumCells = 1;                   // cells for progress reports
    int FFeedbkStep = 1;                       // progress step
};

}  // namespace kovo
