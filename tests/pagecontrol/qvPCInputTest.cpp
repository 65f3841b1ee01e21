// The tab control's input: the key table (wrapping, ends, disabled tabs, reversed order, the
// focus mark of the button styles), keys through the window and the dialog-key path,
// accelerators, clicks on tabs (disabled tabs, pressed buttons, Ctrl with multi-selection), the
// arrows' repeat on the fake clock, the wheel and hot tracking.
#include "PageControlTestSupport.h"
#include "platform/forms/StdCtrls.h"

namespace {

class TabInput : public TPageControlTest {
 protected:
  // Four tabs "A" to "D", the third disabled, on a shown form.
  void Build(TqvPCStyleID AStyle, Integer AWidth = 300) {
    FControl = NewTabControl(AWidth, 100, &FForm);
    FControl->SetStyle(AStyle);
    for (const char* c : {"A", "B", "C", "D"}) FControl->GetTabs()->Add(c);
    FControl->GetTabs()->GetTab(2)->SetEnabled(false);
    Show(FForm);
  }
  TPoint CenterOf(Integer AVisibleIndex) {
    const TRect r = VisibleTab(FControl, AVisibleIndex)->GetVisibleRect();
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  TForm* FForm = nullptr;
  TqvCustomTabControl* FControl = nullptr;
};

// ------------------------------------------------------------------ the key table

enum TKeyStyle { ksTabs = 1, ksButtons = 2 };

struct TKeyCase {
  const char* Name;
  TKeyStyle Style;
  TqvTabPosition Position;
  Integer Start;  // TabIndex before the key
  Word Key;
  TShiftState Shift;
  bool Handled;
  Integer TabIndex;
  Integer FocusedTab;
};

class TabKeys : public TabInput, public ::testing::WithParamInterface<TKeyCase> {};

TEST_P(TabKeys, Table) {
  const TKeyCase& c = GetParam();
  Build(c.Style);
  FControl->SetTabPosition(c.Position);
  FControl->SetTabIndex(c.Start);
  Word key = c.Key;
  EXPECT_EQ(c.Handled, FControl->HandleTabKey(key, c.Shift));
  EXPECT_EQ(c.TabIndex, FControl->GetTabIndex());
  EXPECT_EQ(c.FocusedTab, FControl->GetFocusedTab());
}

INSTANTIATE_TEST_SUITE_P(
    Table, TabKeys,
    ::testing::Values(
        TKeyCase{"CtrlTabWrapsToTheFirst", ksTabs, tpTop, 3, VK_TAB, ssCtrl, true, 0, -1},
        TKeyCase{"CtrlShiftTabWrapsToTheLast", ksTabs, tpTop, 0, VK_TAB, ssCtrl | ssShift, true, 3, -1},
        TKeyCase{"CtrlTabSkipsADisabledTab", ksTabs, tpTop, 1, VK_TAB, ssCtrl, true, 3, -1},
        TKeyCase{"TabWithoutCtrlIsNotHandled", ksTabs, tpTop, 1, VK_TAB, 0, false, 1, -1},
        TKeyCase{"RightOnTheLastIsHandledWithoutAction", ksTabs, tpTop, 3, VK_RIGHT, 0, true, 3, -1},
        TKeyCase{"LeftSkipsADisabledTab", ksTabs, tpTop, 3, VK_LEFT, 0, true, 1, -1},
        TKeyCase{"DownIsNext", ksTabs, tpTop, 0, VK_DOWN, 0, true, 1, -1},
        TKeyCase{"UpIsPrevious", ksTabs, tpTop, 1, VK_UP, 0, true, 0, -1},
        TKeyCase{"HomeIsTheFirst", ksTabs, tpTop, 3, VK_HOME, 0, true, 0, -1},
        TKeyCase{"EndIsTheLast", ksTabs, tpTop, 0, VK_END, 0, true, 3, -1},
        TKeyCase{"AltIsNotHandled", ksTabs, tpTop, 0, VK_RIGHT, ssAlt, false, 0, -1},
        TKeyCase{"ShiftAltIsNotHandled", ksTabs, tpTop, 0, VK_RIGHT, ssShift | ssAlt, false, 0, -1},
        TKeyCase{"OtherKeysAreNotHandled", ksTabs, tpTop, 0, VK_F1, 0, false, 0, -1},
        TKeyCase{"EnterWithoutAFocusMarkIsNotHandled", ksTabs, tpTop, 0, VK_RETURN, 0, false, 0, -1},
        TKeyCase{"WithoutASelectionRightGoesToTheFirst", ksTabs, tpTop, -1, VK_RIGHT, 0, true, 0, -1},
        TKeyCase{"WithoutASelectionLeftGoesToTheLast", ksTabs, tpTop, -1, VK_LEFT, 0, true, 3, -1},
        // Vertical tabs run from the bottom up: the next tab in display order is the previous one.
        TKeyCase{"ReversedDownIsThePreviousTab", ksTabs, tpLeft, 1, VK_DOWN, 0, true, 0, -1},
        TKeyCase{"ReversedHomeIsTheLastTab", ksTabs, tpLeft, 0, VK_HOME, 0, true, 3, -1},
        TKeyCase{"ButtonsMoveOnlyTheFocusMark", ksButtons, tpTop, 0, VK_RIGHT, 0, true, 0, 1},
        TKeyCase{"ButtonsEndMovesTheMark", ksButtons, tpTop, 0, VK_END, 0, true, 0, 3},
        TKeyCase{"ButtonsCtrlTabSelects", ksButtons, tpTop, 0, VK_TAB, ssCtrl, true, 1, -1}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TabInput, WithTheButtonStylesEnterSelectsTheMarkedTab) {
  Build(ksButtons);
  Word key = VK_RIGHT;
  FControl->HandleTabKey(key, 0);
  ASSERT_EQ(1, FControl->GetFocusedTab());
  key = VK_SPACE;
  EXPECT_TRUE(FControl->HandleTabKey(key, 0));
  EXPECT_EQ(1, FControl->GetTabIndex());
  EXPECT_EQ(-1, FControl->GetFocusedTab()) << "a new selection clears the mark";
}

TEST_F(TabInput, NoVisibleTabsHandleNoKeys) {
  Build(ksTabs);
  for (Integer i = 0; i < 4; ++i) FControl->GetTabs()->GetTab(i)->SetVisible(false);
  Word key = VK_RIGHT;
  EXPECT_FALSE(FControl->HandleTabKey(key, 0));
}

TEST_F(TabInput, KeysThroughTheWindow) {
  Build(ksTabs);
  FControl->SetFocus();
  Pump();
  Headless::PressKey(VK_RIGHT);
  Pump();
  EXPECT_EQ(1, FControl->GetTabIndex());
  Headless::PressKey(VK_TAB, skCtrl);
  Pump();
  EXPECT_EQ(3, FControl->GetTabIndex());
  EXPECT_EQ(FControl->GetHandle(), GetFocus()) << "the control keeps the focus";
}

TEST_F(TabInput, CtrlTabReachesTheControlFromAControlInsideIt) {
  Build(ksTabs);
  auto* edit = Add<TEdit>(FControl, Rect(10, 40, 100, 60));
  edit->SetFocus();
  Pump();
  Headless::PressKey(VK_TAB, skCtrl);
  Pump();
  EXPECT_EQ(1, FControl->GetTabIndex());
  Headless::PressKey(VK_RIGHT);
  Pump();
  EXPECT_EQ(1, FControl->GetTabIndex()) << "arrows stay with the edit";
}

TEST_F(TabInput, AnAcceleratorSelectsItsTabAndFocusesTheControl) {
  Build(ksTabs);
  FControl->GetTabs()->Put(3, "&Delta");
  FControl->GetTabs()->Put(2, "&Charlie");
  auto* other = Add<TButton>(FForm, Rect(10, 115, 80, 135));
  other->SetFocus();
  Pump();
  Headless::TypeText("c");
  Pump();
  EXPECT_EQ(0, FControl->GetTabIndex()) << "a disabled tab's accelerator does nothing";
  Headless::TypeText("d");
  Pump();
  EXPECT_EQ(3, FControl->GetTabIndex());
  EXPECT_EQ(FControl->GetHandle(), GetFocus());
}

// ------------------------------------------------------------------ the mouse on tabs

TEST_F(TabInput, AClickSelectsAnEnabledTab) {
  Build(ksTabs);
  Click(FControl, CenterOf(1));
  EXPECT_EQ(1, FControl->GetTabIndex());
  EXPECT_EQ(FControl->GetHandle(), GetFocus());
  Click(FControl, CenterOf(2));
  EXPECT_EQ(1, FControl->GetTabIndex()) << "the disabled tab";
  Click(FControl, CenterOf(1), 1);
  Click(FControl, CenterOf(3), 1);
  EXPECT_EQ(1, FControl->GetTabIndex()) << "the right button";
}

TEST_F(TabInput, AButtonTabActsOnReleaseOverItself) {
  Build(ksButtons);
  Down(FControl, CenterOf(1));
  EXPECT_EQ(1, FControl->GetPressedTab());
  EXPECT_EQ(0, FControl->GetTabIndex()) << "nothing until the button comes up";
  Up();
  EXPECT_EQ(1, FControl->GetTabIndex());
  EXPECT_EQ(-1, FControl->GetPressedTab());
  Down(FControl, CenterOf(3));
  MoveTo(FControl, CenterOf(0));
  EXPECT_EQ(-1, FControl->GetPressedTab()) << "leaving the tab releases it";
  Up();
  EXPECT_EQ(1, FControl->GetTabIndex());
}

TEST_F(TabInput, CtrlClicksToggleSeveralButtonsOnceMultiSelectionIsOn) {
  Build(ksButtons);
  FControl->GetTabs()->GetTab(1)->SetSelected(true);
  FControl->GetTabs()->GetTab(3)->SetSelected(true);
  ASSERT_TRUE(FControl->IsMultiSelectionActive());
  Headless::KeyDown(VK_CONTROL);
  Click(FControl, CenterOf(1));
  EXPECT_FALSE(FControl->GetTabs()->GetTab(1)->GetSelected());
  EXPECT_EQ(0, FControl->GetTabIndex());
  Click(FControl, CenterOf(0));
  EXPECT_EQ(-1, FControl->GetTabIndex()) << "Ctrl on the active tab deselects it";
  Headless::KeyUp(VK_CONTROL);
  Pump();
}

// ------------------------------------------------------------------ arrows, wheel, hot tracking

class TabScrolling : public TabInput {
 protected:
  void SetUp() override {
    TabInput::SetUp();
    FControl = NewTabControl(100, 60, &FForm);
    FControl->SetStyle(TFixedPainter::Style);
    AddTabs(FControl, {30, 30, 30, 30, 30, 30, 30});
    Show(FForm);
  }
  TPoint ArrowPoint(TqvPCNavigatorButton AButton) {
    for (const auto& info : static_cast<TqvPCStandardPainter*>(FControl->GetPCPainter())->GetNavigatorButtonInfos())
      if (info.Button == AButton) return {(info.Bounds.Left + info.Bounds.Right) / 2, (info.Bounds.Top + info.Bounds.Bottom) / 2};
    return {-1, -1};
  }
};

TEST_F(TabScrolling, HoldingAnArrowStepsAtOnceThenAfter300AndEvery150Milliseconds) {
  ASSERT_EQ(nbArrows, FControl->GetNavigatorButtons());
  Down(FControl, ArrowPoint(nbBottomRight));
  EXPECT_EQ(1, FControl->GetFirstVisibleTab()) << "at once";
  EXPECT_EQ(nbsPressed, FControl->GetNavigatorButtonState(nbBottomRight));
  Wait(299);
  EXPECT_EQ(1, FControl->GetFirstVisibleTab());
  Wait(1);
  EXPECT_EQ(2, FControl->GetFirstVisibleTab()) << "300 ms";
  Wait(149);
  EXPECT_EQ(2, FControl->GetFirstVisibleTab());
  Wait(1);
  EXPECT_EQ(3, FControl->GetFirstVisibleTab()) << "450 ms";
  Wait(150);
  EXPECT_EQ(4, FControl->GetFirstVisibleTab()) << "600 ms";
  Wait(150);
  EXPECT_EQ(5, FControl->GetFirstVisibleTab());
  EXPECT_EQ(nbsDisabled, FControl->GetNavigatorButtonState(nbBottomRight)) << "the last tabs show whole";
  Wait(600);
  EXPECT_EQ(5, FControl->GetFirstVisibleTab());
  EXPECT_FALSE(FControl->GetArrowTimer()->GetEnabled());
  Up();
}

TEST_F(TabScrolling, MovingOffTheArrowStopsIt) {
  Down(FControl, ArrowPoint(nbBottomRight));
  MoveTo(FControl, {5, 40});
  EXPECT_EQ(nbsNormal, FControl->GetNavigatorButtonState(nbBottomRight));
  Wait(1000);
  EXPECT_EQ(1, FControl->GetFirstVisibleTab());
  Up();
  Click(FControl, ArrowPoint(nbTopLeft));
  EXPECT_EQ(0, FControl->GetFirstVisibleTab());
  EXPECT_EQ(nbsDisabled, FControl->GetNavigatorButtonState(nbTopLeft));
  Click(FControl, ArrowPoint(nbTopLeft));
  EXPECT_EQ(0, FControl->GetFirstVisibleTab()) << "a disabled arrow does not step";
}

TEST_F(TabScrolling, TheWheelOverTheRowScrollsOneStep) {
  MoveTo(FControl, {10, 10});
  Headless::Wheel(-120);
  Pump();
  EXPECT_EQ(1, FControl->GetFirstVisibleTab());
  Headless::Wheel(120);
  Pump();
  EXPECT_EQ(0, FControl->GetFirstVisibleTab());
  MoveTo(FControl, {10, 40});
  Headless::Wheel(-120);
  Pump();
  EXPECT_EQ(0, FControl->GetFirstVisibleTab()) << "below the row";
}

TEST_F(TabInput, HotTrackingFollowsThePointerOverEnabledTabsAndButtons) {
  Build(ksTabs);
  MoveTo(FControl, CenterOf(1));
  EXPECT_EQ(-1, FControl->GetHotTab()) << "off without HotTrack";
  FControl->SetHotTrack(true);
  EXPECT_EQ(1, FControl->GetHotTab());
  MoveTo(FControl, CenterOf(2));
  EXPECT_EQ(-1, FControl->GetHotTab()) << "a disabled tab";
  MoveTo(FControl, CenterOf(3));
  EXPECT_EQ(3, FControl->GetHotTab());
  MoveTo(FForm, {330, 130});
  EXPECT_EQ(-1, FControl->GetHotTab()) << "the pointer left";
}

TEST_F(TabScrolling, AnArrowUnderThePointerIsHot) {
  FControl->SetHotTrack(true);
  MoveTo(FControl, ArrowPoint(nbBottomRight));
  EXPECT_EQ(nbsHotTrack, FControl->GetNavigatorButtonState(nbBottomRight));
  EXPECT_EQ(nbBit(nbBottomRight), FControl->GetHotButtons());
  MoveTo(FControl, ArrowPoint(nbTopLeft));
  EXPECT_EQ(nbsNormal, FControl->GetNavigatorButtonState(nbBottomRight));
  EXPECT_EQ(nbsDisabled, FControl->GetNavigatorButtonState(nbTopLeft)) << "a disabled arrow is never hot";
}

}  // namespace
