// The inner list box: its mirror scroll bars lie exactly over the native ones and follow their
// range and position whichever way the list scrolls; its input reaches the container at
// container coordinates; Tab and Enter characters are dropped; the container's frame follows
// its focus.
#include "lookandfeel/qvInnerListBox.h"
#include "qvControlsTestSupport.h"

namespace {

// A container holding an inner list box, as the list box editor does.
class TListContainer : public TqvContainer {
  QJ_INLINE_CLASS(TListContainer, TqvContainer)
 public:
  explicit TListContainer(TComponent* AOwner) : TqvContainer(AOwner) {
    FList = New<TqvCustomInnerListBox>(this);
    FList->SetContainer(this);
    FList->SetParent(this);
    SetInnerControl(FList);
  }
  TqvCustomInnerListBox* GetList() const { return FList; }

 private:
  TqvCustomInnerListBox* FList;
};

class InnerListBox : public TqvControlsTest {
 protected:
  void SetUp() override {
    TqvControlsTest::SetUp();
    FForm = NewForm();
    FContainer = Add<TListContainer>(FForm, Rect(10, 10, 130, 110));
    Show(FForm);
  }
  TqvCustomInnerListBox* List() const { return FContainer->GetList(); }
  void Fill(Integer n, const String& prefix = "Item ") {
    for (Integer i = 0; i < n; ++i) List()->GetItems()->Add(prefix + IntToStr(i));
    Pump();
  }
  // The native bar's rectangle in the container's client coordinates.
  TRect NativeBar(LONG id) const {
    SCROLLBARINFO info;
    GetScrollBarInfo(List()->GetHandle(), id, &info);
    TRect r = info.rcScrollBar;
    MapWindowRect(nullptr, FContainer->GetHandle(), r);
    return r;
  }
  TForm* FForm = nullptr;
  TListContainer* FContainer = nullptr;
};

TEST_F(InnerListBox, TheVerticalMirrorBarLiesOverTheNativeOneWhileItIsNeeded) {
  Fill(3);
  EXPECT_FALSE(List()->GetVScrollBar()->GetVisible());
  Fill(30);
  ASSERT_TRUE(List()->GetVScrollBar()->GetVisible());
  EXPECT_EQ(FContainer, List()->GetVScrollBar()->GetParent());
  EXPECT_EQ(NativeBar(OBJID_VSCROLL), List()->GetVScrollBar()->GetBoundsRect());
  EXPECT_EQ(32, List()->GetVScrollBar()->GetMax());
  EXPECT_FALSE(List()->GetHScrollBar()->GetVisible());
  List()->Clear();
  Pump();
  EXPECT_FALSE(List()->GetVScrollBar()->GetVisible());
}

// A drop-down list is filled while its form is hidden: once shown, the mirror bar lies over the
// native one, on top of the list.
TEST_F(InnerListBox, AListFilledWhileItsFormIsHiddenShowsItsMirrorBarOnTop) {
  TForm* hidden = NewForm(300, 200);
  hidden->SetLeft(420);
  auto* container = Add<TListContainer>(hidden, Rect(10, 10, 130, 110));
  for (Integer i = 0; i < 30; ++i) container->GetList()->GetItems()->Add("Item " + IntToStr(i));
  container->HandleNeeded();
  Show(hidden);
  TqvScrollBar* bar = container->GetList()->GetVScrollBar();
  ASSERT_TRUE(bar->GetVisible());
  SCROLLBARINFO info;
  ASSERT_TRUE(GetScrollBarInfo(container->GetList()->GetHandle(), OBJID_VSCROLL, &info));
  TRect native = info.rcScrollBar;
  MapWindowRect(nullptr, container->GetHandle(), native);
  EXPECT_EQ(native, bar->GetBoundsRect());
  ASSERT_TRUE(bar->HandleAllocated());
  EXPECT_EQ(bar->GetHandle(), WindowFromPoint(bar->ClientToScreen({8, 30})));
}

TEST_F(InnerListBox, TheMirrorBarsOfADisabledListAreDisabled) {
  Fill(40);
  TqvScrollBar* bar = List()->GetVScrollBar();
  ASSERT_TRUE(bar->GetVisible());
  EXPECT_TRUE(bar->GetEnabled());
  FContainer->SetEnabled(false);
  Pump();
  EXPECT_FALSE(bar->GetEnabled());
  List()->SetTopIndex(5);
  Pump();
  EXPECT_FALSE(bar->GetEnabled()) << "scrolling the disabled list keeps its bar disabled";
  EXPECT_EQ(5, bar->GetPosition());
  FContainer->SetEnabled(true);
  Pump();
  EXPECT_TRUE(bar->GetEnabled());
}

TEST_F(InnerListBox, ScrollingWithTheMirrorBarScrollsTheList) {
  Fill(40);
  TqvScrollBar* bar = List()->GetVScrollBar();
  ASSERT_TRUE(bar->GetVisible());
  const TRect arrow = bar->GetPartBounds(spSecondArrow);
  Click(bar, {arrow.Left + 2, arrow.Top + 2});
  Click(bar, {arrow.Left + 2, arrow.Top + 2});
  EXPECT_EQ(2, List()->GetTopIndex());
  EXPECT_EQ(2, bar->GetPosition());
}

TEST_F(InnerListBox, TheWheelAndTheKeyboardMoveTheMirrorBar) {
  Fill(40);
  MoveTo(List(), {20, 20});
  Headless::Wheel(-120);
  Pump();
  EXPECT_GT(List()->GetTopIndex(), 0);
  EXPECT_EQ(List()->GetTopIndex(), List()->GetVScrollBar()->GetPosition());
  List()->SetFocus();
  Headless::PressKey(VK_END);
  Pump();
  EXPECT_EQ(39, List()->GetItemIndex());
  EXPECT_EQ(List()->GetTopIndex(), List()->GetVScrollBar()->GetPosition());
}

TEST_F(InnerListBox, BothBarsLeaveACornerSquare) {
  List()->SetScrollWidth(400);
  Fill(40);
  ASSERT_TRUE(List()->GetHScrollBar()->GetVisible());
  ASSERT_TRUE(List()->GetVScrollBar()->GetVisible());
  EXPECT_EQ(NativeBar(OBJID_HSCROLL), List()->GetHScrollBar()->GetBoundsRect());
  TRect grip;
  List()->GetSizeGripRect(grip);
  const TRect v = List()->GetVScrollBar()->GetBoundsRect(), h = List()->GetHScrollBar()->GetBoundsRect();
  EXPECT_EQ(Rect(v.Left - List()->GetLeft(), h.Top - List()->GetTop(), v.Right - List()->GetLeft(),
                 h.Bottom - List()->GetTop()),
            grip);
}

TEST_F(InnerListBox, AMouseDownReachesTheContainerAtContainerCoordinates) {
  Fill(5);
  std::vector<TPoint> downs;
  FContainer->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer X, Integer Y) { downs.push_back({X, Y}); };
  Click(List(), {7, 9});
  ASSERT_EQ(1u, downs.size());
  EXPECT_EQ((TPoint{7 + List()->GetLeft(), 9 + List()->GetTop()}), downs[0]);
  EXPECT_EQ(0, List()->GetItemIndex());
}

TEST_F(InnerListBox, KeysGoToTheContainerFirst) {
  Fill(5);
  List()->SetFocus();
  Pump();
  std::vector<Word> seen;
  FContainer->OnKeyDown = [&](TObject*, Word& Key, TShiftState) {
    seen.push_back(Key);
    if (Key == VK_DOWN) Key = 0;  // consumed: the list does not move
  };
  List()->SetItemIndex(1);
  Headless::PressKey(VK_DOWN);
  Pump();
  EXPECT_EQ(std::vector<Word>{VK_DOWN}, seen);
  EXPECT_EQ(1, List()->GetItemIndex());
}

TEST_F(InnerListBox, FocusInTheListMakesTheContainerActive) {
  Fill(5);
  List()->SetFocus();
  Pump();
  EXPECT_TRUE(FContainer->Focused());
  EXPECT_TRUE(FContainer->GetViewInfo()->ContainerState & cstBit(cstActive));
}

TEST_F(InnerListBox, TabAndEnterCharactersAreDroppedAlsoWithoutAContainer) {
  auto* alone = Add<TqvCustomInnerListBox>(FForm, Rect(200, 10, 300, 100));
  std::vector<char> typed;
  alone->OnKeyPress = [&](TObject*, char& Key) { typed.push_back(Key); };
  for (char key : {'\t', '\r', 'a'}) {
    char k = key;
    alone->KeyPress(k);
  }
  EXPECT_EQ(std::vector<char>{'a'}, typed);
  Word tab = VK_TAB;
  alone->KeyUp(tab, 0);
  EXPECT_EQ(0, tab);
}

TEST_F(InnerListBox, FreeingTheListFreesItsBars) {
  Fill(40);
  TAliveToken bar = List()->GetVScrollBar()->AliveToken();
  Free(List());
  EXPECT_FALSE(bar);
}

}  // namespace
