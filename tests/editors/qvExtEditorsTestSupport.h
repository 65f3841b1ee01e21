// Helpers of the editors' tests on shown controls: the centre of a client rectangle (where a click
// lands) and the colour a shown control has on screen at one of its client points.
#pragma once

#include "platform/forms/Controls.h"
#include "platform/os/Backend.h"
#include "platform/os/Surface.h"
#include "platform/os/Windows.h"

inline TPoint RectCentre(const TRect& R) { return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }

// The pixel of the top-level window's surface under AControl's client point P, as a COLORREF;
// 0xFFFFFFFF when the point lies outside the window.
inline COLORREF ScreenPixelOf(TControl* AControl, TPoint P) {
  TWinControl* top = AControl->GetParent() ? AControl->GetParent() : static_cast<TWinControl*>(AControl);
  while (top->GetParent()) top = top->GetParent();
  const TSurface* surface = Headless::WindowSurface(top->GetHandle());
  if (!surface) return 0xFFFFFFFF;
  RECT window;
  GetWindowRect(top->GetHandle(), &window);
  const TPoint s = AControl->ClientToScreen(P);
  const Integer x = s.X - window.Left, y = s.Y - window.Top;
  if (x < 0 || y < 0 || x >= surface->Width || y >= surface->Height) return 0xFFFFFFFF;
  const uint32_t p = surface->Row(y)[x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}
