// The combo box: its list, lookup data, properties, popup window and control.
#include "editors/qvComboBox.h"

#include <algorithm>

#include "platform/forms/Forms.h"
#include "platform/os/Windows.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvComboBoxListBox)
QJ_IMPLEMENT_CLASS(TqvComboBoxLookupData)
QJ_IMPLEMENT_CLASS(TqvCustomComboBoxProperties)
QJ_IMPLEMENT_CLASS(TqvComboBoxProperties)
QJ_IMPLEMENT_CLASS(TqvCustomComboBoxViewData)
QJ_IMPLEMENT_CLASS(TqvComboBoxPopupWindow)
QJ_IMPLEMENT_CLASS(TqvCustomComboBoxInnerEdit)
QJ_IMPLEMENT_CLASS(TqvCustomComboBox)
QJ_IMPLEMENT_CLASS(TqvComboBox)
QJ_IMPLEMENT_CLASS(TqvEditRepositoryComboBoxItem)

namespace {

const TqvEditKindRegistration ComboBoxRegistration(&TqvComboBoxProperties::StaticClass(),
                                                   &sqvEditDisplayTextComboBox);

}  // namespace

// ---------------------------------------------------------------------------------------------
// List box

TqvComboBoxListBox::TqvComboBoxListBox(TComponent* AOwner) : TqvCustomEditListBox(AOwner) {}

TqvCustomComboBox* TqvComboBoxListBox::GetEdit() { return As<TqvCustomComboBox>(GetOwner()); }

bool TqvComboBoxListBox::DoDrawItem(Integer AIndex, const TRect& ARect, TOwnerDrawState AState) {
  TqvCustomComboBox* edit = GetEdit();
  if (!edit || !edit->GetProperties()->OnDrawItem) return inherited::DoDrawItem(AIndex, ARect, AState);
  edit->GetProperties()->OnDrawItem(edit, GetQVCanvas(), AIndex, ARect, AState);
  return true;
}

Integer TqvComboBoxListBox::GetHeight(Integer ARowCount, Integer) {
  Integer height = 0;
  for (Integer i = 0; i < ARowCount; ++i) height += GetItemHeight(i);
  return height;
}

String TqvComboBoxListBox::GetItem(Integer AIndex) {
  TqvCustomComboBox* edit = GetEdit();
  return edit && edit->GetLookupData() ? edit->GetLookupData()->GetItem(AIndex) : inherited::GetItem(AIndex);
}

Integer TqvComboBoxListBox::GetItemHeight(Integer AIndex) {
  TqvCustomComboBox* edit = GetEdit();
  if (!edit) return inherited::GetItemHeight(AIndex);
  TqvCustomComboBoxProperties* properties = edit->GetProperties();
  Integer height = properties->GetItemHeight() >= 1 ? properties->GetItemHeight() : GetStandardItemHeight();
  if (AIndex >= 0 && properties->OnMeasureItem) properties->OnMeasureItem(edit, AIndex, GetQVCanvas(), height);
  return height;
}

void TqvComboBoxListBox::MeasureItem(Integer Index, Integer& Height) { Height = GetItemHeight(Index); }

void TqvComboBoxListBox::UpdateItemHeight() {
  TqvCustomComboBox* edit = GetEdit();
  if (!edit) return;
  const bool measured = bool(edit->GetProperties()->OnMeasureItem);
  const Integer standard = measured ? 0 : GetItemHeight(-1);
  const bool recreate = FIsFirstWindow ? measured : (measured || measured != FMeasured || standard != FStandardHeight);
  if (recreate && HandleAllocated()) RecreateWnd();
  FIsFirstWindow = false;
  FMeasured = measured;
  if (!measured) FStandardHeight = standard;
}

void TqvComboBoxListBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  if (TqvCustomComboBox* edit = GetEdit(); edit && edit->GetIgnoreListMouseMove()) {
    edit->SetIgnoreListMouseMove(false);
    return;
  }
  inherited::MouseMove(Shift, X, Y);
}

void TqvComboBoxListBox::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseUp(Button, Shift, X, Y);
  if (!alive || Button != mbLeft) return;
  const Integer index = ItemAtPos({X, Y}, true);
  if (index < 0) return;
  if (HandleAllocated() && GetCapture() == GetHandle()) ReleaseCapture();
  SetItemIndex(index);
  if (TqvCustomComboBox* edit = alive ? GetEdit() : nullptr) edit->CloseUp(true);
}

// ---------------------------------------------------------------------------------------------
// Lookup data

void TqvComboBoxLookupData::GetListPreferredSize(Integer AMaxHeight, Integer AWidth, TSize& ASize) {
  TqvCustomEditListBox* list = GetListBox();
  ASize = TSize{};
  if (!list) return;
  const Integer count = GetItemCount();
  const Integer rows = std::min(count, GetProperties()->GetDropDownRows());
  ASize.cy = list->GetHeight(rows, AMaxHeight);
  TCanvas* canvas = list->GetCanvas();
  canvas->SetFont(list->GetFont());
  Integer width = 0;
  for (Integer i = 0; i < count; ++i) width = std::max(width, canvas->TextWidth(GetItem(i)));
  ASize.cx = width + 4;
  list->SetScrollWidth(0);
  list->SetScrollWidth(ASize.cx);
  if (count > GetProperties()->GetDropDownRows()) ASize.cx += GetSystemMetrics(SM_CXVSCROLL);
  if (AWidth > 0 && ASize.cx > AWidth) ASize.cy += GetSystemMetrics(SM_CYHSCROLL);
}

bool TqvComboBoxLookupData::CanResizeList(TSize& ASize) {
  TqvCustomEditListBox* list = GetListBox();
  if (!list) return true;
  const Integer listHeight = list->TControl::GetHeight();
  if (ASize.cx == list->GetWidth() && ASize.cy == listHeight) return true;
  const Integer count = GetItemCount();
  const Integer v = GetSystemMetrics(SM_CXVSCROLL), h = GetSystemMetrics(SM_CYHSCROLL);
  const Integer scrollWidth = list->GetScrollWidth();
  Integer sum = 0, candidate = 0;
  bool more = false;
  auto withScrollBar = [&](Integer ASum, bool AMore) {
    const Integer width = ASize.cx - (AMore ? v : 0);
    return scrollWidth > width ? ASum + h : ASum;
  };
  for (Integer i = 0; i < count; ++i) {
    const Integer itemHeight = list->GetItemHeight(i);
    sum += itemHeight;
    more = i + 1 < count;
    candidate = withScrollBar(sum, more);
    if (candidate == ASize.cy) break;
    if (candidate > ASize.cy) {
      if (ASize.cy >= listHeight && i > 0) {
        sum -= itemHeight;
        more = i < count;
        candidate = withScrollBar(sum, more);
      }
      break;
    }
    if (ASize.cy < listHeight) break;
  }
  ASize.cy = candidate;
  const Integer minWidth = (more ? v : 0) + (candidate > sum ? v : 0);
  ASize.cx = std::max(ASize.cx, minWidth);
  return true;
}

void TqvComboBoxLookupData::InitializeList(TWinControl* AParent) {
  inherited::InitializeList(AParent);
  auto* edit = As<TqvCustomDropDownEdit>(GetOwnerEdit());
  if (GetListBox() && edit && edit->GetPopupControlsLookAndFeel())
    GetListBox()->GetLookAndFeel()->SetMasterLookAndFeel(edit->GetPopupControlsLookAndFeel());
}

void TqvComboBoxLookupData::ItemsChanged() {
  if (GetItemCount() == 0) SetItemIndex(-1);
  inherited::ItemsChanged();
}

// ---------------------------------------------------------------------------------------------
// Properties

TqvCustomEditClass TqvCustomComboBoxProperties::ContainerClass() { return &TqvComboBox::StaticClass(); }
TqvCustomEditClass TqvComboBoxProperties::ContainerClass() { return &TqvComboBox::StaticClass(); }

TqvCustomTextEditLookupDataClass TqvCustomComboBoxProperties::LookupDataClass() {
  return &TqvComboBoxLookupData::StaticClass();
}

TqvCustomEditViewDataClass TqvCustomComboBoxProperties::ViewDataClass() {
  return &TqvCustomComboBoxViewData::StaticClass();
}

TqvCustomEditPopupWindowClass TqvCustomComboBoxProperties::GetPopupWindowClass() const {
  return &TqvComboBoxPopupWindow::StaticClass();
}

TqvEditEditingStyle TqvCustomComboBoxProperties::GetEditingStyle() const {
  switch (FDropDownListStyle) {
    case lsEditFixedList: return esEditList;
    case lsEditList: return esEdit;
    case lsFixedList: return esFixedList;
  }
  return esEdit;
}

void TqvCustomComboBoxProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomComboBoxProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  SetDropDownListStyle(source->FDropDownListStyle);
  SetDropDownRows(source->FDropDownRows);
  SetItemHeight(source->FItemHeight);
  FRevertable = source->FRevertable;
  OnDrawItem = source->OnDrawItem;
  OnMeasureItem = source->OnMeasureItem;
}

void TqvCustomComboBoxProperties::SetDropDownListStyle(TqvEditDropDownListStyle Value) {
  if (Value == FDropDownListStyle) return;
  FDropDownListStyle = Value;
  Changed();
}

void TqvCustomComboBoxProperties::SetDropDownRows(Integer Value) {
  if (Value < 1 || Value == FDropDownRows) return;
  FDropDownRows = Value;
  Changed();
}

void TqvCustomComboBoxProperties::SetItemHeight(Integer Value) {
  if (Value == FItemHeight) return;
  FItemHeight = Value;
  Changed();
}

// ---------------------------------------------------------------------------------------------
// Popup window

void TqvComboBoxPopupWindow::CalculateSize() {
  TqvCustomDropDownEdit* edit = GetEdit();
  const TSizeInputs in = GetSizeInputs();
  const TRect& e = in.Extent;
  const bool keepUserSize = GetSizeable() && edit && edit->GetPopupSizeChanged();
  const TRect client = GetViewInfo()->ClientRect;
  Integer width;
  if (keepUserSize)
    width = client.Width() + e.Left + e.Right;
  else if (GetPopupAutoSize())
    width = std::max(in.Content.cx + e.Left + e.Right, in.Owner.Width());
  else
    width = GetPopupWidth() > 0 ? GetPopupWidth() : in.Owner.Width();
  Integer height;
  if (keepUserSize)
    height = client.Height() + e.Top + e.Bottom;
  else if (GetPopupHeight() != 0 && (GetSizeable() || !GetPopupAutoSize()))
    height = GetPopupHeight();
  else
    height = in.Content.cy + e.Top + e.Bottom;
  SetPopupSize(width, height, in);
}

// ---------------------------------------------------------------------------------------------
// Inner edit

void TqvCustomComboBoxInnerEdit::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_LBUTTONUP) SetControlState(GetControlState() & ~TControlState(csClicked));
  inherited::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// Combo box

TqvCustomComboBox::TqvCustomComboBox(TComponent* AOwner, bool AIsInplace) : TqvCustomDropDownEdit(AOwner, AIsInplace) {
  SetControlStyle(GetControlStyle() & ~csClickEvents);
}

TqvCustomEditPropertiesClass TqvCustomComboBox::PropertiesClass() { return &TqvCustomComboBoxProperties::StaticClass(); }
TqvCustomEditPropertiesClass TqvComboBox::PropertiesClass() { return &TqvComboBoxProperties::StaticClass(); }

TqvInnerEditClass TqvCustomComboBox::GetInnerEditClass() const { return &TqvCustomComboBoxInnerEdit::StaticClass(); }

Integer TqvCustomComboBox::GetItemIndex() {
  TqvCustomTextEditLookupData* lookup = GetLookupData();
  if (!lookup) return -1;
  return LookupKeyToIndex(lookup->GetCurrentKey());
}

void TqvCustomComboBox::SetItemIndex(Integer Value) {
  TqvCustomTextEditLookupData* lookup = GetLookupData();
  if (!lookup) return;
  TAliveToken alive = AliveToken();
  const Integer before = GetItemIndex();
  {
    TLockSwitchScope<TqvCustomTextEdit, &TqvCustomTextEdit::LockClick> clickLock(this);
    lookup->SetCurrentKey(Variant(Value));
  }
  if (!alive || GetItemIndex() == before) return;
  SetEditModified(false);
  Click();
}

void TqvCustomComboBox::ResetPopupHeight() {
  if (IsInplace() && GetProperties()->GetDropDownSizeable()) {
    if (TqvCustomDropDownEditData* data = GetDropDownEditData()) data->Height = 0;
  } else {
    GetProperties()->SetPopupHeight(0);
  }
}

bool TqvCustomComboBox::CanDropDown() { return !GetLookupData() || !GetLookupData()->IsEmpty(); }

void TqvCustomComboBox::CalculatePopupContentSize(TSize& ASize) {
  TqvCustomEditPopupWindow* popup = GetPopupWindow();
  IqvTextEditLookupData* lookup = GetILookupData();
  ASize = TSize{};
  if (!popup || !lookup) return;
  TRect e;
  popup->GetViewInfo()->GetClientExtent(e);
  const TRect owner = popup->GetPopupOwnerRect();
  const TRect workAbove = GetMonitorWorkArea(owner);
  Integer above = owner.Top - workAbove.Top - e.Top - e.Bottom;
  if (popup->GetShadow()) above += 3;
  const TRect workBelow = GetMonitorWorkArea(Rect(owner.Left, owner.Bottom, owner.Left, owner.Bottom));
  const Integer below = workBelow.Bottom - owner.Bottom - e.Top - e.Bottom;
  const Integer maxHeight = std::max(above, below);
  TqvCustomComboBoxProperties* properties = GetProperties();
  Integer fixedWidth = 0;
  if (!properties->GetDropDownSizeable() && !properties->GetDropDownAutoWidth())
    fixedWidth = properties->GetDropDownWidth() >= 1 ? properties->GetDropDownWidth() - e.Left - e.Right
                                                     : owner.Width() - e.Left - e.Right;
  lookup->GetListPreferredSize(maxHeight, fixedWidth, ASize);
}

void TqvCustomComboBox::InitPopupWindow() {
  inherited::InitPopupWindow();
  GetPopupWindow()->SetSysPanelStyle(GetProperties()->GetDropDownSizeable());
}

void TqvCustomComboBox::PopupWindowShowed(TObject* Sender) {
  TAliveToken alive = AliveToken();
  inherited::PopupWindowShowed(Sender);
  if (!alive) return;
  IqvTextEditLookupData* lookup = GetILookupData();
  if (lookup && lookup->GetList() && lookup->IsMouseOverList(GetCursorScreenPos())) FIgnoreListMouseMove = true;
}

void TqvCustomComboBox::Activate(TqvCustomEditData*& AEditData) {
  TAliveToken alive = AliveToken();
  inherited::Activate(AEditData);
  if (alive && GetILookupData()) GetILookupData()->SynchronizeItemIndex();
}

void TqvCustomComboBox::InnerEditChange(TObject* Sender) {
  TqvCustomTextEditLookupData* lookup = GetLookupData();
  if (!lookup) {
    inherited::InnerEditChange(Sender);
    return;
  }
  TAliveToken alive = AliveToken();
  const Variant savedKey = lookup->GetCurrentKey();
  {
    TLockSwitchScope<TqvCustomTextEdit, &TqvCustomTextEdit::LockClick> clickLock(this);
    inherited::InnerEditChange(Sender);
    if (!alive) return;
    const TqvEditEditingStyle style = GetProperties()->GetEditingStyle();
    if (!IsLookupUpdating() && (HasPopupWindow() || style == esEditList || style == esFixedList))
      lookup->SynchronizeItemIndex();
  }
  if (alive && !VarEqualsExact(lookup->GetCurrentKey(), savedKey)) ModifiedByLookup();
}

void TqvCustomComboBox::SynchronizeLookupItem() {
  TqvCustomTextEditLookupData* lookup = GetLookupData();
  if (!lookup) return;
  TAliveToken alive = AliveToken();
  TModifiedStateScope modified(this);
  const Variant savedKey = lookup->GetCurrentKey();
  {
    TLockSwitchScope<TqvCustomTextEdit, &TqvCustomTextEdit::LockClick> clickLock(this);
    lookup->SynchronizeItemIndex();
  }
  if (alive && !VarEqualsExact(lookup->GetCurrentKey(), savedKey)) {
    SetModifiedAfterEnter(true);
    if (!IsClickLocked()) Click();
  }
}

void TqvCustomComboBox::DblClick() {
  TAliveToken alive = AliveToken();
  inherited::DblClick();
  if (!alive) return;
  TqvCustomTextEditLookupData* lookup = GetLookupData();
  if (!lookup || HasPopupWindow() || !GetProperties()->GetRevertable()) return;
  TChangeEventsScope locked(this);
  const Variant savedKey = lookup->GetCurrentKey();
  lookup->Go(eldNext, true);
  if (!alive || VarEqualsExact(lookup->GetCurrentKey(), savedKey)) return;
  PostByLookup();
}

void TqvCustomComboBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseMove(Shift, X, Y);
  if (!alive || !HandleAllocated() || GetCapture() != GetHandle() || !HasPopupWindow()) return;
  IqvTextEditLookupData* lookup = GetILookupData();
  TWinControl* list = lookup ? lookup->GetList() : nullptr;
  if (!list || !list->HandleAllocated()) return;
  const TPoint screen = ClientToScreen({X, Y});
  TqvCustomEditPopupWindow* popup = GetPopupWindow();
  if (!popup->GetViewInfo()->ClientRect.Contains(popup->ScreenToClient(screen)) || !lookup->IsMouseOverList(screen))
    return;
  // The list takes over the drag: press on the edit, move into the list, release on an item.
  const TPoint p = list->ScreenToClient(screen);
  ReleaseCapture();
  SendMessage(list->GetHandle(), WM_LBUTTONDOWN, 0, (static_cast<LPARAM>(static_cast<Word>(p.Y)) << 16) | static_cast<Word>(p.X));
}

void TqvCustomComboBox::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_LBUTTONUP) SetControlState(GetControlState() & ~TControlState(csClicked));
  inherited::Dispatch(Message);
}
