#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/rtl/SysUtils.h"

namespace {

// ---------------------------------------------------------------------------------------------
// 1-based position helpers

struct TCopyCase {
  const char* Source;
  Integer Index;
  Integer Count;
  const char* Expected;
};

TEST(StringsPositions, CopyClampsLikeThePlatform) {
  const TCopyCase cases[] = {
      {"Hello", 1, 3, "Hel"},  {"Hello", 2, 100, "ello"}, {"Hello", 0, 2, "He"},
      {"Hello", -5, 2, "He"},  {"Hello", 5, 1, "o"},      {"Hello", 6, 1, ""},
      {"Hello", 3, 0, ""},     {"Hello", 3, -1, ""},      {"", 1, 1, ""},
      {"Hello", 1, 0x7FFFFFFF, "Hello"},
  };
  for (const TCopyCase& c : cases)
    EXPECT_EQ(Copy(String(c.Source), c.Index, c.Count), c.Expected)
        << c.Source << " " << c.Index << " " << c.Count;
  EXPECT_EQ(Copy(WideString(u"H\u00e9llo"), 2, 2), u"\u00e9l");
}

TEST(StringsPositions, PosAndPosEx) {
  EXPECT_EQ(Pos("lo", "Hello"), 4);
  EXPECT_EQ(Pos("l", "Hello"), 3);
  EXPECT_EQ(Pos("x", "Hello"), 0);
  EXPECT_EQ(Pos("", "Hello"), 0);
  EXPECT_EQ(Pos("Hello!", "Hello"), 0);
  EXPECT_EQ(Pos(WideString(u"\u00e9"), WideString(u"caf\u00e9")), 4);

  EXPECT_EQ(PosEx("l", "Hello", 1), 3);
  EXPECT_EQ(PosEx("l", "Hello", 4), 4);
  EXPECT_EQ(PosEx("l", "Hello", 5), 0);
  EXPECT_EQ(PosEx("l", "Hello", 0), 0);
  EXPECT_EQ(PosEx("l", "Hello", -3), 0);
  EXPECT_EQ(PosEx("o", "Hello", 6), 0);
}

struct TDeleteCase {
  Integer Index;
  Integer Count;
  const char* Expected;
};

TEST(StringsPositions, DeleteIgnoresOutOfRangePositions) {
  const TDeleteCase cases[] = {
      {2, 2, "Hlo"}, {1, 1, "ello"}, {5, 10, "Hell"}, {6, 1, "Hello"},
      {0, 2, "Hello"}, {-1, 3, "Hello"}, {2, 0, "Hello"}, {2, -4, "Hello"},
  };
  for (const TDeleteCase& c : cases) {
    String s = "Hello";
    Delete(s, c.Index, c.Count);
    EXPECT_EQ(s, c.Expected) << c.Index << " " << c.Count;
  }
  WideString w = u"abc";
  Delete(w, 2, 1);
  EXPECT_EQ(w, u"ac");
}

TEST(StringsPositions, InsertClampsToTheEnds) {
  const std::pair<Integer, const char*> cases[] = {
      {1, "XYHello"}, {3, "HeXYllo"}, {6, "HelloXY"}, {99, "HelloXY"}, {0, "XYHello"}, {-3, "XYHello"},
  };
  for (const auto& [index, expected] : cases) {
    String s = "Hello";
    Insert("XY", s, index);
    EXPECT_EQ(s, expected) << index;
  }
  WideString w = u"ac";
  Insert(WideString(u"b"), w, 2);
  EXPECT_EQ(w, u"abc");
}

TEST(StringsPositions, StringOfChar) {
  EXPECT_EQ(StringOfChar('x', 3), "xxx");
  EXPECT_EQ(StringOfChar('x', 0), "");
  EXPECT_EQ(StringOfChar('x', -2), "");
}

TEST(StringsReplace, AllFirstAndIgnoringCase) {
  EXPECT_EQ(StringReplace("a-b-c", "-", "+"), "a+b+c");
  EXPECT_EQ(StringReplace("a-b-c", "-", "+", false), "a+b-c");
  EXPECT_EQ(StringReplace("Hello HELLO", "hello", "x"), "Hello HELLO");
  EXPECT_EQ(StringReplace("Hello HELLO", "hello", "x", true, true), "x x");
  EXPECT_EQ(StringReplace("\xC4pfel \xE4pfel", "\xE4PFEL", "x", true, true), "x x");
  EXPECT_EQ(StringReplace("abc", "", "x"), "abc");
  EXPECT_EQ(StringReplace("aa", "a", "aa"), "aaaa");  // the replacement is not searched again
  EXPECT_EQ(StringReplace("", "a", "b"), "");
}

// Every character up to and including the space is a blank, NUL among them.
struct TTrimCase {
  const char* Name;
  String Text;
  String Trimmed;
  String Left;
  String Right;
  friend void PrintTo(const TTrimCase& c, std::ostream* os) { *os << c.Name; }
};

class StringsTrim : public testing::TestWithParam<TTrimCase> {};

TEST_P(StringsTrim, TrimsBothEndsOrOne) {
  const TTrimCase& c = GetParam();
  EXPECT_EQ(Trim(c.Text), c.Trimmed);
  EXPECT_EQ(TrimLeft(c.Text), c.Left);
  EXPECT_EQ(TrimRight(c.Text), c.Right);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StringsTrim,
    testing::Values(
        TTrimCase{"Empty", "", "", "", ""},
        TTrimCase{"AllBlanks", " \t\r\n ", "", "", ""},
        TTrimCase{"AllBlanksWithNul", String(" \0\t\0", 4), "", "", ""},
        TTrimCase{"NoBlanks", "a b", "a b", "a b", "a b"},
        TTrimCase{"SpacesAndLineBreaks", "  a b \t\r\n", "a b", "a b \t\r\n", "  a b"},
        TTrimCase{"ControlCharacters", "\x01\x1F" "a\x7F", "a\x7F", "a\x7F", "\x01\x1F" "a\x7F"},
        TTrimCase{"NulAtTheStart", String("\0 a ", 4), "a", "a ", String("\0 a", 3)},
        TTrimCase{"NulAtTheEnd", String(" a \0", 4), "a", String("a \0", 3), " a"},
        TTrimCase{"NulInside", String(" a\0b ", 5), String("a\0b", 3), String("a\0b ", 4),
                  String(" a\0b", 4)},
        TTrimCase{"NoBreakSpaceIsText", "\xA0" "a\xA0", "\xA0" "a\xA0", "\xA0" "a\xA0",
                  "\xA0" "a\xA0"},
        TTrimCase{"FirstCharacterAfterTheSpaceIsText", " ! ", "!", "! ", " !"}),
    [](const testing::TestParamInfo<TTrimCase>& info) { return String(info.param.Name); });

TEST(StringsTrimWide, TrimsBlanksAndNul) {
  EXPECT_EQ(Trim(WideString(u" \u00e9 \t")), u"\u00e9");
  EXPECT_EQ(Trim(WideString(u"\0 \u00e9\0", 4)), u"\u00e9");
}

// ---------------------------------------------------------------------------------------------
// Case mapping

TEST(StringsCase, AsciiMappingLeavesOtherBytesAlone) {
  EXPECT_EQ(UpperCase("abc\xE4z{}"), "ABC\xE4Z{}");
  EXPECT_EQ(LowerCase("ABC\xC4Z@["), "abc\xC4z@[");
}

TEST(StringsCase, CodePageLettersHaveBothCases) {
  // Every upper/lower pair of the code page, and letters that have no partner in it.
  const String upper = "ABZ\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1"
                       "\xD2\xD3\xD4\xD5\xD6\xD8\xD9\xDA\xDB\xDC\xDD\xDE\x8A\x8C\x8E\x9F";
  const String lower = "abz\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF0\xF1"
                       "\xF2\xF3\xF4\xF5\xF6\xF8\xF9\xFA\xFB\xFC\xFD\xFE\x9A\x9C\x9E\xFF";
  EXPECT_EQ(AnsiUpperCase(lower), upper);
  EXPECT_EQ(AnsiLowerCase(upper), lower);
  const String caseless = "\xDF\xB5\xAA\xBA\x83\xD7\xF7" "09!\x80\x81";
  EXPECT_EQ(AnsiUpperCase(caseless), caseless);
  EXPECT_EQ(AnsiLowerCase(caseless), caseless);
  EXPECT_EQ(AnsiUpperChar('\xE9'), '\xC9');
  EXPECT_EQ(AnsiLowerChar('\x8A'), '\x9A');
  EXPECT_EQ(AnsiUpperChar('1'), '1');
}

// ---------------------------------------------------------------------------------------------
// Comparison

Integer Sign(Integer v) { return (v > 0) - (v < 0); }

TEST(StringsCompare, OrdinalComparisons) {
  EXPECT_LT(CompareStr("a", "b"), 0);
  EXPECT_GT(CompareStr("b", "a"), 0);
  EXPECT_EQ(CompareStr("abc", "abc"), 0);
  EXPECT_GT(CompareStr("a", "A"), 0);
  EXPECT_GT(CompareStr("ab", "a"), 0);
  EXPECT_GT(CompareStr("\xE4", "z"), 0);  // bytes compare unsigned

  EXPECT_EQ(CompareText("abc", "ABC"), 0);
  EXPECT_LT(CompareText("a", "B"), 0);
  EXPECT_GT(CompareText("_", "a"), 0);  // compares upper-cased: '_' follows 'A'
  EXPECT_NE(CompareText("\xE4", "\xC4"), 0);  // ASCII only
  EXPECT_LT(CompareText("ab", "ABC"), 0);
  EXPECT_TRUE(SameText("Hello", "hELLO"));
  EXPECT_FALSE(SameText("Hello", "Hell"));
}

// Strings in the order word sort gives them, case and accents included.
const char* const KWordSortOrder[] = {
    "",         " ",        "!",      "#",      "+",       "0",      "1",      "10",
    "2",        "9",        "a",      "A",      "\xE1",    "\xC1",   "\xE4",   "\xC4",
    "ab",       "Ab",       "b",      "B",      "co",      "coop",   "co-op",  "cote",
    "Cote",     "c\xF4te",  "C\xF4te", "n",      "\xF1",    "o",      "\xF8",   "oe",
    "\x9C",     "of",       "p",      "s",      "\x9A",    "ss",     "\xDF",   "st",
    "Strasse",  ("Stra\xDF" "e"),     "t",      "th",      "\xFE",   "ti",     "z",
    "\x9E",     "\xB5",
};

TEST(StringsCompare, AnsiCompareStrFollowsWordSort) {
  const size_t n = std::size(KWordSortOrder);
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < n; ++j) {
      Integer expected = Sign(static_cast<Integer>(i) - static_cast<Integer>(j));
      EXPECT_EQ(Sign(AnsiCompareStr(KWordSortOrder[i], KWordSortOrder[j])), expected)
          << "'" << KWordSortOrder[i] << "' vs '" << KWordSortOrder[j] << "'";
    }
}

struct TTextCompareCase {
  const char* A;
  const char* B;
  Integer Expected;
};

TEST(StringsCompare, AnsiCompareTextIgnoresCaseOnly) {
  const TTextCompareCase cases[] = {
      {"abc", "ABC", 0},       {"\xE4", "\xC4", 0},       {"\xE4" "b", "Ac", -1},
      {"a", "B", -1},          {"\xD6", "p", -1},         {"\xE9", "f", -1},
      {"a", "\xE1", -1},       {"R\xE9sum\xE9", "resume", 1}, {"\x8A", "\x9A", 0},
      {"coop", "CO-OP", -1},   {"Zebra", "apple", 1},     {"1", "a", -1},
  };
  for (const TTextCompareCase& c : cases) {
    EXPECT_EQ(Sign(AnsiCompareText(c.A, c.B)), c.Expected) << c.A << " vs " << c.B;
    EXPECT_EQ(Sign(AnsiCompareText(c.B, c.A)), -c.Expected) << c.B << " vs " << c.A;
  }
  EXPECT_TRUE(AnsiSameText("\xC4pfel", "\xE4PFEL"));
  EXPECT_FALSE(AnsiSameText("a", "\xE1"));
  EXPECT_FALSE(AnsiSameText("a", "ab"));
  EXPECT_TRUE(AnsiSameStr("\xE4", "\xE4"));
  EXPECT_FALSE(AnsiSameStr("\xE4", "\xC4"));
}

// Sorting needs a strict total order: antisymmetric, transitive, equal only when identical.
TEST(StringsCompare, AnsiCompareStrIsATotalOrderOverTheCodePage) {
  std::vector<String> strings;
  for (Integer c = 0; c < 256; ++c) strings.push_back(String(1, static_cast<char>(c)));
  const char* seeds[] = {"a", "A", "\xE4", "-", "'", "\x01", "1", " "};
  for (const char* x : seeds)
    for (const char* y : seeds) strings.push_back(String(x) + y);
  std::sort(strings.begin(), strings.end(),
            [](const String& a, const String& b) { return AnsiCompareStr(a, b) < 0; });
  strings.erase(std::unique(strings.begin(), strings.end()), strings.end());
  for (size_t i = 0; i < strings.size(); ++i)
    for (size_t j = i + 1; j < strings.size(); ++j) {
      ASSERT_LT(AnsiCompareStr(strings[i], strings[j]), 0) << i << " " << j;
      ASSERT_GT(AnsiCompareStr(strings[j], strings[i]), 0) << i << " " << j;
    }
}

TEST(StringsCompare, SymbolsBeforeDigitsBeforeLetters) {
  for (const char* symbol : {"!", "$", "\x80", "\xA7", "~", "\xD7"})
    for (const char* digit : {"0", "5", "\xB2"})
      for (const char* letter : {"a", "Z", "\xE9", "\xDF", "\xB5"}) {
        EXPECT_LT(AnsiCompareStr(symbol, digit), 0) << symbol << digit;
        EXPECT_LT(AnsiCompareStr(digit, letter), 0) << digit << letter;
      }
}

// ---------------------------------------------------------------------------------------------
// Quoting and delimiters

TEST(StringsQuoting, QuotedStrDoublesTheQuote) {
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_EQ(QuotedStr(""), "''");
  EXPECT_EQ(AnsiQuotedStr("a\"b", '"'), "\"a\"\"b\"");
}

TEST(StringsQuoting, AnsiDequotedStr) {
  const std::pair<const char*, const char*> cases[] = {
      {"'abc'", "abc"}, {"'ab''c'", "ab'c"}, {"abc", "abc"}, {"'abc", "'abc"},
      {"'ab'c", "ab"},  {"''", ""},          {"'", ""},       {"", ""},
      {"x'y'", "x'y'"},
  };
  for (const auto& [in, expected] : cases) EXPECT_EQ(AnsiDequotedStr(in, '\''), expected) << in;
  EXPECT_EQ(AnsiDequotedStr("\"x\"", '"'), "x");
  EXPECT_EQ(AnsiDequotedStr(AnsiQuotedStr("a'b''c", '\''), '\''), "a'b''c");
}

TEST(StringsQuoting, Delimiters) {
  EXPECT_TRUE(IsDelimiter(".,", "a.b", 2));
  EXPECT_FALSE(IsDelimiter(".,", "a.b", 1));
  EXPECT_FALSE(IsDelimiter(".,", "a.b", 0));
  EXPECT_FALSE(IsDelimiter(".,", "a.b", 4));
  EXPECT_EQ(LastDelimiter("\\/.", "C:\\dir/file.txt"), 12);
  EXPECT_EQ(LastDelimiter("\\/", "C:\\dir/file.txt"), 7);
  EXPECT_EQ(LastDelimiter("x", "abc"), 0);
  EXPECT_EQ(LastDelimiter("", "abc"), 0);
}

// ---------------------------------------------------------------------------------------------
// Conversions

TEST(StringsConversion, EveryByteRoundTrips) {
  String all;
  for (Integer c = 0; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
  EXPECT_EQ(WideToAnsi(AnsiToWide(all)), all);
  EXPECT_EQ(WideToUtf8(AnsiToWide(all)), AnsiToUtf8(all));
  EXPECT_EQ(Utf8ToWide(AnsiToUtf8(all)), AnsiToWide(all));
}

struct TCodePointCase {
  char Byte;
  char16_t Unicode;
  const char* Utf8;
};

TEST(StringsConversion, CodePageMapping) {
  const TCodePointCase cases[] = {
      {'A', u'A', "A"},          {'\x80', u'\u20AC', "\xE2\x82\xAC"}, {'\xE4', u'\u00E4', "\xC3\xA4"},
      {'\x8A', u'\u0160', "\xC5\xA0"}, {'\x99', u'\u2122', "\xE2\x84\xA2"}, {'\x9F', u'\u0178', "\xC5\xB8"},
      {'\x81', u'\u0081', "\xC2\x81"}, {'\x8D', u'\u008D', "\xC2\x8D"}, {'\x8F', u'\u008F', "\xC2\x8F"},
      {'\x90', u'\u0090', "\xC2\x90"}, {'\x9D', u'\u009D', "\xC2\x9D"}, {'\xFF', u'\u00FF', "\xC3\xBF"},
  };
  for (const TCodePointCase& c : cases) {
    const String s(1, c.Byte);
    EXPECT_EQ(AnsiToWide(s), WideString(1, c.Unicode)) << int(static_cast<Byte>(c.Byte));
    EXPECT_EQ(AnsiToUtf8(s), c.Utf8) << int(static_cast<Byte>(c.Byte));
  }
}

TEST(StringsConversion, TextOutsideTheCodePage) {
  EXPECT_EQ(Utf8ToAnsi("\xE6\x97\xA5\xE6\x9C\xAC"), "??");  // two CJK characters
  EXPECT_EQ(Utf8ToAnsi("\xF0\x9F\x98\x80"), "?");           // one character beyond the BMP
  EXPECT_EQ(WideToAnsi(u"\U0001F600"), "?");
  EXPECT_EQ(WideToAnsi(u"\u0080"), "?");  // a C1 control the code page does not keep
  EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(WideToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
}

TEST(StringsConversion, MalformedInputBecomesReplacementCharacters) {
  EXPECT_EQ(Utf8ToAnsi("a\xFF" "b"), "a?b");
  EXPECT_EQ(Utf8ToAnsi("\xC0\xAF"), "??");      // overlong form
  EXPECT_EQ(Utf8ToAnsi("\xE2\x82"), "??");      // truncated
  EXPECT_EQ(Utf8ToAnsi("\xED\xA0\x80"), "???");  // an encoded surrogate
  EXPECT_EQ(Utf8ToWide("\xE2\x82" "a"), u"\uFFFD\uFFFDa");
  EXPECT_EQ(WideToUtf8(WideString(1, u'\xD800')), "\xEF\xBF\xBD");
  EXPECT_EQ(WideToUtf8(WideString(u"\xDC00" "a")), "\xEF\xBF\xBD" "a");
}

}  // namespace
