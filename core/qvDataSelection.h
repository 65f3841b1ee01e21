// The selected rows of a controller's view: entries kept sorted by row index, each naming a data
// row's record or a group row's group, and the anchor of range selections.
#pragma once

#include <functional>
#include <vector>

#include "platform/rtl/System.h"

class TqvCustomDataController;

struct TqvDataSelectionInfo {
  Integer Level = 0;        // -1 for a group row
  Integer RecordIndex = 0;  // a group row's group index
  Integer RowIndex = 0;
};

class TqvDataSelection : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvDataSelection, TqvCustomDataController*>;
  QJ_CLASS(TqvDataSelection, TObject)

 public:
  explicit TqvDataSelection(TqvCustomDataController* ADataController) : FDataController(ADataController) {}

  virtual void ResetAnchor() { AnchorRowIndex = -1; }
  virtual void InsertItem(Integer AIndex, Integer ARowIndex, Integer ALevel, Integer ARecordIndex);
  virtual void ClearItems();
  virtual void Delete(Integer AIndex);
  virtual void SetCount(Integer ACount);
  // AIndex -1 appends.
  virtual void Add(Integer AIndex, Integer ARowIndex, Integer ALevel, Integer ARecordIndex);
  // Binary search by row; AIndex is the entry found or the insertion position.
  virtual bool FindRowIndex(Integer ARowIndex, Integer& AIndex) const;

  void DeleteAndNotify(Integer AIndex);
  void Clear();
  void ClearAll();
  bool IsRowSelected(Integer ARowIndex) const;
  Integer FindGroupEntry(Integer AGroupIndex) const;
  Integer FindRecordEntry(Integer ARecordIndex) const;
  bool IsRecordSelected(Integer ARecordIndex) const { return FindRecordEntry(ARecordIndex) != -1; }
  void Sort();
  // Keeps the entries on their records when records are deleted or inserted: the entry of a
  // deleted record goes, the ones after it follow their records; group entries are dropped.
  void RecordDeleted(Integer ARecordIndex);
  void RecordInserted(Integer ARecordIndex);
  // Drops the data entries whose record is no longer below ARecordCount, and group entries.
  void CheckRecords(Integer ARecordCount);

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  const TqvDataSelectionInfo& GetItem(Integer AIndex) const;
  TqvDataSelectionInfo& GetItem(Integer AIndex);
  TqvCustomDataController* GetDataController() const { return FDataController; }

  Integer AnchorRowIndex = -1;
  std::function<void()> OnChanged;

 protected:
  void Changed();
  void CheckIndex(Integer AIndex) const;

 private:
  // Removes the entries APredicate picks (without notifying); True when any went.
  bool DeleteWhere(const std::function<bool(const TqvDataSelectionInfo&)>& APredicate);

  TqvCustomDataController* FDataController;
  std::vector<TqvDataSelectionInfo> FItems;
};

using TqvDataSelectionClass = const TqvDataSelection::MetaType*;
