#include <gtest/gtest.h>

#include "core/qvFormats.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "support/ResourceTexts.h"

namespace {

// Wednesday 2004-02-18 10:30, in a pinned locale.
class FormatsTest : public ::testing::Test {
 protected:
  static TFormatSettings WithShortDate(TFormatSettings fs, const String& AFormat) {
    fs.ShortDateFormat = AFormat;
    return fs;
  }
  TDateTime Today = EncodeDate(2004, 2, 18);
  TClockScope Clock{EncodeDate(2004, 2, 18) + EncodeTime(10, 30, 0, 0)};
  TFormatSettingsScope Locale{TFormatSettings::EnglishUS()};
};

class TCountingListener : public IqvFormatListener {
 public:
  void FormatChanged() override { ++Calls; }
  int Calls = 0;
};

TEST_F(FormatsTest, DateFormatsFromTheLocale) {
  struct Case {
    TFormatSettings fs;
    const char* dateFormat;
    const char* masked;
    const char* mask;
  } cases[] = {
      {WithShortDate(TFormatSettings::EnglishUS(), "d/M/yyyy"), "dd/MM/yyyy", "dd/MM/yyyy", "!99/99/9999;1; "},
      {TFormatSettings::EnglishUS(), "MM/dd/yyyy", "MM/dd/yyyy", "!99/99/9999;1; "},
      {TFormatSettings::German(), "dd.MM.yyyy", "dd.MM.yyyy", "!99.99.9999;1; "},
      {WithShortDate(TFormatSettings::EnglishUS(), "dd-MMMM-yy"), "dd-MMMM-yy", "dd-MMM-yy", "!99-lll-99;1; "},
      {WithShortDate(TFormatSettings::EnglishUS(), "gg yy/MM/dd"), "gg yy/MM/dd", "gg yy/MM/dd", ""},
  };
  for (const Case& c : cases) {
    TFormatSettingsScope scope(c.fs);
    TqvFormatController controller;
    EXPECT_EQ(controller.DateFormat, c.dateFormat) << c.fs.ShortDateFormat;
    EXPECT_EQ(controller.MaskedDateFormat, c.masked) << c.fs.ShortDateFormat;
    EXPECT_EQ(controller.StandardDateEditMask, c.mask) << c.fs.ShortDateFormat;
    EXPECT_EQ(controller.DateEditMask, c.mask) << c.fs.ShortDateFormat;
  }
}

TEST_F(FormatsTest, RegularExpressionMask) {
  TFormatSettingsScope scope(WithShortDate(TFormatSettings::EnglishUS(), "d/M/yyyy"));
  const String day = "([012]?[1-9]|[123]0|31)";
  const String month = "((0?[1-9]|1[012])|(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec))";
  EXPECT_EQ(DateFormatToRegExpr(false), day + "'/'" + month + "'/'\\d\\d\\d\\d");
  String withWords = DateFormatToRegExpr(true);
  EXPECT_EQ(withWords.substr(0, day.size() + 1), "(" + day);
  EXPECT_NE(withWords.find(")|((today|yesterday|tomorrow|Sunday|"), String::npos);
  EXPECT_NE(withWords.find("|bom|eom|now)((\\+|-)\\d(\\d(\\d(\\d?)?)?)?))"), String::npos);
  TFormatSettings dotted = TFormatSettings::German();
  dotted.ShortMonthNames[2] = "M.r";  // a period in a name must not match any character
  TFormatSettingsScope german(WithShortDate(dotted, "dd.MMM.yy"));
  EXPECT_EQ(DateFormatToRegExpr(false),
            day + "'.'((0?[1-9]|1[012])|(Jan|Feb|M\\.r|Apr|Mai|Jun|Jul|Aug|Sep|Okt|Nov|Dez))'.'\\d\\d");
}

TEST_F(FormatsTest, SmartWords) {
  struct Case {
    const char* text;
    bool ok;
    TDateTime expected;
  } cases[] = {
      {"today", true, Today},
      {"Today + 3", true, Today + 3},
      {"  TODAY-10 ", true, Today - 10},
      {"tomorrow-1", true, Today},
      {"yesterday", true, Today - 1},
      {"eom", true, EncodeDate(2004, 2, 29)},
      {"bom+1", true, EncodeDate(2004, 2, 2)},
      {"friday", true, Today + 2},
      {"wednesday", true, Today},
      {"monday", true, Today + 5},
      {"first", true, EncodeDate(2004, 2, 15)},
      {"seventh", true, EncodeDate(2004, 2, 21)},
      {"now", true, Today + EncodeTime(10, 30, 0, 0)},
      {"mon", false, 0},
      {"nowhere", false, 0},
      {"seconds", false, 0},
      {"today xyz", false, 0},
      {"today +", false, 0},
      {"", false, 0},
  };
  for (const Case& c : cases) {
    TDateTime date = -1;
    EXPECT_EQ(TextToDateSmart(c.text, date), c.ok) << c.text;
    if (c.ok) {
      EXPECT_DOUBLE_EQ(date, c.expected) << c.text;
    }
  }
}

TEST_F(FormatsTest, SmartWordsFollowOverrides) {
  TResourceTextScope texts{{&sqvDateToday, "heute"}};
  TDateTime date;
  EXPECT_TRUE(TextToDateSmart("Heute+1", date));
  EXPECT_DOUBLE_EQ(date, Today + 1);
  EXPECT_FALSE(TextToDateSmart("today", date));
}

TEST_F(FormatsTest, TextToDateTimeUnderTwoLocales) {
  TDateTime date;
  EXPECT_TRUE(TextToDateTimeSmart("2/18/2004", date));
  EXPECT_DOUBLE_EQ(date, Today);
  EXPECT_TRUE(TextToDateTimeSmart("eom", date));
  EXPECT_FALSE(TextToDateTimeSmart("   ", date));
  EXPECT_EQ(date, NullDate);
  EXPECT_FALSE(TextToDateTimeSmart("someday", date));
  EXPECT_EQ(date, NullDate);
  TFormatSettingsScope german(TFormatSettings::German());
  EXPECT_TRUE(TextToDateTimeSmart("18.02.2004", date));
  EXPECT_DOUBLE_EQ(date, Today);
  EXPECT_TRUE(TryTextToDate("18.02.2004", false, date));
  EXPECT_DOUBLE_EQ(date, Today);
  EXPECT_FALSE(TryTextToDate("31.02.2004", false, date));
  EXPECT_EQ(date, NullDate);
  EXPECT_FALSE(TryTextToDate("x", true, date));
  EXPECT_EQ(date, NullDate);
}

TEST_F(FormatsTest, DatesToText) {
  EXPECT_EQ(DateTimeToText(NullDate), "");
  EXPECT_EQ(DateTimeToText(Today), "2/18/2004");
  EXPECT_EQ(DateTimeToText(Today + EncodeTime(10, 30, 0, 0)), "2/18/2004 10:30:00 AM");
  EXPECT_EQ(DateToDisplayText(true, NullDate), "");
  TFormatSettingsScope german(WithShortDate(TFormatSettings::German(), "d.MMMM yyyy"));
  GetFormatController()->Update();
  EXPECT_EQ(DateToDisplayText(true, Today), "18.Feb 2004");
  EXPECT_EQ(DateToDisplayText(false, Today), "18.Februar 2004");
}

TEST_F(FormatsTest, MonthAndDayArithmetic) {
  struct Shift {
    Integer year, month, delta, year2, month2;
  } shifts[] = {{2003, 1, -1, 2002, 12}, {2003, 11, 14, 2005, 1}, {2003, 5, 0, 2003, 5}, {2003, 1, -13, 2001, 12}};
  for (const Shift& s : shifts) {
    Integer y = s.year, m = s.month;
    ShiftMonth(y, m, s.delta);
    EXPECT_EQ(y, s.year2) << s.delta;
    EXPECT_EQ(m, s.month2) << s.delta;
  }
  Integer y = 2004, m = 12;
  NextMonth(y, m);
  EXPECT_EQ(y * 100 + m, 200501);
  PrevMonth(y, m);
  EXPECT_EQ(y * 100 + m, 200412);
  EXPECT_EQ(ClampDayOfMonth(2004, 2, 31), 29);
  EXPECT_EQ(ClampDayOfMonth(2003, 2, 31), 28);
  EXPECT_EQ(ClampDayOfMonth(2003, 2, 0), 1);
  EXPECT_TRUE(IsLeap(2000));
  EXPECT_FALSE(IsLeap(1900));
  EXPECT_TRUE(IsLeap(-4));
  EXPECT_EQ(GetDaysInMonth(2004, 4), 30);
  EXPECT_EQ(SafeTrunc(2.99999999999), 3);
  EXPECT_EQ(SafeTrunc(-2.99999999999), -3);
  EXPECT_EQ(SafeTrunc(2.5), 2);
  TDateTime moment = Today + EncodeTime(10, 30, 15, 500);
  EXPECT_DOUBLE_EQ(DatePartOf(moment), Today);
  EXPECT_NEAR(TimePartOf(moment), EncodeTime(10, 30, 15, 500), 1e-9);
  EXPECT_NEAR(ExtractTimePart(moment), EncodeTime(10, 30, 15, 500), 1e-12);
  EXPECT_EQ(GetDateElement(deYear, moment), 2004);
  EXPECT_EQ(GetDateElement(deMonth, moment), 2);
  EXPECT_EQ(GetDateElement(deDay, moment), 18);
}

TEST_F(FormatsTest, StartOfWeekFollowsTheLocale) {
  TDateTime sunday = EncodeDate(2004, 2, 22);
  EXPECT_DOUBLE_EQ(StartOfWeek(sunday), sunday);  // English: weeks start on Sunday
  EXPECT_DOUBLE_EQ(StartOfWeek(Today + 0.5), EncodeDate(2004, 2, 15));
  TFormatSettings monday = TFormatSettings::EnglishUS();
  monday.FirstDayOfWeek = 0;
  TFormatSettingsScope scope(monday);
  EXPECT_DOUBLE_EQ(StartOfWeek(sunday), EncodeDate(2004, 2, 16));
  EXPECT_DOUBLE_EQ(StartOfWeek(Today), EncodeDate(2004, 2, 16));
  TqvFormatController controller;
  EXPECT_EQ(controller.FirstWeekDay, 1);
}

TEST_F(FormatsTest, CurrencyFormats) {
  struct Case {
    const char* symbol;
    Byte placement, decimals;
    const char* expected;
  } cases[] = {
      {"$", 0, 2, "$,0.00"},
      {"kr.", 3, 2, ",0.00 kr'.'"},
      {"EUR", 1, 0, ",0.EUR"},
      {"", 2, 1, ",0.0"},
      {"#0;", 2, 2, "'#''0'';' ,0.00"},
      {"E+'", 1, 2, ",0.00'E'+\"'\""},
  };
  for (const Case& c : cases) {
    TFormatSettings fs = TFormatSettings::EnglishUS();
    fs.CurrencyString = c.symbol;
    fs.CurrencyFormat = c.placement;
    fs.CurrencyDecimals = c.decimals;
    TFormatSettingsScope scope(fs);
    EXPECT_EQ(GetCurrencyFormatString(), c.expected) << c.symbol;
  }
  TqvFormatController controller;
  EXPECT_EQ(controller.CurrencyFormat, "$,0.00;-$,0.00");
}

TEST_F(FormatsTest, TextStartsWithIgnoresCase) {
  EXPECT_TRUE(TextStartsWith("abc", "AB", true));
  EXPECT_FALSE(TextStartsWith("abc", "AB", false));
  EXPECT_TRUE(TextStartsWith("abc", "ABC", false));
  EXPECT_TRUE(TextStartsWith("", "", true));
  EXPECT_TRUE(TextStartsWith("", "", false));
  EXPECT_FALSE(TextStartsWith("abc", "", true));
  EXPECT_TRUE(TextStartsWith("\xE4pfel", "\xC4P", true));  // accented letters of the code page
}

TEST_F(FormatsTest, ListenersHearLocaleChanges) {
  TqvFormatController controller;
  TCountingListener a, b;
  EXPECT_FALSE(controller.IsListeningToLocale());
  controller.AddListener(&a);
  controller.AddListener(&a);
  controller.AddListener(&b);
  EXPECT_TRUE(controller.IsListeningToLocale());
  SetFormatSettings(TFormatSettings::German());
  EXPECT_EQ(a.Calls, 1);
  EXPECT_EQ(b.Calls, 1);
  EXPECT_EQ(controller.DateFormat, "dd.MM.yyyy");
  controller.RemoveListener(&a);
  controller.RemoveListener(&b);
  EXPECT_FALSE(controller.IsListeningToLocale());
  SetFormatSettings(TFormatSettings::EnglishUS());
  EXPECT_EQ(a.Calls, 1);
  EXPECT_EQ(controller.DateFormat, "dd.MM.yyyy");  // no longer follows
}

// A locale changed while nobody listened must not leave stale formats for the next listener.
TEST_F(FormatsTest, FirstListenerFindsTheCurrentLocale) {
  TqvFormatController controller;
  SetFormatSettings(TFormatSettings::German());
  TCountingListener a;
  controller.AddListener(&a);
  EXPECT_EQ(controller.DateFormat, "dd.MM.yyyy");
  controller.RemoveListener(&a);
  SetFormatSettings(TFormatSettings::EnglishUS());
}

TEST(DataBinding, FiresOnlyAssignedHandlers) {
  TComponent owner(nullptr);
  TqvDataBinding binding(&owner, nullptr);
  int calls = 0;
  binding.DataChanged();
  binding.OnDataChange = [&](TObject*) { ++calls; };
  binding.OnUpdateData = [&](TObject*) { calls += 10; };
  binding.DataChanged();
  binding.DataSetChanged();
  binding.UpdateData();
  EXPECT_EQ(calls, 11);
  EXPECT_EQ(binding.GetOwner(), &owner);
  EXPECT_TRUE(binding.CanModify());
  EXPECT_TRUE(VarIsNull(binding.GetStoredValue()));
}

}  // namespace
