// TRLData: counts, column descriptions, the check-mark encoding, row operations, sorting
// and copying between data stores.
#include <memory>

#include "host/SysUtils.h"
#include "report_list/replist.h"

namespace kovo {

namespace {

const char CheckedChar = 'X';
const char UncheckedChar = ' ';

// The stored text without its first character (the state character).
std::string WithoutFirstChar(const std::string& S) {
    if (S.empty()) return S;
    return S.substr(size_t(std::max(1, Utf8CharSize(S, 0))));
}

std::string CutCell(const std::string& S) {
    return Utf8Truncate(S, CellTextLength);
}

}  // namespace

std::string TRLData::DefaultColName(int ColNr) {
    return "C-" + IntToStr(ColNr);
}

TRLData::TRLData(TComponent* AOwner) : TComponent(AOwner), FCommonHeader("Kovo Report Listview") {
    std::unique_ptr<TStringArray> store(new TStringArray(nullptr));
    store->SetAllocRowsBy(10);
    store->Resize(1, 1);
    store->Clear();
    try {
        FColName.assign(2, DefaultColName(1));
        FColumnFormat.assign(2, std::string());
        FColButMode.assign(2, cmNone);
    } catch (const std::bad_alloc&) {
        throw EKovoRLDataError(this, "failed to initialize (out of memory)");
    }
    Strings = store.release();
    HookStore(Strings);
}

TRLData::~TRLData() {
    delete Strings;
}

void TRLData::HookStore(TStringArray* Store) {
    Store->OnBeforeSortExchange = [this](TObject* Sender, const std::string& Text,
                                         std::string& Key) {
        BeforeSortExchange(Sender, Text, Key);
    };
}

void TRLData::BeforeSortExchange(TObject* /*Sender*/, const std::string& Text, std::string& Key) {
    if (OnBeforeSortExchange) OnBeforeSortExchange(this, Text, Key);
}

void TRLData::BeforeHTMLExport(std::string& Text, int Col, int Row) {
    if (OnBeforeHTMLExport) OnBeforeHTMLExport(this, Text, Col, Row);
}

void TRLData::UpdateFeedback() {
    int64_t cells = int64_t(std::max(FNrOfRows, 1)) * (int64_t(FNrOfCols) + 1);
    if (cells > INT32_MAX) cells = INT32_MAX;
    FFeedbkNumCells = cells == 0 ? 1 : int(cells);
    FFeedbkStep = FFeedbkNumCells / 100 + 1;
}

void TRLData::SetCommonHeader(const std::string& Value) {
    if (Value != FCommonHeader) FCommonHeader = Value;
}

void TRLData::SetNrRows(int a) {
    if (a < 0) a = 0;
    if (!Strings->Resize(FNrOfCols, a)) throw EKovoRLDataError(this, ReasonNoHeap);
    FNrOfRows = a;
    int64_t cells = int64_t(a) * (int64_t(FNrOfCols) + 1);
    if (cells > INT32_MAX) cells = INT32_MAX;
    FFeedbkNumCells = cells == 0 ? 1 : int(cells);
    FFeedbkStep = FFeedbkNumCells / 100 + 1;
}

void TRLData::SetNrCols(int a) {
    if (a <= 0) a = 1;
    const int old = FNrOfCols;
    if (!Strings->Resize(a, std::max(FNrOfRows, 1))) throw EKovoRLDataError(this, ReasonNoHeap);
    // The arrays are grown before the count changes, so a failure leaves a consistent store.
    try {
        FColName.resize(size_t(a) + 1);
        FColumnFormat.resize(size_t(a) + 1);
        FColButMode.resize(size_t(a) + 1, cmNone);
    } catch (const std::bad_alloc&) {
        FColName.resize(size_t(old) + 1);
        FColumnFormat.resize(size_t(old) + 1);
        FColButMode.resize(size_t(old) + 1);
        Strings->Resize(old, std::max(FNrOfRows, 1));
        throw EKovoRLDataError(this, ReasonNoHeap);
    }
    for (int c = old + 1; c <= a; ++c) {
        FColName[size_t(c)] = DefaultColName(c);
        FColumnFormat[size_t(c)].clear();
        FColButMode[size_t(c)] = cmNone;
    }
    FNrOfCols = a;
    UpdateFeedback();
}

std::string TRLData::GetElem(int ACol, int ARow) const {
    if (!ValidCell(ACol, ARow)) return std::string();
    const std::string& s = Strings->StringRef(ACol, ARow);
    return IsCheckCol(ACol) ? WithoutFirstChar(s) : s;
}

void TRLData::SetElem(int ACol, int ARow, const std::string& Value) {
    if (!ValidCell(ACol, ARow)) return;
    if (IsCheckCol(ACol)) {
        const std::string& s = Strings->StringRef(ACol, ARow);
        std::string state = s.empty() ? std::string(1, UncheckedChar)
                                      : s.substr(0, size_t(std::max(1, Utf8CharSize(s, 0))));
        Strings->SetString(ACol, ARow, CutCell(state + Value));
    } else {
        Strings->SetString(ACol, ARow, CutCell(Value));
    }
}

bool TRLData::StoredChecked(int ACol, int ARow) const {
    const std::string& s = Strings->StringRef(ACol, ARow);
    return !s.empty() && s[0] != UncheckedChar;
}

bool TRLData::GetElemChecked(int ACol, int ARow) const {
    return ValidCell(ACol, ARow) && IsCheckCol(ACol) && StoredChecked(ACol, ARow);
}

// The state character of a cell becomes State; an empty cell becomes State alone.
void TRLData::SetStateChar(int ACol, int ARow, char State) {
    const std::string& s = Strings->StringRef(ACol, ARow);
    if (s.empty())
        Strings->SetString(ACol, ARow, std::string(1, State));
    else
        Strings->SetString(ACol, ARow, State + WithoutFirstChar(s));
}

void TRLData::SetElemChecked(int ACol, int ARow, bool Value) {
    if (!ValidCell(ACol, ARow) || !IsCheckCol(ACol)) return;
    if (FColButMode[size_t(ACol)] == cmRadio)
        for (int r = 1; r <= FNrOfRows; ++r) SetStateChar(ACol, r, UncheckedChar);
    SetStateChar(ACol, ARow, Value ? CheckedChar : UncheckedChar);
}

std::string TRLData::GetColName(int ColNr) const {
    return ValidCol(ColNr) ? FColName[size_t(ColNr)] : std::string();
}

void TRLData::SetColName(int ColNr, const TNameStrType& HLine) {
    if (ValidCol(ColNr)) FColName[size_t(ColNr)] = Utf8Truncate(HLine, NameStrLength);
}

std::string TRLData::GetColumnFormat(int ColNr) const {
    return ValidCol(ColNr) ? FColumnFormat[size_t(ColNr)] : std::string();
}

void TRLData::SetColumnFormat(int ColNr, const TColFmtString& DefValue) {
    if (ValidCol(ColNr)) FColumnFormat[size_t(ColNr)] = Utf8Truncate(DefValue, ColFmtLength);
}

TCheckMode TRLData::GetColCheckMode(int ColNr) const {
    return ValidCol(ColNr) ? FColButMode[size_t(ColNr)] : cmNone;
}

void TRLData::SetColCheckMode(int ColNr, TCheckMode Value) {
    if (!ValidCol(ColNr) || FColButMode[size_t(ColNr)] == Value) return;
    // A change of mode rewrites the whole column but is no change of content.
    TNotifyEvent saved = std::move(Strings->OnChange);
    Strings->OnChange = nullptr;
    const TCheckMode old = FColButMode[size_t(ColNr)];
    FColButMode[size_t(ColNr)] = Value;
    for (int r = 1; r <= FNrOfRows; ++r) {
        const std::string s = Strings->StringRef(ColNr, r);
        if (old == cmNone) {
            if (!s.empty()) Strings->SetString(ColNr, r, CutCell(UncheckedChar + s));
        } else if (Value == cmNone) {
            if (!s.empty()) Strings->SetString(ColNr, r, WithoutFirstChar(s));
        } else if (old == cmBox && Value == cmRadio) {
            SetStateChar(ColNr, r, UncheckedChar);
        }
    }
    Strings->OnChange = std::move(saved);
}

bool TRLData::GetCheckedCol(int ColNr) const {
    return GetColCheckMode(ColNr) == cmBox;
}

void TRLData::SetCheckedCol(int ColNr, bool Value) {
    SetColCheckMode(ColNr, Value ? cmBox : cmNone);
}

void TRLData::SetAllCheckmarksOfCol(int Column, bool Checked) {
    if (GetColCheckMode(Column) != cmBox) return;
    for (int r = 1; r <= FNrOfRows; ++r)
        SetStateChar(Column, r, Checked ? CheckedChar : UncheckedChar);
}

void TRLData::InvertAllCheckmarksOfCol(int Column) {
    if (GetColCheckMode(Column) != cmBox) return;
    for (int r = 1; r <= FNrOfRows; ++r) {
        const std::string& s = Strings->StringRef(Column, r);
        SetStateChar(Column, r, !s.empty() && s[0] == CheckedChar ? UncheckedChar : CheckedChar);
    }
}

int TRLData::CountCheckedElemsInCol(int Column) const {
    if (!IsCheckCol(Column)) return 0;
    int n = 0;
    for (int r = 1; r <= FNrOfRows; ++r) n += StoredChecked(Column, r);
    return n;
}

int TRLData::CountCheckedElemsInRow(int Row) const {
    if (Row < 1 || Row > FNrOfRows) return 0;
    int n = 0;
    for (int c = 1; c <= FNrOfCols; ++c) n += IsCheckCol(c) && StoredChecked(c, Row);
    return n;
}

int TRLData::FirstCheckedElemInCol(int ColNr) const {
    if (!IsCheckCol(ColNr)) return 0;
    for (int r = 1; r <= FNrOfRows; ++r)
        if (StoredChecked(ColNr, r)) return r;
    return 0;
}

int TRLData::FirstCheckedElemInRow(int RowNr) const {
    if (RowNr < 1 || RowNr > FNrOfRows) return 0;
    for (int c = 1; c <= FNrOfCols; ++c)
        if (IsCheckCol(c) && StoredChecked(c, RowNr)) return c;
    return 0;
}

int TRLData::ColumnIndex(const std::string& Head, bool PartialMatch) const {
    const std::string head = LowerCase(Head);
    if (head.empty() && PartialMatch) return -1;
    for (int c = FNrOfCols; c >= 1; --c) {
        const std::string name = LowerCase(FColName[size_t(c)]);
        if (PartialMatch ? name.find(head) != std::string::npos : name == head) return c;
    }
    return -1;
}

void TRLData::RemoveRow(int r) {
    if (r < 1 || r > FNrOfRows) return;
    Strings->CommitSorting();
    if (Strings->NrOfRows() == 1) {
        for (int c = 0; c <= FNrOfCols; ++c) Strings->SetString(c, r, std::string());
        FNrOfRows = 0;
    } else {
        Strings->RemoveRow(r);
        --FNrOfRows;
    }
    UpdateFeedback();
}

void TRLData::RemoveEmptyRows() {
    // One pass instead of one removal per row: a store of many rows must not take
    // quadratic time.
    std::vector<char> empty(size_t(FNrOfRows), 0);
    int n = 0;
    for (int r = 1; r <= FNrOfRows; ++r) {
        bool e = true;
        for (int c = 0; c <= FNrOfCols && e; ++c) e = GetElem(c, r).empty();
        empty[size_t(r - 1)] = e;
        n += e;
    }
    if (n == 0) return;
    // Removing the last row empties it instead, as RemoveRow does.
    if (n == FNrOfRows) empty[0] = 0;
    Strings->CommitSorting();
    FNrOfRows -= Strings->RemoveMarkedRows(empty);
    if (n == int(empty.size())) RemoveRow(1);
    UpdateFeedback();
}

void TRLData::CopyRow(int Source, int Target) {
    if (Source < 1 || Source > FNrOfRows || Target < 1 || Target > FNrOfRows) return;
    for (int c = 0; c <= FNrOfCols; ++c)
        Strings->SetString(c, Target, Strings->StringRef(c, Source));
    Strings->SetRowAttrib(Target, Strings->GetRowAttrib(Source));
}

void TRLData::Fill(const std::string& s) {
    for (int c = 1; c <= FNrOfCols; ++c) {
        const bool check = IsCheckCol(c);
        for (int r = 1; r <= FNrOfRows; ++r) {
            if (!check) {
                Strings->SetString(c, r, CutCell(s));
                continue;
            }
            const std::string& old = Strings->StringRef(c, r);
            const char state = old.empty() || old[0] == UncheckedChar ? UncheckedChar : CheckedChar;
            Strings->SetString(c, r, CutCell(state + s));
        }
    }
}

void TRLData::Clear() {
    Strings->Clear();
    for (int c = 1; c <= FNrOfCols; ++c) {
        FColName[size_t(c)] = DefaultColName(c);
        FColumnFormat[size_t(c)].clear();
        FColButMode[size_t(c)] = cmNone;
    }
}

void TRLData::Sort(int Col, int ColSec, bool Ascending) {
    FSortColumn = Col;
    FSortColumnSec = ColSec;
    FSortOrder = Ascending;
    Strings->Sort(Col, ColSec, Ascending);
}

void TRLData::UnSort() {
    FSortColumn = -1;
    FSortColumnSec = -1;
    Strings->UnSort();
}

double TRLData::GetAsNumber(int ACol, int ARow) const {
    return Strings->GetAsNumber(ACol, ARow);
}

void TRLData::AssignTo(TPersistent* Dest) {
    if (!AssignToSameClass(this, Dest)) TComponent::AssignTo(Dest);
}

void TRLData::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TRLData*>(Source);
    if (src == nullptr) {
        TComponent::Assign(Source);
        return;
    }
    if (src == this) return;
    const int cols = src->FNrOfCols, rows = src->FNrOfRows;
    // The new store and arrays are complete before anything of this store is given up.
    std::unique_ptr<TStringArray> store(new TStringArray(nullptr));
    std::vector<TNameStrType> names;
    std::vector<TColFmtString> formats;
    std::vector<TCheckMode> modes;
    store->SetAllocRowsBy(src->Strings->AllocRowsBy());
    if (!store->Resize(cols, std::max(rows, 1))) throw EKovoRLDataError(this, ReasonNoHeap);
    try {
        names = src->FColName;
        formats = src->FColumnFormat;
        modes = src->FColButMode;
    } catch (const std::bad_alloc&) {
        throw EKovoRLDataError(this, ReasonNoHeap);
    }
    TStringArray* from = src->Strings;
    for (int c = 0; c <= cols; ++c) store->SetColAttrib(c, from->GetColAttrib(c));
    for (int r = 1; r <= rows; ++r) {
        const int stored = from->GetSortOrder(r);
        for (int c = 0; c <= cols; ++c) store->SetString(c, stored, from->StringRef(c, r));
    }
    for (int r = 1; r <= rows; ++r) store->SetSortOrder(r, from->GetSortOrder(r));
    // Attributes belong to stored rows: set them once the order is the source's.
    for (int r = 1; r <= rows; ++r) store->SetRowAttrib(r, from->GetRowAttrib(r));

    delete Strings;
    Strings = store.release();
    HookStore(Strings);
    FColName.swap(names);
    FColumnFormat.swap(formats);
    FColButMode.swap(modes);
    FNrOfCols = cols;
    FNrOfRows = rows;
    FSortColumn = src->FSortColumn;
    FSortColumnSec = src->FSortColumnSec;
    FSortOrder = src->FSortOrder;
    FSortToggle = src->FSortToggle;
    FComment = src->FComment;
    FCommonHeader = src->FCommonHeader;
    OnBeforeSortExchange = src->OnBeforeSortExchange;
    FDataID = src->FDataID;
    UpdateFeedback();
}

}  // namespace kovo
