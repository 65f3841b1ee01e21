// The view framework of the grid: the abstract view (a bundle of handler and option objects
// that a descendant chooses through virtual class getters), the handler bases (controller,
// painter, view data, view info, layout cache), the view's site window, hit tests, options,
// styles and the registry of view kinds.
//
// Map of this header:
//   IqvGridDataControllerViewLink, TqvGridViewHandler             handler base
//   TqvCustomGridHitTest and descendants,
//   TqvCustomGridDragAndDropObject                                hit tests (values), drags
//   TqvCustomGridController, TqvCustomGridPainter,
//   TqvCustomGridViewData, TqvCustomGridViewInfoCache(Item),
//   TqvCustomGridViewInfo, TqvGridSite                            handlers and the site
//   TqvCustomGridOptions and descendants, background bitmaps      options
//   TqvCustomGridStyles, TqvCustomGridViewStyles                  styles
//   TqvCustomGridViewEvents                                       the events kept on the site
//   TqvCustomGridView, GetRegisteredGridViews                     the view and its kinds
// The layout cells and their painter: grid/qvGridCustomViewCells.h.
//
// Where the parts live: qvGridCustomView.cpp (the view: construction, destruction, changes,
// predicates, assignment, stored layout), qvGridCustomViewHandlers.cpp (handler base, hit
// tests, drag-and-drop object), qvGridCustomViewController.cpp (the controller and the cell
// hint), qvGridCustomViewInfo.cpp (view info, painter, layout cache), qvGridCustomViewSite.cpp
// (the site), qvGridCustomViewOptions.cpp (options, background bitmaps, styles, events, the
// registry).
#pragma once

#include <vector>

#include "core/qvCustomData.h"
#include "grid/qvGridCommon.h"
#include "lookandfeel/qvStyles.h"

class THintWindow;
class TqvCustomGrid;
class TqvCustomGridCellViewInfo;
class TqvCustomGridChange;
class TqvCustomGridController;
class TqvCustomGridPainter;
class TqvCustomGridRecord;
class TqvCustomGridView;
class TqvCustomGridViewData;
class TqvCustomGridViewInfo;
class TqvCustomGridViewInfoCache;
class TqvGridLevel;
class TqvGridSite;

// A THintWindow descendant.
using TqvHintWindowClass = const TComponent::MetaType*;

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

// What lies under a point: a value made for each request and owned by whoever asked, who may
// keep it (a popup menu does) without it ever changing. The cell it names is watched: once the
// layout that made the cell is rebuilt, GetViewInfo answers nullptr.
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

  // A new hit test of AClass at APos.
  static TOwned<TqvCustomGridHitTest> Make(TqvGridHitTestClass AClass, TPoint APos);
  template <class T>
  static TOwned<T> Make(TPoint APos) {
    return TOwned<T>(static_cast<T*>(Make(&T::StaticClass(), APos).release()));
  }

  TPoint GetPos() const { return FPos; }
  void SetPos(TPoint AValue) { FPos = AValue; }
  // The layout cell that was hit; nullptr when none was or once it is freed.
  TqvCustomGridCellViewInfo* GetViewInfo() const;
  void SetViewInfo(TqvCustomGridCellViewInfo* AValue);

 private:
  const MetaType* Meta() const { return static_cast<const MetaType*>(ClassType()); }

  TPoint FPos;
  TqvCustomGridCellViewInfo* FViewInfo = nullptr;
  TAliveToken FViewInfoAlive;
};

// Nothing under the point of the grid.
class TqvGridNoneHitTest : public TqvCustomGridHitTest {
  QJ_CLASS(TqvGridNoneHitTest, TqvCustomGridHitTest)
 public:
  static Integer HitTestCode() { return 0; }
};

// A hit test inside a view; the view is watched like the cell.
class TqvCustomGridViewHitTest : public TqvCustomGridHitTest {
  QJ_CLASS(TqvCustomGridViewHitTest, TqvCustomGridHitTest)
 public:
  // nullptr once the view is freed.
  TqvCustomGridView* GetGridView() const;
  void SetGridView(TqvCustomGridView* AValue);

 private:
  TqvCustomGridView* FGridView = nullptr;
  TAliveToken FGridViewAlive;
};

// Nothing under the point of a view.
class TqvGridViewNoneHitTest : public TqvCustomGridViewHitTest {
  QJ_CLASS(TqvGridViewNoneHitTest, TqvCustomGridViewHitTest)
 public:
  static Integer HitTestCode() { return 0; }
};

// An internal drag-and-drop started on a view's site from what a hit test offers (a column
// header moved, a row sized). It is dirty (its image hidden) while the view paints.
class TqvCustomGridDragAndDropObject : public TqvDragAndDropObject {
  QJ_CLASS(TqvCustomGridDragAndDropObject, TqvDragAndDropObject)
 public:
  // AControl is the view's site.
  explicit TqvCustomGridDragAndDropObject(TqvControl* AControl) : TqvDragAndDropObject(AControl) {}

  // In slot order (after the inherited ones).
  virtual void AfterPaint() { SetDirty(false); }
  virtual void BeforePaint() { SetDirty(true); }
  // Keeps the start point; descendants take more from the hit test.
  virtual void Init(TPoint P, TqvCustomGridHitTest* AHitTest);

  TPoint GetStartPoint() const { return FStartPoint; }
  TqvGridSite* GetSite() const;
  TqvCustomGridView* GetGridView() const;
  TqvCustomGridController* GetController() const;
  TqvCustomGridViewInfo* GetViewInfo() const;

 private:
  TPoint FStartPoint;
};

// ---------------------------------------------------------------------------------------------
// Handlers

// Takes the view's input from its site (see TqvGridSite for the order of the calls), hands
// mouse events to the layout cell under the mouse or holding the capture, shows the hint of a
// cell whose text does not fit and starts internal drags from hit tests. The table
// controllers override most of the slots.
class TqvCustomGridController : public TqvGridViewHandler, public IqvMouseTrackingCaller {
  QJ_CLASS(TqvCustomGridController, TqvGridViewHandler)
 public:
  using TqvGridViewHandler::TqvGridViewHandler;
  // The hint goes.
  ~TqvCustomGridController() override;

  // In slot order.
  // The mouse left the hinted area: the hint goes.
  void MouseLeave() override;
  // A running internal drag-and-drop shows its image again after the view painted.
  virtual void AfterPaint();
  // An open cell editor closes; nothing here.
  virtual void EndEditing() {}
  // A running internal drag-and-drop hides its image while the view paints.
  virtual void BeforePaint();
  // False for a hit test of another view.
  virtual bool CanHandleHitTest(TqvCustomGridHitTest* AHitTest);
  // A detail view of this one took the focus; nothing here.
  virtual void DetailFocused(TqvCustomGridView* /*ADetailView*/) {}
  virtual void DoExit() {}
  // The hit test offers a drag-and-drop object class.
  virtual bool GetDesignHitTest(TqvCustomGridHitTest* AHitTest);
  virtual TqvMouseWheelScrollingKind GetMouseWheelScrollingKind() { return mwskNone; }
  virtual bool IsPixelScrollBar(TScrollBarKind /*AKind*/) { return false; }
  virtual bool MayFocus() { return true; }
  // The site stops being a tab stop after editing ended; a view no longer visible takes its
  // site off its parent.
  virtual void FocusLost();
  // The site becomes a tab stop and shows; it takes the input focus when the grid has it; a
  // detail tells its master's controller.
  virtual void FocusGained();
  // The view repaints what shows the grid's focus.
  virtual void ControlFocusChanged();
  virtual void DoCancelMode() {}
  // The cursor of the hit test at the point when the controller handles it, else crDefault.
  virtual TCursor GetCurrentCursor(Integer X, Integer Y);
  // An inner control of the site (a cell editor) has the focus; False here.
  virtual bool HasFocusedControls() { return false; }
  virtual void InitScrollBarsParameters() {}
  virtual bool IsDataFullyVisible() { return true; }
  virtual void Scroll(TScrollBarKind /*AKind*/, TScrollCode /*ACode*/, Integer& /*APosition*/) {}
  virtual void BeginDragAndDrop() {}
  virtual void DragAndDrop(TPoint /*P*/, bool& /*AAccepted*/) {}
  virtual void EndDragAndDrop(bool /*AAccepted*/) {}
  // The hit test at P offers a drag-and-drop object class: the site takes it and its object
  // is initialised from the hit test; False when none is offered.
  virtual bool StartDragAndDrop(TPoint P);
  virtual void BeforeStartDrag() {}
  virtual bool CanStartAutoDrag(Integer /*X*/, Integer /*Y*/) { return true; }
  virtual void DragDrop(TObject* /*ASource*/, Integer /*X*/, Integer /*Y*/) {}
  virtual void DragOver(TObject* /*ASource*/, Integer /*X*/, Integer /*Y*/, TDragState /*AState*/, bool& /*AAccept*/) {}
  virtual void EndDrag(TObject* /*ATarget*/, Integer /*X*/, Integer /*Y*/) {}
  virtual void StartDrag(TDragObject*& /*ADragObject*/) {}
  // The application's hint window class.
  virtual TqvHintWindowClass GetHintWindowClass();
  // DoKeyDown.
  virtual void KeyDown(Word& AKey, TShiftState AShift);
  virtual void DoKeyDown(Word& /*AKey*/, TShiftState /*AShift*/) {}
  virtual void KeyPress(char& /*AKey*/) {}
  virtual void KeyUp(Word& /*AKey*/, TShiftState /*AShift*/) {}
  // Notes a double click; the cell under the point hears the press.
  virtual void MouseDown(TMouseButton AButton, TShiftState AShift, Integer X, Integer Y);
  // The cell holding the mouse capture hears them, else the cell under the point.
  virtual void MouseMove(TShiftState AShift, Integer X, Integer Y);
  virtual void MouseUp(TMouseButton AButton, TShiftState AShift, Integer X, Integer Y);
  // Every message of the site, before the site handles it; nothing here.
  virtual void WndProc(TMessage& /*AMessage*/) {}

  // Shows AText in a hint window whose text lies exactly over ATextRect (site coordinates),
  // until the mouse leaves AHintBounds. The same text over the same rectangle leaves a shown
  // hint alone.
  void ShowHint(const TRect& AHintBounds, const TRect& ATextRect, TFont* AFont, bool AMultiLine, const String& AText);
  // Ends the hint's mouse tracking and frees the hint window.
  void HideHint();
  // nullptr while no hint shows.
  THintWindow* GetHintWindow() const { return FHintWindow.get(); }
  // The last mouse-down carried the double-click flag.
  bool IsDblClick() const { return FIsDblClick; }
  // Forwarded to the site.
  void SetScrollBarInfo(TScrollBarKind AKind, Integer AMin, Integer AMax, Integer AStep, Integer APage,
                        Integer APosition, bool AAllowShow, bool AAllowHide);
  void UpdateScrollBars();

 private:
  TqvCustomGridCellViewInfo* MouseTargetCell(TqvCustomGridHitTest* AHitTest) const;

  TRect FHintTextRect;
  TOwned<THintWindow> FHintWindow;
  bool FIsDblClick = false;
};

// Paints the laid-out view into its site: the cells first (PaintContent, which takes each
// painted rectangle out of the background region), then the background where no cell painted.
class TqvCustomGridPainter : public TqvGridViewHandler {
  QJ_CLASS(TqvCustomGridPainter, TqvGridViewHandler)
 public:
  using TqvGridViewHandler::TqvGridViewHandler;
  ~TqvCustomGridPainter() override;

  // In slot order.
  // The background region tiled with the background bitmap or filled with the background
  // colour; then the view's client bounds leave the canvas's clip region.
  virtual void DrawBackground();
  // DrawBackground, the clip region saved by BeforePaint back, the controller's AfterPaint.
  virtual void AfterPaint();
  // The controller's BeforePaint, the clip region saved, the background region set to the
  // view's client bounds.
  virtual void BeforePaint();
  // Nothing here; descendants paint their cells and exclude them from the background.
  virtual void PaintContent() {}
  // The dotted focus rectangle while the grid has the focus; else, unless AHideFocusRect, the
  // 1-pixel frame of R inverted.
  virtual void DrawFocusRect(const TRect& R, bool AHideFocusRect);

  // BeforePaint, PaintContent, AfterPaint.
  void Paint();
  // The whole site repaints; InvalidateRect repaints R without erasing.
  void Invalidate();
  void InvalidateRect(const TRect& R);
  TqvCanvas* GetCanvas() const;
  // R is painted: the background leaves it alone. Only between BeforePaint and AfterPaint.
  void ExcludeFromBackground(const TRect& R);

 private:
  TOwned<TqvRegion> FBackgroundRegion;
  TOwned<TqvRegion> FSavedClipRegion;
};

// The records a view shows; nothing at this level.
class TqvCustomGridViewData : public TqvGridViewHandler {
  QJ_CLASS(TqvCustomGridViewData, TqvGridViewHandler)
 public:
  using TqvGridViewHandler::TqvGridViewHandler;
  // The record that shows ARecordIndex of the data controller; nullptr here.
  virtual TqvCustomGridRecord* GetRecordByRecordIndex(Integer /*ARecordIndex*/) { return nullptr; }
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

// Lays the view out inside its site, which it owns, decides whether the site is shown, parked
// (kept with its focus but out of sight) or taken off its parent, and answers hit tests.
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
  // Forgets the explicit client bounds, then DestroyViewInfos(True) and CreateViewInfos.
  virtual void RecreateViewInfos();
  virtual TqvGridSiteClass GetSiteClass() const;
  // The site updates its scroll bars (not for a view info that only measures).
  virtual void AfterCalculating();
  // Takes the mouse position.
  virtual void BeforeCalculating();
  virtual void Calculate() {}
  virtual TRect GetDefaultClientBounds() { return FBounds; }
  // The height the view needs within AMaxHeight: here the visible horizontal scroll bar's
  // height is added to AHeight.
  virtual void GetHeight(Integer AMaxHeight, Integer& AHeight, bool& AFullyVisible);
  // The width the view needs: here the visible vertical scroll bar's width is added and the
  // sum cut to AMaxWidth.
  virtual void GetWidth(Integer AMaxWidth, Integer& AWidth);
  virtual void ControlFocusChanged() {}
  // False while calculating or changing visibility.
  virtual bool CanRecalculate() const;
  // The view's background bitmap; nullptr for none.
  virtual TBitmap* GetBackgroundBitmap();
  // The colour of the view's Background style.
  virtual TColor GetBackgroundColor();
  virtual void AdjustHScrollBarBounds(TRect& /*R*/) {}
  // A view info made only to measure a view, never shown.
  virtual bool IsInternalUse() const { return false; }
  // The hit test's view becomes this view.
  virtual void InitHitTest(TqvCustomGridHitTest* AHitTest);
  // Shows the site in its parent control, parks it or takes it off its parent.
  virtual void VisibilityChanged(bool AVisible);
  // What lies at P (site coordinates): nothing in this view here.
  virtual TOwned<TqvCustomGridHitTest> GetHitTest(TPoint P);
  virtual TOwned<TqvCustomGridHitTest> GetHitTestAt(Integer X, Integer Y) { return GetHitTest({X, Y}); }

  // Nothing while calculating; else the site takes R, Bounds its client bounds, and Calculate
  // runs; afterwards (also when it raised) AfterCalculating and UpdateVisibility(True).
  void MainCalculate(const TRect& R);
  void Recalculate();
  // GetHeight and GetWidth on behalf of a master's layout: with the measuring flag set.
  void MeasureHeight(Integer AMaxHeight, Integer& AHeight, bool& AFullyVisible);
  void MeasureWidth(Integer AMaxWidth, Integer& AWidth);
  // Nothing while internal or measuring; else VisibilityChanged(ACheckVisible and the view is
  // visible) with the changing-visibility flag set.
  void UpdateVisibility(bool ACheckVisible);
  bool IsCalculating() const { return FCalculating; }
  bool IsChangingVisibility() const { return FChangingVisibility; }
  bool IsMeasuring() const { return FMeasuring; }
  // The view info or that of a master view only measures.
  bool IsInternal() const;

  TqvGridSite* GetSite() const { return FSite.get(); }
  // The site's client bounds at the last calculation.
  const TRect& GetBounds() const { return FBounds; }
  // The explicit client bounds a descendant set, else GetDefaultClientBounds.
  TRect GetClientBounds();
  Integer GetClientWidth() { return GetClientBounds().Width(); }
  Integer GetClientHeight() { return GetClientBounds().Height(); }
  // The site in site coordinates before each calculation; (MaxInt, MaxInt) when not known.
  TPoint GetMousePos() const { return FMousePos; }
  // Where the site is shown: the master view's site for a detail, else the grid.
  TWinControl* GetParentControl() const;
  TqvCanvas* GetCanvas() const;
  // The height of "Qq" in AFont on the site's canvas.
  Integer GetFontHeight(TFont* AFont);

  // A cell that runs code which may rebuild the layout asks to be watched, and then whether it
  // still exists; a view cell leaves the list when it is freed.
  void WatchCell(TqvCustomGridCellViewInfo* ACell);
  bool IsCellWatched(TqvCustomGridCellViewInfo* ACell) const;
  void UnwatchCell(TqvCustomGridCellViewInfo* ACell);

 protected:
  // Overrides the client bounds until the next RecreateViewInfos.
  void SetClientBounds(const TRect& R);

 private:
  void TakeMousePos();

  std::vector<TqvCustomGridCellViewInfo*> FWatchedCells;
  TRect FBounds;
  TRect FExplicitClientBounds;
  bool FHasExplicitClientBounds = false;
  bool FCalculating = false;
  TPoint FMousePos;
  TOwned<TqvGridSite> FSite;
  bool FMeasuring = false;
  bool FChangingVisibility = false;
};

// Where a hidden site that keeps the input focus waits: out of sight, and it does not paint.
constexpr Integer qvGridSiteParkedLeft = 30000;
// Posted to a site resized while its layout cannot be calculated; pending ones collapse into
// one.
constexpr UINT WM_QV_GRIDSITE_DEFERREDSIZE = WM_USER + 1;

// The window a view paints into and takes its input through. It has no behaviour of its own:
// each event goes to the view's controller, before or after the site's own handling:
//   mouse down             inherited, then MouseDown (window made)
//   mouse move             inherited, then MouseMove unless an internal drag is pressed or runs
//   mouse up               while an internal drag runs inherited first, else the controller
//                          first; then a right-button release tells the grid's subscribers
//                          (nkContextPopup)
//   key down, press, up    inherited, then the controller
//   CN_KEYDOWN/SYSKEYDOWN  the grid's subscribers (nkKeyDown); inherited only while the
//                          message's Result stays 0
//   every message          the controller's WndProc, then inherited
//   cancel mode            inherited, then DoCancelMode; loss of focus: DoExit, then inherited
//   cursor                 the controller's unless crDefault, else inherited
//   internal drag          begin: controller, inherited; move: inherited, controller;
//                          end: controller, inherited; start: the controller's answer
//   standard drag          start: BeforeStartDrag, inherited, StartDrag; over: inherited,
//                          DragOver; dropped: DragDrop, inherited; ended: EndDrag, inherited
// The view's mouse, key and drag events are kept here, so that they fire with the site as
// Sender.
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
  // The client size kept from the last change of the bounds.
  Integer GetLastClientWidth() const { return FLastClientWidth; }
  Integer GetLastClientHeight() const { return FLastClientHeight; }
  // The window has the focus, or the controller reports a focused inner control.
  bool IsFocused() override;
  // The focused view's controller first ends its editing.
  void SetFocus() override;
  // A new parent: the grid's look and feel becomes the master of the site's, and only sites of
  // top levels are tab stops. Taken off its parent while its view is focused, the site hands
  // the focus to the old parent.
  void SetParent(TWinControl* AParent) override;
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  // Not while the view info calculates.
  void UpdateScrollBars() override;
  // The controller's scroll-bar settings reach the bars through it.
  using TqvControl::SetScrollBarInfo;
  // Inherited; otherwise, while the view is focused, the data controller's.
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, Integer X, Integer Y) override;
  void DoEndDrag(TObject* Target, Integer X, Integer Y) override;

 protected:
  // Only while the view info does not calculate and the site is not parked: the view's painter.
  void Paint() override;
  // A new client size lays the view out again at once when it and its masters can be
  // calculated, else, while the scroll bars are being updated, once the message loop runs.
  void BoundsChanged() override;
  // The view becomes the grid's focused view when the site gains the focus; the grid hears
  // whether the focus is inside it.
  void FocusChanged() override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  // The site never realigns its parent.
  void RequestAlign() override {}
  // The grid's.
  bool IsDesigning() const override;
  // Never an automatic drag at design time.
  bool CanDrag(Integer /*X*/, Integer /*Y*/) override { return false; }
  bool CanStartAutoDrag(Integer X, Integer Y) const override;
  // A click on the site's scroll bar focuses the site only while the grid is not focused.
  bool FocusWhenChildIsClicked(TControl* AChild) override;
  TCursor GetCurrentCursor(Integer X, Integer Y) override;
  // Inherited, or the left button is down and the controller accepts the hit test there.
  bool GetDesignHitTest(Integer X, Integer Y, TShiftState Shift) override;
  TqvMouseWheelScrollingKind GetMouseWheelScrollingKind() const override;
  bool IsPixelScrollBar(TScrollBarKind AKind) const override;
  bool MayFocus() const override;
  void InitScrollBarsParameters() override;
  void Scroll(TScrollBarKind AKind, TScrollCode ACode, Integer& APosition) override;
  // Inherited, then adjusted by the view info.
  TRect GetHScrollBarBounds() override;
  void DoCancelMode() override;
  void DoExit() override;
  void BeforeMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void BeginDragAndDrop() override;
  void DragAndDrop(TPoint P, bool& Accepted) override;
  void EndDragAndDrop(bool Accepted) override;
  bool StartDragAndDrop(TPoint P) override;
  void DoStartDrag(TDragObject*& DragObject) override;

 private:
  void TakeClientSize();
  // The view info of the view and those of all its masters can calculate now.
  bool CanRecalculateLayout() const;
  void KeyDownNotification(TMessage& Message);
  void DeferredSizeChanged();
  // The view is focused and its data controller handles the action.
  bool FocusedDataControllerHandles(bool (TqvCustomDataController::*AHandle)(TBasicAction*), TBasicAction* Action);

  TqvCustomGridViewInfo* FViewInfo;
  Integer FLastClientWidth = 0;
  Integer FLastClientHeight = 0;
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
  void ReleaseFromMasterRecord();

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
