// The detail areas of levels: where a level's children are offered as tabs around the active
// child's view.
#pragma once

#include "grid/qvGridCustomView.h"

class TqvGridLevel;

// A level tab: its level and whose tabs they are (the grid for the root tabs).
class TqvGridDetailsSiteTabHitTest : public TqvCustomGridHitTest {
  QJ_CLASS(TqvGridDetailsSiteTabHitTest, TqvCustomGridHitTest)
 public:
  static Integer HitTestCode() { return 50; }

  TqvGridLevel* GetLevel() const { return FLevel; }
  void SetLevel(TqvGridLevel* AValue) { FLevel = AValue; }
  TObject* GetOwner() const { return FOwner; }
  void SetOwner(TObject* AValue) { FOwner = AValue; }

 private:
  TqvGridLevel* FLevel = nullptr;
  TObject* FOwner = nullptr;
};
