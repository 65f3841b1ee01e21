// Access to the visual styles: one cached theme handle per theme class, opened on demand; the
// test every themed drawing makes first (AreThemesAvailable); and the broadcast of theme changes
// to subscribers. The visual styles themselves are the drawing layer's theme engine, which is
// always present; when it is switched off no theme is active and every caller draws classic.
#pragma once

#include <functional>
#include <vector>

#include "platform/os/Theme.h"
#include "platform/rtl/SysUtils.h"

struct TMessage;

// The 24 theme classes in their fixed order; masks use bit (1 << class).
enum TzmThemeClass {
  totButton, totClock, totComboBox, totEdit, totExplorerBar, totHeader, totListView, totMenu, totPage, totProgress,
  totRebar, totScrollBar, totSpin, totStartPanel, totStatus, totTab, totTaskBand, totTaskBar, totToolBar, totToolTip,
  totTrackBar, totTrayNotify, totTreeView, totWindow
};
constexpr Integer zmThemeClassCount = 24;
constexpr Cardinal ThemeClassMask(TzmThemeClass AClass) { return 1u << AClass; }
// The default class name of an index ("Button" ...).
const WideString& GetThemeClassName(TzmThemeClass AClass);

struct TzmThemeData {
  HTHEME Theme = nullptr;
  WideString ClassList;
};

// Themes are active and, for a non-zero mask, every class of a set bit opens.
bool AreThemesAvailable(Cardinal AClassMask = 0);
// The cached handle of a class (opened with AClassList, the stored list or the default name);
// nullptr when themes are unavailable or the class does not open.
HTHEME OpenTheme(TzmThemeClass AClass, const WideString& AClassList = WideString());
void CloseTheme(TzmThemeClass AClass);
// Closes every handle; the class lists stay, so the next OpenTheme reopens the same list.
void CloseAllThemes();
// The drawing layer's engine is linked in: always true.
bool IsUxThemeLoaded();

// Calls OnThemeChanged after each theme change, while it lives.
class TzmThemeChangedNotificator : public TObject {
  QJ_CLASS(TzmThemeChangedNotificator, TObject)
 public:
  TzmThemeChangedNotificator();
  ~TzmThemeChangedNotificator() override;

  std::function<void()> OnThemeChanged;
};

// A hidden window hearing WM_THEMECHANGED: closes every handle, refreshes the themes-active
// flag, then tells the subscribers in order. A subscriber that raises goes to the application's
// exception handler and the others still hear the change.
class TzmThemeChangedEventReceiver : public TObject {
  QJ_CLASS(TzmThemeChangedEventReceiver, TObject)
 public:
  TzmThemeChangedEventReceiver();
  ~TzmThemeChangedEventReceiver() override;

  void ThemeChanged();

 private:
  void WndProc(TMessage& Message);
  HWND FWindow = nullptr;
};

// Start-up (flag, receiver) and shut-down (receiver, handles) of the theme manager.
void InitThemeManager();
void DoneThemeManager();
