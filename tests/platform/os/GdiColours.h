// Plain colours the pixel tests paint with and read back. Kept apart from GdiTestSupport.h, which
// other test programs include next to colour names of their own.
#pragma once

#include "platform/os/Gdi.h"

inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kRed = RGB(255, 0, 0);
inline constexpr COLORREF kBlue = RGB(0, 0, 255);
