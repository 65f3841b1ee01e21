// The colour combo box page: a listed colour with the box left and right, the box alone, an
// unlisted colour (named and by its value), a list-only combo with an unlisted value, no colour
// in each default style, the custom-colour button, recent colours, and a disabled one.
#include "GalleryPage.h"
#include "editors/qvColorComboBox.h"
#include "platform/forms/StdCtrls.h"

namespace {

TqvColorComboBox* AddColorCombo(TWinControl* Parent, Integer AIndex, const String& ACaption) {
  const TPoint p = Cell(AIndex);
  AddLabel(Parent, p.X, p.Y, ACaption);
  auto* combo = New<TqvColorComboBox>(Parent);
  combo->SetBounds(p.X, p.Y + kLabelHeight + 4, kCellWidth, 21);
  combo->SetParent(Parent);
  TqvColorComboBoxProperties* properties = combo->GetProperties();
  properties->SetPrepareList(qvplHTML4);
  properties->SetPrepareInfo("HTML4");
  return combo;
}

void BuildColorComboBoxPage(TWinControl* Parent) {
  Integer k = 0;
  AddColorCombo(Parent, k++, "Listed colour")->SetColorValue(0x0000FF);
  auto* right = AddColorCombo(Parent, k++, "Box on the right");
  right->GetProperties()->SetColorBoxAlign(cbaRight);
  right->SetColorValue(0x808000);
  auto* boxOnly = AddColorCombo(Parent, k++, "Box only");
  boxOnly->GetProperties()->SetShowDescriptions(false);
  boxOnly->SetColorValue(0x00FF00);
  auto* named = AddColorCombo(Parent, k++, "Unlisted, named");
  named->SetColorValue(clMoneyGreen);
  auto* value = AddColorCombo(Parent, k++, "Unlisted, by its value");
  value->SetColorValue(0x3C7A1E);
  auto* hex = AddColorCombo(Parent, k++, "Unlisted, hexadecimal");
  hex->GetProperties()->SetColorValueFormat(qvcvHexadecimal);
  hex->SetColorValue(0x3C7A1E);
  auto* listOnly = AddColorCombo(Parent, k++, "List only, unlisted value");
  listOnly->GetProperties()->SetColorComboStyle(qvccsComboList);
  listOnly->SetColorValue(0x3C7A1E);
  auto* x11 = AddColorCombo(Parent, k++, "X11 names");
  x11->GetProperties()->SetNamingConvention(qvncX11);
  x11->GetProperties()->SetPrepareList(qvplX11);
  x11->GetProperties()->SetPrepareInfo("X11");
  x11->SetColorValue(0x2F6B55);
  const struct {
    const char* Caption;
    TqvDefaultColorStyle Style;
  } noColour[] = {{"No colour: clear", qvdcClear},
                  {"No colour: colour", qvdcColor},
                  {"No colour: hatched", qvdcHatched},
                  {"No colour: text", qvdcText}};
  for (const auto& c : noColour) {
    auto* combo = AddColorCombo(Parent, k++, c.Caption);
    combo->GetProperties()->SetDefaultColorStyle(c.Style);
    combo->GetProperties()->SetDefaultColor(clYellow);
  }
  auto* custom = AddColorCombo(Parent, k++, "Custom colour button");
  custom->GetProperties()->SetAllowSelectColor(true);
  custom->SetColorValue(0x800080);
  auto* recent = AddColorCombo(Parent, k++, "Recent colours");
  for (TColor c : {TColor(0x008000), TColor(0x000080), TColor(0x00FFFF)}) recent->GetProperties()->AddMRUColor(c);
  recent->SetColorValue(0x00FFFF);
  auto* disabled = AddColorCombo(Parent, k++, "Disabled");
  disabled->SetColorValue(0xFF0000);
  disabled->SetEnabled(false);
}

}  // namespace

const TGalleryPageRegistration ColorComboBoxPage("Colour combo box", 712, &BuildColorComboBoxPage);
