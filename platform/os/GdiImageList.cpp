// Image lists: equal-sized images with optional masks, drawn normal, transparent, as mask,
// blended or disabled.
#include <algorithm>
#include <unordered_map>
#include <utility>

#include "platform/os/GdiInternal.h"

namespace {

// Mask pixels: 0 where the image is opaque, 0xFFFFFF where it is transparent.
struct TImageEntry {
  TSurface Image;
  TSurface Mask;
};

struct TImageList {
  Integer Width = 0, Height = 0;
  bool Masked = false;
  COLORREF BkColor = CLR_NONE;
  std::vector<TImageEntry> Images;
};

std::unordered_map<uintptr_t, std::unique_ptr<TImageList>>& Lists() {
  static std::unordered_map<uintptr_t, std::unique_ptr<TImageList>> lists;
  return lists;
}

TImageList* ImageListOf(HIMAGELIST h) {
  auto it = Lists().find(reinterpret_cast<uintptr_t>(h));
  return it == Lists().end() ? nullptr : it->second.get();
}

bool ValidIndex(const TImageList& l, int index) { return index >= 0 && index < int(l.Images.size()); }

TSurface Crop(const TSurface& s, Integer x, Integer y, Integer w, Integer h, uint32_t fill) {
  TSurface out(w, h, fill);
  for (Integer yy = 0; yy < h && y + yy < s.Height; ++yy)
    for (Integer xx = 0; xx < w && x + xx < s.Width; ++xx) out.Row(yy)[xx] = s.Row(y + yy)[x + xx];
  return out;
}

// Cuts a strip into entries; the mask comes from a mask bitmap or is all opaque.
std::vector<TImageEntry> Slice(const TImageList& l, const TBitmapObject& image, const TBitmapObject* mask) {
  std::vector<TImageEntry> out;
  Integer n = std::max<Integer>(1, image.Surface->Width / l.Width);
  for (Integer i = 0; i < n; ++i) {
    TImageEntry e;
    e.Image = Crop(*image.Surface, i * l.Width, 0, l.Width, l.Height, 0);
    if (image.Mono)
      for (uint32_t& p : e.Image.Pixels) p = p ? 0xFFFFFF : 0;
    e.Mask = mask ? Crop(*mask->Surface, i * l.Width, 0, l.Width, l.Height, 0xFFFFFF) : TSurface(l.Width, l.Height, 0);
    out.push_back(std::move(e));
  }
  return out;
}

uint32_t Blend(uint32_t a, uint32_t b, int percentB) {
  auto ch = [&](int shift) {
    int x = int((a >> shift) & 0xFF), y = int((b >> shift) & 0xFF);
    return uint32_t((x * (100 - percentB) + y * percentB) / 100) << shift;
  };
  return ch(16) | ch(8) | ch(0);
}

// Writes one pixel of an image list drawing through the DC's clip.
class TImageWriter {
 public:
  TImageWriter(TDC& dc, TPoint surfaceOrigin) : FDC(dc), FOrigin(surfaceOrigin) {}
  void Put(Integer x, Integer y, uint32_t p) {
    TPoint s{FOrigin.X + x, FOrigin.Y + y};
    if (!FDC.Clip().Contains(s)) return;
    FillDevicePixels(*FDC.Surface, {s.X, s.Y, s.X + 1, s.Y + 1}, FDC.MonoTarget ? (p == 0xFFFFFF ? p : 0) : p);
  }

 private:
  TDC& FDC;
  TPoint FOrigin;
};

BOOL DrawEntry(const TImageList& l, const TImageEntry& e, TDC& dc, int x, int y, int w, int h, COLORREF bk,
               COLORREF fg, UINT style) {
  TImageWriter out(dc, dc.ToSurface(TPoint{x, y}));
  if (bk == CLR_DEFAULT) bk = l.BkColor;
  bool transparent = l.Masked && ((style & ILD_TRANSPARENT) || bk == CLR_NONE);
  int blend = (style & ILD_BLEND50) ? 50 : (style & ILD_BLEND25) ? 25 : 0;
  uint32_t blendColor = ColorToPixel(fg == CLR_DEFAULT || fg == CLR_NONE ? GetSysColor(COLOR_HIGHLIGHT) : fg);
  for (Integer yy = 0; yy < std::min(h, l.Height); ++yy)
    for (Integer xx = 0; xx < std::min(w, l.Width); ++xx) {
      bool clear = l.Masked && e.Mask.Row(yy)[xx] != 0;
      if (style & ILD_MASK) {
        out.Put(xx, yy, clear ? 0xFFFFFF : 0);
        continue;
      }
      if (clear && transparent) continue;
      uint32_t p = clear ? ColorToPixel(bk) : e.Image.Row(yy)[xx];
      if (blend && !clear) p = Blend(p, blendColor, blend);
      out.Put(xx, yy, p);
    }
  return TRUE;
}

HIMAGELIST Register(std::unique_ptr<TImageList> l) {
  static uintptr_t next = 0x1003;
  next += 4;
  Lists().emplace(next, std::move(l));
  return reinterpret_cast<HIMAGELIST>(next);
}

}  // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int, int) {
  if (cx <= 0 || cy <= 0 || cx > 4096 || cy > 4096) return nullptr;
  auto l = std::make_unique<TImageList>();
  l->Width = cx;
  l->Height = cy;
  l->Masked = flags & ILC_MASK;
  return Register(std::move(l));
}

BOOL ImageList_Destroy(HIMAGELIST list) { return Lists().erase(reinterpret_cast<uintptr_t>(list)) ? TRUE : FALSE; }

int ImageList_GetImageCount(HIMAGELIST list) {
  TImageList* l = ImageListOf(list);
  return l ? int(l->Images.size()) : 0;
}

BOOL ImageList_SetImageCount(HIMAGELIST list, UINT count) {
  TImageList* l = ImageListOf(list);
  if (!l || count > 65536) return FALSE;
  l->Images.resize(count, TImageEntry{TSurface(l->Width, l->Height, 0), TSurface(l->Width, l->Height, 0)});
  return TRUE;
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
  TImageList* l = ImageListOf(list);
  if (!l || !cx || !cy) return FALSE;
  *cx = l->Width;
  *cy = l->Height;
  return TRUE;
}

BOOL ImageList_SetIconSize(HIMAGELIST list, int cx, int cy) {
  TImageList* l = ImageListOf(list);
  if (!l || cx <= 0 || cy <= 0) return FALSE;
  l->Width = cx;
  l->Height = cy;
  l->Images.clear();
  return TRUE;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
  TImageList* l = ImageListOf(list);
  TBitmapObject* img = BitmapOf(image);
  TBitmapObject* msk = mask ? BitmapOf(mask) : nullptr;
  if (!l || !img || (mask && !msk)) return -1;
  int first = int(l->Images.size());
  for (TImageEntry& e : Slice(*l, *img, l->Masked ? msk : nullptr)) l->Images.push_back(std::move(e));
  return first;
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColor) {
  TImageList* l = ImageListOf(list);
  TBitmapObject* img = BitmapOf(image);
  if (!l || !img || img->Surface->Height <= 0 || img->Surface->Width <= 0) return -1;
  const TSurface& s = *img->Surface;
  uint32_t key = maskColor == CLR_DEFAULT ? s.Row(s.Height - 1)[0] : ColorToPixel(maskColor);
  int first = int(l->Images.size());
  for (TImageEntry& e : Slice(*l, *img, nullptr)) {
    for (size_t i = 0; i < e.Image.Pixels.size(); ++i) {
      bool clear = e.Image.Pixels[i] == key;
      e.Mask.Pixels[i] = clear ? 0xFFFFFF : 0;
      if (clear && l->Masked) e.Image.Pixels[i] = 0;
    }
    l->Images.push_back(std::move(e));
  }
  return first;
}

BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask) {
  TImageList* l = ImageListOf(list);
  TBitmapObject* img = BitmapOf(image);
  TBitmapObject* msk = mask ? BitmapOf(mask) : nullptr;
  if (!l || !img || !ValidIndex(*l, index) || (mask && !msk)) return FALSE;
  l->Images[size_t(index)] = std::move(Slice(*l, *img, l->Masked ? msk : nullptr).front());
  return TRUE;
}

BOOL ImageList_Remove(HIMAGELIST list, int index) {
  TImageList* l = ImageListOf(list);
  if (!l) return FALSE;
  if (index == -1) {
    l->Images.clear();
    return TRUE;
  }
  if (!ValidIndex(*l, index)) return FALSE;
  l->Images.erase(l->Images.begin() + index);
  return TRUE;
}

BOOL ImageList_Copy(HIMAGELIST dst, int dstIndex, HIMAGELIST src, int srcIndex, UINT) {
  TImageList* d = ImageListOf(dst);
  TImageList* s = ImageListOf(src);
  if (!d || !s || !ValidIndex(*d, dstIndex) || !ValidIndex(*s, srcIndex)) return FALSE;
  if (d->Width != s->Width || d->Height != s->Height) return FALSE;
  d->Images[size_t(dstIndex)] = s->Images[size_t(srcIndex)];
  return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color) {
  TImageList* l = ImageListOf(list);
  if (!l) return CLR_NONE;
  return std::exchange(l->BkColor, color == CLR_NONE ? CLR_NONE : color & 0xFFFFFF);
}

COLORREF ImageList_GetBkColor(HIMAGELIST list) {
  TImageList* l = ImageListOf(list);
  return l ? l->BkColor : CLR_NONE;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
  return ImageList_DrawEx(list, index, dc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy, COLORREF bk, COLORREF fg,
                      UINT style) {
  TImageList* l = ImageListOf(list);
  TDC* d = DCOf(dc);
  if (!l || !d || !ValidIndex(*l, index)) return FALSE;
  return DrawEntry(*l, l->Images[size_t(index)], *d, x, y, dx > 0 ? dx : l->Width, dy > 0 ? dy : l->Height, bk, fg,
                   style);
}

BOOL ImageList_DrawDisabled(HIMAGELIST list, int index, HDC dc, int x, int y) {
  TImageList* l = ImageListOf(list);
  TDC* d = DCOf(dc);
  if (!l || !d || !ValidIndex(*l, index)) return FALSE;
  const TImageEntry& e = l->Images[size_t(index)];
  TImageWriter out(*d, d->ToSurface(TPoint{x, y}));
  auto glyph = [&](Integer xx, Integer yy) {
    return !(l->Masked && e.Mask.Row(yy)[xx] != 0) && e.Image.Row(yy)[xx] != 0xFFFFFF;
  };
  uint32_t highlight = ColorToPixel(GetSysColor(COLOR_BTNHIGHLIGHT));
  uint32_t shadow = ColorToPixel(GetSysColor(COLOR_BTNSHADOW));
  for (Integer yy = 0; yy < l->Height; ++yy)
    for (Integer xx = 0; xx < l->Width; ++xx)
      if (glyph(xx, yy)) out.Put(xx + 1, yy + 1, highlight);
  for (Integer yy = 0; yy < l->Height; ++yy)
    for (Integer xx = 0; xx < l->Width; ++xx)
      if (glyph(xx, yy)) out.Put(xx, yy, shadow);
  return TRUE;
}

BOOL ImageList_GetImageBitmaps(HIMAGELIST list, int index, HBITMAP* image, HBITMAP* mask) {
  TImageList* l = ImageListOf(list);
  if (!l || !ValidIndex(*l, index) || !image) return FALSE;
  const TImageEntry& e = l->Images[size_t(index)];
  *image = CreateBitmap(l->Width, l->Height, 1, 32, e.Image.Pixels.data());
  if (mask) {
    *mask = CreateBitmap(l->Width, l->Height, 1, 1, nullptr);
    BitmapOf(*mask)->Surface->Pixels = e.Mask.Pixels;
  }
  return TRUE;
}
