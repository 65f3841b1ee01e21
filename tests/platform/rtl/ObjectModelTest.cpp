#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/System.h"

namespace {

class TShape : public TObject {
 public:
  using MetaType = TMetaClassFor<TShape, int>;
  QJ_INLINE_CLASS(TShape, TObject)
 public:
  explicit TShape(int size) : FSize(size) {}
  virtual int Area() const = 0;
  void AfterConstruction() override { FDescribed = Describe(); }
  virtual const char* Describe() const { return "shape"; }
  int FSize;
  const char* FDescribed = "";
};

class TSquare : public TShape {
  QJ_INLINE_CLASS(TSquare, TShape)
 public:
  using TShape::TShape;
  int Area() const override { return FSize * FSize; }
  const char* Describe() const override { return "square"; }
};

class TBigSquare : public TSquare {
  QJ_INLINE_CLASS(TBigSquare, TSquare)
 public:
  using TSquare::TSquare;
};

}  // namespace

TEST(ObjectModel, ClassNamesAndAncestry) {
  TBigSquare big(2);
  EXPECT_EQ(big.ClassName(), "TBigSquare");
  EXPECT_TRUE(big.InheritsFrom<TShape>());
  EXPECT_TRUE(big.InheritsFrom<TObject>());
  EXPECT_TRUE(big.IsExactly<TBigSquare>());
  EXPECT_FALSE(big.IsExactly<TSquare>());
  EXPECT_FALSE(TSquare::StaticClass().InheritsFrom(&TBigSquare::StaticClass()));
  EXPECT_EQ(TBigSquare::StaticClass().Parent, &TSquare::StaticClass());
}

TEST(ObjectModel, ClassReferenceConstructsTheFinalClassInTwoPhases) {
  const TShape::MetaType* cls = &TBigSquare::StaticClass();
  EXPECT_FALSE(TShape::StaticClass().CanCreate());  // abstract
  ASSERT_TRUE(cls->CanCreate());
  TOwned<TShape> shape(cls->Create(3));
  EXPECT_EQ(shape->ClassName(), "TBigSquare");
  EXPECT_EQ(shape->Area(), 9);
  EXPECT_STREQ(shape->FDescribed, "square");  // AfterConstruction dispatched to the final class
}

TEST(ObjectModel, AliveTokenReportsDestruction) {
  auto flag = std::make_unique<TAliveFlag>();
  TAliveToken token = flag->Token();
  EXPECT_TRUE(token.Alive());
  flag.reset();
  EXPECT_FALSE(token.Alive());
}

TEST(ObjectModel, OwnedPointerFreesTheObjectModelsWay) {
  class TWatched : public TObject {
   public:
    explicit TWatched(std::vector<const char*>* ALog) : FLog(ALog) {}
    ~TWatched() override { FLog->push_back("destructor"); }
    void BeforeDestruction() override { FLog->push_back("BeforeDestruction"); }

   private:
    std::vector<const char*>* FLog;
  };
  std::vector<const char*> log;
  {
    TOwned<TWatched> owned = MakeOwned<TWatched>(&log);
  }
  EXPECT_EQ(log, (std::vector<const char*>{"BeforeDestruction", "destructor"}));
}
