// The grid data controller and the item data binding: display texts, item answers, filter
// conditions and strings, the queued record changes and the record hit tests.
#include "editors/qvCheckBox.h"
#include "editors/qvEditDataRegisteredRepositoryItems.h"
#include "editors/qvTextEdit.h"
#include "qvGridTableTestSupport.h"

namespace {

class GridDataController : public TGridTableTest {};

// -- Display text per editor kind

struct TDisplayTextCase {
  const char* Name;
  bool Boolean;          // a Boolean field (the check box, a value-based editor) instead of a string one
  bool Handler;          // OnGetDisplayText appends "!"
};

class GridDataControllerDisplayText : public GridDataController,
                                      public ::testing::WithParamInterface<TDisplayTextCase> {};

TEST_P(GridDataControllerDisplayText, ComesFromThePropertiesOrTheStoredTextThenTheHandler) {
  const TDisplayTextCase& c = GetParam();
  TTestTableView* view = AddTableView(1, 2);
  TqvGridDataController* data = view->GetDataController();
  TTestTableItem* item = static_cast<TTestTableItem*>(view->GetItem(0));
  if (c.Boolean) {
    data->ChangeValueTypeClass(0, TqvBooleanValueType::Class());
    data->ChangeItemTextStored(0, true);
    data->SetValue(1, 0, true);
    data->SetDisplayText(1, 0, "stored");
  }
  TqvCustomGridRecord* seen = nullptr;
  if (c.Handler)
    item->OnGetDisplayText = [&](TqvCustomGridTableItem*, TqvCustomGridRecord* ARecord, String& AText) {
      seen = ARecord;
      AText += "!";
    };
  String expected = c.Boolean ? item->GetProperties()->GetDisplayText(true) : String("r1c0");
  if (c.Handler) expected += "!";
  EXPECT_EQ(expected, data->GetDisplayText(1, 0));
  if (c.Boolean) EXPECT_NE("stored", data->GetDisplayText(1, 0).substr(0, 6));
  if (c.Handler) EXPECT_EQ(view->GetViewData()->GetRecord(1), seen);
}

INSTANTIATE_TEST_SUITE_P(Kinds, GridDataControllerDisplayText,
                         ::testing::Values(TDisplayTextCase{"TextEditor", false, false},
                                           TDisplayTextCase{"TextEditorWithHandler", false, true},
                                           TDisplayTextCase{"CheckBox", true, false},
                                           TDisplayTextCase{"CheckBoxWithHandler", true, true}),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST_F(GridDataController, AnswersAboutItemsComeFromTheView) {
  TTestTableView* view = AddTableView(3, 0);
  TqvGridDataController* data = view->GetDataController();
  EXPECT_EQ(view->GetItem(2), data->GetItem(2));
  EXPECT_EQ(2, data->GetItemID(view->GetItem(2)));
  EXPECT_EQ(-1, data->GetItemID(view));
  EXPECT_EQ(-1, data->GetItemID(nullptr));
  EXPECT_EQ("B", data->GetItemDisplayName(1));
  // Text editors show the display text, so their value source is text.
  EXPECT_EQ(evsText, data->GetItemValueSource(0));
  EXPECT_FALSE(data->ItemHasOwnDisplayText(0));
  view->GetItem(0)->OnGetDisplayText = [](TqvCustomGridTableItem*, TqvCustomGridRecord*, String&) {};
  EXPECT_TRUE(data->ItemHasOwnDisplayText(0));
  EXPECT_EQ(view, data->GetGridView());
}

TEST_F(GridDataController, TheBindingDefaultsToItsValueTypesRegisteredEditor) {
  TTestTableView* view = AddTableView(2, 0);
  TqvGridItemDataBinding* binding = view->GetItem(0)->GetDataBinding();
  EXPECT_EQ("", binding->GetDefaultCaption());
  EXPECT_EQ(64, binding->GetDefaultWidth());
  TqvEditDataRegisteredRepositoryItems* registry = GetDefaultEditDataRepositoryItems();
  EXPECT_EQ(registry->GetItem(TqvStringValueType::Class()), binding->GetDefaultRepositoryItem());
  binding->SetValueTypeClass(TqvBooleanValueType::Class());
  EXPECT_EQ(TqvBooleanValueType::Class(), view->GetDataController()->GetItemValueTypeClass(0));
  EXPECT_TRUE(binding->GetDefaultRepositoryItem()->GetProperties()->InheritsFrom<TqvCheckBoxProperties>());
  // The copy takes the value type.
  view->GetItem(1)->GetDataBinding()->Assign(binding);
  EXPECT_EQ(TqvBooleanValueType::Class(), view->GetDataController()->GetItemValueTypeClass(1));
}

TEST_F(GridDataController, TheDisplayFormatIsDefinedByStoredTextsOrAHandler) {
  TTestTableView* view = AddTableView(1, 0);
  TqvCustomGridTableItem* item = view->GetItem(0);
  TqvGridItemDataBinding* binding = item->GetDataBinding();
  EXPECT_FALSE(binding->IsDisplayFormatDefined());
  EXPECT_FALSE(binding->GetDefaultValuesProvider()->IsDisplayFormatDefined(false));
  view->GetDataController()->ChangeItemTextStored(0, true);
  EXPECT_TRUE(binding->GetDefaultValuesProvider()->IsDisplayFormatDefined(false));
  view->GetDataController()->ChangeItemTextStored(0, false);
  item->OnGetDisplayText = [](TqvCustomGridTableItem*, TqvCustomGridRecord*, String&) {};
  EXPECT_TRUE(binding->IsDisplayFormatDefined());
}

// -- Filter conditions and strings

TEST_F(GridDataController, AFilterConditionTakesTheValuesTextThroughTheItemsHandler) {
  TTestTableView* view = AddTableView(2, 4);
  TqvCustomGridTableItem* item = view->GetItem(0);
  item->OnGetFilterDisplayText = [](TqvCustomGridTableItem*, const Variant& AValue, String& AText) {
    if (VarToStr(AValue) == "r2c0") AText = "second";
  };
  TqvGridItemDataBinding* binding = item->GetDataBinding();
  EXPECT_FALSE(binding->GetFiltered());
  TqvFilterCriteriaItem* first = binding->AddToFilter(nullptr, okEqual, "r1c0", "", false);
  EXPECT_EQ("r1c0", first->GetDisplayValue());
  TqvFilterCriteriaItem* second = binding->AddToFilter(nullptr, okEqual, "r2c0", "", false);
  EXPECT_EQ("second", second->GetDisplayValue());
  EXPECT_EQ(2, binding->GetFilter()->GetRoot()->GetCount());
  // Replacing drops every earlier condition on the item, and only on it.
  view->GetItem(1)->GetDataBinding()->AddToFilter(nullptr, okEqual, "r0c1", "", false);
  binding->AddToFilter(nullptr, okEqual, "r3c0", "three", true);
  EXPECT_EQ(2, binding->GetFilter()->GetRoot()->GetCount());
  EXPECT_TRUE(binding->GetFiltered());
  binding->SetFiltered(true);
  EXPECT_TRUE(binding->GetFiltered());
  binding->SetFiltered(false);
  EXPECT_FALSE(binding->GetFiltered());
  EXPECT_TRUE(view->GetItem(1)->GetFiltered());
}

TEST_F(GridDataController, FilterStringsListTheDistinctValuesAfterTheItemsHandlers) {
  TTestTableView* view = AddTableView(1, 3);
  view->GetDataController()->SetValue(2, 0, "r0c0");
  TqvCustomGridTableItem* item = view->GetItem(0);
  Integer valueHandlerCalls = 0;
  item->OnGetFilterValues = [&](TqvCustomGridTableItem*, TqvFilterValueList*) { ++valueHandlerCalls; };
  item->OnGetFilterDisplayText = [](TqvCustomGridTableItem*, const Variant&, String& AText) { AText = "<" + AText + ">"; };
  TOwned<TqvFilterValueList> list = item->GetDataBinding()->GetFilter()->CreateValueList();
  TStringList strings;
  strings.Add("stale");
  item->GetDataBinding()->GetFilterStrings(&strings, list.get());
  EXPECT_EQ(1, valueHandlerCalls);
  ASSERT_EQ(list->GetCount(), strings.GetCount());
  std::vector<String> values;
  for (Integer i = 0; i < strings.GetCount(); ++i)
    if (list->GetItem(i).EntryKind == fvkValue) values.push_back(strings.Get(i));
  EXPECT_EQ((std::vector<String>{"<r0c0>", "<r1c0>"}), values);
}

// -- Queued changes

TEST_F(GridDataController, ADataChangeInsideAnUpdateRunsAtOnce) {
  TTestTableView* view = AddTableView(1, 3);
  FGrid->BeginUpdate();
  view->GetDataController()->SetRecordCount(7);
  EXPECT_EQ(7, view->GetViewData()->GetRecordCount());
  FGrid->EndUpdate();
}

struct TCoverCase {
  const char* Name;
  const char* Later;  // the change queued after a record change of view 1
  bool OtherView;
  bool Covered;
};

class GridRecordChangeCover : public GridDataController, public ::testing::WithParamInterface<TCoverCase> {};

TEST_P(GridRecordChangeCover, ALaterWholeViewChangeOfTheSameViewCoversIt) {
  const TCoverCase& c = GetParam();
  TTestTableView* view = AddTableView(1, 3);
  TTestTableView* other = AddTableView(1, 3);
  TqvCustomGridView* target = c.OtherView ? static_cast<TqvCustomGridView*>(other) : view;
  TqvGridRecordChange change(view, 1, false, nullptr);
  TOwned<TqvCustomGridChange> later;
  const std::string kind = c.Later;
  if (kind == "layout") later = MakeOwned<TqvGridLayoutChange>(target);
  if (kind == "size") later = MakeOwned<TqvGridSizeChange>(target);
  if (kind == "data") later = MakeOwned<TqvGridDataChange>(target);
  if (kind == "repaint") later = MakeOwned<TqvGridViewChange>(target);
  if (kind == "record") later = MakeOwned<TqvGridRecordChange>(target, 2, false, nullptr);
  EXPECT_EQ(c.Covered, change.IsCoveredBy(later.get()));
}

INSTANTIATE_TEST_SUITE_P(Changes, GridRecordChangeCover,
                         ::testing::Values(TCoverCase{"Layout", "layout", false, true},
                                           TCoverCase{"Size", "size", false, true},
                                           TCoverCase{"Data", "data", false, true},
                                           TCoverCase{"Repaint", "repaint", false, false},
                                           TCoverCase{"AnotherRecord", "record", false, false},
                                           TCoverCase{"LayoutOfAnotherView", "layout", true, false}),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST_F(GridDataController, RecordChangesMergeOnlyForTheSameRecordAndItem) {
  TTestTableView* view = AddTableView(2, 3);
  TqvCustomGridTableItem* a = view->GetItem(0);
  TqvCustomGridTableItem* b = view->GetItem(1);
  TqvGridRecordChange change(view, 1, false, a);
  struct {
    Integer Row;
    bool NewItem;
    TqvCustomGridTableItem* Item;
    bool Same;
  } cases[] = {{1, false, a, true}, {1, false, b, false}, {2, false, a, false}, {1, true, a, false}, {1, false, nullptr, false}};
  for (const auto& c : cases) {
    TqvGridRecordChange other(view, c.Row, c.NewItem, c.Item);
    EXPECT_EQ(c.Same, change.SameAs(&other)) << c.Row << c.NewItem;
    if (c.Same) EXPECT_EQ(change.GetMergeKey(), other.GetMergeKey());
  }
}

TEST_F(GridDataController, AFocusedRecordChangeWhileTheViewIsHiddenDoesNothing) {
  TTestTableView* view = AddTableView(1, 100);
  TTestTableView* other = AddTableView(1, 1);
  SetViewHeight(view, 100);
  other->GetLevel()->SetActive(true);
  ASSERT_FALSE(view->IsVisible());
  view->GetDataController()->ChangeFocusedRowIndex(50);
  EXPECT_EQ(0, view->Controller()->GetTopRecordIndex());
  view->GetLevel()->SetActive(true);
  Pump();
  view->GetDataController()->ChangeFocusedRowIndex(60);
  Pump();
  const Integer top = view->Controller()->GetTopRecordIndex();
  EXPECT_LE(top, 60);
  EXPECT_GT(top + view->Info()->GetVisibleRecordCount(), 60);
}

// -- Record hit tests

TEST_F(GridDataController, ARecordHitTestKeepsTheRowAndLooksTheRecordUpAgain) {
  TTestTableView* view = AddTableView(1, 5);
  view->Data()->NewItemRow = true;
  view->Data()->CheckNewItemRecord();
  TOwned<TqvGridRecordHitTest> hitTest = TqvCustomGridHitTest::Make<TqvGridRecordHitTest>({0, 0});
  hitTest->SetGridView(view);
  EXPECT_EQ(101, hitTest->GetHitTestCode());
  hitTest->SetGridRecord(view->Data()->GetNewItemRecord());
  EXPECT_TRUE(hitTest->IsNewItemRecord());
  EXPECT_EQ(view->Data()->GetNewItemRecord(), hitTest->GetGridRecord());
  hitTest->SetGridRecord(view->Data()->GetRecord(3));
  EXPECT_EQ(3, hitTest->GetRowIndex());
  // After the rows are refreshed the hit test finds the new record of its row.
  view->GetDataController()->SetRecordCount(6);
  TqvCustomGridRecord* record = hitTest->GetGridRecord();
  ASSERT_NE(nullptr, record);
  EXPECT_EQ(3, record->GetIndex());
  view->GetDataController()->SetRecordCount(2);
  EXPECT_EQ(nullptr, hitTest->GetGridRecord());
}

TEST_F(GridDataController, RecordPartsAnswerTheirCodesAndWhetherAPressFocusesTheRecord) {
  struct {
    TOwned<TqvGridRecordHitTest> HitTest;
    Integer Code;
    bool Clicks;
  } cases[] = {{TqvCustomGridHitTest::Make<TqvGridRecordHitTest>({}), 101, true},
               {TqvCustomGridHitTest::Make<TqvGridRecordCellHitTest>({}), 102, true},
               {TqvCustomGridHitTest::Make<TqvGridExpandButtonHitTest>({}), 103, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.Code, c.HitTest->GetHitTestCode());
    EXPECT_EQ(c.Clicks, c.HitTest->CanClickRecord());
  }
  EXPECT_EQ(104, TqvCustomGridHitTest::Make<TqvGridNavigatorHitTest>({})->GetHitTestCode());
}

TEST_F(GridDataController, ADragOverARecordOpensItAndMatchesOnlyTheSameRecord) {
  TTestTableView* view = AddTableView(1, 3);
  auto* record = static_cast<TTestTableRecord*>(view->Data()->GetRecord(1));
  record->Expandable = true;
  TqvGridDragOpenInfoExpand info(view, 1), same(view, 1), other(view, 2);
  EXPECT_TRUE(info.Matches(&same));
  EXPECT_FALSE(info.Matches(&other));
  info.Open();
  EXPECT_TRUE(record->Expanded);
}

}  // namespace
