// The report list view's layout, setters and drawing, read back from the pixels and the
// canvas's call record at the coordinates the drawing rules give.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "host/Application.h"
#include "host/Streams.h"
#include "host/platform/Headless.h"
#include "report_list/replist.h"

using namespace kovo;

namespace {

struct ViewFixture : ::testing::Test {
    std::unique_ptr<TReportListView> view;

    void SetUp() override {
        Headless::Instance();
        view = std::make_unique<TReportListView>(nullptr);
        view->SetBounds(0, 0, 400, 300);
        view->HandleNeeded();
        Application->ProcessMessages();
    }
    void TearDown() override { view.reset(); }

    // 3 columns, N rows, texts "r<row>c<col>"; painting suppressed while filling.
    void Fill(int Rows, int Cols = 3) {
        view->SetSuppressPaint(true);
        view->SetNrOfColumns(Cols);
        view->SetNrOfRows(Rows);
        for (int r = 1; r <= Rows; ++r)
            for (int c = 1; c <= Cols; ++c)
                view->SetElem(c, r, "r" + std::to_string(r) + "c" + std::to_string(c));
        view->SetSuppressPaint(false);
    }
    // The grid rectangle of data cell (c, r) in client coordinates.
    TRect CellOf(int c, int r) { return view->CellRect(c - 1, r + view->CountHeadRows() - 1); }
    TColor Pixel(int X, int Y) {
        view->Repaint();
        return ColorToRGB(view->Canvas()->Pixels(X, Y));
    }
    std::vector<TCanvasCall> Record() {
        view->Canvas()->StartRecording();
        view->Canvas()->ClearCalls();
        view->Paint();
        std::vector<TCanvasCall> calls = view->Canvas()->Calls();
        view->Canvas()->ClearCalls();
        return calls;
    }
};

TEST_F(ViewFixture, ConstructionGivesTheInitialLayout) {
    EXPECT_EQ(view->NrOfColumns(), 5);
    EXPECT_EQ(view->NrOfRows(), 4);
    EXPECT_EQ(view->ColCount(), 5);
    EXPECT_EQ(view->RowCount(), 5);
    EXPECT_EQ(view->FixedCols(), 0);
    EXPECT_EQ(view->FixedRows(), 1);
    EXPECT_EQ(view->RowHeights(0), 20);
    EXPECT_TRUE(view->Options().contains(goRowSelect));
    EXPECT_FALSE(view->DefaultDrawing());
    EXPECT_TRUE(view->DoubleBuffered());
    EXPECT_EQ(view->ColorText(), TColor(0x002000));
    EXPECT_EQ(view->ColorBkgdShaded(), TColor(0xF0EFE8));
    EXPECT_EQ(view->RowSelectMode(), 1);
    EXPECT_EQ(view->SecondarySortColumn(), -1);
    EXPECT_EQ(view->CommonHeaderAlignment(), taCenter);
    for (int c = 1; c <= 5; ++c) EXPECT_EQ(view->ColumnOrder(c), c);
}

TEST_F(ViewFixture, HeaderRowsFollowTheGridMapping) {
    Fill(3);
    view->SetCommonHeaderVisible(true);
    EXPECT_EQ(view->CountHeadRows(), 2);
    EXPECT_EQ(view->FixedRows(), 2);
    EXPECT_EQ(view->RowCount(), 5);
    view->SetCommonHeaderHeight(30);
    EXPECT_EQ(view->RowHeights(0), 30);
    EXPECT_EQ(view->RowHeights(1), 20);
    view->SetColumnHeadersVisible(false);
    view->SetCommonHeaderVisible(false);
    EXPECT_EQ(view->FixedRows(), 0);
    EXPECT_EQ(view->RowCount(), 3);
    view->SetNrOfRows(0);
    EXPECT_EQ(view->RowCount(), 1);  // one data row position stays
}

TEST_F(ViewFixture, SettersClampAndRefuse) {
    view->SetColumnHeadersHeight(200);
    EXPECT_EQ(view->ColumnHeadersHeight(), 127);
    view->SetColumnHeadersHeight(3);
    EXPECT_EQ(view->ColumnHeadersHeight(), 8);
    EXPECT_EQ(view->RowHeights(0), 8);

    EXPECT_FALSE(view->SetColumnOrder({2, 1}));
    EXPECT_EQ(view->ColumnOrder(1), 1);
    EXPECT_FALSE(view->SetColumnOrder({5, 4, 3, 9, 1}));  // the bad entry is skipped
    EXPECT_EQ(view->ColumnOrder(1), 5);
    EXPECT_EQ(view->ColumnOrder(4), 4);

    int setups = 0;
    view->OnChangeSetup = [&](TObject*) { ++setups; };
    view->SetColWidths(0, 50);  // out of range: nothing stored, the event still fires
    view->SetColorText(clRed);
    view->SetColorText(clRed);  // colours store and report unconditionally
    EXPECT_EQ(setups, 3);
    view->SetEmptyMessage("x");
    view->SetEmptyMessage("x");  // unchanged: nothing
    EXPECT_EQ(setups, 4);

    view->SetColumnAlignment(9, taRightJustify);
    EXPECT_EQ(view->ColumnAlignment(9), taLeftJustify);
    EXPECT_FALSE(view->ColumnIsPwd(0));
}

TEST_F(ViewFixture, NewColumnsTakeTheLastWidthAndTheOrderResets) {
    view->SetColWidths(5, 90);
    view->SetColumnOrder({2, 1, 3, 4, 5});
    view->SetNrOfColumns(7);
    EXPECT_EQ(view->ColCount(), 7);
    EXPECT_EQ(view->ColWidths(6), 90);
    EXPECT_EQ(view->ColWidths(7), 90);
    EXPECT_EQ(view->ColumnOrder(1), 1);
    view->SetNrOfColumns(0);
    EXPECT_EQ(view->NrOfColumns(), 1);
}

TEST_F(ViewFixture, ColumnWidthsFromTheTexts) {
    Fill(3);
    view->SetElem(2, 2, "a much longer text than the others");
    TCanvas* C = view->Canvas();
    C->SetFont(view->Font());
    int longest = C->TextWidth("a much longer text than the others");
    EXPECT_EQ(view->DetermineMaxColWidth(2, false), longest + 9);
    EXPECT_EQ(view->DetermineMaxColWidth(0, true), 9);
    view->SetIsCheckedColumn(1, true);
    EXPECT_EQ(view->DetermineMaxColWidth(1, false), C->TextWidth("r1c1") + 16 + 9);

    view->AutoColWidth(2, false, 5);
    EXPECT_EQ(view->ColWidths(2), longest + 14);
    view->AutoColWidth(2, false, 5, 40);
    EXPECT_EQ(view->ColWidths(2), 40);

    view->FitAllColWidths(3, false, 0, 1000, 10);
    int others = view->ColWidths(1) + view->ColWidths(2);
    EXPECT_EQ(view->ColWidths(3), view->ClientWidth() - 10 - others);
    view->ExpandColWidth(3, 10000);
    EXPECT_EQ(view->ColWidths(3), 16);
}

// With RowColPattern p, the bands of p rows alternate, the first one shaded.
TEST_F(ViewFixture, ShadingBands) {
    view->SetNrOfColumns(1);
    view->SetNrOfRows(8);  // empty cells: only the background
    struct Case {
        int Pattern;
        std::vector<bool> Shaded;  // rows 1..6
    };
    for (const Case& k : {Case{2, {true, true, false, false, true, true}},
                          Case{1, {true, false, true, false, true, false}},
                          Case{0, {false, false, false, false, false, false}}}) {
        view->SetRowColPattern(k.Pattern);
        for (int r = 1; r <= 6; ++r) {
            TRect R = CellOf(1, r);
            TColor want = k.Shaded[size_t(r - 1)] ? TColor(0xF0EFE8) : clWhite;
            EXPECT_EQ(Pixel(R.Left + 30, R.Top + 5), want)
                << "pattern " << k.Pattern << " row " << r;
        }
    }
}

TEST_F(ViewFixture, HighlightWinsOverSelectionAndDisabledRowsIgnoreBoth) {
    view->SetNrOfColumns(2);
    view->SetNrOfRows(4);
    view->SetRowSelectMode(2);
    view->SetRowSelected(1, true);
    view->SetRowSelected(2, true);
    view->SetRowSelected(3, true);
    view->SetRowEnabled(3, false);
    view->SetHighLightRow(2);
    view->SetColumnSelected(2, true);
    auto at = [&](int c, int r) {
        TRect R = CellOf(c, r);
        return Pixel(R.Left + 30, R.Top + 5);
    };
    EXPECT_EQ(at(1, 1), TColor(0x94BAED));  // selected row
    EXPECT_EQ(at(1, 2), TColor(0xCC9966));  // highlighted over selected
    EXPECT_EQ(at(1, 3), TColor(0xF0F0F0));  // disabled: no selection, no highlight
    EXPECT_EQ(at(2, 1), clBlack);           // selected row and column
    view->SetColorSelectedCol(clGreen);
    EXPECT_EQ(at(2, 4), clGreen);  // selected column only
}

TEST_F(ViewFixture, TickRadioDotAndEmptyBoxes) {
    view->SetNrOfColumns(2);
    view->SetNrOfRows(3);
    view->SetColumnCheckMode(1, cmBox);
    view->SetColumnCheckMode(2, cmRadio);
    view->FRLData->Strings->SetString(1, 1, "X");
    view->FRLData->Strings->SetString(1, 2, " a");
    view->FRLData->Strings->SetString(2, 1, "Xb");
    view->SetRowColPattern(0);
    TColor shadow = ColorToRGB(clBtnShadow), ink = TColor(0x002000);

    TRect R = CellOf(1, 1);
    int L = R.Left, T = R.Top;
    EXPECT_EQ(Pixel(L + 4, T + 4), shadow);    // box corner
    EXPECT_EQ(Pixel(L + 14, T + 14), shadow);  // the other corner
    EXPECT_EQ(Pixel(L + 6, T + 8), ink);       // the tick's first stroke
    EXPECT_EQ(Pixel(L + 12, T + 6), ink);      // its second stroke
    R = CellOf(1, 2);
    EXPECT_EQ(Pixel(R.Left + 6, R.Top + 8), clWhite);  // unchecked: an empty box
    EXPECT_EQ(Pixel(R.Left + 4, R.Top + 4), shadow);
    R = CellOf(2, 1);
    EXPECT_EQ(Pixel(R.Left + 9, R.Top + 9), ink);  // the radio dot
    EXPECT_EQ(Pixel(R.Left + 9, R.Top + 7), ink);
    EXPECT_EQ(Pixel(R.Left + 9, R.Top + 12), clWhite);

    R = CellOf(1, 3);  // stored as "": a box only with ShowEmptyCheckBoxes
    EXPECT_EQ(Pixel(R.Left + 4, R.Top + 4), shadow);
    view->SetShowEmptyCheckBoxes(false);
    EXPECT_EQ(Pixel(R.Left + 4, R.Top + 4), clWhite);

    view->SetShowEmptyCheckBoxes(true);
    view->SetCheckMarksReadOnly(true);  // tick without its box
    R = CellOf(1, 1);
    EXPECT_EQ(Pixel(R.Left + 4, R.Top + 4), clWhite);
    EXPECT_EQ(Pixel(R.Left + 6, R.Top + 8), ink);
}

// How many characters of a too wide text stay: length x room / width - 4, half to even.
int Fitting(size_t Length, int Room, int Width) {
    return std::max(1, int(std::nearbyint(double(Length) * Room / Width - 4)));
}

TEST_F(ViewFixture, TooWideTextsAreCutWithDots) {
    view->SetNrOfColumns(3);
    view->SetNrOfRows(1);
    const std::string text = "abcdefghijklmnopqrstuvwxyz";
    for (int c = 1; c <= 3; ++c) view->SetElem(c, 1, text);
    view->SetColumnAlignment(2, taRightJustify);
    view->SetColumnAlignment(3, taCenter);
    view->SetColWidths(1, 60);
    view->SetColWidths(2, 60);
    view->SetColWidths(3, 300);  // wide enough
    TCanvas* C = view->Canvas();
    C->SetFont(view->Font());
    size_t u = size_t(Fitting(text.size(), 60 - 9, C->TextWidth(text)));
    std::vector<std::string> texts;
    for (const TCanvasCall& k : Record())
        if (k.Op == "TextRect" && k.Args.size() >= 2 && k.Args[1] > 15) texts.push_back(k.Text);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], text.substr(0, u) + "...");
    EXPECT_EQ(texts[1], "a..." + text.substr(text.size() - u));
    EXPECT_EQ(texts[2], text);
}

TEST_F(ViewFixture, PasswordColumnsShowStars) {
    Fill(1, 2);
    view->SetColumnIsPwd(2, true);
    std::vector<std::string> texts;
    for (const TCanvasCall& k : Record())
        if (k.Op == "TextRect") texts.push_back(k.Text);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "******"), texts.end());
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "r1c2"), texts.end());
}

TEST_F(ViewFixture, DisabledViewDrawsTextInTheInactiveColour) {
    Fill(2);
    view->SetEnabled(false);
    int seen = 0;
    for (const TCanvasCall& k : Record()) {
        if (k.Op != "TextRect" || k.Text != "r1c1") continue;
        ++seen;
        EXPECT_EQ(k.FontColor, clInactiveCaption);
    }
    EXPECT_EQ(seen, 1);
}

TEST_F(ViewFixture, EmptyListShowsItsMessageCentred) {
    view->SetNrOfRows(0);
    view->SetEmptyMessage("No samples|yet");
    view->SetColorEmptyMsg(clRed);
    std::vector<TCanvasCall> outs;
    for (const TCanvasCall& k : Record())
        if (k.Op == "TextOut") outs.push_back(k);
    ASSERT_EQ(outs.size(), 2u);
    TCanvas* C = view->Canvas();
    int h = C->TextHeight("No samples|yet");
    int y0 = 21, y1 = y0 - 2 * h;
    EXPECT_EQ(outs[0].Args[0], (400 - C->TextWidth("No samples")) / 2);
    EXPECT_EQ(outs[0].Args[1], y1 - 2 + (300 - y1 - h) / 2);
    EXPECT_EQ(outs[1].Args[0], (400 - C->TextWidth("yet")) / 2);
    EXPECT_EQ(outs[1].Args[1], outs[0].Args[1] + h);
    EXPECT_EQ(outs[0].FontColor, clRed);
    // below the headers, the control's colour
    EXPECT_EQ(Pixel(5, 60), ColorToRGB(view->Color()));
}

TEST_F(ViewFixture, InterRowIndicator) {
    view->SetNrOfColumns(1);
    view->SetNrOfRows(3);
    view->SetRowColPattern(0);
    int below = 20 + 3 * 25;           // header height, then three rows of 24 + 1
    view->SetInterRowIndicatorPos(4);  // below the last row
    EXPECT_EQ(Pixel(10, below), clRed);
    view->SetInterRowIndicatorPos(5);
    EXPECT_NE(Pixel(10, below), clRed);
    view->SetInterRowIndicatorPos(2);  // above row 2
    EXPECT_EQ(Pixel(10, 20 + 25), clRed);
}

TEST_F(ViewFixture, HeadersAndSortArrow) {
    Fill(3);
    view->SetHeader(1, "Name");
    view->SetCommonHeaderVisible(true);
    view->SetCommonHeader("Samples");
    std::vector<std::string> texts;
    for (const TCanvasCall& k : Record())
        if (k.Op == "TextRect") texts.push_back(k.Text);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Samples"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Name"), texts.end());
    // the common header band runs over every column, in its own colour
    EXPECT_EQ(Pixel(150, 10), ColorToRGB(clBtnFace));
    EXPECT_EQ(Pixel(0, 10), clWhite);  // raised edge

    view->Sort(1, -1, false);
    TRect R = view->CellRect(0, 1);
    TCanvas* C = view->Canvas();
    C->SetFont(view->Font());
    int o = std::min(C->TextWidth("Name") + 10, view->ColWidths(1) - 11);
    int x0 = R.Left + 4 + o, y0 = R.Top + 2 + C->TextHeight("Name") / 2;
    EXPECT_EQ(Pixel(x0, y0 - 3), clGray);  // descending: grey top edge of the triangle
    view->Sort(1, -1, true);
    EXPECT_EQ(Pixel(x0, y0 + 3), clWhite);  // ascending: white base
}

TEST_F(ViewFixture, CommonHeaderLinesStackAndAreCutAtTheBand) {
    Fill(2);
    view->SetCommonHeaderVisible(true);
    view->SetCommonHeader("Run 12\nBatch A\nNight shift");
    view->SetCommonHeaderAlignment(taRightJustify);
    TCanvas* C = view->Canvas();
    C->SetFont(view->Font());
    const int h = C->TextHeight(view->CommonHeader());
    view->SetCommonHeaderHeight(2 + 2 * h - 3);  // the second line does not fit whole
    const TRect band = view->CellRect(0, 0);
    int X = 0;
    for (int g = 0; g < view->ColCount(); ++g) X = std::max(X, view->CellRect(g, 0).Right);

    // The band is drawn again for every cell of its row; the first drawing is looked at.
    const std::vector<std::string> texts{"Run 12", "Batch A", "Night shift"};
    std::vector<TCanvasCall> lines;
    for (const TCanvasCall& k : Record())
        if (k.Op == "TextRect" && lines.size() < texts.size() && k.Text == texts[lines.size()])
            lines.push_back(k);
    ASSERT_EQ(lines.size(), 3u);
    const int top = band.Top + 2;
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(lines[i].Text);
        const std::vector<int>& a = lines[i].Args;  // rectangle, then x and y
        EXPECT_EQ(a[4], X - C->TextWidth(lines[i].Text) - 5);
        EXPECT_EQ(a[5], top + int(i) * h);
        if (i == 0) {
            EXPECT_EQ(a[1], band.Top);
            EXPECT_EQ(a[3], band.Bottom);
        } else {  // its own strip, capped at the band's bottom
            EXPECT_EQ(a[1], std::min(top + int(i) * h, band.Bottom));
            EXPECT_EQ(a[3], std::min(top + int(i + 1) * h, band.Bottom));
        }
    }
    EXPECT_EQ(lines[2].Args[1], lines[2].Args[3]);  // the third line has no room at all
}

TEST_F(ViewFixture, BeforeRenderCellHasTheLastWordOnADataCell) {
    Fill(3);
    view->SetRowColPattern(0);
    view->SetColWidths(2, 150);  // room for the longer text
    std::vector<std::pair<int, int>> asked;
    view->OnBeforeRenderCell = [&](TObject*, int c, int r, TColor& P, TColor& B, TColor& F,
                                   TFontStyles& St, std::string& S) {
        asked.emplace_back(c, r);
        if (c == 2 && r == 3) {
            P = B = clYellow;
            F = clRed;
            St.Include(fsBold);
            S = "over " + S;
        }
    };
    bool drawn = false;
    for (const TCanvasCall& k : Record()) {
        if (k.Op != "TextRect") continue;
        EXPECT_NE(k.Text, "r3c2");
        if (k.Text != "over r3c2") continue;
        drawn = true;
        EXPECT_EQ(k.FontColor, clRed);
        EXPECT_TRUE(k.FontStyle.contains(fsBold));
    }
    EXPECT_TRUE(drawn);
    // asked for data cells only, in data indices, never for the headers
    EXPECT_NE(std::find(asked.begin(), asked.end(), std::make_pair(2, 3)), asked.end());
    for (const auto& [c, r] : asked) {
        EXPECT_GE(r, 1);
        EXPECT_LE(r, 3);
    }
    const TRect R = CellOf(2, 3);
    EXPECT_EQ(Pixel(R.Right - 3, R.Bottom - 3), clYellow);
    EXPECT_NE(Pixel(CellOf(1, 3).Right - 3, R.Bottom - 3), clYellow);
}

TEST_F(ViewFixture, AssignCopiesDataAndLooksButNotHeaderHeights) {
    Fill(4);
    view->SetColorBkgdShaded(clYellow);
    view->SetColumnHeadersHeight(30);
    view->SetColumnIsPwd(2, true);
    view->SetColumnOrder({3, 2, 1});
    view->SetRowSelected(2, true);
    TReportListView copy(nullptr);
    copy.Assign(view.get());
    EXPECT_EQ(copy.NrOfColumns(), 3);
    EXPECT_EQ(copy.NrOfRows(), 4);
    EXPECT_EQ(copy.RowCount(), 5);
    EXPECT_EQ(copy.GetElem(3, 4), "r4c3");
    EXPECT_EQ(copy.ColorBkgdShaded(), clYellow);
    EXPECT_TRUE(copy.ColumnIsPwd(2));
    EXPECT_EQ(copy.ColumnOrder(1), 3);
    EXPECT_TRUE(copy.RowSelected(2));
    EXPECT_EQ(copy.ColumnHeadersHeight(), 20);
    // the copy's store notifies the copy
    int changes = 0;
    copy.OnChange = [&](TObject* S) {
        EXPECT_EQ(S, &copy);
        ++changes;
    };
    copy.SetElem(1, 1, "new");
    EXPECT_EQ(changes, 1);

    TRLData other(nullptr);
    EXPECT_THROW(copy.Assign(&other), EConvertError);
}

TEST_F(ViewFixture, SuppressedPaintDrawsNothingUntilReleased) {
    Fill(2);
    view->SetSuppressPaint(true);
    view->Canvas()->StartRecording();
    view->Canvas()->ClearCalls();
    view->SetColorText(clRed);
    EXPECT_TRUE(view->Canvas()->Calls().empty());
    view->SetSuppressPaint(false);
    EXPECT_FALSE(view->Canvas()->Calls().empty());
}

// A document read through the view gives the view the document's shape.
TEST_F(ViewFixture, ReadingADocumentReshapesTheView) {
    TReportListView source(nullptr);
    source.SetNrOfColumns(2);
    source.SetNrOfRows(6);
    source.SetElem(2, 6, "last");
    TMemoryStream stream;
    source.WriteToXMLStream(&stream, true, "samples");
    stream.SetPosition(0);
    ASSERT_TRUE(view->ReadFromXMLStream(&stream, "samples"));
    EXPECT_EQ(view->NrOfColumns(), 2);
    EXPECT_EQ(view->ColCount(), 2);
    EXPECT_EQ(view->RowCount(), 7);
    EXPECT_EQ(view->GetElem(2, 6), "last");
    EXPECT_EQ(view->ColumnOrder(2), 2);
}

}  // namespace
