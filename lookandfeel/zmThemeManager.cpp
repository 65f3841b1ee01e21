// The theme handle cache, the availability test and the theme-change broadcast.
#include "lookandfeel/zmThemeManager.h"

#include <algorithm>
#include <array>

#include "lookandfeel/qvGraphics.h"
#include "platform/forms/Controls.h"
#include "platform/os/Windows.h"

QJ_IMPLEMENT_CLASS(TzmThemeChangedNotificator)
QJ_IMPLEMENT_CLASS(TzmThemeChangedEventReceiver)

namespace {

struct TThemeManager {
  bool Started = false;
  bool ThemesActive = false;
  std::array<TzmThemeData, zmThemeClassCount> Themes;
  std::vector<TzmThemeChangedNotificator*> Subscribers;
  TOwned<TzmThemeChangedEventReceiver> Receiver;
};

// Never destroyed: controls kept by process-wide objects (the default editors' lookup list) leave
// the subscribers at exit, after the statics made before them are gone.
TThemeManager& Manager() {
  static auto* manager = new TThemeManager;
  return *manager;
}

// Made on first use when the unit was not started.
TThemeManager& StartedManager() {
  TThemeManager& m = Manager();
  if (!m.Started) InitThemeManager();
  return m;
}

}  // namespace

const WideString& GetThemeClassName(TzmThemeClass AClass) {
  static const std::array<WideString, zmThemeClassCount> names = {
      u"Button",   u"Clock",    u"ComboBox", u"Edit",    u"ExplorerBar", u"Header",     u"ListView", u"Menu",
      u"Page",     u"Progress", u"Rebar",    u"ScrollBar", u"Spin",      u"StartPanel", u"Status",   u"Tab",
      u"TaskBand", u"TaskBar",  u"ToolBar",  u"ToolTip", u"TrackBar",    u"TrayNotify", u"TreeView", u"Window"};
  return names[size_t(AClass)];
}

bool IsUxThemeLoaded() { return true; }

bool AreThemesAvailable(Cardinal AClassMask) {
  if (!StartedManager().ThemesActive) return false;
  for (Integer i = 0; i < zmThemeClassCount; ++i)
    if ((AClassMask & (1u << i)) && !OpenTheme(TzmThemeClass(i))) return false;
  return true;
}

HTHEME OpenTheme(TzmThemeClass AClass, const WideString& AClassList) {
  if (AClass < 0 || AClass >= zmThemeClassCount || !AreThemesAvailable(0)) return nullptr;
  TzmThemeData& entry = Manager().Themes[size_t(AClass)];
  if (entry.Theme) {
    if (AClassList.empty() || UpperCase(WideToAnsi(AClassList)) == UpperCase(WideToAnsi(entry.ClassList)))
      return entry.Theme;
    CloseTheme(AClass);
  }
  const WideString list = !AClassList.empty()       ? AClassList
                          : !entry.ClassList.empty() ? entry.ClassList
                                                     : GetThemeClassName(AClass);
  entry.Theme = OpenThemeData(nullptr, list.c_str());
  entry.ClassList = entry.Theme ? list : WideString();
  return entry.Theme;
}

void CloseTheme(TzmThemeClass AClass) {
  if (AClass < 0 || AClass >= zmThemeClassCount) return;
  TzmThemeData& entry = Manager().Themes[size_t(AClass)];
  if (entry.Theme) CloseThemeData(entry.Theme);
  entry = TzmThemeData();
}

void CloseAllThemes() {
  for (TzmThemeData& entry : Manager().Themes)
    if (entry.Theme) {
      CloseThemeData(entry.Theme);
      entry.Theme = nullptr;
    }
}

// ---------------------------------------------------------------------------------------------
// Subscribers and the receiver

TzmThemeChangedNotificator::TzmThemeChangedNotificator() { StartedManager().Subscribers.push_back(this); }

TzmThemeChangedNotificator::~TzmThemeChangedNotificator() { std::erase(Manager().Subscribers, this); }

TzmThemeChangedEventReceiver::TzmThemeChangedEventReceiver() {
  FWindow = AllocateHWnd([this](TMessage& M) { WndProc(M); });
}

TzmThemeChangedEventReceiver::~TzmThemeChangedEventReceiver() {
  Manager().ThemesActive = false;
  DeallocateHWnd(FWindow);
}

void TzmThemeChangedEventReceiver::WndProc(TMessage& Message) {
  if (Message.Msg != WM_THEMECHANGED) {
    Message.Result = DefWindowProc(FWindow, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  CallRoutingExceptions(this, [this] { ThemeChanged(); });
  Message.Result = 0;
}

void TzmThemeChangedEventReceiver::ThemeChanged() {
  TThemeManager& m = Manager();
  CloseAllThemes();
  m.ThemesActive = IsThemeActive();
  // A subscriber freed by an earlier one is skipped; one added meanwhile waits for the next change.
  const std::vector<TzmThemeChangedNotificator*> snapshot = m.Subscribers;
  for (TzmThemeChangedNotificator* n : snapshot) {
    if (std::find(m.Subscribers.begin(), m.Subscribers.end(), n) == m.Subscribers.end()) continue;
    if (n->OnThemeChanged) CallRoutingExceptions(this, n->OnThemeChanged);
  }
}

void InitThemeManager() {
  TThemeManager& m = Manager();
  if (m.Started) return;
  m.Started = true;
  m.ThemesActive = IsThemeActive();
  m.Receiver = MakeOwned<TzmThemeChangedEventReceiver>();
}

void DoneThemeManager() {
  TThemeManager& m = Manager();
  m.Receiver.reset();
  CloseAllThemes();
  for (TzmThemeData& entry : m.Themes) entry = TzmThemeData();
  m.Started = false;
}
