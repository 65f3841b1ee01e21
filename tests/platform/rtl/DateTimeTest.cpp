#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "RtlTestSupport.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Every test runs on a pinned clock: Saturday 2026-03-07 14:05:09.045.
class DateTimeTest : public ::testing::Test {
 protected:
  const TDateTime FNow = EncodeDateTime(2026, 3, 7, 14, 5, 9, 45);
  TClockScope FClock{FNow};
};

// Milliseconds are the finest unit; compare at that grain.
void ExpectSameInstant(TDateTime actual, TDateTime expected, const char* context) {
  EXPECT_NEAR(actual, expected, 0.5 / MSecsPerDay) << context;
}

// ---------------------------------------------------------------------------------------------
// Calendar

TEST(CalendarTest, LeapYearsAndMonthLengths) {
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_FALSE(IsLeapYear(2026));
  const struct {
    Word Year, Month, Days;
  } cases[] = {{2024, 2, 29}, {2026, 2, 28}, {2000, 2, 29}, {1900, 2, 28}, {2026, 4, 30},
               {2026, 12, 31}, {2026, 1, 31}, {2026, 0, 0},  {2026, 13, 0}};
  for (const auto& c : cases) EXPECT_EQ(DaysInMonth(c.Year, c.Month), c.Days) << c.Year << "-" << c.Month;
  EXPECT_EQ(MonthDays[1][2], 29);
  EXPECT_EQ(MonthDays[0][2], 28);
}

TEST(CalendarTest, EncodeDate) {
  const struct {
    Word Year, Month, Day;
    double Value;
  } cases[] = {{1899, 12, 30, 0},      {1899, 12, 29, -1},     {1900, 1, 1, 2},
               {2000, 1, 1, 36526},    {2026, 3, 7, 46088},    {2026, 12, 10, 46366},
               {1, 1, 1, -693593},     {9999, 12, 31, 2958465}, {2000, 2, 29, 36585}};
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeDate(c.Year, c.Month, c.Day), c.Value) << c.Year << "-" << c.Month << "-" << c.Day;
    TDateTime d = -1e9;
    EXPECT_TRUE(TryEncodeDate(c.Year, c.Month, c.Day, d));
    EXPECT_EQ(d, c.Value);
  }
}

TEST(CalendarTest, EncodeDateRefusesImpossibleDates) {
  const Word bad[][3] = {{0, 1, 1},    {10000, 1, 1}, {2000, 13, 1}, {2000, 0, 1},
                         {2000, 1, 0}, {2000, 4, 31}, {1900, 2, 29}, {2001, 2, 29}};
  for (const auto& b : bad) {
    TDateTime d = 123;
    EXPECT_FALSE(TryEncodeDate(b[0], b[1], b[2], d));
    EXPECT_EQ(d, 123);
    try {
      EncodeDate(b[0], b[1], b[2]);
      ADD_FAILURE() << "no exception for " << b[0] << "-" << b[1] << "-" << b[2];
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "Invalid argument to date encode");
    }
  }
}

TEST(CalendarTest, EncodeTime) {
  EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
  EXPECT_EQ(EncodeTime(0, 0, 0, 0), 0);
  EXPECT_EQ(EncodeTime(23, 59, 59, 999), 86399999.0 / MSecsPerDay);
  const Word bad[][4] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}};
  for (const auto& b : bad) {
    TDateTime t = 7;
    EXPECT_FALSE(TryEncodeTime(b[0], b[1], b[2], b[3], t));
    EXPECT_EQ(t, 7);
    try {
      EncodeTime(b[0], b[1], b[2], b[3]);
      ADD_FAILURE() << "no exception";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "Invalid argument to time encode");
    }
  }
}

// Every day of years 1..9999 decodes to the date that encodes back to it.
TEST(CalendarTest, DecodeDateInvertsEncodeDateOverTheWholeRange) {
  Word year, month, day;
  for (Integer t = -693593; t <= 2958465; ++t) {
    DecodeDate(t, year, month, day);
    TDateTime back;
    ASSERT_TRUE(TryEncodeDate(year, month, day, back)) << t;
    ASSERT_EQ(back, t);
  }
}

TEST(CalendarTest, DecodeOutsideTheRangeGivesZeros) {
  const double values[] = {-693594, 2958466, 1e300, -1e300, std::numeric_limits<double>::quiet_NaN()};
  for (double v : values) {
    Word y = 1, m = 1, d = 1, dow = 1;
    DecodeDate(v, y, m, d);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(d, 0);
    EXPECT_FALSE(DecodeDateFully(v, y, m, d, dow));
    EXPECT_EQ(dow, 0);
    EXPECT_EQ(DayOfWeek(v), 0);
  }
}

TEST(CalendarTest, DecodeTimeAndNegativeDates) {
  const struct {
    double Value;
    Word Year, Month, Day, Hour, Min, Sec, MSec;
  } cases[] = {
      {0, 1899, 12, 30, 0, 0, 0, 0},
      {46088.5, 2026, 3, 7, 12, 0, 0, 0},
      {-1.25, 1899, 12, 29, 6, 0, 0, 0},   // the fraction's magnitude is the time
      {-0.5, 1899, 12, 30, 12, 0, 0, 0},
      {0.9999999999, 1899, 12, 31, 0, 0, 0, 0},  // rounds up into the next day
      {-1.9999999999, 1899, 12, 28, 0, 0, 0, 0},
      {46088 + 86399999.0 / MSecsPerDay, 2026, 3, 7, 23, 59, 59, 999},
  };
  for (const auto& c : cases) {
    Word y, mo, d, h, mi, s, ms;
    DecodeDateTime(c.Value, y, mo, d, h, mi, s, ms);
    EXPECT_EQ(y, c.Year) << c.Value;
    EXPECT_EQ(mo, c.Month) << c.Value;
    EXPECT_EQ(d, c.Day) << c.Value;
    EXPECT_EQ(h, c.Hour) << c.Value;
    EXPECT_EQ(mi, c.Min) << c.Value;
    EXPECT_EQ(s, c.Sec) << c.Value;
    EXPECT_EQ(ms, c.MSec) << c.Value;
  }
}

TEST(CalendarTest, DayOfWeekStartsOnSunday) {
  EXPECT_EQ(DayOfWeek(0), 7);                          // 1899-12-30, a Saturday
  EXPECT_EQ(DayOfWeek(-1), 6);                         // Friday
  EXPECT_EQ(DayOfWeek(EncodeDate(2026, 3, 8)), 1);     // Sunday
  EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 10)), 5);   // Thursday
  EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);        // Monday
  EXPECT_EQ(DayOfWeek(EncodeDate(2026, 3, 8) + 0.99), 1);
  Word y, m, d, dow;
  EXPECT_TRUE(DecodeDateFully(EncodeDate(2024, 2, 29), y, m, d, dow));
  EXPECT_EQ(dow, 5);
  EXPECT_FALSE(DecodeDateFully(EncodeDate(2026, 3, 7), y, m, d, dow));
  EXPECT_EQ(dow, 7);
}

TEST(CalendarTest, DateOfTimeOfAndCompose) {
  EXPECT_EQ(DateOf(46088.75), 46088);
  EXPECT_EQ(TimeOf(46088.75), 0.75);
  EXPECT_EQ(DateOf(-1.25), -1);
  EXPECT_EQ(TimeOf(-1.25), 0.25);
  EXPECT_EQ(ComposeDateTime(46088, 0.75), 46088.75);
  EXPECT_EQ(ComposeDateTime(-1, 0.25), -1.25);
  EXPECT_EQ(ComposeDateTime(46088.9, 1.25), 46088.25);
  EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
}

TEST(CalendarTest, IncMonthClampsTheDayAndKeepsTheTime) {
  const struct {
    TDateTime From;
    Integer Months;
    TDateTime To;
  } cases[] = {
      {EncodeDate(2026, 1, 31), 1, EncodeDate(2026, 2, 28)},
      {EncodeDate(2024, 1, 31), 1, EncodeDate(2024, 2, 29)},
      {EncodeDate(2026, 3, 31), -1, EncodeDate(2026, 2, 28)},
      {EncodeDate(2026, 12, 15), 1, EncodeDate(2027, 1, 15)},
      {EncodeDate(2026, 1, 15), -13, EncodeDate(2024, 12, 15)},
      {EncodeDate(2026, 1, 15), 0, EncodeDate(2026, 1, 15)},
      {EncodeDate(2026, 1, 15), 120, EncodeDate(2036, 1, 15)},
      {EncodeDate(2026, 1, 31) + 0.75, 1, EncodeDate(2026, 2, 28) + 0.75},
      {-1.25, 1, EncodeDate(1900, 1, 29) + 0.25},
      {EncodeDate(1900, 1, 29) + 0.25, -1, -1.25},
  };
  for (const auto& c : cases) EXPECT_EQ(IncMonth(c.From, c.Months), c.To) << c.From << " " << c.Months;
  EXPECT_EQ(IncMonth(EncodeDate(2026, 1, 31)), EncodeDate(2026, 2, 28));
  EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1), 1), EConvertError);
  EXPECT_THROW(IncMonth(EncodeDate(1, 1, 1), -1), EConvertError);
  EXPECT_THROW(IncMonth(1e300, 1), EConvertError);
}

// ---------------------------------------------------------------------------------------------
// Clock

TEST(ClockTest, ScopesPinAndRestore) {
  const TDateTime pinned = EncodeDateTime(2026, 3, 7, 14, 5, 9, 45);
  {
    TClockScope outer(pinned);
    EXPECT_EQ(Now(), pinned);
    EXPECT_EQ(Date(), EncodeDate(2026, 3, 7));
    ExpectSameInstant(Time(), EncodeTime(14, 5, 9, 45), "Time()");
    EXPECT_EQ(CurrentYear(), 2026);
    {
      int calls = 0;
      TClockScope inner([&calls] { return static_cast<TDateTime>(++calls); });
      EXPECT_EQ(Now(), 1);
      EXPECT_EQ(Now(), 2);
    }
    EXPECT_EQ(Now(), pinned);
  }
  // Back on the system clock: some time after this code was written.
  EXPECT_GT(Now(), EncodeDate(2020, 1, 1));
  EXPECT_LT(Now(), EncodeDate(9999, 1, 1));
}

TEST(ClockTest, SetClockWithAnEmptyFunctionRestoresTheSystemClock) {
  SetClock([] { return 5.0; });
  EXPECT_EQ(Now(), 5.0);
  SetClock(nullptr);
  EXPECT_GT(Now(), EncodeDate(2020, 1, 1));
}

// ---------------------------------------------------------------------------------------------
// FormatDateTime

struct TDateFormatCase {
  const char* Format;
  const char* US;
  const char* DE;
};

TEST_F(DateTimeTest, FormatTokens) {
  const TDateFormatCase cases[] = {
      {"yyyy-mm-dd hh:nn:ss.zzz", "2026-03-07 14:05:09.045", "2026-03-07 14:05:09.045"},
      {"YYYY/MM/DD", "2026/03/07", "2026.03.07"},
      {"d/m/yy", "7/3/26", "7.3.26"},
      {"y", "26", "26"},
      {"yyy", "2026", "2026"},
      {"m", "3", "3"},
      {"mm", "03", "03"},
      {"mmm", "Mar", "Mrz"},
      {"mmmm", "March", "M\xE4rz"},
      {"MMMMM", "March", "M\xE4rz"},
      {"d", "7", "7"},
      {"dd", "07", "07"},
      {"ddd", "Sat", "Sa"},
      {"dddd", "Saturday", "Samstag"},
      {"ddddd", "3/7/2026", "07.03.2026"},
      {"dddddd", "Saturday, March 07, 2026", "Samstag, 7. M\xE4rz 2026"},
      {"ddddddd", "Saturday, March 07, 2026", "Samstag, 7. M\xE4rz 2026"},
      {"h", "14", "14"},
      {"hh:mm", "14:05", "14:05"},
      {"HH:MM:SS", "14:05:09", "14:05:09"},
      {"h:n:s", "14:5:9", "14:5:9"},
      {"hh 'x' mm", "14 x 05", "14 x 05"},
      {"hh d mm", "14 7 03", "14 7 03"},
      {"z", "45", "45"},
      {"zzz", "045", "045"},
      {"h:mm am/pm", "2:05 pm", "2:05 pm"},
      {"h:mm AM/PM", "2:05 PM", "2:05 PM"},
      {"h:mm Am/Pm", "2:05 Pm", "2:05 Pm"},
      {"h:mm a/p", "2:05 p", "2:05 p"},
      {"h:mm A/P", "2:05 P", "2:05 P"},
      {"h:mm ampm", "2:05 PM", "2:05 "},
      {"hh:mm h", "14:05 14", "14:05 14"},
      {"h \"h\" ampm", "2 h PM", "2 h "},
      {"t", "2:05 PM", "14:05"},
      {"tt", "2:05:09 PM", "14:05:09"},
      {"c", "3/7/2026 2:05:09 PM", "07.03.2026 14:05:09"},
      {"", "3/7/2026 2:05:09 PM", "07.03.2026 14:05:09"},
      {"\"on\" dddd", "on Saturday", "on Samstag"},
      {"'at' h 'o''clock'", "at 14 oclock", "at 14 oclock"},
      {"\"open", "open", "open"},
      {"a", "a", "a"},
      {"x-q.w", "x-q.w", "x-q.w"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatDateTime(c.Format, FNow, KUS), c.US) << c.Format;
    EXPECT_EQ(FormatDateTime(c.Format, FNow, KDE), c.DE) << c.Format;
  }
}

TEST_F(DateTimeTest, TwelveHourClockAroundMidnightAndNoon) {
  const struct {
    TDateTime Time;
    const char* Text;
  } cases[] = {{EncodeTime(0, 30, 0, 0), "12:30 AM"},
               {EncodeTime(11, 59, 0, 0), "11:59 AM"},
               {EncodeTime(12, 0, 0, 0), "12:00 PM"},
               {EncodeTime(23, 1, 0, 0), "11:01 PM"}};
  for (const auto& c : cases) EXPECT_EQ(FormatDateTime("hh:nn AM/PM", c.Time, KUS), c.Text);
}

TEST_F(DateTimeTest, ShortFormsOmitMidnightAndReadTheGlobalSettings) {
  const TDateTime midnight = EncodeDate(2026, 3, 7);
  EXPECT_EQ(FormatDateTime("c", midnight, KUS), "3/7/2026");
  EXPECT_EQ(DateTimeToStr(midnight, KDE), "07.03.2026");
  EXPECT_EQ(DateToStr(FNow, KUS), "3/7/2026");
  EXPECT_EQ(TimeToStr(FNow, KUS), "2:05:09 PM");
  EXPECT_EQ(DateTimeToStr(FNow, KUS), "3/7/2026 2:05:09 PM");
  TFormatSettingsScope pin(KDE);
  EXPECT_EQ(DateToStr(FNow), "07.03.2026");
  EXPECT_EQ(TimeToStr(FNow), "14:05:09");
  EXPECT_EQ(DateTimeToStr(FNow), "07.03.2026 14:05:09");
  EXPECT_EQ(FormatDateTime("dddd", FNow), "Samstag");
}

TEST_F(DateTimeTest, FormatsNegativeAndOutOfRangeValuesWithoutFailing) {
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -1.25, KUS), "1899-12-29 06:00");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd dddd mmmm", 1e300, KUS), "0000-00-00  ");
  EXPECT_EQ(FormatDateTime("yyyy", std::numeric_limits<double>::quiet_NaN(), KUS), "0000");
}

TEST_F(DateTimeTest, SelfReferringLocaleFormatsStop) {
  TFormatSettings fs = KUS;
  fs.ShortDateFormat = "c";
  fs.LongTimeFormat = "tt";
  const String text = FormatDateTime("c", FNow, fs);
  EXPECT_LT(text.size(), 100u);
}

// ---------------------------------------------------------------------------------------------
// Parsing

struct TParseCase {
  const char* Text;
  TDateTime Value;
};

TEST_F(DateTimeTest, StrToDateInLocaleOrder) {
  const TParseCase us[] = {
      {"3/7/2026", EncodeDate(2026, 3, 7)},
      {"03/07/2026", EncodeDate(2026, 3, 7)},
      {" 3 / 7 / 2026 ", EncodeDate(2026, 3, 7)},
      {"3/7/26", EncodeDate(2026, 3, 7)},
      {"3/7/75", EncodeDate(2075, 3, 7)},  // window: 1976..2075 for 2026
      {"3/7/76", EncodeDate(1976, 3, 7)},
      {"3/7/0", EncodeDate(2000, 3, 7)},
      {"3/7/0099", EncodeDate(99, 3, 7)},  // four digits are taken as written
      {"3/7", EncodeDate(2026, 3, 7)},
      {"12/31/9999", EncodeDate(9999, 12, 31)},
      {"2/29/2024", EncodeDate(2024, 2, 29)},
  };
  for (const auto& c : us) EXPECT_EQ(StrToDate(c.Text, KUS), c.Value) << c.Text;
  const TParseCase de[] = {
      {"07.03.2026", EncodeDate(2026, 3, 7)},
      {"7.3.26", EncodeDate(2026, 3, 7)},
      {"7.3.", EncodeDate(2026, 3, 7)},
      {"7.3", EncodeDate(2026, 3, 7)},
      {"31.12.1899", EncodeDate(1899, 12, 31)},
  };
  for (const auto& c : de) EXPECT_EQ(StrToDate(c.Text, KDE), c.Value) << c.Text;

  TFormatSettings ymd = KUS;
  ymd.ShortDateFormat = "yyyy-MM-dd";
  ymd.DateSeparator = '-';
  EXPECT_EQ(StrToDate("2026-03-07", ymd), EncodeDate(2026, 3, 7));
  EXPECT_EQ(StrToDate("26-3-7", ymd), EncodeDate(2026, 3, 7));
  EXPECT_EQ(StrToDate("3-7", ymd), EncodeDate(2026, 3, 7));  // without a year: month, day
  TFormatSettings dmy = KUS;
  dmy.ShortDateFormat = "dd/MM/yyyy";
  EXPECT_EQ(StrToDate("7/3/2026", dmy), EncodeDate(2026, 3, 7));
  EXPECT_EQ(StrToDate("7/3", dmy), EncodeDate(2026, 3, 7));
}

TEST_F(DateTimeTest, TwoDigitYearsFollowTheCenturyWindow) {
  TFormatSettings fs = KUS;
  fs.TwoDigitYearCenturyWindow = 0;  // always the current century
  EXPECT_EQ(StrToDate("3/7/99", fs), EncodeDate(2099, 3, 7));
  EXPECT_EQ(StrToDate("3/7/01", fs), EncodeDate(2001, 3, 7));
  fs.TwoDigitYearCenturyWindow = 10;  // 2016..2115
  EXPECT_EQ(StrToDate("3/7/15", fs), EncodeDate(2115, 3, 7));
  EXPECT_EQ(StrToDate("3/7/16", fs), EncodeDate(2016, 3, 7));
}

TEST_F(DateTimeTest, StrToDateRefusesBadText) {
  const char* const us[] = {"",          "abc",       "13/1/2026", "2/30/2026", "2/29/2026",
                            "3-7-2026",  "3/7/2026 x", "3//2026",  "12345/1/1", "3/7/10000",
                            "0/7/2026",  "3/0/2026",  "/3/7",      "3/7/2026/1", "3"};
  for (const char* text : us) {
    TDateTime v = 99;
    EXPECT_FALSE(TryStrToDate(text, v, KUS)) << text;
    EXPECT_EQ(v, 99) << text;
  }
  TDateTime v;
  EXPECT_FALSE(TryStrToDate("3/7/2026", v, KDE));
  try {
    StrToDate("31/31", KUS);
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'31/31' is not a valid date");
  }
  EXPECT_EQ(StrToDateDef("x", 5, KUS), 5);
  EXPECT_EQ(StrToDateDef("3/7/2026", 5, KUS), EncodeDate(2026, 3, 7));
}

TEST_F(DateTimeTest, StrToTime) {
  const TParseCase us[] = {
      {"14:05", EncodeTime(14, 5, 0, 0)},
      {"14:05:09", EncodeTime(14, 5, 9, 0)},
      {"2:05 PM", EncodeTime(14, 5, 0, 0)},
      {"2:05:09 pm", EncodeTime(14, 5, 9, 0)},
      {"PM 2:05", EncodeTime(14, 5, 0, 0)},
      {"12:00 AM", 0},
      {"12:00 PM", 0.5},
      {"11:59 AM", EncodeTime(11, 59, 0, 0)},
      {"12:30:15.5", EncodeTime(12, 30, 15, 500)},
      {"12:30:15.045", EncodeTime(12, 30, 15, 45)},
      {"12:30:15.0456", EncodeTime(12, 30, 15, 45)},
      {"14", EncodeTime(14, 0, 0, 0)},
      {" 7 : 08 ", EncodeTime(7, 8, 0, 0)},
      {"23:59:59.999", EncodeTime(23, 59, 59, 999)},
  };
  for (const auto& c : us) ExpectSameInstant(StrToTime(c.Text, KUS), c.Value, c.Text);
  const TParseCase de[] = {
      {"14:05:09", EncodeTime(14, 5, 9, 0)},
      {"2:05 PM", EncodeTime(14, 5, 0, 0)},
      {"14:05:09,25", EncodeTime(14, 5, 9, 250)},
  };
  for (const auto& c : de) ExpectSameInstant(StrToTime(c.Text, KDE), c.Value, c.Text);
}

TEST_F(DateTimeTest, StrToTimeRefusesBadText) {
  const char* const us[] = {"",      "abc",      "13:00 PM", "0:30 AM", "24:00", "12:60",
                            "14:",   "12:00:60", "1:2:3:4",  "12:00 XM", "12.30", "12:30:15."};
  for (const char* text : us) {
    TDateTime v = 99;
    EXPECT_FALSE(TryStrToTime(text, v, KUS)) << text;
    EXPECT_EQ(v, 99) << text;
  }
  try {
    StrToTime("25:00", KUS);
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'25:00' is not a valid time");
  }
  EXPECT_EQ(StrToTimeDef("x", 0.25, KUS), 0.25);
}

TEST_F(DateTimeTest, StrToDateTime) {
  const TParseCase us[] = {
      {"3/7/2026 2:05:09 PM", FNow - 45.0 / MSecsPerDay},
      {"3/7/2026", EncodeDate(2026, 3, 7)},
      {"3/7/2026 14:05", EncodeDate(2026, 3, 7) + EncodeTime(14, 5, 0, 0)},
      {"2:05 PM", EncodeTime(14, 5, 0, 0)},  // a time alone falls on day 0
      {"12/29/1899 6:00 AM", -1.25},
  };
  for (const auto& c : us) ExpectSameInstant(StrToDateTime(c.Text, KUS), c.Value, c.Text);
  ExpectSameInstant(StrToDateTime("07.03.2026 14:05:09", KDE), FNow - 45.0 / MSecsPerDay, "de");

  const char* const bad[] = {"", "3/7/2026 25:00", "3/7/2026 x", "x 2:05", "3/7/2026 2:05 PM x"};
  for (const char* text : bad) {
    TDateTime v = 99;
    EXPECT_FALSE(TryStrToDateTime(text, v, KUS)) << text;
    EXPECT_EQ(v, 99) << text;
  }
  try {
    StrToDateTime("soon", KUS);
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'soon' is not a valid date and time");
  }
  EXPECT_EQ(StrToDateTimeDef("soon", 3, KUS), 3);
}

TEST_F(DateTimeTest, ParsingReadsTheGlobalSettings) {
  TFormatSettingsScope pin(KDE);
  EXPECT_EQ(StrToDate("07.03.2026"), EncodeDate(2026, 3, 7));
  ExpectSameInstant(StrToTime("14:05"), EncodeTime(14, 5, 0, 0), "time");
  ExpectSameInstant(StrToDateTime("07.03.2026 14:05"), EncodeDateTime(2026, 3, 7, 14, 5, 0, 0), "dt");
  TDateTime v;
  EXPECT_TRUE(TryStrToDate("1.1.2000", v));
  EXPECT_FALSE(TryStrToTime("x", v));
  EXPECT_FALSE(TryStrToDateTime("x", v));
  EXPECT_EQ(StrToDateDef("x", 1), 1);
  EXPECT_EQ(StrToTimeDef("x", 0.5), 0.5);
  EXPECT_EQ(StrToDateTimeDef("x", 2), 2);
  EXPECT_THROW(StrToDate("3/7/2026"), EConvertError);
}

// Random text over the characters of dates and times is read or refused, never a fault.
TEST_F(DateTimeTest, ArbitraryTextAndFormatsAreSafe) {
  const char textAlphabet[] = "0123456789/:. APMapm-";
  const char formatAlphabet[] = "cdmyhnsztapAMP/:'\" ";
  uint64_t state = 4242;
  auto next = [&state](const char* alphabet, size_t size) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return alphabet[(state >> 33) % size];
  };
  for (int i = 0; i < 5000; ++i) {
    String text, format;
    for (int n = 0; n < 12; ++n) {
      text += next(textAlphabet, sizeof textAlphabet - 1);
      format += next(formatAlphabet, sizeof formatAlphabet - 1);
    }
    TDateTime v;
    TryStrToDateTime(text, v, KUS);
    TryStrToDateTime(text, v, KDE);
    const TDateTime dt = static_cast<double>(static_cast<int64_t>(state >> 30)) / 1e3 - 3e6;
    EXPECT_NO_THROW(FormatDateTime(format, dt, KUS)) << format;
  }
}

// Text written with the locale's short formats reads back to the same second.
TEST_F(DateTimeTest, DateTimeTextRoundTrips) {
  const TDateTime values[] = {EncodeDateTime(2026, 3, 7, 14, 5, 9, 0),
                              EncodeDateTime(1999, 12, 31, 23, 59, 59, 0),
                              EncodeDateTime(2000, 2, 29, 0, 0, 1, 0),
                              EncodeDateTime(2026, 1, 1, 12, 0, 0, 0),
                              EncodeDateTime(2026, 1, 1, 0, 30, 0, 0),
                              EncodeDateTime(1800, 6, 15, 6, 0, 0, 0),
                              EncodeDate(2026, 7, 4)};
  for (const TFormatSettings* fs : {&KUS, &KDE}) {
    for (TDateTime v : values) {
      const String text = DateTimeToStr(v, *fs);
      ExpectSameInstant(StrToDateTime(text, *fs), v, text.c_str());
    }
  }
}

}  // namespace
