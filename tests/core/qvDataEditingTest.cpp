#include <functional>

#include "support/CaseNames.h"
#include "tests/core/qvRecordingView.h"

using TRecords = std::vector<std::string>;

namespace {

const TRecords kOriginal = {"10 alpha 1", "20 beta 2", "30 gamma 1", "40 delta 2", "50 beacon 1"};

TRecords With(TRecords ARecords, size_t AIndex, const std::string& AText) {
  ARecords.insert(ARecords.begin() + static_cast<std::ptrdiff_t>(AIndex), AText);
  return ARecords;
}

TRecords Without(TRecords ARecords, std::vector<size_t> AIndexes) {
  for (auto it = AIndexes.rbegin(); it != AIndexes.rend(); ++it)
    ARecords.erase(ARecords.begin() + static_cast<std::ptrdiff_t>(*it));
  return ARecords;
}

}  // namespace

using EditingTest = RecordingViewTest;

namespace {

// The editing cycle: each case acts on the five records and states the records, the focused
// record and the edit state (1 inserting, 2 editing, 4 editor value pending, 8 modified) after.
using TEditingAction = std::function<void(EditingTest&, TqvDataController*)>;
struct TEditingStateCase {
  const char* Name;
  TEditingAction Action;
  TRecords Records;
  Integer Focused;
  Integer EditState;
  friend void PrintTo(const TEditingStateCase& c, std::ostream* os) { *os << c.Name; }
};

const TEditingStateCase kEditingStateMachine[] = {
    {"append takes the last row's grouping values",
     [](auto& t, auto* c) {
       t.GroupByGroup();
       c->Append();
     },
     With(kOriginal, 5, "- - 2"), 5, dceInsert},
    {"an untouched append is removed again by post",
     [](auto& t, auto* c) {
       t.GroupByGroup();
       c->Append();
       c->Post();
     },
     kOriginal, 4, 0},
    {"insert takes the focused record's place and is focused",
     [](auto&, auto* c) {
       c->ChangeFocusedRowIndex(3);
       c->Insert();
     },
     With(kOriginal, 3, "- - -"), 3, dceInsert},
    {"a second insert without editing does nothing",
     [](auto&, auto* c) {
       c->ChangeFocusedRowIndex(3);
       c->Insert();
       c->Insert();
     },
     With(kOriginal, 3, "- - -"), 3, dceInsert},
    {"an edited insert is kept by post",
     [](auto&, auto* c) {
       c->ChangeFocusedRowIndex(0);
       c->Insert();
       c->SetEditValue(EditingTest::kNum, 5, 1);
       c->Post();
     },
     With(kOriginal, 0, "5 - -"), 0, 0},
    {"cancel restores the edited value",
     [](auto&, auto* c) {
       c->ChangeFocusedRowIndex(1);
       c->Edit();
       c->SetEditValue(EditingTest::kName, "zeta", 1);
       c->Cancel();
     },
     kOriginal, 1, 0},
    {"an empty text through value source 1 is stored as Null",
     [](auto&, auto* c) {
       c->ChangeFocusedRowIndex(0);
       c->SetEditValue(EditingTest::kName, "", 1);
     },
     {"10 - 1", "20 beta 2", "30 gamma 1", "40 delta 2", "50 beacon 1"}, 0, dceEdit | dceChanging | dceModified},
    {"update data takes the pending editor value",
     [](auto&, auto* c) {
       c->ChangeFocusedRowIndex(0);
       c->SetEditValue(EditingTest::kNum, 11, 1);
       c->UpdateData();
     },
     {"11 alpha 1", "20 beta 2", "30 gamma 1", "40 delta 2", "50 beacon 1"}, 0, dceEdit | dceModified},
    {"post ends the edit and keeps the value",
     [](auto&, auto* c) {
       c->ChangeFocusedRowIndex(2);
       c->SetEditValue(EditingTest::kNum, 31, 1);
       c->Post();
     },
     {"10 alpha 1", "20 beta 2", "31 gamma 1", "40 delta 2", "50 beacon 1"}, 2, 0},
    {"focusing another record posts the edit",
     [](auto&, auto* c) {
       c->ChangeFocusedRowIndex(2);
       c->SetEditValue(EditingTest::kNum, 32, 1);
       c->ChangeFocusedRowIndex(3);
     },
     {"10 alpha 1", "20 beta 2", "32 gamma 1", "40 delta 2", "50 beacon 1"}, 3, 0},
    {"a group row and one of its rows in the selection delete each record once",
     [](auto& t, auto* c) {
       t.GroupByGroup();
       c->GetGroups()->ChangeExpanding(0, true, false);  // G0:0, 0, 2, 4, G0:1
       c->ChangeRowSelection(0, true);
       c->ChangeRowSelection(2, true);
       c->DeleteSelection();
     },
     Without(kOriginal, {0, 2, 4}), -1, 0},
    {"deleting the focused last row focuses the new last row",
     [](auto&, auto* c) {
       c->ChangeFocusedRowIndex(4);
       c->DeleteFocused();
     },
     Without(kOriginal, {4}), 3, 0},
    {"deleting a focused middle row focuses the record after it",
     [](auto&, auto* c) {
       c->ChangeFocusedRowIndex(1);
       c->DeleteFocused();
     },
     Without(kOriginal, {1}), 1, 0},
    {"a focused group row deletes exactly its records, whatever their view order",
     [](auto& t, auto* c) {
       t.GroupByGroup();
       c->ChangeSorting(EditingTest::kNum, soDescending);  // group 1 shows records 4, 2, 0
       c->ChangeFocusedRowIndex(0);                        // the collapsed group of 1s
       c->DeleteFocused();
     },
     Without(kOriginal, {0, 2, 4}), 1, 0},
    {"deleting the edited record ends the edit",
     [](auto&, auto* c) {
       c->ChangeFocusedRowIndex(1);
       c->Edit();
       c->DeleteRecord(0);
     },
     Without(kOriginal, {0}), 0, 0},
};

class EditingStateMachine : public EditingTest, public ::testing::WithParamInterface<TEditingStateCase> {};

TEST_P(EditingStateMachine, LeavesTheExpectedRecordsFocusAndState) {
  const TEditingStateCase& test = GetParam();
  SCOPED_TRACE(test.Name);
  test.Action(*this, Controller);
  EXPECT_EQ(Records(), test.Records);
  EXPECT_EQ(Controller->GetFocusedRecordIndex(), test.Focused);
  EXPECT_EQ(Controller->GetEditState(), test.EditState);
  EXPECT_EQ(Controller->IsEditing(), test.EditState != 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, EditingStateMachine, ::testing::ValuesIn(kEditingStateMachine),
                         TCaseNameFromDescription());

}  // namespace

TEST_F(EditingTest, NewItemRowEditsABufferAndPostAppendsOneRecord) {
  Controller->ChangeFocusedRowIndex(2);
  Controller->SetNewItemRowEnabled(true);
  Log.clear();
  Controller->Append();
  EXPECT_TRUE(Controller->IsNewItemRowFocused());
  EXPECT_EQ(Controller->GetFocusedRowIndex(), -1);
  Integer buffer = Controller->GetEditingRecordIndex();
  EXPECT_LT(buffer, 0);
  EXPECT_EQ(buffer, Controller->GetNewRecordIndex());
  EXPECT_TRUE(VarIsNull(Controller->GetEditValue(kName, 1)));
  EXPECT_TRUE(Controller->SetEditValue(kName, "omega", 1));
  EXPECT_TRUE(Controller->SetEditValue(kNum, 60, 1));
  EXPECT_EQ(Controller->GetEditState(), dceInsert | dceChanging | dceModified);
  EXPECT_EQ(Controller->GetRecordCount(), 5);
  Controller->Post();
  EXPECT_EQ(Records(), With(kOriginal, 5, "60 omega -"));
  EXPECT_EQ(Controller->GetEditState(), 0);
  EXPECT_TRUE(VarIsNull(Controller->GetValue(Controller->GetNewRecordIndex(), kName)));
  EXPECT_TRUE(Controller->IsNewItemRowFocused());
  // Leaving the new-item row for a data row.
  Controller->ChangeFocusedRowIndex(0);
  EXPECT_FALSE(Controller->IsNewItemRowFocused());
  EXPECT_EQ(Controller->GetFocusedRecordIndex(), 0);
}

TEST_F(EditingTest, UntouchedNewItemRowPostAddsNothing) {
  Controller->SetNewItemRowEnabled(true);
  Controller->Append();
  Controller->Post();
  EXPECT_EQ(Records(), kOriginal);
  EXPECT_FALSE(Controller->IsEditing());
}

TEST_F(EditingTest, EditingNeedsAFocusedRecordAndValidIndexes) {
  EXPECT_THROW(Controller->GetEditValue(kNum, 1), EqvInvalidDataControllerOperation);
  EXPECT_THROW(Controller->BeginEditItem(7), EqvInvalidDataControllerOperation);
  Controller->Edit();  // nothing focused: nothing to edit
  EXPECT_FALSE(Controller->IsEditing());
  Controller->Cancel();
  Controller->Post();
  EXPECT_EQ(Records(), kOriginal);
  EXPECT_EQ(Controller->GetEditOperations(), dceopAppend | dceopDelete | dceopEdit | dceopInsert | dceopItemEdit);
}

TEST_F(EditingTest, CancelReportsTheRestoredRecord) {
  Controller->ChangeFocusedRowIndex(1);
  Controller->Edit();
  Controller->SetEditValue(kName, "zeta", 1);
  Log.clear();
  std::vector<Integer> changed;
  Controller->OnRecordChanged = [&](TqvCustomDataController*, Integer r, Integer) { changed.push_back(r); };
  Controller->Cancel();
  EXPECT_EQ(Log, (TRecordLog{"data 1 -1 1"}));
  EXPECT_EQ(changed, (std::vector<Integer>{1}));
}

TEST_F(EditingTest, PostSurvivesAHandlerThatFreesTheController) {
  Controller->ChangeFocusedRowIndex(0);
  Controller->SetEditValue(kNum, 1, 1);
  Controller->OnUpdateControl = [this](TqvUpdateControlInfo*) { FreeAndNil(Controller); };
  Controller->Post();
  EXPECT_EQ(Controller, nullptr);
}
