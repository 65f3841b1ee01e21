// Fixture of the control tests: a clean headless window system with the classic colours and
// themes on, the look-and-feel units alive, forms freed after each test, and input injected at
// client points of a control as a hand would make it.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "lookandfeel/qvControls.h"
#include "lookandfeel/zmThemeManager.h"
#include "platform/forms/Forms.h"
#include "platform/os/Backend.h"
#include "platform/os/Gdi.h"
#include "support/EnumNames.h"
#include "support/KeyInput.h"
#include "support/PixelProbe.h"


inline std::string ScrollCodeName(TScrollCode c) {
  return NameOf(c, {{scLineUp, "LineUp"}, {scLineDown, "LineDown"}, {scPageUp, "PageUp"}, {scPageDown, "PageDown"},
                    {scPosition, "Position"}, {scTrack, "Track"}, {scTop, "Top"}, {scBottom, "Bottom"},
                    {scEndScroll, "EndScroll"}});
}

class TqvControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string(Backend().Name()) != "headless") SetBackend(CreateHeadlessBackend());
    Headless::Reset();
    Headless::SetThreadWait(0);
    ResetSysColors();
    ThemeEngine::SetEnabled(true);
    Headless::MoveMouse(1270, 1010);
    FUnits = std::make_unique<TqvLookAndFeelUnits>();
  }
  void TearDown() override {
    Headless::SetIdleHandler(nullptr);
    while (Screen->GetCustomFormCount() > 0) Free(Screen->GetCustomForm(Screen->GetCustomFormCount() - 1));
    Application->CancelHint();
    Application->OnException = nullptr;
    Screen->SetCursor(crDefault);
    FUnits.reset();
    ThemeEngine::SetEnabled(true);
    ResetSysColors();
    Headless::Reset();
  }

  // A shown form of the given client size at (0, 0).
  static TForm* NewForm(Integer w = 400, Integer h = 300) {
    auto* f = New<TForm>(nullptr);
    f->SetBounds(0, 0, w, h);
    f->SetClientWidth(w);
    f->SetClientHeight(h);
    return f;
  }
  template <class T>
  static T* Add(TWinControl* parent, TRect bounds) {
    auto* c = New<T>(parent);
    c->SetBoundsRect(bounds);
    c->SetParent(parent);
    return c;
  }
  static void Show(TForm* f) {
    f->Show();
    Pump();
  }

  // Input at a client point of a control, pumped.
  static void MoveTo(TControl* c, TPoint p) {
    const TPoint s = c->ClientToScreen(p);
    Headless::MoveMouse(s.X, s.Y);
    Pump();
  }
  static void Down(TControl* c, TPoint p, int button = 0) {
    MoveTo(c, p);
    Headless::MouseDown(button);
    Pump();
  }
  static void Up(int button = 0) {
    Headless::MouseUp(button);
    Pump();
  }
  static void Click(TControl* c, TPoint p, int button = 0) {
    Down(c, p, button);
    Up(button);
  }
  static void Wait(DWORD ms) {
    Headless::AdvanceClock(ms);
    Pump();
  }

 private:
  std::unique_ptr<TqvLookAndFeelUnits> FUnits;
};
