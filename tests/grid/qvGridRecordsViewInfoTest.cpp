// The records layout: scrolling by reusing the layouts that stay, a full layout when scrolling
// by a page, and layouts whose records a refresh freed (inside a paint, inside an event) are
// skipped.
#include "qvGridTableTestSupport.h"

namespace {

class GridRecordsViewInfo : public TGridTableTest {
 protected:
  void TearDown() override {
    TTestRecordViewInfo::OnPaint = nullptr;
    TGridTableTest::TearDown();
  }
  // 100 records, five shown.
  TTestTableView* PagedView() {
    TTestTableView* view = AddTableView(1, 100);
    SetViewHeight(view, 5 * TTestTableViewInfo::RowHeight + 2);
    return view;
  }
};

TEST_F(GridRecordsViewInfo, LaysOutTheShownRecordsFromTheTop) {
  TTestTableView* view = PagedView();
  TqvCustomGridRecordsViewInfo* records = view->Info()->GetRecordsViewInfo();
  EXPECT_EQ(5, records->GetCount());
  EXPECT_EQ(5, records->GetVisibleCount());
  EXPECT_EQ(95, records->GetMaxCount() - 5);
  TqvCustomGridRecordViewInfo* third = records->GetItem(2);
  EXPECT_EQ(2 * TTestTableViewInfo::RowHeight, third->GetBounds().Top);
  EXPECT_EQ(third, records->GetRecordViewInfo(2));
  EXPECT_EQ(nullptr, records->GetRecordViewInfo(7));
  EXPECT_EQ(third, view->Data()->GetRecord(2)->GetViewInfo());
  EXPECT_TRUE(view->Data()->GetRecord(2)->GetVisible());
  EXPECT_FALSE(view->Data()->GetRecord(7)->GetVisible());
}

TEST_F(GridRecordsViewInfo, ScrollingByOneFreesOneLayoutMovesTheOthersAndMakesOne) {
  TTestTableView* view = PagedView();
  TqvCustomGridRecordsViewInfo* records = view->Info()->GetRecordsViewInfo();
  TqvCustomGridRecordViewInfo* leaving = records->GetItem(0);
  TqvCustomGridRecordViewInfo* staying = records->GetItem(1);
  TAliveToken leavingAlive = leaving->AliveToken();
  const Integer calculations = view->Info()->CalculationCount;
  ASSERT_TRUE(view->CanOffset(1));
  view->Controller()->SetTopRecordIndex(1);
  EXPECT_FALSE(leavingAlive);
  EXPECT_EQ(staying, records->GetItem(0));
  EXPECT_EQ(0, staying->GetBounds().Top);
  EXPECT_EQ(-TTestTableViewInfo::RowHeight, records->GetLastScrollDistance());
  ASSERT_EQ(5, records->GetCount());
  EXPECT_EQ(5, records->GetItem(4)->GetGridRecord()->GetIndex());
  EXPECT_EQ(4 * TTestTableViewInfo::RowHeight, records->GetItem(4)->GetBounds().Top);
  EXPECT_EQ(calculations, view->Info()->CalculationCount);
  // And back up by one: the bottom layout goes, a new one comes at the top.
  view->Controller()->SetTopRecordIndex(0);
  EXPECT_EQ(staying, records->GetItem(1));
  EXPECT_EQ(TTestTableViewInfo::RowHeight, staying->GetBounds().Top);
  EXPECT_EQ(0, records->GetItem(0)->GetGridRecord()->GetIndex());
  EXPECT_EQ(calculations, view->Info()->CalculationCount);
}

TEST_F(GridRecordsViewInfo, ScrollingByAWholePageLaysEverythingOutAgain) {
  TTestTableView* view = PagedView();
  const Integer calculations = view->Info()->CalculationCount;
  EXPECT_FALSE(view->CanOffset(5));
  view->Controller()->SetTopRecordIndex(5);
  EXPECT_GT(view->Info()->CalculationCount, calculations);
  EXPECT_EQ(5, view->Info()->GetRecordsViewInfo()->GetItem(0)->GetGridRecord()->GetIndex());
}

TEST_F(GridRecordsViewInfo, ARefreshInsideAPaintStopsThePaintingOfTheFreedLayouts) {
  TTestTableView* view = PagedView();
  Integer painted = 0;
  TTestRecordViewInfo::OnPaint = [&](TTestRecordViewInfo*) {
    if (painted++ == 0) SetRecords(view, 50);
  };
  PaintSiteOnSentinel(view->GetSite());
  EXPECT_EQ(1, painted);
  // The next paint finds the new layouts.
  painted = 10;
  PaintSiteOnSentinel(view->GetSite());
  EXPECT_EQ(15, painted);
}

TEST_F(GridRecordsViewInfo, LayoutsOfRecordsFreedInsideAnEventAreSkippedUntilTheNextLayout) {
  TTestTableView* view = PagedView();
  TqvCustomGridRecordsViewInfo* records = view->Info()->GetRecordsViewInfo();
  view->OnTopRecordIndexChanged = [&](TObject*) { view->GetDataController()->SetRecordCount(90); };
  FGrid->BeginUpdate();
  view->Controller()->SetTopRecordIndex(1);
  for (Integer i = 0; i < records->GetCount(); ++i) EXPECT_EQ(nullptr, records->GetItem(i)) << i;
  Integer painted = 0;
  TTestRecordViewInfo::OnPaint = [&](TTestRecordViewInfo*) { ++painted; };
  PaintSiteOnSentinel(view->GetSite());
  EXPECT_EQ(0, painted);
  view->OnTopRecordIndexChanged = nullptr;
  FGrid->EndUpdate();
  ASSERT_NE(nullptr, records->GetItem(0));
  PaintSiteOnSentinel(view->GetSite());
  EXPECT_EQ(records->GetVisibleCount(), painted);
}

TEST_F(GridRecordsViewInfo, ARecordHitTestNamesTheRecordUnderThePoint) {
  TTestTableView* view = PagedView();
  TOwned<TqvCustomGridHitTest> hitTest = view->GetViewInfo()->GetHitTest({5, 3 * TTestTableViewInfo::RowHeight + 2});
  ASSERT_NE(nullptr, hitTest);
  EXPECT_EQ(view->Info()->GetRecordsViewInfo()->GetItem(3), hitTest->GetViewInfo());
  auto* recordHitTest = As<TqvGridRecordHitTest>(hitTest.get());
  ASSERT_NE(nullptr, recordHitTest);
  EXPECT_EQ(3, recordHitTest->GetRowIndex());
}

}  // namespace
