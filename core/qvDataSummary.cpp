#include "core/qvDataSummary.h"

#include <algorithm>

#include "core/qvClasses.h"
#include "core/qvCustomData.h"
#include "core/qvDataPipeline.h"
#include "core/qvFormats.h"
#include "core/qvVariants.h"
#include "platform/rtl/ClassesConsts.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomDataSummaryItem)
QJ_IMPLEMENT_CLASS(TqvDataSummaryItem)
QJ_IMPLEMENT_CLASS(TqvDataSummaryItems)
QJ_IMPLEMENT_CLASS(TqvDataFooterSummaryItems)
QJ_IMPLEMENT_CLASS(TqvDataGroupSummaryItems)
QJ_IMPLEMENT_CLASS(TqvDataSummaryGroupItemLink)
QJ_IMPLEMENT_CLASS(TqvDataSummaryGroupItemLinks)
QJ_IMPLEMENT_CLASS(TqvDataSummaryGroup)
QJ_IMPLEMENT_CLASS(TqvDataSummaryGroups)
QJ_IMPLEMENT_CLASS(TqvDataSummary)

namespace {

// Default formats by value type (currency, date, any other), footer or not, and kind (skSum to
// skAverage). Currency entries hold "%s" where the locale's currency format goes; date entries
// are only the prefix of the date text.
const char* const kDefaultFormats[3][2][5] = {
    {{"SUM=%s;SUM=-%s", "MIN=%s;MIN=-%s", "MAX=%s;MAX=-%s", "COUNT=0", "AVG=%s;AVG=-%s"},
     {"%s;-%s", "MIN=%s;MIN=-%s", "MAX=%s;MAX=-%s", "0", "AVG=%s;AVG=-%s"}},
    {{"SUM=", "MIN=", "MAX=", "COUNT=0", "AVG="}, {"", "MIN=", "MAX=", "0", "AVG="}},
    {{"SUM=0.00;SUM=-0.00", "MIN=0.00;MIN=-0.00", "MAX=0.00;MAX=-0.00", "COUNT=0", "AVG=0.00;AVG=-0.00"},
     {"0.00;-0.00", "MIN=0.00;MIN=-0.00", "MAX=0.00;MAX=-0.00", "0", "AVG=0.00;AVG=-0.00"}},
};

// The date and the time, the time alone on day 0, the date alone at midnight.
String SummaryDateText(TDateTime AValue) {
  double datePart = Int(AValue);
  double timePart = AValue - datePart;
  if (datePart == 0 && timePart != 0) return TimeToStr(AValue);
  if (timePart == 0) return DateToStr(AValue);
  return DateToStr(AValue) + " " + TimeToStr(AValue);
}

String DefaultSummaryFormat(TVarType AVarType, TqvSummaryKind AKind, bool AIsFooter) {
  if (AKind == skNone || AKind > skAverage) return String();
  const Integer row = AVarType == varCurrency ? 0 : (AVarType == varDate ? 1 : 2);
  String format = kDefaultFormats[row][AIsFooter ? 1 : 0][AKind - skSum];
  return row == 0 ? StringReplace(format, "%s", GetCurrencyFormatString()) : format;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TqvCustomDataSummaryItem

void TqvCustomDataSummaryItem::Assign(TPersistent* ASource) {
  auto* source = dynamic_cast<TqvCustomDataSummaryItem*>(ASource);
  if (!source) return inherited::Assign(ASource);
  TObject* item = source->GetItemLink();
  TqvCustomDataController* controller = GetDataController();
  if (item && controller && source->GetDataController() != controller) item = controller->FindItemLike(item);
  SetItemLink(item);
}

TObject* TqvCustomDataSummaryItem::GetItemLink() const { return FSummedField ? FSummedField->GetItem() : nullptr; }

void TqvCustomDataSummaryItem::SetItemLink(TObject* AItem) {
  if (GetItemLink() == AItem) return;
  TqvCustomDataController* controller = GetDataController();
  TqvCustomDataField* field = AItem && controller ? controller->GetFields()->FieldByItem(AItem) : nullptr;
  TUpdateScope update(GetCollection());
  FieldChanging(field);
  FSummedField = field;
  Changed(false);
}

void TqvCustomDataSummaryItem::SetSummedField(TqvCustomDataField* AField) {
  if (FSummedField == AField) return;
  FSummedField = AField;
  Changed(false);
}

void TqvCustomDataSummaryItem::BeginUpdate() {
  if (GetCollection()) GetCollection()->BeginUpdate();
}

void TqvCustomDataSummaryItem::EndUpdate() {
  if (GetCollection()) GetCollection()->EndUpdate();
}

// ---------------------------------------------------------------------------------------------
// TqvDataSummaryItem

void TqvDataSummaryItem::Assign(TPersistent* ASource) {
  if (auto* source = dynamic_cast<TqvDataSummaryItem*>(ASource)) {
    TUpdateScope update(GetCollection());
    FFormat = source->FFormat;
    FKind = source->FKind;
    FPosition = source->FPosition;
    Changed(true);
  }
  inherited::Assign(ASource);
}

// Asked for every record summed: the class check walks the metaclass chain, not RTTI.
TqvDataSummaryItems* TqvDataSummaryItem::GetSummaryItems() const {
  TCollection* collection = GetCollection();
  bool summaryItems = collection && collection->InheritsFrom(&TqvDataSummaryItems::StaticClass());
  return summaryItems ? static_cast<TqvDataSummaryItems*>(collection) : nullptr;
}

TqvCustomDataController* TqvDataSummaryItem::GetDataController() const {
  TqvDataSummaryItems* items = GetSummaryItems();
  return items ? items->GetSummary()->GetDataController() : nullptr;
}

void TqvDataSummaryItem::SetFormat(const String& AValue) {
  if (FFormat == AValue) return;
  FFormat = AValue;
  Changed(false);
}

// A new aggregate needs new values, not only a repaint.
void TqvDataSummaryItem::SetKind(TqvSummaryKind AValue) {
  if (FKind == AValue) return;
  FKind = AValue;
  Changed(true);
}

TqvSummaryPosition TqvDataSummaryItem::GetPosition() const {
  TqvDataSummaryItems* items = GetSummaryItems();
  return items ? items->GetItemPosition(this) : FPosition;
}

void TqvDataSummaryItem::SetPosition(TqvSummaryPosition AValue) {
  if (FPosition == AValue) return;
  FPosition = AValue;
  Changed(false);
}

bool TqvDataSummaryItem::IsPositionStored() const {
  TqvDataSummaryItems* items = GetSummaryItems();
  return items ? items->IsItemPositionStored(this) : FPosition != spGroup;
}

String TqvDataSummaryItem::FormatValue(const Variant& AValue, bool AIsFooter) const {
  if (VarIsNull(AValue) || VarIsEmpty(AValue)) return String();
  try {
    if (FKind == skNone) return VarToStr(AValue);
    String format = FFormat;
    if (format.empty()) {
      TqvDataSummaryItems* items = GetSummaryItems();
      format = items ? items->GetDefaultFormat(VarType(AValue), FKind, AIsFooter)
                     : DefaultSummaryFormat(VarType(AValue), FKind, AIsFooter);
    }
    if (VarType(AValue) == varDate && FKind != skCount) return format + SummaryDateText(AValue.AsDateTime());
    return FormatFloat(format, AValue.AsDouble());
  } catch (const Exception&) {
    // Painting must go on: a minimum of text values, say, shows as the text itself.
    return VarToStr(AValue);
  }
}

// ---------------------------------------------------------------------------------------------
// TqvDataSummaryItems

TqvDataSummaryItems::TqvDataSummaryItems(TqvDataSummary* ASummary, TqvDataSummaryItemClass AItemClass)
    : TCollection(AItemClass ? AItemClass : &TqvDataSummaryItem::StaticClass()), FSummary(ASummary) {
  if (!GetItemClass()->InheritsFrom(&TqvDataSummaryItem::StaticClass()))
    RaiseResourceError<EListError>(&SInvalidProperty, {0});
}

void TqvDataSummaryItems::Assign(TPersistent* ASource) {
  inherited::Assign(ASource);
  if (auto* source = dynamic_cast<TqvDataSummaryItems*>(ASource)) AssignEvents(source);
}

void TqvDataSummaryItems::AssignEvents(TqvDataSummaryItems* ASource) { OnSummary = ASource->OnSummary; }

TqvSummaryPosition TqvDataSummaryItems::GetItemPosition(const TqvDataSummaryItem* AItem) const {
  return AItem->GetStoredPosition();
}

bool TqvDataSummaryItems::IsItemPositionStored(const TqvDataSummaryItem* AItem) const {
  return GetItemPosition(AItem) != spGroup;
}

String TqvDataSummaryItems::GetDefaultFormat(TVarType AVarType, TqvSummaryKind AKind, bool AIsFooter) const {
  return DefaultSummaryFormat(AVarType, AKind, AIsFooter);
}

TqvDataSummaryItem* TqvDataSummaryItems::Add() { return static_cast<TqvDataSummaryItem*>(inherited::Add()); }

TqvDataSummaryItem* TqvDataSummaryItems::GetItem(Integer AIndex) const {
  return static_cast<TqvDataSummaryItem*>(inherited::GetItem(AIndex));
}

Integer TqvDataSummaryItems::IndexOfItemLink(const TObject* AItemLink) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetItem(i)->GetItemLink() == AItemLink) return i;
  return -1;
}

Integer TqvDataSummaryItems::IndexOfField(const TqvCustomDataField* AField) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetItem(i)->GetSummedField() == AField) return i;
  return -1;
}

TqvDataSummaryItem* TqvDataSummaryItems::ItemOfField(const TqvCustomDataField* AField) const {
  Integer index = IndexOfField(AField);
  return index == -1 ? nullptr : GetItem(index);
}

TPersistent* TqvDataSummaryItems::GetOwner() { return FSummary; }

void TqvDataSummaryItems::Update(TCollectionItem* AItem) {
  if (FSummary) FSummary->RequestRecalculation(AItem != nullptr);
}

// ---------------------------------------------------------------------------------------------
// TqvDataGroupSummaryItems

void TqvDataGroupSummaryItems::Assign(TPersistent* ASource) {
  if (auto* source = dynamic_cast<TqvDataGroupSummaryItems*>(ASource)) {
    FBeginText = source->FBeginText;
    FEndText = source->FEndText;
    FSeparator = source->FSeparator;
  }
  inherited::Assign(ASource);
}

String TqvDataGroupSummaryItems::GetValuesText(const Variant& AValues) const {
  if (!VarIsArray(AValues)) return String();
  String result;
  const Integer last = std::min(GetCount() - 1, AValues.ArrayHighBound());
  for (Integer i = 0; i <= last; ++i) {
    TqvDataSummaryItem* item = GetItem(i);
    if (item->GetPosition() != spGroup) continue;
    // An empty text (a Null value, an item of kind none) leaves no trace, wherever it stands.
    String text = item->FormatValue(AValues.GetElement(i), false);
    if (text.empty()) continue;
    if (!result.empty()) result += FSeparator + " ";
    result += text;
  }
  if (result.empty()) return result;
  return FBeginText + result + FEndText;
}

void TqvDataGroupSummaryItems::TextChanged(String& AField, const String& AValue) {
  if (AField == AValue) return;
  AField = AValue;
  if (GetCount() > 0 && GetUpdateCount() == 0) Update(GetItem(0));
}

void TqvDataGroupSummaryItems::SetBeginText(const String& AValue) { TextChanged(FBeginText, AValue); }
bool TqvDataGroupSummaryItems::IsBeginTextStored() const { return FBeginText != "("; }
void TqvDataGroupSummaryItems::SetEndText(const String& AValue) { TextChanged(FEndText, AValue); }
bool TqvDataGroupSummaryItems::IsEndTextStored() const { return FEndText != ")"; }
void TqvDataGroupSummaryItems::SetSeparator(const String& AValue) { TextChanged(FSeparator, AValue); }
bool TqvDataGroupSummaryItems::IsSeparatorStored() const { return FSeparator != ","; }

// ---------------------------------------------------------------------------------------------
// Summary groups

TqvCustomDataController* TqvDataSummaryGroupItemLink::GetDataController() const {
  TqvDataSummaryGroup* group = GetSummaryGroup();
  TqvDataSummary* summary = group ? group->GetSummary() : nullptr;
  return summary ? summary->GetDataController() : nullptr;
}

TqvDataSummaryGroup* TqvDataSummaryGroupItemLink::GetSummaryGroup() const {
  auto* links = dynamic_cast<TqvDataSummaryGroupItemLinks*>(GetCollection());
  return links ? links->GetSummaryGroup() : nullptr;
}

void TqvDataSummaryGroupItemLink::FieldChanging(TqvCustomDataField* ANewField) {
  TqvDataSummaryGroup* ownGroup = GetSummaryGroup();
  TqvDataSummary* summary = ownGroup ? ownGroup->GetSummary() : nullptr;
  if (!ANewField || !summary) return;
  TqvDataSummaryGroups* groups = summary->GetSummaryGroups();
  TUpdateScope update(groups);
  for (Integer g = 0; g < groups->GetCount(); ++g) {
    TqvDataSummaryGroupItemLinks* links = groups->GetItem(g)->GetLinks();
    for (Integer i = 0; i < links->GetCount(); ++i) {
      TqvDataSummaryGroupItemLink* link = links->GetItem(i);
      if (link != this && link->GetSummedField() == ANewField) link->SetItemLink(nullptr);
    }
  }
}

TqvDataSummaryGroupItemLinks::TqvDataSummaryGroupItemLinks(TqvDataSummaryGroup* AGroup,
                                                           TCollectionItemClass AItemClass)
    : TCollection(AItemClass ? AItemClass : &TqvDataSummaryGroupItemLink::StaticClass()), FGroup(AGroup) {
  if (!GetItemClass()->InheritsFrom(&TqvDataSummaryGroupItemLink::StaticClass()))
    RaiseResourceError<EListError>(&SInvalidProperty, {0});
}

TqvDataSummaryGroupItemLink* TqvDataSummaryGroupItemLinks::Add() {
  return static_cast<TqvDataSummaryGroupItemLink*>(inherited::Add());
}

TqvDataSummaryGroupItemLink* TqvDataSummaryGroupItemLinks::GetItem(Integer AIndex) const {
  return static_cast<TqvDataSummaryGroupItemLink*>(inherited::GetItem(AIndex));
}

Integer TqvDataSummaryGroupItemLinks::IndexOfItemLink(const TObject* AItemLink) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetItem(i)->GetItemLink() == AItemLink) return i;
  return -1;
}

TPersistent* TqvDataSummaryGroupItemLinks::GetOwner() { return FGroup; }

void TqvDataSummaryGroupItemLinks::Update(TCollectionItem*) { FGroup->PartChanged(); }

TqvDataSummaryGroup::TqvDataSummaryGroup(TCollection* ACollection) : TCollectionItem(ACollection) {
  TqvDataSummary* summary = GetSummary();
  FLinks = MakeOwned<TqvDataSummaryGroupItemLinks>(this, summary ? summary->GetGroupItemLinkClass() : nullptr);
  FSummaryItems = MakeOwned<TqvDataGroupSummaryItems>(summary, summary ? summary->GetItemClass() : nullptr);
}

TqvDataSummaryGroup::~TqvDataSummaryGroup() = default;

void TqvDataSummaryGroup::Assign(TPersistent* ASource) {
  auto* source = dynamic_cast<TqvDataSummaryGroup*>(ASource);
  if (!source) return inherited::Assign(ASource);
  TUpdateScope update(GetCollection());
  FLinks->Assign(source->FLinks.get());
  FSummaryItems->Assign(source->FSummaryItems.get());
}

TqvDataSummary* TqvDataSummaryGroup::GetSummary() const {
  auto* groups = dynamic_cast<TqvDataSummaryGroups*>(GetCollection());
  return groups ? groups->GetSummary() : nullptr;
}

TqvDataSummaryGroups::TqvDataSummaryGroups(TqvDataSummary* ASummary)
    : TCollection(&TqvDataSummaryGroup::StaticClass()), FSummary(ASummary) {}

TqvDataSummaryGroup* TqvDataSummaryGroups::Add() { return static_cast<TqvDataSummaryGroup*>(inherited::Add()); }

TqvDataSummaryGroup* TqvDataSummaryGroups::GetItem(Integer AIndex) const {
  return static_cast<TqvDataSummaryGroup*>(inherited::GetItem(AIndex));
}

TqvDataSummaryGroup* TqvDataSummaryGroups::FindByItemLink(const TObject* AItemLink) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetItem(i)->GetLinks()->IndexOfItemLink(AItemLink) != -1) return GetItem(i);
  return nullptr;
}

TPersistent* TqvDataSummaryGroups::GetOwner() { return FSummary; }

void TqvDataSummaryGroups::Update(TCollectionItem*) { FSummary->RequestRecalculation(false); }

// ---------------------------------------------------------------------------------------------
// TqvDataSummary

namespace {

bool IsSumKind(TqvSummaryKind AKind) { return AKind == skSum || AKind == skAverage; }

// The built-in step of one record's value into the running aggregate; False for text in a sum,
// which would otherwise be joined as text. Variant errors propagate.
bool AddToAggregate(TqvSummaryKind AKind, const Variant& AValue, Variant& AAggregate) {
  if (IsSumKind(AKind) && VarIsStr(AValue)) return false;
  if (VarIsEmpty(AAggregate)) {
    bool nullExtreme = VarIsNull(AValue) && (AKind == skMin || AKind == skMax);
    if (AKind != skCount && !nullExtreme) AAggregate = AValue;
    if (VarIsNull(AAggregate) && IsSumKind(AKind)) AAggregate = 0;
    return true;
  }
  if (VarIsNull(AValue) || VarIsNull(AAggregate)) return true;
  switch (AKind) {
    case skSum:
    case skAverage: AAggregate += AValue; break;
    case skMin:
      if (AValue < AAggregate) AAggregate = AValue;
      break;
    case skMax:
      if (AValue > AAggregate) AAggregate = AValue;
      break;
    default: break;
  }
  return true;
}

}  // namespace

TqvDataSummary::TqvDataSummary(TqvCustomDataController* ADataController) : FDataController(ADataController) {
  FDefaultGroupSummaryItems = MakeOwned<TqvDataGroupSummaryItems>(this, GetItemClass());
  FFooterSummaryItems = MakeOwned<TqvDataFooterSummaryItems>(this, GetItemClass());
  FSummaryGroups = MakeOwned<TqvDataSummaryGroups>(this);
}

TqvDataSummary::~TqvDataSummary() {
  FBeingDestroyed = true;
  FSummaryGroups.reset();
  FFooterSummaryItems.reset();
  FDefaultGroupSummaryItems.reset();
}

void TqvDataSummary::Assign(TPersistent* ASource) {
  auto* source = dynamic_cast<TqvDataSummary*>(ASource);
  if (!source) return inherited::Assign(ASource);
  if (source == this) return;
  {
    TCancellableUpdateScope<TqvDataSummary> update(this);
    FDefaultGroupSummaryItems->Assign(source->FDefaultGroupSummaryItems.get());
    FFooterSummaryItems->Assign(source->FFooterSummaryItems.get());
    FSummaryGroups->Assign(source->FSummaryGroups.get());
    SetOptions(source->FOptions);
  }
  CopyEventHandlers(source);
}

void TqvDataSummary::CopyEventHandlers(TqvDataSummary* ASource) { OnAfterSummary = ASource->OnAfterSummary; }

void TqvDataSummary::BeginUpdate() {
  if (FDataController) FDataController->BeginUpdate();
  ++FLockCount;
}

void TqvDataSummary::EndUpdate() {
  if (FLockCount > 0) --FLockCount;
  RequestRecalculation(false);
  if (FDataController) FDataController->EndUpdate();
}

void TqvDataSummary::CancelUpdate() {
  if (FDataController) FDataController->EndUpdate();
  if (FLockCount > 0) --FLockCount;
}

void TqvDataSummary::RequestRecalculation(bool AItemsChanged) {
  if (FLockCount == 0 && !FAfterSummaryRunning) Changed(AItemsChanged);
}

void TqvDataSummary::Changed(bool AItemsChanged) {
  if (!FBeingDestroyed && FDataController) FDataController->SummaryChanged(AItemsChanged);
}

void TqvDataSummary::SetOptions(TqvSummaryOptions AValue) {
  if (FOptions == AValue) return;
  FOptions = AValue;
  RequestRecalculation(false);
}

TqvDataSummaryItemClass TqvDataSummary::GetItemClass() const {
  return FDataController ? FDataController->GetSummaryItemClass() : nullptr;
}

TCollectionItemClass TqvDataSummary::GetGroupItemLinkClass() const {
  return FDataController ? FDataController->GetSummaryGroupItemLinkClass() : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Removing a field

bool TqvDataSummary::FieldRemovedFrom(TqvDataSummaryItems* AItems, TqvCustomDataField* AField) {
  bool changed = false;
  for (Integer i = 0; i < AItems->GetCount(); ++i) {
    if (AItems->GetItem(i)->GetSummedField() != AField) continue;
    AItems->GetItem(i)->SetSummedField(nullptr);
    changed = true;
  }
  return changed;
}

void TqvDataSummary::FieldRemoved(TqvCustomDataField* AField) {
  if (!AField) return;
  BeginUpdate();
  bool changed = FieldRemovedFrom(FFooterSummaryItems.get(), AField);
  changed = FieldRemovedFrom(FDefaultGroupSummaryItems.get(), AField) || changed;
  for (Integer g = 0; g < FSummaryGroups->GetCount(); ++g) {
    TqvDataSummaryGroup* group = FSummaryGroups->GetItem(g);
    changed = FieldRemovedFrom(group->GetSummaryItems(), AField) || changed;
    TqvDataSummaryGroupItemLinks* links = group->GetLinks();
    for (Integer i = 0; i < links->GetCount(); ++i) {
      if (links->GetItem(i)->GetSummedField() != AField) continue;
      links->GetItem(i)->SetSummedField(nullptr);
      changed = true;
    }
  }
  if (changed)
    EndUpdate();
  else
    CancelUpdate();
}

// ---------------------------------------------------------------------------------------------
// Calculation

void TqvDataSummary::Calculate() {
  CalculateFooterSummary();
  CalculateGroupSummaries();
  DoAfterSummary();
}

void TqvDataSummary::PrepareSelectedRecords() {
  FSelectedRecords.clear();
  if (!(FOptions & soSelectedRecords) || !FDataController) return;
  FSelectedRecords.assign(static_cast<size_t>(std::max<Integer>(FDataController->GetRecordCount(), 0)), false);
  TqvDataSelection* selection = FDataController->GetDataControllerInfo()->GetSelection();
  for (Integer i = 0; i < selection->GetCount(); ++i) {
    const TqvDataSelectionInfo& entry = selection->GetItem(i);
    if (entry.Level >= 0 && entry.RecordIndex >= 0 && entry.RecordIndex < static_cast<Integer>(FSelectedRecords.size()))
      FSelectedRecords[static_cast<size_t>(entry.RecordIndex)] = true;
  }
}

void TqvDataSummary::CalculateFooterSummary() {
  TAccumulators values;
  InitValues(FFooterSummaryItems.get(), values);
  if (FDataController && !FDataController->IsGridMode()) {
    PrepareSelectedRecords();
    Integer count = FDataController->GetDataControllerInfo()->GetFilteredRecordCount();
    if (count > 0) AccumulateRange(FFooterSummaryItems.get(), 0, count - 1, values);
  }
  FFooterValues = FinishValues(FFooterSummaryItems.get(), values);
}

void TqvDataSummary::CalculateGroupSummaries() {
  if (!FDataController) return;
  PrepareSelectedRecords();
  TqvDataGroups* groups = FDataController->GetDataControllerInfo()->GetDataGroups();
  for (Integer level = 0; level < groups->GetFieldCount(); ++level) CalculateLevel(level);
}

// Walks the groups in tree order: a group of ALevel starts new values, which the records of the
// deepest groups below it feed until the next group of ALevel.
void TqvDataSummary::CalculateLevel(Integer ALevel) {
  TqvDataGroupSummaryItems* items = GetGroupSummaryItems(ALevel);
  if (!items) return;
  TqvDataGroups* groups = FDataController->GetDataControllerInfo()->GetDataGroups();
  Integer current = -1;
  TAccumulators values;
  for (Integer g = 0; g < groups->GetCount(); ++g) {
    TqvDataGroupInfo& group = groups->GetItem(g);
    if (group.Level == ALevel) {
      if (current != -1) groups->GetItem(current).SummaryValues = FinishValues(items, values);
      current = g;
      InitValues(items, values);
    }
    if (current != -1 && groups->IsDeepest(g)) AccumulateRange(items, group.FirstIndex, group.LastIndex, values);
  }
  if (current != -1) groups->GetItem(current).SummaryValues = FinishValues(items, values);
}

void TqvDataSummary::InitValues(const TqvDataSummaryItems* AItems, TAccumulators& AValues) const {
  AValues.assign(static_cast<size_t>(AItems->GetCount()), TAccumulator());
}

void TqvDataSummary::AccumulateRange(TqvDataSummaryItems* AItems, Integer AFrom, Integer ATo, TAccumulators& AValues) {
  const Integer itemCount = std::min(AItems->GetCount(), static_cast<Integer>(AValues.size()));
  if (itemCount == 0) return;
  for (Integer position = AFrom; position <= ATo; ++position) {
    Integer record = GetRecordIndexToSum(position);
    if (record == -1) continue;
    for (Integer i = 0; i < itemCount; ++i) AccumulateRecord(AItems->GetItem(i), record, AValues[static_cast<size_t>(i)]);
  }
}

Integer TqvDataSummary::GetRecordIndexToSum(Integer APosition) const {
  const std::vector<Integer>& list = FDataController->GetDataControllerInfo()->GetRecordList();
  if (APosition < 0 || APosition >= static_cast<Integer>(list.size())) return -1;
  Integer record = list[static_cast<size_t>(APosition)];
  if (!(FOptions & soSelectedRecords)) return record;
  bool selected = record >= 0 && record < static_cast<Integer>(FSelectedRecords.size()) &&
                  FSelectedRecords[static_cast<size_t>(record)];
  return selected ? record : -1;
}

void TqvDataSummary::AccumulateRecord(TqvDataSummaryItem* AItem, Integer ARecordIndex, TAccumulator& AValue) {
  TqvCustomDataField* field = AItem->GetDataField();
  if (!field || AValue.Failed) return;
  Variant value = FDataController->GetFieldValue(ARecordIndex, field);
  TqvDataSummaryItems* items = AItem->GetSummaryItems();
  if (items && items->OnSummary) {
    TqvSummaryEventArguments arguments{ARecordIndex, AItem};
    TqvSummaryEventOutArguments out{value, AValue.Value, AValue.Count, false};
    items->OnSummary(items, arguments, out);
    AValue.Value = out.Aggregate;
    AValue.Count = out.RunningCount;
    value = out.RecordValue;
    if (out.Handled) return;
  }
  const TqvSummaryKind kind = AItem->GetKind();
  if (kind == skNone || ((FOptions & soNullIgnore) && VarIsNull(value))) return;
  // Text in a sum, or values that do not add up or compare: this item shows Null.
  try {
    AValue.Failed = !AddToAggregate(kind, value, AValue.Value);
  } catch (const Exception&) {
    AValue.Failed = true;
  }
  if (!AValue.Failed) ++AValue.Count;
}

void TqvDataSummary::FinishValue(const TqvDataSummaryItem* AItem, TAccumulator& AValue) const {
  if (!AItem->GetDataField()) return;
  if (AValue.Failed || VarIsEmpty(AValue.Value)) AValue.Value = Null();
  if (AValue.Failed) return;
  if (AItem->GetKind() == skCount) {
    AValue.Value = AValue.Count;
  } else if (AItem->GetKind() == skAverage && AValue.Count > 0) {
    try {
      bool isDate = VarIsDateEx(AValue.Value);
      AValue.Value = AValue.Value / Variant(AValue.Count);
      if (isDate && !VarIsNull(AValue.Value)) AValue.Value = VarFromDateTime(AValue.Value.AsDouble());
    } catch (const Exception&) {
      AValue.Value = Null();
    }
  }
}

Variant TqvDataSummary::FinishValues(const TqvDataSummaryItems* AItems, TAccumulators& AValues) const {
  std::vector<Variant> results;
  results.reserve(AValues.size());
  for (size_t i = 0; i < AValues.size(); ++i) {
    FinishValue(AItems->GetItem(static_cast<Integer>(i)), AValues[i]);
    results.push_back(AValues[i].Value);
  }
  return VarArrayOf(results);
}

void TqvDataSummary::DoAfterSummary() {
  if (!OnAfterSummary || !FDataController) return;
  if (FDataController->IsOwnerLoading()) {
    FDataController->SetAfterSummaryHeldBack(true);
    return;
  }
  FDataController->SetAfterSummaryHeldBack(false);
  if (FDataController->IsPattern()) return;
  // The summary goes with its controller.
  TValueScope running(FAfterSummaryRunning, true, FDataController->AliveToken());
  TqvAfterSummaryEvent handler = OnAfterSummary;
  handler(this);
}

// ---------------------------------------------------------------------------------------------
// Values and texts

bool TqvDataSummary::IsValidValueIndex(const Variant& AValues, Integer AIndex) const {
  return VarIsArray(AValues) && AIndex >= AValues.ArrayLowBound() && AIndex <= AValues.ArrayHighBound();
}

Variant TqvDataSummary::GetFooterSummaryValue(Integer AIndex) const {
  return IsValidValueIndex(FFooterValues, AIndex) ? FFooterValues.GetElement(AIndex) : Null();
}

String TqvDataSummary::GetFooterSummaryDisplayText(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= FFooterSummaryItems->GetCount()) return String();
  return FFooterSummaryItems->GetItem(AIndex)->FormatValue(GetFooterSummaryValue(AIndex), true);
}

TqvDataGroupSummaryItems* TqvDataSummary::GetGroupSummaryItems(Integer ALevel) const {
  if (!FDataController) return nullptr;
  TqvGroupingFieldList* grouping = FDataController->GetDataControllerInfo()->GetGroupingFieldList();
  if (ALevel < 0 || ALevel >= grouping->GetCount()) return nullptr;
  TqvCustomDataField* field = grouping->GetItem(ALevel).Field;
  for (Integer g = 0; g < FSummaryGroups->GetCount(); ++g) {
    TqvDataSummaryGroup* group = FSummaryGroups->GetItem(g);
    TqvDataSummaryGroupItemLinks* links = group->GetLinks();
    for (Integer i = 0; i < links->GetCount(); ++i)
      if (links->GetItem(i)->GetSummedField() == field) return group->GetSummaryItems();
  }
  return FDefaultGroupSummaryItems.get();
}

// The group shown by a row (ALevel -1) or the group of ALevel a row lies in; -1 when none.
Integer TqvDataSummary::GroupOfRow(Integer ARowIndex, Integer ALevel) const {
  if (!FDataController || ARowIndex < 0 || ARowIndex >= FDataController->GetRowCount()) return -1;
  TqvDataGroups* groups = FDataController->GetDataControllerInfo()->GetDataGroups();
  if (ALevel != -1) return groups->GetGroupIndexByRowIndex(ARowIndex, ALevel);
  Integer above = -1;
  return groups->FindByRowIndex(ARowIndex, above);
}

String TqvDataSummary::GetGroupSummaryDisplayText(Integer ARowIndex) const {
  Integer group = GroupOfRow(ARowIndex, -1);
  if (group == -1) return String();
  const TqvDataGroupInfo& info = FDataController->GetDataControllerInfo()->GetDataGroups()->GetItem(group);
  TqvDataGroupSummaryItems* items = GetGroupSummaryItems(info.Level);
  return items ? items->GetValuesText(info.SummaryValues) : String();
}

Integer TqvDataSummary::GetGroupFooterItemIndex(Integer ALevel, const TObject* AItemLink) const {
  TqvDataGroupSummaryItems* items = GetGroupSummaryItems(ALevel);
  if (!items) return -1;
  for (Integer i = 0; i < items->GetCount(); ++i) {
    TqvDataSummaryItem* item = items->GetItem(i);
    if (item->GetPosition() == spFooter && item->GetItemLink() == AItemLink) return i;
  }
  return -1;
}

String TqvDataSummary::GetGroupFooterDisplayText(Integer ARowIndex, Integer ALevel, Integer AItemIndex) const {
  Integer group = GroupOfRow(ARowIndex, ALevel);
  TqvDataGroupSummaryItems* items = GetGroupSummaryItems(ALevel);
  if (group == -1 || !items || AItemIndex < 0 || AItemIndex >= items->GetCount()) return String();
  const Variant& values = FDataController->GetDataControllerInfo()->GetDataGroups()->GetItem(group).SummaryValues;
  if (!IsValidValueIndex(values, AItemIndex)) return String();
  return items->GetItem(AItemIndex)->FormatValue(values.GetElement(AItemIndex), true);
}
