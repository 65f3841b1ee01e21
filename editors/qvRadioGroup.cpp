// The radio group editor: items, properties, style, the layout of the items and their painting
// in a grid cell.
#include "editors/qvRadioGroup.h"

#include <algorithm>

#include "core/qvVariants.h"
#include "editors/qvEditPaintUtils.h"
#include "editors/qvExtEditUtils.h"
#include "lookandfeel/qvContainer.h"
#include "platform/os/Gdi.h"
#include "platform/rtl/Scopes.h"

QJ_IMPLEMENT_CLASS(TqvRadioGroupItem)
QJ_IMPLEMENT_CLASS(TqvRadioGroupItems)
QJ_IMPLEMENT_CLASS(TqvCustomRadioGroupProperties)
QJ_IMPLEMENT_CLASS(TqvRadioGroupProperties)
QJ_IMPLEMENT_CLASS(TqvEditRepositoryRadioGroupItem)
QJ_IMPLEMENT_CLASS(TqvRadioGroupStyle)
QJ_IMPLEMENT_CLASS(TqvCustomRadioGroupViewInfo)
QJ_IMPLEMENT_CLASS(TqvCustomRadioGroupViewData)

const TResourceString sqvRadioGroupDefaultCaption{62480, ""};

namespace {

constexpr TqvEditSupportedOperations kOperations = esoHotTrack | esoAutoHeight | esoFiltering | esoHorzAlignment |
                                                    esoSorting | esoSortingByDisplayText;
// The room at the left of the items and between a glyph and its caption.
constexpr Integer kItemsIndent = 6, kInplaceIndent = 1;
constexpr Integer kCaptionGap = 7, kThemedCaptionGap = 5;

// The editor kind is known by name from start-up on.
const TqvEditKindRegistration RadioGroupRegistration(&TqvRadioGroupProperties::StaticClass(),
                                                     &sqvEditDisplayTextRadioGroup);

// Caption margins (left, top, right, bottom) beside a painted glyph.
TRect ItemCaptionMargins(bool AThemed) { return AThemed ? TRect{3, -1, 0, -1} : TRect{5, 0, 1, 0}; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Items

TqvRadioGroupItem::TqvRadioGroupItem(TCollection* Collection) : TCollectionItem(Collection), FValue(Null()) {}

void TqvRadioGroupItem::Assign(TPersistent* Source) {
  auto* source = As<TqvRadioGroupItem>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  FCaption = source->FCaption;
  FValue = source->FValue;
  Changed(false);
}

void TqvRadioGroupItem::SetCaption(const TCaption& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  Changed(false);
}

void TqvRadioGroupItem::SetValue(const Variant& Value) {
  if (VarEqualsExact(Value, FValue)) return;
  FValue = Value;
  Changed(false);
}

TqvRadioGroupItems::TqvRadioGroupItems(TPersistent* AOwner)
    : TOwnedCollection(AOwner, &TqvRadioGroupItem::StaticClass()) {}

void TqvRadioGroupItems::Update(TCollectionItem*) {
  if (auto* properties = As<TqvCustomEditProperties>(GetOwner())) properties->Changed();
}

// ---------------------------------------------------------------------------------------------
// Properties

TqvCustomRadioGroupProperties::TqvCustomRadioGroupProperties(TPersistent* AOwner)
    : TqvCustomEditProperties(AOwner),
      FDefaultCaption(GetLocalizedResourceString(&sqvRadioGroupDefaultCaption)),
      FDefaultValue(Null()),
      FItems(MakeOwned<TqvRadioGroupItems>(this)) {}

TqvCustomRadioGroupProperties::~TqvCustomRadioGroupProperties() = default;

TqvCustomEditStyleClass TqvCustomRadioGroupProperties::StyleClass() { return &TqvRadioGroupStyle::StaticClass(); }
TqvCustomEditViewDataClass TqvCustomRadioGroupProperties::ViewDataClass() {
  return &TqvCustomRadioGroupViewData::StaticClass();
}
TqvCustomEditViewInfoClass TqvCustomRadioGroupProperties::ViewInfoClass() {
  return &TqvCustomRadioGroupViewInfo::StaticClass();
}

void TqvCustomRadioGroupProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomRadioGroupProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  GetAlignment()->SetHorz(source->GetAlignment()->GetHorz() == taRightJustify ? taRightJustify : taLeftJustify);
  SetColumns(source->FColumns);
  SetDefaultValue(source->FDefaultValue);
  SetItems(source->FItems.get());
  SetWordWrap(source->FWordWrap);
}

Integer TqvCustomRadioGroupProperties::GetRadioGroupItemIndex(const Variant& AValue) const {
  for (Integer i = 0; i < FItems->GetCount(); ++i) {
    const TqvRadioGroupItem* item = FItems->GetItem(i);
    if (VarIsNull(item->GetValue())) {
      if (!IsVarNullOrEmpty(AValue) && item->GetCaption() == VarToStr(AValue)) return i;
    } else if (VarEqualsBooleanAware(item->GetValue(), AValue))
      return i;
  }
  return -1;
}

Variant TqvCustomRadioGroupProperties::GetIndexValue(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= FItems->GetCount()) return FDefaultValue;
  const TqvRadioGroupItem* item = FItems->GetItem(AIndex);
  return VarIsNull(item->GetValue()) ? Variant(item->GetCaption()) : item->GetValue();
}

void TqvCustomRadioGroupProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool) {
  ADisplayValue = GetRadioGroupItemIndex(AEditValue);
}

String TqvCustomRadioGroupProperties::GetDisplayText(const Variant& AEditValue, bool) {
  const Integer index = GetRadioGroupItemIndex(AEditValue);
  return index < 0 ? FDefaultCaption : FItems->GetItem(index)->GetCaption();
}

TqvEditSupportedOperations TqvCustomRadioGroupProperties::GetSupportedOperations() const {
  return FItems->GetCount() > 0 ? kOperations | esoButtons : kOperations;
}

void TqvCustomRadioGroupProperties::SetColumns(Integer Value) {
  Value = std::max(Value, 1);
  if (Value == FColumns) return;
  FColumns = Value;
  Changed();
}

void TqvCustomRadioGroupProperties::SetDefaultCaption(const String& Value) {
  if (Value == FDefaultCaption) return;
  FDefaultCaption = Value;
  Changed();
}

bool TqvCustomRadioGroupProperties::IsDefaultCaptionStored() const {
  return FDefaultCaption != GetLocalizedResourceString(&sqvRadioGroupDefaultCaption);
}

void TqvCustomRadioGroupProperties::SetDefaultValue(const Variant& Value) {
  if (VarEqualsExact(Value, FDefaultValue)) return;
  FDefaultValue = Value;
  Changed();
}

void TqvCustomRadioGroupProperties::SetWordWrap(bool Value) {
  if (Value == FWordWrap) return;
  FWordWrap = Value;
  Changed();
}

// ---------------------------------------------------------------------------------------------
// Style

void TqvRadioGroupStyle::RestoreDefaults() {
  inherited::RestoreDefaults();
  if (TqvContainer* group = GetContainer()) group->SetParentColor(true);
}

TColor TqvRadioGroupStyle::GetDefaultColor() const {
  TqvContainer* group = GetContainer();
  if (group && !group->IsInplace() && group->GetParentColor()) return group->GetColor();
  return inherited::GetDefaultColor();
}

// ---------------------------------------------------------------------------------------------
// View data

bool TqvCustomRadioGroupViewData::IsThemed() const {
  return IsNativeThemeUsable(Style->GetLookAndFeel()->GetNativeStyle(), totButton);
}

Integer TqvCustomRadioGroupViewData::GetColumnCount() const {
  const Integer n = GroupProperties()->GetItems()->GetCount();
  return std::max(1, std::min(GroupProperties()->GetColumns(), n));
}

Integer TqvCustomRadioGroupViewData::GetRowCount() const {
  const Integer n = GroupProperties()->GetItems()->GetCount(), columns = GetColumnCount();
  return (n + columns - 1) / columns;
}

Integer TqvCustomRadioGroupViewData::FontHeight(TqvCanvas* ACanvas) const {
  TqvCanvas* canvas = ACanvas ? ACanvas : GetScreenCanvas();
  TFont* font = Style->GetFont();
  return font ? canvas->FontHeight(font) : canvas->TextHeight("Qq");
}

TqvEditBorderStyle TqvCustomRadioGroupViewData::GetBorderStyle(TqvEditHotState) const {
  if (IsInplace) return ebsNone;
  const TqvEditBorderStyle style = Style->GetBorderStyle();
  return style == ebsUltraFlat ? ebsSingle : style;
}

void TqvCustomRadioGroupViewData::GetBorderExtent(TRect& R) {
  inherited::GetBorderExtent(R);
  if (!IsInplace) R.Top = FontHeight(nullptr) / 2 + 1;
}

void TqvCustomRadioGroupViewData::GetClientExtent(TqvCustomEditViewInfo* AViewInfo, TRect& R) {
  inherited::GetClientExtent(AViewInfo, R);
  if (!IsInplace) R.Top = FontHeight(nullptr) + 3;
}

TqvEditButtonStyle TqvCustomRadioGroupViewData::GetItemButtonStyle() const {
  if (Style->GetBorderStyle() == ebsUltraFlat) return btsUltraFlat;
  if (IsInplace) {
    switch (Style->GetLookAndFeel()->GetKind()) {
      case lfFlat: return btsFlat;
      case lfStandard: return bts3D;
      case lfUltraFlat: return btsUltraFlat;
    }
  }
  switch (Style->GetBorderStyle()) {
    case ebsSingle:
    case ebsThick:
    case ebsFlat: return btsFlat;
    case ebsUltraFlat: return btsUltraFlat;
    case ebsNone:
    case ebs3D: break;
  }
  return bts3D;
}

void TqvCustomRadioGroupViewData::Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                            TqvMouseButton AButton, TShiftState AShift,
                                            TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  inherited::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* info = static_cast<TqvCustomRadioGroupViewInfo*>(AViewInfo);
  info->Font = Style->GetFont();
  info->IsDesigning = IsDesigning;
  info->GlyphAtLeft = true;
  info->TextFlags = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
  if (auto* group = dynamic_cast<TqvCustomRadioGroup*>(Edit)) info->CheckedIndex = group->GetItemIndex();
  TqvRadioGroupItems* items = GroupProperties()->GetItems();
  const Integer count = items->GetCount();
  const Integer previousPressed = AIsMouseEvent ? info->PressedItemIndex : -1;
  info->PressedItemIndex = -1;
  info->Items.assign(size_t(count), TqvRadioGroupItemViewInfo{});
  // Without items there is nothing to lay out (and no row to divide the height by).
  if (count == 0 || IsMeasuringBounds(ABounds)) return;

  const Integer columns = GetColumnCount(), rows = GetRowCount();
  TRect extent;
  GetClientExtent(info, extent);
  const Integer columnWidth =
      (ABounds.Width() + (IsInplace ? 4 : 0) - extent.Left - extent.Right - kItemsIndent) / columns;
  const Integer free = ABounds.Height() - extent.Top - extent.Bottom;
  const Integer rowHeight = free / rows;
  const Integer firstTop = IsInplace ? ABounds.Top + extent.Top : ABounds.Top + extent.Top - 2 + (free % rows) / 2;

  const bool themed = IsThemed();
  HTHEME theme = themed ? OpenTheme(totButton) : nullptr;
  const TqvEditButtonStyle buttonStyle = GetItemButtonStyle();
  const TqvEditButtonTransparency transparency = Style->GetButtonTransparency();
  const bool transparent = transparency == ebtAlways || (transparency == ebtInactive && !Focused);
  for (Integer i = 0; i < count; ++i) {
    TqvRadioGroupItemViewInfo& item = info->Items[size_t(i)];
    item.Column = i / rows;
    item.Row = i % rows;
    const Integer left = ABounds.Left + extent.Left + item.Column * columnWidth + (IsInplace ? kInplaceIndent : kItemsIndent);
    const Integer top = firstTop + item.Row * rowHeight;
    item.Bounds = Rect(left, top, left + columnWidth, top + rowHeight);
    item.Caption = items->GetItem(i)->GetCaption();
    item.ButtonStyle = buttonStyle;
    item.BackgroundColor = info->BackgroundColor;
    item.Transparent = transparent;
    if (!Enabled)
      item.State = rgsDisabled;
    else if (!IsDesigning && item.Bounds.Contains(P)) {
      const bool leftDown = (AShift & ssLeft) != 0;
      if ((AButton == cmbLeft && leftDown) || (leftDown && previousPressed == i)) {
        item.State = rgsPressed;
        info->PressedItemIndex = i;
      } else
        item.State = AShift == 0 ? rgsHot : rgsNormal;
    } else
      item.State = rgsNormal;
    item.Themed = themed;
    if (themed) {
      item.ThemeState = RadioGlyphThemeState(i == info->CheckedIndex, item.State);
      item.ThemePartTransparent = IsThemeBackgroundPartiallyTransparent(theme, BP_RADIOBUTTON, item.ThemeState);
    }
  }
}

void TqvCustomRadioGroupViewData::EditValueToViewInfo(TqvCanvas*, const Variant& AEditValue,
                                                      TqvCustomEditViewInfo* AViewInfo) {
  static_cast<TqvCustomRadioGroupViewInfo*>(AViewInfo)->CheckedIndex = GroupProperties()->GetRadioGroupItemIndex(AEditValue);
}

TSize TqvCustomRadioGroupViewData::GetEditContentSize(TqvCanvas* ACanvas, const Variant&,
                                                      const TqvEditSizeProperties& ASizeProperties) {
  if (TFont* font = Style->GetFont()) ACanvas->SetFont(font);
  const bool themed = IsThemed();
  TSize glyph = RadioGlyphSize();
  if (themed) {
    SIZE size{glyph.cx, glyph.cy};
    GetThemePartSize(OpenTheme(totButton), ACanvas->GetHandle(), BP_RADIOBUTTON, 1, nullptr, TS_TRUE, &size);
    glyph = {size.cx, size.cy};
  }
  TqvRadioGroupItems* items = GroupProperties()->GetItems();
  const Integer count = items->GetCount();
  const Integer lineHeight = ACanvas->TextHeight("Zg") + GetEditTextOffsets(this).Y;
  if (count == 0) return {0, lineHeight};
  const Integer columns = GetColumnCount(), rows = GetRowCount();
  if (ASizeProperties.Width < 0) {
    Integer widest = 0;
    for (Integer i = 0; i < count; ++i) widest = std::max(widest, ACanvas->TextWidth(items->GetItem(i)->GetCaption()));
    const Integer width = columns * ((themed ? kThemedCaptionGap : kCaptionGap) + widest + glyph.cx) -
                          (IsInplace ? 5 : 0) + kItemsIndent;
    return {width, rows * lineHeight};
  }
  const TRect margins = GetEditContentMargins(ACanvas, this);
  const Integer captionWidth =
      std::max(1, (ASizeProperties.Width + (IsInplace ? 1 : 0) - margins.Left - margins.Right - kItemsIndent) / columns -
                      glyph.cx - (themed ? 1 : 3));
  const bool wrap = GroupProperties()->GetWordWrap();
  Integer tallest = 0;
  for (Integer column = 0; column < columns; ++column) {
    Integer height = 0;
    for (Integer i = column * rows; i < std::min(count, (column + 1) * rows); ++i) {
      const String caption = items->GetItem(i)->GetCaption();
      Integer captionHeight = ACanvas->TextHeight("Zg");
      if (wrap && !caption.empty()) {
        TRect r = Rect(0, 0, captionWidth, 0);
        captionHeight = ::DrawText(ACanvas->GetHandle(), caption.data(), Integer(caption.size()), &r,
                                   DT_CALCRECT | DT_WORDBREAK | DT_TOP | DT_LEFT);
      }
      height += captionHeight + GetEditTextOffsets(this).Y;
    }
    tallest = std::max(tallest, height);
  }
  return {ASizeProperties.Width, tallest};
}

// ---------------------------------------------------------------------------------------------
// View info

void TqvCustomRadioGroupViewInfo::Offset(Integer DX, Integer DY) {
  inherited::Offset(DX, DY);
  for (TqvRadioGroupItemViewInfo& item : Items) item.Bounds = qvOffsetRect(item.Bounds, DX, DY);
}

TqvLookAndFeelKind TqvCustomRadioGroupViewInfo::GetGlyphStyle() const {
  const TqvEditButtonStyle style = Items.empty() ? bts3D : Items.front().ButtonStyle;
  if (style == btsFlat) return lfFlat;
  if (style == btsUltraFlat) return lfUltraFlat;
  return lfStandard;
}

void TqvCustomRadioGroupViewInfo::Paint(TqvCanvas* ACanvas) {
  if (!IsInplace) return;
  if (!Transparent) {
    ACanvas->SetBrushColor(BackgroundColor);
    ACanvas->FillRect(Bounds);
  }
  for (size_t i = 0; i < Items.size(); ++i) DrawItem(ACanvas, Items[i], Integer(i));
}

void TqvCustomRadioGroupViewInfo::DrawItem(TqvCanvas* ACanvas, const TqvRadioGroupItemViewInfo& AItem, Integer AIndex) {
  const TRect& r = AItem.Bounds;
  if (r.IsEmpty()) return;
  HDC dc = ACanvas->GetHandle();
  const int saved = SaveDC(dc);
  ACanvas->IntersectClipRect(r);
  const bool checked = AIndex == CheckedIndex;
  TSize glyph = RadioGlyphSize();
  HTHEME theme = AItem.Themed ? OpenTheme(totButton) : nullptr;
  if (theme) {
    SIZE size{glyph.cx, glyph.cy};
    GetThemePartSize(theme, dc, BP_RADIOBUTTON, AItem.ThemeState, nullptr, TS_TRUE, &size);
    glyph = {size.cx, size.cy};
  }
  const TRect glyphRect = ::Bounds(r.Left, r.Top + (r.Height() - glyph.cy) / 2, glyph.cx, glyph.cy);
  const bool transparent = AItem.Transparent || Transparent;
  if (theme) {
    if (AItem.ThemePartTransparent) {
      if (!transparent) {
        ACanvas->SetBrushColor(AItem.BackgroundColor);
        ACanvas->FillRect(r);
      }
      DrawThemeBackground(theme, dc, BP_RADIOBUTTON, AItem.ThemeState, &glyphRect, nullptr);
    } else {
      DrawThemeBackground(theme, dc, BP_RADIOBUTTON, AItem.ThemeState, &glyphRect, nullptr);
      if (!transparent) FillRectOutside(ACanvas, r, glyphRect, AItem.BackgroundColor);
    }
  } else {
    DrawRadioGlyph(ACanvas, glyphRect.Left, glyphRect.Top, RadioGlyphIndex(false, GetGlyphStyle(), checked, AItem.State),
                   transparent ? clDefault : AItem.BackgroundColor, IsDesigning);
    if (!transparent) FillRectOutside(ACanvas, r, glyphRect, AItem.BackgroundColor);
  }
  const TRect margins = ItemCaptionMargins(theme != nullptr);
  const TRect text = Rect(glyphRect.Right + margins.Left, r.Top + margins.Top, r.Right - margins.Right,
                          r.Bottom - margins.Bottom);
  if (Font) ACanvas->SetFont(Font);
  ACanvas->GetCanvas()->GetFont()->SetColor(TextColor);
  ACanvas->GetCanvas()->RequiredState(csHandleValid | csFontValid);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(TextColor));
  TRect t = text;
  ::DrawText(dc, AItem.Caption.data(), Integer(AItem.Caption.size()), &t, TextFlags);
  RestoreDC(dc, saved);
}
