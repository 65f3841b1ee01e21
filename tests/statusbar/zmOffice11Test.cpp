// The gradient colour scheme: its table, the colour mix, the sharing by reference, the gradient's
// rows for every scheme and every height that needs a guard, and the grip dots.
#include <algorithm>

#include "StatusBarTestSupport.h"
#include "platform/os/Gdi.h"
#include "statusbar/zmOffice11.h"

namespace {

TColor Color(Byte r, Byte g, Byte b) { return static_cast<TColor>(RGB(r, g, b)); }

// ------------------------------------------------------------------ scheme and colours

using Office11Test = TStatusBarTest;

TEST_F(Office11Test, OurThemeAndNoThemeBothGiveTheSystemColourScheme) {
  EXPECT_EQ(zmOffice11::GetScheme(), osSystemColors) << "only the named colours of the gradient theme file pick a scheme";
  ThemeEngine::SetEnabled(false);
  EXPECT_EQ(zmOffice11::GetScheme(), osSystemColors);
}

TEST_F(Office11Test, SystemColourSchemeMixesTheClassicColours) {
  ThemeEngine::SetEnabled(false);
  const TzmOffice11Colors c = zmOffice11::GetSchemeColors(osSystemColors);
  EXPECT_EQ(Rgb(c.BarColor1), Rgb(Color(241, 241, 241))) << "22% face, 78% window";
  EXPECT_EQ(Rgb(c.BarColor2), Rgb(Color(194, 194, 194)));
  EXPECT_EQ(Rgb(c.SeparatorDarkColor), Rgb(Color(167, 167, 167))) << "a channel half rounds up";
  EXPECT_EQ(Rgb(c.SeparatorLightColor), Rgb(clWhite));
  EXPECT_EQ(Rgb(c.GripDarkColor), Rgb(Color(158, 158, 158)));
  EXPECT_EQ(Rgb(c.GripLightColor), Rgb(clWindow));
  EXPECT_EQ(c.MiddlePosition, 75);
}

struct TNamedSchemeCase {
  TzmOffice11Scheme Scheme;
  TColor BarColor1, BarColor2, SeparatorDark, GripDark;
  Integer MiddlePosition;
};

class Office11SchemeTable : public TStatusBarTest, public ::testing::WithParamInterface<TNamedSchemeCase> {};

TEST_P(Office11SchemeTable, HoldsTheSchemesColours) {
  const TNamedSchemeCase& w = GetParam();
  const TzmOffice11Colors c = zmOffice11::GetSchemeColors(w.Scheme);
  EXPECT_EQ(Rgb(c.BarColor1), Rgb(w.BarColor1));
  EXPECT_EQ(Rgb(c.BarColor2), Rgb(w.BarColor2));
  EXPECT_EQ(Rgb(c.SeparatorDarkColor), Rgb(w.SeparatorDark));
  EXPECT_EQ(Rgb(c.GripDarkColor), Rgb(w.GripDark));
  EXPECT_EQ(Rgb(c.GripLightColor), Rgb(clWhite));
  EXPECT_EQ(c.MiddlePosition, w.MiddlePosition);
}

INSTANTIATE_TEST_SUITE_P(
    Named, Office11SchemeTable,
    ::testing::Values(TNamedSchemeCase{osBlue, Color(221, 236, 254), Color(129, 169, 226), Color(106, 140, 203), Color(39, 65, 118), 41},
                      TNamedSchemeCase{osOlive, Color(244, 247, 222), Color(183, 198, 145), Color(96, 128, 88), Color(81, 94, 51), 125},
                      TNamedSchemeCase{osSilver, Color(243, 244, 250), Color(153, 151, 181), Color(110, 109, 143), Color(84, 84, 117), 40}));

TEST_F(Office11Test, MixColorsWeighsEachChannelAndCapsIt) {
  EXPECT_EQ(Rgb(zmOffice11::MixColors(Color(200, 100, 0), Color(0, 100, 200), 25)), Rgb(Color(50, 100, 150)));
  EXPECT_EQ(Rgb(zmOffice11::MixColors(clBtnFace, clWindow, 100)), Rgb(clBtnFace)) << "system colours are resolved";
  EXPECT_EQ(Rgb(zmOffice11::MixColors(Color(255, 255, 255), Color(255, 255, 255), 150)), Rgb(clWhite))
      << "a weight above 100 would overflow a channel";
}

TEST_F(Office11Test, ColoursAreComputedAtTheFirstReferenceAndFollowARefresh) {
  ASSERT_EQ(zmOffice11::GetReferenceCount(), 0);
  zmOffice11::AddRef();
  zmOffice11::AddRef();
  EXPECT_EQ(zmOffice11::GetReferenceCount(), 2);
  const TColor before = zmOffice11::GetColors().BarColor1;
  const COLORREF green = RGB(0, 255, 0);
  const int index = COLOR_BTNFACE;
  SetSysColors(1, &index, &green);
  EXPECT_EQ(zmOffice11::GetColors().BarColor1, before) << "kept until refreshed";
  zmOffice11::Refresh();
  EXPECT_EQ(Rgb(zmOffice11::GetColors().BarColor1), Rgb(zmOffice11::MixColors(clBtnFace, clWindow, 22)));
  EXPECT_NE(zmOffice11::GetColors().BarColor1, before);
  zmOffice11::Release();
  zmOffice11::Release();
  zmOffice11::Release();
  EXPECT_EQ(zmOffice11::GetReferenceCount(), 0) << "a release too many is ignored";
  ResetSysColors();
  zmOffice11::Refresh();
}

// ------------------------------------------------------------------ gradient

struct TGradientCase {
  const char* Name;
  TColor C1, C2;
  Integer MiddlePosition;
  TColor Middle;  // M, worked out by hand from the scheme's table
};

// 20 rows: row 0 is C1, row 10 the middle colour M, row 19 is C2.
class Office11Gradient : public TStatusBarTest, public ::testing::WithParamInterface<TGradientCase> {
 protected:
  void Fill(const TRect& R, bool AHorizontal = false) {
    const TGradientCase& c = GetParam();
    zmOffice11::FillGradientRect(Canvas(), R, c.C1, AHorizontal, c.C2, c.MiddlePosition);
  }
};

TEST_P(Office11Gradient, VerticalRowsRunFromC1ThroughTheMiddleToC2) {
  const TGradientCase& c = GetParam();
  Fill(Rect(4, 10, 40, 30));
  EXPECT_EQ(Pixel(4, 10), Rgb(c.C1)) << "top";
  EXPECT_EQ(Pixel(20, 20), Rgb(c.Middle)) << "middle";
  EXPECT_EQ(Pixel(39, 29), Rgb(c.C2)) << "bottom";
  EXPECT_EQ(Pixel(4, 9), Rgb(Paper));
  EXPECT_EQ(Pixel(4, 30), Rgb(Paper));
}

TEST_P(Office11Gradient, HorizontalColumnsRunTheSameWay) {
  const TGradientCase& c = GetParam();
  Fill(Rect(10, 4, 30, 8), true);
  EXPECT_EQ(Pixel(10, 4), Rgb(c.C1));
  EXPECT_EQ(Pixel(20, 7), Rgb(c.Middle));
  EXPECT_EQ(Pixel(29, 5), Rgb(c.C2));
}

TEST_P(Office11Gradient, EmptyOneAndTwoRowRectanglesAreGuarded) {
  const TGradientCase& c = GetParam();
  Fill(Rect(0, 5, 64, 5));
  Fill(Rect(5, 0, 5, 64));
  EXPECT_EQ(InkBox(), TRect()) << "height or width 0 draws nothing";
  Fill(Rect(0, 8, 64, 9));
  EXPECT_EQ(Pixel(0, 8), Rgb(c.Middle)) << "one row is one band: the middle one";
  EXPECT_EQ(Pixel(63, 8), Rgb(c.Middle));
  Fill(Rect(0, 20, 64, 22));
  EXPECT_EQ(Pixel(0, 20), Rgb(c.C1));
  EXPECT_EQ(Pixel(0, 21), Rgb(c.Middle)) << "two rows: the second is the middle band";
}

TEST_P(Office11Gradient, LongGradientsKeep256BandsAndStillEndAtC2) {
  const TGradientCase& c = GetParam();
  TOwned<TBitmap> tall = MakeOwned<TBitmap>();
  tall->SetPixelFormat(pf32bit);
  tall->SetSize(2, 600);
  TqvCanvas canvas(tall->GetCanvas());
  zmOffice11::FillGradientRect(&canvas, Rect(0, 0, 2, 600), c.C1, false, c.C2, c.MiddlePosition);
  auto row = [&](Integer y) { return TRgb{tall->ScanLine(y)[0] & 0xFFFFFFu}; };
  auto rgb = [](TColor col) {
    const COLORREF v = ColorToRGB(col);
    return TRgb{(uint32_t(GetRValue(v)) << 16) | (GetGValue(v) << 8) | GetBValue(v)};
  };
  EXPECT_EQ(row(0), rgb(c.C1));
  EXPECT_EQ(row(300), rgb(c.Middle)) << "band 128 of 256 starts at row 300";
  EXPECT_EQ(row(599), rgb(c.C2));
  Integer changes = 0;
  for (Integer y = 1; y < 600; ++y) changes += !(row(y) == row(y - 1));
  EXPECT_LE(changes, 255);
  for (Integer shift : {0, 8, 16}) {
    // Each channel runs one way from C1 to M and on to C2; no band overshoots.
    auto channel = [&](Integer y) { return Integer((row(y).Value >> shift) & 0xFF); };
    const Integer lo = std::min({channel(0), channel(300), channel(599)});
    const Integer hi = std::max({channel(0), channel(300), channel(599)});
    for (Integer y = 0; y < 600; ++y) {
      EXPECT_GE(channel(y), lo - 1) << "row " << y;
      EXPECT_LE(channel(y), hi + 1) << "row " << y;
    }
  }
}

TEST_P(Office11Gradient, EqualColoursFillPlainly) {
  const TGradientCase& c = GetParam();
  zmOffice11::FillGradientRect(Canvas(), Rect(0, 0, 10, 1), c.C1, false, c.C1, c.MiddlePosition);
  EXPECT_EQ(Pixel(9, 0), Rgb(c.C1));
}

INSTANTIATE_TEST_SUITE_P(
    Schemes, Office11Gradient,
    ::testing::Values(TGradientCase{"blue", Color(221, 236, 254), Color(129, 169, 226), 41, Color(202, 222, 248)},
                      TGradientCase{"olive", Color(244, 247, 222), Color(183, 198, 145), 125, Color(206, 216, 174)},
                      TGradientCase{"silver", Color(243, 244, 250), Color(153, 151, 181), 40, Color(225, 225, 236)},
                      TGradientCase{"system", Color(241, 241, 241), Color(194, 194, 194), 75, Color(223, 223, 223)}),
    [](const ::testing::TestParamInfo<TGradientCase>& info) { return std::string(info.param.Name); });

TEST_F(Office11Test, TheFiveArgumentFillUsesTheCurrentSchemesMiddle) {
  zmOffice11::FillGradientRect(Canvas(), Rect(0, 0, 4, 20), Color(241, 241, 241), false, Color(194, 194, 194));
  EXPECT_EQ(Pixel(0, 10), Rgb(Color(223, 223, 223))) << "the system scheme's P = 75";
}

// ------------------------------------------------------------------ grip dots

TEST_F(Office11Test, GripDotsFormAStaircaseOfThreeTwoAndOne) {
  zmOffice11::DrawSizeGripDots(Canvas(), Rect(0, 0, 40, 40));
  const TzmOffice11Colors& c = zmOffice11::GetColors();
  EXPECT_EQ(InkBox(), Rect(28, 29, 39, 40)) << "each dot fills three pixels of its four-pixel cell";
  EXPECT_EQ(Count(c.GripDarkColor), 6 * 4) << "six dots, each a dark 2 x 2 square";
  EXPECT_EQ(Count(c.GripLightColor), 6 * 3) << "the light square shows below and right of the dark one";
  // The bottom-right dot: dark at (36..37, 37..38), light one pixel down and right.
  EXPECT_EQ(Pixel(36, 37), Rgb(c.GripDarkColor));
  EXPECT_EQ(Pixel(37, 38), Rgb(c.GripDarkColor));
  EXPECT_EQ(Pixel(38, 39), Rgb(c.GripLightColor));
  EXPECT_EQ(Pixel(39, 39), Rgb(Paper));
  // The top row holds one dot at the right; nothing left of it.
  EXPECT_EQ(Pixel(36, 29), Rgb(c.GripDarkColor));
  EXPECT_EQ(Pixel(32, 29), Rgb(Paper));
  EXPECT_EQ(Pixel(32, 33), Rgb(c.GripDarkColor)) << "the middle row starts one cell further left";
  EXPECT_EQ(Pixel(28, 33), Rgb(Paper));
}

}  // namespace
