// The BLOB editor: kinds and their texts and images, the closed editor's look, and the popup's
// memo or image with its OK and Cancel buttons and the rules that keep or drop the changes.
#include "editors/qvBlobEdit.h"

#include <array>
#include <string_view>

#include "editors/qvEditPaintUtils.h"
#include "editors/qvExtEditUtils.h"
#include "lookandfeel/qvButtons.h"
#include "lookandfeel/qvScrollBar.h"
#include "platform/forms/ImgList.h"
#include "platform/os/Gdi.h"
#include "platform/os/GdiScopes.h"
#include "platform/rtl/Scopes.h"

const TResourceString sqvBlobPictureFilled{62920, "(PICTURE)"};
const TResourceString sqvBlobPictureEmpty{62921, "(picture)"};
const TResourceString sqvBlobMemoFilled{62922, "(MEMO)"};
const TResourceString sqvBlobMemoEmpty{62923, "(memo)"};
const TResourceString sqvBlobOle{62924, "OLE"};
const TResourceString sqvBlobBlob{62925, "BLOB"};
const TResourceString sqvBlobButtonClose{62926, "&Close"};
const TResourceString sqvBlobButtonCancel{62927, "&Cancel"};
const TResourceString sqvBlobButtonOK{62928, "&OK"};

QJ_IMPLEMENT_CLASS(TqvCustomBlobEditProperties)
QJ_IMPLEMENT_CLASS(TqvBlobEditProperties)
QJ_IMPLEMENT_CLASS(TqvBlobEditViewInfo)
QJ_IMPLEMENT_CLASS(TqvBlobEditViewData)
QJ_IMPLEMENT_CLASS(TqvBlobEditPopupWindow)
QJ_IMPLEMENT_CLASS(TqvPopupMemo)
QJ_IMPLEMENT_CLASS(TqvPopupImage)
QJ_IMPLEMENT_CLASS(TqvCustomBlobEdit)
QJ_IMPLEMENT_CLASS(TqvBlobEdit)
QJ_IMPLEMENT_CLASS(TqvEditRepositoryBlobItem)

namespace {

const TqvEditKindRegistration BlobEditRegistration(&TqvBlobEditProperties::StaticClass(),
                                                   &sqvEditDisplayTextBlobEdit);

constexpr Integer kMemoShortTextLength = 80;

// ---------------------------------------------------------------------------------------------
// The kind images: a page with the kind's mark, grey when the value is Null. The background
// 0x808080 is the mask colour.

constexpr Integer kKindImageSize = 16;
constexpr uint32_t kMaskColour = 0x808080;

enum class TKindMark { Blob, Memo, Picture, Ole };

struct TKindImageResource {
  const char* Name;
  TKindMark Mark;
  bool Filled;
};

constexpr TKindImageResource kKindImages[] = {
    {"QVBMBLOB_BLOB_NULL", TKindMark::Blob, false}, {"QVBMBLOB_BLOB", TKindMark::Blob, true},
    {"QVBMBLOB_MEMO_NULL", TKindMark::Memo, false}, {"QVBMBLOB_MEMO", TKindMark::Memo, true},
    {"QVBMBLOB_PICT_NULL", TKindMark::Picture, false}, {"QVBMBLOB_PICT", TKindMark::Picture, true},
    {"QVBMBLOB_OLE_NULL", TKindMark::Ole, false}, {"QVBMBLOB_OLE", TKindMark::Ole, true},
};

// The colour of the mark's pixel (x, y) inside the page, 0 when the page shows through.
uint32_t MarkPixel(TKindMark AMark, Integer x, Integer y) {
  switch (AMark) {
    case TKindMark::Blob: return (y >= 4 && y <= 11 && x >= 4 && x <= 11 && (x + y) % 3 == 0) ? 0x202020 : 0;
    case TKindMark::Memo: return (y >= 4 && y <= 12 && y % 2 == 0 && x >= 4 && x <= (y == 12 ? 8 : 11)) ? 0x000080 : 0;
    case TKindMark::Picture:
      if (x < 4 || x > 11 || y < 4 || y > 12) return 0;
      if (x >= 9 && x <= 10 && y >= 5 && y <= 6) return 0xE0C000;  // the sun
      return y >= 14 - (x % 5) - 2 ? 0x008000 : 0x80C0FF;             // hills under a sky
    case TKindMark::Ole:
      if (x >= 4 && x <= 8 && y >= 4 && y <= 8) return 0xC00000;
      return (x - 9) * (x - 9) + (y - 10) * (y - 10) <= 6 ? 0x0000C0 : 0;
  }
  return 0;
}

HBITMAP MakeKindImage(const TKindImageResource& res) {
  std::array<uint32_t, kKindImageSize * kKindImageSize> bits;
  for (Integer y = 0; y < kKindImageSize; ++y)
    for (Integer x = 0; x < kKindImageSize; ++x) {
      uint32_t c = kMaskColour;
      const bool inPage = x >= 2 && x <= 13 && y >= 1 && y <= 14;
      if (inPage) {
        const bool edge = x == 2 || x == 13 || y == 1 || y == 14;
        c = edge ? 0x000000 : 0xFFFFFF;
        if (!edge)
          if (const uint32_t mark = MarkPixel(res.Mark, x, y)) c = res.Filled ? mark : 0xC0C0C0;
      }
      bits[size_t(y * kKindImageSize + x)] = c;
    }
  return CreateBitmap(kKindImageSize, kKindImageSize, 1, 32, bits.data());
}

void RegisterKindImages() {
  for (const TKindImageResource& res : kKindImages)
    RegisterBitmapResource(res.Name, [&res] { return MakeKindImage(res); });
}

TOwned<TCustomImageList>& KindImages() {
  static TOwned<TCustomImageList> images;
  return images;
}

}  // namespace

TCustomImageList* GetBlobEditImages() {
  TOwned<TCustomImageList>& images = KindImages();
  if (images) return images.get();
  static const bool registered = (RegisterKindImages(), true);
  (void)registered;
  images.reset(New<TImageList>(nullptr, kKindImageSize, kKindImageSize));
  for (const TKindImageResource& res : kKindImages) {
    TBitmap bitmap;
    bitmap.LoadFromResourceName(nullptr, res.Name);
    images->AddMasked(&bitmap, TColor(kMaskColour));
  }
  return images.get();
}

String BlobMemoShortText(const String& AText) {
  size_t start = 0;
  while (start < AText.size() && static_cast<unsigned char>(AText[start]) <= ' ') ++start;
  String result = AText.substr(start, size_t(kMemoShortTextLength));
  for (char& c : result)
    if (static_cast<unsigned char>(c) < ' ') c = ' ';
  return result;
}

// ---------------------------------------------------------------------------------------------
// Properties

TqvCustomBlobEditProperties::TqvCustomBlobEditProperties(TPersistent* AOwner)
    : TqvCustomPopupEditProperties(AOwner) {
  SetImmediatePopup(true);
  SetPopupMinWidth(160);
  SetPopupMinHeight(140);
}

TqvCustomEditClass TqvCustomBlobEditProperties::ContainerClass() { return &TqvBlobEdit::StaticClass(); }
TqvCustomEditViewDataClass TqvCustomBlobEditProperties::ViewDataClass() {
  return &TqvBlobEditViewData::StaticClass();
}
TqvCustomEditViewInfoClass TqvCustomBlobEditProperties::ViewInfoClass() {
  return &TqvBlobEditViewInfo::StaticClass();
}

TqvCustomEditPopupWindowClass TqvCustomBlobEditProperties::GetPopupWindowClass() const {
  return &TqvBlobEditPopupWindow::StaticClass();
}

template <class T>
void TqvCustomBlobEditProperties::SetAndChange(T& AField, const T& AValue) {
  if (AField == AValue) return;
  AField = AValue;
  Changed();
}

void TqvCustomBlobEditProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomBlobEditProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  SetAlwaysSaveData(source->FAlwaysSaveData);
  SetBlobEditKind(source->FBlobEditKind);
  SetBlobPaintStyle(source->FBlobPaintStyle);
  SetMemoAutoReplace(source->FMemoAutoReplace);
  SetMemoCharCase(source->FMemoCharCase);
  SetMemoMaxLength(source->FMemoMaxLength);
  SetMemoOEMConvert(source->FMemoOEMConvert);
  SetMemoScrollBars(source->FMemoScrollBars);
  SetMemoWantReturns(source->FMemoWantReturns);
  SetMemoWantTabs(source->FMemoWantTabs);
  SetMemoWordWrap(source->FMemoWordWrap);
  SetPictureAutoSize(source->FPictureAutoSize);
  SetPictureFilter(source->FPictureFilter);
  SetPictureGraphicClassName(source->FPictureGraphicClassName);
  if (source->FPictureGraphicClassName.empty()) FPictureGraphicClass = source->FPictureGraphicClass;
  SetPictureTransparency(source->FPictureTransparency);
  SetShowExPopupItems(source->FShowExPopupItems);
  SetShowPicturePopup(source->FShowPicturePopup);
  OnAssignPicture = source->OnAssignPicture;
}

void TqvCustomBlobEditProperties::SetAlwaysSaveData(bool Value) { SetAndChange(FAlwaysSaveData, Value); }

void TqvCustomBlobEditProperties::SetBlobEditKind(TqvBlobEditKind Value) {
  if (FBlobEditKind == Value) return;
  TUpdateScope update(this);
  FBlobEditKind = Value;
  if (GetButtons()->GetCount() > 0)
    GetButtons()->GetItem(0)->SetKind(Value == bekMemo || Value == bekPict ? bkDown : bkEllipsis);
  if (Value == bekPict && !As<TqvCustomEdit>(GetOwner())) SetPictureGraphicClassName("TBitmap");
  Changed();
}

void TqvCustomBlobEditProperties::SetBlobPaintStyle(TqvBlobPaintStyle Value) { SetAndChange(FBlobPaintStyle, Value); }
void TqvCustomBlobEditProperties::SetMemoAutoReplace(bool Value) { SetAndChange(FMemoAutoReplace, Value); }
void TqvCustomBlobEditProperties::SetMemoCharCase(TEditCharCase Value) { SetAndChange(FMemoCharCase, Value); }
void TqvCustomBlobEditProperties::SetMemoMaxLength(Integer Value) { SetAndChange(FMemoMaxLength, std::max(0, Value)); }
void TqvCustomBlobEditProperties::SetMemoOEMConvert(bool Value) { SetAndChange(FMemoOEMConvert, Value); }
void TqvCustomBlobEditProperties::SetMemoScrollBars(TScrollStyle Value) { SetAndChange(FMemoScrollBars, Value); }
void TqvCustomBlobEditProperties::SetMemoWantReturns(bool Value) { SetAndChange(FMemoWantReturns, Value); }
void TqvCustomBlobEditProperties::SetMemoWantTabs(bool Value) { SetAndChange(FMemoWantTabs, Value); }
void TqvCustomBlobEditProperties::SetMemoWordWrap(bool Value) { SetAndChange(FMemoWordWrap, Value); }
void TqvCustomBlobEditProperties::SetPictureAutoSize(bool Value) { SetAndChange(FPictureAutoSize, Value); }
void TqvCustomBlobEditProperties::SetPictureFilter(const String& Value) { SetAndChange(FPictureFilter, Value); }
void TqvCustomBlobEditProperties::SetPictureGraphicClassName(const String& Value) {
  SetAndChange(FPictureGraphicClassName, Value);
}
void TqvCustomBlobEditProperties::SetPictureTransparency(TqvImageTransparency Value) {
  SetAndChange(FPictureTransparency, Value);
}
void TqvCustomBlobEditProperties::SetShowExPopupItems(bool Value) { SetAndChange(FShowExPopupItems, Value); }
void TqvCustomBlobEditProperties::SetShowPicturePopup(bool Value) { SetAndChange(FShowPicturePopup, Value); }

TGraphicClass TqvCustomBlobEditProperties::GetEffectivePictureGraphicClass() const {
  if (!FPictureGraphicClassName.empty())
    if (TGraphicClass cls = FindGraphicClass(FPictureGraphicClassName)) return cls;
  return FPictureGraphicClass;
}

TqvBlobEditKind TqvCustomBlobEditProperties::GetEffectiveKind() const {
  if (FBlobEditKind != bekAuto) return FBlobEditKind;
  IqvEditDefaultValuesProvider* provider = GetDefaultValuesProvider();
  if (!provider) return bekBlob;
  switch (provider->DefaultBlobKind()) {
    case TqvBlobKind::Graphic: return bekPict;
    case TqvBlobKind::Memo: return bekMemo;
    case TqvBlobKind::Ole: return bekOle;
    default: return bekBlob;
  }
}

TqvEditSupportedOperations TqvCustomBlobEditProperties::GetSupportedOperations() const {
  return GetButtons()->GetCount() > 0 ? esoButtons : 0;
}

Integer TqvCustomBlobEditProperties::GetImageIndex(const Variant& AEditValue) const {
  Integer index = 0;
  switch (GetEffectiveKind()) {
    case bekMemo: index = 2; break;
    case bekPict: index = 4; break;
    case bekOle: index = 6; break;
    default: break;
  }
  return IsVarNullOrEmpty(AEditValue) ? index : index + 1;
}

String TqvCustomBlobEditProperties::GetPaintText(const Variant& AEditValue) const {
  const TqvBlobEditKind kind = GetEffectiveKind();
  const bool null = IsVarNullOrEmpty(AEditValue);
  switch (FBlobPaintStyle) {
    case bpsDefault:
      switch (kind) {
        case bekMemo: return GetLocalizedResourceString(null ? &sqvBlobMemoEmpty : &sqvBlobMemoFilled);
        case bekPict: return GetLocalizedResourceString(null ? &sqvBlobPictureEmpty : &sqvBlobPictureFilled);
        case bekOle: return GetLocalizedResourceString(&sqvBlobOle);
        default: return GetLocalizedResourceString(&sqvBlobBlob);
      }
    case bpsText:
      if (kind == bekMemo && VarIsStr(AEditValue)) return BlobMemoShortText(AEditValue.AsString());
      return String();
    default: return String();
  }
}

String TqvCustomBlobEditProperties::GetDisplayText(const Variant& AEditValue, bool AFullText) {
  if (IsVarNullOrEmpty(AEditValue)) return String();
  const TqvBlobEditKind kind = GetEffectiveKind();
  if (kind == bekMemo) {
    if (!VarIsStr(AEditValue)) return String();
    if (AFullText) return AEditValue.AsString();
    return GetPaintText(AEditValue);
  }
  switch (kind) {
    case bekPict: return GetLocalizedResourceString(&sqvBlobPictureFilled);
    case bekOle: return GetLocalizedResourceString(&sqvBlobOle);
    default: return GetLocalizedResourceString(&sqvBlobBlob);
  }
}

TqvEditValueSource TqvCustomBlobEditProperties::GetEditValueSource(bool) const {
  IqvEditDefaultValuesProvider* provider = GetDefaultValuesProvider();
  const bool isBlob = provider && provider->IsBlob();
  return GetEffectiveKind() == bekMemo && !isBlob ? evsText : evsValue;
}

void TqvCustomBlobEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool) {
  ADisplayValue = GetDisplayText(AEditValue, false);
}

// ---------------------------------------------------------------------------------------------
// Paint model

void TqvBlobEditViewInfo::Offset(Integer DX, Integer DY) {
  inherited::Offset(DX, DY);
  ImageRect = qvOffsetRect(ImageRect, DX, DY);
}

void TqvBlobEditViewInfo::Paint(TqvCanvas* ACanvas) {
  TCustomImageList* images = GetBlobEditImages();
  if (!Bounds.IsEmpty() && ImageIndex >= 0 && ImageIndex < images->GetCount()) {
    TCanvasSavedDCScope saved(ACanvas->GetCanvas());
    ACanvas->IntersectClipRect(ClientRect);
    DrawImageListImage(ACanvas, images, ImageIndex, nullptr, Enabled, BackgroundColor, ImageRect);
  }
  if (!Bounds.IsEmpty() && ImageIndex >= 0 && ImageIndex < images->GetCount()) ACanvas->ExcludeClipRect(ImageRect);
  // The text editor's paint draws the focus rectangle of a focused standalone editor.
  inherited::Paint(ACanvas);
}

void TqvBlobEditViewInfo::DrawText(TqvCanvas* ACanvas) {
  if (!Enabled && !Text.empty()) {
    const TColor color = TextColor;
    const TRect rect = TextRect;
    TextColor = clBtnHighlight;
    TextRect = qvOffsetRect(TextRect, 1, 1);
    inherited::DrawText(ACanvas);
    TextColor = color;
    TextRect = rect;
  }
  inherited::DrawText(ACanvas);
}

void TqvBlobEditViewData::Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                    TqvMouseButton AButton, TShiftState AShift, TqvCustomEditViewInfo* AViewInfo,
                                    bool AIsMouseEvent) {
  inherited::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* viewInfo = static_cast<TqvBlobEditViewInfo*>(AViewInfo);
  TCustomImageList* images = GetBlobEditImages();
  const TRect r = viewInfo->ClientRect;
  const Integer w = images->GetWidth(), h = images->GetHeight();
  viewInfo->ImageRect.Left = r.Left + (r.Width() - w) / 2;
  viewInfo->ImageRect.Top = r.Top + (r.Height() - h) / 2;
  viewInfo->ImageRect.Right = viewInfo->ImageRect.Left + w;
  viewInfo->ImageRect.Bottom = viewInfo->ImageRect.Top + h;
  // The short text keeps the text edit's insets inside the whole text area.
  viewInfo->TextRect = r;
  viewInfo->TextRect.Left += 2;
  viewInfo->TextRect.Right -= 2;
  viewInfo->TextRect.Top += 1;
  viewInfo->TextRect.Bottom -= 1;
  for (Integer i = 0; i < viewInfo->GetButtonCount(); ++i) {
    const TRect b = viewInfo->GetButton(i)->Bounds;
    if (b.Left > viewInfo->TextRect.Left) viewInfo->TextRect.Right = std::min(viewInfo->TextRect.Right, b.Left - 1);
  }
  if (TqvCustomTextEdit* edit = GetTextEdit()) ValueToViewInfo(edit->GetEditValue(), viewInfo);
  if (!IsInplace) viewInfo->DrawSelected = false;
}

void TqvBlobEditViewData::ValueToViewInfo(const Variant& AEditValue, TqvCustomEditViewInfo* AViewInfo) {
  auto* viewInfo = static_cast<TqvBlobEditViewInfo*>(AViewInfo);
  TqvCustomBlobEditProperties* properties = GetProperties();
  if (properties->GetBlobPaintStyle() == bpsIcon) {
    viewInfo->Text.clear();
    viewInfo->ImageIndex = properties->GetImageIndex(AEditValue);
  } else {
    viewInfo->Text = properties->GetPaintText(AEditValue);
    viewInfo->ImageIndex = -1;
  }
  viewInfo->RowsValid = false;
}

void TqvBlobEditViewData::DisplayValueToDrawText(const Variant& ADisplayValue, TqvCustomTextEditViewInfo* AViewInfo) {
  inherited::DisplayValueToDrawText(ADisplayValue, AViewInfo);
  if (TqvCustomTextEdit* edit = GetTextEdit()) ValueToViewInfo(edit->GetEditValue(), AViewInfo);
}

void TqvBlobEditViewData::EditValueToViewInfo(TqvCanvas* ACanvas, const Variant& AEditValue,
                                              TqvCustomEditViewInfo* AViewInfo) {
  inherited::EditValueToViewInfo(ACanvas, AEditValue, AViewInfo);
  ValueToViewInfo(AEditValue, AViewInfo);
}

TSize TqvBlobEditViewData::GetEditContentSize(TqvCanvas* ACanvas, const Variant& AEditValue,
                                              const TqvEditSizeProperties&) {
  TqvCustomBlobEditProperties* properties = GetProperties();
  const String text = properties->GetPaintText(AEditValue);
  ACanvas->SetFont(Style->GetFont());
  TSize size = ACanvas->TextExtent(text.empty() ? String("Wg") : text);
  if (text.empty()) size.cx = 0;
  if (properties->GetBlobPaintStyle() == bpsIcon) {
    TCustomImageList* images = GetBlobEditImages();
    size.cx += images->GetWidth();
    size.cy = std::max(size.cy, images->GetHeight());
  }
  return size;
}

// ---------------------------------------------------------------------------------------------
// Popup window and popup controls

void TqvBlobEditPopupWindow::SendCharToFocused(char AChar) {
  auto* edit = As<TqvCustomBlobEdit>(GetEdit());
  TqvPopupMemo* memo = edit ? edit->GetPopupMemo() : nullptr;
  if (memo && !memo->GetProperties()->GetReadOnly() && edit->GetProperties()->GetMemoAutoReplace() &&
      memo->CanModify()) {
    memo->ReplaceTextByChar(AChar);
    return;
  }
  inherited::SendCharToFocused(AChar);
}

TqvPopupMemo::TqvPopupMemo(TComponent* AOwner, TqvCustomBlobEdit* AEdit) : TqvMemo(AOwner), FEdit(AEdit) {}

bool TqvPopupMemo::CanModify() { return FEdit->CanModify(); }

void TqvPopupMemo::ReplaceTextByChar(char AChar) {
  TAliveToken alive = AliveToken();
  {
    TValueScope userChange(UserChangeFlag(), true, alive);
    SetEditValue(String(1, AChar));
  }
  if (!alive) return;
  SetSelStart(1);
  SetModifiedAfterEnter(true);
  DoChange();
}

void TqvPopupMemo::KeyDown(Word& Key, TShiftState Shift) {
  const bool enterCloses = (Shift & ssCtrl) || !GetProperties()->GetWantReturns();
  if (FEdit->HandlePopupKey(Key, Shift, enterCloses)) {
    Key = 0;
    return;
  }
  inherited::KeyDown(Key, Shift);
}

TqvPopupImage::TqvPopupImage(TComponent* AOwner, TqvCustomBlobEdit* AEdit) : TqvImage(AOwner), FEdit(AEdit) {}

bool TqvPopupImage::CanModify() { return FEdit->CanModify(); }

void TqvPopupImage::KeyDown(Word& Key, TShiftState Shift) {
  if (FEdit->HandlePopupKey(Key, Shift, true)) {
    Key = 0;
    return;
  }
  inherited::KeyDown(Key, Shift);
}

// ---------------------------------------------------------------------------------------------
// Editor

TqvCustomBlobEdit::TqvCustomBlobEdit(TComponent* AOwner, bool AIsInplace) : TqvCustomPopupEdit(AOwner, AIsInplace) {
  SetTabStop(true);
}

TqvCustomEditPropertiesClass TqvCustomBlobEdit::PropertiesClass() {
  return &TqvCustomBlobEditProperties::StaticClass();
}
TqvCustomEditPropertiesClass TqvBlobEdit::PropertiesClass() { return &TqvBlobEditProperties::StaticClass(); }

void TqvCustomBlobEdit::BeforeDestruction() {
  inherited::BeforeDestruction();
  FreePopupControls(true);
}

TqvCustomEdit* TqvCustomBlobEdit::GetPopupEditControl() const {
  if (FPopupMemo) return FPopupMemo;
  return FPopupImage;
}

bool TqvCustomBlobEdit::CanDropDown() {
  const TqvBlobEditKind kind = GetProperties()->GetEffectiveKind();
  return (kind == bekMemo || kind == bekPict) && GetPopupEditControl();
}

void TqvCustomBlobEdit::DoInitPopup() {
  // Controls left by an opening that did not happen go first: one set per popup.
  FreePopupControls(true);
  CreatePopupControls();
  GetProperties()->SetPopupControl(GetPopupEditControl());
  inherited::DoInitPopup();
}

void TqvCustomBlobEdit::CreatePopupControls() {
  TqvCustomBlobEditProperties* properties = GetProperties();
  const TqvBlobEditKind kind = properties->GetEffectiveKind();
  if (kind != bekMemo && kind != bekPict) return;
  const bool readOnly = properties->GetReadOnly();
  TqvCustomEditPopupWindow* popup = GetPopupWindow();
  popup->SetModalResult(mrNone);
  FPopupModified = false;
  TqvCustomEdit* control = nullptr;
  if (kind == bekMemo) {
    FPopupMemo = New<TqvPopupMemo>(this, this);
    TqvMemoProperties* memo = FPopupMemo->GetProperties();
    TUpdateScope update(memo);
    memo->SetCharCase(properties->GetMemoCharCase());
    memo->SetMaxLength(properties->GetMemoMaxLength());
    memo->SetOEMConvert(properties->GetMemoOEMConvert());
    memo->SetScrollBars(properties->GetMemoScrollBars());
    memo->SetWantReturns(properties->GetMemoWantReturns());
    memo->SetWantTabs(properties->GetMemoWantTabs());
    memo->SetWordWrap(properties->GetMemoWordWrap());
    memo->SetReadOnly(readOnly);
    control = FPopupMemo;
  } else {
    FPopupImage = New<TqvPopupImage>(this, this);
    TqvImageProperties* image = FPopupImage->GetProperties();
    TUpdateScope update(image);
    image->SetStretch(true);
    image->SetCustomFilter(properties->GetPictureFilter());
    image->SetGraphicTransparency(properties->GetPictureTransparency());
    TqvPopupMenuItems items = image->GetPopupMenuLayout()->GetMenuItems();
    if (!properties->GetShowPicturePopup())
      items = 0;
    else if (!properties->GetShowExPopupItems())
      items &= ~(pmiBit(pmiLoad) | pmiBit(pmiSave));
    image->GetPopupMenuLayout()->SetMenuItems(items);
    image->SetReadOnly(readOnly);
    image->SetGraphicClass(properties->GetEffectivePictureGraphicClass());
    image->OnAssignPicture = properties->OnAssignPicture;
    control = FPopupImage;
  }
  control->SetVisible(false);
  // The popup focuses its first tab stop: the content, not a button.
  control->SetTabStop(true);
  control->GetStyle()->SetBorderStyle(ebsNone);
  control->GetStyle()->GetLookAndFeel()->SetMasterLookAndFeel(GetPopupControlsLookAndFeel());
  if (FPopupMemo)
    FPopupMemo->SetEditValue(VarIsNull(GetEditValue()) ? Variant(String()) : Variant(VarToStr(GetEditValue())));
  else
    LoadPictureFromValue(FPopupImage->GetPicture(), GetEditValue(), FPopupImage->GetGraphicClass());
  control->GetProperties()->OnChange = [this](TObject*) { PopupControlChanged(); };

  // The buttons: Cancel (Close when read-only) and, unless read-only, OK.
  TBitmap measure;
  measure.GetCanvas()->GetFont()->Assign(GetStyle()->GetFont());
  const Integer h = MulDiv(measure.GetCanvas()->TextHeight("Wg"), 20, 13);
  const Integer extra = measure.GetCanvas()->TextWidth("00");
  const String cancelCaption = GetLocalizedResourceString(readOnly ? &sqvBlobButtonClose : &sqvBlobButtonCancel);
  const String okCaption = GetLocalizedResourceString(&sqvBlobButtonOK);
  Integer width = measure.GetCanvas()->TextWidth(StripHotkey(cancelCaption)) + extra;
  if (!readOnly) width = std::max(width, measure.GetCanvas()->TextWidth(StripHotkey(okCaption)) + extra);
  FButtonHeight = h;
  FButtonWidth = width;
  auto makeButton = [&](const String& ACaption, TModalResult AResult) {
    TqvButton* button = New<TqvButton>(this);
    button->SetCaption(ACaption);
    button->SetModalResult(AResult);
    button->SetBounds(0, 0, width, h);
    button->SetLookAndFeel(GetPopupControlsLookAndFeel());
    button->SetParent(popup);
    button->OnClick = [this, AResult](TObject*) { ClosePopup(AResult); };
    return button;
  };
  FCancelButton = makeButton(cancelCaption, mrCancel);
  FCancelButton->SetCancel(true);
  if (!readOnly) {
    FOKButton = makeButton(okCaption, mrOk);
    FOKButton->SetEnabled(false);
  }
  ApplyStyleToPopupControls();
}

void TqvCustomBlobEdit::ApplyStyleToPopupControls() {
  if (TqvCustomEdit* control = GetPopupEditControl()) {
    control->GetStyle()->GetFont()->Assign(GetStyle()->GetFont());
    control->GetStyle()->SetColor(GetStyle()->GetColor());
  }
  for (TqvButton* button : {FOKButton, FCancelButton})
    if (button) button->GetFont()->Assign(GetStyle()->GetFont());
}

void TqvCustomBlobEdit::ContainerStyleChanged(TObject* Sender) {
  TAliveToken alive = AliveToken();
  inherited::ContainerStyleChanged(Sender);
  if (alive) ApplyStyleToPopupControls();
}

void TqvCustomBlobEdit::FreePopupControls(bool AImmediately) {
  GetProperties()->SetPopupControl(nullptr);
  TControl* controls[] = {FPopupMemo, FPopupImage, FOKButton, FCancelButton};
  FPopupMemo = nullptr;
  FPopupImage = nullptr;
  FOKButton = nullptr;
  FCancelButton = nullptr;
  FPopupModified = false;
  for (TControl* control : controls) {
    if (!control) continue;
    control->SetVisible(false);
    control->OnClick = nullptr;
    if (auto* edit = As<TqvCustomEdit>(control)) edit->GetProperties()->OnChange = nullptr;
    FRetired.push_back(control);
  }
  if (AImmediately || !HandleAllocated())
    FreeRetiredControls();
  else if (!FRetired.empty())
    PostMessage(GetHandle(), WM_QV_FREEPOPUPCONTROLS, 0, 0);
}

void TqvCustomBlobEdit::FreeRetiredControls() {
  std::vector<TControl*> retired;
  retired.swap(FRetired);
  for (TControl*& control : retired) FreeAndNil(control);
}

void TqvCustomBlobEdit::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_QV_FREEPOPUPCONTROLS) {
    FreeRetiredControls();
    return;
  }
  inherited::Dispatch(Message);
}

void TqvCustomBlobEdit::PopupControlChanged() {
  FPopupModified = true;
  if (FOKButton) {
    FOKButton->SetEnabled(true);
    FOKButton->SetDefault(true);
  }
}

void TqvCustomBlobEdit::InitPopupWindow() {
  inherited::InitPopupWindow();
  TqvCustomEditPopupWindow* popup = GetPopupWindow();
  if (!popup || !GetPopupEditControl()) return;
  const Integer h = FButtonHeight;
  const Integer buttons = FOKButton ? 2 : 1;
  popup->SetSysPanelStyle(true);
  popup->GetViewInfo()->ReservedSysPanelHeight = h * 4 / 3;
  popup->SetPopupAutoSize(FPopupImage ? GetProperties()->GetPictureAutoSize() : false);
  const Integer minWidth = (h / 3 + FButtonWidth) * buttons + GetScrollBarSize().cx + h / 2;
  popup->SetMinWidth(std::max(popup->GetMinWidth(), minWidth));
}

TWinControl* TqvCustomBlobEdit::GetPopupFocusedControl() { return GetPopupEditControl(); }

void TqvCustomBlobEdit::CalculatePopupContentSize(TSize& ASize) {
  if (FPopupImage && GetProperties()->GetPictureAutoSize()) {
    TPicture* picture = FPopupImage->GetPicture();
    ASize = {picture->GetWidth() + 4, picture->GetHeight() + 4};
    return;
  }
  inherited::CalculatePopupContentSize(ASize);
}

void TqvCustomBlobEdit::PositionPopupContent(const TRect& AClientRect) {
  inherited::PositionPopupContent(AClientRect);
  TqvCustomEditPopupWindow* popup = GetPopupWindow();
  if (!popup || !FCancelButton) return;
  // The content comes first in the tab order: the popup focuses it, not a button.
  if (TqvCustomEdit* control = GetPopupEditControl(); control && control->GetParent() == popup)
    control->SetTabOrder(0);
  TqvCustomEditPopupWindowViewInfo* viewInfo = popup->GetViewInfo();
  const Integer h = FButtonHeight;
  const TRect r = viewInfo->SizingInnerRect;
  const bool bottom = IsSizeGripAtBottom(viewInfo->SizeGripCorner);
  const Integer panelHeight = viewInfo->SysPanelHeight;
  const Integer panelTop = bottom ? r.Bottom - panelHeight : r.Top;
  Integer right = r.Right;
  // The buttons keep clear of a grip at the panel's right end.
  if (viewInfo->Sizeable && IsSizeGripAtRight(viewInfo->SizeGripCorner)) right = viewInfo->SizeGripRect.Left;
  right -= viewInfo->Sizeable ? h / 6 : 2 * h / 6;
  const Integer top = panelTop + (panelHeight - h) / 2;
  const TAnchors anchors = bottom ? TAnchors(akRight | akBottom) : TAnchors(akRight | akTop);
  FCancelButton->SetBounds(right - FButtonWidth, top, FButtonWidth, h);
  FCancelButton->SetAnchors(anchors);
  FCancelButton->SetVisible(true);
  if (FOKButton) {
    FOKButton->SetBounds(right - FButtonWidth - h / 3 - FButtonWidth, top, FButtonWidth, h);
    FOKButton->SetAnchors(anchors);
    FOKButton->SetVisible(true);
  }
}

void TqvCustomBlobEdit::ClosePopup(TModalResult AResult) {
  if (!HasPopupWindow()) return;
  GetPopupWindow()->SetModalResult(AResult);
  CloseUp(AResult == mrOk);
}

void TqvCustomBlobEdit::CloseUp(bool AAccept) {
  // Esc handled on the way (by the memo or the popup window) is a Cancel, whoever closes.
  if (!AAccept && HasPopupWindow() && GetPopupWindow()->GetModalResult() == mrNone && GetKeyState(VK_ESCAPE) < 0)
    GetPopupWindow()->SetModalResult(mrCancel);
  inherited::CloseUp(AAccept);
}

bool TqvCustomBlobEdit::HandlePopupKey(Word Key, TShiftState Shift, bool AEnterCloses) {
  const bool alt = Shift & ssAlt;
  const TModalResult closeResult = GetProperties()->GetAlwaysSaveData() ? mrOk : mrCancel;
  switch (Key) {
    case VK_F4:
      if (alt) return false;
      ClosePopup(closeResult);
      return true;
    case VK_ESCAPE: ClosePopup(mrCancel); return true;
    case VK_UP:
    case VK_DOWN:
      if (!alt) return false;
      ClosePopup(closeResult);
      return true;
    case VK_RETURN:
      if (!AEnterCloses) return false;
      ClosePopup(mrOk);
      return true;
    default: return false;
  }
}

void TqvCustomBlobEdit::PopupWindowClosed(TObject* Sender) {
  TAliveToken alive = AliveToken();
  const TModalResult result = GetPopupWindow() ? GetPopupWindow()->GetModalResult() : mrNone;
  const bool keep = FPopupModified && (result == mrOk || (result != mrCancel && GetProperties()->GetAlwaysSaveData()));
  // The content is read before the popup edit gives its control back.
  Variant value;
  bool haveValue = false;
  TGraphicClass pictureClass = nullptr;
  if (keep) {
    if (FPopupMemo) {
      value = String(FPopupMemo->GetInnerMemo() ? FPopupMemo->GetInnerMemo()->GetText() : VarToStr(FPopupMemo->GetEditValue()));
      haveValue = true;
    } else if (FPopupImage) {
      value = PictureToValue(FPopupImage->GetPicture());
      if (TGraphic* graphic = FPopupImage->GetPicture()->GetGraphic())
        pictureClass = static_cast<TGraphicClass>(graphic->ClassType());
      haveValue = true;
    }
  }
  {
    TChangeEventsScope locked(this);
    inherited::PopupWindowClosed(Sender);
    if (!alive) return;
    if (haveValue && DoEditing() && alive) {
      if (pictureClass) GetProperties()->SetPictureGraphicClass(pictureClass);
      {
        TValueScope userChange(UserChangeFlag(), true, alive);
        InternalSetEditValue(value, false);
      }
      if (!alive) return;
      SetModifiedAfterEnter(true);
      if (GetProperties()->GetImmediatePost() && CanPostEditValue() && ValidateEdit(true) && alive) PostEditValue();
    }
    if (!alive) return;
  }
  if (!alive) return;
  FreePopupControls(false);
  ShortRefreshContainer(false);
  Invalidate();
}

void TqvCustomBlobEdit::PropertiesChanged(TObject* Sender) {
  if (HasState(csDestroying)) return;
  TAliveToken alive = AliveToken();
  inherited::PropertiesChanged(Sender);
  if (alive) Invalidate();
}

void TqvCustomBlobEdit::SynchronizeDisplayValue() {
  ShortRefreshContainer(false);
  Invalidate();
}
