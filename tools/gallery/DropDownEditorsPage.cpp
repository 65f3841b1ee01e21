// The drop-down editors page: combo boxes (free text, restricted, list only and focused, with a
// glyph button, disabled, in place), popup edits and image combo boxes (images left and right,
// images only, a value without an item).
#include "GalleryPage.h"
#include "editors/qvComboBox.h"
#include "platform/forms/StdCtrls.h"

namespace {

constexpr Integer kMargin = 12;
constexpr Integer kCellWidth = 220;
constexpr Integer kLabelHeight = 16;
constexpr Integer kRowHeight = 62;

TPoint Cell(Integer AIndex, Integer ATop) {
  return {kMargin + (AIndex % 4) * (kCellWidth + 20), ATop + (AIndex / 4) * kRowHeight};
}

template <class T>
T* AddEditor(TWinControl* Parent, TPoint P, const String& ACaption, bool AInplace = false) {
  auto* label = New<TLabel>(Parent);
  label->SetParent(Parent);
  label->SetBounds(P.X, P.Y, kCellWidth, kLabelHeight);
  label->SetCaption(ACaption);
  auto* edit = static_cast<T*>(TqvCustomEdit::CreateInplace(&T::StaticClass(), Parent, AInplace));
  edit->SetBounds(P.X, P.Y + kLabelHeight + 4, kCellWidth, 21);
  edit->SetParent(Parent);
  edit->GetStyle()->SetBorderStyle(ebs3D);
  return edit;
}

TqvComboBox* AddCombo(TWinControl* Parent, Integer AIndex, const String& ACaption, TqvEditDropDownListStyle AStyle,
                      Integer AItemIndex, bool AInplace = false) {
  auto* combo = AddEditor<TqvComboBox>(Parent, Cell(AIndex, kMargin), ACaption, AInplace);
  combo->GetProperties()->SetDropDownListStyle(AStyle);
  TStrings* items = combo->GetProperties()->GetItems();
  for (const char* item : {"Astra 19.2E", "Hot Bird 13E", "Hispasat 30W", "Eutelsat 16E", "Thor 0.8W"})
    items->Add(item);
  combo->SetItemIndex(AItemIndex);
  return combo;
}

void BuildDropDownEditorsPage(TWinControl* Parent) {
  Integer i = 0;
  AddCombo(Parent, i++, "Combo box, free text", lsEditList, 0);
  AddCombo(Parent, i++, "Restricted to the items", lsEditFixedList, 1);
  AddCombo(Parent, i++, "List only", lsFixedList, 2);
  AddCombo(Parent, i++, "Disabled", lsFixedList, 3)->SetEnabled(false);
  AddCombo(Parent, i++, "In place", lsEditList, 4, true);
  TqvComboBox* flat = AddCombo(Parent, i++, "Flat buttons", lsEditList, 0);
  flat->GetStyle()->SetButtonStyle(btsFlat);
  flat->GetStyle()->SetBorderStyle(ebsFlat);
  TqvComboBox* glyph = AddCombo(Parent, i++, "Glyph on the drop-down button", lsEditList, 1);
  auto bitmap = MakeOwned<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(9, 9);
  bitmap->GetCanvas()->GetBrush()->SetColor(clNavy);
  bitmap->GetCanvas()->FillRect(Rect(0, 0, 9, 9));
  bitmap->GetCanvas()->GetBrush()->SetColor(clYellow);
  bitmap->GetCanvas()->FillRect(Rect(2, 2, 7, 7));
  glyph->GetProperties()->SetButtonGlyph(bitmap.get());
  TqvComboBox* focused = AddCombo(Parent, i++, "List only, focused", lsFixedList, 0);
  focused->SetTabOrder(0);
}

const TGalleryPageRegistration DropDownEditorsPage("Drop-down editors", 305, &BuildDropDownEditorsPage);

}  // namespace
