#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "foundation/kovonum.h"

using namespace kovo;

namespace {

struct TableFixture : ::testing::Test {
    TDataTable t;
    std::vector<std::tuple<int, int, int, int>> resized;
    std::vector<std::tuple<int, int, int>> exchanges;
    int dataChanged = 0, setupChanged = 0;
    void SetUp() override {
        t.OnResized = [this](TObject* S, int oc, int orr, int nc, int nr) {
            EXPECT_EQ(S, &t);
            resized.emplace_back(oc, orr, nc, nr);
        };
        t.OnSortExchange = [this](TObject*, int k, int a, int b, int, int) {
            exchanges.emplace_back(k, a, b);
        };
        t.OnDataChanged = [this](TObject*) { ++dataChanged; };
        t.OnSetupChanged = [this](TObject*) { ++setupChanged; };
    }
    // A table whose value at (c, r) is 10 * c + r.
    void Grid(int Cols, int Rows) {
        t.Resize(Cols, Rows);
        for (int c = 1; c <= Cols; ++c)
            for (int r = 1; r <= Rows; ++r) t.SetElem(c, r, 10 * c + r);
        resized.clear();
        dataChanged = 0;
    }
    std::vector<double> Col(int c) {
        std::vector<double> v;
        for (int r = 1; r <= t.NrOfRows(); ++r) v.push_back(t.GetElem(c, r));
        return v;
    }
};

}  // namespace

TEST_F(TableFixture, NewTableHasOneCellAndCountsStayPositive) {
    EXPECT_EQ(t.NrOfColumns(), 1);
    EXPECT_EQ(t.NrOfRows(), 1);
    EXPECT_TRUE(t.Resize(0, -4));
    EXPECT_EQ(t.NrOfColumns(), 1);
    EXPECT_EQ(t.NrOfRows(), 1);
    EXPECT_TRUE(resized.empty());  // no change of size
    EXPECT_FALSE(t.Resize(100000, 100000));
    EXPECT_FALSE(t.Resize(1 << 30, 1));
    EXPECT_EQ(t.NrOfColumns(), 1);
}

TEST_F(TableFixture, ResizeKeepsValuesStatesAndDescriptions) {
    Grid(3, 2);
    t.SetCellState(2, 2, cstMarkA);
    t.SetColName(2, "two");
    t.SetRowAttrib(2, 9);
    ASSERT_TRUE(t.Resize(4, 3));
    EXPECT_EQ(resized, (std::vector<std::tuple<int, int, int, int>>{{3, 2, 4, 3}}));
    EXPECT_EQ(t.GetElem(3, 2), 32);
    EXPECT_EQ(t.GetElem(4, 3), 0);
    EXPECT_EQ(t.GetCellState(2, 2), cstMarkA);
    EXPECT_EQ(t.GetCellState(4, 3), 0);
    EXPECT_EQ(t.GetColName(2), "two");
    EXPECT_EQ(t.GetRowAttrib(2), 9);
    EXPECT_EQ(t.Elements().NrOfColumns(), 4);
}

TEST_F(TableFixture, OutsideTheTableReadsZeroAndWritesNothing) {
    Grid(2, 2);
    for (auto [c, r] : {std::pair{0, 1}, {3, 1}, {1, 0}, {1, 3}}) {
        t.SetElem(c, r, 5);
        t.SetCellState(c, r, 0xFF);
        t.SetColName(c, "x");
        EXPECT_EQ(t.GetElem(c, r), 0);
        EXPECT_EQ(t.GetCellState(c, r), 0);
        EXPECT_FALSE(t.GetIsNumber(c, r));
    }
    EXPECT_EQ(t.GetColName(3), "");
    EXPECT_EQ(t.GetRowName(0), "");
    EXPECT_EQ(dataChanged, 0);
}

TEST_F(TableFixture, CellStatesAndMarks) {
    Grid(2, 1);
    t.SetCellState(1, 1, cstEmpty | cstMarkA);
    t.SetCellState(2, 1, cstMarkB);
    EXPECT_FALSE(t.GetIsNumber(1, 1));
    EXPECT_TRUE(t.GetIsNumber(2, 1));
    t.SetElem(1, 1, 3);  // the state stays
    EXPECT_EQ(t.GetCellState(1, 1), cstEmpty | cstMarkA);
    t.ExchangeMarkings();
    EXPECT_EQ(t.GetCellState(1, 1), cstEmpty | cstMarkB);
    EXPECT_EQ(t.GetCellState(2, 1), cstMarkA);
    t.InvertCellStates(cstNaN | cstMarkA);
    EXPECT_EQ(t.GetCellState(1, 1), cstEmpty | cstMarkB | cstNaN | cstMarkA);
    EXPECT_EQ(t.GetCellState(2, 1), cstNaN);
    t.UnmarkAllCells();
    EXPECT_EQ(t.GetCellState(1, 1), cstEmpty | cstNaN);
}

TEST_F(TableFixture, FillMarkedCellsFillsCellsWithEveryMaskBit) {
    Grid(3, 1);
    t.SetCellState(1, 1, cstMarkA | cstEmpty);
    t.SetCellState(2, 1, cstMarkA | cstMarkB);
    t.SetCellState(3, 1, cstMarkB);
    EXPECT_EQ(t.FillMarkedCells(7, cstMarkA), 2);
    EXPECT_EQ(Col(1)[0], 7);
    EXPECT_EQ(t.GetElem(2, 1), 7);
    EXPECT_EQ(t.GetElem(3, 1), 31);
    EXPECT_EQ(t.GetCellState(1, 1), cstMarkA);  // now a number, mark kept
    EXPECT_EQ(t.FillMarkedCells(1, cstMarkA | cstMarkB), 1);
    EXPECT_EQ(t.FillMarkedCells(1, 0), 0);
    EXPECT_EQ(dataChanged, 2);
}

TEST_F(TableFixture, InsertRemoveAndMirror) {
    Grid(2, 3);
    t.SetRowName(2, "r2");
    ASSERT_TRUE(t.InsertRow(2));
    EXPECT_EQ(Col(1), (std::vector<double>{11, 0, 12, 13}));
    EXPECT_EQ(t.GetRowName(3), "r2");
    t.RemoveRow(1);
    EXPECT_EQ(Col(1), (std::vector<double>{0, 12, 13}));
    ASSERT_TRUE(t.InsertColumn(1));
    EXPECT_EQ(Col(2), (std::vector<double>{0, 12, 13}));
    EXPECT_EQ(Col(1), (std::vector<double>{0, 0, 0}));
    t.RemoveColumn(1);
    t.MirrorRows();
    EXPECT_EQ(Col(1), (std::vector<double>{13, 12, 0}));
    EXPECT_EQ(t.GetRowName(2), "r2");
    t.MirrorColumns();
    EXPECT_EQ(Col(1), (std::vector<double>{23, 22, 0}));
    EXPECT_EQ(resized.size(), 6u);
    EXPECT_FALSE(t.InsertRow(0));
    EXPECT_FALSE(t.InsertColumn(9));
    // The last row and column stay.
    t.Resize(1, 1);
    t.RemoveRow(1);
    t.RemoveColumn(1);
    EXPECT_EQ(t.NrOfRows(), 1);
    EXPECT_EQ(t.NrOfColumns(), 1);
}

TEST_F(TableFixture, NamesAreCutAndDescriptionsFireSetupChanged) {
    t.SetColName(1, std::string(60, 'n'));
    EXPECT_EQ(t.GetColName(1).size(), 50u);
    t.SetFComment("remark");
    EXPECT_EQ(t.Comment(), "remark");
    t.SetColAttrib(1, 200);
    EXPECT_EQ(t.GetColAttrib(1), 200);
    EXPECT_EQ(setupChanged, 3);
}

TEST_F(TableFixture, NominalIDsOfCategoricalColumns) {
    t.SetMScaleType(1, mstNominal);
    EXPECT_EQ(t.GetMScaleType(1), mstNominal);
    EXPECT_STREQ(MScaleTypeNames[mstNominal], "nominal");
    t.SetNominalID(1, 1, "red");
    t.SetNominalID(1, 3, "a very long identifier");
    EXPECT_EQ(t.GetNominalID(1, 1), "red");
    EXPECT_EQ(t.GetNominalID(1, 2), "");
    EXPECT_EQ(t.GetNominalID(1, 3), "a very lon");
    EXPECT_EQ(t.OrdinalOfNominalID(1, " RED ", true), 1);
    EXPECT_EQ(t.OrdinalOfNominalID(1, "RED", false), 0);
    EXPECT_EQ(t.OrdinalOfNominalID(1, "", true), 0);
    t.SetNominalID(1, 151, "x");
    t.SetNominalID(1, 0, "x");
    EXPECT_EQ(t.GetNominalID(1, 151), "");
    EXPECT_EQ(t.GetMScaleType(2), mstNumeric);
    t.ClearNominalIDs(1);
    EXPECT_EQ(t.GetNominalID(1, 1), "");
}

TEST_F(TableFixture, SortRowsIsStableWithNonNumbersLastAndReportsExchanges) {
    Grid(2, 5);
    const double keys[] = {3, 1, 2, 1, 0};
    for (int r = 1; r <= 5; ++r) {
        t.SetElem(1, r, keys[r - 1]);
        t.SetRowName(r, "r" + std::to_string(r));
    }
    t.SetCellState(1, 5, cstEmpty);
    t.SortRows(1, true, 1, 1, 2, 5, true);
    EXPECT_EQ(Col(1), (std::vector<double>{1, 1, 2, 3, 0}));
    EXPECT_EQ(Col(2), (std::vector<double>{22, 24, 23, 21, 25}));
    EXPECT_EQ(t.GetRowName(1), "r2");
    EXPECT_EQ(t.GetCellState(1, 5), cstEmpty);
    EXPECT_FALSE(exchanges.empty());
    for (auto [kind, a, b] : exchanges) EXPECT_EQ(kind, 2);

    t.SortRows(1, false, 1, 1, 2, 5, false);
    EXPECT_EQ(Col(1), (std::vector<double>{3, 2, 1, 1, 0}));
    EXPECT_EQ(Col(2), (std::vector<double>{21, 23, 22, 24, 25}));
    EXPECT_EQ(t.GetRowName(1), "r2");  // names stay without IncludeHeaders
}

TEST_F(TableFixture, SortColsMovesOnlyTheBlock) {
    Grid(4, 2);
    t.SetElem(2, 1, 99);
    t.SetColName(2, "two");
    exchanges.clear();
    t.SortCols(1, false, 2, 1, 4, 1, true);  // row 1 of columns 2..4
    EXPECT_EQ(t.GetElem(2, 1), 99);
    EXPECT_EQ(t.GetElem(3, 1), 41);
    EXPECT_EQ(t.GetElem(4, 1), 31);
    EXPECT_EQ(t.GetElem(3, 2), 32);  // row 2 is outside the block
    EXPECT_EQ(t.GetColName(2), "two");
    EXPECT_EQ(exchanges, (std::vector<std::tuple<int, int, int>>{{1, 3, 4}}));
}

TEST_F(TableFixture, ExchangeAndAssign) {
    Grid(2, 2);
    t.SetColName(1, "one");
    t.ExchangeColumns(1, 2);
    EXPECT_EQ(t.GetElem(1, 1), 21);
    EXPECT_EQ(t.GetColName(2), "one");
    t.ExchangeRows(1, 2);
    EXPECT_EQ(t.GetElem(1, 1), 22);

    TDataTable copy;
    copy.Assign(&t);
    EXPECT_EQ(copy.NrOfColumns(), 2);
    EXPECT_EQ(copy.GetElem(1, 1), 22);
    EXPECT_EQ(copy.GetColName(2), "one");
    EXPECT_FALSE(copy.OnResized);
    TMatrix m;
    EXPECT_THROW(copy.Assign(&m), EConvertError);
}

TEST(Matrix, ResizeKeepsValuesAndFill) {
    TMatrix m(2, 2);
    m.SetElem(2, 2, 5);
    m.Resize(3, 1);
    EXPECT_EQ(m.Elem(2, 2), 0);
    m.SetElem(3, 1, 4);
    m.Resize(3, 3);
    EXPECT_EQ(m.Elem(3, 1), 4);
    m.Fill(1.5);
    EXPECT_EQ(m.Elem(1, 3), 1.5);
    EXPECT_EQ(m.Elem(0, 1), 0);
    EXPECT_EQ(m.Elem(4, 1), 0);
    EXPECT_FALSE(m.Resize(1 << 20, 1 << 20));
    EXPECT_EQ(m.NrOfColumns(), 3);
}

TEST(IntMatrix, SetNRowsKeepsRows) {
    TIntMatrix h;
    h.Resize(3, 2);
    h.SetVal(1, 2, 1225);
    h.SetNRows(5);
    EXPECT_EQ(h.NrOfRows(), 5);
    EXPECT_EQ(h.GetVal(1, 2), 1225);
    EXPECT_EQ(h.GetVal(1, 5), 0);
    h.SetNRows(1);
    EXPECT_EQ(h.GetVal(1, 2), 0);
    h.SetVal(9, 9, 1);
    EXPECT_EQ(h.GetVal(9, 9), 0);
}

TEST(NumericRoutines, IsValidDecInt) {
    struct Case {
        const char* text;
        bool ok;
    };
    const Case cases[] = {{"12", true},          {"-7", true},         {"+3", true},
                          {" 42 ", true},        {"2147483647", true}, {"-2147483648", true},
                          {"2147483648", false}, {"1.0", false},       {"", false},
                          {"-", false},          {"1e3", false},       {"12a", false}};
    for (const Case& c : cases) EXPECT_EQ(IsValidDecInt(c.text), c.ok) << c.text;
}

TEST(NumericRoutines, IntNegRoundsDown) {
    const std::pair<double, int> cases[] = {{-1.3, -2},         {1.7, 1},      {-2.0, -2},
                                            {0.0, 0},           {-0.0001, -1}, {1e300, INT32_MAX},
                                            {-1e300, INT32_MIN}};
    for (auto [x, r] : cases) EXPECT_EQ(IntNeg(x), r) << x;
    EXPECT_EQ(IntNeg(std::nan("")), 0);
}
