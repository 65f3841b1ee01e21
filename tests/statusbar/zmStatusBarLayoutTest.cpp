// The panels' widths: fixed panels keep theirs, floating panels share what is left, the last
// panel floats when nothing before it does, separators stay at their size and minimums hold.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "statusbar/zmStatusBar.h"

namespace {

struct TWidthCase {
  const char* Name;
  std::vector<TzmStatusBarPanelWidthRule> Panels;
  Integer Available;
  std::vector<Integer> Expected;  // panel, separator, panel ...
};

class PanelWidths : public ::testing::TestWithParam<TWidthCase> {};

TEST_P(PanelWidths, SpreadTheBarsWidth) {
  const TWidthCase& c = GetParam();
  EXPECT_EQ(CalculatePanelWidths(c.Panels, 2, c.Available), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PanelWidths,
    ::testing::Values(
        TWidthCase{"NoPanels", {}, 300, {}},
        TWidthCase{"OnePanelTakesTheWholeBar", {{20, 50, true}}, 300, {300}},
        TWidthCase{"LastFixedPanelTakesTheRest", {{20, 200, true}, {20, 1500, true}}, 600, {200, 2, 398}},
        TWidthCase{"LastFixedPanelShrinksToTheRest", {{20, 200, true}, {20, 50, true}}, 1000, {200, 2, 798}},
        TWidthCase{"FloatingPanelsShareInProportion", {{20, 100, false}, {20, 300, false}}, 402, {100, 2, 300}},
        TWidthCase{"FloatingPanelsGrowInProportion", {{20, 100, false}, {20, 300, false}}, 802, {200, 2, 600}},
        TWidthCase{"AnEarlierFloatingPanelKeepsTheLastFixed",
                   {{20, 100, false}, {20, 80, true}}, 402, {320, 2, 80}},
        TWidthCase{"MinimumsHoldOnANarrowBar", {{60, 100, false}, {40, 100, false}}, 52, {60, 2, 40}},
        TWidthCase{"ThreePanelsTwoSeparators", {{20, 100, true}, {20, 50, false}, {20, 70, true}}, 302,
                   {100, 2, 128, 2, 70}},
        TWidthCase{"ABarNarrowerThanItsFixedPanels", {{20, 200, true}, {20, 50, true}}, 100, {200, 2, 20}}),
    [](const ::testing::TestParamInfo<TWidthCase>& info) { return std::string(info.param.Name); });

TEST(PanelWidthsSum, FloatingWidthsAddUpToTheBar) {
  const std::vector<TzmStatusBarPanelWidthRule> panels = {{20, 37, false}, {20, 41, false}, {20, 53, false}};
  for (Integer available = 80; available < 400; available += 7) {
    const std::vector<Integer> widths = CalculatePanelWidths(panels, 2, available);
    EXPECT_EQ(std::accumulate(widths.begin(), widths.end(), 0), available) << available;
  }
}

}  // namespace
