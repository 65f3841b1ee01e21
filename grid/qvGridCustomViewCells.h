// Layout cells: everything a grid view shows (a level tab, a record, a data cell, a header, a
// footer cell, the group-by box) is a rectangle calculated once per layout with its drawing
// parameters, text and borders, that answers hit tests, shows normal, hot and pressed states
// under the mouse, asks for a hint when its text does not fit, and paints itself through a
// short-lived cell painter.
//
// The values a cell calculates for one layout are read through GetCalculated...; the slots
// of the same names without that word (GetText, GetBorders, ...) compute them.
#pragma once

#include "grid/qvGridCustomView.h"

class TqvCustomGridCellPainter;
class TqvCustomGridCellViewInfo;

// The state a cell shows under the mouse.
enum TqvGridCellState : Byte { gcsNormal, gcsHot, gcsPressed };

// The button state a painter draws for a cell state (cells drawn as buttons, level tabs).
TqvButtonState GridCellStateToButtonState(TqvGridCellState AState);

// The metaclass record every cell family shares: the class-level answers of a cell. A family
// whose classes are made through class references uses TqvGridCellMetaClassFor with its
// constructor's arguments, so that every cell's record is one of these.
struct TqvGridCellMetaClass : TMetaClass {
  // The height of a cell showing text of ATextHeight.
  Integer (*GetCellHeight)(Integer ATextHeight, TqvLookAndFeelPainterClass APainter) = nullptr;
};
using TqvGridCellViewInfoClass = const TqvGridCellMetaClass*;

// A cell family's record: the class-level answers (from each class's static hook CellHeight)
// and the family's factory, which runs the two-phase construction.
template <class Base, class... Args>
struct TqvGridCellMetaClassFor : TqvGridCellMetaClass {
  Base* (*Factory)(Args...) = nullptr;

  bool CanCreate() const { return Factory != nullptr; }
  Base* Create(Args... AArgs) const {
    Base* cell = Factory(AArgs...);
    try {
      cell->AfterConstruction();
    } catch (...) {
      delete cell;
      throw;
    }
    return cell;
  }

  template <class Cls>
  static TqvGridCellMetaClassFor Make(const char* AName, const TMetaClass* AParent) {
    TqvGridCellMetaClassFor m;
    m.Name = AName;
    m.Parent = AParent;
    m.GetCellHeight = &Cls::CellHeight;
    if constexpr (!std::is_abstract_v<Cls> && std::is_constructible_v<Cls, Args...>)
      m.Factory = [](Args... AArgs) -> Base* { return new Cls(AArgs...); };
    return m;
  }
};

using TqvGridCellPainterClass =
    const TMetaClassFor<TqvCustomGridCellPainter, TqvCanvas*, TqvCustomGridCellViewInfo*>*;

// The base of every layout cell. Made by its owner (a view info, a record), calculated,
// painted any number of times, offset when the view scrolls, recalculated in place when only
// its params change, freed with its layout. Free it through Free (TOwned): its capture and
// mouse tracking end while it is still whole.
class TqvCustomGridCellViewInfo : public TObject, public IqvMouseTrackingCaller, public IqvMouseCaptureObject {
 public:
  using MetaType = TqvGridCellMetaClassFor<TqvCustomGridCellViewInfo>;
  QJ_CLASS(TqvCustomGridCellViewInfo, TObject)

 public:
  TqvCustomGridCellViewInfo() = default;
  // Destroying: the mouse capture goes and the state turns normal (tracking ends).
  void BeforeDestruction() override;

  // Class-level: text height + 4.
  static Integer CellHeight(Integer ATextHeight, TqvLookAndFeelPainterClass /*APainter*/) { return ATextHeight + 4; }
  // The class-level cell height of this cell's class.
  Integer GetCellHeight(Integer ATextHeight, TqvLookAndFeelPainterClass APainter) const {
    return static_cast<const TqvGridCellMetaClass*>(ClassType())->GetCellHeight(ATextHeight, APainter);
  }

  // In slot order.
  // Another object took the mouse capture: the state turns normal.
  void CaptureLost() override;
  // A hot cell without the mouse capture turns normal.
  void MouseLeave() override;
  virtual void AfterCalculateBounds() {}
  // The canvas's brush colour, font and font colour go into the params.
  virtual void AfterCustomDraw(TqvCanvas* ACanvas);
  // The params' colour, font and text colour go onto the canvas.
  virtual void BeforeCustomDraw(TqvCanvas* ACanvas);
  virtual void BeforeStateChange() {}
  // The bounds less the actual border width of each side.
  virtual TRect CalculateContentBounds();
  virtual Integer CalculateHeight() = 0;
  virtual Integer CalculateWidth() = 0;
  virtual void Click() {}
  // Fires the cell's custom-draw event in descendants; True: the drawing is done.
  virtual bool CustomDraw(TqvCanvas* /*ACanvas*/) { return false; }
  virtual bool CustomDrawBackground(TqvCanvas* /*ACanvas*/) { return false; }
  // Alignments, view params, borders, text and the two multi-line flags, in this order; last
  // the width from CalculateWidth.
  virtual void CalculateParams();
  // With a handler (HasCustomDraw): the params onto the canvas, CustomDraw, and when it did not
  // finish the canvas's settings back into the params. The answer: whether drawing is done.
  virtual bool DoCustomDraw(TqvCanvas* ACanvas);
  virtual bool DoCustomDrawBackground(TqvCanvas* ACanvas);
  virtual TAlignment GetAlignmentHorz() { return taLeftJustify; }
  virtual TqvAlignmentVert GetAlignmentVert() { return vaTop; }
  virtual TBitmap* GetBackgroundBitmap() { return nullptr; }
  // The strip of ASide's border width beside the content bounds; a left or right strip also
  // reaches over the top and bottom borders the cell has.
  virtual TRect GetBorderBounds(TqvBorder ASide);
  virtual TColor GetBorderColor(TqvBorder ASide) = 0;
  virtual TqvBorders GetBorders() { return 0; }
  virtual Integer GetBorderWidth(TqvBorder ASide) = 0;
  virtual TqvCanvas* GetCanvas() = 0;
  virtual Integer GetContentHeight() { return GetContentBounds().Height(); }
  virtual Integer GetContentWidth() { return GetContentBounds().Width(); }
  // The control whose canvas the cell paints on, nullptr when the canvas is no control's.
  virtual TqvControl* GetControl();
  virtual Integer GetHeight() { return FBounds.Height(); }
  // nullptr: the cell is not hit-tested.
  virtual TqvGridHitTestClass GetHitTestClass() { return nullptr; }
  virtual bool GetHotTrack() { return false; }
  virtual bool IsDropDownButton() { return false; }
  // The control's mouse-capture object is this cell.
  virtual bool HasMouseCapture();
  virtual bool GetMultiLine() { return false; }
  virtual bool GetMultiLinePainting() { return FMultiLine; }
  virtual TqvGridCellPainterClass GetPainterClass();
  virtual bool GetShowEndEllipsis() { return false; }
  virtual String GetText() { return String(); }
  // The content bounds less 2 pixels on each side.
  virtual TRect GetTextAreaBounds();
  // The class-level height for the text height: the measured text when multi-line, else the
  // font height of AViewInfo.
  virtual Integer CalculateCellHeight(TqvCustomGridViewInfo* AViewInfo, TqvLookAndFeelPainterClass APainter);
  virtual bool HasBackgroundBitmap() { return GetBackgroundBitmap() != nullptr; }
  virtual void GetViewParams(TqvViewParams& /*AParams*/) {}
  virtual bool GetVisible() { return FVisible; }
  virtual Integer GetWidth() { return FBounds.Width(); }
  virtual bool HasCustomDraw() { return false; }
  virtual bool HasCustomDrawBackground() { return false; }
  // AHitTest is of the cell's hit-test class and names this cell.
  virtual bool IsOwnHitTest(TqvCustomGridHitTest* AHitTest);
  // The hit test's cell becomes this one.
  virtual void InitHitTest(TqvCustomGridHitTest* AHitTest);
  virtual bool InvalidateOnStateChange() { return true; }
  // Moves the bounds and the content bounds.
  virtual void Offset(Integer ADeltaX, Integer ADeltaY);
  virtual void SetParams(const TqvViewParams& AParams) { FParams = AParams; }
  virtual void GetParams(TqvViewParams& AParams) { AParams = FParams; }
  // The control's mouse-capture object becomes this cell or none.
  virtual void SetMouseCapture(bool AValue);
  virtual void SetWidth(Integer AValue);
  // A repaint when InvalidateOnStateChange; normal ends the cell's mouse tracking, hot starts
  // it over the bounds on the control.
  virtual void StateChanged();
  virtual void AfterRecalculation() {}
  // The params are calculated again.
  virtual void BeforeRecalculation();
  // Params made sure; a width or height of -1 from CalculateWidth / CalculateHeight; the
  // bounds; AfterCalculateBounds.
  virtual void Calculate(Integer ALeft, Integer ATop, Integer AWidth = -1, Integer AHeight = -1);
  virtual void CalculateBounds(const TRect& R);
  // nullptr outside the bounds or without a hit-test class; else a hit test of that class at
  // P filled by InitHitTest.
  virtual TOwned<TqvCustomGridHitTest> GetHitTest(TPoint P);
  // The control repaints the bounds without erasing.
  virtual void Invalidate();
  // The state machine of hot-tracked cells (others answer False and change nothing). Press
  // (left button): pressed, or a drop-down button toggles between hot and pressed.
  virtual bool MouseDown(TqvCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift);
  // Over the cell: pressed while it holds the capture, else hot; elsewhere hot while it holds
  // the capture, else normal. A drop-down button turns hot unless pressed.
  virtual bool MouseMove(TqvCustomGridHitTest* AHitTest, TShiftState AShift);
  // Normal again; a cell that was pressed gets Click. A drop-down button ignores it.
  virtual bool MouseUp(TqvCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift);
  // When visible: a painter of GetPainterClass paints the cell on ACanvas (nullptr: the cell's
  // own canvas).
  virtual void Paint(TqvCanvas* ACanvas = nullptr);

  // Computed on first request, then kept (moved by Offset, forgotten when the bounds change).
  TRect GetContentBounds();
  // GetBorderWidth for a side the cell has, else 0.
  Integer GetActualBorderWidth(TqvBorder ASide);
  // Measured in the params' font: the text's height inside the text area under the measuring
  // flags, the text's width; with offset, 4 pixels more (2 on each side).
  Integer GetTextHeight();
  Integer GetTextWidth();
  Integer GetTextHeightWithOffset() { return GetTextHeight() + 4; }
  Integer GetTextWidthWithOffset() { return GetTextWidth() + 4; }
  // The library text flags of the alignments and the wrap: the painting or the measuring one.
  TqvTextFlags GetTextFlags(bool APainting);
  // Offset, the state normal, then the cell looks at the mouse again.
  void DoOffset(Integer ADeltaX, Integer ADeltaY);
  // BeforeRecalculation, Calculate at the same bounds, AfterRecalculation.
  void Recalculate();
  // CalculateParams once per layout; a request while they are calculated returns at once. The
  // params count as calculated afterwards, also when calculating them raised.
  void EnsureParamsCalculated();

  TqvGridCellState GetState() const { return FState; }
  // Nothing when equal; BeforeStateChange, the new state, StateChanged.
  void SetState(TqvGridCellState AValue);
  const TRect& GetBounds() const { return FBounds; }
  void SetVisible(bool AValue) { FVisible = AValue; }
  bool IsCalculated() const { return FCalculated; }
  bool IsDestroying() const { return FDestroying; }
  // Taken before calling out; the cell's end clears it.
  TAliveToken AliveToken();

  // What CalculateParams stored for this layout.
  TAlignment GetCalculatedAlignmentHorz() const { return FAlignmentHorz; }
  TqvAlignmentVert GetCalculatedAlignmentVert() const { return FAlignmentVert; }
  TqvBorders GetCalculatedBorders() const { return FBorders; }
  const String& GetCalculatedText() const { return FText; }
  bool GetCalculatedMultiLine() const { return FMultiLine; }
  bool GetCalculatedMultiLinePainting() const { return FMultiLinePainting; }
  const TqvViewParams& GetCalculatedParams() const { return FParams; }

 private:
  // The params onto the canvas, AHandler, and unless it finished the drawing the canvas's
  // settings back into the params.
  bool RunCustomDraw(TqvCanvas* ACanvas, bool (TqvCustomGridCellViewInfo::*AHandler)(TqvCanvas*));

  bool FCalculated = false;
  bool FCalculatingParams = false;
  TRect FContentBounds;
  bool FContentBoundsValid = false;
  TAlignment FAlignmentHorz = taLeftJustify;
  TqvAlignmentVert FAlignmentVert = vaTop;
  TqvBorders FBorders = 0;
  bool FParamsCalculated = false;
  TqvGridCellState FState = gcsNormal;
  String FText;
  bool FVisible = true;
  TRect FBounds;
  bool FMultiLine = false;
  bool FMultiLinePainting = false;
  TqvViewParams FParams;
  bool FDestroying = false;
  std::unique_ptr<TAliveFlag> FAlive;
};

// A cell of a view's layout: it paints on the view's site, queues its repaints through the
// view, marks a hit test with the view and shows hints through the view's controller.
class TqvCustomGridViewCellViewInfo : public TqvCustomGridCellViewInfo {
 public:
  using MetaType = TqvGridCellMetaClassFor<TqvCustomGridViewCellViewInfo, TqvCustomGridViewInfo*>;
  QJ_CLASS(TqvCustomGridViewCellViewInfo, TqvCustomGridCellViewInfo)

 public:
  explicit TqvCustomGridViewCellViewInfo(TqvCustomGridViewInfo* AViewInfo) : FViewInfo(AViewInfo) {}
  // Leaves the view info's watched cells.
  ~TqvCustomGridViewCellViewInfo() override;

  TqvCustomGridViewInfo* GetGridViewInfo() const { return FViewInfo; }
  TqvCustomGridView* GetGridView() const { return FViewInfo->GetGridView(); }
  TqvCustomGridController* GetController() const { return FViewInfo->GetController(); }
  TqvLookAndFeelPainterClass GetLookAndFeelPainter() const { return FViewInfo->GetLookAndFeelPainter(); }

  // The site's canvas.
  TqvCanvas* GetCanvas() override { return FViewInfo->GetCanvas(); }
  // The site.
  TqvControl* GetControl() override;
  // A hot-tracked cell laid out under the resting mouse turns hot at once (when
  // NeedsHotTrackCheck).
  void AfterCalculateBounds() override;
  // Also of the same view.
  bool IsOwnHitTest(TqvCustomGridHitTest* AHitTest) override;
  // Also the hit test's view.
  void InitHitTest(TqvCustomGridHitTest* AHitTest) override;
  // Unless destroying: a queued repaint of the bounds through the view.
  void Invalidate() override;
  // Then, when HasHint, the hint shows or goes.
  bool MouseMove(TqvCustomGridHitTest* AHitTest, TShiftState AShift) override;

  // In slot order.
  virtual bool NeedsHotTrackCheck() { return false; }
  virtual bool HasHint() { return false; }
  // Where the mouse keeps a shown hint: the content bounds here.
  virtual TRect GetHintBounds() { return GetContentBounds(); }
  // Whether the text at AMousePoint needs a hint, with its text, the rectangle of the shown
  // text (site coordinates) and whether it wraps; False here.
  virtual bool NeedsHint(TPoint /*AMousePoint*/, String& /*AText*/, TRect& /*ATextRect*/, bool& /*AMultiLine*/) {
    return false;
  }

 private:
  TqvCustomGridViewInfo* FViewInfo;
};

// Paints one cell on a canvas; made for one paint and freed after it.
class TqvCustomGridCellPainter : public TObject {
 public:
  using MetaType = TMetaClassFor<TqvCustomGridCellPainter, TqvCanvas*, TqvCustomGridCellViewInfo*>;
  QJ_CLASS(TqvCustomGridCellPainter, TObject)

 public:
  TqvCustomGridCellPainter(TqvCanvas* ACanvas, TqvCustomGridCellViewInfo* AViewInfo)
      : FCanvas(ACanvas), FViewInfo(AViewInfo), FViewInfoAlive(AViewInfo->AliveToken()) {}

  TqvCanvas* GetCanvas() const { return FCanvas; }
  TqvCustomGridCellViewInfo* GetViewInfo() const { return FViewInfo; }
  // The painter paints on the cell's own canvas.
  bool IsMainCanvasInUse() const { return FCanvas == FViewInfo->GetCanvas(); }

  // In slot order.
  virtual void AfterPaint() {}
  virtual void BeforePaint() {}
  // The content bounds tiled with the cell's bitmap, or filled with the params' colour.
  virtual void DrawBackground();
  // Tiles the cell's bitmap over R; False without one.
  virtual bool DrawBackgroundBitmapRect(TqvCanvas* ACanvas, const TRect& R);
  // The side's border rectangle in the side's border colour.
  virtual void DrawBorder(TqvBorder ASide);
  // DrawBorder for each side the cell has, left, top, right, bottom.
  virtual void DrawBorders();
  // The background unless a custom background handler drew it, then the text.
  virtual void DrawContent();
  // Nothing for empty text; else the text in the text area with the painting flags, in the
  // params' font and text colour, on a clear brush.
  virtual void DrawText();
  // The cell's bounds leave the clip region after painting; False here.
  virtual bool ExcludeFromClipRect() { return false; }
  // The cell's bounds are visible in the clip region.
  virtual bool CanPaint();
  // The content unless custom drawing finished it (the params it changed are put back, also
  // when painting raised), then the borders.
  virtual void DoPaint();
  // When CanPaint: BeforePaint, DoPaint, AfterPaint; then the bounds leave the clip region
  // when ExcludeFromClipRect.
  virtual void Paint();

 protected:
  // False once a handler the painting called freed the cell (its view).
  bool IsViewInfoAlive() const { return FViewInfoAlive.Alive(); }

 private:
  TqvCanvas* FCanvas;
  TqvCustomGridCellViewInfo* FViewInfo;
  TAliveToken FViewInfoAlive;
};
