#include "platform/forms/Clipbrd.h"

#include <cstring>

#include "platform/forms/Controls.h"
#include "platform/os/Gdi.h"
#include "platform/os/GdiScopes.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TClipboard)
QJ_IMPLEMENT_CLASS(EClipboardException)

const TResourceString SCannotOpenClipboard = {61301, "Cannot open clipboard"};
const TResourceString SNoPictureOnClipboard = {61302, "The clipboard holds no picture"};
const TResourceString SEmptyClipboardPicture = {61303, "An empty picture cannot go on the clipboard"};

namespace {

// Opens the clipboard for the length of a scope.
using TOpenScope = TUpdateScope<TClipboard, &TClipboard::Open, &TClipboard::Close>;

constexpr UINT kPictureFormats[] = {CF_BITMAP, CF_DIB, CF_METAFILEPICT, CF_ENHMETAFILE};

}  // namespace

TClipboard::TClipboard() = default;

TClipboard::~TClipboard() {
  if (FOpenRefCount > 0) CloseClipboard();
  if (FWindow) DeallocateHWnd(FWindow);
}

// The window may have gone with every other window of the program (a reset of the window
// system); a new one is made then.
HWND TClipboard::Window() {
  if (!FWindow || !IsWindow(FWindow)) FWindow = AllocateHWnd([this](TMessage& M) { M.Result = DefWindowProc(FWindow, M.Msg, M.WParam, M.LParam); });
  return FWindow;
}

void TClipboard::Open() {
  if (FOpenRefCount == 0 && !OpenClipboard(Window())) throw EClipboardException(&SCannotOpenClipboard);
  ++FOpenRefCount;
}

void TClipboard::Close() {
  if (FOpenRefCount == 0) return;
  if (--FOpenRefCount == 0) CloseClipboard();
}

void TClipboard::Clear() {
  TOpenScope scope(this);
  EmptyClipboard();
}

String TClipboard::GetAsText() {
  TOpenScope scope(this);
  auto data = static_cast<HGLOBAL>(GetClipboardData(CF_TEXT));
  if (!data) return "";
  const char* text = static_cast<const char*>(GlobalLock(data));
  String result;
  if (text) result.assign(text, strnlen(text, GlobalSize(data)));
  GlobalUnlock(data);
  return result;
}

void TClipboard::SetAsText(const String& Value) {
  String text = Value.substr(0, std::min(Value.size(), std::strlen(Value.c_str())));
  HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  std::memcpy(GlobalLock(data), text.c_str(), text.size() + 1);
  GlobalUnlock(data);
  SetAsHandle(CF_TEXT, data);
}

Integer TClipboard::GetTextBuf(char* Buffer, Integer BufSize) {
  if (!Buffer || BufSize <= 0) return 0;
  String text = GetAsText();
  size_t n = std::min(text.size(), static_cast<size_t>(BufSize - 1));
  std::memcpy(Buffer, text.data(), n);
  Buffer[n] = '\0';
  return static_cast<Integer>(n);
}

void TClipboard::SetTextBuf(const char* Buffer) { SetAsText(Buffer ? Buffer : ""); }

bool TClipboard::HasFormat(UINT Format) {
  if (Format != CF_PICTURE) return IsClipboardFormatAvailable(Format) != FALSE;
  for (UINT f : kPictureFormats)
    if (IsClipboardFormatAvailable(f)) return true;
  return false;
}

Integer TClipboard::GetFormatCount() { return CountClipboardFormats(); }

UINT TClipboard::GetFormats(Integer Index) {
  TOpenScope scope(this);
  UINT format = 0;
  for (Integer i = 0; i <= Index; ++i) {
    format = EnumClipboardFormats(format);
    if (!format) break;
  }
  if (Index < 0 || !format) throw EListError("Clipboard format index out of range (%d)", {Index});
  return format;
}

HANDLE TClipboard::GetAsHandle(UINT Format) {
  TOpenScope scope(this);
  return GetClipboardData(Format);
}

void TClipboard::SetAsHandle(UINT Format, HANDLE Value) {
  TOpenScope scope(this);
  EmptyClipboard();
  SetClipboardData(Format, Value);
}

void TClipboard::Assign(TPersistent* Source) {
  if (auto* picture = As<TPicture>(Source)) return AssignGraphic(picture->GetGraphic());
  if (auto* graphic = As<TGraphic>(Source)) return AssignGraphic(graphic);
  TPersistent::Assign(Source);
}

void TClipboard::AssignGraphic(TGraphic* Graphic) {
  if (!Graphic || Graphic->GetEmpty()) throw EClipboardException(&SEmptyClipboardPicture);
  TBitmap copy;
  if (auto* bitmap = As<TBitmap>(Graphic)) {
    copy.Assign(bitmap);
  } else {
    copy.SetSize(Graphic->GetWidth(), Graphic->GetHeight());
    copy.GetCanvas()->Draw(0, 0, Graphic);
  }
  HBITMAP handle = copy.ReleaseHandle();
  TOpenScope scope(this);
  EmptyClipboard();
  if (!SetClipboardData(CF_BITMAP, handle)) DeleteObject(handle);
}

void TClipboard::AssignTo(TPersistent* Dest) {
  if (auto* picture = As<TPicture>(Dest)) {
    TBitmap bitmap;
    CopyBitmapTo(&bitmap);
    picture->SetGraphic(&bitmap);
  } else if (auto* bitmap = As<TBitmap>(Dest)) {
    CopyBitmapTo(bitmap);
  } else {
    TPersistent::AssignTo(Dest);
  }
}

void TClipboard::CopyBitmapTo(TBitmap* Dest) {
  TOpenScope scope(this);
  auto source = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  BITMAP info;
  if (!source || !GetObject(source, sizeof info, &info)) throw EClipboardException(&SNoPictureOnClipboard);
  TBitmap copy;
  copy.SetSize(info.bmWidth, std::abs(info.bmHeight));
  {
    TMemoryDC dc(nullptr, source);
    BitBlt(copy.GetCanvas()->GetHandle(), 0, 0, copy.GetWidth(), copy.GetHeight(), dc.Handle(), 0, 0, SRCCOPY);
  }
  Dest->Assign(&copy);
}

namespace {

TClipboard*& CurrentClipboard() {
  static TClipboard* clipboard = nullptr;
  return clipboard;
}

}  // namespace

TClipboard* Clipboard() {
  if (!CurrentClipboard()) CurrentClipboard() = new TClipboard();
  return CurrentClipboard();
}

TClipboard* SetClipboard(TClipboard* NewClipboard) {
  TClipboard* previous = CurrentClipboard();
  CurrentClipboard() = NewClipboard;
  return previous;
}
