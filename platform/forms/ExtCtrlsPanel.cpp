// TPanel, TBevel and TSplitter.
#include <algorithm>

#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/os/Gdi.h"

QJ_IMPLEMENT_CLASS(TCustomPanel)
QJ_IMPLEMENT_CLASS(TPanel)
QJ_IMPLEMENT_CLASS(TBevel)
QJ_IMPLEMENT_CLASS(TSplitter)

namespace {

// Draws Width nested frames, the top and left sides in TopColor, the others in BottomColor,
// and shrinks Rect by them.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, Integer Width) {
  for (Integer i = 0; i < Width && Rect.Width() > 0 && Rect.Height() > 0; ++i) {
    Canvas->GetPen()->SetColor(TopColor);
    Canvas->Polyline({{Rect.Left, Rect.Bottom - 1}, {Rect.Left, Rect.Top}, {Rect.Right - 1, Rect.Top}});
    Canvas->GetPen()->SetColor(BottomColor);
    Canvas->Polyline({{Rect.Right - 1, Rect.Top}, {Rect.Right - 1, Rect.Bottom - 1}, {Rect.Left - 1, Rect.Bottom - 1}});
    Rect = {Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1};
  }
}

void BevelColors(TBevelCut Cut, TColor Face, TColor& Top, TColor& Bottom) {
  switch (Cut) {
    case bvLowered: Top = clBtnShadow; Bottom = clBtnHighlight; break;
    case bvRaised: Top = clBtnHighlight; Bottom = clBtnShadow; break;
    default: Top = Bottom = Face; break;
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TBevel

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle |= csReplicatable;
  SetBounds(GetLeft(), GetTop(), 50, 50);
}

void TBevel::SetShape(TBevelShape Value) {
  if (FShape == Value) return;
  FShape = Value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* canvas = GetCanvas();
  TColor top, bottom;
  BevelColors(FStyle == bsLowered ? bvLowered : bvRaised, GetColor(), top, bottom);
  TRect r = GetClientRect();
  const Integer w = r.Width(), h = r.Height();
  // A line is a shadow and a highlight side by side.
  auto line = [&](TPoint AFrom, TPoint ATo, TPoint AStep) {
    canvas->GetPen()->SetColor(top);
    canvas->Polyline({AFrom, ATo});
    canvas->GetPen()->SetColor(bottom);
    canvas->Polyline({{AFrom.X + AStep.X, AFrom.Y + AStep.Y}, {ATo.X + AStep.X, ATo.Y + AStep.Y}});
  };
  switch (FShape) {
    case bsBox: Frame3D(canvas, r, top, bottom, 1); break;
    case bsFrame: {
      // Two boxes one pixel apart: the sunken or raised groove of a group.
      TRect outer = r;
      outer.Right -= 1;
      outer.Bottom -= 1;
      Frame3D(canvas, outer, top, top, 1);
      TRect inner = {r.Left + 1, r.Top + 1, r.Right, r.Bottom};
      Frame3D(canvas, inner, bottom, bottom, 1);
      break;
    }
    case bsTopLine: line({0, 0}, {w, 0}, {0, 1}); break;
    case bsBottomLine: line({0, h - 2}, {w, h - 2}, {0, 1}); break;
    case bsLeftLine: line({0, 0}, {0, h}, {1, 0}); break;
    case bsRightLine: line({w - 2, 0}, {w - 2, h}, {1, 0}); break;
    case bsSpacer: break;
  }
}

// ---------------------------------------------------------------------------------------------
// TCustomPanel

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque | csDoubleClicks |
                  csReplicatable;
  SetBounds(0, 0, 185, 41);
  SetParentColor(false);
  SetColor(clBtnFace);
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  if (FBorderStyle != bsSingle) return;
  if (GetCtl3D())
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  else
    Params.Style |= WS_BORDER;
}

void TCustomPanel::FrameChanged() {
  Realign();
  Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut Value) {
  if (Value == FBevelInner) return;
  FBevelInner = Value;
  FrameChanged();
}

void TCustomPanel::SetBevelOuter(TBevelCut Value) {
  if (Value == FBevelOuter) return;
  FBevelOuter = Value;
  FrameChanged();
}

void TCustomPanel::SetBevelWidth(Integer Value) {
  Value = std::max(0, Value);
  if (Value == FBevelWidth) return;
  FBevelWidth = Value;
  FrameChanged();
}

void TCustomPanel::SetBorderWidth(Integer Value) {
  Value = std::max(0, Value);
  if (Value == FBorderWidth) return;
  FBorderWidth = Value;
  FrameChanged();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
  inherited::AdjustClientRect(Rect);
  Integer inset = FBorderWidth + (FBevelOuter != bvNone ? FBevelWidth : 0) + (FBevelInner != bvNone ? FBevelWidth : 0);
  Rect = {Rect.Left + inset, Rect.Top + inset, std::max(Rect.Left + inset, Rect.Right - inset),
          std::max(Rect.Top + inset, Rect.Bottom - inset)};
}

void TCustomPanel::Paint() {
  TCanvas* canvas = GetCanvas();
  TRect r = GetClientRect();
  TColor top, bottom;
  if (FBevelOuter != bvNone) {
    BevelColors(FBevelOuter, GetColor(), top, bottom);
    Frame3D(canvas, r, top, bottom, FBevelWidth);
  }
  Frame3D(canvas, r, GetColor(), GetColor(), FBorderWidth);
  if (FBevelInner != bvNone) {
    BevelColors(FBevelInner, GetColor(), top, bottom);
    Frame3D(canvas, r, top, bottom, FBevelWidth);
  }
  canvas->GetBrush()->SetColor(GetColor());
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->FillRect(r);
  String caption = GetText();
  if (caption.empty()) return;
  canvas->GetFont()->Assign(GetFont());
  canvas->RequiredState(csHandleValid | csFontValid);
  HDC dc = canvas->GetHandle();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(GetEnabled() ? GetFont()->GetColor() : clGrayText));
  UINT flags = DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE;
  if (FAlignment == taCenter) flags |= DT_CENTER;
  if (FAlignment == taRightJustify) flags |= DT_RIGHT;
  RECT text = r;
  DrawText(dc, caption.c_str(), static_cast<int>(caption.size()), &text, flags);
}

void TCustomPanel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_CTL3DCHANGED:
      inherited::Dispatch(Message);
      if (FBorderStyle == bsSingle) RecreateWnd();
      return;
    case WM_ERASEBKGND: Message.Result = 1; return;
    default: inherited::Dispatch(Message);
  }
}

// ---------------------------------------------------------------------------------------------
// TSplitter

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetAlign(alLeft);
  SetBounds(0, 0, 3, 100);
  SetCursor(crHSplit);
}

bool TSplitter::Horizontal() const { return GetAlign() == alLeft || GetAlign() == alRight; }

void TSplitter::RequestAlign() {
  inherited::RequestAlign();
  if (GetCursor() == crHSplit || GetCursor() == crVSplit) SetCursor(Horizontal() ? crHSplit : crVSplit);
}

void TSplitter::SetBeveled(bool Value) {
  if (Value == FBeveled) return;
  FBeveled = Value;
  Invalidate();
}

void TSplitter::SetMinSize(Integer Value) { FMinSize = std::max(1, Value); }

void TSplitter::Paint() {
  TCanvas* canvas = GetCanvas();
  TRect r = GetClientRect();
  canvas->GetBrush()->SetColor(GetColor());
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->FillRect(r);
  if (FBeveled) {
    RECT edge = r;
    DrawEdge(canvas->GetHandle(), &edge, BDR_RAISEDINNER, Horizontal() ? BF_LEFT | BF_RIGHT : BF_TOP | BF_BOTTOM);
  }
  if (OnPaint) OnPaint(this);
}

// The visible control with the splitter's alignment just before it on its side.
TControl* TSplitter::FindSizedControl() {
  TWinControl* parent = GetParent();
  if (!parent) return nullptr;
  TPoint p{GetLeft(), GetTop()};
  switch (GetAlign()) {
    case alLeft: --p.X; break;
    case alRight: p.X += GetWidth(); break;
    case alTop: --p.Y; break;
    case alBottom: p.Y += GetHeight(); break;
    default: return nullptr;
  }
  for (Integer i = 0; i < parent->GetControlCount(); ++i) {
    TControl* c = parent->GetControl(i);
    if (c == this || !c->GetVisible() || c->GetAlign() != GetAlign()) continue;
    TRect r = c->GetBoundsRect();
    // A control sized down to nothing can still be grown again.
    if (r.Width() == 0) (GetAlign() == alLeft ? r.Left : r.Right) += GetAlign() == alLeft ? -1 : 1;
    if (r.Height() == 0) (GetAlign() == alTop ? r.Top : r.Bottom) += GetAlign() == alTop ? -1 : 1;
    if (r.Contains(p)) return c;
  }
  return nullptr;
}

Integer TSplitter::ControlSize() const { return Horizontal() ? FControl->GetWidth() : FControl->GetHeight(); }

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  // A drag whose button-up went elsewhere ends now.
  if (FLineVisible) DrawLine();
  StopSizing();
  FControl = FindSizedControl();
  if (!FControl) return;
  FControl->FreeNotification(this);
  FDownPos = {X, Y};
  // Room: the parent's client size less every control sharing the axis, except the sized one.
  TWinControl* parent = GetParent();
  FMaxSize = (Horizontal() ? parent->GetClientWidth() : parent->GetClientHeight()) - FMinSize;
  for (Integer i = 0; i < parent->GetControlCount(); ++i) {
    TControl* c = parent->GetControl(i);
    if (!c->GetVisible()) continue;
    bool sameAxis = Horizontal() ? (c->GetAlign() == alLeft || c->GetAlign() == alRight)
                                 : (c->GetAlign() == alTop || c->GetAlign() == alBottom);
    if (sameAxis) FMaxSize -= Horizontal() ? c->GetWidth() : c->GetHeight();
  }
  FMaxSize += ControlSize();
  FOldSize = FNewSize = ControlSize();
  FSplit = 0;
  if (FResizeStyle == rsLine || FResizeStyle == rsPattern) DrawLine();
}

void TSplitter::CalcNewSize(Integer X, Integer Y, Integer& NewSize, Integer& Split) {
  Integer moved = Horizontal() ? X - FDownPos.X : Y - FDownPos.Y;
  bool growsWithMove = GetAlign() == alLeft || GetAlign() == alTop;
  NewSize = growsWithMove ? FOldSize + moved : FOldSize - moved;
  NewSize = std::min(NewSize, std::max(FMaxSize, 0));
  if (NewSize < FMinSize) NewSize = FAutoSnap ? 0 : std::min(FMinSize, std::max(FMaxSize, 0));
  NewSize = std::max(NewSize, 0);
  Split = growsWithMove ? NewSize - FOldSize : FOldSize - NewSize;
}

bool TSplitter::DoCanResize(Integer& NewSize) {
  bool accept = true;
  if (OnCanResize) OnCanResize(this, NewSize, accept);
  if (accept && NewSize < FMinSize && NewSize != 0) NewSize = FAutoSnap ? 0 : FMinSize;
  return accept;
}

void TSplitter::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseMove(Shift, X, Y);
  if (!FControl) return;
  Integer newSize, split;
  CalcNewSize(X, Y, newSize, split);
  if (newSize == FNewSize || !DoCanResize(newSize)) return;
  bool line = FResizeStyle == rsLine || FResizeStyle == rsPattern;
  if (line) DrawLine();
  FNewSize = newSize;
  FSplit = split;
  if (FResizeStyle == rsUpdate) UpdateControlSize();
  if (line) DrawLine();
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (FControl && Button == mbLeft) {
    if (FLineVisible) DrawLine();
    TAliveToken alive = AliveToken();
    UpdateControlSize();
    if (!alive) return;
    StopSizing();
  }
  inherited::MouseUp(Button, Shift, X, Y);
}

// Shows or hides (it inverts) the bar where the splitter will go, over the parent's children too.
void TSplitter::DrawLine() {
  TWinControl* parent = GetParent();
  if (!parent || !parent->HandleAllocated()) return;
  FLineVisible = !FLineVisible;
  bool growsWithMove = GetAlign() == alLeft || GetAlign() == alTop;
  Integer offset = growsWithMove ? FSplit : -FSplit;
  FLinePos = (Horizontal() ? GetLeft() : GetTop()) + offset;
  HDC dc = GetDCEx(parent->GetHandle(), nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
  if (!dc) return;
  if (Horizontal())
    PatBlt(dc, FLinePos, GetTop(), GetWidth(), GetHeight(), DSTINVERT);
  else
    PatBlt(dc, GetLeft(), FLinePos, GetWidth(), GetHeight(), DSTINVERT);
  ReleaseDC(parent->GetHandle(), dc);
}

void TSplitter::UpdateControlSize() {
  if (!FControl || FNewSize == FOldSize) return;
  // One SetBounds: the parent realigns with the sized control first, so it stays on its side of
  // the splitter even at size 0.
  Integer shift = FOldSize - FNewSize;
  switch (GetAlign()) {
    case alLeft: FControl->SetBounds(FControl->GetLeft(), FControl->GetTop(), FNewSize, FControl->GetHeight()); break;
    case alRight:
      FControl->SetBounds(FControl->GetLeft() + shift, FControl->GetTop(), FNewSize, FControl->GetHeight());
      break;
    case alTop: FControl->SetBounds(FControl->GetLeft(), FControl->GetTop(), FControl->GetWidth(), FNewSize); break;
    default: FControl->SetBounds(FControl->GetLeft(), FControl->GetTop() + shift, FControl->GetWidth(), FNewSize); break;
  }
  FOldSize = FNewSize;
  FSplit = 0;
  FDownPos = ScreenToClient(Mouse ? Mouse->GetCursorPos() : FDownPos);
  if (OnMoved) OnMoved(this);
}

void TSplitter::StopSizing() {
  if (FControl) FControl->RemoveFreeNotification(this);
  FControl = nullptr;
  FLineVisible = false;
}

void TSplitter::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FControl) {
    FControl = nullptr;
    FLineVisible = false;
  }
}
