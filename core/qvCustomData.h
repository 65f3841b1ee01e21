// The record engine behind every grid view and lookup list: a table of records whose columns are
// items, with one data field per item, values kept in a typed record storage, and the change
// collection that turns edits into one ordered set of notifications per update bracket.
//
// Where TqvCustomDataController lives:
//   qvCustomData.cpp            construction, items and fields, values, records, change collection
//   qvCustomDataEditing.cpp     the provider, editing cycle, deleting, the new-item row
//   qvCustomDataNavigation.cpp  rows, focus, navigation, selection, bookmark, loading
//   qvCustomDataRelations.cpp   master/detail relations and detail objects
//   qvCustomDataSearch.cpp      incremental search, incremental filter, text search
//   qvCustomDataSummary.cpp     the owned summary and its rebuild step
//   qvCustomDataView.cpp        view engine, grouping, filter and sorting front ends, comparisons
// and the parts beside it:
//   qvDataFields.cpp            data fields and the field list
//   qvDataRelations.cpp         relations to detail levels and the detail objects of records
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "core/qvDataGroups.h"
#include "core/qvDataProvider.h"
#include "core/qvDataStorage.h"
#include "platform/rtl/Component.h"

class TqvCustomDataController;
class TqvCustomDataControllerInfo;
class TqvDataControllerGroups;
class TqvDataFilterCriteria;
class TqvDataSelection;
class TqvCustomDataFieldList;
class TqvCustomDataRelation;
class TqvCustomDataRelationList;
class TqvDataSummary;
class TCollection;
class TCollectionItem;
class TqvDataControllerSearch;
class TqvDataControllerNotifier;

QJ_EXCEPTION(EqvInvalidDataControllerOperation, Exception)

// Raises EqvInvalidDataControllerOperation with the text of AMessage.
[[noreturn]] void RaiseDataControllerError(PResStringRec AMessage);

// ---------------------------------------------------------------------------------------------
// Options, change kinds, events

enum TqvDataControllerOption : Cardinal {
  dcoAnsiSort = 1,
  dcoCaseInsensitive = 2,
  dcoAssignGroupingValues = 4,
  dcoAssignMasterDetailKeys = 8,
  dcoSaveExpanding = 16,
  dcoSortByDisplayText = 32,
};
using TqvDataControllerOptions = Cardinal;
constexpr TqvDataControllerOptions qvDefaultDataControllerOptions =
    dcoAssignGroupingValues | dcoAssignMasterDetailKeys | dcoSaveExpanding;

// What a data change touched.
enum TqvDataChangeKind : Byte {
  dckCell = 0,
  dckRecord = 1,
  dckRecordsInserted = 2,
  dckRecordsDeleted = 3,
  dckEverything = 4,
};

struct TqvDataChange {
  TqvDataChangeKind Kind = dckEverything;
  Integer ItemIndex = -1;
  Integer RecordIndex = -1;
  friend bool operator==(const TqvDataChange&, const TqvDataChange&) = default;
};

// Notification bits collected until the outermost EndUpdate.
enum TqvDataControllerChange : Word {
  dccLayout = 0x1,
  dccData = 0x2,
  dccFocus = 0x4,
  dccSelection = 0x8,
  dccDetail = 0x10,
  dccSummary = 0x20,
  dccSearch = 0x40,
  dccSorting = 0x80,
  dccGrouping = 0x100,
  dccMasterFocus = 0x200,
  dccBookmark = 0x400,
  dccUpdateRecord = 0x800,
};
using TqvDataControllerChanges = Word;

using TqvDataControllerCompareEvent =
    std::function<void(TqvCustomDataController* ADataController, Integer ARecordIndex1, Integer ARecordIndex2,
                       Integer AItemIndex, const Variant& V1, const Variant& V2, Integer& ACompare)>;
using TqvDataRecordChangedEvent =
    std::function<void(TqvCustomDataController* ADataController, Integer ARecordIndex, Integer AItemIndex)>;

// A data-changed listener: a procedure and the data it is called with (lookup editors).
using TqvDataChangedListenerProc = void (*)(void* AData, TqvCustomDataController* ASender);

// ---------------------------------------------------------------------------------------------
// Change information handed to the view

class TqvUpdateControlInfo : public TObject {
  QJ_CLASS(TqvUpdateControlInfo, TObject)
};

class TqvDataChangedInfo : public TqvUpdateControlInfo {
  QJ_CLASS(TqvDataChangedInfo, TqvUpdateControlInfo)
 public:
  explicit TqvDataChangedInfo(const TqvDataChange& AChange) : Change(AChange) {}
  TqvDataChange Change;
};

class TqvLayoutChangedInfo : public TqvUpdateControlInfo {
  QJ_CLASS(TqvLayoutChangedInfo, TqvUpdateControlInfo)
};

class TqvUpdateRecordInfo : public TqvUpdateControlInfo {
  QJ_CLASS(TqvUpdateRecordInfo, TqvUpdateControlInfo)
 public:
  explicit TqvUpdateRecordInfo(Integer ARecordIndex) : RecordIndex(ARecordIndex) {}
  Integer RecordIndex;
};

class TqvFocusedRowChangedInfo : public TqvUpdateControlInfo {
  QJ_CLASS(TqvFocusedRowChangedInfo, TqvUpdateControlInfo)
 public:
  TqvFocusedRowChangedInfo(Integer AFocusedRowIndex, Integer APrevFocusedRowIndex)
      : FocusedRowIndex(AFocusedRowIndex), PrevFocusedRowIndex(APrevFocusedRowIndex) {}
  Integer FocusedRowIndex;
  Integer PrevFocusedRowIndex;
};

class TqvFocusedRecordChangedInfo : public TqvUpdateControlInfo {
  QJ_CLASS(TqvFocusedRecordChangedInfo, TqvUpdateControlInfo)
 public:
  Integer PrevFocusedRecordIndex = -1;
  Integer FocusedRecordIndex = -1;
  Integer FocusedRowIndex = -1;
  Integer PrevFocusedRowIndex = -1;
  bool NewItemRowFocusingChanged = false;
};

// The rows whose selection changed; an empty list means the whole selection may have changed.
class TqvSelectionChangedInfo : public TqvUpdateControlInfo {
  QJ_CLASS(TqvSelectionChangedInfo, TqvUpdateControlInfo)
 public:
  TqvSelectionChangedInfo() = default;
  TqvSelectionChangedInfo(Integer APrevRowIndex, Integer ARowIndex);
  Integer GetCount() const { return static_cast<Integer>(RowIndexes.size()); }
  Integer GetRowIndex(Integer AIndex) const { return RowIndexes.at(AIndex); }
  std::vector<Integer> RowIndexes;
};

class TqvSearchChangedInfo : public TqvUpdateControlInfo {
  QJ_CLASS(TqvSearchChangedInfo, TqvUpdateControlInfo)
};

class TqvBookmarkChangedInfo : public TqvUpdateControlInfo {
  QJ_CLASS(TqvBookmarkChangedInfo, TqvUpdateControlInfo)
};

using TqvUpdateControlEvent = std::function<void(TqvUpdateControlInfo* AInfo)>;

// ---------------------------------------------------------------------------------------------
// Data fields

class TqvCustomDataField : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvCustomDataField, TqvCustomDataFieldList*>;
  QJ_CLASS(TqvCustomDataField, TObject)

 public:
  explicit TqvCustomDataField(TqvCustomDataFieldList* AFieldList);
  ~TqvCustomDataField() override;

  virtual void TakeOverValueDef(TqvCustomDataField* ASource);
  virtual void NotifyComponentRemoved(TComponent*) {}
  virtual bool CanModify(bool AEditValueSource) const;
  virtual bool IsReaderExcluded() const { return FIsInternal; }

  TqvCustomDataController* GetDataController() const;
  // The controller's notifier, through which a field watches the components it refers to.
  TqvDataControllerNotifier* GetNotifier() const;
  TqvCustomDataFieldList* GetFieldList() const { return FFieldList; }
  Integer GetIndex() const;
  void SetIndex(Integer AIndex);
  TObject* GetItem() const { return FItem; }
  void SetItem(TObject* AItem) { FItem = AItem; }
  bool GetIsInternal() const { return FIsInternal; }
  void SetIsInternal(bool AValue);
  TqvCustomDataField* GetReferenceField() const { return FReferenceField; }

  // Follow the reference chain to its end.
  TqvValueDef* GetStorageDef() const;
  TqvValueTypeClass GetEffectiveValueType() const;
  bool GetTextStored() const;
  TqvValueTypeClass GetValueTypeClass() const { return FValueTypeClass; }

  void ChangeValueType(TqvValueTypeClass AValueTypeClass);
  void SetKeepsDisplayText(bool AValue);
  void BeginRecreateData();
  void EndValueDefRebuild();
  void ShareDefinitionOf(TqvCustomDataField* AField);
  void NotifyLayoutChanged();

  bool GetForceSortConversion() const { return FForceSortConversion; }
  void SetForceSortConversion(bool AValue) { FForceSortConversion = AValue; }
  Integer SortConversion = 0;  // 0 unset, -1 none, 1 value, 2 display text
  bool Updated = false;

 private:
  const TqvCustomDataField* ChainEnd() const;
  void FreeValueDef();

  TqvCustomDataFieldList* FFieldList;
  TObject* FItem = nullptr;
  bool FIsInternal = false;
  TqvValueTypeClass FValueTypeClass = nullptr;
  TqvValueDef* FValueDef = nullptr;
  TqvCustomDataField* FReferenceField = nullptr;
  bool FTextStored = false;
  Integer FRecreateLockCount = 0;
  bool FForceSortConversion = false;
};

using TqvCustomDataFieldClass = const TqvCustomDataField::MetaType*;

class TqvCustomDataFieldList : public TObject {
  QJ_CLASS(TqvCustomDataFieldList, TObject)
 public:
  explicit TqvCustomDataFieldList(TqvCustomDataController* ADataController);
  ~TqvCustomDataFieldList() override;

  virtual void NotifyComponentRemoved(TComponent* AComponent);

  // Ordinary fields go before the internal ones.
  void Add(TqvCustomDataField* AField);
  TqvCustomDataField* FieldByItem(TObject* AItem) const;
  void FieldDestroying(TqvCustomDataField* AField);
  void TransferReferences(TqvCustomDataField* AField);
  void Clear();
  void Move(Integer ACurIndex, Integer ANewIndex);
  void RecountInternal();

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TqvCustomDataField* GetItem(Integer AIndex) const;
  Integer IndexOf(const TqvCustomDataField* AField) const;
  Integer GetItemCount() const { return GetCount() - FInternalCount; }
  TqvCustomDataController* GetDataController() const { return FDataController; }
  bool FieldDestroyed = false;

 private:
  TqvCustomDataController* FDataController;
  std::vector<TqvCustomDataField*> FItems;
  Integer FInternalCount = 0;
};

// ---------------------------------------------------------------------------------------------
// Master/detail: relations from a master controller to its detail levels, and per master record
// a detail object (expanded state, active relation, one link object per relation).

class TqvDetailInfoObject : public TObject {
  QJ_CLASS(TqvDetailInfoObject, TObject)
 public:
  ~TqvDetailInfoObject() override;
  TObject* LinkObject = nullptr;  // owned
  bool HasChildren = false;
  bool HasChildrenAssigned = false;
};

class TqvDetailObject : public TObject {
  QJ_CLASS(TqvDetailObject, TObject)
 public:
  ~TqvDetailObject() override;
  Integer ActiveRelationIndex = -1;
  bool Expanded = false;

  Integer GetInfoCount() const { return static_cast<Integer>(FInfoObjects.size()); }
  void GrowInfoCount(Integer ACount);
  TqvDetailInfoObject* GetInfoObject(Integer ARelationIndex) const;  // nullptr when none
  TqvDetailInfoObject* GetOrCreateInfoObject(Integer ARelationIndex);
  TObject* GetLinkObject(Integer ARelationIndex) const;
  bool HasLinkObject(Integer ARelationIndex) const;  // -1: any relation
  // Frees the info object of one relation (-1: of all); True when one was there.
  bool ClearInfoObjects(Integer ARelationIndex);

 private:
  std::vector<TqvDetailInfoObject*> FInfoObjects;
};

class TqvCustomDataRelation : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvCustomDataRelation, TqvCustomDataRelationList*, TObject*>;
  QJ_CLASS(TqvCustomDataRelation, TObject)

 public:
  TqvCustomDataRelation(TqvCustomDataRelationList* ARelationList, TObject* AItem);
  ~TqvCustomDataRelation() override;
  void AfterConstruction() override;  // joins its list

  virtual void FieldRemoving(TqvCustomDataField*) {}
  virtual void AssignRelation(TqvCustomDataRelation*) {}
  void Changed();

  TqvCustomDataController* GetDataController() const;
  TqvCustomDataRelationList* GetRelationList() const { return FRelationList; }
  Integer GetIndex() const;
  TObject* GetItem() const { return FItem; }
  TqvCustomDataController* GetDetailDataController() const { return FDetailDataController; }

 private:
  friend class TqvCustomDataController;
  TqvCustomDataRelationList* FRelationList;
  TObject* FItem;
  TqvCustomDataController* FDetailDataController = nullptr;
};

using TqvCustomDataRelationClass = const TqvCustomDataRelation::MetaType*;
using TqvDataFilterCriteriaClass = const TMetaClassFor<TqvDataFilterCriteria, TqvCustomDataController*>*;
using TqvDataSummaryClass = const TMetaClassFor<TqvDataSummary, TqvCustomDataController*>*;
using TqvSummaryItemClass = const TMetaClassFor<TCollectionItem, TCollection*>*;
using TqvDataSelectionClass = const TMetaClassFor<TqvDataSelection, TqvCustomDataController*>*;
// Called for each row a walk over the rows visits.
using TqvForEachRowProc = std::function<void(Integer ARowIndex, const TqvRowInfo& ARowInfo)>;

class TqvCustomDataRelationList : public TObject {
  QJ_CLASS(TqvCustomDataRelationList, TObject)
 public:
  explicit TqvCustomDataRelationList(TqvCustomDataController* ADataController);
  ~TqvCustomDataRelationList() override;

  TqvCustomDataRelation* Add(TObject* AItem);
  TqvCustomDataRelation* FindByItem(TObject* AItem) const;
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TqvCustomDataRelation* GetItem(Integer AIndex) const;
  Integer IndexOf(const TqvCustomDataRelation* ARelation) const;
  void Assign(TqvCustomDataRelationList* AList);
  void BeginUpdate() { ++FLockCount; }
  void EndUpdate();
  void Clear();
  void Changed(TqvCustomDataRelation* ARelation);
  // True when no relation of the pattern level has a detail controller.
  bool IsEmpty() const;

  TqvDetailObject* GetDetailObject(Integer ARecordIndex);
  // The record's detail object when there is one; never makes one.
  TqvDetailObject* FindDetailObject(Integer ARecordIndex) const;
  bool ClearDetailObject(Integer ARecordIndex, Integer ARelationIndex);
  bool HasDetailLinkObject(Integer ARecordIndex, Integer ARelationIndex);
  TqvCustomDataField* GetDataField() const { return FDataField; }
  void FieldRemoving(TqvCustomDataField* AField);
  TqvCustomDataController* GetDataController() const { return FDataController; }

 private:
  friend class TqvCustomDataRelation;
  void InsertRelation(TqvCustomDataRelation* ARelation);
  void RemoveRelation(TqvCustomDataRelation* ARelation);
  void Update(TqvCustomDataRelation* ARelation);
  void StoreDetailObject(Integer ARecordIndex, TqvDetailObject* AObject);
  void FreeDetailObject(Integer ARecordIndex, TqvDetailObject* AObject);
  void FreeDataField();

  TqvCustomDataController* FDataController;
  std::vector<TqvCustomDataRelation*> FItems;
  Integer FLockCount = 0;
  TqvCustomDataField* FDataField = nullptr;
};

// ---------------------------------------------------------------------------------------------
// The controller

class TqvCustomDataController : public TPersistent {
 public:
  using MetaType = TMetaClassFor<TqvCustomDataController, TComponent*>;
  QJ_CLASS(TqvCustomDataController, TPersistent)

 public:
  explicit TqvCustomDataController(TComponent* AOwner);
  // Makes the owned parts (provider, view engine, grouping front end, filter, summary, search)
  // of the classes the final class's hooks name; the getters below only return them.
  void AfterConstruction() override;
  ~TqvCustomDataController() override;
  void BeforeDestruction() override;

  void Assign(TPersistent* ASource) override;

  // Items and fields
  virtual void AddItem(TObject* AItem);
  virtual void RemoveItem(TObject* AItem);
  virtual void UpdateItemIndexes();
  virtual TObject* GetItem(Integer AIndex) const = 0;
  virtual Integer GetItemCount() const;
  virtual TqvCustomDataField* CreateInternalField();
  virtual TqvCustomDataField* CreateField();
  virtual TqvCustomDataFieldClass GetFieldClass() const;
  virtual void ChangeValueTypeClass(Integer AItemIndex, TqvValueTypeClass AValueTypeClass);
  TqvValueTypeClass GetItemValueTypeClass(Integer AItemIndex) const;
  virtual void ChangeItemTextStored(Integer AItemIndex, bool AValue);
  virtual bool GetItemTextStored(Integer AItemIndex) const;
  virtual void ChangeItemSortConversion(Integer AItemIndex, bool AValue);
  virtual bool GetItemSortConversion(Integer AItemIndex) const;
  virtual TObject* FindItemByID(Integer AID) const;
  virtual Integer GetItemID(TObject* AItem) const;
  virtual TObject* FindItemLike(TObject* AItem) const;
  virtual void ItemValueTypeClassChanged(Integer) {}
  virtual void NotifyComponentRemoved(TComponent* AComponent);
  virtual bool ExecuteAction(TBasicAction*) { return false; }
  virtual bool UpdateAction(TBasicAction*) { return false; }
  TqvCustomDataFieldList* GetFields() const { return FFields.get(); }
  TqvCustomDataField* GetField(Integer AItemIndex) const;

  // Values and texts
  virtual Variant GetValue(Integer ARecordIndex, Integer AItemIndex);
  virtual String GetDisplayText(Integer ARecordIndex, Integer AItemIndex);
  virtual void SetValue(Integer ARecordIndex, Integer AItemIndex, const Variant& AValue);
  virtual void SetDisplayText(Integer ARecordIndex, Integer AItemIndex, const String& AText);
  virtual Variant GetFieldValue(Integer ARecordIndex, TqvCustomDataField* AField);
  virtual String GetFieldDisplayText(Integer ARecordIndex, TqvCustomDataField* AField);
  virtual bool IsProviderField(TqvCustomDataField* AField) const;
  // True when the field's values, filter values and display texts are what its storage places
  // hold, so passes over every record (the filter, the incremental filter, the incremental
  // search) may read the places directly. Descendants that answer any of them otherwise for a
  // field answer False for it.
  virtual bool CanReadStoredValues(TqvCustomDataField* AField) const;
  virtual Variant GetGroupingValue(Integer ARecordIndex, TqvCustomDataField* AField);
  virtual Variant GetFilterValue(Integer ARecordIndex, TqvCustomDataField* AField);
  virtual String GetIncrementalSearchText(Integer ARecordIndex, Integer AItemIndex);
  virtual String GetFilterDisplayText(Integer ARecordIndex, Integer AItemIndex);
  virtual bool ItemHasOwnDisplayText(Integer) const { return false; }
  // The caption of an item (the grid answers with its column caption) and its name in filter
  // expressions.
  virtual String GetItemDisplayName(Integer AItemIndex) const;
  virtual String GetItemFilterFieldName(Integer AItemIndex) const;
  // How an editor exchanges values with the item: 1 the value itself (0 display text, 2 lookup
  // key for dataset-bound fields).
  virtual Integer GetItemValueSource(Integer) const { return 1; }
  virtual void CopyRecord(Integer ASourceRecordIndex, Integer ADestRecordIndex);
  // Writes a value of a record into a real record of the user data source.
  virtual void CopyValueToProvider(Integer ASourceRecordIndex, Integer ADestRecordIndex, TqvCustomDataField* AField);

  // Records
  virtual Integer GetRecordCount() const;
  virtual void SetRecordCount(Integer ACount);
  Integer AppendRecord();
  Integer InsertRecord(Integer ARecordIndex);
  void DeleteRecord(Integer ARecordIndex);
  virtual void DeleteRecordData(Integer ARecordIndex);
  virtual Integer AppendRecordFromReader(TqvValueDefReader* AReader);
  // Appends the source's current record (append-only mode appends every record this way).
  virtual Integer AppendRecordFromSource();
  virtual void RecordLoaded(Integer) {}
  virtual void RecordInserted(Integer ARecordIndex);
  virtual void RecordDeleted(Integer ARecordIndex);
  void CheckRecordRange(Integer ARecordIndex) const;
  void CheckItemRange(Integer AItemIndex) const;
  // The internal new-record buffer, made on first use (0 before).
  virtual Integer GetNewRecordIndex();
  bool IsNewRecordIndex(Integer ARecordIndex) const;

  // Modes the provider, grid and dataset descendants switch on.
  virtual bool IsProviderMode() const;
  virtual bool IsGridMode() const;
  virtual bool IsAppendOnlyMode() const { return false; }
  virtual bool IsOwnerLoading() const;
  virtual bool IsOwnerDestroying() const;
  bool GetActive() const { return FActive; }
  virtual void ActiveChanged(bool AActive);
  virtual void CheckEditingRecordRemoved(Integer ARecordIndex);
  // Keeps the selection, focus and bookmark on their records after a deletion (-1: the count
  // shrank).
  virtual void CheckSelectionAndBookmark(Integer ADeletedRecordIndex);
  virtual void InternalRecordsCleared();

  // Change collection
  void BeginUpdate();
  void EndUpdate();
  bool IsUpdateLocked() const;
  virtual void UpdateView();
  // Drops the current edit and rebuilds the view after the filter, sorting or the source changed.
  virtual void Refresh();
  virtual void DataChanged(TqvDataChangeKind AKind, Integer AItemIndex, Integer ARecordIndex);
  virtual void LayoutChanged(Integer AKind);
  // Adds notification bits; they are sent when no update bracket is open.
  void Change(TqvDataControllerChanges AChanges);
  void CheckPendingChanges();
  virtual void NotifyDataChanged();
  virtual void OwnerLoaded();
  // Hands one piece of change information to the view; the caller keeps and frees it.
  virtual void UpdateControl(TqvUpdateControlInfo* AInfo);
  const TqvDataChange& GetPendingDataChange() const { return FPendingChange; }
  // How many times the view engine rebuilt its record list.
  Integer GetViewRebuildCount() const;
  // The view engine hands over the notification bits of a finished rebuild.
  void ViewChanged(TqvDataControllerChanges AChanges);
  void SetSortingChanged() { FSortingChanged = true; }
  void SetGroupingChanged() { FGroupingChanged = true; }
  // Recounts the remembered single selected row after rows moved.
  void SyncSingleSelectedRow();

  // The view engine, the grouping front end and the filter
  TqvCustomDataControllerInfo* GetDataControllerInfo() const { return FDataControllerInfo.get(); }
  TqvDataControllerGroups* GetGroups() const { return FGroups.get(); }
  // nullptr once the controller is being destroyed.
  TqvDataFilterCriteria* GetFilter() const { return FFilter.get(); }
  void SetFilter(TqvDataFilterCriteria* AValue);
  virtual TqvDataFilterCriteriaClass GetFilterCriteriaClass() const;
  virtual TqvDataSelectionClass GetSelectionClass() const;

  // Rows
  Integer GetRowCount() const;
  TqvRowInfo GetRowInfo(Integer ARowIndex) const;
  Integer GetRowIndexByRecordIndex(Integer ARecordIndex, bool AMakeVisible);
  Integer GetFilteredRecordCount() const;
  Integer GetRecordIndexByFilteredIndex(Integer AIndex) const;
  Integer GetFilteredIndexByRecordIndex(Integer ARecordIndex) const;
  // A group row answers for its grouping item at the row's level.
  String GetRowDisplayText(const TqvRowInfo& ARowInfo, Integer AItemIndex);
  Variant GetRowValue(const TqvRowInfo& ARowInfo, Integer AItemIndex);
  virtual void ForEachRow(bool ASelectedOnly, const TqvForEachRowProc& AProc);

  // Focus and navigation; the Goto operations answer whether the focused row changed.
  Integer GetFocusedRowIndex() const;
  Integer GetFocusedRecordIndex() const;
  // False when a source in sync mode refuses the move.
  bool ChangeFocusedRowIndex(Integer ARowIndex);
  // -1 removes the focus; other records are range-checked and made visible.
  bool ChangeFocusedRecordIndex(Integer ARecordIndex);
  bool GotoFirst();
  bool GotoLast();
  bool GotoNext();
  bool GotoPrev();
  bool MoveBy(Integer ADistance);
  bool IsBOF() const;
  bool IsEOF() const;
  void Scroll(Integer ADistance);
  void EnsureFocusedRecord();
  Integer GetLastRowRecordIndex() const;
  virtual bool CanFocusRecord(Integer ARecordIndex);
  virtual bool CanChangeFocusedRow() { return true; }
  virtual void FocusedRowChanging(Integer) {}
  // The record the focus follows (a source-bound controller answers with its cursor's record).
  virtual Integer GetCurrentRecordIndex() const;
  // The record a grid-mode insert starts on.
  virtual Integer GetActiveRecordIndex() const { return GetFocusedRecordIndex(); }
  // Finds the focus again from the current record.
  virtual void ResetFocusedRow();
  void SourceScrolled(Integer) { ResetFocusedRow(); }

  // Selection: without multi-select at most the focused row counts as selected.
  bool GetMultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool AValue);
  bool IsMultiSelectDisabled() const { return !FMultiSelect; }
  virtual bool CanSelectRow(Integer) { return true; }
  Integer GetSelectedCount() const;
  virtual Integer GetSelectedRowIndex(Integer AIndex) const;
  bool IsRowSelected(Integer ARowIndex) const;
  void ChangeRowSelection(Integer ARowIndex, bool ASelect);
  void SelectRows(Integer AFromRowIndex, Integer AToRowIndex);
  virtual void SelectAll();
  void ClearSelection();
  void SelectFocused();
  void SelectOnlyFocusedRow();
  bool GetFocusedRowSelected() const { return FFocusedRowSelected; }
  void SetFocusedRowSelected(bool ASelected);
  virtual void SetSelectionAnchor(Integer ARowIndex);
  void ClearSelectionAnchor();
  virtual Integer GetSelectionAnchorRowIndex() const;
  virtual bool IsSelectionAnchorSet() const;
  virtual void SelectFromAnchor(Integer ARowIndex, bool AKeepSelection);

  // Bookmark: one record index, following its record while others are inserted or deleted.
  virtual bool SaveBookmark();
  void SaveBookmarkAndNotify();
  virtual void ClearBookmark();
  void ClearBookmarkAndNotify();
  // True when the bookmarked record is focused afterwards.
  virtual bool GotoBookmark();
  void GotoBookmarkIfSet();
  virtual bool IsBookmarkAvailable() const { return FBookmarkRecordIndex != -1; }
  virtual bool IsBookmarkRow(Integer ARowIndex) const;
  virtual bool IsBookmarkLost(Integer ARecordIndex) const;
  void CheckBookmark(Integer ARecordIndex);
  Integer GetBookmarkRecordIndex() const { return FBookmarkRecordIndex; }

  // The data provider and the editing cycle
  TqvCustomDataProvider* GetProvider() const { return FProvider.get(); }
  virtual TqvCustomDataProviderClass GetDataProviderClass() const;
  void Append();
  void Insert();
  void Edit();
  void Cancel();
  void Post();
  void UpdateData();
  // The owner hands the values its editors hold over to the controller.
  virtual void UpdateEditorsData() {}
  bool BeginEditItem(Integer AItemIndex);
  bool SetEditValue(Integer AItemIndex, const Variant& AValue, Integer AEditValueSource);
  Variant GetEditValue(Integer AItemIndex, Integer AEditValueSource);
  virtual void FocusItemControl(Integer, bool& AHandled) { AHandled = false; }
  // The edited record, else the record an edit would start on; qvNoEditedRecordIndex for none.
  virtual Integer GetEditingRecordIndex() const;
  Integer GetRecordIndexToEdit() const;
  bool IsEditing() const;
  TqvDataControllerEditState GetEditState() const;
  TqvDataControllerEditOperations GetEditOperations() const;
  void DeleteFocused();
  void DeleteSelection();
  bool GetNewItemRowEnabled() const { return FNewItemRowEnabled; }
  void SetNewItemRowEnabled(bool AValue);
  bool GetNewItemRowFocused() const { return FNewItemRowFocused; }
  void SetNewItemRowFocused(bool AValue);
  bool IsNewItemRowFocused() const;
  // The values of the grouping items in a record, in grouping order (empty for no record).
  std::vector<Variant> GetGroupingValues(Integer ARecordIndex);
  bool IsAppendInProgress() const { return FAppendInProgress; }
  void SetAppendInProgress(bool AValue) { FAppendInProgress = AValue; }

  // Incremental search, incremental filter and text search
  TqvDataControllerSearch* GetSearch() const { return FSearch.get(); }
  Integer SetIncrementalFilter(Integer AItemIndex, const String& AText);
  void ClearIncrementalFilter();
  bool ChangeIncrementalFilterText(const String& AText);
  bool IsIncrementalFilterActive() const { return FIncrementalFilterField && !FIncrementalFilterText.empty(); }
  String GetIncrementalFilterText() const { return FIncrementalFilterText; }
  TqvCustomDataField* GetIncrementalFilterField() const { return FIncrementalFilterField; }
  bool IsRecordInIncrementalFilter(Integer ARecordIndex);
  Integer FindRecordIndexByText(Integer AStartFilteredIndex, Integer AItemIndex, const String& AText,
                                bool APartialCompare, bool AWrap, bool AForward);
  // The grid-mode search in the source (none here).
  virtual bool FindTextInSource(const String&, bool, bool) { return false; }
  bool GetSuppressSortByDisplayText() const { return FSuppressSortByDisplayText; }
  void SetSuppressSortByDisplayText(bool AValue) { FSuppressSortByDisplayText = AValue; }
  // Watches components the fields refer to.
  TqvDataControllerNotifier* GetNotifier();
  // True while the detail objects of a record are being made.
  bool IsCreatingLinkObject() const { return FCreatingLinkObject; }

  // Loading and structure
  virtual void RefreshSource() {}
  void CheckStructure(bool AUpdateFields);
  void Reload(bool AUpdateFields);
  virtual bool IsReloadAllowed() const;
  virtual void UpdateFields();
  virtual void UpdateField(TqvCustomDataField*) {}
  virtual void LoadData();
  void BeginLoadData();
  void EndLoadData();
  void LoadFinished();
  virtual void DoLoadFinished() {}
  void CheckGridModeChange();
  TqvCustomDataField* GetInternalKeyField() const { return FKeyField; }

  // Sorting
  void ChangeSorting(Integer AItemIndex, TqvDataSortOrder ASortOrder);
  void ChangeSortIndex(Integer AItemIndex, Integer ASortIndex);
  void ClearSorting(bool AKeepGroupingItems);
  TqvDataSortOrder GetItemSortOrder(Integer AItemIndex) const;
  Integer GetItemSortIndex(Integer AItemIndex) const;
  Integer GetSortingItemCount() const;

  // The comparison chain of sorting and grouping
  virtual Integer CompareRecordsBySortField(Integer ARecordIndex1, Integer ARecordIndex2,
                                            const TqvSortingFieldInfo& AEntry);
  virtual Integer CompareRecordValues(Integer ARecordIndex1, Integer ARecordIndex2, TqvCustomDataField* AField);
  virtual Integer CompareRecordIndexes(Integer ARecordIndex1, Integer ARecordIndex2) {
    return ARecordIndex1 < ARecordIndex2 ? -1 : (ARecordIndex1 > ARecordIndex2 ? 1 : 0);
  }
  virtual Variant GetSortValue(Integer ARecordIndex, TqvCustomDataField* AField);
  virtual bool NeedsSortConversion(TqvCustomDataField* AField);
  virtual bool IsStringCompareNeeded(TqvCustomDataField* AField) const;
  virtual bool IsSortByDisplayText(TqvCustomDataField* AField) const;
  // Two sort values of one field compared as the sort compares them (without OnCompare).
  Integer CompareSortValues(const Variant& V1, const Variant& V2, TqvCustomDataField* AField) const;
  // Descendants that override the comparison chain answer True, so every comparison goes
  // through it instead of the stored values read ahead.
  virtual bool IsRecordComparisonCustomized() const { return false; }

  // Listeners and guards
  void AddDataChangedListener(TqvDataChangedListenerProc ACode, void* AData);
  // Removes the first entry with that procedure and data.
  void RemoveDataChangedListener(TqvDataChangedListenerProc ACode, void* AData);
  void IncListenerLock() { ++FListenerLockCount; }
  void DecListenerLock() { --FListenerLockCount; }
  bool IsListenerLocked() const { return FListenerLockCount > 0; }
  // A lookup working on the list counts as a cursor move of the controller's own.
  void BeginLookupUsage() {
    ++FLookupUsageCount;
    GetProvider()->BeginCursorMove();
  }
  void EndLookupUsage() {
    GetProvider()->EndCursorMove();
    --FLookupUsageCount;
  }
  Integer GetLookupUsageCount() const { return FLookupUsageCount; }
  TAliveToken AliveToken() const { return FAlive.Token(); }

  // Master/detail
  TqvCustomDataRelationList* GetRelations();
  virtual TqvCustomDataRelationClass GetRelationClass() const;
  TqvCustomDataRelation* GetMasterRelation() const { return FMasterRelation; }
  Integer GetMasterRecordIndex() const { return FMasterRecordIndex; }
  TqvCustomDataController* GetMasterDataController() const;
  TqvCustomDataController* GetTopMasterDataController();
  TqvCustomDataController* GetPatternDataController();
  bool IsDetailMode() const { return FMasterRelation != nullptr; }
  Integer GetDetailMode() const;  // 0 none, 1 pattern, 2 clone
  // A pattern controller stands for all detail clones of a relation level.
  bool IsPattern() const { return GetDetailMode() == 1; }
  virtual void SetMasterRelation(TqvCustomDataRelation* ARelation, Integer AMasterRecordIndex);
  void AttachToRelation(TqvCustomDataRelation* ARelation, bool APattern);
  // The pattern flag AttachToRelation was last given.
  bool GetPatternFlag() const { return FPatternFlag; }
  Integer GetDetailActiveRelationIndex(Integer ARecordIndex);
  bool GetDetailExpanded(Integer ARecordIndex);
  bool HasDetailLinkObject(Integer ARecordIndex, Integer ARelationIndex);
  TObject* GetDetailLinkObject(Integer ARecordIndex, Integer ARelationIndex);
  TqvCustomDataController* GetRecordDetailDataController(Integer ARecordIndex, Integer ARelationIndex);
  void ChangeDetailActiveRelationIndex(Integer ARecordIndex, Integer ARelationIndex);
  bool ChangeDetailExpanding(Integer ARecordIndex, bool AExpanded);
  void CollapseDetails();
  void ClearDetailLinkObjects();
  bool GetDetailHasChildren(Integer ARecordIndex, Integer ARelationIndex);
  void ForEachDetail(TqvCustomDataRelation* ARelation,
                     const std::function<void(TqvCustomDataController*)>& AProc);
  virtual void ResetDetailsOfRelationItem(TObject* AItem);
  virtual void RelationsChanged(TqvCustomDataRelation* ARelation);
  void CheckDetails();
  virtual void ResetStructure();
  // Hooks of the grid's master/detail views.
  virtual bool CanChangeDetailExpanding(Integer, bool) { return true; }
  virtual void CheckEditingFinished() {}
  virtual Integer GetDefaultActiveRelationIndex() const { return 0; }
  virtual TObject* CreateDetailLinkObject(TqvCustomDataRelation*, Integer) { return nullptr; }
  virtual TqvCustomDataController* GetDetailDataController(TObject*) { return nullptr; }
  // Hooks of the data provider: a source-bound controller answers from its source.
  virtual bool IsSourceActive() const;
  virtual bool DetailHasChildren(Integer ARecordIndex, Integer ARelationIndex);
  virtual bool IsEditingRecord() const { return IsEditing(); }

  // Summary: a rebuild recalculates it when it was asked to; nullptr once the controller is
  // being destroyed.
  TqvDataSummary* GetSummary() const { return FSummary.get(); }
  void SetSummary(TqvDataSummary* AValue);
  virtual TqvDataSummaryClass GetSummaryClass() const;
  virtual TqvSummaryItemClass GetSummaryItemClass() const;
  virtual TqvSummaryItemClass GetSummaryGroupItemLinkClass() const;
  // AItemsChanged: only the items' presentation changed; otherwise the values are recalculated.
  virtual void SummaryChanged(bool AItemsChanged);
  // The summary step of a rebuild: skipped while the owner is read or destroyed.
  void CalculateSummary();
  bool IsSummaryOfSelectedRecords() const;
  void SetAfterSummaryHeldBack(bool AValue) { FAfterSummaryHeldBack = AValue; }

  // Field upkeep
  virtual void FieldRemoving(TqvCustomDataField* AField);

  TComponent* GetOwner() override { return FOwner; }
  TComponent* GetOwnerComponent() const { return FOwner; }
  TqvDataStorage* GetStorage() const { return FStorage.get(); }
  TqvDataControllerOptions GetOptions() const { return FOptions; }
  void SetOptions(TqvDataControllerOptions AValue);
  bool GetDestroying() const { return FDestroying; }

  TqvDataControllerCompareEvent OnCompare;
  TNotifyEvent OnDataChanged;
  TNotifyEvent OnGroupingChanged;
  TqvDataRecordChangedEvent OnRecordChanged;
  TNotifyEvent OnSortingChanged;
  // The view's handler of change information (the update-control method pointer).
  TqvUpdateControlEvent OnUpdateControl;

 protected:
  void MergeDataChange(TqvDataChangeKind AKind, Integer AItemIndex, Integer ARecordIndex);

 private:
  void SendDataChangedNotification();
  void NotifyControl();
  void NotifyFocusChanged();
  void NotifySelectionChanged();
  void NotifySortingChanged();
  void NotifyMasterFocus();
  void UpdateKeyField();
  void ShiftBookmark(Integer AFirstRecord, Integer ADelta);
  void DeleteRecordInProvider(Integer ARecordIndex);
  void RemoveStorageRecord(Integer ARecordIndex);
  void CopyValueFromProvider(Integer ASourceRecordIndex, Integer ADestRecordIndex, TqvCustomDataField* AField);
  Integer CompareInProvider(Integer ARecordIndex1, Integer ARecordIndex2, TqvCustomDataField* AField);
  void RecordsDeletedOrInserted(TqvDataChangeKind AKind);
  TObject* TryGetDetailLinkObject(Integer ARecordIndex, Integer ARelationIndex);
  void ShiftDetailMasterIndexes(Integer AFirstRecord, Integer ADelta);
  void ForEachDetailLevel(const std::vector<Integer>& APath, size_t ALevel,
                          const std::function<void(TqvCustomDataController*)>& AProc);
  bool HasDataChangedListeners() const;

  friend class TqvCustomDataRelation;
  friend class TqvCustomDataRelationList;

  struct TListener {
    TqvDataChangedListenerProc Code;
    void* Data;
  };

  TComponent* FOwner;
  TqvDataControllerOptions FOptions = qvDefaultDataControllerOptions;
  std::vector<TListener> FListeners;
  std::unique_ptr<TqvDataStorage> FStorage;
  TOwned<TqvCustomDataFieldList> FFields;
  TOwned<TqvCustomDataRelationList> FRelations;
  TqvCustomDataRelation* FMasterRelation = nullptr;
  Integer FMasterRecordIndex = -1;
  bool FPatternFlag = false;
  bool FCreatingLinkObject = false;
  bool FLinkSecondAttempt = false;
  TqvDataChange FPendingChange;
  TqvDataControllerChanges FPendingChanges = 0;
  TOwned<TqvCustomDataControllerInfo> FDataControllerInfo;
  TOwned<TqvDataControllerGroups> FGroups;
  TOwned<TqvDataFilterCriteria> FFilter;
  TOwned<TqvDataSummary> FSummary;
  bool FAfterSummaryHeldBack = false;
  bool FSortingChanged = false;
  bool FGroupingChanged = false;
  bool FInSortingChangedEvent = false;
  Integer FPrevSelectedCount = 0;
  Integer FPrevSingleSelectedRow = -1;
  bool FActive = false;
  bool FDataChangedHeldBack = false;
  Integer FListenerLockCount = 0;
  Integer FLookupUsageCount = 0;
  Integer FNewRecordIndex = 0;
  TOwned<TqvCustomDataProvider> FProvider;
  TOwned<TqvDataControllerSearch> FSearch;
  TOwned<TqvDataControllerNotifier> FNotifier;
  bool FMultiSelect = true;  // views switch it to their own option when they connect
  bool FFocusedRowSelected = true;
  Integer FBookmarkRecordIndex = -1;
  bool FNewItemRowEnabled = false;
  bool FNewItemRowFocused = false;
  bool FAppendInProgress = false;
  TqvCustomDataField* FIncrementalFilterField = nullptr;
  String FIncrementalFilterText;
  bool FSuppressSortByDisplayText = false;
  bool FStructureWasReset = false;
  bool FStructureResetPending = false;
  bool FCheckingStructure = false;
  TqvCustomDataField* FKeyField = nullptr;
  bool FDestroying = false;
  TAliveFlag FAlive;
};
