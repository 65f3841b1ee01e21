// The dataset controller's filter, which may hand its expression to the dataset or to the
// application, and summary items that name a dataset field.
#include "dataaware/qvDBData.h"
#include "dataaware/qvDBFilter.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvDBDataFilterCriteriaItem)
QJ_IMPLEMENT_CLASS(TqvDBDataFilterCriteria)
QJ_IMPLEMENT_CLASS(TqvDBDataSummaryItem)

// ---------------------------------------------------------------------------------------------
// Conditions

TqvFilterOperatorClass TqvDBDataFilterCriteriaItem::GetOperatorClass() {
  TqvFilterOperatorClass operatorClass = inherited::GetOperatorClass();
  auto* controller = dynamic_cast<TqvDBDataController*>(GetDataController());
  TDataSet* dataSet = controller ? controller->GetDataSet() : nullptr;
  if (TqvDBFilterOperatorAdapter* adapter = FindFilterOperatorAdapter(dataSet))
    adapter->PrepareOperatorClass(this, dataSet, operatorClass);
  return operatorClass;
}

// ---------------------------------------------------------------------------------------------
// The tree as it was when the dataset last accepted it

struct TqvDBDataFilterCriteria::TSnapshotNode {
  bool IsList = false;
  TqvFilterJoinKind JoinKind = fjkAnd;
  std::vector<TSnapshotNode> Children;
  TObject* ItemLink = nullptr;
  TqvFilterOperatorKind OperatorKind = okEqual;
  Variant Value;
  String DisplayValue;
};

namespace {

using TFilterSnapshotNode = TqvDBDataFilterCriteria::TSnapshotNode;

void TakeList(const TqvFilterCriteriaItemList* AList, TFilterSnapshotNode& ANode) {
  ANode.IsList = true;
  ANode.JoinKind = AList->GetJoinKind();
  for (Integer i = 0; i < AList->GetCount(); ++i) {
    TFilterSnapshotNode child;
    TqvCustomFilterCriteriaItem* item = AList->GetItem(i);
    if (item->IsItemList()) {
      TakeList(static_cast<TqvFilterCriteriaItemList*>(item), child);
    } else {
      auto* condition = static_cast<TqvFilterCriteriaItem*>(item);
      child.ItemLink = condition->GetItemLinkObject();
      child.OperatorKind = condition->GetOperatorKind();
      child.Value = condition->GetValue();
      child.DisplayValue = condition->GetDisplayValue();
    }
    ANode.Children.push_back(std::move(child));
  }
}

void PutList(TqvFilterCriteria* ACriteria, TqvFilterCriteriaItemList* AList, const TFilterSnapshotNode& ANode) {
  AList->SetJoinKind(ANode.JoinKind);
  for (const TFilterSnapshotNode& child : ANode.Children) {
    if (child.IsList)
      PutList(ACriteria, AList->AddItemList(child.JoinKind), child);
    else
      ACriteria->AddItem(AList, child.ItemLink, child.OperatorKind, child.Value, child.DisplayValue);
  }
}

}  // namespace

void TqvDBDataFilterCriteria::TakeSnapshot() {
  FSnapshot = std::make_shared<TSnapshotNode>();
  TakeList(GetRoot(), *FSnapshot);
  FSnapshotActive = GetActive();
  FSnapshotAutoDataSetFilter = FAutoDataSetFilter;
  FSnapshotOptions = GetOptions();
}

// Puts the accepted tree back without a change notification: nothing changed since it was
// accepted.
void TqvDBDataFilterCriteria::RestoreSnapshot() {
  TUpdateScope<TqvFilterCriteria, &TqvFilterCriteria::BeginUpdate, &TqvFilterCriteria::CancelUpdate> quiet(this);
  Clear();
  if (FSnapshot) PutList(this, GetRoot(), *FSnapshot);
  SetActive(FSnapshotActive);
  FAutoDataSetFilter = FSnapshotAutoDataSetFilter;
  SetOptions(FSnapshotOptions);
}

// ---------------------------------------------------------------------------------------------
// TqvDBDataFilterCriteria

TqvDBDataFilterCriteria::TqvDBDataFilterCriteria(TqvCustomDataController* ADataController)
    : TqvDataFilterCriteria(ADataController) {}

TqvDBDataController* TqvDBDataFilterCriteria::GetDBDataController() const {
  return dynamic_cast<TqvDBDataController*>(GetDataController());
}

TqvFilterCriteriaItemClass TqvDBDataFilterCriteria::GetItemClass() const {
  return &TqvDBDataFilterCriteriaItem::StaticClass();
}

void TqvDBDataFilterCriteria::SetAutoDataSetFilter(bool AValue) {
  if (FAutoDataSetFilter == AValue) return;
  FAutoDataSetFilter = AValue;
  CheckChanged();
}

void TqvDBDataFilterCriteria::SetIgnoreOrigin(bool AValue) {
  if (FIgnoreOrigin == AValue) return;
  FIgnoreOrigin = AValue;
  CheckChanged();
}

bool TqvDBDataFilterCriteria::IsAutoDataSetFilterActive() const {
  TqvDBDataController* c = GetDBDataController();
  return FAutoDataSetFilter && !(c && c->GetDBProvider()->IsSmartRefresh());
}

bool TqvDBDataFilterCriteria::IsFiltering() const {
  return inherited::IsFiltering() && !OnBeforeChange && !IsAutoDataSetFilterActive();
}

void TqvDBDataFilterCriteria::Assign(TPersistent* ASource) {
  auto* source = As<TqvDBDataFilterCriteria>(ASource);
  if (!source) return inherited::Assign(ASource);
  TCancellableUpdateScope<TqvDBDataFilterCriteria> update(this);
  inherited::Assign(ASource);
  SetAutoDataSetFilter(source->FAutoDataSetFilter);
  SetIgnoreOrigin(source->FIgnoreOrigin);
}

void TqvDBDataFilterCriteria::AssignEvents(TPersistent* ASource) {
  inherited::AssignEvents(ASource);
  if (auto* source = As<TqvDBDataFilterCriteria>(ASource)) OnBeforeChange = source->OnBeforeChange;
}

void TqvDBDataFilterCriteria::RestoreDefaults() {
  TCancellableUpdateScope<TqvDBDataFilterCriteria> update(this);
  inherited::RestoreDefaults();
  SetAutoDataSetFilter(false);
  SetIgnoreOrigin(true);
}

// The dataset takes the text first: a text it refuses leaves its filter, its options and its
// Filtered flag as they were.
void TqvDBDataFilterCriteria::ApplyToDataSet(TDataSet* ADataSet) {
  TqvControlsDisabledScope disabled(ADataSet);
  String text = GetFilterText();
  String oldText = ADataSet->GetFilter();
  TFilterOptions oldOptions = ADataSet->GetFilterOptions();
  bool oldFiltered = ADataSet->GetFiltered();
  ADataSet->SetFilter(text);
  try {
    TFilterOptions options = oldOptions & ~foCaseInsensitive;
    if (HasOption(fcoCaseInsensitive)) options |= foCaseInsensitive;
    ADataSet->SetFilterOptions(options);
    ADataSet->SetFiltered(GetActive() && !text.empty());
  } catch (const EDatabaseError&) {
    ADataSet->SetFiltered(false);
    ADataSet->SetFilter(oldText);
    ADataSet->SetFilterOptions(oldOptions);
    ADataSet->SetFiltered(oldFiltered);
    throw;
  }
}

void TqvDBDataFilterCriteria::Changed() {
  TqvDBDataController* c = GetDBDataController();
  bool destroying = GetBeingDestroyed() || (c && (c->GetDestroying() || c->IsOwnerDestroying()));
  if (!destroying && c) {
    TDataSet* dataSet = c->GetDataSet();
    TAliveToken alive = c->AliveToken();
    if (OnBeforeChange && !c->IsOwnerLoading()) {
      TqvDBDataFilterBeforeChangeEvent handler = OnBeforeChange;
      handler(this, dataSet, GetFilterText());
      if (!alive) return;
    }
    if (IsAutoDataSetFilterActive() && dataSet) {
      try {
        ApplyToDataSet(dataSet);
      } catch (const EDatabaseError&) {
        if (alive) RestoreSnapshot();
        throw;
      }
      if (!alive) return;
    }
  }
  TakeSnapshot();
  TAliveToken alive = c ? c->AliveToken() : TAliveToken();
  inherited::Changed();
  if (destroying || !c || !alive) return;
  if (c->GetDBProvider()->IsSyncMode() && c->GetFocusedRecordIndex() == -1) c->ResetFocusedRow();
}

// ---------------------------------------------------------------------------------------------
// TqvDBDataSummaryItem

TqvDBDataSummaryItem::~TqvDBDataSummaryItem() {
  TqvDBDataController* c = GetDBDataController();
  if (FSummaryField && c && !c->GetDestroying()) Free(FSummaryField);
}

TqvDBDataController* TqvDBDataSummaryItem::GetDBDataController() const {
  return dynamic_cast<TqvDBDataController*>(GetDataController());
}

TqvCustomDataField* TqvDBDataSummaryItem::GetDataField() const {
  return FSummaryField ? FSummaryField : inherited::GetDataField();
}

void TqvDBDataSummaryItem::SetFieldName(const String& AValue) {
  if (FFieldName == AValue) return;
  FFieldName = AValue;
  if (TqvDBDataController* c = GetDBDataController()) {
    c->SetupKeyField(AValue, FSummaryField);
    c->SummaryChanged(false);
  }
}

void TqvDBDataSummaryItem::Assign(TPersistent* ASource) {
  auto* source = As<TqvDBDataSummaryItem>(ASource);
  TUpdateScope update(GetCollection());
  inherited::Assign(ASource);
  if (source) SetFieldName(source->FFieldName);
}
