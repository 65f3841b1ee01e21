// The drawing surface of the library: the canvas wrapper with library text flags, per-side
// frames, 3D edges, glyphs, bitmap tiling and region clipping; the ultra-flat colour blends; the
// shared solid-brush cache and the system-colour change notifier.
//
// Where the parts live: qvGraphics.cpp (canvas, regions, colours), qvGraphicsBrushCache.cpp
// (brush cache, colour-change listener and notifiers).
#pragma once

#include <functional>
#include <span>
#include <vector>

#include "platform/forms/Graphics.h"

struct TMessage;

// ---------------------------------------------------------------------------------------------
// Flags and small types

// The library's text-flag word; each bit maps to DrawText flags (TextFlagsToDrawTextFlags).
using TqvTextFlags = Cardinal;
constexpr TqvTextFlags tfLeft = 0x0001, tfRight = 0x0002, tfHCenter = 0x0004, tfTop = 0x0008,
                       tfBottom = 0x0010, tfVCenter = 0x0020, tfSingleLine = 0x0040, tfNoClip = 0x0080,
                       tfExpandTabs = 0x0100, tfShowPrefix = 0x0200, tfWordBreak = 0x0400,
                       tfEndEllipsis = 0x0800, tfCalcOnly = 0x1000, tfPathEllipsis = 0x2000;
constexpr TqvTextFlags tfHorzMask = 0x0007, tfVertMask = 0x0038;

// DT_NOPREFIX unless tfShowPrefix, plus the DrawText flag of every other bit.
UINT TextFlagsToDrawTextFlags(TqvTextFlags AFlags);

enum TqvRegionOperation { roCopy, roUnion, roDifference, roIntersection };

enum TqvBorder { bLeft, bTop, bRight, bBottom };
using TqvBorders = Cardinal;  // bit (1 << TqvBorder)
constexpr TqvBorders qvBorder(TqvBorder B) { return 1u << B; }
constexpr TqvBorders qvAllBorders = 0xF;

// R moved inwards by D on every side (outwards for a negative D), and R moved by (DX, DY).
inline TRect qvDeflatedRect(const TRect& R, Integer D) { return {R.Left + D, R.Top + D, R.Right - D, R.Bottom - D}; }
inline TRect qvOffsetRect(const TRect& R, Integer DX, Integer DY) {
  return {R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY};
}
// The common part of two rectangles, empty (all zero) when they do not meet.
inline TRect qvIntersectRect(const TRect& A, const TRect& B) {
  const TRect r{A.Left > B.Left ? A.Left : B.Left, A.Top > B.Top ? A.Top : B.Top,
                A.Right < B.Right ? A.Right : B.Right, A.Bottom < B.Bottom ? A.Bottom : B.Bottom};
  return r.IsEmpty() ? TRect{} : r;
}

// A clip region handed out as "the whole plane" when a device context has none.
constexpr Integer qvMaxClipCoordinate = 107374182;

// ---------------------------------------------------------------------------------------------
// Regions

// Owns one region handle; the handle is deleted with the object.
class TqvRegion : public TObject {
  QJ_CLASS(TqvRegion, TObject)
 public:
  // Takes ownership of an existing handle.
  explicit TqvRegion(HRGN AHandle);
  explicit TqvRegion(const TRect& R);
  TqvRegion(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom);
  // The empty rectangle (0, 0, 0, 0).
  TqvRegion();
  ~TqvRegion() override;

  HRGN GetHandle() const { return FHandle; }
  bool IsEmpty() const;
  // roCopy makes this region a copy of ARegion; the others combine in place. The owning
  // overload frees ARegion afterwards.
  void Combine(const TqvRegion* ARegion, TqvRegionOperation AOperation);
  void Combine(TOwned<TqvRegion> ARegion, TqvRegionOperation AOperation);
  void Offset(Integer X, Integer Y);

 private:
  HRGN FHandle = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Canvas

// Wraps a platform canvas that it does not own (a control's paint canvas, a bitmap's canvas).
class TqvCanvas : public TObject {
  QJ_CLASS(TqvCanvas, TObject)
 public:
  explicit TqvCanvas(TCanvas* ACanvas) : FCanvas(ACanvas) {}

  TCanvas* GetCanvas() const { return FCanvas; }
  TBrush* GetBrush() const { return FCanvas->GetBrush(); }
  TPen* GetPen() const { return FCanvas->GetPen(); }
  TFont* GetFont() const { return FCanvas->GetFont(); }
  void SetFont(TFont* Value) { FCanvas->SetFont(Value); }
  HDC GetHandle() const { return FCanvas->GetHandle(); }
  TPoint GetWindowOrg() const;
  void SetPixel(Integer X, Integer Y, TColor Color) { FCanvas->SetPixel(X, Y, Color); }

  // Sets the brush colour only when it differs (painters use this, not the brush).
  void SetBrushColor(TColor Value);
  void FillRect(const TRect& R) { FCanvas->FillRect(R); }
  void MoveTo(Integer X, Integer Y) { FCanvas->MoveTo(X, Y); }
  void LineTo(Integer X, Integer Y) { FCanvas->LineTo(X, Y); }
  void Polygon(std::span<const TPoint> Points);
  void Polyline(std::span<const TPoint> Points);
  void Draw(Integer X, Integer Y, TGraphic* Graphic) { FCanvas->Draw(X, Y, Graphic); }
  // Uses the wrapped canvas's copy mode.
  void CopyRect(const TRect& Dest, TCanvas* SourceCanvas, const TRect& Source) {
    FCanvas->CopyRect(Dest, SourceCanvas, Source);
  }

  // Bands LineWidth wide inside R on the given sides; clDefault keeps the brush colour.
  void FrameRect(const TRect& R, TColor Color = clDefault, Integer LineWidth = 1, TqvBorders Borders = qvAllBorders);
  // Left and top bands in LeftTopColor, then right and bottom ones (over the shared corners).
  void DrawComplexFrame(const TRect& R, TColor LeftTopColor, TColor RightBottomColor,
                        TqvBorders Borders = qvAllBorders, Integer BorderWidth = 1);
  // A 1-pixel 3D edge; a full 3D border is an outer edge on R and an inner one on R deflated by 1.
  void DrawEdge(const TRect& R, bool Sunken, bool Outer, TqvBorders Borders = qvAllBorders);
  // The dotted XOR focus rectangle, with a white brush and black text selected.
  void DrawFocusRect(const TRect& R);
  void InvertRect(const TRect& R);
  // Enabled: the glyph with its transparent colour replaced by BackgroundColor (clNone: left
  // transparent). Disabled: the platform's embossed look.
  void DrawGlyph(Integer X, Integer Y, TBitmap* Glyph, bool Enabled = true, TColor BackgroundColor = clNone);

  // Empty text draws nothing. Single-line text without prefix or ellipsis is placed here and
  // written with ExtTextOut; everything else goes through DrawText. Disabled text is embossed.
  void DrawText(const String& Text, TRect R, TqvTextFlags Flags, bool Enabled = true);
  // R becomes the text's bounding box, placed inside the old R by the alignment flags.
  void CalcTextRect(const String& Text, TRect& R, TqvTextFlags Flags);
  TSize TextExtent(const String& Text);
  Integer TextWidth(const String& Text) { return TextExtent(Text).cx; }
  Integer TextHeight(const String& Text) { return TextExtent(Text).cy; }
  // Assigns Font to the canvas and measures "Qq".
  Integer FontHeight(TFont* Font);

  // Tiles the bitmap at multiples of its size from the canvas origin, also left of and above it.
  void FillRectWithBitmap(const TRect& R, TBitmap* Bitmap);

  void ExcludeClipRect(const TRect& R);
  void IntersectClipRect(const TRect& R);
  // The clip region in device coordinates, or the whole plane when the DC has none.
  TOwned<TqvRegion> GetClipRegion();
  // roCopy selects Region (device coordinates) as the clip; the other operations combine the
  // current clip with Region given in logical coordinates. Region itself is never changed; the
  // owning overload frees it.
  void SetClipRegion(const TqvRegion* Region, TqvRegionOperation Operation);
  void SetClipRegion(TOwned<TqvRegion> Region, TqvRegionOperation Operation);
  bool RectVisible(const TRect& R);

 protected:
  void SetCanvas(TCanvas* ACanvas) { FCanvas = ACanvas; }

 private:
  void OutputText(const String& Text, TRect& R, bool UseDrawText, UINT DrawTextFlags, UINT ExtTextOptions);

  TCanvas* FCanvas;
};

// A canvas on the screen device context (GetDC(0)); released when the canvas is freed.
class TScreenCanvas : public TCanvas {
  QJ_CLASS(TScreenCanvas, TCanvas)
 public:
  ~TScreenCanvas() override;
  void FreeHandle();

 protected:
  void CreateHandle() override;

 private:
  HDC FDC = nullptr;
};

// A TqvCanvas over its own screen canvas, for measuring text where no window exists.
class TqvScreenCanvas : public TqvCanvas {
  QJ_CLASS(TqvScreenCanvas, TqvCanvas)
 public:
  TqvScreenCanvas();
  ~TqvScreenCanvas() override;
};

// ---------------------------------------------------------------------------------------------
// Colours

TColor GetNearestScreenColor(TColor Color);
// Each channel: the three system colours weighted by percentages (MulDiv, clamped); clHighlight
// itself when clBtnFace is black or white.
TColor BlendSystemColors(ShortInt BtnFacePercent, ShortInt HighlightPercent, ShortInt WindowPercent);
// Recomputed on every call, so they follow system colour changes.
TColor GetUltraFlatHotColor();
TColor GetUltraFlatPressedColor();

// ---------------------------------------------------------------------------------------------
// System colour change notification

// Runs a notification; an exception it raises goes to the application's exception handler, so
// that a broadcast goes on to the next subscriber.
void CallRoutingExceptions(TObject* Sender, const std::function<void()>& Call);

// Calls OnSystemPaletteChanged after each system colour change, while it lives.
class TqvSystemPaletteChangedNotifier : public TObject {
  QJ_CLASS(TqvSystemPaletteChangedNotifier, TObject)
 public:
  TqvSystemPaletteChangedNotifier();
  ~TqvSystemPaletteChangedNotifier() override;

  std::function<void()> OnSystemPaletteChanged;
};

// A hidden window hearing WM_SYSCOLORCHANGE; tells the notifiers in registration order. A
// notifier that raises goes to the application's exception handler and the others still hear it.
class TqvSystemPaletteChangedListener : public TObject {
  QJ_CLASS(TqvSystemPaletteChangedListener, TObject)
 public:
  TqvSystemPaletteChangedListener();
  ~TqvSystemPaletteChangedListener() override;

  void AddNotifier(TqvSystemPaletteChangedNotifier* ANotifier);
  void RemoveNotifier(TqvSystemPaletteChangedNotifier* ANotifier);
  void NotifyAll();

 private:
  void WndProc(TMessage& Message);

  HWND FWindow = nullptr;
  std::vector<TqvSystemPaletteChangedNotifier*> FNotifiers;
};

// ---------------------------------------------------------------------------------------------
// Solid brush cache

// Solid brushes by colour. System colours get the system's brushes; other colours live in a
// sorted array with use counters, the least used evicted when it is full. An evicted brush is
// deleted only once the message loop runs again, so a handle stays valid for the whole paint
// that asked for it. A system colour change deletes every brush.
class TqvSolidBrushCache : public TObject {
  QJ_CLASS(TqvSolidBrushCache, TObject)
 public:
  static constexpr Integer DefaultCapacity = 128;

  explicit TqvSolidBrushCache(Integer ACapacity = DefaultCapacity);
  ~TqvSolidBrushCache() override;

  HBRUSH GetBrush(TColor Color);
  void DeleteAll();
  virtual void SystemPaletteChanged() { DeleteAll(); }

  Integer GetCapacity() const { return FCapacity; }
  Integer GetCount() const { return static_cast<Integer>(FEntries.size()); }
  TColor GetColor(Integer AIndex) const { return FEntries[size_t(AIndex)].Color; }
  Cardinal GetUseCount(Integer AIndex) const { return FEntries[size_t(AIndex)].UseCount; }
  // Evicted brushes waiting for the message loop.
  Integer GetRetiredCount() const { return static_cast<Integer>(FRetired.size()); }
  // Deletes the evicted brushes now (the loop's flush does the same).
  void DeleteRetired();

 protected:
  // The entry of Color, or false with AIndex at the place that keeps the order.
  bool FindColor(TColor Color, Integer& AIndex) const;
  HBRUSH AddBrush(TColor Color, Integer AIndex);
  Integer GetLeastUsedIndex() const;

 private:
  struct TEntry {
    TColor Color;
    HBRUSH Brush;
    Cardinal UseCount;
  };
  void Retire(HBRUSH Brush);
  void FlushWndProc(TMessage& Message);

  Integer FCapacity;
  std::vector<TEntry> FEntries;
  std::vector<HBRUSH> FRetired;
  HWND FFlushWindow = nullptr;
  bool FFlushPosted = false;
  TOwned<TqvSystemPaletteChangedNotifier> FNotifier;
};

// The shared cache's brush for Color (the canvas is not used). Never delete it.
HBRUSH GetSolidBrush(TqvCanvas* Canvas, TColor Color);
HBRUSH GetSolidBrushForCanvas(TCanvas* Canvas, TColor Color);
void ResetSolidBrushCache();
// The process-wide cache and listener (made on first use when the unit was not started).
TqvSolidBrushCache* SolidBrushCache();
TqvSystemPaletteChangedListener* SystemPaletteChangedListener();

// Start-up (listener, cache) and shut-down (cache, listener) of the unit's process-wide objects.
void InitGraphicsUnit();
void DoneGraphicsUnit();
