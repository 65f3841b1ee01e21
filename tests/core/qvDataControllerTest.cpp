#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/qvData.h"
#include "core/qvDataPipeline.h"
#include "core/qvDataSelection.h"
#include "core/qvDataSummary.h"
#include "core/qvFilter.h"
#include "support/CaseNames.h"
#include "tests/core/qvTestItem.h"

namespace {

using TLog = std::vector<std::string>;

// An unbound controller with three items (integer, string, no value type yet) and two records,
// and a listener that records every notification in order.
class DataControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Controller = New<TqvDataController>(nullptr);
    for (TTestItem& item : Items) Controller->AddItem(&item);
    Controller->ChangeValueTypeClass(0, TqvIntegerValueType::Class());
    Controller->ChangeValueTypeClass(1, TqvStringValueType::Class());
    Controller->SetRecordCount(2);
    Listen();
  }
  void TearDown() override { Free(Controller); }

  void Listen() {
    Controller->OnRecordChanged = [this](TqvCustomDataController*, Integer r, Integer i) {
      Log.push_back("record " + std::to_string(r) + " " + std::to_string(i));
    };
    Controller->OnDataChanged = [this](TObject*) { Log.push_back("data"); };
    Controller->OnUpdateControl = [this](TqvUpdateControlInfo* info) {
      if (auto* d = dynamic_cast<TqvDataChangedInfo*>(info))
        Log.push_back("view " + std::to_string(d->Change.Kind) + " " + std::to_string(d->Change.ItemIndex) + " " +
                      std::to_string(d->Change.RecordIndex));
      else
        Log.push_back("view layout");
    };
  }

  TqvDataController* Controller = nullptr;
  TTestItem Items[3];
  TLog Log;
};

void ListenerProc(void* AData, TqvCustomDataController*) { static_cast<TLog*>(AData)->push_back("listener"); }

struct TNotificationScenario {
  const char* Name;
  std::function<void(TqvCustomDataController*)> action;
  TLog expected;
  friend void PrintTo(const TNotificationScenario& c, std::ostream* os) { *os << c.Name; }
};

const TNotificationScenario kNotificationScenarios[] = {
    {"one cell", [](auto* c) { c->SetValue(1, 0, 5); }, {"view 0 0 1", "record 1 0", "data"}},
    {"two cells of one record",
     [](auto* c) {
       c->BeginUpdate();
       c->SetValue(0, 0, 1);
       c->SetValue(0, 1, "a");
       c->EndUpdate();
     },
     {"view 1 -1 0", "record 0 -1", "data"}},
    {"same cell twice",
     [](auto* c) {
       c->BeginUpdate();
       c->SetValue(0, 1, "a");
       c->SetValue(0, 1, "b");
       c->EndUpdate();
     },
     {"view 0 1 0", "record 0 1", "data"}},
    {"two records",
     [](auto* c) {
       c->BeginUpdate();
       c->SetValue(0, 0, 1);
       c->SetValue(1, 1, "b");
       c->EndUpdate();
     },
     {"view 4 1 1", "data"}},
    {"grow", [](auto* c) { c->SetRecordCount(5); }, {"view 2 -1 -1", "data"}},
    {"shrink", [](auto* c) { c->SetRecordCount(1); }, {"view 3 -1 -1", "data"}},
    {"same count", [](auto* c) { c->SetRecordCount(2); }, {}},
    {"negative count", [](auto* c) { c->SetRecordCount(-5); }, {"view 3 -1 -1", "data"}},
    {"insert", [](auto* c) { c->InsertRecord(0); }, {"view 2 -1 -1", "data"}},
    {"append", [](auto* c) { c->AppendRecord(); }, {"view 2 -1 -1", "data"}},
    {"delete", [](auto* c) { c->DeleteRecord(0); }, {"view 3 -1 -1", "data"}},
    {"item without value type", [](auto* c) { c->SetValue(0, 2, 5); }, {}},
    {"copy restores a record", [](auto* c) { c->CopyRecord(0, 1); }, {"view 1 -1 1", "record 1 -1", "data"}},
    {"nested bracket sends once",
     [](auto* c) {
       c->BeginUpdate();
       c->BeginUpdate();
       c->SetValue(0, 0, 1);
       c->EndUpdate();
       c->SetValue(0, 0, 2);
       c->EndUpdate();
     },
     {"view 0 0 0", "record 0 0", "data"}},
};

class NotificationScenarios : public DataControllerTest, public ::testing::WithParamInterface<TNotificationScenario> {};

TEST_P(NotificationScenarios, SendTheExpectedNotificationsOnce) {
  const TNotificationScenario& s = GetParam();
  s.action(Controller);
  EXPECT_EQ(Log, s.expected) << s.Name;
  EXPECT_EQ(Controller->GetPendingDataChange(), TqvDataChange()) << s.Name;
}

INSTANTIATE_TEST_SUITE_P(Cases, NotificationScenarios, ::testing::ValuesIn(kNotificationScenarios),
                         TCaseNameFromDescription());

TEST_F(DataControllerTest, ValuesConvertAndRead) {
  Controller->SetValue(0, 0, "42");
  Controller->SetValue(0, 1, 7);
  EXPECT_EQ(VarType(Controller->GetValue(0, 0)), varInteger);
  EXPECT_EQ(Controller->GetValue(0, 0).AsInteger(), 42);
  EXPECT_EQ(Controller->GetValue(0, 1).AsString(), "7");
  EXPECT_EQ(Controller->GetDisplayText(0, 0), "42");
  EXPECT_TRUE(VarIsNull(Controller->GetValue(1, 0)));
  EXPECT_TRUE(VarIsNull(Controller->GetValue(0, 2)));
  EXPECT_EQ(Controller->GetDisplayText(0, 2), "");
  EXPECT_EQ(Controller->GetItem(1), &Items[1]);
}

TEST_F(DataControllerTest, FailedConversionKeepsValueAndSendsNothing) {
  Controller->SetValue(0, 0, 9);
  Log.clear();
  EXPECT_THROW(Controller->SetValue(0, 0, "nine"), EVariantError);
  EXPECT_EQ(Controller->GetValue(0, 0).AsInteger(), 9);
  EXPECT_TRUE(Log.empty());
}

TEST_F(DataControllerTest, RangeErrors) {
  struct Case {
    const char* name;
    std::function<void()> action;
    const char* message;
  } cases[] = {
      {"record -1", [this] { Controller->GetValue(-1, 0); }, "RecordIndex out of range"},
      {"record 2", [this] { Controller->GetValue(2, 0); }, "RecordIndex out of range"},
      {"item 3", [this] { Controller->GetValue(0, 3); }, "ItemIndex out of range"},
      {"item -1 write", [this] { Controller->SetValue(0, -1, 1); }, "ItemIndex out of range"},
      {"insert past end", [this] { Controller->InsertRecord(3); }, "RecordIndex out of range"},
      {"insert -1", [this] { Controller->InsertRecord(-1); }, "RecordIndex out of range"},
      {"delete 2", [this] { Controller->DeleteRecord(2); }, "RecordIndex out of range"},
      {"duplicate item", [this] { Controller->AddItem(&Items[0]); }, "Item already exists"},
      {"value type of item 5", [this] { Controller->ChangeValueTypeClass(5, nullptr); }, "ItemIndex out of range"},
  };
  for (const Case& c : cases) {
    try {
      c.action();
      ADD_FAILURE() << c.name << " did not raise";
    } catch (const EqvInvalidDataControllerOperation& e) {
      EXPECT_EQ(e.Message(), c.message) << c.name;
    }
  }
  EXPECT_EQ(Controller->GetRecordCount(), 2);
  EXPECT_EQ(Controller->GetItemCount(), 3);
  EXPECT_TRUE(Log.empty());
}

TEST_F(DataControllerTest, InsertAtCountAppendsAndRecordsMove) {
  Controller->SetValue(0, 1, "first");
  Controller->SetValue(1, 1, "second");
  EXPECT_EQ(Controller->InsertRecord(2), 2);
  EXPECT_EQ(Controller->InsertRecord(0), 0);
  EXPECT_EQ(Controller->GetRecordCount(), 4);
  EXPECT_EQ(Controller->GetValue(1, 1).AsString(), "first");
  Controller->DeleteRecord(1);
  EXPECT_EQ(Controller->GetValue(1, 1).AsString(), "second");
  EXPECT_EQ(Controller->AppendRecord(), 3);
}

TEST_F(DataControllerTest, NewRecordBufferIsTheOnlyNegativeIndexAccepted) {
  EXPECT_THROW(Controller->GetValue(-1, 0), EqvInvalidDataControllerOperation);
  Integer buffer = Controller->GetNewRecordIndex();
  EXPECT_LT(buffer, 0);
  Controller->SetValue(buffer, 1, "draft");
  EXPECT_EQ(Controller->GetValue(buffer, 1).AsString(), "draft");
  EXPECT_THROW(Controller->GetValue(buffer - 1, 0), EqvInvalidDataControllerOperation);
  Log.clear();
  Controller->CopyRecord(buffer, 0);
  EXPECT_EQ(Controller->GetValue(0, 1).AsString(), "draft");
  EXPECT_EQ(Log, (TLog{"view 1 -1 0", "record 0 -1", "data"}));
}

TEST_F(DataControllerTest, AddingItemsKeepsValues) {
  Controller->SetValue(0, 0, 11);
  Controller->SetValue(1, 1, "kept");
  TTestItem extra;
  Controller->AddItem(&extra);
  Controller->ChangeValueTypeClass(3, TqvFloatValueType::Class());
  Controller->ChangeValueTypeClass(2, TqvVariantValueType::Class());
  EXPECT_EQ(Controller->GetValue(0, 0).AsInteger(), 11);
  EXPECT_EQ(Controller->GetValue(1, 1).AsString(), "kept");
  Controller->SetValue(0, 3, 1.5);
  Controller->ChangeValueTypeClass(1, TqvWideStringValueType::Class());  // re-creates item 1 only
  EXPECT_TRUE(VarIsNull(Controller->GetValue(1, 1)));
  EXPECT_EQ(Controller->GetValue(0, 3).AsDouble(), 1.5);
  EXPECT_EQ(Controller->GetItemValueTypeClass(1), TqvWideStringValueType::Class());
  Controller->RemoveItem(&extra);
  EXPECT_EQ(Controller->GetItemCount(), 3);
  EXPECT_EQ(Controller->GetValue(0, 0).AsInteger(), 11);
}

TEST_F(DataControllerTest, DisplayTextsStoredPerItem) {
  EXPECT_FALSE(Controller->GetItemTextStored(0));
  Controller->ChangeItemTextStored(0, true);
  EXPECT_TRUE(Controller->GetItemTextStored(0));
  Controller->SetValue(0, 0, 3);
  Controller->SetDisplayText(0, 0, "three");
  EXPECT_EQ(Controller->GetDisplayText(0, 0), "three");
  EXPECT_EQ(Controller->GetValue(0, 0).AsInteger(), 3);
  Controller->ChangeItemSortConversion(0, true);
  EXPECT_TRUE(Controller->GetItemSortConversion(0));
  Controller->ChangeItemSortConversion(0, false);
  EXPECT_FALSE(Controller->GetItemSortConversion(0));
}

TEST_F(DataControllerTest, ItemsWithoutObjectsAndIndexes) {
  Controller->AddItem(nullptr);
  Controller->AddItem(nullptr);
  EXPECT_EQ(Controller->GetItemCount(), 5);
  TqvCustomDataField* internal = Controller->CreateInternalField();
  TTestItem late;
  Controller->AddItem(&late);
  EXPECT_EQ(Controller->GetItemCount(), 6);
  EXPECT_EQ(Controller->GetFields()->GetItem(5)->GetItem(), &late);
  EXPECT_EQ(Controller->GetFields()->GetItem(6), internal);
}

TEST_F(DataControllerTest, UpdateItemIndexesFollowsTheOwnersOrder) {
  class TReordered : public TqvDataController {
   public:
    using TqvDataController::TqvDataController;
    TObject* GetItem(Integer AIndex) const override { return Order[AIndex]; }
    TObject* Order[2] = {};
  };
  TTestItem a, b;
  auto* c = New<TReordered>(nullptr);
  c->AddItem(&a);
  c->AddItem(&b);
  c->ChangeValueTypeClass(0, TqvIntegerValueType::Class());
  c->SetRecordCount(1);
  c->SetValue(0, 0, 1);
  c->Order[0] = &b;
  c->Order[1] = &a;
  c->UpdateItemIndexes();
  EXPECT_EQ(c->GetFields()->GetItem(0)->GetItem(), &b);
  EXPECT_EQ(c->GetValue(0, 1).AsInteger(), 1);
  Free(c);
}

TEST_F(DataControllerTest, ListenersCalledAfterEventsInOrder) {
  TLog listenerLog;
  Controller->AddDataChangedListener(ListenerProc, &Log);
  Controller->AddDataChangedListener(ListenerProc, &Log);
  Controller->SetValue(0, 0, 1);
  EXPECT_EQ(Log, (TLog{"view 0 0 0", "record 0 0", "data", "listener", "listener"}));
  Log.clear();
  Controller->RemoveDataChangedListener(ListenerProc, &Log);
  Controller->SetValue(0, 0, 2);
  EXPECT_EQ(Log, (TLog{"view 0 0 0", "record 0 0", "data", "listener"}));
  Controller->IncListenerLock();
  EXPECT_TRUE(Controller->IsListenerLocked());
  Controller->DecListenerLock();
  EXPECT_FALSE(Controller->IsListenerLocked());
}

TEST_F(DataControllerTest, EventsHeldBackWhileTheOwnerLoads) {
  TComponent owner(nullptr);
  auto* c = New<TqvDataController>(&owner);
  int dataEvents = 0;
  c->OnDataChanged = [&](TObject*) { ++dataEvents; };
  owner.BeginLoading();
  c->AddItem(nullptr);
  c->ChangeValueTypeClass(0, TqvIntegerValueType::Class());
  c->SetRecordCount(3);
  c->SetValue(0, 0, 1);
  EXPECT_EQ(dataEvents, 0);
  owner.EndLoading();
  c->OwnerLoaded();
  EXPECT_EQ(dataEvents, 1);
  c->OwnerLoaded();
  EXPECT_EQ(dataEvents, 1);
  Free(c);
}

TEST_F(DataControllerTest, OneViewRebuildPerBracket) {
  Integer before = Controller->GetViewRebuildCount();
  Controller->BeginUpdate();
  Controller->SetRecordCount(100);
  for (int r = 0; r < 100; ++r) Controller->SetValue(r, 0, r);
  EXPECT_EQ(Controller->GetViewRebuildCount(), before);
  Controller->EndUpdate();
  EXPECT_EQ(Controller->GetViewRebuildCount(), before + 1);
  EXPECT_EQ(Log, (TLog{"view 4 0 99", "data"}));
}

// Every event may free the controller: the alive token tells the code that raised it, and
// nothing of the controller is touched afterwards (the sanitizer build watches for that).
using TFreeing = std::function<void(TqvCustomDataController*, const std::function<void()>&)>;
struct THandlerFreeCase {
  const char* Name;
  TFreeing hook;  // installs a handler that runs the given free
  std::function<void(TqvCustomDataController*)> action;
  friend void PrintTo(const THandlerFreeCase& c, std::ostream* os) { *os << c.Name; }
};

const THandlerFreeCase kHandlerFreeingTheController[] = {
    {"OnRecordChanged",
     [](auto* c, const auto& kill) { c->OnRecordChanged = [kill](auto*, Integer, Integer) { kill(); }; },
     [](auto* c) { c->SetValue(0, 0, 1); }},
    {"OnDataChanged", [](auto* c, const auto& kill) { c->OnDataChanged = [kill](TObject*) { kill(); }; },
     [](auto* c) { c->SetValue(0, 0, 1); }},
    {"OnUpdateControl",
     [](auto* c, const auto& kill) { c->OnUpdateControl = [kill](TqvUpdateControlInfo*) { kill(); }; },
     [](auto* c) { c->SetRecordCount(5); }},
    {"OnSortingChanged", [](auto* c, const auto& kill) { c->OnSortingChanged = [kill](TObject*) { kill(); }; },
     [](auto* c) { c->ChangeSorting(0, soDescending); }},
    {"OnGroupingChanged", [](auto* c, const auto& kill) { c->OnGroupingChanged = [kill](TObject*) { kill(); }; },
     [](auto* c) { c->GetGroups()->ChangeGroupIndex(1, 0); }},
    {"OnUpdateControl of a filter refresh",
     [](auto* c, const auto& kill) { c->OnUpdateControl = [kill](TqvUpdateControlInfo*) { kill(); }; },
     [](auto* c) { c->GetFilter()->SetActive(true); }},
};

class HandlerFreeingTheController : public DataControllerTest, public ::testing::WithParamInterface<THandlerFreeCase> {};

TEST_P(HandlerFreeingTheController, LeavesItUntouchedAfterwards) {
  const THandlerFreeCase& test = GetParam();
  TLog extra;
  Controller->AddDataChangedListener(ListenerProc, &extra);
  TqvCustomDataController* c = Controller;
  size_t heardBeforeFree = 0;
  test.hook(c, [this, c, &extra, &heardBeforeFree] {
    heardBeforeFree = extra.size();
    Free(c);
    Controller = nullptr;
  });
  TAliveToken alive = c->AliveToken();
  test.action(c);
  EXPECT_FALSE(alive) << test.Name;
  EXPECT_EQ(extra.size(), heardBeforeFree) << test.Name << ": a listener heard a freed controller";
}

INSTANTIATE_TEST_SUITE_P(Cases, HandlerFreeingTheController, ::testing::ValuesIn(kHandlerFreeingTheController),
                         TCaseNameFromDescription());

TLog DestructionLog;

class TRecordingSummary : public TqvDataSummary {
  QJ_INLINE_CLASS(TRecordingSummary, TqvDataSummary)
 public:
  using TqvDataSummary::TqvDataSummary;
  void BeforeDestruction() override {
    DestructionLog.push_back("summary");
    inherited::BeforeDestruction();
  }
};

class TRecordingFilter : public TqvDataFilterCriteria {
  QJ_INLINE_CLASS(TRecordingFilter, TqvDataFilterCriteria)
 public:
  using TqvDataFilterCriteria::TqvDataFilterCriteria;
  void BeforeDestruction() override {
    DestructionLog.push_back("filter");
    inherited::BeforeDestruction();
  }
};

class TRecordingSelection : public TqvDataSelection {
  QJ_INLINE_CLASS(TRecordingSelection, TqvDataSelection)
 public:
  using TqvDataSelection::TqvDataSelection;
  void BeforeDestruction() override {
    DestructionLog.push_back("selection");
    inherited::BeforeDestruction();
  }
};

class TRecordingProvider : public TqvCustomDataProvider {
  QJ_INLINE_CLASS(TRecordingProvider, TqvCustomDataProvider)
 public:
  using TqvCustomDataProvider::TqvCustomDataProvider;
  void BeforeDestruction() override {
    DestructionLog.push_back("provider");
    inherited::BeforeDestruction();
  }
};

// A controller whose owned parts say when they are freed.
class TRecordingController : public TqvDataController {
  QJ_INLINE_CLASS(TRecordingController, TqvDataController)
 public:
  using TqvDataController::TqvDataController;
  TqvDataSummaryClass GetSummaryClass() const override { return &TRecordingSummary::StaticClass(); }
  TqvDataFilterCriteriaClass GetFilterCriteriaClass() const override { return &TRecordingFilter::StaticClass(); }
  TqvDataSelectionClass GetSelectionClass() const override { return &TRecordingSelection::StaticClass(); }
  TqvCustomDataProviderClass GetDataProviderClass() const override { return &TRecordingProvider::StaticClass(); }
};

// The parts come with the controller, of the classes its final class names; a const controller
// answers them.
TEST(DataControllerOwnership, PartsAreMadeWithTheControllerOfTheFinalClassesKinds) {
  auto* controller = New<TRecordingController>(nullptr);
  const TqvCustomDataController& c = *controller;
  ASSERT_NE(c.GetSummary(), nullptr);
  EXPECT_TRUE(c.GetSummary()->InheritsFrom<TRecordingSummary>());
  ASSERT_NE(c.GetFilter(), nullptr);
  EXPECT_TRUE(c.GetFilter()->InheritsFrom<TRecordingFilter>());
  ASSERT_NE(c.GetProvider(), nullptr);
  EXPECT_TRUE(c.GetProvider()->InheritsFrom<TRecordingProvider>());
  ASSERT_NE(c.GetDataControllerInfo(), nullptr);
  EXPECT_TRUE(c.GetDataControllerInfo()->GetSelection()->InheritsFrom<TRecordingSelection>());
  EXPECT_NE(c.GetGroups(), nullptr);
  EXPECT_NE(c.GetSearch(), nullptr);
  EXPECT_EQ(c.GetSummary(), controller->GetSummary());
  Free(controller);
}

TEST(DataControllerOwnership, OwnedPartsAreFreedTheObjectModelsWay) {
  DestructionLog.clear();
  auto* controller = New<TRecordingController>(nullptr);
  Free(controller);
  std::sort(DestructionLog.begin(), DestructionLog.end());
  EXPECT_EQ(DestructionLog, (TLog{"filter", "provider", "selection", "summary"}));
}

TEST_F(DataControllerTest, AssignCopiesEventsAndOptionsRebuild) {
  auto* other = New<TqvDataController>(nullptr);
  other->Assign(Controller);
  EXPECT_TRUE(static_cast<bool>(other->OnRecordChanged));
  EXPECT_TRUE(static_cast<bool>(other->OnDataChanged));
  Free(other);
  EXPECT_EQ(Controller->GetOptions(), 28u);
  Integer before = Controller->GetViewRebuildCount();
  Controller->SetOptions(Controller->GetOptions() | dcoCaseInsensitive);
  EXPECT_EQ(Controller->GetViewRebuildCount(), before + 1);
  // Rebuilt rows may differ in anything, so the view hears of a change of everything.
  EXPECT_EQ(Log, (TLog{"view 4 -1 -1", "data"}));
  EXPECT_TRUE(Controller->GetActive());
}

TEST_F(DataControllerTest, FieldsShareDefinitions) {
  TqvCustomDataFieldList* fields = Controller->GetFields();
  TqvCustomDataField* owner = fields->GetItem(0);
  TqvCustomDataField* a = Controller->CreateInternalField();
  TqvCustomDataField* b = Controller->CreateInternalField();
  Controller->SetValue(1, 0, 77);
  a->ShareDefinitionOf(owner);
  b->ShareDefinitionOf(a);  // follows the chain to its end
  EXPECT_EQ(b->GetReferenceField(), owner);
  EXPECT_EQ(a->GetEffectiveValueType(), TqvIntegerValueType::Class());
  a->ChangeValueType(TqvStringValueType::Class());  // ignored while sharing
  EXPECT_EQ(a->GetEffectiveValueType(), TqvIntegerValueType::Class());
  owner->ShareDefinitionOf(b);  // would close a cycle: refused
  EXPECT_EQ(owner->GetReferenceField(), nullptr);
  Controller->RemoveItem(&Items[0]);
  EXPECT_EQ(a->GetReferenceField(), nullptr);
  EXPECT_EQ(b->GetReferenceField(), a);
  EXPECT_EQ(Controller->GetStorage()->GetValue(1, a->GetStorageDef()).AsInteger(), 77);
  EXPECT_EQ(Controller->GetStorage()->GetValue(1, b->GetStorageDef()).AsInteger(), 77);
  EXPECT_EQ(Controller->GetItemCount(), 2);
  EXPECT_TRUE(b->IsReaderExcluded());
  EXPECT_TRUE(b->CanModify(false));
}

}  // namespace
