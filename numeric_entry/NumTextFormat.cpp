// Writers of the numeric texts: real numbers through the classic Str conversion, and the
// digits of hexadecimal, octal and binary integers.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "host/SysUtils.h"
#include "numeric_entry/NumIO.h"

namespace kovo {

namespace {

// Str's scientific field holds at most 255 characters; the exponential form asks for two
// more than Width.
constexpr int kMaxExpWidth = 253;
// Str's shortest scientific text: sign, digit, ".", one digit, "E", sign, four digits.
constexpr int kMinStrExpText = 10;

std::string ExponentialText(int Width, double Value) {
    Width = std::clamp(Width, 0, kMaxExpWidth);
    if (!std::isfinite(Value))
        return std::string(size_t(std::max(Width + 2, kMinStrExpText) - 2), '*');
    // Sign position, digit, ".", digits, "E", the exponent's sign and four digits.
    std::string text = Str(Value, Width + 2);
    const size_t e = text.rfind('E');
    const bool wide = text[e + 2] != '0' || text[e + 3] != '0';
    text.erase(e + 2, 2);
    // An exponent of 100 or more does not fit the two digits that are left.
    if (wide) std::fill(text.begin(), text.end(), '*');
    return text;
}

// Exactly Digits digits, the lowest Shift bits of the value per digit.
std::string BitsText(int Value, int Digits, int MaxDigits, int Shift) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    Digits = std::clamp(Digits, 1, MaxDigits);
    const uint32_t mask = (uint32_t(1) << Shift) - 1;
    auto bits = static_cast<uint32_t>(Value);
    std::string text(size_t(Digits), '0');
    for (int i = Digits - 1; i >= 0; --i) {
        text[size_t(i)] = kDigits[bits & mask];
        bits >>= Shift;
    }
    return text;
}

}  // namespace

std::string FormatRealText(int Width, int Decimals, double Value) {
    if (Decimals < 0) return ExponentialText(Width, Value);
    return Str(Value, Width, Decimals);
}

std::string FormatHexText(int Value, int NumDigits) {
    return BitsText(Value, NumDigits, 8, 4);
}

std::string FormatOctText(int Value, int NumDigits) {
    return BitsText(Value, NumDigits, 11, 3);
}

std::string FormatBinText(int Value, int NumDigits) {
    return BitsText(Value, NumDigits, 32, 1);
}

}  // namespace kovo
