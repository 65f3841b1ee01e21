// The default window procedure: text, closing, cursor and activation defaults, painting defaults
// and the messages that bubble to the parent; the frame has its share in WinFrame.cpp.
#include <algorithm>
#include <cstring>

#include "platform/os/Gdi.h"
#include "platform/os/WinInternal.h"
#include "platform/os/WinMenuInternal.h"

namespace {

HBRUSH BackgroundBrush(const TWndClassRec& cls) {
  auto value = reinterpret_cast<uintptr_t>(cls.Background);
  if (value > 0 && value <= COLOR_ENDCOLORS + 1) return GetSysColorBrush(static_cast<int>(value - 1));
  return cls.Background;
}

LRESULT EraseBackground(TWindowRec* w, HDC dc) {
  HBRUSH brush = BackgroundBrush(*w->Class);
  if (!brush || !dc) return 0;
  RECT r = Rect(0, 0, w->Client.Width(), w->Client.Height());
  FillRect(dc, &r, brush);
  return 1;
}

LRESULT CopyWindowText(TWindowRec* w, WPARAM size, LPARAM buffer) {
  char* out = reinterpret_cast<char*>(buffer);
  if (!out || size == 0) return 0;
  size_t n = std::min(static_cast<size_t>(size) - 1, w->Text.size());
  std::memcpy(out, w->Text.data(), n);
  out[n] = 0;
  return static_cast<LRESULT>(n);
}

LRESULT SetCursorDefault(TWindowRec* w, WPARAM wParam, LPARAM lParam) {
  if (w->Parent && SendMessage(w->Parent->Handle, WM_SETCURSOR, wParam, lParam)) return TRUE;
  auto hit = static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lParam)));
  UINT mouseMsg = HIWORD(static_cast<uintptr_t>(lParam));
  uintptr_t shape = IDC_ARROW;
  switch (hit) {
    case HTCLIENT:
      if (w->Class->Cursor) {
        SetCursor(w->Class->Cursor);
        return FALSE;
      }
      break;
    case HTLEFT:
    case HTRIGHT: shape = IDC_SIZEWE; break;
    case HTTOP:
    case HTBOTTOM: shape = IDC_SIZENS; break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: shape = IDC_SIZENWSE; break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: shape = IDC_SIZENESW; break;
    case HTERROR:
      if (mouseMsg == WM_LBUTTONDOWN || mouseMsg == WM_RBUTTONDOWN || mouseMsg == WM_MBUTTONDOWN) MessageBeep(0);
      break;
    default: break;
  }
  SetCursor(StandardCursor(shape));
  return FALSE;
}

void PositionChanged(TWindowRec* w, const WINDOWPOS* wp) {
  HWND h = w->Handle;
  if (!(wp->flags & SWP_NOCLIENTMOVE)) {
    TPoint c{w->Rect.Left + w->Client.Left, w->Rect.Top + w->Client.Top};
    SendMessage(h, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(c.X), static_cast<WORD>(c.Y)));
  }
  if (!(w = FindWindowRec(h))) return;
  if (!(wp->flags & SWP_NOCLIENTSIZE)) {
    WPARAM state = w->Maximized ? SIZE_MAXIMIZED : w->Minimized ? SIZE_MINIMIZED : SIZE_RESTORED;
    SendMessage(h, WM_SIZE, state, MAKELPARAM(static_cast<WORD>(w->Client.Width()), static_cast<WORD>(w->Client.Height())));
  }
}

LRESULT PassToParent(TWindowRec* w, UINT msg, WPARAM wParam, LPARAM lParam) {
  return w->Parent ? SendMessage(w->Parent->Handle, msg, wParam, lParam) : 0;
}

}  // namespace

uint32_t SysPixel(int index) {
  COLORREF c = GetSysColor(index);
  return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

void FillSurface(TSurface& s, const TRegionData& clip, const TRect& r, uint32_t pixel) {
  TRegionData area = clip.Intersect(TRegionData(r));
  for (const TRect& band : area.Rects()) FillDevicePixels(s, band, pixel);
}

void FrameSurface(TSurface& s, const TRegionData& clip, TRect r, int width, uint32_t topLeft, uint32_t bottomRight) {
  for (int i = 0; i < width; ++i) {
    FillSurface(s, clip, {r.Left, r.Top, r.Right, r.Top + 1}, topLeft);
    FillSurface(s, clip, {r.Left, r.Top, r.Left + 1, r.Bottom}, topLeft);
    FillSurface(s, clip, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottomRight);
    FillSurface(s, clip, {r.Right - 1, r.Top, r.Right, r.Bottom}, bottomRight);
    r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  }
}

LRESULT DefWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w) return 0;
  LRESULT partResult = 0;
  if (FrameDefProc(w, msg, wParam, lParam, partResult)) return partResult;
  if (MenuBarDefProc(w, msg, wParam, lParam, partResult)) return partResult;
  switch (msg) {
    case WM_NCCREATE: return TRUE;
    case WM_NCCALCSIZE:
      if (auto* r = reinterpret_cast<RECT*>(lParam)) *r = DefaultClientRect(w->Style, w->ExStyle, *r);
      return 0;
    case WM_NCHITTEST: return DefaultHitTest(w, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT: DrawNonClientFrame(w); return 0;
    case WM_NCACTIVATE:
      w->CaptionActive = wParam != FALSE;
      DrawNonClientFrame(w);
      return TRUE;
    case WM_ERASEBKGND: return EraseBackground(w, reinterpret_cast<HDC>(wParam));
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (BeginPaint(wnd, &ps)) EndPaint(wnd, &ps);
      return 0;
    }
    case WM_SETTEXT:
      w->Text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      if ((w->Style & WS_CAPTION) == WS_CAPTION) DrawNonClientFrame(w);
      return TRUE;
    case WM_GETTEXT: return CopyWindowText(w, wParam, lParam);
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(w->Text.size());
    case WM_CLOSE: DestroyWindow(wnd); return 0;
    case WM_SYSKEYDOWN:
      if (wParam == VK_F4 && (lParam & KF_ALTDOWN_BIT))
        PostMessage(TopLevelOf(w)->Handle, WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    case WM_WINDOWPOSCHANGED:
      if (lParam) PositionChanged(w, reinterpret_cast<const WINDOWPOS*>(lParam));
      return 0;
    case WM_SETCURSOR: return SetCursorDefault(w, wParam, lParam);
    case WM_MOUSEACTIVATE: {
      LRESULT r = PassToParent(w, msg, wParam, lParam);
      return r ? r : MA_ACTIVATE;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !w->Minimized) SetFocus(wnd);
      return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_CONTEXTMENU: return PassToParent(w, msg, wParam, lParam);
    case WM_RBUTTONUP: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(wnd, &p);
      SendMessage(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(static_cast<WORD>(p.X), static_cast<WORD>(p.Y)));
      return 0;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
      // The menu key and Shift+F10 ask for a context menu at no position.
      if (wParam == VK_APPS || (wParam == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000)))
        SendMessage(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), -1);
      return 0;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      // A quick second click on an arrow is a second step, not a double click.
      if (wParam == HTVSCROLL || wParam == HTHSCROLL)
        ClickScrollBar(w, wParam == HTVSCROLL ? SB_VERT : SB_HORZ, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_CANCELMODE:
      if (WinState().Capture == wnd) ReleaseCapture();
      return 0;
    case WM_SETREDRAW:
      // Redraw off hides the window from painting without hiding it, as on the platform.
      if (wParam)
        w->Style |= WS_VISIBLE;
      else
        w->Style &= ~WS_VISIBLE;
      return 0;
    default: return 0;
  }
}
