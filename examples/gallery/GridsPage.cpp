// The host grids: a draw grid that paints its cells itself (a heat map of a million rows
// that scrolls as fast as ten), and a string grid edited in place.
#include <cmath>
#include <string>

#include "Page.h"
#include "host/Grid.h"
#include "host/Label.h"
#include "host/SysUtils.h"

using namespace kovo;

namespace {

// A smooth made-up value per cell, so the heat map has a shape to see.
double CellValue(int Col, int Row) {
    return 0.5 + 0.5 * std::sin(Col * 0.35 + Row * 0.07) * std::cos(Row * 0.013 - Col * 0.2);
}

TColor HeatColor(double V) {
    int r = int(255 * std::clamp(V * 1.6, 0.0, 1.0));
    int b = int(255 * std::clamp((1.0 - V) * 1.6, 0.0, 1.0));
    int g = int(200 * (1.0 - std::abs(V - 0.5) * 2));
    return RGB(uint8_t(r), uint8_t(g), uint8_t(b));
}

void BuildGridsPage(TWinControl* Parent) {
    auto* title = new TLabel(Parent);
    title->SetParent(Parent);
    title->SetBounds(10, 8, 500, 16);
    title->SetCaption("Draw grid: 1,000,000 rows painted by OnDrawCell (only the visible cells)");
    auto* heat = new TDrawGrid(Parent);
    heat->SetParent(Parent);
    heat->SetBounds(10, 28, 520, 330);
    heat->SetColCount(13);
    heat->SetRowCount(1000001);
    heat->SetDefaultColWidth(36);
    heat->SetColWidths(0, 70);
    heat->SetDefaultRowHeight(20);
    heat->SetOptions(heat->Options() | TGridOptions{goColSizing, goThumbTracking});
    heat->OnDrawCell = [heat](TObject*, int ACol, int ARow, TRect R, TGridDrawState State) {
        TCanvas* c = heat->Canvas();
        if (State.contains(gdFixed)) {
            std::string t = ARow == 0 ? (ACol == 0 ? "row" : "c" + IntToStr(ACol)) : IntToStr(ARow);
            c->Brush()->SetStyle(bsClear);
            c->Font()->SetColor(clBtnText);
            c->TextOut(R.Left + 4, R.Top + 3, t);
            return;
        }
        double v = CellValue(ACol, ARow);
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(State.contains(gdSelected) ? clHighlight : HeatColor(v));
        c->FillRect(R);
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetColor(State.contains(gdSelected) ? clHighlightText : clBlack);
        c->TextOut(R.Left + 3, R.Top + 3, IntToStr(int(v * 99)));
    };

    auto* title2 = new TLabel(Parent);
    title2->SetParent(Parent);
    title2->SetBounds(10, 372, 500, 16);
    title2->SetCaption("String grid: F2 or typing edits a cell, Enter keeps, Esc cancels");
    auto* sheet = new TStringGrid(Parent);
    sheet->SetParent(Parent);
    sheet->SetBounds(10, 392, 520, 200);
    sheet->SetColCount(5);
    sheet->SetRowCount(9);
    sheet->SetColWidths(0, 90);
    sheet->SetDefaultColWidth(100);
    sheet->SetOptions(sheet->Options() | TGridOptions{goEditing, goTabs, goColSizing});
    const char* heads[] = {"Sample", "Mass (g)", "Volume (ml)", "Density", "Note"};
    for (int c = 0; c < 5; ++c) sheet->SetCells(c, 0, heads[c]);
    for (int r = 1; r < 9; ++r) {
        double mass = 10.0 + r * 2.75, volume = 9.0 + r * 1.5;
        sheet->SetCells(0, r, "S-" + IntToStr(100 + r));
        sheet->SetCells(1, r, FloatToStrF(mass, ffFixed, 15, 2));
        sheet->SetCells(2, r, FloatToStrF(volume, ffFixed, 15, 2));
        sheet->SetCells(3, r, FloatToStrF(mass / volume, ffFixed, 15, 3));
        sheet->SetCells(4, r, r % 3 ? "" : "repeat");
    }
}

gallery::TPageRegistration registration("Grids", 45, BuildGridsPage);

}  // namespace
