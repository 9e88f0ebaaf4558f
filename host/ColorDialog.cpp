#include "host/ColorDialog.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "host/Edit.h"
#include "host/Label.h"
#include "host/SpeedButton.h"
#include "host/SysUtils.h"

namespace kovo {

namespace {

constexpr int kMargin = 10;

void SunkenFrame(TCanvas* C, const TRect& R) {
    auto line = [C](int x0, int y0, int x1, int y1, TColor c) {
        C->Pen()->SetColor(c);
        C->MoveTo(x0, y0);
        C->LineTo(x1, y1);
    };
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetMode(pmCopy);
    int l = R.Left, t = R.Top, r = R.Right - 1, b = R.Bottom - 1;
    line(l, b, l, t, clBtnShadow);
    line(l, t, r, t, clBtnShadow);
    line(l, b, r, b, clBtnHighlight);
    line(r, t, r, b + 1, clBtnHighlight);
}

// The chosen colour in a sunken box.
class TColorPreview : public TCustomControl {
  public:
    explicit TColorPreview(TComponent* AOwner) : TCustomControl(AOwner) {
        FControlStyle.Include(csOpaque);
    }
    void SetShown(TColor Value) {
        if (FShown == Value) return;
        FShown = Value;
        Invalidate();
    }

  protected:
    void Paint() override {
        TCanvas* C = Canvas();
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(FShown);
        C->FillRect(TRect{1, 1, Width() - 1, Height() - 1});
        SunkenFrame(C, TRect{0, 0, Width(), Height()});
    }

  private:
    TColor FShown = clBlack;
};

uint8_t Mix(int Channel, int Toward, double Amount) {
    return uint8_t(std::lround(Channel + (Toward - Channel) * Amount));
}

}  // namespace

const std::array<TColor, 48>& BasicColors() {
    static const std::array<TColor, 48> colors = [] {
        const uint8_t hues[8][3] = {{255, 0, 0},   {255, 128, 0}, {255, 255, 0}, {0, 255, 0},
                                    {0, 255, 255}, {0, 0, 255},   {128, 0, 255}, {255, 0, 255}};
        // Toward white, the hue itself, toward black.
        const double white[5] = {0.6, 0.3, 0, 0, 0};
        const double black[5] = {0, 0, 0, 0.25, 0.5};
        std::array<TColor, 48> c{};
        for (int row = 0; row < 5; ++row) {
            for (int col = 0; col < 8; ++col) {
                uint8_t rgb[3];
                for (int k = 0; k < 3; ++k) {
                    int v = Mix(hues[col][k], 255, white[row]);
                    rgb[k] = Mix(v, 0, black[row]);
                }
                c[size_t(row * 8 + col)] = RGB(rgb[0], rgb[1], rgb[2]);
            }
        }
        for (int col = 0; col < 8; ++col) {
            auto g = uint8_t(std::lround(255.0 * col / 7));
            c[size_t(40 + col)] = RGB(g, g, g);
        }
        return c;
    }();
    return colors;
}

// ---------------------------------------------------------------------------------------
// TColorSwatchGrid

TColorSwatchGrid::TColorSwatchGrid(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle.Include(csOpaque);
    SetTabStop(true);
    SetColor(clBtnFace);
    SetBounds(0, 0, Columns * CellWidth, Rows * CellHeight);
}

TColor TColorSwatchGrid::Colors(int Index) const {
    if (Index < 0 || Index >= ColorCount()) return clNone;
    return BasicColors()[size_t(Index)];
}

void TColorSwatchGrid::SetSelectedIndex(int Value) {
    if (Value < -1 || Value >= ColorCount()) Value = -1;
    if (FSelectedIndex == Value) return;
    InvalidateRect(InflateRect(SwatchRect(FSelectedIndex), 3, 3));
    FSelectedIndex = Value;
    InvalidateRect(InflateRect(SwatchRect(FSelectedIndex), 3, 3));
}

TRect TColorSwatchGrid::SwatchRect(int Index) const {
    if (Index < 0 || Index >= ColorCount()) return {};
    int col = Index % Columns, row = Index / Columns;
    return TRect{col * CellWidth + 3, row * CellHeight + 3, (col + 1) * CellWidth - 3,
                 (row + 1) * CellHeight - 3};
}

int TColorSwatchGrid::SwatchAt(int X, int Y) const {
    if (X < 0 || Y < 0) return -1;
    int col = X / CellWidth, row = Y / CellHeight;
    if (col >= Columns || row >= Rows) return -1;
    return row * Columns + col;
}

void TColorSwatchGrid::UserSelect(int Index) {
    if (Index < 0 || Index >= ColorCount()) return;
    bool changed = Index != FSelectedIndex;
    SetSelectedIndex(Index);
    if (changed && OnChange) OnChange(this);
}

void TColorSwatchGrid::Paint() {
    TCanvas* C = Canvas();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color());
    C->FillRect(TRect{0, 0, Width(), Height()});
    for (int i = 0; i < ColorCount(); ++i) {
        TRect r = SwatchRect(i);
        C->Brush()->SetColor(Colors(i));
        C->FillRect(TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1});
        SunkenFrame(C, r);
    }
    if (FSelectedIndex >= 0) {
        // The selected swatch: a black frame round it, and a dotted one inside the cell
        // while the grid has the focus.
        TRect r = InflateRect(SwatchRect(FSelectedIndex), 1, 1);
        C->Brush()->SetColor(clWindowText);
        C->FrameRect(r);
        C->FrameRect(InflateRect(r, -1, -1));
        if (Focused()) {
            C->Pen()->SetStyle(psAlternate);
            C->Pen()->SetColor(clWindowText);
            C->Brush()->SetStyle(bsClear);
            C->Rectangle(InflateRect(r, 2, 2));
            C->Pen()->SetStyle(psSolid);
            C->Brush()->SetStyle(bsSolid);
        }
    }
}

void TColorSwatchGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (CanFocus() && !Focused()) SetFocus();
    if (Button == mbLeft) UserSelect(SwatchAt(X, Y));
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TColorSwatchGrid::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    int i = FSelectedIndex < 0 ? 0 : FSelectedIndex;
    int col = i % Columns, row = i / Columns;
    switch (Key) {
        case VK_LEFT:
            col = (col + Columns - 1) % Columns;
            break;
        case VK_RIGHT:
            col = (col + 1) % Columns;
            break;
        case VK_UP:
            row = (row + Rows - 1) % Rows;
            break;
        case VK_DOWN:
            row = (row + 1) % Rows;
            break;
        case VK_HOME:
            col = 0;
            break;
        case VK_END:
            col = Columns - 1;
            break;
        default:
            return;
    }
    Key = 0;
    // Without a selection the first key picks the first swatch.
    UserSelect(FSelectedIndex < 0 ? 0 : row * Columns + col);
}

void TColorSwatchGrid::DoEnter() {
    Invalidate();
    TCustomControl::DoEnter();
}

void TColorSwatchGrid::DoExit() {
    Invalidate();
    TCustomControl::DoExit();
}

// ---------------------------------------------------------------------------------------
// TColorDialogForm

TColorDialogForm::TColorDialogForm(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetColor(clBtnFace);
    SetKeyPreview(true);
    SetText("Color");

    auto* basic = new TLabel(this);
    basic->SetParent(this);
    basic->SetCaption("&Basic colors:");
    basic->SetLeft(kMargin);
    basic->SetTop(8);

    FSwatches = new TColorSwatchGrid(this);
    FSwatches->SetParent(this);
    FSwatches->SetLeft(kMargin);
    FSwatches->SetTop(26);
    FSwatches->OnChange = [this](TObject*) { SwatchChanged(); };
    FSwatches->OnDblClick = [this](TObject*) {
        if (FSwatches->SelectedIndex() >= 0) SetModalResult(mrOk);
    };
    basic->SetFocusControl(FSwatches);

    int right = FSwatches->Left() + FSwatches->Width() + 16;
    auto* preview = new TColorPreview(this);
    preview->SetParent(this);
    preview->SetBounds(right, 26, 110, 44);
    FPreview = preview;

    FRed = MakeField("&Red:", 84);
    FGreen = MakeField("&Green:", 110);
    FBlue = MakeField("Bl&ue:", 136);

    int buttonsTop = FSwatches->Top() + FSwatches->Height() + 14;
    FOK = new TSpeedButton(this);
    FOK->SetParent(this);
    FOK->SetCaption("OK");
    FOK->SetBounds(right - 96, buttonsTop, 81, 27);
    FOK->OnClick = [this](TObject*) { SetModalResult(mrOk); };
    FCancel = new TSpeedButton(this);
    FCancel->SetParent(this);
    FCancel->SetCaption("Cancel");
    FCancel->SetBounds(right + 29, buttonsTop, 81, 27);
    FCancel->OnClick = [this](TObject*) { SetModalResult(mrCancel); };

    SetBounds(0, 0, right + 110 + kMargin, buttonsTop + 27 + kMargin);
    ShowColor(clBlack, true);
    SetActiveControl(FSwatches);
}

TColorDialogForm::~TColorDialogForm() = default;

TEdit* TColorDialogForm::MakeField(const std::string& Caption, int Top) {
    int left = FPreview->Left();
    auto* label = new TLabel(this);
    label->SetParent(this);
    label->SetCaption(Caption);
    label->SetLeft(left);
    label->SetTop(Top + 3);
    auto* edit = new TEdit(this);
    edit->SetParent(this);
    edit->SetBounds(left + 60, Top, 50, 21);
    edit->SetMaxLength(3);
    edit->SetTabStop(true);
    edit->OnKeyPress = [](TObject*, char32_t& Key) {
        // Digits and the editing characters only.
        if (Key >= 32 && (Key < U'0' || Key > U'9')) Key = 0;
    };
    edit->OnChange = [this](TObject*) { FieldChanged(); };
    edit->OnExit = [this, edit](TObject*) {
        // A field left empty or too large shows the value it stands for.
        int v = edit == FRed     ? GetRValue(FColor)
                : edit == FGreen ? GetGValue(FColor)
                                 : GetBValue(FColor);
        if (edit->Text() != IntToStr(v)) {
            FUpdating = true;
            edit->SetText(IntToStr(v));
            FUpdating = false;
        }
    };
    label->SetFocusControl(edit);
    return edit;
}

TColor TColorDialogForm::SelectedColor() const {
    return FColor;
}

void TColorDialogForm::SetSelectedColor(TColor Value) {
    ShowColor(ColorToRGB(Value), true);
}

void TColorDialogForm::ShowColor(TColor Value, bool SetFields) {
    FColor = Value & 0xFFFFFF;
    FUpdating = true;
    if (SetFields) {
        FRed->SetText(IntToStr(GetRValue(FColor)));
        FGreen->SetText(IntToStr(GetGValue(FColor)));
        FBlue->SetText(IntToStr(GetBValue(FColor)));
    }
    static_cast<TColorPreview*>(FPreview)->SetShown(FColor);
    int match = -1;
    for (int i = 0; i < FSwatches->ColorCount() && match < 0; ++i)
        if (FSwatches->Colors(i) == FColor) match = i;
    FSwatches->SetSelectedIndex(match);
    FUpdating = false;
}

void TColorDialogForm::FieldChanged() {
    if (FUpdating) return;
    auto value = [](TEdit* e) { return uint8_t(std::clamp(StrToIntDef(e->Text(), 0), 0, 255)); };
    ShowColor(RGB(value(FRed), value(FGreen), value(FBlue)), false);
}

void TColorDialogForm::SwatchChanged() {
    if (FUpdating) return;
    int i = FSwatches->SelectedIndex();
    if (i >= 0) ShowColor(FSwatches->Colors(i), true);
}

void TColorDialogForm::KeyDown(WORD& Key, TShiftState Shift) {
    if (Key == VK_RETURN) {
        Key = 0;
        SetModalResult(mrOk);
        return;
    }
    if (Key == VK_ESCAPE) {
        Key = 0;
        SetModalResult(mrCancel);
        return;
    }
    TForm::KeyDown(Key, Shift);
}

// ---------------------------------------------------------------------------------------
// TColorDialog

TColorDialog::TColorDialog(TComponent* AOwner) : TComponent(AOwner) {}

TColorDialog::~TColorDialog() = default;

bool TColorDialog::Execute() {
    if (FForm) return false;  // already showing
    auto form = std::make_unique<TColorDialogForm>(nullptr);
    form->SetText(FTitle);
    form->SetSelectedColor(FColor);
    FForm = form.get();
    TModalResult result = mrCancel;
    try {
        if (OnShow) OnShow(this);
        result = form->ShowModal();
    } catch (...) {
        FForm = nullptr;
        throw;
    }
    FForm = nullptr;
    if (result == mrOk) FColor = form->SelectedColor();
    form.reset();
    if (OnClose) OnClose(this);
    return result == mrOk;
}

}  // namespace kovo
