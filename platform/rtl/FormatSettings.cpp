#include "platform/rtl/FormatSettings.h"

#include <map>
#include <mutex>
#include <vector>

namespace {

TFormatSettings& GlobalSettings() {
  static TFormatSettings settings;
  return settings;
}

// Listeners are kept by handle so that removal is cheap and a listener may remove itself
// (or others) while the change is being announced.
struct TListenerRegistry {
  std::mutex Lock;
  Integer NextHandle = 1;
  std::map<Integer, TFormatSettingsListener> Listeners;
};

// Never freed: listeners may leave while the program's static objects are destroyed.
TListenerRegistry& ListenerRegistry() {
  static TListenerRegistry* const registry = new TListenerRegistry;
  return *registry;
}

std::vector<Integer> ListenerHandles() {
  TListenerRegistry& reg = ListenerRegistry();
  std::lock_guard<std::mutex> guard(reg.Lock);
  std::vector<Integer> handles;
  for (const auto& [handle, listener] : reg.Listeners) handles.push_back(handle);
  return handles;
}

TFormatSettingsListener FindListener(Integer handle) {
  TListenerRegistry& reg = ListenerRegistry();
  std::lock_guard<std::mutex> guard(reg.Lock);
  auto it = reg.Listeners.find(handle);
  return it == reg.Listeners.end() ? TFormatSettingsListener() : it->second;
}

void NotifyListeners() {
  for (Integer handle : ListenerHandles()) {
    // A listener removed by an earlier one in this round is no longer called.
    TFormatSettingsListener listener = FindListener(handle);
    if (listener) listener();
  }
}

}  // namespace

TFormatSettings TFormatSettings::German() {
  TFormatSettings fs;
  fs.CurrencyFormat = 3;
  fs.NegCurrFormat = 8;
  fs.ThousandSeparator = '.';
  fs.DecimalSeparator = ',';
  fs.CurrencyDecimals = 2;
  fs.DateSeparator = '.';
  fs.TimeSeparator = ':';
  fs.ListSeparator = ';';
  fs.CurrencyString = "\x80";  // the euro sign of the code page
  fs.ShortDateFormat = "dd.MM.yyyy";
  fs.LongDateFormat = "dddd, d. MMMM yyyy";
  fs.TimeAMString = "";
  fs.TimePMString = "";
  fs.ShortTimeFormat = "HH:mm";
  fs.LongTimeFormat = "HH:mm:ss";
  const char* shortMonths[12] = {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun",
                                 "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
  const char* longMonths[12] = {"Januar", "Februar", "M\xE4rz",    "April",   "Mai",      "Juni",
                                "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
  const char* shortDays[7] = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
  const char* longDays[7] = {"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                             "Donnerstag", "Freitag", "Samstag"};
  for (int i = 0; i < 12; ++i) {
    fs.ShortMonthNames[i] = shortMonths[i];
    fs.LongMonthNames[i] = longMonths[i];
  }
  for (int i = 0; i < 7; ++i) {
    fs.ShortDayNames[i] = shortDays[i];
    fs.LongDayNames[i] = longDays[i];
  }
  fs.FirstDayOfWeek = 0;
  return fs;
}

const TFormatSettings& FormatSettings() { return GlobalSettings(); }

void SetFormatSettings(const TFormatSettings& fs) {
  GlobalSettings() = fs;
  NotifyListeners();
}

Integer AddFormatSettingsListener(TFormatSettingsListener listener) {
  TListenerRegistry& reg = ListenerRegistry();
  std::lock_guard<std::mutex> guard(reg.Lock);
  Integer handle = reg.NextHandle++;
  reg.Listeners.emplace(handle, std::move(listener));
  return handle;
}

void RemoveFormatSettingsListener(Integer handle) {
  TListenerRegistry& reg = ListenerRegistry();
  std::lock_guard<std::mutex> guard(reg.Lock);
  reg.Listeners.erase(handle);
}

TFormatSettingsScope::TFormatSettingsScope(const TFormatSettings& fs) : FSaved(FormatSettings()) {
  SetFormatSettings(fs);
}

TFormatSettingsScope::~TFormatSettingsScope() {
  // A destructor must not throw: the settings are restored even if a listener fails.
  try {
    SetFormatSettings(FSaved);
  } catch (...) {
  }
}
