// The grid's input: mouse messages turned into client coordinates (presses on the scroll
// bars and the border go to the bars or nowhere), selecting by click, drag and Shift+click,
// sizing and moving columns and rows, the keyboard, the wheel, and the timer that scrolls
// while a selection is dragged beyond the cells.
#include <algorithm>

#include "host/Application.h"
#include "host/Form.h"
#include "host/Grid.h"
#include "host/InplaceEdit.h"
#include "host/platform/Backend.h"

namespace kovo {

namespace {

constexpr uintptr_t kSelectTimer = 1;
constexpr UINT kSelectInterval = 60;  // ms between steps while a drag scrolls

bool IsMouseMessage(UINT Msg) {
    switch (Msg) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
            return true;
        default:
            return false;
    }
}

bool IsButtonDown(UINT Msg) {
    return Msg == WM_LBUTTONDOWN || Msg == WM_LBUTTONDBLCLK || Msg == WM_RBUTTONDOWN ||
           Msg == WM_RBUTTONDBLCLK || Msg == WM_MBUTTONDOWN || Msg == WM_MBUTTONDBLCLK;
}

bool IsButtonUp(UINT Msg) {
    return Msg == WM_LBUTTONUP || Msg == WM_RBUTTONUP || Msg == WM_MBUTTONUP;
}

TMouseButton ButtonOf(UINT Msg) {
    switch (Msg) {
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
            return mbRight;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
            return mbMiddle;
        default:
            return mbLeft;
    }
}

}  // namespace

void TCustomGrid::WndProc(TMessage& Message) {
    if (!IsMouseMessage(Message.Msg)) {
        TCustomControl::WndProc(Message);
        return;
    }
    EnsureLayout();
    int x = GET_X_LPARAM(Message.LParam), y = GET_Y_LPARAM(Message.LParam);
    TShiftState shift = KeysToShiftState(Message.WParam);
    TMouseButton button = ButtonOf(Message.Msg);
    // A bar that holds the mouse keeps it until the release.
    for (TScrollBarPiece* bar : {&FVertScroll, &FHorzScroll}) {
        if (!bar->Tracking()) continue;
        if (Message.Msg == WM_MOUSEMOVE)
            bar->MouseMove(shift, x, y);
        else if (IsButtonUp(Message.Msg))
            bar->MouseUp(button, shift, x, y);
        return;
    }
    int b = BorderWidth();
    if (IsButtonDown(Message.Msg)) {
        for (TScrollBarPiece* bar : {&FVertScroll, &FHorzScroll}) {
            if (bar->Contains({x, y})) {
                bar->MouseDown(button, shift, x, y);
                FPressOutside = true;
                return;
            }
        }
        // The border and the corner between the bars take no clicks.
        if (!Bounds(b, b, FClientW, FClientH).Contains({x, y})) {
            FPressOutside = true;
            return;
        }
    } else if (IsButtonUp(Message.Msg) && FPressOutside) {
        FPressOutside = false;
        return;
    }
    Message.LParam = MAKELPARAM(x - b, y - b);
    TCustomControl::WndProc(Message);
}

// --- Mouse --------------------------------------------------------------------------------

void TCustomGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos,
                                  int& SizingOfs) const {
    State = gsNormal;
    Index = -1;
    TGridOptions opts = FOptions;
    if (ComponentState().contains(csDesigning)) opts |= TGridOptions{goColSizing, goRowSizing};
    if ((opts & TGridOptions{goColSizing, goRowSizing}).empty()) return;
    TDrawInfo d = CalcDrawInfo();
    // Near the line after a scrolled cell (within 7 pixels round it), in the fixed band.
    auto axisState = [&](const TAxisInfo& A, int Pos, TGridState S) {
        int range = A.Line, back = 0;
        if (range < 7) {
            range = 7;
            back = (range - A.Line) / 2;
        }
        for (int i = A.First; i <= A.LastVisible; ++i) {
            int line = int(A.Pos(i)) + A.Axis->Size(i);
            if (line > A.GridBoundary) break;
            if (Pos >= line - back && Pos <= line - back + range) {
                State = S;
                SizingPos = line;
                SizingOfs = line - Pos;
                Index = i;
                return;
            }
        }
    };
    if (X > d.Horz.FixedBoundary && opts.contains(goColSizing)) {
        if (Y >= d.Vert.FixedBoundary) return;
        axisState(d.Horz, X, gsColSizing);
    } else if (Y > d.Vert.FixedBoundary && opts.contains(goRowSizing)) {
        if (X >= d.Horz.FixedBoundary) return;
        axisState(d.Vert, Y, gsRowSizing);
    }
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    HideEdit();
    if (!ComponentState().contains(csDesigning) && CanFocus()) {
        if (!IsActiveControl() || (FInplaceEdit && FInplaceEdit->Focused())) SetFocus();
        if (!IsActiveControl()) {
            if (Application->CaptureControl() == this) Application->SetCaptureControl(nullptr);
            return;
        }
    }
    FLastMouse = TPoint{X, Y};
    if (Button == mbLeft && Shift.contains(ssDouble)) {
        DblClick();
    } else if (Button == mbLeft) {
        CalcSizingState(X, Y, FGridState, FSizingIndex, FSizingPos, FSizingOfs);
        if (FGridState == gsColSizing) {
            InvalidateRect(Bounds(FSizingPos + BorderWidth(), 0, 1, Height()));
        } else if (FGridState == gsRowSizing) {
            InvalidateRect(Bounds(0, FSizingPos + BorderWidth(), Width(), 1));
        } else {
            TGridCoord hit = MouseCoord(X, Y);
            if (hit.X >= FFixedCols && hit.Y >= FFixedRows) {
                if (FOptions.contains(goEditing)) {
                    if (hit.X == Col() && hit.Y == Row())
                        ShowEditor();
                    else {
                        MoveCurrent(hit.X, hit.Y, true, true);
                        UpdateEdit();
                    }
                    Click();
                } else {
                    FGridState = gsSelecting;
                    StartSelectTimer();
                    if (Shift.contains(ssShift))
                        MoveAnchor(hit);
                    else
                        MoveCurrent(hit.X, hit.Y, true, true);
                }
            } else if (FOptions.contains(goRowMoving) && hit.X >= 0 && hit.X < FFixedCols &&
                       hit.Y >= FFixedRows) {
                FMoveIndex = FMovePos = hit.Y;
                FGridState = gsRowMoving;
                StartSelectTimer();
            } else if (FOptions.contains(goColMoving) && hit.Y >= 0 && hit.Y < FFixedRows &&
                       hit.X >= FFixedCols) {
                FMoveIndex = FMovePos = hit.X;
                FGridState = gsColMoving;
                StartSelectTimer();
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
    FLastMouse = TPoint{X, Y};
    switch (FGridState) {
        case gsSelecting: {
            TDrawInfo d = CalcDrawInfo();
            TGridCoord hit = MouseCoord(X, Y);
            if (hit.X >= FFixedCols && hit.Y >= FFixedRows && hit.X <= d.Horz.LastFull + 1 &&
                hit.Y <= d.Vert.LastFull + 1 && (hit.X != FAnchor.X || hit.Y != FAnchor.Y))
                MoveAnchor(hit);
            break;
        }
        case gsColMoving:
        case gsRowMoving: {
            bool cols = FGridState == gsColMoving;
            TDrawInfo d = CalcDrawInfo();
            const TAxisInfo& a = cols ? d.Horz : d.Vert;
            int p = cols ? X : Y;
            int cell = a.CellAt(p);
            int count = cols ? ColCount() : RowCount();
            if (p < a.FixedBoundary)
                cell = a.First;
            else if (cell < 0 || cell > a.LastFull)
                cell = std::min(a.LastFull, count - 1);
            cell = std::max(cell, a.FixedCount);
            if (cell != FMovePos) {
                FMovePos = cell;
                Invalidate();
            }
            break;
        }
        case gsColSizing:
        case gsRowSizing: {
            int old = FSizingPos;
            FSizingPos = (FGridState == gsColSizing ? X : Y) + FSizingOfs;
            if (old != FSizingPos) {
                int b = BorderWidth();
                int lo = std::min(old, FSizingPos) + b, hi = std::max(old, FSizingPos) + b + 1;
                if (FGridState == gsColSizing)
                    InvalidateRect(TRect{lo, 0, hi, Height()});
                else
                    InvalidateRect(TRect{0, lo, Width(), hi});
            }
            break;
        }
        default: {
            TGridCoord hit = MouseCoord(X, Y);
            bool fixed = hit.X >= 0 && hit.Y >= 0 && (hit.X < FFixedCols || hit.Y < FFixedRows);
            SetHotCell(fixed ? hit : TGridCoord{-1, -1});
            UpdateHoverCursor(X, Y);
            break;
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGridState state = FGridState;
    bool left = Button == mbLeft;
    try {
        if (left) {
            switch (state) {
                case gsSelecting:
                    MouseMove(Shift, X, Y);
                    StopSelectTimer();
                    FGridState = gsNormal;
                    UpdateEdit();
                    Click();
                    break;
                case gsColSizing:
                case gsRowSizing: {
                    bool cols = state == gsColSizing;
                    TDrawInfo d = CalcDrawInfo();
                    const TAxisInfo& a = cols ? d.Horz : d.Vert;
                    int newSize = FSizingPos - int(a.Pos(FSizingIndex));
                    FGridState = gsNormal;
                    Invalidate();
                    if (newSize > 1) {
                        if (cols)
                            SetColWidths(FSizingIndex, newSize);
                        else
                            SetRowHeights(FSizingIndex, newSize);
                    }
                    break;
                }
                case gsColMoving:
                case gsRowMoving: {
                    StopSelectTimer();
                    FGridState = gsNormal;
                    Invalidate();
                    if (FMovePos >= 0 && FMoveIndex != FMovePos) {
                        if (state == gsColMoving)
                            MoveColumn(FMoveIndex, FMovePos);
                        else
                            MoveRow(FMoveIndex, FMovePos);
                    }
                    break;
                }
                default:
                    UpdateEdit();
                    break;
            }
        }
        TCustomControl::MouseUp(Button, Shift, X, Y);
    } catch (...) {
        if (left) FGridState = gsNormal;
        StopSelectTimer();
        throw;
    }
    if (left) FGridState = gsNormal;
}

void TCustomGrid::CMMouseLeave(TMessage& Message) {
    SetHotCell(TGridCoord{-1, -1});
    if (FGridState == gsNormal) ShowCursor(crDefault);
    TCustomControl::CMMouseLeave(Message);
}

void TCustomGrid::SetHotCell(TGridCoord Cell) {
    if (Cell == FHotCell) return;
    TGridCoord old = FHotCell;
    FHotCell = Cell;
    if (old.X >= 0) InvalidateCell(old.X, old.Y);
    if (Cell.X >= 0) InvalidateCell(Cell.X, Cell.Y);
}

void TCustomGrid::UpdateHoverCursor(int X, int Y) {
    TGridState state;
    int index, pos, ofs;
    CalcSizingState(X, Y, state, index, pos, ofs);
    ShowCursor(state == gsColSizing ? crHSplit : state == gsRowSizing ? crVSplit : crDefault);
}

void TCustomGrid::ShowCursor(TCursor Cursor) {
    if (Cursor == this->Cursor()) return;
    SetCursor(Cursor);
    // The shape follows at once while the mouse is over the grid.
    if (Application->HoverControl() == this && Screen->Cursor() == crDefault)
        Backend().SetCursorShape(Cursor);
}

bool TCustomGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    bool handled = TCustomControl::DoMouseWheelDown(Shift, MousePos);
    if (!handled) {
        if (Row() < RowCount() - 1)
            FocusCell(std::clamp(Col(), FFixedCols, ColCount() - 1),
                      std::max(Row() + 1, FFixedRows), true);
        handled = true;
    }
    return handled;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    bool handled = TCustomControl::DoMouseWheelUp(Shift, MousePos);
    if (!handled) {
        if (Row() > FFixedRows)
            FocusCell(std::clamp(Col(), FFixedCols, ColCount() - 1),
                      std::min(Row() - 1, RowCount() - 1), true);
        handled = true;
    }
    return handled;
}

// --- The drag timer -------------------------------------------------------------------------

void TCustomGrid::StartSelectTimer() {
    if (!FTimerWnd) FTimerWnd = AllocateHWnd([this](TMessage& m) { SelectTimer(m); });
    FTimerOn = SetTimer(FTimerWnd, kSelectTimer, kSelectInterval) != 0;
}

void TCustomGrid::StopSelectTimer() {
    if (FTimerOn && FTimerWnd) KillTimer(FTimerWnd, kSelectTimer);
    FTimerOn = false;
}

void TCustomGrid::SelectTimer(TMessage& Message) {
    if (Message.Msg != WM_TIMER) {
        Message.Result = DefWindowProc(FTimerWnd, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    if (FGridState != gsSelecting && FGridState != gsColMoving && FGridState != gsRowMoving) {
        StopSelectTimer();
        return;
    }
    try {
        TDrawInfo d = CalcDrawInfo();
        TPoint p = FLastMouse;
        if (FGridState == gsSelecting) {
            // Beyond the cells in view the selection grows one cell per tick, scrolling.
            TGridCoord next = FAnchor;
            int fullRight = int(d.Horz.Pos(d.Horz.LastFull)) + FColAxis.Size(d.Horz.LastFull);
            int fullBottom = int(d.Vert.Pos(d.Vert.LastFull)) + FRowAxis.Size(d.Vert.LastFull);
            if (p.X < d.Horz.FixedBoundary && next.X > FFixedCols)
                --next.X;
            else if (p.X > fullRight && next.X < ColCount() - 1)
                ++next.X;
            if (p.Y < d.Vert.FixedBoundary && next.Y > FFixedRows)
                --next.Y;
            else if (p.Y > fullBottom && next.Y < RowCount() - 1)
                ++next.Y;
            if (!(next == FAnchor)) MoveAnchor(next);
        } else {
            bool cols = FGridState == gsColMoving;
            const TAxisInfo& a = cols ? d.Horz : d.Vert;
            int pos = cols ? p.X : p.Y;
            int full = int(a.Pos(a.LastFull)) + a.Axis->Size(a.LastFull);
            int first = cols ? FTopLeft.X : FTopLeft.Y;
            TGridCoord maxTL = MaxTopLeft();
            int maxFirst = cols ? maxTL.X : maxTL.Y;
            int fixed = cols ? FFixedCols : FFixedRows;
            if (pos < a.FixedBoundary && first > fixed) {
                cols ? MoveTopLeft(first - 1, FTopLeft.Y) : MoveTopLeft(FTopLeft.X, first - 1);
                FMovePos = first - 1;
                Invalidate();
            } else if (pos > full && first < maxFirst) {
                cols ? MoveTopLeft(first + 1, FTopLeft.Y) : MoveTopLeft(FTopLeft.X, first + 1);
                FMovePos = std::min(a.LastFull + 1, (cols ? ColCount() : RowCount()) - 1);
                Invalidate();
            }
        }
    } catch (...) {
        Application->HandleException(this);
    }
}

// --- Keyboard -------------------------------------------------------------------------------

LRESULT TCustomGrid::GetDlgCode() const {
    LRESULT code = DLGC_WANTARROWS;
    if (FOptions.contains(goRowSelect)) return code;
    if (FOptions.contains(goTabs)) code |= DLGC_WANTTAB;
    if (FOptions.contains(goEditing)) code |= DLGC_WANTCHARS;
    return code;
}

void TCustomGrid::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (!CanGridAcceptKey(Key, Shift)) Key = 0;
    if (Key == 0) return;
    TDrawInfo d = CalcDrawInfo();
    int pageWidth = std::max(1, d.Horz.LastFull - FTopLeft.X);
    int pageHeight = std::max(1, d.Vert.LastFull - FTopLeft.Y);
    bool rowSelect = FOptions.contains(goRowSelect);
    TGridCoord cur = FCurrent, tl = FTopLeft;
    bool moveKey = true;
    if (Shift.contains(ssCtrl)) {
        switch (Key) {
            case VK_UP:
                --tl.Y;
                break;
            case VK_DOWN:
                ++tl.Y;
                break;
            case VK_LEFT:
                if (!rowSelect) {
                    cur.X -= pageWidth;
                    tl.X -= pageWidth;
                }
                break;
            case VK_RIGHT:
                if (!rowSelect) {
                    cur.X += pageWidth;
                    tl.X += pageWidth;
                }
                break;
            case VK_PRIOR:
                cur.Y = FTopLeft.Y;
                break;
            case VK_NEXT:
                cur.Y = d.Vert.LastFull;
                break;
            case VK_HOME:
                cur = TGridCoord{FFixedCols, FFixedRows};
                break;
            case VK_END:
                cur = TGridCoord{ColCount() - 1, RowCount() - 1};
                break;
            default:
                moveKey = false;
                break;
        }
    } else {
        switch (Key) {
            case VK_UP:
                --cur.Y;
                break;
            case VK_DOWN:
                ++cur.Y;
                break;
            case VK_LEFT:
                if (rowSelect)
                    --tl.X;
                else
                    --cur.X;
                break;
            case VK_RIGHT:
                if (rowSelect)
                    ++tl.X;
                else
                    ++cur.X;
                break;
            case VK_NEXT:
                cur.Y += pageHeight;
                tl.Y += pageHeight;
                break;
            case VK_PRIOR:
                cur.Y -= pageHeight;
                tl.Y -= pageHeight;
                break;
            case VK_HOME:
                if (rowSelect)
                    cur.Y = FFixedRows;
                else
                    cur.X = FFixedCols;
                break;
            case VK_END:
                if (rowSelect)
                    cur.Y = RowCount() - 1;
                else
                    cur.X = ColCount() - 1;
                break;
            case VK_TAB:
                if (!Shift.contains(ssAlt)) {
                    // Tab runs along the row and on to the next; Shift+Tab back. It never
                    // extends the selection.
                    cur.X = std::clamp(cur.X, FFixedCols, ColCount() - 1);
                    cur.Y = std::clamp(cur.Y, FFixedRows, RowCount() - 1);
                    if (Shift.contains(ssShift)) {
                        if (--cur.X < FFixedCols) {
                            cur.X = ColCount() - 1;
                            if (--cur.Y < FFixedRows) cur.Y = RowCount() - 1;
                        }
                    } else if (++cur.X >= ColCount()) {
                        cur.X = FFixedCols;
                        if (++cur.Y >= RowCount()) cur.Y = FFixedRows;
                    }
                    Shift = {};
                }
                break;
            case VK_F2:
                moveKey = false;
                SetEditorMode(true);
                break;
            case VK_ESCAPE:
                moveKey = false;
                if (FEditorMode) CancelEdit();
                break;
            default:
                moveKey = false;
                break;
        }
    }
    if (!moveKey) return;
    TGridCoord maxTL = MaxTopLeft();
    tl.X = std::clamp(tl.X, FFixedCols, std::max(FFixedCols, maxTL.X));
    tl.Y = std::clamp(tl.Y, FFixedRows, std::max(FFixedRows, maxTL.Y));
    if (tl.X != FTopLeft.X || tl.Y != FTopLeft.Y) MoveTopLeft(tl.X, tl.Y);
    cur.X = std::clamp(cur.X, FFixedCols, ColCount() - 1);
    cur.Y = std::clamp(cur.Y, FFixedRows, RowCount() - 1);
    if (cur.X != FCurrent.X || cur.Y != FCurrent.Y)
        FocusCell(cur.X, cur.Y, !Shift.contains(ssShift));
}

void TCustomGrid::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    if (!FOptions.contains(goAlwaysShowEditor) && Key == U'\r') {
        if (FEditorMode)
            HideEditor();
        else
            ShowEditor();
        Key = 0;
    }
}

void TCustomGrid::WMChar(TMessage& Message) {
    char32_t ch = char32_t(Message.WParam);
    if (FOptions.contains(goEditing) && (ch == 8 || ch >= 32)) {
        // A character typed on the grid opens the editor and goes to it.
        ShowEditor();
        if (FInplaceEdit && FInplaceEdit->Visible()) FInplaceEdit->Perform(WM_CHAR, WPARAM(ch));
        return;
    }
    TCustomControl::WMChar(Message);
}

void TCustomGrid::WMSetFocus(TMessage& Message) {
    if (FFocusFromEditor) {
        // The editor handed the focus back: still inside the grid.
        FFocusFromEditor = false;
        Invalidate();
        return;
    }
    TCustomControl::WMSetFocus(Message);
    // Focus from outside goes on to an editor that is shown.
    if (FInplaceEdit && FEditorMode && FInplaceEdit->Visible() && !FInplaceEdit->Focused() &&
        CanFocus())
        FInplaceEdit->SetFocus();
}

void TCustomGrid::WMKillFocus(TMessage& Message) {
    if (FInplaceEdit && Application->FocusedControl(RootControl()) == FInplaceEdit) {
        FFocusToEditor = true;
        Invalidate();
        return;
    }
    TCustomControl::WMKillFocus(Message);
}

}  // namespace kovo
