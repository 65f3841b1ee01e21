#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/SysUtils.h"

namespace {

struct TFormatCase {
  const char* Format;
  std::vector<TVarRec> Args;
  const char* Expected;
};

// Format takes an initializer list; the tables keep their arguments in vectors.
String FormatArgs(const String& format, const std::vector<TVarRec>& args,
                  const TFormatSettings& fs = TFormatSettings::EnglishUS()) {
  switch (args.size()) {
    case 0: return Format(format, {}, fs);
    case 1: return Format(format, {args[0]}, fs);
    case 2: return Format(format, {args[0], args[1]}, fs);
    case 3: return Format(format, {args[0], args[1], args[2]}, fs);
    default: return Format(format, {args[0], args[1], args[2], args[3]}, fs);
  }
}

void ExpectCases(const std::vector<TFormatCase>& cases,
                 const TFormatSettings& fs = TFormatSettings::EnglishUS()) {
  for (const TFormatCase& c : cases) EXPECT_EQ(FormatArgs(c.Format, c.Args, fs), c.Expected) << c.Format;
}

TEST(FormatDirectives, Integers) {
  ExpectCases({
      {"%d", {42}, "42"},
      {"%d", {-42}, "-42"},
      {"%5d", {42}, "   42"},
      {"%-5d|", {42}, "42   |"},
      {"%1d", {12345}, "12345"},
      {"%05d", {42}, "   42"},  // a leading zero is part of the width, not a flag
      {"%.4d", {42}, "0042"},
      {"%.4d", {-42}, "-0042"},
      {"%6.4d", {-42}, " -0042"},
      {"%.0d", {0}, "0"},
      {"%d", {9876543210LL}, "9876543210"},
      {"%d", {static_cast<unsigned char>(200)}, "200"},
      {"%u", {-1}, "4294967295"},
      {"%u", {-1LL}, "18446744073709551615"},
      {"%u", {7}, "7"},
      {"%.3u", {7}, "007"},
      {"%D", {5}, "5"},
  });
}

TEST(FormatDirectives, HexIsUpperCase) {
  ExpectCases({
      {"%x", {255}, "FF"},
      {"%X", {255}, "FF"},
      {"%.4x", {0x1F}, "001F"},
      {"%6.4x|", {0x1F}, "  001F|"},
      {"%-6x|", {0xAB}, "AB    |"},
      {"%x", {-1}, "FFFFFFFF"},
      {"%x", {-1LL}, "FFFFFFFFFFFFFFFF"},
      {"%x", {0}, "0"},
  });
}

TEST(FormatDirectives, StringsAndCharacters) {
  ExpectCases({
      {"%s", {"abc"}, "abc"},
      {"%5s", {"ab"}, "   ab"},
      {"%-5s|", {"ab"}, "ab   |"},
      {"%.2s", {"abcdef"}, "ab"},
      {"%5.2s", {"abcdef"}, "   ab"},
      {"%s", {'c'}, "c"},
      {"%s", {WideString(u"caf\u00e9")}, "caf\xE9"},
      {"%s", {String()}, ""},
      {"<%s>", {static_cast<const char*>(nullptr)}, "<>"},
      {"%s and %d", {"x", 3}, "x and 3"},
      {"%S", {"up"}, "up"},
  });
}

TEST(FormatDirectives, PercentIndexAndStar) {
  ExpectCases({
      {"100%%", {}, "100%"},
      {"%%%d%%", {5}, "%5%"},
      {"no directives", {}, "no directives"},
      {"%1:s %0:s", {"a", "b"}, "b a"},
      {"%1:s %s", {"a", "b", "c"}, "b c"},
      {"%0:s-%0:s", {"r"}, "r-r"},
      {"%*d", {5, 42}, "   42"},
      {"%-*d|", {5, 42}, "42   |"},
      {"%.*d", {4, 7}, "0007"},
      {"%*.*d", {6, 3, 5}, "   005"},
      {"%*:s", {1, "a"}, "a"},
      {"%d %s", {1, "extra", 2}, "1 extra"},  // unused arguments are fine
  });
}

TEST(FormatDirectives, Pointer) {
  const void* p = reinterpret_cast<const void*>(static_cast<uintptr_t>(0x1234ABCD));
  EXPECT_EQ(Format("%p", {p}), sizeof(void*) == 8 ? "000000001234ABCD" : "1234ABCD");
}

TEST(FormatErrors, MismatchedOrMissingArgumentsRaise) {
  const std::vector<TFormatCase> cases = {
      {"%d", {"x"}, ""},     {"%d", {}, ""},       {"%s", {5}, ""},      {"%d", {1.5}, ""},
      {"%f", {1}, ""},       {"%x", {'c'}, ""},    {"%s", {true}, ""},   {"%d", {true}, ""},
      {"%", {1}, ""},        {"%5", {1}, ""},      {"%y", {1}, ""},      {"%d %d", {1}, ""},
      {"%*d", {"a", 1}, ""}, {"%p", {5}, ""},      {"%99999999d", {1}, ""}, {"%5-d", {1}, ""},
      {"%.9999999d", {1}, ""}, {"%2:d", {1, 2}, ""}, {"%u", {1.0}, ""},   {"%e", {"1"}, ""},
  };
  for (const TFormatCase& c : cases) EXPECT_THROW(FormatArgs(c.Format, c.Args), EConvertError) << c.Format;
}

TEST(FormatErrors, MessageNamesTheFormat) {
  try {
    Format("Total: %d", {"x"});
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Format 'Total: %d' invalid or incompatible with argument");
  }
}

TEST(FormatFloats, DirectivesInEnglish) {
  ExpectCases({
      {"%f", {1.5}, "1.50"},
      {"%.3f", {2.0}, "2.000"},
      {"%.0f", {2.4}, "2"},
      {"%8.2f", {3.14159}, "    3.14"},
      {"%-8.1f|", {3.14159}, "3.1     |"},
      {"%f", {-0.25}, "-0.25"},
      {"%n", {1234567.891}, "1,234,567.89"},
      {"%.0n", {1234.0}, "1,234"},
      {"%m", {1234.5}, "$1,234.50"},
      {"%m", {-1234.5}, "($1,234.50)"},
      {"%m", {Currency::FromRaw(12345)}, "$1.23"},
      {"%.4f", {Currency::FromRaw(INT64_MAX)}, "922337203685477.5807"},  // no detour through double
      {"%n", {Currency::FromRaw(-123456789)}, "-12,345.68"},
      {"%e", {1234.5}, "1.23450000000000E+003"},
      {"%.3e", {1234.5}, "1.23E+003"},
      {"%g", {1234.5}, "1234.5"},
      {"%g", {0.1}, "0.1"},
      {"%f", {2.5f}, "2.50"},
  });
}

TEST(FormatFloats, DirectivesInGerman) {
  const TFormatSettings de = TFormatSettings::German();
  ExpectCases({
                  {"%f", {1.5}, "1,50"},
                  {"%n", {1234.5}, "1.234,50"},
                  {"%m", {1234.5}, "1.234,50 \x80"},
                  {"%m", {-1234.5}, "-1.234,50 \x80"},
              },
              de);
}

TEST(FormatFloats, GlobalSettingsApplyWithoutExplicitSettings) {
  TFormatSettingsScope german(TFormatSettings::German());
  EXPECT_EQ(Format("%.1f", {2.5}), "2,5");
}

// ---------------------------------------------------------------------------------------------
// The settings object

TEST(FormatSettingsValues, EnglishDefaultsAndGerman) {
  const TFormatSettings us = TFormatSettings::EnglishUS();
  EXPECT_EQ(us.DecimalSeparator, '.');
  EXPECT_EQ(us.ThousandSeparator, ',');
  EXPECT_EQ(us.CurrencyString, "$");

  const TFormatSettings de = TFormatSettings::German();
  EXPECT_EQ(de.DecimalSeparator, ',');
  EXPECT_EQ(de.ThousandSeparator, '.');
  EXPECT_EQ(de.DateSeparator, '.');
  EXPECT_EQ(de.TimeSeparator, ':');
  EXPECT_EQ(de.ShortDateFormat, "dd.MM.yyyy");
  EXPECT_EQ(de.LongDateFormat, "dddd, d. MMMM yyyy");
  EXPECT_EQ(de.ShortTimeFormat, "HH:mm");
  EXPECT_EQ(de.LongTimeFormat, "HH:mm:ss");
  EXPECT_EQ(de.CurrencyString, "\x80");
  EXPECT_EQ(de.CurrencyFormat, 3);
  EXPECT_EQ(de.NegCurrFormat, 8);
  EXPECT_EQ(de.CurrencyDecimals, 2);
  EXPECT_EQ(de.LongMonthNames[2], "M\xE4rz");
  EXPECT_EQ(de.ShortMonthNames[9], "Okt");
  EXPECT_EQ(de.LongDayNames[0], "Sonntag");
  EXPECT_EQ(de.ShortDayNames[6], "Sa");
  EXPECT_EQ(de.FirstDayOfWeek, 0);
}

class FormatSettingsSignal : public ::testing::Test {
 protected:
  void TearDown() override {
    for (Integer handle : FHandles) RemoveFormatSettingsListener(handle);
    SetFormatSettings(TFormatSettings::EnglishUS());
  }
  Integer Listen(TFormatSettingsListener listener) {
    FHandles.push_back(AddFormatSettingsListener(std::move(listener)));
    return FHandles.back();
  }
  std::vector<Integer> FHandles;
};

TEST_F(FormatSettingsSignal, ListenersHearEveryChangeUntilRemoved) {
  Integer calls = 0;
  char seenDecimal = 0;
  Integer handle = Listen([&] {
    ++calls;
    seenDecimal = FormatSettings().DecimalSeparator;
  });
  SetFormatSettings(TFormatSettings::German());
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(seenDecimal, ',');  // the new settings are in place when listeners run
  RemoveFormatSettingsListener(handle);
  SetFormatSettings(TFormatSettings::EnglishUS());
  EXPECT_EQ(calls, 1);
  RemoveFormatSettingsListener(handle);  // twice is harmless
}

TEST_F(FormatSettingsSignal, ListenerMayRemoveItselfAndOthers) {
  Integer first = 0, second = 0;
  Integer firstHandle = 0, secondHandle = 0;
  firstHandle = Listen([&] {
    ++first;
    RemoveFormatSettingsListener(firstHandle);
    RemoveFormatSettingsListener(secondHandle);
  });
  secondHandle = Listen([&] { ++second; });
  SetFormatSettings(TFormatSettings::German());
  SetFormatSettings(TFormatSettings::German());
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 0);
}

TEST_F(FormatSettingsSignal, ScopePinsAndRestores) {
  Integer calls = 0;
  Listen([&] { ++calls; });
  {
    TFormatSettingsScope scope(TFormatSettings::German());
    EXPECT_EQ(FormatSettings().DecimalSeparator, ',');
  }
  EXPECT_EQ(FormatSettings().DecimalSeparator, '.');
  EXPECT_EQ(calls, 2);
}

}  // namespace
