// The library's scroll bar.
#include "lookandfeel/qvScrollBar.h"

#include <algorithm>

#include "lookandfeel/zmThemeManager.h"
#include "platform/forms/ExtCtrls.h"

QJ_IMPLEMENT_CLASS(TqvScrollBar)

const TResourceString SScrollBarRange = {61050, "Scrollbar property out of range"};

namespace {

constexpr Integer kDefaultWidth = 121;
constexpr Integer kMaxStep = 32767;

TScrollBarInc ClampStep(Integer Value) { return static_cast<TScrollBarInc>(std::clamp(Value, 1, kMaxStep)); }

}  // namespace

TSize GetScrollBarSize() { return {GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)}; }

// ---------------------------------------------------------------------------------------------
// Construction

TqvScrollBar::TqvScrollBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = csCaptureMouse | csFramed | csOpaque;
  FLookAndFeel = MakeOwned<TqvLookAndFeel>(this);
  FLookAndFeel->OnChanged = [this](TqvLookAndFeel* Sender, TqvLookAndFeelValues Values) {
    LookAndFeelChanged(Sender, Values);
  };
  FBitmap = MakeOwned<TBitmap>();
  FBitmap->SetPixelFormat(pfDevice);
  FBitmapCanvas = MakeOwned<TqvCanvas>(FBitmap->GetCanvas());
  FThemeChangedNotificator = MakeOwned<TzmThemeChangedNotificator>();
  FThemeChangedNotificator->OnThemeChanged = [this] { ThemeChanged(); };
  FTimer = MakeOwned<TTimer>(nullptr);
  FTimer->SetEnabled(false);
  FTimer->SetInterval(FirstRepeatInterval);
  FTimer->SetOnTimer([this](TObject* Sender) { TimerHandler(Sender); });
  SetBounds(GetLeft(), GetTop(), kDefaultWidth, GetSystemMetrics(SM_CYHSCROLL));
  CalculateMinThumbnailSize();
  CalculateRects();
}

TqvScrollBar::~TqvScrollBar() = default;

void TqvScrollBar::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (GetWidth() <= 0 || GetHeight() <= 0) return;
  ResizeBitmap();
  CalculateRects();
}

// A bar too long for an off-screen bitmap paints straight onto its window.
void TqvScrollBar::ResizeBitmap() {
  try {
    FBitmap->SetSize(GetWidth(), GetHeight());
    FBuffered = true;
  } catch (const EInvalidGraphic&) {
    FBitmap->SetSize(0, 0);
    FBuffered = false;
  }
}

// ---------------------------------------------------------------------------------------------
// Model

void TqvScrollBar::SetScrollParams(Integer AMin, Integer AMax, Integer APosition, Integer APageSize, bool ARedraw) {
  if (AMax < AMin || AMax < APageSize) throw EInvalidOperation(&SScrollBarRange);
  bool redraw = ARedraw && HandleAllocated();
  APosition = std::clamp(APosition, AMin, AMax);
  if (AMin == FMin && AMax == FMax && APageSize == FPageSize && APosition == FPosition) {
    redraw = false;
  } else {
    FMin = AMin;
    FMax = AMax;
    FPageSize = APageSize;
  }
  // The redraw waits for the paint of the loop, so several settings in a row paint once.
  if (APosition == FPosition) {
    CalculateThumbnailRect();
    if (redraw) Invalidate();
    return;
  }
  SetEnabled(true);
  FPosition = APosition;
  CalculateThumbnailRect();
  if (redraw) Invalidate();
  Change();
}

void TqvScrollBar::SetKind(TScrollBarKind Value) {
  if (Value == FKind) return;
  FKind = Value;
  if (HasState(csLoading))
    CalculateRects();
  else
    SetBounds(GetLeft(), GetTop(), GetHeight(), GetWidth());
  Invalidate();
}

void TqvScrollBar::SetSmallChange(Integer Value) { FSmallChange = ClampStep(Value); }

void TqvScrollBar::SetLargeChange(Integer Value) { FLargeChange = ClampStep(Value); }

void TqvScrollBar::SetLookAndFeel(TqvLookAndFeel* Value) { FLookAndFeel->Assign(Value); }

void TqvScrollBar::Change() {
  inherited::Changed();
  if (OnChange) OnChange(this);
}

void TqvScrollBar::Scroll(TScrollCode ScrollCode, Integer& ScrollPos) {
  if (OnScroll) OnScroll(this, ScrollCode, ScrollPos);
}

void TqvScrollBar::DoScroll(TScrollCode ScrollCode) {
  Integer p = FPosition;
  switch (ScrollCode) {
    case scLineUp: p -= FSmallChange; break;
    case scLineDown: p += FSmallChange; break;
    case scPageUp: p -= FLargeChange; break;
    case scPageDown: p += FLargeChange; break;
    case scTop: p = FMin; break;
    case scBottom: p = FMax; break;
    default: break;
  }
  p = std::clamp(p, FMin, FMax);
  TAliveToken alive = AliveToken();
  Scroll(ScrollCode, p);
  if (!alive) return;
  p = std::clamp(p, FMin, FMax);
  if (p == FPosition) return;
  if (ScrollCode == scTrack) {
    FPosition = p;
    Repaint();
  } else {
    SetScrollParams(FMin, FMax, p, FPageSize);
  }
}

void TqvScrollBar::ScrollByPart(TqvScrollBarPart APart) {
  switch (APart) {
    case spFirstArrow: DoScroll(scLineUp); break;
    case spSecondArrow: DoScroll(scLineDown); break;
    case spThumb: DoScroll(scTrack); break;
    case spFirstPage: DoScroll(scPageUp); break;
    case spSecondPage: DoScroll(scPageDown); break;
    case spNone: break;
  }
}

// ---------------------------------------------------------------------------------------------
// Geometry

void TqvScrollBar::CalculateRects() {
  const Integer w = GetWidth(), h = GetHeight();
  if (IsHorizontal()) {
    const Integer arrow = std::min(GetSystemMetrics(SM_CYHSCROLL), w / 2);
    FFirstArrowRect = Rect(0, 0, arrow, h);
    FSecondArrowRect = Rect(w - arrow, 0, w, h);
  } else {
    const Integer arrow = std::min(GetSystemMetrics(SM_CXVSCROLL), h / 2);
    FFirstArrowRect = Rect(0, 0, w, arrow);
    FSecondArrowRect = Rect(0, h - arrow, w, h);
  }
  CalculateThumbnailRect();
}

Integer TqvScrollBar::TrackStart() const { return IsHorizontal() ? FFirstArrowRect.Right : FFirstArrowRect.Bottom; }

Integer TqvScrollBar::TrackLength() const {
  return IsHorizontal() ? FSecondArrowRect.Left - FFirstArrowRect.Right : FSecondArrowRect.Top - FFirstArrowRect.Bottom;
}

Integer TqvScrollBar::ThumbnailStart() const { return IsHorizontal() ? FThumbnailRect.Left : FThumbnailRect.Top; }

Integer TqvScrollBar::ThumbnailLength() const {
  return IsHorizontal() ? FThumbnailRect.Width() : FThumbnailRect.Height();
}

// The thumb's offset never leaves the track: a page that covers the whole range, or more,
// leaves the thumb at the track's start instead of moving it onto the first arrow.
void TqvScrollBar::CalculateThumbnailRect() {
  FThumbnailRect = FFirstPageRect = FSecondPageRect = TRect();
  if (!GetEnabled()) return;
  const Integer track = TrackLength();
  const Integer range = FMax - FMin;
  Integer length = 0, offset = 0;
  if (FPageSize > 0) {
    length = std::min(track, MulDiv(FPageSize, track, range + 1));
    if (track < FMinThumbnailSize || FMax == FMin) return;
    length = std::max(length, FMinThumbnailSize);
    const Integer steps = range - FPageSize + 1;
    if (steps > 0) offset = MulDiv(track - length, std::min(FPosition - FMin, steps), steps);
  } else {
    length = GetSystemMetrics(IsHorizontal() ? SM_CXHTHUMB : SM_CYVTHUMB);
    if (track < length) return;
    if (track - length > 0 && range != 0) offset = MulDiv(track - length, FPosition - FMin, range);
  }
  const Integer start = TrackStart() + offset;
  FThumbnailRect = IsHorizontal() ? Rect(start, 0, start + length, GetHeight()) : Rect(0, start, GetWidth(), start + length);
  CalculatePageRects();
}

void TqvScrollBar::CalculatePageRects() {
  if (FThumbnailRect.IsEmpty()) {
    FFirstPageRect = FSecondPageRect = TRect();
    return;
  }
  if (IsHorizontal()) {
    FFirstPageRect = Rect(FFirstArrowRect.Right, 0, FThumbnailRect.Left, GetHeight());
    FSecondPageRect = Rect(FThumbnailRect.Right, 0, FSecondArrowRect.Left, GetHeight());
  } else {
    FFirstPageRect = Rect(0, FFirstArrowRect.Bottom, GetWidth(), FThumbnailRect.Top);
    FSecondPageRect = Rect(0, FThumbnailRect.Bottom, GetWidth(), FSecondArrowRect.Top);
  }
}

// The gripper is measured with the painter's own part for the bar's direction.
void TqvScrollBar::CalculateMinThumbnailSize() {
  FMinThumbnailSize = DefaultMinThumbnailSize;
  if (!FLookAndFeel->GetPainter()->IsNativePainter()) return;
  HTHEME theme = OpenTheme(totScrollBar);
  if (!theme) return;
  const Integer part = ScrollBarGripperThemePart(IsHorizontal());
  SIZE minSize, trueSize;
  if (FAILED(GetThemePartSize(theme, nullptr, part, 1, nullptr, TS_MIN, &minSize))) return;
  Integer length = IsHorizontal() ? minSize.cx : minSize.cy;
  if (SUCCEEDED(GetThemePartSize(theme, nullptr, part, 1, nullptr, TS_TRUE, &trueSize)))
    length = std::max(length, (IsHorizontal() ? trueSize.cx : trueSize.cy) + 4);
  FMinThumbnailSize = std::max(length, DefaultMinThumbnailSize);
}

TqvScrollBarPart TqvScrollBar::GetHitPart(TPoint P) {
  if (!GetClientRect().Contains(P)) return spNone;
  if (FFirstArrowRect.Contains(P)) return spFirstArrow;
  if (FSecondArrowRect.Contains(P)) return spSecondArrow;
  if (FThumbnailRect.IsEmpty()) return spNone;
  if (FThumbnailRect.Contains(P)) return spThumb;
  if (FFirstPageRect.Contains(P)) return spFirstPage;
  if (FSecondPageRect.Contains(P)) return spSecondPage;
  return spNone;
}

TRect TqvScrollBar::GetPartBounds(TqvScrollBarPart APart) const {
  switch (APart) {
    case spFirstArrow: return FFirstArrowRect;
    case spSecondArrow: return FSecondArrowRect;
    case spThumb: return FThumbnailRect;
    case spFirstPage: return FFirstPageRect;
    case spSecondPage: return FSecondPageRect;
    case spNone: break;
  }
  return TRect();
}

// A thumb that fills its whole track shows no particular position: the position stays.
Integer TqvScrollBar::GetPositionFromThumbnail() const {
  const Integer free = TrackLength() - ThumbnailLength();
  if (free <= 0) return FPosition;
  Integer range = FMax - FMin;
  if (FPageSize > 0) range += 1 - FPageSize;
  return FMin + MulDiv(range, ThumbnailStart() - TrackStart(), free);
}

// ---------------------------------------------------------------------------------------------
// Mouse

bool TqvScrollBar::HotTracks() const { return FLookAndFeel->GetPainter()->HasButtonHotTrack(); }

void TqvScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const TqvScrollBarPart part = GetHitPart({X, Y});
  if (part == spNone) return;
  TAliveToken alive = AliveToken();
  if (part == spThumb) {
    FDownMousePos = {X, Y};
    FSavePosition = FPosition;
    FSaveThumbnailPos = FThumbnailRect.TopLeft();
    DoScroll(scTrack);
    if (!alive) return;
  }
  FPressedPart = FHotPart = part;
  if (part != spThumb) {
    ScrollByPart(part);
    if (!alive) return;
    StartRepeat();
  }
  Repaint();
}

void TqvScrollBar::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseMove(Shift, X, Y);
  const TqvScrollBarPart part = GetHitPart({X, Y});
  if (FPressedPart == spThumb) {
    TrackThumbnail({X, Y});
    return;
  }
  if (FPressedPart != spNone) FTimer->SetEnabled(part == FPressedPart);
  if (part == FHotPart) return;
  FHotPart = part;
  if (HotTracks()) Repaint();
}

void TqvScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TAliveToken alive = AliveToken();
  EndPress();
  if (!alive) return;
  FHotPart = GetHitPart({X, Y});
  inherited::MouseUp(Button, Shift, X, Y);
}

TRect TqvScrollBar::TrackingArea() const {
  const Integer dx = IsHorizontal() ? TrackingMarginAlong : TrackingMarginAcross;
  const Integer dy = IsHorizontal() ? TrackingMarginAcross : TrackingMarginAlong;
  return Rect(-dx, -dy, GetWidth() + dx, GetHeight() + dy);
}

void TqvScrollBar::TrackThumbnail(TPoint P) {
  TAliveToken alive = AliveToken();
  if (!FUnlimitedTracking && !TrackingArea().Contains(P)) {
    SetScrollParams(FMin, FMax, FSavePosition, FPageSize);
    if (alive) DoScroll(scTrack);
    return;
  }
  Integer d = IsHorizontal() ? P.X - FDownMousePos.X : P.Y - FDownMousePos.Y;
  if (d == 0) return;
  const Integer saved = IsHorizontal() ? FSaveThumbnailPos.X : FSaveThumbnailPos.Y;
  const Integer length = ThumbnailLength();
  const Integer trackEnd = TrackStart() + TrackLength();
  d = std::min(std::max(d, TrackStart() - saved), trackEnd - length - saved);
  const Integer start = saved + d;
  FThumbnailRect = IsHorizontal() ? Rect(start, 0, start + length, GetHeight()) : Rect(0, start, GetWidth(), start + length);
  CalculatePageRects();
  Repaint();
  const Integer position = GetPositionFromThumbnail();
  if (position == FPosition) return;
  FPosition = position;
  DoScroll(scTrack);
}

// The thumb's drag reports its positions with scTrack only; at the end the bar tells Change
// once when the drag left it elsewhere than where it began, then scPosition.
void TqvScrollBar::EndPress() {
  if (FPressedPart == spNone) return;
  TAliveToken alive = AliveToken();
  if (FPressedPart == spThumb) {
    const Integer position = GetPositionFromThumbnail();
    FPosition = FSavePosition;
    SetScrollParams(FMin, FMax, position, FPageSize);
    if (!alive) return;
    DoScroll(scPosition);
    if (!alive) return;
  }
  StopRepeat();
  FPressedPart = FHotPart = spNone;
  DoScroll(scEndScroll);
  if (!alive) return;
  CalculateThumbnailRect();
  Invalidate();
}

void TqvScrollBar::StartRepeat() {
  FTimer->SetInterval(FirstRepeatInterval);
  FTimer->SetEnabled(true);
}

void TqvScrollBar::StopRepeat() { FTimer->SetEnabled(false); }

void TqvScrollBar::TimerHandler(TObject*) {
  if (!GetMouseCapture() || !IsArrowOrPage(FPressedPart)) {
    EndPress();
    return;
  }
  if (FTimer->GetInterval() == FirstRepeatInterval) FTimer->SetInterval(RepeatInterval);
  TAliveToken alive = AliveToken();
  ScrollByPart(FPressedPart);
  if (!alive) return;
  POINT p;
  GetCursorPos(&p);
  FTimer->SetEnabled(GetHitPart(ScreenToClient(p)) == FPressedPart);
}

void TqvScrollBar::MouseEnter(TControl*) {
  if (HotTracks() || IsArrowOrPage(FPressedPart)) Repaint();
}

void TqvScrollBar::MouseLeave(TControl*) {
  if (FPressedPart != spThumb) FHotPart = spNone;
  if (HotTracks() || IsArrowOrPage(FPressedPart)) Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Painting and messages

TqvButtonState TqvScrollBar::GetPartPaintState(TqvScrollBarPart APart) const {
  if (!GetEnabled()) return qvbsDisabled;
  if (APart == spThumb && !HotTracks()) return qvbsNormal;
  if (FPressedPart != spNone) return APart == FPressedPart && APart == FHotPart ? qvbsPressed : qvbsNormal;
  return APart == FHotPart && !HasState(csDesigning) ? qvbsHot : qvbsNormal;
}

void TqvScrollBar::Paint() {
  TqvLookAndFeelPainterClass painter = FLookAndFeel->GetPainter();
  const bool horizontal = IsHorizontal();
  TqvCanvas direct(GetCanvas());
  TqvCanvas* canvas = FBuffered ? FBitmapCanvas.get() : &direct;
  if (FThumbnailRect.IsEmpty())
    painter->DrawScrollBarPart(canvas, horizontal, GetClientRect(), spFirstPage, qvbsNormal);
  else
    painter->DrawScrollBarPart(canvas, horizontal, FThumbnailRect, spThumb, GetPartPaintState(spThumb));
  for (TqvScrollBarPart part : {spFirstArrow, spSecondArrow, spFirstPage, spSecondPage}) {
    const TRect r = GetPartBounds(part);
    if (!r.IsEmpty()) painter->DrawScrollBarPart(canvas, horizontal, r, part, GetPartPaintState(part));
  }
  if (FBuffered) GetCanvas()->Draw(0, 0, FBitmap.get());
}

void TqvScrollBar::LookAndFeelChanged(TqvLookAndFeel*, TqvLookAndFeelValues) {
  CalculateMinThumbnailSize();
  CalculateRects();
  Invalidate();
}

void TqvScrollBar::ThemeChanged() {
  CalculateMinThumbnailSize();
  CalculateRects();
  RefreshScrollBarPatternBitmaps();
  Invalidate();
  if (GetParent()) GetParent()->Realign();
}

void TqvScrollBar::CMMouseEnterLeave(TMessage& Message, bool Enter) {
  inherited::Dispatch(Message);
  TControl* control = Message.LParam ? reinterpret_cast<TControl*>(Message.LParam) : this;
  if (Enter)
    MouseEnter(control);
  else
    MouseLeave(control);
}

void TqvScrollBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_ENABLEDCHANGED:
      inherited::Dispatch(Message);
      CalculateRects();
      if (!GetEnabled()) EndPress();
      Invalidate();
      return;
    case CM_VISIBLECHANGED:
      if (!GetVisible()) EndPress();
      inherited::Dispatch(Message);
      return;
    case CM_SYSCOLORCHANGE:
      RefreshScrollBarPatternBitmaps();
      inherited::Dispatch(Message);
      return;
    case CN_HSCROLL:
    case CN_VSCROLL: DoScroll(static_cast<TScrollCode>(LOWORD(Message.WParam))); return;
    case CN_CTLCOLORSCROLLBAR:
      RefreshScrollBarPatternBitmaps();
      Message.Result = DefWindowProc(GetHandle(), Message.Msg, Message.WParam, Message.LParam);
      return;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_CANCELMODE:
      EndPress();
      inherited::Dispatch(Message);
      return;
    case CM_MOUSEENTER: CMMouseEnterLeave(Message, true); return;
    case CM_MOUSELEAVE: CMMouseEnterLeave(Message, false); return;
    default: inherited::Dispatch(Message);
  }
}
