// Format: the classic "%[index:][-][width][.precision]type" patterns.
#include <algorithm>
#include <cstdint>

#include "host/Exceptions.h"
#include "host/SysUtils.h"

namespace kovo {

namespace {

// A width or precision beyond this is bad input, not a request for a huge text.
constexpr int kMaxFieldWidth = 4096;

class TFormatter {
  public:
    TFormatter(std::string_view Fmt, const std::vector<TVarRec>& Args,
               const TFormatSettings& Settings)
        : FFmt(Fmt), FArgs(Args), FSettings(Settings) {}

    std::string Run() {
        std::string out;
        size_t i = 0;
        while (i < FFmt.size()) {
            char c = FFmt[i++];
            if (c != '%') {
                out += c;
                continue;
            }
            if (i < FFmt.size() && FFmt[i] == '%') {
                out += '%';
                ++i;
                continue;
            }
            out += Specifier(i);
        }
        return out;
    }

  private:
    [[noreturn]] void Fail() const {
        throw EConvertError("Format '" + std::string(FFmt) +
                            "' invalid or incompatible with argument");
    }

    const TVarRec& NextArg() {
        if (FArgIndex >= FArgs.size()) Fail();
        return FArgs[FArgIndex++];
    }

    // A number written in the pattern, or "*" taken from the arguments; false when
    // neither is there.
    bool Number(size_t& i, int& Value) {
        if (i < FFmt.size() && FFmt[i] == '*') {
            ++i;
            const TVarRec& a = NextArg();
            if (!a.IsInteger()) Fail();
            int64_t v = a.AsInt64();
            if (v > kMaxFieldWidth || v < -kMaxFieldWidth) Fail();
            Value = static_cast<int>(v);
            return true;
        }
        if (i >= FFmt.size() || FFmt[i] < '0' || FFmt[i] > '9') return false;
        int64_t v = 0;
        while (i < FFmt.size() && FFmt[i] >= '0' && FFmt[i] <= '9') {
            v = v * 10 + (FFmt[i++] - '0');
            if (v > kMaxFieldWidth) Fail();
        }
        Value = static_cast<int>(v);
        return true;
    }

    std::string Specifier(size_t& i) {
        int width = 0;
        bool hasWidth = Number(i, width);
        if (hasWidth && i < FFmt.size() && FFmt[i] == ':') {  // it was an argument index
            if (width < 0) Fail();
            FArgIndex = size_t(width);
            ++i;
            hasWidth = false;
            width = 0;
        }
        bool left = false;
        if (!hasWidth && i < FFmt.size() && FFmt[i] == '-') {
            left = true;
            ++i;
        }
        if (!hasWidth) Number(i, width);
        if (width < 0) {  // a negative "*" width justifies to the left
            left = true;
            width = -width;
        }
        int precision = -1;
        if (i < FFmt.size() && FFmt[i] == '.') {
            ++i;
            precision = 0;
            Number(i, precision);
            if (precision < 0) precision = -1;  // a negative "*" precision: the default
        }
        if (i >= FFmt.size()) Fail();
        char type = FFmt[i++];
        if (type >= 'A' && type <= 'Z') type = char(type - 'A' + 'a');
        std::string text = Convert(type, precision);
        int length = Utf8Length(text);
        if (length < width) {
            std::string pad(size_t(width - length), ' ');
            text = left ? text + pad : pad + text;
        }
        return text;
    }

    double RealArg() {
        const TVarRec& a = NextArg();
        if (a.Kind() == TVarRec::vtExtended) return a.AsReal();
        if (a.Kind() == TVarRec::vtUnsigned) return static_cast<double>(uint64_t(a.AsInt64()));
        if (a.IsInteger()) return static_cast<double>(a.AsInt64());
        Fail();
    }

    static std::string MinDigits(std::string digits, int precision) {
        if (precision > static_cast<int>(digits.size()))
            digits.insert(0, size_t(precision) - digits.size(), '0');
        return digits;
    }

    std::string Convert(char type, int precision) {
        switch (type) {
            case 'd': {
                const TVarRec& a = NextArg();
                if (!a.IsInteger()) Fail();
                if (a.Kind() == TVarRec::vtUnsigned)
                    return MinDigits(IntToStr(uint64_t(a.AsInt64())), precision);
                int64_t v = a.AsInt64();
                std::string digits =
                    MinDigits(IntToStr(v < 0 ? uint64_t(0) - uint64_t(v) : uint64_t(v)), precision);
                return v < 0 ? "-" + digits : digits;
            }
            case 'u': {
                const TVarRec& a = NextArg();
                if (!a.IsInteger()) Fail();
                uint64_t v = a.Is32Bit() ? uint64_t(uint32_t(a.AsInt64())) : uint64_t(a.AsInt64());
                return MinDigits(IntToStr(v), precision);
            }
            case 'x': {
                const TVarRec& a = NextArg();
                if (!a.IsInteger()) Fail();
                uint64_t v = a.Is32Bit() ? uint64_t(uint32_t(a.AsInt64())) : uint64_t(a.AsInt64());
                return IntToHex(v, std::max(precision, 1));
            }
            case 'e': {
                double v = RealArg();
                int p = precision < 0 ? 15 : std::clamp(precision, 1, 18);
                return FloatToStrF(v, ffExponent, p, 3, FSettings);
            }
            case 'f':
            case 'n': {
                double v = RealArg();
                int p = precision < 0 ? 2 : std::min(precision, 18);
                return FloatToStrF(v, type == 'f' ? ffFixed : ffNumber, 18, p, FSettings);
            }
            case 'g': {
                double v = RealArg();
                int p = precision < 0 ? 15 : std::clamp(precision, 1, 18);
                return FloatToStrF(v, ffGeneral, p, 0, FSettings);
            }
            case 'm': {
                double v = RealArg();
                int p = precision < 0 ? FSettings.CurrencyDecimals : std::min(precision, 18);
                return FloatToStrF(v, ffCurrency, 18, p, FSettings);
            }
            case 's': {
                const TVarRec& a = NextArg();
                if (a.Kind() != TVarRec::vtString && a.Kind() != TVarRec::vtChar) Fail();
                return precision >= 0 ? Utf8Truncate(a.AsString(), precision) : a.AsString();
            }
            case 'p': {
                const TVarRec& a = NextArg();
                if (a.Kind() != TVarRec::vtPointer) Fail();
                return IntToHex(reinterpret_cast<uintptr_t>(a.AsPointer()), 16);
            }
            default:
                Fail();
        }
    }

    std::string_view FFmt;
    const std::vector<TVarRec>& FArgs;
    const TFormatSettings& FSettings;
    size_t FArgIndex = 0;
};

}  // namespace

std::string Format(std::string_view Fmt, const std::vector<TVarRec>& Args,
                   const TFormatSettings& Settings) {
    return TFormatter(Fmt, Args, Settings).Run();
}

std::string Format(std::string_view Fmt, const std::vector<TVarRec>& Args) {
    return TFormatter(Fmt, Args, FormatSettings).Run();
}

}  // namespace kovo
