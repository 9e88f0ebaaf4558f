// The report list unit: TRLData, a table of short text cells in named columns with check
// marks, column formats and default values, over a TStringArray.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "foundation/kovobase.h"
#include "foundation/kovocore.h"
#include "host/Component.h"
#include "host/Font.h"
#include "host/Grid.h"
#include "host/Streams.h"
#include "host/TextFile.h"

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

// The element names of a report list document, in this order; xmlInvalid stands for any
// name not in the table.
enum TRepListXmlTag : uint8_t {
    xmlNumCols,
    xmlNumRows,
    xmlColName,
    xmlCheckedColumn,
    xmlCommonHd,
    xmlColumnFormat,
    xmlCell,
    xmlComment,
    xmlEndReplist,
    xmlInvalid,
};
extern const char* const RepListXmlTagNames[xmlInvalid + 1];

// True when a line of the text file FName (from its first line) or of Stream (from its
// position) is a report-list root line whose data ID equals DataID without regard to case
// (any ID when DataID is empty). The file form raises EInOutError when the file cannot be
// read; the stream is left after the line that qualified, or at its end.
bool CheckIfValidReplist(const std::string& FName, const std::string& DataID);
bool CheckIfValidReplist(TStream* Stream, const std::string& DataID);

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

    // Documents. A document holds the counts, the common header, the comment, every column's
    // name, format and check mode and every non-empty stored cell of columns 0..NrOfColumns
    // (state characters included); row and column attributes and the sort memory are not
    // part of it. Writers raise EKovoRLDataError for a DataID that no root line could carry
    // recognisably (a double quote, "&", "<", a control character, invalid UTF-8 or blanks
    // at either end). Readers start at the first root line that qualifies for DataID as in
    // CheckIfValidReplist, read to the end of that root element and answer false, leaving
    // the store as it was, for a document that is not well-formed or holds impossible or
    // conflicting counts, positions or values; after a successful read DataID() is the
    // document's ID and the store is unsorted. Large documents report OnPercentDone.
    bool ReadFromXMLString(const std::string& InString, const std::string& DataID);
    // The stream is left after the end of the root element, or where it was on failure.
    bool ReadFromXMLStream(TStream* InStream, const std::string& DataID);
    // InFile open for input; it is left after the lines read.
    bool ReadFromOpenXMLFile(TextFile& InFile, const std::string& DataID);
    // Raises EInOutError when the file cannot be opened or read.
    bool LoadFromXMLFile(const std::string& FName, const std::string& DataID);
    // CreateHeader writes an XML declaration first.
    void WriteToOpenXMLFile(TextFile& OutFile, bool CreateHeader, const std::string& DataID);
    void WriteToXMLStream(TStream* OutStream, bool CreateHeader, const std::string& DataID);
    // Writes a temporary file beside FName and renames it over FName only when all was
    // written, so a failed save leaves an existing file untouched; failures raise
    // EInOutError naming FName.
    void SaveAsXMLFile(const std::string& FName, const std::string& DataID);

    // The lines of a text file go into Column (0..NrOfColumns) from FirstRow (below 1
    // counts as 1) down, through SetElem; rows are added as needed. Answers the number of
    // lines read (0, nothing read, for a column outside the table). Raises EInOutError when
    // the file cannot be read.
    int LoadLinesFromFile(int Column, int FirstRow, const std::string& FName);

    // Writes an HTML5 page with one table of rows LoR..HiR and the columns listed in
    // ColumnSelection (in that order; an empty selection means LoC..HiC), clipped to
    // 0..NrOfColumns and 1..NrOfRows. IncludeHeader adds a header row of the column names.
    // Every text goes through BeforeHTMLExport (Row 0 for the header) and is then escaped;
    // a check-mark column shows a disabled check box before its text. Border, CellSpacing
    // and Cellpadding are pixels (below 0 count as 0); empty classes are left out. Saved
    // like SaveAsXMLFile.
    void ExportHTMLTable(const std::string& FName, int LoC, int LoR, int HiC, int HiR,
                         const std::vector<int>& ColumnSelection, int Border, int CellSpacing,
                         int Cellpadding, bool IncludeHeader, const std::string& HeadClass,
                         const std::string& CellClass, const std::string& TableClass);

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
    // Creates FName through a temporary file beside it that Produce writes; see SaveAsXMLFile.
    static void SaveFileSafely(const std::string& FName,
                               const std::function<void(TStream* Out)>& Produce);
    friend struct TRLDataXml;  // the document reader and writer

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

// ---------------------------------------------------------------------------------------
// The report list view

enum TFilterMode : uint8_t {
    fmSimple,   // the filter text is a substring
    fmBoolean,  // terms joined by AND, OR, NOT and parentheses
    fmGrep,     // an ECMAScript regular expression
};

using TCheckStateChangeEvent = std::function<void(TObject* Sender, bool& State, int Col, int Row)>;
using TBeforeFilterEvent =
    std::function<void(TObject* Sender, int Row, bool& Found, TLogicOp& CombineWithInternalSearch)>;
using TRenderCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, TColor& PenColor, TColor& BrushColor,
                       TColor& FontColor, TFontStyles& FontStyles, std::string& Text)>;
using TRequestEditFormatEvent =
    std::function<void(TObject* Sender, int Col, int Row, std::string& Format)>;

// A grid showing the report list of its own TRLData (FRLData). Header rows (an optional
// common header, then the column headers) are the grid's fixed rows; data row r is grid
// row CountHeadRows() + r - 1 and grid column g shows data column ColumnOrder(g + 1). Row
// selection, disabling and column selection live in the attribute bytes of the string
// store: bit 0x80 of a row (column) selects it, bit 0x40 of a row disables it. Setters
// of the appearance draw at once (unless SuppressPaint is on); indexes out of range are
// ignored by writers and read as 0 or false.
class TReportListView : public TCustomDrawGrid {
  public:
    // Raises EKovoRepListError "failed to initialize table editor (out of memory)" when the
    // column arrays cannot be made.
    explicit TReportListView(TComponent* AOwner);
    ~TReportListView() override;

    static constexpr uint8_t AttrSelected = 0x80;
    static constexpr uint8_t AttrDisabled = 0x40;

    // ---- layout ----
    int CountHeadRows() const { return (FComHdVis ? 1 : 0) + (FColHdVis ? 1 : 0); }
    int NrOfColumns() const { return FRLData->NrOfColumns(); }
    // Raises EKovoRepListError "not enough memory on heap" when the arrays cannot grow.
    void SetNrOfColumns(int Value);
    int NrOfRows() const { return FRLData->NrOfRows(); }
    void SetNrOfRows(int Value);
    // 1-based data row at the top of the view, 1-based first scrolled column.
    int TopRow() const { return TCustomGrid::TopRow() - CountHeadRows() + 1; }
    void SetTopRow(int Value);
    int LeftCol() const { return TCustomGrid::LeftCol() + 1; }
    void SetLeftCol(int Value);
    int DefaultColWidth() const { return TCustomGrid::DefaultColWidth(); }
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return TCustomGrid::DefaultRowHeight(); }
    void SetDefaultRowHeight(int Value);
    bool FixedFirstColumn() const { return FFixedColOne; }
    void SetFixedFirstColumn(bool Value);

    // Width of the grid column at order position Index (1-based); the set fires
    // OnChangeSetup in every case.
    int ColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    // False, with nothing changed, unless ColList has NrOfColumns entries; entries outside
    // 1..NrOfColumns are skipped and make the answer false. No repaint.
    bool SetColumnOrder(const std::vector<int>& ColList);
    int ColumnOrder(int Index) const;
    int DetermineMaxColWidth(int ColNr, bool IncludeHeader);
    void AutoColWidth(int ColNr, bool IncludeHeader, int Addon);
    void AutoColWidth(int ColNr, bool IncludeHeader, int Addon, int MaxWidth);
    void FitAllColWidths(int ExpandColumn, bool IncludeHeader, int Addon, int MaxWidth,
                         int RightMargin);
    void ExpandColWidth(int ColIx, int RightMargin);

    // ---- headers ----
    const std::string& CommonHeader() const { return FRLData->CommonHeader(); }
    void SetCommonHeader(const std::string& Value);
    TAlignment CommonHeaderAlignment() const { return FHeaderAlignment; }
    void SetCommonHeaderAlignment(TAlignment Value);
    bool CommonHeaderVisible() const { return FComHdVis; }
    void SetCommonHeaderVisible(bool Value);
    bool ColumnHeadersVisible() const { return FColHdVis; }
    void SetColumnHeadersVisible(bool Value);
    int CommonHeaderHeight() const { return FComHdHgt; }
    void SetCommonHeaderHeight(int Value);  // clamped to 8..127
    int ColumnHeadersHeight() const { return FColHdHgt; }
    void SetColumnHeadersHeight(int Value);  // clamped to 8..127

    // ---- columns ----
    TAlignment ColumnAlignment(int ColNr) const;
    void SetColumnAlignment(int ColNr, TAlignment Value);
    bool ColumnIsPwd(int ColNr) const;
    void SetColumnIsPwd(int ColNr, bool Value);
    bool ColumnEditable(int ColNr) const;
    void SetColumnEditable(int ColNr, bool Value);
    std::string Header(int ColNr) const { return FRLData->GetColName(ColNr); }
    void SetHeader(int ColNr, const std::string& Value);
    std::string ColumnFormat(int ColNr) const { return FRLData->GetColumnFormat(ColNr); }
    void SetColumnFormat(int ColNr, const std::string& Value);
    TCheckMode ColumnCheckMode(int ColNr) const { return FRLData->GetColCheckMode(ColNr); }
    void SetColumnCheckMode(int ColNr, TCheckMode Value);
    bool IsCheckedColumn(int ColNr) const { return FRLData->GetCheckedCol(ColNr); }
    void SetIsCheckedColumn(int ColNr, bool Value);

    // ---- colours (stored and drawn unconditionally, then OnChangeSetup) ----
#define KOVO_RL_COLOR(Name, Field) \
    TColor Name() const {          \
        return Field;              \
    }                              \
    void Set##Name(TColor Value) { \
        StoreSetup(Field, Value);  \
    }
    KOVO_RL_COLOR(ColorText, FColorNormal)
    KOVO_RL_COLOR(ColorBkgdNormal, FRColorNormal)
    KOVO_RL_COLOR(ColorBkgdShaded, FRColorShaded)
    KOVO_RL_COLOR(ColorHigh, FHiLgtColor)
    KOVO_RL_COLOR(ColorHighText, FHiLgtTextColor)
    KOVO_RL_COLOR(ColorSelectedRow, FSelRowColor)
    KOVO_RL_COLOR(ColorSelectedRowText, FSelRowTextColor)
    KOVO_RL_COLOR(ColorSelectedCol, FSelColColor)
    KOVO_RL_COLOR(ColorSelectedColText, FSelColTextColor)
    KOVO_RL_COLOR(ColorSelectedBoth, FSelBothColor)
    KOVO_RL_COLOR(ColorSelectedBothText, FSelBothTextColor)
    KOVO_RL_COLOR(ColorDisabledBkgd, FDisabledBkgdColor)
    KOVO_RL_COLOR(ColorDisabledText, FDisabledTextColor)
    KOVO_RL_COLOR(ColorColumnHd, FColHdColor)
    KOVO_RL_COLOR(ColorColumnHdText, FColHdTxtColor)
    KOVO_RL_COLOR(ColorCommonHd, FComHdColor)
    KOVO_RL_COLOR(ColorCommonHdText, FComHdTxtColor)
    KOVO_RL_COLOR(InterRowIndicatorColor, FInterRowColor)
#undef KOVO_RL_COLOR
    // The column header colour is the grid's FixedColor too.
    TColor FixedColor() const {
        return FColHdColor;
    }
    void SetFixedColor(TColor Value) {
        SetColorColumnHd(Value);
    }
    int RowColPattern() const {
        return FRowColPattern;
    }
    void SetRowColPattern(int Value) {
        StoreSetup(FRowColPattern, Value);
    }
    bool HighLightBold() const {
        return FHiLgtBold;
    }
    void SetHighLightBold(bool Value) {
        StoreSetup(FHiLgtBold, Value);
    }
    int HighLightRow() const {
        return FHiLgtRow;
    }
    void SetHighLightRow(int Value) {
        StoreSetup(FHiLgtRow, Value);
    }
    int HighLightColumn() const {
        return FHiLgtColumn;
    }
    void SetHighLightColumn(int Value) {
        StoreSetup(FHiLgtColumn, Value);
    }
    int InterRowIndicatorWidth() const {
        return FInterRowWidth;
    }
    void SetInterRowIndicatorWidth(int Value) {
        StoreSetup(FInterRowWidth, Value);
    }
    TColor ColorEmptyMsg() const {
        return FColorEmptyMsg;
    }
    void SetColorEmptyMsg(TColor Value);
    // Lines separated by "|", centred in the empty list.
    const std::string& EmptyMessage() const {
        return FEmptyMsg;
    }
    void SetEmptyMessage(const std::string& Value);
    // The line above data row k (NrOfRows + 1: below the last row); 0 for none.
    int InterRowIndicatorPos() const {
        return FInterRowIndi;
    }
    void SetInterRowIndicatorPos(int Value);
    bool CheckMarksReadOnly() const {
        return FROCheckMarks;
    }
    void SetCheckMarksReadOnly(bool Value);
    bool ShowEmptyCheckBoxes() const {
        return FShowEmptyCBx;
    }
    void SetShowEmptyCheckBoxes(bool Value);

    bool SuppressPaint() const {
        return FSuppressPaint;
    }
    void SetSuppressPaint(bool Value);
    void SetEnabled(bool Value) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // ---- selection ----
    // 0: none (the grid's selection leaves the grid), 1: one row, 2: several rows.
    int RowSelectMode() const {
        return FRowSelectMode;
    }
    void SetRowSelectMode(int Value);
    bool UseCtrlForMultiSel() const {
        return FCtrlForMultiSel;
    }
    void SetUseCtrlForMultiSel(bool Value) {
        FCtrlForMultiSel = Value;
    }
    bool SortEnabled() const {
        return FSortEnabled;
    }
    void SetSortEnabled(bool Value) {
        FSortEnabled = Value;
    }
    bool AutoAdvance() const {
        return FAutoAdvance;
    }
    void SetAutoAdvance(bool Value) {
        FAutoAdvance = Value;
    }
    int SecondarySortColumn() const {
        return FRLData->SecondarySortColumn();
    }
    void SetSecondarySortColumn(int Value);  // -1..NrOfColumns
    bool RowSelected(int r) const;
    void SetRowSelected(int r, bool Value);
    bool RowEnabled(int r) const;
    void SetRowEnabled(int r, bool Value);
    bool ColumnSelected(int c) const;
    void SetColumnSelected(int c, bool Value);
    // The first selected row when it is enabled, else 0.
    int FirstSelectedRow() const;
    int FirstSelectedColumn() const;
    int NumSelectedRows() const;
    int NumEnabledRows() const;
    int NumSelectedColumns() const;
    void SelectAllRows();
    void DeselectAllRows();
    void EnableAllRows();
    void DisableAllRows();
    void SelectAllColumns();
    void DeselectAllColumns();
    // Selects only Row and scrolls it to the middle of the view.
    void CenterScrollAndSelect(int Row);
    // X: 1-based display position of the column (0 outside); Y: the data row, -1 on the
    // column headers, -2 on the common header, 0 outside. Client coordinates.
    TGridCoord MouseCell(int X, int Y) const;

    // ---- check marks ----
    bool ElemChecked(int ACol, int ARow) const {
        return GetElemChecked(ACol, ARow);
    }
    bool GetElemChecked(int ACol, int ARow) const {
        return FRLData->GetElemChecked(ACol, ARow);
    }
    void SetElemChecked(int ACol, int ARow, bool Value);
    void SetAllCheckmarksOfCol(int Column, bool Checked);
    void InvertAllCheckmarksOfCol(int Column);
    // Disabled rows are not counted.
    int CountCheckedElemsInCol(int Column) const;
    int CountCheckedElemsInRow(int Row) const {
        return FRLData->CountCheckedElemsInRow(Row);
    }
    int FirstCheckedElemInCol(int ColNr) const {
        return FRLData->FirstCheckedElemInCol(ColNr);
    }
    int FirstCheckedElemInRow(int RowNr) const {
        return FRLData->FirstCheckedElemInRow(RowNr);
    }

    // ---- sorting and filtering ----
    void Sort(int Col, int ColSec, bool Ascending);
    void UnSort();
    // Selects the rows that match FilterExp in FilterColumns (every column when empty), and
    // only them (rows that do not match are deselected, nothing is removed); then sorts by
    // SortColumn when it is 1 or more. fmSimple: FilterExp is a substring; fmBoolean: words
    // (or "quoted phrases") joined by AND, OR, NOT and parentheses, two terms in a row
    // meaning AND, each word a substring; fmGrep: an ECMAScript regular expression searched
    // in each cell. OnBeforeFilter gets each row with the built-in result and may change it
    // and choose how the built-in test combines with it (loAnd, loOr, loXor, loAndNot,
    // loOrNot; initially loAnd with Found true, which keeps the built-in result). Returns
    // the number of selected rows. An invalid expression raises EKovoRepListError naming it
    // and changes nothing.
    int FilterAndSort(const std::string& FilterExp, const std::vector<int>& FilterColumns,
                      bool IgnoreCase, TFilterMode FilterMode, int SortColumn, bool Ascending);
    int LastSortColumn() const {
        return FRLData->LastSortColumn();
    }
    bool LastSortOrder() const {
        return FRLData->LastSortOrder();
    }

    // ---- rows ----
    int AddRow();
    // Inserts before row r (appends for r > NrOfRows, nothing for r <= 0); answers r.
    int InsertRow(int r);
    void RemoveRow(int r);
    void RemoveEmptyRows();
    void Fill(const std::string& s);
    void Clear();

    // ---- pass-throughs to the data store ----
    int ColumnIndex(const std::string& Head, bool PartialMatch) const {
        return FRLData->ColumnIndex(Head, PartialMatch);
    }
    std::string GetElem(int ACol, int ARow) const {
        return FRLData->GetElem(ACol, ARow);
    }
    void SetElem(int ACol, int ARow, const std::string& Value) {
        FRLData->SetElem(ACol, ARow, Value);
    }
    double GetAsNumber(int ACol, int ARow) const {
        return FRLData->GetAsNumber(ACol, ARow);
    }
    std::string GetCellDefaultValue(int ACol, int ARow) const {
        return FRLData->GetCellDefaultValue(ACol, ARow);
    }
    const std::string& Comment() const {
        return FRLData->Comment();
    }
    void SetComment(const std::string& Value) {
        FRLData->SetComment(Value);
    }
    const std::string& DataID() const {
        return FRLData->DataID();
    }
    void SetDataID(const std::string& Value) {
        FRLData->SetDataID(Value);
    }
    void CopyToClipBoard(int LeftCol, int TopRow, int RightCol, int BottomRow, bool AddHeader,
                         bool UseTabs) {
        FRLData->CopyToClipBoard(LeftCol, TopRow, RightCol, BottomRow, AddHeader, UseTabs);
    }
    void CopyToClipBoard(int LeftCol, int TopRow, int RightCol, int BottomRow, bool AddHeader,
                         const std::string& Separator) {
        FRLData->CopyToClipBoard(LeftCol, TopRow, RightCol, BottomRow, AddHeader, Separator);
    }

    // The data store's file and export operations; after a read the view takes on the
    // new shape of the table (columns, rows, header rows) and repaints.
    int LoadLinesFromFile(int Column, int FirstRow, const std::string& FName) {
        return AfterLoad(FRLData->LoadLinesFromFile(Column, FirstRow, FName));
    }
    bool ReadFromXMLString(const std::string& InString, const std::string& ADataID) {
        return AfterLoad(FRLData->ReadFromXMLString(InString, ADataID));
    }
    bool ReadFromXMLStream(TStream* InStream, const std::string& ADataID) {
        return AfterLoad(FRLData->ReadFromXMLStream(InStream, ADataID));
    }
    bool ReadFromOpenXMLFile(TextFile& InFile, const std::string& ADataID) {
        return AfterLoad(FRLData->ReadFromOpenXMLFile(InFile, ADataID));
    }
    bool LoadFromXMLFile(const std::string& FName, const std::string& ADataID) {
        return AfterLoad(FRLData->LoadFromXMLFile(FName, ADataID));
    }
    void WriteToOpenXMLFile(TextFile& OutFile, bool CreateHeader, const std::string& ADataID) {
        FRLData->WriteToOpenXMLFile(OutFile, CreateHeader, ADataID);
    }
    void WriteToXMLStream(TStream* OutStream, bool CreateHeader, const std::string& ADataID) {
        FRLData->WriteToXMLStream(OutStream, CreateHeader, ADataID);
    }
    void SaveAsXMLFile(const std::string& FName, const std::string& ADataID) {
        FRLData->SaveAsXMLFile(FName, ADataID);
    }
    void ExportHTMLTable(const std::string& FName, int LoC, int LoR, int HiC, int HiR,
                         const std::vector<int>& ColumnSelection, int Border, int CellSpacing,
                         int CellPadding, bool IncludeHeader, const std::string& HeadClass,
                         const std::string& CellClass, const std::string& TableClass) {
        FRLData->ExportHTMLTable(FName, LoC, LoR, HiC, HiR, ColumnSelection, Border, CellSpacing,
                                 CellPadding, IncludeHeader, HeadClass, CellClass, TableClass);
    }

    // Fire the three change events when assigned.
    void Changed() override;
    void ChangedSetup();
    void ChangedSelection();

    // Another view: appearance, selection state, events and data (not position, size,
    // header heights, the disabled and empty-message colours, the empty message,
    // CheckMarksReadOnly and UseCtrlForMultiSel).
    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnChangeSetup;
    TNotifyEvent OnSelectedChange;
    TCheckStateChangeEvent OnCheckedChange;
    TCheckStateChangeEvent OnBeforeCheckedChange;
    TBeforeFilterEvent OnBeforeFilter;
    TRequestEditFormatEvent OnRequestEditFormat;
    TOnPercentDoneEvent OnPercentDone;
    TRenderCellEvent OnBeforeRenderCell;
    TBeforeSortExchgEvent OnBeforeSortExchange;
    TBeforeHTMLExportEvent OnBeforeHTMLExport;

    TRLData* FRLData = nullptr;  // the data store, owned

    // The drawing entry points are public so that a program (or a benchmark) can paint.
    void Paint() override;

  protected:
    void AssignTo(TPersistent* Dest) override;
    void CreateWnd() override;
    void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    void TopLeftChanged() override;
    bool SelectCell(int ACol, int ARow) override;
    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;

  public:
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

  private:
    template <class T>
    void StoreSetup(T& Field, T Value) {
        Field = Value;
        Paint();
        ChangedSetup();
    }
    void HookStore();
    // Follows a change of the table's shape made by the data store; answers Result.
    template <class T>
    T AfterLoad(T Result) {
        SyncWithData();
        return Result;
    }
    void SyncWithData();
    void StringsHasChanged(TObject* Sender);
    void UpdateGridMapping();
    void SetHeaderHeights();
    void ResizeColumnArrays(int Count, bool Initial);
    int GridColOfData(int Index) const;  // grid column of order position Index (1-based)
    int DataColOfGrid(int ACol) const;   // data column shown in grid column ACol
    void SortByClick(int X, int g);
    void SetRowBits(uint8_t Bit, bool Value);
    int HeaderRightEdge();
    void DrawDataCell(int ACol, int ARow, const TRect& Rect, const TRect& TextR);
    void DrawHeaderCell(int ACol, int ARow, const TRect& Rect, TRect& TextR);
    void DrawEmptyAndIndicator();
    void PaintBatch(const std::function<void()>& Work);

    bool FAutoAdvance = false;
    int FLastMousePosX = 0, FLastMousePosY = 0;
    std::vector<TAlignment> FColAlignment;  // per data column, entry 0 unused
    TAlignment FHeaderAlignment = taCenter;
    std::string FEmptyMsg;
    std::vector<char> FColumnEditable;  // per data column, entry 0 unused
    std::vector<char> FColumnIsPwd;     // per data column, entry 0 unused
    std::vector<int> FColOrder;         // per grid column: 0-based data column
    bool FComHdVis = false;
    TColor FComHdColor = clBtnFace, FComHdTxtColor = clBlack;
    int FComHdHgt = 20;
    bool FColHdVis = true;
    TColor FColHdColor = clBtnFace, FColHdTxtColor = clBlack;
    int FColHdHgt = 20;
    TColor FColorEmptyMsg = clBlack;
    TColor FDisabledTextColor = clSilver, FDisabledBkgdColor = TColor(0xF0F0F0);
    bool FEnabled = true;
    int FSelectAnchor = 1, FRowSelectMode = 1;
    bool FCtrlForMultiSel = true, FSortEnabled = true;
    TColor FSelRowColor = TColor(0x94BAED), FSelRowTextColor = TColor(0x800000);
    TColor FSelColColor = clBlack, FSelColTextColor = clBlack;
    TColor FSelBothColor = clBlack, FSelBothTextColor = clBlack;
    bool FShowEmptyCBx = true;
    bool FROCheckMarks = false;
    TColor FHiLgtColor = TColor(0xCC9966), FHiLgtTextColor = clWhite;
    bool FHiLgtBold = false;
    int FHiLgtRow = 0, FHiLgtColumn = 0;
    bool FSuppressPaint = true;
    TColor FColorNormal = TColor(0x002000);
    TColor FRColorNormal = clWhite, FRColorShaded = TColor(0xF0EFE8);
    int FRowColPattern = 1;
    int FInterRowIndi = 0;
    TColor FInterRowColor = clRed;
    int FInterRowWidth = 3;
    bool FFixedColOne = false;
};

}  // namespace kovo
