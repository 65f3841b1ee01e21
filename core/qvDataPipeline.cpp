#include "core/qvDataPipeline.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <numeric>
#include <optional>

#include "core/qvClasses.h"
#include "core/qvCustomData.h"
#include "core/qvFilter.h"
#include "core/qvFilterPredicate.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomDataControllerInfo)

namespace {

// Hoare quicksort over a[L..R]. The scans stop at the range bounds and every pass shrinks the
// range, so a comparison that is not a strict weak order cannot run out of the array or loop;
// the smaller part is sorted by recursion, the larger one by the loop (depth O(log n)).
template <class T, class Compare>
void QuickSort(T* a, Integer L, Integer R, const Compare& compare) {
  while (L < R) {
    Integer i = L;
    Integer j = R;
    const T pivot = a[L + static_cast<Integer>((static_cast<uint32_t>(R) - static_cast<uint32_t>(L)) >> 1)];
    do {
      while (i < R && compare(a[i], pivot) < 0) ++i;
      while (j > L && compare(a[j], pivot) > 0) --j;
      if (i <= j) {
        std::swap(a[i], a[j]);
        ++i;
        --j;
      }
    } while (i <= j);
    // Only an inconsistent comparison can leave a part as large as the range.
    if (j >= R) j = R - 1;
    if (i <= L) i = L + 1;
    if (j - L < R - i) {
      QuickSort(a, L, j, compare);
      L = i;
    } else {
      QuickSort(a, i, R, compare);
      R = j;
    }
  }
}

inline Integer CompareInts(int64_t a, int64_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

}  // namespace

// The text of a record as sorting sees it: Null first, then a place never written, then texts
// in byte order. Not file-local: the sorter's members hold it.
struct TqvSortTextKey {
  std::string_view Text;
  Byte Rank = 0;
};

namespace {

inline Integer CompareTexts(const TqvSortTextKey& a, const TqvSortTextKey& b) {
  if (a.Rank != b.Rank || a.Rank < 2) return static_cast<Integer>(a.Rank) - b.Rank;
  int result = a.Text.compare(b.Text);
  return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

// 16- and 32-bit integer items sort through a key array; Null sorts first.
constexpr int64_t kNullKey = INT64_MIN;

bool IsIntegerKeyType(TqvValueTypeClass AType) {
  return AType == TqvIntegerValueType::Class() || AType == TqvSmallintValueType::Class() ||
         AType == TqvWordValueType::Class();
}

bool ReadIntegerKey(TqvValueTypeClass AType, const void* AData, int64_t& AKey) {
  if (AType == TqvIntegerValueType::Class()) {
    int32_t v;
    std::memcpy(&v, AData, sizeof v);
    AKey = v;
  } else if (AType == TqvSmallintValueType::Class()) {
    int16_t v;
    std::memcpy(&v, AData, sizeof v);
    AKey = v;
  } else if (AType == TqvWordValueType::Class()) {
    uint16_t v;
    std::memcpy(&v, AData, sizeof v);
    AKey = v;
  } else {
    return false;
  }
  return true;
}

}  // namespace

TqvSortConversionScope::TqvSortConversionScope(TqvCustomDataController* AController,
                                               const TqvSortingFieldList& AList) {
  for (Integer i = 0; i < AList.GetCount(); ++i) {
    TqvCustomDataField* field = AList.GetItem(i).Field;
    FFields.push_back(field);
    field->SortConversion = 0;
    if (!AController->NeedsSortConversion(field))
      field->SortConversion = -1;
    else
      field->SortConversion = AController->IsSortByDisplayText(field) ? 2 : 1;
  }
}

TqvSortConversionScope::~TqvSortConversionScope() {
  for (TqvCustomDataField* field : FFields) field->SortConversion = 0;
}

// ---------------------------------------------------------------------------------------------
// The comparison of one rebuild: the controller's chain for every total sorting entry, with the
// stored values of plain items read once into key arrays (the same order the storage gives).

class TqvCustomDataControllerInfo::TSorter {
 public:
  TSorter(TqvCustomDataController* AController, const TqvSortingFieldList& AEntries)
      : FController(AController), FEntries(AEntries) {}
  TSorter(const TSorter&) = delete;
  TSorter& operator=(const TSorter&) = delete;

  bool IsPrepared() const { return FConversions.has_value(); }

  void Prepare() {
    FConversions.emplace(FController, FEntries);
    FKeys.resize(FEntries.GetCount());
    for (Integer i = 0; i < FEntries.GetCount(); ++i) {
      FKeys[i].Entry = FEntries.GetItem(i);
      ReadKeys(FKeys[i]);
    }
  }

  // The key arrays of the items read straight from their places, for comparisons by record
  // index (sorting by one integer item reads the places itself and needs none).
  void ReadColumnKeys() {
    for (TKey& key : FKeys)
      if (key.Column) ReadColumnKeys(key, *key.Column);
  }

  // One entry, descending applied.
  Integer CompareEntry(Integer R1, Integer R2, Integer AEntry) const {
    const TKey& key = FKeys[AEntry];
    Integer result;
    switch (key.Kind) {
      case kInteger:
        result = CompareInts(key.Ints[R1], key.Ints[R2]);
        break;
      case kText:
        result = CompareTexts(key.Texts[R1], key.Texts[R2]);
        break;
      case kData: {
        const void* d1 = key.Data[R1];
        const void* d2 = key.Data[R2];
        if (!d1 || !d2) return key.Sign * ((d1 ? 1 : 0) - (d2 ? 1 : 0));
        result = key.Type->CompareValues(d1, d2);
        break;
      }
      default:
        return FController->CompareRecordsBySortField(R1, R2, key.Entry);
    }
    return key.Sign * result;
  }

  Integer Compare(Integer R1, Integer R2) const {
    for (Integer i = 0; i < static_cast<Integer>(FKeys.size()); ++i)
      if (Integer result = CompareEntry(R1, R2, i)) return result;
    return FController->CompareRecordIndexes(R1, R2);
  }

  void SortList(std::vector<Integer>& AList) {
    if (AList.size() < 2) return;
    Integer last = static_cast<Integer>(AList.size()) - 1;
    if (FKeys.size() == 1 && FKeys[0].Kind == kInteger) return SortByIntegerKey(AList);
    ReadColumnKeys();
    if (AllIntegerKeys()) return SortByIntegerKeys(AList);
    if (FKeys.size() == 1 && FKeys[0].Kind == kText) return SortByTextKey(AList);
    QuickSort(AList.data(), 0, last, [this](Integer a, Integer b) { return Compare(a, b); });
  }

 private:
  enum TKind { kGeneral, kData, kInteger, kText };
  struct TKey {
    TqvSortingFieldInfo Entry;
    TKind Kind = kGeneral;
    Integer Sign = 1;
    TqvValueTypeClass Type = nullptr;
    std::vector<const void*> Data;
    std::vector<int64_t> Ints;
    std::vector<TqvSortTextKey> Texts;
    std::optional<TqvStoredColumn> Column;  // integer and text items read from their places
  };
  static constexpr size_t kMaxInlineKeys = 4;
  struct TKeysRecord {
    int64_t Keys[kMaxInlineKeys];
    Integer Record;
  };
  struct TTextRecord {
    TqvSortTextKey Key;
    Integer Record;
  };

  bool CanReadKeys(const TqvCustomDataField* AField) const {
    return AField->SortConversion == -1 && !FController->OnCompare && !FController->IsProviderMode() &&
           !FController->IsRecordComparisonCustomized() && AField->GetStorageDef();
  }

  void ReadKeys(TKey& AKey) {
    TqvCustomDataField* field = AKey.Entry.Field;
    if (!CanReadKeys(field)) return;
    TqvValueDef* def = field->GetStorageDef();
    TqvDataStorage* storage = FController->GetStorage();
    Integer count = storage->GetRecordCount();
    AKey.Type = def->GetValueTypeClass();
    AKey.Sign = AKey.Entry.SortOrder == soDescending ? -1 : 1;
    if (FController->CanReadStoredValues(field)) {
      TqvStoredColumn column(storage, def);
      if (IsIntegerKeyType(AKey.Type) || column.IsText()) {
        AKey.Kind = IsIntegerKeyType(AKey.Type) ? kInteger : kText;
        AKey.Column = column;
        return;
      }
    }
    AKey.Data.resize(count);
    for (Integer r = 0; r < count; ++r) {
      const void* data = nullptr;
      storage->GetValueData(r, def, data);
      AKey.Data[r] = data;
    }
    AKey.Kind = kData;
    if (AKey.Type->HasTextView()) return ReadTextKeys(AKey);
    if (!IsIntegerKeyType(AKey.Type)) return;
    AKey.Ints.resize(count);
    for (Integer r = 0; r < count; ++r)
      if (!AKey.Data[r] || !ReadIntegerKey(AKey.Type, AKey.Data[r], AKey.Ints[r])) AKey.Ints[r] = kNullKey;
    AKey.Data = {};
    AKey.Kind = kInteger;
  }

  static int64_t IntegerKeyOf(const TqvStoredColumn& AColumn, Integer ARecordIndex) {
    const Byte* place = AColumn.PlaceOf(ARecordIndex);
    return place ? AColumn.OrdinalOf(place) : kNullKey;
  }

  // Integer and text keys straight from the places.
  void ReadColumnKeys(TKey& AKey, const TqvStoredColumn& AColumn) {
    const Integer count = FController->GetStorage()->GetRecordCount();
    if (AKey.Kind == kInteger) {
      if (!AKey.Ints.empty()) return;
      AKey.Ints.resize(count);
      for (Integer r = 0; r < count; ++r) AKey.Ints[r] = IntegerKeyOf(AColumn, r);
      return;
    }
    if (!AKey.Texts.empty()) return;
    AKey.Texts.resize(count);
    for (Integer r = 0; r < count; ++r) {
      const Byte* place = AColumn.PlaceOf(r);
      if (!place) continue;  // Null: rank 0
      bool nil;
      AKey.Texts[r].Text = TqvStoredColumn::TextOf(place, nil);
      AKey.Texts[r].Rank = nil ? 1 : 2;
    }
  }

  void ReadTextKeys(TKey& AKey) {
    AKey.Texts.resize(AKey.Data.size());
    for (size_t r = 0; r < AKey.Data.size(); ++r) {
      if (!AKey.Data[r]) continue;  // Null: rank 0
      bool nil = false;
      AKey.Texts[r].Text = AKey.Type->GetTextView(AKey.Data[r], nil);
      AKey.Texts[r].Rank = nil ? 1 : 2;
    }
    AKey.Data = {};
    AKey.Kind = kText;
  }

  void SortByTextKey(std::vector<Integer>& AList) const {
    const TKey& key = FKeys[0];
    std::vector<TTextRecord> items(AList.size());
    for (size_t i = 0; i < AList.size(); ++i) items[i] = {key.Texts[AList[i]], AList[i]};
    Integer sign = key.Sign;
    QuickSort(items.data(), 0, static_cast<Integer>(items.size()) - 1,
              [sign](const TTextRecord& a, const TTextRecord& b) {
                if (Integer result = CompareTexts(a.Key, b.Key)) return sign * result;
                return CompareInts(a.Record, b.Record);
              });
    for (size_t i = 0; i < items.size(); ++i) AList[i] = items[i].Record;
  }

  bool AllIntegerKeys() const {
    if (FKeys.empty() || FKeys.size() > kMaxInlineKeys) return false;
    return std::all_of(FKeys.begin(), FKeys.end(), [](const TKey& key) { return key.Kind == kInteger; });
  }

  // Several integer items: each record's keys side by side with it.
  void SortByIntegerKeys(std::vector<Integer>& AList) const {
    const size_t count = FKeys.size();
    std::vector<TKeysRecord> items(AList.size());
    for (size_t i = 0; i < AList.size(); ++i) {
      items[i].Record = AList[i];
      for (size_t k = 0; k < count; ++k) items[i].Keys[k] = FKeys[k].Ints[AList[i]];
    }
    Integer signs[kMaxInlineKeys];
    for (size_t k = 0; k < count; ++k) signs[k] = FKeys[k].Sign;
    QuickSort(items.data(), 0, static_cast<Integer>(items.size()) - 1,
              [&](const TKeysRecord& a, const TKeysRecord& b) {
                for (size_t k = 0; k < count; ++k)
                  if (a.Keys[k] != b.Keys[k]) return a.Keys[k] < b.Keys[k] ? -signs[k] : signs[k];
                return CompareInts(a.Record, b.Record);
              });
    for (size_t i = 0; i < items.size(); ++i) AList[i] = items[i].Record;
  }

  // The same quicksort and order over one number per record: the key (16 or 32 bits, Null
  // below all, turned over when descending) above the record index, which breaks ties upwards.
  void SortByIntegerKey(std::vector<Integer>& AList) const {
    const TKey& key = FKeys[0];
    constexpr int64_t kLowest = int64_t(INT32_MIN) - 1;  // Null
    constexpr uint64_t kSpan = uint64_t(int64_t(INT32_MAX) - kLowest);
    std::vector<uint64_t> items(AList.size());
    for (size_t i = 0; i < AList.size(); ++i) {
      int64_t value = key.Column ? IntegerKeyOf(*key.Column, AList[i]) : key.Ints[AList[i]];
      uint64_t rank = static_cast<uint64_t>((value == kNullKey ? kLowest : value) - kLowest);
      if (key.Sign < 0) rank = kSpan - rank;
      items[i] = rank << 31 | static_cast<uint32_t>(AList[i]);
    }
    QuickSort(items.data(), 0, static_cast<Integer>(items.size()) - 1,
              [](uint64_t a, uint64_t b) { return a < b ? -1 : (a > b ? 1 : 0); });
    for (size_t i = 0; i < items.size(); ++i) AList[i] = static_cast<Integer>(items[i] & 0x7FFFFFFF);
  }

  TqvCustomDataController* FController;
  const TqvSortingFieldList& FEntries;
  std::optional<TqvSortConversionScope> FConversions;
  std::vector<TKey> FKeys;
};

// ---------------------------------------------------------------------------------------------
// Construction

TqvCustomDataControllerInfo::TqvCustomDataControllerInfo(TqvCustomDataController* ADataController)
    : FDataController(ADataController),
      FGroupingFieldList(MakeOwned<TqvGroupingFieldList>()),
      FSortingFieldList(MakeOwned<TqvSortingFieldList>()),
      FTotalSortingFieldList(MakeOwned<TqvSortingFieldList>()),
      FDataGroups(MakeOwned<TqvDataGroups>()),
      FExpandingInfos(MakeOwned<TqvDataExpandingInfos>()),
      FFocusingInfo(MakeOwned<TqvDataFocusingInfo>(this)),
      FPrevFocusingInfo(MakeOwned<TqvDataFocusingInfo>(this)),
      FSelection(ADataController->GetSelectionClass()->Create(ADataController)) {
  FGroupingFieldList->OnChanged = [this] { GroupingChanged(); };
  FSortingFieldList->OnChanged = [this] { SortingChanged(); };
  FSelection->OnChanged = [this] { SelectionChanged(); };
}

TqvCustomDataControllerInfo::~TqvCustomDataControllerInfo() = default;

// ---------------------------------------------------------------------------------------------
// Lock and change entry points

void TqvCustomDataControllerInfo::EndUpdate() {
  if (FLockCount > 0) --FLockCount;
  CheckUpdate();
}

void TqvCustomDataControllerInfo::CheckUpdate() {
  if (FChanges != 0 && FLockCount == 0 && !FUpdating) Update();
}

void TqvCustomDataControllerInfo::RefreshView() {
  AddChanges(dcicLoad | dcicSummary);
  if (FSortingFieldList->GetCount() > 0) AddChanges(dcicSorting);
  if (FGroupingFieldList->GetCount() > 0) AddChanges(dcicGrouping);
  CheckUpdate();
}

void TqvCustomDataControllerInfo::ResetFocusing() {
  AddChanges(dcicResetFocusedRow);
  FFocusingInfo->Reset();
  CheckUpdate();
}

void TqvCustomDataControllerInfo::SummaryChanged(bool AItemsChanged) {
  AddChanges(AItemsChanged ? dcicView : dcicSummary);
  CheckUpdate();
}

void TqvCustomDataControllerInfo::ExpandingChanged() {
  AddChanges(dcicExpanding);
  FExpandingChanged = true;
}

void TqvCustomDataControllerInfo::FocusedRecordChanged(bool APrevChanged) {
  AddChanges(dcicFocusedRecord);
  if (APrevChanged) FPrevFocusingInfo->Changed = true;
}

void TqvCustomDataControllerInfo::FieldRemoved(TqvCustomDataField* AField) {
  TUpdateScope update(this);
  FSortingFieldList->Remove(AField);
  if (FGroupingFieldList->Find(AField) != -1) FSelection->ClearAll();
  FGroupingFieldList->Remove(AField);
  FGroupingFieldList->SyncSortOrders(*FSortingFieldList);
  FTotalSortingFieldList->Remove(AField);
  FExpandingInfos->FieldRemoved(AField);
}

void TqvCustomDataControllerInfo::FieldChanged(TqvCustomDataField* AField) {
  TUpdateScope update(this);
  AddChanges(dcicView);
  FSortingFieldList->CheckField(AField);
  if (FGroupingFieldList->Find(AField) != -1) {
    FSelection->ClearAll();
    FGroupingFieldList->CheckField(AField);
  }
  FExpandingInfos->FieldRemoved(AField);
}

void TqvCustomDataControllerInfo::GroupingChanged() {
  AddChanges(dcicGrouping | dcicSorting | dcicSummary);
  CheckUpdate();
}

void TqvCustomDataControllerInfo::SortingChanged() {
  AddChanges(dcicSorting);
  CheckUpdate();
}

void TqvCustomDataControllerInfo::SelectionChanged() {
  AddChanges(dcicSelection);
  if (FDataController->IsSummaryOfSelectedRecords()) AddChanges(dcicSummary);
  CheckUpdate();
}

// ---------------------------------------------------------------------------------------------
// Sorting and grouping front ends

void TqvCustomDataControllerInfo::ChangeSorting(TqvCustomDataField* AField, TqvDataSortOrder ASortOrder) {
  TUpdateScope update(this);
  FSortingFieldList->ChangeSorting(AField, ASortOrder);
  FGroupingFieldList->SyncSortOrders(*FSortingFieldList);
}

void TqvCustomDataControllerInfo::ChangeSortIndex(TqvCustomDataField* AField, Integer AIndex) {
  Integer current = FSortingFieldList->Find(AField);
  if (current == -1) return;
  AIndex = std::clamp(AIndex, 0, FSortingFieldList->GetCount() - 1);
  if (current == AIndex) return;
  FSortingFieldList->Move(current, AIndex);
  FDataController->SetSortingChanged();
}

void TqvCustomDataControllerInfo::ClearSorting(bool AKeepGroupingItems) {
  Integer count = FSortingFieldList->GetCount();
  TUpdateScope update(this);
  if (AKeepGroupingItems) {
    for (Integer i = count - 1; i >= 0; --i)
      if (FGroupingFieldList->Find(FSortingFieldList->GetItem(i).Field) == -1) FSortingFieldList->Delete(i);
  } else {
    FSortingFieldList->Clear();
    FGroupingFieldList->SyncSortOrders(*FSortingFieldList);
  }
  if (FSortingFieldList->GetCount() != count) FDataController->SetSortingChanged();
}

void TqvCustomDataControllerInfo::ChangeGroupIndex(TqvCustomDataField* AField, Integer AIndex) {
  TUpdateScope update(this);
  FGroupingFieldList->SetFieldIndex(AField, AIndex);
  FGroupingFieldList->SyncSortOrders(*FSortingFieldList);
}

void TqvCustomDataControllerInfo::ChangeExpanding(Integer ARowIndex, bool AExpanded, bool ARecursive) {
  CheckRowIndex(ARowIndex);
  if (!IsGrouped()) return;
  FDataGroups->SetExpanded(ARowIndex, AExpanded, ARecursive);
  ExpandingChanged();
  if (!AExpanded) {
    BeginUpdate();
    Integer row = FindFocusedRow(true);
    if (row != GetFocusedRowIndex()) ChangeFocusedRow(row, false);
    --FLockCount;
  }
  CheckUpdate();
}

// ---------------------------------------------------------------------------------------------
// Rows

Integer TqvCustomDataControllerInfo::GetRowCount() const {
  return IsGrouped() ? FDataGroups->GetRowCount() : GetFilteredRecordCount();
}

void TqvCustomDataControllerInfo::CheckRowIndex(Integer ARowIndex) const {
  if (ARowIndex < 0 || ARowIndex >= GetRowCount()) RaiseDataControllerError(&sqvDataRowIndexError);
}

TqvRowInfo TqvCustomDataControllerInfo::GetRowInfo(Integer ARowIndex) const {
  CheckRowIndex(ARowIndex);
  TqvRowInfo info;
  if (!IsGrouped()) {
    // Data rows of a view left ungrouped by a failed rebuild still read as data rows.
    info.Level = FGroupingFieldList->GetCount();
    info.RecordIndex = FRecordList[ARowIndex];
    return info;
  }
  TqvDataGroupRowInfo groupInfo;
  FDataGroups->GetRowInfo(ARowIndex, groupInfo);
  info.Expanded = groupInfo.Expanded;
  info.Level = groupInfo.Level;
  info.RecordIndex = FRecordList.at(groupInfo.RecordListIndex);
  return info;
}

Integer TqvCustomDataControllerInfo::GetRowIndexByRecordIndex(Integer ARecordIndex, bool AMakeVisible) {
  Integer position = GetFilteredIndexByRecordIndex(ARecordIndex);
  if (position == -1 || !IsGrouped()) return position;
  Integer group = FDataGroups->FindDeepestByPosition(position);
  if (group == -1) return -1;
  if (!AMakeVisible && (!FDataGroups->GetItem(group).Expanded || !FDataGroups->IsVisible(group))) return -1;
  bool expanded = AMakeVisible && FDataGroups->ExpandParents(group, true);
  const TqvDataGroupInfo& info = FDataGroups->GetItem(group);
  Integer row = info.RowIndex + position - info.FirstIndex + 1;
  if (expanded) {
    ExpandingChanged();
    CheckUpdate();  // the last step: its notifications may free the controller
  }
  return row;
}

Integer TqvCustomDataControllerInfo::GetFocusedRecordIndex() const {
  Integer row = FFocusingInfo->RowIndex;
  return row < 0 || row >= GetRowCount() ? -1 : GetRowInfo(row).RecordIndex;
}

Integer TqvCustomDataControllerInfo::GetRecordIndexByFilteredIndex(Integer AIndex) const {
  return AIndex >= 0 && AIndex < GetFilteredRecordCount() ? FRecordList[AIndex] : -1;
}

Integer TqvCustomDataControllerInfo::GetFilteredIndexByRecordIndex(Integer ARecordIndex) const {
  auto it = std::find(FRecordList.begin(), FRecordList.end(), ARecordIndex);
  return it == FRecordList.end() ? -1 : static_cast<Integer>(it - FRecordList.begin());
}

std::vector<Integer> TqvCustomDataControllerInfo::RecordPositions() const {
  std::vector<Integer> positions(std::max(FDataController->GetRecordCount(), 0), -1);
  for (Integer p = 0; p < GetFilteredRecordCount(); ++p) {
    Integer record = FRecordList[p];
    if (record >= 0 && record < static_cast<Integer>(positions.size())) positions[record] = p;
  }
  return positions;
}

// ---------------------------------------------------------------------------------------------
// Selection

void TqvCustomDataControllerInfo::ChangeRowSelection(Integer ARowIndex, bool ASelect) {
  CheckRowIndex(ARowIndex);
  Integer index;
  bool selected = FSelection->FindRowIndex(ARowIndex, index);
  if (selected && !ASelect) {
    FSelection->DeleteAndNotify(index);
  } else if (!selected && ASelect && FDataController->CanSelectRow(ARowIndex)) {
    TqvRowInfo info = GetRowInfo(ARowIndex);
    if (IsGrouped() && info.Level < FDataGroups->GetFieldCount())
      FSelection->Add(index, ARowIndex, -1, FDataGroups->GetGroupIndexByRowIndex(ARowIndex));
    else
      FSelection->Add(index, ARowIndex, info.Level, info.RecordIndex);
  }
}

bool TqvCustomDataControllerInfo::IsRowSelected(Integer ARowIndex) const {
  CheckRowIndex(ARowIndex);
  return FSelection->IsRowSelected(ARowIndex);
}

// Selection and focus stay on their records when records are deleted: entries after the deleted
// record shift down with it.
void TqvCustomDataControllerInfo::CheckSelectionRecords(Integer ADeletedRecordIndex) {
  if (ADeletedRecordIndex >= 0) {
    FSelection->RecordDeleted(ADeletedRecordIndex);
    if (FFocusingInfo->RecordIndex > ADeletedRecordIndex) --FFocusingInfo->RecordIndex;
  } else {
    FSelection->CheckRecords(FDataController->GetRecordCount());
  }
}

void TqvCustomDataControllerInfo::RecordInserted(Integer ARecordIndex) {
  FSelection->RecordInserted(ARecordIndex);
  if (FFocusingInfo->RecordIndex >= ARecordIndex) ++FFocusingInfo->RecordIndex;
}

// Gives every entry the row its record or group shows now; entries whose record is hidden or
// filtered out are dropped.
void TqvCustomDataControllerInfo::RecomputeSelectionRows(bool AKeepGroupEntries) {
  if (FSelection->GetCount() == 0) return;
  std::vector<Integer> positions = RecordPositions();
  bool grouped = IsGrouped();
  bool dropped = false;
  for (Integer i = FSelection->GetCount() - 1; i >= 0; --i) {
    TqvDataSelectionInfo& entry = FSelection->GetItem(i);
    Integer row = -1;
    if (entry.Level == -1) {
      if (AKeepGroupEntries && entry.RecordIndex >= 0 && entry.RecordIndex < FDataGroups->GetCount())
        row = FDataGroups->GetItem(entry.RecordIndex).RowIndex;
    } else if (entry.RecordIndex >= 0 && entry.RecordIndex < static_cast<Integer>(positions.size())) {
      Integer position = positions[entry.RecordIndex];
      if (position != -1 && grouped) {
        Integer group = FDataGroups->FindDeepestByPosition(position);
        const TqvDataGroupInfo& info = FDataGroups->GetItem(group);
        if (info.Expanded && FDataGroups->IsVisible(group)) row = info.RowIndex + position - info.FirstIndex + 1;
      } else {
        row = position;
      }
    }
    if (row == -1) {
      FSelection->Delete(i);
      dropped = true;
    } else {
      entry.RowIndex = row;
    }
  }
  FSelection->Sort();
  if (dropped) AddChanges(dcicSelection);
}

// ---------------------------------------------------------------------------------------------
// Focus

Integer TqvCustomDataControllerInfo::ClampRow(Integer ARowIndex) const {
  return std::clamp(ARowIndex, -1, GetRowCount() - 1);
}

bool TqvCustomDataControllerInfo::CanFocusRow(Integer ARowIndex) {
  Integer record = ARowIndex == -1 ? -1 : GetRowInfo(ARowIndex).RecordIndex;
  return FDataController->CanFocusRecord(record);
}

void TqvCustomDataControllerInfo::ChangeFocusedRow(Integer ARowIndex, bool AForce) {
  ARowIndex = ClampRow(ARowIndex);
  if (ARowIndex == FFocusingInfo->RowIndex) return;
  struct TFlag {
    bool& Value;
    explicit TFlag(bool& AValue) : Value(AValue) { Value = true; }
    ~TFlag() { Value = false; }
  } focusing(FFocusingRow);
  if (!(FChanges & dcicFocusedRow)) FPrevFocusingInfo->Assign(*FFocusingInfo);
  Integer prevRow = FFocusingInfo->RowIndex;
  if (AForce || CanFocusRow(ARowIndex)) {
    FDataController->FocusedRowChanging(ARowIndex);
    FFocusingInfo->RowIndex = ARowIndex;
  }
  AfterFocusChange(prevRow);
}

void TqvCustomDataControllerInfo::AfterFocusChange(Integer APrevRow) {
  Integer rowCount = GetRowCount();
  if (FPrevFocusingInfo->RowIndex >= rowCount) FPrevFocusingInfo->RowIndex = -1;
  if (FFocusingInfo->RowIndex >= rowCount) FFocusingInfo->RowIndex = -1;
  if (APrevRow != -1 || FFocusingInfo->RowIndex != APrevRow) FFocusingInfo->SyncFromRow();
  if (!FFocusingInfo->IsEqual(*FPrevFocusingInfo)) AddChanges(dcicFocusedRow | dcicFocusedRecord);
}

void TqvCustomDataControllerInfo::FocusRow(Integer ARowIndex) {
  ChangeFocusedRow(ARowIndex, false);
  CheckUpdate();
}

Integer TqvCustomDataControllerInfo::FindFocusedRow(bool AVisibleOnly) {
  Integer record = FFocusingInfo->RecordIndex;
  if (record < 0) return -1;
  Integer position = GetFilteredIndexByRecordIndex(record);
  if (position == -1 || !IsGrouped()) return position;
  Integer group = FDataGroups->FindDeepestByPosition(position);
  if (group == -1) return -1;
  return AVisibleOnly ? FindFocusedRowVisibleOnly(group, position)
                      : GetGroupFocusedRow(group, position, FFocusingInfo->Level);
}

// The row of the focused record in a grouped view, expanding what hides it. A record that opens
// its group stands for the group row focused before (at level ALevel, or the outermost group it
// opens when no level is known).
Integer TqvCustomDataControllerInfo::GetGroupFocusedRow(Integer AGroup, Integer APosition, Integer ALevel) {
  TqvDataGroups& groups = *FDataGroups;
  Integer deepest = groups.GetFieldCount();
  auto dataRow = [&] {
    if (groups.ExpandParents(AGroup, true)) ExpandingChanged();
    const TqvDataGroupInfo& info = groups.GetItem(AGroup);
    return info.RowIndex + APosition - info.FirstIndex + 1;
  };
  if (ALevel >= deepest || APosition != groups.GetItem(AGroup).FirstIndex) return dataRow();
  Integer group = AGroup;
  auto opensParent = [&](Integer g) {
    Integer parent = groups.GetParent(g);
    return parent != -1 && groups.GetItem(parent).FirstIndex == g;
  };
  while (groups.GetLevel(group) > std::max(ALevel, 0) && opensParent(group)) group = groups.GetParent(group);
  if (ALevel >= 0 && groups.GetLevel(group) != ALevel) return dataRow();
  if (groups.ExpandParents(group, false)) ExpandingChanged();
  return groups.GetItem(group).RowIndex;
}

// After a collapse: the row that shows the focused record now, without expanding anything.
Integer TqvCustomDataControllerInfo::FindFocusedRowVisibleOnly(Integer AGroup, Integer APosition) {
  TqvDataGroups& groups = *FDataGroups;
  const TqvDataGroupInfo& info = groups.GetItem(AGroup);
  Integer visible = AGroup;
  groups.ResolveVisible(info.RowIndex, visible);
  Integer level = FFocusingInfo->Level;
  Integer deepest = groups.GetFieldCount();
  if (level >= deepest) {
    if (visible == AGroup && info.Expanded) return info.RowIndex + APosition - info.FirstIndex + 1;
    level = deepest - 1;
  }
  if (level < 0) return groups.GetItem(visible).RowIndex;
  for (Integer g = AGroup; g >= 0; --g)
    if (groups.GetLevel(g) == level) return groups.GetItem(g).RowIndex;
  return -1;
}

void TqvCustomDataControllerInfo::RefindFocusedRow() {
  Integer row = FindFocusedRow(false);
  if (row != GetFocusedRowIndex()) {
    ChangeFocusedRow(row, true);
  } else if (row != -1 && GetRowInfo(row).Level != FFocusingInfo->Level) {
    // The same row number now shows the record at another level (a regrouping).
    if (!(FChanges & dcicFocusedRow)) FPrevFocusingInfo->Assign(*FFocusingInfo);
    AfterFocusChange(row);
  }
  if ((FChanges & dcicFocusedRow) && FPrevFocusingInfo->RowIndex >= GetRowCount())
    FPrevFocusingInfo->RowIndex = -1;
}

// ---------------------------------------------------------------------------------------------
// Expanding states

void TqvCustomDataControllerInfo::SaveExpandingStates(Byte AStates) {
  TqvDataExpandingInfos& infos = *FExpandingInfos;
  if (AStates == infos.SavedStates) return;
  bool match = FDataGroups->GetFieldCount() == FGroupingFieldList->GetCount() &&
               FDataController->GetRecordCount() > 0;
  for (Integer i = 0; match && i < FDataGroups->GetFieldCount(); ++i)
    match = FDataGroups->GetField(i) == FGroupingFieldList->GetItem(i).Field;
  if (AStates == 0 || !match) {
    infos.ClearInfos();
    infos.SavedStates = AStates;
    return;
  }
  infos.SavedStates = AStates;
  infos.ClearFields();
  for (Integer i = 0; i < FGroupingFieldList->GetCount(); ++i) infos.AddField(FGroupingFieldList->GetItem(i).Field);
  bool saveSelection = (AStates & qvExpandingStateSelected) != 0;
  TqvSortConversionScope conversions(FDataController, *FGroupingFieldList);
  Integer skipDeeperThan = -1;
  for (Integer g = 0; g < FDataGroups->GetCount(); ++g) {
    const TqvDataGroupInfo& group = FDataGroups->GetItem(g);
    if (skipDeeperThan != -1 && group.Level > skipDeeperThan) continue;
    skipDeeperThan = group.Expanded ? -1 : group.Level;
    Integer record = FRecordList.at(FDataGroups->GetFirstRecordListIndex(g));
    if (record >= FDataController->GetRecordCount()) continue;
    bool selected = saveSelection && FSelection->FindGroupEntry(g) != -1;
    if (!group.Expanded && !selected) continue;
    Byte state = (group.Expanded ? qvExpandingStateExpanded : 0) | (selected ? qvExpandingStateSelected : 0);
    infos.AddInfo(group.Level, FDataController->GetSortValue(record, FDataGroups->GetField(group.Level)), state);
  }
}

void TqvCustomDataControllerInfo::RestoreExpandingStates() {
  Byte saved = FExpandingInfos->SavedStates;
  if (saved == 0) return;
  Integer count = FGroupingFieldList->GetCount();
  bool sameFields = FExpandingInfos->GetFieldCount() == count;
  for (Integer i = 0; sameFields && i < count; ++i)
    sameFields = FExpandingInfos->GetField(i) == FGroupingFieldList->GetItem(i).Field;
  if (!sameFields) {
    if (saved & qvExpandingStateSelected) FSelection->ClearAll();
    return;
  }
  for (Integer i = FSelection->GetCount() - 1; i >= 0; --i)
    if (FSelection->GetItem(i).Level != count) FSelection->DeleteAndNotify(i);
  if (IsGrouped()) RestoreGroupStates((saved & qvExpandingStateExpanded) != 0);
  if (saved & qvExpandingStateSelected) RecomputeSelectionRows(true);
}

// A saved group value compared with the first record of a group the way the sort compared the
// records: stored values in the storage's order (the saved value written into an internal record
// for the purpose), converted values as sort values, and OnCompare, provider and customised
// comparisons through the controller's chain with that internal record.
class TqvCustomDataControllerInfo::TGroupValueComparer {
 public:
  explicit TGroupValueComparer(TqvCustomDataController* AController)
      : FController(AController), FStorage(AController->GetStorage()) {}
  ~TGroupValueComparer() {
    if (FRecord != 0 && ~FRecord < FStorage->GetInternalRecordCount()) FStorage->DeleteRecord(FRecord);
  }
  TGroupValueComparer(const TGroupValueComparer&) = delete;
  TGroupValueComparer& operator=(const TGroupValueComparer&) = delete;

  // The value the next comparisons look for.
  void SetValue(TqvCustomDataField* AField, const Variant& AValue) {
    FField = AField;
    FValue = AValue;
    FDef = AField->GetStorageDef();
    FStoredOrder = FDef && !FController->OnCompare && !FController->NeedsSortConversion(AField) &&
                   !FController->IsProviderMode() && !FController->IsRecordComparisonCustomized();
    FThroughChain = !FStoredOrder && (FController->OnCompare || !FController->NeedsSortConversion(AField));
    if (!FStoredOrder && !FThroughChain) return;
    if (FRecord == 0) FRecord = FStorage->AddInternalRecord();
    try {
      if (FDef) FStorage->SetValue(FRecord, FDef, AValue);
    } catch (const EVariantError& e) {
      if (!IsVariantConversionError(e)) throw;
      FStorage->SetValue(FRecord, FDef, Null());
    }
  }

  // The record's group value against the saved one, ascending.
  Integer Compare(Integer ARecordIndex) const {
    if (FStoredOrder) {
      const void* recordData = nullptr;
      const void* savedData = nullptr;
      bool recordNull = FStorage->GetValueData(ARecordIndex, FDef, recordData);
      bool savedNull = FStorage->GetValueData(FRecord, FDef, savedData);
      return FDef->Compare(recordNull, savedNull, recordData, savedData);
    }
    if (FThroughChain) return FController->CompareRecordValues(ARecordIndex, FRecord, FField);
    return FController->CompareSortValues(FController->GetSortValue(ARecordIndex, FField), FValue, FField);
  }

 private:
  TqvCustomDataController* FController;
  TqvDataStorage* FStorage;
  TqvCustomDataField* FField = nullptr;
  TqvValueDef* FDef = nullptr;
  Variant FValue;
  bool FStoredOrder = false;
  bool FThroughChain = false;
  Integer FRecord = 0;
};

void TqvCustomDataControllerInfo::RestoreGroupStates(bool AExpand) {
  TqvSortConversionScope conversions(FDataController, *FGroupingFieldList);
  TGroupValueComparer comparer(FDataController);
  std::vector<Integer> path;  // the group found at each level of the current value path
  for (Integer i = 0; i < FExpandingInfos->GetInfoCount(); ++i) {
    const TqvDataExpandingInfo& info = FExpandingInfos->GetInfo(i);
    path.resize(std::max(info.Level, 0), -1);
    Integer group = LocateGroup(path, info.Level, info.Value, comparer);
    path.push_back(group);
    if (group == -1) continue;
    if (AExpand && (info.State & qvExpandingStateExpanded)) FDataGroups->GetItem(group).Expanded = true;
    if (info.State & qvExpandingStateSelected) FSelection->Add(-1, 0, -1, group);
  }
  if (AExpand) FDataGroups->UpdateRowIndexes();
  RecomputeSelectionRows(true);
}

// The child group of the path's last group (a top-level group at level 0) whose value equals
// AValue; siblings are in sort order, so a binary search with the sort's comparison finds it.
Integer TqvCustomDataControllerInfo::LocateGroup(const std::vector<Integer>& APath, Integer ALevel,
                                                 const Variant& AValue, TGroupValueComparer& AComparer) const {
  if (ALevel < 0 || ALevel >= FDataGroups->GetFieldCount()) return -1;
  Integer parent = ALevel == 0 ? -1 : APath[ALevel - 1];
  if (ALevel > 0 && parent == -1) return -1;
  Integer first = 0, last = FDataGroups->GetCount() - 1;
  if (parent != -1) {
    first = FDataGroups->GetItem(parent).FirstIndex;
    last = FDataGroups->GetItem(parent).LastIndex;
  }
  std::vector<Integer> siblings;
  for (Integer g = first; g <= last; ++g)
    if (FDataGroups->GetLevel(g) == ALevel) siblings.push_back(g);
  AComparer.SetValue(FDataGroups->GetField(ALevel), AValue);
  Integer sign = FGroupingFieldList->GetItem(ALevel).SortOrder == soDescending ? -1 : 1;
  auto compare = [&](Integer g) { return sign * AComparer.Compare(FRecordList[FDataGroups->GetFirstRecordListIndex(g)]); };
  Integer low = 0, high = static_cast<Integer>(siblings.size()) - 1;
  while (low <= high) {
    Integer middle = low + (high - low) / 2;
    Integer result = compare(siblings[middle]);
    if (result == 0) return siblings[middle];
    if (result < 0)
      low = middle + 1;
    else
      high = middle - 1;
  }
  return -1;
}

// ---------------------------------------------------------------------------------------------
// The rebuild

void TqvCustomDataControllerInfo::RebuildRecordList() {
  FRecordList.resize(std::max(FDataController->GetRecordCount(), 0));
  std::iota(FRecordList.begin(), FRecordList.end(), 0);
  ++FLoadCount;
}

// Records the filter or the incremental filter rejects leave the list (the edited record always
// stays); selection entries of records that left go with them, the others stay on their records.
// Both are compiled once for the pass, to read stored values directly where they can.
void TqvCustomDataControllerInfo::FilterRecords() {
  TqvDataFilterCriteria* filter = FDataController->GetFilter();
  bool filtering = filter && filter->IsFiltering();
  bool incremental = FDataController->IsIncrementalFilterActive();
  if (!filtering && !incremental) return;
  Integer edited = FDataController->IsEditing() ? FDataController->GetEditingRecordIndex() : -1;
  std::optional<TqvDataFilterPredicate> predicate;
  if (filtering) predicate.emplace(filter);
  std::optional<TqvDisplayTextPrefix> prefix;
  if (incremental)
    prefix.emplace(FDataController, FDataController->GetIncrementalFilterField(),
                   FDataController->GetIncrementalFilterText(),
                   [](TqvCustomDataController* c, TqvCustomDataField* f, Integer r) { return c->GetFieldDisplayText(r, f); });
  // The list is fresh, so a position is a record index. A filter that never takes the general
  // path cannot raise: it answers for all records at once; otherwise record after record.
  const size_t count = FRecordList.size();
  std::vector<Byte> keep;
  bool batch = filtering && !predicate->IsGeneral();
  if (batch) predicate->MatchAll(FRecordList, keep);
  else keep.assign(count, 1);
  for (size_t p = 0; (!batch || incremental) && p < count; ++p) {
    Integer record = FRecordList[p];
    if (record == edited) continue;
    if (filtering && !batch) keep[p] = predicate->IsRecordMatching(record);
    if (incremental && keep[p]) keep[p] = prefix->Matches(record);
  }
  if (edited >= 0 && static_cast<size_t>(edited) < count) keep[edited] = 1;
  size_t kept = 0;
  for (size_t p = 0; p < count; ++p) {
    FRecordList[kept] = FRecordList[p];
    kept += keep[p] != 0;
  }
  bool anyRemoved = kept < count;
  FRecordList.resize(kept);
  if (!anyRemoved) return;
  for (Integer i = FSelection->GetCount() - 1; i >= 0; --i) {
    const TqvDataSelectionInfo& entry = FSelection->GetItem(i);
    bool gone = entry.Level != -1 && entry.RecordIndex >= 0 && entry.RecordIndex < static_cast<Integer>(count) &&
                !keep[entry.RecordIndex];
    if (gone) FSelection->DeleteAndNotify(i);
  }
}

void TqvCustomDataControllerInfo::Sort(TSorter& ASorter) {
  FTotalSortingFieldList->Clear();
  FTotalSortingFieldList->AddFrom(*FGroupingFieldList);
  FTotalSortingFieldList->AddFrom(*FSortingFieldList);
  if (FDataController->IsGridMode() || FRecordList.empty() || FTotalSortingFieldList->GetCount() == 0) return;
  ASorter.Prepare();
  ASorter.SortList(FRecordList);
}

void TqvCustomDataControllerInfo::BuildGroups(TSorter& ASorter) {
  TqvDataGroups& groups = *FDataGroups;
  groups.Clear();
  for (Integer i = 0; i < FGroupingFieldList->GetCount(); ++i) groups.AddField(FGroupingFieldList->GetItem(i).Field);
  Integer levels = groups.GetFieldCount();
  Integer count = static_cast<Integer>(FRecordList.size());
  if (count == 0 || levels == 0) return;
  if (!ASorter.IsPrepared()) ASorter.Prepare();
  ASorter.ReadColumnKeys();
  std::vector<Integer> current(levels), reference(levels, FRecordList[0]);
  auto open = [&](Integer ALevel, Integer ARow, Integer APosition) {
    Integer g = groups.AddGroup();
    TqvDataGroupInfo& info = groups.GetItem(g);
    info.Level = ALevel;
    info.RowIndex = ARow;
    info.FirstIndex = ALevel < levels - 1 ? groups.GetCount() : APosition;
    current[ALevel] = g;
  };
  for (Integer level = 0; level < levels; ++level) open(level, 0, 0);
  Integer ordinal = 0;
  for (Integer p = 1; p < count; ++p) {
    Integer record = FRecordList[p];
    Integer level = 0;
    while (level < levels && ASorter.CompareEntry(record, reference[level], level) == 0) ++level;
    if (level == levels) continue;
    if (level == 0) ++ordinal;
    for (Integer l = level; l < levels; ++l) {
      groups.GetItem(current[l]).LastIndex = l < levels - 1 ? groups.GetCount() - 1 : p - 1;
      open(l, ordinal, p);
      reference[l] = record;
    }
  }
  groups.GetItem(current[levels - 1]).LastIndex = count - 1;
  if (levels >= 2) groups.GetItem(current[levels - 2]).LastIndex = groups.GetCount() - 1;
  for (Integer l = levels - 3; l >= 0; --l) groups.GetItem(current[l]).LastIndex = current[l + 1];
}

// After a failed step the view shows every record, ungrouped and unfocused, so nothing that
// reads it meets a half-built structure.
void TqvCustomDataControllerInfo::MakeConsistent() {
  RebuildRecordList();
  FDataGroups->Clear();
  FExpandingChanged = false;
  if (FSelection->GetCount() > 0 || FSelection->AnchorRowIndex != -1) FSelection->ClearAll();
  if (!(FChanges & dcicFocusedRow)) FPrevFocusingInfo->Assign(*FFocusingInfo);
  bool wasFocused = FFocusingInfo->RowIndex != -1 || FFocusingInfo->RecordIndex != -1;
  FFocusingInfo->RowIndex = -1;
  FFocusingInfo->SyncFromRow();
  AddChanges(dcicLoad);
  if (wasFocused) AddChanges(dcicFocusedRow | dcicFocusedRecord);
}

TqvDataControllerChanges TqvCustomDataControllerInfo::NotificationBits() const {
  TqvDataControllerChanges bits = 0;
  if (FChanges & (dcicSorting | dcicView)) bits |= dccLayout;
  if (FChanges & (dcicLoad | dcicGrouping | dcicExpanding)) bits |= dccData;
  if (FChanges & (dcicFocusedRow | dcicResetFocusedRow | dcicFocusedRecord)) bits |= dccFocus;
  if (FChanges & dcicSelection) bits |= dccSelection;
  if (FChanges & dcicSummary) bits |= dccSummary;
  return bits;
}

void TqvCustomDataControllerInfo::FinishUpdate(TqvDataControllerInfoChanges AInitialChanges) {
  FExpandingInfos->Clear();
  if (FExpandingChanged) RecomputeSelectionRows(true);
  if (AInitialChanges & (dcicSorting | dcicExpanding)) FDataController->SyncSingleSelectedRow();
  // A failing summary (an OnSummary handler) still lets the notifications go out.
  std::exception_ptr summaryError;
  if (AInitialChanges & dcicSummary) {
    try {
      FDataController->CalculateSummary();
    } catch (...) {
      summaryError = std::current_exception();
    }
  }
  TqvDataControllerChanges bits = NotificationBits();
  FChanges = 0;
  FUpdating = false;
  FDataController->ViewChanged(bits);
  if (summaryError) std::rethrow_exception(summaryError);
}

void TqvCustomDataControllerInfo::Update() {
  FDataController->CheckGridModeChange();
  FUpdating = true;
  const TqvDataControllerInfoChanges changes = FChanges;
  FExpandingChanged = false;
  Byte states = 0;
  if (FDataController->GetOptions() & dcoSaveExpanding) {
    if (changes & (dcicLoad | dcicGrouping)) states = qvExpandingStateExpanded;
    if (FSelection->GetCount() > 0 && (changes & (dcicLoad | dcicGrouping | dcicSorting | dcicExpanding)))
      states |= qvExpandingStateSelected;
  }
  std::exception_ptr error;
  try {
    SaveExpandingStates(states);
    if (changes & dcicLoad) {
      RebuildRecordList();
      FilterRecords();
    }
    if (changes & (dcicGrouping | dcicSorting)) {
      TSorter sorter(FDataController, *FTotalSortingFieldList);
      Sort(sorter);
      if (changes & dcicGrouping) BuildGroups(sorter);
    }
    RestoreExpandingStates();
    // Without saved states, group entries name groups that were rebuilt: only data rows stay.
    if (!(states & qvExpandingStateSelected) && (changes & (dcicLoad | dcicGrouping | dcicSorting)))
      RecomputeSelectionRows(!(changes & (dcicLoad | dcicGrouping)));
    RefindFocusedRow();
  } catch (...) {
    error = std::current_exception();
    MakeConsistent();
  }
  FinishUpdate(changes);
  if (error) std::rethrow_exception(error);
}
