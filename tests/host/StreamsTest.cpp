#include "host/Streams.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "host/Exceptions.h"

using namespace kovo;

namespace {

class StreamFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        char dir[] = "/tmp/kovo_streams_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        FDir = dir;
    }
    void TearDown() override { std::system(("rm -rf " + FDir).c_str()); }
    std::string Path(const char* name) const { return FDir + "/" + name; }
    std::string FDir;
};

}  // namespace

TEST(MemoryStream, WriteSeekReadRoundTrip) {
    TMemoryStream m;
    m.WriteBuffer("hello world", 11);
    EXPECT_EQ(m.Size(), 11);
    EXPECT_EQ(m.Position(), 11);
    EXPECT_EQ(m.Seek(-5, soEnd), 6);
    char buf[8] = {};
    EXPECT_EQ(m.Read(buf, 100), 5);
    EXPECT_STREQ(buf, "world");
    EXPECT_EQ(m.Read(buf, 1), 0);  // at the end
    m.SetPosition(0);
    m.WriteBuffer("J", 1);
    EXPECT_EQ(std::memcmp(m.Memory(), "Jello world", 11), 0);
    EXPECT_EQ(m.Seek(2, soCurrent), 3);
}

TEST(MemoryStream, WritingPastTheEndFillsWithZeros) {
    TMemoryStream m;
    m.SetPosition(4);
    m.WriteBuffer("x", 1);
    ASSERT_EQ(m.Size(), 5);
    const auto* p = static_cast<const uint8_t*>(m.Memory());
    EXPECT_EQ(p[0] + p[1] + p[2] + p[3], 0);
    EXPECT_EQ(p[4], 'x');
    m.SetSize(2);
    EXPECT_EQ(m.Position(), 2);  // cut back with the size
    m.Clear();
    EXPECT_EQ(m.Size(), 0);
    EXPECT_EQ(m.Position(), 0);
}

TEST(MemoryStream, ErrorsAreStreamErrors) {
    TMemoryStream m;
    m.WriteBuffer("abc", 3);
    m.SetPosition(1);
    char buf[4];
    try {
        m.ReadBuffer(buf, 3);
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
    EXPECT_THROW(m.Seek(-1, soBeginning), EStreamError);
    EXPECT_THROW(m.SetSize(-1), EStreamError);
    EXPECT_THROW(m.ReadBuffer(buf, -1), EReadError);
    EXPECT_EQ(m.Size(), 3);
}

TEST(StringStream, HoldsBytesAsAString) {
    TStringStream s("abc");
    EXPECT_EQ(s.Size(), 3);
    EXPECT_EQ(s.Position(), 0);
    EXPECT_EQ(s.ReadString(2), "ab");
    s.Seek(0, soEnd);
    s.WriteString("def");
    EXPECT_EQ(s.DataString(), "abcdef");
    s.SetPosition(4);
    EXPECT_EQ(s.ReadString(100), "ef");
    EXPECT_EQ(s.ReadString(5), "");
    std::string zeros("a\0b", 3);
    TStringStream z(zeros);
    EXPECT_EQ(z.DataString(), zeros);
}

TEST(BytesStream, StartsWithItsBytes) {
    TBytesStream b({1, 2, 3});
    uint8_t x = 0;
    b.SetPosition(2);
    b.ReadBuffer(&x, 1);
    EXPECT_EQ(x, 3);
    b.WriteBuffer("\x04", 1);
    EXPECT_EQ(b.Bytes(), (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST(Stream, CopyFromCopiesAllOrPart) {
    TStringStream source("0123456789");
    TMemoryStream dest;
    source.SetPosition(7);
    EXPECT_EQ(dest.CopyFrom(&source, 0), 10);  // 0: everything from the start
    EXPECT_EQ(dest.Size(), 10);
    source.SetPosition(2);
    TStringStream part;
    EXPECT_EQ(part.CopyFrom(&source, 3), 3);
    EXPECT_EQ(part.DataString(), "234");
    source.SetPosition(8);
    EXPECT_THROW(part.CopyFrom(&source, 5), EReadError);
}

TEST_F(StreamFiles, FileStreamRoundTrip) {
    std::string name = Path("data.bin");
    {
        TFileStream f(name, fmCreate);
        f.WriteBuffer("abcdef", 6);
        EXPECT_EQ(f.Size(), 6);
        f.SetSize(4);
        EXPECT_EQ(f.Position(), 4);
    }
    {
        TFileStream f(name, fmOpenReadWrite | fmShareDenyNone);
        EXPECT_EQ(f.Size(), 4);
        f.Seek(0, soEnd);
        f.WriteBuffer("XY", 2);
    }
    TFileStream f(name, fmOpenRead);
    char buf[8] = {};
    f.ReadBuffer(buf, 6);
    EXPECT_STREQ(buf, "abcdXY");
    EXPECT_THROW(f.ReadBuffer(buf, 1), EReadError);
    EXPECT_THROW(f.WriteBuffer("z", 1), EWriteError);  // opened for reading only
}

TEST_F(StreamFiles, OpenAndCreateFailuresNameTheFile) {
    std::string missing = Path("missing.bin");
    try {
        TFileStream f(missing, fmOpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \"" + missing + "\". " + std::strerror(ENOENT));
    }
    std::string nodir = Path("no/such/dir.bin");
    try {
        TFileStream f(nodir, fmCreate);
        FAIL();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + nodir + "\". " + std::strerror(ENOENT));
    }
    EXPECT_THROW(TFileStream(FDir, fmOpenRead), EFOpenError);  // a directory
    EXPECT_THROW(TFileStream(FDir, fmCreate), EFCreateError);
}

TEST_F(StreamFiles, MemoryStreamLoadsAndSavesFiles) {
    std::string name = Path("mem.bin");
    TMemoryStream m;
    m.WriteBuffer("payload", 7);
    m.SaveToFile(name);
    TMemoryStream back;
    back.WriteBuffer("old contents that are longer", 28);
    back.LoadFromFile(name);
    EXPECT_EQ(back.Size(), 7);
    EXPECT_EQ(back.Position(), 0);
    EXPECT_EQ(std::memcmp(back.Memory(), "payload", 7), 0);
    EXPECT_THROW(back.LoadFromFile(Path("nope")), EFOpenError);
    EXPECT_EQ(back.Size(), 7);
}
