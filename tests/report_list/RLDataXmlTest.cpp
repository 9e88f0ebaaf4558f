// Report-list documents: round trips, the document's form, refused documents and safe saves.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/Exceptions.h"
#include "host/FileUtils.h"
#include "report_list/replist.h"

using namespace kovo;

namespace {

// Everything a document keeps, for comparing two stores.
struct TSnapshot {
    int Cols, Rows;
    std::string Header, Comment, ID;
    std::vector<std::string> Names, Formats, Cells;
    std::vector<int> Modes;
    bool operator==(const TSnapshot&) const = default;
};

TSnapshot Snap(const TRLData& d) {
    TSnapshot s{
        d.NrOfColumns(), d.NrOfRows(), d.CommonHeader(), d.Comment(), d.DataID(), {}, {}, {}, {}};
    for (int c = 1; c <= d.NrOfColumns(); ++c) {
        s.Names.push_back(d.Header(c));
        s.Formats.push_back(d.ColumnFormat(c));
        s.Modes.push_back(d.ColumnCheckMode(c));
    }
    for (int r = 1; r <= d.NrOfRows(); ++r)
        for (int c = 0; c <= d.NrOfColumns(); ++c) s.Cells.push_back(d.Strings->GetString(c, r));
    return s;
}

std::string ToXml(TRLData& d, const std::string& ID, bool Header = true) {
    TStringStream s;
    d.WriteToXMLStream(&s, Header, ID);
    return s.DataString();
}

std::vector<std::string> Lines(const std::string& Text) {
    std::vector<std::string> v;
    std::istringstream in(Text);
    for (std::string l; std::getline(in, l);) v.push_back(l);
    return v;
}

// A store with the awkward content a document must keep.
struct XmlFixture : ::testing::Test {
    TRLData d{nullptr};
    std::string Dir;
    void SetUp() override {
        char dir[] = "/tmp/rlxmlXXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        Dir = dir;
        d.SetNrOfColumns(4);
        d.SetNrOfRows(5);
        d.SetHeader(1, "Name <&> \"q\" 'a'");
        d.SetHeader(2, "Größe");
        d.SetColumnFormat(2, "[i][60]rix3");
        d.SetColumnFormat(4, "[c]red|green & <blue>");
        d.SetColumnCheckMode(3, cmBox);
        d.SetColumnCheckMode(4, cmRadio);
        d.SetCommonHeader("  Sales & <Co>  ");
        d.SetComment("first line\nsecond\r\nthird\ttabbed\n");
        d.SetElem(0, 1, "hidden column 0");
        d.SetElem(1, 1, "<b>&amp;</b> \"x\" 'y'");
        d.SetElem(2, 1, "  blanks at both ends  ");
        d.SetElem(1, 2, " ");
        d.SetElem(2, 2, "日本語 ✓ 𝄞");
        d.SetElem(3, 1, "box on");
        d.SetElemChecked(3, 1, true);
        d.SetElem(3, 2, "box off");
        d.Strings->SetString(3, 3, "*star state");  // any non-blank state counts as checked
        d.SetElemChecked(4, 2, true);               // an empty radio cell becomes "X"
        d.SetElem(1, 3, std::string("ctl\x01\x1F\x7F end"));
        d.SetElem(2, 3, std::string("latin1 \xE9\xFF bytes"));
        d.SetElem(1, 4, std::string(255, 'w'));
        d.SetElem(2, 4, "]]> --> <!-- <?pi?>");
        // Row 5 stays empty.
    }
    void TearDown() override { std::system(("rm -rf '" + Dir + "'").c_str()); }
    std::string Path(const std::string& Name) { return Dir + "/" + Name; }
    std::string ReadFile(const std::string& Name) {
        std::ifstream in(Path(Name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<std::string> DirEntries() {
        std::vector<std::string> v;
        TSearchRec f;
        for (int rc = FindFirst(Dir + "/*", faAnyFile | faHidden, f); rc == 0; rc = FindNext(f))
            if (f.Name != "." && f.Name != "..") v.push_back(f.Name);
        return v;
    }
};

}  // namespace

TEST_F(XmlFixture, RoundTripsThroughStringStreamAndFiles) {
    d.SetDataID("Sales");
    const TSnapshot before = Snap(d);
    const std::string xml = ToXml(d, "Sales");

    TRLData a(nullptr);
    ASSERT_TRUE(a.ReadFromXMLString(xml, "sales"));
    EXPECT_EQ(Snap(a), before);

    TRLData b(nullptr);
    TStringStream s(xml);
    ASSERT_TRUE(b.ReadFromXMLStream(&s, ""));
    EXPECT_EQ(Snap(b), before);
    EXPECT_EQ(s.Position(), s.Size());

    d.SaveAsXMLFile(Path("list.xml"), "Sales");
    TRLData c(nullptr);
    ASSERT_TRUE(c.LoadFromXMLFile(Path("list.xml"), "SALES"));
    EXPECT_EQ(Snap(c), before);
    EXPECT_EQ(ReadFile("list.xml"), xml);
    EXPECT_TRUE(CheckIfValidReplist(Path("list.xml"), "sales"));
}

TEST_F(XmlFixture, IDsWithMarkupCharactersAreFoundAgain) {
    // Characters a quoted value may hold as they are must stay so: readers look for the ID in
    // the root line's raw text.
    for (const char* id : {"a>b", "it's", "Grüße", "x=\'1\'"}) {
        SCOPED_TRACE(id);
        d.SetDataID(id);
        const std::string xml = ToXml(d, id);
        TStringStream s(xml);
        EXPECT_TRUE(CheckIfValidReplist(&s, id));
        TRLData a(nullptr);
        ASSERT_TRUE(a.ReadFromXMLString(xml, id));
        EXPECT_EQ(a.DataID(), id);
    }
}

TEST_F(XmlFixture, TheDocumentHasOneElementPerLineAndARecognisableRoot) {
    const std::vector<std::string> withHeader = Lines(ToXml(d, "Orders"));
    ASSERT_GE(withHeader.size(), 3u);
    EXPECT_EQ(withHeader[0], "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    EXPECT_EQ(withHeader[1], "<replist dataid=\"Orders\" creator=\"kovopack\" version=\"1\">");
    EXPECT_EQ(withHeader.back(), "</replist>");
    for (size_t i = 2; i + 1 < withHeader.size(); ++i) {
        SCOPED_TRACE(withHeader[i]);
        const std::string& l = withHeader[i];
        ASSERT_EQ(l.front(), '<');
        const std::string name = l.substr(1, l.find_first_of(" >/") - 1);
        bool known = false;
        for (int t = 0; t < xmlEndReplist; ++t) known |= name == RepListXmlTagNames[t];
        EXPECT_TRUE(known);
    }
    const std::string noHeader = ToXml(d, "Orders", false);
    EXPECT_EQ(noHeader.rfind("<replist ", 0), 0u);
    TStringStream s(noHeader);
    EXPECT_TRUE(CheckIfValidReplist(&s, "orders"));
    // A row without text is still written, as one empty cell.
    TRLData blank(nullptr);
    blank.SetNrOfRows(2);
    blank.SetElem(1, 1, "a");
    const std::vector<std::string> lines = Lines(ToXml(blank, ""));
    EXPECT_EQ(lines[lines.size() - 3], "<cell col=\"1\" row=\"1\">a</cell>");
    EXPECT_EQ(lines[lines.size() - 2], "<cell col=\"0\" row=\"2\"></cell>");
}

TEST(RepListXmlTag, NamesInTheirOrder) {
    const char* expected[] = {"numcols",      "numrows", "colname", "checkedcolumn", "commonheader",
                              "columnformat", "cell",    "comment", "/replist",      "invalidtag"};
    for (int t = xmlNumCols; t <= xmlInvalid; ++t) EXPECT_STREQ(RepListXmlTagNames[t], expected[t]);
}

TEST_F(XmlFixture, EdgeStoresRoundTrip) {
    TRLData empty(nullptr);  // one column, no rows
    empty.SetCommonHeader("");
    TRLData back(nullptr);
    back.SetNrOfColumns(7);
    back.SetNrOfRows(3);
    ASSERT_TRUE(back.ReadFromXMLString(ToXml(empty, ""), ""));
    EXPECT_EQ(Snap(back), Snap(empty));

    TRLData blankRows(nullptr);  // rows without any text keep their number
    blankRows.SetNrOfColumns(10);
    blankRows.SetNrOfRows(2000);
    ASSERT_TRUE(back.ReadFromXMLString(ToXml(blankRows, "b"), "b"));
    EXPECT_EQ(back.NrOfRows(), 2000);
    EXPECT_EQ(back.NrOfColumns(), 10);
}

TEST_F(XmlFixture, ASortedStoreIsSavedInItsPresentedOrder) {
    d.Sort(2, -1, false);
    std::vector<std::string> presented;
    for (int r = 1; r <= d.NrOfRows(); ++r) presented.push_back(d.GetElem(2, r));
    TRLData back(nullptr);
    ASSERT_TRUE(back.ReadFromXMLString(ToXml(d, ""), ""));
    for (int r = 1; r <= back.NrOfRows(); ++r)
        EXPECT_EQ(back.GetElem(2, r), presented[size_t(r - 1)]);
    EXPECT_EQ(back.LastSortColumn(), -1);
}

TEST_F(XmlFixture, ReadersPickTheListWithTheirIDAndStopAfterIt) {
    TRLData other(nullptr);
    other.SetNrOfRows(1);
    other.SetElem(1, 1, "other");
    const std::string twoLists = ToXml(other, "first") + ToXml(d, "second") + "tail\n";

    TStringStream s(twoLists);
    TRLData a(nullptr);
    ASSERT_TRUE(a.ReadFromXMLStream(&s, "second"));
    EXPECT_EQ(a.GetElem(0, 1), "hidden column 0");
    EXPECT_EQ(a.DataID(), "second");
    EXPECT_EQ(s.ReadString(100), "tail\n");

    TStringStream t(twoLists);
    ASSERT_TRUE(a.ReadFromXMLStream(&t, ""));
    EXPECT_EQ(a.GetElem(1, 1), "other");
    ASSERT_TRUE(a.ReadFromXMLStream(&t, ""));  // the next one follows
    EXPECT_EQ(a.GetElem(0, 1), "hidden column 0");
    const int64_t at = t.Position();
    EXPECT_FALSE(a.ReadFromXMLStream(&t, ""));
    EXPECT_EQ(t.Position(), at);  // a failed read leaves the stream where it was

    // Text files: several lists written one after another, read back in turn.
    TextFile f;
    AssignFile(f, Path("two.xml"));
    Rewrite(f);
    other.WriteToOpenXMLFile(f, true, "first");
    d.WriteToOpenXMLFile(f, false, "second");
    CloseFile(f);
    Reset(f);
    TRLData b(nullptr), c(nullptr);
    EXPECT_TRUE(b.ReadFromOpenXMLFile(f, "first"));
    EXPECT_TRUE(c.ReadFromOpenXMLFile(f, "second"));
    EXPECT_TRUE(Eof(f));
    CloseFile(f);
    EXPECT_EQ(Snap(b).Cells, Snap(other).Cells);
    d.SetDataID("second");
    EXPECT_EQ(Snap(c), Snap(d));
}

TEST_F(XmlFixture, HandWrittenDocumentsUseDefaultsAndIgnoreUnknownElements) {
    const std::string doc =
        "junk before the root\n"
        "<REPLIST by=\"KovoPack\" listid=\" Mixed \">"
        "<NumRows>2</NumRows><numcols> 2 </numcols><extra><cell col=\"9\" row=\"9\"/></extra>"
        "<cell col=\"2\" row=\"2\" enc=\"hex\">41 0a42</cell>"
        "<checkedcolumn col=\"1\"/><cell col=\"1\" row=\"1\">Xon<![CDATA[<raw>]]></cell>"
        "<colname col=\"2\">" +
        std::string(60, 'n') + "</colname></REPLIST>";
    ASSERT_TRUE(d.ReadFromXMLString(doc, "mixed"));
    EXPECT_EQ(d.DataID(), "Mixed");
    EXPECT_EQ(d.NrOfColumns(), 2);
    EXPECT_EQ(d.NrOfRows(), 2);
    EXPECT_EQ(d.Header(1), "C-1");
    EXPECT_EQ(d.Header(2), std::string(50, 'n'));  // cut as names are
    EXPECT_EQ(d.CommonHeader(), "Kovo Report Listview");
    EXPECT_EQ(d.Comment(), "");
    EXPECT_EQ(d.ColumnCheckMode(1), cmBox);
    EXPECT_TRUE(d.ElemChecked(1, 1));
    EXPECT_EQ(d.GetElem(1, 1), "on<raw>");
    EXPECT_EQ(d.GetElem(2, 2), "A\nB");
    EXPECT_EQ(d.GetElem(0, 1), "");
}

TEST_F(XmlFixture, RefusedDocumentsLeaveTheStoreAlone) {
    d.SetDataID("keep");
    const TSnapshot before = Snap(d);
    const std::string head = "<replist creator=\"kovopack\" id=\"t\">\n";
    auto doc = [&](const std::string& Body) { return head + Body + "</replist>\n"; };
    const std::string counts = "<numcols>2</numcols><numrows>3</numrows>";
    const std::string bad[] = {
        "",
        "<replist id=\"t\"><numcols>1</numcols><numrows>0</numrows></replist>",  // no kovopack
        "<replist kovopack id=\"t\"><numcols>1</numcols><numrows>0</numrows></replist>",
        head + counts,                                          // not closed
        doc(counts + "<cell col=\"1\" row=\"1\">a<b></cell>"),  // not well-formed
        doc("<numrows>3</numrows>"),                            // no column count
        doc("<numcols>2</numcols>"),                            // no row count
        doc("<numcols>0</numcols><numrows>1</numrows>"),
        doc("<numcols>2</numcols><numrows>-1</numrows>"),
        doc("<numcols>2</numcols><numrows>1.5</numrows>"),
        doc("<numcols>x</numcols><numrows>1</numrows>"),
        doc("<numcols>2</numcols><numrows>99999999999</numrows>"),
        doc("<numcols>2</numcols><numrows>1000000000</numrows>"),  // far more than it holds
        doc("<numcols>100000</numcols><numrows>100000</numrows>"),
        doc(counts + "<numrows>3</numrows>"),  // said twice
        doc(counts + "<cell col=\"3\" row=\"1\">a</cell>"),
        doc(counts + "<cell col=\"1\" row=\"0\">a</cell>"),
        doc(counts + "<cell col=\"1\" row=\"4\">a</cell>"),
        doc(counts + "<cell col=\"-1\" row=\"1\">a</cell>"),
        doc(counts + "<cell row=\"1\">a</cell>"),
        doc(counts + "<cell col=\"1\" row=\"1\">a</cell><cell col=\"1\" row=\"1\">b</cell>"),
        doc(counts + "<cell col=\"1\" row=\"1\" enc=\"hex\">4</cell>"),
        doc(counts + "<cell col=\"1\" row=\"1\" enc=\"hex\">zz</cell>"),
        doc(counts + "<cell col=\"1\" row=\"1\" enc=\"base64\">QQ==</cell>"),
        doc(counts + "<colname col=\"0\">a</colname>"),
        doc(counts + "<colname col=\"3\">a</colname>"),
        doc(counts + "<colname col=\"1\">a</colname><colname col=\"1\">b</colname>"),
        doc(counts + "<checkedcolumn col=\"1\" mode=\"tick\"/>"),
        doc(counts + "<comment>a</comment><comment>b</comment>"),
        doc(counts + "<columnformat col=\"2\">a</columnformat><columnformat col=\"2\"/>"),
    };
    for (const std::string& text : bad) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(d.ReadFromXMLString(text, "t"));
        EXPECT_EQ(Snap(d), before);
    }
    // A good document with another ID is refused too.
    EXPECT_FALSE(d.ReadFromXMLString(doc(counts), "u"));
    EXPECT_TRUE(d.ReadFromXMLString(doc(counts), "T"));
    EXPECT_EQ(d.NrOfRows(), 3);
}

TEST_F(XmlFixture, ProgressIsReportedAndARaisingHandlerChangesNothing) {
    TRLData big(nullptr);
    big.SetNrOfColumns(4);
    big.SetNrOfRows(3000);
    big.Fill("v");
    std::vector<int> seen;
    big.OnPercentDone = [&](TObject* Sender, int Percent) {
        EXPECT_EQ(Sender, &big);
        seen.push_back(Percent);
    };
    const std::string xml = ToXml(big, "");
    ASSERT_GE(seen.size(), 50u);
    EXPECT_LE(seen.size(), 102u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), 100);

    int changes = 0;
    d.Strings->OnChange = [&](TObject*) { ++changes; };
    std::vector<int> read;
    d.OnPercentDone = [&](TObject*, int Percent) { read.push_back(Percent); };
    ASSERT_TRUE(d.ReadFromXMLString(xml, ""));
    EXPECT_EQ(changes, 1);  // one notification for the whole read
    EXPECT_GE(read.size(), 50u);
    EXPECT_EQ(read.back(), 100);

    const TSnapshot before = Snap(d);
    TRLData small(nullptr);
    small.SetNrOfRows(1000);
    d.OnPercentDone = [](TObject*, int Percent) {
        if (Percent >= 50) throw EAbort("stop");
    };
    EXPECT_THROW(d.ReadFromXMLString(ToXml(small, ""), ""), EAbort);
    EXPECT_EQ(Snap(d), before);
}

TEST_F(XmlFixture, AnInterruptedSaveKeepsTheOldFile) {
    d.SaveAsXMLFile(Path("list.xml"), "v1");
    const std::string old = ReadFile("list.xml");
    TRLData big(nullptr);
    big.SetNrOfColumns(3);
    big.SetNrOfRows(20000);
    big.Fill("some text to make the document large");
    big.OnPercentDone = [](TObject*, int Percent) {
        if (Percent >= 60) throw EAbort("cancelled");
    };
    EXPECT_THROW(big.SaveAsXMLFile(Path("list.xml"), "v2"), EAbort);
    EXPECT_EQ(ReadFile("list.xml"), old);
    EXPECT_EQ(DirEntries(), std::vector<std::string>{"list.xml"});  // no temporary file left
}

TEST_F(XmlFixture, SaveErrorsNameTheFile) {
    const std::string missingDir = Path("no/such/dir/list.xml");
    try {
        d.SaveAsXMLFile(missingDir, "");
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_NE(e.Message().find(missingDir), std::string::npos) << e.Message();
    }
    ASSERT_TRUE(CreateDir(Path("adir")));
    EXPECT_THROW(d.SaveAsXMLFile(Path("adir"), ""), EInOutError);
    EXPECT_TRUE(DirectoryExists(Path("adir")));

    // A data ID that no root line could carry recognisably is refused before writing.
    d.SaveAsXMLFile(Path("keep.xml"), "ok");
    const std::string old = ReadFile("keep.xml");
    for (const char* id : {"a\"b", "a&b", "a<b", " lead", "trail ", "tab\t"}) {
        SCOPED_TRACE(id);
        EXPECT_THROW(d.SaveAsXMLFile(Path("keep.xml"), id), EKovoRLDataError);
        TStringStream s;
        EXPECT_THROW(d.WriteToXMLStream(&s, true, id), EKovoRLDataError);
    }
    EXPECT_EQ(ReadFile("keep.xml"), old);
    const std::vector<std::string> expected{"adir", "keep.xml"};
    EXPECT_EQ(DirEntries(), expected);
}

TEST_F(XmlFixture, ASavedFileKeepsItsPermissions) {
    d.SaveAsXMLFile(Path("p.xml"), "");
    ASSERT_EQ(chmod(Path("p.xml").c_str(), 0640), 0);
    d.SaveAsXMLFile(Path("p.xml"), "");
    struct stat st;
    ASSERT_EQ(stat(Path("p.xml").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}
