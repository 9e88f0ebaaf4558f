// Feeds arbitrary bytes and positions to every reader and checker of the numeric texts, and
// arbitrary numbers to the writers. A reader that crashes, hangs, leaves its position
// outside the text or returns a real beyond the clamp is a finding, and so are checks and
// readers that disagree: a text a check accepts must be taken whole by its reader, and
// what a writer puts out must read back.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/kovocore.h"
#include "host/SysUtils.h"
#include "numeric_entry/NumIO.h"

using namespace kovo;

namespace {

[[noreturn]] void Finding(const char* what, const std::string& text) {
    std::fprintf(stderr, "fuzz_numtext: %s for '%s'\n", what, text.c_str());
    std::abort();
}

// A reader starting at Start must stop within the text (or its end), never before Start;
// from outside the text it must not move at all.
void CheckStop(const char* reader, const std::string& text, int start, int stop) {
    const int length = Utf8Length(text);
    const bool inside = start >= 1 && start <= length + 1;
    if (inside ? (stop < start || stop > length + 1) : stop != start) Finding(reader, text);
}

using TIntReader = int (*)(const std::string&, int&);

void ReadersAt(const std::string& text, int start, bool exp, const std::string& seps) {
    int pos = start;
    const double v = ScanRealText(text, exp, seps, pos);
    if (!(v >= -uc_MaxDouble && v <= uc_MaxDouble)) Finding("real out of the clamp", text);
    CheckStop("ScanRealText stop", text, start, pos);
    for (TIntReader read : {ScanIntText, ScanHexText, ScanOctText, ScanBinText}) {
        pos = start;
        read(text, pos);
        CheckStop("integer reader stop", text, start, pos);
    }
}

// Whatever a check accepts, its reader takes whole from position 1.
void ChecksAgreeWithReaders(const std::string& text, bool exp, TDecPSep sep) {
    const int end = Utf8Length(text) + 1;
    int pos = 1;
    if (IsFixedText(text, sep)) {
        ScanRealText(text, exp, SeparatorSetForCheck(sep), pos);
        if (pos != end) Finding("fixed text not read whole", text);
    }
    IsRealText(text, exp, sep);
    struct {
        bool (*Check)(const std::string&);
        TIntReader Read;
    } const pairs[] = {{IsIntText, ScanIntText},
                       {IsHexText, ScanHexText},
                       {IsOctText, ScanOctText},
                       {IsBinText, ScanBinText}};
    for (const auto& p : pairs) {
        pos = 1;
        if (p.Check(text)) {
            p.Read(text, pos);
            if (pos != end) Finding("checked integer text not read whole", text);
        }
    }
}

void Writers(const uint8_t* data, size_t size) {
    if (size < 14) return;
    double x;
    std::memcpy(&x, data, sizeof x);
    int i;
    std::memcpy(&i, data + 8, sizeof i);
    const int width = int(int8_t(data[12]));
    const int decimals = int(data[13] % 24) - 3;

    const std::string exp = FormatRealText(width, -2, x);
    const size_t expected = size_t(std::max(std::clamp(width, 0, 253), 8));
    if (exp.size() != expected) Finding("exponential text of the wrong length", exp);
    if (exp[0] != '*') {
        int pos = 1;
        const double back = ScanRealText(exp, true, ".", pos);
        if (pos != int(exp.size()) + 1) Finding("exponential text not read whole", exp);
        if (std::signbit(back) != std::signbit(x) && back != 0) Finding("sign lost", exp);
    }
    if (decimals >= 0 && std::isfinite(x) && std::fabs(x) < 1e30) {
        const std::string fixed = FormatRealText(1, decimals, x);
        int pos = 1;
        const double back = ScanRealText(fixed, false, ".", pos);
        if (pos != int(fixed.size()) + 1) Finding("fixed text not read whole", fixed);
        if (std::fabs(back - x) > 0.5 * std::pow(10.0, -decimals) + std::fabs(x) * 1e-15)
            Finding("fixed text reads back wrong", fixed);
    }
    struct {
        std::string (*Format)(int, int);
        TIntReader Read;
        int Digits;
    } const bases[] = {{FormatHexText, ScanHexText, 8},
                       {FormatOctText, ScanOctText, 11},
                       {FormatBinText, ScanBinText, 32}};
    for (const auto& b : bases) {
        const std::string text = b.Format(i, width);
        if (text.size() != size_t(std::clamp(width, 1, b.Digits)))
            Finding("digit text of the wrong length", text);
        int pos = 1;
        b.Read(text, pos);
        if (pos != int(text.size()) + 1) Finding("digit text not read whole", text);
        pos = 1;
        if (b.Read(b.Format(i, b.Digits), pos) != i) Finding("digits read back wrong", text);
    }
}

}  // namespace

// Byte 0 chooses the options, bytes 1 and 2 the start position, the rest is the text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const uint8_t options = data[0];
    const int start = int(int16_t(uint16_t(data[1]) | uint16_t(data[2]) << 8));
    const std::string text(reinterpret_cast<const char*>(data + 3), size - 3);

    const bool exp = options & 1;
    const auto sep = static_cast<TDecPSep>((options >> 1) & 3);
    static const char* const kSets[] = {".", ",", ".,", "", "E+ 1", "\xD9\xAB", "\xFF."};
    const int setIndex = (options >> 3) & 7;
    const std::string seps = setIndex < 7 ? kSets[setIndex] : text.substr(0, 2);
    static const char kPlatform[] = {'.', ',', '/', ' '};
    FormatSettings.DecimalSeparator = kPlatform[options >> 6];

    ReadersAt(text, start, exp, seps);
    ReadersAt(text, 1, exp, seps);
    ChecksAgreeWithReaders(text, exp, sep);
    Writers(data + 3, size - 3);
    return 0;
}
