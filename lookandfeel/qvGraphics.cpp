// The canvas wrapper, regions and the ultra-flat colour blends.
#include "lookandfeel/qvGraphics.h"

#include <algorithm>

#include "platform/forms/ImgList.h"
#include "platform/os/Gdi.h"
#include "platform/os/GdiScopes.h"
#include "platform/os/Windows.h"

QJ_IMPLEMENT_CLASS(TqvRegion)
QJ_IMPLEMENT_CLASS(TqvCanvas)
QJ_IMPLEMENT_CLASS(TScreenCanvas)
QJ_IMPLEMENT_CLASS(TqvScreenCanvas)

namespace {

struct TTextFlagMapping {
  TqvTextFlags Flag;
  UINT DrawTextFlags;
};

const TTextFlagMapping kTextFlagMappings[] = {
    {tfLeft, DT_LEFT},
    {tfRight, DT_RIGHT},
    {tfHCenter, DT_CENTER},
    {tfTop, DT_TOP},
    {tfBottom, DT_BOTTOM},
    {tfVCenter, DT_VCENTER},
    {tfSingleLine, DT_SINGLELINE},
    {tfNoClip, DT_NOCLIP},
    {tfExpandTabs, DT_EXPANDTABS},
    {tfWordBreak, DT_WORDBREAK | DT_EDITCONTROL},
    {tfEndEllipsis, DT_END_ELLIPSIS},
    {tfCalcOnly, DT_CALCRECT},
    {tfPathEllipsis, DT_PATH_ELLIPSIS},
};

const int kRegionModes[] = {RGN_COPY, RGN_OR, RGN_DIFF, RGN_AND};

// Division rounding toward minus infinity: tiles left of and above the origin start below it.
Integer FloorDiv(Integer a, Integer b) {
  Integer q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

Integer BlendChannel(BYTE btnFace, BYTE highlight, BYTE window, ShortInt btnFacePercent, ShortInt highlightPercent,
                     ShortInt windowPercent) {
  Integer v = MulDiv(btnFace, btnFacePercent, 100) + MulDiv(highlight, highlightPercent, 100) +
              MulDiv(window, windowPercent, 100);
  return std::clamp(v, 0, 255);
}

}  // namespace

UINT TextFlagsToDrawTextFlags(TqvTextFlags AFlags) {
  UINT result = DT_NOPREFIX;
  for (const TTextFlagMapping& m : kTextFlagMappings)
    if (AFlags & m.Flag) result |= m.DrawTextFlags;
  if (AFlags & tfShowPrefix) result &= ~DT_NOPREFIX;
  return result;
}

// ---------------------------------------------------------------------------------------------
// TqvRegion

TqvRegion::TqvRegion(HRGN AHandle) : FHandle(AHandle) {}
TqvRegion::TqvRegion(const TRect& R) : FHandle(CreateRectRgnIndirect(&R)) {}
TqvRegion::TqvRegion(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom)
    : FHandle(CreateRectRgn(ALeft, ATop, ARight, ABottom)) {}
TqvRegion::TqvRegion() : FHandle(CreateRectRgn(0, 0, 0, 0)) {}

TqvRegion::~TqvRegion() {
  if (FHandle) DeleteObject(FHandle);
}

bool TqvRegion::IsEmpty() const {
  RECT box;
  return GetRgnBox(FHandle, &box) == NULLREGION;
}

void TqvRegion::Combine(const TqvRegion* ARegion, TqvRegionOperation AOperation) {
  if (!ARegion) return;
  if (AOperation == roCopy)
    CombineRgn(FHandle, ARegion->FHandle, nullptr, RGN_COPY);
  else
    CombineRgn(FHandle, FHandle, ARegion->FHandle, kRegionModes[AOperation]);
}

void TqvRegion::Combine(TOwned<TqvRegion> ARegion, TqvRegionOperation AOperation) {
  Combine(ARegion.get(), AOperation);
}

void TqvRegion::Offset(Integer X, Integer Y) { OffsetRgn(FHandle, X, Y); }

// ---------------------------------------------------------------------------------------------
// TqvCanvas: pass-through and frames

TPoint TqvCanvas::GetWindowOrg() const {
  POINT org{};
  GetWindowOrgEx(FCanvas->GetHandle(), &org);
  return org;
}

void TqvCanvas::SetBrushColor(TColor Value) {
  if (FCanvas->GetBrush()->GetColor() != Value) FCanvas->GetBrush()->SetColor(Value);
}

void TqvCanvas::Polygon(std::span<const TPoint> Points) { FCanvas->Polygon({Points.begin(), Points.end()}); }
void TqvCanvas::Polyline(std::span<const TPoint> Points) { FCanvas->Polyline({Points.begin(), Points.end()}); }

void TqvCanvas::FrameRect(const TRect& R, TColor Color, Integer LineWidth, TqvBorders Borders) {
  if (Color != clDefault) SetBrushColor(Color);
  if (Borders & qvBorder(bLeft)) FillRect({R.Left, R.Top, R.Left + LineWidth, R.Bottom});
  if (Borders & qvBorder(bRight)) FillRect({R.Right - LineWidth, R.Top, R.Right, R.Bottom});
  if (Borders & qvBorder(bTop)) FillRect({R.Left, R.Top, R.Right, R.Top + LineWidth});
  if (Borders & qvBorder(bBottom)) FillRect({R.Left, R.Bottom - LineWidth, R.Right, R.Bottom});
}

void TqvCanvas::DrawComplexFrame(const TRect& R, TColor LeftTopColor, TColor RightBottomColor, TqvBorders Borders,
                                 Integer BorderWidth) {
  if (Borders & qvBorder(bLeft)) {
    SetBrushColor(LeftTopColor);
    FillRect({R.Left, R.Top, R.Left + BorderWidth, R.Bottom});
  }
  if (Borders & qvBorder(bTop)) {
    SetBrushColor(LeftTopColor);
    FillRect({R.Left, R.Top, R.Right, R.Top + BorderWidth});
  }
  if (Borders & qvBorder(bRight)) {
    SetBrushColor(RightBottomColor);
    FillRect({R.Right - BorderWidth, R.Top, R.Right, R.Bottom});
  }
  if (Borders & qvBorder(bBottom)) {
    SetBrushColor(RightBottomColor);
    FillRect({R.Left, R.Bottom - BorderWidth, R.Right, R.Bottom});
  }
}

void TqvCanvas::DrawEdge(const TRect& R, bool Sunken, bool Outer, TqvBorders Borders) {
  struct TEdgeColors {
    TColor LeftTop, RightBottom;
  };
  // [Sunken][Outer]
  static const TEdgeColors kColors[2][2] = {
      {{clBtnHighlight, clBtnShadow}, {cl3DLight, cl3DDkShadow}},
      {{cl3DDkShadow, cl3DLight}, {clBtnShadow, clBtnHighlight}},
  };
  const TEdgeColors& c = kColors[Sunken][Outer];
  DrawComplexFrame(R, c.LeftTop, c.RightBottom, Borders, 1);
}

void TqvCanvas::DrawFocusRect(const TRect& R) {
  SetBrushColor(clWhite);
  FCanvas->GetFont()->SetColor(clBlack);
  FCanvas->RequiredState(csHandleValid | csFontValid);
  FCanvas->DrawFocusRect(R);
}

void TqvCanvas::InvertRect(const TRect& R) {
  FCanvas->SetCopyMode(cmDstInvert);
  FCanvas->CopyRect(R, FCanvas, R);
  FCanvas->SetCopyMode(cmSrcCopy);
}

// ---------------------------------------------------------------------------------------------
// Glyphs and tiles

void TqvCanvas::DrawGlyph(Integer X, Integer Y, TBitmap* Glyph, bool Enabled, TColor BackgroundColor) {
  if (!Glyph || Glyph->GetEmpty()) return;
  const Integer w = Glyph->GetWidth(), h = Glyph->GetHeight();
  if (Enabled) {
    TBrushStyle style = GetBrush()->GetStyle();
    if (BackgroundColor == clNone)
      GetBrush()->SetStyle(bsClear);
    else
      SetBrushColor(BackgroundColor);
    FCanvas->BrushCopy(Bounds(X, Y, w, h), Glyph, Rect(0, 0, w, h), Glyph->GetTransparentColor());
    GetBrush()->SetStyle(style);
    return;
  }
  TOwned<TImageList> images(New<TImageList>(nullptr, w, h));
  TColor maskColor = Glyph->GetTransparentMode() == tmFixed ? Glyph->GetTransparentColor() : clDefault;
  images->AddMasked(Glyph, maskColor);
  if (BackgroundColor == clNone) {
    images->Draw(FCanvas, X, Y, 0, false);
    return;
  }
  TBitmap back;
  back.SetSize(w, h);
  back.GetCanvas()->GetBrush()->SetColor(BackgroundColor);
  back.GetCanvas()->FillRect(Rect(0, 0, w, h));
  images->Draw(back.GetCanvas(), 0, 0, 0, false);
  FCanvas->Draw(X, Y, &back);
}

void TqvCanvas::FillRectWithBitmap(const TRect& R, TBitmap* Bitmap) {
  if (!Bitmap || Bitmap->GetEmpty() || R.IsEmpty()) return;
  const Integer w = Bitmap->GetWidth(), h = Bitmap->GetHeight();
  const Integer firstCol = FloorDiv(R.Left, w), lastCol = FloorDiv(R.Right - 1, w);
  const Integer firstRow = FloorDiv(R.Top, h), lastRow = FloorDiv(R.Bottom - 1, h);
  for (Integer j = firstRow; j <= lastRow; ++j)
    for (Integer i = firstCol; i <= lastCol; ++i) {
      TRect tile = Bounds(i * w, j * h, w, h);
      TRect part{std::max(tile.Left, R.Left), std::max(tile.Top, R.Top), std::min(tile.Right, R.Right),
                 std::min(tile.Bottom, R.Bottom)};
      TRect source{part.Left - tile.Left, part.Top - tile.Top, part.Right - tile.Left, part.Bottom - tile.Top};
      CopyRect(part, Bitmap->GetCanvas(), source);
    }
}

// ---------------------------------------------------------------------------------------------
// Text

TSize TqvCanvas::TextExtent(const String& Text) {
  FCanvas->RequiredState(csHandleValid | csFontValid);
  SIZE size{};
  GetTextExtentPoint(FCanvas->GetHandle(), Text.data(), static_cast<int>(Text.size()), &size);
  return size;
}

Integer TqvCanvas::FontHeight(TFont* Font) {
  SetFont(Font);
  return TextHeight("Qq");
}

void TqvCanvas::CalcTextRect(const String& Text, TRect& R, TqvTextFlags Flags) {
  const Integer oldWidth = R.Width(), oldHeight = R.Height();
  const UINT flags = TextFlagsToDrawTextFlags(Flags);
  FCanvas->RequiredState(csHandleValid | csFontValid);
  ::DrawText(FCanvas->GetHandle(), Text.data(), static_cast<int>(Text.size()), &R,
             (flags & ~DT_VCENTER) | DT_CALCRECT);
  Integer dx = 0, dy = 0;
  if (flags & DT_CENTER)
    dx = (oldWidth - R.Width()) / 2;
  else if (flags & DT_RIGHT)
    dx = oldWidth - R.Width();
  if (flags & DT_VCENTER)
    dy = (oldHeight - R.Height()) / 2;
  else if (flags & DT_BOTTOM)
    dy = oldHeight - R.Height();
  R = qvOffsetRect(R, dx, dy);
}

void TqvCanvas::DrawText(const String& Text, TRect R, TqvTextFlags Flags, bool Enabled) {
  if (Text.empty()) return;
  const bool useDrawText =
      !(Flags & tfSingleLine) || (Flags & (tfShowPrefix | tfEndEllipsis | tfPathEllipsis));
  const TSize size = TextExtent(Text);
  const Integer W = R.Width(), H = R.Height(), D = Enabled ? 0 : 1;
  if (W > size.cx && H > size.cy) Flags |= tfNoClip;

  UINT drawTextFlags = 0, extTextOptions = 0;
  if (useDrawText) {
    if (!(Flags & tfSingleLine) && (Flags & (tfBottom | tfVCenter))) {
      TRect calc{0, 0, W - D, 0};
      CalcTextRect(Text, calc, Flags);
      const Integer h = calc.Height();
      if ((Flags & (tfBottom | tfVCenter)) == tfBottom)
        R.Top = R.Bottom - (h + D);
      else if ((Flags & (tfBottom | tfVCenter)) == tfVCenter)
        R.Top = (R.Top + R.Bottom - h) / 2;
    }
    drawTextFlags = TextFlagsToDrawTextFlags(Flags);
  } else {
    if (W > size.cx) {
      if ((Flags & tfHorzMask) == tfRight)
        R.Left = R.Right - size.cx - D;
      else if ((Flags & tfHorzMask) == tfHCenter)
        R.Left = (R.Left + R.Right - size.cx) / 2;
    }
    if (H > size.cy) {
      if ((Flags & tfVertMask) == tfBottom)
        R.Top = R.Bottom - size.cy - D;
      else if ((Flags & tfVertMask) == tfVCenter)
        R.Top = (R.Top + R.Bottom - size.cy) / 2;
    }
    extTextOptions = (Flags & tfNoClip) ? 0 : ETO_CLIPPED;
  }

  const TBrushStyle brushStyle = GetBrush()->GetStyle();
  const TColor fontColor = GetFont()->GetColor();
  if (!Enabled) {
    ++R.Left;
    ++R.Top;
    GetBrush()->SetStyle(bsClear);
    GetFont()->SetColor(clBtnHighlight);
    OutputText(Text, R, useDrawText, drawTextFlags, extTextOptions);
    R = qvOffsetRect(R, -1, -1);
    GetFont()->SetColor(clBtnShadow);
  }
  OutputText(Text, R, useDrawText, drawTextFlags, extTextOptions);
  if (GetBrush()->GetStyle() != brushStyle) GetBrush()->SetStyle(brushStyle);
  GetFont()->SetColor(fontColor);
}

void TqvCanvas::OutputText(const String& Text, TRect& R, bool UseDrawText, UINT DrawTextFlags,
                           UINT ExtTextOptions) {
  FCanvas->RequiredState(csAllValid);
  HDC dc = FCanvas->GetHandle();
  if (UseDrawText)
    ::DrawText(dc, Text.data(), static_cast<int>(Text.size()), &R, DrawTextFlags);
  else
    ::ExtTextOut(dc, R.Left, R.Top, ExtTextOptions, &R, Text.data(), static_cast<UINT>(Text.size()), nullptr);
}

// ---------------------------------------------------------------------------------------------
// Clipping

void TqvCanvas::ExcludeClipRect(const TRect& R) {
  ::ExcludeClipRect(FCanvas->GetHandle(), R.Left, R.Top, R.Right, R.Bottom);
}

void TqvCanvas::IntersectClipRect(const TRect& R) {
  ::IntersectClipRect(FCanvas->GetHandle(), R.Left, R.Top, R.Right, R.Bottom);
}

TOwned<TqvRegion> TqvCanvas::GetClipRegion() {
  auto result = MakeOwned<TqvRegion>(0, 0, 0, 0);
  if (GetClipRgn(FCanvas->GetHandle(), result->GetHandle()) != 1)
    SetRectRgn(result->GetHandle(), 0, 0, qvMaxClipCoordinate, qvMaxClipCoordinate);
  return result;
}

void TqvCanvas::SetClipRegion(const TqvRegion* Region, TqvRegionOperation Operation) {
  if (!Region) return;
  if (Operation == roCopy) {
    SelectClipRgn(FCanvas->GetHandle(), Region->GetHandle());
    return;
  }
  // The caller's region is logical; the clip is in device coordinates. Work on a copy.
  TqvRegion shifted;
  shifted.Combine(Region, roCopy);
  const TPoint org = GetWindowOrg();
  shifted.Offset(-org.X, -org.Y);
  TOwned<TqvRegion> clip = GetClipRegion();
  clip->Combine(&shifted, Operation);
  SetClipRegion(clip.get(), roCopy);
}

void TqvCanvas::SetClipRegion(TOwned<TqvRegion> Region, TqvRegionOperation Operation) {
  SetClipRegion(Region.get(), Operation);
}

bool TqvCanvas::RectVisible(const TRect& R) { return ::RectVisible(FCanvas->GetHandle(), &R) != FALSE; }

// ---------------------------------------------------------------------------------------------
// Screen canvases

TScreenCanvas::~TScreenCanvas() { FreeHandle(); }

void TScreenCanvas::CreateHandle() {
  FDC = GetDC(nullptr);
  SetHandle(FDC);
}

void TScreenCanvas::FreeHandle() {
  if (!FDC) return;
  SetHandle(nullptr);
  ReleaseDC(nullptr, FDC);
  FDC = nullptr;
}

TqvScreenCanvas::TqvScreenCanvas() : TqvCanvas(New<TScreenCanvas>()) {}

TqvScreenCanvas::~TqvScreenCanvas() {
  TCanvas* canvas = GetCanvas();
  SetCanvas(nullptr);
  Free(canvas);
}

// ---------------------------------------------------------------------------------------------
// Colours

TColor GetNearestScreenColor(TColor Color) {
  TMeasureDC dc;
  return static_cast<TColor>(GetNearestColor(dc.Handle(), ColorToRGB(Color)));
}

TColor BlendSystemColors(ShortInt BtnFacePercent, ShortInt HighlightPercent, ShortInt WindowPercent) {
  const COLORREF btnFace = ColorToRGB(clBtnFace), highlight = ColorToRGB(clHighlight), window = ColorToRGB(clWindow);
  if (btnFace == 0 || btnFace == 0xFFFFFF) return static_cast<TColor>(highlight);
  auto channel = [&](BYTE (*get)(COLORREF)) {
    return static_cast<BYTE>(BlendChannel(get(btnFace), get(highlight), get(window), BtnFacePercent,
                                          HighlightPercent, WindowPercent));
  };
  return static_cast<TColor>(RGB(channel(GetRValue), channel(GetGValue), channel(GetBValue)));
}

TColor GetUltraFlatHotColor() { return GetNearestScreenColor(BlendSystemColors(-2, 30, 72)); }
TColor GetUltraFlatPressedColor() { return GetNearestScreenColor(BlendSystemColors(14, 44, 40)); }
