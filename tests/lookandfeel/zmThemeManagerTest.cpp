// The theme manager: availability by class mask, the handle cache, and the change broadcast.
#include "LookAndFeelTestSupport.h"

namespace {

using ThemeManager = TLookAndFeelTest;

TEST_F(ThemeManager, AvailabilityFollowsTheSwitchAndTheClasses) {
  EXPECT_TRUE(AreThemesAvailable());
  EXPECT_TRUE(AreThemesAvailable(ThemeClassMask(totButton) | ThemeClassMask(totTab)));
  EXPECT_FALSE(AreThemesAvailable(ThemeClassMask(totClock))) << "a class the theme lacks";
  ThemeEngine::SetEnabled(false);
  EXPECT_FALSE(AreThemesAvailable());
  EXPECT_EQ(OpenTheme(totButton), nullptr);
}

TEST_F(ThemeManager, HandlesAreCachedPerClass) {
  HTHEME a = OpenTheme(totHeader);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(OpenTheme(totHeader), a);
  EXPECT_EQ(OpenTheme(totHeader, u"HEADER"), a) << "the same list, compared without case";
  HTHEME b = OpenTheme(totHeader, u"Button");
  EXPECT_NE(b, a) << "another list reopens";
  EXPECT_EQ(CloseThemeData(a), E_HANDLE) << "the old handle was closed";
  CloseAllThemes();
  EXPECT_NE(OpenTheme(totHeader), b) << "reopened with the stored list";
}

TEST_F(ThemeManager, AChangeClosesHandlesBeforeSubscribersHear) {
  HTHEME before = OpenTheme(totButton);
  HTHEME seen = nullptr;
  bool activeSeen = true;
  TzmThemeChangedNotificator n;
  n.OnThemeChanged = [&] {
    activeSeen = AreThemesAvailable();
    seen = OpenTheme(totButton);
  };
  ThemeEngine::SetEnabled(false);
  EXPECT_FALSE(activeSeen);
  EXPECT_EQ(seen, nullptr);
  EXPECT_EQ(CloseThemeData(before), E_HANDLE);
  ThemeEngine::SetEnabled(true);
  EXPECT_TRUE(activeSeen);
  EXPECT_NE(seen, nullptr);
}

TEST_F(ThemeManager, ARaisingSubscriberReachesTheHandlerAndTheOthersStillHear) {
  std::vector<String> heard;
  TzmThemeChangedNotificator first, second;
  first.OnThemeChanged = [] { throw Exception("theme boom"); };
  second.OnThemeChanged = [&] { heard.push_back("second"); };
  auto saved = Application->OnException;
  Application->OnException = [&](TObject*, Exception* e) { heard.push_back(e->Message()); };
  BroadcastThemeChange();
  Application->OnException = saved;
  EXPECT_EQ(heard, (std::vector<String>{"theme boom", "second"}));
}

TEST_F(ThemeManager, ClassNamesInTheirFixedOrder) {
  EXPECT_EQ(GetThemeClassName(totButton), u"Button");
  EXPECT_EQ(GetThemeClassName(totTrackBar), u"TrackBar");
  EXPECT_EQ(GetThemeClassName(totWindow), u"Window");
  EXPECT_EQ(totWindow, zmThemeClassCount - 1);
}

}  // namespace
