// The colour tables and the colour-to-text operations; the colour combo box.
#include "editors/qvColorComboBox.h"

#include <algorithm>
#include <string_view>

#include "editors/qvEditPaintUtils.h"
#include "editors/qvExtEditUtils.h"
#include "platform/forms/Dialogs.h"
#include "platform/os/Gdi.h"
#include "platform/os/Windows.h"
#include "platform/rtl/Scopes.h"

namespace {

struct TColorRow {
  TColor Value;
  const char* Name;
};

constexpr TColorRow kPlatformColors[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
};

// The HTML 4.01 colours (values in the platform's byte order: red lowest).
constexpr TColorRow kHTML4Colors[] = {
    {0x00000000, "Black"}, {0x00C0C0C0, "Silver"}, {0x00808080, "Gray"},   {0x00FFFFFF, "White"},
    {0x00000080, "Maroon"}, {0x000000FF, "Red"},   {0x00800080, "Purple"}, {0x00FF00FF, "Fuchsia"},
    {0x00008000, "Green"}, {0x0000FF00, "Lime"},   {0x00008080, "Olive"},  {0x0000FFFF, "Yellow"},
    {0x00800000, "Navy"},  {0x00FF0000, "Blue"},   {0x00808000, "Teal"},   {0x00FFFF00, "Aqua"},
};

// The X11 colours of HTML and CSS, alphabetically.
constexpr TColorRow kX11Colors[] = {
    {0x00FFF8F0, "AliceBlue"}, {0x00D7EBFA, "AntiqueWhite"}, {0x00FFFF00, "Aqua"}, {0x00D4FF7F, "Aquamarine"},
    {0x00FFFFF0, "Azure"}, {0x00DCF5F5, "Beige"}, {0x00C4E4FF, "Bisque"}, {0x00000000, "Black"},
    {0x00CDEBFF, "BlanchedAlmond"}, {0x00FF0000, "Blue"}, {0x00E22B8A, "BlueViolet"}, {0x002A2AA5, "Brown"},
    {0x0087B8DE, "BurlyWood"}, {0x00A09E5F, "CadetBlue"}, {0x0000FF7F, "Chartreuse"}, {0x001E69D2, "Chocolate"},
    {0x00507FFF, "Coral"}, {0x00ED9564, "CornflowerBlue"}, {0x00DCF8FF, "Cornsilk"}, {0x003C14DC, "Crimson"},
    {0x00FFFF00, "Cyan"}, {0x008B0000, "DarkBlue"}, {0x008B8B00, "DarkCyan"}, {0x000B86B8, "DarkGoldenrod"},
    {0x00A9A9A9, "DarkGray"}, {0x00006400, "DarkGreen"}, {0x006BB7BD, "DarkKhaki"}, {0x008B008B, "DarkMagenta"},
    {0x002F6B55, "DarkOliveGreen"}, {0x00008CFF, "DarkOrange"}, {0x00CC3299, "DarkOrchid"}, {0x0000008B, "DarkRed"},
    {0x007A96E9, "DarkSalmon"}, {0x008FBC8F, "DarkSeaGreen"}, {0x008B3D48, "DarkSlateBlue"},
    {0x004F4F2F, "DarkSlateGray"}, {0x00D1CE00, "DarkTurquoise"}, {0x00D30094, "DarkViolet"},
    {0x009314FF, "DeepPink"}, {0x00FFBF00, "DeepSkyBlue"}, {0x00696969, "DimGray"}, {0x00FF901E, "DodgerBlue"},
    {0x002222B2, "FireBrick"}, {0x00F0FAFF, "FloralWhite"}, {0x00228B22, "ForestGreen"}, {0x00FF00FF, "Fuchsia"},
    {0x00DCDCDC, "Gainsboro"}, {0x00FFF8F8, "GhostWhite"}, {0x0000D7FF, "Gold"}, {0x0020A5DA, "Goldenrod"},
    {0x00808080, "Gray"}, {0x00008000, "Green"}, {0x002FFFAD, "GreenYellow"}, {0x00F0FFF0, "Honeydew"},
    {0x00B469FF, "HotPink"}, {0x005C5CCD, "IndianRed"}, {0x0082004B, "Indigo"}, {0x00F0FFFF, "Ivory"},
    {0x008CE6F0, "Khaki"}, {0x00FAE6E6, "Lavender"}, {0x00F5F0FF, "LavenderBlush"}, {0x0000FC7C, "LawnGreen"},
    {0x00CDFAFF, "LemonChiffon"}, {0x00E6D8AD, "LightBlue"}, {0x008080F0, "LightCoral"}, {0x00FFFFE0, "LightCyan"},
    {0x00D2FAFA, "LightGoldenrodYellow"}, {0x0090EE90, "LightGreen"}, {0x00D3D3D3, "LightGrey"},
    {0x00C1B6FF, "LightPink"}, {0x007AA0FF, "LightSalmon"}, {0x00AAB220, "LightSeaGreen"},
    {0x00FACE87, "LightSkyBlue"}, {0x00998877, "LightSlateGray"}, {0x00DEC4B0, "LightSteelBlue"},
    {0x00E0FFFF, "LightYellow"}, {0x0000FF00, "Lime"}, {0x0032CD32, "LimeGreen"}, {0x00E6F0FA, "Linen"},
    {0x00FF00FF, "Magenta"}, {0x00000080, "Maroon"}, {0x00AACD66, "MediumAquamarine"}, {0x00CD0000, "MediumBlue"},
    {0x00D355BA, "MediumOrchid"}, {0x00DB7093, "MediumPurple"}, {0x0071B33C, "MediumSeaGreen"},
    {0x00EE687B, "MediumSlateBlue"}, {0x009AFA00, "MediumSpringGreen"}, {0x00CCD148, "MediumTurquoise"},
    {0x008515C7, "MediumVioletRed"}, {0x00701919, "MidnightBlue"}, {0x00FAFFF5, "MintCream"},
    {0x00E1E4FF, "MistyRose"}, {0x00B5E4FF, "Moccasin"}, {0x00ADDEFF, "NavajoWhite"}, {0x00800000, "Navy"},
    {0x00E6F5FD, "OldLace"}, {0x00008080, "Olive"}, {0x00238E6B, "OliveDrab"}, {0x0000A5FF, "Orange"},
    {0x000045FF, "OrangeRed"}, {0x00D670DA, "Orchid"}, {0x00AAE8EE, "PaleGoldenrod"}, {0x0098FB98, "PaleGreen"},
    {0x00EEEEAF, "PaleTurquoise"}, {0x009370DB, "PaleVioletRed"}, {0x00D5EFFF, "PapayaWhip"},
    {0x00B9DAFF, "PeachPuff"}, {0x003F85CD, "Peru"}, {0x00CBC0FF, "Pink"}, {0x00DDA0DD, "Plum"},
    {0x00E6E0B0, "PowderBlue"}, {0x00800080, "Purple"}, {0x000000FF, "Red"}, {0x008F8FBC, "RosyBrown"},
    {0x00E16941, "RoyalBlue"}, {0x0013458B, "SaddleBrown"}, {0x007280FA, "Salmon"}, {0x0060A4F4, "SandyBrown"},
    {0x00578B2E, "SeaGreen"}, {0x00EEF5FF, "Seashell"}, {0x002D52A0, "Sienna"}, {0x00C0C0C0, "Silver"},
    {0x00EBCE87, "SkyBlue"}, {0x00CD5A6A, "SlateBlue"}, {0x00908070, "SlateGray"}, {0x00FAFAFF, "Snow"},
    {0x007FFF00, "SpringGreen"}, {0x00B48246, "SteelBlue"}, {0x008CB4D2, "Tan"}, {0x00808000, "Teal"},
    {0x00D8BFD8, "Thistle"}, {0x004763FF, "Tomato"}, {0x00D0E040, "Turquoise"}, {0x00EE82EE, "Violet"},
    {0x00B3DEF5, "Wheat"}, {0x00FFFFFF, "White"}, {0x00F5F5F5, "WhiteSmoke"}, {0x0000FFFF, "Yellow"},
    {0x0032CD9A, "YellowGreen"},
};

constexpr const char* kX11OrderedNames[] = {
    "LightPink", "Pink", "Crimson", "LavenderBlush", "PaleVioletRed", "HotPink", "DeepPink", "MediumVioletRed",
    "Orchid", "Thistle", "Plum", "Violet", "Magenta", "Fuchsia", "DarkMagenta", "Purple", "MediumOrchid",
    "DarkViolet", "DarkOrchid", "Indigo", "BlueViolet", "MediumPurple", "MediumSlateBlue", "SlateBlue",
    "DarkSlateBlue", "Lavender", "GhostWhite", "Blue", "MediumBlue", "MidnightBlue", "DarkBlue", "Navy", "RoyalBlue",
    "CornflowerBlue", "LightSteelBlue", "LightSlateGray", "SlateGray", "DodgerBlue", "AliceBlue", "SteelBlue",
    "LightSkyBlue", "SkyBlue", "DeepSkyBlue", "LightBlue", "PowderBlue", "CadetBlue", "Azure", "LightCyan",
    "PaleTurquoise", "Cyan", "Aqua", "DarkTurquoise", "DarkSlateGray", "DarkCyan", "Teal", "MediumTurquoise",
    "LightSeaGreen", "Turquoise", "Aquamarine", "MediumAquamarine", "MediumSpringGreen", "MintCream", "SpringGreen",
    "MediumSeaGreen", "SeaGreen", "Honeydew", "LightGreen", "PaleGreen", "DarkSeaGreen", "LimeGreen", "Lime",
    "ForestGreen", "Green", "DarkGreen", "Chartreuse", "LawnGreen", "GreenYellow", "DarkOliveGreen", "YellowGreen",
    "OliveDrab", "Beige", "LightGoldenrodYellow", "Ivory", "LightYellow", "Yellow", "Olive", "DarkKhaki",
    "LemonChiffon", "PaleGoldenrod", "Khaki", "Gold", "Cornsilk", "Goldenrod", "DarkGoldenrod", "FloralWhite",
    "OldLace", "Wheat", "Moccasin", "Orange", "PapayaWhip", "BlanchedAlmond", "NavajoWhite", "AntiqueWhite", "Tan",
    "BurlyWood", "Bisque", "DarkOrange", "Linen", "Peru", "PeachPuff", "SandyBrown", "Chocolate", "SaddleBrown",
    "Seashell", "Sienna", "LightSalmon", "Coral", "OrangeRed", "DarkSalmon", "Tomato", "MistyRose", "Salmon", "Snow",
    "LightCoral", "RosyBrown", "IndianRed", "Red", "Brown", "FireBrick", "DarkRed", "Maroon", "White", "WhiteSmoke",
    "Gainsboro", "LightGrey", "Silver", "DarkGray", "Gray", "DimGray", "Black",
};

static_assert(std::size(kPlatformColors) == PlatformColorCount);
static_assert(std::size(kHTML4Colors) == HTML4ColorCount);
static_assert(std::size(kX11Colors) == X11ColorCount);
static_assert(std::size(kX11OrderedNames) == X11ColorCount);

template <size_t N>
constexpr std::array<TColor, N> ValuesOf(const TColorRow (&ARows)[N]) {
  std::array<TColor, N> values{};
  for (size_t i = 0; i < N; ++i) values[i] = ARows[i].Value;
  return values;
}

template <size_t N>
constexpr std::array<const char*, N> NamesOf(const TColorRow (&ARows)[N]) {
  std::array<const char*, N> names{};
  for (size_t i = 0; i < N; ++i) names[i] = ARows[i].Name;
  return names;
}

// The family order names the same colours as the alphabetical table; their values come from it.
constexpr std::array<TColor, X11ColorCount> OrderedX11Values() {
  std::array<TColor, X11ColorCount> values{};
  for (size_t i = 0; i < X11ColorCount; ++i) {
    size_t row = 0;
    while (std::string_view(kX11Colors[row].Name) != kX11OrderedNames[i]) ++row;
    values[i] = kX11Colors[row].Value;
  }
  return values;
}

template <size_t N>
bool FindColorName(const std::array<TColor, N>& AValues, const std::array<const char*, N>& ANames, TColor AColor,
                   String& AName) {
  for (size_t i = 0; i < N; ++i)
    if (AValues[i] == AColor) {
      AName = ANames[i];
      return true;
    }
  return false;
}

}  // namespace

const std::array<TColor, PlatformColorCount> PlatformColorValues = ValuesOf(kPlatformColors);
const std::array<const char*, PlatformColorCount> PlatformColorNames = NamesOf(kPlatformColors);
const std::array<TColor, HTML4ColorCount> HTML4ColorValues = ValuesOf(kHTML4Colors);
const std::array<const char*, HTML4ColorCount> HTML4ColorNames = NamesOf(kHTML4Colors);
const std::array<TColor, X11ColorCount> X11ColorValues = ValuesOf(kX11Colors);
const std::array<const char*, X11ColorCount> X11ColorNames = NamesOf(kX11Colors);
constinit const std::array<TColor, X11ColorCount> X11OrderedColorValues = OrderedX11Values();
const std::array<const char*, X11ColorCount> X11OrderedColorNames = std::to_array(kX11OrderedNames);

bool FindPlatformColorName(TColor AColor, String& AName) {
  return FindColorName(PlatformColorValues, PlatformColorNames, AColor, AName);
}

bool FindHTML4ColorName(TColor AColor, String& AName) {
  return FindColorName(HTML4ColorValues, HTML4ColorNames, AColor, AName);
}

bool FindX11ColorName(TColor AColor, String& AName) { return FindColorName(X11ColorValues, X11ColorNames, AColor, AName); }

String ColorToValueText(TColor AColor, TqvColorValueFormat AFormat) {
  if (AFormat != qvcvRGB && AFormat != qvcvHexadecimal) return IntToStr(AColor);
  const COLORREF rgb = ColorToRGB(AColor);
  const Byte red = GetRValue(rgb), green = GetGValue(rgb), blue = GetBValue(rgb);
  if (AFormat == qvcvRGB) return IntToStr(red) + "." + IntToStr(green) + "." + IntToStr(blue);
  return IntToHex(red, 2) + IntToHex(green, 2) + IntToHex(blue, 2);
}

String GetColorText(TColor AColor, const String& ADescription, TqvColorNamingConvention ANamingConvention,
                    TqvColorValueFormat AFormat) {
  String name;
  switch (ANamingConvention) {
    case qvncNone: return ADescription;
    case qvncKordel:
      if (FindPlatformColorName(AColor, name)) return name;
      break;
    case qvncHTML4:
      if (FindHTML4ColorName(AColor, name)) return name;
      break;
    case qvncX11:
      if (FindX11ColorName(AColor, name)) return name;
      break;
  }
  return ColorToValueText(AColor, AFormat);
}

// ---------------------------------------------------------------------------------------------
// The colour combo box

QJ_IMPLEMENT_CLASS(TqvColorComboBoxItem)
QJ_IMPLEMENT_CLASS(TqvColorComboBoxItems)
QJ_IMPLEMENT_CLASS(TqvCustomColorComboBoxListBox)
QJ_IMPLEMENT_CLASS(TqvColorComboBoxLookupData)
QJ_IMPLEMENT_CLASS(TqvCustomColorComboBoxViewInfo)
QJ_IMPLEMENT_CLASS(TqvCustomColorComboBoxViewData)
QJ_IMPLEMENT_CLASS(TqvCustomColorComboBoxProperties)
QJ_IMPLEMENT_CLASS(TqvColorComboBoxProperties)
QJ_IMPLEMENT_CLASS(TqvColorComboBoxPopupWindow)
QJ_IMPLEMENT_CLASS(TqvCustomColorComboBox)
QJ_IMPLEMENT_CLASS(TqvColorComboBox)
QJ_IMPLEMENT_CLASS(TqvEditRepositoryColorComboBoxItem)

namespace {

const TqvEditKindRegistration ColorComboBoxRegistration(&TqvColorComboBoxProperties::StaticClass(),
                                                        &sqvEditDisplayTextColorComboBox);

constexpr Integer kSelectColorButton = 1;
constexpr Integer kMinItemHeight = 16;
constexpr Integer kSeparatorHeight = 3;

template <size_t N>
void AddTableRows(TqvColorComboBoxItems* AItems, const std::array<TColor, N>& AValues,
                  const std::array<const char*, N>& ANames) {
  for (size_t i = 0; i < N; ++i)
    if (TqvColorComboBoxItem* item = AItems->AddColor(AValues[i], ANames[i])) item->SetIsCustomColor(false);
}

Byte ColorBoxKind(bool ASelected, TqvDefaultColorStyle AStyle) {
  if (ASelected) return cbkColor;
  switch (AStyle) {
    case qvdcClear: return cbkEmpty;
    case qvdcHatched: return cbkHatched;
    default: return cbkColor;
  }
}

}  // namespace

// -- Items

void TqvColorComboBoxItem::Assign(TPersistent* Source) {
  auto* source = As<TqvColorComboBoxItem>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  SetColor(source->FColor);
  SetDescription(source->FDescription);
  FIsCustomColor = source->FIsCustomColor;
}

void TqvColorComboBoxItem::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Changed(false);
}

void TqvColorComboBoxItem::SetDescription(const String& Value) {
  if (Value == FDescription) return;
  FDescription = Value;
  Changed(false);
}

TqvColorComboBoxItems::TqvColorComboBoxItems(TPersistent* AOwner)
    : TOwnedCollection(AOwner, &TqvColorComboBoxItem::StaticClass()) {}

void TqvColorComboBoxItems::Update(TCollectionItem*) {
  if (auto* properties = As<TqvCustomColorComboBoxProperties>(GetOwner())) properties->Changed();
}

TqvColorComboBoxItem* TqvColorComboBoxItems::FindColorItem(TColor AColor) const {
  const Integer index = IndexOfColor(AColor);
  return index < 0 ? nullptr : GetItem(index);
}

TqvColorComboBoxItem* TqvColorComboBoxItems::AddColor(TColor AColor, const String& ADescription) {
  return InsertColor(GetCount(), AColor, ADescription);
}

TqvColorComboBoxItem* TqvColorComboBoxItems::InsertColor(Integer AIndex, TColor AColor, const String& ADescription) {
  if (FindColorItem(AColor)) return nullptr;
  TUpdateScope update(this);
  auto* item = static_cast<TqvColorComboBoxItem*>(Insert(std::clamp<Integer>(AIndex, 0, GetCount())));
  item->SetColor(AColor);
  item->SetDescription(ADescription);
  return item;
}

void TqvColorComboBoxItems::Move(Integer AFrom, Integer ATo) {
  if (AFrom == ATo || AFrom < 0 || AFrom >= GetCount()) return;
  GetItem(AFrom)->SetIndex(std::clamp<Integer>(ATo, 0, GetCount() - 1));
}

void TqvColorComboBoxItems::ClearNonCustomItems() {
  TUpdateScope update(this);
  for (Integer i = GetCount() - 1; i >= 0; --i)
    if (!GetItem(i)->GetIsCustomColor()) Delete(i);
}

Integer TqvColorComboBoxItems::IndexOfColor(TColor AColor) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetItem(i)->GetColor() == AColor) return i;
  return -1;
}

TColor TqvColorComboBoxItems::GetColorByIndex(Integer AIndex, TColor ADefault) const {
  return AIndex >= 0 && AIndex < GetCount() ? GetItem(AIndex)->GetColor() : ADefault;
}

// -- Properties

TqvCustomColorComboBoxProperties::TqvCustomColorComboBoxProperties(TPersistent* AOwner)
    : TqvCustomComboBoxProperties(AOwner) {
  FItems = MakeOwned<TqvColorComboBoxItems>(this);
  FMRUColors = MakeOwned<TqvColorComboBoxItems>(this);
  SetDropDownListStyle(lsFixedList);
  TqvEditButton* button = GetButtons()->Add();
  SetGlyphButtonIndex(kSelectColorButton);
  button->SetKind(bkEllipsis);
  button->SetDefault(false);
  button->SetVisible(false);
}

TqvCustomColorComboBoxProperties::~TqvCustomColorComboBoxProperties() {
  FChangedLocked = true;
  FMRUColors.reset();
  FItems.reset();
}

TqvCustomEditClass TqvCustomColorComboBoxProperties::ContainerClass() { return &TqvColorComboBox::StaticClass(); }
TqvCustomEditClass TqvColorComboBoxProperties::ContainerClass() { return &TqvColorComboBox::StaticClass(); }

TqvCustomTextEditLookupDataClass TqvCustomColorComboBoxProperties::LookupDataClass() {
  return &TqvColorComboBoxLookupData::StaticClass();
}

TqvCustomEditViewDataClass TqvCustomColorComboBoxProperties::ViewDataClass() {
  return &TqvCustomColorComboBoxViewData::StaticClass();
}

TqvCustomEditViewInfoClass TqvCustomColorComboBoxProperties::ViewInfoClass() {
  return &TqvCustomColorComboBoxViewInfo::StaticClass();
}

TqvCustomEditPopupWindowClass TqvCustomColorComboBoxProperties::GetPopupWindowClass() const {
  return &TqvColorComboBoxPopupWindow::StaticClass();
}

void TqvCustomColorComboBoxProperties::Changed() {
  if (FChangedLocked || !FItems || !FMRUColors) return;
  inherited::Changed();
}

void TqvCustomColorComboBoxProperties::Assign(TPersistent* Source) {
  auto* source = As<TqvCustomColorComboBoxProperties>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TUpdateScope update(this);
  inherited::Assign(Source);
  SetAllowSelectColor(source->FAllowSelectColor);
  SetColorBoxAlign(source->FColorBoxAlign);
  SetColorBoxFrameColor(source->FColorBoxFrameColor);
  SetColorBoxWidth(source->FColorBoxWidth);
  SetColorComboStyle(source->FColorComboStyle);
  FColorDialogType = source->FColorDialogType;
  SetColorValueFormat(source->FColorValueFormat);
  SetDefaultColor(source->FDefaultColor);
  SetDefaultDescription(source->FDefaultDescription);
  SetDefaultColorStyle(source->FDefaultColorStyle);
  SetMaxMRUColors(source->FMaxMRUColors);
  SetNamingConvention(source->FNamingConvention);
  FPrepareList = source->FPrepareList;
  FPrepareInfo = source->FPrepareInfo;
  SetShowDescriptions(source->FShowDescriptions);
  OnSelectCustomColor = source->OnSelectCustomColor;
  OnNamingConvention = source->OnNamingConvention;
  OnAddedMRUColor = source->OnAddedMRUColor;
  OnDeletedMRUColor = source->OnDeletedMRUColor;
  OnGetDefaultColor = source->OnGetDefaultColor;
  FItems->Assign(source->FItems.get());
  FMRUColors->Assign(source->FMRUColors.get());
  Changed();
}

void TqvCustomColorComboBoxProperties::SetAllowSelectColor(bool Value) {
  if (Value == FAllowSelectColor) return;
  TUpdateScope update(this);
  FAllowSelectColor = Value;
  if (GetButtons()->GetCount() > kSelectColorButton) GetButtons()->GetItem(kSelectColorButton)->SetVisible(Value);
  Changed();
}

void TqvCustomColorComboBoxProperties::SetMaxMRUColors(Byte Value) {
  if (Value == FMaxMRUColors) return;
  const bool lowered = Value < FMaxMRUColors;
  FMaxMRUColors = Value;
  if (!lowered) return;
  TrimMRUColors();
  Changed();
}

void TqvCustomColorComboBoxProperties::SetPrepareInfo(const String& Value) {
  FPrepareInfo = Value;
  TUpdateScope update(FItems.get());
  switch (FPrepareList) {
    case qvplNone: break;
    case qvplKordel: AddTableRows(FItems.get(), PlatformColorValues, PlatformColorNames); break;
    case qvplHTML4: AddTableRows(FItems.get(), HTML4ColorValues, HTML4ColorNames); break;
    case qvplX11: AddTableRows(FItems.get(), X11ColorValues, X11ColorNames); break;
    case qvplX11Ordered: AddTableRows(FItems.get(), X11OrderedColorValues, X11OrderedColorNames); break;
  }
}

void TqvCustomColorComboBoxProperties::SetItems(TqvColorComboBoxItems* Value) {
  FItems->Assign(Value);
  Changed();
}

TqvEditSupportedOperations TqvCustomColorComboBoxProperties::GetSupportedOperations() const {
  TqvEditSupportedOperations result = esoFiltering | esoHorzAlignment | esoSorting | esoSortingByDisplayText;
  if (GetButtons()->GetCount() > 0) result |= esoButtons;
  if (FShowDescriptions) result |= esoIncSearch;
  return result;
}

// Recent colours

Integer TqvCustomColorComboBoxProperties::AddMRUColor(TColor AColor) {
  if (FMaxMRUColors == 0) return 0;
  const Integer recent = FMRUColors->IndexOfColor(AColor);
  if (recent == 0) return 0;
  if (recent > 0) {
    FMRUColors->Move(recent, 0);
    if (OnAddedMRUColor) OnAddedMRUColor(this);
    return 1;
  }
  TqvColorComboBoxItem* item = FItems->FindColorItem(AColor);
  if (!item) return 0;
  {
    TValueScope quiet(FChangedLocked, true);
    FMRUColors->InsertColor(0, AColor, item->GetDescription());
  }
  TrimMRUColors();
  if (OnAddedMRUColor) OnAddedMRUColor(this);
  return 2;
}

Integer TqvCustomColorComboBoxProperties::DeleteMRUColor(TColor AColor) {
  const Integer recent = FMRUColors->IndexOfColor(AColor);
  if (recent < 0 || !FItems->FindColorItem(AColor)) return 0;
  FMRUColors->Delete(recent);
  if (OnDeletedMRUColor) OnDeletedMRUColor(this);
  return 3;
}

void TqvCustomColorComboBoxProperties::ClearMRUColors() {
  {
    TValueScope quiet(FChangedLocked, true);
    FMRUColors->Clear();
  }
  Changed();
}

void TqvCustomColorComboBoxProperties::TrimMRUColors() {
  TValueScope quiet(FChangedLocked, true);
  TUpdateScope update(FMRUColors.get());
  while (FMRUColors->GetCount() > FMaxMRUColors) {
    FMRUColors->Delete(FMRUColors->GetCount() - 1);
    if (OnDeletedMRUColor) OnDeletedMRUColor(this);
  }
}

void TqvCustomColorComboBoxProperties::DoGetDefaultColor(TColor& AColor) {
  if (OnGetDefaultColor) OnGetDefaultColor(this, AColor);
}

// The combined index

Integer TqvCustomColorComboBoxProperties::IndexOfColorValue(const Variant& AEditValue) const {
  if (IsVarNullOrEmpty(AEditValue)) return -1;
  bool valid = false;
  const TColor color = StringToColorValue(VarToStr(AEditValue), valid);
  return valid ? IndexOfColor(color) : -1;
}

Integer TqvCustomColorComboBoxProperties::IndexOfColor(TColor AColor) const {
  const Integer recent = FMRUColors->IndexOfColor(AColor);
  if (recent >= 0) return recent;
  const Integer index = FItems->IndexOfColor(AColor);
  return index >= 0 ? FMRUColors->GetCount() + index : -1;
}

TColor TqvCustomColorComboBoxProperties::GetColorByIndex(Integer AIndex) const {
  const Integer recentCount = FMRUColors->GetCount();
  if (AIndex < recentCount) return FMRUColors->GetColorByIndex(AIndex, FDefaultColor);
  return FItems->GetColorByIndex(AIndex - recentCount, FDefaultColor);
}

String TqvCustomColorComboBoxProperties::NamedText(TColor AColor, const String& AText) const {
  String text = AText;
  if (OnNamingConvention) OnNamingConvention(const_cast<TqvCustomColorComboBoxProperties*>(this), AColor, text);
  return text;
}

String TqvCustomColorComboBoxProperties::GetColorDescription(Integer AIndex) const {
  const Integer recentCount = FMRUColors->GetCount();
  const TqvColorComboBoxItems* list = AIndex < recentCount ? FMRUColors.get() : FItems.get();
  const Integer index = AIndex < recentCount ? AIndex : AIndex - recentCount;
  if (AIndex < 0 || index >= list->GetCount()) return NamedText(FDefaultColor, String());
  const TqvColorComboBoxItem* item = list->GetItem(index);
  return NamedText(item->GetColor(),
                   GetColorText(item->GetColor(), item->GetDescription(), FNamingConvention, FColorValueFormat));
}

String TqvCustomColorComboBoxProperties::GetDisplayTextByIndex(Integer AIndex) const {
  if (!FShowDescriptions) return String();
  if (AIndex == -1) return FDefaultDescription;
  return GetColorDescription(AIndex);
}

void TqvCustomColorComboBoxProperties::TranslateValue(const Variant& AEditValue, TColor& AColor,
                                                      String& ADescription) const {
  const Integer index = IndexOfColorValue(AEditValue);
  if (!IsVarNullOrEmpty(AEditValue) && (index != -1 || FColorComboStyle == qvccsComboList)) {
    ADescription = GetDisplayTextByIndex(index);
    return;
  }
  bool valid = false;
  const TColor color = IsVarNullOrEmpty(AEditValue) ? 0 : StringToColorValue(VarToStr(AEditValue), valid);
  if (valid) {
    AColor = color;
    ADescription = NamedText(color, GetColorText(color, String(), FNamingConvention, FColorValueFormat));
  } else {
    AColor = FDefaultColor;
    ADescription = FDefaultDescription;
  }
}

void TqvCustomColorComboBoxProperties::SetViewInfoColor(Integer AIndex, TqvCustomColorComboBoxViewInfo* AViewInfo,
                                                        const Variant& AEditValue) const {
  AViewInfo->IsColorSelected = AIndex != -1;
  AViewInfo->Text = GetDisplayTextByIndex(AIndex);
  if (AIndex != -1) {
    AViewInfo->ColorBoxColor = GetColorByIndex(AIndex);
  } else if (FColorComboStyle == qvccsComboList && !IsVarNullOrEmpty(AEditValue)) {
    AViewInfo->ColorBoxColor = FDefaultColor;
  } else {
    TranslateValue(AEditValue, AViewInfo->ColorBoxColor, AViewInfo->Text);
  }
  if (!FShowDescriptions) AViewInfo->Text.clear();
  if (AIndex == -1 && FDefaultColorStyle == qvdcCustom)
    const_cast<TqvCustomColorComboBoxProperties*>(this)->DoGetDefaultColor(AViewInfo->ColorBoxColor);
  AViewInfo->RowsValid = false;
}

void TqvCustomColorComboBoxProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& ADisplayValue, bool) {
  TColor color = FDefaultColor;
  String text;
  TranslateValue(AEditValue, color, text);
  ADisplayValue = text;
}

String TqvCustomColorComboBoxProperties::GetDisplayText(const Variant& AEditValue, bool) {
  if (!FShowDescriptions) return String();
  Variant display;
  PrepareDisplayValue(AEditValue, display, false);
  return display.AsString();
}

// -- Lookup data

String TqvColorComboBoxLookupData::GetItem(Integer AIndex) {
  auto* properties = As<TqvCustomColorComboBoxProperties>(GetProperties());
  if (!properties || AIndex < 0 || AIndex >= GetItemCount()) return String();
  return properties->GetDisplayTextByIndex(AIndex);
}

Integer TqvColorComboBoxLookupData::GetItemCount() {
  auto* properties = As<TqvCustomColorComboBoxProperties>(GetProperties());
  return properties ? properties->GetMRUColors()->GetCount() + properties->GetItems()->GetCount() : 0;
}

void TqvColorComboBoxLookupData::SynchronizeItemIndex() {
  auto* properties = As<TqvCustomColorComboBoxProperties>(GetProperties());
  TqvCustomTextEdit* edit = GetOwnerEdit();
  if (!properties || !edit) return;
  SetItemIndex(properties->IndexOfColorValue(edit->GetEditValue()));
}

void TqvColorComboBoxLookupData::LocateMRUColor(TColor AColor) {
  auto* properties = As<TqvCustomColorComboBoxProperties>(GetProperties());
  if (!properties) return;
  TqvColorComboBoxItems* recent = properties->GetMRUColors();
  if (GetItemIndex() < recent->GetCount() - 1) return;
  const Integer index = recent->IndexOfColor(AColor);
  if (index >= 0) SetItemIndex(index);
}

// -- List box

TqvCustomColorComboBoxProperties* TqvCustomColorComboBoxListBox::GetProperties() {
  TqvCustomComboBox* edit = GetEdit();
  return edit ? As<TqvCustomColorComboBoxProperties>(edit->GetProperties()) : nullptr;
}

Integer TqvCustomColorComboBoxListBox::GetItemHeight(Integer AIndex) {
  TqvCustomColorComboBoxProperties* properties = GetProperties();
  if (!properties) return inherited::GetItemHeight(AIndex);
  Integer height = std::max(GetStandardItemHeight(), kMinItemHeight);
  if (AIndex >= 0 && properties->OnMeasureItem) properties->OnMeasureItem(GetEdit(), AIndex, GetQVCanvas(), height);
  if (AIndex >= 0 && AIndex == properties->GetMRUColors()->GetCount() - 1) height += kSeparatorHeight;
  return height;
}

void TqvCustomColorComboBoxListBox::UpdateItemHeight() {
  if (HandleAllocated()) RecreateWnd();
}

void TqvCustomColorComboBoxListBox::DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) {
  if (DoDrawItem(Index, Rect, State)) return;
  TqvCustomColorComboBoxProperties* properties = GetProperties();
  TCanvas* canvas = GetCanvas();
  if (!properties || Index < 0 || Index >= GetEdit()->GetLookupData()->GetItemCount()) {
    canvas->FillRect(Rect);
    return;
  }
  const bool lastRecent = Index == properties->GetMRUColors()->GetCount() - 1;
  TRect box = Rect;
  if (lastRecent) box.Bottom -= kSeparatorHeight;
  if (properties->GetShowDescriptions()) {
    TRect textRect = Rect;
    if (properties->GetColorBoxAlign() == cbaLeft) {
      box.Right = box.Left + properties->GetColorBoxWidth();
      textRect.Left = box.Right;
    } else {
      box.Left = box.Right - properties->GetColorBoxWidth();
      textRect.Right = box.Left;
    }
    canvas->FillRect(Rect);
    if (lastRecent) textRect.Bottom -= kSeparatorHeight;
    const String text = " " + properties->GetDisplayTextByIndex(Index);
    RECT r{textRect.Left, textRect.Top, textRect.Right, textRect.Bottom};
    canvas->GetBrush()->SetStyle(bsClear);
    ::DrawText(canvas->GetHandle(), text.data(), Integer(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    canvas->GetBrush()->SetStyle(bsSolid);
  }
  const TColor background = canvas->GetBrush()->GetColor();
  DrawColorBox(GetQVCanvas(), box, properties->GetColorBoxFrameColor(), cbkColor, background,
               properties->GetColorByIndex(Index));
  canvas->GetBrush()->SetColor(background);
  const bool selected = State & odSelected;
  if (lastRecent) {
    canvas->GetPen()->SetColor(selected ? clWindow : clWindowText);
    for (Integer y : {Rect.Bottom - 3, Rect.Bottom - 1}) {
      canvas->MoveTo(Rect.Left, y);
      canvas->LineTo(Rect.Right, y);
    }
  }
  if (selected) canvas->DrawFocusRect(Rect);
}

// -- View info and view data

void TqvCustomColorComboBoxViewInfo::Offset(Integer DX, Integer DY) {
  inherited::Offset(DX, DY);
  ColorBoxRect = qvOffsetRect(ColorBoxRect, DX, DY);
  ContentRect = qvOffsetRect(ContentRect, DX, DY);
}

void TqvCustomColorComboBoxViewInfo::Paint(TqvCanvas* ACanvas) {
  inherited::Paint(ACanvas);
  if (DefaultColorStyle == qvdcText && !IsColorSelected) return;
  DrawColorBox(ACanvas, ColorBoxRect, ColorBoxFrameColor, ColorBoxKind(IsColorSelected, DefaultColorStyle), BkColor,
               ColorBoxColor);
}

TqvCustomColorComboBoxProperties* TqvCustomColorComboBoxViewData::GetProperties() const {
  return static_cast<TqvCustomColorComboBoxProperties*>(TqvCustomComboBoxViewData::GetProperties());
}

namespace {

// The colour box and the text beside it, inside the client rectangle.
void LayoutColorBox(TqvCustomColorComboBoxViewInfo* AViewInfo, bool AIsInplace) {
  const TRect client = AViewInfo->ContentRect;
  TRect box = client, text = client;
  if (AViewInfo->DefaultColorStyle == qvdcText && !AViewInfo->IsColorSelected) {
    box.Right = box.Left;
  } else if (AViewInfo->ShowDescriptions) {
    if (AViewInfo->ColorBoxAlign == cbaRight) {
      box.Left = client.Right - AViewInfo->ColorBoxWidth;
      text.Right = box.Left;
    } else {
      box.Right = client.Left + AViewInfo->ColorBoxWidth;
      text.Left = box.Right;
    }
  } else {
    AViewInfo->Text.clear();
    text.Right = text.Left;
  }
  AViewInfo->ColorBoxRect = box;
  const Integer dy = AIsInplace ? 1 : 2;
  AViewInfo->TextRect = TRect{text.Left + 2, text.Top + dy, text.Right - 2, text.Bottom - dy};
  AViewInfo->InnerEditRect.Left = std::max(AViewInfo->InnerEditRect.Left, text.Left);
  AViewInfo->InnerEditRect.Right = std::min(AViewInfo->InnerEditRect.Right, text.Right);
  AViewInfo->RowsValid = false;
}

}  // namespace

void TqvCustomColorComboBoxViewData::Calculate(TqvCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                               TqvMouseButton AButton, TShiftState AShift,
                                               TqvCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  inherited::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* viewInfo = static_cast<TqvCustomColorComboBoxViewInfo*>(AViewInfo);
  TqvCustomColorComboBoxProperties* properties = GetProperties();
  viewInfo->ColorBoxAlign = properties->GetColorBoxAlign();
  viewInfo->ColorBoxWidth = properties->GetColorBoxWidth();
  viewInfo->ColorBoxFrameColor = properties->GetColorBoxFrameColor();
  viewInfo->ShowDescriptions = properties->GetShowDescriptions();
  viewInfo->DefaultColorStyle = properties->GetDefaultColorStyle();
  viewInfo->BkColor = viewInfo->BackgroundColor;
  if (!IsInplace) viewInfo->DrawSelected = false;
  viewInfo->ContentRect = TRect{};
  if (ABounds.IsEmpty() || IsMeasuringBounds(ABounds)) return;
  viewInfo->ContentRect = viewInfo->ClientRect;
  viewInfo->ContentRect.Left = std::max(viewInfo->ClientRect.Left, viewInfo->InnerEditRect.Left);
  viewInfo->ContentRect.Right = std::min(viewInfo->ClientRect.Right, viewInfo->InnerEditRect.Right);
  if (TqvCustomTextEdit* edit = GetTextEdit()) {
    const Integer index = edit->GetLookupData() ? edit->GetLookupData()->GetItemIndex() : -1;
    properties->SetViewInfoColor(index, viewInfo, edit->GetEditValue());
  }
  LayoutColorBox(viewInfo, IsInplace);
}

void TqvCustomColorComboBoxViewData::DisplayValueToDrawText(const Variant& ADisplayValue,
                                                            TqvCustomTextEditViewInfo* AViewInfo) {
  inherited::DisplayValueToDrawText(ADisplayValue, AViewInfo);
  TqvCustomTextEdit* edit = GetTextEdit();
  if (!edit) return;
  auto* viewInfo = static_cast<TqvCustomColorComboBoxViewInfo*>(AViewInfo);
  const Integer index = edit->GetLookupData() ? edit->GetLookupData()->GetItemIndex() : -1;
  GetProperties()->SetViewInfoColor(index, viewInfo, edit->GetEditValue());
}

void TqvCustomColorComboBoxViewData::EditValueToViewInfo(TqvCanvas* ACanvas, const Variant& AEditValue,
                                                         TqvCustomEditViewInfo* AViewInfo) {
  inherited::EditValueToViewInfo(ACanvas, AEditValue, AViewInfo);
  auto* viewInfo = static_cast<TqvCustomColorComboBoxViewInfo*>(AViewInfo);
  TqvCustomColorComboBoxProperties* properties = GetProperties();
  if (!GetTextEdit()) properties->SetViewInfoColor(properties->IndexOfColorValue(AEditValue), viewInfo, AEditValue);
  if (!viewInfo->ContentRect.IsEmpty()) LayoutColorBox(viewInfo, IsInplace);
}

TSize TqvCustomColorComboBoxViewData::GetEditContentSize(TqvCanvas* ACanvas, const Variant& AEditValue,
                                                         const TqvEditSizeProperties& ASizeProperties) {
  TqvCustomColorComboBoxProperties* properties = GetProperties();
  TColor color = properties->GetDefaultColor();
  String text;
  if (properties->GetShowDescriptions()) properties->TranslateValue(AEditValue, color, text);
  TSize size = CalculateEditTextSize(ACanvas, this, text, true, ASizeProperties, GetDrawTextFlags());
  if (properties->GetShowDescriptions()) size.cx += properties->GetColorBoxWidth() + 6;
  return size;
}

// -- Control

TqvCustomColorComboBox::TqvCustomColorComboBox(TComponent* AOwner, bool AIsInplace)
    : TqvCustomComboBox(AOwner, AIsInplace) {}

TqvCustomEditPropertiesClass TqvCustomColorComboBox::PropertiesClass() {
  return &TqvCustomColorComboBoxProperties::StaticClass();
}
TqvCustomEditPropertiesClass TqvColorComboBox::PropertiesClass() { return &TqvColorComboBoxProperties::StaticClass(); }

void TqvCustomColorComboBox::SetColorValue(TColor Value) {
  if (Value == FColorValue) return;
  FColorValue = Value;
  FSavedColor = Value;
  TLockSwitchScope<TqvCustomTextEdit, &TqvCustomTextEdit::LockClick> clickLock(this);
  SetEditValue(Integer(Value));
}

void TqvCustomColorComboBox::SetEditValue(const Variant& Value) {
  if (HasState(csDestroying)) return;
  inherited::SetEditValue(Value);
}

void TqvCustomColorComboBox::Loaded() {
  inherited::Loaded();
  if (GetProperties()->GetItems()->IndexOfColor(FColorValue) >= 0) {
    TLockSwitchScope<TqvCustomTextEdit, &TqvCustomTextEdit::LockClick> clickLock(this);
    SetEditValue(Integer(FColorValue));
  }
}

void TqvCustomColorComboBox::LookupKeyToEditValue(const Variant& AKey, Variant& AEditValue) {
  const Integer key = LookupKeyToIndex(AKey);
  TqvCustomColorComboBoxProperties* properties = GetProperties();
  const Integer count = properties->GetMRUColors()->GetCount() + properties->GetItems()->GetCount();
  if (key < 0 || key >= count) {
    AEditValue = Null();
    FColorValue = FSavedColor;
    return;
  }
  FColorValue = properties->GetColorByIndex(key);
  AEditValue = Integer(FColorValue);
}

void TqvCustomColorComboBox::DisplayToEditValue(const Variant&, Variant& AEditValue, bool) {
  LookupKeyToEditValue(GetLookupData() ? GetLookupData()->GetCurrentKey() : Variant(-1), AEditValue);
}

void TqvCustomColorComboBox::SynchronizeDisplayValue() {
  TAliveToken alive = AliveToken();
  SynchronizeLookupItem();
  if (!alive) return;
  if (TqvCustomTextEditLookupData* lookup = GetLookupData()) {
    Variant value;
    LookupKeyToEditValue(lookup->GetCurrentKey(), value);
  }
  ResetFindSelection();
  UpdateDisplayedText();
}

void TqvCustomColorComboBox::UpdateDisplayedText() {
  inherited::UpdateDisplayedText();
  TqvCustomColorComboBoxProperties* properties = GetProperties();
  TqvCustomTextEditLookupData* lookup = GetLookupData();
  const Integer key = lookup ? lookup->GetItemIndex() : -1;
  String text;
  if (key >= 0) {
    text = properties->GetDisplayTextByIndex(key);
  } else {
    TColor color = properties->GetDefaultColor();
    properties->TranslateValue(GetEditValue(), color, text);
    if (!properties->GetShowDescriptions()) text.clear();
  }
  SetInnerEditValue(text);
}

void TqvCustomColorComboBox::CalculatePopupContentSize(TSize& ASize) {
  inherited::CalculatePopupContentSize(ASize);
  ASize.cx += GetProperties()->GetColorBoxWidth();
}

void TqvCustomColorComboBox::CloseUp(bool AAccept) {
  const bool wasOpen = HasPopupWindow();
  TAliveToken alive = AliveToken();
  inherited::CloseUp(AAccept);
  if (!alive || !wasOpen || !AAccept || !GetLookupData()) return;
  const Integer key = GetLookupData()->GetItemIndex();
  if (key >= 0) UpdateMRUColors(GetProperties()->GetColorByIndex(key));
}

void TqvCustomColorComboBox::UpdateMRUColors(TColor AColor) {
  const Integer result = GetProperties()->AddMRUColor(AColor);
  if (result != 1 && result != 2) return;
  // The current item keeps its colour: the edit value and its modified state stay.
  if (auto* lookup = As<TqvColorComboBoxLookupData>(GetLookupData())) lookup->LocateMRUColor(AColor);
}

void TqvCustomColorComboBox::DoButtonClick(Integer AButtonVisibleIndex) {
  TAliveToken alive = AliveToken();
  inherited::DoButtonClick(AButtonVisibleIndex);
  if (!alive) return;
  if (GetViewInfo()->GetButton(AButtonVisibleIndex)->ButtonIndex == kSelectColorButton) SelectCustomColor();
}

void TqvCustomColorComboBox::SelectCustomColor() {
  TqvCustomColorComboBoxProperties* properties = GetProperties();
  TColor color = clNone;
  String description;
  bool addToList = true;
  TAliveToken alive = AliveToken();
  if (properties->GetColorDialogType() == qvcdtDefault) {
    TOwned<TColorDialog> dialog = MakeOwned<TColorDialog>(nullptr);
    dialog->SetColor(FColorValue);
    bool accepted = false;
    {
      TValueScope dialogOpen(FIsDialogOpen, true, alive);
      accepted = dialog->Execute();
    }
    if (!alive || !accepted) return;
    color = dialog->GetColor();
  }
  if (properties->OnSelectCustomColor) properties->OnSelectCustomColor(this, color, description, addToList);
  // Nothing chosen: the request counts as cancelled, and no clNone entry joins the list.
  if (!alive || color == clNone) return;
  auto* lookup = As<TqvColorComboBoxLookupData>(GetLookupData());
  if (addToList && properties->IndexOfColor(color) == -1) {
    properties->GetItems()->AddColor(color, description);
    properties->AddMRUColor(color);
  } else if (lookup) {
    lookup->SetItemIndex(properties->IndexOfColor(color));
  }
  if (!alive) return;
  UpdateMRUColors(color);
  if (!alive || !addToList || !DoEditing()) return;
  SetColorValue(color);
  if (!alive) return;
  if (lookup) {
    const Integer recent = properties->GetMRUColors()->IndexOfColor(color);
    if (recent >= 0) lookup->SetItemIndex(recent);
  }
  SetModifiedAfterEnter(true);
  PostEditValue();
}

void TqvCustomColorComboBox::ClearColorValue() {
  TAliveToken alive = AliveToken();
  InternalSetEditValue(Null(), false);
  if (!alive) return;
  SynchronizeDisplayValue();
  if (!alive) return;
  SetModifiedAfterEnter(true);
  if (GetActiveProperties()->GetImmediatePost() && CanPostEditValue()) PostEditValue();
}

void TqvCustomColorComboBox::DoEditKeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_DELETE) {
    if (DoEditing()) ClearColorValue();
    Key = 0;
    return;
  }
  inherited::DoEditKeyDown(Key, Shift);
}

void TqvCustomColorComboBox::PropertiesChanged(TObject* Sender) {
  if (FPropertiesChanging) return;
  TValueScope changing(FPropertiesChanging, true, AliveToken());
  TqvCustomColorComboBoxProperties* properties = GetProperties();
  TqvEditButtons* buttons = properties->GetButtons();
  const bool select = properties->GetAllowSelectColor();
  const Integer glyphIndex = select ? kSelectColorButton : 0;
  if (glyphIndex < buttons->GetCount()) {
    TBitmap* glyph = buttons->GetItem(glyphIndex)->FindGlyph();
    TqvEditButtonKind kind = select ? bkEllipsis : bkDown;
    if (glyph && !glyph->GetEmpty()) kind = bkGlyph;
    buttons->GetItem(glyphIndex)->SetKind(kind);
  }
  inherited::PropertiesChanged(Sender);
}
