#include "host/Memo.h"

#include <algorithm>
#include <climits>
#include <cwctype>

#include "host/Canvas.h"
#include "host/SysUtils.h"
#include "host/TextRender.h"

namespace kovo {

namespace {

std::u32string NormalizeBreaks(const std::u32string& S) {
    std::u32string out;
    out.reserve(S.size());
    for (size_t i = 0; i < S.size(); ++i) {
        if (S[i] == U'\r') {
            out += U'\n';
            if (i + 1 < S.size() && S[i + 1] == U'\n') ++i;
        } else {
            out += S[i];
        }
    }
    return out;
}

constexpr int kWheelRows = 3;

}  // namespace

// ---------------------------------------------------------------------------------------
// Lines

int TMemoStrings::Count() const {
    int phys = FMemo->PhysicalLineCount();
    return FMemo->LineLength(phys - 1) == 0 ? phys - 1 : phys;
}

std::string TMemoStrings::Strings(int Index) const {
    if (Index < 0 || Index >= Count()) Error(Index);
    int start = FMemo->LineStart(Index);
    return Utf8Encode(
        FMemo->FBuffer.Chars().substr(size_t(start), size_t(FMemo->LineLength(Index))));
}

void TMemoStrings::SetStrings(int Index, const std::string& S) {
    if (Index < 0 || Index >= Count()) Error(Index);
    int start = FMemo->LineStart(Index);
    FMemo->ReplaceRange(start, start + FMemo->LineLength(Index), NormalizeBreaks(Utf8Decode(S)));
}

void TMemoStrings::Insert(int Index, const std::string& S) {
    if (Index < 0 || Index > Count()) Error(Index);
    std::u32string s = NormalizeBreaks(Utf8Decode(S));
    if (Index < FMemo->PhysicalLineCount()) {
        int at = FMemo->LineStart(Index);
        FMemo->ReplaceRange(at, at, s + U"\n");
    } else {
        int end = FMemo->FBuffer.Length();
        FMemo->ReplaceRange(end, end, U"\n" + s);
    }
}

void TMemoStrings::Delete(int Index) {
    if (Index < 0 || Index >= Count()) Error(Index);
    int from = FMemo->LineStart(Index);
    int to = Index + 1 < FMemo->PhysicalLineCount() ? FMemo->LineStart(Index + 1)
                                                    : FMemo->FBuffer.Length();
    FMemo->ReplaceRange(from, to, {});
}

void TMemoStrings::Clear() {
    FMemo->SetText("");
}

void TMemoStrings::SetText(const std::string& Value) {
    FMemo->SetText(Value);
}

// ---------------------------------------------------------------------------------------
// The memo

TCustomMemo::TCustomMemo(TComponent* AOwner)
    : TCustomEdit(AOwner), FLines(std::make_unique<TMemoStrings>(this)) {
    SetAutoSize(false);
    SetAutoSelect(false);
    FVScroll.OnScroll = [this](TScrollCode Code, int Pos) { Scrolled(sbVertical, Code, Pos); };
    FHScroll.OnScroll = [this](TScrollCode Code, int Pos) { Scrolled(sbHorizontal, Code, Pos); };
    FVScroll.OnInvalidate = [this] { Invalidate(); };
    FHScroll.OnInvalidate = [this] { Invalidate(); };
    SetBounds(Left(), Top(), 185, 89);
}

TCustomMemo::~TCustomMemo() {
    FVScroll.OnInvalidate = nullptr;
    FHScroll.OnInvalidate = nullptr;
}

void TCustomMemo::SetText(const std::string& Value) {
    TCustomEdit::SetText(Utf8Encode(NormalizeBreaks(Utf8Decode(Value))));
}

void TCustomMemo::ReplaceRange(int From, int To, const std::u32string& S) {
    FBuffer.Select(From, To);
    if (FBuffer.ReplaceSelection(S))
        TextChanged(false);
    else
        SelectionChanged();
}

void TCustomMemo::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    FScrollX = 0;
    LayoutChanged();
    ScrollCaretIntoView();
    Invalidate();
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
    if (FScrollBars == Value) return;
    FScrollBars = Value;
    FScrollX = 0;
    LayoutChanged();
    ScrollCaretIntoView();
    Invalidate();
}

bool TCustomMemo::Wrapping() const {
    return FWordWrap && FScrollBars != ssHorizontal && FScrollBars != ssBoth;
}

LRESULT TCustomMemo::GetDlgCode() const {
    return DLGC_WANTARROWS | DLGC_WANTCHARS | (FWantTabs ? DLGC_WANTTAB : 0);
}

TRect TCustomMemo::EditRect() const {
    TRect r = InnerRect();
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) r.Right -= ScrollBarSize;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) r.Bottom -= ScrollBarSize;
    r = InflateRect(r, -1, 0);
    if (r.Right < r.Left) r.Right = r.Left;
    if (r.Bottom < r.Top) r.Bottom = r.Top;
    return r;
}

void TCustomMemo::LayoutChanged() {
    FLineStartsValid = false;
    FRowsValid = false;
}

void TCustomMemo::EnsureLineStarts() const {
    if (FLineStartsValid) return;
    FLineStarts.assign(1, 0);
    const std::u32string& s = FBuffer.Chars();
    for (size_t i = 0; i < s.size(); ++i)
        if (s[i] == U'\n') FLineStarts.push_back(int(i) + 1);
    FLineStartsValid = true;
}

int TCustomMemo::PhysicalLineCount() const {
    EnsureLineStarts();
    return int(FLineStarts.size());
}

int TCustomMemo::LineStart(int Index) const {
    EnsureLineStarts();
    if (Index < 0) return 0;
    if (Index >= int(FLineStarts.size())) return FBuffer.Length();
    return FLineStarts[size_t(Index)];
}

int TCustomMemo::LineLength(int Index) const {
    EnsureLineStarts();
    if (Index < 0 || Index >= int(FLineStarts.size())) return 0;
    int end =
        Index + 1 < int(FLineStarts.size()) ? FLineStarts[size_t(Index) + 1] - 1 : FBuffer.Length();
    return end - FLineStarts[size_t(Index)];
}

TPoint TCustomMemo::CaretPos() const {
    EnsureLineStarts();
    int caret = FBuffer.Caret();
    auto it = std::upper_bound(FLineStarts.begin(), FLineStarts.end(), caret);
    int line = int(it - FLineStarts.begin()) - 1;
    return TPoint{caret - FLineStarts[size_t(line)], line};
}

void TCustomMemo::SetCaretPos(TPoint Value) {
    int line = std::clamp(Value.Y, 0, PhysicalLineCount() - 1);
    int col = std::clamp(Value.X, 0, LineLength(line));
    SetSelStart(LineStart(line) + col);
}

int TCustomMemo::CharWidth(char32_t C, int X) {
    if (C == U'\t') {
        // Tab stops every eight average characters, counted from the row's start.
        int stop = std::max(1, GetTextMetrics(*Font()).tmAveCharWidth * 8);
        return stop - X % stop;
    }
    return MeasureText(*Font(), Utf8Encode(C)).cx;
}

std::vector<int> TCustomMemo::RowOffsets(const TRow& Row) {
    const std::u32string& s = FBuffer.Chars();
    std::vector<int> xs(size_t(Row.End - Row.Start) + 1, 0);
    int x = 0;
    for (int i = Row.Start; i < Row.End; ++i) {
        x += CharWidth(s[size_t(i)], x);
        xs[size_t(i - Row.Start) + 1] = x;
    }
    return xs;
}

void TCustomMemo::EnsureRows() {
    if (FRowsValid) return;
    FRows.clear();
    const std::u32string& s = FBuffer.Chars();
    int width = EditRect().Width();
    bool wrap = Wrapping() && width > 0;
    int lines = PhysicalLineCount();
    for (int l = 0; l < lines; ++l) {
        int ls = LineStart(l), le = ls + LineLength(l);
        if (!wrap) {
            FRows.push_back({ls, le});
            continue;
        }
        // Greedy: break after the last blank that fits; blanks may hang over the edge, and a
        // word wider than the box breaks between characters.
        int rowStart = ls, x = 0, lastBreak = -1;
        for (int i = ls; i < le; ++i) {
            char32_t c = s[size_t(i)];
            int w = CharWidth(c, x);
            if (!IsBlankChar(c) && x + w > width && i > rowStart) {
                if (lastBreak > rowStart) {
                    FRows.push_back({rowStart, lastBreak});
                    rowStart = lastBreak;
                } else {
                    FRows.push_back({rowStart, i});
                    rowStart = i;
                }
                x = 0;
                for (int j = rowStart; j < i; ++j) x += CharWidth(s[size_t(j)], x);
                lastBreak = -1;
                w = CharWidth(c, x);
            }
            x += w;
            if (IsBlankChar(c)) lastBreak = i + 1;
        }
        FRows.push_back({rowStart, le});
    }
    FRowsValid = true;
}

int TCustomMemo::RowCount() {
    EnsureRows();
    return int(FRows.size());
}

int TCustomMemo::VisibleRows() {
    return std::max(1, EditRect().Height() / LineHeight());
}

int TCustomMemo::RowOf(int Pos) {
    EnsureRows();
    auto it = std::upper_bound(FRows.begin(), FRows.end(), Pos,
                               [](int p, const TRow& r) { return p < r.Start; });
    return std::max(0, int(it - FRows.begin()) - 1);
}

int TCustomMemo::RowOriginX(int Row) {
    TRect r = EditRect();
    if (Alignment() == taLeftJustify) return r.Left - FScrollX;
    int w = RowOffsets(FRows[size_t(Row)]).back();
    if (w >= r.Width()) return r.Left - FScrollX;
    return Alignment() == taRightJustify ? r.Right - 1 - w : r.Left + (r.Width() - w) / 2;
}

TPoint TCustomMemo::PointOfPosition(int Pos) {
    EnsureRows();
    Pos = std::clamp(Pos, 0, FBuffer.Length());
    int k = RowOf(Pos);
    const TRow& row = FRows[size_t(k)];
    std::vector<int> xs = RowOffsets(row);
    int col = std::clamp(Pos - row.Start, 0, row.End - row.Start);
    TRect r = EditRect();
    return TPoint{RowOriginX(k) + xs[size_t(col)], r.Top + (k - FTopRow) * LineHeight()};
}

int TCustomMemo::PosInRow(int Row, int X) {
    const TRow& row = FRows[size_t(Row)];
    std::vector<int> xs = RowOffsets(row);
    int x0 = RowOriginX(Row);
    for (int i = 0; i < row.End - row.Start; ++i)
        if (X < x0 + (xs[size_t(i)] + xs[size_t(i) + 1] + 1) / 2) return row.Start + i;
    // Past the end of a row that wraps on: before its hanging blank, so that the caret stays
    // on this row.
    int end = row.End;
    if (Row + 1 < int(FRows.size()) && FRows[size_t(Row) + 1].Start == end && end > row.Start &&
        IsBlankChar(FBuffer.Chars()[size_t(end) - 1]))
        --end;
    return end;
}

int TCustomMemo::PositionAtPoint(int X, int Y) {
    EnsureRows();
    TRect r = EditRect();
    int lh = LineHeight();
    int dy = Y - r.Top;
    int k = FTopRow + (dy >= 0 ? dy / lh : -((-dy + lh - 1) / lh));
    k = std::clamp(k, 0, int(FRows.size()) - 1);
    return PosInRow(k, X);
}

void TCustomMemo::SetTopRow(int Value) {
    EnsureRows();
    int maxTop = std::max(0, int(FRows.size()) - VisibleRows());
    Value = std::clamp(Value, 0, maxTop);
    if (Value != FTopRow) {
        FTopRow = Value;
        Invalidate();
    }
    PlaceScrollBars();
}

void TCustomMemo::ScrollCaretIntoView() {
    EnsureRows();
    TRect r = EditRect();
    int k = RowOf(FBuffer.Caret());
    int vis = VisibleRows();
    int top = FTopRow;
    if (k < top) top = k;
    if (k >= top + vis) top = k - vis + 1;
    top = std::clamp(top, 0, std::max(0, int(FRows.size()) - vis));
    if (top != FTopRow) {
        FTopRow = top;
        Invalidate();
    }
    if (Wrapping()) {
        FScrollX = 0;
    } else {
        const TRow& row = FRows[size_t(k)];
        std::vector<int> xs = RowOffsets(row);
        int cx = xs[size_t(FBuffer.Caret() - row.Start)];
        int widest = 0;
        for (const TRow& rr : FRows) widest = std::max(widest, RowOffsets(rr).back());
        if (widest < r.Width()) {
            FScrollX = 0;
        } else {
            if (cx - FScrollX < 0) FScrollX = cx;
            if (cx - FScrollX > r.Width() - 1) FScrollX = cx - r.Width() + 1;
            FScrollX = std::clamp(FScrollX, 0, std::max(0, widest - r.Width() + 1));
        }
    }
    PlaceScrollBars();
}

void TCustomMemo::PlaceScrollBars() {
    TRect inner = InnerRect();
    bool v = FScrollBars == ssVertical || FScrollBars == ssBoth;
    bool h = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    auto onInvalidateV = std::move(FVScroll.OnInvalidate);
    auto onInvalidateH = std::move(FHScroll.OnInvalidate);
    FVScroll.OnInvalidate = nullptr;
    FHScroll.OnInvalidate = nullptr;
    FVScroll.SetBounds(v ? Rect(inner.Right - ScrollBarSize, inner.Top, inner.Right,
                                inner.Bottom - (h ? ScrollBarSize : 0))
                         : TRect{});
    FHScroll.SetBounds(h ? Rect(inner.Left, inner.Bottom - ScrollBarSize,
                                inner.Right - (v ? ScrollBarSize : 0), inner.Bottom)
                         : TRect{});
    if (v) {
        EnsureRows();
        FVScroll.SetRange(0, std::max(0, int(FRows.size()) - 1), VisibleRows());
        FVScroll.SetPosition(FTopRow);
    }
    if (h) {
        EnsureRows();
        int widest = 0;
        for (const TRow& rr : FRows) widest = std::max(widest, RowOffsets(rr).back());
        int page = std::max(1, EditRect().Width());
        FHScroll.SetRange(0, std::max(widest, page - 1), page);
        FHScroll.SetPosition(FScrollX);
    }
    FVScroll.OnInvalidate = std::move(onInvalidateV);
    FHScroll.OnInvalidate = std::move(onInvalidateH);
}

void TCustomMemo::Scrolled(TScrollBarKind Kind, TScrollCode Code, int Pos) {
    if (Kind == sbVertical) {
        int vis = VisibleRows();
        switch (Code) {
            case scLineUp:
                SetTopRow(FTopRow - 1);
                break;
            case scLineDown:
                SetTopRow(FTopRow + 1);
                break;
            case scPageUp:
                SetTopRow(FTopRow - vis);
                break;
            case scPageDown:
                SetTopRow(FTopRow + vis);
                break;
            case scTrack:
            case scPosition:
                SetTopRow(Pos);
                break;
            case scTop:
                SetTopRow(0);
                break;
            case scBottom:
                SetTopRow(RowCount());
                break;
            case scEndScroll:
                break;
        }
        return;
    }
    int line = std::max(1, GetTextMetrics(*Font()).tmAveCharWidth);
    int page = std::max(1, EditRect().Width());
    int x = FScrollX;
    switch (Code) {
        case scLineUp:
            x -= line;
            break;
        case scLineDown:
            x += line;
            break;
        case scPageUp:
            x -= page;
            break;
        case scPageDown:
            x += page;
            break;
        case scTrack:
        case scPosition:
            x = Pos;
            break;
        case scTop:
            x = 0;
            break;
        case scBottom:
            x = FHScroll.MaxPosition();
            break;
        case scEndScroll:
            return;
    }
    x = std::clamp(x, 0, std::max(0, FHScroll.MaxPosition()));
    if (x != FScrollX) {
        FScrollX = x;
        Invalidate();
    }
    FHScroll.SetPosition(FScrollX);
}

void TCustomMemo::MoveToRow(int Row, bool Extend) {
    EnsureRows();
    if (FDesiredX < 0) FDesiredX = PointOfPosition(FBuffer.Caret()).X + FScrollX;
    Row = std::clamp(Row, 0, int(FRows.size()) - 1);
    int pos = PosInRow(Row, FDesiredX - FScrollX);
    int keep = FDesiredX;
    FBuffer.MoveCaret(pos, Extend);
    SelectionChanged();
    FDesiredX = keep;
}

bool TCustomMemo::EditKeyDown(WORD Key, TShiftState Shift) {
    bool shift = Shift.contains(ssShift), ctrl = Shift.contains(ssCtrl);
    EnsureRows();
    int k = RowOf(FBuffer.Caret());
    switch (Key) {
        case VK_UP:
            MoveToRow(k - 1, shift);
            return true;
        case VK_DOWN:
            MoveToRow(k + 1, shift);
            return true;
        case VK_PRIOR:
            SetTopRow(FTopRow - VisibleRows());
            MoveToRow(k - VisibleRows(), shift);
            return true;
        case VK_NEXT:
            SetTopRow(FTopRow + VisibleRows());
            MoveToRow(k + VisibleRows(), shift);
            return true;
        case VK_HOME:
            FDesiredX = -1;
            if (ctrl) return TCustomEdit::EditKeyDown(Key, Shift);
            FBuffer.MoveCaret(FRows[size_t(k)].Start, shift);
            SelectionChanged();
            return true;
        case VK_END:
            FDesiredX = -1;
            if (ctrl) return TCustomEdit::EditKeyDown(Key, Shift);
            FBuffer.MoveCaret(PosInRow(k, INT_MAX / 2), shift);
            SelectionChanged();
            return true;
        default:
            FDesiredX = -1;
            return TCustomEdit::EditKeyDown(Key, Shift);
    }
}

bool TCustomMemo::EditChar(char32_t Ch) {
    FDesiredX = -1;
    if (Ch == 13) {
        if (!FWantReturns) return false;
        UserReplace(U"\n");
        return true;
    }
    if (Ch == 9) {
        if (!FWantTabs) return false;
        UserReplace(U"\t");
        return true;
    }
    return TCustomEdit::EditChar(Ch);
}

std::u32string TCustomMemo::FilterInput(const std::u32string& S) const {
    std::u32string out = NormalizeBreaks(S);
    TEditCharCase cc = CharCase();
    if (cc != ecNormal)
        for (char32_t& c : out)
            if (c <= 0xFFFF)
                c = char32_t(cc == ecUpperCase ? std::towupper(wint_t(c))
                                               : std::towlower(wint_t(c)));
    return out;
}

void TCustomMemo::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FDesiredX = -1;
    if (Button == mbLeft &&
        (FVScroll.MouseDown(Button, Shift, X, Y) || FHScroll.MouseDown(Button, Shift, X, Y))) {
        TCustomControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    TCustomEdit::MouseDown(Button, Shift, X, Y);
}

void TCustomMemo::MouseMove(TShiftState Shift, int X, int Y) {
    if (FVScroll.MouseMove(Shift, X, Y) || FHScroll.MouseMove(Shift, X, Y)) {
        TCustomControl::MouseMove(Shift, X, Y);
        return;
    }
    TCustomEdit::MouseMove(Shift, X, Y);
}

void TCustomMemo::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FVScroll.MouseUp(Button, Shift, X, Y) || FHScroll.MouseUp(Button, Shift, X, Y)) {
        TCustomControl::MouseUp(Button, Shift, X, Y);
        return;
    }
    TCustomEdit::MouseUp(Button, Shift, X, Y);
}

bool TCustomMemo::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    if (TCustomEdit::DoMouseWheelDown(Shift, MousePos)) return true;
    SetTopRow(FTopRow + kWheelRows);
    return true;
}

bool TCustomMemo::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    if (TCustomEdit::DoMouseWheelUp(Shift, MousePos)) return true;
    SetTopRow(FTopRow - kWheelRows);
    return true;
}

void TCustomMemo::PaintRow(int Row, int Y, int LineH) {
    TCanvas* c = Canvas();
    const std::u32string& s = FBuffer.Chars();
    const TRow& row = FRows[size_t(Row)];
    std::vector<int> xs = RowOffsets(row);
    int x0 = RowOriginX(Row);
    TRect area = EditRect();
    // The row's text in pieces between tabs, each drawn where the layout puts it.
    auto drawPieces = [&](const TRect& clip) {
        int i = row.Start;
        while (i < row.End) {
            if (s[size_t(i)] == U'\t') {
                ++i;
                continue;
            }
            int j = i;
            while (j < row.End && s[size_t(j)] != U'\t') ++j;
            c->TextRect(clip, x0 + xs[size_t(i - row.Start)], Y,
                        Utf8Encode(s.substr(size_t(i), size_t(j - i))));
            i = j;
        }
    };
    c->Font()->Assign(Font());
    if (!Enabled()) c->Font()->SetColor(clGrayText);
    c->Brush()->SetStyle(bsClear);
    drawPieces(area);
    bool showSel = Enabled() && (Focused() || !HideSelection());
    int selStart = FBuffer.SelStart(), selEnd = FBuffer.SelEnd();
    int s0 = std::max(row.Start, selStart), s1 = std::min(row.End, selEnd);
    // A selected line break shows as a blank's width at the end of the row.
    bool breakSelected = selEnd > row.End && selStart <= row.End && row.End < int(s.size()) &&
                         s[size_t(row.End)] == U'\n';
    if (!showSel || (s0 >= s1 && !breakSelected)) return;
    int left = x0 + xs[size_t(std::clamp(s0, row.Start, row.End) - row.Start)];
    int right = s1 > s0 ? x0 + xs[size_t(s1 - row.Start)] : left;
    if (breakSelected) right = x0 + xs.back() + MeasureText(*Font(), " ").cx;
    TRect sel = IntersectRect(TRect{left, Y, right, Y + LineH}, area);
    if (sel.IsEmpty()) return;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clHighlight);
    c->FillRect(sel);
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetColor(clHighlightText);
    drawPieces(sel);
}

void TCustomMemo::Paint() {
    PaintFrame();
    EnsureRows();
    TRect r = EditRect();
    int lh = LineHeight();
    for (int k = FTopRow, y = r.Top; k < int(FRows.size()) && y < r.Bottom; ++k, y += lh)
        PaintRow(k, y, lh);
    TCanvas* c = Canvas();
    if (CaretShown()) {
        TPoint cp = PointOfPosition(FBuffer.Caret());
        if (cp.Y >= r.Top && cp.Y < r.Bottom && cp.X >= r.Left - 1 && cp.X <= r.Right) {
            c->Pen()->SetMode(pmNot);
            c->Pen()->SetWidth(1);
            c->Pen()->SetStyle(psSolid);
            c->MoveTo(cp.X, cp.Y);
            c->LineTo(cp.X, std::min(cp.Y + lh, r.Bottom));
            c->Pen()->SetMode(pmCopy);
        }
    }
    FVScroll.Paint(c);
    FHScroll.Paint(c);
    if (FScrollBars == ssBoth) {
        TRect inner = InnerRect();
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(clBtnFace);
        c->FillRect(Rect(inner.Right - ScrollBarSize, inner.Bottom - ScrollBarSize, inner.Right,
                         inner.Bottom));
    }
}

TMemo::TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}

}  // namespace kovo
