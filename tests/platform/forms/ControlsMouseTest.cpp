// Mouse input through hit testing: events of windowed and graphic controls, capture while a
// button is down, clicks and double clicks, the wheel, and the default message box.
#include "ControlsTestSupport.h"

namespace {

class ControlsMouseTest : public TFormsTest {
 protected:
  void Record(TControl* c) {
    c->OnMouseDown = [this, c](TObject*, TMouseButton b, TShiftState s, Integer x, Integer y) {
      log.push_back(c->GetName() + ":down" + std::to_string(b) + ((s & ssDouble) ? "dbl" : "") + "@" +
                    std::to_string(x) + "," + std::to_string(y));
    };
    c->OnMouseUp = [this, c](TObject*, TMouseButton b, TShiftState, Integer x, Integer y) {
      log.push_back(c->GetName() + ":up" + std::to_string(b) + "@" + std::to_string(x) + "," + std::to_string(y));
    };
    c->OnClick = [this, c](TObject*) { log.push_back(c->GetName() + ":click"); };
    c->OnDblClick = [this, c](TObject*) { log.push_back(c->GetName() + ":dblclick"); };
  }
  std::vector<std::string> log;
};

TEST_F(ControlsMouseTest, GraphicChildrenGetTheirOwnMouseEventsInTheirCoordinates) {
  TForm* form = NewForm(300, 200, 0, 0);
  auto* panel = Add<TProbeControl>(form, "panel", Rect(10, 10, 210, 110));
  auto* graphic = Add<TProbeGraphic>(panel, "graphic", Rect(20, 20, 70, 50));
  Record(panel);
  Record(graphic);
  form->Show();
  Pump();
  TPoint p = graphic->ClientToScreen({5, 6});
  Headless::Click(p.X, p.Y);
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"graphic:down0@5,6", "graphic:click", "graphic:up0@5,6"}));
  log.clear();
  TPoint q = panel->ClientToScreen({150, 80});
  Headless::Click(q.X, q.Y, 1);
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"panel:down1@150,80", "panel:up1@150,80"}));
}

TEST_F(ControlsMouseTest, CaptureKeepsTheMouseUntilReleaseAndAClickNeedsTheReleaseInside) {
  TForm* form = NewForm(300, 200, 0, 0);
  auto* panel = Add<TProbeControl>(form, "panel", Rect(10, 10, 210, 110));
  auto* graphic = Add<TProbeGraphic>(panel, "graphic", Rect(20, 20, 70, 50));
  auto* other = Add<TProbeGraphic>(panel, "other", Rect(100, 20, 150, 50));
  Record(graphic);
  Record(other);
  form->Show();
  Pump();
  TPoint p = graphic->ClientToScreen({5, 5});
  Headless::MoveMouse(p.X, p.Y);
  Headless::MouseDown();
  Pump();
  EXPECT_TRUE(graphic->GetMouseCapture());
  EXPECT_EQ(GetCaptureControl(), graphic);
  TPoint q = other->ClientToScreen({5, 5});
  Headless::MoveMouse(q.X, q.Y);
  Headless::MouseUp();
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"graphic:down0@5,5", "graphic:up0@85,5"}))
      << "the release outside goes to the captured control and is no click";
  EXPECT_FALSE(graphic->GetMouseCapture());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ControlsMouseTest, DoubleClicksAndTheWheel) {
  TForm* form = NewForm(300, 200, 0, 0);
  auto* panel = Add<TProbeControl>(form, "panel", Rect(10, 10, 210, 110));
  Record(panel);
  int wheel = 0;
  panel->OnMouseWheel = [&](TObject*, TShiftState, Integer delta, TPoint, bool& handled) {
    wheel += delta;
    handled = true;
  };
  form->Show();
  Pump();
  TPoint p = panel->ClientToScreen({3, 4});
  Headless::DoubleClick(p.X, p.Y);
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"panel:down0@3,4", "panel:click", "panel:up0@3,4", "panel:dblclick",
                                           "panel:down0dbl@3,4", "panel:up0@3,4"}));
  panel->SetFocus();
  Headless::Wheel(-WHEEL_DELTA);
  Pump();
  EXPECT_EQ(wheel, -WHEEL_DELTA);
}

// The wheel turns the control under the pointer, not the focused one; a control that leaves it
// unhandled passes it to its parent.
TEST_F(ControlsMouseTest, TheWheelGoesToTheControlUnderThePointer) {
  TForm* form = NewForm(300, 200, 0, 0);
  auto* focused = Add<TProbeControl>(form, "focused", Rect(10, 10, 110, 110));
  auto* pointed = Add<TProbeControl>(form, "pointed", Rect(150, 10, 250, 110));
  auto* inner = Add<TProbeControl>(pointed, "inner", Rect(10, 10, 50, 50));
  std::vector<std::string> turned;
  for (TProbeControl* c : {focused, pointed, inner})
    c->OnMouseWheel = [&turned, c](TObject*, TShiftState, Integer, TPoint, bool& handled) {
      turned.push_back(c->GetName());
      handled = c->GetName() != "inner";
    };
  form->Show();
  Pump();
  focused->SetFocus();
  for (TControl* over : {static_cast<TControl*>(pointed), static_cast<TControl*>(inner)}) {
    TPoint p = over->ClientToScreen({over->GetWidth() - 5, over->GetHeight() - 5});
    Headless::MoveMouse(p.X, p.Y);
    Headless::Wheel(-WHEEL_DELTA);
    Pump();
  }
  EXPECT_EQ(turned, (std::vector<std::string>{"pointed", "inner", "pointed"}));
  EXPECT_TRUE(focused->Focused()) << "the wheel moves no focus";
}

TEST_F(ControlsMouseTest, AClickHandlerMayFreeItsControl) {
  TForm* form = NewForm(300, 200, 0, 0);
  auto* panel = Add<TProbeControl>(form, "panel", Rect(10, 10, 110, 110));
  bool freed = false;
  panel->OnClick = [&](TObject* sender) {
    freed = true;  // the handler itself goes with the control: nothing of it may run after Free
    Free(sender);
  };
  form->Show();
  Pump();
  TPoint p = panel->ClientToScreen({3, 3});
  Headless::Click(p.X, p.Y);
  Pump();
  EXPECT_TRUE(freed);
  EXPECT_EQ(form->GetControlCount(), 0);
}

TEST_F(ControlsMouseTest, TheDefaultMessageBoxIsTheWindowSystemsOwnedByTheActiveForm) {
  Application->SetMessageBoxFunc(nullptr);
  TForm* form = NewForm();
  form->Show();
  Pump();
  String caption;
  bool ownerDisabled = false;
  OnceIdle([&] {
    caption = GetWindowText(GetActiveWindow());
    ownerDisabled = !IsWindowEnabled(form->GetHandle());
    Headless::PressKey(VK_RETURN);
  });
  EXPECT_EQ(Application->MessageBox("Something happened.", "QJ Editor", MB_OKCANCEL), IDOK);
  EXPECT_EQ(caption, "QJ Editor");
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(form->GetHandle()));
}

}  // namespace
