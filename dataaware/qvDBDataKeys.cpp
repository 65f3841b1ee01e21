#include "dataaware/qvDBDataKeys.h"

#include <algorithm>

#include "core/qvDataPipeline.h"
#include "core/qvVariants.h"
#include "dataaware/qvDBData.h"
#include "platform/rtl/Lists.h"

// ---------------------------------------------------------------------------------------------
// TqvKeys

void TqvKeys::Bind(TqvDBDataController* AController) {
  FController = AController;
  FKeyFields = AController->GetKeyDataFields();
}

void TqvKeys::Save(TqvDBDataController* AController) {
  Clear();
  Bind(AController);
  DoSave();
  SortKeys();
}

void TqvKeys::Restore(TqvDBDataController* AController) {
  Bind(AController);
  FHint = 0;
  if (FKeys.empty()) return;
  DoRestore();
  Clear();
}

// Variants compare without a strict weak order: the library's quicksort, which copes with that.
void TqvKeys::SortKeys() {
  TList list;
  for (const auto& key : FKeys) list.Add(key.get());
  list.Sort([](void* A, void* B) {
    return VarCompareEx(static_cast<TqvKeyInfo*>(A)->KeyValues, static_cast<TqvKeyInfo*>(B)->KeyValues);
  });
  std::vector<std::unique_ptr<TqvKeyInfo>> sorted;
  for (auto& key : FKeys) key.release();
  for (Integer i = 0; i < list.GetCount(); ++i) sorted.emplace_back(static_cast<TqvKeyInfo*>(list.Get(i)));
  FKeys.swap(sorted);
}

Variant TqvKeys::RecordKeyValues(Integer ARecordIndex) const { return FController->GetKeyValues(ARecordIndex); }

// Records mostly come in their keys' order: where the last search ended is tried first.
bool TqvKeys::FindKey(Integer ARecordIndex, Integer& AIndex) const {
  Variant values = RecordKeyValues(ARecordIndex);
  auto compare = [&](Integer i) { return VarCompareEx(FKeys[static_cast<size_t>(i)]->KeyValues, values); };
  Integer count = GetCount();
  Integer hint = std::min(FHint, count);
  Integer atHint = hint < count ? compare(hint) : 1;
  bool found;
  if (atHint >= 0 && (hint == 0 || compare(hint - 1) < 0)) {
    AIndex = hint;
    found = atHint == 0;
  } else {
    found = FindSorted(count, compare, AIndex);
  }
  FHint = found ? AIndex + 1 : AIndex;
  return found;
}

// ---------------------------------------------------------------------------------------------
// Expanded details

void TqvDetailKeys::DoSave() {
  TqvDBDataController* c = GetController();
  TqvCustomDataRelationList* relations = c->GetRelations();
  for (Integer r = 0; r < c->GetRecordCount(); ++r) {
    TqvDetailObject* detail = relations->FindDetailObject(r);
    if (!detail || !detail->Expanded) continue;
    auto key = std::make_unique<TqvDetailKeyInfo>();
    key->KeyValues = c->GetKeyValues(r);
    key->ActiveRelationIndex = detail->ActiveRelationIndex;
    key->Details = std::make_unique<TqvSaveObject>();
    auto* clone = dynamic_cast<TqvDBDataController*>(c->GetDetailDataController(detail->GetLinkObject(detail->ActiveRelationIndex)));
    if (clone) key->Details->Save(clone);
    AddKey(std::move(key));
  }
}

void TqvDetailKeys::DoRestore() {
  TqvDBDataController* c = GetController();
  TAliveToken alive = c->AliveToken();
  for (Integer r = 0; alive && r < c->GetRecordCount(); ++r) {
    Integer index;
    if (!FindKey(r, index)) continue;
    auto& key = static_cast<TqvDetailKeyInfo&>(GetKey(index));
    if (key.Restored) continue;
    key.Restored = true;
    c->ChangeDetailExpanding(r, true);
    if (!alive) return;
    c->ChangeDetailActiveRelationIndex(r, key.ActiveRelationIndex);
    if (!c->GetDetailExpanded(r) || c->GetDetailActiveRelationIndex(r) != key.ActiveRelationIndex) continue;
    auto* clone = dynamic_cast<TqvDBDataController*>(c->GetRecordDetailDataController(r, key.ActiveRelationIndex));
    if (clone) key.Details->Restore(clone);
  }
}

// ---------------------------------------------------------------------------------------------
// Selected records

void TqvSelectedKeys::DoSave() {
  TqvDBDataController* c = GetController();
  TqvCustomDataControllerInfo* info = c->GetDataControllerInfo();
  TqvDataSelection* selection = info->GetSelection();
  for (Integer i = 0; i < selection->GetCount(); ++i) {
    const TqvDataSelectionInfo& entry = selection->GetItem(i);
    if (entry.Level == -1 || entry.RecordIndex < 0 || entry.RecordIndex >= c->GetRecordCount()) continue;
    auto key = std::make_unique<TqvSelectedKeyInfo>();
    key->KeyValues = c->GetKeyValues(entry.RecordIndex);
    key->EntryIndex = i;
    key->Level = entry.Level;
    key->RowIndex = entry.RowIndex;
    AddKey(std::move(key));
  }
  info->SaveExpandingStates(qvExpandingStateExpanded | qvExpandingStateSelected);
}

// The selection is made again from the records whose keys were selected, in the order of their
// entries; the rows they show now are found when the view is rebuilt.
void TqvSelectedKeys::DoRestore() {
  TqvDBDataController* c = GetController();
  std::vector<std::pair<Integer, TqvDataSelectionInfo>> restored;
  for (Integer r = 0; r < c->GetRecordCount(); ++r) {
    Integer index;
    if (!FindKey(r, index)) continue;
    auto& key = static_cast<TqvSelectedKeyInfo&>(GetKey(index));
    if (key.Restored) continue;
    key.Restored = true;
    restored.push_back({key.EntryIndex, TqvDataSelectionInfo{key.Level, r, key.RowIndex}});
  }
  std::sort(restored.begin(), restored.end(), [](const auto& A, const auto& B) { return A.first < B.first; });
  std::vector<TqvDataSelectionInfo> entries;
  for (const auto& [position, entry] : restored) entries.push_back(entry);
  c->GetDBSelection()->ReplaceEntries(entries, static_cast<Integer>(entries.size()) < GetCount());
}

// ---------------------------------------------------------------------------------------------
// TqvSaveObject

void TqvSaveObject::Save(TqvDBDataController* AController) {
  if (AController->IsCreatingLinkObject() || AController->IsOwnerDestroying() || !AController->IsKeyNavigation()) return;
  FDetailKeys.Save(AController);
  FSelectedKeys.Save(AController);
}

void TqvSaveObject::Restore(TqvDBDataController* AController) {
  if (AController->IsCreatingLinkObject()) return;
  if (!AController->IsKeyNavigation()) return AController->CheckSelectionAndBookmark(-1);
  TAliveToken alive = AController->AliveToken();
  FDetailKeys.Restore(AController);
  if (alive) FSelectedKeys.Restore(AController);
}
