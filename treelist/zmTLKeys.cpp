// The tree list's keyboard: focus navigation between nodes and cells with keyboard selection,
// expanding and collapsing, incremental search over the nodes' texts, opening the editor; and
// the selection ranges and row text that keys and the clipboard use.
#include <algorithm>

#include "platform/forms/Clipbrd.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/StringList.h"
#include "treelist/zmEditor.h"
#include "treelist/zmTL.h"

namespace {

// Keys that end editing when the editor hands them to the control.
bool EndsEditing(Word Key) {
  switch (Key) {
    case VK_TAB: case VK_RETURN: case VK_ESCAPE: case VK_PRIOR: case VK_NEXT: case VK_UP: case VK_DOWN:
      return true;
    default:
      return false;
  }
}

bool CtrlWithoutAlt() { return GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// The editor

void TCustomzmTreeList::ShowEditor() {
  if (!IsEditing() || IsRowSelect() || !FFocusedNode) return;
  bool allow = true;
  if (FNewItemRowFocused) DoCanEditNewItemRow(allow);
  else DoCanEditNode(FFocusedNode, allow);
  if (!allow) {
    FActiveEditor = nullptr;
    return;
  }
  if (FInteractionState != tlsIdle || GetVisibleColumnCount() == 0) return;
  MakeColumnVisible(GetFocusedColumn());
  MakeNodeVisible(FFocusedNode);
  // A delay still waiting from the click that opened the editor must not open it once more.
  KillEditorTimer();
  SetInteractionState(tlsEditing);
  TzmInplaceEdit* editor = GetEditor();
  if (!editor) editor = CreateEditor();
  BindEditor(editor);
  editor->ActivateEdit(GetEditorRect(FFocusedNode, FFocusedVisibleColumn));
}

void TCustomzmTreeList::ShowEditorWithMouseDown(Integer X, Integer Y) {
  ShowEditor();
  if (IsEditorShown() && FActiveEditor) FActiveEditor->ContainerMouseDown(X, Y);
}

void TCustomzmTreeList::ShowEditorWithMouseUp(Integer X, Integer Y) {
  ShowEditor();
  if (IsEditorShown() && FActiveEditor) FActiveEditor->ContainerMouseUp(X, Y);
}

// ---------------------------------------------------------------------------------------------
// Moving the focus

void TCustomzmTreeList::MoveFocusByPage(bool Down) {
  Integer count = GetVisibleNodeCount();
  if (count < 2) return;
  Integer current = GetFocusedIndex(), top = std::max(GetTopIndex(), 0);
  Integer bottom = std::min(top + FPageRowCount - 1, count - 1);
  if (top < current && current < bottom) SetFocusedAbsoluteIndex(Down ? bottom : top);
  else SetFocusedAbsoluteIndex(current + (Down ? 1 : -1) * std::max(FPageRowCount - 1, 1));
}

void TCustomzmTreeList::MoveFocusBy(Integer Delta, TShiftState Shift) {
  if (IsMultiSelect()) {
    bool stuck = GetSelectedCount() == 1 &&
                 ((Delta < 0 && FFocusedNode == GetFirstRootNode()) || (Delta > 0 && IsLastNode(FFocusedNode)));
    if (Shift & ssShift) {
      if (FRangeSelecting) {
        bool back = Delta + CompareWithAnchor(FFocusedNode) == 0;
        if (back) SetNodeSelected(FFocusedNode, false);
        SetFocusedAbsoluteIndex(GetFocusedIndex() + Delta);
        if (!back) SetNodeSelected(FFocusedNode, true);
        return;
      }
      if (!stuck) ClearSelection();
      if (CanRangeSelect() && FSelectionAnchorNode) {
        SelectRange(FSelectionAnchorNode, FFocusedNode);
        Integer side = CompareWithAnchor(FFocusedNode);
        SetNodeSelected(FFocusedNode, side == 0 || (side > 0) != (Delta > 0));
      } else {
        SetSelectionAnchor(FFocusedNode);
        SetNodeSelected(FFocusedNode, true);
      }
      FRangeSelecting = true;
      SetFocusedAbsoluteIndex(GetFocusedIndex() + Delta);
      SetNodeSelected(FFocusedNode, true);
      return;
    }
    if (!stuck) ClearSelection();
    SetSelectionAnchor(nullptr);
  }
  SetFocusedAbsoluteIndex(GetFocusedIndex() + Delta);
}

void TCustomzmTreeList::FocusAndSelect(TzmTreeListNode* Node, TShiftState Shift) {
  if (!Node) return;
  if (Shift & ssShift) {
    ClearSelection();
    if (CanRangeSelect()) {
      if (!FSelectionAnchorNode || !FSelectionAnchorNode->IsVisible()) SetSelectionAnchor(FFocusedNode);
      SetFocusedNodeColumn(Node, FFocusedVisibleColumn, true);
      SelectRange(FSelectionAnchorNode, FFocusedNode);
      return;
    }
  }
  SetSelectionAnchor(nullptr);
  SetFocusedNodeColumn(Node, FFocusedVisibleColumn, true);
}

// ---------------------------------------------------------------------------------------------
// Keys

// Up and Down through the header rows of the focused column's band first; answers whether the
// key is done (false: the focus moves a node, wrapping to the other end of the rows).
bool TCustomzmTreeList::MoveInHeaderRows(bool Up) {
  if (!IsRowLayoutNavigation() || IsRowSelect() || !FFocusedNode || IsNodeFullRow(FFocusedNode)) return false;
  Integer column = GetFocusedColumn(), band = VisibleBandOfColumn(column);
  Integer rows = band >= 0 ? GetHeaderRowCount(band) : 0;
  if (rows < 2) return false;
  Integer row = GetColumnRowIndex(column), position = GetColumnColIndex(column);
  bool wraps = Up ? row == 0 : row == rows - 1;
  if (wraps && (Up ? FFocusedNode == GetFirstRootNode() : IsLastNode(FFocusedNode))) return !Up;
  Integer target = wraps ? (Up ? rows - 1 : 0) : row + (Up ? -1 : 1);
  Integer count = GetHeaderColCount(band, target);
  if (count <= 0) return false;
  Integer next = GetHeaderColumnIndex(band, target, std::min(position, count - 1));
  SetFocusedNodeColumn(FFocusedNode, GetColumnVisibleIndex(next), true);
  return !wraps;
}

void TCustomzmTreeList::KeyDown(Word& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
  if (Key == 0) return;
  if (!CanProcessKey(Key, Shift)) {
    Key = 0;
    return;
  }
  TzmTreeListSelectionScope selection(this);
  if (IsSizingState(FInteractionState) || FInteractionState == tlsColumnDragging ||
      FInteractionState == tlsBandDragging) {
    if (Key == VK_ESCAPE) CancelInteraction();
    return;
  }
  if (FRootNodes.empty()) return;
  if (FInteractionState == tlsEditing && EndsEditing(Key)) {
    EndEditing();
    if (Key == VK_ESCAPE) return;
  }
  bool ctrl = (Shift & ssCtrl) != 0, shift = (Shift & ssShift) != 0;
  if (FNewItemRowFocused && (Key == VK_NEXT || Key == VK_DOWN)) {
    SetNewItemRowFocused(false);
    if (FTopNode) SetFocusedNodeColumn(FTopNode, FFocusedVisibleColumn, true);
    if (!ctrl && !shift) {
      ClearSelection();
      SetSelectionAnchor(nullptr);
      if (FFocusedNode) SetNodeSelected(FFocusedNode, true);
    }
    return;
  }
  if (FSearchActive && (Key == VK_BACK || Key == VK_ESCAPE || Key == VK_DELETE || (Key == VK_RETURN && (ctrl || shift)))) {
    SyncSearchColumn();
    if (Key == VK_ESCAPE) {
      EndSearch();
    } else if (Key == VK_DELETE) {
      FSearchString.clear();
    } else if (Key == VK_BACK) {
      if (!FSearchString.empty()) FSearchString.pop_back();
    } else {
      DoIncrementalSearch(FSearchString, ctrl ? 2 : 1, false);
    }
    return;
  }
  bool ranged = Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || Key == VK_HOME || Key == VK_UP || Key == VK_DOWN;
  Integer columns = GetVisibleColumnCount();
  if (ctrl && !(shift && ranged && CanRangeSelect())) {
    FRangeSelecting = false;
    switch (Key) {
      case VK_SPACE:
        if (IsRowSelect() || !IsEditing()) {
          SetNodeSelected(FFocusedNode, !IsNodeSelected(FFocusedNode));
          SetSelectionAnchor(FFocusedNode);
        }
        break;
      case VK_PRIOR: case VK_NEXT: MoveFocusByPage(Key == VK_NEXT); break;
      case VK_HOME: SetFocusedAbsoluteIndex(0); break;
      case VK_END: SetFocusedAbsoluteIndex(GetVisibleNodeCount() - 1); break;
      case VK_LEFT: if (columns > 0) SetFocusedNodeColumn(FFocusedNode, 0, false); break;
      case VK_RIGHT: if (columns > 0) SetFocusedNodeColumn(FFocusedNode, columns - 1, false); break;
      case VK_UP:
        if (FFocusedNode == GetFirstRootNode() && IsNewItemRowShown()) SetNewItemRowFocused(true);
        else SetFocusedAbsoluteIndex(GetFocusedIndex() - 1);
        break;
      case VK_DOWN: SetFocusedAbsoluteIndex(GetFocusedIndex() + 1); break;
      case VK_INSERT: CopySelectedToClipboard(); break;
      default: break;
    }
    return;
  }
  // The next (or previous) tab-stop column from From, -1 past the end.
  auto tabStop = [&](Integer From, Integer Step) {
    for (Integer c = From + Step; c >= 0 && c < columns; c += Step)
      if (GetColumnTabStop(GetVisibleColumn(c))) return c;
    return Integer(-1);
  };
  auto wrapTo = [&](Integer Step) {
    TzmTreeListNode* node = Step > 0 ? GetNextVisible(FFocusedNode) : GetPrevVisible(FFocusedNode);
    if (node) SetFocusedNodeColumn(node, tabStop(Step > 0 ? -1 : columns, Step), true);
  };
  switch (Key) {
    case VK_TAB: {
      if (GetKeyState(VK_MENU) < 0) break;
      Integer step = shift ? -1 : 1;
      if (IsRowSelect()) {
        ClearSelection();
        SetFocusedAbsoluteIndex(GetFocusedIndex() + step);
        break;
      }
      Integer next = tabStop(FFocusedVisibleColumn, step);
      if (next >= 0) SetFocusedNodeColumn(FFocusedNode, next, true);
      else if (IsTabWrapsToNextNode()) wrapTo(step);
      break;
    }
    case VK_RETURN:
      if (IsEnterMovesFocus()) {
        Integer next = tabStop(FFocusedVisibleColumn, 1);
        if (next >= 0) SetFocusedNodeColumn(FFocusedNode, next, true);
        else wrapTo(1);
        ShowEditor();
      }
      break;
    case VK_ESCAPE:
      ClearSelection();
      break;
    case VK_PRIOR:
    case VK_NEXT:
      ClearSelection();
      if (shift && CanRangeSelect()) {
        if (!FSelectionAnchorNode) SetSelectionAnchor(FFocusedNode);
      } else {
        SetSelectionAnchor(nullptr);
      }
      if (Key == VK_PRIOR && FFocusedNode == GetFirstRootNode() && IsNewItemRowShown()) SetNewItemRowFocused(true);
      else MoveFocusByPage(Key == VK_NEXT);
      if (shift && FSelectionAnchorNode) SelectRange(FSelectionAnchorNode, FFocusedNode);
      break;
    case VK_HOME:
    case VK_END:
      if (IsRowSelect() || shift)
        FocusAndSelect(Key == VK_HOME ? GetFirstRootNode() : GetLastVisibleNode(), Shift);
      else if (columns > 0)
        SetFocusedNodeColumn(FFocusedNode, Key == VK_HOME ? 0 : columns - 1, true);
      break;
    case VK_LEFT:
      if (IsRowSelect()) {
        MakeNodeVisible(FFocusedNode);
        if (FNewItemRowFocused) break;
        if (FFocusedNode->GetExpanded()) {
          FFocusedNode->SetExpanded(false);
        } else if (FFocusedNode->GetPrevSibling() || !FFocusedNode->GetParent()) {
          ClearSelection();
          SetFocusedAbsoluteIndex(GetFocusedIndex() - 1);
        } else {
          ClearSelection();
          SetFocusedNodeColumn(FFocusedNode->GetParent(), FFocusedVisibleColumn, true);
          SetNodeSelected(FFocusedNode, true);
        }
      } else if (FFocusedVisibleColumn <= 0 && IsArrowWrapsToNextNode()) {
        wrapTo(-1);
      } else if (FFocusedVisibleColumn > 0) {
        SetFocusedNodeColumn(FFocusedNode, FFocusedVisibleColumn - 1, true);
      }
      break;
    case VK_RIGHT:
      if (IsRowSelect()) {
        MakeNodeVisible(FFocusedNode);
        if (FNewItemRowFocused) break;
        if (FFocusedNode->GetHasChildren() && FFocusedNode->GetExpanded() && FFocusedNode->GetCount() > 0) {
          ClearSelection();
          SetFocusedNodeColumn(FFocusedNode->GetFirstChild(), FFocusedVisibleColumn, true);
          SetNodeSelected(FFocusedNode, true);
        } else if (FFocusedNode->GetHasChildren()) {
          FFocusedNode->SetExpanded(true);
        } else {
          ClearSelection();
          SetFocusedAbsoluteIndex(GetFocusedIndex() + 1);
        }
      } else if (FFocusedVisibleColumn >= columns - 1 && IsArrowWrapsToNextNode()) {
        wrapTo(1);
      } else if (FFocusedVisibleColumn < columns - 1) {
        SetFocusedNodeColumn(FFocusedNode, FFocusedVisibleColumn + 1, true);
      }
      break;
    case VK_UP:
    case VK_DOWN:
      if (MoveInHeaderRows(Key == VK_UP)) break;
      if (Key == VK_UP && FFocusedNode == GetFirstRootNode() && IsNewItemRowShown()) SetNewItemRowFocused(true);
      else MoveFocusBy(Key == VK_UP ? -1 : 1, Shift);
      break;
    case VK_F2:
      ShowEditor();
      break;
    default:
      break;
  }
  if (GetSelectedCount() == 0 && FFocusedNode) SetNodeSelected(FFocusedNode, true);
}

void TCustomzmTreeList::KeyPress(char& Key) {
  unsigned char code = static_cast<unsigned char>(Key);
  if (FInteractionState == tlsIdle && !FSearchActive && IsAutoSearch() && code != 8 && code != 9 && code != 13 &&
      code != 27 && !CtrlWithoutAlt())
    StartSearch(-1, String());
  if (FSearchActive || !IsImmediateEditor() || FInteractionState == tlsEditing) {
    inherited::KeyPress(Key);
  } else if (code == 13) {
    ShowEditor();
  } else if (code == 8 || code == 22 || code == 24 || code >= 32) {
    ShowEditor();
    if (IsEditorShown() && FActiveEditor && FActiveEditor->HandleAllocated()) {
      UINT message = code == 22 ? WM_PASTE : (code == 24 ? WM_CUT : WM_CHAR);
      PostMessage(FActiveEditor->GetHandle(), message, message == WM_CHAR ? code : 0, 0);
    } else {
      inherited::KeyPress(Key);
    }
  } else {
    inherited::KeyPress(Key);
  }
  if (FInteractionState != tlsEditing && FFocusedNode) {
    if (code == 3 && HasExtra(zmxCopyToClipboard)) {
      CopySelectedToClipboard();
    } else if (Key == '*') {
      FFocusedNode->Expand(true);
    } else if (Key == '+' || Key == '-') {
      MakeNodeVisible(FFocusedNode);
      FFocusedNode->SetExpanded(Key == '+');
    }
  }
  if (FSearchActive && code > 31 && !CtrlWithoutAlt()) {
    SyncSearchColumn();
    FSearchString += Key;
    DoIncrementalSearch(FSearchString, 0, false);
  }
}

// ---------------------------------------------------------------------------------------------
// Incremental search

void TCustomzmTreeList::SyncSearchColumn() {
  if (IsRowSelect()) return;
  Integer focused = GetFocusedColumn();
  if (focused == FSearchColumn) return;
  FSearchColumn = focused;
  FSearchString.clear();
}

bool TCustomzmTreeList::StartSearch(Integer Column, const String& Text) {
  LeaveEditing();
  SetNewItemRowFocused(false);
  if (Column < 0) Column = GetFocusedColumn();
  FSearchColumn = Column;
  if (Column >= 0) {
    TCounterScope searching(FSearchLockCount);
    SetFocusedNodeColumn(FFocusedNode ? FFocusedNode : GetFirstRootNode(), GetColumnVisibleIndex(Column), false);
  }
  FSearchActive = true;
  FSearchString = Text;
  DoIncrementalSearch(FSearchString, 0, true);
  return !FSearchString.empty();
}

void TCustomzmTreeList::DoIncrementalSearch(String& Text, Integer Mode, bool ClearOnFail) {
  if (FSearchColumn < 0 || FRootNodes.empty()) {
    Text.clear();
    return;
  }
  TCounterScope searching(FSearchLockCount);
  TzmTreeListNode* node = nullptr;
  if (FindMatchingNode(FSearchColumn, Text, Mode, node)) SetFocusedNodeColumn(node, FFocusedVisibleColumn, true);
  else if (ClearOnFail) Text.clear();
  else if (Mode == 0 && !Text.empty()) Text.pop_back();
  if (FFocusedNode) {
    if (IsMultiSelect() && !IsNodeSelected(FFocusedNode)) {
      ClearSelection();
      SetNodeSelected(FFocusedNode, true);
    }
    MakeNodeVisible(FFocusedNode);
    InvalidateNode(FFocusedNode, false);
  }
}

TzmTreeListNode* TCustomzmTreeList::SearchStep(TzmTreeListNode* Node, bool Backward) {
  TzmTreeListNode* next;
  if (!Backward) {
    next = FSearchExpandsNodes ? Node->GetNext() : GetNextVisible(Node);
    return next ? next : GetFirstRootNode();
  }
  next = FSearchExpandsNodes ? Node->GetPrev() : GetPrevVisible(Node);
  if (next) return next;
  // Past the first root: the last node of the walk (hidden descendants included when the search
  // expands nodes).
  return FSearchExpandsNodes ? GetRelativeNode(Node, zmrLast, true) : GetLastVisibleNode();
}

bool TCustomzmTreeList::FindMatchingNode(Integer Column, const String& Text, Integer Mode, TzmTreeListNode*& Node) {
  if (Text.empty()) return false;
  TzmTreeListNode* start = FFocusedNode ? FFocusedNode : GetFirstRootNode();
  if (!start) return false;
  String wanted = AnsiUpperCase(Text);
  auto matches = [&](TzmTreeListNode* node) {
    String text;
    GetCellText(node, Column, text);
    return AnsiUpperCase(text.substr(0, Text.size())) == wanted;
  };
  bool backward = Mode == 1;
  TzmTreeListNode* first = Mode == 0 ? start : SearchStep(start, backward);
  for (TzmTreeListNode* node = first; node;) {
    if (matches(node)) {
      Node = node;
      return true;
    }
    node = SearchStep(node, backward);
    if (node == start || node == first) break;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// Selection ranges

void TCustomzmTreeList::SelectRange(TzmTreeListNode* Node1, TzmTreeListNode* Node2) {
  Integer a = IndexOfVisibleNode(Node1), b = IndexOfVisibleNode(Node2);
  if (a < 0 || b < 0) return;
  TzmTreeListSelectionScope selection(this);
  for (Integer i = std::min(a, b); i <= std::max(a, b); ++i)
    if (TzmTreeListNode* node = VisibleNodeAt(i)) SetNodeSelected(node, true);
}

Integer TCustomzmTreeList::CompareWithAnchor(TzmTreeListNode* Node) {
  Integer node = IndexOfVisibleNode(Node), anchor = IndexOfVisibleNode(FSelectionAnchorNode);
  return node < anchor ? -1 : (node > anchor ? 1 : 0);
}

// ---------------------------------------------------------------------------------------------
// Row text

void TCustomzmTreeList::GetHeaderText(String& Text) {
  Text.clear();
  for (Integer i = 0; i < GetVisibleColumnCount(); ++i) {
    String caption;
    GetColumnHeaderCaption(GetVisibleColumn(i), caption);
    if (i > 0) Text += '\t';
    Text += caption;
  }
}

void TCustomzmTreeList::GetNodeText(TzmTreeListNode* Node, String& Text) {
  Text.clear();
  if (IsNodeFullRow(Node)) {
    GetCellText(Node, 0, Text);
    return;
  }
  for (Integer i = 0; i < GetVisibleColumnCount(); ++i) {
    String cell;
    GetCellText(Node, GetVisibleColumn(i), cell);
    if (i > 0) Text += '\t';
    Text += cell;
  }
}

void TCustomzmTreeList::GetAllNodesText(TStringList* Strings) {
  String line;
  GetHeaderText(line);
  Strings->Add(line);
  for (Integer i = 0; i < GetVisibleNodeCount(); ++i) {
    GetNodeText(VisibleNodeAt(i), line);
    Strings->Add(line);
  }
}

void TCustomzmTreeList::GetSelectedNodesText(TStringList* Strings) {
  String line;
  GetHeaderText(line);
  Strings->Add(line);
  std::vector<TzmTreeListNode*> nodes;
  if (IsMultiSelect()) {
    for (Integer i = 0; i < GetSelectedCount(); ++i)
      if (TzmTreeListNode* node = GetSelectedNode(i)) nodes.push_back(node);
    std::sort(nodes.begin(), nodes.end(), [](const TzmTreeListNode* a, const TzmTreeListNode* b) {
      return TzmTreeListNode::CompareNodePositions(a, b) < 0;
    });
  } else if (FFocusedNode) {
    nodes.push_back(FFocusedNode);
  }
  for (TzmTreeListNode* node : nodes) {
    GetNodeText(node, line);
    Strings->Add(line);
  }
}

void TCustomzmTreeList::CopySelectedToClipboard() {
  TOwned<TStringList> lines = MakeOwned<TStringList>();
  GetSelectedNodesText(lines.get());
  String text;
  for (Integer i = 0; i < lines->GetCount(); ++i) text += lines->Get(i) + "\r\n";
  Clipboard()->SetAsText(text);
}
