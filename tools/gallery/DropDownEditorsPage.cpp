// The drop-down editors page: combo boxes (free text, restricted, list only and focused, with a
// glyph button, disabled, in place), popup edits and image combo boxes (images left and right,
// images only, a value without an item).
#include "GalleryPage.h"
#include "editors/qvComboBox.h"
#include "editors/qvImageComboBox.h"
#include "editors/qvPopupEdit.h"
#include "platform/forms/StdCtrls.h"

namespace {

template <class T>
T* AddEditor(TWinControl* Parent, TPoint P, const String& ACaption, bool AInplace = false) {
  AddLabel(Parent, P.X, P.Y, ACaption);
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

  // Image combo boxes: polarisation with coloured squares.
  auto* images = New<TImageList>(Parent);
  images->SetWidth(12);
  images->SetHeight(12);
  for (TColor color : {clRed, clBlue, clGreen}) {
    auto square = MakeOwned<TBitmap>();
    square->SetPixelFormat(pf32bit);
    square->SetSize(12, 12);
    square->GetCanvas()->GetBrush()->SetColor(color);
    square->GetCanvas()->FillRect(Rect(0, 0, 12, 12));
    images->Add(square.get(), nullptr);
  }
  auto addImageCombo = [&](Integer AIndex, const String& ACaption, const Variant& AValue) {
    auto* combo = AddEditor<TqvImageComboBox>(Parent, Cell(AIndex, kMargin + 2 * kRowHeight + 10), ACaption);
    TqvImageComboBoxProperties* p = combo->GetProperties();
    p->SetImages(images);
    const char* names[] = {"H", "V", "L"};
    for (Integer k = 0; k < 3; ++k) {
      TqvImageComboBoxItem* item = p->GetItems()->Add();
      item->SetDescription(names[k]);
      item->SetValue(k);
      item->SetImageIndex(k);
    }
    p->SetDefaultDescription("(unknown)");
    combo->SetEditValue(AValue);
    return combo;
  };
  Integer k = 0;
  addImageCombo(k++, "Image combo box", 0);
  addImageCombo(k++, "Image on the right", 1)->GetProperties()->SetImageAlign(iaRight);
  addImageCombo(k++, "Images only", 2)->GetProperties()->SetShowDescriptions(false);
  addImageCombo(k++, "A value without an item", 7);
  auto* popup = AddEditor<TqvPopupEdit>(Parent, Cell(k++, kMargin + 2 * kRowHeight + 10), "Popup edit");
  popup->SetEditValue("opens a panel");
}

const TGalleryPageRegistration DropDownEditorsPage("Drop-down editors", 305, &BuildDropDownEditorsPage);

}  // namespace
