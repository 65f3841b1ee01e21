// The visual styles calls: the switch, theme handles, part lookup and the checked entry points.
#include <array>
#include <cstdlib>
#include <map>
#include <set>

#include "platform/os/GdiInternal.h"
#include "platform/os/ThemeInternal.h"
#include "platform/os/Windows.h"
#include "platform/rtl/Registry.h"

namespace {

const char16_t* const kClassNames[] = {u"BUTTON", u"COMBOBOX", u"EDIT",   u"HEADER", u"LISTVIEW",
                                       u"PAGE",   u"PROGRESS", u"SCROLLBAR", u"SPIN", u"STATUS",
                                       u"TAB",    u"TRACKBAR", u"TREEVIEW", u"WINDOW"};
static_assert(std::size(kClassNames) == size_t(TThemeClass::Count));

const char kSettingsKey[] = "\\Software\\QJ\\Appearance";
const char kSettingsValue[] = "Themes";
const char kEnvironmentSwitch[] = "QJ_THEMES";

constexpr TRect kNoMargins{0, 0, 0, 0};
constexpr TRect kMargins1{1, 1, 1, 1};
constexpr TSize kAnySize{0, 0};
constexpr TSize kMin8{8, 8};

using C = TThemeClass;
using K = TPartKind;
using A = TArrowDir;

const TThemePart kParts[] = {
    {C::Button, BP_PUSHBUTTON, K::PushButton, PBS_DEFAULTED, {3, 3, 3, 3}, kAnySize, kMin8, true, A::Up},
    {C::Button, BP_RADIOBUTTON, K::RadioButton, 8, kNoMargins, {13, 13}, {13, 13}, true, A::Up},
    {C::Button, BP_CHECKBOX, K::CheckBox, 12, kNoMargins, {13, 13}, {13, 13}, false, A::Up},
    {C::Button, BP_GROUPBOX, K::GroupBox, GBS_DISABLED, {2, 2, 2, 2}, kAnySize, kMin8, true, A::Up},
    {C::ComboBox, CP_DROPDOWNBUTTON, K::DropDown, BLS_DISABLED, kMargins1, {17, 17}, kMin8, false, A::Down},
    {C::Edit, EP_EDITTEXT, K::EditText, ETS_READONLY, kMargins1, kAnySize, {2, 2}, false, A::Up},
    {C::Header, HP_HEADERITEM, K::HeaderItem, HIS_PRESSED, {2, 1, 2, 1}, kAnySize, {2, 2}, false, A::Up},
    {C::ListView, LVP_FRAME, K::Frame, 1, kMargins1, kAnySize, {2, 2}, false, A::Up},
    {C::Page, PGRP_UP, K::ArrowButton, BLS_DISABLED, kMargins1, {16, 16}, kMin8, false, A::Up},
    {C::Page, PGRP_DOWN, K::ArrowButton, BLS_DISABLED, kMargins1, {16, 16}, kMin8, false, A::Down},
    {C::Page, PGRP_UPHORZ, K::ArrowButton, BLS_DISABLED, kMargins1, {16, 16}, kMin8, false, A::Left},
    {C::Page, PGRP_DOWNHORZ, K::ArrowButton, BLS_DISABLED, kMargins1, {16, 16}, kMin8, false, A::Right},
    {C::Progress, PP_BAR, K::ProgressBar, 1, kMargins1, kAnySize, {3, 3}, false, A::Left},
    {C::Progress, PP_BARVERT, K::ProgressBar, 1, kMargins1, kAnySize, {3, 3}, false, A::Up},
    {C::Progress, PP_CHUNK, K::ProgressChunk, 1, kNoMargins, kAnySize, {1, 1}, false, A::Left},
    {C::Progress, PP_CHUNKVERT, K::ProgressChunk, 1, kNoMargins, kAnySize, {1, 1}, false, A::Up},
    {C::ScrollBar, SBP_ARROWBTN, K::ScrollArrow, 16, kNoMargins, {17, 17}, kMin8, false, A::Up},
    {C::ScrollBar, SBP_THUMBBTNHORZ, K::ScrollThumb, BLS_DISABLED, {2, 2, 2, 2}, kAnySize, kMin8, false, A::Left},
    {C::ScrollBar, SBP_THUMBBTNVERT, K::ScrollThumb, BLS_DISABLED, {2, 2, 2, 2}, kAnySize, kMin8, false, A::Up},
    {C::ScrollBar, SBP_LOWERTRACKHORZ, K::ScrollTrack, BLS_DISABLED, kNoMargins, kAnySize, kMin8, false, A::Left},
    {C::ScrollBar, SBP_UPPERTRACKHORZ, K::ScrollTrack, BLS_DISABLED, kNoMargins, kAnySize, kMin8, false, A::Left},
    {C::ScrollBar, SBP_LOWERTRACKVERT, K::ScrollTrack, BLS_DISABLED, kNoMargins, kAnySize, kMin8, false, A::Up},
    {C::ScrollBar, SBP_UPPERTRACKVERT, K::ScrollTrack, BLS_DISABLED, kNoMargins, kAnySize, kMin8, false, A::Up},
    {C::ScrollBar, SBP_GRIPPERHORZ, K::ScrollGripper, BLS_DISABLED, kNoMargins, {8, 8}, kMin8, true, A::Left},
    {C::ScrollBar, SBP_GRIPPERVERT, K::ScrollGripper, BLS_DISABLED, kNoMargins, {8, 8}, kMin8, true, A::Up},
    {C::ScrollBar, SBP_SIZEBOX, K::SizeBox, 4, kNoMargins, {17, 17}, kMin8, false, A::Up},
    {C::Spin, SPNP_UP, K::ArrowButton, BLS_DISABLED, kMargins1, {15, 10}, kMin8, false, A::Up},
    {C::Spin, SPNP_DOWN, K::ArrowButton, BLS_DISABLED, kMargins1, {15, 10}, kMin8, false, A::Down},
    {C::Spin, SPNP_UPHORZ, K::ArrowButton, BLS_DISABLED, kMargins1, {10, 15}, kMin8, false, A::Right},
    {C::Spin, SPNP_DOWNHORZ, K::ArrowButton, BLS_DISABLED, kMargins1, {10, 15}, kMin8, false, A::Left},
    {C::Status, SP_BACKGROUND, K::StatusBackground, 1, kNoMargins, kAnySize, {1, 1}, false, A::Up},
    // As the gap between two panels a pane is a line and a pixel beside it, as a classic gap.
    {C::Status, SP_PANE, K::StatusPane, 1, {2, 2, 2, 1}, {2, 2}, {4, 4}, false, A::Up},
    {C::Status, SP_GRIPPERPANE, K::StatusPane, 1, {2, 2, 2, 1}, kAnySize, {4, 4}, false, A::Up},
    {C::Status, SP_GRIPPER, K::StatusGripper, 1, kNoMargins, {12, 12}, {12, 12}, true, A::Up},
    {C::Tab, TABP_TABITEM, K::TabItem, TIS_FOCUSED, {3, 2, 3, 2}, kAnySize, {6, 6}, true, A::Up},
    {C::Tab, TABP_PANE, K::TabPane, 1, {1, 1, 3, 3}, kAnySize, {4, 4}, false, A::Up},
    {C::TrackBar, TKP_TRACK, K::Track, 1, kMargins1, kAnySize, {4, 4}, false, A::Left},
    {C::TrackBar, TKP_TRACKVERT, K::Track, 1, kMargins1, kAnySize, {4, 4}, false, A::Up},
    {C::TrackBar, TKP_THUMB, K::TrackThumb, TUS_DISABLED, kNoMargins, {11, 21}, {11, 21}, true, A::Up},
    {C::TrackBar, TKP_THUMBBOTTOM, K::TrackThumb, TUS_DISABLED, kNoMargins, {11, 21}, {11, 21}, true, A::Down},
    {C::TrackBar, TKP_THUMBTOP, K::TrackThumb, TUS_DISABLED, kNoMargins, {11, 21}, {11, 21}, true, A::Up},
    {C::TrackBar, TKP_THUMBVERT, K::TrackThumb, TUS_DISABLED, kNoMargins, {21, 11}, {21, 11}, true, A::Left},
    {C::TrackBar, TKP_THUMBLEFT, K::TrackThumb, TUS_DISABLED, kNoMargins, {21, 11}, {21, 11}, true, A::Left},
    {C::TrackBar, TKP_THUMBRIGHT, K::TrackThumb, TUS_DISABLED, kNoMargins, {21, 11}, {21, 11}, true, A::Right},
    {C::TreeView, TVP_GLYPH, K::TreeGlyph, GLPS_OPENED, kNoMargins, {9, 9}, {9, 9}, false, A::Up},
    {C::Window, WP_CLOSEBUTTON, K::SmallClose, BLS_DISABLED, kNoMargins, {16, 16}, {16, 16}, true, A::Up},
    {C::Window, WP_SMALLCLOSEBUTTON, K::SmallClose, BLS_DISABLED, kNoMargins, {13, 13}, {13, 13}, true, A::Up},
};

struct TEngineState {
  bool Loaded = false;
  bool Enabled = true;
  std::set<TThemeClass> Hidden;
  std::map<uintptr_t, TThemeClass> Open;  // handle -> class; handles are never reused
  uintptr_t NextHandle = 0x7000;
  ThemeEngine::TThemeChangeHandler ChangeHandler = nullptr;
};

TEngineState& Engine() {
  static TEngineState state;
  return state;
}

bool ReadSwitch(const char* text, bool& on) {
  String s = LowerCase(text);
  if (s == "1" || s == "on" || s == "true" || s == "yes") return on = true, true;
  if (s == "0" || s == "off" || s == "false" || s == "no") return on = false, true;
  return false;
}

bool StartUpChoice() {
  bool on = true;
  if (const char* env = std::getenv(kEnvironmentSwitch); env && ReadSwitch(env, on)) return on;
  try {
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (reg.OpenKeyReadOnly(kSettingsKey) && reg.ValueExists(kSettingsValue)) return reg.ReadInteger(kSettingsValue) != 0;
  } catch (const Exception&) {
    // An unreadable settings store leaves the default.
  }
  return on;
}

void StoreChoice(bool on) {
  try {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (reg.OpenKey(kSettingsKey, true)) reg.WriteInteger(kSettingsValue, on ? 1 : 0);
  } catch (const Exception&) {
    // The switch still applies for this run.
  }
}

TEngineState& LoadedEngine() {
  TEngineState& e = Engine();
  if (!e.Loaded) {
    e.Loaded = true;
    e.Enabled = StartUpChoice();
  }
  return e;
}

WideString UpperAscii(const WideString& s) {
  WideString r = s;
  for (char16_t& c : r)
    if (c >= u'a' && c <= u'z') c = char16_t(c - u'a' + u'A');
  return r;
}

WideString TrimSpaces(const WideString& s) {
  size_t b = s.find_first_not_of(u' '), e = s.find_last_not_of(u' ');
  return b == WideString::npos ? WideString() : s.substr(b, e - b + 1);
}

bool ClassByName(const WideString& name, TThemeClass& cls) {
  const WideString upper = UpperAscii(TrimSpaces(name));
  for (size_t i = 0; i < std::size(kClassNames); ++i)
    if (upper == kClassNames[i]) return cls = TThemeClass(i), true;
  return false;
}

// The class of a live handle, or nullptr.
const TThemeClass* ClassOf(HTHEME theme) {
  auto& open = Engine().Open;
  auto it = open.find(reinterpret_cast<uintptr_t>(theme));
  return it == open.end() ? nullptr : &it->second;
}

// Looks up handle, part and state; the HRESULT to return when one is wrong.
HRESULT Resolve(HTHEME theme, int partId, int stateId, const TThemePart*& part, TPartState& state) {
  const TThemeClass* cls = ClassOf(theme);
  if (!cls) return E_HANDLE;
  part = FindThemePart(*cls, partId);
  if (!part || stateId < 0 || stateId > part->MaxState) return E_INVALIDARG;
  state = ReadPartState(*part, stateId);
  return S_OK;
}

void CopyName(WideChar* buffer, int chars, const char16_t* text) {
  if (!buffer || chars <= 0) return;
  int i = 0;
  for (; text[i] && i < chars - 1; ++i) buffer[i] = text[i];
  buffer[i] = 0;
}

}  // namespace

const TThemePart* FindThemePart(TThemeClass cls, int part) {
  for (const TThemePart& p : kParts)
    if (p.Class == cls && p.Part == part) return &p;
  return nullptr;
}

TPartState ReadPartState(const TThemePart& part, int state) {
  static const TVisual kFour[] = {TVisual::Normal, TVisual::Hot, TVisual::Pressed, TVisual::Disabled};
  const int s = state < 1 ? 1 : state;
  TPartState r;
  r.Arrow = part.Arrow;
  switch (part.Kind) {
    case K::PushButton: r.Visual = s == PBS_DEFAULTED ? TVisual::Default : kFour[s - 1]; break;
    case K::CheckBox:
    case K::RadioButton:
      r.Check = (s - 1) / 4;
      r.Visual = kFour[(s - 1) % 4];
      break;
    case K::ScrollArrow:
      r.Arrow = TArrowDir((s - 1) / 4);
      r.Visual = kFour[(s - 1) % 4];
      break;
    case K::GroupBox: r.Visual = s == GBS_DISABLED ? TVisual::Disabled : TVisual::Normal; break;
    case K::TreeGlyph: r.Opened = s == GLPS_OPENED; break;
    case K::TabItem:
      r.Selected = s == TIS_SELECTED || s == TIS_FOCUSED;
      r.Visual = r.Selected ? TVisual::Normal : kFour[s - 1];
      break;
    case K::EditText:
      r.Selected = s == ETS_SELECTED || s == ETS_FOCUSED;
      r.Visual = s == ETS_DISABLED || s == ETS_READONLY ? TVisual::Disabled
                 : s == ETS_HOT                          ? TVisual::Hot
                                                         : TVisual::Normal;
      break;
    case K::TrackThumb:
      r.Selected = s == TUS_FOCUSED;
      r.Visual = s == TUS_DISABLED ? TVisual::Disabled : s == TUS_FOCUSED ? TVisual::Normal : kFour[s - 1];
      break;
    default: r.Visual = s <= 4 ? kFour[s - 1] : TVisual::Normal;
  }
  return r;
}

// ---------------------------------------------------------------------------------------------
// The switch

bool ThemeEngine::Enabled() { return LoadedEngine().Enabled; }

void ThemeEngine::SetEnabled(bool enabled, bool remember) {
  TEngineState& e = LoadedEngine();
  if (remember) StoreChoice(enabled);
  if (e.Enabled == enabled) return;
  e.Enabled = enabled;
  SysColorsFollowTheme();
  if (e.ChangeHandler) e.ChangeHandler();
}

void ThemeEngine::Reload() { SetEnabled(StartUpChoice()); }

void ThemeEngine::SetClassHidden(const WideChar* className, bool hidden) {
  TThemeClass cls;
  if (!className || !ClassByName(className, cls)) return;
  if (hidden)
    Engine().Hidden.insert(cls);
  else
    Engine().Hidden.erase(cls);
}

void ThemeEngine::SetChangeHandler(TThemeChangeHandler handler) { Engine().ChangeHandler = handler; }

// ---------------------------------------------------------------------------------------------
// Entry points

BOOL IsThemeActive() { return ThemeEngine::Enabled() ? TRUE : FALSE; }
BOOL IsAppThemed() { return IsThemeActive(); }
DWORD GetThemeAppProperties() { return IsThemeActive() ? STAP_ALLOW_NONCLIENT | STAP_ALLOW_CONTROLS : 0; }

HTHEME OpenThemeData(HWND, const WideChar* classList) {
  if (!classList || !ThemeEngine::Enabled()) return nullptr;
  TEngineState& e = Engine();
  WideString list = classList;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(u';', start);
    if (end == WideString::npos) end = list.size();
    TThemeClass cls;
    if (ClassByName(list.substr(start, end - start), cls) && !e.Hidden.count(cls)) {
      uintptr_t id = e.NextHandle += 4;
      e.Open.emplace(id, cls);
      return reinterpret_cast<HTHEME>(id);
    }
    start = end + 1;
  }
  return nullptr;
}

HRESULT CloseThemeData(HTHEME theme) {
  if (!theme) return S_OK;
  return Engine().Open.erase(reinterpret_cast<uintptr_t>(theme)) ? S_OK : E_HANDLE;
}

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect, const RECT* clip) {
  const TThemePart* part = nullptr;
  TPartState state;
  if (HRESULT hr = Resolve(theme, partId, stateId, part, state); FAILED(hr)) return hr;
  if (!rect || GetDCObjectType(dc) == 0) return E_INVALIDARG;
  const int saved = SaveDC(dc);
  if (clip) IntersectClipRect(dc, clip->Left, clip->Top, clip->Right, clip->Bottom);
  DrawThemePart(dc, *part, state, *rect);
  RestoreDC(dc, saved);
  return S_OK;
}

HRESULT DrawThemeText(HTHEME theme, HDC dc, int partId, int stateId, const WideChar* text, int count, DWORD flags,
                      DWORD, const RECT* rect) {
  const TThemePart* part = nullptr;
  TPartState state;
  if (HRESULT hr = Resolve(theme, partId, stateId, part, state); FAILED(hr)) return hr;
  if (!text || !rect || GetDCObjectType(dc) == 0) return E_INVALIDARG;
  WideString wide = count < 0 ? WideString(text) : WideString(text, size_t(count));
  String ansi = WideToAnsi(wide);
  COLORREF color = 0;
  ThemePartColor(*part, state, TMT_TEXTCOLOR, color);
  const COLORREF oldColor = SetTextColor(dc, color);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  RECT r = *rect;
  DrawText(dc, ansi.data(), static_cast<int>(ansi.size()), &r, flags);
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldColor);
  return S_OK;
}

HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int partId, int stateId, const RECT* rect, UINT edge, UINT flags,
                      RECT* contentRect) {
  const TThemeClass* cls = ClassOf(theme);
  if (!cls) return E_HANDLE;
  // Part 0 is the class as a whole; any other part must exist.
  if ((partId != 0 && !FindThemePart(*cls, partId)) || stateId < 0) return E_INVALIDARG;
  if (!rect || GetDCObjectType(dc) == 0) return E_INVALIDARG;
  RECT r = *rect;
  DrawThemeEdgeLines(dc, r, edge, flags);
  if (contentRect) *contentRect = r;
  return S_OK;
}

HRESULT DrawThemeParentBackground(HWND wnd, HDC dc, const RECT*) {
  HWND parent = GetParent(wnd);
  if (!parent || !(GetWindowLong(wnd, GWL_STYLE) & WS_CHILD) || GetDCObjectType(dc) == 0) return E_FAIL;
  POINT offset{0, 0};
  MapWindowPoints(wnd, parent, &offset, 1);
  POINT old;
  OffsetWindowOrgEx(dc, offset.X, offset.Y, &old);
  SendMessage(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  SendMessage(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), 0);
  SetWindowOrgEx(dc, old.X, old.Y, nullptr);
  return S_OK;
}

HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC, int partId, int stateId, const RECT* bounds,
                                      RECT* content) {
  const TThemePart* part = nullptr;
  TPartState state;
  if (HRESULT hr = Resolve(theme, partId, stateId, part, state); FAILED(hr)) return hr;
  if (!bounds || !content) return E_INVALIDARG;
  const TRect& m = part->Margins;
  *content = {bounds->Left + m.Left, bounds->Top + m.Top, bounds->Right - m.Right, bounds->Bottom - m.Bottom};
  return S_OK;
}

HRESULT GetThemeColor(HTHEME theme, int partId, int stateId, int propId, COLORREF* color) {
  const TThemePart* part = nullptr;
  TPartState state;
  if (HRESULT hr = Resolve(theme, partId, stateId, part, state); FAILED(hr)) return hr;
  if (!color) return E_INVALIDARG;
  return ThemePartColor(*part, state, propId, *color) ? S_OK : E_INVALIDARG;
}

HRESULT GetThemePartSize(HTHEME theme, HDC, int partId, int stateId, const RECT* rect, THEMESIZE size,
                         SIZE* result) {
  const TThemePart* part = nullptr;
  TPartState state;
  if (HRESULT hr = Resolve(theme, partId, stateId, part, state); FAILED(hr)) return hr;
  if (!result || size < TS_MIN || size > TS_DRAW) return E_INVALIDARG;
  if (size == TS_MIN)
    *result = part->MinSize;
  else if (size == TS_DRAW && rect)
    *result = {rect->Width(), rect->Height()};
  else
    *result = part->TrueSize.cx > 0 ? part->TrueSize : part->MinSize;
  return S_OK;
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int partId, int stateId) {
  const TThemePart* part = nullptr;
  TPartState state;
  return SUCCEEDED(Resolve(theme, partId, stateId, part, state)) && part->Transparent ? TRUE : FALSE;
}

HRESULT GetCurrentThemeName(WideChar* fileName, int fileNameChars, WideChar* colorName, int colorChars,
                            WideChar* sizeName, int sizeChars) {
  const bool on = ThemeEngine::Enabled();
  CopyName(fileName, fileNameChars, on ? u"QJModern.theme" : u"");
  CopyName(colorName, colorChars, on ? u"Normal" : u"");
  CopyName(sizeName, sizeChars, on ? u"Normal" : u"");
  return on ? S_OK : E_FAIL;
}
