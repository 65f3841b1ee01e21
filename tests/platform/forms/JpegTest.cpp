#include "platform/forms/Jpeg.h"
#include "platform/rtl/Streams.h"
#include "tests/platform/forms/GraphicsTestSupport.h"

namespace {

class Jpeg : public GraphicsTestBase {
 protected:
  // 32 x 24 in four flat quadrants: red, green, blue, white.
  static void PaintQuadrants(TBitmap& bmp) {
    FillBitmap(bmp, 32, 24, clWhite);
    TCanvas* c = bmp.GetCanvas();
    c->GetBrush()->SetColor(clRed);
    c->FillRect(Rect(0, 0, 16, 12));
    c->GetBrush()->SetColor(clLime);
    c->FillRect(Rect(16, 0, 32, 12));
    c->GetBrush()->SetColor(clBlue);
    c->FillRect(Rect(0, 12, 16, 24));
  }

  static String Encode(TJPEGImage& jpeg) {
    TStringStream out;
    jpeg.SaveToStream(&out);
    return out.GetDataString();
  }

  static String EncodeQuadrants(int quality, bool gray = false) {
    TBitmap bmp;
    PaintQuadrants(bmp);
    TJPEGImage jpeg;
    jpeg.SetCompressionQuality(quality);
    jpeg.SetGrayscale(gray);
    jpeg.Assign(&bmp);
    return Encode(jpeg);
  }

  static void Decode(TJPEGImage& jpeg, const String& data) {
    TStringStream in(data);
    jpeg.LoadFromStream(&in);
  }

  static TColor PixelOfJpeg(TJPEGImage& jpeg, Integer x, Integer y) {
    TBitmap bmp;
    bmp.Assign(&jpeg);
    return PixelOf(bmp, x, y);
  }
};

TEST_F(Jpeg, RoundTripKeepsSizeAndApproximateColours) {
  String data = EncodeQuadrants(95);
  ASSERT_GE(data.size(), 4u);
  EXPECT_EQ(uint8_t(data[0]), 0xFF);
  EXPECT_EQ(uint8_t(data[1]), 0xD8);
  TJPEGImage jpeg;
  Decode(jpeg, data);
  EXPECT_EQ(jpeg.GetWidth(), 32);
  EXPECT_EQ(jpeg.GetHeight(), 24);
  EXPECT_FALSE(jpeg.GetEmpty());
  struct Case {
    Integer X, Y;
    TColor Color;
  } cases[] = {{4, 4, clRed}, {28, 4, clLime}, {4, 20, clBlue}, {28, 20, clWhite}};
  for (const Case& c : cases)
    EXPECT_TRUE(Near(PixelOfJpeg(jpeg, c.X, c.Y), c.Color, 12)) << ColorToString(PixelOfJpeg(jpeg, c.X, c.Y));
}

TEST_F(Jpeg, LoadedDataIsSavedUnchanged) {
  String data = EncodeQuadrants(80);
  TJPEGImage jpeg;
  Decode(jpeg, data);
  jpeg.SetCompressionQuality(5);
  EXPECT_EQ(Encode(jpeg), data);
  jpeg.Compress();
  EXPECT_LT(Encode(jpeg).size(), data.size());
}

TEST_F(Jpeg, QualitySetsTheSize) {
  EXPECT_LT(EncodeQuadrants(10).size(), EncodeQuadrants(100).size());
  TJPEGImage jpeg;
  jpeg.SetCompressionQuality(0);
  EXPECT_EQ(jpeg.GetCompressionQuality(), 1);
  jpeg.SetCompressionQuality(250);
  EXPECT_EQ(jpeg.GetCompressionQuality(), 100);
}

TEST_F(Jpeg, GrayscaleDecodesAndEncodesGreyLevels) {
  TJPEGImage colour;
  Decode(colour, EncodeQuadrants(95));
  colour.SetGrayscale(true);
  COLORREF red = ColorToRGB(PixelOfJpeg(colour, 4, 4));
  EXPECT_EQ(GetRValue(red), GetGValue(red));
  EXPECT_EQ(GetGValue(red), GetBValue(red));
  EXPECT_NEAR(int(GetRValue(red)), 76, 12);

  TJPEGImage gray;
  Decode(gray, EncodeQuadrants(95, true));
  COLORREF green = ColorToRGB(PixelOfJpeg(gray, 28, 4));
  EXPECT_EQ(GetRValue(green), GetBValue(green));
  EXPECT_NEAR(int(GetGValue(green)), 150, 12);
}

TEST_F(Jpeg, ScaleShrinksTheDecodedImage) {
  TJPEGImage jpeg;
  Decode(jpeg, EncodeQuadrants(90));
  jpeg.SetScale(jsHalf);
  EXPECT_EQ(jpeg.GetWidth(), 16);
  EXPECT_EQ(jpeg.GetHeight(), 12);
  jpeg.SetScale(jsEighth);
  EXPECT_EQ(jpeg.GetWidth(), 4);
  EXPECT_TRUE(Near(PixelOfJpeg(jpeg, 0, 0), clRed, 24));
}

TEST_F(Jpeg, ProgressiveFilesRoundTrip) {
  TBitmap bmp;
  PaintQuadrants(bmp);
  TJPEGImage jpeg;
  jpeg.SetProgressiveEncoding(true);
  jpeg.Assign(&bmp);
  TJPEGImage back;
  Decode(back, Encode(jpeg));
  EXPECT_TRUE(Near(PixelOfJpeg(back, 4, 20), clBlue, 16));
}

TEST_F(Jpeg, BadDataRaisesAClearErrorAndKeepsTheImage) {
  String good = EncodeQuadrants(90);
  String corrupt = good.substr(0, 2) + String(200, '\x55');
  const String samples[] = {"", "not a jpeg", corrupt, String("\xFF\xD8\xFF", 3)};
  TJPEGImage jpeg;
  Decode(jpeg, good);
  for (const String& s : samples) {
    TStringStream in(s);
    try {
      jpeg.LoadFromStream(&in);
      ADD_FAILURE() << "accepted " << s.size() << " bytes";
    } catch (const EJPEG& e) {
      EXPECT_EQ(e.Message().rfind("JPEG error: ", 0), 0u) << e.Message();
      EXPECT_GT(e.Message().size(), 12u);
    }
    EXPECT_EQ(in.GetPosition(), 0);
    EXPECT_EQ(jpeg.GetWidth(), 32);
    EXPECT_EQ(Encode(jpeg), good);
  }
}

TEST_F(Jpeg, ATruncatedFileStillLoads) {
  String data = EncodeQuadrants(90);
  size_t scan = data.find("\xFF\xDA");
  ASSERT_NE(scan, String::npos);
  TJPEGImage jpeg;
  Decode(jpeg, data.substr(0, scan + (data.size() - scan) / 2));
  EXPECT_EQ(jpeg.GetWidth(), 32);
  EXPECT_TRUE(Near(PixelOfJpeg(jpeg, 4, 4), clRed, 16));
}

TEST_F(Jpeg, SizeIsFixedAndEmptyImagesSaveNothing) {
  TJPEGImage jpeg;
  EXPECT_TRUE(jpeg.GetEmpty());
  EXPECT_EQ(Encode(jpeg), "");
  Decode(jpeg, EncodeQuadrants(90));
  EXPECT_THROW(jpeg.SetWidth(10), EInvalidGraphicOperation);
  EXPECT_THROW(jpeg.SetHeight(10), EInvalidGraphicOperation);
  jpeg.Assign(nullptr);
  EXPECT_TRUE(jpeg.GetEmpty());
}

TEST_F(Jpeg, DrawsOnACanvasStretched) {
  TJPEGImage jpeg;
  Decode(jpeg, EncodeQuadrants(95));
  TBitmap target;
  FillBitmap(target, 80, 60, clBlack);
  target.GetCanvas()->Draw(0, 0, &jpeg);
  EXPECT_TRUE(Near(PixelOf(target, 4, 4), clRed, 12));
  EXPECT_EQ(PixelOf(target, 40, 40), clBlack);
  target.GetCanvas()->StretchDraw(Rect(0, 0, 64, 48), &jpeg);
  EXPECT_TRUE(Near(PixelOf(target, 56, 8), clLime, 12));
}

TEST_F(Jpeg, AssignCopiesImagesAndSettings) {
  TJPEGImage a, b;
  Decode(a, EncodeQuadrants(70));
  a.SetCompressionQuality(33);
  b.Assign(&a);
  EXPECT_EQ(b.GetCompressionQuality(), 33);
  EXPECT_EQ(Encode(b), Encode(a));
  TBitmap mono;
  FillBitmap(mono, 8, 8, clWhite);
  mono.SetMonochrome(true);
  b.Assign(&mono);
  EXPECT_EQ(b.GetWidth(), 8);
  EXPECT_TRUE(Near(PixelOfJpeg(b, 3, 3), clWhite, 4));
}

}  // namespace
