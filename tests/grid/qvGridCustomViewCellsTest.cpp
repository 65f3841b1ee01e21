// Layout cells and the cell painter: calculation, content and border rectangles, text flags,
// the hot, pressed and drop-down states under real input with the mouse capture, the hot check
// of a cell laid out under a resting pointer, hints, custom drawing with its params put back,
// the painting order and what a freed cell leaves behind.
#include "grid/qvGridCustomViewCells.h"
#include "qvGridTestSupport.h"
#include "support/EnumNames.h"

namespace {

using TCellLog = std::vector<std::string>;

class TCellHitTest : public TqvCustomGridViewHitTest {
  QJ_INLINE_CLASS(TCellHitTest, TqvCustomGridViewHitTest)
 public:
  static Integer HitTestCode() { return 1002; }
};

// A cell whose every answer is a field of it.
class TTestCell : public TqvCustomGridViewCellViewInfo {
  QJ_INLINE_CLASS(TTestCell, TqvCustomGridViewCellViewInfo)
 public:
  using TqvCustomGridViewCellViewInfo::TqvCustomGridViewCellViewInfo;

  Integer CalculateWidth() override { return Width; }
  Integer CalculateHeight() override { return Height; }
  TColor GetBorderColor(TqvBorder) override { return BorderColor; }
  Integer GetBorderWidth(TqvBorder ASide) override { return BorderWidths[ASide]; }
  TqvBorders GetBorders() override { return Borders; }
  TAlignment GetAlignmentHorz() override { return AlignH; }
  TqvAlignmentVert GetAlignmentVert() override { return AlignV; }
  bool GetMultiLine() override { return MultiLine; }
  bool GetMultiLinePainting() override {
    return MultiLinePainting ? *MultiLinePainting : TqvCustomGridViewCellViewInfo::GetMultiLinePainting();
  }
  bool GetShowEndEllipsis() override { return EndEllipsis; }
  String GetText() override {
    if (OnGetText) OnGetText();
    return Text;
  }
  void GetViewParams(TqvViewParams& AParams) override {
    AParams.Color = Color;
    AParams.TextColor = TextColor;
    AParams.Font = Font;
  }
  void CalculateParams() override {
    ++ParamsCalculations;
    TqvCustomGridViewCellViewInfo::CalculateParams();
    if (RaiseInParams) throw Exception("params");
  }
  TqvGridHitTestClass GetHitTestClass() override { return &TCellHitTest::StaticClass(); }
  bool GetHotTrack() override { return HotTrack; }
  bool IsDropDownButton() override { return DropDown; }
  bool NeedsHotTrackCheck() override { return HotTrackCheck; }
  bool HasCustomDraw() override { return static_cast<bool>(OnCustomDraw); }
  bool CustomDraw(TqvCanvas* ACanvas) override { return OnCustomDraw(ACanvas); }
  bool HasHint() override { return HintText.size() > 0; }
  bool NeedsHint(TPoint P, String& AText, TRect& ATextRect, bool& AMultiLine) override {
    if (P.X >= GetBounds().Left + 20) return false;
    AText = HintText;
    ATextRect = GetTextAreaBounds();
    AMultiLine = false;
    return true;
  }
  bool MouseDown(TqvCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override {
    const bool handled = TqvCustomGridViewCellViewInfo::MouseDown(AHitTest, AButton, AShift);
    if (CaptureOnPress) SetMouseCapture(true);
    return handled;
  }
  void Click() override {
    ++Clicks;
    if (OnClick) OnClick();
  }

  Integer Width = 60;
  Integer Height = 20;
  TColor Color = clLime;
  TColor TextColor = clBlack;
  TColor BorderColor = clRed;
  TFont* Font = nullptr;
  Integer BorderWidths[4] = {1, 2, 3, 4};
  TqvBorders Borders = 0;
  TAlignment AlignH = taLeftJustify;
  TqvAlignmentVert AlignV = vaTop;
  bool MultiLine = false;
  const bool* MultiLinePainting = nullptr;
  bool EndEllipsis = false;
  String Text;
  String HintText;
  bool HotTrack = true;
  bool DropDown = false;
  bool HotTrackCheck = false;
  bool CaptureOnPress = true;
  bool RaiseInParams = false;
  Integer ParamsCalculations = 0;
  Integer Clicks = 0;
  std::function<void()> OnGetText;
  std::function<void()> OnClick;
  std::function<bool(TqvCanvas*)> OnCustomDraw;
};

// A cell class whose class-level height differs from the base's.
class TTallCell : public TTestCell {
  QJ_INLINE_CLASS(TTallCell, TTestCell)
 public:
  using TTestCell::TTestCell;
  static Integer CellHeight(Integer ATextHeight, TqvLookAndFeelPainterClass) { return ATextHeight * 2; }
};

// Lays its cells out at their places, answers their hit tests and paints them.
class TCellsViewInfo : public TqvCustomGridViewInfo {
  QJ_INLINE_CLASS(TCellsViewInfo, TqvCustomGridViewInfo)
 public:
  using TqvCustomGridViewInfo::TqvCustomGridViewInfo;

  TTestCell* AddCell(TPoint APlace) {
    Cells.push_back(MakeOwned<TTestCell>(this));
    Places.push_back(APlace);
    return Cells.back().get();
  }
  void Calculate() override {
    for (size_t i = 0; i < Cells.size(); ++i) Cells[i]->Calculate(Places[i].X, Places[i].Y);
  }
  void DestroyViewInfos(bool) override {
    Cells.clear();
    Places.clear();
  }
  TOwned<TqvCustomGridHitTest> GetHitTest(TPoint P) override {
    for (TOwned<TTestCell>& cell : Cells)
      if (TOwned<TqvCustomGridHitTest> hitTest = cell->GetHitTest(P)) return hitTest;
    return TqvCustomGridViewInfo::GetHitTest(P);
  }

  std::vector<TOwned<TTestCell>> Cells;
  std::vector<TPoint> Places;
};

class TCellsPainter : public TqvCustomGridPainter {
  QJ_INLINE_CLASS(TCellsPainter, TqvCustomGridPainter)
 public:
  using TqvCustomGridPainter::TqvCustomGridPainter;
  void PaintContent() override {
    for (TOwned<TTestCell>& cell : static_cast<TCellsViewInfo*>(GetViewInfo())->Cells) {
      cell->Paint();
      ExcludeFromBackground(cell->GetBounds());
    }
  }
};

class TCellsView : public TBareGridView {
  QJ_INLINE_CLASS(TCellsView, TBareGridView)
 public:
  using TBareGridView::TBareGridView;
  TCellsViewInfo* Info() const { return static_cast<TCellsViewInfo*>(GetViewInfo()); }

 protected:
  TqvGridViewHandlerClass GetPainterClass() const override { return &TCellsPainter::StaticClass(); }
  TqvGridViewHandlerClass GetViewInfoClass() const override { return &TCellsViewInfo::StaticClass(); }
};

class GridCells : public TGridTest {
 protected:
  void SetUp() override {
    TGridTest::SetUp();
    auto* level = New<TqvGridLevel>(FForm);
    FGrid->GetRootLevel()->AddChild(level);
    FView = New<TCellsView>(FForm);
    level->SetGridView(FView);
    Pump();
  }
  TCellsViewInfo* Info() const { return FView->Info(); }
  TqvGridSite* Site() const { return FView->GetSite(); }
  // A cell laid out at APlace (the view is laid out again).
  TTestCell* Cell(TPoint APlace = {20, 20}) {
    TTestCell* cell = Info()->AddCell(APlace);
    Relayout();
    return cell;
  }
  void Relayout() { Info()->Recalculate(); }

  TCellsView* FView = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Calculation and geometry

struct TCalculateCase {
  const char* Name;
  Integer Width, Height;
  TRect Expected;
};

class GridCellsCalculate : public GridCells, public ::testing::WithParamInterface<TCalculateCase> {};

TEST_P(GridCellsCalculate, AMissingSizeComesFromTheCell) {
  TTestCell* cell = Cell();
  cell->Width = 30;
  cell->Height = 15;
  cell->Calculate(10, 20, GetParam().Width, GetParam().Height);
  EXPECT_EQ(cell->GetBounds(), GetParam().Expected);
  EXPECT_TRUE(cell->IsCalculated());
}

const TCalculateCase kCalculateCases[] = {{"BothMeasured", -1, -1, {10, 20, 40, 35}},
                                          {"WidthGiven", 50, -1, {10, 20, 60, 35}},
                                          {"HeightGiven", -1, 5, {10, 20, 40, 25}},
                                          {"BothGiven", 7, 8, {10, 20, 17, 28}}};
INSTANTIATE_TEST_SUITE_P(GridCells, GridCellsCalculate, ::testing::ValuesIn(kCalculateCases),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TBordersCase {
  const char* Name;
  TqvBorders Borders;
  TRect Content;
  TRect Left, Top, Right, Bottom;
};

class GridCellsBorders : public GridCells, public ::testing::WithParamInterface<TBordersCase> {};

// Border widths: left 1, top 2, right 3, bottom 4; the cell spans (10, 20, 60, 70).
TEST_P(GridCellsBorders, ContentAndBorderRectangles) {
  const TBordersCase& c = GetParam();
  TTestCell* cell = Cell();
  cell->Borders = c.Borders;
  cell->Recalculate();
  cell->CalculateBounds(Rect(10, 20, 60, 70));
  EXPECT_EQ(cell->GetContentBounds(), c.Content);
  EXPECT_EQ(cell->GetBorderBounds(bLeft), c.Left);
  EXPECT_EQ(cell->GetBorderBounds(bTop), c.Top);
  EXPECT_EQ(cell->GetBorderBounds(bRight), c.Right);
  EXPECT_EQ(cell->GetBorderBounds(bBottom), c.Bottom);
  EXPECT_EQ(cell->GetTextAreaBounds(), qvDeflatedRect(c.Content, 2));
}

constexpr TqvBorders kLeftTop = qvBorder(bLeft) | qvBorder(bTop);
const TBordersCase kBordersCases[] = {
    {"None", 0, {10, 20, 60, 70}, {9, 20, 10, 70}, {10, 18, 60, 20}, {60, 20, 63, 70}, {10, 70, 60, 74}},
    {"LeftAndTop", kLeftTop, {11, 22, 60, 70}, {10, 20, 11, 70}, {11, 20, 60, 22}, {60, 20, 63, 70}, {11, 70, 60, 74}},
    {"All", qvAllBorders, {11, 22, 57, 66}, {10, 20, 11, 70}, {11, 20, 57, 22}, {57, 20, 60, 70}, {11, 66, 57, 70}},
    {"RightAndBottom", qvBorder(bRight) | qvBorder(bBottom), {10, 20, 57, 66}, {9, 20, 10, 70}, {10, 18, 57, 20},
     {57, 20, 60, 70}, {10, 66, 57, 70}},
};
INSTANTIATE_TEST_SUITE_P(GridCells, GridCellsBorders, ::testing::ValuesIn(kBordersCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(GridCells, OffsetMovesBoundsAndContentAndLeavesTheStateNormal) {
  TTestCell* cell = Cell({20, 20});
  cell->Borders = kLeftTop;
  cell->Recalculate();
  const TRect content = cell->GetContentBounds();
  cell->SetState(gcsHot);
  cell->DoOffset(5, -3);
  EXPECT_EQ(cell->GetBounds(), Bounds(25, 17, 60, 20));
  EXPECT_EQ(cell->GetContentBounds(), qvOffsetRect(content, 5, -3));
  EXPECT_EQ(cell->GetState(), gcsNormal);
}

TEST_F(GridCells, ANewPlaceForgetsTheOldContentBounds) {
  TTestCell* cell = Cell({20, 20});
  EXPECT_EQ(cell->GetContentBounds(), Bounds(20, 20, 60, 20));
  cell->Calculate(40, 50);
  EXPECT_EQ(cell->GetContentBounds(), Bounds(40, 50, 60, 20));
  cell->SetWidth(10);
  EXPECT_EQ(cell->GetContentBounds(), Bounds(40, 50, 10, 20));
}

// ---------------------------------------------------------------------------------------------
// Params and text

struct TTextFlagsCase {
  const char* Name;
  TAlignment AlignH;
  TqvAlignmentVert AlignV;
  bool MultiLine;
  bool MultiLinePainting;
  bool EndEllipsis;
  TqvTextFlags Painting;
  TqvTextFlags Measuring;
};

class GridCellsTextFlags : public GridCells, public ::testing::WithParamInterface<TTextFlagsCase> {};

TEST_P(GridCellsTextFlags, FromAlignmentAndWrap) {
  const TTextFlagsCase& c = GetParam();
  TTestCell* cell = Cell();
  cell->AlignH = c.AlignH;
  cell->AlignV = c.AlignV;
  cell->MultiLine = c.MultiLine;
  cell->MultiLinePainting = &c.MultiLinePainting;
  cell->EndEllipsis = c.EndEllipsis;
  cell->Recalculate();
  EXPECT_EQ(cell->GetTextFlags(true), c.Painting);
  EXPECT_EQ(cell->GetTextFlags(false), c.Measuring);
}

const TTextFlagsCase kTextFlagsCases[] = {
    {"LeftTopSingle", taLeftJustify, vaTop, false, false, false, 1 | 8 | 64, 1 | 8 | 64},
    {"RightBottomEllipsis", taRightJustify, vaBottom, false, false, true, 2 | 16 | 64 | 2048, 2 | 16 | 64 | 2048},
    {"CentreWrapped", taCenter, vaCenter, true, true, false, 4 | 32 | 1024, 4 | 32 | 1024},
    {"MeasuredWrappedPaintedSingle", taLeftJustify, vaCenter, true, false, false, 1 | 32 | 64, 1 | 32 | 1024},
    {"PaintedWrappedOnly", taCenter, vaTop, false, true, false, 4 | 8 | 1024, 4 | 8 | 64},
};
INSTANTIATE_TEST_SUITE_P(GridCells, GridCellsTextFlags, ::testing::ValuesIn(kTextFlagsCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(GridCells, MultiLineByDefaultPaintsAsItIsMeasured) {
  TTestCell* cell = Cell();
  cell->MultiLine = true;
  cell->Recalculate();
  EXPECT_TRUE(cell->GetCalculatedMultiLinePainting());
}

TEST_F(GridCells, ParamsAreCalculatedOncePerLayoutWithoutRecursion) {
  TTestCell* cell = Cell();
  cell->Text = "Text";
  cell->OnGetText = [cell] { cell->GetTextWidth(); };
  cell->Recalculate();
  EXPECT_EQ(cell->ParamsCalculations, 2) << "once at the first layout, once now";
  cell->Calculate(0, 0);
  cell->GetTextHeight();
  EXPECT_EQ(cell->ParamsCalculations, 2);
  EXPECT_EQ(cell->GetCalculatedText(), "Text");
}

TEST_F(GridCells, ParamsThatRaisedStillCountAsCalculated) {
  TTestCell* cell = Cell();
  cell->RaiseInParams = true;
  cell->BeforeRecalculation();
  EXPECT_THROW(cell->EnsureParamsCalculated(), Exception);
  cell->EnsureParamsCalculated();
  EXPECT_EQ(cell->ParamsCalculations, 2);
}

TEST_F(GridCells, TheCellHeightIsClassLevel) {
  TTestCell* cell = Cell();
  cell->Font = FGrid->GetFont();
  cell->Recalculate();
  TqvCustomGridViewInfo* info = Info();
  const Integer fontHeight = info->GetFontHeight(FGrid->GetFont());
  EXPECT_EQ(fontHeight, info->GetCanvas()->TextHeight("Qq"));
  EXPECT_EQ(cell->CalculateCellHeight(info, FView->GetLookAndFeelPainter()), fontHeight + 4);
  TOwned<TTallCell> tall = MakeOwned<TTallCell>(info);
  EXPECT_EQ(tall->GetCellHeight(10, nullptr), 20);
  TqvGridCellViewInfoClass tallClass = &TTallCell::StaticClass();
  EXPECT_EQ(tallClass->GetCellHeight(7, nullptr), 14);
}

TEST_F(GridCells, AMultiLineCellHeightFollowsItsMeasuredText) {
  TTestCell* cell = Cell();
  cell->Font = FGrid->GetFont();
  cell->MultiLine = true;
  cell->Width = 40;
  cell->Text = "several words wrapped over lines";
  cell->Recalculate();
  const Integer lineHeight = Info()->GetFontHeight(FGrid->GetFont());
  const Integer textHeight = cell->GetTextHeight();
  EXPECT_GT(textHeight, 2 * lineHeight - 1);
  EXPECT_EQ(cell->CalculateCellHeight(Info(), nullptr), textHeight + 4);
  EXPECT_EQ(cell->GetTextHeightWithOffset(), textHeight + 4);
}

// ---------------------------------------------------------------------------------------------
// States under the mouse

enum class TCellStep { Hover, Press, Leave, Return, Release, LeaveTracked };

std::string CellStepName(TCellStep AStep) {
  return NameOf(AStep, {{TCellStep::Hover, "hover"},
                        {TCellStep::Press, "press"},
                        {TCellStep::Leave, "leave"},
                        {TCellStep::Return, "return"},
                        {TCellStep::Release, "release"},
                        {TCellStep::LeaveTracked, "leave-tracked"}});
}

std::string CellStateName(TqvGridCellState AState) {
  return NameOf(AState, {{gcsNormal, "normal"}, {gcsHot, "hot"}, {gcsPressed, "pressed"}});
}

struct TStateCase {
  const char* Name;
  bool Capture;
  bool DropDown;
  std::vector<TCellStep> Steps;
  std::vector<const char*> States;
  Integer Clicks;
};

class GridCellsStates : public GridCells, public ::testing::WithParamInterface<TStateCase> {};

TEST_P(GridCellsStates, FollowTheMouse) {
  const TStateCase& c = GetParam();
  TTestCell* cell = Cell({20, 20});
  cell->CaptureOnPress = c.Capture;
  cell->DropDown = c.DropDown;
  std::vector<std::string> states, expected(c.States.begin(), c.States.end());
  for (TCellStep step : c.Steps) {
    switch (step) {
      case TCellStep::Hover:
      case TCellStep::Return: MoveTo(Site(), {40, 30}); break;
      case TCellStep::Leave: MoveTo(Site(), {150, 120}); break;
      case TCellStep::LeaveTracked:
        MoveTo(Site(), {150, 120});
        Wait(50);
        break;
      case TCellStep::Press:
        Wait(1000);
        Headless::MouseDown(0);
        Pump();
        break;
      case TCellStep::Release: Up(); break;
    }
    states.push_back(CellStepName(step) + ":" + CellStateName(cell->GetState()));
  }
  for (size_t i = 0; i < expected.size(); ++i) expected[i] = CellStepName(c.Steps[i]) + ":" + expected[i];
  EXPECT_EQ(states, expected);
  EXPECT_EQ(cell->Clicks, c.Clicks);
}

using S = TCellStep;
const TStateCase kStateCases[] = {
    {"HoverAndLeave", true, false, {S::Hover, S::LeaveTracked}, {"hot", "normal"}, 0},
    {"ClickInside", true, false, {S::Hover, S::Press, S::Release}, {"hot", "pressed", "normal"}, 1},
    {"ReleasedOutside", true, false, {S::Hover, S::Press, S::Leave, S::Release},
     {"hot", "pressed", "hot", "normal"}, 0},
    {"LeaveAndReturn", true, false, {S::Hover, S::Press, S::Leave, S::Return, S::Release},
     {"hot", "pressed", "hot", "pressed", "normal"}, 1},
    {"WithoutCaptureAPressWaitsForTheMouseToReturn", false, false,
     {S::Hover, S::Press, S::LeaveTracked, S::Release, S::Return}, {"hot", "pressed", "pressed", "pressed", "hot"}, 0},
    {"DropDownToggles", false, true, {S::Hover, S::Press, S::Release, S::Press, S::Release, S::Press},
     {"hot", "pressed", "pressed", "hot", "hot", "pressed"}, 0},
};
INSTANTIATE_TEST_SUITE_P(GridCells, GridCellsStates, ::testing::ValuesIn(kStateCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(GridCells, ACellWithoutHotTrackingIgnoresTheMouse) {
  TTestCell* cell = Cell({20, 20});
  cell->HotTrack = false;
  MoveTo(Site(), {40, 30});
  Down(Site(), {40, 30});
  EXPECT_EQ(cell->GetState(), gcsNormal);
  Up();
  EXPECT_EQ(cell->Clicks, 0);
}

TEST_F(GridCells, TheCellHoldingTheCaptureHearsTheMouseOverOthers) {
  TTestCell* first = Cell({20, 20});
  TTestCell* second = Cell({20, 60});
  Down(Site(), {40, 30});
  ASSERT_TRUE(first->HasMouseCapture());
  MoveTo(Site(), {40, 70});
  EXPECT_EQ(first->GetState(), gcsHot) << "off the captured cell, over another";
  EXPECT_EQ(second->GetState(), gcsNormal);
  Up();
  EXPECT_EQ(first->Clicks, 0);
  EXPECT_EQ(second->Clicks, 0);
  EXPECT_EQ(first->GetState(), gcsNormal);
}

TEST_F(GridCells, ACellLaidOutUnderTheRestingMouseIsHotAtOnce) {
  MoveTo(Site(), {40, 30});
  TTestCell* cell = Info()->AddCell({20, 20});
  cell->HotTrackCheck = true;
  Relayout();
  EXPECT_EQ(cell->GetState(), gcsHot);
  TTestCell* unchecked = Info()->AddCell({20, 20});
  Relayout();
  EXPECT_EQ(unchecked->GetState(), gcsNormal);
}

TEST_F(GridCells, AClickThatFreesTheViewEndsTheRelease) {
  TTestCell* cell = Cell({20, 20});
  TCellsView* view = FView;
  cell->OnClick = [&view] { FreeAndNil(view); };
  Down(Site(), {40, 30});
  Up();
  EXPECT_EQ(view, nullptr);
  EXPECT_EQ(FGrid->GetViewCount(), 0);
}

TEST_F(GridCells, AFreedCellLetsGoOfTheMouseAndQueuesNoRepaint) {
  TTestCell* cell = Cell({20, 20});
  Down(Site(), {40, 30});
  ASSERT_EQ(Site()->GetMouseCaptureObject(), cell);
  TOwned<TqvCustomGridHitTest> kept = Info()->GetHitTestAt(40, 30);
  ASSERT_EQ(kept->GetViewInfo(), cell);
  IqvMouseTrackingCaller* caller = cell;
  cell->SetState(gcsHot);
  ASSERT_TRUE(IsMouseTracking(caller));
  FGrid->BeginUpdate();
  const Integer queued = FGrid->GetChangeQueue().GetCount();
  Info()->DestroyViewInfos(true);
  EXPECT_EQ(FGrid->GetChangeQueue().GetCount(), queued);
  FGrid->EndUpdate();
  EXPECT_EQ(Site()->GetMouseCaptureObject(), nullptr);
  EXPECT_FALSE(IsMouseTracking(caller));
  EXPECT_EQ(kept->GetViewInfo(), nullptr) << "a kept hit test forgets the freed cell";
  Up();
}

TEST_F(GridCells, AStateChangeRepaintsTheCellThroughTheView) {
  TTestCell* cell = Cell({20, 20});
  FGrid->BeginUpdate();
  cell->SetState(gcsHot);
  ASSERT_EQ(FGrid->GetChangeQueue().GetCount(), 1);
  auto* change = As<TqvGridViewChange>(FGrid->GetChangeQueue().GetItem(0));
  ASSERT_NE(change, nullptr);
  EXPECT_EQ(change->GetBounds(), cell->GetBounds());
  FGrid->EndUpdate();
}

// ---------------------------------------------------------------------------------------------
// Hints and watched cells

TEST_F(GridCells, ACellShowsItsHintWhereItsTextDoesNotFit) {
  TTestCell* cell = Cell({20, 20});
  cell->HintText = "Hidden text";
  cell->Font = FGrid->GetFont();
  cell->HotTrack = false;
  TqvCustomGridController* controller = FView->GetController();
  MoveTo(Site(), {25, 30});
  ASSERT_NE(controller->GetHintWindow(), nullptr);
  EXPECT_EQ(controller->GetHintWindow()->GetCaption(), "Hidden text");
  MoveTo(Site(), {60, 30});
  EXPECT_EQ(controller->GetHintWindow(), nullptr);
}

TEST_F(GridCells, AWatchedCellLeavesTheListWhenFreed) {
  TTestCell* cell = Cell({20, 20});
  Info()->WatchCell(cell);
  Info()->WatchCell(cell);
  EXPECT_TRUE(Info()->IsCellWatched(cell));
  Info()->DestroyViewInfos(true);
  EXPECT_FALSE(Info()->IsCellWatched(cell));
  TTestCell* other = Cell({20, 20});
  Info()->WatchCell(other);
  Info()->UnwatchCell(other);
  EXPECT_FALSE(Info()->IsCellWatched(other));
}

// ---------------------------------------------------------------------------------------------
// Painting

TEST_F(GridCells, EmptyTextPaintsBackgroundAndBordersOnly) {
  TTestCell* cell = Cell({20, 20});
  cell->Borders = qvAllBorders;
  cell->Recalculate();
  TOwned<TBitmap> bitmap = PaintSiteOnSentinel(Site());
  TCanvas* canvas = bitmap->GetCanvas();
  const TRect content = cell->GetContentBounds();
  Integer other = 0;
  for (Integer y = content.Top; y < content.Bottom; ++y)
    for (Integer x = content.Left; x < content.Right; ++x) other += COLORREF(canvas->GetPixel(x, y)) != ColorToRGB(clLime);
  EXPECT_EQ(other, 0) << "only the background in the content";
  for (TqvBorder side : {bLeft, bTop, bRight, bBottom}) {
    const TRect r = cell->GetBorderBounds(side);
    EXPECT_EQ(canvas->GetPixel(r.Left, r.Top), ColorToRGB(clRed)) << "border " << side;
    EXPECT_EQ(canvas->GetPixel(r.Right - 1, r.Bottom - 1), ColorToRGB(clRed)) << "border " << side;
  }
}

TEST_F(GridCells, TextIsPaintedInTheTextAreaInTheTextColour) {
  TTestCell* cell = Cell({20, 20});
  cell->Font = FGrid->GetFont();
  cell->Text = "Wg";
  cell->Height = 30;
  cell->TextColor = clBlue;
  cell->Color = clWhite;
  cell->Recalculate();
  TOwned<TBitmap> bitmap = PaintSiteOnSentinel(Site());
  const TRect area = cell->GetTextAreaBounds();
  const TRect ink = InkBoxOf(Site()->GetWidth(), Site()->GetHeight(), ColorToRGB(clWhite), [&](int x, int y) {
    const COLORREF p = bitmap->GetCanvas()->GetPixel(x, y);
    return cell->GetContentBounds().Contains({x, y}) ? p : ColorToRGB(clWhite);
  });
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_GE(ink.Left, area.Left);
  EXPECT_GE(ink.Top, area.Top);
  EXPECT_LE(ink.Right, area.Right);
  EXPECT_LE(ink.Bottom, area.Bottom);
}

TEST_F(GridCells, AMultiLineCellMeasuredWrappedPaintsOnOneLineWhenAsked) {
  TTestCell* cell = Cell({20, 20});
  const bool single = false;
  cell->Font = FGrid->GetFont();
  cell->Color = clWhite;
  cell->MultiLine = true;
  cell->MultiLinePainting = &single;
  cell->Width = 50;
  cell->Height = 80;
  cell->Text = "aaaa bbbb cccc dddd eeee";
  cell->Recalculate();
  const Integer lineHeight = Info()->GetFontHeight(FGrid->GetFont());
  ASSERT_GT(cell->GetTextHeight(), 2 * lineHeight - 1) << "measured wrapped";
  TOwned<TBitmap> bitmap = PaintSiteOnSentinel(Site());
  const TRect area = cell->GetTextAreaBounds();
  const TRect ink = InkBoxOf(Site()->GetWidth(), Site()->GetHeight(), ColorToRGB(clWhite), [&](int x, int y) {
    return area.Contains({x, y}) ? bitmap->GetCanvas()->GetPixel(x, y) : ColorToRGB(clWhite);
  });
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_LE(ink.Height(), lineHeight) << "painted on one line";
}

// Notes the steps of painting one cell.
class TLoggingCellPainter : public TqvCustomGridCellPainter {
  QJ_INLINE_CLASS(TLoggingCellPainter, TqvCustomGridCellPainter)
 public:
  using TqvCustomGridCellPainter::TqvCustomGridCellPainter;
  void BeforePaint() override { Log->push_back("BeforePaint"); }
  void AfterPaint() override { Log->push_back("AfterPaint"); }
  void DrawBackground() override {
    Log->push_back("DrawBackground");
    TqvCustomGridCellPainter::DrawBackground();
  }
  void DrawText() override { Log->push_back("DrawText"); }
  void DrawBorder(TqvBorder ASide) override { Log->push_back("DrawBorder" + std::to_string(ASide)); }
  bool ExcludeFromClipRect() override { return true; }
  static inline TCellLog* Log = nullptr;
};

class TLoggingPainterCell : public TTestCell {
  QJ_INLINE_CLASS(TLoggingPainterCell, TTestCell)
 public:
  using TTestCell::TTestCell;
  TqvGridCellPainterClass GetPainterClass() override { return &TLoggingCellPainter::StaticClass(); }
};

TEST_F(GridCells, ACellPaintsBackgroundTextBordersInOrderAndLeavesTheClip) {
  TCellLog log;
  TLoggingCellPainter::Log = &log;
  TOwned<TLoggingPainterCell> owned = MakeOwned<TLoggingPainterCell>(Info());
  TLoggingPainterCell& cell = *owned;
  cell.Borders = qvBorder(bLeft) | qvBorder(bBottom);
  cell.Calculate(10, 10);
  TBitmap bitmap;
  bitmap.SetSize(100, 60);
  TqvCanvas canvas(bitmap.GetCanvas());
  cell.Paint(&canvas);
  EXPECT_EQ(log, TCellLog({"BeforePaint", "DrawBackground", "DrawText", "DrawBorder0", "DrawBorder3", "AfterPaint"}));
  EXPECT_FALSE(canvas.RectVisible(cell.GetBounds())) << "excluded from the clip";
  log.clear();
  cell.Paint(&canvas);
  EXPECT_TRUE(log.empty()) << "a cell outside the clip region does not paint";
  TLoggingCellPainter::Log = nullptr;
}

struct TCustomDrawCase {
  const char* Name;
  // The handler: paints the brush's colour over the cell (when it finishes), or changes the
  // brush colour and lets the cell paint, or raises.
  std::function<bool(TqvCanvas*, TTestCell*)> Handler;
  TColor ContentColour;
  bool Raises;
};

class GridCellsCustomDraw : public GridCells, public ::testing::WithParamInterface<TCustomDrawCase> {};

TEST_P(GridCellsCustomDraw, TheParamsAreBackAfterPainting) {
  const TCustomDrawCase& c = GetParam();
  TTestCell* cell = Cell({20, 20});
  cell->Borders = qvAllBorders;
  cell->Recalculate();
  cell->OnCustomDraw = [cell, &c](TqvCanvas* ACanvas) { return c.Handler(ACanvas, cell); };
  TBitmap bitmap;
  bitmap.SetSize(120, 80);
  bitmap.GetCanvas()->GetBrush()->SetColor(kGridSentinel);
  bitmap.GetCanvas()->FillRect(Rect(0, 0, 120, 80));
  TqvCanvas canvas(bitmap.GetCanvas());
  if (c.Raises)
    EXPECT_THROW(cell->Paint(&canvas), Exception);
  else
    cell->Paint(&canvas);
  EXPECT_EQ(cell->GetCalculatedParams().Color, clLime) << "the params before painting";
  const TRect content = cell->GetContentBounds();
  EXPECT_EQ(bitmap.GetCanvas()->GetPixel(content.Left + 3, content.Top + 3), ColorToRGB(c.ContentColour));
  if (!c.Raises) {
    EXPECT_EQ(bitmap.GetCanvas()->GetPixel(cell->GetBounds().Left, content.Top + 3), ColorToRGB(clRed)) << "border";
  }
}

const TCustomDrawCase kCustomDrawCases[] = {
    {"HandlerChangesTheColour",
     [](TqvCanvas* ACanvas, TTestCell*) {
       ACanvas->SetBrushColor(clBlue);
       return false;
     },
     clBlue, false},
    {"HandlerDrawsItAll",
     [](TqvCanvas* ACanvas, TTestCell* ACell) {
       ACanvas->SetBrushColor(clYellow);
       ACanvas->FillRect(ACell->GetContentBounds());
       return true;
     },
     clYellow, false},
    {"HandlerRaises",
     [](TqvCanvas* ACanvas, TTestCell*) -> bool {
       ACanvas->SetBrushColor(clBlue);
       throw Exception("custom draw");
     },
     kGridSentinel, true},
};
INSTANTIATE_TEST_SUITE_P(GridCells, GridCellsCustomDraw, ::testing::ValuesIn(kCustomDrawCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(GridCells, ACustomDrawHandlerThatFreesTheViewEndsThePaint) {
  TTestCell* cell = Cell({20, 20});
  TCellsView* view = FView;
  cell->OnCustomDraw = [&view](TqvCanvas*) {
    FreeAndNil(view);
    return false;
  };
  TBitmap bitmap;
  bitmap.SetSize(100, 100);
  TqvCanvas canvas(bitmap.GetCanvas());
  cell->Paint(&canvas);
  EXPECT_EQ(view, nullptr);
  EXPECT_EQ(FGrid->GetViewCount(), 0);
}

}  // namespace
