// The check box editor: three states (unchecked, checked, grayed) mapped onto three configurable
// edit values, a check glyph (themed, classic or cells of a bitmap of the user's) and a caption,
// toggled by click, space or accelerator, standalone or centred without caption in a grid cell.
#pragma once

#include "editors/qvTextEdit.h"

enum TqvCheckBoxState { cbsUnchecked, cbsChecked, cbsGrayed };
// How a grayed value (neither checked nor unchecked, Null among them) is drawn.
enum TqvCheckBoxNullValueShowingStyle { nssUnchecked, nssInactive, nssGrayedChecked };
// The glyph's look under the mouse and the keyboard.
enum TqvCheckBoxGlyphState { cgsNormal, cgsHot, cgsPressed, cgsDisabled };

extern const TResourceString sqvCheckBoxDisplayChecked;
extern const TResourceString sqvCheckBoxDisplayUnchecked;

class TqvCustomCheckBoxProperties : public TqvCustomEditProperties {
  QJ_CLASS(TqvCustomCheckBoxProperties, TqvCustomEditProperties)
 public:
  explicit TqvCustomCheckBoxProperties(TPersistent* AOwner);
  ~TqvCustomCheckBoxProperties() override;
  // The settings through their setters; the caption and the display texts stay.
  void Assign(TPersistent* Source) override;

  static TqvCustomEditStyleClass StyleClass();
  static TqvCustomEditViewDataClass ViewDataClass();
  static TqvCustomEditViewInfoClass ViewInfoClass();
  static TqvCustomEditClass ContainerClass();

  bool CanCompareEditValue() const override { return true; }
  bool IsValueChangeNotifiedByText() const override { return true; }
  String GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
  TqvEditSupportedOperations GetSupportedOperations() const override;
  // Exactly one of the three values.
  bool IsEditValueValid(Variant& AEditValue, bool AEditFocused) override;
  // The state (as an integer) the value shows.
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;
  TqvCheckBoxState StateOf(const Variant& AEditValue) const;

  bool GetAllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
  TAlignment GetCheckAlignment() { return GetAlignment()->GetHorz(); }
  void SetCheckAlignment(TAlignment Value) { GetAlignment()->SetHorz(Value); }
  const String& GetCaption() const { return FCaption; }
  // Marks the caption assigned; Changed when the text differs in any way, letter case included.
  void SetCaption(const String& Value);
  bool GetCaptionAssigned() const { return FCaptionAssigned; }
  // The caption is stored only when it was set explicitly.
  bool IsCaptionStored() const { return FCaptionAssigned; }
  // The owner's name while no caption was set.
  void CaptionFollowsName(const String& AName);
  const String& GetDisplayChecked() const { return FDisplayChecked; }
  void SetDisplayChecked(const String& Value);
  const String& GetDisplayGrayed() const { return FDisplayGrayed; }
  void SetDisplayGrayed(const String& Value);
  const String& GetDisplayUnchecked() const { return FDisplayUnchecked; }
  void SetDisplayUnchecked(const String& Value);
  bool IsDisplayCheckedStored() const;
  bool IsDisplayGrayedStored() const { return !FDisplayGrayed.empty(); }
  bool IsDisplayUncheckedStored() const;
  bool GetFullFocusRect() const { return FFullFocusRect; }
  void SetFullFocusRect(bool Value);
  // Made on first read.
  TBitmap* GetGlyph();
  TBitmap* FindGlyph() const { return FGlyph.get(); }
  // nullptr frees the glyph; Changed always.
  void SetGlyph(TBitmap* Value);
  Integer GetGlyphCount() const { return FGlyphCount; }
  void SetGlyphCount(Integer Value);
  bool GetMultiLine() const { return FMultiLine; }
  void SetMultiLine(bool Value);
  TqvCheckBoxNullValueShowingStyle GetNullStyle() const { return FNullStyle; }
  void SetNullStyle(TqvCheckBoxNullValueShowingStyle Value);
  const Variant& GetValueChecked() const { return FValueChecked; }
  // Ignored for Null and for a value one of the three states already has.
  void SetValueChecked(const Variant& Value);
  const Variant& GetValueGrayed() const { return FValueGrayed; }
  // Null is accepted.
  void SetValueGrayed(const Variant& Value);
  const Variant& GetValueUnchecked() const { return FValueUnchecked; }
  void SetValueUnchecked(const Variant& Value);
  bool IsValueCheckedStored() const;
  bool IsValueGrayedStored() const { return !VarIsNull(FValueGrayed); }
  bool IsValueUncheckedStored() const;

 private:
  bool IsTaken(const Variant& Value) const;
  void SetStateValue(Variant& AField, const Variant& Value, bool AAcceptNull);
  void GlyphChanged(TObject*) { Changed(); }

  bool FAllowGrayed = false;
  String FCaption;
  bool FCaptionAssigned = false;
  String FDisplayChecked;
  String FDisplayGrayed;
  String FDisplayUnchecked;
  bool FFullFocusRect = false;
  TOwned<TBitmap> FGlyph;
  Integer FGlyphCount = 6;
  bool FMultiLine = false;
  TqvCheckBoxNullValueShowingStyle FNullStyle = nssGrayedChecked;
  Variant FValueChecked;
  Variant FValueGrayed;
  Variant FValueUnchecked;
};

class TqvCheckBoxProperties : public TqvCustomCheckBoxProperties {
  QJ_CLASS(TqvCheckBoxProperties, TqvCustomCheckBoxProperties)
 public:
  using TqvCustomCheckBoxProperties::TqvCustomCheckBoxProperties;
};

// The edit style of check boxes: the parent's colour by default.
class TqvCheckBoxStyle : public TqvCustomEditStyle {
  QJ_CLASS(TqvCheckBoxStyle, TqvCustomEditStyle)
 public:
  using TqvCustomEditStyle::TqvCustomEditStyle;
  // Also ParentColor for a style of an editor, unless a controller's style assigns Color.
  void RestoreDefaults() override;

 protected:
  TColor GetDefaultColor() const override;
};

// The geometry and states a check box is painted with.
class TqvCustomCheckBoxViewInfo : public TqvCustomTextEditViewInfo {
  QJ_CLASS(TqvCustomCheckBoxViewInfo, TqvCustomTextEditViewInfo)
 public:
  TqvCustomCheckBoxViewInfo() = default;
  // GlyphState and the theme's check state, then the text view info's fields.
  void Assign(TObject* Source) override;
  using TqvCustomEditViewInfo::GetUpdateRegion;
  TOwned<TqvRegion> GetUpdateRegion(const TqvContainerViewInfo* AViewInfo) const override;
  void Offset(Integer DX, Integer DY) override;
  bool IsHotTrack() const override { return true; }
  bool NeedShowHintInBounds(TqvCanvas*, const TPoint&, const TRect&, bool& AIsMultiLine, String& AText,
                            TRect& ATextRect) override;
  bool Repaint(TWinControl* AControl, const TqvCustomEditViewInfo* AOldViewInfo, const TRect* AInnerRect) override;
  // The caption.
  void DrawText(TqvCanvas* ACanvas) override;

  TAlignment Alignment = taLeftJustify;
  TqvTextFlags CaptionFlags = 0;  // the canvas flags the caption is drawn and measured with
  TqvContainerBorderStyle GlyphFrameStyle = cbsNone;
  TBitmap* Glyph = nullptr;
  Integer GlyphCount = 0;
  TRect CheckRect;
  TqvCheckBoxGlyphState GlyphState = cgsNormal;
  TRect FocusRect;
  bool FullFocusRect = false;
  bool IsCustomGlyph = false;
  TqvCheckBoxNullValueShowingStyle NullStyle = nssGrayedChecked;
  TqvCheckBoxState CheckState = cbsUnchecked;
  Integer NativeCheckState = 0;  // the theme's check box state, 0 when not themed
  bool DrawParentBackground = false;

 protected:
  void Paint(TqvCanvas* ACanvas) override;
};

class TqvCustomCheckBoxViewData : public TqvCustomEditViewData {
  QJ_CLASS(TqvCustomCheckBoxViewData, TqvCustomEditViewData)
 public:
  using TqvCustomEditViewData::TqvCustomEditViewData;

  TqvCustomCheckBoxProperties* GetProperties() const {
    return static_cast<TqvCustomCheckBoxProperties*>(TqvCustomEditViewData::GetProperties());
  }
  virtual TqvTextFlags GetTextFlags() const;
  // A check box has no editor frame.
  TqvEditBorderStyle GetBorderStyle(TqvEditHotState) const override { return ebsNone; }
  void GetEditBorderPartSize(TqvCanvas* ACanvas, const TqvEditSizeProperties& ASizeProperties,
                             TqvCustomEditViewInfo* AViewInfo, TSize& ASize, TSize& AExtra) override;
  void Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TqvMouseButton AButton,
                 TShiftState AShift, TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToViewInfo(TqvCanvas* ACanvas, const Variant& AEditValue, TqvCustomEditViewInfo* AViewInfo) override;

  // Set by the check box while space holds its glyph down.
  bool SpacePressed = false;

 protected:
  void CalculateNativeState(TqvCustomCheckBoxViewInfo* AViewInfo, TqvCanvas* ACanvas) const;
};

// The glyph size: a bitmap cell, the theme's check box, or the standard check.
TSize GetCheckBoxGlyphSize(const TqvCustomCheckBoxViewData* AViewData);
// Check and text rectangles of a client rectangle for a glyph of AGlyphSize.
void CalculateCheckBoxRects(const TRect& AClientRect, const TSize& AGlyphSize, TAlignment AAlignment, bool AIsInplace,
                            bool AThemed, TRect& ACheckRect, TRect& ATextRect);
// The bitmap cell of a state: unchecked, checked, grayed, then the pressed ones; taken modulo
// the cells the bitmap has.
Integer GetCheckBoxGlyphIndex(TqvCheckBoxState AState, TqvCheckBoxGlyphState AGlyphState, Integer AGlyphCount);
void PaintCheckBox(TqvCanvas* ACanvas, TqvCustomCheckBoxViewInfo* AViewInfo);

// The check box control.
class TqvCustomCheckBox : public TqvCustomEdit {
  QJ_CLASS(TqvCustomCheckBox, TqvCustomEdit)
 public:
  explicit TqvCustomCheckBox(TComponent* AOwner, bool AIsInplace = false);
  void AfterConstruction() override;

  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomCheckBoxProperties* GetProperties() const {
    return static_cast<TqvCustomCheckBoxProperties*>(GetActiveProperties());
  }
  TqvCustomCheckBoxViewInfo* GetViewInfo() const {
    return static_cast<TqvCustomCheckBoxViewInfo*>(TqvCustomEdit::GetViewInfo());
  }

  TqvCheckBoxState GetState();
  void SetState(TqvCheckBoxState Value);
  bool GetChecked() { return GetState() == cbsChecked; }
  void SetChecked(bool Value) { SetState(Value ? cbsChecked : cbsUnchecked); }
  // Unchecked, grayed (with AllowGrayed), checked, unchecked; posts with ImmediatePost.
  virtual void Toggle();

  void Clear() override { SetChecked(false); }
  void DisplayToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool AEditFocused) override;
  void PropertiesChanged(TObject* Sender) override;
  void SetName(const String& NewName) override;

 protected:
  bool CanResize(Integer& NewWidth, Integer& NewHeight) override;
  void Paint() override;
  TqvContainerStyleValues GetNotPublishedStyleValues() const override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void DoEditKeyPress(char& Key) override;
  void DoEditKeyUp(Word& Key, TShiftState Shift) override;
  TqvEditSizeProperties GetAutoSizeConstraints() override;
  void InternalSetEditValue(const Variant& Value, bool AValidate) override;
  bool CanClickWhileLoading() override;
  void ProcessButtonsStateChange(TqvCustomEditViewInfo* AOldViewInfo) override;
  void InitializeViewData(TqvCustomEditViewData* AViewData) override;
  void Dispatch(TMessage& Message) override;

 private:
  void InvalidateCheckRect();

  bool FSpacePressed = false;
};

class TqvCheckBox : public TqvCustomCheckBox {
  QJ_CLASS(TqvCheckBox, TqvCustomCheckBox)
 public:
  using TqvCustomCheckBox::TqvCustomCheckBox;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCheckBoxProperties* GetProperties() const { return static_cast<TqvCheckBoxProperties*>(GetActiveProperties()); }
  void SetProperties(TqvCheckBoxProperties* Value) { TqvCustomEdit::SetProperties(Value); }
};

// The repository item of the check box (the default editor of Boolean values).
class TqvEditRepositoryCheckBoxItem : public TqvEditRepositoryItemOf<TqvCheckBoxProperties> {
  QJ_CLASS(TqvEditRepositoryCheckBoxItem, TqvEditRepositoryItemOf<TqvCheckBoxProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};
