// The page control and its sheets: sheets joining and their tabs, the active page and the
// scripted order of events (clicks, code, vetoes, OnShow and OnHide), the focus moving with the
// page and a control that keeps it, hidden tabs, removing active and other sheets, page moves
// and PageIndex errors, loading, the next page, Focusable, and the editor's own configuration.
#include "PageControlTestSupport.h"
#include "lookandfeel/qvLookAndFeels.h"
#include "platform/forms/StdCtrls.h"

namespace {

// As MessageOf, with the class of a list error.
template <class TCall>
std::string ListErrorMessageOf(TCall ACall) {
  try {
    ACall();
  } catch (const EListError& e) {
    return "EListError: " + e.Message();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(no error)";
}

class PageControl : public TPageControlTest {
 protected:
  void SetUp() override {
    TPageControlTest::SetUp();
    FControl = NewTabControl<TqvPageControl>(300, 200, &FForm);
    for (const char* name : {"One", "Two", "Three"}) AddSheet(name);
    FControl->OnChanging = [this](TObject*, bool& Allow) {
      FLog.push_back("changing");
      Allow = FAllowChanging;
    };
    FControl->OnPageChanging = [this](TObject*, TqvTabSheet* NewPage, bool& Allow) {
      FLog.push_back("page changing " + (NewPage ? NewPage->GetCaption() : String("nil")));
      Allow = FAllowPageChanging;
    };
    FControl->OnChange = [this](TObject*) {
      TqvTabSheet* page = FControl->GetActivePage();
      FLog.push_back("change " + (page ? page->GetCaption() : String("nil")));
    };
  }
  TqvTabSheet* AddSheet(const char* ACaption) {
    auto* sheet = New<TqvTabSheet>(FForm);
    sheet->SetCaption(ACaption);
    sheet->SetPageControl(FControl);
    sheet->OnShow = [this](TObject* Sender) { FLog.push_back("show " + static_cast<TqvTabSheet*>(Sender)->GetCaption()); };
    sheet->OnHide = [this](TObject* Sender) { FLog.push_back("hide " + static_cast<TqvTabSheet*>(Sender)->GetCaption()); };
    return sheet;
  }
  TqvTabSheet* Page(Integer i) const { return FControl->GetPage(i); }
  TPoint TabCenter(Integer AVisibleIndex) {
    const TRect r = VisibleTab(FControl, AVisibleIndex)->GetVisibleRect();
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }

  TForm* FForm = nullptr;
  TqvPageControl* FControl = nullptr;
  std::vector<std::string> FLog;
  bool FAllowChanging = true;
  bool FAllowPageChanging = true;
};

TEST_F(PageControl, TheFirstSheetBecomesActiveAndTheTabsFollowTheSheets) {
  EXPECT_EQ(3, FControl->GetPageCount());
  EXPECT_EQ(Page(0), FControl->GetActivePage());
  EXPECT_TRUE(Page(0)->GetVisible());
  EXPECT_FALSE(Page(1)->GetVisible());
  EXPECT_EQ(0, FControl->GetTabIndex());
  EXPECT_EQ(3, FControl->GetTabs()->GetCount());
  EXPECT_EQ("Two", FControl->GetTabs()->Get(1));
  EXPECT_EQ(Page(1)->GetTab(), FControl->GetTabs()->GetTab(1));
  Page(1)->SetCaption("Deux");
  EXPECT_EQ("Deux", FControl->GetTabs()->Get(1));
  Page(1)->SetEnabled(false);
  EXPECT_FALSE(FControl->GetTabs()->GetTab(1)->GetEnabled());
  EXPECT_FALSE(FControl->IsTabPageEnabled(1));
  Page(2)->SetHighlighted(true);
  EXPECT_TRUE(FControl->GetTabs()->GetTab(2)->GetHighlighted());
  Page(2)->SetImageIndex(4);
  EXPECT_EQ(4, FControl->GetTabs()->GetTab(2)->GetImageIndex());
  EXPECT_TRUE(FLog.empty());
}

TEST_F(PageControl, AClickFiresEachChangeEventOnce) {
  Show(FForm);
  Click(FControl, TabCenter(2));
  EXPECT_EQ(Page(2), FControl->GetActivePage());
  EXPECT_EQ((std::vector<std::string>{"changing", "page changing Three", "show Three", "hide One", "change Three"}), FLog);
}

TEST_F(PageControl, SettingTheActivePageFromCodeAsksThePageOnly) {
  FControl->SetActivePage(Page(1));
  EXPECT_EQ(1, FControl->GetTabIndex());
  EXPECT_EQ((std::vector<std::string>{"page changing Two", "show Two", "hide One", "change Two"}), FLog);
}

TEST_F(PageControl, VetoesKeepThePageAndTheTab) {
  FAllowPageChanging = false;
  FControl->SetActivePage(Page(1));
  FControl->SetTabIndex(2);
  EXPECT_EQ(Page(0), FControl->GetActivePage());
  EXPECT_EQ(0, FControl->GetTabIndex());
  FAllowPageChanging = true;
  FAllowChanging = false;
  FControl->SetTabIndex(2);
  EXPECT_EQ(Page(0), FControl->GetActivePage());
  EXPECT_EQ((std::vector<std::string>{"page changing Two", "changing", "page changing Three", "changing"}), FLog);
}

TEST_F(PageControl, AFailingOnShowGoesToTheApplicationAndThePageStillChanges) {
  std::vector<std::string> handled;
  Application->OnException = [&](TObject*, Exception* E) { handled.push_back(E->Message()); };
  Page(1)->OnShow = [](TObject*) { throw Exception("no show"); };
  FControl->SetActivePage(Page(1));
  EXPECT_EQ((std::vector<std::string>{"no show"}), handled);
  EXPECT_EQ(Page(1), FControl->GetActivePage());
  EXPECT_FALSE(Page(0)->GetVisible());
}

TEST_F(PageControl, TheFocusMovesToTheNewPagesFirstControl) {
  auto* first = Add<TEdit>(Page(0), Rect(10, 10, 100, 30));
  auto* second = Add<TEdit>(Page(1), Rect(10, 10, 100, 30));
  Show(FForm);
  first->SetFocus();
  Pump();
  FControl->SetActivePage(Page(1));
  Pump();
  EXPECT_EQ(second->GetHandle(), GetFocus());
  EXPECT_EQ(second, FForm->GetActiveControl());
}

TEST_F(PageControl, AControlThatKeepsTheFocusStopsTheChange) {
  auto* stubborn = Add<TEdit>(Page(0), Rect(10, 10, 100, 30));
  Add<TEdit>(Page(1), Rect(10, 10, 100, 30));
  Show(FForm);
  stubborn->SetFocus();
  Pump();
  stubborn->OnExit = [&](TObject*) { stubborn->SetFocus(); };
  Click(FControl, TabCenter(1));
  EXPECT_EQ(Page(0), FControl->GetActivePage());
  EXPECT_EQ(0, FControl->GetTabIndex()) << "the tab is set back";
  EXPECT_TRUE(Page(0)->GetVisible());
  EXPECT_FALSE(Page(1)->GetVisible());
}

TEST_F(PageControl, CtrlTabFromInsideAPageSwitchesPages) {
  auto* edit = Add<TEdit>(Page(0), Rect(10, 10, 100, 30));
  Add<TEdit>(Page(1), Rect(10, 10, 100, 30));
  Show(FForm);
  edit->SetFocus();
  Pump();
  Headless::PressKey(VK_TAB, skCtrl);
  Pump();
  EXPECT_EQ(Page(1), FControl->GetActivePage());
}

TEST_F(PageControl, HidingTheActivePagesTabSelectsTheFollowingPageOrTheNewLast) {
  Page(0)->SetTabVisible(false);
  EXPECT_EQ(Page(1), FControl->GetActivePage());
  FControl->SetActivePage(Page(2));
  Page(2)->SetTabVisible(false);
  EXPECT_EQ(Page(1), FControl->GetActivePage());
  EXPECT_EQ(1, FControl->GetTabIndex());
  FControl->SetActivePage(Page(2));
  EXPECT_EQ(Page(2), FControl->GetActivePage()) << "a page without a tab can still be active";
  EXPECT_EQ(-1, FControl->GetTabIndex());
}

TEST_F(PageControl, FreeingTheActiveSheetActivatesTheNextTabVisiblePage) {
  Page(1)->SetTabVisible(false);
  TqvTabSheet* third = Page(2);
  Free(Page(0));
  EXPECT_EQ(third, FControl->GetActivePage());
  EXPECT_EQ(1, FControl->GetTabIndex());
  EXPECT_EQ(2, FControl->GetPageCount());
}

TEST_F(PageControl, FreeingANonActiveSheetKeepsTheActivePage) {
  FControl->SetActivePage(Page(2));
  TqvTabSheet* active = Page(2);
  FLog.clear();
  Free(Page(0));
  EXPECT_EQ(active, FControl->GetActivePage()) << "the user's page does not jump";
  EXPECT_EQ(1, FControl->GetTabIndex()) << "the selection follows the page's tab";
  EXPECT_TRUE(FLog.empty());
}

TEST_F(PageControl, FreeingTheOnlySheetLeavesNoActivePage) {
  Free(Page(2));
  Free(Page(1));
  Free(Page(0));
  EXPECT_EQ(nullptr, FControl->GetActivePage());
  EXPECT_EQ(-1, FControl->GetTabIndex());
  EXPECT_EQ(0, FControl->GetTabs()->GetCount());
}

TEST_F(PageControl, ASheetJoiningAControlWithAnActivePageDoesNotBecomeActive) {
  TqvTabSheet* fourth = AddSheet("Four");
  EXPECT_EQ(Page(0), FControl->GetActivePage());
  EXPECT_FALSE(fourth->GetVisible());
  fourth->SetPageControl(nullptr);
  EXPECT_EQ(3, FControl->GetPageCount());
  EXPECT_EQ(nullptr, fourth->GetParent());
  EXPECT_EQ(-1, fourth->GetPageIndex());
}

TEST_F(PageControl, PageIndexOutsideThePagesIsAListErrorEvenBelowZero) {
  EXPECT_EQ("EListError: 3 is an invalid PageIndex value.  PageIndex must be between 0 and 2",
            ListErrorMessageOf([&] { Page(0)->SetPageIndex(3); }));
  EXPECT_EQ("EListError: -1 is an invalid PageIndex value.  PageIndex must be between 0 and 2",
            ListErrorMessageOf([&] { Page(0)->SetPageIndex(-1); }));
  EXPECT_EQ(0, Page(0)->GetPageIndex());
}

TEST_F(PageControl, MovingAPageKeepsItsTabAndSelectsIt) {
  TqvTabSheet* third = Page(2);
  third->SetImageIndex(5);
  third->SetHighlighted(true);
  third->SetPageIndex(0);
  EXPECT_EQ(third, Page(0));
  EXPECT_EQ(0, third->GetPageIndex());
  EXPECT_EQ("Three", FControl->GetTabs()->Get(0));
  EXPECT_EQ(third->GetTab(), FControl->GetTabs()->GetTab(0));
  EXPECT_EQ(5, third->GetTab()->GetImageIndex());
  EXPECT_TRUE(third->GetTab()->GetHighlighted());
  EXPECT_EQ(third, FControl->GetActivePage());
  EXPECT_EQ(0, FControl->GetTabIndex());
  EXPECT_EQ("One", FControl->GetTabs()->Get(1));
  EXPECT_EQ(Page(1)->GetTab(), FControl->GetTabs()->GetTab(1));
}

TEST_F(PageControl, FindAndSelectTheNextPage) {
  Page(1)->SetTabVisible(false);
  EXPECT_EQ(Page(2), FControl->FindNextPage(Page(0), true, true));
  EXPECT_EQ(Page(1), FControl->FindNextPage(Page(0), true, false));
  EXPECT_EQ(Page(0), FControl->FindNextPage(Page(2), true, true)) << "wrapping";
  EXPECT_EQ(Page(2), FControl->FindNextPage(Page(0), false, true));
  EXPECT_EQ(Page(0), FControl->FindNextPage(nullptr, true, true)) << "not a page: the first";
  EXPECT_EQ(Page(2), FControl->FindNextPage(nullptr, false, true));
  FControl->SelectNextPage(true);
  EXPECT_EQ(Page(2), FControl->GetActivePage());
}

TEST_F(PageControl, ShowingASheetMakesItActive) {
  Page(2)->Show();
  EXPECT_EQ(Page(2), FControl->GetActivePage());
}

TEST_F(PageControl, ADisabledStoredActivePageIsDroppedAfterLoading) {
  FForm->BeginLoading();
  Page(1)->SetEnabled(false);
  FControl->SetActivePage(Page(1));
  FForm->EndLoading();
  EXPECT_EQ(nullptr, FControl->GetActivePage());
  EXPECT_EQ(-1, FControl->GetTabIndex());
}

TEST_F(PageControl, ASheetAddedWhileLoadingIsNotActivated) {
  auto* form = NewForm();
  auto* control = Add<TqvPageControl>(form, Rect(0, 0, 200, 100));
  form->BeginLoading();
  auto* sheet = New<TqvTabSheet>(form);
  sheet->SetCaption("Late");
  sheet->SetPageControl(control);
  EXPECT_EQ(nullptr, control->GetActivePage());
  form->EndLoading();
  EXPECT_EQ("Late", control->GetTabs()->Get(0)) << "the tab is updated once loaded";
}

TEST_F(PageControl, NotFocusableLeavesTheTabOrderAndClicksDoNotFocus) {
  auto* edit = Add<TEdit>(FForm, Rect(10, 215, 100, 235));
  Show(FForm);
  edit->SetFocus();
  Pump();
  FControl->SetFocusable(false);
  EXPECT_FALSE(FControl->GetTabStop());
  EXPECT_FALSE(FControl->CanFocus());
  Click(FControl, TabCenter(1));
  EXPECT_EQ(Page(1), FControl->GetActivePage());
  EXPECT_EQ(edit->GetHandle(), GetFocus());
}

TEST_F(PageControl, SheetsFillThePainterDisplayRectangle) {
  Show(FForm);
  const TRect display = FControl->GetPCPainter()->GetDisplayRect();
  EXPECT_EQ(display, Page(0)->GetBoundsRect());
  FControl->SetTabPosition(tpBottom);
  EXPECT_EQ(FControl->GetPCPainter()->GetDisplayRect(), Page(0)->GetBoundsRect());
  EXPECT_LT(Page(0)->GetBoundsRect().Top, 10);
}

TEST_F(PageControl, ItsTabsFollowItsPagesOnly) {
  FControl->GetTabs()->Clear();
  FControl->GetTabs()->Delete(0);
  FControl->GetTabs()->Add("Stray");
  EXPECT_EQ(3, FControl->GetTabs()->GetCount());
  EXPECT_EQ(Page(0)->GetTab(), FControl->GetTabs()->GetTab(0));
  Free(Page(0));
  EXPECT_EQ(2, FControl->GetTabs()->GetCount());
}

TEST_F(PageControl, TheEditorsConfiguration) {
  while (FControl->GetPageCount() > 0) Free(Page(0));
  FControl->SetAlign(alClient);
  FControl->SetStyle(1);
  FControl->SetHotTrack(true);
  FControl->GetFont()->SetStyle(fsBold);
  FControl->SetTabHeight(2);
  FControl->GetLookAndFeel()->SetKind(lfUltraFlat);
  AddSheet("SAT && TP Edit");
  AddSheet("Channel Edit");
  Show(FForm);
  EXPECT_TRUE(FControl->GetPCPainter()->IsExactly<TqvPCTabsPainter>()) << "Style 1 stays over the look and feel";
  EXPECT_EQ("SAT & TP Edit", FControl->GetTabs()->GetTab(0)->GetDisplayCaption());
  EXPECT_EQ(std::max(18, FControl->GetTabs()->GetMeasuredTabHeight()), FControl->GetTabs()->GetMeasuredTabHeight());
  Click(FControl, TabCenter(1));
  EXPECT_EQ("Channel Edit", FControl->GetActivePage()->GetCaption());
  MoveTo(FControl, TabCenter(0));
  EXPECT_EQ(0, FControl->GetHotTab());
  EXPECT_TRUE(ShowsInk(FControl, VisibleTab(FControl, 0)->GetVisibleRect(), clHotLight, clBtnFace));
}

}  // namespace
