// The controller's side of the row view: the engine and grouping front end it owns, the filter,
// row and sorting front ends, and the comparison chain sorting goes through.
#include <algorithm>

#include "core/qvCustomData.h"
#include "core/qvDataPipeline.h"
#include "core/qvFilter.h"
#include "core/qvVariants.h"
#include "platform/rtl/Scopes.h"

// ---------------------------------------------------------------------------------------------
// Filter

void TqvCustomDataController::SetFilter(TqvDataFilterCriteria* AValue) { GetFilter()->Assign(AValue); }

TqvDataFilterCriteriaClass TqvCustomDataController::GetFilterCriteriaClass() const {
  return &TqvDataFilterCriteria::StaticClass();
}

TqvDataSelectionClass TqvCustomDataController::GetSelectionClass() const {
  return &TqvDataSelection::StaticClass();
}

void TqvCustomDataController::CheckSelectionAndBookmark(Integer ADeletedRecordIndex) {
  GetDataControllerInfo()->CheckSelectionRecords(ADeletedRecordIndex);
  CheckBookmark(ADeletedRecordIndex);
}

// ---------------------------------------------------------------------------------------------
// Sorting front ends

void TqvCustomDataController::ChangeSorting(Integer AItemIndex, TqvDataSortOrder ASortOrder) {
  TqvCustomDataField* field = GetField(AItemIndex);
  if (GetDataControllerInfo()->GetSortingFieldList()->GetSortOrder(field) == ASortOrder) return;
  TUpdateScope update(this);
  FSortingChanged = true;
  GetDataControllerInfo()->ChangeSorting(field, ASortOrder);
}

void TqvCustomDataController::ChangeSortIndex(Integer AItemIndex, Integer ASortIndex) {
  TqvCustomDataField* field = GetField(AItemIndex);
  TUpdateScope update(this);
  GetDataControllerInfo()->ChangeSortIndex(field, ASortIndex);
}

void TqvCustomDataController::ClearSorting(bool AKeepGroupingItems) {
  TUpdateScope update(this);
  GetDataControllerInfo()->ClearSorting(AKeepGroupingItems);
}

TqvDataSortOrder TqvCustomDataController::GetItemSortOrder(Integer AItemIndex) const {
  TqvCustomDataField* field = GetField(AItemIndex);
  TqvCustomDataControllerInfo* info = GetDataControllerInfo();
  TqvDataSortOrder order = info->GetSortingFieldList()->GetSortOrder(field);
  return order != soNone ? order : info->GetGroupingFieldList()->GetSortOrder(field);
}

Integer TqvCustomDataController::GetItemSortIndex(Integer AItemIndex) const {
  return GetDataControllerInfo()->GetSortingFieldList()->Find(GetField(AItemIndex));
}

Integer TqvCustomDataController::GetSortingItemCount() const {
  return GetDataControllerInfo()->GetSortingFieldList()->GetCount();
}

// ---------------------------------------------------------------------------------------------
// The comparison chain

Integer TqvCustomDataController::CompareRecordsBySortField(Integer ARecordIndex1, Integer ARecordIndex2,
                                                          const TqvSortingFieldInfo& AEntry) {
  Integer result = CompareRecordValues(ARecordIndex1, ARecordIndex2, AEntry.Field);
  return AEntry.SortOrder == soDescending ? -result : result;
}

// The user data source decides how its records are ordered: by itself, by raw values, or else
// by their values as Variants.
Integer TqvCustomDataController::CompareInProvider(Integer ARecordIndex1, Integer ARecordIndex2,
                                                  TqvCustomDataField* AField) {
  TqvCustomDataProvider* provider = GetProvider();
  TqvUserDataSource* source = provider->GetUserDataSource();
  if (ARecordIndex1 >= 0 && ARecordIndex2 >= 0 && source->IsCustomCompare())
    return provider->CompareInSource(ARecordIndex1, ARecordIndex2, AField);
  if (source->IsNativeCompare()) return provider->CompareValues(ARecordIndex1, ARecordIndex2, AField);
  return CompareSortValues(GetFieldValue(ARecordIndex1, AField), GetFieldValue(ARecordIndex2, AField), AField);
}

Integer TqvCustomDataController::CompareRecordValues(Integer ARecordIndex1, Integer ARecordIndex2,
                                                    TqvCustomDataField* AField) {
  if (!OnCompare && !NeedsSortConversion(AField)) {
    if (IsProviderMode() && IsProviderField(AField)) return CompareInProvider(ARecordIndex1, ARecordIndex2, AField);
    TqvValueDef* def = AField->GetStorageDef();
    return def ? FStorage->CompareRecords(ARecordIndex1, ARecordIndex2, def) : 0;
  }
  Variant v1 = GetSortValue(ARecordIndex1, AField);
  Variant v2 = GetSortValue(ARecordIndex2, AField);
  if (OnCompare) {
    Integer compare = 0;
    TqvDataControllerCompareEvent handler = OnCompare;
    handler(this, ARecordIndex1, ARecordIndex2, AField->GetIndex(), v1, v2, compare);
    return compare;
  }
  return CompareSortValues(v1, v2, AField);
}

Integer TqvCustomDataController::CompareSortValues(const Variant& V1, const Variant& V2,
                                                  TqvCustomDataField* AField) const {
  if (!IsStringCompareNeeded(AField)) return VarCompareEx(V1, V2);
  String s1 = VarToStr(V1);
  String s2 = VarToStr(V2);
  bool ansi = (FOptions & dcoAnsiSort) != 0;
  bool caseInsensitive = (FOptions & dcoCaseInsensitive) != 0;
  if (ansi) return caseInsensitive ? AnsiCompareText(s1, s2) : AnsiCompareStr(s1, s2);
  return CompareStr(AnsiUpperCase(s1), AnsiUpperCase(s2));
}

Variant TqvCustomDataController::GetSortValue(Integer ARecordIndex, TqvCustomDataField* AField) {
  if (AField->SortConversion == 2) return Variant(GetDisplayText(ARecordIndex, AField->GetIndex()));
  return GetFieldValue(ARecordIndex, AField);
}

bool TqvCustomDataController::NeedsSortConversion(TqvCustomDataField* AField) {
  if (AField->SortConversion != 0) return AField->SortConversion > 0;
  return AField->GetForceSortConversion() || IsStringCompareNeeded(AField) || IsSortByDisplayText(AField);
}

bool TqvCustomDataController::IsStringCompareNeeded(TqvCustomDataField* AField) const {
  if (!(FOptions & (dcoAnsiSort | dcoCaseInsensitive))) return false;
  TqvValueDef* def = AField->GetStorageDef();
  return def && def->IsString();
}

bool TqvCustomDataController::IsSortByDisplayText(TqvCustomDataField* AField) const {
  return !FSuppressSortByDisplayText && (FOptions & dcoSortByDisplayText) && !AField->GetIsInternal() &&
         ItemHasOwnDisplayText(AField->GetIndex());
}
