// Lowest layer of the component library: owner-aware persistent and component bases, an owning
// object list, two class registries, the resource-string getter with its override list, the
// string tables of the data layer and two small arithmetic helpers.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/rtl/Component.h"
#include "platform/rtl/SysUtils.h"

// ---------------------------------------------------------------------------------------------
// Persistent and component bases

// A persistent object that knows the persistent object owning it (for names and streaming).
class TqvInterfacedPersistent : public TInterfacedPersistent {
 public:
  using MetaType = TMetaClassFor<TqvInterfacedPersistent, TPersistent*>;
  QJ_CLASS(TqvInterfacedPersistent, TInterfacedPersistent)

 public:
  explicit TqvInterfacedPersistent(TPersistent* AOwner) : FOwner(AOwner) {}
  TPersistent* GetOwner() override { return FOwner; }

 private:
  TPersistent* FOwner;
};

// A component that names, at design time, the components it refers to, so that a designer
// keeps them loaded together with it.
class TqvComponent : public TComponent {
  QJ_CLASS(TqvComponent, TComponent)
 public:
  static constexpr Integer FakeComponentLinkCount = 3;
  using TComponent::TComponent;

  void BeforeDestruction() override;
  // Adds the components this one refers to; the base adds nothing.
  virtual void GetFakeComponentLinks(std::vector<TComponent*>& AList);
  void UpdateFakeComponentLinks();
  TComponent* GetFakeComponentLink(Integer AIndex) const;  // 1..3

 protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void SetFakeComponentLink(Integer AIndex, TComponent* AValue);
  TComponent* FFakeComponentLinks[FakeComponentLinkCount] = {};
};

// ---------------------------------------------------------------------------------------------
// Owning object list

class TqvObjectList {
 public:
  TqvObjectList() = default;
  TqvObjectList(const TqvObjectList&) = delete;
  TqvObjectList& operator=(const TqvObjectList&) = delete;
  virtual ~TqvObjectList();

  // Takes ownership of AObject; returns its index.
  virtual Integer Add(TObject* AObject);
  // Frees every object and empties the list.
  virtual void Clear();

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TObject* GetItem(Integer AIndex) const;

 private:
  std::vector<TObject*> FItems;
};

// ---------------------------------------------------------------------------------------------
// Class registries

// One (class, value) pair of a TqvRegisteredClassList; the value is a class chosen by the
// registrant (for example the value editor of a properties class).
struct TqvRegisteredClassListItem {
  TClass ItemClass = nullptr;
  TClass Value = nullptr;
};

// Entries ordered by ancestry: every class sits behind its registered ancestors, so a search
// from the end meets the most derived registered ancestor first.
class TqvRegisteredClassList {
 public:
  TqvRegisteredClassList() = default;
  TqvRegisteredClassList(const TqvRegisteredClassList&) = delete;
  TqvRegisteredClassList& operator=(const TqvRegisteredClassList&) = delete;
  virtual ~TqvRegisteredClassList() = default;

  // True when AClass or an ancestor is registered (AIndex: the entry). Otherwise AIndex is the
  // lowest index of a registered descendant, or stays as the caller set it.
  virtual bool Find(TClass AClass, Integer& AIndex) const;
  virtual void Register(TClass AClass, TClass AValue);
  virtual void Unregister(TClass AClass, TClass AValue);

  TClass FindClass(TClass AClass) const;  // nullptr when nothing matches
  void Clear() { FItems.clear(); }
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  const TqvRegisteredClassListItem& GetItem(Integer AIndex) const;

 private:
  std::vector<TqvRegisteredClassListItem> FItems;
};

// Classes with a display text ("ShortName|Description"), in registration order.
class TqvRegisteredClasses {
 public:
  explicit TqvRegisteredClasses(bool AStreamRegistration = false)
      : FStreamRegistration(AStreamRegistration) {}
  TqvRegisteredClasses(const TqvRegisteredClasses&) = delete;
  TqvRegisteredClasses& operator=(const TqvRegisteredClasses&) = delete;
  virtual ~TqvRegisteredClasses() = default;

  // Ignored when AClass is listed already (the first text stays).
  void Register(TClass AClass, const String& ADisplayText);
  void Unregister(TClass AClass);
  TClass FindByClassName(const String& AName) const;  // exact, case-sensitive
  // The first class whose short name equals AName exactly; see GetShortName.
  TClass FindByShortName(const String& AName) const;
  // The text before the bar of a display text, without surrounding blanks (a text written
  // "Name |Description" still answers to "Name"); the whole text, trimmed, without a bar.
  String GetShortName(Integer AIndex) const;
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TClass GetItem(Integer AIndex) const;
  const String& GetDisplayText(Integer AIndex) const;
  Integer IndexOf(TClass AClass) const;
  void Clear() { FItems.clear(); }
  bool GetStreamRegistration() const { return FStreamRegistration; }

 private:
  struct TEntry {
    String DisplayText;
    TClass ItemClass;
  };
  const TEntry& EntryAt(Integer AIndex) const;
  std::vector<TEntry> FItems;
  bool FStreamRegistration;
};

// ---------------------------------------------------------------------------------------------
// Resource strings

// Replacement texts for resource strings, keyed by the resource string's identity. A host
// installs one with SetResourceStringOverrides; the library owns it from then on.
class TqvResourceStringOverrides {
 public:
  void Add(PResStringRec AResString, const String& AText);
  // Index of the first entry for AResString, or -1.
  Integer IndexOf(PResStringRec AResString) const;
  const String& GetText(Integer AIndex) const { return FItems[AIndex].second; }
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }

 private:
  std::vector<std::pair<PResStringRec, String>> FItems;
};

TqvResourceStringOverrides* GetResourceStringOverrides();
// Installs (or with nullptr removes and frees) the override list.
void SetResourceStringOverrides(std::unique_ptr<TqvResourceStringOverrides> AOverrides);

// The override text when one is installed for AResString, else its default text.
String GetLocalizedResourceString(PResStringRec AResString);
// The text of AResString formatted with AArgs (the text as it stands without arguments).
String FormatLocalizedResourceString(PResStringRec AResString, TFormatArgs AArgs = {});

// The one way the library raises an error whose text is a resource string: an exception of
// class E with the localized text, formatted with AArgs when there are any.
template <class E = Exception>
[[noreturn]] void RaiseResourceError(PResStringRec AResString, TFormatArgs AArgs = {}) {
  throw E(FormatLocalizedResourceString(AResString, AArgs));
}

using TqvResourceStringProc = String (*)(PResStringRec AResString);
// The getter of the filter words; the editors point it at GetLocalizedResourceString.
extern TqvResourceStringProc FilterResourceStringProc;
String GetFilterResourceString(PResStringRec AResString);

// Data controller messages.
extern const TResourceString sqvDataReadError;
extern const TResourceString sqvDataWriteError;
extern const TResourceString sqvDataItemExistError;
extern const TResourceString sqvDataRecordIndexError;
extern const TResourceString sqvDataItemIndexError;
extern const TResourceString sqvDataRowIndexError;
extern const TResourceString sqvDataDetailFilterControllerNotFound;
extern const TResourceString sqvDataNotInGridMode;

// Filter words: operator captions.
extern const TResourceString sqvFilterOperatorEqual;
extern const TResourceString sqvFilterOperatorNotEqual;
extern const TResourceString sqvFilterOperatorLess;
extern const TResourceString sqvFilterOperatorLessEqual;
extern const TResourceString sqvFilterOperatorGreater;
extern const TResourceString sqvFilterOperatorGreaterEqual;
extern const TResourceString sqvFilterOperatorLike;
extern const TResourceString sqvFilterOperatorNotLike;
extern const TResourceString sqvFilterOperatorBetween;
extern const TResourceString sqvFilterOperatorNotBetween;
extern const TResourceString sqvFilterOperatorInList;
extern const TResourceString sqvFilterOperatorNotInList;
extern const TResourceString sqvFilterOperatorBeginsWith;
extern const TResourceString sqvFilterOperatorDoesNotBeginWith;
extern const TResourceString sqvFilterOperatorEndsWith;
extern const TResourceString sqvFilterOperatorDoesNotEndWith;
extern const TResourceString sqvFilterOperatorContains;
extern const TResourceString sqvFilterOperatorDoesNotContain;
extern const TResourceString sqvFilterOperatorIsNull;
extern const TResourceString sqvFilterOperatorIsNotNull;
extern const TResourceString sqvFilterOperatorYesterday;
extern const TResourceString sqvFilterOperatorToday;
extern const TResourceString sqvFilterOperatorTomorrow;
extern const TResourceString sqvFilterOperatorLastWeek;
extern const TResourceString sqvFilterOperatorLastMonth;
extern const TResourceString sqvFilterOperatorLastYear;
extern const TResourceString sqvFilterOperatorThisWeek;
extern const TResourceString sqvFilterOperatorThisMonth;
extern const TResourceString sqvFilterOperatorThisYear;
extern const TResourceString sqvFilterOperatorNextWeek;
extern const TResourceString sqvFilterOperatorNextMonth;
extern const TResourceString sqvFilterOperatorNextYear;
// Filter words: logical words, the blank value and the special entries of value lists.
extern const TResourceString sqvFilterAndCaption;
extern const TResourceString sqvFilterOrCaption;
extern const TResourceString sqvFilterNotCaption;
extern const TResourceString sqvFilterBlankCaption;
extern const TResourceString sqvFilterBoxAllCaption;
extern const TResourceString sqvFilterBoxCustomCaption;
extern const TResourceString sqvFilterBoxBlanksCaption;
extern const TResourceString sqvFilterBoxNonBlanksCaption;

// ---------------------------------------------------------------------------------------------
// Arithmetic

// A div B (truncating) plus 1 when a remainder is left; CeilDiv(-3, 2) is 0, as callers expect.
// B must not be 0 (raises EDivByZero).
Integer CeilDiv(Integer A, Integer B);
TSize MakeSize(Integer AWidth, Integer AHeight);
