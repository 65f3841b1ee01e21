// The tab control: construction, properties, selection and change events, layout requests,
// styles and painting.
#include "pagecontrol/qvPC.h"

#include <algorithm>

#include "lookandfeel/zmThemeManager.h"
#include "pagecontrol/qvPCGoDialog.h"
#include "pagecontrol/qvPCPaintersFactory.h"
#include "platform/forms/ImgList.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomTabControl)

namespace {

constexpr Integer kDefaultWidth = 289;
constexpr Integer kDefaultHeight = 193;

}  // namespace

TqvCustomTabControl::TqvCustomTabControl(TComponent* AOwner)
    : TqvControl(AOwner), FThemeChangedNotificator(MakeOwned<TzmThemeChangedNotificator>()) {
  SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque);
  SetBounds(GetLeft(), GetTop(), kDefaultWidth, kDefaultHeight);
  SetKeys(dkBit(dkArrows));
  FVisibleTabList = MakeOwned<TqvVisibleTabList>(this);
  FImageList = MakeOwned<TqvPCImageList>(this, [this] { ImageListChanged(); });
  FTabs = MakeOwned<TqvTabs>(this);
  FThemeChangedNotificator->OnThemeChanged = [this] { ThemeChanged(); };
}

TqvCustomTabControl::~TqvCustomTabControl() {
  FImageList.reset();
  FTabs.reset();
  FPainter.reset();
  FVisibleTabList.reset();
}

void TqvCustomTabControl::AfterConstruction() {
  inherited::AfterConstruction();
  ChooseDefaultStyle();
}

void TqvCustomTabControl::BeforeDestruction() {
  StopArrowTimer();
  if (FGoDialogOpen) GoDialogClosed();
  if (FGoDialog) FreeAndNil(FGoDialog);
  inherited::BeforeDestruction();
}

// ---------------------------------------------------------------------------------------------
// Properties

void TqvCustomTabControl::SetHideTabs(bool Value) {
  if (Value == FHideTabs) return;
  FHideTabs = Value;
  Invalidate();
  Realign();
}

void TqvCustomTabControl::SetHotTrack(bool Value) {
  if (Value == FHotTrack) return;
  FHotTrack = Value;
  UpdateHotTrack();
}

void TqvCustomTabControl::SetImageBorder(Integer Value) {
  if (Value < 0 || Value == FImageBorder) return;
  FImageBorder = Value;
  if (FVisibleTabList->GetCount() > 0) RequestLayout();
}

TCustomImageList* TqvCustomTabControl::GetImages() const { return FImageList->GetImages(); }

void TqvCustomTabControl::SetImages(TCustomImageList* Value) { FImageList->SetImages(Value); }

void TqvCustomTabControl::SetMaxRotatedTabWidth(Integer Value) {
  Value = std::max<Integer>(Value, 0);
  if (Value > 0) Value = std::max(Value, FPainter->GetMinTabNormalWidth());
  if (Value == FMaxRotatedTabWidth) return;
  FMaxRotatedTabWidth = Value;
  if (FRotate && FVisibleTabList->GetCount() > 0) RequestLayout();
}

void TqvCustomTabControl::SetMultiLine(bool Value) {
  if (Value == FMultiLine) return;
  FMultiLine = Value;
  RequestLayout();
}

void TqvCustomTabControl::SetNavigatorPosition(TqvPCNavigatorPosition Value) {
  if (Value == FNavigatorPosition) return;
  FNavigatorPosition = Value;
  RequestLayout();
}

void TqvCustomTabControl::SetOptions(TqvPCOptions Value) {
  if (Value == FOptions) return;
  const TqvPCOptions changed = Value ^ FOptions;
  FOptions = Value;
  if (changed & (pcoBit(pcoGoDialog) | pcoBit(pcoNoArrows) | pcoBit(pcoTopToBottomText))) RequestLayout();
  if ((changed & pcoBit(pcoSort)) && !IsDesigning() && FGoDialog) FGoDialog->SetSorted(Value & pcoBit(pcoSort));
}

void TqvCustomTabControl::SetOwnerDraw(bool Value) {
  if (Value == FOwnerDraw) return;
  FOwnerDraw = Value;
  Invalidate();
}

void TqvCustomTabControl::SetRaggedRight(bool Value) {
  if (Value == FRaggedRight) return;
  FRaggedRight = Value;
  if (FMultiLine) RequestLayout();
}

void TqvCustomTabControl::SetRotate(bool Value) {
  if (Value == FRotate) return;
  FRotate = Value;
  RequestLayout();
}

void TqvCustomTabControl::SetScrollOpposite(bool Value) {
  if (Value == FScrollOpposite) return;
  FScrollOpposite = Value;
  if (!FMultiLine) return;
  if (FActiveVisibleIndex != -1 && GetActiveRowMoves() && FRowCount > 0) {
    RotateRows();
    Realign();
    Invalidate();
  } else {
    Realign();
  }
}

void TqvCustomTabControl::SetShowFrame(bool Value) {
  if (Value == FShowFrame) return;
  FShowFrame = Value;
  RequestLayout();
}

void TqvCustomTabControl::SetTabPosition(TqvTabPosition Value) {
  if (Value == FTabPosition) return;
  FTabPosition = Value;
  RequestLayout();
}

void TqvCustomTabControl::SetTabs(TStrings* Value) { FTabs->Assign(Value); }

void TqvCustomTabControl::SetTabWidth(SmallInt Value) {
  if (Value == FTabWidth) return;
  FTabWidth = Value;
  RequestLayout();
}

void TqvCustomTabControl::SetTabHeight(SmallInt Value) {
  if (Value == FTabHeight) return;
  FTabHeight = Value;
  RequestLayout();
}

// ---------------------------------------------------------------------------------------------
// Styles

void TqvCustomTabControl::InstallPainter(TqvPCStyleID AStyle) {
  TqvPCPaintersFactory* factory = PaintersFactory();
  if (!factory) return;
  TqvPCPainterClass painterClass = factory->GetPainterClass(AStyle);
  if (!painterClass || (FPainter && FPainter->ClassType() == painterClass)) return;
  factory->ReleasePainter(FPainter);
  FPainter = factory->CreatePainter(painterClass, this);
  FTabs->FreeRotatedTexts();
}

void TqvCustomTabControl::ChooseDefaultStyle() {
  TqvPCPaintersFactory* factory = PaintersFactory();
  if (!factory) return;
  TqvPCStyleID style = factory->GetStyleByLookAndFeel(GetLookAndFeel());
  if (style == -1) style = factory->GetDefaultStyleID(GetLookAndFeel());
  InstallPainter(style);
  FStyle = qvPCDefaultStyle;
  RequestLayout();
}

void TqvCustomTabControl::SetStyle(TqvPCStyleID Value) {
  if (Value == qvPCDefaultStyle) {
    FStyle = qvPCDefaultStyle;
    ChooseDefaultStyle();
    return;
  }
  if (Value == FStyle) return;
  TqvPCPaintersFactory* factory = PaintersFactory();
  TqvPCPainterClass painterClass = factory ? factory->GetPainterClass(Value) : nullptr;
  if (!painterClass) return;
  // The painter may already be of that class (chosen by the look and feel): the style is still
  // fixed from now on, so that a later look-and-feel change does not replace it.
  const bool samePainter = FPainter && FPainter->ClassType() == painterClass;
  FStyle = Value;
  if (samePainter) return;
  InstallPainter(Value);
  RequestLayout();
}

void TqvCustomTabControl::LookAndFeelChanged(TqvLookAndFeel* Sender, TqvLookAndFeelValues AChangedValues) {
  inherited::LookAndFeelChanged(Sender, AChangedValues);
  if (FStyle == qvPCDefaultStyle)
    ChooseDefaultStyle();
  else
    RequestLayout();
}

void TqvCustomTabControl::ThemeChanged() {
  if (IsDestroying()) return;
  if (FStyle == qvPCDefaultStyle)
    ChooseDefaultStyle();
  else
    RequestLayout();
}

// ---------------------------------------------------------------------------------------------
// Selection and change events

void TqvCustomTabControl::LockChangeEvents() { ++FChangeEventsLockCount; }

void TqvCustomTabControl::UnlockChangeEvents() { FChangeEventsLockCount = std::max(FChangeEventsLockCount - 1, 0); }

bool TqvCustomTabControl::ChangeEventsLocked() const {
  return FChangeEventsLockCount > 0 || HasState(csLoading) || HasState(csDesigning);
}

bool TqvCustomTabControl::CanChange(Integer) {
  bool allow = true;
  if (!ChangeEventsLocked() && OnChanging) OnChanging(this, allow);
  return allow;
}

void TqvCustomTabControl::Change() {
  if (!ChangeEventsLocked() && OnChange) OnChange(this);
}

void TqvCustomTabControl::SetTabIndex(Integer Value) {
  if (IsLoading()) {
    FTabIndex = Value;
    return;
  }
  if (Value < -1 || Value >= FTabs->GetCount()) return;
  if (RequireVisibleSelection() && Value != -1 && !FTabs->GetTab(Value)->GetVisible()) Value = -1;
  if (Value == FTabIndex) return;
  TAliveToken alive = AliveToken();
  if (!CanChange(Value) || !alive) return;
  ApplyTabIndex(Value);
}

void TqvCustomTabControl::ApplyTabIndex(Integer NewIndex) {
  TAliveToken alive = AliveToken();
  FTabIndex = -1;
  FTabs->UpdateActiveVisibleIndex();
  for (Integer i = 0; i < FTabs->GetCount(); ++i) FTabs->GetTab(i)->SetSelected(false);
  FTabs->SetFocusedTab(-1);
  FTabIndex = NewIndex;
  FTabs->UpdateActiveVisibleIndex();
  Change();
  if (!alive) return;
  if (!FMultiLine && FActiveVisibleIndex != -1) MakeTabVisible(FActiveVisibleIndex);
  if (FMultiLine) {
    if (GetActiveRowMoves() && FRowCount > 0) {
      RotateRows();
      Realign();
      Invalidate();
    }
  } else if (NewIndex != -1) {
    RequestLayout();
  }
  UpdateHotTrack();
}

// ---------------------------------------------------------------------------------------------
// Layout requests

void TqvCustomTabControl::RequestLayout() {
  if (IsLoading() || IsDestroying() || FInLayout || !FPainter) return;
  TValueScope inLayout(FInLayout, true);
  if (FMaxRotatedTabWidth > 0) FMaxRotatedTabWidth = std::max(FMaxRotatedTabWidth, FPainter->GetMinTabNormalWidth());
  FTabs->FreeRotatedTexts();
  CalculateTabs();
  FTabs->RepaintImageTabs();
  if (FImageList->HasImages())
    FImageList->SetRotation(FPainter->IsNativePainting() ? 0 : static_cast<Integer>(GetTextOrientation()));
  Realign();
  Invalidate();
  FTabs->UpdateActiveVisibleIndex();
  UpdateHotTrack();
}

void TqvCustomTabControl::ImageListChanged() { RequestLayout(); }

void TqvCustomTabControl::ScrollTabs(Integer Delta) {
  if (FMultiLine) return;
  for (Integer i = 0; i < std::abs(Delta); ++i) ArrowStep(Delta > 0 ? nbBottomRight : nbTopLeft);
}

Integer TqvCustomTabControl::GetTabAt(Integer X, Integer Y) {
  Integer first, last;
  GetPlacedTabRange(first, last);
  if (first == -1) return -1;
  auto hit = [&](Integer i) {
    return FVisibleTabList->GetTab(i)->GetVisibleRect().Contains({X, Y}) && FPainter->IsTabHit(i, X, Y);
  };
  // The active tab lies over its neighbours.
  if (FActiveVisibleIndex >= first && FActiveVisibleIndex <= last && hit(FActiveVisibleIndex)) return FActiveVisibleIndex;
  for (Integer i = first; i <= last; ++i)
    if (hit(i)) return i;
  return -1;
}

const String& TqvCustomTabControl::GetDisplayCaption(Integer Index) const {
  return FTabs->GetTab(Index)->GetDisplayCaption();
}

Integer TqvCustomTabControl::GetTabImageIndex(Integer Index) {
  Integer result = FTabs->GetTab(Index)->GetImageIndex();
  if (OnGetImageIndex) OnGetImageIndex(this, Index, result);
  TCustomImageList* images = GetImages();
  if (result < 0 || !images || images->GetWidth() <= 0 || images->GetHeight() <= 0 || result >= images->GetCount())
    return -1;
  return result;
}

// ---------------------------------------------------------------------------------------------
// Window, lifecycle, painting

void TqvCustomTabControl::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TqvCustomTabControl::CreateWnd() {
  inherited::CreateWnd();
  if (!IsDesigning() && !FGoDialog) {
    FGoDialog = New<TqvPCGoDialog>(this);
    FGoDialog->SetSorted(FOptions & pcoBit(pcoSort));
  }
  RequestLayout();
  Realign();
}

void TqvCustomTabControl::Loaded() {
  inherited::Loaded();
  RequestLayout();
  const Integer stored = FTabIndex;
  TUpdateScope<TqvCustomTabControl, &TqvCustomTabControl::LockChangeEvents, &TqvCustomTabControl::UnlockChangeEvents>
      locked(this);
  FTabIndex = -1;
  SetTabIndex(stored);
}

void TqvCustomTabControl::Resize() {
  inherited::Resize();
  RequestLayout();
  Realign();
}

void TqvCustomTabControl::FontChanged() {
  inherited::FontChanged();
  GetCanvas()->SetFont(GetFont());
  RequestLayout();
}

void TqvCustomTabControl::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (FImageList && AComponent == FImageList->GetImages()) FImageList->ImagesFreed();
  if (AComponent == FGoDialog) FGoDialog = nullptr;
  if (AComponent == FArrowTimer) FArrowTimer = nullptr;
}

void TqvCustomTabControl::AdjustClientRect(TRect& Rect) {
  if (!FPainter) return;
  TRect r = FPainter->GetDisplayRect();
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  Rect = r;
}

void TqvCustomTabControl::Paint() {
  GetCanvas()->SetFont(GetFont());
  FPainter->Paint();
}
