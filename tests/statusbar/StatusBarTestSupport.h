// Fixture of the status bar tests: the look-and-feel fixture (clean headless window system,
// classic colours, themes on, a 64 x 64 canvas) plus forms freed after each test, bars on shown
// forms with their pixels, and helpers that run the message loop until something happened.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

#include "lookandfeel/LookAndFeelTestSupport.h"
#include "support/ControlPixels.h"
#include "support/KeyInput.h"
#include "platform/forms/Forms.h"
#include "statusbar/zmStatusBar.h"

inline std::ostream& operator<<(std::ostream& os, const TSize& s) { return os << s.cx << "x" << s.cy; }

class TStatusBarTest : public TLookAndFeelTest {
 protected:
  void SetUp() override {
    TLookAndFeelTest::SetUp();
    Headless::SetThreadWait(0);
    Headless::MoveMouse(1270, 1010);
  }
  void TearDown() override {
    while (Screen->GetCustomFormCount() > 0) Free(Screen->GetCustomForm(Screen->GetCustomFormCount() - 1));
    TLookAndFeelTest::TearDown();
  }

  TRgb Pixel(Integer x, Integer y) const { return {PixelRGB(x, y)}; }
  static TRgb Rgb(TColor c) { return {ColorToRGB(c)}; }

  // A form of the given client size, not shown yet.
  static TForm* NewForm(Integer w = 400, Integer h = 120, TFormBorderStyle ABorderStyle = bsSizeable) {
    auto* f = New<TForm>(nullptr);
    f->SetBorderStyle(ABorderStyle);
    f->SetBounds(50, 50, w, h);
    f->SetClientWidth(w);
    f->SetClientHeight(h);
    return f;
  }
  // A bar docked at the bottom of AForm.
  static TzmStatusBar* AddBar(TForm* AForm) {
    auto* bar = New<TzmStatusBar>(AForm);
    bar->SetParent(AForm);
    return bar;
  }
  // A panel with the style of that class name (none for an empty name).
  static TzmStatusBarPanel* AddPanel(TzmCustomStatusBar* ABar, const char* AStyleClassName = "") {
    TzmStatusBarPanel* panel = ABar->GetPanels()->Add();
    panel->SetPanelStyleClassName(AStyleClassName);
    return panel;
  }
  static void Show(TForm* AForm) {
    AForm->Show();
    Pump();
  }
  // Paints what waits to be painted.
  static void Repaint(TControl* AControl) {
    AControl->Repaint();
    Pump();
  }

  // The pixel of a control's client point on its shown form.
  static TRgb ControlPixel(TControl* AControl, TPoint P) {
    return ControlPixelOf(AControl, P);
  }
  // The bounding box of the pixels of R (client coordinates of AControl) that are not
  // ABackground: text ink, anti-aliased edges included.
  static TRect ControlInkBox(TControl* AControl, const TRect& R, TColor ABackground) {
    TRect box{R.Right, R.Bottom, R.Left, R.Top};
    for (Integer y = R.Top; y < R.Bottom; ++y)
      for (Integer x = R.Left; x < R.Right; ++x)
        if (!(ControlPixel(AControl, {x, y}) == Rgb(ABackground))) {
          box.Left = std::min(box.Left, x);
          box.Top = std::min(box.Top, y);
          box.Right = std::max(box.Right, x + 1);
          box.Bottom = std::max(box.Bottom, y + 1);
        }
    return box.Right <= box.Left ? TRect() : box;
  }
  // Whether any pixel of R (client coordinates of AControl) has the colour.
  static bool Shows(TControl* AControl, const TRect& R, TColor AColor) {
    for (Integer y = R.Top; y < R.Bottom; ++y)
      for (Integer x = R.Left; x < R.Right; ++x)
        if (ControlPixel(AControl, {x, y}) == Rgb(AColor)) return true;
    return false;
  }

  // Whether R shows text ink of a colour on a background: a pixel nearer the ink than the
  // background (anti-aliased text has few pixels of the exact colour).
  static bool ShowsInk(TControl* AControl, const TRect& R, TColor AInk, TColor ABackground = clBtnFace) {
    return ControlShowsInk(AControl, R, AInk, ABackground);
  }

  // Runs the message loop until the condition holds; false when it did not within a generous
  // guard time (a hang, not a measurement).
  static bool PumpUntil(const std::function<bool()>& ACondition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      Pump();
      if (ACondition()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
  }
};
