// The host's standard controls, as the components' dialogs and editors use them: edit box,
// memo, labels, combo boxes, speed buttons, tree view, date picker, colour dialog and a popup
// menu on a right click.
#include <string>

#include "Page.h"
#include "host/Bitmap.h"
#include "host/ColorDialog.h"
#include "host/ComboBox.h"
#include "host/DateTimePicker.h"
#include "host/DateUtils.h"
#include "host/Edit.h"
#include "host/Label.h"
#include "host/Memo.h"
#include "host/Menus.h"
#include "host/SpeedButton.h"
#include "host/TreeView.h"

using namespace kovo;

namespace {

template <typename T>
T* Place(TWinControl* Parent, int X, int Y, int W, int H) {
    auto* c = new T(Parent);
    c->SetParent(Parent);
    c->SetBounds(X, Y, W, H);
    return c;
}

TLabel* Caption(TWinControl* Parent, int X, int Y, const std::string& Text) {
    auto* l = Place<TLabel>(Parent, X, Y, 200, 16);
    l->SetCaption(Text);
    return l;
}

// A swatch that shows the colour chosen in the colour dialog.
class TSwatch : public TGraphicControl {
  public:
    using TGraphicControl::TGraphicControl;
    TColor Value = clTeal;

  protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(Value);
        Canvas()->Pen()->SetColor(clBlack);
        Canvas()->Rectangle(0, 0, Width(), Height());
    }
};

void BuildControlsPage(TWinControl* Parent) {
    // Left column: text entry.
    Caption(Parent, 10, 10, "Edit box (type, select, Ctrl+C/X/V):");
    auto* edit = Place<TEdit>(Parent, 10, 28, 260, 24);
    edit->SetText("Flow rate 12.5 l/min");
    auto* echo = Caption(Parent, 10, 56, "");
    echo->SetWidth(300);
    echo->SetCaption("Text: " + edit->Text());
    edit->OnChange = [echo, edit](TObject*) { echo->SetCaption("Text: " + edit->Text()); };

    Caption(Parent, 10, 84, "Memo (several lines):");
    auto* memo = Place<TMemo>(Parent, 10, 102, 260, 110);
    memo->Lines()->Add("Sample 17 measured at 14:05.");
    memo->Lines()->Add("Pressure steady, temperature rising slowly.");
    memo->Lines()->Add("Next check after the filter change.");

    Caption(Parent, 10, 222, "Combo boxes:");
    auto* units = Place<TComboBox>(Parent, 10, 240, 160, 24);
    for (const char* u : {"mbar", "kPa", "psi", "mmHg", "inHg", "bar", "Pa", "atm", "Torr"})
        units->Items()->Add(u);
    units->SetItemIndex(1);
    auto* fixed = Place<TComboBox>(Parent, 180, 240, 90, 24);
    fixed->SetStyle(csDropDownList);
    for (const char* m : {"Manual", "Auto", "Remote"}) fixed->Items()->Add(m);
    fixed->SetItemIndex(0);

    Caption(Parent, 10, 276, "Speed buttons (a group of three, one toggle):");
    const char* names[] = {"Left", "Centre", "Right"};
    for (int i = 0; i < 3; ++i) {
        auto* b = Place<TSpeedButton>(Parent, 10 + i * 64, 294, 60, 26);
        b->SetCaption(names[i]);
        b->SetGroupIndex(1);
        if (i == 0) b->SetDown(true);
    }
    auto* toggle = Place<TSpeedButton>(Parent, 210, 294, 60, 26);
    toggle->SetCaption("Hold");
    toggle->SetGroupIndex(2);
    toggle->SetAllowAllUp(true);

    auto* wrapped = Place<TLabel>(Parent, 10, 330, 260, 60);
    wrapped->SetWordWrap(true);
    wrapped->SetCaption(
        "A label with word wrap: long captions break at spaces to fit the label's width.");

    // Right column: tree, date, colour, menu.
    Caption(Parent, 300, 10, "Tree view (click, keys, +/-):");
    auto* tree = Place<TTreeView>(Parent, 300, 28, 260, 200);
    TTreeNodes* items = tree->Items();
    TTreeNode* plant = items->AddChild(nullptr, "Plant");
    TTreeNode* hall = items->AddChild(plant, "Hall A");
    items->AddChild(hall, "Pump 1");
    items->AddChild(hall, "Pump 2");
    TTreeNode* hallB = items->AddChild(plant, "Hall B");
    items->AddChild(hallB, "Compressor");
    items->AddChild(hallB, "Dryer");
    TTreeNode* lab = items->AddChild(nullptr, "Laboratory");
    items->AddChild(lab, "Balance");
    items->AddChild(lab, "Spectrometer");
    plant->Expand(false);
    auto* flat = Place<TTreeView>(Parent, 570, 28, 200, 200);
    flat->SetLook(tvlExplorer);
    flat->Items()->Assign(items);
    flat->FullExpand();

    Caption(Parent, 300, 240, "Date and time pickers (arrows, digits):");
    auto* date = Place<TDateTimePicker>(Parent, 300, 258, 150, 24);
    date->SetDateTime(EncodeDate(2026, 12, 11));
    auto* time = Place<TDateTimePicker>(Parent, 460, 258, 110, 24);
    time->SetKind(dtkTime);
    time->SetDateTime(EncodeTime(14, 30, 0, 0));

    Caption(Parent, 300, 294, "Colour dialog:");
    auto* swatch = Place<TSwatch>(Parent, 300, 312, 40, 26);
    auto* dialog = new TColorDialog(Parent);
    auto* choose = Place<TSpeedButton>(Parent, 350, 312, 120, 26);
    choose->SetCaption("Choose colour...");
    choose->OnClick = [dialog, swatch](TObject*) {
        dialog->SetColor(swatch->Value);
        if (dialog->Execute()) {
            swatch->Value = dialog->Color();
            swatch->Invalidate();
        }
    };

    auto* menuTarget = Place<TLabel>(Parent, 300, 352, 300, 40);
    menuTarget->SetColor(clInfoBk);
    menuTarget->SetTransparent(false);
    menuTarget->SetCaption("Right-click here for a popup menu.");
    auto* chosen = Caption(Parent, 300, 396, "");
    chosen->SetWidth(300);
    auto say = [chosen](const std::string& s) {
        return [chosen, s](TObject*) { chosen->SetCaption("Chosen: " + s); };
    };
    TPopupMenu* menu = NewPopupMenu(
        Parent, "galleryMenu", paLeft, true,
        {NewItem("Copy", 0, false, true, say("Copy"), 0, "miCopy"),
         NewItem("Paste", 0, false, false, say("Paste"), 0, "miPaste"), NewLine(),
         NewSubMenu("Mark as", 0, "miMark",
                    {NewItem("Valid", 0, true, true, say("Mark as valid"), 0, "miValid"),
                     NewItem("Suspect", 0, false, true, say("Mark as suspect"), 0, "miSuspect")}),
         NewItem("Properties...", 0, false, true, say("Properties"), 0, "miProps")});
    menuTarget->SetPopupMenu(menu);
}

gallery::TPageRegistration registration("Controls", 50, BuildControlsPage);

}  // namespace
