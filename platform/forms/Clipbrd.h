// The clipboard object: text, pictures and raw formats on the window system's clipboard.
// Open/Close nest, so several changes can go in as one; every call opens it by itself when
// needed. Text is Windows-1252 (CF_TEXT); pictures travel as CF_BITMAP.
#pragma once

#include "platform/forms/Graphics.h"
#include "platform/os/Clipboard.h"

QJ_EXCEPTION(EClipboardException, Exception)

extern const TResourceString SCannotOpenClipboard;
extern const TResourceString SNoPictureOnClipboard;
extern const TResourceString SEmptyClipboardPicture;

// Asks "is there any picture?" in HasFormat; no data is stored under it.
constexpr UINT CF_PICTURE = 0xBFFF;

class TClipboard : public TPersistent {
  QJ_CLASS(TClipboard, TPersistent)
 public:
  TClipboard();
  ~TClipboard() override;

  // Raises EClipboardException when another window holds the clipboard open.
  void Open();
  // Closes after the last Open; extra calls do nothing.
  void Close();
  bool IsOpen() const { return FOpenRefCount > 0; }
  void Clear();

  String GetAsText();
  void SetAsText(const String& Value);
  // Copies at most BufSize - 1 characters and a terminating zero; returns the count copied.
  Integer GetTextBuf(char* Buffer, Integer BufSize);
  // Stores the zero-terminated text (nullptr: empty text).
  void SetTextBuf(const char* Buffer);

  // CF_PICTURE: any picture format (bitmap, metafile, device-independent bitmap).
  bool HasFormat(UINT Format);
  Integer GetFormatCount();
  // Raises EListError for a bad index.
  UINT GetFormats(Integer Index);
  // The clipboard's own handle of a format (not the caller's to free), nullptr when absent.
  HANDLE GetAsHandle(UINT Format);
  // The clipboard takes Value over (an HBITMAP for CF_BITMAP, an HGLOBAL otherwise).
  void SetAsHandle(UINT Format, HANDLE Value);

  // A picture or graphic onto the clipboard (as a bitmap); raises EClipboardException for an
  // empty one and keeps what was there.
  void Assign(TPersistent* Source) override;

 protected:
  // The clipboard's bitmap into a TPicture or TBitmap; raises EClipboardException when there
  // is none.
  void AssignTo(TPersistent* Dest) override;

 private:
  HWND Window();
  void AssignGraphic(TGraphic* Graphic);
  void CopyBitmapTo(TBitmap* Dest);

  Integer FOpenRefCount = 0;
  HWND FWindow = nullptr;
};

// The program's clipboard object (made on first use).
TClipboard* Clipboard();
// Replaces it (tests); returns the previous one, which the caller then owns.
TClipboard* SetClipboard(TClipboard* NewClipboard);
