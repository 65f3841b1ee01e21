// Colour names and value texts: tables of colour, naming convention and value format -> text,
// the first-match rule of the shared values, and the shape of the four tables.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "editors/qvColorComboBox.h"
#include "platform/os/Gdi.h"
#include "platform/os/Theme.h"
#include "support/EnumNames.h"

namespace {

std::string ConventionName(TqvColorNamingConvention c) {
  return NameOf(c, {QJ_NAMED(qvncNone), QJ_NAMED(qvncKordel), QJ_NAMED(qvncHTML4), QJ_NAMED(qvncX11)});
}
std::string FormatName(TqvColorValueFormat f) {
  return NameOf(f, {QJ_NAMED(qvcvRGB), QJ_NAMED(qvcvHexadecimal), QJ_NAMED(qvcvInteger)});
}

struct TColorNameCase {
  TColor Color;
  TqvColorNamingConvention Convention;
  TqvColorValueFormat Format;
  const char* Text;
};

std::ostream& operator<<(std::ostream& os, const TColorNameCase& c) {
  return os << IntToHex(c.Color, 8) << " " << ConventionName(c.Convention) << " " << FormatName(c.Format);
}

// The classic palette, so that system colours give their classic values.
class TqvColorTextTest : public ::testing::TestWithParam<TColorNameCase> {
 protected:
  void SetUp() override {
    ThemeEngine::SetEnabled(false);
    ResetSysColors();
  }
  void TearDown() override { ThemeEngine::SetEnabled(true); }
};

TEST_P(TqvColorTextTest, GivesTheText) {
  const TColorNameCase& c = GetParam();
  EXPECT_EQ(GetColorText(c.Color, "my colour", c.Convention, c.Format), c.Text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TqvColorTextTest,
    ::testing::Values(
        TColorNameCase{clRed, qvncKordel, qvcvRGB, "clRed"}, TColorNameCase{clRed, qvncHTML4, qvcvRGB, "Red"},
        TColorNameCase{clRed, qvncX11, qvcvRGB, "Red"}, TColorNameCase{clRed, qvncNone, qvcvRGB, "my colour"},
        TColorNameCase{0x00FFFF00, qvncX11, qvcvRGB, "Aqua"}, TColorNameCase{0x00FF00FF, qvncX11, qvcvRGB, "Fuchsia"},
        TColorNameCase{0x00FFF8F0, qvncX11, qvcvRGB, "AliceBlue"},
        TColorNameCase{0x00D3D3D3, qvncX11, qvcvRGB, "LightGrey"},
        TColorNameCase{0x00FFF8F0, qvncHTML4, qvcvHexadecimal, "F0F8FF"},
        TColorNameCase{0x00123456, qvncX11, qvcvRGB, "86.52.18"},
        TColorNameCase{0x00123456, qvncX11, qvcvHexadecimal, "563412"},
        TColorNameCase{0x00123456, qvncX11, qvcvInteger, "1193046"},
        TColorNameCase{0x00123456, qvncKordel, qvcvHexadecimal, "563412"},
        TColorNameCase{0x00C0DCC0, qvncKordel, qvcvRGB, "clMoneyGreen"},
        TColorNameCase{0x00C0DCC0, qvncHTML4, qvcvRGB, "192.220.192"},
        TColorNameCase{clWindow, qvncKordel, qvcvRGB, "clWindow"},
        TColorNameCase{clWindow, qvncHTML4, qvcvRGB, "255.255.255"},
        TColorNameCase{clWindow, qvncHTML4, qvcvHexadecimal, "FFFFFF"},
        TColorNameCase{clBtnFace, qvncX11, qvcvRGB, "192.192.192"},
        TColorNameCase{clBtnFace, qvncKordel, qvcvRGB, "clBtnFace"},
        TColorNameCase{clNone, qvncKordel, qvcvRGB, "clNone"}, TColorNameCase{clDefault, qvncKordel, qvcvRGB, "clDefault"},
        TColorNameCase{clNone, qvncHTML4, qvcvHexadecimal, "FFFFFF"},
        TColorNameCase{clNone, qvncHTML4, qvcvRGB, "255.255.255"},
        TColorNameCase{0x00000000, qvncHTML4, qvcvRGB, "Black"}, TColorNameCase{0x00000080, qvncX11, qvcvRGB, "Maroon"}));

TEST(TqvColorValueText, IntegerIsTheRawSignedValue) {
  EXPECT_EQ(ColorToValueText(clWindow, qvcvInteger), "-16777211");
  EXPECT_EQ(ColorToValueText(clBtnFace, qvcvInteger), "-16777201");
  EXPECT_EQ(ColorToValueText(clRed, qvcvInteger), "255");
}

TEST(TqvColorValueText, SystemColoursTakeTheirCurrentValue) {
  ResetSysColors();
  const int index = COLOR_WINDOW;
  const COLORREF old = GetSysColor(index);
  const COLORREF changed = RGB(1, 2, 3);
  SetSysColors(1, &index, &changed);
  EXPECT_EQ(ColorToValueText(clWindow, qvcvRGB), "1.2.3");
  EXPECT_EQ(ColorToValueText(clWindow, qvcvHexadecimal), "010203");
  SetSysColors(1, &index, &old);
}

TEST(TqvColorNames, NotFoundLeavesTheNameUnchanged) {
  String name = "kept";
  EXPECT_FALSE(FindX11ColorName(0x00123456, name));
  EXPECT_FALSE(FindHTML4ColorName(0x00123456, name));
  EXPECT_FALSE(FindPlatformColorName(0x00123456, name));
  EXPECT_EQ(name, "kept");
  EXPECT_TRUE(FindPlatformColorName(cl3DLight, name));
  EXPECT_EQ(name, "cl3DLight");
}

TEST(TqvColorNames, NoneKeepsAnEmptyDescription) { EXPECT_EQ(GetColorText(clRed, "", qvncNone, qvcvRGB), ""); }

// Every X11 name finds itself, except the second of the two pairs that share a value.
TEST(TqvColorTables, OnlyAquaCyanAndFuchsiaMagentaShareAValue) {
  std::set<std::string> shadowed;
  for (Integer i = 0; i < X11ColorCount; ++i) {
    String name;
    ASSERT_TRUE(FindX11ColorName(X11ColorValues[i], name));
    if (name != X11ColorNames[i]) shadowed.insert(X11ColorNames[i]);
  }
  EXPECT_EQ(shadowed, (std::set<std::string>{"Cyan", "Magenta"}));
}

TEST(TqvColorTables, AlphabeticalTableIsSortedAndUnique) {
  for (Integer i = 1; i < X11ColorCount; ++i) EXPECT_LT(std::string(X11ColorNames[i - 1]), X11ColorNames[i]);
}

TEST(TqvColorTables, FamilyOrderHoldsTheSamePairs) {
  std::set<std::pair<std::string, TColor>> alphabetical, family;
  for (Integer i = 0; i < X11ColorCount; ++i) {
    alphabetical.insert({X11ColorNames[i], X11ColorValues[i]});
    family.insert({X11OrderedColorNames[i], X11OrderedColorValues[i]});
  }
  EXPECT_EQ(alphabetical, family);
  EXPECT_STREQ(X11OrderedColorNames[0], "LightPink");
  EXPECT_STREQ(X11OrderedColorNames[12], "Magenta");
  EXPECT_STREQ(X11OrderedColorNames[13], "Fuchsia");
  EXPECT_STREQ(X11OrderedColorNames[X11ColorCount - 1], "Black");
}

TEST(TqvColorTables, HTML4ColoursAreTheirX11Namesakes) {
  for (Integer i = 0; i < HTML4ColorCount; ++i) {
    String name;
    ASSERT_TRUE(FindX11ColorName(HTML4ColorValues[i], name)) << HTML4ColorNames[i];
    EXPECT_EQ(name, HTML4ColorNames[i]);
  }
}

TEST(TqvColorTables, PlatformTableHasItsValuesOnce) {
  std::set<TColor> values(PlatformColorValues.begin(), PlatformColorValues.end());
  EXPECT_EQ(values.size(), size_t(PlatformColorCount));
  EXPECT_STREQ(PlatformColorNames[0], "clBlack");
  EXPECT_STREQ(PlatformColorNames[PlatformColorCount - 1], "clWindowText");
}


// The X11 names carry the values HTML and CSS give them, not the historical X11 ones (gray,
// green, maroon and purple differ there), written red first as "#RRGGBB".
struct TNamedValueCase {
  const char* Name;
  const char* Html;
};

std::ostream& operator<<(std::ostream& os, const TNamedValueCase& c) { return os << c.Name; }

class TqvColorNamedValueTest : public ::testing::TestWithParam<TNamedValueCase> {};

TEST_P(TqvColorNamedValueTest, NameHasTheHtmlValue) {
  const TNamedValueCase& c = GetParam();
  Integer row = -1;
  for (Integer i = 0; i < X11ColorCount; ++i)
    if (std::string(X11ColorNames[i]) == c.Name) row = i;
  ASSERT_GE(row, 0);
  EXPECT_EQ("#" + ColorToValueText(X11ColorValues[row], qvcvHexadecimal), c.Html);
  for (Integer i = 0; i < X11ColorCount; ++i) {
    if (std::string(X11OrderedColorNames[i]) == c.Name) {
      EXPECT_EQ(X11OrderedColorValues[i], X11ColorValues[row]);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Table, TqvColorNamedValueTest,
                         ::testing::Values(TNamedValueCase{"Gray", "#808080"}, TNamedValueCase{"Green", "#008000"},
                                           TNamedValueCase{"Maroon", "#800000"}, TNamedValueCase{"Purple", "#800080"},
                                           TNamedValueCase{"AliceBlue", "#F0F8FF"},
                                           TNamedValueCase{"DarkSeaGreen", "#8FBC8F"},
                                           TNamedValueCase{"MediumPurple", "#9370DB"},
                                           TNamedValueCase{"LightGrey", "#D3D3D3"},
                                           TNamedValueCase{"Cyan", "#00FFFF"}, TNamedValueCase{"Magenta", "#FF00FF"},
                                           TNamedValueCase{"YellowGreen", "#9ACD32"}));

}  // namespace
