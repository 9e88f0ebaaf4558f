#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "report_list/replist.h"

using namespace kovo;

namespace {

struct DataFixture : ::testing::Test {
    TRLData d{nullptr};
    void Rows(int Cols, const std::vector<std::vector<std::string>>& Cells) {
        d.SetNrOfColumns(Cols);
        d.SetNrOfRows(int(Cells.size()));
        for (size_t r = 0; r < Cells.size(); ++r)
            for (size_t c = 0; c < Cells[r].size(); ++c)
                d.SetElem(int(c) + 1, int(r) + 1, Cells[r][c]);
    }
    std::vector<std::string> Column(int Col, bool Stored = false) {
        std::vector<std::string> v;
        for (int r = 1; r <= d.NrOfRows(); ++r)
            v.push_back(Stored ? d.Strings->GetString(Col, r) : d.GetElem(Col, r));
        return v;
    }
};

}  // namespace

TEST_F(DataFixture, ANewStoreHasOneColumnAndNoRows) {
    EXPECT_EQ(d.NrOfColumns(), 1);
    EXPECT_EQ(d.NrOfRows(), 0);
    EXPECT_EQ(d.Header(1), "C-1");
    EXPECT_EQ(d.ColumnFormat(1), "");
    EXPECT_EQ(d.ColumnCheckMode(1), cmNone);
    EXPECT_EQ(d.CommonHeader(), "Kovo Report Listview");
    EXPECT_EQ(d.LastSortColumn(), -1);
    EXPECT_EQ(d.SecondarySortColumn(), -1);
    EXPECT_TRUE(d.LastSortOrder());
    EXPECT_TRUE(d.SortToggle());
    EXPECT_EQ(d.Comment(), "");
    EXPECT_EQ(d.DataID(), "");
    EXPECT_EQ(d.Strings->AllocRowsBy(), 10);
    EXPECT_EQ(d.FeedbackNumCells(), 1);
    EXPECT_EQ(d.FeedbackStep(), 1);
}

TEST_F(DataFixture, CountsAreClampedAndFeedbackFollows) {
    d.SetNrOfColumns(0);
    EXPECT_EQ(d.NrOfColumns(), 1);
    d.SetNrOfRows(-5);
    EXPECT_EQ(d.NrOfRows(), 0);
    d.SetNrOfColumns(3);
    d.SetNrOfRows(500);
    EXPECT_EQ(d.FeedbackNumCells(), 2000);
    EXPECT_EQ(d.FeedbackStep(), 21);
}

TEST_F(DataFixture, GrowingNamesOnlyTheNewColumns) {
    d.SetNrOfColumns(2);
    d.SetHeader(1, "Name");
    d.SetHeader(2, "Age");
    d.SetColumnFormat(2, "[i]");
    d.SetColumnCheckMode(2, cmBox);
    d.SetNrOfColumns(4);
    EXPECT_EQ(d.Header(1), "Name");
    EXPECT_EQ(d.Header(2), "Age");
    EXPECT_EQ(d.Header(3), "C-3");
    EXPECT_EQ(d.Header(4), "C-4");
    EXPECT_EQ(d.ColumnFormat(2), "[i]");
    EXPECT_EQ(d.ColumnCheckMode(2), cmBox);
    EXPECT_EQ(d.ColumnCheckMode(4), cmNone);
    d.SetNrOfColumns(1);
    d.SetNrOfColumns(2);
    EXPECT_EQ(d.Header(2), "C-2");  // a column that comes back is new
}

TEST_F(DataFixture, ATooLargeStoreRaisesAndLeavesTheCounts) {
    Rows(2, {{"a", "b"}});
    try {
        d.SetNrOfRows(1 << 30);
        FAIL();
    } catch (const EKovoRLDataError& e) {
        EXPECT_EQ(e.Message(), "Component \"\": not enough memory on heap");
    }
    d.SetName("Data1");
    try {
        d.SetNrOfColumns(1 << 30);
        FAIL();
    } catch (const EKovoRLDataError& e) {
        EXPECT_EQ(e.Message(), "Component \"Data1\": not enough memory on heap");
    }
    EXPECT_EQ(d.NrOfRows(), 1);
    EXPECT_EQ(d.NrOfColumns(), 2);
    EXPECT_EQ(d.GetElem(2, 1), "b");
}

TEST_F(DataFixture, DescriptionsAreCutAndOutOfRangeIsIgnored) {
    d.SetColName(1, std::string(60, 'h'));
    EXPECT_EQ(d.GetColName(1).size(), 50u);
    d.SetColumnFormat(1, std::string(90, 'f'));
    EXPECT_EQ(d.GetColumnFormat(1).size(), 80u);
    d.SetColName(1, std::string(49, 'x') + "\u00e4\u00e4");  // cut by characters
    EXPECT_EQ(d.GetColName(1), std::string(49, 'x') + "\u00e4");
    for (int c : {0, 2, -1}) {
        d.SetColName(c, "x");
        d.SetColumnFormat(c, "x");
        d.SetColCheckMode(c, cmBox);
        EXPECT_EQ(d.GetColName(c), "");
        EXPECT_EQ(d.GetColumnFormat(c), "");
        EXPECT_EQ(d.GetColCheckMode(c), cmNone);
        EXPECT_FALSE(d.GetCheckedCol(c));
    }
}

TEST_F(DataFixture, CellsOutsideAreEmptyAndColumnZeroIsPlain) {
    Rows(1, {{"a"}});
    d.SetElem(0, 1, "hidden");
    EXPECT_EQ(d.GetElem(0, 1), "hidden");
    for (auto [c, r] : {std::pair{2, 1}, {-1, 1}, {1, 0}, {1, 2}}) {
        d.SetElem(c, r, "x");
        EXPECT_EQ(d.GetElem(c, r), "");
        EXPECT_FALSE(d.GetElemChecked(c, r));
    }
    d.SetElem(1, 1, std::string(300, 'z'));
    EXPECT_EQ(d.GetElem(1, 1).size(), 255u);
}

TEST_F(DataFixture, SwitchingToCheckMarksAndBackKeepsTheTexts) {
    Rows(1, {{"a"}, {""}, {"b"}});
    d.SetColCheckMode(1, cmBox);
    EXPECT_EQ(Column(1, true), (std::vector<std::string>{" a", "", " b"}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"a", "", "b"}));
    d.SetColCheckMode(1, cmNone);
    EXPECT_EQ(Column(1, true), (std::vector<std::string>{"a", "", "b"}));
}

TEST_F(DataFixture, AModeChangeFiresNoChangeNotification) {
    Rows(1, {{"a"}, {"b"}});
    int changes = 0;
    d.Strings->OnChange = [&](TObject*) { ++changes; };
    d.SetColCheckMode(1, cmBox);
    d.SetColCheckMode(1, cmRadio);
    d.SetColCheckMode(1, cmNone);
    EXPECT_EQ(changes, 0);
    ASSERT_TRUE(d.Strings->OnChange);  // re-attached
    d.SetElem(1, 1, "z");
    EXPECT_EQ(changes, 1);
}

TEST_F(DataFixture, BoxToRadioUnchecksEverythingRadioToBoxKeepsIt) {
    Rows(1, {{"a"}, {""}, {"b"}});
    d.SetColCheckMode(1, cmBox);
    d.SetElemChecked(1, 1, true);
    d.SetElemChecked(1, 3, true);
    d.SetColCheckMode(1, cmRadio);
    EXPECT_EQ(Column(1, true), (std::vector<std::string>{" a", " ", " b"}));
    d.SetElemChecked(1, 2, true);
    d.SetColCheckMode(1, cmBox);
    EXPECT_EQ(Column(1, true), (std::vector<std::string>{" a", "X", " b"}));
}

TEST_F(DataFixture, RadioColumnsKeepOneMarkAtMost) {
    Rows(1, {{"a"}, {"b"}, {"c"}});
    d.SetColCheckMode(1, cmRadio);
    d.SetElemChecked(1, 1, true);
    d.SetElemChecked(1, 3, true);
    EXPECT_EQ(d.CountCheckedElemsInCol(1), 1);
    EXPECT_TRUE(d.GetElemChecked(1, 3));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"a", "b", "c"}));
    d.SetElemChecked(1, 3, false);
    EXPECT_EQ(d.CountCheckedElemsInCol(1), 0);
    d.SetAllCheckmarksOfCol(1, true);  // radio: nothing
    EXPECT_EQ(d.CountCheckedElemsInCol(1), 0);
    d.InvertAllCheckmarksOfCol(1);
    EXPECT_EQ(d.CountCheckedElemsInCol(1), 0);
}

TEST_F(DataFixture, BoxColumnsSetAndInvertAll) {
    Rows(2, {{"a", "p"}, {"", "q"}, {"c", "r"}});
    d.SetIsCheckedColumn(1, true);
    EXPECT_EQ(d.ColumnCheckMode(1), cmBox);
    d.SetElemChecked(1, 3, true);
    d.InvertAllCheckmarksOfCol(1);
    EXPECT_EQ(Column(1, true), (std::vector<std::string>{"Xa", "X", " c"}));
    d.SetAllCheckmarksOfCol(1, false);
    EXPECT_EQ(Column(1, true), (std::vector<std::string>{" a", " ", " c"}));
    d.SetAllCheckmarksOfCol(1, true);
    EXPECT_EQ(d.CountCheckedElemsInCol(1), 3);
    d.SetAllCheckmarksOfCol(2, true);  // a plain column: nothing
    EXPECT_EQ(d.GetElem(2, 1), "p");
    // A state character other than "X" also counts as checked; inverting makes it "X".
    d.Strings->SetString(1, 1, "Ya");
    EXPECT_TRUE(d.GetElemChecked(1, 1));
    d.InvertAllCheckmarksOfCol(1);
    EXPECT_EQ(d.Strings->GetString(1, 1), "Xa");
}

TEST_F(DataFixture, SetElemKeepsTheStateCharacter) {
    Rows(1, {{"a"}, {""}});
    d.SetColCheckMode(1, cmBox);
    d.SetElemChecked(1, 1, true);
    d.SetElem(1, 1, "new");
    d.SetElem(1, 2, "two");
    EXPECT_EQ(Column(1, true), (std::vector<std::string>{"Xnew", " two"}));
    d.SetElem(1, 1, std::string(300, 'y'));
    EXPECT_EQ(d.Strings->GetString(1, 1).size(), 255u);
    EXPECT_TRUE(d.GetElemChecked(1, 1));
}

TEST_F(DataFixture, CountingAndFirstChecked) {
    Rows(3, {{"a", "b", "c"}, {"d", "e", "f"}});
    EXPECT_EQ(d.FirstCheckedElemInRow(1), 0);
    d.SetColCheckMode(2, cmBox);
    d.SetColCheckMode(3, cmRadio);
    d.SetElemChecked(2, 2, true);
    d.SetElemChecked(3, 2, true);
    d.SetElemChecked(1, 1, true);  // plain: ignored
    EXPECT_EQ(d.CountCheckedElemsInRow(2), 2);
    EXPECT_EQ(d.CountCheckedElemsInRow(1), 0);
    EXPECT_EQ(d.CountCheckedElemsInRow(3), 0);
    EXPECT_EQ(d.CountCheckedElemsInCol(1), 0);
    EXPECT_EQ(d.FirstCheckedElemInCol(2), 2);
    EXPECT_EQ(d.FirstCheckedElemInCol(1), 0);
    EXPECT_EQ(d.FirstCheckedElemInRow(2), 2);
    EXPECT_EQ(d.FirstCheckedElemInRow(9), 0);

    TRLData empty(nullptr);
    empty.SetColCheckMode(1, cmBox);
    EXPECT_EQ(empty.FirstCheckedElemInCol(1), 0);
}

TEST_F(DataFixture, ColumnIndexPrefersTheHighestColumn) {
    d.SetNrOfColumns(4);
    d.SetHeader(1, "Name");
    d.SetHeader(2, "Address");
    d.SetHeader(3, "name");
    d.SetHeader(4, "");
    struct Case {
        const char* head;
        bool partial;
        int col;
    };
    const Case cases[] = {{"NAME", false, 3},  {"am", true, 3},  {"dre", true, 2},
                          {"Addr", false, -1}, {"zz", true, -1}, {"", false, 4},
                          {"", true, -1}};
    for (const Case& c : cases) EXPECT_EQ(d.ColumnIndex(c.head, c.partial), c.col) << c.head;
}

TEST_F(DataFixture, RemoveRowWorksOnThePresentedOrderAndEmptiesTheLastRow) {
    Rows(1, {{"c"}, {"a"}, {"b"}});
    d.SetElem(0, 1, "zero");
    d.Sort(1, -1, true);  // a b c
    d.RemoveRow(1);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(d.LastSortColumn(), 1);
    d.RemoveRow(3);  // outside
    EXPECT_EQ(d.NrOfRows(), 2);
    d.RemoveRow(1);
    d.RemoveRow(1);
    EXPECT_EQ(d.NrOfRows(), 0);
    EXPECT_EQ(d.Strings->NrOfRows(), 1);  // the only row stays, emptied
    EXPECT_EQ(d.Strings->GetString(0, 1), "");
    EXPECT_EQ(d.Strings->GetString(1, 1), "");
}

TEST_F(DataFixture, RemoveEmptyRowsTreatsABareCheckMarkAsEmpty) {
    Rows(2, {{"a", ""}, {"", ""}, {"", "x"}, {"", ""}});
    d.SetColCheckMode(2, cmBox);
    d.SetElemChecked(2, 2, true);  // only a check mark
    d.SetElem(0, 4, "hidden");     // column 0 counts
    d.RemoveEmptyRows();
    EXPECT_EQ(d.NrOfRows(), 3);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"a", "", ""}));
    EXPECT_EQ(d.GetElem(2, 2), "x");
    EXPECT_EQ(d.GetElem(0, 3), "hidden");
}

TEST_F(DataFixture, RemoveEmptyRowsOfAnAllEmptyStoreKeepsOneEmptiedRow) {
    Rows(1, {{""}, {""}, {""}});
    d.SetColCheckMode(1, cmBox);
    d.SetElemChecked(1, 2, true);
    d.RemoveEmptyRows();
    EXPECT_EQ(d.NrOfRows(), 0);
    EXPECT_EQ(d.Strings->NrOfRows(), 1);
    EXPECT_EQ(d.Strings->GetString(1, 1), "");
}

TEST_F(DataFixture, RemoveEmptyRowsWorksOnASortedStore) {
    Rows(1, {{"b"}, {""}, {"a"}, {""}});
    d.Sort(1, -1, false);  // b a "" ""
    d.RemoveEmptyRows();
    EXPECT_EQ(Column(1), (std::vector<std::string>{"b", "a"}));
}

TEST_F(DataFixture, CopyRowCopiesStoredTextsAndTheAttribute) {
    Rows(2, {{"a", "b"}, {"c", "d"}});
    d.SetColCheckMode(2, cmBox);
    d.SetElemChecked(2, 1, true);
    d.SetElem(0, 1, "z");
    d.Strings->SetRowAttrib(1, 5);
    d.CopyRow(1, 2);
    EXPECT_EQ(d.Strings->GetString(2, 2), "Xb");
    EXPECT_EQ(d.GetElem(0, 2), "z");
    EXPECT_EQ(d.Strings->GetRowAttrib(2), 5);
    d.CopyRow(1, 3);
    EXPECT_EQ(d.NrOfRows(), 2);
}

TEST_F(DataFixture, FillKeepsStatesAndColumnZero) {
    Rows(2, {{"a", "b"}, {"c", ""}});
    d.SetColCheckMode(2, cmBox);
    d.SetElemChecked(2, 1, true);
    d.SetElem(0, 1, "zero");
    d.Fill("f");
    EXPECT_EQ(Column(1, true), (std::vector<std::string>{"f", "f"}));
    EXPECT_EQ(Column(2, true), (std::vector<std::string>{"Xf", " f"}));
    EXPECT_EQ(d.GetElem(0, 1), "zero");
}

TEST_F(DataFixture, ClearEmptiesCellsAndResetsColumnsButKeepsTheRest) {
    Rows(2, {{"a", "b"}});
    d.SetHeader(1, "H");
    d.SetColumnFormat(1, "[s]");
    d.SetColumnCheckMode(2, cmBox);
    d.SetComment("c");
    d.SetDataID("id");
    d.SetCommonHeader("common");
    d.Sort(1, 2, false);
    d.Clear();
    EXPECT_EQ(d.NrOfRows(), 1);
    EXPECT_EQ(d.NrOfColumns(), 2);
    EXPECT_EQ(d.GetElem(1, 1), "");
    EXPECT_EQ(d.Header(1), "C-1");
    EXPECT_EQ(d.ColumnFormat(1), "");
    EXPECT_EQ(d.ColumnCheckMode(2), cmNone);
    EXPECT_EQ(d.Comment(), "c");
    EXPECT_EQ(d.DataID(), "id");
    EXPECT_EQ(d.CommonHeader(), "common");
    EXPECT_EQ(d.LastSortColumn(), 1);
    EXPECT_FALSE(d.LastSortOrder());
}

TEST_F(DataFixture, SortRecordsTheColumnsAndUnSortResetsThem) {
    Rows(2, {{"10", "b"}, {"9", "a"}, {"10", "a"}});
    d.Sort(1, 2, false);
    EXPECT_EQ(d.LastSortColumn(), 1);
    EXPECT_EQ(d.SecondarySortColumn(), 2);
    EXPECT_FALSE(d.LastSortOrder());
    EXPECT_EQ(Column(1), (std::vector<std::string>{"10", "10", "9"}));
    EXPECT_EQ(Column(2), (std::vector<std::string>{"b", "a", "a"}));
    EXPECT_EQ(d.AsNumber(1, 3), 9.0);
    d.UnSort();
    EXPECT_EQ(d.LastSortColumn(), -1);
    EXPECT_EQ(d.SecondarySortColumn(), -1);
    EXPECT_FALSE(d.LastSortOrder());
    EXPECT_EQ(Column(1), (std::vector<std::string>{"10", "9", "10"}));
}

TEST_F(DataFixture, SortKeysPassThroughOnBeforeSortExchange) {
    Rows(1, {{"b"}, {"a"}});
    std::vector<TObject*> senders;
    d.OnBeforeSortExchange = [&](TObject* Sender, const std::string& Text, std::string& Key) {
        senders.push_back(Sender);
        Key = Text == "a" ? "z" : Text;  // "a" sorts last
    };
    d.Sort(1, -1, true);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"b", "a"}));
    ASSERT_EQ(senders.size(), 2u);
    EXPECT_EQ(senders[0], &d);
}

TEST_F(DataFixture, AsNumberOfACheckMarkCellReadsTheStoredText) {
    Rows(2, {{"12", "7"}});
    d.SetColCheckMode(2, cmBox);
    EXPECT_EQ(d.GetAsNumber(1, 1), 12.0);
    EXPECT_EQ(d.GetAsNumber(2, 1), 7.0);  // " 7" reads as 7
    d.SetElemChecked(2, 1, true);
    EXPECT_EQ(d.GetAsNumber(2, 1), 0.0);  // "X7" is no number
    d.SetElem(1, 1, "text");
    EXPECT_EQ(d.GetAsNumber(1, 1), 0.0);
}

TEST_F(DataFixture, AssignCopiesDataAndPresentationButNotPlacementEvents) {
    Rows(2, {{"c", "1"}, {"a", "2"}, {"b", "3"}});
    d.SetName("Source");
    d.SetHeader(1, "Letter");
    d.SetColumnFormat(2, "[i]");
    d.SetColCheckMode(2, cmBox);
    d.SetElemChecked(2, 1, true);
    d.SetElem(0, 2, "hidden");
    d.Strings->SetRowAttrib(1, 4);
    d.Strings->SetColAttrib(2, 6);
    d.SetComment("comment");
    d.SetDataID("id");
    d.SetCommonHeader("common");
    d.SetSortToggle(false);
    d.Sort(1, -1, true);  // a b c
    int sortCalls = 0, htmlCalls = 0;
    d.OnBeforeSortExchange = [&](TObject*, const std::string&, std::string&) { ++sortCalls; };
    d.OnBeforeHTMLExport = [&](TObject*, std::string&, int, int) { ++htmlCalls; };

    TRLData copy(nullptr);
    copy.SetName("Copy");
    TStringArray* oldStore = copy.Strings;
    copy.Assign(&d);
    EXPECT_NE(copy.Strings, oldStore);
    EXPECT_EQ(copy.Name(), "Copy");
    EXPECT_EQ(copy.NrOfColumns(), 2);
    EXPECT_EQ(copy.NrOfRows(), 3);
    EXPECT_EQ(copy.Header(1), "Letter");
    EXPECT_EQ(copy.ColumnFormat(2), "[i]");
    EXPECT_EQ(copy.ColumnCheckMode(2), cmBox);
    EXPECT_EQ(copy.Comment(), "comment");
    EXPECT_EQ(copy.DataID(), "id");
    EXPECT_EQ(copy.CommonHeader(), "common");
    EXPECT_FALSE(copy.SortToggle());
    EXPECT_EQ(copy.LastSortColumn(), 1);
    EXPECT_EQ(copy.Strings->AllocRowsBy(), 10);
    for (int r = 1; r <= 3; ++r) {
        EXPECT_EQ(copy.Strings->GetSortOrder(r), d.Strings->GetSortOrder(r));
        EXPECT_EQ(copy.Strings->GetRowAttrib(r), d.Strings->GetRowAttrib(r));
        for (int c = 0; c <= 2; ++c)
            EXPECT_EQ(copy.Strings->GetString(c, r), d.Strings->GetString(c, r)) << c << r;
    }
    EXPECT_EQ(copy.Strings->GetColAttrib(2), 6);
    copy.UnSort();  // the same stored order
    EXPECT_EQ(copy.GetElem(1, 1), "c");
    EXPECT_TRUE(copy.GetElemChecked(2, 1));
    EXPECT_EQ(copy.Strings->GetRowAttrib(1), 4);

    // OnBeforeSortExchange is copied (and the new store is hooked), OnBeforeHTMLExport not.
    copy.Sort(1, -1, true);
    EXPECT_GT(sortCalls, 0);
    EXPECT_FALSE(copy.OnBeforeHTMLExport);
    EXPECT_EQ(htmlCalls, 0);
}

TEST_F(DataFixture, AssignAndAssignToRefuseOtherClasses) {
    TStringArray other;
    EXPECT_THROW(d.Assign(&other), EConvertError);
    TRLData target(nullptr);
    Rows(1, {{"x"}});
    // Assigning through the source's AssignTo reaches the same copy.
    static_cast<TPersistent&>(target).Assign(&d);
    EXPECT_EQ(target.GetElem(1, 1), "x");
    d.Assign(&d);  // itself: nothing changes
    EXPECT_EQ(d.GetElem(1, 1), "x");
}
