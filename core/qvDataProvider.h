// The data provider: the editing cycle of a controller's records (edit, insert, append, post,
// cancel, delete, the new-item row) and the hooks a source-bound descendant answers from its
// source. A user data source keeps values outside the storage and names records by handles.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/rtl/Scopes.h"
#include "platform/rtl/System.h"
#include "platform/rtl/Variants.h"

class TqvCustomDataController;
class TqvValueType;
class TqvCustomDataField;
class TqvCustomDataProvider;
class TqvValueDefReader;

// The edited record when none is being edited.
constexpr Integer qvNoEditedRecordIndex = static_cast<Integer>(0x80000001u);

// Edit state bits of a controller.
enum TqvDataControllerEditStateBit : Byte {
  dceInsert = 1,
  dceEdit = 2,
  dceChanging = 4,
  dceModified = 8,
};
using TqvDataControllerEditState = Byte;

// Edit operation bits a controller's source allows.
enum TqvDataControllerEditOperation : Byte {
  dceopAppend = 1,
  dceopDelete = 2,
  dceopEdit = 4,
  dceopInsert = 8,
  dceopItemEdit = 16,
};
using TqvDataControllerEditOperations = Byte;

using TqvRecordHandle = intptr_t;

// Records kept by the owner outside the storage, named by handles.
class TqvUserDataSource : public TObject {
  QJ_CLASS(TqvUserDataSource, TObject)
 public:
  virtual TqvRecordHandle AppendRecord() = 0;
  virtual void DeleteRecord(TqvRecordHandle AHandle) = 0;
  virtual bool DetailHasChildren(Integer, Integer) { return false; }
  virtual String GetDisplayText(TqvRecordHandle AHandle, TqvRecordHandle AItemHandle);
  virtual TqvRecordHandle GetItemHandle(Integer AItemIndex) { return AItemIndex; }
  virtual bool IsInsertSupported() { return false; }
  virtual Variant GetValue(TqvRecordHandle AHandle, TqvRecordHandle AItemHandle) = 0;
  virtual TqvRecordHandle InsertRecord(TqvRecordHandle ABeforeHandle);
  // Writes the raw value into APlace, a zeroed place of AValueType's layout that the caller frees
  // with the type; False for Null. By default the value is converted into the place (a value the
  // type cannot hold counts as Null); a source holding raw values copies them instead.
  virtual bool GetValueBuffer(TqvRecordHandle AHandle, TqvRecordHandle AItemHandle, const TqvValueType* AValueType,
                              void* APlace);
  // True when comparing raw values (GetValueBuffer) orders records as the source wants.
  virtual bool IsNativeCompare() { return false; }
  // True when the source orders two records itself (CompareValues).
  virtual bool IsCustomCompare() { return false; }
  // Reports every record handle through the provider's AppendRecordHandle.
  virtual void LoadRecords() = 0;
  virtual Integer CompareValues(TqvRecordHandle AHandle1, TqvRecordHandle AHandle2, TqvRecordHandle AItemHandle);
  virtual void SetRecordCount(Integer) {}
  virtual void SetValue(TqvRecordHandle AHandle, TqvRecordHandle AItemHandle, const Variant& AValue) = 0;

  TqvCustomDataProvider* GetProvider() const { return FProvider; }
  TqvCustomDataProvider* GetCurrentProvider() const { return FCurrentProvider; }

 private:
  friend class TqvCustomDataProvider;
  TqvCustomDataProvider* FProvider = nullptr;
  TqvCustomDataProvider* FCurrentProvider = nullptr;
};

class TqvCustomDataProvider : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvCustomDataProvider, TqvCustomDataController*>;
  QJ_CLASS(TqvCustomDataProvider, TObject)

 public:
  explicit TqvCustomDataProvider(TqvCustomDataController* ADataController);
  ~TqvCustomDataProvider() override;

  // Source hooks: an unbound controller has no source of its own.
  virtual bool IsDataSourceSupported() const { return true; }
  virtual bool IsGridMode() const { return false; }
  virtual bool IsSourceActive() const { return false; }
  virtual bool IsOtherProviderBusy() const { return false; }
  virtual bool IsSyncMode() const { return false; }
  virtual bool IsDataAvailable() const { return FUserDataSource != nullptr; }
  virtual bool IsStructureAvailable() const { return false; }
  virtual bool IsBOF() const { return true; }
  virtual bool IsEOF() const { return true; }
  virtual void RecordLoaded(Integer) {}
  virtual void First() { FStructureChanged = false; }
  virtual void Prior() {}
  virtual void Next() {}
  virtual void Last() {}
  virtual void MoveBy(Integer) {}
  virtual void ScrollGridBuffer(Integer) {}
  virtual void SavePosition() {}
  virtual void RestorePosition() {}
  virtual void LoadGridModeBuffer() {}
  virtual String GetGridModeDisplayText(Integer, TqvCustomDataField*) { return String(); }
  virtual Variant GetGridModeValue(Integer, TqvCustomDataField*) { return Null(); }
  virtual Integer GetSyncRecordIndex() const { return -1; }
  virtual void SetDisplayText(Integer, TqvCustomDataField*, const String&) {}
  // The reader that loads records from the source; none for the unbound controller.
  virtual TqvValueDefReader* CreateValueDefReader() { return nullptr; }

  // What the source allows.
  virtual bool CanModify() { return true; }
  virtual bool CanAppend() { return CanModify(); }
  virtual bool CanInsert() { return CanModify(); }
  virtual bool CanDelete();

  // The editing state.
  virtual bool IsEditingItem() const { return FEditingItem; }
  virtual bool IsEditing() const { return FEditingRecordIndex != qvNoEditedRecordIndex; }
  virtual bool IsInserting() const { return IsEditing() && FInserting; }
  virtual bool IsModified() const { return FModified; }
  Integer GetEditingRecordIndex() const { return FEditingRecordIndex; }
  Integer GetLastPostRecordIndex() const { return FLastPostRecordIndex; }
  void ResetLastPostRecordIndex() { FLastPostRecordIndex = -1; }
  bool IsPostingNewItemRow() const { return FPostingNewItemRow; }

  // The editing cycle.
  virtual bool EditRecord(Integer ARecordIndex);
  virtual void Edit() { StartEditing(); }
  virtual void Append() { BeginInsert(true); }
  virtual void Insert() { BeginInsert(false); }
  virtual void Post();
  virtual void Cancel();
  virtual void UpdateData();
  virtual Variant GetEditValue(Integer ARecordIndex, TqvCustomDataField* AField, Integer AEditValueSource);
  virtual bool SetEditValue(Integer ARecordIndex, TqvCustomDataField* AField, const Variant& AValue,
                            Integer AEditValueSource);
  virtual void AssignFieldValue(Integer ARecordIndex, TqvCustomDataField* AField, const Variant& AValue);
  virtual void AssignGroupingValues(Integer ARecordIndex, const std::vector<Variant>& AValues);
  virtual void InitEditRecord();
  virtual void BeginInsert(bool AAppend);
  virtual void StartEditing() { InitEditRecord(); }
  virtual void EndEditing();
  virtual void SetEditingItem() { FEditingItem = true; }
  virtual void ResetEditingItem() { FEditingItem = false; }
  virtual void SetModified() { FModified = true; }
  virtual void ResetModified() { FModified = false; }
  // Ends the edit when a deletion removed or shifted the edited record (-1: the count shrank).
  void CheckEditingRecordRemoved(Integer ARecordIndex);
  // The storage dropped its internal records: the saved copy went with them.
  void InternalRecordsCleared();

  // Deleting.
  virtual void DeleteFocusedRecord();
  // Deletes the listed records (any order, duplicates allowed), each exactly once.
  virtual void DeleteRecords(std::vector<Integer> AList);
  virtual void DeleteSelection();

  // Counts of the controller's own cursor moves and of loads.
  virtual void BeginCursorMove() { ++FCursorMoveCount; }
  virtual void EndCursorMove() { --FCursorMoveCount; }
  virtual void BeginLoad() { ++FLoadCount; }
  virtual void EndLoad() { --FLoadCount; }
  Integer GetCursorMoveCount() const { return FCursorMoveCount; }
  Integer GetLoadCount() const { return FLoadCount; }

  // Events of the source.
  virtual void ActiveChanged(bool AActive);
  virtual void DataChanged(Byte AKind, Integer AItemIndex, Integer ARecordIndex);
  virtual void Scrolled(Integer ADistance);
  virtual void LayoutChanged(Integer AKind);

  // The user data source and the records it names by handle.
  TqvUserDataSource* GetUserDataSource() const { return FUserDataSource; }
  void SetUserDataSource(TqvUserDataSource* ASource);
  TqvRecordHandle GetRecordHandle(Integer ARecordIndex);
  Integer GetRecordIndexByHandle(TqvRecordHandle AHandle);
  Integer AppendRecordHandle(TqvRecordHandle AHandle);
  void LoadRecordHandles();
  virtual Variant GetValue(Integer ARecordIndex, TqvCustomDataField* AField);
  virtual String GetDisplayText(Integer ARecordIndex, TqvCustomDataField* AField);
  virtual void SetValue(Integer ARecordIndex, TqvCustomDataField* AField, const Variant& AValue);
  virtual void SetRecordCount(Integer ACount);
  virtual bool DetailHasChildren(Integer ARecordIndex, Integer ARelationIndex);
  virtual void DeleteRecordInSource(Integer ARecordIndex);
  virtual Integer AppendRecordInSource();
  virtual Integer InsertRecordInSource(Integer ARecordIndex);
  // Two records compared on the raw values of one field (internal records from the storage).
  virtual Integer CompareValues(Integer ARecordIndex1, Integer ARecordIndex2, TqvCustomDataField* AField);
  // Two real records compared by the user data source itself.
  virtual Integer CompareInSource(Integer ARecordIndex1, Integer ARecordIndex2, TqvCustomDataField* AField);

  bool GetStructureChanged() const { return FStructureChanged; }
  void SetStructureChanged(bool AValue) { FStructureChanged = AValue; }
  // Set while a source-bound descendant mirrors a move of its source: the focus then follows
  // without asking the controller's CanChangeFocusedRow.
  bool GetFocusedRowChangeUnchecked() const { return FFocusedRowChangeUnchecked; }
  void SetFocusedRowChangeUnchecked(bool AValue) { FFocusedRowChangeUnchecked = AValue; }
  bool GetGrouped() const { return FGrouped; }
  void SetGrouped(bool AValue) { FGrouped = AValue; }
  TqvCustomDataController* GetDataController() const { return FDataController; }

 protected:
  TqvUserDataSource* Source();  // the user data source, told which provider calls

 private:
  void SaveEditedCopy();
  void FreeSavedCopy();
  void ClearNewRecordBuffer(Integer ARecordIndex);
  bool HasPendingChanges() const;
  Integer PostNewItemRow();
  bool ReadRawValue(Integer ARecordIndex, TqvCustomDataField* AField, void* APlace);
  Integer IndexOfNewHandle(TqvRecordHandle AHandle, bool AAppended);

  TqvCustomDataController* FDataController;
  TqvUserDataSource* FUserDataSource = nullptr;
  Integer FEditingRecordIndex = qvNoEditedRecordIndex;
  Integer FLastPostRecordIndex = -1;
  bool FEditingItem = false;
  bool FInserting = false;
  bool FModified = false;
  bool FPostingNewItemRow = false;
  bool FStructureChanged = false;
  bool FGrouped = false;
  bool FFocusedRowChangeUnchecked = false;
  Integer FCursorMoveCount = 0;
  Integer FLoadCount = 0;
  Integer FSavedCopy = 0;
};

using TqvCustomDataProviderClass = const TqvCustomDataProvider::MetaType*;

// A provider load: the load count and the source position around a block, also when it raises.
namespace qvProviderLoad {
inline void Begin(TqvCustomDataProvider* AProvider) {
  AProvider->BeginLoad();
  try {
    AProvider->SavePosition();
  } catch (...) {
    AProvider->EndLoad();
    throw;
  }
}
inline void End(TqvCustomDataProvider* AProvider) {
  try {
    AProvider->RestorePosition();
  } catch (...) {
    AProvider->EndLoad();
    throw;
  }
  AProvider->EndLoad();
}
}  // namespace qvProviderLoad

using TqvProviderLoadScope = TUpdateScope<TqvCustomDataProvider, &qvProviderLoad::Begin, &qvProviderLoad::End>;
