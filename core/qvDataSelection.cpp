#include "core/qvDataSelection.h"

#include <algorithm>

#include "core/qvClasses.h"
#include "platform/rtl/ClassesConsts.h"
#include "platform/rtl/SysUtils.h"

QJ_IMPLEMENT_CLASS(TqvDataSelection)

void TqvDataSelection::Changed() {
  if (OnChanged) OnChanged();
}

void TqvDataSelection::CheckIndex(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetCount())
    RaiseResourceError<EListError>(&SListIndexError, {AIndex});
}

void TqvDataSelection::InsertItem(Integer AIndex, Integer ARowIndex, Integer ALevel, Integer ARecordIndex) {
  if (AIndex < -1 || AIndex > GetCount()) CheckIndex(AIndex);
  auto position = AIndex == -1 ? FItems.end() : FItems.begin() + AIndex;
  FItems.insert(position, {ALevel, ARecordIndex, ARowIndex});
}

void TqvDataSelection::ClearItems() { FItems.clear(); }

void TqvDataSelection::Delete(Integer AIndex) {
  CheckIndex(AIndex);
  if (FItems[AIndex].RowIndex == AnchorRowIndex) ResetAnchor();
  FItems.erase(FItems.begin() + AIndex);
}

void TqvDataSelection::SetCount(Integer ACount) {
  ACount = std::max(ACount, 0);
  while (GetCount() > ACount) FItems.pop_back();
  while (GetCount() < ACount) FItems.push_back({0, GetCount(), GetCount()});
}

void TqvDataSelection::Add(Integer AIndex, Integer ARowIndex, Integer ALevel, Integer ARecordIndex) {
  InsertItem(AIndex, ARowIndex, ALevel, ARecordIndex);
  Changed();
}

bool TqvDataSelection::FindRowIndex(Integer ARowIndex, Integer& AIndex) const {
  auto it = std::lower_bound(FItems.begin(), FItems.end(), ARowIndex,
                             [](const TqvDataSelectionInfo& e, Integer row) { return e.RowIndex < row; });
  AIndex = static_cast<Integer>(it - FItems.begin());
  return it != FItems.end() && it->RowIndex == ARowIndex;
}

void TqvDataSelection::DeleteAndNotify(Integer AIndex) {
  Delete(AIndex);
  Changed();
}

void TqvDataSelection::Clear() {
  ClearItems();
  Changed();
}

void TqvDataSelection::ClearAll() {
  ResetAnchor();
  ClearItems();
  Changed();
}

bool TqvDataSelection::IsRowSelected(Integer ARowIndex) const {
  Integer index;
  return FindRowIndex(ARowIndex, index);
}

Integer TqvDataSelection::FindGroupEntry(Integer AGroupIndex) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (FItems[i].Level == -1 && FItems[i].RecordIndex == AGroupIndex) return i;
  return -1;
}

Integer TqvDataSelection::FindRecordEntry(Integer ARecordIndex) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (FItems[i].Level != -1 && FItems[i].RecordIndex == ARecordIndex) return i;
  return -1;
}

void TqvDataSelection::Sort() {
  std::stable_sort(FItems.begin(), FItems.end(),
                   [](const TqvDataSelectionInfo& a, const TqvDataSelectionInfo& b) { return a.RowIndex < b.RowIndex; });
}

bool TqvDataSelection::DeleteWhere(const std::function<bool(const TqvDataSelectionInfo&)>& APredicate) {
  bool any = false;
  for (Integer i = GetCount() - 1; i >= 0; --i)
    if (APredicate(FItems[i])) {
      Delete(i);
      any = true;
    }
  return any;
}

void TqvDataSelection::RecordDeleted(Integer ARecordIndex) {
  if (FItems.empty()) return;
  bool changed = DeleteWhere([&](const TqvDataSelectionInfo& e) { return e.Level == -1 || e.RecordIndex == ARecordIndex; });
  for (TqvDataSelectionInfo& entry : FItems)
    if (entry.RecordIndex > ARecordIndex) {
      --entry.RecordIndex;
      changed = true;
    }
  if (changed) Changed();
}

void TqvDataSelection::RecordInserted(Integer ARecordIndex) {
  bool changed = DeleteWhere([](const TqvDataSelectionInfo& e) { return e.Level == -1; });
  for (TqvDataSelectionInfo& entry : FItems)
    if (entry.RecordIndex >= ARecordIndex) {
      ++entry.RecordIndex;
      changed = true;
    }
  if (changed) Changed();
}

void TqvDataSelection::CheckRecords(Integer ARecordCount) {
  if (FItems.empty()) return;
  if (ARecordCount == 0) return ClearAll();
  if (DeleteWhere([&](const TqvDataSelectionInfo& e) { return e.Level == -1 || e.RecordIndex >= ARecordCount; }))
    Changed();
}

const TqvDataSelectionInfo& TqvDataSelection::GetItem(Integer AIndex) const {
  CheckIndex(AIndex);
  return FItems[AIndex];
}

TqvDataSelectionInfo& TqvDataSelection::GetItem(Integer AIndex) {
  CheckIndex(AIndex);
  return FItems[AIndex];
}
