// State shared by the window system's source files: window records behind the handle table, the
// queue, hooks, timers and input state of the GUI thread. Not for use outside platform/os.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/os/Region.h"
#include "platform/os/Surface.h"
#include "platform/os/Windows.h"

struct TWndClassRec {
  String Name;
  UINT Style = 0;
  WNDPROC Proc = nullptr;
  HCURSOR Cursor = nullptr;
  HBRUSH Background = nullptr;
  HINSTANCE Instance = nullptr;
  int WindowCount = 0;
};

struct TScrollBarState {
  int Min = 0, Max = 100;
  UINT Page = 0;
  int Pos = 0, TrackPos = 0;
  UINT Disabled = ESB_ENABLE_BOTH;
};

struct TWindowRec {
  HWND Handle = nullptr;
  std::shared_ptr<TWndClassRec> Class;
  WNDPROC Proc = nullptr;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  String Text;
  TWindowRec* Parent = nullptr;  // child windows only
  TWindowRec* Owner = nullptr;   // top-level windows only
  std::vector<TWindowRec*> Children;  // z-order, topmost first
  TRect Rect;    // parent's client coordinates; the screen for top-level windows
  TRect Client;  // window coordinates
  LONG_PTR UserData = 0;
  LONG_PTR Id = 0;
  HINSTANCE Instance = nullptr;
  std::map<String, void*> Props;
  TRegionData Update;  // client coordinates
  bool EraseNeeded = false;
  bool NcPaintNeeded = false;
  bool InternalPaint = false;
  bool HasRegion = false;
  TRegionData Region;  // window coordinates
  PSurface Surface;    // top-level windows only
  bool SurfaceDirty = false;
  bool Destroying = false;
  bool Destroyed = false;
  bool Minimized = false;
  bool Maximized = false;
  bool CaptionActive = false;  // as the last WM_NCACTIVATE that reached the default handling said
  TRect NormalRect;
  TScrollBarState Scroll[2];  // SB_HORZ, SB_VERT
  COLORREF LayerKey = 0;
  BYTE LayerAlpha = 255;
  DWORD LayerFlags = 0;
  UINT SuppressedMessage = 0;  // answered once with SuppressedResult, unprocessed
  LRESULT SuppressedResult = 0;

  bool IsChildWindow() const { return Parent != nullptr; }
  bool Visible() const { return (Style & WS_VISIBLE) != 0; }
  bool Enabled() const { return (Style & WS_DISABLED) == 0; }
};
using PWindowRec = std::shared_ptr<TWindowRec>;

struct THookRec {
  HHOOK Handle = nullptr;
  int Id = 0;
  HOOKPROC Proc = nullptr;
  bool Alive = true;
};

struct TTimerRec {
  HWND Wnd = nullptr;
  UINT_PTR Id = 0;
  UINT Interval = 0;
  DWORD Due = 0;
  TIMERPROC Proc = nullptr;
};

struct TCaretState {
  HWND Wnd = nullptr;
  int Width = 0, Height = 0;
  TPoint Pos;
  int HideCount = 1;   // created hidden
  bool Drawn = false;  // pixels currently inverted
  DWORD NextBlink = 0;
  UINT BlinkTime = 530;
};

struct TClickState {
  UINT Message = 0;  // button-down message of the last click
  HWND Wnd = nullptr;
  DWORD Time = 0;
  TPoint Pos;      // screen
  bool WasDouble = false;
};

struct TMouseTracking {
  HWND Wnd = nullptr;
  DWORD Flags = 0;
  DWORD HoverTime = 400;
  DWORD HoverStart = 0;
  TPoint HoverPos;
};

struct TQueuedMsg {
  MSG Msg;
  uint64_t Seq = 0;
  bool Raw = false;  // input not yet routed to a window (hwnd is null)
  bool Hooked = false;  // the input hooks already saw it while it was routed
};
using TMsgQueue = std::deque<TQueuedMsg>;

struct TWinState {
  std::unordered_map<HWND, PWindowRec> Windows;
  uintptr_t NextHandle = 0x10000;
  std::map<String, std::shared_ptr<TWndClassRec>> Classes;  // upper-case names
  std::vector<TWindowRec*> TopLevels;                      // z-order, topmost first

  TMsgQueue Posted;
  TMsgQueue Input;
  uint64_t NextSeq = 1;
  bool QuitPosted = false;
  int QuitCode = 0;
  MSG Last;  // the last message retrieved

  std::vector<THookRec> Hooks;  // newest first
  uintptr_t NextHook = 0x100;
  std::vector<TTimerRec> Timers;
  UINT_PTR NextThreadTimer = 0x7F00;

  HWND Focus = nullptr;
  HWND Active = nullptr;
  HWND Capture = nullptr;
  bool AppActive = false;

  TPoint CursorPos;
  HCURSOR Cursor = nullptr;
  int CursorShowCount = 0;
  BYTE KeyState[256] = {};
  BYTE AsyncKeyState[256] = {};
  HWND MouseWindow = nullptr;  // window under the mouse at the last move
  bool AltCombined = false;    // a key went down while Alt was held
  TCaretState Caret;
  TClickState Click;
  TMouseTracking Tracking;
  UINT DoubleClickTime = 500;
  int SendDepth = 0;
  std::map<String, UINT> RegisteredMessages;
  UINT NextRegisteredMessage = 0xC000;
};

TWinState& WinState();

// Handle table
TWindowRec* FindWindowRec(HWND wnd);  // nullptr for a dead or foreign handle
PWindowRec KeepWindowRec(HWND wnd);   // holds a window alive across a call-out

// Geometry (screen and surface coordinates)
TPoint WindowOrigin(const TWindowRec* w);  // screen position of the window's top-left corner
TPoint ClientOrigin(const TWindowRec* w);
TRect WindowScreenRect(const TWindowRec* w);
TRect ClientScreenRect(const TWindowRec* w);
TWindowRec* TopLevelOf(TWindowRec* w);
bool IsVisibleChain(const TWindowRec* w);  // the window and all its ancestors visible
bool IsDescendant(const TWindowRec* ancestor, const TWindowRec* w);
TPoint SurfaceOffset(const TWindowRec* w);  // window origin within the top-level surface
// The region a window may draw into, in its top-level surface's coordinates.
TRegionData VisibleRegion(TWindowRec* w, bool clientArea, bool clipChildren, bool clipSiblings);
// Asks the window for its client area (WM_NCCALCSIZE); `pos` is null at creation.
void RecalcClientRect(TWindowRec* w, const TRect& oldRect, WINDOWPOS* pos);
// The screen rectangle of a window's region (or window rectangle) that contains the point.
bool WindowContainsScreenPoint(const TWindowRec* w, TPoint screen);
// The window that mouse input at a screen point goes to, and its hit-test code.
TWindowRec* WindowAtPoint(TPoint screen, LRESULT& hitCode);
void InsertIntoZOrder(TWindowRec* w, HWND after);
void RemoveFromZOrder(TWindowRec* w);
// The frame (WinFrame.cpp): the client rectangle the default WM_NCCALCSIZE leaves of a window
// rectangle, the default hit test, the window's track sizes (WM_GETMINMAXINFO), and the frame's
// share of the default window procedure (caption buttons, moving, sizing, the window menu).
TRect DefaultClientRect(DWORD style, DWORD exStyle, const TRect& windowRect);
LRESULT DefaultHitTest(TWindowRec* w, TPoint screen);
MINMAXINFO QueryMinMaxInfo(TWindowRec* w);
bool FrameDefProc(TWindowRec* w, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
// Key data bit of keys whose printable character the backend delivers on its own.
constexpr LPARAM KF_TEXT_SEPARATE = LPARAM(1) << 25;
// Internal WINDOWPOS flags telling DefWindowProc which of WM_MOVE/WM_SIZE to send.
constexpr UINT SWP_NOCLIENTSIZE = 0x0800, SWP_NOCLIENTMOVE = 0x1000;

// Messages
LRESULT SendTo(TWindowRec* w, UINT msg, WPARAM wParam, LPARAM lParam);
// Queues raw input; it is routed to its window when a loop retrieves it, as on the platform.
void PostRawInput(const MSG& raw);
// Routes raw input to its window (hit testing, capture, activation, cursor, double clicks);
// false when it goes nowhere or the activation answer eats it.
bool CookInput(MSG& m);
// While a button-down is routed, before it activates a window: the mouse hooks see it (once; they
// are not asked again when it is retrieved). True when a hook discarded it.
bool MouseDownEatenByHooks(const MSG& m);
void QueueMessage(TMsgQueue& queue, const MSG& msg, bool front = false);
void RemoveWindowMessages(HWND wnd);
// The character a key message types under the current key state (Windows-1252).
bool CharFromKey(BYTE vk, LPARAM keyData, BYTE& ch);
// The key (and shift) that types a character, false when no key does.
bool KeyForCharacter(BYTE ch, BYTE& vk, bool& shift);
DWORD MessageTime();

// Messages and calls that other threads hand to the GUI thread
bool IsGuiThread();
// Moves other threads' posts into the queue and runs the calls they handed over.
void DrainInbox();
// Waits up to realMs of real time for another thread to hand something over.
bool WaitForInbox(DWORD realMs);

// Hooks
bool HasHooks(int id);
LRESULT CallHooks(int id, int code, WPARAM wParam, LPARAM lParam);

// Painting
void InvalidateWindowArea(TWindowRec* w, const TRegionData& clientRgn, bool erase, bool withChildren);
void InvalidateNonClient(TWindowRec* w);
void WindowShownOrMoved(TWindowRec* w);
void EnsureSurface(TWindowRec* top);
bool FindPaintWindow(HWND filter, HWND& found);
void PresentDirtySurfaces();
// Places the open window and client DCs again after windows moved.
void RefreshOpenDCs();
void DrawNonClientFrame(TWindowRec* w);
// Scroll bars of the frame: their rectangles (window coordinates), painting and clicks.
TRect ScrollBarRect(const TWindowRec* w, int bar);
void DrawScrollBars(TWindowRec* w, TSurface& s, const TRegionData& clip);
void ClickScrollBar(TWindowRec* w, int bar, TPoint screen);
void FillSurface(TSurface& s, const TRegionData& clip, const TRect& r, uint32_t pixel);
void FrameSurface(TSurface& s, const TRegionData& clip, TRect r, int width, uint32_t topLeft, uint32_t bottomRight);
uint32_t SysPixel(int index);

// Input
void WindowGoingAway(TWindowRec* w);  // focus, activation, capture and tracking let go
// Activates a top-level window (nullptr: the application loses activation).
void ActivateWindow(TWindowRec* w, bool byMouse);
// Activates the next candidate when the active window hides or goes away.
void ActivateNextWindow(TWindowRec* leaving);
// Caret blinking and mouse hover under the clock, and the time until they are next due.
void UpdateInputTimers(DWORD now);
DWORD MillisecondsToInputTimers(DWORD now);
void ToggleCaretPixels();
void CaretBeforePaint(TWindowRec* w);
void CaretAfterPaint(TWindowRec* w);
HCURSOR StandardCursor(uintptr_t id);
void SyncKeyStateFromMessage(const MSG& msg);
// Hands the key state to other threads' GetKeyState after it changed.
void PublishKeyState();
// The letter a caption marks with '&' (upper case), 0 when none; "&&" is a plain ampersand.
char MnemonicOf(const String& text);

// Timers
bool FindDueTimer(HWND filter, UINT filterMin, UINT filterMax, MSG& out, bool remove);
DWORD MillisecondsToNextTimer();
void KillWindowTimers(HWND wnd);
bool TimerExists(HWND wnd, UINT_PTR id, TIMERPROC proc);

// System
void ResetWindowSystem();
// Device pixels a logical unit on a screen of a resolution: whole halves of 96 dpi, at least 1;
// DeviceScale is the one of the backend's screen.
double ScaleForDpi(int dpi);
double DeviceScale();
// The built-in "EDIT" and "LISTBOX" classes, registered with the system classes.
void RegisterTextControlClasses();
