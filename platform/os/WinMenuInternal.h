// Menu records shared by the menu files, and the menu bar's part in the default window
// procedure. Not for use outside platform/os.
#pragma once

#include <vector>

#include "platform/os/WinMenus.h"
#include "platform/os/WinInternal.h"

struct TMenuItemRec {
  UINT Type = MFT_STRING;  // MFT_ flags
  UINT State = 0;          // MFS_ flags
  UINT Id = 0;
  HMENU SubMenu = nullptr;
  HBITMAP CheckedBitmap = nullptr;
  HBITMAP UncheckedBitmap = nullptr;
  ULONG_PTR Data = 0;
  String Text;
  HBITMAP Bitmap = nullptr;      // the picture beside the text
  HBITMAP TypeBitmap = nullptr;  // the item's whole content (MFT_BITMAP)

  bool IsSeparator() const { return (Type & MFT_SEPARATOR) != 0; }
  bool IsDisabled() const { return (State & MFS_GRAYED) != 0; }
};

struct TMenuRec {
  HMENU Handle = nullptr;
  bool IsBar = false;
  std::vector<TMenuItemRec> Items;
};

TMenuRec* FindMenuRec(HMENU menu);
// The menu and index of an item by command id (searched depth first) or by position.
bool LocateMenuItem(HMENU menu, UINT item, UINT flags, TMenuRec*& owner, int& index);

// Menu bar rows of a top-level window of the given window width; 0 without a bar.
int MenuBarHeight(const TWindowRec* w);
// Draws the bar at the top of `inside` (surface coordinates); returns its height.
int PaintMenuBar(TWindowRec* w, const TRegionData& clip, const TRect& inside);
// The menu bar's handling of default window procedure messages; true when it answered.
bool MenuBarDefProc(TWindowRec* w, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
