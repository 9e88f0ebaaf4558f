// String, file and stream helpers of the base package.
#include <random>

#include "foundation/kovocore.h"
#include "host/FileUtils.h"
#include "host/SysUtils.h"

namespace kovo {

std::string LeftString(const std::string& S, int N) {
    int len = Utf8Length(S);
    if (len >= N) return S;
    return S + std::string(size_t(N - len), ' ');
}

std::string EnsureTrailingChar(char C, const std::string& S) {
    if (!S.empty() && S.back() == C) return S;
    return S + C;
}

std::string EnsureTrailingBkSlash(const std::string& S) {
    return EnsureTrailingChar('\\', S);
}

std::string StripLeadingChars(char C, const std::string& S) {
    size_t i = 0;
    while (i < S.size() && S[i] == C) ++i;
    return S.substr(i);
}

std::string StripTrailingChars(char C, const std::string& S) {
    size_t n = S.size();
    while (n > 0 && S[n - 1] == C) --n;
    return S.substr(0, n);
}

std::string RemoveControlChars(const std::string& S) {
    std::string r;
    r.reserve(S.size());
    for (char c : S)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) r += c;
    return r;
}

std::string ReplaceCharInString(const std::string& S, char OldChar, char NewChar) {
    std::string r = S;
    for (char& c : r)
        if (c == OldChar) c = NewChar;
    return r;
}

int NumberedPos(const std::string& Sub, const std::string& S, int Start, int N, bool IgnoreCase) {
    if (Sub.empty() || N < 1) return 0;
    if (Start < 1) Start = 1;
    std::string hay = IgnoreCase ? LowerCase(S) : S;
    std::string needle = IgnoreCase ? LowerCase(Sub) : Sub;
    size_t from = size_t(Start - 1);
    for (int k = 1; from <= hay.size(); ++k) {
        size_t p = hay.find(needle, from);
        if (p == std::string::npos) return 0;
        if (k == N) return int(p) + 1;
        from = p + needle.size();
    }
    return 0;
}

int Tokenize(const std::string& S, const std::string& Delimiters, TOpenStringArray& Items) {
    Items.clear();
    if (S.empty()) return 0;
    size_t start = 0;
    for (size_t i = 0; i < S.size(); ++i) {
        if (Delimiters.find(S[i]) != std::string::npos) {
            Items.push_back(S.substr(start, i - start));
            start = i + 1;
        }
    }
    Items.push_back(S.substr(start));
    return int(Items.size());
}

std::string strff(double X, int Width, int Decimals) {
    if (Decimals < 0) Decimals = 0;
    return Str(X, Width, Decimals);
}

bool DirExists(const std::string& Path) {
    return !Path.empty() && DirectoryExists(Path);
}

std::string ParentDir(const std::string& Path) {
    std::string p = Path;
    while (p.size() > 1 && p.back() == PathDelim) p.pop_back();
    size_t slash = p.find_last_of(PathDelim);
    if (slash == std::string::npos || p == "/") return std::string();
    if (slash == 0) return "/";
    return p.substr(0, slash);
}

const char* const PasswordAlphabet = "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz23456789";

std::string InventPassword(int N) {
    if (N < 1) return std::string();
    if (N > MaxPasswordLength) N = MaxPasswordLength;
    static std::mt19937 engine{std::random_device{}()};
    const std::string_view alphabet(PasswordAlphabet);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::string r;
    r.reserve(size_t(N));
    for (int i = 0; i < N; ++i) r += alphabet[pick(engine)];
    return r;
}

std::string ReadLnStream(TStream* Stream, bool& Eof, int MaxLength) {
    std::string line;
    Eof = true;
    if (Stream == nullptr) return line;
    // Collect whole characters: a cut line is trimmed to MaxLength characters at the end.
    const size_t byteCap = MaxLength > 0 ? size_t(MaxLength) * 4 : std::string::npos;
    char buf[4096];
    for (;;) {
        int64_t n = Stream->Read(buf, sizeof buf);
        if (n <= 0) break;
        for (int64_t i = 0; i < n; ++i) {
            char c = buf[i];
            if (c != '\n' && c != '\r') {
                if (line.size() < byteCap) line += c;
                continue;
            }
            int64_t consumed = i + 1;
            if (c == '\r') {
                if (i + 1 < n) {
                    if (buf[i + 1] == '\n') ++consumed;
                } else {
                    char d;
                    if (Stream->Read(&d, 1) == 1 && d != '\n') Stream->Seek(-1, soCurrent);
                }
            }
            if (n > consumed) Stream->Seek(-(n - consumed), soCurrent);
            char d;
            if (Stream->Read(&d, 1) == 1) {
                Stream->Seek(-1, soCurrent);
                Eof = false;
            }
            return MaxLength > 0 ? Utf8Truncate(line, MaxLength) : line;
        }
    }
    return MaxLength > 0 ? Utf8Truncate(line, MaxLength) : line;
}

}  // namespace kovo
