// The tab painters and their factory: registration and the choice of a style, the class-level
// answers, the metric tables, tab heights and widths, cut captions, the navigator buttons'
// order, and pixel probes of each painter's drawing (the Tabs outline and its join to the page,
// the button frames, the flat band, navigator buttons, vertical text, the owner-draw hooks).
#include "PageControlTestSupport.h"
#include "lookandfeel/qvLookAndFeels.h"
#include "pagecontrol/qvPCConsts.h"
#include "platform/forms/ImgList.h"

namespace {

// ------------------------------------------------------------------ factory

class PaintersFactory_ : public TPageControlTest {};

TEST_F(PaintersFactory_, TheFourStylesInTheirOrder) {
  TqvPCPaintersFactory* factory = PaintersFactory();
  PaintersFactory()->UnregisterPainterClass(&TFixedPainter::StaticClass());
  ASSERT_EQ(4, factory->GetPainterClassCount());
  EXPECT_EQ(&TqvPCTabsPainter::StaticClass(), factory->GetPainterClasses(0));
  EXPECT_EQ(&TqvPCButtonsPainter::StaticClass(), factory->GetPainterClasses(1));
  EXPECT_EQ(&TqvPCFlatButtonsPainter::StaticClass(), factory->GetPainterClasses(2));
  EXPECT_EQ(&TqvPCFlatPainter::StaticClass(), factory->GetPainterClasses(3));
  EXPECT_EQ(&TqvPCFlatPainter::StaticClass(), factory->GetPainterClass(5));
  EXPECT_EQ(nullptr, factory->GetPainterClass(4));
  factory->RegisterPainterClass(&TqvPCTabsPainter::StaticClass());
  EXPECT_EQ(4, factory->GetPainterClassCount()) << "registered once";
}

struct TLookAndFeelCase {
  const char* Name;
  TqvLookAndFeelKind Kind;
  bool Native;
  bool Themes;
  TqvPCStyleID ByLookAndFeel;
  TqvPCStyleID Default;
};

class PainterStyleChoice : public TPageControlTest, public ::testing::WithParamInterface<TLookAndFeelCase> {};

TEST_P(PainterStyleChoice, ByLookAndFeel) {
  const TLookAndFeelCase& c = GetParam();
  ThemeEngine::SetEnabled(c.Themes);
  Pump();
  auto* lookAndFeel = MakeOwned<TqvLookAndFeel>(nullptr).release();
  lookAndFeel->SetKind(c.Kind);
  lookAndFeel->SetNativeStyle(c.Native);
  EXPECT_EQ(c.ByLookAndFeel, PaintersFactory()->GetStyleByLookAndFeel(lookAndFeel));
  EXPECT_EQ(c.Default, PaintersFactory()->GetDefaultStyleID(lookAndFeel));
  Free(lookAndFeel);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PainterStyleChoice,
    ::testing::Values(TLookAndFeelCase{"Standard", lfStandard, false, true, 1, 1},
                      TLookAndFeelCase{"Flat", lfFlat, false, true, 3, 1},
                      TLookAndFeelCase{"UltraFlat", lfUltraFlat, false, true, 5, 1},
                      TLookAndFeelCase{"UltraFlatNativeWithTheTheme", lfUltraFlat, true, true, -1, 1},
                      TLookAndFeelCase{"FlatNativeWithTheTheme", lfFlat, true, true, -1, 1},
                      TLookAndFeelCase{"UltraFlatNativeWithoutThemes", lfUltraFlat, true, false, 5, 1}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(PaintersFactory_, AnEmptyFactoryAndANilClassAreErrors) {
  TqvPCPaintersFactory empty;
  auto* lookAndFeel = MakeOwned<TqvLookAndFeel>(nullptr).release();
  EXPECT_EQ("TqvPCPaintersFactory.GetDefaultStyleID: There are no styles registered",
            MessageOf([&] { empty.GetDefaultStyleID(lookAndFeel); }));
  EXPECT_EQ(-1, empty.GetStyleByLookAndFeel(lookAndFeel));
  EXPECT_EQ("TqvPCPaintersFactory.GetPainterInstance: PCPainterClass is nil",
            MessageOf([&] { empty.CreatePainter(nullptr, nullptr); }));
  Free(lookAndFeel);
}

TEST(PainterClasses, ClassLevelAnswers) {
  struct TRow {
    TqvPCPainterClass Class;
    TqvPCStyleID Id;
    const char* Name;
    Integer Standard;
    bool MovesRow, Multi, Buttons;
  };
  const TRow rows[] = {
      {&TqvPCTabsPainter::StaticClass(), 1, "Tabs", tssTabs, true, false, false},
      {&TqvPCButtonsPainter::StaticClass(), 2, "Buttons", tssButtons, false, true, true},
      {&TqvPCFlatButtonsPainter::StaticClass(), 3, "FlatButtons", tssFlatButtons, false, true, true},
      {&TqvPCFlatPainter::StaticClass(), 5, "Flat", tssTabs, true, false, false},
  };
  for (const TRow& r : rows) {
    SCOPED_TRACE(r.Name);
    EXPECT_EQ(r.Id, r.Class->GetStyleID());
    EXPECT_EQ(r.Name, r.Class->GetStyleName());
    EXPECT_EQ(r.Standard, r.Class->GetStandardStyle());
    EXPECT_EQ(r.MovesRow, r.Class->MovesActiveRow());
    EXPECT_EQ(r.Multi, r.Class->AllowsMultiSelection());
    EXPECT_EQ(r.Buttons, r.Class->TabsAreButtons());
  }
  EXPECT_EQ(-1, TqvPCCustomPainter::StaticClass().GetStyleID());
}

TEST(PainterColors, TheLightFaceIsTwentyLighterPerChannelUpTo255) {
  ResetSysColors();
  const COLORREF face = ColorToRGB(clBtnFace), light = ColorToRGB(GetPCLightFaceColor());
  auto expected = [](Integer c) { return c > 235 ? 255 : c + 20; };
  EXPECT_EQ(expected(GetRValue(face)), GetRValue(light));
  EXPECT_EQ(expected(GetGValue(face)), GetGValue(light));
  EXPECT_EQ(expected(GetBValue(face)), GetBValue(light));
}

// ------------------------------------------------------------------ metrics

class PainterMetrics : public TPageControlTest {
 protected:
  void SetUp() override {
    TPageControlTest::SetUp();
    FControl = NewTabControl(300, 100);
    for (const char* c : {"One", "Two", "Three"}) FControl->GetTabs()->Add(c);
  }
  TqvPCStandardPainter* Painter(TqvPCStyleID AStyle) {
    FControl->SetStyle(AStyle);
    return static_cast<TqvPCStandardPainter*>(FControl->GetPCPainter());
  }
  Integer ZgHeight() {
    TqvCanvas* canvas = FControl->GetCanvas();
    canvas->SetFont(FControl->GetFont());
    return canvas->TextHeight("Zg");
  }
  TqvCustomTabControl* FControl = nullptr;
};

TEST_F(PainterMetrics, TablesByStyleForOtherAndActiveTabs) {
  struct TRow {
    TqvPCStyleID Style;
    Integer MinHeight;
    TPoint Intervals;
    TqvPCMargins ImageOther, ImageActive, TextOther, TextActive;
    TPoint SidesOther, SidesActive, CutActive;
  };
  const TRow rows[] = {
      // The Tabs painter adds 2 to the active tab's left text margin without images.
      {1, 18, {0, 0}, {6, 1, 0, 0}, {8, 1, 0, 3}, {5, 1, 5, -1}, {7, 1, 5, 2}, {2, 2}, {4, 4}, {4, 4}},
      {2, 20, {3, 3}, {6, -1, 0, 1}, {7, 0, 0, 0}, {6, 0, 4, 1}, {6, 0, 4, -1}, {2, 2}, {4, 2}, {3, 2}},
      {3, 20, {10, 3}, {6, -1, 0, 1}, {7, 0, 0, 0}, {6, 0, 4, 1}, {6, 0, 4, -1}, {2, 2}, {4, 2}, {3, 2}},
      {5, 17, {1, 6}, {2, 0, 0, 0}, {3, 0, 0, 0}, {5, 2, 3, -1}, {6, 2, 3, -1}, {2, 2}, {3, 3}, {3, 3}},
  };
  for (const TRow& r : rows) {
    SCOPED_TRACE(r.Style);
    TqvPCStandardPainter* p = Painter(r.Style);
    EXPECT_EQ(r.MinHeight, p->GetMinTabHeight());
    EXPECT_EQ(r.Intervals, p->GetTabsIntervals());
    EXPECT_EQ(r.ImageOther, p->GetImageMargins(1));
    EXPECT_EQ(r.ImageActive, p->GetImageMargins(0));
    EXPECT_EQ(r.TextOther, p->GetTextMargins(1));
    EXPECT_EQ(r.TextActive, p->GetTextMargins(0));
    EXPECT_EQ(r.SidesOther, p->GetTextSideMargins(1));
    EXPECT_EQ(r.SidesActive, p->GetTextSideMargins(0));
    EXPECT_EQ(r.SidesOther, p->GetTextSideMarginsCut(1));
    EXPECT_EQ(r.CutActive, p->GetTextSideMarginsCut(0));
    EXPECT_EQ(6, p->GetImageTextGap());
    EXPECT_EQ((TPoint{4, 4}), p->GetMinTabVisiblePart());
  }
  FControl->SetRotate(true);
  EXPECT_EQ((TPoint{6, 1}), Painter(5)->GetTabsIntervals()) << "with Rotate a row keeps 1 pixel between tabs";
}

TEST_F(PainterMetrics, TabHeightReplacesTheMeasureOnlyAboveItAndTheMinimum) {
  TqvPCStandardPainter* tabs = Painter(1);
  const Integer measured = std::max(ZgHeight() + 8 - 3, 18);
  EXPECT_EQ(measured, tabs->GetTabNormalHeight());
  FControl->SetTabHeight(SmallInt(measured + 1));
  EXPECT_EQ(measured + 1, tabs->GetTabNormalHeight());
  FControl->SetTabHeight(17);
  EXPECT_EQ(measured, tabs->GetTabNormalHeight()) << "below the minimum";
  FControl->SetTabHeight(2);
  EXPECT_EQ(measured, tabs->GetTabNormalHeight()) << "the application's value has no effect";
  TqvPCStandardPainter* flat = Painter(5);
  const Integer flatMeasured = std::max(ZgHeight() + 8 - 4, 17);
  FControl->SetTabHeight(SmallInt(flatMeasured + 4 + 1));
  EXPECT_EQ(flatMeasured + 1, flat->GetTabNormalHeight()) << "the flat painter takes 4 off TabHeight";
}

TEST_F(PainterMetrics, TabWidthTenIsHonouredByTheStandardPaintersOnly) {
  FControl->SetTabWidth(10);
  for (TqvPCStyleID style : {1, 2, 3}) {
    Painter(style);
    EXPECT_EQ(10, VisibleTab(FControl, 0)->GetNormalWidth()) << style;
  }
  Painter(5);
  EXPECT_GT(VisibleTab(FControl, 0)->GetNormalWidth(), 10) << "below the flat painter's minimum of 12";
}

TEST_F(PainterMetrics, WidthsFromTheCaption) {
  TqvCanvas* canvas = FControl->GetCanvas();
  canvas->SetFont(FControl->GetFont());
  FControl->GetTabs()->Add("A much longer caption");
  Painter(1);
  EXPECT_EQ(canvas->TextWidth("A much longer caption") + 12, VisibleTab(FControl, 3)->GetNormalWidth());
  EXPECT_EQ(42, VisibleTab(FControl, 0)->GetNormalWidth()) << "the minimum width";
  Painter(5);
  EXPECT_EQ(canvas->TextWidth("One") + 9, VisibleTab(FControl, 0)->GetNormalWidth());
}

struct TCutCase {
  const char* Name;
  const char* Caption;
  // The available length as a function of text widths of the control's font.
  std::function<Integer(TqvCanvas*)> Available;
  const char* Text;
};

class PainterCutCaption : public PainterMetrics, public ::testing::WithParamInterface<TCutCase> {};

TEST_P(PainterCutCaption, Text) {
  TqvCanvas* canvas = FControl->GetCanvas();
  canvas->SetFont(FControl->GetFont());
  TqvPCStandardPainter* painter = Painter(2);
  FControl->GetTabs()->Put(1, GetParam().Caption);
  // The second tab (not active): side margins of 2 and 2.
  FControl->SetTabWidth(SmallInt(GetParam().Available(canvas) + 4));
  EXPECT_EQ(GetParam().Text, painter->CalculateTabImageAndText(1).Text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PainterCutCaption,
    ::testing::Values(
        TCutCase{"Fits", "Channels", [](TqvCanvas* c) { return c->TextWidth("Channels"); }, "Channels"},
        TCutCase{"LongestPrefixWithEllipsis", "Channels", [](TqvCanvas* c) { return c->TextWidth("Chan..."); },
                 "Chan..."},
        TCutCase{"AnAcceleratorPairIsOneCharacter", "C&hannels", [](TqvCanvas* c) { return c->TextWidth("Ch..."); },
                 "Ch..."},
        TCutCase{"WithoutEllipsisWhenTheFirstCharacterAndItDoNotFit", "Wide",
                 [](TqvCanvas* c) { return c->TextWidth("W") + 1; }, "W"},
        TCutCase{"NothingFits", "Wide", [](TqvCanvas*) { return 0; }, ""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(PainterMetrics, TheGoButtonStandsNextToTheTabs) {
  FControl->SetOptions(pcoBit(pcoGoDialog));
  for (Integer i = 0; i < 10; ++i) FControl->GetTabs()->Add("Tab number " + IntToStr(i));
  auto* painter = Painter(2);
  ASSERT_EQ(nbArrows | nbBit(nbGoDialog), FControl->GetNavigatorButtons());
  auto infos = painter->GetNavigatorButtonInfos();
  ASSERT_EQ(3u, infos.size());
  EXPECT_EQ(nbGoDialog, infos[0].Button) << "right end: go, back, forward";
  EXPECT_EQ(Rect(300 - 52, 0, 300 - 40, 20), infos[0].Bounds);
  EXPECT_EQ(Rect(300 - 20, 0, 300, 20), infos[2].Bounds);
  EXPECT_EQ(infos[0].Bounds, painter->GetGoDialogButtonBounds());
  FControl->SetNavigatorPosition(npLeftTop);
  infos = painter->GetNavigatorButtonInfos();
  EXPECT_EQ(nbTopLeft, infos[0].Button) << "left end: back, forward, go";
  EXPECT_EQ(Rect(40, 0, 52, 20), infos[2].Bounds);
  FControl->SetTabPosition(tpBottom);
  EXPECT_EQ(80, painter->GetNavigatorButtonInfos()[0].Bounds.Top) << "on the tab side";
  FControl->SetTabPosition(tpLeft);
  EXPECT_EQ(13, painter->GetGoDialogButtonBounds().Height()) << "13 long on a vertical line";
}

TEST_F(PainterMetrics, TheTabsPainterRaisesTheActiveTabByItsSide) {
  Painter(1);
  EXPECT_EQ((TqvTabCorrection{-2, -2, 2, 1}), VisibleTab(FControl, 0)->GetCorrection());
  EXPECT_EQ(TqvTabCorrection{}, VisibleTab(FControl, 1)->GetCorrection());
  FControl->SetTabPosition(tpBottom);
  EXPECT_EQ((TqvTabCorrection{-2, -1, 2, 2}), VisibleTab(FControl, 0)->GetCorrection());
  FControl->SetTabPosition(tpLeft);
  EXPECT_EQ((TqvTabCorrection{-2, -2, 1, 2}), VisibleTab(FControl, 0)->GetCorrection());
  FControl->SetTabPosition(tpRight);
  EXPECT_EQ((TqvTabCorrection{-1, -2, 2, 2}), VisibleTab(FControl, 0)->GetCorrection());
  Painter(5);
  EXPECT_EQ((TqvTabCorrection{-1, -1, 1, 1}), VisibleTab(FControl, 0)->GetCorrection());
  Painter(2);
  EXPECT_EQ(TqvTabCorrection{}, VisibleTab(FControl, 0)->GetCorrection());
}

TEST_F(PainterMetrics, TabsAreasOfEachPainter) {
  TqvPCTabsArea area = Painter(1)->CalculateTabsArea(0);
  EXPECT_EQ(Rect(0, 0, 300, 100), area.Bounds);
  EXPECT_EQ(Rect(2, 2, 300, 100), area.StartRect);
  EXPECT_EQ(298, area.LineLength);
  EXPECT_EQ(1, area.BeforeBandAdjust);
  area = Painter(1)->CalculateTabsArea(nbArrows);
  EXPECT_EQ(300 - 40 - 2, area.LineLength);
  area = Painter(5)->CalculateTabsArea(0);
  EXPECT_EQ(Rect(6, 3, 294, 100), area.StartRect);
  EXPECT_EQ(Rect(5, 2, 295, 100), area.Bounds);
  EXPECT_EQ(288, area.LineLength);
  EXPECT_EQ(5, area.BandGap);
  area = Painter(5)->CalculateTabsArea(nbArrows);
  EXPECT_EQ(300 - 32 - 12, area.LineLength) << "two 13-pixel buttons 4 apart, 1 in from each end";
  area = Painter(2)->CalculateTabsArea(nbArrows);
  EXPECT_EQ(Rect(0, 0, 260, 100), area.Bounds);
  EXPECT_EQ(3, area.BandGap);
}

// ------------------------------------------------------------------ drawing

class PainterDrawing : public TPageControlTest {
 protected:
  void SetUp() override {
    TPageControlTest::SetUp();
    FControl = NewTabControl(300, 100, &FForm);
    FControl->SetColor(clYellow);
    FControl->SetTabWidth(60);
    for (const char* c : {"One", "Two", "Three"}) FControl->GetTabs()->Add(c);
  }
  void ShowWith(TqvPCStyleID AStyle) {
    FControl->SetStyle(AStyle);
    Show(FForm);
    Repaint(FControl);
  }
  TRgb At(Integer x, Integer y) { return ControlPixel(FControl, {x, y}); }
  Integer TabHeight() const { return FControl->GetTabs()->GetMeasuredTabHeight(); }

  TForm* FForm = nullptr;
  TqvCustomTabControl* FControl = nullptr;
};

TEST_F(PainterDrawing, TheTabsOutlineOfAnInactiveTab) {
  ShowWith(1);
  // The third tab: (122, 2) - (182, 2 + h), clear of the active tab that grows over the second.
  const Integer L = 122, T = 2, R = 182, B = 2 + TabHeight();
  ASSERT_EQ(Rect(L, T, R, B), VisibleTab(FControl, 2)->GetRect());
  struct TProbe {
    Integer X, Y;
    TColor Color;
  };
  const TProbe probes[] = {
      {L, B - 1, clBtnHighlight},     {L, T + 2, clBtnHighlight},     {L + 1, T + 1, clBtnHighlight},
      {L + 2, T, clBtnHighlight},     {R - 3, T, clBtnHighlight},     {L + 1, B - 1, cl3DLight},
      {L + 1, T + 2, cl3DLight},      {L + 2, T + 1, cl3DLight},      {R - 3, T + 1, cl3DLight},
      {R - 1, B - 1, cl3DDkShadow},   {R - 1, T + 2, cl3DDkShadow},   {R - 2, T + 1, cl3DDkShadow},
      {R - 2, B - 1, clBtnShadow},    {R - 2, T + 2, clBtnShadow},    {L, T, clBtnFace},
      {L + 1, T, clBtnFace},          {L, T + 1, clBtnFace},          {R - 2, T, clBtnFace},
      {R - 1, T, clBtnFace},          {R - 1, T + 1, clBtnFace},      {L + 10, T + 5, clBtnFace},
      {L + 10, T - 1, clYellow},      {200, 5, clYellow},
  };
  for (const TProbe& p : probes) EXPECT_EQ(Rgb(p.Color), At(p.X, p.Y)) << "(" << p.X << "," << p.Y << ")";
}

TEST_F(PainterDrawing, TheActiveTabGrowsAndJoinsThePage) {
  ShowWith(1);
  const Integer h = TabHeight();
  ASSERT_EQ(Rect(0, 0, 64, 3 + h), VisibleTab(FControl, 0)->GetRect());
  // The page's border: its outer line right under the tabs, its inner line below.
  EXPECT_EQ(Rgb(clBtnHighlight), At(200, h + 2));
  EXPECT_EQ(Rgb(cl3DLight), At(200, h + 3));
  // Under the active tab the border gives way to the tab's face.
  EXPECT_EQ(Rgb(clBtnFace), At(30, h + 2));
  EXPECT_EQ(Rgb(clBtnFace), At(30, h + 3));
  EXPECT_EQ(Rgb(clBtnHighlight), At(0, h + 3)) << "the tab starts at the control's edge";
  EXPECT_EQ(Rgb(cl3DLight), At(1, h + 3));
  EXPECT_EQ(Rgb(clBtnHighlight), At(2, 0)) << "two pixels higher than the others";
  EXPECT_EQ(Rgb(cl3DDkShadow), At(63, 10));
  EXPECT_EQ(Rgb(clBtnShadow), At(62, 10)) << "it covers its neighbour's left edge";
  EXPECT_EQ(Rect(2, h + 4, 298, 98), FControl->GetPCPainter()->GetDisplayRect());
}

// Deselecting takes no layout, yet the formerly active tab shrinks back at once: it is drawn
// and hit as after a layout, and the control paints every pixel.
class PainterDeselecting : public PainterDrawing, public ::testing::WithParamInterface<TqvPCStyleID> {};

TEST_P(PainterDeselecting, LeavesNoTabEnlarged) {
  ShowWith(GetParam());
  const TRect enlarged = VisibleTab(FControl, 0)->GetRect();
  const TRect full = VisibleTab(FControl, 0)->GetFullRect();
  ASSERT_NE(enlarged, full) << "the active tab carries a correction";
  FControl->SetTabIndex(-1);
  RepaintOverSentinel(FControl);
  EXPECT_EQ(full, VisibleTab(FControl, 0)->GetRect());
  EXPECT_EQ(-1, FControl->GetTabAt(enlarged.Left + 10, enlarged.Top));
  const std::vector<COLORREF> deselected = ControlPixelsOf(FControl);
  EXPECT_EQ(0, std::count(deselected.begin(), deselected.end(), SentinelRGB)) << "unpainted pixels";
  FControl->RequestLayout();
  RepaintOverSentinel(FControl);
  EXPECT_TRUE(deselected == ControlPixelsOf(FControl)) << "drawn otherwise than after a layout";
}

INSTANTIATE_TEST_SUITE_P(TabsAndFlat, PainterDeselecting, ::testing::Values(TqvPCStyleID(1), TqvPCStyleID(5)));

TEST_F(PainterDrawing, TheButtonsPainterSinksTheActiveTab) {
  ShowWith(2);
  const TRect active = VisibleTab(FControl, 0)->GetRect(), other = VisibleTab(FControl, 1)->GetRect();
  EXPECT_EQ(Rgb(cl3DDkShadow), At(active.Left, active.Top + 5));
  EXPECT_EQ(Rgb(clBtnHighlight), At(active.Right - 1, active.Top + 5));
  EXPECT_EQ(Rgb(clBtnHighlight), At(other.Left, other.Top + 5));
  EXPECT_EQ(Rgb(cl3DDkShadow), At(other.Right - 1, other.Top + 5));
  EXPECT_EQ(Rgb(clYellow), At(other.Left + 4, other.Top + 3)) << "an inactive button has the control's colour";
  EXPECT_EQ(Rgb(clYellow), At(other.Right + 1, other.Top + 5)) << "3 pixels between buttons";
}

TEST_F(PainterDrawing, TheFlatPainterOutlinesOnlyTheActiveTabOnItsBand) {
  ShowWith(5);
  const TRect active = VisibleTab(FControl, 0)->GetRect(), other = VisibleTab(FControl, 1)->GetRect();
  EXPECT_EQ(Rgb(clWhite), At(active.Left, active.Top + 4));
  EXPECT_EQ(Rgb(clWhite), At(active.Left + 4, active.Top));
  EXPECT_EQ(Rgb(clBtnText), At(active.Right - 1, active.Top + 4));
  EXPECT_EQ(Rgb(clBtnFace), At(active.Left + 3, active.Bottom - 1)) << "open towards the page";
  EXPECT_EQ(Rgb(GetPCLightFaceColor()), At(other.Left + 3, other.Top + 3));
  const TRect band = FControl->GetBeforeBand();
  EXPECT_EQ(Rgb(GetPCLightFaceColor()), At(band.Right - 2, band.Top + 1)) << "the band after the last tab";
  EXPECT_EQ(Rgb(clYellow), At(150, 80)) << "the page is the control's colour";
}

TEST_F(PainterDrawing, TheFlatButtonsPainterSinksTheActiveTabAndEtchesTheGaps) {
  ShowWith(3);
  const TRect active = VisibleTab(FControl, 0)->GetRect();
  const TRect second = VisibleTab(FControl, 1)->GetRect(), third = VisibleTab(FControl, 2)->GetRect();
  EXPECT_EQ(Rgb(cl3DDkShadow), At(active.Left, active.Top + 5));
  EXPECT_EQ(Rgb(clBtnHighlight), At(active.Left + 5, active.Top + 2)) << "filled with the highlight colour";
  EXPECT_EQ(Rgb(clYellow), At(second.Left, second.Top + 5)) << "no frame on an inactive tab";
  // 10 pixels between two tabs: the etched line in the middle.
  ASSERT_EQ(second.Right + 10, third.Left);
  EXPECT_EQ(Rgb(clBtnShadow), At(second.Right + 4, second.Top + 5));
  EXPECT_EQ(Rgb(clBtnHighlight), At(second.Right + 5, second.Top + 5));
  EXPECT_EQ(Rgb(clYellow), At(second.Right + 2, second.Top + 5));
}

TEST_F(PainterDrawing, TheThemedTabsPainterDrawsTheThemesTabsAndPane) {
  ShowWith(1);
  FControl->GetLookAndFeel()->SetNativeStyle(true);
  Repaint(FControl);
  ASSERT_TRUE(FControl->GetPCPainter()->IsNativePainting());
  const TRect active = VisibleTab(FControl, 0)->GetRect(), other = VisibleTab(FControl, 2)->GetRect();
  EXPECT_EQ(Rgb(clWhite), At(active.Left + 3, active.Top + 3)) << "the selected tab item";
  EXPECT_NE(Rgb(clBtnFace), At(other.Left + 3, other.Top + 4)) << "a themed face, not the classic one";
  const TRect frame = FControl->GetPCPainter()->GetFrameRect();
  const TRect display = FControl->GetPCPainter()->GetDisplayRect();
  EXPECT_NE(frame, display) << "inside the themed pane's margins";
  EXPECT_EQ(Rgb(clWhite), At(display.Left + 5, display.Top + 5));
  ThemeEngine::SetEnabled(false);
  Pump();
  EXPECT_FALSE(FControl->GetPCPainter()->IsNativePainting());
  EXPECT_EQ(frame, FControl->GetPCPainter()->GetDisplayRect());
}

TEST_F(PainterDrawing, NavigatorButtonsAndTheirStates) {
  for (Integer i = 0; i < 6; ++i) FControl->GetTabs()->Add("More " + IntToStr(i));
  ShowWith(2);
  const auto& infos = static_cast<TqvPCStandardPainter*>(FControl->GetPCPainter())->GetNavigatorButtonInfos();
  const TRect back = infos[0].Bounds, forward = infos[1].Bounds;
  ASSERT_EQ(nbsDisabled, FControl->GetNavigatorButtonState(nbTopLeft));
  EXPECT_EQ(Rgb(cl3DLight), At(back.Left, back.Top + 5)) << "the raised frame";
  EXPECT_EQ(Rgb(cl3DDkShadow), At(back.Right - 1, back.Top + 5));
  auto shows = [&](const TRect& r, TColor c) {
    for (Integer y = r.Top + 2; y < r.Bottom - 2; ++y)
      for (Integer x = r.Left + 2; x < r.Right - 2; ++x)
        if (At(x, y) == Rgb(c)) return true;
    return false;
  };
  EXPECT_TRUE(shows(back, clBtnShadow)) << "a disabled glyph is embossed";
  EXPECT_TRUE(shows(back, clBtnHighlight));
  EXPECT_TRUE(shows(forward, clBtnText));
  EXPECT_FALSE(shows(forward, clBtnShadow));
  // The forward glyph points right: its base of 9 pixels on the left, its tip on the right.
  auto column = [&](const TRect& r, Integer x) {
    Integer n = 0;
    for (Integer y = r.Top + 2; y < r.Bottom - 2; ++y) n += At(x, y) == Rgb(clBtnText);
    return n;
  };
  Integer first = -1, last = -1;
  for (Integer x = forward.Left + 2; x < forward.Right - 2; ++x)
    if (column(forward, x) > 0) {
      if (first == -1) first = x;
      last = x;
    }
  EXPECT_EQ(9, column(forward, first));
  EXPECT_EQ(1, column(forward, last));
  EXPECT_EQ(4, last - first);
}

TEST_F(PainterDrawing, VerticalTextIsDrawnTurned) {
  FControl->SetTabPosition(tpLeft);
  FControl->SetHeight(250);
  ShowWith(1);
  const TRect r = VisibleTab(FControl, 1)->GetRect();
  EXPECT_GT(r.Height(), r.Width()) << "a tall tab";
  EXPECT_TRUE(ShowsInk(FControl, qvDeflatedRect(r, 2), clBtnText, clBtnFace));
  ASSERT_NE(nullptr, VisibleTab(FControl, 1)->GetRotatedText());
  EXPECT_GT(VisibleTab(FControl, 1)->GetRotatedText()->GetHeight(),
            VisibleTab(FControl, 1)->GetRotatedText()->GetWidth());
}

// A turned caption stands on its tab's own face: a pixel of its rectangle that is not ink (ink
// changes with the font colour) shows the face the tab shows beside the caption, in the same
// line across the tab (a themed face is a gradient across it), never a box of another colour.
struct TTurnedCaptionCase {
  const char* Name;
  TqvPCStyleID Style;
  TqvTabPosition Position;
  bool Native;
  friend void PrintTo(const TTurnedCaptionCase& c, std::ostream* os) { *os << c.Name; }
};

class PainterTurnedCaption : public PainterDrawing, public ::testing::WithParamInterface<TTurnedCaptionCase> {};

TEST_P(PainterTurnedCaption, StandsOnTheTabsOwnFace) {
  const TTurnedCaptionCase& c = GetParam();
  FForm->SetClientHeight(280);
  FControl->SetHeight(250);
  FControl->SetTabPosition(c.Position);
  FControl->GetLookAndFeel()->SetNativeStyle(c.Native);
  ShowWith(c.Style);
  ASSERT_EQ(c.Native, FControl->GetPCPainter()->IsNativePainting());
  const std::vector<COLORREF> black = ControlPixelsOf(FControl);
  FControl->GetFont()->SetColor(clRed);
  Repaint(FControl);
  const std::vector<COLORREF> red = ControlPixelsOf(FControl);
  const Integer width = FControl->GetClientWidth();
  auto pixel = [&](Integer x, Integer y) { return black[size_t(y * width + x)]; };
  // The inactive tabs: the active one may carry the dotted focus frame.
  for (Integer index : {1, 2}) {
    const TRect text = static_cast<TqvPCStandardPainter*>(FControl->GetPCPainter())->CalculateTabImageAndText(index).TextRect;
    ASSERT_GT(text.Height(), text.Width()) << "a turned caption";
    Integer checked = 0, ink = 0;
    for (Integer x = text.Left; x < text.Right; ++x) {
      // The face of this line across the tab, where it is the same on both sides of the caption.
      const COLORREF face = pixel(x, text.Bottom + 1);
      if (pixel(x, text.Top - 2) != face) continue;
      for (Integer y = text.Top; y < text.Bottom; ++y) {
        if (black[size_t(y * width + x)] != red[size_t(y * width + x)]) {
          ++ink;
          continue;
        }
        ++checked;
        ASSERT_EQ(TRgb{pixel(x, y)}, TRgb{face}) << "tab " << index << " at " << x << "," << y;
      }
    }
    EXPECT_GT(ink, 0) << "tab " << index << ": the caption shows";
    EXPECT_GT(checked, text.Height() * text.Width() / 2) << "tab " << index << ": most of the rectangle is face";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sides, PainterTurnedCaption,
    ::testing::Values(TTurnedCaptionCase{"TabsLeft", 1, tpLeft, false},
                      TTurnedCaptionCase{"TabsRight", 1, tpRight, false},
                      TTurnedCaptionCase{"ThemedLeft", 1, tpLeft, true},
                      TTurnedCaptionCase{"ThemedRight", 1, tpRight, true},
                      TTurnedCaptionCase{"FlatLeft", 5, tpLeft, false}),
    [](const auto& info) { return std::string(info.param.Name); });

// A wide image turns with the tab's text: measured, placed and drawn in the text's own frame,
// it stands inside its tab, beside the caption, as large as it is.
struct TTurnedImageCase {
  const char* Name;
  TqvTabPosition Position;
  bool Rotate;
  TSize Drawn;  // on the screen
  friend void PrintTo(const TTurnedImageCase& c, std::ostream* os) { *os << c.Name; }
};

class PainterTurnedImage : public PainterDrawing, public ::testing::WithParamInterface<TTurnedImageCase> {};

TEST_P(PainterTurnedImage, StandsInItsTabBesideTheCaption) {
  const TTurnedImageCase& c = GetParam();
  auto* images = New<TImageList>(FForm);
  images->SetSize(24, 10);
  TBitmap picture;
  picture.SetPixelFormat(pf32bit);
  picture.SetSize(24, 10);
  picture.GetCanvas()->GetBrush()->SetColor(clRed);
  picture.GetCanvas()->FillRect(Rect(0, 0, 24, 10));
  images->Add(&picture, nullptr);
  FForm->SetClientHeight(280);
  FControl->SetBounds(10, 10, 300, 250);
  FControl->SetTabWidth(0);
  FControl->SetTabPosition(c.Position);
  FControl->SetRotate(c.Rotate);
  FControl->SetImages(images);
  FControl->GetTabs()->GetTab(0)->SetImageIndex(-1);
  FControl->GetTabs()->GetTab(1)->SetImageIndex(0);
  ShowWith(1);
  const TRect tab = VisibleTab(FControl, 1)->GetRect();
  const TqvPCOutTabImageAndTextData content =
      static_cast<TqvPCStandardPainter*>(FControl->GetPCPainter())->CalculateTabImageAndText(1);
  TRect red = InkBoxOf(FControl->GetClientWidth(), FControl->GetClientHeight(), ~COLORREF(0),
                       [&](int x, int y) { return At(x, y) == Rgb(clRed) ? RGB(255, 0, 0) : ~COLORREF(0); });
  EXPECT_EQ(c.Drawn, (TSize{red.Width(), red.Height()}));
  EXPECT_EQ(content.ImageRect, red);
  EXPECT_EQ(red, qvIntersectRect(red, qvDeflatedRect(tab, 2))) << "inside its tab " << tab;
  EXPECT_TRUE(qvIntersectRect(red, content.TextRect).IsEmpty()) << "clear of the caption " << content.TextRect;
  EXPECT_EQ(content.TextRect, qvIntersectRect(content.TextRect, tab)) << "the caption inside its tab " << tab;
}

INSTANTIATE_TEST_SUITE_P(
    Positions, PainterTurnedImage,
    ::testing::Values(TTurnedImageCase{"Top", tpTop, false, {24, 10}},
                      TTurnedImageCase{"TopRotated", tpTop, true, {10, 24}},
                      TTurnedImageCase{"Left", tpLeft, false, {10, 24}},
                      TTurnedImageCase{"LeftRotated", tpLeft, true, {24, 10}},
                      TTurnedImageCase{"Right", tpRight, false, {10, 24}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(PainterDrawing, OwnerDrawingTakesOverATabOrItsFont) {
  std::vector<Integer> drawn;
  FControl->SetOwnerDraw(true);
  FControl->OnDrawTab = [&](TqvCustomTabControl* AControl, TqvTab* ATab, bool& DefaultDraw) {
    drawn.push_back(ATab->GetIndex());
    if (ATab->GetIndex() != 1) return;
    AControl->GetCanvas()->SetBrushColor(clLime);
    AControl->GetCanvas()->FillRect(ATab->GetRect());
    DefaultDraw = false;
  };
  FControl->OnDrawTabEx = [](TqvCustomTabControl*, TqvTab*, TFont* Font) { Font->SetColor(clRed); };
  ShowWith(2);
  EXPECT_FALSE(drawn.empty());
  const TRect second = VisibleTab(FControl, 1)->GetRect(), third = VisibleTab(FControl, 2)->GetRect();
  EXPECT_EQ(Rgb(clLime), At(second.Left, second.Top + 5)) << "left to the handler";
  EXPECT_EQ(Rgb(clLime), At(second.Left + 30, second.Top + 8));
  EXPECT_TRUE(ShowsInk(FControl, qvDeflatedRect(third, 3), clRed, clYellow));
}

TEST_F(PainterDrawing, HiddenTabsShowOnlyThePage) {
  FControl->SetHideTabs(true);
  ShowWith(1);
  EXPECT_EQ(Rgb(clYellow), At(30, 10));
}

}  // namespace
