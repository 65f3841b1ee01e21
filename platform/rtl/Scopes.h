// Scopes: what a block sets up and must undo however it ends.
//
//   TUpdateScope      an object's Begin/End pair (BeginUpdate/EndUpdate unless named otherwise)
//   TLockSwitchScope  an object's Lock(bool) switched on for the block
//   TCancellableUpdateScope  BeginUpdate, then EndUpdate, or CancelUpdate when the block failed
//   TValueScope       a variable set for the block, its old value put back
//   TCounterScope     a lock or depth count raised for the block
//   TFinally          any action at the end of the block
//
// Every scope undoes at the end of its block, also when an exception leaves it. An undo that
// raises (an OnChange handler inside EndUpdate) behaves like the block's last statement: its
// error reaches the caller. Only while an exception of the block itself unwinds does the undo's
// error give way to the one in flight, since a destructor cannot raise a second one then.
//
// Code that calls out (events, notifications) may see the object die inside the block. An update
// bracket on an object with AliveToken() (every component) then leaves it alone at the end; a
// value or counter scope does so when given the owner's alive token.
//
// Scopes live on the stack: they neither copy nor move.
#pragma once

#include <exception>
#include <type_traits>
#include <utility>

#include "platform/rtl/System.h"

// The end of a block: whether an exception raised inside it is unwinding, and the rule for an
// undo that raises.
class TScopeEnd {
 public:
  TScopeEnd(const TScopeEnd&) = delete;
  TScopeEnd& operator=(const TScopeEnd&) = delete;

 protected:
  TScopeEnd() = default;
  ~TScopeEnd() = default;

  // Whether an exception raised after the scope began is unwinding through it. Counted, so that
  // a scope opened inside a destructor that runs during unwinding still raises its own errors.
  bool Unwinding() const { return std::uncaught_exceptions() > FExceptions; }

  // Runs AUndo; while the block's exception unwinds, AUndo's error is dropped for that one.
  template <class F>
  void Finish(F&& AUndo) {
    if (!Unwinding()) {
      AUndo();
      return;
    }
    try {
      AUndo();
    } catch (...) {
    }
  }

 private:
  int FExceptions = std::uncaught_exceptions();
};

// The alive token of the object a scope touches at its end; an unguarded scope always may.
class TScopeOwner {
 public:
  TScopeOwner() = default;
  explicit TScopeOwner(TAliveToken AOwnerAlive) : FOwnerAlive(std::move(AOwnerAlive)), FGuarded(true) {}
  bool Alive() const { return !FGuarded || FOwnerAlive.Alive(); }

 private:
  TAliveToken FOwnerAlive;
  bool FGuarded = false;
};

namespace ScopesDetail {

// Calls a Begin or End given as a member function of T or as a function taking a T*.
template <auto F, class T, class... A>
void Call(T* ATarget, A... AArgs) {
  if constexpr (std::is_member_function_pointer_v<decltype(F)>)
    (ATarget->*F)(AArgs...);
  else
    F(ATarget, AArgs...);
}

template <class T, auto Lock, bool AOn>
void SwitchLock(T* ATarget) {
  (ATarget->*Lock)(AOn);
}

template <class T>
void EndOrCancelUpdate(T* ATarget, bool ACompleted) {
  if (ACompleted)
    ATarget->EndUpdate();
  else
    ATarget->CancelUpdate();
}

}  // namespace ScopesDetail

// Holds an object in update mode (or any Begin/End pair) for a block. Begin and End are member
// functions of T, or functions taking a T*. An End that takes a bool learns whether the block
// completed: false while the block's exception unwinds (an EndUpdate that then skips Changed).
// A null target makes an empty scope, for a block that brackets only sometimes.
//
//   TUpdateScope update(Strings);                    // BeginUpdate ... EndUpdate
//   TUpdateScope<TDataSet, &TDataSet::DisableControls, &TDataSet::EnableControls> off(DataSet);
template <class T, auto Begin = &T::BeginUpdate, auto End = &T::EndUpdate>
class TUpdateScope : TScopeEnd {
 public:
  explicit TUpdateScope(T& ATarget) : TUpdateScope(&ATarget) {}
  explicit TUpdateScope(T* ATarget) : FTarget(ATarget) {
    if (!FTarget) return;
    if constexpr (requires(T* t) { t->AliveToken(); }) FOwner = TScopeOwner(FTarget->AliveToken());
    ScopesDetail::Call<Begin>(FTarget);
  }
  ~TUpdateScope() noexcept(false) {
    if (FTarget && FOwner.Alive()) Finish([this] { EndBlock(); });
  }

 private:
  void EndBlock() {
    if constexpr (std::is_invocable_v<decltype(End), T*, bool>)
      ScopesDetail::Call<End>(FTarget, !Unwinding());
    else
      ScopesDetail::Call<End>(FTarget);
  }

  T* FTarget;
  TScopeOwner FOwner;
};

// Lock(true) now, Lock(false) at the end of the block (unless the object died in it).
//
//   TLockSwitchScope<TqvCustomTextEdit, &TqvCustomTextEdit::LockClick> clickLock(this);
template <class T, auto Lock>
using TLockSwitchScope =
    TUpdateScope<T, &ScopesDetail::SwitchLock<T, Lock, true>, &ScopesDetail::SwitchLock<T, Lock, false>>;

// BeginUpdate now; at the end EndUpdate when the block completed, CancelUpdate (the count lowered,
// no change announced) while its exception unwinds.
//
//   TCancellableUpdateScope<TqvFilterCriteria> update(this);
template <class T>
using TCancellableUpdateScope = TUpdateScope<T, &T::BeginUpdate, &ScopesDetail::EndOrCancelUpdate<T>>;

// Sets a variable for a block and puts its old value back at the end. Given the alive token of
// the variable's owner, it puts nothing back once the owner is gone.
//
//   TValueScope painting(FPainting, true);
template <class T>
class TValueScope {
 public:
  TValueScope(T& AField, std::type_identity_t<T> AValue) : FField(AField), FOld(std::move(AField)) {
    FField = std::move(AValue);
  }
  TValueScope(T& AField, std::type_identity_t<T> AValue, TAliveToken AOwnerAlive)
      : FField(AField), FOld(std::move(AField)), FOwner(std::move(AOwnerAlive)) {
    FField = std::move(AValue);
  }
  ~TValueScope() {
    if (FOwner.Alive()) FField = std::move(FOld);
  }
  TValueScope(const TValueScope&) = delete;
  TValueScope& operator=(const TValueScope&) = delete;

 private:
  T& FField;
  T FOld;
  TScopeOwner FOwner;
};

// Raises a lock or depth count for a block and lowers it at the end. Given the alive token of the
// count's owner, it lowers nothing once the owner is gone.
//
//   TCounterScope locked(FLockCount);
template <class T>
class TCounterScope {
 public:
  explicit TCounterScope(T& ACount) : FCount(ACount) { ++FCount; }
  TCounterScope(T& ACount, TAliveToken AOwnerAlive) : FCount(ACount), FOwner(std::move(AOwnerAlive)) { ++FCount; }
  ~TCounterScope() {
    if (FOwner.Alive()) --FCount;
  }
  TCounterScope(const TCounterScope&) = delete;
  TCounterScope& operator=(const TCounterScope&) = delete;

 private:
  T& FCount;
  TScopeOwner FOwner;
};

// Runs an action at the end of the block. The action checks for itself whatever it touches that
// may have died in the block.
//
//   TFinally restore([&] { SelectObject(DC, old); });
template <class F>
class TFinally : TScopeEnd {
 public:
  explicit TFinally(F AAction) : FAction(std::move(AAction)) {}
  ~TFinally() noexcept(false) { Finish(FAction); }

 private:
  F FAction;
};
