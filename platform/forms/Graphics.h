// Colours, graphics objects (font, pen, brush), the canvas over a device context, and the
// graphic classes: bitmaps, icons and pictures that load by file extension.
//
// Graphics objects create their GDI handle on first use and drop it when a property that the
// handle depends on changes; a canvas selects them into its DC lazily, only for the drawing
// operations that need them, and deselects them when they change.
//
// Where the parts live: Graphics.cpp (colours, font, pen, brush, the canvas), GraphicsBitmap.cpp
// (TGraphic and TBitmap), GraphicsIcon.cpp (TIcon), GraphicsPicture.cpp (TPicture and the
// registry of graphic file formats).
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/os/WinTypes.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/SysUtils.h"

class TStream;
class TCanvas;
class TBitmap;
class TIcon;

QJ_EXCEPTION(EInvalidGraphic, Exception)
QJ_EXCEPTION(EInvalidGraphicOperation, Exception)
QJ_EXCEPTION(EResNotFound, Exception)

extern const TResourceString SNoCanvasHandle;
extern const TResourceString SInvalidImage;
extern const TResourceString SScanLine;
extern const TResourceString SUnknownExtension;
extern const TResourceString SChangeIconSize;
extern const TResourceString SResNotFound;
extern const TResourceString SBitmapTooLarge;

// ---------------------------------------------------------------------------------------------
// Colours: 0x00BBGGRR, or a system colour as 0xFF000000 + COLOR_ index (clWindow is -16777211 as
// an integer, the value stored wherever colours are kept as numbers).

using TColor = Integer;

constexpr TColor SysColor(int index) { return static_cast<TColor>(0xFF000000u + static_cast<unsigned>(index)); }

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clLtGray = 0xC0C0C0,
                 clDkGray = 0x808080, clWhite = 0xFFFFFF, clMoneyGreen = 0xC0DCC0, clSkyBlue = 0xF0CAA6,
                 clCream = 0xF0FBFF, clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clScrollBar = SysColor(0), clBackground = SysColor(1), clActiveCaption = SysColor(2),
                 clInactiveCaption = SysColor(3), clMenu = SysColor(4), clWindow = SysColor(5),
                 clWindowFrame = SysColor(6), clMenuText = SysColor(7), clWindowText = SysColor(8),
                 clCaptionText = SysColor(9), clActiveBorder = SysColor(10), clInactiveBorder = SysColor(11),
                 clAppWorkSpace = SysColor(12), clHighlight = SysColor(13), clHighlightText = SysColor(14),
                 clBtnFace = SysColor(15), clBtnShadow = SysColor(16), clGrayText = SysColor(17),
                 clBtnText = SysColor(18), clInactiveCaptionText = SysColor(19), clBtnHighlight = SysColor(20),
                 cl3DDkShadow = SysColor(21), cl3DLight = SysColor(22), clInfoText = SysColor(23),
                 clInfoBk = SysColor(24), clHotLight = SysColor(26), clGradientActiveCaption = SysColor(27),
                 clGradientInactiveCaption = SysColor(28), clMenuHighlight = SysColor(29),
                 clMenuBar = SysColor(30);

// The RGB value of a colour: system colours are looked up, everything else is returned as is.
COLORREF ColorToRGB(TColor Color);
// "clRed", "clBtnFace"... for the named colours, "$00BBGGRR" for the rest.
String ColorToString(TColor Color);
// Accepts the names above and numbers (decimal, $hex); raises EConvertError otherwise.
TColor StringToColor(const String& S);
bool IdentToColor(const String& Ident, TColor& Color);
bool ColorToIdent(TColor Color, String& Ident);

// ---------------------------------------------------------------------------------------------
// Graphics objects

// Base of font, pen and brush: owns one GDI handle, made on demand, and tells OnChange after
// every change. The handle of the previous state stays valid while OnChange runs.
class TGraphicsObject : public TPersistent {
  QJ_CLASS(TGraphicsObject, TPersistent)
 public:
  ~TGraphicsObject() override;

  TNotifyEvent OnChange;
  // Whether the handle exists now (no handle is made).
  bool HandleAllocated() const { return FHandle != nullptr; }

 protected:
  // Makes the handle for the current properties.
  virtual HGDIOBJ CreateHandle() = 0;
  HGDIOBJ HandleNeeded();
  // Takes a handle made elsewhere as this object's own.
  void AdoptHandle(HGDIOBJ Handle);
  // Tells OnChange; RecreateHandle drops the handle first (it is deleted after the event).
  void Changed(bool RecreateHandle = true);

 private:
  HGDIOBJ FHandle = nullptr;
};

enum TFontStyle : Cardinal { fsBold = 1u << 0, fsItalic = 1u << 1, fsUnderline = 1u << 2, fsStrikeOut = 1u << 3 };
using TFontStyles = Cardinal;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = Byte;
using TFontName = String;

class TFont : public TGraphicsObject {
  QJ_CLASS(TFont, TGraphicsObject)
 public:
  TFont();

  void Assign(TPersistent* Source) override;

  HFONT GetHandle() { return HandleNeeded(); }
  // Adopts the font (it is deleted with this object) and takes its properties.
  void SetHandle(HFONT Value);

  const TFontName& GetName() const { return FName; }
  void SetName(const TFontName& Value);
  // Points at PixelsPerInch; Height is pixels (negative: character height without leading).
  Integer GetSize() const;
  void SetSize(Integer Value);
  Integer GetHeight() const { return FHeight; }
  void SetHeight(Integer Value);
  TFontStyles GetStyle() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  TColor GetColor() const { return FColor; }
  void SetColor(TColor Value);
  TFontCharset GetCharset() const { return FCharset; }
  void SetCharset(TFontCharset Value);
  TFontPitch GetPitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);
  // Tenths of a degree, counter-clockwise.
  Integer GetOrientation() const { return FOrientation; }
  void SetOrientation(Integer Value);
  Integer GetPixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(Integer Value) { FPixelsPerInch = Value > 0 ? Value : 96; }

 protected:
  HGDIOBJ CreateHandle() override;

 private:
  TFontName FName;
  Integer FHeight;
  TFontStyles FStyle = 0;
  TColor FColor = clWindowText;
  TFontCharset FCharset = 1;  // DEFAULT_CHARSET
  TFontPitch FPitch = fpDefault;
  Integer FOrientation = 0;
  Integer FPixelsPerInch = 96;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

class TPen : public TGraphicsObject {
  QJ_CLASS(TPen, TGraphicsObject)
 public:
  void Assign(TPersistent* Source) override;

  HPEN GetHandle() { return HandleNeeded(); }
  void SetHandle(HPEN Value);
  TColor GetColor() const { return FColor; }
  void SetColor(TColor Value);
  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer Value);
  TPenStyle GetStyle() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  // The raster operation of lines (not part of the handle).
  TPenMode GetMode() const { return FMode; }
  void SetMode(TPenMode Value);

 protected:
  HGDIOBJ CreateHandle() override;

 private:
  TColor FColor = clBlack;
  Integer FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};

// The ROP2 code of a pen mode.
int PenModeToRop2(TPenMode Mode);

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TGraphicsObject {
  QJ_CLASS(TBrush, TGraphicsObject)
 public:
  ~TBrush() override;
  void Assign(TPersistent* Source) override;

  HBRUSH GetHandle() { return HandleNeeded(); }
  void SetHandle(HBRUSH Value);
  TColor GetColor() const { return FColor; }
  // A colour makes a clear brush solid.
  void SetColor(TColor Value);
  TBrushStyle GetStyle() const { return FStyle; }
  void SetStyle(TBrushStyle Value);
  // A pattern brush from a copy of the bitmap (nullptr: back to Style and Color).
  TBitmap* GetBitmap() const { return FBitmap.get(); }
  void SetBitmap(TBitmap* Value);

 protected:
  HGDIOBJ CreateHandle() override;

 private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  TOwned<TBitmap> FBitmap;
};

// ---------------------------------------------------------------------------------------------
// Canvas

// Which of the canvas's objects are selected into its DC (a bit mask).
enum TCanvasStateFlag : Cardinal {
  csHandleValid = 1u << 0,
  csFontValid = 1u << 1,
  csPenValid = 1u << 2,
  csBrushValid = 1u << 3,
};
using TCanvasState = Cardinal;
constexpr TCanvasState csAllValid = csHandleValid | csFontValid | csPenValid | csBrushValid;

using TCopyMode = DWORD;
constexpr TCopyMode cmBlackness = 0x00000042, cmDstInvert = 0x00550009, cmMergeCopy = 0x00C000CA,
                    cmMergePaint = 0x00BB0226, cmNotSrcCopy = 0x00330008, cmNotSrcErase = 0x001100A6,
                    cmPatCopy = 0x00F00021, cmPatInvert = 0x005A0049, cmPatPaint = 0x00FB0A09,
                    cmSrcAnd = 0x008800C6, cmSrcCopy = 0x00CC0020, cmSrcErase = 0x00440328,
                    cmSrcInvert = 0x00660046, cmSrcPaint = 0x00EE0086, cmWhiteness = 0x00FF0062;

enum TFillStyle { fsSurface, fsBorder };

class TGraphic;

// Drawing on a device context. The canvas does not own a DC it is given through SetHandle;
// descendants that make their own DC override CreateHandle (and free it themselves).
class TCanvas : public TPersistent {
  QJ_CLASS(TCanvas, TPersistent)
 public:
  TCanvas();
  ~TCanvas() override;

  // The DC with every object selected; raises EInvalidOperation when there is none to be had.
  HDC GetHandle();
  // Takes another DC (nullptr: none). Objects are deselected from the previous one first.
  void SetHandle(HDC Value);
  bool HandleAllocated() const { return FHandle != nullptr; }
  TCanvasState GetState() const { return FState; }

  TFont* GetFont() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TPen* GetPen() const { return FPen.get(); }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  TBrush* GetBrush() const { return FBrush.get(); }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
  TCopyMode GetCopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
  // ExtTextOut options added to every text output (ETO_RTLREADING...).
  Integer GetTextFlags() const { return FTextFlags; }
  void SetTextFlags(Integer Value) { FTextFlags = Value; }
  TPoint GetPenPos();
  void SetPenPos(TPoint Value) { MoveTo(Value.X, Value.Y); }
  TRect GetClipRect();

  TColor GetPixel(Integer X, Integer Y);
  void SetPixel(Integer X, Integer Y, TColor Value);

  void MoveTo(Integer X, Integer Y);
  void LineTo(Integer X, Integer Y);
  void Polyline(const std::vector<TPoint>& Points);
  void Polygon(const std::vector<TPoint>& Points);
  void PolyPolyline(const std::vector<TPoint>& Points, const std::vector<DWORD>& Counts);
  void Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2);
  void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
  void RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3);
  void Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2);
  void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
  void FillRect(const TRect& R);
  void FrameRect(const TRect& R);
  void DrawFocusRect(const TRect& R);
  // Fills from (X, Y): fsSurface replaces the area of Color, fsBorder fills up to a border of Color.
  void FloodFill(Integer X, Integer Y, TColor Color, TFillStyle FillStyle);

  void TextOut(Integer X, Integer Y, const String& Text);
  // Text clipped to R (and the background filled unless the brush is clear).
  void TextRect(const TRect& R, Integer X, Integer Y, const String& Text);
  TSize TextExtent(const String& Text);
  Integer TextWidth(const String& Text) { return TextExtent(Text).cx; }
  Integer TextHeight(const String& Text) { return TextExtent(Text).cy; }

  void Draw(Integer X, Integer Y, TGraphic* Graphic);
  void StretchDraw(const TRect& R, TGraphic* Graphic);
  // Copies Source of another canvas into Dest with CopyMode, stretching as needed.
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
  // Copies Source of the bitmap into Dest, with the pixels of Color replaced by the brush.
  void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);

  // Serialises drawing from several threads; nestable on one thread.
  void Lock();
  void Unlock();
  bool TryLock();
  Integer GetLockCount() const { return FLockCount; }

  // Deselects the objects so that they are selected again on next use.
  void Refresh() { DeselectHandles(); }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

  // Makes sure the DC exists and the named objects are selected into it.
  void RequiredState(TCanvasState ReqState);

 protected:
  // Descendants that own their DC make it here and pass it to SetHandle.
  virtual void CreateHandle() {}
  // The DC as it is, without making one or selecting anything.
  HDC HandleRaw() const { return FHandle; }
  virtual void Changing();
  virtual void Changed();
  void DeselectHandles();

 private:
  void SelectFont();
  void SelectPen();
  void SelectBrush();
  void FontChanged(TObject*);
  void PenChanged(TObject*);
  void BrushChanged(TObject*);

  HDC FHandle = nullptr;
  TCanvasState FState = 0;
  TOwned<TFont> FFont;
  TOwned<TPen> FPen;
  TOwned<TBrush> FBrush;
  TCopyMode FCopyMode = cmSrcCopy;
  Integer FTextFlags = 0;
  std::recursive_mutex FLock;
  Integer FLockCount = 0;
};

// Lends a canvas a DC for one paint: locked and bound here, unbound and unlocked on leaving,
// thrown or not.
class TCanvasDCScope {
 public:
  TCanvasDCScope(TCanvas* Canvas, HDC DC);
  ~TCanvasDCScope();
  TCanvasDCScope(const TCanvasDCScope&) = delete;
  TCanvasDCScope& operator=(const TCanvasDCScope&) = delete;

 private:
  TCanvas* FCanvas;
};

// Saves the state of a canvas's device context (clip, origins, selected objects) and restores it
// on leaving, thrown or not. The restored context holds the objects of before, so the canvas
// then selects its own font, pen and brush again on next use.
class TCanvasSavedDCScope {
 public:
  explicit TCanvasSavedDCScope(TCanvas* Canvas);
  ~TCanvasSavedDCScope();
  TCanvasSavedDCScope(const TCanvasSavedDCScope&) = delete;
  TCanvasSavedDCScope& operator=(const TCanvasSavedDCScope&) = delete;

 private:
  TCanvas* FCanvas;
  int FLevel;
};

// ---------------------------------------------------------------------------------------------
// Graphics

// Base of the picture formats. Descendants are created through their metaclass, so each needs
// a default constructor.
class TGraphic : public TPersistent {
 public:
  using MetaType = TMetaClassFor<TGraphic>;
  QJ_CLASS(TGraphic, TPersistent)

 public:
  virtual bool GetEmpty() const = 0;
  virtual Integer GetWidth() const = 0;
  virtual Integer GetHeight() const = 0;
  virtual void SetWidth(Integer Value) = 0;
  virtual void SetHeight(Integer Value) = 0;
  virtual bool GetTransparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  bool GetModified() const { return FModified; }
  void SetModified(bool Value);

  // Raise EInvalidGraphic for data of another format, EFOpenError for a missing file; the
  // previous image stays on failure.
  virtual void LoadFromStream(TStream* Stream) = 0;
  virtual void SaveToStream(TStream* Stream) = 0;
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName);

  TNotifyEvent OnChange;

 protected:
  friend class TCanvas;
  // Paints the graphic into R of the canvas (stretched to R).
  virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
  virtual void Changed(TObject* Sender);
  // Reads everything from the stream's position to its end.
  static std::vector<uint8_t> ReadRest(TStream* Stream);

 private:
  bool FTransparent = false;
  bool FModified = false;
};

using TGraphicClass = const TGraphic::MetaType*;

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };
enum TBitmapHandleType { bmDIB, bmDDB };

class TBitmapCanvas;

// A bitmap of 32-bit pixels (0x00RRGGBB), or a monochrome one (pf1bit). PixelFormat also picks
// the depth of saved files.
class TBitmap : public TGraphic {
  QJ_CLASS(TBitmap, TGraphic)
 public:
  TBitmap();
  ~TBitmap() override;

  void Assign(TPersistent* Source) override;

  bool GetEmpty() const override { return FHandle == nullptr; }
  Integer GetWidth() const override { return FWidth; }
  Integer GetHeight() const override { return FHeight; }
  void SetWidth(Integer Value) override { SetSize(Value, FHeight); }
  void SetHeight(Integer Value) override { SetSize(FWidth, Value); }
  // Keeps the pixels that still fit; new pixels take the canvas brush colour (white).
  void SetSize(Integer AWidth, Integer AHeight);

  TCanvas* GetCanvas();
  // The bitmap's handle, free of the canvas's DC so that it can be selected elsewhere.
  HBITMAP GetHandle();
  // Adopts the bitmap (deleted with this object); nullptr empties.
  void SetHandle(HBITMAP Value);
  // Gives the handle away: the caller deletes it and this bitmap is empty.
  HBITMAP ReleaseHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  // Kept for code that sets it: every bitmap here is device independent.
  TBitmapHandleType GetHandleType() const { return FHandleType; }
  void SetHandleType(TBitmapHandleType Value) { FHandleType = Value; }

  TPixelFormat GetPixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat Value);
  bool GetMonochrome() const { return FPixelFormat == pf1bit; }
  void SetMonochrome(bool Value);
  // Row Row of 32-bit pixels (0x00RRGGBB, Width of them); raises EInvalidGraphicOperation for a
  // row outside the bitmap and for monochrome bitmaps.
  uint32_t* ScanLine(Integer Row);

  // clDefault (tmAuto) takes the bottom-left pixel.
  TColor GetTransparentColor();
  void SetTransparentColor(TColor Value);
  TTransparentMode GetTransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode Value);

  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  // A bitmap the program registered by name (RegisterBitmapResource), or a system bitmap by id;
  // raises EResNotFound when there is none.
  void LoadFromResourceName(HINSTANCE Instance, const String& ResName);
  void LoadFromResourceID(HINSTANCE Instance, Integer ResID);

  // Frees the canvas's DC (it comes back on next use).
  void FreeContext();
  void Dormant() { FreeContext(); }
  // A monochrome bitmap, white where the pixels are TransparentColor; the caller deletes it.
  HBITMAP MaskHandleFor(TColor TransparentColor);

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

 private:
  friend class TBitmapCanvas;
  void ReplaceHandle(HBITMAP Value, TPixelFormat Format);
  HBITMAP NewImage(Integer W, Integer H, bool Mono, COLORREF Fill);
  void DrawTransparent(TCanvas* ACanvas, const TRect& Rect);

  HBITMAP FHandle = nullptr;
  Integer FWidth = 0;
  Integer FHeight = 0;
  TPixelFormat FPixelFormat = pfDevice;
  TBitmapHandleType FHandleType = bmDIB;
  TColor FTransparentColor = clDefault;
  TTransparentMode FTransparentMode = tmAuto;
  TOwned<TBitmapCanvas> FCanvas;
};

// An icon from an ICO file: the image nearest 32 x 32 of the file, drawn with its alpha or mask.
class TIcon : public TGraphic {
  QJ_CLASS(TIcon, TGraphic)
 public:
  TIcon();

  void Assign(TPersistent* Source) override;
  void AssignTo(TPersistent* Dest) override;

  bool GetEmpty() const override { return FPixels.empty(); }
  Integer GetWidth() const override { return FWidth; }
  Integer GetHeight() const override { return FHeight; }
  // An icon keeps the size of its image: raises EInvalidGraphicOperation.
  void SetWidth(Integer Value) override;
  void SetHeight(Integer Value) override;
  // The pixel at (X, Y) as 0xAARRGGBB (alpha 0: transparent).
  uint32_t GetPixelARGB(Integer X, Integer Y) const;

  void LoadFromStream(TStream* Stream) override;
  // Writes the file the icon was loaded from.
  void SaveToStream(TStream* Stream) override;

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

 private:
  std::vector<uint8_t> FData;
  std::vector<uint32_t> FPixels;  // 0xAARRGGBB, top-down
  Integer FWidth = 0;
  Integer FHeight = 0;
};

// ---------------------------------------------------------------------------------------------
// Picture: a graphic of any registered format

class TPicture : public TInterfacedPersistent {
  QJ_CLASS(TPicture, TInterfacedPersistent)
 public:
  TPicture();
  ~TPicture() override;

  void Assign(TPersistent* Source) override;

  TGraphic* GetGraphic() const { return FGraphic.get(); }
  // Takes a copy of Value (nullptr: empty).
  void SetGraphic(TGraphic* Value);
  // The graphic as a bitmap; another kind of graphic is replaced by an empty bitmap.
  TBitmap* GetBitmap();
  void SetBitmap(TBitmap* Value) { SetGraphic(Value); }
  TIcon* GetIcon();
  void SetIcon(TIcon* Value) { SetGraphic(Value); }
  Integer GetWidth() const { return FGraphic ? FGraphic->GetWidth() : 0; }
  Integer GetHeight() const { return FGraphic ? FGraphic->GetHeight() : 0; }

  // Picks the graphic class by the file's extension; raises EInvalidGraphic for an unknown one.
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName);
  // Picks the graphic class by the data's signature.
  void LoadFromStream(TStream* Stream);
  void SaveToStream(TStream* Stream);

  // The registry of formats: extension without the dot, description, class.
  static void RegisterFileFormat(const String& Extension, const String& Description, TGraphicClass GraphicClass);
  static void UnregisterGraphicClass(TGraphicClass GraphicClass);
  // The class registered for a file's extension, or nullptr.
  static TGraphicClass GraphicClassOfFile(const String& FileName);

  TNotifyEvent OnChange;

 protected:
  virtual void Changed(TObject* Sender);

 private:
  void SetOwnedGraphic(TOwned<TGraphic> Graphic);
  void LoadNew(TGraphicClass GraphicClass, const std::function<void(TGraphic*)>& Load);

  TOwned<TGraphic> FGraphic;
};

// File-dialog filters over the formats of GraphicClass and its descendants:
// "All (*.jpg;*.bmp)|*.jpg;*.bmp|JPEG Image File (*.jpg)|*.jpg|Bitmaps (*.bmp)|*.bmp".
String GraphicFilter(TGraphicClass GraphicClass);
// The first extension registered for the class ("bmp"), or empty.
String GraphicExtension(TGraphicClass GraphicClass);
// The pixel size the data of a bitmap, JPEG image or icon file would decode to, read from its
// headers alone (for an icon the largest of its images); false when no such header is readable.
// Lets a caller refuse data it does not trust before anything of that size is allocated.
bool ReadGraphicSize(const uint8_t* Data, size_t Size, TSize& ASize);
