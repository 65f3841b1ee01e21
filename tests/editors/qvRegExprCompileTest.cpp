// Compiling regular expressions: the error of every pass with its position, the limits that
// keep hostile patterns harmless, and the compile lifecycle.
#include <memory>

#include "core/qvClasses.h"
#include "qvRegExprTestSupport.h"
#include "support/ResourceTexts.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Error table: pattern -> every error text, in the order found

struct TErrorCase {
  const char* Name;
  String Pattern;
  std::vector<String> Errors;
  friend void PrintTo(const TErrorCase& c, std::ostream* os) { *os << c.Name; }
};

class RegExprErrorTest : public ::testing::TestWithParam<TErrorCase> {};

TEST_P(RegExprErrorTest, ReportsEveryErrorWithItsPosition) {
  EXPECT_EQ(CompileErrors(GetParam().Pattern), GetParam().Errors) << GetParam().Pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Source, RegExprErrorTest,
    ::testing::Values(
        TErrorCase{"Empty", "", {"The source stream is empty"}},
        TErrorCase{"OnlyBlanks", String(" \t\r\n\f\0 ", 7), {"The source stream is empty"}},
        TErrorCase{"VerticalTabIsNoBlank", "\v", {}}),
    [](const auto& info) { return info.param.Name; });

INSTANTIATE_TEST_SUITE_P(
    Lexer, RegExprErrorTest,
    ::testing::Values(
        TErrorCase{"SpaceAfterBackslash", "\\ ", {"Line1, Char2: The space character is not allowed after '\\'"}},
        TErrorCase{"TabAfterBackslash", "ab\\\t", {"Line1, Char4: The space character is not allowed after '\\'"}},
        TErrorCase{"MissingParenthesis", "(a", {"Missing ')'"}},
        TErrorCase{"UnnecessaryParenthesis", "a)", {"Unnecessary ')'"}},
        TErrorCase{"OpenQuote", "'abc", {"Line1, Char5: Missing ' ' '"}},
        TErrorCase{"OpenClass", "[abc", {"Line1, Char5: Missing ']'"}},
        TErrorCase{"OpenRange", "[a-", {"Line1, Char4: Missing ']'"}},
        TErrorCase{"OpenParameters", "a{2", {"Line1, Char4: Missing '}'"}},
        TErrorCase{"HexAtEnd", "\\x", {"Line1, Char3: Hexadecimal number expected"}},
        TErrorCase{"HexOneDigit", "\\x4", {"Line1, Char4: Hexadecimal number expected"}},
        TErrorCase{"HexBadDigit", "\\x4g", {"Line1, Char4: Hexadecimal number expected but 'g' found"}},
        TErrorCase{"LetterInParameters", "a{x}", {"Line1, Char3: Illegal 'x'"}},
        TErrorCase{"QuoteInParameters", "a{'}", {"Line1, Char3: Illegal ' ' '"}},
        TErrorCase{"EveryLexerErrorCollected", "a{x}b{y}", {"Line1, Char3: Illegal 'x'", "Line1, Char7: Illegal 'y'"}},
        TErrorCase{"LexerErrorsStopTheParser", "*{x}", {"Line1, Char3: Illegal 'x'"}},
        TErrorCase{"SecondLineAfterCrLf", "a\r\n{x}", {"Line2, Char2: Illegal 'x'"}},
        TErrorCase{"LoneLfRestartsTheCountOnly", "ab\n{x}", {"Line1, Char2: Illegal 'x'"}}),
    [](const auto& info) { return info.param.Name; });

INSTANTIATE_TEST_SUITE_P(
    Parser, RegExprErrorTest,
    ::testing::Values(
        TErrorCase{"TrailingBar", "a|", {"The alternative should not be empty"}},
        TErrorCase{"LeadingBar", "|a", {"Line1, Char1: The alternative should not be empty"}},
        TErrorCase{"EmptyBlock", "()", {"Line1, Char2: The block should not be empty"}},
        TErrorCase{"EmptyAlternativeInBlock", "(a|)", {"Line1, Char4: The block should not be empty"}},
        TErrorCase{"ClosingFirst", ")(a", {"Line1, Char1: Illegal ')'"}},
        TErrorCase{"EmptyClass", "[]", {"Line1, Char2: Can't create empty enumeration"}},
        TErrorCase{"EmptyNegatedClass", "[^]", {"Line1, Char3: Can't create empty enumeration"}},
        TErrorCase{"EqualRangeEnds", "[a-a]", {"Line1, Char4: The starting character of the subrange must be less than the finishing one"}},
        TErrorCase{"ReversedRange", "[z-a]", {"Line1, Char4: The starting character of the subrange must be less than the finishing one"}},
        TErrorCase{"ChainedRange", "[a-c-e]", {"Line1, Char5: Illegal '-'"}},
        TErrorCase{"RangeEndingOnTheClosingBracket", "[a-'']", {"Line1, Char6: The starting character of the subrange must be less than the finishing one"}},
        TErrorCase{"LeadingStar", "*a", {"Line1, Char1: Illegal quantifier '*'"}},
        TErrorCase{"LeadingPlus", "+a", {"Line1, Char1: Illegal quantifier '+'"}},
        TErrorCase{"LeadingQuestion", "?a", {"Line1, Char1: Illegal quantifier '?'"}},
        TErrorCase{"StarOverOptional", "a?*", {"Line1, Char3: The '*' quantifier cannot be applied here"}},
        TErrorCase{"PlusOverEmptyGroup", "(a?)+", {"Line1, Char5: The '+' quantifier cannot be applied here"}},
        TErrorCase{"StarOverStar", "a**", {"Line1, Char3: The '*' quantifier cannot be applied here"}},
        TErrorCase{"ParametersWithoutItem", "{2}", {"Line1, Char1: Incorrect parameter quantifier",
                                                    "Line1, Char2: Illegal integer value", "Line1, Char3: Illegal '}'"}},
        TErrorCase{"BoundsReversed", "a{2,1}", {"Line1, Char5: Incorrect parameter quantifier"}},
        TErrorCase{"LowerBoundMissing", "a{,3}", {"Line1, Char3: Incorrect parameter quantifier"}},
        TErrorCase{"NoBounds", "a{}", {"Line1, Char3: Incorrect parameter quantifier"}},
        TErrorCase{"TwoCommas", "a{1,,2}", {"Line1, Char5: Incorrect parameter quantifier"}},
        TErrorCase{"ExtraBound", "a{1,2,3}", {"Line1, Char6: Incorrect parameter quantifier"}},
        TErrorCase{"ParametersOverOptional", "a?{2}", {"Line1, Char3: The parameter quantifier cannot be applied here"}},
        TErrorCase{"BoundsOverStar", "a*{0,2}", {"Line1, Char3: The parameter quantifier cannot be applied here"}},
        TErrorCase{"ReferenceBeyondBlocks", "(a)\\2", {"Line1, Char4: Too big reference number"}},
        TErrorCase{"EveryParserErrorCollected", ")(*a|b{}", {"Line1, Char1: Illegal ')'", "Line1, Char3: Illegal quantifier '*'",
                                                            "Line1, Char8: Incorrect parameter quantifier"}}),
    [](const auto& info) { return info.param.Name; });

// Mended faults: no pattern builds an endless expansion, an unbounded tree or a deep stack.
INSTANTIATE_TEST_SUITE_P(
    Limits, RegExprErrorTest,
    ::testing::Values(
        TErrorCase{"OpenBoundOverEmptyGroup", "(a?){2,}", {"Line1, Char5: The parameter quantifier cannot be applied here"}},
        TErrorCase{"OpenBoundOverEmptyAlternative", "(a|b*){1,}", {"Line1, Char7: The parameter quantifier cannot be applied here"}},
        TErrorCase{"BoundOverEmptyCount", "a{0}{2,}", {"Line1, Char5: The parameter quantifier cannot be applied here"}},
        TErrorCase{"BoundAboveCap", "a{1001}", {"Line1, Char3: Incorrect parameter quantifier"}},
        TErrorCase{"UpperBoundAboveCap", "a{2,5000}", {"Line1, Char5: Incorrect parameter quantifier"}},
        TErrorCase{"BoundBeyondInteger", "a{99999999999}", {"Line1, Char3: Illegal integer value"}},
        TErrorCase{"UpperBoundBeyondInteger", "a{1,2147483648}", {"Line1, Char5: Illegal integer value"}},
        TErrorCase{"NestedBoundsBeyondBudget", "(a{1000}){1000}", {"Line1, Char10: Incorrect parameter quantifier"}},
        TErrorCase{"DoublingReferences", "(ab\\1\\1\\1\\1\\1\\1\\1\\1\\1\\1\\1\\1\\1\\1)",
                   {"Line1, Char26: Too big reference number", "Line1, Char28: Too big reference number",
                    "Line1, Char30: Too big reference number"}},
        TErrorCase{"DeepParentheses", String(150, '(') + "a" + String(150, ')'), {"Line1, Char101: Illegal '('"}}),
    [](const auto& info) { return info.param.Name; });

TEST(RegExprLimits, EndlessQuantifierWrappingStopsAtTheGroupDepth) {
  String pattern = "a" + String(TqvRegExpr::MaxGroupDepth + 3, '+');
  std::vector<String> errors = CompileErrors(pattern);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0], "Line1, Char" + IntToStr(TqvRegExpr::MaxGroupDepth + 3) +
                           ": The '+' quantifier cannot be applied here");
  EXPECT_TRUE(CompileErrors("a" + String(TqvRegExpr::MaxGroupDepth + 1, '+')).empty());
}

TEST(RegExprLimits, LargestBoundsStillCompile) {
  EXPECT_TRUE(CompileErrors("a{1000}").empty());
  EXPECT_TRUE(CompileErrors("a{0,1000}").empty());
  EXPECT_TRUE(CompileErrors("(ab){1000,}").empty());
  EXPECT_TRUE(CompileErrors(String(TqvRegExpr::MaxParenthesesDepth, '(') + "a" +
                            String(TqvRegExpr::MaxParenthesesDepth, ')')).empty());
}

// A group that a {n,m} quantifier replaced stays referable: \1 repeats (a) itself.
TEST(RegExprLimits, ReferenceToAGroupReplacedByItsBoundsStaysValid) {
  TqvRegExpr expr;
  CompilePattern(expr, "(a){2}\\1");
  char c = 'a';
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(expr.ConsumeChar(c)) << i;
  EXPECT_TRUE(expr.IsComplete());
  EXPECT_FALSE(expr.ConsumeChar(c));
}

// ---------------------------------------------------------------------------------------------
// Texts and the lifecycle

TEST(RegExprCompile, MissingSourceIsReported) {
  TqvRegExpr expr;
  try {
    expr.Compile(nullptr);
    FAIL() << "compiled without a source";
  } catch (const EqvRegExprError& e) {
    ASSERT_EQ(e.GetErrors().GetCount(), 1);
    EXPECT_EQ(e.GetErrors().GetItem(0).GetFullText(), "The source stream is not assigned");
    EXPECT_EQ(e.Message(), "");
  }
  EXPECT_FALSE(expr.IsCompiled());
}

TEST(RegExprCompile, ErrorTextsOmitMissingPositionParts) {
  EXPECT_EQ(TqvRegExprError(1, 5, "Illegal '}'").GetFullText(), "Line1, Char5: Illegal '}'");
  EXPECT_EQ(TqvRegExprError(3, 0, "x").GetFullText(), "Line3: x");
  EXPECT_EQ(TqvRegExprError(0, 7, "x").GetFullText(), "x");
}

TEST(RegExprCompile, TextsComeThroughTheResourceStringGetter) {
  TResourceTextScope texts{{&sqvRegExprLine, "Zeile"}, {&sqvRegExprIllegalSymbol, "Unerlaubt '%s'"}};
  EXPECT_EQ(CompileErrors("a{x}"), std::vector<String>{"Zeile1, Char3: Unerlaubt 'x'"});
}

// The raised exception carries its own errors: they outlive the expression that raised them.
TEST(RegExprCompile, ErrorsOutliveTheExpression) {
  std::unique_ptr<EqvRegExprError> raised;
  {
    auto expr = MakeOwned<TqvRegExpr>();
    try {
      CompilePattern(*expr, "a{x}");
    } catch (const EqvRegExprError& e) {
      raised = std::make_unique<EqvRegExprError>(e);
    }
  }
  ASSERT_TRUE(raised);
  EXPECT_EQ(raised->GetErrors().GetItem(0).GetFullText(), "Line1, Char3: Illegal 'x'");
  EXPECT_THROW(raised->GetErrors().GetItem(1), EListError);
}

TEST(RegExprCompile, FailedCompilationLeavesNothingUsable) {
  TqvRegExpr expr;
  CompilePattern(expr, "ab");
  ASSERT_TRUE(expr.IsCompiled());
  ASSERT_NE(expr.GetSource(), nullptr);
  EXPECT_EQ(String(static_cast<const char*>(expr.GetSource()->Memory()), 2), "ab");
  EXPECT_THROW(CompilePattern(expr, "a)"), EqvRegExprError);
  EXPECT_FALSE(expr.IsCompiled());
  EXPECT_EQ(expr.GetSource(), nullptr);
  CompilePattern(expr, "c");
  char c = 'c';
  EXPECT_TRUE(expr.ConsumeChar(c));
  EXPECT_TRUE(expr.IsComplete());
}

TEST(RegExprCompile, MatchingBeforeCompilationRaises) {
  TqvRegExpr expr;
  char c = 'a';
  const String message = "Regular expression is not compiled";
  auto expectRaises = [&](const std::function<void()>& operation) {
    try {
      operation();
      ADD_FAILURE() << "no exception";
    } catch (const EqvRegExprError&) {
      ADD_FAILURE() << "a compile error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), message);
    }
  };
  expectRaises([&] { expr.IsComplete(); });
  expectRaises([&] { expr.AtStart(); });
  expectRaises([&] { expr.ConsumeChar(c); });
  expectRaises([&] { expr.StepBack(); });
  expectRaises([&] { expr.Restart(); });
  expectRaises([&] { expr.FilterText("a"); });
  EXPECT_FALSE(expr.IsCompiled());
  expr.SetUpdateOn(true);  // allowed: it only takes effect once compiled
  EXPECT_TRUE(expr.GetUpdateOn());
}

}  // namespace
