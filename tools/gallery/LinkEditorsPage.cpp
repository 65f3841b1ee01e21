// The page of the small text editors: button editors (plain, masked, flat buttons, disabled),
// hyperlink editors (a link, a custom link colour, a single-click link, disabled, in place,
// focused, and a blank one) and MRU editors (with the ellipsis, without it, disabled).
#include "GalleryPage.h"
#include "editors/qvButtonEdit.h"
#include "editors/qvHyperLinkEdit.h"
#include "editors/qvMRUEdit.h"
#include "platform/forms/StdCtrls.h"

namespace {

TqvHyperLinkEdit* AddHyperLink(TWinControl* Parent, Integer AIndex, const String& ACaption, const String& AText,
                               bool AInplace = false) {
  const TPoint p = Cell(AIndex, kMargin);
  AddLabel(Parent, p.X, p.Y, ACaption);
  auto* edit = static_cast<TqvHyperLinkEdit*>(
      TqvCustomEdit::CreateInplace(&TqvHyperLinkEdit::StaticClass(), Parent, AInplace));
  edit->SetBounds(p.X, p.Y + kLabelHeight + 4, kCellWidth, 21);
  edit->SetParent(Parent);
  edit->SetEditValue(AText);
  return edit;
}

TqvButtonEdit* AddButtonEdit(TWinControl* Parent, Integer AIndex, const String& ACaption, const String& AText) {
  const TPoint p = Cell(AIndex, kMargin);
  AddLabel(Parent, p.X, p.Y, ACaption);
  auto* edit = New<TqvButtonEdit>(Parent);
  edit->SetBounds(p.X, p.Y + kLabelHeight + 4, kCellWidth, 21);
  edit->SetParent(Parent);
  edit->SetEditValue(AText);
  return edit;
}

void AddMRUEdit(TWinControl* Parent, Integer AIndex, const String& ACaption, bool AShowEllipsis, bool AEnabled) {
  const TPoint p = Cell(AIndex, kMargin);
  AddLabel(Parent, p.X, p.Y, ACaption);
  auto* edit = New<TqvMRUEdit>(Parent);
  edit->SetBounds(p.X, p.Y + kLabelHeight + 4, kCellWidth, 21);
  edit->SetParent(Parent);
  edit->GetProperties()->SetMaxItemCount(5);
  edit->GetProperties()->SetShowEllipsis(AShowEllipsis);
  for (const char* text : {"Hotbird 13.0E", "Eutelsat 9.0E", "Astra 19.2E"}) edit->AddItem(text);
  edit->SetEditValue(String("Astra 19.2E"));
  edit->SetEnabled(AEnabled);
}

void BuildLinkEditorsPage(TWinControl* Parent) {
  Integer i = 0;
  AddButtonEdit(Parent, i++, "Button edit", "Channels.lst");
  TqvButtonEdit* masked = AddButtonEdit(Parent, i++, "Button edit, masked", "");
  masked->GetProperties()->SetMaskKind(emkRegExprEx);
  masked->GetProperties()->SetEditMask("\\d\\d\\d\\d");
  masked->SetEditValue(String("1234"));
  AddButtonEdit(Parent, i++, "Button edit, flat button", "Favourites")->GetStyle()->SetButtonStyle(btsFlat);
  AddButtonEdit(Parent, i++, "Button edit, disabled", "Satellites.ini")->SetEnabled(false);
  AddHyperLink(Parent, i++, "Hyperlink", "https://www.example.com/channels");
  AddHyperLink(Parent, i++, "Link colour teal", "mailto:service@example.com")
      ->GetProperties()
      ->SetLinkColor(clTeal);
  AddHyperLink(Parent, i++, "Single click", "ftp://ftp.example.com/lists")->GetProperties()->SetSingleClick(true);
  AddHyperLink(Parent, i++, "Disabled", "https://www.example.com")->SetEnabled(false);
  AddHyperLink(Parent, i++, "In place (no frame)", "https://www.example.com/grid", true);
  AddHyperLink(Parent, i++, "Blank", "");
  TqvHyperLinkEdit* focused = AddHyperLink(Parent, i++, "Focused", "https://www.example.com/focused");
  focused->SetTabOrder(0);
  i = (i + 3) / 4 * 4;
  AddMRUEdit(Parent, i++, "MRU edit", true, true);
  AddMRUEdit(Parent, i++, "MRU edit, no ellipsis", false, true);
  AddMRUEdit(Parent, i++, "MRU edit, disabled", true, false);
}

const TGalleryPageRegistration LinkEditorsPage("Button, hyperlink and MRU editors", 710, &BuildLinkEditorsPage);

}  // namespace
