// Visual styles: the OpenThemeData family, answered by a theme engine of ours that draws the
// classes, parts and states the library uses in one modern style (gradients, rounded corners,
// hot and pressed looks). Themes can be switched off; then no theme is active, OpenThemeData
// answers nullptr and callers take their classic drawing paths.
//
// Whether themes are on at start-up: the environment variable QJ_THEMES ("on"/"off", "1"/"0")
// when set, else the per-user setting (HKEY_CURRENT_USER\Software\QJ\Appearance, value
// "Themes"), else on. Switching gives the system colours the look's palette (the button face is
// kThemedFaceColor while themes are on) and broadcasts WM_SYSCOLORCHANGE, then WM_THEMECHANGED, to
// every top-level window.
//
// Where the parts live: GdiTheme.cpp (handles, switch, queries), ThemeDraw.cpp (the drawings).
#pragma once

#include "platform/os/WinTypes.h"

using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = HRESULT(0x80004005u);
constexpr HRESULT E_HANDLE = HRESULT(0x80070006u);
constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

enum THEMESIZE : int { TS_MIN = 0, TS_TRUE = 1, TS_DRAW = 2 };

constexpr DWORD STAP_ALLOW_NONCLIENT = 1, STAP_ALLOW_CONTROLS = 2, STAP_ALLOW_WEBCONTENT = 4;

// Colour properties of GetThemeColor.
constexpr int TMT_BORDERCOLOR = 3801, TMT_FILLCOLOR = 3802, TMT_TEXTCOLOR = 3803, TMT_GLYPHTEXTCOLOR = 3819;

// Parts and states of the classes the engine answers.
enum BUTTONPARTS { BP_PUSHBUTTON = 1, BP_RADIOBUTTON = 2, BP_CHECKBOX = 3, BP_GROUPBOX = 4 };
enum PUSHBUTTONSTATES { PBS_NORMAL = 1, PBS_HOT = 2, PBS_PRESSED = 3, PBS_DISABLED = 4, PBS_DEFAULTED = 5 };
// Check boxes and radio buttons: unchecked 1-4, checked 5-8, mixed 9-12 (check boxes), each as
// normal, hot, pressed, disabled.
enum CHECKSTATES { CBS_UNCHECKEDNORMAL = 1, CBS_CHECKEDNORMAL = 5, CBS_MIXEDNORMAL = 9 };
enum GROUPBOXSTATES { GBS_NORMAL = 1, GBS_DISABLED = 2 };

enum SCROLLBARPARTS {
  SBP_ARROWBTN = 1, SBP_THUMBBTNHORZ = 2, SBP_THUMBBTNVERT = 3, SBP_LOWERTRACKHORZ = 4, SBP_UPPERTRACKHORZ = 5,
  SBP_LOWERTRACKVERT = 6, SBP_UPPERTRACKVERT = 7, SBP_GRIPPERHORZ = 8, SBP_GRIPPERVERT = 9, SBP_SIZEBOX = 10
};
// Arrow buttons: up 1-4, down 5-8, left 9-12, right 13-16, each as normal, hot, pressed, disabled.
enum ARROWBTNSTATES { ABS_UPNORMAL = 1, ABS_DOWNNORMAL = 5, ABS_LEFTNORMAL = 9, ABS_RIGHTNORMAL = 13 };
// Thumbs, tracks, drop-down, spin, page and small close buttons.
enum BUTTONLIKESTATES { BLS_NORMAL = 1, BLS_HOT = 2, BLS_PRESSED = 3, BLS_DISABLED = 4 };

enum LISTVIEWPARTS { LVP_FRAME = 5 };
enum TREEVIEWPARTS { TVP_GLYPH = 2 };
enum GLYPHSTATES { GLPS_CLOSED = 1, GLPS_OPENED = 2 };
enum HEADERPARTS { HP_HEADERITEM = 1 };
enum HEADERITEMSTATES { HIS_NORMAL = 1, HIS_HOT = 2, HIS_PRESSED = 3 };
enum TRACKBARPARTS {
  TKP_TRACK = 1, TKP_TRACKVERT = 2, TKP_THUMB = 3, TKP_THUMBBOTTOM = 4, TKP_THUMBTOP = 5, TKP_THUMBVERT = 6,
  TKP_THUMBLEFT = 7, TKP_THUMBRIGHT = 8
};
enum THUMBSTATES { TUS_NORMAL = 1, TUS_HOT = 2, TUS_PRESSED = 3, TUS_FOCUSED = 4, TUS_DISABLED = 5 };
enum WINDOWPARTS { WP_CLOSEBUTTON = 18, WP_SMALLCLOSEBUTTON = 19 };
enum TABPARTS { TABP_TABITEM = 1, TABP_PANE = 9 };
enum TABITEMSTATES { TIS_NORMAL = 1, TIS_HOT = 2, TIS_SELECTED = 3, TIS_DISABLED = 4, TIS_FOCUSED = 5 };
enum EDITPARTS { EP_EDITTEXT = 1 };
enum EDITTEXTSTATES {
  ETS_NORMAL = 1, ETS_HOT = 2, ETS_SELECTED = 3, ETS_DISABLED = 4, ETS_FOCUSED = 5, ETS_READONLY = 6
};
enum COMBOBOXPARTS { CP_DROPDOWNBUTTON = 1 };
enum SPINPARTS { SPNP_UP = 1, SPNP_DOWN = 2, SPNP_UPHORZ = 3, SPNP_DOWNHORZ = 4 };
enum STATUSPARTS { SP_BACKGROUND = 0, SP_PANE = 1, SP_GRIPPERPANE = 2, SP_GRIPPER = 3 };
enum PAGEPARTS { PGRP_UP = 1, PGRP_DOWN = 2, PGRP_UPHORZ = 3, PGRP_DOWNHORZ = 4 };
enum PROGRESSPARTS { PP_BAR = 1, PP_BARVERT = 2, PP_CHUNK = 3, PP_CHUNKVERT = 4 };

// The face of the themed look: the system's button face while themes are on, and the fill of
// the theme's tracks, status bars and panes.
constexpr COLORREF kThemedFaceColor = RGB(240, 240, 240);

BOOL IsThemeActive();
BOOL IsAppThemed();
DWORD GetThemeAppProperties();
// The theme of the first class of a semicolon-separated list (such as u"Button") that the
// engine answers, compared without case; nullptr when themes are off or no class is answered.
HTHEME OpenThemeData(HWND wnd, const WideChar* classList);
HRESULT CloseThemeData(HTHEME theme);
// Every call below checks its handle (E_HANDLE), its part and state (E_INVALIDARG) and its
// pointers (E_INVALIDARG) before it does anything.
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect, const RECT* clip);
// The text in the part's text colour for the state, with the DC's font (count -1: up to zero).
HRESULT DrawThemeText(HTHEME theme, HDC dc, int partId, int stateId, const WideChar* text, int count, DWORD flags,
                      DWORD flags2, const RECT* rect);
HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect, UINT edge, UINT flags,
                      RECT* contentRect);
// Has the parent of wnd erase and paint its client area into dc behind the child.
HRESULT DrawThemeParentBackground(HWND wnd, HDC dc, const RECT* rect);
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int partId, int stateId, const RECT* bounds,
                                      RECT* content);
HRESULT GetThemeColor(HTHEME theme, int partId, int stateId, int propId, COLORREF* color);
HRESULT GetThemePartSize(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect, THEMESIZE size,
                         SIZE* result);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int partId, int stateId);
HRESULT GetCurrentThemeName(WideChar* fileName, int fileNameChars, WideChar* colorName, int colorChars,
                            WideChar* sizeName, int sizeChars);

// The switch of the engine (not part of the original interface).
namespace ThemeEngine {
bool Enabled();
// Turns themes on or off at run time; a change broadcasts WM_THEMECHANGED. Remember stores the
// choice in the per-user setting.
void SetEnabled(bool enabled, bool remember = false);
// Reads the start-up choice again (environment, then per-user setting) and applies it.
void Reload();
// Test seam: makes the engine answer no theme for one class, as a theme lacking that class.
void SetClassHidden(const WideChar* className, bool hidden);
// Set by the window system: tells every top-level window of a theme change.
using TThemeChangeHandler = void (*)();
void SetChangeHandler(TThemeChangeHandler handler);
}  // namespace ThemeEngine
