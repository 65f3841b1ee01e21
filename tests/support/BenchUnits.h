// The headless backend and the look-and-feel units, made once for a benchmark program before
// its first control.
#pragma once

#include "lookandfeel/qvLookAndFeels.h"
#include "platform/os/Backend.h"

inline void EnsureBenchUnits() {
  struct TUnits {
    TUnits() { SetBackend(CreateHeadlessBackend()); }
    TqvLookAndFeelUnits Units;
  };
  static TUnits units;
}
