// The page control and its tab sheets: the page list kept in the order of the tabs, the active
// page with the focus rules of the form, the change events, page moves and removals.
#include <algorithm>

#include "core/qvClasses.h"
#include "lookandfeel/zmThemeManager.h"
#include "pagecontrol/qvPC.h"
#include "pagecontrol/qvPCPainters.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/ClassesConsts.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvTabSheet)
QJ_IMPLEMENT_CLASS(TqvPageControl)

const TResourceString sqvPCInvalidPageIndex{63420,
                                            "%d is an invalid PageIndex value.  PageIndex must be between 0 and %d"};

namespace {

// Holds the change events of a control locked for a block.
using TChangeEventsLock =
    TUpdateScope<TqvCustomTabControl, &TqvCustomTabControl::LockChangeEvents, &TqvCustomTabControl::UnlockChangeEvents>;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Tab sheet

TqvTabSheet::TqvTabSheet(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque | csNoDesignVisible);
  SetAlign(alClient);
  SetVisible(false);
}

void TqvTabSheet::BeforeDestruction() {
  if (FPageControl && FPageControl->FUndockingPage == this) FPageControl->FUndockingPage = nullptr;
  if (FPageControl) FPageControl->RemovePage(this);
  inherited::BeforeDestruction();
}

void TqvTabSheet::SetPageControl(TqvPageControl* Value) {
  if (Value == FPageControl) return;
  if (FPageControl) FPageControl->RemovePage(this);
  SetParent(Value);
  if (!Value) return;
  Value->InsertPage(this);
  if (!Value->IsLoading() && !Value->GetActivePage()) Value->SetActivePage(this);
}

void TqvTabSheet::SetParentComponent(TComponent* Value) {
  if (auto* pageControl = As<TqvPageControl>(Value)) {
    SetAlign(alNone);
    SetPageControl(pageControl);
    return;
  }
  inherited::SetParentComponent(Value);
}

Integer TqvTabSheet::GetPageIndex() const {
  if (!FPageControl) return -1;
  const auto& pages = FPageControl->FPages;
  return static_cast<Integer>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TqvTabSheet::SetPageIndex(Integer Value) {
  if (!FPageControl) return;
  const Integer last = FPageControl->GetPageCount() - 1;
  // A negative index gets the same clear error as one past the end.
  if (Value < 0 || Value > last) RaiseResourceError<EListError>(&sqvPCInvalidPageIndex, {Value, last});
  if (Value == GetPageIndex()) return;
  FPageControl->MovePage(this, Value);
}

void TqvTabSheet::SetTabVisible(bool Value) {
  if (Value == FTabVisible) return;
  FTabVisible = Value;
  UpdateTab();
}

void TqvTabSheet::SetHighlighted(bool Value) {
  if (Value == FHighlighted) return;
  FHighlighted = Value;
  UpdateTab();
}

void TqvTabSheet::SetImageIndex(Integer Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  UpdateTab();
}

void TqvTabSheet::SetBorderWidth(Integer Value) {
  Value = std::max<Integer>(Value, 0);
  if (Value == FBorderWidth) return;
  FBorderWidth = Value;
  Realign();
  Invalidate();
}

void TqvTabSheet::UpdateTab() {
  if (!FPageControl || !FTab || FPageControl->IsLoading() || FPageControl->IsDestroying()) return;
  TAliveToken alive = FPageControl->AliveToken();
  FTab->SetCaption(GetCaption());
  FTab->SetEnabled(GetEnabled());
  FTab->SetImageIndex(FImageIndex);
  FTab->SetHighlighted(FHighlighted);
  FTab->SetVisible(FTabVisible);
  if (!alive || !FTab || FPageControl->GetActivePage() != this) return;
  FPageControl->SetTabIndex(FTabVisible ? FTab->GetIndex() : -1);
}

void TqvTabSheet::DoShow() {
  if (OnShow) OnShow(this);
}

void TqvTabSheet::DoHide() {
  if (OnHide) OnHide(this);
}

void TqvTabSheet::AdjustClientRect(TRect& Rect) { Rect = qvDeflatedRect(Rect, FBorderWidth); }

void TqvTabSheet::PaintThemedBackground(TCanvas* ACanvas, const TRect& AClip) {
  TqvPCCustomPainter* painter = FPageControl->GetPCPainter();
  TRect pane = qvDeflatedRect(painter->GetFrameRect(), -2);
  pane = qvOffsetRect(pane, -GetLeft(), -GetTop());
  DrawThemeBackground(OpenTheme(totTab), ACanvas->GetHandle(), TABP_PANE, 0, &pane, &AClip);
}

void TqvTabSheet::Paint() {
  TCanvas* canvas = GetCanvas();
  const TRect client = GetClientRect();
  if (FPageControl && FPageControl->GetPCPainter() && FPageControl->GetPCPainter()->IsNativePainting()) {
    PaintThemedBackground(canvas, client);
    return;
  }
  canvas->GetBrush()->SetColor(GetColor());
  canvas->FillRect(client);
}

void TqvTabSheet::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
      inherited::Dispatch(Message);
      UpdateTab();
      return;
    case CM_VISIBLECHANGED: {
      inherited::Dispatch(Message);
      // A failing handler does not stop the page change.
      try {
        if (GetVisible())
          DoShow();
        else
          DoHide();
      } catch (...) {
        if (Application) Application->HandleException(this);
      }
      return;
    }
    case WM_SIZE:
    case WM_MOVE:
    case WM_WINDOWPOSCHANGED:
      inherited::Dispatch(Message);
      Invalidate();
      return;
    case WM_ERASEBKGND: Message.Result = 1; return;
    default: inherited::Dispatch(Message);
  }
}

// ---------------------------------------------------------------------------------------------
// Page control

TqvPageControl::TqvPageControl(TComponent* AOwner) : TqvCustomTabControl(AOwner) {
  SetControlStyle(GetControlStyle() & ~static_cast<TControlStyle>(csAcceptsControls));
}

void TqvPageControl::BeforeDestruction() {
  for (TqvTabSheet* page : FPages) {
    page->FPageControl = nullptr;
    page->FTab = nullptr;
  }
  FPages.clear();
  FActivePage = nullptr;
  inherited::BeforeDestruction();
}

TqvTabSheet* TqvPageControl::GetPage(Integer Index) const {
  if (Index < 0 || Index >= GetPageCount()) RaiseResourceError<EListError>(&SListIndexError, {Index});
  return FPages[size_t(Index)];
}

void TqvPageControl::SetFocusable(bool Value) {
  if (Value == FFocusable) return;
  FFocusable = Value;
  SetTabStop(Value);
}

bool TqvPageControl::IsTabPageEnabled(Integer Index) { return GetPage(Index)->GetEnabled(); }

void TqvPageControl::InsertPage(TqvTabSheet* Page) {
  {
    TValueScope updating(FUpdating, true);
    FPages.push_back(Page);
    Page->FPageControl = this;
    GetTabs()->Add(Page->GetCaption());
  }
  Page->FTab = GetTabs()->GetTab(GetTabs()->GetCount() - 1);
  Page->UpdateTab();
}

void TqvPageControl::RemovePage(TqvTabSheet* Page) {
  const auto it = std::find(FPages.begin(), FPages.end(), Page);
  if (it == FPages.end()) return;
  TqvTabSheet* next = FindNextPage(Page, true, !IsDesigning());
  if (next == Page) next = nullptr;
  const bool wasActive = Page == FActivePage;
  {
    TValueScope updating(FUpdating, true);
    if (Page->FTab) GetTabs()->Delete(Page->FTab->GetIndex());
    FPages.erase(std::find(FPages.begin(), FPages.end(), Page));
    Page->FPageControl = nullptr;
    Page->FTab = nullptr;
  }
  if (IsDestroying()) return;
  if (wasActive) {
    FActivePage = nullptr;
    SetActivePage(next);
    return;
  }
  // A page that was not active keeps the active page; its tab's index may have moved.
  TChangeEventsLock lock(this);
  SetTabIndex(FActivePage && FActivePage->GetTabVisible() ? FActivePage->FTab->GetIndex() : -1);
}

void TqvPageControl::MovePage(TqvTabSheet* Page, Integer NewIndex) {
  {
    TValueScope updating(FUpdating, true);
    const Integer old = Page->GetPageIndex();
    FPages.erase(FPages.begin() + old);
    FPages.insert(FPages.begin() + NewIndex, Page);
    GetTabs()->Delete(old);
    GetTabs()->Insert(NewIndex, Page->GetCaption());
  }
  Page->FTab = GetTabs()->GetTab(NewIndex);
  Page->UpdateTab();
  {
    // The selection first follows the active page to its tab's new index.
    TChangeEventsLock lock(this);
    if (FActivePage && FActivePage->GetTabVisible()) SetTabIndex(FActivePage->FTab->GetIndex());
  }
  SetTabIndex(NewIndex);
}

TqvTabSheet* TqvPageControl::FindNextPage(TqvTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const {
  const Integer count = GetPageCount();
  if (count == 0) return nullptr;
  const auto it = std::find(FPages.begin(), FPages.end(), CurPage);
  if (it == FPages.end()) return GoForward ? FPages.front() : FPages.back();
  const Integer start = static_cast<Integer>(it - FPages.begin());
  Integer i = start;
  do {
    i = (i + (GoForward ? 1 : count - 1)) % count;
    if (!CheckTabVisible || FPages[size_t(i)]->GetTabVisible()) return FPages[size_t(i)];
  } while (i != start);
  return FPages[size_t(start)];
}

void TqvPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
  TqvTabSheet* page = FindNextPage(FActivePage, GoForward, CheckTabVisible);
  if (page && page != FActivePage) SetActivePage(page);
}

void TqvPageControl::ImageListChanged() {
  if (FUpdating) return;
  for (TqvTabSheet* page : FPages)
    if (page->FTab) page->FTab->SetImageIndex(page->GetImageIndex());
  RequestLayout();
}

bool TqvPageControl::CanChange(Integer NewTabIndex) {
  bool allow = inherited::CanChange(NewTabIndex);
  if (allow && NewTabIndex >= 0 && NewTabIndex < GetPageCount()) allow = CanChangePage(FPages[size_t(NewTabIndex)]);
  return allow;
}

bool TqvPageControl::CanChangePage(TqvTabSheet* NewPage) {
  bool allow = true;
  if (!ChangeEventsLocked() && OnPageChanging) OnPageChanging(this, NewPage, allow);
  return allow;
}

void TqvPageControl::Change() {
  TAliveToken alive = AliveToken();
  {
    TChangeEventsLock lock(this);
    if (GetTabIndex() != -1) UpdateActivePage();
  }
  if (alive) inherited::Change();
}

void TqvPageControl::PageChanged() {
  if (!ChangeEventsLocked() && OnChange) OnChange(this);
}

void TqvPageControl::UpdateActivePage() {
  const Integer index = GetTabIndex();
  SetActivePage(index >= 0 && index < GetPageCount() ? FPages[size_t(index)] : nullptr);
}

void TqvPageControl::SetActivePage(TqvTabSheet* Page) {
  if (Page && Page->FPageControl != this) return;
  TAliveToken alive = AliveToken();
  if (Page != FActivePage && CanChangePage(Page) && alive) ChangeActivePage(Page);
  if (!alive || FActivePage != Page) return;
  TChangeEventsLock lock(this);
  SetTabIndex(Page && Page->GetTabVisible() && Page->FTab ? Page->FTab->GetIndex() : -1);
}

void TqvPageControl::ChangeActivePage(TqvTabSheet* Page) {
  TAliveToken alive = AliveToken();
  TCustomForm* form = GetParentForm(this);
  TqvTabSheet* old = FActivePage;
  if (form && old && form->GetActiveControl() && old->ContainsControl(form->GetActiveControl())) {
    // The focus leaves the old page first; a control that keeps it stops the change.
    try {
      form->SetActiveControl(old);
    } catch (const EInvalidOperation&) {
    }
    if (!alive) return;
    if (form->GetActiveControl() != old) {
      TChangeEventsLock lock(this);
      SetTabIndex(old->GetTabVisible() && old->FTab ? old->FTab->GetIndex() : -1);
      return;
    }
  }
  if (Page) {
    Page->BringToFront();
    Page->SetVisible(true);
    if (!alive) return;
    if (form && old && form->GetActiveControl() == old) {
      TWinControl* focus = Page->CanFocus() ? static_cast<TWinControl*>(Page) : CanFocus() ? this : nullptr;
      try {
        form->SetActiveControl(focus);
      } catch (const EInvalidOperation&) {
      }
      if (!alive) return;
    }
  }
  if (old && old != Page) old->SetVisible(false);
  if (!alive) return;
  FActivePage = Page;
  PageChanged();
  if (!alive) return;
  if (form && Page && form->GetActiveControl() == Page)
    if (TWinControl* first = Page->FindNextControl(nullptr, true, true, false)) first->SetFocus();
}

void TqvPageControl::Loaded() {
  inherited::Loaded();
  for (TqvTabSheet* page : FPages) {
    page->SetAlign(alClient);
    page->UpdateTab();
  }
  if (!IsDesigning() && FActivePage && !FActivePage->GetEnabled()) {
    TChangeEventsLock lock(this);
    ChangeActivePage(nullptr);
    SetTabIndex(-1);
  }
}

void TqvPageControl::ShowControl(TControl* AControl) {
  if (auto* page = As<TqvTabSheet>(AControl); page && page->FPageControl == this) SetActivePage(page);
  inherited::ShowControl(AControl);
}

