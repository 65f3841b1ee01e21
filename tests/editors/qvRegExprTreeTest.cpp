// The parse tree a pattern builds, read through its diagnostic outline: quantified groups,
// expanded parameter quantifiers and copied back-references.
#include "editors/qvRegExprAutomat.h"
#include "qvRegExprTestSupport.h"

namespace {

String Outline(const String& APattern) {
  TqvLexems lexems;
  TqvRegExprErrors errors;
  LexRegExpr(APattern, lexems, errors);
  TqvRegExprParserAlts alts = ParseRegExpr(lexems, errors);
  EXPECT_EQ(errors.GetCount(), 0) << APattern;
  String outline;
  for (const TqvRegExprParserAlt& alt : alts) alt.Dump(outline);
  return outline;
}

// The outline in short: [ ] an alternative, ( )s a group with its quantifier sign, x an item.
String ShortOutline(const String& APattern) {
  String outline = Outline(APattern);
  const std::pair<const char*, const char*> words[] = {
      {"<Start_Alt>\r\n", "["}, {"<Finish_Alt>\r\n", "]"}, {"<Start_Block>\r\n", "("},
      {"<Finish_Block> --> ", ")"}, {"item --> ", "x"}, {"\r\n", ""}};
  for (const auto& [word, shorter] : words) outline = StringReplace(outline, word, shorter);
  return outline;
}

TEST(RegExprTree, OutlineNamesEveryItemAndGroup) {
  EXPECT_EQ(Outline("a?(b)+"),
            "<Start_Alt>\r\nitem --> ?\r\n<Start_Block>\r\n<Start_Alt>\r\nitem --> \r\n<Finish_Alt>\r\n"
            "<Finish_Block> --> +\r\n<Finish_Alt>\r\n");
}

TEST(RegExprTree, PatternsBuildTheirGroups) {
  const std::pair<const char*, const char*> cases[] = {
      {"a", "[x]"},
      {"a|b", "[x][x]"},
      {"(a|b)+", "[([x][x])+]"},
      {"a+?", "[([x+])?]"},
      {"a+*", "[([x+])*]"},
      {"a{3}", "[([xxx])]"},
      {"a{2,}", "[([xxx*])]"},
      {"a{2,4}", "[([xx([xx?])?])]"},
      {"a{1,3}", "[([x([xx?])?])]"},
      {"a{0,1}", "[([x?])]"},
      {"a{0}", "[([])]"},
      {"a+{2}", "[([x+x+])]"},
      {"((a)b)\\2", "[([([x])x])([x])]"},
      {"(a\\1)", "[([x([x])])]"},
      {"[a-c]\\d.", "[xxx]"},
  };
  for (const auto& [pattern, outline] : cases) EXPECT_EQ(ShortOutline(pattern), outline) << pattern;
}

}  // namespace
