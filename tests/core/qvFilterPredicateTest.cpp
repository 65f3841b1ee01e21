// The compiled filter against the criteria's general path: random records (Nulls, records never
// written, Windows-1252 texts, long texts, numbers as text) under random criteria trees must give
// the same answer for every record, raising exactly where the general path raises.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/qvData.h"
#include "core/qvDataSearch.h"
#include "core/qvFilter.h"
#include "core/qvFilterPredicate.h"
#include "core/qvFormats.h"
#include "tests/core/qvTestItem.h"

namespace {

// The items of the table: the typed kinds and a few that always take the general path.
const TqvValueTypeClass kItemTypes[] = {
    TqvIntegerValueType::Class(),  TqvSmallintValueType::Class(), TqvWordValueType::Class(),
    TqvLargeIntValueType::Class(), TqvStringValueType::Class(),   TqvStringValueType::Class(),
    TqvFloatValueType::Class(),    TqvVariantValueType::Class(),  TqvWideStringValueType::Class(),
};
constexpr Integer kItemCount = static_cast<Integer>(std::size(kItemTypes));
constexpr Integer kRecordCount = 48;

// What evaluating a record gave: the answer, or the class of the exception raised.
std::string Outcome(const std::function<bool()>& AEvaluate) {
  try {
    return AEvaluate() ? "true" : "false";
  } catch (const Exception& e) {
    return "raises " + e.ClassName();
  }
}

class TRandomTable {
 public:
  explicit TRandomTable(uint32_t ASeed) : FRandom(ASeed) {}

  Integer Int(Integer ALow, Integer AHigh) { return std::uniform_int_distribution<Integer>(ALow, AHigh)(FRandom); }
  bool Chance(Integer APercent) { return Int(0, 99) < APercent; }
  template <class T>
  const T& Pick(const std::vector<T>& AItems) { return AItems[static_cast<size_t>(Int(0, Integer(AItems.size()) - 1))]; }

  // Short texts from a small alphabet (so that equal and prefix tests hit), with Windows-1252
  // letters of both cases, symbols that sort between the cases, digits and, now and then, a
  // text longer than a packed place holds.
  String Text() {
    static const String alphabet = "aAbBsS1 -_%\xE9\xC9\xDF\xFF\x9A\x8A\x80";
    Integer length = Chance(10) ? Int(16, 24) : Int(0, 4);
    String text;
    for (Integer i = 0; i < length; ++i) text += alphabet[static_cast<size_t>(Int(0, Integer(alphabet.size()) - 1))];
    return text;
  }

  Variant Scalar() {
    switch (Int(0, 13)) {
      case 0: return Null();
      case 1: return Variant();
      case 2: return Int(-3, 3);
      case 3: return static_cast<long long>(Int(-3, 3)) * 3000000000LL;
      case 4: return Int(-3, 3) + 0.5;
      case 5: return std::numeric_limits<double>::quiet_NaN();
      case 6: return Chance(50);
      case 7: return Currency::FromDouble(Int(-3, 3));
      case 8: return Variant::FromDateTime(Int(0, 3));
      case 9: return std::to_string(Int(-3, 3));
      case 10: return " " + std::to_string(Int(-3, 3)) + ".5";
      case 11: return WideString(u"aB\u00e9");
      default: return Text();
    }
  }

  Variant FilterValue(TqvFilterOperatorKind AKind) {
    bool list = AKind >= okBetween && AKind <= okNotInList;
    if (!list || Chance(5)) return Scalar();
    std::vector<Variant> elements;
    Integer count = AKind <= okNotBetween ? (Chance(90) ? 2 : Int(0, 3)) : Int(0, 4);
    for (Integer i = 0; i < count; ++i) elements.push_back(Chance(3) ? VarArrayOf({1}) : Scalar());
    return VarArrayOf(elements);
  }

  // A value a record holds in an item of AType (conversions that fail leave Null).
  Variant RecordValue(TqvValueTypeClass AType) {
    if (Chance(15)) return Null();
    if (AType == TqvStringValueType::Class() || AType == TqvWideStringValueType::Class())
      return Chance(15) ? Variant(std::to_string(Int(-3, 3))) : Variant(Text());
    if (AType == TqvVariantValueType::Class()) return Scalar();
    if (AType == TqvLargeIntValueType::Class()) return static_cast<long long>(Int(-3, 3)) * 3000000000LL + Int(-2, 2);
    if (AType == TqvFloatValueType::Class()) return Int(-6, 6) / 2.0;
    if (AType == TqvWordValueType::Class()) return Int(0, 4);
    return Int(-4, 4);
  }

 private:
  std::mt19937 FRandom;
};

class FilterPredicateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Controller = New<TqvDataController>(nullptr);
    for (TTestItem& item : Items) Controller->AddItem(&item);
    for (Integer i = 0; i < kItemCount; ++i) Controller->ChangeValueTypeClass(i, kItemTypes[i]);
  }
  void TearDown() override { Free(Controller); }

  void Fill(TRandomTable& ARandom) {
    Controller->BeginUpdate();
    Controller->SetRecordCount(0);
    Controller->SetRecordCount(kRecordCount);
    for (Integer r = 0; r < kRecordCount; ++r) {
      if (ARandom.Chance(10)) continue;  // a record never written
      for (Integer i = 0; i < kItemCount; ++i) {
        try {
          Controller->SetValue(r, i, ARandom.RecordValue(kItemTypes[i]));
        } catch (const Exception&) {
        }
      }
    }
    Controller->EndUpdate();
  }

  void AddTree(TRandomTable& ARandom, TqvFilterCriteriaItemList* AList, Integer ADepth) {
    Integer children = ARandom.Int(ADepth == 0 ? 1 : 0, 3);
    for (Integer i = 0; i < children; ++i) {
      if (ADepth < 2 && ARandom.Chance(25)) {
        AddTree(ARandom, AList->AddItemList(static_cast<TqvFilterJoinKind>(ARandom.Int(0, 3))), ADepth + 1);
        continue;
      }
      auto kind = static_cast<TqvFilterOperatorKind>(ARandom.Chance(95) ? ARandom.Int(0, 11) : ARandom.Int(12, 23));
      TObject* link = ARandom.Chance(3) ? nullptr : &Items[ARandom.Int(0, kItemCount - 1)];
      Variant value = ARandom.FilterValue(kind);
      if (kind == okLike || kind == okNotLike)
        value = ARandom.Chance(70) ? Variant(PatternOf(ARandom)) : value;
      AList->AddItem(link, kind, value, "");
    }
  }

  static String PatternOf(TRandomTable& ARandom) {
    static const std::vector<String> pieces = {"%", "%%", "_", "a", "A", "s", "\xE9", "\xC9", "1", "%a%", ""};
    String pattern;
    for (Integer i = ARandom.Int(0, 4); i > 0; --i) pattern += ARandom.Pick(pieces);
    return pattern;
  }

  TqvDataController* Controller = nullptr;
  TTestItem Items[kItemCount];
};

TEST_F(FilterPredicateTest, AnswersAsTheGeneralPathForRandomTablesAndTrees) {
  TRandomTable random(20240611);
  Integer typed = 0, conditions = 0, raising = 0;
  for (Integer round = 0; round < 600; ++round) {
    if (round % 20 == 0) Fill(random);
    TqvDataFilterCriteria* filter = Controller->GetFilter();
    filter->BeginUpdate();
    filter->Clear();
    filter->SetOptions(static_cast<TqvFilterCriteriaOptions>(random.Int(0, 15) & ~fcoShowOperatorDescription));
    filter->GetRoot()->SetJoinKind(static_cast<TqvFilterJoinKind>(random.Int(0, 3)));
    AddTree(random, filter->GetRoot(), 0);
    filter->CancelUpdate();

    TqvDataFilterPredicate predicate(filter);
    typed += predicate.GetTypedCount();
    for (Integer r = -1; r <= kRecordCount; ++r) {
      std::string general = Outcome([&] { return filter->IsRecordMatching(r); });
      std::string compiled = Outcome([&] { return predicate.IsRecordMatching(r); });
      raising += general.rfind("raises", 0) == 0;
      ASSERT_EQ(compiled, general) << "record " << r << " of round " << round << ", options "
                                   << Integer(filter->GetOptions()) << ": " << filter->GetFilterText();
    }
    std::function<void(TqvFilterCriteriaItemList*)> count = [&](TqvFilterCriteriaItemList* AList) {
      for (Integer i = 0; i < AList->GetCount(); ++i)
        if (AList->GetItem(i)->IsItemList())
          count(static_cast<TqvFilterCriteriaItemList*>(AList->GetItem(i)));
        else
          ++conditions;
    };
    count(filter->GetRoot());
  }
  // The tables must exercise both paths: most conditions typed, some raising the general way.
  EXPECT_GT(typed, conditions / 3) << typed << " of " << conditions << " conditions typed";
  EXPECT_GT(raising, 0);
}

// The filter pass of the controller gives the records the general path lets through.
TEST_F(FilterPredicateTest, TheFilterPassKeepsWhatTheGeneralPathAccepts) {
  TRandomTable random(7);
  for (Integer round = 0; round < 200; ++round) {
    if (round % 10 == 0) Fill(random);
    TqvDataFilterCriteria* filter = Controller->GetFilter();
    filter->BeginUpdate();
    filter->Clear();
    filter->SetOptions(static_cast<TqvFilterCriteriaOptions>(random.Int(0, 15) | fcoSoftCompare));
    filter->SetActive(false);
    AddTree(random, filter->GetRoot(), 0);
    filter->EndUpdate();
    std::vector<Integer> expected;
    bool raises = false;
    for (Integer r = 0; r < kRecordCount; ++r) {
      std::string outcome = Outcome([&] { return filter->IsRecordMatching(r); });
      raises = raises || outcome.rfind("raises", 0) == 0;
      if (outcome == "true") expected.push_back(r);
    }
    if (raises) continue;  // errors other than conversions still raise; the pipeline's own tests cover that
    filter->SetActive(true);
    std::vector<Integer> kept;
    for (Integer p = 0; p < Controller->GetFilteredRecordCount(); ++p) kept.push_back(Controller->GetRecordIndexByFilteredIndex(p));
    ASSERT_EQ(kept, expected) << filter->GetFilterText();
  }
}

// A controller whose values are not the storage's own, and a filter that evaluates in its own
// way, keep every condition on the general path.
TEST_F(FilterPredicateTest, CustomisedValuesOrEvaluationStayGeneral) {
  struct TOwnValues : TqvDataController {
    using TqvDataController::TqvDataController;
    bool CanReadStoredValues(TqvCustomDataField*) const override { return false; }
  };
  struct TOwnEvaluation : TqvDataFilterCriteria {
    using TqvDataFilterCriteria::TqvDataFilterCriteria;
    bool IsEvaluationCustomized() const override { return true; }
  };
  TqvDataFilterCriteria* filter = Controller->GetFilter();
  filter->AddItem(nullptr, &Items[0], okEqual, 1, "1");
  filter->AddItem(nullptr, &Items[4], okLike, "%a%", "%a%");
  EXPECT_EQ(TqvDataFilterPredicate(filter).GetTypedCount(), 2);

  auto* own = New<TOwnValues>(nullptr);
  TTestItem item;
  own->AddItem(&item);
  own->ChangeValueTypeClass(0, TqvIntegerValueType::Class());
  own->GetFilter()->AddItem(nullptr, &item, okEqual, 1, "1");
  EXPECT_EQ(TqvDataFilterPredicate(own->GetFilter()).GetTypedCount(), 0);
  Free(own);

  auto* evaluation = New<TOwnEvaluation>(Controller);
  evaluation->AddItem(nullptr, &Items[0], okEqual, 1, "1");
  EXPECT_EQ(TqvDataFilterPredicate(evaluation).GetTypedCount(), 0);
  Free(evaluation);
}

// The prefix test of the incremental filter and search against TextStartsWith over the texts.
TEST_F(FilterPredicateTest, DisplayTextPrefixAnswersAsTextStartsWith) {
  TRandomTable random(99);
  auto text = [](TqvCustomDataController* c, TqvCustomDataField* f, Integer r) { return c->GetFieldDisplayText(r, f); };
  for (Integer round = 0; round < 200; ++round) {
    if (round % 20 == 0) Fill(random);
    Integer item = random.Pick(std::vector<Integer>{0, 4, 5, 6});
    TqvCustomDataField* field = Controller->GetField(item);
    String prefix = random.Chance(50) ? random.Text().substr(0, 2) : String();
    if (random.Chance(30)) {
      Integer r = random.Int(0, kRecordCount - 1);
      prefix = Controller->GetDisplayText(r, item).substr(0, static_cast<size_t>(random.Int(0, 3)));
    }
    TqvDisplayTextPrefix test(Controller, field, prefix, text);
    EXPECT_EQ(test.IsTyped(), item == 4 || item == 5);
    for (Integer r = 0; r < kRecordCount; ++r)
      ASSERT_EQ(test.Matches(r), TextStartsWith(Controller->GetFieldDisplayText(r, field), prefix, true))
          << "record " << r << ", prefix '" << prefix << "'";
  }
}

// The incremental filter and the search find records by stored texts, ignoring case.
TEST_F(FilterPredicateTest, IncrementalFilterAndSearchReadStoredTexts) {
  const char* names[] = {"\xE9t\xE9", "Zeta", "\xC9T\xC9 2", "zebra", "", "ZE"};
  Controller->SetRecordCount(7);
  for (Integer r = 0; r < 6; ++r) Controller->SetValue(r, 4, names[r]);
  EXPECT_EQ(Controller->SetIncrementalFilter(4, "\xC9t"), 0);
  EXPECT_EQ(Controller->GetFilteredRecordCount(), 2);
  EXPECT_EQ(Controller->GetRecordIndexByFilteredIndex(1), 2);
  Controller->ClearIncrementalFilter();
  Controller->ChangeFocusedRecordIndex(2);
  EXPECT_TRUE(Controller->GetSearch()->Locate(4, "ze"));
  EXPECT_EQ(Controller->GetFocusedRecordIndex(), 3);
  EXPECT_TRUE(Controller->GetSearch()->LocateNext(true));
  EXPECT_EQ(Controller->GetFocusedRecordIndex(), 5);
  EXPECT_FALSE(Controller->GetSearch()->LocateNext(true));
}

// The shapes of a compiled LIKE pattern (a literal, a prefix, a suffix, a contained text) match
// as the general matcher does, also through the upper-case table.
TEST(LikePattern, ShapesMatchAsTheGeneralMatcher) {
  std::mt19937 random(5);
  auto pick = [&](const String& AFrom, Integer ALength) {
    String s;
    for (Integer i = 0; i < ALength; ++i) s += AFrom[random() % AFrom.size()];
    return s;
  };
  // The general matcher is reached by a pattern that has an any-character wildcard; one at the
  // very end of "<pattern>%" compared with "<text>x" keeps the answer the same.
  for (Integer i = 0; i < 5000; ++i) {
    String pattern = pick("%aAb\xE9\xC9", random() % 5);
    String text = pick("aAb\xE9\xC9", random() % 6);
    for (const char* map : {static_cast<const char*>(nullptr), AnsiUpperTable()}) {
      String mapped = text;
      if (map)
        for (char& c : mapped) c = map[static_cast<Byte>(c)];
      TqvLikePattern shaped(pattern, '%', '_');
      TqvLikePattern general(pattern + "_", '%', '_');
      ASSERT_EQ(shaped.Matches(text, map), general.Matches(mapped + "x")) << text << " LIKE " << pattern;
    }
  }
}

}  // namespace
