// The visual styles calls while no theme engine is present: no theme is ever open.
#include "platform/os/Theme.h"

BOOL IsThemeActive() { return FALSE; }
BOOL IsAppThemed() { return FALSE; }
DWORD GetThemeAppProperties() { return 0; }
HTHEME OpenThemeData(HWND, const WideChar*) { return nullptr; }
HRESULT CloseThemeData(HTHEME theme) { return theme ? E_HANDLE : S_OK; }

HRESULT DrawThemeBackground(HTHEME, HDC, int, int, const RECT*, const RECT*) { return E_HANDLE; }
HRESULT DrawThemeText(HTHEME, HDC, int, int, const WideChar*, int, DWORD, DWORD, const RECT*) { return E_HANDLE; }
HRESULT DrawThemeEdge(HTHEME, HDC, int, int, const RECT*, UINT, UINT, RECT*) { return E_HANDLE; }
HRESULT DrawThemeParentBackground(HWND, HDC, const RECT*) { return E_FAIL; }
HRESULT GetThemeBackgroundContentRect(HTHEME, HDC, int, int, const RECT*, RECT*) { return E_HANDLE; }
HRESULT GetThemeColor(HTHEME, int, int, int, COLORREF*) { return E_HANDLE; }
HRESULT GetThemePartSize(HTHEME, HDC, int, int, const RECT*, THEMESIZE, SIZE*) { return E_HANDLE; }
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME, int, int) { return FALSE; }

HRESULT GetCurrentThemeName(WideChar* fileName, int fileNameChars, WideChar* colorName, int colorChars,
                            WideChar* sizeName, int sizeChars) {
  for (auto [buf, n] : {std::pair{fileName, fileNameChars}, {colorName, colorChars}, {sizeName, sizeChars}})
    if (buf && n > 0) buf[0] = 0;
  return E_FAIL;
}
