// Text control figures on the headless backend: a typed character in a long word-wrapped memo,
// a caret position query, and filling a list box.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/os/Backend.h"
#include "platform/os/Windows.h"

namespace {

HWND MakeParent() {
  Headless::Reset();
  WNDCLASSEX wc;
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "TextBench";
  RegisterClassEx(&wc);
  return CreateWindowEx(0, "TextBench", "", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
}

// A memo holding `lines` paragraphs of about 80 characters each, wrapped at 300 pixels.
HWND MakeMemo(int lines) {
  HWND parent = MakeParent();
  HWND memo = CreateWindowEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | WS_VSCROLL, 0, 0, 300, 400, parent,
                             nullptr, nullptr, nullptr);
  std::string text;
  for (int i = 0; i < lines; ++i) text += "Paragraph " + std::to_string(i) + " holds a few words that wrap over two rows.\r\n";
  SendMessage(memo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessage(memo, EM_SETSEL, text.size() / 2, text.size() / 2);
  return memo;
}

void BM_MemoTypeCharacter(benchmark::State& state) {
  HWND memo = MakeMemo(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    SendMessage(memo, WM_CHAR, 'x', 0);
    SendMessage(memo, WM_CHAR, '\b', 0);
  }
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_MemoTypeCharacter)->Arg(100)->Arg(1000);

void BM_MemoPosFromChar(benchmark::State& state) {
  HWND memo = MakeMemo(1000);
  for (auto _ : state) benchmark::DoNotOptimize(SendMessage(memo, EM_POSFROMCHAR, 40000, 0));
}
BENCHMARK(BM_MemoPosFromChar);

void BM_ListBoxAddThousand(benchmark::State& state) {
  HWND parent = MakeParent();
  HWND list = CreateWindowEx(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_SORT | LBS_HASSTRINGS, 0, 0, 200,
                             300, parent, nullptr, nullptr, nullptr);
  for (auto _ : state) {
    SendMessage(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < 1000; ++i)
      SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("item " + std::to_string(i * 7919 % 1000)).c_str()));
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ListBoxAddThousand);

}  // namespace

BENCHMARK_MAIN();
