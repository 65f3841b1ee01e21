// Number texts of the numeric editors: the text-to-number test and the check of a typed
// character against the decimals and digits a number may have.
#include <algorithm>
#include <cmath>

#include "editors/qvTextEdit.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr double kSmallestMagnitude = 5.0e-324;
constexpr double kLargestMagnitude = 1.7e308;

bool IsExponentMark(char C) { return C == 'E' || C == 'e'; }

// A mantissa digit other than 0: a text with one is no zero, even when it is too small to hold.
bool HasNonZeroMantissaDigit(const String& AText) {
  for (char c : AText) {
    if (IsExponentMark(c)) break;
    if (c >= '1' && c <= '9') return true;
  }
  return false;
}

// "1e" and "1e-" are numbers being typed: their exponent is taken as 0.
String CompleteExponent(const String& AText) {
  if (AText.empty()) return AText;
  const char last = AText.back();
  if (IsExponentMark(last)) return AText + "0";
  if ((last == '+' || last == '-') && AText.size() >= 2 && IsExponentMark(AText[AText.size() - 2])) return AText + "0";
  return AText;
}

}  // namespace

bool qvTextToNumber(const String& AText, double& AValue) {
  AValue = 0;
  const char thousand = FormatSettings().ThousandSeparator;
  String text = AText;
  text.erase(std::remove(text.begin(), text.end(), thousand), text.end());
  double value = 0;
  if (!TryStrToFloat(text, value) || !std::isfinite(value)) return false;
  const double magnitude = std::fabs(value);
  if (magnitude == 0 ? HasNonZeroMantissaDigit(text)
                     : magnitude < kSmallestMagnitude || magnitude > kLargestMagnitude)
    return false;
  AValue = value;
  return true;
}

bool qvIsTypedNumberValid(const String& AText, Integer ASelStart, Integer ASelLength, char AKey,
                          const TqvNumberTypingRules& ARules) {
  const TFormatSettings& fs = FormatSettings();
  const bool allowed = IsDigitChar(AKey) || AKey == '+' || AKey == '-' || IsExponentMark(AKey) ||
                       AKey == fs.DecimalSeparator || (ARules.ThousandSeparator && AKey == fs.ThousandSeparator);
  if (!allowed) return false;
  const Integer length = static_cast<Integer>(AText.size());
  const Integer start = std::clamp(ASelStart, 0, length);
  const Integer selLength = std::clamp(ASelLength, 0, length - start);
  String text = AText.substr(0, size_t(start)) + AText.substr(size_t(start + selLength));
  if (AKey == '-' && text.empty()) return true;
  text.insert(size_t(start), 1, AKey);
  const size_t separator = text.find(fs.DecimalSeparator);
  if (separator != String::npos) {
    size_t end = text.find_first_of("Ee", separator + 1);
    if (end == String::npos) end = text.size();
    if (Integer(end - separator - 1) > ARules.MaxDecimals) return false;
  }
  if (ARules.MaxDigits > 0 &&
      std::count_if(text.begin(), text.end(), IsDigitChar) > ARules.MaxDigits)
    return false;
  double value = 0;
  return qvTextToNumber(CompleteExponent(text), value);
}
