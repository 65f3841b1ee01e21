// Dates and times: TDateTime arithmetic, the clock, and date/time text.
//
// A TDateTime counts days since 1899-12-30; its fraction is the time of day. For dates before
// that day the value is negative and the fraction's magnitude is the time (-1.25 is
// 1899-12-29 06:00). Text follows the locale in TFormatSettings, never the host locale.
#pragma once

#include <functional>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/System.h"

constexpr Integer HoursPerDay = 24;
constexpr Integer MinsPerDay = 24 * 60;
constexpr Integer SecsPerDay = MinsPerDay * 60;
constexpr Integer MSecsPerDay = SecsPerDay * 1000;
// Days from 0001-01-01 (day 1) to 1899-12-30 (TDateTime 0).
constexpr Integer DateDelta = 693594;

// Days per month, indexed [IsLeapYear(year)][month] with month 1..12 (index 0 is unused).
extern const Word MonthDays[2][13];

bool IsLeapYear(Word year);
Word DaysInMonth(Word year, Word month);  // 0 for a month outside 1..12

// Encoding raises EConvertError on values out of range (year 1..9999, hour 0..23, ...).
TDateTime EncodeDate(Word year, Word month, Word day);
TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec);
bool TryEncodeDate(Word year, Word month, Word day, TDateTime& date);
bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& time);
TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec, Word msec);

// Decoding a value outside year 1..9999 gives zeros for the date fields.
void DecodeDate(TDateTime dt, Word& year, Word& month, Word& day);
void DecodeTime(TDateTime dt, Word& hour, Word& min, Word& sec, Word& msec);
// Also gives the day of the week (1 = Sunday); returns whether the year is a leap year.
bool DecodeDateFully(TDateTime dt, Word& year, Word& month, Word& day, Word& dow);
void DecodeDateTime(TDateTime dt, Word& year, Word& month, Word& day, Word& hour, Word& min,
                    Word& sec, Word& msec);

TDateTime DateOf(TDateTime dt);  // the date part (midnight)
TDateTime TimeOf(TDateTime dt);  // the time of day, 0 <= t < 1
// The day `date` at the time of day of `time`, correct for negative dates too.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);

Integer DayOfWeek(TDateTime dt);  // 1 = Sunday ... 7 = Saturday
// Moves by whole months, keeping the time; the day is clamped to the target month's length.
TDateTime IncMonth(TDateTime dt, Integer months = 1);

// ---------------------------------------------------------------------------------------------
// The clock. Now/Date/Time read the system's local time unless a clock is installed.

using TClockFunction = std::function<TDateTime()>;
// Installs the clock Now() reads; an empty function restores the system clock.
void SetClock(TClockFunction clock);
TDateTime Now();
TDateTime Date();  // today at midnight
TDateTime Time();  // the time of day now
Word CurrentYear();

// Pins the clock for a scope (tests), restoring the previous clock at its end.
class TClockScope {
 public:
  explicit TClockScope(TDateTime fixed);
  explicit TClockScope(TClockFunction clock);
  ~TClockScope();
  TClockScope(const TClockScope&) = delete;
  TClockScope& operator=(const TClockScope&) = delete;

 private:
  TClockFunction FSaved;
};

// ---------------------------------------------------------------------------------------------
// Text. Formats use the platform's tokens (c, d..dddddd, m..mmmm, yy, yyyy, h, hh, n, nn, s, ss,
// z, zzz, t, tt, am/pm, a/p, ampm, '/', ':', quoted literals), in upper or lower case.

String FormatDateTime(const String& format, TDateTime dt);
String FormatDateTime(const String& format, TDateTime dt, const TFormatSettings& fs);
String DateToStr(TDateTime dt);
String DateToStr(TDateTime dt, const TFormatSettings& fs);
String TimeToStr(TDateTime dt);
String TimeToStr(TDateTime dt, const TFormatSettings& fs);
String DateTimeToStr(TDateTime dt);
String DateTimeToStr(TDateTime dt, const TFormatSettings& fs);

// Parsing reads numbers in the order of the locale's ShortDateFormat, separated by its
// DateSeparator and TimeSeparator; a missing year is the current year, a two-digit year is placed
// by TwoDigitYearCenturyWindow. The Str... forms raise EConvertError.
TDateTime StrToDate(const String& s);
TDateTime StrToDate(const String& s, const TFormatSettings& fs);
TDateTime StrToTime(const String& s);
TDateTime StrToTime(const String& s, const TFormatSettings& fs);
TDateTime StrToDateTime(const String& s);
TDateTime StrToDateTime(const String& s, const TFormatSettings& fs);
bool TryStrToDate(const String& s, TDateTime& value);
bool TryStrToDate(const String& s, TDateTime& value, const TFormatSettings& fs);
bool TryStrToTime(const String& s, TDateTime& value);
bool TryStrToTime(const String& s, TDateTime& value, const TFormatSettings& fs);
bool TryStrToDateTime(const String& s, TDateTime& value);
bool TryStrToDateTime(const String& s, TDateTime& value, const TFormatSettings& fs);
TDateTime StrToDateDef(const String& s, TDateTime def);
TDateTime StrToDateDef(const String& s, TDateTime def, const TFormatSettings& fs);
TDateTime StrToTimeDef(const String& s, TDateTime def);
TDateTime StrToTimeDef(const String& s, TDateTime def, const TFormatSettings& fs);
TDateTime StrToDateTimeDef(const String& s, TDateTime def);
TDateTime StrToDateTimeDef(const String& s, TDateTime def, const TFormatSettings& fs);
