// Fixture of the tree list tests: the tree list units started, a shown form holding a tree list
// with columns whose protected hooks are open to the tests and whose events are recorded.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/ControlsTestSupport.h"
#include "treelist/zmTLControl.h"
#include "treelist/zmTLResources.h"

// The control with columns; the protected operations the tests call are public here, and the
// events append to Log ("expanding R1", "deleted C2" ...; nodes are named by their first string).
class TTestTreeList : public TCustomzmTreeListControl {
  QJ_INLINE_CLASS(TTestTreeList, TCustomzmTreeListControl)
 public:
  explicit TTestTreeList(TComponent* AOwner) : TCustomzmTreeListControl(AOwner) {}

  using TCustomzmTreeList::AddHiddenNode;
  using TCustomzmTreeList::BindEditor;
  using TCustomzmTreeList::CreateEditor;
  using TCustomzmTreeList::GetCellViewData;
  using TCustomzmTreeList::IsColumnShown;
  using TCustomzmTreeList::IsInvertSelection;
  using TCustomzmTreeList::IsRowSelect;
  using TCustomzmTreeList::IsVisibleListUsable;
  using TCustomzmTreeList::GetSearchActive;
  using TCustomzmTreeList::SetCustomizeForm;
  using TCustomzmTreeList::DragOver;
  // Option queries
  using TCustomzmTreeList::IsCaseSensitiveSort;
  using TCustomzmTreeList::IsAutoPreviewLineCount;
  using TCustomzmTreeList::IsAutoSearch;
  using TCustomzmTreeList::IsSortOnColumnClick;
  using TCustomzmTreeList::IsAutoWidth;
  using TCustomzmTreeList::IsDragExpandToggles;
  using TCustomzmTreeList::IsCellEndEllipsis;
  using TCustomzmTreeList::IsDragExpand;
  using TCustomzmTreeList::IsDragScroll;
  using TCustomzmTreeList::IsEditing;
  using TCustomzmTreeList::IsImmediateEditor;
  using TCustomzmTreeList::IsDragOutHides;
  using TCustomzmTreeList::IsSelectAcrossParents;
  using TCustomzmTreeList::IsArrowWrapsToNextNode;
  using TCustomzmTreeList::IsMultiSelect;
  using TCustomzmTreeList::IsMultiSort;
  using TCustomzmTreeList::IsMultiLineRows;
  using TCustomzmTreeList::IsSortHourglass;
  using TCustomzmTreeList::IsTabWrapsToNextNode;
  using TCustomzmTreeList::IsRowLayoutNavigation;
  using TCustomzmTreeList::IsBufferedTextDrawing;
  using TCustomzmTreeList::IsBandButton;
  using TCustomzmTreeList::CanSizeBandRow;
  using TCustomzmTreeList::IsHeaderButton;
  using TCustomzmTreeList::CanSizeHeaderRow;
  using TCustomzmTreeList::CanSizeRow;
  using TCustomzmTreeList::IsEnterMovesFocus;
  using TCustomzmTreeList::IsDragSelect;
  using TCustomzmTreeList::NodeHasChildren;
  using TCustomzmTreeListControl::CreateNode;
  using TCustomzmTreeListControl::GetColumnColor;
  using TCustomzmTreeListControl::GetColumnMinWidth;
  using TCustomzmTreeListControl::GetEditor;
  using TCustomzmTreeListControl::GetHeaderButtonState;
  using TCustomzmTreeListControl::GetHeaderColCount;
  using TCustomzmTreeListControl::GetHeaderColumnIndex;
  using TCustomzmTreeListControl::GetHeaderRowCount;
  using TCustomzmTreeListControl::GetLeftFixedBandIndex;
  using TCustomzmTreeListControl::GetRightFixedBandIndex;
  using TCustomzmTreeListControl::InvalidateNode;
  using TCustomzmTreeListControl::RebuildVisibleNodes;
  using TCustomzmTreeList::SetTopVisibleNode;
  using TCustomzmTreeListControl::UpdateHeaderPanelRowCount;
  using TCustomzmTreeListControl::UsesDefaultLayout;

  std::vector<std::string> Log;
  // With KeepsSelection the control stores its selection here, as a multi-select descendant does.
  bool KeepsSelection = false;
  std::vector<TzmTreeListNode*> Selection;
  TzmTreeListNode* Unselectable = nullptr;  // selecting it raises
  // The value a node sorts by in a column (the base sorts by an empty text).
  std::function<Variant(TzmTreeListNode* Node, Integer Column)> SortValue;
  bool Refocuses = true;  // the answer of FocusCollapsingAncestor

  // Logs every event under the node's first string.
  void RecordEvents() {
    OnNodeExpanding = [this](TObject*, TzmTreeListNode* n, bool&) { Note("expanding", n); };
    OnNodeExpanded = [this](TObject*, TzmTreeListNode* n) { Note("expanded", n); };
    OnNodeCollapsing = [this](TObject*, TzmTreeListNode* n, bool&) { Note("collapsing", n); };
    OnNodeCollapsed = [this](TObject*, TzmTreeListNode* n) { Note("collapsed", n); };
    OnNodeDeleted = [this](TObject*, TzmTreeListNode* n) { Note("deleted", n); };
    OnFocusedNodeChanged = [this](TObject*, TzmTreeListNode*, TzmTreeListNode* n) { Note("focused", n); };
    OnFocusedColumnChanged = [this](TObject*, TzmTreeListNode*, Integer c) {
      Log.push_back("column " + std::to_string(c));
    };
    OnNodeEdited = [this](TObject*, TzmTreeListNode* n, Integer c) { Note("edited " + std::to_string(c), n); };
  }
  void Note(const std::string& What, TzmTreeListNode* Node) {
    Log.push_back(What + " " + (Node ? Node->GetStrings(0) : String("nil")));
  }

 protected:
  void GetNodeSortValue(TzmTreeListNode* Node, Integer Column, Variant& Value) override {
    if (SortValue) Value = SortValue(Node, Column);
    else TCustomzmTreeListControl::GetNodeSortValue(Node, Column, Value);
  }
  Integer GetSelectedCount() override {
    return KeepsSelection ? static_cast<Integer>(Selection.size()) : TCustomzmTreeListControl::GetSelectedCount();
  }
  TzmTreeListNode* GetSelectedNode(Integer Index) override {
    if (!KeepsSelection) return TCustomzmTreeListControl::GetSelectedNode(Index);
    return Index >= 0 && Index < GetSelectedCount() ? Selection[static_cast<size_t>(Index)] : nullptr;
  }
  bool IsNodeSelected(TzmTreeListNode* Node) override {
    if (!KeepsSelection) return TCustomzmTreeListControl::IsNodeSelected(Node);
    return std::find(Selection.begin(), Selection.end(), Node) != Selection.end();
  }
  void SetNodeSelected(TzmTreeListNode* Node, bool Value) override {
    if (Value && Node == Unselectable) throw Exception("The node cannot be selected");
    if (KeepsSelection && Value != IsNodeSelected(Node)) {
      if (Value) Selection.push_back(Node);
      else Selection.erase(std::find(Selection.begin(), Selection.end(), Node));
    }
    TCustomzmTreeListControl::SetNodeSelected(Node, Value);
  }
  void ClearSelection() override {
    Selection.clear();
    TCustomzmTreeListControl::ClearSelection();
  }
  bool FocusCollapsingAncestor(TzmTreeListNode* Node) override {
    return Refocuses && TCustomzmTreeListControl::FocusCollapsingAncestor(Node);
  }
};

// A colour as the screen's pixels read (0x00RRGGBB).
inline uint32_t Rgb(TColor Color) {
  COLORREF c = ColorToRGB(Color);
  return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

class TzmTreeListTest : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    Units = std::make_unique<TzmTreeListUnits>();
    Form = NewForm(400, 300, 100, 100);
    Form->SetName("Form1");
    Tree = Add<TTestTreeList>(Form, "Tree", Rect(10, 10, 390, 290));
    Form->Show();
    Pump();
  }
  void TearDown() override {
    TFormsTest::TearDown();
    Units.reset();
  }

  // A node under Parent (a root for nil) whose first string is Name.
  TzmTreeListNode* Node(const String& Name, TzmTreeListNode* Parent = nullptr) {
    TzmTreeListNode* node = Tree->AddNode(Parent);
    node->SetStrings(0, Name);
    return node;
  }
  TzmTreeListColumn* Column(const String& Caption = String()) {
    TzmTreeListColumn* column = Tree->CreateColumn(&TzmTreeListColumn::StaticClass(), Form);
    if (!Caption.empty()) column->SetCaption(Caption);
    return column;
  }
  // The first strings of the shown nodes in display order, through the control's index.
  std::vector<String> Shown() {
    std::vector<String> names;
    for (Integer i = 0; i < Tree->GetVisibleNodeCount(); ++i) names.push_back(Tree->VisibleNodeAt(i)->GetStrings(0));
    return names;
  }

  std::unique_ptr<TzmTreeListUnits> Units;
  TForm* Form = nullptr;
  TTestTreeList* Tree = nullptr;
};
