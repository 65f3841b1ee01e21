// TJPEGImage over libjpeg. libjpeg reports fatal errors through a callback that must not
// return; ours jumps back to the call that started the work, which then raises EJPEG. The
// functions that set the jump point hold only trivially destructible locals.
#include "platform/forms/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

#include "platform/os/Gdi.h"
#include "platform/rtl/Streams.h"

QJ_IMPLEMENT_CLASS(EJPEG)
QJ_IMPLEMENT_CLASS(TJPEGImage)

namespace {

constexpr Int64 kMaxJpegPixels = Int64(1) << 28;

struct TJpegError {
  jpeg_error_mgr Manager;
  jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

[[noreturn]] void ErrorExit(j_common_ptr info) {
  auto* err = reinterpret_cast<TJpegError*>(info->err);
  (*info->err->format_message)(info, err->Message);
  std::longjmp(err->Jump, 1);
}

// Warnings (a truncated file, for one) are not fatal and not printed.
void OutputMessage(j_common_ptr) {}

void InitError(TJpegError& err) {
  jpeg_std_error(&err.Manager);
  err.Manager.error_exit = ErrorExit;
  err.Manager.output_message = OutputMessage;
  err.Message[0] = 0;
}

// The decoded image, 0x00RRGGBB pixels top-down.
struct TDecoded {
  Integer Width = 0, Height = 0;
  std::vector<uint32_t> Pixels;
};

struct TDecodeOptions {
  bool Gray;
  unsigned ScaleDenom;
  bool Fast;
};

uint32_t FromCmyk(const JSAMPLE* s) {
  // Files with four channels store them inverted (as Adobe writes them).
  uint32_t k = s[3];
  auto ch = [&](uint32_t v) { return v * k / 255; };
  return ch(s[0]) << 16 | ch(s[1]) << 8 | ch(s[2]);
}

void StoreRow(const jpeg_decompress_struct& info, const JSAMPLE* src, uint32_t* dst) {
  for (JDIMENSION x = 0; x < info.output_width; ++x) {
    const JSAMPLE* s = src + size_t(x) * size_t(info.output_components);
    if (info.output_components == 1) dst[x] = uint32_t(s[0]) * 0x010101u;
    else if (info.output_components == 4) dst[x] = FromCmyk(s);
    else dst[x] = uint32_t(s[0]) << 16 | uint32_t(s[1]) << 8 | s[2];
  }
}

bool DecodeJpeg(const uint8_t* data, size_t size, const TDecodeOptions& options, TDecoded* out, char* message) {
  jpeg_decompress_struct info;
  TJpegError err;
  info.err = &err.Manager;
  InitError(err);
  if (setjmp(err.Jump)) {
    std::memcpy(message, err.Message, JMSG_LENGTH_MAX);
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = options.Gray ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
  info.scale_num = 1;
  info.scale_denom = options.ScaleDenom;
  info.dct_method = options.Fast ? JDCT_IFAST : JDCT_ISLOW;
  jpeg_calc_output_dimensions(&info);
  if (Int64(info.output_width) * info.output_height > kMaxJpegPixels) {
    std::snprintf(message, JMSG_LENGTH_MAX, "image of %u x %u pixels is too large", info.output_width, info.output_height);
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_start_decompress(&info);
  out->Width = Integer(info.output_width);
  out->Height = Integer(info.output_height);
  out->Pixels.resize(size_t(out->Width) * size_t(out->Height));
  JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                             info.output_width * JDIMENSION(info.output_components), 1);
  while (info.output_scanline < info.output_height) {
    JDIMENSION y = info.output_scanline;
    if (jpeg_read_scanlines(&info, row, 1) != 1) break;
    StoreRow(info, row[0], out->Pixels.data() + size_t(y) * size_t(out->Width));
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

struct TEncodeOptions {
  int Quality;
  bool Gray;
  bool Progressive;
};

// Writes the rows through a buffer that libjpeg allocates (*outData, freed with free()).
bool EncodeJpeg(const TDecoded& image, const TEncodeOptions& options, unsigned char** outData,
                unsigned long* outSize, char* message) {
  jpeg_compress_struct info;
  TJpegError err;
  info.err = &err.Manager;
  InitError(err);
  if (setjmp(err.Jump)) {
    std::memcpy(message, err.Message, JMSG_LENGTH_MAX);
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, outData, outSize);
  info.image_width = JDIMENSION(image.Width);
  info.image_height = JDIMENSION(image.Height);
  info.input_components = options.Gray ? 1 : 3;
  info.in_color_space = options.Gray ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, options.Quality, TRUE);
  if (options.Progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                             info.image_width * JDIMENSION(info.input_components), 1);
  while (info.next_scanline < info.image_height) {
    const uint32_t* src = image.Pixels.data() + size_t(info.next_scanline) * size_t(image.Width);
    for (Integer x = 0; x < image.Width; ++x) {
      uint32_t p = src[x];
      uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      if (options.Gray) {
        row[0][x] = JSAMPLE((r * 299 + g * 587 + b * 114 + 500) / 1000);
      } else {
        row[0][size_t(x) * 3] = JSAMPLE(r);
        row[0][size_t(x) * 3 + 1] = JSAMPLE(g);
        row[0][size_t(x) * 3 + 2] = JSAMPLE(b);
      }
    }
    jpeg_write_scanlines(&info, row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

unsigned ScaleDenominator(TJPEGScale scale) { return 1u << static_cast<unsigned>(scale); }

[[noreturn]] void RaiseJpeg(const char* message) { throw EJPEG(Format("JPEG error: %s", {String(message)})); }

}  // namespace

bool ReadJpegSize(const uint8_t* Data, size_t Size, TSize& ASize) {
  if (!Data || Size == 0) return false;
  jpeg_decompress_struct info;
  TJpegError err;
  info.err = &err.Manager;
  InitError(err);
  if (setjmp(err.Jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, Data, static_cast<unsigned long>(Size));
  jpeg_read_header(&info, TRUE);
  ASize = {Integer(info.image_width), Integer(info.image_height)};
  jpeg_destroy_decompress(&info);
  return true;
}

TJPEGImage::TJPEGImage() = default;

TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::Clear() {
  FData.clear();
  FBitmap.reset();
  FWidth = FHeight = 0;
}

void TJPEGImage::Assign(TPersistent* Source) {
  if (!Source) {
    Clear();
    Changed(this);
    return;
  }
  if (auto* src = As<TJPEGImage>(Source)) {
    if (src == this) return;
    FData = src->FData;
    FQuality = src->FQuality;
    FGrayscale = src->FGrayscale;
    FProgressive = src->FProgressive;
    FScale = src->FScale;
    FPerformance = src->FPerformance;
    FBitmap.reset();
    FWidth = src->FWidth;
    FHeight = src->FHeight;
    if (src->FBitmap) {
      FBitmap = MakeOwned<TBitmap>();
      FBitmap->Assign(src->FBitmap.get());
    }
    Changed(this);
    return;
  }
  if (auto* bmp = As<TBitmap>(Source)) {
    auto copy = MakeOwned<TBitmap>();
    copy->Assign(bmp);
    if (copy->GetMonochrome()) copy->SetPixelFormat(pf24bit);
    FData.clear();
    FWidth = copy->GetWidth();
    FHeight = copy->GetHeight();
    FBitmap = copy->GetEmpty() ? nullptr : std::move(copy);
    Changed(this);
    return;
  }
  inherited::Assign(Source);
}

void TJPEGImage::AssignTo(TPersistent* Dest) {
  auto* bmp = As<TBitmap>(Dest);
  if (!bmp) {
    inherited::AssignTo(Dest);
    return;
  }
  DIBNeeded();
  bmp->Assign(FBitmap.get());
}

void TJPEGImage::SetWidth(Integer Value) {
  if (Value != FWidth) throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::SetHeight(Integer Value) {
  if (Value != FHeight) throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::SetCompressionQuality(TJPEGQualityRange Value) {
  FQuality = Value < 1 ? 1 : Value > 100 ? 100 : Value;
}

void TJPEGImage::SetGrayscale(bool Value) {
  if (Value == FGrayscale) return;
  FGrayscale = Value;
  if (!FData.empty()) Decode();
  Changed(this);
}

void TJPEGImage::SetScale(TJPEGScale Value) {
  if (Value == FScale) return;
  FScale = Value;
  if (!FData.empty()) Decode();
  Changed(this);
}

void TJPEGImage::SetPerformance(TJPEGPerformance Value) {
  if (Value == FPerformance) return;
  FPerformance = Value;
  if (!FData.empty()) Decode();
  Changed(this);
}

void TJPEGImage::Decode() {
  TDecoded image;
  char message[JMSG_LENGTH_MAX] = {};
  TDecodeOptions options{FGrayscale, ScaleDenominator(FScale), FPerformance == jpBestSpeed};
  if (!DecodeJpeg(FData.data(), FData.size(), options, &image, message)) RaiseJpeg(message);
  HBITMAP handle = CreateBitmap(image.Width, image.Height, 1, 32, image.Pixels.data());
  if (!handle) throw EOutOfMemory(Format("Cannot create a bitmap of %d x %d pixels", {image.Width, image.Height}));
  auto bmp = MakeOwned<TBitmap>();
  bmp->SetHandle(handle);
  bmp->SetPixelFormat(pf24bit);
  FBitmap = std::move(bmp);
  FWidth = image.Width;
  FHeight = image.Height;
}

void TJPEGImage::DIBNeeded() {
  if (!FBitmap && !FData.empty()) Decode();
}

void TJPEGImage::JPEGNeeded() {
  if (FData.empty() && FBitmap) Compress();
}

void TJPEGImage::Compress() {
  if (!FBitmap) return;
  TDecoded image;
  image.Width = FBitmap->GetWidth();
  image.Height = FBitmap->GetHeight();
  image.Pixels.resize(size_t(image.Width) * size_t(image.Height));
  for (Integer y = 0; y < image.Height; ++y)
    std::memcpy(image.Pixels.data() + size_t(y) * size_t(image.Width), FBitmap->ScanLine(y), size_t(image.Width) * 4);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  char message[JMSG_LENGTH_MAX] = {};
  bool ok = EncodeJpeg(image, {FQuality, FGrayscale, FProgressive}, &buffer, &size, message);
  if (ok) FData.assign(buffer, buffer + size);
  std::free(buffer);
  if (!ok) RaiseJpeg(message);
}

void TJPEGImage::LoadFromStream(TStream* Stream) {
  Int64 start = Stream->GetPosition();
  std::vector<uint8_t> data = ReadRest(Stream);
  std::vector<uint8_t> old = std::move(FData);
  FData = std::move(data);
  try {
    Decode();
  } catch (...) {
    FData = std::move(old);
    Stream->SetPosition(start);
    throw;
  }
  Changed(this);
}

void TJPEGImage::SaveToStream(TStream* Stream) {
  JPEGNeeded();
  if (!FData.empty()) Stream->WriteBuffer(FData.data(), static_cast<Integer>(FData.size()));
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
  DIBNeeded();
  if (FBitmap) ACanvas->StretchDraw(Rect, FBitmap.get());
}
