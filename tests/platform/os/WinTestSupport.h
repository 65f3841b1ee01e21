// Fixture for window-system tests: a clean headless window system, test window classes whose
// procedure records every message, and helpers to pump the queue and read the record.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/os/Backend.h"
#include "platform/os/Windows.h"
#include "support/IdleScript.h"

struct TLoggedMsg {
  HWND Wnd;
  UINT Msg;
  WPARAM W;
  LPARAM L;
};

// Answers a message instead of DefWindowProc when it returns true.
using TMsgHandler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;

inline std::vector<TLoggedMsg>& MsgLog() {
  static std::vector<TLoggedMsg> log;
  return log;
}

inline TMsgHandler& MsgHandler() {
  static TMsgHandler handler;
  return handler;
}

inline LRESULT RecordingProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
  MsgLog().push_back({wnd, msg, w, l});
  LRESULT result = 0;
  if (MsgHandler() && MsgHandler()(wnd, msg, w, l, result)) return result;
  return DefWindowProc(wnd, msg, w, l);
}

inline std::string MsgName(UINT m) {
  static const std::map<UINT, std::string> names = {
      {WM_NULL, "NULL"}, {WM_CREATE, "CREATE"}, {WM_DESTROY, "DESTROY"}, {WM_MOVE, "MOVE"}, {WM_SIZE, "SIZE"},
      {WM_ACTIVATE, "ACTIVATE"}, {WM_SETFOCUS, "SETFOCUS"}, {WM_KILLFOCUS, "KILLFOCUS"},
      {WM_PAINT, "PAINT"}, {WM_CLOSE, "CLOSE"}, {WM_ERASEBKGND, "ERASEBKGND"},
      {WM_SHOWWINDOW, "SHOWWINDOW"}, {WM_ACTIVATEAPP, "ACTIVATEAPP"}, {WM_SETCURSOR, "SETCURSOR"},
      {WM_MOUSEACTIVATE, "MOUSEACTIVATE"}, {WM_GETMINMAXINFO, "GETMINMAXINFO"},
      {WM_WINDOWPOSCHANGING, "POSCHANGING"}, {WM_WINDOWPOSCHANGED, "POSCHANGED"},
      {WM_NCCREATE, "NCCREATE"}, {WM_NCDESTROY, "NCDESTROY"}, {WM_NCCALCSIZE, "NCCALCSIZE"},
      {WM_NCHITTEST, "NCHITTEST"}, {WM_NCPAINT, "NCPAINT"}, {WM_NCACTIVATE, "NCACTIVATE"},
      {WM_KEYDOWN, "KEYDOWN"}, {WM_KEYUP, "KEYUP"}, {WM_CHAR, "CHAR"}, {WM_SYSKEYDOWN, "SYSKEYDOWN"},
      {WM_SYSKEYUP, "SYSKEYUP"}, {WM_SYSCHAR, "SYSCHAR"}, {WM_TIMER, "TIMER"},
      {WM_MOUSEMOVE, "MOUSEMOVE"}, {WM_LBUTTONDOWN, "LBUTTONDOWN"}, {WM_LBUTTONUP, "LBUTTONUP"},
      {WM_LBUTTONDBLCLK, "LBUTTONDBLCLK"}, {WM_RBUTTONDOWN, "RBUTTONDOWN"}, {WM_RBUTTONUP, "RBUTTONUP"},
      {WM_NCLBUTTONDOWN, "NCLBUTTONDOWN"}, {WM_NCLBUTTONUP, "NCLBUTTONUP"}, {WM_NCLBUTTONDBLCLK, "NCLBUTTONDBLCLK"},
      {WM_NCMOUSEMOVE, "NCMOUSEMOVE"}, {WM_MOUSEWHEEL, "MOUSEWHEEL"}, {WM_CAPTURECHANGED, "CAPTURECHANGED"},
      {WM_MOUSELEAVE, "MOUSELEAVE"}, {WM_MOUSEHOVER, "MOUSEHOVER"}, {WM_PARENTNOTIFY, "PARENTNOTIFY"},
      {WM_CONTEXTMENU, "CONTEXTMENU"}, {WM_USER + 1, "USER+1"}, {WM_USER + 2, "USER+2"}, {WM_USER + 3, "USER+3"},
      {WM_SETTINGCHANGE, "SETTINGCHANGE"}, {WM_SYSCOLORCHANGE, "SYSCOLORCHANGE"}, {WM_THEMECHANGED, "THEMECHANGED"},
      {WM_CANCELMODE, "CANCELMODE"}, {WM_ENABLE, "ENABLE"}, {WM_STYLECHANGING, "STYLECHANGING"},
      {WM_STYLECHANGED, "STYLECHANGED"}, {WM_SYSCOMMAND, "SYSCOMMAND"}};
  auto it = names.find(m);
  return it == names.end() ? std::to_string(m) : it->second;
}

class TWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Headless::Reset();
    if (std::string(Backend().Name()) != "headless") SetBackend(CreateHeadlessBackend());
    Headless::SetThreadWait(0);
    MsgLog().clear();
    MsgHandler() = nullptr;
    RegisterClass("QJDbl", CS_DBLCLKS);
    RegisterClass("QJPlain", 0);
  }
  void TearDown() override {
    MsgHandler() = nullptr;
    Headless::Reset();
  }

  static void RegisterClass(const char* name, UINT style) {
    WNDCLASSEX wc;
    wc.style = style;
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = name;
    wc.hCursor = LoadCursor(nullptr, MAKEINTRESOURCE(IDC_ARROW));
    ASSERT_NE(RegisterClassEx(&wc), 0);
  }

  static HWND Top(int x, int y, int w, int h, DWORD style = WS_POPUP | WS_VISIBLE, DWORD ex = 0, const char* cls = "QJDbl") {
    return CreateWindowEx(ex, cls, "top", style, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
  }

  static HWND Child(HWND parent, int x, int y, int w, int h, DWORD style = WS_CHILD | WS_VISIBLE, DWORD ex = 0,
                    const char* cls = "QJDbl", int id = 0) {
    return CreateWindowEx(ex, cls, "child", style, x, y, w, h, parent, reinterpret_cast<HMENU>(static_cast<intptr_t>(id)),
                          nullptr, nullptr);
  }

  // Dispatches everything queued, with translation; returns the number of messages handled.
  static int Pump() {
    MSG m;
    int n = 0;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE) && n < 10000) {
      if (m.message == WM_QUIT) break;
      TranslateMessage(&m);
      DispatchMessage(&m);
      ++n;
    }
    return n;
  }

  // Names of the recorded messages of one window (all windows when wnd is null), skipping the
  // ones in `skip`.
  static std::vector<std::string> Names(HWND wnd = nullptr, const std::set<UINT>& skip = {}) {
    std::vector<std::string> out;
    for (const TLoggedMsg& m : MsgLog())
      if ((!wnd || m.Wnd == wnd) && !skip.count(m.Msg)) out.push_back(MsgName(m.Msg));
    return out;
  }

  // Names of only the listed messages, in order, with the window tagged by `tags`.
  static std::vector<std::string> Only(const std::set<UINT>& keep, const std::map<HWND, std::string>& tags = {}) {
    std::vector<std::string> out;
    for (const TLoggedMsg& m : MsgLog()) {
      if (!keep.count(m.Msg)) continue;
      auto t = tags.find(m.Wnd);
      out.push_back((t == tags.end() ? std::string() : t->second + ":") + MsgName(m.Msg));
    }
    return out;
  }

  static const TLoggedMsg* Last(UINT msg, HWND wnd = nullptr) {
    for (auto it = MsgLog().rbegin(); it != MsgLog().rend(); ++it)
      if (it->Msg == msg && (!wnd || it->Wnd == wnd)) return &*it;
    return nullptr;
  }

  static int Count(UINT msg, HWND wnd = nullptr) {
    int n = 0;
    for (const TLoggedMsg& m : MsgLog()) n += m.Msg == msg && (!wnd || m.Wnd == wnd);
    return n;
  }
};

using TStrings = std::vector<std::string>;
