// Exporting a report list as an HTML table.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "host/Exceptions.h"
#include "report_list/replist.h"

using namespace kovo;

namespace {

struct HtmlFixture : ::testing::Test {
    TRLData d{nullptr};
    std::string Dir;
    void SetUp() override {
        char dir[] = "/tmp/rlhtmlXXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        Dir = dir;
        d.SetNrOfColumns(3);
        d.SetNrOfRows(3);
        d.SetHeader(1, "Name & <Co>");
        d.SetHeader(2, "Value");
        d.SetHeader(3, "Ok");
        d.SetColumnCheckMode(3, cmBox);
        for (int r = 1; r <= 3; ++r) {
            d.SetElem(0, r, "zero" + std::to_string(r));
            d.SetElem(1, r, "n" + std::to_string(r));
            d.SetElem(2, r, "v" + std::to_string(r));
            d.SetElem(3, r, "c" + std::to_string(r));
        }
        d.SetElem(1, 2, "<script>\"x\" & 'y'</script>");
        d.SetElemChecked(3, 1, true);
        d.SetCommonHeader("Report <1>");
    }
    void TearDown() override { std::system(("rm -rf '" + Dir + "'").c_str()); }
    std::string Export(int LoC, int LoR, int HiC, int HiR, const std::vector<int>& Sel,
                       bool Header = true, const std::string& HeadClass = "hd",
                       const std::string& CellClass = "cl", const std::string& TableClass = "tb") {
        const std::string path = Dir + "/t.html";
        d.ExportHTMLTable(path, LoC, LoR, HiC, HiR, Sel, 2, 3, 4, Header, HeadClass, CellClass,
                          TableClass);
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The page parses as XML too (void elements aside), which lets the table be inspected.
    static std::vector<std::vector<std::string>> Table(const std::string& Html,
                                                       std::string* TableClass = nullptr) {
        std::string x = Html.substr(Html.find("<table"));
        x = x.substr(0, x.find("</table>") + 8);
        for (size_t p;
             (p = x.find("<input type=\"checkbox\" disabled checked>")) != std::string::npos;)
            x.replace(p, 40, "[x]");
        for (size_t p; (p = x.find("<input type=\"checkbox\" disabled>")) != std::string::npos;)
            x.replace(p, 32, "[ ]");
        pugi::xml_document doc;
        EXPECT_TRUE(doc.load_string(x.c_str())) << x;
        if (TableClass) *TableClass = doc.child("table").attribute("class").value();
        std::vector<std::vector<std::string>> rows;
        for (pugi::xpath_node tr : doc.select_nodes("//tr")) {
            rows.emplace_back();
            for (pugi::xml_node c : tr.node().children())
                rows.back().push_back(std::string(c.name()) + "." + c.attribute("class").value() +
                                      ":" + c.text().get());
        }
        return rows;
    }
};

}  // namespace

TEST_F(HtmlFixture, APageWithOneEscapedTable) {
    const std::string html = Export(1, 1, 3, 3, {});
    EXPECT_EQ(html.rfind("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n", 0), 0u);
    EXPECT_NE(html.find("<title>Report &lt;1&gt;</title>"), std::string::npos);
    EXPECT_NE(html.find("border-spacing: 3px; border: 2px outset"), std::string::npos);
    EXPECT_NE(html.find("padding: 4px; border: 1px inset"), std::string::npos);
    EXPECT_EQ(html.find("<script>"), std::string::npos);
    std::string tableClass;
    const auto rows = Table(html, &tableClass);
    EXPECT_EQ(tableClass, "tb");
    const std::vector<std::vector<std::string>> expected{
        {"th.hd:Name & <Co>", "th.hd:Value", "th.hd:Ok"},
        {"td.cl:n1", "td.cl:v1", "td.cl:[x] c1"},
        {"td.cl:<script>\"x\" & 'y'</script>", "td.cl:v2", "td.cl:[ ] c2"},
        {"td.cl:n3", "td.cl:v3", "td.cl:[ ] c3"},
    };
    EXPECT_EQ(rows, expected);
}

TEST_F(HtmlFixture, RangesSelectionsAndOptions) {
    // Ranges are clipped; column 0 can be exported.
    auto rows = Table(Export(0, 2, 9, 7, {}, false, "", "", ""));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].size(), 4u);
    EXPECT_EQ(rows[0][0], "td.:zero2");
    EXPECT_EQ(rows[1][3], "td.:[ ] c3");
    // A selection gives the columns in its order and ignores LoC..HiC; bad entries drop out.
    rows = Table(Export(1, 1, 1, 1, {2, 7, 1, -1}, true));
    const std::vector<std::vector<std::string>> expected{{"th.hd:Value", "th.hd:Name & <Co>"},
                                                         {"td.cl:v1", "td.cl:n1"}};
    EXPECT_EQ(rows, expected);
    // An empty row range leaves only the header.
    EXPECT_EQ(Table(Export(1, 3, 3, 2, {})).size(), 1u);
    const std::string plain = Export(1, 1, 3, 3, {}, false, "", "", "");
    EXPECT_EQ(plain.find("class="), std::string::npos);
    EXPECT_EQ(plain.find("<thead>"), std::string::npos);
}

TEST_F(HtmlFixture, EveryCellPassesTheHookFirst) {
    std::vector<std::string> calls;
    d.OnBeforeHTMLExport = [&](TObject* Sender, std::string& Text, int Col, int Row) {
        EXPECT_EQ(Sender, &d);
        calls.push_back(std::to_string(Col) + "," + std::to_string(Row) + "=" + Text);
        Text = "<" + Text + ">";
    };
    const auto rows = Table(Export(1, 1, 2, 1, {}));
    const std::vector<std::string> expected{"1,0=Name & <Co>", "2,0=Value", "1,1=n1", "2,1=v1"};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(rows[1][0], "td.cl:<n1>");  // the hook's text is escaped afterwards
}

TEST_F(HtmlFixture, BadTextStaysValidAndFailuresNameTheFile) {
    d.SetElem(2, 1, std::string("bad \xE9 byte\x01 and\nbreak"));
    const std::string html = Export(2, 1, 2, 1, {}, false);
    EXPECT_NE(html.find("bad \xEF\xBF\xBD byte and<br>break"), std::string::npos);
    const std::string missing = Dir + "/none/t.html";
    try {
        d.ExportHTMLTable(missing, 1, 1, 1, 1, {}, 0, 0, 0, false, "", "", "");
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_NE(e.Message().find(missing), std::string::npos);
    }
}
