// The track bar editor: an integer chosen with a thumb on a track, with tick marks or numbers on
// one or both sides, a highlighted selection range, keyboard and mouse control, horizontal or
// vertical.
//
// The layout (track, thumb, pixels per value) and the thumb's hot and pressed state belong to
// each control and view info, never to the shared properties. Ticks visit only the multiples of
// Frequency, at least a pixel apart, so any range paints at once.
//
// Where the parts live: qvTrackBar.cpp (properties, view data, control), qvTrackBarPaint.cpp
// (the drawing of track, selection, ticks and thumb).
#pragma once

#include "editors/qvEdit.h"
#include "editors/qvExtEditUtils.h"

class TqvCustomTrackBar;

enum TqvTrackBarOrientation { tboHorizontal, tboVertical };
enum TqvTrackBarTextOrientation { tbtoHorizontal, tbtoVertical };
enum TqvTrackBarThumbType { qvttNone, qvttRegular, qvttCustom };
enum TqvTrackBarThumbStep { qvtsNormal, qvtsJump };
enum TqvTrackBarTickMarks { qvtmBoth, qvtmTopLeft, qvtmBottomRight };
enum TqvTrackBarTickType { tbttTicks, tbttNumbers, tbttValueNumber };

// The theme states of the thumb.
enum TqvTrackBarThumbState { tbtsNormal = 1, tbtsHot = 2, tbtsPressed = 3, tbtsDisabled = 5 };

using TqvTrackBarGetThumbRectEvent = std::function<void(TObject* Sender, TRect& ARect)>;
using TqvTrackBarDrawThumbEvent = std::function<void(TObject* Sender, TqvCanvas* ACanvas, const TRect& ARect)>;

// ---------------------------------------------------------------------------------------------
// Properties

class TqvCustomTrackBarProperties : public TqvCustomEditProperties {
  QJ_CLASS(TqvCustomTrackBarProperties, TqvCustomEditProperties)
 public:
  using TqvCustomEditProperties::TqvCustomEditProperties;
  // Every setting and the two thumb events, in one update.
  void Assign(TPersistent* Source) override;

  static TqvCustomEditStyleClass StyleClass();
  static TqvCustomEditViewDataClass ViewDataClass();
  static TqvCustomEditViewInfoClass ViewInfoClass();
  static TqvCustomEditClass ContainerClass();

  // The position a value shows: an integer value, the integer of an integer text, else Min;
  // held within Min..Max. Also the display text.
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;
  String GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
  bool CanCompareEditValue() const override { return true; }
  TqvEditSupportedOperations GetSupportedOperations() const override;
  // A value held within Min..Max.
  virtual Integer ClampPosition(Integer Value) const;

  bool GetAutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value) { SetValue(FAutoSize, Value); }
  Integer GetBorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(Integer Value) { SetValue(FBorderWidth, std::max(Value, 0)); }
  // 0: ticks only at Min and Max.
  Integer GetFrequency() const { return FFrequency; }
  void SetFrequency(Integer Value) { SetValue(FFrequency, std::max(Value, 0)); }
  Integer GetMin() const { return FMin; }
  // Raises Max with it.
  void SetMin(Integer Value);
  Integer GetMax() const { return FMax; }
  // Refused unless above Min.
  void SetMax(Integer Value);
  TqvTrackBarOrientation GetOrientation() const { return FOrientation; }
  void SetOrientation(TqvTrackBarOrientation Value) { SetValue(FOrientation, Value); }
  TqvTrackBarTextOrientation GetTextOrientation() const { return FTextOrientation; }
  void SetTextOrientation(TqvTrackBarTextOrientation Value) { SetValue(FTextOrientation, Value); }
  TqvNaturalNumber GetPageSize() const { return FPageSize; }
  void SetPageSize(TqvNaturalNumber Value) { SetValue(FPageSize, std::max<TqvNaturalNumber>(Value, 1)); }
  // Stored as given: neither ordered nor clamped.
  Integer GetSelectionStart() const { return FSelectionStart; }
  void SetSelectionStart(Integer Value) { SetValue(FSelectionStart, Value); }
  Integer GetSelectionEnd() const { return FSelectionEnd; }
  void SetSelectionEnd(Integer Value) { SetValue(FSelectionEnd, Value); }
  TColor GetSelectionColor() const { return FSelectionColor; }
  void SetSelectionColor(TColor Value) { SetValue(FSelectionColor, Value); }
  bool GetShowTicks() const { return FShowTicks; }
  void SetShowTicks(bool Value) { SetValue(FShowTicks, Value); }
  bool GetShowTrack() const { return FShowTrack; }
  void SetShowTrack(bool Value) { SetValue(FShowTrack, Value); }
  TqvTrackBarThumbType GetThumbType() const { return FThumbType; }
  void SetThumbType(TqvTrackBarThumbType Value) { SetValue(FThumbType, Value); }
  Integer GetThumbHeight() const { return FThumbHeight; }
  void SetThumbHeight(Integer Value) { SetValue(FThumbHeight, Value); }
  Integer GetThumbWidth() const { return FThumbWidth; }
  void SetThumbWidth(Integer Value) { SetValue(FThumbWidth, Value); }
  TColor GetThumbColor() const { return FThumbColor; }
  void SetThumbColor(TColor Value) { SetValue(FThumbColor, Value); }
  TColor GetThumbHighlightColor() const { return FThumbHighlightColor; }
  void SetThumbHighlightColor(TColor Value) { SetValue(FThumbHighlightColor, Value); }
  TqvTrackBarThumbStep GetThumbStep() const { return FThumbStep; }
  void SetThumbStep(TqvTrackBarThumbStep Value) { SetValue(FThumbStep, Value); }
  TColor GetTickColor() const { return FTickColor; }
  void SetTickColor(TColor Value) { SetValue(FTickColor, Value); }
  TqvTrackBarTickMarks GetTickMarks() const { return FTickMarks; }
  void SetTickMarks(TqvTrackBarTickMarks Value) { SetValue(FTickMarks, Value); }
  TqvNaturalNumber GetTickSize() const { return FTickSize; }
  void SetTickSize(TqvNaturalNumber Value) { SetValue(FTickSize, std::max<TqvNaturalNumber>(Value, 1)); }
  TqvTrackBarTickType GetTickType() const { return FTickType; }
  void SetTickType(TqvTrackBarTickType Value) { SetValue(FTickType, Value); }
  TColor GetTrackColor() const { return FTrackColor; }
  void SetTrackColor(TColor Value) { SetValue(FTrackColor, Value); }
  Integer GetTrackSize() const { return FTrackSize; }
  void SetTrackSize(Integer Value) { SetValue(FTrackSize, Value); }

  // Sender is the properties object.
  TqvTrackBarGetThumbRectEvent OnGetThumbRect;
  TqvTrackBarDrawThumbEvent OnDrawThumb;

 private:
  bool FAutoSize = true;
  Integer FBorderWidth = 0;
  Integer FFrequency = 1;
  Integer FMin = 0;
  Integer FMax = 10;
  TqvTrackBarOrientation FOrientation = tboHorizontal;
  TqvTrackBarTextOrientation FTextOrientation = tbtoHorizontal;
  TqvNaturalNumber FPageSize = 1;
  Integer FSelectionStart = 0;
  Integer FSelectionEnd = 0;
  TColor FSelectionColor = clHighlight;
  bool FShowTicks = true;
  bool FShowTrack = true;
  TqvTrackBarThumbType FThumbType = qvttRegular;
  Integer FThumbHeight = 12;
  Integer FThumbWidth = 7;
  TColor FThumbColor = clBtnFace;
  TColor FThumbHighlightColor = TColor(0x00C0C0C0);
  TqvTrackBarThumbStep FThumbStep = qvtsNormal;
  TColor FTickColor = clWindowText;
  TqvTrackBarTickMarks FTickMarks = qvtmBottomRight;
  TqvNaturalNumber FTickSize = 3;
  TqvTrackBarTickType FTickType = tbttTicks;
  TColor FTrackColor = clWindow;
  Integer FTrackSize = 5;
};

class TqvTrackBarProperties : public TqvCustomTrackBarProperties {
  QJ_CLASS(TqvTrackBarProperties, TqvCustomTrackBarProperties)
 public:
  using TqvCustomTrackBarProperties::TqvCustomTrackBarProperties;
};

class TqvTrackBarStyle : public TqvCustomEditStyle {
  QJ_CLASS(TqvTrackBarStyle, TqvCustomEditStyle)
 public:
  using TqvCustomEditStyle::TqvCustomEditStyle;
};

// ---------------------------------------------------------------------------------------------
// Paint model

// One place a tick or a number is drawn at: the value, its coordinate along the axis and its
// length (longer at the ends).
struct TqvTrackBarTick {
  Int64 Value;
  Integer Coordinate;
  Integer Length;
};

class TqvCustomTrackBarViewInfo : public TqvCustomEditViewInfo {
  QJ_CLASS(TqvCustomTrackBarViewInfo, TqvCustomEditViewInfo)
 public:
  TqvCustomTrackBarViewInfo();
  ~TqvCustomTrackBarViewInfo() override;
  // Also moves the content and thumb rectangles.
  void Offset(Integer DX, Integer DY) override;

  // The layout of track, thumb and selection in the content rectangle for Position.
  void CalculateLayout(TqvCanvas* ACanvas);
  // The along-axis pixel of a value (the thumb's centre there).
  Integer ValueCoordinate(Int64 AValue) const;
  // The places ticks and numbers are drawn: Min, Max, the multiples of Frequency between them
  // (one a pixel at most), and the position for value numbers.
  std::vector<TqvTrackBarTick> GetTicks() const;
  // A tick shows its value as a number (else a line): always with numbers; for value numbers at
  // Min, Max and the position.
  bool ShowsNumber(const TqvTrackBarTick& ATick) const;
  // The value whose thumb centre is nearest to a client point's coordinate along the axis;
  // false when the track has no pixels for the range.
  bool ValueAtPoint(const TPoint& P, bool ACentreOnThumb, Integer& AValue) const;

  // Drawing operations, on the content bitmap.
  virtual void DrawTrackBar(TqvCanvas* ACanvas);
  virtual void DrawTrack(TqvCanvas* ACanvas);
  virtual void DrawSelection(TqvCanvas* ACanvas);
  virtual void DrawTicks(TqvCanvas* ACanvas);
  virtual void DrawThumb(TqvCanvas* ACanvas);

  TqvCustomTrackBarProperties* Properties = nullptr;  // for the thumb events
  // Settings
  bool AutoSize = true;
  Integer BorderWidth = 0;
  Integer Frequency = 1;
  Integer Min = 0, Max = 10;
  TqvTrackBarOrientation Orientation = tboHorizontal;
  TqvTrackBarTextOrientation TextOrientation = tbtoHorizontal;
  Integer SelectionStart = 0, SelectionEnd = 0;
  TColor SelectionColor = clHighlight;
  bool ShowTicks = true, ShowTrack = true;
  TqvTrackBarThumbType ThumbType = qvttRegular;
  Integer ThumbHeight = 12, ThumbWidth = 7;
  TColor ThumbColor = clBtnFace, ThumbHighlightColor = TColor(0x00C0C0C0);
  TColor TickColor = clWindowText;
  TqvTrackBarTickMarks TickMarks = qvtmBottomRight;
  Integer TickSize = 3;
  TqvTrackBarTickType TickType = tbttTicks;
  TColor TrackColor = clWindow;
  Integer TrackSize = 5;
  TqvLookAndFeelKind LookAndFeelKind = lfStandard;
  bool Themed = false;
  // State
  Integer Position = 0;
  TqvTrackBarThumbState ThumbState = tbtsNormal;
  // Layout
  TPoint ContentOrigin;
  TRect ContentRect;  // from (0, 0)
  TRect ThumbArea;
  TRect TrackRect;
  TRect ThumbRect;
  TRect SelectionRect;
  bool SelectionShown = false;
  Integer ThumbLength = 0;
  Integer ThumbCrossSize = 0;
  double PixelsPerValue = 0;
  TRect FocusRect;

 protected:
  // The frame and background, then the content bitmap.
  void Paint(TqvCanvas* ACanvas) override;

 private:
  bool IsVertical() const { return Orientation == tboVertical; }
  bool IsPointed() const { return TickMarks != qvtmBoth; }
  Integer TickSpace(bool ATopLeft, TqvCanvas* ACanvas) const;
  void DrawTickLine(TqvCanvas* ACanvas, const TqvTrackBarTick& ATick);
  void DrawTickNumber(TqvCanvas* ACanvas, const TqvTrackBarTick& ATick);

  TOwned<TBitmap> FBitmap;
  TOwned<TqvCanvas> FBitmapCanvas;
  TqvTurnedFont FVerticalFont;
};

class TqvCustomTrackBarViewData : public TqvCustomEditViewData {
  QJ_CLASS(TqvCustomTrackBarViewData, TqvCustomEditViewData)
 public:
  using TqvCustomEditViewData::TqvCustomEditViewData;

  void Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TqvMouseButton AButton,
                 TShiftState AShift, TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToViewInfo(TqvCanvas* ACanvas, const Variant& AEditValue, TqvCustomEditViewInfo* AViewInfo) override;
  void GetEditBorderPartSize(TqvCanvas* ACanvas, const TqvEditSizeProperties& ASizeProperties,
                             TqvCustomEditViewInfo* AViewInfo, TSize& ASize, TSize& AExtra) override;

  TqvCustomTrackBarProperties* TrackProperties() const {
    return static_cast<TqvCustomTrackBarProperties*>(Properties);
  }
};

// ---------------------------------------------------------------------------------------------
// Control

class TqvCustomTrackBar : public TqvCustomEdit {
  QJ_CLASS(TqvCustomTrackBar, TqvCustomEdit)
 public:
  explicit TqvCustomTrackBar(TComponent* AOwner, bool AIsInplace = false);
  void AfterConstruction() override;

  static TqvCustomEditPropertiesClass PropertiesClass() { return &TqvTrackBarProperties::StaticClass(); }
  TqvCustomTrackBarProperties* GetProperties() const {
    return static_cast<TqvCustomTrackBarProperties*>(GetActiveProperties());
  }
  TqvCustomTrackBarViewInfo* GetTrackViewInfo() const {
    return static_cast<TqvCustomTrackBarViewInfo*>(GetViewInfo());
  }

  // The position of the edit value (not clamped).
  Integer GetPosition();
  // A different value, when editing may start: the edit value, OnChange, modified, posted.
  void SetPosition(Integer Value);

  // The thumb's state for painting: disabled, pressed, hot or normal.
  TqvTrackBarThumbState GetThumbState() const;
  bool IsThumbHot() const { return FThumbHot; }
  bool IsThumbPressed() const { return FThumbPressed; }
  bool IsMouseInside() const { return FMouseInside; }
  bool IsSelecting() const { return FSelecting; }

  void SynchronizeDisplayValue() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

 protected:
  TqvContainerStyleValues GetNotPublishedStyleValues() const override;
  void MouseEnter(TControl* AControl) override;
  void MouseLeave(TControl* AControl) override;
  void Dispatch(TMessage& Message) override;

 private:
  // Repaints after a change of the thumb's state (this control's only).
  void ThumbStateChanged();
  // In selection mode, the range from the anchor to AValue, ordered, without notifications.
  void ExtendSelection(Integer AValue);
  void MoveTo(Integer AValue);
  bool IsOverThumb(Integer X, Integer Y) const;

  bool FThumbHot = false;
  bool FThumbPressed = false;
  bool FMouseInside = false;
  bool FSelecting = false;
  Integer FSelectionAnchor = 0;
};

class TqvTrackBar : public TqvCustomTrackBar {
  QJ_CLASS(TqvTrackBar, TqvCustomTrackBar)
 public:
  using TqvCustomTrackBar::TqvCustomTrackBar;
};
