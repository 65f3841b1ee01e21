// Locale values for number, currency and date text.
//
// One process-wide object, deterministic English (United States) by default; it never reads the
// host locale. Tests pin other values with TFormatSettingsScope; listeners hear every change.
#pragma once

#include <functional>

#include "platform/rtl/System.h"

struct TFormatSettings {
  Byte CurrencyFormat = 0;     // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
  Byte NegCurrFormat = 0;      // 0 "($1)" ... 15, as on the original platform
  char ThousandSeparator = ',';
  char DecimalSeparator = '.';
  Byte CurrencyDecimals = 2;
  char DateSeparator = '/';
  char TimeSeparator = ':';
  char ListSeparator = ',';
  String CurrencyString = "$";
  String ShortDateFormat = "M/d/yyyy";
  String LongDateFormat = "dddd, MMMM dd, yyyy";
  String TimeAMString = "AM";
  String TimePMString = "PM";
  String ShortTimeFormat = "h:mm AMPM";
  String LongTimeFormat = "h:mm:ss AMPM";
  String ShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  String LongMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
  String ShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  String LongDayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  Byte FirstDayOfWeek = 6;  // 0 = Monday ... 6 = Sunday, as the locale gives it
  Word TwoDigitYearCenturyWindow = 50;

  static TFormatSettings EnglishUS() { return TFormatSettings(); }
  static TFormatSettings German();  // a second fixed locale for tests: "," decimals, "." dates
};

// The settings every formatting routine reads unless it is handed its own.
const TFormatSettings& FormatSettings();
// Replaces the settings and tells every listener.
void SetFormatSettings(const TFormatSettings& fs);

// Listeners of the "locale changed" signal. The handle removes the listener.
using TFormatSettingsListener = std::function<void()>;
Integer AddFormatSettingsListener(TFormatSettingsListener listener);
void RemoveFormatSettingsListener(Integer handle);

// Pins settings for a scope (tests), restoring the previous ones at its end.
class TFormatSettingsScope {
 public:
  explicit TFormatSettingsScope(const TFormatSettings& fs);
  ~TFormatSettingsScope();
  TFormatSettingsScope(const TFormatSettingsScope&) = delete;
  TFormatSettingsScope& operator=(const TFormatSettingsScope&) = delete;

 private:
  TFormatSettings FSaved;
};
