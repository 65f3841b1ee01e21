// Values and helpers shared by the run-time library tests: pinned format settings, a NaN, and the
// message of the error an action raises.
#pragma once

#include <functional>
#include <limits>

#include "platform/rtl/SysUtils.h"

inline const TFormatSettings KUS = TFormatSettings::EnglishUS();
inline const TFormatSettings KDE = TFormatSettings::German();

inline constexpr double KNaN = std::numeric_limits<double>::quiet_NaN();

// The message of the `E` that `action` raises, or "no error".
template <class E>
String ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const E& e) {
    return e.Message();
  }
  return "no error";
}
