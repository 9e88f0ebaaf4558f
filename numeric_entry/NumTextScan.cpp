// Readers and checks of the numeric texts: the real-number machine, the fixed-number and
// integer checks, and the readers of decimal, hexadecimal, octal and binary integers.
// Only ASCII characters can be part of a number; any other character ends it, so positions
// are counted in characters while the scanning itself runs over bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/kovocore.h"
#include "host/SysUtils.h"
#include "numeric_entry/NumIO.h"

namespace kovo {

std::string SeparatorSetForConvert(TDecPSep DecPSep) {
    switch (DecPSep) {
        case dpSystem:
            return FormatSettings.DecimalSeparator == ',' ? "," : ".";
        case dpPoint:
            return ".";
        case dpComma:
            return ",";
        case dpBoth:
            return ".,";
    }
    return ".";
}

std::string SeparatorSetForCheck(TDecPSep DecPSep) {
    if (DecPSep == dpSystem) return FormatSettings.DecimalSeparator == '.' ? "." : ",";
    return SeparatorSetForConvert(DecPSep);
}

namespace {

constexpr size_t kNone = std::string_view::npos;
// Exponent digits that read as more than this are not taken into a real number.
constexpr uint32_t kExponentLimit = 4200;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char UpCase(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// Byte offset of the character at the 1-based position Pos, kNone when the text has no
// character there.
size_t OffsetOf(std::string_view S, int Pos) {
    // A text never has more characters than bytes.
    if (Pos < 1 || size_t(Pos) > S.size()) return kNone;
    size_t i = 0;
    for (int p = 1; p < Pos; ++p) {
        if (i >= S.size()) return kNone;
        i += static_cast<unsigned char>(S[i]) < 0x80 ? 1 : size_t(Utf8CharSize(S, i));
    }
    return i < S.size() ? i : kNone;
}

// The characters of a separator set, ASCII ones in a table for the common case.
class TSeparatorSet {
  public:
    explicit TSeparatorSet(std::string_view Set) : FSet(Set) {
        for (size_t i = 0; i < Set.size();) {
            auto c = static_cast<unsigned char>(Set[i]);
            if (c < 0x80) {
                FAscii[c >> 6] |= uint64_t(1) << (c & 63);
                ++i;
            } else {
                FHasOther = true;
                i += size_t(Utf8CharSize(Set, i));
            }
        }
    }
    bool HasAscii(unsigned char c) const { return (FAscii[c >> 6] >> (c & 63)) & 1; }
    // Whether the non-ASCII character Ch (its bytes) is one of the set.
    bool HasOther(std::string_view Ch) const {
        if (!FHasOther) return false;
        for (size_t i = 0; i < FSet.size();) {
            size_t n = size_t(Utf8CharSize(FSet, i));
            if (FSet.substr(i, n) == Ch) return true;
            i += n;
        }
        return false;
    }

  private:
    std::string_view FSet;
    uint64_t FAscii[2] = {0, 0};
    bool FHasOther = false;
};

enum TCharClass : uint8_t { ccSeparator, ccSign, ccBlank, ccDigit, ccE, ccOther };

// The class of each ASCII character that is not a separator, "e" as "E".
constexpr auto kAsciiClass = [] {
    std::array<TCharClass, 128> t{};
    for (int c = 0; c < 128; ++c) {
        if (c == '+' || c == '-')
            t[size_t(c)] = ccSign;
        else if (c == ' ')
            t[size_t(c)] = ccBlank;
        else if (c >= '0' && c <= '9')
            t[size_t(c)] = ccDigit;
        else if (c == 'E' || c == 'e')
            t[size_t(c)] = ccE;
        else
            t[size_t(c)] = ccOther;
    }
    return t;
}();

constexpr int kAccept = 9;
constexpr int kReject = 0;

// Next state of the real-number machine by state (1..8) and character class. An "E" that
// leads to 6 leads to 9 when no exponent is allowed.
constexpr uint8_t kRealNext[9][6] = {
    {0, 0, 0, 0, 0, 0},  // no state 0
    {4, 2, 1, 3, 0, 0},  // 1 start
    {4, 0, 0, 3, 0, 0},  // 2 after the leading sign
    {4, 9, 9, 3, 6, 9},  // 3 integer digits
    {0, 9, 9, 5, 6, 9},  // 4 separator just read
    {0, 9, 9, 5, 6, 9},  // 5 fraction digits
    {0, 7, 0, 8, 0, 9},  // 6 "E" just read
    {0, 0, 0, 8, 0, 9},  // 7 exponent sign just read
    {9, 9, 9, 8, 9, 9},  // 8 exponent digits
};

// Runs the real-number machine from byte Offset. Every character that the walk takes is
// handed to OnTake(upper-cased ASCII character or 0, class, over the exponent limit);
// OnTake answers false to stop the walk at once. Returns kAccept, kReject, or -1 when
// OnTake stopped it; Taken counts the characters taken.
template <typename TOnTake>
int WalkRealText(std::string_view S, size_t Offset, bool ExpAllowed, const TSeparatorSet& Seps,
                 int& Taken, TOnTake&& OnTake) {
    int state = 1;
    // The gathered exponent digits as a number; it stops growing once over the limit, so
    // an exponent of any length counts as over it.
    uint32_t exponent = 0;
    Taken = 0;
    for (;;) {
        TCharClass cls = ccOther;
        char up = 0;
        size_t len = 0;  // 0: the end mark
        if (Offset < S.size()) {
            const auto c = static_cast<unsigned char>(S[Offset]);
            if (c < 0x80) {
                len = 1;
                up = UpCase(char(c));
                cls = Seps.HasAscii(static_cast<unsigned char>(up)) ? ccSeparator : kAsciiClass[c];
            } else {
                len = size_t(Utf8CharSize(S, Offset));
                up = 0;
                if (Seps.HasOther(S.substr(Offset, len))) cls = ccSeparator;
            }
        }
        int next = kRealNext[state][cls];
        if (next == 6 && !ExpAllowed) next = kAccept;
        if (next == kAccept || next == kReject) return next;
        if (cls == ccDigit) {
            uint32_t digit = uint32_t(up - '0');
            if (state == 6 || state == 7)
                exponent = digit;
            else if (state == 8 && exponent <= kExponentLimit)
                exponent = exponent * 10 + digit;
        }
        if (!OnTake(up, cls, exponent > kExponentLimit)) return -1;
        state = next;
        Offset += len;
        ++Taken;
    }
}

// The number text that the real-number reader collects. Short texts stay on the stack.
class TCollected {
  public:
    explicit TCollected(size_t Capacity) {
        if (Capacity > sizeof FSmall) {
            FLarge.resize(Capacity);
            FData = FLarge.data();
        }
    }
    void Add(char c) { FData[FSize++] = c; }
    bool EndsWith(char c) const { return FSize > 0 && FData[FSize - 1] == c; }
    std::string_view View() const { return std::string_view(FData, FSize); }

  private:
    char FSmall[64];
    std::string FLarge;
    char* FData = FSmall;
    size_t FSize = 0;
};

}  // namespace

double ScanRealText(const std::string& Instring, bool ExpAllowed, const std::string& DecSeps,
                    int& Pos) {
    const size_t start = OffsetOf(Instring, Pos);
    // At the end mark state 1 rejects at once, and the position stays where it was.
    if (start == kNone) return 0.0;
    const TSeparatorSet seps(DecSeps);
    // At most one byte per byte taken, plus the "0" after a final separator.
    TCollected text(Instring.size() - start + 1);
    int taken = 0;
    int state = WalkRealText(Instring, start, ExpAllowed, seps, taken,
                             [&](char up, TCharClass cls, bool over) {
                                 // Dropped over the limit, but the walk goes on. Only
                                 // ASCII characters other than separators are taken, and
                                 // Val reads every separator as a ".".
                                 if (!over) text.Add(cls == ccSeparator ? '.' : up);
                                 return true;
                             });
    Pos += taken;
    if (state != kAccept) return 0.0;
    if (text.EndsWith('.')) text.Add('0');
    double value = 0;
    int code = 0;
    // A text that Val takes only in part gives the value of its valid beginning ("1E").
    Val(text.View(), value, code);
    if (value > uc_MaxDouble) return uc_MaxDouble;
    if (value < -uc_MaxDouble) return -uc_MaxDouble;
    return value;
}

bool IsRealText(const std::string& Instring, bool ExpAllowed, TDecPSep DecPSep) {
    if (Instring.empty()) return false;
    const std::string set = SeparatorSetForCheck(DecPSep);
    const TSeparatorSet seps(set);
    int taken = 0;
    int state = WalkRealText(Instring, 0, ExpAllowed, seps, taken,
                             [](char, TCharClass, bool over) { return !over; });
    return state == kAccept;
}

bool IsFixedText(const std::string& Instring, TDecPSep DecPSep) {
    if (Instring.empty()) return false;
    const std::string set = SeparatorSetForCheck(DecPSep);
    // States: 0 start, 1 after the sign, 2 separator just read, 3 integer digits,
    // 4 fraction digits; 5 is invalid and ends the walk.
    constexpr uint8_t kNext[5][4] = {// sign, digit, separator, other
                                     {1, 3, 2, 5},
                                     {5, 3, 2, 5},
                                     {5, 4, 5, 5},
                                     {5, 3, 2, 5},
                                     {5, 4, 5, 5}};
    int state = 0;
    for (char c : Instring) {
        int cls = 3;
        if (c == '+' || c == '-')
            cls = 0;
        else if (IsDigit(c))
            cls = 1;
        else if ((c == '.' || c == ',') && set.find(c) != std::string::npos)
            cls = 2;
        state = kNext[state][cls];
        if (state == 5) return false;
    }
    return true;
}

namespace {

// Moves Offset and Pos over blanks while the position is before the last character.
void SkipBlanks(std::string_view S, size_t& Offset, int& Pos) {
    while (Offset + 1 < S.size() && S[Offset] == ' ') {
        ++Offset;
        ++Pos;
    }
}

// Digits of base 16, 8 or 2 into 32 bits; the accumulator wraps around by design.
int ScanBaseText(std::string_view S, int& Pos, uint32_t Base, bool DollarPrefix) {
    size_t i = OffsetOf(S, Pos);
    if (i == kNone) return 0;
    if (DollarPrefix && Pos == 1 && S[0] == '$') {
        ++i;
        ++Pos;
    }
    SkipBlanks(S, i, Pos);
    static constexpr std::string_view kDigits = "0123456789ABCDEF";
    uint32_t acc = 0;
    for (; i < S.size(); ++i, ++Pos) {
        size_t digit = kDigits.substr(0, Base).find(UpCase(S[i]));
        if (digit == std::string_view::npos) break;
        acc = acc * Base + uint32_t(digit);
    }
    return static_cast<int32_t>(acc);
}

bool AllDigitsOfBase(std::string_view S, std::string_view Digits) {
    if (S.empty()) return false;
    for (char c : S)
        if (Digits.find(c) == std::string_view::npos) return false;
    return true;
}

}  // namespace

int ScanIntText(const std::string& Instring, int& Pos) {
    size_t i = OffsetOf(Instring, Pos);
    if (i == kNone) return 0;
    SkipBlanks(Instring, i, Pos);
    bool negative = false;
    if (Instring[i] == '-' || Instring[i] == '+') {
        negative = Instring[i] == '-';
        ++i;
        ++Pos;
    }
    // 32 bits with wrap-around, kept unsigned so that overflow is defined.
    uint32_t acc = 0;
    for (; i < Instring.size() && IsDigit(Instring[i]); ++i, ++Pos)
        acc = acc * 10 + uint32_t(Instring[i] - '0');
    if (negative) acc = uint32_t(0) - acc;
    return static_cast<int32_t>(acc);
}

bool IsIntText(const std::string& Instring) {
    if (Instring.empty()) return false;
    if (Instring.size() == 1) return IsDigit(Instring[0]);
    char first = Instring[0];
    if (first != '+' && first != '-' && !IsDigit(first)) return false;
    for (size_t i = 1; i < Instring.size(); ++i)
        if (!IsDigit(Instring[i])) return false;
    return true;
}

int ScanHexText(const std::string& Instring, int& Pos) {
    return ScanBaseText(Instring, Pos, 16, true);
}

int ScanOctText(const std::string& Instring, int& Pos) {
    return ScanBaseText(Instring, Pos, 8, false);
}

int ScanBinText(const std::string& Instring, int& Pos) {
    return ScanBaseText(Instring, Pos, 2, false);
}

bool IsHexText(const std::string& Instring) {
    return AllDigitsOfBase(Instring, "0123456789abcdefABCDEF");
}

bool IsOctText(const std::string& Instring) {
    return AllDigitsOfBase(Instring, "01234567");
}

bool IsBinText(const std::string& Instring) {
    return AllDigitsOfBase(Instring, "01");
}

}  // namespace kovo
