// Format settings, byte-string helpers and UTF-8 characters.
#include "host/SysUtils.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace kovo {

// ---------------------------------------------------------------------------------------
// Format settings

namespace {

// The numeric locale the environment asks for, by the C library's precedence.
std::string EnvironmentNumericLocale() {
    for (const char* var : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* v = std::getenv(var);
        if (v != nullptr && *v != '\0') return v;
    }
    return "C";
}

TFormatSettings StartupSettings() {
    TFormatSettings s = InvariantFormatSettings();
    char dec = '.', thou = ',';
    if (LocaleSeparators(EnvironmentNumericLocale(), dec, thou)) {
        s.DecimalSeparator = dec;
        s.ThousandSeparator = thou;
    }
    return s;
}

const TFormatSettings& Startup() {
    static const TFormatSettings settings = StartupSettings();
    return settings;
}

}  // namespace

TFormatSettings FormatSettings = Startup();

TFormatSettings InvariantFormatSettings() {
    return TFormatSettings{};
}

TFormatSettings DefaultFormatSettings() {
    return Startup();
}

void ResetFormatSettings() {
    FormatSettings = Startup();
}

bool LocaleSeparators(const std::string& LocaleName, char& Decimal, char& Thousands) {
    if (LocaleName.empty()) return false;
    // A private locale object: the process locale stays as it is.
    locale_t loc = newlocale(LC_NUMERIC_MASK, LocaleName.c_str(), static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0)) return false;
    std::string radix = nl_langinfo_l(RADIXCHAR, loc);
    std::string thousep = nl_langinfo_l(THOUSEP, loc);
    freelocale(loc);
    Decimal = radix.size() == 1 ? radix[0] : '.';
    if (thousep.size() == 1)
        Thousands = thousep[0];
    else if (thousep.empty())
        Thousands = Decimal == ',' ? '.' : ',';
    else
        Thousands = ' ';  // a multi-byte space such as U+202F
    if (Thousands == Decimal) Thousands = Decimal == ',' ? '.' : ',';
    return true;
}

// ---------------------------------------------------------------------------------------
// Strings

namespace {

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}
char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}
bool IsTrimmed(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

std::string UpperCase(std::string_view S) {
    std::string r(S);
    for (char& c : r) c = AsciiUpper(c);
    return r;
}

std::string LowerCase(std::string_view S) {
    std::string r(S);
    for (char& c : r) c = AsciiLower(c);
    return r;
}

std::string Trim(std::string_view S) {
    return TrimLeft(TrimRight(S));
}

std::string TrimLeft(std::string_view S) {
    size_t i = 0;
    while (i < S.size() && IsTrimmed(S[i])) ++i;
    return std::string(S.substr(i));
}

std::string TrimRight(std::string_view S) {
    size_t n = S.size();
    while (n > 0 && IsTrimmed(S[n - 1])) --n;
    return std::string(S.substr(0, n));
}

int CompareStr(std::string_view S1, std::string_view S2) {
    int c = S1.compare(S2);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int CompareText(std::string_view S1, std::string_view S2) {
    size_t n = std::min(S1.size(), S2.size());
    for (size_t i = 0; i < n; ++i) {
        auto a = static_cast<unsigned char>(AsciiLower(S1[i]));
        auto b = static_cast<unsigned char>(AsciiLower(S2[i]));
        if (a != b) return a < b ? -1 : 1;
    }
    if (S1.size() == S2.size()) return 0;
    return S1.size() < S2.size() ? -1 : 1;
}

bool SameStr(std::string_view S1, std::string_view S2) {
    return S1 == S2;
}

bool SameText(std::string_view S1, std::string_view S2) {
    return S1.size() == S2.size() && CompareText(S1, S2) == 0;
}

std::string QuotedStr(std::string_view S) {
    return AnsiQuotedStr(S, '\'');
}

std::string AnsiQuotedStr(std::string_view S, char Quote) {
    std::string r;
    r.reserve(S.size() + 2);
    r += Quote;
    for (char c : S) {
        r += c;
        if (c == Quote) r += c;
    }
    r += Quote;
    return r;
}

std::string AnsiDequotedStr(std::string_view S, char Quote) {
    if (S.empty() || S[0] != Quote) return std::string(S);
    std::string r;
    size_t i = 1;
    while (i < S.size()) {
        if (S[i] == Quote) {
            if (i + 1 < S.size() && S[i + 1] == Quote) {
                r += Quote;
                i += 2;
                continue;
            }
            return r;  // the closing quote
        }
        r += S[i++];
    }
    return r;  // no closing quote: everything after the opening one
}

std::string StringReplace(std::string_view S, std::string_view OldPattern,
                          std::string_view NewPattern, TReplaceFlags Flags) {
    if (OldPattern.empty()) return std::string(S);
    const bool all = Flags.contains(rfReplaceAll);
    const bool nocase = Flags.contains(rfIgnoreCase);
    auto matchAt = [&](size_t i) {
        if (i + OldPattern.size() > S.size()) return false;
        std::string_view part = S.substr(i, OldPattern.size());
        return nocase ? CompareText(part, OldPattern) == 0 : part == OldPattern;
    };
    std::string r;
    size_t i = 0;
    bool replaced = false;
    while (i < S.size()) {
        if ((!replaced || all) && matchAt(i)) {
            r += NewPattern;
            i += OldPattern.size();
            replaced = true;
            continue;
        }
        r += S[i++];
    }
    return r;
}

int Pos(std::string_view SubStr, std::string_view S, int Offset) {
    if (SubStr.empty() || Offset < 1 || size_t(Offset) > S.size()) return 0;
    size_t p = S.find(SubStr, size_t(Offset) - 1);
    return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

std::string Copy(std::string_view S, int Index, int Count) {
    if (Index < 1) Index = 1;
    if (Count <= 0 || size_t(Index) > S.size()) return std::string();
    return std::string(S.substr(size_t(Index) - 1, size_t(Count)));
}

void Delete(std::string& S, int Index, int Count) {
    if (Index < 1 || Count <= 0 || size_t(Index) > S.size()) return;
    S.erase(size_t(Index) - 1, size_t(Count));
}

void Insert(std::string_view Source, std::string& S, int Index) {
    if (Index < 1) Index = 1;
    size_t at = std::min(S.size(), size_t(Index) - 1);
    S.insert(at, Source);
}

std::string StringOfChar(char C, int Count) {
    return Count > 0 ? std::string(size_t(Count), C) : std::string();
}

// ---------------------------------------------------------------------------------------
// UTF-8

int Utf8CharSize(std::string_view S, size_t Offset) {
    if (Offset >= S.size()) return 0;
    auto b = [&](size_t i) { return static_cast<unsigned char>(S[i]); };
    auto cont = [&](size_t i) { return i < S.size() && (b(i) & 0xC0) == 0x80; };
    unsigned char c = b(Offset);
    if (c < 0x80) return 1;
    // Well-formed sequences only (no overlongs, no surrogates, nothing above U+10FFFF).
    if (c >= 0xC2 && c <= 0xDF) return cont(Offset + 1) ? 2 : 1;
    if (c >= 0xE0 && c <= 0xEF) {
        if (!cont(Offset + 1) || !cont(Offset + 2)) return 1;
        unsigned char c1 = b(Offset + 1);
        if (c == 0xE0 && c1 < 0xA0) return 1;
        if (c == 0xED && c1 > 0x9F) return 1;
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (!cont(Offset + 1) || !cont(Offset + 2) || !cont(Offset + 3)) return 1;
        unsigned char c1 = b(Offset + 1);
        if (c == 0xF0 && c1 < 0x90) return 1;
        if (c == 0xF4 && c1 > 0x8F) return 1;
        return 4;
    }
    return 1;
}

int Utf8Length(std::string_view S) {
    int n = 0;
    for (size_t i = 0; i < S.size(); i += size_t(Utf8CharSize(S, i))) ++n;
    return n;
}

namespace {

// Byte offset of the character with the 0-based character index Chars (or the end).
size_t Utf8Offset(std::string_view S, int64_t Chars) {
    size_t i = 0;
    while (Chars > 0 && i < S.size()) {
        i += size_t(Utf8CharSize(S, i));
        --Chars;
    }
    return i;
}

}  // namespace

std::string Utf8Copy(std::string_view S, int Start, int Count) {
    if (Start < 1) Start = 1;
    if (Count <= 0) return std::string();
    size_t from = Utf8Offset(S, Start - 1);
    size_t to = from + Utf8Offset(S.substr(from), Count);
    return std::string(S.substr(from, to - from));
}

std::string Utf8Truncate(std::string_view S, int MaxChars) {
    if (MaxChars <= 0) return std::string();
    return std::string(S.substr(0, Utf8Offset(S, MaxChars)));
}

std::u32string Utf8Decode(std::string_view S) {
    std::u32string r;
    size_t i = 0;
    while (i < S.size()) {
        int n = Utf8CharSize(S, i);
        auto b = [&](size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(S[k])); };
        char32_t c;
        switch (n) {
            case 2:
                c = ((b(i) & 0x1F) << 6) | (b(i + 1) & 0x3F);
                break;
            case 3:
                c = ((b(i) & 0x0F) << 12) | ((b(i + 1) & 0x3F) << 6) | (b(i + 2) & 0x3F);
                break;
            case 4:
                c = ((b(i) & 0x07) << 18) | ((b(i + 1) & 0x3F) << 12) | ((b(i + 2) & 0x3F) << 6) |
                    (b(i + 3) & 0x3F);
                break;
            default:
                c = b(i) < 0x80 ? b(i) : char32_t(0xFFFD);
                break;
        }
        r += c;
        i += size_t(n);
    }
    return r;
}

std::string Utf8Encode(char32_t C) {
    std::string r;
    if (C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF)) C = 0xFFFD;
    if (C < 0x80) {
        r += char(C);
    } else if (C < 0x800) {
        r += char(0xC0 | (C >> 6));
        r += char(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        r += char(0xE0 | (C >> 12));
        r += char(0x80 | ((C >> 6) & 0x3F));
        r += char(0x80 | (C & 0x3F));
    } else {
        r += char(0xF0 | (C >> 18));
        r += char(0x80 | ((C >> 12) & 0x3F));
        r += char(0x80 | ((C >> 6) & 0x3F));
        r += char(0x80 | (C & 0x3F));
    }
    return r;
}

std::string Utf8Encode(std::u32string_view S) {
    std::string r;
    for (char32_t c : S) r += Utf8Encode(c);
    return r;
}

}  // namespace kovo
