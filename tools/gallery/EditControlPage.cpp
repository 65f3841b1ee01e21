// The editor control page: live editor controls of the base kind in each border style, with
// edit buttons of each kind, disabled, with a button style and transparency, focused, and in
// place (no frame); each paints itself through its view info.
#include "GalleryPage.h"
#include "editors/qvEdit.h"
#include "platform/forms/StdCtrls.h"

namespace {

constexpr Integer kEditHeight = 24;

struct TEditControlSample {
  const char* Caption;
  TqvEditBorderStyle Border;
  std::vector<TqvEditButtonKind> Buttons;
  bool Enabled;
  TqvEditButtonStyle ButtonStyle;
  TqvEditButtonTransparency Transparency;
  bool Inplace;
};

const TEditControlSample kEditControlSamples[] = {
    {"Single frame", ebsSingle, {}, true, btsDefault, ebtNone, false},
    {"Flat frame", ebsFlat, {}, true, btsDefault, ebtNone, false},
    {"3D frame", ebs3D, {}, true, btsDefault, ebtNone, false},
    {"Ultra-flat frame", ebsUltraFlat, {}, true, btsDefault, ebtNone, false},
    {"Drop-down button", ebs3D, {bkDown}, true, btsDefault, ebtNone, false},
    {"Ellipsis and drop-down", ebsSingle, {bkEllipsis, bkDown}, true, btsDefault, ebtNone, false},
    {"Flat buttons", ebsFlat, {bkEllipsis, bkDown}, true, btsFlat, ebtNone, false},
    {"Ultra-flat buttons", ebsUltraFlat, {bkEllipsis, bkDown}, true, btsUltraFlat, ebtNone, false},
    {"Hot-flat, transparent", ebsSingle, {bkDown}, true, btsHotFlat, ebtAlways, false},
    {"Disabled with buttons", ebs3D, {bkEllipsis, bkDown}, false, btsDefault, ebtNone, false},
    {"In place, no frame", ebs3D, {bkDown}, true, btsDefault, ebtNone, true},
    {"Focused", ebs3D, {bkDown}, true, btsDefault, ebtNone, false},
};

TqvCustomEdit* AddEditSample(TWinControl* Parent, const TEditControlSample& s, Integer x, Integer y) {
  TqvCustomEdit* edit = TqvCustomEdit::CreateInplace(&TqvCustomEdit::StaticClass(), Parent, s.Inplace);
  edit->SetAutoSize(false);  // the base kind measures no content of its own
  TqvCustomEditStyle* style = edit->GetStyle();
  style->SetBorderStyle(s.Border);
  if (s.ButtonStyle != btsDefault) style->SetButtonStyle(s.ButtonStyle);
  if (s.Transparency != ebtNone) style->SetButtonTransparency(s.Transparency);
  for (TqvEditButtonKind kind : s.Buttons) edit->GetProperties()->GetButtons()->Add()->SetKind(kind);
  edit->SetEnabled(s.Enabled);
  edit->SetBounds(x, y, kCellWidth, kEditHeight);
  edit->SetParent(Parent);
  return edit;
}

void BuildEditControlPage(TWinControl* Parent) {
  TqvCustomEdit* focused = nullptr;
  for (Integer i = 0; i < Integer(std::size(kEditControlSamples)); ++i) {
    const TEditControlSample& s = kEditControlSamples[i];
    const TPoint p = Cell(i, kMargin, 70);
    AddLabel(Parent, p.X, p.Y, s.Caption);
    TqvCustomEdit* edit = AddEditSample(Parent, s, p.X, p.Y + 20);
    edit->RefreshContainerAtCursor(false);
    if (String(s.Caption) == "Focused") focused = edit;
  }
  // The page's first control in tab order takes the focus when the page shows.
  if (focused) focused->SetTabOrder(0);
}

const TGalleryPageRegistration EditControlPage("Editor control", 301, &BuildEditControlPage);

}  // namespace
