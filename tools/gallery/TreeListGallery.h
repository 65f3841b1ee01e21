// Shared by the tree list's gallery pages: a component that keeps the tree list units started
// while its page lives (owned first by the page, so freed last).
#pragma once

#include "platform/rtl/Component.h"
#include "treelist/zmTLResources.h"

class TTreeListUnitsHolder : public TComponent {
  QJ_INLINE_CLASS(TTreeListUnitsHolder, TComponent)
 public:
  using TComponent::TComponent;

 private:
  TzmTreeListUnits FUnits;
};
