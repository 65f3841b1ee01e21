// TCustomListBox over the "LISTBOX" window class; its items as a TStrings.
#include <algorithm>

#include "platform/forms/StdCtrls.h"
#include "platform/os/Gdi.h"
#include "platform/rtl/ClassesConsts.h"

QJ_IMPLEMENT_CLASS(TCustomListBox)
QJ_IMPLEMENT_CLASS(TListBox)

namespace {

// Half a second between keys starts a new type-ahead search.
constexpr DWORD kAutoCompletePause = 500;

bool HasFixedOwnerHeight(TListBoxStyle Style) {
  return Style == lbOwnerDrawFixed || Style == lbVirtual || Style == lbVirtualOwnerDraw;
}

DWORD ListStyle(TListBoxStyle Style) {
  switch (Style) {
    case lbOwnerDrawFixed: return LBS_OWNERDRAWFIXED;
    case lbOwnerDrawVariable: return LBS_OWNERDRAWVARIABLE;
    case lbVirtual:
    case lbVirtualOwnerDraw: return LBS_OWNERDRAWFIXED | LBS_NODATA;
    default: return 0;
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The items: the window's strings and item data while there is a window, a string list before.

class TListBoxStrings : public TStrings {
  QJ_INLINE_CLASS(TListBoxStrings, TStrings)
 public:
  explicit TListBoxStrings(TCustomListBox* ListBox) : FListBox(ListBox) {}

  Integer GetCount() const override {
    if (FListBox->IsVirtual()) return FListBox->FCount;
    if (!FListBox->HandleAllocated()) return Saved()->GetCount();
    return static_cast<Integer>(Send(LB_GETCOUNT, 0, 0));
  }

  String Get(Integer Index) const override {
    CheckIndex(Index);
    if (FListBox->IsVirtual()) return FListBox->DoGetData(Index);
    if (!FListBox->HandleAllocated()) return Saved()->Get(Index);
    auto length = static_cast<size_t>(std::max<LRESULT>(0, Send(LB_GETTEXTLEN, static_cast<WPARAM>(Index), 0)));
    String text(length + 1, '\0');
    Send(LB_GETTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
  }

  TObject* GetObject(Integer Index) const override {
    CheckIndex(Index);
    if (FListBox->IsVirtual()) return FListBox->DoGetDataObject(Index);
    if (!FListBox->HandleAllocated()) return Saved()->GetObject(Index);
    return reinterpret_cast<TObject*>(Send(LB_GETITEMDATA, static_cast<WPARAM>(Index), 0));
  }

  void PutObject(Integer Index, TObject* AObject) override {
    CheckIndex(Index);
    if (FListBox->IsVirtual()) return;
    if (!FListBox->HandleAllocated()) {
      Saved()->PutObject(Index, AObject);
      return;
    }
    Send(LB_SETITEMDATA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(AObject));
  }

  void Put(Integer Index, const String& S) override {
    CheckIndex(Index);
    if (FListBox->IsVirtual()) return;
    Integer selected = FListBox->GetItemIndex();
    TObject* object = GetObject(Index);
    Delete(Index);
    InsertObject(Index, S, object);
    if (selected >= 0 && selected < GetCount()) FListBox->SetItemIndex(selected);
  }

  Integer Add(const String& S) override {
    if (FListBox->IsVirtual()) return -1;
    if (!FListBox->HandleAllocated()) return Saved()->Add(S);
    LRESULT index = Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(S.c_str()));
    if (index < 0) throw EListError(&SListIndexError, {GetCount()});
    return static_cast<Integer>(index);
  }

  void Insert(Integer Index, const String& S) override {
    if (FListBox->IsVirtual()) return;
    if (Index < 0 || Index > GetCount()) Error(&SListIndexError, Index);
    if (!FListBox->HandleAllocated()) {
      if (Saved()->GetSorted())
        Saved()->Add(S);
      else
        Saved()->Insert(Index, S);
      return;
    }
    if (Send(LB_INSERTSTRING, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.c_str())) < 0)
      throw EListError(&SListIndexError, {Index});
  }

  void Delete(Integer Index) override {
    CheckIndex(Index);
    if (FListBox->IsVirtual()) return;
    if (!FListBox->HandleAllocated()) {
      Saved()->Delete(Index);
      return;
    }
    Send(LB_DELETESTRING, static_cast<WPARAM>(Index), 0);
  }

  void Clear() override {
    if (FListBox->IsVirtual()) {
      FListBox->SetCount(0);
      return;
    }
    if (!FListBox->HandleAllocated()) {
      Saved()->Clear();
      return;
    }
    Send(LB_RESETCONTENT, 0, 0);
  }

  Integer IndexOf(const String& S) const override {
    if (FListBox->IsVirtual()) return FListBox->DoFindData(S);
    if (!FListBox->HandleAllocated()) return Saved()->IndexOf(S);
    LRESULT index = Send(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(S.c_str()));
    return index < 0 ? -1 : static_cast<Integer>(index);
  }

 protected:
  void SetUpdateState(bool Updating) override {
    if (!FListBox->HandleAllocated()) return;
    Send(WM_SETREDRAW, !Updating, 0);
    if (!Updating) FListBox->Invalidate();
  }

 private:
  LRESULT Send(UINT Msg, WPARAM W, LPARAM L) const { return SendMessage(FListBox->GetHandle(), Msg, W, L); }
  TStringList* Saved() const { return FListBox->FSaveItems.get(); }
  void CheckIndex(Integer Index) const {
    if (Index < 0 || Index >= GetCount()) Error(&SListIndexError, Index);
  }

  TCustomListBox* FListBox;
};

// ---------------------------------------------------------------------------------------------
// TCustomListBox

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner),
      FItems(MakeOwned<TListBoxStrings>(this)),
      FSaveItems(MakeOwned<TStringList>()),
      FCanvas(MakeOwned<TControlCanvas>()) {
  FControlStyle = csSetCaption | csDoubleClicks | csOpaque;
  FCanvas->SetControl(this);
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

TCustomListBox::~TCustomListBox() { FCanvas->FreeHandle(); }

void TCustomListBox::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "LISTBOX");
  Params.Style |= WS_HSCROLL | WS_VSCROLL | LBS_NOTIFY | ListStyle(FStyle);
  if (!IsVirtual()) Params.Style |= LBS_HASSTRINGS;
  if (FSorted && !IsVirtual()) Params.Style |= LBS_SORT;
  if (FMultiSelect) Params.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  if (!FIntegralHeight) Params.Style |= LBS_NOINTEGRALHEIGHT;
  if (FTabWidth != 0) Params.Style |= LBS_USETABSTOPS;
  if (FColumns > 0) Params.Style |= LBS_MULTICOLUMN;
  if (FBorderStyle == bsSingle) {
    if (GetCtl3D())
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
}

void TCustomListBox::CreateWnd() {
  inherited::CreateWnd();
  if (HasFixedOwnerHeight(FStyle)) SendMessage(FHandle, LB_SETITEMHEIGHT, 0, FItemHeight);
  if (FTabWidth != 0) {
    int stops = FTabWidth;
    SendMessage(FHandle, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stops));
  }
  UpdateColumnWidth();
  SendMessage(FHandle, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(FScrollWidth), 0);
  if (IsVirtual()) {
    SendMessage(FHandle, LB_SETCOUNT, static_cast<WPARAM>(FCount), 0);
  } else {
    auto saved = std::move(FSaveItems);
    FSaveItems = MakeOwned<TStringList>();
    for (Integer i = 0; i < saved->GetCount(); ++i) {
      LRESULT index = SendMessage(FHandle, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(saved->Get(i).c_str()));
      if (index >= 0) SendMessage(FHandle, LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(saved->GetObject(i)));
    }
  }
  if (FMultiSelect) {
    for (size_t i = 0; i < FSaveSelection.size(); ++i)
      if (FSaveSelection[i]) SendMessage(FHandle, LB_SETSEL, TRUE, static_cast<LPARAM>(i));
  }
  if (FSaveItemIndex >= 0) SetItemIndex(FSaveItemIndex);
  SendMessage(FHandle, LB_SETTOPINDEX, static_cast<WPARAM>(FSaveTopIndex), 0);
  FSaveSelection.clear();
  FSaveItemIndex = -1;
  FSaveTopIndex = 0;
}

void TCustomListBox::DestroyWnd() {
  Integer count = GetCount();
  FSaveItemIndex = GetItemIndex();
  FSaveTopIndex = GetTopIndex();
  FSaveSelection.assign(static_cast<size_t>(FMultiSelect ? count : 0), 0);
  for (size_t i = 0; i < FSaveSelection.size(); ++i)
    FSaveSelection[i] = SendMessage(FHandle, LB_GETSEL, i, 0) > 0;
  if (!IsVirtual()) {
    auto saved = MakeOwned<TStringList>();
    saved->SetSorted(FSorted);
    saved->SetDuplicates(dupAccept);
    for (Integer i = 0; i < count; ++i) saved->AddObject(FItems->Get(i), FItems->GetObject(i));
    FSaveItems = std::move(saved);
  }
  FCanvas->FreeHandle();
  inherited::DestroyWnd();
}

Integer TCustomListBox::GetCount() { return FItems->GetCount(); }

void TCustomListBox::SetCount(Integer Value) {
  if (!IsVirtual() || Value < 0) return;
  FCount = Value;
  if (FHandle) SendMessage(FHandle, LB_SETCOUNT, static_cast<WPARAM>(Value), 0);
}

void TCustomListBox::CheckIndex(Integer Index) {
  if (Index < 0 || Index >= GetCount()) throw EListError(&SListIndexError, {Index});
}

Integer TCustomListBox::GetItemIndex() {
  if (!FHandle) return FSaveItemIndex;
  if (FMultiSelect) return GetCount() > 0 ? static_cast<Integer>(SendMessage(FHandle, LB_GETCARETINDEX, 0, 0)) : -1;
  return static_cast<Integer>(SendMessage(FHandle, LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(Integer Value) {
  if (Value < -1 || Value >= GetCount()) return;
  if (!FHandle) {
    FSaveItemIndex = Value;
    return;
  }
  if (GetItemIndex() == Value) return;
  if (FMultiSelect)
    SendMessage(FHandle, LB_SETCARETINDEX, static_cast<WPARAM>(std::max(0, Value)), 0);
  else
    SendMessage(FHandle, LB_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

bool TCustomListBox::GetSelected(Integer Index) {
  CheckIndex(Index);
  if (!FMultiSelect) return GetItemIndex() == Index;
  if (!FHandle) return static_cast<size_t>(Index) < FSaveSelection.size() && FSaveSelection[size_t(Index)];
  return SendMessage(FHandle, LB_GETSEL, static_cast<WPARAM>(Index), 0) > 0;
}

void TCustomListBox::SetSelected(Integer Index, bool Value) {
  CheckIndex(Index);
  if (!FMultiSelect) {
    if (Value)
      SetItemIndex(Index);
    else if (GetItemIndex() == Index)
      SetItemIndex(-1);
    return;
  }
  if (!FHandle) {
    if (FSaveSelection.size() <= static_cast<size_t>(Index)) FSaveSelection.resize(size_t(Index) + 1, 0);
    FSaveSelection[size_t(Index)] = Value;
    return;
  }
  SendMessage(FHandle, LB_SETSEL, Value, Index);
}

Integer TCustomListBox::GetSelCount() {
  if (!FMultiSelect) return -1;
  if (!FHandle) return static_cast<Integer>(std::count(FSaveSelection.begin(), FSaveSelection.end(), 1));
  return static_cast<Integer>(SendMessage(FHandle, LB_GETSELCOUNT, 0, 0));
}

void TCustomListBox::ClearSelection() {
  if (!FMultiSelect) {
    SetItemIndex(-1);
    return;
  }
  if (!FHandle) {
    FSaveSelection.clear();
    return;
  }
  SendMessage(FHandle, LB_SETSEL, FALSE, -1);
}

void TCustomListBox::SelectAll() {
  if (!FMultiSelect) return;
  if (!FHandle) {
    FSaveSelection.assign(static_cast<size_t>(GetCount()), 1);
    return;
  }
  SendMessage(FHandle, LB_SETSEL, TRUE, -1);
}

void TCustomListBox::DeleteSelected() {
  if (!FMultiSelect) {
    Integer index = GetItemIndex();
    if (index >= 0) FItems->Delete(index);
    return;
  }
  for (Integer i = GetCount() - 1; i >= 0; --i)
    if (GetSelected(i)) FItems->Delete(i);
}

Integer TCustomListBox::GetTopIndex() { return FHandle ? static_cast<Integer>(SendMessage(FHandle, LB_GETTOPINDEX, 0, 0)) : FSaveTopIndex; }

void TCustomListBox::SetTopIndex(Integer Value) {
  if (Value < 0) return;
  if (!FHandle) {
    FSaveTopIndex = Value;
    return;
  }
  SendMessage(FHandle, LB_SETTOPINDEX, static_cast<WPARAM>(Value), 0);
}

Integer TCustomListBox::GetItemHeight() {
  if (FHandle && FStyle == lbStandard) return static_cast<Integer>(SendMessage(FHandle, LB_GETITEMHEIGHT, 0, 0));
  return FItemHeight;
}

void TCustomListBox::SetItemHeight(Integer Value) {
  if (Value < 1 || Value == FItemHeight) return;
  FItemHeight = Value;
  if (FHandle && HasFixedOwnerHeight(FStyle)) SendMessage(FHandle, LB_SETITEMHEIGHT, 0, Value);
}

Integer TCustomListBox::ItemAtPos(TPoint Pos, bool Existing) {
  Integer count = GetCount();
  TRect client = GetClientRect();
  if (FHandle && count > 0 && client.Contains(Pos)) {
    for (Integer i = GetTopIndex(); i < count; ++i) {
      RECT r;
      if (SendMessage(FHandle, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)) == LB_ERR) break;
      if (r.Top >= client.Bottom) break;
      if (r.Contains(Pos)) return i;
    }
  }
  return Existing ? -1 : count;
}

TRect TCustomListBox::ItemRect(Integer Index) {
  Integer count = GetCount();
  RECT r;
  if (Index >= 0 && Index < count) {
    SendMessage(GetHandle(), LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
    return r;
  }
  if (Index != count) return TRect();
  if (count == 0) return Rect(0, 0, GetClientWidth(), GetItemHeight());
  SendMessage(GetHandle(), LB_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&r));
  Integer height = r.Bottom - r.Top;
  return Rect(r.Left, r.Bottom, r.Right, r.Bottom + height);
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
  if (Value == FStyle) return;
  bool wasVirtual = IsVirtual();
  FStyle = Value;
  if (wasVirtual != IsVirtual()) FSaveItems->Clear();
  RecreateWnd();
}

void TCustomListBox::SetColumns(Integer Value) {
  if (Value < 0 || Value == FColumns) return;
  bool recreate = (FColumns == 0) != (Value == 0);
  FColumns = Value;
  if (recreate)
    RecreateWnd();
  else
    UpdateColumnWidth();
}

void TCustomListBox::UpdateColumnWidth() {
  if (!FHandle || FColumns <= 0) return;
  Integer width = std::max(1, (GetClientWidth() + FColumns - 3) / FColumns);
  SendMessage(FHandle, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(width), 0);
}

void TCustomListBox::SetMultiSelect(bool Value) {
  if (Value == FMultiSelect) return;
  FMultiSelect = Value;
  RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool Value) {
  if (Value == FExtendedSelect) return;
  FExtendedSelect = Value;
  if (FMultiSelect) RecreateWnd();
}

void TCustomListBox::SetIntegralHeight(bool Value) {
  if (Value == FIntegralHeight) return;
  FIntegralHeight = Value;
  RecreateWnd();
}

void TCustomListBox::SetSorted(bool Value) {
  if (Value == FSorted) return;
  FSorted = Value;
  FSaveItems->SetDuplicates(dupAccept);
  FSaveItems->SetSorted(Value);
  RecreateWnd();
}

void TCustomListBox::SetTabWidth(Integer Value) {
  Value = std::max(0, Value);
  if (Value == FTabWidth) return;
  FTabWidth = Value;
  RecreateWnd();
}

Integer TCustomListBox::GetScrollWidth() {
  return FHandle ? static_cast<Integer>(SendMessage(FHandle, LB_GETHORIZONTALEXTENT, 0, 0)) : FScrollWidth;
}

void TCustomListBox::SetScrollWidth(Integer Value) {
  FScrollWidth = std::max(0, Value);
  if (FHandle) SendMessage(FHandle, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(FScrollWidth), 0);
}

void TCustomListBox::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWnd();
}

String TCustomListBox::DoGetData(Integer Index) {
  String data;
  if (OnData) OnData(this, Index, data);
  return data;
}

TObject* TCustomListBox::DoGetDataObject(Integer Index) {
  TObject* object = nullptr;
  if (OnDataObject) OnDataObject(this, Index, object);
  return object;
}

Integer TCustomListBox::DoFindData(const String& Data) { return OnDataFind ? OnDataFind(this, Data) : -1; }

Integer TCustomListBox::FindPrefix(const String& Prefix) {
  if (IsVirtual()) return DoFindData(Prefix);
  LRESULT index = SendMessage(GetHandle(), LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Prefix.c_str()));
  return index < 0 ? -1 : static_cast<Integer>(index);
}

// Type-ahead of the class library: the characters typed in a row form a prefix to search for;
// the window's own one-letter search sees none of them.
void TCustomListBox::KeyPress(char& Key) {
  inherited::KeyPress(Key);
  if (!FAutoComplete || Key == 0 || Key == '\r' || Key == '\x1B' || Key == '\t') return;
  DWORD now = GetTickCount();
  if (now - FLastKeyTime >= kAutoCompletePause) FFilter.clear();
  FLastKeyTime = now;
  if (Key == '\b') {
    if (!FFilter.empty()) FFilter.pop_back();
  } else if (static_cast<unsigned char>(Key) >= 0x20) {
    FFilter += Key;
  } else {
    return;
  }
  Key = 0;
  if (FFilter.empty()) return;
  Integer index = FindPrefix(FFilter);
  if (index < 0 || index == GetItemIndex()) return;
  if (FMultiSelect) {
    SendMessage(FHandle, LB_SETSEL, FALSE, -1);
    SendMessage(FHandle, LB_SETSEL, TRUE, index);
  }
  SetItemIndex(index);
  Click();
}

void TCustomListBox::DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  FCanvas->FillRect(Rect);
  if (Index < GetCount()) FCanvas->TextOut(Rect.Left + 2, Rect.Top, FItems->Get(Index));
}

void TCustomListBox::MeasureItem(Integer Index, Integer& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TCustomListBox::CNDrawItem(TMessage& M) {
  auto* ds = reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam);
  if (!ds) return;
  TOwnerDrawState state = ItemStateToOwnerDrawState(ds->itemState);
  {
    TCanvasDCScope scope(FCanvas.get(), ds->hDC);
    FCanvas->SetFont(GetFont());
    FCanvas->GetBrush()->SetColor(GetColor());
    FCanvas->GetBrush()->SetStyle(bsSolid);
    if (state & odSelected) {
      FCanvas->GetBrush()->SetColor(clHighlight);
      FCanvas->GetFont()->SetColor(clHighlightText);
    }
    TRect r = ds->rcItem;
    if (static_cast<Integer>(ds->itemID) >= 0 && static_cast<Integer>(ds->itemID) < GetCount())
      DrawItem(static_cast<Integer>(ds->itemID), r, state);
    else
      FCanvas->FillRect(r);
    if (state & odFocused) FCanvas->DrawFocusRect(r);
  }
  M.Result = TRUE;
}

void TCustomListBox::CNMeasureItem(TMessage& M) {
  auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(M.LParam);
  if (!mi) return;
  Integer height = FItemHeight;
  if (FStyle == lbOwnerDrawVariable) MeasureItem(static_cast<Integer>(mi->itemID), height);
  mi->itemHeight = static_cast<UINT>(std::max(0, height));
  M.Result = TRUE;
}

void TCustomListBox::CNCommand(TMessage& M) {
  switch (HIWORD(M.WParam)) {
    case LBN_SELCHANGE: {
      TAliveToken alive = AliveToken();
      Changed();
      if (alive) Click();
      return;
    }
    case LBN_DBLCLK: DblClick(); return;
    default: return;
  }
}

void TCustomListBox::WMSize(TMessage& M) {
  inherited::Dispatch(M);
  UpdateColumnWidth();
}

void TCustomListBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); return;
    case CN_DRAWITEM: CNDrawItem(Message); return;
    case CN_MEASUREITEM: CNMeasureItem(Message); return;
    case WM_SIZE: WMSize(Message); return;
    default: inherited::Dispatch(Message);
  }
}
