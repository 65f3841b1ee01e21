// Parameters of queries: markers found in SQL text, values by name lists.
#include <gtest/gtest.h>

#include "platform/data/DB.h"

namespace {

std::vector<String> Names(const TParams& AParams) {
  std::vector<String> names;
  for (Integer i = 0; i < AParams.GetCount(); ++i) names.push_back(AParams.GetItem(i)->GetName());
  return names;
}

TEST(Params, MarkersOutsideQuotesAndCommentsBecomeParameters) {
  TParams params;
  params.ParseSQL(
      "SELECT ':no', \":no\", [a:no], `b:no` FROM t -- :no\n"
      "WHERE a = :First AND b = :second_2 /* :no */ AND c = :first AND d = 'it''s :no' AND t = '12:30'");
  EXPECT_EQ(Names(params), (std::vector<String>{"First", "second_2"}));
}

TEST(Params, ParsingAgainKeepsTheValuesOfKeptNames) {
  TParams params;
  params.ParseSQL("SELECT :a, :b");
  params.SetParamValues("a;b", VarArrayOf({1, "two"}));
  params.ParseSQL("SELECT :b, :c");
  EXPECT_EQ(Names(params), (std::vector<String>{"b", "c"}));
  EXPECT_EQ(VarToStr(params.ParamByName("B")->GetValue()), "two");
  EXPECT_TRUE(params.ParamByName("c")->IsNull());
}

TEST(Params, ValuesByNameLists) {
  TParams params;
  params.ParseSQL("SELECT :x, :y");
  params.SetParamValues(" x ", 5);
  EXPECT_EQ(params.GetParamValues("x").AsInteger(), 5) << "one name: a plain value";
  params.SetParamValues("y; x", VarArrayOf({7, 8}));
  Variant both = params.GetParamValues("x;y");
  EXPECT_EQ(both.ArrayLowBound(), 0);
  EXPECT_EQ(both.GetElement(0).AsInteger(), 8);
  EXPECT_EQ(both.GetElement(1).AsInteger(), 7);
  EXPECT_THROW(params.SetParamValues("x;y", 1), EDatabaseError) << "two names need two values";
  EXPECT_THROW(params.GetParamValues("x;z"), EDatabaseError);
  try {
    params.ParamByName("z");
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Parameter 'z' not found");
  }
  EXPECT_EQ(params.FindParam("Z"), nullptr);
}

TEST(Params, FieldNamesAreSplitAtSemicolons) {
  const String names = " A ;B;; C;";
  std::vector<String> parts;
  Integer pos = 1;
  while (pos <= Length(names)) parts.push_back(ExtractFieldName(names, pos));
  EXPECT_EQ(parts, (std::vector<String>{"A", "B", "", "C"}));
}

}  // namespace
