// Drop-downs on a real X display: on the SDL backend under Xvfb a popup is a borderless top-level
// window of its own that shows its content on the screen, never takes the activation from its
// owner's form, and closes when the user clicks elsewhere.
#include <chrono>
#include <cstdlib>

#include "lookandfeel/qvPopupWindow.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "qvControlsTestSupport.h"
#include "support/SdlScreen.h"

namespace {

class PopupSdl : public TSdlUnitsTest<TqvLookAndFeelUnits> {
 protected:
  // A borderless form at (100, 100) with an edit (the owner) and another edit further down, and
  // a non-modal drop-down for the owner holding a red panel of 120 x 60.
  void Build(bool captureFocus) {
    FForm = New<TForm>(nullptr);
    FForm->SetBorderStyle(bsNone);
    FForm->SetBounds(100, 100, 300, 200);
    FOwner = Add<TEdit>(FForm, Rect(10, 10, 130, 34));
    FOther = Add<TEdit>(FForm, Rect(10, 150, 130, 174));
    FForm->Show();
    FOwner->SetFocus();
    FPopup = New<TqvCustomPopupWindow>(FOwner);
    FPopup->SetIsModal(false);
    FPopup->SetCaptureFocus(captureFocus);
    FPopup->SetOwnerRectParent(FOwner);
    FPopup->SetOwnerRect(Rect(0, 0, FOwner->GetWidth(), FOwner->GetHeight()));
    FPanel = Add<TPanel>(FPopup, Rect(0, 0, 120, 60));
    FPanel->SetBevelOuter(bvNone);
    FPanel->SetColor(clRed);
    FPanel->SetTabStop(false);
  }

  // The popup's pixels on the X screen: red below the owner edit at (110, 134).
  bool PopupShownOnScreen(TXScreenReader& screen) {
    return PumpUntil([&] { return screen.Pixel(170, 160) == 0xFF0000; });
  }

  template <class T>
  static T* Add(TWinControl* parent, TRect bounds) {
    auto* c = New<T>(parent);
    c->SetBoundsRect(bounds);
    c->SetParent(parent);
    return c;
  }

  TForm* FForm = nullptr;
  TEdit* FOwner = nullptr;
  TEdit* FOther = nullptr;
  TqvCustomPopupWindow* FPopup = nullptr;
  TPanel* FPanel = nullptr;
};

TEST_F(PopupSdl, ANonActivatingDropDownIsARealWindowThatLeavesTheFocusWithItsOwner) {
  if (!HaveTools()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
  if (!InOwnProcess()) return;
  StartScreen(197);
  Build(false);
  TXScreenReader screen(FServer.Display());
  ASSERT_TRUE(screen.Ok());
  ASSERT_TRUE(PumpUntil([&] { return FForm->GetActive(); }));
  FPopup->Popup(FOwner);
  EXPECT_TRUE(PopupShownOnScreen(screen)) << "the popup paints in a window of its own";
  EXPECT_EQ(FPopup->GetBoundsRect().TopLeft(), FOwner->ClientToScreen({0, FOwner->GetHeight()}));
  EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == FForm->GetHandle(); }));
  EXPECT_EQ(FOwner->GetHandle(), GetFocus());
  // A click inside keeps it open and the form active; a click elsewhere closes it.
  int ups = 0;
  FPanel->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { ++ups; };
  ASSERT_TRUE(XDo("mousemove 170 170 click 1"));
  EXPECT_TRUE(PumpUntil([&] { return ups == 1; })) << "the click inside reaches the popup's content";
  EXPECT_TRUE(FPopup->IsOpen());
  EXPECT_EQ(FForm->GetHandle(), GetActiveWindow());
  ASSERT_TRUE(XDo("mousemove 150 260 click 1"));
  EXPECT_TRUE(PumpUntil([&] { return !FPopup->IsOpen(); }));
  EXPECT_TRUE(PumpUntil([&] { return screen.Pixel(170, 160) != 0xFF0000; })) << "the window is gone from the screen";
}

TEST_F(PopupSdl, ACaptureFocusDropDownTakesTheFocusAndClosesOnAClickElsewhere) {
  if (!HaveTools()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
  if (!InOwnProcess()) return;
  StartScreen(199);
  Build(true);
  TXScreenReader screen(FServer.Display());
  ASSERT_TRUE(screen.Ok());
  ASSERT_TRUE(PumpUntil([&] { return FForm->GetActive(); }));
  FPopup->Popup(nullptr);
  EXPECT_TRUE(PopupShownOnScreen(screen));
  EXPECT_TRUE(PumpUntil([&] { return FPopup->Focused(); }));
  PumpUntil([] { return false; }, std::chrono::seconds(1));  // the X focus events arrive
  EXPECT_TRUE(FPopup->Focused());
  EXPECT_TRUE(FPopup->IsOpen()) << "the X focus stays with the form while the popup is active in the window system";
  int downs = 0;
  FOther->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { ++downs; };
  ASSERT_TRUE(XDo("mousemove 150 260 click 1"));
  EXPECT_TRUE(PumpUntil([&] { return !FPopup->IsOpen(); }));
  EXPECT_TRUE(PumpUntil([&] { return downs == 1; })) << "the click reaches the control under it";
  EXPECT_TRUE(PumpUntil([&] { return GetFocus() == FOther->GetHandle(); })) << "the form keeps the activation";
}

}  // namespace
