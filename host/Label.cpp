#include "host/Label.h"

#include "host/Canvas.h"

namespace kovo {

std::string StripAccelChars(const std::string& S) {
    std::string out;
    out.reserve(S.size());
    for (size_t i = 0; i < S.size(); ++i) {
        if (S[i] != '&') {
            out += S[i];
        } else if (i + 1 < S.size() && S[i + 1] == '&') {
            out += '&';
            ++i;
        }
    }
    return out;
}

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetColor(clBtnFace);
    SetParentColor(true);
    SetBounds(0, 0, 65, 17);
}

TCustomLabel::~TCustomLabel() {
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
}

void TCustomLabel::SetAutoSize(bool Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
    if (FLayout == Value) return;
    FLayout = Value;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
    if (FShowAccelChar == Value) return;
    FShowAccelChar = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
    if (FFocusControl == Value) return;
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (FFocusControl) FFocusControl->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

std::string TCustomLabel::GetLabelText() const {
    return Caption();
}

uint32_t TCustomLabel::DrawTextFlags() const {
    uint32_t flags = FAlignment == taRightJustify ? DT_RIGHT
                     : FAlignment == taCenter     ? DT_CENTER
                                                  : DT_LEFT;
    if (FWordWrap) flags |= DT_WORDBREAK;
    if (!FShowAccelChar) flags |= DT_NOPREFIX;
    return flags;
}

void TCustomLabel::DoDrawText(TRect& Rect, uint32_t Flags) {
    std::string text = GetLabelText();
    // The canvas draws ampersands as they are, so the label takes its marks out itself.
    if (!(Flags & DT_NOPREFIX)) text = StripAccelChars(text);
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    if (Flags & DT_CALCRECT) {
        // An empty caption still has the height of a line.
        if (text.empty()) text.push_back(' ');
        DrawText(c, text, Rect, Flags);
        return;
    }
    if (!Enabled()) {
        TRect r = OffsetRect(Rect, 1, 1);
        c->Font()->SetColor(clBtnHighlight);
        DrawText(c, text, r, Flags);
        c->Font()->SetColor(clBtnShadow);
        DrawText(c, text, Rect, Flags);
    } else {
        DrawText(c, text, Rect, Flags);
    }
}

void TCustomLabel::Paint() {
    TCanvas* c = Canvas();
    if (!FTransparent) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Color());
        c->FillRect(ClientRect());
    }
    c->Brush()->SetStyle(bsClear);
    TRect r = ClientRect();
    uint32_t flags = DrawTextFlags();
    if (FLayout != tlTop) {
        TRect calc = r;
        DoDrawText(calc, flags | DT_CALCRECT);
        int room = r.Height() - calc.Height();
        r.Top += FLayout == tlBottom ? room : room / 2;
    }
    DoDrawText(r, flags);
}

void TCustomLabel::AdjustBounds() {
    if (!FAutoSize || ComponentState().contains(csLoading)) return;
    TRect r = ClientRect();
    DoDrawText(r, DrawTextFlags() | DT_CALCRECT);
    int x = Left();
    if (FAlignment == taRightJustify) x += Width() - r.Width();
    SetBounds(x, Top(), r.Width(), r.Height());
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::Click() {
    TGraphicControl::Click();
    if (FFocusControl && FFocusControl->CanFocus()) FFocusControl->SetFocus();
}

void TCustomLabel::CMTextChanged(TMessage& Message) {
    TGraphicControl::CMTextChanged(Message);
    AdjustBounds();
}

void TCustomLabel::CMFontChanged(TMessage& Message) {
    TGraphicControl::CMFontChanged(Message);
    AdjustBounds();
}

TLabel::TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}

}  // namespace kovo
