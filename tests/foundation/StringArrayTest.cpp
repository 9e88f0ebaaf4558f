#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/kovocore.h"
#include "host/SysUtils.h"

using namespace kovo;

namespace {

// A store with one column of texts (column 1) and a second column (column 2).
struct StoreFixture : ::testing::Test {
    TStringArray s;
    int changes = 0;
    void SetUp() override {
        s.OnChange = [this](TObject*) { ++changes; };
    }
    void Fill(const std::vector<std::string>& Col1, const std::vector<std::string>& Col2 = {}) {
        s.Resize(2, int(Col1.size()));
        for (size_t i = 0; i < Col1.size(); ++i) {
            s.SetString(1, int(i) + 1, Col1[i]);
            s.SetString(2, int(i) + 1, i < Col2.size() ? Col2[i] : std::to_string(i + 1));
        }
    }
    std::vector<std::string> Column(int Col) {
        std::vector<std::string> v;
        for (int r = 1; r <= s.NrOfRows(); ++r) v.push_back(s.GetString(Col, r));
        return v;
    }
};

}  // namespace

TEST_F(StoreFixture, ResizeKeepsSurvivingCellsAndEmptiesNewOnes) {
    EXPECT_EQ(s.NrOfColumns(), 0);
    EXPECT_EQ(s.NrOfRows(), 0);
    ASSERT_TRUE(s.Resize(2, 3));
    s.SetString(0, 1, "zero");
    s.SetString(2, 3, "c");
    ASSERT_TRUE(s.Resize(4, 5));
    EXPECT_EQ(s.GetString(0, 1), "zero");
    EXPECT_EQ(s.GetString(2, 3), "c");
    EXPECT_EQ(s.GetString(4, 5), "");
    ASSERT_TRUE(s.Resize(1, 2));
    EXPECT_EQ(s.GetString(0, 1), "zero");
    EXPECT_EQ(s.GetString(2, 3), "");  // outside now
    ASSERT_TRUE(s.Resize(-3, -1));
    EXPECT_EQ(s.NrOfColumns(), 0);
    EXPECT_EQ(s.NrOfRows(), 0);
}

TEST_F(StoreFixture, ATooLargeStoreIsRefusedAndNothingChanges) {
    Fill({"a", "b"});
    EXPECT_FALSE(s.Resize(1000000, 1000000));
    EXPECT_FALSE(s.Resize(0, int(TStringArray::MaxCells) + 1));
    EXPECT_EQ(s.NrOfColumns(), 2);
    EXPECT_EQ(s.NrOfRows(), 2);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"a", "b"}));
}

TEST_F(StoreFixture, OutsideTheStoreReadsEmptyAndWritesNothing) {
    Fill({"a"});
    changes = 0;
    for (auto [c, r] : {std::pair{-1, 1}, {3, 1}, {1, 0}, {1, 2}}) {
        s.SetString(c, r, "x");
        EXPECT_EQ(s.GetString(c, r), "");
        EXPECT_EQ(s.GetAsNumber(c, r), 0.0);
    }
    EXPECT_EQ(changes, 0);
    s.SetString(1, 1, "a");  // same text: no change
    EXPECT_EQ(changes, 0);
    s.SetString(1, 1, "b");
    EXPECT_EQ(changes, 1);
}

TEST_F(StoreFixture, AllocationBlockIsKept) {
    EXPECT_EQ(s.AllocRowsBy(), 1);
    s.SetAllocRowsBy(10);
    EXPECT_EQ(s.AllocRowsBy(), 10);
    s.SetAllocRowsBy(0);
    EXPECT_EQ(s.AllocRowsBy(), 1);
}

TEST(StoreNumbers, ReadNumberAcceptsWholeNumbersOnly) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"12", true, 12},
        {" -3.5 ", true, -3.5},
        {"+7", true, 7},
        {"1e3", true, 1000},
        {"2.5E-1", true, 0.25},
        {".5", true, 0.5},
        {"5.", true, 5},
        {"1e999", true, uc_MaxDouble},
        {"-1e999", true, -uc_MaxDouble},
        {"1e-999", true, 0},
        {"", false, 0},
        {"  ", false, 0},
        {"abc", false, 0},
        {"12a", false, 0},
        {"1e", false, 0},
        {"--1", false, 0},
        {".", false, 0},
        {"1 2", false, 0},
        {"0x10", false, 0},
        {"inf", false, 0},
        {"nan", false, 0},
    };
    for (const Case& c : cases) {
        double v = -99;
        EXPECT_EQ(TStringArray::ReadNumber(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

TEST(StoreNumbers, TheSettingsDecimalSeparatorCountsToo) {
    FormatSettings.DecimalSeparator = ',';
    double v = 0;
    EXPECT_TRUE(TStringArray::ReadNumber("1,5", v));
    EXPECT_EQ(v, 1.5);
    EXPECT_TRUE(TStringArray::ReadNumber("1.5", v));
    ResetFormatSettings();
    EXPECT_FALSE(TStringArray::ReadNumber("1,5", v) && FormatSettings.DecimalSeparator != ',');
}

TEST_F(StoreFixture, GetAsNumberGivesZeroForText) {
    Fill({"3.25", "x", ""});
    EXPECT_EQ(s.GetAsNumber(1, 1), 3.25);
    EXPECT_EQ(s.GetAsNumber(1, 2), 0.0);
    EXPECT_EQ(s.GetAsNumber(1, 3), 0.0);
}

TEST(StoreCompare, NumbersAsNumbersTextsByLoweredCodePoints) {
    struct Case {
        const char *a, *b;
        int sign;
    };
    const Case cases[] = {
        {"9", "10", -1},         {"10", "9", 1},
        {"2.0", "2", 0},         {"-1", "1", -1},
        {"abc", "ABD", -1},      {"ABC", "abc", 0},
        {"a", "B", -1},          {"9a", "10a", 1},
        {"", "a", -1},           {"", "", 0},
        {"\u00c4", "\u00e4", 0}, {"z", "\u00e4", -1},
        {"\u0394", "\u03b4", 0}, {"\u0416", "\u0436", 0},
        {"10", "abc", -1},       {"Zebra", "apple", 1},
        {"a\xff", "a\xfe", 1},
    };
    for (const Case& c : cases) {
        int r = TStringArray::CompareCells(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
    }
}

TEST_F(StoreFixture, SortIsStableAndOnlyChangesTheOrder) {
    Fill({"b", "A", "c", "a", "B"}, {"1", "2", "3", "4", "5"});
    changes = 0;
    s.Sort(1, -1, true);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"A", "a", "b", "B", "c"}));
    EXPECT_EQ(Column(2), (std::vector<std::string>{"2", "4", "1", "5", "3"}));
    EXPECT_GT(changes, 0);
    // Stored order is untouched: the sort order maps presented rows to stored ones.
    EXPECT_EQ(s.GetSortOrder(1), 2);
    EXPECT_EQ(s.GetSortOrder(5), 3);
    // Descending reverses the comparison, not the stability.
    s.UnSort();
    s.Sort(1, -1, false);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"c", "b", "B", "A", "a"}));
    s.UnSort();
    EXPECT_EQ(Column(1), (std::vector<std::string>{"b", "A", "c", "a", "B"}));
}

TEST_F(StoreFixture, NumbersSortAsNumbersAndTheSecondaryColumnBreaksTies) {
    Fill({"10", "9", "100", "9", "-1"}, {"b", "z", "a", "a", "q"});
    s.Sort(1, 2, true);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"-1", "9", "9", "10", "100"}));
    EXPECT_EQ(Column(2), (std::vector<std::string>{"q", "a", "z", "b", "a"}));
    s.Sort(1, 2, false);
    EXPECT_EQ(Column(2), (std::vector<std::string>{"a", "b", "z", "a", "q"}));
}

TEST_F(StoreFixture, ANumberAndATextCompareAsTexts) {
    Fill({"abc", "5", "10a"});
    s.Sort(1, -1, true);
    // "10a" < "5" and "5" < "abc" are text comparisons; numbers do not simply go first.
    EXPECT_EQ(Column(1), (std::vector<std::string>{"10a", "5", "abc"}));
}

TEST_F(StoreFixture, MixedNumbersAndTextsSortWithoutFault) {
    // "10" < "1a" < "9" < "10" is no consistent order; the sort must still end safely.
    std::vector<std::string> col;
    for (int i = 0; i < 500; ++i)
        col.push_back(i % 3 == 0 ? std::to_string(i) : std::to_string(i) + "a");
    Fill(col);
    s.Sort(1, -1, true);
    std::vector<std::string> sorted = Column(1);
    std::sort(col.begin(), col.end());
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, col);  // a permutation of the rows
}

TEST_F(StoreFixture, SortingSuccessivelyKeepsThePreviousOrderAmongTies) {
    Fill({"x", "y", "x", "y"}, {"2", "1", "1", "2"});
    s.Sort(2, -1, true);
    s.Sort(1, -1, true);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"x", "x", "y", "y"}));
    EXPECT_EQ(Column(2), (std::vector<std::string>{"1", "2", "1", "2"}));
}

TEST_F(StoreFixture, ColumnOutsideLeavesTheOrderAndZeroCanBeSorted) {
    Fill({"b", "a"});
    s.SetString(0, 1, "2");
    s.SetString(0, 2, "1");
    s.Sort(5, -1, true);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"b", "a"}));
    s.Sort(0, 7, true);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"a", "b"}));
}

TEST_F(StoreFixture, SortKeysCanBeRewrittenByTheHandler) {
    Fill({"01.02.2020", "15.01.2021", "31.12.2019"});
    int calls = 0;
    s.OnBeforeSortExchange = [&](TObject* Sender, const std::string& Text, std::string& Key) {
        EXPECT_EQ(Sender, &s);
        ++calls;
        Key = Text.substr(6, 4) + Text.substr(3, 2) + Text.substr(0, 2);
    };
    s.Sort(1, -1, true);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"31.12.2019", "01.02.2020", "15.01.2021"}));
}

TEST_F(StoreFixture, PercentDoneReachesOneHundred) {
    std::vector<std::string> col;
    for (int i = 0; i < 1000; ++i) col.push_back(std::to_string(1000 - i));
    Fill(col);
    std::vector<int> percents;
    s.OnPercentDone = [&](TObject*, int p) { percents.push_back(p); };
    s.Sort(1, -1, true);
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(s.GetString(1, 1), "1");
}

TEST_F(StoreFixture, CommitSortingMakesThePresentedOrderTheStoredOne) {
    Fill({"c", "a", "b"});
    s.SetRowAttrib(1, 7);  // belongs to stored row "c"
    s.Sort(1, -1, true);
    EXPECT_EQ(s.GetRowAttrib(3), 7);  // attributes follow their rows
    s.CommitSorting();
    for (int r = 1; r <= 3; ++r) EXPECT_EQ(s.GetSortOrder(r), r);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"a", "b", "c"}));
    s.UnSort();
    EXPECT_EQ(Column(1), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(s.GetRowAttrib(3), 7);
}

TEST_F(StoreFixture, SetSortOrderKeepsAPermutationAndCopiesAnotherOrder) {
    Fill({"a", "b", "c", "d"});
    s.SetSortOrder(1, 3);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"c", "b", "a", "d"}));
    const int wanted[] = {4, 1, 3, 2};
    for (int r = 1; r <= 4; ++r) s.SetSortOrder(r, wanted[r - 1]);
    for (int r = 1; r <= 4; ++r) EXPECT_EQ(s.GetSortOrder(r), wanted[r - 1]);
    s.SetSortOrder(1, 9);
    s.SetSortOrder(0, 1);
    EXPECT_EQ(s.GetSortOrder(1), 4);
    EXPECT_EQ(s.GetSortOrder(0), 0);
}

TEST_F(StoreFixture, InsertAndRemoveWorkOnPresentedRows) {
    Fill({"c", "a", "b"});
    s.Sort(1, -1, true);  // a b c
    ASSERT_TRUE(s.InsertRow(2));
    s.SetString(1, 2, "new");
    EXPECT_EQ(Column(1), (std::vector<std::string>{"a", "new", "b", "c"}));
    s.RemoveRow(3);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"a", "new", "c"}));
    ASSERT_TRUE(s.InsertRow(4));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"a", "new", "c", ""}));
    EXPECT_FALSE(s.InsertRow(0));
    EXPECT_FALSE(s.InsertRow(6));
    s.RemoveRow(0);
    s.RemoveRow(5);
    EXPECT_EQ(s.NrOfRows(), 4);
    // Unsorted, an inserted row keeps its place when the order is reset.
    s.CommitSorting();
    s.InsertRow(1);
    s.SetString(1, 1, "first");
    s.UnSort();
    EXPECT_EQ(s.GetString(1, 1), "first");
}

TEST_F(StoreFixture, RemoveMarkedRowsDropsPresentedRowsInOnePass) {
    Fill({"c", "a", "d", "b"});
    s.Sort(1, -1, true);  // a b c d
    changes = 0;
    EXPECT_EQ(s.RemoveMarkedRows({1, 0, 1}), 2);  // a and c; the short flag list is enough
    EXPECT_EQ(Column(1), (std::vector<std::string>{"b", "d"}));
    EXPECT_EQ(changes, 1);
    s.UnSort();
    EXPECT_EQ(Column(1), (std::vector<std::string>{"d", "b"}));  // stored order kept
    EXPECT_EQ(s.RemoveMarkedRows({0, 0}), 0);
    EXPECT_EQ(changes, 2);  // only UnSort
}

TEST_F(StoreFixture, ShrinkingKeepsThePresentedTopRows) {
    Fill({"c", "a", "b", "d"});
    s.Sort(1, -1, true);  // a b c d
    ASSERT_TRUE(s.Resize(2, 2));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"a", "b"}));
    s.UnSort();
    EXPECT_EQ(Column(1), (std::vector<std::string>{"a", "b"}));  // stored order kept
}

TEST_F(StoreFixture, ClearEmptiesCellsAttributesAndOrder) {
    Fill({"b", "a"});
    s.SetRowAttrib(1, 3);
    s.SetColAttrib(1, 9);
    s.Sort(1, -1, true);
    s.Clear();
    EXPECT_EQ(s.NrOfRows(), 2);
    EXPECT_EQ(s.NrOfColumns(), 2);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(s.GetRowAttrib(2), 0);
    EXPECT_EQ(s.GetColAttrib(1), 0);
    EXPECT_EQ(s.GetSortOrder(1), 1);
}

TEST_F(StoreFixture, AttributesOutsideAreZeroAndIgnored) {
    Fill({"a"});
    s.SetRowAttrib(2, 5);
    s.SetColAttrib(3, 5);
    EXPECT_EQ(s.GetRowAttrib(2), 0);
    EXPECT_EQ(s.GetColAttrib(3), 0);
    s.SetColAttrib(0, 4);
    EXPECT_EQ(s.GetColAttrib(0), 4);
}
