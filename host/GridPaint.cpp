// The grid's painting: the border and scroll bars outside the client area, then, inside it,
// the grid lines, the visible cells (fixed ones first) through DrawCell, the area beyond the
// last cells, and the line that shows a column being sized or moved.
#include <algorithm>
#include <vector>

#include "host/Edit.h"
#include "host/Grid.h"
#include "host/InplaceEdit.h"

namespace kovo {

namespace {

void Fill(TCanvas* C, const TRect& R, TColor Color) {
    if (R.IsEmpty()) return;
    C->Brush()->SetColor(Color);
    C->Brush()->SetStyle(bsSolid);
    C->FillRect(R);
}

// The dotted, inverting outline of the focused cell.
void DrawFocusRect(TCanvas* C, const TRect& R) {
    if (R.Width() < 1 || R.Height() < 1) return;
    C->Brush()->SetStyle(bsClear);
    C->Pen()->SetWidth(1);
    C->Pen()->SetStyle(psAlternate);
    C->Pen()->SetMode(pmNot);
    int l = R.Left, t = R.Top, r = R.Right - 1, b = R.Bottom - 1;
    C->MoveTo(l, t);
    C->LineTo(r, t);
    C->LineTo(r, b);
    C->LineTo(l, b);
    C->LineTo(l, t);
    C->Pen()->SetMode(pmCopy);
    C->Pen()->SetStyle(psSolid);
}

// One visible cell along an axis: its index, client start and size.
struct TSpanCell {
    int Index;
    int Start;
    int Size;
};

}  // namespace

void TCustomGrid::PaintWindow(TCanvas* ACanvas) {
    EnsureLayout();
    PaintBorderAndBars(ACanvas);
    SetClientPaintClip(FPaintClip);
    try {
        Paint();
    } catch (...) {
        SetClientPaintClip({});
        throw;
    }
    SetClientPaintClip({});
}

void TCustomGrid::PaintBorderAndBars(TCanvas* C) {
    int b = BorderWidth();
    if (b > 0) DrawSunkenFrame(C, TRect{0, 0, Width(), Height()});
    FVertScroll.Paint(C);
    FHorzScroll.Paint(C);
    if (FShowVert && FShowHorz)
        Fill(C, Bounds(b + FClientW, b + FClientH, ScrollBarSize, ScrollBarSize), clBtnFace);
}

void TCustomGrid::Paint() {
    TCanvas* C = Canvas();
    TRect clip = C->ClipRect();
    if (clip.IsEmpty()) return;
    TDrawInfo d = CalcDrawInfo();
    C->SetFont(Font());
    const TAxisInfo& H = d.Horz;
    const TAxisInfo& V = d.Vert;
    int hf = std::min(H.FixedBoundary, H.Extent), vf = std::min(V.FixedBoundary, V.Extent);
    TRect fixedCorner{0, 0, hf, vf};
    TRect fixedTop{hf, 0, H.GridBoundary, vf};
    TRect fixedLeft{0, vf, hf, V.GridBoundary};
    TRect body{hf, vf, H.GridBoundary, V.GridBoundary};

    if (H.Line > 0 || V.Line > 0) {
        TColor lineColor = ColorToRGB(Color()) == clSilver ? clGray : clSilver;
        bool fh = FOptions.contains(goFixedHorzLine), fv = FOptions.contains(goFixedVertLine);
        DrawLines(d, fh, fv, 0, 0, fixedCorner, clBlack, FFixedColor);
        DrawLines(d, fh, fv, H.First, 0, fixedTop, clBlack, FFixedColor);
        DrawLines(d, fh, fv, 0, V.First, fixedLeft, clBlack, FFixedColor);
        DrawLines(d, FOptions.contains(goHorzLine), FOptions.contains(goVertLine), H.First, V.First,
                  body, lineColor, Color());
    }
    DrawCells(d, 0, FFixedCols, 0, FFixedRows, fixedCorner, FFixedColor, {gdFixed}, clip);
    DrawCells(d, H.First, ColCount(), 0, FFixedRows, fixedTop, FFixedColor, {gdFixed}, clip);
    DrawCells(d, 0, FFixedCols, V.First, RowCount(), fixedLeft, FFixedColor, {gdFixed}, clip);
    DrawCells(d, H.First, ColCount(), V.First, RowCount(), body, Color(), {}, clip);

    Fill(C, TRect{H.GridBoundary, 0, H.Extent, V.GridBoundary}, Color());
    Fill(C, TRect{0, V.GridBoundary, H.Extent, V.Extent}, Color());
    DrawDragLine(d);
}

void TCustomGrid::DrawLines(const TDrawInfo& D, bool DoHorz, bool DoVert, int FirstCol,
                            int FirstRow, const TRect& Area, TColor OnColor, TColor OffColor) {
    if (Area.IsEmpty()) return;
    TCanvas* C = Canvas();
    bool fixedCols = FirstCol == 0 && FFixedCols > 0 && Area.Left == 0;
    bool fixedRows = FirstRow == 0 && FFixedRows > 0 && Area.Top == 0;
    int endCol = fixedCols ? FFixedCols : ColCount();
    int endRow = fixedRows ? FFixedRows : RowCount();
    // Lines after each column, across the area; then after each row, along it. A line whose
    // option is off is painted in the area's colour, so no gap is left unpainted.
    if (D.Horz.Line > 0) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(DoVert ? OnColor : OffColor);
        int x = Area.Left;
        for (int col = FirstCol; col < endCol && x < Area.Right; ++col) {
            x += FColAxis.Size(col);
            C->FillRect(IntersectRect(TRect{x, Area.Top, x + D.Horz.Line, Area.Bottom}, Area));
            x += D.Horz.Line;
        }
    }
    if (D.Vert.Line > 0) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(DoHorz ? OnColor : OffColor);
        int y = Area.Top;
        for (int row = FirstRow; row < endRow && y < Area.Bottom; ++row) {
            y += FRowAxis.Size(row);
            C->FillRect(IntersectRect(TRect{Area.Left, y, Area.Right, y + D.Vert.Line}, Area));
            y += D.Vert.Line;
        }
    }
}

void TCustomGrid::DrawCells(const TDrawInfo& D, int FirstCol, int EndCol, int FirstRow, int EndRow,
                            const TRect& Area, TColor AColor, TGridDrawState AState,
                            const TRect& Clip) {
    if (Area.IsEmpty()) return;
    TCanvas* C = Canvas();
    // The columns of the area once, then row by row.
    std::vector<TSpanCell> cols;
    for (int col = FirstCol, x = Area.Left; col < EndCol && x < Area.Right; ++col) {
        int w = FColAxis.Size(col);
        cols.push_back(TSpanCell{col, x, w});
        x += w + D.Horz.Line;
    }
    TGridRect sel = Selection();
    bool active = IsActiveControl();
    bool designing = ComponentState().contains(csDesigning);
    bool editorShown = FInplaceEdit && FInplaceEdit->Visible() && FInplaceCol >= 0;
    bool fixedEdges = FOptions.contains(goFixedVertLine) || FOptions.contains(goFixedHorzLine);
    for (int row = FirstRow, y = Area.Top; row < EndRow && y < Area.Bottom; ++row) {
        int h = FRowAxis.Size(row);
        int bottom = y + h;
        if (h > 0 && bottom > Clip.Top && y < Clip.Bottom) {
            for (const TSpanCell& c : cols) {
                TRect where{c.Start, y, c.Start + c.Size, bottom};
                if (c.Size <= 0 || where.Right <= Clip.Left || where.Left >= Clip.Right) continue;
                TGridDrawState state = AState;
                if (active && row == FCurrent.Y && c.Index == FCurrent.X) state.Include(gdFocused);
                if (PointInGridRect(c.Index, row, sel)) state.Include(gdSelected);
                if (c.Index == FHotCell.X && row == FHotCell.Y) state.Include(gdHotTrack);
                // The editor covers its cell.
                if (editorShown && c.Index == FInplaceCol && row == FInplaceRow) continue;
                if (FDefaultDrawing || designing) {
                    C->SetFont(Font());
                    if (state.contains(gdSelected) &&
                        (!state.contains(gdFocused) ||
                         !(FOptions & TGridOptions{goDrawFocusSelected, goRowSelect}).empty())) {
                        C->Brush()->SetColor(clHighlight);
                        C->Font()->SetColor(clHighlightText);
                    } else {
                        C->Brush()->SetColor(AColor);
                    }
                    C->Brush()->SetStyle(bsSolid);
                    C->FillRect(where);
                }
                DrawCell(c.Index, row, where, state);
                if (FDefaultDrawing && state.contains(gdFixed) && fixedEdges)
                    DrawFixedEdge(where, D);
                if (FDefaultDrawing && !designing && state.contains(gdFocused) &&
                    (FOptions & TGridOptions{goEditing, goAlwaysShowEditor}) !=
                        TGridOptions{goEditing, goAlwaysShowEditor} &&
                    !FOptions.contains(goRowSelect))
                    DrawFocusRect(C, where);
            }
        }
        y = bottom + D.Vert.Line;
    }
}

void TCustomGrid::DrawFixedEdge(TRect R, const TDrawInfo& D) {
    TCanvas* C = Canvas();
    bool vert = FOptions.contains(goFixedVertLine), horz = FOptions.contains(goFixedHorzLine);
    // Without its own line on one side, the edge reaches over the line's place there.
    if (!vert)
        R.Right += D.Horz.Line;
    else if (!horz)
        R.Bottom += D.Vert.Line;
    if (R.Width() < 1 || R.Height() < 1) return;
    if (horz) Fill(C, TRect{R.Left, R.Top, R.Right - 1, R.Top + 1}, clBtnHighlight);
    if (vert) Fill(C, TRect{R.Left, R.Top, R.Left + 1, R.Bottom - 1}, clBtnHighlight);
    if (horz) Fill(C, TRect{R.Left, R.Bottom - 1, R.Right, R.Bottom}, clBtnShadow);
    if (vert) Fill(C, TRect{R.Right - 1, R.Top, R.Right, R.Bottom}, clBtnShadow);
}

void TCustomGrid::DrawDragLine(const TDrawInfo& D) {
    TCanvas* C = Canvas();
    TRect line;
    switch (FGridState) {
        case gsColSizing:
            line = TRect{FSizingPos, 0, FSizingPos + 1, D.Vert.Extent};
            break;
        case gsRowSizing:
            line = TRect{0, FSizingPos, D.Horz.Extent, FSizingPos + 1};
            break;
        case gsColMoving:
        case gsRowMoving: {
            if (FMovePos < 0 || FMovePos == FMoveIndex) return;
            bool cols = FGridState == gsColMoving;
            const TAxisInfo& a = cols ? D.Horz : D.Vert;
            // The moved column lands after the target when it moves forward, else before it.
            int start = 0, end = 0;
            if (!a.Span(FMovePos, FMovePos, start, end)) return;
            int at = FMovePos > FMoveIndex ? end : start - a.Line;
            line = cols ? TRect{at - 1, 0, at + 2, D.Vert.GridBoundary}
                        : TRect{0, at - 1, D.Horz.GridBoundary, at + 2};
            break;
        }
        default:
            return;
    }
    // With a clear pen the brush fills the whole box in the pen's mode: the band is inverted.
    C->Pen()->SetStyle(psClear);
    C->Pen()->SetMode(pmNot);
    C->Brush()->SetColor(clBlack);
    C->Brush()->SetStyle(bsSolid);
    C->Rectangle(line);
    C->Pen()->SetMode(pmCopy);
    C->Pen()->SetStyle(psSolid);
}

}  // namespace kovo
