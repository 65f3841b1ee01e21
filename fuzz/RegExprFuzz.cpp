// Compiles arbitrary patterns and steps the automaton through arbitrary keys: whatever the bytes,
// compiling ends with success or a compile error, and every character taken (typed or forced)
// can be stepped back exactly once.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>

#include "editors/qvRegExpr.h"

namespace {

// Keys after the pattern: these three are commands, every other byte is typed.
constexpr uint8_t KeyStepBack = 0x7F;
constexpr uint8_t KeyRestart = 0x7E;
constexpr uint8_t KeyToggleUpdate = 0x7D;

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

// Input: a flags byte (bit 0 update-on, bit 1 case-insensitive), the pattern's length, the
// pattern, then the keys.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t flags = data[0];
  const size_t patternLength = std::min<size_t>(data[1], size - 2);
  const String pattern(reinterpret_cast<const char*>(data + 2), patternLength);
  const uint8_t* keys = data + 2 + patternLength;
  const size_t keyCount = size - 2 - patternLength;

  TqvRegExpr expr;
  Int64 taken = 0;  // characters the automaton stands after
  expr.OnAddChar = [&](char) { ++taken; };
  expr.OnDeleteChar = [&] { --taken; };
  expr.SetUpdateOn(flags & 1);
  expr.SetCaseInsensitive(flags & 2);
  TStringStream source(pattern);
  try {
    expr.Compile(&source);
  } catch (const EqvRegExprError& e) {
    Check(e.GetErrors().GetCount() > 0);
    Check(!expr.IsCompiled());
    return 0;
  }
  for (size_t i = 0; i < keyCount; ++i) {
    switch (keys[i]) {
      case KeyStepBack:
        if (expr.StepBack()) --taken;
        break;
      case KeyRestart:
        expr.Restart();
        taken = 0;
        break;
      case KeyToggleUpdate:
        expr.SetUpdateOn(!expr.GetUpdateOn());
        break;
      default: {
        char ch = static_cast<char>(keys[i]);
        if (expr.ConsumeChar(ch))
          ++taken;
        else
          Check(ch == static_cast<char>(keys[i]));
        break;
      }
    }
    Check(taken >= 0);
  }
  expr.SetUpdateOn(false);
  for (; taken > 0; --taken) Check(expr.StepBack());
  Check(expr.AtStart());
  Check(!expr.StepBack());
  expr.FilterText(String(reinterpret_cast<const char*>(keys), keyCount));
  return 0;
}
