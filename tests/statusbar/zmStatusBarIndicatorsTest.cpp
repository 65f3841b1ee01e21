// The state indicators: the seven lamp bitmaps drawn in code and registered under their resource
// names, and the items and list that tell their panel of every change.
#include <set>

#include "StatusBarTestSupport.h"
#include "statusbar/zmStatusBar.h"

namespace {

using StateIndicators = TStatusBarTest;

const TzmStatusBarStateIndicatorType kTypes[] = {sitOff, sitYellow, sitBlue, sitGreen, sitRed, sitTeal, sitPurple};

TEST_F(StateIndicators, SevenLampsUnderTheirResourceNames) {
  const char* const names[] = {"ZMSTATUSBAR_GRAY", "ZMSTATUSBAR_YELLOW", "ZMSTATUSBAR_BLUE", "ZMSTATUSBAR_GREEN",
                               "ZMSTATUSBAR_RED",  "ZMSTATUSBAR_TEAL",   "ZMSTATUSBAR_PURPLE"};
  RegisterStateIndicatorBitmaps();
  std::set<uint32_t> faces;
  for (size_t i = 0; i < std::size(kTypes); ++i) {
    EXPECT_EQ(GetStateIndicatorResourceName(kTypes[i]), names[i]);
    TBitmap lamp;
    lamp.LoadFromResourceName(nullptr, names[i]);
    ASSERT_EQ(lamp.GetWidth(), 16) << names[i];
    ASSERT_EQ(lamp.GetHeight(), 16) << names[i];
    const uint32_t corner = lamp.ScanLine(15)[0] & 0xFFFFFF, centre = lamp.ScanLine(9)[8] & 0xFFFFFF;
    EXPECT_NE(corner, centre) << names[i] << ": a lamp on a background";
    EXPECT_EQ(corner, lamp.ScanLine(0)[15] & 0xFFFFFF) << "every corner is background";
    faces.insert(centre);
  }
  EXPECT_EQ(faces.size(), std::size(kTypes)) << "seven different colours";
}

TEST_F(StateIndicators, AnItemDrawsItsLampTransparently) {
  TzmStatusBarStateIndicators indicators;
  TzmStatusBarStateIndicatorItem* item = indicators.Add();
  EXPECT_EQ(item->GetIndicatorType(), sitOff);
  EXPECT_TRUE(item->GetVisible());
  item->SetIndicatorType(sitRed);
  TBitmap* lamp = item->GetIndicatorBitmap();
  ASSERT_EQ(lamp->GetWidth(), 16);
  Canvas()->Draw(10, 10, lamp);
  EXPECT_EQ(Pixel(10, 10), Rgb(Paper)) << "the background stays as it was";
  EXPECT_NE(Pixel(18, 19), Rgb(Paper));
  EXPECT_EQ(InkBox().Width(), 14) << "the lamp is round within its 16 pixels";
}

TEST_F(StateIndicators, ChangesOfItemsAndOfTheListNotify) {
  TzmStatusBarStateIndicators indicators;
  Integer changes = 0;
  indicators.OnChange = [&](TObject* Sender) {
    EXPECT_EQ(Sender, &indicators);
    ++changes;
  };
  TzmStatusBarStateIndicatorItem* item = indicators.Add();
  const Integer added = changes;
  EXPECT_GE(added, 1) << "adding changes the list";
  const uint32_t offCentre = item->GetIndicatorBitmap()->ScanLine(9)[8];
  item->SetIndicatorType(sitGreen);
  EXPECT_EQ(changes, added + 1);
  EXPECT_NE(item->GetIndicatorBitmap()->ScanLine(9)[8], offCentre) << "the type's bitmap is loaded";
  item->SetIndicatorType(sitGreen);
  EXPECT_EQ(changes, added + 1) << "the same value is no change";
  item->SetVisible(false);
  EXPECT_EQ(changes, added + 2);

  TzmStatusBarStateIndicators copy;
  copy.Assign(&indicators);
  ASSERT_EQ(copy.GetCount(), 1);
  EXPECT_EQ(copy.GetItem(0)->GetIndicatorType(), sitGreen);
  EXPECT_FALSE(copy.GetItem(0)->GetVisible());
  EXPECT_EQ(copy.GetItem(0)->GetIndicatorBitmap()->ScanLine(9)[8], item->GetIndicatorBitmap()->ScanLine(9)[8]);
  indicators.Delete(0);
  EXPECT_EQ(changes, added + 3);
}

}  // namespace
