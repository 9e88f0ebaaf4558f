#include "host/Strings.h"

#include <algorithm>

#include "host/Exceptions.h"
#include "host/Streams.h"
#include "host/SysUtils.h"

namespace kovo {

namespace {

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// Reads a quoted part that starts at S[i] (the quote): doubled quotes stand for one; the
// part ends after the closing quote, or at the end of S when there is none.
std::string ExtractQuoted(const std::string& S, size_t& i, char Quote) {
    std::string r;
    ++i;
    while (i < S.size()) {
        if (S[i] == Quote) {
            if (i + 1 < S.size() && S[i + 1] == Quote) {
                r += Quote;
                i += 2;
                continue;
            }
            ++i;
            return r;
        }
        r += S[i++];
    }
    return r;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TStrings

void TStrings::Error(int Index) const {
    throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
}

void TStrings::SetStrings(int Index, const std::string& S) {
    TObject* object = Objects(Index);
    BeginUpdate();
    try {
        Delete(Index);
        InsertObject(Index, S, object);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TObject* TStrings::Objects(int Index) const {
    if (Index < 0 || Index >= Count()) Error(Index);
    return nullptr;
}

void TStrings::SetObjects(int Index, TObject*) {
    if (Index < 0 || Index >= Count()) Error(Index);
}

int TStrings::Add(const std::string& S) {
    int index = Count();
    Insert(index, S);
    return index;
}

int TStrings::AddObject(const std::string& S, TObject* AObject) {
    int index = Add(S);
    SetObjects(index, AObject);
    return index;
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject) {
    Insert(Index, S);
    SetObjects(Index, AObject);
}

void TStrings::AddStrings(TStrings* Strings) {
    if (Strings == nullptr) return;
    BeginUpdate();
    try {
        // Index by index: Strings may be this list.
        int n = Strings->Count();
        for (int i = 0; i < n; ++i) AddObject(Strings->Strings(i), Strings->Objects(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::AddStrings(const std::vector<std::string>& Strings) {
    BeginUpdate();
    try {
        for (const std::string& s : Strings) Add(s);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::Exchange(int Index1, int Index2) {
    BeginUpdate();
    try {
        std::string s1 = Strings(Index1);
        TObject* o1 = Objects(Index1);
        SetStrings(Index1, Strings(Index2));
        SetObjects(Index1, Objects(Index2));
        SetStrings(Index2, s1);
        SetObjects(Index2, o1);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    if (NewIndex < 0 || NewIndex >= Count()) Error(NewIndex);
    BeginUpdate();
    try {
        std::string s = Strings(CurIndex);
        TObject* o = Objects(CurIndex);
        SetObjects(CurIndex, nullptr);
        Delete(CurIndex);
        InsertObject(NewIndex, s, o);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

int TStrings::IndexOf(const std::string& S) const {
    for (int i = 0, n = Count(); i < n; ++i)
        if (CompareStrings(Strings(i), S) == 0) return i;
    return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const {
    for (int i = 0, n = Count(); i < n; ++i)
        if (Objects(i) == AObject) return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& Name) const {
    for (int i = 0, n = Count(); i < n; ++i) {
        std::string s = Strings(i);
        size_t p = s.find(FNameValueSeparator);
        if (p != std::string::npos && CompareStrings(s.substr(0, p), Name) == 0) return i;
    }
    return -1;
}

std::string TStrings::Names(int Index) const {
    std::string s = Strings(Index);
    size_t p = s.find(FNameValueSeparator);
    return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStrings::Values(const std::string& Name) const {
    int i = IndexOfName(Name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValues(const std::string& Name, const std::string& Value) {
    int i = IndexOfName(Name);
    if (!Value.empty()) {
        std::string entry = Name + FNameValueSeparator + Value;
        if (i < 0)
            Add(entry);
        else
            SetStrings(i, entry);
    } else if (i >= 0) {
        Delete(i);
    }
}

std::string TStrings::ValueFromIndex(int Index) const {
    std::string s = Strings(Index);
    size_t p = s.find(FNameValueSeparator);
    return p == std::string::npos ? std::string() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(int Index, const std::string& Value) {
    if (!Value.empty()) {
        if (Index < 0) Index = Add(std::string());
        SetStrings(Index, Names(Index) + FNameValueSeparator + Value);
    } else if (Index >= 0) {
        Delete(Index);
    }
}

std::string TStrings::Text() const {
    std::string r;
    int n = Count();
    for (int i = 0; i < n; ++i) {
        r += Strings(i);
        if (FTrailingLineBreak || i + 1 < n) r += FLineBreak;
    }
    return r;
}

void TStrings::SetText(const std::string& Value) {
    BeginUpdate();
    try {
        Clear();
        size_t i = 0, start = 0;
        while (i < Value.size()) {
            char c = Value[i];
            if (c == '\n' || c == '\r') {
                Add(Value.substr(start, i - start));
                if (c == '\r' && i + 1 < Value.size() && Value[i + 1] == '\n') ++i;
                start = ++i;
            } else {
                ++i;
            }
        }
        if (start < Value.size()) Add(Value.substr(start));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

std::string TStrings::DelimitedWith(char Delim, char Quote, bool Strict) const {
    int n = Count();
    if (n == 1 && Strings(0).empty()) return std::string(2, Quote);
    std::string r;
    for (int i = 0; i < n; ++i) {
        if (i > 0) r += Delim;
        std::string s = Strings(i);
        bool quote = std::any_of(s.begin(), s.end(), [&](char c) {
            return c == Quote || c == Delim || c == '\0' || (!Strict && IsBlankOrControl(c));
        });
        r += quote ? AnsiQuotedStr(s, Quote) : s;
    }
    return r;
}

void TStrings::SetDelimitedWith(const std::string& Value, char Delim, char Quote, bool Strict) {
    BeginUpdate();
    try {
        Clear();
        size_t i = 0;
        const size_t n = Value.size();
        if (Strict) {
            while (i < n) {
                if (Value[i] == Quote) {
                    Add(ExtractQuoted(Value, i, Quote));
                } else {
                    size_t start = i;
                    while (i < n && Value[i] != Delim) ++i;
                    Add(Value.substr(start, i - start));
                }
                if (i < n && Value[i] == Delim) {
                    if (i + 1 == n) Add(std::string());
                    ++i;
                }
            }
        } else {
            while (i < n && IsBlankOrControl(Value[i])) ++i;
            while (i < n) {
                if (Value[i] == Quote) {
                    Add(ExtractQuoted(Value, i, Quote));
                } else {
                    size_t start = i;
                    while (i < n && !IsBlankOrControl(Value[i]) && Value[i] != Delim) ++i;
                    Add(Value.substr(start, i - start));
                }
                while (i < n && IsBlankOrControl(Value[i])) ++i;
                if (i < n && Value[i] == Delim) {
                    if (i + 1 == n) Add(std::string());
                    do ++i;
                    while (i < n && IsBlankOrControl(Value[i]));
                }
            }
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

std::string TStrings::DelimitedText() const {
    return DelimitedWith(FDelimiter, FQuoteChar, FStrictDelimiter);
}

void TStrings::SetDelimitedText(const std::string& Value) {
    SetDelimitedWith(Value, FDelimiter, FQuoteChar, FStrictDelimiter);
}

std::string TStrings::CommaText() const {
    return DelimitedWith(',', '"', false);
}

void TStrings::SetCommaText(const std::string& Value) {
    SetDelimitedWith(Value, ',', '"', false);
}

void TStrings::BeginUpdate() {
    if (FUpdateCount == 0) SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount <= 0) return;
    if (--FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const std::string& S1, const std::string& S2) const {
    return CompareStr(S1, S2);
}

void TStrings::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TStrings*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this) return;
    BeginUpdate();
    try {
        Clear();
        FLineBreak = source->FLineBreak;
        FTrailingLineBreak = source->FTrailingLineBreak;
        FDelimiter = source->FDelimiter;
        FQuoteChar = source->FQuoteChar;
        FNameValueSeparator = source->FNameValueSeparator;
        FStrictDelimiter = source->FStrictDelimiter;
        AddStrings(source);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

bool TStrings::Equals(TStrings* Strings) const {
    if (Strings == nullptr || Strings->Count() != Count()) return false;
    for (int i = 0, n = Count(); i < n; ++i)
        if (Strings->Strings(i) != this->Strings(i)) return false;
    return true;
}

std::vector<std::string> TStrings::ToVector() const {
    std::vector<std::string> r;
    r.reserve(size_t(Count()));
    for (int i = 0, n = Count(); i < n; ++i) r.push_back(Strings(i));
    return r;
}

void TStrings::LoadFromStream(TStream* Stream) {
    if (Stream == nullptr) return;
    int64_t count = Stream->Size() - Stream->Position();
    std::string text(size_t(std::max<int64_t>(count, 0)), '\0');
    if (count > 0) text.resize(size_t(Stream->Read(text.data(), count)));
    if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    SetText(text);
}

void TStrings::SaveToStream(TStream* Stream) const {
    if (Stream == nullptr) return;
    std::string text = Text();
    Stream->WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void TStrings::LoadFromFile(const std::string& FileName) {
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&file);
}

void TStrings::SaveToFile(const std::string& FileName) const {
    TFileStream file(FileName, fmCreate);
    SaveToStream(&file);
}

// ---------------------------------------------------------------------------------------
// TStringList

TStringList::~TStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
    if (FOwnsObjects)
        for (TStringItem& item : FList) delete item.FObject;
}

void TStringList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) Error(Index);
}

std::string TStringList::Strings(int Index) const {
    CheckIndex(Index);
    return FList[size_t(Index)].FString;
}

void TStringList::SetStrings(int Index, const std::string& S) {
    if (FSorted) throw EStringListError("Operation not allowed on sorted list");
    CheckIndex(Index);
    Changing();
    FList[size_t(Index)].FString = S;
    Changed();
}

TObject* TStringList::Objects(int Index) const {
    CheckIndex(Index);
    return FList[size_t(Index)].FObject;
}

void TStringList::SetObjects(int Index, TObject* AObject) {
    CheckIndex(Index);
    Changing();
    FList[size_t(Index)].FObject = AObject;
    Changed();
}

int TStringList::Add(const std::string& S) {
    return AddObject(S, nullptr);
}

int TStringList::AddObject(const std::string& S, TObject* AObject) {
    int index = Count();
    if (FSorted && Find(S, index)) {
        switch (FDuplicates) {
            case dupIgnore:
                return index;
            case dupError:
                throw EStringListError("String list does not allow duplicates");
            case dupAccept:
                break;
        }
    }
    InsertItem(index, S, AObject);
    return index;
}

void TStringList::Insert(int Index, const std::string& S) {
    if (FSorted) throw EStringListError("Operation not allowed on sorted list");
    if (Index < 0 || Index > Count()) Error(Index);
    InsertItem(Index, S, nullptr);
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* AObject) {
    Changing();
    FList.insert(FList.begin() + Index, TStringItem{S, AObject});
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index);
    Changing();
    TObject* object = FList[size_t(Index)].FObject;
    FList.erase(FList.begin() + Index);
    if (FOwnsObjects) delete object;
    Changed();
}

void TStringList::Clear() {
    if (FList.empty()) return;
    Changing();
    std::vector<TStringItem> old;
    old.swap(FList);
    if (FOwnsObjects)
        for (TStringItem& item : old) delete item.FObject;
    Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    ExchangeItems(Index1, Index2);
    Changed();
}

void TStringList::ExchangeItems(int Index1, int Index2) {
    std::swap(FList[size_t(Index1)], FList[size_t(Index2)]);
}

void TStringList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    if (FSorted) throw EStringListError("Operation not allowed on sorted list");
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    Changing();
    auto first = FList.begin();
    if (CurIndex < NewIndex)
        std::rotate(first + CurIndex, first + CurIndex + 1, first + NewIndex + 1);
    else
        std::rotate(first + NewIndex, first + CurIndex, first + CurIndex + 1);
    Changed();
}

int TStringList::IndexOf(const std::string& S) const {
    if (!FSorted) return TStrings::IndexOf(S);
    int index = 0;
    return Find(S, index) ? index : -1;
}

bool TStringList::Find(const std::string& S, int& Index) const {
    bool found = false;
    int l = 0, h = Count() - 1;
    while (l <= h) {
        int i = l + (h - l) / 2;
        int c = CompareStrings(FList[size_t(i)].FString, S);
        if (c < 0) {
            l = i + 1;
        } else {
            h = i - 1;
            if (c == 0) {
                found = true;
                if (FDuplicates != dupAccept) l = i;
            }
        }
    }
    Index = l;
    return found;
}

void TStringList::SortItems() {
    std::stable_sort(FList.begin(), FList.end(),
                     [this](const TStringItem& a, const TStringItem& b) {
                         return CompareStrings(a.FString, b.FString) < 0;
                     });
}

void TStringList::Sort() {
    if (FSorted || Count() < 2) return;
    Changing();
    SortItems();
    Changed();
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
    if (FSorted || Count() < 2 || !Compare) return;
    Changing();
    QuickSort(0, Count() - 1, Compare);
    Changed();
}

// Hoare partitioning around a pivot entry that moves with the exchanges. The scans stop at
// the ends of the range, so an inconsistent comparison cannot run outside the list, and
// the smaller part is sorted first so the recursion stays shallow.
void TStringList::QuickSort(int L, int R, const TStringListSortCompare& Compare) {
    while (L < R) {
        int i = L, j = R, p = L + (R - L) / 2;
        do {
            while (i < R && Compare(this, i, p) < 0) ++i;
            while (j > L && Compare(this, j, p) > 0) --j;
            if (i <= j) {
                if (i != j) ExchangeItems(i, j);
                if (p == i)
                    p = j;
                else if (p == j)
                    p = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - L < R - i) {
            if (L < j) QuickSort(L, j, Compare);
            L = i;
        } else {
            if (i < R) QuickSort(i, R, Compare);
            R = j;
        }
    }
}

void TStringList::SetSorted(bool Value) {
    if (FSorted == Value) return;
    if (Value) Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
    if (FCaseSensitive == Value) return;
    FCaseSensitive = Value;
    if (FSorted && Count() > 1) {
        Changing();
        SortItems();
        Changed();
    }
}

void TStringList::SetUpdateState(bool Updating) {
    if (Updating)
        Changing();
    else
        Changed();
}

int TStringList::CompareStrings(const std::string& S1, const std::string& S2) const {
    return FCaseSensitive ? CompareStr(S1, S2) : CompareText(S1, S2);
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

}  // namespace kovo
