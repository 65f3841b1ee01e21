#include <gtest/gtest.h>

#include <vector>

#include "core/qvAutoWidth.h"
#include "platform/rtl/SysUtils.h"

namespace {

struct TItemSpec {
  Integer Width;
  Integer MinWidth = 0;
  bool Fixed = false;
};

std::vector<Integer> Distribute(TqvAutoWidthObject& AObject) {
  AObject.Calculate();
  std::vector<Integer> result;
  for (Integer i = 0; i < AObject.GetCount(); ++i) result.push_back(AObject.GetItem(i)->AutoWidth);
  return result;
}

void Fill(TqvAutoWidthObject& AObject, const std::vector<TItemSpec>& AItems, Integer AAvailable) {
  for (const TItemSpec& spec : AItems) {
    TqvAutoWidthItem* item = AObject.AppendItem();
    item->Width = spec.Width;
    item->MinWidth = spec.MinWidth;
    item->Fixed = spec.Fixed;
  }
  AObject.AvailableWidth = AAvailable;
}

struct TCase {
  const char* Name;
  std::vector<TItemSpec> Items;
  Integer Available;
  std::vector<Integer> Expected;
};

class AutoWidthCases : public ::testing::TestWithParam<TCase> {};

TEST_P(AutoWidthCases, Distributes) {
  const TCase& c = GetParam();
  TqvAutoWidthObject object(static_cast<Integer>(c.Items.size()));
  Fill(object, c.Items, c.Available);
  EXPECT_EQ(Distribute(object), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AutoWidthCases,
    ::testing::Values(
        TCase{"TwoEqual", {{100}, {100}}, 300, {150, 150}},
        TCase{"CumulativeRounding", {{1}, {1}, {1}}, 100, {33, 34, 33}},
        TCase{"PinnedToMinimum", {{50, 40}, {150}}, 100, {40, 60}},
        TCase{"ShareEqualToMinimumIsPinned", {{1, 34}, {1}, {1}}, 101, {34, 34, 33}},
        TCase{"FixedKeepsWidth", {{80, 0, true}, {20}}, 200, {80, 120}},
        TCase{"AllFixedMayMissTheWidth", {{30, 0, true}, {40, 0, true}}, 500, {30, 40}},
        TCase{"AllPinnedMayExceedTheWidth", {{10, 60}, {10, 70}}, 100, {60, 70}},
        TCase{"ZeroTotalPinsToMinimum", {{0, 5}, {0}}, 100, {5, 0}},
        TCase{"ZeroTotalNegativeMinimumIsNotNegative", {{0, -5}, {0, -1}}, 100, {0, 0}},
        TCase{"FixedWiderThanAvailableGivesNoNegativeShare", {{300, 0, true}, {50, -10}}, 100, {300, 0}},
        TCase{"SeveralPinned", {{10, 30}, {10, 30}, {80}}, 100, {30, 30, 40}},
        TCase{"Empty", {}, 100, {}}),
    [](const ::testing::TestParamInfo<TCase>& info) { return info.param.Name; });

TEST(AutoWidthObject, SumsWidthsAndAppendsFreshItems) {
  TqvAutoWidthObject object(2);
  TqvAutoWidthItem* item = object.AppendItem();
  EXPECT_EQ(item->AutoWidth, -1);
  EXPECT_EQ(item->Width, 0);
  EXPECT_FALSE(item->Fixed);
  item->Width = 30;
  object.AddItem()->Width = 12;
  EXPECT_EQ(object.GetCount(), 2);
  EXPECT_EQ(object.GetWidth(), 42);
  EXPECT_EQ(object.GetItem(1)->Width, 12);
}

TEST(AutoWidthObject, BadIndexRaises) {
  TqvAutoWidthObject object(0);
  object.AppendItem();
  EXPECT_THROW(object.GetItem(1), EListError);
  EXPECT_THROW(object.GetItem(-1), EListError);
}

TEST(AutoWidthObject, SecondCalculationFollowsNewWidth) {
  TqvAutoWidthObject object(2);
  Fill(object, {{100}, {100}}, 300);
  EXPECT_EQ(Distribute(object), (std::vector<Integer>{150, 150}));
  object.AvailableWidth = 100;
  EXPECT_EQ(Distribute(object), (std::vector<Integer>{50, 50}));
  object.GetItem(0)->Fixed = true;
  EXPECT_EQ(Distribute(object), (std::vector<Integer>{100, 0}));
}

TEST(AutoWidthObject, SharesFillTheWidthExactly) {
  TqvAutoWidthObject object(7);
  Fill(object, {{13}, {7}, {29}, {1}, {55}, {3}, {17}}, 641);
  std::vector<Integer> widths = Distribute(object);
  Integer sum = 0;
  for (Integer w : widths) sum += w;
  EXPECT_EQ(sum, 641);
}

}  // namespace
