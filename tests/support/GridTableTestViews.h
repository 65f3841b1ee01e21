// A table-like view built on the custom table bases, for tests and benchmarks: items of a plain
// item class, records with cells, and a layout object that stacks the records from the first
// one with their heights (RowHeight each, or the height given for a row) without making any
// layout cells.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/qvDataPipeline.h"
#include "grid/qvGridCustomTableView.h"

class TTestTableItem : public TqvCustomGridTableItem {
  QJ_INLINE_CLASS(TTestTableItem, TqvCustomGridTableItem)
 public:
  using TqvCustomGridTableItem::TqvCustomGridTableItem;
};

// A row with cells. A group row of the data controller expands through it (and is made again
// by that); another row expands when Expandable is set.
class TTestTableRecord : public TqvCustomGridRecord {
  QJ_INLINE_CLASS(TTestTableRecord, TqvCustomGridRecord)
 public:
  using TqvCustomGridRecord::TqvCustomGridRecord;
  bool IsGroupRow() const { return GetLevel() < GetDataController()->GetGroups()->GetGroupingItemCount(); }
  void Collapse(bool ARecurse) override {
    if (IsGroupRow())
      GetDataController()->GetGroups()->ChangeExpanding(GetIndex(), false, ARecurse);
    else
      Expanded = false;
  }
  void Expand(bool ARecurse) override {
    if (IsGroupRow())
      GetDataController()->GetGroups()->ChangeExpanding(GetIndex(), true, ARecurse);
    else
      Expanded = true;
  }
  bool ExpandingFreesRecord() const override { return IsGroupRow(); }
  bool GetExpandable() override { return Expandable || IsGroupRow(); }
  bool GetExpanded() override { return IsGroupRow() ? GetRowInfo().Expanded : Expanded; }
  bool HasCells() override { return !IsGroupRow(); }
  bool CanFocus() override { return !Unfocusable; }

  bool Expandable = false;
  bool Expanded = false;
  bool Unfocusable = false;
};

class TTestTableViewData : public TqvCustomGridTableViewData {
  QJ_INLINE_CLASS(TTestTableViewData, TqvCustomGridTableViewData)
 public:
  using TqvCustomGridTableViewData::TqvCustomGridTableViewData;
  TqvCustomGridRecordClass GetRecordClass(const TqvRowInfo&) override { return &TTestTableRecord::StaticClass(); }
  TqvCustomGridRecordClass GetNewItemRecordClass() override { return &TTestTableRecord::StaticClass(); }
  bool HasNewItemRecord() override { return NewItemRow; }
  bool NewItemRow = false;
};

// Records scroll vertically; making an item visible is noted.
class TTestTableController : public TqvCustomGridTableController {
  QJ_INLINE_CLASS(TTestTableController, TqvCustomGridTableController)
 public:
  using TqvCustomGridTableController::TqvCustomGridTableController;
  bool IsRecordsScrollHorizontal() override { return false; }
  void MakeItemVisible(TqvCustomGridTableItem* AItem) override { LastItemMadeVisible = AItem; }
  TqvCustomGridTableItem* LastItemMadeVisible = nullptr;
};

class TTestTableView;

// Records from the first record stacked in the client area; a record counts as shown when it
// starts inside the client area and either fits or is the only one.
class TTestTableViewInfo : public TqvCustomGridTableViewInfo {
  QJ_INLINE_CLASS(TTestTableViewInfo, TqvCustomGridTableViewInfo)
 public:
  using TqvCustomGridTableViewInfo::TqvCustomGridTableViewInfo;
  static constexpr Integer RowHeight = 20;

  void Calculate() override;
  Integer CalculateVisibleEqualHeightRecordCount() override;
  Integer GetVisibleRecordCount() override { return FVisibleCount; }
  Integer CalculationCount = 0;

 private:
  Integer FVisibleCount = 0;
};

class TTestTableView : public TqvCustomGridTableView {
  QJ_INLINE_CLASS(TTestTableView, TqvCustomGridTableView)
 public:
  using TqvCustomGridTableView::TqvCustomGridTableView;

  TTestTableItem* AddTestItem(const String& ACaption = String()) {
    auto* item = static_cast<TTestTableItem*>(CreateItem());
    if (!ACaption.empty()) item->SetCaption(ACaption);
    return item;
  }
  TTestTableController* Controller() const { return static_cast<TTestTableController*>(GetController()); }
  TTestTableViewData* Data() const { return static_cast<TTestTableViewData*>(GetViewData()); }
  TTestTableViewInfo* Info() const { return static_cast<TTestTableViewInfo*>(GetViewInfo()); }
  bool IsEqualHeightRecords() override { return RowHeights.empty(); }
  Integer GetRowHeight(Integer ARow) const {
    auto it = RowHeights.find(ARow);
    return it == RowHeights.end() ? TTestTableViewInfo::RowHeight : it->second;
  }

  // Heights of single rows; any entry makes the records unequal.
  std::map<Integer, Integer> RowHeights;

 protected:
  TqvCustomGridTableItemClass GetItemClass() const override { return &TTestTableItem::StaticClass(); }
  TqvGridViewHandlerClass GetControllerClass() const override { return &TTestTableController::StaticClass(); }
  TqvGridViewHandlerClass GetPainterClass() const override { return &TqvCustomGridPainter::StaticClass(); }
  TqvGridViewHandlerClass GetViewDataClass() const override { return &TTestTableViewData::StaticClass(); }
  TqvGridViewHandlerClass GetViewInfoClass() const override { return &TTestTableViewInfo::StaticClass(); }
};

inline void TTestTableViewInfo::Calculate() {
  ++CalculationCount;
  auto* view = static_cast<TTestTableView*>(GetGridView());
  const Integer height = GetClientBounds().Height();
  const Integer count = view->GetViewData()->GetRecordCount();
  const Integer step = GetCalculateDownward() ? 1 : -1;
  Integer used = 0, shown = 0;
  for (Integer row = GetFirstRecordIndex(); row >= 0 && row < count && used < height; row += step) {
    const Integer rowHeight = view->GetRowHeight(row);
    if (used + rowHeight > height && shown > 0) break;
    used += rowHeight;
    ++shown;
  }
  FVisibleCount = shown;
}

inline Integer TTestTableViewInfo::CalculateVisibleEqualHeightRecordCount() {
  if (!static_cast<TTestTableView*>(GetGridView())->IsEqualHeightRecords()) return -1;
  return GetClientBounds().Height() / RowHeight;
}

// A record layout of its row's height across the client area, without borders.
class TTestRecordViewInfo : public TqvCustomGridRecordViewInfo {
  QJ_INLINE_CLASS(TTestRecordViewInfo, TqvCustomGridRecordViewInfo)
 public:
  using TqvCustomGridRecordViewInfo::TqvCustomGridRecordViewInfo;
  Integer CalculateHeight() override { return TTestTableViewInfo::RowHeight; }
  Integer CalculateWidth() override { return GetGridViewInfo()->GetClientWidth(); }
  TColor GetBorderColor(TqvBorder) override { return clBlack; }
  Integer GetBorderWidth(TqvBorder) override { return 0; }
};
