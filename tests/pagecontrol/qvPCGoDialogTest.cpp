// The go dialog: opened by the go button with the enabled visible tabs listed by display caption
// and the active one preselected, its size (seven rows, the scroll bars' room), its placement at
// the go button by tab and navigator position, choosing with Enter, the pointer or nothing with
// Esc, sorting, and the click on the go button that closes it without opening it again.
#include "PageControlTestSupport.h"
#include "pagecontrol/qvPCGoDialog.h"

namespace {

class GoDialog : public TPageControlTest {
 protected:
  void Build(Integer ATabs, TqvTabPosition APosition = tpTop, TqvPCNavigatorPosition ANavigator = npRightTop) {
    std::vector<String> captions;
    for (Integer i = 0; i < ATabs; ++i) captions.push_back("Tab &" + IntToStr(i));
    Build(captions, APosition, ANavigator);
  }
  void Build(const std::vector<String>& ACaptions, TqvTabPosition APosition = tpTop,
             TqvPCNavigatorPosition ANavigator = npRightTop) {
    FControl = NewTabControl(200, 120, &FForm);
    FForm->SetBounds(100, 100, FForm->GetWidth(), FForm->GetHeight());
    FControl->SetStyle(2);
    FControl->SetOptions(pcoBit(pcoGoDialog));
    FControl->SetTabPosition(APosition);
    FControl->SetNavigatorPosition(ANavigator);
    for (const String& caption : ACaptions) FControl->GetTabs()->Add(caption);
    Show(FForm);
    ASSERT_TRUE(FControl->GetNavigatorButtons() & nbBit(nbGoDialog));
  }
  TRect GoButton() const { return FControl->GetPCPainter()->GetGoDialogButtonBounds(); }
  void ClickGo() {
    const TRect r = GoButton();
    Click(FControl, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
  }
  TqvPCGoDialog* Dialog() const { return FControl->GetGoDialog(); }
  TStrings* Items() const { return Dialog()->GetListBox()->GetItems(); }
  std::vector<String> Lines() const {
    std::vector<String> lines;
    for (Integer i = 0; i < Items()->GetCount(); ++i) lines.push_back(Items()->Get(i));
    return lines;
  }

  TForm* FForm = nullptr;
  TqvCustomTabControl* FControl = nullptr;
};

TEST_F(GoDialog, TheGoButtonOpensAListOfTheEnabledVisibleTabs) {
  Build(6);
  FControl->SetTabIndex(3);
  FControl->GetTabs()->GetTab(1)->SetVisible(false);
  FControl->GetTabs()->GetTab(4)->SetEnabled(false);
  ClickGo();
  ASSERT_TRUE(Dialog()->IsOpen());
  EXPECT_TRUE(FControl->IsGoDialogOpen());
  EXPECT_EQ((std::vector<String>{"Tab 0", "Tab 2", "Tab 3", "Tab 5"}), Lines()) << "display captions";
  EXPECT_EQ(2, Dialog()->GetListBox()->GetItemIndex()) << "the active tab preselected";
  EXPECT_EQ(Dialog()->GetListBox()->GetHandle(), GetFocus());
}

TEST_F(GoDialog, EnterChoosesTheSelectedEntry) {
  Build(6);
  ClickGo();
  Headless::PressKey(VK_DOWN);
  Headless::PressKey(VK_DOWN);
  Headless::PressKey(VK_RETURN);
  Pump();
  EXPECT_FALSE(Dialog()->IsOpen());
  EXPECT_FALSE(FControl->IsGoDialogOpen());
  EXPECT_EQ(2, FControl->GetTabIndex());
  EXPECT_EQ(nbsNormal, FControl->GetNavigatorButtonState(nbGoDialog));
  EXPECT_EQ(TqvPCNavigatorButtons(0), FControl->GetPressedButtons());
}

TEST_F(GoDialog, EscapeKeepsTheSelection) {
  Build(6);
  FControl->SetTabIndex(1);
  ClickGo();
  Headless::PressKey(VK_DOWN);
  Headless::PressKey(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(Dialog()->IsOpen());
  EXPECT_EQ(-1, Dialog()->GetResult());
  EXPECT_EQ(1, FControl->GetTabIndex());
}

TEST_F(GoDialog, ThePointerSelectsAndTheReleaseChooses) {
  Build(6);
  ClickGo();
  TqvPCGoDialogListBox* list = Dialog()->GetListBox();
  const TRect item = list->ItemRect(4);
  MoveTo(list, {item.Left + 5, item.Top + 2});
  EXPECT_EQ(4, list->GetItemIndex());
  Click(list, {item.Left + 5, item.Top + 2});
  EXPECT_FALSE(Dialog()->IsOpen());
  EXPECT_EQ(4, FControl->GetTabIndex());
}

TEST_F(GoDialog, SortedEntriesStillChooseTheirOwnTab) {
  Build({"Zulu", "alpha", "Mike", "Bravo", "Echo", "Kilo"});
  FControl->SetOptions(pcoBit(pcoGoDialog) | pcoBit(pcoSort));
  ClickGo();
  EXPECT_EQ((std::vector<String>{"alpha", "Bravo", "Echo", "Kilo", "Mike", "Zulu"}), Lines());
  EXPECT_EQ(5, Dialog()->GetListBox()->GetItemIndex()) << "Zulu, the active tab";
  Headless::PressKey(VK_HOME);
  Headless::PressKey(VK_RETURN);
  Pump();
  EXPECT_EQ(1, FControl->GetTabIndex()) << "alpha";
}

TEST_F(GoDialog, EightEntriesShowSevenRowsAndAScrollBar) {
  Build(9);
  FControl->GetTabs()->GetTab(8)->SetEnabled(false);
  ClickGo();
  TqvPCGoDialogListBox* list = Dialog()->GetListBox();
  ASSERT_EQ(8, Items()->GetCount());
  EXPECT_EQ(TqvPCGoDialog::ListWidth, list->GetWidth());
  EXPECT_EQ(7 * list->GetItemHeight(), list->GetHeight());
  EXPECT_TRUE(GetWindowLongPtr(list->GetHandle(), GWL_STYLE) & WS_VSCROLL ||
              list->GetVScrollBar()->GetVisible());
  EXPECT_EQ(list->GetWidth() + 4, Dialog()->GetWidth());
  EXPECT_EQ(list->GetHeight() + 4, Dialog()->GetHeight());
  EXPECT_EQ((TPoint{2, 2}), list->GetBoundsRect().TopLeft());
}

TEST_F(GoDialog, AWideCaptionAddsRoomForTheHorizontalScrollBar) {
  Build({"Tab 0", "Tab 1", "Tab 2", "A caption far wider than the hundred and twenty-five pixels of the list"});
  ClickGo();
  TqvPCGoDialogListBox* list = Dialog()->GetListBox();
  EXPECT_EQ(4 * list->GetItemHeight() + GetSystemMetrics(SM_CYHSCROLL), list->GetHeight());
  TqvScreenCanvas canvas;
  canvas.SetFont(list->GetFont());
  EXPECT_EQ(canvas.TextWidth(Items()->Get(3)) + 4, list->GetScrollWidth());
}

struct TPlacementCase {
  const char* Name;
  TqvTabPosition Position;
  TqvPCNavigatorPosition Navigator;
  bool LeftEdge;  // else the right edges line up
  bool Below;     // else above
};

class GoDialogPlacement : public GoDialog, public ::testing::WithParamInterface<TPlacementCase> {};

TEST_P(GoDialogPlacement, AtTheGoButton) {
  const TPlacementCase& c = GetParam();
  Build(12, c.Position, c.Navigator);
  // Room on both sides of the button.
  FForm->SetBounds(300, 300, FForm->GetWidth(), FForm->GetHeight());
  Pump();
  ClickGo();
  ASSERT_TRUE(Dialog()->IsOpen());
  const TRect go = GoButton();
  const TPoint topLeft = FControl->ClientToScreen(go.TopLeft()), bottomRight = FControl->ClientToScreen(go.BottomRight());
  const TRect dialog = Dialog()->GetBoundsRect();
  if (c.LeftEdge)
    EXPECT_EQ(topLeft.X, dialog.Left);
  else
    EXPECT_EQ(bottomRight.X, dialog.Right);
  if (c.Below)
    EXPECT_EQ(bottomRight.Y, dialog.Top);
  else
    EXPECT_EQ(topLeft.Y, dialog.Bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GoDialogPlacement,
    ::testing::Values(TPlacementCase{"TopRight", tpTop, npRightTop, false, true},
                      TPlacementCase{"TopLeft", tpTop, npLeftTop, true, true},
                      TPlacementCase{"BottomRight", tpBottom, npRightBottom, false, false},
                      TPlacementCase{"LeftTop", tpLeft, npLeftTop, true, true},
                      TPlacementCase{"LeftBottom", tpLeft, npLeftBottom, true, false},
                      TPlacementCase{"RightTop", tpRight, npRightTop, false, true},
                      TPlacementCase{"RightBottomNavigatorLeft", tpRight, npLeftBottom, false, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(GoDialog, ASecondClickOnTheGoButtonClosesTheListWithoutOpeningItAgain) {
  Build(6);
  ClickGo();
  ASSERT_TRUE(Dialog()->IsOpen());
  ClickGo();
  EXPECT_FALSE(Dialog()->IsOpen());
  EXPECT_FALSE(FControl->IsGoDialogOpen());
  EXPECT_EQ(nbsNormal, FControl->GetNavigatorButtonState(nbGoDialog));
  ClickGo();
  EXPECT_TRUE(Dialog()->IsOpen()) << "the mark of the closing click does not stay";
}

TEST_F(GoDialog, AClickElsewhereClosesItAndLeavesTheNextGoClickAlone) {
  Build(6);
  ClickGo();
  Click(FForm, {5, 135});
  EXPECT_FALSE(Dialog()->IsOpen());
  EXPECT_FALSE(FControl->IsGoDialogOpen());
  ClickGo();
  EXPECT_TRUE(Dialog()->IsOpen());
}

TEST_F(GoDialog, FreeingTheControlWithTheListOpenClosesIt) {
  Build(6);
  ClickGo();
  ASSERT_EQ(1, GetOpenPopupCount());
  Free(FControl);
  EXPECT_EQ(0, GetOpenPopupCount());
}

}  // namespace
