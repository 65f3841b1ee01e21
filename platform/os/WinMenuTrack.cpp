// Menu layout and drawing, the menu bar in the non-client area, and the modal loop that tracks
// the bar and pop-up menus with the keyboard and the mouse.
#include <algorithm>
#include <functional>
#include <memory>

#include "platform/os/Gdi.h"
#include "platform/os/WinMenuInternal.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr int kPopupBorder = 3;
constexpr int kSeparatorHeight = 9;
constexpr int kCheckColumn = 20;
constexpr int kArrowColumn = 16;
constexpr int kAccelGap = 16;
constexpr int kBarItemPadding = 7;
constexpr int kSubMenuOverlap = 3;
constexpr UINT kNoItem = 0xFFFF;

bool MenuOverlaps(const TRect& a, const TRect& b) {
  return std::max(a.Left, b.Left) < std::min(a.Right, b.Right) && std::max(a.Top, b.Top) < std::min(a.Bottom, b.Bottom);
}
TRect Moved(const TRect& r, int dx, int dy) { return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }

// ------------------------------------------------------------------ fonts and measuring

HFONT MenuFont(bool bold) {
  static HFONT normal = GetStockObject(DEFAULT_GUI_FONT);
  static HFONT heavy = [] {
    LOGFONT lf;
    GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfWeight = FW_BOLD;
    return CreateFontIndirect(&lf);
  }();
  return bold ? heavy : normal;
}

// A memory DC for measuring text; deleted with the scope.
struct TMeasureDC {
  HDC DC = CreateCompatibleDC(nullptr);
  TMeasureDC() { SelectObject(DC, MenuFont(false)); }
  ~TMeasureDC() { DeleteDC(DC); }
  TMeasureDC(const TMeasureDC&) = delete;
  TMeasureDC& operator=(const TMeasureDC&) = delete;
};

// The caption and the right-aligned accelerator text after a tab.
void SplitText(const String& text, String& caption, String& accel) {
  size_t tab = text.find('\t');
  caption = text.substr(0, tab);
  accel = tab == String::npos ? String() : text.substr(tab + 1);
}

TSize TextSize(HDC dc, const String& text, bool bold) {
  SelectObject(dc, MenuFont(bold));
  RECT r{0, 0, 0, 0};
  DrawText(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
  SelectObject(dc, MenuFont(false));
  return {r.Width(), r.Height()};
}

TSize BitmapSize(HBITMAP bitmap) {
  BITMAP bm;
  if (!bitmap || !GetObject(bitmap, sizeof bm, &bm)) return {0, 0};
  return {bm.bmWidth, std::abs(bm.bmHeight)};
}

TSize MeasureOwnerDrawn(HWND owner, const TMenuItemRec& item) {
  MEASUREITEMSTRUCT mis;
  mis.CtlType = ODT_MENU;
  mis.itemID = item.Id;
  mis.itemData = item.Data;
  mis.itemHeight = static_cast<UINT>(GetSystemMetrics(SM_CYMENU));
  if (owner) SendMessage(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
  return {static_cast<int>(mis.itemWidth), static_cast<int>(mis.itemHeight)};
}

struct TItemMetrics {
  int Width = 0;   // caption (or content) width
  int Accel = 0;   // accelerator text width
  int Height = 0;
};

TItemMetrics MeasurePopupItem(HDC dc, HWND owner, const TMenuItemRec& item) {
  TItemMetrics m;
  if (item.IsSeparator()) {
    m.Height = kSeparatorHeight;
    return m;
  }
  if (item.Type & MFT_OWNERDRAW) {
    TSize s = MeasureOwnerDrawn(owner, item);
    m.Width = s.cx;
    m.Height = s.cy;
    return m;
  }
  if (item.Type & MFT_BITMAP) {
    TSize s = BitmapSize(item.TypeBitmap);
    m.Width = s.cx;
    m.Height = s.cy + 2;
    return m;
  }
  String caption, accel;
  SplitText(item.Text, caption, accel);
  bool bold = (item.State & MFS_DEFAULT) != 0;
  TSize t = TextSize(dc, caption, bold);
  TSize pic = BitmapSize(item.Bitmap);
  m.Width = t.cx + (pic.cx ? pic.cx + 4 : 0);
  m.Accel = accel.empty() ? 0 : TextSize(dc, accel, bold).cx;
  m.Height = std::max({t.cy + 6, pic.cy + 2, GetSystemMetrics(SM_CYMENU) - 1});
  return m;
}

int BarItemWidth(HDC dc, HWND owner, const TMenuItemRec& item) {
  if (item.Type & MFT_OWNERDRAW) return MeasureOwnerDrawn(owner, item).cx;
  if (item.Type & MFT_BITMAP) return BitmapSize(item.TypeBitmap).cx + 2 * kBarItemPadding;
  String caption, accel;
  SplitText(item.Text, caption, accel);
  return TextSize(dc, caption, false).cx + 2 * kBarItemPadding;
}

// ------------------------------------------------------------------ layouts

struct TPopupLayout {
  std::vector<TRect> Items;  // client coordinates
  TSize Size;
  int AccelLeft = 0;  // where accelerator texts start
};

TPopupLayout LayoutPopup(HMENU menu, HWND owner) {
  TPopupLayout layout;
  TMenuRec* m = FindMenuRec(menu);
  if (!m) return layout;
  TMeasureDC measure;
  std::vector<TItemMetrics> metrics;
  int width = 0, accel = 0;
  for (const TMenuItemRec& item : m->Items) {
    metrics.push_back(MeasurePopupItem(measure.DC, owner, item));
    width = std::max(width, metrics.back().Width);
    accel = std::max(accel, metrics.back().Accel);
  }
  int inner = kCheckColumn + width + (accel ? kAccelGap + accel : 0) + kArrowColumn;
  int y = kPopupBorder;
  for (const TItemMetrics& im : metrics) {
    layout.Items.push_back({kPopupBorder, y, kPopupBorder + inner, y + im.Height});
    y += im.Height;
  }
  layout.AccelLeft = kPopupBorder + kCheckColumn + width + kAccelGap;
  layout.Size = {inner + 2 * kPopupBorder, y + kPopupBorder};
  return layout;
}

// Items of a bar laid out in rows from `origin` within `width`; returns the bar's height.
int LayoutBar(HMENU menu, HWND owner, TPoint origin, int width, std::vector<TRect>& items) {
  items.clear();
  TMenuRec* m = FindMenuRec(menu);
  if (!m) return 0;
  TMeasureDC measure;
  int row = GetSystemMetrics(SM_CYMENU);
  int x = origin.X, y = origin.Y;
  for (const TMenuItemRec& item : m->Items) {
    int w = BarItemWidth(measure.DC, owner, item);
    bool breakRow = (item.Type & (MFT_MENUBREAK | MFT_MENUBARBREAK)) != 0;
    if (x > origin.X && (breakRow || x + w > origin.X + width)) {
      x = origin.X;
      y += row;
    }
    items.push_back(Bounds(x, y, w, row));
    x += w;
  }
  return y + row - origin.Y + 1;  // the line under the bar
}

// ------------------------------------------------------------------ item drawing

struct TItemLook {
  bool Selected = false;
  bool Bar = false;
  bool Pushed = false;  // a bar item with its pop-up open
  int AccelLeft = 0;
};

void DrawItemText(HDC dc, const String& text, RECT r, UINT format, bool disabled, bool selected, COLORREF color) {
  if (disabled && !selected) {
    RECT shadow = Moved(r, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &shadow, format);
    color = GetSysColor(COLOR_GRAYTEXT);
  } else if (disabled) {
    color = GetSysColor(COLOR_GRAYTEXT);
  }
  SetTextColor(dc, color);
  DrawText(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
}

void DrawBitmapAt(HDC dc, HBITMAP bitmap, int x, int y) {
  TSize s = BitmapSize(bitmap);
  if (!s.cx) return;
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, bitmap);
  BitBlt(dc, x, y, s.cx, s.cy, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

// Marks are drawn in the text colour straight onto the item, like glyphs of a font.
void FillShape(HDC dc, COLORREF color, const std::function<void()>& draw) {
  HBRUSH brush = CreateSolidBrush(color);
  HPEN pen = CreatePen(PS_SOLID, 1, color);
  HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
  draw();
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}

// The tick, three pixel rows thick, the rows stacked at the device pixels of a high-DPI menu.
void DrawTick(HDC dc, const RECT& box, COLORREF color) {
  int x = box.Left + (box.Width() - 7) / 2, y = box.Top + (box.Height() - 7) / 2;
  TDeviceGlyphScope glyph(dc, {x, y - 1, x + 8, y + 7});
  const TPoint a = glyph.Map(TPoint{x, y + 2}), b = glyph.Map(TPoint{x + 2, y + 4}), c = glyph.Map(TPoint{x + 7, y - 1});
  FillShape(glyph.DC(), color, [&] {
    for (int i = 0; i < glyph.Length(3); ++i) {
      POINT tick[3] = {{a.X, a.Y + i}, {b.X, b.Y + i}, {c.X, c.Y + i}};
      Polyline(glyph.DC(), tick, 3);
    }
  });
}

void DrawBullet(HDC dc, const RECT& box, COLORREF color) {
  int cx = (box.Left + box.Right) / 2, cy = (box.Top + box.Bottom) / 2;
  TDeviceGlyphScope glyph(dc, {cx - 3, cy - 3, cx + 3, cy + 3});
  const TRect dot = glyph.Rect();
  FillShape(glyph.DC(), color, [&] { Ellipse(glyph.DC(), dot.Left, dot.Top, dot.Right, dot.Bottom); });
}

void DrawSubMenuArrow(HDC dc, const RECT& r, COLORREF color) {
  int x = r.Right - kArrowColumn + 5, cy = (r.Top + r.Bottom) / 2;
  const POINT arrow[3] = {{x, cy - 4}, {x + 4, cy}, {x, cy + 4}};
  TDeviceGlyphScope glyph(dc, {x, cy - 4, x + 5, cy + 5});
  glyph.ConvexPolygon(arrow, 3, color);
}

void DrawCheck(HDC dc, const TMenuItemRec& item, const RECT& r, COLORREF color) {
  bool checked = (item.State & MFS_CHECKED) != 0;
  HBITMAP own = checked ? item.CheckedBitmap : item.UncheckedBitmap;
  int size = GetSystemMetrics(SM_CXMENUCHECK);
  RECT box = Bounds(r.Left + (kCheckColumn - size) / 2, r.Top + (r.Height() - size) / 2, size, size);
  if (own)
    DrawBitmapAt(dc, own, box.Left, box.Top);
  else if (checked && (item.Type & MFT_RADIOCHECK))
    DrawBullet(dc, box, color);
  else if (checked)
    DrawTick(dc, box, color);
}

void DrawOwnerItem(HDC dc, HWND owner, HMENU menu, const TMenuItemRec& item, const RECT& r, const TItemLook& look) {
  DRAWITEMSTRUCT dis;
  dis.CtlType = ODT_MENU;
  dis.itemID = item.Id;
  dis.itemAction = ODA_DRAWENTIRE;
  dis.itemState = (look.Selected ? ODS_SELECTED : 0) | (item.IsDisabled() ? ODS_GRAYED | ODS_DISABLED : 0) |
                  ((item.State & MFS_CHECKED) ? ODS_CHECKED : 0) | ((item.State & MFS_DEFAULT) ? ODS_DEFAULT : 0);
  dis.hwndItem = reinterpret_cast<HWND>(menu);
  dis.hDC = dc;
  dis.rcItem = r;
  dis.itemData = item.Data;
  int saved = SaveDC(dc);
  SendMessage(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  RestoreDC(dc, saved);
}

void DrawSeparator(HDC dc, const RECT& r) {
  RECT line{r.Left + 1, r.Top + r.Height() / 2 - 1, r.Right - 1, r.Top + r.Height() / 2 + 1};
  DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
}

void DrawMenuItem(HDC dc, HWND owner, HMENU menu, const TMenuItemRec& item, const RECT& r, const TItemLook& look) {
  if (item.Type & MFT_OWNERDRAW) return DrawOwnerItem(dc, owner, menu, item, r, look);
  bool hilite = look.Selected && !look.Bar;
  FillRect(dc, &r, GetSysColorBrush(hilite ? COLOR_HIGHLIGHT : COLOR_MENU));
  if (look.Bar && look.Selected) {
    RECT edge = r;
    DrawEdge(dc, &edge, look.Pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
  if (item.IsSeparator()) return DrawSeparator(dc, r);
  if (item.Type & MFT_BITMAP) {
    TSize s = BitmapSize(item.TypeBitmap);
    int left = look.Bar ? r.Left + kBarItemPadding : r.Left + kCheckColumn;
    return DrawBitmapAt(dc, item.TypeBitmap, left, r.Top + (r.Height() - s.cy) / 2);
  }
  COLORREF color = GetSysColor(hilite ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
  String caption, accel;
  SplitText(item.Text, caption, accel);
  SetBkMode(dc, TRANSPARENT);
  SelectObject(dc, MenuFont((item.State & MFS_DEFAULT) != 0));
  UINT format = DT_SINGLELINE | DT_VCENTER;
  RECT text = r;
  if (look.Bar) {
    if (look.Pushed) text = Moved(text, 1, 1);
    DrawItemText(dc, caption, text, format | DT_CENTER, item.IsDisabled(), false, color);
  } else {
    COLORREF markColor = item.IsDisabled() ? GetSysColor(COLOR_GRAYTEXT) : color;
    DrawCheck(dc, item, r, markColor);
    text.Left += kCheckColumn;
    if (item.Bitmap) {
      TSize pic = BitmapSize(item.Bitmap);
      DrawBitmapAt(dc, item.Bitmap, text.Left, r.Top + (r.Height() - pic.cy) / 2);
      text.Left += pic.cx + 4;
    }
    DrawItemText(dc, caption, text, format, item.IsDisabled(), look.Selected, color);
    if (!accel.empty()) {
      RECT a{look.AccelLeft, r.Top, r.Right - kArrowColumn, r.Bottom};
      DrawItemText(dc, accel, a, format | DT_NOPREFIX, item.IsDisabled(), look.Selected, color);
    }
    if (item.SubMenu) DrawSubMenuArrow(dc, r, markColor);
  }
  SelectObject(dc, MenuFont(false));
}

// ------------------------------------------------------------------ the tracker

struct TLevel {
  HMENU Menu = nullptr;
  HWND Wnd = nullptr;  // the pop-up window; nullptr for the bar
  int Selected = -1;
  std::vector<TRect> Items;  // screen coordinates
  TRect Bounds;              // screen coordinates
  int AccelLeft = 0;         // pop-up client coordinates
};

class TMenuTracker {
 public:
  TMenuTracker(HWND owner, UINT flags, bool bar) : FOwner(owner), FFlags(flags), FBarMode(bar) {}
  UINT Run(HMENU menu, TPoint at, const RECT* exclude, int openBarItem, char barMnemonic);
  void Cancel() { FDone = true; }
  bool Shown() const { return FShown; }

  HWND Owner() const { return FOwner; }
  bool BarMode() const { return FBarMode; }
  const std::vector<TLevel>& Levels() const { return FLevels; }
  const TLevel* LevelOf(HWND wnd) const;

 private:
  HWND FOwner;
  UINT FFlags;
  bool FBarMode;
  bool FDone = false;
  bool FChosen = false;
  UINT FCommand = 0;
  bool FMouseUsed = false;
  bool FLeaveKeyDown = false;
  bool FShown = false;
  HWND FCaptureWnd = nullptr;
  std::vector<TLevel> FLevels;

  bool Notify() const { return !(FFlags & TPM_NONOTIFY); }
  TMenuItemRec* Item(size_t level, int index);
  bool IsBar(size_t level) const { return FBarMode && level == 0; }

  void EnterBar(HMENU bar);
  bool OpenPopup(HMENU menu, const TRect& anchor, bool fromBar, int parentIndex, TPoint at, const RECT* exclude);
  bool OpenSubMenuOf(size_t level, bool selectFirst);
  void CloseLevelsAbove(size_t level);
  void Select(size_t level, int index);
  void Repaint(size_t level);
  void Choose(size_t level, int index);
  void Activate(size_t level, int index);
  int Step(size_t level, int from, int delta) const;

  void Loop();
  void HandleMessage(MSG& m);
  void HandleKey(const MSG& m);
  void HandleChar(BYTE ch);
  void MoveOnBar(int delta);
  void HandleMouse(const MSG& m);
  bool HitTest(TPoint screen, size_t& level, int& index) const;
  void Finish();
};

std::vector<TMenuTracker*>& Trackers() {
  static std::vector<TMenuTracker*> stack;
  return stack;
}

TMenuTracker* ActiveTracker() { return Trackers().empty() ? nullptr : Trackers().back(); }

const TLevel* TMenuTracker::LevelOf(HWND wnd) const {
  for (const TLevel& l : FLevels)
    if (l.Wnd == wnd) return &l;
  return nullptr;
}

TMenuItemRec* TMenuTracker::Item(size_t level, int index) {
  if (level >= FLevels.size()) return nullptr;
  TMenuRec* m = FindMenuRec(FLevels[level].Menu);
  if (!m || index < 0 || index >= static_cast<int>(m->Items.size())) return nullptr;
  return &m->Items[static_cast<size_t>(index)];
}

// ------------------------------------------------------------------ the pop-up window

LRESULT PopupProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

void RegisterPopupClass() {
  static bool done = false;
  WNDCLASSEX probe;
  if (done && GetClassInfoEx(nullptr, POPUPMENU_CLASS, &probe)) return;
  WNDCLASSEX wc;
  wc.style = CS_SAVEBITS | CS_DROPSHADOW;
  wc.lpfnWndProc = PopupProc;
  wc.lpszClassName = POPUPMENU_CLASS;
  wc.hCursor = LoadCursor(nullptr, MAKEINTRESOURCE(IDC_ARROW));
  RegisterClassEx(&wc);
  done = true;
}

const TLevel* FindPopupLevel(HWND wnd, HWND& owner) {
  for (TMenuTracker* t : Trackers())
    if (const TLevel* l = t->LevelOf(wnd)) {
      owner = t->Owner();
      return l;
    }
  return nullptr;
}

void PaintPopup(HWND wnd, HDC dc) {
  HWND owner = nullptr;
  const TLevel* level = FindPopupLevel(wnd, owner);
  RECT client;
  GetClientRect(wnd, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_MENU));
  DrawEdge(dc, &client, EDGE_RAISED, BF_RECT);
  TMenuRec* m = level ? FindMenuRec(level->Menu) : nullptr;
  if (!m) return;
  TPoint o = level->Bounds.TopLeft();
  for (size_t i = 0; i < m->Items.size() && i < level->Items.size(); ++i) {
    RECT r = Moved(level->Items[i], -o.X, -o.Y);
    TItemLook look;
    look.Selected = static_cast<int>(i) == level->Selected;
    look.AccelLeft = level->AccelLeft;
    DrawMenuItem(dc, owner, level->Menu, m->Items[i], r, look);
  }
}

LRESULT PopupProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (HDC dc = BeginPaint(wnd, &ps)) {
        PaintPopup(wnd, dc);
        EndPaint(wnd, &ps);
      }
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    default: return DefWindowProc(wnd, msg, wParam, lParam);
  }
}

// ------------------------------------------------------------------ placement

TRect WorkArea() {
  RECT wa;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &wa, 0);
  return wa;
}

TPoint FitInto(TPoint p, TSize s, const TRect& wa) {
  p.X = std::max(wa.Left, std::min(p.X, wa.Right - s.cx));
  p.Y = std::max(wa.Top, std::min(p.Y, wa.Bottom - s.cy));
  return p;
}

TPoint PlaceTracked(TPoint at, TSize s, UINT flags, const RECT* exclude) {
  TRect wa = WorkArea();
  TPoint p = at;
  if (flags & TPM_RIGHTALIGN) p.X -= s.cx;
  else if (flags & TPM_CENTERALIGN) p.X -= s.cx / 2;
  if (flags & TPM_BOTTOMALIGN) p.Y -= s.cy;
  else if (flags & TPM_VCENTERALIGN) p.Y -= s.cy / 2;
  if (p.X + s.cx > wa.Right) p.X = at.X - s.cx;
  if (p.Y + s.cy > wa.Bottom) p.Y = at.Y - s.cy;
  p = FitInto(p, s, wa);
  TRect menu = Bounds(p.X, p.Y, s.cx, s.cy);
  if (exclude && MenuOverlaps(menu, *exclude)) {
    if (flags & TPM_VERTICAL)
      p.Y = exclude->Bottom + s.cy <= wa.Bottom ? exclude->Bottom : exclude->Top - s.cy;
    else
      p.X = exclude->Right + s.cx <= wa.Right ? exclude->Right : exclude->Left - s.cx;
  }
  return p;
}

TPoint PlaceBelow(const TRect& anchor, TSize s) {
  TRect wa = WorkArea();
  TPoint p{anchor.Left, anchor.Bottom};
  if (p.Y + s.cy > wa.Bottom && anchor.Top - s.cy >= wa.Top) p.Y = anchor.Top - s.cy;
  return FitInto(p, s, wa);
}

TPoint PlaceBeside(const TRect& parent, const TRect& item, TSize s) {
  TRect wa = WorkArea();
  TPoint p{parent.Right - kSubMenuOverlap, item.Top - kSubMenuOverlap};
  if (p.X + s.cx > wa.Right) p.X = parent.Left - s.cx + kSubMenuOverlap;
  return FitInto(p, s, wa);
}

// ------------------------------------------------------------------ the bar's geometry

// The frame border of a window: its client inset without edges and scroll bars.
int FrameBorder(const TWindowRec* w, const TRect& windowRect) {
  TRect inner = DefaultClientRect(w->Style & ~(WS_VSCROLL | WS_HSCROLL), w->ExStyle & ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE),
                                  windowRect);
  return inner.Left - windowRect.Left;
}

// The bar's screen rectangle: below the caption, inside the frame.
TRect BarArea(const TWindowRec* w) {
  TRect win = WindowScreenRect(w);
  int border = FrameBorder(w, win);
  TRect inner = DefaultClientRect(w->Style & ~(WS_VSCROLL | WS_HSCROLL), w->ExStyle & ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE), win);
  return {win.Left + border, inner.Top, win.Right - border, inner.Top + MenuBarHeight(w)};
}

HMENU BarMenu(const TWindowRec* w) {
  if (!w || w->IsChildWindow()) return nullptr;
  auto menu = reinterpret_cast<HMENU>(w->Id);
  TMenuRec* m = FindMenuRec(menu);
  return m ? menu : nullptr;
}

std::vector<TRect> BarItems(TWindowRec* w) {
  std::vector<TRect> items;
  TRect area = BarArea(w);
  LayoutBar(BarMenu(w), w->Handle, area.TopLeft(), area.Width(), items);
  return items;
}

// ------------------------------------------------------------------ tracker operations

void TMenuTracker::Repaint(size_t level) {
  if (level >= FLevels.size()) return;
  if (FLevels[level].Wnd) {
    InvalidateRect(FLevels[level].Wnd, nullptr, FALSE);
    UpdateWindow(FLevels[level].Wnd);
  } else if (TWindowRec* w = FindWindowRec(FOwner)) {
    DrawNonClientFrame(w);
  }
}

void TMenuTracker::Select(size_t level, int index) {
  if (level >= FLevels.size() || FLevels[level].Selected == index) return;
  FLevels[level].Selected = index;
  Repaint(level);
  if (!Notify()) return;
  TMenuItemRec* item = Item(level, index);
  if (!item) {
    SendMessage(FOwner, WM_MENUSELECT, MAKEWPARAM(0, kNoItem), 0);
    return;
  }
  UINT flags = (item->State & (MF_CHECKED | MF_DEFAULT)) | (item->IsDisabled() ? MF_GRAYED : 0) | MF_HILITE |
               (item->Type & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW));
  UINT id = item->Id;
  if (item->SubMenu) {
    flags |= MF_POPUP;
    id = static_cast<UINT>(index);
  }
  SendMessage(FOwner, WM_MENUSELECT, MAKEWPARAM(static_cast<WORD>(id), static_cast<WORD>(flags)),
              reinterpret_cast<LPARAM>(FLevels[level].Menu));
}

void TMenuTracker::CloseLevelsAbove(size_t level) {
  while (FLevels.size() > level + 1) {
    TLevel closing = FLevels.back();
    FLevels.pop_back();
    if (closing.Wnd) DestroyWindow(closing.Wnd);
    if (Notify()) SendMessage(FOwner, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(closing.Menu), 0);
  }
  Repaint(level);
}

bool TMenuTracker::OpenPopup(HMENU menu, const TRect& anchor, bool fromBar, int parentIndex, TPoint at, const RECT* exclude) {
  if (!FindMenuRec(menu)) return false;
  if (Notify()) SendMessage(FOwner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(static_cast<WORD>(parentIndex), 0));
  if (FDone || !FindMenuRec(menu)) return false;
  TPopupLayout layout = LayoutPopup(menu, FOwner);
  TPoint p = parentIndex < 0 ? PlaceTracked(at, layout.Size, FFlags, exclude)
             : fromBar       ? PlaceBelow(anchor, layout.Size)
                             : PlaceBeside(FLevels.back().Bounds, anchor, layout.Size);
  RegisterPopupClass();
  TLevel level;
  level.Menu = menu;
  level.Bounds = Bounds(p.X, p.Y, layout.Size.cx, layout.Size.cy);
  level.AccelLeft = layout.AccelLeft;
  for (TRect r : layout.Items) level.Items.push_back(Bounds(r.Left + p.X, r.Top + p.Y, r.Width(), r.Height()));
  level.Wnd = CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, POPUPMENU_CLASS, "", WS_POPUP, p.X, p.Y,
                             layout.Size.cx, layout.Size.cy, FOwner, nullptr, nullptr, nullptr);
  if (!level.Wnd) return false;
  FLevels.push_back(level);
  ShowWindow(level.Wnd, SW_SHOWNOACTIVATE);
  UpdateWindow(level.Wnd);
  return true;
}

bool TMenuTracker::OpenSubMenuOf(size_t level, bool selectFirst) {
  TMenuItemRec* item = Item(level, FLevels[level].Selected);
  if (!item || !item->SubMenu || item->IsDisabled()) return false;
  CloseLevelsAbove(level);
  TRect anchor = FLevels[level].Items[static_cast<size_t>(FLevels[level].Selected)];
  if (!OpenPopup(item->SubMenu, anchor, IsBar(level), FLevels[level].Selected, {}, nullptr)) return false;
  if (IsBar(level)) Repaint(level);
  if (selectFirst) Select(FLevels.size() - 1, Step(FLevels.size() - 1, -1, 1));
  return true;
}

int TMenuTracker::Step(size_t level, int from, int delta) const {
  TMenuRec* m = FindMenuRec(FLevels[level].Menu);
  if (!m || m->Items.empty()) return -1;
  int n = static_cast<int>(m->Items.size());
  int i = from;
  for (int tries = 0; tries < n; ++tries) {
    i = from < 0 && tries == 0 ? (delta > 0 ? 0 : n - 1) : ((i + delta) % n + n) % n;
    if (!m->Items[static_cast<size_t>(i)].IsSeparator()) return i;
  }
  return -1;
}

void TMenuTracker::Choose(size_t level, int index) {
  TMenuItemRec* item = Item(level, index);
  if (!item || item->IsSeparator() || item->IsDisabled() || item->SubMenu) return;
  FCommand = item->Id;
  FChosen = true;
  FDone = true;
}

// Enter on an item, or its letter: opens its sub-menu or chooses it.
void TMenuTracker::Activate(size_t level, int index) {
  Select(level, index);
  TMenuItemRec* item = Item(level, index);
  if (!item) return;
  if (item->SubMenu)
    OpenSubMenuOf(level, true);
  else
    Choose(level, index);
}

void TMenuTracker::MoveOnBar(int delta) {
  bool wasOpen = FLevels.size() > 1;
  CloseLevelsAbove(0);
  Select(0, Step(0, FLevels[0].Selected, delta));
  if (wasOpen) OpenSubMenuOf(0, true);
}

// ------------------------------------------------------------------ keyboard

void TMenuTracker::HandleKey(const MSG& m) {
  size_t deepest = FLevels.size() - 1;
  bool down = m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN;
  if (!down) {
    // Alt or F10 pressed and released within the menu leaves it; the release of the Alt that
    // entered it (Alt+letter) does not.
    if ((m.wParam == VK_MENU || m.wParam == VK_F10) && FLeaveKeyDown) FDone = true;
    return;
  }
  TLevel& level = FLevels[deepest];
  switch (m.wParam) {
    case VK_UP:
    case VK_DOWN:
      if (IsBar(deepest))
        OpenSubMenuOf(0, true);
      else
        Select(deepest, Step(deepest, level.Selected, m.wParam == VK_DOWN ? 1 : -1));
      return;
    case VK_HOME:
    case VK_END:
      if (!IsBar(deepest)) Select(deepest, Step(deepest, -1, m.wParam == VK_HOME ? 1 : -1));
      return;
    case VK_LEFT:
      if (deepest > 0 && !IsBar(deepest - 1))
        CloseLevelsAbove(deepest - 1);
      else if (FBarMode)
        MoveOnBar(-1);
      return;
    case VK_RIGHT:
      if (!IsBar(deepest) && OpenSubMenuOf(deepest, true)) return;
      if (FBarMode) MoveOnBar(1);
      return;
    case VK_RETURN:
      if (level.Selected >= 0) Activate(deepest, level.Selected);
      return;
    case VK_ESCAPE:
      if (deepest == 0)
        FDone = true;
      else
        CloseLevelsAbove(deepest - 1);
      return;
    case VK_MENU:
    case VK_F10: FLeaveKeyDown = true; return;
    default: TranslateMessage(&m); return;
  }
}

void TMenuTracker::HandleChar(BYTE ch) {
  size_t deepest = FLevels.size() - 1;
  TMenuRec* m = FindMenuRec(FLevels[deepest].Menu);
  if (!m || ch < ' ') return;
  char key = AnsiUpperCase(String(1, static_cast<char>(ch)))[0];
  std::vector<int> matches;
  for (size_t i = 0; i < m->Items.size(); ++i)
    if (MnemonicOf(m->Items[i].Text) == key) matches.push_back(static_cast<int>(i));
  if (matches.size() == 1) return Activate(deepest, matches.front());
  if (matches.size() > 1) {
    auto next = std::upper_bound(matches.begin(), matches.end(), FLevels[deepest].Selected);
    return Select(deepest, next == matches.end() ? matches.front() : *next);
  }
  LRESULT answer = SendMessage(FOwner, WM_MENUCHAR, MAKEWPARAM(ch, IsBar(deepest) ? 0 : MF_POPUP),
                               reinterpret_cast<LPARAM>(m->Handle));
  int index = LOWORD(static_cast<uintptr_t>(answer));
  switch (HIWORD(static_cast<uintptr_t>(answer))) {
    case MNC_EXECUTE: return Activate(deepest, index);
    case MNC_SELECT: return Select(deepest, index);
    case MNC_CLOSE: FDone = true; return;
    default: MessageBeep(0); return;
  }
}

// ------------------------------------------------------------------ mouse

bool TMenuTracker::HitTest(TPoint screen, size_t& level, int& index) const {
  for (size_t l = FLevels.size(); l-- > 0;) {
    const TLevel& lv = FLevels[l];
    bool inside = lv.Wnd ? lv.Bounds.Contains(screen) : false;
    for (size_t i = 0; i < lv.Items.size(); ++i)
      if (lv.Items[i].Contains(screen)) {
        level = l;
        index = static_cast<int>(i);
        return true;
      }
    if (inside) {
      level = l;
      index = -1;
      return true;
    }
  }
  return false;
}

bool IsButtonDownMsg(UINT m) {
  return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN || m == WM_LBUTTONDBLCLK ||
         m == WM_RBUTTONDBLCLK || m == WM_MBUTTONDBLCLK || m == WM_NCLBUTTONDOWN || m == WM_NCRBUTTONDOWN ||
         m == WM_NCMBUTTONDOWN || m == WM_NCLBUTTONDBLCLK || m == WM_NCRBUTTONDBLCLK;
}

bool IsButtonUpMsg(UINT m) {
  return m == WM_LBUTTONUP || m == WM_RBUTTONUP || m == WM_MBUTTONUP || m == WM_NCLBUTTONUP || m == WM_NCRBUTTONUP ||
         m == WM_NCMBUTTONUP;
}

void TMenuTracker::HandleMouse(const MSG& m) {
  size_t level = 0;
  int index = -1;
  bool hit = HitTest(m.pt, level, index);
  if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE) {
    if (!hit || index < 0) return;
    if (IsBar(level)) {
      if (index == FLevels[0].Selected) return;
      bool open = FLevels.size() > 1;
      CloseLevelsAbove(0);
      Select(0, index);
      if (open) OpenSubMenuOf(0, false);
      return;
    }
    FMouseUsed = true;
    if (FLevels[level].Selected == index && FLevels.size() > level + 1) return;
    CloseLevelsAbove(level);
    Select(level, index);
    OpenSubMenuOf(level, false);
    return;
  }
  if (IsButtonDownMsg(m.message)) {
    if (!hit) {
      FDone = true;
      return;
    }
    if (IsBar(level) && index >= 0) {
      if (FLevels[0].Selected == index && FLevels.size() > 1) {
        FDone = true;
        return;
      }
      CloseLevelsAbove(0);
      Select(0, index);
      if (!OpenSubMenuOf(0, false)) FMouseUsed = true;
      return;
    }
    FMouseUsed = true;
    if (index >= 0 && FLevels[level].Selected != index) {
      CloseLevelsAbove(level);
      Select(level, index);
      OpenSubMenuOf(level, false);
    }
    return;
  }
  if (IsButtonUpMsg(m.message)) {
    bool rightButton = m.message == WM_RBUTTONUP || m.message == WM_NCRBUTTONUP;
    if (!hit || index < 0 || !FMouseUsed) return;
    if (rightButton && !FBarMode && !(FFlags & TPM_RIGHTBUTTON)) return;
    Choose(level, index);
  }
}

// ------------------------------------------------------------------ the loop

bool IsMouseMsg(UINT m) {
  return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK);
}

void TMenuTracker::HandleMessage(MSG& m) {
  if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN || m.message == WM_KEYUP || m.message == WM_SYSKEYUP)
    HandleKey(m);
  else if (m.message == WM_CHAR || m.message == WM_SYSCHAR)
    HandleChar(static_cast<BYTE>(m.wParam));
  else if (IsMouseMsg(m.message))
    HandleMouse(m);
  else
    DispatchMessage(&m);
}

void TMenuTracker::Loop() {
  while (!FDone) {
    MSG m;
    if (!PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      WaitMessage();
      continue;
    }
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    HandleMessage(m);
    bool ownerGone = !IsWindow(FOwner);
    bool captureLost = GetCapture() != FCaptureWnd;
    if (ownerGone || captureLost) break;
  }
}

void TMenuTracker::Finish() {
  if (!FLevels.empty()) CloseLevelsAbove(0);
  if (!FLevels.empty() && FLevels[0].Wnd) {
    DestroyWindow(FLevels[0].Wnd);
    if (Notify() && IsWindow(FOwner)) SendMessage(FOwner, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(FLevels[0].Menu), 0);
  }
  FLevels.clear();
  if (GetCapture() == FCaptureWnd && FCaptureWnd) ReleaseCapture();
  if (!IsWindow(FOwner)) return;
  if (TWindowRec* w = FindWindowRec(FOwner)) DrawNonClientFrame(w);
  if (Notify()) SendMessage(FOwner, WM_MENUSELECT, MAKEWPARAM(0, kNoItem), 0);
  SendMessage(FOwner, WM_EXITMENULOOP, FBarMode ? FALSE : TRUE, 0);
  if (FChosen && !(FFlags & TPM_RETURNCMD)) PostMessage(FOwner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(FCommand), 0), 0);
}

void TMenuTracker::EnterBar(HMENU bar) {
  TLevel level;
  level.Menu = bar;
  level.Items = BarItems(FindWindowRec(FOwner));
  FLevels.push_back(level);
}

// Runs the menu; the chosen command id or 0.
UINT TMenuTracker::Run(HMENU menu, TPoint at, const RECT* exclude, int openBarItem, char barMnemonic) {
  struct TGuard {
    TMenuTracker* T;
    explicit TGuard(TMenuTracker* t) : T(t) { Trackers().push_back(t); }
    ~TGuard() {
      T->Finish();
      Trackers().erase(std::find(Trackers().begin(), Trackers().end(), T));
    }
  } guard(this);
  SendMessage(FOwner, WM_ENTERMENULOOP, FBarMode ? FALSE : TRUE, 0);
  if (Notify()) SendMessage(FOwner, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
  if (FBarMode) {
    EnterBar(menu);
    FCaptureWnd = FOwner;
    SetCapture(FOwner);
    if (barMnemonic) {
      HandleChar(static_cast<BYTE>(barMnemonic));
      if (FLevels.size() == 1 && FLevels[0].Selected < 0) FDone = true;  // no item has the letter
    } else if (openBarItem >= 0) {
      Select(0, openBarItem);
      if (!OpenSubMenuOf(0, false)) FMouseUsed = true;
    } else {
      Select(0, Step(0, -1, 1));
    }
  } else {
    if (!OpenPopup(menu, {}, false, -1, at, exclude)) return 0;
    FShown = true;
    FCaptureWnd = FLevels[0].Wnd;
    SetCapture(FCaptureWnd);
  }
  if (!FDone && !FLevels.empty()) Loop();
  return FChosen ? FCommand : 0;
}

void StartBarTracking(TWindowRec* w, int openItem, char mnemonic) {
  HMENU bar = BarMenu(w);
  if (!bar || GetMenuItemCount(bar) <= 0 || ActiveTracker()) return;
  TMenuTracker tracker(w->Handle, 0, true);
  tracker.Run(bar, {}, nullptr, openItem, mnemonic);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The bar in the default window procedure

int MenuBarHeight(const TWindowRec* w) {
  HMENU bar = BarMenu(w);
  if (!bar) return 0;
  int width = std::max(1, w->Rect.Width() - 2 * FrameBorder(w, w->Rect));
  std::vector<TRect> items;
  return LayoutBar(bar, w->Handle, {0, 0}, width, items);
}

int PaintMenuBar(TWindowRec* w, const TRegionData& clip, const TRect& inside) {
  HMENU bar = BarMenu(w);
  TWindowRec* top = TopLevelOf(w);
  if (!bar || !top->Surface) return 0;
  std::vector<TRect> items;
  int height = LayoutBar(bar, w->Handle, inside.TopLeft(), inside.Width(), items);
  HDC dc = CreateSurfaceDC(top->Surface, {0, 0}, clip);
  if (!dc) return height;
  RECT area{inside.Left, inside.Top, inside.Right, inside.Top + height};
  FillRect(dc, &area, GetSysColorBrush(COLOR_MENU));
  TMenuRec* m = FindMenuRec(bar);
  TMenuTracker* t = ActiveTracker();
  bool tracked = t && t->BarMode() && t->Owner() == w->Handle && !t->Levels().empty();
  for (size_t i = 0; i < items.size(); ++i) {
    TItemLook look;
    look.Bar = true;
    look.Selected = (tracked && t->Levels()[0].Selected == static_cast<int>(i)) || (m->Items[i].State & MF_HILITE);
    look.Pushed = look.Selected && t->Levels().size() > 1;
    DrawMenuItem(dc, w->Handle, bar, m->Items[i], items[i], look);
  }
  DeleteSurfaceDC(dc);
  return height;
}

bool MenuBarDefProc(TWindowRec* w, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  HWND root = TopLevelOf(w)->Handle;
  switch (msg) {
    case WM_NCCALCSIZE: {
      int height = MenuBarHeight(w);
      if (!height || !lParam) return false;
      auto* r = reinterpret_cast<RECT*>(lParam);
      *r = DefaultClientRect(w->Style, w->ExStyle, *r);
      r->Top = std::min(r->Top + height, r->Bottom);
      result = 0;
      return true;
    }
    case WM_NCHITTEST: {
      if (!BarMenu(w)) return false;
      TPoint p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (!BarArea(w).Contains(p)) return false;
      result = HTMENU;
      return true;
    }
    case WM_NCLBUTTONDOWN: {
      if (wParam != HTMENU) return false;
      TPoint p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      std::vector<TRect> items = BarItems(w);
      for (size_t i = 0; i < items.size(); ++i)
        if (items[i].Contains(p)) StartBarTracking(w, static_cast<int>(i), 0);
      result = 0;
      return true;
    }
    case WM_SYSKEYUP:
      // Alt or F10 alone enters the bar (Shift+F10 asks for a context menu instead).
      if (wParam != VK_MENU && !(wParam == VK_F10 && !(GetKeyState(VK_SHIFT) & 0x8000))) return false;
      SendMessage(root, WM_SYSCOMMAND, SC_KEYMENU, 0);
      result = 0;
      return true;
    case WM_SYSCHAR:
      // Alt+Space belongs to the window menu, which our windows do not have.
      if (wParam <= ' ' || !(lParam & KF_ALTDOWN_BIT)) return false;
      SendMessage(root, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(wParam));
      result = 0;
      return true;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != SC_KEYMENU) return false;
      if (BarMenu(w))
        StartBarTracking(w, -1, static_cast<char>(lParam));
      else if (lParam)
        MessageBeep(0);
      result = 0;
      return true;
    case WM_NCDESTROY:
      if (HMENU bar = BarMenu(w)) DestroyMenu(bar);
      return false;
    default: return false;
  }
}

// ---------------------------------------------------------------------------------------------
// Bars and pop-ups

BOOL SetMenu(HWND wnd, HMENU menu) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || w->IsChildWindow() || (menu && !FindMenuRec(menu))) return FALSE;
  w->Id = reinterpret_cast<LONG_PTR>(menu);
  SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return TRUE;
}

HMENU GetMenu(HWND wnd) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w) return nullptr;
  return w->IsChildWindow() ? reinterpret_cast<HMENU>(w->Id) : BarMenu(w);
}

BOOL DrawMenuBar(HWND wnd) {
  TWindowRec* w = FindWindowRec(wnd);
  if (!w || !BarMenu(w)) return FALSE;
  SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  if ((w = FindWindowRec(wnd))) DrawNonClientFrame(w);
  return TRUE;
}

int GetMenuBarHeight(HWND wnd) {
  TWindowRec* w = FindWindowRec(wnd);
  return w ? MenuBarHeight(w) : 0;
}

BOOL GetMenuItemRect(HWND wnd, HMENU menu, UINT pos, LPRECT rect) {
  if (!rect) return FALSE;
  if (wnd) {
    TWindowRec* w = FindWindowRec(wnd);
    if (!w || BarMenu(w) != menu) return FALSE;
    std::vector<TRect> items = BarItems(w);
    if (pos >= items.size()) return FALSE;
    *rect = items[pos];
    return TRUE;
  }
  for (TMenuTracker* t : Trackers())
    for (const TLevel& l : t->Levels())
      if (l.Menu == menu && l.Wnd && pos < l.Items.size()) {
        *rect = l.Items[pos];
        return TRUE;
      }
  return FALSE;
}

int MenuItemFromPoint(HWND wnd, HMENU menu, POINT screen) {
  TMenuRec* m = FindMenuRec(menu);
  if (!m) return -1;
  for (UINT i = 0; i < m->Items.size(); ++i) {
    RECT r;
    if (GetMenuItemRect(wnd, menu, i, &r) && r.Contains(screen)) return static_cast<int>(i);
  }
  return -1;
}

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params) {
  if (!FindMenuRec(menu) || !IsWindow(owner)) return FALSE;
  if (ActiveTracker() && !(flags & TPM_RECURSE)) return FALSE;
  TMenuTracker tracker(owner, flags, false);
  const RECT* exclude = params && params->cbSize >= sizeof(TPMPARAMS) ? &params->rcExclude : nullptr;
  UINT command = tracker.Run(menu, {x, y}, exclude, -1, 0);
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(command);
  return tracker.Shown() ? TRUE : FALSE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
  return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}

BOOL EndMenu() {
  TMenuTracker* t = ActiveTracker();
  if (!t) return FALSE;
  t->Cancel();
  PostMessage(t->Owner(), WM_NULL, 0, 0);  // wakes the menu's loop
  return TRUE;
}

HWND GetMenuOwner() {
  TMenuTracker* t = ActiveTracker();
  return t ? t->Owner() : nullptr;
}
