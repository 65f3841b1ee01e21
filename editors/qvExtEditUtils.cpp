// Shared routines of the label and the extended editors.
#include "editors/qvExtEditUtils.h"

#include <array>
#include <cmath>

#include "editors/qvEditPaintUtils.h"
#include "platform/forms/Controls.h"
#include "platform/os/Gdi.h"
#include "platform/os/GdiScopes.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr double kMaxIntegerMagnitude = 2147483648.0;

void DrawPenLine(TqvCanvas* ACanvas, TColor AColor, Integer X1, Integer Y1, Integer X2, Integer Y2) {
  ACanvas->GetPen()->SetColor(AColor);
  ACanvas->MoveTo(X1, Y1);
  ACanvas->LineTo(X2, Y2);
}

void FillPolygon(TqvCanvas* ACanvas, std::span<const TPoint> APoints, TColor AColor) {
  ACanvas->GetPen()->SetColor(AColor);
  ACanvas->GetBrush()->SetStyle(bsSolid);
  ACanvas->SetBrushColor(AColor);
  ACanvas->Polygon(APoints);
}

// The edges of a pointed thumb: a light, a shadow and a dark polyline.
struct TThumbEdges {
  std::span<const TPoint> Light, Shadow, Dark;
};

// The edges the look-and-feel kind adds after the body.
void DrawThumbKindEdges(TqvCanvas* ACanvas, const TThumbEdges& AEdges, TqvLookAndFeelKind AKind) {
  switch (AKind) {
    case lfFlat:
      DrawPolyline(ACanvas, AEdges.Light, false, clWindow);
      DrawPolyline(ACanvas, AEdges.Dark, false, clBtnShadow);
      break;
    case lfStandard:
      DrawPolyline(ACanvas, AEdges.Light, false, clWindow);
      DrawPolyline(ACanvas, AEdges.Shadow, false, clBtnShadow);
      DrawPolyline(ACanvas, AEdges.Dark, false, clWindowText);
      break;
    case lfUltraFlat:
      DrawPolyline(ACanvas, AEdges.Light, false, clWindowText);
      DrawPolyline(ACanvas, AEdges.Dark, false, clWindowText);
      break;
  }
}

// The digits and minus signs of S in order, "0" when there are none.
String CollectIntegerChars(const String& S, bool AStopAtOther) {
  String result;
  for (char c : S) {
    if (IsDigitChar(c) || c == '-')
      result += c;
    else if (AStopAtOther)
      break;
  }
  return result.empty() ? String("0") : result;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Drawing

void DrawColorBox(TqvCanvas* ACanvas, const TRect& R, TColor AInnerFrameColor, Byte AKind, TColor AOuterFrameColor,
                  TColor AColor) {
  if (R.Width() <= 0 || R.Height() <= 0) return;
  ACanvas->GetBrush()->SetStyle(bsSolid);
  TRect r = R;
  ACanvas->FrameRect(r, AOuterFrameColor);
  r = qvDeflatedRect(r, 1);
  ACanvas->FrameRect(r, AInnerFrameColor);
  r = qvDeflatedRect(r, 1);
  switch (AKind) {
    case cbkEmpty:
      ACanvas->SetBrushColor(AOuterFrameColor);
      ACanvas->FillRect(r);
      break;
    case cbkColor:
    case 3:
    case 4:
      ACanvas->SetBrushColor(AColor);
      ACanvas->FillRect(r);
      break;
    case cbkHatched: {
      ACanvas->SetBrushColor(AOuterFrameColor);
      ACanvas->FillRect(r);
      ACanvas->GetPen()->SetColor(AOuterFrameColor);
      ACanvas->GetBrush()->SetColor(AColor);
      ACanvas->GetBrush()->SetStyle(bsDiagCross);
      ACanvas->GetCanvas()->Rectangle(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1);
      ACanvas->GetBrush()->SetStyle(bsSolid);
      const std::array<TPoint, 5> frame = {Point(r.Left - 1, r.Top - 1), Point(r.Right, r.Top - 1),
                                           Point(r.Right, r.Bottom), Point(r.Left - 1, r.Bottom),
                                           Point(r.Left - 1, r.Top - 1)};
      ACanvas->GetPen()->SetColor(AInnerFrameColor);
      ACanvas->Polyline(frame);
      break;
    }
    default: break;
  }
  ACanvas->GetBrush()->SetStyle(bsSolid);
}

void DrawTwoColorFrame(TqvCanvas* ACanvas, const TRect& R, TColor ALeftTopColor, TRect& AInnerRect,
                       TColor ARightBottomColor) {
  const Integer l = R.Left, t = R.Top, r = R.Right, b = R.Bottom;
  DrawPenLine(ACanvas, ALeftTopColor, l, t, l, b + 1);
  DrawPenLine(ACanvas, ALeftTopColor, l, t, r + 1, t);
  DrawPenLine(ACanvas, ARightBottomColor, r, t + 1, r, b);
  DrawPenLine(ACanvas, ARightBottomColor, l + 1, b, r + 1, b);
  AInnerRect = Rect(l + 1, t + 1, r - 1, b - 1);
}

TRect ExtendRect(TRect& R, Integer DLeft, Integer DTop, Integer DRight, Integer DBottom) {
  R.Left += DLeft;
  R.Top += DTop;
  R.Right += DRight;
  R.Bottom += DBottom;
  return R;
}

UINT MakeDrawTextFlags(UINT ABase, TAlignment AHorz, TqvEditVertAlignment AVert, bool AEndEllipsis, bool AWordBreak,
                       Integer AExpandTabs) {
  UINT flags = ABase;
  switch (TAlignment(Integer(AHorz) % 128)) {
    case taLeftJustify: flags |= DT_LEFT; break;
    case taRightJustify: flags |= DT_RIGHT; break;
    case taCenter: flags |= DT_CENTER; break;
  }
  switch (AVert) {
    case taTopJustify: flags |= DT_TOP; break;
    case taBottomJustify: flags |= DT_BOTTOM; break;
    case taVCenter: flags |= DT_VCENTER; break;
  }
  if (AEndEllipsis) flags |= DT_END_ELLIPSIS;
  if (AWordBreak) flags |= DT_WORDBREAK;
  if (AExpandTabs > 0) flags |= DT_EXPANDTABS | DT_TABSTOP;
  return flags;
}

void CalculateStandaloneFocusRect(const TqvCustomEditViewInfo* AViewInfo, const String& AText,
                                  const TRect& ATextRect, TRect& AFocusRect) {
  if (AViewInfo->IsInplace || !AViewInfo->Focused) return;
  AFocusRect = AText.empty() ? TRect{} : qvDeflatedRect(ATextRect, -1);
}

// ---------------------------------------------------------------------------------------------
// Values and texts

bool IsVarNullOrEmpty(const Variant& V) { return VarIsNull(V) || VarIsEmpty(V); }

bool IsIntegerString(const String& S) {
  const String t = Trim(S);
  if (t.empty() || t == "-") return false;
  for (size_t i = 0; i < t.size(); ++i) {
    const char c = t[i];
    if (c == '-' && i == 0) continue;
    if (c < '0' || c > '9') return false;
  }
  // Summed as a float, so that any run of digits is measured without overflow.
  double magnitude = 0;
  for (char c : t)
    if (c != '-') magnitude = magnitude * 10 + (c - '0');
  return t[0] == '-' ? magnitude <= kMaxIntegerMagnitude : magnitude < kMaxIntegerMagnitude;
}

bool IsVarInteger(const Variant& V) { return VarIsOrdinal(V) && VarType(V) != varBoolean; }

Integer ExtractInteger(const String& S, bool AStopAtOther) { return StrToInt(CollectIntegerChars(S, AStopAtOther)); }

TColor StringToColorValue(const String& S, bool& AValid) {
  TColor color = clBlack;
  if (IdentToColor(S, color)) {
    AValid = true;
    return color;
  }
  AValid = IsIntegerString(S);
  return AValid ? TColor(ExtractInteger(S, false)) : TColor(0);
}

// ---------------------------------------------------------------------------------------------
// Pointed thumbs

void DrawTrackBarThumbBottomRight(TqvCanvas* ACanvas, const TRect& R, bool AVertical, TColor AColor,
                                  TqvLookAndFeelKind AKind, Integer ASize) {
  const Integer l = R.Left, t = R.Top, r = R.Right, b = R.Bottom, h = ASize / 2;
  std::array<TPoint, 4> light;
  std::array<TPoint, 3> shadow, dark;
  std::array<TPoint, 6> body;
  if (AVertical) {
    light = {Point(l, b), Point(l, t), Point(r - h, t), Point(r, t + h)};
    shadow = {Point(l + 1, b), Point(r - h, b), Point(r - 1, b - h + 1)};
    dark = {Point(l, b + 1), Point(r - h, b + 1), Point(r, b - h + 1)};
    body = {Point(l + 1, b), Point(l + 1, t + 1), Point(r - h, t + 1), Point(r - 1, t + h), Point(r - 1, t + h + 1),
            Point(r - h, b)};
  } else {
    light = {Point(r, t), Point(l, t), Point(l, b - h), Point(l + h, b)};
    shadow = {Point(l + h, b - 1), Point(r - 1, b - h), Point(r - 1, t + 1)};
    dark = {Point(l + h, b), Point(r, b - h), Point(r, t)};
    body = {Point(r - 1, t + 1), Point(l + 1, t + 1), Point(l + 1, b - h), Point(l + h - 1, b - 1), Point(l + h, b - 1),
            Point(r - 1, b - h)};
  }
  DrawPolyline(ACanvas, light, false, clWindow);
  DrawPolyline(ACanvas, shadow, false, clBtnShadow);
  DrawPolyline(ACanvas, dark, false, clWindowText);
  FillPolygon(ACanvas, body, AColor);
  DrawThumbKindEdges(ACanvas, {light, shadow, dark}, AKind);
}

void DrawTrackBarThumbTopLeft(TqvCanvas* ACanvas, const TRect& R, bool AVertical, TColor AColor,
                              TqvLookAndFeelKind AKind, Integer ASize) {
  const Integer l = R.Left, t = R.Top, r = R.Right, b = R.Bottom, h = ASize / 2;
  std::array<TPoint, 3> light;
  std::array<TPoint, 4> shadow, dark;
  std::array<TPoint, 6> body;
  if (AVertical) {
    light = {Point(r, t), Point(l + h, t), Point(l, t + h)};
    shadow = {Point(r - 1, t + 1), Point(r - 1, b), Point(l + h, b), Point(l + 1, b - h + 1)};
    dark = {Point(r, t), Point(r, b + 1), Point(l + h, b + 1), Point(l, b - h + 1)};
    body = {Point(r - 2, b), Point(r - 2, t + 1), Point(l + h, t + 1), Point(l + 1, t + h), Point(l + 1, t + h + 1),
            Point(l + h, b)};
  } else {
    light = {Point(l, b), Point(l, t + h), Point(l + h, t)};
    shadow = {Point(l + h, t + 1), Point(r - 1, t + h), Point(r - 1, b - 1), Point(l, b - 1)};
    dark = {Point(l + h, t), Point(r, t + h), Point(r, b), Point(l, b)};
    body = {Point(r - 1, b - 2), Point(l + 1, b - 2), Point(l + 1, t + h), Point(l + h - 1, t + 2), Point(l + h, t + 2),
            Point(r - 1, t + h)};
  }
  FillPolygon(ACanvas, body, AColor);
  DrawThumbKindEdges(ACanvas, {light, shadow, dark}, AKind);
}

// ---------------------------------------------------------------------------------------------
// Turned fonts

TFont* TqvTurnedFont::Get(TFont* ASource, Integer AEscapement) {
  TFont defaults;
  TFont* source = ASource ? ASource : &defaults;
  const bool same = FFont && FFont->GetName() == source->GetName() && FFont->GetHeight() == source->GetHeight() &&
                    FFont->GetStyle() == source->GetStyle() && FFont->GetCharset() == source->GetCharset() &&
                    FFont->GetPitch() == source->GetPitch() && FFont->GetOrientation() == AEscapement;
  if (!same) {
    FFont = MakeOwned<TFont>();
    FFont->Assign(source);
    FFont->SetOrientation(AEscapement);
  }
  if (FFont->GetColor() != source->GetColor()) FFont->SetColor(source->GetColor());
  return FFont.get();
}

// ---------------------------------------------------------------------------------------------
// Parent background

void DrawParentBackground(TControl* AControl, HDC ADC, bool ADrawParent) {
  if (!AControl || !ADrawParent) return;
  TWinControl* parent = AControl->GetParent();
  if (!parent || !parent->HandleAllocated()) return;
  TSavedDCScope scope(ADC);
  const TPoint origin = parent->ScreenToClient(AControl->ClientToScreen(Point(0, 0)));
  OffsetWindowOrgEx(ADC, origin.X, origin.Y, nullptr);
  // An opaque parent (a panel) leaves erasing out and fills its background when it paints: it
  // paints into the DC, its non-windowed controls included.
  if (parent->GetControlStyle() & csOpaque) {
    SendMessage(parent->GetHandle(), WM_PAINT, reinterpret_cast<WPARAM>(ADC), 0);
    return;
  }
  // The DC goes as both arguments, so that a double-buffered parent erases into it too.
  SendMessage(parent->GetHandle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(ADC), reinterpret_cast<LPARAM>(ADC));
  parent->PaintControls(ADC, nullptr);
}
