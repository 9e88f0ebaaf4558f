// TReportListView input: row selection by mouse and keyboard, check-mark toggling, sorting
// by a header click, automatic width by a double click on a header border, the wheel and
// in-place editing with the check state kept out of the edited text.
#include <algorithm>

#include "host/Form.h"
#include "report_list/replist.h"

namespace kovo {

void TReportListView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomDrawGrid::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || X <= 0 || X >= GridWidth() || Y <= 0 || Y >= GridHeight()) return;
    TGridCoord cell = MouseCoord(X, Y);
    if (cell.X < 0 || cell.Y < 0) return;
    int g = cell.X, gr = cell.Y;
    int c = DataColOfGrid(g);
    int h = CountHeadRows();
    if (FColHdVis && gr == h - 1) {
        // The second press of a double click belongs to DblClick, which may just have
        // widened the column under the point: it does not sort again.
        if (!Shift.contains(ssDouble)) SortByClick(X, g);
        return;
    }
    bool saved = FSuppressPaint;
    FSuppressPaint = true;
    TStringArray* store = FRLData->Strings;
    if (gr >= h) {
        int r = gr - h + 1;
        bool disabled = store->GetRowAttrib(r) & AttrDisabled;
        TGridOptions opt = Options();
        if (ColumnEditable(c) && !disabled)
            opt.Include(goEditing);
        else
            opt.Exclude(goEditing);
        SetOptions(opt);

        TCheckMode mode = FRLData->GetColCheckMode(c);
        TRect cr = CellRect(g, gr);
        std::string S = store->GetString(c, r);
        if (mode != cmNone && X - cr.Left < 18 && !FROCheckMarks && !disabled &&
            (S.size() >= 2 || FShowEmptyCBx)) {
            bool newState = !(!S.empty() && S[0] != ' ');
            if (OnBeforeCheckedChange) OnBeforeCheckedChange(this, newState, c, r);
            if (mode == cmRadio) {
                // every cell of the column unchecked first; the clicked one is checked
                // whatever the proposed state
                for (int i = 1; i <= NrOfRows(); ++i) {
                    std::string t = store->GetString(c, i);
                    if (t.empty())
                        t.assign(1, ' ');
                    else
                        t[0] = ' ';
                    store->SetString(c, i, t);
                }
            }
            S = store->GetString(c, r);
            char state = mode == cmRadio ? 'X' : (newState ? 'X' : ' ');
            if (S.empty())
                S = std::string(1, state);
            else
                S[0] = state;
            if (S.size() > size_t(CellTextLength)) S.resize(size_t(CellTextLength));
            store->SetString(c, r, S);
            bool state2 = !newState;
            if (OnCheckedChange) OnCheckedChange(this, state2, c, r);
        }
    }
    // the selection step, also for a press on the common header
    int r0 = Selection().Top - h + 1;
    int n = NrOfRows();
    auto setSel = [&](int r, bool v) {
        if (r < 1 || r > n) return;
        uint8_t a = store->GetRowAttrib(r);
        store->SetRowAttrib(r, v ? uint8_t(a | AttrSelected) : uint8_t(a & ~AttrSelected));
    };
    if (FRowSelectMode == 1) {
        SetRowBits(AttrSelected, false);
        setSel(r0, true);
        ChangedSelection();
    } else if (FRowSelectMode == 2) {
        if (Shift.contains(ssShift)) {
            uint8_t anchor =
                FSelectAnchor >= 1 && FSelectAnchor <= n ? store->GetRowAttrib(FSelectAnchor) : 0;
            int lo = std::max(std::min(FSelectAnchor, r0), 1),
                hi = std::min(std::max(FSelectAnchor, r0), n);
            for (int r = lo; r <= hi; ++r) store->SetRowAttrib(r, anchor);
        } else {
            FSelectAnchor = r0;
            if (Shift.contains(ssCtrl) || !FCtrlForMultiSel) {
                setSel(r0, !RowSelected(r0));
            } else {
                SetRowBits(AttrSelected, false);
                setSel(r0, true);
            }
        }
        ChangedSelection();
    }
    SetSuppressPaint(saved);
}

void TReportListView::SortByClick(int X, int g) {
    if (!FSortEnabled) return;
    TRect R = CellRect(g, CountHeadRows() - 1);
    if (std::abs(X - R.Left) <= 4 || std::abs(X - R.Right) <= 4) return;
    TCursor savedCursor = Screen ? Screen->Cursor() : crDefault;
    if (Screen) Screen->SetCursor(crHourGlass);
    int h = CountHeadRows();
    TGridRect sel = Selection();
    int s = FRLData->Strings->GetSortOrder(sel.Top - h + 1);
    bool ascending = !FRLData->SortToggle();
    FRLData->SetSortToggle(ascending);
    Sort(DataColOfGrid(g), SecondarySortColumn(), ascending);
    for (int i = 1; i <= NrOfRows(); ++i) {
        if (FRLData->Strings->GetSortOrder(i) == s) {
            sel.Top = sel.Bottom = i + h - 1;
            SetSelection(sel);
            break;
        }
    }
    if (Screen) Screen->SetCursor(savedCursor);
}

void TReportListView::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomDrawGrid::MouseUp(Button, Shift, X, Y);
    if (FRowSelectMode != 2) return;
    if (X > GridWidth() || (Y > GridHeight() && Button == mbLeft)) {
        PaintBatch([&] { SetRowBits(AttrSelected, false); });
        ChangedSelection();
    }
}

void TReportListView::MouseMove(TShiftState Shift, int X, int Y) {
    FLastMousePosX = X;
    FLastMousePosY = Y;
    TCustomDrawGrid::MouseMove(Shift, X, Y);
}

// An empty list has no row to move to: the turn is left to the parent.
bool TReportListView::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    return NrOfRows() > 0 && TCustomDrawGrid::DoMouseWheelDown(Shift, MousePos);
}

bool TReportListView::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    return NrOfRows() > 0 && TCustomDrawGrid::DoMouseWheelUp(Shift, MousePos);
}

void TReportListView::DblClick() {
    int X = FLastMousePosX, Y = FLastMousePosY;
    if (Y < GridHeight() && FColHdVis) {
        TGridCoord cell = MouseCoord(X, Y);
        if (cell.X >= 0 && cell.Y == CountHeadRows() - 1) {
            TRect R = CellRect(cell.X, cell.Y);
            if (std::abs(X - R.Left) <= 4 || std::abs(X - R.Right) <= 4) {
                int k = X >= (R.Left + R.Right) / 2 ? cell.X + 1 : cell.X;
                while (k > 1 && TCustomGrid::ColWidths(k - 1) < 1) --k;
                if (k >= 1) AutoColWidth(DataColOfGrid(k - 1), true, 0);
            }
            return;
        }
    }
    TCustomDrawGrid::DblClick();
}

void TReportListView::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomDrawGrid::KeyDown(Key, Shift);
    switch (Key) {
        case VK_DOWN:
        case VK_UP:
        case VK_RIGHT:
        case VK_LEFT:
        case VK_END:
        case VK_HOME:
        case VK_NEXT:
        case VK_PRIOR: {
            PaintBatch([&] {
                SetRowBits(AttrSelected, false);
                int r = Selection().Top - CountHeadRows() + 1;
                if (r >= 1 && r <= NrOfRows()) {
                    uint8_t a = FRLData->Strings->GetRowAttrib(r);
                    FRLData->Strings->SetRowAttrib(r, a | AttrSelected);
                }
            });
            ChangedSelection();
            break;
        }
        default:
            break;
    }
}

void TReportListView::KeyPress(char32_t& Key) {
    TCustomDrawGrid::KeyPress(Key);
    if (FAutoAdvance && (Key == 0 || Key == 13)) {
        WORD k = VK_DOWN;
        KeyDown(k, {});
    }
}

bool TReportListView::SelectCell(int ACol, int ARow) {
    TGridOptions opt = Options();
    if (ARow != 0 && ColumnEditable(DataColOfGrid(ACol)))
        opt.Include(goEditing);
    else
        opt.Exclude(goEditing);
    if (opt != Options()) SetOptions(opt);
    bool canSelect = true;
    if (OnSelectCell) OnSelectCell(this, ACol, ARow, canSelect);
    return canSelect;
}

std::string TReportListView::GetEditText(int ACol, int ARow) {
    int c = DataColOfGrid(ACol), r = ARow - CountHeadRows() + 1;
    std::string value = FRLData->Strings->GetString(c, r);
    if (FRLData->GetColCheckMode(c) != cmNone && !value.empty()) value.erase(0, 1);
    if (OnGetEditText) OnGetEditText(this, ACol, r, value);
    return value;
}

void TReportListView::SetEditText(int ACol, int ARow, const std::string& Value) {
    int c = DataColOfGrid(ACol), r = ARow - CountHeadRows() + 1;
    std::string stored = Value;
    if (FRLData->GetColCheckMode(c) != cmNone) {
        std::string cur = FRLData->Strings->GetString(c, r);
        stored = (cur.empty() || cur[0] == ' ' ? " " : "X") + Value;
    }
    if (stored.size() > size_t(CellTextLength)) stored.resize(size_t(CellTextLength));
    FRLData->Strings->SetString(c, r, stored);
    if (OnSetEditText) OnSetEditText(this, ACol, r, Value);
}

}  // namespace kovo
