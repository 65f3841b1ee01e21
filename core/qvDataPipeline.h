// The view engine of a data controller: it turns the controller's records into rows (filter,
// sort, group, restore expanded groups and selection, find the focus again) once per outermost
// EndUpdate, and the grouping front end a controller hands to its views.
//
// Where the parts live: qvDataPipeline.cpp (the view engine), qvDataControllerGroups.cpp (the
// grouping front end).
#pragma once

#include <memory>
#include <vector>

#include "core/qvDataGroups.h"
#include "core/qvDataSelection.h"

class TqvCustomDataController;

// What a rebuild must redo; collected until no update lock is open.
enum TqvDataControllerInfoChange : Word {
  dcicLoad = 0x1,
  dcicGrouping = 0x2,
  dcicSorting = 0x4,
  dcicFocusedRow = 0x8,
  dcicView = 0x10,
  dcicExpanding = 0x20,
  dcicResetFocusedRow = 0x40,
  dcicSelection = 0x80,
  dcicSummary = 0x100,
  dcicFocusedRecord = 0x200,
};
using TqvDataControllerInfoChanges = Word;

// Decides once, for every field of a sorting list, how it compares (stored value, converted value
// or display text), for a sort or for a search that must compare as the sort does; the fields
// forget it when the scope ends.
class TqvSortConversionScope {
 public:
  TqvSortConversionScope(TqvCustomDataController* AController, const TqvSortingFieldList& AList);
  ~TqvSortConversionScope();
  TqvSortConversionScope(const TqvSortConversionScope&) = delete;
  TqvSortConversionScope& operator=(const TqvSortConversionScope&) = delete;

 private:
  std::vector<TqvCustomDataField*> FFields;
};

class TqvCustomDataControllerInfo : public TObject {
  QJ_CLASS(TqvCustomDataControllerInfo, TObject)
 public:
  explicit TqvCustomDataControllerInfo(TqvCustomDataController* ADataController);
  ~TqvCustomDataControllerInfo() override;

  // Lock and change entry points
  void BeginUpdate() { ++FLockCount; }
  void EndUpdate();
  Integer GetLockCount() const { return FLockCount; }
  void CheckUpdate();
  void RefreshView();
  void ResetFocusing();
  void SummaryChanged(bool AItemsChanged);
  void ExpandingChanged();
  void FocusedRecordChanged(bool APrevChanged);
  void FieldRemoved(TqvCustomDataField* AField);
  void FieldChanged(TqvCustomDataField* AField);
  TqvDataControllerInfoChanges GetChanges() const { return FChanges; }
  bool IsSortPending() const { return (FChanges & dcicSorting) != 0; }
  bool IsUpdating() const { return FUpdating; }
  // True while a focus change is under way (its hooks may ask).
  bool IsFocusingRow() const { return FFocusingRow; }
  // How many times the record list was rebuilt.
  Integer GetLoadCount() const { return FLoadCount; }

  // Sorting and grouping front ends
  void ChangeSorting(TqvCustomDataField* AField, TqvDataSortOrder ASortOrder);
  void ChangeSortIndex(TqvCustomDataField* AField, Integer AIndex);
  void ClearSorting(bool AKeepGroupingItems);
  void ChangeGroupIndex(TqvCustomDataField* AField, Integer AIndex);
  void ChangeExpanding(Integer ARowIndex, bool AExpanded, bool ARecursive);

  // Rows
  Integer GetRowCount() const;
  TqvRowInfo GetRowInfo(Integer ARowIndex) const;
  Integer GetRowIndexByRecordIndex(Integer ARecordIndex, bool AMakeVisible);
  void CheckRowIndex(Integer ARowIndex) const;
  Integer GetFocusedRowIndex() const { return FFocusingInfo->RowIndex; }
  Integer GetFocusedRecordIndex() const;
  Integer GetFilteredRecordCount() const { return static_cast<Integer>(FRecordList.size()); }
  Integer GetRecordIndexByFilteredIndex(Integer AIndex) const;
  Integer GetFilteredIndexByRecordIndex(Integer ARecordIndex) const;
  const std::vector<Integer>& GetRecordList() const { return FRecordList; }

  // Selection
  void ChangeRowSelection(Integer ARowIndex, bool ASelect);
  // Entries only: the anchor stays.
  void ClearSelection() { FSelection->Clear(); }
  void ClearSelectionAnchor() { FSelection->ResetAnchor(); }
  Integer GetSelectedCount() const { return FSelection->GetCount(); }
  Integer GetSelectedRowIndex(Integer AIndex) const { return FSelection->GetItem(AIndex).RowIndex; }
  bool IsRowSelected(Integer ARowIndex) const;
  virtual void CheckSelectionRecords(Integer ADeletedRecordIndex);
  void RecordInserted(Integer ARecordIndex);

  // Focus
  void ChangeFocusedRow(Integer ARowIndex, bool AForce);
  void FocusRow(Integer ARowIndex);
  Integer FindFocusedRow(bool AVisibleOnly);

  void SaveExpandingStates(Byte AStates);

  TqvCustomDataController* GetDataController() const { return FDataController; }
  TqvDataGroups* GetDataGroups() const { return FDataGroups.get(); }
  TqvGroupingFieldList* GetGroupingFieldList() const { return FGroupingFieldList.get(); }
  TqvSortingFieldList* GetSortingFieldList() const { return FSortingFieldList.get(); }
  TqvSortingFieldList* GetTotalSortingFieldList() const { return FTotalSortingFieldList.get(); }
  TqvDataFocusingInfo* GetFocusingInfo() const { return FFocusingInfo.get(); }
  TqvDataFocusingInfo* GetPrevFocusingInfo() const { return FPrevFocusingInfo.get(); }
  TqvDataExpandingInfos* GetExpandingInfos() const { return FExpandingInfos.get(); }
  TqvDataSelection* GetSelection() const { return FSelection.get(); }
  bool IsGrouped() const { return FDataGroups->GetCount() > 0; }

 protected:
  virtual void Update();

 private:
  class TSorter;
  class TGroupValueComparer;

  void AddChanges(TqvDataControllerInfoChanges AChanges) { FChanges |= AChanges; }
  void GroupingChanged();
  void SortingChanged();
  void SelectionChanged();
  void RebuildRecordList();
  void FilterRecords();
  void Sort(TSorter& ASorter);
  void BuildGroups(TSorter& ASorter);
  void RestoreExpandingStates();
  void RestoreGroupStates(bool AExpand);
  Integer LocateGroup(const std::vector<Integer>& APath, Integer ALevel, const Variant& AValue,
                      TGroupValueComparer& AComparer) const;
  void RecomputeSelectionRows(bool AKeepGroupEntries);
  void RefindFocusedRow();
  void MakeConsistent();
  void FinishUpdate(TqvDataControllerInfoChanges AInitialChanges);
  Word NotificationBits() const;  // the controller's notification bits
  Integer GetGroupFocusedRow(Integer AGroup, Integer APosition, Integer ALevel);
  Integer FindFocusedRowVisibleOnly(Integer AGroup, Integer APosition);
  Integer ClampRow(Integer ARowIndex) const;
  bool CanFocusRow(Integer ARowIndex);
  void AfterFocusChange(Integer APrevRow);
  std::vector<Integer> RecordPositions() const;

  TqvCustomDataController* FDataController;
  TqvDataControllerInfoChanges FChanges = 0;
  Integer FLockCount = 0;
  bool FUpdating = false;
  bool FExpandingChanged = false;
  bool FFocusingRow = false;
  Integer FLoadCount = 0;
  std::vector<Integer> FRecordList;
  TOwned<TqvGroupingFieldList> FGroupingFieldList;
  TOwned<TqvSortingFieldList> FSortingFieldList;
  TOwned<TqvSortingFieldList> FTotalSortingFieldList;
  TOwned<TqvDataGroups> FDataGroups;
  TOwned<TqvDataExpandingInfos> FExpandingInfos;
  TOwned<TqvDataFocusingInfo> FFocusingInfo;
  TOwned<TqvDataFocusingInfo> FPrevFocusingInfo;
  TOwned<TqvDataSelection> FSelection;
};

// The grouping front end of a controller: which items are grouped, which group a row shows and
// which records a group covers. It keeps nothing but the controller.
class TqvDataControllerGroups : public TObject {
  QJ_CLASS(TqvDataControllerGroups, TObject)
 public:
  explicit TqvDataControllerGroups(TqvCustomDataController* ADataController) : FDataController(ADataController) {}

  void ChangeExpanding(Integer ARowIndex, bool AExpanded, bool ARecursive);
  void ChangeGroupIndex(Integer AItemIndex, Integer AGroupIndex);
  Integer GetGroupIndex(Integer AItemIndex) const;
  Integer GetGroupingItemCount() const;
  Integer GetItemIndexByLevel(Integer ALevel) const;
  Integer GetDataGroupIndexByRowIndex(Integer ARowIndex) const;
  Integer GetDataGroupLevel(Integer ADataGroupIndex) const;
  Integer GetChildCount(Integer ADataGroupIndex) const;
  Integer GetChildDataGroupIndex(Integer ADataGroupIndex, Integer AIndex) const;
  Integer GetChildRecordIndex(Integer ADataGroupIndex, Integer AIndex) const;
  // Appends the record index of every record under a group, in view order.
  void LoadRecordIndexes(std::vector<Integer>& AList, Integer ADataGroupIndex) const;
  void LoadRecordIndexesByRowIndex(std::vector<Integer>& AList, Integer ARowIndex) const;

  TqvCustomDataController* GetDataController() const { return FDataController; }

 private:
  TqvCustomDataControllerInfo* Info() const;
  TqvDataGroups* Groups() const;

  TqvCustomDataController* FDataController;
};
