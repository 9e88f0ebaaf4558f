// TStringArray: rows of cells in stored order, a presentation order over them, and a
// stable sort that only permutes that order.
#include <charconv>

#include "foundation/kovocore.h"
#include "host/SysUtils.h"

namespace kovo {

namespace {

const std::string EmptyText;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The lower-case form of code point C for the Latin, Greek and Cyrillic letters.
char32_t LowerCodePoint(char32_t C) {
    if (C < 0x80) return (C >= 'A' && C <= 'Z') ? C + 0x20 : C;
    if (C >= 0xC0 && C <= 0xDE && C != 0xD7) return C + 0x20;
    if (C >= 0x100 && C <= 0x17F) {
        if (C == 0x130) return U'i';
        if (C == 0x178) return 0xFF;
        if ((C >= 0x100 && C <= 0x137) || (C >= 0x14A && C <= 0x177)) return C | 1;
        if ((C >= 0x139 && C <= 0x148) || (C >= 0x179 && C <= 0x17E)) return (C & 1) ? C + 1 : C;
        return C;
    }
    if (C >= 0x391 && C <= 0x3A9 && C != 0x3A2) return C + 0x20;
    if (C == 0x386) return 0x3AC;
    if (C >= 0x388 && C <= 0x38A) return C + 0x25;
    if (C == 0x38C) return 0x3CC;
    if (C == 0x38E || C == 0x38F) return C + 0x3F;
    if (C >= 0x410 && C <= 0x42F) return C + 0x20;
    if (C >= 0x400 && C <= 0x40F) return C + 0x50;
    return C;
}

// Decodes one well-formed UTF-8 sequence at S[i]; false (and Len 1) for a stray byte.
bool DecodeAt(std::string_view S, size_t i, char32_t& C, size_t& Len) {
    unsigned char b = static_cast<unsigned char>(S[i]);
    size_t n = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b <= 0xDF ? 2 : 0;
    if (b >= 0xF5) n = 0;
    Len = 1;
    if (n == 0 || i + n > S.size()) return false;
    char32_t c = b & (0xFF >> (n + 1));
    for (size_t k = 1; k < n; ++k) {
        unsigned char t = static_cast<unsigned char>(S[i + k]);
        if ((t & 0xC0) != 0x80) return false;
        c = (c << 6) | (t & 0x3F);
    }
    if ((n == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) || (n == 4 && c < 0x10000) ||
        c > 0x10FFFF)
        return false;
    C = c;
    Len = n;
    return true;
}

void AppendUtf8(std::string& Out, char32_t C) {
    if (C < 0x80) {
        Out += char(C);
    } else if (C < 0x800) {
        Out += char(0xC0 | (C >> 6));
        Out += char(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        Out += char(0xE0 | (C >> 12));
        Out += char(0x80 | ((C >> 6) & 0x3F));
        Out += char(0x80 | (C & 0x3F));
    } else {
        Out += char(0xF0 | (C >> 18));
        Out += char(0x80 | ((C >> 12) & 0x3F));
        Out += char(0x80 | ((C >> 6) & 0x3F));
        Out += char(0x80 | (C & 0x3F));
    }
}

// True when S has no character that lower-casing changes; otherwise Out gets the lowered
// text. Stray bytes are kept as they are. Byte order of UTF-8 is code point order, so the
// lowered texts compare by code point when compared bytewise.
bool LowerIfNeeded(std::string_view S, std::string& Out) {
    size_t i = 0;
    while (i < S.size()) {
        unsigned char b = static_cast<unsigned char>(S[i]);
        if (b >= 0x80 || (b >= 'A' && b <= 'Z')) break;
        ++i;
    }
    if (i == S.size()) return true;
    Out.assign(S.substr(0, i));
    while (i < S.size()) {
        const char b = S[i];
        if (static_cast<unsigned char>(b) < 0x80) {
            Out += (b >= 'A' && b <= 'Z') ? char(b + 0x20) : b;
            ++i;
            continue;
        }
        char32_t c;
        size_t len;
        if (DecodeAt(S, i, c, len))
            AppendUtf8(Out, LowerCodePoint(c));
        else
            Out += S[i];
        i += len;
    }
    return false;
}

int CompareBytes(std::string_view A, std::string_view B) {
    int c = A.compare(B);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// What one cell is ordered by: its lowered text, with the first eight bytes packed so that
// most comparisons need not reach the text, and its number when it reads as one.
struct TSortKey {
    std::string_view Text;  // lowered text (into the cell or the key store)
    uint64_t Prefix = 0;    // the first bytes of Text, big-endian, zero-padded
    double Number = 0;
    bool IsNumber = false;
};

uint64_t PackPrefix(std::string_view S) {
    uint64_t p = 0;
    for (size_t i = 0; i < 8; ++i)
        p = (p << 8) | (i < S.size() ? static_cast<unsigned char>(S[i]) : 0u);
    return p;
}

int CompareKeys(const TSortKey& A, const TSortKey& B) {
    if (A.IsNumber && B.IsNumber) return A.Number < B.Number ? -1 : (A.Number > B.Number ? 1 : 0);
    if (A.Prefix != B.Prefix) return A.Prefix < B.Prefix ? -1 : 1;
    return CompareBytes(A.Text, B.Text);
}

// A row being sorted: its primary key travels with it, the secondary one is looked up.
struct TSortItem {
    TSortKey Key;
    int Row;  // stored row - 1
};

}  // namespace

TStringArray::TStringArray(TComponent* AOwner) : TComponent(AOwner), FColAttr(1, 0) {}

TStringArray::~TStringArray() = default;

void TStringArray::SetAllocRowsBy(int Value) {
    FAllocRowsBy = Value < 1 ? 1 : Value;
}

void TStringArray::Reserve(size_t Rows) {
    if (Rows <= FRows.capacity()) return;
    size_t block = size_t(FAllocRowsBy);
    size_t want = (Rows + block - 1) / block * block;
    want = std::max(want, FRows.capacity() + FRows.capacity() / 2);
    FRows.reserve(want);
    FOrder.reserve(want);
}

void TStringArray::Changed() {
    if (OnChange) OnChange(this);
}

void TStringArray::PercentDone(int Percent) {
    if (OnPercentDone) OnPercentDone(this, Percent);
}

bool TStringArray::Resize(int Cols, int Rows) {
    if (Cols < 0) Cols = 0;
    if (Rows < 0) Rows = 0;
    if ((int64_t(Cols) + 1) * int64_t(Rows) > MaxCells) return false;
    const size_t oldCells = size_t(FNrOfCols) + 1, newCells = size_t(Cols) + 1;
    const size_t oldRows = size_t(FNrOfRows), newRows = size_t(Rows);
    if (Cols == FNrOfCols && Rows == FNrOfRows) return true;
    std::vector<char> drop;
    std::vector<int> newIndex;
    size_t grown = 0;
    try {
        // Everything that can fail comes first, so that a failure leaves the store as it was.
        Reserve(newRows);
        FColAttr.reserve(newCells);
        if (newRows < oldRows) {
            drop.assign(oldRows, 0);
            newIndex.resize(oldRows);
        }
        if (newCells > oldCells)
            for (; grown < oldRows; ++grown) FRows[grown].Cells.resize(newCells);
        while (FRows.size() < newRows) {
            TRow row;
            row.Cells.resize(newCells);
            FRows.push_back(std::move(row));
            FOrder.push_back(int(FRows.size()) - 1);
        }
    } catch (const std::bad_alloc&) {
        FRows.resize(oldRows);
        FOrder.resize(oldRows);
        for (size_t r = 0; r < grown; ++r) FRows[r].Cells.resize(oldCells);
        return false;
    }
    if (newRows < oldRows) {
        // The presented rows 1..Rows survive; the stored rows shown below them go.
        for (size_t p = newRows; p < oldRows; ++p) drop[size_t(FOrder[p])] = 1;
        DropStoredRows(drop, newIndex);
    }
    if (newCells < oldCells)
        for (TRow& row : FRows) row.Cells.resize(newCells);
    FColAttr.resize(newCells, 0);
    FNrOfCols = Cols;
    FNrOfRows = Rows;
    Changed();
    return true;
}

void TStringArray::Clear() {
    for (TRow& row : FRows) {
        for (std::string& s : row.Cells) s.clear();
        row.Attrib = 0;
    }
    std::fill(FColAttr.begin(), FColAttr.end(), 0);
    for (size_t i = 0; i < FOrder.size(); ++i) FOrder[i] = int(i);
    Changed();
}

std::string TStringArray::GetString(int Col, int Row) const {
    return StringRef(Col, Row);
}

const std::string& TStringArray::StringRef(int Col, int Row) const {
    if (!ValidCell(Col, Row)) return EmptyText;
    return Presented(Row).Cells[size_t(Col)];
}

void TStringArray::SetString(int Col, int Row, const std::string& Text) {
    if (!ValidCell(Col, Row)) return;
    std::string& cell = Presented(Row).Cells[size_t(Col)];
    if (cell == Text) return;
    cell = Text;
    Changed();
}

bool TStringArray::ReadNumber(std::string_view Text, double& Value) {
    size_t i = 0, n = Text.size();
    while (i < n && IsBlank(Text[i])) ++i;
    while (n > i && IsBlank(Text[n - 1])) --n;
    if (i == n) return false;
    const char sep = FormatSettings.DecimalSeparator;
    // Most texts are no numbers: tell them by their first character, before any copying.
    const char first = Text[i];
    if (!(first >= '0' && first <= '9') && first != '+' && first != '-' && first != '.' &&
        first != sep)
        return false;
    // The number in the form from_chars reads ("." separator, no "+"); short numbers are
    // assembled on the stack.
    char small[64];
    std::string large;
    char* t = small;
    if (n - i + 1 > sizeof small) {
        large.resize(n - i + 1);
        t = large.data();
    }
    size_t len = 0;
    if (Text[i] == '+' || Text[i] == '-') {
        if (Text[i] == '-') t[len++] = '-';
        ++i;
    }
    size_t digits = 0;
    while (i < n && Text[i] >= '0' && Text[i] <= '9') t[len++] = Text[i++], ++digits;
    if (i < n && (Text[i] == '.' || Text[i] == sep)) {
        t[len++] = '.';
        ++i;
        while (i < n && Text[i] >= '0' && Text[i] <= '9') t[len++] = Text[i++], ++digits;
    }
    if (digits == 0) return false;
    bool negativeExponent = false;
    if (i < n && (Text[i] == 'e' || Text[i] == 'E')) {
        t[len++] = 'e';
        ++i;
        if (i < n && (Text[i] == '+' || Text[i] == '-')) {
            negativeExponent = Text[i] == '-';
            t[len++] = Text[i++];
        }
        size_t expDigits = 0;
        while (i < n && Text[i] >= '0' && Text[i] <= '9') t[len++] = Text[i++], ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != n) return false;
    double v = 0;
    auto [end, ec] = std::from_chars(t, t + len, v);
    if (ec == std::errc::result_out_of_range) {
        v = negativeExponent ? 0.0 : uc_MaxDouble;
        if (t[0] == '-') v = -v;
    } else if (ec != std::errc() || end != t + len) {
        return false;
    }
    Value = v;
    return true;
}

double TStringArray::GetAsNumber(int Col, int Row) const {
    double v = 0;
    return ReadNumber(StringRef(Col, Row), v) ? v : 0.0;
}

int TStringArray::CompareCells(std::string_view A, std::string_view B) {
    double a = 0, b = 0;
    if (ReadNumber(A, a) && ReadNumber(B, b)) return a < b ? -1 : (a > b ? 1 : 0);
    std::string la, lb;
    std::string_view va = LowerIfNeeded(A, la) ? A : std::string_view(la);
    std::string_view vb = LowerIfNeeded(B, lb) ? B : std::string_view(lb);
    return CompareBytes(va, vb);
}

int TStringArray::GetSortOrder(int Row) const {
    if (Row < 1 || Row > FNrOfRows) return 0;
    return FOrder[size_t(Row - 1)] + 1;
}

void TStringArray::SetSortOrder(int Row, int Value) {
    if (Row < 1 || Row > FNrOfRows || Value < 1 || Value > FNrOfRows) return;
    // The entry that showed Value takes the old entry, so the order stays a permutation;
    // setting entries 1..n in turn still copies any other order exactly.
    auto it = std::find(FOrder.begin(), FOrder.end(), Value - 1);
    std::swap(*it, FOrder[size_t(Row - 1)]);
}

void TStringArray::Sort(int Col, int ColSec, bool Ascending) {
    if (Col < 0 || Col > FNrOfCols) return;
    const bool secondary = ColSec >= 0 && ColSec <= FNrOfCols;
    const size_t rows = FRows.size();
    if (rows < 2) return;

    // One key per stored row and sort column; texts that lower-casing changes (or that a
    // handler rewrote) live in the key store.
    const int nkeys = secondary ? 2 : 1;
    std::vector<TSortKey> keys(rows * size_t(nkeys));
    std::vector<std::string> store(rows * size_t(nkeys));
    std::string key, lowered;
    for (size_t s = 0; s < rows; ++s) {
        for (int k = 0; k < nkeys; ++k) {
            const size_t slot = s * size_t(nkeys) + size_t(k);
            const std::string& cell = FRows[s].Cells[size_t(k == 0 ? Col : ColSec)];
            std::string_view text = cell;
            if (OnBeforeSortExchange) {
                key.assign(cell);
                OnBeforeSortExchange(this, cell, key);
                if (key != cell) {
                    store[slot] = key;
                    text = store[slot];
                }
            }
            TSortKey& sk = keys[slot];
            sk.IsNumber = ReadNumber(text, sk.Number);
            if (!LowerIfNeeded(text, lowered)) {
                store[slot] = lowered;
                text = store[slot];
            }
            sk.Text = text;
            sk.Prefix = PackPrefix(text);
        }
    }
    PercentDone(10);

    std::vector<TSortItem> a(FOrder.size());
    for (size_t i = 0; i < a.size(); ++i)
        a[i] = TSortItem{keys[size_t(FOrder[i]) * size_t(nkeys)], FOrder[i]};
    auto compare = [&](const TSortItem& x, const TSortItem& y) {
        int c = CompareKeys(x.Key, y.Key);
        if (c == 0 && secondary)
            c = CompareKeys(keys[size_t(x.Row) * 2 + 1], keys[size_t(y.Row) * 2 + 1]);
        return c;
    };
    // "x goes before y" in the requested direction; ties keep their order.
    auto before = [&](const TSortItem& x, const TSortItem& y) {
        return Ascending ? compare(x, y) < 0 : compare(y, x) < 0;
    };

    // A bottom-up merge sort: stable, and safe whatever the comparison answers (mixed
    // numbers and texts need not form a consistent order).
    std::vector<TSortItem> b(a.size());
    const size_t n = a.size();
    const size_t run = 32;
    for (size_t lo = 0; lo < n; lo += run) {
        size_t hi = std::min(lo + run, n);
        for (size_t i = lo + 1; i < hi; ++i) {
            TSortItem x = a[i];
            size_t j = i;
            while (j > lo && before(x, a[j - 1])) {
                a[j] = a[j - 1];
                --j;
            }
            a[j] = x;
        }
    }
    int passes = 0;
    for (size_t w = run; w < n; w *= 2) ++passes;
    int pass = 0;
    for (size_t w = run; w < n; w *= 2) {
        for (size_t lo = 0; lo < n; lo += 2 * w) {
            size_t mid = std::min(lo + w, n), hi = std::min(lo + 2 * w, n);
            size_t i = lo, j = mid, o = lo;
            while (i < mid && j < hi) b[o++] = before(a[j], a[i]) ? a[j++] : a[i++];
            while (i < mid) b[o++] = a[i++];
            while (j < hi) b[o++] = a[j++];
        }
        a.swap(b);
        ++pass;
        PercentDone(10 + 90 * pass / passes);
    }
    for (size_t i = 0; i < n; ++i) FOrder[i] = a[i].Row;
    if (passes == 0) PercentDone(100);
    Changed();
}

void TStringArray::UnSort() {
    for (size_t i = 0; i < FOrder.size(); ++i) FOrder[i] = int(i);
    Changed();
}

void TStringArray::CommitSorting() {
    bool identity = true;
    for (size_t i = 0; i < FOrder.size() && identity; ++i) identity = FOrder[i] == int(i);
    if (identity) return;
    std::vector<TRow> rows;
    rows.reserve(FRows.capacity());
    for (int o : FOrder) rows.push_back(std::move(FRows[size_t(o)]));
    FRows.swap(rows);
    for (size_t i = 0; i < FOrder.size(); ++i) FOrder[i] = int(i);
}

bool TStringArray::InsertRow(int Row) {
    if (Row < 1 || Row > FNrOfRows + 1) return false;
    if ((int64_t(FNrOfCols) + 1) * (int64_t(FNrOfRows) + 1) > MaxCells) return false;
    // The new stored row goes before the stored row shown at Row, so an unsorted store
    // stays in stored order.
    const int stored = Row <= FNrOfRows ? FOrder[size_t(Row - 1)] : int(FRows.size());
    try {
        Reserve(FRows.size() + 1);
        TRow row;
        row.Cells.resize(size_t(FNrOfCols) + 1);
        FRows.insert(FRows.begin() + stored, std::move(row));
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int& o : FOrder)
        if (o >= stored) ++o;
    FOrder.insert(FOrder.begin() + (Row - 1), stored);
    ++FNrOfRows;
    Changed();
    return true;
}

void TStringArray::RemoveRow(int Row) {
    if (Row < 1 || Row > FNrOfRows) return;
    const int stored = FOrder[size_t(Row - 1)];
    FOrder.erase(FOrder.begin() + (Row - 1));
    FRows.erase(FRows.begin() + stored);
    for (int& o : FOrder)
        if (o > stored) --o;
    --FNrOfRows;
    Changed();
}

void TStringArray::DropStoredRows(const std::vector<char>& Drop, std::vector<int>& NewIndex) {
    size_t w = 0;
    for (size_t s = 0; s < FRows.size(); ++s) {
        if (Drop[s]) continue;
        NewIndex[s] = int(w);
        if (w != s) FRows[w] = std::move(FRows[s]);
        ++w;
    }
    FRows.resize(w);
    size_t k = 0;
    for (size_t p = 0; p < FOrder.size(); ++p)
        if (!Drop[size_t(FOrder[p])]) FOrder[k++] = NewIndex[size_t(FOrder[p])];
    FOrder.resize(k);
}

int TStringArray::RemoveMarkedRows(const std::vector<char>& Marked) {
    std::vector<char> drop(FRows.size(), 0);
    std::vector<int> newIndex(FRows.size());
    int n = 0;
    for (size_t p = 0; p < FOrder.size() && p < Marked.size(); ++p)
        if (Marked[p]) drop[size_t(FOrder[p])] = 1, ++n;
    if (n == 0) return 0;
    DropStoredRows(drop, newIndex);
    FNrOfRows -= n;
    Changed();
    return n;
}

uint8_t TStringArray::GetRowAttrib(int Row) const {
    if (Row < 1 || Row > FNrOfRows) return 0;
    return Presented(Row).Attrib;
}

void TStringArray::SetRowAttrib(int Row, uint8_t Value) {
    if (Row < 1 || Row > FNrOfRows) return;
    Presented(Row).Attrib = Value;
}

uint8_t TStringArray::GetColAttrib(int Col) const {
    if (Col < 0 || Col > FNrOfCols) return 0;
    return FColAttr[size_t(Col)];
}

void TStringArray::SetColAttrib(int Col, uint8_t Value) {
    if (Col < 0 || Col > FNrOfCols) return;
    FColAttr[size_t(Col)] = Value;
}

}  // namespace kovo
