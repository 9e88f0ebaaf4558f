// TReportListView drawing: the grid's cells (data cells with their colours, truncation,
// check boxes and radio marks; the common and column headers with the sort arrow), the
// message of an empty list and the indicator line between two rows.
#include <algorithm>
#include <cfenv>
#include <cmath>

#include "report_list/replist.h"

namespace kovo {

namespace {

constexpr TColor clDisabledView = clInactiveCaption;  // every text of a disabled view

// length x room / width - Less, rounded half to even, at least 1: how many characters of
// a too wide text fit before its "...".
int FittingChars(size_t Length, int Room, int Width, int Less) {
    double u = double(Length) * double(Room) / double(Width) - Less;
    return std::max(1, int(std::nearbyint(u)));
}

std::vector<std::string> SplitAt(const std::string& S, char Sep) {
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        size_t p = S.find(Sep, start);
        if (p == std::string::npos) {
            out.push_back(S.substr(start));
            return out;
        }
        out.push_back(S.substr(start, p - start));
        start = p + 1;
    }
}

void Line(TCanvas* C, int X1, int Y1, int X2, int Y2) {
    C->MoveTo(X1, Y1);
    C->LineTo(X2, Y2);
}

}  // namespace

void TReportListView::Paint() {
    if (FSuppressPaint) return;
    TCustomDrawGrid::Paint();
    DrawEmptyAndIndicator();
}

void TReportListView::TopLeftChanged() {
    InvalidateGrid();
    TCustomDrawGrid::TopLeftChanged();
}

void TReportListView::DrawEmptyAndIndicator() {
    TCanvas* C = Canvas();
    int h = CountHeadRows();
    if (NrOfRows() == 0) {
        int y0 = 0;
        for (int i = 0; i < h; ++i) y0 += RowHeights(i) + 1;
        C->Pen()->SetColor(Color());
        C->Pen()->SetWidth(1);
        C->Brush()->SetColor(Color());
        C->Rectangle(0, y0, Width(), Height());
        if (!FEmptyMsg.empty()) {
            C->SetFont(Font());
            C->Font()->SetColor(FColorEmptyMsg);
            int th = C->TextHeight(FEmptyMsg);
            std::vector<std::string> lines = SplitAt(FEmptyMsg, '|');
            int y1 = y0 - int(lines.size()) * th;
            for (size_t i = 0; i < lines.size(); ++i)
                C->TextOut((Width() - C->TextWidth(lines[i])) / 2,
                           y1 - 2 + (Height() - y1 - th) / 2 + int(i) * th, lines[i]);
        }
    }
    int k = FInterRowIndi;
    int gridTop = TCustomGrid::TopRow();
    if (k != 0 && k >= gridTop - h + 1 && k <= NrOfRows() + 1) {
        int heads = 0;
        for (int i = 0; i < h; ++i) heads += RowHeights(i);
        int y = (k + h - 1 - gridTop) * (TCustomGrid::DefaultRowHeight() + 1) + heads;
        C->Pen()->SetColor(FInterRowColor);
        C->Pen()->SetWidth(FInterRowWidth);
        Line(C, 0, y, Width(), y);
        C->Pen()->SetWidth(1);
    }
}

void TReportListView::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
    Canvas()->SetFont(Font());
    TRect TR{ARect.Left + 4, ARect.Top + 2, ARect.Right - 5, ARect.Bottom};
    if (ARow >= CountHeadRows())
        DrawDataCell(ACol, ARow, ARect, TR);
    else
        DrawHeaderCell(ACol, ARow, ARect, TR);
    if (ACol < FixedCols() && ARow >= CountHeadRows()) {
        // the raised edge of the fixed first column
        TCanvas* C = Canvas();
        C->Pen()->SetWidth(1);
        C->Pen()->SetColor(clWhite);
        C->MoveTo(ARect.Left, ARect.Bottom - 1);
        C->LineTo(ARect.Left, ARect.Top);
        C->LineTo(ARect.Right, ARect.Top);
        C->Pen()->SetColor(clGray);
        C->MoveTo(ARect.Left + 1, ARect.Bottom - 1);
        C->LineTo(ARect.Right - 1, ARect.Bottom - 1);
        C->LineTo(ARect.Right - 1, ARect.Top);
    }
    TCustomDrawGrid::DrawCell(ACol, ARow, TR, AState);
}

void TReportListView::DrawDataCell(int ACol, int ARow, const TRect& Rect, const TRect& TextR) {
    TCanvas* C = Canvas();
    TRect TR = TextR;
    int c = DataColOfGrid(ACol);
    int r = ARow - CountHeadRows() + 1;
    bool fixed = ACol < FixedCols();
    TRect CR = Rect;
    TGridOptions opt = Options();
    if (!fixed && !opt.contains(goVertLine)) CR.Right += 1;
    if (!fixed && !opt.contains(goHorzLine)) CR.Bottom += 1;

    TStringArray* store = FRLData->Strings;
    std::string S = store->GetString(c, r);
    if (ColumnIsPwd(c)) S = "******";
    TCheckMode mode = FRLData->GetColCheckMode(c);
    uint8_t rowAttr = store->GetRowAttrib(r);
    bool rowDisabled = rowAttr & AttrDisabled;

    TColor F = FColorNormal;
    TColor B = FRColorNormal;
    if (FRowColPattern > 0 && ((r - 1) / FRowColPattern) % 2 == 0) B = FRColorShaded;
    TColor P = B;
    TFontStyles styles = Font()->Style();
    if (FEnabled) {
        if (rowDisabled) {
            B = P = FDisabledBkgdColor;
            F = FDisabledTextColor;
        } else {
            bool rowSel = rowAttr & AttrSelected;
            bool colSel = store->GetColAttrib(c) & AttrSelected;
            if (rowSel && colSel) {
                B = P = FSelBothColor;
                F = FSelBothTextColor;
            } else if (colSel) {
                B = P = FSelColColor;
                F = FSelColTextColor;
            } else if (rowSel) {
                B = P = FSelRowColor;
                F = FSelRowTextColor;
            }
            if (r == FHiLgtRow || c == FHiLgtColumn) {
                B = P = FHiLgtColor;
                F = FHiLgtTextColor;
                if (FHiLgtBold) styles.Include(fsBold);
            }
        }
    }
    if (fixed) B = P = FColHdColor;
    if (!FEnabled) F = clDisabledView;

    if (OnBeforeRenderCell) OnBeforeRenderCell(this, c, r, P, B, F, styles, S);

    C->Font()->SetStyle(styles);
    C->Font()->SetColor(F);
    C->Brush()->SetColor(B);
    bool italic = styles.contains(fsItalic);
    bool checkCol = mode != cmNone;

    // truncation: a text wider than its column keeps what fits and gets "..."
    int m = checkCol ? 16 : 0;
    int tw = C->TextWidth(checkCol && !S.empty() ? S.substr(1) : S);
    int w = ColWidths(c);
    if (w - 9 - m < tw && tw > 0) {
        size_t u = size_t(FittingChars(S.size(), w - 9 - m, tw, 4));
        TAlignment al = ColumnAlignment(c);
        if (al == taRightJustify)
            S = S.substr(0, 1) + "..." + (u < S.size() ? S.substr(S.size() - u) : S);
        else
            S = S.substr(0, u) + "...";
    }

    C->Pen()->SetColor(B);
    C->Pen()->SetWidth(1);
    C->Rectangle(CR);
    C->Pen()->SetColor(P);

    auto drawText = [&](const TRect& R, const std::string& Text) {
        int tw2 = C->TextWidth(Text) + (italic ? 2 : 0);
        int x = R.Left;
        switch (ColumnAlignment(c)) {
            case taRightJustify:
                x = R.Right - tw2;
                break;
            case taCenter:
                x = (R.Left + R.Right) / 2 - tw2 / 2;
                break;
            default:
                break;
        }
        C->TextRect(R, x, R.Top - 1, Text);
    };

    if (!checkCol) {
        drawText(TR, S);
        return;
    }
    if (S.size() < 2 && !FShowEmptyCBx) return;
    TR.Left += 16;
    bool checked = !S.empty() && S[0] != ' ';
    if (!S.empty()) S.erase(0, 1);
    drawText(TR, S);
    int L = Rect.Left, T = Rect.Top;
    if (!FROCheckMarks) {
        TColor frame = rowDisabled ? P : clBtnShadow;
        if (!FEnabled) frame = clDisabledView;
        C->Pen()->SetColor(frame);
        C->Brush()->SetColor(B);
        if (mode == cmRadio)
            C->Ellipse(L + 4, T + 4, L + 15, T + 15);
        else
            C->Rectangle(L + 4, T + 4, L + 15, T + 15);
    }
    C->Pen()->SetColor(FEnabled ? F : clDisabledView);
    if (!checked) return;
    if (mode == cmRadio) {
        Line(C, L + 8, T + 7, L + 12, T + 7);
        for (int i = 0; i < 3; ++i) Line(C, L + 7, T + 8 + i, L + 13, T + 8 + i);
        Line(C, L + 8, T + 11, L + 12, T + 11);
    } else {
        for (int i = 0; i < 3; ++i) {
            Line(C, L + 6, T + 8 + i, L + 9, T + 11 + i);
            Line(C, L + 8, T + 10 + i, L + 13, T + 5 + i);
        }
    }
}

// The right edge of the last column in view: the header lines run to it.
int TReportListView::HeaderRightEdge() {
    int x = 0;
    for (int g = 0; g < FixedCols(); ++g) {
        TRect R = CellRect(g, 0);
        if (!R.IsEmpty()) x = R.Right;
    }
    for (int g = TCustomGrid::LeftCol(); g < ColCount(); ++g) {
        TRect R = CellRect(g, 0);
        if (R.IsEmpty()) break;
        x = R.Right;
    }
    return x;
}

void TReportListView::DrawHeaderCell(int ACol, int ARow, const TRect& Rect, TRect& TR) {
    TCanvas* C = Canvas();
    int X = HeaderRightEdge();
    bool italic = Font()->Style().contains(fsItalic);
    C->Pen()->SetWidth(1);
    if (FComHdVis && ARow == 0) {
        TRect band{0, Rect.Top, X, Rect.Bottom};
        C->Font()->SetColor(FComHdTxtColor);
        C->Brush()->SetColor(FComHdColor);
        C->Pen()->SetColor(FComHdColor);
        C->Rectangle(band);
        const std::string& text = FRLData->CommonHeader();
        int h = C->TextHeight(text);
        TRect bandText{0, Rect.Top + 2, X, Rect.Bottom};
        std::vector<std::string> lines = SplitAt(text, '\n');
        for (size_t i = 0; i < lines.size(); ++i) {
            TRect lr = band;
            int y = bandText.Top + int(i) * h;
            if (i > 0) {
                lr.Top = std::min(y, Rect.Bottom);
                lr.Bottom = std::min(bandText.Top + int(i + 1) * h, Rect.Bottom);
            }
            int tw = C->TextWidth(lines[i]);
            int x = 4;
            if (FHeaderAlignment == taRightJustify)
                x = X - tw - 5;
            else if (FHeaderAlignment == taCenter)
                x = X / 2 - tw / 2;
            C->TextRect(lr, x, y, lines[i]);
        }
        C->Pen()->SetColor(clWhite);
        C->MoveTo(0, Rect.Bottom - 1);
        C->LineTo(0, Rect.Top);
        C->LineTo(X, Rect.Top);
        C->Pen()->SetColor(clGray);
        C->MoveTo(1, Rect.Bottom - 1);
        C->LineTo(X - 1, Rect.Bottom - 1);
        C->LineTo(X - 1, Rect.Top);
        C->Pen()->SetColor(clBlack);
        C->MoveTo(X, Rect.Bottom - 1);
        C->LineTo(X, Rect.Top - 1);
        return;
    }
    if (!FColHdVis) return;

    int c = DataColOfGrid(ACol);
    bool sorted = c == FRLData->LastSortColumn();
    int a = sorted ? 13 : 0;
    C->Brush()->SetColor(FColHdColor);
    C->Font()->SetColor(FColHdTxtColor);
    std::string name = FRLData->GetColName(c);
    int h = C->TextHeight(name);
    int w = ColWidths(c);
    std::vector<std::string> lines = SplitAt(name, '\n');
    TAlignment al = ColumnAlignment(c);
    int o = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string ln = lines[i];
        int tw = C->TextWidth(ln);
        if (w - 9 - a < tw) {
            ln = ln.substr(0, size_t(FittingChars(ln.size(), w - 9 - a, tw, 3))) + "...";
            tw = C->TextWidth(ln);
        }
        if (italic) tw += 2;
        TRect lr = Rect;
        int y = TR.Top + int(i) * h;
        if (i > 0) {
            lr.Top = std::min(y, Rect.Bottom);
            lr.Bottom = std::min(TR.Top + int(i + 1) * h, Rect.Bottom);
        }
        int x = TR.Left;
        if (al == taRightJustify)
            x = TR.Right - tw;
        else if (al == taCenter)
            x = (TR.Left + TR.Right) / 2 - tw / 2;
        C->TextRect(lr, x, y, ln);
        if (i == 0) {
            switch (al) {
                case taLeftJustify:
                    o = tw + 10;
                    break;
                case taRightJustify:
                    o = TR.Right - TR.Left - tw - 11;
                    break;
                case taCenter:
                    o = (TR.Right - TR.Left) / 2 + tw / 2 + 10;
                    break;
            }
        }
    }
    if (sorted) {
        o = std::min(o, w - 11);
        int x0 = TR.Left + o, y0 = TR.Top + h / 2;
        if (FRLData->LastSortOrder()) {
            C->Pen()->SetColor(clGray);
            C->MoveTo(x0 - 4, y0 + 3);
            C->LineTo(x0, y0 - 3);
            C->Pen()->SetColor(clWhite);
            C->LineTo(x0 + 4, y0 + 3);
            C->LineTo(x0 - 4, y0 + 3);
        } else {
            C->Pen()->SetColor(clWhite);
            C->MoveTo(x0 + 4, y0 - 3);
            C->LineTo(x0, y0 + 3);
            C->Pen()->SetColor(clGray);
            C->LineTo(x0 - 4, y0 - 3);
            C->LineTo(x0 + 4, y0 - 3);
        }
    }
    C->Pen()->SetColor(clWhite);
    C->MoveTo(Rect.Left, Rect.Bottom - 1);
    C->LineTo(Rect.Left, Rect.Top);
    C->LineTo(X, Rect.Top);
    C->Pen()->SetColor(clGray);
    C->MoveTo(Rect.Left + 1, Rect.Bottom - 1);
    C->LineTo(X - 1, Rect.Bottom - 1);
    C->LineTo(X - 1, Rect.Top);
}

}  // namespace kovo
