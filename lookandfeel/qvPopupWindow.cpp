// The popup window's placement beside its owner rectangle, its size around its children and its
// frame.
#include "lookandfeel/qvPopupWindow.h"

#include <algorithm>

QJ_IMPLEMENT_CLASS(TqvPopupWindow)

TqvPopupWindow::TqvPopupWindow(TComponent* AOwner) : TForm(AOwner) {
  SetBorderStyle(bsNone);
  SetDefaultMonitor(dmDesktop);
  SetFormStyle(fsStayOnTop);
  FCanvas = MakeOwned<TqvCanvas>(GetCanvas());
}

TqvPopupWindow::~TqvPopupWindow() { FCanvas.reset(); }

void TqvPopupWindow::SetOwnerRectParent(TControl* Value) {
  if (Value == FOwnerRectParent) return;
  if (FOwnerRectParent) FOwnerRectParent->RemoveFreeNotification(this);
  FOwnerRectParent = Value;
  if (FOwnerRectParent) FOwnerRectParent->FreeNotification(this);
}

void TqvPopupWindow::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FOwnerRectParent) FOwnerRectParent = nullptr;
  if (Operation == opRemove)
    std::erase_if(FChildShifts, [AComponent](const auto& shift) { return shift.first == AComponent; });
}

Integer TqvPopupWindow::GetFrameWidth(Integer) const {
  switch (FPopupBorderStyle) {
    case pfsSingle:
    case pfsFlat: return 1;
    case pfs3D: return 2;
    case pfsNone: break;
  }
  return 0;
}

void TqvPopupWindow::SetPopupBorderStyle(TqvPopupFrameStyle Value) {
  UnshiftChildren();
  FPopupBorderStyle = Value;
}

void TqvPopupWindow::UnshiftChildren() {
  for (auto [child, shift] : FChildShifts)
    if (child->GetParent() == this) child->SetBounds(child->GetLeft() - shift.X, child->GetTop() - shift.Y, child->GetWidth(), child->GetHeight());
  FChildShifts.clear();
}

void TqvPopupWindow::InitPopup() {
  if (FOwnerRectParent) GetFont()->Assign(FOwnerRectParent->GetFont());
}

void TqvPopupWindow::CalculateSize() {
  if (!FAdjustToChildren) return;
  const TPoint shift{GetBorderWidth(0), GetBorderWidth(1)};
  Integer maxRight = 0, maxBottom = 0;
  for (Integer i = 0; i < GetControlCount(); ++i) {
    TControl* child = GetControl(i);
    const TPoint applied = FChildShifts.contains(child) ? FChildShifts[child] : TPoint{0, 0};
    const TRect own = qvOffsetRect(child->GetBoundsRect(), -applied.X, -applied.Y);
    maxRight = std::max(maxRight, own.Right);
    maxBottom = std::max(maxBottom, own.Bottom);
    child->SetBounds(own.Left + shift.X, own.Top + shift.Y, own.Width(), own.Height());
    FChildShifts[child] = shift;
    child->FreeNotification(this);
  }
  if (maxRight != 0) SetWidth(GetBorderWidth(0) + maxRight + GetBorderWidth(2));
  if (maxBottom != 0) SetHeight(GetBorderWidth(1) + maxBottom + GetBorderWidth(3));
}

TRect TqvPopupWindow::GetOwnerScreenRect() const {
  if (!FOwnerRectParent) return FOwnerRect;
  const TPoint topLeft = FOwnerRectParent->ClientToScreen(FOwnerRect.TopLeft());
  const TPoint bottomRight = FOwnerRectParent->ClientToScreen(FOwnerRect.BottomRight());
  return {topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
}

namespace {

// The side placement of one axis: along the main axis the popup goes before (left, above) or
// after (right, below) the owner; across it one of its edges lines up with the owner's.
struct TPlacement {
  const TRect& R;
  Integer W, H;
  TqvPopupDirection Direction;

  Integer X(TqvPopupHorzAlign A) const {
    if (Direction == pdrVertical) return A == phaLeft ? R.Left : R.Right - W;
    return A == phaLeft ? R.Left - W : R.Right;
  }
  Integer Y(TqvPopupVertAlign A) const {
    if (Direction == pdrVertical) return A == pvaTop ? R.Top - H : R.Bottom;
    return A == pvaTop ? R.Top : R.Bottom - H;
  }
};

}  // namespace

void TqvPopupWindow::CalculatePosition(TPoint& P) {
  TqvPopupHorzAlign horz = FHorzAlign;
  TqvPopupVertAlign vert = FVertAlign;
  const TRect R = GetOwnerScreenRect();
  const Integer w = GetWidth(), h = GetHeight();
  const TPlacement place{R, w, h, FPopupDirection};
  TPoint monitorPoint;
  if (horz == phaCenter)
    P.X = monitorPoint.X = (R.Left + R.Right - w) / 2;
  else {
    P.X = place.X(horz);
    monitorPoint.X = horz == phaLeft ? R.Left : R.Right;
  }
  if (vert == pvaCenter)
    P.Y = monitorPoint.Y = (R.Top + R.Bottom - h) / 2;
  else {
    P.Y = place.Y(vert);
    monitorPoint.Y = vert == pvaTop ? R.Top : R.Bottom;
  }
  const TRect W = GetMonitorWorkArea(Rect(monitorPoint.X, monitorPoint.Y, monitorPoint.X, monitorPoint.Y));

  if (FPopupDirection == pdrVertical) {
    const Integer above = R.Top - W.Top, below = W.Bottom - R.Bottom;
    if (vert == pvaBottom && W.Bottom < P.Y + h && above > below) vert = pvaTop;
    else if (vert == pvaTop && P.Y < W.Top && above <= below) vert = pvaBottom;
    if (vert != pvaCenter) P.Y = place.Y(vert);
  } else {
    const Integer left = R.Left - W.Left, right = W.Right - R.Right;
    if (horz == phaRight && W.Right < P.X + w && left > right) horz = phaLeft;
    else if (horz == phaLeft && P.X < W.Left && left <= right) horz = phaRight;
    if (horz != phaCenter) P.X = place.X(horz);
  }

  if (FPopupDirection == pdrVertical || horz == phaCenter) {
    if (P.X + w > W.Right) P.X = W.Right - w;
    if (P.X < W.Left) P.X = W.Left;
  }
  if (FPopupDirection == pdrHorizontal || vert == pvaCenter) {
    if (P.Y + h > W.Bottom) P.Y = W.Bottom - h;
    if (P.Y < W.Top) P.Y = W.Top;
  }
}

void TqvPopupWindow::Popup() {
  InitPopup();
  CalculateSize();
  TPoint p;
  CalculatePosition(p);
  SetLeft(p.X);
  SetTop(p.Y);
  Show();
}

void TqvPopupWindow::DrawFrame() {
  TRect r = Rect(0, 0, GetWidth(), GetHeight());
  switch (FPopupBorderStyle) {
    case pfsSingle: FCanvas->FrameRect(r, FFrameColor, 1, qvAllBorders); break;
    case pfsFlat: FCanvas->DrawEdge(r, false, false, qvAllBorders); break;
    case pfs3D:
      FCanvas->DrawEdge(r, false, true, qvAllBorders);
      FCanvas->DrawEdge(qvDeflatedRect(r, 1), false, false, qvAllBorders);
      break;
    case pfsNone: break;
  }
}

void TqvPopupWindow::Paint() {
  inherited::Paint();
  DrawFrame();
}

void TqvPopupWindow::Deactivate() {
  TAliveToken alive = AliveToken();
  inherited::Deactivate();
  if (alive) CloseUp();
}

void TqvPopupWindow::WMActivate(TMessage& Message) {
  inherited::Dispatch(Message);
  if (LOWORD(Message.WParam) == WA_INACTIVE) return;
  // The owner form keeps an active caption while its popup is active.
  FPreviousActiveWindow = reinterpret_cast<HWND>(Message.LParam);
  if (FPreviousActiveWindow) SendMessage(FPreviousActiveWindow, WM_NCACTIVATE, TRUE, 0);
}

void TqvPopupWindow::WMActivateApp(TMessage& Message) {
  inherited::Dispatch(Message);
  if (Message.WParam) return;
  if (FPreviousActiveWindow && IsWindow(FPreviousActiveWindow)) SendMessage(FPreviousActiveWindow, WM_NCACTIVATE, FALSE, 0);
  CloseUp();
}

void TqvPopupWindow::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ACTIVATE: WMActivate(Message); return;
    case WM_ACTIVATEAPP: WMActivateApp(Message); return;
    case CM_VISIBLECHANGED: {
      TAliveToken alive = AliveToken();
      inherited::Dispatch(Message);
      if (alive) VisibleChanged();
      return;
    }
    default: inherited::Dispatch(Message);
  }
}
