#include "platform/rtl/DateTime.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <mutex>

#include "platform/rtl/SysUtils.h"

namespace {

const TResourceString SDateEncodeError = {65481, "Invalid argument to date encode"};
const TResourceString STimeEncodeError = {65482, "Invalid argument to time encode"};
const TResourceString SInvalidDate = {65483, "'%s' is not a valid date"};
const TResourceString SInvalidTime = {65484, "'%s' is not a valid time"};
const TResourceString SInvalidDateTime = {65485, "'%s' is not a valid date and time"};

constexpr Integer KDaysPer400Years = 146097;
constexpr Integer KDaysPer100Years = 36524;
constexpr Integer KDaysPer4Years = 1461;
constexpr Integer KDaysPerYear = 365;
// TDateTime of 0001-01-01 and of the day after 9999-12-31.
constexpr double KMinDate = -DateDelta + 1;
constexpr double KEndDate = 2958466;

}  // namespace

const Word MonthDays[2][13] = {{0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                               {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

bool IsLeapYear(Word year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

Word DaysInMonth(Word year, Word month) {
  if (month < 1 || month > 12) return 0;
  return MonthDays[IsLeapYear(year)][month];
}

// ---------------------------------------------------------------------------------------------
// Encoding and decoding

bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12) return false;
  if (day < 1 || day > DaysInMonth(year, month)) return false;
  Integer days = day;
  for (Word m = 1; m < month; ++m) days += MonthDays[IsLeapYear(year)][m];
  const Integer y = year - 1;
  days += y * 365 + y / 4 - y / 100 + y / 400;
  date = static_cast<double>(days - DateDelta);
  return true;
}

bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time) {
  if (hour >= HoursPerDay || min >= 60 || sec >= 60 || msec >= 1000) return false;
  const Integer ms = ((hour * 60 + min) * 60 + sec) * 1000 + msec;
  time = static_cast<double>(ms) / MSecsPerDay;
  return true;
}

TDateTime EncodeDate(Word year, Word month, Word day) {
  TDateTime date;
  if (!TryEncodeDate(year, month, day, date)) throw EConvertError(&SDateEncodeError);
  return date;
}

TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec) {
  TDateTime time;
  if (!TryEncodeTime(hour, min, sec, msec, time)) throw EConvertError(&STimeEncodeError);
  return time;
}

TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec,
                         Word msec) {
  return ComposeDateTime(EncodeDate(year, month, day), EncodeTime(hour, min, sec, msec));
}

namespace {

// A TDateTime as whole days and milliseconds of the day, rounded to the millisecond; a time that
// rounds up to midnight moves to the next day (away from day 0 for negative values).
struct TDayAndTime {
  bool Valid = false;
  Integer Day = 0;  // days since 1899-12-30
  Integer MSec = 0;
};

TDayAndTime SplitDateTime(TDateTime dt) {
  TDayAndTime r;
  if (!(dt > KMinDate - 1 && dt < KEndDate)) return r;  // also refuses NaN
  const double day = std::trunc(dt);
  Int64 ms = std::llround(std::fabs(dt - day) * MSecsPerDay);
  r.Day = static_cast<Integer>(day);
  if (ms >= MSecsPerDay) {
    ms -= MSecsPerDay;
    r.Day += dt < 0 ? -1 : 1;
  }
  r.MSec = static_cast<Integer>(ms);
  r.Valid = r.Day >= KMinDate && r.Day < KEndDate;
  return r;
}

struct TYmd {
  Word Year = 0;
  Word Month = 0;
  Word Day = 0;
};

// Days since 0001-01-01 (0 = that day) to year, month and day.
TYmd CivilFromDays(Integer t) {
  TYmd r;
  Integer y = 1;
  y += (t / KDaysPer400Years) * 400;
  t %= KDaysPer400Years;
  Integer i = t / KDaysPer100Years;
  t %= KDaysPer100Years;
  if (i == 4) {  // the last day of a 400-year cycle
    --i;
    t += KDaysPer100Years;
  }
  y += i * 100;
  y += (t / KDaysPer4Years) * 4;
  t %= KDaysPer4Years;
  i = t / KDaysPerYear;
  t %= KDaysPerYear;
  if (i == 4) {  // the last day of a leap cycle
    --i;
    t += KDaysPerYear;
  }
  y += i;
  r.Year = static_cast<Word>(y);
  const bool leap = IsLeapYear(r.Year);
  Word m = 1;
  while (t >= MonthDays[leap][m]) {
    t -= MonthDays[leap][m];
    ++m;
  }
  r.Month = m;
  r.Day = static_cast<Word>(t + 1);
  return r;
}

}  // namespace

void DecodeDate(TDateTime dt, Word& year, Word& month, Word& day) {
  const TDayAndTime split = SplitDateTime(dt);
  TYmd ymd;
  if (split.Valid) ymd = CivilFromDays(split.Day + DateDelta - 1);
  year = ymd.Year;
  month = ymd.Month;
  day = ymd.Day;
}

void DecodeTime(TDateTime dt, Word& hour, Word& min, Word& sec, Word& msec) {
  const TDayAndTime split = SplitDateTime(dt);
  Integer ms = split.MSec;
  hour = static_cast<Word>(ms / 3600000);
  ms %= 3600000;
  min = static_cast<Word>(ms / 60000);
  ms %= 60000;
  sec = static_cast<Word>(ms / 1000);
  msec = static_cast<Word>(ms % 1000);
}

bool DecodeDateFully(TDateTime dt, Word& year, Word& month, Word& day, Word& dow) {
  DecodeDate(dt, year, month, day);
  dow = year == 0 ? 0 : static_cast<Word>(DayOfWeek(dt));
  return year != 0 && IsLeapYear(year);
}

void DecodeDateTime(TDateTime dt, Word& year, Word& month, Word& day, Word& hour, Word& min,
                    Word& sec, Word& msec) {
  DecodeDate(dt, year, month, day);
  DecodeTime(dt, hour, min, sec, msec);
}

TDateTime DateOf(TDateTime dt) { return std::trunc(dt); }

TDateTime TimeOf(TDateTime dt) { return std::fabs(dt - std::trunc(dt)); }

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
  const double day = std::trunc(date);
  const double t = std::fabs(time - std::trunc(time));
  return day >= 0 ? day + t : day - t;
}

Integer DayOfWeek(TDateTime dt) {
  const TDayAndTime split = SplitDateTime(dt);
  if (!split.Valid) return 0;
  return (split.Day + DateDelta) % 7 + 1;
}

TDateTime IncMonth(TDateTime dt, Integer months) {
  Word year, month, day;
  DecodeDate(dt, year, month, day);
  if (year == 0) throw EConvertError(&SDateEncodeError);
  Int64 index = static_cast<Int64>(year) * 12 + (month - 1) + months;
  if (index < 12 || index >= 10000 * 12) throw EConvertError(&SDateEncodeError);
  const Word newYear = static_cast<Word>(index / 12);
  const Word newMonth = static_cast<Word>(index % 12 + 1);
  const Word newDay = std::min(day, DaysInMonth(newYear, newMonth));
  return ComposeDateTime(EncodeDate(newYear, newMonth, newDay), dt);
}

// ---------------------------------------------------------------------------------------------
// The clock

namespace {

struct TClockState {
  std::mutex Lock;
  TClockFunction Clock;
};

TClockState& ClockState() {
  static TClockState state;
  return state;
}

TClockFunction CurrentClock() {
  TClockState& state = ClockState();
  std::lock_guard<std::mutex> guard(state.Lock);
  return state.Clock;
}

TDateTime SystemNow() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local{};
  localtime_r(&ts.tv_sec, &local);
  return EncodeDateTime(static_cast<Word>(local.tm_year + 1900), static_cast<Word>(local.tm_mon + 1),
                        static_cast<Word>(local.tm_mday), static_cast<Word>(local.tm_hour),
                        static_cast<Word>(local.tm_min), static_cast<Word>(std::min(local.tm_sec, 59)),
                        static_cast<Word>(ts.tv_nsec / 1000000));
}

}  // namespace

void SetClock(TClockFunction clock) {
  TClockState& state = ClockState();
  std::lock_guard<std::mutex> guard(state.Lock);
  state.Clock = std::move(clock);
}

TDateTime Now() {
  // The clock is called outside the lock so that it may itself use the date functions.
  TClockFunction clock = CurrentClock();
  return clock ? clock() : SystemNow();
}

TDateTime Date() { return DateOf(Now()); }

TDateTime Time() { return TimeOf(Now()); }

Word CurrentYear() {
  Word year, month, day;
  DecodeDate(Now(), year, month, day);
  return year;
}

TClockScope::TClockScope(TDateTime fixed) : FSaved(CurrentClock()) {
  SetClock([fixed] { return fixed; });
}

TClockScope::TClockScope(TClockFunction clock) : FSaved(CurrentClock()) {
  SetClock(std::move(clock));
}

TClockScope::~TClockScope() { SetClock(std::move(FSaved)); }

// ---------------------------------------------------------------------------------------------
// FormatDateTime

namespace {

char UpCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }


bool SameTextAt(const String& s, size_t pos, const char* token) {
  for (size_t i = 0; token[i]; ++i)
    if (pos + i >= s.size() || UpCase(s[pos + i]) != token[i]) return false;
  return true;
}

// Nested formats (c, ddddd, t ...) expand at most this deep, so a locale format that names
// itself cannot recurse without end.
constexpr int KMaxFormatDepth = 2;

class TDateTimeWriter {
 public:
  TDateTimeWriter(TDateTime dt, const TFormatSettings& fs) : FSettings(fs) {
    DecodeDate(dt, FYear, FMonth, FDay);
    DecodeTime(dt, FHour, FMin, FSec, FMSec);
    FDow = static_cast<Word>(DayOfWeek(dt));
  }

  void Append(const String& format, int depth);
  const String& Result() const { return FResult; }

 private:
  void AppendNumber(Integer value, Integer width);
  void AppendName(const String* names, Integer count, Integer index);
  void AppendYear(size_t count);
  void AppendMonth(size_t count);
  void AppendDay(size_t count, int depth);
  void AppendHour(const String& format, size_t next, size_t count);
  size_t AppendAmPm(const String& format, size_t pos);
  size_t AppendQuoted(const String& format, size_t pos);
  bool UsesTwelveHourClock(const String& format, size_t from) const;

  const TFormatSettings& FSettings;
  String FResult;
  Word FYear = 0, FMonth = 0, FDay = 0, FDow = 0;
  Word FHour = 0, FMin = 0, FSec = 0, FMSec = 0;
};

size_t RunLength(const String& format, size_t pos) {
  const char c = UpCase(format[pos]);
  size_t end = pos;
  while (end < format.size() && UpCase(format[end]) == c) ++end;
  return end - pos;
}

void TDateTimeWriter::AppendNumber(Integer value, Integer width) {
  String digits = std::to_string(value);
  if (static_cast<Integer>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
  FResult += digits;
}

void TDateTimeWriter::AppendName(const String* names, Integer count, Integer index) {
  if (index >= 0 && index < count) FResult += names[index];
}

void TDateTimeWriter::AppendYear(size_t count) {
  if (count <= 2)
    AppendNumber(FYear % 100, 2);
  else
    AppendNumber(FYear, 4);
}

void TDateTimeWriter::AppendMonth(size_t count) {
  switch (count) {
    case 1:
    case 2:
      AppendNumber(FMonth, static_cast<Integer>(count));
      break;
    case 3:
      AppendName(FSettings.ShortMonthNames, 12, FMonth - 1);
      break;
    default:
      AppendName(FSettings.LongMonthNames, 12, FMonth - 1);
  }
}

void TDateTimeWriter::AppendDay(size_t count, int depth) {
  switch (count) {
    case 1:
    case 2:
      AppendNumber(FDay, static_cast<Integer>(count));
      break;
    case 3:
      AppendName(FSettings.ShortDayNames, 7, FDow - 1);
      break;
    case 4:
      AppendName(FSettings.LongDayNames, 7, FDow - 1);
      break;
    case 5:
      Append(FSettings.ShortDateFormat, depth + 1);
      break;
    default:
      Append(FSettings.LongDateFormat, depth + 1);
  }
}

// The hour is on the 12-hour clock when an am/pm token follows it before the next hour token.
bool TDateTimeWriter::UsesTwelveHourClock(const String& format, size_t from) const {
  bool quoted = false;
  for (size_t p = from; p < format.size(); ++p) {
    const char c = UpCase(format[p]);
    if (c == '\'' || c == '"') {
      quoted = !quoted;
    } else if (quoted) {
      continue;
    } else if (c == 'H') {
      return false;
    } else if (c == 'A') {
      return SameTextAt(format, p, "AM/PM") || SameTextAt(format, p, "A/P") ||
             SameTextAt(format, p, "AMPM");
    }
  }
  return false;
}

void TDateTimeWriter::AppendHour(const String& format, size_t next, size_t count) {
  Integer hour = FHour;
  if (UsesTwelveHourClock(format, next)) {
    hour %= 12;
    if (hour == 0) hour = 12;
  }
  AppendNumber(hour, count == 1 ? 1 : 2);
}

// Writes an am/pm token at `pos` (or the letter itself) and returns the position after it.
// "am/pm" and "a/p" keep the letter case written in the format.
size_t TDateTimeWriter::AppendAmPm(const String& format, size_t pos) {
  const bool pm = FHour >= 12;
  if (SameTextAt(format, pos, "AM/PM")) {
    FResult += format.substr(pos + (pm ? 3 : 0), 2);
    return pos + 5;
  }
  if (SameTextAt(format, pos, "A/P")) {
    FResult += format[pos + (pm ? 2 : 0)];
    return pos + 3;
  }
  if (SameTextAt(format, pos, "AMPM")) {
    FResult += pm ? FSettings.TimePMString : FSettings.TimeAMString;
    return pos + 4;
  }
  FResult += format[pos];
  return pos + 1;
}

size_t TDateTimeWriter::AppendQuoted(const String& format, size_t pos) {
  const char quote = format[pos];
  const size_t close = format.find(quote, pos + 1);
  const size_t end = close == String::npos ? format.size() : close;
  FResult.append(format, pos + 1, end - pos - 1);
  return close == String::npos ? end : end + 1;
}

void TDateTimeWriter::Append(const String& format, int depth) {
  if (depth > KMaxFormatDepth) return;
  char lastToken = ' ';
  size_t pos = 0;
  while (pos < format.size()) {
    const char c = format[pos];
    char token = UpCase(c);
    if (IsAsciiLetter(token)) {
      if (token == 'M' && lastToken == 'H') token = 'N';  // m after h is minutes
      lastToken = token;
    }
    switch (token) {
      case '"':
      case '\'':
        pos = AppendQuoted(format, pos);
        continue;
      case 'A':
        pos = AppendAmPm(format, pos);
        continue;
      case '/':
        if (FSettings.DateSeparator) FResult += FSettings.DateSeparator;
        ++pos;
        continue;
      case ':':
        if (FSettings.TimeSeparator) FResult += FSettings.TimeSeparator;
        ++pos;
        continue;
      default:
        break;
    }
    const size_t count = IsAsciiLetter(token) ? RunLength(format, pos) : 1;
    switch (token) {
      case 'Y':
        AppendYear(count);
        break;
      case 'M':
        AppendMonth(count);
        break;
      case 'D':
        AppendDay(count, depth);
        break;
      case 'H':
        AppendHour(format, pos + count, count);
        break;
      case 'N':
        AppendNumber(FMin, count == 1 ? 1 : 2);
        break;
      case 'S':
        AppendNumber(FSec, count == 1 ? 1 : 2);
        break;
      case 'Z':
        AppendNumber(FMSec, count == 1 ? 1 : 3);
        break;
      case 'T':
        Append(count == 1 ? FSettings.ShortTimeFormat : FSettings.LongTimeFormat, depth + 1);
        break;
      case 'C':
        Append(FSettings.ShortDateFormat, depth + 1);
        if (FHour != 0 || FMin != 0 || FSec != 0) {
          FResult += ' ';
          Append(FSettings.LongTimeFormat, depth + 1);
        }
        break;
      default:
        FResult.append(count, c);
    }
    pos += count;
  }
}

}  // namespace

String FormatDateTime(const String& format, TDateTime dt, const TFormatSettings& fs) {
  TDateTimeWriter writer(dt, fs);
  writer.Append(format.empty() ? String("c") : format, 0);
  return writer.Result();
}

String FormatDateTime(const String& format, TDateTime dt) {
  return FormatDateTime(format, dt, FormatSettings());
}

String DateToStr(TDateTime dt, const TFormatSettings& fs) { return FormatDateTime("ddddd", dt, fs); }
String DateToStr(TDateTime dt) { return DateToStr(dt, FormatSettings()); }
String TimeToStr(TDateTime dt, const TFormatSettings& fs) { return FormatDateTime("tt", dt, fs); }
String TimeToStr(TDateTime dt) { return TimeToStr(dt, FormatSettings()); }
String DateTimeToStr(TDateTime dt, const TFormatSettings& fs) { return FormatDateTime("c", dt, fs); }
String DateTimeToStr(TDateTime dt) { return DateTimeToStr(dt, FormatSettings()); }

// ---------------------------------------------------------------------------------------------
// Parsing

namespace {

enum class TDateOrder { MDY, DMY, YMD };

TDateOrder DateOrderOf(const String& shortDateFormat) {
  bool quoted = false;
  for (char c : shortDateFormat) {
    if (c == '\'' || c == '"') quoted = !quoted;
    if (quoted) continue;
    switch (UpCase(c)) {
      case 'Y':
        return TDateOrder::YMD;
      case 'M':
        return TDateOrder::MDY;
      case 'D':
        return TDateOrder::DMY;
      default:
        break;
    }
  }
  return TDateOrder::MDY;
}

class TDateTimeScanner {
 public:
  TDateTimeScanner(const String& s, const TFormatSettings& fs) : FText(s), FSettings(fs) {}

  bool ScanDate(TDateTime& date);
  bool ScanTime(TDateTime& time);
  bool AtEnd() const { return FPos >= FText.size(); }

 private:
  void SkipBlanks();
  bool ScanNumber(Integer& value, Integer& length);
  bool ScanMilliseconds(Integer& msec);
  bool ScanChar(char c);
  bool ScanString(const String& token);
  Integer ScanAmPm();
  Integer ExpandTwoDigitYear(Integer year) const;

  const String& FText;
  const TFormatSettings& FSettings;
  size_t FPos = 0;
};


void TDateTimeScanner::SkipBlanks() {
  while (FPos < FText.size() && FText[FPos] == ' ') ++FPos;
}

// Reads digits while the value is below 1000, so a number ends after four significant digits
// (a year is the longest). Leading zeros count towards the length: "0099" is a four-digit year.
bool TDateTimeScanner::ScanNumber(Integer& value, Integer& length) {
  SkipBlanks();
  value = 0;
  length = 0;
  while (FPos < FText.size() && IsDigitChar(FText[FPos]) && value < 1000) {
    value = value * 10 + (FText[FPos] - '0');
    ++length;
    ++FPos;
  }
  return length > 0;
}

// The digits after the seconds' decimal separator are a fraction of a second.
bool TDateTimeScanner::ScanMilliseconds(Integer& msec) {
  Integer digits = 0;
  msec = 0;
  while (FPos < FText.size() && IsDigitChar(FText[FPos])) {
    if (digits < 3) msec = msec * 10 + (FText[FPos] - '0');
    ++digits;
    ++FPos;
  }
  for (Integer d = digits; d < 3; ++d) msec *= 10;
  return digits > 0;
}

bool TDateTimeScanner::ScanChar(char c) {
  const size_t start = FPos;
  SkipBlanks();
  if (c == ' ') return FPos > start;
  if (FPos < FText.size() && FText[FPos] == c) {
    ++FPos;
    return true;
  }
  return false;
}

bool TDateTimeScanner::ScanString(const String& token) {
  SkipBlanks();
  if (token.empty() || FText.size() - FPos < token.size()) return false;
  if (!AnsiSameText(FText.substr(FPos, token.size()), token)) return false;
  FPos += token.size();
  return true;
}

// 0 for a.m., 1 for p.m., -1 when neither text is there.
Integer TDateTimeScanner::ScanAmPm() {
  if (ScanString(FSettings.TimeAMString) || ScanString("AM")) return 0;
  if (ScanString(FSettings.TimePMString) || ScanString("PM")) return 1;
  return -1;
}

// Places a year of one or two digits in the century window that ends
// TwoDigitYearCenturyWindow years after the current year (the current century when it is 0).
Integer TDateTimeScanner::ExpandTwoDigitYear(Integer year) const {
  const Integer current = CurrentYear();
  const Integer window = FSettings.TwoDigitYearCenturyWindow;
  const Integer base = current - window;
  year += (base / 100) * 100;
  if (window > 0 && year < base) year += 100;
  return year;
}

struct TDateParts {
  Integer Year;
  Integer Month;
  Integer Day;
};

// Year, month and day from three numbers written in the locale's order.
TDateParts ArrangeFullDate(TDateOrder order, const Integer n[3]) {
  switch (order) {
    case TDateOrder::MDY:
      return {n[2], n[0], n[1]};
    case TDateOrder::DMY:
      return {n[2], n[1], n[0]};
    default:
      return {n[0], n[1], n[2]};
  }
}

bool TDateTimeScanner::ScanDate(TDateTime& date) {
  const TDateOrder order = DateOrderOf(FSettings.ShortDateFormat);
  Integer n[3], length[3];
  if (!ScanNumber(n[0], length[0]) || !ScanChar(FSettings.DateSeparator) ||
      !ScanNumber(n[1], length[1]))
    return false;
  TDateParts parts;
  if (ScanChar(FSettings.DateSeparator) && ScanNumber(n[2], length[2])) {
    parts = ArrangeFullDate(order, n);
    const Integer yearLength = length[order == TDateOrder::YMD ? 0 : 2];
    if (yearLength <= 2) parts.Year = ExpandTwoDigitYear(parts.Year);
  } else {
    // Without a year the two numbers are month and day, or day and month.
    const bool dayFirst = order == TDateOrder::DMY;
    parts = {CurrentYear(), dayFirst ? n[1] : n[0], dayFirst ? n[0] : n[1]};
  }
  ScanChar(FSettings.DateSeparator);  // a trailing separator is allowed ("24.12.")
  SkipBlanks();
  if (parts.Year < 1 || parts.Year > 9999 || parts.Month < 1 || parts.Month > 12 ||
      parts.Day < 1 || parts.Day > 31)
    return false;
  return TryEncodeDate(static_cast<Word>(parts.Year), static_cast<Word>(parts.Month),
                       static_cast<Word>(parts.Day), date);
}

bool TDateTimeScanner::ScanTime(TDateTime& time) {
  Integer amPm = ScanAmPm();
  Integer hour, min = 0, sec = 0, msec = 0, length;
  if (!ScanNumber(hour, length)) return false;
  if (ScanChar(FSettings.TimeSeparator)) {
    if (!ScanNumber(min, length)) return false;
    if (ScanChar(FSettings.TimeSeparator)) {
      if (!ScanNumber(sec, length)) return false;
      if (ScanChar(FSettings.DecimalSeparator) && !ScanMilliseconds(msec)) return false;
    }
  }
  if (amPm < 0) amPm = ScanAmPm();
  if (amPm >= 0) {
    if (hour == 0 || hour > 12) return false;
    if (hour == 12) hour = 0;
    if (amPm == 1) hour += 12;
  }
  SkipBlanks();
  if (hour > 23 || min > 59 || sec > 59) return false;
  return TryEncodeTime(static_cast<Word>(hour), static_cast<Word>(min), static_cast<Word>(sec),
                       static_cast<Word>(msec), time);
}

}  // namespace

bool TryStrToDate(const String& s, TDateTime& value, const TFormatSettings& fs) {
  TDateTimeScanner scanner(s, fs);
  TDateTime date;
  if (!scanner.ScanDate(date) || !scanner.AtEnd()) return false;
  value = date;
  return true;
}

bool TryStrToTime(const String& s, TDateTime& value, const TFormatSettings& fs) {
  TDateTimeScanner scanner(s, fs);
  TDateTime time;
  if (!scanner.ScanTime(time) || !scanner.AtEnd()) return false;
  value = time;
  return true;
}

bool TryStrToDateTime(const String& s, TDateTime& value, const TFormatSettings& fs) {
  TDateTimeScanner scanner(s, fs);
  TDateTime date;
  TDateTime time = 0;
  if (scanner.ScanDate(date) && (scanner.AtEnd() || (scanner.ScanTime(time) && scanner.AtEnd()))) {
    value = ComposeDateTime(date, time);
    return true;
  }
  return TryStrToTime(s, value, fs);  // a time alone is a time on day 0
}

bool TryStrToDate(const String& s, TDateTime& value) { return TryStrToDate(s, value, FormatSettings()); }
bool TryStrToTime(const String& s, TDateTime& value) { return TryStrToTime(s, value, FormatSettings()); }
bool TryStrToDateTime(const String& s, TDateTime& value) {
  return TryStrToDateTime(s, value, FormatSettings());
}

TDateTime StrToDate(const String& s, const TFormatSettings& fs) {
  TDateTime value;
  if (!TryStrToDate(s, value, fs)) throw EConvertError(&SInvalidDate, {s});
  return value;
}

TDateTime StrToTime(const String& s, const TFormatSettings& fs) {
  TDateTime value;
  if (!TryStrToTime(s, value, fs)) throw EConvertError(&SInvalidTime, {s});
  return value;
}

TDateTime StrToDateTime(const String& s, const TFormatSettings& fs) {
  TDateTime value;
  if (!TryStrToDateTime(s, value, fs)) throw EConvertError(&SInvalidDateTime, {s});
  return value;
}

TDateTime StrToDate(const String& s) { return StrToDate(s, FormatSettings()); }
TDateTime StrToTime(const String& s) { return StrToTime(s, FormatSettings()); }
TDateTime StrToDateTime(const String& s) { return StrToDateTime(s, FormatSettings()); }

TDateTime StrToDateDef(const String& s, TDateTime def, const TFormatSettings& fs) {
  TDateTime value;
  return TryStrToDate(s, value, fs) ? value : def;
}

TDateTime StrToTimeDef(const String& s, TDateTime def, const TFormatSettings& fs) {
  TDateTime value;
  return TryStrToTime(s, value, fs) ? value : def;
}

TDateTime StrToDateTimeDef(const String& s, TDateTime def, const TFormatSettings& fs) {
  TDateTime value;
  return TryStrToDateTime(s, value, fs) ? value : def;
}

TDateTime StrToDateDef(const String& s, TDateTime def) { return StrToDateDef(s, def, FormatSettings()); }
TDateTime StrToTimeDef(const String& s, TDateTime def) { return StrToTimeDef(s, def, FormatSettings()); }
TDateTime StrToDateTimeDef(const String& s, TDateTime def) {
  return StrToDateTimeDef(s, def, FormatSettings());
}
