// The provider: construction, the list of every provider, the cross-provider tests, the modes it
// reports, walking and reading the dataset, and putting the dataset back where it was.
#include <algorithm>

#include "core/qvDataSearch.h"
#include "core/qvVariants.h"
#include "dataaware/qvDBData.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvDBDataLink)
QJ_IMPLEMENT_CLASS(TqvDBDataProvider)

namespace {

// Never destroyed: providers held by process-wide objects (the default editors' lookup combo box)
// leave it at exit, after the statics made before them are gone.
std::vector<TqvDBDataProvider*>& ProviderList() {
  static auto* providers = new std::vector<TqvDBDataProvider*>;
  return *providers;
}

}  // namespace

const std::vector<TqvDBDataProvider*>& DBDataProviders() { return ProviderList(); }

// ---------------------------------------------------------------------------------------------
// TqvValueDefDBReader

const TqvValueDefDBReader::TBinding& TqvValueDefDBReader::BindingOf(TqvValueDef* AValueDef) {
  for (const TBinding& binding : FBindings)
    if (binding.ValueDef == AValueDef) return binding;
  auto* dataField = dynamic_cast<TqvDBDataField*>(FieldOfValueDef(AValueDef));
  TField* field = dataField ? dataField->GetField() : nullptr;
  bool excluded = dataField ? dataField->IsReaderExcluded() : TqvValueDefReader::IsValueDefExcluded(AValueDef);
  FBindings.push_back({AValueDef, field, excluded});
  return FBindings.back();
}

bool TqvValueDefDBReader::IsValueDefExcluded(TqvValueDef* AValueDef) { return BindingOf(AValueDef).Excluded; }

String TqvValueDefDBReader::GetDisplayText(TqvValueDef* AValueDef) {
  TField* field = BindingOf(AValueDef).Field;
  return field ? field->GetDisplayText() : TqvValueDefReader::GetDisplayText(AValueDef);
}

Variant TqvValueDefDBReader::GetValue(TqvValueDef* AValueDef) {
  TField* field = BindingOf(AValueDef).Field;
  if (!field) return TqvValueDefReader::GetValue(AValueDef);
  Variant value = field->GetValue();
  if (VarIsEmpty(value)) return Null();
  return value;
}

// ---------------------------------------------------------------------------------------------
// Construction

TqvDBDataProvider::TqvDBDataProvider(TqvCustomDataController* ADataController)
    : TqvCustomDataProvider(ADataController), FDataLink(New<TqvDBDataLink>(this)) {
  ProviderList().push_back(this);
}

TqvDBDataProvider::~TqvDBDataProvider() {
  for (TqvDBDataProvider* provider : ProviderList()) {
    auto& waiting = provider->FRefreshAfterLoad;
    waiting.erase(std::remove(waiting.begin(), waiting.end(), this), waiting.end());
  }
  FDataLink.reset();
  auto& list = ProviderList();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

TqvDBDataController* TqvDBDataProvider::GetDBDataController() const {
  return static_cast<TqvDBDataController*>(GetDataController());
}

TDataSet* TqvDBDataProvider::GetDataSet() const { return FDataLink ? FDataLink->GetDataSet() : nullptr; }

void TqvDBDataProvider::SetDataSource(TDataSource* AValue) {
  if (FDataLink->GetDataSource() != AValue) FDataLink->SetDataSource(AValue);
}

TField* TqvDBDataProvider::FieldOf(TqvCustomDataField* AField) const {
  auto* field = dynamic_cast<TqvDBDataField*>(AField);
  return field ? field->GetField() : nullptr;
}

bool TqvDBDataProvider::DataSetInEditState() const {
  TDataSet* dataSet = GetDataSet();
  return dataSet && IsEditState(dataSet->GetState());
}

// ---------------------------------------------------------------------------------------------
// Cross-provider tests

template <class TProc>
bool TqvDBDataProvider::AnyProviderOfDataSet(bool AIncludeThis, const TProc& AProc) const {
  TDataSet* dataSet = GetDataSet();
  if (!dataSet) return false;
  for (TqvDBDataProvider* provider : ProviderList())
    if ((AIncludeThis || provider != this) && provider->GetDataSet() == dataSet && AProc(provider)) return true;
  return false;
}

bool TqvDBDataProvider::IsChangeFromProviders() const {
  bool movesCount = IsKeyNavigation() || GetDataController()->IsGridMode();
  const TqvDBDataProvider* source = nullptr;
  AnyProviderOfDataSet(true, [&](TqvDBDataProvider* P) {
    if (P->GetLoadCount() != 0 || P->FInNotifyAfterLoad || (movesCount && P->GetCursorMoveCount() != 0)) {
      source = P;
      return true;
    }
    return false;
  });
  if (!source) return false;
  if (source->FInNotifyAfterLoad) return !FRefreshRequired;
  if (FRefreshRequired) return false;
  return !(GetDataController()->IsGridMode() && GetDataController()->GetLookupUsageCount() != 0);
}

bool TqvDBDataProvider::IsOtherProviderLoading() {
  bool keyNavigation = IsKeyNavigation();
  return AnyProviderOfDataSet(false, [&](TqvDBDataProvider* P) {
    if (P->GetLoadCount() == 0 && !(keyNavigation && P->GetCursorMoveCount() != 0)) return false;
    auto& waiting = P->FRefreshAfterLoad;
    if (P->GetDataController()->GetLookupUsageCount() == 0 && std::find(waiting.begin(), waiting.end(), this) == waiting.end())
      waiting.push_back(this);
    return true;
  });
}

bool TqvDBDataProvider::IsOtherProviderInserting() const {
  return AnyProviderOfDataSet(false, [](TqvDBDataProvider* P) { return P->FInInsert; });
}

bool TqvDBDataProvider::IsAnyEditRecordRunning() const {
  return AnyProviderOfDataSet(true, [](TqvDBDataProvider* P) { return P->FInEditRecord; });
}

bool TqvDBDataProvider::IsDetailLoading() const {
  return AnyProviderOfDataSet(true, [](TqvDBDataProvider* P) {
    return P->GetLoadCount() != 0 && P->GetDataController()->IsDetailMode();
  });
}

void TqvDBDataProvider::MarkRefreshRequired() {
  AnyProviderOfDataSet(true, [](TqvDBDataProvider* P) {
    if (P->GetDataController()->GetDetailMode() != 1) P->FRefreshRequired = true;
    return false;
  });
}

// Each waiting provider hears the data set change again; its own tests then find this provider
// notifying and take the change for a scroll unless it must refresh in full.
void TqvDBDataProvider::NotifyRefreshAfterLoad() {
  if (FInNotifyAfterLoad) return;
  TAliveToken alive = FAlive.Token();
  TValueScope<bool> notifying(FInNotifyAfterLoad, true, alive);
  while (alive && !FRefreshAfterLoad.empty()) {
    TqvDBDataProvider* provider = FRefreshAfterLoad.back();
    FRefreshAfterLoad.pop_back();
    provider->FDataLink->RunDataSetChanged();
  }
}

// ---------------------------------------------------------------------------------------------
// Modes

bool TqvDBDataProvider::IsUniDirectional() const {
  TDataSet* dataSet = GetDataSet();
  return dataSet && dataSet->IsUniDirectional();
}

bool TqvDBDataProvider::IsGridMode() const {
  TqvDBDataController* c = GetDBDataController();
  return c->GetDataModeController()->GetGridMode() && !IsUniDirectional() && !GetGrouped() && c->GetDetailMode() != 1;
}

bool TqvDBDataProvider::IsSourceActive() const {
  TDataSet* dataSet = GetDataSet();
  return dataSet && dataSet->GetActive();
}

bool TqvDBDataProvider::IsSyncMode() const {
  TqvDBDataController* c = GetDBDataController();
  TqvDBDataModeController* modes = c->GetDataModeController();
  bool sync = IsSourceActive() && (IsGridMode() || modes->GetSyncMode()) && !IsUniDirectional();
  if (!c->IsDetailMode()) return sync;
  if (!modes->GetDetailInSyncMode()) return false;
  if (modes->GetDetailInSQLMode()) return sync && IsDetailRangeCurrent();
  if (!IsKeyNavigation()) return sync && IsGridMode();
  return sync;
}

bool TqvDBDataProvider::IsDataAvailable() const {
  TDataSet* dataSet = GetDataSet();
  return dataSet && dataSet->GetActive() && !dataSet->ControlsDisabled();
}

bool TqvDBDataProvider::IsStructureAvailable() const {
  TDataSet* dataSet = GetDataSet();
  return dataSet && dataSet->GetFieldCount() > 0 && (dataSet->GetActive() || !dataSet->GetDefaultFields());
}

bool TqvDBDataProvider::IsKeyNavigation() const { return GetDBDataController()->IsKeyNavigation(); }

bool TqvDBDataProvider::IsSmartRefresh() const {
  return IsKeyNavigation() && GetDBDataController()->GetDataModeController()->GetSmartRefresh();
}

bool TqvDBDataProvider::IsSyncInsert() const { return GetDBDataController()->GetDataModeController()->GetSyncInsert(); }

// ---------------------------------------------------------------------------------------------
// Walking and reading

bool TqvDBDataProvider::IsBOF() const {
  TDataSet* dataSet = GetDataSet();
  return dataSet ? dataSet->GetBof() : TqvCustomDataProvider::IsBOF();
}

void TqvDBDataProvider::RecordLoaded(Integer ARecordIndex) {
  if (!FSavedBookmarkPending || IsGridMode() || IsKeyNavigation()) return;
  TDataSet* dataSet = GetDataSet();
  if (dataSet->CompareBookmarks(FSavedPosition.Bookmark, dataSet->GetBookmark()) != 0) return;
  FSyncRecordIndex = ARecordIndex;
  FSavedBookmarkPending = false;
}

void TqvDBDataProvider::Prior() {
  if (TDataSet* dataSet = GetDataSet()) dataSet->Prior();
}

void TqvDBDataProvider::Next() {
  if (TDataSet* dataSet = GetDataSet()) dataSet->Next();
}

void TqvDBDataProvider::Last() {
  if (TDataSet* dataSet = GetDataSet()) dataSet->Last();
}

void TqvDBDataProvider::MoveBy(Integer ADistance) {
  if (TDataSet* dataSet = GetDataSet()) dataSet->MoveBy(ADistance);
}

// ---------------------------------------------------------------------------------------------
// Position

void TqvDBDataProvider::SavePosition() {
  TDataSet* dataSet = GetDataSet();
  if (!dataSet) return;
  FSavedPosition.Bookmark = dataSet->GetBookmark();
  FSavedPosition.ActiveRecord = dataSet->GetActiveRecord();
  FSavedPosition.Bof = dataSet->GetBof();
  FSavedPosition.Eof = dataSet->GetEof();
  FSavedBookmarkPending = !FSavedPosition.Bookmark.empty();
}

// The record goes back to the row of the buffer it had, so the rows a grid shows do not jump. A
// record that is gone leaves the dataset where it is.
void TqvDBDataProvider::RestorePosition() {
  TDataSet* dataSet = GetDataSet();
  if (!dataSet || FSavedPosition.Bookmark.empty() || !dataSet->BookmarkValid(FSavedPosition.Bookmark)) return;
  try {
    dataSet->SetBookmark(FSavedPosition.Bookmark);
    Integer saved = FSavedPosition.ActiveRecord;
    Integer current = dataSet->GetActiveRecord();
    Integer buffers = dataSet->GetBufferCount();
    if (saved < current) {
      dataSet->MoveBy(buffers - 1 - saved);
      dataSet->MoveBy(saved - buffers + 1);
    } else if (saved > current) {
      dataSet->MoveBy(-saved);
      dataSet->MoveBy(saved);
    }
    if (FSavedPosition.Bof && !dataSet->GetBof()) dataSet->Prior();
    if (FSavedPosition.Eof && !dataSet->GetEof()) dataSet->Next();
  } catch (const EDatabaseError&) {
    // The position is only a courtesy: the records were read all the same.
  }
}

// ---------------------------------------------------------------------------------------------
// Counts and events of the source

void TqvDBDataProvider::BeginCursorMove() {
  TqvCustomDataProvider::BeginCursorMove();
  if (DataSetInEditState()) MarkRefreshRequired();
}

void TqvDBDataProvider::BeginLoad() {
  TqvCustomDataProvider::BeginLoad();
  TDataSet* dataSet = GetDataSet();
  if (!dataSet) return;
  dataSet->DisableControls();
  if (dataSet->GetActive() && IsEditState(dataSet->GetState())) {
    MarkRefreshRequired();
    dataSet->Cancel();
  }
}

// The controls come back while the load still counts, so the data set change they send is this
// provider's own.
void TqvDBDataProvider::EndLoad() {
  TAliveToken alive = FAlive.Token();
  TFinally endLoad([&] {
    if (alive) TqvCustomDataProvider::EndLoad();
  });
  if (TDataSet* dataSet = GetDataSet()) dataSet->EnableControls();
}

void TqvDBDataProvider::ActiveChanged(bool AActive) {
  TAliveToken alive = FAlive.Token();
  TqvCustomDataProvider::ActiveChanged(AActive);
  if (!alive) return;
  TDataSet* dataSet = GetDataSet();
  if (!IsSourceActive() && (!dataSet || dataSet->GetDefaultFields() || dataSet->GetFieldCount() == 0))
    GetDBDataController()->UnbindFields();
}

void TqvDBDataProvider::Scrolled(Integer ADistance) {
  TqvDBDataController* c = GetDBDataController();
  TAliveToken alive = FAlive.Token();
  bool gridMode = IsGridMode();
  if (gridMode) {
    FSyncRecordIndex = FDataLink->GetActiveRecord();
    if (ADistance != 0) c->GridModeBufferScrolled();
    if (alive && !c->GetRelations()->IsEmpty()) c->CollapseDetails();
  } else {
    FSyncRecordIndex += ADistance;
  }
  if (!alive) return;
  TqvCustomDataProvider::Scrolled(ADistance);
  if (!alive) return;
  TDataSet* dataSet = GetDataSet();
  if (gridMode && dataSet && dataSet->IsSequenced()) c->UpdateScrollBars();
}

void TqvDBDataProvider::LayoutChanged(Integer AKind) {
  if (!IsDetailLoading()) return TqvCustomDataProvider::LayoutChanged(AKind);
  if (IsDataAvailable()) GetDBDataController()->RebindFields();
}
