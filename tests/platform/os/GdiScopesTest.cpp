#include <gtest/gtest.h>

#include <stdexcept>

#include "GdiTestSupport.h"
#include "platform/os/CursorPicture.h"
#include "platform/os/GdiScopes.h"
#include "platform/os/Windows.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Holders

TEST(GdiScopesTest, SavedDCScopeRestoresTheStateWhenTheBlockRaises) {
  TPixelCanvas canvas(4, 4);
  SetTextColor(canvas.DC(), kRed);
  try {
    TSavedDCScope saved(canvas.DC());
    SetTextColor(canvas.DC(), kBlue);
    throw std::runtime_error("paint failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(GetTextColor(canvas.DC()), kRed);
}

TEST(GdiScopesTest, SelectObjectScopePutsTheReplacedObjectBack) {
  TPixelCanvas canvas(4, 4);
  TOwnedGdiObject brush(CreateSolidBrush(kRed));
  HGDIOBJ before = GetCurrentObject(canvas.DC(), OBJ_BRUSH);
  {
    TSelectObjectScope selected(canvas.DC(), brush.Get());
    EXPECT_EQ(GetCurrentObject(canvas.DC(), OBJ_BRUSH), brush.Get());
  }
  EXPECT_EQ(GetCurrentObject(canvas.DC(), OBJ_BRUSH), before);
}

// A bitmap can be selected into one DC at a time: the second memory DC gets it only because the
// first let it go.
TEST(GdiScopesTest, MemoryDCDrawsIntoItsBitmapAndLetsItGo) {
  TOwnedGdiObject bitmap(CreateBitmap(4, 4, 1, 32, nullptr));
  {
    TMemoryDC memory(nullptr, bitmap.Get());
    TOwnedGdiObject red(CreateSolidBrush(kRed));
    const RECT all{0, 0, 4, 4};
    FillRect(memory.Handle(), &all, red.Get());
  }
  TMemoryDC again(nullptr, bitmap.Get());
  EXPECT_EQ(GetCurrentObject(again.Handle(), OBJ_BITMAP), bitmap.Get());
  EXPECT_EQ(GetPixel(again.Handle(), 3, 3), kRed);
}

TEST(GdiScopesTest, MeasureDCMeasuresInItsFont) {
  TOwnedGdiObject large(CreateFont(-40, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "DejaVu Sans"));
  SIZE plain{}, sized{};
  {
    TMeasureDC dc;
    GetTextExtentPoint32(dc.Handle(), "Wg", 2, &plain);
  }
  {
    TMeasureDC dc(large.Get());
    EXPECT_EQ(GetCurrentObject(dc.Handle(), OBJ_FONT), large.Get());
    GetTextExtentPoint32(dc.Handle(), "Wg", 2, &sized);
  }
  EXPECT_GT(sized.cy, plain.cy);
  EXPECT_GE(sized.cy, 40);
}

TEST(GdiScopesTest, OwnedGdiObjectDeletesWhatItHoldsOnly) {
  HGDIOBJ first = CreateSolidBrush(kRed);
  HGDIOBJ second = CreateSolidBrush(kBlue);
  HGDIOBJ kept = CreateSolidBrush(kBlack);
  {
    TOwnedGdiObject owner(first);
    owner.Reset(second);
    EXPECT_EQ(GetObjectType(first), 0u) << "replaced: deleted";
    TOwnedGdiObject moved(std::move(owner));
    EXPECT_EQ(owner.Get(), nullptr);
    EXPECT_EQ(moved.Get(), second);
    TOwnedGdiObject handed(kept);
    EXPECT_EQ(handed.Release(), kept);
  }
  EXPECT_EQ(GetObjectType(second), 0u) << "deleted with its last holder";
  EXPECT_EQ(GetObjectType(kept), OBJ_BRUSH) << "released: still alive";
  DeleteObject(kept);
}

// ---------------------------------------------------------------------------------------------
// Checker brush

struct TCheckerCase {
  const char* Name;
  bool Inverted;
  int X, Y;
  COLORREF Expected;
};

class GdiCheckerBrushTest : public ::testing::TestWithParam<TCheckerCase> {};

TEST_P(GdiCheckerBrushTest, AlternatesSinglePixels) {
  const TCheckerCase& c = GetParam();
  TPixelCanvas canvas(12, 12);
  SetTextColor(canvas.DC(), kBlack);
  SetBkColor(canvas.DC(), kWhite);
  TOwnedGdiObject brush(CreateCheckerBrush(c.Inverted));
  const RECT all{0, 0, 12, 12};
  FillRect(canvas.DC(), &all, brush.Get());
  EXPECT_EQ(canvas.At(c.X, c.Y), c.Expected) << canvas.Picture(kBlack);
}

INSTANTIATE_TEST_SUITE_P(Gdi, GdiCheckerBrushTest,
                         ::testing::Values(TCheckerCase{"OriginBlack", false, 0, 0, kBlack},
                                           TCheckerCase{"RightOfOriginWhite", false, 1, 0, kWhite},
                                           TCheckerCase{"BelowOriginWhite", false, 0, 1, kWhite},
                                           TCheckerCase{"DiagonalBlack", false, 1, 1, kBlack},
                                           TCheckerCase{"NextTileOddWhite", false, 9, 2, kWhite},
                                           TCheckerCase{"NextTileEvenBlack", false, 10, 8, kBlack},
                                           TCheckerCase{"InvertedOriginWhite", true, 0, 0, kWhite},
                                           TCheckerCase{"InvertedRightOfOriginBlack", true, 1, 0, kBlack},
                                           TCheckerCase{"InvertedNextTileOddBlack", true, 9, 2, kBlack}),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------------------------------------
// Cursor pictures

TEST(GdiScopesTest, CursorPictureDrawsTextRowsAndLeavesOtherCharactersAlone) {
  TCursorPicture picture(4);
  picture.Set(3, 0, 0x123456);
  picture.DrawRows(1, 0, {"X.?", " X", "", "XXXX"});
  EXPECT_TRUE(picture.Opaque(1, 0));
  EXPECT_EQ(picture.Pixel(1, 0), TCursorPicture::kBlack);
  EXPECT_EQ(picture.Pixel(2, 0), TCursorPicture::kWhite);
  EXPECT_EQ(picture.Pixel(3, 0), 0x123456u) << "'?' leaves the pixel alone";
  EXPECT_FALSE(picture.Opaque(1, 1)) << "' ' leaves it transparent";
  EXPECT_TRUE(picture.Opaque(2, 1));
  EXPECT_FALSE(picture.Opaque(0, 3)) << "drawn from x = 1";
  EXPECT_TRUE(picture.Opaque(3, 3)) << "the row's rest falls outside";
}

TEST(GdiScopesTest, CursorFromPictureMakesACursor) {
  HCURSOR cursor = CursorFromPicture({"X", "X.X", "XXX"}, 1, 1);
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(GetCursorShape(cursor), 0u) << "a cursor of its own, not a standard one";
  EXPECT_TRUE(DestroyCursor(cursor));
}

}  // namespace
