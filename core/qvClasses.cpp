#include "core/qvClasses.h"

#include "platform/rtl/Classes.h"
#include "platform/rtl/ClassesConsts.h"

namespace {

void CheckListIndex(Integer AIndex, Integer ACount) {
  if (AIndex < 0 || AIndex >= ACount) RaiseResourceError<EListError>(&SListIndexError, {AIndex});
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Persistent and component bases

QJ_IMPLEMENT_CLASS(TqvInterfacedPersistent)
QJ_IMPLEMENT_CLASS(TqvComponent)

void TqvComponent::Loaded() {
  inherited::Loaded();
  UpdateFakeComponentLinks();
}

void TqvComponent::BeforeDestruction() {
  if (!HasState(csDestroying)) Destroying();
  inherited::BeforeDestruction();
}

void TqvComponent::GetFakeComponentLinks(std::vector<TComponent*>&) {}

void TqvComponent::UpdateFakeComponentLinks() {
  if (!HasState(csDesigning) || HasState(csDestroying) || !Owner()) return;
  std::vector<TComponent*> links;
  GetFakeComponentLinks(links);
  for (Integer i = 0; i < FakeComponentLinkCount; ++i)
    SetFakeComponentLink(i + 1, i < static_cast<Integer>(links.size()) ? links[i] : nullptr);
}

TComponent* TqvComponent::GetFakeComponentLink(Integer AIndex) const {
  CheckListIndex(AIndex - 1, FakeComponentLinkCount);
  return FFakeComponentLinks[AIndex - 1];
}

void TqvComponent::SetFakeComponentLink(Integer AIndex, TComponent* AValue) {
  TComponent*& link = FFakeComponentLinks[AIndex - 1];
  if (link == AValue) return;
  link = AValue;
  if (AValue) AValue->FreeNotification(this);
}

void TqvComponent::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  for (TComponent*& link : FFakeComponentLinks)
    if (link == AComponent) link = nullptr;
}

// ---------------------------------------------------------------------------------------------
// TqvObjectList

TqvObjectList::~TqvObjectList() { Clear(); }

Integer TqvObjectList::Add(TObject* AObject) {
  FItems.push_back(AObject);
  return GetCount() - 1;
}

void TqvObjectList::Clear() {
  std::vector<TObject*> items;
  items.swap(FItems);
  for (TObject* item : items) Free(item);
}

TObject* TqvObjectList::GetItem(Integer AIndex) const {
  CheckListIndex(AIndex, GetCount());
  return FItems[AIndex];
}

// ---------------------------------------------------------------------------------------------
// TqvRegisteredClassList

bool TqvRegisteredClassList::Find(TClass AClass, Integer& AIndex) const {
  for (Integer i = GetCount() - 1; i >= 0; --i) {
    TClass itemClass = FItems[i].ItemClass;
    if (AClass->InheritsFrom(itemClass)) {
      AIndex = i;
      return true;
    }
    if (itemClass->InheritsFrom(AClass)) AIndex = i;
  }
  return false;
}

void TqvRegisteredClassList::Register(TClass AClass, TClass AValue) {
  Integer index = -1;
  TqvRegisteredClassListItem item{AClass, AValue};
  if (Find(AClass, index))
    FItems.insert(FItems.begin() + index + 1, item);
  else if (index == -1)
    FItems.push_back(item);
  else
    FItems.insert(FItems.begin() + index, item);
}

void TqvRegisteredClassList::Unregister(TClass AClass, TClass AValue) {
  for (Integer i = GetCount() - 1; i >= 0; --i)
    if (FItems[i].ItemClass == AClass && FItems[i].Value == AValue) FItems.erase(FItems.begin() + i);
}

TClass TqvRegisteredClassList::FindClass(TClass AClass) const {
  Integer index = -1;
  return Find(AClass, index) ? FItems[index].Value : nullptr;
}

const TqvRegisteredClassListItem& TqvRegisteredClassList::GetItem(Integer AIndex) const {
  CheckListIndex(AIndex, GetCount());
  return FItems[AIndex];
}

// ---------------------------------------------------------------------------------------------
// TqvRegisteredClasses

void TqvRegisteredClasses::Register(TClass AClass, const String& ADisplayText) {
  if (IndexOf(AClass) >= 0) return;
  FItems.push_back({ADisplayText, AClass});
  if (FStreamRegistration && AClass->InheritsFrom(&TPersistent::StaticClass())) RegisterClass(AClass);
}

void TqvRegisteredClasses::Unregister(TClass AClass) {
  Integer index = IndexOf(AClass);
  if (index >= 0) FItems.erase(FItems.begin() + index);
}

TClass TqvRegisteredClasses::FindByClassName(const String& AName) const {
  for (const TEntry& entry : FItems)
    if (AName == entry.ItemClass->Name) return entry.ItemClass;
  return nullptr;
}

TClass TqvRegisteredClasses::FindByShortName(const String& AName) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetShortName(i) == AName) return FItems[i].ItemClass;
  return nullptr;
}

String TqvRegisteredClasses::GetShortName(Integer AIndex) const {
  const String& text = EntryAt(AIndex).DisplayText;
  return Trim(text.substr(0, text.find('|')));
}

const TqvRegisteredClasses::TEntry& TqvRegisteredClasses::EntryAt(Integer AIndex) const {
  CheckListIndex(AIndex, GetCount());
  return FItems[AIndex];
}

TClass TqvRegisteredClasses::GetItem(Integer AIndex) const { return EntryAt(AIndex).ItemClass; }

const String& TqvRegisteredClasses::GetDisplayText(Integer AIndex) const {
  return EntryAt(AIndex).DisplayText;
}

Integer TqvRegisteredClasses::IndexOf(TClass AClass) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (FItems[i].ItemClass == AClass) return i;
  return -1;
}

// ---------------------------------------------------------------------------------------------
// Resource strings

namespace {

std::unique_ptr<TqvResourceStringOverrides>& OverridesSlot() {
  static std::unique_ptr<TqvResourceStringOverrides> overrides;
  return overrides;
}

}  // namespace

void TqvResourceStringOverrides::Add(PResStringRec AResString, const String& AText) {
  FItems.emplace_back(AResString, AText);
}

Integer TqvResourceStringOverrides::IndexOf(PResStringRec AResString) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (FItems[i].first == AResString) return i;
  return -1;
}

TqvResourceStringOverrides* GetResourceStringOverrides() { return OverridesSlot().get(); }

void SetResourceStringOverrides(std::unique_ptr<TqvResourceStringOverrides> AOverrides) {
  OverridesSlot() = std::move(AOverrides);
}

String GetLocalizedResourceString(PResStringRec AResString) {
  if (const TqvResourceStringOverrides* overrides = GetResourceStringOverrides()) {
    Integer index = overrides->IndexOf(AResString);
    if (index >= 0) return overrides->GetText(index);
  }
  return LoadResString(AResString);
}

String FormatLocalizedResourceString(PResStringRec AResString, TFormatArgs AArgs) {
  const String text = GetLocalizedResourceString(AResString);
  return AArgs.size() == 0 ? text : Format(text, AArgs);
}

TqvResourceStringProc FilterResourceStringProc = nullptr;

String GetFilterResourceString(PResStringRec AResString) {
  if (FilterResourceStringProc) return FilterResourceStringProc(AResString);
  return LoadResString(AResString);
}

// The library's string table: identities 61000 and up.
const TResourceString sqvDataReadError{61000, "Stream read error"};
const TResourceString sqvDataWriteError{61001, "Stream write error"};
const TResourceString sqvDataItemExistError{61002, "Item already exists"};
const TResourceString sqvDataRecordIndexError{61003, "RecordIndex out of range"};
const TResourceString sqvDataItemIndexError{61004, "ItemIndex out of range"};
const TResourceString sqvDataRowIndexError{61005, "RowIndex out of range"};
const TResourceString sqvDataDetailFilterControllerNotFound{61006, "DetailFilterController not found"};
const TResourceString sqvDataNotInGridMode{61007, "DataController not in GridMode"};

const TResourceString sqvFilterOperatorEqual{61100, "equals"};
const TResourceString sqvFilterOperatorNotEqual{61101, "does not equal"};
const TResourceString sqvFilterOperatorLess{61102, "is less than"};
const TResourceString sqvFilterOperatorLessEqual{61103, "is less than or equal to"};
const TResourceString sqvFilterOperatorGreater{61104, "is greater than"};
const TResourceString sqvFilterOperatorGreaterEqual{61105, "is greater than or equal to"};
const TResourceString sqvFilterOperatorLike{61106, "like"};
const TResourceString sqvFilterOperatorNotLike{61107, "not like"};
const TResourceString sqvFilterOperatorBetween{61108, "between"};
const TResourceString sqvFilterOperatorNotBetween{61109, "not between"};
const TResourceString sqvFilterOperatorInList{61110, "in"};
const TResourceString sqvFilterOperatorNotInList{61111, "not in"};
const TResourceString sqvFilterOperatorBeginsWith{61112, "begins with"};
const TResourceString sqvFilterOperatorDoesNotBeginWith{61113, "does not begin with"};
const TResourceString sqvFilterOperatorEndsWith{61114, "ends with"};
const TResourceString sqvFilterOperatorDoesNotEndWith{61115, "does not end with"};
const TResourceString sqvFilterOperatorContains{61116, "contains"};
const TResourceString sqvFilterOperatorDoesNotContain{61117, "does not contain"};
const TResourceString sqvFilterOperatorIsNull{61118, "is blank"};
const TResourceString sqvFilterOperatorIsNotNull{61119, "is not blank"};
const TResourceString sqvFilterOperatorYesterday{61120, "is yesterday"};
const TResourceString sqvFilterOperatorToday{61121, "is today"};
const TResourceString sqvFilterOperatorTomorrow{61122, "is tomorrow"};
const TResourceString sqvFilterOperatorLastWeek{61123, "is last week"};
const TResourceString sqvFilterOperatorLastMonth{61124, "is last month"};
const TResourceString sqvFilterOperatorLastYear{61125, "is last year"};
const TResourceString sqvFilterOperatorThisWeek{61126, "is this week"};
const TResourceString sqvFilterOperatorThisMonth{61127, "is this month"};
const TResourceString sqvFilterOperatorThisYear{61128, "is this year"};
const TResourceString sqvFilterOperatorNextWeek{61129, "is next week"};
const TResourceString sqvFilterOperatorNextMonth{61130, "is next month"};
const TResourceString sqvFilterOperatorNextYear{61131, "is next year"};
const TResourceString sqvFilterAndCaption{61140, "and"};
const TResourceString sqvFilterOrCaption{61141, "or"};
const TResourceString sqvFilterNotCaption{61142, "not"};
const TResourceString sqvFilterBlankCaption{61143, "blank"};
const TResourceString sqvFilterBoxAllCaption{61144, "(All)"};
const TResourceString sqvFilterBoxCustomCaption{61145, "(Custom...)"};
const TResourceString sqvFilterBoxBlanksCaption{61146, "(Blanks)"};
const TResourceString sqvFilterBoxNonBlanksCaption{61147, "(NonBlanks)"};

// ---------------------------------------------------------------------------------------------
// Arithmetic

Integer CeilDiv(Integer A, Integer B) {
  if (B == 0) RaiseResourceError<EDivByZero>(&SDivByZero);
  Integer result = A / B;
  if (A % B != 0) ++result;
  return result;
}

TSize MakeSize(Integer AWidth, Integer AHeight) { return TSize{AWidth, AHeight}; }
