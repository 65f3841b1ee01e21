// The classic edit mask: compiling, the blank template and empty text, merging a text into the
// template, the value form and the validity test.
#include <gtest/gtest.h>

#include "editors/qvStandardMask.h"
#include "platform/rtl/SysUtils.h"

namespace {

TqvStandardMask Compiled(const String& AMask) {
  TqvStandardMask mask;
  mask.Compile(AMask);
  return mask;
}

// ---------------------------------------------------------------------------------------------
// Compiling: mask -> template, empty text, literal saving, blank

struct TCompileCase {
  String Mask;
  String Template;
  String EmptyText;
  bool SaveLiterals;
  char Blank;
  friend void PrintTo(const TCompileCase& c, std::ostream* os) { *os << "\"" << c.Mask << "\""; }
};

class StandardMaskCompileTest : public ::testing::TestWithParam<TCompileCase> {};

TEST_P(StandardMaskCompileTest, BuildsTheTemplate) {
  const TCompileCase& c = GetParam();
  TqvStandardMask mask = Compiled(c.Mask);
  EXPECT_EQ(mask.GetEmptyTemplate(), c.Template);
  EXPECT_EQ(mask.GetEmptyText(), c.EmptyText);
  EXPECT_EQ(mask.GetSaveLiterals(), c.SaveLiterals);
  EXPECT_EQ(mask.GetBlank(), c.Blank);
  EXPECT_EQ(mask.GetCount(), Length(c.Template));
  EXPECT_EQ(mask.GetMask(), c.Mask);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, StandardMaskCompileTest,
    ::testing::Values(
        TCompileCase{"", "", "", true, '_'}, TCompileCase{"!99", "__", "  ", true, '_'},
        TCompileCase{"99", "__", "  ", true, '_'}, TCompileCase{"\\", "", "", true, '_'},
        TCompileCase{"\\\\", "\\", "\\", true, '_'}, TCompileCase{"\\L\\0", "L0", "L0", true, '_'},
        TCompileCase{"0;0", "_", " ", false, '_'}, TCompileCase{"0;1;#", "#", " ", true, '#'},
        TCompileCase{"0;2", "_;2", " ;2", true, '_'}, TCompileCase{"0;1;#x", "_;1;_x", " ;1; x", true, '_'},
        TCompileCase{"00/00", "__/__", "  /  ", true, '_'}, TCompileCase{"00/00;0", "__/__", "    ", false, '_'},
        TCompileCase{"000-0000;0;*", "***-****", "       ", false, '*'}, TCompileCase{"!0!", "_!", " !", true, '_'},
        TCompileCase{"LlAaCc09#", "_________", "         ", true, '_'}, TCompileCase{"(999) 000", "(___) ___", "(   )    ", true, '_'},
        TCompileCase{"hh:mm", "hh:mm", "hh:mm", true, '_'}, TCompileCase{">L<>l<", "__", "  ", true, '_'},
        TCompileCase{"0;", "_;", " ;", true, '_'}));

TEST(StandardMaskCompile, SeparatorsAreTheLocalesAtCompileTime) {
  TFormatSettings german = TFormatSettings::German();
  german.TimeSeparator = '.';
  TqvStandardMask mask;
  {
    TFormatSettingsScope scope(german);
    mask.Compile("00/00 00:00");
  }
  EXPECT_EQ(mask.GetEmptyTemplate(), "__.__ __.__");
}

TEST(StandardMaskCompile, EachMaskCharacterGivesItsPosition) {
  struct Case {
    char MaskChar;
    const char* ClassName;
    bool Optional;
  } cases[] = {
      {'L', "TqvStandardMaskAlphaItem", false},        {'l', "TqvStandardMaskAlphaItem", true},
      {'A', "TqvStandardMaskAlphaNumericItem", false}, {'a', "TqvStandardMaskAlphaNumericItem", true},
      {'C', "TqvStandardMaskASCIIItem", false},        {'c', "TqvStandardMaskASCIIItem", true},
      {'0', "TqvStandardMaskNumericItem", false},      {'9', "TqvStandardMaskNumericItem", true},
      {'#', "TqvStandardMaskNumericSymbolItem", true},
  };
  for (const Case& c : cases) {
    TqvStandardMask mask = Compiled(String(1, c.MaskChar));
    ASSERT_EQ(mask.GetCount(), 1) << c.MaskChar;
    EXPECT_EQ(mask.GetItem(0)->ClassName(), c.ClassName) << c.MaskChar;
    const auto* editable = As<TqvStandardMaskManyItem>(mask.GetItem(0));
    ASSERT_NE(editable, nullptr);
    EXPECT_EQ(editable->GetOptional(), c.Optional) << c.MaskChar;
    EXPECT_FALSE(mask.IsLiteral(0));
  }
  EXPECT_TRUE(Compiled("x").IsLiteral(0));
  EXPECT_THROW(Compiled("0").GetItem(1), EListError);
}

TEST(StandardMaskCompile, CaseMarksApplyToTheFollowingPositions) {
  TqvStandardMask mask = Compiled(">LL<ll<>L");
  const TqvStandardMaskCaseControl expected[] = {smcUpperCase, smcUpperCase, smcLowerCase, smcLowerCase, smcNone};
  ASSERT_EQ(mask.GetCount(), 5);
  for (Integer i = 0; i < 5; ++i)
    EXPECT_EQ(As<TqvStandardMaskManyItem>(mask.GetItem(i))->GetCaseControl(), expected[i]) << i;
}

TEST(StandardMaskCompile, CompilingAgainStartsAfresh) {
  TqvStandardMask mask = Compiled("00;0;*");
  mask.Compile("L");
  EXPECT_EQ(mask.GetEmptyTemplate(), "_");
  EXPECT_TRUE(mask.GetSaveLiterals());
}

// ---------------------------------------------------------------------------------------------
// Merging: mask x text x converted -> filled template

struct TMergeCase {
  String Mask;
  String Text;
  bool UseConverted;
  String Merged;
  friend void PrintTo(const TMergeCase& c, std::ostream* os) {
    *os << "\"" << c.Mask << "\" + \"" << c.Text << "\"" << (c.UseConverted ? " converted" : "");
  }
};

class StandardMaskMergeTest : public ::testing::TestWithParam<TMergeCase> {};

TEST_P(StandardMaskMergeTest, FillsTheTemplate) {
  const TMergeCase& c = GetParam();
  String text = c.Text;
  Compiled(c.Mask).Merge(text, c.UseConverted);
  EXPECT_EQ(text, c.Merged);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StandardMaskMergeTest,
    ::testing::Values(
        TMergeCase{"00-00", "12-34", true, "12-34"}, TMergeCase{"00-00", "1234", true, "12-34"},
        TMergeCase{"00-00", "1", true, "1_-__"}, TMergeCase{"00-00", "12 4", true, "12-_4"},
        TMergeCase{"00-00", "1_3", true, "1_-3_"}, TMergeCase{"00-00", "123456", true, "12-34"},
        TMergeCase{"00", "abc", true, "__"}, TMergeCase{"", "abc", true, ""}, TMergeCase{"00", "", true, "__"},
        TMergeCase{">L", "a", true, "A"}, TMergeCase{">L", "a", false, "a"}, TMergeCase{"L0", "1a", true, "a1"},
        TMergeCase{">L<l", "aB", true, "Ab"}, TMergeCase{">L<l", "aB", false, "aB"},
        TMergeCase{"-0", "-5", true, "-5"}, TMergeCase{"-0", "5", true, "-5"},
        TMergeCase{"00;0;*", "*5", true, "*5"}, TMergeCase{"00;0;*", "_5", true, "5*"},
        TMergeCase{"C", " ", true, " "}, TMergeCase{"00/00", "12/34", true, "12/34"}));

// The case a position gives a refused character is what the next positions see.
TEST(StandardMaskMerge, ConvertedCaseCarriesToLaterPositions) {
  String text = "a";
  Compiled(">0L").Merge(text, true);
  EXPECT_EQ(text, "_A");
  text = "A";
  Compiled("<0L").Merge(text, false);
  EXPECT_EQ(text, "_A") << "without conversion the character is kept as typed";
}

// ---------------------------------------------------------------------------------------------
// Value form: mask x merged text -> kept text

struct TValueFormCase {
  String Mask;
  String Text;
  String Value;
};

TEST(StandardMaskValueForm, KeepsLiteralsOnlyWhenSaved) {
  const TValueFormCase cases[] = {
      {"00/00", "12/34", "12/34"}, {"00/00;0", "12/34", "1234"}, {"00/00", "1_/__", "1 /  "},
      {"00/00", "12", "12"},       {"00", "1234", "12"},         {"00;0;*", "*5", " 5"},
      {"", "abc", ""},             {"99", "__", "  "},
  };
  for (const TValueFormCase& c : cases) {
    String text = c.Text;
    Compiled(c.Mask).GetValueForm(text);
    EXPECT_EQ(text, c.Value) << c.Mask << " / " << c.Text;
  }
}

TEST(StandardMaskValueForm, MergedDigitsOfADateMask) {
  TqvStandardMask mask = Compiled("00/00;0");
  String text = "1234";
  mask.Merge(text, true);
  EXPECT_EQ(text, "12/34");
  mask.GetValueForm(text);
  EXPECT_EQ(text, "1234");
}

// ---------------------------------------------------------------------------------------------
// Validity: mask x text -> valid, text as converted

struct TValidCase {
  String Mask;
  String Text;
  bool Valid;
  String Converted;
  friend void PrintTo(const TValidCase& c, std::ostream* os) { *os << "\"" << c.Mask << "\" / \"" << c.Text << "\""; }
};

class StandardMaskValidityTest : public ::testing::TestWithParam<TValidCase> {};

TEST_P(StandardMaskValidityTest, AcceptsOnlyCompleteTexts) {
  const TValidCase& c = GetParam();
  String text = c.Text;
  EXPECT_EQ(Compiled(c.Mask).IsValid(text), c.Valid);
  EXPECT_EQ(text, c.Converted);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StandardMaskValidityTest,
    ::testing::Values(
        TValidCase{"", "", true, ""}, TValidCase{"", "a", false, "a"}, TValidCase{"9", "_", true, "_"},
        TValidCase{"9", " ", true, " "}, TValidCase{"9", "5", true, "5"}, TValidCase{"9", "x", false, "x"},
        TValidCase{"0", "_", false, "_"}, TValidCase{"0", " ", false, " "}, TValidCase{"#", "+", true, "+"},
        TValidCase{"#", "-", true, "-"}, TValidCase{"#", "7", true, "7"}, TValidCase{"#", "_", true, "_"},
        TValidCase{"#", "x", false, "x"}, TValidCase{">L", "a", true, "A"}, TValidCase{"<L", "Q", true, "q"},
        TValidCase{"L", "1", false, "1"}, TValidCase{"l", "\xE9", false, "\xE9"}, TValidCase{"a", "_", true, "_"},
        TValidCase{"A", "z", true, "z"}, TValidCase{"C", "_", true, "_"}, TValidCase{"c", "\xE9", true, "\xE9"},
        TValidCase{"00/00", "12/34", true, "12/34"}, TValidCase{"00/00", "12-34", false, "12-34"},
        TValidCase{"00/00", "1234", false, "1234"}, TValidCase{"00/00", "12/345", false, "12/345"},
        TValidCase{"0;0;*", "*", false, "*"}, TValidCase{"9;0;*", "*", true, "*"}, TValidCase{"9;0;*", "_", false, "_"},
        TValidCase{">LL", "ab", true, "AB"}));

}  // namespace
