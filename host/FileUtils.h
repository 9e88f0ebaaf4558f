// Files, directories and file names. Names are UTF-8 byte strings and compare exactly
// (the file system's rule); the path delimiter is "/".
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/DateUtils.h"

namespace kovo {

constexpr char PathDelim = '/';
constexpr char DriveDelim = '\0';  // no drives here
constexpr char PathSep = ':';

bool FileExists(const std::string& FileName);  // a file (not a directory)
bool DirectoryExists(const std::string& Directory);
// Creates the directory and every missing parent; an empty name raises EInOutError
// "Unable to create directory".
bool ForceDirectories(const std::string& Dir);
bool CreateDir(const std::string& Dir);
bool RemoveDir(const std::string& Dir);  // an empty directory only
bool DeleteFile(const std::string& FileName);
bool RenameFile(const std::string& OldName, const std::string& NewName);
std::string GetCurrentDir();
bool SetCurrentDir(const std::string& Dir);
// Last modification, local time; false when the file does not exist.
bool FileAge(const std::string& FileName, TDateTime& FileDateTime);

// Attributes of a directory entry.
constexpr int faReadOnly = 0x01;  // the user may not write it
constexpr int faHidden = 0x02;    // a name that begins with "." (but not "." and "..")
constexpr int faSysFile = 0x04;   // neither a file nor a directory (device, pipe, socket)
constexpr int faVolumeID = 0x08;  // never set
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20;   // a regular file
constexpr int faSymLink = 0x400;  // the entry is a symbolic link (followed for the rest)
constexpr int faAnyFile = 0x1FF;

struct TSearchState;  // the state of one search, private to the search routines

struct TSearchRec {
    std::string Name;                          // the name within the directory
    int64_t Size = 0;                          // bytes (0 for directories)
    int Attr = 0;                              // fa* bits
    int Time = 0;                              // modification time, packed (FileDateToDateTime)
    TDateTime TimeStamp = 0;                   // modification time, local
    int ExcludeAttr = 0;                       // the search's filter
    std::shared_ptr<TSearchState> FindHandle;  // the search in progress
};

// Lists the entries of a directory whose names match the pattern of the last path part
// ("*" any run of characters, "?" one character; "*" and "*.*" match every name, "." and
// ".." included). Entries come sorted by name. Plain files always qualify; hidden, system
// and directory entries only when Attr asks for them (faHidden, faSysFile, faDirectory).
// Returns 0 and fills F on success; 2 when nothing matches, 3 when the directory does not
// exist, 5 when it cannot be read. FindNext returns 0 or 18 (no more entries). FindClose ends the
// search (it also ends when F is destroyed).
int FindFirst(const std::string& Path, int Attr, TSearchRec& F);
int FindNext(TSearchRec& F);
void FindClose(TSearchRec& F);
// True when Name matches Mask (the wildcards above, counted in characters).
bool MatchesMask(const std::string& Name, const std::string& Mask);

// File names.
std::string ExtractFilePath(const std::string& FileName);  // up to and with the last "/"
std::string ExtractFileDir(const std::string& FileName);   // the same without that "/"
                                                           // (except for the root "/")
std::string ExtractFileName(const std::string& FileName);
std::string ExtractFileExt(const std::string& FileName);  // from the last "." of the name
std::string ChangeFileExt(const std::string& FileName, const std::string& Extension);
std::string IncludeTrailingPathDelimiter(const std::string& S);
std::string ExcludeTrailingPathDelimiter(const std::string& S);  // "/" stays "/"
// An absolute name with "." and ".." resolved (symbolic links are left as they are).
std::string ExpandFileName(const std::string& FileName);

}  // namespace kovo
