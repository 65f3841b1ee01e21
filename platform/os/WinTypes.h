// Scalar and handle types of the window system and drawing layer.
//
// Handles are opaque pointers to objects of ours; a handle that names no live object is refused
// with the platform's failure value, never dereferenced.
#pragma once

#include <cstdint>

#include "platform/rtl/System.h"

using BOOL = int;
using UINT = uint32_t;
using DWORD = uint32_t;
using WORD = uint16_t;
using BYTE = uint8_t;
using LONG = int32_t;
using SHORT = int16_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using LONG_PTR = intptr_t;
using ULONG_PTR = uintptr_t;
using UINT_PTR = uintptr_t;
using ATOM = uint16_t;
using COLORREF = uint32_t;  // 0x00BBGGRR

#ifndef TRUE
constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
#endif

struct HWND__;
struct HDC__;
struct HGDIOBJ__;
struct HMENU__;
struct HCURSOR__;
struct HICON__;
struct HMONITOR__;
struct HHOOK__;
struct HINSTANCE__;
struct HTHEME__;
struct HIMAGELIST__;
using HWND = HWND__*;
using HDC = HDC__*;
using HGDIOBJ = HGDIOBJ__*;
using HPEN = HGDIOBJ;
using HBRUSH = HGDIOBJ;
using HFONT = HGDIOBJ;
using HBITMAP = HGDIOBJ;
using HRGN = HGDIOBJ;
using HPALETTE = HGDIOBJ;
using HMENU = HMENU__*;
using HCURSOR = HCURSOR__*;
using HICON = HICON__*;
using HMONITOR = HMONITOR__*;
using HHOOK = HHOOK__*;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
using HTHEME = HTHEME__*;
using HIMAGELIST = HIMAGELIST__*;

using RECT = TRect;
using POINT = TPoint;
using SIZE = TSize;
using LPRECT = RECT*;
using LPPOINT = POINT*;

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
  return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xFF); }

constexpr WORD LOWORD(uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr LONG MAKELONG(WORD lo, WORD hi) { return static_cast<LONG>(static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16)); }
constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) { return static_cast<LPARAM>(MAKELONG(lo, hi)); }
constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) { return static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(lo, hi))); }
constexpr int GET_X_LPARAM(LPARAM lp) { return static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lp))); }
constexpr int GET_Y_LPARAM(LPARAM lp) { return static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(lp))); }
