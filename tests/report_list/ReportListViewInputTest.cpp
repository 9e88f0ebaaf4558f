// The report list view through the injected mouse and keyboard, as a person uses it:
// selection modes, check marks, sorting by a header click, border double clicks, keys,
// in-place editing, and the row and filter operations a program calls.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/Application.h"
#include "host/InplaceEdit.h"
#include "host/platform/Headless.h"
#include "report_list/replist.h"

using namespace kovo;

namespace {

struct InputFixture : ::testing::Test {
    std::unique_ptr<TReportListView> view;
    int selChanges = 0;

    void SetUp() override {
        Headless::Instance();
        view = std::make_unique<TReportListView>(nullptr);
        view->SetBounds(0, 0, 400, 300);
        view->HandleNeeded();
        Application->ProcessMessages();
        view->SetSuppressPaint(true);
        view->SetNrOfColumns(3);
        view->SetNrOfRows(8);
        // column 1 descending names, column 2 numbers, column 3 free
        for (int r = 1; r <= 8; ++r) {
            view->SetElem(1, r, std::string(1, char('a' + 8 - r)) + "-name");
            view->SetElem(2, r, std::to_string(r * 10));
        }
        view->SetSuppressPaint(false);
        view->OnSelectedChange = [this](TObject*) { ++selChanges; };
    }
    void TearDown() override { view.reset(); }

    int B() const { return view->BorderWidth(); }
    TRect CellOf(int c, int r) { return view->CellRect(c - 1, r + view->CountHeadRows() - 1); }
    void ClickCell(int c, int r, int Dx = 30, TShiftState Shift = {}) {
        TRect R = CellOf(c, r);
        Headless::Click(view.get(), R.Left + Dx + B(), R.Top + 5 + B(), mbLeft, Shift);
    }
    TRect HeaderOf(int c) { return view->CellRect(c - 1, view->CountHeadRows() - 1); }
    void ClickHeader(int c, int Dx) {
        TRect R = HeaderOf(c);
        Headless::Click(view.get(), R.Left + Dx + B(), R.Top + 5 + B());
        Headless::Advance(1000);  // no double click with the next press
    }
    int CurrentRow() { return view->Selection().Top - view->CountHeadRows() + 1; }
    std::vector<int> SelectedRows() {
        std::vector<int> out;
        for (int r = 1; r <= view->NrOfRows(); ++r)
            if (view->RowSelected(r)) out.push_back(r);
        return out;
    }
};

TEST_F(InputFixture, HeaderClicksSortAndKeepTheCurrentRow) {
    ClickCell(1, 2);
    Headless::Advance(1000);
    ASSERT_EQ(CurrentRow(), 2);
    std::string current = view->GetElem(1, 2);  // "g-name"
    ClickHeader(1, 30);
    EXPECT_EQ(view->LastSortColumn(), 1);
    EXPECT_FALSE(view->LastSortOrder());  // the first click sorts descending
    EXPECT_EQ(view->GetElem(1, CurrentRow()), current);
    EXPECT_EQ(view->GetElem(1, 1), "h-name");
    view->SetSecondarySortColumn(3);
    ClickHeader(2, 30);  // the next click, on any column, ascending
    EXPECT_EQ(view->LastSortColumn(), 2);
    EXPECT_TRUE(view->LastSortOrder());
    EXPECT_EQ(view->SecondarySortColumn(), 3);
    EXPECT_EQ(view->GetElem(2, 1), "10");
    EXPECT_EQ(view->GetElem(1, CurrentRow()), current);
}

TEST_F(InputFixture, PressNearAHeaderBorderNeitherSortsNorSelects) {
    ClickCell(1, 3);
    Headless::Advance(1000);
    int changes = selChanges;
    ClickHeader(2, 3);  // 3 pixels right of the border between columns 1 and 2
    EXPECT_EQ(view->LastSortColumn(), -1);
    EXPECT_EQ(selChanges, changes);
    EXPECT_EQ(SelectedRows(), std::vector<int>{3});
    view->SetSortEnabled(false);
    ClickHeader(2, 30);
    EXPECT_EQ(view->LastSortColumn(), -1);
}

TEST_F(InputFixture, ModeTwoRangesAndToggles) {
    view->SetRowSelectMode(2);
    ClickCell(1, 3);
    Headless::Advance(1000);
    ClickCell(1, 6, 30, {ssShift});
    Headless::Advance(1000);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{3, 4, 5, 6}));
    ClickCell(1, 8, 30, {ssCtrl});  // toggles row 8, the anchor moves there
    Headless::Advance(1000);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{3, 4, 5, 6, 8}));
    ClickCell(1, 4, 30, {ssCtrl});
    Headless::Advance(1000);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{3, 5, 6, 8}));
    ClickCell(1, 2);  // a plain click selects one row
    Headless::Advance(1000);
    EXPECT_EQ(SelectedRows(), std::vector<int>{2});
}

TEST_F(InputFixture, ModeTwoRangeTakesADisabledAnchorsState) {
    view->SetRowSelectMode(2);
    view->SetRowEnabled(3, false);
    ClickCell(1, 3);
    Headless::Advance(1000);
    ClickCell(1, 5, 30, {ssShift});
    for (int r = 3; r <= 5; ++r) EXPECT_FALSE(view->RowEnabled(r)) << r;
    EXPECT_TRUE(view->RowEnabled(6));
    EXPECT_EQ(view->FirstSelectedRow(), 0);  // the first selected row is disabled
    EXPECT_EQ(view->NumSelectedRows(), 3);
    EXPECT_EQ(view->NumEnabledRows(), 5);
}

TEST_F(InputFixture, ModeTwoWithoutCtrlRuleEveryClickToggles) {
    view->SetRowSelectMode(2);
    view->SetUseCtrlForMultiSel(false);
    for (int r : {2, 4, 2, 7}) {
        ClickCell(1, r);
        Headless::Advance(1000);
    }
    EXPECT_EQ(SelectedRows(), (std::vector<int>{4, 7}));
}

TEST_F(InputFixture, ReleaseBelowTheLastRowClearsModeTwo) {
    view->SetRowSelectMode(2);
    ClickCell(1, 2);
    ASSERT_EQ(SelectedRows(), std::vector<int>{2});
    Headless::Advance(1000);
    Headless::Click(view.get(), 30 + B(), view->GridHeight() + 20 + B());
    EXPECT_TRUE(SelectedRows().empty());
}

TEST_F(InputFixture, ModeZeroMovesTheSelectionOutAndKeysStillSelect) {
    view->SetRowSelectMode(0);
    EXPECT_EQ(view->Selection().Top, 9);  // beyond the last row
    ClickCell(1, 3);
    EXPECT_TRUE(SelectedRows().empty());
    Headless::PressKey(view.get(), VK_DOWN);
    EXPECT_EQ(SelectedRows(), std::vector<int>{CurrentRow()});
}

TEST_F(InputFixture, ArrowKeysCollapseAMultipleSelection) {
    view->SetRowSelectMode(2);
    ClickCell(1, 2);
    Headless::Advance(1000);
    ClickCell(1, 5, 30, {ssShift});
    ASSERT_EQ(SelectedRows().size(), 4u);
    Headless::PressKey(view.get(), VK_DOWN);
    EXPECT_EQ(SelectedRows(), std::vector<int>{6});
    Headless::PressKey(view.get(), VK_UP, {ssShift});
    EXPECT_EQ(SelectedRows(), std::vector<int>{5});
}

struct CheckFixture : InputFixture {
    std::vector<std::string> events;
    void SetUp() override {
        InputFixture::SetUp();
        view->SetColumnCheckMode(3, cmBox);
        view->SetColumnCheckMode(2, cmRadio);
        view->OnBeforeCheckedChange = [this](TObject*, bool& State, int Col, int Row) {
            events.push_back("before " + std::to_string(Col) + "," + std::to_string(Row) +
                             (State ? " true" : " false"));
        };
        view->OnCheckedChange = [this](TObject*, bool& State, int Col, int Row) {
            events.push_back("after " + std::to_string(Col) + "," + std::to_string(Row) +
                             (State ? " true" : " false"));
        };
    }
    std::string Stored(int c, int r) { return view->FRLData->Strings->GetString(c, r); }
};

TEST_F(CheckFixture, BoxAreaTogglesAndTheVetoCanChangeIt) {
    view->SetElem(3, 2, "box");
    ClickCell(3, 2, 8);
    EXPECT_EQ(Stored(3, 2), "Xbox");
    EXPECT_EQ(events, (std::vector<std::string>{"before 3,2 true", "after 3,2 false"}));
    Headless::Advance(1000);
    view->OnBeforeCheckedChange = [](TObject*, bool& State, int, int) { State = true; };
    ClickCell(3, 2, 8);  // the handler keeps it checked
    EXPECT_EQ(Stored(3, 2), "Xbox");
    Headless::Advance(1000);
    ClickCell(3, 2, 40);  // right of the box: selects only
    EXPECT_EQ(Stored(3, 2), "Xbox");
    EXPECT_EQ(SelectedRows(), std::vector<int>{2});
}

TEST_F(CheckFixture, DisabledRowsAndReadOnlyMarksDoNotToggle) {
    view->SetElem(3, 4, "box");
    view->SetRowEnabled(4, false);
    ClickCell(3, 4, 8);
    EXPECT_EQ(Stored(3, 4), " box");
    view->SetRowEnabled(4, true);
    view->SetCheckMarksReadOnly(true);
    Headless::Advance(1000);
    ClickCell(3, 4, 8);
    EXPECT_EQ(Stored(3, 4), " box");
    EXPECT_TRUE(events.empty());
}

TEST_F(CheckFixture, EmptyCellsToggleOnlyWhenTheirBoxesShow) {
    view->SetShowEmptyCheckBoxes(false);
    ClickCell(3, 5, 8);
    EXPECT_EQ(Stored(3, 5), "");
    view->SetShowEmptyCheckBoxes(true);
    Headless::Advance(1000);
    ClickCell(3, 5, 8);
    EXPECT_EQ(Stored(3, 5), "X");
}

TEST_F(CheckFixture, ACheckedRadioStaysCheckedAndFiresBothEvents) {
    view->SetElemChecked(2, 3, true);
    ClickCell(2, 3, 8);
    EXPECT_TRUE(view->GetElemChecked(2, 3));
    EXPECT_EQ(events, (std::vector<std::string>{"before 2,3 false", "after 2,3 true"}));
    Headless::Advance(1000);
    ClickCell(2, 6, 8);  // another radio: only that one is checked
    EXPECT_TRUE(view->GetElemChecked(2, 6));
    EXPECT_FALSE(view->GetElemChecked(2, 3));
    EXPECT_EQ(view->CountCheckedElemsInCol(2), 1);
    view->SetRowEnabled(6, false);
    EXPECT_EQ(view->CountCheckedElemsInCol(2), 0);  // disabled rows are not counted
}

TEST_F(InputFixture, DoubleClickOnAHeaderBorderSizesTheLeftColumn) {
    int dbl = 0;
    view->OnDblClick = [&](TObject*) { ++dbl; };
    view->SetElem(2, 1, "a rather long entry in column two");
    TRect R = HeaderOf(3);
    Headless::DoubleClick(view.get(), R.Left + 1 + B(), R.Top + 5 + B());
    EXPECT_EQ(view->ColWidths(2), view->DetermineMaxColWidth(2, true));
    EXPECT_EQ(view->ColWidths(1), 64);
    EXPECT_EQ(view->LastSortColumn(), -1);
    Headless::Advance(1000);
    R = HeaderOf(1);
    Headless::DoubleClick(view.get(), R.Left + 1 + B(), R.Top + 5 + B());
    EXPECT_EQ(view->ColWidths(1), 64);  // the left edge of the first column sizes nothing
    EXPECT_EQ(dbl, 0);
    Headless::Advance(1000);
    ClickCell(1, 2);
    Headless::Advance(1000);
    TRect C = CellOf(1, 2);
    Headless::DoubleClick(view.get(), C.Left + 30 + B(), C.Top + 5 + B());
    EXPECT_EQ(dbl, 1);  // on a data row the program hears it
}

TEST_F(InputFixture, MouseCellNamesHeadersAndRows) {
    view->SetCommonHeaderVisible(true);
    TRect R = view->CellRect(1, 0);
    EXPECT_EQ(view->MouseCell(R.Left + 5, R.Top + 5), (TGridCoord{2, -2}));
    R = view->CellRect(1, 1);
    EXPECT_EQ(view->MouseCell(R.Left + 5, R.Top + 5), (TGridCoord{2, -1}));
    R = CellOf(3, 4);
    EXPECT_EQ(view->MouseCell(R.Left + 5, R.Top + 5), (TGridCoord{3, 4}));
    EXPECT_EQ(view->MouseCell(390, 290), (TGridCoord{0, 0}));
}

TEST_F(InputFixture, EnterWithAutoAdvanceEditsAndMovesOn) {
    view->SetOptions(view->Options().Exclude(goRowSelect));
    view->SetColumnEditable(1, true);
    view->SetAutoAdvance(true);
    ClickCell(1, 2);
    Headless::PressKey(view.get(), VK_RETURN);
    EXPECT_TRUE(view->EditorMode());
    EXPECT_EQ(CurrentRow(), 3);
    EXPECT_EQ(SelectedRows(), std::vector<int>{3});
}

TEST_F(InputFixture, EditingACheckedCellKeepsItsState) {
    view->SetOptions(view->Options().Exclude(goRowSelect));
    view->SetColumnCheckMode(3, cmBox);
    view->SetColumnEditable(3, true);
    view->SetElem(3, 2, "old");
    view->SetElemChecked(3, 2, true);
    std::string shown;
    view->OnGetEditText = [&](TObject*, int, int Row, std::string& Value) {
        EXPECT_EQ(Row, 2);
        shown = Value;
    };
    ClickCell(3, 2, 40);
    Headless::PressKey(view.get(), VK_RETURN);
    ASSERT_TRUE(view->EditorMode());
    ASSERT_NE(view->InplaceEditor(), nullptr);
    EXPECT_EQ(shown, "old");
    EXPECT_EQ(view->InplaceEditor()->GetText(), "old");
    view->InplaceEditor()->SetText("abc");
    Headless::PressKey(view.get(), VK_RETURN);
    EXPECT_EQ(view->FRLData->Strings->GetString(3, 2), "Xabc");
}

TEST_F(InputFixture, WheelMovesTheCurrentRowOnlyWithRows) {
    ClickCell(1, 2);
    Headless::Wheel(view.get(), 50, 100, -120);
    EXPECT_EQ(CurrentRow(), 3);
    view->SetNrOfRows(0);
    Headless::Wheel(view.get(), 50, 100, -120);  // nothing to move to, no failure
    EXPECT_EQ(view->NrOfRows(), 0);
}

TEST_F(InputFixture, InsertAndRemoveRows) {
    view->Sort(1, -1, true);
    int setups = 0;
    view->OnChangeSetup = [&](TObject*) { ++setups; };
    EXPECT_EQ(view->InsertRow(0), 0);
    EXPECT_EQ(view->NrOfRows(), 8);
    EXPECT_EQ(view->LastSortColumn(), -1);
    EXPECT_EQ(view->GetElem(1, 1), "a-name");  // the presented order stays
    EXPECT_EQ(view->InsertRow(13), 9);
    EXPECT_EQ(view->NrOfRows(), 9);
    EXPECT_EQ(view->InsertRow(2), 2);
    EXPECT_EQ(view->GetElem(1, 2), "");
    EXPECT_EQ(view->GetElem(1, 3), "b-name");
    EXPECT_EQ(view->RowCount(), 11);
    EXPECT_GT(setups, 0);
    EXPECT_EQ(view->AddRow(), 11);
}

TEST_F(InputFixture, RemovingTheOnlyRow) {
    view->SetNrOfRows(1);
    view->RemoveRow(1);  // one header row: removed from the store
    EXPECT_EQ(view->NrOfRows(), 0);
    EXPECT_EQ(view->FRLData->Strings->NrOfRows(), 0);
    EXPECT_EQ(view->RowCount(), 2);

    view->SetNrOfRows(1);
    view->SetElem(1, 1, "kept?");
    view->SetCommonHeaderVisible(true);
    view->RemoveRow(1);  // two header rows: emptied
    EXPECT_EQ(view->NrOfRows(), 0);
    EXPECT_EQ(view->FRLData->Strings->GetString(1, 1), "");
    EXPECT_EQ(view->RowCount(), 3);
    view->RemoveRow(1);  // nothing left
    EXPECT_EQ(view->NrOfRows(), 0);
}

TEST_F(InputFixture, RemoveEmptyRowsCountsBareStateCharactersAsEmpty) {
    view->SetColumnCheckMode(3, cmBox);
    view->SetElem(1, 4, "");
    view->SetElem(2, 4, "");
    view->SetElemChecked(3, 4, true);
    view->RemoveEmptyRows();
    EXPECT_EQ(view->NrOfRows(), 7);
    EXPECT_EQ(view->GetElem(1, 4), "d-name");
}

TEST_F(InputFixture, BatchSelectionCallsReportOnce) {
    selChanges = 0;
    view->SelectAllRows();
    EXPECT_EQ(view->NumSelectedRows(), 8);
    view->DisableAllRows();
    EXPECT_EQ(view->NumEnabledRows(), 0);
    view->EnableAllRows();
    view->SelectAllColumns();
    EXPECT_EQ(view->NumSelectedColumns(), 3);
    EXPECT_EQ(view->FirstSelectedColumn(), 1);
    view->DeselectAllColumns();
    EXPECT_EQ(view->FirstSelectedColumn(), 0);
    EXPECT_EQ(selChanges, 5);
    view->CenterScrollAndSelect(5);
    EXPECT_EQ(SelectedRows(), std::vector<int>{5});
    EXPECT_EQ(CurrentRow(), 5);
}

// Filtering selects the matching rows, and only them, then sorts.
TEST_F(InputFixture, FilterModes) {
    view->SetElem(3, 1, "Alpha beta");
    view->SetElem(3, 2, "alpha gamma");
    view->SetElem(3, 3, "delta");
    view->SetElem(3, 4, "beta");
    view->SetRowSelected(8, true);
    struct Case {
        std::string Exp;
        TFilterMode Mode;
        bool IgnoreCase;
        std::vector<int> Rows;
    };
    for (const Case& k :
         {Case{"alpha", fmSimple, true, {1, 2}}, Case{"alpha", fmSimple, false, {2}},
          Case{"alpha AND NOT gamma", fmBoolean, true, {1}},
          Case{"(delta or beta) and not alpha", fmBoolean, true, {3, 4}},
          Case{"\"alpha gamma\"", fmBoolean, false, {2}},
          Case{"^(beta|delta)$", fmGrep, false, {3, 4}}}) {
        int n = view->FilterAndSort(k.Exp, {3}, k.IgnoreCase, k.Mode, 0, true);
        EXPECT_EQ(SelectedRows(), k.Rows) << k.Exp;
        EXPECT_EQ(n, int(k.Rows.size())) << k.Exp;
    }
    // every column when none is named; the numbers are in column 2
    view->FilterAndSort("80", {}, true, fmSimple, 2, false);
    EXPECT_EQ(SelectedRows(), std::vector<int>{1});
    EXPECT_EQ(view->GetElem(2, 1), "80");  // sorted descending by column 2
}

TEST_F(InputFixture, FilterWithTheApplicationsOwnTest) {
    view->OnBeforeFilter = [](TObject*, int Row, bool& Found, TLogicOp& Op) {
        Found = Row == 5;
        Op = loOr;
    };
    view->FilterAndSort("h-name", {1}, false, fmSimple, 0, true);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 5}));
}

TEST_F(InputFixture, InvalidFilterExpressionsRaiseAndChangeNothing) {
    view->SetRowSelected(3, true);
    for (auto [exp, mode] :
         {std::pair{std::string("([a-"), fmGrep}, std::pair{std::string("alpha AND"), fmBoolean},
          std::pair{std::string("(beta"), fmBoolean}}) {
        try {
            view->FilterAndSort(exp, {}, true, mode, 1, true);
            ADD_FAILURE() << exp;
        } catch (const EKovoRepListError& e) {
            EXPECT_NE(std::string(e.Message()).find(exp), std::string::npos) << e.Message();
        }
        EXPECT_EQ(SelectedRows(), std::vector<int>{3});
        EXPECT_EQ(view->LastSortColumn(), -1);
    }
}

}  // namespace
