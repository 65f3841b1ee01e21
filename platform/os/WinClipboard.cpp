// The clipboard: formats held in the process, text shared with the system through the backend,
// and the movable memory blocks that carry the data.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/os/Backend.h"
#include "platform/os/Clipboard.h"
#include "platform/os/Gdi.h"
#include "platform/rtl/SysUtils.h"

namespace {

// ------------------------------------------------------------------ memory blocks

struct TGlobalBlock {
  std::vector<uint8_t> Bytes;  // never empty, so a lock always gives writable memory
  size_t Size = 0;
  int Locks = 0;
};

struct TGlobalTable {
  std::mutex Lock;
  std::unordered_map<uintptr_t, std::unique_ptr<TGlobalBlock>> Blocks;
  uintptr_t Next = 0x1000;
};

TGlobalTable& Globals() {
  static TGlobalTable table;
  return table;
}

TGlobalBlock* FindBlock(TGlobalTable& t, HGLOBAL mem) {
  auto it = t.Blocks.find(reinterpret_cast<uintptr_t>(mem));
  return it == t.Blocks.end() ? nullptr : it->second.get();
}

bool IsGlobal(HANDLE h) {
  TGlobalTable& t = Globals();
  std::lock_guard<std::mutex> guard(t.Lock);
  return FindBlock(t, static_cast<HGLOBAL>(h)) != nullptr;
}

HGLOBAL NewBlock(const void* data, size_t size) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!h) return nullptr;
  if (size) std::memcpy(GlobalLock(h), data, size);
  GlobalUnlock(h);
  return h;
}

std::vector<uint8_t> BlockBytes(HANDLE h) {
  TGlobalTable& t = Globals();
  std::lock_guard<std::mutex> guard(t.Lock);
  TGlobalBlock* b = FindBlock(t, static_cast<HGLOBAL>(h));
  return b ? std::vector<uint8_t>(b->Bytes.begin(), b->Bytes.begin() + static_cast<std::ptrdiff_t>(b->Size))
           : std::vector<uint8_t>();
}

// ------------------------------------------------------------------ clipboard state

struct TClipEntry {
  UINT Format = 0;
  HANDLE Data = nullptr;
};

struct TClipboardState {
  bool Open = false;
  HWND OpenedBy = nullptr;
  HWND Owner = nullptr;
  std::vector<TClipEntry> Entries;  // in the order they were set
  std::map<String, UINT> Registered;  // upper-case names
  std::map<UINT, String> Names;
  UINT NextFormat = 0xC000;
  DWORD Sequence = 1;
  String SystemTextSeen;  // the system text our CF_TEXT stands for
};

TClipboardState& Clip() {
  static TClipboardState state;
  return state;
}

TClipEntry* FindEntry(UINT format) {
  for (TClipEntry& e : Clip().Entries)
    if (e.Format == format) return &e;
  return nullptr;
}

void FreeData(UINT format, HANDLE data) {
  if (format == CF_BITMAP)
    DeleteObject(static_cast<HBITMAP>(data));
  else
    GlobalFree(static_cast<HGLOBAL>(data));
}

void ClearEntries() {
  for (TClipEntry& e : Clip().Entries) FreeData(e.Format, e.Data);
  Clip().Entries.clear();
}

bool ValidData(UINT format, HANDLE data) {
  if (!data || format == 0) return false;
  if (format == CF_BITMAP) return GetObjectType(static_cast<HBITMAP>(data)) == OBJ_BITMAP;
  return IsGlobal(data);
}

void StoreEntry(UINT format, HANDLE data) {
  if (TClipEntry* e = FindEntry(format)) {
    if (e->Data != data) FreeData(format, e->Data);
    e->Data = data;
  } else {
    Clip().Entries.push_back({format, data});
  }
  ++Clip().Sequence;
}

// ------------------------------------------------------------------ text conversions

String TextOfBlock(HANDLE h) {
  std::vector<uint8_t> bytes = BlockBytes(h);
  size_t n = std::find(bytes.begin(), bytes.end(), uint8_t(0)) - bytes.begin();
  return String(reinterpret_cast<const char*>(bytes.data()), n);
}

WideString WideOfBlock(HANDLE h) {
  std::vector<uint8_t> bytes = BlockBytes(h);
  WideString w(bytes.size() / 2, u'\0');
  if (!w.empty()) std::memcpy(w.data(), bytes.data(), w.size() * 2);
  return w.substr(0, w.find(u'\0'));
}

HGLOBAL TextBlock(const String& text) { return NewBlock(text.c_str(), text.size() + 1); }

HGLOBAL WideBlock(const WideString& text) { return NewBlock(text.c_str(), (text.size() + 1) * 2); }

String LfToCrLf(const std::string& s) {
  String out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) out += '\r';
    out += s[i];
  }
  return out;
}

std::string CrLfToLf(const String& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i)
    if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) out += s[i];
  return out;
}

// ------------------------------------------------------------------ the system's text

bool SharesText(UINT format) {
  return (format == CF_TEXT || format == CF_UNICODETEXT) && Backend().HasSystemClipboard();
}

void PublishText() {
  if (!Backend().HasSystemClipboard()) return;
  String text;
  if (TClipEntry* e = FindEntry(CF_TEXT))
    text = TextOfBlock(e->Data);
  else if (TClipEntry* w = FindEntry(CF_UNICODETEXT))
    text = WideToAnsi(WideOfBlock(w->Data));
  else
    return;
  std::string utf8 = CrLfToLf(AnsiToUtf8(text));
  Backend().SetSystemClipboardText(utf8);
  Clip().SystemTextSeen = utf8;
}

// Takes the system's text in when another program changed it since we last looked.
void ImportSystemText() {
  std::string utf8 = Backend().SystemClipboardText();
  if (utf8 == Clip().SystemTextSeen && (utf8.empty() || FindEntry(CF_TEXT) || FindEntry(CF_UNICODETEXT))) return;
  Clip().SystemTextSeen = utf8;
  auto& entries = Clip().Entries;
  for (size_t i = entries.size(); i-- > 0;)
    if (entries[i].Format == CF_TEXT || entries[i].Format == CF_UNICODETEXT) {
      FreeData(entries[i].Format, entries[i].Data);
      entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
    }
  if (!utf8.empty()) StoreEntry(CF_TEXT, TextBlock(LfToCrLf(Utf8ToAnsi(utf8))));
}

// CF_TEXT and CF_UNICODETEXT stand in for each other.
HANDLE SynthesizeText(UINT format) {
  if (format == CF_TEXT) {
    TClipEntry* w = FindEntry(CF_UNICODETEXT);
    if (!w) return nullptr;
    Clip().Entries.push_back({CF_TEXT, TextBlock(WideToAnsi(WideOfBlock(w->Data)))});
    return Clip().Entries.back().Data;
  }
  if (format == CF_UNICODETEXT) {
    TClipEntry* a = FindEntry(CF_TEXT);
    if (!a) return nullptr;
    Clip().Entries.push_back({CF_UNICODETEXT, WideBlock(AnsiToWide(TextOfBlock(a->Data)))});
    return Clip().Entries.back().Data;
  }
  return nullptr;
}

bool TextAvailable() { return FindEntry(CF_TEXT) || FindEntry(CF_UNICODETEXT); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Memory blocks

HGLOBAL GlobalAlloc(UINT, size_t bytes) {
  TGlobalTable& t = Globals();
  auto block = std::make_unique<TGlobalBlock>();
  try {
    block->Bytes.assign(std::max<size_t>(bytes, 1), 0);
    block->Size = bytes;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  std::lock_guard<std::mutex> guard(t.Lock);
  uintptr_t id = t.Next++;
  t.Blocks[id] = std::move(block);
  return reinterpret_cast<HGLOBAL>(id);
}

HGLOBAL GlobalFree(HGLOBAL mem) {
  TGlobalTable& t = Globals();
  std::lock_guard<std::mutex> guard(t.Lock);
  return t.Blocks.erase(reinterpret_cast<uintptr_t>(mem)) ? nullptr : mem;
}

void* GlobalLock(HGLOBAL mem) {
  TGlobalTable& t = Globals();
  std::lock_guard<std::mutex> guard(t.Lock);
  TGlobalBlock* b = FindBlock(t, mem);
  if (!b) return nullptr;
  ++b->Locks;
  return b->Bytes.data();
}

BOOL GlobalUnlock(HGLOBAL mem) {
  TGlobalTable& t = Globals();
  std::lock_guard<std::mutex> guard(t.Lock);
  TGlobalBlock* b = FindBlock(t, mem);
  if (!b || b->Locks == 0) return FALSE;
  return --b->Locks > 0;
}

size_t GlobalSize(HGLOBAL mem) {
  TGlobalTable& t = Globals();
  std::lock_guard<std::mutex> guard(t.Lock);
  TGlobalBlock* b = FindBlock(t, mem);
  return b ? b->Size : 0;
}

// ---------------------------------------------------------------------------------------------
// The clipboard

BOOL OpenClipboard(HWND owner) {
  TClipboardState& c = Clip();
  if (owner && !IsWindow(owner)) return FALSE;
  // A window that died with the clipboard open does not keep it locked.
  if (c.Open && c.OpenedBy && !IsWindow(c.OpenedBy)) c.Open = false;
  if (c.Open && c.OpenedBy != owner) return FALSE;
  c.Open = true;
  c.OpenedBy = owner;
  return TRUE;
}

BOOL CloseClipboard() {
  TClipboardState& c = Clip();
  if (!c.Open) return FALSE;
  c.Open = false;
  c.OpenedBy = nullptr;
  return TRUE;
}

BOOL EmptyClipboard() {
  TClipboardState& c = Clip();
  if (!c.Open) return FALSE;
  ClearEntries();
  c.Owner = c.OpenedBy;
  ++c.Sequence;
  if (Backend().HasSystemClipboard()) {
    Backend().SetSystemClipboardText("");
    c.SystemTextSeen.clear();
  }
  return TRUE;
}

HWND GetClipboardOwner() { return IsWindow(Clip().Owner) ? Clip().Owner : nullptr; }

HWND GetOpenClipboardWindow() { return Clip().Open ? Clip().OpenedBy : nullptr; }

HANDLE SetClipboardData(UINT format, HANDLE data) {
  if (!Clip().Open || !ValidData(format, data)) return nullptr;
  StoreEntry(format, data);
  // The other text form is made again from the new text when asked for.
  UINT other = format == CF_TEXT ? CF_UNICODETEXT : format == CF_UNICODETEXT ? CF_TEXT : 0;
  auto& entries = Clip().Entries;
  for (size_t i = 0; other && i < entries.size(); ++i)
    if (entries[i].Format == other) {
      FreeData(other, entries[i].Data);
      entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  if (other) PublishText();
  return data;
}

HANDLE GetClipboardData(UINT format) {
  if (!Clip().Open) return nullptr;
  if (SharesText(format)) ImportSystemText();
  if (TClipEntry* e = FindEntry(format)) return e->Data;
  return SynthesizeText(format);
}

BOOL IsClipboardFormatAvailable(UINT format) {
  if (format == CF_TEXT || format == CF_UNICODETEXT) {
    if (Backend().HasSystemClipboard()) return !Backend().SystemClipboardText().empty();
    return TextAvailable();
  }
  return FindEntry(format) != nullptr;
}

int CountClipboardFormats() {
  if (Backend().HasSystemClipboard()) ImportSystemText();
  int n = static_cast<int>(Clip().Entries.size());
  bool hasAnsi = FindEntry(CF_TEXT) != nullptr, hasWide = FindEntry(CF_UNICODETEXT) != nullptr;
  if (hasAnsi != hasWide) ++n;  // the other text form is made on demand
  return n;
}

UINT EnumClipboardFormats(UINT format) {
  if (!Clip().Open) return 0;
  std::vector<UINT> formats;
  for (const TClipEntry& e : Clip().Entries) formats.push_back(e.Format);
  if (FindEntry(CF_TEXT) && !FindEntry(CF_UNICODETEXT)) formats.push_back(CF_UNICODETEXT);
  if (FindEntry(CF_UNICODETEXT) && !FindEntry(CF_TEXT)) formats.push_back(CF_TEXT);
  if (format == 0) return formats.empty() ? 0 : formats.front();
  auto it = std::find(formats.begin(), formats.end(), format);
  return it == formats.end() || it + 1 == formats.end() ? 0 : *(it + 1);
}

UINT RegisterClipboardFormat(const char* name) {
  if (!name || !*name) return 0;
  TClipboardState& c = Clip();
  String key = UpperCase(name);
  auto it = c.Registered.find(key);
  if (it != c.Registered.end()) return it->second;
  if (c.NextFormat > 0xFFFF) return 0;
  UINT id = c.NextFormat++;
  c.Names[id] = name;
  return c.Registered[key] = id;
}

int GetClipboardFormatName(UINT format, char* buffer, int maxCount) {
  auto it = Clip().Names.find(format);
  if (it == Clip().Names.end() || !buffer || maxCount <= 0) return 0;
  size_t n = std::min(static_cast<size_t>(maxCount - 1), it->second.size());
  std::memcpy(buffer, it->second.data(), n);
  buffer[n] = 0;
  return static_cast<int>(n);
}

DWORD GetClipboardSequenceNumber() { return Clip().Sequence; }

BOOL SetClipboardText(HWND owner, const String& text) {
  if (!OpenClipboard(owner)) return FALSE;
  EmptyClipboard();
  HGLOBAL block = TextBlock(text.substr(0, text.find('\0')));
  BOOL ok = SetClipboardData(CF_TEXT, block) != nullptr;
  if (!ok) GlobalFree(block);
  CloseClipboard();
  return ok;
}

String GetClipboardText(HWND owner) {
  bool wasOpen = Clip().Open && Clip().OpenedBy == owner;
  if (!OpenClipboard(owner)) return String();
  HANDLE data = GetClipboardData(CF_TEXT);
  String text = data ? TextOfBlock(data) : String();
  if (!wasOpen) CloseClipboard();
  return text;
}

void SetPrimarySelectionText(const String& text) { Backend().SetPrimarySelectionText(CrLfToLf(AnsiToUtf8(text))); }

String GetPrimarySelectionText() { return LfToCrLf(Utf8ToAnsi(Backend().PrimarySelectionText())); }
