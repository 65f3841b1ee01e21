#include <gtest/gtest.h>

#include <functional>

#include "core/qvClasses.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/ClassesConsts.h"
#include "support/ResourceTexts.h"

namespace {

class TAnimal : public TObject {
  QJ_INLINE_CLASS(TAnimal, TObject)
};
class TDog : public TAnimal {
  QJ_INLINE_CLASS(TDog, TAnimal)
};
class TPuppy : public TDog {
  QJ_INLINE_CLASS(TPuppy, TDog)
};
class TCat : public TAnimal {
  QJ_INLINE_CLASS(TCat, TAnimal)
};
class TStone : public TObject {
  QJ_INLINE_CLASS(TStone, TObject)
};

// Editors stand for the registered values.
class TAnimalEditor : public TObject {
  QJ_INLINE_CLASS(TAnimalEditor, TObject)
};
class TDogEditor : public TObject {
  QJ_INLINE_CLASS(TDogEditor, TObject)
};

TClass C(const TMetaClass& m) { return &m; }

class TCounted : public TObject {
  QJ_INLINE_CLASS(TCounted, TObject)
 public:
  explicit TCounted(int& freed) : FFreed(freed) {}
  ~TCounted() override { ++FFreed; }

 private:
  int& FFreed;
};

}  // namespace

TEST(RegisteredClassList, DescendantRegisteredFirstKeepsAncestryOrder) {
  TqvRegisteredClassList list;
  list.Register(C(TDog::StaticClass()), C(TDogEditor::StaticClass()));
  list.Register(C(TAnimal::StaticClass()), C(TAnimalEditor::StaticClass()));
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.GetItem(0).ItemClass, C(TAnimal::StaticClass()));
  EXPECT_EQ(list.GetItem(1).ItemClass, C(TDog::StaticClass()));

  struct Case {
    TClass query;
    TClass expected;
  } cases[] = {
      {C(TPuppy::StaticClass()), C(TDogEditor::StaticClass())},
      {C(TDog::StaticClass()), C(TDogEditor::StaticClass())},
      {C(TCat::StaticClass()), C(TAnimalEditor::StaticClass())},
      {C(TStone::StaticClass()), nullptr},
  };
  for (const Case& c : cases) EXPECT_EQ(list.FindClass(c.query), c.expected) << c.query->Name;
}

TEST(RegisteredClassList, FindReportsLowestDescendantWhenNoAncestor) {
  TqvRegisteredClassList list;
  list.Register(C(TPuppy::StaticClass()), nullptr);
  list.Register(C(TCat::StaticClass()), nullptr);
  Integer index = 7;
  EXPECT_FALSE(list.Find(C(TAnimal::StaticClass()), index));
  EXPECT_EQ(index, 0);
  index = 7;
  EXPECT_FALSE(list.Find(C(TStone::StaticClass()), index));
  EXPECT_EQ(index, 7);
}

TEST(RegisteredClassList, SameClassTwoValuesUnregisterRemovesOnlyOne) {
  TqvRegisteredClassList list;
  list.Register(C(TDog::StaticClass()), C(TDogEditor::StaticClass()));
  list.Register(C(TDog::StaticClass()), C(TAnimalEditor::StaticClass()));
  EXPECT_EQ(list.GetCount(), 2);
  list.Unregister(C(TDog::StaticClass()), C(TDogEditor::StaticClass()));
  ASSERT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.GetItem(0).Value, C(TAnimalEditor::StaticClass()));
  EXPECT_THROW(list.GetItem(1), EListError);
  try {
    list.GetItem(-3);
    ADD_FAILURE() << "no error for index -3";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (-3)");
  }
}

TEST(RegisteredClasses, RegisterOnceFindByExactName) {
  TqvRegisteredClasses reg;
  reg.Register(C(TDog::StaticClass()), "Dog|A loyal animal");
  reg.Register(C(TDog::StaticClass()), "Other|Ignored");
  reg.Register(C(TCat::StaticClass()), "Cat|Independent");
  ASSERT_EQ(reg.GetCount(), 2);
  EXPECT_EQ(reg.GetDisplayText(0), "Dog|A loyal animal");
  EXPECT_EQ(reg.FindByClassName("TCat"), C(TCat::StaticClass()));
  EXPECT_EQ(reg.FindByClassName("tcat"), nullptr);
  EXPECT_EQ(reg.IndexOf(C(TStone::StaticClass())), -1);
  reg.Unregister(C(TStone::StaticClass()));
  reg.Unregister(C(TDog::StaticClass()));
  EXPECT_EQ(reg.GetItem(0), C(TCat::StaticClass()));
  EXPECT_THROW(reg.GetItem(1), EListError);
}

TEST(RegisteredClasses, ShortNameIsTheTrimmedTextBeforeTheBar) {
  TqvRegisteredClasses reg;
  reg.Register(C(TDog::StaticClass()), "Dog |A loyal animal");
  reg.Register(C(TCat::StaticClass()), " Cat");
  reg.Register(C(TStone::StaticClass()), "Stone|Sits|still");
  EXPECT_EQ(reg.GetShortName(0), "Dog");
  EXPECT_EQ(reg.GetShortName(1), "Cat");
  EXPECT_EQ(reg.GetShortName(2), "Stone");
  EXPECT_EQ(reg.FindByShortName("Dog"), C(TDog::StaticClass()));
  EXPECT_EQ(reg.FindByShortName("Cat"), C(TCat::StaticClass()));
  EXPECT_EQ(reg.FindByShortName("dog"), nullptr);
  EXPECT_THROW(reg.GetShortName(3), EListError);
}

TEST(ObjectList, OwnsAndFreesItems) {
  int freed = 0;
  {
    TqvObjectList list;
    EXPECT_EQ(list.Add(new TCounted(freed)), 0);
    EXPECT_EQ(list.Add(new TCounted(freed)), 1);
    list.Clear();
    EXPECT_EQ(freed, 2);
    list.Add(new TCounted(freed));
  }
  EXPECT_EQ(freed, 3);
}

TEST(ResourceStrings, OverridesWinAndFilterWordsFollowTheProc) {
  EXPECT_EQ(GetLocalizedResourceString(&sqvDataRecordIndexError), "RecordIndex out of range");
  auto overrides = std::make_unique<TqvResourceStringOverrides>();
  overrides->Add(&sqvFilterOperatorEqual, "gleich");
  overrides->Add(&sqvFilterOperatorEqual, "second");
  SetResourceStringOverrides(std::move(overrides));
  EXPECT_EQ(GetLocalizedResourceString(&sqvFilterOperatorEqual), "gleich");
  EXPECT_EQ(GetLocalizedResourceString(&sqvFilterOrCaption), "or");
  EXPECT_EQ(GetFilterResourceString(&sqvFilterOperatorEqual), "equals");
  FilterResourceStringProc = GetLocalizedResourceString;
  EXPECT_EQ(GetFilterResourceString(&sqvFilterOperatorEqual), "gleich");
  FilterResourceStringProc = nullptr;
  SetResourceStringOverrides(nullptr);
  EXPECT_EQ(GetLocalizedResourceString(&sqvFilterOperatorEqual), "equals");
}

// ---------------------------------------------------------------------------------------------
// Errors with resource texts

const TResourceString STestProgress{1, "100% done"};

struct TResourceErrorCase {
  const char* Name;
  std::function<void()> Raise;
  std::function<bool(const Exception&)> IsExpectedClass;
  TResourceTexts Overrides;
  const char* Message;
};

class ResourceErrors : public ::testing::TestWithParam<TResourceErrorCase> {};

TEST_P(ResourceErrors, CarryTheLocalizedTextInTheirClass) {
  const TResourceErrorCase& c = GetParam();
  TResourceTextScope texts(c.Overrides);
  try {
    c.Raise();
    FAIL() << "nothing raised";
  } catch (const Exception& e) {
    EXPECT_TRUE(c.IsExpectedClass(e)) << e.ClassName();
    EXPECT_EQ(e.Message(), c.Message);
  }
}

template <class E>
bool IsA(const Exception& e) {
  return e.InheritsFrom<E>();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResourceErrors,
    ::testing::Values(
        TResourceErrorCase{"DefaultText", [] { RaiseResourceError<EDivByZero>(&SDivByZero); }, IsA<EDivByZero>,
                           {}, "Division by zero"},
        TResourceErrorCase{"FormattedWithArguments",
                           [] { RaiseResourceError<EListError>(&SListIndexError, {7}); }, IsA<EListError>, {},
                           "List index out of bounds (7)"},
        TResourceErrorCase{"OverrideWins", [] { RaiseResourceError<EDivByZero>(&SDivByZero); }, IsA<EDivByZero>,
                           {{&SDivByZero, "Division durch null"}}, "Division durch null"},
        TResourceErrorCase{"OverrideIsFormatted",
                           [] { RaiseResourceError<EListError>(&SListIndexError, {3}); }, IsA<EListError>,
                           {{&SListIndexError, "Listenindex %d"}}, "Listenindex 3"},
        TResourceErrorCase{"WithoutArgumentsNothingIsFormatted", [] { RaiseResourceError(&STestProgress); },
                           IsA<Exception>, {}, "100% done"},
        TResourceErrorCase{"CeilDivByZero", [] { CeilDiv(1, 0); }, IsA<EDivByZero>,
                           {{&SDivByZero, "Division durch null"}}, "Division durch null"}),
    [](const ::testing::TestParamInfo<TResourceErrorCase>& info) { return std::string(info.param.Name); });

TEST(Arithmetic, CeilDivTruncatesThenRoundsUp) {
  struct Case {
    Integer a, b, expected;
  } cases[] = {{7, 2, 4}, {6, 2, 3}, {-3, 2, 0}, {0, 5, 0}, {1, 5, 1}};
  for (const Case& c : cases) EXPECT_EQ(CeilDiv(c.a, c.b), c.expected) << c.a << "/" << c.b;
  EXPECT_THROW(CeilDiv(1, 0), EDivByZero);
  EXPECT_EQ(MakeSize(3, 4), (TSize{3, 4}));
}

namespace {

class TLinking : public TqvComponent {
  QJ_INLINE_CLASS(TLinking, TqvComponent)
 public:
  using TqvComponent::TqvComponent;
  void GetFakeComponentLinks(std::vector<TComponent*>& AList) override {
    AList.insert(AList.end(), Links.begin(), Links.end());
  }
  std::vector<TComponent*> Links;
};

class TStreamable : public TPersistent {
  QJ_INLINE_CLASS(TStreamable, TPersistent)
};

}  // namespace

TEST(QvComponent, FakeLinksOnlyAtDesignTime) {
  TComponent form(nullptr);
  auto* c = new TLinking(&form);
  TComponent* others[4];
  for (TComponent*& o : others) o = new TComponent(&form);
  c->Links.assign(others, others + 4);
  c->UpdateFakeComponentLinks();  // not designing: nothing changes
  EXPECT_EQ(c->GetFakeComponentLink(1), nullptr);
  form.SetDesigning(true);
  c->UpdateFakeComponentLinks();
  EXPECT_EQ(c->GetFakeComponentLink(1), others[0]);
  EXPECT_EQ(c->GetFakeComponentLink(3), others[2]);
  c->Links.assign(others + 3, others + 4);
  c->UpdateFakeComponentLinks();
  EXPECT_EQ(c->GetFakeComponentLink(1), others[3]);
  EXPECT_EQ(c->GetFakeComponentLink(2), nullptr);
  EXPECT_EQ(c->GetFakeComponentLink(3), nullptr);
  Free(others[3]);  // a freed component leaves the links
  EXPECT_EQ(c->GetFakeComponentLink(1), nullptr);
  EXPECT_THROW(c->GetFakeComponentLink(4), EListError);
}

TEST(QvInterfacedPersistent, RemembersItsOwner) {
  TStreamable owner;
  TqvInterfacedPersistent p(&owner);
  EXPECT_EQ(p.GetOwner(), &owner);
}

TEST(RegisteredClasses, StreamRegistrationRegistersByName) {
  TqvRegisteredClasses reg(true);
  reg.Register(&TStreamable::StaticClass(), "Streamable|For stored forms");
  EXPECT_EQ(GetClass("TStreamable"), &TStreamable::StaticClass());
  UnRegisterClass(&TStreamable::StaticClass());
}
