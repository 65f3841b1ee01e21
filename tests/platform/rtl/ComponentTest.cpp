#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "RtlTestSupport.h"
#include "platform/rtl/Classes.h"

namespace {

using Log = std::vector<String>;

// A component that writes what happens to it into a shared log.
class TProbe : public TComponent {
  QJ_CLASS(TProbe, TComponent)
 public:
  TProbe(TComponent* AOwner) : TComponent(AOwner) {}
  static TProbe* Make(TComponent* owner, const String& name, Log* log) {
    auto* probe = New<TProbe>(owner);
    probe->SetName(name);
    probe->FLog = log;
    return probe;
  }
  ~TProbe() override {
    if (FLog) FLog->push_back("free " + GetName() + (HasState(csDestroying) ? " destroying" : ""));
  }

  TComponent* Ref = nullptr;  // a reference cleared through notification
  std::function<void(TComponent*, TOperation)> OnNotify;
  Log* FLog = nullptr;

  using TComponent::ValidateRename;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    if (FLog) {
      const char* op = Operation == opInsert ? "insert" : "remove";
      String kind = dynamic_cast<TProbe*>(AComponent) ? "" : "?";
      FLog->push_back(GetName() + " " + op + " " + AComponent->GetName() + kind);
    }
    if (Operation == opRemove && AComponent == Ref) Ref = nullptr;
    TComponent::Notification(AComponent, Operation);
    if (OnNotify) OnNotify(AComponent, Operation);
  }
  void Loaded() override {
    TComponent::Loaded();
    if (FLog) FLog->push_back("loaded " + GetName());
  }
};

QJ_IMPLEMENT_CLASS(TProbe)

class ComponentTest : public ::testing::Test {
 protected:
  Log log;
  TProbe* Probe(TComponent* owner, const String& name) { return TProbe::Make(owner, name, &log); }
};

// ---------------------------------------------------------------------------------------------
// Ownership and destruction

TEST_F(ComponentTest, OwnerKeepsComponentsInInsertionOrder) {
  TProbe* root = Probe(nullptr, "Root");
  TProbe* a = Probe(root, "A");
  TProbe* b = Probe(root, "B");
  TProbe* c = Probe(root, "C");
  ASSERT_EQ(root->GetComponentCount(), 3);
  EXPECT_EQ(root->GetComponent(0), a);
  EXPECT_EQ(root->GetComponent(2), c);
  EXPECT_EQ(b->Owner(), root);
  EXPECT_EQ(b->GetComponentIndex(), 1);
  EXPECT_EQ(root->GetComponentIndex(), -1);
  EXPECT_EQ(ErrorOf<EListError>([&] { root->GetComponent(3); }), "List index out of bounds (3)");
  c->SetComponentIndex(0);
  EXPECT_EQ(root->GetComponent(0), c);
  c->SetComponentIndex(99);  // clamped to the end
  EXPECT_EQ(root->GetComponent(2), c);
  Free(root);
}

TEST_F(ComponentTest, OwnerHearsOfInsertionOnceTheComponentIsWhole) {
  TProbe* root = Probe(nullptr, "Root");
  log.clear();
  New<TProbe>(root);
  // The name is empty; the "?" would show that the component was not yet a TProbe.
  EXPECT_EQ(log, (Log{"Root insert "}));
  Free(root);
}

TEST_F(ComponentTest, DestructionFreesOwnedComponentsLastFirstAfterMarkingThem) {
  TProbe* root = Probe(nullptr, "Root");
  TProbe* a = Probe(root, "A");
  Probe(a, "A1");
  Probe(root, "B");
  log.clear();
  Free(root);
  EXPECT_EQ(log, (Log{"free Root destroying", "free B destroying", "free A destroying",
                      "free A1 destroying"}));
}

TEST_F(ComponentTest, FreeingAComponentTellsItsOwnerAndSiblings) {
  TProbe* root = Probe(nullptr, "Root");
  TProbe* a = Probe(root, "A");
  TProbe* b = Probe(root, "B");
  a->Ref = b;
  log.clear();
  Free(b);
  EXPECT_EQ(a->Ref, nullptr);
  EXPECT_EQ(root->GetComponentCount(), 1);
  // The owner forwards the removal to every component it owns, last first.
  // B itself hears it as a bare TComponent: its own part is already gone.
  EXPECT_EQ(log, (Log{"free B destroying", "Root remove B?", "A remove B?"}));
  Free(root);
}

TEST_F(ComponentTest, FreeNotificationWorksInBothDirections) {
  TProbe* left = Probe(nullptr, "Left");
  TProbe* right = Probe(nullptr, "Right");
  TProbe* third = Probe(nullptr, "Third");
  left->Ref = right;
  right->Ref = left;
  left->FreeNotification(right);
  third->FreeNotification(right);
  EXPECT_TRUE(left->HasState(csFreeNotification));
  EXPECT_TRUE(right->HasState(csFreeNotification));

  log.clear();
  Free(right);
  EXPECT_EQ(left->Ref, nullptr);
  EXPECT_EQ(log, (Log{"free Right destroying", "Third remove Right?", "Left remove Right?"}));
  EXPECT_FALSE(left->HasState(csFreeNotification));

  // The other direction, and RemoveFreeNotification stops it.
  TProbe* fourth = Probe(nullptr, "Fourth");
  fourth->Ref = left;
  left->FreeNotification(fourth);
  third->FreeNotification(left);
  third->RemoveFreeNotification(left);
  log.clear();
  Free(left);
  EXPECT_EQ(fourth->Ref, nullptr);
  EXPECT_EQ(log, (Log{"free Left destroying", "Fourth remove Left?"}));
  Free(third);
  Free(fourth);
}

TEST_F(ComponentTest, SubscriberMayFreeItselfWhileBeingNotified) {
  TProbe* watched = Probe(nullptr, "Watched");
  TProbe* first = Probe(nullptr, "First");
  TProbe* second = Probe(nullptr, "Second");
  first->FreeNotification(watched);
  second->FreeNotification(watched);
  second->OnNotify = [second](TComponent*, TOperation) { Free(second); };
  TAliveToken secondAlive = second->AliveToken();
  Free(watched);
  EXPECT_FALSE(secondAlive);
  Free(first);
  EXPECT_EQ(log.back(), "free First destroying");
}

TEST_F(ComponentTest, InsertComponentMovesBetweenOwners) {
  TProbe* oldOwner = Probe(nullptr, "Old");
  TProbe* newOwner = Probe(nullptr, "New");
  TProbe* item = Probe(oldOwner, "Item");
  log.clear();
  newOwner->InsertComponent(item);
  EXPECT_EQ(item->Owner(), newOwner);
  EXPECT_EQ(oldOwner->GetComponentCount(), 0);
  EXPECT_EQ(log,
            (Log{"Old remove Item", "Item remove Item", "New insert Item", "Item insert Item"}));
  newOwner->RemoveComponent(oldOwner);  // not owned: nothing happens
  EXPECT_EQ(newOwner->GetComponentCount(), 1);
  newOwner->RemoveComponent(item);
  EXPECT_EQ(item->Owner(), nullptr);
  Free(item);
  Free(oldOwner);
  Free(newOwner);
}

TEST_F(ComponentTest, OwnershipCannotFormACycle) {
  TProbe* root = Probe(nullptr, "Root");
  TProbe* child = Probe(root, "Child");
  const char* message = "TProbe cannot own itself or one of its owners";
  EXPECT_EQ(ErrorOf<EComponentError>([&] { child->InsertComponent(root); }), message);
  EXPECT_EQ(ErrorOf<EComponentError>([&] { root->InsertComponent(root); }), message);
  EXPECT_EQ(child->Owner(), root);
  EXPECT_EQ(root->Owner(), nullptr);
  Free(root);
}

// ---------------------------------------------------------------------------------------------
// Names

TEST_F(ComponentTest, NamesMustBeIdentifiers) {
  TProbe* probe = Probe(nullptr, "Start");
  struct Case {
    const char* name;
    bool valid;
  };
  const Case cases[] = {{"Button1", true}, {"_x", true},       {"a_b_9", true},
                        {"", true},        {"1abc", false},    {"a b", false},
                        {"a.b", false},    {"caf\xe9", false}, {"-", false}};
  for (const Case& c : cases) {
    probe->SetName("Start");
    String error = ErrorOf<EComponentError>([&] { probe->SetName(c.name); });
    if (c.valid) {
      EXPECT_EQ(error, "no error") << c.name;
      EXPECT_EQ(probe->GetName(), c.name);
    } else {
      EXPECT_EQ(error, "'" + String(c.name) + "' is not a valid component name");
      EXPECT_EQ(probe->GetName(), "Start");
    }
  }
  Free(probe);
}

TEST_F(ComponentTest, NamesAreUniqueAmongAnOwnersComponents) {
  TProbe* root = Probe(nullptr, "Root");
  TProbe* first = Probe(root, "Button1");
  TProbe* second = Probe(root, "");
  Probe(root, "");  // any number of unnamed components
  EXPECT_EQ(ErrorOf<EComponentError>([&] { second->SetName("BUTTON1"); }),
            "A component named BUTTON1 already exists");
  EXPECT_EQ(second->GetName(), "");
  first->SetName("BUTTON1");  // its own name in another case is fine
  EXPECT_EQ(root->FindComponent("button1"), first);
  EXPECT_EQ(root->FindComponent(""), nullptr);
  EXPECT_EQ(root->FindComponent("Nope"), nullptr);

  // Moving a component into an owner that has its name is refused before anything changes.
  TProbe* other = Probe(nullptr, "Other");
  TProbe* clash = Probe(other, "button1");
  EXPECT_EQ(ErrorOf<EComponentError>([&] { root->InsertComponent(clash); }),
            "A component named button1 already exists");
  EXPECT_EQ(clash->Owner(), other);
  Free(root);
  Free(other);
}

// ---------------------------------------------------------------------------------------------
// State

TEST_F(ComponentTest, LoadingPhaseMarksAndThenLoadsEveryComponent) {
  TProbe* root = Probe(nullptr, "Root");
  TProbe* a = Probe(root, "A");
  Probe(a, "A1");
  TProbe* b = Probe(root, "B");
  root->BeginLoading();
  EXPECT_TRUE(b->HasState(csLoading));
  EXPECT_TRUE(a->GetComponent(0)->HasState(csReading));
  log.clear();
  root->EndLoading();
  EXPECT_EQ(log, (Log{"loaded Root", "loaded A", "loaded A1", "loaded B"}));
  EXPECT_EQ(b->GetComponentState(), 0u);
  Free(root);
}

TEST_F(ComponentTest, DesigningSpreadsToOwnedAndInsertedComponents) {
  TProbe* root = Probe(nullptr, "Root");
  TProbe* a = Probe(root, "A");
  root->SetDesigning(true);
  EXPECT_TRUE(a->HasState(csDesigning));
  TProbe* late = Probe(nullptr, "Late");
  root->InsertComponent(late);
  EXPECT_TRUE(late->HasState(csDesigning));
  EXPECT_TRUE(Probe(root, "Born")->HasState(csDesigning));
  root->SetDesigning(false, false);
  EXPECT_FALSE(root->HasState(csDesigning));
  EXPECT_TRUE(a->HasState(csDesigning));
  a->Updating();
  EXPECT_TRUE(a->HasState(csUpdating | csLoading));
  a->Updated();
  EXPECT_FALSE(a->HasState(csUpdating));
  Free(root);
}

TEST_F(ComponentTest, MiscellaneousMembers) {
  TProbe* root = Probe(nullptr, "Root");
  root->SetTag(-42);
  EXPECT_EQ(root->GetTag(), -42);
  EXPECT_EQ(root->GetNamePath(), "Root");
  EXPECT_EQ(root->GetOwner(), nullptr);
  EXPECT_FALSE(root->ExecuteAction(nullptr));
  EXPECT_FALSE(root->UpdateAction(nullptr));
  EXPECT_FALSE(root->HasParent());
  TAliveToken alive = root->AliveToken();
  EXPECT_TRUE(alive);
  Free(root);
  EXPECT_FALSE(alive);
}

TEST_F(ComponentTest, ClassReferenceCreatesTheFinalClassWithItsOwner) {
  TProbe* root = Probe(nullptr, "Root");
  log.clear();
  const TComponent::MetaType* cls = &TProbe::StaticClass();
  TComponent* made = cls->Create(root);
  EXPECT_EQ(made->ClassName(), "TProbe");
  EXPECT_EQ(made->Owner(), root);
  EXPECT_EQ(log, (Log{"Root insert "}));
  Free(root);
}

// ---------------------------------------------------------------------------------------------
// TPersistent

class TPoint3 : public TPersistent {
  QJ_INLINE_CLASS(TPoint3, TPersistent)
 public:
  int X = 0;
  void Assign(TPersistent* Source) override {
    if (auto* p = dynamic_cast<TPoint3*>(Source)) {
      X = p->X;
      return;
    }
    TPersistent::Assign(Source);
  }
};

// Knows how to copy itself into a TPoint3, which does not know it.
class TScalar : public TPersistent {
  QJ_INLINE_CLASS(TScalar, TPersistent)
 public:
  int Value = 0;
  TPersistent* Parent = nullptr;
  TPersistent* GetOwner() override { return Parent; }
  void AssignTo(TPersistent* Dest) override {
    if (auto* p = dynamic_cast<TPoint3*>(Dest)) {
      p->X = Value;
      return;
    }
    TPersistent::AssignTo(Dest);
  }
};

TEST(Persistent, AssignGoesBothWaysOrRaisesThePlatformError) {
  TPoint3 point;
  TPoint3 other;
  other.X = 5;
  point.Assign(&other);
  EXPECT_EQ(point.X, 5);
  TScalar scalar;
  scalar.Value = 7;
  point.Assign(&scalar);  // through TScalar::AssignTo
  EXPECT_EQ(point.X, 7);
  EXPECT_EQ(ErrorOf<EConvertError>([&] { scalar.Assign(&point); }),
            "Cannot assign a TPoint3 to a TScalar");
  EXPECT_EQ(ErrorOf<EConvertError>([&] { point.Assign(nullptr); }),
            "Cannot assign a nil to a TPoint3");
  EXPECT_EQ(point.X, 7);
}

TEST(Persistent, NamePathFollowsTheOwner) {
  TScalar scalar;
  EXPECT_EQ(scalar.GetNamePath(), "TScalar");
  TComponent* form = New<TComponent>(nullptr);
  form->SetName("Form1");
  scalar.Parent = form;
  EXPECT_EQ(scalar.GetNamePath(), "Form1.TScalar");
  Free(form);
}

// ---------------------------------------------------------------------------------------------
// Class registry

class TRegisteredBase : public TPersistent {
  QJ_INLINE_CLASS(TRegisteredBase, TPersistent)
};
class TRegisteredLeaf : public TRegisteredBase {
  QJ_INLINE_CLASS(TRegisteredLeaf, TRegisteredBase)
};
namespace impostor {
class TRegisteredLeaf : public TPersistent {
  QJ_INLINE_CLASS(TRegisteredLeaf, TPersistent)
};
}  // namespace impostor

TEST(ClassRegistry, RegistersClassesWithTheirAncestorsByName) {
  RegisterClass(&TRegisteredLeaf::StaticClass());
  RegisterClass(&TRegisteredLeaf::StaticClass());  // twice is harmless
  EXPECT_EQ(GetClass("tregisteredleaf"), &TRegisteredLeaf::StaticClass());
  EXPECT_EQ(GetClass("TRegisteredBase"), &TRegisteredBase::StaticClass());
  EXPECT_EQ(FindClass("TPersistent"), &TPersistent::StaticClass());
  EXPECT_EQ(GetClass("TObject"), nullptr);

  EXPECT_EQ(ErrorOf<EFilerError>([] { RegisterClass(&impostor::TRegisteredLeaf::StaticClass()); }),
            "A class named TRegisteredLeaf already exists");
  EXPECT_EQ(GetClass("TRegisteredLeaf"), &TRegisteredLeaf::StaticClass());

  UnRegisterClasses({&TRegisteredLeaf::StaticClass(), &TRegisteredBase::StaticClass()});
  EXPECT_EQ(GetClass("TRegisteredLeaf"), nullptr);
  EXPECT_EQ(ErrorOf<EClassNotFound>([] { FindClass("TRegisteredLeaf"); }),
            "Class TRegisteredLeaf not found");
  RegisterClasses({&impostor::TRegisteredLeaf::StaticClass()});
  EXPECT_EQ(GetClass("TRegisteredLeaf"), &impostor::TRegisteredLeaf::StaticClass());
  UnRegisterClass(&impostor::TRegisteredLeaf::StaticClass());
}

}  // namespace
