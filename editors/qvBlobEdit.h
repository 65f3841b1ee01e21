// The BLOB editor: a drop-down editor for large values (memo text, pictures, OLE objects and raw
// data). Closed, it shows an icon of the value's kind or a short text; its drop-down opens a memo
// or an image editor on the value, with Cancel (Close when read-only) and OK buttons in the
// popup's system panel. Kinds without popup content (OLE, raw data) do not drop down.
//
// The popup controls and buttons live exactly as long as one opening of the popup: made when it
// opens, freed once it has closed.
#pragma once

#include <vector>

#include "editors/qvImage.h"
#include "editors/qvMemo.h"
#include "editors/qvPopupEdit.h"

class TqvButton;
class TqvCustomBlobEdit;

enum TqvBlobEditKind { bekAuto, bekMemo, bekPict, bekOle, bekBlob };
enum TqvBlobPaintStyle { bpsDefault, bpsIcon, bpsText };

extern const TResourceString sqvBlobPictureFilled;
extern const TResourceString sqvBlobPictureEmpty;
extern const TResourceString sqvBlobMemoFilled;
extern const TResourceString sqvBlobMemoEmpty;
extern const TResourceString sqvBlobOle;
extern const TResourceString sqvBlobBlob;
extern const TResourceString sqvBlobButtonClose;
extern const TResourceString sqvBlobButtonCancel;
extern const TResourceString sqvBlobButtonOK;

// The kind images, in the order empty BLOB, BLOB, empty memo, memo, empty picture, picture,
// empty OLE, OLE; all of one size.
TCustomImageList* GetBlobEditImages();

// The memo text of a closed editor with bpsText: left-trimmed, at most 80 characters, every
// control character a blank.
String BlobMemoShortText(const String& AText);

class TqvCustomBlobEditProperties : public TqvCustomPopupEditProperties {
  QJ_CLASS(TqvCustomBlobEditProperties, TqvCustomPopupEditProperties)
 public:
  // A popup of at least 160 x 140 that opens on typing.
  explicit TqvCustomBlobEditProperties(TPersistent* AOwner);
  // Every BLOB setting (and the remembered graphic class when the source names none) in one
  // update.
  void Assign(TPersistent* Source) override;

  static TqvCustomEditClass ContainerClass();
  static TqvCustomEditViewDataClass ViewDataClass();
  static TqvCustomEditViewInfoClass ViewInfoClass();

  bool DropDownOnClick() const override { return true; }
  TqvCustomEditPopupWindowClass GetPopupWindowClass() const override;
  TqvEditDisplayFormatOptions GetDisplayFormatOptions() const override { return 0; }
  // Only the buttons' capability: a grid neither sorts, groups nor filters by BLOB values.
  TqvEditSupportedOperations GetSupportedOperations() const override;
  bool IsEditValueValid(Variant&, bool) override { return true; }
  bool IsValueChangeNotifiedByText() const override { return false; }
  // Null: empty. Memo: the whole text for a full-text request, else the paint text; picture
  // "(PICTURE)", OLE "OLE", raw data "BLOB".
  String GetDisplayText(const Variant& AEditValue, bool AFullText = false) override;
  // The display text for the memo kind over a value that is no BLOB, else the value.
  TqvEditValueSource GetEditValueSource(bool AEditFocused) const override;
  void PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool AEditFocused) override;

  // bekAuto resolved through the default values provider (memo for the neutral one).
  TqvBlobEditKind GetEffectiveKind() const;
  // The kind image of a value: 0/2/4/6 for BLOB/memo/picture/OLE, plus 1 when not Null.
  Integer GetImageIndex(const Variant& AEditValue) const;
  // The text a closed editor shows (bpsDefault and bpsText); empty with bpsIcon.
  String GetPaintText(const Variant& AEditValue) const;

  bool GetAlwaysSaveData() const { return FAlwaysSaveData; }
  void SetAlwaysSaveData(bool Value);
  TqvBlobEditKind GetBlobEditKind() const { return FBlobEditKind; }
  // Memo and picture: a drop-down arrow; the others an ellipsis. A picture kind of properties
  // that no editor owns edits bitmaps.
  void SetBlobEditKind(TqvBlobEditKind Value);
  TqvBlobPaintStyle GetBlobPaintStyle() const { return FBlobPaintStyle; }
  void SetBlobPaintStyle(TqvBlobPaintStyle Value);
  bool GetMemoAutoReplace() const { return FMemoAutoReplace; }
  void SetMemoAutoReplace(bool Value);
  TEditCharCase GetMemoCharCase() const { return FMemoCharCase; }
  void SetMemoCharCase(TEditCharCase Value);
  Integer GetMemoMaxLength() const { return FMemoMaxLength; }
  void SetMemoMaxLength(Integer Value);
  bool GetMemoOEMConvert() const { return FMemoOEMConvert; }
  void SetMemoOEMConvert(bool Value);
  TScrollStyle GetMemoScrollBars() const { return FMemoScrollBars; }
  void SetMemoScrollBars(TScrollStyle Value);
  bool GetMemoWantReturns() const { return FMemoWantReturns; }
  void SetMemoWantReturns(bool Value);
  bool GetMemoWantTabs() const { return FMemoWantTabs; }
  void SetMemoWantTabs(bool Value);
  bool GetMemoWordWrap() const { return FMemoWordWrap; }
  void SetMemoWordWrap(bool Value);
  bool GetPictureAutoSize() const { return FPictureAutoSize; }
  void SetPictureAutoSize(bool Value);
  const String& GetPictureFilter() const { return FPictureFilter; }
  void SetPictureFilter(const String& Value);
  const String& GetPictureGraphicClassName() const { return FPictureGraphicClassName; }
  void SetPictureGraphicClassName(const String& Value);
  TqvImageTransparency GetPictureTransparency() const { return FPictureTransparency; }
  void SetPictureTransparency(TqvImageTransparency Value);
  bool GetShowExPopupItems() const { return FShowExPopupItems; }
  void SetShowExPopupItems(bool Value);
  bool GetShowPicturePopup() const { return FShowPicturePopup; }
  void SetShowPicturePopup(bool Value);
  // The class of the picture edited last (used when no class is named).
  TGraphicClass GetPictureGraphicClass() const { return FPictureGraphicClass; }
  void SetPictureGraphicClass(TGraphicClass Value) { FPictureGraphicClass = Value; }
  // The class the popup image edits with: the named one, else the remembered one.
  TGraphicClass GetEffectivePictureGraphicClass() const;

  TqvImageAssignPictureEvent OnAssignPicture;

 private:
  template <class T>
  void SetAndChange(T& AField, const T& AValue);

  bool FAlwaysSaveData = true;
  TqvBlobEditKind FBlobEditKind = bekAuto;
  TqvBlobPaintStyle FBlobPaintStyle = bpsIcon;
  bool FMemoAutoReplace = false;
  TEditCharCase FMemoCharCase = ecNormal;
  Integer FMemoMaxLength = 0;
  bool FMemoOEMConvert = false;
  TScrollStyle FMemoScrollBars = ssNone;
  bool FMemoWantReturns = true;
  bool FMemoWantTabs = true;
  bool FMemoWordWrap = true;
  bool FPictureAutoSize = true;
  String FPictureFilter;
  String FPictureGraphicClassName;
  TqvImageTransparency FPictureTransparency = gtDefault;
  bool FShowExPopupItems = true;
  bool FShowPicturePopup = true;
  TGraphicClass FPictureGraphicClass = nullptr;
};

class TqvBlobEditProperties : public TqvCustomBlobEditProperties {
  QJ_CLASS(TqvBlobEditProperties, TqvCustomBlobEditProperties)
 public:
  using TqvCustomBlobEditProperties::TqvCustomBlobEditProperties;
};

// The closed editor: the kind image centred in the text area, or the value's short text.
class TqvBlobEditViewInfo : public TqvCustomTextEditViewInfo {
  QJ_CLASS(TqvBlobEditViewInfo, TqvCustomTextEditViewInfo)
 public:
  TqvBlobEditViewInfo() = default;
  void Offset(Integer DX, Integer DY) override;

  TRect ImageRect;
  Integer ImageIndex = -1;

 protected:
  // The image clipped to the text area (disabled look when disabled), then the text editor's
  // text, frame and focus rectangle.
  void Paint(TqvCanvas* ACanvas) override;
  // Disabled: a copy one pixel down and right in the highlight colour first.
  void DrawText(TqvCanvas* ACanvas) override;
};

class TqvBlobEditViewData : public TqvCustomDropDownEditViewData {
  QJ_CLASS(TqvBlobEditViewData, TqvCustomDropDownEditViewData)
 public:
  using TqvCustomDropDownEditViewData::TqvCustomDropDownEditViewData;
  TqvCustomBlobEditProperties* GetProperties() const {
    return static_cast<TqvCustomBlobEditProperties*>(TqvCustomDropDownEditViewData::GetProperties());
  }
  void Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TqvMouseButton AButton,
                 TShiftState AShift, TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void DisplayValueToDrawText(const Variant& ADisplayValue, TqvCustomTextEditViewInfo* AViewInfo) override;
  void EditValueToViewInfo(TqvCanvas* ACanvas, const Variant& AEditValue, TqvCustomEditViewInfo* AViewInfo) override;
  // The text's size, plus the image's width with bpsIcon.
  TSize GetEditContentSize(TqvCanvas* ACanvas, const Variant& AEditValue,
                           const TqvEditSizeProperties& ASizeProperties) override;

 private:
  void ValueToViewInfo(const Variant& AEditValue, TqvCustomEditViewInfo* AViewInfo);
};

// The popup window: a typed character may replace the popup memo's text.
class TqvBlobEditPopupWindow : public TqvPopupEditPopupWindow {
  QJ_CLASS(TqvBlobEditPopupWindow, TqvPopupEditPopupWindow)
 public:
  using TqvPopupEditPopupWindow::TqvPopupEditPopupWindow;
  // With MemoAutoReplace and a memo that may be edited, the character becomes its whole text.
  void SendCharToFocused(char AChar) override;
};

// The memo of the popup: editing needs the BLOB editor's leave; the closing keys close the popup.
class TqvPopupMemo : public TqvMemo {
  QJ_CLASS(TqvPopupMemo, TqvMemo)
 public:
  TqvPopupMemo(TComponent* AOwner, TqvCustomBlobEdit* AEdit);
  bool CanModify() override;
  TqvCustomBlobEdit* GetBlobEdit() const { return FEdit; }
  // The character as the whole text, the caret after it, modified.
  void ReplaceTextByChar(char AChar);

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override;

 private:
  TqvCustomBlobEdit* FEdit;
};

// The image editor of the popup.
class TqvPopupImage : public TqvImage {
  QJ_CLASS(TqvPopupImage, TqvImage)
 public:
  TqvPopupImage(TComponent* AOwner, TqvCustomBlobEdit* AEdit);
  bool CanModify() override;

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override;

 private:
  TqvCustomBlobEdit* FEdit;
};

class TqvCustomBlobEdit : public TqvCustomPopupEdit {
  QJ_CLASS(TqvCustomBlobEdit, TqvCustomPopupEdit)
 public:
  explicit TqvCustomBlobEdit(TComponent* AOwner, bool AIsInplace = false);
  void BeforeDestruction() override;

  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvCustomBlobEditProperties* GetProperties() const {
    return static_cast<TqvCustomBlobEditProperties*>(GetActiveProperties());
  }

  // The controls of the open popup (nullptr while closed).
  TqvPopupMemo* GetPopupMemo() const { return FPopupMemo; }
  TqvPopupImage* GetPopupImage() const { return FPopupImage; }
  TqvButton* GetOKButton() const { return FOKButton; }
  TqvButton* GetCancelButton() const { return FCancelButton; }
  TqvCustomEdit* GetPopupEditControl() const;

  // Closes the popup with OK (mrOk) or Cancel (mrCancel).
  void ClosePopup(TModalResult AResult);
  // The popup's closing keys (F4, Esc, Alt+Up/Down, Enter as the popup control wants it); true
  // when the key closed the popup.
  bool HandlePopupKey(Word Key, TShiftState Shift, bool AEnterCloses);

  // Esc on the way makes the close a Cancel.
  void CloseUp(bool AAccept) override;
  // Only the memo and picture kinds have popup content.
  bool CanDropDown() override;
  void DoInitPopup() override;
  void InitPopupWindow() override;
  TWinControl* GetPopupFocusedControl() override;
  void CalculatePopupContentSize(TSize& ASize) override;
  void PositionPopupContent(const TRect& AClientRect) override;
  // The changes kept by the save rules, then the popup's controls freed.
  void PopupWindowClosed(TObject* Sender) override;
  void PropertiesChanged(TObject* Sender) override;

 protected:
  bool CanShowInnerEdit() override { return false; }
  void SynchronizeDisplayValue() override;
  // There is no inner text to read a value from: the value changes only through the popup.
  void SynchronizeEditValue() override {}
  // The style's colour and font follow into the open popup's control and buttons.
  void ContainerStyleChanged(TObject* Sender) override;
  // Frees the controls of a closed popup.
  void Dispatch(TMessage& Message) override;

 private:
  void CreatePopupControls();
  // The popup's controls leave it once it has closed (they may still be running the key or
  // click that closed it) and are freed by a posted message, or at once with AImmediately.
  void FreePopupControls(bool AImmediately);
  void FreeRetiredControls();
  void ApplyStyleToPopupControls();
  void PopupControlChanged();
  // The button height h and width of the open popup.
  Integer FButtonHeight = 0;
  Integer FButtonWidth = 0;
  TqvPopupMemo* FPopupMemo = nullptr;
  TqvPopupImage* FPopupImage = nullptr;
  TqvButton* FOKButton = nullptr;
  TqvButton* FCancelButton = nullptr;
  bool FPopupModified = false;
  std::vector<TControl*> FRetired;
};

class TqvBlobEdit : public TqvCustomBlobEdit {
  QJ_CLASS(TqvBlobEdit, TqvCustomBlobEdit)
 public:
  using TqvCustomBlobEdit::TqvCustomBlobEdit;
  static TqvCustomEditPropertiesClass PropertiesClass();
  TqvBlobEditProperties* GetProperties() const { return static_cast<TqvBlobEditProperties*>(GetActiveProperties()); }
  void SetProperties(TqvBlobEditProperties* Value) { TqvCustomEdit::SetProperties(Value); }
};

class TqvEditRepositoryBlobItem : public TqvEditRepositoryItemOf<TqvBlobEditProperties> {
  QJ_CLASS(TqvEditRepositoryBlobItem, TqvEditRepositoryItemOf<TqvBlobEditProperties>)
 public:
  using TqvEditRepositoryItemOf::TqvEditRepositoryItemOf;
};
