// The drop-down window of the drop-down edits: size and place beside the edit, the grip corner,
// live resizing by the mouse, the close button, and the look and feel of the controls inside.
#include <algorithm>

#include "editors/qvDropDownEdit.h"
#include "platform/os/Windows.h"

QJ_IMPLEMENT_CLASS(TqvCustomEditPopupWindow)
QJ_IMPLEMENT_CLASS(TqvEditPopupControlLookAndFeel)

namespace {

constexpr Integer kShadowOffset = 3;

TCursor SizingCursor(Integer AHorz, Integer AVert) {
  static const TCursor cursors[3][3] = {{crSizeNWSE, crSizeWE, crSizeNESW},
                                        {crSizeNS, crDefault, crSizeNS},
                                        {crSizeNESW, crSizeWE, crSizeNWSE}};
  return cursors[AHorz + 1][AVert + 1];
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Popup look and feel

TqvEditPopupControlLookAndFeel::TqvEditPopupControlLookAndFeel(TqvCustomDropDownEdit* AEdit)
    : TqvLookAndFeel(AEdit), FEdit(AEdit) {}

TqvLookAndFeelKind TqvEditPopupControlLookAndFeel::GetEffectiveKind() const {
  if (FEdit->IsInplace()) return FEdit->GetStyle()->GetLookAndFeel()->GetKind();
  TqvCustomEditViewInfo* viewInfo = FEdit->GetViewInfo();
  if (!viewInfo || viewInfo->GetButtonCount() == 0) return lfStandard;
  switch (viewInfo->GetButton(0)->Style) {
    case btsDefault:
    case bts3D: return lfStandard;
    case btsFlat:
    case btsSimple:
    case btsHotFlat: return lfFlat;
    case btsUltraFlat: return lfUltraFlat;
  }
  return lfStandard;
}

bool TqvEditPopupControlLookAndFeel::GetEffectiveNativeStyle() const {
  TqvCustomEditViewInfo* viewInfo = FEdit->GetViewInfo();
  return viewInfo && viewInfo->NativeStyle;
}

void TqvEditPopupControlLookAndFeel::Refresh() {
  const TqvLookAndFeelKind kind = GetEffectiveKind();
  const bool native = GetEffectiveNativeStyle();
  if (kind == FLastKind && native == FLastNativeStyle) return;
  TqvLookAndFeelValues changed = 0;
  if (kind != FLastKind) changed |= lfvBit(lfvKind);
  if (native != FLastNativeStyle) changed |= lfvBit(lfvNativeStyle);
  FLastKind = kind;
  FLastNativeStyle = native;
  Changed(changed);
}

// ---------------------------------------------------------------------------------------------
// Popup window

TqvCustomEditPopupWindow::TqvCustomEditPopupWindow(TControl* AOwnerControl) : TqvCustomPopupWindow(AOwnerControl) {
  SetAdjustToChildren(false);
}

TqvContainerViewInfoClass TqvCustomEditPopupWindow::GetViewInfoClass() const {
  return &TqvCustomEditPopupWindowViewInfo::StaticClass();
}

TqvCustomDropDownEdit* TqvCustomEditPopupWindow::GetEdit() const { return As<TqvCustomDropDownEdit>(GetOwnerControl()); }

void TqvCustomEditPopupWindow::SetBorderStyle(TqvEditPopupBorderStyle Value) {
  FBorderStyle = Value;
  GetViewInfo()->PopupBorderStyle = Value;
}

void TqvCustomEditPopupWindow::SetClientEdge(bool Value) {
  FClientEdge = Value;
  GetViewInfo()->ClientEdge = Value;
}

void TqvCustomEditPopupWindow::SetHasCloseButton(bool Value) {
  FHasCloseButton = Value;
  GetViewInfo()->HasCloseButton = Value;
}

void TqvCustomEditPopupWindow::SetNativeStyle(bool Value) {
  FNativeStyle = Value;
  GetViewInfo()->NativeStyle = Value;
}

void TqvCustomEditPopupWindow::SetShadow(bool Value) {
  FShadow = Value;
  GetViewInfo()->Shadow = Value;
}

void TqvCustomEditPopupWindow::SetSizeable(bool Value) {
  FSizeable = Value;
  GetViewInfo()->Sizeable = Value;
}

void TqvCustomEditPopupWindow::SetSysPanelStyle(bool Value) {
  FSysPanelStyle = Value;
  GetViewInfo()->SysPanelStyle = Value;
}

void TqvCustomEditPopupWindow::CalculateViewInfo() {
  TqvCustomEditPopupWindowViewInfo* viewInfo = GetViewInfo();
  switch (FBorderStyle) {
    case epbsDefault:
    case epbsFrame3D: viewInfo->CloseButtonFrameKind = lfStandard; break;
    case epbsSingle: viewInfo->CloseButtonFrameKind = lfUltraFlat; break;
    case epbsFlat: viewInfo->CloseButtonFrameKind = lfFlat; break;
  }
  viewInfo->Bounds = Rect(0, 0, GetWidth(), GetHeight());
  viewInfo->Calculate();
  viewInfo->InnerEditRect = viewInfo->ClientRect;
}

void TqvCustomEditPopupWindow::RecalculatePopup() {
  CalculateViewInfo();
  if (HandleAllocated()) {
    SetPopupWindowRegion(GetViewInfo(), GetHandle(), nullptr);
    Invalidate();
  }
}

void TqvCustomEditPopupWindow::AdjustClientRect(TRect& R) {
  if (GetViewInfo()) R = GetViewInfo()->ClientRect;
}

void TqvCustomEditPopupWindow::GetNonClientSize(TSize& ASize) {
  TRect e;
  GetViewInfo()->GetClientExtent(e);
  ASize = {e.Left + e.Right, e.Top + e.Bottom};
  if (FSizeable && FSysPanelStyle) {
    const Integer side = GetSystemMetrics(SM_CYHSCROLL);
    ASize.cx += side + GetSystemMetrics(SM_CXVSCROLL) + 10;
  }
}

TqvCustomEditPopupWindow::TSizeInputs TqvCustomEditPopupWindow::GetSizeInputs() {
  TSizeInputs inputs;
  GetViewInfo()->SizeGripCorner = sgcBottomRight;
  inputs.Owner = GetPopupOwnerRect();
  GetViewInfo()->GetClientExtent(inputs.Extent);
  GetNonClientSize(inputs.NonClient);
  if (TqvCustomDropDownEdit* edit = GetEdit()) edit->CalculatePopupContentSize(inputs.Content);
  return inputs;
}

void TqvCustomEditPopupWindow::SetPopupSize(Integer AWidth, Integer AHeight, const TSizeInputs& AInputs) {
  if (FSizeable && FMinWidth > 0) AWidth = std::max(AWidth, FMinWidth);
  if (FSizeable && FMinHeight > 0) AHeight = std::max(AHeight, FMinHeight);
  SetBounds(GetLeft(), GetTop(), std::max(AWidth, AInputs.NonClient.cx), std::max(AHeight, AInputs.NonClient.cy));
}

void TqvCustomEditPopupWindow::CalculateSize() {
  const TSizeInputs in = GetSizeInputs();
  const TRect& e = in.Extent;
  Integer width;
  if (FAutoSize)
    width = e.Left + e.Right + in.Content.cx;
  else
    width = FPopupWidth != 0 ? FPopupWidth : in.Owner.Width();
  Integer height;
  if (FAutoSize)
    height = e.Top + e.Bottom + in.Content.cy;
  else
    height = FPopupHeight > 0 ? FPopupHeight : std::max(in.NonClient.cy, FMinHeight);
  SetPopupSize(width, height, in);
}

void TqvCustomEditPopupWindow::CalculatePosition(TPoint& P) {
  inherited::CalculatePosition(P);
  const TRect owner = GetPopupOwnerRect();
  const TRect w = GetMonitorWorkArea(Rect(P.X, P.Y, P.X, P.Y));
  const bool below = P.Y > owner.Top;
  const bool rightward = (GetHorzAlign() == phaLeft && P.X == owner.Left) || owner.Left <= w.Left ||
                         (GetHorzAlign() == phaRight && P.X + GetWidth() != owner.Right) ||
                         (GetHorzAlign() == phaCenter && owner.Left - w.Left <= w.Right - owner.Right);
  static const TqvSizeGripCorner corners[4] = {sgcTopLeft, sgcBottomLeft, sgcTopRight, sgcBottomRight};
  GetViewInfo()->SizeGripCorner = corners[(rightward ? 2 : 0) + (below ? 1 : 0)];
  if (FShadow && !below) P.Y += kShadowOffset;
}

bool TqvCustomEditPopupWindow::CanResize(Integer& NewWidth, Integer& NewHeight) {
  if (!FSizeable || (NewWidth == GetWidth() && NewHeight == GetHeight())) return true;
  TSize minimum;
  GetNonClientSize(minimum);
  if (FMinWidth > 0) minimum.cx = std::max(minimum.cx, FMinWidth);
  if (FMinHeight > 0) minimum.cy = std::max(minimum.cy, FMinHeight);
  NewWidth = std::max(NewWidth, minimum.cx);
  NewHeight = std::max(NewHeight, minimum.cy);
  if (NewWidth == GetWidth() && NewHeight == GetHeight()) return true;
  TqvCustomDropDownEdit* edit = GetEdit();
  IqvTextEditLookupData* lookup = edit ? edit->GetILookupData() : nullptr;
  if (!lookup || !edit->GetProperties()->UseLookupData() || !edit->GetProperties()->PopupShowsLookupData())
    return true;
  TRect e;
  GetViewInfo()->GetClientExtent(e);
  TSize client{NewWidth - e.Left - e.Right, NewHeight - e.Top - e.Bottom};
  if (lookup->CanResizeList(client)) {
    NewWidth = std::max(client.cx + e.Left + e.Right, minimum.cx);
    NewHeight = std::max(client.cy + e.Top + e.Bottom, minimum.cy);
  } else {
    NewWidth = GetWidth();
    NewHeight = GetHeight();
  }
  return true;
}

void TqvCustomEditPopupWindow::Resize() {
  inherited::Resize();
  RecalculatePopup();
}

void TqvCustomEditPopupWindow::SendCharToFocused(char AChar) {
  if (HWND focus = GetFocus()) SendMessage(focus, WM_CHAR, static_cast<unsigned char>(AChar), 0);
}

void TqvCustomEditPopupWindow::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_QV_POSTCHAR) {
    if (IsOpen()) SendCharToFocused(static_cast<char>(Message.WParam));
    return;
  }
  inherited::Dispatch(Message);
}

void TqvCustomEditPopupWindow::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE && FSizing) {
    FSizing = false;
    if (HasCapture()) ReleaseCapture();
    Key = 0;
    return;
  }
  TAliveToken alive = AliveToken();
  inherited::KeyDown(Key, Shift);
  if (!alive || Key != VK_ESCAPE || !IsOpen()) return;
  // A popup that holds the focus closes on Esc without accepting.
  if (TqvCustomDropDownEdit* edit = GetEdit()) {
    Key = 0;
    edit->CloseUp(false);
  }
}

// ---------------------------------------------------------------------------------------------
// Close button and sizing by mouse

void TqvCustomEditPopupWindow::SetCloseButtonState(TqvButtonState AState) {
  TqvCustomEditPopupWindowViewInfo* viewInfo = GetViewInfo();
  if (viewInfo->CloseButtonState == AState) return;
  viewInfo->CloseButtonState = AState;
  if (HandleAllocated() && !viewInfo->CloseButtonRect.IsEmpty()) {
    const TRect r = viewInfo->CloseButtonRect;
    InvalidateRect(GetHandle(), &r, FALSE);
  }
}

void TqvCustomEditPopupWindow::UpdateSizingCursor(Integer X, Integer Y) {
  Integer h = 0, v = 0;
  if (GetViewInfo()->GetSizingDirection(X, Y, h, v) && (h != 0 || v != 0)) {
    SetCursor(SizingCursor(h, v));
    FSizingCursorSet = true;
  } else if (FSizingCursorSet) {
    SetCursor(crDefault);
    FSizingCursorSet = false;
  }
}

void TqvCustomEditPopupWindow::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseDown(Button, Shift, X, Y);
  if (!alive || Button != mbLeft) return;
  TqvCustomEditPopupWindowViewInfo* viewInfo = GetViewInfo();
  if (viewInfo->CloseButtonRect.Contains({X, Y})) {
    if (viewInfo->CloseButtonState != qvbsPressed) SetCloseButtonState(qvbsPressed);
    return;
  }
  Integer h = 0, v = 0;
  if (!viewInfo->GetSizingDirection(X, Y, h, v) || (h == 0 && v == 0)) return;
  if (HandleAllocated() && !HasCapture()) SetCapture(GetHandle());
  FSizingHorz = h;
  FSizingVert = v;
  FGrabOffset = {h == -1 ? X : GetWidth() - X, v == -1 ? Y : GetHeight() - Y};
  FSizing = true;
  SetCursor(SizingCursor(h, v));
  FSizingCursorSet = true;
}

TRect TqvCustomEditPopupWindow::CalculateSizingBounds(Integer X, Integer Y) {
  const TRect bounds = GetBoundsRect();
  // The grabbed spot follows the mouse; the edges away from the grip stay.
  Integer width = bounds.Width(), height = bounds.Height();
  if (FSizingHorz == 1) width = X + FGrabOffset.X;
  if (FSizingHorz == -1) width = bounds.Width() - (X - FGrabOffset.X);
  if (FSizingVert == 1) height = Y + FGrabOffset.Y;
  if (FSizingVert == -1) height = bounds.Height() - (Y - FGrabOffset.Y);
  CanResize(width, height);
  TRect r = bounds;
  if (FSizingHorz == -1)
    r.Left = r.Right - width;
  else
    r.Right = r.Left + width;
  if (FSizingVert == -1)
    r.Top = r.Bottom - height;
  else
    r.Bottom = r.Top + height;
  // The popup keeps an overlap with the edit's horizontal span and stays in the work area.
  const TRect owner = GetPopupOwnerRect();
  if (r.Left > owner.Right - 1) r.Left = owner.Right - 1;
  if (r.Right < owner.Left + 1) r.Right = owner.Left + 1;
  const TRect work = GetMonitorWorkArea(owner);
  r.Left = std::max(r.Left, work.Left);
  r.Top = std::max(r.Top, work.Top);
  r.Right = std::min(r.Right, work.Right);
  r.Bottom = std::min(r.Bottom, work.Bottom);
  return r;
}

void TqvCustomEditPopupWindow::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseMove(Shift, X, Y);
  if (!alive) return;
  TqvCustomEditPopupWindowViewInfo* viewInfo = GetViewInfo();
  if (!FSizing) {
    const bool onClose = viewInfo->CloseButtonRect.Contains({X, Y});
    if (!onClose && viewInfo->CloseButtonState != qvbsNormal && viewInfo->CloseButtonState != qvbsPressed)
      SetCloseButtonState(qvbsNormal);
    else if (onClose && !(Shift & (ssLeft | ssRight | ssMiddle)))
      SetCloseButtonState(qvbsHot);
    else if (!onClose && viewInfo->CloseButtonState == qvbsPressed)
      SetCloseButtonState(qvbsNormal);
    UpdateSizingCursor(X, Y);
    return;
  }
  const TRect r = CalculateSizingBounds(X, Y);
  if (r == GetBoundsRect()) return;
  if (TqvCustomDropDownEdit* edit = GetEdit()) edit->SetPopupSizeChanged(true);
  SetBounds(r.Left, r.Top, r.Width(), r.Height());
  if (!alive) return;
  RecalculatePopup();
  if (TqvCustomDropDownEdit* edit = GetEdit()) edit->PositionPopupContent(viewInfo->ClientRect);
}

void TqvCustomEditPopupWindow::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseUp(Button, Shift, X, Y);
  if (!alive || Button != mbLeft) return;
  TqvCustomEditPopupWindowViewInfo* viewInfo = GetViewInfo();
  if (FSizing) {
    if (HasCapture()) ReleaseCapture();
    FSizing = false;
    RecalculatePopup();
    UpdateSizingCursor(X, Y);
    return;
  }
  if (viewInfo->CloseButtonState == qvbsPressed) {
    const bool onClose = viewInfo->CloseButtonRect.Contains({X, Y});
    SetCloseButtonState(qvbsNormal);
    if (!onClose) return;
    if (CloseQuery())
      if (TqvCustomDropDownEdit* edit = GetEdit()) edit->CloseUp(false);
    if (alive && GetVisible()) SetCloseButtonState(qvbsHot);
  }
}

void TqvCustomEditPopupWindow::MouseLeave(TControl* AControl) {
  inherited::MouseLeave(AControl);
  if (AControl != this) return;
  SetCloseButtonState(qvbsNormal);
  if (FSizingCursorSet && !FSizing) {
    SetCursor(crDefault);
    FSizingCursorSet = false;
  }
}

void TqvCustomEditPopupWindow::DoClosing() {
  if (FSizing && HasCapture()) ReleaseCapture();
  FSizing = false;
  inherited::DoClosing();
}

void TqvCustomEditPopupWindow::DoClosed() {
  FSizing = false;
  GetViewInfo()->CloseButtonState = qvbsNormal;
  inherited::DoClosed();
}
