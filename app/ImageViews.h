// Filling the main window's views from the image, rebuilding the image from them, and saving.
//
// The satellite, transponder and channel views hold edits that reach the image only when it is
// saved; the rebuild reads their data controllers in record order (storage order, not the
// displayed order).
#pragma once

#include <functional>

#include "app/DBImage.h"

class TqvCustomDataController;

// Columns of the views, in their data controllers' item order.
namespace SatColumn {
constexpr Integer No = 0, Name = 1, LnbFreq = 2;
}
namespace TpColumn {
constexpr Integer No = 0, Frequency = 1, Polarization = 2, SymbolRate = 3, DvbType = 4, Fec = 5,
                  SatNumber = 6, TpNo = 7;
}
namespace ChanColumn {
constexpr Integer CH_SEQ = 0, CH_NAME = 1, CH_SID = 2, CH_SATNO = 3, CH_TRANS = 4, CH_GENRE = 5,
                  CH_TYPE = 6, CH_VIDEO = 7, CH_AUDIO = 8, CH_PMT = 9, CH_PCR = 10, CH_GB = 11,
                  CH_NO = 12;
constexpr Integer Count = 13;
}

struct TImageViews {
  TqvCustomDataController* Satellites = nullptr;
  TqvCustomDataController* Transponders = nullptr;
  TqvCustomDataController* Channels = nullptr;
};

// Filling the views: each view is emptied and gets one record per table entry, inside an
// update bracket. The views' items and value types are set up by their owner.
void LoadSatelliteView(const TDBImage& image, TqvCustomDataController& satellites);
void LoadTransponderView(const TDBImage& image, TqvCustomDataController& transponders);
// TV channels first (CH_SEQ from 1), then radio channels (CH_SEQ from 1 again).
void LoadChannelView(const TDBImage& image, TqvCustomDataController& channels);
// Four lower-case hexadecimal digits, as SIDs and PIDs are shown.
String HexFieldText(uint16_t value);

// A PID or SID column's text as a 16-bit number; EConvertError when it is no hexadecimal number
// or does not fit 16 bits.
uint16_t HexFieldValue(const String& text);

// Writes one channel record into the slot its CH_NO names (the channel record mapping).
void StoreChannelRecord(TDBImage& image, TqvCustomDataController& channels, Integer record);

void StoreSatellites(TDBImage& image, TqvCustomDataController& satellites);
void StoreTransponders(TDBImage& image, TqvCustomDataController& transponders);
void StoreOrderLists(TDBImage& image, TqvCustomDataController& channels);
void StoreChannels(TDBImage& image, TqvCustomDataController& channels);

// Runs the four rebuild steps on a copy of the image and commits the copy only when all of them
// succeed, so that a failure never leaves the image half rebuilt. Raises what a step raised.
void RebuildImage(TDBImage& image, const TImageViews& views);

// Rebuilds the image and writes it to the file. The user is told of a failure through `report`
// with the editor's messages ("failed file save.", "Error saving file."); the result says whether
// the file now holds the image.
using TReportProc = std::function<void(const String& message)>;
bool SaveImage(const String& fileName, TDBImage& image, const TImageViews& views, const TReportProc& report);
