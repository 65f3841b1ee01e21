// Working inside the builder: the focused element and the keys and clicks that move and activate
// it, hot tracking, the row menu, the drop-down lists, the pooled value editor, and adding and
// removing conditions, groups and values.
#include <algorithm>

#include "editors/qvComboBox.h"
#include "editors/qvTextEdit.h"
#include "grid/qvFilterControl.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"
#include "platform/rtl/Scopes.h"

namespace {

// Buttons and values change their look under the mouse; texts do not.
bool IsHotTracked(TqvFilterHitKind AKind) {
  return AKind == fhkButton || AKind == fhkValue || AKind == fhkAddCondition || AKind == fhkAddValue;
}

bool IsCtrlAlone(TShiftState Shift) { return (Shift & (ssCtrl | ssShift | ssAlt)) == ssCtrl; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Focus

void TqvCustomFilterControl::SetFocusKind(TqvFilterHitKind AKind) {
  FFocusedInfo.HitKind = AKind;
  Refresh();
  MakeFocusedVisible();
}

void TqvCustomFilterControl::FocusRow(TqvCustomRowViewInfo* ARow) {
  if (!ARow) return;
  FFocusedInfo.Row = ARow;
  FFocusedInfo.ValueIndex = -1;
  SetFocusKind(ARow->IsGroup() ? fhkBoolOperator : fhkItem);
}

void TqvCustomFilterControl::FocusLastElement(TqvCustomRowViewInfo* ARow) {
  FFocusedInfo.Row = ARow;
  FFocusedInfo.ValueIndex = -1;
  auto* condition = As<TqvConditionViewInfo>(ARow);
  if (!condition) {
    SetFocusKind(fhkBoolOperator);
  } else if (!condition->HasValues()) {
    SetFocusKind(fhkOperator);
  } else {
    FFocusedInfo.ValueIndex = condition->Values->GetCount() - 1;
    SetFocusKind(condition->IsInList() ? fhkAddValue : fhkValue);
  }
}

void TqvCustomFilterControl::FocusNext(bool AWrap) {
  TqvCustomRowViewInfo* row = FFocusedInfo.Row;
  auto* condition = As<TqvConditionViewInfo>(row);
  switch (FFocusedInfo.HitKind) {
    case fhkButton:
      SetFocusKind(condition ? fhkItem : fhkBoolOperator);
      break;
    case fhkItem:
      SetFocusKind(fhkOperator);
      break;
    case fhkOperator:
      if (condition && condition->HasValues()) {
        FFocusedInfo.ValueIndex = 0;
        SetFocusKind(fhkValue);
      } else if (AWrap) {
        FocusNextRow(true);
      }
      break;
    case fhkValue:
      if (condition && FFocusedInfo.ValueIndex + 1 < condition->Values->GetCount()) {
        ++FFocusedInfo.ValueIndex;
        SetFocusKind(fhkValue);
      } else if (condition && condition->IsInList()) {
        SetFocusKind(fhkAddValue);
      } else if (AWrap) {
        FocusNextRow(true);
      }
      break;
    case fhkBoolOperator:
    case fhkAddValue:
      if (AWrap) FocusNextRow(true);
      break;
    case fhkAddCondition:
      if (!AWrap) FocusRow(FRowList.back());
      break;
    default:
      break;
  }
}

void TqvCustomFilterControl::FocusPrev(bool AWrap) {
  auto* condition = As<TqvConditionViewInfo>(FFocusedInfo.Row);
  switch (FFocusedInfo.HitKind) {
    case fhkButton:
      if (AWrap) FocusPrevRow(true);
      break;
    case fhkAddCondition:
      FocusPrevRow(AWrap);
      break;
    case fhkBoolOperator:
    case fhkItem:
      SetFocusKind(fhkButton);
      break;
    case fhkOperator:
      SetFocusKind(fhkItem);
      break;
    case fhkValue:
      if (FFocusedInfo.ValueIndex > 0) {
        --FFocusedInfo.ValueIndex;
        SetFocusKind(fhkValue);
      } else {
        SetFocusKind(fhkOperator);
      }
      break;
    case fhkAddValue:
      if (condition) {
        const Integer last = condition->Values->GetCount() - 1;
        if (FFocusedInfo.ValueIndex < 0 || FFocusedInfo.ValueIndex > last) FFocusedInfo.ValueIndex = last;
      }
      SetFocusKind(fhkValue);
      break;
    default:
      break;
  }
}

void TqvCustomFilterControl::FocusNextRow(bool AWrap) {
  const Integer index = std::max(0, IndexOfRow(FFocusedInfo.Row));
  if (index >= GetRowCount() - 1) {
    FFocusedInfo.Row = FRowList.back();
    SetFocusKind(fhkAddCondition);
    return;
  }
  TqvCustomRowViewInfo* next = FRowList[size_t(index + 1)];
  if (AWrap) {
    FFocusedInfo.Row = next;
    FFocusedInfo.ValueIndex = -1;
    SetFocusKind(fhkButton);
  } else {
    FocusRow(next);
  }
}

void TqvCustomFilterControl::FocusPrevRow(bool AWrap) {
  TqvCustomRowViewInfo* target;
  if (FFocusedInfo.HitKind == fhkAddCondition) {
    target = FRowList.back();
  } else {
    const Integer index = IndexOfRow(FFocusedInfo.Row);
    if (index <= 0) return;  // the root, or a row no longer listed
    target = FRowList[size_t(index - 1)];
  }
  if (AWrap)
    FocusLastElement(target);
  else
    FocusRow(target);
}

TRect TqvCustomFilterControl::GetFocusedElementRect() {
  TqvCustomRowViewInfo* row = FFocusedInfo.Row;
  auto* group = As<TqvGroupViewInfo>(row);
  auto* condition = As<TqvConditionViewInfo>(row);
  switch (FFocusedInfo.HitKind) {
    case fhkButton: {
      if (!row) return TRect{};
      TRect r = row->ButtonRect;
      if (row == FRootRow.get()) r.Left -= 4;
      return r;
    }
    case fhkBoolOperator: return group ? group->BoolOperatorRect : TRect{};
    case fhkItem: return condition ? condition->ItemRect : TRect{};
    case fhkOperator: return condition ? condition->OperatorRect : TRect{};
    case fhkValue:
      if (condition && FFocusedInfo.ValueIndex >= 0 && FFocusedInfo.ValueIndex < condition->Values->GetCount())
        return condition->Values->GetValue(FFocusedInfo.ValueIndex)->ValueRect;
      return TRect{};
    case fhkAddCondition: return FViewInfo->AddConditionRect;
    case fhkAddValue: return condition ? condition->Values->AddButtonRect : TRect{};
    default: return TRect{};
  }
}

void TqvCustomFilterControl::MakeFocusedVisible() {
  const Integer rowHeight = FViewInfo->RowHeight;
  if (rowHeight <= 0) {
    Refresh();
    return;
  }
  const TRect client = GetClientBounds();
  const Integer index = std::max(0, IndexOfRow(FFocusedInfo.Row));
  if (index < FTopRow) {
    FTopRow = index;
  } else {
    Integer bottom = FFocusedInfo.HitKind == fhkAddCondition || !FFocusedInfo.Row ? FViewInfo->AddConditionRect.Bottom
                                                                                  : FFocusedInfo.Row->Bounds.Bottom;
    while (client.Bottom < bottom && FTopRow < GetRowCount()) {
      ++FTopRow;
      bottom -= rowHeight;
    }
  }
  TRect r = GetFocusedElementRect();
  Integer moved = 0;
  if (!r.IsEmpty()) {
    if (r.Right >= client.Right) moved = r.Right - client.Right + 2;
    if (r.Left - moved < client.Left) moved = r.Left - client.Left;
  }
  FLeftOffset = std::max(0, FLeftOffset + moved);
  Refresh();
}

// ---------------------------------------------------------------------------------------------
// Keys

void TqvCustomFilterControl::KeyDown(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  inherited::KeyDown(Key, Shift);
  if (!alive || Key == 0) return;
  switch (Key) {
    case VK_TAB:
      if (Shift & ssCtrl) {
        if (GetParent()) GetParent()->SelectNext(this, !(Shift & ssShift), true);
      } else if (Shift & ssShift) {
        FocusPrev(true);
      } else {
        FocusNext(true);
      }
      Key = 0;
      break;
    case VK_LEFT: FocusPrev(false); break;
    case VK_RIGHT: FocusNext(false); break;
    case VK_UP: FocusPrevRow(false); break;
    case VK_DOWN: FocusNextRow(false); break;
    case VK_INSERT:
      if (!(Shift & (ssCtrl | ssShift | ssAlt))) AddCondition(FFocusedInfo.Row);
      break;
    case VK_DELETE:
      if (Shift & ssCtrl) RemoveFocused();
      break;
    default:
      break;
  }
}

void TqvCustomFilterControl::KeyPress(char& Key) {
  TAliveToken alive = AliveToken();
  inherited::KeyPress(Key);
  if (!alive || Key == 0) return;
  if (Key == '\r' || Key == ' ') {
    Key = 0;
    ActivateFocused(veaPlain, 0);
  } else if (Key != '\x1B' && static_cast<unsigned char>(Key) >= ' ' && FFocusedInfo.HitKind == fhkValue) {
    const char typed = Key;
    Key = 0;
    ShowValueEditor(veaByKey, typed);
  }
}

void TqvCustomFilterControl::ActivateFocused(TValueEditorActivation AValueActivation, char AKey) {
  switch (FFocusedInfo.HitKind) {
    case fhkButton: ShowRowMenu(); break;
    case fhkBoolOperator: ShowBoolOperatorList(); break;
    case fhkItem: ShowItemList(); break;
    case fhkOperator: ShowOperatorList(); break;
    case fhkValue: ShowValueEditor(AValueActivation, AKey); break;
    case fhkAddCondition: AddCondition(nullptr); break;
    case fhkAddValue: AddValue(); break;
    default: break;
  }
}

// ---------------------------------------------------------------------------------------------
// Mouse

bool TqvCustomFilterControl::HasFocusInside() {
  if (Focused()) return true;
  return (FValueEditor && FValueEditor->Focused()) || (FCombo && FCombo->Focused());
}

bool TqvCustomFilterControl::CanHotTrack() {
  return GetEnabled() && HasItems() && (FHotTrackOnUnfocused || HasFocusInside());
}

TCursor TqvCustomFilterControl::GetCurrentCursor(Integer X, Integer Y) {
  if (!FConstructed || FViewInfo->RowHeight == 0 || !CanHotTrack()) return crDefault;
  TqvFilterHitInfo info;
  FViewInfo->GetHitInfo(0, {X, Y}, info);
  return info.HitKind != fhkNone ? crHandPoint : crDefault;
}

void TqvCustomFilterControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseDown(Button, Shift, X, Y);
  if (!alive || !HasItems() || FViewInfo->RowHeight == 0) return;
  FViewInfo->GetHitInfo(Shift, {X, Y}, FHotInfo);
  if (FHotInfo.HitKind == fhkNone || FEditState != fesNone || Button != mbLeft) return;
  FFocusedInfo = FHotInfo;
  MakeFocusedVisible();
  ActivateFocused(veaByMouse, 0);
}

void TqvCustomFilterControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseMove(Shift, X, Y);
  if (!alive || !FConstructed || FViewInfo->RowHeight == 0) return;
  BeginMouseTracking(this, GetBounds(), this);
  const TqvFilterHitInfo previous = FHotInfo;
  FViewInfo->GetHitInfo(Shift, {X, Y}, FHotInfo);
  if (!IsHotTracked(previous.HitKind) && !IsHotTracked(FHotInfo.HitKind)) return;
  auto updateButtonState = [this] {
    const TqvButtonState old = FViewInfo->ButtonState;
    FViewInfo->CalculateButtonState();
    if (FViewInfo->ButtonState != old) InvalidateRect(FViewInfo->AddConditionRect, false);
  };
  if (previous.Row != FHotInfo.Row) {
    if (IsHotTracked(previous.HitKind) && previous.Row && IndexOfRow(previous.Row) >= 0) {
      FViewInfo->CalculateRow(previous.Row);
      InvalidateRect(previous.Row->Bounds, false);
    }
    if (!IsHotTracked(FHotInfo.HitKind)) {
      updateButtonState();
      return;
    }
  } else if (previous.HitKind == FHotInfo.HitKind && previous.ValueIndex == FHotInfo.ValueIndex) {
    return;
  }
  if (FHotInfo.Row) {
    FViewInfo->CalculateRow(FHotInfo.Row);
    InvalidateRect(FHotInfo.Row->Bounds, false);
  }
  updateButtonState();
}

void TqvCustomFilterControl::MouseEnter(TControl* AControl) {
  inherited::MouseEnter(AControl);
  BeginMouseTracking(this, GetBounds(), this);
}

void TqvCustomFilterControl::MouseLeave(TControl* AControl) {
  inherited::MouseLeave(AControl);
  EndMouseTracking(this);
  FHotInfo.HitKind = fhkNone;
  Refresh();
}

// ---------------------------------------------------------------------------------------------
// Row menu

void TqvCustomFilterControl::ShowRowMenu() {
  if (!HasItems() || !FFocusedInfo.Row) return;
  FEditState = fesRowMenu;
  TMenuItem* items = FMenu->GetItems();
  TMenuItem* separator = items->GetItem(rmiSeparator);
  TMenuItem* remove = items->GetItem(rmiRemove);
  if (FFocusedInfo.Row == FRootRow.get()) {
    const bool hasRows = !FRootRow->Rows.empty();
    separator->SetVisible(hasRows);
    remove->SetVisible(hasRows);
    remove->SetCaption(GetLocalizedResourceString(&sqvFilterControlClearAll));
  } else {
    separator->SetVisible(true);
    remove->SetVisible(true);
    remove->SetCaption(GetLocalizedResourceString(&sqvFilterControlRemoveRow));
  }
  const TRect& button = FFocusedInfo.Row->ButtonRect;
  const TPoint p = ClientToScreen({button.Left, button.Bottom});
  TAliveToken alive = AliveToken();
  TFinally popped([&] {
    if (alive) FEditState = fesNone;
  });
  FMenu->Popup(p.X, p.Y);
}

void TqvCustomFilterControl::MenuItemClick(TObject* Sender) {
  auto* item = As<TMenuItem>(Sender);
  if (!item) return;
  switch (item->GetTag()) {
    case rmiAddCondition: AddCondition(FFocusedInfo.Row); break;
    case rmiAddGroup: AddGroup(); break;
    case rmiRemove:
      if (FFocusedInfo.Row == FRootRow.get())
        Clear();
      else
        RemoveRow();
      break;
    default: break;
  }
}

// ---------------------------------------------------------------------------------------------
// Value editor

void TqvCustomFilterControl::ShowValueEditor(TValueEditorActivation AKind, char AKey) {
  TqvConditionViewInfo* condition = GetFocusedCondition();
  if (!HasItems() || !condition || FFocusedInfo.HitKind != fhkValue) return;
  const Integer index = FFocusedInfo.ValueIndex;
  if (index < 0 || index >= condition->Values->GetCount()) return;
  if (FValueEditor) HideValueEditor(false);
  MakeFocusedVisible();
  FEditState = fesValueEditor;
  TqvCustomEditProperties* source = condition->GetSourceProperties();
  FValueEditor = CreateValueEdit(condition->EditorHelper, source, FInplaceEditList.get());
  if (!FValueEditor) {
    FEditState = fesNone;
    return;
  }
  TqvValueInfo* value = condition->Values->GetValue(index);
  condition->EditorHelper->WriteFilterValue(FValueEditor, source, value->Value);
  SetValueEditorWildcards();
  FValueEditor->SetParent(this);
  FValueEditor->SetStyle(FValueStyle.get());
  FValueEditor->GetStyle()->SetColor(clWindow);
  FValueEditor->SetBoundsRect(value->ValueRect);
  FValueEditor->OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) {
    ValueEditorKeyDown(Sender, Key, Shift);
  };
  FValueEditor->OnExit = [this](TObject* Sender) { ValueEditorExit(Sender); };
  FValueEditor->OnAfterKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) {
    ValueEditorAfterKeyDown(Sender, Key, Shift);
  };
  FValueEditor->SendToBack();
  TqvCustomEditData*& data = condition->GetEditDataRef();
  switch (AKind) {
    case veaByKey: FValueEditor->ActivateByKey(AKey, data); break;
    case veaByMouse:
      FValueEditor->ActivateByMouse(FFocusedInfo.Shift, FFocusedInfo.MousePos.X, FFocusedInfo.MousePos.Y, data);
      break;
    default: FValueEditor->Activate(data); break;
  }
}

void TqvCustomFilterControl::SetValueEditorWildcards() {
  if (TqvConditionViewInfo* condition = GetFocusedCondition())
    SetFilterValueWildcards(FValueEditor, FCriteria.get(), IsLikeOperator(condition->Operator));
}

void TqvCustomFilterControl::HideValueEditor(bool ASave) {
  if (!FValueEditor) {
    if (FEditState == fesValueEditor) FEditState = fesNone;
    return;
  }
  TqvConditionViewInfo* condition = GetFocusedCondition();
  const Integer index = FFocusedInfo.ValueIndex;
  const bool target = condition && index >= 0 && index < condition->Values->GetCount();
  if (ASave && target) {
    if (!FValueEditor->Deactivate()) Abort();
    TqvCustomEditProperties* source = condition->GetSourceProperties();
    Variant value = Null();
    String text;
    condition->EditorHelper->ReadFilterValue(FValueEditor, source, value, text);
    VerifyFilterValue(FValueEditor, value, condition->Operator, condition->ValueTypeClass);
    TqvValueInfo* info = condition->Values->GetValue(index);
    info->Value = value;
    info->ValueText = text;
  }
  // Forgotten before it leaves: its exit handler must not store again.
  TqvCustomEdit* editor = FValueEditor;
  FValueEditor = nullptr;
  FEditState = fesNone;
  editor->OnKeyDown = nullptr;
  editor->OnExit = nullptr;
  editor->OnAfterKeyDown = nullptr;
  const bool hadFocus = editor->Focused();
  editor->SetParent(nullptr);
  if (hadFocus && CanFocus()) SetFocus();
  MakeFocusedVisible();
}

void TqvCustomFilterControl::StoreValueEditor() {
  TqvCustomEdit* editor = FValueEditor;
  TAliveToken editorAlive = editor ? editor->AliveToken() : TAliveToken();
  try {
    HideValueEditor(true);
  } catch (...) {
    if (editor && editorAlive && FValueEditor == editor && editor->CanFocus()) editor->SetFocus();
    throw;
  }
}

void TqvCustomFilterControl::ValueEditorKeyDown(TObject*, Word& Key, TShiftState Shift) {
  switch (Key) {
    case VK_TAB:
      if (!FWantTabs) return;
      StoreValueEditor();
      SetFocus();
      if (Shift & ssShift)
        FocusPrev(true);
      else
        FocusNext(true);
      Key = 0;
      break;
    case VK_RETURN:
      StoreValueEditor();
      SetFocus();
      Key = 0;
      break;
    case VK_ESCAPE:
      HideValueEditor(false);
      SetFocus();
      Key = 0;
      break;
    case VK_INSERT:
      if (!IsCtrlAlone(Shift)) return;
      StoreValueEditor();
      SetFocus();
      AddCondition(FFocusedInfo.Row);
      Key = 0;
      break;
    case VK_DELETE:
      if (!IsCtrlAlone(Shift)) return;
      HideValueEditor(false);
      SetFocus();
      RemoveFocused();
      Key = 0;
      break;
    default:
      break;
  }
}

void TqvCustomFilterControl::ValueEditorExit(TObject* Sender) {
  if (Sender != FValueEditor) return;
  StoreValueEditor();
}

void TqvCustomFilterControl::ValueEditorAfterKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key != VK_UP && Key != VK_DOWN) return;
  StoreValueEditor();
  SetFocus();
  if (Key == VK_UP)
    FocusPrevRow(false);
  else
    FocusNextRow(false);
  Key = 0;
}

// ---------------------------------------------------------------------------------------------
// Commands

void TqvCustomFilterControl::AddCondition(TqvCustomRowViewInfo* ARow) {
  if (!HasItems()) return;
  if (!ARow) ARow = FRowList.back();
  TqvGroupViewInfo* target = As<TqvGroupViewInfo>(ARow);
  if (!target) target = ARow->Parent;
  auto* row = target->Append(MakeOwned<TqvConditionViewInfo>(this, target, nullptr));
  FFocusedInfo.Row = row;
  FFocusedInfo.ValueIndex = -1;
  RebuildRowList();
  FFocusedInfo.HitKind = fhkAddCondition;
  Refresh();
  MakeFocusedVisible();
  FFocusedInfo.HitKind = fhkItem;
  Refresh();
}

void TqvCustomFilterControl::AddGroup() {
  if (!HasItems() || !FFocusedInfo.Row) return;
  TqvGroupViewInfo* target = As<TqvGroupViewInfo>(FFocusedInfo.Row);
  if (!target) target = FFocusedInfo.Row->Parent;
  auto* group = target->Append(MakeOwned<TqvGroupViewInfo>(this, target, nullptr));
  RebuildRowList();
  AddCondition(group);
}

void TqvCustomFilterControl::AddValue() {
  TqvConditionViewInfo* condition = GetFocusedCondition();
  if (!HasItems() || !condition) return;
  condition->Values->AddValue();
  FFocusedInfo.ValueIndex = condition->Values->GetCount() - 1;
  FFocusedInfo.HitKind = fhkValue;
  Refresh();
}

void TqvCustomFilterControl::RemoveFocused() {
  TqvConditionViewInfo* condition = GetFocusedCondition();
  if (condition && FFocusedInfo.HitKind == fhkValue && condition->IsInList() && condition->Values->GetCount() > 1)
    RemoveValue();
  else
    RemoveRow();
}

void TqvCustomFilterControl::RemoveValue() {
  TqvConditionViewInfo* condition = GetFocusedCondition();
  if (!condition) return;
  HideValueEditor(false);
  condition->Values->DeleteValue(FFocusedInfo.ValueIndex);
  if (FFocusedInfo.ValueIndex > 0) --FFocusedInfo.ValueIndex;
  Refresh();
  MakeFocusedVisible();
}

void TqvCustomFilterControl::RemoveRow() {
  TqvCustomRowViewInfo* row = FFocusedInfo.Row;
  if (!row || row == FRootRow.get()) return;
  HideValueEditor(false);
  // The last condition of a group takes the group with it, up to a child of the root.
  while (row->Parent != FRootRow.get() && row->Parent->Rows.size() == 1) row = row->Parent;
  const Integer index = IndexOfRow(row);
  TqvCustomRowViewInfo* previous = index > 0 ? FRowList[size_t(index - 1)] : FRootRow.get();
  FFocusedInfo.Row = previous;
  FFocusedInfo.ValueIndex = -1;
  FFocusedInfo.HitKind = previous->IsGroup() ? fhkBoolOperator : fhkItem;
  FHotInfo.Row = nullptr;
  FHotInfo.HitKind = fhkNone;
  Free(row);
  RebuildRowList();
  Refresh();
  MakeFocusedVisible();
}

// ---------------------------------------------------------------------------------------------
// Drop-down lists

void TqvCustomFilterControl::ShowItemList() { ShowList(fesItemList); }

void TqvCustomFilterControl::ShowOperatorList() { ShowList(fesOperatorList); }

void TqvCustomFilterControl::ShowBoolOperatorList() { ShowList(fesBoolOperatorList); }

void TqvCustomFilterControl::ShowList(TqvFilterRowEditState AState) {
  auto* group = As<TqvGroupViewInfo>(FFocusedInfo.Row);
  auto* condition = As<TqvConditionViewInfo>(FFocusedInfo.Row);
  if (!HasItems() || !FCombo || (AState == fesBoolOperatorList ? !group : !condition)) return;
  TOwned<TStringList> entries = MakeOwned<TStringList>();
  String current;
  TRect element;
  TFont* font = nullptr;
  switch (AState) {
    case fesItemList:
      FillItemList(entries.get());
      current = condition->ItemText;
      element = condition->ItemRect;
      font = GetFontItem();
      break;
    case fesOperatorList:
      FillOperatorList(entries.get());
      current = condition->OperatorText;
      element = condition->OperatorRect;
      font = GetFontCondition();
      break;
    default:
      for (Integer kind = fjkAnd; kind <= fjkNotOr; ++kind)
        entries->AddObject(GetBoolOperatorCaption(TqvFilterJoinKind(kind)),
                           reinterpret_cast<TObject*>(static_cast<intptr_t>(kind)));
      current = group->BoolOperatorText;
      element = group->BoolOperatorRect;
      font = GetFontBoolOperator();
      break;
  }
  if (entries->GetCount() == 0) return;
  HideValueEditor(false);
  FEditState = AState;
  FCombo->GetStyle()->SetFont(font);
  TqvComboBoxProperties* properties = FCombo->GetProperties();
  FComboObjects.clear();
  TStrings* items = properties->GetItems();
  {
    TUpdateScope update(items);
    items->Clear();
    for (Integer i = 0; i < entries->GetCount(); ++i) {
      items->Add(entries->Get(i));
      FComboObjects.push_back(static_cast<Integer>(reinterpret_cast<intptr_t>(entries->GetObject(i))));
    }
  }
  properties->SetDropDownRows(std::min<Integer>(12, entries->GetCount()));
  FCombo->SetBoundsRect(element);
  FCombo->SetVisible(true);
  FCombo->Activate(FComboData);
  FCombo->SetEditValue(current);
  FComboOpenIndex = FCombo->GetItemIndex();
  FCombo->SetDroppedDown(true);
}

void TqvCustomFilterControl::ComboCloseUp() {
  const TqvFilterRowEditState state = FEditState;
  const Integer index = FCombo->GetItemIndex();
  // Closing on the line it opened on, or on none, changes nothing.
  if (index >= 0 && index != FComboOpenIndex && index < static_cast<Integer>(FComboObjects.size()) &&
      IndexOfRow(FFocusedInfo.Row) >= 0) {
    const Integer chosen = FComboObjects[size_t(index)];
    auto* group = As<TqvGroupViewInfo>(FFocusedInfo.Row);
    auto* condition = As<TqvConditionViewInfo>(FFocusedInfo.Row);
    if (state == fesItemList && condition) {
      condition->SetItemIndex(chosen);
      FFocusedInfo.HitKind = fhkOperator;
      if (froIncludes(condition->SupportedOperators, froLike) && condition->ValueTypeClass &&
          condition->ValueTypeClass->IsString())
        condition->Operator = froLike;
    } else if (state == fesBoolOperatorList && group) {
      group->BoolOperator = TqvFilterJoinKind(chosen);
    } else if (state == fesOperatorList && condition) {
      condition->Operator = TqvFilterRowOperator(chosen);
      condition->AdjustValues(true);
      if (condition->HasValues()) {
        FFocusedInfo.HitKind = fhkValue;
        FFocusedInfo.ValueIndex = 0;
      }
    }
  }
  HideCombo();
  Refresh();
  MakeFocusedVisible();
  if (CanFocus()) SetFocus();
}

void TqvCustomFilterControl::HideCombo() {
  if (FEditState == fesItemList || FEditState == fesOperatorList || FEditState == fesBoolOperatorList)
    FEditState = fesNone;
  if (!FCombo || !FCombo->GetVisible()) return;
  FCombo->SetVisible(false);
}
