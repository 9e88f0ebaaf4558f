// TColorDialog: the colour chooser. Execute shows a modal dialog (TColorDialogForm) with a grid
// of 48 basic colours, a preview and fields for red, green and blue; OK (or Enter, or a double
// click on a swatch) confirms, Cancel (or Esc) leaves Color as it was.
//
// With the headless backend the modal handler receives the TColorDialogForm. A test plays the
// user through its controls: Headless::Click on Swatches() at SwatchRect(i), typing into
// RedEdit()/GreenEdit()/BlueEdit(), Headless::Click on OKButton() or CancelButton(), or the
// Enter and Esc keys.
#pragma once

#include <array>
#include <string>

#include "host/Component.h"
#include "host/Form.h"

namespace kovo {

class TCustomEdit;
class TEdit;
class TLabel;
class TSpeedButton;

// The basic colours, row by row: five rows of eight hues (red, orange, yellow, green, cyan,
// blue, violet, magenta) from light to dark with the pure hues in the middle row, and a row
// of greys from black to white.
const std::array<TColor, 48>& BasicColors();

// The grid of swatches. A click or the arrow keys select one; OnChange follows.
class TColorSwatchGrid : public TCustomControl {
  public:
    static constexpr int Columns = 8;
    static constexpr int Rows = 6;
    static constexpr int CellWidth = 26;
    static constexpr int CellHeight = 22;

    explicit TColorSwatchGrid(TComponent* AOwner);

    int ColorCount() const { return Columns * Rows; }
    TColor Colors(int Index) const;
    // -1 when no swatch is selected (the colour is none of them).
    int SelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(int Value);
    // The swatch's cell and the point inside it.
    TRect SwatchRect(int Index) const;
    int SwatchAt(int X, int Y) const;

    TNotifyEvent OnChange;  // the user selected another swatch

  protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void DoEnter() override;
    void DoExit() override;
    LRESULT GetDlgCode() const override { return DLGC_WANTARROWS; }

  private:
    void UserSelect(int Index);

    int FSelectedIndex = -1;  // the selected swatch
};

class TColorDialogForm : public TForm {
  public:
    explicit TColorDialogForm(TComponent* AOwner);
    ~TColorDialogForm() override;

    // The colour the fields show (explicit RGB), and setting it (fields, preview, swatch).
    TColor SelectedColor() const;
    void SetSelectedColor(TColor Value);

    TColorSwatchGrid* Swatches() const { return FSwatches; }
    TEdit* RedEdit() const { return FRed; }
    TEdit* GreenEdit() const { return FGreen; }
    TEdit* BlueEdit() const { return FBlue; }
    TSpeedButton* OKButton() const { return FOK; }
    TSpeedButton* CancelButton() const { return FCancel; }
    TControl* Preview() const { return FPreview; }

  protected:
    // Enter confirms, Esc cancels, from whichever control has the focus.
    void KeyDown(WORD& Key, TShiftState Shift) override;

  private:
    TEdit* MakeField(const std::string& Caption, int Top);
    void FieldChanged();
    void SwatchChanged();
    void ShowColor(TColor Value, bool SetFields);

    TColorSwatchGrid* FSwatches;  // the basic colours
    TControl* FPreview;           // the chosen colour
    TEdit* FRed;                  // the three components, 0..255
    TEdit* FGreen;
    TEdit* FBlue;
    TSpeedButton* FOK;
    TSpeedButton* FCancel;
    TColor FColor = clBlack;  // what the fields hold
    bool FUpdating = false;   // the form sets its own fields
};

class TColorDialog : public TComponent {
  public:
    explicit TColorDialog(TComponent* AOwner);
    ~TColorDialog() override;

    // The colour shown when the dialog opens and chosen when it is confirmed (an explicit
    // RGB value then; a system colour opens as what it stands for).
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }

    // Shows the dialog modally; true when the user confirmed (Color is then the choice).
    virtual bool Execute();
    // The dialog's form while Execute runs, nullptr otherwise.
    TColorDialogForm* Form() const { return FForm; }

    TNotifyEvent OnShow;   // the dialog is about to show
    TNotifyEvent OnClose;  // the dialog has closed

  private:
    TColor FColor = clBlack;       // the colour
    std::string FTitle = "Color";  // the dialog's caption
    TColorDialogForm* FForm = nullptr;
};

}  // namespace kovo
