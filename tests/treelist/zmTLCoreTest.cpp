// The tree list control core: defaults, update brackets and metrics, option queries, focus
// moves, node repaints, the container hooks, editing with the edited value posted into its node,
// and the layout storage entry points.
#include "platform/forms/ImgList.h"
#include "platform/rtl/FileTestSupport.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Registry.h"
#include "treelist/zmTextEdit.h"
#include "zmTLTestSupport.h"

namespace {

class zmTLCore : public TzmTreeListTest {
 protected:
  // Cells may be edited and the focus is on a cell, not a row.
  void AllowCellEditing() {
    Tree->SetBehaviorOptions((Tree->GetBehaviorOptions() | zmbEditing) & ~static_cast<TzmTreeListOptions>(zmbRowSelect));
  }
  // Opens the editor on the focused cell as the tree list does and types Text into it.
  TzmInplaceEdit* OpenEditor(const String& Text) {
    Tree->SetInteractionState(tlsEditing);
    TzmInplaceEdit* editor = Tree->GetEditor();
    if (!editor) editor = Tree->CreateEditor();
    Tree->BindEditor(editor);
    editor->ActivateEdit(Rect(20, 20, 120, 38));
    Pump();
    if (!Text.empty()) {
      Headless::PressKey(VK_END);
      Headless::TypeText(Text);
      Pump();
    }
    return editor;
  }
};

TEST_F(zmTLCore, ANewControlHasTheDocumentedDefaults) {
  auto* tree = New<TTestTreeList>(nullptr);
  EXPECT_EQ(tree->GetWidth(), 250);
  EXPECT_EQ(tree->GetHeight(), 150);
  EXPECT_EQ(tree->GetColor(), clWindow);
  EXPECT_TRUE(tree->GetTabStop());
  EXPECT_EQ(tree->GetRowHeight(), 18);
  EXPECT_EQ(tree->GetMetrics().HeaderAreaHeight, 18);
  EXPECT_EQ(tree->GetMetrics().PreviewIndent, 20);
  EXPECT_EQ(tree->GetDragExpandDelay(), 500);
  EXPECT_EQ(tree->GetBehaviorOptions(), 0x37u);
  EXPECT_EQ(tree->GetExtraOptions(), 0x303Eu);
  EXPECT_EQ(tree->GetCustomizeFormPos(), Point(-1000, -1000));
  EXPECT_EQ(tree->GetCustomizeRowCount(), 11);
  EXPECT_EQ(tree->GetMetrics().FixedBandSeparatorWidth, 2);
  EXPECT_EQ(tree->GetMetrics().MaxRowLineCount, -1);
  EXPECT_EQ(tree->GetInteractionState(), tlsIdle);
  EXPECT_EQ(tree->GetPreviewTextFont()->GetColor(), clBlue);
  EXPECT_EQ(tree->GetBands()->GetCount(), 1);
  EXPECT_TRUE(tree->GetDefaultLayout());
  Free(tree);
}

class TCountingTreeList : public TTestTreeList {
  QJ_INLINE_CLASS(TCountingTreeList, TTestTreeList)
 public:
  using TTestTreeList::TTestTreeList;
  int Metrics = 0;

 protected:
  void BeforeUpdateMetrics() override { ++Metrics; }
};

TEST_F(zmTLCore, NestedBracketsRecomputeTheLayoutOnceAtTheOutermostEnd) {
  auto* tree = Add<TCountingTreeList>(Form, "Counting", Rect(0, 0, 100, 100));
  tree->Metrics = 0;
  tree->BeginUpdate();
  tree->BeginUpdate();
  tree->SetShowGrid(true);
  tree->GetHeaderCaptionFont()->SetSize(14);
  tree->EndUpdate();
  EXPECT_EQ(tree->Metrics, 0);
  tree->EndUpdate();
  EXPECT_EQ(tree->Metrics, 1);
  tree->EndUpdate();
  EXPECT_FALSE(tree->IsUpdateLocked()) << "an unbalanced end is ignored";
  EXPECT_EQ(tree->Metrics, 1);
}

TEST_F(zmTLCore, MetricsFollowFontsAndSettings) {
  Tree->BeginUpdate();
  Tree->EndUpdate();
  Integer text = Tree->GetMetrics().TextHeight;
  EXPECT_EQ(Tree->GetMetrics().MinRowHeight, std::max(text + 3, 16));
  EXPECT_EQ(Tree->GetRowHeight(), Tree->GetMetrics().MinRowHeight) << "an unassigned height is the minimum";
  Integer header = Tree->GetMetrics().HeaderRowHeight;
  Tree->SetFrameLook(zmflFlat);
  EXPECT_EQ(Tree->GetMetrics().HeaderRowHeight, header - 1) << "flat headers are a pixel lower";
  EXPECT_EQ(Tree->GetMetrics().HeaderAreaHeight, Tree->GetMetrics().HeaderRowHeight);
  Tree->SetHeadersVisible(false);
  EXPECT_EQ(Tree->GetMetrics().HeaderAreaHeight, 0);
  EXPECT_EQ(Tree->GetMetrics().BandRowHeight, 0) << "bands are hidden";
  Tree->SetIndicatorVisible(true);
  EXPECT_EQ(Tree->GetMetrics().IndicatorWidth, 12);
  EXPECT_EQ(Tree->GetMetrics().FooterHeight, 0);
  Tree->SetShowGrid(true);
  EXPECT_EQ(Tree->GetMetrics().MinRowHeight, std::max(text + 3, 16) + 1) << "both grids add the line";
}

TEST_F(zmTLCore, AnAssignedRowHeightStaysAboveTheMinimum) {
  Tree->SetRowHeight(40);
  EXPECT_EQ(Tree->GetRowHeight(), 40);
  EXPECT_TRUE(Tree->GetMetrics().RowHeightAssigned);
  Tree->SetRowHeight(3);
  EXPECT_EQ(Tree->GetRowHeight(), Tree->GetMetrics().MinRowHeight);
  EXPECT_FALSE(Tree->GetMetrics().RowHeightAssigned) << "a height equal to the minimum is not kept as assigned";
}

TEST_F(zmTLCore, TheNodeImagesSetTheRowHeightAndGoWithTheirList) {
  auto* images = New<TImageList>(Form);
  images->SetSize(30, 30);
  Tree->SetNodeImages(images);
  EXPECT_EQ(Tree->GetRowHeight(), 30);
  Free(images);
  EXPECT_EQ(Tree->GetNodeImages(), nullptr);
  EXPECT_LT(Tree->GetRowHeight(), 30);
}

// ------------------------------------------------------------------ option queries

struct TOptionCase {
  const char* Name;
  bool Extra;
  Cardinal Bit;
  bool (*Query)(TTestTreeList*);
};

void PrintTo(const TOptionCase& Case, std::ostream* Out) { *Out << Case.Name; }

class zmTLOptionQueries : public TzmTreeListTest, public testing::WithParamInterface<TOptionCase> {};

TEST_P(zmTLOptionQueries, EachQueryFollowsItsBit) {
  const TOptionCase& c = GetParam();
  auto set = [&](bool on) {
    if (c.Extra) Tree->SetExtraOptions(on ? Tree->GetExtraOptions() | c.Bit : Tree->GetExtraOptions() & ~c.Bit);
    else Tree->SetBehaviorOptions(on ? Tree->GetBehaviorOptions() | c.Bit : Tree->GetBehaviorOptions() & ~c.Bit);
  };
  set(true);
  EXPECT_TRUE(c.Query(Tree));
  set(false);
  EXPECT_FALSE(c.Query(Tree));
}

#define QUERY(Name) [](TTestTreeList* T) { return T->Name(); }
const TOptionCase kOptionCases[] = {
    {"IsCaseSensitiveSort", true, zmxCaseSensitiveSort, QUERY(IsCaseSensitiveSort)},
    {"IsAutoPreviewLineCount", true, zmxAutoPreviewLineCount, QUERY(IsAutoPreviewLineCount)},
    {"IsAutoSearch", true, zmxAutoSearch, QUERY(IsAutoSearch)},
    {"IsSortOnColumnClick", false, zmbSortOnColumnClick, QUERY(IsSortOnColumnClick)},
    {"IsAutoWidth", false, zmbAutoWidth, QUERY(IsAutoWidth)},
    {"IsDragExpandToggles", true, zmxDragExpandToggles, QUERY(IsDragExpandToggles)},
    {"IsCellEndEllipsis", false, zmbCellEndEllipsis, QUERY(IsCellEndEllipsis)},
    {"IsDragExpand", true, zmxDragExpand, QUERY(IsDragExpand)},
    {"IsDragScroll", true, zmxDragScroll, QUERY(IsDragScroll)},
    {"IsEditing", false, zmbEditing, QUERY(IsEditing)},
    {"IsImmediateEditor", true, zmxImmediateEditor, QUERY(IsImmediateEditor)},
    {"IsDragOutHides", false, zmbDragOutHides, QUERY(IsDragOutHides)},
    {"IsSelectAcrossParents", false, zmbSelectAcrossParents, QUERY(IsSelectAcrossParents)},
    {"IsArrowWrapsToNextNode", true, zmxArrowWrapsToNextNode, QUERY(IsArrowWrapsToNextNode)},
    {"IsMultiSelect", false, zmbMultiSelect, QUERY(IsMultiSelect)},
    {"IsMultiSort", true, zmxMultiSort, QUERY(IsMultiSort)},
    {"IsMultiLineRows", true, zmxMultiLineRows, QUERY(IsMultiLineRows)},
    {"IsRowSelect", false, zmbRowSelect, QUERY(IsRowSelect)},
    {"IsSortHourglass", true, zmxSortHourglass, QUERY(IsSortHourglass)},
    {"IsTabWrapsToNextNode", false, zmbTabWrapsToNextNode, QUERY(IsTabWrapsToNextNode)},
    {"IsRowLayoutNavigation", true, zmxRowLayoutNavigation, QUERY(IsRowLayoutNavigation)},
    {"IsBufferedTextDrawing", true, zmxBufferedTextDrawing, QUERY(IsBufferedTextDrawing)},
    {"IsBandButton", true, zmxBandButton, QUERY(IsBandButton)},
    {"CanSizeBandRow", true, zmxBandRowSizing, QUERY(CanSizeBandRow)},
    {"IsHeaderButton", true, zmxHeaderButton, QUERY(IsHeaderButton)},
    {"CanSizeHeaderRow", true, zmxHeaderRowSizing, QUERY(CanSizeHeaderRow)},
    {"CanSizeRow", true, zmxRowSizing, QUERY(CanSizeRow)},
    {"IsInvertSelection", true, zmxInvertSelection, QUERY(IsInvertSelection)},
    {"ConvertsEditorClicks", false, zmbConvertsEditorClicks, QUERY(ConvertsEditorClicks)},
    {"GetEditorExtOption", true, zmxMouseDownEditor, QUERY(GetEditorExtOption)},
    {"GetFocusCellOption", false, zmbFocusCellOption, QUERY(GetFocusCellOption)},
    {"EditorWantsTab", false, zmbEditorWantsTab, QUERY(EditorWantsTab)},
};
#undef QUERY

INSTANTIATE_TEST_SUITE_P(Bits, zmTLOptionQueries, testing::ValuesIn(kOptionCases),
                         [](const testing::TestParamInfo<TOptionCase>& info) { return info.param.Name; });

TEST_F(zmTLCore, EnterMovesFocusNeedsBothBits) {
  Tree->SetExtraOptions(Tree->GetExtraOptions() | zmxEnterMovesFocus);
  EXPECT_FALSE(Tree->IsEnterMovesFocus());
  Tree->SetExtraOptions(Tree->GetExtraOptions() | zmxImmediateEditor);
  EXPECT_TRUE(Tree->IsEnterMovesFocus());
}

TEST_F(zmTLCore, DragSelectNeedsRowSelectOrNoEditing) {
  Tree->SetExtraOptions(Tree->GetExtraOptions() | zmxDragSelect);
  EXPECT_TRUE(Tree->IsDragSelect()) << "row select is on by default";
  Tree->SetBehaviorOptions(Tree->GetBehaviorOptions() & ~static_cast<TzmTreeListOptions>(zmbRowSelect));
  EXPECT_FALSE(Tree->IsDragSelect()) << "cells can be edited";
}

// ------------------------------------------------------------------ focus

class zmTLFocus : public zmTLCore {
 protected:
  void SetUp() override {
    zmTLCore::SetUp();
    Column("one");
    Column("two");
    N1 = Node("n1");
    N2 = Node("n2");
    N3 = Node("n3");
    Tree->RecordEvents();
  }
  TzmTreeListNode *N1 = nullptr, *N2 = nullptr, *N3 = nullptr;
};

TEST_F(zmTLFocus, NilChangesNothing) {
  Tree->SetFocusedNodeColumn(nullptr, 1, true);
  EXPECT_EQ(Tree->GetFocusedNode(), N1);
  EXPECT_TRUE(Tree->Log.empty());
}

TEST_F(zmTLFocus, UnderALockTheFocusMovesSilentlyButTheEventsFire) {
  Tree->BeginUpdate();
  Tree->SetFocusedNodeColumn(N2, 1, true);
  EXPECT_EQ(Tree->GetFocusedNode(), N2);
  EXPECT_EQ(Tree->GetFocusedVisibleColumn(), 1) << "the column is stored even with row select";
  EXPECT_EQ(Tree->Log, (std::vector<std::string>{"focused n2", "column 1"}));
  Tree->EndUpdate();
}

TEST_F(zmTLFocus, WithRowSelectAnotherColumnOfTheFocusedNodeChangesNothing) {
  Tree->SetFocusedNodeColumn(N1, 1, false);
  EXPECT_EQ(Tree->GetFocusedVisibleColumn(), -1);
  EXPECT_TRUE(Tree->Log.empty());
  Tree->SetBehaviorOptions(Tree->GetBehaviorOptions() & ~static_cast<TzmTreeListOptions>(zmbRowSelect));
  Tree->SetFocusedNodeColumn(N1, 1, false);
  EXPECT_EQ(Tree->GetFocusedVisibleColumn(), 1);
  EXPECT_EQ(Tree->GetFocusedColumn(), 1);
  EXPECT_EQ(Tree->Log, (std::vector<std::string>{"column 1"}));
}

TEST_F(zmTLFocus, AbsoluteIndexesAreClampedToTheShownNodes) {
  Tree->SetFocusedAbsoluteIndex(-5);
  EXPECT_EQ(Tree->GetFocusedNode(), N1);
  Tree->SetFocusedAbsoluteIndex(99);
  EXPECT_EQ(Tree->GetFocusedNode(), N3);
  EXPECT_EQ(Tree->GetFocusedIndex(), 2);
  EXPECT_EQ(Tree->Log, (std::vector<std::string>{"focused n3"}));
}

TEST_F(zmTLFocus, MovingTheFocusIntoACollapsedNodeExpandsItsAncestors) {
  TzmTreeListNode* child = Node("child", N2);
  Tree->SetFocusedNodeColumn(child, 0, true);
  EXPECT_TRUE(N2->GetExpanded());
  EXPECT_EQ(child->GetAbsoluteIndex(), 2);
}

// ------------------------------------------------------------------ repaint

TEST_F(zmTLCore, OnlyShownNodesAreRepainted) {
  TzmTreeListNode* parent = Node("p");
  TzmTreeListNode* hidden = Node("h", parent);
  Pump();
  HWND wnd = Tree->GetHandle();
  RECT r;
  ASSERT_FALSE(GetUpdateRect(wnd, &r, FALSE));
  Tree->InvalidateNode(hidden, true);
  Tree->InvalidateNode(hidden, false);
  EXPECT_FALSE(GetUpdateRect(wnd, &r, FALSE)) << "a node under a collapsed parent";
  Tree->InvalidateNode(parent, false);
  EXPECT_TRUE(GetUpdateRect(wnd, &r, FALSE));
  Pump();
  Tree->BeginUpdate();
  Tree->InvalidateNode(parent, true);
  EXPECT_FALSE(GetUpdateRect(wnd, &r, FALSE)) << "nothing under the update lock";
  Tree->EndUpdate();
}

TEST_F(zmTLCore, ANodeJoinsTheSelectionWhenTheEventAndItsParentAllow) {
  Tree->KeepsSelection = true;
  TzmTreeListNode* p1 = Node("P1");
  TzmTreeListNode* a = Node("A", p1);
  TzmTreeListNode* b = Node("B", p1);
  TzmTreeListNode* c = Node("C", Node("P2"));
  EXPECT_TRUE(Tree->CanSelectNode(c)) << "nothing selected yet";
  EXPECT_EQ(Tree->GetFirstSelectedNode(), nullptr);
  Tree->Selection = {a};
  EXPECT_EQ(Tree->GetFirstSelectedNode(), a);
  EXPECT_TRUE(Tree->CanSelectNode(b));
  EXPECT_FALSE(Tree->CanSelectNode(c)) << "another parent";
  EXPECT_FALSE(Tree->CanSelectNode(p1));
  Tree->SetBehaviorOptions(Tree->GetBehaviorOptions() | zmbSelectAcrossParents);
  EXPECT_TRUE(Tree->CanSelectNode(c));
  Tree->OnCanSelectNode = [&](TObject*, TzmTreeListNode* Node, bool& Allow) { Allow = Node != b; };
  EXPECT_FALSE(Tree->CanSelectNode(b));
  EXPECT_TRUE(Tree->CanSelectNode(c));
  Tree->Selection = {a, b};
  EXPECT_EQ(Tree->StopRangeSelect(), 2);
}

// Cells whose lines a descendant counts (one per word, 10 pixels each), and preview texts.
class TLineCountTree : public TTestTreeList {
  QJ_INLINE_CLASS(TLineCountTree, TTestTreeList)
 public:
  using TTestTreeList::TTestTreeList;
  using TCustomzmTreeList::GetNodePreviewLineCount;
  using TCustomzmTreeList::GetNodeRowLineCount;
  std::vector<std::string> Calls;  // "column width [grids] [inset] text"
  bool Counts = true;
  bool FullRow = false;
  std::function<String(TzmTreeListNode*)> Preview;

 protected:
  bool CalcCellLineCount(TzmTreeListNode*, Integer Column, Integer& Height, Integer& Lines, bool BothGrids,
                         bool ExtraInset, Integer, Integer, Integer Width, const String& Text) override {
    Calls.push_back(std::to_string(Column) + " " + std::to_string(Width) + (BothGrids ? " grids" : "") +
                    (ExtraInset ? " inset" : "") + " " + Text);
    if (!Counts) return false;
    Lines = static_cast<Integer>(std::count(Text.begin(), Text.end(), ' ')) + 1;
    Height = 10 * Lines;
    return true;
  }
  bool IsNodeFullRow(TzmTreeListNode*) override { return FullRow; }
  void GetPreviewText(TzmTreeListNode* Node, String& Text) override { Text = Preview ? Preview(Node) : String(); }
};

TEST_F(zmTLCore, ARowNeedsTheLinesOfItsTallestCell) {
  auto* tree = Add<TLineCountTree>(Form, "Lines", Rect(0, 0, 390, 200));
  tree->CreateColumn(&TzmTreeListColumn::StaticClass(), Form)->SetWidth(100);
  tree->CreateColumn(&TzmTreeListColumn::StaticClass(), Form)->SetWidth(120);
  TzmTreeListNode* node = tree->AddNode(nullptr);
  node->SetStrings(0, "one two three");
  node->SetStrings(1, "x");
  node->SetCachedRowHeight(0);
  Integer height = 18;
  EXPECT_EQ(tree->GetNodeRowLineCount(node, height), 3);
  EXPECT_EQ(height, 30) << "the tallest cell";
  EXPECT_EQ(tree->Calls, (std::vector<std::string>{"0 84 one two three", "1 120 x"}))
      << "the first column less the node's indent";

  struct TCase {
    bool Grid, Invert;
    std::vector<std::string> Calls;
    Integer Height;
  };
  const TCase cases[] = {{true, false, {"0 83 grids one two three", "1 119 grids x"}, 31},
                         {false, true, {"0 83 inset one two three", "1 119 inset x"}, 32}};
  for (const TCase& c : cases) {
    tree->SetShowGrid(c.Grid);
    tree->SetExtraOptions(c.Invert ? tree->GetExtraOptions() | zmxInvertSelection
                                   : tree->GetExtraOptions() & ~static_cast<TzmTreeListOptions>(zmxInvertSelection));
    tree->Calls.clear();
    node->SetCachedRowHeight(0);
    height = 18;
    EXPECT_EQ(tree->GetNodeRowLineCount(node, height), 3);
    EXPECT_EQ(height, c.Height);
    EXPECT_EQ(tree->Calls, c.Calls);
  }

  tree->Calls.clear();
  node->SetCachedRowHeight(40);
  node->SetCachedLineCount(7);
  EXPECT_EQ(tree->GetNodeRowLineCount(node, height), 7) << "a row measured before";
  EXPECT_TRUE(tree->Calls.empty());
  node->SetCachedRowHeight(0);
  tree->FullRow = true;
  EXPECT_EQ(tree->GetNodeRowLineCount(node, height), 1);
  tree->FullRow = false;
  tree->Counts = false;
  height = 18;
  EXPECT_EQ(tree->GetNodeRowLineCount(node, height), -1) << "no column counts its lines";
  EXPECT_EQ(height, 18);
}

TEST_F(zmTLCore, PreviewLinesAreMeasuredFromEachNodesText) {
  auto* tree = Add<TLineCountTree>(Form, "Preview", Rect(0, 0, 390, 200));
  tree->CreateColumn(&TzmTreeListColumn::StaticClass(), Form)->SetWidth(200);
  TzmTreeListNode* empty = tree->AddNode(nullptr);
  TzmTreeListNode* shortText = tree->AddNode(nullptr);
  TzmTreeListNode* longText = tree->AddNode(nullptr);
  tree->Preview = [&](TzmTreeListNode* Node) -> String {
    if (Node == shortText) return "short";
    if (Node == longText) return "a preview text long enough to need many more lines than the limit allows";
    return String();
  };
  tree->SetBehaviorOptions(tree->GetBehaviorOptions() | zmbPreview);
  EXPECT_EQ(tree->GetNodePreviewLineCount(nullptr), 2) << "the setting";
  EXPECT_EQ(tree->GetNodePreviewLineCount(empty), 0);
  EXPECT_EQ(tree->GetNodePreviewLineCount(shortText), 1);
  EXPECT_EQ(tree->GetNodePreviewLineCount(longText), 2) << "at most the setting";
  Integer plain = tree->GetNodeRowHeight(empty, tree->GetRowHeight(), true);
  EXPECT_EQ(tree->GetNodeRowHeight(shortText, tree->GetRowHeight(), true),
            plain + tree->GetMetrics().PreviewTextHeight + 2);
  tree->SetExtraOptions(tree->GetExtraOptions() & ~static_cast<TzmTreeListOptions>(zmxAutoPreviewLineCount));
  EXPECT_EQ(tree->GetNodePreviewLineCount(empty), 2) << "without measuring: the setting";
}

// ------------------------------------------------------------------ header buttons

class TDropDownTreeList : public TTestTreeList {
  QJ_INLINE_CLASS(TDropDownTreeList, TTestTreeList)
 public:
  using TTestTreeList::TTestTreeList;

 protected:
  bool HasHeaderDropDownButtons() override { return true; }
};

TEST_F(zmTLCore, HeaderButtonStates) {
  Column("a");
  EXPECT_EQ(Tree->GetHeaderButtonState(0), 0) << "no drop-down buttons";
  auto* tree = Add<TDropDownTreeList>(Form, "DropDown", Rect(0, 0, 100, 100));
  TzmTreeListColumn* a = tree->CreateColumn(&TzmTreeListColumn::StaticClass(), Form);
  tree->CreateColumn(&TzmTreeListColumn::StaticClass(), Form);
  EXPECT_EQ(tree->GetHeaderButtonState(0), zmhbShown);
  EXPECT_EQ(tree->GetHeaderButtonState(1), zmhbShown);
  a->SetDisableHeaderButton(true);
  EXPECT_EQ(tree->GetHeaderButtonState(0), 0);
}

// ------------------------------------------------------------------ container hooks

TEST_F(zmTLCore, TheEditorsColourAndFontComeFromTheFocusedColumn) {
  TzmTreeListColumn* plain = Column("plain");
  TzmTreeListColumn* styled = Column("styled");
  styled->SetColor(clYellow);
  auto font = std::make_unique<TFont>();
  font->SetSize(20);
  styled->SetFont(font.get());
  TzmTreeListNode* n = Node("n");
  AllowCellEditing();
  Tree->SetFocusedNodeColumn(n, 0, false);
  EXPECT_EQ(Tree->GetEditColor(), plain->GetColor());
  EXPECT_EQ(Tree->GetEditFont(), Tree->GetFont()) << "an unassigned font is the control's";
  Tree->SetFocusedNodeColumn(n, 1, false);
  EXPECT_EQ(Tree->GetEditColor(), clYellow);
  EXPECT_EQ(Tree->GetEditFont()->GetSize(), 20);
  Tree->OnGetEditorColor = [](TObject*, TColor& Color) { Color = clLime; };
  EXPECT_EQ(Tree->GetEditColor(), clLime);
}

TEST_F(zmTLCore, TheLookAndFeelKindFollowsTheFrameLook) {
  EXPECT_EQ(Tree->GetEditorLookAndFeelKind(), 2);
  Tree->SetFrameLook(zmflUltraFlat);
  EXPECT_EQ(Tree->GetEditorLookAndFeelKind(), 1);
}

TEST_F(zmTLCore, TheEditStyleTakesItsDefaultsFromTheTreeList) {
  Column("a");
  Node("n");
  AllowCellEditing();
  Tree->SetFocusedNodeColumn(Tree->GetRootNode(0), 0, false);
  TzmInplaceEdit* editor = Tree->CreateEditor();
  auto* style = As<TzmTreeListEditStyle>(editor->GetStyle());
  ASSERT_NE(style, nullptr);
  EXPECT_EQ(style->GetBorderStyle(), xbsSingle);
  Tree->SetShowGrid(true);
  EXPECT_EQ(style->GetBorderStyle(), xbsNone);
  EXPECT_EQ(style->GetButtonStyle(), TzmEditButtonViewStyle::bts3D);
  Tree->SetFrameLook(zmflFlat);
  EXPECT_EQ(style->GetButtonStyle(), TzmEditButtonViewStyle::btsFlat);
  Tree->SetFrameLook(zmflUltraFlat);
  EXPECT_EQ(style->GetButtonStyle(), TzmEditButtonViewStyle::btsHotFlat);
  EXPECT_EQ(style->GetEdges(), zmAllEdges);
  EXPECT_FALSE(style->GetShadow());
}

// ------------------------------------------------------------------ editing

class zmTLEditing : public zmTLCore {
 protected:
  void SetUp() override {
    zmTLCore::SetUp();
    First = Column("first");
    Second = Column("second");
    N = Node("alpha");
    N->SetStrings(1, "beta");
    AllowCellEditing();
    Tree->SetFocusedNodeColumn(N, 1, false);
    Tree->RecordEvents();
  }
  TzmTreeListColumn *First = nullptr, *Second = nullptr;
  TzmTreeListNode* N = nullptr;
};

TEST_F(zmTLEditing, BindingLoadsTheCellIntoItsColumnsEditor) {
  TzmInplaceEdit* editor = OpenEditor("");
  EXPECT_TRUE(editor->IsExactly<TzmInplaceTreeListTextEdit>());
  EXPECT_EQ(editor->GetText(), "beta");
  EXPECT_FALSE(editor->GetModified());
  EXPECT_EQ(Tree->GetEditorColumn(), 1);
  EXPECT_EQ(Tree->GetEditorNode(), N);
  EXPECT_EQ(Tree->GetEditor(), editor) << "one editor per class, kept by the control";
}

TEST_F(zmTLEditing, EndingTheEditPostsTheValueIntoTheNode) {
  OpenEditor("X");
  Tree->EndEditing();
  EXPECT_EQ(N->GetStrings(1), "betaX");
  EXPECT_EQ(Tree->GetInteractionState(), tlsIdle);
  EXPECT_EQ(Tree->GetEditorColumn(), -1);
  EXPECT_EQ(Tree->Log, (std::vector<std::string>{"edited 1 alpha"}));
  EXPECT_FALSE(Tree->GetActiveEditor()->IsEditVisible());
}

TEST_F(zmTLEditing, AnUnchangedEditStoresNothingButStillReportsTheEdit) {
  OpenEditor("");
  N->SetStrings(1, "changed elsewhere");
  Tree->EndEditing();
  EXPECT_EQ(N->GetStrings(1), "changed elsewhere");
  EXPECT_EQ(Tree->Log, (std::vector<std::string>{"edited 1 alpha"}));
}

TEST_F(zmTLEditing, ARefusedValueKeepsTheEditorOpenOnEndEditing) {
  Second->OnValidate = [](TObject*, String& Text, bool& Accept) {
    Text = "no";
    Accept = false;
  };
  OpenEditor("X");
  EXPECT_THROW(Tree->EndEditing(), EzmEditInvalidInput);
  EXPECT_EQ(Tree->GetInteractionState(), tlsEditing);
  EXPECT_EQ(N->GetStrings(1), "beta");
}

TEST_F(zmTLEditing, ScrollingAndResizingLeaveARefusedEditWithoutRaising) {
  Second->OnValidate = [](TObject*, String&, bool& Accept) { Accept = false; };
  OpenEditor("X");
  EXPECT_NO_THROW(Tree->SetTopIndex(1));
  EXPECT_EQ(Tree->GetInteractionState(), tlsIdle);
  EXPECT_EQ(N->GetStrings(1), "beta") << "the refused value is given up";
  OpenEditor("Y");
  EXPECT_NO_THROW(Tree->SetBounds(Tree->GetLeft(), Tree->GetTop(), Tree->GetWidth() - 20, Tree->GetHeight()));
  EXPECT_EQ(Tree->GetInteractionState(), tlsIdle);
  OpenEditor("Z");
  EXPECT_NO_THROW(Tree->SetLeftCoord(5));
  EXPECT_EQ(Tree->GetInteractionState(), tlsIdle);
  EXPECT_EQ(N->GetStrings(1), "beta");
}

TEST_F(zmTLEditing, BeginUpdatePostsTheOpenEditBeforeForgettingTheCell) {
  OpenEditor("X");
  Tree->BeginUpdate();
  EXPECT_EQ(N->GetStrings(1), "betaX");
  EXPECT_EQ(Tree->GetInteractionState(), tlsIdle);
  EXPECT_EQ(Tree->GetEditorNode(), nullptr);
  EXPECT_FALSE(Tree->GetActiveEditor()->IsEditVisible());
  Tree->EndUpdate();
  EXPECT_EQ(Tree->Log, (std::vector<std::string>{"edited 1 alpha"}));
}

TEST_F(zmTLEditing, BeginUpdateGivesUpARefusedValueWithItsEventAndWithoutRaising) {
  Second->OnValidate = [](TObject*, String&, bool& Accept) { Accept = false; };
  OpenEditor("X");
  EXPECT_NO_THROW(Tree->BeginUpdate());
  EXPECT_EQ(N->GetStrings(1), "beta");
  EXPECT_EQ(Tree->Log, (std::vector<std::string>{"edited 1 alpha"}));
  Tree->EndUpdate();
}

TEST_F(zmTLEditing, AddingANodePostsTheOpenEdit) {
  OpenEditor("X");
  Node("other");
  EXPECT_EQ(N->GetStrings(1), "betaX");
}

TEST_F(zmTLEditing, DeletingTheEditedNodeGivesItsEditUp) {
  TzmTreeListNode* other = Node("other");
  OpenEditor("X");
  Free(N);
  EXPECT_EQ(Tree->GetEditorNode(), nullptr);
  EXPECT_EQ(Tree->GetInteractionState(), tlsIdle);
  EXPECT_EQ(other->GetStrings(1), "");
}

TEST_F(zmTLEditing, AnEditIsPostedIntoItsColumnBeforeColumnsMoveOrGo) {
  OpenEditor("X");
  Second->SetIndex(0);
  EXPECT_EQ(N->GetStrings(0), "betaX");
  EXPECT_EQ(N->GetStrings(1), "alpha");
  Tree->SetFocusedNodeColumn(N, 1, false);
  OpenEditor("Y");
  Free(Second);
  EXPECT_EQ(N->GetStrings(0), "alphaY") << "the edited column's string stays in line";
  EXPECT_EQ(Tree->ColumnCount(), 1);
}

TEST_F(zmTLEditing, BeginUpdateDuringANodePressKeepsTheEditorForTheRelease) {
  Tree->SetInteractionState(tlsNodeDown);
  Tree->BeginUpdate();
  EXPECT_TRUE(Tree->GetPendingEditorOnRelease());
  EXPECT_EQ(Tree->GetInteractionState(), tlsIdle);
  Tree->EndUpdate();
}

TEST_F(zmTLEditing, TheEditorGoesStaleWhenTheFocusedColumnMoves) {
  OpenEditor("");
  EXPECT_FALSE(Tree->IsEditorStale());
  Tree->BeginUpdate();
  Tree->SetFocusedNodeColumn(N, 0, false);
  Tree->EndUpdate();
  EXPECT_TRUE(Tree->IsEditorStale());
}

TEST_F(zmTLEditing, ChangesAndValidationReachTheControlAndTheColumn) {
  std::vector<std::string> heard;
  Tree->OnEditorTextChanged = [&](TObject*, Integer c) { heard.push_back("tree change " + std::to_string(c)); };
  Tree->OnEditorValidate = [&](TObject*, Integer c, String&, bool&) { heard.push_back("tree validate " + std::to_string(c)); };
  Second->OnChange = [&](TObject*) { heard.push_back("column change"); };
  Second->OnValidate = [&](TObject*, String&, bool&) { heard.push_back("column validate"); };
  OpenEditor("Z");
  ASSERT_FALSE(heard.empty());
  EXPECT_EQ(heard.front(), "tree change 1") << "the load while binding is not a change";
  heard.clear();
  Tree->EndEditing();
  EXPECT_EQ(heard, (std::vector<std::string>{"tree validate 1", "column validate"}));
}

TEST_F(zmTLEditing, AReadOnlyColumnOpensAReadOnlyEditor) {
  Second->SetReadOnly(true);
  TzmInplaceEdit* editor = OpenEditor("");
  EXPECT_TRUE(editor->GetReadOnly());
  Tree->SetReadOnly(true);
  Second->SetReadOnly(false);
  EXPECT_TRUE(Second->GetReadOnly()) << "a False column answer gives way to the control's";
}

// ------------------------------------------------------------------ layout storage

class TLayoutTreeList : public TTestTreeList {
  QJ_INLINE_CLASS(TLayoutTreeList, TTestTreeList)
 public:
  using TTestTreeList::TTestTreeList;
  std::vector<String> Reads, Writes;

 protected:
  void ReadLayout(TObject*, const String& Path) override { Reads.push_back(Path); }
  void WriteLayout(TObject* Store, const String& Path) override {
    Writes.push_back(Path);
    if (auto* ini = As<TCustomIniFile>(Store)) ini->WriteInteger(Path, "Written", 1);
  }
};

class zmTLLayoutStorage : public zmTLCore {
 protected:
  void SetUp() override {
    zmTLCore::SetUp();
    List = Add<TLayoutTreeList>(Form, "List", Rect(0, 0, 50, 50));
  }
  TTempFolder Folder;
  TEnvScope Config{"XDG_CONFIG_HOME", Folder.Path()};
  TLayoutTreeList* List = nullptr;
};

TEST_F(zmTLLayoutStorage, LoadingAndSavingFindTheSameSection) {
  String file = Folder.File("layout.ini");
  List->SaveToIniFile(file);
  List->LoadFromIniFile(file);
  EXPECT_EQ(List->Writes, (std::vector<String>{"Form1_List"}));
  EXPECT_EQ(List->Reads, (std::vector<String>{"Form1_List"}));
  TMemIniFile ini(file);
  EXPECT_EQ(ini.ReadInteger("Form1_List", "Written", 0), 1) << "the file is written back";
}

TEST_F(zmTLLayoutStorage, AControlTakenOutOfItsFormKeepsItsSection) {
  String file = Folder.File("layout.ini");
  List->SetParent(nullptr);
  List->SaveToIniFile(file);
  List->LoadFromIniFile(file);
  EXPECT_EQ(List->Writes, (std::vector<String>{"Form1_List"}));
  EXPECT_EQ(List->Reads, (std::vector<String>{"Form1_List"}));
}

TEST_F(zmTLLayoutStorage, AControlMovedToAnotherFormTakesItsSectionThere) {
  String file = Folder.File("layout.ini");
  TForm* other = NewForm();
  other->SetName("Form2");
  List->SetParent(other);
  List->LoadFromIniFile(file);
  List->SaveToIniFile(file);
  EXPECT_EQ(List->Reads, (std::vector<String>{"Form2_List"}));
  EXPECT_EQ(List->Writes, (std::vector<String>{"Form2_List"}));
}

TEST_F(zmTLLayoutStorage, AnExplicitSectionWins) {
  List->SetLayoutIniSection("\\Mine");
  List->SaveToIniFile(Folder.File("layout.ini"));
  EXPECT_EQ(List->Writes, (std::vector<String>{"\\Mine"}));
}

TEST_F(zmTLLayoutStorage, AMissingRegistryKeyIsNeitherReadNorCreated) {
  List->LoadFromRegistry("Software\\QJ\\Missing");
  EXPECT_TRUE(List->Reads.empty());
  TRegistry check(KEY_READ);
  EXPECT_FALSE(check.KeyExists("\\Software\\QJ\\Missing"));
  TRegistry writer;
  ASSERT_TRUE(writer.OpenKey("\\Software\\QJ\\Present", true));
  writer.CloseKey();
  List->LoadFromRegistry("Software\\QJ\\Present");
  EXPECT_EQ(List->Reads, (std::vector<String>{"Software\\QJ\\Present"}));
}

}  // namespace
