// Scripts of steps run from the idle loop of the headless backend: each time a message loop (a
// modal form, a menu, a message box, a moving or sizing loop) runs out of messages, the next step
// runs, as a hand acts once the screen settled. Steps may inject input or just look; a loop whose
// step injected nothing waits on (and, with no timer pending, raises as the headless backend does
// for a loop that can never wake). A script stays installed until another replaces it or the
// backend is reset.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/os/Backend.h"

using TInputStep = std::function<void()>;

// Runs ASteps one per idle turn of whichever loop is waiting. AReady, when given, holds the
// steps back on the idle turns where it answers false.
inline void RunWhenIdle(std::vector<TInputStep> ASteps, std::function<bool()> AReady = nullptr) {
  auto steps = std::make_shared<std::vector<TInputStep>>(std::move(ASteps));
  auto next = std::make_shared<size_t>(0);
  Headless::SetIdleHandler([steps, next, AReady] {
    if (*next >= steps->size() || (AReady && !AReady())) return;
    // A copy: the step may install another script, which frees this one.
    TInputStep step = (*steps)[(*next)++];
    step();
  });
}

// Runs AStep once, the first time a loop runs out of messages.
inline void OnceIdle(TInputStep AStep) { RunWhenIdle({std::move(AStep)}); }
