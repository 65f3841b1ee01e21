// The painters of the tab controls: everything a tab control shows and every measure its layout
// uses. Four styles: "Tabs" (1), "Buttons" (2), "FlatButtons" (3) and "Flat" (5); the class of
// a painter is its style, with class-level answers in its metaclass record.
//
// Where the parts live: qvPCPainters.cpp (the base and standard painter: measures, tabs areas,
// navigator buttons, tab content, repaints, clip stack), qvPCPaintersTabs.cpp (the Tabs painter,
// classic and themed), qvPCPaintersButtons.cpp (the two button painters), qvPCPaintersFlat.cpp
// (the Flat painter).
#pragma once

#include <vector>

#include "pagecontrol/qvPC.h"

class TqvLookAndFeel;
class TqvPCCustomPainter;

// The metaclass record of the painter family: a factory and the class-level answers. Make<Cls>
// takes each answer from Cls's static hook of the same name.
struct TqvPCPainterMetaClass : TMetaClassFor<TqvPCCustomPainter, TqvCustomTabControl*> {
  using TFactory = TMetaClassFor<TqvPCCustomPainter, TqvCustomTabControl*>;

  Integer (*GetStandardStyle)() = nullptr;
  TqvPCStyleID (*GetStyleID)() = nullptr;
  String (*GetStyleName)() = nullptr;
  bool (*IsDefaultForLookAndFeel)(TqvLookAndFeel* ALookAndFeel) = nullptr;
  bool (*AllowsNativeStyle)(TqvLookAndFeel* ALookAndFeel) = nullptr;
  bool (*MovesActiveRow)() = nullptr;
  bool (*AllowsMultiSelection)() = nullptr;
  bool (*TabsAreButtons)() = nullptr;

  template <class Cls>
  static TqvPCPainterMetaClass Make(const char* AName, const TMetaClass* AParent) {
    TqvPCPainterMetaClass m;
    static_cast<TFactory&>(m) = TFactory::Make<Cls>(AName, AParent);
    m.GetStandardStyle = &Cls::StandardStyle;
    m.GetStyleID = &Cls::StyleID;
    m.GetStyleName = &Cls::StyleName;
    m.IsDefaultForLookAndFeel = &Cls::DefaultForLookAndFeel;
    m.AllowsNativeStyle = &Cls::NativeStyleAllowed;
    m.MovesActiveRow = &Cls::ActiveRowMoves;
    m.AllowsMultiSelection = &Cls::MultiSelectionAllowed;
    m.TabsAreButtons = &Cls::TabsButtons;
    return m;
  }
};
using TqvPCPainterClass = const TqvPCPainterMetaClass*;

// The standard styles the standard painter's tables are indexed by.
enum TqvPCStandardStyle { tssTabs, tssButtons, tssFlatButtons };

// Image and text margins: left, top, right, bottom.
struct TqvPCMargins {
  Integer Left = 0, Top = 0, Right = 0, Bottom = 0;
  friend bool operator==(const TqvPCMargins&, const TqvPCMargins&) = default;
};

// What a tab shows and where, as computed for drawing (client coordinates).
struct TqvPCOutTabImageAndTextData {
  TRect ImageRect;  // empty without an image
  TRect TextRect;   // where the text's box lies; empty without a caption
  String Text;      // the display caption, cut with "..." when it does not fit
};

// One navigator button as placed.
struct TqvPCNavigatorButtonInfo {
  TqvPCNavigatorButton Button;
  TRect Bounds;
};

// A painter's read-only view of its control.
class TqvPCPainterParentInfo : public TObject {
  QJ_CLASS(TqvPCPainterParentInfo, TObject)
 public:
  explicit TqvPCPainterParentInfo(TqvCustomTabControl* AControl) : FControl(AControl) {}

  TqvCustomTabControl* GetControl() const { return FControl; }
  TqvCanvas* GetCanvas() const { return FControl->GetCanvas(); }
  TColor GetColor() const { return FControl->GetColor(); }
  TColor GetFontColor() const { return FControl->GetFont()->GetColor(); }
  const TRect& GetBeforeBand() const { return FControl->GetBeforeBand(); }
  const TRect& GetAfterBand() const { return FControl->GetAfterBand(); }
  Integer GetWidth() const { return FControl->GetWidth(); }
  Integer GetHeight() const { return FControl->GetHeight(); }
  bool GetHideTabs() const { return FControl->GetHideTabs(); }
  // COLOR_HOTLIGHT: every system the library runs on has it.
  TColor GetHotColor() const { return clHotLight; }
  Integer GetImageBorder() const { return FControl->GetImageBorder(); }
  Integer GetActiveVisibleIndex() const { return FControl->GetActiveVisibleIndex(); }
  bool GetMultiLine() const { return FControl->GetMultiLine(); }
  TqvPCNavigatorButtons GetNavigatorButtons() const { return FControl->GetNavigatorButtons(); }
  TqvPCNavigatorButtonState GetNavigatorButtonState(TqvPCNavigatorButton B) const {
    return FControl->GetNavigatorButtonState(B);
  }
  TqvPCNavigatorPosition GetNavigatorPosition() const { return FControl->GetNavigatorPosition(); }
  bool GetRotate() const { return FControl->GetRotate(); }
  Integer GetRowCount() const { return FControl->GetRowCount(); }
  bool GetShowFrame() const { return FControl->GetShowFrame(); }
  SmallInt GetTabHeight() const { return FControl->GetTabHeight(); }
  TqvTabPosition GetTabPosition() const { return FControl->GetTabPosition(); }
  SmallInt GetTabWidth() const { return FControl->GetTabWidth(); }
  Integer GetRowsBeforePage() const { return FControl->GetRowsBeforePage(); }
  TqvTab* GetTab(Integer VisibleIndex) const { return FControl->GetVisibleTabs()->GetTab(VisibleIndex); }
  Integer GetVisibleTabCount() const { return FControl->GetVisibleTabs()->GetCount(); }

 private:
  TqvCustomTabControl* FControl;
};

// The base painter: no measures of its own, no drawing; the standard painter supplies them.
class TqvPCCustomPainter : public TObject {
 public:
  using MetaType = TqvPCPainterMetaClass;
  QJ_CLASS(TqvPCCustomPainter, TObject)

 public:
  explicit TqvPCCustomPainter(TqvCustomTabControl* AControl);
  ~TqvPCCustomPainter() override;

  TqvCustomTabControl* GetControl() const { return FControl; }
  TqvPCPainterParentInfo* GetParentInfo() const { return FParentInfo.get(); }
  TqvPCPainterClass GetPainterClass() const { return static_cast<TqvPCPainterClass>(ClassType()); }

  // Class-level hooks (see TqvPCPainterMetaClass).
  static Integer StandardStyle() { return tssTabs; }
  static TqvPCStyleID StyleID() { return -1; }
  static String StyleName() { return String(); }
  static bool DefaultForLookAndFeel(TqvLookAndFeel*) { return false; }
  static bool NativeStyleAllowed(TqvLookAndFeel*) { return false; }
  static bool ActiveRowMoves() { return true; }
  static bool MultiSelectionAllowed() { return false; }
  static bool TabsButtons() { return false; }

  // Measures and areas.
  virtual Integer GetTabNormalHeight() = 0;
  virtual Integer GetTabNormalWidth(TqvTab* ATab) = 0;
  virtual TqvTabCorrection GetTabCorrection(Integer VisibleIndex);
  // The client area of the pages, normalised.
  virtual TRect GetDisplayRect() = 0;
  virtual TRect GetFrameRect() = 0;
  // Empty when the go button is not shown.
  virtual TRect GetGoDialogButtonBounds() = 0;
  // X is used without Rotate, Y with it.
  virtual TPoint GetMinTabVisiblePart() = 0;
  virtual Integer GetMinTabNormalWidth() = 0;
  // False when the tab has no theme part.
  virtual bool GetTabThemePart(Integer VisibleIndex, Integer& APart, Integer& AState);
  // X between neighbouring tabs, Y between rows (exchanged by the layout with Rotate).
  virtual TPoint GetTabsIntervals() { return {0, 0}; }
  virtual TqvPCTabsArea CalculateTabsArea(TqvPCNavigatorButtons AButtons) = 0;
  virtual bool IsNativePainting() { return false; }
  virtual bool GetNavigatorButtonAt(Integer X, Integer Y, TqvPCNavigatorButton& AButton) = 0;
  virtual bool IsTabHit(Integer, Integer, Integer) { return true; }

  // Painting.
  virtual void Paint();
  virtual void RepaintNavigatorButton(TqvPCNavigatorButton, TqvPCNavigatorButtonState) {}
  virtual void RepaintNavigatorArea() {}
  virtual void RepaintTab(Integer, TqvTabChangeKind) {}
  virtual void RepaintRows();

 protected:
  virtual void PaintNavigatorButtons() = 0;
  virtual void PaintFrame() = 0;
  virtual void BeforePaintNavigatorButtons() {}
  virtual void PaintTabs() = 0;

  TqvCanvas* Canvas() const { return FParentInfo->GetCanvas(); }
  void Invalidate(const TRect& R);
  // The clip stack: push saves the current clip, the narrowing intersects (or replaces) it.
  void PushClip(const TRect& R, bool AReplace = false);
  void PopClip();
  void ExcludeClip(const TRect& R);

 private:
  TqvCustomTabControl* FControl;
  TOwned<TqvPCPainterParentInfo> FParentInfo;
  std::vector<TOwned<TqvRegion>> FClipStack;
};

// Measures, tabs areas, navigator buttons and tab content by the standard style's tables.
class TqvPCStandardPainter : public TqvPCCustomPainter {
  QJ_CLASS(TqvPCStandardPainter, TqvPCCustomPainter)
 public:
  using TqvPCCustomPainter::TqvPCCustomPainter;

  static bool StandardActiveRowMoves(Integer AStandardStyle) { return AStandardStyle == tssTabs; }
  static bool StandardMultiSelectionAllowed(Integer AStandardStyle) { return AStandardStyle != tssTabs; }
  static bool StandardTabsButtons(Integer AStandardStyle) { return AStandardStyle != tssTabs; }

  Integer GetTabNormalHeight() override;
  Integer GetTabNormalWidth(TqvTab* ATab) override;
  TRect GetDisplayRect() override;
  TRect GetFrameRect() override;
  TRect GetGoDialogButtonBounds() override;
  TPoint GetMinTabVisiblePart() override { return {4, 4}; }
  Integer GetMinTabNormalWidth() override;
  TPoint GetTabsIntervals() override;
  TqvPCTabsArea CalculateTabsArea(TqvPCNavigatorButtons AButtons) override;
  bool GetNavigatorButtonAt(Integer X, Integer Y, TqvPCNavigatorButton& AButton) override;
  void RepaintNavigatorButton(TqvPCNavigatorButton AButton, TqvPCNavigatorButtonState AOldState) override;
  void RepaintNavigatorArea() override;
  void RepaintTab(Integer VisibleIndex, TqvTabChangeKind AKind) override;

  // Content of a tab as it would be drawn now (see DrawTabImageAndText).
  TqvPCOutTabImageAndTextData CalculateTabImageAndText(Integer VisibleIndex);
  const std::vector<TqvPCNavigatorButtonInfo>& GetNavigatorButtonInfos() const { return FNavigatorButtonInfos; }
  const TRect& GetNavigatorArea() const { return FNavigatorArea; }

  // The standard style's metrics.
  virtual Integer GetStandardStyleOf() const = 0;
  virtual Integer GetMinTabHeight();
  virtual Integer GetMinTabWidthBase() { return 42; }
  virtual TqvPCMargins GetImageMargins(Integer VisibleIndex);
  virtual TqvPCMargins GetTextMargins(Integer VisibleIndex);
  virtual Integer GetImageTextGap() { return 6; }
  virtual TPoint GetTextSideMargins(Integer VisibleIndex);
  virtual TPoint GetTextSideMarginsCut(Integer VisibleIndex);
  virtual TColor GetTabColor(Integer VisibleIndex) = 0;
  virtual Integer GetContentTabHeight();
  virtual bool IsTabDown(Integer VisibleIndex);
  virtual Integer GetNavigatorButtonBreadth();
  virtual Integer GetNavigatorButtonLength(TqvPCNavigatorButton AButton);
  virtual Integer GetNavigatorAreaLength(TqvPCNavigatorButtons AButtons);
  // Between two buttons, and from the area's start to the first one.
  virtual Integer GetNavigatorButtonSpacing() { return 0; }
  virtual Integer GetNavigatorButtonsIndent() { return 0; }

 protected:
  void Paint() override;
  void PaintNavigatorButtons() override;
  void PaintFrame() override;
  void PaintTabs() override;
  // Fills what no part covered with the control's colour.
  virtual void PaintBackground();

  virtual void DrawTab(Integer VisibleIndex);
  virtual void DrawTabFrame(Integer VisibleIndex) = 0;
  virtual void PrepareNativeTab(Integer) {}
  // What a tab draws outside its own rectangle, after it.
  virtual void DrawTabBeyondClip(Integer) {}
  virtual void DrawNavigatorButton(TqvPCNavigatorButton AButton, const TRect& R);
  virtual void CalculateNavigatorButtons(TqvPCNavigatorButtons AButtons);
  virtual TRect CalculateNavigatorArea(TqvPCNavigatorButtons AButtons);
  // The shown buttons in drawing order along the line.
  virtual std::vector<TqvPCNavigatorButton> CalculateNavigatorButtonOrder(TqvPCNavigatorButtons AButtons);
  virtual void DrawTabImageAndText(Integer VisibleIndex, TColor ABackgroundColor);
  // The tab's rectangle clipped by the clip region; false when nothing of it shows.
  virtual bool GetTabVisibleRect(Integer VisibleIndex, TRect& R);
  // The frame's client area cut at the inner edges of the bands that hold rows.
  TRect GetCutClientRect(Integer ATabSideGap, Integer AOppositeGap, Integer AInset);
  // The tab's content text colour, or clNone for the embossed look of a disabled tab.
  virtual TColor GetTabTextColor(Integer VisibleIndex);
  void DrawTabText(TqvTab* ATab, const TqvPCOutTabImageAndTextData& AData);
  void DrawFocusRectOf(Integer VisibleIndex);
  // A 2-pixel 3D frame (outer top-left, inner top-left, outer bottom-right, inner bottom-right).
  void Draw3DFrame(const TRect& R, TColor AOuterLT, TColor AInnerLT, TColor AOuterRB, TColor AInnerRB);
  // A filled triangle pointing in the direction, its base ASize wide, centred in R.
  void DrawTriangle(const TRect& R, TqvScrollDirection ADirection, Integer ASize, TColor AColor);
  // The glyph of a navigator button: normal, hot, pressed (moved) or embossed (disabled).
  void DrawNavigatorGlyph(TqvPCNavigatorButton AButton, const TRect& R, TqvPCNavigatorButtonState AState);
  TqvScrollDirection GetGlyphDirection(TqvPCNavigatorButton AButton) const;
  bool IsTabFirstDrawn(Integer VisibleIndex) const { return VisibleIndex == FFirstDrawnTab; }
  void SetFirstDrawnTab(Integer VisibleIndex) { FFirstDrawnTab = VisibleIndex; }

  Integer FDrawnTab = -1;  // the visible index being drawn

 private:
  String CutCaption(const String& ACaption, Integer AAvailable);
  std::vector<TqvPCNavigatorButtonInfo> FNavigatorButtonInfos;
  TRect FNavigatorArea;
  Integer FFirstDrawnTab = -1;
};

// Three-dimensional tabs whose active tab grows over its neighbours and joins the page; drawn
// with the theme's Tab class when the look and feel's native style is on.
class TqvPCTabsPainter : public TqvPCStandardPainter {
  QJ_CLASS(TqvPCTabsPainter, TqvPCStandardPainter)
 public:
  using TqvPCStandardPainter::TqvPCStandardPainter;

  static Integer StandardStyle() { return tssTabs; }
  static TqvPCStyleID StyleID() { return 1; }
  static String StyleName() { return "Tabs"; }
  static bool DefaultForLookAndFeel(TqvLookAndFeel* ALookAndFeel);
  static bool NativeStyleAllowed(TqvLookAndFeel* ALookAndFeel);
  static bool ActiveRowMoves() { return true; }
  static bool MultiSelectionAllowed() { return false; }
  static bool TabsButtons() { return false; }

  Integer GetStandardStyleOf() const override { return tssTabs; }
  Integer GetTabNormalHeight() override;
  TqvTabCorrection GetTabCorrection(Integer VisibleIndex) override;
  TRect GetDisplayRect() override;
  TRect GetFrameRect() override;
  bool GetTabThemePart(Integer VisibleIndex, Integer& APart, Integer& AState) override;
  TqvPCTabsArea CalculateTabsArea(TqvPCNavigatorButtons AButtons) override;
  bool IsNativePainting() override;
  void RepaintRows() override;
  TColor GetTabColor(Integer VisibleIndex) override;
  Integer GetContentTabHeight() override;
  TqvPCMargins GetTextMargins(Integer VisibleIndex) override;
  Integer GetNavigatorButtonBreadth() override;
  Integer GetNavigatorButtonLength(TqvPCNavigatorButton AButton) override;

 protected:
  void PaintFrame() override;
  void PaintTabs() override;
  void PaintBackground() override;
  void DrawTabFrame(Integer VisibleIndex) override;
  void PrepareNativeTab(Integer VisibleIndex) override;
  void DrawTabBeyondClip(Integer VisibleIndex) override;
  void DrawNavigatorButton(TqvPCNavigatorButton AButton, const TRect& R) override;
  TColor GetTabTextColor(Integer VisibleIndex) override;

 private:
  void DrawClassicTabFrame(TqvTab* ATab, const TRect& R);
  void JoinActiveTabToPage(TqvTab* ATab, const TRect& R);
};

// Tabs as buttons: several may be selected with Ctrl; the arrow keys move a focus mark.
class TqvPCButtonedPainter : public TqvPCStandardPainter {
  QJ_CLASS(TqvPCButtonedPainter, TqvPCStandardPainter)
 public:
  explicit TqvPCButtonedPainter(TqvCustomTabControl* AControl);

  bool IsTabDown(Integer VisibleIndex) override;
  TRect GetFrameRect() override;
  TRect GetDisplayRect() override;
  TColor GetTabColor(Integer VisibleIndex) override;
  // The 8 x 8 checkerboard of cl3DLight and clBtnHighlight.
  TBitmap* GetPatternBitmap() const { return FPattern.get(); }

 protected:
  void PaintFrame() override;

 private:
  TOwned<TBitmap> FPattern;
};

class TqvPCButtonsPainter : public TqvPCButtonedPainter {
  QJ_CLASS(TqvPCButtonsPainter, TqvPCButtonedPainter)
 public:
  using TqvPCButtonedPainter::TqvPCButtonedPainter;

  static Integer StandardStyle() { return tssButtons; }
  static TqvPCStyleID StyleID() { return 2; }
  static String StyleName() { return "Buttons"; }
  static bool ActiveRowMoves() { return StandardActiveRowMoves(tssButtons); }
  static bool MultiSelectionAllowed() { return StandardMultiSelectionAllowed(tssButtons); }
  static bool TabsButtons() { return StandardTabsButtons(tssButtons); }

  Integer GetStandardStyleOf() const override { return tssButtons; }

 protected:
  void DrawTabFrame(Integer VisibleIndex) override;
};

class TqvPCFlatButtonsPainter : public TqvPCButtonedPainter {
  QJ_CLASS(TqvPCFlatButtonsPainter, TqvPCButtonedPainter)
 public:
  using TqvPCButtonedPainter::TqvPCButtonedPainter;

  static Integer StandardStyle() { return tssFlatButtons; }
  static TqvPCStyleID StyleID() { return 3; }
  static String StyleName() { return "FlatButtons"; }
  static bool DefaultForLookAndFeel(TqvLookAndFeel* ALookAndFeel);
  static bool ActiveRowMoves() { return StandardActiveRowMoves(tssFlatButtons); }
  static bool MultiSelectionAllowed() { return StandardMultiSelectionAllowed(tssFlatButtons); }
  static bool TabsButtons() { return StandardTabsButtons(tssFlatButtons); }

  Integer GetStandardStyleOf() const override { return tssFlatButtons; }

 protected:
  void PaintTabs() override;
  void DrawTabFrame(Integer VisibleIndex) override;
};

// Flat tabs on a band of the light face colour; the active tab is outlined and joins the page.
class TqvPCFlatPainter : public TqvPCStandardPainter {
  QJ_CLASS(TqvPCFlatPainter, TqvPCStandardPainter)
 public:
  using TqvPCStandardPainter::TqvPCStandardPainter;

  static Integer StandardStyle() { return tssTabs; }
  static TqvPCStyleID StyleID() { return 5; }
  static String StyleName() { return "Flat"; }
  static bool DefaultForLookAndFeel(TqvLookAndFeel* ALookAndFeel);
  static bool ActiveRowMoves() { return true; }
  static bool MultiSelectionAllowed() { return false; }
  static bool TabsButtons() { return false; }

  Integer GetStandardStyleOf() const override { return tssTabs; }
  Integer GetTabNormalHeight() override;
  Integer GetTabNormalWidth(TqvTab* ATab) override;
  Integer GetMinTabNormalWidth() override;
  TqvTabCorrection GetTabCorrection(Integer VisibleIndex) override;
  TRect GetDisplayRect() override;
  TRect GetFrameRect() override;
  TPoint GetTabsIntervals() override;
  TqvPCTabsArea CalculateTabsArea(TqvPCNavigatorButtons AButtons) override;
  Integer GetMinTabHeight() override { return 17; }
  TqvPCMargins GetImageMargins(Integer VisibleIndex) override;
  TqvPCMargins GetTextMargins(Integer VisibleIndex) override;
  TPoint GetTextSideMargins(Integer VisibleIndex) override;
  TPoint GetTextSideMarginsCut(Integer VisibleIndex) override { return GetTextSideMargins(VisibleIndex); }
  TColor GetTabColor(Integer VisibleIndex) override;
  Integer GetContentTabHeight() override;
  Integer GetNavigatorButtonBreadth() override { return 13; }
  Integer GetNavigatorButtonLength(TqvPCNavigatorButton) override { return 13; }

 protected:
  void PaintFrame() override;
  void PaintTabs() override;
  void DrawTabFrame(Integer VisibleIndex) override;
  void DrawNavigatorButton(TqvPCNavigatorButton AButton, const TRect& R) override;
  TRect CalculateNavigatorArea(TqvPCNavigatorButtons AButtons) override;
  Integer GetNavigatorButtonSpacing() override { return 4; }
  Integer GetNavigatorButtonsIndent() override { return 1; }
};

// The light face colour: clBtnFace with 20 added to each channel (kept at 255 above 235).
TColor GetPCLightFaceColor();
