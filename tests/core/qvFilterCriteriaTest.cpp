#include <gtest/gtest.h>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Streams.h"
#include "qvFilterTestSupport.h"

namespace {

using Bytes = std::vector<Byte>;

Bytes Written(TqvFilterCriteria& ACriteria) {
  TMemoryStream stream;
  ACriteria.WriteData(&stream);
  const Byte* p = static_cast<const Byte*>(stream.Memory());
  return Bytes(p, p + stream.GetSize());
}

void Read(TqvFilterCriteria& ACriteria, const Bytes& ABytes) {
  TMemoryStream stream;
  if (!ABytes.empty()) stream.WriteBuffer(ABytes.data(), static_cast<Integer>(ABytes.size()));
  stream.SetPosition(0);
  ACriteria.ReadData(&stream);
}

Bytes Concat(std::initializer_list<Bytes> AParts) {
  Bytes result;
  for (const Bytes& part : AParts) result.insert(result.end(), part.begin(), part.end());
  return result;
}

const Bytes kEmptyFilter = {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00};

// "A = 5" on the column with ID 3, shown as "5".
const Bytes kEqualFiveCondition = {0x00, 0x00, 0x01, 0x00, 0x00, 0x00, '5', 0x03, 0x00, 0x00, 0x00, 0x02, 0x05};

class FilterCriteriaTest : public ::testing::Test {
 protected:
  FilterCriteriaTest() {
    criteria.OnChanged = [this](TObject* Sender) {
      lastSender = Sender;
      ++changes;
    };
  }

  TTestFilterCriteria criteria;
  TTestFilterColumn* a = criteria.AddColumn(1, "A");
  TTestFilterColumn* b = criteria.AddColumn(2, "B");
  TTestFilterColumn* c = criteria.AddColumn(3, "C");
  int changes = 0;
  TObject* lastSender = nullptr;
};

// ---------------------------------------------------------------------------------------------
// The stream

TEST_F(FilterCriteriaTest, WritesTheEmptyFilterAsNineBytes) {
  EXPECT_EQ(Written(criteria), kEmptyFilter);
  criteria.GetRoot()->SetJoinKind(fjkOr);
  Read(criteria, kEmptyFilter);
  EXPECT_TRUE(criteria.IsEmpty());
  EXPECT_EQ(criteria.GetRoot()->GetJoinKind(), fjkAnd);
}

TEST_F(FilterCriteriaTest, WritesConditionsAndListsByteForByte) {
  criteria.AddItem(nullptr, c, okEqual, 5, "5");
  EXPECT_EQ(Written(criteria), Concat({{0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x01, 0x00, 0x00, 0x00}, kEqualFiveCondition}));

  criteria.Clear();
  criteria.GetRoot()->SetJoinKind(fjkOr);
  criteria.AddItem(nullptr, a, okLike, "a%", "a%");
  TqvFilterCriteriaItemList* list = criteria.GetRoot()->AddItemList(fjkNotAnd);
  list->AddItem(nullptr, okLess, Null(), "");
  const Bytes expected = {
      0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x02, 0x00, 0x00, 0x00,                    // OR root, 2 items
      0x00, 0x06, 0x02, 0x00, 0x00, 0x00, 'a', '%', 0x01, 0x00, 0x00, 0x00,    // A LIKE, "a%"
      0x06, 0x02, 'a', '%',                                                    // value "a%"
      0x01, 0x02, 0x01, 0x00, 0x00, 0x00,                                      // NOT AND list, 1 item
      0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00,        // <, no link, Null
  };
  EXPECT_EQ(Written(criteria), expected);
}

TEST_F(FilterCriteriaTest, ReadsWhatItWrites) {
  criteria.GetRoot()->SetJoinKind(fjkNotOr);
  criteria.AddItem(nullptr, a, okBetween, VarArrayOf({1, 9}), "1;9");
  TqvFilterCriteriaItemList* list = criteria.GetRoot()->AddItemList(fjkOr);
  list->AddItem(b, okInList, VarArrayOf({"x", "y"}), "x;y");
  list->AddItem(c, okEqual, VarFromDateTime(EncodeDate(2026, 12, 24)), "12/24/2026");
  list->AddItem(c, okNotEqual, Null(), "");
  const Bytes bytes = Written(criteria);

  TTestFilterCriteria copy;
  copy.AddColumn(1, "A");
  copy.AddColumn(2, "B");
  copy.AddColumn(3, "C");
  Read(copy, bytes);
  EXPECT_EQ(Written(copy), bytes);
  EXPECT_EQ(copy.GetFilterText(), criteria.GetFilterText());
  EXPECT_EQ(copy.GetFilterCaption(), criteria.GetFilterCaption());
  EXPECT_EQ(copy.GetRoot()->GetJoinKind(), fjkNotOr);
}

TEST_F(FilterCriteriaTest, ReadsAStreamWithoutTheMarkerAsAndConditions) {
  criteria.GetRoot()->SetJoinKind(fjkOr);
  Read(criteria, Concat({{0x02, 0x00, 0x00, 0x00}, kEqualFiveCondition, kEqualFiveCondition}));
  EXPECT_EQ(criteria.GetRoot()->GetJoinKind(), fjkAnd);
  ASSERT_EQ(criteria.GetRoot()->GetCount(), 2);
  auto* item = static_cast<TqvFilterCriteriaItem*>(criteria.GetRoot()->GetItem(1));
  EXPECT_EQ(item->GetItemLink(), c);
  EXPECT_EQ(item->GetDisplayValue(), "5");
  EXPECT_EQ(item->GetValue().AsInteger(), 5);
}

TEST_F(FilterCriteriaTest, AnUnknownLinkIDGivesAConditionWithoutField) {
  Bytes bytes = Concat({{0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x01, 0x00, 0x00, 0x00}, kEqualFiveCondition});
  bytes[9 + 7] = 0x63;  // link ID 99
  Read(criteria, bytes);
  auto* item = static_cast<TqvFilterCriteriaItem*>(criteria.GetRoot()->GetItem(0));
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->GetItemLink(), nullptr);
  EXPECT_FALSE(criteria.IsRecordMatching(0));  // its value reads as Null
}

TEST_F(FilterCriteriaTest, AMalformedStreamRaisesAndKeepsThePreviousFilter) {
  const Bytes header = {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x01, 0x00, 0x00, 0x00};
  Bytes deep = {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x01, 0x00, 0x00, 0x00};
  for (int i = 0; i < 300; ++i) deep.insert(deep.end(), {0x01, 0x00, 0x01, 0x00, 0x00, 0x00});
  deep.insert(deep.end(), kEqualFiveCondition.begin(), kEqualFiveCondition.end());
  struct Case {
    const char* name;
    Bytes bytes;
  } cases[] = {
      {"empty stream", {}},
      {"marker only", {0xFF, 0xFF, 0xFF, 0xFF}},
      {"no count", {0xFF, 0xFF, 0xFF, 0xFF, 0x00}},
      {"root kind 4", {0xFF, 0xFF, 0xFF, 0xFF, 0x04, 0x00, 0x00, 0x00, 0x00}},
      {"negative count", {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xFE, 0xFF, 0xFF, 0xFF}},
      {"negative old count", {0xFE, 0xFF, 0xFF, 0xFF}},
      {"count beyond the bytes", {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00}},
      {"missing item", header},
      {"list kind 7", Concat({header, {0x01, 0x07, 0x00, 0x00, 0x00, 0x00}})},
      {"operator kind 24", Concat({header, {0x00, 0x18, 0x00, 0x00, 0x00, 0x00, 0x01, 0, 0, 0, 0x00}})},
      {"operator kind 255", Concat({header, {0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x01, 0, 0, 0, 0x00}})},
      {"text length beyond the bytes", Concat({header, {0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x7F, 0x01, 0, 0, 0}})},
      {"negative text length", Concat({header, {0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0, 0, 0}})},
      {"unknown value tag", Concat({header, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0, 0, 0, 0x63}})},
      {"value cut short", Concat({header, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0, 0, 0, 0x04, 0x01}})},
      {"second item missing", Concat({{0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x02, 0x00, 0x00, 0x00},
                                      kEqualFiveCondition, {0x01, 0x00, 0x00}})},
      {"lists nested too deep", deep},
  };
  criteria.GetRoot()->SetJoinKind(fjkOr);
  criteria.AddItem(nullptr, a, okEqual, 1, "1");
  criteria.AddItem(nullptr, b, okGreater, 2, "2");
  const Bytes before = Written(criteria);
  const String text = criteria.GetFilterText();
  for (const Case& c : cases) {
    changes = 0;
    EXPECT_THROW(Read(criteria, c.bytes), EReadError) << c.name;
    EXPECT_EQ(Written(criteria), before) << c.name;
    EXPECT_EQ(criteria.GetFilterText(), text) << c.name;
    EXPECT_EQ(changes, 0) << c.name;
    EXPECT_FALSE(criteria.IsUpdateLocked()) << c.name;
  }
}

TEST_F(FilterCriteriaTest, ReadingReplacesTheTreeWithOneNotification) {
  criteria.AddItem(nullptr, a, okEqual, 1, "1");
  changes = 0;
  Read(criteria, Concat({{0xFF, 0xFF, 0xFF, 0xFF, 0x03, 0x01, 0x00, 0x00, 0x00}, kEqualFiveCondition}));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(criteria.GetFilterText(), "NOT ((C = 5))");
}

// ---------------------------------------------------------------------------------------------
// Evaluation

TEST_F(FilterCriteriaTest, CombinesChildrenByJoinKind) {
  // Records: (a, b) = (0, 0), (0, 1), (1, 0), (1, 1); the conditions are a = 1 and b = 1.
  a->Values = {0, 0, 1, 1};
  b->Values = {0, 1, 0, 1};
  struct Case {
    TqvFilterJoinKind kind;
    bool expected[4];
  } cases[] = {
      {fjkAnd, {false, false, false, true}},
      {fjkOr, {false, true, true, true}},
      {fjkNotAnd, {true, true, true, false}},
      {fjkNotOr, {true, false, false, false}},
  };
  for (const Case& c : cases) {
    criteria.Clear();
    criteria.GetRoot()->SetJoinKind(c.kind);
    for (Integer r = 0; r < 4; ++r) EXPECT_TRUE(criteria.IsRecordMatching(r)) << "empty, kind " << Integer(c.kind);
    criteria.AddItem(nullptr, a, okEqual, 1, "1");
    criteria.AddItem(nullptr, b, okEqual, 1, "1");
    for (Integer r = 0; r < 4; ++r)
      EXPECT_EQ(criteria.IsRecordMatching(r), c.expected[r]) << "kind " << Integer(c.kind) << " record " << r;
  }
}

TEST_F(FilterCriteriaTest, EvaluatesNestedListsAndSingleNegations) {
  a->Values = {0, 1};
  b->Values = {5, 5};
  TqvFilterCriteriaItemList* list = criteria.GetRoot()->AddItemList(fjkNotAnd);
  list->AddItem(a, okEqual, 1, "1");
  criteria.AddItem(nullptr, b, okEqual, 5, "5");
  EXPECT_TRUE(criteria.IsRecordMatching(0));
  EXPECT_FALSE(criteria.IsRecordMatching(1));
  list->AddItemList(fjkOr);  // an empty nested list is True: not a or not True is still not a
  EXPECT_TRUE(criteria.IsRecordMatching(0));
  EXPECT_FALSE(criteria.IsRecordMatching(1));
  list->SetJoinKind(fjkNotOr);  // not a and not True
  EXPECT_FALSE(criteria.IsRecordMatching(0));
}

TEST_F(FilterCriteriaTest, ABlankEqualConditionShowsBlankAndMatchesBlanks) {
  a->Values = {Null(), 3};
  TqvFilterCriteriaItem* item = criteria.AddItem(nullptr, a, okEqual, Null(), "");
  EXPECT_EQ(item->GetDisplayValue(), "blank");
  EXPECT_TRUE(criteria.IsRecordMatching(0));
  EXPECT_FALSE(criteria.IsRecordMatching(1));
}

TEST_F(FilterCriteriaTest, NormalizesCurrencyToDouble) {
  EXPECT_EQ(VarType(criteria.NormalizeValue(Currency::FromRaw(15000))), varDouble);
  EXPECT_EQ(criteria.NormalizeValue(Currency::FromRaw(15000)).AsDouble(), 1.5);
  EXPECT_EQ(criteria.NormalizeValue("abc").AsString(), "abc");
  criteria.SetOptions(fcoCaseInsensitive);
  EXPECT_EQ(criteria.NormalizeValue("abc").AsString(), "ABC");
  EXPECT_EQ(criteria.NormalizeValue(7).AsInteger(), 7);
}

// Ignoring case, the elements of IN and BETWEEN lists are compared upper-cased like the values.
TEST_F(FilterCriteriaTest, IgnoringCaseNormalisesTheElementsOfLists) {
  a->Values = {"abc", "ABC", "abd"};
  struct Case {
    TqvFilterOperatorKind kind;
    Variant value;
    std::vector<bool> matches;
  } cases[] = {
      {okInList, VarArrayOf({"abc"}), {true, true, false}},
      {okInList, VarArrayOf({"x", "ABD"}), {false, false, true}},
      {okNotInList, VarArrayOf({"Abc"}), {false, false, true}},
      {okBetween, VarArrayOf({"abc", "abc"}), {true, true, false}},
      {okNotBetween, VarArrayOf({"ABC", "aBc"}), {false, false, true}},
  };
  criteria.SetOptions(fcoCaseInsensitive);
  for (const Case& test : cases) {
    criteria.Clear();
    criteria.AddItem(nullptr, a, test.kind, test.value, "");
    std::vector<bool> matches;
    for (Integer r = 0; r < 3; ++r) matches.push_back(criteria.IsRecordMatching(r));
    EXPECT_EQ(matches, test.matches) << criteria.GetFilterText();
  }
  EXPECT_EQ(criteria.NormalizeValue(VarArrayOf({"a", 1})).GetElement(0).AsString(), "A");
}

// ---------------------------------------------------------------------------------------------
// Texts

TEST_F(FilterCriteriaTest, BuildsCaptionsAndExpressions) {
  criteria.AddItem(nullptr, a, okEqual, 1, "1");
  TqvFilterCriteriaItemList* list = criteria.GetRoot()->AddItemList(fjkOr);
  list->AddItem(b, okGreater, 5, "5");
  list->AddItem(b, okLess, 2, "2");
  EXPECT_EQ(criteria.GetFilterText(), "(A = 1) AND ((B > 5) OR (B < 2))");
  EXPECT_EQ(criteria.GetFilterCaption(), "(Caption of A = 1) and ((Caption of B > 5) or (Caption of B < 2))");
  list->SetJoinKind(fjkNotOr);
  EXPECT_EQ(criteria.GetFilterText(), "(A = 1) AND (NOT ((B > 5) OR (B < 2)))");
  EXPECT_EQ(criteria.GetFilterCaption(),
            "(Caption of A = 1) and (not ((Caption of B > 5) or (Caption of B < 2)))");
}

TEST_F(FilterCriteriaTest, AnEmptyNegatedRootStillWritesNot) {
  EXPECT_EQ(criteria.GetFilterText(), "");
  criteria.GetRoot()->SetJoinKind(fjkNotAnd);
  EXPECT_EQ(criteria.GetFilterText(), "NOT ()");
  EXPECT_EQ(criteria.GetFilterCaption(), "not ()");
}

// ---------------------------------------------------------------------------------------------
// Tree upkeep

TEST_F(FilterCriteriaTest, RemovingALinkDissolvesAListLeftWithOneChild) {
  criteria.AddItem(nullptr, a, okEqual, 1, "1");
  TqvFilterCriteriaItemList* list = criteria.GetRoot()->AddItemList(fjkOr);
  list->AddItem(b, okEqual, 2, "2");
  list->AddItem(a, okEqual, 3, "3");
  criteria.AddItem(nullptr, c, okEqual, 4, "4");
  changes = 0;
  criteria.RemoveItemByItemLink(a);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(criteria.GetFilterText(), "(C = 4) AND (B = 2)");
  EXPECT_EQ(criteria.GetRoot()->GetCount(), 2);
  EXPECT_EQ(criteria.GetRoot()->GetItem(1)->GetParent(), criteria.GetRoot());
}

TEST_F(FilterCriteriaTest, RemovingALinkKeepsTheNegationOfANotList) {
  b->Values = {2, 7};
  TqvFilterCriteriaItemList* list = criteria.GetRoot()->AddItemList(fjkNotOr);
  list->AddItem(a, okEqual, 1, "1");
  list->AddItem(b, okEqual, 2, "2");
  criteria.RemoveItemByItemLink(a);
  EXPECT_EQ(criteria.GetFilterText(), "(NOT ((B = 2)))");
  EXPECT_FALSE(criteria.IsRecordMatching(0));
  EXPECT_TRUE(criteria.IsRecordMatching(1));
}

TEST_F(FilterCriteriaTest, RemovingALinkFreesEmptiedListsButNotTheRoot) {
  criteria.AddItem(nullptr, b, okEqual, 2, "2");
  criteria.GetRoot()->AddItemList(fjkAnd)->AddItem(a, okEqual, 1, "1");
  criteria.RemoveItemByItemLink(a);
  EXPECT_EQ(criteria.GetFilterText(), "(B = 2)");
  criteria.GetRoot()->SetJoinKind(fjkNotAnd);
  criteria.RemoveItemByItemLink(b);
  EXPECT_TRUE(criteria.IsEmpty());
  EXPECT_EQ(criteria.GetRoot()->GetJoinKind(), fjkNotAnd);
}

TEST_F(FilterCriteriaTest, RemovingAnAbsentLinkDoesNotNotify) {
  criteria.AddItem(nullptr, b, okEqual, 2, "2");
  changes = 0;
  criteria.RemoveItemByItemLink(a);
  EXPECT_EQ(changes, 0);
  EXPECT_FALSE(criteria.IsUpdateLocked());
}

TEST_F(FilterCriteriaTest, FindsConditionsDepthFirst) {
  TqvFilterCriteriaItemList* list = criteria.GetRoot()->AddItemList(fjkOr);
  TqvFilterCriteriaItem* nested = list->AddItem(a, okEqual, 1, "1");
  criteria.AddItem(nullptr, a, okEqual, 2, "2");
  EXPECT_EQ(criteria.FindItemByItemLink(a), nested);
  EXPECT_EQ(criteria.FindItemByItemLink(c), nullptr);
  EXPECT_EQ(criteria.GetRoot()->GetItem(2), nullptr);
  EXPECT_EQ(criteria.GetRoot()->GetItem(-1), nullptr);
}

TEST_F(FilterCriteriaTest, UpdateBracketsCollapseIntoOneNotification) {
  criteria.BeginUpdate();
  criteria.EndUpdate();
  EXPECT_EQ(changes, 1);  // even with nothing changed
  EXPECT_EQ(lastSender, &criteria);
  criteria.BeginUpdate();
  criteria.CancelUpdate();
  EXPECT_EQ(changes, 1);
  criteria.BeginUpdate();
  criteria.BeginUpdate();
  criteria.AddItem(nullptr, a, okEqual, 1, "1");
  criteria.SetOptions(fcoSoftNull);
  criteria.EndUpdate();
  EXPECT_EQ(changes, 1);
  criteria.EndUpdate();
  EXPECT_EQ(changes, 2);
  criteria.SetOptions(fcoSoftNull);  // unchanged value: silent
  criteria.SetPercentWildcard('*');
  criteria.SetUnderscoreWildcard('?');
  criteria.SetDateTimeFormat("yyyy");
  EXPECT_EQ(changes, 5);
  criteria.RestoreDefaults();
  EXPECT_EQ(changes, 6);
  EXPECT_EQ(criteria.GetOptions(), 0);
  EXPECT_EQ(criteria.GetPercentWildcard(), '%');
  EXPECT_EQ(criteria.GetDateTimeFormat(), "yyyy");
}

TEST_F(FilterCriteriaTest, ChangingAConditionRecreatesItsOperator) {
  TqvFilterCriteriaItem* item = criteria.AddItem(nullptr, a, okEqual, 1, "1");
  changes = 0;
  item->SetValue(Null());
  EXPECT_TRUE(item->GetOperatorObject()->IsExactly<TqvFilterNullOperator>());
  item->SetOperatorKind(okNotEqual);
  EXPECT_TRUE(item->GetOperatorObject()->IsExactly<TqvFilterNotNullOperator>());
  EXPECT_EQ(changes, 2);
  EXPECT_THROW(item->SetOperatorKind(static_cast<TqvFilterOperatorKind>(40)), EInvalidOperation);
  EXPECT_EQ(item->GetOperatorKind(), okNotEqual);
}

// ---------------------------------------------------------------------------------------------
// Copying

TEST_F(FilterCriteriaTest, AssignCopiesPropertiesTreeAndEvents) {
  criteria.SetOptions(fcoCaseInsensitive | fcoSoftNull);
  criteria.SetPercentWildcard('*');
  criteria.SetMaxValueListCount(7);
  criteria.SetDateTimeFormat("yyyy");
  criteria.GetRoot()->SetJoinKind(fjkOr);
  criteria.AddItem(nullptr, b, okLike, "x*", "x*");
  TTestFilterCriteria copy;
  copy.AddColumn(2, "B");
  changes = 0;
  copy.Assign(&criteria);
  EXPECT_EQ(copy.GetOptions(), fcoCaseInsensitive | fcoSoftNull);
  EXPECT_EQ(copy.GetPercentWildcard(), '*');
  EXPECT_EQ(copy.GetMaxValueListCount(), 7);
  EXPECT_EQ(copy.GetDateTimeFormat(), "yyyy");
  EXPECT_EQ(copy.GetFilterText(), "(B LIKE 'x*')");
  EXPECT_EQ(copy.GetRoot()->GetJoinKind(), fjkOr);
  // The events are copied inside the update bracket, so the copy's notification already uses them.
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(lastSender, &copy);
}

TEST_F(FilterCriteriaTest, AssignFromAnotherKindOfObjectRaises) {
  TPersistent other;
  EXPECT_THROW(criteria.Assign(&other), EConvertError);
}

}  // namespace
