// The view framework of the grid: the abstract view (a bundle of handler and option objects
// that a descendant chooses through virtual class getters), the handler bases (controller,
// painter, view data, view info, layout cache), the view's site window, hit tests, options,
// styles and the registry of view kinds.
//
// Map of this header:
//   IqvGridDataControllerViewLink, TqvGridViewHandler             handler base
//   TqvCustomGridHitTest, TqvGridNoneHitTest                      hit tests and their cache
//   TqvCustomGridController, TqvCustomGridPainter,
//   TqvCustomGridViewData, TqvCustomGridViewInfoCache(Item),
//   TqvCustomGridViewInfo, TqvGridSite                            handlers and the site
//   TqvCustomGridOptions and descendants, background bitmaps      options
//   TqvCustomGridStyles, TqvCustomGridViewStyles                  styles
//   TqvCustomGridViewEvents                                       the events kept on the site
//   TqvCustomGridView, GetRegisteredGridViews                     the view and its kinds
//
// Where the parts live: qvGridCustomView.cpp (the view: construction, destruction, changes,
// predicates, assignment, stored layout), qvGridCustomViewHandlers.cpp (handlers, hit tests,
// the site), qvGridCustomViewOptions.cpp (options, background bitmaps, styles, events, the
// registry).
#pragma once

#include <vector>

#include "core/qvCustomData.h"
#include "grid/qvGridCommon.h"
#include "lookandfeel/qvStyles.h"

class TqvCustomGrid;
class TqvCustomGridChange;
class TqvCustomGridController;
class TqvCustomGridPainter;
class TqvCustomGridView;
class TqvCustomGridViewData;
class TqvCustomGridViewInfo;
class TqvCustomGridViewInfoCache;
class TqvGridLevel;
class TqvGridSite;

// ---------------------------------------------------------------------------------------------
// Handler base

// The view that owns a grid data controller, answered by the controller.
class IqvGridDataControllerViewLink : public virtual IInterface {
 public:
  // Adds the components the controller refers to (design-time links).
  virtual void GetFakeComponentLinks(std::vector<TComponent*>& AList) = 0;
  virtual TqvCustomGridView* GetGridView() = 0;
};

// Base of a view's controller, painter, view data, view info and layout cache: it knows its view
// and reaches the view's other parts through it.
class TqvGridViewHandler : public TqvInterfacedPersistent {
 public:
  using MetaType = TMetaClassFor<TqvGridViewHandler, TqvCustomGridView*>;
  QJ_CLASS(TqvGridViewHandler, TqvInterfacedPersistent)

 public:
  explicit TqvGridViewHandler(TqvCustomGridView* AGridView);

  TqvCustomGridView* GetGridView() const { return FGridView; }
  // The view's grid; nullptr without one.
  TqvCustomGrid* GetControl() const;
  TqvCustomGridController* GetController() const;
  TqvCustomDataController* GetDataController() const;
  TqvLookAndFeelPainterClass GetLookAndFeelPainter() const;
  TqvGridSite* GetSite() const;
  TqvCustomGridViewData* GetViewData() const;
  TqvCustomGridViewInfo* GetViewInfo() const;
  void BeginUpdate();
  void EndUpdate();

 private:
  TqvCustomGridView* FGridView;
};

using TqvGridViewHandlerClass = const TqvGridViewHandler::MetaType*;

// ---------------------------------------------------------------------------------------------
// Hit tests

class TqvCustomGridHitTest;

// The metaclass record of the hit-test family: a factory and the class-level answers, taken
// from each class's static hooks HitTestCode, Cursor and DragAndDropObjectClass.
struct TqvGridHitTestMetaClass : TMetaClassFor<TqvCustomGridHitTest> {
  using TFactory = TMetaClassFor<TqvCustomGridHitTest>;

  Integer (*GetHitTestCode)() = nullptr;
  TCursor (*GetCursor)() = nullptr;
  TqvDragAndDropObjectClass (*GetDragAndDropObjectClass)() = nullptr;

  template <class Cls>
  static TqvGridHitTestMetaClass Make(const char* AName, const TMetaClass* AParent) {
    TqvGridHitTestMetaClass m;
    static_cast<TFactory&>(m) = TFactory::Make<Cls>(AName, AParent);
    m.GetHitTestCode = &Cls::HitTestCode;
    m.GetCursor = &Cls::Cursor;
    m.GetDragAndDropObjectClass = &Cls::DragAndDropObjectClass;
    return m;
  }
};
using TqvGridHitTestClass = const TqvGridHitTestMetaClass*;

// What lies under a point. One shared object per class: Instance answers the same object to
// every caller, valid until the next request for that class.
class TqvCustomGridHitTest : public TObject {
 public:
  using MetaType = TqvGridHitTestMetaClass;
  QJ_CLASS(TqvCustomGridHitTest, TObject)

 public:
  // Class-level answers; descendants hide them with their own.
  static Integer HitTestCode() { return -1; }
  static TCursor Cursor() { return crDefault; }
  static TqvDragAndDropObjectClass DragAndDropObjectClass() { return nullptr; }

  Integer GetHitTestCode() const { return Meta()->GetHitTestCode(); }
  TCursor GetCursor() const { return Meta()->GetCursor(); }
  TqvDragAndDropObjectClass GetDragAndDropObjectClass() const { return Meta()->GetDragAndDropObjectClass(); }

  TPoint GetPos() const { return FPos; }
  void SetPos(TPoint AValue) { FPos = AValue; }

  // The shared object of AClass, made on first request, with its Pos set to APos.
  static TqvCustomGridHitTest* Instance(TqvGridHitTestClass AClass, TPoint APos);
  template <class T>
  static T* Instance(TPoint APos) {
    return static_cast<T*>(Instance(&T::StaticClass(), APos));
  }

 private:
  const MetaType* Meta() const { return static_cast<const MetaType*>(ClassType()); }
  TPoint FPos;
};

// Nothing under the point.
class TqvGridNoneHitTest : public TqvCustomGridHitTest {
  QJ_CLASS(TqvGridNoneHitTest, TqvCustomGridHitTest)
 public:
  static Integer HitTestCode() { return 0; }
};

// ---------------------------------------------------------------------------------------------
// Handlers

// Takes the view's input from its site. The base answers what the grid asks when the focus
// moves; the table controllers add the rest.
class TqvCustomGridController : public TqvGridViewHandler {
  QJ_CLASS(TqvCustomGridController, TqvGridViewHandler)
 public:
  using TqvGridViewHandler::TqvGridViewHandler;

  // An open cell editor closes; nothing here.
  virtual void EndEditing() {}
  // A detail view of this one took the focus; nothing here.
  virtual void DetailFocused(TqvCustomGridView* /*ADetailView*/) {}
  // The site stops being a tab stop after editing ended; a view no longer visible takes its
  // site off its parent.
  virtual void FocusLost();
  // The site becomes a tab stop and shows; it takes the input focus when the grid has it; a
  // detail tells its master's controller.
  virtual void FocusGained();
  // The view repaints what shows the grid's focus.
  virtual void ControlFocusChanged();
  virtual void DoCancelMode() {}
  // An inner control of the site (a cell editor) has the focus; False here.
  virtual bool HasFocusedControls() { return false; }
};

// Paints the view into its site.
class TqvCustomGridPainter : public TqvGridViewHandler {
  QJ_CLASS(TqvCustomGridPainter, TqvGridViewHandler)
 public:
  using TqvGridViewHandler::TqvGridViewHandler;

  // The whole site repaints; InvalidateRect repaints R without erasing.
  void Invalidate();
  void InvalidateRect(const TRect& R);
};

// The records a view shows; nothing at this level.
class TqvCustomGridViewData : public TqvGridViewHandler {
  QJ_CLASS(TqvCustomGridViewData, TqvGridViewHandler)
 public:
  using TqvGridViewHandler::TqvGridViewHandler;
};

class TqvCustomGridViewInfoCache;

// Measurements of one row kept between layouts.
class TqvCustomGridViewInfoCacheItem : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvCustomGridViewInfoCacheItem, TqvCustomGridViewInfoCache*, Integer>;
  QJ_CLASS(TqvCustomGridViewInfoCacheItem, TObject)

 public:
  TqvCustomGridViewInfoCacheItem(TqvCustomGridViewInfoCache* AOwner, Integer AIndex)
      : FOwner(AOwner), FIndex(AIndex) {}
  TqvCustomGridViewInfoCache* GetOwner() const { return FOwner; }
  Integer GetIndex() const { return FIndex; }
  // Forgets what was measured; nothing here.
  virtual void ResetValues(bool /*AKeepMaster*/) {}

 private:
  TqvCustomGridViewInfoCache* FOwner;
  Integer FIndex;
};

using TqvCustomGridViewInfoCacheItemClass = const TqvCustomGridViewInfoCacheItem::MetaType*;

// Per-row measurements between layouts, indexed by row index; entries are made on request.
class TqvCustomGridViewInfoCache : public TqvGridViewHandler {
  QJ_CLASS(TqvCustomGridViewInfoCache, TqvGridViewHandler)
 public:
  using TqvGridViewHandler::TqvGridViewHandler;

  virtual TqvCustomGridViewInfoCacheItemClass GetItemClass() const;
  // Every existing entry forgets its values; unless AKeepMaster, the master views' entries of
  // the rows that show this view and its masters forget theirs too. Ignored while running.
  virtual void ResetValues(bool AKeepMaster);

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  // nullptr when not made.
  TqvCustomGridViewInfoCacheItem* GetItemIfMade(Integer AIndex) const;
  // The entry at AIndex, made on first request.
  TqvCustomGridViewInfoCacheItem* GetItem(Integer AIndex);
  // Frees every entry and leaves ACount empty ones.
  void SetCount(Integer ACount);
  void Clear() { SetCount(0); }

 private:
  std::vector<TOwned<TqvCustomGridViewInfoCacheItem>> FItems;
  bool FResetting = false;
};

using TqvGridSiteClass = const TMetaClassFor<TqvGridSite, TqvCustomGridViewInfo*>*;

// Lays the view out inside its site, which it owns, and decides whether the site is shown,
// parked (kept with its focus but out of sight) or taken off its parent.
class TqvCustomGridViewInfo : public TqvGridViewHandler {
  QJ_CLASS(TqvCustomGridViewInfo, TqvGridViewHandler)
 public:
  explicit TqvCustomGridViewInfo(TqvCustomGridView* AGridView);
  ~TqvCustomGridViewInfo() override;
  // The site (from GetSiteClass), then CreateViewInfos.
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // In slot order.
  virtual void CreateViewInfos() {}
  virtual void DestroyViewInfos(bool /*AIsRecreating*/) {}
  virtual void RecreateViewInfos();
  virtual TqvGridSiteClass GetSiteClass() const;
  // The site updates its scroll bars (not for a view info that only measures).
  virtual void AfterCalculating();
  // Takes the mouse position.
  virtual void BeforeCalculating();
  virtual void Calculate() {}
  virtual TRect GetDefaultClientBounds() { return FBounds; }
  virtual void ControlFocusChanged() {}
  // False while calculating or changing visibility.
  virtual bool CanRecalculate() const;
  // A view info made only to measure a view, never shown.
  virtual bool IsInternalUse() const { return false; }
  // Shows the site in its parent control, parks it or takes it off its parent.
  virtual void VisibilityChanged(bool AVisible);

  // Nothing while calculating; else the site takes R, Bounds its client bounds, and Calculate
  // runs; afterwards (also when it raised) AfterCalculating and UpdateVisibility(True).
  void MainCalculate(const TRect& R);
  void Recalculate();
  // Nothing while internal or measuring; else VisibilityChanged(ACheckVisible and the view is
  // visible) with the changing-visibility flag set.
  void UpdateVisibility(bool ACheckVisible);
  bool IsCalculating() const { return FCalculating; }
  bool IsChangingVisibility() const { return FChangingVisibility; }
  bool IsMeasuring() const { return FMeasuring; }
  void SetMeasuring(bool AValue) { FMeasuring = AValue; }
  // The view info or that of a master view only measures.
  bool IsInternal() const;

  TqvGridSite* GetSite() const { return FSite.get(); }
  // The site's client bounds at the last calculation.
  const TRect& GetBounds() const { return FBounds; }
  // The site in site coordinates before each calculation; (MaxInt, MaxInt) when not known.
  TPoint GetMousePos() const { return FMousePos; }
  // Where the site is shown: the master view's site for a detail, else the grid.
  TWinControl* GetParentControl() const;
  TqvCanvas* GetCanvas() const;

 private:
  void TakeMousePos();

  TRect FBounds;
  bool FCalculating = false;
  bool FChangingVisibility = false;
  bool FMeasuring = false;
  TPoint FMousePos;
  TOwned<TqvGridSite> FSite;
};

// Where a hidden site that keeps the input focus waits: out of sight, and it does not paint.
constexpr Integer qvGridSiteParkedLeft = 30000;

// The window a view paints into and takes its input through. The view's mouse, key and drag
// events are kept here, so that they fire with the site as Sender.
class TqvGridSite : public TqvControl {
 public:
  using MetaType = TMetaClassFor<TqvGridSite, TqvCustomGridViewInfo*>;
  QJ_CLASS(TqvGridSite, TqvControl)

 public:
  explicit TqvGridSite(TqvCustomGridViewInfo* AViewInfo);

  TqvCustomGridViewInfo* GetViewInfo() const { return FViewInfo; }
  TqvCustomGridView* GetGridView() const { return FViewInfo->GetGridView(); }
  TqvCustomGridController* GetController() const { return FViewInfo->GetController(); }
  bool IsParked() const { return GetLeft() == qvGridSiteParkedLeft; }
  TRect GetClientBounds() override { return TqvControl::GetClientBounds(); }
  // The window has the focus, or the controller reports a focused inner control.
  bool IsFocused() override;
  // The focused view's controller first ends its editing.
  void SetFocus() override;
  // A new parent: the grid's look and feel becomes the master of the site's, and only sites of
  // top levels are tab stops. Taken off its parent while its view is focused, the site hands
  // the focus to the old parent.
  void SetParent(TWinControl* AParent) override;

 protected:
  // The view becomes the grid's focused view when the site gains the focus; the grid hears
  // whether the focus is inside it.
  void FocusChanged() override;
  // A key-down notification goes to the grid's subscribers first; one that sets the message's
  // Result keeps it from the site.
  void WndProc(TMessage& Message) override;
  // The site never realigns its parent.
  void RequestAlign() override {}

 private:
  TqvCustomGridViewInfo* FViewInfo;
};

// ---------------------------------------------------------------------------------------------
// Options

// An option object of a view, listed with the view for component notifications.
class TqvCustomGridOptions : public TPersistent {
 public:
  using MetaType = TMetaClassFor<TqvCustomGridOptions, TqvCustomGridView*>;
  QJ_CLASS(TqvCustomGridOptions, TPersistent)

 public:
  // Joins the view's options list; the destructor leaves it.
  explicit TqvCustomGridOptions(TqvCustomGridView* AGridView);
  ~TqvCustomGridOptions() override;

  TqvCustomGridView* GetGridView() const { return FGridView; }
  TPersistent* GetOwner() override;
  // Any options object (nothing to copy here); another source raises the assignment error.
  void Assign(TPersistent* Source) override;
  // Requests a layout change of the view alone.
  virtual void Changed();
  virtual TqvLookAndFeelPainterClass GetLookAndFeelPainter() const;
  // A component the view heard of (opRemove: going away); nothing here.
  virtual void Notification(TComponent* /*AComponent*/, TOperation /*AOperation*/) {}

 private:
  TqvCustomGridView* FGridView;
};

using TqvCustomGridOptionsClass = const TqvCustomGridOptions::MetaType*;

class TqvCustomGridOptionsSelection : public TqvCustomGridOptions {
  QJ_CLASS(TqvCustomGridOptionsSelection, TqvCustomGridOptions)
 public:
  using TqvCustomGridOptions::TqvCustomGridOptions;
};

class TqvCustomGridOptionsView : public TqvCustomGridOptions {
  QJ_CLASS(TqvCustomGridOptionsView, TqvCustomGridOptions)
 public:
  using TqvCustomGridOptions::TqvCustomGridOptions;
  void Assign(TPersistent* Source) override;
  // The site's scroll bars (both by default).
  TScrollStyle GetScrollBars() const;
  void SetScrollBars(TScrollStyle AValue);
};

// Bitmaps by index, each made on first access; a change of one lays the view out again.
class TqvCustomGridBackgroundBitmaps : public TqvCustomGridOptions {
  QJ_CLASS(TqvCustomGridBackgroundBitmaps, TqvCustomGridOptions)
 public:
  static constexpr Integer bbBackground = 0;

  using TqvCustomGridOptions::TqvCustomGridOptions;
  // From other background bitmaps: Background.
  void Assign(TPersistent* Source) override;

  // The style index whose bitmap stands in for an empty own bitmap; -1: none.
  virtual Integer GetBitmapStyleIndex(Integer AIndex) const;
  virtual TBitmap* GetDefaultBitmap(Integer AIndex) const;
  // The own bitmap unless it is missing or empty, else the default.
  virtual TBitmap* GetBitmap(Integer AIndex) const;
  // The own bitmap, made on first access (the list grows to AIndex).
  virtual TBitmap* GetValue(Integer AIndex);
  virtual void SetValue(Integer AIndex, TBitmap* AValue);
  TBitmap* GetBackground() { return GetValue(bbBackground); }
  void SetBackground(TBitmap* AValue) { SetValue(bbBackground, AValue); }

 private:
  std::vector<TOwned<TBitmap>> FBitmaps;
};

// ---------------------------------------------------------------------------------------------
// Styles

// Styles of a grid object. Default parameters take the grid's font (the site's without a
// grid); a change of any style updates the view's component links and measures the view again.
class TqvCustomGridStyles : public TqvStyles {
  QJ_CLASS(TqvCustomGridStyles, TqvStyles)
 public:
  using TqvStyles::TqvStyles;

  // Adds, once each, the owner of every own style that the view's owner does not own.
  virtual void AddLinkedComponents(std::vector<TComponent*>& AList);
  // nullptr here.
  virtual TqvCustomGridView* GetGridView() const { return nullptr; }
  virtual TqvLookAndFeelPainterClass GetLookAndFeelPainter() const;
  void GetDefaultViewParams(Integer Index, TObject* AData, TqvViewParams& AParams) override;

 protected:
  void Changed(Integer AIndex) override;
};

// The styles of a view: Background (index 0, the painter's content colour by default).
class TqvCustomGridViewStyles : public TqvCustomGridStyles {
  QJ_CLASS(TqvCustomGridViewStyles, TqvCustomGridStyles)
 public:
  static constexpr Integer vsBackground = 0;

  using TqvCustomGridStyles::TqvCustomGridStyles;
  // The sheet and Background.
  void Assign(TPersistent* Source) override;
  // The owner when it is a view.
  TqvCustomGridView* GetGridView() const override;
  void GetDefaultViewParams(Integer Index, TObject* AData, TqvViewParams& AParams) override;

  TqvStyle* GetBackground() const { return GetValue(vsBackground); }
  void SetBackground(TqvStyle* AValue) { SetValue(vsBackground, AValue); }
};

// ---------------------------------------------------------------------------------------------
// Events

// The view's mouse, key and drag events and its drag mode. None is kept by the view: each reads
// and writes the same property of the site, so that the platform fires it with the site as
// Sender. Without a site (the view is being freed) they read empty and writes are dropped.
class TqvCustomGridViewEvents {
 public:
  explicit TqvCustomGridViewEvents(TqvCustomGridView* AGridView) : FGridView(AGridView) {}

  // The fourteen events and the drag mode of ASource.
  void Assign(const TqvCustomGridViewEvents& ASource);

  TDragMode GetDragMode() const;
  void SetDragMode(TDragMode AValue);
  TNotifyEvent GetOnDblClick() const;
  void SetOnDblClick(TNotifyEvent AValue);
  TDragDropEvent GetOnDragDrop() const;
  void SetOnDragDrop(TDragDropEvent AValue);
  TDragOverEvent GetOnDragOver() const;
  void SetOnDragOver(TDragOverEvent AValue);
  TEndDragEvent GetOnEndDrag() const;
  void SetOnEndDrag(TEndDragEvent AValue);
  TKeyEvent GetOnKeyDown() const;
  void SetOnKeyDown(TKeyEvent AValue);
  TKeyPressEvent GetOnKeyPress() const;
  void SetOnKeyPress(TKeyPressEvent AValue);
  TKeyEvent GetOnKeyUp() const;
  void SetOnKeyUp(TKeyEvent AValue);
  TMouseEvent GetOnMouseDown() const;
  void SetOnMouseDown(TMouseEvent AValue);
  TMouseMoveEvent GetOnMouseMove() const;
  void SetOnMouseMove(TMouseMoveEvent AValue);
  TMouseEvent GetOnMouseUp() const;
  void SetOnMouseUp(TMouseEvent AValue);
  TMouseWheelEvent GetOnMouseWheel() const;
  void SetOnMouseWheel(TMouseWheelEvent AValue);
  TMouseWheelUpDownEvent GetOnMouseWheelDown() const;
  void SetOnMouseWheelDown(TMouseWheelUpDownEvent AValue);
  TMouseWheelUpDownEvent GetOnMouseWheelUp() const;
  void SetOnMouseWheelUp(TMouseWheelUpDownEvent AValue);
  TStartDragEvent GetOnStartDrag() const;
  void SetOnStartDrag(TStartDragEvent AValue);

 private:
  template <class C, class T>
  T Read(T C::*AEvent) const;
  template <class C, class T>
  void Write(T C::*AEvent, T AValue);
  TqvGridSite* Site() const;

  TqvCustomGridView* FGridView;
};

// ---------------------------------------------------------------------------------------------
// The view

enum TqvGridViewRefreshKind { grkLayout, grkInvalidate };

using TqvCustomGridViewClass = const TComponent::MetaType*;
using TqvCustomDataControllerClass = const TqvCustomDataController::MetaType*;

// The abstract base of every grid view kind: a non-visual component attached to a grid and shown
// by one level. It routes every visible change through the grid's change queue, brackets bulk
// work on the grid and its data controller, answers visibility and focus questions and, as a
// pattern, keeps its detail clones. Code that fires an event of the view checks the view's
// AliveToken afterwards; a pointer variable that must go nil with the view registers a destroy
// watch.
class TqvCustomGridView : public TqvControlChildComponent,
                          public IqvStoredLayoutObject,
                          public IqvStoredLayoutParent {
  QJ_CLASS(TqvCustomGridView, TqvControlChildComponent)
 public:
  explicit TqvCustomGridView(TComponent* AOwner);
  ~TqvCustomGridView() override;
  // CreateOptions, then CreateHandlers, then the attachment to a grid given at creation.
  void AfterConstruction() override;
  // Gives up the focus, leaves its pattern, its level and its grid, frees its handlers and
  // options and clears the destroy watches.
  void BeforeDestruction() override;

  // -- Stored layout (slots; the interfaces' operations call them)
  // The component name.
  virtual String GetStoredObjectName();
  // Adds nothing and answers True; descendants add their names.
  virtual bool GetStoredProperties(TStrings* AProperties);
  // Nothing here; descendants handle their names and call the inherited operation for others.
  virtual void GetStoredPropertyValue(const String& AName, Variant& AValue);
  virtual void SetStoredPropertyValue(const String& AName, const Variant& AValue);
  // nullptr here.
  virtual TObject* CreateStoredObject(const String& AObjectName, const String& AClassName);
  // Frees AObject.
  virtual void DeleteStoredObject(const String& AObjectName, TObject* AObject);
  // Adds nothing here.
  virtual void GetStoredChildren(TStrings* AChildren);

  String GetObjectName() override { return GetStoredObjectName(); }
  bool GetProperties(TStrings* AProperties) override { return GetStoredProperties(AProperties); }
  void GetPropertyValue(const String& AName, Variant& AValue) override { GetStoredPropertyValue(AName, AValue); }
  void SetPropertyValue(const String& AName, const Variant& AValue) override { SetStoredPropertyValue(AName, AValue); }
  TObject* CreateChild(const String& AObjectName, const String& AClassName) override;
  void DeleteChild(const String& AObjectName, TObject* AObject) override { DeleteStoredObject(AObjectName, AObject); }
  void GetChildren(TStrings* AChildren) override { GetStoredChildren(AChildren); }
  using TqvControlChildComponent::GetChildren;

  // -- Visibility and focus (slots)
  // The level and its parents are visible, and CalculateVisible agrees.
  virtual bool CanFocus();
  // The grid's TabStop.
  virtual bool CanTabStop();
  virtual void VisibleDetailLevelsChanged(TqvGridLevel* /*ALevel*/, Integer /*AOldCount*/, Integer /*ANewCount*/) {}
  // Changes of a view run only then.
  virtual bool IsVisibleOrPattern();
  // False when not ALevelVisible or for a pattern; a detail also needs its master's
  // IsDetailVisible.
  virtual bool CalculateVisible(bool ALevelVisible);
  // The grid's IsFocused.
  virtual bool IsControlFocused();
  // Whether a new size of the site measures the view again (True) or lays it out (False here).
  virtual bool NeedsSizeChangeOnResize() { return false; }
  // Not destroying, and the level actually shows it.
  virtual bool IsVisible();
  virtual bool IsDetailVisible(TqvCustomGridView* /*ADetailView*/) { return false; }
  // The controller gains or loses the focus.
  virtual void FocusChanged(bool AFocused);
  // A pattern passes it to its clones.
  virtual void LookAndFeelChanged();
  virtual void SetLevel(TqvGridLevel* ALevel);
  // The site is a tab stop when AValue and CanTabStop.
  virtual void SetTabStop(bool AValue);
  // Every change information of the data controller; ignored here.
  virtual void UpdateControl(TqvUpdateControlInfo* AInfo);
  virtual void RestoreDefaults() {}
  // A size change with both flags when NeedsSizeChangeOnResize, else a layout change.
  virtual void SizeOrLayoutChanged(bool AUpdateGridViewOnly, bool AKeepMaster);

  // A detail also counts as destroying while its master view is.
  bool IsDestroying() const override;
  bool IsFocused() const;
  // Nothing when unchanged, else the grid's focused view becomes this view or none.
  void SetFocused(bool AValue);

  // -- Changes
  // Refused (freed unrun, False) while loading, destroying or calculating; without a grid it
  // runs at once.
  bool Changed(TOwned<TqvCustomGridChange> AChange);
  void LayoutChanged(bool AViewOnly);
  bool SizeChanged(bool AViewOnly = false, bool AKeepMaster = false);
  void Invalidate();
  // Nothing for an empty R.
  void InvalidateRect(const TRect& R);
  // A pattern hands the request to every clone (recursively); another view runs it itself.
  void RefreshWithClones(TqvGridViewRefreshKind AKind);
  // Lock the grid and the data controller; EndUpdate runs the grid's batch at its last unlock,
  // EndUpdateDiscardingChanges frees it.
  void BeginUpdate();
  void EndUpdate();
  void EndUpdateDiscardingChanges();

  // -- Parts
  TqvCustomGrid* GetGrid() const;
  // The first grid the view was attached to (its streaming parent).
  TqvCustomGrid* GetHomeGrid() const { return FHomeGrid; }
  // Leaves the old grid (site, font listening, the grid's views) and joins the new one.
  void SetControl(TqvControl* AValue) override;
  TqvGridLevel* GetLevel() const { return FLevel; }
  TqvCustomGridController* GetController() const { return FController.get(); }
  TqvCustomDataController* GetDataController() const { return FDataController.get(); }
  TqvCustomGridPainter* GetPainter() const { return FPainter.get(); }
  TqvCustomGridViewData* GetViewData() const { return FViewData.get(); }
  TqvCustomGridViewInfo* GetViewInfo() const { return FViewInfo.get(); }
  TqvCustomGridViewInfoCache* GetViewInfoCache() const { return FViewInfoCache.get(); }
  // nullptr while the view has no handlers.
  TqvGridSite* GetSite() const;
  TqvLookAndFeelPainterClass GetLookAndFeelPainter() const;
  TqvCustomGridBackgroundBitmaps* GetBackgroundBitmaps() const { return FBackgroundBitmaps.get(); }
  void SetBackgroundBitmaps(TqvCustomGridBackgroundBitmaps* AValue) { FBackgroundBitmaps->Assign(AValue); }
  TqvCustomGridOptionsSelection* GetOptionsSelection() const { return FOptionsSelection.get(); }
  void SetOptionsSelection(TqvCustomGridOptionsSelection* AValue) { FOptionsSelection->Assign(AValue); }
  TqvCustomGridOptionsView* GetOptionsView() const { return FOptionsView.get(); }
  void SetOptionsView(TqvCustomGridOptionsView* AValue) { FOptionsView->Assign(AValue); }
  TqvCustomGridViewStyles* GetStyles() const { return FStyles.get(); }
  void SetStyles(TqvCustomGridViewStyles* AValue) { FStyles->Assign(AValue); }
  TqvCustomGridViewEvents* GetEvents() { return &FEvents; }
  const TqvCustomGridViewEvents* GetEvents() const { return &FEvents; }
  // Options objects join and leave the list themselves.
  void AddOptions(TqvCustomGridOptions* AOptions);
  void RemoveOptions(TqvCustomGridOptions* AOptions);

  // -- Master and detail
  bool IsPattern() const;
  bool IsDetail() const;
  // The view owning the master data controller; nullptr when not a detail.
  TqvCustomGridView* GetMasterGridView() const;
  Integer GetMasterRecordIndex() const;
  // The master controller's row of the master record; -1 when none.
  Integer GetMasterRowIndex() const;
  // AView is the master or a master further up.
  bool IsDetailOf(TqvCustomGridView* AView) const;
  bool HasVisibleDetailLevels() const;
  Integer GetCloneCount() const { return static_cast<Integer>(FClones.size()); }
  TqvCustomGridView* GetClone(Integer AIndex) const { return FClones.at(static_cast<size_t>(AIndex)); }
  void AddClone(TqvCustomGridView* AClone);
  void RemoveClone(TqvCustomGridView* AClone);
  // The pattern of a clone; the view itself otherwise.
  TqvCustomGridView* GetPatternGridView() const { return FPatternGridView ? FPatternGridView : const_cast<TqvCustomGridView*>(this); }
  // True only while a clone is being assigned from its pattern.
  bool GetAssigningPattern() const { return FAssigningPattern; }
  void SetAssigningPattern(bool AValue) { FAssigningPattern = AValue; }

  // -- Destroy watches: the pointer is set to nil when the view is destroyed
  void AddDestroyWatch(TqvCustomGridView** APointer);
  void RemoveDestroyWatch(TqvCustomGridView** APointer);

  // Another grid view inside BeginUpdate/EndUpdate: BeforeAssign, AssignSettings, AfterAssign.
  // Any other source raises the assignment error.
  void Assign(TPersistent* Source) override;
  void GetFakeComponentLinks(std::vector<TComponent*>& AList) override;

 protected:
  // In slot order.
  virtual void CreateHandlers();
  virtual void DestroyHandlers();
  // The data controller hands its change information to UpdateControl.
  virtual void ConnectDataController();
  virtual void CreateOptions();
  virtual void DestroyOptions();
  // The data controller takes the source's.
  virtual void BeforeAssign(TqvCustomGridView* ASource);
  // Background bitmaps, drag mode, options, styles, the events; then FocusAfterLoading.
  virtual void AssignSettings(TqvCustomGridView* ASource);
  // The data controller takes the source's again.
  virtual void AfterAssign(TqvCustomGridView* ASource);
  virtual void FocusAfterLoading() {}
  // A size change of the whole view.
  virtual void UpdateAfterLoading();
  virtual TqvGridViewHandlerClass GetControllerClass() const = 0;
  virtual TqvCustomDataControllerClass GetDataControllerClass() const = 0;
  virtual TqvGridViewHandlerClass GetPainterClass() const = 0;
  virtual TqvGridViewHandlerClass GetViewDataClass() const = 0;
  virtual TqvGridViewHandlerClass GetViewInfoCacheClass() const;
  virtual TqvGridViewHandlerClass GetViewInfoClass() const = 0;
  virtual TqvCustomGridOptionsClass GetBackgroundBitmapsClass() const;
  virtual TqvCustomGridOptionsClass GetOptionsSelectionClass() const;
  virtual TqvCustomGridOptionsClass GetOptionsViewClass() const;
  virtual TqvCustomStylesClass GetStylesClass() const;

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void LeaveGrid(TqvCustomGrid* AGrid);
  void JoinGrid(TqvCustomGrid* AGrid);

  bool FAssigningPattern = false;
  TOwned<TqvCustomGridBackgroundBitmaps> FBackgroundBitmaps;
  std::vector<TqvCustomGridView*> FClones;
  TOwned<TqvCustomGridController> FController;
  TOwned<TqvCustomDataController> FDataController;
  TqvGridLevel* FLevel = nullptr;
  std::vector<TqvCustomGridView**> FDestroyWatches;
  std::vector<TqvCustomGridOptions*> FOptionsList;
  TOwned<TqvCustomGridOptionsSelection> FOptionsSelection;
  TOwned<TqvCustomGridOptionsView> FOptionsView;
  TOwned<TqvCustomGridPainter> FPainter;
  TqvCustomGridView* FPatternGridView = nullptr;
  TqvCustomGrid* FHomeGrid = nullptr;
  TOwned<TqvCustomGridViewStyles> FStyles;
  TOwned<TqvCustomGridViewData> FViewData;
  TOwned<TqvCustomGridViewInfo> FViewInfo;
  TOwned<TqvCustomGridViewInfoCache> FViewInfoCache;
  TqvCustomGridViewEvents FEvents{this};
};

// The registry of grid view kinds ("Table", "Banded Table", "Card View", "DB Table"), with
// streaming registration.
TqvRegisteredClasses* GetRegisteredGridViews();
