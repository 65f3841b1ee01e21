#include <gtest/gtest.h>

#include <cstring>

#include "app/ImageViews.h"
#include "app/SampleImage.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variants.h"
#include "support/ImageViewsFixture.h"

using namespace ImageLayout;

namespace {

class ImageViewsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildSampleImage(image, 5, TSampleSize::Small);
    views.Load(image);
  }
  TDBImage image;
  TImageViewsFixture views;
};

bool SameBytes(const TDBImage& a, const TDBImage& b) { return std::memcmp(a.Data(), b.Data(), TDBImage::Size) == 0; }


TEST_F(ImageViewsTest, LoadFillsOneRecordPerTableEntry) {
  EXPECT_EQ(views.Satellites->GetRecordCount(), 5);
  EXPECT_EQ(views.Transponders->GetRecordCount(), 60);
  ASSERT_EQ(views.Channels->GetRecordCount(), 600);
  // TV first, numbered from 1; radio after them, numbered from 1 again.
  EXPECT_EQ(views.Channels->GetValue(0, ChanColumn::CH_SEQ).AsInteger(), 1);
  EXPECT_EQ(views.Channels->GetValue(500, ChanColumn::CH_SEQ).AsInteger(), 1);
  EXPECT_EQ(views.Channels->GetValue(500, ChanColumn::CH_GB).AsInteger(), 1);
  EXPECT_EQ(views.Channels->GetValue(500, ChanColumn::CH_NO).AsInteger(), 7000);
  TChannelFields ch = image.Channel(7);
  EXPECT_EQ(VarToStr(views.Channels->GetValue(7, ChanColumn::CH_SID)), LowerHex(ch.Sid, 4));
  EXPECT_EQ(views.Transponders->GetValue(1, TpColumn::No).AsInteger(), 4);  // table index + 1
  EXPECT_EQ(views.Transponders->GetValue(1, TpColumn::TpNo).AsInteger(), 3);
}

TEST_F(ImageViewsTest, UneditedRoundTripIsByteIdentical) {
  TDBImage before = image;
  // The sample's transponders are scattered, so compare against a table compacted by hand.
  RebuildImage(image, views.Views());
  auto tpsBefore = before.Transponders();
  auto tpsAfter = image.Transponders();
  ASSERT_EQ(tpsAfter.size(), tpsBefore.size());
  for (size_t p = 0; p < tpsAfter.size(); ++p) {
    EXPECT_EQ(tpsAfter[p].first, Integer(p)) << "compacted to the front in record order";
    EXPECT_EQ(tpsAfter[p].second.Id, tpsBefore[p].second.Id);
    size_t from = TDBImage::TransponderOffset(tpsBefore[p].first), to = TDBImage::TransponderOffset(Integer(p));
    EXPECT_EQ(image.U16(to + 14), before.U16(from + 14)) << "kept bytes travel with the transponder";
  }
  for (Integer p = Integer(tpsAfter.size()); p < TransponderCount; ++p)
    EXPECT_EQ(image.U16(TDBImage::TransponderOffset(p)), EndMark);

  // Outside the transponder table nothing changed.
  size_t tableBegin = TransponderTable, tableEnd = TransponderTable + TransponderCount * TransponderEntrySize;
  for (size_t i = 0; i < TDBImage::Size; ++i) {
    if (i < tableBegin || i >= tableEnd) {
      ASSERT_EQ(image.U8(i), before.U8(i)) << "offset " << i;
    }
  }
}

TEST(ImageViewsRoundTrip, FullImageWithCompactTablesIsByteIdentical) {
  TDBImage image;
  BuildSampleImage(image, 9, TSampleSize::Full);
  TImageViewsFixture views;
  views.Load(image);
  TDBImage before = image;
  RebuildImage(image, views.Views());
  EXPECT_TRUE(SameBytes(image, before));
}

TEST_F(ImageViewsTest, EditsReachTheirSlotsAndOrderLists) {
  views.Channels->SetValue(3, ChanColumn::CH_NAME, "News 24");
  views.Channels->SetValue(3, ChanColumn::CH_TYPE, 1);
  views.Channels->SetValue(3, ChanColumn::CH_SID, "1aF");
  Integer slot = views.Channels->GetValue(3, ChanColumn::CH_NO).AsInteger();
  uint8_t flagsBefore = image.U8(TDBImage::SlotOffset(slot) + Slot::Flags);
  views.Channels->DeleteRecord(0);
  RebuildImage(image, views.Views());
  TChannelFields ch = image.Channel(slot);
  EXPECT_EQ(ch.Name, "News 24");
  EXPECT_TRUE(ch.HD);
  EXPECT_EQ(ch.Sid, 0x1AF);
  EXPECT_EQ(image.U8(TDBImage::SlotOffset(slot) + Slot::Flags) & 0xFC, flagsBefore & 0xFC);
  EXPECT_EQ(image.OrderList(true).size(), 499u);
  EXPECT_EQ(image.OrderList(true)[0], 1);
}

TEST_F(ImageViewsTest, SatellitesBeyondTheViewAreCleared) {
  views.Satellites->DeleteRecord(4);
  RebuildImage(image, views.Views());
  EXPECT_EQ(image.Satellites().size(), 4u);
  size_t entry = TDBImage::SatelliteOffset(4);
  EXPECT_EQ(image.U8(entry), EndId);
  for (size_t i = 1; i < SatelliteEntrySize; ++i) EXPECT_EQ(image.U8(entry + i), 0);
}

TEST(ImageViewsHex, FieldTextsAndValues) {
  EXPECT_EQ(HexFieldText(0x1f), "001f");
  EXPECT_EQ(HexFieldText(0xABCD), "abcd");
  EXPECT_EQ(HexFieldValue("ffff"), 0xFFFF);
  EXPECT_EQ(HexFieldValue("0A"), 0x0A);
  for (const char* bad : {"", "xyz", "10000", "-1", "$10"}) EXPECT_THROW(HexFieldValue(bad), EConvertError) << bad;
}

TEST_F(ImageViewsTest, MoreRadioChannelsThanTheOrderListHoldsAreReportedOnSave) {
  TDBImage before = image;
  views.Channels->BeginUpdate();
  while (views.Channels->GetRecordCount() < 500 + OrderListLength + 1) {
    Integer r = views.Channels->AppendRecord();
    views.Channels->SetValue(r, ChanColumn::CH_GB, 1);
    views.Channels->SetValue(r, ChanColumn::CH_NO, FirstRadioSlot);
  }
  views.Channels->EndUpdate();
  EXPECT_THROW(RebuildImage(image, views.Views()), ERangeError);
  std::vector<String> messages;
  EXPECT_FALSE(SaveImage("/nonexistent-folder/x.img", image, views.Views(), [&](const String& m) { messages.push_back(m); }));
  EXPECT_EQ(messages, std::vector<String>{"Error saving file."});
  EXPECT_TRUE(SameBytes(image, before));
}

TEST_F(ImageViewsTest, FailedRebuildLeavesTheImageUntouched) {
  TDBImage before = image;
  views.Satellites->SetValue(2, SatColumn::Name, "Renamed");
  views.Channels->SetValue(599, ChanColumn::CH_PMT, "not hex");  // the last record of the last step
  EXPECT_THROW(RebuildImage(image, views.Views()), EConvertError);
  EXPECT_TRUE(SameBytes(image, before));

  std::vector<String> messages;
  EXPECT_FALSE(SaveImage("/nonexistent-folder/x.img", image, views.Views(), [&](const String& m) { messages.push_back(m); }));
  EXPECT_EQ(messages, std::vector<String>{"Error saving file."});
  views.Channels->SetValue(599, ChanColumn::CH_PMT, "0100");
  messages.clear();
  EXPECT_FALSE(SaveImage("/nonexistent-folder/x.img", image, views.Views(), [&](const String& m) { messages.push_back(m); }));
  EXPECT_EQ(messages, std::vector<String>{"failed file save."});
}

}  // namespace
