// The data controller's filter: conditions on the controller's data fields, linked in streams by
// the controller's item IDs, and refreshing the controller when they change.
#include "core/qvCustomData.h"
#include "core/qvFilter.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvDataFilterCriteriaItem)
QJ_IMPLEMENT_CLASS(TqvDataFilterCriteria)

// ---------------------------------------------------------------------------------------------
// Conditions

TqvCustomDataField* TqvDataFilterCriteriaItem::GetField() const {
  return dynamic_cast<TqvCustomDataField*>(GetItemLinkObject());
}

TqvCustomDataController* TqvDataFilterCriteriaItem::GetDataController() const {
  auto* filter = dynamic_cast<TqvDataFilterCriteria*>(GetCriteria());
  return filter ? filter->GetDataController() : nullptr;
}

Variant TqvDataFilterCriteriaItem::GetDataValue(Integer ARecordIndex) {
  TqvCustomDataField* field = GetField();
  TqvCustomDataController* controller = GetDataController();
  if (!field || !controller) return Null();
  return controller->GetFilterValue(ARecordIndex, field);
}

String TqvDataFilterCriteriaItem::GetFieldCaption() {
  TqvCustomDataField* field = GetField();
  TqvCustomDataController* controller = GetDataController();
  if (!field || !controller || field->GetIsInternal()) return String();
  return controller->GetItemDisplayName(field->GetIndex());
}

String TqvDataFilterCriteriaItem::GetFieldName() {
  TqvCustomDataField* field = GetField();
  TqvCustomDataController* controller = GetDataController();
  if (!field || !controller || field->GetIsInternal()) return String();
  return controller->GetItemFilterFieldName(field->GetIndex());
}

TObject* TqvDataFilterCriteriaItem::GetItemLink() const {
  TqvCustomDataField* field = GetField();
  return field ? field->GetItem() : nullptr;
}

// ---------------------------------------------------------------------------------------------
// The filter

TqvDataFilterCriteria::~TqvDataFilterCriteria() {
  FBeingDestroyed = true;
  SetActive(false);
}

TObject* TqvDataFilterCriteria::FieldOfLink(TObject* AItemLink) const {
  if (!AItemLink || dynamic_cast<TqvCustomDataField*>(AItemLink) || !FDataController) return AItemLink;
  return FDataController->GetFields()->FieldByItem(AItemLink);
}

void TqvDataFilterCriteria::SetActive(bool AValue) {
  if (FActive == AValue) return;
  FActive = AValue;
  CheckChanged();
}

void TqvDataFilterCriteria::Assign(TPersistent* ASource) {
  auto* source = As<TqvDataFilterCriteria>(ASource);
  if (!source) {
    inherited::Assign(ASource);
    return;
  }
  TCancellableUpdateScope<TqvDataFilterCriteria> update(this);
  inherited::Assign(ASource);
  SetActive(source->GetActive());
}

void TqvDataFilterCriteria::AssignEvents(TPersistent* ASource) {
  inherited::AssignEvents(ASource);
  if (auto* source = As<TqvDataFilterCriteria>(ASource)) OnGetValueList = source->OnGetValueList;
}

TqvFilterCriteriaItem* TqvDataFilterCriteria::AddItem(TqvFilterCriteriaItemList* AParent, TObject* AItemLink,
                                                      TqvFilterOperatorKind AOperatorKind, const Variant& AValue,
                                                      const String& ADisplayValue) {
  return inherited::AddItem(AParent, FieldOfLink(AItemLink), AOperatorKind, AValue, ADisplayValue);
}

TqvFilterCriteriaItem* TqvDataFilterCriteria::FindItemByItemLink(TObject* AItemLink) {
  return inherited::FindItemByItemLink(FieldOfLink(AItemLink));
}

Integer TqvDataFilterCriteria::GetItemLinkID(TObject* AItemLink) {
  auto* field = dynamic_cast<TqvCustomDataField*>(AItemLink);
  if (!field || !FDataController) return -1;
  return FDataController->GetItemID(field->GetItem());
}

TObject* TqvDataFilterCriteria::GetItemLinkByID(Integer AID) {
  return FDataController ? FDataController->FindItemByID(AID) : nullptr;
}

TqvFilterCriteriaItemClass TqvDataFilterCriteria::GetItemClass() const {
  return &TqvDataFilterCriteriaItem::StaticClass();
}

TqvFilterValueListClass TqvDataFilterCriteria::GetValueListClass() const {
  return &TqvDataFilterValueList::StaticClass();
}

void TqvDataFilterCriteria::Changed() {
  if (FBeingDestroyed) return;
  if (FDataController && (FDataController->IsOwnerLoading() || FDataController->IsOwnerDestroying())) return;
  PrepareOperators();
  if (FDataController) {
    // The refresh notifies the view, whose handlers may free the controller and this filter.
    TAliveToken alive = FDataController->AliveToken();
    FDataController->Refresh();
    if (!alive) return;
  }
  if (!OnChanged) return;
  TNotifyEvent handler = OnChanged;
  handler(this);
}

TOwned<TqvFilterValueList> TqvDataFilterCriteria::CreateValueList() {
  return TOwned<TqvFilterValueList>(GetValueListClass()->Create(this));
}

bool TqvDataFilterCriteria::IsFiltering() const {
  return FActive && !IsEmpty() && !(FDataController && FDataController->IsGridMode());
}
