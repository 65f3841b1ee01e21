// Menus: menu handles and their items, the menu bar of a top-level window (drawn in its
// non-client area) and pop-up menus tracked in a modal loop of their own.
//
// Keyboard in a menu: arrows move (left/right across the bar and in and out of sub-menus), Home
// and End, Enter chooses, Esc closes one level, Alt or F10 leaves; a letter chooses the item whose
// caption marks it with '&' (several items with the letter: the next one is selected). Mouse:
// pointing selects and opens sub-menus at once, releasing a button over an item chooses it, a
// click outside closes the menu. The bar is entered with Alt or F10 alone, Alt+letter (the
// item's pop-up opens) or a click on it.
//
// Chosen items post WM_COMMAND (MAKEWPARAM(id, 0), 0) to the owner window. The owner also gets
// WM_ENTERMENULOOP/WM_EXITMENULOOP, WM_INITMENU, WM_INITMENUPOPUP before each pop-up shows,
// WM_MENUSELECT as the selection moves (flags 0xFFFF and no menu when it closes),
// WM_UNINITMENUPOPUP, WM_MENUCHAR for a letter no item has, and WM_MEASUREITEM/WM_DRAWITEM
// (ODT_MENU) for owner-drawn items.
//
// Where the parts live: WinMenu.cpp (menu handles, items, accelerator tables), WinMenuTrack.cpp
// (layout and drawing, the menu bar, the tracking loop).
#pragma once

#include "platform/os/Windows.h"

// Item flags of AppendMenu/InsertMenu/ModifyMenu and results of GetMenuState.
constexpr UINT MF_INSERT = 0x0, MF_CHANGE = 0x80, MF_APPEND = 0x100, MF_DELETE = 0x200, MF_REMOVE = 0x1000,
               MF_BYCOMMAND = 0x0, MF_BYPOSITION = 0x400, MF_SEPARATOR = 0x800, MF_ENABLED = 0x0,
               MF_GRAYED = 0x1, MF_DISABLED = 0x2, MF_UNCHECKED = 0x0, MF_CHECKED = 0x8,
               MF_USECHECKBITMAPS = 0x200, MF_STRING = 0x0, MF_BITMAP = 0x4, MF_OWNERDRAW = 0x100,
               MF_POPUP = 0x10, MF_MENUBARBREAK = 0x20, MF_MENUBREAK = 0x40, MF_UNHILITE = 0x0,
               MF_HILITE = 0x80, MF_DEFAULT = 0x1000, MF_SYSMENU = 0x2000, MF_HELP = 0x4000,
               MF_RIGHTJUSTIFY = 0x4000, MF_MOUSESELECT = 0x8000;
constexpr UINT MFT_STRING = MF_STRING, MFT_BITMAP = MF_BITMAP, MFT_MENUBARBREAK = MF_MENUBARBREAK,
               MFT_MENUBREAK = MF_MENUBREAK, MFT_OWNERDRAW = MF_OWNERDRAW, MFT_RADIOCHECK = 0x200,
               MFT_SEPARATOR = MF_SEPARATOR, MFT_RIGHTORDER = 0x2000, MFT_RIGHTJUSTIFY = MF_RIGHTJUSTIFY;
constexpr UINT MFS_GRAYED = 0x3, MFS_DISABLED = MFS_GRAYED, MFS_CHECKED = MF_CHECKED, MFS_HILITE = MF_HILITE,
               MFS_ENABLED = MF_ENABLED, MFS_UNCHECKED = MF_UNCHECKED, MFS_UNHILITE = MF_UNHILITE,
               MFS_DEFAULT = MF_DEFAULT;
constexpr UINT MIIM_STATE = 0x1, MIIM_ID = 0x2, MIIM_SUBMENU = 0x4, MIIM_CHECKMARKS = 0x8, MIIM_TYPE = 0x10,
               MIIM_DATA = 0x20, MIIM_STRING = 0x40, MIIM_BITMAP = 0x80, MIIM_FTYPE = 0x100;
constexpr UINT GMDI_USEDISABLED = 0x1, GMDI_GOINTOPOPUPS = 0x2;

// TrackPopupMenu flags.
constexpr UINT TPM_LEFTBUTTON = 0x0, TPM_RIGHTBUTTON = 0x2, TPM_LEFTALIGN = 0x0, TPM_CENTERALIGN = 0x4,
               TPM_RIGHTALIGN = 0x8, TPM_TOPALIGN = 0x0, TPM_VCENTERALIGN = 0x10, TPM_BOTTOMALIGN = 0x20,
               TPM_HORIZONTAL = 0x0, TPM_VERTICAL = 0x40, TPM_NONOTIFY = 0x80, TPM_RETURNCMD = 0x100,
               TPM_RECURSE = 0x1, TPM_HORPOSANIMATION = 0x400, TPM_HORNEGANIMATION = 0x800,
               TPM_VERPOSANIMATION = 0x1000, TPM_VERNEGANIMATION = 0x2000, TPM_NOANIMATION = 0x4000,
               TPM_LAYOUTRTL = 0x8000;

// Menu messages (values of the window system's message space).
constexpr UINT WM_INITMENU = 0x0116, WM_MENUCHAR = 0x0120, WM_UNINITMENUPOPUP = 0x0125;
// WM_MENUCHAR answers (high word; the low word is an item position).
constexpr WORD MNC_IGNORE = 0, MNC_CLOSE = 1, MNC_EXECUTE = 2, MNC_SELECT = 3;

// The class of pop-up menu windows.
constexpr const char* POPUPMENU_CLASS = "#32768";

struct MENUITEMINFO {
  UINT cbSize = sizeof(MENUITEMINFO);
  UINT fMask = 0;
  UINT fType = 0;
  UINT fState = 0;
  UINT wID = 0;
  HMENU hSubMenu = nullptr;
  HBITMAP hbmpChecked = nullptr;
  HBITMAP hbmpUnchecked = nullptr;
  ULONG_PTR dwItemData = 0;
  char* dwTypeData = nullptr;  // text in (const text is fine) and out, or an HBITMAP for MFT_BITMAP
  UINT cch = 0;                // buffer size out; the text's length comes back
  HBITMAP hbmpItem = nullptr;  // a picture left of the text
};
using LPMENUITEMINFO = MENUITEMINFO*;

struct TPMPARAMS {
  UINT cbSize = sizeof(TPMPARAMS);
  RECT rcExclude;  // screen rectangle the menu must not cover
};

HMENU CreateMenu();       // a menu bar
HMENU CreatePopupMenu();  // a drop-down or pop-up menu
BOOL DestroyMenu(HMENU menu);  // with its sub-menus
BOOL IsMenu(HMENU menu);

// `item` is a command id (MF_BYCOMMAND, searched through sub-menus too) or a position
// (MF_BYPOSITION). With MF_POPUP, `id` is the sub-menu's handle. `content` is the text, or the
// HBITMAP for MF_BITMAP, or the item data for MF_OWNERDRAW.
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR id, LPCSTR content);
BOOL InsertMenu(HMENU menu, UINT item, UINT flags, UINT_PTR id, LPCSTR content);
BOOL ModifyMenu(HMENU menu, UINT item, UINT flags, UINT_PTR id, LPCSTR content);
BOOL RemoveMenu(HMENU menu, UINT item, UINT flags);  // keeps the sub-menu alive
BOOL DeleteMenu(HMENU menu, UINT item, UINT flags);  // destroys the sub-menu
BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info);
BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFO* info);
BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info);

// The previous state (MF_CHECKED/MF_UNCHECKED, MF_ENABLED/MF_GRAYED/MF_DISABLED), or (DWORD)-1
// when there is no such item.
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);
BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags);  // returns the previous state or -1
// Checks `check` and unchecks the others of first..last, marking it as a radio item.
BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags);
BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition);  // (UINT)-1: no default
UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags);  // (UINT)-1 when none
BOOL HiliteMenuItem(HWND wnd, HMENU menu, UINT item, UINT flags);

int GetMenuItemCount(HMENU menu);  // -1 for a bad handle
UINT GetMenuItemID(HMENU menu, int pos);  // (UINT)-1 for a sub-menu item or a bad position
// MF_ flags of the item; for a sub-menu item its item count is in the high byte. (UINT)-1 if none.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
HMENU GetSubMenu(HMENU menu, int pos);
int GetMenuString(HMENU menu, UINT item, char* buffer, int maxCount, UINT flags);

// The menu bar of a top-level window (a child window's menu slot is its id). SetMenu redoes the
// frame so the bar takes its rows from the client area; DrawMenuBar after changing the bar.
BOOL SetMenu(HWND wnd, HMENU menu);
HMENU GetMenu(HWND wnd);
BOOL DrawMenuBar(HWND wnd);
int GetMenuBarHeight(HWND wnd);  // 0 without a bar
// The screen rectangle of an item of the window's bar (wnd) or of an open pop-up (wnd nullptr).
BOOL GetMenuItemRect(HWND wnd, HMENU menu, UINT pos, LPRECT rect);
int MenuItemFromPoint(HWND wnd, HMENU menu, POINT screen);  // -1 when no item is there

// Shows a pop-up menu at a screen point and returns when it closes: with TPM_RETURNCMD the chosen
// id (0: none), otherwise TRUE once the menu was shown, chosen or cancelled (a chosen item's
// WM_COMMAND is posted to `owner`). FALSE for a bad menu or owner, or while another menu is open
// (unless TPM_RECURSE).
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* reserved2);
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params);
BOOL EndMenu();  // closes the open menu as if cancelled
// The window that owns the open menu, nullptr when none is open.
HWND GetMenuOwner();

// Keyboard accelerators: key combinations that send WM_COMMAND (HIWORD 1) to a window.
struct HACCEL__;
using HACCEL = HACCEL__*;
constexpr BYTE FVIRTKEY = 0x01, FNOINVERT = 0x02, FSHIFT = 0x04, FCONTROL = 0x08, FALT = 0x10;
struct ACCEL {
  BYTE fVirt = 0;  // FVIRTKEY: key is a virtual key; otherwise a character
  WORD key = 0;
  WORD cmd = 0;
};
HACCEL CreateAcceleratorTable(const ACCEL* accels, int count);
BOOL DestroyAcceleratorTable(HACCEL table);
int CopyAcceleratorTable(HACCEL table, ACCEL* out, int count);  // the entry count when out is null
// Sends WM_COMMAND (MAKEWPARAM(cmd, 1), 0) to `wnd` when the message is a key of the
// table; the message must then not be translated and dispatched.
int TranslateAccelerator(HWND wnd, HACCEL table, const MSG* msg);
