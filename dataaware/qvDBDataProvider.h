// The provider of a dataset-bound data controller: it reads the dataset into the controller's
// storage (normal mode: every record; grid mode: only the data link's buffer window, read on
// demand), turns the dataset's events into controller changes, edits, posts, deletes, searches
// and moves through the dataset, and puts the dataset back where it was after walking it.
//
// Several controllers may follow one dataset. Every provider of the process is listed, so that
// each can tell whether a dataset event comes from its own work, from another provider's load
// (then it catches up when that load ends) or from somebody else.
//
// Where the parts live:
//   qvDBDataProvider.cpp        construction, the cross-provider tests, modes, reading, position
//   qvDBDataProviderEditing.cpp editing, inserting, smart refresh, deleting, searching
//   qvDBDataProviderEvents.cpp  the data link: dataset events to provider and controller
//   qvDBDataProviderDetail.cpp  reading a detail's range, grid mode
#pragma once

#include <vector>

#include "core/qvCustomData.h"
#include "dataaware/qvDB.h"

class TqvDBDataController;
class TqvDBDataProvider;
class TqvDBDataField;

// The data link of a provider: a visual link whose hooks feed the provider.
class TqvDBDataLink : public TDataLink {
  QJ_CLASS(TqvDBDataLink, TDataLink)
 public:
  explicit TqvDBDataLink(TqvDBDataProvider* AProvider);

  TqvDBDataProvider* GetProvider() const { return FProvider; }
  // A re-enable of the dataset's controls asked for a layout change at the next data set change.
  bool GetLayoutChangedPending() const { return FLayoutChangedPending; }
  // The data set change handled once more (a provider catching up after another one's load).
  void RunDataSetChanged() { DataSetChanged(); }

 protected:
  void ActiveChanged() override;
  void DataEvent(TDataEvent Event, NativeInt Info) override;
  void DataSetChanged() override;
  void DataSetScrolled(Integer ADistance) override;
  void EditingChanged() override;
  void FocusControl(TField*& AField) override;
  void LayoutChanged() override;
  void RecordChanged(TField* AField) override;
  void UpdateData() override;

 private:
  void GridModeDataSetChanged();
  void NormalModeDataSetChanged();

  TqvDBDataProvider* FProvider;
  bool FLayoutChangedPending = false;
};

// Fills storage records from the dataset's current record: each value definition from the TField
// its data field is bound to (Null when the field is Null); definitions without TField stay Null.
class TqvValueDefDBReader : public TqvValueDefReader {
 public:
  String GetDisplayText(TqvValueDef* AValueDef) override;
  Variant GetValue(TqvValueDef* AValueDef) override;
  bool IsValueDefExcluded(TqvValueDef* AValueDef) override;

 private:
  struct TBinding {
    TqvValueDef* ValueDef;
    TField* Field;
    bool Excluded;
  };
  const TBinding& BindingOf(TqvValueDef* AValueDef);

  // What the definitions met so far read: a load asks for the same few again and again, and
  // neither the fields nor the mode change while one reader reads.
  std::vector<TBinding> FBindings;
};

// Where the dataset was: its bookmark (empty when none), its active buffer row and its ends.
struct TqvDBDataProviderSavePosInfo {
  TBookmarkStr Bookmark;
  Integer ActiveRecord = 0;
  bool Bof = false;
  bool Eof = false;
};

class TqvDBDataProvider : public TqvCustomDataProvider {
  QJ_CLASS(TqvDBDataProvider, TqvCustomDataProvider)
 public:
  explicit TqvDBDataProvider(TqvCustomDataController* ADataController);
  ~TqvDBDataProvider() override;

  // --- the source
  bool IsDataSourceSupported() const override { return false; }
  bool IsGridMode() const override;
  bool IsSourceActive() const override;
  bool IsOtherProviderBusy() const override { return IsOtherProviderInserting(); }
  bool IsSyncMode() const override;
  bool IsDataAvailable() const override;
  bool IsStructureAvailable() const override;
  bool IsBOF() const override;
  bool IsEOF() const override;
  void RecordLoaded(Integer ARecordIndex) override;
  void First() override;
  void Prior() override;
  void Next() override;
  void Last() override;
  void MoveBy(Integer ADistance) override;
  void ScrollGridBuffer(Integer ADistance) override;
  void SavePosition() override;
  void RestorePosition() override;
  void LoadGridModeBuffer() override;
  String GetGridModeDisplayText(Integer ARecordIndex, TqvCustomDataField* AField) override;
  Variant GetGridModeValue(Integer ARecordIndex, TqvCustomDataField* AField) override;
  Integer GetSyncRecordIndex() const override;
  TqvValueDefReader* CreateValueDefReader() override { return new TqvValueDefDBReader; }

  // --- editing (qvDBDataProviderEditing.cpp)
  bool CanModify() override;
  bool CanDelete() override;
  bool IsEditing() const override;
  bool IsInserting() const override;
  bool IsModified() const override;
  bool EditRecord(Integer ARecordIndex) override;
  void Edit() override;
  void Append() override;
  void Insert() override;
  void Post() override;
  void Cancel() override;
  void UpdateData() override;
  Variant GetEditValue(Integer ARecordIndex, TqvCustomDataField* AField, Integer AEditValueSource) override;
  bool SetEditValue(Integer ARecordIndex, TqvCustomDataField* AField, const Variant& AValue,
                    Integer AEditValueSource) override;
  void AssignFieldValue(Integer ARecordIndex, TqvCustomDataField* AField, const Variant& AValue) override;
  void AssignGroupingValues(Integer ARecordIndex, const std::vector<Variant>& AValues) override;
  void DeleteFocusedRecord() override;
  void DeleteRecords(std::vector<Integer> AList) override;
  void DeleteSelection() override;

  // --- counts and events
  void BeginCursorMove() override;
  void BeginLoad() override;
  void EndLoad() override;
  void ActiveChanged(bool AActive) override;
  void Scrolled(Integer ADistance) override;
  void LayoutChanged(Integer AKind) override;
  bool DetailHasChildren(Integer ARecordIndex, Integer ARelationIndex) override;
  // The dataset changed a field of the record in edit (nullptr: the whole record).
  virtual void RecordChanged(TField* AField);

  // --- used by the controller, its selection and its filter
  TqvDBDataController* GetDBDataController() const;
  TDataSet* GetDataSet() const;
  TDataSource* GetDataSource() const { return FDataLink->GetDataSource(); }
  void SetDataSource(TDataSource* AValue);
  TqvDBDataLink* GetDataLink() const { return FDataLink.get(); }
  bool IsKeyNavigation() const;
  bool IsSmartRefresh() const;
  bool IsSyncInsert() const;
  bool IsUniDirectional() const;
  bool IsDetailRangeCurrent() const;
  void SetDetailRangeCurrent(bool AValue);
  Integer GetGridModeBufferCount() const;
  // Rows in the data link's buffer.
  Integer GetBufferRecordCount() const;
  // Applies the buffer size and reloads when the buffer's row count changed.
  void UpdateGridModeBuffer();
  // Walks the dataset for a record whose search text starts with AText (without case). Without
  // ANext a search wraps around once; with it, it stops at an end.
  bool FindTextInDataSet(const String& AText, bool AForward, bool ANext);
  // Re-reads or removes the record that was posted or cancelled.
  void SmartRefresh();
  // Runs the dataset's Append or Insert, finishing a pending edit first.
  void ExecuteInsert(void (TDataSet::*AProc)());
  void MarkRefreshRequired();
  void ResetRefreshRequired() { FRefreshRequired = false; }
  bool GetRefreshRequired() const { return FRefreshRequired; }
  void ResetInsertTracking();
  // The dataset's bookmark of a buffer row, read without moving the cursor; empty outside grid
  // mode or the buffer.
  TBookmarkStr GetRowBookmark(Integer ARowIndex) const;
  // The field values a buffer row shows, read without moving the cursor.
  template <class TRead>
  auto ReadBufferRow(Integer ARowIndex, const TRead& ARead) const -> decltype(ARead());

  // The cross-provider tests over every provider of the same dataset.
  bool IsChangeFromProviders() const;
  bool IsOtherProviderLoading();
  bool IsOtherProviderInserting() const;
  bool IsAnyEditRecordRunning() const;
  bool IsDetailLoading() const;
  // Refreshes the providers that waited for this one's load (after each load or own move).
  void NotifyRefreshAfterLoad();

  Integer GetSyncRecordIndexValue() const { return FSyncRecordIndex; }
  void SetSyncRecordIndex(Integer AValue) { FSyncRecordIndex = AValue; }
  const TqvDBDataProviderSavePosInfo& GetSavedPosition() const { return FSavedPosition; }
  Integer GetTrackedRecordIndex() const { return FTrackedRecordIndex; }
  void SetTrackedRecord(Integer ARecordIndex, bool AInserting);
  Integer GetDeletedRecordIndex() const { return FDeletedRecordIndex; }
  void ResetDeletedRecordIndex() { FDeletedRecordIndex = -1; }
  bool GetInEditRecord() const { return FInEditRecord; }
  bool GetInFirst() const { return FInFirst; }
  bool GetInInsert() const { return FInInsert; }
  bool GetInSearch() const { return FInSearch; }

 private:
  friend class TqvDBDataLink;

  // Every provider of the process on the same dataset, this one included.
  template <class TProc>
  bool AnyProviderOfDataSet(bool AIncludeThis, const TProc& AProc) const;
  TField* FieldOf(TqvCustomDataField* AField) const;
  bool DataSetInEditState() const;
  bool FindTextMatches(const String& AText);
  bool MoveOnce(bool AForward, bool ANext);
  Integer SmartRefreshRecord(Integer ARecordIndex);
  void DeleteByKeys(const std::vector<Integer>& AList);
  void DeleteByBookmarks(const std::vector<Integer>& AList);
  std::vector<TBookmarkStr> CollectBookmarks(const std::vector<Integer>& AList);
  void MirrorInsert();

  TOwned<TqvDBDataLink> FDataLink;
  bool FInActiveChanged = false;
  bool FInEditRecord = false;
  bool FInSearch = false;
  bool FInFirst = false;
  bool FInInsert = false;
  bool FInGridModeUpdate = false;
  bool FDetailRangeCurrent = false;
  bool FInNotifyAfterLoad = false;
  std::vector<TqvDBDataProvider*> FRefreshAfterLoad;
  bool FRefreshRequired = false;
  Integer FSyncRecordIndex = -1;
  TqvDBDataProviderSavePosInfo FSavedPosition;
  bool FSavedBookmarkPending = false;  // the load has not met the saved record yet
  Integer FDeletedRecordIndex = -1;
  Integer FTrackedRecordIndex = qvNoEditedRecordIndex;
  bool FTrackedInserting = false;
  Integer FTrackedNewRecordIndex = -1;
  TAliveFlag FAlive;
};

// Every live dataset provider of the process.
const std::vector<TqvDBDataProvider*>& DBDataProviders();

template <class TRead>
auto TqvDBDataProvider::ReadBufferRow(Integer ARowIndex, const TRead& ARead) const -> decltype(ARead()) {
  TqvDBDataLink* link = FDataLink.get();
  Integer active = link->GetActiveRecord();
  link->SetActiveRecord(ARowIndex);
  TFinally restore([link, active] { link->SetActiveRecord(active); });
  return ARead();
}
