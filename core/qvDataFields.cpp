// Data fields: one per item, plus internal fields without item. A field owns the storage column
// of its values or shares the column of another field (its reference field).
#include <algorithm>

#include "core/qvClasses.h"
#include "core/qvCustomData.h"
#include "platform/rtl/ClassesConsts.h"

QJ_IMPLEMENT_CLASS(TqvCustomDataField)
QJ_IMPLEMENT_CLASS(TqvCustomDataFieldList)

// ---------------------------------------------------------------------------------------------
// TqvCustomDataField

TqvCustomDataField::TqvCustomDataField(TqvCustomDataFieldList* AFieldList) : FFieldList(AFieldList) {}

TqvCustomDataField::~TqvCustomDataField() {
  if (FFieldList) FFieldList->FieldDestroying(this);
  FreeValueDef();
}

TqvCustomDataController* TqvCustomDataField::GetDataController() const {
  return FFieldList->GetDataController();
}

TqvDataControllerNotifier* TqvCustomDataField::GetNotifier() const { return GetDataController()->GetNotifier(); }

Integer TqvCustomDataField::GetIndex() const { return FFieldList->IndexOf(this); }

void TqvCustomDataField::SetIndex(Integer AIndex) { FFieldList->Move(GetIndex(), AIndex); }

void TqvCustomDataField::SetIsInternal(bool AValue) {
  if (FIsInternal == AValue) return;
  FIsInternal = AValue;
  FFieldList->RecountInternal();
}

const TqvCustomDataField* TqvCustomDataField::ChainEnd() const {
  const TqvCustomDataField* field = this;
  while (field->FReferenceField) field = field->FReferenceField;
  return field;
}

TqvValueDef* TqvCustomDataField::GetStorageDef() const { return ChainEnd()->FValueDef; }

TqvValueTypeClass TqvCustomDataField::GetEffectiveValueType() const { return ChainEnd()->FValueTypeClass; }

bool TqvCustomDataField::GetTextStored() const { return ChainEnd()->FTextStored; }

void TqvCustomDataField::ChangeValueType(TqvValueTypeClass AValueTypeClass) {
  if (FReferenceField || FValueTypeClass == AValueTypeClass) return;
  BeginRecreateData();
  FValueTypeClass = AValueTypeClass;
  EndValueDefRebuild();
}

void TqvCustomDataField::SetKeepsDisplayText(bool AValue) {
  if (FReferenceField || FTextStored == AValue) return;
  BeginRecreateData();
  FTextStored = AValue;
  EndValueDefRebuild();
}

void TqvCustomDataField::FreeValueDef() {
  TqvValueDef* def = FValueDef;
  FValueDef = nullptr;
  Free(def);
}

void TqvCustomDataField::BeginRecreateData() {
  if (FRecreateLockCount == 0) FreeValueDef();
  ++FRecreateLockCount;
}

void TqvCustomDataField::EndValueDefRebuild() {
  if (FRecreateLockCount == 0) return;
  if (--FRecreateLockCount > 0 || FReferenceField || !FValueTypeClass) return;
  TqvValueDefs* defs = GetDataController()->GetStorage()->GetOrdinaryValueDefs();
  FValueDef = defs->Add(FValueTypeClass, FIsInternal, FTextStored, this);
}

void TqvCustomDataField::ShareDefinitionOf(TqvCustomDataField* AField) {
  if (AField == FReferenceField) return;
  TqvCustomDataField* end = AField;
  while (end && end->FReferenceField) end = end->FReferenceField;
  if (end == this) return;
  if (!FReferenceField && FValueTypeClass) {
    BeginRecreateData();
    FValueTypeClass = nullptr;
    EndValueDefRebuild();
  }
  FReferenceField = end;
}

void TqvCustomDataField::TakeOverValueDef(TqvCustomDataField* ASource) {
  FReferenceField = nullptr;
  FreeValueDef();
  FValueDef = ASource->FValueDef;
  FValueTypeClass = ASource->FValueTypeClass;
  FTextStored = ASource->FTextStored;
  ASource->FValueDef = nullptr;
  ASource->FValueTypeClass = nullptr;
  if (FValueDef) FValueDef->SetClient(this);
}

bool TqvCustomDataField::CanModify(bool) const {
  return GetStorageDef() != nullptr || GetDataController()->IsProviderMode();
}

void TqvCustomDataField::NotifyLayoutChanged() { GetDataController()->LayoutChanged(1); }

// ---------------------------------------------------------------------------------------------
// TqvCustomDataFieldList

TqvCustomDataFieldList::TqvCustomDataFieldList(TqvCustomDataController* ADataController)
    : FDataController(ADataController) {}

TqvCustomDataFieldList::~TqvCustomDataFieldList() { Clear(); }

void TqvCustomDataFieldList::Add(TqvCustomDataField* AField) {
  if (AField->GetIsInternal())
    FItems.push_back(AField);
  else
    FItems.insert(FItems.begin() + GetItemCount(), AField);
  RecountInternal();
}

void TqvCustomDataFieldList::RecountInternal() {
  FInternalCount = static_cast<Integer>(
      std::count_if(FItems.begin(), FItems.end(), [](const TqvCustomDataField* f) { return f->GetIsInternal(); }));
}

TqvCustomDataField* TqvCustomDataFieldList::FieldByItem(TObject* AItem) const {
  for (TqvCustomDataField* field : FItems)
    if (field->GetItem() == AItem) return field;
  return nullptr;
}

void TqvCustomDataFieldList::FieldDestroying(TqvCustomDataField* AField) {
  FieldDestroyed = true;
  FDataController->FieldRemoving(AField);
  TransferReferences(AField);
  auto it = std::find(FItems.begin(), FItems.end(), AField);
  if (it != FItems.end()) FItems.erase(it);
  RecountInternal();
}

void TqvCustomDataFieldList::TransferReferences(TqvCustomDataField* AField) {
  TqvCustomDataField* heir = nullptr;
  for (TqvCustomDataField* field : FItems) {
    if (field == AField || field->GetReferenceField() != AField) continue;
    if (!heir) {
      heir = field;
      heir->TakeOverValueDef(AField);
    } else {
      field->ShareDefinitionOf(heir);
    }
  }
}

void TqvCustomDataFieldList::Clear() {
  while (!FItems.empty()) Free(FItems.back());
}

void TqvCustomDataFieldList::Move(Integer ACurIndex, Integer ANewIndex) {
  if (ACurIndex < 0 || ACurIndex >= GetCount() || ANewIndex < 0 || ANewIndex >= GetCount())
    RaiseResourceError<EListError>(&SListIndexError, {ANewIndex});
  TqvCustomDataField* field = FItems[ACurIndex];
  FItems.erase(FItems.begin() + ACurIndex);
  FItems.insert(FItems.begin() + ANewIndex, field);
}

TqvCustomDataField* TqvCustomDataFieldList::GetItem(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetCount())
    RaiseResourceError<EListError>(&SListIndexError, {AIndex});
  return FItems[AIndex];
}

Integer TqvCustomDataFieldList::IndexOf(const TqvCustomDataField* AField) const {
  auto it = std::find(FItems.begin(), FItems.end(), AField);
  return it == FItems.end() ? -1 : static_cast<Integer>(it - FItems.begin());
}

void TqvCustomDataFieldList::NotifyComponentRemoved(TComponent* AComponent) {
  for (Integer i = 0; i < GetCount(); ++i) FItems[i]->NotifyComponentRemoved(AComponent);
}
