// Row operators, the value-editor helpers and their registry.
#include "grid/qvFilterControlUtils.h"

#include <array>

#include "editors/qvTextEdit.h"
#include "platform/forms/Controls.h"

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

bool TqvCustomFilterEditHelper::KeepsEditButtons(TqvCustomEditProperties*) const { return false; }

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
  AController->Register(&TqvTextEditProperties::StaticClass(), TqvFilterTextEditHelper::Class());
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
  throw Exception(&sqvFilterInvalidValue);
}

void SetFilterValueWildcards(TqvCustomEdit* AEdit, TqvFilterCriteria* ACriteria, bool ALike) {
  auto* properties = AEdit ? As<TqvCustomTextEditProperties>(AEdit->GetActiveProperties()) : nullptr;
  if (!properties || !ACriteria) return;
  TqvCharSet chars = properties->GetValidChars();
  for (char c : {ACriteria->GetPercentWildcard(), ACriteria->GetUnderscoreWildcard()})
    chars.set(static_cast<unsigned char>(c), ALike);
  properties->SetValidChars(chars);
}
