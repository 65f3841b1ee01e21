#include <gtest/gtest.h>

#include "platform/os/Gdi.h"
#include "platform/os/Theme.h"

namespace {

// Without a theme engine every caller must fall back to its classic drawing.
TEST(GdiTheme, NoThemeIsActive) {
  EXPECT_FALSE(IsThemeActive());
  EXPECT_FALSE(IsAppThemed());
  EXPECT_EQ(OpenThemeData(nullptr, u"Button"), nullptr);
  EXPECT_EQ(CloseThemeData(nullptr), S_OK);
  RECT r{0, 0, 10, 10}, content;
  SIZE size;
  COLORREF color;
  EXPECT_TRUE(FAILED(DrawThemeBackground(nullptr, nullptr, 1, 1, &r, nullptr)));
  EXPECT_TRUE(FAILED(GetThemeBackgroundContentRect(nullptr, nullptr, 1, 1, &r, &content)));
  EXPECT_TRUE(FAILED(GetThemePartSize(nullptr, nullptr, 1, 1, &r, TS_TRUE, &size)));
  EXPECT_TRUE(FAILED(GetThemeColor(nullptr, 1, 1, 3803, &color)));
  EXPECT_TRUE(FAILED(DrawThemeText(nullptr, nullptr, 1, 1, u"x", 1, 0, 0, &r)));
  EXPECT_TRUE(FAILED(DrawThemeParentBackground(nullptr, nullptr, &r)));
  EXPECT_FALSE(IsThemeBackgroundPartiallyTransparent(nullptr, 1, 1));
  WideChar name[8] = u"junk";
  EXPECT_TRUE(FAILED(GetCurrentThemeName(name, 8, nullptr, 0, nullptr, 0)));
  EXPECT_EQ(name[0], 0);
}

}  // namespace
