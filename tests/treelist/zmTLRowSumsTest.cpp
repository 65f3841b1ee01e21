// Row sums of a sibling list against plain running sums: random appends, insertions, removals,
// count changes, reorders and clears, with the stale sums settled whenever they are checked; a
// settling asks for no sibling before the first changed place.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "treelist/zmTLRowSums.h"

namespace {

class zmTLRowSumsModel : public testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override { Random.seed(GetParam()); }

  Integer Pick(Integer Count) { return static_cast<Integer>(Random() % static_cast<unsigned>(Count)); }
  // Every sibling takes at least one row, as every node does.
  Integer SomeRows() { return 1 + Pick(Random() % 8 == 0 ? 300 : 4); }

  void Step() {
    Integer count = static_cast<Integer>(Rows.size());
    switch (Pick(count == 0 ? 2 : 12)) {
      case 0:
      case 1:
      case 2: {
        Integer rows = SomeRows();
        Rows.push_back(rows);
        Sums.Inserted(count, rows);
        Moved(count);
        break;
      }
      case 3: {
        Integer at = Pick(count + 1), rows = SomeRows();
        Rows.insert(Rows.begin() + at, rows);
        Sums.Inserted(at, rows);
        Moved(at);
        break;
      }
      case 4:
      case 5: {
        Integer at = Pick(count);
        Sums.Removed(at, Rows[static_cast<size_t>(at)]);
        Rows.erase(Rows.begin() + at);
        Moved(at);
        break;
      }
      case 6:
      case 7:
      case 8:
      case 9: {
        Integer at = Pick(count);
        Integer& rows = Rows[static_cast<size_t>(at)];
        Integer delta = Pick(2) == 0 ? SomeRows() : -Pick(rows);  // never below one row
        rows += delta;
        Sums.Changed(at, delta);
        break;
      }
      case 10:
        std::shuffle(Rows.begin(), Rows.end(), Random);
        Sums.Reordered();
        Moved(0);
        break;
      default:
        if (Pick(20) == 0) {
          Rows.clear();
          Sums.Clear();
          Moved(0);
        }
        break;
    }
  }

  void Check(int Step) {
    SCOPED_TRACE("step " + std::to_string(Step));
    Integer count = static_cast<Integer>(Rows.size());
    ASSERT_EQ(Sums.GetTotal(), std::accumulate(Rows.begin(), Rows.end(), 0)) << "the total is always current";
    if (!Sums.IsCurrent()) {
      std::vector<Integer> asked;
      Sums.Settle([&](Integer Index) {
        asked.push_back(Index);
        return Rows[static_cast<size_t>(Index)];
      });
      ASSERT_FALSE(asked.empty());
      ASSERT_LE(asked.front(), FirstMoved) << "every sibling that moved is asked for";
      for (size_t k = 0; k < asked.size(); ++k) ASSERT_EQ(asked[k], asked.front() + static_cast<Integer>(k));
      ASSERT_EQ(asked.back(), count - 1);
    }
    ASSERT_TRUE(Sums.IsCurrent());
    FirstMoved = count;
    Integer before = 0;
    for (Integer i = 0; i < count; ++i) {
      ASSERT_EQ(Sums.Before(i), before) << "sibling " << i;
      for (Integer row : {before, before + Rows[static_cast<size_t>(i)] - 1}) {
        Integer found = 0;
        ASSERT_EQ(Sums.Find(row, found), i) << "row " << row;
        ASSERT_EQ(found, before);
      }
      before += Rows[static_cast<size_t>(i)];
    }
    ASSERT_EQ(Sums.Before(count), before);
  }

  // The siblings from this place on changed places since the sums were last settled.
  void Moved(Integer Place) { FirstMoved = std::min(FirstMoved, Place); }

  TzmTreeListRowSums Sums;
  std::vector<Integer> Rows;
  Integer FirstMoved = 0;
  std::mt19937 Random;
};

// Checking only now and then lets changes pile up on stale sums and on current ones alike.
TEST_P(zmTLRowSumsModel, RandomChangesKeepTheSumsEqualToAFullSum) {
  for (int step = 0; step < 3000; ++step) {
    Step();
    if (Pick(4) == 0) Check(step);
    if (HasFatalFailure()) return;
  }
  Check(3000);
}

INSTANTIATE_TEST_SUITE_P(Seeds, zmTLRowSumsModel, testing::Values(1u, 2u, 3u, 4u));

TEST(zmTLRowSums, AnEmptyListHasNoRows) {
  TzmTreeListRowSums sums;
  EXPECT_EQ(sums.GetTotal(), 0);
  EXPECT_EQ(sums.Before(0), 0);
  sums.Inserted(0, 3);
  sums.Removed(0, 3);
  EXPECT_TRUE(sums.IsCurrent()) << "no sibling is left to sum";
  sums.Settle([](Integer) -> Integer { ADD_FAILURE() << "asked for a sibling of an empty list"; return 1; });
  EXPECT_EQ(sums.GetTotal(), 0);
  EXPECT_EQ(sums.Before(0), 0);
}

}  // namespace
