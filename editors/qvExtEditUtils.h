// Routines the label, the colour combo box, the track bar and the progress bar share: a colour
// swatch, a two-colour frame and the pointed track-bar thumbs; DrawText flags from alignments;
// the focus rectangle of a focused standalone editor; a parent's background under a transparent
// control; and small checks and conversions of values and texts. They keep no state.
//
// The keyboard's shift state is GetCurrentShiftState (lookandfeel/qvContainer.h); rectangle
// widths and heights are TRect::Width and TRect::Height.
#pragma once

#include "editors/qvDrawTextUtils.h"
#include "editors/qvEdit.h"
#include "lookandfeel/qvLookAndFeels.h"

class TControl;

// A count of at least one (sizes and steps); setters raise smaller values to 1.
using TqvNaturalNumber = Integer;
// A border inset of 0 or more pixels.
using TqvBorderWidth = SmallInt;

// The kinds of swatch DrawColorBox paints inside its two frames.
enum TqvColorBoxKind : Byte {
  cbkEmpty = 0,      // filled with the outer frame colour
  cbkColor = 1,      // filled with the colour (also 3 and 4)
  cbkHatched = 2,    // the colour cross-hatched over the outer frame colour
  cbkFramesOnly = 5  // and above: the two frames alone
};

// A 1-pixel frame in AOuterFrameColor around R, one in AInnerFrameColor inside it, then the
// inside by AKind. Nothing for a rectangle without width or height. Leaves the brush solid.
void DrawColorBox(TqvCanvas* ACanvas, const TRect& R, TColor AInnerFrameColor, Byte AKind, TColor AOuterFrameColor,
                  TColor AColor);
// Lines on the pixel columns and rows R.Left..R.Right and R.Top..R.Bottom (both ends included):
// left and top in ALeftTopColor, right and bottom in ARightBottomColor. AInnerRect is R less one
// pixel on every side.
void DrawTwoColorFrame(TqvCanvas* ACanvas, const TRect& R, TColor ALeftTopColor, TRect& AInnerRect,
                       TColor ARightBottomColor);
// Moves each side of R by its delta; returns R.
TRect ExtendRect(TRect& R, Integer DLeft, Integer DTop, Integer DRight, Integer DBottom);

// ABase or-ed with the alignment flags, DT_END_ELLIPSIS, DT_WORDBREAK and, for a positive
// AExpandTabs, DT_EXPANDTABS | DT_TABSTOP.
UINT MakeDrawTextFlags(UINT ABase, TAlignment AHorz, TqvEditVertAlignment AVert, bool AEndEllipsis, bool AWordBreak,
                       Integer AExpandTabs);

// Bounds a view data measures an editor in (larger than any control): no layout is made for
// them.
inline bool IsMeasuringBounds(const TRect& ABounds) {
  return ABounds.Right >= qvUnboundedExtent || ABounds.Bottom >= qvUnboundedExtent;
}

// Room a measured bar (progress bar, track bar) keeps beside its content: all round when it stands
// alone without a themed frame, and always to the right.
constexpr Integer qvBarStandaloneExtra = 4;
constexpr Integer qvBarMeasureExtraWidth = 3;

// The focus rectangle of a focused standalone editor that draws its own text: ATextRect grown
// by one pixel, or empty for an empty text. In place or unfocused AFocusRect stays as it is.
void CalculateStandaloneFocusRect(const TqvCustomEditViewInfo* AViewInfo, const String& AText,
                                  const TRect& ATextRect, TRect& AFocusRect);

// -- Values and texts

bool IsVarNullOrEmpty(const Variant& V);
// Optional blanks around an optional '-' and decimal digits whose value fits a 32-bit integer
// (-2147483648 .. 2147483647).
bool IsIntegerString(const String& S);
// An integer variant type (small, short, byte, word, long word, 32 and 64 bits).
bool IsVarInteger(const Variant& V);
// The digits and minus signs of S in order (another character ends the scan with AStopAtOther,
// else is skipped), as an integer; nothing collected counts as 0. Raises EConvertError for a
// collection that is no 32-bit integer ("4-2").
Integer ExtractInteger(const String& S, bool AStopAtOther);
// A colour identifier ("clRed") gives its colour; otherwise AValid tells whether S is an integer
// text (IsIntegerString), and the colour is its value, or 0 when it is none. Never raises.
TColor StringToColorValue(const String& S, bool& AValid);

// -- Pointed track-bar thumbs (the tip points right or down, or left or up) in AColor, with
// edges by look-and-feel kind; ASize is the thumb length.
void DrawTrackBarThumbBottomRight(TqvCanvas* ACanvas, const TRect& R, bool AVertical, TColor AColor,
                                  TqvLookAndFeelKind AKind, Integer ASize);
void DrawTrackBarThumbTopLeft(TqvCanvas* ACanvas, const TRect& R, bool AVertical, TColor AColor,
                              TqvLookAndFeelKind AKind, Integer ASize);

// A copy of a font turned by an escapement (tenths of a degree), made again only when the source
// font's face, size or style changes: a new font handle costs a face lookup of the text layer.
class TqvTurnedFont {
 public:
  TqvTurnedFont() = default;
  TqvTurnedFont(const TqvTurnedFont&) = delete;
  TqvTurnedFont& operator=(const TqvTurnedFont&) = delete;
  // ASource turned by AEscapement; the default font for no source.
  TFont* Get(TFont* ASource, Integer AEscapement);

 private:
  TOwned<TFont> FFont;
};

// With ADrawParent, AControl and its parent: the parent erases its background and paints its
// non-windowed controls into ADC, placed as if ADC were AControl's client area. An opaque
// parent, which fills its background when it paints, paints into ADC instead. ADC's state is
// restored afterwards, also when painting raises.
void DrawParentBackground(TControl* AControl, HDC ADC, bool ADrawParent);
