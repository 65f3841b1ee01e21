// Docking on a page control: each docked client on a sheet of its own (active when it shows),
// a form's caption to its first line break, captions and visibility that follow the client,
// refusing a client that is already docked, undocking to float and freeing the sheet, a freed
// client, and docking and floating with the mouse: dragged onto the control, dragged off a tab,
// double-clicked on its tab.
#include "PageControlTestSupport.h"
#include "platform/forms/ExtCtrls.h"

namespace {

class PageControlDocking : public TPageControlTest {
 protected:
  void SetUp() override {
    TPageControlTest::SetUp();
    FControl = NewTabControl<TqvPageControl>(300, 200, &FForm);
    FForm->SetBounds(0, 0, 600, 400);
    FControl->SetDockSite(true);
    FFirst = New<TqvTabSheet>(FForm);
    FFirst->SetCaption("First");
    FFirst->SetPageControl(FControl);
    FPanel = Add<TPanel>(FForm, Rect(400, 50, 520, 130));
    FPanel->SetCaption("Tools");
    FPanel->SetDragKind(dkDock);
    Show(FForm);
  }
  TqvTabSheet* LastPage() const { return FControl->GetPage(FControl->GetPageCount() - 1); }
  TPoint TabCenter(Integer AVisibleIndex) {
    const TRect r = VisibleTab(FControl, AVisibleIndex)->GetVisibleRect();
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  // Drags with the left button held from a client point of one control to one of another.
  void DragFromTo(TControl* AFrom, TPoint AStart, TControl* ATo, TPoint AEnd) {
    Down(AFrom, AStart);
    if (AFrom == FPanel) FPanel->BeginDrag(false);
    MoveTo(ATo, {AEnd.X - 10, AEnd.Y - 10});
    MoveTo(ATo, AEnd);
    Up();
  }

  TForm* FForm = nullptr;
  TqvPageControl* FControl = nullptr;
  TqvTabSheet* FFirst = nullptr;
  TPanel* FPanel = nullptr;
};

TEST_F(PageControlDocking, ADockedClientGetsAnActiveSheetOfItsOwn) {
  ASSERT_TRUE(FPanel->ManualDock(FControl));
  ASSERT_EQ(2, FControl->GetPageCount());
  TqvTabSheet* sheet = LastPage();
  EXPECT_EQ(sheet, FPanel->GetParent());
  EXPECT_EQ(alClient, FPanel->GetAlign());
  EXPECT_EQ(FControl, FPanel->GetHostDockSite());
  EXPECT_EQ(sheet, FControl->GetDockClientSheet(FPanel));
  EXPECT_EQ(sheet, FControl->GetActivePage());
  EXPECT_EQ(FControl, sheet->Owner());
  EXPECT_EQ(1, FControl->GetDockClientCount());
}

TEST_F(PageControlDocking, AFormGivesItsCaptionUpToTheFirstLineBreak) {
  auto* floating = New<TForm>(nullptr);
  floating->SetCaption("Receiver\r\nsettings");
  floating->SetBounds(50, 300, 150, 80);
  floating->Show();
  Pump();
  ASSERT_TRUE(floating->ManualDock(FControl));
  EXPECT_EQ("Receiver", LastPage()->GetCaption());
  EXPECT_EQ(LastPage(), floating->GetParent());
  Free(floating);
  EXPECT_EQ(1, FControl->GetPageCount()) << "a freed client takes its sheet with it";
  EXPECT_EQ(FFirst, FControl->GetActivePage());
}

TEST_F(PageControlDocking, TheSheetFollowsTheClientsCaptionAndVisibility) {
  FPanel->ManualDock(FControl);
  TqvTabSheet* sheet = LastPage();
  FPanel->SetCaption("Transfer\nto receiver");
  EXPECT_EQ("Transfer", sheet->GetCaption());
  EXPECT_EQ("Transfer", FControl->GetTabs()->Get(1));
  FPanel->SetVisible(false);
  EXPECT_FALSE(sheet->GetTabVisible());
  EXPECT_EQ(FFirst, FControl->GetActivePage()) << "its hidden tab gives the selection away";
  FPanel->SetVisible(true);
  EXPECT_TRUE(sheet->GetTabVisible());
}

TEST_F(PageControlDocking, AClientAlreadyOnASheetIsRefused) {
  FPanel->ManualDock(FControl);
  TDragDockObject drag(FPanel);
  bool accept = true;
  FControl->DockOver(&drag, 10, 10, dsDragMove, accept);
  EXPECT_FALSE(accept);
  TRect influence;
  bool canDock = true;
  FControl->GetSiteInfo(FPanel, influence, {0, 0}, canDock);
  EXPECT_FALSE(canDock);
  auto* other = Add<TPanel>(FForm, Rect(400, 200, 450, 250));
  TDragDockObject otherDrag(other);
  FControl->DockOver(&otherDrag, 10, 10, dsDragMove, accept);
  EXPECT_TRUE(accept);
  RECT window;
  GetWindowRect(FControl->GetHandle(), &window);
  EXPECT_EQ(TRect(window), otherDrag.GetDockRect()) << "the whole control";
}

TEST_F(PageControlDocking, FloatingFreesTheSheetAndActivatesTheNext) {
  FPanel->ManualDock(FControl);
  ASSERT_TRUE(FPanel->ManualFloat(Rect(700, 100, 820, 180)));
  EXPECT_EQ(1, FControl->GetPageCount());
  EXPECT_EQ(FFirst, FControl->GetActivePage());
  EXPECT_EQ(0, FControl->GetDockClientCount());
  EXPECT_TRUE(FPanel->GetFloating());
  auto* host = As<TCustomDockForm>(FPanel->GetHostDockSite());
  ASSERT_NE(nullptr, host);
  EXPECT_EQ(host, FPanel->GetParent());
  EXPECT_EQ("Tools", host->GetCaption());
  ASSERT_TRUE(FPanel->ManualDock(FControl));
  EXPECT_EQ(2, FControl->GetPageCount());
  Pump();
  EXPECT_FALSE(FPanel->GetFloating());
}

TEST_F(PageControlDocking, AClientDraggedOntoTheControlDocks) {
  DragFromTo(FPanel, {20, 20}, FControl, {150, 100});
  EXPECT_EQ(FControl, FPanel->GetHostDockSite());
  EXPECT_EQ(LastPage(), FPanel->GetParent());
}

TEST_F(PageControlDocking, NotADockSiteNothingDocks) {
  FControl->SetDockSite(false);
  DragFromTo(FPanel, {20, 20}, FControl, {150, 100});
  EXPECT_EQ(1, FControl->GetPageCount());
  EXPECT_NE(FControl, FPanel->GetHostDockSite());
}

TEST_F(PageControlDocking, DraggingADockedClientOffItsTabFloatsIt) {
  FPanel->ManualDock(FControl);
  Pump();
  DragFromTo(FControl, TabCenter(1), FForm, {500, 300});
  EXPECT_TRUE(FPanel->GetFloating());
  EXPECT_EQ(1, FControl->GetPageCount());
}

TEST_F(PageControlDocking, ADoubleClickOnADockedTabFloatsTheClient) {
  FPanel->ManualDock(FControl);
  Pump();
  const TPoint p = TabCenter(1);
  const TPoint screen = FControl->ClientToScreen(p);
  Headless::DoubleClick(screen.X, screen.Y);
  Pump();
  EXPECT_TRUE(FPanel->GetFloating());
  EXPECT_EQ(1, FControl->GetPageCount());
}

}  // namespace
