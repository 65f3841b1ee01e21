// Menu handles and their items, and keyboard accelerator tables.
#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "platform/os/Gdi.h"
#include "platform/os/WinMenuInternal.h"
#include "platform/rtl/SysUtils.h"

namespace {

struct TMenuTable {
  std::unordered_map<HMENU, std::unique_ptr<TMenuRec>> Menus;
  uintptr_t Next = 0x20000;
};

TMenuTable& Table() {
  static TMenuTable table;
  return table;
}

HMENU NewMenu(bool bar) {
  auto rec = std::make_unique<TMenuRec>();
  rec->Handle = reinterpret_cast<HMENU>(Table().Next++);
  rec->IsBar = bar;
  HMENU h = rec->Handle;
  Table().Menus[h] = std::move(rec);
  return h;
}

bool FindById(TMenuRec* menu, UINT id, TMenuRec*& owner, int& index, int depth) {
  if (depth > 32) return false;  // a menu that contains itself ends here
  for (size_t i = 0; i < menu->Items.size(); ++i) {
    const TMenuItemRec& item = menu->Items[i];
    if (!item.SubMenu && item.Id == id) {
      owner = menu;
      index = static_cast<int>(i);
      return true;
    }
  }
  for (TMenuItemRec& item : menu->Items)
    if (TMenuRec* sub = FindMenuRec(item.SubMenu))
      if (FindById(sub, id, owner, index, depth + 1)) return true;
  // A sub-menu item is found by its id when no command has it.
  for (size_t i = 0; i < menu->Items.size(); ++i)
    if (menu->Items[i].SubMenu && menu->Items[i].Id == id) {
      owner = menu;
      index = static_cast<int>(i);
      return true;
    }
  return false;
}

// Applies the MF_ flags and content of AppendMenu/InsertMenu/ModifyMenu to an item.
bool ItemFromFlags(UINT flags, UINT_PTR id, LPCSTR content, TMenuItemRec& item) {
  item = TMenuItemRec();
  if (flags & MF_POPUP) {
    if (!FindMenuRec(reinterpret_cast<HMENU>(id))) return false;
    item.SubMenu = reinterpret_cast<HMENU>(id);
  }
  item.Id = static_cast<UINT>(id);
  item.Type = flags & (MF_MENUBARBREAK | MF_MENUBREAK | MFT_RADIOCHECK | MFT_RIGHTORDER | MF_RIGHTJUSTIFY);
  item.State = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
  if (flags & MF_SEPARATOR) {
    item.Type |= MFT_SEPARATOR;
  } else if (flags & MF_BITMAP) {
    item.Type |= MFT_BITMAP;
    item.TypeBitmap = reinterpret_cast<HBITMAP>(const_cast<char*>(content));
  } else if (flags & MF_OWNERDRAW) {
    item.Type |= MFT_OWNERDRAW;
    item.Data = reinterpret_cast<ULONG_PTR>(content);
  } else if (content) {
    item.Text = content;
  }
  return true;
}

bool InsertAt(HMENU menu, int pos, const TMenuItemRec& item) {
  TMenuRec* m = FindMenuRec(menu);
  if (!m) return false;
  if (pos < 0 || pos > static_cast<int>(m->Items.size())) pos = static_cast<int>(m->Items.size());
  m->Items.insert(m->Items.begin() + pos, item);
  return true;
}

// Where InsertMenu puts a new item: before the item named, at the end when there is none.
int InsertPosition(HMENU menu, UINT item, UINT flags, HMENU& target) {
  target = menu;
  TMenuRec* owner = nullptr;
  int index = -1;
  if (LocateMenuItem(menu, item, flags, owner, index)) {
    target = owner->Handle;
    return index;
  }
  return -1;
}

void ApplyInfo(TMenuItemRec& item, const MENUITEMINFO& info) {
  if (info.fMask & MIIM_FTYPE) item.Type = info.fType & ~MFT_BITMAP;
  if (info.fMask & MIIM_TYPE) {
    item.Type = info.fType;
    item.TypeBitmap = nullptr;
    item.Text.clear();
    if (info.fType & MFT_BITMAP)
      item.TypeBitmap = reinterpret_cast<HBITMAP>(info.dwTypeData);
    else if (!(info.fType & (MFT_SEPARATOR | MFT_OWNERDRAW)) && info.dwTypeData)
      item.Text = info.dwTypeData;
  }
  if (info.fMask & MIIM_STRING) item.Text = info.dwTypeData ? info.dwTypeData : "";
  if (info.fMask & MIIM_STATE) item.State = info.fState;
  if (info.fMask & MIIM_ID) item.Id = info.wID;
  if (info.fMask & MIIM_SUBMENU) item.SubMenu = info.hSubMenu;
  if (info.fMask & MIIM_CHECKMARKS) {
    item.CheckedBitmap = info.hbmpChecked;
    item.UncheckedBitmap = info.hbmpUnchecked;
  }
  if (info.fMask & MIIM_DATA) item.Data = info.dwItemData;
  if (info.fMask & MIIM_BITMAP) item.Bitmap = info.hbmpItem;
}

bool ValidInfo(const MENUITEMINFO* info) {
  if (!info || info->cbSize < sizeof(MENUITEMINFO)) return false;
  return !(info->fMask & MIIM_SUBMENU) || !info->hSubMenu || FindMenuRec(info->hSubMenu);
}

void CopyText(const String& text, char* buffer, UINT size) {
  if (!buffer || size == 0) return;
  size_t n = std::min<size_t>(size - 1, text.size());
  std::memcpy(buffer, text.data(), n);
  buffer[n] = 0;
}

UINT StateFlags(const TMenuItemRec& item) {
  UINT f = item.State & (MF_CHECKED | MF_HILITE | MF_DEFAULT | MF_GRAYED | MF_DISABLED);
  return f | (item.Type & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW | MF_MENUBARBREAK | MF_MENUBREAK));
}

// ------------------------------------------------------------------ accelerator tables

struct TAccelTable {
  std::unordered_map<HACCEL, std::vector<ACCEL>> Tables;
  uintptr_t Next = 0x30000;
};

TAccelTable& Accels() {
  static TAccelTable table;
  return table;
}

bool Pressed(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

bool KeyMatches(const ACCEL& a, const MSG& m) {
  bool keyDown = m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN;
  bool charMsg = m.message == WM_CHAR || m.message == WM_SYSCHAR;
  if (a.fVirt & FVIRTKEY) {
    if (!keyDown || m.wParam != a.key) return false;
    return Pressed(VK_SHIFT) == ((a.fVirt & FSHIFT) != 0) && Pressed(VK_CONTROL) == ((a.fVirt & FCONTROL) != 0) &&
           Pressed(VK_MENU) == ((a.fVirt & FALT) != 0);
  }
  return charMsg && m.wParam == a.key && ((m.message == WM_SYSCHAR) == ((a.fVirt & FALT) != 0));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Shared helpers

TMenuRec* FindMenuRec(HMENU menu) {
  auto it = Table().Menus.find(menu);
  return it == Table().Menus.end() ? nullptr : it->second.get();
}

bool LocateMenuItem(HMENU menu, UINT item, UINT flags, TMenuRec*& owner, int& index) {
  TMenuRec* m = FindMenuRec(menu);
  if (!m) return false;
  if (flags & MF_BYPOSITION) {
    if (item >= m->Items.size()) return false;
    owner = m;
    index = static_cast<int>(item);
    return true;
  }
  return FindById(m, item, owner, index, 0);
}

char MnemonicOf(const String& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] != '&') return AnsiUpperCase(text.substr(i + 1, 1))[0];
    ++i;  // "&&" is a plain ampersand
  }
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Menus

HMENU CreateMenu() { return NewMenu(true); }
HMENU CreatePopupMenu() { return NewMenu(false); }

BOOL DestroyMenu(HMENU menu) {
  auto it = Table().Menus.find(menu);
  if (it == Table().Menus.end()) return FALSE;
  std::unique_ptr<TMenuRec> rec = std::move(it->second);
  Table().Menus.erase(it);
  for (const TMenuItemRec& item : rec->Items)
    if (item.SubMenu) DestroyMenu(item.SubMenu);
  return TRUE;
}

BOOL IsMenu(HMENU menu) { return FindMenuRec(menu) != nullptr; }

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR id, LPCSTR content) {
  TMenuItemRec item;
  if (!FindMenuRec(menu) || !ItemFromFlags(flags, id, content, item)) return FALSE;
  return InsertAt(menu, -1, item);
}

BOOL InsertMenu(HMENU menu, UINT item, UINT flags, UINT_PTR id, LPCSTR content) {
  TMenuItemRec rec;
  if (!FindMenuRec(menu) || !ItemFromFlags(flags, id, content, rec)) return FALSE;
  HMENU target = menu;
  int pos = InsertPosition(menu, item, flags, target);
  return InsertAt(target, pos, rec);
}

BOOL ModifyMenu(HMENU menu, UINT item, UINT flags, UINT_PTR id, LPCSTR content) {
  TMenuRec* owner = nullptr;
  int index = -1;
  TMenuItemRec rec;
  if (!LocateMenuItem(menu, item, flags, owner, index) || !ItemFromFlags(flags, id, content, rec)) return FALSE;
  TMenuItemRec& old = owner->Items[static_cast<size_t>(index)];
  if (old.SubMenu && old.SubMenu != rec.SubMenu) DestroyMenu(old.SubMenu);
  rec.Data = (flags & MF_OWNERDRAW) ? rec.Data : old.Data;
  rec.Bitmap = old.Bitmap;
  old = rec;
  return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT item, UINT flags) {
  TMenuRec* owner = nullptr;
  int index = -1;
  if (!LocateMenuItem(menu, item, flags, owner, index)) return FALSE;
  owner->Items.erase(owner->Items.begin() + index);
  return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT item, UINT flags) {
  TMenuRec* owner = nullptr;
  int index = -1;
  if (!LocateMenuItem(menu, item, flags, owner, index)) return FALSE;
  HMENU sub = owner->Items[static_cast<size_t>(index)].SubMenu;
  owner->Items.erase(owner->Items.begin() + index);
  if (sub) DestroyMenu(sub);
  return TRUE;
}

BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info) {
  if (!FindMenuRec(menu) || !ValidInfo(info)) return FALSE;
  TMenuItemRec rec;
  ApplyInfo(rec, *info);
  HMENU target = menu;
  int pos = InsertPosition(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND, target);
  return InsertAt(target, pos, rec);
}

BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFO* info) {
  TMenuRec* owner = nullptr;
  int index = -1;
  if (!info || info->cbSize < sizeof(MENUITEMINFO) ||
      !LocateMenuItem(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND, owner, index))
    return FALSE;
  const TMenuItemRec& it = owner->Items[static_cast<size_t>(index)];
  if (info->fMask & (MIIM_FTYPE | MIIM_TYPE)) info->fType = it.Type;
  if (info->fMask & MIIM_STATE) info->fState = it.State;
  if (info->fMask & MIIM_ID) info->wID = it.Id;
  if (info->fMask & MIIM_SUBMENU) info->hSubMenu = it.SubMenu;
  if (info->fMask & MIIM_CHECKMARKS) {
    info->hbmpChecked = it.CheckedBitmap;
    info->hbmpUnchecked = it.UncheckedBitmap;
  }
  if (info->fMask & MIIM_DATA) info->dwItemData = it.Data;
  if (info->fMask & MIIM_BITMAP) info->hbmpItem = it.Bitmap;
  if ((info->fMask & MIIM_TYPE) && (it.Type & MFT_BITMAP)) {
    info->dwTypeData = reinterpret_cast<char*>(it.TypeBitmap);
  } else if (info->fMask & (MIIM_STRING | MIIM_TYPE)) {
    CopyText(it.Text, info->dwTypeData, info->cch);
    info->cch = static_cast<UINT>(it.Text.size());
  }
  return TRUE;
}

BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info) {
  TMenuRec* owner = nullptr;
  int index = -1;
  if (!ValidInfo(info) || !LocateMenuItem(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND, owner, index))
    return FALSE;
  ApplyInfo(owner->Items[static_cast<size_t>(index)], *info);
  return TRUE;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags) {
  TMenuRec* owner = nullptr;
  int index = -1;
  if (!LocateMenuItem(menu, item, flags, owner, index)) return static_cast<DWORD>(-1);
  TMenuItemRec& it = owner->Items[static_cast<size_t>(index)];
  DWORD previous = it.State & MF_CHECKED;
  it.State = (it.State & ~MF_CHECKED) | (flags & MF_CHECKED);
  return previous;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  TMenuRec* owner = nullptr;
  int index = -1;
  if (!LocateMenuItem(menu, item, flags, owner, index)) return -1;
  TMenuItemRec& it = owner->Items[static_cast<size_t>(index)];
  BOOL previous = static_cast<BOOL>(it.State & MFS_GRAYED);
  it.State = (it.State & ~MFS_GRAYED) | (flags & (MF_GRAYED | MF_DISABLED));
  return previous;
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
  TMenuRec* firstOwner = nullptr;
  TMenuRec* lastOwner = nullptr;
  int from = -1, to = -1;
  if (!LocateMenuItem(menu, first, flags, firstOwner, from) || !LocateMenuItem(menu, last, flags, lastOwner, to) ||
      firstOwner != lastOwner || from > to)
    return FALSE;
  bool found = false;
  for (int i = from; i <= to; ++i) {
    TMenuItemRec& it = firstOwner->Items[static_cast<size_t>(i)];
    bool on = (flags & MF_BYPOSITION) ? static_cast<UINT>(i) == check : it.Id == check;
    found = found || on;
    it.State = on ? (it.State | MF_CHECKED) : (it.State & ~MF_CHECKED);
    if (on) it.Type |= MFT_RADIOCHECK;
  }
  return found;
}

BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition) {
  TMenuRec* m = FindMenuRec(menu);
  if (!m) return FALSE;
  TMenuRec* owner = nullptr;
  int index = -1;
  bool none = item == static_cast<UINT>(-1);
  if (!none && (!LocateMenuItem(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND, owner, index) || owner != m))
    return FALSE;
  for (size_t i = 0; i < m->Items.size(); ++i)
    m->Items[i].State = static_cast<int>(i) == index ? (m->Items[i].State | MFS_DEFAULT) : (m->Items[i].State & ~MFS_DEFAULT);
  return TRUE;
}

UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags) {
  TMenuRec* m = FindMenuRec(menu);
  if (!m) return static_cast<UINT>(-1);
  for (size_t i = 0; i < m->Items.size(); ++i) {
    const TMenuItemRec& it = m->Items[i];
    if (!(it.State & MFS_DEFAULT)) continue;
    if (it.IsDisabled() && !(flags & GMDI_USEDISABLED)) return static_cast<UINT>(-1);
    if (it.SubMenu && (flags & GMDI_GOINTOPOPUPS)) {
      UINT inner = GetMenuDefaultItem(it.SubMenu, byPosition, flags);
      if (inner != static_cast<UINT>(-1)) return inner;
    }
    return byPosition ? static_cast<UINT>(i) : it.Id;
  }
  return static_cast<UINT>(-1);
}

BOOL HiliteMenuItem(HWND wnd, HMENU menu, UINT item, UINT flags) {
  TMenuRec* owner = nullptr;
  int index = -1;
  if (!IsWindow(wnd) || !LocateMenuItem(menu, item, flags, owner, index)) return FALSE;
  TMenuItemRec& it = owner->Items[static_cast<size_t>(index)];
  it.State = (flags & MF_HILITE) ? (it.State | MF_HILITE) : (it.State & ~MF_HILITE);
  if (GetMenu(wnd) == menu) DrawMenuBar(wnd);
  return TRUE;
}

int GetMenuItemCount(HMENU menu) {
  TMenuRec* m = FindMenuRec(menu);
  return m ? static_cast<int>(m->Items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int pos) {
  TMenuRec* m = FindMenuRec(menu);
  if (!m || pos < 0 || pos >= static_cast<int>(m->Items.size()) || m->Items[static_cast<size_t>(pos)].SubMenu)
    return static_cast<UINT>(-1);
  return m->Items[static_cast<size_t>(pos)].Id;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  TMenuRec* owner = nullptr;
  int index = -1;
  if (!LocateMenuItem(menu, item, flags, owner, index)) return static_cast<UINT>(-1);
  const TMenuItemRec& it = owner->Items[static_cast<size_t>(index)];
  UINT state = StateFlags(it);
  if (TMenuRec* sub = FindMenuRec(it.SubMenu)) state = (state & 0xFF) | MF_POPUP | (static_cast<UINT>(sub->Items.size()) << 8);
  return state;
}

HMENU GetSubMenu(HMENU menu, int pos) {
  TMenuRec* m = FindMenuRec(menu);
  if (!m || pos < 0 || pos >= static_cast<int>(m->Items.size())) return nullptr;
  return m->Items[static_cast<size_t>(pos)].SubMenu;
}

int GetMenuString(HMENU menu, UINT item, char* buffer, int maxCount, UINT flags) {
  TMenuRec* owner = nullptr;
  int index = -1;
  if (!LocateMenuItem(menu, item, flags, owner, index)) return 0;
  const String& text = owner->Items[static_cast<size_t>(index)].Text;
  if (!buffer || maxCount <= 0) return static_cast<int>(text.size());
  CopyText(text, buffer, static_cast<UINT>(maxCount));
  return static_cast<int>(std::min<size_t>(text.size(), static_cast<size_t>(maxCount - 1)));
}

// ---------------------------------------------------------------------------------------------
// Accelerator tables

HACCEL CreateAcceleratorTable(const ACCEL* accels, int count) {
  if (!accels || count <= 0) return nullptr;
  HACCEL h = reinterpret_cast<HACCEL>(Accels().Next++);
  Accels().Tables[h] = std::vector<ACCEL>(accels, accels + count);
  return h;
}

BOOL DestroyAcceleratorTable(HACCEL table) { return Accels().Tables.erase(table) ? TRUE : FALSE; }

int CopyAcceleratorTable(HACCEL table, ACCEL* out, int count) {
  auto it = Accels().Tables.find(table);
  if (it == Accels().Tables.end()) return 0;
  int n = static_cast<int>(it->second.size());
  if (!out) return n;
  n = std::min(n, std::max(count, 0));
  std::copy_n(it->second.begin(), n, out);
  return n;
}

int TranslateAccelerator(HWND wnd, HACCEL table, const MSG* msg) {
  auto it = Accels().Tables.find(table);
  if (!msg || !IsWindow(wnd) || it == Accels().Tables.end() || GetMenuOwner()) return 0;
  for (const ACCEL& a : it->second) {
    if (!KeyMatches(a, *msg)) continue;
    // An accelerator of a disabled menu command does nothing, as on the platform.
    HMENU bar = GetMenu(wnd);
    UINT state = bar ? GetMenuState(bar, a.cmd, MF_BYCOMMAND) : static_cast<UINT>(-1);
    if (state != static_cast<UINT>(-1) && (state & MFS_GRAYED)) return 1;
    SendMessage(wnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
    return 1;
  }
  return 0;
}
