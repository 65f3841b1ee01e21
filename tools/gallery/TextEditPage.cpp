// The text edit and check box page: text edits (plain, right-aligned, centred, password, read-only,
// disabled, in place, completed from lookup items with the found tail selected, focused) and
// check boxes (unchecked, checked, grayed in each null style, disabled, caption left, in place,
// multi-line caption, a custom glyph, frame styles).
#include "GalleryPage.h"
#include "editors/qvCheckBox.h"
#include "editors/qvTextEdit.h"
#include "platform/forms/StdCtrls.h"

namespace {

TqvTextEdit* AddTextEdit(TWinControl* Parent, Integer AIndex, const String& ACaption, const String& AText,
                         bool AInplace = false) {
  const TPoint p = Cell(AIndex, kMargin);
  AddLabel(Parent, p.X, p.Y, ACaption);
  auto* edit = static_cast<TqvTextEdit*>(TqvCustomEdit::CreateInplace(&TqvTextEdit::StaticClass(), Parent, AInplace));
  edit->SetBounds(p.X, p.Y + kLabelHeight + 4, kCellWidth, 21);
  edit->SetParent(Parent);
  edit->GetStyle()->SetBorderStyle(ebs3D);
  edit->SetEditValue(AText);
  return edit;
}

TqvCheckBox* AddCheckBox(TWinControl* Parent, Integer AIndex, const String& ACaption, const Variant& AValue,
                         bool AInplace = false) {
  const TPoint p = Cell(AIndex, kMargin + 3 * kRowHeight + 10);
  AddLabel(Parent, p.X, p.Y, ACaption);
  auto* box = static_cast<TqvCheckBox*>(TqvCustomEdit::CreateInplace(&TqvCheckBox::StaticClass(), Parent, AInplace));
  box->SetBounds(p.X, p.Y + kLabelHeight + 4, kCellWidth, 21);
  box->SetParent(Parent);
  box->GetProperties()->SetCaption("Show &radio channels");
  box->SetEditValue(AValue);
  return box;
}

// A bitmap of three cells: an empty, a filled and a half-filled square.
void FillGlyph(TBitmap* AGlyph) {
  AGlyph->SetPixelFormat(pf32bit);
  AGlyph->SetSize(48, 16);
  TCanvas* canvas = AGlyph->GetCanvas();
  canvas->GetBrush()->SetColor(clFuchsia);
  canvas->FillRect(Rect(0, 0, 48, 16));
  for (Integer i = 0; i < 3; ++i) {
    const TRect r = Rect(i * 16 + 1, 1, i * 16 + 15, 15);
    canvas->GetBrush()->SetColor(clNavy);
    canvas->FrameRect(r);
    canvas->GetBrush()->SetColor(clTeal);
    if (i == 1) canvas->FillRect(Rect(r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3));
    if (i == 2) canvas->FillRect(Rect(r.Left + 3, r.Top + 3, r.Right - 3, r.Top + 7));
  }
  AGlyph->SetTransparentColor(clFuchsia);
}

void BuildTextEditPage(TWinControl* Parent) {
  Integer i = 0;
  AddTextEdit(Parent, i++, "Plain", "Das Erste HD");
  AddTextEdit(Parent, i++, "Right-aligned", "11494")->GetProperties()->GetAlignment()->SetHorz(taRightJustify);
  AddTextEdit(Parent, i++, "Centred", "Astra 19.2E")->GetProperties()->GetAlignment()->SetHorz(taCenter);
  AddTextEdit(Parent, i++, "Password", "receiver")->GetProperties()->SetEchoMode(eemPassword);
  AddTextEdit(Parent, i++, "Read-only", "cannot change")->GetProperties()->SetReadOnly(true);
  AddTextEdit(Parent, i++, "Disabled", "switched off")->SetEnabled(false);
  AddTextEdit(Parent, i++, "In place", "grid cell text", true);
  AddTextEdit(Parent, i++, "Upper case", "ZDF hd")->GetProperties()->SetCharCase(ecUpperCase);
  // A completion shows only while its edit has the focus.
  TqvTextEdit* lookup = AddTextEdit(Parent, i++, "Focused, completed from the lookup items", "");
  TStrings* items = lookup->GetProperties()->GetLookupItems();
  for (const char* item : {"Astra 19.2E", "Hot Bird 13E", "Hispasat 30W"}) items->Add(item);

  Integer j = 0;
  AddCheckBox(Parent, j++, "Unchecked", false);
  AddCheckBox(Parent, j++, "Checked", true);
  AddCheckBox(Parent, j++, "Grayed, shown checked", Null());
  AddCheckBox(Parent, j++, "Grayed, shown inactive", Null())->GetProperties()->SetNullStyle(nssInactive);
  AddCheckBox(Parent, j++, "Grayed, shown unchecked", Null())->GetProperties()->SetNullStyle(nssUnchecked);
  AddCheckBox(Parent, j++, "Disabled, checked", true)->SetEnabled(false);
  AddCheckBox(Parent, j++, "Caption left", true)->GetProperties()->SetCheckAlignment(taRightJustify);
  AddCheckBox(Parent, j++, "In place", true, true);
  TqvCheckBox* glyph = AddCheckBox(Parent, j++, "Custom glyph, checked", true);
  TOwned<TBitmap> bitmap = MakeOwned<TBitmap>();
  FillGlyph(bitmap.get());
  glyph->GetProperties()->SetGlyphCount(3);
  glyph->GetProperties()->SetGlyph(bitmap.get());
  TqvCheckBox* ultraFlat = AddCheckBox(Parent, j++, "Ultra-flat frame", true);
  ultraFlat->GetStyle()->SetBorderStyle(ebsUltraFlat);
  TqvCheckBox* multiLine = AddCheckBox(Parent, j++, "Multi-line caption", false);
  multiLine->GetProperties()->SetMultiLine(true);
  multiLine->GetProperties()->SetCaption("A caption long enough to wrap onto a second line");
  multiLine->SetAutoSize(false);
  multiLine->SetHeight(36);
  AddCheckBox(Parent, j++, "Single frame, unchecked", false)->GetStyle()->SetBorderStyle(ebsSingle);

  // The lookup edit takes the focus and shows a completion as typed: the completed part selected.
  lookup->GetProperties()->SetAutoSelect(false);
  lookup->SetTabOrder(0);
  lookup->OnEnter = [lookup](TObject*) {
    lookup->SetText("Hot Bird 13E");
    lookup->SetSelection(3, 9);
  };
}

const TGalleryPageRegistration TextEditPage("Text edit and check box", 302, &BuildTextEditPage);

}  // namespace
