// The tree list with columns and bands: the column list, header rows, band caches, text-node
// data, the sorted-column list and the editor pool.
#include "treelist/zmTLControl.h"

#include <algorithm>
#include <set>

#include "platform/forms/Forms.h"
#include "platform/rtl/Scopes.h"
#include "treelist/zmTextEdit.h"
#include "treelist/zmUtils.h"

QJ_IMPLEMENT_CLASS(TCustomzmTreeListControl)

namespace {

// A metaclass test rather than a dynamic cast: this runs for every text read and written.
TzmTreeListNodeStrings* StringsOf(TzmTreeListNode* Node) {
  return Node && Node->InheritsFrom<TzmTreeListTextNode>() ? static_cast<TzmTreeListTextNode*>(Node)->GetStringList()
                                                           : nullptr;
}

// Calls Visit for the node and all its descendants (without recursion).
template <class F>
void ForSubtree(TzmTreeListNode* Node, F&& Visit) {
  std::vector<TzmTreeListNode*> pending{Node};
  while (!pending.empty()) {
    TzmTreeListNode* node = pending.back();
    pending.pop_back();
    Visit(node);
    for (Integer i = 0; i < node->GetCount(); ++i) pending.push_back(node->GetItem(i));
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction and destruction

TCustomzmTreeListControl::TCustomzmTreeListControl(TComponent* AOwner)
    : TCustomzmTreeList(AOwner), FBands(MakeOwned<TzmTreeListBands>(this)) {
  FBands->Add();
  FBands->SetTreeList(this);
}

TCustomzmTreeListControl::~TCustomzmTreeListControl() { FBands.reset(); }

void TCustomzmTreeListControl::BeforeDestruction() {
  // The layout is stored while the control is whole; a store that fails never stops destruction.
  try {
    SaveLayout();
  } catch (...) {
    Application->HandleException(this);
  }
  inherited::BeforeDestruction();
  ClearBandCaches();
  DestroyColumns();
}

void TCustomzmTreeListControl::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove)
    FEditorPool.erase(std::remove(FEditorPool.begin(), FEditorPool.end(), AComponent), FEditorPool.end());
}

// ---------------------------------------------------------------------------------------------
// Columns

TzmTreeListColumn* TCustomzmTreeListControl::ColumnAt(Integer Index) const {
  return Index >= 0 && Index < ColumnCount() ? FColumnList[static_cast<size_t>(Index)] : nullptr;
}

Integer TCustomzmTreeListControl::IndexOfColumn(const TzmTreeListColumn* Column) const {
  auto it = std::find(FColumnList.begin(), FColumnList.end(), Column);
  return it == FColumnList.end() ? -1 : static_cast<Integer>(it - FColumnList.begin());
}

void TCustomzmTreeListControl::AddColumn(TzmTreeListColumn* Column) {
  FColumnList.push_back(Column);
  Column->FTreeList = this;
  ColumnsChanged(nullptr);
}

void TCustomzmTreeListControl::RemoveColumn(TzmTreeListColumn* Column) {
  if (Column->FTreeList != this) return;
  if (!IsDestroying()) ResetEditedCell();
  Column->FTreeList = nullptr;
  FColumnList.erase(std::remove(FColumnList.begin(), FColumnList.end(), Column), FColumnList.end());
  FSortedColumns.erase(std::remove(FSortedColumns.begin(), FSortedColumns.end(), Column), FSortedColumns.end());
  if (!IsDestroying()) ColumnsChanged(nullptr);
}

void TCustomzmTreeListControl::DestroyColumns() {
  while (!FColumnList.empty()) {
    TzmTreeListColumn* column = FColumnList.back();
    RemoveColumn(column);
    Free(column);
  }
}

void TCustomzmTreeListControl::MoveColumn(Integer From, Integer To) {
  TzmTreeListColumn* column = FColumnList[static_cast<size_t>(From)];
  FColumnList.erase(FColumnList.begin() + From);
  FColumnList.insert(FColumnList.begin() + To, column);
}

void TCustomzmTreeListControl::MoveColumnStrings(Integer From, Integer To) {
  auto move = [From, To](TzmTreeListNode* node) {
    if (TzmTreeListNodeStrings* strings = StringsOf(node)) strings->Move(From, To);
  };
  for (Integer i = 0; i < GetRootCount(); ++i) ForSubtree(GetRootNode(i), move);
  for (TzmTreeListNode* node : GetHiddenNodes()) ForSubtree(node, move);
}

void TCustomzmTreeListControl::ColumnsChanged(TzmTreeListColumn* Column) {
  if (HasState(csLoading)) return;
  if (Column) Column->ApplyDefaultWidth();
  if (FRowIndexRefreshLock == 0) RefreshRowIndexes();
  LayoutChanged();
}

std::vector<Integer> TCustomzmTreeListControl::ColumnsInRow(Integer Band, Integer Row) {
  std::vector<Integer> columns;
  for (size_t i = 0; i < FColumnList.size(); ++i) {
    TzmTreeListColumn* column = FColumnList[i];
    if (column->FVisible && column->FBandIndex == Band && column->GetRowIndex() == Row)
      columns.push_back(static_cast<Integer>(i));
  }
  return columns;
}

TzmTreeListColumn* TCustomzmTreeListControl::FocusedColumnObject() { return ColumnAt(GetFocusedColumn()); }

// ---------------------------------------------------------------------------------------------
// Sorted columns

TzmTreeListColumn* TCustomzmTreeListControl::SortedColumnAt(Integer Index) const {
  return Index >= 0 && Index < SortedColumnCount() ? FSortedColumns[static_cast<size_t>(Index)] : nullptr;
}

Integer TCustomzmTreeListControl::IndexOfSortedColumn(const TzmTreeListColumn* Column) const {
  auto it = std::find(FSortedColumns.begin(), FSortedColumns.end(), Column);
  return it == FSortedColumns.end() ? -1 : static_cast<Integer>(it - FSortedColumns.begin());
}

void TCustomzmTreeListControl::AddSortedColumn(TzmTreeListColumn* Column) {
  if (Column->GetSorted() != TzmTreeListColumnSort::csNone && IndexOfSortedColumn(Column) < 0)
    FSortedColumns.push_back(Column);
}

void TCustomzmTreeListControl::RemoveSortedColumn(TzmTreeListColumn* Column) {
  FSortedColumns.erase(std::remove(FSortedColumns.begin(), FSortedColumns.end(), Column), FSortedColumns.end());
}

void TCustomzmTreeListControl::ColumnSortedChanged(TzmTreeListColumn* Column) { AddSortedColumn(Column); }

void TCustomzmTreeListControl::RebuildSortedColumns() {
  FSortedColumns.clear();
  for (TzmTreeListColumn* column : FColumnList) AddSortedColumn(column);
  std::stable_sort(FSortedColumns.begin(), FSortedColumns.end(), [](TzmTreeListColumn* a, TzmTreeListColumn* b) {
    return a->GetSortedOrder() < b->GetSortedOrder();
  });
}

void TCustomzmTreeListControl::EndSorting() {
  if (FSortingLockCount > 0 && --FSortingLockCount == 0) RefreshSorting();
}

// ---------------------------------------------------------------------------------------------
// Bands and header rows

void TCustomzmTreeListControl::SetBandMaxRowCount(Integer Value) {
  FBandMaxRowCount = Value > 0 ? Value : 1;
  SetBandRowCount(FBandRowCount);
}

void TCustomzmTreeListControl::SetBandRowCount(Integer Value) {
  Value = std::clamp(Value, 1, FBandMaxRowCount);
  if (Value == FBandRowCount) return;
  FBandRowCount = Value;
  BandRowCountChanged();
}

void TCustomzmTreeListControl::BandRowCountChanged() {
  if (!IsAutoHeaderPanelRowCount()) {
    LayoutChanged();
    return;
  }
  TUpdateScope update(this);
  UpdateHeaderPanelRowCount();
}

void TCustomzmTreeListControl::SetHeaderPanelMaxRowCount(Integer Value) {
  FHeaderPanelMaxRowCount = Value > 0 ? Value : 1;
  SetHeaderPanelRowCount(FHeaderPanelRowCount);
}

void TCustomzmTreeListControl::SetHeaderPanelRowCount(Integer Value) {
  Value = std::clamp(Value, 1, FHeaderPanelMaxRowCount);
  if (Value == FHeaderPanelRowCount) return;
  if (!FAutoRowCountChanging) ClearAutoHeaderPanelRowCount();
  FHeaderPanelRowCount = Value;
  if (Value > 1) FDefaultLayout = false;
  RefreshRowIndexes();
  HeaderRowCountChanged();
}

void TCustomzmTreeListControl::SetHeaderMinRowCount(Integer Value) {
  Value = std::max(Value, 1);
  if (Value == FHeaderMinRowCount) return;
  FHeaderMinRowCount = Value;
  HeaderRowCountChanged();
}

void TCustomzmTreeListControl::ClearAutoHeaderPanelRowCount() {
  SetExtraOptions(GetExtraOptions() & ~static_cast<TzmTreeListOptions>(zmxAutoHeaderPanelRowCount));
}

void TCustomzmTreeListControl::SetDefaultLayout(bool Value) {
  if (Value == FDefaultLayout) return;
  FDefaultLayout = Value;
  if (Value) RestoreDefaultLayout();
}

void TCustomzmTreeListControl::RestoreDefaultLayout() {
  TUpdateScope update(this);
  SetBandsVisible(false);
  SetHeaderPanelRowCount(1);
  {
    TUpdateScope<TCollection> bands(*FBands);
    while (FBands->GetCount() > 1) FBands->Delete(FBands->GetCount() - 1);
    if (FBands->GetCount() == 0) FBands->Add();
    FBands->GetItem(0)->SetVisible(true);
  }
  for (TzmTreeListColumn* column : FColumnList) column->SetBandIndex(0);
}

void TCustomzmTreeListControl::UpdateHeaderPanelRowCount() {
  Integer highest = -1;
  for (Integer i = 0; i < ColumnCount(); ++i)
    if (IsColumnShown(i)) highest = std::max(highest, FColumnList[static_cast<size_t>(i)]->FStoredRowIndex);
  if (highest == -1) return;
  TValueScope automatic(FAutoRowCountChanging, true);
  SetHeaderPanelRowCount(highest + 1);
}

void TCustomzmTreeListControl::RefreshRowIndexes() {
  ClearBandCaches();
  Integer rows = FHeaderPanelRowCount;
  for (TzmTreeListColumn* column : FColumnList) column->FRowIndex = std::clamp(column->FRowIndex, 0, rows - 1);
  for (Integer visible = 0; visible < FBands->VisibleCount(); ++visible) {
    Integer band = FBands->GetAbsoluteIndex(visible);
    for (Integer row = GetHeaderRowCount(visible) - 1; row >= 0; --row) {
      if (!ColumnsInRow(band, row).empty()) continue;
      for (TzmTreeListColumn* column : FColumnList)
        if (column->FVisible && column->FBandIndex == band && column->GetRowIndex() > row) {
          --column->FRowIndex;
          --column->FStoredRowIndex;
        }
    }
  }
  for (Integer band = 0; band < FBands->GetCount(); ++band) {
    std::set<Integer> used;
    for (TzmTreeListColumn* column : FColumnList)
      if (column->FVisible && column->FBandIndex == band) used.insert(column->GetRowIndex());
    Integer count = static_cast<Integer>(used.size());
    for (TzmTreeListColumn* column : FColumnList)
      if (column->FBandIndex == band && column->GetRowIndex() >= count) {
        column->FRowIndex = std::max(count - 1, 0);
        column->FStoredRowIndex = column->FRowIndex;
      }
  }
  if (IsAutoHeaderPanelRowCount() && !FAutoRowCountChanging) UpdateHeaderPanelRowCount();
  if (!IsUpdateLocked()) RebuildBandLists();
}

void TCustomzmTreeListControl::BandDeleted(Integer Index) {
  for (TzmTreeListColumn* column : FColumnList) {
    if (column->FBandIndex == Index) column->FBandIndex = -1;
    else if (column->FBandIndex > Index) --column->FBandIndex;
  }
}

void TCustomzmTreeListControl::BandMoved(Integer From, Integer To) {
  constexpr Integer kMoving = -2;
  for (TzmTreeListColumn* column : FColumnList) {
    Integer& band = column->FBandIndex;
    if (band == From) band = kMoving;
    else if (From < To && band > From && band <= To) --band;
    else if (From > To && band >= To && band < From) ++band;
  }
  for (TzmTreeListColumn* column : FColumnList)
    if (column->FBandIndex == kMoving) column->FBandIndex = To;
}

// ---------------------------------------------------------------------------------------------
// Caches

void TCustomzmTreeListControl::ClearBandCaches() {
  FBandListCache.clear();
  FVisibleBandListCache.clear();
  FHeaderLayoutCache.clear();
}

void TCustomzmTreeListControl::BandsChanged() {
  inherited::BandsChanged();
  RebuildBandLists();
}

void TCustomzmTreeListControl::RebuildVisibleNodes() {
  inherited::RebuildVisibleNodes();
  RebuildBandLists();
}

void TCustomzmTreeListControl::RebuildBandLists() {
  FHeaderBoundsCache.clear();
  {
    TValueScope rebuilding(FBandListRebuilding, true);
    FBandListCache.clear();
    FVisibleBandListCache.assign(static_cast<size_t>(FBands->GetCount()), -1);
    for (Integer i = 0; i < FBands->GetCount(); ++i)
      if (FBands->GetItem(i)->GetVisible()) {
        FVisibleBandListCache[static_cast<size_t>(i)] = static_cast<Integer>(FBandListCache.size());
        FBandListCache.push_back(i);
      }
  }
  TValueScope rebuilding(FHeaderLayoutRebuilding, true);
  struct TEntry {
    Integer Band, Row, Position;
  };
  std::vector<TEntry> entries;
  for (Integer i = 0; i < ColumnCount(); ++i) {
    TzmTreeListColumn* column = FColumnList[static_cast<size_t>(i)];
    Integer band = column->FBandIndex;
    if (column->FVisible && band >= 0 && band < FBands->GetCount() && FBands->GetItem(band)->GetVisible())
      entries.push_back({band, column->GetRowIndex(), i});
  }
  std::sort(entries.begin(), entries.end(), [](const TEntry& a, const TEntry& b) {
    if (a.Band != b.Band) return a.Band < b.Band;
    if (a.Row != b.Row) return a.Row < b.Row;
    return a.Position < b.Position;
  });
  FHeaderLayoutCache.clear();
  for (size_t i = 0; i < entries.size(); ++i) {
    bool newBand = i == 0 || entries[i].Band != entries[i - 1].Band;
    if (newBand) {
      FHeaderLayoutCache.resize(static_cast<size_t>(FBands->GetVisibleIndexOf(entries[i].Band)));
      FHeaderLayoutCache.emplace_back();
    }
    if (newBand || entries[i].Row != entries[i - 1].Row) FHeaderLayoutCache.back().emplace_back();
    FHeaderLayoutCache.back().back().push_back(entries[i].Position);
  }
}

void TCustomzmTreeListControl::ClearVisibleNodes() {
  inherited::ClearVisibleNodes();
  ClearHeaderBoundsCache();
}

void TCustomzmTreeListControl::ClearRowHeightCache() {
  inherited::ClearRowHeightCache();
  ClearHeaderBoundsCache();
}

void TCustomzmTreeListControl::RebuildHeaderBounds() {
  TValueScope rebuilding(FHeaderBoundsRebuilding, true);
  std::vector<Integer> widths(FColumnList.size(), 0);
  for (Integer i = 0; i < ColumnCount(); ++i)
    if (IsColumnShown(i)) widths[static_cast<size_t>(i)] = inherited::GetColumnDisplayWidth(i);
  FHeaderBoundsCache.swap(widths);
}

Integer TCustomzmTreeListControl::GetColumnDisplayWidth(Integer Column) {
  if (FHeaderBoundsCache.empty() && !FHeaderBoundsRebuilding && !IsUpdateLocked() && !FColumnList.empty())
    RebuildHeaderBounds();
  if (FHeaderBoundsRebuilding || FHeaderBoundsCache.size() != FColumnList.size())
    return inherited::GetColumnDisplayWidth(Column);
  return Column >= 0 && Column < ColumnCount() ? FHeaderBoundsCache[static_cast<size_t>(Column)] : 0;
}

// ---------------------------------------------------------------------------------------------
// Data of text nodes

TzmTreeListNode* TCustomzmTreeListControl::CreateNode() { return New<TzmTreeListTextNode>(this); }

namespace {

Integer AskedIndex(TObject* Sender, const TzmTLNodeIndexEvent& Event, TzmTreeListNode* Node, Integer Stored) {
  if (Event) Event(Sender, Node, Stored);
  return Stored;
}

}  // namespace

Integer TCustomzmTreeListControl::GetNodeImageIndex(TzmTreeListNode* Node) {
  auto* text = As<TzmTreeListTextNode>(Node);
  return AskedIndex(this, OnNodeImageIndex, Node, text ? text->GetStoredImageIndex() : -1);
}

Integer TCustomzmTreeListControl::GetNodeSelectedIndex(TzmTreeListNode* Node) {
  auto* text = As<TzmTreeListTextNode>(Node);
  return AskedIndex(this, OnNodeSelectedImageIndex, Node, text ? text->GetStoredSelectedIndex() : -1);
}

Integer TCustomzmTreeListControl::GetNodeStateIndex(TzmTreeListNode* Node) {
  auto* text = As<TzmTreeListTextNode>(Node);
  return AskedIndex(this, OnNodeStateImageIndex, Node, text ? text->GetStoredStateIndex() : -1);
}

void TCustomzmTreeListControl::SetNodeImageIndex(TzmTreeListNode* Node, Integer Value) {
  auto* text = As<TzmTreeListTextNode>(Node);
  if (!text || Value == GetNodeImageIndex(Node)) return;
  text->SetStoredImageIndex(Value);
  InvalidateNode(Node, false);
}

void TCustomzmTreeListControl::SetNodeSelectedIndex(TzmTreeListNode* Node, Integer Value) {
  auto* text = As<TzmTreeListTextNode>(Node);
  if (!text || Value == GetNodeSelectedIndex(Node)) return;
  text->SetStoredSelectedIndex(Value);
  InvalidateNode(Node, false);
}

void TCustomzmTreeListControl::SetNodeStateIndex(TzmTreeListNode* Node, Integer Value) {
  auto* text = As<TzmTreeListTextNode>(Node);
  if (!text || Value == GetNodeStateIndex(Node)) return;
  text->SetStoredStateIndex(Value);
  InvalidateNode(Node, false);
}

void TCustomzmTreeListControl::GetNodeString(TzmTreeListNode* Node, Integer Column, String& Text) {
  TzmTreeListNodeStrings* strings = StringsOf(Node);
  if (strings) Text = strings->Get(Column);
  else Text.clear();
}

void TCustomzmTreeListControl::GetNodeVariant(TzmTreeListNode* Node, Integer Column, Variant& Value) {
  String text;
  GetNodeString(Node, Column, text);
  Value = std::move(text);
}

void TCustomzmTreeListControl::SetNodeString(TzmTreeListNode* Node, Integer Column, const String& Text) {
  if (TzmTreeListNodeStrings* strings = StringsOf(Node)) strings->Put(Column, Text);
}

void TCustomzmTreeListControl::SetNodeVariant(TzmTreeListNode* Node, Integer Column, const Variant& Value) {
  Node->SetStrings(Column, VarToStr(Value));
  if (!IsUpdateLocked()) InvalidateNode(Node, false);
}

// ---------------------------------------------------------------------------------------------
// Band hooks

TAlignment TCustomzmTreeListControl::GetBandAlignment(Integer BandIndex) {
  return BandIndex >= 0 && BandIndex < FBands->GetCount() ? FBands->GetItem(BandIndex)->GetAlignment() : taCenter;
}

void TCustomzmTreeListControl::GetBandCaption(Integer BandIndex, String& Text) {
  Text = BandIndex >= 0 && BandIndex < FBands->GetCount() ? FBands->GetItem(BandIndex)->GetCaption() : String();
}

Integer TCustomzmTreeListControl::GetBandWidth(Integer BandIndex) {
  return BandIndex >= 0 && BandIndex < FBands->GetCount() ? FBands->GetItem(BandIndex)->GetWidth() : 0;
}

TAlignment TCustomzmTreeListControl::GetVisibleBandAlignment(Integer VisibleIndex) {
  TzmTreeListBand* band = VisibleBand(VisibleIndex);
  return band ? band->GetAlignment() : taCenter;
}

void TCustomzmTreeListControl::GetVisibleBandCaption(Integer VisibleIndex, String& Text) {
  TzmTreeListBand* band = VisibleBand(VisibleIndex);
  Text = band ? band->GetCaption() : String();
}

Integer TCustomzmTreeListControl::GetVisibleBandWidth(Integer VisibleIndex) {
  TzmTreeListBand* band = VisibleBand(VisibleIndex);
  return band ? band->GetWidth() : 0;
}

Integer TCustomzmTreeListControl::GetVisibleBandMinWidth(Integer VisibleIndex) {
  TzmTreeListBand* band = VisibleBand(VisibleIndex);
  return band ? band->GetMinWidth() : 0;
}

Integer TCustomzmTreeListControl::GetLeftFixedBandIndex() {
  TzmTreeListBand* first = VisibleBand(0);
  return first && first->GetFixed() == bfLeft ? 0 : -1;
}

Integer TCustomzmTreeListControl::GetRightFixedBandIndex() {
  Integer last = FBands->VisibleCount() - 1;
  TzmTreeListBand* band = VisibleBand(last);
  return band && band->GetFixed() == bfRight ? last : -1;
}

bool TCustomzmTreeListControl::IsBandOnlyOwnColumns(Integer VisibleIndex) {
  TzmTreeListBand* band = VisibleBand(VisibleIndex);
  return band && band->GetOnlyOwnColumns();
}

bool TCustomzmTreeListControl::CanSizeBand(Integer VisibleIndex) {
  TzmTreeListBand* band = VisibleBand(VisibleIndex);
  return inherited::CanSizeBand(VisibleIndex) && band && band->GetSizing();
}

void TCustomzmTreeListControl::SetVisibleBandWidth(Integer VisibleIndex, Integer Width) {
  if (TzmTreeListBand* band = VisibleBand(VisibleIndex)) band->SetWidth(Width);
}

// ---------------------------------------------------------------------------------------------
// Column hooks

Integer TCustomzmTreeListControl::GetHeaderColumnIndex(Integer VisibleBand, Integer Row, Integer Col) {
  if (!FHeaderLayoutRebuilding && !FHeaderLayoutCache.empty()) {
    if (VisibleBand < 0 || VisibleBand >= static_cast<Integer>(FHeaderLayoutCache.size())) return -1;
    const auto& rows = FHeaderLayoutCache[static_cast<size_t>(VisibleBand)];
    if (Row < 0 || Row >= static_cast<Integer>(rows.size())) return -1;
    const auto& columns = rows[static_cast<size_t>(Row)];
    return Col >= 0 && Col < static_cast<Integer>(columns.size()) ? columns[static_cast<size_t>(Col)] : -1;
  }
  Integer band = FBands->GetAbsoluteIndex(VisibleBand);
  if (band < 0) return -1;
  std::vector<Integer> columns = ColumnsInRow(band, Row);
  return Col >= 0 && Col < static_cast<Integer>(columns.size()) ? columns[static_cast<size_t>(Col)] : -1;
}

Integer TCustomzmTreeListControl::GetHeaderColCount(Integer VisibleBand, Integer Row) {
  if (VisibleBand == -1 || Row == -1) return 0;
  if (!FHeaderLayoutRebuilding && !FHeaderLayoutCache.empty()) {
    if (VisibleBand < 0 || VisibleBand >= static_cast<Integer>(FHeaderLayoutCache.size())) return 0;
    const auto& rows = FHeaderLayoutCache[static_cast<size_t>(VisibleBand)];
    return Row >= 0 && Row < static_cast<Integer>(rows.size()) ? static_cast<Integer>(rows[static_cast<size_t>(Row)].size())
                                                               : 0;
  }
  Integer band = FBands->GetAbsoluteIndex(VisibleBand);
  return band < 0 ? 0 : static_cast<Integer>(ColumnsInRow(band, Row).size());
}

Integer TCustomzmTreeListControl::GetHeaderRowCount(Integer VisibleBand) {
  if (VisibleBand < 0) return 0;
  if (!FHeaderLayoutRebuilding && !FHeaderLayoutCache.empty())
    return VisibleBand < static_cast<Integer>(FHeaderLayoutCache.size())
               ? static_cast<Integer>(FHeaderLayoutCache[static_cast<size_t>(VisibleBand)].size())
               : 0;
  Integer band = FBands->GetAbsoluteIndex(VisibleBand);
  if (band < 0) return 0;
  std::set<Integer> used;
  for (TzmTreeListColumn* column : FColumnList)
    if (column->FVisible && column->FBandIndex == band) used.insert(column->GetRowIndex());
  return static_cast<Integer>(used.size());
}

TAlignment TCustomzmTreeListControl::GetColumnHeaderAlignment(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  return column ? column->GetHeaderAlignment() : taLeftJustify;
}

Integer TCustomzmTreeListControl::GetColumnBandIndex(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  return column ? column->GetBandIndex() : -1;
}

Integer TCustomzmTreeListControl::GetColumnColIndex(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  return column ? column->GetColIndex() : -1;
}

Integer TCustomzmTreeListControl::GetColumnRowIndex(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  return column ? column->GetRowIndex() : 0;
}

TBitmap* TCustomzmTreeListControl::GetColumnHeaderGlyph(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  return column ? column->GetHeaderGlyph() : nullptr;
}

Integer TCustomzmTreeListControl::GetColumnHeaderMaxLineCount(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  return column ? column->GetHeaderMaxLineCount() : 1;
}

bool TCustomzmTreeListControl::GetColumnTabStop(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  return column && column->GetTabStop();
}

void TCustomzmTreeListControl::GetColumnCaption(Integer Column, String& Text) {
  TzmTreeListColumn* column = ColumnAt(Column);
  Text = column ? column->GetCaption() : String();
}

void TCustomzmTreeListControl::GetColumnHeaderCaption(Integer Column, String& Text) {
  TzmTreeListColumn* column = ColumnAt(Column);
  Text = column && !column->GetDisableCaption() ? column->GetCaption() : String();
}

Integer TCustomzmTreeListControl::GetColumnWidth(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  return column ? column->GetWidth() : 0;
}

TColor TCustomzmTreeListControl::GetColumnColor(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  return column ? column->GetColor() : GetColor();
}

TFont* TCustomzmTreeListControl::GetColumnFont(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  return column ? column->GetFont() : GetFont();
}

TAlignment TCustomzmTreeListControl::GetCellAlignment(TzmTreeListNode*, Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  return column ? column->GetAlignment() : taLeftJustify;
}

Byte TCustomzmTreeListControl::GetHeaderButtonState(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  return column && column->GetDisableHeaderButton() ? 0 : inherited::GetHeaderButtonState(Column);
}

Integer TCustomzmTreeListControl::GetColumnMinWidth(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  if (!column) return 0;
  return column->GetSizing() ? column->GetMinWidth() : column->GetWidth();
}

TzmTreeListColumnSort TCustomzmTreeListControl::GetColumnSorted(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  TzmTreeListColumnSort sorted = column ? column->GetSorted() : TzmTreeListColumnSort::csNone;
  if (column && OnColumnSortState) OnColumnSortState(this, column, sorted);
  return sorted;
}

bool TCustomzmTreeListControl::IsColumnFontAssigned(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  return column && column->IsAssigned(zmcvFont);
}

bool TCustomzmTreeListControl::HasColumnHeaderGlyph(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  return column && column->HasHeaderGlyph();
}

Integer TCustomzmTreeListControl::GetColumnExtraHeight(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  return column ? column->GetExtraHeight() : 0;
}

Integer TCustomzmTreeListControl::GetColumnLineHeight(TCanvas* Canvas, Integer Column) {
  Integer height = inherited::GetColumnLineHeight(Canvas, Column);
  TzmTreeListColumn* column = ColumnAt(Column);
  return column ? std::max(height, column->GetLineHeight(Canvas)) : height;
}

bool TCustomzmTreeListControl::CanSizeColumn(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  return inherited::CanSizeColumn(Column) && column && column->GetSizing();
}

void TCustomzmTreeListControl::SetColumnWidth(Integer Column, Integer Width) {
  TzmTreeListColumn* column = ColumnAt(Column);
  if (!column || !column->GetSizing()) return;
  column->FWidth = std::max(Width, column->GetMinWidth());
  column->FAssignedValues |= zmcvWidth;
}

bool TCustomzmTreeListControl::IsColumnShown(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  if (!column || !column->GetVisible()) return false;
  Integer band = column->GetBandIndex();
  return band >= 0 && band < FBands->GetCount() && FBands->GetItem(band)->GetVisible();
}

// ---------------------------------------------------------------------------------------------
// Editing

TzmInplaceEdit* TCustomzmTreeListControl::CreateEditor() {
  TzmTreeListColumn* column = FocusedColumnObject();
  TzmInplaceEditClass editorClass = column ? column->GetEditorClass() : &TzmInplaceTreeListTextEdit::StaticClass();
  TzmInplaceEdit* editor = editorClass->CreateEdit(this);
  FEditorPool.push_back(editor);
  return editor;
}

TzmInplaceEdit* TCustomzmTreeListControl::GetEditor() {
  TzmTreeListColumn* column = FocusedColumnObject();
  TClass editorClass = column ? column->GetEditorClass() : &TzmInplaceTreeListTextEdit::StaticClass();
  for (TzmInplaceEdit* editor : FEditorPool)
    if (editor->ClassType() == editorClass) return editor;
  return nullptr;
}

void TCustomzmTreeListControl::InitEditor(TzmInplaceEdit* Editor) {
  inherited::InitEditor(Editor);
  if (TzmTreeListColumn* column = ColumnAt(GetEditorColumn())) column->InitEditor(Editor);
}

void TCustomzmTreeListControl::GetEditorValue(TzmTreeListNode* Node, TzmInplaceEdit* Editor, Variant& Value) {
  if (TzmTreeListColumn* column = ColumnAt(GetEditorColumn())) column->InitEditValue(Node, Editor, Value);
  else inherited::GetEditorValue(Node, Editor, Value);
}

void TCustomzmTreeListControl::GetEditorDefaultValue(TzmTreeListNode* Node, Integer Column, TzmInplaceEdit* Editor,
                                                     Variant& Value) {
  if (TzmTreeListColumn* column = ColumnAt(Column)) column->StoreEditValue(Node, Editor, Value);
  else inherited::GetEditorDefaultValue(Node, Column, Editor, Value);
}

void TCustomzmTreeListControl::DoCanEditNode(TzmTreeListNode* Node, bool& Allow) {
  inherited::DoCanEditNode(Node, Allow);
  if (!Allow) return;
  if (TzmTreeListColumn* column = FocusedColumnObject()) Allow = column->CanEditCell();
}

// ---------------------------------------------------------------------------------------------
// Sorted columns

Integer TCustomzmTreeListControl::GetSortedColumn(Integer Index) {
  TzmTreeListColumn* column = SortedColumnAt(Index);
  return column ? IndexOfColumn(column) : -1;
}

bool TCustomzmTreeListControl::IsSortedColumnDescending(Integer Index) {
  TzmTreeListColumn* column = SortedColumnAt(Index);
  return column && column->GetSorted() == TzmTreeListColumnSort::csDown;
}

// ---------------------------------------------------------------------------------------------
// Bands and headers moved, hidden and shown by dragging

bool TCustomzmTreeListControl::CanDragBand(Integer VisibleIndex) {
  TzmTreeListBand* band = VisibleBand(VisibleIndex);
  bool allow = inherited::CanDragBand(VisibleIndex) && band && band->GetFixed() == TzmGridBandFixed::bfNone &&
               !band->GetDisableDragging();
  if (band && OnBandDragAllowed) OnBandDragAllowed(this, band, allow);
  return allow;
}

bool TCustomzmTreeListControl::CanDragColumn(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  bool allow = inherited::CanDragColumn(Column) && column && !column->GetDisableDragging();
  if (column && OnHeaderDragAllowed) OnHeaderDragAllowed(this, column, allow);
  return allow;
}

void TCustomzmTreeListControl::MoveBand(Integer From, Integer To) {
  TzmTreeListBand* from = VisibleBand(From);
  TzmTreeListBand* to = VisibleBand(To);
  if (from && to && from != to) from->SetIndex(to->GetIndex());
}

void TCustomzmTreeListControl::HideBand(Integer VisibleIndex) {
  TzmTreeListBand* band = VisibleBand(VisibleIndex);
  if (!band) return;
  band->SetVisible(false);
  if (OnBandHidden) OnBandHidden(this, band);
}

void TCustomzmTreeListControl::ShowBand(Integer At, Integer Band) {
  TzmTreeListBand* band = Band >= 0 && Band < FBands->GetCount() ? FBands->GetItem(Band) : nullptr;
  if (!band) return;
  {
    TUpdateScope update(this);
    band->SetVisible(true);
    if (FBands->VisibleCount() > 1) {
      TzmTreeListBand* target = VisibleBand(std::max(At, 0));
      band->SetIndex(target ? target->GetIndex() : FBands->GetCount() - 1);
    }
  }
  if (OnBandShown) OnBandShown(this, band, At);
}

void TCustomzmTreeListControl::MoveHeader(Integer Column, Integer VisibleBand, Integer Row, Integer Col) {
  TzmTreeListColumn* column = ColumnAt(Column);
  if (!column) return;
  {
    TUpdateScope update(this);
    column->SetBandIndex(GetBandAbsoluteIndex(VisibleBand));
    column->SetRowIndex(Row);
    column->SetColIndex(Col);
  }
  if (OnHeaderPlaced) OnHeaderPlaced(this, column);
}

void TCustomzmTreeListControl::HideHeader(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  if (!column) return;
  column->SetVisible(false);
  if (OnHeaderHidden) OnHeaderHidden(this, column);
}

void TCustomzmTreeListControl::ShowHeader(Integer VisibleBand, Integer Row, Integer Col, Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  if (!column) return;
  {
    TUpdateScope update(this);
    column->SetBandIndex(GetBandAbsoluteIndex(VisibleBand));
    column->SetVisible(true);
    column->SetRowIndex(Row);
    column->SetColIndex(Col);
  }
  if (OnHeaderShown) OnHeaderShown(this, column, VisibleBand, Row, Col);
}

bool TCustomzmTreeListControl::IsBandCustomizingDisabled(Integer VisibleIndex) {
  TzmTreeListBand* band = VisibleBand(VisibleIndex);
  return band && band->GetDisableCustomizing();
}

bool TCustomzmTreeListControl::IsColumnCustomizingDisabled(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  return column && column->GetDisableCustomizing();
}
