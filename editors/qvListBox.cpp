// The list box editor: the framed inner list, its binding, read-only input and integral height.
#include "editors/qvListBox.h"

#include <algorithm>

#include "platform/forms/Forms.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvInnerListBox)
QJ_IMPLEMENT_CLASS(TqvListBox)

namespace {

constexpr Integer kListBoxWidth = 121;
constexpr Integer kListBoxHeight = 97;
// The platform's list box messages, handed on to the inner list box.
constexpr UINT kFirstListBoxMessage = 0x0180, kLastListBoxMessage = 0x01B0;
// Room a horizontal scroll width needs beside the items.
constexpr Integer kScrollWidthMargin = 4;

bool IsNavigationKey(Word Key) { return Key >= VK_PRIOR && Key <= VK_DOWN; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Inner list box

TqvInnerListBox::TqvInnerListBox(TComponent* AOwner) : TqvCustomInnerListBox(AOwner) { SetTabStop(false); }

TqvListBox* TqvInnerListBox::GetListBox() const { return As<TqvListBox>(GetContainer()); }

bool TqvInnerListBox::IsReadOnly() const {
  TqvListBox* list = GetListBox();
  return list && list->GetDataBinding() && !list->GetDataBinding()->CanModify();
}

bool TqvInnerListBox::CanFocus() {
  TqvListBox* list = GetListBox();
  return list ? list->CanFocusEx() : inherited::CanFocus();
}

void TqvInnerListBox::KeyDown(Word& Key, TShiftState Shift) {
  TAliveToken alive = AliveToken();
  if (TqvListBox* list = GetListBox()) list->KeyDown(Key, Shift);
  if (!alive || Key == 0) return;
  if (IsReadOnly() && IsNavigationKey(Key)) {
    Key = 0;
    return;
  }
  TListBox::KeyDown(Key, Shift);
}

void TqvInnerListBox::KeyPress(char& Key) {
  if (IsReadOnly() && static_cast<unsigned char>(Key) >= 32) {
    // The container still hears it (Esc and typing alike go there first).
    TAliveToken alive = AliveToken();
    if (TqvListBox* list = GetListBox()) list->KeyPress(Key);
    if (alive) Key = 0;
    return;
  }
  inherited::KeyPress(Key);
}

void TqvInnerListBox::Click() {
  if (IsReadOnly()) return;
  inherited::Click();
}

void TqvInnerListBox::WndProc(TMessage& Message) {
  if (IsReadOnly() && (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK)) {
    // The selection stays: the click only focuses and reaches the mouse-down handlers.
    if (CanFocus() && !Focused()) SetFocus();
    MouseDown(mbLeft, KeysToShiftState(LOWORD(Message.WParam)), GET_X_LPARAM(Message.LParam),
              GET_Y_LPARAM(Message.LParam));
    return;
  }
  inherited::WndProc(Message);
}

void TqvInnerListBox::CreateWnd() {
  inherited::CreateWnd();
  SetScrollBarsParameters();
}

bool TqvInnerListBox::ExecuteAction(TBasicAction* Action) {
  if (inherited::ExecuteAction(Action)) return true;
  TqvListBox* list = GetListBox();
  return list && list->GetDataBinding()->ExecuteAction(Action);
}

bool TqvInnerListBox::UpdateAction(TBasicAction* Action) {
  if (inherited::UpdateAction(Action)) return true;
  TqvListBox* list = GetListBox();
  return list && list->GetDataBinding()->UpdateAction(Action);
}

// ---------------------------------------------------------------------------------------------
// List box

TqvListBox::TqvListBox(TComponent* AOwner) : TqvContainer(AOwner) {}

void TqvListBox::AfterConstruction() {
  inherited::AfterConstruction();
  FDataBinding.reset(GetDataBindingClass()->Create(this, nullptr));
  FDataBinding->OnDataChange = [this](TObject*) { DataChange(); };
  FDataBinding->OnDataSetChange = [this](TObject*) { DataSetChange(); };
  FDataBinding->OnUpdateData = [this](TObject*) { UpdateData(); };
  FInnerListBox = New<TqvInnerListBox>(this);
  FInnerListBox->SetContainer(this);
  FInnerListBox->SetParent(this);
  FInnerListBox->GetLookAndFeel()->SetMasterLookAndFeel(GetStyle()->GetLookAndFeel());
  SetInnerControl(FInnerListBox);
  SetBounds(GetLeft(), GetTop(), kListBoxWidth, kListBoxHeight);
}

TqvListBox::~TqvListBox() {
  FreeAndNil(FInnerListBox);
  FDataBinding.reset();
}

TqvCustomDataBindingClass TqvListBox::GetDataBindingClass() const { return &TqvDataBinding::StaticClass(); }

bool TqvListBox::IsInternalControl(TControl* AControl) const {
  if (FInnerListBox && AControl &&
      (AControl == FInnerListBox->GetHScrollBar() || AControl == FInnerListBox->GetVScrollBar()))
    return true;
  return inherited::IsInternalControl(AControl);
}

// -- Forwarded settings

void TqvListBox::SetColumns(Integer Value) {
  FInnerListBox->SetColumns(Value);
  FInnerListBox->SetScrollBarsParameters();
}

void TqvListBox::SetItemHeight(Integer Value) {
  FInnerListBox->SetItemHeight(Value);
  SetInnerControlBounds();
}

void TqvListBox::SetItems(TStrings* Value) {
  FInnerListBox->SetItems(Value);
  FDataBinding->DataChanged();
}

void TqvListBox::SetListStyle(TListBoxStyle Value) {
  FInnerListBox->SetStyle(Value);
  SetInnerControlBounds();
}

void TqvListBox::SetScrollWidth(Integer Value) {
  FInnerListBox->SetScrollWidth(Value);
  SetInnerControlBounds();
}

// -- Binding

void TqvListBox::DataChange() {
  if (!FDataBinding->IsDataAvailable()) {
    SetItemIndex(-1);
    return;
  }
  SetItemIndex(GetItems()->IndexOf(VarToStr(FDataBinding->GetStoredValue())));
}

void TqvListBox::UpdateData() {
  const Integer index = GetItemIndex();
  FDataBinding->StoreValue(index >= 0 ? GetItems()->Get(index) : String());
}

void TqvListBox::KeyPress(char& Key) {
  inherited::KeyPress(Key);
  if (Key == char(VK_ESCAPE)) FDataBinding->Reset();
}

void TqvListBox::DoExit() {
  if (IsDestroying() || FExiting) return;
  TValueScope exiting(FExiting, true, AliveToken());
  try {
    FDataBinding->UpdateDataSource();
  } catch (...) {
    SetFocus();
    throw;
  }
  inherited::DoExit();
}

bool TqvListBox::ExecuteAction(TBasicAction* Action) {
  return inherited::ExecuteAction(Action) || FDataBinding->ExecuteAction(Action);
}

bool TqvListBox::UpdateAction(TBasicAction* Action) {
  return inherited::UpdateAction(Action) || FDataBinding->UpdateAction(Action);
}

// -- Owner drawing

void TqvListBox::SetOnDrawItem(TqvListBoxDrawItemEvent Value) {
  FOnDrawItem = std::move(Value);
  if (!FOnDrawItem) {
    FInnerListBox->OnDrawItem = nullptr;
    return;
  }
  FInnerListBox->OnDrawItem = [this](TWinControl*, Integer Index, TRect Rect, TOwnerDrawState State) {
    if (FOnDrawItem) FOnDrawItem(this, FInnerListBox->GetQVCanvas(), Index, Rect, State);
  };
}

void TqvListBox::SetOnMeasureItem(TqvListBoxMeasureItemEvent Value) {
  FOnMeasureItem = std::move(Value);
  if (!FOnMeasureItem) {
    FInnerListBox->OnMeasureItem = nullptr;
    return;
  }
  FInnerListBox->OnMeasureItem = [this](TWinControl*, Integer Index, Integer& Height) {
    if (FOnMeasureItem) FOnMeasureItem(this, Index, Height);
  };
}

// -- Integral height

void TqvListBox::SetIntegralHeight(bool Value) {
  if (Value == FIntegralHeight) return;
  FIntegralHeight = Value;
  SetInnerControlBounds();
}

bool TqvListBox::IsIntegralHeightApplied() const {
  const TAlign align = GetAlign();
  return FIntegralHeight && !HasState(csLoading) && align != alLeft && align != alRight && align != alClient;
}

Integer TqvListBox::GetRowHeight(Integer AIndex) {
  Integer height = 0;
  switch (GetListStyle()) {
    case lbOwnerDrawFixed:
    case lbVirtualOwnerDraw: height = GetItemHeight(); break;
    case lbOwnerDrawVariable:
      height = GetItemHeight();
      if (FInnerListBox->OnMeasureItem && AIndex < FInnerListBox->GetCount())
        FInnerListBox->OnMeasureItem(FInnerListBox, AIndex, height);
      break;
    case lbStandard:
    case lbVirtual: height = GetCanvas()->FontHeight(GetFont()); break;
  }
  // A row of no height would never make the list taller.
  return std::max(height, 1);
}

void TqvListBox::AdjustIntegralHeight(Integer& AHeight) {
  TRect extent;
  GetBorderExtent(extent);
  const Integer vbar = GetSystemMetrics(SM_CXVSCROLL), hbar = GetSystemMetrics(SM_CYHSCROLL);
  const Integer scrollWidth = GetScrollWidth() > 0 ? GetScrollWidth() + kScrollWidthMargin : 0;
  const Integer count = FInnerListBox->GetCount();
  auto withBars = [&](Integer total, bool AVerticalBar) {
    const Integer width = GetWidth() - extent.Left - extent.Right - (AVerticalBar ? vbar : 0);
    return width < scrollWidth ? total + hbar : total;
  };
  Integer total = extent.Top + extent.Bottom;
  Integer index = 0;
  Integer candidate = 0;
  while (true) {
    total += GetRowHeight(index);
    candidate = withBars(total, index + 1 < count);
    if (candidate == AHeight) return;
    if (candidate > AHeight) break;
    ++index;
  }
  if (index > 0) {
    total -= GetRowHeight(index);
    candidate = withBars(total, index < count);
  }
  AHeight = candidate;
}

bool TqvListBox::CanResize(Integer& NewWidth, Integer& NewHeight) {
  const bool result = inherited::CanResize(NewWidth, NewHeight);
  if (result && IsIntegralHeightApplied()) AdjustIntegralHeight(NewHeight);
  return result;
}

void TqvListBox::PurgeInnerMouseMoves() {
  if (!FInnerListBox->HandleAllocated()) return;
  MSG msg;
  while (PeekMessage(&msg, FInnerListBox->GetHandle(), WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
  }
}

void TqvListBox::SetInnerControlBounds() {
  if (HasState(csLoading) || !FInnerListBox) return;
  const TRect before = FInnerListBox->GetBoundsRect();
  if (IsIntegralHeightApplied()) {
    Integer height = GetHeight();
    AdjustIntegralHeight(height);
    SetHeight(height);
  }
  inherited::SetInnerControlBounds();
  if (FInnerListBox->GetBoundsRect() != before) PurgeInnerMouseMoves();
}

// -- Messages

void TqvListBox::WndProc(TMessage& Message) {
  if (Message.Msg >= kFirstListBoxMessage && Message.Msg <= kLastListBoxMessage && FInnerListBox) {
    Message.Result = SendMessage(FInnerListBox->GetHandle(), Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  inherited::WndProc(Message);
}

void TqvListBox::Dispatch(TMessage& Message) {
  TAliveToken alive = AliveToken();
  inherited::Dispatch(Message);
  if (alive && Message.Msg == WM_COMMAND && HIWORD(Message.WParam) == LBN_SELCHANGE && FInnerListBox)
    FInnerListBox->SetScrollBarsParameters();
}
