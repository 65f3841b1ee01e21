// Tree list hit tests: tables of points around header and band edges, in the indicator and
// over a node's parts.
#include "zmTLTestSupport.h"

namespace {

struct HitCase {
  const char* Name;
  bool BandsVisible;
  Integer X;
  Integer Y;  // -1: the middle of the header row; -2: the band row
  TzmTreeListHitKind Kind;
  Integer Column;
  Integer Band;
};

// Three 100-pixel columns in one band of a 400 x 200 client area.
class zmTLHitTest : public TzmTreeListTest {
 protected:
  void Layout(bool BandsVisible) {
    TRect client = Tree->GetClientRect();
    Tree->SetBounds(Tree->GetLeft(), Tree->GetTop(), Tree->GetWidth() + 400 - client.Width(),
                    Tree->GetHeight() + 200 - client.Height());
    Tree->BeginUpdate();
    for (Integer i = 0; i < 3; ++i) Column("C" + IntToStr(i))->SetWidth(100);
    Tree->SetBandsVisible(BandsVisible);
    Tree->EndUpdate();
    Pump();
  }
  TzmTreeListHitTestInfo Hit(Integer X, Integer Y) {
    TzmTreeListHitTestInfo hit;
    Tree->CalcHitTest(Point(X, Y), hit);
    return hit;
  }
};

class zmTLHeaderHits : public zmTLHitTest, public ::testing::WithParamInterface<HitCase> {};

TEST_P(zmTLHeaderHits, Point) {
  const HitCase& c = GetParam();
  Layout(c.BandsVisible);
  const TzmTreeListMetrics& m = Tree->GetMetrics();
  Integer y = c.Y == -1 ? m.BandRowHeight + m.HeaderAreaHeight / 2 : (c.Y == -2 ? m.BandRowHeight / 2 : c.Y);
  TzmTreeListHitTestInfo hit = Hit(c.X, y);
  EXPECT_EQ(hit.Kind, c.Kind);
  EXPECT_EQ(hit.ColumnIndex, c.Column);
  EXPECT_EQ(hit.BandIndex, c.Band);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, zmTLHeaderHits,
    ::testing::Values(HitCase{"InsideAColumn", false, 50, -1, tlhHeader, 0, 0},
                      HitCase{"ThreeLeftOfAnEdge", false, 97, -1, tlhHeaderEdge, 0, 0},
                      HitCase{"ThreeRightOfAnEdge", false, 103, -1, tlhHeaderEdge, 0, 0},
                      HitCase{"FiveRightOfAnEdge", false, 105, -1, tlhHeader, 1, 0},
                      HitCase{"LastColumnHeaderOnly", false, 297, -1, tlhHeaderEdge, 2, 0},
                      HitCase{"RightOfTheLastHeaderOnly", false, 303, -1, tlhHeaderEdge, 2, 0},
                      HitCase{"LastColumnWithBands", true, 297, -1, tlhBandEdge, 2, 0},
                      HitCase{"RightOfTheLastWithBands", true, 303, -1, tlhBandEdge, -1, 0},
                      HitCase{"BandCaption", true, 150, -2, tlhBand, -1, 0},
                      HitCase{"BandEdge", true, 297, -2, tlhBandEdge, -1, 0},
                      HitCase{"RightOfTheBand", true, 303, -2, tlhBandEdge, -1, 0},
                      HitCase{"RightOfTheBandsIsEmpty", true, 350, -2, tlhNowhere, -1, -1},
                      HitCase{"Outside", false, -1, -1, tlhOutside, -1, -1}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(zmTLHitTest, RowEdgesInTheIndicator) {
  Layout(false);
  for (Integer i = 0; i < 6; ++i) Node(IntToStr(i));
  Tree->SetIndicatorVisible(true);
  Tree->SetExtraOptions(Tree->GetExtraOptions() | zmxRowSizing);
  TzmTreeListDrawInfo info;
  Tree->CalcDrawInfo(info);
  Integer rowHeight = Tree->GetRowHeight(), top = info.RowsRect.Top, x = info.IndicatorRect.Left + 2;
  TzmTreeListHitTestInfo hit = Hit(x, top + 4 * rowHeight + 2);
  EXPECT_EQ(hit.Kind, tlhRowEdge);
  EXPECT_EQ(hit.RowIndex, 3) << "2 pixels below row 3 is its edge";
  hit = Hit(x, top + 2);
  EXPECT_EQ(hit.Kind, tlhIndicator);
  EXPECT_EQ(hit.Node, Tree->VisibleNodeAt(0));
  hit = Hit(x, top + 6 * rowHeight + 2);
  EXPECT_EQ(hit.Kind, tlhRowEdge) << "just below the last row";
  EXPECT_EQ(hit.RowIndex, 5);

  Tree->SetIndicatorVisible(false);
  hit = Hit(200, top + 4 * rowHeight + 2);
  EXPECT_EQ(hit.Kind, tlhRowEdge) << "without an indicator row edges run across the rows";
  hit = Hit(200, top + 4 * rowHeight + 9);
  EXPECT_EQ(hit.Kind, tlhCell);
  EXPECT_EQ(hit.ColumnIndex, 2);
  EXPECT_EQ(hit.Node, Tree->VisibleNodeAt(4));
}

TEST_F(zmTLHitTest, NodeParts) {
  Layout(false);
  TzmTreeListNode* root = Node("R");
  TzmTreeListNode* child = Node("C", root);
  Node("G", child);
  root->SetExpanded(true);
  TzmTreeListDrawInfo info;
  Tree->CalcDrawInfo(info);
  Integer y = info.RowsRect.Top + Tree->GetRowHeight() + 3;
  struct Part {
    Integer X;
    TzmTreeListHitKind Kind;
  };
  for (Part p : {Part{5, tlhIndent}, Part{15, tlhIndent}, Part{16, tlhButton}, Part{31, tlhButton}, Part{40, tlhCell},
                 Part{310, tlhRowEnd}}) {
    TzmTreeListHitTestInfo hit = Hit(p.X, y);
    EXPECT_EQ(hit.Kind, p.Kind) << p.X;
    EXPECT_EQ(hit.Node, child) << p.X;
  }
  EXPECT_EQ(Hit(5, info.RowsRect.Top + 3).Kind, tlhButton) << "a root's button is at the left";
  EXPECT_EQ(Tree->GetNodeAt(100, info.RowsRect.Bottom - 2), nullptr) << "below the rows";
}

}  // namespace
