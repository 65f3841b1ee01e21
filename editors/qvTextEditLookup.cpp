// The lookup data of text editors (incremental search and navigation over the lookup items) and
// the list box of their drop-downs.
#include <algorithm>
#include <array>

#include "editors/qvTextEdit.h"
#include "platform/forms/Forms.h"
#include "platform/os/Gdi.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/SysUtils.h"

QJ_IMPLEMENT_CLASS(TqvCustomEditListBox)
QJ_IMPLEMENT_CLASS(TqvCustomTextEditLookupData)

// ---------------------------------------------------------------------------------------------
// TqvCustomEditListBox

TqvCustomEditListBox::TqvCustomEditListBox(TComponent* AOwner) : TqvCustomInnerListBox(AOwner) {
  SetStyle(lbOwnerDrawVariable);
  SetBorderStyle(bsNone);
}

bool TqvCustomEditListBox::DoDrawItem(Integer, const TRect&, TOwnerDrawState) { return false; }

Integer TqvCustomEditListBox::GetHeight(Integer ARowCount, Integer) { return ARowCount * GetItemHeight(-1); }

String TqvCustomEditListBox::GetItem(Integer AIndex) { return GetItems()->Get(AIndex); }

Integer TqvCustomEditListBox::GetItemHeight(Integer) { return GetStandardItemHeight(); }

Integer TqvCustomEditListBox::GetStandardItemHeight() {
  TCanvas* canvas = GetCanvas();
  canvas->SetFont(GetFont());
  return canvas->TextHeight("Wg");
}

bool TqvCustomEditListBox::IsVisible() { return HandleAllocated() && IsWindowVisible(GetHandle()); }

void TqvCustomEditListBox::SetItemCount(Integer ACount) {
  TStrings* items = GetItems();
  if (items->GetCount() == ACount) return;
  TUpdateScope<TStrings> update(*items);
  items->Clear();
  for (Integer i = 0; i < ACount; ++i) items->Add(String());
}

void TqvCustomEditListBox::SetItemIndex(Integer Value) {
  TqvCustomInnerListBox::SetItemIndex(Value);
  DoSelectionChanged();
}

void TqvCustomEditListBox::Click() {
  TAliveToken alive = AliveToken();
  inherited::Click();
  if (alive) DoSelectionChanged();
}

void TqvCustomEditListBox::DoSelectionChanged() {
  SetScrollBarsParameters();
  if (OnSelectionChanged) OnSelectionChanged(this);
}

void TqvCustomEditListBox::MeasureItem(Integer, Integer& Height) { Height = GetItemHeight(-1); }

void TqvCustomEditListBox::DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) {
  if (DoDrawItem(Index, Rect, State)) return;
  TCanvas* canvas = GetCanvas();
  canvas->FillRect(Rect);
  if (Index < 0 || Index >= GetItems()->GetCount()) return;
  const bool rightToLeft = UseRightToLeftAlignment();
  TRect r = Rect;
  if (rightToLeft)
    r.Right -= 2;
  else
    r.Left += 2;
  String text = GetItem(Index);
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  if (rightToLeft) flags |= DT_RIGHT | DT_RTLREADING;
  canvas->GetBrush()->SetStyle(bsClear);
  ::DrawText(canvas->GetHandle(), text.data(), Integer(text.size()), &r, flags);
  canvas->GetBrush()->SetStyle(bsSolid);
}

void TqvCustomEditListBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseMove(Shift, X, Y);
  if (!alive || !HandleAllocated() || GetCapture() == GetHandle()) return;
  const Integer index = ItemAtPos({X, Y}, true);
  if (index >= 0 && index != GetItemIndex()) SetItemIndex(index);
}

bool TqvCustomEditListBox::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  if (inherited::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (!HandleAllocated()) return false;
  const Integer lines = Mouse ? Mouse->GetWheelScrollLines() : 3;
  LRESULT result = 1;
  for (Integer i = 0; i < lines; ++i)
    result = SendMessage(GetHandle(), WM_VSCROLL, WheelDelta > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
  return result == 0;
}

void TqvCustomEditListBox::Dispatch(TMessage& Message) {
  inherited::Dispatch(Message);
  // The list paints its selection as focused without taking the focus.
  if (Message.Msg == CM_SHOWINGCHANGED && HandleAllocated() && GetShowing()) {
    TMessage focus{WM_SETFOCUS, 0, 0, 0};
    DefaultHandler(focus);
  }
}

// ---------------------------------------------------------------------------------------------
// TqvCustomTextEditLookupData

TqvCustomTextEditLookupData::TqvCustomTextEditLookupData(TPersistent* AOwner)
    : TqvInterfacedPersistent(AOwner), FOwner(As<TqvCustomTextEdit>(AOwner)) {
  FListWatch = MakeOwned<TqvFreeNotificator>(nullptr);
  FListWatch->OnFreeNotification = [this](TComponent* AComponent) {
    if (AComponent == FList) ListDestroyed();
  };
}

TqvCustomTextEditLookupData::~TqvCustomTextEditLookupData() {
  if (FList) {
    FList->OnSelectionChanged = nullptr;
    FListWatch->RemoveFreeNotification(FList);
  }
  FListWatch.reset();
}

TqvCustomTextEditProperties* TqvCustomTextEditLookupData::GetProperties() const {
  return FOwner ? FOwner->GetProperties() : nullptr;
}

String TqvCustomTextEditLookupData::GetItem(Integer AIndex) {
  TqvCustomTextEditProperties* properties = GetProperties();
  return properties ? properties->GetLookupItems()->Get(AIndex) : String();
}

Integer TqvCustomTextEditLookupData::GetItemCount() {
  TqvCustomTextEditProperties* properties = GetProperties();
  return properties ? properties->GetLookupItems()->GetCount() : 0;
}

void TqvCustomTextEditLookupData::ListSelectionChanged(TObject*) {
  if (FList) FItemIndex = FList->GetItemIndex();
}

void TqvCustomTextEditLookupData::ItemsChanged() {
  if (FList) FList->SetItemCount(GetItemCount());
}

bool TqvCustomTextEditLookupData::ContainsText(const String& AText) {
  const String text = AnsiUpperCase(AText);
  for (Integer i = 0, count = GetItemCount(); i < count; ++i)
    if (AnsiUpperCase(GetItem(i)) == text) return true;
  return false;
}

String TqvCustomTextEditLookupData::GetDisplayText(const Variant& AKey) {
  if (VarIsNull(AKey) || VarIsEmpty(AKey)) return String();
  const Integer key = AKey.AsInteger();
  return key >= 0 && key < GetItemCount() ? GetItem(key) : String();
}

bool TqvCustomTextEditLookupData::Locate(String& AText, String& ATail, bool ANext, bool AResetWhenNotFound) {
  const Integer count = GetItemCount();
  if (count == 0) return false;
  const size_t length = AText.size();
  if (length > 0) {
    const String key = AnsiUpperCase(AText);
    // The locale's upper case of every byte, looked up once: the search runs on every keystroke.
    static const std::array<char, 256> upper = [] {
      std::array<char, 256> table{};
      for (Integer c = 0; c < 256; ++c) table[size_t(c)] = AnsiUpperChar(char(c));
      return table;
    }();
    auto startsWithKey = [&](const String& AItem) {
      if (AItem.size() < length) return false;
      for (size_t j = 0; j < length; ++j)
        if (upper[static_cast<unsigned char>(AItem[j])] != key[j]) return false;
      return true;
    };
    for (Integer i = (ANext ? FItemIndex : -1) + 1; i < count; ++i) {
      const String item = GetItem(i);
      if (!startsWithKey(item)) continue;
      AText = item.substr(0, length);
      ATail = item.substr(length);
      SetItemIndex(i);
      return true;
    }
  }
  TqvCustomTextEditProperties* properties = GetProperties();
  const TqvEditEditingStyle style = properties ? properties->GetEditingStyle() : esEdit;
  if (style != esFixedList &&
      (AResetWhenNotFound || (AText.empty() && !ContainsText(String())) || style == esEdit))
    SetItemIndex(-1);
  return false;
}

void TqvCustomTextEditLookupData::SetItemIndex(Integer AIndex) {
  if (AIndex < -1 || AIndex >= GetItemCount()) return;
  FCurrentKey = AIndex;
  SetListItemIndex(AIndex);
}

void TqvCustomTextEditLookupData::SetListItemIndex(Integer AIndex) {
  if (AIndex < -1 || AIndex >= GetItemCount() || AIndex == FItemIndex) return;
  if (FList && GetItemCount() > 0) {
    if (AIndex == -1) FList->SetItemIndex(0);
    FList->SetItemIndex(AIndex);
  }
  FItemIndex = AIndex;
}

void TqvCustomTextEditLookupData::SetCurrentKey(const Variant& AKey) {
  const Integer oldKey = FCurrentKey;
  const Integer key = LookupKeyToIndex(AKey);
  SetItemIndex(key);
  TLockSwitchScope<TqvCustomTextEdit, &TqvCustomTextEdit::SetLookupUpdating> updating(FOwner);
  if (FCurrentKey == oldKey) {
    if (key >= 0 && key < GetItemCount() && FOwner && FOwner->InternalGetText() != GetItem(key)) DoSelectItem();
  } else {
    DoSelectItem();
  }
}

void TqvCustomTextEditLookupData::SelectItem() {
  if (FItemIndex == -1) return;
  const Integer oldKey = FCurrentKey;
  SetCurrentKey(FItemIndex);
  if (FCurrentKey == oldKey) DoSelectItem();
}

void TqvCustomTextEditLookupData::DoSelectItem() {
  if (FOnSelectItem) FOnSelectItem(this);
}

void TqvCustomTextEditLookupData::SynchronizeItemIndex() {
  if (!FOwner) return;
  String text = FOwner->InternalGetText();
  if (AnsiSameText(text, GetDisplayText(FItemIndex))) return;
  String tail;
  Locate(text, tail, false, true);
}

void TqvCustomTextEditLookupData::Go(TqvEditLookupDirection ADirection, bool ACycle) {
  const Integer count = GetItemCount();
  if (count == 0) return;
  const Integer cur = FItemIndex != -1 ? FItemIndex : FCurrentKey;
  TqvCustomTextEditProperties* properties = GetProperties();
  const Integer rows = properties ? properties->GetDropDownRows() : 8;
  Integer target = cur;
  switch (ADirection) {
    case eldFirst: target = 0; break;
    case eldLast: target = count - 1; break;
    case eldNext:
      target = cur + 1;
      if (target == count) target = ACycle ? 0 : cur;
      break;
    case eldPrev:
      target = cur - 1;
      if (target < 0) target = ACycle ? count - 1 : cur;
      break;
    case eldPageUp:
      if (cur == -1) {
        target = ACycle ? count - 1 : -1;
      } else {
        target = cur - rows + 1;
        if (target < 0) target = ACycle && cur == 0 ? count - 1 : 0;
      }
      break;
    case eldPageDown:
      target = cur == -1 ? rows - 1 : cur + rows - 1;
      if (target >= count) target = ACycle ? (cur == count - 1 ? 0 : count - 1) : count - 1;
      break;
  }
  if (FList && FList->IsVisible() && !(properties && properties->GetImmediateUpdateText()))
    SetListItemIndex(target);
  else
    SetCurrentKey(target);
}

void TqvCustomTextEditLookupData::InitializeList(TWinControl* AParent) {
  if (!FList) {
    if (TqvCustomEditListBoxClass listClass = GetListBoxClass()) {
      FList = listClass->Create(FOwner);
      FListWatch->FreeNotification(FList);
    }
  }
  if (!FList) return;
  if (FOwner) {
    TqvCustomEditStyle* style = FOwner->GetStyle();
    FList->SetColor(style->GetColor());
    FList->SetFont(style->GetFont());
    FList->GetCanvas()->SetFont(style->GetFont());
  }
  FList->SetParent(AParent);
  FList->OnSelectionChanged = [this](TObject* Sender) { ListSelectionChanged(Sender); };
  FList->SetItemCount(GetItemCount());
  if (FList->HandleAllocated() || FList->GetParent()) FList->SetItemIndex(FItemIndex);
  FList->UpdateItemHeight();
  SynchronizeItemIndex();
}

bool TqvCustomTextEditLookupData::IsMouseOverList(const TPoint& AScreenPoint) {
  if (!FList || !FList->GetParent()) return false;
  const TPoint p = FList->GetParent()->ScreenToClient(AScreenPoint);
  return FList->GetBoundsRect().Contains(p);
}

void TqvCustomTextEditLookupData::PositionList(const TRect& ABounds) {
  if (FList) FList->SetBoundsRect(ABounds);
}
