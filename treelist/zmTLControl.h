// The tree list with columns and bands: it owns the band collection, lists its column
// components, keeps one string per column in each text node, and answers the data hooks of the
// control core from them. Caches map visible bands to bands and lay out the columns of each band
// in header rows; they are dropped on every change and rebuilt on demand.
#pragma once

#include <algorithm>
#include <vector>

#include "treelist/zmTLBands.h"
#include "treelist/zmTLColumn.h"

using TzmTLNodeIndexEvent = std::function<void(TObject* Sender, TzmTreeListNode* Node, Integer& Index)>;

class TCustomzmTreeListControl : public TCustomzmTreeList {
  QJ_CLASS(TCustomzmTreeListControl, TCustomzmTreeList)
  friend class TzmTreeListColumn;
  friend class TzmTreeListBand;
  friend class TzmTreeListBands;

 public:
  explicit TCustomzmTreeListControl(TComponent* AOwner);
  ~TCustomzmTreeListControl() override;
  // The nodes go first, then the columns.
  void BeforeDestruction() override;

  // Columns
  // A new column of ColumnClass owned by AOwner, named after the control ("<Name>Column<n>",
  // the first free n from the column count + 1) and added.
  TzmTreeListColumn* CreateColumn(TzmTreeListColumnClass ColumnClass, TComponent* AOwner);
  Integer ColumnCount() const { return static_cast<Integer>(FColumnList.size()); }
  // nullptr out of range.
  TzmTreeListColumn* ColumnAt(Integer Index) const;
  Integer IndexOfColumn(const TzmTreeListColumn* Column) const;
  // Frees every column, the last first.
  void DestroyColumns();
  virtual void ColumnsChanged(TzmTreeListColumn* Column);
  virtual void RemoveColumn(TzmTreeListColumn* Column);
  // Moves every node's string at From to To (padding short string lists first), in the tree and
  // in the hidden nodes.
  virtual void MoveColumnStrings(Integer From, Integer To);

  // Sorted columns
  Integer SortedColumnCount() const { return static_cast<Integer>(FSortedColumns.size()); }
  TzmTreeListColumn* SortedColumnAt(Integer Index) const;
  Integer IndexOfSortedColumn(const TzmTreeListColumn* Column) const;
  virtual void AddSortedColumn(TzmTreeListColumn* Column);
  virtual void RemoveSortedColumn(TzmTreeListColumn* Column);
  virtual void ColumnSortedChanged(TzmTreeListColumn* Column);
  // Every sorted column in column order, then ordered by their SortedOrder.
  void RebuildSortedColumns();
  void BeginSorting() { ++FSortingLockCount; }
  void EndSorting();

  // Bands and header rows
  TzmTreeListBands* GetBands() const { return FBands.get(); }
  void SetBands(TzmTreeListBands* Value) { FBands->Assign(Value); }
  Integer GetBandMaxRowCount() override { return FBandMaxRowCount; }
  void SetBandMaxRowCount(Integer Value);
  Integer GetBandRowCount() override { return FBandRowCount; }
  void SetBandRowCount(Integer Value) override;
  Integer GetHeaderPanelMaxRowCount() override { return FHeaderPanelMaxRowCount; }
  void SetHeaderPanelMaxRowCount(Integer Value);
  Integer GetHeaderPanelRowCount() override { return FHeaderPanelRowCount; }
  void SetHeaderPanelRowCount(Integer Value) override;
  Integer GetHeaderMinRowCount() override { return std::max(FHeaderMinRowCount, inherited::GetHeaderMinRowCount()); }
  void SetHeaderMinRowCount(Integer Value);
  bool GetDefaultLayout() const { return FDefaultLayout; }
  // True puts one visible band with every column in it and one header row back.
  void SetDefaultLayout(bool Value);
  virtual void RestoreDefaultLayout();
  // Closes gaps between used header rows and keeps every column's row inside its band's rows.
  virtual void RefreshRowIndexes();
  virtual void ClearAutoHeaderPanelRowCount();

  TzmTLNodeIndexEvent OnNodeImageIndex;
  TzmTLNodeIndexEvent OnNodeSelectedImageIndex;
  TzmTLNodeIndexEvent OnNodeStateImageIndex;

 protected:
  // Data of text nodes
  TzmTreeListNode* CreateNode() override;
  Integer GetNodeImageIndex(TzmTreeListNode* Node) override;
  Integer GetNodeSelectedIndex(TzmTreeListNode* Node) override;
  Integer GetNodeStateIndex(TzmTreeListNode* Node) override;
  void SetNodeImageIndex(TzmTreeListNode* Node, Integer Value) override;
  void SetNodeSelectedIndex(TzmTreeListNode* Node, Integer Value) override;
  void SetNodeStateIndex(TzmTreeListNode* Node, Integer Value) override;
  void GetNodeString(TzmTreeListNode* Node, Integer Column, String& Text) override;
  void GetNodeVariant(TzmTreeListNode* Node, Integer Column, Variant& Value) override;
  void SetNodeString(TzmTreeListNode* Node, Integer Column, const String& Text) override;
  void SetNodeVariant(TzmTreeListNode* Node, Integer Column, const Variant& Value) override;

  // Bands
  TAlignment GetBandAlignment(Integer BandIndex) override;
  Integer GetBandCount() override { return FBands->GetCount(); }
  Integer GetBandAbsoluteIndex(Integer VisibleIndex) override { return FBands->GetAbsoluteIndex(VisibleIndex); }
  void GetBandCaption(Integer BandIndex, String& Text) override;
  Integer GetBandWidth(Integer BandIndex) override;
  TAlignment GetVisibleBandAlignment(Integer VisibleIndex) override;
  void GetVisibleBandCaption(Integer VisibleIndex, String& Text) override;
  Integer GetVisibleBandWidth(Integer VisibleIndex) override;
  Integer GetVisibleBandMinWidth(Integer VisibleIndex) override;
  Integer GetVisibleBandCount() override { return FBands->VisibleCount(); }
  Integer GetLeftFixedBandIndex() override;
  Integer GetRightFixedBandIndex() override;
  Integer GetBandVisibleIndex(Integer BandIndex) override { return FBands->GetVisibleIndexOf(BandIndex); }
  bool IsBandOnlyOwnColumns(Integer VisibleIndex) override;
  bool CanSizeBand(Integer VisibleIndex) override;
  void SetVisibleBandWidth(Integer VisibleIndex, Integer Width) override;

  // Columns
  Integer GetColumnCount() override { return ColumnCount(); }
  Integer GetHeaderColumnIndex(Integer VisibleBand, Integer Row, Integer Col) override;
  Integer GetHeaderColCount(Integer VisibleBand, Integer Row) override;
  Integer GetHeaderRowCount(Integer VisibleBand) override;
  TAlignment GetColumnHeaderAlignment(Integer Column) override;
  Integer GetColumnBandIndex(Integer Column) override;
  Integer GetColumnColIndex(Integer Column) override;
  Integer GetColumnRowIndex(Integer Column) override;
  TBitmap* GetColumnHeaderGlyph(Integer Column) override;
  Integer GetColumnHeaderMaxLineCount(Integer Column) override;
  bool GetColumnTabStop(Integer Column) override;
  void GetColumnCaption(Integer Column, String& Text) override;
  void GetColumnHeaderCaption(Integer Column, String& Text) override;
  Integer GetColumnWidth(Integer Column) override;
  TColor GetColumnColor(Integer Column) override;
  TFont* GetColumnFont(Integer Column) override;
  TAlignment GetCellAlignment(TzmTreeListNode* Node, Integer Column) override;
  Byte GetHeaderButtonState(Integer Column) override;
  Integer GetColumnMinWidth(Integer Column) override;
  TzmTreeListColumnSort GetColumnSorted(Integer Column) override;
  bool IsColumnFontAssigned(Integer Column) override;
  bool HasColumnHeaderGlyph(Integer Column) override;
  void GetCellText(TzmTreeListNode* Node, Integer Column, String& Text) override { GetNodeString(Node, Column, Text); }
  Integer GetColumnExtraHeight(Integer Column) override;
  Integer GetColumnLineHeight(TCanvas* Canvas, Integer Column) override;
  bool CanSizeColumn(Integer Column) override;
  void SetColumnWidth(Integer Column, Integer Width) override;
  bool IsColumnShown(Integer Column) override;
  bool UsesDefaultLayout() override { return FDefaultLayout || inherited::UsesDefaultLayout(); }
  void UpdateHeaderPanelRowCount() override;

  // Layout
  Integer GetSortedColumnCount() override { return SortedColumnCount(); }
  Integer GetSortedColumn(Integer Index) override;
  bool IsSortedColumnDescending(Integer Index) override;
  bool CanDragBand(Integer VisibleBand) override;
  bool CanDragColumn(Integer Column) override;
  void MoveBand(Integer From, Integer To) override;
  void HideBand(Integer VisibleBand) override;
  void ShowBand(Integer At, Integer Band) override;
  void MoveHeader(Integer Column, Integer VisibleBand, Integer Row, Integer Col) override;
  void HideHeader(Integer Column) override;
  void ShowHeader(Integer VisibleBand, Integer Row, Integer Col, Integer Column) override;
  bool IsBandCustomizingDisabled(Integer VisibleBand) override;
  bool IsColumnCustomizingDisabled(Integer Column) override;

  void BandsChanged() override;
  void RebuildVisibleNodes() override;
  void RebuildBandLists() override;
  // Drops the band and header caches.
  void ClearBandCaches();
  virtual void BandRowCountChanged();
  virtual void HeaderRowCountChanged() { LayoutChanged(); }
  // Re-sorts when the sort lock opens: the sorting itself comes with the node sorter.
  virtual void RefreshSorting() {}

  // Editing: one editor per editor class, configured by the edited column.
  TzmInplaceEdit* CreateEditor() override;
  TzmInplaceEdit* GetEditor() override;
  void InitEditor(TzmInplaceEdit* Editor) override;
  void GetEditorValue(TzmTreeListNode* Node, TzmInplaceEdit* Editor, Variant& Value) override;
  // The edited column stores the editor's value in the node.
  void GetEditorDefaultValue(TzmTreeListNode* Node, Integer Column, TzmInplaceEdit* Editor, Variant& Value) override;
  void DoCanEditNode(TzmTreeListNode* Node, bool& Allow) override;

  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void AddColumn(TzmTreeListColumn* Column);
  void MoveColumn(Integer From, Integer To);
  // Columns follow their bands when a band goes or moves.
  void BandDeleted(Integer Index);
  void BandMoved(Integer From, Integer To);
  TzmTreeListColumn* FocusedColumnObject();
  TzmTreeListBand* VisibleBand(Integer VisibleIndex) const { return FBands->VisibleItems(VisibleIndex); }
  // The visible columns of a band (absolute index) in a header row, in column order.
  std::vector<Integer> ColumnsInRow(Integer Band, Integer Row);
  bool UsesBandCaches() const { return !FBandListCache.empty() && !FBandListRebuilding; }

  TOwned<TzmTreeListBands> FBands;
  Integer FBandMaxRowCount = 5;
  Integer FBandRowCount = 1;
  std::vector<TzmTreeListColumn*> FColumnList;
  bool FDefaultLayout = true;
  std::vector<TzmInplaceEdit*> FEditorPool;
  Integer FHeaderMinRowCount = 1;
  Integer FHeaderPanelMaxRowCount = 5;
  Integer FHeaderPanelRowCount = 1;
  Integer FSortingLockCount = 0;
  bool FAutoRowCountChanging = false;
  std::vector<TzmTreeListColumn*> FSortedColumns;
  std::vector<Integer> FBandListCache;         // absolute index of each visible band
  std::vector<Integer> FVisibleBandListCache;  // visible index (or -1) of each band
  bool FBandListRebuilding = false;
  std::vector<std::vector<std::vector<Integer>>> FHeaderLayoutCache;  // visible band, row, columns
  bool FHeaderLayoutRebuilding = false;
};
