#include "grid/qvGridLevel.h"

#include <algorithm>

#include "grid/qvGrid.h"
#include "core/qvCustomData.h"
#include "grid/qvGridCustomView.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvGridLevelOptions)
QJ_IMPLEMENT_CLASS(TqvGridLevel)

// ---------------------------------------------------------------------------------------------
// Options

TqvGridLevelOptions::TqvGridLevelOptions(TqvGridLevel* ALevel) : FLevel(ALevel) {}

TPersistent* TqvGridLevelOptions::GetOwner() { return FLevel; }

void TqvGridLevelOptions::Assign(TPersistent* Source) {
  auto* source = As<TqvGridLevelOptions>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  SetDetailFrameColor(source->GetDetailFrameColor());
  SetDetailFrameWidth(source->GetDetailFrameWidth());
  SetDetailTabsPosition(source->GetDetailTabsPosition());
}

void TqvGridLevelOptions::SetDetailFrameColor(TColor AValue) {
  if (AValue == FDetailFrameColor) return;
  FDetailFrameColor = AValue;
  FLevel->Changed(false);
}

void TqvGridLevelOptions::SetDetailFrameWidth(Integer AValue) {
  AValue = std::max(AValue, 0);
  if (AValue == FDetailFrameWidth) return;
  FDetailFrameWidth = AValue;
  FLevel->Changed(true);
}

bool TqvGridLevelOptions::IsDetailFrameWidthStored() const {
  return FDetailFrameWidth != (FLevel->IsRoot() ? 0 : DefaultDetailFrameWidth);
}

void TqvGridLevelOptions::SetDetailTabsPosition(TqvGridDetailTabsPosition AValue) {
  if (AValue == FDetailTabsPosition) return;
  FDetailTabsPosition = AValue;
  FLevel->Changed(true);
}

// ---------------------------------------------------------------------------------------------
// Level

TqvGridLevel::TqvGridLevel(TComponent* AOwner)
    : TComponent(AOwner), FOptions(MakeOwned<TqvGridLevelOptions>(this)) {}

TqvGridLevel::~TqvGridLevel() = default;

void TqvGridLevel::BeforeDestruction() {
  inherited::BeforeDestruction();
  while (!FItems.empty()) Free(FItems.back());
  // The clones of the view may outlive the level (they go with their master records).
  if (FGridView)
    for (Integer i = 0; i < FGridView->GetCloneCount(); ++i)
      if (FGridView->GetClone(i)->GetLevel() == this) FGridView->GetClone(i)->SetLevel(nullptr);
  SetGridView(nullptr);
  if (FParent) FParent->RemoveChild(this);
}

TqvGridLevel* TqvGridLevel::Add() {
  TComponent* owner = FControl ? FControl->Owner() : Owner();
  auto* child = static_cast<TqvGridLevel*>(GetLevelClass()->Create(owner));
  AddChild(child);
  return child;
}

void TqvGridLevel::AddChild(TqvGridLevel* AChild) {
  if (AChild->FParent) AChild->FParent->RemoveChild(AChild);
  FItems.push_back(AChild);
  AChild->FParent = this;
  AChild->SetControlOfTree(FControl);
  RefreshVisibleItems();
  if (IsRoot() && FControl && !FControl->GetActiveLevel() && GetVisibleCount() > 0)
    FControl->SetActiveLevel(GetVisibleItem(0));
  Changed(true);
}

void TqvGridLevel::RemoveChild(TqvGridLevel* AChild) {
  if (std::find(FItems.begin(), FItems.end(), AChild) == FItems.end()) return;
  std::erase(FItems, AChild);
  std::erase(FVisibleItems, AChild);
  AChild->SetActive(false);
  AChild->FParent = nullptr;
  Changed(true);
}

Integer TqvGridLevel::GetVisibleIndex() const {
  if (!FParent) return -1;
  const auto& items = FParent->FVisibleItems;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<Integer>(it - items.begin());
}

void TqvGridLevel::SetControlOfTree(TqvCustomGrid* AControl) {
  FControl = AControl;
  for (TqvGridLevel* item : FItems) item->SetControlOfTree(AControl);
}

void TqvGridLevel::RefreshVisibleItems() {
  FVisibleItems.clear();
  for (TqvGridLevel* item : FItems)
    if (item->FVisible) FVisibleItems.push_back(item);
}

bool TqvGridLevel::IsRoot() const { return FControl && FControl->GetRootLevel() == this; }

bool TqvGridLevel::IsTop() const { return FParent && FParent->IsRoot(); }

bool TqvGridLevel::IsActive() const { return FControl && FControl->GetActiveLevel() == this; }

bool TqvGridLevel::VisibleInTree() const {
  for (const TqvGridLevel* level = this; level; level = level->FParent)
    if (!level->FVisible) return false;
  return true;
}

bool TqvGridLevel::ActuallyVisible() const {
  if (IsRoot()) return true;
  if (!FVisible || !FParent) return false;
  if (IsTop() && !IsActive()) return false;
  return FParent->ActuallyVisible();
}

void TqvGridLevel::SetActive(bool AValue) {
  if (AValue == IsActive() || !FControl) return;
  if (!AValue)
    FControl->SetActiveLevel(nullptr);
  else if (IsTop())
    FControl->SetActiveLevel(this);
}

void TqvGridLevel::SetCaption(const String& AValue) {
  if (AValue == FCaption) return;
  FCaption = AValue;
  Changed(true);
}

void TqvGridLevel::SetVisible(bool AValue) {
  if (AValue == FVisible) return;
  FVisible = AValue;
  if (AValue && FGridView) AttachView(true, !IsTop());
  if (FParent) FParent->ChildVisibilityChanged(this);
  if (!AValue)
    SetActive(false);
  else if (FControl && !FControl->GetActiveLevel())
    SetActive(true);
  Changed(true);
  if (FControl) FControl->CheckFocusedView();
  if (!AValue && FGridView) AttachView(false, !IsTop());
}

void TqvGridLevel::AttachView(bool AVisible, bool APattern) {
  if (!FGridView) return;
  TqvCustomDataController* controller = FGridView->GetDataController();
  if (AVisible)
    controller->AttachToRelation(nullptr, APattern);
  else
    controller->AttachToRelation(nullptr, true);
}

void TqvGridLevel::ChildVisibilityChanged(TqvGridLevel* /*AChild*/) {
  const Integer oldCount = GetVisibleCount();
  RefreshVisibleItems();
  if (FGridView) FGridView->VisibleDetailLevelsChanged(this, oldCount, GetVisibleCount());
}

// The old view gives up the focus to the new one (or to nobody) and goes back to the grid that
// first hosted it.
void TqvGridLevel::SetGridView(TqvCustomGridView* AValue) {
  if (AValue == FGridView) return;
  if (AValue && AValue->GetLevel()) AValue->GetLevel()->SetGridView(nullptr);
  TqvCustomGridView* oldView = FGridView;
  if (oldView) oldView->SetLevel(nullptr);
  FGridView = AValue;
  if (FGridView) {
    FGridView->SetControl(FControl);
    if (FParent) FParent->RefreshVisibleItems();
    {
      TUpdateScope update(*FGridView);
      FGridView->SetLevel(this);
      AttachView(FVisible, !IsTop());
      Changed(false);
    }
    const bool oldWasFocused = oldView && oldView->IsFocused();
    const bool noFocus = !oldView && FControl && !FControl->GetFocusedView();
    if (oldWasFocused || noFocus) FGridView->SetFocused(true);
  } else if (oldView) {
    oldView->SetFocused(false);
  }
  if (oldView && !oldView->IsDestroying() && oldView->GetHomeGrid()) oldView->SetControl(oldView->GetHomeGrid());
}

void TqvGridLevel::Changed(bool ASize) {
  if (!FControl) return;
  if (ASize)
    FControl->SizeChanged();
  else
    FControl->LayoutChanged();
}
