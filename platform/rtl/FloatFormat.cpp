// Floating-point and currency text.
//
// A number is first turned into exact decimal digits (the shortest exact expansion of the double,
// kept to 18 significant digits, or the exact digits of a Currency), then rounded half away from
// zero on those decimal digits, then laid out. The host locale is never consulted.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "platform/rtl/SysUtils.h"

namespace {

const TResourceString SInvalidFloat = {65486, "'%s' is not a valid floating point value"};
const TResourceString SInvalidCurrencyOp = {65487, "Invalid floating point operation"};

constexpr int KExactDigits = 18;         // significant digits kept from a double
constexpr int KGeneralPrecision = 15;    // FloatToStr and FormatFloat
constexpr int KCurrencyPrecision = 19;   // every digit of a Currency
constexpr int KMaxDecimals = 18;
constexpr int KMaxExponentDigits = 4;
constexpr int KMaxFixedExponent = 18;    // FormatFloat falls back to general text beyond this
constexpr int KUnlimited = 1 << 20;
constexpr long KExponentLimit = 100000;  // far beyond any double; keeps exponent sums small

// ---------------------------------------------------------------------------------------------
// Decimal digits: value = (-)0.D1D2...Dn x 10^Exponent, no leading or trailing zero digits.

struct TDecimal {
  enum class TKind { Finite, NaN, Infinite };
  TKind Kind = TKind::Finite;
  bool Negative = false;
  String Digits;  // empty for zero
  int Exponent = 0;

  bool IsZero() const { return Kind == TKind::Finite && Digits.empty(); }
  // The digit standing for 10^power, '0' outside the digits.
  char DigitAt(int power) const {
    const long index = static_cast<long>(Exponent) - 1 - power;
    return index >= 0 && index < static_cast<long>(Digits.size()) ? Digits[index] : '0';
  }
};

void StripTrailingZeros(TDecimal& d) {
  while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
  if (d.Digits.empty()) d.Exponent = 0;
}

TDecimal DecimalFromDouble(double value) {
  TDecimal d;
  if (std::isnan(value)) {
    d.Kind = TDecimal::TKind::NaN;
    return d;
  }
  d.Negative = std::signbit(value);
  if (std::isinf(value)) {
    d.Kind = TDecimal::TKind::Infinite;
    return d;
  }
  if (value == 0) {
    d.Negative = false;
    return d;
  }
  // Scientific text "d.ddd...e+xx" with exactly KExactDigits correctly rounded digits.
  char buffer[64];
  const auto res = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                 std::chars_format::scientific, KExactDigits - 1);
  const String text(buffer, res.ptr);
  const size_t e = text.find('e');
  d.Digits = text.substr(0, 1) + text.substr(2, e - 2);
  d.Exponent = std::stoi(text.substr(e + 1)) + 1;
  StripTrailingZeros(d);
  return d;
}

TDecimal DecimalFromCurrency(Currency value) {
  TDecimal d;
  d.Negative = value.Value < 0;
  const UInt64 magnitude = d.Negative ? 0 - static_cast<UInt64>(value.Value) : value.Value;
  if (magnitude == 0) {
    d.Negative = false;
    return d;
  }
  d.Digits = std::to_string(magnitude);
  d.Exponent = static_cast<int>(d.Digits.size()) - 4;
  StripTrailingZeros(d);
  return d;
}

// Rounds half away from zero to at most `precision` significant digits and at most `decimals`
// digits after the decimal point.
void RoundDecimal(TDecimal& d, int precision, int decimals) {
  if (d.Kind != TDecimal::TKind::Finite || d.Digits.empty()) return;
  const long keep = std::min<long>(precision, static_cast<long>(d.Exponent) + decimals);
  if (keep >= static_cast<long>(d.Digits.size())) return;
  if (keep < 0) {
    d.Digits.clear();
    d.Exponent = 0;
    return;
  }
  const bool roundUp = d.Digits[keep] >= '5';
  d.Digits.resize(keep);
  if (roundUp) {
    long i = keep - 1;
    while (i >= 0 && d.Digits[i] == '9') d.Digits[i--] = '0';
    if (i < 0) {
      d.Digits.insert(d.Digits.begin(), '1');
      ++d.Exponent;
    } else {
      ++d.Digits[i];
    }
  }
  StripTrailingZeros(d);
}

String ZeroPadded(long value, int width) {
  String digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

String IntegerDigits(const TDecimal& d) {
  String digits;
  for (int power = d.Exponent - 1; power >= 0; --power) digits += d.DigitAt(power);
  return digits;
}

String FractionDigits(const TDecimal& d, int count) {
  String digits;
  for (int j = 1; j <= count; ++j) digits += d.DigitAt(-j);
  return digits;
}

String GroupThousands(const String& digits, char separator) {
  if (!separator) return digits;
  String grouped;
  const size_t n = digits.size();
  for (size_t i = 0; i < n; ++i) {
    grouped += digits[i];
    const size_t remaining = n - 1 - i;
    if (remaining > 0 && remaining % 3 == 0) grouped += separator;
  }
  return grouped;
}

String SignPrefix(const TDecimal& d) { return d.Negative && !d.IsZero() ? "-" : ""; }

String SpecialText(const TDecimal& d) {
  if (d.Kind == TDecimal::TKind::NaN) return "NAN";
  return d.Negative ? "-INF" : "INF";
}

// ---------------------------------------------------------------------------------------------
// FloatToStrF layouts

String ExponentSuffix(int exponent, bool alwaysSign, int minDigits) {
  String text = "E";
  if (exponent < 0)
    text += '-';
  else if (alwaysSign)
    text += '+';
  return text + ZeroPadded(std::abs(exponent), minDigits);
}

String GeneralText(TDecimal d, int precision, int exponentDigits, const TFormatSettings& fs) {
  RoundDecimal(d, precision, KUnlimited);
  if (d.IsZero()) return "0";
  String body;
  if (d.Exponent > precision || d.Exponent < -3) {
    body = d.Digits.substr(0, 1);
    if (d.Digits.size() > 1) body += fs.DecimalSeparator + d.Digits.substr(1);
    body += ExponentSuffix(d.Exponent - 1, false, exponentDigits);
  } else if (d.Exponent <= 0) {
    body = String("0") + fs.DecimalSeparator + String(-d.Exponent, '0') + d.Digits;
  } else {
    body = IntegerDigits(d);
    if (static_cast<int>(d.Digits.size()) > d.Exponent)
      body += fs.DecimalSeparator + d.Digits.substr(d.Exponent);
  }
  return SignPrefix(d) + body;
}

String ExponentText(TDecimal d, int precision, int exponentDigits, const TFormatSettings& fs) {
  RoundDecimal(d, precision, KUnlimited);
  String mantissa = d.Digits;
  mantissa.resize(precision, '0');
  String body = mantissa.substr(0, 1);
  if (precision > 1) body += fs.DecimalSeparator + mantissa.substr(1);
  body += ExponentSuffix(d.IsZero() ? 0 : d.Exponent - 1, true, exponentDigits);
  return SignPrefix(d) + body;
}

// Integer part (at least "0"), optional thousands, then exactly `decimals` digits.
String FixedBody(const TDecimal& d, int decimals, bool thousands, const TFormatSettings& fs) {
  String integer = IntegerDigits(d);
  if (integer.empty()) integer = "0";
  String body = thousands ? GroupThousands(integer, fs.ThousandSeparator) : integer;
  if (decimals > 0) body += fs.DecimalSeparator + FractionDigits(d, decimals);
  return body;
}

String ApplyCurrencyFormat(const String& number, bool negative, const TFormatSettings& fs) {
  static const char* const KPositive[4] = {"$1", "1$", "$ 1", "1 $"};
  static const char* const KNegative[16] = {"($1)", "-$1",  "$-1",  "$1-",  "(1$)",  "-1$",
                                            "1-$",  "1$-",  "-1 $", "-$ 1", "1 $-",  "$ 1-",
                                            "$ -1", "1- $", "($ 1)", "(1 $)"};
  const char* pattern = negative ? KNegative[std::min<int>(fs.NegCurrFormat, 15)]
                                 : KPositive[std::min<int>(fs.CurrencyFormat, 3)];
  String text;
  for (const char* p = pattern; *p; ++p) {
    if (*p == '$')
      text += fs.CurrencyString;
    else if (*p == '1')
      text += number;
    else
      text += *p;
  }
  return text;
}

String FixedText(const TDecimal& d, TFloatFormat format, int precision, int decimals,
                 const TFormatSettings& fs) {
  TDecimal r = d;
  RoundDecimal(r, precision, decimals);
  // More integer digits than the precision holds: the value is shown in general form.
  if (r.Exponent > precision) return GeneralText(d, precision, 0, fs);
  if (format == TFloatFormat::ffCurrency) {
    const String number = FixedBody(r, decimals, true, fs);
    return ApplyCurrencyFormat(number, r.Negative && !r.IsZero(), fs);
  }
  return SignPrefix(r) + FixedBody(r, decimals, format == TFloatFormat::ffNumber, fs);
}

String DecimalToText(const TDecimal& d, TFloatFormat format, int precision, int digits,
                     const TFormatSettings& fs) {
  if (d.Kind != TDecimal::TKind::Finite) return SpecialText(d);
  switch (format) {
    case TFloatFormat::ffGeneral:
      return GeneralText(d, precision, std::clamp(digits, 0, KMaxExponentDigits), fs);
    case TFloatFormat::ffExponent:
      return ExponentText(d, precision, std::clamp(digits, 0, KMaxExponentDigits), fs);
    default:
      return FixedText(d, format, precision, std::clamp(digits, 0, KMaxDecimals), fs);
  }
}

// ---------------------------------------------------------------------------------------------
// FormatFloat: sections, placeholders and literals

struct TFormatToken {
  enum class TKind { Literal, Digit, Point, Exponent };
  TKind Kind;
  String Text;         // Literal: the text; Digit: "0" or "#"; Exponent: "E+", "e-", ...
  int ExponentZeros = 0;
};

struct TNumberPattern {
  std::vector<TFormatToken> Tokens;
  int IntPlaceholders = 0;
  int FirstIntZero = -1;  // index of the first '0' among the integer placeholders
  int FracPlaceholders = 0;
  int FracZeros = 0;      // placeholders up to and including the last '0' after the point
  bool Thousands = false;
  bool Scientific = false;
};

// Splits at ';' outside quotes into at most three sections: positive, negative, zero.
std::vector<String> SplitSections(const String& format) {
  std::vector<String> sections(1);
  char quote = 0;
  for (char c : format) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == ';') {
      if (sections.size() == 3) break;
      sections.emplace_back();
      continue;
    }
    sections.back() += c;
  }
  return sections;
}

bool IsExponentAt(const String& s, size_t i) {
  return (s[i] == 'E' || s[i] == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-');
}

void AddLiteral(TNumberPattern& p, const String& text) {
  if (!p.Tokens.empty() && p.Tokens.back().Kind == TFormatToken::TKind::Literal)
    p.Tokens.back().Text += text;
  else
    p.Tokens.push_back({TFormatToken::TKind::Literal, text});
}

void AddDigit(TNumberPattern& p, bool afterPoint, char c) {
  if (!afterPoint) {
    if (c == '0' && p.FirstIntZero < 0) p.FirstIntZero = p.IntPlaceholders;
    ++p.IntPlaceholders;
  } else {
    ++p.FracPlaceholders;
    if (c == '0') p.FracZeros = p.FracPlaceholders;
  }
  p.Tokens.push_back({TFormatToken::TKind::Digit, String(1, c)});
}

// Returns the position after the exponent's digit zeros.
size_t AddExponent(TNumberPattern& p, const String& s, size_t i) {
  TFormatToken token{TFormatToken::TKind::Exponent, s.substr(i, 2)};
  i += 2;
  while (i < s.size() && s[i] == '0') {
    ++token.ExponentZeros;
    ++i;
  }
  token.ExponentZeros = std::min(token.ExponentZeros, KMaxExponentDigits);
  p.Tokens.push_back(token);
  p.Scientific = true;
  return i;
}

TNumberPattern ParseSection(const String& s) {
  TNumberPattern p;
  bool afterPoint = false;
  size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (c == '"' || c == '\'') {
      const size_t close = s.find(c, i + 1);
      const size_t end = close == String::npos ? s.size() : close;
      AddLiteral(p, s.substr(i + 1, end - i - 1));
      i = close == String::npos ? end : end + 1;
      continue;
    }
    if ((c == '0' || c == '#') && !p.Scientific) {
      AddDigit(p, afterPoint, c);
    } else if (c == '.' && !p.Scientific) {
      if (!afterPoint) p.Tokens.push_back({TFormatToken::TKind::Point, "."});
      afterPoint = true;  // later points are ignored
    } else if (c == ',') {
      p.Thousands = true;
    } else if (!p.Scientific && IsExponentAt(s, i)) {
      i = AddExponent(p, s, i);
      continue;
    } else {
      AddLiteral(p, String(1, c));
    }
    ++i;
  }
  return p;
}

struct TRendered {
  String Text;
  bool Zero = false;      // the value rounded to zero in this section
  bool TooLarge = false;  // too many integer digits for a fixed layout
};

class TPatternWriter {
 public:
  TPatternWriter(const TNumberPattern& p, const TFormatSettings& fs) : FPattern(p), FSettings(fs) {}
  TRendered Render(TDecimal d, int precision);

 private:
  void PrepareFixed(TDecimal& d, int precision);
  void PrepareScientific(TDecimal& d);
  void WriteIntegerDigit(char placeholder);
  void WriteLeadingIntegerDigits(int fromPower);
  void WriteIntegerChar(int power);
  void WriteFractionDigit();
  void WriteExponent(const TFormatToken& token);

  const TNumberPattern& FPattern;
  const TFormatSettings& FSettings;
  String FOut;
  String FInteger;   // integer digits, padded with the zeros the pattern demands
  String FFraction;  // fraction digits to show
  int FExponent = 0;
  int FIntIndex = 0;
  int FFracIndex = 0;
  bool FZero = false;
};

// Fraction digits beyond the pattern's last '0' are shown only when not zero.
String TrimFraction(String digits, int mandatory) {
  while (static_cast<int>(digits.size()) > mandatory && digits.back() == '0') digits.pop_back();
  return digits;
}

void TPatternWriter::PrepareFixed(TDecimal& d, int precision) {
  RoundDecimal(d, precision, FPattern.FracPlaceholders);
  const String digits = IntegerDigits(d);
  const int mandatory =
      FPattern.FirstIntZero >= 0 ? FPattern.IntPlaceholders - FPattern.FirstIntZero : 0;
  FInteger = String(std::max<int>(0, mandatory - static_cast<int>(digits.size())), '0') + digits;
  FFraction = TrimFraction(FractionDigits(d, FPattern.FracPlaceholders), FPattern.FracZeros);
}

void TPatternWriter::PrepareScientific(TDecimal& d) {
  const int intCount = FPattern.IntPlaceholders;
  RoundDecimal(d, std::max(1, intCount + FPattern.FracPlaceholders), KUnlimited);
  FExponent = d.IsZero() ? 0 : d.Exponent - intCount;
  String mantissa = d.Digits;
  mantissa.resize(intCount + FPattern.FracPlaceholders, '0');
  FInteger = mantissa.substr(0, intCount);
  FFraction = TrimFraction(mantissa.substr(intCount), FPattern.FracZeros);
}

// Writes the integer digit for 10^power and a thousands separator after it where one belongs.
void TPatternWriter::WriteIntegerChar(int power) {
  const int width = static_cast<int>(FInteger.size());
  if (power >= width) return;
  FOut += FInteger[width - 1 - power];
  if (FPattern.Thousands && !FPattern.Scientific && power > 0 && power % 3 == 0 &&
      FSettings.ThousandSeparator)
    FOut += FSettings.ThousandSeparator;
}

// The first placeholder also carries every digit above the pattern's own width.
void TPatternWriter::WriteLeadingIntegerDigits(int fromPower) {
  for (int power = static_cast<int>(FInteger.size()) - 1; power > fromPower; --power)
    WriteIntegerChar(power);
}

void TPatternWriter::WriteIntegerDigit(char placeholder) {
  const int power = FPattern.IntPlaceholders - 1 - FIntIndex;
  if (FPattern.Scientific) {
    // Zero shows its digit on the '0' placeholders, or on the last one when all are '#'.
    const bool lastOfAllHashes = FPattern.FirstIntZero < 0 && FIntIndex == FPattern.IntPlaceholders - 1;
    if (!FZero || placeholder == '0' || lastOfAllHashes) FOut += FInteger[FIntIndex];
  } else {
    if (FIntIndex == 0) WriteLeadingIntegerDigits(power);
    WriteIntegerChar(power);
  }
  ++FIntIndex;
}

void TPatternWriter::WriteFractionDigit() {
  if (FFracIndex < static_cast<int>(FFraction.size())) FOut += FFraction[FFracIndex];
  ++FFracIndex;
}

void TPatternWriter::WriteExponent(const TFormatToken& token) {
  FOut += token.Text[0];
  if (FExponent < 0)
    FOut += '-';
  else if (token.Text[1] == '+')
    FOut += '+';
  FOut += ZeroPadded(std::abs(FExponent), token.ExponentZeros);
}

TRendered TPatternWriter::Render(TDecimal d, int precision) {
  TRendered result;
  d.Negative = false;
  if (FPattern.Scientific) {
    PrepareScientific(d);
  } else {
    PrepareFixed(d, precision);
    if (d.Exponent > KMaxFixedExponent) {
      result.TooLarge = true;
      return result;
    }
  }
  FZero = d.IsZero();
  for (const TFormatToken& token : FPattern.Tokens) {
    switch (token.Kind) {
      case TFormatToken::TKind::Literal:
        FOut += token.Text;
        break;
      case TFormatToken::TKind::Digit:
        if (FIntIndex < FPattern.IntPlaceholders)
          WriteIntegerDigit(token.Text[0]);
        else
          WriteFractionDigit();
        break;
      case TFormatToken::TKind::Point:
        // Without integer placeholders the integer digits stand before the point.
        if (FPattern.IntPlaceholders == 0 && !FPattern.Scientific) WriteLeadingIntegerDigits(-1);
        if (!FFraction.empty()) FOut += FSettings.DecimalSeparator;
        break;
      case TFormatToken::TKind::Exponent:
        WriteExponent(token);
        break;
    }
  }
  result.Text = FOut;
  result.Zero = FZero;
  return result;
}

TRendered RenderSection(const String& section, const TDecimal& d, int precision,
                        const TFormatSettings& fs) {
  const TNumberPattern pattern = ParseSection(section);
  return TPatternWriter(pattern, fs).Render(d, precision);
}

size_t ChooseSection(const std::vector<String>& sections, const TDecimal& d) {
  if (d.IsZero()) return sections.size() > 2 && !sections[2].empty() ? 2 : 0;
  if (d.Negative) return sections.size() > 1 && !sections[1].empty() ? 1 : 0;
  return 0;
}

// Returns false when the section is empty or the value too large for its fixed layout.
bool FormatDecimal(const String& format, const TDecimal& d, int precision,
                   const TFormatSettings& fs, String& text) {
  const std::vector<String> sections = SplitSections(format);
  size_t index = ChooseSection(sections, d);
  if (sections[index].empty()) return false;  // no layout for this value: general text
  TRendered r = RenderSection(sections[index], d, precision, fs);
  if (r.TooLarge) return false;
  // A value that rounds to zero takes the zero section.
  if (r.Zero && index != 2 && sections.size() > 2 && !sections[2].empty()) {
    index = 2;
    r = RenderSection(sections[2], d, precision, fs);
  }
  text = (index == 0 && d.Negative && !r.Zero ? "-" : "") + r.Text;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Reading numbers: [blanks][sign]digits[separator digits][E[sign]digits][blanks]

struct TNumberText {
  bool Negative = false;
  String Digits;      // integer digits without leading zeros; empty for zero
  long Exponent = 0;  // value = Digits x 10^Exponent
};


void SkipBlanks(const String& s, size_t& i) {
  while (i < s.size() && s[i] == ' ') ++i;
}

bool ScanSign(const String& s, size_t& i) {
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) return s[i++] == '-';
  return false;
}

String ScanDigits(const String& s, size_t& i) {
  const size_t start = i;
  while (i < s.size() && IsDigitChar(s[i])) ++i;
  return s.substr(start, i - start);
}

bool ScanExponent(const String& s, size_t& i, long& exponent) {
  const bool negative = ScanSign(s, i);
  const String digits = ScanDigits(s, i);
  if (digits.empty()) return false;
  long value = 0;
  for (char c : digits) value = std::min(value * 10 + (c - '0'), KExponentLimit);
  exponent = negative ? -value : value;
  return true;
}

bool ScanNumberText(const String& s, char decimalSeparator, TNumberText& out) {
  size_t i = 0;
  SkipBlanks(s, i);
  out.Negative = ScanSign(s, i);
  const String integer = ScanDigits(s, i);
  String fraction;
  if (i < s.size() && s[i] == decimalSeparator) {
    ++i;
    fraction = ScanDigits(s, i);
  }
  if (integer.empty() && fraction.empty()) return false;
  long exponent = 0;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
    ++i;
    if (!ScanExponent(s, i, exponent)) return false;
  }
  SkipBlanks(s, i);
  if (i != s.size()) return false;
  out.Digits = integer + fraction;
  out.Digits.erase(0, std::min(out.Digits.find_first_not_of('0'), out.Digits.size()));
  out.Exponent = exponent - static_cast<long>(fraction.size());
  return true;
}

bool NumberTextToDouble(const TNumberText& n, double& value) {
  if (n.Digits.empty()) {
    value = 0;
    return true;
  }
  const String text = n.Digits + "e" + std::to_string(n.Exponent);
  double magnitude = 0;
  const auto res = std::from_chars(text.data(), text.data() + text.size(), magnitude);
  if (res.ec == std::errc::result_out_of_range) {
    // Too small to hold is zero; too large is refused.
    if (n.Exponent + static_cast<long>(n.Digits.size()) > 0) return false;
    magnitude = 0;
  } else if (res.ec != std::errc() || std::isinf(magnitude)) {
    return false;
  }
  value = n.Negative ? -magnitude : magnitude;
  return true;
}

// Value x 10000 rounded to an integer, halves to even, as the platform stores currency.
bool NumberTextToCurrency(const TNumberText& n, Currency& value) {
  if (n.Digits.empty()) {
    value = Currency{};
    return true;
  }
  const long shift = n.Exponent + 4;
  const long length = static_cast<long>(n.Digits.size());
  if (length + shift > 19) return false;
  String integer, tail;
  if (shift >= 0) {
    integer = n.Digits + String(shift, '0');
  } else if (length + shift > 0) {
    integer = n.Digits.substr(0, length + shift);
    tail = n.Digits.substr(length + shift);
  } else {
    tail = String(-(length + shift), '0') + n.Digits;
  }
  unsigned __int128 raw = 0;
  for (char c : integer) raw = raw * 10 + (c - '0');
  if (!tail.empty()) {
    const bool exactHalf = tail[0] == '5' && tail.find_first_not_of('0', 1) == String::npos;
    if (tail[0] > '5' || (tail[0] == '5' && (!exactHalf || raw % 2 == 1))) ++raw;
  }
  const unsigned __int128 limit = static_cast<unsigned __int128>(INT64_MAX) + (n.Negative ? 1 : 0);
  if (raw > limit) return false;
  const UInt64 bits = static_cast<UInt64>(raw);
  value.Value = n.Negative ? static_cast<Int64>(0 - bits) : static_cast<Int64>(bits);
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Currency

Currency Currency::FromDouble(double d) {
  const long double scaled = static_cast<long double>(d) * 10000.0L;
  const long double floor = std::floor(scaled);
  const long double diff = scaled - floor;
  long double rounded = floor;
  if (diff > 0.5L || (diff == 0.5L && std::fmod(floor, 2.0L) != 0)) rounded += 1;
  // 2^63 is exact in long double; NaN fails both tests.
  if (!(rounded >= -9223372036854775808.0L && rounded < 9223372036854775808.0L))
    throw EInvalidOp(&SInvalidCurrencyOp);
  return Currency{static_cast<Int64>(rounded)};
}

// ---------------------------------------------------------------------------------------------
// Floating point to text

String FloatToStrF(double value, TFloatFormat format, Integer precision, Integer digits,
                   const TFormatSettings& fs) {
  return DecimalToText(DecimalFromDouble(value), format, std::clamp(precision, 1, KExactDigits),
                       digits, fs);
}

String FloatToStrF(double value, TFloatFormat format, Integer precision, Integer digits) {
  return FloatToStrF(value, format, precision, digits, FormatSettings());
}

String FloatToStr(double value, const TFormatSettings& fs) {
  return FloatToStrF(value, TFloatFormat::ffGeneral, KGeneralPrecision, 0, fs);
}

String FloatToStr(double value) { return FloatToStr(value, FormatSettings()); }

String FormatFloat(const String& format, double value, const TFormatSettings& fs) {
  const TDecimal d = DecimalFromDouble(value);
  String text;
  if (format.empty() || d.Kind != TDecimal::TKind::Finite ||
      !FormatDecimal(format, d, KGeneralPrecision, fs, text))
    return FloatToStr(value, fs);
  return text;
}

String FormatFloat(const String& format, double value) {
  return FormatFloat(format, value, FormatSettings());
}

// ---------------------------------------------------------------------------------------------
// Currency to text

String CurrToStrF(Currency value, TFloatFormat format, Integer digits) {
  return CurrToStrF(value, format, digits, FormatSettings());
}

String CurrToStrF(Currency value, TFloatFormat format, Integer digits, const TFormatSettings& fs) {
  return DecimalToText(DecimalFromCurrency(value), format, KCurrencyPrecision, digits, fs);
}

String CurrToStr(Currency value) { return CurrToStrF(value, TFloatFormat::ffGeneral, 0); }

String FormatCurr(const String& format, Currency value) {
  const TFormatSettings& fs = FormatSettings();
  const TDecimal d = DecimalFromCurrency(value);
  String text;
  if (format.empty() || !FormatDecimal(format, d, KCurrencyPrecision, fs, text))
    return CurrToStr(value);
  return text;
}

// ---------------------------------------------------------------------------------------------
// Text to numbers

bool TryStrToFloat(const String& s, double& value, const TFormatSettings& fs) {
  TNumberText n;
  double result;
  if (!ScanNumberText(s, fs.DecimalSeparator, n) || !NumberTextToDouble(n, result)) return false;
  value = result;
  return true;
}

bool TryStrToFloat(const String& s, double& value) {
  return TryStrToFloat(s, value, FormatSettings());
}

double StrToFloat(const String& s, const TFormatSettings& fs) {
  double value;
  if (!TryStrToFloat(s, value, fs)) throw EConvertError(&SInvalidFloat, {s});
  return value;
}

double StrToFloat(const String& s) { return StrToFloat(s, FormatSettings()); }

double StrToFloatDef(const String& s, double def) {
  double value;
  return TryStrToFloat(s, value) ? value : def;
}

bool TryStrToCurr(const String& s, Currency& value) {
  TNumberText n;
  Currency result;
  if (!ScanNumberText(s, FormatSettings().DecimalSeparator, n) || !NumberTextToCurrency(n, result))
    return false;
  value = result;
  return true;
}

Currency StrToCurr(const String& s) {
  Currency value;
  if (!TryStrToCurr(s, value)) throw EConvertError(&SInvalidFloat, {s});
  return value;
}
