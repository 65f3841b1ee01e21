// Helpers of the end-to-end tests on the SDL backend under Xvfb: whether the tools are there,
// running a test in a fresh run of its program, the application's loop on real time, and X input
// through xdotool.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "platform/forms/Forms.h"
#include "platform/os/Backend.h"
#include "platform/os/Gdi.h"
#include "support/XDisplay.h"

inline bool HaveTools() { return !FindProgram("Xvfb").empty() && !FindProgram("xdotool").empty(); }

// True in the fresh run of the program that runs the current test for real (see RunInChild); in
// the test's own run, starts that run and checks that it passed.
inline bool InOwnProcess() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  if (IsChildRunOf(name)) return true;
  std::string output;
  EXPECT_EQ(RunInChild(name, output), 0) << output;
  return false;
}

// Runs the application's loop on real time until the condition holds or the limit passes (twenty
// seconds by default, generous: X input reaches us late while the machine is busy building).
inline bool PumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds limit = std::chrono::seconds(20)) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    Application->ProcessMessages();
    if (done()) return true;
    Backend().WaitEvents(10);
  }
  return done();
}

// Runs xdotool with the arguments; true when it succeeded.
inline bool XDo(const std::string& args) { return std::system((FindProgram("xdotool") + " " + args).c_str()) == 0; }

// Xvfb on the first free display from Display, then the SDL backend on it with the default
// system colours; false when either cannot start.
inline bool StartSdlScreen(TXvfbServer& Server, int Display, int Dpi = 0) {
  if (!Server.Start(Display, "800x600x24", Dpi)) return false;
  Headless::Reset();
  auto sdl = CreateSdlBackend();
  if (!sdl) return false;
  SetBackend(std::move(sdl));
  ResetSysColors();
  return true;
}

// Frees every form, then goes back to a fresh headless backend.
inline void CloseSdlScreen() {
  while (Screen->GetCustomFormCount() > 0) Free(Screen->GetCustomForm(Screen->GetCustomFormCount() - 1));
  Headless::Reset();
  SetBackend(CreateHeadlessBackend());
}

// A test on the SDL backend under Xvfb with a library's units (the look-and-feel units, the tree
// list's ...) started on that screen: their hooks belong to it, so they go before it closes.
template <class TUnits>
class TSdlUnitsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (!FUnits) return;
    while (Screen->GetCustomFormCount() > 0) Free(Screen->GetCustomForm(Screen->GetCustomFormCount() - 1));
    FUnits.reset();
    CloseSdlScreen();
  }

  void StartScreen(int display) {
    ASSERT_TRUE(StartSdlScreen(FServer, display)) << "Xvfb or the SDL backend did not start";
    FUnits = std::make_unique<TUnits>();
  }

  TXvfbServer FServer;
  std::unique_ptr<TUnits> FUnits;
};
