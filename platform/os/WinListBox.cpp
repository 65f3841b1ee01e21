// The "LISTBOX" window class: a scrolling list of strings (or of owner-drawn items, or of a count
// alone for virtual lists) with single, multiple and extended selection, one or many columns,
// keyboard navigation and type-ahead, the LB_ messages and LBN_ notifications of the platform.
#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/os/WinTextControls.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr char kListBoxStateProp[] = "QJ.ListBoxState";
constexpr UINT_PTR kListDragTimer = 0xE002;
constexpr UINT kListDragInterval = 100;
constexpr int kTextIndent = 2;
constexpr int kMaxItemHeight = 255;
constexpr DWORD kTypeAheadPause = 1000;

struct TListBox {
  HWND Wnd = nullptr;
  int Count = 0;
  std::vector<String> Texts;     // empty for LBS_NODATA
  std::vector<ULONG_PTR> Data;   // empty for LBS_NODATA
  std::vector<uint8_t> Selected;
  std::vector<int> Heights;      // LBS_OWNERDRAWVARIABLE only
  int CurSel = -1;               // single selection
  int Caret = 0, Anchor = 0;
  int Top = 0;
  int ItemHeight = 16;
  int ColumnWidth = 0;
  int HorzExtent = 0, ScrollX = 0;
  std::vector<int> TabStops;  // pixels
  HFONT Font = nullptr;
  int AveChar = 7;
  bool Focused = false;
  bool Tracking = false;
  String Prefix;
  DWORD PrefixTime = 0;
  bool HadVScroll = false, HadHScroll = false;

  DWORD Style() const { return static_cast<DWORD>(GetWindowLong(Wnd, GWL_STYLE)); }
  bool NoData() const { return (Style() & LBS_NODATA) != 0; }
  bool OwnerDraw() const { return (Style() & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }
  bool Variable() const { return (Style() & LBS_OWNERDRAWVARIABLE) && !(Style() & LBS_MULTICOLUMN); }
  bool HasStrings() const { return !NoData() && (!OwnerDraw() || (Style() & LBS_HASSTRINGS)); }
  bool MultiSel() const { return (Style() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
  bool Extended() const { return (Style() & LBS_EXTENDEDSEL) != 0; }
  bool MultiColumn() const { return (Style() & LBS_MULTICOLUMN) != 0; }
  bool Valid(int i) const { return i >= 0 && i < Count; }
  int HeightOf(int i) const { return Variable() && Valid(i) ? Heights[size_t(i)] : ItemHeight; }
  bool IsSelected(int i) const { return MultiSel() ? Valid(i) && Selected[size_t(i)] : i == CurSel && Valid(i); }
};

TListBox* ListOf(HWND wnd) { return static_cast<TListBox*>(GetProp(wnd, kListBoxStateProp)); }

// ---------------------------------------------------------------------------------------------
// Geometry

TRect ClientArea(const TListBox& lb) {
  RECT r;
  GetClientRect(lb.Wnd, &r);
  return r;
}

// Rows of one column; at least one, whatever the item height.
int RowsPerColumn(const TListBox& lb) { return std::max(1, ClientArea(lb).Height() / std::max(1, lb.ItemHeight)); }

int ColumnWidth(const TListBox& lb) { return std::max(1, lb.ColumnWidth > 0 ? lb.ColumnWidth : ClientArea(lb).Width()); }

// Items that fit from the top index, fully shown; at least one.
int FullyVisible(const TListBox& lb) {
  if (lb.MultiColumn()) return std::max(1, ClientArea(lb).Width() / ColumnWidth(lb)) * RowsPerColumn(lb);
  if (!lb.Variable()) return RowsPerColumn(lb);
  int height = ClientArea(lb).Height(), n = 0, y = 0;
  for (int i = lb.Top; i < lb.Count && y + lb.HeightOf(i) <= height; ++i, ++n) y += lb.HeightOf(i);
  return std::max(1, n);
}

TRect ItemRect(const TListBox& lb, int i) {
  TRect c = ClientArea(lb);
  if (lb.MultiColumn()) {
    int rows = RowsPerColumn(lb), rel = i - lb.Top;
    int col = rel >= 0 ? rel / rows : -((-rel + rows - 1) / rows);
    int row = rel - col * rows;
    int x = col * ColumnWidth(lb);
    return {x, row * lb.ItemHeight, x + ColumnWidth(lb), (row + 1) * lb.ItemHeight};
  }
  int y = 0;
  if (lb.Variable()) {
    for (int k = lb.Top; k < i; ++k) y += lb.HeightOf(k);
    for (int k = i; k < lb.Top; ++k) y -= lb.HeightOf(k);
  } else {
    y = (i - lb.Top) * lb.ItemHeight;
  }
  int width = std::max(c.Width(), lb.HorzExtent);
  return {-lb.ScrollX, y, width - lb.ScrollX, y + lb.HeightOf(i)};
}

// The item under a client point (clamped into the list); `outside` when the point is off items.
int ItemAt(const TListBox& lb, TPoint pt, bool& outside) {
  outside = false;
  if (lb.Count == 0) {
    outside = true;
    return 0;
  }
  TRect c = ClientArea(lb);
  int index;
  if (lb.MultiColumn()) {
    int rows = RowsPerColumn(lb);
    int col = pt.X < 0 ? -1 : pt.X / ColumnWidth(lb);
    int row = std::clamp(pt.Y / std::max(1, lb.ItemHeight), 0, rows - 1);
    outside = pt.Y < 0 || pt.Y >= rows * lb.ItemHeight || pt.X < 0 || pt.X >= c.Width();
    index = lb.Top + col * rows + row;
  } else {
    index = lb.Top;
    int y = 0;
    if (pt.Y < 0) {
      outside = true;
      index = lb.Top - 1;
    } else {
      while (index < lb.Count && y + lb.HeightOf(index) <= pt.Y) y += lb.HeightOf(index++);
      outside = index >= lb.Count || pt.X < 0 || pt.X >= c.Width();
    }
  }
  return std::clamp(index, 0, lb.Count - 1);
}

int MaxTop(const TListBox& lb) {
  if (lb.MultiColumn()) {
    int rows = RowsPerColumn(lb), columns = std::max(1, ClientArea(lb).Width() / ColumnWidth(lb));
    int lastColumn = std::max(0, (lb.Count - 1) / rows - columns + 1);
    return lastColumn * rows;
  }
  if (!lb.Variable()) return std::max(0, lb.Count - RowsPerColumn(lb));
  int height = ClientArea(lb).Height(), y = 0, top = lb.Count;
  while (top > 0 && y + lb.HeightOf(top - 1) <= height) y += lb.HeightOf(--top);
  return std::min(top, std::max(0, lb.Count - 1));
}

void UpdateListScrollBars(TListBox& lb) {
  DWORD style = lb.Style();
  bool keep = (style & LBS_DISABLENOSCROLL) != 0;
  if (lb.MultiColumn()) {
    // Columns scroll sideways only.
    if (lb.HadVScroll) ShowScrollBar(lb.Wnd, SB_VERT, FALSE);
    if (!lb.HadHScroll) return;
    int rows = RowsPerColumn(lb);
    int columns = (lb.Count + rows - 1) / rows, shown = std::max(1, ClientArea(lb).Width() / ColumnWidth(lb));
    ShowScrollBar(lb.Wnd, SB_HORZ, keep || columns > shown);
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    si.nMax = std::max(0, columns - 1);
    si.nPage = static_cast<UINT>(shown);
    si.nPos = lb.Top / rows;
    SetScrollInfo(lb.Wnd, SB_HORZ, &si, TRUE);
    return;
  }
  if (lb.HadVScroll) {
    bool need = MaxTop(lb) > 0 || lb.Top > 0;
    ShowScrollBar(lb.Wnd, SB_VERT, keep || need);
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    si.nMax = std::max(0, lb.Count - 1);
    si.nPage = static_cast<UINT>(FullyVisible(lb));
    si.nPos = lb.Top;
    SetScrollInfo(lb.Wnd, SB_VERT, &si, TRUE);
  }
  if (lb.HadHScroll) {
    int width = ClientArea(lb).Width();
    ShowScrollBar(lb.Wnd, SB_HORZ, keep || lb.HorzExtent > width);
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    si.nMax = std::max(0, lb.HorzExtent - 1);
    si.nPage = static_cast<UINT>(std::max(0, ClientArea(lb).Width()));
    si.nPos = lb.ScrollX;
    SetScrollInfo(lb.Wnd, SB_HORZ, &si, TRUE);
  }
}

void Changed(TListBox& lb) {
  lb.Top = std::clamp(lb.Top, 0, MaxTop(lb));
  lb.ScrollX = std::clamp(lb.ScrollX, 0, std::max(0, lb.HorzExtent - ClientArea(lb).Width()));
  UpdateListScrollBars(lb);
  if (!(lb.Style() & LBS_NOREDRAW)) InvalidateRect(lb.Wnd, nullptr, TRUE);
}

void SetTop(TListBox& lb, int top) {
  if (lb.MultiColumn()) top -= top % RowsPerColumn(lb);
  lb.Top = std::clamp(top, 0, MaxTop(lb));
  Changed(lb);
}

void ScrollIntoView(TListBox& lb, int i) {
  if (!lb.Valid(i)) return;
  if (i < lb.Top) {
    SetTop(lb, i);
  } else if (i >= lb.Top + FullyVisible(lb)) {
    if (lb.MultiColumn()) {
      int rows = RowsPerColumn(lb), shown = FullyVisible(lb) / rows;
      SetTop(lb, (i / rows - shown + 1) * rows);
    } else if (lb.Variable()) {
      int top = i, y = lb.HeightOf(i);
      while (top > 0 && y + lb.HeightOf(top - 1) <= ClientArea(lb).Height()) y += lb.HeightOf(--top);
      SetTop(lb, top);
    } else {
      SetTop(lb, i - FullyVisible(lb) + 1);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Items

void Measure(TListBox& lb, int index, ULONG_PTR data) {
  MEASUREITEMSTRUCT mi;
  mi.CtlType = ODT_LISTBOX;
  mi.CtlID = static_cast<UINT>(GetDlgCtrlID(lb.Wnd));
  mi.itemID = static_cast<UINT>(index);
  mi.itemWidth = static_cast<UINT>(ClientArea(lb).Width());
  mi.itemHeight = static_cast<UINT>(lb.ItemHeight);
  mi.itemData = data;
  HWND wnd = lb.Wnd, parent = GetParent(wnd);
  if (parent) SendMessage(parent, WM_MEASUREITEM, mi.CtlID, reinterpret_cast<LPARAM>(&mi));
  TListBox* alive = ListOf(wnd);
  if (!alive) return;
  int h = std::clamp(static_cast<int>(mi.itemHeight), 0, kMaxItemHeight);
  if (alive->Variable() && alive->Valid(index)) alive->Heights[size_t(index)] = h;
  else if (!alive->Variable()) alive->ItemHeight = h;
}

int SortedPosition(const TListBox& lb, const String& text) {
  auto it = std::upper_bound(lb.Texts.begin(), lb.Texts.end(), text,
                             [](const String& t, const String& item) { return AnsiCompareText(t, item) < 0; });
  return static_cast<int>(it - lb.Texts.begin());
}

// Items without strings are ordered by the parent (WM_COMPAREITEM answers -1, 0 or 1).
int ParentSortedPosition(HWND wnd, ULONG_PTR data) {
  TListBox* lb = ListOf(wnd);
  int lo = 0, hi = lb ? lb->Count : 0;
  while (lo < hi && (lb = ListOf(wnd))) {
    int mid = (lo + hi) / 2;
    COMPAREITEMSTRUCT ci;
    ci.CtlType = ODT_LISTBOX;
    ci.CtlID = static_cast<UINT>(GetDlgCtrlID(wnd));
    ci.hwndItem = wnd;
    ci.itemID1 = static_cast<UINT>(-1);
    ci.itemData1 = data;
    ci.itemID2 = static_cast<UINT>(mid);
    ci.itemData2 = lb->Data[size_t(mid)];
    HWND parent = GetParent(wnd);
    LRESULT order = parent ? SendMessage(parent, WM_COMPAREITEM, ci.CtlID, reinterpret_cast<LPARAM>(&ci)) : 0;
    if (order < 0) hi = mid;
    else lo = mid + 1;
  }
  return lo;
}

LRESULT InsertItem(TListBox& lb, int index, LPARAM lParam, bool sorted) {
  if (lb.NoData()) return LB_ERR;
  String text = lb.HasStrings() && lParam ? reinterpret_cast<const char*>(lParam) : "";
  ULONG_PTR data = lb.HasStrings() ? 0 : static_cast<ULONG_PTR>(lParam);
  if (sorted && (lb.Style() & LBS_SORT)) {
    HWND wnd = lb.Wnd;
    index = lb.HasStrings() ? SortedPosition(lb, text) : ParentSortedPosition(wnd, data);
    if (ListOf(wnd) != &lb) return LB_ERR;
  }
  if (index < 0 || index > lb.Count) {
    if (index != -1 && !sorted) return LB_ERR;
    index = lb.Count;
  }
  lb.Texts.insert(lb.Texts.begin() + index, text);
  lb.Data.insert(lb.Data.begin() + index, data);
  lb.Selected.insert(lb.Selected.begin() + index, 0);
  if (lb.Variable()) lb.Heights.insert(lb.Heights.begin() + index, lb.ItemHeight);
  ++lb.Count;
  if (lb.CurSel >= index) ++lb.CurSel;
  if (lb.Caret >= index && lb.Count > 1) ++lb.Caret;
  if (lb.Anchor >= index && lb.Count > 1) ++lb.Anchor;
  HWND wnd = lb.Wnd;
  if (lb.Variable()) Measure(lb, index, data);
  if (TListBox* alive = ListOf(wnd)) Changed(*alive);
  return index;
}

// Tells the parent that an item with data goes away; false when the list went away meanwhile.
bool SendDeleteItem(HWND wnd, int index) {
  TListBox* lb = ListOf(wnd);
  if (!lb || lb->NoData() || !lb->Valid(index) || !lb->Data[size_t(index)]) return lb != nullptr;
  DELETEITEMSTRUCT di;
  di.CtlType = ODT_LISTBOX;
  di.CtlID = static_cast<UINT>(GetDlgCtrlID(wnd));
  di.itemID = static_cast<UINT>(index);
  di.hwndItem = wnd;
  di.itemData = lb->Data[size_t(index)];
  if (HWND parent = GetParent(wnd)) SendMessage(parent, WM_DELETEITEM, di.CtlID, reinterpret_cast<LPARAM>(&di));
  return ListOf(wnd) == lb;
}

// Sends WM_DELETEITEM for every item, last first; false when the list went away meanwhile.
bool SendDeleteAll(HWND wnd) {
  for (int i = ListOf(wnd) ? ListOf(wnd)->Count - 1 : -1; i >= 0; --i)
    if (!SendDeleteItem(wnd, i)) return false;
  return ListOf(wnd) != nullptr;
}

LRESULT DeleteItem(TListBox& lb, int index) {
  if (!lb.Valid(index) || lb.NoData()) return LB_ERR;
  if (!SendDeleteItem(lb.Wnd, index) || !lb.Valid(index)) return LB_ERR;
  lb.Texts.erase(lb.Texts.begin() + index);
  lb.Data.erase(lb.Data.begin() + index);
  lb.Selected.erase(lb.Selected.begin() + index);
  if (lb.Variable()) lb.Heights.erase(lb.Heights.begin() + index);
  --lb.Count;
  if (lb.CurSel == index) lb.CurSel = -1;
  else if (lb.CurSel > index) --lb.CurSel;
  if (lb.Caret > index) --lb.Caret;
  if (lb.Anchor > index) --lb.Anchor;
  lb.Caret = std::clamp(lb.Caret, 0, std::max(0, lb.Count - 1));
  lb.Anchor = std::clamp(lb.Anchor, 0, std::max(0, lb.Count - 1));
  Changed(lb);
  return lb.Count;
}

void Reset(TListBox& lb) {
  lb.Texts.clear();
  lb.Data.clear();
  lb.Selected.clear();
  lb.Heights.clear();
  lb.Count = 0;
  lb.CurSel = -1;
  lb.Caret = lb.Anchor = lb.Top = lb.ScrollX = 0;
  Changed(lb);
}

LRESULT SetCount(TListBox& lb, WPARAM count) {
  if (!lb.NoData() || count > 0x7FFFFFF) return LB_ERR;
  lb.Count = static_cast<int>(count);
  lb.Selected.assign(count, 0);
  if (!lb.Valid(lb.CurSel)) lb.CurSel = -1;
  lb.Caret = std::clamp(lb.Caret, 0, std::max(0, lb.Count - 1));
  lb.Anchor = std::clamp(lb.Anchor, 0, std::max(0, lb.Count - 1));
  Changed(lb);
  return 0;
}

// Case-insensitive search from the item after `start`, wrapping around; whole text or prefix.
LRESULT Find(const TListBox& lb, WPARAM start, LPARAM lParam, bool exact) {
  if (!lb.HasStrings() || !lParam || lb.Count == 0) return LB_ERR;
  String key = reinterpret_cast<const char*>(lParam);
  int from = static_cast<int>(static_cast<intptr_t>(start));
  if (!lb.Valid(from)) from = -1;
  for (int n = 1; n <= lb.Count; ++n) {
    int i = (from + n) % lb.Count;
    const String& t = lb.Texts[size_t(i)];
    if (exact ? AnsiCompareText(t, key) == 0
              : t.size() >= key.size() && AnsiCompareText(t.substr(0, key.size()), key) == 0)
      return i;
  }
  return LB_ERR;
}

LRESULT GetText(const TListBox& lb, WPARAM index, LPARAM lParam) {
  int i = static_cast<int>(index);
  if (!lb.Valid(i) || !lParam || lb.NoData()) return LB_ERR;
  if (!lb.HasStrings()) {
    std::memcpy(reinterpret_cast<void*>(lParam), &lb.Data[size_t(i)], sizeof(ULONG_PTR));
    return sizeof(ULONG_PTR);
  }
  const String& t = lb.Texts[size_t(i)];
  std::memcpy(reinterpret_cast<char*>(lParam), t.c_str(), t.size() + 1);
  return static_cast<LRESULT>(t.size());
}

// ---------------------------------------------------------------------------------------------
// Selection

void InvalidateItem(const TListBox& lb, int i) {
  if (!lb.Valid(i)) return;
  RECT r = ItemRect(lb, i);
  InvalidateRect(lb.Wnd, &r, TRUE);
}

void SetCaretItem(TListBox& lb, int i) {
  if (!lb.Valid(i)) return;
  InvalidateItem(lb, lb.Caret);
  lb.Caret = i;
  InvalidateItem(lb, i);
}

bool SelectOnly(TListBox& lb, int i) {
  bool changed = false;
  if (!lb.MultiSel()) {
    changed = lb.CurSel != i;
    InvalidateItem(lb, lb.CurSel);
    lb.CurSel = lb.Valid(i) ? i : -1;
    InvalidateItem(lb, lb.CurSel);
    return changed;
  }
  for (int k = 0; k < lb.Count; ++k) {
    uint8_t want = k == i;
    if (lb.Selected[size_t(k)] != want) {
      lb.Selected[size_t(k)] = want;
      InvalidateItem(lb, k);
      changed = true;
    }
  }
  return changed;
}

bool SelectRange(TListBox& lb, int from, int to, bool on, bool clearOthers) {
  if (from > to) std::swap(from, to);
  bool changed = false;
  for (int k = 0; k < lb.Count; ++k) {
    bool inside = k >= from && k <= to;
    if (!inside && !clearOthers) continue;
    uint8_t want = inside ? on : 0;
    if (lb.Selected[size_t(k)] != want) {
      lb.Selected[size_t(k)] = want;
      InvalidateItem(lb, k);
      changed = true;
    }
  }
  return changed;
}

void NotifySelChange(TListBox& lb, bool changed) {
  if (changed && (lb.Style() & LBS_NOTIFY)) NotifyParent(lb.Wnd, LBN_SELCHANGE);
}

LRESULT SetListSel(TListBox& lb, WPARAM on, LPARAM index) {
  if (!lb.MultiSel()) return LB_ERR;
  int i = static_cast<int>(index);
  if (i == -1) {
    SelectRange(lb, 0, lb.Count - 1, on != 0, false);
    return 0;
  }
  if (!lb.Valid(i)) return LB_ERR;
  SelectRange(lb, i, i, on != 0, false);
  if (on) {
    SetCaretItem(lb, i);
    lb.Anchor = i;
  }
  return 0;
}

LRESULT SetCurSel(TListBox& lb, WPARAM index) {
  if (lb.MultiSel()) return LB_ERR;
  int i = static_cast<int>(static_cast<intptr_t>(index));
  SelectOnly(lb, lb.Valid(i) ? i : -1);
  if (!lb.Valid(i)) return LB_ERR;
  SetCaretItem(lb, i);
  lb.Anchor = i;
  ScrollIntoView(lb, i);
  return i;
}

LRESULT SelCount(const TListBox& lb) {
  if (!lb.MultiSel()) return LB_ERR;
  return std::count(lb.Selected.begin(), lb.Selected.end(), 1);
}

LRESULT SelItems(const TListBox& lb, WPARAM max, LPARAM lParam) {
  if (!lb.MultiSel() || !lParam) return LB_ERR;
  auto* out = reinterpret_cast<int*>(lParam);
  int n = 0;
  for (int k = 0; k < lb.Count && n < static_cast<int>(max); ++k)
    if (lb.Selected[size_t(k)]) out[n++] = k;
  return n;
}

// Moves the caret by a user action and selects as the selection mode wants. A click notifies
// even when the selection stays (the class library counts it as a click).
// The selection a move of the caret to item i makes; true when it changed.
bool SelectForMove(TListBox& lb, int i, bool shift, bool ctrl) {
  if (lb.Style() & LBS_NOSEL) return false;
  if (lb.Extended() && shift) return SelectRange(lb, lb.Anchor, i, true, !ctrl);
  if (lb.MultiSel() && (!lb.Extended() || ctrl)) return false;
  lb.Anchor = i;
  return SelectOnly(lb, i);
}

void UserMoveTo(TListBox& lb, int i, bool shift, bool ctrl, bool byClick = false) {
  if (lb.Count == 0) return;
  i = std::clamp(i, 0, lb.Count - 1);
  bool changed = SelectForMove(lb, i, shift, ctrl);
  SetCaretItem(lb, i);
  ScrollIntoView(lb, i);
  NotifySelChange(lb, changed || (byClick && !(lb.Style() & LBS_NOSEL)));
}

void ToggleCaretItem(TListBox& lb) {
  if (!lb.MultiSel() || !lb.Valid(lb.Caret) || (lb.Style() & LBS_NOSEL)) return;
  lb.Selected[size_t(lb.Caret)] ^= 1;
  lb.Anchor = lb.Caret;
  InvalidateItem(lb, lb.Caret);
  NotifySelChange(lb, true);
}

// ---------------------------------------------------------------------------------------------
// Keyboard and mouse

// With LBS_WANTKEYBOARDINPUT the parent may handle a key (-2), pick an item (its index) or leave
// it to the list (-1). True when the list should do nothing more.
bool ParentTakesKey(TListBox& lb, UINT msg, WPARAM key) {
  HWND wnd = lb.Wnd, parent = GetParent(wnd);
  if (!(lb.Style() & LBS_WANTKEYBOARDINPUT) || !parent) return false;
  LRESULT r = SendMessage(parent, msg, MAKEWPARAM(static_cast<WORD>(key), static_cast<WORD>(lb.Caret)),
                          reinterpret_cast<LPARAM>(wnd));
  TListBox* alive = ListOf(wnd);
  if (!alive) return true;
  if (r >= 0) UserMoveTo(*alive, static_cast<int>(r), false, false);
  return r != -1;
}

void ListKeyDownMessage(TListBox& lb, WPARAM vk) {
  if (ParentTakesKey(lb, WM_VKEYTOITEM, vk)) return;
  bool shift = KeyDown(VK_SHIFT), ctrl = KeyDown(VK_CONTROL);
  int page = std::max(1, FullyVisible(lb) - (lb.MultiColumn() ? 0 : 1));
  int rows = lb.MultiColumn() ? RowsPerColumn(lb) : 1;
  int at = lb.MultiSel() ? lb.Caret : (lb.Valid(lb.CurSel) ? lb.CurSel : lb.Caret);
  int target;
  switch (vk) {
    case VK_UP: target = at - 1; break;
    case VK_DOWN: target = at + 1; break;
    case VK_LEFT: target = at - rows; break;
    case VK_RIGHT: target = at + rows; break;
    case VK_PRIOR: target = at - page; break;
    case VK_NEXT: target = at + page; break;
    case VK_HOME: target = 0; break;
    case VK_END: target = lb.Count - 1; break;
    case VK_SPACE:
      ToggleCaretItem(lb);
      return;
    default: return;
  }
  if (lb.MultiSel() && !lb.Extended()) {
    SetCaretItem(lb, std::clamp(target, 0, std::max(0, lb.Count - 1)));
    ScrollIntoView(lb, lb.Caret);
    return;
  }
  UserMoveTo(lb, target, shift, ctrl);
}

// Type-ahead: characters typed in quick succession make a prefix searched from the caret item;
// the same letter again steps through the items starting with it.
void ListCharMessage(TListBox& lb, char ch) {
  if (!lb.HasStrings() && ParentTakesKey(lb, WM_CHARTOITEM, static_cast<unsigned char>(ch))) return;
  if (!lb.HasStrings() || lb.Count == 0 || static_cast<unsigned char>(ch) < 0x20) return;
  DWORD now = GetMessageTime();
  if (now - lb.PrefixTime > kTypeAheadPause) lb.Prefix.clear();
  lb.PrefixTime = now;
  bool repeat = lb.Prefix.size() == 1 && AnsiLowerChar(lb.Prefix[0]) == AnsiLowerChar(ch);
  if (!repeat) lb.Prefix += ch;
  int at = lb.MultiSel() ? lb.Caret : lb.CurSel;
  int start = lb.Prefix.size() > 1 && lb.Valid(at) ? at - 1 : at;
  LRESULT found = Find(lb, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(lb.Prefix.c_str()), false);
  if (found != LB_ERR) UserMoveTo(lb, static_cast<int>(found), false, false);
}

void ListButtonDown(TListBox& lb, TPoint pt, WPARAM keys) {
  HWND wnd = lb.Wnd;
  if (GetFocus() != wnd) SetFocus(wnd);
  TListBox* alive = ListOf(wnd);
  if (!alive || alive->Count == 0) return;
  bool outside;
  int i = ItemAt(*alive, pt, outside);
  if (outside && pt.Y >= 0 && !alive->MultiColumn() && i == alive->Count - 1 &&
      pt.Y >= ItemRect(*alive, i).Bottom)
    return;
  bool shift = (keys & MK_SHIFT) != 0, ctrl = (keys & MK_CONTROL) != 0;
  if (alive->MultiSel() && !alive->Extended()) {
    SetCaretItem(*alive, i);
    ToggleCaretItem(*alive);
  } else if (alive->Extended() && ctrl && !shift) {
    SetCaretItem(*alive, i);
    ToggleCaretItem(*alive);
  } else {
    UserMoveTo(*alive, i, shift, ctrl, true);
  }
  if ((alive = ListOf(wnd))) {
    alive->Tracking = true;
    SetCapture(wnd);
    SetTimer(wnd, kListDragTimer, kListDragInterval, nullptr);
  }
}

void ListDragTo(TListBox& lb, TPoint pt) {
  if (!lb.Tracking || (lb.MultiSel() && !lb.Extended())) return;
  // Above or below the list the selection moves one item a step (the timer repeats the step).
  bool outside;
  int i = ItemAt(lb, pt, outside);
  if (!lb.MultiColumn() && pt.Y < 0) i = std::max(0, lb.Top - 1);
  else if (!lb.MultiColumn() && pt.Y >= ClientArea(lb).Height()) i = std::min(lb.Count - 1, lb.Top + FullyVisible(lb));
  if (i != lb.Caret) UserMoveTo(lb, i, lb.Extended(), false);
}

void EndTracking(TListBox& lb) {
  lb.Tracking = false;
  KillTimer(lb.Wnd, kListDragTimer);
  if (GetCapture() == lb.Wnd) ReleaseCapture();
}

// ---------------------------------------------------------------------------------------------
// Painting

void DrawOwnerListItem(TListBox& lb, HDC dc, int i, const TRect& r) {
  DRAWITEMSTRUCT di;
  di.CtlType = ODT_LISTBOX;
  di.CtlID = static_cast<UINT>(GetDlgCtrlID(lb.Wnd));
  di.itemID = static_cast<UINT>(i);
  di.itemAction = ODA_DRAWENTIRE;
  di.itemState = (lb.IsSelected(i) ? ODS_SELECTED : 0) | (lb.Focused && i == lb.Caret ? ODS_FOCUS : 0) |
                 (IsWindowEnabled(lb.Wnd) ? 0 : ODS_DISABLED);
  di.hwndItem = lb.Wnd;
  di.hDC = dc;
  di.rcItem = r;
  di.itemData = lb.NoData() ? 0 : lb.Data[size_t(i)];
  if (HWND parent = GetParent(lb.Wnd)) SendMessage(parent, WM_DRAWITEM, di.CtlID, reinterpret_cast<LPARAM>(&di));
}

void DrawTextItem(const TListBox& lb, HDC dc, int i, const TRect& r) {
  bool selected = lb.IsSelected(i);
  COLORREF oldText = GetTextColor(dc);
  if (selected) {
    FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  }
  const String& t = lb.Texts[size_t(i)];
  if (lb.Style() & LBS_USETABSTOPS) {
    std::vector<int> stops = lb.TabStops;
    if (stops.empty()) stops.push_back(lb.AveChar * 8);
    TabbedTextOut(dc, r.Left + kTextIndent, r.Top, t.data(), static_cast<int>(t.size()), static_cast<int>(stops.size()),
                  stops.data(), r.Left + kTextIndent);
  } else {
    ExtTextOut(dc, r.Left + kTextIndent, r.Top, ETO_CLIPPED, &r, t.data(), static_cast<UINT>(t.size()), nullptr);
  }
  SetTextColor(dc, oldText);
  if (lb.Focused && i == lb.Caret) DrawFocusRect(dc, &r);
}

HBRUSH ListBackground(const TListBox& lb, HDC dc) {
  SetTextColor(dc, GetSysColor(IsWindowEnabled(lb.Wnd) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  HWND parent = GetParent(lb.Wnd);
  LRESULT brush = parent ? SendMessage(parent, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(lb.Wnd)) : 0;
  return brush ? reinterpret_cast<HBRUSH>(brush) : GetSysColorBrush(COLOR_WINDOW);
}

void PaintListTo(HWND wnd, HDC dc) {
  int saved = SaveDC(dc);
  TListBox* lb = ListOf(wnd);
  SelectObject(dc, ControlFont(lb->Font));
  HBRUSH brush = ListBackground(*lb, dc);
  TRect client = ClientArea(*lb);
  FillRect(dc, &client, brush);
  SetBkMode(dc, TRANSPARENT);
  for (int i = lb->Top; i < lb->Count && (lb = ListOf(wnd)); ++i) {
    TRect r = ItemRect(*lb, i);
    if (r.Top >= client.Bottom || r.Left >= client.Right) break;
    if (r.Bottom <= r.Top) continue;
    if (lb->OwnerDraw()) DrawOwnerListItem(*lb, dc, i, r);
    else DrawTextItem(*lb, dc, i, r);
  }
  RestoreDC(dc, saved);
}

// A DC in wParam (a parent painting the list into a bitmap) is painted into as it is.
void PaintList(HWND wnd, HDC given) {
  if (given) {
    PaintListTo(wnd, given);
    return;
  }
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(wnd, &ps);
  if (!dc) return;
  PaintListTo(wnd, dc);
  EndPaint(wnd, &ps);
}

// ---------------------------------------------------------------------------------------------
// Messages

void ListScrollMessage(TListBox& lb, UINT msg, WPARAM wParam) {
  bool byColumns = msg == WM_HSCROLL && lb.MultiColumn();
  if (msg == WM_VSCROLL || byColumns) {
    int step = byColumns ? RowsPerColumn(lb) : 1;
    int page = byColumns ? FullyVisible(lb) : std::max(1, FullyVisible(lb) - 1);
    int top = lb.Top;
    switch (LOWORD(wParam)) {
      case SB_LINEUP: top -= step; break;
      case SB_LINEDOWN: top += step; break;
      case SB_PAGEUP: top -= page; break;
      case SB_PAGEDOWN: top += page; break;
      case SB_TOP: top = 0; break;
      case SB_BOTTOM: top = lb.Count; break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: top = HIWORD(wParam) * step; break;
      default: return;
    }
    SetTop(lb, top);
    return;
  }
  int width = ClientArea(lb).Width(), x = lb.ScrollX;
  switch (LOWORD(wParam)) {
    case SB_LINELEFT: x -= lb.AveChar; break;
    case SB_LINERIGHT: x += lb.AveChar; break;
    case SB_PAGELEFT: x -= width; break;
    case SB_PAGERIGHT: x += width; break;
    case SB_LEFT: x = 0; break;
    case SB_RIGHT: x = lb.HorzExtent; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: x = HIWORD(wParam); break;
    default: return;
  }
  lb.ScrollX = x;
  Changed(lb);
}

void SetListFont(TListBox& lb, HFONT font) {
  lb.Font = font;
  TSize cell = FontCellSize(font);
  lb.AveChar = std::max(1, cell.cx);
  if (!lb.OwnerDraw()) lb.ItemHeight = cell.cy;
  Changed(lb);
}

LRESULT ItemFromPoint(const TListBox& lb, LPARAM lParam) {
  bool outside;
  int i = ItemAt(lb, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, outside);
  return MAKELONG(static_cast<WORD>(i), outside ? 1 : 0);
}

LRESULT SetItemHeight(TListBox& lb, WPARAM index, LPARAM lParam) {
  int h = LOWORD(static_cast<uintptr_t>(lParam));
  if (h > kMaxItemHeight) return LB_ERR;
  if (lb.Variable()) {
    int i = static_cast<int>(index);
    if (!lb.Valid(i)) return LB_ERR;
    lb.Heights[size_t(i)] = h;
  } else {
    lb.ItemHeight = h;
  }
  Changed(lb);
  return LB_OKAY;
}

LRESULT SetTabStops(TListBox& lb, WPARAM count, LPARAM lParam) {
  if (!(lb.Style() & LBS_USETABSTOPS)) return FALSE;
  lb.TabStops.clear();
  const int* units = reinterpret_cast<const int*>(lParam);
  if (count > 0 && !units) return FALSE;
  for (WPARAM k = 0; k < count; ++k) lb.TabStops.push_back(units[k] * lb.AveChar / 4);
  InvalidateRect(lb.Wnd, nullptr, TRUE);
  return TRUE;
}

LRESULT ListMessage(TListBox& lb, UINT msg, WPARAM wParam, LPARAM lParam) {
  int index = static_cast<int>(static_cast<intptr_t>(wParam));
  switch (msg) {
    case LB_ADDSTRING: return InsertItem(lb, -1, lParam, true);
    case LB_INSERTSTRING: return InsertItem(lb, index, lParam, false);
    case LB_DELETESTRING: return DeleteItem(lb, index);
    case LB_RESETCONTENT:
      if (SendDeleteAll(lb.Wnd)) Reset(lb);
      return 0;
    case LB_GETCOUNT: return lb.Count;
    case LB_GETTEXT: return GetText(lb, wParam, lParam);
    case LB_GETTEXTLEN:
      if (!lb.Valid(index)) return LB_ERR;
      return lb.HasStrings() ? static_cast<LRESULT>(lb.Texts[size_t(index)].size()) : sizeof(ULONG_PTR);
    case LB_GETITEMDATA: return lb.Valid(index) && !lb.NoData() ? static_cast<LRESULT>(lb.Data[size_t(index)]) : LB_ERR;
    case LB_SETITEMDATA:
      if (!lb.Valid(index) || lb.NoData()) return LB_ERR;
      lb.Data[size_t(index)] = static_cast<ULONG_PTR>(lParam);
      return TRUE;
    case LB_SETCURSEL: return SetCurSel(lb, wParam);
    case LB_GETCURSEL: return lb.MultiSel() ? (lb.Count ? lb.Caret : LB_ERR) : lb.CurSel;
    case LB_SETSEL: return SetListSel(lb, wParam, lParam);
    case LB_GETSEL: return lb.Valid(index) ? (lb.IsSelected(index) ? 1 : 0) : LB_ERR;
    case LB_GETSELCOUNT: return SelCount(lb);
    case LB_GETSELITEMS: return SelItems(lb, wParam, lParam);
    case LB_SELITEMRANGE:
      if (!lb.MultiSel()) return LB_ERR;
      SelectRange(lb, LOWORD(static_cast<uintptr_t>(lParam)), HIWORD(static_cast<uintptr_t>(lParam)), wParam != 0, false);
      return 0;
    case LB_SELITEMRANGEEX:
      if (!lb.MultiSel()) return LB_ERR;
      SelectRange(lb, index, static_cast<int>(lParam), index <= static_cast<int>(lParam), false);
      return 0;
    case LB_SETANCHORINDEX:
      if (!lb.Valid(index)) return LB_ERR;
      lb.Anchor = index;
      return 0;
    case LB_GETANCHORINDEX: return lb.Count ? lb.Anchor : LB_ERR;
    case LB_SETCARETINDEX:
      if (!lb.Valid(index)) return LB_ERR;
      SetCaretItem(lb, index);
      ScrollIntoView(lb, index);
      return 0;
    case LB_GETCARETINDEX: return lb.Count ? lb.Caret : 0;
    case LB_GETTOPINDEX: return lb.Top;
    case LB_SETTOPINDEX:
      if (index < 0 || (lb.Count && index >= lb.Count)) return LB_ERR;
      SetTop(lb, index);
      return 0;
    case LB_SETITEMHEIGHT: return SetItemHeight(lb, wParam, lParam);
    case LB_GETITEMHEIGHT: return lb.Variable() ? (lb.Valid(index) ? lb.HeightOf(index) : LB_ERR) : lb.ItemHeight;
    case LB_GETITEMRECT:
      if (!lParam || (!lb.Valid(index) && !(index == 0 && lb.Count == 0))) return LB_ERR;
      *reinterpret_cast<RECT*>(lParam) = ItemRect(lb, index);
      return 1;
    case LB_ITEMFROMPOINT: return ItemFromPoint(lb, lParam);
    case LB_FINDSTRING: return Find(lb, wParam, lParam, false);
    case LB_FINDSTRINGEXACT: return Find(lb, wParam, lParam, true);
    case LB_SELECTSTRING: {
      LRESULT found = Find(lb, wParam, lParam, false);
      if (found == LB_ERR) return LB_ERR;
      if (lb.MultiSel()) SetListSel(lb, TRUE, found);
      else SetCurSel(lb, static_cast<WPARAM>(found));
      return found;
    }
    case LB_SETHORIZONTALEXTENT:
      lb.HorzExtent = std::max(0, index);
      Changed(lb);
      return 0;
    case LB_GETHORIZONTALEXTENT: return lb.HorzExtent;
    case LB_SETCOLUMNWIDTH:
      lb.ColumnWidth = std::max(0, index);
      Changed(lb);
      return 0;
    case LB_SETTABSTOPS: return SetTabStops(lb, wParam, lParam);
    case LB_SETCOUNT: return SetCount(lb, wParam);
    case LB_INITSTORAGE: return lb.NoData() ? lb.Count : static_cast<LRESULT>(lb.Count + std::max(0, index));
    default: return LB_ERR;
  }
}

LRESULT ListInputMessage(TListBox& lb, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = true;
  HWND wnd = lb.Wnd;
  switch (msg) {
    case WM_KEYDOWN: ListKeyDownMessage(lb, wParam); return 0;
    case WM_CHAR: ListCharMessage(lb, static_cast<char>(wParam)); return 0;
    case WM_LBUTTONDOWN: ListButtonDown(lb, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, wParam); return 0;
    case WM_MOUSEMOVE:
      if (lb.Tracking && GetCapture() == wnd) ListDragTo(lb, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_LBUTTONUP: EndTracking(lb); return 0;
    case WM_CAPTURECHANGED:
      if (lb.Tracking) EndTracking(lb);
      return 0;
    case WM_TIMER:
      if (wParam != kListDragTimer) break;
      if (lb.Tracking) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(wnd, &p);
        ListDragTo(lb, p);
      }
      return 0;
    case WM_LBUTTONDBLCLK:
      if (lb.Style() & LBS_NOTIFY) NotifyParent(wnd, LBN_DBLCLK);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      lb.Focused = msg == WM_SETFOCUS;
      InvalidateItem(lb, lb.Caret);
      if (lb.Style() & LBS_NOTIFY) NotifyParent(wnd, lb.Focused ? LBN_SETFOCUS : LBN_KILLFOCUS);
      return 0;
    case WM_MOUSEWHEEL: {
      UINT lines = 3;
      SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
      int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
      if (lb.MultiColumn()) SetTop(lb, lb.Top - notches * RowsPerColumn(lb));
      else SetTop(lb, lb.Top - notches * static_cast<int>(std::min<UINT>(lines, 1000)));
      return 0;
    }
    case WM_VSCROLL:
    case WM_HSCROLL: ListScrollMessage(lb, msg, wParam); return 0;
    default: break;
  }
  handled = false;
  return 0;
}

// A list box without LBS_NOINTEGRALHEIGHT shows whole items only: its height shrinks to a
// multiple of the item height (left alone when that height is 0).
void IntegralHeight(const TListBox& lb, WINDOWPOS* pos) {
  if (!pos || (pos->flags & SWP_NOSIZE) || (lb.Style() & LBS_NOINTEGRALHEIGHT) || lb.Variable() || lb.ItemHeight <= 0)
    return;
  RECT window, client;
  GetWindowRect(lb.Wnd, &window);
  GetClientRect(lb.Wnd, &client);
  int frame = window.Height() - client.Height();
  int clientHeight = pos->cy - frame;
  if (clientHeight > lb.ItemHeight) pos->cy -= clientHeight % lb.ItemHeight;
}

// Sizes the window again so that WM_WINDOWPOSCHANGING trims it to whole items.
void ApplyIntegralHeight(const TListBox& lb) {
  if ((lb.Style() & LBS_NOINTEGRALHEIGHT) || lb.Variable() || lb.ItemHeight <= 0) return;
  RECT r;
  GetWindowRect(lb.Wnd, &r);
  SetWindowPos(lb.Wnd, nullptr, 0, 0, r.Width(), r.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CreateListBox(HWND wnd, const CREATESTRUCT* cs) {
  auto lb = std::make_unique<TListBox>();
  lb->Wnd = wnd;
  DWORD style = cs ? static_cast<DWORD>(cs->style) : 0;
  lb->HadVScroll = (style & WS_VSCROLL) != 0;
  lb->HadHScroll = (style & WS_HSCROLL) != 0;
  if (!SetProp(wnd, kListBoxStateProp, lb.get())) return false;
  TListBox* list = lb.release();
  SetListFont(*list, nullptr);
  return true;
}

LRESULT ListBoxProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    if (!CreateListBox(wnd, reinterpret_cast<const CREATESTRUCT*>(lParam))) return FALSE;
    return DefWindowProc(wnd, msg, wParam, lParam);
  }
  TListBox* lb = ListOf(wnd);
  if (!lb) return DefWindowProc(wnd, msg, wParam, lParam);
  switch (msg) {
    case WM_CREATE:
      if (lb->OwnerDraw() && !lb->Variable()) Measure(*lb, 0, 0);
      if ((lb = ListOf(wnd))) ApplyIntegralHeight(*lb);
      if ((lb = ListOf(wnd))) Changed(*lb);
      return 0;
    case WM_DESTROY:
      SendDeleteAll(wnd);
      return DefWindowProc(wnd, msg, wParam, lParam);
    case WM_NCDESTROY:
      delete lb;
      RemoveProp(wnd, kListBoxStateProp);
      return DefWindowProc(wnd, msg, wParam, lParam);
    case WM_PAINT: PaintList(wnd, reinterpret_cast<HDC>(wParam)); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT:
      SetListFont(*lb, reinterpret_cast<HFONT>(wParam));
      ApplyIntegralHeight(*lb);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(lb->Font);
    case WM_WINDOWPOSCHANGING:
      IntegralHeight(*lb, reinterpret_cast<WINDOWPOS*>(lParam));
      return DefWindowProc(wnd, msg, wParam, lParam);
    case WM_SIZE:
    case WM_STYLECHANGED:
      Changed(*lb);
      return msg == WM_SIZE ? DefWindowProc(wnd, msg, wParam, lParam) : 0;
    case WM_ENABLE: InvalidateRect(wnd, nullptr, TRUE); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    default: break;
  }
  bool handled = false;
  LRESULT r = ListInputMessage(*lb, msg, wParam, lParam, handled);
  if (handled) return r;
  if (msg >= LB_ADDSTRING && msg <= LB_ITEMFROMPOINT) return ListMessage(*lb, msg, wParam, lParam);
  return DefWindowProc(wnd, msg, wParam, lParam);
}

}  // namespace

void RegisterListBoxClass() {
  WNDCLASSEX wc;
  wc.style = CS_DBLCLKS | CS_GLOBALCLASS;
  wc.lpfnWndProc = ListBoxProc;
  wc.hCursor = LoadCursor(nullptr, MAKEINTRESOURCE(IDC_ARROW));
  wc.lpszClassName = "LISTBOX";
  RegisterClassEx(&wc);
}
