// Sorting with each node's values read once against sorting that reads them at every
// comparison: random values of every kind with many ties, one to three sorted columns in either
// direction, with and without multi-column sorting, every list of a tree with several levels.
#include <map>
#include <random>

#include "treelist/zmTLHelpers.h"
#include "zmTLTestSupport.h"

namespace {

struct TSortCase {
  const char* Name;
  unsigned Seed;
  bool MultiSort;
  Integer SortedColumns;
};

void PrintTo(const TSortCase& Case, std::ostream* Out) { *Out << Case.Name; }

class zmTLSortValues : public TzmTreeListTest, public testing::WithParamInterface<TSortCase> {
 protected:
  static constexpr Integer kColumns = 3;

  // Few distinct values of every kind, so that most comparisons meet a tie somewhere.
  Variant SomeValue() {
    const char* texts[] = {"", "a", "A", "\xE9t\xE9", "ete", "10", "9"};
    Integer value = Pick(5) - 2;
    switch (Pick(8)) {
      case 0: return Variant::Null();
      case 1: return Variant();
      case 2: return Variant(value);
      case 3: return Variant(value / 2.0);
      case 4: return Variant(Currency{static_cast<Int64>(value) * 10000});
      case 5: return Variant(value % 2 == 0);
      default: return Variant(String(texts[Pick(7)]));
    }
  }
  Integer Pick(Integer Count) { return static_cast<Integer>(Random() % static_cast<unsigned>(Count)); }

  void Grow(TzmTreeListNode* Parent, Integer Depth) {
    for (Integer n = Depth == 0 ? 100 + Pick(200) : 1 + Pick(12); n > 0; --n) {
      TzmTreeListNode* node = Tree->AddNode(Parent);
      for (Integer column = 0; column < kColumns; ++column) Values[node].push_back(SomeValue());
      if (Depth < 2 && Pick(3) == 0) Grow(node, Depth + 1);
    }
  }

  // The sorted columns as the control reports them, the first alone without multi-column sorting.
  Integer Compare(TzmTreeListNode* A, TzmTreeListNode* B) {
    Integer keys = Tree->IsMultiSort() ? Tree->SortedColumnCount() : 1;
    for (Integer k = 0; k < keys; ++k) {
      TzmTreeListColumn* sorted = Tree->SortedColumnAt(k);
      size_t column = static_cast<size_t>(Tree->IndexOfColumn(sorted));
      Integer r = CompareVariants(Values[A][column], Values[B][column]);
      if (r != 0) return sorted->GetSorted() == TzmTreeListColumnSort::csDown ? -r : r;
    }
    return A->GetSequence() < B->GetSequence() ? -1 : 1;
  }

  void ExpectSorted(const std::vector<TzmTreeListNode*>& List) {
    std::vector<TzmTreeListNode*> expected = List;
    std::stable_sort(expected.begin(), expected.end(),
                     [this](TzmTreeListNode* A, TzmTreeListNode* B) { return Compare(A, B) < 0; });
    ASSERT_EQ(List, expected);
    for (TzmTreeListNode* node : List) {
      std::vector<TzmTreeListNode*> children;
      for (Integer i = 0; i < node->GetCount(); ++i) children.push_back(node->GetItem(i));
      ExpectSorted(children);
    }
  }

  std::mt19937 Random;
  std::map<TzmTreeListNode*, std::vector<Variant>> Values;
};

TEST_P(zmTLSortValues, EveryListIsInTheOrderOfValuesReadAtEachComparison) {
  Random.seed(GetParam().Seed);
  std::vector<TzmTreeListColumn*> columns;
  for (Integer i = 0; i < kColumns; ++i) columns.push_back(Column());
  Tree->SortValue = [this](TzmTreeListNode* Node, Integer Column) { return Values[Node][static_cast<size_t>(Column)]; };
  if (GetParam().MultiSort) Tree->SetExtraOptions(Tree->GetExtraOptions() | zmxMultiSort);
  Tree->BeginUpdate();
  Grow(nullptr, 0);
  Tree->EndUpdate();
  for (Integer k = 0; k < GetParam().SortedColumns; ++k)
    columns[static_cast<size_t>((k + GetParam().Seed) % kColumns)]->SetSorted(
        Pick(2) == 0 ? TzmTreeListColumnSort::csUp : TzmTreeListColumnSort::csDown);
  ASSERT_EQ(Tree->SortedColumnCount(), GetParam().SortedColumns);
  std::vector<TzmTreeListNode*> roots;
  for (Integer i = 0; i < Tree->GetRootCount(); ++i) roots.push_back(Tree->GetRootNode(i));
  ExpectSorted(roots);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, zmTLSortValues,
    testing::Values(TSortCase{"OneColumn", 1, false, 1}, TSortCase{"OneColumnAgain", 2, false, 1},
                    TSortCase{"FirstOfTwoWithoutMultiSort", 3, false, 2}, TSortCase{"TwoColumns", 4, true, 2},
                    TSortCase{"ThreeColumns", 5, true, 3}, TSortCase{"ThreeColumnsAgain", 6, true, 3}),
    [](const testing::TestParamInfo<TSortCase>& info) { return info.param.Name; });

}  // namespace
