// Report list documents: the root-line rule, the XML writer and the reader.
//
// Layout, one element per line:
//   <?xml version="1.0" encoding="UTF-8"?>             (with CreateHeader)
//   <replist dataid="Sales" creator="kovopack" version="1">
//   <numcols>3</numcols>
//   <numrows>2</numrows>
//   <commonheader>...</commonheader>
//   <comment>first&#10;second</comment>                (when not empty)
//   <colname col="1">Name</colname>                    (every column)
//   <columnformat col="1">[s]</columnformat>           (when not empty)
//   <checkedcolumn col="2" mode="radio"/>              (box or radio columns)
//   <cell col="0" row="1">stored text</cell>           (non-empty cells, row by row)
//   </replist>
// A cell holds its stored text, so a check-mark cell begins with its state character. A row
// without any text is written as one empty cell of column 0: every row and every column
// then costs bytes in the document, which lets the reader refuse documents that claim more
// cells than they could hold. Texts that XML cannot carry (control characters other than
// tab, line feed and carriage return, ill-formed UTF-8, U+FFFE, U+FFFF) are written as
// hexadecimal bytes with enc="hex".
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <deque>
#include <memory>
#include <string_view>

#include <pugixml.hpp>
#include <sys/stat.h>
#include <unistd.h>

#include "host/FileUtils.h"
#include "host/SysUtils.h"
#include "report_list/replist.h"

namespace kovo {

const char* const RepListXmlTagNames[xmlInvalid + 1] = {
    "numcols",      "numrows", "colname", "checkedcolumn", "commonheader",
    "columnformat", "cell",    "comment", "/replist",      "invalidtag",
};

namespace {

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool SameAscii(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (size_t i = 0; i < A.size(); ++i)
        if (AsciiLower(A[i]) != AsciiLower(B[i])) return false;
    return true;
}

// The same for a text that ends with a zero (the parser's names), without measuring it.
bool SameAscii(const char* A, std::string_view B) {
    for (char c : B)
        if (*A == '\0' || AsciiLower(*A++) != AsciiLower(c)) return false;
    return *A == '\0';
}

// The root-line rule: the line, lower-cased, holds "<replist" and "kovopack"; its ID is the
// text between the double quote of the first `id="` and the next double quote, trimmed.
bool IsRootLine(std::string_view Line, std::string& ID) {
    const std::string lower = LowerCase(Line);
    if (lower.find("<replist") == std::string::npos || lower.find("kovopack") == std::string::npos)
        return false;
    ID.clear();
    const size_t p = lower.find("id=\"");
    if (p != std::string::npos) {
        const size_t start = p + 4;
        const size_t end = lower.find('"', start);
        if (end != std::string::npos) ID = Trim(std::string_view(lower).substr(start, end - start));
    }
    return true;
}

// DataIDLower is the wanted ID, already lower-cased.
bool QualifyingRootLine(std::string_view Line, const std::string& DataIDLower) {
    std::string id;
    return IsRootLine(Line, id) && (DataIDLower.empty() || DataIDLower == id);
}

// The offset of the first "<replist" (any case) in Line.
size_t RootTagOffset(std::string_view Line) {
    const std::string lower = LowerCase(Line);
    return lower.find("<replist");
}

// The offset of the first "</replist" (any case) at or after From, or npos.
size_t FindEndTag(std::string_view Text, size_t From) {
    static constexpr std::string_view tag = "</replist";
    while (From < Text.size()) {
        const void* hit = std::memchr(Text.data() + From, '<', Text.size() - From);
        if (hit == nullptr) return std::string_view::npos;
        const size_t at = size_t(static_cast<const char*>(hit) - Text.data());
        if (SameAscii(Text.substr(at, tag.size()), tag)) return at;
        From = at + 1;
    }
    return std::string_view::npos;
}

// The end of the line that contains Offset, after its line end (LF, CR LF or CR).
size_t AfterLine(std::string_view Text, size_t Offset) {
    while (Offset < Text.size() && Text[Offset] != '\n' && Text[Offset] != '\r') ++Offset;
    if (Offset < Text.size()) {
        if (Text[Offset] == '\r' && Offset + 1 < Text.size() && Text[Offset + 1] == '\n') ++Offset;
        ++Offset;
    }
    return Offset;
}

// True when S is well-formed UTF-8 of characters XML 1.0 allows; Tab, LF and CR count as
// allowed (they are written as character references).
bool XmlCarries(std::string_view S) {
    const auto* p = reinterpret_cast<const unsigned char*>(S.data());
    const size_t n = S.size();
    for (size_t i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
            ++i;
            continue;
        }
        int len;
        char32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + size_t(len) > n) return false;
        for (int k = 1; k < len; ++k) {
            if ((p[i + size_t(k)] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i + size_t(k)] & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return false;
        if ((cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFE || cp == 0xFFFF) return false;
        i += size_t(len);
    }
    return true;
}

void AppendEscaped(std::string& Out, std::string_view S) {
    size_t plain = 0;
    for (size_t i = 0; i < S.size(); ++i) {
        const char* rep;
        switch (S[i]) {
            case '<':
                rep = "&lt;";
                break;
            case '>':
                rep = "&gt;";
                break;
            case '&':
                rep = "&amp;";
                break;
            case '"':
                rep = "&quot;";
                break;
            case '\'':
                rep = "&apos;";
                break;
            case '\t':
                rep = "&#9;";
                break;
            case '\n':
                rep = "&#10;";
                break;
            case '\r':
                rep = "&#13;";
                break;
            case '\x7F':
                rep = "&#127;";
                break;
            default:
                continue;
        }
        Out.append(S.data() + plain, i - plain);
        Out += rep;
        plain = i + 1;
    }
    Out.append(S.data() + plain, S.size() - plain);
}

void AppendInt(std::string& Out, int64_t V) {
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, V);
    Out.append(buf, res.ptr);
}

// <Tag[ col="C"][ row="R"][ enc="hex"]>Text</Tag> and a line feed.
void AppendElement(std::string& Out, TRepListXmlTag Tag, int Col, int Row, std::string_view Text) {
    static constexpr char hex[] = "0123456789ABCDEF";
    const char* name = RepListXmlTagNames[Tag];
    Out += '<';
    Out += name;
    if (Col >= 0) {
        Out += " col=\"";
        AppendInt(Out, Col);
        Out += '"';
    }
    if (Row >= 0) {
        Out += " row=\"";
        AppendInt(Out, Row);
        Out += '"';
    }
    if (XmlCarries(Text)) {
        Out += '>';
        AppendEscaped(Out, Text);
    } else {
        Out += " enc=\"hex\">";
        for (unsigned char c : Text) {
            Out += hex[c >> 4];
            Out += hex[c & 15];
        }
    }
    Out += "</";
    Out += name;
    Out += ">\n";
}

// Reports OnPercentDone every Step cells of NumCells.
struct TProgress {
    TRLData* Owner;
    const TOnPercentDoneEvent& Event;
    int64_t NumCells, Step, Next;
    TProgress(TRLData* AOwner, const TOnPercentDoneEvent& AEvent, int64_t ANumCells, int64_t AStep)
        : Owner(AOwner),
          Event(AEvent),
          NumCells(std::max<int64_t>(ANumCells, 1)),
          Step(std::max<int64_t>(AStep, 1)),
          Next(Step) {}
    // Done cells are finished (a running count that only grows).
    void At(int64_t Done) {
        if (!Event || Done < Next) return;
        Next = (Done / Step + 1) * Step;
        Event(Owner, int(std::min<int64_t>(100, Done * 100 / NumCells)));
    }
    void Finish() {
        if (Event) Event(Owner, 100);
    }
};

// A strict unsigned decimal (blanks around allowed) up to INT_MAX.
bool ParseCount(std::string_view S, int& Value) {
    size_t b = 0, e = S.size();
    while (b < e && (S[b] == ' ' || S[b] == '\t' || S[b] == '\n' || S[b] == '\r')) ++b;
    while (e > b && (S[e - 1] == ' ' || S[e - 1] == '\t' || S[e - 1] == '\n' || S[e - 1] == '\r'))
        --e;
    if (b < e && S[b] == '+') ++b;
    if (b == e) return false;
    int64_t v = 0;
    for (size_t i = b; i < e; ++i) {
        if (S[i] < '0' || S[i] > '9') return false;
        v = v * 10 + (S[i] - '0');
        if (v > INT_MAX) return false;
    }
    Value = int(v);
    return true;
}

TRepListXmlTag TagOf(const char* Name) {
    static const std::string_view names[xmlEndReplist] = {
        RepListXmlTagNames[0], RepListXmlTagNames[1], RepListXmlTagNames[2], RepListXmlTagNames[3],
        RepListXmlTagNames[4], RepListXmlTagNames[5], RepListXmlTagNames[6], RepListXmlTagNames[7]};
    // Cells first: they are nearly all of a document.
    if (SameAscii(Name, names[xmlCell])) return xmlCell;
    for (int t = 0; t < xmlEndReplist; ++t)
        if (SameAscii(Name, names[t])) return TRepListXmlTag(t);
    return xmlInvalid;
}

pugi::xml_attribute Attribute(const pugi::xml_node& Node, std::string_view Name) {
    for (pugi::xml_attribute a : Node.attributes())
        if (SameAscii(a.name(), Name)) return a;
    return pugi::xml_attribute();
}

bool AttributeCount(const pugi::xml_node& Node, std::string_view Name, int& Value) {
    pugi::xml_attribute a = Attribute(Node, Name);
    return a && ParseCount(a.value(), Value);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = AsciiLower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The element's text: its character data, decoded from hexadecimal with enc="hex".
bool ElementText(const pugi::xml_node& Node, std::string& Text) {
    Text.clear();
    for (pugi::xml_node child = Node.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            Text += child.value();
    pugi::xml_attribute enc = Attribute(Node, "enc");
    if (!enc) return true;
    if (!SameAscii(enc.value(), "hex")) return false;
    std::string bytes;
    int high = -1;
    for (char c : Text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') continue;
        const int d = HexDigit(c);
        if (d < 0) return false;
        if (high < 0) {
            high = d;
        } else {
            bytes += char(high * 16 + d);
            high = -1;
        }
    }
    if (high >= 0) return false;
    Text = std::move(bytes);
    return true;
}

// A cell's text as a view into the document where it can be, else decoded or cut into Owned.
bool CellText(const pugi::xml_node& Node, std::string_view& Text, std::deque<std::string>& Owned) {
    const pugi::xml_node first = Node.first_child();
    const bool plain = !Attribute(Node, "enc");
    if (plain && !first) {
        Text = std::string_view();
    } else if (plain && !first.next_sibling() &&
               (first.type() == pugi::node_pcdata || first.type() == pugi::node_cdata)) {
        Text = first.value();
    } else {
        Owned.emplace_back();
        if (!ElementText(Node, Owned.back())) return false;
        Text = Owned.back();
    }
    if (Text.size() > size_t(CellTextLength) && Utf8Length(Text) > CellTextLength) {
        Owned.push_back(Utf8Truncate(Text, CellTextLength));
        Text = Owned.back();
    }
    return true;
}

// A document may claim this many cells beyond what its size justifies.
constexpr int64_t CellAllowance = 4096;
// Cells a document may claim per byte it holds. Every row and column costs a writer at
// least some twenty bytes, so any store it writes stays far inside this.
constexpr int64_t CellsPerByte = 128;

}  // namespace

// The reader and writer, with access to the store's fields.
struct TRLDataXml {
    struct TCell {
        int Col, Row;
        std::string_view Text;  // into the parsed document or TDocument::Owned
    };

    // What a document holds, checked, before anything of the store changes.
    struct TDocument {
        int Cols = 0, Rows = 0;
        std::string DataID, CommonHeader, Comment;
        std::vector<std::string> Names, Formats;
        std::vector<TCheckMode> Modes;
        std::vector<TCell> Cells;
        std::deque<std::string> Owned;  // cell texts that had to be decoded or cut
    };

    static void CheckDataID(TRLData& D, const std::string& DataID) {
        bool ok = XmlCarries(DataID) && DataID.find_first_of("\"&<\t\n\r\x7F") == std::string::npos;
        if (ok && !DataID.empty()) ok = DataID.front() != ' ' && DataID.back() != ' ';
        if (!ok) throw EKovoRLDataError(&D, "invalid data ID for a document");
    }

    // Writes the document in pieces of about 64 KiB to Sink.
    static void Write(TRLData& D, bool CreateHeader, const std::string& DataID,
                      const std::function<void(const std::string&)>& Sink) {
        CheckDataID(D, DataID);
        constexpr size_t chunk = 1 << 16;
        std::string out;
        out.reserve(chunk + 1024);
        auto flush = [&](bool Always) {
            if (out.size() >= chunk || (Always && !out.empty())) {
                Sink(out);
                out.clear();
            }
        };
        if (CreateHeader) out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        // The ID goes in as it is (CheckDataID keeps out what a quoted value cannot hold): the
        // root-line rule compares the line's raw text, so an entity would hide the ID.
        out += "<replist dataid=\"";
        out += DataID;
        out += "\" creator=\"kovopack\" version=\"1\">\n";
        const int cols = D.FNrOfCols, rows = D.FNrOfRows;
        out += "<numcols>";
        AppendInt(out, cols);
        out += "</numcols>\n<numrows>";
        AppendInt(out, rows);
        out += "</numrows>\n";
        AppendElement(out, xmlCommonHd, -1, -1, D.FCommonHeader);
        if (!D.FComment.empty()) AppendElement(out, xmlComment, -1, -1, D.FComment);
        for (int c = 1; c <= cols; ++c) {
            AppendElement(out, xmlColName, c, -1, D.FColName[size_t(c)]);
            if (!D.FColumnFormat[size_t(c)].empty())
                AppendElement(out, xmlColumnFormat, c, -1, D.FColumnFormat[size_t(c)]);
            if (D.FColButMode[size_t(c)] != cmNone) {
                out += "<checkedcolumn col=\"";
                AppendInt(out, c);
                out += D.FColButMode[size_t(c)] == cmRadio ? "\" mode=\"radio\"/>\n"
                                                           : "\" mode=\"box\"/>\n";
            }
            flush(false);
        }
        TProgress progress(&D, D.OnPercentDone, D.FFeedbkNumCells, D.FFeedbkStep);
        for (int r = 1; r <= rows; ++r) {
            bool any = false;
            for (int c = 0; c <= cols; ++c) {
                const std::string& s = D.Strings->StringRef(c, r);
                if (s.empty()) continue;
                AppendElement(out, xmlCell, c, r, s);
                any = true;
            }
            if (!any) AppendElement(out, xmlCell, 0, r, std::string_view());
            flush(false);
            progress.At(int64_t(r) * (cols + 1));
        }
        out += "</replist>\n";
        flush(true);
        progress.Finish();
    }

    // Checks and collects the root element Root.
    static bool Collect(TRLData& D, const pugi::xml_node& Root, size_t DocumentSize,
                        TDocument& Doc) {
        if (!SameAscii(Root.name(), "replist")) return false;
        for (pugi::xml_attribute a : Root.attributes()) {
            std::string_view name = a.name();
            if (name.size() >= 2 && SameAscii(name.substr(name.size() - 2), "id")) {
                Doc.DataID = Trim(a.value());
                break;
            }
        }
        bool haveCols = false, haveRows = false;
        for (pugi::xml_node n = Root.first_child(); n; n = n.next_sibling()) {
            if (n.type() != pugi::node_element) continue;
            const TRepListXmlTag tag = TagOf(n.name());
            if (tag != xmlNumCols && tag != xmlNumRows) continue;
            bool& have = tag == xmlNumCols ? haveCols : haveRows;
            int& count = tag == xmlNumCols ? Doc.Cols : Doc.Rows;
            std::string text;
            if (have || !ElementText(n, text) || !ParseCount(text, count)) return false;
            have = true;
        }
        if (!haveCols || !haveRows || Doc.Cols < 1) return false;
        // The store holds columns 0..Cols of at least one row.
        const int64_t cells = (int64_t(Doc.Cols) + 1) * std::max(Doc.Rows, 1);
        if (cells > TStringArray::MaxCells ||
            cells > CellAllowance + CellsPerByte * int64_t(DocumentSize))
            return false;

        const size_t ncols = size_t(Doc.Cols) + 1;
        Doc.Names.assign(ncols, std::string());
        for (int c = 1; c <= Doc.Cols; ++c) Doc.Names[size_t(c)] = TRLData::DefaultColName(c);
        Doc.Formats.assign(ncols, std::string());
        Doc.Modes.assign(ncols, cmNone);
        Doc.CommonHeader = "Kovo Report Listview";
        // Items given once at most: bit 0 name, 1 format, 2 check mode, per column.
        std::vector<uint8_t> described(ncols, 0);
        std::vector<bool> filled(size_t(cells), false);
        bool haveHeader = false, haveComment = false;
        std::string text;
        // Progress is reported here, before the store changes, so that a handler that
        // raises cannot leave a half-read store.
        const int64_t feedbackCells = std::max<int64_t>(int64_t(Doc.Rows) * int64_t(ncols), 1);
        TProgress progress(&D, D.OnPercentDone, feedbackCells, feedbackCells / 100 + 1);
        int64_t reached = 0;
        for (pugi::xml_node n = Root.first_child(); n; n = n.next_sibling()) {
            if (n.type() != pugi::node_element) continue;
            const TRepListXmlTag tag = TagOf(n.name());
            int col = 0, row = 0;
            switch (tag) {
                case xmlCell:
                    if (!AttributeCount(n, "col", col) || !AttributeCount(n, "row", row) ||
                        col > Doc.Cols || row < 1 || row > Doc.Rows)
                        return false;
                    {
                        const size_t at = size_t(row - 1) * ncols + size_t(col);
                        if (filled[at]) return false;
                        filled[at] = true;
                    }
                    {
                        std::string_view cellText;
                        if (!CellText(n, cellText, Doc.Owned)) return false;
                        if (!cellText.empty()) Doc.Cells.push_back({col, row, cellText});
                    }
                    reached = std::max(reached, int64_t(row - 1) * int64_t(ncols) + col + 1);
                    progress.At(reached);
                    break;
                case xmlColName:
                case xmlColumnFormat:
                case xmlCheckedColumn: {
                    if (!AttributeCount(n, "col", col) || col < 1 || col > Doc.Cols) return false;
                    const uint8_t bit = tag == xmlColName ? 1 : tag == xmlColumnFormat ? 2 : 4;
                    if (described[size_t(col)] & bit) return false;
                    described[size_t(col)] |= bit;
                    if (tag == xmlCheckedColumn) {
                        pugi::xml_attribute mode = Attribute(n, "mode");
                        if (!mode || SameAscii(mode.value(), "box"))
                            Doc.Modes[size_t(col)] = cmBox;
                        else if (SameAscii(mode.value(), "radio"))
                            Doc.Modes[size_t(col)] = cmRadio;
                        else
                            return false;
                    } else {
                        if (!ElementText(n, text)) return false;
                        if (tag == xmlColName)
                            Doc.Names[size_t(col)] = Utf8Truncate(text, NameStrLength);
                        else
                            Doc.Formats[size_t(col)] = Utf8Truncate(text, ColFmtLength);
                    }
                    break;
                }
                case xmlCommonHd:
                case xmlComment: {
                    bool& have = tag == xmlCommonHd ? haveHeader : haveComment;
                    if (have || !ElementText(n, text)) return false;
                    have = true;
                    (tag == xmlCommonHd ? Doc.CommonHeader : Doc.Comment) = text;
                    break;
                }
                default:  // the counts (read above) and elements of other kinds
                    break;
            }
        }
        return true;
    }

    // Makes the store what Doc describes; false, nothing changed, when it cannot grow.
    static bool Commit(TRLData& D, TDocument& Doc) {
        TStringArray* store = D.Strings;
        // One change notification for the whole read.
        TNotifyEvent changed = std::move(store->OnChange);
        store->OnChange = nullptr;
        if (!store->Resize(Doc.Cols, std::max(Doc.Rows, 1))) {
            store->OnChange = std::move(changed);
            return false;
        }
        store->Clear();
        D.FNrOfCols = Doc.Cols;
        D.FNrOfRows = Doc.Rows;
        D.UpdateFeedback();
        if (Doc.Rows == 0) {  // as SetNrRows counts
            D.FFeedbkNumCells = 1;
            D.FFeedbkStep = 1;
        }
        D.FColName.swap(Doc.Names);
        D.FColumnFormat.swap(Doc.Formats);
        D.FColButMode.swap(Doc.Modes);
        D.FCommonHeader = std::move(Doc.CommonHeader);
        D.FComment = std::move(Doc.Comment);
        D.FDataID = std::move(Doc.DataID);
        D.FSortColumn = -1;
        D.FSortColumnSec = -1;
        std::string text;
        for (const TCell& cell : Doc.Cells) {
            text.assign(cell.Text);
            store->SetString(cell.Col, cell.Row, text);
        }
        store->OnChange = std::move(changed);
        if (store->OnChange) store->OnChange(store);
        if (D.OnPercentDone) D.OnPercentDone(&D, 100);
        return true;
    }

    // Reads the first report list of Text that qualifies for DataID. Consumed becomes the
    // offset after the line that ends its root element.
    // Mutable, when given, is Text's own memory, which the parser may then use in place.
    static bool Read(TRLData& D, std::string_view Text, const std::string& DataID, size_t& Consumed,
                     char* Mutable = nullptr) {
        const std::string wanted = LowerCase(DataID);
        size_t start = std::string_view::npos;
        for (size_t line = 0; line < Text.size();) {
            const size_t next = AfterLine(Text, line);
            size_t end = next;
            while (end > line && (Text[end - 1] == '\n' || Text[end - 1] == '\r')) --end;
            const std::string_view l = Text.substr(line, end - line);
            if (QualifyingRootLine(l, wanted)) {
                start = line + RootTagOffset(l);
                break;
            }
            line = next;
        }
        if (start == std::string_view::npos) return false;
        const size_t endTag = FindEndTag(Text, start);
        Consumed = endTag == std::string_view::npos ? Text.size() : AfterLine(Text, endTag);
        const std::string_view part = Text.substr(start, Consumed - start);

        TDocument doc;
        pugi::xml_document xml;  // kept until the commit: cells point into it
        try {
            constexpr unsigned options = pugi::parse_default | pugi::parse_ws_pcdata_single;
            const pugi::xml_parse_result res =
                Mutable ? xml.load_buffer_inplace(Mutable + start, part.size(), options,
                                                  pugi::encoding_utf8)
                        : xml.load_buffer(part.data(), part.size(), options, pugi::encoding_utf8);
            if (!res) return false;
            if (!Collect(D, xml.document_element(), part.size(), doc)) return false;
        } catch (const std::bad_alloc&) {
            return false;
        }
        return Commit(D, doc);
    }
};

bool CheckIfValidReplist(const std::string& FName, const std::string& DataID) {
    const std::string wanted = LowerCase(DataID);
    TextFile f;
    AssignFile(f, FName);
    Reset(f);
    std::string line;
    do {
        ReadLn(f, line);
        if (QualifyingRootLine(line, wanted)) return true;
    } while (!Eof(f));
    return false;
}

bool CheckIfValidReplist(TStream* Stream, const std::string& DataID) {
    if (Stream == nullptr) return false;
    const std::string wanted = LowerCase(DataID);
    bool eof = false;
    do {
        const std::string line = ReadLnStream(Stream, eof);
        if (QualifyingRootLine(line, wanted)) return true;
    } while (!eof);
    return false;
}

bool TRLData::ReadFromXMLString(const std::string& InString, const std::string& DataID) {
    size_t consumed = 0;
    return TRLDataXml::Read(*this, InString, DataID, consumed);
}

bool TRLData::ReadFromXMLStream(TStream* InStream, const std::string& DataID) {
    if (InStream == nullptr) return false;
    const int64_t start = InStream->Position();
    const int64_t size = InStream->Size();
    std::string text;
    try {
        text.resize(size_t(std::max<int64_t>(size - start, 0)));
    } catch (const std::bad_alloc&) {
        return false;
    }
    text.resize(size_t(InStream->Read(text.data(), int64_t(text.size()))));
    size_t consumed = 0;
    const bool ok = TRLDataXml::Read(*this, text, DataID, consumed, text.data());
    InStream->SetPosition(ok ? start + int64_t(consumed) : start);
    return ok;
}

bool TRLData::ReadFromOpenXMLFile(TextFile& InFile, const std::string& DataID) {
    const std::string wanted = LowerCase(DataID);
    std::string text, line;
    bool inside = false;
    while (!Eof(InFile)) {
        ReadLn(InFile, line);
        if (!inside) {
            if (!QualifyingRootLine(line, wanted)) continue;
            inside = true;
            line.erase(0, RootTagOffset(line));
        }
        const bool last = FindEndTag(line, 0) != std::string::npos;
        text += line;
        text += '\n';
        if (last) break;
    }
    if (!inside) return false;
    size_t consumed = 0;
    return TRLDataXml::Read(*this, text, DataID, consumed, text.data());
}

bool TRLData::LoadFromXMLFile(const std::string& FName, const std::string& DataID) {
    TextFile f;
    AssignFile(f, FName);
    Reset(f);
    const bool ok = ReadFromOpenXMLFile(f, DataID);
    CloseFile(f);
    return ok;
}

void TRLData::WriteToOpenXMLFile(TextFile& OutFile, bool CreateHeader, const std::string& DataID) {
    TRLDataXml::Write(*this, CreateHeader, DataID,
                      [&](const std::string& Piece) { kovo::Write(OutFile, Piece); });
}

void TRLData::WriteToXMLStream(TStream* OutStream, bool CreateHeader, const std::string& DataID) {
    if (OutStream == nullptr) return;
    TRLDataXml::Write(*this, CreateHeader, DataID, [&](const std::string& Piece) {
        OutStream->WriteBuffer(Piece.data(), int64_t(Piece.size()));
    });
}

void TRLData::SaveAsXMLFile(const std::string& FName, const std::string& DataID) {
    TRLDataXml::CheckDataID(*this, DataID);
    SaveFileSafely(FName, [&](TStream* Out) { WriteToXMLStream(Out, true, DataID); });
}

namespace {

[[noreturn]] void SaveError(const std::string& FName, int Code, const std::string& Reason) {
    throw EInOutError("Cannot write file \"" + FName + "\": " + Reason, Code);
}

}  // namespace

void TRLData::SaveFileSafely(const std::string& FName,
                             const std::function<void(TStream* Out)>& Produce) {
    if (FName.empty()) SaveError(FName, 102, "no file name");
    if (DirectoryExists(FName)) SaveError(FName, 5, "it is a directory");
    const std::string dir = ExtractFilePath(FName);
    if (!dir.empty() && !DirectoryExists(dir)) SaveError(FName, 3, "Path not found");
    // A hidden name beside the target, so that the rename stays within one file system.
    const std::string base = dir + "." + ExtractFileName(FName) + ".~" + std::to_string(getpid());
    std::string temp;
    for (int n = 0;; ++n) {
        temp = base + "-" + std::to_string(n);
        if (!FileExists(temp) && !DirectoryExists(temp)) break;
        if (n > 1000) SaveError(FName, 5, "no temporary file name is free");
    }
    std::unique_ptr<TFileStream> out;
    try {
        out = std::make_unique<TFileStream>(temp, fmCreate);
    } catch (const EStreamError& e) {
        SaveError(FName, 5, e.Message());
    }
    try {
        Produce(out.get());
        if (::fsync(out->Handle()) != 0 && errno != EINVAL) throw EWriteError("Stream write error");
    } catch (const EStreamError& e) {
        out.reset();
        DeleteFile(temp);
        SaveError(FName, 101, e.Message());
    } catch (...) {
        out.reset();
        DeleteFile(temp);
        throw;
    }
    // A replaced file keeps its permissions.
    struct stat old;
    if (::stat(FName.c_str(), &old) == 0) (void)::fchmod(out->Handle(), old.st_mode & 07777);
    out.reset();
    if (!RenameFile(temp, FName)) {
        DeleteFile(temp);
        SaveError(FName, 5, "cannot replace it");
    }
}

}  // namespace kovo
