// The receiver's database image: 690,520 big-endian bytes holding LNBs, satellites,
// transponders, the TV and radio order lists, seven favourite groups and 10,000 channel slots.
//
// The image is the only store of the database. Every field is read and written through the
// bounds-checked accessors here, so that no table walker or writer can touch a byte outside its
// field; bytes the editor does not interpret are never written.
#pragma once

#include <array>
#include <vector>

#include "platform/rtl/System.h"

namespace ImageLayout {
constexpr size_t ImageSize = 690520;
constexpr uint32_t Magic = 0xBAB0BA03;

constexpr size_t LnbTable = 0x00030;
constexpr int LnbCount = 16;
constexpr size_t LnbEntrySize = 32;
constexpr size_t LnbNameSize = 31;

constexpr size_t SatelliteTable = 0x00230;
constexpr int SatelliteCount = 150;
constexpr size_t SatelliteEntrySize = 44;
constexpr size_t SatelliteNameSize = 32;

constexpr size_t TransponderTable = 0x01BF8;
constexpr int TransponderCount = 4000;
constexpr size_t TransponderEntrySize = 16;

constexpr size_t TvOrderList = 0x1160C;
constexpr size_t RadioOrderList = 0x1642C;
constexpr int OrderListLength = 10000;

constexpr size_t FavoriteGroups = 0x1B24C;
constexpr int FavoriteGroupCount = 7;
constexpr size_t FavoriteGroupSize = 820;
constexpr size_t FavoriteNameSize = 20;
constexpr size_t FavoriteTvList = 20;
constexpr size_t FavoriteRadioList = 420;
constexpr int FavoriteListLength = 200;

constexpr size_t ChannelSlots = 0x1C8B8;
constexpr int SlotCount = 10000;
constexpr int FirstRadioSlot = 7000;
constexpr size_t SlotSize = 56;
constexpr size_t ChannelNameSize = 20;
constexpr int MaxChannelNameLength = 19;

constexpr uint8_t EndId = 0xFF;
constexpr uint16_t EndMark = 0xFFFF;

// Offsets inside a channel slot.
namespace Slot {
constexpr size_t Number = 0x02;
constexpr size_t Name = 0x04;
constexpr size_t TransponderId = 0x18;
constexpr size_t Flags = 0x1E;
constexpr size_t Sid = 0x20;
constexpr size_t PcrPid = 0x22;
constexpr size_t VideoPid = 0x24;
constexpr size_t AudioPid = 0x26;
constexpr size_t PmtPid = 0x28;
constexpr size_t SatelliteId = 0x2A;
constexpr size_t Genre = 0x37;
constexpr uint8_t RadioFlag = 0x01;
constexpr uint8_t HdFlag = 0x02;
}  // namespace Slot

// Offsets inside a transponder entry.
namespace Tp {
constexpr size_t Id = 0;
constexpr size_t Polarisation = 2;
constexpr size_t Fec = 3;
constexpr size_t Frequency = 4;
constexpr size_t SymbolRate = 8;
constexpr size_t SatelliteId = 12;
constexpr size_t DvbType = 13;
constexpr size_t Kept = 14;  // two bytes the editor keeps as read
}  // namespace Tp
}  // namespace ImageLayout

struct TLnbEntry {
  uint8_t Id = 0;
  String Name;
};

struct TSatelliteEntry {
  uint8_t Id = 0;
  String Name;
  uint8_t LnbId = 0;
};

struct TTransponderEntry {
  uint16_t Id = 0;
  uint8_t Polarisation = 0;  // 0 = V, anything else = H
  uint8_t Fec = 0;
  uint32_t Frequency = 0;
  uint32_t SymbolRate = 0;
  uint8_t SatelliteId = 0;
  uint8_t DvbType = 0;
};

// The fields of a channel slot that the editor interprets.
struct TChannelFields {
  String Name;
  uint16_t TransponderId = 0;
  bool Radio = false;
  bool HD = false;
  uint16_t Sid = 0;
  uint16_t PcrPid = 0;
  uint16_t VideoPid = 0;
  uint16_t AudioPid = 0;
  uint16_t PmtPid = 0;
  uint8_t SatelliteId = 0;
  uint8_t Genre = 0;
};

class TDBImage {
 public:
  static constexpr size_t Size = ImageLayout::ImageSize;

  TDBImage();

  uint8_t* Data() { return FBytes.data(); }
  const uint8_t* Data() const { return FBytes.data(); }
  void Clear();
  bool HasMagic() const;

  // Big-endian fields; an access outside the image raises ERangeError.
  uint8_t U8(size_t offset) const;
  uint16_t U16(size_t offset) const;
  uint32_t U32(size_t offset) const;
  void SetU8(size_t offset, uint8_t value);
  void SetU16(size_t offset, uint16_t value);
  void SetU32(size_t offset, uint32_t value);
  // A name field: read up to its NUL or the field's end; written zero-filled, at most
  // fieldSize - 1 bytes so that a NUL always ends it.
  String Text(size_t offset, size_t fieldSize) const;
  void SetText(size_t offset, size_t fieldSize, const String& text);
  // A name that may fill its whole field (then it has no NUL): zero-filled, at most fieldSize bytes.
  void SetPaddedText(size_t offset, size_t fieldSize, const String& text);
  void Fill(size_t offset, size_t count, uint8_t value);

  // Table walkers, in table order.
  std::vector<TLnbEntry> Lnbs() const;
  std::vector<TSatelliteEntry> Satellites() const;
  // Every used transponder entry with its table index.
  std::vector<std::pair<int, TTransponderEntry>> Transponders() const;
  // The channel slots an order list names; entries that name no slot are skipped.
  std::vector<uint16_t> OrderList(bool tv) const;
  std::vector<uint16_t> FavoriteList(int group, bool tv) const;
  String FavoriteGroupName(int group) const;

  // Channel slots.
  static bool IsValidSlot(Integer slot) { return slot >= 0 && slot < ImageLayout::SlotCount; }
  static size_t SlotOffset(Integer slot);
  uint16_t SlotNumber(Integer slot) const;
  TChannelFields Channel(Integer slot) const;
  // Writes the interpreted fields; the slot number and every kept byte stay.
  void WriteChannel(Integer slot, const TChannelFields& fields);

  // Allocators: -1 when no slot or entry is free (the add must then be refused).
  Integer AllocChannelSlot(bool tv);
  Integer AllocTransponderId();
  // Clears the slot and removes it from every favourite list of all seven groups.
  void FreeChannelSlot(Integer slot);

  // Favourite and order list writes (entries padded with 0xFFFF).
  void SetFavoriteList(int group, bool tv, const std::vector<uint16_t>& slots);
  void SetOrderList(bool tv, const std::vector<uint16_t>& slots);

  static size_t TransponderOffset(Integer index);
  TTransponderEntry Transponder(Integer index) const;
  void WriteTransponder(Integer index, const TTransponderEntry& tp);
  static size_t SatelliteOffset(Integer index);

 private:
  void Check(size_t offset, size_t count) const;
  // A run of fields checked once, for the table walkers (thousands of entries each).
  const uint8_t* Span(size_t offset, size_t count) const;
  uint8_t* Span(size_t offset, size_t count);
  static size_t FavoriteListOffset(int group, bool tv);
  std::vector<uint16_t> ReadSlotList(size_t offset, int length) const;
  void WriteSlotList(size_t offset, int length, const std::vector<uint16_t>& slots);

  std::vector<uint8_t> FBytes;
};

// Reads the first 690,520 bytes of a file into the image. False, with the image unchanged, when
// the file cannot be opened or holds fewer bytes; a longer file is accepted.
bool ReadImageFile(const String& fileName, TDBImage& image);

// Writes the image over the file's first 690,520 bytes (bytes of a longer file beyond them stay;
// a new file is exactly the image). The file is replaced whole or not at all: on failure the old
// file is untouched and the result is False.
bool WriteImageFile(const String& fileName, const TDBImage& image);
