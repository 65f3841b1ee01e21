// Tree list bands: settings, fixing at the edges, moving with the columns renumbered, and the
// collection's visible-band queries.
#include "treelist/zmTLBands.h"

#include <algorithm>

#include "platform/rtl/Scopes.h"
#include "treelist/zmTLControl.h"

QJ_IMPLEMENT_CLASS(TzmTreeListBand)
QJ_IMPLEMENT_CLASS(TzmTreeListBands)

// ---------------------------------------------------------------------------------------------
// TzmTreeListBand

TzmTreeListBands* TzmTreeListBand::GetBands() const { return As<TzmTreeListBands>(GetCollection()); }

TCustomzmTreeListControl* TzmTreeListBand::GetTreeList() const {
  TzmTreeListBands* bands = GetBands();
  return bands ? bands->GetTreeList() : nullptr;
}

void TzmTreeListBand::BeforeDestruction() {
  TCustomzmTreeListControl* control = GetTreeList();
  bool inheritedLoading = control && control->HasState(csLoading) && control->HasState(csAncestor);
  if (control && !control->IsDestroying() && !inheritedLoading) control->BandDeleted(GetIndex());
  inherited::BeforeDestruction();
}

void TzmTreeListBand::RestoreDefaults() {
  FAlignment = taCenter;
  FFixed = bfNone;
  FMinWidth = 30;
  FOnlyOwnColumns = false;
  FSizing = true;
  FWidth = 250;
}

// The minimum width goes before the width, the visibility before the fixing, so that each copied
// value holds.
void TzmTreeListBand::Assign(TPersistent* Source) {
  auto* source = As<TzmTreeListBand>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TCollection* collection = GetCollection();
  TUpdateScope update(collection);
  RestoreDefaults();
  SetAlignment(source->FAlignment);
  SetCaption(source->FCaption);
  SetMinWidth(source->FMinWidth);
  SetOnlyOwnColumns(source->FOnlyOwnColumns);
  SetSizing(source->FSizing);
  SetVisible(source->FVisible);
  SetFixed(source->FFixed);
  SetWidth(source->FWidth);
  SetDisableCustomizing(source->FDisableCustomizing);
  SetDisableDragging(source->FDisableDragging);
}

void TzmTreeListBand::SetIndex(Integer Value) {
  TCollection* collection = GetCollection();
  if (!collection) return;
  Value = std::clamp(Value, 0, collection->GetCount() - 1);
  Integer current = GetIndex();
  if (FFixed != bfNone || Value == current) return;
  if (TCustomzmTreeListControl* control = GetTreeList()) control->BandMoved(current, Value);
  inherited::SetIndex(Value);
}

Integer TzmTreeListBand::GetVisibleIndex() const {
  TzmTreeListBands* bands = GetBands();
  return bands && bands->GetTreeList() ? bands->GetVisibleIndexOf(GetIndex()) : 0;
}

Integer TzmTreeListBand::GetRowCount() const {
  TCustomzmTreeListControl* control = GetTreeList();
  return control ? control->GetHeaderRowCount(GetVisibleIndex()) : 0;
}

Integer TzmTreeListBand::GetRowColCount(Integer Row) const {
  TCustomzmTreeListControl* control = GetTreeList();
  return control ? control->GetHeaderColCount(GetVisibleIndex(), Row) : 0;
}

TzmTreeListColumn* TzmTreeListBand::GetColumnAt(Integer Row, Integer Col) const {
  TCustomzmTreeListControl* control = GetTreeList();
  return control ? control->ColumnAt(control->GetHeaderColumnIndex(GetVisibleIndex(), Row, Col)) : nullptr;
}

void TzmTreeListBand::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Changed(false);
}

void TzmTreeListBand::SetCaption(const String& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  Changed(false);
}

void TzmTreeListBand::SetDisableCustomizing(bool Value) {
  if (Value == FDisableCustomizing) return;
  FDisableCustomizing = Value;
  Changed(false);
}

void TzmTreeListBand::SetSizing(bool Value) {
  if (Value == FSizing) return;
  FSizing = Value;
  Changed(false);
}

void TzmTreeListBand::SetMinWidth(Integer Value) {
  Value = std::max(Value, 0);
  if (Value == FMinWidth) return;
  FMinWidth = Value;
  SetWidth(FWidth);
}

void TzmTreeListBand::SetWidth(Integer Value) {
  Value = std::max(Value, FMinWidth);
  TCustomzmTreeListControl* control = GetTreeList();
  if (Value == FWidth && !(control && control->UsesDefaultLayout())) return;
  FWidth = Value;
  Changed(true);
}

void TzmTreeListBand::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  if (!Value) FFixed = bfNone;
  Changed(true);
}

void TzmTreeListBand::SetFixed(TzmGridBandFixed Value) {
  if (Value == FFixed) return;
  FFixed = bfNone;
  TzmTreeListBands* bands = GetBands();
  if (Value != bfNone && FVisible && bands) {
    for (Integer i = 0; i < bands->GetCount(); ++i)
      if (bands->GetItem(i)->FFixed == Value) bands->GetItem(i)->FFixed = bfNone;
    SetIndex(Value == bfLeft ? 0 : bands->GetCount() - 1);
  }
  if (FVisible) FFixed = Value;
  Changed(false);
}

// ---------------------------------------------------------------------------------------------
// TzmTreeListBands

TzmTreeListBands::TzmTreeListBands(TCustomzmTreeListControl* AControl)
    : TOwnedCollection(AControl, &TzmTreeListBand::StaticClass()), FTreeList(nullptr) {}

void TzmTreeListBands::SetTreeList(TCustomzmTreeListControl* Value) { FTreeList = Value; }

Integer TzmTreeListBands::VisibleCount() const {
  if (FTreeList && FTreeList->UsesBandCaches()) return static_cast<Integer>(FTreeList->FBandListCache.size());
  Integer count = 0;
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetItem(i)->FVisible) ++count;
  return count;
}

Integer TzmTreeListBands::GetAbsoluteIndex(Integer VisibleIndex) const {
  if (VisibleIndex < 0) return -1;
  if (FTreeList && FTreeList->UsesBandCaches()) {
    const std::vector<Integer>& cache = FTreeList->FBandListCache;
    return VisibleIndex < static_cast<Integer>(cache.size()) ? cache[static_cast<size_t>(VisibleIndex)] : -1;
  }
  for (Integer i = 0, visible = 0; i < GetCount(); ++i)
    if (GetItem(i)->FVisible && visible++ == VisibleIndex) return i;
  return -1;
}

Integer TzmTreeListBands::GetVisibleIndexOf(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) return -1;
  if (FTreeList && FTreeList->UsesBandCaches() &&
      Index < static_cast<Integer>(FTreeList->FVisibleBandListCache.size()))
    return FTreeList->FVisibleBandListCache[static_cast<size_t>(Index)];
  if (!GetItem(Index)->FVisible) return -1;
  Integer visible = 0;
  for (Integer i = 0; i < Index; ++i)
    if (GetItem(i)->FVisible) ++visible;
  return visible;
}

TzmTreeListBand* TzmTreeListBands::VisibleItems(Integer VisibleIndex) const {
  Integer index = GetAbsoluteIndex(VisibleIndex);
  return index < 0 ? nullptr : GetItem(index);
}

void TzmTreeListBands::CheckFixedBands() {
  TzmTreeListBand* left = nullptr;
  TzmTreeListBand* right = nullptr;
  TzmTreeListBand* firstVisible = nullptr;
  TzmTreeListBand* lastVisible = nullptr;
  bool wrong = false;
  for (Integer i = 0; i < GetCount(); ++i) {
    TzmTreeListBand* band = GetItem(i);
    if (band->FVisible) {
      if (!firstVisible) firstVisible = band;
      lastVisible = band;
    }
    if (band->FFixed == bfLeft) {
      wrong = wrong || left;
      if (!left) left = band;
    } else if (band->FFixed == bfRight) {
      wrong = wrong || right;
      if (!right) right = band;
    }
  }
  wrong = wrong || (left && left != firstVisible) || (right && right != lastVisible);
  if (!wrong) return;
  for (Integer i = 0; i < GetCount(); ++i) GetItem(i)->FFixed = bfNone;
  TUpdateScope<TCollection> update(*this);
  if (left) left->SetFixed(bfLeft);
  if (right) right->SetFixed(bfRight);
}

void TzmTreeListBands::Update(TCollectionItem*) {
  if (!FTreeList) return;
  if (GetCount() != 1) FTreeList->FDefaultLayout = false;
  if (FTreeList->HasState(csLoading)) return;
  FTreeList->ClearBandCaches();
  CheckFixedBands();
  FTreeList->ColumnsChanged(nullptr);
}
