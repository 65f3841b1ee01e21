#include <gtest/gtest.h>

#include <array>

#include "platform/os/Surface.h"
#include "tests/platform/os/GdiTestSupport.h"

namespace {

bool InRect(int x, int y, const RECT& r) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }

class GdiPixels : public ::testing::Test {
 protected:
  void SetUp() override { ResetSysColors(); }
  void ExpectOnly(const TPixelCanvas& c, const RECT& r, COLORREF inside, COLORREF outside) {
    for (int y = 0; y < c.Height(); ++y)
      for (int x = 0; x < c.Width(); ++x)
        ASSERT_EQ(c.At(x, y), InRect(x, y, r) ? inside : outside) << x << "," << y << "\n" << c.Picture(inside);
  }
};

TEST_F(GdiPixels, FillRectCoversExactlyTheRectangle) {
  TPixelCanvas c(16, 12);
  HBRUSH red = CreateSolidBrush(kRed);
  RECT r{2, 3, 7, 9};
  EXPECT_TRUE(FillRect(c.DC(), &r, red));
  ExpectOnly(c, r, kRed, kWhite);
  RECT empty{5, 5, 5, 9}, flipped{7, 9, 2, 3};
  c.Clear(kWhite);
  FillRect(c.DC(), &empty, red);
  FillRect(c.DC(), &flipped, red);
  EXPECT_EQ(c.Count(kRed), 0);
  DeleteObject(red);
  EXPECT_FALSE(FillRect(c.DC(), &r, red));
  EXPECT_FALSE(FillRect(nullptr, &r, GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(c.Count(kRed), 0);
}

TEST_F(GdiPixels, FillRectTakesSystemColourIndexes) {
  TPixelCanvas c(4, 4);
  RECT r{0, 0, 4, 4};
  FillRect(c.DC(), &r, reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNSHADOW + 1)));
  EXPECT_EQ(c.At(3, 3), GetSysColor(COLOR_BTNSHADOW));
}

TEST_F(GdiPixels, FrameRectIsOnePixelInside) {
  TPixelCanvas c(10, 10);
  RECT r{1, 2, 8, 7};
  FrameRect(c.DC(), &r, GetStockObject(BLACK_BRUSH));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      bool border = InRect(x, y, r) && (x == 1 || x == 7 || y == 2 || y == 6);
      ASSERT_EQ(c.At(x, y), border ? kBlack : kWhite) << x << "," << y;
    }
}

TEST_F(GdiPixels, OriginsMoveDrawing) {
  TPixelCanvas c(20, 20);
  SetWindowOrgEx(c.DC(), 5, 0, nullptr);
  SetViewportOrgEx(c.DC(), 0, 3, nullptr);
  OffsetWindowOrgEx(c.DC(), 1, 0, nullptr);
  POINT org;
  GetWindowOrgEx(c.DC(), &org);
  EXPECT_EQ(org, Point(6, 0));
  RECT r{10, 0, 12, 2};
  FillRect(c.DC(), &r, GetStockObject(BLACK_BRUSH));
  ExpectOnly(c, {4, 3, 6, 5}, kBlack, kWhite);
  POINT p{10, 0};
  LPtoDP(c.DC(), &p, 1);
  EXPECT_EQ(p, Point(4, 3));
  DPtoLP(c.DC(), &p, 1);
  EXPECT_EQ(p, Point(10, 0));
}

TEST_F(GdiPixels, LineToExcludesTheLastPixel) {
  struct Case {
    POINT From, To;
    int Pixels;
  };
  const Case cases[] = {
      {{1, 1}, {6, 1}, 5}, {{1, 1}, {1, 6}, 5}, {{1, 1}, {6, 6}, 5}, {{6, 6}, {1, 1}, 5}, {{2, 2}, {2, 2}, 0}, {{0, 0}, {9, 3}, 9},
  };
  for (const Case& k : cases) {
    TPixelCanvas c(12, 12);
    MoveToEx(c.DC(), k.From.X, k.From.Y, nullptr);
    LineTo(c.DC(), k.To.X, k.To.Y);
    EXPECT_EQ(c.Count(kBlack), k.Pixels) << c.Picture(kBlack);
    if (k.Pixels) {
      EXPECT_EQ(c.At(k.From.X, k.From.Y), kBlack);
      EXPECT_EQ(c.At(k.To.X, k.To.Y), kWhite);
    }
    POINT cur;
    GetCurrentPositionEx(c.DC(), &cur);
    EXPECT_EQ(cur, k.To);
  }
}

TEST_F(GdiPixels, PolylineJointsAreDrawnOnce) {
  TPixelCanvas c(10, 10);
  SetROP2(c.DC(), R2_XORPEN);
  SelectObject(c.DC(), GetStockObject(WHITE_PEN));
  POINT pts[] = {{1, 1}, {6, 1}, {6, 6}, {1, 6}, {1, 1}};
  Polyline(c.DC(), pts, 5);
  // XOR of white on white gives black; a pixel drawn twice would be white again.
  EXPECT_EQ(c.Count(kBlack), 20) << c.Picture(kBlack);
  Polyline(c.DC(), pts, 5);
  EXPECT_EQ(c.Count(kBlack), 0);
}

TEST_F(GdiPixels, NullAndStyledPens) {
  TPixelCanvas c(40, 3);
  SelectObject(c.DC(), GetStockObject(NULL_PEN));
  MoveToEx(c.DC(), 0, 0, nullptr);
  LineTo(c.DC(), 30, 0);
  EXPECT_EQ(c.Count(kBlack), 0);
  HPEN dot = CreatePen(PS_DOT, 1, kBlack);
  SelectObject(c.DC(), dot);
  SetBkMode(c.DC(), TRANSPARENT);
  MoveToEx(c.DC(), 0, 1, nullptr);
  LineTo(c.DC(), 12, 1);
  EXPECT_EQ(c.Count(kBlack), 6);
  EXPECT_EQ(c.At(0, 1), kBlack);
  EXPECT_EQ(c.At(3, 1), kWhite);
  SetBkMode(c.DC(), OPAQUE);
  SetBkColor(c.DC(), kRed);
  MoveToEx(c.DC(), 0, 2, nullptr);
  LineTo(c.DC(), 12, 2);
  EXPECT_EQ(c.At(3, 2), kRed);
  SelectObject(c.DC(), GetStockObject(BLACK_PEN));
  DeleteObject(dot);
  HPEN wide = CreatePen(PS_SOLID, 3, kBlue);
  TPixelCanvas w(10, 10);
  SelectObject(w.DC(), wide);
  MoveToEx(w.DC(), 2, 5, nullptr);
  LineTo(w.DC(), 7, 5);
  EXPECT_EQ(w.At(4, 4), kBlue);
  EXPECT_EQ(w.At(4, 6), kBlue);
  EXPECT_EQ(w.At(4, 7), kWhite);
  SelectObject(w.DC(), GetStockObject(BLACK_PEN));
  DeleteObject(wide);
}

TEST_F(GdiPixels, Rop2Codes) {
  struct Case {
    int Rop;
    COLORREF Pen, Dest, Result;
  };
  const Case cases[] = {
      {R2_COPYPEN, kRed, kBlue, kRed},
      {R2_XORPEN, kRed, kBlue, RGB(255, 0, 255)},
      {R2_NOT, kRed, kBlue, RGB(255, 255, 0)},
      {R2_NOTXORPEN, kWhite, kBlue, kBlue},
      {R2_MASKPEN, kRed, RGB(255, 255, 0), kRed},
      {R2_MERGEPEN, kRed, kBlue, RGB(255, 0, 255)},
      {R2_BLACK, kRed, kBlue, kBlack},
      {R2_WHITE, kRed, kBlue, kWhite},
      {R2_NOP, kRed, kBlue, kBlue},
      {R2_NOTCOPYPEN, kRed, kBlue, RGB(0, 255, 255)},
  };
  for (const Case& k : cases) {
    TPixelCanvas c(4, 1, k.Dest);
    HPEN pen = CreatePen(PS_SOLID, 1, k.Pen);
    SelectObject(c.DC(), pen);
    EXPECT_EQ(SetROP2(c.DC(), k.Rop), R2_COPYPEN);
    MoveToEx(c.DC(), 0, 0, nullptr);
    LineTo(c.DC(), 2, 0);
    EXPECT_EQ(c.At(1, 0), k.Result) << k.Rop;
    SelectObject(c.DC(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
  }
  TPixelCanvas c(1, 1);
  EXPECT_EQ(SetROP2(c.DC(), 0), 0);
  EXPECT_EQ(GetROP2(c.DC()), R2_COPYPEN);
}

TEST_F(GdiPixels, FocusRectIsDottedXorAndUndoneByASecondDraw) {
  TPixelCanvas c(12, 10, kRed);
  SetTextColor(c.DC(), kWhite);
  SetBkColor(c.DC(), kBlack);
  auto before = c.Snapshot();
  RECT r{1, 1, 11, 9};
  DrawFocusRect(c.DC(), &r);
  int changed = 0;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 12; ++x) {
      bool border = InRect(x, y, r) && (x == 1 || x == 10 || y == 1 || y == 8);
      if (c.At(x, y) != kRed) {
        ++changed;
        EXPECT_TRUE(border) << x << "," << y;
        EXPECT_EQ(c.At(x, y), RGB(0, 255, 255));
        EXPECT_EQ((x + y) % 2, 0) << x << "," << y;
      }
    }
  EXPECT_EQ(changed, 16);  // half of the 32 frame pixels
  DrawFocusRect(c.DC(), &r);
  EXPECT_EQ(c.Snapshot(), before);
}

TEST_F(GdiPixels, InvertingOperations) {
  TPixelCanvas c(8, 8, kRed);
  RECT r{0, 0, 4, 8};
  InvertRect(c.DC(), &r);
  EXPECT_EQ(c.At(0, 0), RGB(0, 255, 255));
  EXPECT_EQ(c.At(4, 0), kRed);
  PatBlt(c.DC(), 0, 0, 8, 4, DSTINVERT);
  EXPECT_EQ(c.At(0, 0), kRed);
  EXPECT_EQ(c.At(7, 3), RGB(0, 255, 255));
  // Negative sizes are measured leftwards and upwards.
  PatBlt(c.DC(), 8, 8, -8, -4, DSTINVERT);
  EXPECT_EQ(c.At(7, 7), RGB(0, 255, 255));
  BitBlt(c.DC(), 0, 0, 8, 8, nullptr, 0, 0, DSTINVERT);
  EXPECT_EQ(c.At(7, 7), RGB(255, 0, 0));
  EXPECT_FALSE(PatBlt(c.DC(), 0, 0, 1, 1, SRCCOPY));
}

TEST_F(GdiPixels, PatternBrushIsAlignedToTheDeviceOrigin) {
  // 8x8 monochrome stripes: column 0 of every 8 is 0 (text colour), the rest 1 (background).
  uint8_t bits[16];
  for (int row = 0; row < 8; ++row) bits[row * 2] = 0x7F, bits[row * 2 + 1] = 0;
  HBITMAP pattern = CreateBitmap(8, 8, 1, 1, bits);
  HBRUSH brush = CreatePatternBrush(pattern);
  TPixelCanvas c(24, 4);
  SetTextColor(c.DC(), kBlue);
  SetBkColor(c.DC(), kWhite);
  SetWindowOrgEx(c.DC(), 3, 0, nullptr);
  RECT a{3, 0, 27, 2}, b{13, 2, 27, 4};
  FillRect(c.DC(), &a, brush);
  FillRect(c.DC(), &b, brush);
  for (int y = 0; y < 4; ++y)
    for (int x = y < 2 ? 0 : 10; x < 24; ++x) ASSERT_EQ(c.At(x, y), x % 8 == 0 ? kBlue : kWhite) << x << "," << y;
  SetBrushOrgEx(c.DC(), 2, 0, nullptr);
  RECT all{3, 0, 27, 4};
  FillRect(c.DC(), &all, brush);
  EXPECT_EQ(c.At(2, 0), kBlue);
  EXPECT_EQ(c.At(10, 0), kBlue);
  EXPECT_EQ(c.At(0, 0), kWhite);
  DeleteObject(brush);
  DeleteObject(pattern);
}

TEST_F(GdiPixels, HatchBrushLeavesBackgroundInTransparentMode) {
  HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, kBlack);
  TPixelCanvas c(16, 16, kRed);
  SetBkMode(c.DC(), TRANSPARENT);
  RECT r{0, 0, 16, 16};
  FillRect(c.DC(), &r, hatch);
  EXPECT_EQ(c.Count(kBlack) + c.Count(kRed), 256);
  EXPECT_EQ(c.Count(kBlack), 4 * 16);  // two crossing diagonals of 8 pixels per tile
  SetBkMode(c.DC(), OPAQUE);
  FillRect(c.DC(), &r, hatch);
  EXPECT_EQ(c.Count(kRed), 0);
  DeleteObject(hatch);
  EXPECT_EQ(CreateHatchBrush(42, kBlack), nullptr);
}

TEST_F(GdiPixels, ComplexClipRegions) {
  TPixelCanvas c(20, 20);
  HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(5, 5, 15, 15);
  CombineRgn(a, a, b, RGN_XOR);
  EXPECT_EQ(SelectClipRgn(c.DC(), a), COMPLEXREGION);
  SetWindowOrgEx(c.DC(), 2, 2, nullptr);  // the clip stays in device coordinates
  RECT all{-10, -10, 40, 40};
  FillRect(c.DC(), &all, GetStockObject(BLACK_BRUSH));
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(c.At(x, y) == kBlack, bool(PtInRegion(a, x, y))) << x << "," << y;
  RECT box;
  EXPECT_EQ(GetClipBox(c.DC(), &box), COMPLEXREGION);
  EXPECT_EQ(box, Rect(2, 2, 17, 17));  // logical = device + window origin
  RECT inHole{8, 8, 9, 9}, onRegion{2, 2, 3, 3};
  EXPECT_FALSE(RectVisible(c.DC(), &inHole));
  EXPECT_TRUE(RectVisible(c.DC(), &onRegion));
  EXPECT_FALSE(PtVisible(c.DC(), 8, 8));
  EXPECT_TRUE(PtVisible(c.DC(), 2, 2));
  HRGN got = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(c.DC(), got), 1);
  EXPECT_TRUE(EqualRgn(got, a));
  SelectClipRgn(c.DC(), nullptr);
  EXPECT_EQ(GetClipRgn(c.DC(), got), 0);
  for (HRGN h : {a, b, got}) DeleteObject(h);
}

TEST_F(GdiPixels, ClipRectanglesAndSaveRestore) {
  TPixelCanvas c(20, 10);
  int level = SaveDC(c.DC());
  SetViewportOrgEx(c.DC(), 1, 0, nullptr);
  IntersectClipRect(c.DC(), 0, 0, 10, 10);
  EXPECT_EQ(ExcludeClipRect(c.DC(), 3, 0, 5, 10), COMPLEXREGION);
  RECT all{0, 0, 20, 10};
  FillRect(c.DC(), &all, GetStockObject(BLACK_BRUSH));
  for (int x = 0; x < 20; ++x) EXPECT_EQ(c.At(x, 0) == kBlack, (x >= 1 && x < 4) || (x >= 6 && x < 11)) << x;
  EXPECT_TRUE(RestoreDC(c.DC(), level));
  c.Clear(kWhite);
  FillRect(c.DC(), &all, GetStockObject(BLACK_BRUSH));
  EXPECT_EQ(c.Count(kBlack), 200);
  EXPECT_FALSE(RestoreDC(c.DC(), 1));
  EXPECT_FALSE(RestoreDC(c.DC(), -1));
  // Relative restore.
  SaveDC(c.DC());
  SetTextColor(c.DC(), kRed);
  SaveDC(c.DC());
  SetTextColor(c.DC(), kBlue);
  EXPECT_TRUE(RestoreDC(c.DC(), -2));
  EXPECT_EQ(GetTextColor(c.DC()), kBlack);
}

TEST_F(GdiPixels, ExtSelectClipRgnModes) {
  struct Case {
    int Mode;
    int Result;
    TRect Box;
  };
  // Current clip 0..10 x 0..10, combined with 5..15 x 0..10.
  const Case cases[] = {
      {RGN_AND, SIMPLEREGION, {5, 0, 10, 10}},  {RGN_OR, SIMPLEREGION, {0, 0, 15, 10}},
      {RGN_XOR, COMPLEXREGION, {0, 0, 15, 10}}, {RGN_DIFF, SIMPLEREGION, {0, 0, 5, 10}},
      {RGN_COPY, SIMPLEREGION, {5, 0, 15, 10}},
  };
  TPixelCanvas c(20, 20);
  HRGN base = CreateRectRgn(0, 0, 10, 10), other = CreateRectRgn(5, 0, 15, 10);
  for (const Case& k : cases) {
    SelectClipRgn(c.DC(), base);
    EXPECT_EQ(ExtSelectClipRgn(c.DC(), other, k.Mode), k.Result) << k.Mode;
    RECT box;
    GetClipBox(c.DC(), &box);
    EXPECT_EQ(box, k.Box) << k.Mode;
  }
  EXPECT_EQ(ExtSelectClipRgn(c.DC(), nullptr, RGN_AND), ERROR);
  EXPECT_EQ(ExtSelectClipRgn(c.DC(), nullptr, RGN_COPY), SIMPLEREGION);
  RECT box;
  GetClipBox(c.DC(), &box);
  EXPECT_EQ(box, Rect(0, 0, 20, 20));
  SelectClipRgn(c.DC(), base);
  EXPECT_EQ(OffsetClipRgn(c.DC(), 3, 4), SIMPLEREGION);
  GetClipBox(c.DC(), &box);
  EXPECT_EQ(box, Rect(3, 4, 13, 14));
  // Selecting a region copies it: changing the region later does not move the clip.
  OffsetRgn(base, 50, 50);
  GetClipBox(c.DC(), &box);
  EXPECT_EQ(box, Rect(3, 4, 13, 14));
  DeleteObject(base);
  DeleteObject(other);
}

TEST_F(GdiPixels, BitBltRasterOperations) {
  struct Case {
    DWORD Rop;
    COLORREF Src, Dest, Result;
  };
  const COLORREF yellow = RGB(255, 255, 0);
  const Case cases[] = {
      {SRCCOPY, kRed, kBlue, kRed},
      {SRCPAINT, kRed, kBlue, RGB(255, 0, 255)},
      {SRCAND, kRed, yellow, kRed},
      {SRCINVERT, kRed, yellow, RGB(0, 255, 0)},
      {NOTSRCCOPY, kRed, kBlue, RGB(0, 255, 255)},
      {BLACKNESS, kRed, kBlue, kBlack},
      {WHITENESS, kRed, kBlue, kWhite},
      {MERGECOPY, kRed, kBlue, kRed},  // pattern (white brush) AND source
      {PATCOPY, kRed, kBlue, kWhite},
      {PATINVERT, kRed, kBlue, yellow},
  };
  for (const Case& k : cases) {
    TPixelCanvas src(4, 4, k.Src), dst(4, 4, k.Dest);
    EXPECT_TRUE(BitBlt(dst.DC(), 0, 0, 4, 4, src.DC(), 0, 0, k.Rop));
    EXPECT_EQ(dst.At(2, 2), k.Result) << std::hex << k.Rop;
  }
}

TEST_F(GdiPixels, BitBltClipsToBothSurfacesAndOverlapsSafely) {
  TPixelCanvas src(4, 4, kRed), dst(8, 8);
  BitBlt(dst.DC(), 6, 6, 4, 4, src.DC(), 0, 0, SRCCOPY);
  EXPECT_EQ(dst.Count(kRed), 4);
  dst.Clear(kWhite);
  BitBlt(dst.DC(), 0, 0, 4, 4, src.DC(), 2, 2, SRCCOPY);
  EXPECT_EQ(dst.Count(kRed), 4);
  // Scrolling inside one surface reads the original pixels.
  TPixelCanvas c(6, 1);
  for (int x = 0; x < 6; ++x) SetPixel(c.DC(), x, 0, RGB(x, 0, 0));
  BitBlt(c.DC(), 1, 0, 5, 1, c.DC(), 0, 0, SRCCOPY);
  for (int x = 1; x < 6; ++x) EXPECT_EQ(c.At(x, 0), RGB(x - 1, 0, 0));
  TPixelCanvas v(2, 6);
  for (int y = 0; y < 6; ++y) SetPixel(v.DC(), 0, y, RGB(0, y, 0));
  BitBlt(v.DC(), 0, 2, 2, 4, v.DC(), 0, 0, SRCCOPY);  // down
  for (int y = 2; y < 6; ++y) EXPECT_EQ(v.At(0, y), RGB(0, y - 2, 0));
  BitBlt(v.DC(), 0, 0, 2, 4, v.DC(), 0, 1, SRCCOPY);  // up
  const int greens[] = {1, 0, 1, 2};  // rows 1-4 after the first copy: 1, 0, 1, 2
  for (int y = 0; y < 4; ++y) EXPECT_EQ(v.At(0, y), RGB(0, greens[y], 0)) << y;
  EXPECT_FALSE(BitBlt(dst.DC(), 0, 0, 4, 4, nullptr, 0, 0, SRCCOPY));
}

TEST_F(GdiPixels, MonochromeConversions) {
  // Colour to monochrome: the source background colour becomes white, the rest black.
  TPixelCanvas colour(4, 1, kRed);
  SetPixel(colour.DC(), 0, 0, kBlue);
  SetBkColor(colour.DC(), kRed);
  HDC mono = CreateCompatibleDC(nullptr);
  HBITMAP mask = CreateBitmap(4, 1, 1, 1, nullptr);
  SelectObject(mono, mask);
  BitBlt(mono, 0, 0, 4, 1, colour.DC(), 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(mono, 0, 0), kBlack);
  EXPECT_EQ(GetPixel(mono, 1, 0), kWhite);
  // Monochrome to colour: 0 takes the text colour, 1 the background colour of the target.
  TPixelCanvas out(4, 1);
  SetTextColor(out.DC(), kBlue);
  SetBkColor(out.DC(), RGB(0, 255, 0));
  BitBlt(out.DC(), 0, 0, 4, 1, mono, 0, 0, SRCCOPY);
  EXPECT_EQ(out.At(0, 0), kBlue);
  EXPECT_EQ(out.At(1, 0), RGB(0, 255, 0));
  // 0x00E20746: where the source is 1 take the pattern, elsewhere keep the destination.
  TPixelCanvas t(4, 1, kRed);
  SetTextColor(t.DC(), kBlack);
  SetBkColor(t.DC(), kWhite);
  HBRUSH blue = CreateSolidBrush(kBlue);
  SelectObject(t.DC(), blue);
  BitBlt(t.DC(), 0, 0, 4, 1, mono, 0, 0, 0x00E20746);
  EXPECT_EQ(t.At(0, 0), kRed);
  EXPECT_EQ(t.At(1, 0), kBlue);
  SelectObject(t.DC(), GetStockObject(WHITE_BRUSH));
  DeleteObject(blue);
  // A bitmap selected in a DC cannot be deleted or selected elsewhere.
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(other, mask), nullptr);
  EXPECT_FALSE(DeleteObject(mask));
  DeleteDC(mono);
  EXPECT_NE(SelectObject(other, mask), nullptr);
  DeleteDC(other);
  EXPECT_TRUE(DeleteObject(mask));
}

TEST_F(GdiPixels, StretchAndMirror) {
  TPixelCanvas src(2, 1), dst(4, 2);
  SetPixel(src.DC(), 0, 0, kRed);
  SetPixel(src.DC(), 1, 0, kBlue);
  StretchBlt(dst.DC(), 0, 0, 4, 2, src.DC(), 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(dst.At(1, 1), kRed);
  EXPECT_EQ(dst.At(2, 0), kBlue);
  // A negative width runs leftwards from x and mirrors the copy.
  StretchBlt(dst.DC(), 4, 0, -4, 1, src.DC(), 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(dst.At(0, 0), kBlue);
  EXPECT_EQ(dst.At(1, 0), kBlue);
  EXPECT_EQ(dst.At(2, 0), kRed);
  EXPECT_EQ(dst.At(3, 0), kRed);
}

TEST_F(GdiPixels, MaskBltChoosesOperationByMask) {
  uint8_t bits[2] = {0xA0, 0};  // 1010 in the first four pixels
  HBITMAP mask = CreateBitmap(4, 1, 1, 1, bits);
  TPixelCanvas src(4, 1, kRed), dst(4, 1, kBlue);
  MaskBlt(dst.DC(), 0, 0, 4, 1, src.DC(), 0, 0, mask, 0, 0, MAKEROP4(SRCCOPY, 0x00AA0029));
  EXPECT_EQ(dst.At(0, 0), kRed);
  EXPECT_EQ(dst.At(1, 0), kBlue);
  EXPECT_EQ(dst.At(2, 0), kRed);
  EXPECT_EQ(dst.At(3, 0), kBlue);
  DeleteObject(mask);
}

TEST_F(GdiPixels, ShapesWithPenAndBrush) {
  TPixelCanvas c(10, 10);
  HBRUSH red = CreateSolidBrush(kRed);
  SelectObject(c.DC(), red);
  Rectangle(c.DC(), 1, 1, 6, 5);
  EXPECT_EQ(c.At(1, 1), kBlack);
  EXPECT_EQ(c.At(5, 4), kBlack);
  EXPECT_EQ(c.At(6, 5), kWhite);
  EXPECT_EQ(c.At(2, 2), kRed);
  EXPECT_EQ(c.Count(kBlack), 14);
  c.Clear(kWhite);
  SelectObject(c.DC(), GetStockObject(NULL_PEN));
  Rectangle(c.DC(), 1, 1, 6, 5);  // without a pen the fill is one pixel smaller
  EXPECT_EQ(c.InkBox(kWhite), Rect(1, 1, 5, 4));
  c.Clear(kWhite);
  Ellipse(c.DC(), 0, 0, 10, 10);
  EXPECT_EQ(c.At(0, 0), kWhite);
  EXPECT_EQ(c.At(5, 5), kRed);
  EXPECT_EQ(c.InkBox(kWhite), Rect(0, 0, 10, 10));
  c.Clear(kWhite);
  SelectObject(c.DC(), GetStockObject(BLACK_PEN));
  POINT tri[] = {{0, 0}, {9, 0}, {0, 9}};
  Polygon(c.DC(), tri, 3);
  EXPECT_EQ(c.At(0, 0), kBlack);
  EXPECT_EQ(c.At(2, 2), kRed);
  EXPECT_EQ(c.At(8, 8), kWhite);
  SelectObject(c.DC(), GetStockObject(WHITE_BRUSH));
  DeleteObject(red);
}

// A triangle filled and outlined in one colour (the painters' arrow glyphs) is solid in every
// direction: the fill meets the outline along the slanted edges.
TEST_F(GdiPixels, PolygonFillMeetsItsOutline) {
  struct TArrow {
    const char* Direction;
    std::array<POINT, 3> Points;
    const char* Picture;
  };
  const TArrow arrows[] = {
      {"up", {{{3, 0}, {0, 3}, {6, 3}}}, "...#...\n..###..\n.#####.\n#######\n"},
      {"down", {{{0, 0}, {6, 0}, {3, 3}}}, "#######\n.#####.\n..###..\n...#...\n"},
      {"left", {{{0, 3}, {3, 0}, {3, 6}}}, "...#\n..##\n.###\n####\n.###\n..##\n...#\n"},
      {"right", {{{0, 0}, {3, 3}, {0, 6}}}, "#...\n##..\n###.\n####\n###.\n##..\n#...\n"},
  };
  HBRUSH black = CreateSolidBrush(kBlack);
  for (const TArrow& a : arrows) {
    const bool vertical = a.Direction[0] == 'u' || a.Direction[0] == 'd';
    TPixelCanvas c(vertical ? 7 : 4, vertical ? 4 : 7);
    HGDIOBJ old = SelectObject(c.DC(), black);
    SelectObject(c.DC(), GetStockObject(BLACK_PEN));
    Polygon(c.DC(), a.Points.data(), 3);
    EXPECT_EQ(c.Picture(kBlack), a.Picture) << a.Direction;
    SelectObject(c.DC(), old);
  }
  DeleteObject(black);
}

TEST_F(GdiPixels, PixelsRespectClip) {
  TPixelCanvas c(4, 4);
  EXPECT_EQ(SetPixel(c.DC(), 1, 1, kRed), kRed);
  EXPECT_EQ(GetPixel(c.DC(), 1, 1), kRed);
  EXPECT_EQ(GetPixel(c.DC(), 9, 9), CLR_INVALID);
  IntersectClipRect(c.DC(), 2, 2, 4, 4);
  EXPECT_EQ(SetPixel(c.DC(), 1, 1, kBlue), CLR_INVALID);
  EXPECT_EQ(c.At(1, 1), kRed);
}

TEST_F(GdiPixels, RegionsDrawn) {
  TPixelCanvas c(12, 12);
  HRGN r = CreateRectRgn(2, 2, 10, 10);
  FrameRgn(c.DC(), r, GetStockObject(BLACK_BRUSH), 2, 1);
  EXPECT_EQ(c.At(3, 5), kBlack);
  EXPECT_EQ(c.At(4, 5), kWhite);
  EXPECT_EQ(c.At(5, 2), kBlack);
  EXPECT_EQ(c.At(5, 3), kWhite);
  FillRgn(c.DC(), r, GetStockObject(BLACK_BRUSH));
  EXPECT_EQ(c.Count(kBlack), 64);
  InvertRgn(c.DC(), r);
  EXPECT_EQ(c.Count(kBlack), 0);
  DeleteObject(r);
}

TEST_F(GdiPixels, SurfaceDCsUseOriginAndSystemClip) {
  auto surface = std::make_shared<TSurface>(20, 20, 0xFFFFFF);
  HDC dc = CreateSurfaceDC(surface, {5, 5}, TRegionData({5, 5, 10, 10}));
  RECT r{0, 0, 100, 100};
  FillRect(dc, &r, GetStockObject(BLACK_BRUSH));
  int black = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      bool on = surface->Row(y)[x] == 0;
      black += on;
      EXPECT_EQ(on, x >= 5 && x < 10 && y >= 5 && y < 10);
    }
  EXPECT_EQ(black, 25);
  RECT box;
  GetClipBox(dc, &box);
  EXPECT_EQ(box, Rect(0, 0, 5, 5));
  SetSurfaceDCGeometry(dc, {0, 0}, TRegionData({0, 0, 2, 2}));
  GetClipBox(dc, &box);
  EXPECT_EQ(box, Rect(0, 0, 2, 2));
  EXPECT_EQ(GetDCObjectType(dc), OBJ_DC);
  DeleteSurfaceDC(dc);
  EXPECT_EQ(GetDCObjectType(dc), 0u);
  EXPECT_FALSE(FillRect(dc, &r, GetStockObject(BLACK_BRUSH)));
}

TEST_F(GdiPixels, DrawEdgeClassicColoursAndAdjust) {
  TPixelCanvas c(6, 6);
  RECT r{0, 0, 6, 6};
  DrawEdge(c.DC(), &r, EDGE_RAISED, BF_RECT | BF_ADJUST | BF_MIDDLE);
  EXPECT_EQ(r, Rect(2, 2, 4, 4));
  EXPECT_EQ(c.At(0, 0), GetSysColor(COLOR_3DLIGHT));
  EXPECT_EQ(c.At(5, 0), GetSysColor(COLOR_3DDKSHADOW));  // top-right corner belongs to the dark side
  EXPECT_EQ(c.At(0, 5), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(c.At(1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(c.At(4, 4), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(c.At(2, 2), GetSysColor(COLOR_BTNFACE));
  c.Clear(kRed);
  RECT s{0, 0, 6, 6};
  DrawEdge(c.DC(), &s, BDR_SUNKENOUTER, BF_TOP | BF_LEFT | BF_ADJUST);
  EXPECT_EQ(s, Rect(1, 1, 6, 6));
  EXPECT_EQ(c.At(5, 0), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(c.At(5, 5), kRed);
}

TEST_F(GdiPixels, DrawEdgeVariantsTable) {
  struct Case {
    UINT Edge, Flags;
    int OuterTopLeft, OuterBottomRight, InnerTopLeft;
  };
  const Case cases[] = {
      {EDGE_SUNKEN, BF_RECT, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW},
      {EDGE_ETCHED, BF_RECT, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT},
      {EDGE_BUMP, BF_RECT, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_3DDKSHADOW},
      {EDGE_RAISED, BF_RECT | BF_SOFT, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
      {EDGE_RAISED, BF_RECT | BF_FLAT, COLOR_BTNSHADOW, COLOR_BTNSHADOW, COLOR_BTNFACE},
      {EDGE_SUNKEN, BF_RECT | BF_MONO, COLOR_WINDOWFRAME, COLOR_WINDOWFRAME, COLOR_WINDOW},
  };
  SetSysColors(1, std::array<int, 1>{COLOR_3DLIGHT}.data(), std::array<COLORREF, 1>{RGB(223, 223, 223)}.data());
  for (const Case& k : cases) {
    TPixelCanvas c(8, 8, kRed);
    RECT r{0, 0, 8, 8};
    DrawEdge(c.DC(), &r, k.Edge, k.Flags);
    EXPECT_EQ(c.At(0, 3), GetSysColor(k.OuterTopLeft)) << k.Edge << " " << k.Flags;
    EXPECT_EQ(c.At(7, 3), GetSysColor(k.OuterBottomRight)) << k.Edge << " " << k.Flags;
    EXPECT_EQ(c.At(1, 3), GetSysColor(k.InnerTopLeft)) << k.Edge << " " << k.Flags;
    EXPECT_EQ(c.At(3, 3), kRed);  // no BF_MIDDLE
  }
  // Only the sides asked for, and BF_ADJUST shrinks only those.
  TPixelCanvas c(8, 8, kRed);
  RECT r{0, 0, 8, 8};
  DrawEdge(c.DC(), &r, EDGE_SUNKEN, BF_BOTTOM | BF_ADJUST);
  EXPECT_EQ(r, Rect(0, 0, 8, 6));
  EXPECT_EQ(c.At(3, 7), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(c.At(3, 6), GetSysColor(COLOR_3DLIGHT));
  EXPECT_EQ(c.At(0, 3), kRed);
  RECT degenerate{5, 5, 5, 9};
  EXPECT_TRUE(DrawEdge(c.DC(), &degenerate, EDGE_RAISED, BF_RECT));
}

TEST_F(GdiPixels, FrameControls) {
  TPixelCanvas c(13, 13);
  RECT r{0, 0, 13, 13};
  EXPECT_TRUE(DrawFrameControl(c.DC(), &r, DFC_BUTTON, DFCS_BUTTONCHECK));
  EXPECT_EQ(c.At(6, 6), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(c.At(0, 0), GetSysColor(COLOR_BTNSHADOW));
  auto unchecked = c.Snapshot();
  DrawFrameControl(c.DC(), &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  EXPECT_NE(c.Snapshot(), unchecked);
  EXPECT_GT(c.Count(GetSysColor(COLOR_WINDOWTEXT)), 10);
  DrawFrameControl(c.DC(), &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
  EXPECT_EQ(c.At(0, 0), GetSysColor(COLOR_BTNSHADOW));
  DrawFrameControl(c.DC(), &r, DFC_BUTTON, DFCS_BUTTONPUSH);
  EXPECT_EQ(c.At(0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
  DrawFrameControl(c.DC(), &r, DFC_BUTTON, DFCS_BUTTONRADIOMASK);
  EXPECT_EQ(c.At(0, 0), kWhite);
  EXPECT_EQ(c.At(6, 6), kBlack);
  DrawFrameControl(c.DC(), &r, DFC_SCROLL, DFCS_SCROLLDOWN);
  EXPECT_GT(c.Count(GetSysColor(COLOR_BTNTEXT)), 5);
  EXPECT_TRUE(DrawFrameControl(c.DC(), &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP));
  EXPECT_TRUE(DrawFrameControl(c.DC(), &r, DFC_CAPTION, DFCS_CAPTIONCLOSE));
  EXPECT_TRUE(DrawFrameControl(c.DC(), &r, DFC_MENU, DFCS_MENUCHECK));
  EXPECT_FALSE(DrawFrameControl(c.DC(), &r, 99, 0));
  RECT empty{3, 3, 3, 3};
  EXPECT_FALSE(DrawFrameControl(c.DC(), &empty, DFC_BUTTON, 0));
}

TEST_F(GdiPixels, PathsFillStrokeAndClip) {
  TPixelCanvas c(12, 12);
  BeginPath(c.DC());
  Rectangle(c.DC(), 2, 2, 8, 8);
  EXPECT_EQ(c.Count(kBlack), 0);  // recorded, not drawn
  EndPath(c.DC());
  HBRUSH red = CreateSolidBrush(kRed);
  SelectObject(c.DC(), red);
  EXPECT_TRUE(FillPath(c.DC()));
  EXPECT_EQ(c.InkBox(kWhite), Rect(2, 2, 8, 8));
  EXPECT_FALSE(FillPath(c.DC()));  // the path is used up
  c.Clear(kWhite);
  BeginPath(c.DC());
  MoveToEx(c.DC(), 0, 0, nullptr);
  LineTo(c.DC(), 6, 0);
  LineTo(c.DC(), 6, 6);
  EndPath(c.DC());
  StrokePath(c.DC());
  EXPECT_EQ(c.Count(kBlack), 12);
  c.Clear(kWhite);
  BeginPath(c.DC());
  Rectangle(c.DC(), 0, 0, 4, 4);
  EndPath(c.DC());
  EXPECT_TRUE(SelectClipPath(c.DC(), RGN_COPY));
  RECT all{0, 0, 12, 12};
  FillRect(c.DC(), &all, red);
  EXPECT_EQ(c.InkBox(kWhite), Rect(0, 0, 4, 4));
  SelectObject(c.DC(), GetStockObject(WHITE_BRUSH));
  DeleteObject(red);
}

}  // namespace
