// The progress bar editor: a read-only editor that shows an integer as a filled bar, solid, as
// LEDs, as a gradient, as gradient LEDs or from a tiled bitmap, horizontal or vertical, with an
// overload zone in its own colours, a peak marker that holds the highest position seen and a
// centred text drawn inverted over the filled part.
//
// The geometry is clamped to the bar: a position far beyond Max draws a full bar at once. The
// peak is held by each control (a grid cell shows the peak value and its position), never
// written into the shared properties while painting.
//
// Where the parts live: qvProgressBar.cpp (properties, view data, control), qvProgressBarPaint.cpp
// (the bar's drawing).
#pragma once

#include "editors/qvEdit.h"
#include "editors/qvExtEditUtils.h"

class TqvCustomProgressBar;

enum TqvProgressBarBevelOuter { qvbvNone, qvbvLowered, qvbvRaised };
enum TqvProgressBarBarStyle { qvbsSolid, qvbsLEDs, qvbsGradient, qvbsGradientLEDs, qvbsBitmap, qvbsBitmapLEDs };
enum TqvProgressBarOrientation { qvorHorizontal, qvorVertical };
enum TqvProgressBarTextStyle { qvtsPercent, qvtsPosition };

// The position a value shows: an integer value, or the integer of an integer text; anything
// else 0. Not clamped.
Integer ProgressBarPositionOfValue(const Variant& AValue);

// ---------------------------------------------------------------------------------------------
// Properties

class TqvCustomProgressBarProperties : public TqvCustomEditProperties {
  QJ_CLASS(TqvCustomProgressBarProperties, TqvCustomEditProperties)
 public:
  explicit TqvCustomProgressBarProperties(TPersistent* AOwner) : TqvCustomEditProperties(AOwner) {}
  ~TqvCustomProgressBarProperties() override;
  // Every setting, in one update.
  void Assign(TPersistent* Source) override;

  static TqvCustomEditStyleClass StyleClass();
  static TqvCustomEditViewDataClass ViewDataClass();
  static TqvCustomEditViewInfoClass ViewInfoClass();
  static TqvCustomEditClass ContainerClass();

  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;
  // The raw position, followed by " %" in the percent style.
  String GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
  bool CanCompareEditValue() const override { return true; }
  bool IsValueChangeNotifiedByText() const override { return true; }
  TqvEditSupportedOperations GetSupportedOperations() const override;

  // The position last handed over by a control; stored only (the control reports the change).
  Integer GetCurrentPosition() const { return FCurrentPosition; }
  virtual void SetCurrentPosition(Integer Value) { FCurrentPosition = Value; }

  TqvProgressBarBevelOuter GetBarBevelOuter() const { return FBarBevelOuter; }
  void SetBarBevelOuter(TqvProgressBarBevelOuter Value) { SetValue(FBarBevelOuter, Value); }
  TqvProgressBarBarStyle GetBarStyle() const { return FBarStyle; }
  void SetBarStyle(TqvProgressBarBarStyle Value) { SetValue(FBarStyle, Value); }
  TColor GetBeginColor() const { return FBeginColor; }
  void SetBeginColor(TColor Value) { SetValue(FBeginColor, Value); }
  TColor GetEndColor() const { return FEndColor; }
  void SetEndColor(TColor Value) { SetValue(FEndColor, Value); }
  TqvBorderWidth GetBorderWidth() const { return FBorderWidth; }
  // A negative width is stored as 0.
  void SetBorderWidth(TqvBorderWidth Value);
  // Made empty on first read; its changes call Changed.
  TBitmap* GetForegroundImage();
  TBitmap* FindForegroundImage() const { return FForegroundImage.get(); }
  // Copies Value; nullptr frees the image.
  void SetForegroundImage(TBitmap* Value);
  Integer GetMin() const { return FMin; }
  // Raises Max, the current position, the overload value and the peak value to at least Value.
  void SetMin(Integer Value);
  Integer GetMax() const { return FMax; }
  // Refused unless above Min; lowers the current position, the overload and peak values.
  void SetMax(Integer Value);
  TqvProgressBarOrientation GetOrientation() const { return FOrientation; }
  void SetOrientation(TqvProgressBarOrientation Value) { SetValue(FOrientation, Value); }
  Integer GetOverloadValue() const { return FOverloadValue; }
  // Kept within Min..Max.
  void SetOverloadValue(Integer Value);
  TColor GetOverloadBeginColor() const { return FOverloadBeginColor; }
  void SetOverloadBeginColor(TColor Value) { SetValue(FOverloadBeginColor, Value); }
  TColor GetOverloadEndColor() const { return FOverloadEndColor; }
  void SetOverloadEndColor(TColor Value) { SetValue(FOverloadEndColor, Value); }
  TColor GetPeakColor() const { return FPeakColor; }
  void SetPeakColor(TColor Value) { SetValue(FPeakColor, Value); }
  TqvNaturalNumber GetPeakSize() const { return FPeakSize; }
  void SetPeakSize(TqvNaturalNumber Value) { SetValue(FPeakSize, std::max<TqvNaturalNumber>(Value, 1)); }
  // The peak a control starts holding from (stored unchecked).
  Integer GetPeakValue() const { return FPeakValue; }
  void SetPeakValue(Integer Value) { SetValue(FPeakValue, Value); }
  bool GetShowOverload() const { return FShowOverload; }
  void SetShowOverload(bool Value) { SetValue(FShowOverload, Value); }
  bool GetShowPeak() const { return FShowPeak; }
  void SetShowPeak(bool Value) { SetValue(FShowPeak, Value); }
  bool GetShowText() const { return FShowText; }
  void SetShowText(bool Value) { SetValue(FShowText, Value); }
  TqvProgressBarTextStyle GetShowTextStyle() const { return FShowTextStyle; }
  void SetShowTextStyle(TqvProgressBarTextStyle Value) { SetValue(FShowTextStyle, Value); }
  bool GetSolidTextColor() const { return FSolidTextColor; }
  void SetSolidTextColor(bool Value) { SetValue(FSolidTextColor, Value); }
  TqvProgressBarOrientation GetTextOrientation() const { return FTextOrientation; }
  void SetTextOrientation(TqvProgressBarOrientation Value) { SetValue(FTextOrientation, Value); }
  bool GetTransparent() const { return FTransparent; }
  // Also tells the control (OnTransparentChanged).
  void SetTransparent(bool Value);
  bool GetTransparentImage() const { return FTransparentImage; }
  void SetTransparentImage(bool Value) { SetValue(FTransparentImage, Value); }

  // Set by the control that uses these properties.
  std::function<void()> OnTransparentChanged;

 private:
  TqvProgressBarBevelOuter FBarBevelOuter = qvbvNone;
  TqvProgressBarBarStyle FBarStyle = qvbsSolid;
  TColor FBeginColor = TColor(0x00800000);
  TColor FEndColor = TColor(0x00FFFFFF);
  TqvBorderWidth FBorderWidth = 0;
  TOwned<TBitmap> FForegroundImage;
  Integer FMin = 0;
  Integer FMax = 100;
  TqvProgressBarOrientation FOrientation = qvorHorizontal;
  Integer FOverloadValue = 80;
  TColor FOverloadBeginColor = TColor(0x008080FF);
  TColor FOverloadEndColor = TColor(0x00FF00FF);
  TColor FPeakColor = TColor(0x000000FF);
  TqvNaturalNumber FPeakSize = 2;
  Integer FPeakValue = 0;
  bool FShowOverload = false;
  bool FShowPeak = false;
  bool FShowText = true;
  TqvProgressBarTextStyle FShowTextStyle = qvtsPercent;
  bool FSolidTextColor = false;
  TqvProgressBarOrientation FTextOrientation = qvorHorizontal;
  bool FTransparent = false;
  bool FTransparentImage = true;
  Integer FCurrentPosition = 0;
};

class TqvProgressBarProperties : public TqvCustomProgressBarProperties {
  QJ_CLASS(TqvProgressBarProperties, TqvCustomProgressBarProperties)
 public:
  using TqvCustomProgressBarProperties::TqvCustomProgressBarProperties;
};

class TqvProgressBarStyle : public TqvCustomEditStyle {
  QJ_CLASS(TqvProgressBarStyle, TqvCustomEditStyle)
 public:
  using TqvCustomEditStyle::TqvCustomEditStyle;
};

// ---------------------------------------------------------------------------------------------
// Paint model

class TqvCustomProgressBarViewInfo : public TqvCustomEditViewInfo {
  QJ_CLASS(TqvCustomProgressBarViewInfo, TqvCustomEditViewInfo)
 public:
  TqvCustomProgressBarViewInfo();
  ~TqvCustomProgressBarViewInfo() override;
  // Also moves the bar's rectangles.
  void Offset(Integer DX, Integer DY) override;
  // The bar, its text and its peak on a bitmap of the bar area, copied in one piece.
  virtual void DrawBar(TqvCanvas* ACanvas);
  // Fill, overload and peak rectangles for Position inside BarRect.
  void CalculateBarGeometry();
  // The text the bar shows: the position, or the percentage (capped at 100) with " %".
  String GetBarText() const;

  // Settings
  TqvProgressBarBevelOuter BarBevelOuter = qvbvNone;
  TqvProgressBarBarStyle BarStyle = qvbsSolid;
  TColor BeginColor = TColor(0x00800000), EndColor = TColor(0x00FFFFFF);
  Integer Min = 0, Max = 100;
  TqvProgressBarOrientation Orientation = qvorHorizontal;
  Integer OverloadValue = 80;
  TColor OverloadBeginColor = TColor(0x008080FF), OverloadEndColor = TColor(0x00FF00FF);
  TColor PeakColor = TColor(0x000000FF);
  Integer PeakSize = 2;
  bool ShowOverload = false, ShowPeak = false, ShowText = true;
  TqvProgressBarTextStyle ShowTextStyle = qvtsPercent;
  bool SolidTextColor = false;
  TqvProgressBarOrientation TextOrientation = qvorHorizontal;
  // State
  Integer Position = 0;
  Integer PeakPosition = 0;
  TOwned<TBitmap> ForegroundImage;
  // Geometry
  TRect BarArea;  // what the bar's bitmap covers
  TRect BarRect;  // the bar inside its border width
  TRect FillRect;
  TRect OverloadRect;
  TRect PeakRect;
  TRect FocusRect;
  bool Themed = false;
  bool OverloadShown = false;
  bool PeakShown = false;
  bool TransparentBar = false;
  // The font of vertical text, kept between paints.
  mutable TqvTurnedFont VerticalTextFont;

 protected:
  // The frame and background (not themed, not transparent in place), then the bar.
  void Paint(TqvCanvas* ACanvas) override;
};

class TqvCustomProgressBarViewData : public TqvCustomEditViewData {
  QJ_CLASS(TqvCustomProgressBarViewData, TqvCustomEditViewData)
 public:
  using TqvCustomEditViewData::TqvCustomEditViewData;

  void Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TqvMouseButton AButton,
                 TShiftState AShift, TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  // A grid cell: the value's position, with the peak value as the peak.
  void EditValueToViewInfo(TqvCanvas* ACanvas, const Variant& AEditValue, TqvCustomEditViewInfo* AViewInfo) override;
  void GetEditBorderPartSize(TqvCanvas* ACanvas, const TqvEditSizeProperties& ASizeProperties,
                             TqvCustomEditViewInfo* AViewInfo, TSize& ASize, TSize& AExtra) override;

  TqvCustomProgressBarProperties* BarProperties() const {
    return static_cast<TqvCustomProgressBarProperties*>(Properties);
  }

 private:
  bool IsThemed() const;
};

// ---------------------------------------------------------------------------------------------
// Control

class TqvCustomProgressBar : public TqvCustomEdit {
  QJ_CLASS(TqvCustomProgressBar, TqvCustomEdit)
 public:
  explicit TqvCustomProgressBar(TComponent* AOwner, bool AIsInplace = false);
  ~TqvCustomProgressBar() override;
  void AfterConstruction() override;

  static TqvCustomEditPropertiesClass PropertiesClass() { return &TqvProgressBarProperties::StaticClass(); }
  TqvCustomProgressBarProperties* GetProperties() const {
    return static_cast<TqvCustomProgressBarProperties*>(GetActiveProperties());
  }
  TqvCustomProgressBarViewInfo* GetProgressViewInfo() const {
    return static_cast<TqvCustomProgressBarViewInfo*>(GetViewInfo());
  }

  // The position the edit value shows (not clamped).
  Integer GetPosition();
  // Clamped into Min..Max (not while loading); becomes the edit value.
  void SetPosition(Integer Value);
  // The peak this bar holds: the peak value within Min..Max, raised to every position shown
  // since; a new peak value in the properties starts it again.
  Integer GetPeakPosition() const { return FPeakPosition; }

  // Only in place.
  bool CanFocus() override;
  void SynchronizeDisplayValue() override;
  void PropertiesChanged(TObject* Sender) override;

 protected:
  void InternalSetEditValue(const Variant& Value, bool AValidate) override;
  TqvContainerStyleValues GetNotPublishedStyleValues() const override;
  bool FocusOnClick() override;
  void Dispatch(TMessage& Message) override;

 private:
  void UpdatePeak();
  void AttachTransparencyHandler();

  Integer FPeakPosition = 0;
  bool FPeakHeld = false;
  Integer FPeakValueSeen = 0;
};

class TqvProgressBar : public TqvCustomProgressBar {
  QJ_CLASS(TqvProgressBar, TqvCustomProgressBar)
 public:
  using TqvCustomProgressBar::TqvCustomProgressBar;
};
