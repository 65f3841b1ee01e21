// The criteria tree: lists and conditions, evaluation for a record, texts for people and for
// expressions, removal by link, and the criteria stream.
#include <algorithm>

#include "core/qvFilter.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/Streams.h"

namespace {

constexpr Integer kStreamMarker = -1;
// Smallest stream sizes of a list (flag, kind, count) and of a condition (flag, operator kind,
// text length, link ID, value tag): counts beyond what the bytes left can hold are refused.
constexpr Int64 kMinItemBytes = 6;
// Nesting deeper than any filter a person builds is refused rather than exhausting the stack.
constexpr Integer kMaxListDepth = 256;

[[noreturn]] void RaiseCriteriaReadError() {
  RaiseResourceError<EReadError>(&sqvDataReadError);
}

Int64 BytesLeft(TStream* AStream) { return AStream->GetSize() - AStream->GetPosition(); }

Integer ReadItemCount(TStream* AStream) {
  Integer count = ReadInteger(AStream);
  if (count < 0 || count > BytesLeft(AStream) / kMinItemBytes) RaiseCriteriaReadError();
  return count;
}

TqvFilterJoinKind ReadJoinKind(TStream* AStream) {
  Byte kind = ReadByte(AStream);
  if (kind > fjkNotOr) RaiseCriteriaReadError();
  return static_cast<TqvFilterJoinKind>(kind);
}

bool IsNegation(TqvFilterJoinKind AKind) { return AKind == fjkNotAnd || AKind == fjkNotOr; }

String JoinWord(TqvFilterJoinKind AKind, bool ADisplayForm) {
  bool isAnd = AKind == fjkAnd || AKind == fjkNotAnd;
  if (ADisplayForm) return GetFilterResourceString(isAnd ? &sqvFilterAndCaption : &sqvFilterOrCaption);
  return isAnd ? "AND" : "OR";
}

// Upper-cases text the way filters compare it; wide text that the code page cannot hold keeps
// its own characters rather than collapsing to '?'.
Variant UpperCaseText(const Variant& AValue) {
  if (VarType(AValue) == varString) return AnsiUpperCase(AValue.AsString());
  WideString wide = AValue.AsWideString();
  String narrow = WideToAnsi(wide);
  if (AnsiToWide(narrow) == wide) return AnsiUpperCase(narrow);
  for (char16_t& c : wide)
    if (c < 0x100) c = static_cast<unsigned char>(AnsiUpperChar(static_cast<char>(c)));
  return wide;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Items

QJ_IMPLEMENT_CLASS(TqvCustomFilterCriteriaItem)
QJ_IMPLEMENT_CLASS(TqvFilterCriteriaItemList)
QJ_IMPLEMENT_CLASS(TqvFilterCriteriaItem)

TqvCustomFilterCriteriaItem::~TqvCustomFilterCriteriaItem() {
  if (FParent) FParent->RemoveItem(this);
}

void TqvCustomFilterCriteriaItem::Changed() {
  if (TqvFilterCriteria* criteria = GetCriteria()) criteria->CheckChanged();
}

TqvFilterCriteria* TqvCustomFilterCriteriaItem::GetCriteria() const {
  return FParent ? FParent->GetCriteria() : nullptr;
}

void TqvCustomFilterCriteriaItem::WriteData(TStream* AStream) { WriteByte(AStream, IsItemList() ? 1 : 0); }

TqvFilterCriteriaItemList::~TqvFilterCriteriaItemList() {
  while (!FItems.empty()) Free(FItems.back());
}

TqvFilterCriteria* TqvFilterCriteriaItemList::GetCriteria() const {
  return FOwnerCriteria ? FOwnerCriteria : inherited::GetCriteria();
}

void TqvFilterCriteriaItemList::WriteData(TStream* AStream) {
  inherited::WriteData(AStream);
  WriteByte(AStream, FJoinKind);
  WriteInteger(AStream, GetCount());
  for (TqvCustomFilterCriteriaItem* item : FItems) item->WriteData(AStream);
}

void TqvFilterCriteriaItemList::RemoveItem(TqvCustomFilterCriteriaItem* AItem) {
  auto it = std::find(FItems.begin(), FItems.end(), AItem);
  if (it == FItems.end()) return;
  FItems.erase(it);
  Changed();
}

TqvFilterCriteriaItem* TqvFilterCriteriaItemList::AddItem(TObject* AItemLink,
                                                          TqvFilterOperatorKind AOperatorKind,
                                                          const Variant& AValue,
                                                          const String& ADisplayValue) {
  return GetCriteria()->AddItem(this, AItemLink, AOperatorKind, AValue, ADisplayValue);
}

TqvFilterCriteriaItemList* TqvFilterCriteriaItemList::AddItemList(TqvFilterJoinKind AJoinKind) {
  auto* list = New<TqvFilterCriteriaItemList>(this, AJoinKind);
  AppendChild(list);
  Changed();
  return list;
}

void TqvFilterCriteriaItemList::Clear() {
  TqvFilterCriteria* criteria = GetCriteria();
  if (criteria) criteria->BeginUpdate();
  while (!FItems.empty()) Free(FItems.back());
  if (criteria) criteria->EndUpdate();
}

TqvCustomFilterCriteriaItem* TqvFilterCriteriaItemList::GetItem(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetCount()) return nullptr;
  return FItems[AIndex];
}

Integer TqvFilterCriteriaItemList::IndexOf(const TqvCustomFilterCriteriaItem* AItem) const {
  auto it = std::find(FItems.begin(), FItems.end(), AItem);
  return it == FItems.end() ? -1 : static_cast<Integer>(it - FItems.begin());
}

void TqvFilterCriteriaItemList::SetJoinKind(TqvFilterJoinKind AValue) {
  if (FJoinKind == AValue) return;
  FJoinKind = AValue;
  Changed();
}

void TqvFilterCriteriaItemList::AppendChild(TqvCustomFilterCriteriaItem* AItem) {
  AItem->FParent = this;
  FItems.push_back(AItem);
}

void TqvFilterCriteriaItemList::AdoptChild(TqvCustomFilterCriteriaItem* AItem) {
  if (AItem->FParent) AItem->FParent->RemoveItem(AItem);
  AppendChild(AItem);
  Changed();
}

TqvFilterCriteriaItem::TqvFilterCriteriaItem(TqvFilterCriteriaItemList* AParent, TObject* AItemLink,
                                             TqvFilterOperatorKind AOperatorKind,
                                             const Variant& AValue, const String& ADisplayValue)
    : TqvCustomFilterCriteriaItem(AParent),
      FDisplayValue(ADisplayValue),
      FItemLink(AItemLink),
      FOperatorKind(AOperatorKind),
      FValue(AValue) {}

TqvFilterCriteriaItem::~TqvFilterCriteriaItem() = default;

void TqvFilterCriteriaItem::AfterConstruction() {
  inherited::AfterConstruction();
  RecreateOperator();
  if (FDisplayValue.empty() && FOperatorObject->InheritsFrom<TqvFilterNullOperator>())
    FDisplayValue = GetFilterResourceString(&sqvFilterBlankCaption);
}

void TqvFilterCriteriaItem::WriteData(TStream* AStream) {
  inherited::WriteData(AStream);
  WriteByte(AStream, FOperatorKind);
  WriteAnsiString(AStream, FDisplayValue);
  TqvFilterCriteria* criteria = GetCriteria();
  WriteInteger(AStream, criteria ? criteria->GetItemLinkID(FItemLink) : -1);
  WriteVariant(AStream, FValue);
}

String TqvFilterCriteriaItem::GetDisplayValueText() {
  String text = FDisplayValue;
  FOperatorObject->PrepareDisplayValue(text);
  return text;
}

String TqvFilterCriteriaItem::GetValueText(bool ADisplayForm) {
  if (ADisplayForm) return GetDisplayValueText();
  return FOperatorObject->GetValueExpressionText(FValue);
}

TqvFilterOperatorClass TqvFilterCriteriaItem::GetOperatorClass() {
  if (IsNullValue(FValue)) {
    if (FOperatorKind == okEqual || FOperatorKind == okLike) return &TqvFilterNullOperator::StaticClass();
    if (FOperatorKind == okNotEqual || FOperatorKind == okNotLike)
      return &TqvFilterNotNullOperator::StaticClass();
  }
  return GetFilterOperatorClass(FOperatorKind);
}

void TqvFilterCriteriaItem::RecreateOperator() {
  TqvFilterOperatorClass operatorClass = GetOperatorClass();
  if (!operatorClass) throw EInvalidOperation("Invalid filter operator kind %d", {Integer(FOperatorKind)});
  FOperatorObject.reset(operatorClass->Create(this));
  FOperatorObject->Prepare();  // usable at once, also inside an update bracket
  Changed();
}

bool TqvFilterCriteriaItem::IsNullValue(const Variant& AValue) const {
  TqvFilterCriteria* criteria = GetCriteria();
  return criteria ? criteria->IsNullValue(AValue) : VarIsNull(AValue);
}

void TqvFilterCriteriaItem::SetDisplayValue(const String& AValue) {
  if (FDisplayValue == AValue) return;
  FDisplayValue = AValue;
  Changed();
}

void TqvFilterCriteriaItem::SetOperatorKind(TqvFilterOperatorKind AValue) {
  if (!GetFilterOperatorClass(AValue)) throw EInvalidOperation("Invalid filter operator kind %d", {Integer(AValue)});
  FOperatorKind = AValue;
  RecreateOperator();
}

void TqvFilterCriteriaItem::SetValue(const Variant& AValue) {
  FValue = AValue;
  RecreateOperator();
}

// ---------------------------------------------------------------------------------------------
// Criteria: construction, properties, update brackets

QJ_IMPLEMENT_CLASS(TqvFilterCriteria)

TqvFilterCriteria::TqvFilterCriteria() : FRoot(NewRoot(fjkAnd)) {}

TqvFilterCriteria::~TqvFilterCriteria() {
  ++FLockCount;  // freeing the tree is no change anybody hears of
  FRoot.reset();
}

TOwned<TqvFilterCriteriaItemList> TqvFilterCriteria::NewRoot(TqvFilterJoinKind AJoinKind) {
  auto root = MakeOwned<TqvFilterCriteriaItemList>(nullptr, AJoinKind);
  root->FOwnerCriteria = this;
  return root;
}

void TqvFilterCriteria::EndUpdate() {
  --FLockCount;
  CheckChanged();
}

void TqvFilterCriteria::CheckChanged() {
  if (FLockCount == 0) Changed();
}

void TqvFilterCriteria::Changed() {
  PrepareOperators();
  if (OnChanged) OnChanged(this);
}

void TqvFilterCriteria::SetDateTimeFormat(const String& AValue) {
  if (FDateTimeFormat == AValue) return;
  FDateTimeFormat = AValue;
  CheckChanged();
}

void TqvFilterCriteria::SetOptions(TqvFilterCriteriaOptions AValue) {
  if (FOptions == AValue) return;
  FOptions = AValue;
  CheckChanged();
}

void TqvFilterCriteria::SetPercentWildcard(char AValue) {
  if (FPercentWildcard == AValue) return;
  FPercentWildcard = AValue;
  CheckChanged();
}

void TqvFilterCriteria::SetUnderscoreWildcard(char AValue) {
  if (FUnderscoreWildcard == AValue) return;
  FUnderscoreWildcard = AValue;
  CheckChanged();
}

void TqvFilterCriteria::PrepareOperators() { PrepareListOperators(FRoot.get()); }

void TqvFilterCriteria::PrepareListOperators(TqvFilterCriteriaItemList* AList) {
  for (Integer i = 0; i < AList->GetCount(); ++i) {
    TqvCustomFilterCriteriaItem* item = AList->GetItem(i);
    if (item->IsItemList())
      PrepareListOperators(static_cast<TqvFilterCriteriaItemList*>(item));
    else
      static_cast<TqvFilterCriteriaItem*>(item)->GetOperatorObject()->Prepare();
  }
}

void TqvFilterCriteria::RestoreDefaults() {
  TCancellableUpdateScope<TqvFilterCriteria> update(this);
  SetOptions(0);
  SetPercentWildcard('%');
  SetUnderscoreWildcard('_');
}

// ---------------------------------------------------------------------------------------------
// Values

bool TqvFilterCriteria::IsNullValue(const Variant& AValue) const {
  return HasOption(fcoSoftNull) ? VarIsSoftNull(AValue) : VarIsNull(AValue);
}

// The elements of a list (IN, BETWEEN) are normalised like single values.
Variant TqvFilterCriteria::NormalizeValue(const Variant& AValue) const {
  if (VarIsArray(AValue)) {
    Variant result = AValue;
    for (Integer i = AValue.ArrayLowBound(); i <= AValue.ArrayHighBound(); ++i)
      result.SetElement(i, NormalizeValue(AValue.GetElement(i)));
    return result;
  }
  TVarType type = VarType(AValue);
  if (type == varCurrency) return AValue.AsDouble();
  if ((type == varString || type == varOleStr) && HasOption(fcoCaseInsensitive)) return UpperCaseText(AValue);
  return AValue;
}

String TqvFilterCriteria::GetValueText(const Variant& AValue) {
  if (FDateTimeFormat.empty()) return VarToStr(AValue);
  return FormatDateTime(FDateTimeFormat, VarToDateTime(AValue));
}

// ---------------------------------------------------------------------------------------------
// Tree

TqvFilterValueListClass TqvFilterCriteria::GetValueListClass() const {
  return &TqvFilterValueList::StaticClass();
}

TqvFilterCriteriaItem* TqvFilterCriteria::AddItem(TqvFilterCriteriaItemList* AParent, TObject* AItemLink,
                                                  TqvFilterOperatorKind AOperatorKind,
                                                  const Variant& AValue, const String& ADisplayValue) {
  TqvFilterCriteriaItemList* parent = AParent ? AParent : FRoot.get();
  TqvFilterCriteriaItemClass itemClass = GetItemClass();
  if (!itemClass || !itemClass->CanCreate()) throw EInvalidOperation("Filter conditions cannot be created");
  TCancellableUpdateScope<TqvFilterCriteria> update(this);
  TqvFilterCriteriaItem* item = itemClass->Create(parent, AItemLink, AOperatorKind, AValue, ADisplayValue);
  parent->AppendChild(item);
  item->Changed();
  return item;
}

void TqvFilterCriteria::Clear() {
  TCancellableUpdateScope<TqvFilterCriteria> update(this);
  FRoot->Clear();
  FRoot->SetJoinKind(fjkAnd);
}

bool TqvFilterCriteria::IsEmpty() const { return FRoot->GetCount() == 0; }

TqvFilterCriteriaItem* TqvFilterCriteria::FindItemByItemLink(TObject* AItemLink) {
  return FindInList(FRoot.get(), AItemLink);
}

TqvFilterCriteriaItem* TqvFilterCriteria::FindInList(TqvFilterCriteriaItemList* AList, TObject* AItemLink) {
  for (Integer i = 0; i < AList->GetCount(); ++i) {
    TqvCustomFilterCriteriaItem* item = AList->GetItem(i);
    TqvFilterCriteriaItem* found = nullptr;
    if (item->IsItemList())
      found = FindInList(static_cast<TqvFilterCriteriaItemList*>(item), AItemLink);
    else if (static_cast<TqvFilterCriteriaItem*>(item)->GetItemLinkObject() == AItemLink)
      found = static_cast<TqvFilterCriteriaItem*>(item);
    if (found) return found;
  }
  return nullptr;
}

// Nothing to remove announces no change.
void TqvFilterCriteria::RemoveItemByItemLink(TObject* AItemLink) {
  if (!FindItemByItemLink(AItemLink)) return;
  TCancellableUpdateScope<TqvFilterCriteria> update(this);
  while (TqvFilterCriteriaItem* item = FindItemByItemLink(AItemLink)) {
    TqvFilterCriteriaItemList* parent = item->GetParent();
    Free(item);
    TidyAfterRemoval(parent);
  }
}

// An emptied nested list goes; an AND or OR list left with one child hands it to its own parent.
// A NOT list keeps its single child, since dissolving it would drop the negation.
void TqvFilterCriteria::TidyAfterRemoval(TqvFilterCriteriaItemList* AList) {
  TqvFilterCriteriaItemList* grandparent = AList->GetParent();
  if (!grandparent) return;
  if (AList->GetCount() == 0) {
    Free(AList);
  } else if (AList->GetCount() == 1 && !IsNegation(AList->GetJoinKind())) {
    grandparent->AdoptChild(AList->GetItem(0));
    Free(AList);
  }
}

// ---------------------------------------------------------------------------------------------
// Evaluation

bool TqvFilterCriteria::IsRecordMatching(Integer ARecordIndex) { return IsListMatching(FRoot.get(), ARecordIndex); }

// Every child is evaluated (no short cut), as descendants may count on seeing each condition.
bool TqvFilterCriteria::IsListMatching(TqvFilterCriteriaItemList* AList, Integer ARecordIndex) {
  bool result = true;
  const TqvFilterJoinKind kind = AList->GetJoinKind();
  for (Integer i = 0; i < AList->GetCount(); ++i) {
    TqvCustomFilterCriteriaItem* item = AList->GetItem(i);
    bool value = item->IsItemList()
                     ? IsListMatching(static_cast<TqvFilterCriteriaItemList*>(item), ARecordIndex)
                     : IsConditionMatching(static_cast<TqvFilterCriteriaItem*>(item), ARecordIndex);
    if (i == 0) {
      result = IsNegation(kind) ? !value : value;
      continue;
    }
    switch (kind) {
      case fjkAnd: result = result && value; break;
      case fjkOr: result = result || value; break;
      case fjkNotAnd: result = result || !value; break;
      case fjkNotOr: result = result && !value; break;
    }
  }
  return result;
}

bool TqvFilterCriteria::IsConditionMatching(TqvFilterCriteriaItem* AItem, Integer ARecordIndex) {
  try {
    Variant value = NormalizeValue(AItem->GetDataValue(ARecordIndex));
    Variant filterValue = NormalizeValue(AItem->GetValue());
    return AItem->GetOperatorObject()->IsMatch(value, filterValue);
  } catch (const EVariantError& e) {
    if (HasOption(fcoSoftCompare) && IsVariantConversionError(e)) return false;
    throw;
  }
}

// ---------------------------------------------------------------------------------------------
// Texts

String TqvFilterCriteria::BuildFilterText(bool ADisplayForm) { return BuildListText(FRoot.get(), ADisplayForm); }

String TqvFilterCriteria::BuildListText(TqvFilterCriteriaItemList* AList, bool ADisplayForm) {
  String text;
  for (Integer i = 0; i < AList->GetCount(); ++i) {
    if (i > 0) text += " " + JoinWord(AList->GetJoinKind(), ADisplayForm) + " ";
    TqvCustomFilterCriteriaItem* item = AList->GetItem(i);
    String itemText = item->IsItemList()
                          ? BuildListText(static_cast<TqvFilterCriteriaItemList*>(item), ADisplayForm)
                          : GetItemText(static_cast<TqvFilterCriteriaItem*>(item), ADisplayForm);
    text += "(" + itemText + ")";
  }
  if (IsNegation(AList->GetJoinKind())) {
    String word = ADisplayForm ? GetFilterResourceString(&sqvFilterNotCaption) : String("NOT");
    text = word + " (" + text + ")";
  }
  return text;
}

String TqvFilterCriteria::GetItemText(TqvFilterCriteriaItem* AItem, bool ADisplayForm) {
  TqvFilterOperator* op = AItem->GetOperatorObject();
  if (!ADisplayForm && op->WritesWholeExpression()) return op->GetItemExpressionText(AItem->GetValue());
  String text = GetItemFieldText(AItem, ADisplayForm) + " " + GetItemOperatorText(AItem, ADisplayForm);
  String valueText = GetItemValueText(AItem, ADisplayForm);
  if (!valueText.empty()) text += " " + valueText;
  return text;
}

String TqvFilterCriteria::GetItemFieldText(TqvFilterCriteriaItem* AItem, bool ADisplayForm) {
  return ADisplayForm ? AItem->GetFieldCaption() : AItem->GetFieldName();
}

String TqvFilterCriteria::GetItemOperatorText(TqvFilterCriteriaItem* AItem, bool ADisplayForm) {
  TqvFilterOperator* op = AItem->GetOperatorObject();
  if (ADisplayForm && (op->AlwaysShowsCaption() || HasOption(fcoShowOperatorDescription)))
    return op->GetDisplayText();
  return op->GetExpressionText();
}

String TqvFilterCriteria::GetItemValueText(TqvFilterCriteriaItem* AItem, bool ADisplayForm) {
  return AItem->GetValueText(ADisplayForm);
}

// ---------------------------------------------------------------------------------------------
// Copying

void TqvFilterCriteria::Assign(TPersistent* ASource) {
  auto* source = As<TqvFilterCriteria>(ASource);
  if (!source) {
    inherited::Assign(ASource);
    return;
  }
  TCancellableUpdateScope<TqvFilterCriteria> update(this);
  SetDateTimeFormat(source->GetDateTimeFormat());
  SetMaxValueListCount(source->GetMaxValueListCount());
  SetOptions(source->GetOptions());
  SetPercentWildcard(source->GetPercentWildcard());
  SetUnderscoreWildcard(source->GetUnderscoreWildcard());
  AssignThroughStream(source);
  AssignEvents(source);
}

void TqvFilterCriteria::AssignEvents(TPersistent* ASource) {
  if (auto* source = As<TqvFilterCriteria>(ASource)) OnChanged = source->OnChanged;
}

void TqvFilterCriteria::AssignThroughStream(TqvFilterCriteria* ASource) {
  TCancellableUpdateScope<TqvFilterCriteria> update(this);
  TMemoryStream stream;
  ASource->WriteData(&stream);
  stream.SetPosition(0);
  ReadData(&stream);
}

// ---------------------------------------------------------------------------------------------
// The criteria stream

void TqvFilterCriteria::WriteData(TStream* AStream) {
  WriteInteger(AStream, kStreamMarker);
  WriteByte(AStream, FRoot->GetJoinKind());
  WriteInteger(AStream, FRoot->GetCount());
  for (Integer i = 0; i < FRoot->GetCount(); ++i) FRoot->GetItem(i)->WriteData(AStream);
}

// The new tree is built beside the old one and swapped in only when the whole stream was read.
void TqvFilterCriteria::ReadData(TStream* AStream) {
  TCancellableUpdateScope<TqvFilterCriteria> update(this);
  TqvFilterJoinKind rootKind = fjkAnd;
  Integer first = ReadInteger(AStream);
  Integer count = first;
  if (first == kStreamMarker) {
    rootKind = ReadJoinKind(AStream);
    count = ReadItemCount(AStream);
  } else if (count < 0 || count > BytesLeft(AStream) / kMinItemBytes) {
    RaiseCriteriaReadError();
  }
  TOwned<TqvFilterCriteriaItemList> root = NewRoot(rootKind);
  ReadItems(AStream, root.get(), count, 0);
  std::swap(FRoot, root);
  root.reset();
}

void TqvFilterCriteria::ReadItems(TStream* AStream, TqvFilterCriteriaItemList* AList, Integer ACount,
                                  Integer ADepth) {
  if (ADepth > kMaxListDepth) RaiseCriteriaReadError();
  for (Integer i = 0; i < ACount; ++i) {
    if (ReadByte(AStream) != 0) {
      TqvFilterJoinKind kind = ReadJoinKind(AStream);
      Integer count = ReadItemCount(AStream);
      TqvFilterCriteriaItemList* list = AList->AddItemList(kind);
      ReadItems(AStream, list, count, ADepth + 1);
      list->ReadExtraData(AStream);
    } else {
      ReadCondition(AStream, AList);
    }
  }
}

void TqvFilterCriteria::ReadCondition(TStream* AStream, TqvFilterCriteriaItemList* AList) {
  Byte kind = ReadByte(AStream);
  if (kind >= qvFilterOperatorKindCount) RaiseCriteriaReadError();
  String displayValue = ReadAnsiString(AStream);
  Integer id = ReadInteger(AStream);
  Variant value = ReadVariant(AStream);
  TObject* link = GetItemLinkByID(id);
  TqvFilterCriteriaItem* item = AddItem(AList, link, static_cast<TqvFilterOperatorKind>(kind), value, displayValue);
  item->ReadExtraData(AStream);
}
