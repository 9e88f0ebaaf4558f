#include <gtest/gtest.h>

#include "host/Clipboard.h"
#include "host/platform/Headless.h"
#include "report_list/replist.h"

using namespace kovo;

namespace {

struct ClipFixture : ::testing::Test {
    TRLData d{nullptr};
    void SetUp() override {
        Headless::Instance();
        d.SetNrOfColumns(3);
        d.SetNrOfRows(2);
        d.SetHeader(1, "Name");
        d.SetHeader(2, "N");
        d.SetHeader(3, "Ok");
        d.SetElem(1, 1, "ab");
        d.SetElem(2, 1, "1");
        d.SetElem(1, 2, "c");
        d.SetElem(2, 2, "22");
        d.SetColCheckMode(3, cmBox);
        d.SetElem(3, 1, "y");
        d.SetElemChecked(3, 1, true);
    }
};

}  // namespace

TEST_F(ClipFixture, TabFormWithAndWithoutHeader) {
    d.CopyToClipBoard(1, 1, 3, 2, true, true);
    EXPECT_EQ(Clipboard()->AsText(), "Name\tN\tOk\n\nab\t1\ty\nc\t22\t\n");
    d.CopyToClipBoard(2, 2, 2, 2, false, true);
    EXPECT_EQ(Clipboard()->AsText(), "22\n");
}

TEST_F(ClipFixture, AStringLiteralSelectsTheSeparatorForm) {
    d.CopyToClipBoard(1, 1, 2, 2, false, ";");
    EXPECT_EQ(Clipboard()->AsText(), "ab;1\nc;22\n");
    d.CopyToClipBoard(1, 1, 2, 1, true, std::string(" | "));
    EXPECT_EQ(Clipboard()->AsText(), "Name | N\n\nab | 1\n");
}

TEST_F(ClipFixture, FixedWidthPadsEveryEntryToItsColumnWidthPlusOne) {
    d.CopyToClipBoard(1, 1, 3, 2, true, false);
    // Widths: 4 ("Name"), 2 ("22"), 2 (stored "Xy", with its state character).
    EXPECT_EQ(Clipboard()->AsText(),
              "Name N  Ok \n\n"
              "ab   1  y  \n"
              "c    22    \n");
    d.CopyToClipBoard(1, 1, 2, 2, false, false);
    EXPECT_EQ(Clipboard()->AsText(), "ab 1  \nc  22 \n");
}

TEST_F(ClipFixture, LongestTextOf255PadsTo256) {
    d.SetElem(1, 2, std::string(255, 'w'));
    d.CopyToClipBoard(1, 1, 1, 2, false, false);
    const std::string text = Clipboard()->AsText();
    EXPECT_EQ(text, "ab" + std::string(254, ' ') + "\n" + std::string(255, 'w') + " \n");
}

TEST_F(ClipFixture, EmptyRangesAndColumnsOutside) {
    d.CopyToClipBoard(1, 2, 2, 1, true, true);
    EXPECT_EQ(Clipboard()->AsText(), "Name\tN\n\n");  // only the header
    d.CopyToClipBoard(3, 1, 2, 2, false, true);
    EXPECT_EQ(Clipboard()->AsText(), "\n\n");  // empty lines
    d.CopyToClipBoard(2, 1, 4, 1, true, true);
    EXPECT_EQ(Clipboard()->AsText(), "N\tOk\t\n\n1\ty\t\n");  // column 4 is empty
    d.SetElem(0, 1, "zero");
    d.CopyToClipBoard(0, 1, 1, 1, true, true);
    EXPECT_EQ(Clipboard()->AsText(), "\tName\n\nzero\tab\n");
}

TEST_F(ClipFixture, HugeRangesStayBounded) {
    d.CopyToClipBoard(1, -1000000000, 2, 2000000000, false, true);
    EXPECT_EQ(Clipboard()->AsText(), "ab\t1\nc\t22\n");
    const std::string wide = d.ClipboardText(1, 1, 2000000000, 1, false, true, "");
    // 10 000 columns: "ab ", "1 ", "y  " and one blank for each empty column.
    EXPECT_EQ(wide.size(), 3u + 2u + 3u + 9997u + 1u);
    const std::string sep = d.ClipboardText(-5, 1, 2000000000, 1, false, false, ",");
    EXPECT_EQ(std::count(sep.begin(), sep.end(), ','), 9999);
}
