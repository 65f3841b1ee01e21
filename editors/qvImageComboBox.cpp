// The image combo box: items, value and description mapping, the list with images, the paint
// model and the control.
#include "editors/qvImageComboBox.h"

#include <algorithm>

#include "core/qvVariants.h"
#include "editors/qvEditPaintUtils.h"
#include "platform/os/Gdi.h"
#include "platform/os/GdiScopes.h"
#include "platform/os/Windows.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvImageComboBoxItem)
QJ_IMPLEMENT_CLASS(TqvImageComboBoxItems)
QJ_IMPLEMENT_CLASS(TqvImageComboBoxListBox)
QJ_IMPLEMENT_CLASS(TqvImageComboBoxLookupData)
QJ_IMPLEMENT_CLASS(TqvImageComboBoxViewInfo)
QJ_IMPLEMENT_CLASS(TqvImageComboBoxViewData)
QJ_IMPLEMENT_CLASS(TqvCustomImageComboBoxProperties)
QJ_IMPLEMENT_CLASS(TqvImageComboBoxProperties)
QJ_IMPLEMENT_CLASS(TqvCustomImageComboBox)
QJ_IMPLEMENT_CLASS(TqvImageComboBox)
QJ_IMPLEMENT_CLASS(TqvEditRepositoryImageComboBoxItem)

namespace {

const TqvEditKindRegistration ImageComboBoxRegistration(&TqvImageComboBoxProperties::StaticClass(),
                                                        &sqvEditDisplayTextImageComboBox);

TqvCustomImageComboBoxProperties* PropertiesOf(TCollection* ACollection) {
  auto* items = As<TqvImageComboBoxItems>(ACollection);
  return items ? As<TqvCustomImageComboBoxProperties>(items->GetOwner()) : nullptr;
}

bool IsValidImageIndex(TCustomImageList* AImages, Integer AIndex) {
  return AImages && AIndex >= 0 && AIndex < AImages->GetCount();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Items

TqvImageComboBoxItem::TqvImageComboBoxItem(TCollection* Collection) : TCollectionItem(Collection) {
  TqvCustomImageComboBoxProperties* properties = PropertiesOf(Collection);
  if (properties && properties->GetImages() && properties->GetImages()->GetCount() >= Collection->GetCount())
    FImageIndex = GetIndex();
}

void TqvImageComboBoxItem::Assign(TPersistent* Source) {
  auto* source = As<TqvImageComboBoxItem>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  SetDescription(source->FDescription);
  SetImageIndex(source->FImageIndex);
  SetValue(source->FValue);
}

void TqvImageComboBoxItem::SetDescription(const TCaption& Value) {
  if (Value == FDescription) return;
  FDescription = Value;
  Changed(false);
}

void TqvImageComboBoxItem::SetImageIndex(Integer Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  Changed(false);
}

void TqvImageComboBoxItem::SetValue(const Variant& Value) {
  if (VarEqualsExact(FValue, Value)) return;
  FValue = Value;
  Changed(false);
}

TqvImageComboBoxItems::TqvImageComboBoxItems(TPersistent* AOwner)
    : TOwnedCollection(AOwner, &TqvImageComboBoxItem::StaticClass()) {}

void TqvImageComboBoxItems::Update(TCollectionItem*) {
  if (auto* properties = As<TqvCustomEditProperties>(GetOwner())) properties->Changed();
}

// ---------------------------------------------------------------------------------------------
// Properties

TqvCustomImageComboBoxProperties::TqvCustomImageComboBoxProperties(TPersistent* AOwner)
    : TqvCustomComboBoxProperties(AOwner) {
  FItems = MakeOwned<TqvImageComboBoxItems>(this);
  FImagesLink = MakeOwned<TChangeLink>();
  FImagesLink->OnChange = [this](TObject*) { Changed(); };
  FLargeImagesLink = MakeOwned<TChangeLink>();
  FLargeImagesLink->OnChange = [this](TObject*) { Changed(); };
  FImagesWatch = MakeOwned<TqvFreeNotificator>(nullptr);
  FImagesWatch->OnFreeNotification = [this](TComponent* AComponent) { FreeNotification(AComponent); };
  SetDropDownListStyle(lsFixedList);
  SetIncrementalSearch(true);
}

TqvCustomImageComboBoxProperties::~TqvCustomImageComboBoxProperties() {
  for (TCustomImageList* list : {FImages, FLargeImages})
    if (list) FImagesWatch->RemoveFreeNotification(list);
  FImagesLink.reset();
  FLargeImagesLink.reset();
  FImagesWatch.reset();
  FItems.reset();
}

TqvCustomEditClass TqvCustomImageComboBoxProperties::ContainerClass() { return &TqvImageComboBox::StaticClass(); }
TqvCustomEditClass TqvImageComboBoxProperties::ContainerClass() { return &TqvImageComboBox::StaticClass(); }

TqvCustomTextEditLookupDataClass TqvCustomImageComboBoxProperties::LookupDataClass() {
  return &TqvImageComboBoxLookupData::StaticClass();
}

TqvCustomEditViewDataClass TqvCustomImageComboBoxProperties::ViewDataClass() {
  return &TqvImageComboBoxViewData::StaticClass();
}

TqvCustomEditViewInfoClass TqvCustomImageComboBoxProperties::ViewInfoClass() {
  return &TqvImageComboBoxViewInfo::StaticClass();
}

void TqvCustomImageComboBoxProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomImageComboBoxProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  SetDefaultDescription(source->FDefaultDescription);
  SetDefaultImageIndex(source->FDefaultImageIndex);
  SetImageAlign(source->FImageAlign);
  SetImages(source->FImages);
  SetItems(source->FItems.get());
  SetLargeImages(source->FLargeImages);
  SetMultiLineText(source->FMultiLineText);
  SetShowDescriptions(source->FShowDescriptions);
}

void TqvCustomImageComboBoxProperties::SetDefaultDescription(const String& Value) { SetValue(FDefaultDescription, Value); }
void TqvCustomImageComboBoxProperties::SetDefaultImageIndex(Integer Value) { SetValue(FDefaultImageIndex, Value); }
void TqvCustomImageComboBoxProperties::SetImageAlign(TqvImageAlign Value) { SetValue(FImageAlign, Value); }
void TqvCustomImageComboBoxProperties::SetMultiLineText(bool Value) { SetValue(FMultiLineText, Value); }
void TqvCustomImageComboBoxProperties::SetShowDescriptions(bool Value) { SetValue(FShowDescriptions, Value); }

void TqvCustomImageComboBoxProperties::SetImageList(TCustomImageList*& AField, TChangeLink* ALink,
                                                    TCustomImageList* AValue) {
  if (AField == AValue) return;
  // The other list may be the same one: it keeps its watch.
  TCustomImageList* other = &AField == &FImages ? FLargeImages : FImages;
  if (AField && AField != other) FImagesWatch->RemoveFreeNotification(AField);
  AField = AValue;
  ALink->SetSender(AValue);
  if (AValue) FImagesWatch->FreeNotification(AValue);
  Changed();
}

void TqvCustomImageComboBoxProperties::SetImages(TCustomImageList* Value) { SetImageList(FImages, FImagesLink.get(), Value); }

void TqvCustomImageComboBoxProperties::SetLargeImages(TCustomImageList* Value) {
  SetImageList(FLargeImages, FLargeImagesLink.get(), Value);
}

void TqvCustomImageComboBoxProperties::SetItems(TqvImageComboBoxItems* Value) {
  FItems->Assign(Value);
  Changed();
}

void TqvCustomImageComboBoxProperties::FreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  if (AComponent == FImages) {
    FImages = nullptr;
    FImagesLink->SetSender(nullptr);
  }
  if (AComponent == FLargeImages) {
    FLargeImages = nullptr;
    FLargeImagesLink->SetSender(nullptr);
  }
}

TqvImageComboBoxItem* TqvCustomImageComboBoxProperties::GetItemByValue(const Variant& AValue) const {
  for (Integer i = 0; i < FItems->GetCount(); ++i) {
    TqvImageComboBoxItem* item = FItems->GetItem(i);
    bool equal = false;
    try {
      equal = VarEqualsBooleanAware(item->GetValue(), AValue);
    } catch (const Exception&) {
      equal = false;  // values that cannot be compared are not equal
    }
    if (equal) return item;
  }
  return nullptr;
}

TqvImageComboBoxItem* TqvCustomImageComboBoxProperties::FindItemByDescription(const String& AText) const {
  if (!FShowDescriptions) return nullptr;
  const String text = AnsiUpperCase(AText);
  for (Integer i = 0; i < FItems->GetCount(); ++i)
    if (AnsiUpperCase(FItems->GetItem(i)->GetDescription()) == text) return FItems->GetItem(i);
  return nullptr;
}

void TqvCustomImageComboBoxProperties::GetValueImageAndText(const Variant& AValue, Integer& AImageIndex,
                                                            String& AText) const {
  if (TqvImageComboBoxItem* item = GetItemByValue(AValue)) {
    AImageIndex = item->GetImageIndex();
    AText = FShowDescriptions ? item->GetDescription() : String();
  } else {
    AImageIndex = FDefaultImageIndex;
    AText = FShowDescriptions ? FDefaultDescription : String();
  }
}

void TqvCustomImageComboBoxProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool) {
  TqvImageComboBoxItem* item = GetItemByValue(AEditValue);
  ADisplayValue = item ? item->GetDescription() : FDefaultDescription;
}

String TqvCustomImageComboBoxProperties::GetDisplayText(const Variant& AEditValue, bool) {
  Variant display;
  PrepareDisplayValue(AEditValue, display, false);
  return display.AsString();
}

TqvEditValueSource TqvCustomImageComboBoxProperties::GetEditValueSource(bool) const {
  IqvEditDefaultValuesProvider* provider = GetDefaultValuesProvider();
  return provider && provider->IsDisplayFormatDefined(false) ? evsText : evsValue;
}

TqvEditSupportedOperations TqvCustomImageComboBoxProperties::GetSupportedOperations() const {
  TqvEditSupportedOperations result = esoFiltering | esoHorzAlignment | esoSorting | esoSortingByDisplayText;
  if (GetButtons()->GetCount() > 0) result |= esoButtons;
  if (FShowDescriptions) result |= esoIncSearch;
  return result;
}

// ---------------------------------------------------------------------------------------------
// Lookup data

String TqvImageComboBoxLookupData::GetItem(Integer AIndex) {
  auto* properties = As<TqvCustomImageComboBoxProperties>(GetProperties());
  if (!properties || AIndex < 0 || AIndex >= properties->GetItems()->GetCount()) return String();
  return properties->GetItems()->GetItem(AIndex)->GetDescription();
}

Integer TqvImageComboBoxLookupData::GetItemCount() {
  auto* properties = As<TqvCustomImageComboBoxProperties>(GetProperties());
  return properties ? properties->GetItems()->GetCount() : 0;
}

void TqvImageComboBoxLookupData::SynchronizeItemIndex() {
  auto* properties = As<TqvCustomImageComboBoxProperties>(GetProperties());
  TqvCustomTextEdit* edit = GetOwnerEdit();
  if (!properties || !edit) return;
  TqvImageComboBoxItem* item = properties->GetItemByValue(edit->GetEditValue());
  SetItemIndex(item ? item->GetIndex() : -1);
}

// ---------------------------------------------------------------------------------------------
// List box

TqvCustomImageComboBoxProperties* TqvImageComboBoxListBox::GetProperties() {
  TqvCustomComboBox* edit = GetEdit();
  return edit ? As<TqvCustomImageComboBoxProperties>(edit->GetProperties()) : nullptr;
}

TCustomImageList* TqvImageComboBoxListBox::GetImages() {
  TqvCustomImageComboBoxProperties* properties = GetProperties();
  if (!properties) return nullptr;
  return properties->GetLargeImages() ? properties->GetLargeImages() : properties->GetImages();
}

TRect TqvImageComboBoxListBox::GetImageRect(const TRect& R) {
  TCustomImageList* images = GetImages();
  if (!images) return TRect{};
  TRect r = R;
  if (GetProperties()->GetImageAlign() == iaLeft)
    r.Right = r.Left + images->GetWidth() + 4;
  else
    r.Left = r.Right - images->GetWidth() - 4;
  return r;
}

Integer TqvImageComboBoxListBox::MeasureItemHeight(Integer AIndex) {
  TqvCustomImageComboBoxProperties* properties = GetProperties();
  TCustomImageList* images = GetImages();
  Integer w = FTextWidth - 2, a = 0;
  if (images) {
    w -= images->GetWidth() + 4;
    a = images->GetHeight() + 2;
  }
  TCanvas* canvas = GetCanvas();
  canvas->SetFont(GetFont());
  if (properties && properties->GetMultiLineText() && w > 0 && AIndex >= 0) {
    String text = GetItem(AIndex);
    RECT r{0, 0, w, a};
    ::DrawText(canvas->GetHandle(), text.data(), Integer(text.size()), &r,
               DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    return std::max<Integer>(a, r.Bottom - r.Top + 2);
  }
  return std::max(canvas->TextHeight("Wg") + 2, a);
}

Integer TqvImageComboBoxListBox::GetItemHeight(Integer AIndex) { return MeasureItemHeight(AIndex); }

Integer TqvImageComboBoxListBox::GetHeight(Integer ARowCount, Integer AMaxHeight) {
  TqvCustomImageComboBoxProperties* properties = GetProperties();
  TqvCustomComboBox* edit = GetEdit();
  FTextWidth = 0;
  FHasVScrollBar = false;
  const bool multiLine = properties && properties->GetMultiLineText() && edit && edit->GetPopupWindow();
  if (multiLine) {
    TRect e;
    edit->GetPopupWindow()->GetViewInfo()->GetClientExtent(e);
    FTextWidth = edit->GetPopupWindow()->GetPopupOwnerRect().Width() - e.Left - e.Right;
  }
  auto sum = [&] {
    Integer height = 0;
    for (Integer i = 0; i < ARowCount; ++i) height += MeasureItemHeight(i);
    return height;
  };
  Integer height = sum();
  const Integer count = GetItems()->GetCount();
  if (multiLine && (height > AMaxHeight || ARowCount < count)) {
    FTextWidth -= GetSystemMetrics(SM_CXVSCROLL);
    FHasVScrollBar = true;
    height = sum();
  }
  return height;
}

void TqvImageComboBoxListBox::UpdateItemHeight() {
  if (HandleAllocated()) RecreateWnd();
}

Integer TqvImageComboBoxListBox::GetContentWidth() {
  TqvCustomImageComboBoxProperties* properties = GetProperties();
  if (!properties) return 0;
  TCustomImageList* images = GetImages();
  const Integer a = images ? images->GetWidth() + 8 : 4;
  TCanvas* canvas = GetCanvas();
  canvas->SetFont(GetFont());
  Integer width = a;
  TqvImageComboBoxItems* items = properties->GetItems();
  for (Integer i = 0; i < items->GetCount(); ++i)
    width = std::max(width, a + canvas->TextWidth(items->GetItem(i)->GetDescription()));
  if (properties->GetDropDownRows() < items->GetCount()) width += GetSystemMetrics(SM_CXVSCROLL);
  return width;
}

void TqvImageComboBoxListBox::DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  TCanvas* canvas = GetCanvas();
  canvas->FillRect(Rect);
  TqvCustomImageComboBoxProperties* properties = GetProperties();
  if (!properties || Index < 0 || Index >= properties->GetItems()->GetCount()) return;
  TqvImageComboBoxItem* item = properties->GetItems()->GetItem(Index);
  const bool rightToLeft = UseRightToLeftAlignment();
  UINT flags = properties->GetMultiLineText() ? (DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK)
                                              : (DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
  if (rightToLeft) flags |= DT_RIGHT | DT_RTLREADING;
  TRect r = Rect;
  if (rightToLeft)
    r.Right -= 2;
  else
    r.Left += 2;
  if (TCustomImageList* images = GetImages()) {
    const TRect imageRect = GetImageRect(r);
    if (IsValidImageIndex(images, item->GetImageIndex()))
      images->Draw(canvas, imageRect.Left + 1, imageRect.Top + (imageRect.Height() - images->GetHeight()) / 2,
                   item->GetImageIndex(), GetEnabled());
    if (properties->GetImageAlign() == iaLeft)
      r.Left = imageRect.Right;
    else
      r.Right = imageRect.Left;
  }
  if (r.IsEmpty()) return;
  String text = item->GetDescription();
  canvas->GetBrush()->SetStyle(bsClear);
  ::DrawText(canvas->GetHandle(), text.data(), Integer(text.size()), &r, flags);
  canvas->GetBrush()->SetStyle(bsSolid);
}

// ---------------------------------------------------------------------------------------------
// View info and view data

void TqvImageComboBoxViewInfo::Offset(Integer DX, Integer DY) {
  inherited::Offset(DX, DY);
  ImageRect = qvOffsetRect(ImageRect, DX, DY);
}

void TqvImageComboBoxViewInfo::Paint(TqvCanvas* ACanvas) {
  if (!Bounds.IsEmpty() && IsValidImageIndex(Images, ImageIndex)) {
    {
      TCanvasSavedDCScope saved(ACanvas->GetCanvas());
      TRect clip = ImageRect;
      clip.Left = std::max(clip.Left, ClientRect.Left);
      clip.Top = std::max(clip.Top, ClientRect.Top);
      clip.Right = std::min(clip.Right, ClientRect.Right);
      clip.Bottom = std::min(clip.Bottom, ClientRect.Bottom);
      ACanvas->IntersectClipRect(clip);
      if (Transparent)
        Images->Draw(ACanvas->GetCanvas(), ImageRect.Left, ImageRect.Top, ImageIndex, Enabled);
      else
        DrawImageListImage(ACanvas, Images, ImageIndex, nullptr, Enabled, BackgroundColor, ImageRect);
    }
    if (!Transparent) ACanvas->ExcludeClipRect(ImageRect);
  }
  inherited::Paint(ACanvas);
}

TqvCustomImageComboBoxProperties* TqvImageComboBoxViewData::GetProperties() const {
  return static_cast<TqvCustomImageComboBoxProperties*>(TqvCustomComboBoxViewData::GetProperties());
}

void TqvImageComboBoxViewData::Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                         TqvMouseButton AButton, TShiftState AShift, TqvCustomEditViewInfo* AViewInfo,
                                         bool AIsMouseEvent) {
  inherited::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* viewInfo = static_cast<TqvImageComboBoxViewInfo*>(AViewInfo);
  TqvCustomImageComboBoxProperties* properties = GetProperties();
  viewInfo->ImageAlign = properties->GetImageAlign();
  viewInfo->Images = properties->GetImages();
  viewInfo->ShowDescriptions = properties->GetShowDescriptions();
  // The text rectangle: the client area less the buttons.
  const TRect r = viewInfo->InnerEditRect;
  TRect text = r;
  viewInfo->ImageRect = TRect{};
  if (TCustomImageList* images = viewInfo->Images) {
    const Integer w = images->GetWidth(), h = images->GetHeight();
    TRect image;
    if (!viewInfo->ShowDescriptions) {
      image.Left = r.Left + (r.Width() - w) / 2;
    } else if (viewInfo->ImageAlign == iaRight) {
      image.Left = r.Right - 2 - w;
      text.Right = r.Right - w - 4;
    } else {
      image.Left = r.Left + 2;
      text.Left = r.Left + w + 4;
    }
    image.Right = image.Left + w;
    image.Top = r.Top + (r.Height() - h) / 2;
    image.Bottom = image.Top + h;
    viewInfo->ImageRect = image;
  }
  if (!viewInfo->ShowDescriptions) viewInfo->Text.clear();
  // The text (and the inner edit) stay clear of the image.
  viewInfo->TextRect = {text.Left + 2, text.Top + 1, text.Right - 2, text.Bottom - 1};
  if (viewInfo->Images && viewInfo->ShowDescriptions) {
    viewInfo->InnerEditRect.Left = std::max(viewInfo->InnerEditRect.Left, text.Left);
    viewInfo->InnerEditRect.Right = std::min(viewInfo->InnerEditRect.Right, text.Right);
  }
  viewInfo->RowsValid = false;
  if (!IsInplace) viewInfo->DrawSelected = false;
}

void TqvImageComboBoxViewData::DisplayValueToDrawText(const Variant& ADisplayValue,
                                                      TqvCustomTextEditViewInfo* AViewInfo) {
  inherited::DisplayValueToDrawText(ADisplayValue, AViewInfo);
  auto* viewInfo = static_cast<TqvImageComboBoxViewInfo*>(AViewInfo);
  TqvCustomTextEdit* edit = GetTextEdit();
  if (!edit) return;
  TqvCustomImageComboBoxProperties* properties = GetProperties();
  const Variant key = edit->GetLookupData() ? edit->GetLookupData()->GetCurrentKey() : Variant(-1);
  const Integer index = LookupKeyToIndex(key);
  if (index >= 0 && index < properties->GetItems()->GetCount()) {
    TqvImageComboBoxItem* item = properties->GetItems()->GetItem(index);
    viewInfo->ImageIndex = item->GetImageIndex();
    viewInfo->Text = properties->GetShowDescriptions() ? item->GetDescription() : String();
  } else {
    properties->GetValueImageAndText(edit->GetEditValue(), viewInfo->ImageIndex, viewInfo->Text);
  }
}

void TqvImageComboBoxViewData::EditValueToViewInfo(TqvCanvas* ACanvas, const Variant& AEditValue,
                                                   TqvCustomEditViewInfo* AViewInfo) {
  inherited::EditValueToViewInfo(ACanvas, AEditValue, AViewInfo);
  auto* viewInfo = static_cast<TqvImageComboBoxViewInfo*>(AViewInfo);
  GetProperties()->GetValueImageAndText(AEditValue, viewInfo->ImageIndex, viewInfo->Text);
  viewInfo->RowsValid = false;
}

TSize TqvImageComboBoxViewData::GetEditContentSize(TqvCanvas* ACanvas, const Variant& AEditValue,
                                                   const TqvEditSizeProperties&) {
  Integer imageIndex = -1;
  String text;
  GetProperties()->GetValueImageAndText(AEditValue, imageIndex, text);
  ACanvas->SetFont(Style->GetFont());
  TSize size = ACanvas->TextExtent(text.empty() ? String("Wg") : text);
  if (text.empty()) size.cx = 0;
  if (TCustomImageList* images = GetProperties()->GetImages())
    size.cx += images->GetWidth() + 5;
  else
    size.cx += 1;
  return size;
}

// ---------------------------------------------------------------------------------------------
// Control

TqvCustomEditPropertiesClass TqvCustomImageComboBox::PropertiesClass() {
  return &TqvCustomImageComboBoxProperties::StaticClass();
}
TqvCustomEditPropertiesClass TqvImageComboBox::PropertiesClass() { return &TqvImageComboBoxProperties::StaticClass(); }

void TqvCustomImageComboBox::LookupKeyToEditValue(const Variant& AKey, Variant& AEditValue) {
  const Integer key = LookupKeyToIndex(AKey);
  TqvImageComboBoxItems* items = GetProperties()->GetItems();
  AEditValue = key >= 0 && key < items->GetCount() ? items->GetItem(key)->GetValue() : Null();
}

void TqvCustomImageComboBox::DisplayToEditValue(const Variant&, Variant& AEditValue, bool) {
  LookupKeyToEditValue(GetLookupData() ? GetLookupData()->GetCurrentKey() : Variant(-1), AEditValue);
}

void TqvCustomImageComboBox::SynchronizeDisplayValue() {
  TAliveToken alive = AliveToken();
  SynchronizeLookupItem();
  if (!alive) return;
  ResetFindSelection();
  UpdateDisplayedText();
}

void TqvCustomImageComboBox::UpdateDisplayedText() {
  inherited::UpdateDisplayedText();
  Integer imageIndex = -1;
  String text;
  TqvCustomTextEditLookupData* lookup = GetLookupData();
  const Integer key = lookup ? lookup->GetItemIndex() : -1;
  TqvImageComboBoxItems* items = GetProperties()->GetItems();
  if (key >= 0 && key < items->GetCount())
    text = GetProperties()->GetShowDescriptions() ? items->GetItem(key)->GetDescription() : String();
  else
    GetProperties()->GetValueImageAndText(GetEditValue(), imageIndex, text);
  SetInnerEditValue(text);
}

void TqvCustomImageComboBox::CalculatePopupContentSize(TSize& ASize) {
  inherited::CalculatePopupContentSize(ASize);
  if (GetProperties()->GetMultiLineText()) {
    ASize.cx = 0;
    return;
  }
  IqvTextEditLookupData* lookup = GetILookupData();
  if (auto* list = lookup ? As<TqvImageComboBoxListBox>(lookup->GetList()) : nullptr)
    ASize.cx = std::max(ASize.cx, list->GetContentWidth());
}
