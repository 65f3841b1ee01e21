// The base control's own scroll bars and size grip, and their layout: the settings are computed
// on data records until both visibilities settle, and only then applied to the bars, so a
// layout that needs several passes does not make them flicker.
#include <algorithm>

#include "lookandfeel/qvControls.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvControlScrollBar)
QJ_IMPLEMENT_CLASS(TqvSizeGrip)

namespace {

constexpr Integer kMaxPageStep = 32767;
// A descendant whose settings keep changing with every pass is cut off here.
constexpr Integer kMaxLayoutPasses = 16;

// Steps are 16-bit: a page of more pixels than that still pages forward, by the most it can.
TScrollBarInc ClampPageStep(Integer AStep) { return static_cast<TScrollBarInc>(std::clamp(AStep, 1, kMaxPageStep)); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// TqvControlScrollBar and TqvSizeGrip

TqvControlScrollBar::TqvControlScrollBar(TComponent* AOwner) : TqvScrollBar(AOwner) {
  SetColor(clBtnFace);
  FControlStyle = (FControlStyle & ~static_cast<TControlStyle>(csFramed)) | csNoDesignVisible;
  SetTabStop(false);
  SetVisible(false);
  if (auto* control = As<TqvControl>(AOwner)) GetLookAndFeel()->SetMasterLookAndFeel(control->GetLookAndFeel());
}

void TqvControlScrollBar::ApplyData() {
  if (FData.Visible) {
    SetScrollParams(FData.Min, FData.Max, FData.Position, FData.PageSize, true);
    SetSmallChange(FData.SmallChange);
    SetLargeChange(FData.LargeChange);
  }
  SetEnabled(FData.Enabled);
  SetVisible(FData.Visible);
}

void TqvControlScrollBar::FocusParent() {
  TWinControl* parent = GetParent();
  if (!parent) return;
  if (auto* control = As<TqvControl>(parent)) {
    if (control->FocusWhenChildIsClicked(this)) control->SetFocus();
  } else if (parent->CanFocus()) {
    parent->SetFocus();
  }
}

void TqvControlScrollBar::WndProc(TMessage& Message) {
  if (Message.Msg == WM_LBUTTONDOWN) {
    TAliveToken alive = AliveToken();
    FocusParent();
    if (!alive) return;
  }
  inherited::WndProc(Message);
}

void TqvControlScrollBar::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_DESIGNHITTEST) {
    Message.Result = 1;
    return;
  }
  inherited::Dispatch(Message);
}

TqvSizeGrip::TqvSizeGrip(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clBtnFace);
  FControlStyle |= csNoDesignVisible;
}

void TqvSizeGrip::Paint() {
  TCanvas* canvas = GetCanvas();
  canvas->GetBrush()->SetColor(GetColor());
  canvas->FillRect(GetClientRect());
}

// ---------------------------------------------------------------------------------------------
// The control's bars

void TqvControl::CreateScrollBars() {
  if (!HasScrollBars()) return;
  FHScrollBar = New<TqvControlScrollBar>(this);
  FHScrollBar->SetKind(sbHorizontal);
  FHScrollBar->OnScroll = [this](TObject* Sender, TScrollCode Code, Integer& Pos) { ScrollBarScroll(Sender, Code, Pos); };
  FVScrollBar = New<TqvControlScrollBar>(this);
  FVScrollBar->SetKind(sbVertical);
  FVScrollBar->OnScroll = [this](TObject* Sender, TScrollCode Code, Integer& Pos) { ScrollBarScroll(Sender, Code, Pos); };
  FSizeGrip = New<TqvSizeGrip>(this);
  GetSettingsController()->AddControl(this);
}

void TqvControl::DestroyScrollBars() {
  if (!FHScrollBar) return;
  if (TqvSettingsController* controller = FindSettingsController()) controller->RemoveControl(this);
  FreeAndNil(FSizeGrip);
  FreeAndNil(FVScrollBar);
  FreeAndNil(FHScrollBar);
}

void TqvControl::ScrollBarScroll(TObject* Sender, TScrollCode ScrollCode, Integer& ScrollPos) {
  Scroll(static_cast<TqvScrollBar*>(Sender)->GetKind(), ScrollCode, ScrollPos);
}

void TqvControl::SetScrollBarsParent() {
  if (!FHScrollBar) return;
  FHScrollBar->SetParent(this);
  FVScrollBar->SetParent(this);
  FSizeGrip->SetParent(this);
}

bool TqvControl::IsInternalControl(TControl* AControl) const {
  return AControl && FHScrollBar && (AControl == FHScrollBar || AControl == FVScrollBar || AControl == FSizeGrip);
}

bool TqvControl::IsHScrollBarVisible() const {
  if (!FHScrollBar) return false;
  return FCalculatingScrollBarsParams ? FHScrollBar->GetData().Visible : FHScrollBar->GetVisible();
}

bool TqvControl::IsVScrollBarVisible() const {
  if (!FVScrollBar) return false;
  return FCalculatingScrollBarsParams ? FVScrollBar->GetData().Visible : FVScrollBar->GetVisible();
}

TRect TqvControl::GetHScrollBarBounds() {
  TRect r = GetClientBounds();
  r.Top = r.Bottom;
  r.Bottom = r.Top + FHScrollBar->GetHeight();
  return r;
}

TRect TqvControl::GetVScrollBarBounds() {
  TRect r = GetClientBounds();
  r.Left = r.Right;
  r.Right = r.Left + FVScrollBar->GetWidth();
  return r;
}

TRect TqvControl::GetSizeGripBounds() {
  const TRect h = GetHScrollBarBounds(), v = GetVScrollBarBounds();
  return Rect(v.Left, h.Top, v.Right, h.Bottom);
}

void TqvControl::SetScrollBarsBounds() {
  if (FHScrollBar->GetVisible()) FHScrollBar->SetBoundsRect(GetHScrollBarBounds());
  if (FVScrollBar->GetVisible()) FVScrollBar->SetBoundsRect(GetVScrollBarBounds());
  if (FSizeGrip->GetVisible()) FSizeGrip->SetBoundsRect(GetSizeGripBounds());
}

void TqvControl::ScrollBarMetricsChanged() {
  if (!FHScrollBar) return;
  const TSize size = GetScrollBarSize();
  if (size.cy == FHScrollBar->GetHeight() && size.cx == FVScrollBar->GetWidth()) return;
  FHScrollBar->SetHeight(size.cy);
  FVScrollBar->SetWidth(size.cx);
  BoundsChanged();
}

void TqvControl::ScrollContent(TqvScrollDirection ADirection) {
  if (ADirection == sdNone || !FHScrollBar) return;
  const TScrollBarKind kind = ADirection == sdUp || ADirection == sdDown ? sbVertical : sbHorizontal;
  const TScrollCode code = ADirection == sdRight || ADirection == sdDown ? scLineDown : scLineUp;
  Integer position = (kind == sbVertical ? FVScrollBar : FHScrollBar)->GetPosition();
  Scroll(kind, code, position);
}

// ---------------------------------------------------------------------------------------------
// Layout

bool TqvControl::IsScrollBarAllowed(TScrollBarKind AKind) const {
  return FScrollBars == ssBoth || FScrollBars == (AKind == sbHorizontal ? ssHorizontal : ssVertical);
}

// A range that is not bigger than the page has nothing to scroll: the bar hides when it may,
// else it shows disabled with its previous range.
void TqvControl::SetScrollBarInfo(TScrollBarKind AKind, Integer AMin, Integer AMax, Integer AStep, Integer APage,
                                  Integer APos, bool AAllowShow, bool AAllowHide) {
  if (!FHScrollBar) return;
  TqvScrollBarSettings& d = (AKind == sbHorizontal ? FHScrollBar : FVScrollBar)->GetData();
  d.AllowShow = AAllowShow && IsScrollBarAllowed(AKind);
  d.AllowHide = AAllowHide;
  if (!d.AllowShow) {
    d.Visible = false;
    return;
  }
  if (AMax >= AMin && Int64(APage) < Int64(AMax) - AMin + 1 && APos >= AMin) {
    d.PageSize = APage;
    d.Min = AMin;
    d.Max = AMax;
    d.SmallChange = ClampPageStep(AStep);
    d.LargeChange = ClampPageStep(APage);
    d.Position = APos;
    d.Enabled = d.Visible = true;
  } else if (AAllowHide) {
    d.Visible = false;
  } else {
    d.Enabled = false;
    d.Visible = true;
  }
}

void TqvControl::ComputeScrollBarsUntilStable() {
  if (FCalculatingScrollBarsParams) return;
  TAliveToken alive = AliveToken();
  TValueScope calculating(FCalculatingScrollBarsParams, true, alive);
  FHScrollBar->GetData().Visible = FVScrollBar->GetData().Visible = false;
  for (Integer pass = 0; pass < kMaxLayoutPasses; ++pass) {
    const bool h = IsHScrollBarVisible(), v = IsVScrollBarVisible();
    InitScrollBarsParameters();
    if (!alive || (h == IsHScrollBarVisible() && v == IsVScrollBarVisible())) break;
  }
  if (alive) ApplyBothScrollBarsRule();
}

// Two bars that each show only because the other takes room both go: the content fits once
// neither bar is there.
void TqvControl::ApplyBothScrollBarsRule() {
  const TqvScrollBarSettings h = FHScrollBar->GetData(), v = FVScrollBar->GetData();
  if (!(h.Visible && h.Enabled && h.AllowHide && v.Visible && v.Enabled && v.AllowHide)) return;
  auto fits = [this](TScrollBarKind kind, const TqvScrollBarSettings& d, Integer other) {
    return IsPixelScrollBar(kind) && Int64(other) + d.PageSize >= Int64(d.Max) - d.Min + 1;
  };
  const Integer vWidth = FVScrollBar->GetWidth(), hHeight = FHScrollBar->GetHeight();
  if (!fits(sbHorizontal, h, vWidth) || !fits(sbVertical, v, hHeight)) return;
  SetScrollBarInfo(sbHorizontal, h.Min, h.Max, h.SmallChange, h.PageSize + vWidth, h.Position, h.AllowShow, h.AllowHide);
  SetScrollBarInfo(sbVertical, v.Min, v.Max, v.SmallChange, v.PageSize + hHeight, v.Position, v.AllowShow, v.AllowHide);
}

// Re-entrant: a bar that appears or goes changes the client bounds, and BoundsChanged comes back
// here. When a nested pass ends where the outermost one began, the layout oscillates; the bar
// whose visibility would flip back then stays shown, disabled.
// Nothing without own bars (also while a descendant's constructor runs: they come after it).
void TqvControl::UpdateScrollBars() {
  if (!FHScrollBar) return;
  const bool outermost = !FUpdatingScrollBars;
  if (outermost) {
    FSavedHScrollBarVisible = FHScrollBar->GetVisible();
    FSavedVScrollBarVisible = FVScrollBar->GetVisible();
  }
  TAliveToken alive = AliveToken();
  TValueScope updating(FUpdatingScrollBars, true, alive);
  TValueScope stable(FScrollBarsStable, outermost ? false : FScrollBarsStable, alive);
  const bool oldH = FHScrollBar->GetVisible(), oldV = FVScrollBar->GetVisible();
  if (!FScrollBarsStable) {
    ComputeScrollBarsUntilStable();
    if (!alive) return;
    FScrollBarsStable = !outermost && FHScrollBar->GetData().Visible == FSavedHScrollBarVisible &&
                        FVScrollBar->GetData().Visible == FSavedVScrollBarVisible;
    if (FScrollBarsStable) {
      const std::pair<TqvControlScrollBar*, bool> bars[] = {{FHScrollBar, FSavedHScrollBarVisible},
                                                            {FVScrollBar, FSavedVScrollBarVisible}};
      for (auto [bar, saved] : bars)
        if (saved != bar->GetVisible()) {
          bar->SetEnabled(false);
          bar->SetVisible(true);
        }
    } else {
      FHScrollBar->ApplyData();
      FVScrollBar->ApplyData();
    }
  }
  if (FHScrollBar->GetVisible() != oldH || FVScrollBar->GetVisible() != oldV) {
    BoundsChanged();
    return;
  }
  FSizeGrip->SetVisible(FHScrollBar->GetVisible() && FVScrollBar->GetVisible());
  SetScrollBarsBounds();
  FHScrollBar->BringToFront();
  FVScrollBar->BringToFront();
  FSizeGrip->BringToFront();
}
