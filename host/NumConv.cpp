// Numbers and their texts: rounding, integer and real conversions, FloatToStrF and the
// classic Str/Val. Digits come from std::to_chars and std::from_chars, which never look
// at the C library's locale.
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "host/Exceptions.h"
#include "host/SysUtils.h"

namespace kovo {

// ---------------------------------------------------------------------------------------
// Rounding

namespace {

// 2^63 as a double: the first value that no longer fits in int64_t.
constexpr double kTwo63 = 9223372036854775808.0;

int64_t ToInt64Checked(double r) {
    if (!(r >= -kTwo63 && r < kTwo63)) throw EInvalidOp("Invalid floating point operation");
    return static_cast<int64_t>(r);
}

}  // namespace

int64_t Round(double X) {
    if (std::isnan(X)) throw EInvalidOp("Invalid floating point operation");
    double f = std::floor(X);
    double diff = X - f;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(f, 2.0) != 0.0)) f += 1.0;
    return ToInt64Checked(f);
}

int64_t Trunc(double X) {
    if (std::isnan(X)) throw EInvalidOp("Invalid floating point operation");
    return ToInt64Checked(std::trunc(X));
}

double Int(double X) {
    return std::trunc(X);
}

double Frac(double X) {
    if (std::isinf(X)) return std::copysign(0.0, X);
    return X - std::trunc(X);
}

int MulDiv(int A, int B, int C) {
    if (C == 0) return -1;
    int64_t p = int64_t(A) * int64_t(B);
    int64_t q = p / C;
    int64_t r = p % C;
    // Halves away from zero: |r| >= |C| / 2 steps outwards.
    uint64_t ar = r < 0 ? uint64_t(-r) : uint64_t(r);
    uint64_t ac = C < 0 ? uint64_t(-int64_t(C)) : uint64_t(C);
    if (2 * ar >= ac && r != 0) q += ((p < 0) != (C < 0)) ? -1 : 1;
    if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min()) return -1;
    return static_cast<int>(q);
}

// ---------------------------------------------------------------------------------------
// Decimal digits of a double

namespace {

// Value = 0.Digits * 10^Exp (Digits without leading or trailing zeros; empty for zero).
struct TDecimal {
    bool Negative = false;
    std::string Digits;
    int Exp = 0;
    bool IsZero() const { return Digits.empty(); }
};

void StripTrailingZeros(TDecimal& d) {
    while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
    if (d.Digits.empty()) d.Exp = 0;
}

// The shortest digits that read back as the same double.
TDecimal ShortestDecimal(double x) {
    TDecimal d;
    d.Negative = std::signbit(x);
    if (x == 0) return d;
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific);
    std::string_view s(buf, size_t(res.ptr - buf));
    size_t e = s.find('e');
    for (size_t i = 0; i < e; ++i)
        if (s[i] != '.') d.Digits += s[i];
    int exp10 = 0;
    std::string_view es = s.substr(e + 1);
    if (!es.empty() && es[0] == '+') es.remove_prefix(1);
    std::from_chars(es.data(), es.data() + es.size(), exp10);
    d.Exp = exp10 + 1;
    StripTrailingZeros(d);
    return d;
}

// Keeps the first Keep digits, rounding half away from zero.
void RoundAt(TDecimal& d, int Keep) {
    if (Keep >= static_cast<int>(d.Digits.size())) return;
    if (Keep < 0) {
        d.Digits.clear();
        d.Exp = 0;
        return;
    }
    bool up = d.Digits[size_t(Keep)] >= '5';
    d.Digits.resize(size_t(Keep));
    if (up) {
        while (!d.Digits.empty() && d.Digits.back() == '9') d.Digits.pop_back();
        if (d.Digits.empty()) {
            d.Digits = "1";
            d.Exp += 1;
        } else {
            d.Digits.back() = char(d.Digits.back() + 1);
        }
    }
    StripTrailingZeros(d);
}

void RoundToSignificant(TDecimal& d, int n) {
    RoundAt(d, n);
}

void RoundToDecimals(TDecimal& d, int decimals) {
    if (d.IsZero()) return;
    RoundAt(d, d.Exp + decimals);
}

char DigitAt(const TDecimal& d, int i) {
    return i >= 0 && i < static_cast<int>(d.Digits.size()) ? d.Digits[size_t(i)] : '0';
}

// Integer digits, optionally grouped by threes with Thousands.
std::string IntegerPart(const TDecimal& d, char Thousands) {
    std::string r;
    if (d.Exp <= 0) return "0";
    for (int i = 0; i < d.Exp; ++i) {
        if (Thousands != '\0' && i > 0 && (d.Exp - i) % 3 == 0) r += Thousands;
        r += DigitAt(d, i);
    }
    return r;
}

std::string FixedDigits(const TDecimal& d, int decimals, char DecSep, char Thousands) {
    std::string r = IntegerPart(d, Thousands);
    if (decimals > 0) {
        r += DecSep;
        for (int i = 0; i < decimals; ++i) r += DigitAt(d, d.Exp + i);
    }
    return r;
}

std::string ExponentText(int e, int MinDigits, bool ForceSign) {
    std::string r = "E";
    if (e < 0)
        r += '-';
    else if (ForceSign)
        r += '+';
    std::string digits = IntToStr(e < 0 ? -e : e);
    if (static_cast<int>(digits.size()) < MinDigits)
        digits.insert(0, size_t(MinDigits) - digits.size(), '0');
    return r + digits;
}

// "d.ddd" with Sig digits in all (no separator when Sig is 1), then the exponent.
std::string ScientificDigits(const TDecimal& d, int Sig, char DecSep, int ExpDigits,
                             bool ForceSign) {
    std::string r(1, DigitAt(d, 0));
    if (Sig > 1) {
        r += DecSep;
        for (int i = 1; i < Sig; ++i) r += DigitAt(d, i);
    }
    return r + ExponentText(d.IsZero() ? 0 : d.Exp - 1, ExpDigits, ForceSign);
}

std::string NonFinite(double v) {
    if (std::isnan(v)) return "NAN";
    return v < 0 ? "-INF" : "INF";
}

std::string GeneralText(TDecimal d, int Precision, int Digits, char DecSep) {
    RoundToSignificant(d, Precision);
    if (d.IsZero()) return "0";
    std::string sign = d.Negative ? "-" : "";
    int e = d.Exp - 1;
    if (d.Exp <= Precision && e >= -5) {
        std::string r = IntegerPart(d, '\0');
        int decimals = static_cast<int>(d.Digits.size()) - d.Exp;
        if (decimals > 0) {
            r += DecSep;
            for (int i = 0; i < decimals; ++i) r += DigitAt(d, d.Exp + i);
        }
        return sign + r;
    }
    int sig = std::max(1, static_cast<int>(d.Digits.size()));
    return sign + ScientificDigits(d, sig, DecSep, Digits, false);
}

}  // namespace

std::string FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits,
                        const TFormatSettings& Settings) {
    if (!std::isfinite(Value)) return NonFinite(Value);
    Precision = std::clamp(Precision, 1, 18);
    TDecimal d = ShortestDecimal(Value);
    const char sep = Settings.DecimalSeparator;
    switch (Format) {
        case ffGeneral:
            return GeneralText(d, Precision, std::clamp(Digits, 0, 4), sep);
        case ffExponent: {
            RoundToSignificant(d, Precision);
            std::string sign = d.Negative && !d.IsZero() ? "-" : "";
            return sign + ScientificDigits(d, Precision, sep, std::clamp(Digits, 0, 4), true);
        }
        case ffFixed:
        case ffNumber:
        case ffCurrency: {
            Digits = std::clamp(Digits, 0, 18);
            if (d.Exp > Precision) return GeneralText(d, Precision, 0, sep);
            // One rounding at whichever limit comes first.
            RoundAt(d, std::min(Precision, d.Exp + Digits));
            bool negative = d.Negative && !d.IsZero();
            char thousands = Format == ffFixed ? '\0' : Settings.ThousandSeparator;
            std::string body = FixedDigits(d, Digits, sep, thousands);
            if (Format != ffCurrency) return negative ? "-" + body : body;
            const std::string& cur = Settings.CurrencyString;
            std::string text;
            switch (Settings.CurrencyFormat) {
                case 1:
                    text = body + cur;
                    break;
                case 2:
                    text = cur + " " + body;
                    break;
                case 3:
                    text = body + " " + cur;
                    break;
                default:
                    text = cur + body;
                    break;
            }
            return negative ? "-" + text : text;
        }
    }
    return std::string();
}

std::string FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits) {
    return FloatToStrF(Value, Format, Precision, Digits, FormatSettings);
}

std::string FloatToStr(double Value) {
    return FloatToStrF(Value, ffGeneral, 15, 0, FormatSettings);
}

std::string FloatToStr(double Value, const TFormatSettings& Settings) {
    return FloatToStrF(Value, ffGeneral, 15, 0, Settings);
}

// ---------------------------------------------------------------------------------------
// Str

namespace {

constexpr int kMaxStrWidth = 255;

std::string PadLeft(std::string s, int Width) {
    Width = std::min(Width, kMaxStrWidth);
    if (static_cast<int>(s.size()) < Width) s.insert(0, size_t(Width) - s.size(), ' ');
    return s;
}

std::string StrNonFinite(double x) {
    if (std::isnan(x)) return "Nan";
    return x < 0 ? "-Inf" : "+Inf";
}

}  // namespace

std::string Str(double X, int Width, int Decimals) {
    if (Decimals < 0) return Str(X, Width);
    if (!std::isfinite(X)) return PadLeft(StrNonFinite(X), Width);
    Decimals = std::min(Decimals, kMaxStrWidth);
    TDecimal d = ShortestDecimal(X);
    RoundToDecimals(d, Decimals);
    // More integer digits than a short string holds cannot occur: |X| < 1.8e308.
    std::string body = FixedDigits(d, Decimals, '.', '\0');
    if (d.Negative && !d.IsZero()) body.insert(body.begin(), '-');
    return PadLeft(body, Width);
}

std::string Str(double X, int Width) {
    Width = std::min(Width, kMaxStrWidth);
    if (!std::isfinite(X)) return PadLeft(StrNonFinite(X), Width);
    int fraction = std::max(Width - 9, 1);
    TDecimal d = ShortestDecimal(X);
    RoundToSignificant(d, fraction + 1);
    std::string text = (d.Negative && !d.IsZero()) ? "-" : " ";
    text += ScientificDigits(d, fraction + 1, '.', 4, true);
    return PadLeft(text, Width);
}

std::string Str(double X) {
    return Str(X, 23);
}

// ---------------------------------------------------------------------------------------
// Val

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads a real number "[blanks][sign]digits[sep digits][E[sign]digits]" at the start of
// S. Returns the number of bytes that form a complete number (0 when none) and, in
// Stop, the index of the first byte that does not fit the syntax.
struct TRealScan {
    size_t Valid = 0;   // bytes of the longest complete number
    size_t Stop = 0;    // first byte that breaks the syntax
    std::string Clean;  // the complete number in from_chars syntax
    int ScaleHint = 0;  // rough decimal exponent of the value, for overflow
};

TRealScan ScanReal(std::string_view S, char DecSep, bool SkipBlanks) {
    TRealScan r;
    size_t i = 0;
    if (SkipBlanks)
        while (i < S.size() && S[i] == ' ') ++i;
    std::string clean;
    if (i < S.size() && (S[i] == '+' || S[i] == '-')) {
        if (S[i] == '-') clean += '-';
        ++i;
    }
    int intDigits = 0, fracDigits = 0, leadingZeros = 0;
    bool nonzeroSeen = false;
    while (i < S.size() && IsDigit(S[i])) {
        if (S[i] != '0') nonzeroSeen = true;
        if (!nonzeroSeen) ++leadingZeros;
        clean += S[i++];
        ++intDigits;
    }
    if (i < S.size() && S[i] == DecSep) {
        clean += '.';
        ++i;
        while (i < S.size() && IsDigit(S[i])) {
            clean += S[i++];
            ++fracDigits;
        }
    }
    if (intDigits + fracDigits == 0) {
        r.Stop = i;
        return r;
    }
    if (clean.back() == '.') clean += '0';
    r.Valid = i;
    r.Clean = clean;
    r.ScaleHint = intDigits - leadingZeros;
    if (i < S.size() && (S[i] == 'E' || S[i] == 'e')) {
        size_t j = i + 1;
        std::string exp = "e";
        if (j < S.size() && (S[j] == '+' || S[j] == '-')) {
            if (S[j] == '-') exp += '-';
            ++j;
        }
        size_t firstDigit = j;
        int expValue = 0;
        while (j < S.size() && IsDigit(S[j])) {
            if (expValue < 100000) expValue = expValue * 10 + (S[j] - '0');
            exp += S[j++];
        }
        if (j == firstDigit) {
            r.Stop = j;
            return r;
        }
        r.Valid = j;
        r.Clean += exp;
        r.ScaleHint += exp.size() > 1 && exp[1] == '-' ? -expValue : expValue;
        i = j;
    }
    r.Stop = i;
    return r;
}

double ConvertClean(const TRealScan& scan) {
    double v = 0;
    const char* first = scan.Clean.data();
    const char* last = first + scan.Clean.size();
    auto res = std::from_chars(first, last, v, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        bool negative = !scan.Clean.empty() && scan.Clean[0] == '-';
        double mag = scan.ScaleHint > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        v = negative ? -mag : mag;
    } else if (res.ec != std::errc()) {
        v = 0;
    }
    return v;
}

// An integer "[blanks][sign](digits | $hex | 0xhex)"; Bits is 32 or 64. Returns the
// 1-based error position (0 on success); Value holds the valid beginning.
int ScanInteger(std::string_view S, int Bits, int64_t& Value) {
    Value = 0;
    size_t i = 0;
    while (i < S.size() && S[i] == ' ') ++i;
    bool negative = false;
    if (i < S.size() && (S[i] == '+' || S[i] == '-')) {
        negative = S[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < S.size() && S[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < S.size() && S[i] == '0' && (S[i + 1] == 'x' || S[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    // Decimal: the magnitude up to 2^(Bits-1) (the last only for a negative value);
    // hexadecimal: all Bits bits, read as two's complement.
    const uint64_t limit = hex ? (Bits == 64 ? ~uint64_t(0) : 0xFFFFFFFFull)
                               : (uint64_t(1) << (Bits - 1)) - (negative ? 0 : 1);
    const uint64_t base = hex ? 16 : 10;
    uint64_t acc = 0;
    size_t first = i;
    auto store = [&] {
        uint64_t bits = negative ? uint64_t(0) - acc : acc;
        Value = Bits == 64 ? static_cast<int64_t>(bits)
                           : static_cast<int64_t>(static_cast<int32_t>(uint32_t(bits)));
    };
    while (i < S.size()) {
        int digit = hex ? HexDigit(S[i]) : (IsDigit(S[i]) ? S[i] - '0' : -1);
        if (digit < 0) break;
        if (acc > (limit - uint64_t(digit)) / base) {
            store();
            return static_cast<int>(i) + 1;
        }
        acc = acc * base + uint64_t(digit);
        ++i;
    }
    store();
    if (i == first || i != S.size()) return static_cast<int>(i) + 1;
    return 0;
}

}  // namespace

void Val(std::string_view S, double& Value, int& Code) {
    TRealScan scan = ScanReal(S, '.', true);
    Value = scan.Valid > 0 ? ConvertClean(scan) : 0.0;
    Code = scan.Valid > 0 && scan.Valid == S.size() ? 0 : static_cast<int>(scan.Stop) + 1;
}

void Val(std::string_view S, int& Value, int& Code) {
    int64_t v = 0;
    Code = ScanInteger(S, 32, v);
    Value = static_cast<int>(v);
}

void Val(std::string_view S, int64_t& Value, int& Code) {
    Code = ScanInteger(S, 64, Value);
}

// ---------------------------------------------------------------------------------------
// StrToInt, StrToFloat

namespace {

[[noreturn]] void IntError(const std::string& S) {
    throw EConvertError("'" + S + "' is not a valid integer value");
}

[[noreturn]] void FloatError(const std::string& S) {
    throw EConvertError("'" + S + "' is not a valid floating point value");
}

}  // namespace

bool TryStrToInt(const std::string& S, int& Value) {
    int v = 0, code = 0;
    Val(S, v, code);
    if (code != 0) return false;
    Value = v;
    return true;
}

bool TryStrToInt64(const std::string& S, int64_t& Value) {
    int64_t v = 0;
    int code = 0;
    Val(S, v, code);
    if (code != 0) return false;
    Value = v;
    return true;
}

int StrToInt(const std::string& S) {
    int v = 0;
    if (!TryStrToInt(S, v)) IntError(S);
    return v;
}

int64_t StrToInt64(const std::string& S) {
    int64_t v = 0;
    if (!TryStrToInt64(S, v)) IntError(S);
    return v;
}

int StrToIntDef(const std::string& S, int Default) {
    int v = 0;
    return TryStrToInt(S, v) ? v : Default;
}

int64_t StrToInt64Def(const std::string& S, int64_t Default) {
    int64_t v = 0;
    return TryStrToInt64(S, v) ? v : Default;
}

bool TryStrToFloat(const std::string& S, double& Value, const TFormatSettings& Settings) {
    std::string_view t(S);
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    TRealScan scan = ScanReal(t, Settings.DecimalSeparator, true);
    if (scan.Valid == 0 || scan.Valid != t.size()) return false;
    double v = ConvertClean(scan);
    if (!std::isfinite(v)) return false;
    Value = v;
    return true;
}

bool TryStrToFloat(const std::string& S, double& Value) {
    return TryStrToFloat(S, Value, FormatSettings);
}

double StrToFloat(const std::string& S, const TFormatSettings& Settings) {
    double v = 0;
    if (!TryStrToFloat(S, v, Settings)) FloatError(S);
    return v;
}

double StrToFloat(const std::string& S) {
    return StrToFloat(S, FormatSettings);
}

double StrToFloatDef(const std::string& S, double Default) {
    double v = 0;
    return TryStrToFloat(S, v) ? v : Default;
}

}  // namespace kovo
