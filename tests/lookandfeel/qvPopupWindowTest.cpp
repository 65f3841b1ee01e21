// Popup windows: placement against the work area (a table of owner rectangles, sizes and
// alignments), sizing around the children however often it runs, and the drop-down window's
// scripted open/close sequences through real input: outside clicks, clicks on the owner,
// application switches, Esc, Alt+F4, the owner hidden or destroyed, handlers that free or reopen
// the popup, the modal loop and the non-activating mode.
#include "lookandfeel/qvPopupWindow.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "qvControlsTestSupport.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Placement

struct TPlacementCase {
  const char* Name;
  TRect Owner;
  TSize Size;
  TqvPopupDirection Direction;
  TqvPopupHorzAlign Horz;
  TqvPopupVertAlign Vert;
  TPoint Expected;
};

std::ostream& operator<<(std::ostream& os, const TPlacementCase& c) { return os << c.Name; }

class PopupPlacement : public TqvControlsTest, public ::testing::WithParamInterface<TPlacementCase> {};

// The headless work area is (0, 0, 1280, 984).
TEST_P(PopupPlacement, LandsWhereTheTableSays) {
  const TPlacementCase& c = GetParam();
  auto* popup = New<TqvPopupWindow>(nullptr);
  popup->SetWidth(c.Size.cx);
  popup->SetHeight(c.Size.cy);
  popup->SetOwnerRect(c.Owner);
  popup->SetPopupDirection(c.Direction);
  popup->SetHorzAlign(c.Horz);
  popup->SetVertAlign(c.Vert);
  TPoint p;
  popup->CalculatePosition(p);
  EXPECT_EQ(c.Expected, p);
  EXPECT_EQ(c.Horz, popup->GetHorzAlign());
  EXPECT_EQ(c.Vert, popup->GetVertAlign());
  Free(popup);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PopupPlacement,
    ::testing::Values(
        TPlacementCase{"Below", {100, 100, 200, 120}, {150, 80}, pdrVertical, phaLeft, pvaBottom, {100, 120}},
        TPlacementCase{"AboveWhenMoreRoomAbove", {100, 900, 200, 920}, {150, 200}, pdrVertical, phaLeft, pvaBottom, {100, 700}},
        TPlacementCase{"AboveStickingOutAtTheTop", {100, 500, 200, 520}, {150, 600}, pdrVertical, phaLeft, pvaBottom, {100, -100}},
        TPlacementCase{"BelowWhenAboveHasLessRoom", {100, 50, 200, 70}, {150, 100}, pdrVertical, phaLeft, pvaTop, {100, 70}},
        TPlacementCase{"PushedLeftIntoTheWorkArea", {1200, 100, 1250, 120}, {300, 80}, pdrVertical, phaLeft, pvaBottom, {980, 120}},
        TPlacementCase{"RightEdgesAligned", {100, 100, 200, 120}, {150, 80}, pdrVertical, phaRight, pvaBottom, {50, 120}},
        TPlacementCase{"RightAlignedClampedAtTheLeft", {10, 100, 60, 120}, {150, 80}, pdrVertical, phaRight, pvaBottom, {0, 120}},
        TPlacementCase{"CentredOnTheOwner", {100, 100, 200, 120}, {150, 80}, pdrVertical, phaCenter, pvaBottom, {75, 120}},
        TPlacementCase{"CentredVertically", {100, 100, 200, 120}, {150, 80}, pdrVertical, phaLeft, pvaCenter, {100, 70}},
        TPlacementCase{"CentredVerticallyClamped", {100, 10, 200, 30}, {150, 80}, pdrVertical, phaLeft, pvaCenter, {100, 0}},
        TPlacementCase{"ToTheRight", {100, 100, 200, 120}, {150, 80}, pdrHorizontal, phaRight, pvaTop, {200, 100}},
        TPlacementCase{"ToTheLeftWhenMoreRoomThere", {1100, 100, 1200, 120}, {150, 80}, pdrHorizontal, phaRight, pvaTop, {950, 100}},
        TPlacementCase{"ToTheRightWhenNoRoomLeft", {20, 100, 120, 120}, {150, 80}, pdrHorizontal, phaLeft, pvaTop, {120, 100}},
        TPlacementCase{"BesideClampedAboveTheTaskBar", {100, 950, 200, 970}, {150, 80}, pdrHorizontal, phaRight, pvaTop, {200, 904}},
        TPlacementCase{"BesideBottomEdgesAligned", {100, 200, 200, 220}, {150, 80}, pdrHorizontal, phaRight, pvaBottom, {200, 140}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TqvControlsTest, ThePopupPlacesItselfAtTheOwnerRectangleOfItsParentControl) {
  auto* form = NewForm();
  auto* panel = Add<TPanel>(form, Rect(30, 40, 230, 140));
  Show(form);
  auto* popup = New<TqvPopupWindow>(nullptr);
  popup->SetBounds(0, 0, 120, 60);
  popup->SetOwnerRectParent(panel);
  popup->SetOwnerRect(Rect(10, 10, 90, 30));
  TPoint p;
  popup->CalculatePosition(p);
  EXPECT_EQ(panel->ClientToScreen({10, 30}), p);
  Free(panel);
  EXPECT_EQ(nullptr, popup->GetOwnerRectParent());
  Free(popup);
}

// ---------------------------------------------------------------------------------------------
// Size

class PopupSize : public TqvControlsTest {
 protected:
  void SetUp() override {
    TqvControlsTest::SetUp();
    FPopup = New<TqvPopupWindow>(nullptr);
    FChild = Add<TPanel>(FPopup, Rect(0, 0, 100, 50));
  }
  void TearDown() override {
    Free(FPopup);
    TqvControlsTest::TearDown();
  }
  TqvPopupWindow* FPopup = nullptr;
  TPanel* FChild = nullptr;
};

TEST_F(PopupSize, AOnePixelFrameMovesTheChildInAndGrowsTheForm) {
  FPopup->SetPopupBorderStyle(pfsSingle);
  FPopup->CalculateSize();
  EXPECT_EQ(Rect(1, 1, 101, 51), FChild->GetBoundsRect());
  EXPECT_EQ(102, FPopup->GetWidth());
  EXPECT_EQ(52, FPopup->GetHeight());
}

TEST_F(PopupSize, SizingAgainMovesNothingAndGrowsNothing) {
  FPopup->SetPopupBorderStyle(pfs3D);
  FPopup->SetBorderSpace(3);
  for (int i = 0; i < 3; ++i) FPopup->CalculateSize();
  EXPECT_EQ(Rect(5, 5, 105, 55), FChild->GetBoundsRect());
  EXPECT_EQ(110, FPopup->GetWidth());
  EXPECT_EQ(60, FPopup->GetHeight());
}

TEST_F(PopupSize, ANewFrameStyleStartsFromTheChildsOwnPlace) {
  FPopup->SetPopupBorderStyle(pfs3D);
  FPopup->CalculateSize();
  FPopup->SetPopupBorderStyle(pfsFlat);
  EXPECT_EQ(Rect(0, 0, 100, 50), FChild->GetBoundsRect());
  FPopup->CalculateSize();
  EXPECT_EQ(Rect(1, 1, 101, 51), FChild->GetBoundsRect());
  EXPECT_EQ(102, FPopup->GetWidth());
}

TEST_F(PopupSize, WithoutAdjustingNothingChanges) {
  FPopup->SetAdjustToChildren(false);
  FPopup->SetBounds(0, 0, 30, 30);
  FPopup->SetPopupBorderStyle(pfsSingle);
  FPopup->CalculateSize();
  EXPECT_EQ(Rect(0, 0, 100, 50), FChild->GetBoundsRect());
  EXPECT_EQ(30, FPopup->GetWidth());
}

TEST_F(PopupSize, FrameWidthsFollowTheStyle) {
  const std::pair<TqvPopupFrameStyle, Integer> cases[] = {{pfsNone, 0}, {pfsSingle, 1}, {pfsFlat, 1}, {pfs3D, 2}};
  FPopup->SetBorderSpace(2);
  for (auto [style, width] : cases) {
    FPopup->SetPopupBorderStyle(style);
    EXPECT_EQ(width, FPopup->GetFrameWidth(0)) << style;
    EXPECT_EQ(width + 2, FPopup->GetBorderWidth(3)) << style;
    EXPECT_EQ(2 * (width + 2), FPopup->GetHorzBordersWidth()) << style;
  }
}

// ---------------------------------------------------------------------------------------------
// The drop-down window

// A drop-down with a list of events; Esc in it asks to close, as the editors' drop-downs do.
class TTestPopup : public TqvCustomPopupWindow {
  QJ_INLINE_CLASS(TTestPopup, TqvCustomPopupWindow)
 public:
  explicit TTestPopup(TControl* AOwnerControl) : TqvCustomPopupWindow(AOwnerControl) {
    Content = New<TEdit>(this);
    Content->SetBoundsRect(Rect(0, 0, 120, 24));
    Content->SetParent(this);
    Pad = New<TPanel>(this);
    Pad->SetBoundsRect(Rect(0, 24, 120, 40));
    Pad->SetParent(this);
    OnShowing = [this](TObject*) { Log.push_back("showing"); };
    OnShowed = [this](TObject*) { Log.push_back("showed"); };
    OnClosing = [this](TObject*) { Log.push_back("closing"); };
    OnClosed = [this](TObject*) { Log.push_back("closed"); };
  }
  TEdit* Content;
  TPanel* Pad;  // takes no focus
  std::vector<std::string> Log;

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override {
    TqvCustomPopupWindow::KeyDown(Key, Shift);
    if (Key == VK_ESCAPE) {
      PostPopupCloseMessage(this);
      Key = 0;
    }
  }
  void AdjustClientRect(TRect&) override {}
};

class DropDown : public TqvControlsTest {
 protected:
  void SetUp() override {
    TqvControlsTest::SetUp();
    FForm = NewForm(400, 300);
    FOwner = Add<TEdit>(FForm, Rect(20, 20, 140, 44));
    FOther = Add<TEdit>(FForm, Rect(20, 200, 140, 224));
    Show(FForm);
    FOwner->SetFocus();
    Pump();
    FPopup = New<TTestPopup>(FOwner);
    FPopup->SetOwnerRectParent(FOwner);
    FPopup->SetOwnerRect(Rect(0, 0, FOwner->GetWidth(), FOwner->GetHeight()));
    FPopup->SetIsModal(false);
  }
  void TearDown() override {
    if (FPopupAlive) Free(FPopup);
    TqvControlsTest::TearDown();
  }
  void Open(TWinControl* focus = nullptr) {
    FPopupAlive = FPopup->AliveToken();
    FPopup->Popup(focus);
    Pump();
  }
  TForm* FForm = nullptr;
  TEdit* FOwner = nullptr;
  TEdit* FOther = nullptr;
  TTestPopup* FPopup = nullptr;
  TAliveToken FPopupAlive;
};

TEST_F(DropDown, OpensBelowItsOwnerFocusedAndListed) {
  Open();
  EXPECT_TRUE(FPopup->IsOpen());
  EXPECT_TRUE(FPopup->GetVisible());
  EXPECT_EQ(FOwner->ClientToScreen({0, FOwner->GetHeight()}), FPopup->GetBoundsRect().TopLeft());
  EXPECT_EQ(FPopup->GetHandle(), GetActiveWindow());
  EXPECT_EQ(FPopup->Content->GetHandle(), GetFocus());
  EXPECT_TRUE(FPopup->Focused());
  EXPECT_EQ(1, GetOpenPopupCount());
  EXPECT_EQ((std::vector<std::string>{"showing", "showed"}), FPopup->Log);
}

TEST_F(DropDown, TheOwnerFormKeepsAnActiveCaption) {
  std::vector<WPARAM> seen;
  WNDPROC old = reinterpret_cast<WNDPROC>(GetWindowLongPtr(FForm->GetHandle(), GWLP_WNDPROC));
  static std::vector<WPARAM>* log;
  static WNDPROC saved;
  log = &seen;
  saved = old;
  SetWindowLongPtr(FForm->GetHandle(), GWLP_WNDPROC,
                   reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
                     if (m == WM_NCACTIVATE) log->push_back(wp);
                     return CallWindowProc(saved, w, m, wp, lp);
                   }));
  Open();
  EXPECT_TRUE(std::find(seen.begin(), seen.end(), WPARAM(FALSE)) == seen.end());
  SetWindowLongPtr(FForm->GetHandle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
}

TEST_F(DropDown, AClickOnAnotherControlClosesItAndReachesThatControl) {
  Open();
  Click(FOther, {5, 5});
  EXPECT_FALSE(FPopup->IsOpen());
  EXPECT_FALSE(FPopup->GetVisible());
  EXPECT_FALSE(FPopup->GetClosedByOwnerClick());
  EXPECT_EQ(FOther->GetHandle(), GetFocus());
  EXPECT_EQ((std::vector<std::string>{"showing", "showed", "closing", "closed"}), FPopup->Log);
}

TEST_F(DropDown, AClickOnTheOwnerRectangleClosesItAndMarksTheOwnerClick) {
  Open();
  Click(FOwner, {5, 5});
  EXPECT_FALSE(FPopup->IsOpen());
  EXPECT_TRUE(FPopup->GetClosedByOwnerClick());
  EXPECT_EQ(FOwner->GetHandle(), GetFocus());
}

TEST_F(DropDown, AClickInsideThePopupKeepsItOpen) {
  Open();
  Click(FPopup->Content, {5, 5});
  EXPECT_TRUE(FPopup->IsOpen());
}

TEST_F(DropDown, SwitchingToAnotherApplicationClosesIt) {
  Open();
  WinInput::NativeActivated(FForm->GetHandle(), false);
  Pump();
  EXPECT_FALSE(FPopup->IsOpen());
  EXPECT_EQ(0, GetOpenPopupCount());
}

TEST_F(DropDown, EscapeInTheContentClosesItAndTheOwnerGetsTheFocus) {
  Open();
  Headless::PressKey(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(FPopup->IsOpen());
  EXPECT_EQ(FOwner->GetHandle(), GetFocus());
}

TEST_F(DropDown, EscapeWhileItHoldsTheMouseOnlyReleasesTheCapture) {
  Open();
  SetCapture(FPopup->GetHandle());
  Headless::PressKey(VK_ESCAPE);
  Pump();
  EXPECT_TRUE(FPopup->IsOpen());
  EXPECT_EQ(nullptr, GetCapture());
  Headless::PressKey(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(FPopup->IsOpen());
}

TEST_F(DropDown, HidingTheOwnerClosesItAndEveryPopupOpenedAfterIt) {
  Open();
  auto* nested = New<TTestPopup>(FPopup->Content);
  nested->SetIsModal(false);
  nested->SetOwnerRectParent(FPopup->Content);
  nested->Popup(nullptr);
  Pump();
  ASSERT_EQ(2, GetOpenPopupCount());
  FOwner->SetVisible(false);
  Pump();
  EXPECT_FALSE(FPopup->IsOpen());
  EXPECT_FALSE(nested->IsOpen());
  Free(nested);
}

TEST_F(DropDown, ANestedPopupStaysOpenWhileTheUserClicksInsideIt) {
  Open();
  auto* nested = New<TTestPopup>(FPopup->Content);
  nested->SetIsModal(false);
  nested->SetOwnerRectParent(FPopup->Content);
  nested->SetOwnerRect(Rect(0, 0, 120, 24));
  nested->Popup(nullptr);
  Pump();
  Click(nested->Content, {5, 5});
  EXPECT_TRUE(nested->IsOpen());
  EXPECT_TRUE(FPopup->IsOpen());
  Free(nested);
  EXPECT_EQ(1, GetOpenPopupCount());
}

TEST_F(DropDown, DestroyingTheOwnerClosesIt) {
  Open();
  Free(FOwner);
  Pump();
  EXPECT_FALSE(FPopup->IsOpen());
  EXPECT_EQ(nullptr, FPopup->GetOwnerControl());
  Click(FOther, {5, 5});
}

TEST_F(DropDown, DestroyingThePopupWindowClosesIt) {
  Open();
  DestroyWindow(FPopup->GetHandle());
  Pump();
  EXPECT_FALSE(FPopup->IsOpen());
}

TEST_F(DropDown, AltF4ClosesThePopupAndTheOwnerForm) {
  Open();
  SendMessage(FPopup->GetHandle(), WM_CLOSE, 0, 0);
  Pump();
  EXPECT_FALSE(FPopup->IsOpen());
  EXPECT_FALSE(FForm->GetVisible());
}

TEST_F(DropDown, ActivatingAnotherFormClosesIt) {
  auto* second = NewForm(100, 100);
  second->SetLeft(600);
  Open();
  Show(second);
  second->SetFocus();
  Pump();
  EXPECT_FALSE(FPopup->IsOpen());
}

TEST_F(DropDown, ReopeningPlacesAndSizesItTheSameWay) {
  FPopup->SetPopupBorderStyle(pfsSingle);
  Open();
  const TRect first = FPopup->GetBoundsRect();
  const TRect content = FPopup->Content->GetBoundsRect();
  FPopup->CloseUp(false);
  Open();
  EXPECT_EQ(first, FPopup->GetBoundsRect());
  EXPECT_EQ(content, FPopup->Content->GetBoundsRect());
  EXPECT_EQ(Rect(1, 1, 121, 25), content);
  EXPECT_EQ(Rect(0, 0, 122, 42), Rect(0, 0, FPopup->GetWidth(), FPopup->GetHeight()));
}

TEST_F(DropDown, ARefusingCloseQueryKeepsItOpen) {
  Open();
  FPopup->OnCloseQuery = [](TObject*, bool& CanClose) { CanClose = false; };
  FPopup->CloseUp(true);
  EXPECT_TRUE(FPopup->IsOpen());
  FPopup->CloseUp(false);
  EXPECT_FALSE(FPopup->IsOpen());
}

TEST_F(DropDown, AClosingHandlerThatReopensThePopupDoesNotKeepTheClickGoing) {
  Open();
  Integer reopened = 0;
  FPopup->OnClosed = [&](TObject*) {
    ++reopened;
    FPopup->Popup(nullptr);
  };
  EXPECT_TRUE(ClosePopupsOnMouseDown(FOther->GetHandle(), WM_LBUTTONDOWN, FOther->ClientToScreen({5, 5})));
  EXPECT_EQ(1, reopened);
  EXPECT_TRUE(FPopup->IsOpen());
  FPopup->OnClosed = nullptr;
}

TEST_F(DropDown, AHandlerThatFreesThePopupWhileTheClickClosesItIsSafe) {
  Open();
  FPopup->OnClosing = [this](TObject*) { Free(FPopup); };
  Click(FOther, {5, 5});
  EXPECT_FALSE(FPopupAlive);
  EXPECT_EQ(0, GetOpenPopupCount());
}

TEST_F(DropDown, TheModalLoopRunsUntilThePopupCloses) {
  FPopup->SetIsModal(true);
  bool pressed = false;
  OnceIdle([&] {
    pressed = true;
    Headless::PressKey(VK_ESCAPE);
  });
  Open();
  EXPECT_FALSE(FPopup->IsOpen());
  EXPECT_TRUE(pressed);
}

TEST_F(DropDown, APopupFreedInsideItsOwnModalLoopEndsTheLoop) {
  FPopup->SetIsModal(true);
  bool freed = false;
  OnceIdle([&] {
    freed = true;
    Free(FPopup);
  });
  Open();
  EXPECT_TRUE(freed);
  EXPECT_FALSE(FPopupAlive);
  EXPECT_EQ(0, GetOpenPopupCount());
}

TEST_F(DropDown, ModalResultEndsTheModalLoop) {
  FPopup->SetIsModal(true);
  OnceIdle([&] { FPopup->SetModalResult(mrOk); });
  Open();
  EXPECT_FALSE(FPopup->IsOpen());
}

// The drop-down that never takes activation.
class NonActivatingDropDown : public DropDown {
 protected:
  void SetUp() override {
    DropDown::SetUp();
    FPopup->SetCaptureFocus(false);
  }
};

TEST_F(NonActivatingDropDown, TheOwnerKeepsTheFocusAndTheFormStaysActive) {
  Open(FOwner);
  EXPECT_TRUE(FPopup->IsOpen());
  EXPECT_TRUE(FPopup->GetVisible());
  EXPECT_EQ(FForm->GetHandle(), GetActiveWindow());
  EXPECT_EQ(FOwner->GetHandle(), GetFocus());
  EXPECT_FALSE(FPopup->Focused());
  EXPECT_TRUE(GetWindowLongPtr(FPopup->GetHandle(), GWL_EXSTYLE) & WS_EX_NOACTIVATE);
}

TEST_F(NonActivatingDropDown, AClickInsideItDoesNotActivateIt) {
  Open(FOwner);
  Click(FPopup->Pad, {5, 5});
  EXPECT_TRUE(FPopup->IsOpen());
  EXPECT_EQ(FForm->GetHandle(), GetActiveWindow());
  EXPECT_EQ(FOwner->GetHandle(), GetFocus());
}

TEST_F(NonActivatingDropDown, RightClicksElsewhereDoNotCloseIt) {
  Open(FOwner);
  Click(FForm, {300, 100}, 1);
  EXPECT_TRUE(FPopup->IsOpen());
  Click(FForm, {300, 100});
  EXPECT_FALSE(FPopup->IsOpen());
}

TEST_F(NonActivatingDropDown, SwitchingApplicationsClosesIt) {
  Open(FOwner);
  WinInput::NativeActivated(FForm->GetHandle(), false);
  Pump();
  EXPECT_FALSE(FPopup->IsOpen());
}

TEST_F(NonActivatingDropDown, MenuKeysOfTheOwnerFormAreHeldBackButNavigationKeysPass) {
  std::vector<Word> keys;
  FOwner->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { keys.push_back(Key); };
  Open(FOwner);
  Headless::PressKey('X', skAlt);
  Headless::PressKey(VK_DOWN, skAlt);
  Pump();
  EXPECT_TRUE(std::find(keys.begin(), keys.end(), Word('X')) == keys.end());
  EXPECT_TRUE(std::find(keys.begin(), keys.end(), Word(VK_DOWN)) != keys.end());
}

TEST_F(NonActivatingDropDown, ACloseRequestGivesTheFocusBackToTheOwner) {
  Open(FOwner);
  PostPopupCloseMessage(FPopup);
  Pump();
  EXPECT_FALSE(FPopup->IsOpen());
  EXPECT_EQ(FOwner->GetHandle(), GetFocus());
}

TEST(PopupKeys, SysKeysAcceptedAreTheNavigationKeysAndF4) {
  TqvLookAndFeelUnits units;
  auto* popup = New<TqvCustomPopupWindow>(static_cast<TControl*>(nullptr));
  for (Word key : {VK_PRIOR, VK_NEXT, VK_END, VK_HOME, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_F4})
    EXPECT_TRUE(popup->IsSysKeyAccepted(key)) << key;
  for (Word key : {Word('A'), Word(VK_F3), Word(VK_RETURN), Word(VK_SPACE), Word(VK_MENU)})
    EXPECT_FALSE(popup->IsSysKeyAccepted(key)) << key;
  Free(popup);
}

}  // namespace
