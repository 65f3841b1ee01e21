// Drag and drop between controls with real mouse input (accept, refuse, threshold, Esc), the
// mouse enter/leave tracking, hints under the fake clock, and the screen's cursors.
#include "ControlsTestSupport.h"

namespace {

class ControlsDragHintTest : public TFormsTest {
 protected:
  void Build() {
    form = NewForm(400, 200, 0, 0);
    source = Add<TProbeControl>(form, "source", Rect(10, 10, 60, 60));
    source->SetDragMode(dmAutomatic);
    accepting = Add<TProbeControl>(form, "accepting", Rect(100, 10, 160, 60));
    refusing = Add<TProbeGraphic>(form, "refusing", Rect(200, 10, 260, 60));
    accepting->OnDragOver = [this](TObject*, TObject* src, Integer, Integer, TDragState state, bool& accept) {
      states.push_back(state);
      accept = src == source;
    };
    accepting->OnDragDrop = [this](TObject*, TObject* src, Integer x, Integer y) {
      dropSource = src;
      dropAt = {x, y};
    };
    refusing->OnDragOver = [](TObject*, TObject*, Integer, Integer, TDragState, bool& accept) { accept = false; };
    refusing->OnDragDrop = [this](TObject*, TObject*, Integer, Integer) { dropSource = refusing; };
    source->OnEndDrag = [this](TObject*, TObject* target, Integer x, Integer y) {
      ended = true;
      endTarget = target;
      endAt = {x, y};
    };
    form->Show();
    Pump();
  }
  void MoveTo(TControl* c, TPoint local) {
    TPoint p = c->ClientToScreen(local);
    Headless::MoveMouse(p.X, p.Y);
    Pump();
  }

  TForm* form = nullptr;
  TProbeControl *source = nullptr, *accepting = nullptr;
  TProbeGraphic* refusing = nullptr;
  std::vector<TDragState> states;
  TObject* dropSource = nullptr;
  TPoint dropAt{-1, -1};
  bool ended = false;
  TObject* endTarget = nullptr;
  TPoint endAt{-1, -1};
};

TEST_F(ControlsDragHintTest, DraggingOntoAnAcceptingControlDrops) {
  Build();
  MoveTo(source, {5, 5});
  Headless::MouseDown();
  Pump();
  EXPECT_FALSE(ActiveDragObject()) << "the drag waits for the threshold";
  MoveTo(source, {7, 7});
  EXPECT_FALSE(ActiveDragObject());
  MoveTo(source, {20, 5});
  ASSERT_TRUE(ActiveDragObject());
  EXPECT_TRUE(source->Dragging());
  MoveTo(accepting, {10, 12});
  EXPECT_EQ(GetCursorShape(GetCursor()), 0u) << "the drag cursor (a picture of ours) over an accepting target";
  MoveTo(accepting, {11, 13});
  Headless::MouseUp();
  Pump();
  EXPECT_EQ(states, (std::vector<TDragState>{dsDragEnter, dsDragMove, dsDragMove}));
  EXPECT_EQ(dropSource, source) << "the targets see the dragged control as the source";
  EXPECT_EQ(dropAt, (TPoint{11, 13}));
  EXPECT_TRUE(ended);
  EXPECT_EQ(endTarget, accepting);
  EXPECT_EQ(endAt, (TPoint{11, 13}));
  EXPECT_FALSE(source->Dragging());
  EXPECT_FALSE(ActiveDragObject());
  EXPECT_EQ(source->Count(WM_LBUTTONUP), 0) << "the mouse went to the drag, not the source";
}

TEST_F(ControlsDragHintTest, DroppingOnARefusingControlEndsWithoutTarget) {
  Build();
  MoveTo(source, {5, 5});
  Headless::MouseDown();
  MoveTo(source, {30, 30});
  MoveTo(accepting, {5, 5});
  MoveTo(refusing, {5, 5});
  EXPECT_EQ(GetCursorShape(GetCursor()), IDC_NO);
  Headless::MouseUp();
  Pump();
  EXPECT_EQ(states.back(), dsDragLeave) << "leaving the accepting control tells it";
  EXPECT_EQ(dropSource, nullptr);
  EXPECT_TRUE(ended);
  EXPECT_EQ(endTarget, nullptr);
}

TEST_F(ControlsDragHintTest, EscCancelsAndAReleaseBeforeTheThresholdStartsNothing) {
  Build();
  MoveTo(source, {5, 5});
  Headless::MouseDown();
  MoveTo(source, {6, 6});
  Headless::MouseUp();
  Pump();
  EXPECT_FALSE(ended);
  EXPECT_FALSE(source->Dragging());

  Headless::MouseDown();
  MoveTo(source, {30, 30});
  MoveTo(accepting, {5, 5});
  ASSERT_TRUE(source->Dragging());
  Headless::PressKey(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(source->Dragging());
  EXPECT_TRUE(ended);
  EXPECT_EQ(endTarget, nullptr);
  Headless::MouseUp();
  Pump();
  EXPECT_EQ(dropSource, nullptr);
}

TEST_F(ControlsDragHintTest, ManualBeginDragAndEndDrag) {
  Build();
  source->SetDragMode(dmManual);
  MoveTo(accepting, {3, 4});
  source->BeginDrag(true);
  ASSERT_TRUE(source->Dragging());
  EXPECT_EQ(states, (std::vector<TDragState>{dsDragEnter, dsDragMove}));
  source->EndDrag(true);
  EXPECT_EQ(dropSource, source);
  EXPECT_EQ(dropAt, (TPoint{3, 4}));
}

TEST_F(ControlsDragHintTest, MouseEnterAndLeaveFollowTheMouse) {
  Build();
  std::vector<std::string> seen;
  accepting->OnMouseEnter = [&](TObject*) { seen.push_back("enter accepting"); };
  accepting->OnMouseLeave = [&](TObject*) { seen.push_back("leave accepting"); };
  refusing->OnMouseEnter = [&](TObject*) { seen.push_back("enter refusing"); };
  MoveTo(accepting, {1, 1});
  MoveTo(accepting, {2, 2});
  MoveTo(refusing, {1, 1});
  EXPECT_EQ(seen, (std::vector<std::string>{"enter accepting", "leave accepting", "enter refusing"}));
  EXPECT_EQ(Application->GetMouseControl(), refusing);
}

TEST_F(ControlsDragHintTest, HintAppearsAfterThePauseAndGoesOnMoveOutOrClick) {
  Build();
  accepting->SetHint("Short text|Long text");
  accepting->SetShowHint(true);
  Application->SetHintPause(500);
  MoveTo(accepting, {5, 5});
  Headless::AdvanceClock(499);
  Pump();
  EXPECT_EQ(Application->GetHintWindow(), nullptr);
  Headless::AdvanceClock(1);
  Pump();
  THintWindow* hint = Application->GetHintWindow();
  ASSERT_NE(hint, nullptr);
  EXPECT_TRUE(IsWindowVisible(hint->GetHandle()));
  EXPECT_EQ(hint->GetCaption(), "Short text");
  RECT r;
  GetWindowRect(hint->GetHandle(), &r);
  TPoint cursor = accepting->ClientToScreen({5, 5});
  EXPECT_GT(r.Top, cursor.Y) << "below the cursor";
  EXPECT_NEAR(r.Left, cursor.X, 2);

  MoveTo(form, {390, 190});
  EXPECT_EQ(Application->GetHintWindow(), nullptr) << "moving out hides the hint";

  MoveTo(accepting, {5, 5});
  Headless::AdvanceClock(500);
  Pump();
  ASSERT_NE(Application->GetHintWindow(), nullptr);
  Headless::Click(accepting->ClientToScreen({5, 5}).X, accepting->ClientToScreen({5, 5}).Y);
  Pump();
  EXPECT_EQ(Application->GetHintWindow(), nullptr) << "a click hides the hint";
}

TEST_F(ControlsDragHintTest, HintShowCanChangeOrSuppressTheHint) {
  Build();
  refusing->SetHint("graphic");
  refusing->SetShowHint(true);
  Application->OnShowHint = [](String& text, bool&, THintInfo& info) {
    EXPECT_EQ(info.CursorPos, (TPoint{4, 6}));
    text = "changed " + text;
  };
  MoveTo(refusing, {4, 6});
  Headless::AdvanceClock(Application->GetHintPause());
  Pump();
  ASSERT_NE(Application->GetHintWindow(), nullptr);
  EXPECT_EQ(Application->GetHintWindow()->GetCaption(), "changed graphic");
  Headless::AdvanceClock(Application->GetHintHidePause());
  Pump();
  EXPECT_EQ(Application->GetHintWindow(), nullptr) << "hidden after the hide pause";
  Application->OnShowHint = [](String&, bool& canShow, THintInfo&) { canShow = false; };
  MoveTo(form, {390, 190});
  MoveTo(refusing, {4, 6});
  Headless::AdvanceClock(Application->GetHintPause());
  Pump();
  EXPECT_EQ(Application->GetHintWindow(), nullptr);
  Application->OnShowHint = nullptr;
}

TEST_F(ControlsDragHintTest, ScreenCursorOverridesControlCursors) {
  Build();
  accepting->SetCursor(crHandPoint);
  MoveTo(accepting, {5, 5});
  EXPECT_EQ(GetCursorShape(GetCursor()), IDC_HAND);
  Screen->SetCursor(crHourGlass);
  EXPECT_EQ(GetCursorShape(GetCursor()), IDC_WAIT);
  MoveTo(accepting, {6, 6});
  EXPECT_EQ(GetCursorShape(GetCursor()), IDC_WAIT);
  Screen->SetCursor(crDefault);
  EXPECT_EQ(GetCursorShape(GetCursor()), IDC_HAND);
  EXPECT_EQ(GetCursorShape(Screen->GetCursors(12345)), IDC_ARROW) << "an unknown id gives the arrow";
  EXPECT_EQ(Screen->GetWidth(), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_GE(Screen->GetMonitorCount(), 1);
  EXPECT_TRUE(Screen->MonitorFromPoint({10, 10})->GetPrimary());
  EXPECT_EQ(Mouse->GetCursorPos(), accepting->ClientToScreen({6, 6}));
}

}  // namespace
