// Helpers shared by the built-in text controls, and their registration with the system classes.
#include "platform/os/WinTextControls.h"

#include <algorithm>

void RegisterTextControlClasses() {
  RegisterEditClass();
  RegisterListBoxClass();
}

void NotifyParent(HWND wnd, WORD code) {
  HWND parent = GetParent(wnd);
  if (!parent) return;
  SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(wnd)), code), reinterpret_cast<LPARAM>(wnd));
}

bool KeyDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

TControlDC::TControlDC(HWND wnd, HFONT font) : FWnd(wnd), FDC(GetDC(wnd)) {
  if (!FDC) FDC = GetDC(nullptr), FWnd = nullptr;
  FOldFont = SelectObject(FDC, ControlFont(font));
}

TControlDC::~TControlDC() {
  SelectObject(FDC, FOldFont);
  ReleaseDC(FWnd, FDC);
}

HFONT ControlFont(HFONT font) { return font ? font : GetStockObject(DEFAULT_GUI_FONT); }

TSize FontCellSize(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ControlFont(font));
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return {tm.tmAveCharWidth, tm.tmHeight};
}

std::vector<int> CharOffsets(HDC dc, const char* text, int count, int tabWidth) {
  std::vector<int> x(static_cast<size_t>(std::max(count, 0)) + 1, 0);
  int i = 0;
  while (i < count) {
    if (text[i] == '\t' && tabWidth > 0) {
      x[size_t(i) + 1] = (x[size_t(i)] / tabWidth + 1) * tabWidth;
      ++i;
      continue;
    }
    int j = i;
    while (j < count && !(text[j] == '\t' && tabWidth > 0)) ++j;
    std::vector<int> ends(static_cast<size_t>(j - i));
    SIZE size;
    GetTextExtentExPoint(dc, text + i, j - i, -1, nullptr, ends.data(), &size);
    for (int k = 0; k < j - i; ++k) x[size_t(i + k) + 1] = x[size_t(i)] + ends[size_t(k)];
    i = j;
  }
  return x;
}
