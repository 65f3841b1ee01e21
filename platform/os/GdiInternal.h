// Private records of the drawing layer: object and DC tables shared by the Gdi*.cpp files.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/os/Gdi.h"
#include "platform/os/Region.h"
#include "platform/os/Surface.h"

struct TFontFace;  // resolved font (GdiText.cpp)

enum class TGdiKind { Pen, Brush, Font, Bitmap, Region };

struct TGdiObject {
  explicit TGdiObject(TGdiKind kind) : Kind(kind) {}
  virtual ~TGdiObject() = default;
  TGdiKind Kind;
  bool Stock = false;
};

struct TPenObject : TGdiObject {
  TPenObject() : TGdiObject(TGdiKind::Pen) {}
  UINT Style = PS_SOLID;
  Integer Width = 1;
  COLORREF Color = 0;
  bool DCPen = false;  // the stock DC_PEN: colour taken from the DC
};

struct TBrushObject : TGdiObject {
  TBrushObject() : TGdiObject(TGdiKind::Brush) {}
  UINT Style = BS_SOLID;
  COLORREF Color = 0;
  Integer Hatch = 0;
  PSurface Pattern;          // BS_PATTERN: a copy of the bitmap
  bool PatternMono = false;  // monochrome pattern: 0 takes the text colour, 1 the background
  bool DCBrush = false;      // the stock DC_BRUSH
};

struct TFontObject : TGdiObject {
  TFontObject() : TGdiObject(TGdiKind::Font) {}
  ~TFontObject() override;
  LOGFONT Log;
  std::shared_ptr<TFontFace> Face;  // resolved on first use
};

struct TBitmapObject : TGdiObject {
  TBitmapObject() : TGdiObject(TGdiKind::Bitmap) {}
  PSurface Surface;
  bool Mono = false;      // pixels are 0 or 0xFFFFFF
  HDC SelectedIn = nullptr;
};

struct TRegionObject : TGdiObject {
  TRegionObject() : TGdiObject(TGdiKind::Region) {}
  TRegionData Data;
};

// Object table: handles are small numbers, so a stale handle is never dereferenced.
HGDIOBJ RegisterObject(std::unique_ptr<TGdiObject> obj);
TGdiObject* LookupObject(HGDIOBJ h);
template <class T>
T* LookupAs(HGDIOBJ h, TGdiKind kind) {
  TGdiObject* o = LookupObject(h);
  return o && o->Kind == kind ? static_cast<T*>(o) : nullptr;
}
TPenObject* PenOf(HGDIOBJ h);
TBrushObject* BrushOf(HGDIOBJ h);
// After a theme switch: the system colour brushes take the colours of the look now active, and
// every window hears of it (WM_SYSCOLORCHANGE).
void SysColorsFollowTheme();
TFontObject* FontOf(HGDIOBJ h);
TBitmapObject* BitmapOf(HGDIOBJ h);
TRegionObject* RegionOf(HGDIOBJ h);

// A path being recorded or closed in a DC: figures of logical points, and text outlines.
struct TPathFigure {
  std::vector<TPoint> Points;
  bool Closed = false;
};

// The selectable state of a DC, kept whole by SaveDC.
struct TDCState {
  HGDIOBJ Pen = nullptr;
  HGDIOBJ Brush = nullptr;
  HGDIOBJ Font = nullptr;
  HGDIOBJ Bitmap = nullptr;
  COLORREF TextColor = 0;
  COLORREF BkColor = 0xFFFFFF;
  COLORREF DCBrushColor = 0xFFFFFF;
  COLORREF DCPenColor = 0;
  int BkMode = OPAQUE;
  int Rop2 = R2_COPYPEN;
  int StretchMode = BLACKONWHITE;
  int PolyFillMode = ALTERNATE;
  UINT TextAlign = 0;
  TPoint WindowOrg;
  TPoint ViewportOrg;
  TPoint BrushOrg;
  TPoint CurPos;
  std::optional<TRegionData> Clip;  // device coordinates
  Integer BreakExtra = 0;
  Integer BreakCount = 0;
};

struct TCairoTarget;  // cairo context over the DC's surface (GdiText.cpp)

struct TDC {
  bool Memory = false;
  PSurface Surface;            // target pixels (a memory DC's selected bitmap)
  bool MonoTarget = false;     // the selected bitmap is monochrome
  TPoint DeviceOrigin;         // surface position of device (0,0)
  std::optional<TRegionData> SystemClip;  // surface coordinates; none: the whole surface
  TDCState State;
  std::vector<TDCState> Saved;
  bool PathOpen = false;
  std::vector<TPathFigure> Path;
  bool HasPath = false;
  std::shared_ptr<TCairoTarget> Cairo;

  // Effective clip in surface coordinates, recomputed when clip or geometry change.
  const TRegionData& Clip();
  void InvalidateClip() { FClipValid = false; }

  TPoint ToSurface(TPoint logical) const {
    return {logical.X - State.WindowOrg.X + State.ViewportOrg.X + DeviceOrigin.X,
            logical.Y - State.WindowOrg.Y + State.ViewportOrg.Y + DeviceOrigin.Y};
  }
  TRect ToSurface(const TRect& r) const {
    TPoint a = ToSurface(r.TopLeft()), b = ToSurface(r.BottomRight());
    return {a.X, a.Y, b.X, b.Y};
  }
  // Logical to device offset (window origin and viewport origin).
  TPoint LogicalToDeviceOffset() const {
    return {State.ViewportOrg.X - State.WindowOrg.X, State.ViewportOrg.Y - State.WindowOrg.Y};
  }

 private:
  TRegionData FClip;
  bool FClipValid = false;
};

TDC* DCOf(HDC dc);

// Converts a colour for the DC's target: black or white on monochrome bitmaps.
uint32_t TargetPixel(const TDC& dc, COLORREF color);
inline uint32_t ColorToPixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
inline COLORREF PixelToColor(uint32_t p) { return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }

// Fill sources for spans: a solid pixel or a pattern tiled from the brush origin.
struct TFillSource {
  bool Pattern = false;
  uint32_t Solid = 0;
  const TSurface* Tile = nullptr;
  uint32_t Fore = 0, Back = 0;  // monochrome pattern: 0 bits -> Fore, 1 bits -> Back
  bool Mono = false;
  bool SkipBack = false;        // hatch in transparent mode: background pixels untouched
  Integer OrgX = 0, OrgY = 0;   // surface position of the pattern's (0,0)
  uint32_t At(Integer x, Integer y, bool* skip) const;
};
// Builds the fill source of a brush for this DC; false for a null brush or bad handle.
bool BrushSource(TDC& dc, HBRUSH brush, TFillSource& out);

// Writes a surface-coordinate rectangle (already within the surface) through the clip with a
// ternary raster operation of pattern and destination.
void FillSurfaceRect(TDC& dc, const TRect& surfaceRect, const TFillSource& src, DWORD rop);
// Fills a region (surface coordinates) through the clip with the binary pen/brush operation.
void FillSurfaceRegion(TDC& dc, const TRegionData& region, const TFillSource& src, int rop2);
// Draws the DC's pen along a polyline in logical coordinates (last pixel excluded).
void StrokePolyline(TDC& dc, const std::vector<TPoint>& logical, bool closed);
uint32_t ApplyRop2(int rop2, uint32_t pen, uint32_t dest);
uint32_t ApplyRop3(DWORD rop, uint32_t pat, uint32_t src, uint32_t dest);

// Text module hooks.
void ReleaseCairoTarget(TDC& dc);
void AddTextToPath(TDC& dc, TPoint logical, const String& text);
