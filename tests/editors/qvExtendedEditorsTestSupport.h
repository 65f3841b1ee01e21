// Shared by the extended editors' tests: the two pinned locales (US English and German) with the
// format controller following them, and the pinned clock (Wednesday, 18 March 2026, 10:30).
#pragma once

#include <memory>
#include <ostream>

#include "core/qvFormats.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "support/EnumNames.h"

enum TTestLocale { lcEnglishUS, lcGerman };

inline std::string LocaleName(TTestLocale ALocale) {
  return NameOf(ALocale, {{lcEnglishUS, "EnglishUS"}, {lcGerman, "German"}});
}

inline TFormatSettings LocaleSettings(TTestLocale ALocale) {
  return ALocale == lcEnglishUS ? TFormatSettings::EnglishUS() : TFormatSettings::German();
}

// A date of the tests' tables, without a time.
inline TDateTime D(Word y, Word m, Word d) { return EncodeDate(y, m, d); }

// The pinned clock of these tests.
constexpr double kTestNow = 46099.4375;

// Pins a locale for a scope, with the format controller recomputed for it and again for the
// locale restored at the end.
class TTestLocaleScope {
 public:
  explicit TTestLocaleScope(TTestLocale ALocale) : FScope(LocaleSettings(ALocale)) { GetFormatController()->Update(); }
  ~TTestLocaleScope() = default;
  TTestLocaleScope(const TTestLocaleScope&) = delete;
  TTestLocaleScope& operator=(const TTestLocaleScope&) = delete;

 private:
  struct TRestore {
    ~TRestore() { GetFormatController()->Update(); }
  } FRestore;  // destroyed after the settings scope below has put the old settings back
  TFormatSettingsScope FScope;
};

// A pinned clock and a locale the test may switch.
class TTestLocaleAndClock {
 public:
  explicit TTestLocaleAndClock(TTestLocale ALocale = lcEnglishUS) : FClock(kTestNow) { Use(ALocale); }
  void Use(TTestLocale ALocale) {
    FLocale.reset();
    FLocale = std::make_unique<TTestLocaleScope>(ALocale);
  }

 private:
  TClockScope FClock;
  std::unique_ptr<TTestLocaleScope> FLocale;
};
