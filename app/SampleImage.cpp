#include "app/SampleImage.h"

#include "platform/rtl/SysUtils.h"

using namespace ImageLayout;

namespace {

struct TSampleCounts {
  int Lnbs, Satellites, Transponders, TvChannels, RadioChannels;
};

TSampleCounts CountsFor(TSampleSize size) {
  if (size == TSampleSize::Full) return {LnbCount, SatelliteCount, TransponderCount, FirstRadioSlot, SlotCount - FirstRadioSlot};
  return {4, 5, 60, 500, 100};
}

// A small deterministic generator (splitmix64): the same seed gives the same image everywhere.
class TSampleRandom {
 public:
  explicit TSampleRandom(uint32_t seed) : FState(seed * 0x9E3779B97F4A7C15ull + 1) {}
  uint32_t Next(uint32_t bound) {
    uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<uint32_t>((z ^ (z >> 31)) % bound);
  }

 private:
  uint64_t FState;
};

void FillKeptPattern(TDBImage& image, uint32_t seed) {
  uint8_t* bytes = image.Data();
  for (size_t i = 0; i < TDBImage::Size; ++i) bytes[i] = SampleKeptByte(seed, i);
}

void BuildLnbs(TDBImage& image, int count) {
  for (int i = 0; i < LnbCount; ++i) {
    size_t entry = LnbTable + i * LnbEntrySize;
    if (i >= count) {
      image.SetU8(entry, EndId);
      break;
    }
    image.SetU8(entry, static_cast<uint8_t>(i));
    image.SetText(entry + 1, LnbNameSize, Format("%d MHz", {9750 + 150 * i}));
  }
}

void BuildSatellites(TDBImage& image, int count) {
  for (int i = 0; i < SatelliteCount; ++i) {
    size_t entry = TDBImage::SatelliteOffset(i);
    if (i >= count) {
      image.Fill(entry, SatelliteEntrySize, 0);
      image.SetU8(entry, EndId);
      continue;
    }
    image.SetU8(entry, static_cast<uint8_t>(i));
    image.SetText(entry + 1, SatelliteNameSize, Format("Satellite %.3d %d.%dE", {i + 1, i / 10, i % 10}));
    image.SetU8(entry + 33, static_cast<uint8_t>(i % 4));
  }
}

// Small images scatter their transponders over the table (free entries between used ones), so
// that a save has something to compact; full images use every entry. Transponder k has the
// table index and id k * stride.
int TransponderStride(int count) { return count < TransponderCount ? 3 : 1; }

void BuildTransponders(TDBImage& image, TSampleRandom& rnd, int count, int satellites) {
  int stride = TransponderStride(count);
  for (int i = 0; i < TransponderCount; ++i) image.SetU16(TDBImage::TransponderOffset(i) + Tp::Id, EndMark);
  for (int k = 0; k < count; ++k) {
    TTransponderEntry tp;
    tp.Id = static_cast<uint16_t>(k * stride);
    tp.Polarisation = static_cast<uint8_t>(rnd.Next(2));
    tp.Fec = static_cast<uint8_t>(rnd.Next(8));
    tp.Frequency = 10700 + rnd.Next(2050);
    tp.SymbolRate = 22000 + 500 * rnd.Next(16);
    tp.SatelliteId = static_cast<uint8_t>(k % satellites);
    tp.DvbType = static_cast<uint8_t>(rnd.Next(3));
    image.WriteTransponder(k * stride, tp);
  }
}

void BuildChannels(TDBImage& image, TSampleRandom& rnd, const TSampleCounts& n) {
  std::vector<uint16_t> tv, radio;
  for (int slot = 0; slot < SlotCount; ++slot) {
    bool isRadio = slot >= FirstRadioSlot;
    int index = isRadio ? slot - FirstRadioSlot : slot;
    if (index >= (isRadio ? n.RadioChannels : n.TvChannels)) {
      image.SetU16(TDBImage::SlotOffset(slot) + Slot::Number, EndMark);
      continue;
    }
    image.SetU16(TDBImage::SlotOffset(slot) + Slot::Number, static_cast<uint16_t>(slot));
    int tpIndex = static_cast<int>(rnd.Next(n.Transponders));
    int stride = TransponderStride(n.Transponders);
    TChannelFields ch;
    ch.Name = Format(isRadio ? "Radio %d" : "Channel %d", {index + 1});
    ch.TransponderId = static_cast<uint16_t>(tpIndex * stride);
    ch.Radio = isRadio;
    ch.HD = !isRadio && rnd.Next(3) == 0;
    ch.Sid = static_cast<uint16_t>(rnd.Next(0x10000));
    ch.PcrPid = static_cast<uint16_t>(rnd.Next(0x2000));
    ch.VideoPid = isRadio ? 0 : static_cast<uint16_t>(rnd.Next(0x2000));
    ch.AudioPid = static_cast<uint16_t>(rnd.Next(0x2000));
    ch.PmtPid = static_cast<uint16_t>(rnd.Next(0x2000));
    ch.SatelliteId = static_cast<uint8_t>(tpIndex % n.Satellites);
    ch.Genre = static_cast<uint8_t>(rnd.Next(16));
    image.WriteChannel(slot, ch);
    (isRadio ? radio : tv).push_back(static_cast<uint16_t>(slot));
  }
  image.SetOrderList(true, tv);
  image.SetOrderList(false, radio);
}

void BuildFavorites(TDBImage& image, TSampleRandom& rnd, const TSampleCounts& n) {
  for (int group = 0; group < FavoriteGroupCount; ++group) {
    size_t base = FavoriteGroups + group * FavoriteGroupSize;
    image.SetText(base, FavoriteNameSize, Format("Group %d", {group + 1}));
    std::vector<uint16_t> tv, radio;
    int tvCount = static_cast<int>(rnd.Next(std::min(n.TvChannels, FavoriteListLength) + 1));
    int radioCount = static_cast<int>(rnd.Next(std::min(n.RadioChannels, FavoriteListLength) + 1));
    for (int i = 0; i < tvCount; ++i) tv.push_back(static_cast<uint16_t>(rnd.Next(n.TvChannels)));
    for (int i = 0; i < radioCount; ++i)
      radio.push_back(static_cast<uint16_t>(FirstRadioSlot + rnd.Next(n.RadioChannels)));
    image.SetFavoriteList(group, true, tv);
    image.SetFavoriteList(group, false, radio);
  }
}

}  // namespace

uint8_t SampleKeptByte(uint32_t seed, size_t offset) {
  return static_cast<uint8_t>((offset * 131u + seed * 7u + (offset >> 8)) & 0xFF);
}

void BuildSampleImage(TDBImage& image, uint32_t seed, TSampleSize size) {
  TSampleCounts n = CountsFor(size);
  TSampleRandom rnd(seed);
  FillKeptPattern(image, seed);
  image.SetU32(0, Magic);
  BuildLnbs(image, n.Lnbs);
  BuildSatellites(image, n.Satellites);
  BuildTransponders(image, rnd, n.Transponders, n.Satellites);
  BuildChannels(image, rnd, n);
  BuildFavorites(image, rnd, n);
}
