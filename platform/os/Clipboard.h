// The clipboard and the movable memory blocks that carry its data.
//
// Text goes in and out as on the platform: a block from GlobalAlloc holding zero-terminated
// Windows-1252 text, handed to SetClipboardData(CF_TEXT, block) while the clipboard is open
// (the clipboard then owns the block), and read with GlobalLock on GetClipboardData(CF_TEXT).
// SetClipboardText/GetClipboardText do the same steps in one call.
//
// Headless, the clipboard lives in the process. On the sdl backend CF_TEXT (and the CF_UNICODETEXT
// made from it) is the system clipboard, as UTF-8 with LF line ends outside and CRLF inside.
// Other formats (CF_BITMAP, registered formats) stay in the process.
//
// Where the parts live: WinClipboard.cpp.
#pragma once

#include "platform/os/WinTypes.h"

struct HGLOBAL__;
using HGLOBAL = HGLOBAL__*;
using HANDLE = void*;

// Movable memory blocks. Bad handles are refused (nullptr, 0 or FALSE); GlobalFree returns the
// handle when it cannot free it and nullptr when it did. Thread-safe.
constexpr UINT GMEM_FIXED = 0x0000, GMEM_MOVEABLE = 0x0002, GMEM_ZEROINIT = 0x0040,
               GHND = GMEM_MOVEABLE | GMEM_ZEROINIT, GPTR = GMEM_FIXED | GMEM_ZEROINIT;
HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
HGLOBAL GlobalFree(HGLOBAL mem);
void* GlobalLock(HGLOBAL mem);
BOOL GlobalUnlock(HGLOBAL mem);  // TRUE while locks remain
size_t GlobalSize(HGLOBAL mem);

// Standard formats. Registered formats start at 0xC000.
constexpr UINT CF_TEXT = 1, CF_BITMAP = 2, CF_METAFILEPICT = 3, CF_OEMTEXT = 7, CF_DIB = 8,
               CF_UNICODETEXT = 13, CF_ENHMETAFILE = 14, CF_LOCALE = 16;

// Opening fails while another window holds the clipboard open; EmptyClipboard makes the opener
// the owner. GetClipboardData and SetClipboardData need the clipboard open.
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
HWND GetClipboardOwner();
HWND GetOpenClipboardWindow();
// CF_BITMAP takes an HBITMAP, every other format an HGLOBAL; the clipboard owns it afterwards
// and frees it when emptied. Returns the data, nullptr on failure (null data is refused: the
// data is never rendered later).
HANDLE SetClipboardData(UINT format, HANDLE data);
// The clipboard's handle (not the caller's to free); CF_TEXT and CF_UNICODETEXT are made from each
// other when only one is present.
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
int CountClipboardFormats();
UINT EnumClipboardFormats(UINT format);  // the format after `format` (0: the first), 0 at the end
UINT RegisterClipboardFormat(const char* name);  // 0 for an empty name
int GetClipboardFormatName(UINT format, char* buffer, int maxCount);
// Counts every change of the clipboard's contents.
DWORD GetClipboardSequenceNumber();

// Opens, empties, stores the text as CF_TEXT and closes; FALSE when the clipboard cannot be
// opened. Text stops at the first zero byte, as CF_TEXT does.
BOOL SetClipboardText(HWND owner, const String& text);
// The CF_TEXT text, empty when there is none or the clipboard is held open by another window.
String GetClipboardText(HWND owner);

// The primary selection of X: the text last selected in an edit, which a middle click pastes.
// Windows-1252 inside; on the sdl backend it is the system's (UTF-8, LF line ends).
void SetPrimarySelectionText(const String& text);
String GetPrimarySelectionText();
