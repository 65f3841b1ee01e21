#include "app/DBImage.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

using namespace ImageLayout;

TDBImage::TDBImage() : FBytes(Size, 0) {}

void TDBImage::Clear() { std::fill(FBytes.begin(), FBytes.end(), 0); }

bool TDBImage::HasMagic() const { return U32(0) == Magic; }

void TDBImage::Check(size_t offset, size_t count) const {
  if (offset > Size || count > Size - offset)
    throw ERangeError("Image access at %d (%d bytes) is outside the image", {offset, count});
}

const uint8_t* TDBImage::Span(size_t offset, size_t count) const {
  Check(offset, count);
  return FBytes.data() + offset;
}

uint8_t* TDBImage::Span(size_t offset, size_t count) {
  Check(offset, count);
  return FBytes.data() + offset;
}

namespace {

uint16_t ReadBigEndian16(const uint8_t* at) { return static_cast<uint16_t>((at[0] << 8) | at[1]); }

void WriteBigEndian16(uint8_t* at, uint16_t value) {
  at[0] = static_cast<uint8_t>(value >> 8);
  at[1] = static_cast<uint8_t>(value);
}

}  // namespace

uint8_t TDBImage::U8(size_t offset) const {
  Check(offset, 1);
  return FBytes[offset];
}

uint16_t TDBImage::U16(size_t offset) const { return ReadBigEndian16(Span(offset, 2)); }

uint32_t TDBImage::U32(size_t offset) const {
  Check(offset, 4);
  return (uint32_t(FBytes[offset]) << 24) | (uint32_t(FBytes[offset + 1]) << 16) |
         (uint32_t(FBytes[offset + 2]) << 8) | uint32_t(FBytes[offset + 3]);
}

void TDBImage::SetU8(size_t offset, uint8_t value) {
  Check(offset, 1);
  FBytes[offset] = value;
}

void TDBImage::SetU16(size_t offset, uint16_t value) { WriteBigEndian16(Span(offset, 2), value); }

void TDBImage::SetU32(size_t offset, uint32_t value) {
  Check(offset, 4);
  for (int i = 0; i < 4; ++i) FBytes[offset + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

String TDBImage::Text(size_t offset, size_t fieldSize) const {
  Check(offset, fieldSize);
  const char* begin = reinterpret_cast<const char*>(FBytes.data() + offset);
  return String(begin, strnlen(begin, fieldSize));
}

void TDBImage::SetText(size_t offset, size_t fieldSize, const String& text) {
  if (fieldSize == 0) return;
  SetPaddedText(offset, fieldSize, text.substr(0, fieldSize - 1));
}

void TDBImage::SetPaddedText(size_t offset, size_t fieldSize, const String& text) {
  Check(offset, fieldSize);
  std::memset(FBytes.data() + offset, 0, fieldSize);
  // A name ends at its first NUL when read back, so it is cut there too.
  size_t length = std::min(fieldSize, strnlen(text.data(), text.size()));
  std::memcpy(FBytes.data() + offset, text.data(), length);
}

void TDBImage::Fill(size_t offset, size_t count, uint8_t value) {
  Check(offset, count);
  std::memset(FBytes.data() + offset, value, count);
}

std::vector<TLnbEntry> TDBImage::Lnbs() const {
  std::vector<TLnbEntry> result;
  for (int i = 0; i < LnbCount; ++i) {
    size_t entry = LnbTable + i * LnbEntrySize;
    uint8_t id = U8(entry);
    if (id == EndId) break;
    result.push_back({id, Text(entry + 1, LnbNameSize)});
  }
  return result;
}

size_t TDBImage::SatelliteOffset(Integer index) { return SatelliteTable + size_t(index) * SatelliteEntrySize; }

std::vector<TSatelliteEntry> TDBImage::Satellites() const {
  std::vector<TSatelliteEntry> result;
  for (int i = 0; i < SatelliteCount; ++i) {
    size_t entry = SatelliteOffset(i);
    uint8_t id = U8(entry);
    if (id == EndId) break;
    result.push_back({id, Text(entry + 1, SatelliteNameSize), U8(entry + 33)});
  }
  return result;
}

size_t TDBImage::TransponderOffset(Integer index) {
  return TransponderTable + size_t(index) * TransponderEntrySize;
}

TTransponderEntry TDBImage::Transponder(Integer index) const {
  size_t entry = TransponderOffset(index);
  TTransponderEntry tp;
  tp.Id = U16(entry + Tp::Id);
  tp.Polarisation = U8(entry + Tp::Polarisation);
  tp.Fec = U8(entry + Tp::Fec);
  tp.Frequency = U32(entry + Tp::Frequency);
  tp.SymbolRate = U32(entry + Tp::SymbolRate);
  tp.SatelliteId = U8(entry + Tp::SatelliteId);
  tp.DvbType = U8(entry + Tp::DvbType);
  return tp;
}

void TDBImage::WriteTransponder(Integer index, const TTransponderEntry& tp) {
  size_t entry = TransponderOffset(index);
  Check(entry, TransponderEntrySize);
  SetU16(entry + Tp::Id, tp.Id);
  SetU8(entry + Tp::Polarisation, tp.Polarisation);
  SetU8(entry + Tp::Fec, tp.Fec);
  SetU32(entry + Tp::Frequency, tp.Frequency);
  SetU32(entry + Tp::SymbolRate, tp.SymbolRate);
  SetU8(entry + Tp::SatelliteId, tp.SatelliteId);
  SetU8(entry + Tp::DvbType, tp.DvbType);
}

std::vector<std::pair<int, TTransponderEntry>> TDBImage::Transponders() const {
  std::vector<std::pair<int, TTransponderEntry>> result;
  const uint8_t* table = Span(TransponderTable, TransponderCount * TransponderEntrySize);
  for (int i = 0; i < TransponderCount; ++i)
    if (ReadBigEndian16(table + size_t(i) * TransponderEntrySize + Tp::Id) != EndMark)
      result.emplace_back(i, Transponder(i));
  return result;
}

std::vector<uint16_t> TDBImage::ReadSlotList(size_t offset, int length) const {
  const uint8_t* list = Span(offset, 2 * size_t(length));
  int count = 0;
  while (count < length && ReadBigEndian16(list + 2 * size_t(count)) != EndMark) ++count;
  std::vector<uint16_t> result;
  result.reserve(size_t(count));
  for (int i = 0; i < count; ++i) {
    uint16_t slot = ReadBigEndian16(list + 2 * size_t(i));
    if (IsValidSlot(slot)) result.push_back(slot);
  }
  return result;
}

void TDBImage::WriteSlotList(size_t offset, int length, const std::vector<uint16_t>& slots) {
  uint8_t* list = Span(offset, 2 * size_t(length));
  if (slots.size() > size_t(length))
    throw ERangeError("%d channels do not fit a list of %d entries", {Integer(slots.size()), length});
  for (int i = 0; i < length; ++i)
    WriteBigEndian16(list + 2 * size_t(i), size_t(i) < slots.size() ? slots[i] : EndMark);
}

std::vector<uint16_t> TDBImage::OrderList(bool tv) const {
  return ReadSlotList(tv ? TvOrderList : RadioOrderList, OrderListLength);
}

void TDBImage::SetOrderList(bool tv, const std::vector<uint16_t>& slots) {
  WriteSlotList(tv ? TvOrderList : RadioOrderList, OrderListLength, slots);
}

size_t TDBImage::FavoriteListOffset(int group, bool tv) {
  if (group < 0 || group >= FavoriteGroupCount)
    throw ERangeError("Favourite group %d does not exist", {group});
  return FavoriteGroups + size_t(group) * FavoriteGroupSize + (tv ? FavoriteTvList : FavoriteRadioList);
}

std::vector<uint16_t> TDBImage::FavoriteList(int group, bool tv) const {
  return ReadSlotList(FavoriteListOffset(group, tv), FavoriteListLength);
}

void TDBImage::SetFavoriteList(int group, bool tv, const std::vector<uint16_t>& slots) {
  WriteSlotList(FavoriteListOffset(group, tv), FavoriteListLength, slots);
}

String TDBImage::FavoriteGroupName(int group) const {
  FavoriteListOffset(group, true);  // validates the group
  return Text(FavoriteGroups + size_t(group) * FavoriteGroupSize, FavoriteNameSize);
}

size_t TDBImage::SlotOffset(Integer slot) {
  if (!IsValidSlot(slot)) throw ERangeError("Channel slot %d does not exist", {slot});
  return ChannelSlots + size_t(slot) * SlotSize;
}

uint16_t TDBImage::SlotNumber(Integer slot) const { return U16(SlotOffset(slot) + Slot::Number); }

TChannelFields TDBImage::Channel(Integer slot) const {
  size_t base = SlotOffset(slot);
  TChannelFields ch;
  ch.Name = Text(base + Slot::Name, ChannelNameSize);
  ch.TransponderId = U16(base + Slot::TransponderId);
  uint8_t flags = U8(base + Slot::Flags);
  ch.Radio = (flags & Slot::RadioFlag) != 0;
  ch.HD = (flags & Slot::HdFlag) != 0;
  ch.Sid = U16(base + Slot::Sid);
  ch.PcrPid = U16(base + Slot::PcrPid);
  ch.VideoPid = U16(base + Slot::VideoPid);
  ch.AudioPid = U16(base + Slot::AudioPid);
  ch.PmtPid = U16(base + Slot::PmtPid);
  ch.SatelliteId = U8(base + Slot::SatelliteId);
  ch.Genre = U8(base + Slot::Genre);
  return ch;
}

void TDBImage::WriteChannel(Integer slot, const TChannelFields& ch) {
  size_t base = SlotOffset(slot);
  SetText(base + Slot::Name, ChannelNameSize, ch.Name);
  SetU16(base + Slot::TransponderId, ch.TransponderId);
  uint8_t flags = U8(base + Slot::Flags) & ~(Slot::RadioFlag | Slot::HdFlag);
  if (ch.Radio) flags |= Slot::RadioFlag;
  if (ch.HD) flags |= Slot::HdFlag;
  SetU8(base + Slot::Flags, flags);
  SetU16(base + Slot::Sid, ch.Sid);
  SetU16(base + Slot::PcrPid, ch.PcrPid);
  SetU16(base + Slot::VideoPid, ch.VideoPid);
  SetU16(base + Slot::AudioPid, ch.AudioPid);
  SetU16(base + Slot::PmtPid, ch.PmtPid);
  SetU8(base + Slot::SatelliteId, ch.SatelliteId);
  SetU8(base + Slot::Genre, ch.Genre);
}

Integer TDBImage::AllocChannelSlot(bool tv) {
  Integer first = tv ? 0 : FirstRadioSlot;
  Integer last = tv ? FirstRadioSlot : SlotCount;
  for (Integer slot = first; slot < last; ++slot) {
    if (SlotNumber(slot) == EndMark) {
      SetU16(SlotOffset(slot) + Slot::Number, static_cast<uint16_t>(slot));
      return slot;
    }
  }
  return -1;
}

Integer TDBImage::AllocTransponderId() {
  // After a save compacts the table, positions and ids differ: the free entry's index may be the
  // id of a moved transponder, so the id is the index only when nobody carries it.
  std::vector<bool> used(EndMark, false);
  Integer freeEntry = -1;
  const uint8_t* table = Span(TransponderTable, TransponderCount * TransponderEntrySize);
  for (Integer i = 0; i < TransponderCount; ++i) {
    uint16_t id = ReadBigEndian16(table + size_t(i) * TransponderEntrySize + Tp::Id);
    if (id != EndMark)
      used[id] = true;
    else if (freeEntry < 0)
      freeEntry = i;
  }
  if (freeEntry < 0) return -1;
  Integer id = freeEntry;
  if (used[id]) id = static_cast<Integer>(std::find(used.begin(), used.end(), false) - used.begin());
  SetU16(TransponderOffset(freeEntry) + Tp::Id, static_cast<uint16_t>(id));
  return id;
}

void TDBImage::FreeChannelSlot(Integer slot) {
  size_t base = SlotOffset(slot);
  Fill(base, SlotSize, 0);
  SetU16(base + Slot::Number, EndMark);
  for (int group = 0; group < FavoriteGroupCount; ++group) {
    for (bool tv : {true, false}) {
      // Entries naming no slot are kept where they are; only the freed slot is dropped.
      size_t list = FavoriteListOffset(group, tv);
      const uint8_t* entries = Span(list, 2 * size_t(FavoriteListLength));
      std::vector<uint16_t> kept;
      kept.reserve(FavoriteListLength);
      for (int i = 0; i < FavoriteListLength; ++i) {
        uint16_t entry = ReadBigEndian16(entries + 2 * size_t(i));
        if (entry == EndMark) break;
        if (entry != slot) kept.push_back(entry);
      }
      WriteSlotList(list, FavoriteListLength, kept);
    }
  }
}

bool ReadImageFile(const String& fileName, TDBImage& image) {
  std::vector<uint8_t> buffer(TDBImage::Size);
  try {
    TFileStream file(fileName, fmOpenRead);
    if (file.Read(buffer.data(), Integer(TDBImage::Size)) != Integer(TDBImage::Size)) return false;
  } catch (const EStreamError&) {
    return false;
  }
  std::memcpy(image.Data(), buffer.data(), TDBImage::Size);
  return true;
}

bool WriteImageFile(const String& fileName, const TDBImage& image) {
  try {
    TAtomicWriteOptions options;
    options.KeepExistingTail = true;
    WriteFileAtomically(fileName, image.Data(), TDBImage::Size, options);
    return true;
  } catch (const EStreamError&) {
    return false;
  }
}
