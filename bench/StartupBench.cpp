// Start-up: the time from launching a program until the first pixel of its first window reaches
// the screen, on the SDL backend under a private Xvfb. Each iteration runs this program again with
// --first-window: it shows a form and reports on its standard output once the form's pixels were
// handed to the display. The second figure lets SDL put an OpenGL framebuffer behind the window,
// as it does unless told otherwise, to show what that costs.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/os/Backend.h"
#include "support/XDisplay.h"

namespace {

constexpr const char* kFirstWindow = "--first-window";

int ShowFirstWindow() {
  auto sdl = CreateSdlBackend();
  if (!sdl) return 1;
  SetBackend(std::move(sdl));
  TForm* form = New<TForm>(nullptr);
  form->SetCaption("Start-up");
  form->SetBounds(50, 50, 400, 300);
  auto* panel = New<TPanel>(form);
  panel->SetAlign(alClient);
  panel->SetCaption("First window");
  panel->SetParent(form);
  form->Show();
  Application->ProcessMessages();  // paints, then hands the pixels over as the queue runs dry
  return write(STDOUT_FILENO, "1", 1) == 1 ? 0 : 1;
}

TXvfbServer& Server() {
  static TXvfbServer server;
  static const bool started = server.Start(201);
  (void)started;
  return server;
}

// Launches the first-window run and returns the seconds until it reported; negative on failure.
double LaunchOnce(bool glFramebuffer) {
  int ends[2];
  if (pipe(ends) != 0) return -1;
  auto start = std::chrono::steady_clock::now();
  pid_t child = fork();
  if (child == 0) {
    dup2(ends[1], STDOUT_FILENO);
    close(ends[0]);
    close(ends[1]);
    if (glFramebuffer) setenv("SDL_FRAMEBUFFER_ACCELERATION", "1", 1);
    execl("/proc/self/exe", "StartupBench", kFirstWindow, nullptr);
    _exit(127);
  }
  close(ends[1]);
  char byte = 0;
  bool reported = read(ends[0], &byte, 1) == 1;
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  close(ends[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return reported && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

void FirstWindow(benchmark::State& state, bool glFramebuffer) {
  if (Server().Display().empty()) {
    state.SkipWithError("Xvfb did not start");
    return;
  }
  for (auto _ : state) {
    double seconds = LaunchOnce(glFramebuffer);
    if (seconds < 0) {
      state.SkipWithError("the first-window run failed");
      return;
    }
    state.SetIterationTime(seconds);
  }
}

void BM_FirstWindow(benchmark::State& state) { FirstWindow(state, false); }
BENCHMARK(BM_FirstWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_FirstWindowBehindAnOpenGLFramebuffer(benchmark::State& state) { FirstWindow(state, true); }
BENCHMARK(BM_FirstWindowBehindAnOpenGLFramebuffer)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == kFirstWindow) return ShowFirstWindow();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
