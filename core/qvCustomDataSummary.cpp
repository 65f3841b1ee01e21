// The controller's side of its summary: the owned summary, its class hooks and the summary step
// of a rebuild.
#include "core/qvCustomData.h"
#include "core/qvDataPipeline.h"
#include "core/qvDataSummary.h"

void TqvCustomDataController::SetSummary(TqvDataSummary* AValue) {
  if (AValue && AValue != FSummary.get()) GetSummary()->Assign(AValue);
}

TqvDataSummaryClass TqvCustomDataController::GetSummaryClass() const { return &TqvDataSummary::StaticClass(); }

TqvSummaryItemClass TqvCustomDataController::GetSummaryItemClass() const {
  return &TqvDataSummaryItem::StaticClass();
}

TqvSummaryItemClass TqvCustomDataController::GetSummaryGroupItemLinkClass() const {
  return &TqvDataSummaryGroupItemLink::StaticClass();
}

void TqvCustomDataController::SummaryChanged(bool AItemsChanged) {
  if (!FDestroying) GetDataControllerInfo()->SummaryChanged(AItemsChanged);
}

void TqvCustomDataController::CalculateSummary() {
  if (!FSummary || FDestroying || (FOwner && FOwner->HasState(csReading | csDestroying))) return;
  FSummary->Calculate();
}

bool TqvCustomDataController::IsSummaryOfSelectedRecords() const {
  return FSummary && (FSummary->GetOptions() & soSelectedRecords);
}
