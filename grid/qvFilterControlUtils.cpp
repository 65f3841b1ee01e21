// Row operators, the value-editor helpers and their registry.
#include "grid/qvFilterControlUtils.h"

#include <array>
#include <vector>

#include "editors/qvCalcEdit.h"
#include "editors/qvCheckBox.h"
#include "editors/qvComboBox.h"
#include "editors/qvCurrencyEdit.h"
#include "editors/qvDateEdit.h"
#include "editors/qvHyperLinkEdit.h"
#include "editors/qvImageComboBox.h"
#include "editors/qvMaskEdit.h"
#include "editors/qvMRUEdit.h"
#include "editors/qvMemo.h"
#include "editors/qvRadioGroup.h"
#include "editors/qvSpinEdit.h"
#include "editors/qvTextEdit.h"
#include "editors/qvTimeEdit.h"
#include "platform/forms/Controls.h"
#include "platform/rtl/Scopes.h"

const TResourceString sqvFilterInvalidValue{64100, "Invalid value"};

#define QJ_IMPLEMENT_FILTER_EDIT_HELPER(Cls) \
  QJ_IMPLEMENT_CLASS(Cls)                    \
  TqvFilterEditHelperClass Cls::Class() {    \
    static const Cls instance;               \
    return &instance;                        \
  }

QJ_IMPLEMENT_FILTER_EDIT_HELPER(TqvCustomFilterEditHelper)
QJ_IMPLEMENT_FILTER_EDIT_HELPER(TqvFilterTextEditHelper)
QJ_IMPLEMENT_FILTER_EDIT_HELPER(TqvFilterMemoHelper)
QJ_IMPLEMENT_FILTER_EDIT_HELPER(TqvFilterMRUEditHelper)
QJ_IMPLEMENT_FILTER_EDIT_HELPER(TqvFilterHyperLinkEditHelper)
QJ_IMPLEMENT_FILTER_EDIT_HELPER(TqvFilterMaskEditHelper)
QJ_IMPLEMENT_FILTER_EDIT_HELPER(TqvFilterComboBoxHelper)
QJ_IMPLEMENT_FILTER_EDIT_HELPER(TqvFilterImageComboBoxHelper)
QJ_IMPLEMENT_FILTER_EDIT_HELPER(TqvFilterSpinEditHelper)
QJ_IMPLEMENT_FILTER_EDIT_HELPER(TqvFilterCurrencyEditHelper)
QJ_IMPLEMENT_FILTER_EDIT_HELPER(TqvFilterCalcEditHelper)
QJ_IMPLEMENT_FILTER_EDIT_HELPER(TqvFilterDateEditHelper)
QJ_IMPLEMENT_FILTER_EDIT_HELPER(TqvFilterTimeEditHelper)
QJ_IMPLEMENT_FILTER_EDIT_HELPER(TqvFilterCheckBoxHelper)
QJ_IMPLEMENT_FILTER_EDIT_HELPER(TqvFilterRadioGroupHelper)

// ---------------------------------------------------------------------------------------------
// Row operators

namespace {

// The captions of froEquals .. froNextYear; the filter's own operator words.
const std::array<PResStringRec, qvFilterRowOperatorCount - 1> kOperatorCaptions = {
    &sqvFilterOperatorEqual,     &sqvFilterOperatorNotEqual,     &sqvFilterOperatorLess,
    &sqvFilterOperatorLessEqual, &sqvFilterOperatorGreater,      &sqvFilterOperatorGreaterEqual,
    &sqvFilterOperatorLike,      &sqvFilterOperatorNotLike,      &sqvFilterOperatorIsNull,
    &sqvFilterOperatorIsNotNull, &sqvFilterOperatorBetween,      &sqvFilterOperatorNotBetween,
    &sqvFilterOperatorInList,    &sqvFilterOperatorNotInList,    &sqvFilterOperatorYesterday,
    &sqvFilterOperatorToday,     &sqvFilterOperatorTomorrow,     &sqvFilterOperatorLastWeek,
    &sqvFilterOperatorLastMonth, &sqvFilterOperatorLastYear,     &sqvFilterOperatorThisWeek,
    &sqvFilterOperatorThisMonth, &sqvFilterOperatorThisYear,     &sqvFilterOperatorNextWeek,
    &sqvFilterOperatorNextMonth, &sqvFilterOperatorNextYear,
};

}  // namespace

String GetOperatorCaption(Integer AOperator) {
  if (AOperator <= froNone || AOperator >= qvFilterRowOperatorCount) return String();
  return GetLocalizedResourceString(kOperatorCaptions[size_t(AOperator - 1)]);
}

TqvFilterOperatorKind RowOperatorToOperatorKind(TqvFilterRowOperator AOperator) {
  switch (AOperator) {
    case froNone:
    case froEquals:
    case froBlank:
      return okEqual;
    case froNotEquals:
    case froNotBlank:
      return okNotEqual;
    case froLess: return okLess;
    case froLessOrEqual: return okLessEqual;
    case froGreater: return okGreater;
    case froGreaterOrEqual: return okGreaterEqual;
    case froLike: return okLike;
    case froNotLike: return okNotLike;
    default:
      // froBetween .. froNextYear follow the kinds okBetween .. okNextYear in order.
      return TqvFilterOperatorKind(okBetween + (AOperator - froBetween));
  }
}

TqvFilterRowOperator OperatorKindToRowOperator(TqvFilterOperatorKind AKind, bool AIsNull) {
  switch (AKind) {
    case okEqual: return AIsNull ? froBlank : froEquals;
    case okNotEqual: return AIsNull ? froNotBlank : froNotEquals;
    case okLess:
    case okLessEqual:
    case okGreater:
    case okGreaterEqual:
    case okLike:
    case okNotLike:
      return TqvFilterRowOperator(froLess + (AKind - okLess));
    default:
      if (AKind > okNextYear) return froNone;
      return TqvFilterRowOperator(froBetween + (AKind - okBetween));
  }
}

// ---------------------------------------------------------------------------------------------
// Helpers

namespace {

// The sets shared by several helpers.
constexpr TqvFilterRowOperators kSimpleOperators = froRange(froEquals, froNotBlank);
constexpr TqvFilterRowOperators kListOperators = froRange(froBetween, froNotIn);

}  // namespace

void TqvCustomFilterEditHelper::ResetPropertiesEvents(TqvCustomEditProperties* AProperties) const {
  AProperties->OnButtonClick = nullptr;
  AProperties->OnChange = nullptr;
  AProperties->OnEditValueChanged = nullptr;
  AProperties->OnValidate = nullptr;
}

void TqvCustomFilterEditHelper::PrepareValueEdit(TqvCustomEdit* AEdit, TqvCustomEditProperties* AProperties) const {
  TqvCustomEditProperties* own = AEdit->GetActiveProperties();
  PrepareProperties(own, AProperties, KeepsEditButtons(own));
}

bool TqvCustomFilterEditHelper::KeepsEditButtons(TqvCustomEditProperties* AProperties) const {
  return As<TqvCustomDropDownEditProperties>(AProperties) || As<TqvCustomSpinEditProperties>(AProperties);
}

void TqvCustomFilterEditHelper::ReadFilterValue(TqvCustomEdit*, TqvCustomEditProperties*, Variant&, String&) const {}

TqvFilterRowOperators TqvCustomFilterEditHelper::GetOperators(TqvCustomEditProperties*, bool AExtended) const {
  return AExtended ? kSimpleOperators | kListOperators : kSimpleOperators;
}

void TqvCustomFilterEditHelper::PrepareProperties(TqvCustomEditProperties* AProperties,
                                                  TqvCustomEditProperties* AItemProperties, bool AKeepButtons) const {
  if (AItemProperties) AProperties->Assign(AItemProperties);
  AProperties->GetAlignment()->SetHorz(taLeftJustify);
  AProperties->GetAlignment()->SetVert(taTopJustify);
  AProperties->SetBeepOnError(false);
  if (!AKeepButtons) AProperties->GetButtons()->Clear();
  AProperties->SetReadOnly(false);
  AProperties->SetValidateOnEnter(true);
  ResetPropertiesEvents(AProperties);
}

void TqvCustomFilterEditHelper::WriteFilterValue(TqvCustomEdit*, TqvCustomEditProperties*, const Variant&) const {}

TqvCustomEditPropertiesClass TqvCustomFilterEditHelper::GetValueEditPropertiesClass() const {
  TqvCustomEditClass editClass = GetValueEditClass();
  return editClass ? editClass->GetPropertiesClass() : nullptr;
}

TqvCustomEditClass TqvFilterTextEditHelper::GetValueEditClass() const { return &TqvTextEdit::StaticClass(); }

void TqvFilterTextEditHelper::ReadFilterValue(TqvCustomEdit* AEdit, TqvCustomEditProperties*, Variant& AValue,
                                              String& ADisplayText) const {
  AValue = AEdit->GetEditValue();
  ADisplayText = AEdit->GetText();
}

void TqvFilterTextEditHelper::PrepareProperties(TqvCustomEditProperties* AProperties,
                                                TqvCustomEditProperties* AItemProperties, bool AKeepButtons) const {
  inherited::PrepareProperties(AProperties, AItemProperties, AKeepButtons);
  AProperties->SetAutoSelect(true);
  if (auto* text = As<TqvCustomTextEditProperties>(AProperties)) {
    text->SetHideCursor(false);
    text->SetHideSelection(true);
  }
}

void TqvFilterTextEditHelper::WriteFilterValue(TqvCustomEdit* AEdit, TqvCustomEditProperties*,
                                               const Variant& AValue) const {
  AEdit->SetEditValue(AValue);
}

TqvFilterRowOperators TqvFilterMemoHelper::GetOperators(TqvCustomEditProperties*, bool) const {
  return froBit(froLike) | froBit(froNotLike) | froBit(froBlank) | froBit(froNotBlank);
}

namespace {

// Comparisons and the blanks: what a value without patterns offers.
constexpr TqvFilterRowOperators kComparisons = froRange(froEquals, froGreaterOrEqual) | froBit(froBlank) | froBit(froNotBlank);
// Equality and the blanks: what a choice among fixed values offers.
constexpr TqvFilterRowOperators kEqualities =
    froBit(froEquals) | froBit(froNotEquals) | froBit(froBlank) | froBit(froNotBlank);
constexpr TqvFilterRowOperators kInLists = froBit(froIn) | froBit(froNotIn);

// The combo box of a list-choosing value editor.
TqvCustomComboBox* ComboOf(TqvCustomEdit* AEdit) { return As<TqvCustomComboBox>(AEdit); }

// The value editor's combo box offers exactly ALines, and calls no handler of the item's.
void MakeFixedList(const TqvCustomFilterEditHelper* AHelper, TqvCustomComboBoxProperties* ACombo,
                   const std::vector<String>& ALines) {
  TStrings* items = ACombo->GetLookupItems();
  {
    TUpdateScope update(items);
    items->Clear();
    for (const String& line : ALines) items->Add(line);
  }
  ACombo->SetDropDownListStyle(lsFixedList);
  AHelper->ResetPropertiesEvents(ACombo);
}

}  // namespace

TqvCustomEditClass TqvFilterHyperLinkEditHelper::GetValueEditClass() const {
  return &TqvHyperLinkEdit::StaticClass();
}

TqvCustomEditClass TqvFilterMaskEditHelper::GetValueEditClass() const { return &TqvMaskEdit::StaticClass(); }

TqvFilterRowOperators TqvFilterMaskEditHelper::GetOperators(TqvCustomEditProperties* AProperties,
                                                            bool AExtended) const {
  auto* mask = As<TqvCustomMaskEditProperties>(AProperties);
  const TqvFilterRowOperators simple = mask && mask->IsMasked() ? kComparisons : kSimpleOperators;
  return AExtended ? simple | kListOperators : simple;
}

void TqvFilterMaskEditHelper::PrepareProperties(TqvCustomEditProperties* AProperties,
                                                TqvCustomEditProperties* AItemProperties, bool AKeepButtons) const {
  inherited::PrepareProperties(AProperties, AItemProperties, AKeepButtons);
  auto* mask = As<TqvCustomMaskEditProperties>(AProperties);
  if (!mask) return;
  auto* itemMask = As<TqvCustomMaskEditProperties>(AItemProperties);
  // The extended syntax also accepts what is typed while the pattern is incomplete.
  if (itemMask && itemMask->GetMaskKind() == emkRegExpr) mask->SetMaskKind(emkRegExprEx);
  mask->SetAutoSelect(!mask->IsMasked());
}

TqvCustomEditClass TqvFilterComboBoxHelper::GetValueEditClass() const { return &TqvComboBox::StaticClass(); }

void TqvFilterComboBoxHelper::PrepareProperties(TqvCustomEditProperties* AProperties,
                                                TqvCustomEditProperties* AItemProperties, bool AKeepButtons) const {
  inherited::PrepareProperties(AProperties, AItemProperties, AKeepButtons);
  auto* combo = As<TqvCustomComboBoxProperties>(AProperties);
  if (!combo) return;
  combo->SetButtonGlyph(nullptr);
  combo->SetDropDownRows(7);
  combo->SetDropDownListStyle(lsEditList);
  combo->SetImmediateDropDown(false);
  combo->SetPopupAlignment(taLeftJustify);
  combo->SetRevertable(false);
}

TqvCustomEditClass TqvFilterImageComboBoxHelper::GetValueEditClass() const {
  return &TqvImageComboBox::StaticClass();
}

TqvFilterRowOperators TqvFilterImageComboBoxHelper::GetOperators(TqvCustomEditProperties*, bool AExtended) const {
  return AExtended ? kEqualities | kInLists : kEqualities;
}

void TqvFilterImageComboBoxHelper::PrepareProperties(TqvCustomEditProperties* AProperties,
                                                     TqvCustomEditProperties* AItemProperties,
                                                     bool AKeepButtons) const {
  inherited::PrepareProperties(AProperties, AItemProperties, AKeepButtons);
  auto* combo = As<TqvCustomImageComboBoxProperties>(AProperties);
  if (!combo) return;
  combo->SetDropDownListStyle(lsFixedList);
  combo->SetImmediateDropDown(true);
  combo->SetShowDescriptions(true);
}

void TqvFilterImageComboBoxHelper::ReadFilterValue(TqvCustomEdit* AEdit, TqvCustomEditProperties* AProperties,
                                                   Variant& AValue, String& ADisplayText) const {
  AValue = AEdit->GetEditValue();
  ADisplayText = AEdit->GetActiveProperties()->GetDisplayText(AValue, true);
  (void)AProperties;
}

TqvCustomEditClass TqvFilterSpinEditHelper::GetValueEditClass() const { return &TqvSpinEdit::StaticClass(); }

TqvFilterRowOperators TqvFilterSpinEditHelper::GetOperators(TqvCustomEditProperties*, bool AExtended) const {
  return AExtended ? kComparisons | kListOperators : kComparisons;
}

void TqvFilterSpinEditHelper::PrepareProperties(TqvCustomEditProperties* AProperties,
                                                TqvCustomEditProperties* AItemProperties, bool AKeepButtons) const {
  inherited::PrepareProperties(AProperties, AItemProperties, AKeepButtons);
  if (auto* spin = As<TqvCustomSpinEditProperties>(AProperties)) spin->SetCanEdit(true);
}

TqvCustomEditClass TqvFilterCurrencyEditHelper::GetValueEditClass() const {
  return &TqvCurrencyEdit::StaticClass();
}

TqvFilterRowOperators TqvFilterCurrencyEditHelper::GetOperators(TqvCustomEditProperties*, bool AExtended) const {
  return AExtended ? kComparisons | kListOperators : kComparisons;
}

void TqvFilterCurrencyEditHelper::PrepareProperties(TqvCustomEditProperties* AProperties,
                                                    TqvCustomEditProperties* AItemProperties,
                                                    bool AKeepButtons) const {
  inherited::PrepareProperties(AProperties, AItemProperties, AKeepButtons);
  auto* currency = As<TqvCustomCurrencyEditProperties>(AProperties);
  if (!currency) return;
  currency->SetMinValue(0);
  currency->SetMaxValue(0);
  currency->SetNullable(true);
  currency->SetNullString(String());
}

TqvCustomEditClass TqvFilterCalcEditHelper::GetValueEditClass() const { return &TqvCalcEdit::StaticClass(); }

TqvFilterRowOperators TqvFilterCalcEditHelper::GetOperators(TqvCustomEditProperties*, bool AExtended) const {
  return AExtended ? kComparisons | kListOperators : kComparisons;
}

void TqvFilterCalcEditHelper::PrepareProperties(TqvCustomEditProperties* AProperties,
                                                TqvCustomEditProperties* AItemProperties, bool AKeepButtons) const {
  inherited::PrepareProperties(AProperties, AItemProperties, AKeepButtons);
  if (auto* calc = As<TqvCustomCalcEditProperties>(AProperties)) calc->SetQuickClose(true);
}

TqvCustomEditClass TqvFilterDateEditHelper::GetValueEditClass() const { return &TqvDateEdit::StaticClass(); }

TqvFilterRowOperators TqvFilterDateEditHelper::GetOperators(TqvCustomEditProperties*, bool AExtended) const {
  return AExtended ? kComparisons | froRange(froBetween, froNextYear) : kComparisons;
}

void TqvFilterDateEditHelper::PrepareProperties(TqvCustomEditProperties* AProperties,
                                                TqvCustomEditProperties* AItemProperties, bool AKeepButtons) const {
  inherited::PrepareProperties(AProperties, AItemProperties, AKeepButtons);
  auto* date = As<TqvCustomDateEditProperties>(AProperties);
  if (!date) return;
  date->SetDateButtons(DateButtonBit(btnToday) | DateButtonBit(btnClear));
  date->SetDateOnError(deNull);
  date->SetInputKind(ikRegExpr);
  date->SetSaveTime(true);
}

TqvCustomEditClass TqvFilterTimeEditHelper::GetValueEditClass() const { return &TqvTimeEdit::StaticClass(); }

void TqvFilterTimeEditHelper::PrepareValueEdit(TqvCustomEdit* AEdit, TqvCustomEditProperties* AProperties) const {
  inherited::PrepareValueEdit(AEdit, AProperties);
  if (auto* time = As<TqvCustomTimeEdit>(AEdit)) time->SetTime(0);
}

TqvCustomEditClass TqvFilterCheckBoxHelper::GetValueEditClass() const { return &TqvComboBox::StaticClass(); }

TqvFilterRowOperators TqvFilterCheckBoxHelper::GetOperators(TqvCustomEditProperties*, bool) const {
  return kEqualities;
}

void TqvFilterCheckBoxHelper::PrepareProperties(TqvCustomEditProperties* AProperties,
                                                TqvCustomEditProperties* AItemProperties, bool) const {
  auto* combo = As<TqvCustomComboBoxProperties>(AProperties);
  auto* check = As<TqvCustomCheckBoxProperties>(AItemProperties);
  if (!combo) return;
  std::vector<String> lines;
  if (check) lines = {check->GetDisplayText(check->GetValueChecked()), check->GetDisplayText(check->GetValueUnchecked())};
  MakeFixedList(this, combo, lines);
}

void TqvFilterCheckBoxHelper::ReadFilterValue(TqvCustomEdit* AEdit, TqvCustomEditProperties* AProperties,
                                              Variant& AValue, String& ADisplayText) const {
  TqvCustomComboBox* combo = ComboOf(AEdit);
  auto* check = As<TqvCustomCheckBoxProperties>(AProperties);
  const Integer index = combo ? combo->GetItemIndex() : -1;
  if (!check || index < 0 || index > 1) {
    AValue = Null();
    ADisplayText = String();
    return;
  }
  AValue = index == 0 ? check->GetValueChecked() : check->GetValueUnchecked();
  ADisplayText = check->GetDisplayText(AValue);
}

void TqvFilterCheckBoxHelper::WriteFilterValue(TqvCustomEdit* AEdit, TqvCustomEditProperties* AItemProperties,
                                               const Variant& AValue) const {
  TqvCustomComboBox* combo = ComboOf(AEdit);
  auto* check = As<TqvCustomCheckBoxProperties>(AItemProperties);
  if (!combo || !check) return;
  switch (check->StateOf(AValue)) {
    case cbsChecked: combo->SetItemIndex(0); break;
    case cbsUnchecked: combo->SetItemIndex(1); break;
    default: combo->SetItemIndex(-1); break;
  }
}

TqvCustomEditClass TqvFilterRadioGroupHelper::GetValueEditClass() const { return &TqvComboBox::StaticClass(); }

TqvFilterRowOperators TqvFilterRadioGroupHelper::GetOperators(TqvCustomEditProperties*, bool AExtended) const {
  return AExtended ? kEqualities | kInLists : kEqualities;
}

void TqvFilterRadioGroupHelper::PrepareProperties(TqvCustomEditProperties* AProperties,
                                                  TqvCustomEditProperties* AItemProperties, bool) const {
  auto* combo = As<TqvCustomComboBoxProperties>(AProperties);
  auto* group = As<TqvCustomRadioGroupProperties>(AItemProperties);
  if (!combo) return;
  std::vector<String> lines;
  if (group)
    for (Integer i = 0; i < group->GetItems()->GetCount(); ++i) lines.push_back(group->GetItems()->GetItem(i)->GetCaption());
  MakeFixedList(this, combo, lines);
}

void TqvFilterRadioGroupHelper::ReadFilterValue(TqvCustomEdit* AEdit, TqvCustomEditProperties* AProperties,
                                                Variant& AValue, String& ADisplayText) const {
  TqvCustomComboBox* combo = ComboOf(AEdit);
  auto* group = As<TqvCustomRadioGroupProperties>(AProperties);
  if (!group) return;
  const Integer index = combo ? combo->GetItemIndex() : -1;
  if (index < 0 || index >= group->GetItems()->GetCount()) {
    AValue = group->GetDefaultValue();
    ADisplayText = group->GetDefaultCaption();
    return;
  }
  TqvRadioGroupItem* item = group->GetItems()->GetItem(index);
  AValue = item->GetValue();
  ADisplayText = item->GetCaption();
}

void TqvFilterRadioGroupHelper::WriteFilterValue(TqvCustomEdit* AEdit, TqvCustomEditProperties* AItemProperties,
                                                 const Variant& AValue) const {
  TqvCustomComboBox* combo = ComboOf(AEdit);
  auto* group = As<TqvCustomRadioGroupProperties>(AItemProperties);
  if (combo && group) combo->SetItemIndex(group->GetRadioGroupItemIndex(AValue));
}

// ---------------------------------------------------------------------------------------------
// Registry

void TqvFilterEditsController::Register(TClass AClass, TClass AValue) {
  if (AClass && AClass->Parent) TqvRegisteredClassList::Register(AClass->Parent, AValue);
}

void TqvFilterEditsController::Unregister(TClass AClass, TClass AValue) {
  if (AClass && AClass->Parent) TqvRegisteredClassList::Unregister(AClass->Parent, AValue);
}

void TqvFilterEditsController::Register(TqvCustomEditPropertiesClass APropertiesClass,
                                        TqvFilterEditHelperClass AHelper) {
  Register(static_cast<TClass>(APropertiesClass), AHelper->ClassType());
}

void TqvFilterEditsController::Unregister(TqvCustomEditPropertiesClass APropertiesClass,
                                          TqvFilterEditHelperClass AHelper) {
  Unregister(static_cast<TClass>(APropertiesClass), AHelper->ClassType());
}

TqvFilterEditHelperClass TqvFilterEditsController::FindHelper(TClass APropertiesClass) const {
  if (!APropertiesClass || !APropertiesClass->Parent) return nullptr;
  TClass helper = FindClass(APropertiesClass->Parent);
  return helper ? static_cast<const TqvFilterEditHelperMetaClass*>(helper)->GetHelper() : nullptr;
}

namespace {

// The helpers of the editor kinds, registered when the registry is made.
void RegisterBuiltInHelpers(TqvFilterEditsController* AController) {
  AController->Register(&TqvCalcEditProperties::StaticClass(), TqvFilterCalcEditHelper::Class());
  AController->Register(&TqvCheckBoxProperties::StaticClass(), TqvFilterCheckBoxHelper::Class());
  AController->Register(&TqvComboBoxProperties::StaticClass(), TqvFilterComboBoxHelper::Class());
  AController->Register(&TqvCurrencyEditProperties::StaticClass(), TqvFilterCurrencyEditHelper::Class());
  AController->Register(&TqvDateEditProperties::StaticClass(), TqvFilterDateEditHelper::Class());
  AController->Register(&TqvHyperLinkEditProperties::StaticClass(), TqvFilterHyperLinkEditHelper::Class());
  AController->Register(&TqvImageComboBoxProperties::StaticClass(), TqvFilterImageComboBoxHelper::Class());
  AController->Register(&TqvMaskEditProperties::StaticClass(), TqvFilterMaskEditHelper::Class());
  AController->Register(&TqvMemoProperties::StaticClass(), TqvFilterMemoHelper::Class());
  AController->Register(&TqvMRUEditProperties::StaticClass(), TqvFilterMRUEditHelper::Class());
  AController->Register(&TqvRadioGroupProperties::StaticClass(), TqvFilterRadioGroupHelper::Class());
  AController->Register(&TqvSpinEditProperties::StaticClass(), TqvFilterSpinEditHelper::Class());
  AController->Register(&TqvTextEditProperties::StaticClass(), TqvFilterTextEditHelper::Class());
  AController->Register(&TqvTimeEditProperties::StaticClass(), TqvFilterTimeEditHelper::Class());
}

}  // namespace

TqvFilterEditsController* GetFilterEditsController() {
  static const std::unique_ptr<TqvFilterEditsController> controller = [] {
    auto result = std::make_unique<TqvFilterEditsController>();
    RegisterBuiltInHelpers(result.get());
    return result;
  }();
  return controller.get();
}

// ---------------------------------------------------------------------------------------------
// Value editors and values

TqvCustomEdit* CreateValueEdit(TqvFilterEditHelperClass AHelper, TqvCustomEditProperties* AItemProperties,
                               TqvInplaceEditList* AInplaceEditList) {
  TqvCustomEditClass editClass = AHelper->GetValueEditClass();
  if (!editClass) return nullptr;
  TqvCustomEdit* edit = AInplaceEditList
                            ? AInplaceEditList->GetEditByPropertiesClass(editClass->GetPropertiesClass())
                            : TqvCustomEdit::CreateInplace(editClass, nullptr, false);
  AHelper->PrepareValueEdit(edit, AItemProperties);
  return edit;
}

void VerifyFilterValue(TWinControl* AControl, Variant& AValue, TqvFilterRowOperator AOperator,
                       TqvValueTypeClass AValueTypeClass) {
  if (!AValueTypeClass) return;
  if (VarIsStr(AValue) && VarToStr(AValue).empty() && !AValueTypeClass->IsString()) AValue = Null();
  if (VarIsNull(AValue) || IsLikeOperator(AOperator)) return;
  if (AValueTypeClass->IsValueValid(AValue)) return;
  if (AControl && AControl->CanFocus()) AControl->SetFocus();
  RaiseResourceError(&sqvFilterInvalidValue);
}

void SetFilterValueWildcards(TqvCustomEdit* AEdit, TqvFilterCriteria* ACriteria, bool ALike) {
  auto* properties = AEdit ? As<TqvCustomTextEditProperties>(AEdit->GetActiveProperties()) : nullptr;
  if (!properties || !ACriteria) return;
  TqvCharSet chars = properties->GetValidChars();
  for (char c : {ACriteria->GetPercentWildcard(), ACriteria->GetUnderscoreWildcard()})
    chars.set(static_cast<unsigned char>(c), ALike);
  properties->SetValidChars(chars);
}
