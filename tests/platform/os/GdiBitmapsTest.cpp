#include <gtest/gtest.h>

#include "platform/os/Theme.h"
#include "platform/os/Windows.h"
#include "tests/platform/os/GdiTestSupport.h"

namespace {

constexpr COLORREF kTeal = RGB(0, 128, 128);

// A strip of two 4x4 images: a red square on teal, and a blue square on teal, each with its
// top-left 2x2 corner coloured and the rest the key colour.
HBITMAP TwoImageStrip() {
  HBITMAP bmp = CreateBitmap(8, 4, 1, 32, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT all{0, 0, 8, 4}, a{0, 0, 2, 2}, b{4, 0, 6, 2};
  HBRUSH teal = CreateSolidBrush(kTeal), red = CreateSolidBrush(kRed), blue = CreateSolidBrush(kBlue);
  FillRect(dc, &all, teal);
  FillRect(dc, &a, red);
  FillRect(dc, &b, blue);
  SelectObject(dc, old);
  DeleteDC(dc);
  for (HBRUSH h : {teal, red, blue}) DeleteObject(h);
  return bmp;
}

class GdiImageLists : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSysColors();
    FList = ImageList_Create(4, 4, ILC_COLOR32 | ILC_MASK, 0, 4);
    FStrip = TwoImageStrip();
  }
  void TearDown() override {
    ImageList_Destroy(FList);
    DeleteObject(FStrip);
  }
  HIMAGELIST FList = nullptr;
  HBITMAP FStrip = nullptr;
};

TEST_F(GdiImageLists, AddMaskedCutsTheStripAndMasksTheKeyColour) {
  EXPECT_EQ(ImageList_AddMasked(FList, FStrip, kTeal), 0);
  EXPECT_EQ(ImageList_GetImageCount(FList), 2);
  TPixelCanvas c(8, 4, kWhite);
  ImageList_Draw(FList, 1, c.DC(), 2, 0, ILD_TRANSPARENT);
  EXPECT_EQ(c.At(2, 0), kBlue);
  EXPECT_EQ(c.At(3, 1), kBlue);
  EXPECT_EQ(c.At(4, 0), kWhite);  // masked: background untouched
  EXPECT_EQ(c.Count(kBlue), 4);
  // Normal drawing with the list's colour fills the masked part.
  ImageList_SetBkColor(FList, kBlack);
  ImageList_Draw(FList, 0, c.DC(), 0, 0, ILD_NORMAL);
  EXPECT_EQ(c.At(0, 0), kRed);
  EXPECT_EQ(c.At(3, 3), kBlack);
  // The mask itself: black where the image shows, white where it is clear.
  ImageList_Draw(FList, 0, c.DC(), 4, 0, ILD_MASK);
  EXPECT_EQ(c.At(4, 0), kBlack);
  EXPECT_EQ(c.At(7, 3), kWhite);
}

TEST_F(GdiImageLists, DefaultMaskColourIsTheBottomLeftPixel) {
  ImageList_AddMasked(FList, FStrip, CLR_DEFAULT);
  TPixelCanvas c(4, 4, kWhite);
  ImageList_Draw(FList, 0, c.DC(), 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(c.Count(kRed), 4);
  EXPECT_EQ(c.Count(kWhite), 12);
}

TEST_F(GdiImageLists, AddWithMaskBitmapReplaceAndRemove) {
  uint8_t maskBits[8] = {0x3F, 0, 0x3F, 0, 0xFF, 0, 0xFF, 0};  // opaque 2x2 top-left of the first image
  HBITMAP mask = CreateBitmap(8, 4, 1, 1, maskBits);
  EXPECT_EQ(ImageList_Add(FList, FStrip, mask), 0);
  TPixelCanvas c(4, 4, kWhite);
  ImageList_Draw(FList, 0, c.DC(), 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(c.Count(kRed), 4);
  EXPECT_EQ(c.Count(kWhite), 12);
  EXPECT_TRUE(ImageList_Replace(FList, 0, FStrip, nullptr));
  c.Clear(kWhite);
  ImageList_Draw(FList, 0, c.DC(), 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(c.Count(kTeal), 12);  // no mask now: opaque
  EXPECT_TRUE(ImageList_Remove(FList, 0));
  EXPECT_EQ(ImageList_GetImageCount(FList), 1);
  EXPECT_FALSE(ImageList_Remove(FList, 5));
  EXPECT_FALSE(ImageList_Draw(FList, 3, c.DC(), 0, 0, ILD_NORMAL));
  EXPECT_TRUE(ImageList_Remove(FList, -1));
  EXPECT_EQ(ImageList_GetImageCount(FList), 0);
  DeleteObject(mask);
}

TEST_F(GdiImageLists, BlendAndDisabledLooks) {
  ImageList_AddMasked(FList, FStrip, kTeal);
  TPixelCanvas c(6, 6, kWhite);
  ImageList_DrawEx(FList, 0, c.DC(), 0, 0, 0, 0, CLR_NONE, kBlue, ILD_TRANSPARENT | ILD_BLEND50);
  EXPECT_EQ(c.At(0, 0), RGB(127, 0, 127));
  EXPECT_EQ(c.At(3, 3), kWhite);
  c.Clear(kWhite);
  EXPECT_TRUE(ImageList_DrawDisabled(FList, 0, c.DC(), 0, 0));
  // Shadow where the glyph is, highlight one pixel down and right of it.
  EXPECT_EQ(c.At(0, 0), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(c.At(1, 1), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(c.At(2, 2), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(c.At(3, 3), kWhite);
  EXPECT_EQ(c.Count(kRed), 0);
}

TEST_F(GdiImageLists, SizesAndBadHandles) {
  int cx = 0, cy = 0;
  EXPECT_TRUE(ImageList_GetIconSize(FList, &cx, &cy));
  EXPECT_EQ(cx, 4);
  EXPECT_EQ(cy, 4);
  ImageList_AddMasked(FList, FStrip, kTeal);
  EXPECT_TRUE(ImageList_SetIconSize(FList, 8, 8));
  EXPECT_EQ(ImageList_GetImageCount(FList), 0);
  EXPECT_EQ(ImageList_Create(0, 4, 0, 0, 0), nullptr);
  HIMAGELIST dead = ImageList_Create(2, 2, 0, 0, 0);
  ImageList_Destroy(dead);
  EXPECT_EQ(ImageList_Add(dead, FStrip, nullptr), -1);
  EXPECT_EQ(ImageList_GetImageCount(dead), 0);
  EXPECT_FALSE(ImageList_Destroy(dead));
}

TEST_F(GdiImageLists, DragImageSavesAndRestoresTheScreen) {
  ImageList_AddMasked(FList, FStrip, kTeal);
  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  RECT area{0, 0, 40, 40};
  FillRect(screen, &area, GetStockObject(WHITE_BRUSH));
  ASSERT_TRUE(ImageList_BeginDrag(FList, 0, 1, 1));
  ASSERT_TRUE(ImageList_DragEnter(nullptr, 10, 10));
  EXPECT_EQ(GetPixel(screen, 9, 9), kRed);     // top-left at the position less the hot spot
  EXPECT_EQ(GetPixel(screen, 12, 12), kWhite);  // masked part shows the screen
  ImageList_DragMove(20, 20);
  EXPECT_EQ(GetPixel(screen, 9, 9), kWhite);
  EXPECT_EQ(GetPixel(screen, 19, 19), kRed);
  POINT pos, hot;
  EXPECT_NE(ImageList_GetDragImage(&pos, &hot), nullptr);
  EXPECT_EQ(pos, Point(20, 20));
  EXPECT_EQ(hot, Point(1, 1));
  ImageList_DragShowNolock(FALSE);
  EXPECT_EQ(GetPixel(screen, 19, 19), kWhite);
  ImageList_DragShowNolock(TRUE);
  EXPECT_TRUE(ImageList_DragLeave(nullptr));
  EXPECT_EQ(GetPixel(screen, 19, 19), kWhite);
  ImageList_EndDrag();
  EXPECT_EQ(ImageList_GetDragImage(nullptr, nullptr), nullptr);
  EXPECT_FALSE(ImageList_DragMove(1, 1));
  EXPECT_FALSE(ImageList_BeginDrag(FList, 9, 0, 0));
  ReleaseDC(nullptr, screen);
}

TEST(GdiBitmapFiles, RoundTripAtEveryDepth) {
  HBITMAP src = TwoImageStrip();
  for (int bits : {1, 4, 8, 24, 32}) {
    std::vector<uint8_t> file = WriteBitmapFile(src, bits);
    ASSERT_FALSE(file.empty()) << bits;
    HBITMAP back = ReadBitmapFile(file.data(), file.size());
    ASSERT_NE(back, nullptr) << bits;
    BITMAP bm;
    GetObject(back, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 8);
    EXPECT_EQ(bm.bmHeight, 4);
    HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(nullptr);
    SelectObject(a, src);
    SelectObject(b, back);
    // Three colours fit 4 and 8 bits exactly; 1 bit keeps only black and white.
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 8; ++x) {
        if (bits == 1) EXPECT_EQ(GetPixel(b, x, y), kBlack) << x << "," << y;
        else EXPECT_EQ(GetPixel(b, x, y), GetPixel(a, x, y)) << bits << " " << x << "," << y;
      }
    DeleteDC(a);
    DeleteDC(b);
    DeleteObject(back);
  }
  EXPECT_TRUE(WriteBitmapFile(src, 7).empty());
  DeleteObject(src);
}

TEST(GdiBitmapFiles, MonochromeFilesGiveMonochromeBitmaps) {
  uint8_t bits[4] = {0xA0, 0, 0, 0};
  HBITMAP mono = CreateBitmap(4, 1, 1, 1, bits);
  std::vector<uint8_t> file = WriteBitmapFile(mono, 1);
  HBITMAP back = ReadBitmapFile(file.data(), file.size());
  BITMAP bm;
  GetObject(back, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, back);
  EXPECT_EQ(GetPixel(dc, 0, 0), kWhite);
  EXPECT_EQ(GetPixel(dc, 1, 0), kBlack);
  DeleteDC(dc);
  DeleteObject(back);
  DeleteObject(mono);
}

TEST(GdiBitmapFiles, MalformedDataIsRefused) {
  HBITMAP src = TwoImageStrip();
  std::vector<uint8_t> file = WriteBitmapFile(src, 24);
  DeleteObject(src);
  EXPECT_EQ(ReadBitmapFile(nullptr, 10), nullptr);
  EXPECT_EQ(ReadBitmapFile(file.data(), 10), nullptr);
  EXPECT_EQ(ReadBitmapFile(file.data(), file.size() - 1), nullptr);  // pixels cut short
  std::vector<uint8_t> bad = file;
  bad[0] = 'X';
  EXPECT_EQ(ReadBitmapFile(bad.data(), bad.size()), nullptr);
  bad = file;
  bad[28] = 13;  // bit depth
  EXPECT_EQ(ReadBitmapFile(bad.data(), bad.size()), nullptr);
  bad = file;
  bad[18] = bad[19] = bad[20] = 0x7F;  // huge width
  EXPECT_EQ(ReadBitmapFile(bad.data(), bad.size()), nullptr);
  bad = file;
  bad[30] = 1;  // run-length compression is not read
  EXPECT_EQ(ReadBitmapFile(bad.data(), bad.size()), nullptr);
}

TEST(GdiSystemBitmaps, CheckBoxesStripAndResources) {
  HBITMAP boxes = LoadBitmap(nullptr, MAKEINTRESOURCE(OBM_CHECKBOXES));
  ASSERT_NE(boxes, nullptr);
  BITMAP bm;
  GetObject(boxes, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth / 4, 13);
  EXPECT_EQ(bm.bmHeight / 3, 13);
  DeleteObject(boxes);
  EXPECT_NE(LoadBitmap(nullptr, MAKEINTRESOURCE(OBM_DNARROW)), nullptr);
  EXPECT_EQ(LoadBitmap(nullptr, MAKEINTRESOURCE(1)), nullptr);
  EXPECT_EQ(LoadBitmap(nullptr, "NOSUCHBITMAP"), nullptr);
  RegisterBitmapResource("QvTestGlyph", [] { return CreateBitmap(3, 2, 1, 32, nullptr); });
  HBITMAP glyph = LoadBitmap(nullptr, "QVTESTGLYPH");
  ASSERT_NE(glyph, nullptr);
  GetObject(glyph, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 3);
  DeleteObject(glyph);
  RegisterBitmapResource("QvTestGlyph", nullptr);
  EXPECT_EQ(LoadBitmap(nullptr, "QVTESTGLYPH"), nullptr);
}

int gColorChanges = 0;

// Starts in the classic look with no change handler, and leaves the defaults behind.
class GdiSysColors : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSysColorChangeHandler(nullptr);
    ThemeEngine::SetEnabled(false);
    ResetSysColors();
    gColorChanges = 0;
  }
  void TearDown() override {
    SetSysColorChangeHandler(nullptr);
    ThemeEngine::SetEnabled(true);
    ResetSysColors();
  }
};

TEST_F(GdiSysColors, ChangesReachBrushesAndTheBroadcast) {
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(192, 192, 192));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), kWhite);
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), face);
  EXPECT_FALSE(DeleteObject(face) == FALSE);  // stock: deleting is harmless
  SetSysColorChangeHandler([] { ++gColorChanges; });
  int index = COLOR_BTNFACE;
  COLORREF colour = kBlue;
  EXPECT_TRUE(SetSysColors(1, &index, &colour));
  EXPECT_EQ(gColorChanges, 1);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), kBlue);
  TPixelCanvas c(2, 2);
  RECT r{0, 0, 2, 2};
  FillRect(c.DC(), &r, face);
  EXPECT_EQ(c.At(0, 0), kBlue);
  SetSysColorChangeHandler(nullptr);
  ResetSysColors();
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(192, 192, 192));
  EXPECT_EQ(GetSysColor(-1), 0u);
  EXPECT_EQ(GetSysColorBrush(99), nullptr);
  EXPECT_FALSE(SetSysColors(1, nullptr, &colour));
}

struct TThemedColourCase {
  const char* Name;
  int Index;
  COLORREF Classic, Themed;
};

class GdiSysColorsThemed : public GdiSysColors, public ::testing::WithParamInterface<TThemedColourCase> {};

// The face and the 3-D colours around it follow the theme switch, in GetSysColor and in the
// stock brush handed out before the switch; the other colours stay.
TEST_P(GdiSysColorsThemed, ColourAndBrushFollowTheSwitch) {
  const TThemedColourCase& c = GetParam();
  HBRUSH brush = GetSysColorBrush(c.Index);
  TPixelCanvas canvas(1, 1);
  RECT r{0, 0, 1, 1};
  for (bool themed : {true, false, true}) {
    ThemeEngine::SetEnabled(themed);
    const COLORREF expected = themed ? c.Themed : c.Classic;
    EXPECT_EQ(GetSysColor(c.Index), expected) << (themed ? "themes on" : "themes off");
    FillRect(canvas.DC(), &r, brush);
    EXPECT_EQ(canvas.At(0, 0), expected) << (themed ? "themes on" : "themes off");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Palette, GdiSysColorsThemed,
    ::testing::Values(TThemedColourCase{"Face", COLOR_BTNFACE, RGB(192, 192, 192), kThemedFaceColor},
                      TThemedColourCase{"Shadow", COLOR_BTNSHADOW, RGB(128, 128, 128), RGB(160, 160, 160)},
                      TThemedColourCase{"Light", COLOR_3DLIGHT, RGB(192, 192, 192), RGB(227, 227, 227)},
                      TThemedColourCase{"MenuBar", COLOR_MENUBAR, RGB(192, 192, 192), kThemedFaceColor},
                      TThemedColourCase{"Highlight", COLOR_BTNHIGHLIGHT, kWhite, kWhite},
                      TThemedColourCase{"Window", COLOR_WINDOW, kWhite, kWhite},
                      TThemedColourCase{"Selection", COLOR_HIGHLIGHT, RGB(0, 0, 128), RGB(0, 0, 128)}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(GdiSysColors, ASwitchOfThemesBroadcastsTheColourChange) {
  SetSysColorChangeHandler([] { ++gColorChanges; });
  ThemeEngine::SetEnabled(true);
  ThemeEngine::SetEnabled(true);
  ThemeEngine::SetEnabled(false);
  EXPECT_EQ(gColorChanges, 2) << "once per real switch";
}

TEST_F(GdiSysColors, AColourSetByTheProgramHoldsInBothLooks) {
  const int index = COLOR_BTNFACE;
  const COLORREF colour = kBlue;
  ASSERT_TRUE(SetSysColors(1, &index, &colour));
  ThemeEngine::SetEnabled(true);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), kBlue);
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(160, 160, 160)) << "only the colour set changes";
  ResetSysColors();
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), kThemedFaceColor);
}

TEST(GdiObjects, StockObjectsAndGetObject) {
  EXPECT_EQ(GetStockObject(WHITE_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), OBJ_PEN);
  EXPECT_EQ(GetObjectType(GetStockObject(DEFAULT_GUI_FONT)), OBJ_FONT);
  EXPECT_EQ(GetStockObject(77), nullptr);
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_BRUSH)), OBJ_BRUSH);
  LOGPEN lp;
  HPEN pen = CreatePen(PS_DOT, 1, kRed);
  EXPECT_EQ(GetObject(pen, sizeof lp, &lp), int(sizeof lp));
  EXPECT_EQ(lp.lopnStyle, PS_DOT);
  EXPECT_EQ(lp.lopnColor, kRed);
  EXPECT_EQ(GetObject(pen, 2, &lp), 0);
  DeleteObject(pen);
  EXPECT_EQ(GetObject(pen, sizeof lp, &lp), 0);
  LOGFONT lf;
  lf.lfHeight = -20;
  lf.lfItalic = 1;
  HFONT font = CreateFontIndirect(&lf);
  LOGFONT back;
  GetObject(font, sizeof back, &back);
  EXPECT_EQ(back.lfHeight, -20);
  EXPECT_EQ(back.lfItalic, 1);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ oldFont = SelectObject(dc, font);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
  EXPECT_EQ(GetObjectType(dc), OBJ_MEMDC);
  SelectObject(dc, oldFont);
  DeleteObject(font);
  EXPECT_EQ(SelectObject(dc, font), nullptr);
  EXPECT_EQ(GetNearestColor(dc, RGB(200, 10, 10)), kWhite - kWhite);  // the 1x1 default bitmap is monochrome
  DeleteDC(dc);
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_EQ(GetObjectType(dc), 0u);
}

}  // namespace
