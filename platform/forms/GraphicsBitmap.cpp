// TGraphic and TBitmap: memory bitmaps with a canvas, BMP files and resource bitmaps.
#include <algorithm>
#include <cstring>

#include "platform/forms/Graphics.h"
#include "platform/os/Gdi.h"
#include "platform/os/GdiScopes.h"
#include "platform/rtl/Streams.h"

QJ_IMPLEMENT_CLASS(TGraphic)
QJ_IMPLEMENT_CLASS(TBitmap)

// ---------------------------------------------------------------------------------------------
// TGraphic

void TGraphic::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  Changed(this);
}

void TGraphic::SetModified(bool Value) {
  if (Value) Changed(this);
  else FModified = false;
}

void TGraphic::Changed(TObject*) {
  FModified = true;
  if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const String& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const String& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

std::vector<uint8_t> TGraphic::ReadRest(TStream* Stream) {
  Int64 size = Stream->GetSize() - Stream->GetPosition();
  if (size <= 0) return {};
  if (size > INT32_MAX) throw EInvalidGraphic(&SInvalidImage);
  std::vector<uint8_t> data(static_cast<size_t>(size));
  data.resize(static_cast<size_t>(Stream->Read(data.data(), static_cast<Integer>(size))));
  return data;
}

// ---------------------------------------------------------------------------------------------
// The bitmap's canvas: a memory DC with the bitmap selected, made on first use.

class TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TBitmap* Bitmap) : FBitmap(Bitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }

  void FreeContext() {
    HDC dc = HandleRaw();
    if (!dc) return;
    SetHandle(nullptr);
    if (FOldBitmap) SelectObject(dc, FOldBitmap);
    FOldBitmap = nullptr;
    DeleteDC(dc);
  }

 protected:
  void CreateHandle() override {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return;
    if (FBitmap->FHandle) {
      FOldBitmap = SelectObject(dc, FBitmap->FHandle);
      if (!FOldBitmap) {
        DeleteDC(dc);
        throw EInvalidGraphicOperation("The bitmap is selected into another device context");
      }
    }
    SetHandle(dc);
  }

  void Changed() override {
    TCanvas::Changed();
    FBitmap->Changed(this);
  }

 private:
  TBitmap* FBitmap;
  HGDIOBJ FOldBitmap = nullptr;
};

// ---------------------------------------------------------------------------------------------
// TBitmap

namespace {

constexpr Integer kMaxSide = 32768;
constexpr Int64 kMaxPixels = Int64(1) << 28;

// Monochrome bitmaps as the drawing layer takes them: rows padded to 16 bits, bit 7 leftmost.
HBITMAP MonoFromFlags(Integer w, Integer h, const std::function<bool(Integer, Integer)>& white) {
  size_t stride = size_t((w + 15) / 16) * 2;
  std::vector<uint8_t> bits(stride * size_t(h), 0);
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x)
      if (white(x, y)) bits[size_t(y) * stride + size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
  return CreateBitmap(w, h, 1, 1, bits.data());
}

const uint32_t* PixelsOf(HBITMAP bmp) {
  BITMAP bm;
  if (GetObject(bmp, sizeof(bm), &bm) != sizeof(bm) || bm.bmBitsPixel != 32) return nullptr;
  return static_cast<const uint32_t*>(bm.bmBits);
}

bool IsMonoHandle(HBITMAP bmp) {
  BITMAP bm;
  return GetObject(bmp, sizeof(bm), &bm) == sizeof(bm) && bm.bmBitsPixel == 1;
}

int FileDepth(TPixelFormat format) {
  switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit:
    case pf24bit: return 24;
    default: return 32;
  }
}

TPixelFormat FormatOfDepth(int bits, bool mono) {
  if (mono) return pf1bit;
  switch (bits) {
    case 1:
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    default: return pf32bit;
  }
}

// The bits a pixel of a BMP file, from its info header; 0 when unreadable.
int BmpDepth(const std::vector<uint8_t>& d) {
  if (d.size() < 30) return 0;
  uint32_t header = uint32_t(d[14]) | uint32_t(d[15]) << 8 | uint32_t(d[16]) << 16 | uint32_t(d[17]) << 24;
  size_t at = header == 12 ? 24 : 28;
  return d[at] | d[at + 1] << 8;
}

}  // namespace

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  FCanvas.reset();
  if (FHandle) DeleteObject(FHandle);
}

HBITMAP TBitmap::NewImage(Integer W, Integer H, bool Mono, COLORREF Fill) {
  if (W > kMaxSide || H > kMaxSide || Int64(W) * H > kMaxPixels)
    throw EInvalidGraphic(&SBitmapTooLarge, {W, H});
  HBITMAP bmp = CreateBitmap(W, H, 1, Mono ? 1 : 32, nullptr);
  if (!bmp) throw EOutOfMemory(Format("Cannot create a bitmap of %d x %d pixels", {W, H}));
  TMemoryDC dc(nullptr, bmp);
  RECT all{0, 0, W, H};
  TOwnedGdiObject brush(CreateSolidBrush(Fill));
  ::FillRect(dc.Handle(), &all, brush.Get());
  return bmp;
}

void TBitmap::ReplaceHandle(HBITMAP Value, TPixelFormat Format) {
  FreeContext();
  if (FHandle && FHandle != Value) DeleteObject(FHandle);
  FHandle = Value;
  BITMAP bm;
  if (Value && GetObject(Value, sizeof(bm), &bm) == sizeof(bm)) {
    FWidth = bm.bmWidth;
    FHeight = bm.bmHeight;
  } else {
    FHandle = nullptr;
    FWidth = FHeight = 0;
  }
  FPixelFormat = Format;
}

void TBitmap::SetSize(Integer AWidth, Integer AHeight) {
  AWidth = std::max<Integer>(0, AWidth);
  AHeight = std::max<Integer>(0, AHeight);
  if (AWidth == FWidth && AHeight == FHeight) return;
  TPixelFormat format = FPixelFormat;
  if (AWidth == 0 || AHeight == 0) {
    ReplaceHandle(nullptr, format);
    FWidth = AWidth;
    FHeight = AHeight;
    Changed(this);
    return;
  }
  COLORREF fill = FCanvas ? ColorToRGB(FCanvas->GetBrush()->GetColor()) : 0xFFFFFF;
  HBITMAP image = NewImage(AWidth, AHeight, format == pf1bit, fill);
  if (FHandle) {
    TMemoryDC dst(nullptr, image);
    HDC src = GetCanvas()->GetHandle();
    BitBlt(dst.Handle(), 0, 0, std::min(AWidth, FWidth), std::min(AHeight, FHeight), src, 0, 0, SRCCOPY);
  }
  ReplaceHandle(image, format);
  Changed(this);
}

TCanvas* TBitmap::GetCanvas() {
  if (!FCanvas) FCanvas = MakeOwned<TBitmapCanvas>(this);
  return FCanvas.get();
}

void TBitmap::FreeContext() {
  if (FCanvas) FCanvas->FreeContext();
}

HBITMAP TBitmap::GetHandle() {
  FreeContext();
  return FHandle;
}

void TBitmap::SetHandle(HBITMAP Value) {
  if (Value == FHandle) return;
  ReplaceHandle(Value, Value && IsMonoHandle(Value) ? pf1bit : pfDevice);
  Changed(this);
}

HBITMAP TBitmap::ReleaseHandle() {
  FreeContext();
  HBITMAP h = FHandle;
  FHandle = nullptr;
  FWidth = FHeight = 0;
  Changed(this);
  return h;
}

void TBitmap::Assign(TPersistent* Source) {
  if (!Source) {
    ReplaceHandle(nullptr, pfDevice);
    Changed(this);
    return;
  }
  auto* src = As<TBitmap>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  if (src == this) return;
  HBITMAP copy = nullptr;
  if (src->FHandle) {
    bool mono = src->GetMonochrome();
    copy = mono ? NewImage(src->FWidth, src->FHeight, true, 0xFFFFFF) : CreateBitmap(src->FWidth, src->FHeight, 1, 32, PixelsOf(src->FHandle));
    if (mono) {
      TMemoryDC dst(nullptr, copy);
      BitBlt(dst.Handle(), 0, 0, src->FWidth, src->FHeight, src->GetCanvas()->GetHandle(), 0, 0, SRCCOPY);
    }
  }
  ReplaceHandle(copy, src->FPixelFormat);
  FWidth = src->FWidth;
  FHeight = src->FHeight;
  FHandleType = src->FHandleType;
  FTransparentColor = src->FTransparentColor;
  FTransparentMode = src->FTransparentMode;
  SetTransparent(src->GetTransparent());
  Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  if (Value == FPixelFormat) return;
  bool toMono = Value == pf1bit, fromMono = FPixelFormat == pf1bit;
  if (FHandle && toMono != fromMono) {
    HBITMAP image;
    if (toMono) {
      // White stays white; every other colour turns black.
      const uint32_t* px = PixelsOf(FHandle);
      Integer w = FWidth;
      image = MonoFromFlags(FWidth, FHeight, [&](Integer x, Integer y) { return px[size_t(y) * size_t(w) + size_t(x)] == 0xFFFFFF; });
    } else {
      image = NewImage(FWidth, FHeight, false, 0xFFFFFF);
      TMemoryDC dst(nullptr, image);
      HDC src = GetCanvas()->GetHandle();
      SetTextColor(dst.Handle(), 0);
      SetBkColor(dst.Handle(), 0xFFFFFF);
      BitBlt(dst.Handle(), 0, 0, FWidth, FHeight, src, 0, 0, SRCCOPY);
    }
    ReplaceHandle(image, Value);
  }
  FPixelFormat = Value;
  Changed(this);
}

void TBitmap::SetMonochrome(bool Value) {
  if (Value == GetMonochrome()) return;
  SetPixelFormat(Value ? pf1bit : pfDevice);
}

uint32_t* TBitmap::ScanLine(Integer Row) {
  if (!FHandle || Row < 0 || Row >= FHeight || GetMonochrome()) throw EInvalidGraphicOperation(&SScanLine);
  return const_cast<uint32_t*>(PixelsOf(FHandle)) + size_t(Row) * size_t(FWidth);
}

TColor TBitmap::GetTransparentColor() {
  if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
  if (GetMonochrome()) return clWhite;
  if (!FHandle) return clDefault;
  uint32_t p = PixelsOf(FHandle)[size_t(FHeight - 1) * size_t(FWidth)];
  return static_cast<TColor>(RGB(BYTE(p >> 16), BYTE(p >> 8), BYTE(p)));
}

void TBitmap::SetTransparentColor(TColor Value) {
  if (Value == FTransparentColor && FTransparentMode == (Value == clDefault ? tmAuto : tmFixed)) return;
  FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
  FTransparentColor = Value;
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
  if (Value == FTransparentMode) return;
  if (Value == tmAuto) SetTransparentColor(clDefault);
  else SetTransparentColor(GetTransparentColor());
}

HBITMAP TBitmap::MaskHandleFor(TColor TransparentColor) {
  if (!FHandle) return nullptr;
  COLORREF key = ColorToRGB(TransparentColor) & 0xFFFFFF;
  if (const uint32_t* px = PixelsOf(FHandle)) {
    uint32_t keyPixel = (GetRValue(key) << 16) | (GetGValue(key) << 8) | GetBValue(key);
    Integer w = FWidth;
    return MonoFromFlags(FWidth, FHeight, [&](Integer x, Integer y) { return px[size_t(y) * size_t(w) + size_t(x)] == keyPixel; });
  }
  HDC dc = GetCanvas()->GetHandle();
  return MonoFromFlags(FWidth, FHeight, [&](Integer x, Integer y) { return (::GetPixel(dc, x, y) & 0xFFFFFF) == key; });
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (!FHandle || Rect.IsEmpty()) return;
  if (GetTransparent()) {
    DrawTransparent(ACanvas, Rect);
    return;
  }
  HDC dst = ACanvas->GetHandle();
  HDC src = GetCanvas()->GetHandle();
  COLORREF oldText = 0, oldBk = 0;
  if (GetMonochrome()) {
    oldText = SetTextColor(dst, 0);
    oldBk = SetBkColor(dst, 0xFFFFFF);
  }
  StretchBlt(dst, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), src, 0, 0, FWidth, FHeight, ACanvas->GetCopyMode());
  if (GetMonochrome()) {
    SetTextColor(dst, oldText);
    SetBkColor(dst, oldBk);
  }
}

void TBitmap::DrawTransparent(TCanvas* ACanvas, const TRect& Rect) {
  // Stretch first, so that the key colour survives as whole pixels, then mask by it.
  TBitmap sized;
  TBitmap* image = this;
  if (Rect.Width() != FWidth || Rect.Height() != FHeight) {
    sized.SetSize(Rect.Width(), Rect.Height());
    HDC sizedDC = sized.GetCanvas()->GetHandle();
    SetStretchBltMode(sizedDC, COLORONCOLOR);
    StretchBlt(sizedDC, 0, 0, Rect.Width(), Rect.Height(), GetCanvas()->GetHandle(), 0, 0, FWidth, FHeight, SRCCOPY);
    image = &sized;
  }
  HBITMAP mask = image->MaskHandleFor(GetTransparentColor());
  constexpr DWORD kKeepDest = 0x00AA0029;
  MaskBlt(ACanvas->GetHandle(), Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), image->GetCanvas()->GetHandle(), 0, 0,
          mask, 0, 0, MAKEROP4(kKeepDest, SRCCOPY));
  DeleteObject(mask);
}

void TBitmap::LoadFromStream(TStream* Stream) {
  Int64 start = Stream->GetPosition();
  uint8_t header[14];
  if (Stream->Read(header, sizeof(header)) != sizeof(header) || header[0] != 'B' || header[1] != 'M') {
    Stream->SetPosition(start);
    throw EInvalidGraphic(&SInvalidImage);
  }
  uint32_t fileSize = uint32_t(header[2]) | uint32_t(header[3]) << 8 | uint32_t(header[4]) << 16 | uint32_t(header[5]) << 24;
  std::vector<uint8_t> data(header, header + sizeof(header));
  std::vector<uint8_t> rest = ReadRest(Stream);
  data.insert(data.end(), rest.begin(), rest.end());
  // The header's file size bounds the data, so that a stream may hold more after it; a wrong
  // size gets a second try with everything.
  size_t used = fileSize > sizeof(header) && fileSize < data.size() ? fileSize : data.size();
  HBITMAP bmp = ReadBitmapFile(data.data(), used);
  if (!bmp && used < data.size()) bmp = ReadBitmapFile(data.data(), used = data.size());
  if (!bmp) {
    Stream->SetPosition(start);
    throw EInvalidGraphic(&SInvalidImage);
  }
  Stream->SetPosition(start + Int64(used));
  bool mono = IsMonoHandle(bmp);
  ReplaceHandle(bmp, FormatOfDepth(BmpDepth(data), mono));
  Changed(this);
}

void TBitmap::SaveToStream(TStream* Stream) {
  if (!FHandle) return;
  std::vector<uint8_t> file = WriteBitmapFile(GetHandle(), FileDepth(FPixelFormat));
  if (file.empty()) throw EInvalidGraphicOperation(&SInvalidImage);
  Stream->WriteBuffer(file.data(), static_cast<Integer>(file.size()));
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const String& ResName) {
  HBITMAP bmp = LoadBitmap(Instance, ResName.c_str());
  if (!bmp) throw EResNotFound(&SResNotFound, {ResName});
  ReplaceHandle(bmp, IsMonoHandle(bmp) ? pf1bit : pfDevice);
  Changed(this);
}

void TBitmap::LoadFromResourceID(HINSTANCE Instance, Integer ResID) {
  HBITMAP bmp = LoadBitmap(Instance, reinterpret_cast<const char*>(static_cast<uintptr_t>(ResID)));
  if (!bmp) throw EResNotFound(&SResNotFound, {IntToStr(ResID)});
  ReplaceHandle(bmp, IsMonoHandle(bmp) ? pf1bit : pfDevice);
  Changed(this);
}
