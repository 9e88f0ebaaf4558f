// Classic text files: AssignFile a name, open with Reset (read), Rewrite (create) or Append,
// read and write lines, CloseFile. Lines end with LF when written; reading takes LF, CR LF
// and a lone CR. Bytes are passed through unchanged (UTF-8 stays UTF-8).
//
// Failures raise EInOutError with the classic code and the message
// "I/O error <code>: <text>" (for opening: followed by " \"<file name>\""):
//   2 File not found, 3 Path not found, 4 Too many open files, 5 Access denied,
//   100 Disk read error, 101 Disk write error, 102 File not assigned, 103 File not open,
//   104 File not open for input, 105 File not open for output.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace kovo {

struct TextFile {
    enum TMode : uint8_t { fmClosed, fmInput, fmOutput };

    TextFile() = default;
    ~TextFile();  // closes a file that is still open
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;
    TextFile(TextFile&& Other) noexcept;
    TextFile& operator=(TextFile&& Other) noexcept;

    std::string Name;       // set by AssignFile
    TMode Mode = fmClosed;  // how the file is open
    std::FILE* Handle = nullptr;
};

void AssignFile(TextFile& F, const std::string& FileName);
void Reset(TextFile& F);      // open an existing file for reading
void Rewrite(TextFile& F);    // create (or empty) the file for writing
void Append(TextFile& F);     // open an existing file for writing at its end
void CloseFile(TextFile& F);  // a file that is not open: error 103
void Flush(TextFile& F);

// The next line without its line end; at the end of the file an empty text.
void ReadLn(TextFile& F, std::string& S);
void ReadLn(TextFile& F);  // skips a line
void Write(TextFile& F, const std::string& S);
void WriteLn(TextFile& F, const std::string& S);
void WriteLn(TextFile& F);
// True when nothing is left to read.
bool Eof(TextFile& F);
// True at a line end or the end of the file.
bool Eoln(TextFile& F);

}  // namespace kovo
