// The controller's side of searching: incremental search, incremental filter and text search.
#include <algorithm>

#include "core/qvClasses.h"
#include "core/qvCustomData.h"
#include "core/qvDataPipeline.h"
#include "core/qvDataSearch.h"
#include "core/qvFormats.h"

TqvDataControllerNotifier* TqvCustomDataController::GetNotifier() {
  if (!FNotifier) {
    FNotifier.reset(New<TqvDataControllerNotifier>(nullptr));
    FNotifier->DataController = this;
  }
  return FNotifier.get();
}

Integer TqvCustomDataController::SetIncrementalFilter(Integer AItemIndex, const String& AText) {
  FIncrementalFilterField = GetField(AItemIndex);
  FIncrementalFilterText = AText;
  UpdateView();
  return GetRecordIndexByFilteredIndex(0);
}

void TqvCustomDataController::ClearIncrementalFilter() {
  bool wasActive = IsIncrementalFilterActive();
  FIncrementalFilterField = nullptr;
  FIncrementalFilterText.clear();
  if (wasActive && !IsOwnerDestroying() && !FDestroying) UpdateView();
}

bool TqvCustomDataController::ChangeIncrementalFilterText(const String& AText) {
  if (!FIncrementalFilterField || AText == FIncrementalFilterText) return false;
  SetIncrementalFilter(FIncrementalFilterField->GetIndex(), AText);
  return true;
}

bool TqvCustomDataController::IsRecordInIncrementalFilter(Integer ARecordIndex) {
  if (!FIncrementalFilterField || FIncrementalFilterText.empty()) return true;
  return TextStartsWith(GetFieldDisplayText(ARecordIndex, FIncrementalFilterField), FIncrementalFilterText, true);
}

Integer TqvCustomDataController::FindRecordIndexByText(Integer AStartFilteredIndex, Integer AItemIndex,
                                                       const String& AText, bool APartialCompare, bool AWrap,
                                                       bool AForward) {
  TqvCustomDataField* field = GetField(AItemIndex);
  Integer count = GetFilteredRecordCount();
  if (AStartFilteredIndex < 0 || AStartFilteredIndex >= count) return -1;
  auto scan = [&](Integer AFrom, Integer ATo) {
    Integer step = AFrom <= ATo ? 1 : -1;
    for (Integer p = AFrom; p != ATo + step; p += step) {
      Integer record = GetRecordIndexByFilteredIndex(p);
      if (TextStartsWith(GetFieldDisplayText(record, field), AText, APartialCompare)) return record;
    }
    return -1;
  };
  Integer record = scan(AStartFilteredIndex, AForward ? count - 1 : 0);
  if (record != -1 || !AWrap || AStartFilteredIndex == 0) return record;
  if (AForward) return scan(0, AStartFilteredIndex - 1);
  return AStartFilteredIndex + 1 <= count - 1 ? scan(count - 1, AStartFilteredIndex + 1) : -1;
}
