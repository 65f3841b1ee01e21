#include <gtest/gtest.h>

#include "qvFilterTestSupport.h"

namespace {

class FilterValueListTest : public ::testing::Test {
 protected:
  // Fills the list the way a drop-down does: the two fixed entries, the values in reading order,
  // then the blank entries when a blank was met.
  void Fill(std::initializer_list<Variant> AValues) {
    list.Clear();
    list.Add(fvkAll, Null(), false, "(All)");
    list.Add(fvkCustom, Null(), false, "(Custom...)");
    bool blanks = false;
    for (const Variant& value : AValues) {
      if (criteria.IsNullValue(value))
        blanks = true;
      else
        list.Add(fvkValue, value, false, VarToStr(value));
    }
    if (blanks) {
      list.Add(fvkBlanks, Null(), false, "(Blanks)");
      list.Add(fvkNonBlanks, Null(), false, "(NonBlanks)");
    }
  }

  std::vector<String> Texts() const {
    std::vector<String> texts;
    for (Integer i = 0; i < list.GetCount(); ++i) texts.push_back(list.GetItem(i).EntryText);
    return texts;
  }

  TTestFilterCriteria criteria;
  TTestFilterColumn* column = criteria.AddColumn(1, "A");
  TqvFilterValueList list{&criteria};
};

using TextList = std::vector<String>;

TEST_F(FilterValueListTest, PutsSpecialEntriesFirstAndDistinctValuesSorted) {
  Fill({3, 1, 3, Null(), 2});
  EXPECT_EQ(Texts(), (TextList{"(All)", "(Custom...)", "(Blanks)", "(NonBlanks)", "1", "2", "3"}));
  EXPECT_EQ(list.GetItem(2).EntryKind, fvkBlanks);
  EXPECT_EQ(list.GetItem(4).EntryKind, fvkValue);
  EXPECT_EQ(list.GetItem(4).EntryValue.AsInteger(), 1);
}

TEST_F(FilterValueListTest, HasNoBlankEntriesWithoutBlanks) {
  Fill({3, 1});
  EXPECT_EQ(Texts(), (TextList{"(All)", "(Custom...)", "1", "3"}));
  criteria.SetOptions(fcoSoftNull);
  Fill({"b", "", "a"});
  EXPECT_EQ(Texts(), (TextList{"(All)", "(Custom...)", "(Blanks)", "(NonBlanks)", "a", "b"}));
}

TEST_F(FilterValueListTest, MaxValueListCountKeepsTheFirstValuesRead) {
  criteria.SetMaxValueListCount(4);
  Fill({3, 1, 3, 2, Null()});
  EXPECT_EQ(Texts(), (TextList{"(All)", "(Custom...)", "(Blanks)", "(NonBlanks)", "1", "3"}));
  list.Add(fvkValue, 9, true, "9");  // appended as it is, past the limit
  EXPECT_EQ(list.GetItem(list.GetCount() - 1).EntryText, "9");
}

TEST_F(FilterValueListTest, SortsByDisplayTextWhenAsked) {
  list.SetSortByDisplayText(true);
  list.Add(fvkValue, 1, false, "b");
  list.Add(fvkValue, 2, false, "A");
  list.Add(fvkValue, 3, false, "a");
  EXPECT_EQ(list.GetCount(), 3);  // "a" and "A" differ
  criteria.SetOptions(fcoCaseInsensitive);
  list.Clear();
  list.Add(fvkValue, 1, false, "b");
  list.Add(fvkValue, 2, false, "A");
  list.Add(fvkValue, 3, false, "a");  // equal to "A" now: merged
  EXPECT_EQ(Texts(), (TextList{"A", "b"}));
}

TEST_F(FilterValueListTest, ComparesValuesThroughTheCriteria) {
  Fill({"b", "B", "a"});
  EXPECT_EQ(list.GetCount(), 2 + 3);
  criteria.SetOptions(fcoCaseInsensitive);
  Fill({"b", "B", "a"});
  EXPECT_EQ(Texts(), (TextList{"(All)", "(Custom...)", "a", "b"}));
  Fill({Currency::FromRaw(15000), 1.5});  // currency is compared as a double
  EXPECT_EQ(list.GetCount(), 3);
}

TEST_F(FilterValueListTest, ValuesThatCannotBeComparedAreInsertedNotMerged) {
  Fill({"abc", 5, "abc", 5});
  EXPECT_EQ(Texts(), (TextList{"(All)", "(Custom...)", "abc", "5"}));
}

TEST_F(FilterValueListTest, FindsByBinarySearchOverTheValues) {
  Fill({10, 30, 20, Null()});
  Integer index = -1;
  EXPECT_TRUE(list.Find(20, "", index));
  EXPECT_EQ(index, 5);
  EXPECT_FALSE(list.Find(25, "", index));
  EXPECT_EQ(index, 6);
  EXPECT_FALSE(list.Find(1, "", index));
  EXPECT_EQ(index, 4);  // the first value position, behind the special entries
  EXPECT_EQ(list.IndexOfKind(fvkNonBlanks), 3);
}

TEST_F(FilterValueListTest, TellsWhichEntryAConditionSelects) {
  Fill({1, 2, 3, Null()});
  auto root = [&](TqvFilterOperatorKind AKind, const Variant& AValue) {
    criteria.Clear();
    return criteria.AddItem(nullptr, column, AKind, AValue, VarToStr(AValue));
  };
  EXPECT_EQ(list.GetItem(list.GetIndexOfCriteriaItem(root(okEqual, 2))).EntryText, "2");
  EXPECT_EQ(list.GetIndexOfCriteriaItem(root(okGreater, 2)), list.IndexOfKind(fvkCustom));
  EXPECT_EQ(list.GetIndexOfCriteriaItem(root(okEqual, Null())), list.IndexOfKind(fvkBlanks));
  EXPECT_EQ(list.GetIndexOfCriteriaItem(root(okNotEqual, Null())), list.IndexOfKind(fvkNonBlanks));
  EXPECT_EQ(list.GetIndexOfCriteriaItem(root(okEqual, 9)), list.IndexOfKind(fvkAll));
  EXPECT_EQ(list.GetIndexOfCriteriaItem(nullptr), -1);
  criteria.Clear();
  TqvFilterCriteriaItem* nested = criteria.GetRoot()->AddItemList(fjkOr)->AddItem(column, okEqual, 2, "2");
  EXPECT_EQ(list.GetIndexOfCriteriaItem(nested), list.IndexOfKind(fvkCustom));
  Fill({1, 2});
  EXPECT_EQ(list.GetIndexOfCriteriaItem(root(okEqual, Null())), -1);  // no (Blanks) entry
}

TEST_F(FilterValueListTest, EntriesCanBeRenamedAndDeleted) {
  Fill({1, 2, Null()});
  list.GetItem(0).EntryText = "(Everything)";
  list.Delete(2);  // (Blanks)
  EXPECT_EQ(Texts(), (TextList{"(Everything)", "(Custom...)", "(NonBlanks)", "1", "2"}));
  list.Add(fvkBlanks, Null(), false, "(Blanks)");
  EXPECT_EQ(list.GetItem(3).EntryText, "(Blanks)");  // still among the special entries
  EXPECT_THROW(list.GetItem(6), EListError);
  EXPECT_THROW(list.Delete(-1), EListError);
}

}  // namespace
