// The radio group control: its buttons, the selected index and the edit value, keys that move
// between items and columns, in-place activation, and the group-box frame with its caption.
#include <algorithm>

#include "editors/qvEditPaintUtils.h"
#include "editors/qvExtEditUtils.h"
#include "editors/qvRadioGroup.h"
#include "lookandfeel/qvContainer.h"
#include "platform/forms/Forms.h"
#include "platform/os/Gdi.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvRadioGroupEditData)
QJ_IMPLEMENT_CLASS(TqvCustomRadioGroupButton)
QJ_IMPLEMENT_CLASS(TqvCustomRadioGroup)
QJ_IMPLEMENT_CLASS(TqvRadioGroup)

TqvCustomEditClass TqvCustomRadioGroupProperties::ContainerClass() { return &TqvRadioGroup::StaticClass(); }

namespace {

constexpr Integer kGroupWidth = 185;
constexpr Integer kGroupHeight = 105;
// The caption starts this far in from the frame's side.
constexpr Integer kCaptionIndent = 8;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Buttons

TqvCustomRadioGroupButton::TqvCustomRadioGroupButton(TqvCustomRadioGroup* AGroup)
    : TqvRadioButton(AGroup), FGroup(AGroup) {
  SetEnabled(AGroup->GetEnabled());
  SetVisible(AGroup->GetVisible());
  SetParentShowHint(false);
  GetLookAndFeel()->SetMasterLookAndFeel(AGroup->GetStyle()->GetLookAndFeel());
  SetParentColor(true);
  SetParent(AGroup);
  AGroup->FButtons.push_back(this);
  OnClick = [AGroup](TObject* Sender) { AGroup->ButtonClick(Sender); };
}

TqvCustomRadioGroupButton::~TqvCustomRadioGroupButton() {
  auto& buttons = FGroup->FButtons;
  buttons.erase(std::remove(buttons.begin(), buttons.end(), this), buttons.end());
}

Integer TqvCustomRadioGroupButton::GetIndex() const { return FGroup->IndexOfButton(this); }

bool TqvCustomRadioGroupButton::IsInplace() const { return FGroup->IsInplace(); }

TPopupMenu* TqvCustomRadioGroupButton::GetPopupMenu() { return FGroup->GetPopupMenu(); }

void TqvCustomRadioGroupButton::Click() {
  TAliveToken alive = AliveToken();
  inherited::Click();
  if (alive && !FGroup->HasState(csLoading)) FGroup->Click();
}

void TqvCustomRadioGroupButton::DoEnter() {
  TAliveToken alive = AliveToken();
  FGroup->ButtonEntered(this);
  // The group checked the button when it took the item; a refused item stays unchecked.
  if (alive) TButtonControl::DoEnter();
}

void TqvCustomRadioGroupButton::DoExit() {
  FGroup->ButtonExited(this);
  inherited::DoExit();
}

void TqvCustomRadioGroupButton::Toggle() {
  if (GetChecked() || FGroup->FUpdatingButtons) return;
  try {
    if (!FGroup->CanButtonCheck()) return;
    TAliveToken alive = AliveToken();
    FGroup->SetItemIndex(GetIndex());
    if (alive && FGroup->GetItemIndex() == GetIndex()) FGroup->SetModifiedAfterEnter(true);
  } catch (Exception&) {
    Application->HandleException(this);
  }
}

void TqvCustomRadioGroupButton::KeyDown(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  FGroup->KeyDown(Key, Shift);
  if (!alive || Key == 0) return;
  if (Key == VK_SPACE && !FGroup->CanModify()) return;
  inherited::KeyDown(Key, Shift);
}

void TqvCustomRadioGroupButton::KeyPress(char& Key) {
  TAliveToken alive = AliveToken();
  FGroup->KeyPress(Key);
  if (!alive || Key == 0) return;
  if ((Key == ' ' || Key == '\b') && !FGroup->CanModify()) return;
  inherited::KeyPress(Key);
}

void TqvCustomRadioGroupButton::KeyUp(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  FGroup->KeyUp(Key, Shift);
  if (!alive || Key == 0) return;
  if (Key == VK_SPACE && !FGroup->CanModify()) return;
  inherited::KeyUp(Key, Shift);
}

void TqvCustomRadioGroupButton::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseDown(Button, Shift, X, Y);
  if (!alive) return;
  const TPoint p = ToGroup(X, Y);
  FGroup->MouseDown(Button, Shift, p.X, p.Y);
}

void TqvCustomRadioGroupButton::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseMove(Shift, X, Y);
  if (!alive) return;
  const TPoint p = ToGroup(X, Y);
  FGroup->MouseMove(Shift, p.X, p.Y);
}

void TqvCustomRadioGroupButton::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseUp(Button, Shift, X, Y);
  if (!alive) return;
  const TPoint p = ToGroup(X, Y);
  FGroup->MouseUp(Button, Shift, p.X, p.Y);
}

void TqvCustomRadioGroupButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      // The group moves between its items with the arrow keys.
      inherited::Dispatch(Message);
      Message.Result |= DLGC_WANTARROWS;
      return;
    case WM_MOUSEWHEEL: return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (FGroup->GetDragMode() == dmAutomatic && !HasState(csDesigning)) {
        FGroup->BeginAutoDrag();
        return;
      }
      inherited::Dispatch(Message);
      return;
    default: inherited::Dispatch(Message);
  }
}

// ---------------------------------------------------------------------------------------------
// Group

TqvCustomRadioGroup::TqvCustomRadioGroup(TComponent* AOwner, bool AIsInplace) : TqvCustomEdit(AOwner, AIsInplace) {}

TqvCustomRadioGroup::~TqvCustomRadioGroup() {
  while (!FButtons.empty()) Free(FButtons.back());
}

void TqvCustomRadioGroup::AfterConstruction() {
  inherited::AfterConstruction();
  SetTabStop(false);
  SetAutoSize(false);
  SetParentColor(!IsInplace());
  SetBounds(GetLeft(), GetTop(), kGroupWidth, kGroupHeight);
}

TqvRadioGroupButtonClass TqvCustomRadioGroup::GetButtonClass() const {
  return &TqvCustomRadioGroupButton::StaticClass();
}

TqvEditDataClass TqvCustomRadioGroup::GetEditDataClass() const { return &TqvRadioGroupEditData::StaticClass(); }

Integer TqvCustomRadioGroup::IndexOfButton(const TqvCustomRadioGroupButton* AButton) const {
  const auto it = std::find(FButtons.begin(), FButtons.end(), AButton);
  return it == FButtons.end() ? -1 : Integer(it - FButtons.begin());
}

TqvCustomRadioGroupButton* TqvCustomRadioGroup::FocusedButton() const {
  for (TqvCustomRadioGroupButton* button : FButtons)
    if (button->Focused()) return button;
  return nullptr;
}

void TqvCustomRadioGroup::SetCaption(const String& Value) {
  FCaptionAssigned = true;
  if (Value == FCaption) return;
  FCaption = Value;
  PropertiesChanged(GetActiveProperties());
  Invalidate();
}

void TqvCustomRadioGroup::SetCtl3D(bool Value) {
  if (Value == FCtl3D) return;
  FCtl3D = Value;
  Invalidate();
}

void TqvCustomRadioGroup::CheckButton(Integer AOldIndex, Integer ANewIndex) {
  TValueScope updating(FUpdatingButtons, true, AliveToken());
  auto set = [this](Integer AIndex, bool AChecked) {
    if (AIndex < 0 || AIndex >= GetButtonCount()) return;
    TqvCustomRadioGroupButton* button = FButtons[size_t(AIndex)];
    button->SetClicksDisabled(true);
    button->SetChecked(AChecked);
    button->SetClicksDisabled(false);
  };
  set(AOldIndex, false);
  set(ANewIndex, true);
}

void TqvCustomRadioGroup::SetItemIndex(Integer Value) {
  if (HasState(csReading)) {
    FItemIndex = Value;
    return;
  }
  Value = std::clamp(Value, -1, GetProperties()->GetItems()->GetCount() - 1);
  if (Value == FItemIndex) {
    if (!FSelectingByButtonFocus) SetEditModified(false);
    return;
  }
  Variant value;
  DisplayToEditValue(Value, value, false);
  TAliveToken alive = AliveToken();
  SetEditValue(value);
  if (!alive || FItemIndex == Value) return;
  // Two items of one value: the index asked for wins.
  const Integer old = FItemIndex;
  FItemIndex = Value;
  CheckButton(old, Value);
  GetGroupViewInfo()->CheckedIndex = Value;
}

void TqvCustomRadioGroup::DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool) {
  AEditValue = GetProperties()->GetIndexValue(IsVarNullOrEmpty(ADisplayValue) ? -1 : ADisplayValue.AsInteger());
}

void TqvCustomRadioGroup::InternalSetEditValue(const Variant& Value, bool AValidate) {
  TAliveToken alive = AliveToken();
  inherited::InternalSetEditValue(Value, AValidate);
  if (!alive) return;
  const Integer index = GetProperties()->GetRadioGroupItemIndex(inherited::GetEditValue());
  if (index != FItemIndex) {
    const Integer old = FItemIndex;
    FItemIndex = index;
    CheckButton(old, index);
    GetGroupViewInfo()->CheckedIndex = index;
    if (index != -1) Click();
    if (!alive) return;
  }
  ShortRefreshContainer(false);
}

void TqvCustomRadioGroup::PropertiesChanged(TObject* Sender) {
  TAliveToken alive = AliveToken();
  inherited::PropertiesChanged(Sender);
  if (!alive || HasState(csReading)) return;
  // New items may select another index for the same value.
  const Integer index = GetProperties()->GetRadioGroupItemIndex(GetEditValue());
  if (index != FItemIndex && !HasState(csLoading)) {
    const Integer old = FItemIndex;
    FItemIndex = index;
    CheckButton(old, index);
  }
  UpdateButtons();
}

void TqvCustomRadioGroup::Loaded() {
  inherited::Loaded();
  const Integer index = FItemIndex;
  FItemIndex = -2;
  UpdateButtons();
  SetItemIndex(index);
}

void TqvCustomRadioGroup::CreateHandle() {
  inherited::CreateHandle();
  UpdateButtons();
  RefreshContainerAtCursor(false);
}

void TqvCustomRadioGroup::UpdateButtons() {
  if (IsDestroying() || !GetViewInfo()) return;
  TValueScope updating(FUpdatingButtons, true, AliveToken());
  TqvRadioGroupItems* items = GetProperties()->GetItems();
  while (GetButtonCount() > items->GetCount()) Free(FButtons.back());
  while (GetButtonCount() < items->GetCount()) GetButtonClass()->Create(this);
  const TqvLookAndFeelKind kind = GetGroupViewInfo()->GetGlyphStyle();
  for (Integer i = 0; i < GetButtonCount(); ++i) {
    TqvCustomRadioGroupButton* button = FButtons[size_t(i)];
    button->SetCaption(items->GetItem(i)->GetCaption());
    button->SetWordWrap(GetProperties()->GetWordWrap());
    button->GetLookAndFeel()->SetKind(kind);
    button->SetClicksDisabled(true);
    button->SetChecked(i == FItemIndex);
    button->SetClicksDisabled(false);
  }
  ArrangeButtons();
}

void TqvCustomRadioGroup::ArrangeButtons() {
  TqvCustomRadioGroupViewInfo* info = GetGroupViewInfo();
  if (!info) return;
  for (Integer i = 0; i < GetButtonCount(); ++i) {
    TqvCustomRadioGroupButton* button = FButtons[size_t(i)];
    button->SetBiDiMode(GetBiDiMode());
    button->SetParentBackground(GetParentBackground());
    if (size_t(i) < info->Items.size()) {
      const TqvRadioGroupItemViewInfo& item = info->Items[size_t(i)];
      button->SetBoundsRect(item.Bounds);
      button->SetPlace(item.Column, item.Row);
    }
    button->SetColor(info->BackgroundColor);
    button->SetCursor(GetCursor());
    button->SetDragMode(GetDragMode());
    button->SetDragKind(GetDragKind());
    button->SetEnabled(GetEnabled());
    button->SetVisible(true);
  }
}

bool TqvCustomRadioGroup::RefreshContainer(TPoint P, TqvMouseButton Button, TShiftState Shift, bool AIsMouseEvent) {
  TAliveToken alive = AliveToken();
  const bool result = inherited::RefreshContainer(P, Button, Shift, AIsMouseEvent);
  if (alive) ArrangeButtons();
  return result;
}

bool TqvCustomRadioGroup::CanButtonCheck() { return CanModify() && DoEditing(); }

void TqvCustomRadioGroup::ButtonEntered(TqvCustomRadioGroupButton* AButton) {
  if (FUpdatingButtons) return;
  TAliveToken alive = AliveToken();
  if (IsInplace()) {
    if (auto* data = As<TqvRadioGroupEditData>(GetEditData())) data->FocusedItemIndex = IndexOfButton(AButton);
  }
  if (AButton->Focused() && !DoEditing()) return;
  if (!alive) return;
  // The change events wait until the selection and the modified state agree.
  {
    TChangeEventsScope locked(this);
    TValueScope selecting(FSelectingByButtonFocus, true, alive);
    const Integer before = FItemIndex;
    SetItemIndex(IndexOfButton(AButton));
    if (alive && FItemIndex != before) SetModifiedAfterEnter(true);
  }
  if (!alive) return;
  ShortRefreshContainer(false);
  if (AButton->Focused() && GetProperties()->GetImmediatePost() && CanPostEditValue() && ValidateEdit(true))
    PostEditValue();
}

void TqvCustomRadioGroup::ButtonExited(TqvCustomRadioGroupButton* AButton) {
  if (!IsInplace()) return;
  if (auto* data = As<TqvRadioGroupEditData>(GetEditData())) data->FocusedItemIndex = IndexOfButton(AButton);
}

void TqvCustomRadioGroup::FocusButton(Integer AIndex, bool APost) {
  if (AIndex < 0 || AIndex >= GetButtonCount()) return;
  if (APost) {
    if (auto* data = As<TqvRadioGroupEditData>(GetEditData())) data->FocusedItemIndex = AIndex;
    if (HandleAllocated()) PostMessage(GetHandle(), WM_QV_RADIOFOCUS, WPARAM(AIndex), 0);
    return;
  }
  if (FButtons[size_t(AIndex)]->CanFocus()) FButtons[size_t(AIndex)]->SetFocus();
}

void TqvCustomRadioGroup::DoEditKeyDown(Word& Key, TShiftState Shift) {
  TqvCustomRadioGroupButton* button = FocusedButton();
  if (!button) return;
  const Integer count = GetButtonCount();
  const Integer columns = std::max(1, std::min(GetProperties()->GetColumns(), count));
  const Integer rows = (count + columns - 1) / columns;
  const Integer column = button->GetColumn(), row = button->GetRow();
  const Integer rowsInColumn = std::min(rows, count - column * rows);
  auto indexAt = [rows](Integer c, Integer r) { return c * rows + r; };
  switch (Key) {
    case VK_LEFT:
      if (column > 0) {
        FocusButton(indexAt(column - 1, row), false);
        Key = 0;
      }
      break;
    case VK_RIGHT:
      if (column < GetProperties()->GetColumns() - 1 && indexAt(column + 1, row) < count) {
        FocusButton(indexAt(column + 1, row), false);
        Key = 0;
      }
      break;
    case VK_UP:
      FocusButton(indexAt(column, row > 0 ? row - 1 : rowsInColumn - 1), row == 0);
      Key = 0;
      break;
    case VK_DOWN:
      FocusButton(indexAt(column, row + 1 < rowsInColumn ? row + 1 : 0), row + 1 >= rowsInColumn);
      Key = 0;
      break;
    default: break;
  }
  if (Key != 0) inherited::DoEditKeyDown(Key, Shift);
}

void TqvCustomRadioGroup::Activate(TqvCustomEditData*& AEditData) {
  TAliveToken alive = AliveToken();
  inherited::Activate(AEditData);
  if (!alive) return;
  if (auto* data = As<TqvRadioGroupEditData>(GetEditData())) {
    const Integer index = data->FocusedItemIndex;
    if (index >= 0 && index < GetButtonCount() && FButtons[size_t(index)]->CanFocus())
      FButtons[size_t(index)]->SetFocus();
  }
}

void TqvCustomRadioGroup::ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TqvCustomEditData*& AEditData) {
  TAliveToken alive = AliveToken();
  Activate(AEditData);
  if (!alive || !GetParent()) return;
  const TPoint p = ScreenToClient(GetParent()->ClientToScreen(Point(X, Y)));
  for (TqvCustomRadioGroupButton* button : FButtons) {
    if (!button->GetBoundsRect().Contains(p)) continue;
    const UINT msg = (Shift & ssLeft) ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    const LPARAM centre = MAKELPARAM(button->GetWidth() / 2, button->GetHeight() / 2);
    SendMessage(button->GetHandle(), msg, ShiftStateToMouseKeys(Shift), centre);
    return;
  }
}

void TqvCustomRadioGroup::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_QV_RADIOFOCUS: FocusButton(Integer(Message.WParam), false); return;
    case CM_DIALOGCHAR:
      if (IsAccel(Word(Message.WParam), FCaption) && !FButtons.empty() && FButtons.front()->CanFocus()) {
        FButtons.front()->SetFocus();
        Message.Result = 1;
        return;
      }
      inherited::Dispatch(Message);
      return;
    default: inherited::Dispatch(Message);
  }
}

// ---------------------------------------------------------------------------------------------
// Painting

void TqvCustomRadioGroup::Paint() {
  TqvCustomRadioGroupViewInfo* info = GetGroupViewInfo();
  TqvCanvas* canvas = GetCanvas();
  if (IsInplace()) {
    canvas->SetBrushColor(info->BackgroundColor);
    canvas->FillRect(info->Bounds);
    return;
  }
  PaintFrame(canvas);
}

void TqvCustomRadioGroup::PaintFrame(TqvCanvas* ACanvas) {
  TqvCustomRadioGroupViewInfo* info = GetGroupViewInfo();
  if (GetFont()) ACanvas->SetFont(GetFont());
  const Integer textHeight = ACanvas->TextHeight("Qq");
  const String caption = FCaption;
  const TSize captionSize = caption.empty() ? TSize{} : ACanvas->TextExtent(caption);
  const bool rightToLeft = GetBiDiMode() == bdRightToLeft;
  const Integer captionLeft = rightToLeft ? GetWidth() - captionSize.cx - kCaptionIndent : kCaptionIndent;
  const TRect captionRect = Bounds(captionLeft, 0, captionSize.cx, captionSize.cy);
  HDC dc = ACanvas->GetHandle();

  if (IsNativeThemeUsable(GetStyle()->GetLookAndFeel()->GetNativeStyle(), totButton)) {
    HTHEME theme = OpenTheme(totButton);
    TRect frame = info->Bounds;
    frame.Top = textHeight / 2;
    const Integer state = GetEnabled() ? GBS_NORMAL : GBS_DISABLED;
    if (IsThemeBackgroundPartiallyTransparent(theme, BP_GROUPBOX, state) && GetParentBackground())
      DrawParentBackground(this, dc, true);
    else {
      ACanvas->SetBrushColor(info->BackgroundColor);
      ACanvas->FillRect(info->Bounds);
    }
    const int saved = SaveDC(dc);
    if (!caption.empty()) ACanvas->ExcludeClipRect(captionRect);
    DrawThemeBackground(theme, dc, BP_GROUPBOX, state, &frame, nullptr);
    RestoreDC(dc, saved);
    if (!caption.empty()) {
      const WideString text(caption.begin(), caption.end());
      DrawThemeText(theme, dc, BP_GROUPBOX, state, text.c_str(), -1, DT_LEFT | DT_SINGLELINE, 0, &captionRect);
    }
    return;
  }

  const TqvEditBorderStyle style = info->GetEditBorderStyle();
  const Integer width = GetEditBorderWidth(style);
  TRect frame = info->BorderRect;
  frame = qvDeflatedRect(frame, -width);
  frame.Top = textHeight / 2 - width + 1;
  if (info->Shadow) {
    ACanvas->SetBrushColor(GetParent() ? GetParent()->GetColor() : info->BackgroundColor);
    ACanvas->FillRect(Rect(frame.Right, 0, info->Bounds.Right, info->Bounds.Bottom));
    ACanvas->FillRect(Rect(0, frame.Bottom, info->Bounds.Right, info->Bounds.Bottom));
    DrawContainerShadow(ACanvas, frame);
  }
  ACanvas->SetBrushColor(info->BackgroundColor);
  ACanvas->FillRect(Rect(info->Bounds.Left, info->Bounds.Top, frame.Right, frame.Top));
  ACanvas->FillRect(qvDeflatedRect(frame, width));
  const TqvBorders edges = info->Edges;
  switch (style) {
    case ebsSingle: ACanvas->FrameRect(frame, info->BorderColor, 1, edges); break;
    case ebsThick: ACanvas->FrameRect(frame, info->BorderColor, 2, edges); break;
    case ebsFlat:
      ACanvas->FrameRect(frame, clBtnShadow, 1, edges);
      ACanvas->FrameRect(qvDeflatedRect(frame, 1), clBtnHighlight, 1, edges);
      break;
    case ebs3D:
      if (FCtl3D) {
        // An etched line: a highlight one pixel in, the shadow over it.
        ACanvas->FrameRect(qvOffsetRect(Rect(frame.Left, frame.Top, frame.Right - 1, frame.Bottom - 1), 1, 1),
                           clBtnHighlight, 1, edges);
        ACanvas->FrameRect(Rect(frame.Left, frame.Top, frame.Right - 1, frame.Bottom - 1), clBtnShadow, 1, edges);
        ACanvas->SetPixel(frame.Right - 1, frame.Top, ColorToRGB(clBtnHighlight));
        ACanvas->SetPixel(frame.Left, frame.Bottom - 1, ColorToRGB(clBtnHighlight));
      } else
        ACanvas->FrameRect(frame, clWindowFrame, 1, edges);
      break;
    case ebsNone:
    case ebsUltraFlat: break;
  }
  if (!(edges & qvBorder(bTop))) ACanvas->FillRect(Rect(frame.Left, frame.Top, frame.Right, frame.Top + width));
  if (caption.empty()) return;
  ACanvas->SetBrushColor(info->BackgroundColor);
  ACanvas->FillRect(captionRect);
  ACanvas->GetCanvas()->GetFont()->SetColor(info->TextColor);
  ACanvas->DrawText(caption, captionRect, tfLeft | tfSingleLine | tfShowPrefix);
}
