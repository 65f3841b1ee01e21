// The grid control: the window that hosts grid views, their tree of levels, the change queue
// that packages every visible change of a view, the active tab and the focused view, and the
// subscribers to grid-wide events.
//
// Where the parts live:
//   change objects and the queue   this header's first half; qvGridChanges.cpp
//   the grid's controller (drag opening), painter and view info   qvGridController.cpp
//   the control                    qvGrid.cpp (construction, the queue, views, subscribers, input,
//                                  streaming, renaming), qvGridFocus.cpp (active level, focused
//                                  view, control focus, navigator forwarding)
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "grid/qvGridCommon.h"
#include "grid/qvNavigator.h"
#include "lookandfeel/qvControls.h"

class TqvCustomGrid;
class TqvCustomGridCellViewInfo;
class TqvCustomGridHitTest;
class TqvCustomGridView;
class TqvGridLevel;
class TqvGridLevelOptions;
class TqvGridLevelStyles;
class TqvGridTopDetailsSiteViewInfo;

// ---------------------------------------------------------------------------------------------
// Changes

// One visible change. The queue owns it from AddChange on and frees it whether it ran, merged,
// was covered, was cancelled or raised.
//
// What the queue relies on to coalesce a batch without comparing every pair:
// - SameAs answers True only for a change of the same class, the same GetGridView and an equal
//   GetMergeKey (descendants call the inherited SameAs and fold the fields they compare into
//   the key);
// - IsCoveredBy depends only on the class and the GetGridView of both changes.
class TqvCustomGridChange : public TObject {
  QJ_CLASS(TqvCustomGridChange, TObject)
 public:
  // The grid, set just before Execute; nullptr when a view without a grid runs the change.
  TqvCustomGrid* GetControl() const { return FControl; }
  void SetControl(TqvCustomGrid* AControl) { FControl = AControl; }

  // In slot order.
  virtual void Execute() = 0;
  virtual bool IsCoveredBy(TqvCustomGridChange* /*AChange*/) { return false; }
  virtual bool MergesWhenEqual() { return true; }
  virtual bool SameAs(TqvCustomGridChange* AChange) { return AChange->ClassType() == ClassType(); }
  virtual bool WaitsForUnlock() { return true; }

  // The view the change is about; nullptr for the whole grid.
  virtual TqvCustomGridView* GetGridView() const { return nullptr; }
  // What equal changes share besides their class and view.
  virtual size_t GetMergeKey() const { return 0; }

 private:
  TqvCustomGrid* FControl = nullptr;
};

// The changes waiting for the last unlock and the lock count (never negative). A unit of its
// own, free of windows: the grid hands it the procedure that runs one change.
class TqvGridChangeQueue {
 public:
  // Runs one change; the queue frees it afterwards, also when it raises.
  using TExecuteProc = std::function<void(TqvCustomGridChange* AChange)>;

  explicit TqvGridChangeQueue(TExecuteProc AExecute);
  ~TqvGridChangeQueue();
  TqvGridChangeQueue(const TqvGridChangeQueue&) = delete;
  TqvGridChangeQueue& operator=(const TqvGridChangeQueue&) = delete;

  void BeginUpdate() { ++FLockCount; }
  // At the last unlock the batch is coalesced and run in order. A change that raises does not
  // stop the others: they still run, and the first exception is raised again afterwards.
  // Nothing at lock count 0.
  void EndUpdate();
  // As EndUpdate, but the last unlock frees the batch unrun.
  void CancelUpdate();
  // Queued when it waits for the unlock and the queue is locked; otherwise run at once.
  void Add(TOwned<TqvCustomGridChange> AChange);
  // Frees, unrun, every change of AView that is queued or still waits in a running batch.
  void RemoveViewChanges(TqvCustomGridView* AView);

  Integer GetLockCount() const { return FLockCount; }
  bool IsLocked() const { return FLockCount > 0; }
  Integer GetCount() const { return static_cast<Integer>(FChanges.size()); }
  TqvCustomGridChange* GetItem(Integer AIndex) const { return FChanges.at(static_cast<size_t>(AIndex)).get(); }

 private:
  using TBatch = std::vector<TOwned<TqvCustomGridChange>>;

  void Run(TOwned<TqvCustomGridChange> AChange);
  void RunBatch(TBatch& ABatch);

  TExecuteProc FExecute;
  TBatch FChanges;
  Integer FLockCount = 0;
  // The batches being run (nested when a change locks and unlocks the queue again).
  std::vector<TBatch*> FRunningBatches;
  TAliveFlag FAlive;
};

// The two steps of coalescing one batch: equal changes merge into the first (repaints never
// merge), then every change covered by a later one is dropped; the rest keep their order.
void MergeEqualChanges(std::vector<TOwned<TqvCustomGridChange>>& AChanges);
void DropCoveredChanges(std::vector<TOwned<TqvCustomGridChange>>& AChanges);

// A change of one view (nullptr: the whole grid).
class TqvCustomGridViewChange : public TqvCustomGridChange {
 public:
  using MetaType = TMetaClassFor<TqvCustomGridViewChange, TqvCustomGridView*>;
  QJ_CLASS(TqvCustomGridViewChange, TqvCustomGridChange)

 public:
  explicit TqvCustomGridViewChange(TqvCustomGridView* AGridView) : FGridView(AGridView) {}
  TqvCustomGridView* GetGridView() const override { return FGridView; }
  // The same class and the same view.
  bool SameAs(TqvCustomGridChange* AChange) override;

 private:
  TqvCustomGridView* FGridView;
};

// The view is laid out again and repainted; without a view the grid lays out its root and
// repaints everything.
class TqvGridLayoutChange : public TqvCustomGridViewChange {
  QJ_CLASS(TqvGridLayoutChange, TqvCustomGridViewChange)
 public:
  using TqvCustomGridViewChange::TqvCustomGridViewChange;
  void Execute() override;
  // By a later layout or size change of the whole grid or of a master of the view.
  bool IsCoveredBy(TqvCustomGridChange* AChange) override;
};

// Everything of the view is measured again.
class TqvGridSizeChange : public TqvCustomGridViewChange {
  QJ_CLASS(TqvGridSizeChange, TqvCustomGridViewChange)
 public:
  explicit TqvGridSizeChange(TqvCustomGridView* AGridView, bool AViewOnly = false, bool AKeepMaster = false)
      : TqvCustomGridViewChange(AGridView), FKeepMaster(AKeepMaster), FViewOnly(AViewOnly) {}
  bool GetKeepMaster() const { return FKeepMaster; }
  bool GetViewOnly() const { return FViewOnly; }
  void Execute() override;
  // Also an equal ViewOnly (KeepMaster is not compared).
  bool SameAs(TqvCustomGridChange* AChange) override;
  size_t GetMergeKey() const override { return FViewOnly ? 1 : 0; }

 private:
  bool FKeepMaster;
  bool FViewOnly;
};

// A repaint of the view's site, of Bounds only when not empty; never merged.
class TqvGridViewChange : public TqvCustomGridViewChange {
  QJ_CLASS(TqvGridViewChange, TqvCustomGridViewChange)
 public:
  explicit TqvGridViewChange(TqvCustomGridView* AGridView, const TRect& ABounds = TRect())
      : TqvCustomGridViewChange(AGridView), FBounds(ABounds) {}
  const TRect& GetBounds() const { return FBounds; }
  void Execute() override;
  bool MergesWhenEqual() override { return false; }

 private:
  TRect FBounds;
};

// The view shows again whether the grid has the input focus.
class TqvGridControlFocusChange : public TqvCustomGridViewChange {
  QJ_CLASS(TqvGridControlFocusChange, TqvCustomGridViewChange)
 public:
  using TqvCustomGridViewChange::TqvCustomGridViewChange;
  void Execute() override;
};

// ---------------------------------------------------------------------------------------------
// Subscribers

enum TqvGridNotificationKind {
  nkFocusedView,    // the focused view changed
  nkFocusedRecord,  // a table view's focused record changed
  nkRecordCount,    // a table view rebuilt its records
  nkContextPopup,   // the right button was released over the grid or a site
  nkCustomization,  // a table view's customization form was shown or hidden
  nkKeyDown,        // a key-down notification reached a site; the data is the message
};
using TqvGridNotificationKinds = Byte;  // bit (1 << kind), kinds 0 to 7
constexpr TqvGridNotificationKinds nkBit(TqvGridNotificationKind AKind) {
  return static_cast<TqvGridNotificationKinds>(1u << AKind);
}

// A subscriber to grid-wide events (the grid's popup menus, the navigator). Not owned by the
// grid: whoever adds it removes it before freeing it.
class TqvCustomGridNotification : public TObject {
  QJ_CLASS(TqvCustomGridNotification, TObject)
 public:
  virtual TqvGridNotificationKinds GetSupportedKinds() = 0;
  // AData: the key message for nkKeyDown (a Result set to non-zero suppresses the site's own
  // handling), nullptr otherwise.
  virtual void Notify(TqvGridNotificationKind AKind, TMessage* AData) = 0;
};

// ---------------------------------------------------------------------------------------------
// Drag opening of tabs

// What opens when a drag rests over it for the grid's wait: a level tab, a master row.
class TqvCustomGridDragOpenInfo : public TObject {
  QJ_CLASS(TqvCustomGridDragOpenInfo, TObject)
 public:
  // The same class; descendants also compare what they open.
  virtual bool Matches(TqvCustomGridDragOpenInfo* AInfo) { return AInfo->ClassType() == ClassType(); }
  virtual void Open() = 0;
};

class TqvGridDragOpenInfoTab : public TqvCustomGridDragOpenInfo {
  QJ_CLASS(TqvGridDragOpenInfoTab, TqvCustomGridDragOpenInfo)
 public:
  explicit TqvGridDragOpenInfoTab(TqvGridLevel* ALevel) : FLevel(ALevel) {}
  TqvGridLevel* GetLevel() const { return FLevel; }
  // Also the same level.
  bool Matches(TqvCustomGridDragOpenInfo* AInfo) override;
  // The level becomes active.
  void Open() override;

 private:
  TqvGridLevel* FLevel;
};

// ---------------------------------------------------------------------------------------------
// The grid's own handlers

// Input of the grid window itself (the area of the root tabs): the mouse to the tab under it (or
// holding the capture), the context-popup notification, drag opening of level tabs and cancel
// mode.
class TqvGridController : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvGridController, TqvCustomGrid*>;
  QJ_CLASS(TqvGridController, TObject)

 public:
  explicit TqvGridController(TqvCustomGrid* AControl) : FControl(AControl) {}
  ~TqvGridController() override;
  TqvCustomGrid* GetControl() const { return FControl; }

  // The cell under the point hears the press.
  virtual void MouseDown(TMouseButton AButton, TShiftState AShift, Integer X, Integer Y);
  // The cell holding the mouse capture hears them, else the cell under the point (the tabs
  // hot-track); a right-button release then sends nkContextPopup.
  virtual void MouseMove(TShiftState AShift, Integer X, Integer Y);
  virtual void MouseUp(TMouseButton AButton, TShiftState AShift, Integer X, Integer Y);
  // The active view's controller ends what the mouse was doing.
  virtual void DoCancelMode();
  // Drag opening: a drag resting over a level tab opens it after the grid's wait.
  virtual void DragOver(TObject* ASource, Integer X, Integer Y, TDragState AState, bool& AAccept);
  virtual void EndDrag(TObject* ATarget, Integer X, Integer Y);
  // What opens at P (client coordinates): a level tab; nullptr for anything else.
  virtual TOwned<TqvCustomGridDragOpenInfo> GetDragOpenInfo(TqvCustomGridHitTest* AHitTest);

  TqvCustomGridDragOpenInfo* GetDragOpenInfo() const { return FDragOpenInfo.get(); }
  bool IsDragOpenTimerRunning() const;

 private:
  void StopDragOpening();
  void DragOpenTimerHandler(TObject* Sender);
  TqvCustomGridCellViewInfo* MouseTargetCell(TqvCustomGridHitTest* AHitTest) const;

  TqvCustomGrid* FControl;
  TOwned<TqvCustomGridDragOpenInfo> FDragOpenInfo;
  // Kept once made: a timer is not freed inside its own handler.
  TOwned<TTimer> FDragOpenTimer;
};

// Paints the grid window around the views' sites: the root level's detail area.
class TqvGridPainter : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvGridPainter, TqvCustomGrid*>;
  QJ_CLASS(TqvGridPainter, TObject)

 public:
  explicit TqvGridPainter(TqvCustomGrid* AControl) : FControl(AControl) {}
  TqvCustomGrid* GetControl() const { return FControl; }
  // The root level's detail area: its tabs and, around the active view's site, the grid's
  // colour (the sites paint themselves).
  virtual void Paint();
  // The grid, every view (patterns through their clones) and every site window.
  virtual void Invalidate();

 private:
  TqvCustomGrid* FControl;
};

// Lays out the root of the grid: the root level's detail area fills the client area with the
// root tabs and the active view. The area is made anew at every layout, so that its tabs are
// those of the visible levels; the views of the other tabs leave the client area (or are
// parked while they hold the focus).
class TqvGridViewInfo : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvGridViewInfo, TqvCustomGrid*>;
  QJ_CLASS(TqvGridViewInfo, TObject)

 public:
  explicit TqvGridViewInfo(TqvCustomGrid* AControl);
  ~TqvGridViewInfo() override;
  TqvCustomGrid* GetControl() const { return FControl; }
  virtual void Calculate();
  // What lies at P (client coordinates): a root tab, or what the active view has there; the
  // none hit test elsewhere.
  virtual TOwned<TqvCustomGridHitTest> GetHitTest(TPoint P);
  // The root level's detail area of the last layout.
  TqvGridTopDetailsSiteViewInfo* GetDetailsSite() const { return FDetailsSite.get(); }

 private:
  void RecreateDetailsSite();

  TqvCustomGrid* FControl;
  TOwned<TqvGridTopDetailsSiteViewInfo> FDetailsSite;
};

using TqvGridControllerClass = const TqvGridController::MetaType*;
using TqvGridPainterClass = const TqvGridPainter::MetaType*;
using TqvGridViewInfoClass = const TqvGridViewInfo::MetaType*;
using TqvGridLevelClass = const TComponent::MetaType*;

// ---------------------------------------------------------------------------------------------
// The grid control

using TqvGridActiveTabChangedEvent = std::function<void(TqvCustomGrid* Sender, TqvGridLevel* ALevel)>;
using TqvGridFocusedViewChangedEvent =
    std::function<void(TqvCustomGrid* Sender, TqvCustomGridView* APrevFocusedView, TqvCustomGridView* AFocusedView)>;
using TqvGridLayoutChangedEvent = std::function<void(TqvCustomGrid* Sender, TqvCustomGridView* AGridView)>;

// The grid's cursors (the control foundation registers them at start-up).
constexpr TCursor crqvGridHorzSize = crqvHorzSize, crqvGridVertSize = crqvVertSize, crqvGridRemove = crqvRemove,
                  crqvGridNoDrop = crqvNoDrop, crqvGridDrag = crqvDrag, crqvGridMultiDrag = crqvMultiDrag;

// The windowed control that hosts grid views. A new grid is 250 x 200 pixels. Code that fires
// an event of the grid checks the grid's AliveToken before it touches the grid again.
class TqvCustomGrid : public TqvControl, public IqvNavigator {
  QJ_CLASS(TqvCustomGrid, TqvControl)
 public:
  static constexpr Integer DefaultWidth = 250;
  static constexpr Integer DefaultHeight = 200;
  static constexpr Integer DefaultDragOpeningWaitTime = 500;

  explicit TqvCustomGrid(TComponent* AOwner);
  ~TqvCustomGrid() override;
  // The root level and the handlers, from the class getters.
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // -- Change queue
  void BeginUpdate() { FChanges.BeginUpdate(); }
  // The last unlock runs the queued changes.
  void EndUpdate() { FChanges.EndUpdate(); }
  // The last unlock frees the queued changes unrun (a detail clone was built).
  void CancelUpdate() { FChanges.CancelUpdate(); }
  bool IsUpdateLocked() const { return FChanges.IsLocked(); }
  // Queued while locked when it waits for the unlock; otherwise run at once.
  void AddChange(TOwned<TqvCustomGridChange> AChange) { FChanges.Add(std::move(AChange)); }
  // Runs a change for this grid, unless the grid is being destroyed; frees it in every case.
  void ExecuteChange(TOwned<TqvCustomGridChange> AChange);
  const TqvGridChangeQueue& GetChangeQueue() const { return FChanges; }
  // Not while loading: a layout change, a size change of the whole grid.
  virtual void LayoutChanged();
  virtual void SizeChanged();

  // -- Levels, tabs and focus (qvGridFocus.cpp)
  TqvGridLevel* GetRootLevel() const { return FRootLevel.get(); }
  TqvGridLevelOptions* GetRootLevelOptions() const;
  TqvGridLevelStyles* GetRootLevelStyles() const;
  // The objects are edited in place: the setters do nothing.
  void SetRootLevelOptions(TqvGridLevelOptions*) {}
  void SetRootLevelStyles(TqvGridLevelStyles*) {}
  TqvGridLevel* GetActiveLevel() const { return FActiveLevel; }
  // nullptr means the first visible child of the root.
  void SetActiveLevel(TqvGridLevel* ALevel);
  // The view of the active level.
  TqvCustomGridView* GetActiveView() const;
  TqvCustomGridView* GetFocusedView() const { return FFocusedView; }
  // A view that cannot be focused is refused. nullptr, or a view being destroyed, is replaced by
  // the nearest live master of the focused view or the first live view of a top level.
  void SetFocusedView(TqvCustomGridView* AView);
  // After a level was shown or hidden: a focused view that cannot be focused any more gives the
  // focus to the active view or a replacement.
  void CheckFocusedView();
  // A site reports that the input focus came or went.
  void SetControlFocused(bool AFocused);
  bool GetControlFocused() const { return FControlFocused; }
  // The grid window has the focus, or the focused control of its form lies inside the grid.
  bool IsFocused() override;
  // The client area inside the border: where the views are laid out.
  TRect GetClientBounds() override { return TqvControl::GetClientBounds(); }

  // -- Views
  Integer GetViewCount() const { return static_cast<Integer>(FViews.size()); }
  TqvCustomGridView* GetView(Integer AIndex) const { return FViews.at(static_cast<size_t>(AIndex)); }
  // Called when a view is attached to or detached from the grid.
  void AddView(TqvCustomGridView* AView);
  void RemoveView(TqvCustomGridView* AView);

  // -- Subscribers
  void AddNotification(TqvCustomGridNotification* ANotification);
  void RemoveNotification(TqvCustomGridNotification* ANotification);
  // Every subscriber supporting the kind, in the order they were added.
  void SendNotification(TqvGridNotificationKind AKind, TMessage* AData = nullptr);

  // -- Handlers and settings
  TqvGridController* GetController() const { return FController.get(); }
  // GetPainter is the control's look-and-feel painter.
  TqvGridPainter* GetGridPainter() const { return FPainter.get(); }
  TqvGridViewInfo* GetViewInfo() const { return FViewInfo.get(); }
  TqvNavigatorControlNotifier* GetNavigatorNotifier() const { return FNavigatorNotifier.get(); }
  TqvLookAndFeelPainterClass GetLookAndFeelPainter() const { return GetPainter(); }
  bool GetDragOpening() const { return FDragOpening; }
  void SetDragOpening(bool AValue) { FDragOpening = AValue; }
  Integer GetDragOpeningWaitTime() const { return FDragOpeningWaitTime; }
  // A negative value is stored as 0.
  void SetDragOpeningWaitTime(Integer AValue);

  // -- IqvNavigator: forwarded to the focused view
  bool CanDelete() override;
  bool CanEdit() override;
  bool CanInsert() override;
  bool IsBof() override;
  bool IsBookmarkAvailable() override;
  bool IsEditing() override;
  bool IsEof() override;
  void ClearBookmark() override;
  void DoAction(Integer AButtonIndex) override;
  TqvNavigatorControlNotifier* GetNotifier() override { return GetNavigatorNotifier(); }
  bool IsActionSupported(Integer) override { return true; }

  // -- Streaming and naming
  // A new name renames the views and levels named after the old one.
  void SetName(const String& NewName) override;
  // The platform's children, then the views, then the levels (a level finds its view when read).
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  TqvGridActiveTabChangedEvent OnActiveTabChanged;
  TqvGridFocusedViewChangedEvent OnFocusedViewChanged;
  TqvGridLayoutChangedEvent OnLayoutChanged;

 protected:
  // In slot order.
  virtual void CreateHandlers();
  virtual void DestroyHandlers();
  virtual void DoActiveTabChanged(TqvGridLevel* ALevel);
  virtual void DoLayoutChanged(TqvCustomGridView* AGridView);
  virtual void DoFocusedViewChanged(TqvCustomGridView* APrevFocusedView, TqvCustomGridView* AFocusedView);
  virtual TqvGridControllerClass GetControllerClass() const;
  virtual TqvGridLevelClass GetLevelClass() const;
  virtual TqvGridPainterClass GetPainterClass() const;
  virtual TqvGridViewInfoClass GetViewInfoClass() const;

  void Loaded() override;
  // The views' sites scroll, the grid does not.
  bool HasScrollBars() const override { return false; }
  void LookAndFeelChanged(TqvLookAndFeel* Sender, TqvLookAndFeelValues AChangedValues) override;
  void BoundsChanged() override;
  void FocusChanged() override;
  void Paint() override;
  void WndProc(TMessage& Message) override;
  void DoCancelMode() override;
  void BeforeMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

 public:
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) override;
  void DoEndDrag(TObject* Target, Integer X, Integer Y) override;

 private:
  friend class TqvGridLayoutChange;

  void RunChange(TqvCustomGridChange* AChange);
  IqvNavigator* FocusedNavigator() const;
  TqvCustomGridView* FindFocusReplacement(TqvCustomGridView* AOldView) const;
  void ChangeFocusedView(TqvCustomGridView* AView);
  void RenameOwnedComponents(const String& AOldName, const String& ANewName);

  TqvGridLevel* FActiveLevel = nullptr;
  TqvGridChangeQueue FChanges;
  TOwned<TqvGridController> FController;
  bool FDragOpening = true;
  Integer FDragOpeningWaitTime = DefaultDragOpeningWaitTime;
  TqvCustomGridView* FFocusedView = nullptr;
  bool FControlFocused = false;
  TOwned<TqvGridLevel> FRootLevel;
  TOwned<TqvNavigatorControlNotifier> FNavigatorNotifier;
  std::vector<TqvCustomGridNotification*> FNotifications;
  TOwned<TqvGridPainter> FPainter;
  TOwned<TqvGridViewInfo> FViewInfo;
  std::vector<TqvCustomGridView*> FViews;
  bool FRollingBackFocus = false;
};

// The published grid.
class TqvGrid : public TqvCustomGrid {
  QJ_CLASS(TqvGrid, TqvCustomGrid)
 public:
  using TqvCustomGrid::TqvCustomGrid;
};
