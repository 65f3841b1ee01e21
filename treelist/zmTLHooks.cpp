// The tree list's hooks with logic of their own: node repaint, focus moves, header button
// state, column line heights, columns in display order, and the layout storage entry points.
#include <algorithm>

#include "platform/forms/Forms.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/Scopes.h"
#include "treelist/zmTL.h"
#include "treelist/zmTLHelpers.h"

// ---------------------------------------------------------------------------------------------
// Repaint and the top node

void TCustomzmTreeList::InvalidateNode(TzmTreeListNode* Node, bool Structural) {
  if (!Node || Node->GetDeleting() || IsUpdateLocked() || IsDestroying() || !Node->IsVisible()) return;
  if (!HandleAllocated()) return;
  if (!Structural) {
    TRect row = GetNodeRect(Node);
    if (row != zmNoRect) InvalidateRect(GetHandle(), &row, FALSE);
    return;
  }
  // The rows from the node down moved: the row counts, the bars and the scroll position follow.
  UpdateRowCounts();
  UpdateScrollBars();
  ClampScrollPosition();
  TRect rows = GetRowsRect();
  TRect row = GetNodeRect(Node);
  if (row != zmNoRect) rows.Top = row.Top;
  else if (IndexOfVisibleNode(Node) > GetTopIndex()) return;  // below the shown rows
  InvalidateRect(GetHandle(), &rows, FALSE);
}

void TCustomzmTreeList::SetTopVisibleNode(TzmTreeListNode* Node) {
  FTopNode = Node;
  if (!IsUpdateLocked() && !IsDestroying()) UpdateRowCounts();
  if (OnTopNodeChanged) OnTopNodeChanged(this);
}

void TCustomzmTreeList::GetNodeSortValue(TzmTreeListNode*, Integer, Variant& Value) { Value = String(); }

// ---------------------------------------------------------------------------------------------
// Focus

void TCustomzmTreeList::SetFocusedNodeColumn(TzmTreeListNode* Node, Integer VisibleColumn, bool MakeVisible) {
  if (!Node) return;
  if (FInteractionState == tlsEditing) EndEditing();
  FFocusedColumnCache = -1;
  TzmTreeListNode* oldNode = FFocusedNode;
  Integer oldColumn = FFocusedVisibleColumn;
  TFinally notify([&] {
    if (FFocusedNode && MakeVisible) FFocusedNode->MakeVisible();
    bool nodeChanged = FFocusedNode != oldNode;
    bool columnChanged = FFocusedVisibleColumn != oldColumn;
    if ((nodeChanged && FSearchLockCount == 0) || columnChanged) EndSearch();
    if (nodeChanged) DoFocusedNodeChanged(oldNode, FFocusedNode);
    if (columnChanged) DoFocusedColumnChanged(FFocusedNode, FFocusedVisibleColumn);
  });
  if (IsUpdateLocked()) {
    FFocusedNode = Node;
    FFocusedVisibleColumn = VisibleColumn;
  } else if (Node == oldNode) {
    if (!IsRowSelect() && VisibleColumn != oldColumn) {
      MakeColumnVisible(GetVisibleColumn(VisibleColumn));
      FFocusedVisibleColumn = VisibleColumn;
      InvalidateNode(Node, false);
    }
  } else {
    if (!IsRowSelect()) {
      FFocusedVisibleColumn = VisibleColumn;
      MakeColumnVisible(GetVisibleColumn(VisibleColumn));
    }
    InvalidateNode(oldNode, false);
    FFocusedNode = Node;
    InvalidateNode(Node, false);
    SetNewItemRowFocused(false);
  }
}

void TCustomzmTreeList::SetFocusedAbsoluteIndex(Integer Index) {
  if (FRootNodes.empty()) return;
  Integer current = FFocusedNode ? IndexOfVisibleNode(FFocusedNode) : -1;
  if (Index == current) return;
  Index = std::clamp(Index, 0, std::max(GetVisibleNodeCount() - 1, 0));
  if (Index == current) return;
  SetFocusedNodeColumn(VisibleNodeAt(Index), FFocusedVisibleColumn, true);
}

void TCustomzmTreeList::DoFocusedColumnChanged(TzmTreeListNode* Node, Integer VisibleColumn) {
  if (OnFocusedColumnChanged) OnFocusedColumnChanged(this, Node, VisibleColumn);
}

void TCustomzmTreeList::DoFocusedNodeChanged(TzmTreeListNode* OldNode, TzmTreeListNode* NewNode) {
  if (OnFocusedNodeChanged) OnFocusedNodeChanged(this, OldNode, NewNode);
}

// ---------------------------------------------------------------------------------------------
// Columns in display order

Integer TCustomzmTreeList::GetVisibleColumnCount() {
  Integer count = 0;
  for (Integer column = 0; column < GetColumnCount(); ++column)
    if (IsColumnShown(column)) ++count;
  return count;
}

Integer TCustomzmTreeList::GetVisibleColumn(Integer VisibleIndex) {
  if (VisibleIndex < 0) return -1;
  Integer index = 0;
  for (Integer band = 0; band < GetVisibleBandCount(); ++band)
    for (Integer row = 0; row < GetHeaderRowCount(band); ++row)
      for (Integer col = 0; col < GetHeaderColCount(band, row); ++col) {
        Integer column = GetHeaderColumnIndex(band, row, col);
        if (column >= 0 && index++ == VisibleIndex) return column;
      }
  return -1;
}

Integer TCustomzmTreeList::GetColumnVisibleIndex(Integer Column) {
  Integer count = GetVisibleColumnCount();
  for (Integer index = 0; index < count; ++index)
    if (GetVisibleColumn(index) == Column) return index;
  return 0;
}

Integer TCustomzmTreeList::GetFocusedColumn() {
  if (FFocusedColumnCache < 0) FFocusedColumnCache = GetVisibleColumn(FFocusedVisibleColumn);
  return FFocusedColumnCache;
}

// ---------------------------------------------------------------------------------------------
// Header buttons and line heights

Byte TCustomzmTreeList::GetHeaderButtonState(Integer Column) {
  if (!HasHeaderDropDownButtons()) return 0;
  Byte state = zmhbShown;
  if (!FHotSpot.Node && FHotSpot.ColumnIndex == Column && FHotSpot.HeaderPart == zmHeaderPartDropDown) {
    state |= zmhbHot;
    if (FDropDownColumn == Column) state |= zmhbPressed;
  }
  return state;
}

Integer TCustomzmTreeList::GetColumnLineHeight(TCanvas* Canvas, Integer Column) {
  if (!IsColumnFontAssigned(Column)) return 0;
  Canvas->SetFont(GetColumnFont(Column));
  return Canvas->TextHeight("Wg") + 3;
}

Integer TCustomzmTreeList::GetMaxColumnLineHeight(TCanvas* Canvas) {
  Integer tallest = 0;
  for (Integer column = 0; column < GetColumnCount(); ++column)
    if (IsColumnShown(column)) tallest = std::max(tallest, GetColumnLineHeight(Canvas, column));
  return tallest;
}

Integer TCustomzmTreeList::GetNodeRowLineCount(TzmTreeListNode* Node, Integer& Height) {
  if (Node->GetCachedRowHeight() != 0 && Node->GetCachedLineCount() != 0) return Node->GetCachedLineCount();
  if (IsNodeFullRow(Node)) return 1;
  bool bothGrids = FShowGrid && FShowPreviewGrid, inset = HasExtra(zmxInvertSelection);
  Integer result = -1, count = GetVisibleColumnCount(), indent, textLeft;
  GetNodeIndent(Node, indent, textLeft);
  for (Integer i = 0; i < count; ++i) {
    Integer column = GetVisibleColumn(i);
    String text;
    GetCellText(Node, column, text);
    Integer width = GetColumnDisplayWidth(column);
    if (i == 0) width -= textLeft + (inset ? 1 : 0);
    if (i == count - 1 && inset) --width;
    if (bothGrids) --width;
    Integer previous = Height, lines = -1;
    if (CalcCellLineCount(Node, column, Height, lines, bothGrids, inset, FMetrics.MaxRowLineCount, FMetrics.TextHeight,
                          width, text))
      Height += (bothGrids ? 1 : 0) + (inset ? 2 : 0);
    Height = std::max(previous, Height);
    result = std::max(result, lines);
  }
  return result;
}

Integer TCustomzmTreeList::GetNodePreviewLineCount(TzmTreeListNode* Node) {
  if (!Node || !IsAutoPreviewLineCount()) return std::max(FMetrics.PreviewLineCount, 0);
  String text;
  GetPreviewText(Node, text);
  if (text.empty()) return 0;
  Integer height;
  Integer lines = CalcWrappedLineCount(text, GetNodeTextWidth(Node) - FMetrics.PreviewIndent, FMetrics.PreviewTextHeight,
                                       FMetrics.PreviewLineCount, FPreviewTextFont.get(), false, 0, height);
  return std::max(lines, 0);
}

bool TCustomzmTreeList::CalcCellLineCount(TzmTreeListNode*, Integer, Integer&, Integer&, bool, bool, Integer, Integer,
                                          Integer, const String&) {
  return false;
}

// ---------------------------------------------------------------------------------------------
// Layout storage

String TCustomzmTreeList::LayoutIniSectionName() {
  if (!FLayoutIniSection.empty()) return FLayoutIniSection;
  if (TCustomForm* form = GetParentForm(this)) FOwnerFormName = form->GetName();
  return FOwnerFormName + "_" + GetName();
}

void TCustomzmTreeList::LoadFromRegistry(const String& Key) {
  TOwned<TRegIniFile> registry = MakeOwned<TRegIniFile>(String());
  if (!registry->OpenKey(Key, false)) return;
  registry->CloseKey();
  ReadLayout(registry.get(), Key);
}

void TCustomzmTreeList::SaveToRegistry(const String& Key) {
  TOwned<TRegIniFile> registry = MakeOwned<TRegIniFile>(String());
  WriteLayout(registry.get(), Key);
}

void TCustomzmTreeList::LoadFromIniFile(const String& FileName) {
  TOwned<TMemIniFile> ini = MakeOwned<TMemIniFile>(FileName);
  ReadLayout(ini.get(), LayoutIniSectionName());
}

void TCustomzmTreeList::SaveToIniFile(const String& FileName) {
  TOwned<TMemIniFile> ini = MakeOwned<TMemIniFile>(FileName);
  WriteLayout(ini.get(), LayoutIniSectionName());
  ini->UpdateFile();
}
