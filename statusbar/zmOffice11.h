// The gradient colour scheme of the status bar's gradient painter: bar, separator and grip
// colours picked by the active theme, shared by every status bar that holds a reference, and the
// vertical gradient and the dotted size grip drawn with them.
#pragma once

#include "lookandfeel/qvGraphics.h"

// The schemes in their fixed order; the system-colour scheme is used unless one of the three
// named themes is active.
enum TzmOffice11Scheme { osSystemColors, osBlue, osOlive, osSilver };

struct TzmOffice11Colors {
  TColor BarColor1 = clNone;  // the gradient's start (top of the bar)
  TColor BarColor2 = clNone;  // its end (bottom)
  TColor SeparatorDarkColor = clNone;
  TColor SeparatorLightColor = clNone;
  TColor GripDarkColor = clNone;
  TColor GripLightColor = clNone;
  // Where the gradient's middle colour lies between the two bar colours, in half percent.
  Integer MiddlePosition = 0;
};

namespace zmOffice11 {

// Every status bar holds one reference while it lives: the first computes the colours.
void AddRef();
void Release();
Integer GetReferenceCount();
// Computes the colours again from the scheme and the system colours (after a system colour
// change).
void Refresh();
// The colours as last computed; computed now when they never were.
const TzmOffice11Colors& GetColors();

// The scheme of the active theme: a named colour of the gradient theme file, else the system
// colours.
TzmOffice11Scheme GetScheme();
// The table of a scheme, with the system colours as they are now.
TzmOffice11Colors GetSchemeColors(TzmOffice11Scheme AScheme);

// Per channel MulDiv(a, Percent, 100) + MulDiv(b, 100 - Percent, 100), capped at 255, then the
// nearest colour the screen shows. System colours are resolved first.
TColor MixColors(TColor A, TColor B, Integer Percent);

// A two-segment gradient over R, from C1 at the start through the middle colour to C2 at the
// end, in at most 256 solid bands; vertical unless AHorizontal. The middle colour lies at
// AMiddlePosition (see TzmOffice11Colors) and fills the band in the middle. An empty R draws
// nothing and a one-pixel R shows the middle colour.
void FillGradientRect(TqvCanvas* ACanvas, const TRect& R, TColor C1, bool AHorizontal, TColor C2,
                      Integer AMiddlePosition);
// The same with the middle position of the current colours.
void FillGradientRect(TqvCanvas* ACanvas, const TRect& R, TColor C1, bool AHorizontal, TColor C2);
// Three rows of 2 x 2 grip dots (3, 2 and 1, bottom-up) in R's bottom-right corner, in the grip
// colours.
void DrawSizeGripDots(TqvCanvas* ACanvas, const TRect& R);

}  // namespace zmOffice11
