// A table-like view built on the custom table bases, for tests and benchmarks: items of a plain
// item class, records with cells, and a layout object that stacks the records from the first
// one with their heights (RowHeight each, or the height given for a row) without making any
// layout cells.
#pragma once

#include <functional>
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

// Records stacked from the first one, each as high as the view says for its row; a record counts
// as shown when it starts inside the area and either fits or is the first.
class TTestRecordsViewInfo : public TqvCustomGridRecordsViewInfo {
  QJ_INLINE_CLASS(TTestRecordsViewInfo, TqvCustomGridRecordsViewInfo)
 public:
  using TqvCustomGridRecordsViewInfo::TqvCustomGridRecordsViewInfo;
  void Calculate() override;
  Integer CalculateVisibleCount() override;
  Integer GetRecordLeft(Integer) override { return GetAreaBounds().Left; }
  Integer GetRecordTop(Integer AIndex) override {
    TqvCustomGridRecordViewInfo* previous = AIndex > 0 ? GetMadeItem(AIndex - 1) : nullptr;
    return previous ? previous->GetBounds().Bottom : GetAreaBounds().Top;
  }
  // Forward the kept records move up by the leaving ones' heights, backward down by the new ones'.
  Integer GetPixelScrollSize(Integer ADelta) override;
  void OffsetRecord(Integer AIndex, Integer ADistance) override {
    if (TqvCustomGridRecordViewInfo* item = GetMadeItem(AIndex)) item->Offset(0, ADistance);
  }
  TqvCustomGridRecordViewInfoClass GetRecordViewInfoClass(TqvCustomGridRecord*) override;
  Integer RowHeight(Integer AIndex) const;
};

class TTestTableViewInfo : public TqvCustomGridTableViewInfo {
  QJ_INLINE_CLASS(TTestTableViewInfo, TqvCustomGridTableViewInfo)
 public:
  using TqvCustomGridTableViewInfo::TqvCustomGridTableViewInfo;
  static constexpr Integer RowHeight = 20;

  void Calculate() override {
    ++CalculationCount;
    TqvCustomGridTableViewInfo::Calculate();
  }
  Integer CalculateVisibleEqualHeightRecordCount() override;
  TqvCustomGridRecordsViewInfoClass GetRecordsViewInfoClass() const override {
    return &TTestRecordsViewInfo::StaticClass();
  }
  Integer CalculationCount = 0;
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
  TqvGridViewHandlerClass GetPainterClass() const override { return &TqvCustomGridTablePainter::StaticClass(); }
  TqvGridViewHandlerClass GetViewDataClass() const override { return &TTestTableViewData::StaticClass(); }
  TqvGridViewHandlerClass GetViewInfoClass() const override { return &TTestTableViewInfo::StaticClass(); }
};

inline Integer TTestTableViewInfo::CalculateVisibleEqualHeightRecordCount() {
  if (!static_cast<TTestTableView*>(GetGridView())->IsEqualHeightRecords()) return -1;
  return GetClientBounds().Height() / RowHeight;
}

// A record layout of its row's height across the client area, without borders.
class TTestRecordViewInfo : public TqvCustomGridRecordViewInfo {
  QJ_INLINE_CLASS(TTestRecordViewInfo, TqvCustomGridRecordViewInfo)
 public:
  using TqvCustomGridRecordViewInfo::TqvCustomGridRecordViewInfo;
  Integer CalculateHeight() override;
  Integer CalculateWidth() override { return GetGridViewInfo()->GetClientWidth(); }
  // A paint hook for tests that change the data while a record paints.
  bool HasCustomDraw() override { return static_cast<bool>(OnPaint); }
  bool CustomDraw(TqvCanvas*) override {
    OnPaint(this);
    return true;
  }
  static inline std::function<void(TTestRecordViewInfo*)> OnPaint;
  TColor GetBorderColor(TqvBorder) override { return clBlack; }
  Integer GetBorderWidth(TqvBorder) override { return 0; }
};

inline Integer TTestRecordsViewInfo::RowHeight(Integer AIndex) const {
  return static_cast<TTestTableView*>(GetViewInfo()->GetGridView())->GetRowHeight(GetRowIndex(AIndex));
}

inline void TTestRecordsViewInfo::Calculate() {
  TqvCustomGridRecordsViewInfo::Calculate();
  const TRect area = GetAreaBounds();
  Integer used = 0;
  for (Integer i = 0; i < GetMaxCount() && used < area.Height(); ++i) {
    TqvCustomGridRecordViewInfo* item = GetItem(i);
    if (!item) break;
    item->CalculateAt(area.Left, area.Top + used);
    used += item->GetHeight();
  }
  SetVisibleCount(CalculateVisibleCount());
}

inline Integer TTestRecordsViewInfo::CalculateVisibleCount() {
  const Integer height = GetAreaBounds().Height();
  Integer used = 0, shown = 0;
  for (Integer i = 0; i < GetCount() && used < height; ++i) {
    const Integer rowHeight = RowHeight(i);
    if (used + rowHeight > height && shown > 0) break;
    used += rowHeight;
    ++shown;
  }
  return shown;
}

inline Integer TTestRecordsViewInfo::GetPixelScrollSize(Integer ADelta) {
  Integer distance = 0;
  for (Integer i = 0; i < std::abs(ADelta); ++i)
    if (TqvCustomGridRecordViewInfo* item = GetMadeItem(i)) distance += item->GetHeight();
  return ADelta > 0 ? -distance : distance;
}

inline TqvCustomGridRecordViewInfoClass TTestRecordsViewInfo::GetRecordViewInfoClass(TqvCustomGridRecord*) {
  return &TTestRecordViewInfo::StaticClass();
}

inline Integer TTestRecordViewInfo::CalculateHeight() {
  TqvCustomGridRecord* record = GetGridRecord();
  return record ? static_cast<TTestTableView*>(GetGridView())->GetRowHeight(record->GetIndex())
                : TTestTableViewInfo::RowHeight;
}
