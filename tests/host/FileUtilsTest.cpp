#include "host/FileUtils.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/Exceptions.h"

using namespace kovo;

namespace {

// A directory with a.txt (3 bytes), b.dat, c.txt, .hidden and the folder sub.
class FileSearch : public ::testing::Test {
  protected:
    void SetUp() override {
        char dir[] = "/tmp/kovo_files_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        FDir = std::string(dir) + "/";
        Touch("a.txt", "abc");
        Touch("b.dat", "");
        Touch("c.txt", "");
        Touch(".hidden", "");
        ASSERT_TRUE(CreateDir(FDir + "sub"));
    }
    void TearDown() override { std::system(("rm -rf " + FDir).c_str()); }

    void Touch(const char* name, const char* text) {
        FILE* f = std::fopen((FDir + name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs(text, f);
        std::fclose(f);
    }

    std::vector<std::string> List(const std::string& mask, int attr) {
        std::vector<std::string> names;
        TSearchRec rec;
        if (FindFirst(FDir + mask, attr, rec) == 0) {
            do names.push_back(rec.Name);
            while (FindNext(rec) == 0);
            FindClose(rec);
        }
        return names;
    }

    std::string FDir;
};

using Names = std::vector<std::string>;

}  // namespace

TEST_F(FileSearch, AttributesChooseTheEntries) {
    EXPECT_EQ(List("*.*", faAnyFile),
              (Names{".", "..", ".hidden", "a.txt", "b.dat", "c.txt", "sub"}));
    EXPECT_EQ(List("*", 0), (Names{"a.txt", "b.dat", "c.txt"}));
    EXPECT_EQ(List("*.*", faDirectory), (Names{".", "..", "a.txt", "b.dat", "c.txt", "sub"}));
    EXPECT_EQ(List("*", faHidden), (Names{".hidden", "a.txt", "b.dat", "c.txt"}));
}

TEST_F(FileSearch, WildcardsSelectNames) {
    EXPECT_EQ(List("*.txt", faAnyFile), (Names{"a.txt", "c.txt"}));
    EXPECT_EQ(List("?.dat", faAnyFile), (Names{"b.dat"}));
    EXPECT_EQ(List("s*", faDirectory), (Names{"sub"}));
    EXPECT_EQ(List("a.txt", 0), (Names{"a.txt"}));
    EXPECT_TRUE(List("*.TXT", faAnyFile).empty());  // names compare exactly
}

TEST_F(FileSearch, RecordsDescribeTheEntry) {
    TSearchRec rec;
    ASSERT_EQ(FindFirst(FDir + "a.txt", faAnyFile, rec), 0);
    EXPECT_EQ(rec.Size, 3);
    EXPECT_EQ(rec.Attr & faDirectory, 0);
    EXPECT_NE(rec.Attr & faArchive, 0);
    EXPECT_GT(rec.TimeStamp, EncodeDate(2000, 1, 1));
    EXPECT_NEAR(FileDateToDateTime(rec.Time), rec.TimeStamp, 2.0 / SecsPerDay + 1e-9);
    EXPECT_EQ(FindNext(rec), 18);
    FindClose(rec);

    ASSERT_EQ(FindFirst(FDir + "sub", faDirectory, rec), 0);
    EXPECT_NE(rec.Attr & faDirectory, 0);
    ASSERT_EQ(FindFirst(FDir + ".hidden", faHidden, rec), 0);  // a new search replaces
    EXPECT_NE(rec.Attr & faHidden, 0);
}

TEST_F(FileSearch, FailuresReturnCodes) {
    TSearchRec rec;
    EXPECT_EQ(FindFirst(FDir + "*.none", faAnyFile, rec), 2);
    EXPECT_EQ(FindFirst(FDir + "missing/*", faAnyFile, rec), 3);
    EXPECT_EQ(FindFirst(FDir + ".hidden", 0, rec), 2);  // excluded by the attributes
    EXPECT_EQ(FindNext(rec), 18);                       // nothing in progress
}

TEST_F(FileSearch, SearchWithoutADirectoryUsesTheCurrentOne) {
    std::string old = GetCurrentDir();
    ASSERT_TRUE(SetCurrentDir(FDir));
    TSearchRec rec;
    EXPECT_EQ(FindFirst("*.dat", 0, rec), 0);
    EXPECT_EQ(rec.Name, "b.dat");
    EXPECT_EQ(ExpandFileName("sub/../a.txt"), FDir + "a.txt");
    ASSERT_TRUE(SetCurrentDir(old));
}

TEST_F(FileSearch, CreateRenameDelete) {
    std::string deep = FDir + "x/y/z";
    EXPECT_FALSE(CreateDir(deep));  // the parents are missing
    EXPECT_TRUE(ForceDirectories(deep + "/"));
    EXPECT_TRUE(DirectoryExists(deep));
    EXPECT_TRUE(ForceDirectories(deep));  // already there
    EXPECT_THROW(ForceDirectories(""), EInOutError);

    EXPECT_TRUE(FileExists(FDir + "a.txt"));
    EXPECT_FALSE(FileExists(FDir + "sub"));
    EXPECT_FALSE(DirectoryExists(FDir + "a.txt"));
    EXPECT_TRUE(RenameFile(FDir + "a.txt", FDir + "sub/moved.txt"));
    EXPECT_FALSE(FileExists(FDir + "a.txt"));
    EXPECT_TRUE(FileExists(FDir + "sub/moved.txt"));
    TDateTime age = 0;
    EXPECT_TRUE(FileAge(FDir + "sub/moved.txt", age));
    EXPECT_FALSE(FileAge(FDir + "gone", age));

    EXPECT_FALSE(RemoveDir(FDir + "sub"));   // not empty
    EXPECT_FALSE(DeleteFile(FDir + "sub"));  // a directory is no file
    EXPECT_TRUE(DeleteFile(FDir + "sub/moved.txt"));
    EXPECT_FALSE(DeleteFile(FDir + "sub/moved.txt"));
    EXPECT_TRUE(RemoveDir(FDir + "sub"));
    EXPECT_FALSE(DirectoryExists(FDir + "sub"));
    EXPECT_FALSE(FileExists(""));
}

TEST(FileNames, PartsOfAName) {
    struct {
        const char* name;
        const char* path;
        const char* dir;
        const char* file;
        const char* ext;
    } cases[] = {
        {"/home/u/report.txt", "/home/u/", "/home/u", "report.txt", ".txt"},
        {"archive.tar.gz", "", "", "archive.tar.gz", ".gz"},
        {"/a.b/c", "/a.b/", "/a.b", "c", ""},
        {"/x", "/", "/", "x", ""},
        {"dir/", "dir/", "dir", "", ""},
        {".profile", "", "", ".profile", ".profile"},
        {"", "", "", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
        EXPECT_EQ(ExtractFileDir(c.name), c.dir) << c.name;
        EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
        EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
    }
    EXPECT_EQ(ChangeFileExt("/a/b.txt", ".bak"), "/a/b.bak");
    EXPECT_EQ(ChangeFileExt("/a.d/b", ".bak"), "/a.d/b.bak");
    EXPECT_EQ(ChangeFileExt("b.txt", ""), "b");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/tmp"), "/tmp/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/tmp/"), "/tmp/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/tmp/"), "/tmp");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
    EXPECT_EQ(ExpandFileName("/a/./b/../c"), "/a/c");
    EXPECT_EQ(ExpandFileName("/../.."), "/");
    EXPECT_EQ(ExpandFileName("/a/b/"), "/a/b/");
    static_assert(PathDelim == '/');
}

TEST(FileNames, MasksMatchCharacters) {
    struct {
        const char* name;
        const char* mask;
        bool match;
    } cases[] = {
        {"abc", "*", true},
        {"abc", "*.*", true},
        {"a.b.c", "*.c", true},
        {"abc", "a?c", true},
        {"ac", "a?c", false},
        {"abc", "a*", true},
        {"abc", "*b", false},
        {"aXbXb", "a*b", true},
        {"", "*", true},
        {"\xC3\xA4.txt", "?.txt", true},  // "?" is one character, not one byte
        {"abc", "abc", true},
        {"abc", "abd", false},
        {"x.txt", "*.txt*", true},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*c", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchesMask(c.name, c.mask), c.match) << c.name << " " << c.mask;
}
