// Window system figures on the headless backend: message traffic, hit testing and a full repaint
// of a form with a thousand child windows.
#include <benchmark/benchmark.h>

#include "platform/os/Backend.h"
#include "platform/os/Windows.h"

namespace {

LRESULT BenchProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return m == WM_USER ? 1 : DefWindowProc(w, m, wp, lp); }

// A 1280x900 top-level window holding a 40 x 25 grid of clipped child windows.
HWND MakeForm() {
  Headless::Reset();
  WNDCLASSEX wc;
  wc.lpfnWndProc = BenchProc;
  wc.lpszClassName = "Bench";
  RegisterClassEx(&wc);
  HWND top = CreateWindowEx(0, "Bench", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1280, 900, nullptr,
                            nullptr, nullptr, nullptr);
  for (int i = 0; i < 1000; ++i)
    CreateWindowEx(0, "Bench", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, (i % 40) * 32, (i / 40) * 32, 30, 30, top,
                   nullptr, nullptr, nullptr);
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
  return top;
}

void BM_SendMessage(benchmark::State& state) {
  HWND top = MakeForm();
  for (auto _ : state) benchmark::DoNotOptimize(SendMessage(top, WM_USER, 0, 0));
}
BENCHMARK(BM_SendMessage);

void BM_PostPeekDispatch(benchmark::State& state) {
  HWND top = MakeForm();
  MSG m;
  for (auto _ : state) {
    PostMessage(top, WM_USER, 0, 0);
    PeekMessage(&m, nullptr, 0, 0, PM_REMOVE);
    DispatchMessage(&m);
  }
}
BENCHMARK(BM_PostPeekDispatch);

void BM_WindowFromPoint(benchmark::State& state) {
  MakeForm();
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(WindowFromPoint(Point((i * 7) % 1280, (i * 13) % 800)));
    ++i;
  }
}
BENCHMARK(BM_WindowFromPoint);

void BM_MouseMoveRouted(benchmark::State& state) {
  MakeForm();
  MSG m;
  int i = 0;
  for (auto _ : state) {
    Headless::MoveMouse((i * 7) % 1280, (i * 13) % 800);
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
    ++i;
  }
}
BENCHMARK(BM_MouseMoveRouted);

void BM_RepaintThousandChildren(benchmark::State& state) {
  HWND top = MakeForm();
  for (auto _ : state) RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}
BENCHMARK(BM_RepaintThousandChildren)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
