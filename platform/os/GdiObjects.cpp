// GDI object table: pens, brushes, fonts, bitmaps and regions behind numeric handles.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/os/GdiInternal.h"

namespace {

std::unordered_map<uintptr_t, std::unique_ptr<TGdiObject>>& ObjectTable() {
  static std::unordered_map<uintptr_t, std::unique_ptr<TGdiObject>> table;
  return table;
}

uintptr_t NextObjectId() {
  static uintptr_t next = 0x1000;
  return next += 4;
}

HGDIOBJ HandleOf(uintptr_t id) { return reinterpret_cast<HGDIOBJ>(id); }

HGDIOBJ MakePen(UINT style, Integer width, COLORREF color, bool stock = false) {
  auto pen = std::make_unique<TPenObject>();
  pen->Style = style & PS_STYLE_MASK;
  pen->Width = width < 1 ? 1 : width;
  pen->Color = color & 0xFFFFFF;
  pen->Stock = stock;
  return RegisterObject(std::move(pen));
}

HGDIOBJ MakeBrush(UINT style, COLORREF color, Integer hatch, bool stock = false) {
  auto brush = std::make_unique<TBrushObject>();
  brush->Style = style;
  brush->Color = color & 0xFFFFFF;
  brush->Hatch = hatch;
  brush->Stock = stock;
  return RegisterObject(std::move(brush));
}

HGDIOBJ MakeRegion(TRegionData data) {
  auto rgn = std::make_unique<TRegionObject>();
  rgn->Data = std::move(data);
  return RegisterObject(std::move(rgn));
}

int RegionComplexity(const TRegionData& d) {
  if (d.IsEmpty()) return NULLREGION;
  return d.RectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

HGDIOBJ MakeStockFont(const char* face, LONG height, LONG weight) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  HGDIOBJ h = CreateFontIndirect(&lf);
  LookupObject(h)->Stock = true;
  return h;
}

HGDIOBJ CreateStockObject(int index) {
  switch (index) {
    case WHITE_BRUSH: return MakeBrush(BS_SOLID, RGB(255, 255, 255), 0, true);
    case LTGRAY_BRUSH: return MakeBrush(BS_SOLID, RGB(192, 192, 192), 0, true);
    case GRAY_BRUSH: return MakeBrush(BS_SOLID, RGB(128, 128, 128), 0, true);
    case DKGRAY_BRUSH: return MakeBrush(BS_SOLID, RGB(64, 64, 64), 0, true);
    case BLACK_BRUSH: return MakeBrush(BS_SOLID, RGB(0, 0, 0), 0, true);
    case NULL_BRUSH: return MakeBrush(BS_NULL, 0, 0, true);
    case WHITE_PEN: return MakePen(PS_SOLID, 1, RGB(255, 255, 255), true);
    case BLACK_PEN: return MakePen(PS_SOLID, 1, RGB(0, 0, 0), true);
    case NULL_PEN: return MakePen(PS_NULL, 1, 0, true);
    case DC_BRUSH: {
      HGDIOBJ h = MakeBrush(BS_SOLID, RGB(255, 255, 255), 0, true);
      BrushOf(h)->DCBrush = true;
      return h;
    }
    case DC_PEN: {
      HGDIOBJ h = MakePen(PS_SOLID, 1, 0, true);
      PenOf(h)->DCPen = true;
      return h;
    }
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT: return MakeStockFont("DejaVu Sans Mono", -13, FW_NORMAL);
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT: return MakeStockFont("DejaVu Sans", -13, FW_BOLD);
    case ANSI_VAR_FONT:
    case DEFAULT_GUI_FONT: return MakeStockFont("DejaVu Sans", -11, FW_NORMAL);
    default: return nullptr;
  }
}

// Packs a monochrome bitmap row-wise as the platform does: 16-bit aligned rows, bit 7 leftmost.
void ReadMonoBits(TSurface& s, const uint8_t* bits) {
  Integer stride = ((s.Width + 15) / 16) * 2;
  for (Integer y = 0; y < s.Height; ++y)
    for (Integer x = 0; x < s.Width; ++x) {
      bool on = (bits[y * stride + x / 8] >> (7 - x % 8)) & 1;
      s.Row(y)[x] = on ? 0xFFFFFF : 0;
    }
}

}  // namespace

TFontObject::~TFontObject() = default;

HGDIOBJ RegisterObject(std::unique_ptr<TGdiObject> obj) {
  uintptr_t id = NextObjectId();
  ObjectTable().emplace(id, std::move(obj));
  return HandleOf(id);
}

TGdiObject* LookupObject(HGDIOBJ h) {
  auto& table = ObjectTable();
  auto it = table.find(reinterpret_cast<uintptr_t>(h));
  return it == table.end() ? nullptr : it->second.get();
}

TPenObject* PenOf(HGDIOBJ h) { return LookupAs<TPenObject>(h, TGdiKind::Pen); }
TBrushObject* BrushOf(HGDIOBJ h) { return LookupAs<TBrushObject>(h, TGdiKind::Brush); }
TFontObject* FontOf(HGDIOBJ h) { return LookupAs<TFontObject>(h, TGdiKind::Font); }
TBitmapObject* BitmapOf(HGDIOBJ h) { return LookupAs<TBitmapObject>(h, TGdiKind::Bitmap); }
TRegionObject* RegionOf(HGDIOBJ h) { return LookupAs<TRegionObject>(h, TGdiKind::Region); }

// ---------------------------------------------------------------------------------------------
// Region handles shared with the window system

const TRegionData* RegionFromHandle(HRGN rgn) {
  TRegionObject* r = RegionOf(rgn);
  return r ? &r->Data : nullptr;
}

HRGN CreateRegionHandle(const TRegionData& data) { return MakeRegion(data); }

bool SetRegionHandleData(HRGN rgn, const TRegionData& data) {
  TRegionObject* r = RegionOf(rgn);
  if (!r) return false;
  r->Data = data;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Creation

HPEN CreatePen(int style, int width, COLORREF color) {
  UINT s = UINT(style) & PS_STYLE_MASK;
  if (s > PS_ALTERNATE || s == 7) return nullptr;
  return MakePen(s, width, color);
}

HPEN CreatePenIndirect(const LOGPEN* pen) {
  return pen ? CreatePen(int(pen->lopnStyle), pen->lopnWidth.X, pen->lopnColor) : nullptr;
}

HBRUSH CreateSolidBrush(COLORREF color) { return MakeBrush(BS_SOLID, color, 0); }

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
  return MakeBrush(BS_HATCHED, color, hatch);
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  TBitmapObject* bmp = BitmapOf(bitmap);
  if (!bmp || bmp->Surface->Width <= 0 || bmp->Surface->Height <= 0) return nullptr;
  auto brush = std::make_unique<TBrushObject>();
  brush->Style = BS_PATTERN;
  brush->Pattern = std::make_shared<TSurface>(*bmp->Surface);
  brush->PatternMono = bmp->Mono;
  return RegisterObject(std::move(brush));
}

HBRUSH CreateCheckerBrush(bool AInverted) {
  // Rows of 16 bits, bit 7 leftmost, 1 = white: white where x + y is odd.
  const uint8_t even = AInverted ? 0xAA : 0x55, odd = AInverted ? 0x55 : 0xAA;
  const uint8_t bits[16] = {even, 0, odd, 0, even, 0, odd, 0, even, 0, odd, 0, even, 0, odd, 0};
  HBITMAP pattern = CreateBitmap(8, 8, 1, 1, bits);
  HBRUSH brush = CreatePatternBrush(pattern);
  DeleteObject(pattern);
  return brush;
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) {
  if (!brush) return nullptr;
  switch (brush->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(brush->lbColor);
    case BS_NULL: return GetStockObject(NULL_BRUSH);
    case BS_HATCHED: return CreateHatchBrush(int(brush->lbHatch), brush->lbColor);
    case BS_PATTERN: return CreatePatternBrush(reinterpret_cast<HBITMAP>(brush->lbHatch));
    default: return nullptr;
  }
}

HFONT CreateFontIndirect(const LOGFONT* font) {
  if (!font) return nullptr;
  auto obj = std::make_unique<TFontObject>();
  obj->Log = *font;
  obj->Log.lfFaceName[LF_FACESIZE - 1] = 0;
  return RegisterObject(std::move(obj));
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, const char* faceName) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = BYTE(italic != 0);
  lf.lfUnderline = BYTE(underline != 0);
  lf.lfStrikeOut = BYTE(strikeOut != 0);
  lf.lfCharSet = BYTE(charSet);
  lf.lfOutPrecision = BYTE(outPrecision);
  lf.lfClipPrecision = BYTE(clipPrecision);
  lf.lfQuality = BYTE(quality);
  lf.lfPitchAndFamily = BYTE(pitchAndFamily);
  if (faceName) std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
  return CreateFontIndirect(&lf);
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (width < 0 || height < 0 || planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 32)) return nullptr;
  if (int64_t(width) * height > (int64_t(1) << 28)) return nullptr;
  auto bmp = std::make_unique<TBitmapObject>();
  bmp->Mono = bitsPerPixel == 1;
  bmp->Surface = std::make_shared<TSurface>(width, height, 0);
  if (bits && bmp->Mono) ReadMonoBits(*bmp->Surface, static_cast<const uint8_t*>(bits));
  else if (bits) std::memcpy(bmp->Surface->Pixels.data(), bits, bmp->Surface->Pixels.size() * 4);
  return RegisterObject(std::move(bmp));
}

// A bitmap compatible with a window's DC on a high-DPI screen has the window's device scale, so
// that what is drawn into it and copied to the window stays sharp.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
  TDC* d = DCOf(dc);
  if (!d) return nullptr;
  HBITMAP bmp = CreateBitmap(width, height, 1, d->MonoTarget ? 1 : 32, nullptr);
  TBitmapObject* b = BitmapOf(bmp);
  if (b && d->Surface && d->Surface->Scaled() && !d->MonoTarget)
    b->Surface = std::make_shared<TSurface>(width, height, d->Surface->Scale, 0);
  return bmp;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT, void** bits, void*, DWORD) {
  if (!info || info->bmiHeader.biBitCount != 32 || info->bmiHeader.biCompression != BI_RGB) return nullptr;
  LONG h = info->bmiHeader.biHeight;
  HBITMAP bmp = CreateBitmap(info->bmiHeader.biWidth, h < 0 ? -h : h, 1, 32, nullptr);
  if (bmp && bits) *bits = BitmapOf(bmp)->Surface->Pixels.data();
  return bmp;
}

BOOL DeleteObject(HGDIOBJ obj) {
  TGdiObject* o = LookupObject(obj);
  if (!o) return FALSE;
  if (o->Stock) return TRUE;
  if (o->Kind == TGdiKind::Bitmap && static_cast<TBitmapObject*>(o)->SelectedIn) return FALSE;
  ObjectTable().erase(reinterpret_cast<uintptr_t>(obj));
  return TRUE;
}

HGDIOBJ GetStockObject(int index) {
  static std::unordered_map<int, HGDIOBJ> stock;
  auto it = stock.find(index);
  if (it != stock.end()) return it->second;
  HGDIOBJ h = CreateStockObject(index);
  if (h) stock.emplace(index, h);
  return h;
}

DWORD GetObjectType(HGDIOBJ obj) {
  TGdiObject* o = LookupObject(obj);
  if (!o) return GetDCObjectType(reinterpret_cast<HDC>(obj));
  switch (o->Kind) {
    case TGdiKind::Pen: return OBJ_PEN;
    case TGdiKind::Brush: return OBJ_BRUSH;
    case TGdiKind::Font: return OBJ_FONT;
    case TGdiKind::Bitmap: return OBJ_BITMAP;
    case TGdiKind::Region: return OBJ_REGION;
  }
  return 0;
}

namespace {

template <class T>
int CopyOut(const T& value, int size, void* buffer) {
  if (!buffer) return int(sizeof(T));
  if (size < int(sizeof(T))) return 0;
  std::memcpy(buffer, &value, sizeof(T));
  return int(sizeof(T));
}

}  // namespace

int GetObject(HGDIOBJ obj, int size, void* buffer) {
  TGdiObject* o = LookupObject(obj);
  if (!o) return 0;
  switch (o->Kind) {
    case TGdiKind::Pen: {
      auto* p = static_cast<TPenObject*>(o);
      LOGPEN lp{p->Style, {p->Width, 0}, p->Color};
      return CopyOut(lp, size, buffer);
    }
    case TGdiKind::Brush: {
      auto* b = static_cast<TBrushObject*>(o);
      LOGBRUSH lb{b->Style, b->Color, ULONG_PTR(b->Hatch)};
      return CopyOut(lb, size, buffer);
    }
    case TGdiKind::Font: return CopyOut(static_cast<TFontObject*>(o)->Log, size, buffer);
    case TGdiKind::Bitmap: {
      auto* b = static_cast<TBitmapObject*>(o);
      BITMAP bm;
      bm.bmWidth = b->Surface->LogicalWidth();
      bm.bmHeight = b->Surface->LogicalHeight();
      bm.bmBitsPixel = b->Mono ? 1 : 32;
      bm.bmWidthBytes = b->Mono ? ((bm.bmWidth + 15) / 16) * 2 : bm.bmWidth * 4;
      bm.bmBits = b->Mono || b->Surface->Scaled() ? nullptr : b->Surface->Pixels.data();
      return CopyOut(bm, size, buffer);
    }
    case TGdiKind::Region: return 0;
  }
  return 0;
}

// Our surfaces hold every 24-bit colour.
COLORREF GetNearestColor(HDC dc, COLORREF color) {
  TDC* d = DCOf(dc);
  if (!d) return CLR_INVALID;
  if (d->MonoTarget) return PixelToColor(TargetPixel(*d, color));
  return color & 0xFFFFFF;
}

// ---------------------------------------------------------------------------------------------
// Regions

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  return MakeRegion(TRegionData({std::min(left, right), std::min(top, bottom), std::max(left, right),
                                 std::max(top, bottom)}));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
  return rect ? CreateRectRgn(rect->Left, rect->Top, rect->Right, rect->Bottom) : nullptr;
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
  return MakeRegion(TRegionData::Ellipse({left, top, right, bottom}));
}

HRGN CreateEllipticRgnIndirect(const RECT* rect) {
  return rect ? CreateEllipticRgn(rect->Left, rect->Top, rect->Right, rect->Bottom) : nullptr;
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) {
  return MakeRegion(TRegionData::RoundRect({left, top, right, bottom}, width, height));
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode) {
  if (!points || count < 0 || (fillMode != ALTERNATE && fillMode != WINDING)) return nullptr;
  return MakeRegion(TRegionData::Polygon(std::vector<TPoint>(points, points + count), fillMode == WINDING));
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
  TRegionObject* d = RegionOf(dest);
  TRegionObject* a = RegionOf(src1);
  if (!d || !a) return ERROR;
  if (mode == RGN_COPY) {
    d->Data = a->Data;
    return RegionComplexity(d->Data);
  }
  TRegionObject* b = RegionOf(src2);
  if (!b) return ERROR;
  switch (mode) {
    case RGN_AND: d->Data = a->Data.Intersect(b->Data); break;
    case RGN_OR: d->Data = a->Data.Union(b->Data); break;
    case RGN_XOR: d->Data = a->Data.Xor(b->Data); break;
    case RGN_DIFF: d->Data = a->Data.Subtract(b->Data); break;
    default: return ERROR;
  }
  return RegionComplexity(d->Data);
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
  TRegionObject* r = RegionOf(rgn);
  if (!r) return ERROR;
  r->Data.Offset(dx, dy);
  return RegionComplexity(r->Data);
}

int GetRgnBox(HRGN rgn, LPRECT rect) {
  TRegionObject* r = RegionOf(rgn);
  if (!r || !rect) return ERROR;
  *rect = r->Data.Bounds();
  return RegionComplexity(r->Data);
}

BOOL EqualRgn(HRGN a, HRGN b) {
  TRegionObject* ra = RegionOf(a);
  TRegionObject* rb = RegionOf(b);
  if (!ra || !rb) return ERROR;
  return ra->Data == rb->Data;
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
  TRegionObject* r = RegionOf(rgn);
  return r && r->Data.Contains({x, y});
}

BOOL RectInRegion(HRGN rgn, const RECT* rect) {
  TRegionObject* r = RegionOf(rgn);
  if (!r || !rect) return FALSE;
  TRect n{std::min(rect->Left, rect->Right), std::min(rect->Top, rect->Bottom), std::max(rect->Left, rect->Right),
          std::max(rect->Top, rect->Bottom)};
  return r->Data.Intersects(n);
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom) {
  TRegionObject* r = RegionOf(rgn);
  if (!r) return FALSE;
  r->Data = TRegionData({std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)});
  return TRUE;
}
