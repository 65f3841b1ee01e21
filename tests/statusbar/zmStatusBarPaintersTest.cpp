// The painters one operation at a time on a bitmap: the base frame and grip, standard edges,
// flat frames, gradient frames, separators and grip dots, themed parts; panels drawn through
// their bevel, their own drawing event and their style.
#include "StatusBarTestSupport.h"
#include "statusbar/zmOffice11.h"

namespace {

class StatusBarPainters : public TStatusBarTest {
 protected:
  void SetUp() override {
    TStatusBarTest::SetUp();
    FForm = NewForm();
    FBar = AddBar(FForm);
    FBar->SetColor(clYellow);
  }

  TzmStatusBarPanel* Panel(const char* AStyle = "") { return AddPanel(FBar, AStyle); }

  TForm* FForm = nullptr;
  TzmStatusBar* FBar = nullptr;
};

// ------------------------------------------------------------------ base

TEST_F(StatusBarPainters, BaseSizes) {
  TzmStatusBarPainterClass p = TzmStatusBarPainter::Class();
  EXPECT_EQ(p->GetSizeGripSize(), (TSize{16, 16}));
  EXPECT_EQ(p->GetSizeGripEdgeSize(), (TSize{12, 12}));
  EXPECT_EQ(p->GetSeparatorSize(), 2);
  EXPECT_EQ(p->GetTopMargin(), 2);
  EXPECT_EQ(TzmStatusBarOffice11Painter::Class()->GetSeparatorSize(), 2) << "inherits the base sizes";
}

TEST_F(StatusBarPainters, BorderFillsTheTopMarginThenTheBandsOfTheBorderWidth) {
  FBar->SetBorderWidth(3);
  TRect r = Rect(10, 10, 50, 40);
  TzmStatusBarStandardPainter::Class()->DrawBorder(FBar, Canvas(), r);
  EXPECT_EQ(r, Rect(13, 15, 47, 37)) << "2 at the top, then 3 on every side";
  EXPECT_EQ(InkBox(), Rect(10, 10, 50, 40));
  EXPECT_EQ(Pixel(20, 20), Rgb(Paper)) << "the inside is left alone";
  EXPECT_EQ(Pixel(12, 20), Rgb(clYellow));
  FBar->SetBorderWidth(0);
  r = Rect(10, 10, 50, 40);
  TzmStatusBarStandardPainter::Class()->DrawBorder(FBar, Canvas(), r);
  EXPECT_EQ(r, Rect(10, 12, 50, 40));
}

TEST_F(StatusBarPainters, BaseGripIsThePlatformImageWithItsEdgesCleaned) {
  TzmStatusBarPainter::Class()->DrawSizeGrip(FBar, Canvas(), Rect(0, 0, 40, 30));
  // R shrinks by 1: the 16 x 16 grip ends at (39, 29); its diagonals run up from that corner,
  // a highlight line and two shadow lines, then a gap.
  EXPECT_EQ(Pixel(38, 27), Rgb(clBtnHighlight));
  EXPECT_EQ(Pixel(37, 28), Rgb(clBtnHighlight));
  EXPECT_EQ(Pixel(37, 27), Rgb(clBtnShadow));
  EXPECT_EQ(Pixel(36, 27), Rgb(clBtnShadow));
  EXPECT_EQ(Pixel(35, 27), Rgb(Paper));
  EXPECT_EQ(Pixel(30, 20), Rgb(Paper)) << "face pixels leave the background";
  EXPECT_EQ(Pixel(39, 25), Rgb(clYellow)) << "the line right of R";
  EXPECT_EQ(Pixel(39, 16), Rgb(Paper)) << "12 pixels long";
  EXPECT_EQ(Pixel(30, 29), Rgb(clYellow)) << "the line below R";
  EXPECT_EQ(Pixel(27, 29), Rgb(clYellow)) << "from R.Right - 12";
  EXPECT_EQ(Pixel(26, 29), Rgb(Paper));
}

TEST_F(StatusBarPainters, BevelColourAndBackgroundOfAPanel) {
  TzmStatusBarPainterClass p = TzmStatusBarStandardPainter::Class();
  EXPECT_EQ(p->GetPanelBevel(nullptr), zmpbLowered);
  TzmStatusBarPanel* text = Panel("TzmStatusBarTextPanelStyle");
  text->SetBevel(zmpbRaised);
  EXPECT_EQ(p->GetPanelBevel(text), zmpbRaised);
  TzmStatusBarPanel* keys = Panel("TzmStatusBarKeyboardStatePanelStyle");
  EXPECT_EQ(p->GetPanelBevel(keys), zmpbNone) << "key cells draw their own borders";
  static_cast<TzmStatusBarKeyboardStatePanelStyle*>(keys->GetPanelStyle())->SetFullRect(true);
  EXPECT_EQ(p->GetPanelBevel(keys), zmpbLowered);
  EXPECT_EQ(p->GetPanelColor(FBar, nullptr), clYellow);
  EXPECT_EQ(p->GetPanelColor(FBar, text), clYellow) << "a style's colour follows the bar until set";
  text->GetPanelStyle()->SetColor(clAqua);
  EXPECT_EQ(p->GetPanelColor(FBar, text), clAqua);
}

TEST_F(StatusBarPainters, DrawPanelGoesThroughBevelEventAndStyle) {
  TzmStatusBarPainterClass p = TzmStatusBarStandardPainter::Class();
  TzmStatusBarPanel* panel = Panel("TzmStatusBarTextPanelStyle");
  panel->GetPanelStyle()->SetColor(clAqua);
  p->DrawPanel(FBar, panel, Rect(0, 0, 30, 20), Canvas());
  EXPECT_EQ(Pixel(0, 0), Rgb(clBtnShadow));
  EXPECT_EQ(Pixel(15, 10), Rgb(clAqua)) << "the style's content";
  Clear();
  TRect seen;
  panel->OnDrawPanel = [&](TzmStatusBarPanel* Sender, TqvCanvas* ACanvas, const TRect& R, bool& ADone) {
    EXPECT_EQ(Sender, panel);
    seen = R;
    ACanvas->SetBrushColor(clRed);
    ACanvas->FillRect(R);
    ADone = true;
  };
  p->DrawPanel(FBar, panel, Rect(0, 0, 30, 20), Canvas());
  EXPECT_EQ(seen, Rect(1, 1, 29, 19)) << "inside the bevel";
  EXPECT_EQ(Pixel(15, 10), Rgb(clRed)) << "done: the style draws nothing";
  panel->SetVisible(false);
  Clear();
  p->DrawPanel(FBar, panel, Rect(0, 0, 30, 20), Canvas());
  EXPECT_EQ(Pixel(0, 0), Rgb(clYellow)) << "a hidden panel: the bar's background only";
  Clear();
  p->DrawPanel(FBar, nullptr, Rect(0, 0, 30, 20), Canvas());
  EXPECT_EQ(Pixel(0, 0), Rgb(clBtnShadow)) << "no panel: an empty lowered one";
  EXPECT_EQ(Pixel(15, 10), Rgb(clYellow));
}

// ------------------------------------------------------------------ borders by painter

struct TBorderCase {
  const char* Name;
  TzmStatusBarPainterClass (*Painter)();
  TzmStatusBarPanelBevel Bevel;
  TColor TopLeft, BottomRight;  // clNone: nothing drawn
};

class StatusBarPanelBorders : public StatusBarPainters, public ::testing::WithParamInterface<TBorderCase> {};

TEST_P(StatusBarPanelBorders, FrameAndShrink) {
  const TBorderCase& c = GetParam();
  TRect r = Rect(10, 10, 30, 30);
  c.Painter()->DrawPanelBorder(FBar, c.Bevel, r, Canvas());
  if (c.TopLeft == clNone) {
    EXPECT_EQ(r, Rect(10, 10, 30, 30));
    EXPECT_EQ(InkBox(), TRect());
    return;
  }
  EXPECT_EQ(r, Rect(11, 11, 29, 29));
  EXPECT_EQ(Pixel(10, 15), Rgb(c.TopLeft));
  EXPECT_EQ(Pixel(15, 10), Rgb(c.TopLeft));
  EXPECT_EQ(Pixel(29, 15), Rgb(c.BottomRight));
  EXPECT_EQ(Pixel(15, 29), Rgb(c.BottomRight));
  EXPECT_EQ(Pixel(20, 20), Rgb(Paper));
}

TColor GradientFrame() { return zmOffice11::MixColors(zmOffice11::GetColors().BarColor2, clBlack, 90); }

INSTANTIATE_TEST_SUITE_P(
    Table, StatusBarPanelBorders,
    ::testing::Values(
        TBorderCase{"StandardLoweredIsASunkenOuterEdge", &TzmStatusBarStandardPainter::Class, zmpbLowered, clBtnShadow,
                    clBtnHighlight},
        TBorderCase{"StandardRaisedIsARaisedInnerEdge", &TzmStatusBarStandardPainter::Class, zmpbRaised, clBtnHighlight,
                    clBtnShadow},
        TBorderCase{"StandardNone", &TzmStatusBarStandardPainter::Class, zmpbNone, clNone, clNone},
        TBorderCase{"FlatLowered", &TzmStatusBarFlatPainter::Class, zmpbLowered, clBtnShadow, clBtnShadow},
        TBorderCase{"FlatRaised", &TzmStatusBarFlatPainter::Class, zmpbRaised, clBtnShadow, clBtnShadow},
        TBorderCase{"FlatNone", &TzmStatusBarFlatPainter::Class, zmpbNone, clNone, clNone},
        TBorderCase{"BaseDrawsNoBorder", &TzmStatusBarPainter::Class, zmpbLowered, clNone, clNone},
        TBorderCase{"ThemedDrawsNoBorder", &TzmStatusBarXPPainter::Class, zmpbRaised, clNone, clNone},
        TBorderCase{"GradientNone", &TzmStatusBarOffice11Painter::Class, zmpbNone, clNone, clNone}),
    [](const ::testing::TestParamInfo<TBorderCase>& info) { return std::string(info.param.Name); });

TEST_F(StatusBarPainters, GradientFrameIsTheSecondBarColourDarkened) {
  TRect r = Rect(10, 10, 30, 30);
  TzmStatusBarOffice11Painter::Class()->DrawPanelBorder(FBar, zmpbRaised, r, Canvas());
  EXPECT_EQ(r, Rect(11, 11, 29, 29));
  EXPECT_EQ(Pixel(10, 10), Rgb(GradientFrame()));
  EXPECT_EQ(Pixel(29, 29), Rgb(GradientFrame()));
}

TEST_F(StatusBarPainters, StandardSeparatorAndBackgroundFill) {
  TzmStatusBarStandardPainter::Class()->DrawPanelSeparator(FBar, Canvas(), Rect(5, 5, 7, 25));
  EXPECT_EQ(InkBox(), Rect(5, 5, 7, 25));
  EXPECT_EQ(Pixel(6, 24), Rgb(clYellow));
  TzmStatusBarPainter::Class()->DrawPanelSeparator(FBar, Canvas(), Rect(20, 5, 22, 25));
  TzmStatusBarPainter::Class()->DrawPanelBackground(FBar, nullptr, Rect(30, 5, 40, 25), Canvas());
  EXPECT_EQ(InkBox(), Rect(5, 5, 7, 25)) << "the base draws neither";
}

// ------------------------------------------------------------------ gradient painter

TEST_F(StatusBarPainters, GradientBorderCoversTheBarAndShrinksByOne) {
  TRect r = Rect(0, 0, 40, 20);
  TzmStatusBarOffice11Painter::Class()->DrawBorder(FBar, Canvas(), r);
  EXPECT_EQ(r, Rect(1, 1, 39, 19)) << "no top margin, no border bands";
  const TzmOffice11Colors& c = zmOffice11::GetColors();
  EXPECT_EQ(Pixel(0, 0), Rgb(c.BarColor1));
  EXPECT_EQ(Pixel(39, 19), Rgb(c.BarColor2));
}

TEST_F(StatusBarPainters, GradientSeparatorIsADarkAndALightLine) {
  const TzmOffice11Colors& c = zmOffice11::GetColors();
  TzmStatusBarOffice11Painter::Class()->DrawPanelSeparator(FBar, Canvas(), Rect(10, 0, 12, 20));
  // Inside 2 pixels at the top and bottom: dark from row 2 to 16, light from 3 to 17.
  EXPECT_EQ(Pixel(10, 2), Rgb(c.SeparatorDarkColor));
  EXPECT_EQ(Pixel(10, 16), Rgb(c.SeparatorDarkColor));
  EXPECT_EQ(Pixel(10, 17), Rgb(Paper));
  EXPECT_EQ(Pixel(11, 2), Rgb(Paper));
  EXPECT_EQ(Pixel(11, 3), Rgb(c.SeparatorLightColor));
  EXPECT_EQ(Pixel(11, 17), Rgb(c.SeparatorLightColor));
  EXPECT_EQ(Pixel(11, 18), Rgb(Paper));
}

TEST_F(StatusBarPainters, GradientGripIsTheDotStaircase) {
  TzmStatusBarOffice11Painter::Class()->DrawSizeGrip(FBar, Canvas(), Rect(0, 0, 40, 30));
  // R shrinks by 1 at the top and bottom: the dots sit in the 16 x 16 square ending at (40, 29).
  EXPECT_EQ(InkBox(), Rect(28, 18, 39, 29));
  EXPECT_EQ(Pixel(36, 26), Rgb(zmOffice11::GetColors().GripDarkColor));
}

// ------------------------------------------------------------------ themed painter

TEST_F(StatusBarPainters, ThemedSizesComeFromTheStatusTheme) {
  TzmStatusBarPainterClass p = TzmStatusBarXPPainter::Class();
  EXPECT_EQ(p->GetSizeGripSize(), (TSize{12, 12}));
  EXPECT_EQ(p->GetSeparatorSize(), 2) << "the room of a classic gap, so panels stand as in the other looks";
  TRect r = Rect(0, 0, 60, 20);
  p->DrawBorder(FBar, Canvas(), r);
  EXPECT_EQ(r, Rect(0, 2, 60, 20));
  EXPECT_EQ(InkBox(), Rect(0, 0, 60, 20)) << "the theme's background over the whole bar";
  Clear();
  p->DrawSizeGrip(FBar, Canvas(), Rect(0, 0, 40, 30));
  const TRect grip = InkBox();
  EXPECT_LE(grip.Right, 39) << "1 pixel in from the right";
  EXPECT_GE(grip.Left, 39 - 12);
  EXPECT_GE(grip.Top, 30 - 12);
}

}  // namespace
