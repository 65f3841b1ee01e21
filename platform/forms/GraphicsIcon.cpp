// TIcon: ICO files (palette, true-colour and alpha images with an AND mask, or PNG images),
// drawn by blending over the destination.
#include <cairo.h>

#include <algorithm>
#include <cstring>

#include "platform/forms/Graphics.h"
#include "platform/os/Gdi.h"
#include "platform/rtl/Streams.h"

QJ_IMPLEMENT_CLASS(TIcon)

namespace {

constexpr Integer kPreferredSize = 32;

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

struct TIconEntry {
  Integer Width = 0, Height = 0, Bits = 0;
  size_t Offset = 0, Size = 0;
};

struct TIconImage {
  Integer Width = 0, Height = 0;
  std::vector<uint32_t> Pixels;  // 0xAARRGGBB
};

// The directory's entries that lie inside the data; empty when it is no icon file.
std::vector<TIconEntry> ReadDirectory(const std::vector<uint8_t>& d) {
  std::vector<TIconEntry> out;
  if (d.size() < 6 || U16(&d[0]) != 0 || U16(&d[2]) != 1) return out;
  size_t count = U16(&d[4]);
  if (count == 0 || d.size() < 6 + count * 16) return out;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = &d[6 + i * 16];
    TIconEntry entry;
    entry.Width = e[0] ? e[0] : 256;
    entry.Height = e[1] ? e[1] : 256;
    entry.Bits = U16(e + 6);
    entry.Size = U32(e + 8);
    entry.Offset = U32(e + 12);
    if (entry.Offset < d.size() && entry.Size <= d.size() - entry.Offset && entry.Size >= 8) out.push_back(entry);
  }
  return out;
}

// The entry nearest the preferred size, the deepest of equals.
const TIconEntry* PickEntry(const std::vector<TIconEntry>& entries) {
  const TIconEntry* best = nullptr;
  auto distance = [](const TIconEntry& e) {
    return std::abs(e.Width - kPreferredSize) + std::abs(e.Height - kPreferredSize);
  };
  for (const TIconEntry& e : entries)
    if (!best || distance(e) < distance(*best) || (distance(e) == distance(*best) && e.Bits > best->Bits)) best = &e;
  return best;
}

struct TPngReader {
  const uint8_t* Data;
  size_t Size;
  size_t Pos = 0;
  static cairo_status_t Read(void* closure, unsigned char* out, unsigned int length) {
    auto* r = static_cast<TPngReader*>(closure);
    if (length > r->Size - r->Pos) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, r->Data + r->Pos, length);
    r->Pos += length;
    return CAIRO_STATUS_SUCCESS;
  }
};

bool DecodePng(const uint8_t* data, size_t size, TIconImage& img) {
  TPngReader reader{data, size};
  cairo_surface_t* s = cairo_image_surface_create_from_png_stream(&TPngReader::Read, &reader);
  bool ok = cairo_surface_status(s) == CAIRO_STATUS_SUCCESS;
  if (ok) {
    cairo_surface_flush(s);
    img.Width = cairo_image_surface_get_width(s);
    img.Height = cairo_image_surface_get_height(s);
    bool alpha = cairo_image_surface_get_format(s) == CAIRO_FORMAT_ARGB32;
    int stride = cairo_image_surface_get_stride(s);
    const unsigned char* bytes = cairo_image_surface_get_data(s);
    img.Pixels.resize(size_t(img.Width) * size_t(img.Height));
    for (Integer y = 0; y < img.Height; ++y)
      for (Integer x = 0; x < img.Width; ++x) {
        uint32_t p;
        std::memcpy(&p, bytes + size_t(y) * size_t(stride) + size_t(x) * 4, 4);
        uint32_t a = alpha ? p >> 24 : 255;
        auto un = [&](int shift) { return a ? std::min<uint32_t>(255, ((p >> shift) & 0xFF) * 255 / a) : 0; };
        img.Pixels[size_t(y) * size_t(img.Width) + size_t(x)] = a << 24 | un(16) << 16 | un(8) << 8 | un(0);
      }
  }
  cairo_surface_destroy(s);
  return ok && img.Width > 0 && img.Height > 0;
}

// An icon image as a DIB: the colour (XOR) bitmap at twice the height, then the AND mask.
bool DecodeDib(const uint8_t* d, size_t size, TIconImage& img) {
  if (size < 40) return false;
  uint32_t header = U32(d);
  int32_t w = int32_t(U32(d + 4)), h2 = int32_t(U32(d + 8));
  int bits = U16(d + 14);
  uint32_t compression = U32(d + 16), used = U32(d + 32);
  if (header < 40 || header > size || compression != 0 || w <= 0 || w > 1024 || h2 <= 0 || h2 > 2048) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  int32_t h = h2 / 2;
  if (h <= 0) return false;
  size_t colors = bits <= 8 ? (used && used <= (1u << bits) ? used : (1u << bits)) : 0;
  size_t paletteAt = header, xorAt = paletteAt + colors * 4;
  size_t xorStride = ((size_t(w) * size_t(bits) + 31) / 32) * 4, andStride = ((size_t(w) + 31) / 32) * 4;
  size_t andAt = xorAt + xorStride * size_t(h);
  bool hasMask = andAt + andStride * size_t(h) <= size;
  if (andAt > size) return false;
  img.Width = w;
  img.Height = h;
  img.Pixels.assign(size_t(w) * size_t(h), 0);
  bool anyAlpha = false;
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* row = d + xorAt + xorStride * size_t(h - 1 - y);
    for (int32_t x = 0; x < w; ++x) {
      uint32_t p;
      if (bits <= 8) {
        size_t bit = size_t(x) * size_t(bits);
        size_t index = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        const uint8_t* c = d + paletteAt + std::min(index, colors - 1) * 4;
        p = 0xFF000000u | uint32_t(c[2]) << 16 | uint32_t(c[1]) << 8 | c[0];
      } else if (bits == 24) {
        const uint8_t* c = row + size_t(x) * 3;
        p = 0xFF000000u | uint32_t(c[2]) << 16 | uint32_t(c[1]) << 8 | c[0];
      } else {
        p = U32(row + size_t(x) * 4);
        anyAlpha = anyAlpha || (p >> 24) != 0;
      }
      img.Pixels[size_t(y) * size_t(w) + size_t(x)] = p;
    }
  }
  if (bits == 32 && !anyAlpha)
    for (uint32_t& p : img.Pixels) p |= 0xFF000000u;
  if (hasMask && !(bits == 32 && anyAlpha))
    for (int32_t y = 0; y < h; ++y) {
      const uint8_t* row = d + andAt + andStride * size_t(h - 1 - y);
      for (int32_t x = 0; x < w; ++x)
        if (row[x / 8] & (0x80 >> (x % 8))) img.Pixels[size_t(y) * size_t(w) + size_t(x)] = 0;
    }
  return true;
}

bool DecodeIcon(const std::vector<uint8_t>& data, TIconImage& img) {
  std::vector<TIconEntry> entries = ReadDirectory(data);
  const TIconEntry* e = PickEntry(entries);
  if (!e) return false;
  const uint8_t* p = data.data() + e->Offset;
  static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (e->Size >= 8 && std::memcmp(p, kPng, 8) == 0) return DecodePng(p, e->Size, img);
  return DecodeDib(p, e->Size, img);
}

uint32_t Over(uint32_t src, uint32_t dst) {
  uint32_t a = src >> 24;
  if (a == 255) return src & 0xFFFFFF;
  if (a == 0) return dst;
  auto ch = [&](int shift) {
    uint32_t s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
    return ((s * a + d * (255 - a) + 127) / 255) << shift;
  };
  return ch(16) | ch(8) | ch(0);
}

}  // namespace

TIcon::TIcon() { SetTransparent(true); }

void TIcon::Assign(TPersistent* Source) {
  if (!Source) {
    FData.clear();
    FPixels.clear();
    FWidth = FHeight = 0;
    Changed(this);
    return;
  }
  auto* src = As<TIcon>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  if (src == this) return;
  FData = src->FData;
  FPixels = src->FPixels;
  FWidth = src->FWidth;
  FHeight = src->FHeight;
  Changed(this);
}

void TIcon::AssignTo(TPersistent* Dest) {
  auto* bmp = As<TBitmap>(Dest);
  if (!bmp) {
    inherited::AssignTo(Dest);
    return;
  }
  TBitmap image;
  image.SetSize(FWidth, FHeight);
  if (!GetEmpty()) image.GetCanvas()->Draw(0, 0, this);
  bmp->Assign(&image);
}

void TIcon::SetWidth(Integer Value) {
  if (Value != FWidth) throw EInvalidGraphicOperation(&SChangeIconSize);
}

void TIcon::SetHeight(Integer Value) {
  if (Value != FHeight) throw EInvalidGraphicOperation(&SChangeIconSize);
}

uint32_t TIcon::GetPixelARGB(Integer X, Integer Y) const {
  if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return 0;
  return FPixels[size_t(Y) * size_t(FWidth) + size_t(X)];
}

void TIcon::LoadFromStream(TStream* Stream) {
  Int64 start = Stream->GetPosition();
  std::vector<uint8_t> data = ReadRest(Stream);
  TIconImage img;
  if (!DecodeIcon(data, img)) {
    Stream->SetPosition(start);
    throw EInvalidGraphic(&SInvalidImage);
  }
  FData = std::move(data);
  FPixels = std::move(img.Pixels);
  FWidth = img.Width;
  FHeight = img.Height;
  Changed(this);
}

void TIcon::SaveToStream(TStream* Stream) {
  if (!FData.empty()) Stream->WriteBuffer(FData.data(), static_cast<Integer>(FData.size()));
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (GetEmpty() || Rect.IsEmpty()) return;
  // The destination's pixels under the icon, blended in memory and copied back.
  Integer w = Rect.Width(), h = Rect.Height();
  TBitmap back;
  back.SetSize(w, h);
  HDC dst = ACanvas->GetHandle();
  BitBlt(back.GetCanvas()->GetHandle(), 0, 0, w, h, dst, Rect.Left, Rect.Top, SRCCOPY);
  for (Integer y = 0; y < h; ++y) {
    uint32_t* row = back.ScanLine(y);
    Integer sy = Integer(Int64(y) * FHeight / h);
    for (Integer x = 0; x < w; ++x) row[x] = Over(FPixels[size_t(sy) * size_t(FWidth) + size_t(Int64(x) * FWidth / w)], row[x]);
  }
  BitBlt(dst, Rect.Left, Rect.Top, w, h, back.GetCanvas()->GetHandle(), 0, 0, SRCCOPY);
}
