// The "EDIT" window class: single-line and multi-line text editing with caret and selection by
// mouse and keys, scrolling that keeps the caret in view, word wrap, one level of undo, the
// clipboard, and the EM_ messages and EN_ notifications of the platform.
#include <algorithm>
#include <memory>

#include "platform/os/Clipboard.h"
#include "platform/os/WinMenus.h"
#include "platform/os/WinTextControls.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr char kStateProp[] = "QJ.EditState";
constexpr UINT_PTR kDragTimer = 0xE001;
constexpr UINT kDragInterval = 100;
constexpr int kDefaultLimit = 32767;
constexpr int kMaxLimit = 0x7FFFFFFE;
constexpr int kDefaultTabUnits = 32;  // dialog units; one unit is a quarter of the average width

struct TLine {
  int Start = 0;
  int Length = 0;  // characters shown, without the line break
  int Next = 0;    // start of the following line
};

struct TEdit {
  HWND Wnd = nullptr;
  String Text;
  int Anchor = 0, Caret = 0;
  HFONT Font = nullptr;
  int LeftMargin = 1, RightMargin = 1;
  int Limit = kDefaultLimit;
  char Password = 0;
  bool Modified = false;
  String UndoText;
  int UndoAnchor = 0, UndoCaret = 0;
  bool CanUndo = false;
  bool Typing = false;  // typed characters in a row make one undo step
  int ScrollX = 0;
  int FirstLine = 0;
  int GoalX = -1;  // the column that up and down keep
  std::vector<TLine> Lines;
  int MaxWidth = 0;
  bool Focused = false;
  bool Selecting = false;
  bool HasRect = false;
  TRect Rect;  // the formatting rectangle set by EM_SETRECT
  int TabUnits = kDefaultTabUnits;
  int LineHeight = 16, AveChar = 7;

  DWORD Style() const { return static_cast<DWORD>(GetWindowLong(Wnd, GWL_STYLE)); }
  bool Multi() const { return (Style() & ES_MULTILINE) != 0; }
  bool ReadOnly() const { return (Style() & ES_READONLY) != 0; }
  int Len() const { return static_cast<int>(Text.size()); }
  int SelMin() const { return std::min(Anchor, Caret); }
  int SelMax() const { return std::max(Anchor, Caret); }
  bool Wraps() const { return Multi() && !(Style() & (ES_AUTOHSCROLL | WS_HSCROLL)); }
  int TabWidth() const { return Multi() ? std::max(1, TabUnits * AveChar / 4) : 0; }
};

TEdit* EditOf(HWND wnd) { return static_cast<TEdit*>(GetProp(wnd, kStateProp)); }

// ---------------------------------------------------------------------------------------------
// Geometry and layout

TRect FormatRect(const TEdit& e) {
  if (e.HasRect) return e.Rect;
  RECT c;
  GetClientRect(e.Wnd, &c);
  return {c.Left + e.LeftMargin, c.Top, std::max(c.Left + e.LeftMargin, c.Right - e.RightMargin), c.Bottom};
}

int VisibleLines(const TEdit& e) { return std::max(1, FormatRect(e).Height() / std::max(1, e.LineHeight)); }

// What the control shows for a stretch of text: the password character hides every character.
String Shown(const TEdit& e, int start, int count) {
  if (e.Password && !e.Multi()) return String(static_cast<size_t>(count), e.Password);
  return e.Text.substr(static_cast<size_t>(start), static_cast<size_t>(count));
}

std::vector<int> LineOffsets(const TEdit& e, HDC dc, const TLine& line) {
  String s = Shown(e, line.Start, line.Length);
  return CharOffsets(dc, s.data(), line.Length, e.TabWidth());
}

int BreakLength(const String& t, int at) {
  if (at >= static_cast<int>(t.size())) return 0;
  return t[size_t(at)] == '\r' && at + 1 < static_cast<int>(t.size()) && t[size_t(at) + 1] == '\n' ? 2 : 1;
}


// Splits one paragraph [from, to) into lines no wider than `width`, breaking after spaces and
// inside a word only when it alone is too wide.
void WrapParagraph(TEdit& e, HDC dc, int from, int to, int next, int width) {
  TLine whole{from, to - from, next};
  std::vector<int> x = LineOffsets(e, dc, whole);
  int len = to - from, s = 0;
  for (;;) {
    int k = s;
    while (k < len && x[size_t(k) + 1] - x[size_t(s)] <= width) ++k;
    int cut = k;
    if (k < len) {
      if (IsSpaceOrTab(e.Text[size_t(from + k)])) {
        while (cut < len && IsSpaceOrTab(e.Text[size_t(from + cut)])) ++cut;
      } else {
        int b = k;
        while (b > s && !IsSpaceOrTab(e.Text[size_t(from + b - 1)])) --b;
        cut = b > s ? b : std::max(k, s + 1);
      }
    }
    if (cut >= len) {
      e.Lines.push_back({from + s, len - s, next});
      e.MaxWidth = std::max(e.MaxWidth, x[size_t(len)] - x[size_t(s)]);
      return;
    }
    e.Lines.push_back({from + s, cut - s, from + cut});
    e.MaxWidth = std::max(e.MaxWidth, x[size_t(cut)] - x[size_t(s)]);
    s = cut;
  }
}

void Layout(TEdit& e) {
  e.Lines.clear();
  e.MaxWidth = 0;
  TControlDC dc(e.Wnd, e.Font);
  if (!e.Multi()) {
    TLine line{0, e.Len(), e.Len()};
    e.Lines.push_back(line);
    e.MaxWidth = LineOffsets(e, dc.Handle(), line).back();
    return;
  }
  int width = std::max(1, FormatRect(e).Width());
  int p = 0;
  for (;;) {
    int end = p;
    while (end < e.Len() && e.Text[size_t(end)] != '\r' && e.Text[size_t(end)] != '\n') ++end;
    int brk = BreakLength(e.Text, end);
    if (e.Wraps()) {
      WrapParagraph(e, dc.Handle(), p, end, end + brk, width);
    } else {
      TLine line{p, end - p, end + brk};
      e.Lines.push_back(line);
      e.MaxWidth = std::max(e.MaxWidth, LineOffsets(e, dc.Handle(), line).back());
    }
    if (!brk) break;
    p = end + brk;
  }
}

int LineOf(const TEdit& e, int index) {
  auto it = std::upper_bound(e.Lines.begin(), e.Lines.end(), index, [](int i, const TLine& l) { return i < l.Start; });
  return std::max(0, static_cast<int>(it - e.Lines.begin()) - 1);
}

// Where a line's first character starts, in client coordinates, for the line's width.
int LineOriginX(const TEdit& e, int lineWidth) {
  TRect r = FormatRect(e);
  int room = r.Width() - lineWidth - 1;
  int shift = 0;
  if (room > 0 && (e.Style() & ES_CENTER)) shift = room / 2;
  else if (room > 0 && (e.Style() & ES_RIGHT)) shift = room;
  return r.Left + shift - e.ScrollX;
}

TPoint PosOf(const TEdit& e, int index) {
  int li = LineOf(e, index);
  const TLine& line = e.Lines[size_t(li)];
  TControlDC dc(e.Wnd, e.Font);
  std::vector<int> x = LineOffsets(e, dc.Handle(), line);
  int at = std::clamp(index - line.Start, 0, line.Length);
  return {LineOriginX(e, x.back()) + x[size_t(at)], FormatRect(e).Top + (li - e.FirstLine) * e.LineHeight};
}

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// The character boundary nearest to a client point, and its line.
int CharAt(const TEdit& e, TPoint pt, int* lineOut = nullptr) {
  int li = e.FirstLine + FloorDiv(pt.Y - FormatRect(e).Top, std::max(1, e.LineHeight));
  li = std::clamp(li, 0, static_cast<int>(e.Lines.size()) - 1);
  if (lineOut) *lineOut = li;
  const TLine& line = e.Lines[size_t(li)];
  TControlDC dc(e.Wnd, e.Font);
  std::vector<int> x = LineOffsets(e, dc.Handle(), line);
  int rel = pt.X - LineOriginX(e, x.back());
  int i = 0;
  while (i < line.Length && (x[size_t(i)] + x[size_t(i) + 1]) / 2 < rel) ++i;
  return line.Start + i;
}

// ---------------------------------------------------------------------------------------------
// Caret, scrolling and scroll bars

void UpdateScrollBars(TEdit& e) {
  if (!e.Multi()) return;
  DWORD style = e.Style();
  if (style & WS_VSCROLL) {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    si.nMax = static_cast<int>(e.Lines.size()) - 1;
    si.nPage = static_cast<UINT>(VisibleLines(e));
    si.nPos = e.FirstLine;
    SetScrollInfo(e.Wnd, SB_VERT, &si, TRUE);
  }
  if (style & WS_HSCROLL) {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    si.nMax = e.MaxWidth;
    si.nPage = static_cast<UINT>(FormatRect(e).Width());
    si.nPos = e.ScrollX;
    SetScrollInfo(e.Wnd, SB_HORZ, &si, TRUE);
  }
}

void PlaceCaret(TEdit& e) {
  if (!e.Focused) return;
  TPoint p = PosOf(e, e.Caret);
  SetCaretPos(p.X, p.Y);
}

int MaxFirstLine(const TEdit& e) { return std::max(0, static_cast<int>(e.Lines.size()) - VisibleLines(e)); }

int MaxScrollX(const TEdit& e) { return std::max(0, e.MaxWidth + 1 - FormatRect(e).Width()); }

void Redraw(TEdit& e) {
  UpdateScrollBars(e);
  InvalidateRect(e.Wnd, nullptr, FALSE);
  PlaceCaret(e);
}

// Scrolls so that the caret shows; horizontal steps are a quarter of the width.
void ScrollToCaret(TEdit& e) {
  int li = LineOf(e, e.Caret);
  if (e.Multi()) {
    if (li < e.FirstLine) e.FirstLine = li;
    if (li >= e.FirstLine + VisibleLines(e)) e.FirstLine = li - VisibleLines(e) + 1;
  }
  int width = FormatRect(e).Width();
  int x = PosOf(e, e.Caret).X + e.ScrollX - FormatRect(e).Left;
  if (x - e.ScrollX < 0) e.ScrollX = std::max(0, x - width / 4);
  else if (x - e.ScrollX >= width) e.ScrollX = x - width + 1 + width / 4;
  e.ScrollX = std::clamp(e.ScrollX, 0, std::max(MaxScrollX(e), std::min(e.ScrollX, x)));
  if (e.Wraps()) e.ScrollX = 0;
}

// Selected text becomes the primary selection, except a password's.
void ExportSelection(const TEdit& e) {
  if (e.Password || e.Anchor == e.Caret) return;
  SetPrimarySelectionText(e.Text.substr(size_t(e.SelMin()), size_t(e.SelMax() - e.SelMin())));
}

void SetSelection(TEdit& e, int anchor, int caret) {
  int oldMin = e.SelMin(), oldMax = e.SelMax();
  e.Anchor = std::clamp(anchor, 0, e.Len());
  e.Caret = std::clamp(caret, 0, e.Len());
  e.Typing = false;
  ScrollToCaret(e);
  Redraw(e);
  if (e.SelMin() != oldMin || e.SelMax() != oldMax) ExportSelection(e);
}

bool ScrollLines(TEdit& e, int lines) {
  int first = std::clamp(e.FirstLine + lines, 0, MaxFirstLine(e));
  if (first == e.FirstLine) return false;
  e.FirstLine = first;
  Redraw(e);
  return true;
}

bool ScrollPixels(TEdit& e, int dx) {
  int x = std::clamp(e.ScrollX + dx, 0, MaxScrollX(e));
  if (x == e.ScrollX || e.Wraps()) return false;
  e.ScrollX = x;
  Redraw(e);
  return true;
}

// ---------------------------------------------------------------------------------------------
// Changing the text

String ApplyCase(const TEdit& e, String s) {
  if (e.Style() & ES_UPPERCASE) return AnsiUpperCase(s);
  if (e.Style() & ES_LOWERCASE) return AnsiLowerCase(s);
  return s;
}

// An edit takes no more text than it can show when it may not scroll that way: a single line
// without ES_AUTOHSCROLL stops at its width, many lines without ES_AUTOVSCROLL at its height.
bool Overflows(TEdit& e) {
  DWORD style = e.Style();
  if (e.Multi()) {
    if (style & (ES_AUTOVSCROLL | WS_VSCROLL)) return false;
    Layout(e);
    return static_cast<int>(e.Lines.size()) > VisibleLines(e);
  }
  if (style & ES_AUTOHSCROLL) return false;
  TControlDC dc(e.Wnd, e.Font);
  String s = Shown(e, 0, e.Len());
  return CharOffsets(dc.Handle(), s.data(), e.Len(), 0).back() > FormatRect(e).Width() - 1;
}

// Puts as much of `text` in place of [from, to) of `before` as the edit can show; the length used.
size_t InsertWhatFits(TEdit& e, const String& before, int from, int to, const String& text) {
  auto tryLength = [&](size_t n) {
    e.Text = before;
    e.Text.replace(size_t(from), size_t(to - from), text, 0, n);
    return !Overflows(e);
  };
  if (tryLength(text.size())) return text.size();
  size_t lo = 0, hi = text.size() - 1;
  while (lo < hi) {
    size_t mid = (lo + hi + 1) / 2;
    if (tryLength(mid)) lo = mid;
    else hi = mid - 1;
  }
  tryLength(lo);
  return lo;
}

void FinishChange(TEdit& e) {
  e.Modified = true;
  Layout(e);
  ScrollToCaret(e);
  Redraw(e);
  HWND wnd = e.Wnd;
  NotifyParent(wnd, EN_UPDATE);
  if (IsWindow(wnd)) NotifyParent(wnd, EN_CHANGE);
}

// Replaces the selection with text as input does: case rules, the single line, the limit and the
// visible width apply. False when nothing changed.
bool ReplaceSelection(TEdit& e, String text, bool undoable, bool typing = false) {
  text = ApplyCase(e, text);
  if (!e.Multi()) {
    size_t brk = text.find_first_of("\r\n");
    if (brk != String::npos) text.resize(brk);
  }
  int from = e.SelMin(), to = e.SelMax();
  int room = e.Limit - (e.Len() - (to - from));
  bool truncated = static_cast<int>(text.size()) > std::max(room, 0);
  if (truncated) text.resize(static_cast<size_t>(std::max(room, 0)));
  if (text.empty() && from == to) {
    if (truncated) {
      MessageBeep(0);
      NotifyParent(e.Wnd, EN_MAXTEXT);
    }
    return false;
  }
  bool continueTyping = typing && e.Typing && from == to;
  String before = e.Text;
  int beforeAnchor = e.Anchor, beforeCaret = e.Caret;
  size_t fits = InsertWhatFits(e, before, from, to, text);
  truncated |= fits < text.size();
  text.resize(fits);
  if (text.empty() && from == to) {
    e.Text = before;
    Layout(e);
    MessageBeep(0);
    NotifyParent(e.Wnd, EN_MAXTEXT);
    return false;
  }
  if (undoable && !continueTyping) {
    e.UndoText = before;
    e.UndoAnchor = beforeAnchor;
    e.UndoCaret = beforeCaret;
    e.CanUndo = true;
  }
  e.Anchor = e.Caret = from + static_cast<int>(text.size());
  HWND wnd = e.Wnd;
  FinishChange(e);
  if (!IsWindow(wnd)) return true;
  e.Typing = typing;
  if (truncated) NotifyParent(wnd, EN_MAXTEXT);
  return true;
}

void DeleteRange(TEdit& e, int from, int to) {
  if (from == to) return;
  e.Anchor = from;
  e.Caret = to;
  ReplaceSelection(e, String(), true);
}

bool Undo(TEdit& e) {
  if (!e.CanUndo) return false;
  std::swap(e.Text, e.UndoText);
  int anchor = e.UndoAnchor, caret = e.UndoCaret;
  e.UndoAnchor = e.Anchor;
  e.UndoCaret = e.Caret;
  e.Anchor = std::clamp(anchor, 0, e.Len());
  e.Caret = std::clamp(caret, 0, e.Len());
  e.Typing = false;
  FinishChange(e);
  return true;
}

void SetText(TEdit& e, const char* text) {
  e.Text = text ? text : "";
  e.Anchor = e.Caret = 0;
  e.ScrollX = 0;
  e.FirstLine = 0;
  e.CanUndo = false;
  e.Typing = false;
  e.UndoText.clear();
  FinishChange(e);
  if (IsWindow(e.Wnd)) e.Modified = false;
}

bool Copy(TEdit& e) {
  if (e.Password || e.SelMin() == e.SelMax()) return false;
  return SetClipboardText(e.Wnd, e.Text.substr(size_t(e.SelMin()), size_t(e.SelMax() - e.SelMin()))) != FALSE;
}

void Cut(TEdit& e) {
  if (e.ReadOnly() || !Copy(e)) return;
  ReplaceSelection(e, String(), true);
}

void Paste(TEdit& e) {
  if (e.ReadOnly()) return;
  String text = GetClipboardText(e.Wnd);
  if (!text.empty()) ReplaceSelection(e, text, true);
}

// A middle click pastes the primary selection where it points.
void PastePrimary(TEdit& e, TPoint pt) {
  HWND wnd = e.Wnd;
  if (GetFocus() != wnd) SetFocus(wnd);
  if (!IsWindow(wnd) || e.ReadOnly()) return;
  String text = GetPrimarySelectionText();
  if (text.empty()) return;
  int pos = CharAt(e, pt);
  e.GoalX = -1;
  e.Anchor = e.Caret = pos;
  ReplaceSelection(e, text, true);
}

void Clear(TEdit& e) {
  if (!e.ReadOnly() && e.SelMin() != e.SelMax()) ReplaceSelection(e, String(), true);
}

// ---------------------------------------------------------------------------------------------
// Keys and characters

bool IsDelimiter(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

int WordLeft(const TEdit& e, int pos) {
  while (pos > 0 && IsDelimiter(e.Text[size_t(pos) - 1])) --pos;
  while (pos > 0 && !IsDelimiter(e.Text[size_t(pos) - 1])) --pos;
  return pos;
}

int WordRight(const TEdit& e, int pos) {
  while (pos < e.Len() && !IsDelimiter(e.Text[size_t(pos)])) ++pos;
  while (pos < e.Len() && IsDelimiter(e.Text[size_t(pos)])) ++pos;
  return pos;
}

// One character left or right; a CR LF pair counts as one.
int CharLeft(const TEdit& e, int pos) {
  if (pos >= 2 && e.Text[size_t(pos) - 2] == '\r' && e.Text[size_t(pos) - 1] == '\n') return pos - 2;
  return std::max(0, pos - 1);
}

int CharRight(const TEdit& e, int pos) {
  if (pos >= e.Len()) return pos;
  char c = e.Text[size_t(pos)];
  return pos + (c == '\r' || c == '\n' ? BreakLength(e.Text, pos) : 1);
}

// The caret on another line at the remembered column.
int VerticalMove(TEdit& e, int lines) {
  TPoint p = PosOf(e, e.Caret);
  if (e.GoalX < 0) e.GoalX = p.X;
  int li = std::clamp(LineOf(e, e.Caret) + lines, 0, static_cast<int>(e.Lines.size()) - 1);
  return CharAt(e, {e.GoalX, FormatRect(e).Top + (li - e.FirstLine) * e.LineHeight});
}

void MoveCaret(TEdit& e, int pos, bool extend, bool keepGoal = false) {
  if (!keepGoal) e.GoalX = -1;
  SetSelection(e, extend ? e.Anchor : pos, pos);
}

void KeyDownMessage(TEdit& e, WPARAM vk) {
  bool shift = KeyDown(VK_SHIFT), ctrl = KeyDown(VK_CONTROL);
  const TLine& line = e.Lines[size_t(LineOf(e, e.Caret))];
  bool collapse = !shift && e.Anchor != e.Caret;
  switch (vk) {
    case VK_LEFT: MoveCaret(e, collapse ? e.SelMin() : ctrl ? WordLeft(e, e.Caret) : CharLeft(e, e.Caret), shift); break;
    case VK_RIGHT: MoveCaret(e, collapse ? e.SelMax() : ctrl ? WordRight(e, e.Caret) : CharRight(e, e.Caret), shift); break;
    case VK_UP:
      if (e.Multi()) MoveCaret(e, VerticalMove(e, -1), shift, true);
      else MoveCaret(e, CharLeft(e, e.Caret), shift);
      break;
    case VK_DOWN:
      if (e.Multi()) MoveCaret(e, VerticalMove(e, 1), shift, true);
      else MoveCaret(e, CharRight(e, e.Caret), shift);
      break;
    case VK_PRIOR:
    case VK_NEXT:
      if (e.Multi()) {
        int page = vk == VK_PRIOR ? -VisibleLines(e) : VisibleLines(e);
        int pos = VerticalMove(e, page);
        ScrollLines(e, page);
        MoveCaret(e, pos, shift, true);
      }
      break;
    case VK_HOME: MoveCaret(e, ctrl ? 0 : line.Start, shift); break;
    case VK_END: MoveCaret(e, ctrl ? e.Len() : line.Start + line.Length, shift); break;
    case VK_DELETE:
      if (shift) SendMessage(e.Wnd, WM_CUT, 0, 0);
      else if (e.ReadOnly()) break;
      else if (e.Anchor != e.Caret) Clear(e);
      else DeleteRange(e, e.Caret, ctrl ? WordRight(e, e.Caret) : CharRight(e, e.Caret));
      break;
    case VK_INSERT:
      if (shift) SendMessage(e.Wnd, WM_PASTE, 0, 0);
      else if (ctrl) SendMessage(e.Wnd, WM_COPY, 0, 0);
      break;
    default: break;
  }
}

void CharMessage(TEdit& e, char ch) {
  auto byte = static_cast<unsigned char>(ch);
  switch (byte) {
    // The clipboard keys go through the window's own messages, so that a subclassed edit sees
    // (and may refuse) them.
    case 0x01: SetSelection(e, 0, e.Len()); return;           // Ctrl+A
    case 0x03: SendMessage(e.Wnd, WM_COPY, 0, 0); return;    // Ctrl+C
    case 0x16: SendMessage(e.Wnd, WM_PASTE, 0, 0); return;   // Ctrl+V
    case 0x18: SendMessage(e.Wnd, WM_CUT, 0, 0); return;     // Ctrl+X
    case 0x1A: SendMessage(e.Wnd, WM_UNDO, 0, 0); return;    // Ctrl+Z
    default: break;
  }
  if (e.ReadOnly()) {
    if (byte >= 0x20 || byte == '\b') MessageBeep(0);
    return;
  }
  if (byte == '\b') {
    if (e.Anchor != e.Caret) Clear(e);
    else DeleteRange(e, CharLeft(e, e.Caret), e.Caret);
  } else if (byte == 0x7F) {
    DeleteRange(e, WordLeft(e, e.Caret), e.Caret);
  } else if ((byte == '\r' || byte == '\n') && e.Multi()) {
    // Enter, and Ctrl+Enter (a line feed), break the line.
    ReplaceSelection(e, "\r\n", true);
  } else if (byte == '\t' && e.Multi()) {
    ReplaceSelection(e, "\t", true, true);
  } else if (byte >= 0x20) {
    if ((e.Style() & ES_NUMBER) && (ch < '0' || ch > '9')) {
      MessageBeep(0);
      return;
    }
    ReplaceSelection(e, String(1, ch), true, true);
  }
}

// ---------------------------------------------------------------------------------------------
// Mouse

TPoint ClientPoint(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

void SelectWordAt(TEdit& e, int pos) {
  int from = pos, to = pos;
  while (from > 0 && !IsDelimiter(e.Text[size_t(from) - 1])) --from;
  while (to < e.Len() && !IsDelimiter(e.Text[size_t(to)])) ++to;
  SetSelection(e, from, to);
}

void ButtonDown(TEdit& e, TPoint pt, WPARAM keys) {
  HWND wnd = e.Wnd;
  if (GetFocus() != wnd) SetFocus(wnd);
  if (!IsWindow(wnd) || GetFocus() != wnd) return;
  int pos = CharAt(e, pt);
  e.GoalX = -1;
  SetSelection(e, (keys & MK_SHIFT) ? e.Anchor : pos, pos);
  e.Selecting = true;
  SetCapture(wnd);
  SetTimer(wnd, kDragTimer, kDragInterval, nullptr);
}

void DragTo(TEdit& e, TPoint pt) {
  if (!e.Selecting) return;
  // Above or below the text the caret moves one line a step (the timer repeats the step).
  TRect r = FormatRect(e);
  int bottom = r.Top + VisibleLines(e) * e.LineHeight;
  pt.Y = std::clamp(pt.Y, r.Top - 1, bottom);
  int pos = CharAt(e, pt);
  if (pos != e.Caret) SetSelection(e, e.Anchor, pos);
}

void EndDrag(TEdit& e) {
  e.Selecting = false;
  KillTimer(e.Wnd, kDragTimer);
  if (GetCapture() == e.Wnd) ReleaseCapture();
}

// ---------------------------------------------------------------------------------------------
// The standard context menu: its commands are the edit's own messages.

constexpr UINT kSelectAllCommand = EM_SETSEL;

HMENU BuildContextMenu(const TEdit& e) {
  bool hasSel = e.Anchor != e.Caret, writable = !e.ReadOnly(), hidden = e.Password != 0;
  bool all = e.SelMin() == 0 && e.SelMax() == e.Len();
  auto state = [](bool on) { return on ? MF_ENABLED : MF_GRAYED; };
  HMENU menu = CreatePopupMenu();
  AppendMenu(menu, MF_STRING | state(e.CanUndo && writable), WM_UNDO, "&Undo");
  AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenu(menu, MF_STRING | state(hasSel && writable && !hidden), WM_CUT, "Cu&t");
  AppendMenu(menu, MF_STRING | state(hasSel && !hidden), WM_COPY, "&Copy");
  AppendMenu(menu, MF_STRING | state(writable && IsClipboardFormatAvailable(CF_TEXT)), WM_PASTE, "&Paste");
  AppendMenu(menu, MF_STRING | state(hasSel && writable), WM_CLEAR, "&Delete");
  AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenu(menu, MF_STRING | state(!all && e.Len() > 0), kSelectAllCommand, "Select &All");
  return menu;
}

void ContextMenu(TEdit& e, LPARAM lParam) {
  HWND wnd = e.Wnd;
  if (GetFocus() != wnd) SetFocus(wnd);
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (lParam == -1) {
    TPoint caret = PosOf(e, e.Caret);
    at = {caret.X, caret.Y + e.LineHeight};
    ClientToScreen(wnd, &at);
  }
  HMENU menu = BuildContextMenu(e);
  UINT command = static_cast<UINT>(TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                                                  at.X, at.Y, 0, wnd, nullptr));
  DestroyMenu(menu);
  if (!command || !IsWindow(wnd)) return;
  if (command == kSelectAllCommand) SendMessage(wnd, EM_SETSEL, 0, -1);
  else SendMessage(wnd, command, 0, 0);
}

// ---------------------------------------------------------------------------------------------
// Painting

HBRUSH Background(const TEdit& e, HDC dc) {
  bool grey = e.ReadOnly() || !IsWindowEnabled(e.Wnd);
  SetTextColor(dc, GetSysColor(IsWindowEnabled(e.Wnd) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  SetBkColor(dc, GetSysColor(grey ? COLOR_BTNFACE : COLOR_WINDOW));
  HWND parent = GetParent(e.Wnd);
  LRESULT brush = parent ? SendMessage(parent, grey ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(e.Wnd))
                         : 0;
  return brush ? reinterpret_cast<HBRUSH>(brush) : GetSysColorBrush(grey ? COLOR_BTNFACE : COLOR_WINDOW);
}

// Draws characters [from, to) of a line at their measured offsets, tab-free runs one at a time.
void DrawRun(HDC dc, const String& s, const std::vector<int>& x, int originX, int y, int from, int to) {
  int i = from;
  while (i < to) {
    if (s[size_t(i)] == '\t') {
      ++i;
      continue;
    }
    int j = i;
    while (j < to && s[size_t(j)] != '\t') ++j;
    ExtTextOut(dc, originX + x[size_t(i)], y, 0, nullptr, s.data() + i, static_cast<UINT>(j - i), nullptr);
    i = j;
  }
}

void PaintLine(const TEdit& e, HDC dc, int li, int y, bool showSel) {
  const TLine& line = e.Lines[size_t(li)];
  String s = Shown(e, line.Start, line.Length);
  std::vector<int> x = CharOffsets(dc, s.data(), line.Length, e.TabWidth());
  int origin = LineOriginX(e, x.back());
  int selFrom = showSel ? std::clamp(e.SelMin() - line.Start, 0, line.Length) : 0;
  int selTo = showSel ? std::clamp(e.SelMax() - line.Start, 0, line.Length) : 0;
  COLORREF text = GetTextColor(dc);
  DrawRun(dc, s, x, origin, y, 0, selFrom);
  DrawRun(dc, s, x, origin, y, selTo, line.Length);
  if (selFrom < selTo) {
    RECT hl{origin + x[size_t(selFrom)], y, origin + x[size_t(selTo)], y + e.LineHeight};
    FillRect(dc, &hl, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    DrawRun(dc, s, x, origin, y, selFrom, selTo);
    SetTextColor(dc, text);
  }
}

void PaintTo(TEdit& e, HDC dc) {
  int saved = SaveDC(dc);
  SelectObject(dc, ControlFont(e.Font));
  HBRUSH brush = Background(e, dc);
  RECT client;
  GetClientRect(e.Wnd, &client);
  FillRect(dc, &client, brush);
  SetBkMode(dc, TRANSPARENT);
  TRect r = FormatRect(e);
  IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
  bool showSel = e.Focused || (e.Style() & ES_NOHIDESEL);
  int last = std::min(static_cast<int>(e.Lines.size()), e.FirstLine + VisibleLines(e) + 1);
  for (int li = e.FirstLine; li < last; ++li) PaintLine(e, dc, li, r.Top + (li - e.FirstLine) * e.LineHeight, showSel);
  RestoreDC(dc, saved);
}

// A DC in wParam (a parent painting the edit into a bitmap) is painted into as it is.
void Paint(TEdit& e, HDC given) {
  if (given) {
    PaintTo(e, given);
    return;
  }
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(e.Wnd, &ps);
  if (!dc) return;
  PaintTo(e, dc);
  EndPaint(e.Wnd, &ps);
}

// ---------------------------------------------------------------------------------------------
// Messages

void SetFontOf(TEdit& e, HFONT font) {
  e.Font = font;
  TSize cell = FontCellSize(font);
  e.LineHeight = std::max(1, cell.cy);
  e.AveChar = std::max(1, cell.cx);
  Layout(e);
  if (e.Focused) {
    CreateCaret(e.Wnd, nullptr, 1, e.LineHeight);
    ShowCaret(e.Wnd);
  }
  ScrollToCaret(e);
}

LRESULT GetSel(const TEdit& e, WPARAM wParam, LPARAM lParam) {
  if (auto* start = reinterpret_cast<DWORD*>(wParam)) *start = static_cast<DWORD>(e.SelMin());
  if (auto* end = reinterpret_cast<DWORD*>(lParam)) *end = static_cast<DWORD>(e.SelMax());
  return MAKELONG(static_cast<WORD>(std::min(e.SelMin(), 0xFFFF)), static_cast<WORD>(std::min(e.SelMax(), 0xFFFF)));
}

void SetSel(TEdit& e, WPARAM wParam, LPARAM lParam) {
  int start = static_cast<int>(static_cast<intptr_t>(wParam)), end = static_cast<int>(lParam);
  if (start < 0) {
    SetSelection(e, e.Caret, e.Caret);
    return;
  }
  if (end < 0) end = e.Len();
  e.GoalX = -1;
  SetSelection(e, std::min(start, e.Len()), std::min(end, e.Len()));
}

LRESULT LineLength(const TEdit& e, WPARAM wParam) {
  int index = static_cast<int>(static_cast<intptr_t>(wParam));
  if (index >= 0) {
    if (index > e.Len()) return 0;
    return e.Lines[size_t(LineOf(e, index))].Length;
  }
  const TLine& first = e.Lines[size_t(LineOf(e, e.SelMin()))];
  const TLine& last = e.Lines[size_t(LineOf(e, e.SelMax()))];
  return (e.SelMin() - first.Start) + (last.Start + last.Length - std::min(e.SelMax(), last.Start + last.Length));
}

LRESULT GetLine(const TEdit& e, WPARAM wParam, LPARAM lParam) {
  auto* buffer = reinterpret_cast<char*>(lParam);
  int li = e.Multi() ? static_cast<int>(wParam) : 0;
  if (!buffer || li < 0 || li >= static_cast<int>(e.Lines.size())) return 0;
  WORD size = *reinterpret_cast<WORD*>(buffer);
  const TLine& line = e.Lines[size_t(li)];
  int n = std::min<int>(size, line.Length);
  std::copy_n(e.Text.data() + line.Start, n, buffer);
  if (n < size) buffer[n] = 0;
  return n;
}

LRESULT PosFromChar(const TEdit& e, WPARAM wParam) {
  int index = static_cast<int>(static_cast<intptr_t>(wParam));
  if (index < 0 || index >= e.Len()) return -1;
  TPoint p = PosOf(e, index);
  return MAKELONG(static_cast<WORD>(p.X), static_cast<WORD>(p.Y));
}

LRESULT CharFromPos(const TEdit& e, LPARAM lParam) {
  int line = 0;
  int index = CharAt(e, ClientPoint(lParam), &line);
  return MAKELONG(static_cast<WORD>(std::min(index, 0xFFFF)), static_cast<WORD>(std::min(line, 0xFFFF)));
}

void SetMargins(TEdit& e, WPARAM which, LPARAM lParam) {
  int left = LOWORD(static_cast<uintptr_t>(lParam)), right = HIWORD(static_cast<uintptr_t>(lParam));
  if (which == EC_USEFONTINFO) left = right = std::max(1, e.AveChar / 2);
  if (which & EC_LEFTMARGIN) e.LeftMargin = left;
  if (which & EC_RIGHTMARGIN) e.RightMargin = right;
  Layout(e);
  ScrollToCaret(e);
  Redraw(e);
}

void ScrollMessage(TEdit& e, UINT msg, WPARAM wParam) {
  bool vert = msg == WM_VSCROLL;
  int page = vert ? VisibleLines(e) : FormatRect(e).Width();
  int line = vert ? 1 : std::max(1, e.AveChar);
  int pos = vert ? e.FirstLine : e.ScrollX, target = pos;
  switch (LOWORD(wParam)) {
    case SB_LINEUP: target = pos - line; break;
    case SB_LINEDOWN: target = pos + line; break;
    case SB_PAGEUP: target = pos - page; break;
    case SB_PAGEDOWN: target = pos + page; break;
    case SB_TOP: target = 0; break;
    case SB_BOTTOM: target = vert ? MaxFirstLine(e) : MaxScrollX(e); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      // The message carries 16 bits; the bar's track position has them all while it agrees.
      target = HIWORD(wParam);
      SCROLLINFO si;
      si.fMask = SIF_TRACKPOS;
      if (GetScrollInfo(e.Wnd, vert ? SB_VERT : SB_HORZ, &si) && (si.nTrackPos & 0xFFFF) == target) target = si.nTrackPos;
      break;
    }
    default: return;
  }
  bool moved = vert ? ScrollLines(e, target - pos) : ScrollPixels(e, target - pos);
  if (moved) NotifyParent(e.Wnd, vert ? EN_VSCROLL : EN_HSCROLL);
}

LRESULT EmScroll(TEdit& e, WPARAM code) {
  if (!e.Multi()) return FALSE;
  int page = VisibleLines(e);
  int lines = code == SB_LINEUP ? -1 : code == SB_LINEDOWN ? 1 : code == SB_PAGEUP ? -page : code == SB_PAGEDOWN ? page : 0;
  int before = e.FirstLine;
  ScrollLines(e, lines);
  return MAKELONG(static_cast<WORD>(static_cast<SHORT>(e.FirstLine - before)), TRUE);
}

void SetReadOnly(TEdit& e, bool on) {
  DWORD style = e.Style();
  SetWindowLong(e.Wnd, GWL_STYLE, static_cast<LONG>(on ? style | ES_READONLY : style & ~ES_READONLY));
  Redraw(e);
}

void SetPasswordChar(TEdit& e, WPARAM ch) {
  if (e.Multi()) return;
  e.Password = static_cast<char>(ch);
  DWORD style = e.Style();
  SetWindowLong(e.Wnd, GWL_STYLE, static_cast<LONG>(ch ? style | ES_PASSWORD : style & ~ES_PASSWORD));
  Layout(e);
  ScrollToCaret(e);
  Redraw(e);
}

LRESULT FirstVisible(const TEdit& e) {
  if (e.Multi()) return e.FirstLine;
  return CharAt(e, {FormatRect(e).Left, FormatRect(e).Top});
}

bool Create(HWND wnd, const CREATESTRUCT* cs) {
  auto e = std::make_unique<TEdit>();
  e->Wnd = wnd;
  e->Text = cs && cs->lpszName ? cs->lpszName : "";
  if (cs && (cs->style & ES_PASSWORD) && !(cs->style & ES_MULTILINE)) e->Password = '*';
  if (!SetProp(wnd, kStateProp, e.get())) return false;
  TEdit* edit = e.release();
  SetFontOf(*edit, nullptr);
  return true;
}

void Destroy(HWND wnd) {
  delete EditOf(wnd);
  RemoveProp(wnd, kStateProp);
}

LRESULT TextMessage(TEdit& e, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SETTEXT: {
      DefWindowProc(e.Wnd, msg, wParam, lParam);
      // A program's text keeps the case rule as typed text does.
      const char* text = reinterpret_cast<const char*>(lParam);
      SetText(e, ApplyCase(e, text ? text : "").c_str());
      return TRUE;
    }
    case WM_GETTEXT: {
      auto* buffer = reinterpret_cast<char*>(lParam);
      if (!buffer || wParam == 0) return 0;
      size_t n = std::min(e.Text.size(), static_cast<size_t>(wParam) - 1);
      std::copy_n(e.Text.data(), n, buffer);
      buffer[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: return e.Len();
    case WM_CUT: Cut(e); return 0;
    case WM_COPY: Copy(e); return 0;
    case WM_PASTE: Paste(e); return 0;
    case WM_CLEAR: Clear(e); return 0;
    case WM_UNDO:
    case EM_UNDO: return Undo(e);
    case EM_CANUNDO: return e.CanUndo;
    case EM_EMPTYUNDOBUFFER:
      e.CanUndo = false;
      e.UndoText.clear();
      return 0;
    case EM_REPLACESEL:
      ReplaceSelection(e, lParam ? reinterpret_cast<const char*>(lParam) : "", wParam != 0);
      return 0;
    case EM_GETMODIFY: return e.Modified;
    case EM_SETMODIFY: e.Modified = wParam != 0; return 0;
    case EM_LIMITTEXT:
      e.Limit = wParam == 0 || wParam > static_cast<WPARAM>(kMaxLimit) ? kMaxLimit : static_cast<int>(wParam);
      return 0;
    case EM_GETLIMITTEXT: return e.Limit;
    default: return 0;
  }
}

LRESULT EditMessage(TEdit& e, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case EM_GETSEL: return GetSel(e, wParam, lParam);
    case EM_SETSEL: SetSel(e, wParam, lParam); return 0;
    case EM_SCROLLCARET: ScrollToCaret(e); Redraw(e); return TRUE;
    case EM_SETREADONLY: SetReadOnly(e, wParam != 0); return TRUE;
    case EM_SETPASSWORDCHAR: SetPasswordChar(e, wParam & 0xFF); return 0;
    case EM_GETPASSWORDCHAR: return static_cast<unsigned char>(e.Password);
    case EM_POSFROMCHAR: return PosFromChar(e, wParam);
    case EM_GETCARETINDEX: return e.Caret;
    case EM_CHARFROMPOS: return CharFromPos(e, lParam);
    case EM_SETMARGINS: SetMargins(e, wParam, lParam); return 0;
    case EM_GETMARGINS: return MAKELONG(static_cast<WORD>(e.LeftMargin), static_cast<WORD>(e.RightMargin));
    case EM_GETRECT:
      if (auto* r = reinterpret_cast<RECT*>(lParam)) *r = FormatRect(e);
      return 0;
    case EM_SETRECT:
    case EM_SETRECTNP:
      e.HasRect = lParam != 0;
      if (lParam) e.Rect = *reinterpret_cast<const RECT*>(lParam);
      Layout(e);
      if (msg == EM_SETRECT) Redraw(e);
      return 0;
    case EM_GETLINECOUNT: return static_cast<LRESULT>(e.Lines.size());
    case EM_LINEINDEX: {
      int li = static_cast<int>(static_cast<intptr_t>(wParam));
      if (li < 0) li = LineOf(e, e.Caret);
      return li < static_cast<int>(e.Lines.size()) ? e.Lines[size_t(li)].Start : -1;
    }
    case EM_LINEFROMCHAR: {
      int index = static_cast<int>(static_cast<intptr_t>(wParam));
      return LineOf(e, index < 0 ? e.SelMin() : std::min(index, e.Len()));
    }
    case EM_LINELENGTH: return LineLength(e, wParam);
    case EM_GETLINE: return GetLine(e, wParam, lParam);
    case EM_LINESCROLL:
      if (!e.Multi()) return FALSE;
      ScrollPixels(e, static_cast<int>(static_cast<intptr_t>(wParam)) * e.AveChar);
      ScrollLines(e, static_cast<int>(lParam));
      return TRUE;
    case EM_SCROLL: return EmScroll(e, wParam);
    case EM_GETFIRSTVISIBLELINE: return FirstVisible(e);
    case EM_GETTHUMB: return e.FirstLine;
    case EM_SETTABSTOPS:
      if (!e.Multi()) return FALSE;
      e.TabUnits = wParam == 0 || !lParam ? kDefaultTabUnits : std::max(1, *reinterpret_cast<const int*>(lParam));
      Layout(e);
      Redraw(e);
      return TRUE;
    default: return TextMessage(e, msg, wParam, lParam);
  }
}

LRESULT InputMessage(TEdit& e, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = true;
  switch (msg) {
    case WM_KEYDOWN: KeyDownMessage(e, wParam); return 0;
    case WM_CHAR:
    case WM_IME_CHAR: CharMessage(e, static_cast<char>(wParam & 0xFF)); return 0;  // single-byte code page
    case WM_LBUTTONDOWN: ButtonDown(e, ClientPoint(lParam), wParam); return 0;
    case WM_LBUTTONDBLCLK: SelectWordAt(e, CharAt(e, ClientPoint(lParam))); return 0;
    case WM_MOUSEMOVE:
      if (e.Selecting && GetCapture() == e.Wnd) DragTo(e, ClientPoint(lParam));
      return 0;
    case WM_LBUTTONUP: EndDrag(e); return 0;
    case WM_MBUTTONDOWN: PastePrimary(e, ClientPoint(lParam)); return 0;
    case WM_CAPTURECHANGED:
      if (e.Selecting) EndDrag(e);
      return 0;
    case WM_TIMER:
      if (wParam != kDragTimer) break;
      if (e.Selecting) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(e.Wnd, &p);
        DragTo(e, p);
      }
      return 0;
    case WM_SETFOCUS:
      e.Focused = true;
      CreateCaret(e.Wnd, nullptr, 1, e.LineHeight);
      PlaceCaret(e);
      ShowCaret(e.Wnd);
      InvalidateRect(e.Wnd, nullptr, FALSE);
      NotifyParent(e.Wnd, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      e.Focused = false;
      if (e.Selecting) EndDrag(e);
      DestroyCaret();
      InvalidateRect(e.Wnd, nullptr, FALSE);
      NotifyParent(e.Wnd, EN_KILLFOCUS);
      return 0;
    case WM_MOUSEWHEEL:
      if (!e.Multi()) break;
      {
        UINT lines = 3;
        SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
        int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
        ScrollLines(e, -notches * static_cast<int>(std::min<UINT>(lines, 1000)));
      }
      return 0;
    case WM_VSCROLL:
    case WM_HSCROLL:
      if (!e.Multi()) break;
      ScrollMessage(e, msg, wParam);
      return 0;
    default: break;
  }
  handled = false;
  return 0;
}

LRESULT EditProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    if (!Create(wnd, reinterpret_cast<const CREATESTRUCT*>(lParam))) return FALSE;
    return DefWindowProc(wnd, msg, wParam, lParam);
  }
  TEdit* e = EditOf(wnd);
  if (!e) return DefWindowProc(wnd, msg, wParam, lParam);
  switch (msg) {
    case WM_NCDESTROY:
      Destroy(wnd);
      return DefWindowProc(wnd, msg, wParam, lParam);
    case WM_PAINT: Paint(*e, reinterpret_cast<HDC>(wParam)); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT:
      SetFontOf(*e, reinterpret_cast<HFONT>(wParam));
      if (LOWORD(static_cast<uintptr_t>(lParam))) Redraw(*e);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(e->Font);
    case WM_SIZE:
    case WM_STYLECHANGED:
      Layout(*e);
      e->FirstLine = std::min(e->FirstLine, MaxFirstLine(*e));
      ScrollToCaret(*e);
      Redraw(*e);
      return msg == WM_SIZE ? DefWindowProc(wnd, msg, wParam, lParam) : 0;
    case WM_ENABLE: InvalidateRect(wnd, nullptr, FALSE); return 0;
    case WM_CONTEXTMENU: ContextMenu(*e, lParam); return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | (e->Multi() ? DLGC_WANTALLKEYS : 0);
    default: break;
  }
  bool handled = false;
  LRESULT r = InputMessage(*e, msg, wParam, lParam, handled);
  if (handled) return r;
  if ((msg >= EM_GETSEL && msg <= EM_CHARFROMPOS) || msg == EM_GETCARETINDEX || msg == WM_SETTEXT || msg == WM_GETTEXT ||
      msg == WM_GETTEXTLENGTH || (msg >= WM_CUT && msg <= WM_UNDO))
    return EditMessage(*e, msg, wParam, lParam);
  return DefWindowProc(wnd, msg, wParam, lParam);
}

}  // namespace

void RegisterEditClass() {
  WNDCLASSEX wc;
  wc.style = CS_DBLCLKS | CS_GLOBALCLASS;
  wc.lpfnWndProc = EditProc;
  wc.hCursor = LoadCursor(nullptr, MAKEINTRESOURCE(IDC_IBEAM));
  wc.lpszClassName = "EDIT";
  RegisterClassEx(&wc);
}
