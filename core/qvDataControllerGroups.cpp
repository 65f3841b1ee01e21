#include "core/qvCustomData.h"
#include "core/qvDataPipeline.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvDataControllerGroups)

TqvCustomDataControllerInfo* TqvDataControllerGroups::Info() const { return FDataController->GetDataControllerInfo(); }

TqvDataGroups* TqvDataControllerGroups::Groups() const { return Info()->GetDataGroups(); }

void TqvDataControllerGroups::ChangeExpanding(Integer ARowIndex, bool AExpanded, bool ARecursive) {
  Info()->ChangeExpanding(ARowIndex, AExpanded, ARecursive);
}

void TqvDataControllerGroups::ChangeGroupIndex(Integer AItemIndex, Integer AGroupIndex) {
  if (GetGroupIndex(AItemIndex) == AGroupIndex) return;
  TUpdateScope update(FDataController);
  FDataController->SetGroupingChanged();
  Info()->ChangeGroupIndex(FDataController->GetField(AItemIndex), AGroupIndex);
}

Integer TqvDataControllerGroups::GetGroupIndex(Integer AItemIndex) const {
  return Info()->GetGroupingFieldList()->Find(FDataController->GetField(AItemIndex));
}

Integer TqvDataControllerGroups::GetGroupingItemCount() const { return Info()->GetGroupingFieldList()->GetCount(); }

Integer TqvDataControllerGroups::GetItemIndexByLevel(Integer ALevel) const {
  return Info()->GetGroupingFieldList()->GetItem(ALevel).Field->GetIndex();
}

Integer TqvDataControllerGroups::GetDataGroupIndexByRowIndex(Integer ARowIndex) const {
  return Groups()->GetGroupIndexByRowIndex(ARowIndex);
}

Integer TqvDataControllerGroups::GetDataGroupLevel(Integer ADataGroupIndex) const {
  return Groups()->GetLevel(ADataGroupIndex);
}

Integer TqvDataControllerGroups::GetChildCount(Integer ADataGroupIndex) const {
  return Groups()->GetChildCount(ADataGroupIndex);
}

Integer TqvDataControllerGroups::GetChildDataGroupIndex(Integer ADataGroupIndex, Integer AIndex) const {
  return Groups()->GetChildGroupIndex(ADataGroupIndex, AIndex);
}

Integer TqvDataControllerGroups::GetChildRecordIndex(Integer ADataGroupIndex, Integer AIndex) const {
  Integer position = Groups()->GetChildRecordListIndex(ADataGroupIndex, AIndex);
  return position == -1 ? -1 : Info()->GetRecordIndexByFilteredIndex(position);
}

void TqvDataControllerGroups::LoadRecordIndexes(std::vector<Integer>& AList, Integer ADataGroupIndex) const {
  TqvDataGroups* groups = Groups();
  if (ADataGroupIndex < 0 || ADataGroupIndex >= groups->GetCount()) return;
  const TqvDataGroupInfo& group = groups->GetItem(ADataGroupIndex);
  if (group.Level < GetGroupingItemCount() - 1) {
    for (Integer g = group.FirstIndex; g <= group.LastIndex; ++g)
      if (groups->GetLevel(g) == group.Level + 1) LoadRecordIndexes(AList, g);
  } else {
    for (Integer p = group.FirstIndex; p <= group.LastIndex; ++p)
      AList.push_back(Info()->GetRecordIndexByFilteredIndex(p));
  }
}

void TqvDataControllerGroups::LoadRecordIndexesByRowIndex(std::vector<Integer>& AList, Integer ARowIndex) const {
  Integer group = GetDataGroupIndexByRowIndex(ARowIndex);
  if (group != -1) LoadRecordIndexes(AList, group);
}
