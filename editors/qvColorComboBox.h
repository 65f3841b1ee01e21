// Colour names and colour value texts: the four constant colour tables (the platform's colour
// identifiers, the HTML 4 colours, the X11 colours alphabetically and by colour family) and the
// operations that turn a colour into the text a colour list shows.
#pragma once

#include <array>

#include "platform/forms/Graphics.h"

// How a colour is named: by the item's own description, or by one of the tables.
enum TqvColorNamingConvention { qvncNone, qvncKordel, qvncHTML4, qvncX11 };
// Which table fills a colour list: none, platform identifiers, HTML 4, X11 alphabetical, X11 by
// colour family.
enum TqvColorPrepareList { qvplNone, qvplKordel, qvplHTML4, qvplX11, qvplX11Ordered };
// How a colour without a name is written.
enum TqvColorValueFormat { qvcvRGB, qvcvHexadecimal, qvcvInteger };

constexpr Integer PlatformColorCount = 52;
constexpr Integer HTML4ColorCount = 16;
constexpr Integer X11ColorCount = 140;

// Parallel tables, a value and a name per row. Row order matters: a search takes the first row
// with the value, and a list is filled in row order. "Aqua" and "Cyan", and "Fuchsia" and
// "Magenta", share a value.
extern const std::array<TColor, PlatformColorCount> PlatformColorValues;
extern const std::array<const char*, PlatformColorCount> PlatformColorNames;
extern const std::array<TColor, HTML4ColorCount> HTML4ColorValues;
extern const std::array<const char*, HTML4ColorCount> HTML4ColorNames;
extern const std::array<TColor, X11ColorCount> X11ColorValues;
extern const std::array<const char*, X11ColorCount> X11ColorNames;
// The X11 colours by colour family; only for filling lists, never for naming.
extern const std::array<TColor, X11ColorCount> X11OrderedColorValues;
extern const std::array<const char*, X11ColorCount> X11OrderedColorNames;

// The name of the first row holding exactly AColor; without one False, and AName is unchanged.
bool FindPlatformColorName(TColor AColor, String& AName);
bool FindHTML4ColorName(TColor AColor, String& AName);
bool FindX11ColorName(TColor AColor, String& AName);

// qvcvInteger: the raw value as a signed decimal. Otherwise the colour resolved to RGB (system
// colours take their current value): "255.0.0" (qvcvRGB) or "FF0000" (qvcvHexadecimal).
String ColorToValueText(TColor AColor, TqvColorValueFormat AFormat);
// qvncNone: ADescription as it is. Otherwise the colour's name in the convention's table, or its
// value text when the table has no row for it.
String GetColorText(TColor AColor, const String& ADescription, TqvColorNamingConvention ANamingConvention,
                    TqvColorValueFormat AFormat);
