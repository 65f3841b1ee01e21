// The connection between a record navigator and what it drives: the data source (IqvNavigator),
// the host that shows a navigator's row of buttons (IqvNavigatorOwner) and the notifier through
// which a data source tells the hosts of its navigators to refresh their buttons.
#pragma once

#include <vector>

#include "platform/rtl/System.h"

class TCanvas;
class TComponent;
class TWinControl;
class TqvCustomNavigatorButtons;
class TqvLookAndFeel;
class TqvNavigatorControlNotifier;

// The data source of a navigator: the enabled states of its buttons and their actions
// (AButtonIndex 0 to 14: first, prior page, prior, next, next page, last, insert, delete, edit,
// post, cancel, refresh, save bookmark, go to bookmark, filter).
class IqvNavigator : public virtual IInterface {
 public:
  virtual bool CanDelete() = 0;
  virtual bool CanEdit() = 0;
  virtual bool CanInsert() = 0;
  virtual bool IsBof() = 0;
  virtual bool IsBookmarkAvailable() = 0;
  virtual bool IsEditing() = 0;
  virtual bool IsEof() = 0;
  virtual void ClearBookmark() = 0;
  virtual void DoAction(Integer AButtonIndex) = 0;
  virtual TqvNavigatorControlNotifier* GetNotifier() = 0;
  virtual bool IsActionSupported(Integer AButtonIndex) = 0;
};

// The host that shows a navigator's row of buttons.
class IqvNavigatorOwner : public virtual IInterface {
 public:
  // The row's rectangle in the host control.
  virtual TRect NavigatorArea() = 0;
  virtual TqvCustomNavigatorButtons* NavigatorButtonSet() = 0;
  virtual TCanvas* NavigatorPaintCanvas() = 0;
  virtual TWinControl* NavigatorHostControl() = 0;
  virtual bool NavigatorHasFocus() = 0;
  virtual TqvLookAndFeel* NavigatorLookAndFeel() = 0;
  virtual TComponent* NavigatorOwnerComponent() = 0;
  virtual bool NavigatorShowsHints() = 0;
  virtual bool NavigatorIsTabStop() = 0;
  // Re-evaluates the enabled states of the buttons.
  virtual void RefreshNavigatorButtons() = 0;
  // A button's visibility, enabled flag or image, or the image list, changed.
  virtual void NavigatorContentChanged() = 0;
};

// The hosts of the navigators that show one data source; not owned.
class TqvNavigatorControlNotifier : public TObject {
  QJ_CLASS(TqvNavigatorControlNotifier, TObject)
 public:
  // Ignored for a host listed already.
  void AddNavigator(IqvNavigatorOwner* ANavigator);
  void RemoveNavigator(IqvNavigatorOwner* ANavigator);
  Integer GetNavigatorCount() const { return static_cast<Integer>(FNavigators.size()); }
  // Every host, in the order they were added, refreshes its buttons; a host removed by an
  // earlier one's refresh is skipped.
  void RefreshNavigators();

 private:
  std::vector<IqvNavigatorOwner*> FNavigators;
};
