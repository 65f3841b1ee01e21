// Window frames: the border with its 3D edge, the caption with its bold text and its buttons, hit
// testing of the frame, and the mouse and keys on it: the moving and sizing loops, the caption
// buttons, double clicks on the caption and the window menu (Alt+Space).
#include <algorithm>

#include "platform/os/Backend.h"
#include "platform/os/Gdi.h"
#include "platform/os/WinInternal.h"
#include "platform/os/WinMenuInternal.h"
#include "platform/os/WinMenus.h"

namespace {

struct TFrame {
  int Border = 0;   // outer frame width
  int Caption = 0;  // caption height below the frame
  int Edge = 0;     // client or static edge inside
};

TFrame FrameOf(DWORD style, DWORD exStyle) {
  TFrame f;
  if (style & WS_THICKFRAME)
    f.Border = GetSystemMetrics(SM_CXFRAME);
  else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
    f.Border = GetSystemMetrics(SM_CXDLGFRAME);
  else if (style & WS_BORDER)
    f.Border = GetSystemMetrics(SM_CXBORDER);
  if ((style & WS_CAPTION) == WS_CAPTION)
    f.Caption = GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
  if (exStyle & WS_EX_CLIENTEDGE) f.Edge += GetSystemMetrics(SM_CXEDGE);
  if (exStyle & WS_EX_STATICEDGE) f.Edge += GetSystemMetrics(SM_CXBORDER);
  return f;
}

// A border of more than one pixel is raised in 3D; a single pixel is a plain line.
bool HasEdgedBorder(const TFrame& f) { return f.Border > GetSystemMetrics(SM_CXBORDER); }

// The caption bar in window coordinates (its last row is a line of the frame's face).
TRect CaptionRect(const TWindowRec* w, const TFrame& f) {
  return {f.Border, f.Border, w->Rect.Width() - f.Border, f.Border + f.Caption - 1};
}

// ------------------------------------------------------------------ caption buttons

constexpr int kButtonGap = 2;  // between the close button and the others, and to the right edge

// The caption buttons a window shows, in window coordinates (empty when absent). A window menu
// gives the close button; either box gives both the minimise and the maximise button, the
// missing one disabled. Tool windows have the close button only.
struct TCaptionButtons {
  TRect Close, Maximize, Minimize;
};

TCaptionButtons CaptionButtons(const TWindowRec* w) {
  TCaptionButtons b;
  TFrame f = FrameOf(w->Style, w->ExStyle);
  if (!f.Caption || !(w->Style & WS_SYSMENU)) return b;
  TRect caption = CaptionRect(w, f);
  int height = std::max(caption.Height() - 4, 6);
  int width = height + 2;
  int top = caption.Top + (caption.Height() - height) / 2;
  int right = caption.Right - kButtonGap;
  b.Close = Bounds(right - width, top, width, height);
  if ((w->ExStyle & WS_EX_TOOLWINDOW) || !(w->Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) return b;
  b.Maximize = Bounds(b.Close.Left - kButtonGap - width, top, width, height);
  b.Minimize = Bounds(b.Maximize.Left - width, top, width, height);
  return b;
}

bool ButtonEnabled(const TWindowRec* w, LRESULT hit) {
  switch (hit) {
    case HTCLOSE: return !(w->Class->Style & CS_NOCLOSE);
    case HTMAXBUTTON: return (w->Style & WS_MAXIMIZEBOX) != 0;
    case HTMINBUTTON: return (w->Style & WS_MINIMIZEBOX) != 0;
    default: return false;
  }
}

// The caption button the mouse holds down; it draws pushed while the pointer is on it.
struct TButtonPress {
  HWND Wnd = nullptr;
  LRESULT Hit = HTNOWHERE;
  bool Over = false;
};

TButtonPress& ButtonPress() {
  static TButtonPress press;
  return press;
}

LRESULT ButtonAt(const TWindowRec* w, TPoint windowPoint) {
  TCaptionButtons b = CaptionButtons(w);
  if (b.Close.Contains(windowPoint)) return HTCLOSE;
  if (b.Maximize.Contains(windowPoint)) return HTMAXBUTTON;
  if (b.Minimize.Contains(windowPoint)) return HTMINBUTTON;
  return HTNOWHERE;
}

UINT ButtonState(const TWindowRec* w, LRESULT hit) {
  const TButtonPress& p = ButtonPress();
  UINT state = 0;
  switch (hit) {
    case HTCLOSE: state = DFCS_CAPTIONCLOSE; break;
    case HTMINBUTTON: state = DFCS_CAPTIONMIN; break;
    default: state = w->Maximized ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX; break;
  }
  if (p.Wnd == w->Handle && p.Hit == hit && p.Over) state |= DFCS_PUSHED;
  if (!ButtonEnabled(w, hit)) state |= DFCS_INACTIVE;
  return state;
}

// ------------------------------------------------------------------ painting

HFONT CaptionFont() {
  static HFONT font = [] {
    LOGFONT lf;
    GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    lf.lfWeight = FW_BOLD;
    return CreateFontIndirect(&lf);
  }();
  return font;
}

void DrawCaption(HDC dc, const TWindowRec* w, const TRect& caption, bool active) {
  RECT bar = caption;
  FillRect(dc, &bar, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
  TCaptionButtons b = CaptionButtons(w);
  int textRight = b.Close.IsEmpty() ? caption.Right - kButtonGap
                                    : (b.Minimize.IsEmpty() ? b.Close.Left : b.Minimize.Left) - kButtonGap;
  if (!w->Text.empty()) {
    RECT text{caption.Left + 2 * kButtonGap, caption.Top, textRight, caption.Bottom};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    HGDIOBJ old = SelectObject(dc, CaptionFont());
    DrawText(dc, w->Text.c_str(), static_cast<int>(w->Text.size()), &text,
             DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(dc, old);
  }
  for (auto [rect, hit] : {std::pair{b.Close, HTCLOSE}, {b.Maximize, HTMAXBUTTON}, {b.Minimize, HTMINBUTTON}}) {
    if (rect.IsEmpty()) continue;
    RECT r = rect;
    DrawFrameControl(dc, &r, DFC_CAPTION, ButtonState(w, hit));
  }
}

// The outer frame and the caption, through a DC over the window's part of its surface.
void DrawBorderAndCaption(TWindowRec* w, const TFrame& f, const TRegionData& clip) {
  TWindowRec* top = TopLevelOf(w);
  HDC dc = CreateSurfaceDC(top->Surface, SurfaceOffset(w), clip);
  if (!dc) return;
  RECT r = Rect(0, 0, w->Rect.Width(), w->Rect.Height());
  if (HasEdgedBorder(f)) {
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
  } else if (f.Border > 0) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
  }
  if (f.Caption) {
    TRect caption = CaptionRect(w, f);
    RECT line{caption.Left, caption.Bottom, caption.Right, caption.Bottom + 1};
    FillRect(dc, &line, GetSysColorBrush(COLOR_BTNFACE));
    // The caption follows WM_NCACTIVATE, so a form may keep an active caption while a
    // drop-down of its own is the active window.
    DrawCaption(dc, w, caption, top->CaptionActive);
  }
  DeleteSurfaceDC(dc);
}

// ------------------------------------------------------------------ hit testing

LRESULT SizingCode(const TRect& win, TPoint p, int border) {
  int corner = GetSystemMetrics(SM_CXSIZE);
  bool left = p.X < win.Left + border, right = p.X >= win.Right - border;
  bool top = p.Y < win.Top + border, bottom = p.Y >= win.Bottom - border;
  bool nearLeft = p.X < win.Left + corner, nearRight = p.X >= win.Right - corner;
  bool nearTop = p.Y < win.Top + corner, nearBottom = p.Y >= win.Bottom - corner;
  if (left) return nearTop ? HTTOPLEFT : nearBottom ? HTBOTTOMLEFT : HTLEFT;
  if (right) return nearTop ? HTTOPRIGHT : nearBottom ? HTBOTTOMRIGHT : HTRIGHT;
  if (top) return nearLeft ? HTTOPLEFT : nearRight ? HTTOPRIGHT : HTTOP;
  if (bottom) return nearLeft ? HTBOTTOMLEFT : nearRight ? HTBOTTOMRIGHT : HTBOTTOM;
  return HTNOWHERE;
}

bool IsSizingCode(WPARAM hit) { return (hit >= HTLEFT && hit <= HTBOTTOMRIGHT) || hit == HTSIZE; }

// The WMSZ_ edge of a sizing hit code (the grip sizes the bottom-right corner).
UINT SizingEdge(WPARAM hit) { return hit == HTSIZE ? WMSZ_BOTTOMRIGHT : static_cast<UINT>(hit - HTLEFT + WMSZ_LEFT); }

// ------------------------------------------------------------------ loops on the frame

// The next message of a frame loop, with capture held by `wnd`; false when the loop must end
// (capture lost, window gone, quit). Messages the loop does not take are dispatched as usual.
bool NextLoopMessage(HWND wnd, MSG& m) {
  for (;;) {
    if (!IsWindow(wnd) || GetCapture() != wnd) return false;
    BOOL got = GetMessage(&m, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(m.wParam));
      return false;
    }
    if (got < 0) return false;
    bool mouse = m.message == WM_MOUSEMOVE || m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP;
    if (mouse || m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) return true;
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
}

// Capture for as long as a loop runs, let go on every way out.
class TLoopCapture {
 public:
  explicit TLoopCapture(HWND wnd) : FWnd(wnd) { SetCapture(wnd); }
  ~TLoopCapture() {
    if (GetCapture() == FWnd) ReleaseCapture();
  }
  TLoopCapture(const TLoopCapture&) = delete;
  TLoopCapture& operator=(const TLoopCapture&) = delete;

 private:
  HWND FWnd;
};

void RedrawFrame(HWND wnd) {
  if (TWindowRec* w = FindWindowRec(wnd)) DrawNonClientFrame(w);
}

WPARAM ButtonCommand(const TWindowRec* w, LRESULT hit) {
  if (hit == HTCLOSE) return SC_CLOSE;
  if (hit == HTMINBUTTON) return SC_MINIMIZE;
  return w->Maximized ? SC_RESTORE : SC_MAXIMIZE;
}

// A caption button pressed: it draws pushed while the pointer stays on it, and its command
// follows a release on it.
void TrackCaptionButton(HWND wnd, LRESULT hit) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!ButtonEnabled(w, hit)) return;
  bool chosen = false;
  {
    TLoopCapture capture(wnd);
    ButtonPress() = {wnd, hit, true};
    RedrawFrame(wnd);
    MSG m;
    while (NextLoopMessage(wnd, m)) {
      if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) break;
      if (!(w = FindWindowRec(wnd))) break;
      TPoint o = WindowOrigin(w);
      bool over = ButtonAt(w, {m.pt.X - o.X, m.pt.Y - o.Y}) == hit;
      if (m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP) {
        chosen = over;
        break;
      }
      if (over != ButtonPress().Over) {
        ButtonPress().Over = over;
        RedrawFrame(wnd);
      }
    }
    ButtonPress() = TButtonPress();
    RedrawFrame(wnd);
  }
  if (chosen && (w = FindWindowRec(wnd))) SendMessage(wnd, WM_SYSCOMMAND, ButtonCommand(w, hit), 0);
}

constexpr int kKeyboardStep = 8;  // pixels an arrow key moves a window or an edge

// Moving (edge 0) or sizing (a WMSZ_ edge) a window, by the mouse from a grab point or by the
// arrow keys; Esc puts the window back where it was.
class TSizeMoveLoop {
 public:
  TSizeMoveLoop(HWND wnd, bool sizing, UINT edge, TPoint grab)
      : FWnd(wnd), FSizing(sizing), FEdge(edge), FGrab(grab) {
    TWindowRec* w = FindWindowRec(wnd);
    FStart = w->Rect;
    FLimits = QueryMinMaxInfo(w);
    if (sizing && edge == 0) FEdge = WMSZ_BOTTOMRIGHT;  // the keys size the bottom-right corner
  }

  void Run() {
    SendMessage(FWnd, WM_ENTERSIZEMOVE, 0, 0);
    {
      TLoopCapture capture(FWnd);
      MSG m;
      while (NextLoopMessage(FWnd, m)) {
        if (m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP) break;
        if (m.message == WM_MOUSEMOVE) {
          Place({m.pt.X - FGrab.X, m.pt.Y - FGrab.Y});
          continue;
        }
        if (m.wParam == VK_RETURN) break;
        if (m.wParam == VK_ESCAPE) {
          Place({0, 0});
          break;
        }
        KeyStep(static_cast<BYTE>(m.wParam));
      }
    }
    if (IsWindow(FWnd)) SendMessage(FWnd, WM_EXITSIZEMOVE, 0, 0);
  }

 private:
  void KeyStep(BYTE vk) {
    TPoint step{vk == VK_LEFT ? -kKeyboardStep : vk == VK_RIGHT ? kKeyboardStep : 0,
                vk == VK_UP ? -kKeyboardStep : vk == VK_DOWN ? kKeyboardStep : 0};
    if (step.X == 0 && step.Y == 0) return;
    FKeyOffset = {FKeyOffset.X + step.X, FKeyOffset.Y + step.Y};
    Place(FKeyOffset);
  }

  // Places the window moved, or its edge moved, by `delta` from where the loop started.
  void Place(TPoint delta) {
    TRect r = FStart;
    if (!FSizing) {
      r = Bounds(r.Left + delta.X, r.Top + delta.Y, r.Width(), r.Height());
    } else {
      bool left = FEdge == WMSZ_LEFT || FEdge == WMSZ_TOPLEFT || FEdge == WMSZ_BOTTOMLEFT;
      bool right = FEdge == WMSZ_RIGHT || FEdge == WMSZ_TOPRIGHT || FEdge == WMSZ_BOTTOMRIGHT;
      bool top = FEdge == WMSZ_TOP || FEdge == WMSZ_TOPLEFT || FEdge == WMSZ_TOPRIGHT;
      bool bottom = FEdge == WMSZ_BOTTOM || FEdge == WMSZ_BOTTOMLEFT || FEdge == WMSZ_BOTTOMRIGHT;
      int width = Limit(r.Width() + (right ? delta.X : left ? -delta.X : 0), FLimits.ptMinTrackSize.X, FLimits.ptMaxTrackSize.X);
      int height = Limit(r.Height() + (bottom ? delta.Y : top ? -delta.Y : 0), FLimits.ptMinTrackSize.Y, FLimits.ptMaxTrackSize.Y);
      r = Bounds(left ? r.Right - width : r.Left, top ? r.Bottom - height : r.Top, width, height);
    }
    TWindowRec* w = FindWindowRec(FWnd);
    if (!w || w->Rect == r) return;
    SetWindowPos(FWnd, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(FWnd);
  }

  static int Limit(int value, int low, int high) { return std::max(low, std::min(value, std::max(low, high))); }

  HWND FWnd;
  bool FSizing;
  UINT FEdge;
  TPoint FGrab;
  TRect FStart;
  MINMAXINFO FLimits;
  TPoint FKeyOffset;
};

// ------------------------------------------------------------------ window menu

bool CanMove(const TWindowRec* w) { return !w->Maximized && !w->Minimized; }
bool CanSize(const TWindowRec* w) { return CanMove(w) && (w->Style & WS_THICKFRAME); }

struct TMenuEntry {
  WPARAM Command;
  const char* Text;
};

const TMenuEntry kWindowMenu[] = {{SC_RESTORE, "&Restore"},   {SC_MOVE, "&Move"},        {SC_SIZE, "&Size"},
                                  {SC_MINIMIZE, "Mi&nimise"}, {SC_MAXIMIZE, "Ma&ximise"}, {0, nullptr},
                                  {SC_CLOSE, "&Close\tAlt+F4"}};

bool CommandEnabled(const TWindowRec* w, WPARAM command) {
  switch (command) {
    case SC_RESTORE: return w->Maximized || w->Minimized;
    case SC_MOVE: return CanMove(w);
    case SC_SIZE: return CanSize(w);
    case SC_MINIMIZE: return (w->Style & WS_MINIMIZEBOX) && !w->Minimized;
    case SC_MAXIMIZE: return (w->Style & WS_MAXIMIZEBOX) && !w->Maximized;
    default: return !(w->Class->Style & CS_NOCLOSE);
  }
}

// Shows the window menu below the caption's left end and carries out the chosen command.
void TrackWindowMenu(HWND wnd) {
  TWindowRec* w = FindWindowRec(wnd);
  HMENU menu = CreatePopupMenu();
  for (const TMenuEntry& e : kWindowMenu) {
    if (!e.Text) {
      AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING | (CommandEnabled(w, e.Command) ? MF_ENABLED : MF_GRAYED);
    AppendMenu(menu, flags, e.Command, e.Text);
  }
  TFrame f = FrameOf(w->Style, w->ExStyle);
  TPoint o = WindowOrigin(w);
  UINT command = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, o.X + f.Border, o.Y + f.Border + f.Caption, 0, wnd, nullptr));
  DestroyMenu(menu);
  if (command && IsWindow(wnd)) SendMessage(wnd, WM_SYSCOMMAND, command, 0);
}

// A loop the mouse starts (the command's low bits say where it grabbed) starts from the press in
// lParam; one the keys start, from where the pointer is.
TPoint GrabPoint(WPARAM command, LPARAM lParam) {
  if (command & 0xF) return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  return WinState().CursorPos;
}

// The commands of the window menu and of the caption.
bool SysCommand(TWindowRec* w, WPARAM wParam, LPARAM lParam) {
  HWND wnd = w->Handle;
  WPARAM command = wParam & 0xFFF0;
  switch (command) {
    case SC_MOVE:
      if (!w->Parent && CanMove(w)) TSizeMoveLoop(wnd, false, 0, GrabPoint(wParam, lParam)).Run();
      return true;
    case SC_SIZE:
      if (!w->Parent && CanSize(w)) TSizeMoveLoop(wnd, true, static_cast<UINT>(wParam & 0xF), GrabPoint(wParam, lParam)).Run();
      return true;
    case SC_KEYMENU:
      if (lParam != ' ' || w->Parent || !(w->Style & WS_SYSMENU)) return false;  // the menu bar's
      TrackWindowMenu(wnd);
      return true;
    case SC_CLOSE:
      if (CommandEnabled(w, SC_CLOSE)) SendMessage(wnd, WM_CLOSE, 0, 0);
      return true;
    case SC_MINIMIZE: ShowWindow(wnd, SW_MINIMIZE); return true;
    case SC_MAXIMIZE: ShowWindow(wnd, SW_MAXIMIZE); return true;
    case SC_RESTORE: ShowWindow(wnd, SW_RESTORE); return true;
    default: return false;
  }
}

// A press at a screen point on the frame: a caption button, the caption (moving) or a border
// (sizing); false for the other parts (scroll bars, the menu bar).
bool FramePress(TWindowRec* w, WPARAM hit, LPARAM at) {
  HWND wnd = w->Handle;
  if (hit == HTCLOSE || hit == HTMINBUTTON || hit == HTMAXBUTTON) {
    TrackCaptionButton(wnd, static_cast<LRESULT>(hit));
  } else if (hit == HTCAPTION) {
    if (!w->Parent) SendMessage(wnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, at);
  } else if (IsSizingCode(hit)) {
    // A child without a sizing frame of its own answers a sizing code over a grip (a status bar's
    // corner, the box between two scroll bars): its top-level window is sized from there.
    TWindowRec* root = TopLevelOf(w);
    if (root == w || hit == HTSIZE || !(w->Style & WS_THICKFRAME))
      SendMessage(root->Handle, WM_SYSCOMMAND, SC_SIZE | SizingEdge(hit), at);
  } else {
    return false;
  }
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

TRect DefaultClientRect(DWORD style, DWORD exStyle, const TRect& r) {
  TFrame f = FrameOf(style, exStyle);
  int inset = f.Border + f.Edge;
  TRect c{r.Left + inset, r.Top + inset + f.Caption, r.Right - inset, r.Bottom - inset};
  if (style & WS_VSCROLL) c.Right -= GetSystemMetrics(SM_CXVSCROLL);
  if (style & WS_HSCROLL) c.Bottom -= GetSystemMetrics(SM_CYHSCROLL);
  c.Right = std::max(c.Right, c.Left);
  c.Bottom = std::max(c.Bottom, c.Top);
  return c;
}

LRESULT DefaultHitTest(TWindowRec* w, TPoint p) {
  if (!WindowContainsScreenPoint(w, p)) return HTNOWHERE;
  TRect client = ClientScreenRect(w);
  if (client.Contains(p)) return HTCLIENT;
  TRect win = WindowScreenRect(w);
  TFrame f = FrameOf(w->Style, w->ExStyle);
  TRect inside{win.Left + f.Border, win.Top + f.Border, win.Right - f.Border, win.Bottom - f.Border};
  if (!inside.Contains(p)) return (w->Style & WS_THICKFRAME) && !w->Maximized ? SizingCode(win, p, f.Border) : HTBORDER;
  if (f.Caption && p.Y < inside.Top + f.Caption) {
    LRESULT button = ButtonAt(w, {p.X - win.Left, p.Y - win.Top});
    return button != HTNOWHERE ? button : HTCAPTION;
  }
  bool vs = (w->Style & WS_VSCROLL) && p.X >= client.Right && p.Y >= client.Top && p.Y < client.Bottom;
  bool hs = (w->Style & WS_HSCROLL) && p.Y >= client.Bottom && p.X >= client.Left && p.X < client.Right;
  if (vs) return HTVSCROLL;
  if (hs) return HTHSCROLL;
  if ((w->Style & WS_VSCROLL) && (w->Style & WS_HSCROLL) && p.X >= client.Right && p.Y >= client.Bottom)
    return (w->Style & WS_THICKFRAME) ? HTSIZE : HTNOWHERE;
  return HTBORDER;
}

MINMAXINFO QueryMinMaxInfo(TWindowRec* w) {
  MINMAXINFO mmi;
  TRect screen = Backend().ScreenRect();
  mmi.ptMaxSize = {screen.Width(), screen.Height()};
  mmi.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  mmi.ptMaxTrackSize = {screen.Width() + 12, screen.Height() + 12};
  SendTo(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  return mmi;
}

void DrawNonClientFrame(TWindowRec* w) {
  TWindowRec* top = TopLevelOf(w);
  if (!top->Surface || !IsVisibleChain(w)) return;
  TRegionData clip = VisibleRegion(w, false, false, (w->Style & WS_CLIPSIBLINGS) != 0);
  TPoint o = SurfaceOffset(w);
  clip = clip.Subtract(TRegionData(Bounds(o.X + w->Client.Left, o.Y + w->Client.Top, w->Client.Width(), w->Client.Height())));
  if (clip.IsEmpty()) return;
  TSurface& s = *top->Surface;
  TFrame f = FrameOf(w->Style, w->ExStyle);
  if (f.Border > 0 || f.Caption) DrawBorderAndCaption(w, f, clip);
  TRect r = Bounds(o.X, o.Y, w->Rect.Width(), w->Rect.Height());
  TRect inside{r.Left + f.Border, r.Top + f.Border + f.Caption, r.Right - f.Border, r.Bottom - f.Border};
  inside.Top += PaintMenuBar(w, clip, inside);
  if (w->ExStyle & WS_EX_CLIENTEDGE) {
    FrameSurface(s, clip, inside, 1, SysPixel(COLOR_BTNSHADOW), SysPixel(COLOR_BTNHIGHLIGHT));
    FrameSurface(s, clip, {inside.Left + 1, inside.Top + 1, inside.Right - 1, inside.Bottom - 1}, 1,
                 SysPixel(COLOR_3DDKSHADOW), SysPixel(COLOR_BTNFACE));
  } else if (w->ExStyle & WS_EX_STATICEDGE) {
    FrameSurface(s, clip, inside, 1, SysPixel(COLOR_BTNSHADOW), SysPixel(COLOR_BTNHIGHLIGHT));
  }
  DrawScrollBars(w, s, clip);
  top->SurfaceDirty = true;
}

bool FrameDefProc(TWindowRec* w, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_NCLBUTTONDOWN: return FramePress(w, wParam, lParam);
    case WM_NCLBUTTONDBLCLK:
      if (wParam == HTCAPTION) {
        // A double click on the caption maximises the window, or restores it.
        if (!w->Parent && (w->Maximized || (w->Style & WS_MAXIMIZEBOX)))
          SendMessage(w->Handle, WM_SYSCOMMAND, w->Maximized ? SC_RESTORE : SC_MAXIMIZE, 0);
        return true;
      }
      return FramePress(w, wParam, lParam);  // a quick second press on a button or border is a press again
    case WM_SYSCHAR:
      if (wParam != ' ' || !(lParam & KF_ALTDOWN_BIT)) return false;
      SendMessage(TopLevelOf(w)->Handle, WM_SYSCOMMAND, SC_KEYMENU, ' ');
      return true;
    case WM_SYSCOMMAND: return SysCommand(w, wParam, lParam);
    default: return false;
  }
}
