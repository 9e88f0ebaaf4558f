// Recognising report-list documents: the root-line rule in its file and stream forms.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "foundation/kovocore.h"
#include "host/Exceptions.h"
#include "report_list/replist.h"

using namespace kovo;

namespace {

const char* const SalesDoc =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<replist creator=\"KovoPack\" dataid=\" Sales \">\n"
    "<numcols>1</numcols>\n"
    "</replist>\n";

struct TCase {
    const char* Text;
    const char* DataID;
    bool Valid;
};

bool CheckStream(const std::string& Text, const std::string& ID) {
    TStringStream s(Text);
    return CheckIfValidReplist(&s, ID);
}

struct CheckFileFixture : ::testing::Test {
    std::string Dir;
    void SetUp() override {
        char dir[] = "/tmp/rlcheckXXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        Dir = dir;
    }
    void TearDown() override { std::system(("rm -rf '" + Dir + "'").c_str()); }
    std::string File(const std::string& Name, const std::string& Text) {
        std::string path = Dir + "/" + Name;
        std::ofstream(path, std::ios::binary) << Text;
        return path;
    }
};

}  // namespace

TEST(CheckIfValidReplist, RootLineRuleInBothForms) {
    const TCase cases[] = {
        {SalesDoc, "sales", true},
        {SalesDoc, "SALES", true},
        {SalesDoc, "", true},
        {SalesDoc, "sale", false},
        {SalesDoc, " sales", false},  // the document's ID is trimmed, the wanted one is not
        {"<REPLIST KOVOPACK ID=\"X\">", "x", true},
        {"kovopack <replist>", "", true},  // any order
        {"<replist>", "", false},          // "kovopack" missing
        {"<replis kovopack>", "", false},
        {"<replist kovopack>", "", true},  // no id attribute: only the empty ID
        {"<replist kovopack>", "a", false},
        {"<replist kovopack myid=\"a\" otherid=\"b\">", "a", true},  // the first id="
        {"<replist kovopack myid=\"a\" otherid=\"b\">", "b", false},
        {"<replist kovopack id=\"open", "", true},  // no closing quote: the empty ID
        {"<replist kovopack id=\"open", "open", false},
        {"<replist kovopack id = \"a\">", "a", false},  // id= must be followed by the quote
        {"", "", false},
        {"<replist kovopack id=\"a\">\n<replist kovopack id=\"b\">", "b", true},
        {"a\r\n<replist kovopack id=\"crlf\">\r\n", "crlf", true},
        {"a\r<replist kovopack id=\"cr\">", "cr", true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Text) + " / " + c.DataID);
        EXPECT_EQ(CheckStream(c.Text, c.DataID), c.Valid);
    }
}

TEST(CheckIfValidReplist, StreamStopsAfterTheQualifyingLine) {
    std::string text;
    for (int i = 1; i < 100; ++i) text += "line " + std::to_string(i) + "\n";
    text += "<replist kovopack id=\"x\">\nline 101\n";
    TStringStream s(text);
    ASSERT_TRUE(CheckIfValidReplist(&s, "x"));
    bool eof = false;
    EXPECT_EQ(ReadLnStream(&s, eof), "line 101");

    TStringStream other(text);
    EXPECT_FALSE(CheckIfValidReplist(&other, "y"));
    EXPECT_EQ(other.Position(), other.Size());
    EXPECT_FALSE(CheckIfValidReplist(static_cast<TStream*>(nullptr), ""));
}

TEST_F(CheckFileFixture, FileFormReadsLinesAndReportsMissingFiles) {
    EXPECT_TRUE(CheckIfValidReplist(File("a.xml", SalesDoc), "Sales"));
    EXPECT_FALSE(CheckIfValidReplist(File("b.xml", SalesDoc), "sale"));
    EXPECT_FALSE(CheckIfValidReplist(File("empty.xml", ""), ""));
    std::string late;
    for (int i = 1; i < 100; ++i) late += "x\n";
    EXPECT_TRUE(CheckIfValidReplist(File("late.xml", late + "<replist kovopack>"), ""));
    EXPECT_THROW(CheckIfValidReplist(Dir + "/missing.xml", ""), EInOutError);
}
