// Fixture of the status bar tests: the look-and-feel fixture (clean headless window system,
// classic colours, themes on, a 64 x 64 canvas) plus forms freed after each test, and helpers
// that run the message loop until something happened.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

#include "lookandfeel/LookAndFeelTestSupport.h"
#include "platform/forms/Forms.h"

inline std::ostream& operator<<(std::ostream& os, const TSize& s) { return os << s.cx << "x" << s.cy; }

// Prints a colour as r,g,b.
struct TRgb {
  COLORREF Value;
  friend bool operator==(TRgb a, TRgb b) { return a.Value == b.Value; }
  friend std::ostream& operator<<(std::ostream& os, TRgb c) {
    return os << "rgb(" << Integer(GetRValue(c.Value)) << "," << Integer(GetGValue(c.Value)) << ","
              << Integer(GetBValue(c.Value)) << ")";
  }
};

class TStatusBarTest : public TLookAndFeelTest {
 protected:
  void SetUp() override {
    TLookAndFeelTest::SetUp();
    Headless::SetThreadWait(0);
  }
  void TearDown() override {
    while (Screen->GetCustomFormCount() > 0) Free(Screen->GetCustomForm(Screen->GetCustomFormCount() - 1));
    TLookAndFeelTest::TearDown();
  }

  TRgb Pixel(Integer x, Integer y) const { return {PixelRGB(x, y)}; }
  static TRgb Rgb(TColor c) { return {ColorToRGB(c)}; }

  // A shown form of the given client size.
  static TForm* NewForm(Integer w = 400, Integer h = 120) {
    auto* f = New<TForm>(nullptr);
    f->SetBounds(50, 50, w, h);
    f->SetClientWidth(w);
    f->SetClientHeight(h);
    return f;
  }

  // Runs the message loop until the condition holds; false when it did not within a generous
  // guard time (a hang, not a measurement).
  static bool PumpUntil(const std::function<bool()>& ACondition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      Application->ProcessMessages();
      if (ACondition()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
  }
};
