#include <exception>
#include <unordered_map>
#include <utility>

#include "grid/qvGrid.h"
#include "grid/qvGridCustomView.h"

QJ_IMPLEMENT_CLASS(TqvCustomGridChange)
QJ_IMPLEMENT_CLASS(TqvCustomGridViewChange)
QJ_IMPLEMENT_CLASS(TqvGridLayoutChange)
QJ_IMPLEMENT_CLASS(TqvGridSizeChange)
QJ_IMPLEMENT_CLASS(TqvGridViewChange)
QJ_IMPLEMENT_CLASS(TqvGridControlFocusChange)

namespace {

struct TChangeKey {
  TClass Class;
  const void* View;
  size_t Key;
  friend bool operator==(const TChangeKey&, const TChangeKey&) = default;
};

struct TChangeKeyHash {
  size_t operator()(const TChangeKey& AKey) const {
    size_t h = std::hash<const void*>()(AKey.Class);
    h ^= std::hash<const void*>()(AKey.View) + 0x9E3779B97F4A7C15ULL + (h << 6) + (h >> 2);
    h ^= AKey.Key + 0x9E3779B97F4A7C15ULL + (h << 6) + (h >> 2);
    return h;
  }
};

TChangeKey MergeKeyOf(const TqvCustomGridChange* AChange) {
  return {AChange->ClassType(), AChange->GetGridView(), AChange->GetMergeKey()};
}

TChangeKey CoverKeyOf(const TqvCustomGridChange* AChange) {
  return {AChange->ClassType(), AChange->GetGridView(), 0};
}

}  // namespace

// Changes that may be equal share a merge key, so each change is compared only with the kept
// changes of its own key.
void MergeEqualChanges(std::vector<TOwned<TqvCustomGridChange>>& AChanges) {
  std::unordered_map<TChangeKey, std::vector<TqvCustomGridChange*>, TChangeKeyHash> kept;
  std::vector<TOwned<TqvCustomGridChange>> result;
  result.reserve(AChanges.size());
  for (TOwned<TqvCustomGridChange>& change : AChanges) {
    if (change->MergesWhenEqual()) {
      std::vector<TqvCustomGridChange*>& equals = kept[MergeKeyOf(change.get())];
      bool merged = false;
      for (TqvCustomGridChange* first : equals)
        if (first->SameAs(change.get())) {
          merged = true;
          break;
        }
      if (merged) {
        change.reset();
        continue;
      }
      equals.push_back(change.get());
    }
    result.push_back(std::move(change));
  }
  AChanges = std::move(result);
}

// Walked from the end: the later changes are represented by one change per (class, view), and
// whether a change is covered depends only on those, so each (class, view) of the batch asks
// each later representative once.
void DropCoveredChanges(std::vector<TOwned<TqvCustomGridChange>>& AChanges) {
  struct TAnswer {
    size_t Asked = 0;
    bool Covered = false;
  };
  std::vector<TqvCustomGridChange*> later;
  std::unordered_map<TChangeKey, size_t, TChangeKeyHash> laterIndex;
  std::unordered_map<TChangeKey, TAnswer, TChangeKeyHash> answers;
  std::vector<bool> dropped(AChanges.size(), false);
  for (size_t i = AChanges.size(); i-- > 0;) {
    TqvCustomGridChange* change = AChanges[i].get();
    const TChangeKey key = CoverKeyOf(change);
    TAnswer& answer = answers[key];
    while (!answer.Covered && answer.Asked < later.size()) answer.Covered = change->IsCoveredBy(later[answer.Asked++]);
    dropped[i] = answer.Covered;
    if (laterIndex.emplace(key, later.size()).second) later.push_back(change);
  }
  std::vector<TOwned<TqvCustomGridChange>> result;
  result.reserve(AChanges.size());
  for (size_t i = 0; i < AChanges.size(); ++i)
    if (!dropped[i]) result.push_back(std::move(AChanges[i]));
  AChanges.clear();
  AChanges = std::move(result);
}

TqvGridChangeQueue::TqvGridChangeQueue(TExecuteProc AExecute) : FExecute(std::move(AExecute)) {}

TqvGridChangeQueue::~TqvGridChangeQueue() = default;

void TqvGridChangeQueue::Run(TOwned<TqvCustomGridChange> AChange) { FExecute(AChange.get()); }

void TqvGridChangeQueue::Add(TOwned<TqvCustomGridChange> AChange) {
  if (AChange->WaitsForUnlock() && IsLocked())
    FChanges.push_back(std::move(AChange));
  else
    Run(std::move(AChange));
}

void TqvGridChangeQueue::EndUpdate() {
  if (FLockCount <= 0) return;
  if (--FLockCount > 0) return;
  TBatch batch = std::move(FChanges);
  FChanges.clear();
  MergeEqualChanges(batch);
  DropCoveredChanges(batch);
  RunBatch(batch);
}

void TqvGridChangeQueue::CancelUpdate() {
  if (FLockCount <= 0) return;
  if (--FLockCount > 0) return;
  TBatch batch = std::move(FChanges);
  FChanges.clear();
}

// The batch stays reachable while it runs, so that a view freed by one change takes its later
// changes with it. The queue itself may be freed by a change: the rest is then freed unrun.
void TqvGridChangeQueue::RunBatch(TBatch& ABatch) {
  TAliveToken alive = FAlive.Token();
  FRunningBatches.push_back(&ABatch);
  std::exception_ptr first;
  const size_t count = ABatch.size();
  for (size_t i = 0; i < count; ++i) {
    TOwned<TqvCustomGridChange> change = std::move(ABatch[i]);
    if (!change) continue;
    try {
      Run(std::move(change));
    } catch (...) {
      if (!first) first = std::current_exception();
    }
    if (!alive) break;
  }
  if (alive) FRunningBatches.pop_back();
  if (first) std::rethrow_exception(first);
}

void TqvGridChangeQueue::RemoveViewChanges(TqvCustomGridView* AView) {
  const auto isOfView = [AView](const TOwned<TqvCustomGridChange>& AChange) {
    return AChange && AChange->GetGridView() == AView;
  };
  std::erase_if(FChanges, isOfView);
  for (TBatch* batch : FRunningBatches)
    for (TOwned<TqvCustomGridChange>& change : *batch)
      if (isOfView(change)) change.reset();
}

// ---------------------------------------------------------------------------------------------
// The changes of views

bool TqvCustomGridViewChange::SameAs(TqvCustomGridChange* AChange) {
  return inherited::SameAs(AChange) && AChange->GetGridView() == FGridView;
}

void TqvGridLayoutChange::Execute() {
  TqvCustomGridView* view = GetGridView();
  TqvCustomGrid* grid = GetControl();
  if (view) {
    if (!view->IsVisibleOrPattern()) return;
    const TRect bounds = view->GetSite()->GetBoundsRect();
    if (!bounds.IsEmpty()) {
      view->GetViewInfo()->MainCalculate(bounds);
      view->GetPainter()->Invalidate();
    }
  } else if (grid) {
    grid->GetViewInfo()->Calculate();
    grid->GetGridPainter()->Invalidate();
  }
  if (grid) grid->DoLayoutChanged(view);
}

bool TqvGridLayoutChange::IsCoveredBy(TqvCustomGridChange* AChange) {
  if (!AChange->InheritsFrom<TqvGridLayoutChange>() && !AChange->InheritsFrom<TqvGridSizeChange>()) return false;
  TqvCustomGridView* other = AChange->GetGridView();
  return !other || (GetGridView() && GetGridView()->IsDetailOf(other));
}

// Measuring again climbs to the master that lays the view out: the grid for a top view.
void TqvGridSizeChange::Execute() {
  TqvCustomGridView* view = GetGridView();
  TqvCustomGrid* grid = GetControl();
  if (!view) {
    if (!grid) return;
    if (TqvCustomGridView* active = grid->GetActiveView())
      active->SizeChanged(FViewOnly, FKeepMaster);
    else
      grid->LayoutChanged();
    return;
  }
  if (!view->IsVisibleOrPattern()) return;
  view->GetViewInfoCache()->ResetValues(FKeepMaster);
  if (FViewOnly && FKeepMaster) {
    view->LayoutChanged(true);
  } else if (TqvCustomGridView* master = view->GetMasterGridView()) {
    if (!master->SizeChanged(false, FKeepMaster)) view->LayoutChanged(true);
  } else if (TqvCustomGrid* viewGrid = view->GetGrid()) {
    viewGrid->LayoutChanged();
  } else {
    view->LayoutChanged(true);
  }
}

bool TqvGridSizeChange::SameAs(TqvCustomGridChange* AChange) {
  return inherited::SameAs(AChange) && static_cast<TqvGridSizeChange*>(AChange)->FViewOnly == FViewOnly;
}

void TqvGridViewChange::Execute() {
  TqvCustomGridView* view = GetGridView();
  if (!view) return;
  if (FBounds.IsEmpty())
    view->GetPainter()->Invalidate();
  else
    view->GetPainter()->InvalidateRect(FBounds);
}

void TqvGridControlFocusChange::Execute() {
  TqvCustomGridView* view = GetGridView();
  if (view && view->IsVisibleOrPattern()) view->GetController()->ControlFocusChanged();
}
