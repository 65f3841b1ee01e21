#include <gtest/gtest.h>

#include <cstring>

#include "app/DBImage.h"
#include "app/SampleImage.h"
#include "platform/rtl/SysUtils.h"

using namespace ImageLayout;

namespace {

class DBImageTest : public ::testing::Test {
 protected:
  void SetUp() override { BuildSampleImage(image, 7, TSampleSize::Small); }
  TDBImage image;
};


TEST(DBImageFields, BigEndianAccessorsAndBounds) {
  TDBImage image;
  image.SetU32(0, Magic);
  EXPECT_EQ(image.Data()[0], 0xBA);
  EXPECT_EQ(image.Data()[3], 0x03);
  EXPECT_TRUE(image.HasMagic());
  image.SetU16(10, 0x1234);
  EXPECT_EQ(image.Data()[10], 0x12);
  EXPECT_EQ(image.U16(10), 0x1234);

  EXPECT_THROW(image.U8(TDBImage::Size), ERangeError);
  EXPECT_THROW(image.U16(TDBImage::Size - 1), ERangeError);
  EXPECT_THROW(image.SetU32(TDBImage::Size - 3, 1), ERangeError);
  EXPECT_THROW(image.Text(TDBImage::Size - 4, 20), ERangeError);
  EXPECT_NO_THROW(image.U32(TDBImage::Size - 4));
}

TEST(DBImageFields, NameFieldsNeverOverflow) {
  TDBImage image;
  image.Fill(100, 30, 0xAA);
  image.SetText(100, 20, "A channel name that is far too long");
  EXPECT_EQ(image.Text(100, 20), "A channel name that");  // 19 characters and the NUL
  EXPECT_EQ(image.U8(119), 0);
  EXPECT_EQ(image.U8(120), 0xAA);  // the byte after the field is untouched
}

TEST(DBImageFields, SatelliteNameFillingItsFieldReadsThirtyTwoCharacters) {
  TDBImage image;
  size_t entry = TDBImage::SatelliteOffset(0);
  image.SetU8(entry, 1);
  std::memset(image.Data() + entry + 1, 'S', SatelliteNameSize);
  image.SetU8(entry + 33, 0x41);  // the LNB id right behind the name
  image.SetU8(TDBImage::SatelliteOffset(1), EndId);
  auto sats = image.Satellites();
  ASSERT_EQ(sats.size(), 1u);
  EXPECT_EQ(sats[0].Name, String(32, 'S'));
  EXPECT_EQ(sats[0].LnbId, 0x41);
}

TEST(DBImageFields, FullSatelliteTableHasNoEndMarker) {
  TDBImage image;
  BuildSampleImage(image, 3, TSampleSize::Full);
  EXPECT_EQ(image.Satellites().size(), size_t(SatelliteCount));
  EXPECT_EQ(image.Transponders().size(), size_t(TransponderCount));
  EXPECT_EQ(image.OrderList(true).size(), size_t(FirstRadioSlot));
  EXPECT_EQ(image.OrderList(false).size(), size_t(SlotCount - FirstRadioSlot));
}

TEST_F(DBImageTest, WalkersReadTheSampleTables) {
  EXPECT_EQ(image.Lnbs().size(), 4u);
  EXPECT_EQ(image.Satellites().size(), 5u);
  auto tps = image.Transponders();
  ASSERT_EQ(tps.size(), 60u);
  EXPECT_EQ(tps[1].first, 3);  // scattered entries, table order
  EXPECT_EQ(tps[1].second.Id, 3);
  EXPECT_EQ(image.OrderList(true).size(), 500u);
  EXPECT_EQ(image.OrderList(false).size(), 100u);
  EXPECT_EQ(image.FavoriteGroupName(0), "Group 1");
}

TEST_F(DBImageTest, OrderAndFavoriteEntriesNamingNoSlotAreSkipped) {
  image.SetOrderList(true, {5, 10000, 0xFFFE, 6});
  EXPECT_EQ(image.OrderList(true), (std::vector<uint16_t>{5, 6}));
  image.SetFavoriteList(2, false, {7001, 20000, 7002});
  EXPECT_EQ(image.FavoriteList(2, false), (std::vector<uint16_t>{7001, 7002}));
}

TEST_F(DBImageTest, TenThousandEntryOrderListIsReadWhole) {
  std::vector<uint16_t> all;
  for (int i = 0; i < OrderListLength; ++i) all.push_back(static_cast<uint16_t>(i));
  image.SetOrderList(true, all);
  EXPECT_EQ(image.OrderList(true).size(), size_t(OrderListLength));
  EXPECT_EQ(image.U16(RadioOrderList - 2), 9999);  // no end marker was written past the list
}

TEST_F(DBImageTest, WriteChannelKeepsEveryByteItDoesNotInterpret) {
  TDBImage before = image;
  size_t base = TDBImage::SlotOffset(12);
  TChannelFields ch = image.Channel(12);
  ch.HD = !ch.HD;
  ch.Name = "Renamed";
  image.WriteChannel(12, ch);
  EXPECT_EQ(image.U8(base + Slot::Flags) ^ before.U8(base + Slot::Flags), Slot::HdFlag);
  for (size_t i = 0; i < SlotSize; ++i) {
    if (i >= Slot::Name && i < Slot::Name + ChannelNameSize) continue;
    if (i == Slot::Flags) continue;
    EXPECT_EQ(image.U8(base + i), before.U8(base + i)) << "slot byte " << i;
  }
  EXPECT_EQ(image.Channel(12).Name, "Renamed");
}

TEST_F(DBImageTest, AllocChannelSlotTakesTheFirstFreeSlotOfItsRange) {
  EXPECT_EQ(image.AllocChannelSlot(true), 500);
  EXPECT_EQ(image.SlotNumber(500), 500);
  EXPECT_EQ(image.AllocChannelSlot(false), 7100);
  image.FreeChannelSlot(3);
  EXPECT_EQ(image.AllocChannelSlot(true), 3);
}

TEST(DBImageAlloc, ExhaustedRangesAreRefused) {
  TDBImage image;
  BuildSampleImage(image, 1, TSampleSize::Full);
  EXPECT_EQ(image.AllocChannelSlot(true), -1);
  EXPECT_EQ(image.AllocChannelSlot(false), -1);
  EXPECT_EQ(image.AllocTransponderId(), -1);
}

TEST(DBImageAlloc, TransponderIdIsNeverOneInUse) {
  TDBImage image;
  for (int i = 0; i < TransponderCount; ++i) image.SetU16(TDBImage::TransponderOffset(i), EndMark);
  // As after a compacting save: entries 0 and 1 carry ids 1 and 4; entry 2 is the first free one.
  image.SetU16(TDBImage::TransponderOffset(0), 1);
  image.SetU16(TDBImage::TransponderOffset(1), 4);
  EXPECT_EQ(image.AllocTransponderId(), 2);  // its own index is free to use
  image.SetU16(TDBImage::TransponderOffset(3), 0);
  image.SetU16(TDBImage::TransponderOffset(4), 3);
  image.SetU16(TDBImage::TransponderOffset(5), 5);
  // Entry 6 is the first free one and no transponder carries id 6.
  EXPECT_EQ(image.AllocTransponderId(), 6);
  image.SetU16(TDBImage::TransponderOffset(6), 8);  // entry 6 now carries id 8
  image.SetU16(TDBImage::TransponderOffset(7), 6);
  // Entry 8 is free but id 8 is taken: the lowest unused id (7) is handed out.
  EXPECT_EQ(image.AllocTransponderId(), 7);
  EXPECT_EQ(image.U16(TDBImage::TransponderOffset(8)), 7);
}

TEST_F(DBImageTest, FreeChannelSlotRemovesEveryFavoriteOccurrence) {
  for (int g = 0; g < FavoriteGroupCount; ++g) {
    image.SetFavoriteList(g, true, {4, 9, 4, 11});
    image.SetFavoriteList(g, false, {4, 7001});
  }
  image.FreeChannelSlot(4);
  for (int g = 0; g < FavoriteGroupCount; ++g) {
    EXPECT_EQ(image.FavoriteList(g, true), (std::vector<uint16_t>{9, 11}));
    EXPECT_EQ(image.FavoriteList(g, false), (std::vector<uint16_t>{7001}));
    size_t tvList = FavoriteGroups + g * FavoriteGroupSize + FavoriteTvList;
    for (int i = 2; i < FavoriteListLength; ++i) EXPECT_EQ(image.U16(tvList + 2 * i), EndMark);
  }
  size_t base = TDBImage::SlotOffset(4);
  EXPECT_EQ(image.SlotNumber(4), EndMark);
  EXPECT_EQ(image.U8(base), 0);
  EXPECT_EQ(image.U8(base + SlotSize - 1), 0);
}

TEST_F(DBImageTest, ListsLongerThanTheirRoomAreRefusedWhole) {
  TDBImage before = image;
  std::vector<uint16_t> tooMany(OrderListLength + 1, 5);
  EXPECT_THROW(image.SetOrderList(false, tooMany), ERangeError);
  EXPECT_THROW(image.SetFavoriteList(0, true, std::vector<uint16_t>(FavoriteListLength + 1, 5)), ERangeError);
  EXPECT_EQ(std::memcmp(image.Data(), before.Data(), TDBImage::Size), 0);
}

TEST_F(DBImageTest, BadSlotAndGroupNumbersAreRefused) {
  EXPECT_THROW(image.Channel(10000), ERangeError);
  EXPECT_THROW(image.FreeChannelSlot(-1), ERangeError);
  EXPECT_THROW(image.FavoriteList(7, true), ERangeError);
}

}  // namespace
