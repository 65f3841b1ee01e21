// The detail areas of levels: the rectangle in which a level's children are offered, with an
// optional strip of tabs (one per visible child, left or on top), an optional frame and the
// client area in which the active child's view is laid out. The grid has one for its root
// level (the top tabs); an expanded master row has one for its level's children.
//
// Map of this header:
//   TqvGridDetailsSiteTabHitTest                               what a tab answers (code 50)
//   TqvCustomGridDetailsSiteViewInfo, TqvGridTopDetailsSiteViewInfo    the area and the grid's
//   TqvCustomGridDetailsSiteTabsViewInfo and the left and top kinds    the strip of tabs
//   TqvCustomGridDetailsSiteTabViewInfo and the left and top kinds     one tab (a layout cell)
//   TqvGridDetailsSitePainter, TqvGridDetailsSiteTabsPainter,
//   TqvGridDetailsSiteTabPainter                                        their painters
//
// Where the parts live: qvGridDetailsSite.cpp (the area, its painter, the hit test),
// qvGridDetailsSiteTabs.cpp (the strip, the tabs and their painters).
#pragma once

#include <limits>
#include <vector>

#include "core/qvClasses.h"
#include "grid/qvGridCustomViewCells.h"

class TqvCustomGridDetailsSiteTabsViewInfo;
class TqvCustomGridDetailsSiteTabViewInfo;
class TqvCustomGridDetailsSiteViewInfo;
class TqvGridDetailsSitePainter;
class TqvGridDetailsSiteTabsPainter;
class TqvGridLevel;

// ---------------------------------------------------------------------------------------------
// Hit test

// A level tab: its level and whose tabs they are (the grid for the root tabs). Both are
// watched: once freed they answer nullptr.
class TqvGridDetailsSiteTabHitTest : public TqvCustomGridHitTest {
  QJ_CLASS(TqvGridDetailsSiteTabHitTest, TqvCustomGridHitTest)
 public:
  static Integer HitTestCode() { return 50; }

  TqvGridLevel* GetLevel() const;
  void SetLevel(TqvGridLevel* AValue);
  TComponent* GetOwner() const;
  void SetOwner(TComponent* AValue);

 private:
  TqvGridLevel* FLevel = nullptr;
  TAliveToken FLevelAlive;
  TComponent* FOwner = nullptr;
  TAliveToken FOwnerAlive;
};

// ---------------------------------------------------------------------------------------------
// The area

using TqvGridDetailsSiteTabsViewInfoClass =
    const TMetaClassFor<TqvCustomGridDetailsSiteTabsViewInfo, TqvCustomGridDetailsSiteViewInfo*>*;
using TqvGridDetailsSitePainterClass =
    const TMetaClassFor<TqvGridDetailsSitePainter, TqvCanvas*, TqvCustomGridDetailsSiteViewInfo*>*;

// The detail area of one level's children. A component, so that it hears when its active view
// is freed. Bounds are in the coordinates of the control it paints on.
class TqvCustomGridDetailsSiteViewInfo : public TqvComponent {
 public:
  using MetaType = TMetaClassFor<TqvCustomGridDetailsSiteViewInfo, TqvGridLevel*>;
  QJ_CLASS(TqvCustomGridDetailsSiteViewInfo, TqvComponent)

 public:
  static constexpr Integer EmptyClientHeight = 100;
  static constexpr Integer EmptyClientWidth = 200;

  explicit TqvCustomGridDetailsSiteViewInfo(TqvGridLevel* ALevel);
  ~TqvCustomGridDetailsSiteViewInfo() override;
  // The tabs, from GetTabsViewInfoClass.
  void AfterConstruction() override;
  // The tabs go while the area is whole (a tab lets go of the mouse through its canvas).
  void BeforeDestruction() override;

  // In slot order.
  // The height for the active view's needs within GetMaxHeight (sets FullyVisible and
  // NormalHeight); the width within GetMinWidth and GetMaxWidth.
  virtual Integer CalculateHeight();
  virtual Integer CalculateWidth();
  // The grid's colour.
  virtual TColor GetBackgroundColor();
  virtual TqvCanvas* GetCanvas() = 0;
  // Bounds less the tabs, deflated by the frame width.
  virtual TRect GetClientBounds();
  virtual Integer GetEmptyClientHeight() { return EmptyClientHeight; }
  virtual Integer GetEmptyClientWidth() { return EmptyClientWidth; }
  // The level's detail frame colour in use.
  virtual TColor GetFrameColor();
  virtual Integer GetFrameWidth();
  virtual Integer GetHeight() { return CalculateHeight(); }
  virtual TqvLookAndFeelPainterClass GetLookAndFeelPainter() = 0;
  virtual Integer GetMaxHeight() = 0;
  virtual Integer GetMaxNormalHeight() { return std::numeric_limits<Integer>::max(); }
  virtual Integer GetMaxWidth() = 0;
  virtual Integer GetMinWidth() { return GetMaxWidth(); }
  virtual Integer GetNormalHeight() { return FNormalHeight; }
  virtual Integer GetWidth() { return CalculateWidth(); }
  virtual TqvGridDetailsSitePainterClass GetPainterClass();
  // Left or top tabs by the level's DetailTabsPosition; nullptr for none.
  virtual TqvGridDetailsSiteTabsViewInfoClass GetTabsViewInfoClass();
  virtual TqvCustomGridView* GetActiveGridView() = 0;
  // A cached active view that is not being destroyed.
  virtual bool HasActiveGridView();
  // GetActiveGridView on first request, then kept (and watched) until it is freed; a view
  // being destroyed is none.
  virtual TqvCustomGridView* GetActiveGridViewCached();
  virtual TqvGridLevel* GetActiveLevel() = 0;
  virtual bool GetVisible() { return true; }
  // Whose tabs a tab hit test names.
  virtual void InitTabHitTest(TqvGridDetailsSiteTabHitTest* AHitTest) = 0;
  // Bounds at (ALeft, ATop) with the size from GetWidth and GetHeight; the tabs within them;
  // the active view laid out in the client bounds.
  virtual void Calculate(Integer ALeft, Integer ATop);
  // A pressed tab's level becomes the active one.
  virtual void SetActiveLevel(TqvGridLevel* ALevel) = 0;
  // A tab at P; else, inside the active view's site, the view's hit test there (in the site's
  // coordinates); else nullptr.
  virtual TOwned<TqvCustomGridHitTest> GetHitTest(TPoint P);
  // The active view's site is shown or hidden with the area.
  virtual void VisibilityChanged(bool AVisible);

  // A painter of GetPainterClass paints the area.
  void Paint(TqvCanvas* ACanvas);
  TqvGridLevel* GetLevel() const { return FLevel; }
  TqvCustomGridDetailsSiteTabsViewInfo* GetTabsViewInfo() const { return FTabsViewInfo.get(); }
  const TRect& GetBounds() const { return FBounds; }
  // The client bounds inflated by the frame width.
  TRect GetFrameBounds();
  // The view would be cut at the last CalculateHeight.
  bool GetFullyVisible() const { return FFullyVisible; }
  // Tabs and frame: the site's height less the client's, and its width likewise.
  Integer GetNonClientHeight();
  Integer GetNonClientWidth();

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TqvGridLevel* FLevel;
  TOwned<TqvCustomGridDetailsSiteTabsViewInfo> FTabsViewInfo;
  TRect FBounds;
  TqvCustomGridView* FActiveGridView = nullptr;
  bool FActiveGridViewTaken = false;
  bool FFullyVisible = true;
  Integer FNormalHeight = 0;
};

// The grid's area for its root level: the whole client area, the grid's canvas and painter,
// its active level and active view.
class TqvGridTopDetailsSiteViewInfo : public TqvCustomGridDetailsSiteViewInfo {
  QJ_CLASS(TqvGridTopDetailsSiteViewInfo, TqvCustomGridDetailsSiteViewInfo)
 public:
  using TqvCustomGridDetailsSiteViewInfo::TqvCustomGridDetailsSiteViewInfo;

  TqvCustomGrid* GetGrid() const;
  TqvCanvas* GetCanvas() override;
  // The grid's client height and width.
  Integer GetHeight() override { return GetMaxHeight(); }
  Integer GetWidth() override { return GetMaxWidth(); }
  Integer GetMaxHeight() override;
  Integer GetMaxWidth() override;
  TqvLookAndFeelPainterClass GetLookAndFeelPainter() override;
  TqvCustomGridView* GetActiveGridView() override;
  TqvGridLevel* GetActiveLevel() override;
  // The grid owns the root tabs.
  void InitTabHitTest(TqvGridDetailsSiteTabHitTest* AHitTest) override;
  void SetActiveLevel(TqvGridLevel* ALevel) override;
  // Nothing while the grid is being destroyed.
  void VisibilityChanged(bool AVisible) override;
};

// ---------------------------------------------------------------------------------------------
// The strip of tabs

using TqvGridDetailsSiteTabViewInfoClass =
    const TqvGridCellMetaClassFor<TqvCustomGridDetailsSiteTabViewInfo, TqvCustomGridDetailsSiteTabsViewInfo*,
                                  TqvGridLevel*>*;
using TqvGridDetailsSiteTabsPainterClass =
    const TMetaClassFor<TqvGridDetailsSiteTabsPainter, TqvCanvas*, TqvCustomGridDetailsSiteTabsViewInfo*>*;

// The tabs of a detail area, one per visible child of its level in that order.
class TqvCustomGridDetailsSiteTabsViewInfo : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvCustomGridDetailsSiteTabsViewInfo, TqvCustomGridDetailsSiteViewInfo*>;
  QJ_CLASS(TqvCustomGridDetailsSiteTabsViewInfo, TObject)

 public:
  // Space left of and above the first tab, and the strip along the client side.
  static constexpr Integer TabsIndent = 2;
  static constexpr Integer MainSideWidth = 4;

  explicit TqvCustomGridDetailsSiteTabsViewInfo(TqvCustomGridDetailsSiteViewInfo* ADetailsSite);
  ~TqvCustomGridDetailsSiteTabsViewInfo() override;
  // One tab of GetTabClass per visible child of the level.
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // In slot order.
  virtual Integer CalculateHeight() = 0;
  virtual Integer CalculateWidth() = 0;
  virtual void AdjustSiteHeight(Integer& /*AHeight*/) {}
  virtual void AdjustSiteWidth(Integer& /*AWidth*/) {}
  virtual Integer GetTabOffset() = 0;
  // The colour of the level's TabsBackground style.
  virtual TColor GetBackgroundColor();
  virtual bool IsVertical() = 0;
  virtual TqvGridDetailsSiteTabViewInfoClass GetTabClass() = 0;
  // A tab's height and width.
  virtual Integer GetTabExtent(TqvCustomGridDetailsSiteTabViewInfo* ATab);
  virtual Integer GetTabBreadth(TqvCustomGridDetailsSiteTabViewInfo* ATab);
  virtual TqvGridDetailsSiteTabsPainterClass GetPainterClass();
  // The sides of the strip along the client side that the painter draws.
  virtual TqvBorders GetBorderSides() = 0;
  // The strip along the client side.
  virtual TRect GetMainSideBounds() = 0;
  // The tabs laid out in R from its corner (the first tab, when active, reaches over its
  // leading border).
  virtual void Calculate(const TRect& R);
  // R loses the strip's width (left tabs) or height (top tabs).
  virtual void AdjustClientBounds(TRect& R) = 0;
  // The first tab's hit test at P.
  virtual TOwned<TqvCustomGridHitTest> GetHitTest(TPoint P);

  // A painter of GetPainterClass paints the strip.
  void Paint(TqvCanvas* ACanvas);
  TqvCustomGridDetailsSiteViewInfo* GetDetailsSite() const { return FDetailsSite; }
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TqvCustomGridDetailsSiteTabViewInfo* GetItem(Integer AIndex) const { return FItems.at(static_cast<size_t>(AIndex)).get(); }
  const TRect& GetBounds() const { return FBounds; }
  // Measured on first request.
  Integer GetHeight();
  Integer GetWidth();

 protected:
  void SetBounds(const TRect& R) { FBounds = R; }

 private:
  TqvCustomGridDetailsSiteViewInfo* FDetailsSite;
  std::vector<TOwned<TqvCustomGridDetailsSiteTabViewInfo>> FItems;
  TRect FBounds;
  Integer FHeight = 0;
  Integer FWidth = 0;
};

// Tabs stacked down the left side of the area.
class TqvGridDetailsSiteLeftTabsViewInfo : public TqvCustomGridDetailsSiteTabsViewInfo {
  QJ_CLASS(TqvGridDetailsSiteLeftTabsViewInfo, TqvCustomGridDetailsSiteTabsViewInfo)
 public:
  using TqvCustomGridDetailsSiteTabsViewInfo::TqvCustomGridDetailsSiteTabsViewInfo;

  // 4 + the tabs' heights.
  Integer CalculateHeight() override;
  // The widest tab + 5, + the tab offset for two tabs or more.
  Integer CalculateWidth() override;
  void AdjustSiteHeight(Integer& AHeight) override;
  Integer GetTabOffset() override { return 3; }
  bool IsVertical() override { return true; }
  TqvGridDetailsSiteTabViewInfoClass GetTabClass() override;
  // Left, top, bottom.
  TqvBorders GetBorderSides() override;
  TRect GetMainSideBounds() override;
  void Calculate(const TRect& R) override;
  void AdjustClientBounds(TRect& R) override;
};

// Tabs in a row along the top of the area.
class TqvGridDetailsSiteTopTabsViewInfo : public TqvCustomGridDetailsSiteTabsViewInfo {
  QJ_CLASS(TqvGridDetailsSiteTopTabsViewInfo, TqvCustomGridDetailsSiteTabsViewInfo)
 public:
  using TqvCustomGridDetailsSiteTabsViewInfo::TqvCustomGridDetailsSiteTabsViewInfo;

  // The highest tab + 5, + the tab offset for two tabs or more.
  Integer CalculateHeight() override;
  // 4 + the tabs' widths.
  Integer CalculateWidth() override;
  void AdjustSiteWidth(Integer& AWidth) override;
  Integer GetTabOffset() override { return 2; }
  bool IsVertical() override { return false; }
  TqvGridDetailsSiteTabViewInfoClass GetTabClass() override;
  // Left, top, right.
  TqvBorders GetBorderSides() override;
  TRect GetMainSideBounds() override;
  void Calculate(const TRect& R) override;
  void AdjustClientBounds(TRect& R) override;
};

// ---------------------------------------------------------------------------------------------
// A tab

// The tab of one child level: its caption in the level's Tab style, drawn by the look-and-feel
// painter's tab operations. Pressing it makes its level the area's active level.
class TqvCustomGridDetailsSiteTabViewInfo : public TqvCustomGridCellViewInfo {
 public:
  using MetaType = TqvGridCellMetaClassFor<TqvCustomGridDetailsSiteTabViewInfo, TqvCustomGridDetailsSiteTabsViewInfo*,
                                           TqvGridLevel*>;
  QJ_CLASS(TqvCustomGridDetailsSiteTabViewInfo, TqvCustomGridCellViewInfo)

 public:
  // Room left and right of the caption.
  static constexpr Integer TextIndent = 5;

  TqvCustomGridDetailsSiteTabViewInfo(TqvCustomGridDetailsSiteTabsViewInfo* ATabsViewInfo, TqvGridLevel* ALevel);

  // Text height + 4.
  Integer CalculateHeight() override;
  // Text width + 4 + 10.
  Integer CalculateWidth() override;
  // Tab borders are drawn by the painter's DrawTabFrame, not in a colour.
  TColor GetBorderColor(TqvBorder /*ASide*/) override { return clDefault; }
  // The painter's tab border width.
  Integer GetBorderWidth(TqvBorder ASide) override;
  TqvCanvas* GetCanvas() override;
  TqvGridHitTestClass GetHitTestClass() override;
  bool GetHotTrack() override;
  TqvGridCellPainterClass GetPainterClass() override;
  // The level's caption.
  String GetText() override;
  // The inherited area less TextIndent on the left and on the right.
  TRect GetTextAreaBounds() override;
  // The Tab params of the area level's styles for this tab's level.
  void GetViewParams(TqvViewParams& AParams) override;
  // The hit test names the tab's level, and the area names whose tabs these are.
  void InitHitTest(TqvCustomGridHitTest* AHitTest) override;
  // The state machine, then the level becomes the area's active level (which rebuilds the
  // layout: the tab is not touched afterwards).
  bool MouseDown(TqvCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override;

  // In slot order.
  // Pressed for the active tab, else the state.
  virtual TqvGridCellState GetPaintState();

  // The tab's level is the area's active level.
  bool IsActive();
  bool IsVertical();
  // The level's place among the visible children (the tab's place in the strip).
  Integer GetIndex() const { return FIndex; }
  TqvGridLevel* GetLevel() const { return FLevel; }
  TqvCustomGridDetailsSiteTabsViewInfo* GetTabsViewInfo() const { return FTabsViewInfo; }
  TqvCustomGridDetailsSiteViewInfo* GetDetailsSite() const { return FTabsViewInfo->GetDetailsSite(); }

 protected:
  // The neighbour at AIndex is the active tab; nullptr or none: False.
  bool IsTabActive(Integer AIndex);
  bool IsFirst() const { return FIndex == 0; }
  bool IsLast() const { return FIndex == FTabsViewInfo->GetCount() - 1; }

 private:
  TqvCustomGridDetailsSiteTabsViewInfo* FTabsViewInfo;
  TqvGridLevel* FLevel;
  Integer FIndex;
};

class TqvGridDetailsSiteLeftTabViewInfo : public TqvCustomGridDetailsSiteTabViewInfo {
  QJ_CLASS(TqvGridDetailsSiteLeftTabViewInfo, TqvCustomGridDetailsSiteTabViewInfo)
 public:
  using TqvCustomGridDetailsSiteTabViewInfo::TqvCustomGridDetailsSiteTabViewInfo;

  TqvAlignmentVert GetAlignmentVert() override { return vaCenter; }
  // Active: left, top, bottom. Else left and right, with the top after an inactive tab (or
  // first) and the bottom before one (or last).
  TqvBorders GetBorders() override;
  // Inherited + the actual top and bottom borders, and both once more when active.
  Integer CalculateHeight() override;
  // Inherited + the left and right borders.
  Integer CalculateWidth() override;
  // An inactive tab stands back by the tab offset on the left.
  void Calculate(Integer ALeft, Integer ATop, Integer AWidth = -1, Integer AHeight = -1) override;
};

class TqvGridDetailsSiteTopTabViewInfo : public TqvCustomGridDetailsSiteTabViewInfo {
  QJ_CLASS(TqvGridDetailsSiteTopTabViewInfo, TqvCustomGridDetailsSiteTabViewInfo)
 public:
  using TqvCustomGridDetailsSiteTabViewInfo::TqvCustomGridDetailsSiteTabViewInfo;

  // Active: left, top, right. Else top and bottom, with the left after an inactive tab (or
  // first) and the right before one (or last).
  TqvBorders GetBorders() override;
  // Inherited + the top and bottom borders.
  Integer CalculateHeight() override;
  // Inherited + the actual left and right borders, and both once more when active.
  Integer CalculateWidth() override;
  // An inactive tab stands back by the tab offset at the top.
  void Calculate(Integer ALeft, Integer ATop, Integer AWidth = -1, Integer AHeight = -1) override;
};

// ---------------------------------------------------------------------------------------------
// Painters

// Paints a detail area: the frame, the tabs (clipped to their strip), the client background;
// then the area leaves the canvas's clip region.
class TqvGridDetailsSitePainter : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvGridDetailsSitePainter, TqvCanvas*, TqvCustomGridDetailsSiteViewInfo*>;
  QJ_CLASS(TqvGridDetailsSitePainter, TObject)

 public:
  TqvGridDetailsSitePainter(TqvCanvas* ACanvas, TqvCustomGridDetailsSiteViewInfo* AViewInfo)
      : FCanvas(ACanvas), FViewInfo(AViewInfo) {}

  // In slot order.
  // The client bounds in the area's background colour.
  virtual void DrawBackground();
  // A frame of the frame width in the frame colour round the client bounds.
  virtual void DrawFrame();
  // The tabs with the clip region cut to their strip, put back afterwards.
  virtual void DrawTabs();
  virtual void Paint();

  TqvCanvas* GetCanvas() const { return FCanvas; }
  TqvCustomGridDetailsSiteViewInfo* GetViewInfo() const { return FViewInfo; }

 private:
  TqvCanvas* FCanvas;
  TqvCustomGridDetailsSiteViewInfo* FViewInfo;
};

// Paints a strip of tabs: its background, the side along the client area, then each tab.
class TqvGridDetailsSiteTabsPainter : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvGridDetailsSiteTabsPainter, TqvCanvas*, TqvCustomGridDetailsSiteTabsViewInfo*>;
  QJ_CLASS(TqvGridDetailsSiteTabsPainter, TObject)

 public:
  TqvGridDetailsSiteTabsPainter(TqvCanvas* ACanvas, TqvCustomGridDetailsSiteTabsViewInfo* AViewInfo)
      : FCanvas(ACanvas), FViewInfo(AViewInfo) {}

  // In slot order.
  // The strip in the TabsBackground colour.
  virtual void DrawBackground();
  // Each tab on its own canvas.
  virtual void DrawItems();
  // The look-and-feel painter's DrawTabsBackground on the side along the client area.
  virtual void DrawMainSide();
  virtual void Paint();

  TqvCanvas* GetCanvas() const { return FCanvas; }
  TqvCustomGridDetailsSiteTabsViewInfo* GetViewInfo() const { return FViewInfo; }

 private:
  TqvCanvas* FCanvas;
  TqvCustomGridDetailsSiteTabsViewInfo* FViewInfo;
};

// A tab: the look-and-feel painter's DrawTab when it draws whole tabs, else the cell's
// background and text; each border through DrawTabFrame.
class TqvGridDetailsSiteTabPainter : public TqvCustomGridCellPainter {
  QJ_CLASS(TqvGridDetailsSiteTabPainter, TqvCustomGridCellPainter)
 public:
  using TqvCustomGridCellPainter::TqvCustomGridCellPainter;

  void DrawBorder(TqvBorder ASide) override;
  void DrawContent() override;

 protected:
  TqvCustomGridDetailsSiteTabViewInfo* GetTab() const;
};
