// Exporting a part of the report list as an HTML5 page with one table. The classic table
// attributes for spacing and padding are obsolete in HTML5, so border, spacing and padding
// go into a style sheet that addresses the table by its id.
#include <algorithm>

#include "host/SysUtils.h"
#include "report_list/replist.h"

namespace kovo {

namespace {

void AppendHtml(std::string& Out, std::string_view S) {
    for (char c : S) {
        switch (c) {
            case '<':
                Out += "&lt;";
                break;
            case '>':
                Out += "&gt;";
                break;
            case '&':
                Out += "&amp;";
                break;
            case '"':
                Out += "&quot;";
                break;
            case '\'':
                Out += "&#39;";
                break;
            case '\n':
                Out += "<br>";
                break;
            case '\r':
                break;
            default:
                // Other control characters are not allowed in HTML text.
                if ((unsigned char)c < 0x20 && c != '\t') break;
                Out += c;
        }
    }
}

// Ill-formed UTF-8 becomes U+FFFD, so the page stays valid UTF-8.
std::string ValidUtf8(const std::string& S) {
    for (unsigned char c : S)
        if (c >= 0x80) return Utf8Encode(Utf8Decode(S));
    return S;
}

void AppendClass(std::string& Out, const std::string& Class) {
    if (Class.empty()) return;
    Out += " class=\"";
    AppendHtml(Out, ValidUtf8(Class));
    Out += '"';
}

}  // namespace

void TRLData::ExportHTMLTable(const std::string& FName, int LoC, int LoR, int HiC, int HiR,
                              const std::vector<int>& ColumnSelection, int Border, int CellSpacing,
                              int Cellpadding, bool IncludeHeader, const std::string& HeadClass,
                              const std::string& CellClass, const std::string& TableClass) {
    std::vector<int> cols;
    if (ColumnSelection.empty()) {
        for (int c = std::max(LoC, 0); c <= std::min(HiC, FNrOfCols); ++c) cols.push_back(c);
    } else {
        for (int c : ColumnSelection)
            if (c >= 0 && c <= FNrOfCols) cols.push_back(c);
    }
    const int firstRow = std::max(LoR, 1), lastRow = std::min(HiR, FNrOfRows);
    Border = std::max(Border, 0);
    CellSpacing = std::max(CellSpacing, 0);
    Cellpadding = std::max(Cellpadding, 0);

    std::string page = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>";
    AppendHtml(page, FCommonHeader.empty() ? std::string("Report list") : ValidUtf8(FCommonHeader));
    page += "</title>\n<style>\n#replist { border-collapse: separate; border-spacing: ";
    page += std::to_string(CellSpacing) + "px; border: ";
    page += Border > 0 ? std::to_string(Border) + "px outset" : std::string("none");
    page += "; }\n#replist th, #replist td { padding: " + std::to_string(Cellpadding) +
            "px; border: " + (Border > 0 ? "1px inset" : "none") + "; }\n</style>\n";
    page += "</head>\n<body>\n<table id=\"replist\"";
    AppendClass(page, TableClass);
    page += ">\n";

    auto cell = [&](const char* Tag, const std::string& Class, int Col, int Row, std::string Value,
                    bool Box, bool Checked) {
        BeforeHTMLExport(Value, Col, Row);
        page += '<';
        page += Tag;
        AppendClass(page, Class);
        page += '>';
        if (Box)
            page += Checked ? "<input type=\"checkbox\" disabled checked> "
                            : "<input type=\"checkbox\" disabled> ";
        AppendHtml(page, ValidUtf8(Value));
        page += "</";
        page += Tag;
        page += '>';
    };
    if (IncludeHeader) {
        page += "<thead>\n<tr>";
        for (int c : cols) cell("th", HeadClass, c, 0, GetColName(c), false, false);
        page += "</tr>\n</thead>\n";
    }
    page += "<tbody>\n";
    for (int r = firstRow; r <= lastRow; ++r) {
        page += "<tr>";
        for (int c : cols)
            cell("td", CellClass, c, r, GetElem(c, r), IsCheckCol(c), GetElemChecked(c, r));
        page += "</tr>\n";
    }
    page += "</tbody>\n</table>\n</body>\n</html>\n";

    SaveFileSafely(FName,
                   [&](TStream* Out) { Out->WriteBuffer(page.data(), int64_t(page.size())); });
}

}  // namespace kovo
