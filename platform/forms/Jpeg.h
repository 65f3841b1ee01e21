// JPEG images through libjpeg: read, draw through a decoded bitmap, write with a quality.
#pragma once

#include <memory>
#include <vector>

#include "platform/forms/Graphics.h"

QJ_EXCEPTION(EJPEG, EInvalidGraphic)

using TJPEGQualityRange = Integer;  // 1..100
enum TJPEGPerformance { jpBestQuality, jpBestSpeed };
enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };
enum TJPEGPixelFormat { jf24Bit, jf8Bit };

// The size a JPEG stream decodes to at full scale, from its headers; false when they are
// unreadable.
bool ReadJpegSize(const uint8_t* Data, size_t Size, TSize& ASize);

// Keeps the compressed data it was loaded with (saved unchanged) and a bitmap decoded from it.
// An image assigned from a bitmap is compressed when it is saved or Compress is called.
class TJPEGImage : public TGraphic {
  QJ_CLASS(TJPEGImage, TGraphic)
 public:
  TJPEGImage();
  ~TJPEGImage() override;

  void Assign(TPersistent* Source) override;
  void AssignTo(TPersistent* Dest) override;

  bool GetEmpty() const override { return !FBitmap && FData.empty(); }
  // The decoded size (after Scale).
  Integer GetWidth() const override { return FWidth; }
  Integer GetHeight() const override { return FHeight; }
  // A JPEG image keeps its size: raises EInvalidGraphicOperation.
  void SetWidth(Integer Value) override;
  void SetHeight(Integer Value) override;

  TJPEGQualityRange GetCompressionQuality() const { return FQuality; }
  // Clamped to 1..100; used by the next compression.
  void SetCompressionQuality(TJPEGQualityRange Value);
  // Decodes to grey levels; compression from a bitmap writes a one-channel file.
  bool GetGrayscale() const { return FGrayscale; }
  void SetGrayscale(bool Value);
  bool GetProgressiveEncoding() const { return FProgressive; }
  void SetProgressiveEncoding(bool Value) { FProgressive = Value; }
  TJPEGScale GetScale() const { return FScale; }
  void SetScale(TJPEGScale Value);
  TJPEGPerformance GetPerformance() const { return FPerformance; }
  void SetPerformance(TJPEGPerformance Value);
  TJPEGPixelFormat GetPixelFormat() const { return FGrayscale ? jf8Bit : jf24Bit; }
  void SetPixelFormat(TJPEGPixelFormat Value) { SetGrayscale(Value == jf8Bit); }

  // Raises EJPEG for data that libjpeg refuses; the previous image stays.
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;

  // Compresses the bitmap again with the current settings.
  void Compress();
  void DIBNeeded();
  void JPEGNeeded();
  // The size of the compressed data (0 until there is some).
  Integer GetDataSize() const { return static_cast<Integer>(FData.size()); }

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

 private:
  void Decode();
  void Clear();

  std::vector<uint8_t> FData;
  TOwned<TBitmap> FBitmap;
  Integer FWidth = 0;
  Integer FHeight = 0;
  TJPEGQualityRange FQuality = 90;
  bool FGrayscale = false;
  bool FProgressive = false;
  TJPEGScale FScale = jsFullSize;
  TJPEGPerformance FPerformance = jpBestQuality;
};
