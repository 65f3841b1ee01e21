// The tree list with columns: the events behind the core's hooks, sorting by the sorted columns,
// copying another control's columns, loading and the children handed to a writer.
#include <algorithm>
#include <set>

#include "platform/forms/Forms.h"
#include "platform/rtl/Scopes.h"
#include "treelist/zmTLControl.h"
#include "treelist/zmUtils.h"

// ---------------------------------------------------------------------------------------------
// Events behind the hooks

void TCustomzmTreeListControl::GetNodeDragText(TzmTreeListNode* Node, Integer Column, String& Text) {
  inherited::GetNodeDragText(Node, Column, Text);
  if (OnNodeDragText) OnNodeDragText(this, Node, ColumnAt(Column), Text);
}

bool TCustomzmTreeListControl::HasFooterCell(Integer Column) {
  bool exists = false;
  if (OnFooterCellExists) OnFooterCellExists(this, ColumnAt(Column), exists);
  return exists;
}

void TCustomzmTreeListControl::DoBandButtonClick() {
  if (OnBandButtonClicked) OnBandButtonClicked(this);
}

void TCustomzmTreeListControl::DoHeaderButtonClick() {
  if (OnHeaderButtonClicked) OnHeaderButtonClicked(this);
}

void TCustomzmTreeListControl::DoColumnsWidthChanged() {
  if (OnColumnsWidthChanged) OnColumnsWidthChanged(this);
}

void TCustomzmTreeListControl::DoBandClick(Integer VisibleIndex) {
  if (OnBandClicked) OnBandClicked(this, VisibleBand(VisibleIndex));
}

void TCustomzmTreeListControl::DoColumnClick(Integer Column) {
  TzmTreeListColumn* column = ColumnAt(Column);
  TAliveToken alive = AliveToken();
  if (OnColumnClicked) OnColumnClicked(this, column);
  if (alive && column && IsSortOnColumnClick()) ToggleColumnSort(column);
}

void TCustomzmTreeListControl::StartBandDrag(Integer VisibleIndex) {
  inherited::StartBandDrag(VisibleIndex);
  if (OnBandDragStarted) OnBandDragStarted(this, VisibleBand(VisibleIndex));
}

void TCustomzmTreeListControl::StartHeaderDrag(Integer Column) {
  inherited::StartHeaderDrag(Column);
  if (OnHeaderDragStarted) OnHeaderDragStarted(this, ColumnAt(Column));
}

void TCustomzmTreeListControl::DoDragOverBand(TPoint Point, Integer VisibleIndex, bool& Accept) {
  inherited::DoDragOverBand(Point, VisibleIndex, Accept);
  if (OnBandDragOver) OnBandDragOver(this, VisibleBand(VisibleIndex), Point, Accept);
}

void TCustomzmTreeListControl::DoDragOverHeader(TPoint Point, Integer Column, bool& Accept) {
  inherited::DoDragOverHeader(Point, Column, Accept);
  if (OnHeaderDragOver) OnHeaderDragOver(this, ColumnAt(Column), Point, Accept);
}

void TCustomzmTreeListControl::DoDragEndBand(TPoint Point, Integer VisibleIndex, bool Pressed, Integer& Target,
                                             bool& Accept) {
  inherited::DoDragEndBand(Point, VisibleIndex, Pressed, Target, Accept);
  if (OnBandDragEnded) OnBandDragEnded(this, VisibleBand(VisibleIndex), Point, VisibleIndex, Pressed, Target, Accept);
}

void TCustomzmTreeListControl::DoDragEndHeader(TPoint Point, Integer Column, TzmTreeListDropPosition& Target,
                                               bool& Accept) {
  inherited::DoDragEndHeader(Point, Column, Target, Accept);
  TzmTreeListColumn* column = ColumnAt(Column);
  if (OnHeaderDragEnded) OnHeaderDragEnded(this, column, Point, Target, Accept);
  if (FBands->VisibleCount() != 1 || !column) return;
  if (OnColumnReordered) OnColumnReordered(this, column->GetColIndex(), Target.ColIndex);
  if (OnColumnDragFinished) OnColumnDragFinished(this, Point.X, Point.Y, column, Target.ColIndex);
}

// ---------------------------------------------------------------------------------------------
// Sorting

void TCustomzmTreeListControl::GetNodeSortValue(TzmTreeListNode* Node, Integer Column, Variant& Value) {
  GetNodeVariant(Node, Column, Value);
}

bool TCustomzmTreeListControl::CanSortColumn(TzmTreeListColumn* Column) {
  bool allow = true;
  if (OnColumnSortRequest) OnColumnSortRequest(this, Column, allow);
  return allow;
}

void TCustomzmTreeListControl::ToggleColumnSort(TzmTreeListColumn* Column) {
  if (!CanSortColumn(Column)) return;
  TzmTreeListColumnSort next = TzmTreeListColumnSort::csNone;
  if (!IsSortResetRequested())
    next = Column->GetSorted() == TzmTreeListColumnSort::csUp ? TzmTreeListColumnSort::csDown
                                                              : TzmTreeListColumnSort::csUp;
  TzmTreeListSortingScope sorting(this);
  if (!(IsMultiSort() && IsSortMultiRequested()))
    for (TzmTreeListColumn* other : std::vector<TzmTreeListColumn*>(FSortedColumns))
      if (other != Column) other->SetSorted(TzmTreeListColumnSort::csNone);
  Column->SetSorted(next);
}

void TCustomzmTreeListControl::RefreshSorting() {
  if (FSortedColumns.empty() || IsDestroying() || HasState(csLoading)) return;
  TzmTreeListColumn* first = FSortedColumns.front();
  SortNodes(-1, IndexOfColumn(first), first->GetSorted() == TzmTreeListColumnSort::csDown);
}

// ---------------------------------------------------------------------------------------------
// Columns

TzmTreeListColumn* TCustomzmTreeListControl::CreateColumn(TzmTreeListColumnClass ColumnClass, TComponent* AOwner) {
  constexpr Integer kNameAttempts = 1000;
  TzmTreeListColumn* column = ColumnClass->Create(AOwner);
  try {
    String base = GetName() + "Column";
    for (Integer n = ColumnCount() + 1, attempts = 0;; ++n) {
      String name = base + IntToStr(n);
      try {
        column->SetName(name);
        break;
      } catch (EComponentError&) {
        // Only a name another component holds is worth the next number.
        bool duplicate = AOwner && AOwner->FindComponent(name) && AOwner->FindComponent(name) != column;
        if (!duplicate || ++attempts >= kNameAttempts) throw;
      }
    }
    column->SetTreeList(this);
  } catch (...) {
    Free(column);
    throw;
  }
  return column;
}

void TCustomzmTreeListControl::AssignColumns(TCustomzmTreeListControl* Source) {
  if (!Source) return;
  TUpdateScope update(this);
  TComponent* owner = ColumnCount() > 0 ? ColumnAt(0)->GetOwner() : this;
  std::vector<TzmTreeListColumn*> sources(Source->FColumnList);
  std::set<TComponent*> leaving(FColumnList.begin(), FColumnList.end());
  std::vector<TzmTreeListColumn*> copies;
  std::vector<String> names;
  std::set<String> taken;
  auto free = [&]() {
    for (TzmTreeListColumn* copy : copies) Free(copy);
  };
  try {
    // The copies, unnamed and unattached, and a name for each that no other component of the
    // owner holds: nothing is destroyed before every copy is in hand.
    Integer next = 1;
    for (TzmTreeListColumn* source : sources) {
      TzmTreeListColumn* copy = static_cast<TzmTreeListColumnClass>(source->ClassType())->Create(owner);
      copies.push_back(copy);
      copy->Assign(source);
      String name = source->GetName();
      auto free_name = [&](const String& candidate) {
        if (candidate.empty() || taken.count(AnsiUpperCase(candidate))) return false;
        TComponent* holder = owner ? owner->FindComponent(candidate) : nullptr;
        return !holder || leaving.count(holder) != 0;
      };
      while (!free_name(name)) name = GetName() + "Column" + IntToStr(next++);
      taken.insert(AnsiUpperCase(name));
      names.push_back(name);
    }
  } catch (...) {
    free();
    throw;
  }
  DestroyColumns();
  for (size_t i = 0; i < copies.size(); ++i) {
    copies[i]->SetName(names[i]);
    copies[i]->SetTreeList(this);
  }
}

// ---------------------------------------------------------------------------------------------
// Loading and writing

void TCustomzmTreeListControl::Loaded() {
  inherited::Loaded();
  RefreshRowIndexes();
  RebuildSortedColumns();
  LoadLayout();
}

void TCustomzmTreeListControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TzmTreeListColumn* column : FColumnList)
    if (FStoresAllColumns || column->GetOwner() == Root) Proc(column);
}
