// The view info and the view painter: the calculation protocol and the mouse position it takes,
// measuring for a master, the explicit client bounds, where a detail's site is shown, the
// background that fills what no cell painted (colour, style, bitmap) and the focus frame.
#include "platform/forms/StdCtrls.h"
#include "qvGridTestSupport.h"

namespace {

using TInfoLog = std::vector<std::string>;

// Notes its protocol; its painter paints the rectangles it is given.
class TProtocolViewInfo : public TqvCustomGridViewInfo {
  QJ_INLINE_CLASS(TProtocolViewInfo, TqvCustomGridViewInfo)
 public:
  using TqvCustomGridViewInfo::TqvCustomGridViewInfo;
  void BeforeCalculating() override {
    Log.push_back("BeforeCalculating");
    TqvCustomGridViewInfo::BeforeCalculating();
  }
  void Calculate() override { Log.push_back("Calculate"); }
  void AfterCalculating() override {
    Log.push_back("AfterCalculating");
    TqvCustomGridViewInfo::AfterCalculating();
  }
  void VisibilityChanged(bool AVisible) override {
    Log.push_back(AVisible ? "VisibilityChanged(shown)" : "VisibilityChanged(hidden)");
    TqvCustomGridViewInfo::VisibilityChanged(AVisible);
  }
  void GetHeight(Integer AMaxHeight, Integer& AHeight, bool& AFullyVisible) override {
    MeasuringSeen = IsMeasuring();
    UpdateVisibility(true);
    TqvCustomGridViewInfo::GetHeight(AMaxHeight, AHeight, AFullyVisible);
  }
  void UseClientBounds(const TRect& R) { SetClientBounds(R); }

  TInfoLog Log;
  bool MeasuringSeen = false;
};

// What the painter paints: cells of a colour, a focus frame.
struct TPaintOrder {
  std::vector<TRect> Cells;
  bool FocusFrame = false;
  bool HideFocusRect = false;
};

class TProtocolPainter : public TqvCustomGridPainter {
  QJ_INLINE_CLASS(TProtocolPainter, TqvCustomGridPainter)
 public:
  using TqvCustomGridPainter::TqvCustomGridPainter;
  void PaintContent() override;
  void DrawBackground() override;
  void AfterPaint() override;
};

class TProtocolController : public TqvCustomGridController {
  QJ_INLINE_CLASS(TProtocolController, TqvCustomGridController)
 public:
  using TqvCustomGridController::TqvCustomGridController;
  void InitScrollBarsParameters() override;
};

class TProtocolView : public TBareGridView {
  QJ_INLINE_CLASS(TProtocolView, TBareGridView)
 public:
  using TBareGridView::TBareGridView;
  TProtocolViewInfo* Info() const { return static_cast<TProtocolViewInfo*>(GetViewInfo()); }
  TPaintOrder Order;
  TInfoLog ClipLog;
  bool HScrollBar = false;
  bool VScrollBar = false;

 protected:
  TqvGridViewHandlerClass GetControllerClass() const override { return &TProtocolController::StaticClass(); }
  TqvGridViewHandlerClass GetPainterClass() const override { return &TProtocolPainter::StaticClass(); }
  TqvGridViewHandlerClass GetViewInfoClass() const override { return &TProtocolViewInfo::StaticClass(); }
};

constexpr TRect kFocusFrame{20, 20, 60, 40};

inline void TProtocolPainter::PaintContent() {
  const TPaintOrder& order = static_cast<TProtocolView*>(GetGridView())->Order;
  for (const TRect& r : order.Cells) {
    GetCanvas()->SetBrushColor(clRed);
    GetCanvas()->FillRect(r);
    ExcludeFromBackground(r);
  }
  if (order.FocusFrame) {
    GetCanvas()->SetBrushColor(clWhite);
    GetCanvas()->FillRect(kFocusFrame);
    ExcludeFromBackground(kFocusFrame);
    DrawFocusRect(kFocusFrame, order.HideFocusRect);
  }
}

inline void TProtocolPainter::DrawBackground() {
  TqvCustomGridPainter::DrawBackground();
  const bool visible = GetCanvas()->RectVisible(GetViewInfo()->GetBounds());
  static_cast<TProtocolView*>(GetGridView())->ClipLog.push_back(visible ? "background: bounds visible"
                                                                        : "background: bounds hidden");
}

inline void TProtocolPainter::AfterPaint() {
  TqvCustomGridPainter::AfterPaint();
  const bool visible = GetCanvas()->RectVisible(GetViewInfo()->GetBounds());
  static_cast<TProtocolView*>(GetGridView())->ClipLog.push_back(visible ? "after: bounds visible"
                                                                        : "after: bounds hidden");
}

inline void TProtocolController::InitScrollBarsParameters() {
  auto* view = static_cast<TProtocolView*>(GetGridView());
  SetScrollBarInfo(sbHorizontal, 0, 100, 1, 10, 0, view->HScrollBar, true);
  SetScrollBarInfo(sbVertical, 0, 100, 1, 10, 0, view->VScrollBar, true);
}

class GridViewInfo : public TGridTest {
 protected:
  void SetUp() override {
    TGridTest::SetUp();
    FLevel = New<TqvGridLevel>(FForm);
    FGrid->GetRootLevel()->AddChild(FLevel);
    FView = New<TProtocolView>(FForm);
    FLevel->SetGridView(FView);
    Pump();
  }
  TqvGridSite* Site() const { return FView->GetSite(); }
  TColor PixelAt(TBitmap* ABitmap, Integer X, Integer Y) { return ABitmap->GetCanvas()->GetPixel(X, Y); }

  TqvGridLevel* FLevel = nullptr;
  TProtocolView* FView = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Calculation

TEST_F(GridViewInfo, ACalculationRunsInOrderAndUpdatesTheVisibility) {
  FView->Info()->Log.clear();
  FView->Info()->MainCalculate(Rect(0, 0, 120, 90));
  EXPECT_EQ(FView->Info()->Log,
            TInfoLog({"BeforeCalculating", "Calculate", "AfterCalculating", "VisibilityChanged(shown)"}));
  EXPECT_EQ(FView->Info()->GetBounds(), Site()->GetClientBounds());
  EXPECT_EQ(Site()->GetBoundsRect(), Rect(0, 0, 120, 90));
}

struct TMousePosCase {
  const char* Name;
  std::function<void(TProtocolView*)> Prepare;
  bool Known;
};

class GridViewInfoMousePos : public GridViewInfo, public ::testing::WithParamInterface<TMousePosCase> {};

TEST_P(GridViewInfoMousePos, TakenBeforeEachCalculation) {
  MoveTo(Site(), {33, 44});
  GetParam().Prepare(FView);
  TqvGridSite* site = Site();
  FView->Info()->MainCalculate(site->GetBoundsRect());
  if (GetParam().Known)
    EXPECT_EQ(FView->Info()->GetMousePos(), Point(33, 44));
  else
    EXPECT_EQ(FView->Info()->GetMousePos(), Point(INT_MAX, INT_MAX));
}

const TMousePosCase kMousePosCases[] = {
    {"Shown", [](TProtocolView*) {}, true},
    {"Designing", [](TProtocolView* v) { v->GetGrid()->SetDesigning(true); }, false},
};
INSTANTIATE_TEST_SUITE_P(GridViewInfo, GridViewInfoMousePos, ::testing::ValuesIn(kMousePosCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(GridViewInfo, ASiteWithoutAWindowKnowsNoMousePosition) {
  auto* loose = New<TProtocolView>(FForm);
  loose->SetControl(FGrid);
  ASSERT_FALSE(loose->GetSite()->HandleAllocated());
  loose->Info()->VisibilityChanged(false);
  EXPECT_EQ(loose->Info()->GetMousePos(), Point(INT_MAX, INT_MAX));
}

TEST_F(GridViewInfo, MeasuringForAMasterSetsTheFlagAndLeavesTheSiteAlone) {
  TProtocolViewInfo* info = FView->Info();
  Integer height = 40;
  bool fully = true;
  info->Log.clear();
  info->MeasureHeight(500, height, fully);
  EXPECT_TRUE(info->MeasuringSeen);
  EXPECT_FALSE(info->IsMeasuring());
  EXPECT_TRUE(info->Log.empty()) << "no visibility change while measuring";
  info->GetHeight(500, height, fully);
  EXPECT_FALSE(info->MeasuringSeen);
}

struct TMeasureCase {
  const char* Name;
  bool HScrollBar, VScrollBar;
  Integer Height, Width, MaxWidth;
  // Added to the height and width: the bars' sizes.
  bool AddsHBar, AddsVBar;
  bool CutToMax;
};

class GridViewInfoMeasure : public GridViewInfo, public ::testing::WithParamInterface<TMeasureCase> {};

TEST_P(GridViewInfoMeasure, TheScrollBarsAddToTheSizeAndTheWidthIsCut) {
  const TMeasureCase& c = GetParam();
  FView->HScrollBar = c.HScrollBar;
  FView->VScrollBar = c.VScrollBar;
  Site()->UpdateScrollBars();
  Pump();
  ASSERT_EQ(Site()->IsHScrollBarVisible(), c.HScrollBar);
  ASSERT_EQ(Site()->IsVScrollBarVisible(), c.VScrollBar);
  const Integer hBar = Site()->GetHScrollBar()->GetHeight(), vBar = Site()->GetVScrollBar()->GetWidth();
  Integer height = c.Height, width = c.Width;
  bool fully = true;
  FView->Info()->MeasureHeight(1000, height, fully);
  FView->Info()->MeasureWidth(c.MaxWidth, width);
  EXPECT_EQ(height, c.Height + (c.AddsHBar ? hBar : 0));
  EXPECT_EQ(width, c.CutToMax ? c.MaxWidth : c.Width + (c.AddsVBar ? vBar : 0));
}

const TMeasureCase kMeasureCases[] = {
    {"NoBars", false, false, 50, 100, 200, false, false, false},
    {"Bars", true, true, 50, 100, 200, true, true, false},
    {"WidthCutToTheMaximum", false, false, 50, 250, 200, false, false, true},
    {"BarPushesPastTheMaximum", false, true, 50, 195, 200, false, true, true},
};
INSTANTIATE_TEST_SUITE_P(GridViewInfo, GridViewInfoMeasure, ::testing::ValuesIn(kMeasureCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(GridViewInfo, ExplicitClientBoundsLastUntilTheCellsAreMadeAgain) {
  TProtocolViewInfo* info = FView->Info();
  EXPECT_EQ(info->GetClientBounds(), info->GetBounds());
  info->UseClientBounds(Rect(10, 20, 110, 70));
  EXPECT_EQ(info->GetClientBounds(), Rect(10, 20, 110, 70));
  EXPECT_EQ(info->GetClientWidth(), 100);
  EXPECT_EQ(info->GetClientHeight(), 50);
  info->RecreateViewInfos();
  EXPECT_EQ(info->GetClientBounds(), info->GetBounds());
}

TEST_F(GridViewInfo, FontHeightIsThatOfQq) {
  TFont font;
  font.SetName("DejaVu Sans");
  font.SetSize(8);
  TqvCanvas* canvas = FView->Info()->GetCanvas();
  const Integer height = FView->Info()->GetFontHeight(&font);
  canvas->SetFont(&font);
  EXPECT_EQ(height, canvas->TextHeight("Qq"));
  EXPECT_GT(height, 0);
}

TEST_F(GridViewInfo, ADetailsSiteIsShownInItsMastersSite) {
  TTestGridView* master = AddTab("master");
  master->DetailsVisible = true;
  TTestGridView* detail = AddDetail(master->GetLevel(), "detail");
  EXPECT_EQ(detail->GetViewInfo()->GetParentControl(), master->GetSite());
  detail->GetViewInfo()->VisibilityChanged(true);
  EXPECT_EQ(detail->GetSite()->GetParent(), master->GetSite());
  EXPECT_EQ(master->GetViewInfo()->GetParentControl(), FGrid);
}

// ---------------------------------------------------------------------------------------------
// Background and focus frame

struct TBackgroundCase {
  const char* Name;
  std::function<void(TProtocolView*, TqvStyle*)> Prepare;
  // The colours of the pixels (50, 50) and (51, 50) of the background.
  TColor First, Second;
};

class GridViewInfoBackground : public GridViewInfo, public ::testing::WithParamInterface<TBackgroundCase> {};

TEST_P(GridViewInfoBackground, FillsWhatNoCellPainted) {
  auto* style = New<TqvStyle>(FForm);
  FView->Order.Cells = {Rect(10, 10, 30, 30), Rect(25, 60, 45, 80)};
  GetParam().Prepare(FView, style);
  TOwned<TBitmap> bitmap = PaintSiteOnSentinel(Site());
  EXPECT_EQ(PixelAt(bitmap.get(), 15, 15), ColorToRGB(clRed));
  EXPECT_EQ(PixelAt(bitmap.get(), 40, 75), ColorToRGB(clRed));
  EXPECT_EQ(PixelAt(bitmap.get(), 50, 50), ColorToRGB(GetParam().First));
  EXPECT_EQ(PixelAt(bitmap.get(), 51, 50), ColorToRGB(GetParam().Second));
  const TRect client = FView->Info()->GetBounds();
  EXPECT_EQ(PixelAt(bitmap.get(), client.Right - 1, client.Bottom - 1) != kGridSentinel, true)
      << "the whole client area is painted";
}


const TBackgroundCase kBackgroundCases[] = {
    {"PaintersContentColour", [](TProtocolView*, TqvStyle*) {}, clWindow, clWindow},
    {"BackgroundStyle",
     [](TProtocolView* v, TqvStyle* s) {
       s->SetColor(clAqua);
       v->GetStyles()->SetBackground(s);
     },
     clAqua, clAqua},
    {"BackgroundBitmapTiled",
     [](TProtocolView* v, TqvStyle*) {
       TBitmap bitmap;
       bitmap.SetSize(2, 1);
       bitmap.GetCanvas()->SetPixel(0, 0, clBlue);
       bitmap.GetCanvas()->SetPixel(1, 0, clYellow);
       v->GetBackgroundBitmaps()->SetBackground(&bitmap);
     },
     clBlue, clYellow},
};
INSTANTIATE_TEST_SUITE_P(GridViewInfo, GridViewInfoBackground, ::testing::ValuesIn(kBackgroundCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// The background takes the view's bounds out of the clip; the end of the paint puts back the
// clip the paint began with.
TEST_F(GridViewInfo, PaintingLeavesTheClipRegionAsItFoundIt) {
  FView->Order.Cells = {Rect(10, 10, 30, 30)};
  Pump();
  FView->ClipLog.clear();
  PaintSiteOnSentinel(Site());
  EXPECT_EQ(FView->ClipLog, TInfoLog({"background: bounds hidden", "after: bounds visible"}));
}

struct TFocusFrameCase {
  const char* Name;
  bool GridFocused;
  bool Hide;
  // Pixels of the frame's top row that are no longer white: all, about half (dotted), none.
  enum { All, Dotted, None } Frame;
};

class GridViewInfoFocusFrame : public GridViewInfo, public ::testing::WithParamInterface<TFocusFrameCase> {};

TEST_P(GridViewInfoFocusFrame, DottedWhenFocusedInvertedOtherwise) {
  const TFocusFrameCase& c = GetParam();
  auto* edit = Add<TEdit>(FForm, Rect(320, 10, 420, 30));
  if (c.GridFocused)
    Site()->SetFocus();
  else
    edit->SetFocus();
  Pump();
  ASSERT_EQ(FView->IsControlFocused(), c.GridFocused);
  FView->Order.FocusFrame = true;
  FView->Order.HideFocusRect = c.Hide;
  TOwned<TBitmap> bitmap = PaintSiteOnSentinel(Site());
  Integer changed = 0;
  for (Integer x = kFocusFrame.Left; x < kFocusFrame.Right; ++x)
    changed += COLORREF(PixelAt(bitmap.get(), x, kFocusFrame.Top)) != ColorToRGB(clWhite);
  const Integer width = kFocusFrame.Width();
  switch (c.Frame) {
    case TFocusFrameCase::All: EXPECT_EQ(changed, width); break;
    case TFocusFrameCase::Dotted:
      EXPECT_GT(changed, width / 3);
      EXPECT_LT(changed, width);
      break;
    case TFocusFrameCase::None: EXPECT_EQ(changed, 0); break;
  }
  const TRect frame = kFocusFrame;
  if (c.Frame == TFocusFrameCase::All) {
    EXPECT_EQ(PixelAt(bitmap.get(), frame.Left, frame.Bottom - 1), ColorToRGB(clBlack));
    EXPECT_EQ(PixelAt(bitmap.get(), frame.Right - 1, frame.Top + 5), ColorToRGB(clBlack));
    EXPECT_EQ(PixelAt(bitmap.get(), frame.Left, frame.Top), ColorToRGB(clBlack)) << "the corners inverted once";
  }
  EXPECT_EQ(PixelAt(bitmap.get(), frame.Left + 5, frame.Top + 5), ColorToRGB(clWhite)) << "inside";
}

const TFocusFrameCase kFocusFrameCases[] = {{"Focused", true, false, TFocusFrameCase::Dotted},
                                            {"FocusedEvenWhenHidden", true, true, TFocusFrameCase::Dotted},
                                            {"Unfocused", false, false, TFocusFrameCase::All},
                                            {"UnfocusedHidden", false, true, TFocusFrameCase::None}};
INSTANTIATE_TEST_SUITE_P(GridViewInfo, GridViewInfoFocusFrame, ::testing::ValuesIn(kFocusFrameCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------------------------------------
// Layout cache

TEST_F(GridViewInfo, TheLayoutCacheMakesEntriesOnRequestAndFreesThemWithItsCount) {
  TqvCustomGridViewInfoCache* cache = FView->GetViewInfoCache();
  cache->SetCount(3);
  EXPECT_EQ(cache->GetItemIfMade(1), nullptr);
  TqvCustomGridViewInfoCacheItem* item = cache->GetItem(1);
  EXPECT_EQ(item->GetIndex(), 1);
  EXPECT_EQ(item->GetOwner(), cache);
  EXPECT_EQ(cache->GetItem(1), item);
  EXPECT_THROW(cache->GetItem(3), EListError);
  cache->SetCount(2);
  EXPECT_EQ(cache->GetItemIfMade(1), nullptr);
  cache->Clear();
  EXPECT_EQ(cache->GetCount(), 0);
}

}  // namespace
