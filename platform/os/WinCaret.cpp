// The caret (an inverted rectangle in the owner's client area, blinking under the clock) and
// mouse cursors (standard shapes and cursors made from pixels).
#include <algorithm>
#include <map>
#include <memory>

#include "platform/os/Backend.h"
#include "platform/os/WinInternal.h"

namespace {

struct TCursorRec {
  uintptr_t Shape = 0;  // IDC_ id of a standard cursor, 0 for a custom one
  int Width = 0, Height = 0, HotX = 0, HotY = 0;
  std::vector<uint32_t> Pixels;
  std::vector<bool> Opaque;
};

struct TCursorTable {
  std::map<HCURSOR, std::unique_ptr<TCursorRec>> Cursors;
  std::map<uintptr_t, HCURSOR> Standard;
  uintptr_t Next = 0x20000;
};

TCursorTable& Cursors() {
  static TCursorTable table;
  return table;
}

const uintptr_t kStandardIds[] = {IDC_ARROW,  IDC_IBEAM,  IDC_WAIT,   IDC_CROSS,   IDC_UPARROW,
                                  IDC_SIZENWSE, IDC_SIZENESW, IDC_SIZEWE, IDC_SIZENS, IDC_SIZEALL,
                                  IDC_NO,     IDC_HAND,   IDC_APPSTARTING, IDC_HELP};

HCURSOR AddCursor(std::unique_ptr<TCursorRec> rec) {
  auto& t = Cursors();
  auto h = reinterpret_cast<HCURSOR>(t.Next);
  t.Next += 4;
  t.Cursors[h] = std::move(rec);
  return h;
}

// Inverts the caret rectangle where the owner may draw.
void InvertCaret() {
  auto& c = WinState().Caret;
  TWindowRec* w = FindWindowRec(c.Wnd);
  if (!w) return;
  TWindowRec* top = TopLevelOf(w);
  if (!top->Surface) return;
  TPoint o = SurfaceOffset(w);
  TRect r = Bounds(o.X + w->Client.Left + c.Pos.X, o.Y + w->Client.Top + c.Pos.Y, c.Width, c.Height);
  TRegionData area = VisibleRegion(w, true, (w->Style & WS_CLIPCHILDREN) != 0, (w->Style & WS_CLIPSIBLINGS) != 0)
                         .Intersect(TRegionData(r));
  for (const TRect& band : area.Rects())
    ForDevicePixels(*top->Surface, band, [](uint32_t& px, Integer, Integer) { px ^= 0x00FFFFFF; });
  top->SurfaceDirty = true;
}

void EraseCaret() {
  auto& c = WinState().Caret;
  if (c.Drawn) {
    InvertCaret();
    c.Drawn = false;
  }
}

void RestartBlink() {
  auto& c = WinState().Caret;
  c.NextBlink = GetTickCount() + c.BlinkTime;
}

}  // namespace

void ToggleCaretPixels() {
  auto& c = WinState().Caret;
  InvertCaret();
  c.Drawn = !c.Drawn;
}

void CaretBeforePaint(TWindowRec* w) {
  if (WinState().Caret.Wnd == w->Handle) HideCaret(w->Handle);
}

void CaretAfterPaint(TWindowRec* w) {
  if (WinState().Caret.Wnd == w->Handle) ShowCaret(w->Handle);
}

BOOL CreateCaret(HWND wnd, HBITMAP, int width, int height) {
  if (!FindWindowRec(wnd)) return FALSE;
  DestroyCaret();
  auto& c = WinState().Caret;
  c.Wnd = wnd;
  c.Width = width > 0 ? width : GetSystemMetrics(SM_CXBORDER);
  c.Height = height > 0 ? height : GetSystemMetrics(SM_CYBORDER);
  c.Pos = {};
  c.HideCount = 1;
  c.Drawn = false;
  return TRUE;
}

BOOL DestroyCaret() {
  auto& c = WinState().Caret;
  if (!c.Wnd) return FALSE;
  EraseCaret();
  UINT blink = c.BlinkTime;
  c = TCaretState();
  c.BlinkTime = blink;
  return TRUE;
}

BOOL ShowCaret(HWND wnd) {
  auto& c = WinState().Caret;
  if (!c.Wnd || (wnd && wnd != c.Wnd)) return FALSE;
  if (c.HideCount > 0 && --c.HideCount == 0) {
    ToggleCaretPixels();
    RestartBlink();
  }
  return TRUE;
}

BOOL HideCaret(HWND wnd) {
  auto& c = WinState().Caret;
  if (!c.Wnd || (wnd && wnd != c.Wnd)) return FALSE;
  if (c.HideCount++ == 0) EraseCaret();
  return TRUE;
}

BOOL SetCaretPos(int x, int y) {
  auto& c = WinState().Caret;
  if (!c.Wnd) return FALSE;
  EraseCaret();
  c.Pos = {x, y};
  if (c.HideCount == 0) {
    ToggleCaretPixels();
    RestartBlink();
  }
  return TRUE;
}

BOOL GetCaretPos(LPPOINT point) {
  auto& c = WinState().Caret;
  if (!point || !c.Wnd) return FALSE;
  *point = c.Pos;
  return TRUE;
}

UINT GetCaretBlinkTime() { return WinState().Caret.BlinkTime; }

BOOL SetCaretBlinkTime(UINT ms) {
  WinState().Caret.BlinkTime = ms;
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Cursors

HCURSOR StandardCursor(uintptr_t id) {
  auto& t = Cursors();
  auto it = t.Standard.find(id);
  if (it != t.Standard.end()) return it->second;
  bool known = false;
  for (uintptr_t s : kStandardIds) known |= s == id;
  if (!known) return nullptr;
  auto rec = std::make_unique<TCursorRec>();
  rec->Shape = id;
  rec->Width = rec->Height = 32;
  HCURSOR h = AddCursor(std::move(rec));
  t.Standard[id] = h;
  return h;
}

HCURSOR LoadCursor(HINSTANCE, LPCSTR name) {
  auto id = reinterpret_cast<uintptr_t>(name);
  return id < 0x10000 ? StandardCursor(id) : nullptr;
}

HCURSOR CreateCursorFromPixels(int width, int height, const uint32_t* pixels, const bool* opaque, int hotX, int hotY) {
  if (width <= 0 || height <= 0 || width > 256 || height > 256 || !pixels || !opaque) return nullptr;
  auto rec = std::make_unique<TCursorRec>();
  size_t n = size_t(width) * size_t(height);
  rec->Width = width;
  rec->Height = height;
  rec->HotX = std::clamp(hotX, 0, width - 1);
  rec->HotY = std::clamp(hotY, 0, height - 1);
  rec->Pixels.assign(pixels, pixels + n);
  rec->Opaque.assign(opaque, opaque + n);
  return AddCursor(std::move(rec));
}

BOOL DestroyCursor(HCURSOR cursor) {
  auto& t = Cursors();
  auto it = t.Cursors.find(cursor);
  if (it == t.Cursors.end() || it->second->Shape) return FALSE;  // shared standard cursors stay
  if (WinState().Cursor == cursor) SetCursor(nullptr);
  t.Cursors.erase(it);
  return TRUE;
}

uintptr_t GetCursorShape(HCURSOR cursor) {
  auto& t = Cursors();
  auto it = t.Cursors.find(cursor);
  return it == t.Cursors.end() ? 0 : it->second->Shape;
}

HCURSOR SetCursor(HCURSOR cursor) {
  auto& st = WinState();
  if (cursor && !Cursors().Cursors.count(cursor)) return nullptr;
  HCURSOR prev = st.Cursor;
  st.Cursor = cursor;
  if (prev != cursor) Backend().SetCursorShape(st.CursorShowCount >= 0 ? cursor : nullptr);
  return prev;
}

HCURSOR GetCursor() { return WinState().Cursor; }

BOOL GetCursorPos(LPPOINT point) {
  if (!point) return FALSE;
  *point = WinState().CursorPos;
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  TRect screen = Backend().ScreenRect();
  TPoint p{std::clamp(x, screen.Left, screen.Right - 1), std::clamp(y, screen.Top, screen.Bottom - 1)};
  Backend().WarpMouse(p);
  WinInput::MouseMove(p);
  return TRUE;
}

int ShowCursor(BOOL show) {
  auto& st = WinState();
  st.CursorShowCount += show ? 1 : -1;
  Backend().SetCursorShape(st.CursorShowCount >= 0 ? st.Cursor : nullptr);
  return st.CursorShowCount;
}
