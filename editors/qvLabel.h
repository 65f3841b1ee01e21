// The label editor: a static text whose edit value is its caption. It draws the text itself with
// optional effects: a shadow or extrusion in one of eight directions (solid or fading to the
// background), raised, lowered or outlined letters, rotation, a bitmap tiled inside the letters,
// word wrap and end ellipsis, and a transparent background. It can size itself to its text.
//
// Where the parts live: qvLabel.cpp (properties, style, view data, control), qvLabelPaint.cpp
// (the drawing of the text and its effects).
#pragma once

#include "editors/qvEdit.h"
#include "editors/qvExtEditUtils.h"
#include "editors/qvTextEdit.h"

class TqvCustomLabel;

enum TqvLabelEffect { qvleNormal, qvleFun, qvleExtrude, qvleCool };
enum TqvLabelStyle { qvlsNormal, qvlsRaised, qvlsLowered, qvlsOutLine };
// The direction the effect points to.
enum TqvLabelOrientation { qvoLeft, qvoRight, qvoTop, qvoBottom, qvoLeftTop, qvoLeftBottom, qvoRightTop, qvoRightBottom };

// The effect's offset of Depth pixels in the direction of AOrientation (zero without depth).
TPoint GetLabelEffectOffset(TqvLabelOrientation AOrientation, Integer ADepth);

// ---------------------------------------------------------------------------------------------
// Properties

class TqvCustomLabelProperties : public TqvCustomEditProperties {
  QJ_CLASS(TqvCustomLabelProperties, TqvCustomEditProperties)
 public:
  explicit TqvCustomLabelProperties(TPersistent* AOwner) : TqvCustomEditProperties(AOwner) {}
  ~TqvCustomLabelProperties() override;
  // The settings of the editor properties, then the label's, in one update.
  void Assign(TPersistent* Source) override;

  static TqvCustomEditStyleClass StyleClass();
  static TqvCustomEditViewDataClass ViewDataClass();
  static TqvCustomEditViewInfoClass ViewInfoClass();
  static TqvCustomEditClass ContainerClass();

  // The inherited change handling, then the repaint hook.
  void Changed() override;

  // The depth the effect moves the text by (the opposite of its direction), and the room it
  // takes.
  virtual void GetDepthDelta(Integer& OffX, Integer& OffY) const;
  virtual void GetDepthSize(Integer& SizeW, Integer& SizeH) const;

  // Null and Empty show an empty text; other values their text.
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;
  String GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
  bool CanCompareEditValue() const override { return true; }
  TqvEditValueSource GetEditValueSource(bool) const override { return evsText; }
  TqvEditSupportedOperations GetSupportedOperations() const override;
  bool IsValueChangeNotifiedByText() const override { return true; }

  TqvLabelEffect GetLabelEffect() const { return FLabelEffect; }
  void SetLabelEffect(TqvLabelEffect Value) { SetValue(FLabelEffect, Value); }
  TqvLabelStyle GetLabelStyle() const { return FLabelStyle; }
  void SetLabelStyle(TqvLabelStyle Value) { SetValue(FLabelStyle, Value); }
  TqvLabelOrientation GetOrientation() const { return FOrientation; }
  void SetOrientation(TqvLabelOrientation Value) { SetValue(FOrientation, Value); }
  Word GetDepth() const { return FDepth; }
  void SetDepth(Word Value) { SetValue(FDepth, Value); }
  TColor GetShadowedColor() const { return FShadowedColor; }
  void SetShadowedColor(TColor Value) { SetValue(FShadowedColor, Value); }
  bool GetShowEndEllipsis() const { return FShowEndEllipsis; }
  void SetShowEndEllipsis(bool Value) { SetValue(FShowEndEllipsis, Value); }
  // Degrees, counter-clockwise; TrueType fonts only.
  Integer GetAngle() const { return FAngle; }
  void SetAngle(Integer Value) { SetValue(FAngle, Value); }
  Integer GetPenWidth() const { return FPenWidth; }
  void SetPenWidth(Integer Value) { SetValue(FPenWidth, Value); }
  // Made empty on first read; its changes call Changed.
  TBitmap* GetGlyph();
  // The glyph when one was made, else nullptr.
  TBitmap* FindGlyph() const { return FGlyph.get(); }
  // Copies Value; nullptr frees the glyph.
  void SetGlyph(TBitmap* Value);
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value) { SetValue(FWordWrap, Value); }
  bool GetTransparent() const { return FTransparent; }
  void SetTransparent(bool Value) { SetValue(FTransparent, Value); }

  // Set by the label that uses these properties: repaints it.
  std::function<void()> OnRepaint;

 private:
  TqvLabelEffect FLabelEffect = qvleNormal;
  TqvLabelStyle FLabelStyle = qvlsNormal;
  TqvLabelOrientation FOrientation = qvoRightBottom;
  Word FDepth = 0;
  TColor FShadowedColor = clGrayText;
  bool FShowEndEllipsis = false;
  Integer FAngle = 0;
  Integer FPenWidth = 1;
  TOwned<TBitmap> FGlyph;
  bool FWordWrap = false;
  bool FTransparent = false;
};

class TqvLabelProperties : public TqvCustomLabelProperties {
  QJ_CLASS(TqvLabelProperties, TqvCustomLabelProperties)
 public:
  using TqvCustomLabelProperties::TqvCustomLabelProperties;
};

// ---------------------------------------------------------------------------------------------
// Style

// No border and no hot tracking by default; the colour of the label's parent.
class TqvLabelEditStyle : public TqvCustomEditStyle {
  QJ_CLASS(TqvLabelEditStyle, TqvCustomEditStyle)
 public:
  using TqvCustomEditStyle::TqvCustomEditStyle;
  // Also turns the label's ParentColor on, unless a controller's style assigns the colour.
  void RestoreDefaults() override;

 protected:
  TqvContainerBorderStyle GetDefaultBorderStyle() const override { return cbsNone; }
  TColor GetDefaultColor() const override;
  bool GetDefaultHotTrack() const override { return false; }
};

// ---------------------------------------------------------------------------------------------
// Paint model

// A text editor's view info whose text the label draws itself (Text; TextRect is the client
// rectangle).
class TqvCustomLabelViewInfo : public TqvCustomTextEditViewInfo {
  QJ_CLASS(TqvCustomLabelViewInfo, TqvCustomTextEditViewInfo)
 public:
  // Also moves the label text and focus rectangles.
  void Offset(Integer DX, Integer DY) override;
  // Nothing: DrawLabel draws the text.
  void DrawText(TqvCanvas*) override {}
  // The text with its effects into LabelTextRect.
  virtual void DrawLabel(TqvCanvas* ACanvas);

  TRect LabelTextRect;  // the client rectangle less the border
  TRect FocusRect;
  UINT DrawTextFlags = 0;
  TAlignment HorzAlignment = taLeftJustify;
  TqvEditVertAlignment VertAlignment = taTopJustify;
  TqvLabelEffect LabelEffect = qvleNormal;
  TqvLabelStyle LabelStyle = qvlsNormal;
  TqvLabelOrientation Orientation = qvoRightBottom;
  Integer Depth = 0;
  TPoint DepthDelta;
  TColor ShadowedColor = clGrayText;
  bool ShowEndEllipsis = false;
  Integer Angle = 0;
  Integer PenWidth = 1;
  bool WordWrap = false;
  TBitmap* Glyph = nullptr;  // the properties'

 protected:
  // The frame and background (the edit painting), then the label.
  void Paint(TqvCanvas* ACanvas) override;

 private:
  TqvTurnedFont FTurnedFont;
};

class TqvCustomLabelViewData : public TqvCustomEditViewData {
  QJ_CLASS(TqvCustomLabelViewData, TqvCustomEditViewData)
 public:
  using TqvCustomEditViewData::TqvCustomEditViewData;

  // A theme is not used without a border.
  void InitCacheData() override;
  void Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TqvMouseButton AButton,
                 TShiftState AShift, TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToViewInfo(TqvCanvas* ACanvas, const Variant& AEditValue, TqvCustomEditViewInfo* AViewInfo) override;
  // None in place; standalone only a border the style assigns.
  TqvEditBorderStyle GetBorderStyle(TqvEditHotState AHotState) const override;
  void GetEditBorderPartSize(TqvCanvas* ACanvas, const TqvEditSizeProperties& ASizeProperties,
                             TqvCustomEditViewInfo* AViewInfo, TSize& ASize, TSize& AExtra) override;
  TSize GetEditContentSize(TqvCanvas* ACanvas, const Variant& AEditValue,
                           const TqvEditSizeProperties& ASizeProperties) override;
  // DrawText flags of the alignment, the end ellipsis and the word wrap.
  virtual UINT GetDrawTextFlags() const;

  TqvCustomLabelProperties* LabelProperties() const { return static_cast<TqvCustomLabelProperties*>(Properties); }
};

// ---------------------------------------------------------------------------------------------
// Control

class TqvCustomLabel : public TqvCustomEdit {
  QJ_CLASS(TqvCustomLabel, TqvCustomEdit)
 public:
  explicit TqvCustomLabel(TComponent* AOwner, bool AIsInplace = false);
  ~TqvCustomLabel() override;
  void AfterConstruction() override;

  static TqvCustomEditPropertiesClass PropertiesClass() { return &TqvLabelProperties::StaticClass(); }
  TqvCustomLabelProperties* GetProperties() const {
    return static_cast<TqvCustomLabelProperties*>(GetActiveProperties());
  }
  TqvCustomLabelViewInfo* GetLabelViewInfo() const { return static_cast<TqvCustomLabelViewInfo*>(GetViewInfo()); }

  virtual String GetCaption() const { return FCaption; }
  // A text that differs from the caption (letter case counts) becomes the edit value; the
  // caption counts as set explicitly either way.
  virtual void SetCaption(const String& Value);
  bool GetCaptionAssigned() const { return FCaptionAssigned; }
  // The form stream writes Caption only when it was set explicitly.
  bool IsCaptionStored() const { return FCaptionAssigned; }
  bool GetValueAssigned() const { return FValueAssigned; }
  TWinControl* GetFocusControl() const { return FFocusControl; }
  // The label itself is refused.
  void SetFocusControl(TWinControl* Value);

  // The label's own size for a proposed one: the text measured (rotated, with the effect's room
  // and the margins), or the parent's side for an aligned label.
  TRect CalculateAutoSizeRect(Integer AWidth, Integer AHeight);
  void SetAutoSize(bool Value) override;
  void SetName(const String& NewName) override;

  // Only in place.
  bool CanFocus() override;

  void SynchronizeDisplayValue() override;
  void PropertiesChanged(TObject* Sender) override;

 protected:
  void InternalSetEditValue(const Variant& Value, bool AValidate) override;
  TqvEditSizeProperties GetAutoSizeConstraints() override;
  bool CanAutoSize() override { return false; }
  bool CanResize(Integer& NewWidth, Integer& NewHeight) override;
  void SetInnerControlBounds() override;
  bool FocusOnClick() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Dispatch(TMessage& Message) override;

 private:
  void DialogChar(TMessage& Message);
  bool IsAutoSizing() const;

  String FCaption;
  bool FCaptionAssigned = false;
  bool FValueAssigned = false;
  TWinControl* FFocusControl = nullptr;
};

class TqvLabel : public TqvCustomLabel {
  QJ_CLASS(TqvLabel, TqvCustomLabel)
 public:
  using TqvCustomLabel::TqvCustomLabel;
};
