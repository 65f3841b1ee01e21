// BMP files, system bitmaps drawn in the classic look, and resource bitmaps registered by name.
#include <algorithm>
#include <cstring>
#include <map>

#include "platform/os/GdiInternal.h"
#include "platform/rtl/SysUtils.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Reading

class TByteReader {
 public:
  TByteReader(const uint8_t* data, size_t size) : FData(data), FSize(size) {}
  bool Has(size_t offset, size_t n) const { return offset <= FSize && n <= FSize - offset; }
  uint32_t U32(size_t o) const {
    return uint32_t(FData[o]) | uint32_t(FData[o + 1]) << 8 | uint32_t(FData[o + 2]) << 16 | uint32_t(FData[o + 3]) << 24;
  }
  uint16_t U16(size_t o) const { return uint16_t(FData[o] | FData[o + 1] << 8); }
  int32_t I32(size_t o) const { return int32_t(U32(o)); }
  uint8_t U8(size_t o) const { return FData[o]; }

 private:
  const uint8_t* FData;
  size_t FSize;
};

struct TBmpInfo {
  int32_t Width = 0, Height = 0;
  bool TopDown = false;
  uint16_t Bits = 0;
  uint32_t Compression = 0;
  uint32_t Masks[3] = {0, 0, 0};
  std::vector<uint32_t> Palette;  // 0x00RRGGBB
  size_t PixelOffset = 0;
};

constexpr uint32_t kBiRgb = 0, kBiBitfields = 3;

int MaskShift(uint32_t m) {
  int s = 0;
  while (m && !(m & 1)) m >>= 1, ++s;
  return s;
}

uint32_t Channel(uint32_t v, uint32_t mask) {
  if (!mask) return 0;
  uint32_t x = (v & mask) >> MaskShift(mask);
  uint32_t max = mask >> MaskShift(mask);
  return max ? x * 255 / max : 0;
}

bool ParseHeader(const TByteReader& r, TBmpInfo& info) {
  if (!r.Has(0, 18) || r.U8(0) != 'B' || r.U8(1) != 'M') return false;
  info.PixelOffset = r.U32(10);
  uint32_t headerSize = r.U32(14);
  if (headerSize < 12 || !r.Has(14, headerSize)) return false;
  size_t paletteEntry = 4;
  if (headerSize == 12) {
    info.Width = r.U16(18);
    info.Height = int16_t(r.U16(20));
    info.Bits = r.U16(24);
    paletteEntry = 3;
  } else {
    if (headerSize < 40) return false;
    info.Width = r.I32(18);
    info.Height = r.I32(22);
    info.Bits = r.U16(28);
    info.Compression = r.U32(30);
  }
  if (info.Height < 0) {
    info.TopDown = true;
    info.Height = -info.Height;
  }
  if (info.Width <= 0 || info.Height <= 0 || int64_t(info.Width) * info.Height > (int64_t(1) << 28)) return false;
  if (info.Compression == kBiBitfields) {
    size_t at = headerSize >= 52 ? 14 + 40 : 14 + headerSize;
    if (!r.Has(at, 12)) return false;
    for (int i = 0; i < 3; ++i) info.Masks[i] = r.U32(at + size_t(i) * 4);
  } else if (info.Compression != kBiRgb) {
    return false;
  } else if (info.Bits == 16) {
    info.Masks[0] = 0x7C00, info.Masks[1] = 0x03E0, info.Masks[2] = 0x001F;
  } else if (info.Bits == 32) {
    info.Masks[0] = 0xFF0000, info.Masks[1] = 0xFF00, info.Masks[2] = 0xFF;
  }
  if (info.Bits <= 8) {
    if (info.Bits != 1 && info.Bits != 4 && info.Bits != 8) return false;
    uint32_t count = headerSize >= 40 ? r.U32(46) : 0;
    if (count == 0 || count > (1u << info.Bits)) count = 1u << info.Bits;
    size_t at = 14 + headerSize + (info.Compression == kBiBitfields && headerSize == 40 ? 12 : 0);
    if (!r.Has(at, count * paletteEntry)) return false;
    for (uint32_t i = 0; i < count; ++i) {
      size_t o = at + i * paletteEntry;
      info.Palette.push_back(uint32_t(r.U8(o + 2)) << 16 | uint32_t(r.U8(o + 1)) << 8 | r.U8(o));
    }
  } else if (info.Bits != 16 && info.Bits != 24 && info.Bits != 32) {
    return false;
  }
  return true;
}

uint32_t ReadPixel(const TByteReader& r, const TBmpInfo& info, size_t row, int32_t x) {
  switch (info.Bits) {
    case 1:
    case 4:
    case 8: {
      size_t bit = size_t(x) * info.Bits;
      uint8_t byte = r.U8(row + bit / 8);
      uint32_t index = (byte >> (8 - info.Bits - bit % 8)) & ((1u << info.Bits) - 1);
      return index < info.Palette.size() ? info.Palette[index] : 0;
    }
    case 16: {
      uint32_t v = r.U16(row + size_t(x) * 2);
      return Channel(v, info.Masks[0]) << 16 | Channel(v, info.Masks[1]) << 8 | Channel(v, info.Masks[2]);
    }
    case 24: {
      size_t o = row + size_t(x) * 3;
      return uint32_t(r.U8(o + 2)) << 16 | uint32_t(r.U8(o + 1)) << 8 | r.U8(o);
    }
    default: {
      uint32_t v = r.U32(row + size_t(x) * 4);
      return Channel(v, info.Masks[0]) << 16 | Channel(v, info.Masks[1]) << 8 | Channel(v, info.Masks[2]);
    }
  }
}

bool IsBlackWhitePalette(const std::vector<uint32_t>& p) {
  return p.size() == 2 && ((p[0] == 0 && p[1] == 0xFFFFFF) || (p[0] == 0xFFFFFF && p[1] == 0));
}

// ---------------------------------------------------------------------------------------------
// Writing

void Put16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

uint32_t Distance(uint32_t a, uint32_t b) {
  auto d = [&](int s) {
    int x = int((a >> s) & 0xFF) - int((b >> s) & 0xFF);
    return uint32_t(x * x);
  };
  return d(16) + d(8) + d(0);
}

std::vector<uint32_t> FixedPalette(int bits) {
  if (bits == 1) return {0, 0xFFFFFF};
  if (bits == 4)
    return {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
            0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  std::vector<uint32_t> p;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) p.push_back(uint32_t(r * 51) << 16 | uint32_t(g * 51) << 8 | uint32_t(b * 51));
  for (int i = 0; i < 40; ++i) {
    uint32_t v = uint32_t(i * 255 / 39);
    p.push_back(v << 16 | v << 8 | v);
  }
  return p;
}

// The colours used when they fit the depth, else a fixed palette.
std::vector<uint32_t> PaletteFor(const TSurface& s, int bits) {
  std::vector<uint32_t> used;
  size_t limit = size_t(1) << bits;
  for (uint32_t p : s.Pixels) {
    if (std::find(used.begin(), used.end(), p) != used.end()) continue;
    if (used.size() == limit) return FixedPalette(bits);
    used.push_back(p);
  }
  std::sort(used.begin(), used.end());
  return used;
}

uint32_t NearestIndex(const std::vector<uint32_t>& palette, uint32_t p) {
  uint32_t best = 0, bestDistance = UINT32_MAX;
  for (size_t i = 0; i < palette.size(); ++i) {
    uint32_t d = Distance(palette[i], p);
    if (d < bestDistance) bestDistance = d, best = uint32_t(i);
  }
  return best;
}

// ---------------------------------------------------------------------------------------------
// System and resource bitmaps

HBITMAP DrawnBitmap(int w, int h, void (*paint)(HDC, int, int)) {
  HDC screen = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateBitmap(w, h, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(screen, bmp);
  RECT all{0, 0, w, h};
  FillRect(screen, &all, GetSysColorBrush(COLOR_BTNFACE));
  paint(screen, w, h);
  SelectObject(screen, old);
  DeleteDC(screen);
  return bmp;
}

// Four columns (plain, checked, pushed, pushed and checked) of check boxes, radio buttons and
// three-state boxes, 13 pixels square.
void PaintCheckBoxes(HDC dc, int, int) {
  const UINT rows[3] = {DFCS_BUTTONCHECK, DFCS_BUTTONRADIO, DFCS_BUTTON3STATE};
  const UINT cols[4] = {0, DFCS_CHECKED, DFCS_PUSHED, DFCS_PUSHED | DFCS_CHECKED};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) {
      RECT box{c * 13, r * 13, c * 13 + 13, r * 13 + 13};
      DrawFrameControl(dc, &box, DFC_BUTTON, rows[r] | cols[c]);
    }
}

template <UINT Type, UINT State>
void PaintFrameControl(HDC dc, int w, int h) {
  RECT r{0, 0, w, h};
  DrawFrameControl(dc, &r, Type, State);
}

HBITMAP SystemBitmap(int id) {
  switch (id) {
    case OBM_CHECKBOXES: return DrawnBitmap(52, 39, PaintCheckBoxes);
    case OBM_UPARROW: return DrawnBitmap(16, 16, PaintFrameControl<DFC_SCROLL, DFCS_SCROLLUP>);
    case OBM_DNARROW: return DrawnBitmap(16, 16, PaintFrameControl<DFC_SCROLL, DFCS_SCROLLDOWN>);
    case OBM_LFARROW: return DrawnBitmap(16, 16, PaintFrameControl<DFC_SCROLL, DFCS_SCROLLLEFT>);
    case OBM_RGARROW: return DrawnBitmap(16, 16, PaintFrameControl<DFC_SCROLL, DFCS_SCROLLRIGHT>);
    case OBM_COMBO: return DrawnBitmap(16, 16, PaintFrameControl<DFC_SCROLL, DFCS_SCROLLCOMBOBOX>);
    case OBM_CLOSE: return DrawnBitmap(16, 14, PaintFrameControl<DFC_CAPTION, DFCS_CAPTIONCLOSE>);
    case OBM_CHECK: return DrawnBitmap(13, 13, PaintFrameControl<DFC_MENU, DFCS_MENUCHECK>);
    case OBM_MNARROW: return DrawnBitmap(13, 13, PaintFrameControl<DFC_MENU, DFCS_MENUARROW>);
    default: return nullptr;
  }
}

std::map<String, TBitmapResourceFactory>& Resources() {
  static std::map<String, TBitmapResourceFactory> resources;
  return resources;
}

}  // namespace

HBITMAP ReadBitmapFile(const uint8_t* data, size_t size) {
  if (!data) return nullptr;
  TByteReader r(data, size);
  TBmpInfo info;
  if (!ParseHeader(r, info)) return nullptr;
  size_t stride = ((size_t(info.Width) * info.Bits + 31) / 32) * 4;
  if (!r.Has(info.PixelOffset, stride * size_t(info.Height))) return nullptr;
  bool mono = info.Bits == 1 && IsBlackWhitePalette(info.Palette);
  HBITMAP bmp = CreateBitmap(info.Width, info.Height, 1, mono ? 1 : 32, nullptr);
  if (!bmp) return nullptr;
  TSurface& s = *BitmapOf(bmp)->Surface;
  for (int32_t y = 0; y < info.Height; ++y) {
    size_t row = info.PixelOffset + stride * size_t(info.TopDown ? y : info.Height - 1 - y);
    for (int32_t x = 0; x < info.Width; ++x) s.Row(y)[x] = ReadPixel(r, info, row, x);
  }
  return bmp;
}

std::vector<uint8_t> WriteBitmapFile(HBITMAP bitmap, int bits) {
  TBitmapObject* bmp = BitmapOf(bitmap);
  if (!bmp || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) return {};
  const TSurface& s = *bmp->Surface;
  std::vector<uint32_t> palette = bits <= 8 ? PaletteFor(s, bits) : std::vector<uint32_t>();
  size_t stride = ((size_t(s.Width) * size_t(bits) + 31) / 32) * 4;
  uint32_t offset = uint32_t(14 + 40 + palette.size() * 4);
  std::vector<uint8_t> b;
  b.reserve(offset + stride * size_t(s.Height));
  b.push_back('B');
  b.push_back('M');
  Put32(b, uint32_t(offset + stride * size_t(s.Height)));
  Put32(b, 0);
  Put32(b, offset);
  Put32(b, 40);
  Put32(b, uint32_t(s.Width));
  Put32(b, uint32_t(s.Height));
  Put16(b, 1);
  Put16(b, uint16_t(bits));
  Put32(b, kBiRgb);
  Put32(b, uint32_t(stride * size_t(s.Height)));
  Put32(b, 3780);
  Put32(b, 3780);
  Put32(b, uint32_t(palette.size()));
  Put32(b, 0);
  for (uint32_t p : palette) Put32(b, p);
  for (Integer y = s.Height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(stride, 0);
    for (Integer x = 0; x < s.Width; ++x) {
      uint32_t p = s.Row(y)[x];
      if (bits == 32) std::memcpy(&row[size_t(x) * 4], &p, 4);
      else if (bits == 24) row[size_t(x) * 3] = uint8_t(p), row[size_t(x) * 3 + 1] = uint8_t(p >> 8), row[size_t(x) * 3 + 2] = uint8_t(p >> 16);
      else {
        size_t bit = size_t(x) * size_t(bits);
        row[bit / 8] |= uint8_t(NearestIndex(palette, p) << (8 - size_t(bits) - bit % 8));
      }
    }
    b.insert(b.end(), row.begin(), row.end());
  }
  return b;
}

HBITMAP LoadBitmap(HINSTANCE instance, const char* name) {
  if (!name) return nullptr;
  if (IS_INTRESOURCE(name)) return instance ? nullptr : SystemBitmap(int(reinterpret_cast<uintptr_t>(name)));
  auto it = Resources().find(UpperCase(name));
  return it == Resources().end() ? nullptr : it->second();
}

void RegisterBitmapResource(const String& name, TBitmapResourceFactory factory) {
  if (factory) Resources()[UpperCase(name)] = std::move(factory);
  else Resources().erase(UpperCase(name));
}
