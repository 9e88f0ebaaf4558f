// Drawing of the tree view: only the rows inside the client area are visited, so the cost
// of a paint depends on the window's height, not on the number of nodes.
#include <algorithm>

#include "host/TreeView.h"

namespace kovo {

namespace {

// Colours of the explorer look.
constexpr TColor kExplorerSelFill = RGB(204, 232, 255);
constexpr TColor kExplorerSelFrame = RGB(153, 209, 255);
constexpr TColor kExplorerHotFill = RGB(229, 243, 255);
constexpr TColor kExplorerInactiveFill = RGB(217, 217, 217);
constexpr TColor kExplorerArrow = RGB(140, 140, 140);
constexpr TColor kExplorerArrowOpen = RGB(38, 38, 38);

void FillBox(TCanvas* C, const TRect& R, TColor Color) {
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color);
    C->FillRect(R);
}

void Line(TCanvas* C, int X0, int Y0, int X1, int Y1, TColor Color) {
    C->Pen()->SetColor(Color);
    C->MoveTo(X0, Y0);
    C->LineTo(X1, Y1);
}

}  // namespace

void TCustomTreeView::Paint() {
    EnsureLayout();
    TCanvas* C = Canvas();
    PrepareCanvasFont();
    C->Pen()->SetMode(pmCopy);
    C->Pen()->SetWidth(1);
    TRect content = ContentRect();
    int h = ItemHeight();
    int rows = int(FRows.size());
    int last = std::min(rows, FTopRow + (content.Height() + h - 1) / h);
    int y = content.Top;
    for (int row = FTopRow; row < last; ++row, y += h)
        PaintRow(FRows[size_t(row)], row, TRect{content.Left, y, content.Right, y + h});
    if (y < content.Bottom)
        FillBox(C, TRect{content.Left, y, content.Right, content.Bottom}, Color());
    // The scroll bars and the border go over whatever a partly shown row drew beyond the
    // client area.
    if (FVertShown) FVertScroll.Paint(C);
    if (FHorzShown) FHorzScroll.Paint(C);
    if (FVertShown && FHorzShown) {
        TRect v = FVertScroll.BoundsRect(), hz = FHorzScroll.BoundsRect();
        FillBox(C, TRect{v.Left, hz.Top, v.Right, hz.Bottom}, clBtnFace);
    }
    PaintBorder();
}

void TCustomTreeView::PaintBorder() {
    if (FBorderStyle == bsNone) return;
    TCanvas* C = Canvas();
    C->Pen()->SetStyle(psSolid);
    int r = Width() - 1, b = Height() - 1;
    if (r < 1 || b < 1) return;
    // A sunken edge: shadow outside and dark shadow inside at top and left, highlight and
    // light at bottom and right.
    Line(C, 0, b, 0, 0, clBtnShadow);
    Line(C, 0, 0, r, 0, clBtnShadow);
    Line(C, 0, b, r, b, clBtnHighlight);
    Line(C, r, 0, r, b + 1, clBtnHighlight);
    Line(C, 1, b - 1, 1, 1, cl3DDkShadow);
    Line(C, 1, 1, r - 1, 1, cl3DDkShadow);
    Line(C, 1, b - 1, r - 1, b - 1, cl3DLight);
    Line(C, r - 1, 1, r - 1, b, cl3DLight);
}

void TCustomTreeView::PaintRow(TTreeNode* Node, int Row, const TRect& RowRect) {
    (void)Row;
    TCanvas* C = Canvas();
    TColor background = Color();
    if (FLook == tvlExplorer) {
        bool focused = Focused();
        TColor fill = background;
        bool frame = false;
        if (Node->FInSelection && (focused || !FHideSelection)) {
            fill = focused ? kExplorerSelFill : kExplorerInactiveFill;
            frame = focused;
        } else if (Node == FHotNode && Enabled()) {
            fill = kExplorerHotFill;
        }
        FillBox(C, RowRect, background);
        if (fill != background) {
            TRect band = RowRect;
            FillBox(C, band, fill);
            if (frame) {
                C->Brush()->SetColor(kExplorerSelFrame);
                C->FrameRect(band);
            }
        }
    } else {
        FillBox(C, RowRect, background);
        if (FShowLines) PaintLines(Node, RowRect);
    }
    int col = ButtonColumn(Node);
    if (FShowButtons && Node->FHasChildren && col >= 0) {
        int cx = RowRect.Left - FLeftPixel + col * FIndent + FIndent / 2;
        int cy = RowRect.Top + (RowRect.Height() - 1) / 2;
        PaintButton(Node, cx, cy);
    }
    PaintLabel(Node, RowRect);
}

void TCustomTreeView::PaintLines(TTreeNode* Node, const TRect& RowRect) {
    TCanvas* C = Canvas();
    C->Pen()->SetStyle(psAlternate);
    C->Pen()->SetColor(clBtnShadow);
    C->Brush()->SetStyle(bsClear);
    int top = RowRect.Top, bottom = RowRect.Bottom;
    int cy = top + (RowRect.Height() - 1) / 2;
    int origin = RowRect.Left - FLeftPixel;  // x of content column 0
    // Dots sit where the content x plus the row's y is even, so that lines meet on a dot.
    auto vertical = [&](int x, int y0, int y1) {
        int cx = x - origin;
        if (((cx + (y0 - top)) & 1) != 0) ++y0;
        if (y0 >= y1) return;
        C->MoveTo(x, y0);
        C->LineTo(x, y1);
    };
    auto horizontal = [&](int x0, int x1, int y) {
        if ((((x0 - origin) + (y - top)) & 1) != 0) ++x0;
        if (x0 >= x1) return;
        C->MoveTo(x0, y);
        C->LineTo(x1, y);
    };
    int col = ButtonColumn(Node);
    if (col >= 0) {
        int cx = origin + col * FIndent + FIndent / 2;
        bool above = Node->GetPrevSibling() || Node->Parent();
        if (above) vertical(cx, top, cy + 1);
        if (Node->GetNextSibling()) vertical(cx, cy, bottom);
        horizontal(cx, origin + LabelLeft(Node), cy);
    }
    // The lines of the ancestors that still have siblings to come run through the row.
    int acol = col - 1;
    for (TTreeNode* a = Node->Parent(); a && acol >= 0; a = a->Parent(), --acol)
        if (a->GetNextSibling()) vertical(origin + acol * FIndent + FIndent / 2, top, bottom);
    C->Pen()->SetStyle(psSolid);
    C->Brush()->SetStyle(bsSolid);
}

void TCustomTreeView::PaintButton(TTreeNode* Node, int CX, int CY) {
    TCanvas* C = Canvas();
    C->Pen()->SetStyle(psSolid);
    if (FLook == tvlClassic) {
        // A 9 x 9 box with a minus, and a plus while collapsed.
        C->Pen()->SetColor(clBtnShadow);
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(clWindow);
        C->Rectangle(CX - 4, CY - 4, CX + 5, CY + 5);
        TColor sign = Enabled() ? clWindowText : clGrayText;
        Line(C, CX - 2, CY, CX + 3, CY, sign);
        if (!Node->FExpanded) Line(C, CX, CY - 2, CX, CY + 3, sign);
        return;
    }
    if (Node->FExpanded) {
        // A filled triangle pointing down to the right.
        TColor c = Enabled() ? kExplorerArrowOpen : clGrayText;
        C->Pen()->SetColor(c);
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(c);
        C->Polygon({TPoint{CX + 3, CY - 3}, TPoint{CX + 3, CY + 2}, TPoint{CX - 2, CY + 2}});
    } else {
        // A hollow triangle pointing right.
        C->Pen()->SetColor(Enabled() ? kExplorerArrow : clGrayText);
        C->Brush()->SetStyle(bsClear);
        C->Polygon({TPoint{CX - 2, CY - 4}, TPoint{CX + 2, CY}, TPoint{CX - 2, CY + 4}});
        C->Brush()->SetStyle(bsSolid);
    }
}

void TCustomTreeView::PaintLabel(TTreeNode* Node, const TRect& RowRect) {
    TCanvas* C = Canvas();
    int left = RowRect.Left - FLeftPixel + LabelLeft(Node);
    TRect label{left, RowRect.Top, left + LabelWidth(Node), RowRect.Bottom};
    bool focused = Focused();
    bool shown = Node->FInSelection && (focused || !FHideSelection);
    TColor text = Enabled() ? Font()->Color() : clGrayText;
    C->Brush()->SetStyle(bsClear);
    if (FLook == tvlClassic && shown) {
        TColor fill = clBtnFace;
        if (focused && Enabled()) {
            fill = clHighlight;
            text = clHighlightText;
        } else if (Enabled()) {
            text = clBtnText;
        }
        FillBox(C, label, fill);
        C->Brush()->SetStyle(bsClear);
    }
    C->Font()->SetColor(text);
    int textTop = RowRect.Top + (RowRect.Height() - C->TextHeight(Node->FText)) / 2;
    C->TextRect(label, label.Left + 2, textTop, Node->FText);
    if (FLook == tvlClassic && focused && Node == FSelected) {
        // The focus mark: a dotted frame that inverts what is under it.
        C->Pen()->SetStyle(psAlternate);
        C->Pen()->SetMode(pmNot);
        C->Brush()->SetStyle(bsClear);
        C->Rectangle(label);
        C->Pen()->SetMode(pmCopy);
        C->Pen()->SetStyle(psSolid);
    }
    C->Brush()->SetStyle(bsSolid);
}

}  // namespace kovo
