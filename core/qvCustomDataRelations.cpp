// The controller's side of master/detail: its relations, the detail objects of its records and
// the detail controllers bound to them.
#include <algorithm>

#include "core/qvCustomData.h"
#include "platform/rtl/ClassesConsts.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/Scopes.h"

TqvCustomDataRelationList* TqvCustomDataController::GetRelations() {
  if (!FRelations) FRelations = MakeOwned<TqvCustomDataRelationList>(this);
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
  TUpdateScope update(this);
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
  TUpdateScope update(this);
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
    TValueScope creating(FCreatingLinkObject, true);
    TValueScope patternCreating(pattern->FCreatingLinkObject, true);
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
    TValueScope second(FLinkSecondAttempt, true);
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
  TUpdateScope update(this);
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
  TUpdateScope update(this);
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
