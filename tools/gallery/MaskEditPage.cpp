// The mask edit page: classic masks (a date with its template, a value without literals, an
// incomplete text, a phone number), the hexadecimal regular-expression mask of the channel
// grid, the extended mode with the literals it types itself, and a focused classic mask showing
// its one-character caret.
#include "GalleryPage.h"
#include "editors/qvMaskEdit.h"
#include "platform/forms/StdCtrls.h"

namespace {

TqvMaskEdit* AddMaskEdit(TWinControl* Parent, Integer AIndex, const String& ACaption, TqvEditMaskKind AKind,
                         const String& AMask, const String& AValue) {
  const TPoint p = Cell(AIndex);
  AddLabel(Parent, p.X, p.Y, ACaption);
  auto* edit = New<TqvMaskEdit>(Parent, false);
  edit->SetBounds(p.X, p.Y + kLabelHeight + 4, kCellWidth, 21);
  edit->SetParent(Parent);
  edit->GetStyle()->SetBorderStyle(ebs3D);
  edit->GetProperties()->SetMaskKind(AKind);
  edit->GetProperties()->SetEditMask(AMask);
  edit->SetEditValue(AValue);
  return edit;
}

void BuildMaskEditPage(TWinControl* Parent) {
  Integer i = 0;
  TqvMaskEdit* focused = AddMaskEdit(Parent, i++, "Classic date, focused", emkStandard, "00/00/0000", "2412");
  AddMaskEdit(Parent, i++, "Classic date, unfocused", emkStandard, "00/00/0000", "24122024");
  AddMaskEdit(Parent, i++, "Value without literals", emkStandard, "00/00;0", "1234");
  AddMaskEdit(Parent, i++, "Phone number", emkStandard, "!(999) 000-0000;1;_", "0301234567");
  TqvMaskEdit* hex = AddMaskEdit(Parent, i++, "Hexadecimal SID", emkRegExpr, "(\\d | [A-F] | [a-f])+", "1A2F");
  hex->GetProperties()->SetCharCase(ecUpperCase);
  AddMaskEdit(Parent, i++, "Frequency (regular expression)", emkRegExpr, "\\d\\d\\d\\d\\d' '('H'|'V')", "11494 H");
  AddMaskEdit(Parent, i++, "Extended: forced literals", emkRegExprEx, "\\(\\d\\d\\d\\)' '\\d\\d\\d-\\d\\d\\d\\d",
              "(030");
  AddMaskEdit(Parent, i++, "Extended: empty", emkRegExprEx, "\\(\\d\\d\\d\\)", "");
  AddMaskEdit(Parent, i++, "Disabled", emkStandard, "00:00", "1230")->SetEnabled(false);
  // Without selecting all on entry the focused classic mask shows its one-character caret.
  focused->GetProperties()->SetAutoSelect(false);
  focused->SetTabOrder(0);
}

const TGalleryPageRegistration MaskEditPage("Mask edit", 303, &BuildMaskEditPage);

}  // namespace
