// Docking on a page control: each docked client on a sheet of its own, the sheet following the
// client's caption and visibility, dragged and floated from its tab.
#include "pagecontrol/qvPC.h"
#include "platform/forms/Forms.h"

String GetDockCaption(const String& AText) { return AText.substr(0, AText.find_first_of("\r\n")); }

TControl* TqvPageControl::GetDockClientOf(TqvTabSheet* ASheet) const {
  for (Integer i = 0; ASheet && i < GetDockClientCount(); ++i)
    if (GetDockClient(i)->GetParent() == ASheet) return GetDockClient(i);
  return nullptr;
}

TqvTabSheet* TqvPageControl::GetDockClientSheet(TControl* AClient) const {
  for (Integer i = 0; i < GetDockClientCount(); ++i)
    if (GetDockClient(i) == AClient) return As<TqvTabSheet>(AClient->GetParent());
  return nullptr;
}

void TqvPageControl::GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock) {
  inherited::GetSiteInfo(Client, InfluenceRect, MousePos, CanDock);
  if (GetDockClientSheet(Client)) CanDock = false;
}

void TqvPageControl::DockOver(TDragDockObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  inherited::DockOver(Source, X, Y, State, Accept);
  if (GetDockClientSheet(Source->GetControl())) Accept = false;
  if (!Accept || !HandleAllocated()) return;
  RECT window;
  GetWindowRect(GetHandle(), &window);
  Source->SetDockRect(window);
}

void TqvPageControl::DoAddDockClient(TControl* Client, const TRect&) {
  auto* sheet = New<TqvTabSheet>(this);
  TAliveToken sheetAlive = sheet->AliveToken();
  try {
    if (As<TCustomForm>(Client)) sheet->SetCaption(GetDockCaption(Client->GetText()));
    sheet->SetPageControl(this);
    Client->SetParent(sheet);
    Client->SetAlign(alClient);
  } catch (...) {
    if (sheetAlive) Free(sheet);
    throw;
  }
  sheet->SetTabVisible(Client->GetVisible());
  if (Client->GetVisible()) SetActivePage(sheet);
}

bool TqvPageControl::DoUnDock(TWinControl* NewTarget, TControl* Client) {
  FUndockingPage = GetDockClientSheet(Client);
  Client->SetAlign(alNone);
  return inherited::DoUnDock(NewTarget, Client);
}

void TqvPageControl::DoRemoveDockClient(TControl* Client) {
  inherited::DoRemoveDockClient(Client);
  TqvTabSheet* sheet = FUndockingPage;
  FUndockingPage = nullptr;
  if (!sheet || IsDestroying()) return;
  // A client going away leaves its sheet first.
  if (Client->GetParent() == sheet) Client->SetParent(nullptr);
  if (sheet == GetActivePage()) SelectNextPage(true);
  Free(sheet);
}

void TqvPageControl::DockClientChanged(TControl* AClient, const TDockNotifyRec& ANotify) {
  TqvTabSheet* sheet = GetDockClientSheet(AClient);
  if (!sheet) return;
  if (ANotify.ClientMsg == CM_TEXTCHANGED) sheet->SetCaption(GetDockCaption(AClient->GetText()));
  if (ANotify.ClientMsg == CM_VISIBLECHANGED) sheet->SetTabVisible(AClient->GetVisible());
}

void TqvPageControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  inherited::MouseDown(Button, Shift, X, Y);
  if (!alive || Button != mbLeft || IsDesigning()) return;
  const Integer tab = GetTabAt(X, Y);
  if (tab == -1) return;
  TControl* client = GetDockClientOf(GetPage(GetVisibleTabs()->GetTab(tab)->GetIndex()));
  if (!client) return;
  if (Shift & ssDouble) {
    const TPoint p = ClientToScreen({X, Y});
    client->ManualFloat(Bounds(p.X, p.Y, client->GetWidth(), client->GetHeight()));
  } else {
    client->BeginDrag(false);
  }
}

void TqvPageControl::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_DOCKNOTIFICATION && Message.LParam) {
    DockClientChanged(reinterpret_cast<TControl*>(Message.WParam), *reinterpret_cast<TDockNotifyRec*>(Message.LParam));
    return;
  }
  inherited::Dispatch(Message);
}
