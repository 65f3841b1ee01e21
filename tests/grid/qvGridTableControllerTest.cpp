// The table controller: focusing records and items, the index search, leaving edited and new
// records, appending, pages, the top record index, making records visible, the grid-mode timer
// and a view freed while the focus moves.
#include "qvGridTableTestSupport.h"

namespace {

class GridTableController : public TGridTableTest {
 protected:
  // 100 records in a view showing five of them.
  TTestTableView* PagedView(Integer AItemCount = 1) {
    TTestTableView* view = AddTableView(AItemCount, 100);
    SetViewHeight(view, 5 * TTestTableViewInfo::RowHeight + 2);
    return view;
  }
  static Integer Focused(TTestTableView* AView) { return AView->Controller()->GetFocusedRowIndex(); }
};

TEST_F(GridTableController, FocusedItemIndexIgnoresAnIndexOutsideTheVisibleItems) {
  TTestTableView* view = AddTableView(3, 1);
  TTestTableController* controller = view->Controller();
  controller->SetFocusedItemIndex(1);
  EXPECT_EQ(view->GetItem(1), controller->GetFocusedItem());
  controller->SetFocusedItemIndex(3);
  EXPECT_EQ(1, controller->GetFocusedItemIndex());
  controller->SetFocusedItemIndex(-1);
  EXPECT_EQ(nullptr, controller->GetFocusedItem());
  // An item that cannot be focused is refused.
  view->GetItem(2)->GetOptions()->SetFocusing(false);
  EXPECT_FALSE(controller->SetFocusedItem(view->GetItem(2)));
}

TEST_F(GridTableController, FocusingAnItemTellsTheViewAndMakesItVisible) {
  TTestTableView* view = AddTableView(3, 1);
  TTestTableController* controller = view->Controller();
  std::vector<std::pair<TqvCustomGridTableItem*, TqvCustomGridTableItem*>> changes;
  view->OnFocusedItemChanged = [&](TqvCustomGridTableView*, TqvCustomGridTableItem* APrev, TqvCustomGridTableItem* AItem) {
    changes.emplace_back(APrev, AItem);
  };
  TqvCustomGridTableItem* first = controller->GetFocusedItem();
  controller->SetFocusedItem(view->GetItem(2));
  EXPECT_EQ(view->GetItem(2), controller->LastItemMadeVisible);
  ASSERT_EQ(1u, changes.size());
  EXPECT_EQ(first, changes[0].first);
  EXPECT_EQ(view->GetItem(2), changes[0].second);
  controller->SetFocusedItem(view->GetItem(2));
  EXPECT_EQ(1u, changes.size());
}

struct TFindCase {
  const char* Name;
  std::vector<bool> Focusable;
  Integer Start;
  bool Forward, Cycle;
  Integer Found;
  bool Wrapped;
};

class GridTableFindNextItem : public GridTableController, public ::testing::WithParamInterface<TFindCase> {};

TEST_P(GridTableFindNextItem, WalksInTheDirectionAndWithCyclingTriesTheStartLast) {
  const TFindCase& c = GetParam();
  TTestTableView* view = AddTableView(static_cast<Integer>(c.Focusable.size()), 1);
  for (size_t i = 0; i < c.Focusable.size(); ++i) view->GetItem(static_cast<Integer>(i))->GetOptions()->SetFocusing(c.Focusable[i]);
  bool wrapped = !c.Wrapped;
  EXPECT_EQ(c.Found, view->Controller()->FindNextItem(c.Start, c.Forward, c.Cycle, wrapped));
  if (c.Found != -1) EXPECT_EQ(c.Wrapped, wrapped);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GridTableFindNextItem,
    ::testing::Values(TFindCase{"ForwardFromOutside", {true, true, true}, -1, true, false, 0, false},
                      TFindCase{"BackwardFromOutsideNeedsCycling", {true, true, true}, -1, false, false, -1, false},
                      TFindCase{"BackwardFromOutsideCycling", {true, true, true}, -1, false, true, 2, false},
                      TFindCase{"SkipsUnfocusable", {true, false, true}, 0, true, false, 2, false},
                      TFindCase{"StopsAtTheEnd", {true, true, false}, 1, true, false, -1, false},
                      TFindCase{"WrapsToTheStart", {true, true, false}, 1, true, true, 0, true},
                      TFindCase{"TheStartItselfLast", {false, true, false}, 1, true, true, 1, true},
                      TFindCase{"NothingFocusable", {false, false}, 0, true, true, -1, false}),
    [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST_F(GridTableController, FocusingARowRefusedByItsRecordKeepsTheFocus) {
  TTestTableView* view = AddTableView(1, 5);
  TTestTableController* controller = view->Controller();
  controller->GoToFirst();
  static_cast<TTestTableRecord*>(view->Data()->GetRecord(1))->Unfocusable = true;
  EXPECT_FALSE(controller->SetFocusedRowIndex(1));
  EXPECT_EQ(0, Focused(view));
  // Moving on skips it.
  EXPECT_EQ(frrMoved, controller->GoToNext(false, false));
  EXPECT_EQ(2, Focused(view));
}

TEST_F(GridTableController, GoingFirstAndLastAndBeyond) {
  TTestTableView* view = AddTableView(1, 5);
  TTestTableController* controller = view->Controller();
  EXPECT_EQ(frrMoved, controller->GoToLast());
  EXPECT_EQ(4, Focused(view));
  EXPECT_TRUE(controller->IsFocusedRecordLast());
  EXPECT_EQ(frrNotMoved, controller->GoToNext(false, false));
  EXPECT_EQ(frrMoved, controller->GoToFirst());
  EXPECT_TRUE(controller->IsFocusedRecordFirst());
  EXPECT_EQ(frrNotMoved, controller->GoToPrev(false, false));
  EXPECT_TRUE(view->IsFocused());
}

TEST_F(GridTableController, DownOnTheLastRecordWithAppendingAppendsANewRecord) {
  TTestTableView* view = AddTableView(1, 5);
  TTestTableController* controller = view->Controller();
  controller->GoToLast();
  view->GetOptionsData()->Appending = true;
  EXPECT_EQ(frrMoved, controller->GoToNext(false, false));
  TqvGridDataController* data = view->GetDataController();
  EXPECT_EQ(dceInsert, data->GetEditState() & dceInsert);
  EXPECT_EQ(6, data->GetRowCount());
  EXPECT_EQ(5, Focused(view));
  // A second Down while the new record is untouched does not append another.
  controller->GoToNext(false, false);
  EXPECT_EQ(6, data->GetRowCount());
}

TEST_F(GridTableController, BackFromAnUntouchedNewRecordCancelsItAndFocusesThePrecedingRecord) {
  TTestTableView* view = AddTableView(1, 5);
  TTestTableController* controller = view->Controller();
  controller->GoToLast();
  view->GetOptionsData()->Appending = true;
  controller->GoToNext(false, false);
  ASSERT_EQ(6, view->GetDataController()->GetRowCount());
  EXPECT_EQ(frrMoved, controller->GoToPrev(false, false));
  EXPECT_FALSE(view->GetDataController()->IsEditing());
  EXPECT_EQ(5, view->GetDataController()->GetRowCount());
  EXPECT_EQ(4, Focused(view));
}

TEST_F(GridTableController, LeavingAModifiedRecordPostsIt) {
  TTestTableView* view = AddTableView(1, 5);
  TTestTableController* controller = view->Controller();
  controller->GoToFirst();
  TqvGridDataController* data = view->GetDataController();
  data->Edit();
  data->SetEditValue(0, "changed", evsText);
  EXPECT_EQ(frrMoved, controller->GoToNext(false, false));
  EXPECT_FALSE(data->IsEditing());
  EXPECT_EQ("changed", VarToStr(data->GetValue(0, 0)));
  EXPECT_EQ(1, Focused(view));
}

struct TTabCase {
  const char* Name;
  bool FocusCellOnCycle;
  Integer Row, Item;
};

class GridTableTab : public GridTableController, public ::testing::WithParamInterface<TTabCase> {};

TEST_P(GridTableTab, OnTheLastCellCyclesToTheNextRecordOnlyWhenAsked) {
  const TTabCase& c = GetParam();
  TTestTableView* view = AddTableView(3, 4);
  TTestTableController* controller = view->Controller();
  view->GetOptionsBehavior()->FocusCellOnCycle = c.FocusCellOnCycle;
  controller->FocusRecord(1, false);
  controller->SetFocusedItemIndex(2);
  controller->FocusNextCell(true);
  EXPECT_EQ(c.Row, Focused(view));
  EXPECT_EQ(c.Item, controller->GetFocusedItemIndex());
}

INSTANTIATE_TEST_SUITE_P(Cycle, GridTableTab,
                         ::testing::Values(TTabCase{"FocusCellOnCycle", true, 2, 0}, TTabCase{"Stays", false, 1, 2}),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST_F(GridTableController, PageDownFirstReachesTheLastVisibleRecordThenScrolls) {
  TTestTableView* view = PagedView();
  TTestTableController* controller = view->Controller();
  controller->GoToFirst();
  ASSERT_EQ(5, view->Info()->GetVisibleRecordCount());
  controller->FocusNextPage(false);
  EXPECT_EQ(4, Focused(view));
  EXPECT_EQ(0, controller->GetTopRecordIndex());
  controller->FocusNextPage(false);
  EXPECT_EQ(5, controller->GetTopRecordIndex());
  EXPECT_EQ(9, Focused(view));
  controller->FocusPrevPage(false);
  EXPECT_EQ(5, Focused(view));
  controller->FocusPrevPage(false);
  EXPECT_EQ(0, controller->GetTopRecordIndex());
  EXPECT_EQ(0, Focused(view));
}

TEST_F(GridTableController, TheTopRecordIndexSettlesWhereTheViewIsStillFull) {
  TTestTableView* view = PagedView();
  TTestTableController* controller = view->Controller();
  Integer changes = 0;
  view->OnTopRecordIndexChanged = [&](TObject*) { ++changes; };
  controller->SetTopRecordIndex(1000000);
  EXPECT_EQ(95, controller->GetTopRecordIndex());
  EXPECT_EQ(95, controller->GetMaxTopRecordIndex());
  controller->SetTopRecordIndex(-7);
  EXPECT_EQ(0, controller->GetTopRecordIndex());
  EXPECT_EQ(2, changes);
  controller->SetTopRecordIndex(0);
  EXPECT_EQ(2, changes);
  EXPECT_EQ(controller->GetTopRecordIndex(), controller->GetScrollBarPos());
  EXPECT_EQ(100, controller->GetScrollBarRecordCount());
}

TEST_F(GridTableController, MakingARecordVisibleScrollsTheLeastNeeded) {
  TTestTableView* view = PagedView();
  TTestTableController* controller = view->Controller();
  controller->MakeRecordVisible(30);
  EXPECT_EQ(26, controller->GetTopRecordIndex());
  controller->MakeRecordVisible(10);
  EXPECT_EQ(10, controller->GetTopRecordIndex());
  controller->MakeRecordVisible(12);
  EXPECT_EQ(10, controller->GetTopRecordIndex());
}

TEST_F(GridTableController, ARecordTallerThanTheViewBecomesTheTopRecord) {
  TTestTableView* view = PagedView();
  view->RowHeights[40] = 400;
  view->RowHeights[41] = 60;
  TTestTableController* controller = view->Controller();
  // Records of unequal height are counted by a measuring layout.
  EXPECT_EQ(1, controller->GetPageRecordCount(41, false));
  controller->MakeRecordVisible(40);
  EXPECT_EQ(40, controller->GetTopRecordIndex());
  controller->MakeRecordVisible(42);
  EXPECT_EQ(41, controller->GetTopRecordIndex());
}

TEST_F(GridTableController, AViewFreedWhileTheFocusMovesEndsTheMoveAsFreed) {
  TTestTableView* view = AddTableView(1, 5);
  TTestTableController* controller = view->Controller();
  controller->GoToFirst();
  view->OnFocusedRecordChanged = [&](TqvCustomGridTableView* Sender, TqvCustomGridRecord*, TqvCustomGridRecord*, bool) {
    Free(Sender);
  };
  EXPECT_EQ(frrViewFreed, controller->FocusNextRecord(0, true, true, false, false));
}

TEST_F(GridTableController, LeavingTheViewCancelsAnUntouchedNewRecord) {
  TTestTableView* view = AddTableView(1, 5);
  TTestTableController* controller = view->Controller();
  controller->GoToLast();
  view->GetDataController()->Append();
  ASSERT_TRUE(controller->CanCancelOnExit());
  controller->DoExit();
  EXPECT_FALSE(view->GetDataController()->IsEditing());
  EXPECT_EQ(5, view->GetDataController()->GetRowCount());
  view->GetOptionsData()->CancelOnExit = false;
  view->GetDataController()->Append();
  EXPECT_FALSE(controller->CanCancelOnExit());
}

// A data controller in grid mode that notes when it adjusts its buffer.
class TGridModeDataController : public TqvGridDataController {
  QJ_INLINE_CLASS(TGridModeDataController, TqvGridDataController)
 public:
  using TqvGridDataController::TqvGridDataController;
  bool IsGridMode() const override { return true; }
  void AdjustGridModeBufferCount() override { ++Adjustments; }
  Integer Adjustments = 0;
};

class TGridModeTableView : public TTestTableView {
  QJ_INLINE_CLASS(TGridModeTableView, TTestTableView)
 public:
  using TTestTableView::TTestTableView;

 protected:
  TqvCustomDataControllerClass GetDataControllerClass() const override {
    return &TGridModeDataController::StaticClass();
  }
};

TEST_F(GridTableController, TheGridModeBufferFollowsTheViewOnceAfterAShortWait) {
  TTestTableView* unbound = AddTableView(1, 3);
  unbound->Controller()->PostGridModeBufferCountUpdate();
  EXPECT_FALSE(unbound->Controller()->IsGridModeBufferCountUpdatePending());
  auto* view = New<TGridModeTableView>(FForm);
  unbound->GetLevel()->SetGridView(view);
  Pump();
  auto* data = static_cast<TGridModeDataController*>(view->GetDataController());
  view->Controller()->PostGridModeBufferCountUpdate();
  view->Controller()->PostGridModeBufferCountUpdate();
  EXPECT_TRUE(view->Controller()->IsGridModeBufferCountUpdatePending());
  EXPECT_EQ(0, data->Adjustments);
  for (Integer i = 0; i < 50 && view->Controller()->IsGridModeBufferCountUpdatePending(); ++i) {
    Sleep(2);
    Pump();
  }
  EXPECT_FALSE(view->Controller()->IsGridModeBufferCountUpdatePending());
  EXPECT_EQ(1, data->Adjustments);
}

}  // namespace
