// The strings of a text node against a plain list of texts: random writes past the end (the
// entries between become empty texts), deletions and moves, the first text included.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "treelist/zmTL.h"

namespace {

class zmTLNodeStringsModel : public testing::TestWithParam<unsigned> {};

TEST_P(zmTLNodeStringsModel, RandomChangesKeepTheTextsOfAPlainList) {
  std::mt19937 random(GetParam());
  auto pick = [&random](Integer Count) { return static_cast<Integer>(random() % static_cast<unsigned>(Count)); };
  TzmTreeListNodeStrings strings;
  std::vector<String> model;
  auto reach = [&model](Integer Index) {
    if (Index >= static_cast<Integer>(model.size())) model.resize(static_cast<size_t>(Index) + 1);
  };
  for (int step = 0; step < 2000; ++step) {
    Integer index = pick(7) - 1, other = pick(7) - 1;  // -1 now and then: nothing happens
    switch (pick(4)) {
      case 0:
      case 1: {
        String text = "t" + IntToStr(step);
        strings.Put(index, text);
        if (index >= 0) {
          reach(index);
          model[static_cast<size_t>(index)] = text;
        }
        break;
      }
      case 2:
        strings.Delete(index);
        if (index >= 0 && index < static_cast<Integer>(model.size())) model.erase(model.begin() + index);
        break;
      default:
        strings.Move(index, other);
        if (index >= 0 && other >= 0) {
          reach(std::max(index, other));
          String moved = model[static_cast<size_t>(index)];
          model.erase(model.begin() + index);
          model.insert(model.begin() + other, moved);
        }
        break;
    }
    ASSERT_EQ(strings.GetCount(), static_cast<Integer>(model.size())) << "step " << step;
    for (Integer i = -1; i <= strings.GetCount(); ++i) {
      bool inside = i >= 0 && i < static_cast<Integer>(model.size());
      ASSERT_EQ(strings.Get(i), inside ? model[static_cast<size_t>(i)] : String()) << "step " << step << " entry " << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, zmTLNodeStringsModel, testing::Values(5u, 6u, 7u));

}  // namespace
