// The number editors page: currency editors standalone and in place (the locale's currency
// format, a null value with and without a null text, a format of their own, a negative amount,
// read-only, disabled, focused with the plain number), and spin editors (the three button
// layouts with and without fast buttons, integer and float values, border styles, bounds,
// disabled, in place, a text that is no number), and time editors (the three time formats in
// 24- and 12-hour form, the date shown too, in place, a text that is no time, disabled), and date
// editors (with and without the time, empty, read-only, disabled, ultra-flat, in place, a text
// that is no date), and calculator editors.
#include "GalleryPage.h"
#include "editors/qvCalcEdit.h"
#include "editors/qvCurrencyEdit.h"
#include "editors/qvDateEdit.h"
#include "editors/qvSpinEdit.h"
#include "editors/qvTimeEdit.h"
#include "platform/rtl/DateTime.h"
#include "platform/forms/StdCtrls.h"

namespace {

// Rows closer than the grid's: the page holds five groups of editors.
constexpr Integer kNumberRowHeight = 50;

TPoint NumberCell(Integer AIndex, Integer ATop) { return Cell(AIndex, ATop, kNumberRowHeight); }

template <class TEdit>
TEdit* AddEdit(TWinControl* Parent, TPoint P, const String& ACaption, bool AInplace) {
  AddLabel(Parent, P.X, P.Y, ACaption);
  auto* edit = static_cast<TEdit*>(TqvCustomEdit::CreateInplace(&TEdit::StaticClass(), Parent, AInplace));
  edit->SetBounds(P.X, P.Y + kLabelHeight + 4, kCellWidth, 21);
  edit->SetParent(Parent);
  if (!AInplace) edit->GetStyle()->SetBorderStyle(ebs3D);
  return edit;
}

TqvCurrencyEdit* AddCurrency(TWinControl* Parent, Integer AIndex, const String& ACaption, const Variant& AValue,
                             bool AInplace = false) {
  auto* edit = AddEdit<TqvCurrencyEdit>(Parent, NumberCell(AIndex, kMargin), ACaption, AInplace);
  edit->SetEditValue(AValue);
  return edit;
}

TqvSpinEdit* AddSpin(TWinControl* Parent, Integer AIndex, const String& ACaption, const Variant& AValue,
                     TqvSpinEditButtonsPosition APosition = sbpVert, bool AFast = false, bool AInplace = false) {
  auto* edit =
      AddEdit<TqvSpinEdit>(Parent, NumberCell(AIndex, kMargin + 3 * kNumberRowHeight + 10), ACaption, AInplace);
  TqvSpinEditProperties* properties = edit->GetProperties();
  properties->SetValueType(VarIsFloat(AValue) ? vtFloat : vtInt);
  properties->GetSpinButtons()->SetPosition(APosition);
  properties->GetSpinButtons()->SetShowFastButtons(AFast);
  edit->SetEditValue(AValue);
  return edit;
}

void BuildSpinEditors(TWinControl* Parent) {
  Integer i = 0;
  AddSpin(Parent, i++, "Spin, buttons one over the other", Integer(42));
  AddSpin(Parent, i++, "Spin, fast buttons", 2.5, sbpVert, true);
  AddSpin(Parent, i++, "Spin, buttons on the right", Integer(-7), sbpHorzRight);
  AddSpin(Parent, i++, "Spin, right with fast buttons", Integer(100), sbpHorzRight, true);
  AddSpin(Parent, i++, "Spin, buttons on both sides", Integer(5), sbpHorzLeftRight);
  AddSpin(Parent, i++, "Spin, both sides with fast buttons", 0.25, sbpHorzLeftRight, true);
  AddSpin(Parent, i++, "Spin, ultra-flat", Integer(3))->GetStyle()->SetBorderStyle(ebsUltraFlat);
  AddSpin(Parent, i++, "Spin, flat, fast", Integer(3), sbpVert, true)->GetStyle()->SetBorderStyle(ebsFlat);
  AddSpin(Parent, i++, "Spin, disabled", Integer(8))->SetEnabled(false);
  AddSpin(Parent, i++, "Spin in place", Integer(12), sbpVert, false, true);
  AddSpin(Parent, i++, "Spin in place, text that is no number", String("n/a"), sbpHorzRight, false, true);
  TqvSpinEdit* bounded = AddSpin(Parent, i++, "Spin, 0..10 at the maximum", Integer(10), sbpHorzRight, true);
  bounded->GetProperties()->SetMaxValue(10);
}

TqvTimeEdit* AddTime(TWinControl* Parent, Integer AIndex, const String& ACaption, const Variant& AValue,
                     TqvTimeEditTimeFormat AFormat = tfHourMinSec, bool AUse24Hour = true, bool AInplace = false) {
  auto* edit =
      AddEdit<TqvTimeEdit>(Parent, NumberCell(AIndex, kMargin + 6 * kNumberRowHeight + 20), ACaption, AInplace);
  edit->GetProperties()->SetTimeFormat(AFormat);
  edit->GetProperties()->SetUse24HourFormat(AUse24Hour);
  edit->SetEditValue(AValue);
  return edit;
}

void BuildTimeEditors(TWinControl* Parent) {
  const Variant evening = VarFromDateTime(EncodeTime(21, 45, 30, 0));
  Integer i = 0;
  AddTime(Parent, i++, "Time, hours, minutes, seconds", evening);
  AddTime(Parent, i++, "Time, hours and minutes", evening, tfHourMin);
  AddTime(Parent, i++, "Time, hours", evening, tfHour);
  AddTime(Parent, i++, "Time, 12-hour", evening, tfHourMinSec, false);
  AddTime(Parent, i++, "Time, 12-hour, hours and minutes", VarFromDateTime(EncodeTime(9, 5, 0, 0)), tfHourMin, false);
  AddTime(Parent, i++, "Time with its date shown", VarFromDateTime(EncodeDate(2026, 3, 18) + EncodeTime(10, 30, 0, 0)))
      ->GetProperties()
      ->SetShowDate(true);
  AddTime(Parent, i++, "Time, disabled", evening)->SetEnabled(false);
  AddTime(Parent, i++, "Time in place", evening, tfHourMinSec, true, true);
  AddTime(Parent, i++, "Time in place, text that is no time", String("n/a"), tfHourMinSec, true, true);
}

TqvDateEdit* AddDate(TWinControl* Parent, Integer AIndex, const String& ACaption, const Variant& AValue,
                     bool AInplace = false) {
  auto* edit =
      AddEdit<TqvDateEdit>(Parent, NumberCell(AIndex, kMargin + 9 * kNumberRowHeight + 30), ACaption, AInplace);
  edit->SetEditValue(AValue);
  return edit;
}

void BuildDateEditors(TWinControl* Parent) {
  const Variant morning = VarFromDateTime(EncodeDate(2026, 3, 18) + EncodeTime(10, 30, 0, 0));
  Integer i = 0;
  AddDate(Parent, i++, "Date with its time", morning);
  AddDate(Parent, i++, "Date without the time", morning)->GetProperties()->SetShowTime(false);
  AddDate(Parent, i++, "Date, empty", Null());
  AddDate(Parent, i++, "Date, read-only", morning)->GetProperties()->SetReadOnly(true);
  AddDate(Parent, i++, "Date, disabled", morning)->SetEnabled(false);
  AddDate(Parent, i++, "Date in place", morning, true);
  AddDate(Parent, i++, "Date in place, text that is no date", String("n/a"), true);
  AddDate(Parent, i++, "Date, ultra-flat", morning)->GetStyle()->SetBorderStyle(ebsUltraFlat);
}

void BuildCalcEditors(TWinControl* Parent) {
  const Integer top = kMargin + 12 * kNumberRowHeight + 40;
  Integer i = 0;
  AddEdit<TqvCalcEdit>(Parent, NumberCell(i++, top), "Calculator", false)->SetValue(1234.5678);
  AddEdit<TqvCalcEdit>(Parent, NumberCell(i++, top), "Calculator, empty", false)->SetEditValue(Null());
  auto* disabled = AddEdit<TqvCalcEdit>(Parent, NumberCell(i++, top), "Calculator, disabled", false);
  disabled->SetValue(-0.25);
  disabled->SetEnabled(false);
  AddEdit<TqvCalcEdit>(Parent, NumberCell(i++, top), "Calculator in place", true)->SetValue(42);
}

void BuildNumberEditorsPage(TWinControl* Parent) {
  Integer i = 0;
  AddCurrency(Parent, i++, "Currency", 1234.5);
  AddCurrency(Parent, i++, "Negative amount", -87.25);
  AddCurrency(Parent, i++, "Null", Null());
  TqvCurrencyEdit* nullText = AddCurrency(Parent, i++, "Null with a null text", Null());
  nullText->GetProperties()->SetNullString("(no price)");
  AddCurrency(Parent, i++, "Not nullable, Null", Null())->GetProperties()->SetNullable(false);
  AddCurrency(Parent, i++, "Own format \"0.000 'kg'\"", 12.5)->GetProperties()->SetDisplayFormat("0.000 'kg'");
  AddCurrency(Parent, i++, "Read-only", 19.99)->GetProperties()->SetReadOnly(true);
  AddCurrency(Parent, i++, "Disabled", 5.0)->SetEnabled(false);
  AddCurrency(Parent, i++, "In place", 42.0, true);
  AddCurrency(Parent, i++, "In place, text that is no amount", String("n/a"), true);
  TqvCurrencyEdit* focused = AddCurrency(Parent, i++, "Focused: the plain number", 1234.5);
  focused->SetTabOrder(0);
  BuildSpinEditors(Parent);
  BuildTimeEditors(Parent);
  BuildDateEditors(Parent);
  BuildCalcEditors(Parent);
}

const TGalleryPageRegistration NumberEditorsPage("Number and date editors", 701, &BuildNumberEditorsPage);

}  // namespace
