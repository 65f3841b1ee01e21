// Colours, font, pen, brush and the canvas.
#include "platform/forms/Graphics.h"

#include <algorithm>
#include <cstring>

#include "platform/os/Gdi.h"

const TResourceString SNoCanvasHandle = {65200, "Canvas does not allow drawing"};
const TResourceString SInvalidImage = {65201, "Invalid image"};
const TResourceString SScanLine = {65202, "Scan line index out of range"};
const TResourceString SUnknownExtension = {65203, "Unknown picture file extension (.%s)"};
const TResourceString SChangeIconSize = {65204, "Cannot change the size of an icon"};
const TResourceString SResNotFound = {65205, "Resource %s not found"};
const TResourceString SBitmapTooLarge = {65206, "Bitmap of %d x %d pixels is too large"};

QJ_IMPLEMENT_CLASS(EInvalidGraphic)
QJ_IMPLEMENT_CLASS(EInvalidGraphicOperation)
QJ_IMPLEMENT_CLASS(EResNotFound)
QJ_IMPLEMENT_CLASS(TGraphicsObject)
QJ_IMPLEMENT_CLASS(TFont)
QJ_IMPLEMENT_CLASS(TPen)
QJ_IMPLEMENT_CLASS(TBrush)
QJ_IMPLEMENT_CLASS(TCanvas)

// ---------------------------------------------------------------------------------------------
// Colours

namespace {

struct TColorName {
  TColor Color;
  const char* Name;
};

const TColorName kColorNames[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"},
    {clMedGray, "clMedGray"}, {clActiveBorder, "clActiveBorder"}, {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"}, {clBackground, "clBackground"}, {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"}, {clBtnShadow, "clBtnShadow"}, {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"}, {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"}, {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"}, {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"}, {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clInfoBk, "clInfoBk"}, {clInfoText, "clInfoText"},
    {clMenu, "clMenu"}, {clMenuBar, "clMenuBar"}, {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"}, {clNone, "clNone"}, {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"}, {clWindowText, "clWindowText"},
};

}  // namespace

COLORREF ColorToRGB(TColor Color) {
  if (Color < 0) return GetSysColor(Color & 0xFF);
  return static_cast<COLORREF>(Color);
}

bool ColorToIdent(TColor Color, String& Ident) {
  for (const TColorName& c : kColorNames)
    if (c.Color == Color) {
      Ident = c.Name;
      return true;
    }
  return false;
}

bool IdentToColor(const String& Ident, TColor& Color) {
  for (const TColorName& c : kColorNames)
    if (SameText(Ident, c.Name)) {
      Color = c.Color;
      return true;
    }
  return false;
}

String ColorToString(TColor Color) {
  String ident;
  if (ColorToIdent(Color, ident)) return ident;
  return Format("$%.8x", {static_cast<unsigned>(Color)});
}

TColor StringToColor(const String& S) {
  TColor color;
  if (IdentToColor(S, color)) return color;
  Int64 value = StrToInt64(S);
  if (value < INT32_MIN || value > UINT32_MAX) throw EConvertError(Format("'%s' is not a valid colour", {S}));
  return static_cast<TColor>(static_cast<uint32_t>(value));
}

// ---------------------------------------------------------------------------------------------
// Graphics objects

TGraphicsObject::~TGraphicsObject() {
  if (FHandle) DeleteObject(FHandle);
}

HGDIOBJ TGraphicsObject::HandleNeeded() {
  if (!FHandle) FHandle = CreateHandle();
  return FHandle;
}

void TGraphicsObject::AdoptHandle(HGDIOBJ Handle) {
  HGDIOBJ old = FHandle;
  FHandle = Handle;
  if (OnChange) OnChange(this);
  if (old && old != Handle) DeleteObject(old);
}

void TGraphicsObject::Changed(bool RecreateHandle) {
  HGDIOBJ old = nullptr;
  if (RecreateHandle) std::swap(old, FHandle);
  if (OnChange) OnChange(this);
  // The old handle goes after listeners (canvases) have deselected it.
  if (old) DeleteObject(old);
}

namespace {

constexpr Integer kDefaultFontHeight = -11;  // 8 points at 96 pixels an inch
constexpr char kDefaultFontName[] = "MS Sans Serif";

BYTE PitchBits(TFontPitch pitch) {
  switch (pitch) {
    case fpFixed: return FIXED_PITCH;
    case fpVariable: return VARIABLE_PITCH;
    default: return DEFAULT_PITCH;
  }
}

TFontPitch PitchOf(BYTE bits) {
  switch (bits & 0x03) {
    case FIXED_PITCH: return fpFixed;
    case VARIABLE_PITCH: return fpVariable;
    default: return fpDefault;
  }
}

}  // namespace

TFont::TFont() : FName(kDefaultFontName), FHeight(kDefaultFontHeight) {}

void TFont::Assign(TPersistent* Source) {
  auto* src = As<TFont>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  if (src == this) return;
  const Integer height = MulDiv(src->FHeight, FPixelsPerInch, src->FPixelsPerInch);
  // Painters assign a font for every cell: an equal face keeps its handle. Listeners still hear
  // of the assignment (a style or control counts an assigned font as its own).
  const bool sameFace = FName == src->FName && FHeight == height && FStyle == src->FStyle &&
                        FCharset == src->FCharset && FPitch == src->FPitch && FOrientation == src->FOrientation;
  FName = src->FName;
  FHeight = height;
  FStyle = src->FStyle;
  FColor = src->FColor;
  FCharset = src->FCharset;
  FPitch = src->FPitch;
  FOrientation = src->FOrientation;
  Changed(!sameFace);
}

void TFont::SetHandle(HFONT Value) {
  LOGFONT lf;
  if (Value && GetObject(Value, sizeof(lf), &lf) == sizeof(lf)) {
    FName = String(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
    FHeight = lf.lfHeight;
    FStyle = (lf.lfWeight >= FW_BOLD ? fsBold : 0u) | (lf.lfItalic ? fsItalic : 0u) |
             (lf.lfUnderline ? fsUnderline : 0u) | (lf.lfStrikeOut ? fsStrikeOut : 0u);
    FCharset = lf.lfCharSet;
    FPitch = PitchOf(lf.lfPitchAndFamily);
    FOrientation = lf.lfOrientation;
    AdoptHandle(Value);
    return;
  }
  FName = kDefaultFontName;
  FHeight = kDefaultFontHeight;
  FStyle = 0;
  FCharset = DEFAULT_CHARSET;
  FPitch = fpDefault;
  FOrientation = 0;
  Changed();
}

void TFont::SetName(const TFontName& Value) {
  if (Value.empty() || Value == FName) return;
  FName = Value;
  Changed();
}

Integer TFont::GetSize() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(Integer Value) { SetHeight(-MulDiv(Value, FPixelsPerInch, 72)); }

void TFont::SetHeight(Integer Value) {
  if (Value == FHeight) return;
  FHeight = Value;
  Changed();
}

void TFont::SetStyle(TFontStyles Value) {
  Value &= fsBold | fsItalic | fsUnderline | fsStrikeOut;
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}

void TFont::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Changed(false);  // the text colour is the DC's, not the font's
}

void TFont::SetCharset(TFontCharset Value) {
  if (Value == FCharset) return;
  FCharset = Value;
  Changed();
}

void TFont::SetPitch(TFontPitch Value) {
  if (Value == FPitch) return;
  FPitch = Value;
  Changed();
}

void TFont::SetOrientation(Integer Value) {
  if (Value == FOrientation) return;
  FOrientation = Value;
  Changed();
}

HGDIOBJ TFont::CreateHandle() {
  LOGFONT lf;
  lf.lfHeight = FHeight;
  lf.lfEscapement = FOrientation;
  lf.lfOrientation = FOrientation;
  lf.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (FStyle & fsItalic) ? 1 : 0;
  lf.lfUnderline = (FStyle & fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = (FStyle & fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = FCharset;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = PitchBits(FPitch);
  std::strncpy(lf.lfFaceName, FName.c_str(), LF_FACESIZE - 1);
  return CreateFontIndirect(&lf);
}

int PenModeToRop2(TPenMode Mode) {
  static const int kRop2[] = {R2_BLACK,       R2_WHITE,      R2_NOP,        R2_NOT,
                              R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                              R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,   R2_NOTMERGEPEN,
                              R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,     R2_NOTXORPEN};
  return Mode >= pmBlack && Mode <= pmNotXor ? kRop2[Mode] : R2_COPYPEN;
}

void TPen::Assign(TPersistent* Source) {
  auto* src = As<TPen>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  if (src == this) return;
  FColor = src->FColor;
  FWidth = src->FWidth;
  FStyle = src->FStyle;
  FMode = src->FMode;
  Changed();
}

void TPen::SetHandle(HPEN Value) {
  LOGPEN lp;
  if (!Value || GetObject(Value, sizeof(lp), &lp) != sizeof(lp)) {
    Changed();
    return;
  }
  FColor = static_cast<TColor>(lp.lopnColor);
  FWidth = std::max<Integer>(1, lp.lopnWidth.X);
  FStyle = lp.lopnStyle <= PS_INSIDEFRAME ? static_cast<TPenStyle>(lp.lopnStyle) : psSolid;
  AdoptHandle(Value);
}

void TPen::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Changed();
}

void TPen::SetWidth(Integer Value) {
  if (Value < 0 || Value == FWidth) return;
  FWidth = Value;
  Changed();
}

void TPen::SetStyle(TPenStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}

void TPen::SetMode(TPenMode Value) {
  if (Value == FMode) return;
  FMode = Value;
  Changed(false);
}

HGDIOBJ TPen::CreateHandle() {
  static const int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
  return CreatePen(kStyles[FStyle], FWidth, ColorToRGB(FColor));
}

TBrush::~TBrush() = default;

void TBrush::Assign(TPersistent* Source) {
  auto* src = As<TBrush>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  if (src == this) return;
  FColor = src->FColor;
  FStyle = src->FStyle;
  if (src->FBitmap) {
    auto copy = MakeOwned<TBitmap>();
    copy->Assign(src->FBitmap.get());
    FBitmap = std::move(copy);
  } else {
    FBitmap.reset();
  }
  Changed();
}

void TBrush::SetHandle(HBRUSH Value) {
  LOGBRUSH lb;
  if (!Value || GetObject(Value, sizeof(lb), &lb) != sizeof(lb)) {
    Changed();
    return;
  }
  FColor = static_cast<TColor>(lb.lbColor);
  if (lb.lbStyle == BS_NULL) FStyle = bsClear;
  else if (lb.lbStyle == BS_HATCHED && lb.lbHatch <= HS_DIAGCROSS) FStyle = static_cast<TBrushStyle>(bsHorizontal + lb.lbHatch);
  else FStyle = bsSolid;
  FBitmap.reset();
  AdoptHandle(Value);
}

void TBrush::SetColor(TColor Value) {
  if (Value == FColor && FStyle != bsClear) return;
  FColor = Value;
  if (FStyle == bsClear) FStyle = bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
  if (Value == FStyle && !FBitmap) return;
  FStyle = Value;
  FBitmap.reset();
  Changed();
}

void TBrush::SetBitmap(TBitmap* Value) {
  if (Value && !Value->GetEmpty()) {
    auto copy = MakeOwned<TBitmap>();
    copy->Assign(Value);
    FBitmap = std::move(copy);
  } else {
    FBitmap.reset();
  }
  Changed();
}

HGDIOBJ TBrush::CreateHandle() {
  if (FBitmap) return CreatePatternBrush(FBitmap->GetHandle());
  LOGBRUSH lb;
  lb.lbColor = ColorToRGB(FColor);
  if (FStyle == bsSolid) {
    lb.lbStyle = BS_SOLID;
  } else if (FStyle == bsClear) {
    lb.lbStyle = BS_NULL;
  } else {
    lb.lbStyle = BS_HATCHED;
    lb.lbHatch = static_cast<ULONG_PTR>(FStyle - bsHorizontal);
  }
  return CreateBrushIndirect(&lb);
}

// ---------------------------------------------------------------------------------------------
// Canvas

TCanvas::TCanvas() : FFont(MakeOwned<TFont>()), FPen(MakeOwned<TPen>()), FBrush(MakeOwned<TBrush>()) {
  FFont->OnChange = [this](TObject* s) { FontChanged(s); };
  FPen->OnChange = [this](TObject* s) { PenChanged(s); };
  FBrush->OnChange = [this](TObject* s) { BrushChanged(s); };
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

TCanvasSavedDCScope::TCanvasSavedDCScope(TCanvas* Canvas) : FCanvas(Canvas), FLevel(SaveDC(Canvas->GetHandle())) {}

TCanvasSavedDCScope::~TCanvasSavedDCScope() {
  RestoreDC(FCanvas->GetHandle(), FLevel);
  FCanvas->Refresh();
}

TCanvasDCScope::TCanvasDCScope(TCanvas* Canvas, HDC DC) : FCanvas(Canvas) {
  FCanvas->Lock();
  try {
    FCanvas->SetHandle(DC);
  } catch (...) {
    FCanvas->Unlock();
    throw;
  }
}

TCanvasDCScope::~TCanvasDCScope() {
  FCanvas->SetHandle(nullptr);
  FCanvas->Unlock();
}

HDC TCanvas::GetHandle() {
  Changing();
  RequiredState(csAllValid);
  return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
  if (Value == FHandle) return;
  if (FHandle) DeselectHandles();
  FHandle = Value;
  FState = Value ? TCanvasState(csHandleValid) : 0;
}

void TCanvas::RequiredState(TCanvasState ReqState) {
  TCanvasState needed = ReqState & ~FState;
  if (!needed) return;
  if (needed & csHandleValid) {
    CreateHandle();
    if (!FHandle) throw EInvalidOperation(&SNoCanvasHandle);
  }
  if (needed & csFontValid) SelectFont();
  if (needed & csPenValid) SelectPen();
  if (needed & csBrushValid) SelectBrush();
  FState |= needed;
}

void TCanvas::SelectFont() {
  SelectObject(FHandle, FFont->GetHandle());
  SetTextColor(FHandle, ColorToRGB(FFont->GetColor()));
}

void TCanvas::SelectPen() {
  SelectObject(FHandle, FPen->GetHandle());
  SetROP2(FHandle, PenModeToRop2(FPen->GetMode()));
}

void TCanvas::SelectBrush() {
  SelectObject(FHandle, FBrush->GetHandle());
  COLORREF color = ColorToRGB(FBrush->GetColor());
  if (FBrush->GetStyle() == bsSolid) {
    SetBkColor(FHandle, color);
    SetBkMode(FHandle, OPAQUE);
  } else {
    // Hatches and clear brushes leave the background alone.
    SetBkColor(FHandle, ~color & 0xFFFFFF);
    SetBkMode(FHandle, TRANSPARENT);
  }
}

void TCanvas::DeselectHandles() {
  if (!FHandle) return;
  if (FState & csFontValid) SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
  if (FState & csPenValid) SelectObject(FHandle, GetStockObject(BLACK_PEN));
  if (FState & csBrushValid) SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
  FState &= ~(csFontValid | csPenValid | csBrushValid);
}

void TCanvas::FontChanged(TObject*) {
  if (!(FState & csFontValid)) return;
  FState &= ~csFontValid;
  SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
}

void TCanvas::PenChanged(TObject*) {
  if (!(FState & csPenValid)) return;
  FState &= ~csPenValid;
  SelectObject(FHandle, GetStockObject(BLACK_PEN));
}

void TCanvas::BrushChanged(TObject*) {
  if (!(FState & csBrushValid)) return;
  FState &= ~csBrushValid;
  SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

TPoint TCanvas::GetPenPos() {
  RequiredState(csHandleValid);
  POINT p;
  GetCurrentPositionEx(FHandle, &p);
  return p;
}

TRect TCanvas::GetClipRect() {
  RequiredState(csHandleValid);
  RECT r;
  GetClipBox(FHandle, &r);
  return r;
}

TColor TCanvas::GetPixel(Integer X, Integer Y) {
  RequiredState(csHandleValid);
  return static_cast<TColor>(::GetPixel(FHandle, X, Y));
}

void TCanvas::SetPixel(Integer X, Integer Y, TColor Value) {
  Changing();
  RequiredState(csHandleValid | csPenValid);
  ::SetPixel(FHandle, X, Y, ColorToRGB(Value));
  Changed();
}

void TCanvas::MoveTo(Integer X, Integer Y) {
  RequiredState(csHandleValid);
  MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(Integer X, Integer Y) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::LineTo(FHandle, X, Y);
  Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Polyline(FHandle, Points.data(), static_cast<int>(Points.size()));
  Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& Points) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Polygon(FHandle, Points.data(), static_cast<int>(Points.size()));
  Changed();
}

void TCanvas::PolyPolyline(const std::vector<TPoint>& Points, const std::vector<DWORD>& Counts) {
  DWORD total = 0;
  for (DWORD c : Counts) total += c;
  if (total > Points.size()) throw EInvalidOperation("PolyPolyline counts exceed the points");
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::PolyPolyline(FHandle, Points.data(), Counts.data(), static_cast<DWORD>(Counts.size()));
  Changed();
}

void TCanvas::Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Rectangle(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
  Changed();
}

void TCanvas::Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Ellipse(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::FillRect(const TRect& R) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::FillRect(FHandle, &R, FBrush->GetHandle());
  Changed();
}

void TCanvas::FrameRect(const TRect& R) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::FrameRect(FHandle, &R, FBrush->GetHandle());
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& R) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::DrawFocusRect(FHandle, &R);
  Changed();
}

namespace {

// Scan-line flood fill over the pixels of a DC, bounded by its clip box.
class TFloodFill {
 public:
  TFloodFill(HDC dc, COLORREF color, bool surface) : FDC(dc), FColor(color & 0xFFFFFF), FSurface(surface) {
    GetClipBox(dc, &FBox);
  }

  void Run(Integer x, Integer y, HBRUSH brush) {
    if (!Inside(x, y) || !Fillable(x, y)) return;
    std::vector<bool> done(size_t(FBox.Width()) * size_t(FBox.Height()), false);
    std::vector<TPoint> stack{{x, y}};
    while (!stack.empty()) {
      TPoint p = stack.back();
      stack.pop_back();
      if (Done(done, p.X, p.Y) || !Fillable(p.X, p.Y)) continue;
      Integer left = p.X, right = p.X;
      while (left - 1 >= FBox.Left && !Done(done, left - 1, p.Y) && Fillable(left - 1, p.Y)) --left;
      while (right + 1 < FBox.Right && !Done(done, right + 1, p.Y) && Fillable(right + 1, p.Y)) ++right;
      for (Integer xx = left; xx <= right; ++xx) {
        Mark(done, xx, p.Y);
        if (p.Y > FBox.Top) stack.push_back({xx, p.Y - 1});
        if (p.Y + 1 < FBox.Bottom) stack.push_back({xx, p.Y + 1});
      }
      RECT span{left, p.Y, right + 1, p.Y + 1};
      ::FillRect(FDC, &span, brush);
    }
  }

 private:
  bool Inside(Integer x, Integer y) const { return x >= FBox.Left && x < FBox.Right && y >= FBox.Top && y < FBox.Bottom; }
  bool Fillable(Integer x, Integer y) const {
    COLORREF c = ::GetPixel(FDC, x, y) & 0xFFFFFF;
    return FSurface ? c == FColor : c != FColor;
  }
  size_t Index(Integer x, Integer y) const { return size_t(y - FBox.Top) * size_t(FBox.Width()) + size_t(x - FBox.Left); }
  bool Done(const std::vector<bool>& d, Integer x, Integer y) const { return d[Index(x, y)]; }
  void Mark(std::vector<bool>& d, Integer x, Integer y) const { d[Index(x, y)] = true; }

  HDC FDC;
  COLORREF FColor;
  bool FSurface;
  RECT FBox{};
};

}  // namespace

void TCanvas::FloodFill(Integer X, Integer Y, TColor Color, TFillStyle FillStyle) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  TFloodFill(FHandle, ColorToRGB(Color), FillStyle == fsSurface).Run(X, Y, FBrush->GetHandle());
  Changed();
}

void TCanvas::TextOut(Integer X, Integer Y, const String& Text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  ExtTextOut(FHandle, X, Y, static_cast<UINT>(FTextFlags), nullptr, Text.data(), static_cast<UINT>(Text.size()), nullptr);
  MoveTo(X + TextWidth(Text), Y);
  Changed();
}

void TCanvas::TextRect(const TRect& R, Integer X, Integer Y, const String& Text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  UINT options = ETO_CLIPPED | static_cast<UINT>(FTextFlags);
  if (FBrush->GetStyle() != bsClear) options |= ETO_OPAQUE;
  ExtTextOut(FHandle, X, Y, options, &R, Text.data(), static_cast<UINT>(Text.size()), nullptr);
  Changed();
}

TSize TCanvas::TextExtent(const String& Text) {
  RequiredState(csHandleValid | csFontValid);
  SIZE size{};
  GetTextExtentPoint32(FHandle, Text.data(), static_cast<int>(Text.size()), &size);
  return size;
}

void TCanvas::Draw(Integer X, Integer Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->GetEmpty()) return;
  StretchDraw(Bounds(X, Y, Graphic->GetWidth(), Graphic->GetHeight()), Graphic);
}

void TCanvas::StretchDraw(const TRect& R, TGraphic* Graphic) {
  if (!Graphic || Graphic->GetEmpty()) return;
  Changing();
  RequiredState(csAllValid);
  SetBkColor(FHandle, ColorToRGB(FBrush->GetColor()));
  Graphic->Draw(this, R);
  Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
  if (!Canvas) return;
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  Canvas->RequiredState(csHandleValid | csBrushValid);
  StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Canvas->FHandle, Source.Left, Source.Top,
             Source.Width(), Source.Height(), FCopyMode);
  Changed();
}

void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color) {
  if (!Bitmap || Bitmap->GetEmpty() || Dest.IsEmpty() || Source.IsEmpty()) return;
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  // The source part at the destination size, then a mask of its key-colour pixels.
  TBitmap part;
  part.SetSize(Dest.Width(), Dest.Height());
  HDC partDC = part.GetCanvas()->GetHandle();
  HDC srcDC = Bitmap->GetCanvas()->GetHandle();
  SetStretchBltMode(partDC, COLORONCOLOR);
  StretchBlt(partDC, 0, 0, Dest.Width(), Dest.Height(), srcDC, Source.Left, Source.Top, Source.Width(),
             Source.Height(), SRCCOPY);
  HBITMAP mask = part.MaskHandleFor(Color);
  // Key pixels take the brush (a clear brush keeps what is there), the rest the bitmap.
  constexpr DWORD kKeepDestination = 0x00AA0029;
  const DWORD keyOperation = FBrush->GetStyle() == bsClear ? kKeepDestination : PATCOPY;
  MaskBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), partDC, 0, 0, mask, 0, 0,
          MAKEROP4(keyOperation, SRCCOPY));
  DeleteObject(mask);
  Changed();
}

void TCanvas::Lock() {
  FLock.lock();
  ++FLockCount;
}

void TCanvas::Unlock() {
  --FLockCount;
  FLock.unlock();
}

bool TCanvas::TryLock() {
  if (!FLock.try_lock()) return false;
  ++FLockCount;
  return true;
}
