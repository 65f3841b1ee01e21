// Layout cells: calculation, params, geometry, hit tests, the mouse states, custom drawing,
// hints, and the cell painter.
#include "grid/qvGridCustomViewCells.h"

#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvCustomGridCellViewInfo)
QJ_IMPLEMENT_CLASS(TqvCustomGridViewCellViewInfo)
QJ_IMPLEMENT_CLASS(TqvCustomGridCellPainter)

namespace {

// Room kept between a cell's text and its content bounds on each side.
constexpr Integer kCellTextOffset = 2;

}  // namespace

TqvButtonState GridCellStateToButtonState(TqvGridCellState AState) {
  switch (AState) {
    case gcsHot: return qvbsHot;
    case gcsPressed: return qvbsPressed;
    case gcsNormal: break;
  }
  return qvbsNormal;
}

// ---------------------------------------------------------------------------------------------
// Cell: life, params and calculation

void TqvCustomGridCellViewInfo::BeforeDestruction() {
  FDestroying = true;
  SetMouseCapture(false);
  SetState(gcsNormal);
  FAlive.reset();
  inherited::BeforeDestruction();
}

TAliveToken TqvCustomGridCellViewInfo::AliveToken() {
  if (!FAlive) FAlive = std::make_unique<TAliveFlag>();
  return FAlive->Token();
}

void TqvCustomGridCellViewInfo::EnsureParamsCalculated() {
  if (FParamsCalculated || FCalculatingParams) return;
  TValueScope calculating(FCalculatingParams, true);
  TFinally calculated([this] { FParamsCalculated = true; });
  CalculateParams();
}

void TqvCustomGridCellViewInfo::CalculateParams() {
  FAlignmentHorz = GetAlignmentHorz();
  FAlignmentVert = GetAlignmentVert();
  GetViewParams(FParams);
  FBorders = GetBorders();
  FText = GetText();
  FMultiLine = GetMultiLine();
  FMultiLinePainting = GetMultiLinePainting();
  SetWidth(CalculateWidth());
}

void TqvCustomGridCellViewInfo::BeforeRecalculation() { FParamsCalculated = false; }

void TqvCustomGridCellViewInfo::Calculate(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  EnsureParamsCalculated();
  if (AWidth == -1) AWidth = CalculateWidth();
  if (AHeight == -1) AHeight = CalculateHeight();
  FBounds = Bounds(ALeft, ATop, AWidth, AHeight);
  FContentBoundsValid = false;
  AfterCalculateBounds();
  FCalculated = true;
}

void TqvCustomGridCellViewInfo::CalculateBounds(const TRect& R) { Calculate(R.Left, R.Top, R.Width(), R.Height()); }

void TqvCustomGridCellViewInfo::Recalculate() {
  BeforeRecalculation();
  CalculateBounds(FBounds);
  AfterRecalculation();
}

void TqvCustomGridCellViewInfo::SetWidth(Integer AValue) {
  FBounds.Right = FBounds.Left + AValue;
  FContentBoundsValid = false;
}

void TqvCustomGridCellViewInfo::Offset(Integer ADeltaX, Integer ADeltaY) {
  FBounds = qvOffsetRect(FBounds, ADeltaX, ADeltaY);
  if (FContentBoundsValid) FContentBounds = qvOffsetRect(FContentBounds, ADeltaX, ADeltaY);
}

void TqvCustomGridCellViewInfo::DoOffset(Integer ADeltaX, Integer ADeltaY) {
  Offset(ADeltaX, ADeltaY);
  SetState(gcsNormal);
  MouseLeave();
}

Integer TqvCustomGridCellViewInfo::CalculateCellHeight(TqvCustomGridViewInfo* AViewInfo,
                                                       TqvLookAndFeelPainterClass APainter) {
  EnsureParamsCalculated();
  const Integer textHeight = FMultiLine ? GetTextHeight() : AViewInfo->GetFontHeight(FParams.Font);
  return GetCellHeight(textHeight, APainter);
}

// ---------------------------------------------------------------------------------------------
// Cell: geometry and text

TRect TqvCustomGridCellViewInfo::CalculateContentBounds() {
  return {FBounds.Left + GetActualBorderWidth(bLeft), FBounds.Top + GetActualBorderWidth(bTop),
          FBounds.Right - GetActualBorderWidth(bRight), FBounds.Bottom - GetActualBorderWidth(bBottom)};
}

TRect TqvCustomGridCellViewInfo::GetContentBounds() {
  if (!FContentBoundsValid) {
    FContentBounds = CalculateContentBounds();
    FContentBoundsValid = true;
  }
  return FContentBounds;
}

Integer TqvCustomGridCellViewInfo::GetActualBorderWidth(TqvBorder ASide) {
  return (FBorders & qvBorder(ASide)) ? GetBorderWidth(ASide) : 0;
}

TRect TqvCustomGridCellViewInfo::GetBorderBounds(TqvBorder ASide) {
  const TRect c = GetContentBounds();
  const Integer width = GetBorderWidth(ASide);
  TRect r;
  switch (ASide) {
    case bLeft: r = {c.Left - width, c.Top, c.Left, c.Bottom}; break;
    case bTop: r = {c.Left, c.Top - width, c.Right, c.Top}; break;
    case bRight: r = {c.Right, c.Top, c.Right + width, c.Bottom}; break;
    case bBottom: r = {c.Left, c.Bottom, c.Right, c.Bottom + width}; break;
  }
  if (ASide == bLeft || ASide == bRight) {
    if (FBorders & qvBorder(bTop)) r.Top -= GetBorderWidth(bTop);
    if (FBorders & qvBorder(bBottom)) r.Bottom += GetBorderWidth(bBottom);
  }
  return r;
}

TRect TqvCustomGridCellViewInfo::GetTextAreaBounds() { return qvDeflatedRect(GetContentBounds(), kCellTextOffset); }

TqvTextFlags TqvCustomGridCellViewInfo::GetTextFlags(bool APainting) {
  static constexpr TqvTextFlags kHorz[] = {tfLeft, tfRight, tfHCenter};
  static constexpr TqvTextFlags kVert[] = {tfTop, tfBottom, tfVCenter};
  TqvTextFlags flags = kHorz[FAlignmentHorz] | kVert[FAlignmentVert];
  flags |= (APainting ? FMultiLinePainting : FMultiLine) ? tfWordBreak : tfSingleLine;
  if (GetShowEndEllipsis()) flags |= tfEndEllipsis;
  return flags;
}

Integer TqvCustomGridCellViewInfo::GetTextHeight() {
  EnsureParamsCalculated();
  TqvCanvas* canvas = GetCanvas();
  if (FParams.Font) canvas->SetFont(FParams.Font);
  TRect r = GetTextAreaBounds();
  canvas->CalcTextRect(FText, r, GetTextFlags(false));
  return r.Height();
}

Integer TqvCustomGridCellViewInfo::GetTextWidth() {
  EnsureParamsCalculated();
  TqvCanvas* canvas = GetCanvas();
  if (FParams.Font) canvas->SetFont(FParams.Font);
  return canvas->TextWidth(FText);
}

TqvControl* TqvCustomGridCellViewInfo::GetControl() {
  auto* canvas = dynamic_cast<TControlCanvas*>(GetCanvas()->GetCanvas());
  return canvas ? As<TqvControl>(canvas->GetControl()) : nullptr;
}

TqvGridCellPainterClass TqvCustomGridCellViewInfo::GetPainterClass() {
  return &TqvCustomGridCellPainter::StaticClass();
}

// ---------------------------------------------------------------------------------------------
// Cell: hit tests, states and the mouse

bool TqvCustomGridCellViewInfo::IsOwnHitTest(TqvCustomGridHitTest* AHitTest) {
  return AHitTest && AHitTest->ClassType() == GetHitTestClass() && AHitTest->GetViewInfo() == this;
}

void TqvCustomGridCellViewInfo::InitHitTest(TqvCustomGridHitTest* AHitTest) { AHitTest->SetViewInfo(this); }

TOwned<TqvCustomGridHitTest> TqvCustomGridCellViewInfo::GetHitTest(TPoint P) {
  TqvGridHitTestClass hitTestClass = GetHitTestClass();
  if (!hitTestClass || !FBounds.Contains(P)) return nullptr;
  TOwned<TqvCustomGridHitTest> hitTest = TqvCustomGridHitTest::Make(hitTestClass, P);
  InitHitTest(hitTest.get());
  return hitTest;
}

bool TqvCustomGridCellViewInfo::HasMouseCapture() {
  TqvControl* control = GetControl();
  return control && control->GetMouseCaptureObject() == this;
}

void TqvCustomGridCellViewInfo::SetMouseCapture(bool AValue) {
  TqvControl* control = GetControl();
  if (control && AValue != HasMouseCapture()) control->SetMouseCaptureObject(AValue ? this : nullptr);
}

void TqvCustomGridCellViewInfo::CaptureLost() { SetState(gcsNormal); }

void TqvCustomGridCellViewInfo::MouseLeave() {
  if (FState == gcsHot && !HasMouseCapture()) SetState(gcsNormal);
}

void TqvCustomGridCellViewInfo::SetState(TqvGridCellState AValue) {
  if (AValue == FState) return;
  BeforeStateChange();
  FState = AValue;
  StateChanged();
}

void TqvCustomGridCellViewInfo::StateChanged() {
  if (InvalidateOnStateChange()) Invalidate();
  if (FState == gcsNormal) {
    EndMouseTracking(this);
  } else if (FState == gcsHot) {
    if (TqvControl* control = GetControl()) BeginMouseTracking(control, FBounds, this);
  }
}

void TqvCustomGridCellViewInfo::Invalidate() {
  if (TqvControl* control = GetControl()) control->InvalidateRect(FBounds, false);
}

bool TqvCustomGridCellViewInfo::MouseDown(TqvCustomGridHitTest*, TMouseButton AButton, TShiftState) {
  if (!GetHotTrack()) return false;
  if (AButton != mbLeft) return true;
  if (!IsDropDownButton())
    SetState(gcsPressed);
  else if (FState == gcsHot)
    SetState(gcsPressed);
  else if (FState == gcsPressed)
    SetState(gcsHot);
  return true;
}

bool TqvCustomGridCellViewInfo::MouseMove(TqvCustomGridHitTest* AHitTest, TShiftState) {
  if (!GetHotTrack()) return false;
  if (IsDropDownButton()) {
    if (FState == gcsPressed) return false;
    SetState(gcsHot);
    return true;
  }
  const bool captured = HasMouseCapture();
  if (IsOwnHitTest(AHitTest))
    SetState(captured ? gcsPressed : gcsHot);
  else
    SetState(captured ? gcsHot : gcsNormal);
  return true;
}

// Click may rebuild the layout and free the cell: nothing of it is touched afterwards.
bool TqvCustomGridCellViewInfo::MouseUp(TqvCustomGridHitTest*, TMouseButton, TShiftState) {
  if (!GetHotTrack() || IsDropDownButton()) return false;
  const bool wasPressed = FState == gcsPressed;
  SetState(gcsNormal);
  if (!wasPressed) return false;
  Click();
  return true;
}

// ---------------------------------------------------------------------------------------------
// Cell: custom drawing and painting

void TqvCustomGridCellViewInfo::BeforeCustomDraw(TqvCanvas* ACanvas) {
  ACanvas->SetBrushColor(FParams.Color);
  if (FParams.Font) ACanvas->SetFont(FParams.Font);
  ACanvas->GetFont()->SetColor(FParams.TextColor);
}

void TqvCustomGridCellViewInfo::AfterCustomDraw(TqvCanvas* ACanvas) {
  FParams.Color = ACanvas->GetBrush()->GetColor();
  FParams.Font = ACanvas->GetFont();
  FParams.TextColor = ACanvas->GetFont()->GetColor();
}

// A handler that freed the cell (its view) counts as having done the drawing.
bool TqvCustomGridCellViewInfo::RunCustomDraw(TqvCanvas* ACanvas,
                                              bool (TqvCustomGridCellViewInfo::*AHandler)(TqvCanvas*)) {
  BeforeCustomDraw(ACanvas);
  TAliveToken alive = AliveToken();
  const bool done = (this->*AHandler)(ACanvas);
  if (!alive) return true;
  if (!done) AfterCustomDraw(ACanvas);
  return done;
}

bool TqvCustomGridCellViewInfo::DoCustomDraw(TqvCanvas* ACanvas) {
  return HasCustomDraw() && RunCustomDraw(ACanvas, &TqvCustomGridCellViewInfo::CustomDraw);
}

bool TqvCustomGridCellViewInfo::DoCustomDrawBackground(TqvCanvas* ACanvas) {
  return HasCustomDrawBackground() && RunCustomDraw(ACanvas, &TqvCustomGridCellViewInfo::CustomDrawBackground);
}

void TqvCustomGridCellViewInfo::Paint(TqvCanvas* ACanvas) {
  if (!GetVisible()) return;
  TqvGridCellPainterClass painterClass = GetPainterClass();
  if (!painterClass) return;
  TOwned<TqvCustomGridCellPainter> painter(painterClass->Create(ACanvas ? ACanvas : GetCanvas(), this));
  painter->Paint();
}

// ---------------------------------------------------------------------------------------------
// View cell

TqvCustomGridViewCellViewInfo::~TqvCustomGridViewCellViewInfo() { FViewInfo->UnwatchCell(this); }

TqvControl* TqvCustomGridViewCellViewInfo::GetControl() { return FViewInfo->GetSite(); }

void TqvCustomGridViewCellViewInfo::AfterCalculateBounds() {
  inherited::AfterCalculateBounds();
  if (!NeedsHotTrackCheck() || !GetHotTrack()) return;
  const TPoint mouse = FViewInfo->GetMousePos();
  if (!GetBounds().Contains(mouse)) return;
  TOwned<TqvCustomGridHitTest> hitTest = TqvCustomGridHitTest::Make(GetHitTestClass(), mouse);
  InitHitTest(hitTest.get());
  MouseMove(hitTest.get(), 0);
}

bool TqvCustomGridViewCellViewInfo::IsOwnHitTest(TqvCustomGridHitTest* AHitTest) {
  if (!inherited::IsOwnHitTest(AHitTest)) return false;
  auto* viewHitTest = As<TqvCustomGridViewHitTest>(AHitTest);
  return !viewHitTest || viewHitTest->GetGridView() == GetGridView();
}

void TqvCustomGridViewCellViewInfo::InitHitTest(TqvCustomGridHitTest* AHitTest) {
  inherited::InitHitTest(AHitTest);
  FViewInfo->InitHitTest(AHitTest);
}

void TqvCustomGridViewCellViewInfo::Invalidate() {
  if (IsDestroying()) return;
  EnsureParamsCalculated();
  GetGridView()->InvalidateRect(GetBounds());
}

bool TqvCustomGridViewCellViewInfo::MouseMove(TqvCustomGridHitTest* AHitTest, TShiftState AShift) {
  const bool result = inherited::MouseMove(AHitTest, AShift);
  if (!HasHint()) return result;
  String text;
  TRect textRect;
  bool multiLine = false;
  if (NeedsHint(AHitTest->GetPos(), text, textRect, multiLine))
    GetController()->ShowHint(GetHintBounds(), textRect, GetCalculatedParams().Font, multiLine, text);
  else
    GetController()->HideHint();
  return result;
}

// ---------------------------------------------------------------------------------------------
// Cell painter

bool TqvCustomGridCellPainter::CanPaint() { return FCanvas->RectVisible(FViewInfo->GetBounds()); }

void TqvCustomGridCellPainter::Paint() {
  if (!CanPaint()) return;
  BeforePaint();
  DoPaint();
  if (!IsViewInfoAlive()) return;
  AfterPaint();
  if (ExcludeFromClipRect()) FCanvas->ExcludeClipRect(FViewInfo->GetBounds());
}

void TqvCustomGridCellPainter::DoPaint() {
  TqvViewParams saved;
  FViewInfo->GetParams(saved);
  {
    TFinally restore([&] {
      if (IsViewInfoAlive()) FViewInfo->SetParams(saved);
    });
    if (!FViewInfo->DoCustomDraw(FCanvas)) DrawContent();
  }
  if (IsViewInfoAlive()) DrawBorders();
}

void TqvCustomGridCellPainter::DrawContent() {
  if (!FViewInfo->DoCustomDrawBackground(FCanvas)) DrawBackground();
  if (IsViewInfoAlive()) DrawText();
}

bool TqvCustomGridCellPainter::DrawBackgroundBitmapRect(TqvCanvas* ACanvas, const TRect& R) {
  TBitmap* bitmap = FViewInfo->GetBackgroundBitmap();
  if (!bitmap) return false;
  ACanvas->FillRectWithBitmap(R, bitmap);
  return true;
}

void TqvCustomGridCellPainter::DrawBackground() {
  const TRect content = FViewInfo->GetContentBounds();
  if (DrawBackgroundBitmapRect(FCanvas, content)) return;
  FCanvas->SetBrushColor(FViewInfo->GetCalculatedParams().Color);
  FCanvas->FillRect(content);
}

void TqvCustomGridCellPainter::DrawBorder(TqvBorder ASide) {
  FCanvas->SetBrushColor(FViewInfo->GetBorderColor(ASide));
  FCanvas->FillRect(FViewInfo->GetBorderBounds(ASide));
}

void TqvCustomGridCellPainter::DrawBorders() {
  const TqvBorders borders = FViewInfo->GetCalculatedBorders();
  for (TqvBorder side : {bLeft, bTop, bRight, bBottom})
    if (borders & qvBorder(side)) DrawBorder(side);
}

void TqvCustomGridCellPainter::DrawText() {
  const String& text = FViewInfo->GetCalculatedText();
  if (text.empty()) return;
  const TqvViewParams& params = FViewInfo->GetCalculatedParams();
  if (params.Font) FCanvas->SetFont(params.Font);
  FCanvas->GetFont()->SetColor(params.TextColor);
  FCanvas->GetBrush()->SetStyle(bsClear);
  FCanvas->DrawText(text, FViewInfo->GetTextAreaBounds(), FViewInfo->GetTextFlags(true), true);
  FCanvas->GetBrush()->SetStyle(bsSolid);
}
