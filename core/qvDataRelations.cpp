// Master/detail support of the data controller: relations to detail levels, the detail object
// each master record keeps in an internal object field, and keeping detail controllers bound to
// their master record while master records are inserted and deleted.
#include <algorithm>

#include "core/qvCustomData.h"
#include "core/qvDataUpdateScope.h"
#include "platform/rtl/ClassesConsts.h"
#include "platform/rtl/Lists.h"

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
  while (!FItems.empty()) delete FItems.back();
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
    TList::Error(&SListIndexError, AIndex);
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
  BeginUpdate();
  try {
    while (!FItems.empty()) delete FItems.back();
    for (TqvCustomDataRelation* source : AList->FItems) Add(source->GetItem())->AssignRelation(source);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TqvCustomDataRelationList::EndUpdate() {
  if (FLockCount == 0) return;
  --FLockCount;
  Changed(nullptr);
}

void TqvCustomDataRelationList::Clear() {
  BeginUpdate();
  while (!FItems.empty()) delete FItems.back();
  EndUpdate();
}

void TqvCustomDataRelationList::Changed(TqvCustomDataRelation* ARelation) {
  if (FLockCount == 0) Update(ARelation);
}

void TqvCustomDataRelationList::Update(TqvCustomDataRelation* ARelation) {
  if (FDataController->GetDestroying()) return;
  TqvDataUpdateScope update(FDataController);
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
  delete field;
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

// ---------------------------------------------------------------------------------------------
// Controller: master/detail

TqvCustomDataRelationList* TqvCustomDataController::GetRelations() {
  if (!FRelations) FRelations = std::make_unique<TqvCustomDataRelationList>(this);
  return FRelations.get();
}

TqvCustomDataRelationClass TqvCustomDataController::GetRelationClass() const {
  return &TqvCustomDataRelation::StaticClass();
}

TqvCustomDataController* TqvCustomDataController::GetMasterDataController() const {
  return FMasterRelation ? FMasterRelation->GetDataController() : nullptr;
}

TqvCustomDataController* TqvCustomDataController::GetTopMasterDataController() {
  TqvCustomDataController* controller = this;
  while (TqvCustomDataController* master = controller->GetMasterDataController()) controller = master;
  return controller;
}

namespace {

TqvCustomDataController* FindPatternOf(TqvCustomDataController* AMaster, TObject* AItem) {
  TqvCustomDataRelationList* relations = AMaster->GetRelations();
  for (Integer i = 0; i < relations->GetCount(); ++i) {
    TqvCustomDataRelation* relation = relations->GetItem(i);
    if (relation->GetItem() == AItem) return relation->GetDetailDataController();
    if (TqvCustomDataController* detail = relation->GetDetailDataController())
      if (TqvCustomDataController* found = FindPatternOf(detail, AItem)) return found;
  }
  return nullptr;
}

}  // namespace

TqvCustomDataController* TqvCustomDataController::GetPatternDataController() {
  if (!FMasterRelation) return this;
  TqvCustomDataController* pattern = FindPatternOf(GetTopMasterDataController(), FMasterRelation->GetItem());
  return pattern ? pattern : this;
}

Integer TqvCustomDataController::GetDetailMode() const {
  if (!FMasterRelation) return FPatternFlag ? 1 : 0;
  if (FMasterRecordIndex == -1 || FPatternFlag) return 1;
  return 2;
}

void TqvCustomDataController::SetMasterRelation(TqvCustomDataRelation* ARelation, Integer AMasterRecordIndex) {
  bool pattern = AMasterRecordIndex == -1;
  if (!ARelation && !FMasterRelation && pattern && FMasterRecordIndex == -1) return;
  TqvDataUpdateScope update(this);
  if (FMasterRelation) {
    if (FMasterRelation->FDetailDataController == this) FMasterRelation->FDetailDataController = nullptr;
    if (FRelations) FRelations->Changed(nullptr);
  }
  FMasterRelation = ARelation;
  if (ARelation && pattern) {
    ARelation->FDetailDataController = this;
    ARelation->Changed();
  }
  FMasterRecordIndex = AMasterRecordIndex;
  LayoutChanged(2);
}

void TqvCustomDataController::AttachToRelation(TqvCustomDataRelation* ARelation, bool APattern) {
  TqvDataUpdateScope update(this);
  bool wasPattern = IsPattern();
  SetMasterRelation(ARelation, -1);
  FPatternFlag = APattern;
  if (wasPattern != IsPattern() && !IsOwnerDestroying()) ResetStructure();
}


Integer TqvCustomDataController::GetDetailActiveRelationIndex(Integer ARecordIndex) {
  TqvDetailObject* detail = GetRelations()->GetDetailObject(ARecordIndex);
  return detail ? detail->ActiveRelationIndex : -1;
}

bool TqvCustomDataController::GetDetailExpanded(Integer ARecordIndex) {
  TqvDetailObject* detail = GetRelations()->GetDetailObject(ARecordIndex);
  return detail && detail->Expanded;
}

bool TqvCustomDataController::HasDetailLinkObject(Integer ARecordIndex, Integer ARelationIndex) {
  return GetRelations()->HasDetailLinkObject(ARecordIndex, ARelationIndex);
}

TObject* TqvCustomDataController::TryGetDetailLinkObject(Integer ARecordIndex, Integer ARelationIndex) {
  TqvCustomDataRelationList* relations = GetRelations();
  TqvDetailObject* detail = relations->GetDetailObject(ARecordIndex);
  if (!detail) return nullptr;
  TObject* link = detail->GetLinkObject(ARelationIndex);
  if (link || FCreatingLinkObject || ARelationIndex < 0 || ARelationIndex >= relations->GetCount()) return link;
  TqvCustomDataController* pattern = GetPatternDataController();
  {
    TqvFlagScope creating(FCreatingLinkObject, true);
    TqvFlagScope patternCreating(pattern->FCreatingLinkObject, true);
    link = CreateDetailLinkObject(relations->GetItem(ARelationIndex), ARecordIndex);
  }
  bool stillThere = ARecordIndex >= 0 && ARecordIndex < GetRecordCount() &&
                    relations->FindDetailObject(ARecordIndex) == detail;
  if (!stillThere) {
    Free(link);
    return nullptr;
  }
  if (link) detail->GetOrCreateInfoObject(ARelationIndex)->LinkObject = link;
  return link;
}

TObject* TqvCustomDataController::GetDetailLinkObject(Integer ARecordIndex, Integer ARelationIndex) {
  TObject* link = TryGetDetailLinkObject(ARecordIndex, ARelationIndex);
  if (!link && !FLinkSecondAttempt && !FCreatingLinkObject) {
    TqvFlagScope second(FLinkSecondAttempt, true);
    link = TryGetDetailLinkObject(ARecordIndex, ARelationIndex);
  }
  return link;
}

TqvCustomDataController* TqvCustomDataController::GetRecordDetailDataController(Integer ARecordIndex,
                                                                                Integer ARelationIndex) {
  return GetDetailDataController(GetDetailLinkObject(ARecordIndex, ARelationIndex));
}

void TqvCustomDataController::ChangeDetailActiveRelationIndex(Integer ARecordIndex, Integer ARelationIndex) {
  TqvDetailObject* detail = GetRelations()->GetDetailObject(ARecordIndex);
  if (!detail || detail->ActiveRelationIndex == ARelationIndex) return;
  CheckEditingFinished();
  detail->ActiveRelationIndex = ARelationIndex;
  Change(dccDetail);
}

bool TqvCustomDataController::ChangeDetailExpanding(Integer ARecordIndex, bool AExpanded) {
  if (ARecordIndex < 0 || ARecordIndex >= GetRecordCount()) return false;
  if (GetDetailExpanded(ARecordIndex) == AExpanded) return false;
  CheckEditingFinished();
  TqvDetailObject* detail = GetRelations()->GetDetailObject(ARecordIndex);
  if (!detail || !CanChangeDetailExpanding(ARecordIndex, AExpanded)) return false;
  detail->Expanded = AExpanded;
  Change(dccDetail);
  return true;
}

void TqvCustomDataController::CollapseDetails() {
  CheckEditingFinished();
  TqvDataUpdateScope update(this);
  TqvCustomDataRelationList* relations = GetRelations();
  for (Integer r = 0; r < GetRecordCount(); ++r) {
    TqvDetailObject* detail = relations->FindDetailObject(r);
    if (!detail) continue;
    if (detail->ClearInfoObjects(-1)) Change(dccDetail);
    detail->Expanded = false;
    Change(dccDetail);
  }
}

void TqvCustomDataController::ClearDetailLinkObjects() {
  TqvDataUpdateScope update(this);
  TqvCustomDataRelationList* relations = GetRelations();
  for (Integer r = 0; r < GetRecordCount(); ++r)
    if (relations->ClearDetailObject(r, -1)) Change(dccDetail);
}

bool TqvCustomDataController::GetDetailHasChildren(Integer ARecordIndex, Integer ARelationIndex) {
  bool sourceActive = IsProviderMode() || IsSourceActive();
  if (HasDetailLinkObject(ARecordIndex, ARelationIndex)) {
    TqvCustomDataController* detail = GetDetailDataController(
        GetRelations()->FindDetailObject(ARecordIndex)->GetLinkObject(ARelationIndex));
    return detail && detail->GetRecordCount() > 0;
  }
  if (!sourceActive) return false;
  TqvDetailObject* detail = GetRelations()->GetDetailObject(ARecordIndex);
  if (!detail) return true;
  TqvDetailInfoObject* info = detail->GetOrCreateInfoObject(ARelationIndex);
  if (!info) return false;
  if (!info->HasChildrenAssigned) {
    info->HasChildren = DetailHasChildren(ARecordIndex, ARelationIndex);
    info->HasChildrenAssigned = true;
  }
  return info->HasChildren;
}

void TqvCustomDataController::ForEachDetailLevel(const std::vector<Integer>& APath, size_t ALevel,
                                                 const std::function<void(TqvCustomDataController*)>& AProc) {
  TqvCustomDataRelationList* relations = GetRelations();
  for (Integer r = 0; r < GetRecordCount(); ++r) {
    TqvDetailObject* detail = relations->FindDetailObject(r);
    TqvCustomDataController* clone = detail ? GetDetailDataController(detail->GetLinkObject(APath[ALevel])) : nullptr;
    if (!clone) continue;
    if (ALevel + 1 == APath.size())
      AProc(clone);
    else
      clone->ForEachDetailLevel(APath, ALevel + 1, AProc);
  }
}

void TqvCustomDataController::ForEachDetail(TqvCustomDataRelation* ARelation,
                                            const std::function<void(TqvCustomDataController*)>& AProc) {
  std::vector<Integer> path;
  TqvCustomDataController* top = nullptr;
  for (TqvCustomDataRelation* relation = ARelation; relation;) {
    path.insert(path.begin(), relation->GetIndex());
    top = relation->GetDataController();
    relation = top->GetMasterRelation();
  }
  if (top && !path.empty()) top->ForEachDetailLevel(path, 0, AProc);
}

void TqvCustomDataController::ResetDetailsOfRelationItem(TObject* AItem) {
  TqvCustomDataRelationList* relations = GetRelations();
  if (relations->FindByItem(AItem)) return ClearDetailLinkObjects();
  for (Integer r = 0; r < GetRecordCount(); ++r) {
    TqvDetailObject* detail = relations->FindDetailObject(r);
    if (!detail) continue;
    for (Integer i = 0; i < detail->GetInfoCount(); ++i)
      if (TqvCustomDataController* clone = GetDetailDataController(detail->GetLinkObject(i)))
        clone->ResetDetailsOfRelationItem(AItem);
  }
}

void TqvCustomDataController::RelationsChanged(TqvCustomDataRelation*) {
  if (FDestroying) return;
  if (IsPattern() && FMasterRelation)
    GetTopMasterDataController()->ResetDetailsOfRelationItem(FMasterRelation->GetItem());
  else
    Change(dccData);
}

void TqvCustomDataController::CheckDetails() {
  if (!FRelations || !FRelations->GetDataField()) return;
  bool anyCached = false;
  for (Integer r = 0; r < GetRecordCount(); ++r) {
    TqvDetailObject* detail = FRelations->FindDetailObject(r);
    if (!detail) continue;
    for (Integer i = 0; i < detail->GetInfoCount(); ++i) {
      TqvDetailInfoObject* info = detail->GetInfoObject(i);
      if (!info || !info->HasChildrenAssigned) continue;
      info->HasChildrenAssigned = false;
      anyCached = true;
    }
  }
  if (anyCached) Change(dccLayout);
}

void TqvCustomDataController::ShiftDetailMasterIndexes(Integer AFirstRecord, Integer ADelta) {
  if (!FRelations || !FRelations->GetDataField()) return;
  for (Integer r = std::max(AFirstRecord, 0); r < GetRecordCount(); ++r) {
    TqvDetailObject* detail = FRelations->FindDetailObject(r);
    if (!detail) continue;
    for (Integer i = 0; i < detail->GetInfoCount(); ++i)
      if (TqvCustomDataController* clone = GetDetailDataController(detail->GetLinkObject(i)))
        clone->FMasterRecordIndex += ADelta;
  }
}

void TqvCustomDataController::RecordInserted(Integer ARecordIndex) {
  ShiftDetailMasterIndexes(ARecordIndex + 1, 1);
}

void TqvCustomDataController::RecordDeleted(Integer ARecordIndex) {
  if (ARecordIndex < 0) return;
  CheckEditingRecordRemoved(ARecordIndex);
  ShiftDetailMasterIndexes(ARecordIndex, -1);
}
