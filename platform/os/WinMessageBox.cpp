// The message box window, its modal loop and the ways to answer it without a screen.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>

#include "platform/os/Clipboard.h"
#include "platform/os/WinDialogs.h"
#include "platform/os/Gdi.h"
#include "platform/os/WinInternal.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kBoxButtonGap = 6;
constexpr int kMaxTextWidth = 420;

struct TButtonKind {
  int Id;
  const char* Caption;
  const char* Answer;  // the name scripts use
};

const TButtonKind kButtonKinds[] = {
    {IDOK, "OK", "ok"},           {IDCANCEL, "Cancel", "cancel"},         {IDABORT, "&Abort", "abort"},
    {IDRETRY, "&Retry", "retry"}, {IDIGNORE, "&Ignore", "ignore"},         {IDYES, "&Yes", "yes"},
    {IDNO, "&No", "no"},          {IDTRYAGAIN, "&Try Again", "tryagain"}, {IDCONTINUE, "&Continue", "continue"},
};

const TButtonKind* KindOf(int id) {
  for (const TButtonKind& k : kButtonKinds)
    if (k.Id == id) return &k;
  return nullptr;
}

// The buttons of a set, left to right; empty for an unknown set.
std::vector<int> ButtonSet(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OK: return {IDOK};
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE: return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default: return {};
  }
}

int DefaultIndex(UINT type, size_t count) {
  size_t index = (type & MB_DEFMASK) >> 8;
  return static_cast<int>(index < count ? index : 0);
}

// What Esc and the close box answer; 0 when the box cannot be cancelled.
int EscapeResult(const std::vector<int>& ids) {
  for (int id : ids)
    if (id == IDCANCEL) return IDCANCEL;
  return ids.size() == 1 && ids[0] == IDOK ? IDOK : 0;
}

bool Offers(const std::vector<int>& ids, int id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); }

// ------------------------------------------------------------------ headless answers

TMessageBoxHandler& Handler() {
  static TMessageBoxHandler handler;
  return handler;
}

std::deque<String> ParseAnswers(const String& list) {
  std::deque<String> out;
  size_t start = 0;
  while (start < list.size()) {
    size_t comma = list.find(',', start);
    if (comma == String::npos) comma = list.size();
    String word = LowerCase(Trim(list.substr(start, comma - start)));
    if (!word.empty()) out.push_back(word);
    start = comma + 1;
  }
  return out;
}

// The answers still to give; a changed variable starts a new list.
std::deque<String>& ScriptAnswers() {
  static String source;
  static std::deque<String> answers;
  const char* env = std::getenv("QJ_MESSAGEBOX_ANSWERS");
  String now = env ? env : "";
  if (now != source) {
    source = now;
    answers = ParseAnswers(now);
  }
  return answers;
}

void LogAnswer(const String& text, const String& caption, int answer) {
  const char* path = std::getenv("QJ_MESSAGEBOX_LOG");
  if (!path || !*path) return;
  if (FILE* f = std::fopen(path, "a")) {
    const TButtonKind* k = KindOf(answer);
    std::fprintf(f, "%s|%s|%s\n", AnsiToUtf8(caption).c_str(), AnsiToUtf8(StringReplace(text, "\n", " ")).c_str(),
                 k ? k->Answer : "none");
    std::fclose(f);
  }
}

// The next scripted answer for a box, 0 when there is none (or it does not fit the box).
int ScriptedAnswer(const std::vector<int>& ids, UINT type) {
  auto& answers = ScriptAnswers();
  if (answers.empty()) return 0;
  String word = answers.front();
  answers.pop_front();
  if (word == "default") return ids[static_cast<size_t>(DefaultIndex(type, ids.size()))];
  for (int id : ids)
    if (word == KindOf(id)->Answer) return id;
  std::fprintf(stderr, "QJ_MESSAGEBOX_ANSWERS: \"%s\" is not a button of this message box; showing it\n", word.c_str());
  return 0;
}

int HandlerAnswer(HWND owner, const String& text, const String& caption, UINT type, const std::vector<int>& ids) {
  if (!Handler()) return 0;
  int answer = Handler()(owner, text, caption, type);
  if (answer != 0 && !Offers(ids, answer))
    throw EInvalidOperation(Format("The message box answer %d is not one of its buttons", {answer}));
  return answer;
}

// ------------------------------------------------------------------ the window

struct TBoxButton {
  int Id = 0;
  TRect Rect;
};

struct TBoxState {
  String Text, Caption;
  UINT Type = 0;
  std::vector<TBoxButton> Buttons;
  TRect TextRect;
  int Focused = 0;
  int Pressed = -1;     // the button the mouse went down on
  bool PressedIn = false;
  int Result = 0;
  int Escape = 0;
};

TBoxState* BoxStateOf(HWND wnd) { return reinterpret_cast<TBoxState*>(GetWindowLongPtr(wnd, GWLP_USERDATA)); }

void DrawIcon(HDC dc, UINT icon, int x, int y) {
  COLORREF fill = icon == MB_ICONHAND ? RGB(200, 0, 0) : icon == MB_ICONEXCLAMATION ? RGB(240, 200, 0) : RGB(0, 80, 200);
  const char* glyph = icon == MB_ICONHAND ? "X" : icon == MB_ICONEXCLAMATION ? "!" : icon == MB_ICONQUESTION ? "?" : "i";
  HBRUSH brush = CreateSolidBrush(fill);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  if (icon == MB_ICONEXCLAMATION) {
    POINT tri[3] = {{x + kIconSize / 2, y}, {x + kIconSize - 1, y + kIconSize - 1}, {x, y + kIconSize - 1}};
    Polygon(dc, tri, 3);
  } else {
    Ellipse(dc, x, y, x + kIconSize, y + kIconSize);
  }
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(brush);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, icon == MB_ICONEXCLAMATION ? RGB(0, 0, 0) : RGB(255, 255, 255));
  RECT r = Bounds(x, y + (icon == MB_ICONEXCLAMATION ? 6 : 0), kIconSize, kIconSize - (icon == MB_ICONEXCLAMATION ? 6 : 0));
  HFONT font = CreateFont(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "DejaVu Sans");
  HGDIOBJ oldFont = SelectObject(dc, font);
  DrawText(dc, glyph, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, oldFont);
  DeleteObject(font);
}

void DrawButton(HDC dc, const TBoxState& s, size_t i) {
  const TBoxButton& b = s.Buttons[i];
  RECT r = b.Rect;
  bool focused = static_cast<int>(i) == s.Focused;
  if (focused) {
    FrameRect(dc, &r, GetStockObject(BLACK_BRUSH));
    r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  }
  bool down = s.Pressed == static_cast<int>(i) && s.PressedIn;
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
  RECT text = r;
  if (down) text = {text.Left + 1, text.Top + 1, text.Right + 1, text.Bottom + 1};
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  DrawText(dc, KindOf(b.Id)->Caption, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (focused) {
    RECT focus{r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3};
    DrawFocusRect(dc, &focus);
  }
}

void PaintBox(HWND wnd, HDC dc) {
  TBoxState* s = BoxStateOf(wnd);
  if (!s) return;
  RECT client;
  GetClientRect(wnd, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  if (UINT icon = s->Type & MB_ICONMASK) DrawIcon(dc, icon, kMargin, kMargin);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  RECT text = s->TextRect;
  DrawText(dc, s->Text.c_str(), static_cast<int>(s->Text.size()), &text, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  for (size_t i = 0; i < s->Buttons.size(); ++i) DrawButton(dc, *s, i);
}

void RedrawBox(HWND wnd) { InvalidateRect(wnd, nullptr, TRUE); }

int BoxButtonAt(const TBoxState& s, TPoint p) {
  for (size_t i = 0; i < s.Buttons.size(); ++i) {
    const TRect& r = s.Buttons[i].Rect;
    if (r.Contains(p)) return static_cast<int>(i);
  }
  return -1;
}

void MoveFocus(HWND wnd, TBoxState& s, int delta) {
  int n = static_cast<int>(s.Buttons.size());
  s.Focused = ((s.Focused + delta) % n + n) % n;
  RedrawBox(wnd);
}

void PressMnemonic(TBoxState& s, BYTE ch) {
  char key = AnsiUpperCase(String(1, static_cast<char>(ch)))[0];
  if (key == 0) return;
  for (const TBoxButton& b : s.Buttons) {
    if (MnemonicOf(KindOf(b.Id)->Caption) == key) {
      s.Result = b.Id;
      return;
    }
  }
}

void KeyDown(HWND wnd, TBoxState& s, WPARAM vk) {
  bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  switch (vk) {
    case VK_TAB: MoveFocus(wnd, s, shift ? -1 : 1); break;
    case VK_LEFT:
    case VK_UP: MoveFocus(wnd, s, -1); break;
    case VK_RIGHT:
    case VK_DOWN: MoveFocus(wnd, s, 1); break;
    case VK_RETURN:
    case VK_SPACE: s.Result = s.Buttons[static_cast<size_t>(s.Focused)].Id; break;
    case VK_ESCAPE: s.Result = s.Escape; break;
    case 'C':
      if (GetKeyState(VK_CONTROL) & 0x8000) SetClipboardText(wnd, s.Caption + "\r\n\r\n" + s.Text);
      break;
    default: break;
  }
}

void Mouse(HWND wnd, TBoxState& s, UINT msg, TPoint p) {
  int at = BoxButtonAt(s, p);
  if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
    if (at < 0) return;
    s.Pressed = s.Focused = at;
    s.PressedIn = true;
    SetCapture(wnd);
  } else if (msg == WM_MOUSEMOVE) {
    if (s.Pressed < 0 || s.PressedIn == (at == s.Pressed)) return;
    s.PressedIn = at == s.Pressed;
  } else if (msg == WM_LBUTTONUP) {
    if (s.Pressed < 0) return;
    if (at == s.Pressed) s.Result = s.Buttons[static_cast<size_t>(at)].Id;
    s.Pressed = -1;
    s.PressedIn = false;
    ReleaseCapture();
  }
  RedrawBox(wnd);
}

LRESULT BoxProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TBoxState* s = BoxStateOf(wnd);
  if (!s) return DefWindowProc(wnd, msg, wParam, lParam);
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (HDC dc = BeginPaint(wnd, &ps)) {
        PaintBox(wnd, dc);
        EndPaint(wnd, &ps);
      }
      return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      KeyDown(wnd, *s, wParam);
      return msg == WM_SYSKEYDOWN ? DefWindowProc(wnd, msg, wParam, lParam) : 0;
    case WM_CHAR:
    case WM_SYSCHAR: PressMnemonic(*s, static_cast<BYTE>(wParam)); return 0;
    case WM_SYSKEYUP: return 0;  // no menu bar to enter
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: Mouse(wnd, *s, msg, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_CAPTURECHANGED:
      s->Pressed = -1;
      s->PressedIn = false;
      return 0;
    case WM_CLOSE: s->Result = s->Escape; return 0;
    default: return DefWindowProc(wnd, msg, wParam, lParam);
  }
}

// Lays out text, icon and buttons; returns the client size.
TSize LayoutBox(TBoxState& s, const std::vector<int>& ids) {
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  RECT text{0, 0, kMaxTextWidth, 0};
  DrawText(dc, s.Text.c_str(), static_cast<int>(s.Text.size()), &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  DeleteDC(dc);
  bool icon = (s.Type & MB_ICONMASK) != 0;
  int textLeft = kMargin + (icon ? kIconSize + kMargin : 0);
  int top = icon && text.Height() < kIconSize ? kMargin + (kIconSize - text.Height()) / 2 : kMargin;
  s.TextRect = Bounds(textLeft, top, text.Width(), text.Height());
  int contentBottom = std::max(s.TextRect.Bottom, icon ? kMargin + kIconSize : 0);
  int n = static_cast<int>(ids.size());
  int rowWidth = n * kButtonWidth + (n - 1) * kBoxButtonGap;
  int width = std::max(s.TextRect.Right + kMargin, rowWidth + 2 * kMargin);
  int x = (width - rowWidth) / 2, y = contentBottom + kMargin + 4;
  for (int id : ids) {
    s.Buttons.push_back({id, Bounds(x, y, kButtonWidth, kButtonHeight)});
    x += kButtonWidth + kBoxButtonGap;
  }
  return {width, y + kButtonHeight + kMargin};
}

TRect CentredOn(HWND owner, TSize size) {
  RECT area;
  if (!owner || !GetWindowRect(owner, &area)) SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0);
  RECT wa;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &wa, 0);
  int x = area.Left + (area.Width() - size.cx) / 2, y = area.Top + (area.Height() - size.cy) / 2;
  x = std::max(wa.Left, std::min(x, wa.Right - size.cx));
  y = std::max(wa.Top, std::min(y, wa.Bottom - size.cy));
  return Bounds(x, y, size.cx, size.cy);
}

// Disables the owner for the box's life and puts everything back however the loop ends.
class TModalScope {
 public:
  TModalScope(HWND owner, HWND box) : FOwner(owner), FBox(box) {
    FOwnerWasEnabled = FOwner && IsWindowEnabled(FOwner);
    if (FOwnerWasEnabled) EnableWindow(FOwner, FALSE);
  }
  ~TModalScope() {
    if (FOwnerWasEnabled && IsWindow(FOwner)) EnableWindow(FOwner, TRUE);
    if (IsWindow(FBox)) {
      SetWindowLongPtr(FBox, GWLP_USERDATA, 0);
      DestroyWindow(FBox);
    }
    if (FOwner && IsWindow(FOwner)) SetActiveWindow(FOwner);
  }
  TModalScope(const TModalScope&) = delete;
  TModalScope& operator=(const TModalScope&) = delete;

 private:
  HWND FOwner;
  HWND FBox;
  bool FOwnerWasEnabled = false;
};

int RunBox(HWND owner, const String& text, const String& caption, UINT type, const std::vector<int>& ids) {
  auto state = std::make_unique<TBoxState>();
  state->Text = text;
  state->Caption = caption;
  state->Type = type;
  state->Escape = EscapeResult(ids);
  TSize client = LayoutBox(*state, ids);
  state->Focused = DefaultIndex(type, ids.size());
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  DWORD exStyle = WS_EX_DLGMODALFRAME | ((type & (MB_TOPMOST | MB_SYSTEMMODAL)) ? WS_EX_TOPMOST : 0);
  RECT frame = Bounds(0, 0, client.cx, client.cy);
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  TRect place = CentredOn(owner, {frame.Width(), frame.Height()});
  HWND box = CreateWindowEx(exStyle, MESSAGEBOX_CLASS, caption.c_str(), style, place.Left, place.Top, place.Width(),
                            place.Height(), owner, nullptr, nullptr, nullptr);
  if (!box) return 0;
  // The system's dialog class, subclassed: the box draws and answers everything itself.
  SetWindowLongPtr(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state.get()));
  SetWindowLongPtr(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BoxProc));
  TModalScope scope(owner, box);
  ShowWindow(box, SW_SHOW);
  SetActiveWindow(box);
  SetFocus(box);
  UpdateWindow(box);
  while (!state->Result && IsWindow(box)) {
    MSG m;
    if (GetMessage(&m, nullptr, 0, 0) <= 0) {
      PostQuitMessage(static_cast<int>(m.wParam));
      return state->Escape ? state->Escape : ids[static_cast<size_t>(DefaultIndex(type, ids.size()))];
    }
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  return state->Result;
}

HWND RootOwner(HWND owner) {
  if (!owner || !IsWindow(owner)) return nullptr;
  HWND root = GetAncestor(owner, GA_ROOT);
  return root ? root : owner;
}

}  // namespace

int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  std::vector<int> ids = ButtonSet(type);
  if (ids.empty()) return 0;
  String body = text ? text : "";
  String title = caption ? caption : "Error";
  HWND root = RootOwner(owner);
  if (int answer = HandlerAnswer(root, body, title, type, ids)) return answer;
  if (int answer = ScriptedAnswer(ids, type)) {
    LogAnswer(body, title, answer);
    return answer;
  }
  return RunBox(root, body, title, type, ids);
}

TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler) {
  TMessageBoxHandler previous = std::move(Handler());
  Handler() = std::move(handler);
  return previous;
}
