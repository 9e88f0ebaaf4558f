// The base package's services: shared array and event types, the frame and marker drawing
// routines, the name and colour tables, string and file helpers, the two-dimensional string
// store TStringArray and the bit field TBitFld.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/kovobase.h"
#include "host/Canvas.h"
#include "host/Colors.h"
#include "host/Component.h"
#include "host/Object.h"
#include "host/Streams.h"

namespace kovo {

// ---------------------------------------------------------------------------------------
// Types

using TDoubleArray = std::vector<double>;
using TOpenStringArray = std::vector<std::string>;  // 0-based

using TOnPercentDoneEvent = std::function<void(TObject* Sender, int Percent)>;
// Fired by TStringArray::Sort once per row and sort column before ordering: Text is the
// stored cell text and Key, starting as a copy of it, is what the row is ordered by; a
// handler may rewrite Key (for example to order dates written day first).
using TBeforeSortExchgEvent =
    std::function<void(TObject* Sender, const std::string& Text, std::string& Key)>;

// How an application's own filter result combines with a built-in search.
enum TLogicOp : uint8_t { loAnd, loOr, loXor, loAndNot, loOrNot };

// ---------------------------------------------------------------------------------------
// Constants

constexpr double uc_MaxDouble = std::numeric_limits<double>::max();  // largest finite double
constexpr double uc_MaxReal = 1.0e308;  // bound for spin results and minimum searches
constexpr double uc_ln10 = 2.302585092994045684017991454684364208;

// ---------------------------------------------------------------------------------------
// Drawing

// The frame of Style inside the box whose last pixel column is Right and last pixel row is
// Bottom (so (0, 0, Width - 1, Height - 1) frames a whole control): fsSingle one line in
// Line; fsSunken Shadow at top and left, Light at bottom and right; fsRaised the reverse;
// fsRidge a Light rectangle to (Right - 1, Bottom - 1), then Shadow on the inner top and
// left lines and the outer bottom and right lines; fsGroove with Light and Shadow
// exchanged. fsNone and ordinals above fsGroove draw nothing. Highlight and Dark complete
// the bevel set that components pass (style colours replace all four) and take no part in
// the six styles. The canvas's pen colour and width are restored afterwards.
void DrawFrame(TCanvas* Canvas, TFrameStyle Style, int Left, int Top, int Right, int Bottom,
               TColor Light, TColor Highlight, TColor Shadow, TColor Dark, TColor Line);
void DrawFrame(TCanvas* Canvas, TFrameStyle Style, int Left, int Top, int Right, int Bottom,
               const TBevelColors& Colors, TColor Line);

// Number of marker symbols: DrawMarkOnCanvas knows 0 .. MarkerCount - 1.
constexpr int MarkerCount = 52;
// Marker symbol Mark centred on (X, Y), about 7 pixels across, with the canvas's pen
// (outlines) and brush (fills). Numbers outside 0..51 draw nothing.
void DrawMarkOnCanvas(TCanvas* Canvas, int Mark, int X, int Y);
// A one-pixel outline through the corners (Left, Top) and (Right, Bottom), both included,
// with the current pen; the inside is left alone.
void DrawRectangle(TCanvas* Canvas, int Left, int Top, int Right, int Bottom);

// ---------------------------------------------------------------------------------------
// Tables

// Month names by language, 1-based: MonthLong[lgGerman][3] is "März"; entry 0 is empty.
// At most 10 (long) and 4 (short) characters.
extern const char* const MonthLong[LanguageCount][13];
extern const char* const MonthShort[LanguageCount][13];
// Weekday names by language, 1-based from Monday: WeekDayShort[lgEnglish][7] is "Sun";
// entry 0 is empty. At most 3 characters.
extern const char* const WeekDayShort[LanguageCount][8];

// 1-based: 1..16 the basic 16 colours, 17..20 money green, sky blue, cream and medium grey,
// 21..47 27 system colours. Entry 0 is clNone.
constexpr int PredefinedColorCount = 47;
extern const TColor PredefinedColors[PredefinedColorCount + 1];

// The colour halfway between C1 and C2 (system colours resolved first), channel by channel
// rounded down.
TColor MeanColor(TColor C1, TColor C2);

// ---------------------------------------------------------------------------------------
// Strings (lengths and positions in characters for LeftString, in bytes elsewhere)

// S padded with blanks on the right to N characters; a longer S comes back whole.
std::string LeftString(const std::string& S, int N);
// S with C (a backslash) appended unless S already ends with it.
std::string EnsureTrailingChar(char C, const std::string& S);
std::string EnsureTrailingBkSlash(const std::string& S);
// S without its leading (trailing) run of C.
std::string StripLeadingChars(char C, const std::string& S);
std::string StripTrailingChars(char C, const std::string& S);
// S without the characters below the blank and without DEL.
std::string RemoveControlChars(const std::string& S);
// S with every OldChar replaced by NewChar.
std::string ReplaceCharInString(const std::string& S, char OldChar, char NewChar);
// 1-based position of the N-th occurrence (N >= 1) of Sub in S at or after the 1-based
// Start; occurrences do not overlap. 0 when there is none or Sub is empty.
int NumberedPos(const std::string& Sub, const std::string& S, int Start, int N, bool IgnoreCase);
// Splits S at every character that occurs in Delimiters into Items and returns their count;
// a delimiter at the end gives a last empty item, an empty S no item.
int Tokenize(const std::string& S, const std::string& Delimiters, TOpenStringArray& Items);
// X with Decimals decimals ("." separator), padded on the left to at least Width
// characters.
std::string strff(double X, int Width, int Decimals);

// ---------------------------------------------------------------------------------------
// Files and streams

bool DirExists(const std::string& Path);
// The directory that contains Path (a trailing "/" ignored): "/a/b" gives "/a", "/a" gives
// "/"; the root and a name without directory give the empty text.
std::string ParentDir(const std::string& Path);
// The alphabet of generated passwords: letters and digits without look-alikes (0/O, 1/l/I).
extern const char* const PasswordAlphabet;
// N random characters of PasswordAlphabet; N below 1 gives the empty text, N above
// MaxPasswordLength gives MaxPasswordLength characters.
constexpr int MaxPasswordLength = 255;
std::string InventPassword(int N);
// The next text line of Stream from its position on, without its end (LF, CR LF or a lone
// CR). Eof becomes true when nothing follows the line. MaxLength above 0 cuts longer lines
// (the rest of the line is skipped); 0 reads lines of any length.
std::string ReadLnStream(TStream* Stream, bool& Eof, int MaxLength = 0);

// ---------------------------------------------------------------------------------------
// Two-dimensional string store

// Columns 0..NrOfColumns and rows 1..NrOfRows of texts. Rows are stored in the order they
// were written; a sort order maps presented row r to stored row GetSortOrder(r), and every
// row-addressed operation works on presented rows. One attribute byte per stored row (so
// it follows its row through sorting) and one per column.
class TStringArray : public TComponent {
  public:
    explicit TStringArray(TComponent* AOwner = nullptr);
    ~TStringArray() override;

    int NrOfColumns() const { return FNrOfCols; }
    int NrOfRows() const { return FNrOfRows; }

    // Rows are allocated in blocks of this many (at least 1).
    int AllocRowsBy() const { return FAllocRowsBy; }
    void SetAllocRowsBy(int Value);

    // Columns 0..Cols and rows 1..Rows (negative counts count as 0); surviving cells keep
    // their text, new ones are empty, the sort order is kept for surviving rows. False, with
    // nothing changed, when the store cannot be that large (more than MaxCells cells or no
    // memory).
    bool Resize(int Cols, int Rows);
    static constexpr int64_t MaxCells = int64_t{1} << 24;
    // Every cell empty, every attribute 0, the sort order the identity; the size stays.
    void Clear();

    // The text of a presented cell; empty outside the store.
    std::string GetString(int Col, int Row) const;
    // The same without a copy; a reference to an empty text outside the store.
    const std::string& StringRef(int Col, int Row) const;
    // Ignored outside the store.
    void SetString(int Col, int Row, const std::string& Text);
    // The text read as a number ("." or the settings' decimal separator, optional sign and
    // exponent, blanks around); 0 when it is no number.
    double GetAsNumber(int Col, int Row) const;

    // The stored row shown at presented row Row (0 outside 1..NrOfRows). SetSortOrder shows
    // stored row Value at Row; the row that showed Value before takes Row's old entry, so
    // the order stays a permutation and setting entries 1..n in turn copies another order.
    // Ignored outside the rows or for a value outside them.
    int GetSortOrder(int Row) const;
    void SetSortOrder(int Row, int Value);
    // Orders the presented rows stably by column Col, ties by ColSec (no tie-break when it
    // is outside the columns): two texts that both read fully as numbers compare as numbers,
    // otherwise as texts without regard to case (code points after lower-casing);
    // Descending reverses the comparison, not the stability. Only the sort order changes.
    // A column outside 0..NrOfColumns leaves the order alone.
    void Sort(int Col, int ColSec, bool Ascending);
    // Back to the stored order.
    void UnSort();
    // Makes the presented order the stored order (the sort order becomes the identity).
    void CommitSorting();

    // An empty row before presented row Row (1..NrOfRows + 1); false when out of range or
    // the store would be too large.
    bool InsertRow(int Row);
    // Removes presented row Row; ignored outside the rows.
    void RemoveRow(int Row);
    // Removes every presented row r whose entry Marked[r - 1] is set, in one pass; answers
    // how many went.
    int RemoveMarkedRows(const std::vector<char>& Marked);

    uint8_t GetRowAttrib(int Row) const;  // presented row
    void SetRowAttrib(int Row, uint8_t Value);
    uint8_t GetColAttrib(int Col) const;  // 0..NrOfColumns
    void SetColAttrib(int Col, uint8_t Value);

    // Compares two texts by the sort rule above (< 0, 0, > 0).
    static int CompareCells(std::string_view A, std::string_view B);
    // True when the whole text (blanks around allowed) reads as a number; Value gets it.
    static bool ReadNumber(std::string_view Text, double& Value);

    TNotifyEvent OnChange;                       // after cell content or order changed
    TBeforeSortExchgEvent OnBeforeSortExchange;  // sort keys, see the type
    TOnPercentDoneEvent OnPercentDone;           // progress of Sort

  private:
    struct TRow {
        std::vector<std::string> Cells;  // columns 0..FNrOfCols
        uint8_t Attrib = 0;
    };

    bool ValidCell(int Col, int Row) const {
        return Col >= 0 && Col <= FNrOfCols && Row >= 1 && Row <= FNrOfRows;
    }
    TRow& Presented(int Row) { return FRows[size_t(FOrder[size_t(Row - 1)])]; }
    const TRow& Presented(int Row) const { return FRows[size_t(FOrder[size_t(Row - 1)])]; }
    void Reserve(size_t Rows);
    // Drops the stored rows flagged in Drop and the order entries that show them; NewIndex
    // (one entry per stored row) is working space.
    void DropStoredRows(const std::vector<char>& Drop, std::vector<int>& NewIndex);
    void Changed();
    void PercentDone(int Percent);

    int FNrOfCols = 0;              // highest column number
    int FNrOfRows = 0;              // number of rows
    int FAllocRowsBy = 1;           // allocation block in rows
    std::vector<TRow> FRows;        // stored order
    std::vector<int> FOrder;        // presented row - 1 -> stored row - 1
    std::vector<uint8_t> FColAttr;  // one per column 0..FNrOfCols
};

// ---------------------------------------------------------------------------------------
// Bit field

// A set of bits with 0-based indexes; indexes outside 0..Size - 1 read false and are
// ignored when written.
class TBitFld : public TObject {
  public:
    TBitFld() = default;
    // Keeps the bits below the new size; new bits are false. Negative sizes count as 0.
    void SetSize(int NumBits);
    int Size() const { return FSize; }
    // Every bit false.
    void Clear();
    bool GetBit(int Index) const;
    void SetBit(int Index, bool Value);
    // The lowest index of a true bit, -1 when there is none.
    int FirstTrueBit() const;
    int CountTrueBits() const;

  private:
    std::vector<uint64_t> FWords;
    int FSize = 0;
};

}  // namespace kovo
