#include <gtest/gtest.h>

#include "core/qvData.h"
#include "core/qvFilter.h"
#include "platform/rtl/Streams.h"

namespace {

// A column as a grid hands it to the controller: an object with a persistent ID and a caption.
struct TTestColumn : public TObject {
  TTestColumn(Integer AID, String ACaption) : ID(AID), Caption(std::move(ACaption)) {}
  Integer ID;
  String Caption;
};

class TTestDataController : public TqvDataController {
  QJ_INLINE_CLASS(TTestDataController, TqvDataController)
 public:
  using TqvDataController::TqvDataController;

  Integer GetItemID(TObject* AItem) const override {
    auto* column = dynamic_cast<TTestColumn*>(AItem);
    return column ? column->ID : -1;
  }
  String GetItemDisplayName(Integer AItemIndex) const override {
    return static_cast<TTestColumn*>(GetItem(AItemIndex))->Caption;
  }
  String GetItemFilterFieldName(Integer AItemIndex) const override {
    return "F_" + GetItemDisplayName(AItemIndex);
  }
  Integer GetItemValueSource(Integer) const override { return ValueSource; }
  bool IsGridMode() const override { return GridMode; }
  void Refresh() override {
    ++Refreshes;
    inherited::Refresh();
  }

  Integer ValueSource = 1;
  bool GridMode = false;
  int Refreshes = 0;
};

class DataFilterTest : public ::testing::Test {
 protected:
  DataFilterTest() {
    owner = New<TComponent>(nullptr);
    controller = New<TTestDataController>(owner);
    controller->AddItem(&radio);
    controller->AddItem(&name);
    controller->ChangeValueTypeClass(0, TqvIntegerValueType::Class());
    controller->ChangeValueTypeClass(1, TqvStringValueType::Class());
    filter = New<TqvDataFilterCriteria>(controller);
    filter->OnChanged = [this](TObject*) { ++changes; };
  }
  ~DataFilterTest() override {
    Free(filter);
    Free(controller);
    Free(owner);
  }

  // Appends records with these values of the radio item (Null leaves it blank).
  void AddRadioValues(std::initializer_list<Variant> AValues) {
    for (const Variant& value : AValues) {
      Integer record = controller->AppendRecord();
      if (!VarIsNull(value)) controller->SetValue(record, 0, value);
    }
  }

  std::vector<String> ValueListTexts(Integer AItemIndex) {
    auto list = filter->CreateValueList();
    static_cast<TqvDataFilterValueList*>(list.get())->Load(AItemIndex);
    std::vector<String> texts;
    for (Integer i = 0; i < list->GetCount(); ++i) texts.push_back(list->GetItem(i).EntryText);
    return texts;
  }

  TTestColumn radio{7, "Radio"};
  TTestColumn name{9, "Name"};
  TComponent* owner;
  TTestDataController* controller;
  TqvDataFilterCriteria* filter;
  int changes = 0;
};

using TextList = std::vector<String>;

TEST_F(DataFilterTest, ConditionsOnColumnsUseTheControllersFields) {
  AddRadioValues({0, 1, 0});
  TqvFilterCriteriaItem* item = filter->AddItem(nullptr, &radio, okEqual, "0", "0");
  auto* dataItem = dynamic_cast<TqvDataFilterCriteriaItem*>(item);
  ASSERT_NE(dataItem, nullptr);
  EXPECT_EQ(dataItem->GetField(), controller->GetField(0));
  EXPECT_EQ(item->GetItemLink(), &radio);
  EXPECT_EQ(filter->FindItemByItemLink(&radio), item);
  EXPECT_EQ(filter->FindItemByItemLink(controller->GetField(0)), item);
  EXPECT_TRUE(filter->IsRecordMatching(0));
  EXPECT_FALSE(filter->IsRecordMatching(1));
  EXPECT_EQ(filter->GetFilterCaption(), "(Radio = 0)");
  EXPECT_EQ(filter->GetFilterText(), "(F_Radio = '0')");
}

TEST_F(DataFilterTest, AConditionWithoutFieldReadsBlank) {
  AddRadioValues({5});
  TTestColumn stranger{99, "Stranger"};
  TqvFilterCriteriaItem* item = filter->AddItem(nullptr, &stranger, okEqual, Null(), "");
  EXPECT_EQ(item->GetItemLink(), nullptr);
  EXPECT_EQ(item->GetFieldCaption(), "");
  EXPECT_TRUE(filter->IsRecordMatching(0));
}

TEST_F(DataFilterTest, ChangesRefreshTheControllerAndNotify) {
  filter->SetActive(true);  // an empty filter notifies but does not filter
  EXPECT_EQ(controller->Refreshes, 1);
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(filter->IsFiltering());
  filter->AddItem(nullptr, &radio, okEqual, 0, "0");
  EXPECT_EQ(controller->Refreshes, 2);
  EXPECT_TRUE(filter->IsFiltering());
  filter->SetActive(true);
  EXPECT_EQ(changes, 2);
  controller->GridMode = true;
  EXPECT_FALSE(filter->IsFiltering());
  controller->GridMode = false;
  filter->SetActive(false);
  EXPECT_FALSE(filter->IsFiltering());
  EXPECT_EQ(changes, 3);
}

TEST_F(DataFilterTest, StaysQuietWhileTheOwnerLoads) {
  owner->BeginLoading();
  filter->AddItem(nullptr, &radio, okEqual, 0, "0");
  filter->SetActive(true);
  EXPECT_EQ(controller->Refreshes, 0);
  EXPECT_EQ(changes, 0);
  owner->EndLoading();
  filter->SetActive(false);
  EXPECT_EQ(changes, 1);
}

TEST_F(DataFilterTest, DestructionDoesNotNotify) {
  filter->AddItem(nullptr, &radio, okEqual, 0, "0");
  filter->SetActive(true);
  changes = 0;
  Free(filter);
  filter = nullptr;
  EXPECT_EQ(changes, 0);
}

TEST_F(DataFilterTest, StreamsLinkItemsByTheControllersIDs) {
  filter->AddItem(nullptr, &name, okLike, "a%", "a%");
  TMemoryStream stream;
  filter->WriteData(&stream);
  const Byte* bytes = static_cast<const Byte*>(stream.Memory());
  // marker, root kind, count, list flag, operator kind, text length, "a%", then the ID 9
  EXPECT_EQ(bytes[9 + 1 + 1 + 4 + 2], 9);

  TqvDataFilterCriteria* copy = New<TqvDataFilterCriteria>(controller);
  stream.SetPosition(0);
  copy->ReadData(&stream);
  EXPECT_EQ(copy->FindItemByItemLink(&name), copy->GetRoot()->GetItem(0));
  EXPECT_EQ(copy->GetFilterText(), "(F_Name LIKE 'a%')");
  Free(copy);
}

TEST_F(DataFilterTest, AssignCopiesActiveAndTheValueListEvent) {
  filter->AddItem(nullptr, &radio, okEqual, 1, "1");
  filter->SetActive(true);
  int calls = 0;
  filter->OnGetValueList = [&](TqvFilterCriteria*, Integer, TqvDataFilterValueList*) { ++calls; };
  TqvDataFilterCriteria* copy = New<TqvDataFilterCriteria>(controller);
  copy->Assign(filter);
  EXPECT_TRUE(copy->GetActive());
  EXPECT_TRUE(copy->IsFiltering());
  EXPECT_EQ(copy->GetFilterText(), "(F_Radio = 1)");
  auto list = copy->CreateValueList();
  static_cast<TqvDataFilterValueList*>(list.get())->Load(0);
  EXPECT_EQ(calls, 1);
  Free(copy);
}

TEST_F(DataFilterTest, RemovingAColumnRemovesItsConditions) {
  filter->AddItem(nullptr, &radio, okEqual, 1, "1");
  filter->AddItem(nullptr, &name, okEqual, "x", "x");
  filter->RemoveItemByItemLink(&radio);
  EXPECT_EQ(filter->GetFilterText(), "(F_Name = 'x')");
}

// ---------------------------------------------------------------------------------------------
// Value lists

TEST_F(DataFilterTest, ValueListHoldsTheSpecialEntriesAndTheDistinctValues) {
  AddRadioValues({3, 1, 3, Null(), 2});
  EXPECT_EQ(ValueListTexts(0), (TextList{"(All)", "(Custom...)", "(Blanks)", "(NonBlanks)", "1", "2", "3"}));
}

TEST_F(DataFilterTest, ValueListWithoutBlankRecordsHasNoBlankEntries) {
  AddRadioValues({3, 1});
  EXPECT_EQ(ValueListTexts(0), (TextList{"(All)", "(Custom...)", "1", "3"}));
}

TEST_F(DataFilterTest, ValueListStopsAtMaxValueListCount) {
  filter->SetMaxValueListCount(4);
  AddRadioValues({3, 1, 3, 2, Null()});
  EXPECT_EQ(ValueListTexts(0), (TextList{"(All)", "(Custom...)", "(Blanks)", "(NonBlanks)", "1", "3"}));
}

TEST_F(DataFilterTest, ValueListSortsByDisplayTextUnlessTheItemGivesValues) {
  for (const char* text : {"b", "A", "c"}) controller->SetValue(controller->AppendRecord(), 1, text);
  filter->SetOptions(fcoCaseInsensitive);
  controller->ValueSource = 0;
  auto list = filter->CreateValueList();
  static_cast<TqvDataFilterValueList*>(list.get())->Load(1);
  EXPECT_TRUE(list->GetSortByDisplayText());
  EXPECT_EQ(list->GetItem(2).EntryText, "A");
  EXPECT_EQ(list->GetItem(3).EntryText, "b");
  controller->ValueSource = 1;
  static_cast<TqvDataFilterValueList*>(list.get())->Load(1);
  EXPECT_FALSE(list->GetSortByDisplayText());
}

TEST_F(DataFilterTest, ValueListInGridModeAssumesBlanksAndReadsNoValues) {
  AddRadioValues({3, 1});
  controller->GridMode = true;
  EXPECT_EQ(ValueListTexts(0), (TextList{"(All)", "(Custom...)", "(Blanks)", "(NonBlanks)"}));
}

TEST_F(DataFilterTest, ValueListEventRunsLastAndMayChangeEntries) {
  AddRadioValues({0, 1});
  filter->OnGetValueList = [&](TqvFilterCriteria* ASender, Integer AItemIndex, TqvDataFilterValueList* AList) {
    EXPECT_EQ(ASender, filter);
    EXPECT_EQ(AItemIndex, 0);
    AList->GetItem(AList->GetCount() - 2).EntryText = "TV";
    AList->GetItem(AList->GetCount() - 1).EntryText = "Radio";
    AList->Delete(AList->IndexOfKind(fvkCustom));
  };
  EXPECT_EQ(ValueListTexts(0), (TextList{"(All)", "TV", "Radio"}));
}

}  // namespace
