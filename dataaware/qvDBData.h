// The dataset data controller: a data controller whose records come from a TDataSet through its
// provider (qvDBDataProvider.h). Items are bound to dataset fields by name; key fields find
// records again after a reload and locate them; data mode settings choose grid mode, sync mode,
// smart refresh and how a detail selects its master's rows; master-detail relations join dataset
// controllers by key fields; expanded details and selected records are kept by key across a
// reload. In grid mode the selection and the bookmark are dataset bookmarks. The filter can go to
// the dataset, and summary items can name a dataset field.
//
// Where the parts live:
//   qvDBDataController.cpp        construction, settings, modes, loading, focus and the dataset
//   qvDBDataControllerFields.cpp  fields bound by name, value types, key fields and locating
//   qvDBDataControllerDetail.cpp  relations, master-detail keys, the detail query, syncing masters
//   qvDBDataKeys.cpp              expanded details and selection kept by key across a reload
//   qvDBDataSelection.cpp         grid-mode selection and bookmark
//   qvDBDataFilter.cpp            the dataset filter and summary items
#pragma once

#include <functional>
#include <memory>

#include "core/qvDataSelection.h"
#include "core/qvDataSummary.h"
#include "core/qvFilter.h"
#include "dataaware/qvDBDataProvider.h"

class TqvDBDataController;
class TqvDBDataModeController;
class TqvDBDataFilterCriteria;

using TqvDBDataModeControllerDetailFirstEvent =
    std::function<void(TqvDBDataModeController* Sender, TDataSet* ADataSet, const String& AMasterDetailKeyFieldNames,
                       const Variant& AMasterDetailKeyValues, bool& AReopened)>;
using TqvDBDataModeControllerDetailIsCurrentQueryEvent =
    std::function<bool(TqvDBDataModeController* Sender, TDataSet* ADataSet, const String& AMasterDetailKeyFieldNames,
                       const Variant& AMasterDetailKeyValues)>;
using TqvDBDataDetailHasChildrenEvent =
    std::function<void(TqvDBDataController* Sender, Integer ARecordIndex, Integer ARelationIndex,
                       const String& AMasterDetailKeyFieldNames, const Variant& AMasterDetailKeyValues,
                       bool& HasChildren)>;
using TqvDBDataFilterBeforeChangeEvent =
    std::function<void(TqvDBDataFilterCriteria* Sender, TDataSet* ADataSet, const String& AFilterText)>;

// ---------------------------------------------------------------------------------------------
// Data mode settings

class TqvDBDataModeController : public TPersistent {
  QJ_CLASS(TqvDBDataModeController, TPersistent)
 public:
  explicit TqvDBDataModeController(TqvDBDataController* ADataController) : FDataController(ADataController) {}

  // Every setting, the two unpublished ones and both events included, through the setters.
  void Assign(TPersistent* ASource) override;
  TPersistent* GetOwner() override;
  // OnDetailIsCurrentQuery decides when assigned, else the detail filter adapter.
  virtual bool DetailIsCurrentQuery(const String& AMasterDetailKeyFieldNames, const Variant& AMasterDetailKeyValues);
  // Selects the master's rows: OnDetailFirst when assigned, else the adapter's SelectDetail.
  virtual void DetailFirst(const String& AMasterDetailKeyFieldNames, const Variant& AMasterDetailKeyValues,
                           bool& AReopened);

  bool GetDetailInSQLMode() const { return FDetailInSQLMode; }
  void SetDetailInSQLMode(bool AValue) { FDetailInSQLMode = AValue; }
  bool GetDetailInSyncMode() const { return FDetailInSyncMode; }
  void SetDetailInSyncMode(bool AValue) { FDetailInSyncMode = AValue; }
  // A change of the effective grid mode resets the controller's structure.
  bool GetGridMode() const { return FGridMode; }
  void SetGridMode(bool AValue);
  // 0: automatic; a negative count becomes 0.
  Integer GetGridModeBufferCount() const { return FGridModeBufferCount; }
  void SetGridModeBufferCount(Integer AValue);
  bool GetSmartRefresh() const { return FSmartRefresh; }
  void SetSmartRefresh(bool AValue);
  bool GetSyncInsert() const { return FSyncInsert; }
  void SetSyncInsert(bool AValue) { FSyncInsert = AValue; }
  bool GetSyncMode() const { return FSyncMode; }
  void SetSyncMode(bool AValue);
  TqvDBDataController* GetDataController() const { return FDataController; }

  TqvDBDataModeControllerDetailFirstEvent OnDetailFirst;
  TqvDBDataModeControllerDetailIsCurrentQueryEvent OnDetailIsCurrentQuery;

 private:
  TqvDBDataController* FDataController;
  bool FDetailInSQLMode = false;
  bool FDetailInSyncMode = true;
  bool FGridMode = false;
  Integer FGridModeBufferCount = 0;
  bool FSmartRefresh = false;
  bool FSyncInsert = true;
  bool FSyncMode = true;
};

// ---------------------------------------------------------------------------------------------
// Fields bound to dataset fields by name

class TqvDBDataField : public TqvCustomDataField {
  QJ_CLASS(TqvDBDataField, TqvCustomDataField)
 public:
  explicit TqvDBDataField(TqvCustomDataFieldList* AFieldList) : TqvCustomDataField(AFieldList) {}
  ~TqvDBDataField() override;

  // Also takes the source's TField and sub-fields; the source loses them.
  void TakeOverValueDef(TqvCustomDataField* ASource) override;
  void NotifyComponentRemoved(TComponent* AComponent) override;
  // Editing as the item's value source allows (see CanModifyBySource).
  bool CanModify(bool AEditValueSource) const override;
  // Nothing is read without a TField, or in grid mode (the buffer answers).
  bool IsReaderExcluded() const override;

  // A lookup field: only by its key (2) when each sub-field can be modified by value. Others:
  // CanModifyField with any kind for a value (0), an OnSetText handler for a non-scalar's text.
  bool CanModifyBySource(Integer AEditValueSource) const;
  // A reference field answers with the field it references.
  TField* GetField() const;
  void SetField(TField* AField);
  const String& GetFieldName() const { return FFieldName; }
  void SetFieldName(const String& AValue) { FFieldName = AValue; }
  TqvDBDataField* GetParentField() const { return FParentField; }
  Integer GetSubFieldCount() const;
  TqvDBDataField* GetSubField(Integer AIndex) const;
  // Raises EqvInvalidDataControllerOperation for a field that has a parent already.
  void AddSubField(TqvDBDataField* AField);
  void ClearSubFields();
  bool IsLookup() const;
  // Follows the TField: display texts kept as it needs them, the value type of its data type.
  void UpdateFromField(TField* ATField);
  TqvDBDataController* GetDBDataController() const;

 private:
  const TqvDBDataField* Target() const;

  TField* FField = nullptr;
  String FFieldName;
  std::vector<TqvDBDataField*> FSubFields;  // owned
  TqvDBDataField* FParentField = nullptr;
};

// The storage value type of a dataset field's data type (the variant type for others).
TqvValueTypeClass GetFieldValueTypeClass(const TField* AField);

// ---------------------------------------------------------------------------------------------
// Master-detail

class TqvDBDataRelation : public TqvCustomDataRelation {
  QJ_CLASS(TqvDBDataRelation, TqvCustomDataRelation)
 public:
  using TqvCustomDataRelation::TqvCustomDataRelation;
  ~TqvDBDataRelation() override;

  void FieldRemoving(TqvCustomDataField* AField) override;
  // A master key field exists and the detail names its key fields.
  virtual bool IsLinked() const;

  // Empty when not linked; else the master record's key values (one value or an array).
  Variant GetMasterKeyValues(Integer ARecordIndex);
  // The names the detail pattern controller of this relation gives; empty for another kind.
  String GetDetailKeyFieldNames() const;
  String GetMasterKeyFieldNames() const;
  TqvDBDataField*& MasterKeyField() { return FMasterKeyField; }
  TqvDBDataController* GetDetailDBDataController() const;

 private:
  TqvDBDataField* FMasterKeyField = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Grid-mode selection: bookmarks beside the base entries

class TqvDBDataSelection : public TqvDataSelection {
  QJ_CLASS(TqvDBDataSelection, TqvDataSelection)
 public:
  using TqvDataSelection::TqvDataSelection;

  void ResetAnchor() override;
  void InsertItem(Integer AIndex, Integer ARowIndex, Integer ALevel, Integer ARecordIndex) override;
  void ClearItems() override;
  void Delete(Integer AIndex) override;
  bool FindRowIndex(Integer ARowIndex, Integer& AIndex) const override;

  // Grid mode: every record of the dataset, in dataset order.
  void SelectAll();
  // Grid mode: the records from the anchor to ABookmark (either order); without AKeepSelection
  // the range replaces the selection, else it is merged into it.
  void SelectRange(const TBookmarkStr& ABookmark, bool AKeepSelection);
  // The dataset's order of two bookmarks; -1 while the data link is inactive.
  Integer CompareBookmarks(const TBookmarkStr& A, const TBookmarkStr& B) const;
  // Bisection; not found: AIndex is where ABookmark belongs.
  bool FindBookmark(const TBookmarkStr& ABookmark, Integer& AIndex) const;
  TBookmarkStr GetRowBookmark(Integer ARowIndex) const;
  // Drops the entries whose bookmark is empty or no longer valid; true when any went.
  bool RemoveInvalidBookmarks();
  // The entry count follows the bookmark count.
  void SyncCount();
  // The entries become AEntries (a reload found the selected records again).
  void ReplaceEntries(const std::vector<TqvDataSelectionInfo>& AEntries, bool ANotify);

  const TBookmarkStr& GetAnchorBookmark() const { return FAnchorBookmark; }
  void SetAnchorBookmark(const TBookmarkStr& AValue) { FAnchorBookmark = AValue; }
  Integer GetBookmarkCount() const { return static_cast<Integer>(FBookmarks.size()); }
  const TBookmarkStr& GetBookmark(Integer AIndex) const;

 private:
  TqvDBDataController* GetDBDataController() const;
  bool IsGridModeWithDataSet() const;
  bool SelectRangeQuickly(const TBookmarkStr& A, const TBookmarkStr& B, bool AForward);
  void SelectRangeFully(const TBookmarkStr& A, const TBookmarkStr& B, bool AKeepSelection);
  void SelectionWalked();

  TBookmarkStr FAnchorBookmark;
  std::vector<TBookmarkStr> FBookmarks;
  bool FInSyncCount = false;
};

// ---------------------------------------------------------------------------------------------
// The dataset filter and summary items

class TqvDBDataFilterCriteriaItem : public TqvDataFilterCriteriaItem {
  QJ_CLASS(TqvDBDataFilterCriteriaItem, TqvDataFilterCriteriaItem)
 public:
  using TqvDataFilterCriteriaItem::TqvDataFilterCriteriaItem;
  // The base's class, adapted to the dataset (SQL datasets test blanks with IS NULL).
  TqvFilterOperatorClass GetOperatorClass() override;
};

class TqvDBDataFilterCriteria : public TqvDataFilterCriteria {
  QJ_CLASS(TqvDBDataFilterCriteria, TqvDataFilterCriteria)
 public:
  explicit TqvDBDataFilterCriteria(TqvCustomDataController* ADataController);

  void Assign(TPersistent* ASource) override;
  void AssignEvents(TPersistent* ASource) override;
  TqvFilterCriteriaItemClass GetItemClass() const override;
  // Hands the expression to OnBeforeChange and, for an active auto dataset filter, to the
  // dataset; a text the dataset refuses leaves the conditions as they were and raises.
  void Changed() override;
  void RestoreDefaults() override;
  // Not when the filter goes to the dataset or to the handler.
  bool IsFiltering() const override;

  bool GetAutoDataSetFilter() const { return FAutoDataSetFilter; }
  void SetAutoDataSetFilter(bool AValue);
  bool GetIgnoreOrigin() const { return FIgnoreOrigin; }
  void SetIgnoreOrigin(bool AValue);
  // The auto dataset filter is on and the controller does not refresh smartly.
  bool IsAutoDataSetFilterActive() const;

  TqvDBDataFilterBeforeChangeEvent OnBeforeChange;

  // A copy of the tree (conditions by their links), kept to put back a tree the dataset refused.
  struct TSnapshotNode;

 private:
  TqvDBDataController* GetDBDataController() const;
  void ApplyToDataSet(TDataSet* ADataSet);
  void TakeSnapshot();
  void RestoreSnapshot();

  bool FAutoDataSetFilter = false;
  bool FIgnoreOrigin = true;
  std::shared_ptr<TSnapshotNode> FSnapshot;
  bool FSnapshotActive = false;
  bool FSnapshotAutoDataSetFilter = false;
  TqvFilterCriteriaOptions FSnapshotOptions = 0;
};

class TqvDBDataSummaryItem : public TqvDataSummaryItem {
  QJ_CLASS(TqvDBDataSummaryItem, TqvDataSummaryItem)
 public:
  explicit TqvDBDataSummaryItem(TCollection* ACollection) : TqvDataSummaryItem(ACollection) {}
  ~TqvDBDataSummaryItem() override;

  void Assign(TPersistent* ASource) override;
  // The field named by FieldName when set, else the linked item's.
  TqvCustomDataField* GetDataField() const override;

  const String& GetFieldName() const { return FFieldName; }
  void SetFieldName(const String& AValue);
  TqvDBDataField* GetSummaryField() const { return FSummaryField; }

 private:
  TqvDBDataController* GetDBDataController() const;

  TqvDBDataField* FSummaryField = nullptr;
  String FFieldName;
};

// ---------------------------------------------------------------------------------------------
// The controller

class TqvDBDataController : public TqvCustomDataController {
  QJ_CLASS(TqvDBDataController, TqvCustomDataController)
 public:
  explicit TqvDBDataController(TComponent* AOwner);
  ~TqvDBDataController() override;

  // --- overrides of the base (see the .cpp files named above)
  void Assign(TPersistent* ASource) override;
  TObject* GetItem(Integer AIndex) const override;
  bool CanChangeDetailExpanding(Integer ARecordIndex, bool AExpanded) override;
  bool CanFocusRecord(Integer ARecordIndex) override;
  void CheckEditingFinished() override;
  bool CanChangeFocusedRow() override;
  void RecordDeleted(Integer ARecordIndex) override;
  bool FindTextInSource(const String& AText, bool AForward, bool ANext) override;
  Integer GetActiveRecordIndex() const override;
  TqvCustomDataProviderClass GetDataProviderClass() const override;
  TqvDataSelectionClass GetSelectionClass() const override;
  TqvCustomDataFieldClass GetFieldClass() const override;
  TqvDataFilterCriteriaClass GetFilterCriteriaClass() const override;
  TqvCustomDataRelationClass GetRelationClass() const override;
  TqvSummaryItemClass GetSummaryItemClass() const override;
  bool IsBookmarkLost(Integer ARecordIndex) const override;
  void ClearBookmark() override;
  bool GotoBookmark() override;
  bool SaveBookmark() override;
  bool IsProviderField(TqvCustomDataField* AField) const override;
  bool CanReadStoredValues(TqvCustomDataField* AField) const override;
  bool IsReloadAllowed() const override { return true; }
  void LoadData() override;
  void DoLoadFinished() override;
  void UpdateField(TqvCustomDataField* AField) override;
  void NotifyComponentRemoved(TComponent* AComponent) override;
  void ResetStructure() override;
  void UpdateFields() override;
  void ResetFocusedRow() override;
  void RelationsChanged(TqvCustomDataRelation* ARelation) override;
  void OwnerLoaded() override;
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;
  void ChangeValueTypeClass(Integer AItemIndex, TqvValueTypeClass AValueTypeClass) override;
  Variant GetGroupingValue(Integer ARecordIndex, TqvCustomDataField* AField) override;
  void RefreshSource() override;
  void SetMasterRelation(TqvCustomDataRelation* ARelation, Integer AMasterRecordIndex) override;
  void ForEachRow(bool ASelectedOnly, const TqvForEachRowProc& AProc) override;
  bool IsBookmarkAvailable() const override;
  bool IsBookmarkRow(Integer ARowIndex) const override;
  Variant GetFilterValue(Integer ARecordIndex, TqvCustomDataField* AField) override;
  String GetItemFilterFieldName(Integer AItemIndex) const override;
  Integer GetSelectedRowIndex(Integer AIndex) const override;
  Integer GetSelectionAnchorRowIndex() const override;
  bool IsSelectionAnchorSet() const override;
  void SelectAll() override;
  void SelectFromAnchor(Integer ARowIndex, bool AKeepSelection) override;
  void SetSelectionAnchor(Integer ARowIndex) override;
  void FieldRemoving(TqvCustomDataField* AField) override;

  // --- new virtual operations
  // The data source changed (the grid's controller updates its view's component links).
  virtual void DataSourceChanged() {}
  // A record started by an insert got its grouping and master key values.
  virtual void NewRecordInitialized(Integer) {}
  // The grid-mode buffer size when the settings say 0 (a grid gives its visible rows).
  virtual Integer GetDefaultGridModeBufferCount() const { return 100; }
  // The grid-mode buffer scrolled: a layout-change notification.
  virtual void GridModeBufferScrolled();
  // The record whose key fields (filled in by AGetKeyFields) hold the dataset's current values.
  virtual Integer LocateRecordIndex(const std::function<void(std::vector<TqvCustomDataField*>&)>& AGetKeyFields);
  virtual void UpdateScrollBars() {}
  // Raises "DetailFilterController not found" when no adapter serves the dataset's class.
  virtual TqvDBProviderDetailFilterAdapter* GetDetailFilterAdapter() const;

  // --- the dataset
  TDataSet* GetDataSet() const;
  TDataSource* GetDataSource() const;
  void SetDataSource(TDataSource* AValue);
  TqvDBDataProvider* GetDBProvider() const;
  TqvDBDataSelection* GetDBSelection() const;
  TqvDBDataFilterCriteria* GetDBFilter() const;
  TqvDBDataModeController* GetDataModeController() const { return FDataModeController.get(); }
  void SetDataModeController(TqvDBDataModeController* AValue) { FDataModeController->Assign(AValue); }
  // 0 while the dataset is closed.
  Integer GetDataSetRecordCount() const;
  // -1 while the dataset is closed.
  Integer GetDataSetRecNo() const;
  void SetDataSetRecNo(Integer ARecNo);
  void UpdateGridModeBufferCount();

  // --- fields (qvDBDataControllerFields.cpp)
  TqvDBDataField* GetDBField(Integer AItemIndex) const;
  void SetItemFieldName(Integer AItemIndex, const String& AFieldName);
  TField* GetItemField(Integer AItemIndex) const;
  String GetItemFieldName(Integer AItemIndex) const;
  // Binds a data field to one name or a list (then it gets a sub-field per name); lookup keys
  // always get sub-fields.
  void BindFieldName(TqvDBDataField* AField, const String& AFieldNames, bool AIsLookupKeys);
  void UpdateDataField(TqvDBDataField* AField, bool AOnlyLookupSubFields);
  // A name creates or rebinds the internal field; an empty name frees it.
  void SetupKeyField(const String& AFieldNames, TqvDBDataField*& AField);
  TqvDBDataField* CreateKeyField();
  // Drops every TField link (a dataset with default fields closed) and binds them again.
  void UnbindFields();
  void RebindFields();
  bool GetInUnbindFields() const { return FInUnbindFields; }

  // --- key fields
  const String& GetKeyFieldNames() const { return FKeyFieldNames; }
  void SetKeyFieldNames(const String& AValue);
  TqvDBDataField* GetKeyField() const { return FKeyField; }
  // The key's data fields: the sub-fields of the key field when it has any, else itself.
  std::vector<TqvCustomDataField*> GetKeyDataFields() const;
  // Null without key fields; one value; an array for several.
  Variant GetKeyValues(Integer ARecordIndex);
  // -1 when none (also for a plain value where several key fields want an array).
  Integer FindRecordIndexByKey(const Variant& AKeyValues);
  bool LocateByKey(const Variant& AKeyValues);
  bool IsKeyNavigation() const;
  void BeginLocate();
  void EndLocate();
  // Reads the record again from the dataset's current record.
  void ReloadRecord(Integer ARecordIndex);
  void UpdateEditingRecord();

  // --- master-detail (qvDBDataControllerDetail.cpp)
  const String& GetDetailKeyFieldNames() const { return FDetailKeyFieldNames; }
  void SetDetailKeyFieldNames(const String& AValue);
  const String& GetMasterKeyFieldNames() const { return FMasterKeyFieldNames; }
  void SetMasterKeyFieldNames(const String& AValue);
  // DetailKeyFieldNames when MasterKeyFieldNames is set, else empty.
  String GetMasterDetailKeyFieldNames() const;
  // The dataset fields of GetMasterDetailKeyFieldNames (kept until a field goes).
  const TqvDBFieldList& GetDetailKeyFields();
  const Variant& GetMasterKeyValues() const { return FMasterKeyValues; }
  bool IsDetailQueryPending();
  bool IsMasterDetailSyncing() const;
  // Reopens the detail query when it does not show the master's rows.
  void CheckDetailQuery();
  // Moves the master grids to the detail dataset's record; the detail clone that shows it.
  TqvDBDataController* SyncMasters();
  bool GetInDetailReset() const { return FInDetailReset; }
  void ResetDetailFocus();
  TqvDBDataController* GetMasterDBDataController() const;

  // --- grid-mode selection and bookmark (qvDBDataSelection.cpp)
  // Raises "DataController not in GridMode" outside grid mode.
  TBookmarkStr GetSelectedBookmark(Integer AIndex) const;
  TBookmarkStr GetSelectionAnchorBookmark() const;
  const TBookmarkStr& GetSavedBookmark() const { return FSavedBookmark; }

  TqvDBDataDetailHasChildrenEvent OnDetailHasChildren;

 private:
  friend class TqvDBDataProvider;
  void UpdateLookupSubFields();
  void UpdateRelationKeyFields();
  void MasterDetailKeyFieldNamesChanged();
  void SyncFocusedRecord();
  bool MoveToRecord(Integer ARecordIndex);
  bool DetailRecordCanFocus(Integer ARecordIndex);
  Integer GridModeRowOfBookmark(const TBookmarkStr& ABookmark) const;

  TBookmarkStr FSavedBookmark;
  TOwned<TqvDBDataModeController> FDataModeController;
  String FDetailKeyFieldNames;
  bool FInCheckEditing = false;
  bool FInDetailQuery = false;
  bool FInDetailReset = false;
  TqvDBDataField* FKeyField = nullptr;  // internal: the field list owns it
  String FKeyFieldNames;
  TqvDBFieldList FDetailKeyFieldList;
  bool FDetailKeyFieldListValid = false;
  Variant FMasterKeyValues;
  String FMasterKeyFieldNames;
  bool FInUnbindFields = false;
  bool FInSyncMasters = false;
};

// The controller's own cursor move counted for a block.
using TqvLocateScope = TUpdateScope<TqvDBDataController, &TqvDBDataController::BeginLocate, &TqvDBDataController::EndLocate>;
