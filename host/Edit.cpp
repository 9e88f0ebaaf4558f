#include "host/Edit.h"

#include <algorithm>
#include <cwctype>

#include "host/Application.h"
#include "host/Clipboard.h"
#include "host/SysUtils.h"
#include "host/TextRender.h"

namespace kovo {

namespace {

constexpr uintptr_t kCaretTimerId = 1;

char32_t ToCase(char32_t C, TEditCharCase Case) {
    if (Case == ecNormal || C > 0xFFFF) return C;
    return char32_t(Case == ecUpperCase ? std::towupper(wint_t(C)) : std::towlower(wint_t(C)));
}

}  // namespace

void DrawSunkenFrame(TCanvas* Canvas, const TRect& R) {
    if (R.Width() < 2 || R.Height() < 2) return;
    auto line = [&](TColor c, int x1, int y1, int x2, int y2) {
        Canvas->Pen()->SetColor(c);
        Canvas->MoveTo(x1, y1);
        Canvas->LineTo(x2, y2);
    };
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetMode(pmCopy);
    int l = R.Left, t = R.Top, r = R.Right - 1, b = R.Bottom - 1;
    line(clBtnShadow, l, b - 1, l, t);
    line(clBtnShadow, l, t, r, t);
    line(clBtnHighlight, r, t, r, b);
    line(clBtnHighlight, r, b, l - 1, b);
    line(cl3DDkShadow, l + 1, b - 2, l + 1, t + 1);
    line(cl3DDkShadow, l + 1, t + 1, r - 1, t + 1);
    line(cl3DLight, r - 1, t + 1, r - 1, b - 1);
    line(cl3DLight, r - 1, b - 1, l, b - 1);
}

TCustomEdit::TCustomEdit(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(true);
    SetCursor(crIBeam);
    FControlStyle.Include(csOpaque);  // Paint covers the whole box
    FCaretWnd = AllocateHWnd([this](TMessage& m) { CaretTimer(m); });
    SetBounds(0, 0, 121, 21);
    AdjustHeight();
}

TCustomEdit::~TCustomEdit() {
    DeallocateHWnd(FCaretWnd);
}

std::string TCustomEdit::GetText() const {
    return FBuffer.Text();
}

void TCustomEdit::SetText(const std::string& Value) {
    if (!FBuffer.SetText(Utf8Decode(Value))) return;
    FBuffer.ClearUndo();
    FModified = false;
    TextChanged(false);
}

void TCustomEdit::SetMaxLength(int Value) {
    FMaxLength = std::max(0, Value);
}

void TCustomEdit::SetReadOnly(bool Value) {
    if (FReadOnly == Value) return;
    FReadOnly = Value;
    Invalidate();
}

void TCustomEdit::SetSelStart(int Value) {
    FBuffer.Select(Value, Value);
    SelectionChanged();
}

void TCustomEdit::SetSelLength(int Value) {
    int start = FBuffer.SelStart();
    FBuffer.Select(start, start + Value);
    SelectionChanged();
}

std::string TCustomEdit::SelText() const {
    return Utf8Encode(FBuffer.SelChars());
}

void TCustomEdit::SetSelText(const std::string& Value) {
    if (FBuffer.ReplaceSelection(Utf8Decode(Value)))
        TextChanged(false);
    else
        SelectionChanged();
}

void TCustomEdit::SelectAll() {
    FBuffer.Select(0, FBuffer.Length());
    SelectionChanged();
}

void TCustomEdit::ClearSelection() {
    if (FBuffer.HasSelection()) UserReplace({});
}

void TCustomEdit::Clear() {
    SetText("");
}

void TCustomEdit::CopyToClipboard() {
    if (FPasswordChar || !FBuffer.HasSelection()) return;
    Clipboard()->SetAsText(SelText());
}

void TCustomEdit::CutToClipboard() {
    if (FPasswordChar || !FBuffer.HasSelection() || FReadOnly) return;
    CopyToClipboard();
    UserReplace({});
}

void TCustomEdit::PasteFromClipboard() {
    if (FReadOnly || !Clipboard()->HasFormat(CF_TEXT)) return;
    UserReplace(Utf8Decode(Clipboard()->AsText()));
}

void TCustomEdit::Undo() {
    if (FReadOnly) return;
    if (FBuffer.Undo()) TextChanged(true);
}

void TCustomEdit::SetAutoSize(bool Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    AdjustHeight();
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
    if (Value != bsNone) Value = bsSingle;
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    AdjustHeight();
    LayoutChanged();
    ScrollCaretIntoView();
    Invalidate();
}

void TCustomEdit::SetCtl3D(bool Value) {
    if (FCtl3D == Value) return;
    FCtl3D = Value;
    AdjustHeight();
    LayoutChanged();
    ScrollCaretIntoView();
    Invalidate();
}

void TCustomEdit::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    LayoutChanged();
    ScrollCaretIntoView();
    Invalidate();
}

void TCustomEdit::SetPasswordChar(char32_t Value) {
    if (FPasswordChar == Value) return;
    FPasswordChar = Value;
    LayoutChanged();
    ScrollCaretIntoView();
    Invalidate();
}

void TCustomEdit::SetHideSelection(bool Value) {
    if (FHideSelection == Value) return;
    FHideSelection = Value;
    Invalidate();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
    if (FCharCase == Value) return;
    FCharCase = Value;
    if (Value == ecNormal) return;
    std::u32string s = FBuffer.Chars();
    for (char32_t& c : s) c = ToCase(c, Value);
    int anchor = FBuffer.Anchor(), caret = FBuffer.Caret();
    if (FBuffer.SetText(s)) {
        FBuffer.Select(anchor, caret);
        TextChanged(false);
    }
}

void TCustomEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    LayoutChanged();
    ScrollCaretIntoView();
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

int TCustomEdit::BorderWidth() const {
    if (FBorderStyle == bsNone) return 0;
    return FCtl3D ? 2 : 1;
}

TRect TCustomEdit::InnerRect() const {
    int b = BorderWidth();
    TRect r = InflateRect(ClientRect(), -b, -b);
    if (r.Right < r.Left) r.Right = r.Left;
    if (r.Bottom < r.Top) r.Bottom = r.Top;
    return r;
}

TRect TCustomEdit::EditRect() const {
    TRect r = InflateRect(InnerRect(), -1, 0);
    if (r.Right < r.Left) r.Right = r.Left;
    return r;
}

int TCustomEdit::LineHeight() {
    return std::max(1, GetTextMetrics(*Font()).tmHeight);
}

int TCustomEdit::TextWidthOf(const std::u32string& S) {
    if (S.empty()) return 0;
    return MeasureText(*Font(), Utf8Encode(S)).cx;
}

std::u32string TCustomEdit::DisplayChars() const {
    if (FPasswordChar) return std::u32string(FBuffer.Chars().size(), FPasswordChar);
    return FBuffer.Chars();
}

void TCustomEdit::AdjustHeight() {
    if (!FAutoSize) return;
    int extra = FBorderStyle == bsNone ? 2 : FCtl3D ? 8 : 6;
    SetHeight(LineHeight() + extra);
}

// The single-line layout: where the text starts, given its width.
namespace {
int LineOriginX(const TRect& r, int textWidth, TAlignment a, int scrollX) {
    if (textWidth < r.Width() && a != taLeftJustify)
        return a == taRightJustify ? r.Right - 1 - textWidth : r.Left + (r.Width() - textWidth) / 2;
    return r.Left - scrollX;
}
}  // namespace

TPoint TCustomEdit::PointOfPosition(int Pos) {
    std::u32string s = DisplayChars();
    Pos = std::clamp(Pos, 0, int(s.size()));
    TRect r = EditRect();
    int lineH = LineHeight();
    int y = r.Top + std::max(0, (r.Height() - lineH) / 2);
    int x0 = LineOriginX(r, TextWidthOf(s), FAlignment, FScrollX);
    return TPoint{x0 + TextWidthOf(s.substr(0, size_t(Pos))), y};
}

int TCustomEdit::PositionAtPoint(int X, int Y) {
    (void)Y;
    std::u32string s = DisplayChars();
    TRect r = EditRect();
    int x = LineOriginX(r, TextWidthOf(s), FAlignment, FScrollX);
    for (size_t i = 0; i < s.size(); ++i) {
        int w = TextWidthOf(s.substr(i, 1));
        if (X < x + (w + 1) / 2) return int(i);
        x += w;
    }
    return int(s.size());
}

void TCustomEdit::ScrollCaretIntoView() {
    std::u32string s = DisplayChars();
    TRect r = EditRect();
    int total = TextWidthOf(s);
    if (total < r.Width() || r.Width() <= 0) {
        FScrollX = 0;
        return;
    }
    int cx = TextWidthOf(s.substr(0, size_t(FBuffer.Caret())));
    if (cx - FScrollX < 0) FScrollX = cx;
    if (cx - FScrollX > r.Width() - 1) FScrollX = cx - r.Width() + 1;
    // No empty room right of the text once it is wider than the box.
    FScrollX = std::clamp(FScrollX, 0, std::max(0, total - r.Width() + 1));
}

void TCustomEdit::RestartCaret() {
    FCaretOn = true;
    if (Focused() && FCaretWnd) SetTimer(FCaretWnd, kCaretTimerId, CaretBlinkTime);
    Invalidate();
}

void TCustomEdit::StopCaret() {
    if (FCaretWnd) KillTimer(FCaretWnd, kCaretTimerId);
    FCaretOn = false;
    Invalidate();
}

void TCustomEdit::CaretTimer(TMessage& Message) {
    if (Message.Msg != WM_TIMER) return;
    if (!Focused()) {
        StopCaret();
        return;
    }
    FCaretOn = !FCaretOn;
    Invalidate();
}

void TCustomEdit::SelectionChanged() {
    ScrollCaretIntoView();
    RestartCaret();
}

void TCustomEdit::TextChanged(bool ByUser) {
    if (ByUser) FModified = true;
    LayoutChanged();
    ScrollCaretIntoView();
    RestartCaret();
    Perform(CM_TEXTCHANGED);
    Change();
}

std::u32string TCustomEdit::FilterInput(const std::u32string& S) const {
    std::u32string out = S.substr(0, S.find_first_of(U"\r\n"));
    for (char32_t& c : out) c = ToCase(c, FCharCase);
    return out;
}

bool TCustomEdit::UserReplace(const std::u32string& S) {
    if (FReadOnly) return false;
    if (FBuffer.ReplaceSelection(FilterInput(S), FMaxLength)) {
        TextChanged(true);
        return true;
    }
    SelectionChanged();
    return false;
}

bool TCustomEdit::EditKeyDown(WORD Key, TShiftState Shift) {
    bool shift = Shift.contains(ssShift), ctrl = Shift.contains(ssCtrl);
    int caret = FBuffer.Caret();
    switch (Key) {
        case VK_LEFT:
            if (FBuffer.HasSelection() && !shift)
                FBuffer.MoveCaret(FBuffer.SelStart(), false);
            else
                FBuffer.MoveCaret(ctrl ? FBuffer.PrevWordStart(caret) : caret - 1, shift);
            break;
        case VK_RIGHT:
            if (FBuffer.HasSelection() && !shift)
                FBuffer.MoveCaret(FBuffer.SelEnd(), false);
            else
                FBuffer.MoveCaret(ctrl ? FBuffer.NextWordStart(caret) : caret + 1, shift);
            break;
        case VK_HOME:
            FBuffer.MoveCaret(0, shift);
            break;
        case VK_END:
            FBuffer.MoveCaret(FBuffer.Length(), shift);
            break;
        case VK_DELETE:
            if (shift) {
                CutToClipboard();
            } else if (!FReadOnly) {
                if (ctrl && !FBuffer.HasSelection())
                    FBuffer.Select(caret, FBuffer.NextWordStart(caret));
                if (FBuffer.DeleteForward()) TextChanged(true);
            }
            return true;
        case VK_INSERT:
            if (ctrl)
                CopyToClipboard();
            else if (shift)
                PasteFromClipboard();
            else
                return false;
            return true;
        default:
            return false;
    }
    SelectionChanged();
    return true;
}

bool TCustomEdit::EditChar(char32_t Ch) {
    switch (Ch) {
        case 1:  // Ctrl+A
            SelectAll();
            return true;
        case 3:  // Ctrl+C
            CopyToClipboard();
            return true;
        case 22:  // Ctrl+V
            PasteFromClipboard();
            return true;
        case 24:  // Ctrl+X
            CutToClipboard();
            return true;
        case 26:  // Ctrl+Z
            Undo();
            return true;
        case 8:  // Backspace
            if (!FReadOnly && FBuffer.DeleteBackward()) TextChanged(true);
            return true;
        default:
            break;
    }
    if (Ch < 32 || Ch == 127) return false;
    UserReplace(std::u32string(1, Ch));
    return true;
}

void TCustomEdit::WMKeyDown(TMessage& Message) {
    TCustomControl::WMKeyDown(Message);
    WORD key = WORD(Message.WParam);
    if (key != 0) EditKeyDown(key, KeysToShiftState(WPARAM(Message.LParam)));
}

void TCustomEdit::WMChar(TMessage& Message) {
    TCustomControl::WMChar(Message);
    char32_t ch = char32_t(Message.WParam);
    if (ch != 0) EditChar(ch);
}

void TCustomEdit::WMSetFocus(TMessage& Message) {
    TCustomControl::WMSetFocus(Message);
    // Focus by a click keeps the caret where the click puts it.
    if (FAutoSelect && !FControlState.contains(csLButtonDown) && Focused()) SelectAll();
    RestartCaret();
}

void TCustomEdit::WMKillFocus(TMessage& Message) {
    FSelecting = false;
    StopCaret();
    TCustomControl::WMKillFocus(Message);
}

void TCustomEdit::CMEnabledChanged(TMessage& Message) {
    TCustomControl::CMEnabledChanged(Message);
    if (!Enabled()) StopCaret();
}

void TCustomEdit::CMFontChanged(TMessage& Message) {
    TCustomControl::CMFontChanged(Message);
    AdjustHeight();
    LayoutChanged();
    ScrollCaretIntoView();
}

void TCustomEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        if (!Focused() && CanFocus()) SetFocus();
        int pos = PositionAtPoint(X, Y);
        if (Shift.contains(ssDouble)) {
            FBuffer.WordAt(pos, FWordAnchorStart, FWordAnchorEnd);
            FBuffer.Select(FWordAnchorStart, FWordAnchorEnd);
            FWordSelect = true;
        } else {
            FBuffer.MoveCaret(pos, Shift.contains(ssShift));
            FWordSelect = false;
        }
        FSelecting = true;
        SelectionChanged();
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomEdit::MouseMove(TShiftState Shift, int X, int Y) {
    if (FSelecting) {
        int pos = PositionAtPoint(X, Y);
        if (FWordSelect) {
            int s, e;
            FBuffer.WordAt(pos, s, e);
            if (pos < FWordAnchorStart)
                FBuffer.Select(FWordAnchorEnd, s);
            else
                FBuffer.Select(FWordAnchorStart, std::max(e, FWordAnchorEnd));
        } else {
            FBuffer.MoveCaret(pos, true);
        }
        SelectionChanged();
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) FSelecting = false;
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomEdit::PaintFrame() {
    TCanvas* c = Canvas();
    TColor bg = Color();
    if (!Enabled() && bg == clWindow) bg = clBtnFace;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(bg);
    c->FillRect(ClientRect());
    if (FBorderStyle == bsNone) return;
    if (FCtl3D) {
        DrawSunkenFrame(c, ClientRect());
    } else {
        c->Brush()->SetColor(clWindowFrame);
        c->FrameRect(ClientRect());
    }
}

void TCustomEdit::PaintTextRun(int X, int Y, int From, int To, int LineH) {
    TCanvas* c = Canvas();
    std::u32string masked;
    if (FPasswordChar) masked = DisplayChars();
    const std::u32string& s = FPasswordChar ? masked : FBuffer.Chars();
    From = std::clamp(From, 0, int(s.size()));
    To = std::clamp(To, From, int(s.size()));
    TRect area = EditRect();
    std::string text = Utf8Encode(s.substr(size_t(From), size_t(To - From)));
    c->Font()->Assign(Font());
    if (!Enabled()) c->Font()->SetColor(clGrayText);
    c->Brush()->SetStyle(bsClear);
    c->TextRect(area, X, Y, text);
    bool showSel = Enabled() && (Focused() || !FHideSelection);
    int s0 = std::max(From, FBuffer.SelStart()), s1 = std::min(To, FBuffer.SelEnd());
    if (!showSel || s0 >= s1) return;
    int x0 = X + TextWidthOf(s.substr(size_t(From), size_t(s0 - From)));
    int x1 = x0 + TextWidthOf(s.substr(size_t(s0), size_t(s1 - s0)));
    TRect sel = IntersectRect(TRect{x0, Y, x1, Y + LineH}, area);
    if (sel.IsEmpty()) return;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clHighlight);
    c->Font()->SetColor(clHighlightText);
    c->TextRect(sel, X, Y, text);
}

void TCustomEdit::Paint() {
    PaintFrame();
    TRect r = EditRect();
    int lineH = LineHeight();
    TPoint p = PointOfPosition(0);
    PaintTextRun(p.X, p.Y, 0, FBuffer.Length(), lineH);
    if (CaretShown()) {
        TPoint cp = PointOfPosition(FBuffer.Caret());
        TCanvas* c = Canvas();
        if (cp.X >= r.Left - 1 && cp.X < r.Right + 1) {
            c->Pen()->SetMode(pmNot);
            c->Pen()->SetWidth(1);
            c->Pen()->SetStyle(psSolid);
            c->MoveTo(cp.X, cp.Y);
            c->LineTo(cp.X, std::min(cp.Y + lineH, InnerRect().Bottom));
            c->Pen()->SetMode(pmCopy);
        }
    }
}

TEdit::TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

}  // namespace kovo
