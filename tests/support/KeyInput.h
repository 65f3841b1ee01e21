// Keys and text for tests of controls on the headless screen, delivered through the
// application's message loop; with the idle-loop scripts of IdleScript.h for input that a modal
// loop (a menu, a dialog) must receive while it runs.
#pragma once

#include "platform/forms/Forms.h"
#include "platform/os/Backend.h"
#include "support/IdleScript.h"

// Handles every message waiting, through the application's loop.
inline void Pump() { Application->ProcessMessages(); }

// A key pressed and released (with AShift's modifiers held), and what it caused handled.
inline void Press(BYTE AKey, unsigned AShift = skNone) {
  Headless::PressKey(AKey, AShift);
  Pump();
}

// Text typed key by key, and what it caused handled.
inline void Type(const String& AText) {
  Headless::TypeText(AText);
  Pump();
}
