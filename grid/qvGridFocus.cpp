#include <algorithm>

#include "grid/qvGrid.h"
#include "grid/qvGridCustomView.h"
#include "grid/qvGridLevel.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/Scopes.h"

// ---------------------------------------------------------------------------------------------
// Active level

TqvCustomGridView* TqvCustomGrid::GetActiveView() const { return FActiveLevel ? FActiveLevel->GetGridView() : nullptr; }

void TqvCustomGrid::SetActiveLevel(TqvGridLevel* ALevel) {
  if (ALevel == FActiveLevel) return;
  if (!ALevel && !IsDestroying() && FRootLevel && FRootLevel->GetVisibleCount() > 0)
    ALevel = FRootLevel->GetVisibleItem(0);
  if (ALevel == FActiveLevel) return;
  FActiveLevel = ALevel;
  SizeChanged();
  TAliveToken alive = AliveToken();
  if (!HasState(csLoading) && FActiveLevel) DoActiveTabChanged(FActiveLevel);
  if (alive) SetFocusedView(GetActiveView());
}

void TqvCustomGrid::DoActiveTabChanged(TqvGridLevel* ALevel) {
  if (!OnActiveTabChanged) return;
  TqvGridActiveTabChangedEvent handler = OnActiveTabChanged;
  handler(this, ALevel);
}

// ---------------------------------------------------------------------------------------------
// Focused view

TqvCustomGridView* TqvCustomGrid::FindFocusReplacement(TqvCustomGridView* AOldView) const {
  for (TqvCustomGridView* master = AOldView ? AOldView->GetMasterGridView() : nullptr; master;
       master = master->GetMasterGridView())
    if (!master->IsDestroying()) return master;
  for (Integer i = 0; i < FRootLevel->GetCount(); ++i) {
    TqvCustomGridView* view = FRootLevel->GetItem(i)->GetGridView();
    if (view && !view->IsDestroying()) return view;
  }
  return nullptr;
}

void TqvCustomGrid::SetFocusedView(TqvCustomGridView* AView) {
  if (AView && !AView->CanFocus()) return;
  if (AView == FFocusedView) return;
  const bool replace = (!AView && GetActiveView()) || (AView && AView->IsDestroying());
  if (replace && !IsDestroying()) {
    AView = FindFocusReplacement(FFocusedView);
    if (AView == FFocusedView) return;
  }
  ChangeFocusedView(AView);
}

// When the old view refuses to lose the focus (its FocusChanged raises), it is focused again and
// the exception goes on. The rollback does not roll back itself: a second refusal while rolling
// back leaves the old view focused without asking anything more.
void TqvCustomGrid::ChangeFocusedView(TqvCustomGridView* AView) {
  TqvCustomGridView* prev = FFocusedView;
  FFocusedView = AView;
  TAliveToken alive = AliveToken();
  if (prev) {
    const bool hadFocus = IsFocused();
    try {
      prev->FocusChanged(false);
    } catch (...) {
      if (alive && !FRollingBackFocus) {
        TValueScope rollingBack(FRollingBackFocus, true, alive);
        try {
          SetFocusedView(prev);
        } catch (...) {
          // The first refusal is the one reported.
        }
        if (alive) FFocusedView = prev;
      }
      throw;
    }
    if (!alive) return;
    if (hadFocus && !IsFocused() && CanFocusEx()) SetFocus();
  }
  if (!alive) return;
  if (AView) {
    AView->FocusChanged(true);
    if (!alive) return;
    TqvGridLevel* level = AView->GetLevel();
    if (level && level->IsTop()) level->SetActive(true);
  } else if (IsFocused() && CanFocusEx()) {
    SetFocus();
  }
  if (alive) DoFocusedViewChanged(prev, AView);
}

void TqvCustomGrid::DoFocusedViewChanged(TqvCustomGridView* APrevFocusedView, TqvCustomGridView* AFocusedView) {
  if (IsDestroying()) return;
  TAliveToken alive = AliveToken();
  FNavigatorNotifier->RefreshNavigators();
  if (!alive) return;
  SendNotification(nkFocusedView);
  if (!alive || !OnFocusedViewChanged) return;
  TqvGridFocusedViewChangedEvent handler = OnFocusedViewChanged;
  handler(this, APrevFocusedView, AFocusedView);
}

void TqvCustomGrid::CheckFocusedView() {
  if (!FFocusedView || FFocusedView->CanFocus()) return;
  TqvCustomGridView* active = GetActiveView();
  SetFocusedView(active && active->CanFocus() ? active : nullptr);
}

// ---------------------------------------------------------------------------------------------
// Control focus

bool TqvCustomGrid::IsFocused() {
  if (Focused()) return true;
  TCustomForm* form = GetParentForm(this);
  TWinControl* active = form ? form->GetActiveControl() : nullptr;
  if (!active || active == this || !ContainsControl(active)) return false;
  if (auto* control = As<TqvControl>(active)) return control->IsFocused();
  return active->Focused();
}

void TqvCustomGrid::SetControlFocused(bool AFocused) {
  if (AFocused == FControlFocused) return;
  if (!AFocused && IsFocused()) return;
  FControlFocused = AFocused;
  AddChange(MakeOwned<TqvGridControlFocusChange>(GetActiveView()));
}

// ---------------------------------------------------------------------------------------------
// Navigator: the focused view's

IqvNavigator* TqvCustomGrid::FocusedNavigator() const { return dynamic_cast<IqvNavigator*>(FFocusedView); }

bool TqvCustomGrid::CanDelete() {
  IqvNavigator* navigator = FocusedNavigator();
  return navigator && navigator->CanDelete();
}

bool TqvCustomGrid::CanEdit() {
  IqvNavigator* navigator = FocusedNavigator();
  return navigator && navigator->CanEdit();
}

bool TqvCustomGrid::CanInsert() {
  IqvNavigator* navigator = FocusedNavigator();
  return navigator && navigator->CanInsert();
}

bool TqvCustomGrid::IsBof() {
  IqvNavigator* navigator = FocusedNavigator();
  return navigator && navigator->IsBof();
}

bool TqvCustomGrid::IsBookmarkAvailable() {
  IqvNavigator* navigator = FocusedNavigator();
  return navigator && navigator->IsBookmarkAvailable();
}

bool TqvCustomGrid::IsEditing() {
  IqvNavigator* navigator = FocusedNavigator();
  return navigator && navigator->IsEditing();
}

bool TqvCustomGrid::IsEof() {
  IqvNavigator* navigator = FocusedNavigator();
  return navigator && navigator->IsEof();
}

void TqvCustomGrid::ClearBookmark() {
  if (IqvNavigator* navigator = FocusedNavigator()) navigator->ClearBookmark();
}

void TqvCustomGrid::DoAction(Integer AButtonIndex) {
  if (IqvNavigator* navigator = FocusedNavigator()) navigator->DoAction(AButtonIndex);
}
