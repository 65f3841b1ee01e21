#include <gtest/gtest.h>

#include "platform/rtl/SysUtils.h"

namespace {

struct TCharCase {
  const char* Name;
  char Ch;
  bool Digit, AsciiLetter, IdentStart, Ident, AnsiLetter, SpaceOrTab;
};

class CharTestsTest : public ::testing::TestWithParam<TCharCase> {};

TEST_P(CharTestsTest, ClassifiesOneByteOfTheCodePage) {
  const TCharCase& c = GetParam();
  EXPECT_EQ(IsDigitChar(c.Ch), c.Digit);
  EXPECT_EQ(IsAsciiLetter(c.Ch), c.AsciiLetter);
  EXPECT_EQ(IsIdentStartChar(c.Ch), c.IdentStart);
  EXPECT_EQ(IsIdentChar(c.Ch), c.Ident);
  EXPECT_EQ(IsAnsiLetter(c.Ch), c.AnsiLetter);
  EXPECT_EQ(IsSpaceOrTab(c.Ch), c.SpaceOrTab);
}

//                                      digit  ascii  start  ident  ansi   blank
INSTANTIATE_TEST_SUITE_P(
    Chars, CharTestsTest,
    ::testing::Values(TCharCase{"Zero", '0', true, false, false, true, false, false},
                      TCharCase{"Nine", '9', true, false, false, true, false, false},
                      TCharCase{"BeforeZero", '/', false, false, false, false, false, false},
                      TCharCase{"AfterNine", ':', false, false, false, false, false, false},
                      TCharCase{"LowerA", 'a', false, true, true, true, true, false},
                      TCharCase{"LowerZ", 'z', false, true, true, true, true, false},
                      TCharCase{"UpperA", 'A', false, true, true, true, true, false},
                      TCharCase{"UpperZ", 'Z', false, true, true, true, true, false},
                      TCharCase{"BeforeUpperA", '@', false, false, false, false, false, false},
                      TCharCase{"AfterUpperZ", '[', false, false, false, false, false, false},
                      TCharCase{"BeforeLowerA", '`', false, false, false, false, false, false},
                      TCharCase{"AfterLowerZ", '{', false, false, false, false, false, false},
                      TCharCase{"Underscore", '_', false, false, true, true, false, false},
                      TCharCase{"Space", ' ', false, false, false, false, false, true},
                      TCharCase{"Tab", '\t', false, false, false, false, false, true},
                      TCharCase{"LineFeed", '\n', false, false, false, false, false, false},
                      TCharCase{"Nul", '\0', false, false, false, false, false, false},
                      TCharCase{"AcuteE", '\xE9', false, false, false, false, true, false},
                      TCharCase{"UpperScaron", '\x8A', false, false, false, false, true, false},
                      TCharCase{"SharpS", '\xDF', false, false, false, false, true, false},
                      TCharCase{"FeminineOrdinal", '\xAA', false, false, false, false, true, false},
                      TCharCase{"MasculineOrdinal", '\xBA', false, false, false, false, true, false},
                      TCharCase{"Multiply", '\xD7', false, false, false, false, false, false},
                      TCharCase{"NonBreakingSpace", '\xA0', false, false, false, false, false, false}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
