#include <gtest/gtest.h>

#include "platform/rtl/DateTime.h"
#include "qvFilterTestSupport.h"

// ---------------------------------------------------------------------------------------------
// LIKE

TEST(LikeMatch, MatchesTheWildcardTable) {
  struct Case {
    const char* text;
    const char* pattern;
    bool match;
  } cases[] = {
      {"abc", "a%", true},     {"abc", "%c", true},     {"abc", "%b%", true},
      {"abc", "a_c", true},    {"abc", "%", true},      {"", "%", true},
      {"", "%%", true},        {"", "_", false},        {"ab", "a", false},
      {"a", "a%%", true},      {"a", "a%%%_", false},   {"abc", "abc", true},
      {"abc", "ab", false},    {"abd", "a_c", false},   {"aXbYc", "a%b%c", true},
      {"aXbYc", "a%c%b", false}, {"abcbc", "%bc", true}, {"ab", "%_%_%", true},
      {"a", "%_%_%", false},   {"", "", true},          {"x", "", false},
      {"mississippi", "%iss%ppi", true}, {"abc", "ABC", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(LikeMatch(c.text, c.pattern, '%', '_'), c.match) << c.text << " LIKE " << c.pattern;
}

TEST(LikeMatch, HonoursAnEscapeCharacter) {
  EXPECT_TRUE(LikeMatch("a%b", "a\\%b", '%', '_', '\\'));
  EXPECT_FALSE(LikeMatch("aXb", "a\\%b", '%', '_', '\\'));
  EXPECT_TRUE(LikeMatch("a_", "a\\_", '%', '_', '\\'));
  EXPECT_FALSE(LikeMatch("ab", "a\\_", '%', '_', '\\'));
  EXPECT_TRUE(LikeMatch("a\\", "a\\\\", '%', '_', '\\'));
  EXPECT_TRUE(LikeMatch("ab", "ab\\", '%', '_', '\\'));  // a trailing escape is ignored
  EXPECT_TRUE(LikeMatch("a\\b", "a\\b", '%', '_'));       // no escape character: a literal
}

TEST(LikeMatch, UsesOtherWildcardCharacters) {
  EXPECT_TRUE(LikeMatch("abc", "a*", '*', '?'));
  EXPECT_TRUE(LikeMatch("abc", "a?c", '*', '?'));
  EXPECT_FALSE(LikeMatch("abc", "a%", '*', '?'));
}

// Backtracking over every % would take ages here; the matcher returns at once.
TEST(LikeMatch, ManySeriesWildcardsOnALongTextStayFast) {
  const String text(10000, 'a');
  EXPECT_FALSE(LikeMatch(text, "%a%a%a%a%b", '%', '_'));
  EXPECT_TRUE(LikeMatch(text + "b", "%a%a%a%a%b", '%', '_'));
  EXPECT_FALSE(LikeMatch(text, "%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%ab", '%', '_'));
}

TEST(LikePatternShape, StripsWildcardsAndTellsTheShape) {
  struct Case {
    const char* pattern;
    const char* stripped;
    Integer shape;
  } cases[] = {
      {"%%abc%%", "abc", lpsContains}, {"abc%", "abc", lpsBeginsWith}, {"%abc", "abc", lpsEndsWith},
      {"%", "%", lpsGeneral},          {"%%", "%", lpsGeneral},        {"a%%%b", "a%b", lpsGeneral},
      {"a", "a", lpsGeneral},          {"%a", "a", lpsEndsWith},       {"abc", "abc", lpsGeneral},
  };
  for (const Case& c : cases) {
    String pattern = c.pattern;
    EXPECT_EQ(GetLikePatternShape(pattern, '%'), c.shape) << c.pattern;
    EXPECT_EQ(pattern, c.stripped) << c.pattern;
  }
}

TEST(FilterListText, ExtractsTrimmedPiecesBetweenSemicolons) {
  String text = "1; 2 ;3";
  Integer pos = 1;
  EXPECT_EQ(ExtractNextListItem(text, pos), "1");
  EXPECT_EQ(pos, 3);
  EXPECT_EQ(ExtractNextListItem(text, pos), "2");
  EXPECT_EQ(ExtractNextListItem(text, pos), "3");
  EXPECT_GT(pos, Length(text));
  EXPECT_EQ(FilterValueToText(Null()), "blank");
  EXPECT_EQ(FilterValueToText(12), "12");
}

// ---------------------------------------------------------------------------------------------
// Matching through a criteria with one column

namespace {

class FilterOperatorTest : public ::testing::Test {
 protected:
  // Does ARecordValue satisfy "column AKind AFilterValue"?
  bool Matches(TqvFilterOperatorKind AKind, const Variant& AFilterValue, const Variant& ARecordValue) {
    criteria.Clear();
    column->Values = {ARecordValue};
    criteria.AddItem(nullptr, column, AKind, AFilterValue, "");
    return criteria.IsRecordMatching(0);
  }

  TqvFilterCriteriaItem* Condition(TqvFilterOperatorKind AKind, const Variant& AValue,
                                   const String& ADisplayValue = "") {
    criteria.Clear();
    return criteria.AddItem(nullptr, column, AKind, AValue, ADisplayValue);
  }

  TTestFilterCriteria criteria;
  TTestFilterColumn* column = criteria.AddColumn(1, "Name");
};

TEST_F(FilterOperatorTest, MatchesTheOperatorTable) {
  struct Case {
    const char* name;
    TqvFilterOperatorKind kind;
    Variant filterValue;
    Variant recordValue;
    bool match;
  } cases[] = {
      {"5 = 5", okEqual, 5, 5, true},
      {"'5' = 5 converts", okEqual, "5", 5, true},
      {"4 = 5", okEqual, 5, 4, false},
      {"4 <> 5", okNotEqual, 5, 4, true},
      {"5 <> 5", okNotEqual, 5, 5, false},
      {"4 < 5", okLess, 5, 4, true},
      {"5 < 5", okLess, 5, 5, false},
      {"Null < 5", okLess, 5, Null(), true},
      {"5 <= 5", okLessEqual, 5, 5, true},
      {"6 <= 5", okLessEqual, 5, 6, false},
      {"6 > 5", okGreater, 5, 6, true},
      {"Null > 5", okGreater, 5, Null(), false},
      {"5 >= 5", okGreaterEqual, 5, 5, true},
      {"4 >= 5", okGreaterEqual, 5, 4, false},
      {"abc LIKE a%", okLike, "a%", "abc", true},
      {"xbc LIKE a%", okLike, "a%", "xbc", false},
      {"xbc NOT LIKE a%", okNotLike, "a%", "xbc", true},
      {"1 BETWEEN 1 AND 3", okBetween, VarArrayOf({1, 3}), 1, true},
      {"3 BETWEEN 1 AND 3", okBetween, VarArrayOf({1, 3}), 3, true},
      {"4 BETWEEN 1 AND 3", okBetween, VarArrayOf({1, 3}), 4, false},
      {"0 BETWEEN 1 AND 3", okBetween, VarArrayOf({1, 3}), 0, false},
      {"4 NOT BETWEEN 1 AND 3", okNotBetween, VarArrayOf({1, 3}), 4, true},
      {"2 IN (1, 2)", okInList, VarArrayOf({1, 2}), 2, true},
      {"3 IN (1, 2)", okInList, VarArrayOf({1, 2}), 3, false},
      {"'2' IN (1, 2)", okInList, VarArrayOf({"1", "2"}), 2, true},
      {"3 NOT IN (1, 2)", okNotInList, VarArrayOf({1, 2}), 3, true},
      {"Null = Null is blank", okEqual, Null(), Null(), true},
      {"5 = Null is blank", okEqual, Null(), 5, false},
      {"Null LIKE Null is blank", okLike, Null(), Null(), true},
      {"5 <> Null is not blank", okNotEqual, Null(), 5, true},
      {"Null NOT LIKE Null", okNotLike, Null(), Null(), false},
  };
  for (const Case& c : cases) EXPECT_EQ(Matches(c.kind, c.filterValue, c.recordValue), c.match) << c.name;
}

TEST_F(FilterOperatorTest, ChoosesTheOperatorClassByKindAndBlankValue) {
  EXPECT_TRUE(Condition(okEqual, Null())->GetOperatorObject()->IsExactly<TqvFilterNullOperator>());
  EXPECT_TRUE(Condition(okLike, Null())->GetOperatorObject()->IsExactly<TqvFilterNullOperator>());
  EXPECT_TRUE(Condition(okNotEqual, Null())->GetOperatorObject()->IsExactly<TqvFilterNotNullOperator>());
  EXPECT_TRUE(Condition(okNotLike, Null())->GetOperatorObject()->IsExactly<TqvFilterNotNullOperator>());
  EXPECT_TRUE(Condition(okLess, Null())->GetOperatorObject()->IsExactly<TqvFilterLessOperator>());
  EXPECT_TRUE(Condition(okEqual, "")->GetOperatorObject()->IsExactly<TqvFilterEqualOperator>());
  criteria.SetOptions(fcoSoftNull);
  EXPECT_TRUE(Condition(okEqual, "")->GetOperatorObject()->IsExactly<TqvFilterNullOperator>());
  for (Integer kind = 0; kind < qvFilterOperatorKindCount; ++kind) ASSERT_NE(GetFilterOperatorClass(kind), nullptr);
  EXPECT_EQ(GetFilterOperatorClass(qvFilterOperatorKindCount), nullptr);
  EXPECT_EQ(GetFilterOperatorClass(-1), nullptr);
}

TEST_F(FilterOperatorTest, CaseInsensitiveUpperCasesBothSides) {
  EXPECT_FALSE(Matches(okLike, "a%", "ABC"));
  EXPECT_FALSE(Matches(okEqual, "\xE9t\xE9", "\xC9T\xC9"));
  criteria.SetOptions(fcoCaseInsensitive);
  EXPECT_TRUE(Matches(okLike, "a%", "ABC"));
  EXPECT_TRUE(Matches(okEqual, "\xE9t\xE9", "\xC9T\xC9"));  // Windows-1252 letters too
  EXPECT_TRUE(Matches(okEqual, WideString(u"abc"), "ABC"));
  // Wide text outside the code page keeps its characters instead of turning into '?'.
  EXPECT_FALSE(Matches(okEqual, WideString(u"\u0416"), WideString(u"\u0436")));
  EXPECT_FALSE(Matches(okEqual, WideString(u"\u0416"), "?"));
}

TEST_F(FilterOperatorTest, SoftNullCountsTheEmptyTextAsBlank) {
  EXPECT_FALSE(Matches(okEqual, Null(), ""));
  criteria.SetOptions(fcoSoftNull);
  EXPECT_TRUE(Matches(okEqual, Null(), ""));
  EXPECT_TRUE(Matches(okEqual, Null(), Null()));
  EXPECT_FALSE(Matches(okEqual, Null(), "x"));
  EXPECT_FALSE(Matches(okNotEqual, "", ""));
}

TEST_F(FilterOperatorTest, SoftCompareTurnsConversionErrorsIntoNoMatch) {
  EXPECT_THROW(Matches(okEqual, 5, "abc"), EVariantTypeCastError);
  criteria.SetOptions(fcoSoftCompare);
  EXPECT_FALSE(Matches(okEqual, 5, "abc"));
  EXPECT_FALSE(Matches(okInList, VarArrayOf({1, 2}), "abc"));
}

TEST_F(FilterOperatorTest, BetweenWithoutAnArrayRaisesTheArrayError) {
  criteria.SetOptions(fcoSoftCompare);
  EXPECT_THROW(Matches(okBetween, 5, 5), EVariantArrayError);
  EXPECT_THROW(Matches(okBetween, VarArrayOf({1}), 5), EVariantArrayError);
  EXPECT_FALSE(Matches(okBetween, VarArrayOf({7}), 5));  // the high end is read only when needed
}

TEST_F(FilterOperatorTest, GivesCaptionsAndSymbols) {
  struct Case {
    TqvFilterOperatorKind kind;
    Variant value;
    const char* caption;
    const char* symbol;
  } cases[] = {
      {okEqual, 1, "equals", "="},
      {okNotEqual, 1, "does not equal", "<>"},
      {okLess, 1, "is less than", "<"},
      {okLessEqual, 1, "is less than or equal to", "<="},
      {okGreater, 1, "is greater than", ">"},
      {okGreaterEqual, 1, "is greater than or equal to", ">="},
      {okLike, "a_c", "like", "LIKE"},
      {okLike, "abc%", "begins with", "LIKE"},
      {okLike, "%abc", "ends with", "LIKE"},
      {okLike, "%abc%", "contains", "LIKE"},
      {okNotLike, "a_c", "not like", "NOT LIKE"},
      {okNotLike, "abc%", "does not begin with", "NOT LIKE"},
      {okNotLike, "%abc", "does not end with", "NOT LIKE"},
      {okNotLike, "%abc%", "does not contain", "NOT LIKE"},
      {okBetween, VarArrayOf({1, 2}), "between", "BETWEEN"},
      {okNotBetween, VarArrayOf({1, 2}), "not between", "NOT BETWEEN"},
      {okInList, VarArrayOf({1}), "in", "IN"},
      {okNotInList, VarArrayOf({1}), "not in", "NOT IN"},
      {okEqual, Null(), "is blank", "="},
      {okNotEqual, Null(), "is not blank", "<>"},
      {okYesterday, Null(), "is yesterday", "is yesterday"},
      {okToday, Null(), "is today", "is today"},
      {okTomorrow, Null(), "is tomorrow", "is tomorrow"},
      {okLastWeek, Null(), "is last week", "is last week"},
      {okLastMonth, Null(), "is last month", "is last month"},
      {okLastYear, Null(), "is last year", "is last year"},
      {okThisWeek, Null(), "is this week", "is this week"},
      {okThisMonth, Null(), "is this month", "is this month"},
      {okThisYear, Null(), "is this year", "is this year"},
      {okNextWeek, Null(), "is next week", "is next week"},
      {okNextMonth, Null(), "is next month", "is next month"},
      {okNextYear, Null(), "is next year", "is next year"},
  };
  for (const Case& c : cases) {
    TqvFilterOperator* op = Condition(c.kind, c.value)->GetOperatorObject();
    EXPECT_EQ(op->GetDisplayText(), c.caption) << Integer(c.kind);
    EXPECT_EQ(op->GetExpressionText(), c.symbol) << Integer(c.kind);
  }
}

TEST_F(FilterOperatorTest, WritesValuesInExpressions) {
  struct Case {
    TqvFilterOperatorKind kind;
    Variant value;
    const char* text;
  } cases[] = {
      {okEqual, "O'Brien", "(Name = 'O''Brien')"},
      {okEqual, WideString(u"it's"), "(Name = 'it''s')"},
      {okEqual, 42, "(Name = 42)"},
      {okEqual, Null(), "(Name = NULL)"},
      {okNotEqual, Null(), "(Name <> NULL)"},
      {okLike, "a%", "(Name LIKE 'a%')"},
      {okBetween, VarArrayOf({1, 5}), "(Name BETWEEN 1 AND 5)"},
      {okNotBetween, VarArrayOf({"a", "b"}), "(Name NOT BETWEEN 'a' AND 'b')"},
      {okInList, VarArrayOf({1, "x", Null()}), "(Name IN (1, 'x', NULL))"},
      {okNotInList, VarArrayOf({2}), "(Name NOT IN (2))"},
      {okEqual, VarFromDateTime(EncodeDate(2026, 12, 15)), "(Name = '12/15/2026')"},
  };
  for (const Case& c : cases) {
    Condition(c.kind, c.value);
    EXPECT_EQ(criteria.GetFilterText(), c.text);
  }
  criteria.SetDateTimeFormat("yyyy-mm-dd");
  Condition(okEqual, VarFromDateTime(EncodeDate(2026, 12, 15)));
  EXPECT_EQ(criteria.GetFilterText(), "(Name = '2026-12-15')");
}

TEST_F(FilterOperatorTest, ShowsDisplayValues) {
  struct Case {
    TqvFilterOperatorKind kind;
    Variant value;
    const char* displayValue;
    const char* caption;
  } cases[] = {
      {okEqual, 5, "5", "(Caption of Name = 5)"},
      {okInList, VarArrayOf({"1", "2", "3"}), "1; 2 ;3", "(Caption of Name in (1, 2, 3))"},
      {okBetween, VarArrayOf({"1", "5"}), "1;5", "(Caption of Name between 1 and 5)"},
      {okBetween, VarArrayOf({"1", ""}), "1", "(Caption of Name between 1 and )"},
      {okEqual, Null(), "", "(Caption of Name = blank)"},
      {okNotEqual, Null(), "", "(Caption of Name <> blank)"},
      {okLike, "%abc%", "%abc%", "(Caption of Name LIKE %abc%)"},
  };
  for (const Case& c : cases) {
    Condition(c.kind, c.value, c.displayValue);
    EXPECT_EQ(criteria.GetFilterCaption(), c.caption);
  }
}

TEST_F(FilterOperatorTest, OperatorDescriptionsShowCaptionsAndStripWildcards) {
  criteria.SetOptions(fcoShowOperatorDescription);
  Condition(okLike, "%abc%", "%abc%");
  EXPECT_EQ(criteria.GetFilterCaption(), "(Caption of Name contains abc)");
  Condition(okNotLike, "abc%", "abc%");
  EXPECT_EQ(criteria.GetFilterCaption(), "(Caption of Name does not begin with abc)");
  Condition(okEqual, Null());
  EXPECT_EQ(criteria.GetFilterCaption(), "(Caption of Name is blank)");
  Condition(okGreater, 3, "3");
  EXPECT_EQ(criteria.GetFilterCaption(), "(Caption of Name is greater than 3)");
  EXPECT_EQ(criteria.GetFilterText(), "(Name > 3)");
}

// ---------------------------------------------------------------------------------------------
// Relative dates

struct DateRangeCase {
  TqvFilterOperatorKind kind;
  TDateTime today;
  TDateTime start;
  TDateTime end;
};

TDateTime D(Word y, Word m, Word d) { return EncodeDate(y, m, d); }

TEST_F(FilterOperatorTest, RelativeDatesComputeTheirRanges) {
  const DateRangeCase cases[] = {
      {okYesterday, D(2026, 3, 1), D(2026, 2, 28), D(2026, 3, 1)},
      {okToday, D(2026, 3, 1), D(2026, 3, 1), D(2026, 3, 2)},
      {okTomorrow, D(2026, 12, 31), D(2027, 1, 1), D(2027, 1, 2)},
      {okThisMonth, D(2026, 12, 15), D(2026, 12, 1), D(2027, 1, 1)},
      {okLastMonth, D(2026, 1, 20), D(2025, 12, 1), D(2026, 1, 1)},
      {okNextMonth, D(2026, 12, 31), D(2027, 1, 1), D(2027, 2, 1)},
      {okNextMonth, D(2026, 11, 30), D(2026, 12, 1), D(2027, 1, 1)},
      {okLastYear, D(2026, 6, 1), D(2025, 1, 1), D(2026, 1, 1)},
      {okThisYear, D(2026, 6, 1), D(2026, 1, 1), D(2027, 1, 1)},
      {okNextYear, D(2026, 6, 1), D(2027, 1, 1), D(2028, 1, 1)},
      // 2026-12-10 is a Thursday; the default locale starts weeks on Sunday.
      {okThisWeek, D(2026, 12, 10), D(2026, 12, 6), D(2026, 12, 13)},
      {okLastWeek, D(2026, 12, 10), D(2026, 11, 29), D(2026, 12, 6)},
      {okNextWeek, D(2026, 12, 10), D(2026, 12, 13), D(2026, 12, 20)},
      {okThisWeek, D(2026, 12, 6), D(2026, 12, 6), D(2026, 12, 13)},
  };
  for (const DateRangeCase& c : cases) {
    TClockScope clock(c.today + 0.75);
    auto* op = static_cast<TqvFilterDateOperator*>(Condition(c.kind, Null())->GetOperatorObject());
    EXPECT_EQ(op->GetRangeStart(), c.start) << Integer(c.kind) << " on " << DateToStr(c.today);
    EXPECT_EQ(op->GetRangeEnd(), c.end) << Integer(c.kind) << " on " << DateToStr(c.today);
  }
}

TEST_F(FilterOperatorTest, RelativeDatesArePreparedAsSoonAsTheyAreMade) {
  TClockScope clock(D(2026, 12, 15));
  criteria.BeginUpdate();
  auto* op = static_cast<TqvFilterDateOperator*>(
      criteria.AddItem(nullptr, column, okToday, Null(), "")->GetOperatorObject());
  EXPECT_EQ(op->GetRangeStart(), D(2026, 12, 15));
  criteria.EndUpdate();
}

TEST_F(FilterOperatorTest, WeeksStartOnTheLocalesFirstDay) {
  TFormatSettings fs;
  fs.FirstDayOfWeek = 0;  // Monday
  TFormatSettingsScope locale(fs);
  TClockScope clock(D(2026, 12, 6));  // a Sunday: its week began on Monday the 30th
  auto* op = static_cast<TqvFilterDateOperator*>(Condition(okThisWeek, Null())->GetOperatorObject());
  EXPECT_EQ(op->GetRangeStart(), D(2026, 11, 30));
  EXPECT_EQ(op->GetRangeEnd(), D(2026, 12, 7));
}

TEST_F(FilterOperatorTest, RelativeDatesMatchHalfOpenRangesAndNeverBlanks) {
  TClockScope clock(D(2026, 12, 15) + 0.5);
  EXPECT_TRUE(Matches(okToday, Null(), VarFromDateTime(D(2026, 12, 15))));
  EXPECT_TRUE(Matches(okToday, Null(), VarFromDateTime(D(2026, 12, 15) + 0.99)));
  EXPECT_FALSE(Matches(okToday, Null(), VarFromDateTime(D(2026, 12, 16))));
  EXPECT_FALSE(Matches(okToday, Null(), Null()));
  EXPECT_TRUE(Matches(okThisMonth, Null(), VarFromDateTime(D(2026, 12, 31) + 0.5)));
  EXPECT_FALSE(Matches(okThisMonth, Null(), VarFromDateTime(D(2027, 1, 1))));
  criteria.SetOptions(fcoSoftNull);
  EXPECT_FALSE(Matches(okToday, Null(), ""));
}

TEST_F(FilterOperatorTest, RelativeDatesWriteTheWholeExpression) {
  TClockScope clock(D(2026, 12, 15));
  TqvFilterCriteriaItem* item = Condition(okToday, Null(), "anything");
  EXPECT_EQ(criteria.GetFilterText(), "(('12/15/2026' <= Name) AND (Name < '12/16/2026'))");
  EXPECT_EQ(item->GetDisplayValueText(), "");
  EXPECT_EQ(criteria.GetFilterCaption(), "(Caption of Name is today)");
}

}  // namespace
