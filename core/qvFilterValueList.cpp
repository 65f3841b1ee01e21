// Value lists of filter drop-downs: the special entries, then the distinct values of an item in
// ascending order, found by binary search.
#include "core/qvClasses.h"
#include "core/qvCustomData.h"
#include "core/qvFilter.h"
#include "platform/rtl/ClassesConsts.h"

QJ_IMPLEMENT_CLASS(TqvFilterValueList)

TqvFilterValueList::~TqvFilterValueList() { Clear(); }

Integer TqvFilterValueList::CompareItem(Integer AIndex, const Variant& AValue, const String& ADisplayText) {
  const TqvFilterValueItem& entry = GetItem(AIndex);
  const bool caseInsensitive = FOwnerCriteria && FOwnerCriteria->HasOption(fcoCaseInsensitive);
  if (FSortByDisplayText) {
    if (caseInsensitive) return AnsiCompareStr(AnsiUpperCase(entry.EntryText), AnsiUpperCase(ADisplayText));
    return AnsiCompareStr(entry.EntryText, ADisplayText);
  }
  if (!FOwnerCriteria) return VarCompareEx(entry.EntryValue, AValue);
  return VarCompareEx(FOwnerCriteria->NormalizeValue(entry.EntryValue), FOwnerCriteria->NormalizeValue(AValue));
}

void TqvFilterValueList::Add(TqvFilterValueItemKind AKind, const Variant& AValue, bool AAddToEnd,
                             const String& ADisplayText) {
  const bool special = AKind != fvkValue;
  Integer index = special ? FSpecialCount : GetCount();
  if (!special && !AAddToEnd) {
    const Integer maxCount = FOwnerCriteria ? FOwnerCriteria->GetMaxValueListCount() : 0;
    if (maxCount > 0 && GetCount() >= maxCount) return;
    if (Find(AValue, ADisplayText, index)) return;
  }
  auto entry = std::make_unique<TqvFilterValueItem>(TqvFilterValueItem{AKind, AValue, ADisplayText});
  FItems.insert(FItems.begin() + index, entry.get());
  entry.release();
  if (special) ++FSpecialCount;
}

void TqvFilterValueList::Clear() {
  for (TqvFilterValueItem* entry : FItems) delete entry;
  FItems.clear();
  FSpecialCount = 0;
}

bool TqvFilterValueList::Find(const Variant& AValue, const String& ADisplayText, Integer& AIndex) {
  Integer low = FSpecialCount;
  Integer high = GetCount() - 1;
  while (low <= high) {
    Integer middle = (low + high) / 2;
    Integer compare = CompareItem(middle, AValue, ADisplayText);
    if (compare < 0) {
      low = middle + 1;
    } else if (compare > 0) {
      high = middle - 1;
    } else {
      AIndex = middle;
      return true;
    }
  }
  AIndex = low;
  return false;
}

Integer TqvFilterValueList::GetIndexOfCriteriaItem(TqvFilterCriteriaItem* AItem) {
  if (!AItem) return -1;
  const TqvFilterOperatorKind kind = AItem->GetOperatorKind();
  if (AItem->IsNullValue(AItem->GetValue()) && (kind == okEqual || kind == okNotEqual))
    return IndexOfKind(kind == okEqual ? fvkBlanks : fvkNonBlanks);
  TqvFilterCriteria* criteria = AItem->GetCriteria();
  const bool atRoot = criteria && AItem->GetParent() == criteria->GetRoot();
  if (!atRoot || kind != okEqual) return IndexOfKind(fvkCustom);
  Integer index;
  if (Find(AItem->GetValue(), AItem->GetDisplayValue(), index)) return index;
  return IndexOfKind(fvkAll);
}

TqvFilterValueItem& TqvFilterValueList::GetItem(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetCount()) RaiseResourceError<EListError>(&SListIndexError, {AIndex});
  return *FItems[AIndex];
}

void TqvFilterValueList::Delete(Integer AIndex) {
  GetItem(AIndex);
  if (AIndex < FSpecialCount) --FSpecialCount;
  delete FItems[AIndex];
  FItems.erase(FItems.begin() + AIndex);
}

Integer TqvFilterValueList::IndexOfKind(TqvFilterValueItemKind AKind) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (FItems[i]->EntryKind == AKind) return i;
  return -1;
}

// ---------------------------------------------------------------------------------------------
// Value lists of a data controller's items

QJ_IMPLEMENT_CLASS(TqvDataFilterValueList)

TqvDataFilterCriteria* TqvDataFilterValueList::GetDataFilter() const {
  return dynamic_cast<TqvDataFilterCriteria*>(GetOwnerCriteria());
}

void TqvDataFilterValueList::Load(Integer AItemIndex) {
  Clear();
  TqvDataFilterCriteria* filter = GetDataFilter();
  TqvCustomDataController* controller = filter ? filter->GetDataController() : nullptr;
  if (!controller) return;
  TqvCustomDataField* field = controller->GetField(AItemIndex);
  SetSortByDisplayText(controller->GetItemValueSource(AItemIndex) != 1);
  Add(fvkAll, Null(), false, GetFilterResourceString(&sqvFilterBoxAllCaption));
  Add(fvkCustom, Null(), false, GetFilterResourceString(&sqvFilterBoxCustomCaption));
  bool hasBlanks = controller->IsGridMode();
  if (!hasBlanks) {
    const Integer recordCount = controller->GetRecordCount();
    for (Integer r = 0; r < recordCount; ++r) {
      Variant value = controller->GetFilterValue(r, field);
      if (filter->IsNullValue(value))
        hasBlanks = true;
      else
        Add(fvkValue, value, false, controller->GetFilterDisplayText(r, AItemIndex));
    }
  }
  if (hasBlanks) {
    Add(fvkBlanks, Null(), false, GetFilterResourceString(&sqvFilterBoxBlanksCaption));
    Add(fvkNonBlanks, Null(), false, GetFilterResourceString(&sqvFilterBoxNonBlanksCaption));
  }
  if (filter->OnGetValueList) filter->OnGetValueList(filter, AItemIndex, this);
}
