// Default values of cells, computed from the column formats ("[type][width]rest").
#include <cstdlib>

#include "host/SysUtils.h"
#include "report_list/replist.h"

namespace kovo {

namespace {

// A signed decimal number from the 1-based character From of R on: leading blanks skipped,
// an optional sign, digits up to the first non-digit; 0 without digits. Large values stop
// growing (every caller clamps far below).
int ReadCount(const std::string& R, size_t From) {
    size_t i = From - 1;
    while (i < R.size() && R[i] == ' ') ++i;
    bool negative = false;
    if (i < R.size() && (R[i] == '+' || R[i] == '-')) negative = R[i++] == '-';
    int64_t v = 0;
    while (i < R.size() && R[i] >= '0' && R[i] <= '9') {
        if (v < 1000000000) v = v * 10 + (R[i] - '0');
        ++i;
    }
    return int(negative ? -v : v);
}

// The lowest Digits digits of Text, zero-padded on the left to exactly Digits.
std::string LowestDigits(const std::string& Text, int Digits) {
    if (int(Text.size()) >= Digits) return Text.substr(Text.size() - size_t(Digits));
    return std::string(size_t(Digits) - Text.size(), '0') + Text;
}

}  // namespace

std::string TRLData::GetCellDefaultValue(int ACol, int ARow) const {
    const std::string F = GetColumnFormat(ACol);
    const size_t close = F.find(']');
    const std::string T = close == std::string::npos ? std::string() : F.substr(0, close + 1);
    std::string R = F.substr(T.size());
    if (R.empty() || T.size() < 2) return std::string();
    const size_t widthEnd = R.find(']');
    if (widthEnd != std::string::npos) R = R.substr(widthEnd + 1);

    const std::string lower = LowerCase(R);
    switch (T[1]) {
        case 'c':
        case 'l': {
            const size_t bar = R.find('|');
            return bar == std::string::npos ? R : R.substr(0, bar);
        }
        case 'd':
            return R;
        case 'e':
        case 'f':
        case 'h':
        case 'i': {
            if (lower.find("rix") == std::string::npos) return R;
            int n = ReadCount(R, 4);
            if (T[1] == 'e' || T[1] == 'f')
                return strff(double(ARow), 1, std::clamp(n, 0, CellTextLength));
            n = ((n % 256) + 256) % 256;
            if (n == 0) n = 1;
            if (T[1] == 'h') return LowestDigits(IntToHex(ARow, 1), std::min(n, 8));
            const int64_t magnitude = ARow < 0 ? -int64_t(ARow) : int64_t(ARow);
            const std::string digits = LowestDigits(IntToStr(magnitude), n);
            return ARow < 0 ? "-" + digits : digits;
        }
        case 's':
            if (lower.find("$pwd$") == std::string::npos) return R;
            return InventPassword(ReadCount(R, 6));
        default:
            return std::string();
    }
}

}  // namespace kovo
