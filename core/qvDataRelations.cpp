// Master/detail support of the data controller: relations to detail levels, the detail object
// each master record keeps in an internal object field, and keeping detail controllers bound to
// their master record while master records are inserted and deleted.
#include <algorithm>

#include "core/qvClasses.h"
#include "core/qvCustomData.h"
#include "platform/rtl/ClassesConsts.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvDetailInfoObject)
QJ_IMPLEMENT_CLASS(TqvDetailObject)
QJ_IMPLEMENT_CLASS(TqvCustomDataRelation)
QJ_IMPLEMENT_CLASS(TqvCustomDataRelationList)

// ---------------------------------------------------------------------------------------------
// Detail objects

TqvDetailInfoObject::~TqvDetailInfoObject() { Free(LinkObject); }

TqvDetailObject::~TqvDetailObject() { ClearInfoObjects(-1); }

void TqvDetailObject::GrowInfoCount(Integer ACount) {
  if (ACount > GetInfoCount()) FInfoObjects.resize(static_cast<size_t>(ACount), nullptr);
}

TqvDetailInfoObject* TqvDetailObject::GetInfoObject(Integer ARelationIndex) const {
  if (ARelationIndex < 0 || ARelationIndex >= GetInfoCount()) return nullptr;
  return FInfoObjects[ARelationIndex];
}

TqvDetailInfoObject* TqvDetailObject::GetOrCreateInfoObject(Integer ARelationIndex) {
  if (ARelationIndex < 0) return nullptr;
  GrowInfoCount(ARelationIndex + 1);
  TqvDetailInfoObject*& info = FInfoObjects[ARelationIndex];
  if (!info) info = new TqvDetailInfoObject();
  return info;
}

TObject* TqvDetailObject::GetLinkObject(Integer ARelationIndex) const {
  TqvDetailInfoObject* info = GetInfoObject(ARelationIndex);
  return info ? info->LinkObject : nullptr;
}

bool TqvDetailObject::HasLinkObject(Integer ARelationIndex) const {
  if (ARelationIndex >= 0) return GetLinkObject(ARelationIndex) != nullptr;
  return std::any_of(FInfoObjects.begin(), FInfoObjects.end(),
                     [](const TqvDetailInfoObject* info) { return info && info->LinkObject; });
}

bool TqvDetailObject::ClearInfoObjects(Integer ARelationIndex) {
  bool any = false;
  for (Integer i = 0; i < GetInfoCount(); ++i) {
    if (ARelationIndex >= 0 && i != ARelationIndex) continue;
    TqvDetailInfoObject* info = FInfoObjects[i];
    FInfoObjects[i] = nullptr;
    any = any || info;
    Free(info);
  }
  return any;
}

// ---------------------------------------------------------------------------------------------
// TqvCustomDataRelation

TqvCustomDataRelation::TqvCustomDataRelation(TqvCustomDataRelationList* ARelationList, TObject* AItem)
    : FRelationList(ARelationList), FItem(AItem) {}

void TqvCustomDataRelation::AfterConstruction() {
  inherited::AfterConstruction();
  FRelationList->InsertRelation(this);
}

TqvCustomDataRelation::~TqvCustomDataRelation() {
  if (TqvCustomDataController* pattern = FDetailDataController)
    pattern->AttachToRelation(nullptr, pattern->FPatternFlag);
  FRelationList->RemoveRelation(this);
}

void TqvCustomDataRelation::Changed() { FRelationList->Changed(this); }

TqvCustomDataController* TqvCustomDataRelation::GetDataController() const {
  return FRelationList->GetDataController();
}

Integer TqvCustomDataRelation::GetIndex() const { return FRelationList->IndexOf(this); }

// ---------------------------------------------------------------------------------------------
// TqvCustomDataRelationList

TqvCustomDataRelationList::TqvCustomDataRelationList(TqvCustomDataController* ADataController)
    : FDataController(ADataController) {}

TqvCustomDataRelationList::~TqvCustomDataRelationList() {
  ++FLockCount;
  while (!FItems.empty()) Free(FItems.back());
  FreeDataField();
}

TqvCustomDataRelation* TqvCustomDataRelationList::Add(TObject* AItem) {
  return FDataController->GetRelationClass()->Create(this, AItem);
}

TqvCustomDataRelation* TqvCustomDataRelationList::FindByItem(TObject* AItem) const {
  for (TqvCustomDataRelation* relation : FItems)
    if (relation->GetItem() == AItem) return relation;
  return nullptr;
}

TqvCustomDataRelation* TqvCustomDataRelationList::GetItem(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetCount())
    RaiseResourceError<EListError>(&SListIndexError, {AIndex});
  return FItems[AIndex];
}

Integer TqvCustomDataRelationList::IndexOf(const TqvCustomDataRelation* ARelation) const {
  auto it = std::find(FItems.begin(), FItems.end(), ARelation);
  return it == FItems.end() ? -1 : static_cast<Integer>(it - FItems.begin());
}

void TqvCustomDataRelationList::InsertRelation(TqvCustomDataRelation* ARelation) {
  FItems.push_back(ARelation);
  Changed(ARelation);
}

// Every detail controller shown for the relation loses its master relation first.
void TqvCustomDataRelationList::RemoveRelation(TqvCustomDataRelation* ARelation) {
  Integer index = IndexOf(ARelation);
  if (index < 0) return;
  if (FDataField) {
    for (Integer r = 0; r < FDataController->GetRecordCount(); ++r) {
      TqvDetailObject* detail = FindDetailObject(r);
      if (!detail) continue;
      if (TqvCustomDataController* clone = FDataController->GetDetailDataController(detail->GetLinkObject(index)))
        clone->FMasterRelation = nullptr;
    }
  }
  FItems.erase(FItems.begin() + index);
  Changed(nullptr);
}

void TqvCustomDataRelationList::Assign(TqvCustomDataRelationList* AList) {
  TUpdateScope update(this);
  while (!FItems.empty()) Free(FItems.back());
  for (TqvCustomDataRelation* source : AList->FItems) Add(source->GetItem())->AssignRelation(source);
}

void TqvCustomDataRelationList::EndUpdate() {
  if (FLockCount == 0) return;
  --FLockCount;
  Changed(nullptr);
}

void TqvCustomDataRelationList::Clear() {
  TUpdateScope update(this);
  while (!FItems.empty()) Free(FItems.back());
}

void TqvCustomDataRelationList::Changed(TqvCustomDataRelation* ARelation) {
  if (FLockCount == 0) Update(ARelation);
}

void TqvCustomDataRelationList::Update(TqvCustomDataRelation* ARelation) {
  if (FDataController->GetDestroying()) return;
  TUpdateScope update(FDataController);
  if (FItems.empty()) {
    FreeDataField();
  } else if (FDataField) {
    for (Integer r = 0; r < FDataController->GetRecordCount(); ++r)
      if (ClearDetailObject(r, -1)) FDataController->Change(dccDetail);
  } else {
    FDataField = FDataController->CreateInternalField();
    FDataField->ChangeValueType(TqvObjectValueType::Class());
  }
  FDataController->RelationsChanged(ARelation);
}

void TqvCustomDataRelationList::FreeDataField() {
  TqvCustomDataField* field = FDataField;
  FDataField = nullptr;
  Free(field);
}

void TqvCustomDataRelationList::FieldRemoving(TqvCustomDataField* AField) {
  if (AField == FDataField) FDataField = nullptr;
  for (TqvCustomDataRelation* relation : FItems) relation->FieldRemoving(AField);
}

bool TqvCustomDataRelationList::IsEmpty() const {
  TqvCustomDataController* pattern = FDataController->GetPatternDataController();
  if (!pattern) return true;
  TqvCustomDataRelationList* relations = pattern->GetRelations();
  return std::none_of(relations->FItems.begin(), relations->FItems.end(),
                      [](const TqvCustomDataRelation* r) { return r->GetDetailDataController() != nullptr; });
}

TqvDetailObject* TqvCustomDataRelationList::FindDetailObject(Integer ARecordIndex) const {
  if (!FDataField) return nullptr;
  TqvValueDef* def = FDataField->GetStorageDef();
  const Byte* buffer = FDataController->GetStorage()->FindRecordBuffer(ARecordIndex);
  if (!def || !buffer || def->IsNull(buffer)) return nullptr;
  return static_cast<TqvDetailObject*>(TqvObjectValueType::GetObject(def->PlaceOf(buffer)));
}

void TqvCustomDataRelationList::StoreDetailObject(Integer ARecordIndex, TqvDetailObject* AObject) {
  TqvValueDef* def = FDataField->GetStorageDef();
  Byte* buffer = FDataController->GetStorage()->GetRecordBuffer(ARecordIndex);
  TqvObjectValueType::SetObject(def->PlaceOf(buffer), AObject);
  buffer[def->GetFlagOffset()] = 1;
}

void TqvCustomDataRelationList::FreeDetailObject(Integer ARecordIndex, TqvDetailObject* AObject) {
  for (Integer i = 0; i < AObject->GetInfoCount(); ++i)
    if (TqvCustomDataController* clone = FDataController->GetDetailDataController(AObject->GetLinkObject(i)))
      clone->FMasterRelation = nullptr;
  StoreDetailObject(ARecordIndex, nullptr);
  Free(AObject);
}

TqvDetailObject* TqvCustomDataRelationList::GetDetailObject(Integer ARecordIndex) {
  FDataController->CheckRecordRange(ARecordIndex);
  if (!FDataField) return nullptr;
  TqvDetailObject* detail = FindDetailObject(ARecordIndex);
  if (IsEmpty()) {
    if (detail) FreeDetailObject(ARecordIndex, detail);
    return nullptr;
  }
  if (!detail) {
    detail = new TqvDetailObject();
    detail->ActiveRelationIndex = FDataController->GetDefaultActiveRelationIndex();
    StoreDetailObject(ARecordIndex, detail);
  }
  detail->GrowInfoCount(GetCount());
  if (detail->GetInfoCount() == 0)
    detail->ActiveRelationIndex = -1;
  else if (detail->ActiveRelationIndex < 0)
    detail->ActiveRelationIndex = 0;
  return detail;
}

bool TqvCustomDataRelationList::ClearDetailObject(Integer ARecordIndex, Integer ARelationIndex) {
  FDataController->CheckRecordRange(ARecordIndex);
  TqvDetailObject* detail = FindDetailObject(ARecordIndex);
  if (!detail) return false;
  detail->ClearInfoObjects(ARelationIndex);
  return true;
}

bool TqvCustomDataRelationList::HasDetailLinkObject(Integer ARecordIndex, Integer ARelationIndex) {
  FDataController->CheckRecordRange(ARecordIndex);
  TqvDetailObject* detail = FindDetailObject(ARecordIndex);
  return detail && detail->HasLinkObject(ARelationIndex);
}
