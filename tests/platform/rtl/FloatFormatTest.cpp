#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "RtlTestSupport.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr double KInf = std::numeric_limits<double>::infinity();

Currency Curr(Int64 raw) { return Currency::FromRaw(raw); }

// ---------------------------------------------------------------------------------------------
// FloatToStr

struct TFloatToStrCase {
  double Value;
  const char* US;
  const char* DE;
};

TEST(FloatToStrTest, GeneralFormWithFifteenDigits) {
  const TFloatToStrCase cases[] = {
      {0, "0", "0"},
      {-0.0, "0", "0"},
      {1, "1", "1"},
      {-1.5, "-1.5", "-1,5"},
      {100, "100", "100"},
      {0.1, "0.1", "0,1"},
      {0.1 + 0.2, "0.3", "0,3"},
      {1.005, "1.005", "1,005"},
      {1.0 / 3, "0.333333333333333", "0,333333333333333"},
      {2.0 / 3, "0.666666666666667", "0,666666666666667"},
      {123456789012345.0, "123456789012345", "123456789012345"},
      {1e15, "1E15", "1E15"},
      {1234567890123456.0, "1.23456789012346E15", "1,23456789012346E15"},
      {1e20, "1E20", "1E20"},
      {-2.5e20, "-2.5E20", "-2,5E20"},
      {0.0001, "0.0001", "0,0001"},
      {0.00001, "1E-5", "1E-5"},
      {1.5e-7, "1.5E-7", "1,5E-7"},
      {1.7976931348623157e308, "1.79769313486232E308", "1,79769313486232E308"},
      {5e-324, "4.94065645841247E-324", "4,94065645841247E-324"},
      {999999999999999.9, "1E15", "1E15"},
      {KNaN, "NAN", "NAN"},
      {KInf, "INF", "INF"},
      {-KInf, "-INF", "-INF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FloatToStr(c.Value, KUS), c.US) << c.Value;
    EXPECT_EQ(FloatToStr(c.Value, KDE), c.DE) << c.Value;
  }
}

TEST(FloatToStrTest, ReadsTheGlobalSettings) {
  TFormatSettingsScope pin(KDE);
  EXPECT_EQ(FloatToStr(1234.5), "1234,5");
  EXPECT_EQ(FloatToStrF(1234.5, TFloatFormat::ffNumber, 15, 2), "1.234,50");
}

// ---------------------------------------------------------------------------------------------
// FloatToStrF

struct TFloatToStrFCase {
  double Value;
  TFloatFormat Format;
  Integer Precision;
  Integer Digits;
  const char* US;
  const char* DE;
};

constexpr TFloatFormat ffGeneral = TFloatFormat::ffGeneral;
constexpr TFloatFormat ffExponent = TFloatFormat::ffExponent;
constexpr TFloatFormat ffFixed = TFloatFormat::ffFixed;
constexpr TFloatFormat ffNumber = TFloatFormat::ffNumber;
constexpr TFloatFormat ffCurrency = TFloatFormat::ffCurrency;

TEST(FloatToStrFTest, EveryFormat) {
  const TFloatToStrFCase cases[] = {
      // General: precision limits the significant digits; Digits is the exponent's minimum.
      {123.456, ffGeneral, 4, 0, "123.5", "123,5"},
      {123456, ffGeneral, 4, 0, "1.235E5", "1,235E5"},
      {123456, ffGeneral, 4, 2, "1.235E05", "1,235E05"},
      {0.00001234, ffGeneral, 15, 3, "1.234E-005", "1,234E-005"},
      {0.1, ffGeneral, 18, 0, "0.100000000000000006", "0,100000000000000006"},
      // Exponent: always Precision digits, a signed exponent of at least Digits digits.
      {12345.678, ffExponent, 5, 3, "1.2346E+004", "1,2346E+004"},
      {1234.5, ffExponent, 5, 3, "1.2345E+003", "1,2345E+003"},
      {0.000123, ffExponent, 3, 2, "1.23E-04", "1,23E-04"},
      {-1234.5, ffExponent, 15, 3, "-1.23450000000000E+003", "-1,23450000000000E+003"},
      {0, ffExponent, 4, 2, "0.000E+00", "0,000E+00"},
      {9.99995, ffExponent, 5, 0, "1.0000E+1", "1,0000E+1"},
      {5, ffExponent, 1, 1, "5E+0", "5E+0"},
      // Fixed: Digits decimals, rounded half away from zero on the exact decimal digits.
      {1234.5678, ffFixed, 15, 2, "1234.57", "1234,57"},
      {1234.5678, ffFixed, 6, 4, "1234.5700", "1234,5700"},
      {0.125, ffFixed, 15, 2, "0.13", "0,13"},
      {-0.125, ffFixed, 15, 2, "-0.13", "-0,13"},
      {2.5, ffFixed, 15, 0, "3", "3"},
      {-2.5, ffFixed, 15, 0, "-3", "-3"},
      {1.005, ffFixed, 15, 2, "1.00", "1,00"},
      {2.675, ffFixed, 15, 2, "2.67", "2,67"},
      {12.345, ffFixed, 15, 2, "12.35", "12,35"},
      {0.5, ffFixed, 15, 0, "1", "1"},
      {0.05, ffFixed, 15, 0, "0", "0"},
      {-0.001, ffFixed, 15, 2, "0.00", "0,00"},
      {0, ffFixed, 15, 3, "0.000", "0,000"},
      {99.999, ffFixed, 15, 2, "100.00", "100,00"},
      {1e20, ffFixed, 15, 2, "1E20", "1E20"},
      {1, ffFixed, 15, 40, "1.000000000000000000", "1,000000000000000000"},
      // Number: fixed with thousands separators in the integer part.
      {1234567.891, ffNumber, 15, 2, "1,234,567.89", "1.234.567,89"},
      {-1234567.891, ffNumber, 15, 0, "-1,234,568", "-1.234.568"},
      {999.5, ffNumber, 15, 0, "1,000", "1.000"},
      {123, ffNumber, 15, 1, "123.0", "123,0"},
      // Currency: the locale's symbol placement.
      {1234.5, ffCurrency, 15, 2, "$1,234.50", "1.234,50 \x80"},
      {-1234.5, ffCurrency, 15, 2, "($1,234.50)", "-1.234,50 \x80"},
      {0.004, ffCurrency, 15, 2, "$0.00", "0,00 \x80"},
      {-0.004, ffCurrency, 15, 2, "$0.00", "0,00 \x80"},
      // Not numbers.
      {KNaN, ffFixed, 15, 2, "NAN", "NAN"},
      {-KInf, ffNumber, 15, 2, "-INF", "-INF"},
      {KInf, ffCurrency, 15, 2, "INF", "INF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FloatToStrF(c.Value, c.Format, c.Precision, c.Digits, KUS), c.US)
        << c.Value << " format " << static_cast<int>(c.Format);
    EXPECT_EQ(FloatToStrF(c.Value, c.Format, c.Precision, c.Digits, KDE), c.DE)
        << c.Value << " format " << static_cast<int>(c.Format);
  }
}

TEST(FloatToStrFTest, CurrencyPlacementsOfTheLocale) {
  const char* const positive[] = {"$1.50", "1.50$", "$ 1.50", "1.50 $"};
  const char* const negative[] = {"($1.50)", "-$1.50",  "$-1.50",  "$1.50-",  "(1.50$)", "-1.50$",
                                  "1.50-$",  "1.50$-",  "-1.50 $", "-$ 1.50", "1.50 $-", "$ 1.50-",
                                  "$ -1.50", "1.50- $", "($ 1.50)", "(1.50 $)"};
  TFormatSettings fs = KUS;
  for (Byte f = 0; f < 4; ++f) {
    fs.CurrencyFormat = f;
    EXPECT_EQ(FloatToStrF(1.5, ffCurrency, 15, 2, fs), positive[f]) << int(f);
  }
  for (Byte f = 0; f < 16; ++f) {
    fs.NegCurrFormat = f;
    EXPECT_EQ(FloatToStrF(-1.5, ffCurrency, 15, 2, fs), negative[f]) << int(f);
  }
  fs.CurrencyString = "EUR";
  fs.CurrencyFormat = 3;
  EXPECT_EQ(FloatToStrF(2, ffCurrency, 15, 0, fs), "2 EUR");
}

TEST(FloatToStrFTest, OutOfRangeArgumentsAreClamped) {
  EXPECT_EQ(FloatToStrF(1.0 / 3, ffGeneral, 0, 0, KUS), "0.3");
  EXPECT_EQ(FloatToStrF(1.0 / 3, ffGeneral, 99, 0, KUS), "0.333333333333333315");
  EXPECT_EQ(FloatToStrF(2.5, ffFixed, 15, -3, KUS), "3");
  EXPECT_EQ(FloatToStrF(1e-30, ffGeneral, 15, 9, KUS), "1E-0030");
}

// ---------------------------------------------------------------------------------------------
// FormatFloat

struct TFormatFloatCase {
  const char* Format;
  double Value;
  const char* US;
  const char* DE;
};

TEST(FormatFloatTest, PlaceholdersAndLiterals) {
  const TFormatFloatCase cases[] = {
      {"0.00", 1234.567, "1234.57", "1234,57"},
      {"0.00", 0.125, "0.13", "0,13"},
      {"0.00", -0.001, "0.00", "0,00"},
      {"0", 2.5, "3", "3"},
      {"0", 0, "0", "0"},
      {"#", 0, "", ""},
      {"#.##", 0.5, ".5", ",5"},
      {"#.##", 12, "12", "12"},
      {"000", 7, "007", "007"},
      {"0.###", 1.5, "1.5", "1,5"},
      {"0.###", 1, "1", "1"},
      {"0.0#", 1, "1.0", "1,0"},
      {"0.0#", 1.234, "1.23", "1,23"},
      {"00-00", 1234, "12-34", "12-34"},
      {"00-00", 5, "00-05", "00-05"},
      {".00", 12.5, "12.50", "12,50"},
      {"#,##0.00", 1234567.891, "1,234,567.89", "1.234.567,89"},
      {"#,##0.00", -1234.5, "-1,234.50", "-1.234,50"},
      {"#,##0", 1000000, "1,000,000", "1.000.000"},
      {"#,##0", 100, "100", "100"},
      {"#,##0", 0, "0", "0"},
      {"#,#", 1234, "1,234", "1.234"},
      {"0,000", 5, "0,005", "0.005"},
      {"\"$\"#,##0.00", 1234.5, "$1,234.50", "$1.234,50"},
      {"'Total: '0", 5, "Total: 5", "Total: 5"},
      {"0 \"pcs; each\"", 3, "3 pcs; each", "3 pcs; each"},
      {"0.00 %", 12.345, "12.35 %", "12,35 %"},
      {"0.0.0", 1.25, "1.25", "1,25"},
      {"x0", -5, "-x5", "-x5"},
      {"\"unterminated", 5, "unterminated", "unterminated"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFloat(c.Format, c.Value, KUS), c.US) << c.Format << " / " << c.Value;
    EXPECT_EQ(FormatFloat(c.Format, c.Value, KDE), c.DE) << c.Format << " / " << c.Value;
  }
}

TEST(FormatFloatTest, Sections) {
  const TFormatFloatCase cases[] = {
      {"0.00;(0.00)", -5.5, "(5.50)", "(5,50)"},
      {"0.00;(0.00)", 5.5, "5.50", "5,50"},
      {"0.00;(0.00)", 0, "0.00", "0,00"},
      {"0.00;(0.00);\"zero\"", 0, "zero", "zero"},
      {"0.00;(0.00);\"zero\"", 0.001, "zero", "zero"},
      {"0.00;(0.00);\"zero\"", -0.001, "zero", "zero"},
      {"0.00;(0.00);\"zero\"", 7, "7.00", "7,00"},
      {"0.00;;\"zero\"", -2, "-2.00", "-2,00"},
      {"0.00;;", 0, "0.00", "0,00"},
      {"0.00;\"neg\";\"zero\";\"ignored\"", -1, "neg", "neg"},
      {"\"a;b\"0;\"c\"0", -1, "c1", "c1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFloat(c.Format, c.Value, KUS), c.US) << c.Format << " / " << c.Value;
    EXPECT_EQ(FormatFloat(c.Format, c.Value, KDE), c.DE) << c.Format << " / " << c.Value;
  }
}

TEST(FormatFloatTest, Scientific) {
  const TFormatFloatCase cases[] = {
      {"0.00E+00", 12345, "1.23E+04", "1,23E+04"},
      {"0.00E-00", 12345, "1.23E04", "1,23E04"},
      {"0.00e-0", 0.00012345, "1.23e-4", "1,23e-4"},
      {"0.00E+00", -12345, "-1.23E+04", "-1,23E+04"},
      {"0.0E+0", 0, "0.0E+0", "0,0E+0"},
      {"00.0E+0", 12345, "12.3E+3", "12,3E+3"},
      {"0.##E+000", 1500, "1.5E+003", "1,5E+003"},
      {"0.##E+000", 9.999, "1E+001", "1E+001"},
      {"0E+0", 7, "7E+0", "7E+0"},
      {"0.0Ex", 1.5, "1.5Ex", "1,5Ex"},
      {"#.###E-0", 0, "0E0", "0E0"},
      {"##.#E+0", 0, "0E+0", "0E+0"},
      {"#0.0E+0", 0, "0.0E+0", "0,0E+0"},
      {"#.###E-0", 1234, "1.234E3", "1,234E3"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFloat(c.Format, c.Value, KUS), c.US) << c.Format << " / " << c.Value;
    EXPECT_EQ(FormatFloat(c.Format, c.Value, KDE), c.DE) << c.Format << " / " << c.Value;
  }
}

TEST(FormatFloatTest, FallsBackToGeneralText) {
  EXPECT_EQ(FormatFloat("", 1.5, KUS), "1.5");
  EXPECT_EQ(FormatFloat("", 1.5, KDE), "1,5");
  EXPECT_EQ(FormatFloat("0", 1e20, KUS), "1E20");
  EXPECT_EQ(FormatFloat(";(0)", 5.5, KDE), "5,5");
  EXPECT_EQ(FormatFloat(";(0)", -5.5, KDE), "(6)");
  EXPECT_EQ(FormatFloat(";", -5.5, KUS), "-5.5");
  EXPECT_EQ(FormatFloat("0.00", KNaN, KUS), "NAN");
  EXPECT_EQ(FormatFloat("0.00", -KInf, KUS), "-INF");
  TFormatSettingsScope pin(KDE);
  EXPECT_EQ(FormatFloat("#,##0.00", 1234.5), "1.234,50");
}

// Formats built from the pattern characters in any order give text, never a fault.
TEST(FormatFloatTest, ArbitraryFormatsAreSafe) {
  const char alphabet[] = "0#.,;Ee+-\"'x% ";
  uint64_t state = 12345;
  for (int i = 0; i < 5000; ++i) {
    String format;
    for (int n = 0; n < 12; ++n) {
      state = state * 6364136223846793005ull + 1442695040888963407ull;
      format += alphabet[(state >> 33) % (sizeof alphabet - 1)];
    }
    const double value = static_cast<double>(static_cast<int64_t>(state >> 20)) / 1e6 - 4e6;
    EXPECT_NO_THROW(FormatFloat(format, value, KUS)) << format;
    EXPECT_NO_THROW(FormatCurr(format, Curr(static_cast<Int64>(state >> 2) - (1ll << 61))));
  }
}

// ---------------------------------------------------------------------------------------------
// Text to float

struct TStrToFloatCase {
  const char* Text;
  double Value;
};

TEST(StrToFloatTest, AcceptsThePlatformsSyntax) {
  const TStrToFloatCase us[] = {
      {"1.5", 1.5},     {" 1.5 ", 1.5},    {"-1.5e3", -1500}, {"+2", 2},
      {".5", 0.5},      {"5.", 5},         {"1E+2", 100},     {"1e-2", 0.01},
      {"0", 0},         {"007", 7},        {"0.1", 0.1},      {"1e-400", 0},
      {"123456789012345678901234567890", 1.2345678901234568e29},
      {"2.2250738585072014e-308", 2.2250738585072014e-308},
      {"1.7976931348623157e308", 1.7976931348623157e308},
  };
  for (const auto& c : us) {
    double v = -1;
    EXPECT_TRUE(TryStrToFloat(c.Text, v, KUS)) << c.Text;
    EXPECT_EQ(v, c.Value) << c.Text;
    EXPECT_EQ(StrToFloat(c.Text, KUS), c.Value) << c.Text;
  }
  const TStrToFloatCase de[] = {{"1,5", 1.5}, {"-0,25", -0.25}, {",5", 0.5}, {"3e2", 300}};
  for (const auto& c : de) EXPECT_EQ(StrToFloat(c.Text, KDE), c.Value) << c.Text;
}

TEST(StrToFloatTest, RefusesOtherText) {
  const char* const us[] = {"",    " ",   "abc",  "1.2.3", "1,5",  "1e",   "1e+",  "NaN",
                            "Inf", "INF", "-",    ".",     "1 2",  "1e400", "0x10", "1_0",
                            "--1", "1-",  "e5",   "1.5x",  "$5",   "1,000.5"};
  for (const char* text : us) {
    double v = 42;
    EXPECT_FALSE(TryStrToFloat(text, v, KUS)) << text;
    EXPECT_EQ(v, 42) << "value kept for " << text;
  }
  const char* const de[] = {"1.5", "1.234,5", "1,2,3"};
  for (const char* text : de) {
    double v;
    EXPECT_FALSE(TryStrToFloat(text, v, KDE)) << text;
  }
}

TEST(StrToFloatTest, ArbitraryTextIsRefusedOrRead) {
  const char alphabet[] = "0123456789.,eE+- x";
  uint64_t state = 777;
  for (int i = 0; i < 5000; ++i) {
    String text;
    for (int n = 0; n < 10; ++n) {
      state = state * 6364136223846793005ull + 1442695040888963407ull;
      text += alphabet[(state >> 33) % (sizeof alphabet - 1)];
    }
    double v;
    Currency c;
    if (TryStrToFloat(text, v, KUS)) {
      EXPECT_TRUE(std::isfinite(v)) << text;
    }
    TryStrToCurr(text, c);
  }
}

TEST(StrToFloatTest, RaisesConvertErrorWithThePlatformsMessage) {
  try {
    StrToFloat("abc", KUS);
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'abc' is not a valid floating point value");
  }
  EXPECT_THROW(StrToFloat("1.5", KDE), EConvertError);
}

TEST(StrToFloatTest, GlobalSettingsAndDefault) {
  EXPECT_EQ(StrToFloatDef("x", 7), 7);
  EXPECT_EQ(StrToFloatDef("2.5", 7), 2.5);
  TFormatSettingsScope pin(KDE);
  EXPECT_EQ(StrToFloat("2,5"), 2.5);
  EXPECT_EQ(StrToFloatDef("2.5", 7), 7);
  double v;
  EXPECT_TRUE(TryStrToFloat("-1,25", v));
  EXPECT_EQ(v, -1.25);
}

// Eighteen significant digits name a double exactly, so text written with them reads back equal.
TEST(StrToFloatTest, EighteenDigitTextRoundTrips) {
  uint64_t state = 0x9E3779B97F4A7C15ull;
  for (int i = 0; i < 20000; ++i) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    double value;
    const uint64_t bits = state & 0x7FEFFFFFFFFFFFFFull;  // finite doubles of either sign
    std::memcpy(&value, &bits, sizeof value);
    if (state & 1) value = -value;
    for (const TFormatSettings* fs : {&KUS, &KDE}) {
      const String text = FloatToStrF(value, ffGeneral, 18, 0, *fs);
      EXPECT_EQ(StrToFloat(text, *fs), value) << text;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Currency

TEST(CurrencyTest, FromDoubleRoundsHalvesToEven) {
  const struct {
    double Value;
    Int64 Raw;
  } cases[] = {
      {1.5, 15000},       {-1.5, -15000},    {0.03125, 312},       {0.09375, 938},
      {-0.03125, -312},   {0.015625, 156},   {1.23456, 12346},     {0, 0},
      {922337203685477.0, 9223372036854770000},
  };
  for (const auto& c : cases) EXPECT_EQ(Currency::FromDouble(c.Value).Value, c.Raw) << c.Value;
  EXPECT_THROW(Currency::FromDouble(1e15), EInvalidOp);
  EXPECT_THROW(Currency::FromDouble(-1e15), EInvalidOp);
  EXPECT_THROW(Currency::FromDouble(KNaN), EInvalidOp);
  EXPECT_THROW(Currency::FromDouble(KInf), EInvalidOp);
}

TEST(CurrencyTest, ToText) {
  TFormatSettingsScope pin(KUS);
  const struct {
    Int64 Raw;
    const char* Text;
  } plain[] = {
      {12345678, "1234.5678"},
      {15000, "1.5"},
      {-5, "-0.0005"},
      {0, "0"},
      {10000000000, "1000000"},
      {INT64_MAX, "922337203685477.5807"},
      {INT64_MIN, "-922337203685477.5808"},
  };
  for (const auto& c : plain) EXPECT_EQ(CurrToStr(Curr(c.Raw)), c.Text) << c.Raw;

  EXPECT_EQ(CurrToStrF(Curr(12345000), ffCurrency, 2), "$1,234.50");
  EXPECT_EQ(CurrToStrF(Curr(-12345000), ffCurrency, 2), "($1,234.50)");
  EXPECT_EQ(CurrToStrF(Curr(12345), ffFixed, 2), "1.23");
  EXPECT_EQ(CurrToStrF(Curr(12355), ffFixed, 2), "1.24");
  EXPECT_EQ(CurrToStrF(Curr(-125), ffFixed, 2), "-0.01");
  EXPECT_EQ(CurrToStrF(Curr(INT64_MAX), ffNumber, 4), "922,337,203,685,477.5807");
  EXPECT_EQ(CurrToStrF(Curr(INT64_MAX), ffFixed, 0), "922337203685478");
  EXPECT_EQ(FormatCurr("#,##0.00", Curr(12345678901234)), "1,234,567,890.12");
  EXPECT_EQ(FormatCurr("0.00;(0.00);\"nil\"", Curr(-25000)), "(2.50)");
  EXPECT_EQ(FormatCurr("0.00;(0.00);\"nil\"", Curr(49)), "nil");
  EXPECT_EQ(FormatCurr("", Curr(25000)), "2.5");
}

TEST(CurrencyTest, ToTextGerman) {
  TFormatSettingsScope pin(KDE);
  EXPECT_EQ(CurrToStr(Curr(12345678)), "1234,5678");
  EXPECT_EQ(CurrToStrF(Curr(12345000), ffCurrency, 2), "1.234,50 \x80");
  EXPECT_EQ(CurrToStrF(Curr(-12345000), ffCurrency, 2), "-1.234,50 \x80");
  EXPECT_EQ(FormatCurr("#,##0.00", Curr(12345678901234)), "1.234.567.890,12");
}

TEST(CurrencyTest, FromText) {
  TFormatSettingsScope pin(KUS);
  const struct {
    const char* Text;
    Int64 Raw;
  } cases[] = {
      {"1.5", 15000},
      {" -1.5 ", -15000},
      {"1.23456", 12346},
      {"0.00005", 0},
      {"0.00015", 2},
      {"0.000051", 1},
      {"-0.00025", -2},
      {"1e3", 10000000},
      {"12.5e-2", 1250},
      {"922337203685477.5807", INT64_MAX},
      {"-922337203685477.5808", INT64_MIN},
      {"0000000000000000000001", 10000},
  };
  for (const auto& c : cases) {
    Currency v;
    EXPECT_TRUE(TryStrToCurr(c.Text, v)) << c.Text;
    EXPECT_EQ(v.Value, c.Raw) << c.Text;
    EXPECT_EQ(StrToCurr(c.Text).Value, c.Raw) << c.Text;
  }
  const char* const refused[] = {"", "abc", "1,5", "922337203685477.5808", "1e20", "NaN", "1e"};
  for (const char* text : refused) {
    Currency v = Curr(77);
    EXPECT_FALSE(TryStrToCurr(text, v)) << text;
    EXPECT_EQ(v.Value, 77) << text;
  }
  try {
    StrToCurr("x1");
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'x1' is not a valid floating point value");
  }
}

TEST(CurrencyTest, FromTextGerman) {
  TFormatSettingsScope pin(KDE);
  EXPECT_EQ(StrToCurr("1,5").Value, 15000);
  Currency v;
  EXPECT_FALSE(TryStrToCurr("1.5", v));
}

}  // namespace
