// TStrings, the abstract list of texts with an object slot per entry, and TStringList, its
// stored, sortable form. Indexes are 0-based, as in the host.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/Object.h"

namespace kovo {

class TStream;

enum TDuplicates : uint8_t { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
  public:
    TStrings() = default;
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;

    // The storage a derived class provides. Index errors raise EStringListError
    // "List index out of bounds (<i>)".
    virtual int Count() const = 0;
    virtual std::string Strings(int Index) const = 0;
    virtual void SetStrings(int Index, const std::string& S);  // keeps the object
    virtual TObject* Objects(int Index) const;                 // nullptr by default
    virtual void SetObjects(int Index, TObject* AObject);      // ignored by default
    virtual void Insert(int Index, const std::string& S) = 0;
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;

    virtual int Add(const std::string& S);
    virtual int AddObject(const std::string& S, TObject* AObject);
    void InsertObject(int Index, const std::string& S, TObject* AObject);
    void Append(const std::string& S) { Add(S); }
    void AddStrings(TStrings* Strings);
    void AddStrings(const std::vector<std::string>& Strings);
    virtual void Exchange(int Index1, int Index2);
    // Moves the entry (text and object) from CurIndex so that it ends up at NewIndex.
    virtual void Move(int CurIndex, int NewIndex);

    // -1 when absent; comparisons follow CompareStrings (CaseSensitive in TStringList).
    virtual int IndexOf(const std::string& S) const;
    int IndexOfObject(TObject* AObject) const;

    // "name=value" entries (NameValueSeparator, default "=").
    int IndexOfName(const std::string& Name) const;
    std::string Names(int Index) const;  // empty when the entry has no separator
    std::string Values(const std::string& Name) const;
    // Sets the value of the entry Name, adds "Name=Value" when there is none, and deletes
    // the entry when Value is empty.
    void SetValues(const std::string& Name, const std::string& Value);
    std::string ValueFromIndex(int Index) const;
    void SetValueFromIndex(int Index, const std::string& Value);
    char NameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(char C) { FNameValueSeparator = C; }

    // Every entry followed by LineBreak (the last one too while TrailingLineBreak).
    std::string Text() const;
    // Splits at LF, CR LF or a lone CR; a break at the very end starts no further entry.
    virtual void SetText(const std::string& Value);
    // LineBreak defaults to "\n", the platform's line end.
    const std::string& LineBreak() const { return FLineBreak; }
    void SetLineBreak(const std::string& Value) { FLineBreak = Value; }
    bool TrailingLineBreak() const { return FTrailingLineBreak; }
    void SetTrailingLineBreak(bool Value) { FTrailingLineBreak = Value; }

    // Entries joined with Delimiter; an entry with a blank, a control character, the quote
    // or the delimiter is quoted (quotes inside doubled). Reading splits at the delimiter
    // and, unless StrictDelimiter, at blanks outside quotes.
    std::string DelimitedText() const;
    void SetDelimitedText(const std::string& Value);
    // DelimitedText with "," and '"' (whatever Delimiter and QuoteChar are).
    std::string CommaText() const;
    void SetCommaText(const std::string& Value);
    char Delimiter() const { return FDelimiter; }
    void SetDelimiter(char C) { FDelimiter = C; }
    char QuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(char C) { FQuoteChar = C; }
    bool StrictDelimiter() const { return FStrictDelimiter; }
    void SetStrictDelimiter(bool Value) { FStrictDelimiter = Value; }

    // Change notifications are held back between BeginUpdate and the matching EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Copies the texts and object pointers of another TStrings (and its separators).
    void Assign(TPersistent* Source) override;
    bool Equals(TStrings* Strings) const;
    std::vector<std::string> ToVector() const;

    // Files and streams hold the Text (UTF-8; a leading byte-order mark is skipped).
    // File errors raise EFOpenError / EFCreateError.
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream) const;

  protected:
    // Called with true when the outermost BeginUpdate starts and false when it ends.
    virtual void SetUpdateState(bool Updating);
    // < 0, 0, > 0; exact by default.
    virtual int CompareStrings(const std::string& S1, const std::string& S2) const;
    [[noreturn]] void Error(int Index) const;

  private:
    std::string DelimitedWith(char Delim, char Quote, bool Strict) const;
    void SetDelimitedWith(const std::string& Value, char Delim, char Quote, bool Strict);

    int FUpdateCount = 0;
    std::string FLineBreak = "\n";
    bool FTrailingLineBreak = true;
    char FDelimiter = ',';
    char FQuoteChar = '"';
    char FNameValueSeparator = '=';
    bool FStrictDelimiter = false;
};

class TStringList;
// Returns < 0, 0, > 0 as entry Index1 sorts before, equal to, after entry Index2.
using TStringListSortCompare = std::function<int(TStringList* List, int Index1, int Index2)>;

class TStringList : public TStrings {
  public:
    TStringList() = default;
    explicit TStringList(bool OwnsObjects) : FOwnsObjects(OwnsObjects) {}
    ~TStringList() override;

    int Count() const override { return static_cast<int>(FList.size()); }
    std::string Strings(int Index) const override;
    // On a sorted list raises EStringListError "Operation not allowed on sorted list".
    void SetStrings(int Index, const std::string& S) override;
    TObject* Objects(int Index) const override;
    // Replaces the object pointer; the old object is not freed, even with OwnsObjects.
    void SetObjects(int Index, TObject* AObject) override;
    // A sorted list puts the entry at its place: dupIgnore returns the index of the entry
    // already there, dupError raises EStringListError "String list does not allow
    // duplicates".
    int Add(const std::string& S) override;
    int AddObject(const std::string& S, TObject* AObject) override;
    // Raises EStringListError "Operation not allowed on sorted list" when Sorted.
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    // Raises EStringListError "Operation not allowed on sorted list" when Sorted.
    void Move(int CurIndex, int NewIndex) override;
    int IndexOf(const std::string& S) const override;

    // Binary search of a sorted list: true when S is there; Index is its position (the
    // first of equal entries) or where it would be inserted.
    bool Find(const std::string& S, int& Index) const;
    // Sorts by CompareStrings, keeping equal entries in their order; objects go along.
    // A Sorted list is in order already and is left as it is (by CustomSort as well).
    virtual void Sort();
    // Sorts with a comparison of two entry indexes (objects go along).
    virtual void CustomSort(const TStringListSortCompare& Compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    // Re-sorts a sorted list under the new rule.
    void SetCaseSensitive(bool Value);
    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

    // OnChanging fires before a change, OnChange after it; between BeginUpdate and the
    // outermost EndUpdate neither fires, and then each fires once (at BeginUpdate and at
    // EndUpdate respectively).
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

  protected:
    void SetUpdateState(bool Updating) override;
    int CompareStrings(const std::string& S1, const std::string& S2) const override;
    virtual void Changed();
    virtual void Changing();
    void InsertItem(int Index, const std::string& S, TObject* AObject);
    void ExchangeItems(int Index1, int Index2);

  private:
    struct TStringItem {
        std::string FString;
        TObject* FObject = nullptr;
    };
    void CheckIndex(int Index) const;
    void SortItems();
    void QuickSort(int L, int R, const TStringListSortCompare& Compare);

    std::vector<TStringItem> FList;  // the entries
    bool FSorted = false;            // kept in CompareStrings order
    TDuplicates FDuplicates = dupIgnore;
    bool FCaseSensitive = false;
    bool FOwnsObjects = false;  // frees the objects of deleted entries
};

}  // namespace kovo
