// Pixels of controls on shown forms of the headless backend: a colour that prints as r,g,b, the
// pixel of a client point, whether a rectangle shows text ink of a colour, and a repaint over a
// sentinel colour that shows what a control leaves unpainted.
#pragma once

#include <ostream>
#include <vector>

#include "platform/forms/Forms.h"
#include "platform/os/Backend.h"

struct TRgb {
  COLORREF Value;
  friend bool operator==(TRgb a, TRgb b) { return a.Value == b.Value; }
  friend std::ostream& operator<<(std::ostream& os, TRgb c) {
    return os << "rgb(" << Integer(GetRValue(c.Value)) << "," << Integer(GetGValue(c.Value)) << ","
              << Integer(GetBValue(c.Value)) << ")";
  }
};

// The pixel of a control's client point on its shown form.
inline TRgb ControlPixelOf(TControl* AControl, TPoint P) {
  TCustomForm* form = GetParentForm(AControl);
  const TSurface* s = Headless::WindowSurface(form->GetHandle());
  RECT win;
  GetWindowRect(form->GetHandle(), &win);
  const TPoint screen = AControl->ClientToScreen(P);
  const uint32_t p = s->Row(screen.Y - win.Top)[screen.X - win.Left];
  return {RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF)};
}

// Whether R (client coordinates) shows ink of a colour on a background: a pixel nearer the ink
// than the background (anti-aliased text has few pixels of the exact colour).
inline bool ControlShowsInk(TControl* AControl, const TRect& R, TColor AInk, TColor ABackground) {
  const COLORREF ink = ColorToRGB(AInk), back = ColorToRGB(ABackground);
  auto distance = [](COLORREF a, COLORREF b) {
    auto d = [](Integer x, Integer y) { return (x - y) * (x - y); };
    return d(GetRValue(a), GetRValue(b)) + d(GetGValue(a), GetGValue(b)) + d(GetBValue(a), GetBValue(b));
  };
  for (Integer y = R.Top; y < R.Bottom; ++y)
    for (Integer x = R.Left; x < R.Right; ++x) {
      const COLORREF p = ControlPixelOf(AControl, {x, y}).Value;
      if (distance(p, ink) < distance(p, back)) return true;
    }
  return false;
}

// A colour no control paints. A pixel test fills a control's client area with it and then has
// the control paint again, so pixels the control leaves unpainted keep it and show.
constexpr COLORREF SentinelRGB = RGB(0x13, 0xE7, 0x5B);

inline void RepaintOverSentinel(TWinControl* AControl) {
  HDC dc = GetDC(AControl->GetHandle());
  HBRUSH brush = CreateSolidBrush(SentinelRGB);
  RECT r{0, 0, AControl->GetClientWidth(), AControl->GetClientHeight()};
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  ReleaseDC(AControl->GetHandle(), dc);
  AControl->Invalidate();
  Application->ProcessMessages();
}

// The pixels of a control's client area, row by row.
inline std::vector<COLORREF> ControlPixelsOf(TControl* AControl) {
  std::vector<COLORREF> pixels;
  for (Integer y = 0; y < AControl->GetClientHeight(); ++y)
    for (Integer x = 0; x < AControl->GetClientWidth(); ++x) pixels.push_back(ControlPixelOf(AControl, {x, y}).Value);
  return pixels;
}
