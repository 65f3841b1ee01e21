// The custom filter dialog of one column, and the test whether a filter fits it.
#include "grid/qvFilterDialog.h"
#include "qvFilterControlTestSupport.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Complex filters

// One root entry: a condition (Second < 0) or a list of two conditions.
struct TEntry {
  Integer First;
  TqvFilterOperatorKind FirstKind;
  Integer Second = -1;
  TqvFilterOperatorKind SecondKind = okEqual;
  TqvFilterJoinKind Join = fjkAnd;
  bool ExtraInList = false;  // a third condition in the list
};

struct TComplexCase {
  const char* Name;
  TqvFilterJoinKind Root;
  std::vector<TEntry> Entries;
  bool Complex;
};

class ComplexFilter : public ::testing::TestWithParam<TComplexCase> {
 protected:
  ComplexFilter() {
    Link = MakeOwned<TTestFilterLink>(nullptr);
    Link->AddItem(1, "A", TqvStringValueType::Class());
    Link->AddItem(2, "B", TqvIntegerValueType::Class());
  }
  TOwned<TTestFilterLink> Link;
};

TEST_P(ComplexFilter, Decides) {
  const TComplexCase& c = GetParam();
  TqvDataFilterCriteria* filter = Link->Filter();
  filter->GetRoot()->SetJoinKind(c.Root);
  for (const TEntry& e : c.Entries) {
    if (e.Second < 0) {
      filter->AddItem(nullptr, Link->Item(e.First), e.FirstKind, String("v"), "v");
      continue;
    }
    TqvFilterCriteriaItemList* list = filter->GetRoot()->AddItemList(e.Join);
    filter->AddItem(list, Link->Item(e.First), e.FirstKind, String("v"), "v");
    filter->AddItem(list, Link->Item(e.Second), e.SecondKind, String("w"), "w");
    if (e.ExtraInList) filter->AddItem(list, Link->Item(e.First), okEqual, String("x"), "x");
  }
  const Integer before = filter->GetRoot()->GetCount();
  EXPECT_EQ(c.Complex, IsComplexFilter(filter));
  EXPECT_EQ(before, filter->GetRoot()->GetCount());
}

INSTANTIATE_TEST_SUITE_P(
    Filters, ComplexFilter,
    ::testing::Values(
        TComplexCase{"Empty", fjkAnd, {}, false},
        TComplexCase{"EmptyWithAnOrRoot", fjkOr, {}, true},
        TComplexCase{"OneConditionPerColumn", fjkAnd, {{0, okEqual}, {1, okLess}}, false},
        TComplexCase{"OneConditionPerColumnJoinedByOr", fjkOr, {{0, okEqual}, {1, okLess}}, true},
        TComplexCase{"TwoRootConditionsOnOneColumn", fjkAnd, {{0, okEqual}, {0, okNotEqual}}, true},
        TComplexCase{"PairJoinedByOr", fjkAnd, {{0, okLike, 0, okNotLike, fjkOr}}, false},
        TComplexCase{"PairJoinedByAndBesideAnotherColumn", fjkAnd, {{0, okGreater, 0, okLess, fjkAnd}, {1, okEqual}},
                     false},
        TComplexCase{"PairJoinedByNotAnd", fjkAnd, {{0, okGreater, 0, okLess, fjkNotAnd}}, true},
        TComplexCase{"PairOnTwoColumns", fjkAnd, {{0, okEqual, 1, okEqual, fjkOr}}, true},
        TComplexCase{"ListOfThree", fjkAnd, {{0, okEqual, 0, okEqual, fjkOr, true}}, true},
        TComplexCase{"PairAfterAConditionOnItsColumn", fjkAnd, {{0, okEqual}, {0, okLess, 0, okGreater, fjkOr}},
                     true},
        TComplexCase{"Between", fjkAnd, {{1, okBetween}}, true},
        TComplexCase{"PairWithAnInList", fjkAnd, {{0, okEqual, 0, okInList, fjkOr}}, true},
        TComplexCase{"RelativeDate", fjkAnd, {{1, okToday}}, true}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
