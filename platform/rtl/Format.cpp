// Format with the original platform's directives:
//   "%" [index ":"] ["-"] [width] ["." precision] type
// where index, width and precision may be '*' (taken from the next Integer argument) and type is
// one of d u x e f g n m p s (either case). "%%" gives a single '%'.
#include <algorithm>
#include <cstdint>

#include "platform/rtl/SysUtils.h"

namespace {

const TResourceString SInvalidFormat = {65411,
                                        "Format '%s' invalid or incompatible with argument"};

// Fields wider than this are refused rather than allocated.
constexpr Integer KMaxFieldWidth = 1 << 20;
// The most digits the float conversions take.
constexpr Integer KMaxFloatDigits = 18;

struct TDirective {
  Integer Index = -1;  // argument index, -1 for "the next one"
  bool LeftAlign = false;
  Integer Width = -1;      // -1: none
  Integer Precision = -1;  // -1: none
  char Type = 0;           // lower case
};

class TFormatter {
 public:
  TFormatter(const String& format, TFormatArgs args, const TFormatSettings& fs)
      : FFormat(format), FArgs(args.begin()), FArgCount(args.size()), FSettings(fs) {}

  String Run() {
    while (FPos < FFormat.size()) {
      char c = FFormat[FPos++];
      if (c != '%') {
        FOut += c;
      } else if (FPos < FFormat.size() && FFormat[FPos] == '%') {
        FOut += '%';
        ++FPos;
      } else {
        EmitDirective(ParseDirective());
      }
    }
    return FOut;
  }

 private:
  [[noreturn]] void Fail() const { throw EConvertError(&SInvalidFormat, {FFormat}); }

  bool AtEnd() const { return FPos >= FFormat.size(); }
  char Peek() const { return AtEnd() ? '\0' : FFormat[FPos]; }

  const TVarRec& NextArg() {
    if (FArgIndex >= FArgCount) Fail();
    return FArgs[FArgIndex++];
  }

  // A number in the directive, or '*' for the next argument (which must be an Integer).
  // Returns -1 when neither is present.
  Integer ParseNumber() {
    if (Peek() == '*') {
      ++FPos;
      const TVarRec& arg = NextArg();
      if (arg.GetKind() != TVarRec::Kind::Integer) Fail();
      return static_cast<Integer>(arg.AsInt64());
    }
    if (!IsDigitChar(Peek())) return -1;
    Int64 value = 0;
    while (IsDigitChar(Peek())) {
      value = value * 10 + (FFormat[FPos++] - '0');
      if (value > KMaxFieldWidth) Fail();
    }
    return static_cast<Integer>(value);
  }

  TDirective ParseDirective() {
    TDirective d;
    Integer number = ParseNumber();
    if (Peek() == ':') {
      ++FPos;
      if (number < 0) Fail();
      d.Index = number;
      number = -1;
    }
    if (number < 0) {
      if (Peek() == '-') {
        d.LeftAlign = true;
        ++FPos;
      }
      number = ParseNumber();
    }
    d.Width = number;
    if (Peek() == '.') {
      ++FPos;
      // "%.d" means precision 0; a negative precision from '*' means none.
      d.Precision = IsDigitChar(Peek()) || Peek() == '*' ? ParseNumber() : 0;
      if (d.Precision < 0) d.Precision = -1;
    }
    if (AtEnd()) Fail();
    char type = FFormat[FPos++];
    d.Type = type >= 'A' && type <= 'Z' ? static_cast<char>(type + 32) : type;
    return d;
  }

  void EmitDirective(const TDirective& d) {
    if (d.Index >= 0) FArgIndex = static_cast<size_t>(d.Index);
    if (d.Width > KMaxFieldWidth) Fail();
    String text = ConvertArg(d, NextArg());
    Pad(text, d);
  }

  void Pad(const String& text, const TDirective& d) {
    Integer fill = d.Width - Length(text);
    if (fill <= 0) {
      FOut += text;
    } else if (d.LeftAlign) {
      FOut += text;
      FOut.append(static_cast<size_t>(fill), ' ');
    } else {
      FOut.append(static_cast<size_t>(fill), ' ');
      FOut += text;
    }
  }

  String ConvertArg(const TDirective& d, const TVarRec& arg) {
    switch (d.Type) {
      case 'd': return DecimalText(d, arg);
      case 'u': return UnsignedText(d, arg);
      case 'x': return HexText(d, arg);
      case 'e': case 'f': case 'g': case 'n': case 'm': return FloatText(d, arg);
      case 'p': return PointerText(arg);
      case 's': return StringText(d, arg);
      default: Fail();
    }
  }

  bool IsIntegerArg(const TVarRec& arg) const {
    return arg.GetKind() == TVarRec::Kind::Integer || arg.GetKind() == TVarRec::Kind::Int64;
  }

  // The argument as the unsigned value of its own width (Integer arguments are 32 bits wide).
  UInt64 UnsignedValue(const TVarRec& arg) const {
    if (arg.GetKind() == TVarRec::Kind::Integer)
      return static_cast<Cardinal>(static_cast<Integer>(arg.AsInt64()));
    return static_cast<UInt64>(arg.AsInt64());
  }

  String ZeroPad(String digits, const TDirective& d) const {
    if (d.Precision > KMaxFieldWidth) Fail();
    if (Length(digits) < d.Precision)
      digits.insert(0, static_cast<size_t>(d.Precision - Length(digits)), '0');
    return digits;
  }

  String DecimalText(const TDirective& d, const TVarRec& arg) {
    if (!IsIntegerArg(arg)) Fail();
    Int64 v = arg.AsInt64();
    UInt64 magnitude = v < 0 ? 0 - static_cast<UInt64>(v) : static_cast<UInt64>(v);
    String digits = ZeroPad(std::to_string(magnitude), d);
    return v < 0 ? "-" + digits : digits;
  }

  String UnsignedText(const TDirective& d, const TVarRec& arg) {
    if (!IsIntegerArg(arg)) Fail();
    return ZeroPad(std::to_string(UnsignedValue(arg)), d);
  }

  String HexText(const TDirective& d, const TVarRec& arg) {
    if (!IsIntegerArg(arg)) Fail();
    return ZeroPad(IntToHex(static_cast<Int64>(UnsignedValue(arg)), 1), d);
  }

  String PointerText(const TVarRec& arg) {
    if (arg.GetKind() != TVarRec::Kind::Pointer) Fail();
    auto address = reinterpret_cast<uintptr_t>(arg.AsPointer());
    return IntToHex(static_cast<Int64>(address), static_cast<Integer>(sizeof(void*) * 2));
  }

  String StringText(const TDirective& d, const TVarRec& arg) {
    String s;
    switch (arg.GetKind()) {
      case TVarRec::Kind::String:
      case TVarRec::Kind::Char: s = arg.AsString(); break;
      case TVarRec::Kind::WideString: s = WideToAnsi(arg.AsWideString()); break;
      default: Fail();
    }
    if (d.Precision >= 0 && Length(s) > d.Precision) s.resize(static_cast<size_t>(d.Precision));
    return s;
  }

  String FloatText(const TDirective& d, const TVarRec& arg) {
    if (arg.GetKind() == TVarRec::Kind::Currency && d.Type != 'e' && d.Type != 'g')
      return CurrencyText(d, Currency::FromRaw(arg.AsInt64()));
    double value = 0;
    if (arg.GetKind() == TVarRec::Kind::Extended)
      value = arg.AsFloat();
    else if (arg.GetKind() == TVarRec::Kind::Currency)
      value = Currency::FromRaw(arg.AsInt64()).ToDouble();
    else
      Fail();
    auto clampDigits = [](Integer p) { return p > KMaxFloatDigits ? KMaxFloatDigits : p; };
    // e and g take the precision as significant digits (15 by default) with at least three
    // exponent digits for e; f, n and m take it as decimals.
    switch (d.Type) {
      case 'e':
        return FloatToStrF(value, TFloatFormat::ffExponent, d.Precision < 0 ? 15 : clampDigits(d.Precision), 3, FSettings);
      case 'g':
        return FloatToStrF(value, TFloatFormat::ffGeneral, d.Precision < 0 ? 15 : clampDigits(d.Precision), 3, FSettings);
      case 'f':
        return FloatToStrF(value, TFloatFormat::ffFixed, KMaxFloatDigits, d.Precision < 0 ? 2 : clampDigits(d.Precision), FSettings);
      case 'n':
        return FloatToStrF(value, TFloatFormat::ffNumber, KMaxFloatDigits, d.Precision < 0 ? 2 : clampDigits(d.Precision), FSettings);
      default:
        return FloatToStrF(value, TFloatFormat::ffCurrency, KMaxFloatDigits,
                           d.Precision < 0 ? FSettings.CurrencyDecimals : clampDigits(d.Precision), FSettings);
    }
  }

  // Fixed-point directives of a currency argument keep all of its digits.
  String CurrencyText(const TDirective& d, Currency value) {
    Integer digits = d.Precision < 0 ? (d.Type == 'm' ? FSettings.CurrencyDecimals : 2)
                                     : std::min<Integer>(d.Precision, KMaxFloatDigits);
    TFloatFormat format = d.Type == 'f' ? TFloatFormat::ffFixed : d.Type == 'n' ? TFloatFormat::ffNumber : TFloatFormat::ffCurrency;
    return CurrToStrF(value, format, digits, FSettings);
  }

  const String& FFormat;
  const TVarRec* FArgs;
  size_t FArgCount;
  const TFormatSettings& FSettings;
  size_t FPos = 0;
  size_t FArgIndex = 0;
  String FOut;
};

}  // namespace

String Format(const String& format, TFormatArgs args, const TFormatSettings& fs) {
  return TFormatter(format, args, fs).Run();
}

String Format(const String& format, TFormatArgs args) {
  return Format(format, args, FormatSettings());
}
