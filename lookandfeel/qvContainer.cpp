// The container's view info, the container, the routines the editors share, and the unit's
// start-up and shut-down.
#include "lookandfeel/qvContainer.h"

#include <algorithm>

#include "lookandfeel/qvPopupWindow.h"
#include "platform/forms/Forms.h"
#include "platform/os/Gdi.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvContainerViewInfo)
QJ_IMPLEMENT_CLASS(TqvContainerMouseTrackingHelper)
QJ_IMPLEMENT_CLASS(TqvContainer)
QJ_IMPLEMENT_CLASS(TqvFreeNotificator)

namespace {

constexpr Integer kShadowSize = 3;
// Room for the thickest hot border, kept whatever is drawn so the inner control does not move.
constexpr Integer kHotBorderExtent = 2;

// The border drawn for a style border at a hot state (0: no hot tracking, 1: resting, 2: hot or
// focused), and the width of each drawn style.
constexpr TqvContainerBorderStyle kDrawnBorder[2][6] = {
    {cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsSingle},
    {cbsFlat, cbsThick, cbsThick, cbs3D, cbs3D, cbsSingle},
};
constexpr Integer kBorderWidth[6] = {0, 1, 2, 2, 2, 1};

struct TContainersUnit {
  TOwned<TqvScreenCanvas> ScreenCanvas;
};

TContainersUnit& ContainersUnit() {
  static TContainersUnit unit;
  return unit;
}

// R grown by AWidth on each side in AEdges.
TRect InflatedOnEdges(TRect R, Integer AWidth, TqvBorders AEdges) {
  if (AEdges & qvBorder(bLeft)) R.Left -= AWidth;
  if (AEdges & qvBorder(bTop)) R.Top -= AWidth;
  if (AEdges & qvBorder(bRight)) R.Right += AWidth;
  if (AEdges & qvBorder(bBottom)) R.Bottom += AWidth;
  return R;
}

bool SameFont(TFont* A, TFont* B) {
  return A->GetName() == B->GetName() && A->GetHeight() == B->GetHeight() && A->GetStyle() == B->GetStyle() &&
         A->GetColor() == B->GetColor() && A->GetCharset() == B->GetCharset() && A->GetPitch() == B->GetPitch();
}

// The four bands of R outside InnerR, or R itself when InnerR is empty.
std::vector<TRect> BandsOutside(const TRect& R, const TRect& InnerR) {
  if (InnerR.IsEmpty()) return {R};
  return {Rect(R.Left, R.Top, InnerR.Left, R.Bottom), Rect(InnerR.Left, R.Top, InnerR.Right, InnerR.Top),
          Rect(InnerR.Right, R.Top, R.Right, R.Bottom), Rect(InnerR.Left, InnerR.Bottom, InnerR.Right, R.Bottom)};
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Routines

TqvMouseButton ConvertMouseButton(TMouseButton Button) {
  switch (Button) {
    case mbLeft: return cmbLeft;
    case mbRight: return cmbRight;
    case mbMiddle: return cmbMiddle;
    default: return cmbNone;
  }
}

void DrawContainerShadow(TqvCanvas* ACanvas, const TRect& R) {
  ACanvas->SetBrushColor(clBtnShadow);
  ACanvas->FillRect(Rect(R.Left + kShadowSize, R.Bottom, R.Right, R.Bottom + kShadowSize));
  ACanvas->ExcludeClipRect(Rect(R.Left, R.Bottom, R.Right, R.Bottom + kShadowSize));
  ACanvas->FillRect(Rect(R.Right, R.Top + kShadowSize, R.Right + kShadowSize, R.Bottom + kShadowSize));
  ACanvas->ExcludeClipRect(Rect(R.Right, R.Top, R.Right + kShadowSize, R.Bottom + kShadowSize));
}

void DeflateRectBy(TRect& R, const TRect& Extent) {
  R.Left += Extent.Left;
  R.Top += Extent.Top;
  R.Right -= Extent.Right;
  R.Bottom -= Extent.Bottom;
}

TRect GetControlRect(TControl* AControl) { return Rect(0, 0, AControl->GetWidth(), AControl->GetHeight()); }

bool IsControlWindow(TWinControl* AControl, HWND Wnd) {
  return AControl && AControl->HandleAllocated() && AControl->GetHandle() == Wnd;
}

bool IsSameString(const String& S1, const String& S2, bool CaseSensitive) {
  return CaseSensitive ? AnsiCompareStr(S1, S2) == 0 : AnsiUpperCase(S1) == AnsiUpperCase(S2);
}

void FillRectOutside(TqvCanvas* ACanvas, const TRect& R, const TRect& InnerR, TColor Color) {
  if (R.IsEmpty() || R == InnerR) return;
  ACanvas->SetBrushColor(Color);
  for (const TRect& band : BandsOutside(R, InnerR))
    if (!band.IsEmpty()) ACanvas->FillRect(band);
}

void InvalidateRectOutside(HWND Wnd, const TRect& R, const TRect& InnerR, bool Erase) {
  for (const TRect& band : BandsOutside(R, InnerR))
    if (!band.IsEmpty()) ::InvalidateRect(Wnd, &band, Erase);
}

void InvalidateControlRect(TWinControl* AControl, const TRect& R, bool Erase) {
  if (AControl && AControl->HandleAllocated()) ::InvalidateRect(AControl->GetHandle(), &R, Erase);
}

TPoint GetCursorScreenPos() { return GetMouseCursorPos(); }

TShiftState GetCurrentShiftState() { return KeyboardStateToShiftState(); }

bool IsWindowShown(HWND Wnd) { return Wnd && IsWindow(Wnd) && IsWindowVisible(Wnd); }

TqvScreenCanvas* GetScreenCanvas() {
  if (!ContainersUnit().ScreenCanvas) ContainersUnit().ScreenCanvas = MakeOwned<TqvScreenCanvas>();
  return ContainersUnit().ScreenCanvas.get();
}

void SetWindowRegionFromRect(TWinControl* AControl, const TRect* R) {
  if (!AControl->HandleAllocated()) return;
  SetWindowRgn(AControl->GetHandle(), R ? CreateRectRgn(R->Left, R->Top, R->Right, R->Bottom) : nullptr, FALSE);
}

void SetContainerWindowRegion(HWND Wnd, const TRect& R, bool ANativeStyle, bool AShadow, const TRect* ExcludeRect) {
  HRGN wanted = nullptr;
  if (!ANativeStyle) {
    wanted = CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom);
    if (AShadow) {
      HRGN shadow = CreateRectRgn(R.Left + kShadowSize, R.Top + kShadowSize, R.Right + kShadowSize, R.Bottom + kShadowSize);
      CombineRgn(wanted, wanted, shadow, RGN_OR);
      DeleteObject(shadow);
    }
    if (ExcludeRect) {
      HRGN excluded = CreateRectRgn(ExcludeRect->Left, ExcludeRect->Top, ExcludeRect->Right, ExcludeRect->Bottom);
      CombineRgn(wanted, wanted, excluded, RGN_DIFF);
      DeleteObject(excluded);
    }
  }
  HRGN current = CreateRectRgn(0, 0, 0, 0);
  const int kind = GetWindowRgn(Wnd, current);
  const bool hasRegion = kind != ERROR && kind != NULLREGION;
  const bool differs = wanted ? kind == ERROR || !EqualRgn(current, wanted) : hasRegion;
  DeleteObject(current);
  if (differs)
    SetWindowRgn(Wnd, wanted, TRUE);
  else if (wanted)
    DeleteObject(wanted);
}

bool IsGetScrollBarInfoAvailable() { return true; }

bool IsContainerThemeUsable(bool ANativeStyle, TzmThemeClass AThemeClass) {
  return ANativeStyle && OpenTheme(AThemeClass) != nullptr;
}

void AddFreeNotification(TComponent* AComponent, TComponent* ATarget) {
  if (ATarget) ATarget->FreeNotification(AComponent);
}

void RemoveFreeNotification(TComponent* AComponent, TComponent* ATarget) {
  if (ATarget) ATarget->RemoveFreeNotification(AComponent);
}

void TqvFreeNotificator::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && OnFreeNotification) OnFreeNotification(AComponent);
}

void InitContainers() {
  InitPopupHooks();
  GetScreenCanvas();
}

void DoneContainers() {
  ContainersUnit().ScreenCanvas.reset();
  DonePopupHooks();
}

// ---------------------------------------------------------------------------------------------
// View info

void TqvContainerViewInfo::Assign(TObject* Source) {
  if (auto* source = As<TqvContainerViewInfo>(Source)) InnerEditRect = source->InnerEditRect;
}

TOwned<TqvRegion> TqvContainerViewInfo::GetUpdateRegion() { return MakeOwned<TqvRegion>(); }

void TqvContainerViewInfo::Offset(Integer DX, Integer DY) {
  ClientRect = qvOffsetRect(ClientRect, DX, DY);
  Bounds = qvOffsetRect(Bounds, DX, DY);
  InnerEditRect = qvOffsetRect(InnerEditRect, DX, DY);
}

void TqvContainerViewInfo::SetBackgroundColor(TColor Value) {
  BackgroundColor = Value;
  TextColor = clBlack;
}

void TqvContainerViewInfo::Paint(TqvCanvas* ACanvas) {
  if (NativeStyle) {
    TRect content = Bounds;
    if (HTHEME theme = OpenTheme(ThemeClass)) {
      GetThemeBackgroundContentRect(theme, ACanvas->GetHandle(), ThemePart, ThemeState, &Bounds, &content);
      COLORREF border = ColorToRGB(clWindowFrame);
      if (HTHEME combo = OpenTheme(totComboBox)) GetThemeColor(combo, CP_DROPDOWNBUTTON, BLS_NORMAL, TMT_BORDERCOLOR, &border);
      ACanvas->SetBrushColor(BackgroundColor);
      ACanvas->FillRect(content);
      FillRectOutside(ACanvas, Bounds, content, static_cast<TColor>(border));
      return;
    }
  }
  TRect frame = ClientRect;
  frame.Left -= BorderThickness;
  frame.Top -= BorderThickness;
  if (Edges & qvBorder(bRight)) frame.Right += BorderThickness;
  if (Edges & qvBorder(bBottom)) frame.Bottom += BorderThickness;
  if (Shadow) DrawContainerShadow(ACanvas, frame);
  if (!(Edges & qvBorder(bRight))) frame.Right += BorderThickness;
  if (!(Edges & qvBorder(bBottom))) frame.Bottom += BorderThickness;
  switch (BorderStyle) {
    case cbsSingle:
    case cbsThick: ACanvas->FrameRect(frame, BorderColor, BorderThickness); break;
    case cbsFlat:
      ACanvas->DrawEdge(frame, true, true, Edges);
      ACanvas->FrameRect(qvDeflatedRect(frame, 1), clBtnFace);
      break;
    case cbs3D:
      ACanvas->DrawEdge(frame, true, true, Edges);
      ACanvas->DrawComplexFrame(qvDeflatedRect(frame, 1), cl3DDkShadow, cl3DLight, Edges);
      break;
    case cbsNone:
    case cbsUltraFlat: break;
  }
  ACanvas->SetBrushColor(BackgroundColor);
  ACanvas->FillRect(ClientRect);
}

// ---------------------------------------------------------------------------------------------
// Construction

void TqvContainerMouseTrackingHelper::MouseLeave() {
  ::EndMouseTracking(this);
  FContainer->EndMouseTracking();
}

TqvContainer::TqvContainer(TComponent* AOwner) : TqvControl(AOwner) {
  FMouseTrackingHelper = MakeOwned<TqvContainerMouseTrackingHelper>(this);
  SetControlStyle(GetControlStyle() | csCaptureMouse | csSetCaption);
}

void TqvContainer::AfterConstruction() {
  inherited::AfterConstruction();
  FStyle.reset(GetStyleClass()->Create(this, IsInplace()));
  FStyle->OnChanged = [this](TObject* Sender) { ContainerStyleChanged(Sender); };
  FViewInfo.reset(GetViewInfoClass()->Create());
  GetLookAndFeel()->SetMasterLookAndFeel(FStyle->GetLookAndFeel());
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  FThemeChangedNotificator = MakeOwned<TzmThemeChangedNotificator>();
  FThemeChangedNotificator->OnThemeChanged = [this] { ThemeChanged(); };
  FCreating = false;
}

void TqvContainer::BeforeDestruction() {
  ::EndMouseTracking(FMouseTrackingHelper.get());
  FContainerDestroying = true;
  inherited::BeforeDestruction();
}

TqvContainer::~TqvContainer() {
  FContainerDestroying = true;
  FThemeChangedNotificator.reset();
  FViewInfo.reset();
  if (FStyle) FStyle->OnChanged = nullptr;
  GetLookAndFeel()->SetMasterLookAndFeel(nullptr);
  FStyle.reset();
  ::EndMouseTracking(FMouseTrackingHelper.get());
  FMouseTrackingHelper.reset();
}

void TqvContainer::Loaded() {
  inherited::Loaded();
  ContainerStyleChanged(FStyle.get());
}

Integer TqvContainer::GetBorderWidth(TqvContainerBorderStyle ABorderStyle) { return kBorderWidth[ABorderStyle]; }

void TqvContainer::LockAlignControls(bool Lock) {
  if (Lock)
    ++FAlignLockCount;
  else if (FAlignLockCount > 0)
    --FAlignLockCount;
}

void TqvContainer::SetDragKind(TDragKind Value) {
  TControl::SetDragKind(Value);
  if (FInnerControl) FInnerControl->SetDragKind(Value);
}

void TqvContainer::SetDragMode(TDragMode Value) {
  TControl::SetDragMode(Value);
  if (FInnerControl) FInnerControl->SetDragMode(Value);
}

// ---------------------------------------------------------------------------------------------
// The view info and the refresh

void TqvContainer::ShortRefreshContainer(bool AIsMouseEvent) {
  if (!HandleAllocated() || IsDestroying()) return;
  RefreshContainer(ScreenToClient(GetCursorScreenPos()), cmbNone, GetCurrentShiftState(), AIsMouseEvent);
}

bool TqvContainer::RefreshContainer(TPoint P, TqvMouseButton, TShiftState Shift, bool) {
  if (FInnerBoundsChanging || IsDestroying()) return true;
  TAliveToken alive = AliveToken();
  CalculateViewInfo(P, Shift == 0 && FStyle->GetHotTrack());
  SetInnerControlBounds();
  if (!alive) return true;
  AdjustInnerControl();
  UpdateWindowRegion();
  if (!HandleAllocated()) return true;
  if (FInnerControl)
    InvalidateRectOutside(GetHandle(), GetControlRect(this), FViewInfo->ClientRect, false);
  else
    InvalidateRect(GetControlRect(this), false);
  return true;
}

TqvContainerBorderStyle TqvContainer::DrawnBorderStyle(TqvContainerState AState) const {
  const bool hot = FStyle->GetHotTrack() && (AState & (cstBit(cstActive) | cstBit(cstHot)));
  return kDrawnBorder[hot ? 1 : 0][FStyle->GetBorderStyle()];
}

void TqvContainer::CalculateViewInfo(TPoint P, bool ACheckHot) {
  TqvContainerViewInfo& vi = *FViewInfo;
  vi.Bounds = GetControlRect(this);
  vi.NativeStyle = IsContainerThemeUsable(FStyle->GetLookAndFeel()->GetNativeStyle(), GetThemedObjectType());
  if (vi.NativeStyle) {
    vi.ThemeClass = GetThemedObjectType();
    vi.ThemePart = GetNativePart();
  }
  vi.Shadow = FStyle->GetShadow() && !vi.NativeStyle;
  if (!GetEnabled())
    vi.ContainerState = cstBit(cstDisabled);
  else if (IsDesigning())
    vi.ContainerState = cstBit(cstNormal);
  else {
    vi.ContainerState = Focused() ? cstBit(cstActive) : cstBit(cstNormal);
    TRect visible;
    GetVisibleBounds(visible);
    if (ACheckHot && visible.Contains(P)) vi.ContainerState |= cstBit(cstHot);
  }
  vi.BorderStyle = DrawnBorderStyle(vi.ContainerState);
  TRect extent;
  GetBorderExtent(extent);
  vi.ClientRect = vi.Bounds;
  DeflateRectBy(vi.ClientRect, extent);
  vi.BorderThickness = GetBorderWidth(vi.BorderStyle);
  vi.Edges = FStyle->GetEdges();
  if (FStyle->GetBorderStyle() == cbsUltraFlat) {
    const bool highlighted = (vi.ContainerState & cstBit(cstActive)) ||
                             ((vi.ContainerState & cstBit(cstHot)) && FStyle->GetHotTrack());
    if (IsDesigning())
      vi.BorderColor = GetEnabled() ? clHighlight : clBtnShadow;
    else
      vi.BorderColor = highlighted ? clHighlight : clBtnShadow;
  } else {
    vi.BorderColor = FStyle->GetBorderColor();
  }
  vi.InnerEditRect = vi.ClientRect;
  if (vi.NativeStyle) vi.ThemeState = GetNativeState();
  vi.SetBackgroundColor(CalculateBackgroundColor());
}

TColor TqvContainer::CalculateBackgroundColor() {
  const TqvContainerViewInfo& vi = *FViewInfo;
  if (!vi.NativeStyle) return GetEnabled() ? FStyle->GetColor() : clBtnFace;
  if (GetEnabled()) return GetColor();
  // A disabled themed frame takes the theme's fill of the disabled state.
  COLORREF fill = ColorToRGB(clBtnFace);
  if (HTHEME theme = OpenTheme(vi.ThemeClass)) GetThemeColor(theme, vi.ThemePart, ETS_DISABLED, TMT_FILLCOLOR, &fill);
  return static_cast<TColor>(fill);
}

Integer TqvContainer::GetNativeState() {
  if (!GetEnabled()) return ETS_DISABLED;
  if (Focused()) return ETS_FOCUSED;
  if (FViewInfo->ContainerState & cstBit(cstHot)) return ETS_HOT;
  return ETS_NORMAL;
}

void TqvContainer::GetBorderExtent(TRect& R) {
  if (FStyle->GetTransparentBorder() || FStyle->GetHotTrack()) {
    R = Rect(kHotBorderExtent, kHotBorderExtent, kHotBorderExtent, kHotBorderExtent);
  } else {
    const Integer w = GetBorderWidth(FViewInfo->BorderStyle);
    R = Rect(w, w, w, w);
  }
  if (!IsContainerThemeUsable(FStyle->GetLookAndFeel()->GetNativeStyle(), GetThemedObjectType()) && FStyle->GetShadow()) {
    R.Right += kShadowSize;
    R.Bottom += kShadowSize;
  }
}

void TqvContainer::GetVisibleBounds(TRect& R) {
  R = GetControlRect(this);
  if (IsContainerThemeUsable(FStyle->GetLookAndFeel()->GetNativeStyle(), GetThemedObjectType())) return;
  TRect extent;
  GetBorderExtent(extent);
  DeflateRectBy(R, extent);
  if (const Integer w = GetBorderWidth(FViewInfo->BorderStyle)) R = InflatedOnEdges(R, w, FStyle->GetEdges());
}

void TqvContainer::UpdateWindowRegion() {
  if (!HandleAllocated() || IsDestroying()) return;
  TRect r = FViewInfo->Bounds;
  TRect extent;
  GetBorderExtent(extent);
  DeflateRectBy(r, extent);
  r = InflatedOnEdges(r, GetBorderWidth(FViewInfo->BorderStyle), FStyle->GetEdges());
  SetContainerWindowRegion(GetHandle(), r, FViewInfo->NativeStyle, FViewInfo->Shadow, nullptr);
}

void TqvContainer::SetInnerControlBounds() {
  if (!FInnerControl || FInnerControl->GetBoundsRect() == FViewInfo->InnerEditRect) return;
  TValueScope changing(FInnerBoundsChanging, true, AliveToken());
  FInnerControl->SetBoundsRect(FViewInfo->InnerEditRect);
}

void TqvContainer::AdjustInnerControl() {
  if (!FInnerControl) return;
  FInnerControl->SetColor(FViewInfo->BackgroundColor);
  TOwned<TFont> font = MakeOwned<TFont>();
  font->Assign(GetFont());
  font->SetColor(GetEnabled() ? GetFont()->GetColor() : clBtnShadow);
  if (!SameFont(FInnerControl->GetFont(), font.get())) FInnerControl->SetFont(font.get());
}

void TqvContainer::EndMouseTracking() {
  MouseLeave(nullptr);
  ::EndMouseTracking(FMouseTrackingHelper.get());
}

void TqvContainer::StartMouseTracking() {
  TRect visible;
  GetVisibleBounds(visible);
  BeginMouseTracking(this, visible, FMouseTrackingHelper.get());
}

void TqvContainer::SaveInnerControlRegion(TWinControl* AControl, const TRect* ARegion) {
  if (AControl != FInnerControl) return;
  FHasSavedRegion = ARegion != nullptr;
  if (ARegion) FSavedRegion = *ARegion;
}

void TqvContainer::GetInnerControlRegion(const TRect& AClientRect, TWinControl* AControl, TRect& ARegion,
                                         bool& AHasRegion) {
  AHasRegion = false;
  if (!AControl) return;
  ARegion = GetControlRect(AControl);
  const TRect b = AControl->GetBoundsRect();
  if (b.Left < AClientRect.Left) ARegion.Left += AClientRect.Left - b.Left, AHasRegion = true;
  if (b.Top < AClientRect.Top) ARegion.Top += AClientRect.Top - b.Top, AHasRegion = true;
  if (b.Right > AClientRect.Right) ARegion.Right -= b.Right - AClientRect.Right, AHasRegion = true;
  if (b.Bottom > AClientRect.Bottom) ARegion.Bottom -= b.Bottom - AClientRect.Bottom, AHasRegion = true;
}

void TqvContainer::AlignControls(TControl* AControl, TRect& R) {
  if (IsAlignLocked() || (AControl && IsInternalControl(AControl))) return;
  if (!AControl) inherited::AlignControls(AControl, R);
  auto* control = As<TWinControl>(AControl);
  if (FCreating || !control || !control->HandleAllocated()) return;
  // The child is clipped to the client rectangle, not to the whole control.
  TRect client = R;
  AdjustClientRect(client);
  TRect region;
  bool hasRegion = false;
  GetInnerControlRegion(client, control, region, hasRegion);
  const TRect* wanted = hasRegion ? &region : nullptr;
  if (!HasInnerControlRegionChanged(control, wanted)) return;
  SetWindowRegionFromRect(control, wanted);
  SaveInnerControlRegion(control, wanted);
}

void TqvContainer::AdjustClientRect(TRect& R) {
  if (!IsDestroying() && FViewInfo) R = FViewInfo->InnerEditRect;
}

TRect TqvContainer::GetClientBounds() { return FViewInfo ? FViewInfo->InnerEditRect : TRect(); }

// ---------------------------------------------------------------------------------------------
// Style, colour and font

void TqvContainer::ContainerStyleChanged(TObject*) {
  if (FCreating || HasState(csLoading)) return;
  TAliveToken alive = AliveToken();
  ShortRefreshContainer(false);
  if (!alive) return;
  if (FStyle->GetStyleColor() != GetColor()) {
    TValueScope assigning(FStyleAssigning, true, alive);
    SetParentColor(false);
    SetColor(FStyle->GetColor());
  }
  if (!alive) return;
  TValueScope assigning(FStyleAssigning, true, alive);
  SetFont(FStyle->GetFont());
}

void TqvContainer::DoColorChange() {
  if (!FStyle || FCreating) return;
  if (FStyleAssigning)
    ShortRefreshContainer(false);
  else
    FStyle->SetColor(GetColor());
}

void TqvContainer::FontChanged() {
  if (!FStyle) return;
  GetCanvas()->SetFont(GetFont());
  if (!FStyleAssigning) {
    FStyle->SetFont(GetFont());
    FStyle->SetAssignedValues(FStyle->GetAssignedValues() & ~csvBit(csvFont));
    return;
  }
  TAliveToken alive = AliveToken();
  inherited::FontChanged();
  if (!alive) return;
  SetInnerControlBounds();
  SetScrollBarsParameters();
  if (HandleAllocated()) ShortRefreshContainer(false);
  if (alive && FInnerControl) FInnerControl->SetFont(GetFont());
}

void TqvContainer::CursorChanged() {
  inherited::CursorChanged();
  if (FInnerControl) FInnerControl->SetCursor(GetCursor());
}

void TqvContainer::CMParentColorChanged(TMessage& Message) {
  const bool wasAssigned = (FStyle->GetAssignedValues() & csvBit(csvColor)) != 0;
  inherited::Dispatch(Message);
  if (!wasAssigned || GetParentColor())
    FStyle->SetAssignedValues(FStyle->GetAssignedValues() & ~csvBit(csvColor));
  if (FStyle->GetColor() != GetColor()) ContainerStyleChanged(FStyle.get());
}

void TqvContainer::CMParentFontChanged(TMessage& Message) {
  const bool wasAssigned = (FStyle->GetAssignedValues() & csvBit(csvFont)) != 0;
  inherited::Dispatch(Message);
  if (!GetParentFont()) FStyle->UpdateFont();
  if (!wasAssigned) FStyle->SetAssignedValues(FStyle->GetAssignedValues() & ~csvBit(csvFont));
}

// ---------------------------------------------------------------------------------------------
// Window and painting

void TqvContainer::CreateHandle() {
  inherited::CreateHandle();
  GetCanvas()->SetFont(GetFont());
  ShortRefreshContainer(false);
}

void TqvContainer::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TqvContainer::Paint() {
  if (GetCanvas()->RectVisible(FViewInfo->Bounds)) FViewInfo->Draw(GetCanvas());
}

void TqvContainer::Resize() {
  TAliveToken alive = AliveToken();
  inherited::Resize();
  if (alive && !FCreating) ShortRefreshContainer(false);
}

void TqvContainer::EnabledChanged() {
  const bool enabled = GetEnabled();
  if (FInnerControl) FInnerControl->SetEnabled(enabled);
  if (HasScrollBars()) {
    if (GetHScrollBar()) GetHScrollBar()->SetEnabled(enabled);
    if (GetVScrollBar()) GetVScrollBar()->SetEnabled(enabled);
  }
  ShortRefreshContainer(false);
}

// ---------------------------------------------------------------------------------------------
// Focus, keys and mouse

bool TqvContainer::Focused() {
  if (IsDesigning()) return false;
  const HWND focus = GetFocus();
  return focus && (IsControlWindow(this, focus) || IsControlWindow(FInnerControl, focus));
}

void TqvContainer::SetFocus() {
  if (!IsDesigning()) inherited::SetFocus();
}

bool TqvContainer::FocusOnClick() {
  return !(FInnerControl && FInnerControl->Focused()) && !FInnerControlMouseDown;
}

bool TqvContainer::MayFocus() const { return !(FInnerControl && FInnerControl->Focused()); }

void TqvContainer::FocusChanged() {
  TAliveToken alive = AliveToken();
  inherited::FocusChanged();
  if (alive) ShortRefreshContainer(false);
}

void TqvContainer::KeyDown(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  inherited::KeyDown(Key, Shift);
  if (!alive || Key != VK_TAB || (Shift & (ssAlt | ssCtrl)) || !Focused() || IsTabKeyHandledByControl()) return;
  Key = 0;
  if (TCustomForm* form = GetParentForm(this)) {
    form->SelectNext(this, !(Shift & ssShift), true);
    if (!alive) return;
    if (HandleAllocated() && GetFocus() == GetHandle() && FInnerControl && FInnerControl->CanFocus())
      FInnerControl->SetFocus();
  }
}

void TqvContainer::InnerControlMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TValueScope mouseDown(FInnerControlMouseDown, true, AliveToken());
  MouseDown(Button, Shift, X, Y);
}

void TqvContainer::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseDown(Button, Shift, X, Y);
  if (alive) RefreshContainer({X, Y}, ConvertMouseButton(Button), GetCurrentShiftState(), true);
}

void TqvContainer::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseUp(Button, Shift, X, Y);
  if (alive) RefreshContainer({X, Y}, ConvertMouseButton(Button), GetCurrentShiftState(), true);
}

void TqvContainer::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseMove(Shift, X, Y);
  if (!alive) return;
  RefreshContainer({X, Y}, cmbNone, Shift, true);
  if (alive) StartMouseTracking();
}

void TqvContainer::MouseEnter(TControl* AControl) {
  TAliveToken alive = AliveToken();
  inherited::MouseEnter(AControl);
  if (alive) ShortRefreshContainer(true);
  if (alive && !IsDestroying()) StartMouseTracking();
}

void TqvContainer::MouseLeave(TControl* AControl) {
  TAliveToken alive = AliveToken();
  inherited::MouseLeave(AControl);
  if (alive) ShortRefreshContainer(true);
  if (alive) ::EndMouseTracking(FMouseTrackingHelper.get());
}

// ---------------------------------------------------------------------------------------------
// Messages

void TqvContainer::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS:
      if (!GetVisible()) return;
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case CN_KEYDOWN:
    case CN_KEYUP:
    case CN_CHAR:
      if (FInnerControl && FInnerControl->HandleAllocated()) {
        Message.Result = SendMessage(FInnerControl->GetHandle(), Message.Msg, Message.WParam, Message.LParam);
        return;
      }
      break;
    default: break;
  }
  inherited::WndProc(Message);
}

void TqvContainer::WMSetFocus(TMessage& Message) {
  if (!FInnerControl || !FInnerControl->HandleAllocated() || IsDestroying()) {
    inherited::Dispatch(Message);
    return;
  }
  if (reinterpret_cast<HWND>(Message.WParam) == FInnerControl->GetHandle()) {
    Message.Result = 0;
    return;
  }
  TAliveToken alive = AliveToken();
  inherited::Dispatch(Message);
  if (alive && FInnerControl && FInnerControl->CanFocus()) FInnerControl->SetFocus();
}

void TqvContainer::WMKillFocus(TMessage& Message) {
  if (FInnerControl && FInnerControl->HandleAllocated() &&
      reinterpret_cast<HWND>(Message.WParam) == FInnerControl->GetHandle()) {
    Message.Result = 0;
    return;
  }
  inherited::Dispatch(Message);
}

void TqvContainer::WMWindowPosChanging(TMessage& Message) {
  if (IsDestroying()) {
    Message.Result = 0;
    return;
  }
  inherited::Dispatch(Message);
  if (HandleAllocated() && GetFocus() == GetHandle() && FInnerControl && FInnerControl->CanFocus())
    if (TCustomForm* form = GetParentForm(this)) form->FocusControl(FInnerControl);
}

void TqvContainer::WMSetCursor(TMessage& Message) {
  if (FInnerControl && reinterpret_cast<HWND>(Message.WParam) == GetHandle() && LOWORD(Message.LParam) == HTCLIENT &&
      !FViewInfo->InnerEditRect.Contains(ScreenToClient(GetCursorScreenPos()))) {
    ::SetCursor(LoadCursor(nullptr, MAKEINTRESOURCE(IDC_ARROW)));
    Message.Result = 1;
    return;
  }
  inherited::Dispatch(Message);
}

void TqvContainer::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS: WMSetFocus(Message); return;
    case WM_KILLFOCUS: WMKillFocus(Message); return;
    case WM_WINDOWPOSCHANGING: WMWindowPosChanging(Message); return;
    case WM_NCPAINT: Message.Result = 0; return;
    case WM_SETCURSOR: WMSetCursor(Message); return;
    case WM_THEMECHANGED:
      inherited::Dispatch(Message);
      CloseAllThemes();
      ShortRefreshContainer(false);
      return;
    case CM_CTL3DCHANGED:
    case CM_SYSCOLORCHANGE:
      inherited::Dispatch(Message);
      ShortRefreshContainer(false);
      return;
    case CM_ENABLEDCHANGED:
      inherited::Dispatch(Message);
      EnabledChanged();
      return;
    case WM_QV_PRIVATE8131:
      inherited::Dispatch(Message);
      if (!FCreating && !HasState(csLoading)) ShortRefreshContainer(false);
      return;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(Message); return;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(Message); return;
    default: inherited::Dispatch(Message);
  }
}

// ---------------------------------------------------------------------------------------------
// Mirrored scroll bars

void TqvContainer::UpdateScrollBars() { SetScrollBarsParameters(); }

void TqvContainer::SetScrollBarsParameters() {
  if (!FInnerControl || !HasScrollBars() || IsDestroying() || !IsGetScrollBarInfoAvailable()) return;
  TValueScope mirroring(FScrollBarsMirroring, true, AliveToken());
  MirrorScrollBar(GetHScrollBar(), OBJID_HSCROLL, SB_HORZ);
  MirrorScrollBar(GetVScrollBar(), OBJID_VSCROLL, SB_VERT);
}

void TqvContainer::MirrorScrollBar(TqvControlScrollBar* ABar, LONG AObjectId, int ABarKind) {
  if (!ABar) return;
  bool shown = false;
  SCROLLBARINFO info;
  if (GetParent() && HandleAllocated() && FInnerControl->HandleAllocated() &&
      GetScrollBarInfo(FInnerControl->GetHandle(), AObjectId, &info) &&
      !(info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN))) {
    ABar->SetEnabled(GetEnabled() && !(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE));
    TRect r = info.rcScrollBar;
    MapWindowRect(nullptr, GetHandle(), r);
    shown = r.Left >= 0 && r.Top >= 0 && r.Width() <= GetWidth() && r.Height() <= GetHeight();
    ABar->SetBoundsRect(shown ? r : TRect());
  }
  ABar->SetVisible(shown);
  if (!shown) return;
  ABar->SetCtl3D(false);
  ABar->BringToFront();
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
  if (!GetScrollInfo(FInnerControl->GetHandle(), ABarKind, &si)) return;
  const Integer page = si.nPage > UINT(std::max(si.nMax, 0)) ? si.nMax : Integer(si.nPage);
  ABar->SetScrollParams(si.nMin, si.nMax, si.nPos, page, true);
}
