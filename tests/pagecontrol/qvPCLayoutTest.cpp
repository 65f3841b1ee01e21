// The tab layout: rows as pure geometry (greedy filling with long tabs alone, rebalancing with
// its tie rule, checked against the exhaustive search it replaces; stretching), then through a
// control with the fixed-measure painter: multi-line rows and widths, the order of the rows
// around the page, positions across the line and the bands, the scrolled window of a single line
// with its navigator buttons, and a control too small for its tabs.
#include <functional>
#include <random>

#include "PageControlTestSupport.h"

namespace {

// ------------------------------------------------------------------ rows as geometry

// The rebalancing as an exhaustive search over the splits, moving tabs down from the last row
// up; its results are what the memoised search must give, ties included.
struct TExhaustiveBalance {
  std::vector<Integer> Lengths;
  Integer Line, Interval;
  TqvPCLineIndexBoundsArray W, B;

  Integer Length(const TqvPCLineIndexBounds& r) const {
    return GetTabRowLength(Lengths, r.First, r.Last, Interval);
  }
  Integer Balance(size_t n) {
    if (n == 1) {
      B[0] = W[0];
      return Line - Length(W[0]);
    }
    Integer c = Length(W[n - 1]);
    Integer best = std::max(Balance(n - 1), Line - c);
    const Integer saved = W[n - 1].First;
    Integer bestFirst = saved;
    for (;;) {
      const Integer moved = Lengths[size_t(W[n - 2].Last)];
      if (c + moved + Interval > Line) break;
      --W[n - 1].First;
      --W[n - 2].Last;
      c += moved + Interval;
      const Integer v = std::max(Balance(n - 1), Line - c);
      if (v < best) {
        best = v;
        bestFirst = W[n - 1].First;
      }
    }
    W[n - 1].First = bestFirst;
    W[n - 2].Last = bestFirst - 1;
    Balance(n - 1);
    B[n - 1] = {bestFirst, W[n - 1].Last};
    W[n - 1].First = saved;
    W[n - 2].Last = saved - 1;
    return best;
  }
};

TqvPCLineIndexBoundsArray RowsToBounds(const std::vector<Integer>& ARows) {
  TqvPCLineIndexBoundsArray bounds;
  for (size_t i = 0; i < ARows.size(); ++i) {
    if (i == 0 || ARows[i] != ARows[i - 1]) bounds.push_back({Integer(i), Integer(i)});
    bounds.back().Last = Integer(i);
  }
  return bounds;
}

TEST(TabRows, BalancingGivesWhatTheExhaustiveSearchGivesTiesIncluded) {
  std::mt19937 random(20240517);
  for (int round = 0; round < 400; ++round) {
    const Integer line = 60 + Integer(random() % 140), interval = Integer(random() % 8);
    std::vector<Integer> lengths(4 + random() % 24);
    // Few distinct lengths make ties frequent.
    for (Integer& w : lengths) w = 10 * (1 + Integer(random() % 5));
    const TqvPCLineIndexBoundsArray greedy = RowsToBounds(FillTabRows(lengths, line, interval, false));
    if (greedy.size() < 2 || greedy.size() > 9) continue;
    TExhaustiveBalance oracle{lengths, line, interval, greedy, TqvPCLineIndexBoundsArray(greedy.size())};
    oracle.Balance(greedy.size());
    ASSERT_EQ(oracle.B, BalanceTabRows(lengths, greedy, line, interval))
        << "round " << round << ", line " << line << ", interval " << interval;
  }
}

struct TFillCase {
  const char* Name;
  std::vector<Integer> Lengths;
  Integer Interval, Line;
  bool Balance;
  std::vector<Integer> Rows;
};

class TabRowFilling : public ::testing::TestWithParam<TFillCase> {};

TEST_P(TabRowFilling, Rows) {
  const TFillCase& c = GetParam();
  EXPECT_EQ(c.Rows, FillTabRows(c.Lengths, c.Line, c.Interval, c.Balance));
}

INSTANTIATE_TEST_SUITE_P(
    Table, TabRowFilling,
    ::testing::Values(
        // Greedy 3 + 1 (free 10 and 70); one tab moved down gives 40 and 40.
        TFillCase{"FourOfThirtyBalanceTwoAndTwo", {30, 30, 30, 30}, 0, 100, true, {0, 0, 1, 1}},
        TFillCase{"FourOfThirtyGreedyThreeAndOne", {30, 30, 30, 30}, 0, 100, false, {0, 0, 0, 1}},
        // Greedy 2 + 1 (20 and 60); moving gives 60 and 20, not smaller: the greedy split stays.
        TFillCase{"ThreeOfFortyTieKeepsTheGreedySplit", {40, 40, 40}, 0, 100, true, {0, 0, 1}},
        TFillCase{"TheIntervalCountsAfterEachTab", {45, 45}, 10, 100, true, {0, 0}},
        TFillCase{"OnePixelTooLongForTheRow", {45, 46}, 10, 100, true, {0, 1}},
        TFillCase{"ALongTabInTheMiddleIsAlone", {30, 120, 30}, 0, 100, true, {0, 1, 2}},
        TFillCase{"ALongTabFirst", {120, 30}, 0, 100, true, {0, 1}},
        TFillCase{"ALongTabLast", {30, 30, 120}, 0, 100, true, {0, 0, 1}},
        TFillCase{"TwoLongTabsInARow", {100, 100, 30}, 0, 100, true, {0, 1, 2}},
        TFillCase{"TheGroupBeforeALongTabIsBalanced", {30, 30, 30, 30, 120, 30}, 0, 100, true, {0, 0, 1, 1, 2, 3}},
        TFillCase{"TheGroupAfterALongTabIsBalanced", {120, 30, 30, 30, 30}, 0, 100, true, {0, 1, 1, 2, 2}},
        // Greedy free spaces 10, 10, 50; one tab down from the middle row gives 10, 40, 20.
        TFillCase{"ThreeRowsEvenedOut", {50, 40, 30, 30, 30, 30, 20}, 0, 100, true, {0, 0, 1, 1, 2, 2, 2}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(TabRows, AWideLayoutOfFiveHundredTabsBalancesEveryRow) {
  std::vector<Integer> lengths(500);
  for (size_t i = 0; i < lengths.size(); ++i) lengths[i] = 40 + Integer(i * 37 % 61);
  const std::vector<Integer> rows = FillTabRows(lengths, 700, 2, true);
  const TqvPCLineIndexBoundsArray bounds = RowsToBounds(rows);
  ASSERT_GT(bounds.size(), 30u);
  Integer worstGreedy = 0, worstBalanced = 0;
  for (const auto& r : RowsToBounds(FillTabRows(lengths, 700, 2, false)))
    worstGreedy = std::max(worstGreedy, 700 - GetTabRowLength(lengths, r.First, r.Last, 2));
  for (const auto& r : bounds) {
    EXPECT_LE(GetTabRowLength(lengths, r.First, r.Last, 2), 700);
    worstBalanced = std::max(worstBalanced, 700 - GetTabRowLength(lengths, r.First, r.Last, 2));
  }
  EXPECT_LE(worstBalanced, worstGreedy);
}

struct TStretchCase {
  const char* Name;
  std::vector<Integer> Lengths;
  Integer Interval, Line;
  std::vector<Integer> Widths;
};

class TabRowStretching : public ::testing::TestWithParam<TStretchCase> {};

TEST_P(TabRowStretching, Widths) {
  const TStretchCase& c = GetParam();
  std::vector<Integer> widths = c.Lengths;
  StretchTabRow(widths, c.Line, c.Interval);
  EXPECT_EQ(c.Widths, widths);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TabRowStretching,
    ::testing::Values(TStretchCase{"EvenShares", {30, 30}, 0, 100, {50, 50}},
                      TStretchCase{"AloneTakesTheLine", {40}, 0, 100, {100}},
                      // Free 30 over 60: 5, 10 and the remainder 15 to the last.
                      TStretchCase{"ProportionalWithTheRemainderLast", {10, 20, 30}, 5, 100, {15, 30, 45}},
                      TStretchCase{"TruncatedSharesRoundDown", {33, 33, 33}, 0, 100, {33, 33, 34}},
                      TStretchCase{"NoFreeSpaceLeavesTheRow", {60, 50}, 0, 100, {60, 50}}),
    [](const auto& info) { return std::string(info.param.Name); });

// ------------------------------------------------------------------ multi-line through a control

class TabLayout : public TPageControlTest {
 protected:
  TqvCustomTabControl* Control(Integer w = 100, Integer h = 200) {
    auto* control = NewTabControl(w, h);
    control->SetStyle(TFixedPainter::Style);
    return control;
  }
};

struct TMultiLineCase {
  const char* Name;
  std::vector<Integer> Lengths;
  std::function<void(TqvCustomTabControl*)> Setup;
  std::vector<Integer> Rows;
  std::vector<Integer> Widths;
};

class TabMultiLineLayout : public TabLayout, public ::testing::WithParamInterface<TMultiLineCase> {};

TEST_P(TabMultiLineLayout, RowsAndWidths) {
  const TMultiLineCase& c = GetParam();
  TqvCustomTabControl* control = Control();
  control->SetMultiLine(true);
  if (c.Setup) c.Setup(control);
  AddTabs(control, c.Lengths);
  EXPECT_EQ(c.Rows, Rows(control));
  EXPECT_EQ(c.Widths, Widths(control));
}

INSTANTIATE_TEST_SUITE_P(
    Table, TabMultiLineLayout,
    ::testing::Values(
        TMultiLineCase{"FourOfThirtyAreFiftyWide", {30, 30, 30, 30}, nullptr, {0, 0, 1, 1}, {50, 50, 50, 50}},
        TMultiLineCase{"ThreeOfFortyStretchToFiftyAndAHundred", {40, 40, 40}, nullptr, {0, 0, 1}, {50, 50, 100}},
        TMultiLineCase{"ALongTabIsCutToTheLine", {30, 150, 30}, nullptr, {0, 1, 2}, {100, 100, 100}},
        TMultiLineCase{"ALongTabStaysWhenTheMinimumIsNotBelowTheLine",
                       {30, 150, 30},
                       [](TqvCustomTabControl*) { TFixedPainter::MinWidth = 100; },
                       {0, 1, 2},
                       {100, 150, 100}},
        TMultiLineCase{"RaggedRowsKeepTheirLengths",
                       {30, 30, 30, 30},
                       [](TqvCustomTabControl* c) { c->SetRaggedRight(true); },
                       {0, 0, 1, 1},
                       {30, 30, 30, 30}},
        TMultiLineCase{"OneRowIsNotStretched", {30, 30}, nullptr, {0, 0}, {30, 30}},
        TMultiLineCase{"RotatedRowsAreBalancedButNotStretched",
                       {40, 40, 40, 40},
                       [](TqvCustomTabControl* c) {
                         TFixedPainter::FixedHeight = 30;
                         c->SetRotate(true);
                       },
                       {0, 0, 1, 1},
                       {40, 40, 40, 40}},
        TMultiLineCase{"RotatedAndRaggedRowsAreNotEvenBalanced",
                       {40, 40, 40, 40},
                       [](TqvCustomTabControl* c) {
                         TFixedPainter::FixedHeight = 30;
                         c->SetRotate(true);
                         c->SetRaggedRight(true);
                       },
                       {0, 0, 0, 1},
                       {40, 40, 40, 40}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TabLayout, ThreeRowsTurnSoThatTheActiveRowTouchesThePage) {
  TqvCustomTabControl* control = Control();
  control->SetMultiLine(true);
  AddTabs(control, {60, 60, 60});
  ASSERT_EQ(0, control->GetTabIndex());
  EXPECT_EQ((std::vector<Integer>{0, 1, 2}), Rows(control));
  // Row 0 next to the page, rows 1 and 2 above it in that cyclic order.
  EXPECT_EQ((std::vector<Integer>{2, 0, 1}), DisplayRows(control));
  EXPECT_EQ(3, control->GetRowsBeforePage());
  EXPECT_EQ(tsTop, VisibleTab(control, 0)->GetSide());
  control->SetTabIndex(1);
  EXPECT_EQ((std::vector<Integer>{1, 2, 0}), DisplayRows(control));
  EXPECT_EQ((std::vector<Integer>{0, 1, 2}), Rows(control)) << "the fill is not repeated";
}

TEST_F(TabLayout, ScrollOppositePutsTheRowsAfterTheActiveOneBelowThePage) {
  TqvCustomTabControl* control = Control();
  control->SetMultiLine(true);
  control->SetScrollOpposite(true);
  AddTabs(control, {60, 60, 60});
  EXPECT_EQ((std::vector<Integer>{0, 1, 2}), DisplayRows(control));
  EXPECT_EQ(1, control->GetRowsBeforePage());
  EXPECT_EQ(tsTop, VisibleTab(control, 0)->GetSide());
  EXPECT_EQ(tsBottom, VisibleTab(control, 1)->GetSide());
  control->SetTabIndex(1);
  EXPECT_EQ(2, control->GetRowsBeforePage());
  control->SetScrollOpposite(false);
  EXPECT_EQ(3, control->GetRowsBeforePage()) << "switching it off turns the rows again";
}

TEST_F(TabLayout, AtTheBottomTheActiveRowIsTheFirstBelowThePage) {
  TqvCustomTabControl* control = Control();
  control->SetMultiLine(true);
  control->SetTabPosition(tpBottom);
  AddTabs(control, {60, 60, 60});
  EXPECT_EQ((std::vector<Integer>{0, 1, 2}), DisplayRows(control));
  EXPECT_EQ(0, control->GetRowsBeforePage());
  EXPECT_EQ(tsBottom, VisibleTab(control, 0)->GetSide());
}

TEST_F(TabLayout, DeletingTheSelectedLastTabTurnsNoRowsInThatLayout) {
  TqvCustomTabControl* control = Control();
  control->SetMultiLine(true);
  control->SetTabPosition(tpBottom);
  AddTabs(control, {60, 60, 60, 60});
  control->SetTabIndex(3);
  control->GetTabs()->Delete(3);
  // The selection moves to the new last tab only after the layout, which therefore had no
  // active row to turn: the rows keep their filled order.
  EXPECT_EQ(2, control->GetTabIndex());
  EXPECT_EQ(2, control->GetActiveVisibleIndex());
  EXPECT_EQ((std::vector<Integer>{0, 1, 2}), DisplayRows(control));
  control->SetTabIndex(1);
  control->SetTabIndex(2);
  EXPECT_EQ((std::vector<Integer>{1, 2, 0}), DisplayRows(control)) << "selecting it again turns them";
}

TEST_F(TabLayout, ARowOrderThatDoesNotMoveKeepsTheFilledOrder) {
  TFixedPainter::MovesRow = false;
  TqvCustomTabControl* control = Control();
  control->SetMultiLine(true);
  AddTabs(control, {60, 60, 60});
  control->SetTabIndex(2);
  EXPECT_EQ((std::vector<Integer>{0, 1, 2}), DisplayRows(control));
}

TEST_F(TabLayout, RowsAcrossTheLineAndTheirBands) {
  TFixedPainter::Intervals = {0, 4};
  TqvCustomTabControl* control = Control(100, 200);
  control->SetMultiLine(true);
  control->SetScrollOpposite(true);
  AddTabs(control, {60, 60, 60});
  // Display rows 0 | 1, 2: one row above the page, two below it, 4 pixels between rows.
  EXPECT_EQ(0, VisibleTab(control, 0)->GetPosition().Y);
  EXPECT_EQ(200 - 2 * 20 - 4, VisibleTab(control, 1)->GetPosition().Y);
  EXPECT_EQ(200 - 20, VisibleTab(control, 2)->GetPosition().Y);
  EXPECT_EQ(Rect(0, 0, 100, 20), control->GetBeforeBand());
  EXPECT_EQ(Rect(0, 156, 100, 200), control->GetAfterBand());
  EXPECT_EQ(Rect(0, 0, 100, 20), VisibleTab(control, 0)->GetVisibleRect());
}

TEST_F(TabLayout, TheBandAwayFromTheTabsKeepsItsGapFromTheOther) {
  TFixedPainter::Intervals = {0, 4};
  TqvCustomTabControl* control = Control(100, 60);
  control->SetMultiLine(true);
  control->SetScrollOpposite(true);
  AddTabs(control, {60, 60, 60});
  // Too short for both bands: the after band starts the gap (the row interval) below the
  // before band.
  EXPECT_EQ(20, control->GetBeforeBand().Bottom);
  EXPECT_EQ(24, control->GetAfterBand().Top);
}

// ------------------------------------------------------------------ a single line

TEST_F(TabLayout, TabsThatFitNeedNoButtons) {
  TqvCustomTabControl* control = Control(100, 50);
  AddTabs(control, {30, 30, 30});
  EXPECT_EQ(TqvPCNavigatorButtons(0), control->GetNavigatorButtons());
  EXPECT_EQ(0, control->GetFirstVisibleTab());
  EXPECT_EQ(2, control->GetLastVisibleTab());
  EXPECT_TRUE(control->IsLastTabComplete());
  EXPECT_EQ((std::vector<Integer>{0, 30, 60}),
            (std::vector<Integer>{VisibleTab(control, 0)->GetPosition().X, VisibleTab(control, 1)->GetPosition().X,
                                  VisibleTab(control, 2)->GetPosition().X}));
}

struct TButtonsCase {
  const char* Name;
  TqvPCOptions Options;
  TqvPCNavigatorButtons Buttons;
};

class TabNavigatorButtons : public TabLayout, public ::testing::WithParamInterface<TButtonsCase> {};

TEST_P(TabNavigatorButtons, Shown) {
  TqvCustomTabControl* control = Control(100, 50);
  control->SetOptions(GetParam().Options);
  AddTabs(control, {30, 30, 30, 30, 30});
  EXPECT_EQ(GetParam().Buttons, control->GetNavigatorButtons());
}

INSTANTIATE_TEST_SUITE_P(
    Table, TabNavigatorButtons,
    ::testing::Values(TButtonsCase{"ArrowsByDefault", 0, nbArrows},
                      TButtonsCase{"NoArrowsAloneStillShowsThem", pcoBit(pcoNoArrows), nbArrows},
                      TButtonsCase{"GoDialogAddsTheGoButton", pcoBit(pcoGoDialog), nbArrows | nbBit(nbGoDialog)},
                      TButtonsCase{"GoDialogWithoutArrows", pcoBit(pcoGoDialog) | pcoBit(pcoNoArrows),
                                   nbBit(nbGoDialog)}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TabLayout, ScrolledTabsArePulledBackWhenRoomGrows) {
  TqvCustomTabControl* control = Control(100, 50);
  AddTabs(control, {30, 30, 30, 30, 30});
  // Arrows take 40: 60 pixels for tabs, two at a time.
  EXPECT_EQ(nbsDisabled, control->GetNavigatorButtonState(nbTopLeft));
  EXPECT_EQ(nbsNormal, control->GetNavigatorButtonState(nbBottomRight));
  control->ScrollTabs(10);
  EXPECT_EQ(3, control->GetFirstVisibleTab()) << "the forward arrow stops at the last tab";
  EXPECT_EQ(4, control->GetLastVisibleTab());
  EXPECT_EQ(nbsNormal, control->GetNavigatorButtonState(nbTopLeft));
  EXPECT_EQ(nbsDisabled, control->GetNavigatorButtonState(nbBottomRight));
  control->SetWidth(130);
  EXPECT_EQ(2, control->GetFirstVisibleTab()) << "no empty space after the last tab";
  control->SetWidth(200);
  EXPECT_EQ(0, control->GetFirstVisibleTab());
  EXPECT_EQ(TqvPCNavigatorButtons(0), control->GetNavigatorButtons());
}

TEST_F(TabLayout, ALayoutWithoutRoomKeepsTheScrollPosition) {
  TqvCustomTabControl* control = Control(100, 50);
  AddTabs(control, {30, 30, 30, 30, 30});
  control->ScrollTabs(2);
  ASSERT_EQ(2, control->GetFirstVisibleTab());
  control->SetWidth(0);
  EXPECT_EQ(2, control->GetFirstVisibleTab());
  control->SetWidth(100);
  EXPECT_EQ(2, control->GetFirstVisibleTab());
}

TEST_F(TabLayout, HidingATabScrolledOutOfViewLaysTheLineOutAgain) {
  TqvCustomTabControl* control = Control(100, 50);
  AddTabs(control, {30, 30, 30, 30, 30});
  control->ScrollTabs(2);
  ASSERT_EQ(2, control->GetFirstVisibleTab());
  // The tabs after it move one visible index down; the window shows them at the line's start.
  control->GetTabs()->GetTab(0)->SetVisible(false);
  const Integer first = control->GetFirstVisibleTab();
  EXPECT_EQ(0, VisibleTab(control, first)->GetPosition().X);
  EXPECT_FALSE(VisibleTab(control, first)->GetVisibleRect().IsEmpty());
}

TEST_F(TabLayout, AControlNarrowerThanItsButtonsShowsNoTabs) {
  TqvCustomTabControl* control = Control(100, 50);
  AddTabs(control, {30, 30, 30, 30, 30});
  control->SetWidth(30);
  for (Integer i = 0; i < 5; ++i) EXPECT_EQ(TRect(), VisibleTab(control, i)->GetVisibleRect()) << i;
  EXPECT_EQ(-1, control->GetTabAt(5, 5));
}

TEST_F(TabLayout, MakingATabVisibleShowsItLastWithAsManyBeforeItAsFit) {
  TqvCustomTabControl* control = Control(100, 50);
  AddTabs(control, {30, 30, 30, 30, 30});
  control->SetTabIndex(4);
  EXPECT_EQ(4, control->GetLastVisibleTab());
  EXPECT_EQ(3, control->GetFirstVisibleTab());
  control->SetTabIndex(0);
  EXPECT_EQ(0, control->GetFirstVisibleTab());
}

TEST_F(TabLayout, VerticalTabsRunFromTheBottomUp) {
  TqvCustomTabControl* control = Control(50, 100);
  control->SetTabPosition(tpLeft);
  AddTabs(control, {30, 30});
  EXPECT_TRUE(control->IsTabOrderReversed());
  EXPECT_EQ(70, VisibleTab(control, 0)->GetPosition().X);
  EXPECT_EQ(40, VisibleTab(control, 1)->GetPosition().X);
  EXPECT_EQ(Rect(0, 70, 20, 100), VisibleTab(control, 0)->GetFullRect());
  EXPECT_EQ(ttoBottomToTop, control->GetTextOrientation());
  EXPECT_EQ(tkLeftBottomToTop, VisibleTab(control, 0)->GetKind());
}

TEST_F(TabLayout, TopToBottomTextRunsVerticalTabsFromTheTop) {
  TqvCustomTabControl* control = Control(50, 100);
  control->SetTabPosition(tpRight);
  control->SetOptions(pcoBit(pcoTopToBottomText));
  AddTabs(control, {30, 30});
  EXPECT_FALSE(control->IsTabOrderReversed());
  EXPECT_EQ(Rect(30, 0, 50, 30), VisibleTab(control, 0)->GetFullRect());
  EXPECT_EQ(tkRightTopToBottom, VisibleTab(control, 0)->GetKind());
}

}  // namespace
