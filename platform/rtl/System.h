// Basic types and the object model shared by every library of the editor.
//
// Text is single-byte Windows-1252 held in std::string (one byte is one character); wide text is
// UTF-16 in std::u16string. Objects derive from TObject and carry a metaclass record, which gives
// class names, ancestry tests, registries by class and "virtual constructors" (factories).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

using Integer = int32_t;
using Cardinal = uint32_t;
using LongInt = int32_t;
using LongWord = uint32_t;
using SmallInt = int16_t;
using ShortInt = int8_t;
using Byte = uint8_t;
using Word = uint16_t;
using Int64 = int64_t;
using UInt64 = uint64_t;
using NativeInt = intptr_t;
using Extended = double;
using AnsiChar = char;
using WideChar = char16_t;

using String = std::string;       // Windows-1252, one byte per character
using AnsiString = std::string;
using WideString = std::u16string;

// Days since 1899-12-30; the fraction is the time of day.
using TDateTime = double;

struct TPoint {
  Integer X = 0;
  Integer Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  Integer cx = 0;
  Integer cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

// Right and Bottom are exclusive, as on the original platform.
struct TRect {
  Integer Left = 0;
  Integer Top = 0;
  Integer Right = 0;
  Integer Bottom = 0;
  Integer Width() const { return Right - Left; }
  Integer Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  // The right and bottom edges are outside, as everywhere.
  bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  TPoint TopLeft() const { return {Left, Top}; }
  TPoint BottomRight() const { return {Right, Bottom}; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TPoint Point(Integer x, Integer y) { return {x, y}; }
inline TRect Rect(Integer l, Integer t, Integer r, Integer b) { return {l, t, r, b}; }
inline TRect Bounds(Integer l, Integer t, Integer w, Integer h) { return {l, t, l + w, t + h}; }

// ---------------------------------------------------------------------------------------------
// Object model

class TObject;

// The metaclass record of a class: its name, its parent's record and, for families that create
// objects through class references, a factory (see TMetaClassFor).
struct TMetaClass {
  const char* Name = "";
  const TMetaClass* Parent = nullptr;

  String ClassName() const { return Name; }
  bool InheritsFrom(const TMetaClass* AClass) const {
    for (const TMetaClass* c = this; c; c = c->Parent)
      if (c == AClass) return true;
    return false;
  }
};

using TClass = const TMetaClass*;

// A metaclass that can construct instances of its family with the family's constructor
// arguments. The factory is empty for abstract classes. Create runs the two-phase construction:
// the C++ constructor, then AfterConstruction (which may dispatch virtually to the final class).
template <class Base, class... Args>
struct TMetaClassFor : TMetaClass {
  Base* (*Factory)(Args...) = nullptr;

  bool CanCreate() const { return Factory != nullptr; }
  Base* Create(Args... args) const;

  template <class Cls>
  static TMetaClassFor Make(const char* name, const TMetaClass* parent) {
    TMetaClassFor m;
    m.Name = name;
    m.Parent = parent;
    if constexpr (!std::is_abstract_v<Cls> && std::is_constructible_v<Cls, Args...>)
      m.Factory = [](Args... args) -> Base* { return new Cls(args...); };
    return m;
  }
};

// Declares the metaclass of a class. Put it first in the class body:
//   class TFoo : public TBar { QJ_CLASS(TFoo, TBar) ... };
// and QJ_IMPLEMENT_CLASS(TFoo) in one .cpp file. A family that creates objects through class
// references declares `using MetaType = TMetaClassFor<TFamilyBase, ctor args...>;` in its base.
#define QJ_CLASS(Cls, ParentCls)                                   \
 public:                                                           \
  using inherited = ParentCls;                                     \
  static const MetaType& StaticClass();                            \
  TClass ClassType() const override { return &Cls::StaticClass(); } \
                                                                   \
 private:

#define QJ_IMPLEMENT_CLASS(Cls)                                                       \
  const Cls::MetaType& Cls::StaticClass() {                                           \
    static const Cls::MetaType meta =                                                 \
        Cls::MetaType::template Make<Cls>(#Cls, &Cls::inherited::StaticClass());      \
    return meta;                                                                      \
  }

// Declares the metaclass of a class template instance or a class defined in a header only.
#define QJ_INLINE_CLASS(Cls, ParentCls)                                                \
 public:                                                                               \
  using inherited = ParentCls;                                                         \
  static const MetaType& StaticClass() {                                               \
    static const MetaType meta = MetaType::template Make<Cls>(#Cls, &ParentCls::StaticClass()); \
    return meta;                                                                       \
  }                                                                                    \
  TClass ClassType() const override { return &Cls::StaticClass(); }                    \
                                                                                       \
 private:

class TObject {
 public:
  using MetaType = TMetaClassFor<TObject>;

  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  static const MetaType& StaticClass();
  virtual TClass ClassType() const { return &StaticClass(); }

  String ClassName() const { return ClassType()->Name; }
  bool InheritsFrom(TClass AClass) const { return ClassType()->InheritsFrom(AClass); }
  template <class T>
  bool InheritsFrom() const { return InheritsFrom(&T::StaticClass()); }
  // True when the object's class is exactly T (not a descendant).
  template <class T>
  bool IsExactly() const { return ClassType() == &T::StaticClass(); }

  // Second construction phase: runs after the constructor of the most derived class.
  virtual void AfterConstruction() {}
  // Runs before the destructor chain starts (see Free).
  virtual void BeforeDestruction() {}
};

// Base of the abstract classes that play the part of interfaces. Implementations inherit it
// virtually (`class IFoo : public virtual IInterface`) so every object has one IInterface and
// pointers to it compare by identity. "Supports" is dynamic_cast; there is no reference count.
class IInterface {
 public:
  virtual ~IInterface() = default;
};

template <class Base, class... Args>
Base* TMetaClassFor<Base, Args...>::Create(Args... args) const {
  Base* obj = Factory(args...);
  try {
    obj->AfterConstruction();
  } catch (...) {
    delete obj;  // a failed construction leaves nothing behind
    throw;
  }
  return obj;
}

// Two-phase construction of a concrete class: constructor, then AfterConstruction.
template <class T, class... A>
T* New(A&&... args) {
  T* obj = new T(std::forward<A>(args)...);
  try {
    obj->AfterConstruction();
  } catch (...) {
    delete obj;
    throw;
  }
  return obj;
}

// Destroys an object the way the original platform's Free does: nil is ignored,
// BeforeDestruction runs while the object is still whole.
inline void Free(TObject* obj) {
  if (!obj) return;
  obj->BeforeDestruction();
  delete obj;
}

// Frees the object and clears the reference.
template <class T>
void FreeAndNil(T*& obj) {
  T* tmp = obj;
  obj = nullptr;
  Free(tmp);
}

// Frees through Free, so that BeforeDestruction runs; the deleter of TOwned.
struct TFreeObject {
  void operator()(TObject* obj) const { Free(obj); }
};

// The one owning pointer for an object of the object model that no component owns. A plain
// std::unique_ptr would skip BeforeDestruction; it is for plain C++ helpers only.
template <class T>
using TOwned = std::unique_ptr<T, TFreeObject>;

// Two-phase construction into an owning pointer.
template <class T, class... A>
TOwned<T> MakeOwned(A&&... args) {
  return TOwned<T>(New<T>(std::forward<A>(args)...));
}

// A checked down-cast: nullptr when obj is not a T.
template <class T>
T* As(TObject* obj) { return dynamic_cast<T*>(obj); }
template <class T>
const T* As(const TObject* obj) { return dynamic_cast<const T*>(obj); }

// Destroy guard: an object owns a TAliveFlag; code that calls out (events, notifications)
// takes a TAliveToken first and checks it afterwards before touching the object again.
class TAliveToken {
 public:
  TAliveToken() = default;
  explicit TAliveToken(std::weak_ptr<int> w) : FFlag(std::move(w)) {}
  bool Alive() const { return !FFlag.expired(); }
  explicit operator bool() const { return Alive(); }

 private:
  std::weak_ptr<int> FFlag;
};

class TAliveFlag {
 public:
  TAliveToken Token() const { return TAliveToken(FFlag); }

 private:
  std::shared_ptr<int> FFlag = std::make_shared<int>(0);
};
