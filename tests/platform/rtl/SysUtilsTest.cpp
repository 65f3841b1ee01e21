#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/rtl/SysUtils.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Exceptions

template <class E>
void ExpectClass(const char* name, TClass parent) {
  E e("m");
  EXPECT_EQ(e.ClassName(), name);
  EXPECT_EQ(e.ClassType()->Parent, parent) << name;
  EXPECT_TRUE(e.template InheritsFrom<Exception>()) << name;
  EXPECT_EQ(e.Message(), "m");
}

TEST(SysUtilsExceptions, EveryClassHasItsNameAndParent) {
  EXPECT_EQ(Exception::StaticClass().Parent, &TObject::StaticClass());
  ExpectClass<EAbort>("EAbort", &Exception::StaticClass());
  ExpectClass<EConvertError>("EConvertError", &Exception::StaticClass());
  ExpectClass<EListError>("EListError", &Exception::StaticClass());
  ExpectClass<EStringListError>("EStringListError", &Exception::StaticClass());
  ExpectClass<EInvalidOperation>("EInvalidOperation", &Exception::StaticClass());
  ExpectClass<EInvalidCast>("EInvalidCast", &Exception::StaticClass());
  ExpectClass<EInvalidPointer>("EInvalidPointer", &Exception::StaticClass());
  ExpectClass<EOutOfMemory>("EOutOfMemory", &Exception::StaticClass());
  ExpectClass<EStreamError>("EStreamError", &Exception::StaticClass());
  ExpectClass<EFCreateError>("EFCreateError", &EStreamError::StaticClass());
  ExpectClass<EFOpenError>("EFOpenError", &EStreamError::StaticClass());
  ExpectClass<EReadError>("EReadError", &EStreamError::StaticClass());
  ExpectClass<EWriteError>("EWriteError", &EStreamError::StaticClass());
  ExpectClass<EComponentError>("EComponentError", &Exception::StaticClass());
  ExpectClass<EClassNotFound>("EClassNotFound", &Exception::StaticClass());
  ExpectClass<EIntError>("EIntError", &Exception::StaticClass());
  ExpectClass<EDivByZero>("EDivByZero", &EIntError::StaticClass());
  ExpectClass<ERangeError>("ERangeError", &EIntError::StaticClass());
  ExpectClass<EIntOverflow>("EIntOverflow", &EIntError::StaticClass());
  ExpectClass<EMathError>("EMathError", &Exception::StaticClass());
  ExpectClass<EZeroDivide>("EZeroDivide", &EMathError::StaticClass());
  ExpectClass<EOverflow>("EOverflow", &EMathError::StaticClass());
  ExpectClass<EInvalidOp>("EInvalidOp", &EMathError::StaticClass());
  ExpectClass<EVariantError>("EVariantError", &Exception::StaticClass());
  ExpectClass<EVariantTypeCastError>("EVariantTypeCastError", &EVariantError::StaticClass());
  ExpectClass<EVariantArrayError>("EVariantArrayError", &EVariantError::StaticClass());
  ExpectClass<EOSError>("EOSError", &Exception::StaticClass());
  ExpectClass<EThread>("EThread", &Exception::StaticClass());
  ExpectClass<EIniFileException>("EIniFileException", &Exception::StaticClass());
  ExpectClass<ERegistryException>("ERegistryException", &Exception::StaticClass());
}

const TResourceString SGreeting = {4711, "Hello %s"};

String GermanTexts(PResStringRec res) { return res->Id == 4711 ? "Hallo %s" : res->Default; }

TEST(SysUtilsExceptions, MessagesFromFormatAndResourceStrings) {
  EXPECT_EQ(Exception("%d items", {3}).Message(), "3 items");
  EXPECT_EQ(Exception(&SGreeting).Message(), "Hello %s");
  EXPECT_EQ(Exception(&SGreeting, {"you"}).Message(), "Hello you");
  EXPECT_STREQ(EConvertError("bad").what(), "bad");

  SetResourceStringHook(GermanTexts);
  EXPECT_EQ(LoadResString(&SGreeting), "Hallo %s");
  EXPECT_EQ(EListError(&SGreeting, {"du"}).Message(), "Hallo du");
  SetResourceStringHook(nullptr);
  EXPECT_EQ(LoadResString(&SGreeting), "Hello %s");
  EXPECT_EQ(LoadResString(nullptr), "");
}

TEST(SysUtilsExceptions, CaughtAsTheirAncestorsWithTheirMessage) {
  try {
    throw EFOpenError("cannot open");
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message(), "cannot open");
    EXPECT_TRUE(e.IsExactly<EFOpenError>());
  }
  try {
    throw EConvertError("x");
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "x");
  }
  EConvertError original("copied");
  EConvertError copy(original);
  EXPECT_EQ(copy.Message(), "copied");
}

TEST(SysUtilsExceptions, AbortRaisesTheSilentException) {
  try {
    Abort();
    FAIL() << "Abort returned";
  } catch (const EAbort& e) {
    EXPECT_EQ(e.Message(), "Operation aborted");
  }
}

// ---------------------------------------------------------------------------------------------
// Integer text

TEST(SysUtilsIntegers, IntToStrAndHex) {
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(-5), "-5");
  EXPECT_EQ(IntToStr(std::numeric_limits<Int64>::min()), "-9223372036854775808");
  EXPECT_EQ(IntToStr(std::numeric_limits<Int64>::max()), "9223372036854775807");

  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0x1F, 1), "1F");
  EXPECT_EQ(IntToHex(0, 0), "0");
  EXPECT_EQ(IntToHex(0xABCDEF, 2), "ABCDEF");
  EXPECT_EQ(IntToHex(-1, 4), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(LowerHex(0x1F, 4), "001f");
  EXPECT_EQ(LowerHex(0xABCDEF, 2), "abcdef");
  EXPECT_EQ(LowerHex(0x2A, 0), "2a");

  EXPECT_EQ(HexDigitValue('0'), 0);
  EXPECT_EQ(HexDigitValue('9'), 9);
  EXPECT_EQ(HexDigitValue('a'), 10);
  EXPECT_EQ(HexDigitValue('F'), 15);
  for (char c : {'g', 'G', '/', ':', '@', '`', ' ', '\0'}) EXPECT_EQ(HexDigitValue(c), -1) << int(c);
}

struct TIntCase {
  const char* Text;
  Integer Value;
  Int64 Value64;  // hex may use the full width of each type
};

TEST(SysUtilsIntegers, StrToIntAcceptsThePlatformsForms) {
  const TIntCase cases[] = {
      {"0", 0, 0},                {"123", 123, 123},         {"-123", -123, -123},
      {"+7", 7, 7},               {"  42", 42, 42},          {"007", 7, 7},
      {"$FF", 255, 255},          {"$ff", 255, 255},         {"0x1F", 31, 31},
      {"0X1f", 31, 31},           {"-$10", -16, -16},        {"$FFFFFFFF", -1, 0xFFFFFFFFLL},
      {"$7FFFFFFF", 2147483647, 2147483647},                {"2147483647", 2147483647, 2147483647},
      {"-2147483648", -2147483647 - 1, -2147483648LL},
  };
  for (const TIntCase& c : cases) {
    EXPECT_EQ(StrToInt(c.Text), c.Value) << c.Text;
    Integer v = 0;
    EXPECT_TRUE(TryStrToInt(c.Text, v)) << c.Text;
    EXPECT_EQ(v, c.Value) << c.Text;
    EXPECT_EQ(StrToInt64(c.Text), c.Value64) << c.Text;
  }
}

TEST(SysUtilsIntegers, StrToIntRefusesMalformedAndOverflowingText) {
  const char* const bad[] = {"",    " ",    "abc",  "12a",        "42 ",         "\t42", "2147483648",
                             "-2147483649", "$100000000", "$",  "0x", "-", "+", "1 2", "--1",
                             "1.5", "1e3",  "$G",   "0x-1",       "- 1"};
  for (const char* text : bad) {
    Integer v = 99;
    EXPECT_FALSE(TryStrToInt(text, v)) << text;
    EXPECT_EQ(v, 99) << text;
    EXPECT_EQ(StrToIntDef(text, -7), -7) << text;
    EXPECT_THROW(StrToInt(text), EConvertError) << text;
  }
  try {
    StrToInt("abc");
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'abc' is not a valid integer value");
  }
}

TEST(SysUtilsIntegers, StrToInt64Range) {
  EXPECT_EQ(StrToInt64("9223372036854775807"), std::numeric_limits<Int64>::max());
  EXPECT_EQ(StrToInt64("-9223372036854775808"), std::numeric_limits<Int64>::min());
  EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(StrToInt64("4294967296"), 4294967296LL);
  EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
  EXPECT_THROW(StrToInt64("$10000000000000000"), EConvertError);
  EXPECT_EQ(StrToInt64Def("99999999999999999999", 5), 5);
  Int64 v = 3;
  EXPECT_FALSE(TryStrToInt64("x", v));
  EXPECT_EQ(v, 3);
}

// ---------------------------------------------------------------------------------------------
// Booleans

TEST(SysUtilsBooleans, StrToBoolTakesNamesAndNumbers) {
  const std::pair<const char*, bool> cases[] = {
      {"True", true}, {"true", true},  {"FALSE", false}, {"1", true},
      {"0", false},   {"-1", true},    {"2.5", true},    {"0.0", false},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(StrToBool(text), expected) << text;
    bool v = !expected;
    EXPECT_TRUE(TryStrToBool(text, v)) << text;
    EXPECT_EQ(v, expected) << text;
  }
  for (const char* text : {"yes", "", "Truth"}) {
    bool v = true;
    EXPECT_FALSE(TryStrToBool(text, v)) << text;
    EXPECT_TRUE(v);
  }
  try {
    StrToBool("yes");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'yes' is not a valid boolean value");
  }
  EXPECT_EQ(BoolToStr(true), "-1");
  EXPECT_EQ(BoolToStr(false), "0");
  EXPECT_EQ(BoolToStr(true, true), "True");
  EXPECT_EQ(BoolToStr(false, true), "False");
}

// ---------------------------------------------------------------------------------------------
// Arithmetic

TEST(SysUtilsArithmetic, RoundHalvesToEven) {
  const std::pair<double, Int64> cases[] = {
      {0.5, 0},   {1.5, 2},   {2.5, 2},   {3.5, 4},   {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
      {2.4, 2},   {2.6, 3},   {-2.6, -3}, {-2.4, -2}, {0.0, 0},  {1e15 + 0.5, 1000000000000000LL},
      {0.49999999999999994, 0},
  };
  for (const auto& [x, expected] : cases) EXPECT_EQ(Round(x), expected) << x;
}

TEST(SysUtilsArithmetic, TruncTowardZero) {
  EXPECT_EQ(Trunc(2.9), 2);
  EXPECT_EQ(Trunc(-2.9), -2);
  EXPECT_EQ(Trunc(-0.1), 0);
  EXPECT_EQ(Trunc(9.2e18), 9200000000000000000LL);
}

TEST(SysUtilsArithmetic, RoundAndTruncRefuseWhatHasNoInteger) {
  const double bad[] = {std::nan(""), std::numeric_limits<double>::infinity(), -1e300, 1e19};
  for (double x : bad) {
    EXPECT_THROW(Round(x), EInvalidOp) << x;
    EXPECT_THROW(Trunc(x), EInvalidOp) << x;
  }
}

struct TMulDivCase {
  Integer Number, Numerator, Denominator, Expected;
};

TEST(SysUtilsArithmetic, MulDivRoundsHalvesAwayFromZero) {
  const Integer maxInt = std::numeric_limits<Integer>::max();
  const Integer minInt = std::numeric_limits<Integer>::min();
  const TMulDivCase cases[] = {
      {10, 3, 2, 15},  {5, 1, 2, 3},    {-5, 1, 2, -3},  {5, -1, 2, -3},   {-5, -1, 2, 3},
      {5, 1, -2, -3},  {7, 1, 3, 2},    {8, 1, 3, 3},    {-8, 1, 3, -3},   {0, 5, 7, 0},
      {1, 2, 0, -1},   {0, 0, 0, -1},   {maxInt, maxInt, maxInt, maxInt},
      {maxInt, 2, 1, -1},  {minInt, 1, 1, minInt},  {minInt, -1, 1, -1},
      {100000, 100000, 1000, 10000000},
  };
  for (const TMulDivCase& c : cases)
    EXPECT_EQ(MulDiv(c.Number, c.Numerator, c.Denominator), c.Expected)
        << c.Number << "*" << c.Numerator << "/" << c.Denominator;
}

TEST(SysUtilsArithmetic, ClampToIntegerKeepsTheRangeAndStopsAtItsBounds) {
  const Int64 maxInt = std::numeric_limits<Integer>::max();
  const Int64 minInt = std::numeric_limits<Integer>::min();
  const std::pair<Int64, Integer> cases[] = {
      {0, 0},
      {-5, -5},
      {maxInt, Integer(maxInt)},
      {minInt, Integer(minInt)},
      {maxInt + 1, Integer(maxInt)},
      {minInt - 1, Integer(minInt)},
      {std::numeric_limits<Int64>::max(), Integer(maxInt)},
      {std::numeric_limits<Int64>::min(), Integer(minInt)},
  };
  for (const auto& [value, expected] : cases) EXPECT_EQ(ClampToInteger(value), expected) << value;
}

TEST(SysUtilsArithmetic, DivModFracInt) {
  EXPECT_EQ(Div(-7, 2), -3);
  EXPECT_EQ(Mod(-7, 2), -1);
  EXPECT_DOUBLE_EQ(Frac(2.75), 0.75);
  EXPECT_DOUBLE_EQ(Frac(-2.75), -0.75);
  EXPECT_DOUBLE_EQ(Int(2.75), 2.0);
  EXPECT_DOUBLE_EQ(Int(-2.75), -2.0);
}

}  // namespace
