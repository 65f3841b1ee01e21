// The window system: windows behind HWND handles, window classes and procedures, the message
// queue of the GUI thread, hooks, input (focus, activation, capture, mouse, keyboard, caret,
// cursors), timers, painting protocol, system metrics and monitors.
//
// Calls with a handle that names no live window fail with the platform's failure value (0,
// FALSE, nullptr) and change nothing. Everything runs on the GUI thread (the program's main
// thread); other threads may only PostMessage/PostThreadMessage and hand calls over through
// TThread::Synchronize/Queue, which the message loop runs.
//
// Where the parts live: WinWindows.cpp (classes, window records, creation, relations, styles),
// WinGeometry.cpp (placement, coordinates, hit testing, regions), WinFrame.cpp (frames: caption
// and its buttons, moving and sizing, the window menu), WinDefProc.cpp (the default procedure),
// WinMessages.cpp (the queue and hooks), WinInput.cpp (focus, activation, capture, mouse, keys),
// WinCaret.cpp (caret and cursors), WinTimers.cpp, WinPaint.cpp (painting protocol, DCs,
// scrolling), WinScroll.cpp (frame scroll bars), WinSystem.cpp (metrics, parameters, resolution).
#pragma once

#include "platform/os/WinTypes.h"

// ---------------------------------------------------------------------------------------------
// Procedures and structures

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using HOOKPROC = LRESULT (*)(int code, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
using LPCSTR = const char*;

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt;
};
using LPMSG = MSG*;

struct WNDCLASSEX {
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;  // a brush, or a COLOR_ index + 1
  LPCSTR lpszMenuName = nullptr;
  LPCSTR lpszClassName = nullptr;
};

struct CREATESTRUCT {
  void* lpCreateParams = nullptr;
  HINSTANCE hInstance = nullptr;
  HMENU hMenu = nullptr;
  HWND hwndParent = nullptr;
  int cy = 0, cx = 0, y = 0, x = 0;
  LONG style = 0;
  LPCSTR lpszName = nullptr;
  LPCSTR lpszClass = nullptr;
  DWORD dwExStyle = 0;
};

struct WINDOWPOS {
  HWND hwnd = nullptr;
  HWND hwndInsertAfter = nullptr;
  int x = 0, y = 0, cx = 0, cy = 0;
  UINT flags = 0;
};

struct NCCALCSIZE_PARAMS {
  RECT rgrc[3];  // in: new window rect, old window rect, old client rect; out: [0] = client
  WINDOWPOS* lppos = nullptr;
};

struct MINMAXINFO {
  POINT ptReserved, ptMaxSize, ptMaxPosition, ptMinTrackSize, ptMaxTrackSize;
};

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = FALSE;
  RECT rcPaint;
  BOOL fRestore = FALSE, fIncUpdate = FALSE;
};

struct CWPSTRUCT {
  LPARAM lParam = 0;
  WPARAM wParam = 0;
  UINT message = 0;
  HWND hwnd = nullptr;
};

struct MOUSEHOOKSTRUCT {
  POINT pt;
  HWND hwnd = nullptr;
  UINT wHitTestCode = 0;
  ULONG_PTR dwExtraInfo = 0;
};

struct TRACKMOUSEEVENT {
  DWORD cbSize = sizeof(TRACKMOUSEEVENT);
  DWORD dwFlags = 0;
  HWND hwndTrack = nullptr;
  DWORD dwHoverTime = 0;
};

struct MONITORINFO {
  DWORD cbSize = sizeof(MONITORINFO);
  RECT rcMonitor, rcWork;
  DWORD dwFlags = 0;
};

struct WINDOWPLACEMENT {
  UINT length = 44;
  UINT flags = 0, showCmd = 0;
  POINT ptMinPosition, ptMaxPosition;
  RECT rcNormalPosition;
};

struct NONCLIENTMETRICS {
  UINT cbSize = sizeof(NONCLIENTMETRICS);
  int iBorderWidth = 1, iScrollWidth = 17, iScrollHeight = 17, iCaptionWidth = 18, iCaptionHeight = 18;
  int iSmCaptionWidth = 12, iSmCaptionHeight = 15, iMenuWidth = 18, iMenuHeight = 18;
  // Font faces and heights (pixels) of the caption, small caption, menu, status and message fonts.
  String CaptionFont = "DejaVu Sans", SmCaptionFont = "DejaVu Sans", MenuFont = "DejaVu Sans";
  String StatusFont = "DejaVu Sans", MessageFont = "DejaVu Sans";
  int iFontHeight = -11;
};

// ---------------------------------------------------------------------------------------------
// Messages

constexpr UINT WM_NULL = 0x0000, WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_MOVE = 0x0003,
               WM_SIZE = 0x0005, WM_ACTIVATE = 0x0006, WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008,
               WM_ENABLE = 0x000A, WM_SETREDRAW = 0x000B, WM_SETTEXT = 0x000C, WM_GETTEXT = 0x000D,
               WM_GETTEXTLENGTH = 0x000E, WM_PAINT = 0x000F, WM_CLOSE = 0x0010, WM_QUIT = 0x0012,
               WM_ERASEBKGND = 0x0014, WM_SYSCOLORCHANGE = 0x0015, WM_SHOWWINDOW = 0x0018,
               WM_WININICHANGE = 0x001A, WM_SETTINGCHANGE = 0x001A, WM_ACTIVATEAPP = 0x001C,
               WM_FONTCHANGE = 0x001D, WM_CANCELMODE = 0x001F, WM_SETCURSOR = 0x0020,
               WM_MOUSEACTIVATE = 0x0021, WM_CHILDACTIVATE = 0x0022, WM_GETMINMAXINFO = 0x0024,
               WM_DRAWITEM = 0x002B, WM_MEASUREITEM = 0x002C, WM_NEXTDLGCTL = 0x0028,
               WM_SETFONT = 0x0030, WM_GETFONT = 0x0031, WM_WINDOWPOSCHANGING = 0x0046,
               WM_WINDOWPOSCHANGED = 0x0047, WM_NOTIFY = 0x004E, WM_CONTEXTMENU = 0x007B,
               WM_STYLECHANGING = 0x007C, WM_STYLECHANGED = 0x007D, WM_DISPLAYCHANGE = 0x007E,
               WM_NCCREATE = 0x0081, WM_NCDESTROY = 0x0082, WM_NCCALCSIZE = 0x0083,
               WM_NCHITTEST = 0x0084, WM_NCPAINT = 0x0085, WM_NCACTIVATE = 0x0086,
               WM_GETDLGCODE = 0x0087, WM_NCMOUSEMOVE = 0x00A0, WM_NCLBUTTONDOWN = 0x00A1,
               WM_NCLBUTTONUP = 0x00A2, WM_NCLBUTTONDBLCLK = 0x00A3, WM_NCRBUTTONDOWN = 0x00A4,
               WM_NCRBUTTONUP = 0x00A5, WM_NCRBUTTONDBLCLK = 0x00A6, WM_NCMBUTTONDOWN = 0x00A7,
               WM_NCMBUTTONUP = 0x00A8, WM_NCMBUTTONDBLCLK = 0x00A9, WM_KEYFIRST = 0x0100,
               WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_CHAR = 0x0102, WM_DEADCHAR = 0x0103,
               WM_SYSKEYDOWN = 0x0104, WM_SYSKEYUP = 0x0105, WM_SYSCHAR = 0x0106, WM_KEYLAST = 0x0109,
               WM_IME_STARTCOMPOSITION = 0x010D, WM_IME_ENDCOMPOSITION = 0x010E,
               WM_IME_COMPOSITION = 0x010F, WM_INITDIALOG = 0x0110, WM_COMMAND = 0x0111,
               WM_SYSCOMMAND = 0x0112, WM_TIMER = 0x0113, WM_HSCROLL = 0x0114, WM_VSCROLL = 0x0115,
               WM_INITMENUPOPUP = 0x0117, WM_MENUSELECT = 0x011F, WM_ENTERIDLE = 0x0121,
               WM_CTLCOLOREDIT = 0x0133, WM_CTLCOLORLISTBOX = 0x0134, WM_CTLCOLORBTN = 0x0135,
               WM_CTLCOLORSCROLLBAR = 0x0137, WM_CTLCOLORSTATIC = 0x0138, WM_MOUSEFIRST = 0x0200,
               WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202,
               WM_LBUTTONDBLCLK = 0x0203, WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205,
               WM_RBUTTONDBLCLK = 0x0206, WM_MBUTTONDOWN = 0x0207, WM_MBUTTONUP = 0x0208,
               WM_MBUTTONDBLCLK = 0x0209, WM_MOUSEWHEEL = 0x020A, WM_MOUSEHWHEEL = 0x020E,
               WM_MOUSELAST = 0x020E, WM_PARENTNOTIFY = 0x0210, WM_ENTERMENULOOP = 0x0211,
               WM_EXITMENULOOP = 0x0212, WM_CAPTURECHANGED = 0x0215, WM_MOVING = 0x0216,
               WM_ENTERSIZEMOVE = 0x0231, WM_EXITSIZEMOVE = 0x0232, WM_IME_CHAR = 0x0286,
               WM_MOUSEHOVER = 0x02A1, WM_MOUSELEAVE = 0x02A3, WM_CUT = 0x0300, WM_COPY = 0x0301,
               WM_PASTE = 0x0302, WM_CLEAR = 0x0303, WM_UNDO = 0x0304, WM_PRINT = 0x0317,
               WM_PRINTCLIENT = 0x0318, WM_THEMECHANGED = 0x031A, WM_USER = 0x0400,
               WM_APP = 0x8000;

// Private messages of the component library, posted within the application range.
constexpr UINT WM_QV_POPUPCLOSE = 0x8065, WM_QV_POPUPSHOW = 0x8066, WM_QV_DROPDOWN = 0x8067,
               WM_QV_MEMOSCROLLBARS = 0x8068, WM_QV_EDITERROR = 0x8069, WM_QV_RADIOFOCUS = 0x806A,
               WM_QV_POSTCHAR = 0x806B, WM_QV_FREEPOPUPCONTROLS = 0x806C, WM_QV_MENUCLOSE1 = 0x812C, WM_QV_MENUCLOSE2 = 0x812D,
               WM_QV_PRIVATE8131 = 0x8131;

// Control messages of the class library, and notifications reflected back to a control.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0, CM_DEACTIVATE = CM_BASE + 1, CM_GOTFOCUS = CM_BASE + 2,
               CM_LOSTFOCUS = CM_BASE + 3, CM_CANCELMODE = CM_BASE + 4, CM_DIALOGKEY = CM_BASE + 5,
               CM_DIALOGCHAR = CM_BASE + 6, CM_FOCUSCHANGED = CM_BASE + 7,
               CM_PARENTFONTCHANGED = CM_BASE + 8, CM_PARENTCOLORCHANGED = CM_BASE + 9,
               CM_HITTEST = CM_BASE + 10, CM_VISIBLECHANGED = CM_BASE + 11,
               CM_ENABLEDCHANGED = CM_BASE + 12, CM_COLORCHANGED = CM_BASE + 13,
               CM_FONTCHANGED = CM_BASE + 14, CM_CURSORCHANGED = CM_BASE + 15,
               CM_CTL3DCHANGED = CM_BASE + 16, CM_PARENTCTL3DCHANGED = CM_BASE + 17,
               CM_TEXTCHANGED = CM_BASE + 18, CM_MOUSEENTER = CM_BASE + 19,
               CM_MOUSELEAVE = CM_BASE + 20, CM_MENUCHANGED = CM_BASE + 21,
               CM_APPKEYDOWN = CM_BASE + 22, CM_APPSYSCOMMAND = CM_BASE + 23,
               CM_BUTTONPRESSED = CM_BASE + 24, CM_SHOWINGCHANGED = CM_BASE + 25,
               CM_ENTER = CM_BASE + 26, CM_EXIT = CM_BASE + 27, CM_DESIGNHITTEST = CM_BASE + 28,
               CM_ICONCHANGED = CM_BASE + 29, CM_WANTSPECIALKEY = CM_BASE + 30,
               CM_INVOKEHELP = CM_BASE + 31, CM_WINDOWHOOK = CM_BASE + 32, CM_RELEASE = CM_BASE + 33,
               CM_SHOWHINTCHANGED = CM_BASE + 34, CM_PARENTSHOWHINTCHANGED = CM_BASE + 35,
               CM_SYSCOLORCHANGE = CM_BASE + 36, CM_WININICHANGE = CM_BASE + 37,
               CM_FONTCHANGE = CM_BASE + 38, CM_TIMECHANGE = CM_BASE + 39,
               CM_TABSTOPCHANGED = CM_BASE + 40, CM_UIACTIVATE = CM_BASE + 41,
               CM_UIDEACTIVATE = CM_BASE + 42, CM_DOCWINDOWACTIVATE = CM_BASE + 43,
               CM_CONTROLLISTCHANGE = CM_BASE + 44, CM_GETDATALINK = CM_BASE + 45,
               CM_CHILDKEY = CM_BASE + 46, CM_DRAG = CM_BASE + 47, CM_HINTSHOW = CM_BASE + 48,
               CM_DIALOGHANDLE = CM_BASE + 49, CM_ISTOOLCONTROL = CM_BASE + 50,
               CM_RECREATEWND = CM_BASE + 51, CM_INVALIDATE = CM_BASE + 52,
               CM_SYSFONTCHANGED = CM_BASE + 53, CM_CONTROLCHANGE = CM_BASE + 54,
               CM_CHANGED = CM_BASE + 55, CM_DOCKCLIENT = CM_BASE + 56,
               CM_UNDOCKCLIENT = CM_BASE + 57, CM_FLOAT = CM_BASE + 58,
               CM_BORDERCHANGED = CM_BASE + 59, CM_BIDIMODECHANGED = CM_BASE + 60,
               CM_PARENTBIDIMODECHANGED = CM_BASE + 61, CM_ALLCHILDRENFLIPPED = CM_BASE + 62,
               CM_ACTIONUPDATE = CM_BASE + 63, CM_ACTIONEXECUTE = CM_BASE + 64,
               CM_HINTSHOWPAUSE = CM_BASE + 65, CM_DOCKNOTIFICATION = CM_BASE + 66,
               CM_MOUSEWHEEL = CM_BASE + 67, CM_ISSHORTCUT = CM_BASE + 68,
               CM_INVALIDATEDOCKHOST = CM_BASE + 70, CM_SETACTIVECONTROL = CM_BASE + 71,
               CM_POPUPHWNDDESTROY = CM_BASE + 72, CM_CREATEPOPUP = CM_BASE + 73,
               CM_DESTROYHANDLE = CM_BASE + 74, CM_MOUSEACTIVATE = CM_BASE + 75,
               CM_CONTROLLISTCHANGING = CM_BASE + 76, CM_BUFFEREDPRINTCLIENT = CM_BASE + 77,
               CM_UNTHEMECONTROL = CM_BASE + 78;

constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + 0x002F, CN_COMMAND = CN_BASE + WM_COMMAND,
               CN_COMPAREITEM = CN_BASE + 0x0039, CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN,
               CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT, CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX,
               CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR,
               CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC, CN_DELETEITEM = CN_BASE + 0x002D,
               CN_DRAWITEM = CN_BASE + WM_DRAWITEM, CN_HSCROLL = CN_BASE + WM_HSCROLL,
               CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM, CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY,
               CN_VKEYTOITEM = CN_BASE + 0x002E, CN_VSCROLL = CN_BASE + WM_VSCROLL,
               CN_KEYDOWN = CN_BASE + WM_KEYDOWN, CN_KEYUP = CN_BASE + WM_KEYUP,
               CN_CHAR = CN_BASE + WM_CHAR, CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN,
               CN_SYSCHAR = CN_BASE + WM_SYSCHAR, CN_NOTIFY = CN_BASE + WM_NOTIFY;

// WM_ACTIVATE
constexpr WPARAM WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2;
// WM_MOUSEACTIVATE results
constexpr LRESULT MA_ACTIVATE = 1, MA_ACTIVATEANDEAT = 2, MA_NOACTIVATE = 3, MA_NOACTIVATEANDEAT = 4;
// WM_SIZE
constexpr WPARAM SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2;
// WM_SYSCOMMAND
constexpr WPARAM SC_SIZE = 0xF000, SC_MOVE = 0xF010, SC_MINIMIZE = 0xF020, SC_MAXIMIZE = 0xF030,
                 SC_CLOSE = 0xF060, SC_KEYMENU = 0xF100, SC_RESTORE = 0xF120;
// The edge a sizing loop moves (the low bits of SC_SIZE)
constexpr UINT WMSZ_LEFT = 1, WMSZ_RIGHT = 2, WMSZ_TOP = 3, WMSZ_TOPLEFT = 4, WMSZ_TOPRIGHT = 5, WMSZ_BOTTOM = 6,
               WMSZ_BOTTOMLEFT = 7, WMSZ_BOTTOMRIGHT = 8;
// WM_GETDLGCODE
constexpr LRESULT DLGC_WANTARROWS = 0x0001, DLGC_WANTTAB = 0x0002, DLGC_WANTALLKEYS = 0x0004,
                  DLGC_WANTMESSAGE = 0x0004, DLGC_HASSETSEL = 0x0008, DLGC_DEFPUSHBUTTON = 0x0010,
                  DLGC_UNDEFPUSHBUTTON = 0x0020, DLGC_RADIOBUTTON = 0x0040, DLGC_WANTCHARS = 0x0080,
                  DLGC_STATIC = 0x0100, DLGC_BUTTON = 0x2000;
// WM_PARENTNOTIFY
constexpr WORD WM_PARENTNOTIFY_CREATE = WM_CREATE, WM_PARENTNOTIFY_DESTROY = WM_DESTROY;
// WM_SHOWWINDOW lParam
constexpr LPARAM SW_PARENTCLOSING = 1, SW_PARENTOPENING = 3;
// WM_NCCALCSIZE results
constexpr LRESULT WVR_ALIGNTOP = 0x10, WVR_HREDRAW = 0x100, WVR_VREDRAW = 0x200, WVR_REDRAW = 0x300;
// Scroll codes of WM_HSCROLL/WM_VSCROLL
constexpr WORD SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1, SB_PAGEUP = 2,
               SB_PAGELEFT = 2, SB_PAGEDOWN = 3, SB_PAGERIGHT = 3, SB_THUMBPOSITION = 4,
               SB_THUMBTRACK = 5, SB_TOP = 6, SB_LEFT = 6, SB_BOTTOM = 7, SB_RIGHT = 7, SB_ENDSCROLL = 8;
constexpr int SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3;

// ---------------------------------------------------------------------------------------------
// Styles

constexpr DWORD WS_OVERLAPPED = 0x00000000, WS_POPUP = 0x80000000, WS_CHILD = 0x40000000,
                WS_MINIMIZE = 0x20000000, WS_VISIBLE = 0x10000000, WS_DISABLED = 0x08000000,
                WS_CLIPSIBLINGS = 0x04000000, WS_CLIPCHILDREN = 0x02000000, WS_MAXIMIZE = 0x01000000,
                WS_CAPTION = 0x00C00000, WS_BORDER = 0x00800000, WS_DLGFRAME = 0x00400000,
                WS_VSCROLL = 0x00200000, WS_HSCROLL = 0x00100000, WS_SYSMENU = 0x00080000,
                WS_THICKFRAME = 0x00040000, WS_SIZEBOX = 0x00040000, WS_GROUP = 0x00020000,
                WS_TABSTOP = 0x00010000, WS_MINIMIZEBOX = 0x00020000, WS_MAXIMIZEBOX = 0x00010000,
                WS_OVERLAPPEDWINDOW = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                      WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU;

constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001, WS_EX_NOPARENTNOTIFY = 0x00000004,
                WS_EX_TOPMOST = 0x00000008, WS_EX_ACCEPTFILES = 0x00000010,
                WS_EX_TRANSPARENT = 0x00000020, WS_EX_TOOLWINDOW = 0x00000080,
                WS_EX_WINDOWEDGE = 0x00000100, WS_EX_CLIENTEDGE = 0x00000200,
                WS_EX_CONTROLPARENT = 0x00010000, WS_EX_STATICEDGE = 0x00020000,
                WS_EX_APPWINDOW = 0x00040000, WS_EX_LAYERED = 0x00080000,
                WS_EX_NOACTIVATE = 0x08000000;

constexpr UINT CS_VREDRAW = 0x0001, CS_HREDRAW = 0x0002, CS_DBLCLKS = 0x0008, CS_OWNDC = 0x0020,
               CS_CLASSDC = 0x0040, CS_PARENTDC = 0x0080, CS_NOCLOSE = 0x0200, CS_SAVEBITS = 0x0800,
               CS_GLOBALCLASS = 0x4000, CS_DROPSHADOW = 0x00020000;

// Edit, button and static control styles that the class library puts into its window styles.
constexpr DWORD ES_LEFT = 0x0000, ES_CENTER = 0x0001, ES_RIGHT = 0x0002, ES_MULTILINE = 0x0004,
                ES_PASSWORD = 0x0020, ES_AUTOVSCROLL = 0x0040, ES_AUTOHSCROLL = 0x0080,
                ES_NOHIDESEL = 0x0100, ES_READONLY = 0x0800, ES_WANTRETURN = 0x1000;
constexpr DWORD BS_PUSHBUTTON = 0x0, BS_CHECKBOX = 0x2, BS_AUTOCHECKBOX = 0x3, BS_RADIOBUTTON = 0x4,
                BS_AUTORADIOBUTTON = 0x9, BS_OWNERDRAW = 0xB;
constexpr DWORD SS_LEFT = 0x0, SS_CENTER = 0x1, SS_RIGHT = 0x2, SS_NOTIFY = 0x100;

// ---------------------------------------------------------------------------------------------
// Window longs, relations, positions

constexpr int GWL_WNDPROC = -4, GWL_HINSTANCE = -6, GWL_HWNDPARENT = -8, GWL_ID = -12,
              GWL_STYLE = -16, GWL_EXSTYLE = -20, GWL_USERDATA = -21;
constexpr int GWLP_WNDPROC = GWL_WNDPROC, GWLP_HINSTANCE = GWL_HINSTANCE,
              GWLP_HWNDPARENT = GWL_HWNDPARENT, GWLP_ID = GWL_ID, GWLP_USERDATA = GWL_USERDATA;
constexpr int GCL_STYLE = -26, GCLP_WNDPROC = -24, GCLP_HCURSOR = -12, GCLP_HBRBACKGROUND = -10;

constexpr UINT GW_HWNDFIRST = 0, GW_HWNDLAST = 1, GW_HWNDNEXT = 2, GW_HWNDPREV = 3, GW_OWNER = 4,
               GW_CHILD = 5, GW_ENABLEDPOPUP = 6;
constexpr UINT GA_PARENT = 1, GA_ROOT = 2, GA_ROOTOWNER = 3;

inline const HWND HWND_TOP = nullptr;
inline const HWND HWND_BOTTOM = reinterpret_cast<HWND>(1);
inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(-1);
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(-2);
inline const HWND HWND_MESSAGE = reinterpret_cast<HWND>(-3);
inline const HWND HWND_BROADCAST = reinterpret_cast<HWND>(0xFFFF);
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

constexpr UINT SWP_NOSIZE = 0x0001, SWP_NOMOVE = 0x0002, SWP_NOZORDER = 0x0004,
               SWP_NOREDRAW = 0x0008, SWP_NOACTIVATE = 0x0010, SWP_FRAMECHANGED = 0x0020,
               SWP_DRAWFRAME = 0x0020, SWP_SHOWWINDOW = 0x0040, SWP_HIDEWINDOW = 0x0080,
               SWP_NOCOPYBITS = 0x0100, SWP_NOOWNERZORDER = 0x0200, SWP_NOREPOSITION = 0x0200,
               SWP_NOSENDCHANGING = 0x0400, SWP_DEFERERASE = 0x2000, SWP_ASYNCWINDOWPOS = 0x4000;

constexpr int SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_NORMAL = 1, SW_SHOWMINIMIZED = 2,
              SW_SHOWMAXIMIZED = 3, SW_MAXIMIZE = 3, SW_SHOWNOACTIVATE = 4, SW_SHOW = 5,
              SW_MINIMIZE = 6, SW_SHOWMINNOACTIVE = 7, SW_SHOWNA = 8, SW_RESTORE = 9,
              SW_SHOWDEFAULT = 10;

// Non-client hit-test codes.
constexpr LRESULT HTERROR = -2, HTTRANSPARENT = -1, HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2,
                  HTSYSMENU = 3, HTGROWBOX = 4, HTSIZE = 4, HTMENU = 5, HTHSCROLL = 6,
                  HTVSCROLL = 7, HTMINBUTTON = 8, HTMAXBUTTON = 9, HTLEFT = 10, HTRIGHT = 11,
                  HTTOP = 12, HTTOPLEFT = 13, HTTOPRIGHT = 14, HTBOTTOM = 15, HTBOTTOMLEFT = 16,
                  HTBOTTOMRIGHT = 17, HTBORDER = 18, HTCLOSE = 20, HTHELP = 21;

// ---------------------------------------------------------------------------------------------
// Input constants

constexpr WPARAM MK_LBUTTON = 0x0001, MK_RBUTTON = 0x0002, MK_SHIFT = 0x0004, MK_CONTROL = 0x0008,
                 MK_MBUTTON = 0x0010, MK_XBUTTON1 = 0x0020, MK_XBUTTON2 = 0x0040;
constexpr int WHEEL_DELTA = 120;
constexpr UINT WHEEL_PAGESCROLL = 0xFFFFFFFF;
constexpr short GET_WHEEL_DELTA_WPARAM(WPARAM w) { return static_cast<short>(HIWORD(w)); }
constexpr WORD GET_KEYSTATE_WPARAM(WPARAM w) { return LOWORD(w); }

constexpr BYTE VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_CANCEL = 0x03, VK_MBUTTON = 0x04,
               VK_BACK = 0x08, VK_TAB = 0x09, VK_CLEAR = 0x0C, VK_RETURN = 0x0D, VK_SHIFT = 0x10,
               VK_CONTROL = 0x11, VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14,
               VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23,
               VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
               VK_SELECT = 0x29, VK_PRINT = 0x2A, VK_SNAPSHOT = 0x2C, VK_INSERT = 0x2D,
               VK_DELETE = 0x2E, VK_HELP = 0x2F, VK_LWIN = 0x5B, VK_RWIN = 0x5C, VK_APPS = 0x5D,
               VK_NUMPAD0 = 0x60, VK_NUMPAD1 = 0x61, VK_NUMPAD2 = 0x62, VK_NUMPAD3 = 0x63,
               VK_NUMPAD4 = 0x64, VK_NUMPAD5 = 0x65, VK_NUMPAD6 = 0x66, VK_NUMPAD7 = 0x67,
               VK_NUMPAD8 = 0x68, VK_NUMPAD9 = 0x69, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B,
               VK_SEPARATOR = 0x6C, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F,
               VK_F1 = 0x70, VK_F2 = 0x71, VK_F3 = 0x72, VK_F4 = 0x73, VK_F5 = 0x74, VK_F6 = 0x75,
               VK_F7 = 0x76, VK_F8 = 0x77, VK_F9 = 0x78, VK_F10 = 0x79, VK_F11 = 0x7A, VK_F12 = 0x7B,
               VK_NUMLOCK = 0x90, VK_SCROLL = 0x91, VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1,
               VK_LCONTROL = 0xA2, VK_RCONTROL = 0xA3, VK_LMENU = 0xA4, VK_RMENU = 0xA5,
               VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD,
               VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF, VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB,
               VK_OEM_5 = 0xDC, VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE, VK_OEM_102 = 0xE2,
               VK_PROCESSKEY = 0xE5, VK_PACKET = 0xE7;

// Keyboard message lParam bits.
constexpr LPARAM KF_EXTENDED_BIT = 1 << 24, KF_ALTDOWN_BIT = 1 << 29, KF_REPEAT_BIT = 1 << 30;
constexpr LPARAM KF_UP_BIT = static_cast<LPARAM>(1u << 31);

constexpr DWORD TME_HOVER = 0x00000001, TME_LEAVE = 0x00000002, TME_NONCLIENT = 0x00000010,
                TME_QUERY = 0x40000000, TME_CANCEL = 0x80000000;
constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;
constexpr UINT WM_NCMOUSELEAVE = 0x02A2, WM_NCMOUSEHOVER = 0x02A0;

// ---------------------------------------------------------------------------------------------
// Queue, hooks, timers, painting

constexpr UINT PM_NOREMOVE = 0x0000, PM_REMOVE = 0x0001, PM_NOYIELD = 0x0002;
constexpr int WH_KEYBOARD = 2, WH_GETMESSAGE = 3, WH_CALLWNDPROC = 4, WH_MOUSE = 7,
              WH_CALLWNDPROCRET = 12;
constexpr int HC_ACTION = 0, HC_NOREMOVE = 3;
constexpr UINT USER_TIMER_MINIMUM = 10, USER_TIMER_MAXIMUM = 0x7FFFFFFF;

constexpr UINT RDW_INVALIDATE = 0x0001, RDW_INTERNALPAINT = 0x0002, RDW_ERASE = 0x0004,
               RDW_VALIDATE = 0x0008, RDW_NOINTERNALPAINT = 0x0010, RDW_NOERASE = 0x0020,
               RDW_NOCHILDREN = 0x0040, RDW_ALLCHILDREN = 0x0080, RDW_UPDATENOW = 0x0100,
               RDW_ERASENOW = 0x0200, RDW_FRAME = 0x0400, RDW_NOFRAME = 0x0800;
constexpr UINT SW_SCROLLCHILDREN = 0x0001, SW_INVALIDATE = 0x0002, SW_ERASE = 0x0004;
constexpr DWORD DCX_WINDOW = 0x00000001, DCX_CACHE = 0x00000002, DCX_NORESETATTRS = 0x00000004,
                DCX_CLIPCHILDREN = 0x00000008, DCX_CLIPSIBLINGS = 0x00000010,
                DCX_PARENTCLIP = 0x00000020, DCX_EXCLUDERGN = 0x00000040,
                DCX_INTERSECTRGN = 0x00000080, DCX_EXCLUDEUPDATE = 0x00000100,
                DCX_INTERSECTUPDATE = 0x00000200, DCX_LOCKWINDOWUPDATE = 0x00000400,
                DCX_VALIDATE = 0x00200000;
// Functions returning a region kind use the drawing layer's ERROR/NULLREGION/SIMPLEREGION/
// COMPLEXREGION values (Gdi.h).

// ---------------------------------------------------------------------------------------------
// Cursors, metrics, parameters, monitors

// Standard cursor ids for LoadCursor(nullptr, id).
inline LPCSTR MAKEINTRESOURCE(uintptr_t id) { return reinterpret_cast<LPCSTR>(id); }
constexpr uintptr_t IDC_ARROW = 32512, IDC_IBEAM = 32513, IDC_WAIT = 32514, IDC_CROSS = 32515,
                    IDC_UPARROW = 32516, IDC_SIZENWSE = 32642, IDC_SIZENESW = 32643,
                    IDC_SIZEWE = 32644, IDC_SIZENS = 32645, IDC_SIZEALL = 32646, IDC_NO = 32648,
                    IDC_HAND = 32649, IDC_APPSTARTING = 32650, IDC_HELP = 32651;

constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3,
              SM_CYCAPTION = 4, SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXDLGFRAME = 7,
              SM_CXFIXEDFRAME = 7, SM_CYDLGFRAME = 8, SM_CYFIXEDFRAME = 8, SM_CYVTHUMB = 9,
              SM_CXHTHUMB = 10, SM_CXICON = 11, SM_CYICON = 12, SM_CXCURSOR = 13, SM_CYCURSOR = 14,
              SM_CYMENU = 15, SM_CXFULLSCREEN = 16, SM_CYFULLSCREEN = 17, SM_CYVSCROLL = 20,
              SM_CXHSCROLL = 21, SM_SWAPBUTTON = 23, SM_CXMIN = 28, SM_CYMIN = 29,
              SM_CXSIZE = 30, SM_CYSIZE = 31, SM_CXFRAME = 32, SM_CXSIZEFRAME = 32,
              SM_CYFRAME = 33, SM_CYSIZEFRAME = 33, SM_CXMINTRACK = 34, SM_CYMINTRACK = 35,
              SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37, SM_MENUDROPALIGNMENT = 40,
              SM_MOUSEPRESENT = 19, SM_CXEDGE = 45, SM_CYEDGE = 46, SM_CXSMICON = 49,
              SM_CYSMICON = 50, SM_CYSMCAPTION = 51, SM_CXMENUCHECK = 71, SM_CYMENUCHECK = 72,
              SM_CXDRAG = 68, SM_CYDRAG = 69, SM_CXMAXIMIZED = 61, SM_CYMAXIMIZED = 62,
              SM_MOUSEWHEELPRESENT = 75, SM_XVIRTUALSCREEN = 76, SM_YVIRTUALSCREEN = 77,
              SM_CXVIRTUALSCREEN = 78, SM_CYVIRTUALSCREEN = 79, SM_CMONITORS = 80,
              SM_CXFOCUSBORDER = 83, SM_CYFOCUSBORDER = 84;

constexpr UINT SPI_GETBEEP = 0x0001, SPI_GETKEYBOARDDELAY = 0x0016, SPI_GETKEYBOARDSPEED = 0x000A,
               SPI_GETWORKAREA = 0x0030, SPI_SETWORKAREA = 0x002F,
               SPI_GETNONCLIENTMETRICS = 0x0029, SPI_SETNONCLIENTMETRICS = 0x002A,
               SPI_GETWHEELSCROLLLINES = 0x0068,
               SPI_SETWHEELSCROLLLINES = 0x0069, SPI_GETDRAGFULLWINDOWS = 0x0026,
               SPI_SETDRAGFULLWINDOWS = 0x0025, SPI_GETMOUSEHOVERTIME = 0x0066,
               SPI_GETMENUANIMATION = 0x1002, SPI_GETCOMBOBOXANIMATION = 0x1004,
               SPI_GETFLATMENU = 0x1022, SPI_GETDROPSHADOW = 0x1024, SPI_GETFONTSMOOTHING = 0x004A,
               SPI_GETKEYBOARDCUES = 0x100A, SPI_GETHIGHCONTRAST = 0x0042,
               SPI_GETCARETWIDTH = 0x2006, SPI_GETSHOWIMEUI = 0x006E;
constexpr UINT SPIF_UPDATEINIFILE = 0x1, SPIF_SENDCHANGE = 0x2;

constexpr DWORD MONITOR_DEFAULTTONULL = 0, MONITOR_DEFAULTTOPRIMARY = 1,
                MONITOR_DEFAULTTONEAREST = 2;
constexpr DWORD MONITORINFOF_PRIMARY = 1;

constexpr UINT MB_OK = 0x0, MB_ICONHAND = 0x10, MB_ICONQUESTION = 0x20,
               MB_ICONEXCLAMATION = 0x30, MB_ICONASTERISK = 0x40;

// ---------------------------------------------------------------------------------------------
// Window classes and windows

ATOM RegisterClassEx(const WNDCLASSEX* wc);
BOOL UnregisterClass(LPCSTR className, HINSTANCE instance);
BOOL GetClassInfoEx(HINSTANCE instance, LPCSTR className, WNDCLASSEX* wc);
int GetClassName(HWND wnd, char* buffer, int maxCount);
String GetClassName(HWND wnd);
ULONG_PTR GetClassLongPtr(HWND wnd, int index);
ULONG_PTR SetClassLongPtr(HWND wnd, int index, LONG_PTR value);

HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
BOOL DestroyWindow(HWND wnd);
BOOL IsWindow(HWND wnd);
BOOL IsWindowVisible(HWND wnd);
BOOL IsWindowEnabled(HWND wnd);
BOOL EnableWindow(HWND wnd, BOOL enable);  // returns TRUE when the window was disabled before
BOOL IsChild(HWND parent, HWND wnd);
BOOL IsIconic(HWND wnd);
BOOL IsZoomed(HWND wnd);

HWND GetParent(HWND wnd);  // the parent of a child, the owner of a popup
HWND SetParent(HWND wnd, HWND newParent);
HWND GetAncestor(HWND wnd, UINT flags);
HWND GetWindow(HWND wnd, UINT cmd);
HWND GetTopWindow(HWND wnd);  // nullptr: the topmost top-level window
HWND GetDesktopWindow();
HWND GetLastActivePopup(HWND owner);
HWND GetDlgItem(HWND parent, int id);
int GetDlgCtrlID(HWND wnd);
// Calls the function for each top-level window (children: EnumChildWindows) in z-order while it
// returns TRUE.
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
BOOL EnumWindows(WNDENUMPROC proc, LPARAM param);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param);
BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM param);

LONG_PTR GetWindowLongPtr(HWND wnd, int index);
LONG_PTR SetWindowLongPtr(HWND wnd, int index, LONG_PTR value);
LONG GetWindowLong(HWND wnd, int index);
LONG SetWindowLong(HWND wnd, int index, LONG value);
BOOL SetProp(HWND wnd, LPCSTR name, void* data);
void* GetProp(HWND wnd, LPCSTR name);
void* RemoveProp(HWND wnd, LPCSTR name);

int GetWindowText(HWND wnd, char* buffer, int maxCount);
int GetWindowTextLength(HWND wnd);
String GetWindowText(HWND wnd);
BOOL SetWindowText(HWND wnd, LPCSTR text);

BOOL ShowWindow(HWND wnd, int cmd);  // returns TRUE when the window was visible before
BOOL SetWindowPos(HWND wnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND wnd, int x, int y, int width, int height, BOOL repaint);
// Several placements collected and applied together, in the order given.
struct HDWP__;
using HDWP = HDWP__*;
HDWP BeginDeferWindowPos(int expectedCount);
HDWP DeferWindowPos(HDWP info, HWND wnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL EndDeferWindowPos(HDWP info);
BOOL BringWindowToTop(HWND wnd);
BOOL GetWindowRect(HWND wnd, LPRECT rect);  // screen coordinates
BOOL GetClientRect(HWND wnd, LPRECT rect);  // (0, 0, width, height)
BOOL GetWindowPlacement(HWND wnd, WINDOWPLACEMENT* placement);
BOOL SetWindowPlacement(HWND wnd, const WINDOWPLACEMENT* placement);
BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle);

BOOL ClientToScreen(HWND wnd, LPPOINT point);
BOOL ScreenToClient(HWND wnd, LPPOINT point);
// Maps points from one window's client coordinates to another's (nullptr: the screen). The
// result packs the x offset in the low word and the y offset in the high word; 0 on failure.
int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count);
int MapWindowPoints(HWND from, HWND to, LPRECT rect);
HWND WindowFromPoint(POINT screen);
HWND ChildWindowFromPoint(HWND parent, POINT client);
constexpr UINT CWP_ALL = 0, CWP_SKIPINVISIBLE = 1, CWP_SKIPDISABLED = 2, CWP_SKIPTRANSPARENT = 4;
HWND ChildWindowFromPointEx(HWND parent, POINT client, UINT flags);

// Layered top-level windows (WS_EX_LAYERED): constant opacity and a transparent colour key.
constexpr DWORD LWA_COLORKEY = 0x1, LWA_ALPHA = 0x2;
BOOL SetLayeredWindowAttributes(HWND wnd, COLORREF key, BYTE alpha, DWORD flags);
BOOL GetLayeredWindowAttributes(HWND wnd, COLORREF* key, BYTE* alpha, DWORD* flags);

// Window regions in window coordinates: the system owns the region after a successful call.
int SetWindowRgn(HWND wnd, HRGN rgn, BOOL redraw);
int GetWindowRgn(HWND wnd, HRGN rgn);  // copies into rgn; the region kind, ERROR when none

// ---------------------------------------------------------------------------------------------
// Messages

LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL SendNotifyMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Ours: the next msg sent to wnd is answered with result without reaching its window procedure
// (after the WH_CALLWNDPROC hooks saw it). A later request for the same window replaces it.
BOOL SuppressNextMessage(HWND wnd, UINT msg, LRESULT result);
BOOL PostMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
BOOL PeekMessage(LPMSG msg, HWND wnd, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL GetMessage(LPMSG msg, HWND wnd, UINT filterMin, UINT filterMax);  // 0 on WM_QUIT, -1 on error
BOOL WaitMessage();
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
LRESULT CallWindowProc(WNDPROC proc, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL InSendMessage();
DWORD GetMessageTime();
DWORD GetMessagePos();  // screen position of the last message retrieved, packed x | y << 16
DWORD GetQueueStatus(UINT flags);
DWORD GetCurrentThreadId();
DWORD GetWindowThreadProcessId(HWND wnd, DWORD* processId);  // 0 for a bad handle
UINT RegisterWindowMessage(LPCSTR name);

HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

// ---------------------------------------------------------------------------------------------
// Focus, activation, capture, mouse and keyboard

HWND SetFocus(HWND wnd);
HWND GetFocus();
HWND SetActiveWindow(HWND wnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND wnd);
HWND GetForegroundWindow();
HWND SetCapture(HWND wnd);
BOOL ReleaseCapture();
HWND GetCapture();
BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT ms);
BOOL DragDetect(HWND wnd, POINT screen);

// State as of the last message the GUI thread retrieved; other threads may call it too. Every
// key toggles on each press (Insert and the lock keys alike).
SHORT GetKeyState(int vk);
SHORT GetAsyncKeyState(int vk);  // state now
BOOL GetKeyboardState(BYTE* keys256);
BOOL SetKeyboardState(const BYTE* keys256);

struct GUITHREADINFO {
  DWORD cbSize = sizeof(GUITHREADINFO);
  DWORD flags = 0;  // GUI_CARETBLINKING when a caret shows
  HWND hwndActive = nullptr, hwndFocus = nullptr, hwndCapture = nullptr, hwndMenuOwner = nullptr,
       hwndMoveSize = nullptr, hwndCaret = nullptr;
  RECT rcCaret;  // client coordinates of hwndCaret
};
constexpr DWORD GUI_CARETBLINKING = 0x1;
// The GUI thread's active, focus and capture windows and caret (threadId 0: the GUI thread).
BOOL GetGUIThreadInfo(DWORD threadId, GUITHREADINFO* info);

BOOL CreateCaret(HWND wnd, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
BOOL ShowCaret(HWND wnd);
BOOL HideCaret(HWND wnd);
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(LPPOINT point);
UINT GetCaretBlinkTime();
BOOL SetCaretBlinkTime(UINT ms);

HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name);
// A cursor made from 32-bit pixels (0x00RRGGBB) and a mask (true: opaque), with its hot spot.
HCURSOR CreateCursorFromPixels(int width, int height, const uint32_t* pixels, const bool* opaque,
                               int hotX, int hotY);
BOOL DestroyCursor(HCURSOR cursor);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
BOOL GetCursorPos(LPPOINT point);
BOOL SetCursorPos(int x, int y);
int ShowCursor(BOOL show);
// The standard shape id (IDC_) of a cursor, 0 for a custom one or a bad handle.
uintptr_t GetCursorShape(HCURSOR cursor);

// ---------------------------------------------------------------------------------------------
// Timers and time

UINT_PTR SetTimer(HWND wnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND wnd, UINT_PTR id);
DWORD GetTickCount();
void Sleep(DWORD ms);
BOOL MessageBeep(UINT type);

// ---------------------------------------------------------------------------------------------
// Painting

BOOL InvalidateRect(HWND wnd, const RECT* rect, BOOL erase);
BOOL InvalidateRgn(HWND wnd, HRGN rgn, BOOL erase);
BOOL ValidateRect(HWND wnd, const RECT* rect);
BOOL ValidateRgn(HWND wnd, HRGN rgn);
BOOL RedrawWindow(HWND wnd, const RECT* rect, HRGN rgn, UINT flags);
BOOL UpdateWindow(HWND wnd);
BOOL GetUpdateRect(HWND wnd, LPRECT rect, BOOL erase);
int GetUpdateRgn(HWND wnd, HRGN rgn, BOOL erase);
BOOL LockWindowUpdate(HWND wnd);
HDC BeginPaint(HWND wnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND wnd, const PAINTSTRUCT* ps);
HDC GetDC(HWND wnd);        // client area; nullptr window: the screen
HDC GetWindowDC(HWND wnd);  // whole window including the non-client area
HDC GetDCEx(HWND wnd, HRGN clip, DWORD flags);
int ReleaseDC(HWND wnd, HDC dc);
HWND WindowFromDC(HDC dc);
int ScrollWindowEx(HWND wnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update,
                   LPRECT updateRect, UINT flags);
BOOL ScrollWindow(HWND wnd, int dx, int dy, const RECT* scroll, const RECT* clip);

// ---------------------------------------------------------------------------------------------
// Scroll bars of a window's frame (WS_HSCROLL/WS_VSCROLL)

constexpr UINT SIF_RANGE = 0x01, SIF_PAGE = 0x02, SIF_POS = 0x04, SIF_DISABLENOSCROLL = 0x08,
               SIF_TRACKPOS = 0x10, SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
constexpr LONG OBJID_VSCROLL = -5, OBJID_HSCROLL = -6, OBJID_CLIENT = -4;
constexpr DWORD STATE_SYSTEM_UNAVAILABLE = 0x1, STATE_SYSTEM_PRESSED = 0x8, STATE_SYSTEM_INVISIBLE = 0x8000,
                STATE_SYSTEM_OFFSCREEN = 0x10000;
constexpr UINT ESB_ENABLE_BOTH = 0, ESB_DISABLE_LTUP = 1, ESB_DISABLE_RTDN = 2, ESB_DISABLE_BOTH = 3;

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int nMin = 0, nMax = 0;
  UINT nPage = 0;
  int nPos = 0, nTrackPos = 0;
};

struct SCROLLBARINFO {
  DWORD cbSize = sizeof(SCROLLBARINFO);
  RECT rcScrollBar;  // screen coordinates
  int dxyLineButton = 0, xyThumbTop = 0, xyThumbBottom = 0, reserved = 0;
  DWORD rgstate[6] = {};  // the bar, the two arrows, the two page areas and the thumb
};

int SetScrollInfo(HWND wnd, int bar, const SCROLLINFO* info, BOOL redraw);  // the new position
BOOL GetScrollInfo(HWND wnd, int bar, SCROLLINFO* info);
int SetScrollPos(HWND wnd, int bar, int pos, BOOL redraw);  // the previous position
int GetScrollPos(HWND wnd, int bar);
BOOL SetScrollRange(HWND wnd, int bar, int minPos, int maxPos, BOOL redraw);
BOOL GetScrollRange(HWND wnd, int bar, int* minPos, int* maxPos);
BOOL ShowScrollBar(HWND wnd, int bar, BOOL show);
BOOL EnableScrollBar(HWND wnd, UINT bar, UINT arrows);
BOOL GetScrollBarInfo(HWND wnd, LONG idObject, SCROLLBARINFO* info);

// ---------------------------------------------------------------------------------------------
// System

int GetSystemMetrics(int index);
// The screen's resolution. Coordinates stay in units of 96 dpi whatever it is: a higher one makes
// windows larger and sharper on the screen, not larger in their callers' numbers.
UINT GetDpiForSystem();
BOOL SystemParametersInfo(UINT action, UINT uiParam, void* pvParam, UINT winIni);
HMONITOR MonitorFromPoint(POINT pt, DWORD flags);
HMONITOR MonitorFromRect(const RECT* rect, DWORD flags);
HMONITOR MonitorFromWindow(HWND wnd, DWORD flags);
BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info);
// Sends a settings change (WM_SETTINGCHANGE with the section name as lParam), a colour change
// (WM_SYSCOLORCHANGE) or a theme change (WM_THEMECHANGED) to every top-level window.
void BroadcastSettingChange(UINT action, LPCSTR section);
void BroadcastSysColorChange();
void BroadcastThemeChange();

// ---------------------------------------------------------------------------------------------
// Standard text controls: the "EDIT" and "LISTBOX" window classes

constexpr DWORD ES_UPPERCASE = 0x0008, ES_LOWERCASE = 0x0010, ES_OEMCONVERT = 0x0400, ES_NUMBER = 0x2000;

constexpr UINT EM_GETSEL = 0x00B0, EM_SETSEL = 0x00B1, EM_GETRECT = 0x00B2, EM_SETRECT = 0x00B3,
               EM_SETRECTNP = 0x00B4, EM_SCROLL = 0x00B5, EM_LINESCROLL = 0x00B6, EM_SCROLLCARET = 0x00B7,
               EM_GETMODIFY = 0x00B8, EM_SETMODIFY = 0x00B9, EM_GETLINECOUNT = 0x00BA, EM_LINEINDEX = 0x00BB,
               EM_GETTHUMB = 0x00BE, EM_LINELENGTH = 0x00C1, EM_REPLACESEL = 0x00C2, EM_GETLINE = 0x00C4,
               EM_LIMITTEXT = 0x00C5, EM_SETLIMITTEXT = 0x00C5, EM_CANUNDO = 0x00C6, EM_UNDO = 0x00C7,
               EM_LINEFROMCHAR = 0x00C9, EM_SETTABSTOPS = 0x00CB, EM_SETPASSWORDCHAR = 0x00CC,
               EM_EMPTYUNDOBUFFER = 0x00CD, EM_GETFIRSTVISIBLELINE = 0x00CE, EM_SETREADONLY = 0x00CF,
               EM_GETPASSWORDCHAR = 0x00D2, EM_SETMARGINS = 0x00D3, EM_GETMARGINS = 0x00D4,
               EM_GETLIMITTEXT = 0x00D5, EM_POSFROMCHAR = 0x00D6, EM_CHARFROMPOS = 0x00D7;
// The caret's character index, full width (the caret end of the selection).
constexpr UINT EM_GETCARETINDEX = 0x1512;
// EM_SETMARGINS
constexpr WPARAM EC_LEFTMARGIN = 0x1, EC_RIGHTMARGIN = 0x2, EC_USEFONTINFO = 0xFFFF;
// Notifications of an edit to its parent (high word of WM_COMMAND's wParam).
constexpr WORD EN_SETFOCUS = 0x0100, EN_KILLFOCUS = 0x0200, EN_CHANGE = 0x0300, EN_UPDATE = 0x0400,
               EN_ERRSPACE = 0x0500, EN_MAXTEXT = 0x0501, EN_HSCROLL = 0x0601, EN_VSCROLL = 0x0602;

constexpr DWORD LBS_NOTIFY = 0x0001, LBS_SORT = 0x0002, LBS_NOREDRAW = 0x0004, LBS_MULTIPLESEL = 0x0008,
                LBS_OWNERDRAWFIXED = 0x0010, LBS_OWNERDRAWVARIABLE = 0x0020, LBS_HASSTRINGS = 0x0040,
                LBS_USETABSTOPS = 0x0080, LBS_NOINTEGRALHEIGHT = 0x0100, LBS_MULTICOLUMN = 0x0200,
                LBS_WANTKEYBOARDINPUT = 0x0400, LBS_EXTENDEDSEL = 0x0800, LBS_DISABLENOSCROLL = 0x1000,
                LBS_NODATA = 0x2000, LBS_NOSEL = 0x4000;
constexpr UINT LB_ADDSTRING = 0x0180, LB_INSERTSTRING = 0x0181, LB_DELETESTRING = 0x0182,
               LB_SELITEMRANGEEX = 0x0183, LB_RESETCONTENT = 0x0184, LB_SETSEL = 0x0185, LB_SETCURSEL = 0x0186,
               LB_GETSEL = 0x0187, LB_GETCURSEL = 0x0188, LB_GETTEXT = 0x0189, LB_GETTEXTLEN = 0x018A,
               LB_GETCOUNT = 0x018B, LB_SELECTSTRING = 0x018C, LB_GETTOPINDEX = 0x018E, LB_FINDSTRING = 0x018F,
               LB_GETSELCOUNT = 0x0190, LB_GETSELITEMS = 0x0191, LB_SETTABSTOPS = 0x0192,
               LB_GETHORIZONTALEXTENT = 0x0193, LB_SETHORIZONTALEXTENT = 0x0194, LB_SETCOLUMNWIDTH = 0x0195,
               LB_SETTOPINDEX = 0x0197, LB_GETITEMRECT = 0x0198, LB_GETITEMDATA = 0x0199,
               LB_SETITEMDATA = 0x019A, LB_SELITEMRANGE = 0x019B, LB_SETANCHORINDEX = 0x019C,
               LB_GETANCHORINDEX = 0x019D, LB_SETCARETINDEX = 0x019E, LB_GETCARETINDEX = 0x019F,
               LB_SETITEMHEIGHT = 0x01A0, LB_GETITEMHEIGHT = 0x01A1, LB_FINDSTRINGEXACT = 0x01A2,
               LB_SETCOUNT = 0x01A7, LB_INITSTORAGE = 0x01A8, LB_ITEMFROMPOINT = 0x01A9;
constexpr LRESULT LB_OKAY = 0, LB_ERR = -1, LB_ERRSPACE = -2;
// Notifications of a list box to its parent (LBS_NOTIFY).
constexpr WORD LBN_SELCHANGE = 1, LBN_DBLCLK = 2, LBN_SELCANCEL = 3, LBN_SETFOCUS = 4, LBN_KILLFOCUS = 5;
constexpr WORD LBN_ERRSPACE = 0xFFFE;

// Owner drawing (WM_MEASUREITEM/WM_DRAWITEM to the parent).
constexpr UINT ODT_MENU = 1, ODT_LISTBOX = 2, ODT_COMBOBOX = 3, ODT_BUTTON = 4;
constexpr UINT ODA_DRAWENTIRE = 0x1, ODA_SELECT = 0x2, ODA_FOCUS = 0x4;
constexpr UINT ODS_SELECTED = 0x1, ODS_GRAYED = 0x2, ODS_DISABLED = 0x4, ODS_CHECKED = 0x8, ODS_FOCUS = 0x10,
               ODS_DEFAULT = 0x20, ODS_COMBOBOXEDIT = 0x1000;
// Messages of a list box to its parent about its items (the reflected CN_ values build on them).
constexpr UINT WM_DELETEITEM = 0x002D, WM_VKEYTOITEM = 0x002E, WM_CHARTOITEM = 0x002F, WM_COMPAREITEM = 0x0039;
struct DELETEITEMSTRUCT {
  UINT CtlType = 0, CtlID = 0, itemID = 0;
  HWND hwndItem = nullptr;
  ULONG_PTR itemData = 0;
};
struct COMPAREITEMSTRUCT {
  UINT CtlType = 0, CtlID = 0;
  HWND hwndItem = nullptr;
  UINT itemID1 = 0;
  ULONG_PTR itemData1 = 0;
  UINT itemID2 = 0;
  ULONG_PTR itemData2 = 0;
  DWORD dwLocaleId = 0;
};
struct MEASUREITEMSTRUCT {
  UINT CtlType = 0, CtlID = 0, itemID = 0, itemWidth = 0, itemHeight = 0;
  ULONG_PTR itemData = 0;
};
struct DRAWITEMSTRUCT {
  UINT CtlType = 0, CtlID = 0, itemID = 0, itemAction = 0, itemState = 0;
  HWND hwndItem = nullptr;
  HDC hDC = nullptr;
  RECT rcItem;
  ULONG_PTR itemData = 0;
};

// ---------------------------------------------------------------------------------------------
// Flat scroll bars: the same bars as the frame's, under the names some controls use.

constexpr int WSB_PROP_CYVSCROLL = 0x1, WSB_PROP_CXHSCROLL = 0x2, WSB_PROP_CYHSCROLL = 0x4,
              WSB_PROP_CXVSCROLL = 0x8, WSB_PROP_CXHTHUMB = 0x10, WSB_PROP_CYVTHUMB = 0x20,
              WSB_PROP_VBKGCOLOR = 0x40, WSB_PROP_HBKGCOLOR = 0x80, WSB_PROP_VSTYLE = 0x100,
              WSB_PROP_HSTYLE = 0x200, WSB_PROP_WINSTYLE = 0x400, WSB_PROP_PALETTE = 0x800;
constexpr int FSB_FLAT_MODE = 2, FSB_ENCARTA_MODE = 1, FSB_REGULAR_MODE = 0;
BOOL InitializeFlatSB(HWND wnd);
BOOL UninitializeFlatSB(HWND wnd);
BOOL FlatSB_GetScrollInfo(HWND wnd, int bar, SCROLLINFO* info);
int FlatSB_SetScrollInfo(HWND wnd, int bar, const SCROLLINFO* info, BOOL redraw);
int FlatSB_GetScrollPos(HWND wnd, int bar);
int FlatSB_SetScrollPos(HWND wnd, int bar, int pos, BOOL redraw);
BOOL FlatSB_GetScrollRange(HWND wnd, int bar, int* minPos, int* maxPos);
BOOL FlatSB_SetScrollRange(HWND wnd, int bar, int minPos, int maxPos, BOOL redraw);
BOOL FlatSB_ShowScrollBar(HWND wnd, int bar, BOOL show);
BOOL FlatSB_EnableScrollBar(HWND wnd, int bar, UINT arrows);
// Properties are kept per window; the metrics answer the system's scroll-bar sizes until set.
BOOL FlatSB_GetScrollProp(HWND wnd, int index, int* value);
BOOL FlatSB_SetScrollProp(HWND wnd, UINT index, int value, BOOL redraw);
