// The regular-expression masks: compiling the grid's hexadecimal mask and a 40-element pattern,
// and stepping 10,000 typed characters through each (time per character in "per_char").
#include <benchmark/benchmark.h>

#include "editors/qvRegExpr.h"

namespace {

constexpr Integer kCharacters = 10000;

const char* const kHexMask = "(\\d | [A-F] | [a-f])+";

// Forty elements (classes, literals, groups, quantifiers, separators), repeated.
const char* const kFortyElements[] = {
    "\\d",   "\\d",   "\\d", "\\d", "-",   "[A-F]",      "\\d", "[A-F]", "\\d",  "-",
    "\\w",   "\\w",   "\\w", "\\w", "-",   "(ab|cd|ef)", "x?",  "y*",    "z+",   "[^!]",
    "'q'",   ".",     "\\s", "[0-9a-f]", "\\D", "k",   "(m|n)", "o",   "p",    "\\S",
    "[g-j]", "/",     ":",   "t",   "u",   "v",          "w",   "\\W",   "#",    ";",
};
// One round of text through the forty elements.
const char* const kFortyElementsRound = "1234-A1B2-abcd-cdzzaq. 7Zknopxg/:tuvw!#;";

String FortyElementPattern() {
  String pattern = "(";
  for (const char* element : kFortyElements) pattern += element;
  return pattern + ")+";
}

String Repeated(const String& ARound) {
  String text;
  while (Length(text) < kCharacters) text += ARound;
  return text.substr(0, kCharacters);
}

void Compile(TqvRegExpr& AExpr, const String& APattern) {
  TStringStream source(APattern);
  AExpr.Compile(&source);
}

void CompileBench(benchmark::State& state, const String& APattern) {
  for (auto _ : state) {
    TqvRegExpr expr;
    Compile(expr, APattern);
    benchmark::DoNotOptimize(expr.IsCompiled());
  }
}

void StepBench(benchmark::State& state, const String& APattern, const String& AText) {
  TqvRegExpr expr;
  expr.SetCaseInsensitive(state.range(0) != 0);
  Compile(expr, APattern);
  for (auto _ : state) {
    expr.Restart();
    for (char c : AText)
      if (!expr.ConsumeChar(c)) {
        state.SkipWithError("a character of the text was refused");
        return;
      }
    benchmark::DoNotOptimize(expr.IsComplete());
  }
  state.SetItemsProcessed(state.iterations() * kCharacters);
  state.counters["per_char"] =
      benchmark::Counter(kCharacters, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_CompileHexMask(benchmark::State& state) { CompileBench(state, kHexMask); }
BENCHMARK(BM_CompileHexMask);

void BM_CompileFortyElements(benchmark::State& state) { CompileBench(state, FortyElementPattern()); }
BENCHMARK(BM_CompileFortyElements);

// Argument: case-insensitive (the mask edit's default) or not.
void BM_StepHexMask(benchmark::State& state) { StepBench(state, kHexMask, Repeated("0123456789abcdefABCDEF")); }
BENCHMARK(BM_StepHexMask)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_StepFortyElements(benchmark::State& state) {
  StepBench(state, FortyElementPattern(), Repeated(kFortyElementsRound));
}
BENCHMARK(BM_StepFortyElements)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
