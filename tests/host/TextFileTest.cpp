#include "host/TextFile.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/Exceptions.h"

using namespace kovo;

namespace {

class TextFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        char dir[] = "/tmp/kovo_textfile_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        FDir = dir;
    }
    void TearDown() override {
        std::system(("chmod -R u+rw " + FDir + "; rm -rf " + FDir).c_str());
    }
    std::string Path(const char* name) const { return FDir + "/" + name; }

    static std::vector<std::string> ReadAll(const std::string& name) {
        TextFile f;
        AssignFile(f, name);
        Reset(f);
        std::vector<std::string> lines;
        while (!Eof(f)) {
            std::string line;
            ReadLn(f, line);
            lines.push_back(line);
        }
        CloseFile(f);
        return lines;
    }

    static int ErrorCode(void (*op)(TextFile&), const std::string& name) {
        TextFile f;
        AssignFile(f, name);
        try {
            op(f);
        } catch (const EInOutError& e) {
            return e.ErrorCode;
        }
        return 0;
    }

    std::string FDir;
};

}  // namespace

TEST_F(TextFiles, WriteReadAppend) {
    std::string name = Path("lines.txt");
    TextFile f;
    AssignFile(f, name);
    Rewrite(f);
    WriteLn(f, "first");
    Write(f, "sec");
    WriteLn(f, "ond");
    WriteLn(f);
    CloseFile(f);
    EXPECT_EQ(ReadAll(name), (std::vector<std::string>{"first", "second", ""}));

    Append(f);
    WriteLn(f, "\xC3\xA4 appended");
    CloseFile(f);
    EXPECT_EQ(ReadAll(name),
              (std::vector<std::string>{"first", "second", "", "\xC3\xA4 appended"}));

    Rewrite(f);  // empties the file
    CloseFile(f);
    EXPECT_TRUE(ReadAll(name).empty());
}

TEST_F(TextFiles, ReadingTakesEveryLineEnd) {
    std::string name = Path("mixed.txt");
    FILE* raw = std::fopen(name.c_str(), "wb");
    std::fputs("dos\r\nmac\runix\nlast", raw);
    std::fclose(raw);
    EXPECT_EQ(ReadAll(name), (std::vector<std::string>{"dos", "mac", "unix", "last"}));

    TextFile f;
    AssignFile(f, name);
    Reset(f);
    EXPECT_FALSE(Eoln(f));
    ReadLn(f);  // skip "dos"
    std::string line;
    ReadLn(f, line);
    EXPECT_EQ(line, "mac");
    ReadLn(f);
    ReadLn(f);
    EXPECT_TRUE(Eof(f));
    EXPECT_TRUE(Eoln(f));
    ReadLn(f, line);  // past the end: an empty text, no error
    EXPECT_EQ(line, "");
    CloseFile(f);
}

TEST_F(TextFiles, OpenErrorsCarryTheClassicCodes) {
    EXPECT_EQ(ErrorCode(Reset, Path("missing.txt")), 2);
    EXPECT_EQ(ErrorCode(Append, Path("missing.txt")), 2);
    EXPECT_EQ(ErrorCode(Reset, Path("nodir/x.txt")), 3);
    EXPECT_EQ(ErrorCode(Rewrite, Path("nodir/x.txt")), 3);
    EXPECT_EQ(ErrorCode(Reset, FDir), 5);  // a directory
    EXPECT_EQ(ErrorCode(Reset, ""), 102);

    std::string name = Path("missing.txt");
    TextFile f;
    AssignFile(f, name);
    try {
        Reset(f);
        FAIL();
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Message(), "I/O error 2: File not found \"" + name + "\"");
    }
}

TEST_F(TextFiles, AccessDeniedWhenTheFileIsNotReadable) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    std::string name = Path("locked.txt");
    TextFile f;
    AssignFile(f, name);
    Rewrite(f);
    CloseFile(f);
    chmod(name.c_str(), 0);
    EXPECT_EQ(ErrorCode(Reset, name), 5);
}

TEST_F(TextFiles, UsingAFileInTheWrongStateFails) {
    std::string name = Path("state.txt");
    TextFile f;
    AssignFile(f, name);
    std::string line;
    try {
        ReadLn(f, line);
        FAIL();
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode, 103);
        EXPECT_EQ(e.Message(), "I/O error 103: File not open");
    }
    EXPECT_THROW(CloseFile(f), EInOutError);
    Rewrite(f);
    try {
        ReadLn(f, line);
        FAIL();
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode, 104);
    }
    CloseFile(f);
    Reset(f);
    try {
        WriteLn(f, "x");
        FAIL();
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode, 105);
    }
    // Destroying an open file closes it (the sanitizer build checks nothing leaks).
}

TEST_F(TextFiles, MovedFileKeepsItsHandle) {
    std::string name = Path("moved.txt");
    TextFile a;
    AssignFile(a, name);
    Rewrite(a);
    TextFile b(std::move(a));
    WriteLn(b, "via b");
    EXPECT_THROW(WriteLn(a, "via a"), EInOutError);
    CloseFile(b);
    EXPECT_EQ(ReadAll(name), std::vector<std::string>{"via b"});
}
