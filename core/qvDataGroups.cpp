#include "core/qvDataGroups.h"

#include <algorithm>

#include "core/qvClasses.h"
#include "core/qvCustomData.h"
#include "core/qvDataPipeline.h"
#include "platform/rtl/ClassesConsts.h"

QJ_IMPLEMENT_CLASS(TqvSortingFieldList)
QJ_IMPLEMENT_CLASS(TqvGroupingFieldList)
QJ_IMPLEMENT_CLASS(TqvDataGroups)
QJ_IMPLEMENT_CLASS(TqvDataFocusingInfo)
QJ_IMPLEMENT_CLASS(TqvDataExpandingInfos)

namespace {

[[noreturn]] void RaiseListIndexError(Integer AIndex) { RaiseResourceError<EListError>(&SListIndexError, {AIndex}); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Sorting and grouping field lists

void TqvSortingFieldList::Changed() {
  if (OnChanged) OnChanged();
}

void TqvSortingFieldList::CheckIndex(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetCount()) RaiseListIndexError(AIndex);
}

void TqvSortingFieldList::Add(TqvCustomDataField* AField, TqvDataSortOrder ASortOrder) {
  FItems.push_back({AField, ASortOrder});
  Changed();
}

void TqvSortingFieldList::Insert(Integer AIndex, TqvCustomDataField* AField, TqvDataSortOrder ASortOrder) {
  if (AIndex < 0 || AIndex > GetCount()) RaiseListIndexError(AIndex);
  FItems.insert(FItems.begin() + AIndex, {AField, ASortOrder});
  Changed();
}

void TqvSortingFieldList::Delete(Integer AIndex) {
  CheckIndex(AIndex);
  FItems.erase(FItems.begin() + AIndex);
  Changed();
}

void TqvSortingFieldList::Clear() {
  while (GetCount() > 0) Delete(0);
}

void TqvSortingFieldList::Move(Integer ACurIndex, Integer ANewIndex) {
  if (ACurIndex == ANewIndex) return;
  CheckIndex(ACurIndex);
  CheckIndex(ANewIndex);
  TqvSortingFieldInfo info = FItems[ACurIndex];
  FItems.erase(FItems.begin() + ACurIndex);
  FItems.insert(FItems.begin() + ANewIndex, info);
  Changed();
}

void TqvSortingFieldList::Remove(TqvCustomDataField* AField) {
  Integer index = Find(AField);
  if (index != -1) Delete(index);
}

void TqvSortingFieldList::SetSortOrder(Integer AIndex, TqvDataSortOrder ASortOrder) {
  CheckIndex(AIndex);
  if (FItems[AIndex].SortOrder == ASortOrder) return;
  FItems[AIndex].SortOrder = ASortOrder;
  Changed();
}

Integer TqvSortingFieldList::Find(const TqvCustomDataField* AField) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (FItems[i].Field == AField) return i;
  return -1;
}

TqvDataSortOrder TqvSortingFieldList::GetSortOrder(const TqvCustomDataField* AField) const {
  Integer index = Find(AField);
  return index == -1 ? soNone : FItems[index].SortOrder;
}

const TqvSortingFieldInfo& TqvSortingFieldList::GetItem(Integer AIndex) const {
  CheckIndex(AIndex);
  return FItems[AIndex];
}

void TqvSortingFieldList::ChangeSorting(TqvCustomDataField* AField, TqvDataSortOrder ASortOrder) {
  Integer index = Find(AField);
  if (index != -1) {
    if (ASortOrder == soNone)
      Delete(index);
    else
      SetSortOrder(index, ASortOrder);
  } else if (ASortOrder != soNone) {
    Add(AField, ASortOrder);
  }
}

void TqvSortingFieldList::CheckField(const TqvCustomDataField* AField) {
  if (Find(AField) != -1) Changed();
}

void TqvSortingFieldList::AddFrom(const TqvSortingFieldList& AList) {
  for (const TqvSortingFieldInfo& info : AList.FItems)
    if (Find(info.Field) == -1) Add(info.Field, info.SortOrder);
}

void TqvSortingFieldList::SetFieldIndex(TqvCustomDataField* AField, Integer AIndex) {
  if (AIndex < 0) return Remove(AField);
  Integer index = Find(AField);
  if (index == -1)
    Insert(std::min(AIndex, GetCount()), AField, soAscending);
  else
    Move(index, std::min(AIndex, GetCount() - 1));
}

void TqvGroupingFieldList::ChangeSorting(TqvCustomDataField* AField, TqvDataSortOrder ASortOrder) {
  inherited::ChangeSorting(AField, ASortOrder == soNone ? soAscending : ASortOrder);
}

void TqvGroupingFieldList::SyncSortOrders(const TqvSortingFieldList& ASortingList) {
  for (Integer i = 0; i < GetCount(); ++i) {
    TqvDataSortOrder order = ASortingList.GetSortOrder(GetItem(i).Field);
    SetSortOrder(i, order == soNone ? soAscending : order);
  }
}

// ---------------------------------------------------------------------------------------------
// Data groups

void TqvDataGroups::CheckIndex(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetCount()) RaiseListIndexError(AIndex);
}

Integer TqvDataGroups::AddGroup() {
  FItems.emplace_back();
  FDeepestValid = false;
  return GetCount() - 1;
}

void TqvDataGroups::Clear() {
  FFields.clear();
  FItems.clear();
  FDeepestValid = false;
}

TqvCustomDataField* TqvDataGroups::GetField(Integer ALevel) const {
  if (ALevel < 0 || ALevel >= GetFieldCount()) RaiseListIndexError(ALevel);
  return FFields[ALevel];
}

TqvDataGroupInfo& TqvDataGroups::GetItem(Integer AIndex) {
  CheckIndex(AIndex);
  return FItems[AIndex];
}

const TqvDataGroupInfo& TqvDataGroups::GetItem(Integer AIndex) const {
  CheckIndex(AIndex);
  return FItems[AIndex];
}

Integer TqvDataGroups::GetLevel(Integer AGroupIndex) const {
  return AGroupIndex >= 0 && AGroupIndex < GetCount() ? FItems[AGroupIndex].Level : -1;
}

Integer TqvDataGroups::GetRecordCount(Integer AGroupIndex) const {
  const TqvDataGroupInfo& group = GetItem(AGroupIndex);
  return group.LastIndex - group.FirstIndex + 1;
}

Integer TqvDataGroups::GetParent(Integer AGroupIndex) const {
  Integer level = GetLevel(AGroupIndex);
  for (Integer i = AGroupIndex - 1; i >= 0 && level > 0; --i)
    if (FItems[i].Level < level) return i;
  return -1;
}

Integer TqvDataGroups::FindByRowIndex(Integer ARowIndex, Integer& AGroup) const {
  auto it = std::lower_bound(FItems.begin(), FItems.end(), ARowIndex,
                             [](const TqvDataGroupInfo& g, Integer row) { return g.RowIndex < row; });
  if (it != FItems.end() && it->RowIndex == ARowIndex) {
    Integer index = static_cast<Integer>(it - FItems.begin());
    ResolveVisible(ARowIndex, index);
    AGroup = index;
    return index;
  }
  AGroup = static_cast<Integer>(it - FItems.begin()) - 1;
  return -1;
}

// Groups sharing a row are a collapsed group followed by its hidden subtree: the first of the
// run is the one shown.
void TqvDataGroups::ResolveVisible(Integer ARowIndex, Integer& AIndex) const {
  while (AIndex > 0 && FItems[AIndex - 1].RowIndex == ARowIndex) --AIndex;
}

bool TqvDataGroups::IsVisible(Integer AGroupIndex) const {
  Integer index = AGroupIndex;
  ResolveVisible(GetItem(AGroupIndex).RowIndex, index);
  return index == AGroupIndex;
}

Integer TqvDataGroups::GetGroupIndexByRowIndex(Integer ARowIndex, Integer ALevel) const {
  Integer group = -1;
  FindByRowIndex(ARowIndex, group);
  if (group < 0 || group >= GetCount()) return -1;
  if (ALevel == -1 || FItems[group].Level == ALevel) return group;
  if (FItems[group].Level < ALevel) {
    for (Integer i = group + 1; i < GetCount() && FItems[i].Level > FItems[group].Level; ++i)
      if (FItems[i].Level == ALevel) return i;
    return -1;
  }
  for (Integer i = group - 1; i >= 0; --i)
    if (FItems[i].Level == ALevel) return i;
  return -1;
}

const std::vector<Integer>& TqvDataGroups::DeepestGroups() const {
  if (!FDeepestValid) {
    FDeepest.clear();
    Integer deepest = GetFieldCount() - 1;
    for (Integer i = 0; i < GetCount(); ++i)
      if (FItems[i].Level == deepest) FDeepest.push_back(i);
    FDeepestValid = true;
  }
  return FDeepest;
}

Integer TqvDataGroups::FindDeepestByPosition(Integer APosition) const {
  const std::vector<Integer>& deepest = DeepestGroups();
  auto it = std::upper_bound(deepest.begin(), deepest.end(), APosition,
                             [this](Integer pos, Integer g) { return pos < FItems[g].FirstIndex; });
  if (it == deepest.begin()) return -1;
  Integer group = *(it - 1);
  return APosition <= FItems[group].LastIndex ? group : -1;
}

Integer TqvDataGroups::FindGroupByPosition(Integer APosition, Integer ALevel) const {
  Integer group = FindDeepestByPosition(APosition);
  while (group != -1 && FItems[group].Level > ALevel) group = GetParent(group);
  return group != -1 && FItems[group].Level == ALevel ? group : -1;
}

Integer TqvDataGroups::GetChildCount(Integer AGroupIndex) const {
  if (AGroupIndex == -1)
    return static_cast<Integer>(
        std::count_if(FItems.begin(), FItems.end(), [](const TqvDataGroupInfo& g) { return g.Level == 0; }));
  if (AGroupIndex < 0 || AGroupIndex >= GetCount()) return 0;
  const TqvDataGroupInfo& group = FItems[AGroupIndex];
  if (IsDeepest(AGroupIndex)) return group.LastIndex - group.FirstIndex + 1;
  Integer count = 0;
  for (Integer i = group.FirstIndex; i <= group.LastIndex; ++i)
    if (FItems[i].Level == group.Level + 1) ++count;
  return count;
}

Integer TqvDataGroups::GetChildGroupIndex(Integer AGroupIndex, Integer AIndex) const {
  if (AIndex < 0) return -1;
  Integer first = 0, last = GetCount() - 1, level = 0;
  if (AGroupIndex != -1) {
    if (AGroupIndex < 0 || AGroupIndex >= GetCount() || IsDeepest(AGroupIndex)) return -1;
    const TqvDataGroupInfo& group = FItems[AGroupIndex];
    if (AIndex > group.LastIndex - group.FirstIndex) return -1;
    first = group.FirstIndex;
    last = group.LastIndex;
    level = group.Level + 1;
  }
  for (Integer i = first; i <= last; ++i)
    if (FItems[i].Level == level && AIndex-- == 0) return i;
  return -1;
}

Integer TqvDataGroups::GetChildRecordListIndex(Integer AGroupIndex, Integer AIndex) const {
  if (AGroupIndex < 0 || AGroupIndex >= GetCount() || !IsDeepest(AGroupIndex)) return -1;
  const TqvDataGroupInfo& group = FItems[AGroupIndex];
  return AIndex >= 0 && AIndex <= group.LastIndex - group.FirstIndex ? group.FirstIndex + AIndex : -1;
}

Integer TqvDataGroups::GetFirstRecordListIndex(Integer AGroupIndex) const {
  Integer group = AGroupIndex;
  while (!IsDeepest(group)) group = GetItem(group).FirstIndex;
  return GetItem(group).FirstIndex;
}

Integer TqvDataGroups::GetRowCount() const {
  if (FItems.empty()) return 0;
  Integer visible = GetCount() - 1;
  ResolveVisible(FItems.back().RowIndex, visible);
  const TqvDataGroupInfo& group = FItems[visible];
  Integer count = group.RowIndex + 1;
  if (group.Expanded && IsDeepest(visible)) count += GetRecordCount(visible);
  return count;
}

bool TqvDataGroups::GetRowInfo(Integer ARowIndex, TqvDataGroupRowInfo& AInfo) const {
  AInfo = TqvDataGroupRowInfo();
  Integer group = -1;
  Integer found = FindByRowIndex(ARowIndex, group);
  if (found != -1) {
    AInfo.Level = FItems[found].Level;
    AInfo.Expanded = FItems[found].Expanded;
    AInfo.RecordListIndex = GetFirstRecordListIndex(found);
    return true;
  }
  if (group < 0) return false;
  AInfo.Level = GetFieldCount();
  AInfo.RecordListIndex = ARowIndex + FItems[group].FirstIndex - FItems[group].RowIndex - 1;
  return true;
}

bool TqvDataGroups::SetExpanded(Integer ARowIndex, bool AExpanded, bool ARecursive) {
  Integer group = -1;
  Integer found = FindByRowIndex(ARowIndex, group);
  if (found == -1) return false;
  Integer level = FItems[found].Level;
  FItems[found].Expanded = AExpanded;
  if (ARecursive)
    for (Integer i = found + 1; i < GetCount() && FItems[i].Level > level; ++i) FItems[i].Expanded = AExpanded;
  UpdateRowIndexes();
  return true;
}

bool TqvDataGroups::ExpandParents(Integer AGroupIndex, bool AExpandSelf) {
  bool changed = false;
  auto expand = [&](Integer g) {
    if (!FItems[g].Expanded) {
      FItems[g].Expanded = true;
      changed = true;
    }
  };
  CheckIndex(AGroupIndex);
  if (AExpandSelf) expand(AGroupIndex);
  for (Integer g = GetParent(AGroupIndex); g != -1; g = GetParent(g)) expand(g);
  if (changed) UpdateRowIndexes();
  return changed;
}

void TqvDataGroups::UpdateRowIndexes() {
  Integer row = 0;
  Integer collapsedLevel = -1;
  Integer collapsedRow = 0;
  Integer deepest = GetFieldCount() - 1;
  for (TqvDataGroupInfo& group : FItems) {
    if (collapsedLevel != -1 && group.Level > collapsedLevel) {
      group.RowIndex = collapsedRow;
      continue;
    }
    collapsedLevel = -1;
    group.RowIndex = row++;
    if (!group.Expanded) {
      collapsedLevel = group.Level;
      collapsedRow = group.RowIndex;
    } else if (group.Level == deepest) {
      row += group.LastIndex - group.FirstIndex + 1;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Focusing info

void TqvDataFocusingInfo::Assign(const TqvDataFocusingInfo& ASource) {
  Level = ASource.Level;
  ShownRecordIndex = ASource.ShownRecordIndex;
  RecordIndex = ASource.RecordIndex;
  RowIndex = ASource.RowIndex;
  Changed = false;
}

bool TqvDataFocusingInfo::IsEqual(const TqvDataFocusingInfo& AOther) const {
  if (RecordIndex != AOther.RecordIndex || Level != AOther.Level) return false;
  return !FDataControllerInfo->IsSortPending() || RowIndex == AOther.RowIndex;
}

void TqvDataFocusingInfo::Reset() {
  Level = -1;
  RecordIndex = FDataControllerInfo->GetDataController()->GetCurrentRecordIndex();
}

void TqvDataFocusingInfo::SyncFromRow() {
  if (RowIndex == -1) {
    Level = -1;
    RecordIndex = -1;
  } else {
    Level = FDataControllerInfo->GetRowInfo(RowIndex).Level;
    RecordIndex = FDataControllerInfo->GetDataController()->GetCurrentRecordIndex();
  }
  ShownRecordIndex = RecordIndex;
}

// ---------------------------------------------------------------------------------------------
// Saved expanding states

void TqvDataExpandingInfos::AddField(TqvCustomDataField* AField) {
  if (IndexOfField(AField) != -1) RaiseDataControllerError(&sqvDataItemExistError);
  FFields.push_back(AField);
  FInfos.clear();
}

void TqvDataExpandingInfos::AddInfo(Integer ALevel, const Variant& AValue, Byte AState) {
  FInfos.push_back({ALevel, AValue, AState});
}

void TqvDataExpandingInfos::FieldRemoved(const TqvCustomDataField* AField) {
  if (IndexOfField(AField) != -1) Clear();
}

void TqvDataExpandingInfos::Clear() {
  FFields.clear();
  FInfos.clear();
  SavedStates = 0;
}

Integer TqvDataExpandingInfos::IndexOfField(const TqvCustomDataField* AField) const {
  auto it = std::find(FFields.begin(), FFields.end(), AField);
  return it == FFields.end() ? -1 : static_cast<Integer>(it - FFields.begin());
}
