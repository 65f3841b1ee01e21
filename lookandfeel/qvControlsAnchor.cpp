// Middle-button anchor scrolling: an elliptic anchor window at the pointer, a nested message
// loop that holds the mouse capture, and a 20 ms thread timer that scrolls the content one line
// every (13 - speed) ticks towards where the pointer went, at 12 speeds.
#include <algorithm>
#include <cstdlib>

#include "lookandfeel/qvControls.h"
#include "platform/forms/Forms.h"
#include "platform/os/Gdi.h"

namespace {

constexpr UINT kTickInterval = 20;
constexpr Integer kMaxSpeed = 12;
constexpr Integer kSpeedStep = 5;

}  // namespace

// One run of the mode; the destructor ends it (capture, timer, window), also on an exception.
class TqvAnchorScrollMode {
 public:
  explicit TqvAnchorScrollMode(TqvControl* AControl);
  ~TqvAnchorScrollMode();
  TqvAnchorScrollMode(const TqvAnchorScrollMode&) = delete;
  TqvAnchorScrollMode& operator=(const TqvAnchorScrollMode&) = delete;

  void Run();

 private:
  void OpenAnchorWindow();
  TCursor IdleCursor() const;
  void ShowCursor() const;
  // Direction and speed from where the pointer is; true when the mode should handle it.
  void PointerMoved(TPoint P);
  bool HandleMessage(const MSG& Msg);

  TqvControl* FControl;
  TAliveToken FAlive;
  HWND FWindow;
  bool FHorizontal, FVertical;
  TPoint FAnchor;
  TPoint FLastPoint;
  Integer FSize = 0;
  HWND FAnchorWindow = nullptr;
  UINT_PTR FTimer = 0;
  TqvScrollDirection FDirection = sdNone;
  Integer FSpeed = 1;
  Integer FTicks = 0;
  bool FMoved = false;
};

TqvAnchorScrollMode::TqvAnchorScrollMode(TqvControl* AControl)
    : FControl(AControl),
      FAlive(AControl->AliveToken()),
      FWindow(AControl->GetHandle()),
      FHorizontal(AControl->IsHScrollBarVisible()),
      FVertical(AControl->IsVScrollBarVisible()),
      FAnchor(GetMouseCursorPos()),
      FLastPoint(FAnchor) {}

TqvAnchorScrollMode::~TqvAnchorScrollMode() {
  if (GetCapture() == FWindow) ReleaseCapture();
  if (FTimer) KillTimer(nullptr, FTimer);
  if (FAnchorWindow) DestroyWindow(FAnchorWindow);
}

void TqvAnchorScrollMode::OpenAnchorWindow() {
  TOwned<TBitmap> bitmap = CreateAnchorBitmap(FHorizontal && FVertical ? asbBoth : FHorizontal ? asbHorizontal : asbVertical);
  const Integer w = bitmap->GetWidth(), h = bitmap->GetHeight();
  FSize = w;
  FAnchorWindow = CreateWindowEx(WS_EX_TOPMOST, "STATIC", "", WS_POPUP, FAnchor.X - w / 2,
                                 FAnchor.Y - h / 2, w, h, FWindow, nullptr, nullptr, nullptr);
  if (!FAnchorWindow) return;
  SetWindowRgn(FAnchorWindow, CreateEllipticRgn(0, 0, w + 1, h + 1), TRUE);
  ShowWindow(FAnchorWindow, SW_SHOWNOACTIVATE);
  TCanvas canvas;
  HDC dc = GetDC(FAnchorWindow);
  {
    TCanvasDCScope scope(&canvas, dc);
    canvas.Draw(0, 0, bitmap.get());
    HRGN outline = CreateEllipticRgn(0, 0, w + 1, h + 1);
    FrameRgn(dc, outline, GetSysColorBrush(COLOR_WINDOWTEXT), 1, 1);
    DeleteObject(outline);
  }
  ReleaseDC(FAnchorWindow, dc);
}

TCursor TqvAnchorScrollMode::IdleCursor() const {
  return FHorizontal && FVertical ? crqvFullScroll : FHorizontal ? crqvHorScroll : crqvVerScroll;
}

void TqvAnchorScrollMode::ShowCursor() const {
  static const TCursor kDirectionCursors[] = {0, crqvLeftScroll, crqvRightScroll, crqvUpScroll, crqvDownScroll};
  ::SetCursor(Screen->GetCursors(FDirection == sdNone ? IdleCursor() : kDirectionCursors[FDirection]));
}

// Inside the neutral zone (the anchor's square, as wide or as high as the screen along an axis
// without a scroll bar) nothing scrolls; outside, the farther the pointer, the faster.
void TqvAnchorScrollMode::PointerMoved(TPoint P) {
  TRect neutral = Bounds(FAnchor.X - FSize / 2, FAnchor.Y - FSize / 2, FSize, FSize);
  if (!FHorizontal) neutral.Left = 0, neutral.Right = GetSystemMetrics(SM_CXSCREEN);
  if (!FVertical) neutral.Top = 0, neutral.Bottom = GetSystemMetrics(SM_CYSCREEN);
  if (neutral.Contains(P)) {
    FDirection = sdNone;
    FSpeed = 0;
    return;
  }
  FMoved = true;
  const Integer dv = std::abs(P.Y - FAnchor.Y), dh = std::abs(P.X - FAnchor.X);
  Integer distance;
  if (!FHorizontal || (FVertical && dv >= dh)) {
    FDirection = P.Y < FAnchor.Y ? sdUp : sdDown;
    distance = dv;
  } else {
    FDirection = P.X < FAnchor.X ? sdLeft : sdRight;
    distance = dh;
  }
  FSpeed = std::min((distance - FSize / 2) / kSpeedStep + 1, kMaxSpeed);
}

// Handles one retrieved message; false ends the mode.
bool TqvAnchorScrollMode::HandleMessage(const MSG& Msg) {
  if (Msg.message == WM_PAINT && Msg.hwnd == FAnchorWindow) {
    ValidateRect(FAnchorWindow, nullptr);
    return true;
  }
  if (Msg.message >= WM_LBUTTONDOWN && Msg.message <= WM_MOUSEWHEEL && Msg.message != WM_MBUTTONUP) return false;
  TranslateMessage(&Msg);
  DispatchMessage(&Msg);
  if (!FAlive) return false;
  switch (Msg.message) {
    case WM_KEYDOWN:
    case WM_KEYUP: return Msg.wParam != VK_ESCAPE;
    case WM_MBUTTONUP: return !FMoved;
    case WM_TIMER:
      if (!Msg.hwnd && Msg.wParam == FTimer && ++FTicks % (kMaxSpeed + 1 - FSpeed) == 0) {
        FControl->ScrollContent(FDirection);
        return bool(FAlive);
      }
      return true;
    case WM_MOUSEMOVE: {
      TPoint p{GET_X_LPARAM(Msg.lParam), GET_Y_LPARAM(Msg.lParam)};
      MapWindowPoint(Msg.hwnd, nullptr, p);
      if (p == FLastPoint) return true;
      PointerMoved(p);
      ShowCursor();
      FLastPoint = p;
      return true;
    }
    default: return true;
  }
}

void TqvAnchorScrollMode::Run() {
  OpenAnchorWindow();
  ShowCursor();
  FTimer = SetTimer(nullptr, 0, kTickInterval, nullptr);
  SetCapture(FWindow);
  MSG msg;
  while (GetCapture() == FWindow) {
    const BOOL got = GetMessage(&msg, nullptr, 0, 0);
    if (got == -1) return;
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (!HandleMessage(msg)) return;
  }
}

void TqvControl::RunAnchorScrollMode() {
  if (!IsHScrollBarVisible() && !IsVScrollBarVisible()) return;
  TqvAnchorScrollMode mode(this);
  mode.Run();
}
