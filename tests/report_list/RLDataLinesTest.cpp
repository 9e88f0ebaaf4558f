// Importing the lines of a text file into a column.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "host/Exceptions.h"
#include "report_list/replist.h"

using namespace kovo;

namespace {

struct LinesFixture : ::testing::Test {
    TRLData d{nullptr};
    std::string Dir;
    void SetUp() override {
        char dir[] = "/tmp/rllinesXXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        Dir = dir;
        d.SetNrOfColumns(2);
        d.SetNrOfRows(2);
        d.SetElem(1, 1, "keep");
        d.SetElem(2, 2, "old");
    }
    void TearDown() override { std::system(("rm -rf '" + Dir + "'").c_str()); }
    std::string File(const std::string& Text) {
        std::string path = Dir + "/lines.txt";
        std::ofstream(path, std::ios::binary) << Text;
        return path;
    }
};

}  // namespace

TEST_F(LinesFixture, LinesFillTheColumnAndAddRows) {
    EXPECT_EQ(d.LoadLinesFromFile(2, 2, File("a\r\n  b  \n\nlast")), 4);
    EXPECT_EQ(d.NrOfRows(), 5);
    EXPECT_EQ(d.GetElem(1, 1), "keep");
    EXPECT_EQ(d.GetElem(2, 1), "");
    EXPECT_EQ(d.GetElem(2, 2), "a");  // overwritten
    EXPECT_EQ(d.GetElem(2, 3), "  b  ");
    EXPECT_EQ(d.GetElem(2, 4), "");
    EXPECT_EQ(d.GetElem(2, 5), "last");
}

TEST_F(LinesFixture, StartsBelowTheTableAndInColumnZero) {
    EXPECT_EQ(d.LoadLinesFromFile(0, 5, File("x\ny\n")), 2);
    EXPECT_EQ(d.NrOfRows(), 6);
    EXPECT_EQ(d.GetElem(0, 4), "");
    EXPECT_EQ(d.GetElem(0, 5), "x");
    EXPECT_EQ(d.GetElem(0, 6), "y");
    EXPECT_EQ(d.LoadLinesFromFile(1, -3, File("top")), 1);  // below 1 counts as 1
    EXPECT_EQ(d.GetElem(1, 1), "top");
}

TEST_F(LinesFixture, CheckMarkColumnsKeepTheirStateAndLongLinesAreCut) {
    d.SetColumnCheckMode(1, cmBox);
    d.SetElemChecked(1, 1, true);
    EXPECT_EQ(d.LoadLinesFromFile(1, 1, File("one\n" + std::string(300, 'z') + "\n")), 2);
    EXPECT_TRUE(d.ElemChecked(1, 1));
    EXPECT_EQ(d.GetElem(1, 1), "one");
    EXPECT_FALSE(d.ElemChecked(1, 2));
    EXPECT_EQ(d.GetElem(1, 2), std::string(254, 'z'));  // 255 with the state character
}

TEST_F(LinesFixture, EmptyFilesBadColumnsAndMissingFiles) {
    EXPECT_EQ(d.LoadLinesFromFile(1, 1, File("")), 0);
    EXPECT_EQ(d.LoadLinesFromFile(3, 1, File("a\n")), 0);
    EXPECT_EQ(d.LoadLinesFromFile(-1, 1, File("a\n")), 0);
    EXPECT_EQ(d.NrOfRows(), 2);
    EXPECT_EQ(d.GetElem(1, 1), "keep");
    EXPECT_THROW(d.LoadLinesFromFile(1, 1, Dir + "/missing.txt"), EInOutError);
    EXPECT_EQ(d.NrOfRows(), 2);
}
