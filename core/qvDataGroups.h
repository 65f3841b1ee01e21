// The small owned objects of a controller's view engine: the ordered sorting and grouping field
// lists, the data groups laid over the sorted record list (with their row numbering), the
// focusing info that survives a rebuild and the expanding states saved across one.
#pragma once

#include <functional>
#include <vector>

#include "platform/rtl/System.h"
#include "platform/rtl/Variants.h"

class TqvCustomDataField;
class TqvCustomDataControllerInfo;

enum TqvDataSortOrder : Byte { soNone, soAscending, soDescending };

struct TqvSortingFieldInfo {
  TqvCustomDataField* Field = nullptr;
  TqvDataSortOrder SortOrder = soNone;
};

// Fields in sorting order; OnChanged runs after every change of the list.
class TqvSortingFieldList : public TObject {
  QJ_CLASS(TqvSortingFieldList, TObject)
 public:
  void Add(TqvCustomDataField* AField, TqvDataSortOrder ASortOrder);
  void Insert(Integer AIndex, TqvCustomDataField* AField, TqvDataSortOrder ASortOrder);
  void Delete(Integer AIndex);
  void Clear();
  void Move(Integer ACurIndex, Integer ANewIndex);
  void Remove(TqvCustomDataField* AField);
  void SetSortOrder(Integer AIndex, TqvDataSortOrder ASortOrder);

  Integer Find(const TqvCustomDataField* AField) const;
  TqvDataSortOrder GetSortOrder(const TqvCustomDataField* AField) const;
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  const TqvSortingFieldInfo& GetItem(Integer AIndex) const;

  // soNone removes the field; another order sets it, appending the field when absent.
  virtual void ChangeSorting(TqvCustomDataField* AField, TqvDataSortOrder ASortOrder);
  // Reports a change when AField is listed (its properties changed).
  void CheckField(const TqvCustomDataField* AField);
  void AddFrom(const TqvSortingFieldList& AList);
  // A negative index removes the field; otherwise it is inserted or moved (clamped).
  void SetFieldIndex(TqvCustomDataField* AField, Integer AIndex);

  std::function<void()> OnChanged;

 protected:
  void Changed();
  void CheckIndex(Integer AIndex) const;

 private:
  std::vector<TqvSortingFieldInfo> FItems;
};

// Grouping fields in grouping order (index = level). An entry always has an order, which mirrors
// the sorting list.
class TqvGroupingFieldList : public TqvSortingFieldList {
  QJ_CLASS(TqvGroupingFieldList, TqvSortingFieldList)
 public:
  void ChangeSorting(TqvCustomDataField* AField, TqvDataSortOrder ASortOrder) override;
  void SyncSortOrders(const TqvSortingFieldList& ASortingList);
};

struct TqvDataGroupInfo {
  Integer RowIndex = 0;  // hidden groups carry the row of their collapsed ancestor
  bool Expanded = false;
  Integer Level = 0;
  // Deepest groups: first and last record-list position; others: range of child group records.
  Integer FirstIndex = 0;
  Integer LastIndex = 0;
  Variant SummaryValues;
};

// What a row of a controller's view shows: a group row (its level, expanded or not, its first
// record) or a data row (level = number of grouping items, 0 when ungrouped).
struct TqvRowInfo {
  bool Expanded = false;
  Integer Level = 0;
  Integer RecordIndex = -1;
};

// Where a row of a grouped view points.
struct TqvDataGroupRowInfo {
  Integer Level = 0;
  bool Expanded = false;
  Integer RecordListIndex = 0;
};

// The tree of group rows over the sorted record list, kept in pre-order.
class TqvDataGroups : public TObject {
  QJ_CLASS(TqvDataGroups, TObject)
 public:
  void AddField(TqvCustomDataField* AField) { FFields.push_back(AField); }
  Integer AddGroup();  // a zero-filled group; returns its index
  void Clear();

  Integer GetFieldCount() const { return static_cast<Integer>(FFields.size()); }
  TqvCustomDataField* GetField(Integer ALevel) const;
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TqvDataGroupInfo& GetItem(Integer AIndex);
  const TqvDataGroupInfo& GetItem(Integer AIndex) const;
  Integer GetLevel(Integer AGroupIndex) const;
  bool IsDeepest(Integer AGroupIndex) const { return GetLevel(AGroupIndex) == GetFieldCount() - 1; }
  Integer GetRecordCount(Integer AGroupIndex) const;  // of a deepest group
  Integer GetParent(Integer AGroupIndex) const;       // -1 for a top-level group

  // The visible group of a row, or -1 with AGroup the last group record above the row.
  Integer FindByRowIndex(Integer ARowIndex, Integer& AGroup) const;
  void ResolveVisible(Integer ARowIndex, Integer& AIndex) const;
  bool IsVisible(Integer AGroupIndex) const;
  Integer GetGroupIndexByRowIndex(Integer ARowIndex, Integer ALevel = -1) const;
  Integer FindDeepestByPosition(Integer APosition) const;
  Integer FindGroupByPosition(Integer APosition, Integer ALevel) const;
  Integer GetChildCount(Integer AGroupIndex) const;
  Integer GetChildGroupIndex(Integer AGroupIndex, Integer AIndex) const;
  Integer GetChildRecordListIndex(Integer AGroupIndex, Integer AIndex) const;
  // The record-list position of the first record under a group.
  Integer GetFirstRecordListIndex(Integer AGroupIndex) const;

  Integer GetRowCount() const;
  bool GetRowInfo(Integer ARowIndex, TqvDataGroupRowInfo& AInfo) const;
  // True when a group row was found at ARowIndex.
  bool SetExpanded(Integer ARowIndex, bool AExpanded, bool ARecursive);
  bool ExpandParents(Integer AGroupIndex, bool AExpandSelf);
  void UpdateRowIndexes();

 private:
  void CheckIndex(Integer AIndex) const;
  const std::vector<Integer>& DeepestGroups() const;

  std::vector<TqvCustomDataField*> FFields;
  std::vector<TqvDataGroupInfo> FItems;
  mutable std::vector<Integer> FDeepest;  // indexes of deepest groups, made on demand
  mutable bool FDeepestValid = false;
};

// What is focused, in a form that survives a rebuild: the record (and level) to find again.
class TqvDataFocusingInfo : public TObject {
  QJ_CLASS(TqvDataFocusingInfo, TObject)
 public:
  explicit TqvDataFocusingInfo(TqvCustomDataControllerInfo* ADataControllerInfo)
      : FDataControllerInfo(ADataControllerInfo) {}

  void Assign(const TqvDataFocusingInfo& ASource);
  bool IsEqual(const TqvDataFocusingInfo& AOther) const;
  void Reset();
  void SyncFromRow();

  bool Changed = false;
  Integer Level = -1;
  Integer ShownRecordIndex = -1;
  Integer RecordIndex = -1;
  Integer RowIndex = -1;

 private:
  TqvCustomDataControllerInfo* FDataControllerInfo;
};

constexpr Byte qvExpandingStateExpanded = 1;
constexpr Byte qvExpandingStateSelected = 2;

struct TqvDataExpandingInfo {
  Integer Level = 0;
  Variant Value;
  Byte State = 0;
};

// Expanded and selected groups saved across one rebuild.
class TqvDataExpandingInfos : public TObject {
  QJ_CLASS(TqvDataExpandingInfos, TObject)
 public:
  void AddField(TqvCustomDataField* AField);
  void AddInfo(Integer ALevel, const Variant& AValue, Byte AState);
  void FieldRemoved(const TqvCustomDataField* AField);
  void Clear();
  void ClearFields() { FFields.clear(); }
  void ClearInfos() { FInfos.clear(); }

  Integer GetFieldCount() const { return static_cast<Integer>(FFields.size()); }
  TqvCustomDataField* GetField(Integer AIndex) const { return FFields.at(AIndex); }
  Integer GetInfoCount() const { return static_cast<Integer>(FInfos.size()); }
  const TqvDataExpandingInfo& GetInfo(Integer AIndex) const { return FInfos.at(AIndex); }
  Integer IndexOfField(const TqvCustomDataField* AField) const;

  Byte SavedStates = 0;  // qvExpandingState... bits

 private:
  std::vector<TqvCustomDataField*> FFields;
  std::vector<TqvDataExpandingInfo> FInfos;
};
