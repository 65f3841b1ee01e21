// The mask language: character classes, directives, fields, offsets and the text functions.
#include <gtest/gtest.h>

#include "platform/rtl/SysUtils.h"
#include "support/EnumNames.h"
#include "treelist/zmMask.h"

namespace {

std::string TypeName(TzmMaskCharType Type) {
  return NameOf(Type, {QJ_NAMED(mcNone), QJ_NAMED(mcLiteral), QJ_NAMED(mcIntlLiteral), QJ_NAMED(mcDirective),
                       QJ_NAMED(mcMask), QJ_NAMED(mcMaskOpt), QJ_NAMED(mcFieldSeparator), QJ_NAMED(mcField)});
}

TEST(zmMaskCharType, ClassesOfEveryMaskCharacter) {
  // Each character of the mask, by position.
  const std::pair<const char*, std::vector<TzmMaskCharType>> cases[] = {
      {"0L9a#", {mcMask, mcMask, mcMaskOpt, mcMaskOpt, mcMaskOpt}},
      {"AaCcl", {mcMask, mcMaskOpt, mcMask, mcMaskOpt, mcMaskOpt}},
      {"x/:-", {mcLiteral, mcIntlLiteral, mcIntlLiteral, mcLiteral}},
      {"!<>\\0", {mcDirective, mcDirective, mcDirective, mcDirective, mcLiteral}},
      {"\\\\0", {mcDirective, mcLiteral, mcMask}},
      {"00;1;_", {mcMask, mcMask, mcFieldSeparator, mcField, mcFieldSeparator, mcField}},
      {"0;0", {mcMask, mcLiteral, mcMask}},  // too short for fields
      {";000000", {mcLiteral, mcMask, mcMask, mcMask, mcMask, mcMask, mcMask}},
      {"00\\;1", {mcMask, mcMask, mcDirective, mcLiteral, mcLiteral}},
  };
  for (const auto& [mask, types] : cases)
    for (size_t i = 0; i < types.size(); ++i)
      EXPECT_EQ(TypeName(MaskCharType(mask, static_cast<Integer>(i + 1))), TypeName(types[i]))
          << mask << " at " << i + 1;
  EXPECT_EQ(MaskCharType("00", 0), mcNone);
  EXPECT_EQ(MaskCharType("00", 3), mcNone);
}

TEST(zmMaskDirectives, CaseFollowsTheLastDirectiveBeforeThePosition) {
  const String mask = ">aa<ll<>cc";
  EXPECT_EQ(MaskDirectives(mask, 2), mdUpperCase);
  EXPECT_EQ(MaskDirectives(mask, 5), mdLowerCase);
  EXPECT_EQ(MaskDirectives(mask, 9), 0) << "\"<>\" ends case conversion";
  EXPECT_EQ(MaskDirectives("aa>!", 1), mdReverseDir) << "\"!\" anywhere reverses; \">\" only counts before";
  EXPECT_EQ(MaskDirectives("0-0", 2), mdLiteralChar);
}

TEST(zmMaskFields, SaveLiteralsFlagAndBlankCharacter) {
  const std::tuple<const char*, bool, char> cases[] = {
      {"00/00;0;_", false, '_'}, {"00/00;1;_", true, '_'},  {"00/00", true, '_'}, {"0000;", true, '_'},
      {"00/00;1;*", true, '*'},  {"00/00;0", false, '_'},   {"0;0", true, '_'},   {"00/00;0; ", false, ' '},
  };
  for (auto [mask, saves, blank] : cases) {
    EXPECT_EQ(MaskSavesLiterals(mask), saves) << mask;
    EXPECT_EQ(MaskBlankChar(mask), blank) << mask;
  }
}

TEST(zmMaskOffsets, TextOffsetsSkipDirectivesAndFields) {
  const String mask = ">00/00;1;_";
  EXPECT_EQ(MaskOffsetToTextOffset(mask, Length(mask)), 5);
  const Integer positions[] = {2, 3, 4, 5, 6, -1};
  for (Integer offset = 0; offset < 6; ++offset)
    EXPECT_EQ(TextOffsetToMaskOffset(mask, offset), positions[offset]) << offset;
  EXPECT_EQ(TextOffsetToMaskOffset(mask, -1), -1);
  EXPECT_FALSE(IsMaskLiteral(mask, 1));
  EXPECT_TRUE(IsMaskLiteral(mask, 2));
  EXPECT_FALSE(IsMaskLiteral(mask, 5));
}

struct TFormatCase {
  const char* Mask;
  const char* Text;
  const char* Formatted;
};

class zmFormatMaskText : public testing::TestWithParam<TFormatCase> {};

TEST_P(zmFormatMaskText, LaysInputIntoTheMask) {
  const TFormatCase& c = GetParam();
  EXPECT_EQ(FormatMaskText(c.Mask, c.Text, MaskBlankChar(c.Mask)), c.Formatted);
}

INSTANTIATE_TEST_SUITE_P(Masks, zmFormatMaskText,
                         testing::Values(TFormatCase{"00/00;1;_", "12", "12/__"},
                                         TFormatCase{"00/00;1;_", "1234", "12/34"},
                                         TFormatCase{"00/00;1;_", "123456", "12/34"},  // surplus is cut
                                         TFormatCase{"!99/99;1;_", "123", "_1/23"},
                                         TFormatCase{"!99/99;1;_", "123456", "34/56"},
                                         TFormatCase{"(999)000-0000;1;_", "", "(___)___-____"},
                                         TFormatCase{"\\A00;1;*", "5", "A5*"},
                                         TFormatCase{"99:99", "1234", "12:34"},
                                         TFormatCase{"", "free text", "free text"}));

TEST(zmFormatMaskText, SeparatorsFollowTheLocale) {
  TFormatSettingsScope german(TFormatSettings::German());
  EXPECT_EQ(FormatMaskText("00/00", "1231", '_'), "12.31");
  EXPECT_EQ(MaskSeparatorChar('x'), 'x');
}

struct TPadCase {
  const char* Mask;
  const char* Value;
  const char* Padded;
};

class zmPadMaskLiterals : public testing::TestWithParam<TPadCase> {};

TEST_P(zmPadMaskLiterals, FitsEachSubFieldBetweenLiterals) {
  const TPadCase& c = GetParam();
  EXPECT_EQ(PadMaskLiterals(c.Mask, c.Value, '_'), c.Padded);
}

INSTANTIATE_TEST_SUITE_P(Masks, zmPadMaskLiterals,
                         testing::Values(TPadCase{"00/00;1;_", "1/2", "1_/2_"},
                                         TPadCase{"!00/00;1;_", "1/2", "_1/_2"},
                                         TPadCase{"00/00;1;_", "12345/6", "12/6_"},
                                         TPadCase{"00-00;1;_", "12", "12-__"},
                                         TPadCase{"00/00;1;_", "1 /3 ", "1_/3_"},
                                         TPadCase{"00/00;1;_", "12/34", "12/34"}));

TEST(zmPadMaskSubField, PadsOrCutsAtTheEndOrTheStart) {
  EXPECT_EQ(PadMaskSubField("ab", 4, '_', false), "ab__");
  EXPECT_EQ(PadMaskSubField("ab", 4, '_', true), "__ab");
  EXPECT_EQ(PadMaskSubField("abcd", 2, '_', false), "ab");
  EXPECT_EQ(PadMaskSubField("abcd", 2, '_', true), "cd");
}

}  // namespace
