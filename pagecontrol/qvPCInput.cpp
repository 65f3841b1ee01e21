// The tab control's input: hot tracking, the navigator buttons (arrows with their repeat, the
// go button and its dialog), mouse clicks on tabs, the wheel, the keyboard and accelerators.
#include <algorithm>

#include "pagecontrol/qvPC.h"
#include "pagecontrol/qvPCGoDialog.h"
#include "pagecontrol/qvPCPainters.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"

namespace {

bool IsArrow(TqvPCNavigatorButton AButton) { return AButton != nbGoDialog; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Hot tracking

void TqvCustomTabControl::UpdateHotTrack() { UpdateHotTrack(KeyboardStateToShiftState()); }

void TqvCustomTabControl::UpdateHotTrack(TShiftState Shift) {
  if (IsLoading() || IsDestroying() || IsDesigning() || !HandleAllocated() || FGoDialogOpen || !FPainter) return;
  const TPoint p = ScreenToClient(GetMouseCursorPos());
  const bool tracking = FHotTrack || FPainter->IsNativePainting();
  TqvPCNavigatorButtons hotButtons = 0;
  Integer hotTab = -1;
  if (tracking && GetEnabled() && !(Shift & ssLeft)) {
    TqvPCNavigatorButton button;
    if (FPainter->GetNavigatorButtonAt(p.X, p.Y, button) && (FNavigatorButtons & nbBit(button)) &&
        FNavigatorButtonStates[button] != nbsPressed && FNavigatorButtonStates[button] != nbsDisabled) {
      hotButtons = nbBit(button);
    } else {
      const Integer tab = GetTabAt(p.X, p.Y);
      if (tab != -1 && FVisibleTabList->GetTab(tab)->GetRealEnabled()) hotTab = tab;
    }
  }
  if (hotButtons != FHotButtons) {
    const TqvPCNavigatorButtons old = FHotButtons;
    FHotButtons = hotButtons;
    for (TqvPCNavigatorButton b : {nbTopLeft, nbBottomRight, nbGoDialog}) {
      if ((old & nbBit(b)) && FNavigatorButtonStates[b] == nbsHotTrack) SetNavigatorButtonState(b, nbsNormal);
      if (hotButtons & nbBit(b)) SetNavigatorButtonState(b, nbsHotTrack);
    }
  }
  FTabs->SetHotTab(hotTab);
}

void TqvCustomTabControl::MouseLeave(TControl* AControl) {
  inherited::MouseLeave(AControl);
  if (!FGoDialogOpen) UpdateHotTrack();
}

// ---------------------------------------------------------------------------------------------
// Navigator buttons

void TqvCustomTabControl::SetNavigatorButtonState(TqvPCNavigatorButton AButton, TqvPCNavigatorButtonState AState) {
  const TqvPCNavigatorButtonState old = FNavigatorButtonStates[AButton];
  if (old == AState) return;
  FNavigatorButtonStates[AButton] = AState;
  if (FPainter && (FNavigatorButtons & nbBit(AButton))) FPainter->RepaintNavigatorButton(AButton, old);
}

bool TqvCustomTabControl::CanNavigatorButtonAct(TqvPCNavigatorButton AButton) const {
  if (!IsArrow(AButton)) return true;
  const bool back = (AButton == nbTopLeft) != IsTabOrderReversed();
  if (back) return FFirstVisibleTab > 0;
  const Integer lastIndex = FVisibleTabList->GetCount() - 1;
  return !(FLastVisibleTab >= lastIndex &&
           (FLastVisibleTab > lastIndex || FLastTabComplete || FLastVisibleTab == FFirstVisibleTab));
}

void TqvCustomTabControl::UpdateNavigatorButtonStates() {
  bool changed = false;
  for (TqvPCNavigatorButton b : {nbTopLeft, nbBottomRight}) {
    if (!CanNavigatorButtonAct(b)) {
      if (FNavigatorButtonStates[b] != nbsDisabled) {
        FHotButtons &= ~nbBit(b);
        FPressedButtons &= ~nbBit(b);
        SetNavigatorButtonState(b, nbsDisabled);
        changed = true;
      }
    } else if (FNavigatorButtonStates[b] == nbsDisabled) {
      SetNavigatorButtonState(b, nbsNormal);
      changed = true;
    }
  }
  if (changed && !FInLayout) UpdateHotTrack();
}

void TqvCustomTabControl::ArrowStep(TqvPCNavigatorButton AButton) {
  if (FMultiLine || !CanNavigatorButtonAct(AButton)) return;
  const Integer delta = (AButton == nbTopLeft) != IsTabOrderReversed() ? -1 : 1;
  FFirstVisibleTab += delta;
  RequestLayout();
}

void TqvCustomTabControl::StopArrowTimer() {
  if (FArrowTimer) FArrowTimer->SetEnabled(false);
}

void TqvCustomTabControl::ArrowTimerTick(TObject*) {
  FArrowTimer->SetInterval(ArrowRepeatDelay);
  const TqvPCNavigatorButtons arrows = FPressedButtons & nbArrows;
  if (!arrows) {
    StopArrowTimer();
    return;
  }
  ArrowStep(arrows & nbBit(nbTopLeft) ? nbTopLeft : nbBottomRight);
}

void TqvCustomTabControl::PressNavigatorButton(TqvPCNavigatorButton AButton) {
  const TqvPCNavigatorButtonState state = FNavigatorButtonStates[AButton];
  if (state == nbsPressed || state == nbsDisabled) return;
  FPressedButtons = nbBit(AButton);
  SetNavigatorButtonState(AButton, nbsPressed);
  if (!IsArrow(AButton)) return;
  ArrowStep(AButton);
  if (!(FPressedButtons & nbBit(AButton))) return;
  if (!FArrowTimer) {
    FArrowTimer = New<TTimer>(this);
    FArrowTimer->SetEnabled(false);
    FArrowTimer->SetOnTimer([this](TObject* Sender) { ArrowTimerTick(Sender); });
  }
  FArrowTimer->SetInterval(ArrowFirstDelay);
  FArrowTimer->SetEnabled(true);
}

void TqvCustomTabControl::ReleaseNavigatorButton(TqvPCNavigatorButton AButton) {
  StopArrowTimer();
  if (FNavigatorButtonStates[AButton] == nbsDisabled) return;
  if (AButton == nbGoDialog && (FPressedButtons & nbBit(nbGoDialog)) && !IsDesigning()) {
    OpenGoDialog();
    return;
  }
  FPressedButtons &= ~nbBit(AButton);
  SetNavigatorButtonState(AButton, nbsNormal);
  UpdateHotTrack();
}

void TqvCustomTabControl::OpenGoDialog() {
  if (!FGoDialog) return;
  FGoDialogOpen = true;
  FGoDialog->SetActiveVisibleIndex(FActiveVisibleIndex);
  FGoDialog->FillList();
  FGoDialog->OnCloseCallback = [this] { GoDialogClosed(); };
  FGoDialog->Popup();
}

void TqvCustomTabControl::GoDialogClosed() {
  FGoDialogOpen = false;
  Integer result = -1;
  if (FGoDialog) {
    result = FGoDialog->GetResult();
    FGoDialog->OnCloseCallback = nullptr;
    FGoDialog->CloseUp(false);
  }
  FPressedButtons = 0;
  SetNavigatorButtonState(nbGoDialog, nbsNormal);
  if (result >= 0 && result < FVisibleTabList->GetCount()) {
    TqvTab* tab = FVisibleTabList->GetTab(result);
    if (tab->GetRealEnabled()) SetTabIndex(tab->GetIndex());
  }
  UpdateHotTrack();
}

// ---------------------------------------------------------------------------------------------
// Mouse

void TqvCustomTabControl::SetPressedTab(Integer VisibleIndex) {
  if (VisibleIndex == FPressedTab) return;
  const Integer old = FPressedTab;
  FPressedTab = VisibleIndex;
  if (old != -1 && old < FVisibleTabList->GetCount()) FTabs->TabChanged(old, tckPressed);
  if (VisibleIndex != -1) FTabs->TabChanged(VisibleIndex, tckPressed);
}

void TqvCustomTabControl::SelectVisibleTab(Integer VisibleIndex) {
  SetTabIndex(FVisibleTabList->GetTab(VisibleIndex)->GetIndex());
}

void TqvCustomTabControl::TabClicked(Integer VisibleIndex, TShiftState Shift, bool AMouseUp) {
  TqvTab* tab = FVisibleTabList->GetTab(VisibleIndex);
  if (!tab->GetRealEnabled() && !IsDesigning()) return;
  const TqvPCPainterClass painterClass = FPainter->GetPainterClass();
  if (painterClass->TabsAreButtons() && !IsDesigning()) {
    if (!AMouseUp) {
      SetPressedTab(VisibleIndex);
      return;
    }
    if (FPressedTab != VisibleIndex) return;
    SetPressedTab(-1);
  }
  if (FMultiSelectionActive && painterClass->AllowsMultiSelection() && (Shift & ssCtrl)) {
    if (tab->IsActive())
      SetTabIndex(-1);
    else
      tab->SetSelected(!tab->GetSelected());
    return;
  }
  SetTabIndex(tab->GetIndex());
}

void TqvCustomTabControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseDown(Button, Shift, X, Y);
  if (!alive) return;
  // The click that closed the go dialog from the go button does not press it again.
  const bool closedByThisClick = FGoDialog && FGoDialog->GetClosedByOwnerClick();
  if (FGoDialog) FGoDialog->SetClosedByOwnerClick(false);
  if ((Button != mbLeft && !IsDesigning()) || FHideTabs) return;
  TqvPCNavigatorButton button;
  const bool onButton = FPainter->GetNavigatorButtonAt(X, Y, button) && (FNavigatorButtons & nbBit(button));
  if (closedByThisClick && onButton && button == nbGoDialog) return;
  UpdateHotTrack(Shift);
  if (onButton) {
    if (!IsDesigning() || button != nbGoDialog) PressNavigatorButton(button);
    return;
  }
  const Integer tab = GetTabAt(X, Y);
  if (tab != -1) TabClicked(tab, Shift, false);
}

void TqvCustomTabControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseMove(Shift, X, Y);
  if (!alive) return;
  if (FPressedButtons) {
    TqvPCNavigatorButton button;
    const bool onButton = FPainter->GetNavigatorButtonAt(X, Y, button) && (FNavigatorButtons & nbBit(button));
    if (!onButton || !(FPressedButtons & nbBit(button))) {
      StopArrowTimer();
      const TqvPCNavigatorButtons pressed = FPressedButtons;
      FPressedButtons = 0;
      for (TqvPCNavigatorButton b : {nbTopLeft, nbBottomRight, nbGoDialog})
        if ((pressed & nbBit(b)) && FNavigatorButtonStates[b] == nbsPressed) SetNavigatorButtonState(b, nbsNormal);
    }
  }
  if (FPressedTab != -1 && GetTabAt(X, Y) != FPressedTab) SetPressedTab(-1);
  UpdateHotTrack(Shift);
}

void TqvCustomTabControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseUp(Button, Shift, X, Y);
  if (!alive) return;
  if (Button != mbLeft || FHideTabs || FGoDialogOpen) return;
  TqvPCNavigatorButton button;
  if (FPainter->GetNavigatorButtonAt(X, Y, button) && (FNavigatorButtons & nbBit(button))) {
    ReleaseNavigatorButton(button);
    return;
  }
  StopArrowTimer();
  const Integer tab = GetTabAt(X, Y);
  if (tab != -1) TabClicked(tab, Shift, true);
  if (!alive) return;
  SetPressedTab(-1);
  UpdateHotTrack(Shift);
}

bool TqvCustomTabControl::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  if (!FMultiLine && FFirstVisibleTab >= 0 && FFirstVisibleTab < FVisibleTabList->GetCount() && WheelDelta != 0) {
    const TPoint p = ScreenToClient(MousePos);
    const TRect r = FVisibleTabList->GetTab(FFirstVisibleTab)->GetFullRect();
    const bool onRow = IsHorizontalPosition() ? p.Y >= r.Top && p.Y < r.Bottom : p.X >= r.Left && p.X < r.Right;
    if (onRow) {
      ArrowStep(WheelDelta < 0 ? nbBottomRight : nbTopLeft);
      return true;
    }
  }
  return inherited::DoMouseWheel(Shift, WheelDelta, MousePos);
}

// ---------------------------------------------------------------------------------------------
// Keyboard

bool TqvCustomTabControl::HandleTabKey(Word& Key, TShiftState Shift) {
  const Integer count = FVisibleTabList->GetCount();
  const TShiftState keys = Shift & (ssShift | ssAlt | ssCtrl);
  if (count == 0 || keys == ssAlt || keys == (ssShift | ssAlt)) return false;
  const bool reversed = IsTabOrderReversed();
  // Positions in display order.
  auto toDisplay = [&](Integer i) { return reversed ? count - 1 - i : i; };
  auto toVisible = toDisplay;
  Integer direction = 0, position = -1;
  bool wrap = false, stepped = true;
  switch (Key) {
    case VK_TAB:
      if (!(keys & ssCtrl)) return false;
      direction = keys & ssShift ? -1 : 1;
      wrap = true;
      break;
    case VK_LEFT:
    case VK_UP: direction = -1; break;
    case VK_RIGHT:
    case VK_DOWN: direction = 1; break;
    case VK_HOME:
    case VK_END:
      direction = Key == VK_HOME ? 1 : -1;
      position = Key == VK_HOME ? 0 : count - 1;
      stepped = false;
      break;
    case VK_RETURN:
    case VK_SPACE:
      if (FFocusedTab == -1) return false;
      SelectVisibleTab(FFocusedTab);
      return true;
    default: return false;
  }
  if (stepped) {
    const Integer start = FFocusedTab != -1 ? FFocusedTab : FActiveVisibleIndex;
    // Without a start the step lands on the first tab going forward, on the last going back.
    position = start != -1 ? toDisplay(start) + direction : (direction > 0 ? 0 : count - 1);
    if (position < 0 || position >= count) {
      if (!wrap) return true;
      position = position < 0 ? count - 1 : 0;
    }
  }
  Integer found = -1;
  for (Integer n = 0, p = position; n < count; ++n) {
    if (FVisibleTabList->GetTab(toVisible(p))->GetRealEnabled()) {
      found = toVisible(p);
      break;
    }
    p += direction;
    if (p < 0 || p >= count) {
      if (!wrap) break;
      p = p < 0 ? count - 1 : 0;
    }
  }
  if (found == -1) return true;
  const bool ctrlTab = Key == VK_TAB;
  if (FPainter->GetPainterClass()->TabsAreButtons() && !ctrlTab)
    FTabs->SetFocusedTab(found);
  else if (found != FActiveVisibleIndex)
    SelectVisibleTab(found);
  return true;
}

void TqvCustomTabControl::KeyDown(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  inherited::KeyDown(Key, Shift);
  if (alive && Key != 0 && HandleTabKey(Key, Shift)) Key = 0;
}

bool TqvCustomTabControl::SelectAccelerator(char AChar) {
  if (!CanFocus()) return false;
  for (Integer i = 0; i < FTabs->GetCount(); ++i) {
    TqvTab* tab = FTabs->GetTab(i);
    if (tab->GetVisible() && tab->GetRealEnabled() && IsAccel(Word(Byte(AChar)), tab->GetCaption())) {
      TAliveToken alive = AliveToken();
      SetTabIndex(i);
      if (alive && CanFocus()) SetFocus();
      return true;
    }
  }
  return false;
}

void TqvCustomTabControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_DIALOGKEY: {
      HWND focus = GetFocus();
      const bool ours = HandleAllocated() && focus && (focus == GetHandle() || IsChild(GetHandle(), focus));
      Word key = Word(Message.WParam);
      if (ours && HandleTabKey(key, KeyboardStateToShiftState())) {
        Message.Result = 1;
        return;
      }
      inherited::Dispatch(Message);
      return;
    }
    case CM_DIALOGCHAR:
      if (SelectAccelerator(char(Message.WParam))) {
        Message.Result = 1;
        return;
      }
      inherited::Dispatch(Message);
      return;
    default: inherited::Dispatch(Message);
  }
}
