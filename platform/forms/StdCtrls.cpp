// The controls of the standard set that the class library draws itself: push button, check box,
// radio button, group box and label.
#include "platform/forms/StdCtrls.h"

#include <algorithm>

#include "platform/forms/Forms.h"
#include "platform/os/Gdi.h"
#include "platform/os/GdiScopes.h"
#include "platform/os/Theme.h"

QJ_IMPLEMENT_CLASS(TButtonControl)
QJ_IMPLEMENT_CLASS(TButton)
QJ_IMPLEMENT_CLASS(TCustomCheckBox)
QJ_IMPLEMENT_CLASS(TCheckBox)
QJ_IMPLEMENT_CLASS(TRadioButton)
QJ_IMPLEMENT_CLASS(TCustomGroupBox)
QJ_IMPLEMENT_CLASS(TGroupBox)
QJ_IMPLEMENT_CLASS(TCustomLabel)
QJ_IMPLEMENT_CLASS(TLabel)

namespace {

constexpr Integer kCheckSize = 13;
constexpr Integer kCheckGap = 4;

// Whether Key is the character that follows the single '&' of Caption ("&&" is a plain '&').
bool IsAccelerator(WPARAM Key, const String& Caption) {
  for (size_t i = 0; i + 1 < Caption.size(); ++i) {
    if (Caption[i] != '&') continue;
    if (Caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return AnsiUpperCase(String(1, Caption[i + 1])) == AnsiUpperCase(String(1, static_cast<char>(Key & 0xFF)));
  }
  return false;
}

void Inflate(TRect& R, Integer DX, Integer DY) {
  R.Left -= DX;
  R.Top -= DY;
  R.Right += DX;
  R.Bottom += DY;
}

void Offset(TRect& R, Integer DX, Integer DY) {
  R.Left += DX;
  R.Top += DY;
  R.Right += DX;
  R.Bottom += DY;
}

// The height of a line of text in a font, measured on the screen.
Integer FontHeight(TFont* Font) {
  TMeasureDC dc(Font->GetHandle());
  TEXTMETRIC tm;
  GetTextMetrics(dc.Handle(), &tm);
  return tm.tmHeight;
}

void DrawTextIn(HDC DC, const String& Text, TRect& R, UINT Flags, TColor Color) {
  SetTextColor(DC, ColorToRGB(Color));
  RECT r = R;
  DrawText(DC, Text.c_str(), static_cast<int>(Text.size()), &r, Flags);
  R = r;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TButtonControl

TButtonControl::TButtonControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = csSetCaption | csDoubleClicks | csCaptureMouse | csOpaque;
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clBtnFace);
}

void TButtonControl::SetWordWrap(bool Value) {
  if (Value == FWordWrap) return;
  FWordWrap = Value;
  Invalidate();
}

void TButtonControl::SetPressed(bool Value) {
  if (Value == FPressed) return;
  FPressed = Value;
  Invalidate();
}

void TButtonControl::DoExit() {
  FSpaceDown = false;
  SetPressed(false);
  inherited::DoExit();
}

void TButtonControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (Button == mbLeft) {
    if (CanFocus() && !Focused()) SetFocus();
    FMouseDown = true;
    SetPressed(true);
  }
  inherited::MouseDown(Button, Shift, X, Y);
}

void TButtonControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  if (FMouseDown) {
    TRect r = GetClientRect();
    SetPressed(X >= r.Left && X < r.Right && Y >= r.Top && Y < r.Bottom);
  }
  inherited::MouseMove(Shift, X, Y);
}

void TButtonControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  bool press = false;
  if (Button == mbLeft && FMouseDown) {
    FMouseDown = false;
    press = FPressed && !FSpaceDown;
    if (!FSpaceDown) SetPressed(false);
  }
  TAliveToken alive = AliveToken();
  inherited::MouseUp(Button, Shift, X, Y);
  if (press && alive) Press();
}

void TButtonControl::KeyDown(Word& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
  if (Key == VK_SPACE && !FMouseDown) {
    FSpaceDown = true;
    SetPressed(true);
  }
}

void TButtonControl::KeyUp(Word& Key, TShiftState Shift) {
  inherited::KeyUp(Key, Shift);
  if (Key != VK_SPACE || !FSpaceDown) return;
  FSpaceDown = false;
  SetPressed(false);
  Press();
}

void TButtonControl::DrawCaption(TRect& R, UINT Flags) {
  TCanvas* canvas = GetCanvas();
  canvas->GetFont()->Assign(GetFont());
  canvas->RequiredState(csHandleValid | csFontValid);
  HDC dc = canvas->GetHandle();
  SetBkMode(dc, TRANSPARENT);
  String text = GetText();
  if (GetEnabled()) {
    DrawTextIn(dc, text, R, Flags, GetFont()->GetColor());
    return;
  }
  TRect shadow = R;
  Offset(shadow, 1, 1);
  DrawTextIn(dc, text, shadow, Flags, clBtnHighlight);
  DrawTextIn(dc, text, R, Flags, clBtnShadow);
}

void TButtonControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_ENABLEDCHANGED:
      FMouseDown = FSpaceDown = false;
      FPressed = false;
      inherited::Dispatch(Message);
      Invalidate();
      return;
    case WM_GETDLGCODE: Message.Result = DLGC_BUTTON; return;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      // Only the button's own enter and leave (a child's carries the child).
      if (!Message.LParam) {
        FMouseInside = Message.Msg == CM_MOUSEENTER;
        if (IsThemeActive()) Invalidate();
      }
      inherited::Dispatch(Message);
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      // The focus rectangle shows while the window has the focus, whichever window takes it.
      inherited::Dispatch(Message);
      Invalidate();
      return;
    default: inherited::Dispatch(Message);
  }
}

// ---------------------------------------------------------------------------------------------
// TButton

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 75, 25); }

void TButton::SetDefault(bool Value) {
  if (Value == FDefault) return;
  FDefault = Value;
  Invalidate();
}

bool TButton::IsActive() {
  TCustomForm* form = GetParentForm(this);
  TWinControl* focused = form ? form->GetActiveControl() : nullptr;
  if (focused == this) return true;
  if (As<TButton>(focused)) return false;
  return FDefault;
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  inherited::Click();
}

void TButton::Paint() {
  if (HTHEME theme = OpenThemeData(GetHandle(), u"Button")) {
    PaintThemed(theme);
    CloseThemeData(theme);
    return;
  }
  TCanvas* canvas = GetCanvas();
  TRect r = GetClientRect();
  canvas->GetBrush()->SetColor(GetColor());
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->FillRect(r);
  FActive = IsActive();
  if (FActive && GetEnabled()) {
    canvas->GetBrush()->SetColor(clWindowFrame);
    canvas->FrameRect(r);
    Inflate(r, -1, -1);
  }
  RECT frame = r;
  UINT state = DFCS_BUTTONPUSH | (GetPressed() ? DFCS_PUSHED : 0u) | (GetEnabled() ? 0u : DFCS_INACTIVE);
  DrawFrameControl(canvas->GetHandle(), &frame, DFC_BUTTON, state);
  TRect text = r;
  Inflate(text, -4, -4);
  if (GetPressed()) Offset(text, 1, 1);
  DrawCaption(text, DT_CENTER | DT_VCENTER | (GetWordWrap() ? DT_WORDBREAK : DT_SINGLELINE));
  if (Focused()) {
    TRect focus = r;
    Inflate(focus, -3, -3);
    canvas->GetBrush()->SetColor(GetColor());
    canvas->DrawFocusRect(focus);
  }
}

Integer TButton::ThemeState() const {
  if (!GetEnabled()) return PBS_DISABLED;
  if (GetPressed()) return PBS_PRESSED;
  if (GetMouseInside()) return PBS_HOT;
  return FActive ? PBS_DEFAULTED : PBS_NORMAL;
}

void TButton::PaintThemed(HTHEME ATheme) {
  TCanvas* canvas = GetCanvas();
  canvas->RequiredState(csHandleValid);
  HDC dc = canvas->GetHandle();
  const TRect r = GetClientRect();
  FActive = IsActive();
  const Integer state = ThemeState();
  if (IsThemeBackgroundPartiallyTransparent(ATheme, BP_PUSHBUTTON, state)) DrawThemeParentBackground(GetHandle(), dc, &r);
  DrawThemeBackground(ATheme, dc, BP_PUSHBUTTON, state, &r, nullptr);
  RECT content = r;
  GetThemeBackgroundContentRect(ATheme, dc, BP_PUSHBUTTON, state, &r, &content);
  COLORREF text = 0;
  if (FAILED(GetThemeColor(ATheme, BP_PUSHBUTTON, state, TMT_TEXTCOLOR, &text))) text = ColorToRGB(GetFont()->GetColor());
  canvas->GetFont()->Assign(GetFont());
  canvas->RequiredState(csHandleValid | csFontValid);
  SetBkMode(dc, TRANSPARENT);
  TRect caption = content;
  DrawTextIn(dc, GetText(), caption, DT_CENTER | DT_VCENTER | (GetWordWrap() ? DT_WORDBREAK : DT_SINGLELINE),
             TColor(text));
  if (Focused()) {
    canvas->GetBrush()->SetColor(clBtnFace);
    canvas->DrawFocusRect(content);
  }
}

void TButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_DIALOGKEY: {
      bool active = Message.WParam == VK_RETURN && IsActive();
      bool cancel = Message.WParam == VK_ESCAPE && FCancel;
      if ((active || cancel) && KeyDataToShiftState(Message.LParam) == 0 && CanFocus()) {
        Message.Result = 1;
        Click();
        return;
      }
      inherited::Dispatch(Message);
      return;
    }
    case CM_DIALOGCHAR:
      if (IsAccelerator(Message.WParam, GetText()) && CanFocus()) {
        Message.Result = 1;
        Click();
        return;
      }
      inherited::Dispatch(Message);
      return;
    case WM_GETDLGCODE: Message.Result = DLGC_BUTTON | (IsActive() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON); return;
    case CM_FOCUSCHANGED:
      // The active frame follows the focus: this button, or the default while no button has it.
      if (IsActive() != FActive) Invalidate();
      inherited::Dispatch(Message);
      return;
    default: inherited::Dispatch(Message);
  }
}

// ---------------------------------------------------------------------------------------------
// TCustomCheckBox

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 97, 17);
  SetParentColor(true);
}

void TCustomCheckBox::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Invalidate();
}

bool TCustomCheckBox::ChangeState(TCheckBoxState Value) {
  if (Value == FState) return false;
  FState = Value;
  Invalidate();
  return true;
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
  if (ChangeState(Value) && !FClicksDisabled) Click();
}

void TCustomCheckBox::Toggle() {
  switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TCustomCheckBox::Click() {
  TAliveToken alive = AliveToken();
  Changed();
  if (alive) inherited::Click();
}

UINT TCustomCheckBox::FrameKind() const { return FState == cbGrayed ? DFCS_BUTTON3STATE : DFCS_BUTTONCHECK; }

void TCustomCheckBox::Paint() {
  TCanvas* canvas = GetCanvas();
  TRect client = GetClientRect();
  canvas->GetBrush()->SetColor(GetColor());
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->FillRect(client);
  Integer top = (client.Height() - kCheckSize) / 2;
  bool boxLeft = FAlignment == taRightJustify;
  RECT box = boxLeft ? Rect(0, top, kCheckSize, top + kCheckSize)
                     : Rect(client.Right - kCheckSize, top, client.Right, top + kCheckSize);
  UINT state = FrameKind() | (FState != cbUnchecked ? DFCS_CHECKED : 0u) | (GetPressed() ? DFCS_PUSHED : 0u) |
               (GetEnabled() ? 0u : DFCS_INACTIVE);
  DrawFrameControl(canvas->GetHandle(), &box, DFC_BUTTON, state);
  TRect text = boxLeft ? Rect(kCheckSize + kCheckGap, 0, client.Right, client.Bottom)
                       : Rect(0, 0, client.Right - kCheckSize - kCheckGap, client.Bottom);
  UINT flags = DT_VCENTER | (GetWordWrap() ? DT_WORDBREAK : DT_SINGLELINE) | (boxLeft ? DT_LEFT : DT_RIGHT);
  TRect drawn = text;
  DrawCaption(drawn, flags | DT_CALCRECT);
  Integer height = drawn.Height();
  drawn.Top = text.Top + (text.Height() - height) / 2;
  drawn.Bottom = drawn.Top + height;
  if (!boxLeft) Offset(drawn, text.Right - drawn.Right, 0);
  TRect paint = text;
  DrawCaption(paint, flags);
  if (Focused() && !GetText().empty()) {
    Inflate(drawn, 1, 1);
    canvas->GetBrush()->SetColor(GetColor());
    canvas->DrawFocusRect(drawn);
  }
}

void TCustomCheckBox::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_DIALOGCHAR && IsAccelerator(Message.WParam, GetText()) && CanFocus()) {
    Message.Result = 1;
    SetFocus();
    Press();
    return;
  }
  inherited::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// TRadioButton

TRadioButton::TRadioButton(TComponent* AOwner) : TCustomCheckBox(AOwner) {
  SetBounds(0, 0, 113, 17);
  SetTabStop(false);
}

void TRadioButton::SetState(TCheckBoxState Value) {
  bool checked = Value == cbChecked;
  if (!ChangeState(checked ? cbChecked : cbUnchecked)) return;
  SetTabStop(checked);
  if (!checked) return;
  TAliveToken alive = AliveToken();
  UncheckSiblings();
  if (alive && !GetClicksDisabled()) Click();
}

void TRadioButton::UncheckSiblings() {
  TWinControl* parent = GetParent();
  if (!parent) return;
  for (Integer i = 0; i < parent->GetControlCount(); ++i)
    if (auto* sibling = As<TRadioButton>(parent->GetControl(i)); sibling && sibling != this) sibling->SetState(cbUnchecked);
}

void TRadioButton::Toggle() {
  if (!GetChecked()) SetState(cbChecked);
}

// Moving onto a radio button with the keys checks it.
void TRadioButton::DoEnter() {
  inherited::DoEnter();
  if (!GetChecked() && !(FControlState & csLButtonDown)) SetState(cbChecked);
}

UINT TRadioButton::FrameKind() const { return DFCS_BUTTONRADIO; }

void TRadioButton::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    Message.Result = DLGC_BUTTON | DLGC_RADIOBUTTON;
    return;
  }
  inherited::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// TCustomGroupBox

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect) {
  inherited::AdjustClientRect(Rect);
  Rect.Top += FontHeight(GetFont());
  Inflate(Rect, -2, -2);
}

void TCustomGroupBox::Paint() {
  TCanvas* canvas = GetCanvas();
  TRect client = GetClientRect();
  canvas->GetBrush()->SetColor(GetColor());
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->FillRect(client);
  Integer height = FontHeight(GetFont());
  RECT frame = Rect(0, height / 2, client.Right, client.Bottom);
  DrawEdge(canvas->GetHandle(), &frame, EDGE_ETCHED, BF_RECT);
  String caption = GetText();
  if (caption.empty()) return;
  canvas->GetFont()->Assign(GetFont());
  canvas->RequiredState(csHandleValid | csFontValid | csBrushValid);
  RECT text = Rect(8, 0, client.Right - 8, height);
  HDC dc = canvas->GetHandle();
  DrawText(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_SINGLELINE | DT_CALCRECT);
  Inflate(text, 2, 0);
  canvas->FillRect(text);
  Inflate(text, -2, 0);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(GetEnabled() ? GetFont()->GetColor() : clGrayText));
  DrawText(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_SINGLELINE);
}

void TCustomGroupBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_DIALOGCHAR:
      if (IsAccelerator(Message.WParam, GetText()) && CanFocus()) {
        Message.Result = 1;
        SelectFirst();
        return;
      }
      inherited::Dispatch(Message);
      return;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      inherited::Dispatch(Message);
      Realign();
      Invalidate();
      return;
    default: inherited::Dispatch(Message);
  }
}

// ---------------------------------------------------------------------------------------------
// TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle |= csReplicatable;
  SetBounds(0, 0, 65, 17);
  SetAutoSize(true);
}

void TCustomLabel::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
  if (Value == FLayout) return;
  FLayout = Value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
  if (Value == FWordWrap) return;
  FWordWrap = Value;
  AdjustSize();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  if (Value)
    FControlStyle &= ~static_cast<TControlStyle>(csOpaque);
  else
    FControlStyle |= csOpaque;
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
  if (Value == FShowAccelChar) return;
  FShowAccelChar = Value;
  AdjustSize();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
  if (Value == FFocusControl) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Loaded() {
  inherited::Loaded();
  AdjustSize();
}

void TCustomLabel::DoDrawText(TCanvas* Canvas, TRect& Rect, UINT Flags) {
  String text = GetText();
  // An empty or accelerator-only caption still measures one line.
  if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text += " ";
  if (!FShowAccelChar) Flags |= DT_NOPREFIX;
  Canvas->GetFont()->Assign(GetFont());
  Canvas->RequiredState(csHandleValid | csFontValid);
  HDC dc = Canvas->GetHandle();
  SetBkMode(dc, TRANSPARENT);
  if (GetEnabled() || (Flags & DT_CALCRECT)) {
    DrawTextIn(dc, text, Rect, Flags, GetFont()->GetColor());
    return;
  }
  TRect shadow = Rect;
  Offset(shadow, 1, 1);
  DrawTextIn(dc, text, shadow, Flags, clBtnHighlight);
  DrawTextIn(dc, text, Rect, Flags, clBtnShadow);
}

namespace {

UINT LabelFlags(TAlignment Alignment, bool WordWrap) {
  UINT flags = DT_EXPANDTABS | (WordWrap ? DT_WORDBREAK : 0u);
  if (Alignment == taCenter) flags |= DT_CENTER;
  if (Alignment == taRightJustify) flags |= DT_RIGHT;
  return flags;
}

}  // namespace

void TCustomLabel::Paint() {
  TCanvas* canvas = GetCanvas();
  TRect client = GetClientRect();
  if (!FTransparent) {
    canvas->GetBrush()->SetColor(GetColor());
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->FillRect(client);
  }
  UINT flags = LabelFlags(FAlignment, FWordWrap);
  TRect r = client;
  if (FLayout != tlTop) {
    TRect calc = client;
    DoDrawText(canvas, calc, flags | DT_CALCRECT);
    Integer offset = client.Height() - calc.Height();
    if (FLayout == tlCenter) offset /= 2;
    r.Top += offset;
  }
  DoDrawText(canvas, r, flags);
}

void TCustomLabel::AdjustSize() {
  if (!GetAutoSize() || HasState(csLoading)) return;
  TRect r = GetClientRect();
  if (!FWordWrap) r.Right = r.Left + 0x7FFF;
  {
    TMeasureDC dc;
    TCanvas canvas;
    TCanvasDCScope bound(&canvas, dc.Handle());
    DoDrawText(&canvas, r, DT_EXPANDTABS | DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0u));
  }
  Integer x = GetLeft();
  if (FAlignment == taRightJustify) x += GetWidth() - r.Right;
  SetBounds(x, GetTop(), r.Right, r.Bottom);
}

void TCustomLabel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_DIALOGCHAR:
      if (FFocusControl && GetEnabled() && FShowAccelChar && IsAccelerator(Message.WParam, GetText()) &&
          FFocusControl->CanFocus()) {
        Message.Result = 1;
        FFocusControl->SetFocus();
        return;
      }
      inherited::Dispatch(Message);
      return;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      inherited::Dispatch(Message);
      AdjustSize();
      Invalidate();
      return;
    default: inherited::Dispatch(Message);
  }
}
