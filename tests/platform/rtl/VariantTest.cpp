#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <ostream>

#include "RtlTestSupport.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Variants.h"

// Readable values in failure messages (internal, so other suites may print Variants too).
static void PrintTo(const Variant& v, std::ostream* os) {
  *os << VarTypeAsText(VarType(v));
  if (v.IsArray()) return;
  try {
    *os << "(" << VarToStr(v) << ")";
  } catch (const EVariantError&) {
    *os << "(?)";
  }
}

namespace {

enum class TErr { None, Cast, Overflow, BadType, Array, InvalidOp, ZeroDivide, InvalidFloat, FloatOverflow };

// Runs `f` and names the error it raised.
TErr ErrorKindOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EVariantTypeCastError&) {
    return TErr::Cast;
  } catch (const EVariantOverflowError&) {
    return TErr::Overflow;
  } catch (const EVariantBadVarTypeError&) {
    return TErr::BadType;
  } catch (const EVariantArrayError&) {
    return TErr::Array;
  } catch (const EVariantInvalidOpError&) {
    return TErr::InvalidOp;
  } catch (const EZeroDivide&) {
    return TErr::ZeroDivide;
  } catch (const EInvalidOp&) {
    return TErr::InvalidFloat;
  } catch (const EOverflow&) {
    return TErr::FloatOverflow;
  }
  return TErr::None;
}

// Same type code and same value (exact for floats, NaN equal to NaN).
::testing::AssertionResult SameTypedValue(const Variant& got, const Variant& want) {
  if (VarType(got) != VarType(want))
    return ::testing::AssertionFailure() << "type " << VarTypeAsText(VarType(got)) << ", want "
                                         << VarTypeAsText(VarType(want));
  if (got.IsArray()) {
    if (got.ArrayLowBound() != want.ArrayLowBound() || got.ArrayHighBound() != want.ArrayHighBound())
      return ::testing::AssertionFailure() << "array bounds differ";
    for (Integer i = got.ArrayLowBound(); i <= got.ArrayHighBound(); ++i) {
      ::testing::AssertionResult r = SameTypedValue(got.GetElement(i), want.GetElement(i));
      if (!r) return r << " at index " << i;
    }
    return ::testing::AssertionSuccess();
  }
  bool bothNaN = VarIsFloat(got) && std::isnan(got.AsDouble()) && std::isnan(want.AsDouble());
  if (bothNaN || VarCompareValue(got, want) == vrEqual) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "value " << VarToStr(got) << ", want " << VarToStr(want);
}

Variant CurrV(double value) { return Variant(Currency::FromDouble(value)); }
Variant DateV(Word y, Word m, Word d, Word h = 0, Word n = 0) {
  return VarFromDateTime(EncodeDate(y, m, d) + EncodeTime(h, n, 0, 0));
}

class VariantTest : public ::testing::Test {
 protected:
  TFormatSettingsScope FLocale{TFormatSettings::EnglishUS()};
};

// ---------------------------------------------------------------------------------------------
// Storage and type tests

TEST_F(VariantTest, ConstructorsChooseThePlatformTypes) {
  struct Case {
    Variant value;
    TVarType type;
  } cases[] = {
      {Variant(), varEmpty},
      {Null(), varNull},
      {Variant(true), varBoolean},
      {Variant(static_cast<ShortInt>(-3)), varShortInt},
      {Variant(static_cast<Byte>(3)), varByte},
      {Variant(static_cast<SmallInt>(3)), varSmallint},
      {Variant(static_cast<Word>(3)), varWord},
      {Variant(3), varInteger},
      {Variant(3u), varLongWord},
      {Variant(Int64(3)), varInt64},
      {Variant(3LL), varInt64},
      {Variant(18446744073709551615ULL), varDouble},
      {Variant(1.5f), varSingle},
      {Variant(1.5), varDouble},
      {Variant(Currency::FromRaw(15000)), varCurrency},
      {VarFromDateTime(1.5), varDate},
      {Variant("abc"), varString},
      {Variant(String("abc")), varString},
      {Variant('x'), varString},
      {Variant(u"abc"), varOleStr},
      {Variant(WideString(u"abc")), varOleStr},
      {VarArrayOf({1, 2}), static_cast<TVarType>(varArray | varVariant)},
  };
  for (const Case& c : cases) EXPECT_EQ(VarType(c.value), c.type) << VarTypeAsText(c.type);
}

TEST_F(VariantTest, CopiesAndMovesKeepTheValue) {
  Variant text = String(100, 'x');
  Variant copy = text;
  Variant moved = std::move(copy);
  EXPECT_EQ(moved.AsString(), String(100, 'x'));
  EXPECT_EQ(text.AsString(), String(100, 'x'));
  moved = 5;
  EXPECT_EQ(VarType(moved), varInteger);
  Variant& alias = moved;
  moved = alias;
  EXPECT_EQ(moved.AsInteger(), 5);
  moved.Clear();
  EXPECT_TRUE(VarIsEmpty(moved));
}

TEST_F(VariantTest, TypePredicates) {
  struct Case {
    Variant value;
    bool null, empty, array, numeric, ordinal, floating, str;
  } cases[] = {
      {Variant(), false, true, false, false, false, false, false},
      {Null(), true, false, false, false, false, false, false},
      {Variant(1), false, false, false, true, true, false, false},
      {Variant(true), false, false, false, true, true, false, false},
      {Variant(1.5), false, false, false, true, false, true, false},
      {CurrV(1), false, false, false, true, false, true, false},
      {VarFromDateTime(1), false, false, false, false, false, false, false},
      {Variant("1"), false, false, false, false, false, false, true},
      {Variant(u"1"), false, false, false, false, false, false, true},
      {VarArrayOf({1}), false, false, true, false, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VarTypeAsText(VarType(c.value)));
    EXPECT_EQ(VarIsNull(c.value), c.null);
    EXPECT_EQ(VarIsEmpty(c.value), c.empty);
    EXPECT_EQ(VarIsClear(c.value), c.empty);
    EXPECT_EQ(VarIsArray(c.value), c.array);
    EXPECT_EQ(VarIsNumeric(c.value), c.numeric);
    EXPECT_EQ(VarIsOrdinal(c.value), c.ordinal);
    EXPECT_EQ(VarIsFloat(c.value), c.floating);
    EXPECT_EQ(VarIsStr(c.value), c.str);
  }
}

TEST_F(VariantTest, TypeNames) {
  EXPECT_EQ(VarTypeAsText(varString), "String");
  EXPECT_EQ(VarTypeAsText(varOleStr), "OleStr");
  EXPECT_EQ(VarTypeAsText(varLongWord), "LongWord");
  EXPECT_EQ(VarTypeAsText(varArray | varVariant), "Array Variant");
  EXPECT_EQ(VarTypeAsText(0x0077), "$0077");
}

// ---------------------------------------------------------------------------------------------
// Conversions

struct ConvertCase {
  const char* name;
  Variant value;
  TVarType target;
  Variant want;  // ignored unless err is None
  TErr err = TErr::None;
};

TEST_F(VariantTest, ConversionTable) {
  const Variant date = DateV(2026, 12, 24, 12);
  const Variant array = VarArrayOf({1});
  const ConvertCase cases[] = {
      {"empty to integer", Variant(), varInteger, 0},
      {"empty to double", Variant(), varDouble, 0.0},
      {"empty to boolean", Variant(), varBoolean, false},
      {"empty to string", Variant(), varString, ""},
      {"empty to olestr", Variant(), varOleStr, u""},
      {"empty to currency", Variant(), varCurrency, CurrV(0)},
      {"empty to date", Variant(), varDate, VarFromDateTime(0)},
      {"empty to null", Variant(), varNull, Null()},
      {"null to integer", Null(), varInteger, {}, TErr::Cast},
      {"null to string", Null(), varString, {}, TErr::Cast},
      {"null to olestr", Null(), varOleStr, {}, TErr::Cast},
      {"null to boolean", Null(), varBoolean, {}, TErr::Cast},
      {"null to date", Null(), varDate, {}, TErr::Cast},
      {"null to variant", Null(), varVariant, Null()},
      {"null to empty", Null(), varEmpty, Variant()},
      {"smallint to byte", Variant(SmallInt(5)), varByte, Byte(5)},
      {"smallint to string", Variant(SmallInt(-5)), varString, "-5"},
      {"integer to smallint", 300, varSmallint, SmallInt(300)},
      {"integer to byte overflows", 300, varByte, {}, TErr::Overflow},
      {"integer to shortint overflows", 128, varShortInt, {}, TErr::Overflow},
      {"negative to word overflows", -1, varWord, {}, TErr::Overflow},
      {"negative to longword overflows", -1, varLongWord, {}, TErr::Overflow},
      {"integer to currency", 300, varCurrency, CurrV(300)},
      {"integer to boolean", -7, varBoolean, true},
      {"zero to boolean", 0, varBoolean, false},
      {"int64 to integer overflows", Int64(5000000000), varInteger, {}, TErr::Overflow},
      {"int64 to double", Int64(5000000000), varDouble, 5e9},
      {"int64 to string", Int64(-5000000000), varString, "-5000000000"},
      {"longword max to string", 4294967295u, varString, "4294967295"},
      {"double to integer rounds half to even", 2.5, varInteger, 2},
      {"double to integer rounds 3.5 up", 3.5, varInteger, 4},
      {"negative half rounds to even", -2.5, varInteger, -2},
      {"double to string", 2.5, varString, "2.5"},
      {"double to single", 2.5, varSingle, 2.5f},
      {"double to currency", 2.5, varCurrency, CurrV(2.5)},
      {"huge double to single overflows", 1e300, varSingle, {}, TErr::Overflow},
      {"huge double to integer overflows", 1e300, varInteger, {}, TErr::Overflow},
      {"huge double to currency overflows", 1e300, varCurrency, {}, TErr::Overflow},
      {"huge double to date overflows", 1e300, varDate, {}, TErr::Overflow},
      {"NaN to integer overflows", KNaN, varInteger, {}, TErr::Overflow},
      {"single to string keeps its digits", 0.1f, varString, "0.1"},
      {"currency to string", CurrV(1.2345), varString, "1.2345"},
      {"currency to integer rounds half to even", CurrV(2.5), varInteger, 2},
      {"currency 3.5 to integer", CurrV(3.5), varInteger, 4},
      {"currency to double", CurrV(1.25), varDouble, 1.25},
      {"date to double", date, varDouble, EncodeDate(2026, 12, 24) + 0.5},
      {"date to string", date, varString, "12/24/2026 12:00:00 PM"},
      {"date to boolean", date, varBoolean, true},
      {"true to integer", true, varInteger, -1},
      {"true to byte is all bits", true, varByte, Byte(255)},
      {"true to double", true, varDouble, -1.0},
      {"true to currency", true, varCurrency, CurrV(-1)},
      {"true to string", true, varString, "True"},
      {"false to string", false, varString, "False"},
      {"false to integer", false, varInteger, 0},
      {"text to integer", "42", varInteger, 42},
      {"blanks around text", " 42 ", varInteger, 42},
      {"hex text", "$1F", varInteger, 31},
      {"float text to integer", "2.5", varInteger, 2},
      {"exponent text to int64", "1E3", varInt64, Int64(1000)},
      {"text to double", "2.5", varDouble, 2.5},
      {"text to currency", "12.3456", varCurrency, CurrV(12.3456)},
      {"text to byte overflows", "300", varByte, {}, TErr::Overflow},
      {"word to boolean", "true", varBoolean, true},
      {"upper case word", "FALSE", varBoolean, false},
      {"number text to boolean", "0", varBoolean, false},
      {"nonzero text to boolean", "-2", varBoolean, true},
      {"text to date", "12/24/2026", varDate, DateV(2026, 12, 24)},
      {"date and time text to date", " 12/24/2026 12:00 ", varDate, DateV(2026, 12, 24, 12)},
      {"time text to date", "12:00", varDate, VarFromDateTime(0.5)},
      {"text to single", "0.5", varSingle, 0.5f},
      {"letters to integer", "abc", varInteger, {}, TErr::Cast},
      {"letters to double", "abc", varDouble, {}, TErr::Cast},
      {"letters to currency", "abc", varCurrency, {}, TErr::Cast},
      {"letters to boolean", "abc", varBoolean, {}, TErr::Cast},
      {"letters to date", "abc", varDate, {}, TErr::Cast},
      {"empty text to integer", "", varInteger, {}, TErr::Cast},
      {"German decimals in US", "1,5", varDouble, {}, TErr::Cast},
      {"wide text to integer", u"7", varInteger, 7},
      {"wide text to string", u"\u00e9t\u00e9", varString, "\xE9t\xE9"},
      {"string to olestr", "\xE9t\xE9", varOleStr, u"\u00e9t\u00e9"},
      {"array to integer", array, varInteger, {}, TErr::Cast},
      {"array to string", array, varString, {}, TErr::Cast},
      {"array to its own type", array, varArray | varVariant, array},
      {"array to another array type", array, varArray | varInteger, {}, TErr::Cast},
      {"anything to variant", 5, varVariant, 5},
      {"dispatch is no target", 5, 0x0009, {}, TErr::BadType},
      {"unknown code is no target", 5, 0x00FF, {}, TErr::BadType},
  };
  for (const ConvertCase& c : cases) {
    SCOPED_TRACE(c.name);
    Variant got;
    TErr err = ErrorKindOf([&] { got = VarAsType(c.value, c.target); });
    EXPECT_EQ(err, c.err);
    if (c.err == TErr::None) {
      EXPECT_TRUE(SameTypedValue(got, c.want));
    }
  }
}

TEST_F(VariantTest, CastErrorNamesBothTypes) {
  try {
    Variant("abc").AsDouble();
    FAIL() << "no error";
  } catch (const EVariantTypeCastError& e) {
    EXPECT_EQ(e.Message(), "Could not convert variant of type (String) into type (Double)");
  }
  try {
    Null().AsString();
    FAIL() << "no error";
  } catch (const EVariantTypeCastError& e) {
    EXPECT_EQ(e.Message(), "Could not convert variant of type (Null) into type (String)");
  }
}

TEST_F(VariantTest, AccessorsConvertByTheSameRules) {
  EXPECT_EQ(Variant("17").AsInteger(), 17);
  EXPECT_EQ(Variant(2.5).AsInt64(), 2);
  EXPECT_EQ(Variant("0.25").AsDouble(), 0.25);
  EXPECT_TRUE(Variant("True").AsBoolean());
  EXPECT_EQ(Variant("1.5").AsCurrency(), Currency::FromRaw(15000));
  EXPECT_EQ(Variant(3).AsDateTime(), 3.0);
  EXPECT_EQ(Variant(true).AsString(), "True");
  EXPECT_EQ(Variant(12).AsWideString(), u"12");
  EXPECT_EQ(ErrorKindOf([] { Null().AsInteger(); }), TErr::Cast);
  EXPECT_EQ(ErrorKindOf([] { Null().AsWideString(); }), TErr::Cast);
  EXPECT_EQ(ErrorKindOf([] { Variant(Int64(1) << 40).AsInteger(); }), TErr::Overflow);
  EXPECT_EQ(VarToDateTime(VarFromDateTime(2.75)), 2.75);
}

TEST_F(VariantTest, CurrencyTextKeepsAllDigits) {
  EXPECT_EQ(Variant("922337203685477.5807").AsCurrency(), Currency::FromRaw(INT64_MAX));
}

// ---------------------------------------------------------------------------------------------
// Text of each type under two locales

struct TextCase {
  const char* name;
  Variant value;
  const char* us;
  const char* german;
};

class VariantTextTest : public ::testing::Test {};

TEST_F(VariantTextTest, VarToStrOfEachTypeUnderTwoLocales) {
  const TextCase cases[] = {
      {"empty", Variant(), "", ""},
      {"null", Null(), "", ""},
      {"shortint", Variant(ShortInt(-8)), "-8", "-8"},
      {"byte", Variant(Byte(200)), "200", "200"},
      {"smallint", Variant(SmallInt(-300)), "-300", "-300"},
      {"word", Variant(Word(60000)), "60000", "60000"},
      {"integer", Variant(-70000), "-70000", "-70000"},
      {"longword", Variant(4000000000u), "4000000000", "4000000000"},
      {"int64", Variant(Int64(-9000000000)), "-9000000000", "-9000000000"},
      {"single", Variant(1.5f), "1.5", "1,5"},
      {"double", Variant(1234.5), "1234.5", "1234,5"},
      {"currency", CurrV(12.34), "12.34", "12,34"},
      {"date and time", DateV(2026, 12, 24, 13, 30), "12/24/2026 1:30:00 PM", "24.12.2026 13:30:00"},
      {"date only", DateV(2026, 1, 2), "1/2/2026", "02.01.2026"},
      {"true", Variant(true), "True", "True"},
      {"false", Variant(false), "False", "False"},
      {"string", Variant("M\xFC"), "M\xFC", "M\xFC"},
      {"olestr", Variant(u"M\u00fc"), "M\xFC", "M\xFC"},
  };
  for (bool german : {false, true}) {
    TFormatSettingsScope locale(german ? TFormatSettings::German() : TFormatSettings::EnglishUS());
    for (const TextCase& c : cases) {
      SCOPED_TRACE(String(c.name) + (german ? " (German)" : " (US)"));
      EXPECT_EQ(VarToStr(c.value), german ? c.german : c.us);
      EXPECT_EQ(VarToWideStr(c.value), AnsiToWide(german ? c.german : c.us));
    }
  }
}

TEST_F(VariantTextTest, TextReadsNumbersAndDatesByTheLocale) {
  TFormatSettingsScope locale(TFormatSettings::German());
  EXPECT_EQ(Variant("1,5").AsDouble(), 1.5);
  EXPECT_EQ(Variant("2,5").AsInteger(), 2);
  EXPECT_EQ(Variant("1,25").AsCurrency(), Currency::FromRaw(12500));
  EXPECT_TRUE(Variant("1,5") == 1.5);
  EXPECT_EQ(Variant("24.12.2026").AsDateTime(), EncodeDate(2026, 12, 24));
}

TEST_F(VariantTest, VarToStrDefAndArrays) {
  EXPECT_EQ(VarToStrDef(Null(), "none"), "none");
  EXPECT_EQ(VarToStrDef(Variant(), "none"), "");
  EXPECT_EQ(VarToStrDef(7, "none"), "7");
  EXPECT_EQ(ErrorKindOf([] { VarToStr(VarArrayOf({1})); }), TErr::Cast);
  EXPECT_EQ(VarToWideStr(Null()), u"");
}

// ---------------------------------------------------------------------------------------------
// Comparison

struct CompareCase {
  const char* name;
  Variant a;
  Variant b;
  TVariantRelationship rel;  // vrNotEqual: unordered
  TErr err = TErr::None;
};

// Checks every operator against the expected relation, in both orders.
void CheckOperators(const CompareCase& c) {
  auto reversed = [](TVariantRelationship r) {
    return r == vrLessThan ? vrGreaterThan : r == vrGreaterThan ? vrLessThan : r;
  };
  for (bool swapped : {false, true}) {
    const Variant& a = swapped ? c.b : c.a;
    const Variant& b = swapped ? c.a : c.b;
    TVariantRelationship rel = swapped ? reversed(c.rel) : c.rel;
    SCOPED_TRACE(swapped ? "swapped" : "as written");
    if (c.err != TErr::None) {
      EXPECT_EQ(ErrorKindOf([&] { (void)(a == b); }), c.err);
      EXPECT_EQ(ErrorKindOf([&] { (void)(a < b); }), c.err);
      continue;
    }
    EXPECT_EQ(a == b, rel == vrEqual);
    EXPECT_EQ(a != b, rel != vrEqual);
    EXPECT_EQ(a < b, rel == vrLessThan);
    EXPECT_EQ(a <= b, rel == vrLessThan || rel == vrEqual);
    EXPECT_EQ(a > b, rel == vrGreaterThan);
    EXPECT_EQ(a >= b, rel == vrGreaterThan || rel == vrEqual);
  }
}

TEST_F(VariantTest, ComparisonTable) {
  const Variant xmas = DateV(2026, 12, 24);
  const CompareCase cases[] = {
      {"null = null", Null(), Null(), vrEqual},
      {"null below a number", Null(), 5, vrLessThan},
      {"null below a negative number", Null(), -1e300, vrLessThan},
      {"null below empty", Null(), Variant(), vrLessThan},
      {"null below empty text", Null(), "", vrLessThan},
      {"null below letters", Null(), "abc", vrLessThan},
      {"null below false", Null(), false, vrLessThan},
      {"null below a date", Null(), xmas, vrLessThan},
      {"empty = empty", Variant(), Variant(), vrEqual},
      {"empty = 0", Variant(), 0, vrEqual},
      {"empty = 0.0", Variant(), 0.0, vrEqual},
      {"empty below 5", Variant(), 5, vrLessThan},
      {"empty above -1", Variant(), -1, vrGreaterThan},
      {"empty = empty text", Variant(), "", vrEqual},
      {"empty = empty wide text", Variant(), u"", vrEqual},
      {"empty below text", Variant(), "a", vrLessThan},
      {"empty = false", Variant(), false, vrEqual},
      {"empty below true", Variant(), true, vrLessThan},
      {"empty = currency 0", Variant(), CurrV(0), vrEqual},
      {"empty below a date", Variant(), xmas, vrLessThan},
      {"text 0 = 0", "0", 0, vrEqual},
      {"5 = text 5", 5, "5", vrEqual},
      {"text 1 = int64 1", "1", Int64(1), vrEqual},
      {"text 10 above 9", "10", 9, vrGreaterThan},
      {"texts compare as text", "10", "9", vrLessThan},
      {"text 2.5 above 2", "2.5", 2, vrGreaterThan},
      {"text 1.5 = 1.5", "1.5", 1.5, vrEqual},
      {"text = currency", "2.25", CurrV(2.25), vrEqual},
      {"wide text = number", u"7", 7, vrEqual},
      {"same texts", "abc", "abc", vrEqual},
      {"collation, not byte order", "a", "B", vrLessThan},
      {"case-sensitive", "abc", "ABC", vrLessThan},
      {"wide = ansi text", u"abc", "abc", vrEqual},
      {"wide texts", u"b", u"a", vrGreaterThan},
      {"integer = double", 3, 3.0, vrEqual},
      {"byte above shortint", Byte(200), ShortInt(-1), vrGreaterThan},
      {"int64 above integer", Int64(1) << 40, 2147483647, vrGreaterThan},
      {"longword above integer", 4294967295u, -1, vrGreaterThan},
      {"single = double", 0.5f, 0.5, vrEqual},
      {"currency = double", CurrV(1.5), 1.5, vrEqual},
      {"currency = integer", CurrV(2), 2, vrEqual},
      {"currency below integer", CurrV(1.9999), 2, vrLessThan},
      {"currency = int64 exactly", Variant(Currency::FromRaw(90000000000000LL)), Int64(9000000000), vrEqual},
      {"date = its double", xmas, EncodeDate(2026, 12, 24), vrEqual},
      {"date above earlier date", xmas, DateV(2026, 1, 1), vrGreaterThan},
      {"date = its text", xmas, "12/24/2026", vrEqual},
      {"true above false", true, false, vrGreaterThan},
      {"true = -1", true, -1, vrEqual},
      {"false = 0", false, 0, vrEqual},
      {"true = its word", true, "True", vrEqual},
      {"false = lower-case word", false, "false", vrEqual},
      {"false = text 0", false, "0", vrEqual},
      {"NaN unordered with NaN", KNaN, KNaN, vrNotEqual},
      {"NaN unordered with 1", KNaN, 1, vrNotEqual},
      {"letters against a number", "abc", 5, vrEqual, TErr::Cast},
      {"empty text against a number", "", 0, vrEqual, TErr::Cast},
      {"letters against a Boolean", "abc", true, vrEqual, TErr::Cast},
      {"letters against a date", "abc", xmas, vrEqual, TErr::Cast},
      {"array against a number", VarArrayOf({1}), 1, vrEqual, TErr::InvalidOp},
      {"array against null", VarArrayOf({1}), Null(), vrEqual, TErr::InvalidOp},
  };
  for (const CompareCase& c : cases) {
    SCOPED_TRACE(c.name);
    CheckOperators(c);
  }
}

TEST_F(VariantTest, PlainOperandsConvertOnEitherSide) {
  Variant zeroText = "0";
  Variant five = 5;
  EXPECT_TRUE(zeroText == 0);
  EXPECT_TRUE(0 == zeroText);
  EXPECT_TRUE(five == "5");
  EXPECT_TRUE("5" == five);
  EXPECT_TRUE(five != "6");
  EXPECT_TRUE(1 < five);
  EXPECT_TRUE(SameTypedValue(1 + five, 6));
  EXPECT_TRUE(SameTypedValue(five - 1.5, 3.5));
}

TEST_F(VariantTest, FailedComparisonNamesTheTypes) {
  try {
    (void)(Variant("abc") == Variant(5));
    FAIL() << "no error";
  } catch (const EVariantTypeCastError& e) {
    EXPECT_EQ(e.Message(), "Could not convert variant of type (String) into type (Double)");
  }
}

TEST_F(VariantTest, CompareValueKeepsEmptyAndNullApart) {
  struct Case {
    Variant a, b;
    TVariantRelationship rel;
  } cases[] = {
      {Variant(), Variant(), vrEqual},   {Null(), Null(), vrEqual},   {Variant(), 0, vrNotEqual},
      {0, Variant(), vrNotEqual},        {Null(), 0, vrNotEqual},     {Null(), Variant(), vrNotEqual},
      {1, 2, vrLessThan},                {"5", 5, vrEqual},           {2.5, 1, vrGreaterThan},
      {KNaN, 1.0, vrNotEqual},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.a) + " vs " + ::testing::PrintToString(c.b));
    EXPECT_EQ(VarCompareValue(c.a, c.b), c.rel);
    EXPECT_EQ(VarSameValue(c.a, c.b), c.rel == vrEqual);
  }
}

// ---------------------------------------------------------------------------------------------
// Arithmetic

enum class TOp { Add, Sub, Mul, Div };

struct ArithCase {
  const char* name;
  Variant a;
  TOp op;
  Variant b;
  Variant want;
  TErr err = TErr::None;
};

Variant Apply(const Variant& a, TOp op, const Variant& b) {
  switch (op) {
    case TOp::Add: return a + b;
    case TOp::Sub: return a - b;
    case TOp::Mul: return a * b;
    case TOp::Div: return a / b;
  }
  return Variant();
}

TEST_F(VariantTest, ArithmeticTable) {
  const Variant xmas = DateV(2026, 12, 24);
  const Variant currMax = Variant(Currency::FromRaw(INT64_MAX));
  const ArithCase cases[] = {
      {"null + 1", Null(), TOp::Add, 1, Null()},
      {"1 + null", 1, TOp::Add, Null(), Null()},
      {"null * letters", Null(), TOp::Mul, "abc", Null()},
      {"null - null", Null(), TOp::Sub, Null(), Null()},
      {"null / 0", Null(), TOp::Div, 0, Null()},
      {"empty + 1", Variant(), TOp::Add, 1, 1},
      {"empty + empty", Variant(), TOp::Add, Variant(), 0},
      {"empty + text", Variant(), TOp::Add, "a", "a"},
      {"text + text joins", "a", TOp::Add, "b", "ab"},
      {"numeric texts join too", "5", TOp::Add, "1", "51"},
      {"wide text joins", u"a", TOp::Add, "b", u"ab"},
      {"text + number adds", "5", TOp::Add, 1, 6.0},
      {"number - text", 10, TOp::Sub, "2.5", 7.5},
      {"texts multiply", "5", TOp::Mul, "2", 10.0},
      {"letters + number", "abc", TOp::Add, 1, {}, TErr::Cast},
      {"integers", 1, TOp::Add, 2, 3},
      {"smallints widen to integer", SmallInt(30000), TOp::Add, SmallInt(30000), 60000},
      {"integer overflow widens", 2147483647, TOp::Add, 1, Int64(2147483648LL)},
      {"int64 stays int64", Int64(2), TOp::Mul, 3, Int64(6)},
      {"int64 overflow becomes double", INT64_MAX, TOp::Add, 1, 9223372036854775808.0},
      {"division gives double", 7, TOp::Div, 2, 3.5},
      {"division by zero", 1, TOp::Div, 0, {}, TErr::ZeroDivide},
      {"zero by zero", 0, TOp::Div, 0.0, {}, TErr::InvalidFloat},
      {"float overflow", 1e308, TOp::Mul, 10, {}, TErr::FloatOverflow},
      {"double + integer", 1.5, TOp::Add, 1, 2.5},
      {"singles stay single", 1.5f, TOp::Add, 1.0f, 2.5f},
      {"currency + integer", CurrV(1.5), TOp::Add, 1, CurrV(2.5)},
      {"currency * integer", CurrV(1.5), TOp::Mul, 3, CurrV(4.5)},
      {"currency * currency", CurrV(1.5), TOp::Mul, CurrV(1.5), CurrV(2.25)},
      {"currency product rounds half to even", CurrV(0.0001), TOp::Mul, CurrV(0.5), CurrV(0)},
      {"currency + double", CurrV(1.5), TOp::Add, 0.25, 1.75},
      {"currency overflow", currMax, TOp::Add, CurrV(1), {}, TErr::Overflow},
      {"date + days", xmas, TOp::Add, 7, DateV(2026, 12, 31)},
      {"date - days", xmas, TOp::Sub, 23, DateV(2026, 12, 1)},
      {"date - date", xmas, TOp::Sub, DateV(2026, 12, 1), 23.0},
      {"Booleans count as -1", true, TOp::Add, 1, 0},
      {"array + 1", VarArrayOf({1}), TOp::Add, 1, {}, TErr::InvalidOp},
      {"null + array", Null(), TOp::Add, VarArrayOf({1}), {}, TErr::InvalidOp},
  };
  for (const ArithCase& c : cases) {
    SCOPED_TRACE(c.name);
    Variant got;
    TErr err = ErrorKindOf([&] { got = Apply(c.a, c.op, c.b); });
    EXPECT_EQ(err, c.err);
    if (c.err == TErr::None) {
      EXPECT_TRUE(SameTypedValue(got, c.want));
    }
  }
}

TEST_F(VariantTest, UnaryMinus) {
  struct Case {
    Variant value, want;
  } cases[] = {
      {Null(), Null()},
      {Variant(), 0},
      {5, -5},
      {SmallInt(7), SmallInt(-7)},
      {SmallInt(-32768), 32768},
      {Byte(5), -5},
      {Int64(5), Int64(-5)},
      {INT64_MIN, 9223372036854775808.0},
      {2.5, -2.5},
      {CurrV(1.5), CurrV(-1.5)},
      {true, 1},
      {"2.5", -2.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.value));
    EXPECT_TRUE(SameTypedValue(-c.value, c.want));
  }
  EXPECT_EQ(ErrorKindOf([] { -VarArrayOf({1}); }), TErr::InvalidOp);
  EXPECT_EQ(ErrorKindOf([] { -Variant("x"); }), TErr::Cast);
}

TEST_F(VariantTest, CompoundAssignment) {
  Variant sum;
  for (int i = 1; i <= 4; ++i) sum += i;
  EXPECT_TRUE(SameTypedValue(sum, 10));
  sum /= 4;
  EXPECT_TRUE(SameTypedValue(sum, 2.5));
  sum += Null();
  EXPECT_TRUE(VarIsNull(sum));
}

// ---------------------------------------------------------------------------------------------
// Arrays

TEST_F(VariantTest, ArrayOfValues) {
  Variant a = VarArrayOf({1, "two", Null()});
  EXPECT_EQ(VarType(a), varArray | varVariant);
  EXPECT_EQ(VarArrayDimCount(a), 1);
  EXPECT_EQ(VarArrayLowBound(a, 1), 0);
  EXPECT_EQ(VarArrayHighBound(a, 1), 2);
  EXPECT_TRUE(SameTypedValue(VarArrayGet(a, 0), 1));
  EXPECT_TRUE(SameTypedValue(a.GetElement(1), "two"));
  EXPECT_TRUE(VarIsNull(a.GetElement(2)));
  VarArrayPut(a, 2.5, 2);
  EXPECT_TRUE(SameTypedValue(a.GetElement(2), 2.5));
  a.SetElement(0, VarArrayOf({7}));
  EXPECT_EQ(a.GetElement(0).GetElement(0).AsInteger(), 7);
}

TEST_F(VariantTest, TypedArrayConvertsOnWrite) {
  Variant a = VarArrayCreate(1, 3, varInteger);
  EXPECT_EQ(VarType(a), varArray | varInteger);
  EXPECT_EQ(a.ArrayLowBound(), 1);
  EXPECT_EQ(a.ArrayHighBound(), 3);
  EXPECT_TRUE(SameTypedValue(a.GetElement(1), 0));
  a.SetElement(2, "5");
  EXPECT_TRUE(SameTypedValue(a.GetElement(2), 5));
  EXPECT_EQ(ErrorKindOf([&] { a.SetElement(3, "x"); }), TErr::Cast);
  EXPECT_TRUE(SameTypedValue(a.GetElement(3), 0));  // unchanged after the failed write
  Variant s = VarArrayCreate(0, 0, varString);
  EXPECT_TRUE(SameTypedValue(s.GetElement(0), ""));
}

TEST_F(VariantTest, ArrayCopiesAreIndependent) {
  Variant a = VarArrayOf({1, 2});
  Variant b = a;
  b.SetElement(0, 9);
  EXPECT_EQ(a.GetElement(0).AsInteger(), 1);
  EXPECT_EQ(b.GetElement(0).AsInteger(), 9);
  a.SetElement(1, a);  // an array holding an earlier copy of itself, not a cycle
  EXPECT_EQ(a.GetElement(1).GetElement(1).AsInteger(), 2);
}

TEST_F(VariantTest, RedimKeepsElements) {
  Variant a = VarArrayOf({1, 2});
  Variant before = a;
  VarArrayRedim(a, 3);
  EXPECT_EQ(VarArrayHighBound(a, 1), 3);
  EXPECT_EQ(a.GetElement(1).AsInteger(), 2);
  EXPECT_TRUE(VarIsEmpty(a.GetElement(3)));
  EXPECT_EQ(VarArrayHighBound(before, 1), 1);
  VarArrayRedim(a, -1);
  EXPECT_EQ(VarArrayHighBound(a, 1), -1);
  Variant w = VarArrayCreate(0, 0, varWord);
  VarArrayRedim(w, 1);
  EXPECT_TRUE(SameTypedValue(w.GetElement(1), Word(0)));
}

TEST_F(VariantTest, EmptyArray) {
  Variant a = VarArrayCreate(0, -1, varVariant);
  EXPECT_EQ(VarArrayLowBound(a, 1), 0);
  EXPECT_EQ(VarArrayHighBound(a, 1), -1);
  EXPECT_EQ(ErrorKindOf([&] { a.GetElement(0); }), TErr::Array);
  Variant none = VarArrayOf(std::vector<Variant>());
  EXPECT_EQ(VarArrayHighBound(none, 1), -1);
}

TEST_F(VariantTest, ArrayErrors) {
  Variant a = VarArrayCreate(1, 2, varVariant);
  Variant plain = 5;
  struct Case {
    const char* name;
    std::function<void()> action;
    TErr err;
  } cases[] = {
      {"index below", [&] { a.GetElement(0); }, TErr::Array},
      {"index above", [&] { a.GetElement(3); }, TErr::Array},
      {"write outside", [&] { a.SetElement(3, 1); }, TErr::Array},
      {"second dimension", [&] { VarArrayLowBound(a, 2); }, TErr::Array},
      {"dimension zero", [&] { VarArrayHighBound(a, 0); }, TErr::Array},
      {"bounds of a non-array", [&] { VarArrayLowBound(plain, 1); }, TErr::Array},
      {"element of a non-array", [&] { plain.GetElement(0); }, TErr::Array},
      {"write into a non-array", [&] { VarArrayPut(plain, 1, 0); }, TErr::Array},
      {"redim a non-array", [&] { VarArrayRedim(plain, 3); }, TErr::Array},
      {"high below low - 1", [] { VarArrayCreate(5, 3, varVariant); }, TErr::Array},
      {"redim below low - 1", [&] { VarArrayRedim(a, -1); }, TErr::Array},
      {"too many elements", [] { VarArrayCreate(0, 2147483647, varVariant); }, TErr::Array},
      {"null element type", [] { VarArrayCreate(0, 1, varNull); }, TErr::BadType},
      {"nested array type", [] { VarArrayCreate(0, 1, varArray | varVariant); }, TErr::BadType},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ErrorKindOf(c.action), c.err);
  }
  EXPECT_EQ(VarArrayDimCount(plain), 0);
  EXPECT_EQ(VarArrayHighBound(a, 1), 2);  // the array survived every failed call
}

}  // namespace
