// Helpers shared by the built-in text controls ("EDIT", "LISTBOX"). Not for use outside platform/os.
//
// Where the parts live: WinTextControls.cpp (the helpers), WinEdit.cpp (the "EDIT" class),
// WinListBox.cpp (the "LISTBOX" class).
#pragma once

#include <vector>

#include "platform/os/Gdi.h"
#include "platform/os/Windows.h"

void RegisterEditClass();
void RegisterListBoxClass();

// WM_COMMAND with a notification code to the control's parent.
void NotifyParent(HWND wnd, WORD code);
bool KeyDown(int vk);  // the key is down as of the message being handled

// A client DC of the control with its font selected, released on scope exit.
class TControlDC {
 public:
  TControlDC(HWND wnd, HFONT font);
  ~TControlDC();
  TControlDC(const TControlDC&) = delete;
  TControlDC& operator=(const TControlDC&) = delete;
  HDC Handle() const { return FDC; }

 private:
  HWND FWnd;
  HDC FDC;
  HGDIOBJ FOldFont;
};

// The control's font, or the default GUI font when it has none.
HFONT ControlFont(HFONT font);
// Height and average character width of a font.
TSize FontCellSize(HFONT font);
// The x offset of every character boundary of a run (size count + 1, the first 0); tabs advance
// to the next multiple of tabWidth when tabWidth > 0.
std::vector<int> CharOffsets(HDC dc, const char* text, int count, int tabWidth);
