// Compiles arbitrary classic masks and merges, converts and validates arbitrary texts with them:
// nothing may crash, and a merged text always has one character per position.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>

#include "editors/qvStandardMask.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

// Input: a flags byte (bit 0: merge with converted case), the mask's length, the mask, the text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const bool useConverted = data[0] & 1;
  const size_t maskLength = std::min<size_t>(data[1], size - 2);
  const String maskText(reinterpret_cast<const char*>(data + 2), maskLength);
  const String text(reinterpret_cast<const char*>(data + 2 + maskLength), size - 2 - maskLength);

  TqvStandardMask mask;
  mask.Compile(maskText);
  const size_t count = static_cast<size_t>(mask.GetCount());
  Check(mask.GetEmptyTemplate().size() == count);
  Check(mask.GetEmptyText().size() <= count);

  String unchecked = text;
  mask.IsValid(unchecked);
  Check(unchecked.size() == text.size());

  String merged = text;
  mask.Merge(merged, useConverted);
  Check(merged.size() == count);
  mask.IsValid(merged);
  String value = merged;
  mask.GetValueForm(value);
  Check(value.size() <= count);
  return 0;
}
