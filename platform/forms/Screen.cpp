// TScreen (forms, focus state, cursors, monitors) and TMouse.
#include <algorithm>
#include <vector>

#include "platform/forms/Forms.h"
#include "platform/os/CursorPicture.h"
#include "platform/rtl/ClassesConsts.h"

QJ_IMPLEMENT_CLASS(TScreen)
QJ_IMPLEMENT_CLASS(TMonitor)
QJ_IMPLEMENT_CLASS(TMouse)

namespace {

// Text pictures: 'X' black, '.' white, ' ' transparent.
const std::vector<std::string> kDragPicture = {
    "X               ", "XX              ", "X.X             ", "X..X            ", "X...X           ",
    "X....X          ", "X.....X         ", "X..XXXXX        ", "X.X  XXXXXXX    ", "XX   X.....X    ",
    "X    X.....X    ", "     X.....X    ", "     XXXXXXX    ", "                ", "                ",
    "                "};
const std::vector<std::string> kMultiDragPicture = {
    "X               ", "XX              ", "X.X             ", "X..X            ", "X...X           ",
    "X....X          ", "X.....X         ", "X..XXXXX  XXXXX ", "X.X XXXXXXX...X ", "XX  X.....X...X ",
    "X   X.....XXXXX ", "    X.....X     ", "    XXXXXXX     ", "                ", "                ",
    "                "};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Monitors

TRect TMonitor::GetBoundsRect() const {
  MONITORINFO info;
  return GetMonitorInfo(FHandle, &info) ? info.rcMonitor : TRect();
}

TRect TMonitor::GetWorkareaRect() const {
  MONITORINFO info;
  return GetMonitorInfo(FHandle, &info) ? info.rcWork : TRect();
}

bool TMonitor::GetPrimary() const {
  MONITORINFO info;
  return GetMonitorInfo(FHandle, &info) && (info.dwFlags & MONITORINFOF_PRIMARY);
}

// ---------------------------------------------------------------------------------------------
// Screen

TScreen::TScreen(TComponent* AOwner)
    : TComponent(AOwner),
      FHintFont(MakeOwned<TFont>()),
      FIconFont(MakeOwned<TFont>()),
      FMenuFont(MakeOwned<TFont>()) {
  FHintFont->SetColor(clInfoText);
}

TScreen::~TScreen() = default;

Integer TScreen::GetWidth() const { return GetSystemMetrics(SM_CXSCREEN); }

Integer TScreen::GetHeight() const { return GetSystemMetrics(SM_CYSCREEN); }

TRect TScreen::GetWorkAreaRect() const {
  RECT r;
  if (!SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0)) r = Rect(0, 0, GetWidth(), GetHeight());
  return r;
}

TForm* TScreen::GetForm(Integer Index) const { return As<TForm>(GetCustomForm(Index)); }

TCustomForm* TScreen::GetCustomForm(Integer Index) const {
  if (Index < 0 || Index >= GetCustomFormCount()) throw EListError(&SListIndexError, {Index});
  return FForms[static_cast<size_t>(Index)];
}

TForm* TScreen::GetActiveForm() const { return As<TForm>(FActiveCustomForm); }

void TScreen::AddForm(TCustomForm* Form) { FForms.push_back(Form); }

void TScreen::RemoveForm(TCustomForm* Form) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
  FSaveFocusedList.erase(std::remove(FSaveFocusedList.begin(), FSaveFocusedList.end(), Form), FSaveFocusedList.end());
  if (FFocusedForm == Form) FFocusedForm = nullptr;
  if (FActiveCustomForm == Form) {
    FActiveCustomForm = nullptr;
    FActiveControl = nullptr;
    if (OnActiveFormChange) OnActiveFormChange(this);
  }
}

void TScreen::SetFocusedState(TCustomForm* Form, TWinControl* Control) {
  bool formChanged = FActiveCustomForm != Form;
  bool controlChanged = FActiveControl != Control;
  FActiveCustomForm = Form;
  FActiveControl = Control;
  if (controlChanged && OnActiveControlChange) OnActiveControlChange(this);
  if (formChanged && OnActiveFormChange) OnActiveFormChange(this);
}

void TScreen::LoadStandardCursors() {
  if (FCursorsLoaded) return;
  FCursorsLoaded = true;
  static const std::pair<TCursor, uintptr_t> kShapes[] = {
      {crDefault, IDC_ARROW},   {crArrow, IDC_ARROW},       {crCross, IDC_CROSS},     {crIBeam, IDC_IBEAM},
      {crSizeNESW, IDC_SIZENESW}, {crSizeNS, IDC_SIZENS},   {crSizeNWSE, IDC_SIZENWSE}, {crSizeWE, IDC_SIZEWE},
      {crUpArrow, IDC_UPARROW}, {crHourGlass, IDC_WAIT},    {crNoDrop, IDC_NO},       {crHSplit, IDC_SIZEWE},
      {crVSplit, IDC_SIZENS},   {crSQLWait, IDC_WAIT},      {crNo, IDC_NO},           {crAppStart, IDC_APPSTARTING},
      {crHelp, IDC_HELP},       {crHandPoint, IDC_HAND},    {crSizeAll, IDC_SIZEALL}};
  for (const auto& [id, shape] : kShapes) FCursors[id] = LoadCursor(nullptr, MAKEINTRESOURCE(shape));
  FCursors[crDrag] = CursorFromPicture(kDragPicture, 0, 0);
  FCursors[crMultiDrag] = CursorFromPicture(kMultiDragPicture, 0, 0);
  uint32_t clear = 0;
  bool none = false;
  FCursors[crNone] = CreateCursorFromPixels(1, 1, &clear, &none, 0, 0);
}

HCURSOR TScreen::GetCursors(Integer Index) {
  LoadStandardCursors();
  auto it = FCursors.find(Index);
  if (it != FCursors.end() && it->second) return it->second;
  return FCursors[crDefault];
}

void TScreen::SetCursors(Integer Index, HCURSOR Handle) {
  LoadStandardCursors();
  FCursors[Index] = Handle ? Handle : LoadCursor(nullptr, MAKEINTRESOURCE(IDC_ARROW));
  if (Index == FCursor && Index != crDefault) ::SetCursor(FCursors[Index]);
}

void TScreen::SetCursor(TCursor Value) {
  if (Value == FCursor) return;
  FCursor = Value;
  if (Value != crDefault) {
    ::SetCursor(GetCursors(Value));
    return;
  }
  POINT p;
  GetCursorPos(&p);
  if (HWND wnd = WindowFromPoint(p))
    SendMessage(wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(static_cast<WORD>(HTCLIENT), WM_MOUSEMOVE));
}

TMonitor* TScreen::MonitorOf(HMONITOR Handle) {
  if (!Handle) return nullptr;
  for (auto& m : FMonitors)
    if (m->GetHandle() == Handle) return m.get();
  FMonitors.push_back(MakeOwned<TMonitor>(Handle, static_cast<Integer>(FMonitors.size())));
  return FMonitors.back().get();
}

Integer TScreen::GetMonitorCount() {
  MonitorOf(::MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY));
  return static_cast<Integer>(FMonitors.size());
}

TMonitor* TScreen::GetMonitor(Integer Index) {
  if (Index < 0 || Index >= GetMonitorCount()) throw EListError(&SListIndexError, {Index});
  return FMonitors[static_cast<size_t>(Index)].get();
}

namespace {

DWORD MonitorFlags(TMonitorDefaultTo Default) {
  switch (Default) {
    case mdNull: return MONITOR_DEFAULTTONULL;
    case mdPrimary: return MONITOR_DEFAULTTOPRIMARY;
    default: return MONITOR_DEFAULTTONEAREST;
  }
}

}  // namespace

TMonitor* TScreen::MonitorFromPoint(TPoint Point, TMonitorDefaultTo Default) {
  return MonitorOf(::MonitorFromPoint(Point, MonitorFlags(Default)));
}

TMonitor* TScreen::MonitorFromRect(const TRect& Rect, TMonitorDefaultTo Default) {
  return MonitorOf(::MonitorFromRect(&Rect, MonitorFlags(Default)));
}

TMonitor* TScreen::MonitorFromWindow(HWND Handle, TMonitorDefaultTo Default) {
  return MonitorOf(::MonitorFromWindow(Handle, MonitorFlags(Default)));
}

// ---------------------------------------------------------------------------------------------
// Mouse

TPoint TMouse::GetCursorPos() const {
  POINT p;
  ::GetCursorPos(&p);
  return p;
}

void TMouse::SetCursorPos(TPoint Value) { ::SetCursorPos(Value.X, Value.Y); }

HWND TMouse::GetCapture() const { return ::GetCapture(); }

void TMouse::SetCapture(HWND Value) {
  if (Value)
    ::SetCapture(Value);
  else
    ReleaseCapture();
}

Integer TMouse::GetWheelScrollLines() const {
  UINT lines = 3;
  if (!SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) lines = 3;
  return static_cast<Integer>(lines);
}
