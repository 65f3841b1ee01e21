#include "core/qvFormats.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"

QJ_IMPLEMENT_CLASS(TqvFormatController)
QJ_IMPLEMENT_CLASS(TqvCustomDataBinding)
QJ_IMPLEMENT_CLASS(TqvDataBinding)

const TResourceString sqvDateToday{61200, "today"};
const TResourceString sqvDateYesterday{61201, "yesterday"};
const TResourceString sqvDateTomorrow{61202, "tomorrow"};
const TResourceString sqvDateSunday{61203, "Sunday"};
const TResourceString sqvDateMonday{61204, "Monday"};
const TResourceString sqvDateTuesday{61205, "Tuesday"};
const TResourceString sqvDateWednesday{61206, "Wednesday"};
const TResourceString sqvDateThursday{61207, "Thursday"};
const TResourceString sqvDateFriday{61208, "Friday"};
const TResourceString sqvDateSaturday{61209, "Saturday"};
const TResourceString sqvDateFirst{61210, "first"};
const TResourceString sqvDateSecond{61211, "second"};
const TResourceString sqvDateThird{61212, "third"};
const TResourceString sqvDateFourth{61213, "fourth"};
const TResourceString sqvDateFifth{61214, "fifth"};
const TResourceString sqvDateSixth{61215, "sixth"};
const TResourceString sqvDateSeventh{61216, "seventh"};
const TResourceString sqvDateBOM{61217, "bom"};
const TResourceString sqvDateEOM{61218, "eom"};
const TResourceString sqvDateNow{61219, "now"};

namespace {

enum TSmartWord {
  swToday = 0,
  swYesterday = 1,
  swTomorrow = 2,
  swSunday = 3,
  swSaturday = 9,
  swFirst = 10,
  swSeventh = 16,
  swBOM = 17,
  swEOM = 18,
  swNow = 19,
  swCount = 20,
};

const TResourceString* const kSmartWords[swCount] = {
    &sqvDateToday,  &sqvDateYesterday, &sqvDateTomorrow, &sqvDateSunday, &sqvDateMonday,
    &sqvDateTuesday, &sqvDateWednesday, &sqvDateThursday, &sqvDateFriday, &sqvDateSaturday,
    &sqvDateFirst,  &sqvDateSecond,    &sqvDateThird,    &sqvDateFourth, &sqvDateFifth,
    &sqvDateSixth,  &sqvDateSeventh,   &sqvDateBOM,      &sqvDateEOM,    &sqvDateNow};

// Read afresh each time, so overrides of the texts take effect.
std::vector<String> SmartWords() {
  std::vector<String> words;
  for (const TResourceString* word : kSmartWords) words.push_back(GetLocalizedResourceString(word));
  return words;
}

// ---------------------------------------------------------------------------------------------
// Formats derived from the locale

bool IsRunLetterAt(const String& AText, size_t AIndex, char ALetter) {
  return AIndex < AText.size() && AText[AIndex] == ALetter;
}

String DoubleSingleDateLetters(const String& AFormat) {
  String result;
  for (size_t i = 0; i < AFormat.size(); ++i) {
    char c = AFormat[i];
    bool single = (c == 'd' || c == 'M') && !(i > 0 && AFormat[i - 1] == c) && !IsRunLetterAt(AFormat, i + 1, c);
    if (single) result += c;
    result += c;
  }
  return result;
}

String ShortenFirstMonthRun(const String& ADateFormat) {
  size_t start = ADateFormat.find('M');
  if (start == String::npos) return ADateFormat;
  size_t end = start;
  while (end < ADateFormat.size() && ADateFormat[end] == 'M') ++end;
  if (end - start <= 3) return ADateFormat;
  return ADateFormat.substr(0, start + 3) + ADateFormat.substr(end);
}

String StandardDateEditMaskOf(const String& AShortDateFormat) {
  if (AShortDateFormat.find('g') != String::npos) return String();
  String mask = "!";
  for (size_t i = 0; i < AShortDateFormat.size();) {
    char c = AShortDateFormat[i];
    if (c != 'M' && c != 'd' && c != 'e' && c != 'y') {
      mask += c;
      ++i;
      continue;
    }
    size_t run = 0;
    while (IsRunLetterAt(AShortDateFormat, i + run, c)) ++run;
    if (run <= 2)
      mask += "99";
    else
      mask += c == 'e' ? "99" : (c == 'y' ? "9999" : "lll");
    i += run;
  }
  return mask + ";1; ";
}

// Characters with a meaning in the mask language are escaped inside names and words.
String EscapeForMask(const String& AText) {
  static const String special = "\\^$.|?*+()[]{}'";
  String result;
  for (char c : AText) {
    if (special.find(c) != String::npos) result += '\\';
    result += c;
  }
  return result;
}

String JoinEscaped(const std::vector<String>& AItems) {
  String result;
  for (size_t i = 0; i < AItems.size(); ++i) {
    if (i > 0) result += '|';
    result += EscapeForMask(AItems[i]);
  }
  return result;
}

String MonthPattern(bool ALongMonths) {
  const TFormatSettings& fs = FormatSettings();
  std::vector<String> names(ALongMonths ? std::begin(fs.LongMonthNames) : std::begin(fs.ShortMonthNames),
                            ALongMonths ? std::end(fs.LongMonthNames) : std::end(fs.ShortMonthNames));
  return "((0?[1-9]|1[012])|(" + JoinEscaped(names) + "))";
}

String ElementPattern(char AElement, bool AYear4, bool ALongMonths) {
  switch (AElement) {
    case 'd': return "([012]?[1-9]|[123]0|31)";
    case 'e':
      if (AYear4) return "\\d\\d\\d\\d";
      if (FormatSettings().ShortDateFormat.find("ee") != String::npos) return "\\d\\d";
      return "([1-9]?\\d)";
    case 'm': return MonthPattern(ALongMonths);
    default: return AYear4 ? "\\d\\d\\d\\d" : "\\d\\d";
  }
}

bool IsElementLetter(char c) { return c == 'd' || c == 'e' || c == 'm' || c == 'y'; }

String DateElementsPattern(const String& ALowerFormat) {
  bool year4 = ALowerFormat.find("yyyy") != String::npos;
  bool longMonths = ALowerFormat.find("mmmm") != String::npos;
  String separator = String("'") + FormatSettings().DateSeparator + "'";
  String result;
  size_t i = 0;
  while (i < ALowerFormat.size() && !IsElementLetter(ALowerFormat[i])) ++i;
  bool first = true;
  while (i < ALowerFormat.size()) {
    char element = ALowerFormat[i];
    if (!first) result += separator;
    first = false;
    result += ElementPattern(element, year4, longMonths);
    while (i < ALowerFormat.size() && ALowerFormat[i] == element) ++i;
    while (i < ALowerFormat.size() && (!IsElementLetter(ALowerFormat[i]) || ALowerFormat[i] == element)) ++i;
  }
  return result;
}

// ---------------------------------------------------------------------------------------------
// Smart words

// The words by descending length, equal lengths in descending alphabetical order.
std::vector<Integer> WordsLongestFirst(const std::vector<String>& AWords) {
  std::vector<Integer> order(AWords.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<Integer>(i);
  std::stable_sort(order.begin(), order.end(), [&](Integer a, Integer b) {
    if (AWords[a].size() != AWords[b].size()) return AWords[a].size() > AWords[b].size();
    return AnsiCompareText(AWords[a], AWords[b]) > 0;
  });
  return order;
}

Integer FindSmartWord(const String& AText, const std::vector<String>& AWords) {
  for (Integer index : WordsLongestFirst(AWords)) {
    const String& word = AWords[index];
    if (!word.empty() && AnsiSameText(AText.substr(0, word.size()), word)) return index;
  }
  return -1;
}

TDateTime DateOfSmartWord(Integer AWord) {
  TDateTime today = Date();
  Integer weekday = DayOfWeek(today);  // 1 = Sunday
  if (AWord == swToday) return today;
  if (AWord == swYesterday) return today - 1;
  if (AWord == swTomorrow) return today + 1;
  if (AWord >= swSunday && AWord <= swSaturday) {
    Integer k = AWord - 2 - weekday;
    return k < 0 ? today + 7 + k : today + k;
  }
  if (AWord >= swFirst && AWord <= swSeventh) return today - (weekday - (AWord - 9));
  Word year, month, day;
  DecodeDate(today, year, month, day);
  if (AWord == swBOM) return EncodeDate(year, month, 1);
  if (AWord == swEOM) return EncodeDate(year, month, DaysInMonth(year, month));
  return Now();
}

// The text after a word: nothing, or a sign and a day count.
bool ParseDayOffset(const String& ARest, Integer& AOffset) {
  AOffset = 0;
  if (ARest.empty()) return true;
  if (ARest.size() < 2 || (ARest[0] != '+' && ARest[0] != '-')) return false;
  String digits = Trim(ARest.substr(1));
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsDigitChar))
    return false;
  Integer value;
  if (!TryStrToInt(digits, value)) return false;
  AOffset = ARest[0] == '-' ? -value : value;
  return true;
}

bool TryVariantDate(const String& AText, TDateTime& ADate) {
  try {
    ADate = VarToDateTime(Variant(AText));
    return true;
  } catch (const EVariantError& e) {
    if (IsVariantConversionError(e)) return false;
    throw;
  }
}

String ReplaceFirstPeriods(String AText, int ACount) {
  for (char& c : AText) {
    if (ACount == 0) break;
    if (c == '.') {
      c = ' ';
      --ACount;
    }
  }
  return AText;
}

// Every character the float format reads as a directive is quoted; the rest stays as it is.
String CurrencySymbolQuoted(const String& ASymbol) {
  static const String special = ",.0#;\"";
  String result;
  for (size_t i = 0; i < ASymbol.size(); ++i) {
    char c = ASymbol[i];
    bool exponent = (c == 'E' || c == 'e') && i + 1 < ASymbol.size() && (ASymbol[i + 1] == '+' || ASymbol[i + 1] == '-');
    if (c == '\'')
      result += "\"'\"";
    else if (exponent || special.find(c) != String::npos)
      result += String("'") + c + "'";
    else
      result += c;
  }
  return result;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TqvFormatController

TqvFormatController::TqvFormatController() { Update(); }

TqvFormatController::~TqvFormatController() {
  if (FLocaleListener) RemoveFormatSettingsListener(FLocaleListener);
}

// Never freed: its listeners (editor properties of the process-wide default repository among
// them) leave it while the program's static objects are destroyed, in no fixed order.
TqvFormatController* GetFormatController() {
  static TqvFormatController* const controller = MakeOwned<TqvFormatController>().release();
  return controller;
}

void TqvFormatController::AddListener(IqvFormatListener* AListener) {
  if (!AListener || std::find(FListeners.begin(), FListeners.end(), AListener) != FListeners.end()) return;
  if (FListeners.empty()) {
    // The locale may have changed while nobody listened.
    Update();
    FLocaleListener = AddFormatSettingsListener([this] { LocaleChanged(); });
  }
  FListeners.push_back(AListener);
}

void TqvFormatController::RemoveListener(IqvFormatListener* AListener) {
  auto it = std::find(FListeners.begin(), FListeners.end(), AListener);
  if (it == FListeners.end()) return;
  FListeners.erase(it);
  if (FListeners.empty() && FLocaleListener) {
    RemoveFormatSettingsListener(FLocaleListener);
    FLocaleListener = 0;
  }
}

void TqvFormatController::LocaleChanged() {
  try {
    Update();
    std::vector<IqvFormatListener*> listeners = FListeners;
    for (IqvFormatListener* listener : listeners)
      if (std::find(FListeners.begin(), FListeners.end(), listener) != FListeners.end()) listener->FormatChanged();
  } catch (const std::exception& e) {
    if (!OnError) throw;
    OnError(e);
  }
}

void TqvFormatController::Update() {
  const TFormatSettings& fs = FormatSettings();
  String currency = GetCurrencyFormatString();
  CurrencyFormat = currency + ";-" + currency;
  DateFormat = DoubleSingleDateLetters(fs.ShortDateFormat);
  MaskedDateFormat = ShortenFirstMonthRun(DateFormat);
  StandardDateEditMask = StandardDateEditMaskOf(fs.ShortDateFormat);
  DateEditMask = StandardDateEditMask;
  FirstWeekDay = (fs.FirstDayOfWeek + 1) % 7;
  RegExprDateEditMask = DateFormatToRegExpr(true);
}

// ---------------------------------------------------------------------------------------------
// Date utilities

Integer GetDateElement(TqvDateElement AKind, TDateTime ADate) {
  Word year, month, day;
  DecodeDate(ADate, year, month, day);
  switch (AKind) {
    case deYear: return year;
    case deMonth: return month;
    default: return day;
  }
}

void PrevMonth(Integer& AYear, Integer& AMonth) { ShiftMonth(AYear, AMonth, -1); }

void NextMonth(Integer& AYear, Integer& AMonth) { ShiftMonth(AYear, AMonth, 1); }

void ShiftMonth(Integer& AYear, Integer& AMonth, Integer ADelta) {
  AYear += ADelta / 12;
  AMonth += ADelta % 12;
  if (AMonth <= 0) {
    AMonth += 12;
    --AYear;
  } else if (AMonth > 12) {
    AMonth -= 12;
    ++AYear;
  }
}

bool IsLeap(Integer AYear) { return (AYear % 4 == 0 && AYear % 100 != 0) || AYear % 400 == 0; }

Integer GetDaysInMonth(Integer AYear, Integer AMonth) {
  if (AMonth < 1 || AMonth > 12) return 0;
  return MonthDays[IsLeap(AYear)][AMonth];
}

Integer ClampDayOfMonth(Integer AYear, Integer AMonth, Integer ADay) {
  if (ADay <= 0) return 1;
  return std::min(ADay, GetDaysInMonth(AYear, AMonth));
}

Int64 SafeTrunc(double AValue) {
  return static_cast<Int64>(std::trunc(AValue > 0 ? AValue + 1e-11 : AValue - 1e-11));
}

TDateTime ExtractTimePart(TDateTime ADate) {
  Word hour, minute, second, msec;
  DecodeTime(ADate, hour, minute, second, msec);
  return EncodeTime(hour, minute, second, msec);
}

TDateTime DatePartOf(TDateTime ADate) { return DateOf(ADate); }

TDateTime TimePartOf(TDateTime ADate) { return ADate - std::trunc(ADate); }

TDateTime StartOfWeek(TDateTime ADate) {
  Integer first = (FormatSettings().FirstDayOfWeek + 1) % 7;
  Integer day = DayOfWeek(ADate) - 1;
  if (day < first) return DatePartOf(ADate) - 7 + (first - day);
  return DatePartOf(ADate) - (day - first);
}

bool TextToDateSmart(const String& AText, TDateTime& ADate) {
  std::vector<String> words = SmartWords();
  String text = Trim(AText);
  Integer word = FindSmartWord(text, words);
  if (word < 0) return false;
  Integer offset;
  if (!ParseDayOffset(Trim(text.substr(words[word].size())), offset)) return false;
  ADate = DateOfSmartWord(word) + offset;
  return true;
}

bool TextToDateTimeSmart(const String& AText, TDateTime& ADate) {
  String text = Trim(AText);
  ADate = NullDate;
  if (text.empty()) return false;
  if (TextToDateSmart(text, ADate)) return true;
  if (TryVariantDate(text, ADate)) return true;
  // Periods as date separators may also be typed as blanks.
  if (FormatSettings().DateSeparator == '.' && TryVariantDate(ReplaceFirstPeriods(text, 2), ADate)) return true;
  ADate = NullDate;
  return false;
}

bool TryTextToDate(const String& AText, bool AUseVariantConversion, TDateTime& ADate) {
  ADate = NullDate;
  TDateTime value;
  bool ok = AUseVariantConversion ? TryVariantDate(AText, value) : TryStrToDate(AText, value);
  if (ok) ADate = value;
  return ok;
}

String DateTimeToText(TDateTime ADate) {
  if (ADate == NullDate) return String();
  String text = DateToStr(ADate);
  if (ExtractTimePart(ADate) != 0) text += " " + TimeToStr(ADate);
  return text;
}

String DateToDisplayText(bool AMasked, TDateTime ADate) {
  if (ADate == NullDate) return String();
  if (AMasked) return FormatDateTime(GetFormatController()->MaskedDateFormat, ADate);
  return DateTimeToText(ADate);
}

String DateFormatToRegExpr(bool AWithSmartWords) {
  String format = LowerCase(DoubleSingleDateLetters(FormatSettings().ShortDateFormat));
  if (format.find('g') != String::npos) return String();
  String result = DateElementsPattern(format);
  if (!AWithSmartWords) return result;
  return "(" + result + ")|((" + JoinEscaped(SmartWords()) + ")((\\+|-)\\d(\\d(\\d(\\d?)?)?)?))";
}

// ---------------------------------------------------------------------------------------------
// Data routines

String GetCurrencyFormatString() {
  const TFormatSettings& fs = FormatSettings();
  String result = ",0." + String(fs.CurrencyDecimals, '0');
  if (fs.CurrencyString.empty()) return result;
  String symbol = CurrencySymbolQuoted(fs.CurrencyString);
  switch (fs.CurrencyFormat) {
    case 0: return symbol + result;
    case 1: return result + symbol;
    case 2: return symbol + " " + result;
    default: return result + " " + symbol;
  }
}

// Compares byte by byte through the upper-case table: searches call it once per record.
const char* AnsiUpperTable() {
  static const std::array<char, 256> table = [] {
    std::array<char, 256> t{};
    for (int c = 0; c < 256; ++c) t[static_cast<size_t>(c)] = AnsiUpperChar(static_cast<char>(c));
    return t;
  }();
  return table.data();
}

bool TextStartsWith(std::string_view AText, std::string_view APrefix, bool APartial) {
  if (APrefix.empty()) return AText.empty();
  if (AText.size() < APrefix.size() || (!APartial && AText.size() != APrefix.size())) return false;
  const char* upper = AnsiUpperTable();
  for (size_t i = 0; i < APrefix.size(); ++i)
    if (upper[static_cast<Byte>(AText[i])] != upper[static_cast<Byte>(APrefix[i])]) return false;
  return true;
}

// ---------------------------------------------------------------------------------------------
// TqvCustomDataBinding

void TqvCustomDataBinding::DataChanged() {
  if (OnDataChange) OnDataChange(this);
}

void TqvCustomDataBinding::DataSetChanged() {
  if (OnDataSetChange) OnDataSetChange(this);
}

void TqvCustomDataBinding::UpdateData() {
  if (OnUpdateData) OnUpdateData(this);
}
