// Shared by the data controller benchmarks: a plain item for unbound controllers and a
// scrambling of record numbers into well-spread keys.
#pragma once

#include <cstdint>

#include "platform/rtl/System.h"

class TBenchItem : public TObject {
  QJ_INLINE_CLASS(TBenchItem, TObject)
};

inline uint32_t Scramble(uint32_t AValue) {
  AValue ^= AValue >> 16;
  AValue *= 0x7feb352d;
  AValue ^= AValue >> 15;
  AValue *= 0x846ca68b;
  return AValue ^ (AValue >> 16);
}
