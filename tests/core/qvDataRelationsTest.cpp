#include <gtest/gtest.h>

#include <vector>

#include "core/qvData.h"
#include "tests/core/qvTestItem.h"

namespace {

// A link object shows one master record's details: it owns the detail clone.
class TDetailView : public TObject {
  QJ_INLINE_CLASS(TDetailView, TObject)
 public:
  explicit TDetailView(TqvCustomDataController* AClone) : Clone(AClone) {}
  ~TDetailView() override { Free(Clone); }
  TqvCustomDataController* Clone;
};

// A master whose detail views are clones with two records each.
class TMasterController : public TqvDataController {
 public:
  using TqvDataController::TqvDataController;
  TObject* CreateDetailLinkObject(TqvCustomDataRelation* ARelation, Integer ARecordIndex) override {
    ++Created;
    if (Refuse) return nullptr;
    auto* clone = New<TqvDataController>(nullptr);
    clone->SetMasterRelation(ARelation, ARecordIndex);
    clone->AddItem(nullptr);
    clone->ChangeValueTypeClass(0, TqvIntegerValueType::Class());
    clone->SetRecordCount(ChildRecords);
    return new TDetailView(clone);
  }
  TqvCustomDataController* GetDetailDataController(TObject* ALinkObject) override {
    auto* view = dynamic_cast<TDetailView*>(ALinkObject);
    return view ? view->Clone : nullptr;
  }
  bool CanChangeDetailExpanding(Integer ARecordIndex, bool) override { return ARecordIndex != 3; }
  int Created = 0;
  bool Refuse = false;
  Integer ChildRecords = 2;
};

class DataRelationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Master = New<TMasterController>(nullptr);
    Master->AddItem(nullptr);
    Master->ChangeValueTypeClass(0, TqvIntegerValueType::Class());
    Master->SetRecordCount(4);
    Relation = Master->GetRelations()->Add(&Level);
    Pattern = New<TqvDataController>(nullptr);
    Pattern->AttachToRelation(Relation, true);
  }
  void TearDown() override {
    Free(Master);
    Free(Pattern);
  }
  TMasterController* Master = nullptr;
  TqvDataController* Pattern = nullptr;
  TqvCustomDataRelation* Relation = nullptr;
  TTestItem Level;
};

TEST_F(DataRelationsTest, PatternAndCloneModes) {
  EXPECT_EQ(Master->GetDetailMode(), 0);
  EXPECT_EQ(Pattern->GetDetailMode(), 1);
  EXPECT_TRUE(Pattern->IsPattern());
  EXPECT_EQ(Relation->GetDetailDataController(), Pattern);
  EXPECT_EQ(Pattern->GetMasterDataController(), Master);
  TqvCustomDataController* clone = Master->GetRecordDetailDataController(1, 0);
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(clone->GetDetailMode(), 2);
  EXPECT_EQ(clone->GetMasterRecordIndex(), 1);
  EXPECT_EQ(clone->GetPatternDataController(), Pattern);
  EXPECT_EQ(Master->GetPatternDataController(), Master);
  EXPECT_EQ(Master->GetItemCount(), 1);  // the detail objects live in an internal field
  EXPECT_EQ(Master->GetFields()->GetCount(), 2);
}

TEST_F(DataRelationsTest, LinkObjectsAreMadeOnceAndQueried) {
  EXPECT_FALSE(Master->HasDetailLinkObject(0, -1));
  TObject* link = Master->GetDetailLinkObject(0, 0);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(Master->GetDetailLinkObject(0, 0), link);
  EXPECT_EQ(Master->Created, 1);
  EXPECT_TRUE(Master->HasDetailLinkObject(0, -1));
  EXPECT_TRUE(Master->HasDetailLinkObject(0, 0));
  EXPECT_EQ(Master->GetDetailActiveRelationIndex(0), 0);
  Master->Refuse = true;
  EXPECT_EQ(Master->GetDetailLinkObject(2, 0), nullptr);
  EXPECT_EQ(Master->Created, 3);  // one second attempt
  EXPECT_THROW(Master->HasDetailLinkObject(9, 0), EqvInvalidDataControllerOperation);
}

TEST_F(DataRelationsTest, InsertingAndDeletingMastersShiftClones) {
  TqvCustomDataController* second = Master->GetRecordDetailDataController(2, 0);
  TqvCustomDataController* third = Master->GetRecordDetailDataController(3, 0);
  Master->InsertRecord(1);
  EXPECT_EQ(second->GetMasterRecordIndex(), 3);
  EXPECT_EQ(third->GetMasterRecordIndex(), 4);
  EXPECT_EQ(Master->GetRecordDetailDataController(3, 0), second);
  Master->DeleteRecord(0);
  EXPECT_EQ(second->GetMasterRecordIndex(), 2);
  EXPECT_EQ(third->GetMasterRecordIndex(), 3);
}

TEST_F(DataRelationsTest, ExpandingAndCollapsing) {
  EXPECT_FALSE(Master->GetDetailExpanded(0));
  EXPECT_TRUE(Master->ChangeDetailExpanding(0, true));
  EXPECT_FALSE(Master->ChangeDetailExpanding(0, true));
  EXPECT_TRUE(Master->GetDetailExpanded(0));
  EXPECT_FALSE(Master->ChangeDetailExpanding(3, true));  // refused by the view
  EXPECT_FALSE(Master->ChangeDetailExpanding(7, true));
  Master->GetDetailLinkObject(0, 0);
  Master->CollapseDetails();
  EXPECT_FALSE(Master->GetDetailExpanded(0));
  EXPECT_FALSE(Master->HasDetailLinkObject(0, 0));
}

TEST_F(DataRelationsTest, HasChildrenFromLinksOrSource) {
  EXPECT_FALSE(Master->GetDetailHasChildren(0, 0));  // no link, no active source
  Master->GetDetailLinkObject(1, 0);
  EXPECT_TRUE(Master->GetDetailHasChildren(1, 0));
  Master->ChildRecords = 0;
  Master->GetDetailLinkObject(2, 0);
  EXPECT_FALSE(Master->GetDetailHasChildren(2, 0));
}

TEST_F(DataRelationsTest, ForEachDetailVisitsEveryClone) {
  Master->GetDetailLinkObject(0, 0);
  Master->GetDetailLinkObject(2, 0);
  std::vector<Integer> masters;
  Master->ForEachDetail(Relation, [&](TqvCustomDataController* c) { masters.push_back(c->GetMasterRecordIndex()); });
  EXPECT_EQ(masters, (std::vector<Integer>{0, 2}));
  Master->ClearDetailLinkObjects();
  masters.clear();
  Master->ForEachDetail(Relation, [&](TqvCustomDataController* c) { masters.push_back(c->GetMasterRecordIndex()); });
  EXPECT_TRUE(masters.empty());
}

TEST_F(DataRelationsTest, DetachingThePatternEmptiesTheDetails) {
  Master->GetDetailLinkObject(0, 0);
  Pattern->AttachToRelation(nullptr, false);
  EXPECT_EQ(Pattern->GetDetailMode(), 0);
  EXPECT_EQ(Relation->GetDetailDataController(), nullptr);
  EXPECT_TRUE(Master->GetRelations()->IsEmpty());
  EXPECT_EQ(Master->GetDetailLinkObject(0, 0), nullptr);
  EXPECT_EQ(Master->GetDetailActiveRelationIndex(0), -1);
}

TEST_F(DataRelationsTest, APatternFreedFirstLeavesItsRelation) {
  Master->GetDetailLinkObject(0, 0);
  Free(Pattern);
  Pattern = nullptr;
  EXPECT_EQ(Relation->GetDetailDataController(), nullptr);
  EXPECT_EQ(Master->GetDetailLinkObject(1, 0), nullptr);  // no pattern: no details
}

TEST_F(DataRelationsTest, RemovingTheRelationDropsTheDataField) {
  TqvCustomDataController* clone = Master->GetRecordDetailDataController(0, 0);
  Free(Relation);
  EXPECT_EQ(Pattern->GetMasterRelation(), nullptr);
  EXPECT_EQ(Master->GetRelations()->GetCount(), 0);
  EXPECT_EQ(Master->GetRelations()->GetDataField(), nullptr);
  EXPECT_EQ(Master->GetFields()->GetCount(), 1);
  (void)clone;  // freed with the master's detail objects
}

}  // namespace
