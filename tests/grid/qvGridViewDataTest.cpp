// Records made on demand: how many exist, what a refresh frees, the new item record, keys,
// parents, expansion and selection.
#include "qvGridTableTestSupport.h"

namespace {

class GridViewData : public TGridTableTest {};

TEST_F(GridViewData, OnlyTheRecordsAskedForAreMade) {
  TTestTableView* view = AddTableView(1, 0);
  view->GetDataController()->SetRecordCount(100000);
  TTestTableViewData* data = view->Data();
  EXPECT_EQ(100000, data->GetRecordCount());
  // The shown rows have records of their layouts; nothing else is made.
  const Integer shown = view->Info()->GetRecordsViewInfo()->GetCount();
  EXPECT_GT(shown, 0);
  EXPECT_EQ(shown, data->GetMadeRecordCount());
  for (Integer i = 0; i < 20; ++i) data->GetRecord(50000 + i);
  EXPECT_EQ(shown + 20, data->GetMadeRecordCount());
  EXPECT_EQ(nullptr, data->GetRecordByIndex(100000));
  EXPECT_EQ(nullptr, data->GetRecordByIndex(-1));
  EXPECT_EQ(nullptr, data->GetMadeRecord(70000));
  EXPECT_THROW(data->GetRecord(100000), EListError);
}

TEST_F(GridViewData, ANewOrderRereadsTheRowsAndNewRowsFreeEveryRecord) {
  TTestTableView* view = AddTableView(1, 50);
  TTestTableViewData* data = view->Data();
  TqvCustomGridRecord* record = data->GetRecord(40);
  EXPECT_EQ(40, record->GetRecordIndex());
  const Integer made = data->GetMadeRecordCount();
  // A new order keeps the records; each reads its row again.
  view->GetDataController()->ChangeSorting(0, soDescending);
  EXPECT_EQ(made, data->GetMadeRecordCount());
  const Integer sorted = view->GetDataController()->GetRowInfo(40).RecordIndex;
  EXPECT_NE(40, sorted);
  EXPECT_EQ(sorted, record->GetRecordIndex());
  EXPECT_EQ("r" + std::to_string(sorted) + "c0", record->GetDisplayText(0));
  // New rows free them all; the layout makes the shown ones again.
  TAliveToken alive = record->AliveToken();
  view->GetDataController()->SetRecordCount(45);
  EXPECT_FALSE(alive);
  EXPECT_EQ(view->Info()->GetRecordsViewInfo()->GetCount(), data->GetMadeRecordCount());
  EXPECT_EQ(view->GetDataController()->GetRowInfo(40).RecordIndex, data->GetRecord(40)->GetRecordIndex());
}

TEST_F(GridViewData, ALayoutForgetsItsRecordWhenARefreshFreesIt) {
  TTestTableView* view = AddTableView(1, 50);
  TTestTableViewData* data = view->Data();
  TTestRecordViewInfo first(view->Info()->GetRecordsViewInfo(), data->GetRecord(42));
  TTestRecordViewInfo second(view->Info()->GetRecordsViewInfo(), data->GetRecord(42));
  EXPECT_EQ(&first, data->GetRecord(42)->GetViewInfo());
  EXPECT_TRUE(second.IsDetached());
  view->GetDataController()->SetRecordCount(49);
  EXPECT_EQ(nullptr, first.GetGridRecord());
  EXPECT_EQ(nullptr, second.GetGridRecord());
  // A layout freed first leaves its record without a link.
  TqvCustomGridRecord* record = data->GetRecord(43);
  { TTestRecordViewInfo layout(view->Info()->GetRecordsViewInfo(), record); }
  EXPECT_EQ(nullptr, record->GetViewInfo());
}

TEST_F(GridViewData, TheNewItemRecordFollowsTheOptionAndAnswersTheNewRecordIndex) {
  TTestTableView* view = AddTableView(1, 3);
  TTestTableViewData* data = view->Data();
  EXPECT_EQ(nullptr, data->GetNewItemRecord());
  data->NewItemRow = true;
  data->CheckNewItemRecord();
  TqvCustomGridRecord* record = data->GetNewItemRecord();
  ASSERT_NE(nullptr, record);
  EXPECT_EQ(-1, record->GetIndex());
  EXPECT_TRUE(record->IsNewItemRecord());
  EXPECT_TRUE(record->GetVisible());
  EXPECT_EQ(record, data->GetRecordByRecordIndex(view->GetDataController()->GetNewRecordIndex()));
  EXPECT_EQ(data->GetRecord(1), data->GetRecordByRecordIndex(1));
  EXPECT_EQ(nullptr, data->GetRecordByRecordIndex(3));
  data->NewItemRow = false;
  data->CheckNewItemRecord();
  EXPECT_EQ(nullptr, data->GetNewItemRecord());
}

TEST_F(GridViewData, SelectionGoesThroughTheDataController) {
  TTestTableView* view = AddTableView(1, 3);
  TTestTableViewData* data = view->Data();
  // Without multi-select the selection is the focused row alone.
  const Integer focused = view->GetDataController()->GetFocusedRowIndex();
  data->GetRecord(2)->SetSelected(true);
  EXPECT_EQ(focused == 2, data->GetRecord(2)->GetSelected());
  view->GetOptionsSelection()->SetMultiSelect(true);
  data->GetRecord(2)->SetSelected(true);
  EXPECT_TRUE(view->GetDataController()->IsRowSelected(2));
  EXPECT_TRUE(data->GetRecord(2)->GetSelected());
  data->NewItemRow = true;
  data->CheckNewItemRecord();
  view->GetDataController()->SetNewItemRowEnabled(true);
  data->GetNewItemRecord()->SetSelected(true);
  EXPECT_TRUE(view->GetDataController()->IsNewItemRowFocused());
}

struct TKeyCase {
  const char* Name;
  bool Expandable;
  bool Expanded;
  Word Key;
  bool KeyUsed;
  bool ExpandedAfter;
  bool PressSwallowed;
};

class GridRecordKeys : public GridViewData, public ::testing::WithParamInterface<TKeyCase> {};

TEST_P(GridRecordKeys, ExpandAndCollapseKeysAreUsedOnlyWhenTheyChangeTheRecord) {
  const TKeyCase& c = GetParam();
  TTestTableView* view = AddTableView(1, 3);
  auto* record = static_cast<TTestTableRecord*>(view->Data()->GetRecord(1));
  record->Expandable = c.Expandable;
  record->Expanded = c.Expanded;
  Word key = c.Key;
  record->KeyDown(key, {});
  EXPECT_EQ(c.KeyUsed, key == 0);
  EXPECT_EQ(c.ExpandedAfter, record->Expanded);
  char press = '+';
  record->KeyPress(press);
  EXPECT_EQ(c.PressSwallowed, press == 0);
  press = '+';
  record->KeyPress(press);
  EXPECT_EQ('+', press);
}

INSTANTIATE_TEST_SUITE_P(Keys, GridRecordKeys,
                         ::testing::Values(TKeyCase{"LeftOnExpanded", true, true, VK_LEFT, true, false, false},
                                           TKeyCase{"LeftOnCollapsed", true, false, VK_LEFT, false, false, false},
                                           TKeyCase{"RightOnCollapsed", true, false, VK_RIGHT, true, true, false},
                                           TKeyCase{"RightOnExpanded", true, true, VK_RIGHT, false, true, false},
                                           TKeyCase{"PlusExpands", true, false, VK_ADD, true, true, true},
                                           TKeyCase{"MinusCollapses", true, true, VK_SUBTRACT, true, false, true},
                                           TKeyCase{"MultiplyExpands", true, false, VK_MULTIPLY, true, true, true},
                                           TKeyCase{"PlusOnAPlainRow", false, false, VK_ADD, false, false, false}),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

// Two grouping levels over items 0 and 1: "g<record mod 2>" and "h<record mod 3>".
class GridViewDataGrouped : public GridViewData {
 protected:
  TTestTableView* GroupedView() {
    TTestTableView* view = AddTableView(3, 12);
    TqvGridDataController* data = view->GetDataController();
    for (Integer r = 0; r < 12; ++r) {
      data->SetValue(r, 0, "g" + std::to_string(r % 2));
      data->SetValue(r, 1, "h" + std::to_string(r % 3));
    }
    view->GetItem(0)->SetGroupIndex(0);
    view->GetItem(1)->SetGroupIndex(1);
    return view;
  }
};

TEST_F(GridViewDataGrouped, ExpandingAllReachesRowsThatAppearOnlyAfterEarlierOnesExpanded) {
  TTestTableView* view = GroupedView();
  TTestTableViewData* data = view->Data();
  EXPECT_EQ(2, data->GetRecordCount());
  // The walk reaches the subgroups the top groups opened, and opens them too.
  data->Expand(false);
  EXPECT_EQ(2 + 6 + 12, data->GetRecordCount());
  // Walking from the last row, every group closes.
  data->Collapse(false);
  EXPECT_EQ(2, data->GetRecordCount());
}

TEST_F(GridViewDataGrouped, TheParentOfARowIsTheNearestEarlierRowOfALowerLevel) {
  TTestTableView* view = GroupedView();
  TTestTableViewData* data = view->Data();
  data->Expand(true);
  TqvCustomGridRecord* dataRow = data->GetRecord(3);
  ASSERT_EQ(2, dataRow->GetLevel());
  TqvCustomGridRecord* parent = dataRow->GetParentRecord();
  ASSERT_NE(nullptr, parent);
  EXPECT_EQ(1, parent->GetLevel());
  EXPECT_EQ(0, parent->GetParentRecord()->GetLevel());
  EXPECT_EQ(nullptr, data->GetRecord(0)->GetParentRecord());
  // The last data row of a subgroup closes that subgroup only; the last row closes all.
  const Integer last = data->GetRecordCount() - 1;
  EXPECT_TRUE(data->GetRecord(last)->IsLastChild(2));
}

TEST_F(GridViewDataGrouped, AGroupRowMadeAgainByItsOwnExpansionIsNotTouchedAfterTheKey) {
  TTestTableView* view = GroupedView();
  TqvCustomGridRecord* group = view->Data()->GetRecord(0);
  Word key = VK_ADD;
  group->KeyDown(key, {});
  EXPECT_EQ(0, key);
  // The group row was freed by the refresh; the next record of row 0 is a new one.
  TqvCustomGridRecord* again = view->Data()->GetRecord(0);
  EXPECT_TRUE(again->GetExpanded());
  char press = '+';
  again->KeyPress(press);
  EXPECT_EQ('+', press);
}

}  // namespace
