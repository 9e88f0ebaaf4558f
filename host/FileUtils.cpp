#include "host/FileUtils.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <vector>

#include "host/Exceptions.h"

namespace kovo {

namespace {

bool StatPath(const std::string& path, struct stat& st) {
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

TDateTime LocalDateTime(time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    TDateTime v = 0;
    TryEncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                      local.tm_min, std::min(local.tm_sec, 59), 0, v);
    return v;
}

}  // namespace

bool FileExists(const std::string& FileName) {
    struct stat st {};
    return StatPath(FileName, st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& Directory) {
    struct stat st {};
    return StatPath(Directory, st) && S_ISDIR(st.st_mode);
}

bool CreateDir(const std::string& Dir) {
    return !Dir.empty() && ::mkdir(Dir.c_str(), 0777) == 0;
}

bool ForceDirectories(const std::string& Dir) {
    if (Dir.empty()) throw EInOutError("Unable to create directory", 5);
    std::string d = ExcludeTrailingPathDelimiter(Dir);
    if (DirectoryExists(d)) return true;
    std::string parent = ExtractFileDir(d);
    if (parent.empty() || parent == d) return CreateDir(d);
    return ForceDirectories(parent) && (CreateDir(d) || DirectoryExists(d));
}

bool RemoveDir(const std::string& Dir) {
    return !Dir.empty() && ::rmdir(Dir.c_str()) == 0;
}

bool DeleteFile(const std::string& FileName) {
    if (DirectoryExists(FileName)) return false;
    return !FileName.empty() && ::unlink(FileName.c_str()) == 0;
}

bool RenameFile(const std::string& OldName, const std::string& NewName) {
    if (OldName.empty() || NewName.empty()) return false;
    return std::rename(OldName.c_str(), NewName.c_str()) == 0;
}

std::string GetCurrentDir() {
    std::vector<char> buf(4096);
    while (::getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE || buf.size() > (1u << 20)) return std::string();
        buf.resize(buf.size() * 2);
    }
    return std::string(buf.data());
}

bool SetCurrentDir(const std::string& Dir) {
    return !Dir.empty() && ::chdir(Dir.c_str()) == 0;
}

bool FileAge(const std::string& FileName, TDateTime& FileDateTime) {
    struct stat st {};
    if (!StatPath(FileName, st)) return false;
    FileDateTime = LocalDateTime(st.st_mtime);
    return true;
}

// ---------------------------------------------------------------------------------------
// Directory search

struct TSearchState {
    std::string Dir;                 // with a trailing delimiter
    std::vector<std::string> Names;  // matching names, sorted
    size_t Next = 0;
};

bool MatchesMask(const std::string& Name, const std::string& Mask) {
    if (Mask == "*" || Mask == "*.*") return true;
    std::u32string n = Utf8Decode(Name), m = Utf8Decode(Mask);
    // Greedy matching with one back-track point for the last "*": linear in practice and
    // never exponential.
    size_t i = 0, j = 0, star = std::u32string::npos, mark = 0;
    while (i < n.size()) {
        if (j < m.size() && (m[j] == U'?' || m[j] == n[i])) {
            ++i;
            ++j;
        } else if (j < m.size() && m[j] == U'*') {
            star = j++;
            mark = i;
        } else if (star != std::u32string::npos) {
            j = star + 1;
            i = ++mark;
        } else {
            return false;
        }
    }
    while (j < m.size() && m[j] == U'*') ++j;
    return j == m.size();
}

namespace {

// Fills the record from the entry; false when the filter excludes it or it vanished.
bool Describe(TSearchState& s, const std::string& name, int excludeAttr, TSearchRec& F) {
    std::string full = s.Dir + name;
    struct stat lst {
    }, st{};
    if (::lstat(full.c_str(), &lst) != 0) return false;
    int attr = 0;
    if (S_ISLNK(lst.st_mode)) {
        attr |= faSymLink;
        if (::stat(full.c_str(), &st) != 0) st = lst;  // a dangling link: describe the link
    } else {
        st = lst;
    }
    if (S_ISDIR(st.st_mode))
        attr |= faDirectory;
    else if (S_ISREG(st.st_mode))
        attr |= faArchive;
    else
        attr |= faSysFile;
    if (name.size() > 1 && name[0] == '.' && name != "..") attr |= faHidden;
    if (::access(full.c_str(), W_OK) != 0) attr |= faReadOnly;
    if ((attr & excludeAttr) != 0) return false;
    F.Name = name;
    F.Attr = attr;
    F.Size = S_ISDIR(st.st_mode) ? 0 : int64_t(st.st_size);
    F.TimeStamp = LocalDateTime(st.st_mtime);
    F.Time = DateTimeToFileDate(F.TimeStamp);
    return true;
}

int Advance(TSearchRec& F) {
    TSearchState* s = F.FindHandle.get();
    if (s == nullptr) return 18;
    while (s->Next < s->Names.size()) {
        const std::string& name = s->Names[s->Next++];
        if (Describe(*s, name, F.ExcludeAttr, F)) return 0;
    }
    return 18;
}

}  // namespace

int FindFirst(const std::string& Path, int Attr, TSearchRec& F) {
    FindClose(F);
    std::string dir = ExtractFilePath(Path);
    std::string mask = ExtractFileName(Path);
    std::string openName = dir.empty() ? std::string(".") : dir;
    DIR* d = ::opendir(openName.c_str());
    if (d == nullptr) return errno == ENOENT || errno == ENOTDIR ? 3 : 5;
    auto state = std::make_shared<TSearchState>();
    state->Dir = dir;
    while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (MatchesMask(name, mask)) state->Names.push_back(std::move(name));
    }
    ::closedir(d);
    std::sort(state->Names.begin(), state->Names.end());
    F.ExcludeAttr = ~Attr & (faHidden | faSysFile | faDirectory);
    F.FindHandle = std::move(state);
    if (Advance(F) == 0) return 0;
    FindClose(F);
    return 2;
}

int FindNext(TSearchRec& F) {
    return Advance(F);
}

void FindClose(TSearchRec& F) {
    F.FindHandle.reset();
}

// ---------------------------------------------------------------------------------------
// File names

std::string ExtractFilePath(const std::string& FileName) {
    size_t p = FileName.rfind(PathDelim);
    return p == std::string::npos ? std::string() : FileName.substr(0, p + 1);
}

std::string ExtractFileDir(const std::string& FileName) {
    size_t p = FileName.rfind(PathDelim);
    if (p == std::string::npos) return std::string();
    if (p == 0) return std::string(1, PathDelim);
    return FileName.substr(0, p);
}

std::string ExtractFileName(const std::string& FileName) {
    size_t p = FileName.rfind(PathDelim);
    return p == std::string::npos ? FileName : FileName.substr(p + 1);
}

std::string ExtractFileExt(const std::string& FileName) {
    size_t p = FileName.find_last_of(std::string(1, PathDelim) + '.');
    if (p == std::string::npos || FileName[p] != '.') return std::string();
    return FileName.substr(p);
}

std::string ChangeFileExt(const std::string& FileName, const std::string& Extension) {
    size_t p = FileName.find_last_of(std::string(1, PathDelim) + '.');
    if (p == std::string::npos || FileName[p] != '.') return FileName + Extension;
    return FileName.substr(0, p) + Extension;
}

std::string IncludeTrailingPathDelimiter(const std::string& S) {
    if (!S.empty() && S.back() == PathDelim) return S;
    return S + PathDelim;
}

std::string ExcludeTrailingPathDelimiter(const std::string& S) {
    if (S.size() > 1 && S.back() == PathDelim) return S.substr(0, S.size() - 1);
    return S;
}

std::string ExpandFileName(const std::string& FileName) {
    if (FileName.empty()) return std::string();
    std::string full = FileName[0] == PathDelim
                           ? FileName
                           : IncludeTrailingPathDelimiter(GetCurrentDir()) + FileName;
    std::vector<std::string> parts;
    size_t i = 0;
    while (i <= full.size()) {
        size_t j = full.find(PathDelim, i);
        if (j == std::string::npos) j = full.size();
        std::string part = full.substr(i, j - i);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        i = j + 1;
    }
    std::string r;
    for (const std::string& p : parts) r += PathDelim + p;
    if (r.empty()) r = std::string(1, PathDelim);
    // A name that ended in a delimiter keeps it ("dir/" stays a directory name).
    if (full.back() == PathDelim && r.size() > 1) r += PathDelim;
    return r;
}

}  // namespace kovo
