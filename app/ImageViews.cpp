#include "app/ImageViews.h"

#include <algorithm>

#include "core/qvCustomData.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variants.h"

using namespace ImageLayout;

namespace {

Integer IntValue(TqvCustomDataController& dc, Integer record, Integer item) {
  return dc.GetValue(record, item).AsInteger();
}

uint8_t ByteValue(TqvCustomDataController& dc, Integer record, Integer item) {
  return static_cast<uint8_t>(IntValue(dc, record, item));
}

String TextValue(TqvCustomDataController& dc, Integer record, Integer item) {
  return VarToStr(dc.GetValue(record, item));
}

// The slots of the channel records of one kind ("0" TV, "1" radio), in record order.
std::vector<uint16_t> OrderedSlots(TqvCustomDataController& channels, const char* kind) {
  std::vector<uint16_t> slots;
  for (Integer r = 0; r < channels.GetRecordCount(); ++r)
    if (TextValue(channels, r, ChanColumn::CH_GB) == kind)
      slots.push_back(static_cast<uint16_t>(IntValue(channels, r, ChanColumn::CH_NO)));
  return slots;
}

void SetChannelRecord(TqvCustomDataController& dc, Integer record, Integer seq, uint16_t slot,
                      const TChannelFields& ch) {
  dc.SetValue(record, ChanColumn::CH_SEQ, seq);
  dc.SetValue(record, ChanColumn::CH_NAME, ch.Name);
  dc.SetValue(record, ChanColumn::CH_SID, HexFieldText(ch.Sid));
  dc.SetValue(record, ChanColumn::CH_SATNO, Integer(ch.SatelliteId));
  dc.SetValue(record, ChanColumn::CH_TRANS, Integer(ch.TransponderId));
  dc.SetValue(record, ChanColumn::CH_GENRE, Integer(ch.Genre));
  dc.SetValue(record, ChanColumn::CH_TYPE, Integer(ch.HD ? 1 : 0));
  dc.SetValue(record, ChanColumn::CH_VIDEO, HexFieldText(ch.VideoPid));
  dc.SetValue(record, ChanColumn::CH_AUDIO, HexFieldText(ch.AudioPid));
  dc.SetValue(record, ChanColumn::CH_PMT, HexFieldText(ch.PmtPid));
  dc.SetValue(record, ChanColumn::CH_PCR, HexFieldText(ch.PcrPid));
  dc.SetValue(record, ChanColumn::CH_GB, Integer(ch.Radio ? 1 : 0));
  dc.SetValue(record, ChanColumn::CH_NO, Integer(slot));
}

void AppendChannels(const TDBImage& image, TqvCustomDataController& dc, bool tv) {
  Integer seq = 0;
  for (uint16_t slot : image.OrderList(tv)) {
    Integer record = dc.AppendRecord();
    SetChannelRecord(dc, record, ++seq, slot, image.Channel(slot));
  }
}


}  // namespace

String HexFieldText(uint16_t value) { return LowerHex(value, 4); }

void LoadSatelliteView(const TDBImage& image, TqvCustomDataController& dc) {
  TUpdateScope bracket(&dc);
  dc.SetRecordCount(0);
  for (const TSatelliteEntry& sat : image.Satellites()) {
    Integer record = dc.AppendRecord();
    dc.SetValue(record, SatColumn::No, Integer(sat.Id));
    dc.SetValue(record, SatColumn::Name, sat.Name);
    dc.SetValue(record, SatColumn::LnbFreq, Integer(sat.LnbId));
  }
}

void LoadTransponderView(const TDBImage& image, TqvCustomDataController& dc) {
  TUpdateScope bracket(&dc);
  dc.SetRecordCount(0);
  for (const auto& [index, tp] : image.Transponders()) {
    Integer record = dc.AppendRecord();
    dc.SetValue(record, TpColumn::No, index + 1);
    dc.SetValue(record, TpColumn::Frequency, IntToStr(tp.Frequency));
    dc.SetValue(record, TpColumn::Polarization, Integer(tp.Polarisation));
    dc.SetValue(record, TpColumn::SymbolRate, IntToStr(tp.SymbolRate));
    dc.SetValue(record, TpColumn::DvbType, Integer(tp.DvbType));
    dc.SetValue(record, TpColumn::Fec, Integer(tp.Fec));
    dc.SetValue(record, TpColumn::SatNumber, IntToStr(tp.SatelliteId));
    dc.SetValue(record, TpColumn::TpNo, Integer(tp.Id));
  }
}

void LoadChannelView(const TDBImage& image, TqvCustomDataController& dc) {
  {
    TUpdateScope bracket(&dc);
    dc.SetRecordCount(0);
    AppendChannels(image, dc, true);
  }
  TUpdateScope bracket(&dc);
  AppendChannels(image, dc, false);
}

uint16_t HexFieldValue(const String& text) {
  Int64 value = 0;
  if (text.empty() || !TryStrToInt64("$" + text, value) || value < 0 || value > 0xFFFF)
    throw EConvertError("'%s' is not a valid hexadecimal value", {text});
  return static_cast<uint16_t>(value);
}

void StoreChannelRecord(TDBImage& image, TqvCustomDataController& channels, Integer record) {
  Integer slot = IntValue(channels, record, ChanColumn::CH_NO);
  TChannelFields ch;
  ch.Name = TextValue(channels, record, ChanColumn::CH_NAME);
  ch.Sid = HexFieldValue(TextValue(channels, record, ChanColumn::CH_SID));
  ch.VideoPid = HexFieldValue(TextValue(channels, record, ChanColumn::CH_VIDEO));
  ch.AudioPid = HexFieldValue(TextValue(channels, record, ChanColumn::CH_AUDIO));
  ch.PmtPid = HexFieldValue(TextValue(channels, record, ChanColumn::CH_PMT));
  ch.PcrPid = HexFieldValue(TextValue(channels, record, ChanColumn::CH_PCR));
  ch.SatelliteId = ByteValue(channels, record, ChanColumn::CH_SATNO);
  ch.TransponderId = static_cast<uint16_t>(IntValue(channels, record, ChanColumn::CH_TRANS));
  ch.Genre = ByteValue(channels, record, ChanColumn::CH_GENRE);
  ch.HD = IntValue(channels, record, ChanColumn::CH_TYPE) != 0;
  ch.Radio = IntValue(channels, record, ChanColumn::CH_GB) != 0;
  image.WriteChannel(slot, ch);
}

void StoreSatellites(TDBImage& image, TqvCustomDataController& satellites) {
  Integer count = std::min(satellites.GetRecordCount(), Integer(SatelliteCount));
  for (Integer i = 0; i < count; ++i) {
    size_t entry = TDBImage::SatelliteOffset(i);
    image.SetU8(entry, ByteValue(satellites, i, SatColumn::No));
    image.SetPaddedText(entry + 1, SatelliteNameSize, TextValue(satellites, i, SatColumn::Name));
    image.SetU8(entry + 33, ByteValue(satellites, i, SatColumn::LnbFreq));
  }
  for (Integer i = count; i < SatelliteCount; ++i) {
    size_t entry = TDBImage::SatelliteOffset(i);
    image.Fill(entry, SatelliteEntrySize, 0);
    image.SetU8(entry, EndId);
  }
}

void StoreTransponders(TDBImage& image, TqvCustomDataController& transponders) {
  // Each transponder's two kept bytes travel with it to its new position.
  std::vector<int32_t> keptOfId(EndMark, -1);
  for (Integer i = 0; i < TransponderCount; ++i) {
    size_t entry = TDBImage::TransponderOffset(i);
    uint16_t id = image.U16(entry + Tp::Id);
    if (id != EndMark && keptOfId[id] < 0) keptOfId[id] = image.U16(entry + Tp::Kept);
  }
  Integer count = std::min(transponders.GetRecordCount(), Integer(TransponderCount));
  for (Integer p = 0; p < count; ++p) {
    TTransponderEntry tp;
    tp.Id = static_cast<uint16_t>(IntValue(transponders, p, TpColumn::TpNo));
    tp.Frequency = static_cast<uint32_t>(transponders.GetValue(p, TpColumn::Frequency).AsInt64());
    tp.Polarisation = ByteValue(transponders, p, TpColumn::Polarization) ? 1 : 0;
    tp.SymbolRate = static_cast<uint32_t>(transponders.GetValue(p, TpColumn::SymbolRate).AsInt64());
    tp.DvbType = ByteValue(transponders, p, TpColumn::DvbType);
    tp.Fec = ByteValue(transponders, p, TpColumn::Fec);
    tp.SatelliteId = ByteValue(transponders, p, TpColumn::SatNumber);
    int32_t kept = tp.Id < EndMark ? keptOfId[tp.Id] : -1;
    image.WriteTransponder(p, tp);
    if (kept >= 0) image.SetU16(TDBImage::TransponderOffset(p) + Tp::Kept, static_cast<uint16_t>(kept));
  }
  for (Integer p = count; p < TransponderCount; ++p) {
    size_t entry = TDBImage::TransponderOffset(p);
    image.Fill(entry, TransponderEntrySize, 0);
    image.SetU16(entry + Tp::Id, EndMark);
  }
}

void StoreOrderLists(TDBImage& image, TqvCustomDataController& channels) {
  image.SetOrderList(true, OrderedSlots(channels, "0"));
  image.SetOrderList(false, OrderedSlots(channels, "1"));
}

void StoreChannels(TDBImage& image, TqvCustomDataController& channels) {
  for (Integer r = 0; r < channels.GetRecordCount(); ++r) StoreChannelRecord(image, channels, r);
}

void RebuildImage(TDBImage& image, const TImageViews& views) {
  TDBImage scratch = image;
  StoreSatellites(scratch, *views.Satellites);
  StoreTransponders(scratch, *views.Transponders);
  StoreOrderLists(scratch, *views.Channels);
  StoreChannels(scratch, *views.Channels);
  image = std::move(scratch);
}

bool SaveImage(const String& fileName, TDBImage& image, const TImageViews& views, const TReportProc& report) {
  try {
    RebuildImage(image, views);
    if (WriteImageFile(fileName, image)) return true;
    report("failed file save.");
  } catch (const Exception&) {
    report("Error saving file.");
  }
  return false;
}
