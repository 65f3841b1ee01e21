// TPanel's frame and client area, TSplitter drags resizing the neighbour, TAnimate's frames.
#include "ControlsTestSupport.h"

#include "platform/forms/ExtCtrls.h"

namespace {

class ExtCtrlsPanelTest : public TFormsTest {
 protected:
  // A form with a sized panel on one side, a splitter next to it and a client panel.
  void BuildSplit(TAlign side, TResizeStyle style = rsPattern) {
    form = NewForm(400, 300, 0, 0);
    sized = New<TPanel>(form);
    sized->SetName("sized");
    sized->SetBounds(0, 0, 100, 100);
    sized->SetAlign(side);
    sized->SetParent(form);
    splitter = New<TSplitter>(form);
    splitter->SetAlign(side);
    bool horizontal = side == alLeft || side == alRight;
    splitter->SetBounds(side == alLeft ? 100 : side == alRight ? 290 : 0, side == alTop ? 100 : side == alBottom ? 190 : 0,
                        horizontal ? 4 : 400, horizontal ? 300 : 4);
    splitter->SetResizeStyle(style);
    splitter->SetParent(form);
    rest = New<TPanel>(form);
    rest->SetAlign(alClient);
    rest->SetParent(form);
    splitter->OnMoved = [this](TObject*) { ++moves; };
    form->Show();
    Pump();
  }
  // Drags the splitter's middle by (dx, dy) with the mouse, in steps.
  void Drag(Integer dx, Integer dy) {
    Headless::AdvanceClock(GetDoubleClickTime() + 1);
    TPoint start = splitter->ClientToScreen({splitter->GetWidth() / 2, splitter->GetHeight() / 2});
    Headless::MoveMouse(start.X, start.Y);
    Headless::MouseDown();
    Pump();
    for (int step = 1; step <= 4; ++step) {
      Headless::MoveMouse(start.X + dx * step / 4, start.Y + dy * step / 4);
      Pump();
    }
    Headless::MouseUp();
    Pump();
  }

  TForm* form = nullptr;
  TPanel* sized = nullptr;
  TSplitter* splitter = nullptr;
  TPanel* rest = nullptr;
  int moves = 0;
};

TEST_F(ExtCtrlsPanelTest, DraggingTheSplitterResizesItsNeighbour) {
  struct TCase {
    TAlign Side;
    TResizeStyle Style;
    Integer DX, DY;
    Integer Expected;
  };
  for (TCase c : {TCase{alLeft, rsPattern, 40, 0, 140}, TCase{alLeft, rsUpdate, -30, 0, 70},
                  TCase{alRight, rsLine, -50, 0, 150}, TCase{alTop, rsPattern, 0, 25, 125},
                  TCase{alBottom, rsUpdate, 0, 20, 80}}) {
    BuildSplit(c.Side, c.Style);
    Drag(c.DX, c.DY);
    bool horizontal = c.Side == alLeft || c.Side == alRight;
    EXPECT_EQ(horizontal ? sized->GetWidth() : sized->GetHeight(), c.Expected) << int(c.Side) << " " << int(c.Style);
    EXPECT_GE(moves, 1);
    TRect s = splitter->GetBoundsRect(), n = sized->GetBoundsRect();
    bool adjacent = c.Side == alLeft ? s.Left == n.Right : c.Side == alRight ? s.Right == n.Left
                  : c.Side == alTop  ? s.Top == n.Bottom : s.Bottom == n.Top;
    EXPECT_TRUE(adjacent) << "the splitter follows its neighbour";
    EXPECT_EQ(splitter->GetSizedControl(), nullptr);
    Free(form);
    moves = 0;
  }
}

TEST_F(ExtCtrlsPanelTest, TheDragLineShowsOverTheNeighbouringControls) {
  BuildSplit(alLeft, rsPattern);
  TPoint inRest{160, 150};  // form client point over the client panel
  uint32_t face = ClientPixel(form, inRest);
  TPoint start = splitter->ClientToScreen({2, 150});
  Headless::MoveMouse(start.X, start.Y);
  Headless::MouseDown();
  Headless::MoveMouse(start.X + 58, start.Y);  // the line goes to x 158..161
  Pump();
  EXPECT_EQ(ClientPixel(form, inRest), face ^ 0xFFFFFFu);
  Headless::MouseUp();
  Pump();
  EXPECT_EQ(sized->GetWidth(), 158);
  EXPECT_NE(ClientPixel(form, {170, 150}), face ^ 0xFFFFFFu) << "no line is left behind";
}

TEST_F(ExtCtrlsPanelTest, NoHintComesUpWhileTheSplitterIsDragged) {
  BuildSplit(alLeft, rsPattern);
  form->SetShowHint(true);
  splitter->SetHint("Drag to size");
  rest->SetHint("The rest");
  Application->SetHintPause(100);
  TPoint start = splitter->ClientToScreen({2, 150});
  Headless::MoveMouse(start.X, start.Y);
  Headless::MouseDown();
  Pump();
  for (int step = 1; step <= 4; ++step) {
    Headless::MoveMouse(start.X + 10 * step, start.Y);
    Pump();
    Headless::AdvanceClock(500);
    Pump();
    EXPECT_EQ(Application->GetHintWindow(), nullptr) << "step " << step;
  }
  Headless::MouseUp();
  Pump();
}

TEST_F(ExtCtrlsPanelTest, MinSizeSnapsOrStopsAndTheRestKeepsItsMinimum) {
  BuildSplit(alLeft);
  splitter->SetMinSize(50);
  splitter->SetAutoSnap(false);
  Drag(-80, 0);
  EXPECT_EQ(sized->GetWidth(), 50);
  splitter->SetAutoSnap(true);
  Drag(-30, 0);
  EXPECT_EQ(sized->GetWidth(), 0) << "below the minimum it snaps shut";
  Drag(120, 0);
  EXPECT_EQ(sized->GetWidth(), 120) << "a closed neighbour can be pulled open again";
  Drag(500, 0);
  EXPECT_EQ(sized->GetWidth(), 400 - 4 - 50) << "the other side keeps MinSize";
  bool refused = false;
  splitter->OnCanResize = [&](TObject*, Integer&, bool& accept) {
    accept = false;
    refused = true;
  };
  Drag(-40, 0);
  EXPECT_TRUE(refused);
  EXPECT_EQ(sized->GetWidth(), 400 - 4 - 50);
}

TEST_F(ExtCtrlsPanelTest, PanelBevelsAndBorderShrinkTheClientArea) {
  form = NewForm(300, 200, 0, 0);
  auto* panel = Add<TPanel>(form, "panel", Rect(10, 10, 210, 110));
  panel->SetBevelOuter(bvRaised);
  panel->SetBevelInner(bvLowered);
  panel->SetBevelWidth(2);
  panel->SetBorderWidth(3);
  auto* child = New<TPanel>(form);
  child->SetAlign(alClient);
  child->SetParent(panel);
  form->Show();
  Pump();
  EXPECT_EQ(child->GetBoundsRect(), Rect(7, 7, 193, 93));
  // The raised outer bevel is light on the top-left edge, dark on the bottom-right.
  EXPECT_EQ(ClientPixel(form, {10, 50}), ColorToRGB(clBtnHighlight) & 0xFFFFFF);
  EXPECT_EQ(ClientPixel(form, {209, 50}), ColorToRGB(clBtnShadow) & 0xFFFFFF);
  EXPECT_EQ(ClientPixel(form, {10 + 5, 50}), ColorToRGB(clBtnShadow) & 0xFFFFFF) << "the lowered inner bevel";
  panel->SetBevelInner(bvNone);
  EXPECT_EQ(child->GetBoundsRect(), Rect(5, 5, 195, 95));
  panel->SetBevelWidth(-3);
  EXPECT_EQ(panel->GetBevelWidth(), 0);
  int clicked = 0;
  panel->OnClick = [&](TObject*) { ++clicked; };
  child->SetVisible(false);
  TPoint p = panel->ClientToScreen({50, 50});
  Headless::Click(p.X, p.Y);
  Pump();
  EXPECT_EQ(clicked, 1);
}

TEST_F(ExtCtrlsPanelTest, AnimationPlaysItsFramesOnTheTimer) {
  form = NewForm(400, 200, 0, 0);
  auto* animate = Add<TAnimate>(form, "animate", Rect(10, 10, 110, 90));
  EXPECT_THROW(animate->SetCommonAVI(aviFindFolder), EInvalidOperation);
  EXPECT_EQ(animate->GetCommonAVI(), aviNone);
  EXPECT_THROW(animate->Play(1, 2, 1), EInvalidOperation) << "nothing is open";
  int opened = 0, started = 0, stopped = 0;
  animate->OnOpen = [&](TObject*) { ++opened; };
  animate->OnStart = [&](TObject*) { ++started; };
  animate->OnStop = [&](TObject*) { ++stopped; };
  animate->SetCommonAVI(aviCopyFile);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(animate->GetWidth(), animate->GetFrameWidth()) << "AutoSize takes the frame size";
  EXPECT_EQ(animate->GetHeight(), animate->GetFrameHeight());
  EXPECT_EQ(animate->GetStopFrame(), animate->GetFrameCount());
  form->Show();
  Pump();
  animate->SetRepetitions(2);
  animate->SetActive(true);
  EXPECT_EQ(started, 1);
  const DWORD frameTime = 1000 / TAnimate::FramesPerSecond;
  auto tick = [&] {
    Headless::AdvanceClock(frameTime);
    Pump();
  };
  auto pixels = [&] {
    std::vector<uint32_t> out;
    for (int y = 0; y < animate->GetHeight(); y += 2)
      for (int x = 0; x < animate->GetWidth(); x += 2) out.push_back(ClientPixel(form, {10 + x, 10 + y}));
    return out;
  };
  for (int i = 0; i < 3; ++i) tick();
  EXPECT_EQ(animate->GetCurrentFrame(), 4);
  // Different frames draw the sheet in different places.
  std::vector<uint32_t> before = pixels();
  EXPECT_NE(std::count(before.begin(), before.end(), ColorToRGB(clWhite) & 0xFFFFFF), 0) << "the sheet shows";
  for (int i = 0; i < 6; ++i) tick();
  EXPECT_NE(before, pixels());
  for (int i = 0; i < 2 * animate->GetFrameCount(); ++i) tick();
  EXPECT_FALSE(animate->GetActive()) << "two rounds and it stops";
  EXPECT_EQ(stopped, 1);
  EXPECT_THROW(animate->Seek(animate->GetFrameCount() + 1), EInvalidOperation);
  animate->Seek(5);
  EXPECT_EQ(animate->GetCurrentFrame(), 5);
  animate->SetStopFrame(8);
  animate->Play(3, 8, 0);
  for (int i = 0; i < 40; ++i) {
    tick();
    EXPECT_GE(animate->GetCurrentFrame(), 3);
    EXPECT_LE(animate->GetCurrentFrame(), 8);
  }
  EXPECT_TRUE(animate->GetActive()) << "0 repetitions plays until stopped";
  animate->SetCommonAVI(aviNone);
  EXPECT_FALSE(animate->GetActive());
  EXPECT_FALSE(animate->GetOpen());
}

// ---------------------------------------------------------------------------------------------
// Bevel

struct TBevelCase {
  const char* Name;
  TBevelShape Shape;
  TBevelStyle Style;
  // Client points of a 40 x 20 bevel and the colour each shows.
  std::vector<std::pair<TPoint, TColor>> Pixels;
};

class BevelShapes : public TFormsTest, public ::testing::WithParamInterface<TBevelCase> {};

TEST_P(BevelShapes, Paints) {
  const TBevelCase& c = GetParam();
  TForm* form = NewForm(100, 60, 0, 0);
  auto* bevel = Add<TBevel>(form, "bevel", Bounds(10, 10, 40, 20));
  bevel->SetShape(c.Shape);
  bevel->SetStyle(c.Style);
  form->Show();
  Pump();
  for (const auto& [p, color] : c.Pixels) {
    SCOPED_TRACE(testing::Message() << p.X << "," << p.Y);
    const COLORREF rgb = ColorToRGB(color);
    EXPECT_EQ((GetRValue(rgb) << 16) | (GetGValue(rgb) << 8) | GetBValue(rgb),
              ClientPixel(form, {10 + p.X, 10 + p.Y}));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, BevelShapes,
    ::testing::Values(
        TBevelCase{"LoweredTopLine", bsTopLine, bsLowered,
                   {{{5, 0}, clBtnShadow}, {{5, 1}, clBtnHighlight}, {{5, 2}, clBtnFace}, {{39, 0}, clBtnShadow}}},
        TBevelCase{"RaisedTopLine", bsTopLine, bsRaised, {{{5, 0}, clBtnHighlight}, {{5, 1}, clBtnShadow}}},
        TBevelCase{"BottomLine", bsBottomLine, bsLowered,
                   {{{5, 17}, clBtnFace}, {{5, 18}, clBtnShadow}, {{5, 19}, clBtnHighlight}}},
        TBevelCase{"LeftLine", bsLeftLine, bsLowered, {{{0, 5}, clBtnShadow}, {{1, 5}, clBtnHighlight}}},
        TBevelCase{"RightLine", bsRightLine, bsLowered, {{{38, 5}, clBtnShadow}, {{39, 5}, clBtnHighlight}}},
        TBevelCase{"LoweredBox", bsBox, bsLowered,
                   {{{5, 0}, clBtnShadow}, {{0, 5}, clBtnShadow}, {{5, 19}, clBtnHighlight},
                    {{39, 5}, clBtnHighlight}, {{5, 5}, clBtnFace}}},
        TBevelCase{"LoweredFrame", bsFrame, bsLowered,
                   {{{5, 0}, clBtnShadow}, {{5, 1}, clBtnHighlight}, {{5, 18}, clBtnShadow},
                    {{5, 19}, clBtnHighlight}}},
        TBevelCase{"Spacer", bsSpacer, bsLowered, {{{5, 0}, clBtnFace}, {{0, 5}, clBtnFace}}}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
