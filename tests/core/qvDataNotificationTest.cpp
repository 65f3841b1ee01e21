#include <functional>
#include <memory>
#include <stdexcept>

#include "core/qvDataSearch.h"
#include "platform/rtl/Scopes.h"
#include "support/CaseNames.h"
#include "tests/core/qvRecordingView.h"

using NotificationTest = RecordingViewTest;

// What the recording view hears: each case prepares the controller (its notifications are not
// logged), then acts; the log holds what the action sent, in order.
using TNotificationStep = std::function<void(NotificationTest&, TqvDataController*)>;

struct TNotificationSequence {
  const char* Name;
  TNotificationStep Setup;
  TNotificationStep Action;
  TRecordLog Expected;
  friend void PrintTo(const TNotificationSequence& c, std::ostream* os) { *os << c.Name; }
};

const TNotificationSequence kNotificationSequences[] = {
    {"two values of two records in one bracket", nullptr,
     [](auto&, auto* c) {
       c->BeginUpdate();
       c->SetValue(1, NotificationTest::kNum, 21);
       c->SetValue(3, NotificationTest::kName, "x");
       c->EndUpdate();
     },
     {"data 4 1 3"}},
    {"a growing record count", nullptr, [](auto&, auto* c) { c->SetRecordCount(7); }, {"data 2 -1 -1"}},
    {"a focus move in single-row mode names rows, then records, and no selection",
     [](auto&, auto* c) {
       c->SetMultiSelect(false);
       c->ChangeFocusedRowIndex(1);
     },
     [](auto&, auto* c) { c->ChangeFocusedRowIndex(3); }, {"row 3 1", "record 1 3"}},
    {"from a group row to its first data row the record info still comes",
     [](auto& t, auto* c) {
       t.GroupByGroup();
       c->GetGroups()->ChangeExpanding(0, true, false);
       c->ChangeFocusedRowIndex(0);
     },
     [](auto&, auto* c) { c->ChangeFocusedRowIndex(1); }, {"row 1 0", "record 0 0"}},
    {"the focused-row-selected flag names the focused row",
     [](auto&, auto* c) {
       c->SetMultiSelect(false);
       c->ChangeFocusedRowIndex(2);
     },
     [](auto&, auto* c) {
       c->SetFocusedRowSelected(false);
       c->SetFocusedRowSelected(false);
       c->SetFocusedRowSelected(true);
     },
     {"selection 2", "selection 2"}},
    {"saving and clearing the bookmark, each once", [](auto&, auto* c) { c->ChangeFocusedRowIndex(2); },
     [](auto&, auto* c) {
       c->SaveBookmarkAndNotify();
       c->SaveBookmarkAndNotify();
       c->ClearBookmarkAndNotify();
       c->ClearBookmarkAndNotify();
     },
     {"bookmark", "bookmark"}},
    {"deleting the bookmarked record",
     [](auto&, auto* c) {
       c->ChangeFocusedRowIndex(2);
       c->SaveBookmark();
       c->ChangeFocusedRowIndex(0);
     },
     [](auto&, auto* c) { c->DeleteRecord(2); }, {"data 3 -1 -1", "record 0 0", "bookmark"}},
    {"an edit begins", [](auto&, auto* c) { c->ChangeFocusedRowIndex(1); }, [](auto&, auto* c) { c->Edit(); },
     {"update 1"}},
    {"a search match is focused and selected", nullptr,
     [](auto&, auto* c) { c->GetSearch()->Locate(NotificationTest::kName, "GA"); },
     {"row 2 -1", "record -1 2", "selection 2", "search"}},
    {"a focus change ends the search",
     [](auto&, auto* c) { c->GetSearch()->Locate(NotificationTest::kName, "ga"); },
     [](auto&, auto* c) { c->ChangeFocusedRowIndex(0); }, {"row 0 2", "record 2 0", "search"}},
    {"switching the new-item row on", nullptr, [](auto&, auto* c) { c->SetNewItemRowEnabled(true); },
     {"data 4 -1 -1"}},
    {"focusing the new-item row", [](auto&, auto* c) {
       c->SetNewItemRowEnabled(true);
       c->ChangeFocusedRowIndex(1);
     },
     [](auto&, auto* c) { c->SetNewItemRowFocused(true); }, {"row -1 1", "record 1 -1 new-item"}},
    {"sorting by the same order twice sends once", nullptr,
     [](auto&, auto* c) {
       c->ChangeSorting(NotificationTest::kNum, soDescending);
       c->ChangeSorting(NotificationTest::kNum, soDescending);
     },
     {"layout"}},
    {"an incremental filter rebuilds the rows", nullptr,
     [](auto&, auto* c) { c->SetIncrementalFilter(NotificationTest::kName, "be"); }, {"data 4 -1 -1"}},
};

class NotificationSequences : public NotificationTest,
                              public ::testing::WithParamInterface<TNotificationSequence> {};

TEST_P(NotificationSequences, SendWhatTheActionChanged) {
  const TNotificationSequence& test = GetParam();
  if (test.Setup) test.Setup(*this, Controller);
  Log.clear();
  test.Action(*this, Controller);
  EXPECT_EQ(Log, test.Expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, NotificationSequences, ::testing::ValuesIn(kNotificationSequences),
                         TCaseNameFromDescription());

TEST_F(NotificationTest, SortingHandlerThatSortsAgainIsNotCalledAgain) {
  Integer calls = 0;
  Controller->OnSortingChanged = [&](TObject*) {
    ++calls;
    Controller->ChangeSorting(kNum, soDescending);
  };
  Controller->ChangeSorting(kNum, soAscending);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(Controller->GetItemSortOrder(kNum), soDescending);
}

TEST_F(NotificationTest, ARaisingViewLosesOnlyTheBitsAlreadyTaken) {
  Controller->OnUpdateControl = [this](TqvUpdateControlInfo* info) {
    Log.push_back(DescribeInfo(info));
    if (dynamic_cast<TqvDataChangedInfo*>(info)) throw std::runtime_error("view failed");
  };
  Controller->BeginUpdate();
  Controller->SetValue(0, kNum, 1);
  Controller->ChangeFocusedRowIndex(2);
  EXPECT_THROW(Controller->EndUpdate(), std::runtime_error);
  EXPECT_EQ(Log, (TRecordLog{"data 0 0 0"}));
  Log.clear();
  Controller->ChangeFocusedRowIndex(3);
  EXPECT_EQ(Log, (TRecordLog{"row 3 2", "record 2 3"}));
  // The data change pending when the view raised was reset.
  EXPECT_EQ(Controller->GetPendingDataChange(), TqvDataChange());
}

TEST(SelectionChangedInfo, Constructors) {
  EXPECT_EQ(TqvSelectionChangedInfo().GetCount(), 0);
  TqvSelectionChangedInfo both(2, 5);
  EXPECT_EQ(both.RowIndexes, (std::vector<Integer>{2, 5}));
  EXPECT_EQ(TqvSelectionChangedInfo(3, 3).RowIndexes, (std::vector<Integer>{3}));
  EXPECT_EQ(TqvSelectionChangedInfo(-1, 4).RowIndexes, (std::vector<Integer>{4}));
  EXPECT_EQ(TqvSelectionChangedInfo(-1, -1).GetCount(), 0);
}

TEST(FlagValueScope, RestoresTheOldValueOnlyWhileTheOwnerLives) {
  bool flag = false;
  {
    TValueScope<bool> plain(flag, true);
    EXPECT_TRUE(flag);
  }
  EXPECT_FALSE(flag);
  auto owner = std::make_unique<TAliveFlag>();
  {
    TValueScope<bool> guarded(flag, true, owner->Token());
    EXPECT_TRUE(flag);
  }
  EXPECT_FALSE(flag);
  {
    TValueScope<bool> guarded(flag, true, owner->Token());
    owner.reset();  // the block destroyed the flag's owner: the flag must not be written
  }
  EXPECT_TRUE(flag);
}
