// The "Report list" page: a report list of measurement samples (name, date, value, unit,
// a check box to include the sample, a radio mark for the reference sample, an operator
// password) under a common header, sorted by a click on a column header. Every sort by
// header click is reported on standard output. Below the list: the row-selection mode,
// sorting on or off, and a filter that selects the rows containing a text.
#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "Page.h"
#include "host/ComboBox.h"
#include "host/Edit.h"
#include "host/Label.h"
#include "host/SpeedButton.h"
#include "report_list/replist.h"

using namespace kovo;

namespace {

template <typename... A>
std::string Printf(const char* Fmt, A... Args) {
    char buf[64];
    std::snprintf(buf, sizeof buf, Fmt, Args...);
    return buf;
}

void BuildReportListPage(TWinControl* Parent) {
    auto* caption = new TLabel(Parent);
    caption->SetParent(Parent);
    caption->SetBounds(16, 12, 860, 20);
    caption->SetCaption(
        "Click a column header to sort (descending first), a border twice to fit it; "
        "Ctrl and Shift select several rows.");

    auto* view = new TReportListView(Parent);
    view->SetParent(Parent);
    view->SetBounds(16, 40, 860, 530);
    view->SetSuppressPaint(true);
    view->SetNrOfColumns(7);
    const char* names[] = {"Sample", "Taken", "Value", "Unit", "Use", "Ref", "Operator PIN"};
    for (int c = 1; c <= 7; ++c) view->SetHeader(c, names[c - 1]);
    view->SetCommonHeaderVisible(true);
    view->SetCommonHeader("Measurement samples, production line 4");
    view->SetColumnCheckMode(5, cmBox);
    view->SetColumnCheckMode(6, cmRadio);
    view->SetColumnIsPwd(7, true);
    view->SetColumnAlignment(3, taRightJustify);
    view->SetRowSelectMode(2);

    const int rows = 300;
    view->SetNrOfRows(rows);
    std::mt19937 rng(2026);
    std::uniform_real_distribution<double> value(0.0, 250.0);
    std::uniform_int_distribution<int> day(1, 28), month(1, 12), pin(1000, 9999), coin(0, 3);
    const char* units[] = {"mV", "mA", "kPa", "degC"};
    for (int r = 1; r <= rows; ++r) {
        view->SetElem(1, r, Printf("S-%04d", (r * 7919) % 10000));
        view->SetElem(2, r, Printf("2026-%02d-%02d", month(rng), day(rng)));
        view->SetElem(3, r, Printf("%.3f", value(rng)));
        view->SetElem(4, r, units[coin(rng)]);
        view->SetElem(5, r, "");
        view->SetElemChecked(5, r, coin(rng) != 0);
        view->SetElem(6, r, "");
        view->SetElem(7, r, std::to_string(pin(rng)));
    }
    view->SetElemChecked(6, 17, true);
    view->FitAllColWidths(2, true, 8, 200, 24);
    view->SetSuppressPaint(false);

    // A header click flips the data store's direction memory: report each one.
    auto lastToggle = std::make_shared<bool>(view->FRLData->SortToggle());
    view->OnMouseUp = [view, lastToggle](TObject*, TMouseButton, TShiftState, int, int) {
        if (view->FRLData->SortToggle() == *lastToggle) return;
        *lastToggle = view->FRLData->SortToggle();
        std::printf("report list sorted by column %d (%s)\n", view->LastSortColumn(),
                    view->LastSortOrder() ? "ascending" : "descending");
        std::fflush(stdout);
    };

    auto* modeLabel = new TLabel(Parent);
    modeLabel->SetParent(Parent);
    modeLabel->SetBounds(16, 588, 90, 16);
    modeLabel->SetCaption("Selection:");
    auto* mode = new TComboBox(Parent);
    mode->SetParent(Parent);
    mode->SetBounds(100, 584, 130, 24);
    mode->SetStyle(csDropDownList);
    for (const char* m : {"none", "one row", "several rows"}) mode->Items()->Add(m);
    mode->SetItemIndex(view->RowSelectMode());
    mode->OnChange = [mode, view](TObject*) {
        if (mode->ItemIndex() >= 0) view->SetRowSelectMode(mode->ItemIndex());
    };
    auto* sorting = new TSpeedButton(Parent);
    sorting->SetParent(Parent);
    sorting->SetBounds(246, 583, 110, 26);
    sorting->SetGroupIndex(9);
    sorting->SetAllowAllUp(true);
    sorting->SetDown(view->SortEnabled());
    sorting->SetCaption("Sorting on");
    sorting->OnClick = [sorting, view](TObject*) {
        view->SetSortEnabled(sorting->Down());
        sorting->SetCaption(sorting->Down() ? "Sorting on" : "Sorting off");
    };
    auto* filterLabel = new TLabel(Parent);
    filterLabel->SetParent(Parent);
    filterLabel->SetBounds(380, 588, 160, 16);
    filterLabel->SetCaption("Select rows containing:");
    auto* filter = new TEdit(Parent);
    filter->SetParent(Parent);
    filter->SetBounds(530, 584, 200, 24);
    auto* found = new TLabel(Parent);
    found->SetParent(Parent);
    found->SetBounds(744, 588, 130, 16);
    filter->OnChange = [filter, view, found, mode](TObject*) {
        if (filter->Text().empty()) {
            found->SetCaption("");
            return;
        }
        if (view->RowSelectMode() != 2) {
            view->SetRowSelectMode(2);
            mode->SetItemIndex(2);
        }
        int n = view->FilterAndSort(filter->Text(), {}, true, fmSimple, 0, true);
        found->SetCaption(std::to_string(n) + " rows found");
    };
}

gallery::TPageRegistration reg("Report list", 15, BuildReportListPage);

}  // namespace
