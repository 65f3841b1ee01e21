#include <cstdio>

#include "platform/rtl/Streams.h"
#include "tests/platform/forms/GraphicsTestSupport.h"

namespace {

using GraphicsBitmap = GraphicsTestBase;

// A 6 x 4 bitmap with a distinct colour in each corner.
void PaintCorners(TBitmap& bmp) {
  FillBitmap(bmp, 6, 4, clGray);
  bmp.GetCanvas()->SetPixel(0, 0, clRed);
  bmp.GetCanvas()->SetPixel(5, 0, clLime);
  bmp.GetCanvas()->SetPixel(0, 3, clBlue);
  bmp.GetCanvas()->SetPixel(5, 3, clYellow);
}

TEST_F(GraphicsBitmap, ANewBitmapIsEmptyUntilItHasBothSides) {
  TBitmap bmp;
  EXPECT_TRUE(bmp.GetEmpty());
  bmp.SetWidth(10);
  EXPECT_TRUE(bmp.GetEmpty());
  EXPECT_EQ(bmp.GetWidth(), 10);
  bmp.SetHeight(5);
  EXPECT_FALSE(bmp.GetEmpty());
  EXPECT_EQ(PixelOf(bmp, 9, 4), clWhite);
}

TEST_F(GraphicsBitmap, ResizingKeepsTheOverlapAndFillsWithTheBrush) {
  TBitmap bmp;
  PaintCorners(bmp);
  bmp.GetCanvas()->GetBrush()->SetColor(clMaroon);
  bmp.SetSize(8, 5);
  EXPECT_EQ(PixelOf(bmp, 0, 0), clRed);
  EXPECT_EQ(PixelOf(bmp, 5, 3), clYellow);
  EXPECT_EQ(PixelOf(bmp, 7, 4), clMaroon);
  bmp.SetSize(2, 2);
  EXPECT_EQ(PixelOf(bmp, 0, 0), clRed);
  EXPECT_EQ(PixelOf(bmp, 1, 1), clGray);
}

TEST_F(GraphicsBitmap, HugeSizesRaiseAndKeepTheImage) {
  TBitmap bmp;
  PaintCorners(bmp);
  EXPECT_THROW(bmp.SetSize(100000, 100000), EInvalidGraphic);
  EXPECT_EQ(bmp.GetWidth(), 6);
  EXPECT_EQ(PixelOf(bmp, 0, 0), clRed);
}

TEST_F(GraphicsBitmap, ScanLinesAreThePixels) {
  TBitmap bmp;
  PaintCorners(bmp);
  uint32_t* row = bmp.ScanLine(3);
  EXPECT_EQ(row[0], 0x0000FFu) << "0x00RRGGBB";
  row[1] = 0xFF0000;
  EXPECT_EQ(PixelOf(bmp, 1, 3), clRed);
  EXPECT_THROW(bmp.ScanLine(4), EInvalidGraphicOperation);
  EXPECT_THROW(bmp.ScanLine(-1), EInvalidGraphicOperation);
  TBitmap empty;
  EXPECT_THROW(empty.ScanLine(0), EInvalidGraphicOperation);
}

TEST_F(GraphicsBitmap, CanvasDrawingTellsOnChange) {
  TBitmap bmp;
  bmp.SetSize(4, 4);
  int changes = 0;
  bmp.OnChange = [&](TObject* s) {
    EXPECT_EQ(s, &bmp);
    ++changes;
  };
  bmp.GetCanvas()->FillRect(Rect(0, 0, 2, 2));
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(bmp.GetModified());
}

TEST_F(GraphicsBitmap, TheHandleIsFreeOfTheCanvasDC) {
  TBitmap bmp;
  FillBitmap(bmp, 4, 4, clRed);
  HBITMAP h = bmp.GetHandle();
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, h);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 0, 0));
  SelectObject(dc, old);
  DeleteDC(dc);
  EXPECT_EQ(PixelOf(bmp, 1, 1), clRed) << "the canvas comes back";
}

TEST_F(GraphicsBitmap, SetHandleAdoptsAndReleaseHandleGivesAway) {
  TBitmap bmp;
  HBITMAP h = CreateBitmap(7, 3, 1, 32, nullptr);
  bmp.SetHandle(h);
  EXPECT_EQ(bmp.GetWidth(), 7);
  EXPECT_EQ(bmp.GetHeight(), 3);
  EXPECT_EQ(bmp.ReleaseHandle(), h);
  EXPECT_TRUE(bmp.GetEmpty());
  EXPECT_EQ(GetObjectType(h), OBJ_BITMAP);
  DeleteObject(h);
}

TEST_F(GraphicsBitmap, AssignMakesAnIndependentCopy) {
  TBitmap a, b;
  PaintCorners(a);
  a.SetTransparentColor(clBlue);
  b.Assign(&a);
  EXPECT_EQ(b.GetWidth(), 6);
  EXPECT_EQ(PixelOf(b, 5, 0), clLime);
  EXPECT_EQ(b.GetTransparentColor(), clBlue);
  a.GetCanvas()->SetPixel(5, 0, clBlack);
  EXPECT_EQ(PixelOf(b, 5, 0), clLime);
  b.Assign(nullptr);
  EXPECT_TRUE(b.GetEmpty());
}

TEST_F(GraphicsBitmap, MonochromeTurnsEverythingButWhiteBlack) {
  TBitmap bmp;
  FillBitmap(bmp, 4, 2, clWhite);
  bmp.GetCanvas()->SetPixel(1, 0, clYellow);
  bmp.GetCanvas()->SetPixel(2, 1, clBlack);
  bmp.SetMonochrome(true);
  EXPECT_EQ(bmp.GetPixelFormat(), pf1bit);
  EXPECT_EQ(PixelOf(bmp, 0, 0), clWhite);
  EXPECT_EQ(PixelOf(bmp, 1, 0), clBlack);
  EXPECT_EQ(PixelOf(bmp, 2, 1), clBlack);
  EXPECT_THROW(bmp.ScanLine(0), EInvalidGraphicOperation);
  EXPECT_EQ(bmp.GetTransparentColor(), clWhite);
  bmp.SetPixelFormat(pf32bit);
  EXPECT_FALSE(bmp.GetMonochrome());
  EXPECT_EQ(PixelOf(bmp, 1, 0), clBlack);
  EXPECT_EQ(bmp.ScanLine(0)[0], 0xFFFFFFu);
}

TEST_F(GraphicsBitmap, BmpFilesRoundTripAtEachDepth) {
  struct Case {
    TPixelFormat Format;
    uint16_t Bits;
  } cases[] = {{pf32bit, 32}, {pf24bit, 24}, {pf8bit, 8}, {pf4bit, 4}, {pf1bit, 1}};
  for (const Case& c : cases) {
    TBitmap src;
    PaintCorners(src);
    if (c.Format == pf1bit) {
      FillBitmap(src, 6, 4, clWhite);
      src.GetCanvas()->SetPixel(2, 1, clBlack);
    }
    src.SetPixelFormat(c.Format);
    TMemoryStream stream;
    src.SaveToStream(&stream);
    const uint8_t* bytes = static_cast<const uint8_t*>(stream.Memory());
    ASSERT_GT(stream.GetSize(), 54);
    EXPECT_EQ(bytes[28], c.Bits) << c.Format;
    stream.SetPosition(0);
    TBitmap dst;
    dst.LoadFromStream(&stream);
    EXPECT_EQ(dst.GetPixelFormat(), c.Format);
    EXPECT_EQ(dst.GetWidth(), 6);
    EXPECT_EQ(dst.GetHeight(), 4);
    for (Integer y = 0; y < 4; ++y)
      for (Integer x = 0; x < 6; ++x) EXPECT_EQ(PixelOf(dst, x, y), PixelOf(src, x, y)) << c.Format << " " << x << "," << y;
  }
}

TEST_F(GraphicsBitmap, LoadingStopsAtTheEndOfTheFile) {
  TBitmap src;
  PaintCorners(src);
  TMemoryStream stream;
  src.SaveToStream(&stream);
  Int64 fileSize = stream.GetSize();
  stream.WriteBuffer("tail", 4);
  stream.SetPosition(0);
  TBitmap dst;
  dst.LoadFromStream(&stream);
  EXPECT_EQ(stream.GetPosition(), fileSize);

  static_cast<uint8_t*>(stream.Memory())[2] = 20;  // a wrong file size in the header
  static_cast<uint8_t*>(stream.Memory())[3] = 0;
  stream.SetPosition(0);
  TBitmap again;
  again.LoadFromStream(&stream);
  EXPECT_EQ(PixelOf(again, 5, 0), clLime);
}

// A BMP header of 54 bytes for a 24-bit image of that size, without pixels.
String BmpHeader(uint32_t width, uint32_t height) {
  String h(54, '\0');
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) h[at + size_t(i)] = char(v >> (8 * i));
  };
  h[0] = 'B';
  h[1] = 'M';
  put32(2, 54);
  put32(10, 54);
  put32(14, 40);
  put32(18, width);
  put32(22, height);
  h[26] = 1;
  h[28] = 24;
  return h;
}

TEST_F(GraphicsBitmap, BadDataRaisesAndKeepsTheImage) {
  const String samples[] = {"", "BM", String(60, 'X'), BmpHeader(0x7FFFFFFF, 1), BmpHeader(4, 4)};
  for (const String& s : samples) {
    TBitmap bmp;
    PaintCorners(bmp);
    TStringStream stream(s);
    EXPECT_THROW(bmp.LoadFromStream(&stream), EInvalidGraphic) << s.size();
    EXPECT_EQ(stream.GetPosition(), 0);
    EXPECT_EQ(bmp.GetWidth(), 6);
    EXPECT_EQ(PixelOf(bmp, 0, 0), clRed);
  }
}

TEST_F(GraphicsBitmap, FilesLoadAndMissingFilesRaise) {
  String path = "/tmp/qj-graphics-bitmap-test.bmp";
  TBitmap src;
  PaintCorners(src);
  src.SaveToFile(path);
  TBitmap dst;
  dst.LoadFromFile(path);
  EXPECT_EQ(PixelOf(dst, 5, 3), clYellow);
  std::remove(path.c_str());
  EXPECT_THROW(dst.LoadFromFile(path), EFOpenError);
  EXPECT_EQ(dst.GetWidth(), 6);
}

HBITMAP MakeTealSquare() {
  HBITMAP bmp = CreateBitmap(3, 3, 1, 32, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT r{0, 0, 3, 3};
  HBRUSH teal = CreateSolidBrush(RGB(0, 128, 128));
  FillRect(dc, &r, teal);
  DeleteObject(teal);
  SelectObject(dc, old);
  DeleteDC(dc);
  return bmp;
}

TEST_F(GraphicsBitmap, ResourceBitmapsLoadByNameOrId) {
  RegisterBitmapResource("QJTESTTEAL", &MakeTealSquare);
  TBitmap bmp;
  bmp.LoadFromResourceName(nullptr, "QJTestTeal");
  EXPECT_EQ(bmp.GetWidth(), 3);
  EXPECT_EQ(PixelOf(bmp, 1, 1), clTeal);
  RegisterBitmapResource("QJTESTTEAL", nullptr);
  EXPECT_THROW(bmp.LoadFromResourceName(nullptr, "QJTestTeal"), EResNotFound);
  EXPECT_EQ(bmp.GetWidth(), 3);
  bmp.LoadFromResourceID(nullptr, OBM_CHECKBOXES);
  EXPECT_EQ(bmp.GetWidth(), 52);
  EXPECT_THROW(bmp.LoadFromResourceID(nullptr, 12345), EResNotFound);
}

}  // namespace
