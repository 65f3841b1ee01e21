// Tree list layout and rows: the display order patched on expansion and collapse, relative
// nodes, row counts and scrolling into view, band and column widths, the draw info's areas,
// header items and rows.
#include <random>

#include "zmTLTestSupport.h"

namespace {

class zmTLLayout : public TzmTreeListTest {
 protected:
  // Gives the control a client area of the size asked.
  void ClientSize(Integer Width, Integer Height) {
    TRect client = Tree->GetClientRect();
    Tree->SetBounds(Tree->GetLeft(), Tree->GetTop(), Tree->GetWidth() + Width - client.Width(),
                    Tree->GetHeight() + Height - client.Height());
    Pump();
  }
  // Count roots named "0", "1" ...
  void Roots(Integer Count) {
    Tree->BeginUpdate();
    for (Integer i = 0; i < Count; ++i) Node(IntToStr(i));
    Tree->EndUpdate();
  }
  // Every shown node's display index is its position, and a full rebuild gives the same order.
  void ExpectIndexInStep() {
    std::vector<String> patched = Shown();
    for (Integer i = 0; i < Tree->GetVisibleNodeCount(); ++i)
      ASSERT_EQ(Tree->IndexOfVisibleNode(Tree->VisibleNodeAt(i)), i);
    Tree->RebuildVisibleNodes();
    ASSERT_EQ(Shown(), patched);
  }
};

TEST_F(zmTLLayout, ExpansionPatchesTheDisplayOrderLikeAFullBuild) {
  std::mt19937 random(7);
  std::vector<TzmTreeListNode*> nodes;
  Tree->BeginUpdate();
  for (Integer i = 0; i < 200; ++i) {
    TzmTreeListNode* parent = nodes.empty() || random() % 4 == 0 ? nullptr : nodes[random() % nodes.size()];
    nodes.push_back(Node("N" + IntToStr(i), parent));
  }
  Tree->EndUpdate();
  for (Integer step = 0; step < 400; ++step) {
    TzmTreeListNode* node = nodes[random() % nodes.size()];
    node->SetExpanded(!node->GetExpanded());
    ExpectIndexInStep();
  }
}

TEST_F(zmTLLayout, CollapsingANestedExpandedSubtreeRemovesAllItsRows) {
  TzmTreeListNode* r1 = Node("R1");
  TzmTreeListNode* a = Node("A", r1);
  Node("A1", a);
  Node("B", r1);
  Node("R2");
  a->SetExpanded(true);
  r1->SetExpanded(true);
  EXPECT_EQ(Shown(), (std::vector<String>{"R1", "A", "A1", "B", "R2"}));
  r1->SetExpanded(false);
  EXPECT_EQ(Shown(), (std::vector<String>{"R1", "R2"}));
  ExpectIndexInStep();
  r1->SetExpanded(true);
  EXPECT_EQ(Shown(), (std::vector<String>{"R1", "A", "A1", "B", "R2"})) << "the inner expansion is kept";
  ExpectIndexInStep();
}

TEST_F(zmTLLayout, DeletingTheLastNodeMovesTheFocusToNil) {
  TzmTreeListNode* only = Node("Only");
  Tree->RecordEvents();
  Free(only);
  EXPECT_EQ(Tree->GetFocusedNode(), nullptr);
  EXPECT_EQ(Tree->GetTopNode(), nullptr);
  EXPECT_EQ(Tree->Log, (std::vector<std::string>{"deleted Only", "focused nil"}));
}

TEST_F(zmTLLayout, RelativeNodes) {
  TzmTreeListNode* r1 = Node("R1");
  TzmTreeListNode* a = Node("A", r1);
  TzmTreeListNode* r2 = Node("R2");
  TzmTreeListNode* b = Node("B", r2);
  TzmTreeListNode* b1 = Node("B1", b);
  struct Case {
    TzmTreeListNode* From;
    TzmTreeListRelative Kind;
    bool Flag;
    TzmTreeListNode* Expected;
  };
  for (const Case& c : {Case{a, zmrFirst, false, r1}, Case{r2, zmrPrior, false, r1}, Case{r1, zmrNext, false, r2},
                        Case{r1, zmrNext, true, a}, Case{r1, zmrLast, false, r2}, Case{r1, zmrLast, true, b1},
                        Case{nullptr, zmrFirst, false, nullptr}})
    EXPECT_EQ(Tree->GetRelativeNode(c.From, c.Kind, c.Flag), c.Expected) << c.Kind << " " << c.Flag;
  Tree->SetFocusedNodeColumn(r1, 0, false);
  EXPECT_EQ(Tree->MoveFocusRelative(zmrLast, true), b1);
  EXPECT_TRUE(r2->GetExpanded() && b->GetExpanded()) << "the focus opens the way to its node";
}

TEST_F(zmTLLayout, RowCountsFromTheTopAndUpwardWhenRowsRunOut) {
  Roots(10);
  Tree->SetRowHeight(18);
  ASSERT_EQ(Tree->GetRowHeight(), 18);
  Integer page = 0, shown = 0;
  EXPECT_EQ(Tree->CountRowsFrom(Tree->VisibleNodeAt(0), 100, page, shown), 90);
  EXPECT_EQ(shown, 6);
  EXPECT_EQ(page, 5);
  Tree->CountRowsFrom(Tree->VisibleNodeAt(7), 100, page, shown);
  EXPECT_EQ(shown, 6);
  EXPECT_EQ(page, 5);
  Tree->CountRowsFrom(nullptr, 100, page, shown);
  EXPECT_EQ(page, 1) << "at least one row";
}

TEST_F(zmTLLayout, MakingANodeVisibleScrollsItToTheBottomRow) {
  Roots(40);
  TzmTreeListNode* deep = Node("Deep", Node("Inner", Tree->GetRootNode(30)));
  Tree->SetRowHeight(18);
  Tree->GetRootNode(30)->SetExpanded(false);
  deep->MakeVisible();
  ASSERT_TRUE(deep->IsVisible());
  Integer index = deep->GetAbsoluteIndex();
  Integer top = Tree->GetTopIndex();
  EXPECT_EQ(top, Tree->GetTopIndexForBottom(index));
  EXPECT_EQ(index, top + Tree->GetPageRowCount() - 1) << "the node is the last full row";
  Tree->GetRootNode(2)->MakeVisible();
  EXPECT_EQ(Tree->GetTopIndex(), 2) << "a node above the page becomes the top row";
  Integer pixels = Tree->GetScrollPixels(-2);
  EXPECT_EQ(pixels, -36);
  EXPECT_EQ(Tree->GetScrollPixels(2), 36);
}

TEST_F(zmTLLayout, AnEmptyControlLaysOutNoItems) {
  ClientSize(250, 150);
  TzmTreeListDrawInfo info;
  Tree->CalcDrawInfo(info);
  EXPECT_TRUE(info.Headers.empty());
  EXPECT_TRUE(info.Rows.empty());
  EXPECT_EQ(info.RowsRect.Top, Tree->GetMetrics().HeaderAreaHeight);
  EXPECT_EQ(info.RowsRect.Bottom, 150);
  EXPECT_EQ(info.BandRowRect, TRect{}) << "no band row without shown bands";
  EXPECT_EQ(info.FooterRect, TRect{});
}

class zmTLBandWidths : public zmTLLayout {
 protected:
  // One band per width, each with one column of that width.
  void Bands(std::initializer_list<Integer> Widths) {
    Tree->BeginUpdate();
    Integer b = 0;
    for (Integer width : Widths) {
      TzmTreeListBand* band = b == 0 ? Tree->GetBands()->GetItem(0) : Tree->GetBands()->Add();
      band->SetMinWidth(30);
      band->SetWidth(width);
      TzmTreeListColumn* column = Column("C" + IntToStr(b));
      column->SetBandIndex(b);
      column->SetMinWidth(30);
      column->SetWidth(width);
      ++b;
    }
    Tree->EndUpdate();
  }
};

TEST_F(zmTLBandWidths, AutoWidthSharesTheClientInProportion) {
  ClientSize(600, 200);
  Bands({100, 100, 200});
  Tree->SetBehaviorOptions(Tree->GetBehaviorOptions() | zmbAutoWidth);
  EXPECT_EQ(Tree->GetTotalBandsWidth(), 600);
  EXPECT_EQ(Tree->GetBandDisplayWidth(0), 150);
  EXPECT_EQ(Tree->GetBandDisplayWidth(1), 150);
  EXPECT_EQ(Tree->GetBandDisplayWidth(2), 300);
  TzmTreeListDrawInfo info;
  Tree->CalcDrawInfo(info);
  ASSERT_EQ(info.Headers.size(), 3u);
  EXPECT_EQ(info.Headers[2].Bounds.Left, 300);
  EXPECT_EQ(info.Headers[2].Bounds.Right, 600);
  EXPECT_TRUE(info.EmptyRightRect.IsEmpty());
}

TEST_F(zmTLBandWidths, NarrowBandsLeaveAnEmptyAreaAtTheRight) {
  ClientSize(600, 200);
  Bands({100, 150});
  TzmTreeListDrawInfo info;
  Tree->CalcDrawInfo(info);
  EXPECT_EQ(Tree->GetTotalBandsWidth(), 250);
  EXPECT_EQ(info.EmptyRightRect, Rect(250, info.HeaderRect.Top, 600, info.RowsRect.Bottom));
  EXPECT_EQ(info.HeaderRect.Right, 250);
  EXPECT_EQ(info.ContentRight, 249);
}

TEST_F(zmTLBandWidths, ScrollingBringsAColumnIntoView) {
  ClientSize(300, 200);
  Bands({200, 400, 100});
  Tree->MakeColumnVisible(1);
  EXPECT_EQ(Tree->GetHorzOffset(), 200) << "wider than the area: its left edge";
  Tree->MakeColumnVisible(2);
  EXPECT_EQ(Tree->GetHorzOffset(), 400);
  Tree->MakeColumnVisible(0);
  EXPECT_EQ(Tree->GetHorzOffset(), 0);
  Tree->SetLeftCoord(10000);
  EXPECT_EQ(Tree->GetHorzOffset(), 400) << "clamped to the scrollable width";
  TzmTreeListDrawInfo info;
  Tree->CalcDrawInfo(info);
  ASSERT_FALSE(info.Bands.empty());
  EXPECT_EQ(info.Bands.front().BandIndex, 1) << "the first band is scrolled out of sight";
  EXPECT_EQ(info.Bands.front().Bounds.Left, -200);
  EXPECT_EQ(info.Bands.front().VisibleBounds.Left, 0);
}

// Columns in one 200-pixel band: widths, sizing and minimums against the header items' widths.
struct ColumnRowCase {
  const char* Name;
  std::vector<Integer> Widths;
  std::vector<Integer> MinWidths;
  std::vector<bool> Sizable;
  std::vector<Integer> Expected;
};

class zmTLColumnRows : public zmTLLayout, public ::testing::WithParamInterface<ColumnRowCase> {};

TEST_P(zmTLColumnRows, HeaderWidths) {
  const ColumnRowCase& c = GetParam();
  ClientSize(400, 200);
  Tree->BeginUpdate();
  TzmTreeListBand* band = Tree->GetBands()->GetItem(0);
  band->SetMinWidth(0);
  Tree->SetDefaultLayout(false);
  Tree->SetExtraOptions(Tree->GetExtraOptions() & ~zmxDefaultLayout);
  for (size_t i = 0; i < c.Widths.size(); ++i) {
    TzmTreeListColumn* column = Column("C" + IntToStr(static_cast<Integer>(i)));
    column->SetMinWidth(c.MinWidths[i]);
    column->SetWidth(c.Widths[i]);
    column->SetSizing(c.Sizable[i]);
  }
  band->SetWidth(200);
  Tree->EndUpdate();
  TzmTreeListDrawInfo info;
  Tree->CalcDrawInfo(info);
  std::vector<Integer> widths;
  for (const auto& header : info.Headers) widths.push_back(header.Bounds.Width());
  EXPECT_EQ(widths, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, zmTLColumnRows,
    ::testing::Values(ColumnRowCase{"FixedColumnKeepsItsWidth", {80, 100, 60}, {10, 10, 10}, {false, true, true}, {80, 75, 45}},
                      ColumnRowCase{"ProportionalShares", {50, 150}, {10, 10}, {true, true}, {50, 150}},
                      ColumnRowCase{"MinimumFixedFirst", {10, 190}, {60, 10}, {true, true}, {60, 140}},
                      ColumnRowCase{"MinimumsAboveTheirShareAreKept", {100, 100, 100}, {120, 120, 50}, {true, true, true}, {120, 120, 50}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(zmTLLayout, RowsThatDoNotFillTheAreaLeaveAnAreaBelow) {
  ClientSize(300, 200);
  Column("C");
  Roots(3);
  Tree->SetRowHeight(18);
  TzmTreeListDrawInfo info;
  Tree->CalcDrawInfo(info);
  ASSERT_EQ(info.Rows.size(), 3u);
  Integer bottom = info.RowsRect.Top + 3 * 18;
  EXPECT_EQ(info.LastRowBottom, bottom - 1);
  EXPECT_EQ(info.BelowRowsRect.Top, bottom);
  EXPECT_EQ(info.BelowRowsRect.Bottom, info.RowsRect.Bottom);
  Roots(30);
  Tree->CalcDrawInfo(info);
  EXPECT_EQ(info.LastRowBottom, -1) << "the rows fill the area";
  EXPECT_EQ(static_cast<Integer>(info.Rows.size()), Tree->GetShownRowCount());
}

TEST_F(zmTLLayout, NodeIndentAndCellRectangle) {
  ClientSize(300, 200);
  Column("C");
  TzmTreeListNode* root = Node("R");
  TzmTreeListNode* child = Node("C", root);
  Node("G", child);
  root->SetExpanded(true);
  Integer indent = 0, textLeft = 0;
  Tree->GetNodeIndent(child, indent, textLeft);
  EXPECT_EQ(indent, 32) << "level 1 with children: two indents";
  Tree->GetNodeIndent(root, indent, textLeft);
  EXPECT_EQ(indent, 16);
  TRect cell = Tree->GetCellRect(child, 0);
  TRect node = Tree->GetNodeRect(child);
  EXPECT_EQ(cell.Left, 32);
  EXPECT_EQ(cell.Top, node.Top);
  EXPECT_EQ(cell.Bottom, node.Top + Tree->GetRowHeight());
  EXPECT_EQ(Tree->GetCellRect(child, 5), zmNoRect);
}

}  // namespace
