#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "RtlTestSupport.h"
#include "platform/rtl/Classes.h"
#include "support/EnumNames.h"

namespace {

using Log = std::vector<String>;

class TColumn : public TCollectionItem {
  QJ_INLINE_CLASS(TColumn, TCollectionItem)
 public:
  explicit TColumn(TCollection* Collection) : TCollectionItem(Collection) {}
  ~TColumn() override {
    if (FreedLog) FreedLog->push_back("free " + Caption);
  }
  void Assign(TPersistent* Source) override {
    if (auto* column = dynamic_cast<TColumn*>(Source)) {
      Caption = column->Caption;
      Changed(false);
      return;
    }
    TCollectionItem::Assign(Source);
  }
  void SetCaption(const String& Value) {
    Caption = Value;
    Changed(false);
  }
  String GetDisplayName() const override {
    return Caption.empty() ? TCollectionItem::GetDisplayName() : Caption;
  }

  String Caption;
  Log* FreedLog = nullptr;
};

class TWideColumn : public TColumn {
  QJ_INLINE_CLASS(TWideColumn, TColumn)
 public:
  using TColumn::TColumn;
};

// A collection that logs its Update and Notify calls.
class TColumns : public TOwnedCollection {
  QJ_INLINE_CLASS(TColumns, TOwnedCollection)
 public:
  explicit TColumns(TPersistent* AOwner = nullptr,
                    TCollectionItemClass ItemClass = &TColumn::StaticClass())
      : TOwnedCollection(AOwner, ItemClass) {}
  TColumn* Col(Integer Index) const { return static_cast<TColumn*>(GetItem(Index)); }
  TColumn* AddColumn(const String& caption) {
    auto* column = static_cast<TColumn*>(Add());
    column->Caption = caption;
    return column;
  }
  std::vector<String> Captions() const {
    std::vector<String> result;
    for (Integer i = 0; i < GetCount(); ++i) result.push_back(Col(i)->Caption);
    return result;
  }

  Log Events;

 protected:
  void Update(TCollectionItem* Item) override {
    Events.push_back("update " + (Item ? static_cast<TColumn*>(Item)->Caption : String("all")));
  }
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
    String kind = dynamic_cast<TColumn*>(Item) ? "" : "?";
    Events.push_back(NameOf(Action, {{cnAdded, "added"}, {cnExtracting, "extracting"}, {cnDeleting, "deleting"}}) + " " +
                     static_cast<TColumn*>(Item)->Caption + kind);
  }
};

class CollectionTest : public ::testing::Test {
 protected:
  TColumns columns;
  void Fill(std::initializer_list<const char*> captions) {
    for (const char* c : captions) columns.AddColumn(c);
    columns.Events.clear();
  }
};

TEST_F(CollectionTest, AddCreatesTheItemClassAndGivesIncreasingIDs) {
  TColumns wide(nullptr, &TWideColumn::StaticClass());
  TCollectionItem* item = wide.Add();
  EXPECT_EQ(item->ClassName(), "TWideColumn");
  EXPECT_EQ(item->GetCollection(), &wide);
  EXPECT_EQ(wide.GetItemClass(), &TWideColumn::StaticClass());

  Fill({"a", "b", "c"});
  EXPECT_EQ(columns.Col(2)->GetID(), 2);
  columns.Delete(0);
  EXPECT_EQ(columns.AddColumn("d")->GetID(), 3);  // IDs are never reused
  EXPECT_EQ(columns.FindItemID(1), columns.Col(0));
  EXPECT_EQ(columns.FindItemID(0), nullptr);
  EXPECT_EQ(columns.GetNextID(), 4);
}

TEST_F(CollectionTest, AddAnnouncesAWholeItemThenUpdates) {
  columns.Add();
  EXPECT_EQ(columns.Events, (Log{"added ", "update all"}));
}

TEST_F(CollectionTest, DeleteClearAndFreeTellNotify) {
  Fill({"a", "b", "c", "d"});
  columns.Delete(1);
  EXPECT_EQ(columns.Events, (Log{"deleting b", "extracting b", "update all"}));
  columns.Events.clear();
  Free(columns.GetItem(0));
  EXPECT_EQ(columns.Events, (Log{"extracting a", "update all"}));
  columns.Events.clear();
  columns.Clear();
  EXPECT_EQ(columns.Events, (Log{"extracting d", "extracting c", "update all"}));
  EXPECT_EQ(columns.GetCount(), 0);
}

TEST_F(CollectionTest, IndexMovesTheItemAndInsertPlacesIt) {
  Fill({"a", "b", "c"});
  columns.Col(0)->SetIndex(2);
  EXPECT_EQ(columns.Captions(), (std::vector<String>{"b", "c", "a"}));
  EXPECT_EQ(columns.Events, (Log{"update all"}));
  columns.Insert(1);
  EXPECT_EQ(columns.Captions(), (std::vector<String>{"b", "", "c", "a"}));
  EXPECT_EQ(columns.Col(1)->GetIndex(), 1);

  EXPECT_EQ(ErrorOf<EListError>([&] { columns.Col(0)->SetIndex(4); }),
            "List index out of bounds (4)");
  EXPECT_EQ(ErrorOf<EListError>([&] { columns.GetItem(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(ErrorOf<EListError>([&] { columns.Delete(9); }), "List index out of bounds (9)");
  EXPECT_EQ(columns.Captions(), (std::vector<String>{"b", "", "c", "a"}));
}

TEST_F(CollectionTest, UpdatesAreHeldWhileUpdating) {
  Fill({"a", "b"});
  columns.Col(0)->SetCaption("x");
  EXPECT_EQ(columns.Events, (Log{"update x"}));
  columns.Events.clear();
  columns.BeginUpdate();
  columns.BeginUpdate();
  columns.Col(1)->SetCaption("y");
  columns.AddColumn("c");
  columns.EndUpdate();
  EXPECT_EQ(columns.Events, (Log{"added "}));
  columns.EndUpdate();
  EXPECT_EQ(columns.Events, (Log{"added ", "update all"}));
  columns.EndUpdate();  // unmatched: ignored
  EXPECT_EQ(columns.GetUpdateCount(), 0);
}

TEST_F(CollectionTest, AssignCopiesItemsThroughTheirAssign) {
  Fill({"a", "b"});
  TColumns copy;
  copy.AddColumn("old");
  copy.Assign(&columns);
  EXPECT_EQ(copy.Captions(), (std::vector<String>{"a", "b"}));
  copy.SetItem(0, columns.Col(1));
  EXPECT_EQ(copy.Col(0)->Caption, "b");
  copy.Assign(&copy);
  EXPECT_EQ(copy.GetCount(), 2);

  TCollection plain(nullptr);
  plain.Add();
  EXPECT_EQ(ErrorOf<EConvertError>([&] { copy.Assign(&plain); }),
            "Cannot assign a TCollectionItem to a TColumn");
  TStringList strings;
  EXPECT_EQ(ErrorOf<EConvertError>([&] { copy.Assign(&strings); }),
            "Cannot assign a TStringList to a TColumns");
}

TEST_F(CollectionTest, ItemsMoveBetweenCollectionsOfTheirClass) {
  Fill({"a", "b"});
  TColumns other;
  other.AddColumn("z");
  TColumn* moving = columns.Col(0);
  moving->SetCollection(&other);
  EXPECT_EQ(other.Captions(), (std::vector<String>{"z", "a"}));
  EXPECT_EQ(moving->GetID(), 1);  // a new ID from the new collection
  EXPECT_EQ(columns.Events, (Log{"extracting a", "update all"}));

  TColumns wideOnly(nullptr, &TWideColumn::StaticClass());
  EXPECT_EQ(ErrorOf<EListError>([&] { moving->SetCollection(&wideOnly); }),
            "Invalid property value");
  EXPECT_EQ(moving->GetCollection(), &other);
  EXPECT_EQ(ErrorOf<EListError>([&] { New<TColumn>(&wideOnly); }), "Invalid property value");
  EXPECT_EQ(wideOnly.GetCount(), 0);

  moving->SetCollection(nullptr);
  EXPECT_EQ(moving->GetIndex(), -1);
  Free(moving);
}

class TAbstractItem : public TCollectionItem {
  QJ_INLINE_CLASS(TAbstractItem, TCollectionItem)
 public:
  using TCollectionItem::TCollectionItem;
  virtual void Paint() = 0;
};

TEST(Collection, AbstractItemClassCannotBeAdded) {
  TCollection collection(&TAbstractItem::StaticClass());
  EXPECT_EQ(ErrorOf<EInvalidOperation>([&] { collection.Add(); }),
            "Cannot create an item of abstract class TAbstractItem");
  EXPECT_EQ(collection.GetCount(), 0);
}

TEST(Collection, DestructionFreesEveryItemLastFirst) {
  Log freed;
  {
    TColumns columns;
    for (const char* c : {"a", "b", "c"}) columns.AddColumn(c)->FreedLog = &freed;
  }
  EXPECT_EQ(freed, (Log{"free c", "free b", "free a"}));
}

TEST(Collection, OwnersAndNamePaths) {
  TComponent* grid = New<TComponent>(nullptr);
  grid->SetName("Grid1");
  TColumns columns(grid);
  TColumn* column = columns.AddColumn("");
  columns.AddColumn("Width");
  EXPECT_EQ(columns.GetOwner(), grid);
  EXPECT_EQ(column->GetOwner(), &columns);
  EXPECT_EQ(columns.GetNamePath(), "TColumns");  // without a property name
  columns.SetPropName("Columns");
  EXPECT_EQ(columns.GetNamePath(), "Grid1.Columns");
  EXPECT_EQ(columns.Col(1)->GetNamePath(), "Grid1.Columns[1]");
  EXPECT_EQ(column->GetDisplayName(), "TColumn");
  EXPECT_EQ(columns.Col(1)->GetDisplayName(), "Width");
  TCollection plain(nullptr);
  EXPECT_EQ(plain.GetOwner(), nullptr);
  EXPECT_EQ(plain.GetNamePath(), "TCollection");
  Free(grid);
}

}  // namespace
