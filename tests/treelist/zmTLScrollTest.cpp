// Tree list scrolling: the scroll bars follow the content, both go when each is needed only for the
// other, small scrolls move pixels and repaint only what they uncover, node repaints cover the
// node's row (or everything below it), the scroll position stays inside the content.
#include "zmTLTestSupport.h"

namespace {

class zmTLScroll : public TzmTreeListTest {
 protected:
  void ClientSize(Integer Width, Integer Height) {
    TRect client = Tree->GetClientRect();
    Tree->SetBounds(Tree->GetLeft(), Tree->GetTop(), Tree->GetWidth() + Width - client.Width(),
                    Tree->GetHeight() + Height - client.Height());
    Pump();
  }
  void Roots(Integer Count) {
    Tree->BeginUpdate();
    for (Integer i = 0; i < Count; ++i) Node(IntToStr(Tree->GetRootCount()));
    Tree->EndUpdate();
  }
  // One band per width (the first is the control's), each with one column as wide.
  void Bands(std::initializer_list<Integer> Widths) {
    Tree->BeginUpdate();
    Integer b = 0;
    for (Integer width : Widths) {
      TzmTreeListBand* band = b == 0 ? Tree->GetBands()->GetItem(0) : Tree->GetBands()->Add();
      band->SetWidth(width);
      TzmTreeListColumn* column = Column("C" + IntToStr(b));
      column->SetBandIndex(b);
      column->SetWidth(width);
      ++b;
    }
    Tree->EndUpdate();
  }
  bool HasBar(DWORD Bar) { return (GetWindowLong(Tree->GetHandle(), GWL_STYLE) & Bar) != 0; }
  SCROLLINFO Bar(int Which) {
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    Tree->GetScrollInfo(Which, info);
    return info;
  }
  // Whether the client point waits to be painted.
  bool Invalid(Integer X, Integer Y) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(Tree->GetHandle(), region, FALSE);
    bool inside = PtInRegion(region, X, Y);
    DeleteObject(region);
    return inside;
  }
  bool NothingInvalid() {
    RECT r;
    return !GetUpdateRect(Tree->GetHandle(), &r, FALSE);
  }
  TRect RowsRect() {
    TzmTreeListDrawInfo info;
    Tree->CalcAreaRects(info);
    return info.RowsRect;
  }
};

TEST_F(zmTLScroll, TheBarsShowOnlyWhileTheContentDoesNotFit) {
  ClientSize(300, 200);
  Column("Name");
  Roots(3);
  EXPECT_FALSE(HasBar(WS_VSCROLL));
  EXPECT_FALSE(HasBar(WS_HSCROLL));

  Roots(30);
  ASSERT_TRUE(HasBar(WS_VSCROLL));
  EXPECT_FALSE(HasBar(WS_HSCROLL));
  SCROLLINFO vert = Bar(SB_VERT);
  EXPECT_EQ(vert.nMin, 0);
  EXPECT_EQ(vert.nMax, 32) << "one position per shown node";
  EXPECT_EQ(static_cast<Integer>(vert.nPage), Tree->GetPageRowCount());
  Tree->SetTopIndex(5);
  EXPECT_EQ(Bar(SB_VERT).nPos, 5);

  Tree->ColumnAt(0)->SetWidth(700);
  ASSERT_TRUE(HasBar(WS_HSCROLL));
  SCROLLINFO horz = Bar(SB_HORZ);
  EXPECT_EQ(horz.nMax, 699);
  EXPECT_EQ(static_cast<Integer>(horz.nPage), Tree->GetScrollAreaWidth());
  Tree->SetLeftCoord(40);
  EXPECT_EQ(Bar(SB_HORZ).nPos, 40);

  Tree->BeginUpdate();
  while (Tree->GetRootCount() > 2) Free(Tree->GetRootNode(Tree->GetRootCount() - 1));
  Tree->ColumnAt(0)->SetWidth(100);
  Tree->EndUpdate();
  EXPECT_FALSE(HasBar(WS_VSCROLL));
  EXPECT_FALSE(HasBar(WS_HSCROLL));
  EXPECT_EQ(Tree->GetHorzOffset(), 0) << "everything fits: back at the left edge";
}

TEST_F(zmTLScroll, ExpandingAndCollapsingMoveTheVerticalRange) {
  ClientSize(300, 200);
  Column("Name");
  TzmTreeListNode* parent = Node("P");
  for (Integer i = 0; i < 40; ++i) Node("C" + IntToStr(i), parent);
  Pump();
  EXPECT_FALSE(HasBar(WS_VSCROLL));
  parent->SetExpanded(true);
  ASSERT_TRUE(HasBar(WS_VSCROLL));
  EXPECT_EQ(Bar(SB_VERT).nMax, 40);
  parent->SetExpanded(false);
  EXPECT_FALSE(HasBar(WS_VSCROLL));
}

class TKeepingBarsTreeList : public TTestTreeList {
  QJ_INLINE_CLASS(TKeepingBarsTreeList, TTestTreeList)
 public:
  using TTestTreeList::TTestTreeList;
  bool Keeps = false;

 protected:
  bool KeepsScrollBars() override { return Keeps; }
};

// Nine rows fit only without the horizontal bar and the column fits only without the vertical
// one: once both bars show, each keeps the other, until the check drops them together.
TEST_F(zmTLScroll, BothBarsGoWhenEachIsNeededOnlyForTheOther) {
  for (bool keeps : {false, true}) {
    SCOPED_TRACE(keeps ? "the control keeps its bars" : "the control lets them go");
    auto* tree = Add<TKeepingBarsTreeList>(Form, keeps ? "Keeping" : "Letting", Rect(0, 0, 300, 250));
    tree->Keeps = keeps;
    Tree = tree;
    TzmTreeListColumn* column = Column("Name");
    column->SetWidth(1000);
    Roots(40);
    ASSERT_TRUE(HasBar(WS_VSCROLL));
    ASSERT_TRUE(HasBar(WS_HSCROLL));
    Integer header = Tree->GetMetrics().HeaderAreaHeight, row = Tree->GetRowHeight();
    Integer hbar = GetSystemMetrics(SM_CYHSCROLL), vbar = GetSystemMetrics(SM_CXVSCROLL);
    ASSERT_LE(hbar, row);
    ClientSize(300, header + 9 * row - hbar);
    ASSERT_TRUE(HasBar(WS_VSCROLL));
    ASSERT_TRUE(HasBar(WS_HSCROLL));
    Tree->BeginUpdate();
    while (Tree->GetRootCount() > 9) Free(Tree->GetRootNode(Tree->GetRootCount() - 1));
    column->SetWidth(300 + vbar / 2);
    Tree->EndUpdate();
    EXPECT_EQ(HasBar(WS_VSCROLL), keeps);
    EXPECT_EQ(HasBar(WS_HSCROLL), keeps);
    if (keeps) continue;
    EXPECT_EQ(Tree->GetPageRowCount(), 9);
    EXPECT_EQ(Tree->GetScrollAreaWidth(), 300 + vbar);
    Tree->SetBehaviorOptions(Tree->GetBehaviorOptions() ^ zmbSortOnColumnClick);  // a layout update
    EXPECT_FALSE(HasBar(WS_VSCROLL)) << "the next update leaves them off";
    EXPECT_FALSE(HasBar(WS_HSCROLL));
  }
}

TEST_F(zmTLScroll, ASmallVerticalStepMovesThePixelsAndRepaintsWhatItUncovers) {
  ClientSize(400, 250);
  Bands({100, 200});
  Roots(40);
  std::vector<std::string> tops;
  Tree->OnTopNodeChanged = [&](TObject*) { tops.push_back(Tree->GetTopNode()->GetStrings(0)); };
  Pump();
  ASSERT_TRUE(NothingInvalid());
  TRect rows = RowsRect();
  Integer row = Tree->GetRowHeight(), middle = (rows.Top + rows.Bottom) / 2;

  Tree->SetTopIndex(2);
  EXPECT_EQ(tops, (std::vector<std::string>{"2"}));
  EXPECT_TRUE(Invalid(250, rows.Bottom - 1)) << "the uncovered rows at the bottom";
  EXPECT_TRUE(Invalid(250, rows.Bottom - 2 * row + 1));
  EXPECT_FALSE(Invalid(250, middle)) << "moved, not repainted";
  EXPECT_TRUE(Invalid(rows.Left + 50, middle)) << "the tree strip of the first band is drawn again";
  Pump();

  Tree->SetTopIndex(0);
  EXPECT_TRUE(Invalid(250, rows.Top + 1)) << "the uncovered rows at the top";
  EXPECT_FALSE(Invalid(250, middle));
  Pump();

  Tree->SetTopIndex(Tree->GetPageRowCount() + 5);
  EXPECT_TRUE(Invalid(250, middle)) << "more than a page: everything";
  Pump();

  Tree->SetTopIndex(1000);
  EXPECT_EQ(Tree->GetTopIndex(), 40 - Tree->GetPageRowCount()) << "the last page stays full";
}

TEST_F(zmTLScroll, AHorizontalStepMovesThePixelsUnlessABandIsFixed) {
  ClientSize(300, 200);
  Bands({200, 200, 200});
  Roots(3);
  Integer scrolls = 0;
  Tree->OnHorzScroll = [&](TObject*) { ++scrolls; };
  Pump();
  ASSERT_TRUE(NothingInvalid());
  TRect area = Tree->GetScrollAreaRect();
  Integer y = RowsRect().Top + 5;

  Tree->SetLeftCoord(20);
  EXPECT_EQ(scrolls, 1);
  EXPECT_TRUE(Invalid(area.Right - 5, y)) << "the uncovered strip at the right";
  EXPECT_FALSE(Invalid(area.Left + 100, y));
  Pump();
  Tree->SetLeftCoord(20);
  EXPECT_EQ(scrolls, 1) << "no change, no event";

  Tree->GetBands()->GetItem(0)->SetFixed(bfLeft);
  Pump();
  Tree->SetLeftCoord(30);
  EXPECT_EQ(scrolls, 2);
  EXPECT_TRUE(Invalid(area.Left + 150, y)) << "a fixed band: everything is drawn again";
}

TEST_F(zmTLScroll, ANodeRepaintCoversItsRowOrEverythingBelowIt) {
  ClientSize(300, 200);
  Column("Name");
  Roots(40);
  Pump();
  TRect rows = RowsRect();
  Integer row = Tree->GetRowHeight();
  TzmTreeListNode* third = Tree->GetRootNode(2);
  Integer thirdTop = rows.Top + 2 * row;

  Tree->InvalidateNode(third, false);
  EXPECT_TRUE(Invalid(50, thirdTop + 1));
  EXPECT_FALSE(Invalid(50, thirdTop - 1));
  EXPECT_FALSE(Invalid(50, thirdTop + row + 1)) << "only the node's row";
  Pump();

  Tree->InvalidateNode(third, true);
  EXPECT_FALSE(Invalid(50, thirdTop - 1));
  EXPECT_TRUE(Invalid(50, thirdTop + 1));
  EXPECT_TRUE(Invalid(50, rows.Bottom - 1)) << "down to the bottom of the rows";
  Pump();

  Tree->InvalidateNode(Tree->GetRootNode(35), true);
  Tree->InvalidateNode(Tree->GetRootNode(35), false);
  EXPECT_TRUE(NothingInvalid()) << "a node below the shown rows";
  Tree->SetTopIndex(10);
  Pump();
  Tree->InvalidateNode(third, true);
  EXPECT_TRUE(Invalid(50, rows.Top + 1)) << "a node above the shown rows moves them all";
}

TEST_F(zmTLScroll, DeletingRowsAtTheEndKeepsTheLastPageFull) {
  ClientSize(300, 200);
  Column("Name");
  Roots(40);
  Tree->SetTopIndex(1000);
  Integer page = Tree->GetPageRowCount();
  ASSERT_EQ(Tree->GetTopIndex(), 40 - page);
  for (Integer i = 0; i < 5; ++i) Free(Tree->GetRootNode(Tree->GetRootCount() - 1));
  EXPECT_EQ(Tree->GetTopIndex(), 35 - page);
  EXPECT_EQ(Bar(SB_VERT).nMax, 34);
}

TEST_F(zmTLScroll, FocusingAColumnScrollsItIntoView) {
  ClientSize(300, 200);
  Tree->SetBehaviorOptions(Tree->GetBehaviorOptions() & ~static_cast<TzmTreeListOptions>(zmbRowSelect));
  Bands({200, 200, 200});
  TzmTreeListNode* node = Node("N");
  Tree->SetFocusedNodeColumn(node, 2, false);
  EXPECT_EQ(Tree->GetHorzOffset(), 600 - Tree->GetScrollAreaWidth());
  Tree->SetFocusedNodeColumn(node, 0, false);
  EXPECT_EQ(Tree->GetHorzOffset(), 0);
  Tree->SetBehaviorOptions(Tree->GetBehaviorOptions() | zmbRowSelect);
  Tree->SetFocusedNodeColumn(Node("M"), 2, false);
  EXPECT_EQ(Tree->GetHorzOffset(), 0) << "with row select no column is focused";
}

class TStatusTreeList : public TTestTreeList {
  QJ_INLINE_CLASS(TStatusTreeList, TTestTreeList)
 public:
  using TTestTreeList::TTestTreeList;

 protected:
  bool IsStatusPanelShown() override { return true; }
};

TEST_F(zmTLScroll, TheStatusCloseButtonSitsAtThePanelsLeft) {
  TRect untouched = Rect(1, 2, 3, 4), r = untouched;
  Tree->GetStatusCloseButtonRect(r);
  EXPECT_EQ(r, untouched) << "no status panel";

  auto* tree = Add<TStatusTreeList>(Form, "Status", Rect(0, 0, 200, 150));
  tree->SetShowGrid(true);  // any setting recomputes the metrics
  TzmTreeListDrawInfo info;
  tree->CalcAreaRects(info);
  ASSERT_FALSE(info.StatusRect.IsEmpty());
  EXPECT_GE(info.StatusRect.Height(), 17);
  tree->GetStatusCloseButtonRect(r);
  EXPECT_EQ(r, Bounds(info.StatusRect.Left + 3, info.StatusRect.Top + (info.StatusRect.Height() - 11) / 2, 12, 11));
}

}  // namespace
