#include "grid/qvNavigator.h"

#include <algorithm>

QJ_IMPLEMENT_CLASS(TqvNavigatorControlNotifier)

void TqvNavigatorControlNotifier::AddNavigator(IqvNavigatorOwner* ANavigator) {
  if (std::find(FNavigators.begin(), FNavigators.end(), ANavigator) == FNavigators.end())
    FNavigators.push_back(ANavigator);
}

void TqvNavigatorControlNotifier::RemoveNavigator(IqvNavigatorOwner* ANavigator) {
  std::erase(FNavigators, ANavigator);
}

void TqvNavigatorControlNotifier::RefreshNavigators() {
  const std::vector<IqvNavigatorOwner*> navigators = FNavigators;
  for (IqvNavigatorOwner* navigator : navigators)
    if (std::find(FNavigators.begin(), FNavigators.end(), navigator) != FNavigators.end())
      navigator->RefreshNavigatorButtons();
}
