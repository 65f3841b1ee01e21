// The colour tables and the colour-to-text operations.
#include "editors/qvColorComboBox.h"

#include <string_view>

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
