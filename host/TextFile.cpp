#include "host/TextFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <utility>

#include "host/Exceptions.h"
#include "host/FileUtils.h"

namespace kovo {

namespace {

const char* IoText(int code) {
    switch (code) {
        case 2:
            return "File not found";
        case 3:
            return "Path not found";
        case 4:
            return "Too many open files";
        case 5:
            return "Access denied";
        case 100:
            return "Disk read error";
        case 101:
            return "Disk write error";
        case 102:
            return "File not assigned";
        case 103:
            return "File not open";
        case 104:
            return "File not open for input";
        case 105:
            return "File not open for output";
        default:
            return "I/O failure";
    }
}

[[noreturn]] void IoError(int code) {
    throw EInOutError("I/O error " + std::to_string(code) + ": " + IoText(code), code);
}

[[noreturn]] void OpenError(int code, const std::string& name) {
    throw EInOutError(
        "I/O error " + std::to_string(code) + ": " + IoText(code) + " \"" + name + "\"", code);
}

// The classic code of a failed open.
int OpenErrorCode(int err, const std::string& name) {
    switch (err) {
        case ENOENT: {
            std::string dir = ExtractFileDir(name);
            return dir.empty() || DirectoryExists(dir) ? 2 : 3;
        }
        case ENOTDIR:
        case ENAMETOOLONG:
            return 3;
        case EMFILE:
        case ENFILE:
            return 4;
        default:
            return 5;  // EACCES, EPERM, EROFS, EISDIR and the rest
    }
}

void Open(TextFile& F, const char* mode, TextFile::TMode as, bool mustExist) {
    if (F.Name.empty()) IoError(102);
    if (F.Handle != nullptr) CloseFile(F);
    struct stat st {};
    bool exists = ::stat(F.Name.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) OpenError(5, F.Name);
    if (mustExist && !exists) OpenError(OpenErrorCode(ENOENT, F.Name), F.Name);
    std::FILE* h = std::fopen(F.Name.c_str(), mode);
    if (h == nullptr) OpenError(OpenErrorCode(errno, F.Name), F.Name);
    F.Handle = h;
    F.Mode = as;
}

std::FILE* Input(TextFile& F) {
    if (F.Handle == nullptr) IoError(103);
    if (F.Mode != TextFile::fmInput) IoError(104);
    return F.Handle;
}

std::FILE* Output(TextFile& F) {
    if (F.Handle == nullptr) IoError(103);
    if (F.Mode != TextFile::fmOutput) IoError(105);
    return F.Handle;
}

}  // namespace

TextFile::~TextFile() {
    if (Handle != nullptr) std::fclose(Handle);
}

TextFile::TextFile(TextFile&& Other) noexcept
    : Name(std::move(Other.Name)), Mode(Other.Mode), Handle(std::exchange(Other.Handle, nullptr)) {
    Other.Mode = fmClosed;
}

TextFile& TextFile::operator=(TextFile&& Other) noexcept {
    if (this != &Other) {
        if (Handle != nullptr) std::fclose(Handle);
        Name = std::move(Other.Name);
        Mode = std::exchange(Other.Mode, fmClosed);
        Handle = std::exchange(Other.Handle, nullptr);
    }
    return *this;
}

void AssignFile(TextFile& F, const std::string& FileName) {
    if (F.Handle != nullptr) {
        std::fclose(F.Handle);
        F.Handle = nullptr;
    }
    F.Mode = TextFile::fmClosed;
    F.Name = FileName;
}

void Reset(TextFile& F) {
    Open(F, "rb", TextFile::fmInput, true);
}

void Rewrite(TextFile& F) {
    Open(F, "wb", TextFile::fmOutput, false);
}

void Append(TextFile& F) {
    Open(F, "ab", TextFile::fmOutput, true);
}

void CloseFile(TextFile& F) {
    if (F.Handle == nullptr) IoError(103);
    bool ok = std::fclose(F.Handle) == 0;
    F.Handle = nullptr;
    TextFile::TMode mode = F.Mode;
    F.Mode = TextFile::fmClosed;
    if (!ok && mode == TextFile::fmOutput) IoError(101);
}

void Flush(TextFile& F) {
    if (std::fflush(Output(F)) != 0) IoError(101);
}

void ReadLn(TextFile& F, std::string& S) {
    std::FILE* h = Input(F);
    S.clear();
    int c;
    while ((c = std::getc(h)) != EOF) {
        if (c == '\n') return;
        if (c == '\r') {
            int next = std::getc(h);
            if (next != '\n' && next != EOF) std::ungetc(next, h);
            return;
        }
        S += static_cast<char>(c);
    }
    if (std::ferror(h)) IoError(100);
}

void ReadLn(TextFile& F) {
    std::string skipped;
    ReadLn(F, skipped);
}

void Write(TextFile& F, const std::string& S) {
    std::FILE* h = Output(F);
    if (!S.empty() && std::fwrite(S.data(), 1, S.size(), h) != S.size()) IoError(101);
}

void WriteLn(TextFile& F, const std::string& S) {
    Write(F, S);
    Write(F, "\n");
}

void WriteLn(TextFile& F) {
    Write(F, "\n");
}

bool Eof(TextFile& F) {
    std::FILE* h = Input(F);
    int c = std::getc(h);
    if (c == EOF) {
        if (std::ferror(h)) IoError(100);
        return true;
    }
    std::ungetc(c, h);
    return false;
}

bool Eoln(TextFile& F) {
    std::FILE* h = Input(F);
    int c = std::getc(h);
    if (c == EOF) return true;
    std::ungetc(c, h);
    return c == '\n' || c == '\r';
}

}  // namespace kovo
