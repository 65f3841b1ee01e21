// Table items: the editor properties their cells use, capabilities, widths and best fit,
// focus, options, the stored layout and copies.
#include <set>

#include "editors/qvCheckBox.h"
#include "editors/qvEditDataRegisteredRepositoryItems.h"
#include "editors/qvTextEdit.h"
#include "qvGridTableTestSupport.h"

namespace {

class GridTableItem : public TGridTableTest {};

TqvCustomEditProperties* RegisteredProperties(TqvValueTypeClass AType) {
  return GetDefaultEditDataRepositoryItems()->GetItem(AType)->GetProperties();
}

// -- Editor properties

TEST_F(GridTableItem, WithoutOwnPropertiesTheValueTypesRegisteredEditorIsUsed) {
  TTestTableView* view = AddTableView(1, 0);
  TqvCustomGridTableItem* item = view->GetItem(0);
  EXPECT_EQ(RegisteredProperties(TqvStringValueType::Class()), item->GetActualProperties());
  item->GetDataBinding()->SetValueTypeClass(TqvBooleanValueType::Class());
  EXPECT_EQ(RegisteredProperties(TqvBooleanValueType::Class()), item->GetActualProperties());
  // The properties handed out carry the binding's default values provider.
  EXPECT_EQ(item->GetDataBinding()->GetDefaultValuesProvider(), item->GetProperties()->GetDefaultValuesProvider());
}

TEST_F(GridTableItem, ARepositoryItemSwitchesAllCellsAndClearingItGoesBack) {
  TTestTableView* view = AddTableView(1, 0);
  TqvCustomGridTableItem* item = view->GetItem(0);
  auto* repository = New<TqvEditRepository>(FForm);
  TqvEditRepositoryItem* checkBox = repository->CreateItem(&TqvEditRepositoryCheckBoxItem::StaticClass());
  item->SetRepositoryItem(checkBox);
  EXPECT_EQ(checkBox->GetProperties(), item->GetActualProperties());
  EXPECT_EQ(1, checkBox->GetListenerCount());
  item->SetRepositoryItem(nullptr);
  EXPECT_EQ(0, checkBox->GetListenerCount());
  EXPECT_EQ(RegisteredProperties(TqvStringValueType::Class()), item->GetActualProperties());
  // A repository item that goes away leaves no reference behind.
  item->SetRepositoryItem(checkBox);
  Free(checkBox);
  EXPECT_EQ(nullptr, item->GetRepositoryItem());
  EXPECT_EQ(RegisteredProperties(TqvStringValueType::Class()), item->GetActualProperties());
}

TEST_F(GridTableItem, OwnPropertiesComeFromTheRegisteredClassName) {
  TTestTableView* view = AddTableView(1, 0);
  TqvCustomGridTableItem* item = view->GetItem(0);
  item->SetPropertiesClassName("TqvCheckBoxProperties");
  ASSERT_NE(nullptr, item->GetOwnProperties());
  EXPECT_EQ(item->GetOwnProperties(), item->GetActualProperties());
  EXPECT_EQ("TqvCheckBoxProperties", item->GetPropertiesClassName());
  // A repository item wins over own properties.
  auto* repository = New<TqvEditRepository>(FForm);
  TqvEditRepositoryItem* text = repository->CreateItem(&TqvEditRepositoryTextItem::StaticClass());
  item->SetRepositoryItem(text);
  EXPECT_EQ(text->GetProperties(), item->GetActualProperties());
  item->SetRepositoryItem(nullptr);
  // An unknown kind is refused and the item keeps its properties.
  TqvCustomEditProperties* own = item->GetOwnProperties();
  EXPECT_THROW(item->SetPropertiesClassName("TqvNoSuchProperties"), EPropertyConvertError);
  EXPECT_EQ(own, item->GetOwnProperties());
  item->SetPropertiesClassName("");
  EXPECT_EQ(nullptr, item->GetOwnProperties());
  EXPECT_EQ(RegisteredProperties(TqvStringValueType::Class()), item->GetActualProperties());
}

TEST_F(GridTableItem, OnGetPropertiesGivesPerRecordProperties) {
  TTestTableView* view = AddTableView(1, 3);
  TqvCustomGridTableItem* item = view->GetItem(0);
  TqvCustomEditProperties* checkBox = RegisteredProperties(TqvBooleanValueType::Class());
  item->SetOnGetProperties([&](TqvCustomGridTableItem*, TqvCustomGridRecord* ARecord, TqvCustomEditProperties*& AProperties) {
    if (ARecord && ARecord->GetIndex() == 1) AProperties = checkBox;
  });
  EXPECT_EQ(checkBox, item->GetPropertiesForRecord(view->Data()->GetRecord(1)));
  EXPECT_EQ(item->GetActualProperties(), item->GetPropertiesForRecord(view->Data()->GetRecord(2)));
}

// -- Capabilities

struct TCapabilityCase {
  const char* Name;
  std::function<void(TTestTableView*, TqvCustomGridTableItem*)> Setup;
  bool CanSort, CanGroup, CanFilter, CanIncSearch, CanMove, CanFocus;
};

class GridTableItemCapabilities : public GridTableItem, public ::testing::WithParamInterface<TCapabilityCase> {};

TEST_P(GridTableItemCapabilities, FollowTheEditorBitsAndTheOptions) {
  const TCapabilityCase& c = GetParam();
  TTestTableView* view = AddTableView(2, 0);
  view->GetOptionsBehavior()->SetIncSearch(true);
  TqvCustomGridTableItem* item = view->GetItem(0);
  c.Setup(view, item);
  EXPECT_EQ(c.CanSort, item->CanSort());
  EXPECT_EQ(c.CanGroup, item->CanGroup());
  EXPECT_EQ(c.CanFilter, item->CanFilter());
  EXPECT_EQ(c.CanIncSearch, item->CanIncSearch());
  EXPECT_EQ(c.CanMove, item->CanMove());
  EXPECT_EQ(c.CanFocus, item->CanFocus());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GridTableItemCapabilities,
    ::testing::Values(
        TCapabilityCase{"TextEditor", [](TTestTableView*, TqvCustomGridTableItem*) {}, true, true, true, true, true, true},
        // The check box neither searches nor sizes its height.
        TCapabilityCase{"CheckBox",
                        [](TTestTableView*, TqvCustomGridTableItem* AItem) {
                          AItem->SetPropertiesClassName("TqvCheckBoxProperties");
                        },
                        true, true, true, false, true, true},
        TCapabilityCase{"ItemOptionsOff",
                        [](TTestTableView*, TqvCustomGridTableItem* AItem) {
                          TqvCustomGridTableItemOptions* o = AItem->GetOptions();
                          o->SetSorting(false), o->SetGrouping(false), o->SetFiltering(false), o->SetIncSearch(false),
                              o->SetMoving(false), o->SetFocusing(false);
                        },
                        false, false, false, false, false, false},
        TCapabilityCase{"ViewCustomizingOff",
                        [](TTestTableView* AView, TqvCustomGridTableItem*) {
                          TqvCustomGridTableOptionsCustomize* o = AView->GetOptionsCustomize();
                          o->ItemSorting = o->ItemGrouping = o->ItemMoving = false;
                        },
                        false, false, true, true, false, true},
        TCapabilityCase{"NoCellSelect",
                        [](TTestTableView* AView, TqvCustomGridTableItem*) {
                          AView->GetOptionsSelection()->SetCellSelect(false);
                        },
                        true, true, true, true, true, false},
        TCapabilityCase{"Hidden", [](TTestTableView*, TqvCustomGridTableItem* AItem) { AItem->SetVisible(false); },
                        true, true, true, true, true, false}),
    [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST_F(GridTableItem, TheOnlyVisibleItemCannotBeHidden) {
  TTestTableView* view = AddTableView(2, 0);
  EXPECT_TRUE(view->GetItem(0)->CanHide());
  view->GetItem(1)->SetVisible(false);
  EXPECT_FALSE(view->GetItem(0)->CanHide());
}

struct TButtonsCase {
  TqvGridItemShowEditButtons Item;
  TqvGridShowEditButtons View;
  bool FocusedRecord, Shown;
};

TEST_F(GridTableItem, EditButtonsFollowTheItemThenTheView) {
  TTestTableView* view = AddTableView(1, 0);
  TqvCustomGridTableItem* item = view->GetItem(0);
  const TButtonsCase cases[] = {
      {isebAlways, gsebNever, false, true},           {isebNever, gsebAlways, true, false},
      {isebDefault, gsebAlways, false, true},         {isebDefault, gsebNever, true, false},
      {isebDefault, gsebForFocusedRecord, true, true}, {isebDefault, gsebForFocusedRecord, false, false}};
  for (const TButtonsCase& c : cases) {
    item->GetOptions()->SetShowEditButtons(c.Item);
    view->GetOptionsView()->SetShowEditButtons(c.View);
    EXPECT_EQ(c.Shown, item->ShowButtons(c.FocusedRecord)) << c.Item << c.View << c.FocusedRecord;
  }
}

// -- Widths

struct TWidthCase {
  const char* Name;
  bool Sizable;
  Integer MinWidth, Width;
  Integer ExpectedMinWidth, ExpectedWidth;
};

class FixedWidthItem : public TTestTableItem {
  QJ_INLINE_CLASS(FixedWidthItem, TTestTableItem)
 public:
  using TTestTableItem::TTestTableItem;
  bool CanHorzSize() override { return Sizable; }
  bool Sizable = true;
};

class GridTableItemWidths : public GridTableItem, public ::testing::WithParamInterface<TWidthCase> {};

TEST_P(GridTableItemWidths, AreRaisedToTheMinimumOfASizableItem) {
  const TWidthCase& c = GetParam();
  TTestTableView* view = AddTableView(0, 0);
  auto* item = New<FixedWidthItem>(FForm);
  item->Sizable = c.Sizable;
  view->AddItem(item);
  item->SetMinWidth(c.MinWidth);
  item->SetWidth(c.Width);
  EXPECT_EQ(c.ExpectedMinWidth, item->GetMinWidth());
  EXPECT_EQ(c.ExpectedWidth, item->GetWidth());
}

INSTANTIATE_TEST_SUITE_P(Widths, GridTableItemWidths,
                         ::testing::Values(TWidthCase{"BelowTheMinimum", true, 20, 5, 20, 20},
                                           TWidthCase{"AboveTheMinimum", true, 20, 75, 20, 75},
                                           TWidthCase{"NotSizable", false, 20, 5, 5, 5},
                                           TWidthCase{"NegativeMinimum", true, -3, 1, 0, 1},
                                           TWidthCase{"NegativeWidth", true, 0, -8, 0, 0}),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST_F(GridTableItem, ARaisedMinimumRaisesTheWidth) {
  TTestTableView* view = AddTableView(1, 0);
  TqvCustomGridTableItem* item = view->GetItem(0);
  EXPECT_EQ(64, item->GetWidth());
  EXPECT_FALSE(item->IsWidthAssigned());
  item->SetWidth(25);
  item->SetMinWidth(30);
  EXPECT_EQ(30, item->GetWidth());
}

TEST_F(GridTableItem, ForceWidthHoldsTheItemFixedOnlyWhileItRuns) {
  TTestTableView* view = AddTableView(1, 0);
  TqvCustomGridTableItem* item = view->GetItem(0);
  item->ForceWidth(90);
  EXPECT_EQ(90, item->GetWidth());
  EXPECT_FALSE(item->HasFixedWidth());
  EXPECT_EQ(nullptr, view->Controller()->GetForcingWidthItem());
}

TEST_F(GridTableItem, BestFitMeasuresTheRecordsFromTheTopUpToTheLimit) {
  TTestTableView* view = AddTableView(1, 100);
  SetViewHeight(view, 100);
  TqvCustomGridTableItem* item = view->GetItem(0);
  std::set<Integer> measured;
  item->OnGetDisplayText = [&](TqvCustomGridTableItem*, TqvCustomGridRecord* ARecord, String&) {
    if (ARecord) measured.insert(ARecord->GetIndex());
  };
  view->GetOptionsBehavior()->SetBestFitMaxRecordCount(10);
  view->Controller()->SetTopRecordIndex(50);
  ASSERT_EQ(50, view->Controller()->GetTopRecordIndex());
  const Integer narrow = item->GetBestFitWidth();
  std::set<Integer> expected;
  for (Integer i = 50; i < 60; ++i) expected.insert(i);
  EXPECT_EQ(expected, measured);
  // A longer text in the measured records makes the item wider; outside them it does not.
  view->GetDataController()->SetValue(95, 0, "a much longer text than the others");
  EXPECT_EQ(narrow, item->GetBestFitWidth());
  view->GetDataController()->SetValue(55, 0, "a much longer text than the others");
  EXPECT_GT(item->GetBestFitWidth(), narrow);
  item->ApplyBestFit();
  EXPECT_EQ(item->GetBestFitWidth(), item->GetWidth());
  view->GetOptionsBehavior()->SetBestFitMaxRecordCount(-4);
  EXPECT_EQ(0, view->GetOptionsBehavior()->GetBestFitMaxRecordCount());
}

// -- Caption, focus

TEST_F(GridTableItem, AnAssignedEmptyCaptionStaysEmptyAndIsMarkedForStoring) {
  TTestTableView* view = AddTableView(1, 0);
  auto* item = view->AddTestItem();
  EXPECT_EQ("", item->GetCaption());
  EXPECT_FALSE(item->IsCaptionStored());
  EXPECT_FALSE(item->IsCaptionAssignedStored());
  item->SetCaption("");
  EXPECT_TRUE(item->IsCaptionAssigned());
  EXPECT_TRUE(item->IsCaptionAssignedStored());
  item->SetCaption("Name");
  EXPECT_TRUE(item->IsCaptionStored());
  EXPECT_FALSE(item->IsCaptionAssignedStored());
  item->RestoreDefaults();
  EXPECT_FALSE(item->IsCaptionAssigned());
}

TEST_F(GridTableItem, SwitchingFocusingOffMovesTheFocusToTheNextItem) {
  TTestTableView* view = AddTableView(3, 2);
  TqvCustomGridTableItem* b = view->GetItem(1);
  b->SetFocused(true);
  ASSERT_TRUE(b->GetFocused());
  b->GetOptions()->SetFocusing(false);
  EXPECT_EQ(view->GetItem(2), view->Controller()->GetFocusedItem());
  view->GetItem(2)->SetVisible(false);
  EXPECT_EQ(view->GetItem(0), view->Controller()->GetFocusedItem());
  // The last focusable item gives the focus up to nobody.
  view->GetItem(0)->SetFocused(false);
  EXPECT_EQ(nullptr, view->Controller()->GetFocusedItem());
}

// -- Stored layout and copies

TEST_F(GridTableItem, TheStoredLayoutReadsAndWritesItsFiveProperties) {
  TTestTableView* view = AddTableView(3, 4);
  TqvCustomGridTableItem* item = view->GetItem(0);
  item->SetName("Col");
  TStringList names;
  EXPECT_TRUE(item->GetProperties(&names));
  EXPECT_EQ(5, names.GetCount());
  EXPECT_EQ("Col", item->GetObjectName());
  item->SetPropertyValue("Index", 2);
  EXPECT_EQ(2, item->GetIndex());
  item->SetPropertyValue("Caption", "Name");
  item->SetPropertyValue("SortOrder", Integer(soDescending));
  item->SetPropertyValue("Visible", false);
  Variant value;
  item->GetPropertyValue("SortOrder", value);
  EXPECT_EQ(Integer(soDescending), value.AsInteger());
  item->GetPropertyValue("Caption", value);
  EXPECT_EQ("Name", value.AsString());
  item->GetPropertyValue("Visible", value);
  EXPECT_FALSE(value.AsBoolean());
  item->GetPropertyValue("Width", value);
  EXPECT_TRUE(VarIsNull(value));
}

struct TBadValueCase {
  const char* Name;
  const char* Property;
  Variant Value;
};

class GridTableItemBadStoredValue : public GridTableItem, public ::testing::WithParamInterface<TBadValueCase> {};

TEST_P(GridTableItemBadStoredValue, RaisesAndLeavesTheItemAsItWas) {
  const TBadValueCase& c = GetParam();
  TTestTableView* view = AddTableView(2, 3);
  TqvCustomGridTableItem* item = view->GetItem(0);
  EXPECT_THROW(item->SetPropertyValue(c.Property, c.Value), EPropertyConvertError);
  EXPECT_EQ(0, item->GetIndex());
  EXPECT_TRUE(item->GetVisible());
  EXPECT_EQ(soNone, item->GetSortOrder());
}

INSTANTIATE_TEST_SUITE_P(Values, GridTableItemBadStoredValue,
                         ::testing::Values(TBadValueCase{"IndexText", "Index", Variant("first")},
                                           TBadValueCase{"VisibleText", "Visible", Variant("perhaps")},
                                           TBadValueCase{"SortOrderOutOfRange", "SortOrder", Variant(7)},
                                           TBadValueCase{"SortOrderText", "SortOrder", Variant("up")}),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST_F(GridTableItem, ACopyTakesTheSettingsAndEvents) {
  TTestTableView* view = AddTableView(2, 0);
  TqvCustomGridTableItem* source = view->GetItem(0);
  TqvCustomGridTableItem* copy = view->GetItem(1);
  source->SetCaption("");
  source->SetWidth(120);
  source->SetMinWidth(33);
  source->SetHeaderAlignmentHorz(taCenter);
  source->GetOptions()->SetSorting(false);
  source->SetPropertiesClassName("TqvCheckBoxProperties");
  source->OnGetDisplayText = [](TqvCustomGridTableItem*, TqvCustomGridRecord*, String& AText) { AText = "x"; };
  copy->Assign(source);
  EXPECT_TRUE(copy->IsCaptionAssigned());
  EXPECT_EQ("", copy->GetCaption());
  EXPECT_EQ(120, copy->GetWidth());
  EXPECT_EQ(33, copy->GetMinWidth());
  EXPECT_EQ(taCenter, copy->GetHeaderAlignmentHorz());
  EXPECT_FALSE(copy->GetOptions()->GetSorting());
  EXPECT_EQ("TqvCheckBoxProperties", copy->GetPropertiesClassName());
  EXPECT_NE(source->GetOwnProperties(), copy->GetOwnProperties());
  EXPECT_TRUE(static_cast<bool>(copy->OnGetDisplayText));
}

TEST_F(GridTableItem, AFreedItemLeavesItsView) {
  TTestTableView* view = AddTableView(3, 2);
  TqvCustomGridTableItem* middle = view->GetItem(1);
  middle->SetFocused(true);
  Free(middle);
  EXPECT_EQ(2, view->GetItemCount());
  EXPECT_EQ(2, view->GetDataController()->GetItemCount());
  EXPECT_EQ(1, view->GetItem(1)->GetIndex());
  EXPECT_EQ(1, view->GetItem(1)->GetVisibleIndex());
  EXPECT_NE(middle, view->Controller()->GetFocusedItem());
}

}  // namespace
