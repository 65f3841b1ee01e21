// Window classes, window records behind handles, creation and destruction, relations, styles,
// window longs and text.
#include <algorithm>
#include <cstring>

#include "platform/os/Backend.h"
#include "platform/os/WinInternal.h"
#include "platform/rtl/SysUtils.h"

namespace {

String UpperName(LPCSTR name) { return UpperCase(name ? name : ""); }

bool IsAtomName(LPCSTR name) { return reinterpret_cast<uintptr_t>(name) < 0x10000; }

std::shared_ptr<TWndClassRec> FindClass(LPCSTR name) {
  if (!name || IsAtomName(name)) return nullptr;
  auto& classes = WinState().Classes;
  auto it = classes.find(UpperName(name));
  return it == classes.end() ? nullptr : it->second;
}

void RegisterSystemClasses() {
  if (WinState().Classes.count("STATIC")) return;
  for (const char* name : {"STATIC", "#32770", "Message"}) {
    auto rec = std::make_shared<TWndClassRec>();
    rec->Name = name;
    rec->Proc = DefWindowProc;
    rec->Cursor = StandardCursor(IDC_ARROW);
    WinState().Classes[UpperName(name)] = rec;
  }
  RegisterTextControlClasses();
}

}  // namespace

void RemoveFromZOrder(TWindowRec* w) {
  auto& list = w->Parent ? w->Parent->Children : WinState().TopLevels;
  list.erase(std::remove(list.begin(), list.end(), w), list.end());
}

// Top-most windows stay above the others; within each band the position follows `after`.
void InsertIntoZOrder(TWindowRec* w, HWND after) {
  auto& list = w->Parent ? w->Parent->Children : WinState().TopLevels;
  RemoveFromZOrder(w);
  bool topmost = !w->Parent && (w->ExStyle & WS_EX_TOPMOST);
  auto bandBegin = list.begin();
  auto bandEnd = list.end();
  if (!w->Parent) {
    auto firstNormal = std::find_if(list.begin(), list.end(),
                                    [](TWindowRec* o) { return !(o->ExStyle & WS_EX_TOPMOST); });
    if (topmost)
      bandEnd = firstNormal;
    else
      bandBegin = firstNormal;
  }
  auto pos = bandBegin;
  if (after == HWND_BOTTOM) {
    pos = bandEnd;
  } else if (after != HWND_TOP && after != HWND_TOPMOST && after != HWND_NOTOPMOST) {
    auto it = std::find_if(bandBegin, bandEnd, [&](TWindowRec* o) { return o->Handle == after; });
    if (it != bandEnd) pos = it + 1;
  }
  list.insert(pos, w);
}

namespace {

TPoint DefaultTopLevelPosition() {
  static int cascade = 0;
  TRect work = Backend().WorkArea();
  int step = (cascade++ % 8) * 24;
  return {work.Left + 32 + step, work.Top + 32 + step};
}

void NotifyParents(TWindowRec* w, WORD event) {
  if (!w->Parent || (w->ExStyle & WS_EX_NOPARENTNOTIFY)) return;
  HWND child = w->Handle;
  for (TWindowRec* p = w->Parent; p; p = p->Parent) {
    SendTo(p, WM_PARENTNOTIFY, MAKEWPARAM(event, static_cast<WORD>(w->Id)), reinterpret_cast<LPARAM>(child));
    if (!p->Parent || (p->ExStyle & WS_EX_NOPARENTNOTIFY)) break;
  }
}

bool SendCreateMessages(TWindowRec* w, CREATESTRUCT& cs) {
  HWND h = w->Handle;
  if (!w->Parent && (w->Style & (WS_THICKFRAME | WS_CAPTION))) {
    QueryMinMaxInfo(w);
    if (!FindWindowRec(h)) return false;
  }
  if (!SendTo(w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) || !FindWindowRec(h)) return false;
  RecalcClientRect(w, w->Rect, nullptr);
  if (!FindWindowRec(h)) return false;
  if (SendTo(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1 || !FindWindowRec(h)) return false;
  SendTo(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(w->Client.Width()), static_cast<WORD>(w->Client.Height())));
  if (!FindWindowRec(h)) return false;
  TPoint c{w->Rect.Left + w->Client.Left, w->Rect.Top + w->Client.Top};
  SendTo(w, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(c.X), static_cast<WORD>(c.Y)));
  if (!FindWindowRec(h)) return false;
  NotifyParents(w, WM_PARENTNOTIFY_CREATE);
  return FindWindowRec(h) != nullptr;
}

void CollectSubtree(TWindowRec* w, std::vector<PWindowRec>& out) {
  out.push_back(KeepWindowRec(w->Handle));
  for (TWindowRec* c : w->Children) CollectSubtree(c, out);
}

void SendDestroyTopDown(TWindowRec* w) {
  HWND h = w->Handle;
  SendTo(w, WM_DESTROY, 0, 0);
  if (!FindWindowRec(h)) return;
  std::vector<HWND> children;
  for (TWindowRec* c : w->Children) children.push_back(c->Handle);
  for (HWND c : children)
    if (TWindowRec* cr = FindWindowRec(c)) SendDestroyTopDown(cr);
}

void ForgetWindow(TWindowRec* w) {
  auto& st = WinState();
  std::vector<HWND> children;
  for (TWindowRec* c : w->Children) children.push_back(c->Handle);
  for (HWND c : children)
    if (TWindowRec* cr = FindWindowRec(c)) ForgetWindow(cr);
  SendTo(w, WM_NCDESTROY, 0, 0);
  KillWindowTimers(w->Handle);
  RemoveFromZOrder(w);
  if (!w->Parent) Backend().DestroyNative(w->Handle);
  for (auto& [h, other] : st.Windows)
    if (other->Owner == w) other->Owner = nullptr;
  RemoveWindowMessages(w->Handle);
  if (w->Class) --w->Class->WindowCount;
  w->Destroyed = true;
  w->Children.clear();
  st.Windows.erase(w->Handle);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Handle table

TWindowRec* FindWindowRec(HWND wnd) {
  if (!wnd) return nullptr;
  auto& windows = WinState().Windows;
  auto it = windows.find(wnd);
  return it == windows.end() || it->second->Destroyed ? nullptr : it->second.get();
}

PWindowRec KeepWindowRec(HWND wnd) {
  auto& windows = WinState().Windows;
  auto it = windows.find(wnd);
  return it == windows.end() ? nullptr : it->second;
}

TWindowRec* TopLevelOf(TWindowRec* w) {
  while (w && w->Parent) w = w->Parent;
  return w;
}

bool IsDescendant(const TWindowRec* ancestor, const TWindowRec* w) {
  for (const TWindowRec* p = w ? w->Parent : nullptr; p; p = p->Parent)
    if (p == ancestor) return true;
  return false;
}

bool IsVisibleChain(const TWindowRec* w) {
  for (; w; w = w->Parent)
    if (!w->Visible()) return false;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Classes

ATOM RegisterClassEx(const WNDCLASSEX* wc) {
  RegisterSystemClasses();
  if (!wc || !wc->lpszClassName || IsAtomName(wc->lpszClassName) || !*wc->lpszClassName || !wc->lpfnWndProc)
    return 0;
  auto& classes = WinState().Classes;
  String key = UpperName(wc->lpszClassName);
  if (classes.count(key)) return 0;
  auto rec = std::make_shared<TWndClassRec>();
  rec->Name = wc->lpszClassName;
  rec->Style = wc->style;
  rec->Proc = wc->lpfnWndProc;
  rec->Cursor = wc->hCursor;
  rec->Background = wc->hbrBackground;
  rec->Instance = wc->hInstance;
  classes[key] = rec;
  return static_cast<ATOM>(0xC000 + classes.size());
}

BOOL UnregisterClass(LPCSTR className, HINSTANCE) {
  auto rec = FindClass(className);
  if (!rec || rec->WindowCount > 0) return FALSE;
  WinState().Classes.erase(UpperName(className));
  return TRUE;
}

BOOL GetClassInfoEx(HINSTANCE, LPCSTR className, WNDCLASSEX* wc) {
  RegisterSystemClasses();
  auto rec = FindClass(className);
  if (!rec || !wc) return FALSE;
  wc->style = rec->Style;
  wc->lpfnWndProc = rec->Proc;
  wc->hCursor = rec->Cursor;
  wc->hbrBackground = rec->Background;
  wc->hInstance = rec->Instance;
  wc->lpszClassName = rec->Name.c_str();
  return TRUE;
}

String GetClassName(HWND wnd) {
  TWindowRec* w = FindWindowRec(wnd);
  return w ? w->Class->Name : String();
}

int GetClassName(HWND wnd, char* buffer, int maxCount) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || !buffer || maxCount <= 0) return 0;
  int n = std::min<int>(maxCount - 1, static_cast<int>(w->Class->Name.size()));
  std::memcpy(buffer, w->Class->Name.data(), static_cast<size_t>(n));
  buffer[n] = 0;
  return n;
}

ULONG_PTR GetClassLongPtr(HWND wnd, int index) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w) return 0;
  switch (index) {
    case GCL_STYLE: return w->Class->Style;
    case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(w->Class->Proc);
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(w->Class->Cursor);
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(w->Class->Background);
    default: return 0;
  }
}

ULONG_PTR SetClassLongPtr(HWND wnd, int index, LONG_PTR value) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w) return 0;
  ULONG_PTR old = GetClassLongPtr(wnd, index);
  switch (index) {
    case GCL_STYLE: w->Class->Style = static_cast<UINT>(value); break;
    case GCLP_WNDPROC:
      if (!value) return 0;
      w->Class->Proc = reinterpret_cast<WNDPROC>(value);
      break;
    case GCLP_HCURSOR: w->Class->Cursor = reinterpret_cast<HCURSOR>(value); break;
    case GCLP_HBRBACKGROUND: w->Class->Background = reinterpret_cast<HBRUSH>(value); break;
    default: return 0;
  }
  return old;
}

// ---------------------------------------------------------------------------------------------
// Creation and destruction

HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) {
  RegisterSystemClasses();
  auto cls = FindClass(className);
  if (!cls) return nullptr;
  auto& st = WinState();
  bool child = (style & WS_CHILD) != 0;
  bool messageOnly = parent == HWND_MESSAGE;
  TWindowRec* parentRec = messageOnly ? nullptr : FindWindowRec(parent);
  if (child && !parentRec) return nullptr;
  if (!child && parent && !messageOnly && !parentRec) return nullptr;

  auto rec = std::make_shared<TWindowRec>();
  TWindowRec* w = rec.get();
  w->Handle = reinterpret_cast<HWND>(st.NextHandle);
  st.NextHandle += 4;
  w->Class = cls;
  w->Proc = cls->Proc;
  bool wantVisible = (style & WS_VISIBLE) != 0;
  w->Style = style & ~WS_VISIBLE;
  w->ExStyle = exStyle;
  w->Text = windowName ? windowName : "";
  w->Instance = instance;
  if (child) {
    w->Parent = parentRec;
    w->Id = reinterpret_cast<LONG_PTR>(menu);
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) width = height = 0;
  } else {
    w->Owner = TopLevelOf(parentRec);
    if (!(style & WS_POPUP)) {
      w->Style |= WS_CLIPSIBLINGS | WS_CAPTION;
      w->ExStyle |= WS_EX_WINDOWEDGE;
    }
    if (x == CW_USEDEFAULT) {
      TPoint p = DefaultTopLevelPosition();
      x = p.X;
      y = p.Y;
    }
    if (width == CW_USEDEFAULT) {
      width = 640;
      height = 480;
    }
  }
  w->Rect = Bounds(x, y, std::max(0, width), std::max(0, height));
  w->NormalRect = w->Rect;
  w->Client = Rect(0, 0, w->Rect.Width(), w->Rect.Height());
  st.Windows[w->Handle] = rec;
  ++cls->WindowCount;
  if (!messageOnly) InsertIntoZOrder(w, child ? HWND_BOTTOM : HWND_TOP);
  if (!child) EnsureSurface(w);

  CREATESTRUCT cs;
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menu;
  cs.hwndParent = parent;
  cs.x = x;
  cs.y = y;
  cs.cx = width;
  cs.cy = height;
  cs.style = static_cast<LONG>(style);
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;
  HWND h = w->Handle;
  if (!SendCreateMessages(w, cs)) {
    if (FindWindowRec(h)) DestroyWindow(h);
    return nullptr;
  }
  if (wantVisible) ShowWindow(h, SW_SHOW);
  return FindWindowRec(h) ? h : nullptr;
}

BOOL DestroyWindow(HWND wnd) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || w->Destroying) return FALSE;
  PWindowRec keep = KeepWindowRec(wnd);
  w->Destroying = true;
  std::vector<HWND> owned;
  for (TWindowRec* o : WinState().TopLevels)
    if (o->Owner == w) owned.push_back(o->Handle);
  for (HWND o : owned) DestroyWindow(o);
  if (w->Parent) NotifyParents(w, WM_PARENTNOTIFY_DESTROY);
  if (w->Visible())
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  std::vector<PWindowRec> subtree;
  CollectSubtree(w, subtree);
  for (auto& r : subtree)
    if (!r->Destroyed) WindowGoingAway(r.get());
  SendDestroyTopDown(w);
  if (!w->Destroyed) ForgetWindow(w);
  return TRUE;
}

BOOL IsWindow(HWND wnd) { return FindWindowRec(wnd) ? TRUE : FALSE; }

BOOL IsWindowVisible(HWND wnd) {
  TWindowRec* w = FindWindowRec(wnd);
  return w && IsVisibleChain(w) ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND wnd) {
  TWindowRec* w = FindWindowRec(wnd);
  return w && w->Enabled() ? TRUE : FALSE;
}

BOOL EnableWindow(HWND wnd, BOOL enable) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w) return FALSE;
  BOOL wasDisabled = w->Enabled() ? FALSE : TRUE;
  if ((enable != FALSE) == !wasDisabled) return wasDisabled;
  if (enable) {
    w->Style &= ~WS_DISABLED;
  } else {
    w->Style |= WS_DISABLED;
    auto& st = WinState();
    TWindowRec* focus = FindWindowRec(st.Focus);
    if (focus && (focus == w || IsDescendant(w, focus))) SetFocus(nullptr);
    if (st.Capture == wnd) ReleaseCapture();
  }
  if (FindWindowRec(wnd)) SendTo(w, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled;
}

BOOL IsChild(HWND parent, HWND wnd) {
  TWindowRec* p = FindWindowRec(parent);
  TWindowRec* w = FindWindowRec(wnd);
  return p && w && IsDescendant(p, w) ? TRUE : FALSE;
}

BOOL IsIconic(HWND wnd) {
  TWindowRec* w = FindWindowRec(wnd);
  return w && w->Minimized ? TRUE : FALSE;
}

BOOL IsZoomed(HWND wnd) {
  TWindowRec* w = FindWindowRec(wnd);
  return w && w->Maximized ? TRUE : FALSE;
}

// ---------------------------------------------------------------------------------------------
// Relations

HWND GetParent(HWND wnd) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w) return nullptr;
  if (w->Parent) return w->Parent->Handle;
  return w->Owner && (w->Style & WS_POPUP) ? w->Owner->Handle : nullptr;
}

HWND SetParent(HWND wnd, HWND newParent) {
  TWindowRec* w = FindWindowRec(wnd);
  TWindowRec* p = FindWindowRec(newParent);
  if (!w || (newParent && !p) || p == w || (p && IsDescendant(w, p))) return nullptr;
  HWND old = w->Parent ? w->Parent->Handle : GetDesktopWindow();
  bool visible = w->Visible();
  if (visible)
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (!FindWindowRec(wnd)) return nullptr;
  // The window keeps its coordinates, now relative to the new parent, as on the platform.
  RemoveFromZOrder(w);
  if (!w->Parent) {
    Backend().DestroyNative(wnd);
    w->Surface.reset();
  }
  w->Parent = p;
  if (p) {
    w->Owner = nullptr;
    InsertIntoZOrder(w, HWND_TOP);
  } else {
    InsertIntoZOrder(w, HWND_TOP);
    EnsureSurface(w);
  }
  if (visible) ShowWindow(wnd, p ? SW_SHOWNA : SW_SHOWNOACTIVATE);
  return old;
}

HWND GetAncestor(HWND wnd, UINT flags) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w) return nullptr;
  switch (flags) {
    case GA_PARENT: return w->Parent ? w->Parent->Handle : GetDesktopWindow();
    case GA_ROOT: return TopLevelOf(w)->Handle;
    case GA_ROOTOWNER: {
      TWindowRec* r = TopLevelOf(w);
      while (r->Owner) r = r->Owner;
      return r->Handle;
    }
    default: return nullptr;
  }
}

HWND GetWindow(HWND wnd, UINT cmd) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w) return nullptr;
  auto& siblings = w->Parent ? w->Parent->Children : WinState().TopLevels;
  auto it = std::find(siblings.begin(), siblings.end(), w);
  switch (cmd) {
    case GW_HWNDFIRST: return siblings.empty() ? nullptr : siblings.front()->Handle;
    case GW_HWNDLAST: return siblings.empty() ? nullptr : siblings.back()->Handle;
    case GW_HWNDNEXT: return it != siblings.end() && it + 1 != siblings.end() ? (*(it + 1))->Handle : nullptr;
    case GW_HWNDPREV: return it != siblings.end() && it != siblings.begin() ? (*(it - 1))->Handle : nullptr;
    case GW_OWNER: return w->Owner ? w->Owner->Handle : nullptr;
    case GW_CHILD: return w->Children.empty() ? nullptr : w->Children.front()->Handle;
    case GW_ENABLEDPOPUP:
      for (TWindowRec* o : WinState().TopLevels)
        if (o->Owner == w && o->Visible() && o->Enabled()) return o->Handle;
      return nullptr;
    default: return nullptr;
  }
}

HWND GetTopWindow(HWND wnd) {
  if (!wnd) return WinState().TopLevels.empty() ? nullptr : WinState().TopLevels.front()->Handle;
  return GetWindow(wnd, GW_CHILD);
}

HWND GetDesktopWindow() { return nullptr; }

HWND GetLastActivePopup(HWND owner) {
  TWindowRec* w = FindWindowRec(owner);
  if (!w) return nullptr;
  TWindowRec* active = FindWindowRec(WinState().Active);
  return active && active->Owner == w ? active->Handle : owner;
}

HWND GetDlgItem(HWND parent, int id) {
  TWindowRec* p = FindWindowRec(parent);
  if (!p) return nullptr;
  for (TWindowRec* c : p->Children)
    if (c->Id == id) return c->Handle;
  return nullptr;
}

int GetDlgCtrlID(HWND wnd) {
  TWindowRec* w = FindWindowRec(wnd);
  return w && w->Parent ? static_cast<int>(w->Id) : 0;
}

namespace {
BOOL EnumList(const std::vector<TWindowRec*>& list, WNDENUMPROC proc, LPARAM param, bool recurse) {
  std::vector<HWND> handles;
  for (TWindowRec* w : list) handles.push_back(w->Handle);
  for (HWND h : handles) {
    TWindowRec* w = FindWindowRec(h);
    if (!w) continue;
    if (!proc(h, param)) return FALSE;
    if (recurse && (w = FindWindowRec(h)) && !EnumList(w->Children, proc, param, true)) return FALSE;
  }
  return TRUE;
}
}  // namespace

BOOL EnumWindows(WNDENUMPROC proc, LPARAM param) {
  if (!proc) return FALSE;
  EnumList(WinState().TopLevels, proc, param, false);
  return TRUE;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param) {
  TWindowRec* p = FindWindowRec(parent);
  if (!proc) return FALSE;
  EnumList(p ? p->Children : WinState().TopLevels, proc, param, p != nullptr);
  return TRUE;
}

BOOL EnumThreadWindows(DWORD, WNDENUMPROC proc, LPARAM param) { return EnumWindows(proc, param); }

// ---------------------------------------------------------------------------------------------
// Window longs, properties, text

LONG_PTR GetWindowLongPtr(HWND wnd, int index) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w) return 0;
  switch (index) {
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(w->Proc);
    case GWL_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->Instance);
    case GWL_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->Parent ? w->Parent->Handle : w->Owner ? w->Owner->Handle : nullptr);
    case GWL_ID: return w->Id;
    case GWL_STYLE: return static_cast<LONG_PTR>(w->Style);
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(w->ExStyle);
    case GWL_USERDATA: return w->UserData;
    default: return 0;
  }
}

namespace {
void ChangeStyle(TWindowRec* w, int index, DWORD value) {
  struct {
    DWORD styleOld, styleNew;
  } ss{index == GWL_STYLE ? w->Style : w->ExStyle, value};
  HWND h = w->Handle;
  SendTo(w, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
  if (!(w = FindWindowRec(h))) return;
  // Changing WS_VISIBLE through the long changes the flag only, as on the platform.
  (index == GWL_STYLE ? w->Style : w->ExStyle) = ss.styleNew;
  SendTo(w, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
}
}  // namespace

LONG_PTR SetWindowLongPtr(HWND wnd, int index, LONG_PTR value) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w) return 0;
  LONG_PTR old = GetWindowLongPtr(wnd, index);
  switch (index) {
    case GWL_WNDPROC:
      if (!value) return 0;
      w->Proc = reinterpret_cast<WNDPROC>(value);
      break;
    case GWL_HINSTANCE: w->Instance = reinterpret_cast<HINSTANCE>(value); break;
    case GWL_HWNDPARENT:
      if (!w->Parent) {
        TWindowRec* owner = FindWindowRec(reinterpret_cast<HWND>(value));
        if (value && !owner) return 0;
        if (owner && TopLevelOf(owner) == w) return 0;
        w->Owner = TopLevelOf(owner);
      }
      break;
    case GWL_ID: w->Id = value; break;
    case GWL_STYLE:
    case GWL_EXSTYLE: ChangeStyle(w, index, static_cast<DWORD>(value)); break;
    case GWL_USERDATA: w->UserData = value; break;
    default: return 0;
  }
  return old;
}

LONG GetWindowLong(HWND wnd, int index) { return static_cast<LONG>(GetWindowLongPtr(wnd, index)); }

LONG SetWindowLong(HWND wnd, int index, LONG value) {
  if (index == GWL_STYLE || index == GWL_EXSTYLE)
    return static_cast<LONG>(SetWindowLongPtr(wnd, index, static_cast<LONG_PTR>(static_cast<DWORD>(value))));
  return static_cast<LONG>(SetWindowLongPtr(wnd, index, value));
}

BOOL SetProp(HWND wnd, LPCSTR name, void* data) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || !name) return FALSE;
  w->Props[UpperName(name)] = data;
  return TRUE;
}

void* GetProp(HWND wnd, LPCSTR name) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || !name) return nullptr;
  auto it = w->Props.find(UpperName(name));
  return it == w->Props.end() ? nullptr : it->second;
}

void* RemoveProp(HWND wnd, LPCSTR name) {
  void* data = GetProp(wnd, name);
  if (TWindowRec* w = FindWindowRec(wnd); w && name) w->Props.erase(UpperName(name));
  return data;
}

int GetWindowText(HWND wnd, char* buffer, int maxCount) {
  if (!FindWindowRec(wnd) || !buffer || maxCount <= 0) return 0;
  return static_cast<int>(SendMessage(wnd, WM_GETTEXT, static_cast<WPARAM>(maxCount), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND wnd) {
  return FindWindowRec(wnd) ? static_cast<int>(SendMessage(wnd, WM_GETTEXTLENGTH, 0, 0)) : 0;
}

String GetWindowText(HWND wnd) {
  int n = GetWindowTextLength(wnd);
  if (n <= 0) return String();
  String s(static_cast<size_t>(n) + 1, '\0');
  n = GetWindowText(wnd, s.data(), n + 1);
  s.resize(static_cast<size_t>(std::max(0, n)));
  return s;
}

BOOL SetWindowText(HWND wnd, LPCSTR text) {
  if (!FindWindowRec(wnd)) return FALSE;
  return SendMessage(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}
