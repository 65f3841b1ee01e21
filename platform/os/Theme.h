// Visual styles interface. No theme engine is active yet: OpenThemeData answers no theme and
// every call on a theme handle fails, so callers take their classic drawing paths.
#pragma once

#include "platform/os/WinTypes.h"

using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = HRESULT(0x80004005u);
constexpr HRESULT E_HANDLE = HRESULT(0x80070006u);
constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

enum THEMESIZE { TS_MIN = 0, TS_TRUE = 1, TS_DRAW = 2 };

constexpr DWORD STAP_ALLOW_NONCLIENT = 1, STAP_ALLOW_CONTROLS = 2, STAP_ALLOW_WEBCONTENT = 4;

BOOL IsThemeActive();
BOOL IsAppThemed();
DWORD GetThemeAppProperties();
// nullptr: no theme for these classes (a semicolon-separated list such as u"Button").
HTHEME OpenThemeData(HWND wnd, const WideChar* classList);
HRESULT CloseThemeData(HTHEME theme);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect, const RECT* clip);
HRESULT DrawThemeText(HTHEME theme, HDC dc, int partId, int stateId, const WideChar* text, int count, DWORD flags,
                      DWORD flags2, const RECT* rect);
HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect, UINT edge, UINT flags,
                      RECT* contentRect);
HRESULT DrawThemeParentBackground(HWND wnd, HDC dc, const RECT* rect);
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int partId, int stateId, const RECT* bounds,
                                      RECT* content);
HRESULT GetThemeColor(HTHEME theme, int partId, int stateId, int propId, COLORREF* color);
HRESULT GetThemePartSize(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect, THEMESIZE size,
                         SIZE* result);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int partId, int stateId);
HRESULT GetCurrentThemeName(WideChar* fileName, int fileNameChars, WideChar* colorName, int colorChars,
                            WideChar* sizeName, int sizeChars);
