// The builder's criteria, its rows, and the conversions between criteria and rows.
#include <algorithm>

#include "editors/qvTextEdit.h"
#include "grid/qvFilterControl.h"
#include "platform/rtl/Scopes.h"

const TResourceString sqvFilterControlCantBuild{64101, "Can't build filter from source"};
const TResourceString sqvFilterControlGroupCaption{64102, "applies to the following conditions"};
const TResourceString sqvFilterControlRootButton{64103, "Filter"};

QJ_IMPLEMENT_CLASS(EqvFilterControlError)
QJ_IMPLEMENT_CLASS(TqvFilterControlCriteria)
QJ_IMPLEMENT_CLASS(TqvFilterControlCriteriaItem)
QJ_IMPLEMENT_CLASS(TqvCustomRowViewInfo)
QJ_IMPLEMENT_CLASS(TqvGroupViewInfo)
QJ_IMPLEMENT_CLASS(TqvValueInfo)
QJ_IMPLEMENT_CLASS(TqvValuesViewInfo)
QJ_IMPLEMENT_CLASS(TqvConditionViewInfo)

// ---------------------------------------------------------------------------------------------
// Criteria

// An ID travels as an odd address: never an object, never nil (ID 0 included).
TObject* TqvFilterControlCriteria::IDToLink(Integer AID) {
  return reinterpret_cast<TObject*>(static_cast<intptr_t>(AID) * 2 + 1);
}

Integer TqvFilterControlCriteria::LinkToID(TObject* ALink) {
  if (!ALink) return -1;
  return static_cast<Integer>((reinterpret_cast<intptr_t>(ALink) - 1) / 2);
}

TqvFilterCriteriaItemClass TqvFilterControlCriteria::GetItemClass() const {
  return &TqvFilterControlCriteriaItem::StaticClass();
}

Integer TqvFilterControlCriteriaItem::FindLinkedIndex() const {
  auto* criteria = As<TqvFilterControlCriteria>(GetCriteria());
  IqvFilterControl* link = criteria && criteria->GetControl() ? criteria->GetControl()->GetFilterLink() : nullptr;
  if (!link) return -1;
  const Integer id = GetItemID();
  for (Integer i = 0; i < link->GetCount(); ++i)
    if (link->GetItemLink(i) == id) return i;
  return -1;
}

String TqvFilterControlCriteriaItem::GetFieldCaption() {
  const Integer index = FindLinkedIndex();
  if (index < 0) return String();
  auto* criteria = static_cast<TqvFilterControlCriteria*>(GetCriteria());
  return criteria->GetControl()->GetFilterLink()->GetCaption(index);
}

String TqvFilterControlCriteriaItem::GetFieldName() {
  const Integer index = FindLinkedIndex();
  if (index < 0) return String();
  auto* criteria = static_cast<TqvFilterControlCriteria*>(GetCriteria());
  return criteria->GetControl()->GetFilterLink()->GetFieldName(index);
}

TqvFilterOperatorClass TqvFilterControlCriteriaItem::GetOperatorClass() {
  TqvFilterOperatorClass result = inherited::GetOperatorClass();
  if (auto* criteria = As<TqvFilterControlCriteria>(GetCriteria()); criteria && criteria->GetControl())
    criteria->GetControl()->ChangeOperatorClass(result);
  return result;
}

// ---------------------------------------------------------------------------------------------
// Rows

TqvCustomRowViewInfo::TqvCustomRowViewInfo(TqvCustomFilterControl* AControl, TqvGroupViewInfo* AParent)
    : Control(AControl), Parent(AParent) {}

TqvCustomRowViewInfo::~TqvCustomRowViewInfo() {
  if (!Parent) return;
  auto& rows = Parent->Rows;
  rows.erase(std::remove(rows.begin(), rows.end(), this), rows.end());
}

bool TqvCustomRowViewInfo::IsGroup() const { return dynamic_cast<const TqvGroupViewInfo*>(this) != nullptr; }

bool TqvCustomRowViewInfo::IsLastChild() const { return !Parent || Parent->Rows.empty() || Parent->Rows.back() == this; }

TqvGroupViewInfo::TqvGroupViewInfo(TqvCustomFilterControl* AControl, TqvGroupViewInfo* AParent,
                                   TqvFilterCriteriaItemList* ACriteriaList)
    : TqvCustomRowViewInfo(AControl, AParent),
      BoolOperator(ACriteriaList ? ACriteriaList->GetJoinKind() : fjkAnd),
      Caption(GetLocalizedResourceString(&sqvFilterControlGroupCaption)) {}

TqvGroupViewInfo::~TqvGroupViewInfo() { ClearRows(); }

void TqvGroupViewInfo::ClearRows() {
  while (!Rows.empty()) Free(Rows.back());  // a freed row leaves the list
}

Integer TqvGroupViewInfo::IndexOf(const TqvCustomRowViewInfo* ARow) const {
  auto it = std::find(Rows.begin(), Rows.end(), ARow);
  return it == Rows.end() ? -1 : static_cast<Integer>(it - Rows.begin());
}

TqvValueInfo::TqvValueInfo() : Value(Null()) {}
TqvValueInfo::~TqvValueInfo() = default;

TqvValuesViewInfo::~TqvValuesViewInfo() = default;

TqvValueInfo* TqvValuesViewInfo::AddValue() {
  FValues.push_back(MakeOwned<TqvValueInfo>());
  return FValues.back().get();
}

void TqvValuesViewInfo::DeleteValue(Integer AIndex) {
  if (AIndex < 0 || AIndex >= GetCount()) return;
  FValues.erase(FValues.begin() + AIndex);
}

void TqvValuesViewInfo::Clear() { FValues.clear(); }

Integer TqvValuesViewInfo::ValueAt(const TPoint& P) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetValue(i)->ValueRect.Contains(P)) return i;
  return -1;
}

// ---------------------------------------------------------------------------------------------
// Conditions

TqvConditionViewInfo::TqvConditionViewInfo(TqvCustomFilterControl* AControl, TqvGroupViewInfo* AParent,
                                           TqvFilterCriteriaItem* ACriteriaItem)
    : TqvCustomRowViewInfo(AControl, AParent), Values(MakeOwned<TqvValuesViewInfo>(this)) {
  if (!ACriteriaItem) {
    SetItemIndex(0);
    return;
  }
  ItemLink = TqvFilterControlCriteria::LinkToID(ACriteriaItem->GetItemLinkObject());
  ItemIndex = FindItemIndex();
  IqvFilterControl* link = Control->GetFilterLink();
  if (!Control->HasItems() || ItemIndex < 0 || ItemIndex >= link->GetCount())
    RaiseResourceError<EqvFilterControlError>(&sqvFilterControlCantBuild);
  ItemText = link->GetCaption(ItemIndex);
  TqvFilterCriteria* criteria = ACriteriaItem->GetCriteria();
  const Variant& value = ACriteriaItem->GetValue();
  const bool isNull = criteria ? criteria->IsNullValue(value) : VarIsNull(value);
  Operator = OperatorKindToRowOperator(ACriteriaItem->GetOperatorKind(), isNull);
  if (IsBetween() || IsInList()) {
    const String& texts = ACriteriaItem->GetDisplayValue();
    Integer pos = 1;
    if (VarIsArray(value)) {
      for (Integer i = VarArrayLowBound(value, 1); i <= VarArrayHighBound(value, 1); ++i) {
        TqvValueInfo* info = Values->AddValue();
        info->Value = VarArrayGet(value, i);
        info->ValueText = ExtractNextListItem(texts, pos);
      }
    }
  } else {
    TqvValueInfo* info = Values->AddValue();
    info->Value = value;
    info->ValueText = ACriteriaItem->GetDisplayValue();
  }
  // A malformed range or list (not an array) still gives a row that keeps the invariants.
  if (Values->GetCount() == 0 || (IsBetween() && Values->GetCount() != 2)) AdjustValues(true);
  InitializeEditor();
}

TqvConditionViewInfo::~TqvConditionViewInfo() { FreeEditData(); }

void TqvConditionViewInfo::FreeEditData() {
  TqvCustomEditData* data = FEditData;
  FEditData = nullptr;
  Free(data);
}

bool TqvConditionViewInfo::HasValues() const {
  return Operator != froBlank && Operator != froNotBlank && !(Operator >= froYesterday && Operator <= froNextYear);
}

Integer TqvConditionViewInfo::FindItemIndex() const {
  IqvFilterControl* link = Control->GetFilterLink();
  if (!link) return -1;
  for (Integer i = 0; i < link->GetCount(); ++i)
    if (link->GetItemLink(i) == ItemLink) return i;
  return -1;
}

TqvCustomEditProperties* TqvConditionViewInfo::GetSourceProperties() const {
  TqvCustomEditProperties* result = nullptr;
  IqvFilterControl* link = Control->GetFilterLink();
  if (Control->HasItems() && ItemIndex >= 0 && ItemIndex < link->GetCount()) result = link->GetProperties(ItemIndex);
  return result ? result : Control->GetDefaultProperties();
}

void TqvConditionViewInfo::InitializeEditor() {
  FreeEditData();
  EditorProperties.reset();
  TqvCustomEditProperties* source = GetSourceProperties();
  EditorHelper = GetFilterEditsController()->FindHelper(source->ClassType());
  if (!EditorHelper) EditorHelper = TqvFilterTextEditHelper::Class();
  TqvCustomEditPropertiesClass propertiesClass = EditorHelper->GetValueEditPropertiesClass();
  if (!propertiesClass) propertiesClass = &source->GetClassInfo();
  EditorProperties.reset(propertiesClass->Create(nullptr));
  EditorHelper->PrepareProperties(EditorProperties.get(), source, true);
  SupportedOperators = EditorHelper->GetOperators(source, true);
  IqvFilterControl* link = Control->GetFilterLink();
  ValueTypeClass = Control->HasItems() && ItemIndex >= 0 && ItemIndex < link->GetCount()
                       ? link->GetValueTypeClass(ItemIndex)
                       : nullptr;
  if (ValueTypeClass && !ValueTypeClass->IsString()) SupportedOperators &= ~(froBit(froLike) | froBit(froNotLike));
}

void TqvConditionViewInfo::SetItemIndex(Integer AIndex) {
  if (AIndex == ItemIndex) return;
  // The open editor may be the pooled one the list is about to free: it is closed first.
  TqvCustomEdit* openEditor = Control->GetValueEditor();
  TqvCustomEditProperties* openProperties = openEditor ? openEditor->GetActiveProperties() : nullptr;
  if (openEditor) Control->HideValueEditor(false);
  IqvFilterControl* link = Control->GetFilterLink();
  ItemIndex = AIndex;
  const bool known = link && AIndex >= 0 && AIndex < link->GetCount();
  ItemLink = known ? link->GetItemLink(AIndex) : -1;
  ItemText = known ? link->GetCaption(AIndex) : String();
  InitializeEditor();
  if (froIncludes(SupportedOperators, froLike) && ValueTypeClass && ValueTypeClass->IsString()) {
    Operator = froLike;
  } else {
    for (Integer op = froEquals; op < qvFilterRowOperatorCount; ++op)
      if (froIncludes(SupportedOperators, TqvFilterRowOperator(op))) {
        Operator = TqvFilterRowOperator(op);
        break;
      }
  }
  AdjustValues(false);
  if (Control->GetViewInfo()->RowHeight > 0) Values->Calculate();
  if (openProperties) Control->GetInplaceEditList()->RemoveItem(openProperties);
}

void TqvConditionViewInfo::AdjustValues(bool AKeep) {
  if (AKeep && HasValues()) {
    if (IsBetween()) {
      while (Values->GetCount() > 2) Values->DeleteValue(Values->GetCount() - 1);
      while (Values->GetCount() < 2) Values->AddValue();
    } else if (!IsInList()) {
      while (Values->GetCount() > 1) Values->DeleteValue(Values->GetCount() - 1);
    }
    if (Values->GetCount() == 0) Values->AddValue();
    return;
  }
  Values->Clear();
  Values->AddValue();
  if (IsBetween()) Values->AddValue();
}

// ---------------------------------------------------------------------------------------------
// Criteria to rows and back

void TqvCustomFilterControl::BuildGroup(TqvGroupViewInfo* AGroup, TqvFilterCriteriaItemList* AList) {
  for (Integer i = 0; i < AList->GetCount(); ++i) {
    TqvCustomFilterCriteriaItem* item = AList->GetItem(i);
    if (item->IsItemList()) {
      auto* list = static_cast<TqvFilterCriteriaItemList*>(item);
      TqvGroupViewInfo* group = AGroup->Append(MakeOwned<TqvGroupViewInfo>(this, AGroup, list));
      BuildGroup(group, list);
    } else {
      AGroup->Append(MakeOwned<TqvConditionViewInfo>(this, AGroup, static_cast<TqvFilterCriteriaItem*>(item)));
    }
  }
}

TOwned<TqvGroupViewInfo> TqvCustomFilterControl::BuildRoot(TqvFilterCriteria* ACriteria) {
  auto root = MakeOwned<TqvGroupViewInfo>(this, nullptr, ACriteria->GetRoot());
  BuildGroup(root.get(), ACriteria->GetRoot());
  return root;
}

void TqvCustomFilterControl::AdoptRows(TqvGroupViewInfo* ASource) {
  FRootRow->BoolOperator = ASource->BoolOperator;
  for (TqvCustomRowViewInfo* row : ASource->Rows) {
    row->Parent = FRootRow.get();
    FRootRow->Rows.push_back(row);
  }
  ASource->Rows.clear();
}

void TqvCustomFilterControl::BuildRows() {
  TUpdateScope<TqvCustomFilterControl> update(*this);
  // The rows are made beside the shown ones: a condition on an item the link does not offer
  // leaves the builder as it was.
  TOwned<TqvGroupViewInfo> root = BuildRoot(FCriteria.get());
  ClearRows();
  AdoptRows(root.get());
  RebuildRowList();
}

bool TqvCustomFilterControl::AreRowsComplete() { return FindIncompleteRow() == nullptr; }

TqvConditionViewInfo* TqvCustomFilterControl::FindIncompleteRow() {
  for (TqvCustomRowViewInfo* row : FRowList)
    if (!row->IsComplete()) return As<TqvConditionViewInfo>(row);
  return nullptr;
}

bool TqvCustomFilterControl::FocusIncompleteRow() {
  TqvConditionViewInfo* row = FindIncompleteRow();
  if (!row) return false;
  FFocusedInfo.Row = row;
  FFocusedInfo.ValueIndex = -1;
  SetFocusKind(fhkItem);
  if (CanFocus()) SetFocus();
  return true;
}

bool TqvCustomFilterControl::WriteCriteria() {
  HideValueEditor(true);
  if (!AreRowsComplete()) return false;
  {
    TUpdateScope update(FCriteria.get());
    FCriteria->Clear();
    WriteGroup(FRootRow.get(), FCriteria->GetRoot());
  }
  return true;
}

void TqvCustomFilterControl::WriteGroup(TqvGroupViewInfo* AGroup, TqvFilterCriteriaItemList* AList) {
  AList->SetJoinKind(AGroup->BoolOperator);
  for (TqvCustomRowViewInfo* row : AGroup->Rows) {
    if (auto* group = As<TqvGroupViewInfo>(row))
      WriteGroup(group, AList->AddItemList(fjkAnd));
    else
      WriteCondition(static_cast<TqvConditionViewInfo*>(row), AList);
  }
}

namespace {

String BlankCaption() { return GetFilterResourceString(&sqvFilterBlankCaption); }

// "blank" for Null and, with AStringCheck, for the empty text; else the value's own text.
String ValueDisplayText(const TqvValueInfo* AValue, bool AStringCheck) {
  if (VarIsNull(AValue->Value)) return BlankCaption();
  if (AStringCheck && VarIsStr(AValue->Value) && VarToStr(AValue->Value).empty()) return BlankCaption();
  return AValue->ValueText;
}

}  // namespace

void TqvCustomFilterControl::WriteCondition(TqvConditionViewInfo* ACondition, TqvFilterCriteriaItemList* AList) {
  TqvValuesViewInfo* values = ACondition->Values.get();
  TObject* link = TqvFilterControlCriteria::IDToLink(ACondition->ItemLink);
  const TqvFilterOperatorKind kind = RowOperatorToOperatorKind(ACondition->Operator);
  const TqvValueInfo* first = values->GetCount() > 0 ? values->GetValue(0) : nullptr;
  Variant value = first ? first->Value : Null();
  String text;
  switch (ACondition->Operator) {
    case froEquals:
    case froNotEquals:
      text = first ? ValueDisplayText(first, false) : BlankCaption();
      break;
    case froBlank:
    case froNotBlank:
      text = BlankCaption();
      break;
    case froBetween:
    case froNotBetween: {
      const TqvValueInfo* second = values->GetCount() > 1 ? values->GetValue(1) : first;
      if (first && second) {
        const bool ascending = VarCompareEx(first->Value, second->Value) < 0;
        const TqvValueInfo* low = ascending ? first : second;
        const TqvValueInfo* high = ascending ? second : first;
        value = VarArrayOfTwo(low->Value, high->Value);
        text = ValueDisplayText(low, false) + ";" + ValueDisplayText(high, false);
      }
      break;
    }
    case froIn:
    case froNotIn: {
      std::vector<Variant> all;
      for (Integer i = 0; i < values->GetCount(); ++i) {
        all.push_back(values->GetValue(i)->Value);
        if (i > 0) text += ";";
        text += ValueDisplayText(values->GetValue(i), false);
      }
      value = VarArrayOf(all);
      break;
    }
    default:
      text = first ? ValueDisplayText(first, true) : BlankCaption();
      break;
  }
  AList->AddItem(link, kind, value, text);
}
