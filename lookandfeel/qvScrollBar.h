// The library's scroll bar: the platform scroll bar's model (kind, range, page, position, steps,
// scroll codes and events) drawn part by part by the look-and-feel painter. It hot-tracks its
// parts, repeats arrow and page clicks on a timer (400 ms, then 60 ms) and drags its thumb with a
// snap-back margin around the bar.
#pragma once

#include "lookandfeel/qvLookAndFeels.h"
#include "platform/forms/StdCtrls.h"

class TTimer;
class TzmThemeChangedNotificator;

extern const TResourceString SScrollBarRange;

// The system's vertical scroll bar width (cx) and horizontal scroll bar height (cy); controls
// size their scroll bars and size grips with it.
TSize GetScrollBarSize();

class TqvScrollBar : public TCustomControl {
  QJ_CLASS(TqvScrollBar, TCustomControl)
 public:
  // The thumb's drag snaps back once the pointer is farther than this from the bar: along the
  // bar, and across it.
  static constexpr Integer TrackingMarginAlong = 34;
  static constexpr Integer TrackingMarginAcross = 136;
  static constexpr UINT FirstRepeatInterval = 400;
  static constexpr UINT RepeatInterval = 60;
  static constexpr Integer DefaultMinThumbnailSize = 8;

  explicit TqvScrollBar(TComponent* AOwner);
  ~TqvScrollBar() override;

  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;

  // Raises EInvalidOperation "Scrollbar property out of range" when AMax < AMin or
  // AMax < APageSize, before anything changes. The position is clamped to the range; a new
  // position enables the bar and runs Change.
  void SetScrollParams(Integer AMin, Integer AMax, Integer APosition, Integer APageSize, bool ARedraw = true);

  TScrollBarKind GetKind() const { return FKind; }
  // Swaps width and height (unless loading) so the bar keeps its thickness.
  void SetKind(TScrollBarKind Value);
  Integer GetMin() const { return FMin; }
  void SetMin(Integer Value) { SetScrollParams(Value, FMax, FPosition, FPageSize); }
  Integer GetMax() const { return FMax; }
  void SetMax(Integer Value) { SetScrollParams(FMin, Value, FPosition, FPageSize); }
  Integer GetPageSize() const { return FPageSize; }
  void SetPageSize(Integer Value) { SetScrollParams(FMin, FMax, FPosition, Value); }
  Integer GetPosition() const { return FPosition; }
  void SetPosition(Integer Value) { SetScrollParams(FMin, FMax, Value, FPageSize); }
  // Steps are kept within 1 .. 32767.
  TScrollBarInc GetSmallChange() const { return FSmallChange; }
  void SetSmallChange(Integer Value);
  TScrollBarInc GetLargeChange() const { return FLargeChange; }
  void SetLargeChange(Integer Value);
  bool GetUnlimitedTracking() const { return FUnlimitedTracking; }
  void SetUnlimitedTracking(bool Value) { FUnlimitedTracking = Value; }
  TqvLookAndFeel* GetLookAndFeel() const { return FLookAndFeel.get(); }
  // Copies the values of Value into the bar's own look and feel.
  void SetLookAndFeel(TqvLookAndFeel* Value);

  // The part under a client point, the parts' rectangles (empty when absent), and the parts
  // that are hot and pressed now.
  TqvScrollBarPart GetHitPart(TPoint P);
  TRect GetPartBounds(TqvScrollBarPart APart) const;
  TqvScrollBarPart GetHotPart() const { return FHotPart; }
  TqvScrollBarPart GetPressedPart() const { return FPressedPart; }
  Integer GetMinThumbnailSize() const { return FMinThumbnailSize; }

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

 protected:
  virtual void Change();
  virtual void Scroll(TScrollCode ScrollCode, Integer& ScrollPos);
  virtual void MouseEnter(TControl* AControl);
  virtual void MouseLeave(TControl* AControl);

  void Paint() override;
  void Dispatch(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

  // One scroll with a code: the new position, clamped, offered to Scroll and clamped again.
  void DoScroll(TScrollCode ScrollCode);
  void ScrollByPart(TqvScrollBarPart APart);
  // Ends an arrow, page or thumb press (nothing when no part is pressed).
  void EndPress();
  TqvButtonState GetPartPaintState(TqvScrollBarPart APart) const;
  void CalculateRects();
  void CalculateThumbnailRect();
  void CalculateMinThumbnailSize();

 private:
  void LookAndFeelChanged(TqvLookAndFeel* Sender, TqvLookAndFeelValues AChangedValues);
  void ThemeChanged();
  void TimerHandler(TObject* Sender);
  void StartRepeat();
  void StopRepeat();
  bool IsHorizontal() const { return FKind == sbHorizontal; }
  // The track between the arrows along the bar: its start and length.
  Integer TrackStart() const;
  Integer TrackLength() const;
  Integer ThumbnailStart() const;
  Integer ThumbnailLength() const;
  void CalculatePageRects();
  // The position the thumb shows; the current position when the thumb fills its track.
  Integer GetPositionFromThumbnail() const;
  void TrackThumbnail(TPoint P);
  TRect TrackingArea() const;
  bool IsArrowOrPage(TqvScrollBarPart APart) const { return APart != spNone && APart != spThumb; }
  bool HotTracks() const;
  void CMMouseEnterLeave(TMessage& Message, bool Enter);
  void ResizeBitmap();

  TScrollBarKind FKind = sbHorizontal;
  Integer FMin = 0;
  Integer FMax = 100;
  Integer FPageSize = 0;
  Integer FPosition = 0;
  TScrollBarInc FSmallChange = 1;
  TScrollBarInc FLargeChange = 1;
  bool FUnlimitedTracking = false;
  TOwned<TqvLookAndFeel> FLookAndFeel;
  TOwned<TBitmap> FBitmap;
  TOwned<TqvCanvas> FBitmapCanvas;
  bool FBuffered = false;
  TOwned<TzmThemeChangedNotificator> FThemeChangedNotificator;
  TOwned<TTimer> FTimer;
  Integer FMinThumbnailSize = DefaultMinThumbnailSize;
  TRect FFirstArrowRect, FSecondArrowRect, FThumbnailRect, FFirstPageRect, FSecondPageRect;
  TqvScrollBarPart FPressedPart = spNone;
  TqvScrollBarPart FHotPart = spNone;
  TPoint FDownMousePos;
  Integer FSavePosition = 0;
  TPoint FSaveThumbnailPos;
};
