// The shared resources of the tree list units: made once however often the units start, gone
// after the last end.
#include "platform/forms/ImgList.h"
#include "treelist/zmTextEdit.h"
#include "treelist/zmUtils.h"
#include "zmTestSupport.h"

namespace {

TEST(zmFirstDayOfWeek, TheLocalesMondayBasedDayCountsFromSunday) {
  const std::pair<Integer, Integer> cases[] = {{6, 0}, {0, 1}, {2, 3}, {5, 6}};
  for (auto [locale, day] : cases) EXPECT_EQ(FirstDayFromLocale(locale), day) << locale;
}

TEST(zmDateCaptions, StartTakesTheLocaleAndTheCaptions) {
  TFormatSettings fs;
  fs.FirstDayOfWeek = 0;
  TFormatSettingsScope monday(fs);
  zmDateCaptionsStart();
  EXPECT_EQ(FirstDayOfWeek(), 1);
  EXPECT_EQ(TodayCaption(), "Today");
  EXPECT_EQ(ClearCaption(), "Clear");
  zmDateCaptionsEnd();
  EXPECT_EQ(TodayCaption(), "");
}

using zmResources = TFormsTest;

TEST_F(zmResources, StartingTwiceMakesTheResourcesOnceAndEndingTwiceReleasesOnce) {
  HCURSOR arrow = Screen->GetCursors(crArrow);
  zmTreeListUnitStart();
  TCustomImageList* indicators = IndicatorImages();
  HCURSOR deleteCursor = Screen->GetCursors(crzmTLDelete);
  zmTreeListUnitStart();
  EXPECT_EQ(IndicatorImages(), indicators) << "the second start does nothing";
  EXPECT_EQ(Screen->GetCursors(crzmTLDelete), deleteCursor);
  zmTreeListUnitEnd();
  EXPECT_EQ(IndicatorImages(), indicators) << "the first end does nothing";
  zmTreeListUnitEnd();
  EXPECT_EQ(IndicatorImages(), nullptr);
  EXPECT_EQ(Screen->GetCursors(crzmTLDelete), arrow) << "the cursor is no longer registered";
}

TEST_F(zmResources, TheTreeListUnitPreparesItsResources) {
  TzmTreeListUnits units;
  for (TCursor id : {crzmTLDelete, crzmTLFullScroll, crzmTLHorScroll, crzmTLVerScroll, crzmTLUpScroll,
                     crzmTLRightScroll, crzmTLDownScroll, crzmTLLeftScroll, crzmTLDragCopy, crzmTLMultiDragCopy})
    EXPECT_NE(Screen->GetCursors(id), Screen->GetCursors(crArrow)) << id;
  ASSERT_NE(IndicatorImages(), nullptr);
  EXPECT_EQ(IndicatorImages()->GetCount(), 5);
  EXPECT_TRUE(DragArrowBitmap()->GetEmpty());
  EXPECT_TRUE(ExpandPlusBitmap()->GetEmpty());
  EXPECT_TRUE(ExpandMinusBitmap()->GetEmpty());
  EXPECT_EQ(CustomizeCaption(), "Customize");
  EXPECT_EQ(BandsCaption(), "    Bands    ");
  EXPECT_EQ(HeadersCaption(), "   Headers   ");
  EXPECT_NE(TreeListMeasureDC(), nullptr);
  EXPECT_NE(HalftoneBrush(), nullptr);
  EXPECT_NE(ShadowBrush(), nullptr);
  EXPECT_NE(DefaultEditStyleController(), nullptr);
}

TEST_F(zmResources, IndicatorGlyphsAreDrawnBlackOnATransparentGround) {
  TzmTreeListUnits units;
  TBitmap glyph;
  glyph.SetSize(12, 12);
  glyph.GetCanvas()->GetBrush()->SetColor(clRed);
  glyph.GetCanvas()->FillRect(Rect(0, 0, 12, 12));
  IndicatorImages()->Draw(glyph.GetCanvas(), 0, 0, zigArrow);
  EXPECT_EQ(glyph.ScanLine(6)[5], 0u) << "the arrow's black body";
  EXPECT_EQ(glyph.ScanLine(0)[0], 0xFF0000u) << "white is transparent";
}

}  // namespace
