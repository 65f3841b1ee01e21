// Persistent objects and components.
//
// TPersistent copies state through Assign/AssignTo. TComponent owns the components created with
// it as owner, frees them (last to first) when it dies, keeps them in insertion order, checks
// their names, and tells interested components when one of them goes away (Notification).
#pragma once

#include <functional>
#include <vector>

#include "platform/rtl/System.h"

class TFiler;
class TBasicAction;
class TComponent;

using TNotifyEvent = std::function<void(TObject* Sender)>;

class TPersistent : public TObject {
  QJ_CLASS(TPersistent, TObject)
 public:
  // Copies Source into this object; the base asks Source to do it (AssignTo) and raises
  // EConvertError "Cannot assign a <source class> to a <class>" when nobody knows how.
  virtual void Assign(TPersistent* Source);
  // The reverse direction of Assign; the base raises the assignment error.
  virtual void AssignTo(TPersistent* Dest);
  // The object that owns this one for naming purposes, if any.
  virtual TPersistent* GetOwner() { return nullptr; }
  // "Owner.Name"-style path used in messages and by designers.
  virtual String GetNamePath();
  // Extra stored data beyond the plain properties; nothing by default.
  virtual void DefineProperties(TFiler*) {}

 protected:
  [[noreturn]] void AssignError(TPersistent* Source);
};

// A persistent object that can be used through interfaces; nothing counts references to it, so
// its lifetime stays with its owner.
class TInterfacedPersistent : public TPersistent, public virtual IInterface {
  QJ_CLASS(TInterfacedPersistent, TPersistent)
};

enum TOperation { opInsert, opRemove };

// Horizontal alignment of a text in its box (controls, fields).
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// ComponentState flags (a bit mask).
enum TComponentStateFlag : Cardinal {
  csLoading = 1u << 0,
  csReading = 1u << 1,
  csWriting = 1u << 2,
  csDestroying = 1u << 3,
  csDesigning = 1u << 4,
  csAncestor = 1u << 5,
  csUpdating = 1u << 6,
  csFixups = 1u << 7,
  csFreeNotification = 1u << 8,
  csInline = 1u << 9,
  csDesignInstance = 1u << 10,
};
using TComponentState = Cardinal;

using TGetChildProc = std::function<void(TComponent* Child)>;

class TComponent : public TPersistent {
 public:
  using MetaType = TMetaClassFor<TComponent, TComponent*>;
  QJ_CLASS(TComponent, TPersistent)

 public:
  // Joins AOwner's components at once; the owner hears opInsert when construction completes.
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  void AfterConstruction() override;
  void BeforeDestruction() override;

  TComponent* GetOwner() override { return FOwner; }
  TComponent* Owner() const { return FOwner; }
  String GetNamePath() override { return FName; }

  const String& GetName() const { return FName; }
  // Raises EComponentError for a name that is not an identifier or that another component of
  // the same owner already has (compared without case); the empty name is always allowed.
  virtual void SetName(const String& NewName);
  NativeInt GetTag() const { return FTag; }
  void SetTag(NativeInt Value) { FTag = Value; }

  Integer GetComponentCount() const { return static_cast<Integer>(FComponents.size()); }
  // Raises EListError for a bad index.
  TComponent* GetComponent(Integer Index) const;
  Integer GetComponentIndex() const;
  // Moves this component within its owner's list (clamped to the list).
  void SetComponentIndex(Integer Value);
  // The owned component of that name (case-insensitive), or nullptr.
  TComponent* FindComponent(const String& AName) const;

  // Takes AComponent over from its current owner.
  void InsertComponent(TComponent* AComponent);
  // Releases AComponent (no-op unless this component owns it).
  void RemoveComponent(TComponent* AComponent);
  // Frees every owned component, last first.
  void DestroyComponents();
  // Marks this component and everything it owns as going away (csDestroying).
  void Destroying();

  // Asks to hear of AComponent's destruction; the link works in both directions.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  TComponentState GetComponentState() const { return FComponentState; }
  bool HasState(TComponentState Flags) const { return (FComponentState & Flags) != 0; }
  void SetDesigning(bool Value, bool SetChildren = true);
  void SetInline(bool Value);
  void SetDesignInstance(bool Value);
  // The loading phase of components built in code: BeginLoading sets csLoading and csReading
  // here and on every owned component (recursively); EndLoading clears csReading and calls
  // Loaded on each, this component first.
  void BeginLoading();
  void EndLoading();
  void Updating() { FComponentState |= csUpdating; }
  void Updated() { FComponentState &= ~static_cast<TComponentState>(csUpdating); }

  virtual bool ExecuteAction(TBasicAction*) { return false; }
  virtual bool UpdateAction(TBasicAction*) { return false; }
  virtual bool HasParent() { return false; }
  virtual TComponent* GetParentComponent() { return nullptr; }
  virtual void SetParentComponent(TComponent*) {}
  virtual void GetChildren(const TGetChildProc&, TComponent* /*Root*/) {}

  TAliveToken AliveToken() const { return FAlive.Token(); }

 protected:
  // Called once the properties are in place after loading; clears csLoading.
  virtual void Loaded();
  // Told when AComponent is inserted into or removed from this component's owner chain, or
  // when a component this one subscribed to goes away. The base forwards it to every owned
  // component and drops the free-notification link of a removed component.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  virtual void ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName);
  virtual void ValidateInsert(TComponent*) {}
  virtual void ValidateContainer(TComponent* AComponent);
  void SetComponentStateFlag(TComponentStateFlag Flag, bool Value);

 private:
  void Insert(TComponent* AComponent);
  void Remove(TComponent* AComponent);
  void RemoveNotification(TComponent* AComponent);
  void NotifyFreeNotifies();
  void CollectLoading(std::vector<TComponent*>& out);

  TComponent* FOwner = nullptr;
  String FName;
  NativeInt FTag = 0;
  TComponentState FComponentState = 0;
  bool FFreeNotified = false;  // subscribers told; no new links
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  TAliveFlag FAlive;
};
