#include "core/qvDataSearch.h"

#include <algorithm>

#include "core/qvClasses.h"
#include "core/qvCustomData.h"
#include "core/qvDataPipeline.h"
#include "core/qvFilterPredicate.h"
#include "core/qvFormats.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvDataControllerSearch)
QJ_IMPLEMENT_CLASS(TqvDataControllerLocateObject)
QJ_IMPLEMENT_CLASS(TqvDataControllerKeyLocateObject)
QJ_IMPLEMENT_CLASS(TqvDataControllerGroupLocateObject)
QJ_IMPLEMENT_CLASS(TqvDataControllerNotifier)

TqvCustomDataField* FieldOfValueDef(TqvValueDef* AValueDef) {
  return AValueDef ? dynamic_cast<TqvCustomDataField*>(AValueDef->GetClient()) : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Incremental search

Integer TqvDataControllerSearch::GetItemIndex() const { return FField ? FField->GetIndex() : -1; }

// The first filtered position from AFrom towards ATo (either direction) whose record's search
// text starts with AText.
Integer TqvDataControllerSearch::Scan(Integer AFrom, Integer ATo, const String& AText) {
  TqvDisplayTextPrefix prefix(FDataController, FField, AText, [](TqvCustomDataController* c, TqvCustomDataField* f, Integer r) {
    return c->GetIncrementalSearchText(r, f->GetIndex());
  });
  Integer step = AFrom <= ATo ? 1 : -1;
  for (Integer p = AFrom; p != ATo + step; p += step) {
    Integer record = FDataController->GetRecordIndexByFilteredIndex(p);
    if (prefix.Matches(record)) return record;
  }
  return -1;
}

// The search's own focus change must not end it.
void TqvDataControllerSearch::FocusMatch(Integer ARecordIndex) {
  TUpdateScope<TqvDataControllerSearch, &TqvDataControllerSearch::Lock, &TqvDataControllerSearch::Unlock> locked(this);
  FDataController->ChangeFocusedRecordIndex(ARecordIndex);
  FDataController->SelectFocused();
}

// A match focused here was selected with it; a grid-mode match still needs the selection.
void TqvDataControllerSearch::Found(const String& AText) {
  FSearching = true;
  FSearchText = AText;
  if (FDataController->IsGridMode()) FDataController->SelectOnlyFocusedRow();
  FDataController->Change(dccSearch);
}

bool TqvDataControllerSearch::Locate(Integer AItemIndex, const String& AText) {
  TqvCustomDataController* c = FDataController;
  if (AText.empty() || c->GetFilteredRecordCount() == 0) return false;
  FField = c->GetField(AItemIndex);
  bool found;
  if (c->IsGridMode()) {
    found = c->FindTextInSource(AText, true, false);
  } else {
    Integer last = c->GetFilteredRecordCount() - 1;
    Integer focused = c->GetFocusedRecordIndex();
    Integer start = focused < 0 ? 0 : std::max(c->GetFilteredIndexByRecordIndex(focused), 0);
    Integer record = Scan(start, last, AText);
    if (record == -1 && start > 0) record = Scan(0, start - 1, AText);
    found = record != -1;
    if (found) FocusMatch(record);
  }
  if (found) Found(AText);
  return found;
}

bool TqvDataControllerSearch::LocateNext(bool AForward) {
  TqvCustomDataController* c = FDataController;
  if (!FSearching || FSearchText.empty() || !FField || c->GetFilteredRecordCount() == 0) return false;
  bool found;
  if (c->IsGridMode()) {
    found = c->FindTextInSource(FSearchText, AForward, true);
  } else {
    Integer focused = c->GetFocusedRecordIndex();
    if (focused < 0) return false;
    Integer position = c->GetFilteredIndexByRecordIndex(focused);
    if (position == -1) return false;
    Integer start = position + (AForward ? 1 : -1);
    Integer last = c->GetFilteredRecordCount() - 1;
    if (start < 0 || start > last) return false;
    Integer record = Scan(start, AForward ? last : 0, FSearchText);
    found = record != -1;
    if (found) FocusMatch(record);
  }
  if (found) Found(FSearchText);
  return found;
}

void TqvDataControllerSearch::Cancel() {
  if (FLocked || !FSearching) return;
  FSearchText.clear();
  FSearching = false;
  FDataController->Change(dccSearch);
}

void TqvDataControllerSearch::FieldRemoving(TqvCustomDataField* AField) {
  if (AField != FField) return;
  Cancel();
  FField = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Locate objects

TqvDataControllerLocateObject::~TqvDataControllerLocateObject() { ReleaseInternalRecord(); }

void TqvDataControllerLocateObject::ReadData(TqvValueDefReader* AReader) {
  TqvDataStorage* storage = FDataController->GetStorage();
  if (FRecordIndex == 0) FRecordIndex = storage->AddInternalRecord();
  storage->ReadRecord(FRecordIndex, AReader, true);
}

// A storage that dropped its internal records meanwhile has nothing left to delete.
void TqvDataControllerLocateObject::ReleaseInternalRecord() {
  if (FRecordIndex == 0) return;
  TqvDataStorage* storage = FDataController->GetStorage();
  if (storage && ~FRecordIndex < storage->GetInternalRecordCount()) storage->DeleteRecord(FRecordIndex);
  FRecordIndex = 0;
}

Integer TqvDataControllerKeyLocateObject::ScanRecords(const std::vector<TqvCustomDataField*>& AFields) {
  if (FRecordIndex == 0 || AFields.empty()) return -1;
  // Fields compare in the scan as the last sort compared them.
  TqvSortConversionScope conversions(FDataController,
                                     *FDataController->GetDataControllerInfo()->GetTotalSortingFieldList());
  for (Integer r = 0; r < FDataController->GetRecordCount(); ++r) {
    bool equal = std::all_of(AFields.begin(), AFields.end(), [&](TqvCustomDataField* field) {
      return FDataController->CompareRecordValues(r, FRecordIndex, field) == 0;
    });
    if (equal) return r;
  }
  return -1;
}

Integer TqvDataControllerKeyLocateObject::FindRecordIndex() { return ScanRecords(FFields); }

TqvDataControllerGroupLocateObject::TqvDataControllerGroupLocateObject(TqvCustomDataController* ADataController)
    : TqvDataControllerKeyLocateObject(ADataController) {
  TqvDataControllerGroups* groups = ADataController->GetGroups();
  for (Integer level = 0; level < groups->GetGroupingItemCount(); ++level) {
    TqvCustomDataField* field = ADataController->GetField(groups->GetItemIndexByLevel(level));
    FGroupingFields.push_back(field);
    if (ADataController->IsSortByDisplayText(field)) FFindGroupRecord = false;
  }
}

void TqvDataControllerGroupLocateObject::SetLevel(Integer ALevel) {
  if (FLevel == ALevel) return;
  FLevel = ALevel;
  if (FFindGroupRecord) return;
  Integer count = std::clamp<Integer>(ALevel + 1, 0, static_cast<Integer>(FGroupingFields.size()));
  FCompareFields.assign(FGroupingFields.begin(), FGroupingFields.begin() + count);
}

// The filtered list is sorted by the total sorting list, grouping entries first.
Integer TqvDataControllerGroupLocateObject::BinarySearch() {
  TqvCustomDataController* c = FDataController;
  TqvSortingFieldList* entries = c->GetDataControllerInfo()->GetTotalSortingFieldList();
  Integer levels = std::min(FLevel + 1, entries->GetCount());
  if (levels <= 0) return -1;
  TqvSortConversionScope conversions(c, *c->GetDataControllerInfo()->GetTotalSortingFieldList());
  Integer low = 0;
  Integer high = c->GetFilteredRecordCount() - 1;
  while (low <= high) {
    Integer middle = low + (high - low) / 2;
    Integer record = c->GetRecordIndexByFilteredIndex(middle);
    Integer result = 0;
    for (Integer i = 0; i < levels && result == 0; ++i)
      result = c->CompareRecordsBySortField(record, FRecordIndex, entries->GetItem(i));
    if (result == 0) return record;
    if (result < 0)
      low = middle + 1;
    else
      high = middle - 1;
  }
  return -1;
}

Integer TqvDataControllerGroupLocateObject::FindRecordIndex() {
  if (FRecordIndex == 0) return -1;
  if (FFindGroupRecord) return BinarySearch();
  struct TSuppress {
    TqvCustomDataController* Controller;
    bool Old;
    ~TSuppress() { Controller->SetSuppressSortByDisplayText(Old); }
  } suppress{FDataController, FDataController->GetSuppressSortByDisplayText()};
  FDataController->SetSuppressSortByDisplayText(true);
  return ScanRecords(FCompareFields);
}

// ---------------------------------------------------------------------------------------------
// Value readers

namespace {

TqvValueDef* OrdinaryDef(TqvValueDef* AValueDef) {
  if (AValueDef && AValueDef->GetOwnerList()->IsInternal())
    return static_cast<TqvInternalValueDef*>(AValueDef)->GetMirrored();
  return AValueDef;
}

}  // namespace

void TqvValueDefUnboundReader::SetValue(TqvValueDef* AValueDef, const Variant& AValue) {
  auto it = std::find(FValueDefs.begin(), FValueDefs.end(), AValueDef);
  size_t index = static_cast<size_t>(it - FValueDefs.begin());
  if (it == FValueDefs.end()) FValueDefs.push_back(AValueDef);
  if (FValues.size() < FValueDefs.size()) FValues.resize(FValueDefs.size(), Null());
  FValues[index] = AValue;
}

void TqvValueDefUnboundReader::Truncate(Integer ACount) {
  size_t count = static_cast<size_t>(std::max(ACount, 0));
  if (FValues.size() > count) FValues.resize(count);
}

Variant TqvValueDefUnboundReader::GetValue(TqvValueDef* AValueDef) {
  TqvValueDef* def = OrdinaryDef(AValueDef);
  auto it = std::find(FValueDefs.begin(), FValueDefs.end(), def);
  size_t index = static_cast<size_t>(it - FValueDefs.begin());
  if (it == FValueDefs.end() || index >= FValues.size()) return Null();
  return FValues[index];
}

Variant TqvValueDefRecordReader::GetValue(TqvValueDef* AValueDef) {
  TqvCustomDataField* field = FieldOfValueDef(AValueDef);
  return field ? FDataController->GetFieldValue(FRecordIndex, field) : Null();
}

String TqvValueDefRecordReader::GetDisplayText(TqvValueDef* AValueDef) {
  TqvCustomDataField* field = FieldOfValueDef(AValueDef);
  if (!field || field->GetIsInternal()) return String();
  return FDataController->GetFieldDisplayText(FRecordIndex, field);
}

bool TqvValueDefReader::IsValueDefExcluded(TqvValueDef* AValueDef) {
  TqvCustomDataField* field = FieldOfValueDef(AValueDef);
  return field && field->IsReaderExcluded();
}

// ---------------------------------------------------------------------------------------------
// Notifier

void TqvDataControllerNotifier::Notification(TComponent* AComponent, TOperation AOperation) {
  inherited::Notification(AComponent, AOperation);
  if (AOperation == opRemove && AComponent != this && DataController) DataController->NotifyComponentRemoved(AComponent);
}
