// Device contexts: the DC table, surface and memory DCs, selection, state, origins and clipping.
#include <algorithm>
#include <unordered_map>
#include <utility>

#include "platform/os/GdiInternal.h"

namespace {

std::unordered_map<uintptr_t, std::unique_ptr<TDC>>& DCTable() {
  static std::unordered_map<uintptr_t, std::unique_ptr<TDC>> table;
  return table;
}

// DC handles are 2 mod 4, object handles 0 mod 4: the two never collide.
HDC RegisterDC(std::unique_ptr<TDC> dc) {
  static uintptr_t next = 0x1002;
  next += 4;
  DCTable().emplace(next, std::move(dc));
  return reinterpret_cast<HDC>(next);
}

// The 1x1 monochrome bitmap every new memory DC starts with.
HBITMAP DefaultBitmap() {
  static HBITMAP bmp = [] {
    HBITMAP h = CreateBitmap(1, 1, 1, 1, nullptr);
    LookupObject(h)->Stock = true;
    return h;
  }();
  return bmp;
}

void InitState(TDCState& s) {
  s.Pen = GetStockObject(BLACK_PEN);
  s.Brush = GetStockObject(WHITE_BRUSH);
  s.Font = GetStockObject(SYSTEM_FONT);
}

int Complexity(const TRegionData& d) {
  if (d.IsEmpty()) return NULLREGION;
  return d.RectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

void AttachBitmap(TDC& d, HBITMAP h) {
  TBitmapObject* bmp = BitmapOf(h);
  d.Surface = bmp->Surface;
  d.MonoTarget = bmp->Mono;
  d.State.Bitmap = h;
  d.InvalidateClip();
  ReleaseCairoTarget(d);
}

HGDIOBJ SelectBitmap(HDC dc, TDC& d, HBITMAP h) {
  TBitmapObject* bmp = BitmapOf(h);
  if (!d.Memory || !bmp) return nullptr;
  if (bmp->SelectedIn && bmp->SelectedIn != dc && !bmp->Stock) return nullptr;
  HGDIOBJ old = d.State.Bitmap;
  if (TBitmapObject* prev = BitmapOf(old)) prev->SelectedIn = nullptr;
  AttachBitmap(d, h);
  if (!bmp->Stock) bmp->SelectedIn = dc;
  return old;
}

// Area a clip region may cover, in device coordinates.
TRect DeviceExtent(const TDC& d) {
  TRect r{0, 0, d.Surface ? d.Surface->LogicalWidth() : 0, d.Surface ? d.Surface->LogicalHeight() : 0};
  if (d.SystemClip) r = d.SystemClip->Bounds();
  return {r.Left - d.DeviceOrigin.X, r.Top - d.DeviceOrigin.Y, r.Right - d.DeviceOrigin.X,
          r.Bottom - d.DeviceOrigin.Y};
}

TRegionData CurrentDeviceClip(const TDC& d) {
  return d.State.Clip ? *d.State.Clip : TRegionData(DeviceExtent(d));
}

TRect LogicalToDeviceRect(const TDC& d, int left, int top, int right, int bottom) {
  TPoint o = d.LogicalToDeviceOffset();
  return {std::min(left, right) + o.X, std::min(top, bottom) + o.Y, std::max(left, right) + o.X,
          std::max(top, bottom) + o.Y};
}

int SetDeviceClip(TDC& d, std::optional<TRegionData> clip) {
  d.State.Clip = std::move(clip);
  d.InvalidateClip();
  return Complexity(d.Clip());
}

BOOL SetOrigin(HDC dc, TPoint TDCState::*field, int x, int y, LPPOINT old, bool relative) {
  TDC* d = DCOf(dc);
  if (!d) return FALSE;
  TPoint& p = d->State.*field;
  if (old) *old = p;
  p = relative ? TPoint{p.X + x, p.Y + y} : TPoint{x, y};
  return TRUE;
}

BOOL GetOrigin(HDC dc, TPoint TDCState::*field, LPPOINT org) {
  TDC* d = DCOf(dc);
  if (!d || !org) return FALSE;
  *org = d->State.*field;
  return TRUE;
}

template <class T>
T SwapState(HDC dc, T TDCState::*field, T value, T failure) {
  TDC* d = DCOf(dc);
  if (!d) return failure;
  T old = d->State.*field;
  d->State.*field = value;
  return old;
}

template <class T>
T ReadState(HDC dc, T TDCState::*field, T failure) {
  TDC* d = DCOf(dc);
  return d ? d->State.*field : failure;
}

}  // namespace

TDC* DCOf(HDC dc) {
  auto& table = DCTable();
  auto it = table.find(reinterpret_cast<uintptr_t>(dc));
  return it == table.end() ? nullptr : it->second.get();
}

const TRegionData& TDC::Clip() {
  if (FClipValid) return FClip;
  TRect surfaceRect{0, 0, Surface ? Surface->LogicalWidth() : 0, Surface ? Surface->LogicalHeight() : 0};
  FClip = SystemClip ? SystemClip->Intersect(TRegionData(surfaceRect)) : TRegionData(surfaceRect);
  if (State.Clip) {
    TRegionData app = *State.Clip;
    app.Offset(DeviceOrigin.X, DeviceOrigin.Y);
    FClip = FClip.Intersect(app);
  }
  FClipValid = true;
  return FClip;
}

uint32_t TargetPixel(const TDC& dc, COLORREF color) {
  uint32_t p = ColorToPixel(color);
  if (!dc.MonoTarget) return p;
  Integer sum = GetRValue(color) + GetGValue(color) + GetBValue(color);
  return sum >= 3 * 128 ? 0xFFFFFF : 0;
}

// ---------------------------------------------------------------------------------------------
// Surface DCs for the window system

HDC CreateSurfaceDC(PSurface surface, TPoint origin, const TRegionData& clip) {
  if (!surface) return nullptr;
  auto d = std::make_unique<TDC>();
  d->Surface = std::move(surface);
  d->DeviceOrigin = origin;
  d->SystemClip = clip;
  InitState(d->State);
  return RegisterDC(std::move(d));
}

void SetSurfaceDCGeometry(HDC dc, TPoint origin, const TRegionData& clip) {
  TDC* d = DCOf(dc);
  if (!d || d->Memory) return;
  d->DeviceOrigin = origin;
  d->SystemClip = clip;
  d->InvalidateClip();
}

void DeleteSurfaceDC(HDC dc) {
  TDC* d = DCOf(dc);
  if (d && !d->Memory) DeleteDC(dc);
}

// ---------------------------------------------------------------------------------------------
// Memory DCs and state

HDC CreateCompatibleDC(HDC dc) {
  if (dc && !DCOf(dc)) return nullptr;
  auto d = std::make_unique<TDC>();
  d->Memory = true;
  InitState(d->State);
  AttachBitmap(*d, DefaultBitmap());
  return RegisterDC(std::move(d));
}

BOOL DeleteDC(HDC dc) {
  TDC* d = DCOf(dc);
  if (!d) return FALSE;
  if (TBitmapObject* bmp = BitmapOf(d->State.Bitmap)) bmp->SelectedIn = nullptr;
  ReleaseCairoTarget(*d);
  DCTable().erase(reinterpret_cast<uintptr_t>(dc));
  return TRUE;
}

DWORD GetDCObjectType(HDC dc) {
  TDC* d = DCOf(dc);
  if (!d) return 0;
  return d->Memory ? OBJ_MEMDC : OBJ_DC;
}

int SaveDC(HDC dc) {
  TDC* d = DCOf(dc);
  if (!d) return 0;
  d->Saved.push_back(d->State);
  return int(d->Saved.size());
}

BOOL RestoreDC(HDC dc, int savedDC) {
  TDC* d = DCOf(dc);
  if (!d) return FALSE;
  int depth = int(d->Saved.size());
  int level = savedDC < 0 ? depth + savedDC + 1 : savedDC;
  if (level < 1 || level > depth) return FALSE;
  TDCState state = d->Saved[size_t(level - 1)];
  d->Saved.resize(size_t(level - 1));
  HGDIOBJ bitmap = state.Bitmap;
  d->State = std::move(state);
  if (d->Memory && BitmapOf(bitmap)) SelectBitmap(dc, *d, bitmap);
  else if (d->Memory) AttachBitmap(*d, DefaultBitmap());
  d->InvalidateClip();
  return TRUE;
}

BOOL SetWindowOrgEx(HDC dc, int x, int y, LPPOINT old) { return SetOrigin(dc, &TDCState::WindowOrg, x, y, old, false); }
BOOL GetWindowOrgEx(HDC dc, LPPOINT org) { return GetOrigin(dc, &TDCState::WindowOrg, org); }
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, LPPOINT old) {
  return SetOrigin(dc, &TDCState::WindowOrg, dx, dy, old, true);
}
BOOL SetViewportOrgEx(HDC dc, int x, int y, LPPOINT old) {
  return SetOrigin(dc, &TDCState::ViewportOrg, x, y, old, false);
}
BOOL GetViewportOrgEx(HDC dc, LPPOINT org) { return GetOrigin(dc, &TDCState::ViewportOrg, org); }
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, LPPOINT old) {
  return SetOrigin(dc, &TDCState::ViewportOrg, dx, dy, old, true);
}
BOOL SetBrushOrgEx(HDC dc, int x, int y, LPPOINT old) { return SetOrigin(dc, &TDCState::BrushOrg, x, y, old, false); }
BOOL GetBrushOrgEx(HDC dc, LPPOINT org) { return GetOrigin(dc, &TDCState::BrushOrg, org); }

BOOL LPtoDP(HDC dc, LPPOINT points, int count) {
  TDC* d = DCOf(dc);
  if (!d || (!points && count > 0)) return FALSE;
  TPoint o = d->LogicalToDeviceOffset();
  for (int i = 0; i < count; ++i) points[i] = {points[i].X + o.X, points[i].Y + o.Y};
  return TRUE;
}

BOOL DPtoLP(HDC dc, LPPOINT points, int count) {
  TDC* d = DCOf(dc);
  if (!d || (!points && count > 0)) return FALSE;
  TPoint o = d->LogicalToDeviceOffset();
  for (int i = 0; i < count; ++i) points[i] = {points[i].X - o.X, points[i].Y - o.Y};
  return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj) {
  TDC* d = DCOf(dc);
  TGdiObject* o = LookupObject(obj);
  if (!d || !o) return nullptr;
  switch (o->Kind) {
    case TGdiKind::Pen: return std::exchange(d->State.Pen, obj);
    case TGdiKind::Brush: return std::exchange(d->State.Brush, obj);
    case TGdiKind::Font: return std::exchange(d->State.Font, obj);
    case TGdiKind::Bitmap: return SelectBitmap(dc, *d, obj);
    case TGdiKind::Region:
      return reinterpret_cast<HGDIOBJ>(uintptr_t(SelectClipRgn(dc, obj)));
  }
  return nullptr;
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
  TDC* d = DCOf(dc);
  if (!d) return nullptr;
  switch (type) {
    case OBJ_PEN: return d->State.Pen;
    case OBJ_BRUSH: return d->State.Brush;
    case OBJ_FONT: return d->State.Font;
    case OBJ_BITMAP: return d->Memory ? d->State.Bitmap : nullptr;
    default: return nullptr;
  }
}

COLORREF SetTextColor(HDC dc, COLORREF c) { return SwapState(dc, &TDCState::TextColor, c & 0xFFFFFF, CLR_INVALID); }
COLORREF GetTextColor(HDC dc) { return ReadState(dc, &TDCState::TextColor, CLR_INVALID); }
COLORREF SetBkColor(HDC dc, COLORREF c) { return SwapState(dc, &TDCState::BkColor, c & 0xFFFFFF, CLR_INVALID); }
COLORREF GetBkColor(HDC dc) { return ReadState(dc, &TDCState::BkColor, CLR_INVALID); }
int SetBkMode(HDC dc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return SwapState(dc, &TDCState::BkMode, mode, 0);
}
int GetBkMode(HDC dc) { return ReadState(dc, &TDCState::BkMode, 0); }
int SetROP2(HDC dc, int rop2) {
  if (rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
  return SwapState(dc, &TDCState::Rop2, rop2, 0);
}
int GetROP2(HDC dc) { return ReadState(dc, &TDCState::Rop2, 0); }
int SetStretchBltMode(HDC dc, int mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return SwapState(dc, &TDCState::StretchMode, mode, 0);
}
int GetStretchBltMode(HDC dc) { return ReadState(dc, &TDCState::StretchMode, 0); }
int SetPolyFillMode(HDC dc, int mode) {
  if (mode != ALTERNATE && mode != WINDING) return 0;
  return SwapState(dc, &TDCState::PolyFillMode, mode, 0);
}
int GetPolyFillMode(HDC dc) { return ReadState(dc, &TDCState::PolyFillMode, 0); }
UINT SetTextAlign(HDC dc, UINT align) { return SwapState(dc, &TDCState::TextAlign, align, UINT(GDI_ERROR)); }
UINT GetTextAlign(HDC dc) { return ReadState(dc, &TDCState::TextAlign, UINT(GDI_ERROR)); }
COLORREF SetDCBrushColor(HDC dc, COLORREF c) {
  return SwapState(dc, &TDCState::DCBrushColor, c & 0xFFFFFF, CLR_INVALID);
}
COLORREF SetDCPenColor(HDC dc, COLORREF c) { return SwapState(dc, &TDCState::DCPenColor, c & 0xFFFFFF, CLR_INVALID); }

int GetDeviceCaps(HDC dc, int index) {
  TDC* d = DCOf(dc);
  if (!d) return 0;
  switch (index) {
    case HORZRES: return d->Surface ? d->Surface->LogicalWidth() : 0;
    case VERTRES: return d->Surface ? d->Surface->LogicalHeight() : 0;
    case BITSPIXEL: return d->MonoTarget ? 1 : 32;
    case PLANES: return 1;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case NUMCOLORS: return -1;
    default: return 0;
  }
}

// ---------------------------------------------------------------------------------------------
// Clipping

int SelectClipRgn(HDC dc, HRGN rgn) { return ExtSelectClipRgn(dc, rgn, RGN_COPY); }

int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode) {
  TDC* d = DCOf(dc);
  if (!d) return ERROR;
  if (!rgn) return mode == RGN_COPY ? SetDeviceClip(*d, std::nullopt) : ERROR;
  const TRegionData* r = RegionFromHandle(rgn);
  if (!r) return ERROR;
  TRegionData current = CurrentDeviceClip(*d);
  switch (mode) {
    case RGN_COPY: return SetDeviceClip(*d, *r);
    case RGN_AND: return SetDeviceClip(*d, current.Intersect(*r));
    case RGN_OR: return SetDeviceClip(*d, current.Union(*r));
    case RGN_XOR: return SetDeviceClip(*d, current.Xor(*r));
    case RGN_DIFF: return SetDeviceClip(*d, current.Subtract(*r));
    default: return ERROR;
  }
}

int GetClipRgn(HDC dc, HRGN rgn) {
  TDC* d = DCOf(dc);
  if (!d || !RegionFromHandle(rgn)) return -1;
  if (!d->State.Clip) return 0;
  SetRegionHandleData(rgn, *d->State.Clip);
  return 1;
}

int GetClipBox(HDC dc, LPRECT rect) {
  TDC* d = DCOf(dc);
  if (!d || !rect) return ERROR;
  const TRegionData& clip = d->Clip();
  if (clip.IsEmpty()) {
    *rect = {};
    return NULLREGION;
  }
  TRect b = clip.Bounds();
  TPoint o = d->LogicalToDeviceOffset();
  Integer dx = o.X + d->DeviceOrigin.X, dy = o.Y + d->DeviceOrigin.Y;
  *rect = {b.Left - dx, b.Top - dy, b.Right - dx, b.Bottom - dy};
  return Complexity(clip);
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
  TDC* d = DCOf(dc);
  if (!d) return ERROR;
  TRegionData r(LogicalToDeviceRect(*d, left, top, right, bottom));
  return SetDeviceClip(*d, d->State.Clip ? d->State.Clip->Intersect(r) : r);
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
  TDC* d = DCOf(dc);
  if (!d) return ERROR;
  TRegionData r(LogicalToDeviceRect(*d, left, top, right, bottom));
  return SetDeviceClip(*d, CurrentDeviceClip(*d).Subtract(r));
}

int OffsetClipRgn(HDC dc, int dx, int dy) {
  TDC* d = DCOf(dc);
  if (!d) return ERROR;
  if (!d->State.Clip) return Complexity(d->Clip());
  TRegionData r = *d->State.Clip;
  r.Offset(dx, dy);
  return SetDeviceClip(*d, r);
}

BOOL RectVisible(HDC dc, const RECT* rect) {
  TDC* d = DCOf(dc);
  if (!d || !rect) return FALSE;
  TRect r = LogicalToDeviceRect(*d, rect->Left, rect->Top, rect->Right, rect->Bottom);
  r = {r.Left + d->DeviceOrigin.X, r.Top + d->DeviceOrigin.Y, r.Right + d->DeviceOrigin.X,
       r.Bottom + d->DeviceOrigin.Y};
  return d->Clip().Intersects(r);
}

BOOL PtVisible(HDC dc, int x, int y) {
  TDC* d = DCOf(dc);
  if (!d) return FALSE;
  return d->Clip().Contains(d->ToSurface(TPoint{x, y}));
}
