// The editor container with its wheel scrolling and flat scroll bars, the hint window, and the
// container unit's globals.
#include "treelist/zmCntner.h"

#include <cstdlib>

#include "platform/forms/Forms.h"
#include "treelist/zmEditor.h"
#include "treelist/zmUtils.h"

QJ_IMPLEMENT_CLASS(TCustomzmContainer)
QJ_IMPLEMENT_CLASS(TzmContainerHintWindow)

namespace {

TzmUnitCounter ContainerUnitCounter;
HBRUSH FShadowBrush = nullptr;

constexpr Integer kHintPadding = 6;
constexpr Integer kDefaultHintFontSize = 8;

}  // namespace

void zmCntnerStart() {
  if (!ContainerUnitCounter.Start()) return;
  FShadowBrush = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
  SetDefaultEditStyleController(New<TzmEditStyleController>(nullptr));
}

void zmCntnerEnd() {
  if (!ContainerUnitCounter.End()) return;
  TzmEditStyleController* controller = DefaultEditStyleController();
  SetDefaultEditStyleController(nullptr);
  Free(controller);
  DeleteObject(FShadowBrush);
  FShadowBrush = nullptr;
}

HBRUSH ShadowBrush() { return FShadowBrush; }

void RemovePendingMessage(HWND Window, UINT MessageId) {
  MSG msg;
  if (PeekMessage(&msg, Window, MessageId, MessageId, PM_REMOVE) && msg.message == WM_QUIT)
    PostQuitMessage(static_cast<int>(msg.wParam));
}

// ---------------------------------------------------------------------------------------------
// TCustomzmContainer

TzmEditStyle* TCustomzmContainer::CreateEditStyle(TzmInplaceEdit* Edit) {
  return TzmEditStyle::StaticClass().Create(Edit);
}

void TCustomzmContainer::ScrollByWheel(bool AUp, Integer ALines) {
  TAliveToken alive = AliveToken();
  for (Integer i = 0; i < ALines && alive; ++i) Perform(WM_VSCROLL, AUp ? SB_LINEUP : SB_LINEDOWN, 0);
}

void TCustomzmContainer::EditorKeyDown(Word& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TCustomzmContainer::SetFlatScrollMode(TzmFlatScrollMode Value) {
  if (Value == FFlatScrollMode) return;
  FFlatScrollMode = Value;
  if (HandleAllocated()) ApplyFlatScrollMode();
}

void TCustomzmContainer::ApplyFlatScrollMode() {
  FlatSB_SetScrollProp(FHandle, WSB_PROP_VSTYLE, FFlatScrollMode, TRUE);
  FlatSB_SetScrollProp(FHandle, WSB_PROP_HSTYLE, FFlatScrollMode, TRUE);
}

BOOL TCustomzmContainer::GetScrollInfo(int Bar, SCROLLINFO& Info) { return FlatSB_GetScrollInfo(GetHandle(), Bar, &Info); }

int TCustomzmContainer::SetScrollInfo(int Bar, const SCROLLINFO& Info, bool Redraw) {
  return FlatSB_SetScrollInfo(GetHandle(), Bar, &Info, Redraw);
}

// Text here always reads left to right, so the flat bars are always set up.
void TCustomzmContainer::CreateWnd() {
  inherited::CreateWnd();
  InitializeFlatSB(FHandle);
  ApplyFlatScrollMode();
}

// A wheel reports movement in steps of WHEEL_DELTA or finer: the movement adds up and every
// whole notch scrolls the wheel's lines.
void TCustomzmContainer::WMMouseWheel(TMessage& Message) {
  TAliveToken alive = AliveToken();
  inherited::Dispatch(Message);
  if (!alive) return;
  FWheelDelta += GET_WHEEL_DELTA_WPARAM(Message.WParam);
  Integer notches = FWheelDelta / WHEEL_DELTA;
  if (notches == 0) return;
  FWheelDelta -= notches * WHEEL_DELTA;
  ScrollByWheel(notches > 0, std::abs(notches) * Mouse->GetWheelScrollLines());
}

void TCustomzmContainer::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_MOUSEWHEEL) return WMMouseWheel(Message);
  inherited::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// TzmContainerHintWindow

TzmContainerHintWindow::TzmContainerHintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clInfoBk);
  SetVisible(false);
  GetCanvas()->GetBrush()->SetStyle(bsClear);
}

void TzmContainerHintWindow::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.ExStyle = WS_EX_TOOLWINDOW;
  Params.WndParent = nullptr;
  Params.WindowClass.style |= CS_SAVEBITS;
}

void TzmContainerHintWindow::ShowHint(TPoint Point, const String& Text, TFont* Font) {
  ShowHintEx(Point, Screen->GetWidth(), Text, Font, false);
}

void TzmContainerHintWindow::ShowHintEx(TPoint Point, Integer MaxWidth, const String& Text, TFont* Font,
                                        bool AUseFontSize) {
  SetText(Text);
  TCanvas* canvas = GetCanvas();
  TFont* font = canvas->GetFont();
  NONCLIENTMETRICS metrics;
  if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    font->SetName(metrics.StatusFont);
    font->SetHeight(metrics.iFontHeight);
  } else {
    font->SetSize(kDefaultHintFontSize);
  }
  font->SetColor(clInfoText);
  if (Font) {
    font->SetName(Font->GetName());
    font->SetCharset(Font->GetCharset());
    if (AUseFontSize) font->SetSize(Font->GetSize());
  }
  if (MaxWidth <= 0) MaxWidth = Screen->GetWidth();
  TRect measure{0, 0, MaxWidth, 0};
  DrawText(canvas->GetHandle(), Text.c_str(), Length(Text), &measure, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  Integer w = measure.Width() + kHintPadding, h = measure.Height() + kHintPadding;
  TMonitor* monitor = Screen->MonitorFromPoint(Point);
  TRect work = monitor ? monitor->GetWorkareaRect() : Screen->GetWorkAreaRect();
  TRect r = Bounds(Point.X, Point.Y, w, h);
  if (r.Top + h > work.Bottom) r.Top = work.Bottom - h;
  if (r.Left + w > work.Right) r.Left = work.Right - w;
  if (r.Left < work.Left) r.Left = work.Left;
  if (r.Top < work.Top) r.Top = work.Top;
  SetBounds(r.Left, r.Top, w, h);
  SetWindowPos(GetHandle(), HWND_TOPMOST, r.Left, r.Top, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE | SWP_SHOWWINDOW);
  Invalidate();
}

void TzmContainerHintWindow::Paint() {
  HDC dc = GetCanvas()->GetHandle();
  TRect r = GetClientRect();
  DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RECT);
  TRect text{r.Left + 1 + 2, r.Top + 1 + 2, r.Right - 1, r.Bottom - 1};
  String caption = GetText();
  DrawText(dc, caption.c_str(), Length(caption), &text, DT_WORDBREAK | DT_NOCLIP | DT_NOPREFIX);
}

void TzmContainerHintWindow::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_NCHITTEST) {
    Message.Result = HTTRANSPARENT;
    return;
  }
  inherited::Dispatch(Message);
}
