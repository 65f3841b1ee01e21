#include <algorithm>

#include "platform/data/DBConsts.h"
#include "platform/data/DBSQLite.h"
#include "platform/data/DBSQLiteInternal.h"

QJ_IMPLEMENT_CLASS(TSQLiteDataSet)
QJ_IMPLEMENT_CLASS(TSQLiteTable)
QJ_IMPLEMENT_CLASS(TSQLiteQuery)

// ---------------------------------------------------------------------------------------------
// TSQLiteDataSet

TSQLiteDataSet::TSQLiteDataSet(TComponent* AOwner) : TDataSet(AOwner) {}

TSQLiteDataSet::~TSQLiteDataSet() {
  if (!FDatabase) return;
  auto& dataSets = FDatabase->FDataSets;
  dataSets.erase(std::remove(dataSets.begin(), dataSets.end(), this), dataSets.end());
}

void TSQLiteDataSet::BeforeDestruction() {
  inherited::BeforeDestruction();
  SetDatabase(nullptr);
}

void TSQLiteDataSet::SetDatabase(TSQLiteDatabase* Value) {
  if (Value == FDatabase) return;
  CheckInactive();
  if (FDatabase) {
    auto& dataSets = FDatabase->FDataSets;
    dataSets.erase(std::remove(dataSets.begin(), dataSets.end(), this), dataSets.end());
    FDatabase->RemoveFreeNotification(this);
  }
  FDatabase = Value;
  if (FDatabase) {
    FDatabase->FDataSets.push_back(this);
    FDatabase->FreeNotification(this);
  }
}

void TSQLiteDataSet::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  // The database is past its own destructor here and has closed this dataset already.
  if (Operation == opRemove && AComponent == FDatabase) FDatabase = nullptr;
}

void TSQLiteDataSet::DatabaseRolledBack() {
  if (FDatabase) FDatabase->TransactionRolledBack();
}

sqlite3* TSQLiteDataSet::ConnectedHandle() {
  if (!FDatabase) DatabaseErrorFmt(&SDatabaseMissing, {}, this);
  return FDatabase->GetHandle();
}

// ---------------------------------------------------------------------------------------------
// TSQLiteTable

void TSQLiteTable::SetTableName(const String& Value) {
  if (Value == FTableName) return;
  CheckInactive();
  FTableName = Value;
}

std::unique_ptr<TDataSetStorage> TSQLiteTable::CreateStorage() {
  if (FTableName.empty()) DatabaseErrorFmt(&STableNameMissing, {}, this);
  return CreateTableStorage(ConnectedHandle(), FTableName, [this] { DatabaseRolledBack(); });
}

// ---------------------------------------------------------------------------------------------
// TSQLiteQuery

// Follows the master: another record of it opens the query again.
class TSQLiteQuery::TMasterLink : public TDataLink {
  QJ_CLASS(TMasterLink, TDataLink)
 public:
  explicit TMasterLink(TSQLiteQuery* AQuery) : FQuery(AQuery) {}

 protected:
  void ActiveChanged() override { FQuery->MasterChanged(); }
  void RecordChanged(TField* AField) override {
    if (!AField) FQuery->MasterChanged();
  }

 private:
  TSQLiteQuery* FQuery;
};

const TSQLiteQuery::TMasterLink::MetaType& TSQLiteQuery::TMasterLink::StaticClass() {
  static const MetaType meta = MetaType::Make<TMasterLink>("TSQLiteQuery.TMasterLink", &TDataLink::StaticClass());
  return meta;
}

TSQLiteQuery::TSQLiteQuery(TComponent* AOwner)
    : TSQLiteDataSet(AOwner),
      FSQL(MakeOwned<TStringList>()),
      FParams(MakeOwned<TParams>()),
      FMasterLink(MakeOwned<TMasterLink>(this)) {
  FSQL->OnChange = [this](TObject*) { SQLChanged(); };
}

TSQLiteQuery::~TSQLiteQuery() = default;

void TSQLiteQuery::BeforeDestruction() {
  inherited::BeforeDestruction();
  FMasterLink->SetDataSource(nullptr);
}

void TSQLiteQuery::SetSQL(TStrings* Value) { FSQL->Assign(Value); }

void TSQLiteQuery::SQLChanged() {
  Close();
  FParams->ParseSQL(FSQL->GetText());
}

TDataSource* TSQLiteQuery::GetDataSource() const { return FMasterLink->GetDataSource(); }

void TSQLiteQuery::SetDataSource(TDataSource* Value) {
  std::vector<const TDataSet*> visited;
  for (const TDataSet* master = Value ? Value->GetDataSet() : nullptr; master;) {
    if (master == this) DatabaseErrorFmt(&SCircularDataLink, {}, this);
    if (std::find(visited.begin(), visited.end(), master) != visited.end()) break;
    visited.push_back(master);
    TDataSource* next = master->GetDataSource();
    master = next ? next->GetDataSet() : nullptr;
  }
  FMasterLink->SetDataSource(Value);
}

void TSQLiteQuery::CopyMasterValues() {
  TDataSet* master = FMasterLink->GetDataSet();
  if (!master || !master->GetActive()) return;
  for (Integer i = 0; i < FParams->GetCount(); ++i) {
    TParam* param = FParams->GetItem(i);
    if (TField* field = master->FindField(param->GetName())) param->SetValue(field->GetValue());
  }
}

void TSQLiteQuery::MasterChanged() {
  if (HasState(csDestroying) || !GetActive()) return;
  TDisableControlsScope disabled(this);
  Close();
  Open();
}

std::unique_ptr<TDataSetStorage> TSQLiteQuery::CreateStorage() {
  String text = FSQL->GetText();
  if (Trim(text).empty()) DatabaseErrorFmt(&SNoSQLStatement, {}, this);
  CopyMasterValues();
  return CreateQueryStorage(ConnectedHandle(), text, *FParams);
}
