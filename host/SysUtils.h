// The host's system routines: strings, UTF-8 characters, numbers and their texts, the
// classic Str/Val conversions, Format, and the format settings (decimal separator, date
// names). Every conversion here is independent of the C library's locale: the separators
// come from FormatSettings alone, and Str/Val always use ".".
#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "host/Types.h"

namespace kovo {

// ---------------------------------------------------------------------------------------
// Format settings

struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    char ListSeparator = ',';
    std::string CurrencyString = "$";
    uint8_t CurrencyFormat = 0;  // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    uint8_t NegCurrFormat = 1;   // 1 "-$1"; the other classic forms are not used here
    uint8_t CurrencyDecimals = 2;
    std::string ShortDateFormat = "m/d/yyyy";
    std::string LongDateFormat = "dddd, mmmm d, yyyy";
    std::string ShortTimeFormat = "hh:nn";
    std::string LongTimeFormat = "hh:nn:ss";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    std::string ShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string LongMonthNames[12] = {"January",   "February", "March",    "April",
                                      "May",       "June",     "July",     "August",
                                      "September", "October",  "November", "December"};
    // Sunday first, as DayOfWeek counts.
    std::string ShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::string LongDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                   "Thursday", "Friday", "Saturday"};
    // A two-digit year is put into the century window that ends this many years before the
    // current year (0: the current century).
    int TwoDigitYearCenturyWindow = 50;
};

// The program's settings. The decimal and thousands separators are read once, at start-up,
// from the environment's numeric locale (LC_ALL, LC_NUMERIC, LANG); "C", "POSIX" and a
// locale that is not installed give "." and ",". The process locale is never changed.
extern TFormatSettings FormatSettings;

// Fixed settings that depend on nothing: "." and ",", English names.
TFormatSettings InvariantFormatSettings();
// The settings as they were at start-up (invariant plus the environment's separators).
TFormatSettings DefaultFormatSettings();
// Puts FormatSettings back to DefaultFormatSettings() (for tests and for programs that
// changed it temporarily).
void ResetFormatSettings();
// The separators of a named numeric locale ("de_DE.UTF-8"); false when it is unknown.
bool LocaleSeparators(const std::string& LocaleName, char& Decimal, char& Thousands);

// ---------------------------------------------------------------------------------------
// Strings (bytes; case conversions and comparisons fold ASCII letters only)

std::string UpperCase(std::string_view S);
std::string LowerCase(std::string_view S);
// Removes leading and trailing characters up to and including the blank (control codes).
std::string Trim(std::string_view S);
std::string TrimLeft(std::string_view S);
std::string TrimRight(std::string_view S);
// < 0, 0, > 0 as S1 sorts before, equal to, after S2; CompareText ignores ASCII case.
int CompareStr(std::string_view S1, std::string_view S2);
int CompareText(std::string_view S1, std::string_view S2);
bool SameStr(std::string_view S1, std::string_view S2);
bool SameText(std::string_view S1, std::string_view S2);
// 'it''s' style quoting: the text in single quotes with every inner quote doubled.
std::string QuotedStr(std::string_view S);
std::string AnsiQuotedStr(std::string_view S, char Quote);
// The inverse of AnsiQuotedStr; a text that does not start with Quote comes back as it is.
std::string AnsiDequotedStr(std::string_view S, char Quote);

enum TReplaceFlag : uint8_t { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = TSet<TReplaceFlag>;
std::string StringReplace(std::string_view S, std::string_view OldPattern,
                          std::string_view NewPattern, TReplaceFlags Flags);

// 1-based position of SubStr in S (from Offset on), 0 when absent or SubStr is empty.
int Pos(std::string_view SubStr, std::string_view S, int Offset = 1);
// Count bytes of S from the 1-based Index; indexes and counts outside S are clipped.
std::string Copy(std::string_view S, int Index, int Count);
// Removes Count bytes from the 1-based Index (clipped); nothing outside S.
void Delete(std::string& S, int Index, int Count);
// Inserts Source before the 1-based Index of S (clipped to 1..length + 1).
void Insert(std::string_view Source, std::string& S, int Index);
std::string StringOfChar(char C, int Count);

// UTF-8: a character is one code point. A byte that does not start a well-formed sequence
// counts as one character of its own, so nothing is ever lost or cut in half.
int Utf8Length(std::string_view S);
// Count characters from the 1-based character Start; clipped like Copy.
std::string Utf8Copy(std::string_view S, int Start, int Count);
// S cut to at most MaxChars characters, never inside a character.
std::string Utf8Truncate(std::string_view S, int MaxChars);
// Byte length of the character that starts at byte offset Offset (1..4; 0 at the end).
int Utf8CharSize(std::string_view S, size_t Offset);
// The code points of S; an ill-formed byte becomes U+FFFD.
std::u32string Utf8Decode(std::string_view S);
std::string Utf8Encode(std::u32string_view S);
std::string Utf8Encode(char32_t C);

// ---------------------------------------------------------------------------------------
// Numbers

// Nearest integer, halves to the even neighbour: Round(2.5) = 2, Round(3.5) = 4,
// Round(-7.5) = -8. A value outside the 64-bit range (or NaN) raises EInvalidOp.
int64_t Round(double X);
// Toward zero; EInvalidOp outside the 64-bit range.
int64_t Trunc(double X);
// The integer part and the fractional part, both with the sign of X.
double Int(double X);
double Frac(double X);
// A * B / C with a 64-bit intermediate, rounded half away from zero; -1 when C is 0 or
// the result does not fit in 32 bits.
int MulDiv(int A, int B, int C);

template <std::integral T>
std::string IntToStr(T Value) {
    if constexpr (std::is_signed_v<T>) {
        uint64_t mag = Value < 0 ? uint64_t(0) - uint64_t(int64_t(Value)) : uint64_t(Value);
        std::string s;
        do s.insert(s.begin(), char('0' + mag % 10));
        while ((mag /= 10) != 0);
        if (Value < 0) s.insert(s.begin(), '-');
        return s;
    } else {
        uint64_t mag = Value;
        std::string s;
        do s.insert(s.begin(), char('0' + mag % 10));
        while ((mag /= 10) != 0);
        return s;
    }
}

// Upper-case hexadecimal with at least Digits digits; a negative value shows the
// two's-complement bits of its type (IntToHex(-1, 1) = "FFFFFFFF" for an int).
template <std::integral T>
std::string IntToHex(T Value, int Digits) {
    using U = std::make_unsigned_t<T>;
    uint64_t bits = static_cast<U>(Value);
    std::string s;
    do s.insert(s.begin(), "0123456789ABCDEF"[bits & 15]);
    while ((bits >>= 4) != 0);
    if (Digits > 32) Digits = 32;
    if (static_cast<int>(s.size()) < Digits) s.insert(0, size_t(Digits) - s.size(), '0');
    return s;
}

// Decimal, "$hex" or "0xhex" with an optional sign; leading blanks are skipped. Failures
// raise EConvertError "'<s>' is not a valid integer value".
int StrToInt(const std::string& S);
int64_t StrToInt64(const std::string& S);
int StrToIntDef(const std::string& S, int Default);
int64_t StrToInt64Def(const std::string& S, int64_t Default);
bool TryStrToInt(const std::string& S, int& Value);
bool TryStrToInt64(const std::string& S, int64_t& Value);

// Blanks around the number are allowed; the decimal separator is the settings' one; an
// exponent "E" with an optional sign may follow. Failures raise EConvertError
// "'<s>' is not a valid floating point value".
double StrToFloat(const std::string& S);
double StrToFloat(const std::string& S, const TFormatSettings& Settings);
double StrToFloatDef(const std::string& S, double Default);
bool TryStrToFloat(const std::string& S, double& Value);
bool TryStrToFloat(const std::string& S, double& Value, const TFormatSettings& Settings);

enum TFloatFormat : uint8_t { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// The value to Precision significant digits (1..18) in the given form; Digits is the
// minimum number of exponent digits (ffGeneral, ffExponent, 0..4) or the number of
// decimals (ffFixed, ffNumber, ffCurrency, 0..18).
//   ffGeneral: fixed notation when the integer part has at most Precision digits and the
//     magnitude is at least 0.00001, otherwise scientific; trailing zeros and a bare
//     separator are dropped; the exponent is "E", a "-" when negative, no "+".
//   ffExponent: "-d.ddddE+ddd": Precision digits in all, the exponent always signed.
//   ffFixed / ffNumber: Digits decimals (ffNumber with thousands separators); when the
//     integer part has more than Precision digits the ffGeneral form is used instead.
// Decimals are rounded half away from zero from the shortest text that reads back as the
// same double. Infinities and NaN give "INF", "-INF" and "NAN".
std::string FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits);
std::string FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits,
                        const TFormatSettings& Settings);
// FloatToStrF(Value, ffGeneral, 15, 0): 0.1 -> "0.1", 1e20 -> "1E20".
std::string FloatToStr(double Value);
std::string FloatToStr(double Value, const TFormatSettings& Settings);

// Classic Str: fixed-point text with Decimals decimals, padded on the left with blanks
// to at least Width characters. A negative Decimals gives the scientific form below.
std::string Str(double X, int Width, int Decimals);
// Classic Str: scientific text in a field of Width characters: a sign position (blank
// unless negative), one digit, ".", Width - 9 further digits (at least one), "E", the
// exponent's sign and four exponent digits. Width is clipped to 255.
std::string Str(double X, int Width);
// The default field: 23 characters, 15 significant digits (" 1.23456789012345E+0001").
std::string Str(double X);
// An integer, padded on the left to Width.
template <std::integral T>
std::string Str(T X, int Width = 0) {
    std::string s = IntToStr(X);
    if (Width > 255) Width = 255;
    if (static_cast<int>(s.size()) < Width) s.insert(0, size_t(Width) - s.size(), ' ');
    return s;
}

// Classic Val: reads the whole of S (leading blanks allowed) as a real number ("."
// separator, optional "E" exponent) or as an integer (decimal, "$hex" or "0xhex").
// Code is 0 on success, otherwise the 1-based position of the first character that does
// not fit (the length + 1 when the text ends too early). On failure Value holds what the
// valid beginning gives (0 when there is none). A real beyond the double range reads as an
// infinity with Code 0; an integer that does not fit fails at the digit that overflows.
void Val(std::string_view S, double& Value, int& Code);
void Val(std::string_view S, int& Value, int& Code);
void Val(std::string_view S, int64_t& Value, int& Code);

// ---------------------------------------------------------------------------------------
// Format

// One argument of Format: an integer (with the width of its type), a real, a text, a
// character or a pointer.
class TVarRec {
  public:
    enum TKind : uint8_t {
        vtInteger,
        vtInt64,
        vtUnsigned,
        vtExtended,
        vtString,
        vtChar,
        vtPointer,
        vtBoolean
    };

    TVarRec(bool v) : FKind(vtBoolean), FInt(v) {}
    TVarRec(char v) : FKind(vtChar), FString(1, v) {}
    TVarRec(double v) : FKind(vtExtended), FReal(v) {}
    TVarRec(float v) : FKind(vtExtended), FReal(v) {}
    TVarRec(long double v) : FKind(vtExtended), FReal(static_cast<double>(v)) {}
    TVarRec(const char* v) : FKind(vtString), FString(v ? v : "") {}
    TVarRec(std::string v) : FKind(vtString), FString(std::move(v)) {}
    TVarRec(std::string_view v) : FKind(vtString), FString(v) {}
    TVarRec(const void* v) : FKind(vtPointer), FPointer(v) {}
    template <std::integral T>
    requires(!std::is_same_v<T, bool> && !std::is_same_v<T, char>) TVarRec(T v) {
        if constexpr (std::is_signed_v<T>) {
            FKind = sizeof(T) <= 4 ? vtInteger : vtInt64;
            FInt = static_cast<int64_t>(v);
        } else if constexpr (sizeof(T) <= 4) {
            FKind = vtInteger;  // as the classic Cardinal: hex and %u show 32 bits
            FInt = static_cast<int64_t>(v);
            FUnsigned32 = true;
        } else {
            FKind = vtUnsigned;
            FInt = static_cast<int64_t>(v);
        }
    }

    TKind Kind() const { return FKind; }
    bool IsInteger() const { return FKind == vtInteger || FKind == vtInt64 || FKind == vtUnsigned; }
    // Integer value; for vtUnsigned the bits of the 64-bit value.
    int64_t AsInt64() const { return FInt; }
    // Integer of 32 bits (vtInteger) or 64 bits.
    bool Is32Bit() const { return FKind == vtInteger; }
    bool IsUnsigned32() const { return FUnsigned32; }
    double AsReal() const { return FReal; }
    const std::string& AsString() const { return FString; }
    const void* AsPointer() const { return FPointer; }

  private:
    TKind FKind = vtInteger;
    bool FUnsigned32 = false;
    int64_t FInt = 0;
    double FReal = 0;
    std::string FString;
    const void* FPointer = nullptr;
};

// Classic Format: "%" [index ":"] ["-"] [width] ["." precision] type, where width and
// precision may be "*" (taken from the arguments) and the types are
//   d  decimal integer; precision = minimum number of digits
//   u  unsigned decimal (a negative 32-bit value shows its 32 bits)
//   x  upper-case hexadecimal; precision = minimum number of digits
//   e  scientific, FloatToStrF ffExponent with precision digits in all (default 15)
//      and at least 3 exponent digits: Format("%.4e", 1234.5) = "1.235E+003"
//   f  fixed, precision decimals (default 2);  n  the same with thousands separators
//   g  general, FloatToStrF ffGeneral with precision significant digits (default 15)
//   m  currency with CurrencyString and precision decimals (default CurrencyDecimals)
//   s  text (a character too); precision = maximum number of bytes
//   p  pointer as 16 hexadecimal digits
//   %% a percent sign
// The width pads with blanks on the left (on the right after "-"). A precision of 0 for
// "e" and "g" counts as 1. Integers are accepted where a real is asked for. A bad
// pattern, a missing argument or a mismatched one raises EConvertError
// "Format '<fmt>' invalid or incompatible with argument".
std::string Format(std::string_view Fmt, const std::vector<TVarRec>& Args);
std::string Format(std::string_view Fmt, const std::vector<TVarRec>& Args,
                   const TFormatSettings& Settings);
template <typename... A>
std::string Format(std::string_view Fmt, const A&... Args) {
    return Format(Fmt, std::vector<TVarRec>{TVarRec(Args)...});
}

}  // namespace kovo
