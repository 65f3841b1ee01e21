// Unbound data controllers shaped like the main window's satellite, transponder and channel
// views (items and value types as the window sets them up), for tests, benchmarks and fuzzing.
#pragma once

#include <array>
#include <memory>

#include "app/ImageViews.h"
#include "core/qvData.h"

class TImageViewsFixture {
  class TColumn : public TObject {
    QJ_INLINE_CLASS(TColumn, TObject)
  };
  // The columns come before the controllers so that they exist when the controllers take them.
  std::array<TColumn, 3> SatItems;
  std::array<TColumn, 8> TpItems;
  std::array<TColumn, 13> ChanItems;

 public:
  TImageViewsFixture()
      : Satellites(Make(SatTypes, SatItems)), Transponders(Make(TpTypes, TpItems)), Channels(Make(ChanTypes, ChanItems)) {}
  ~TImageViewsFixture() {
    Free(Satellites);
    Free(Transponders);
    Free(Channels);
  }
  TImageViewsFixture(const TImageViewsFixture&) = delete;
  TImageViewsFixture& operator=(const TImageViewsFixture&) = delete;

  TImageViews Views() const { return {Satellites, Transponders, Channels}; }
  void Load(const TDBImage& image) {
    LoadSatelliteView(image, *Satellites);
    LoadTransponderView(image, *Transponders);
    LoadChannelView(image, *Channels);
  }

  TqvDataController* Satellites;
  TqvDataController* Transponders;
  TqvDataController* Channels;

 private:
  // 'i' integer, 's' string, per column.
  static constexpr const char* SatTypes = "isi";
  static constexpr const char* TpTypes = "isisiisi";
  static constexpr const char* ChanTypes = "issiiiissssii";

  template <size_t N>
  static TqvDataController* Make(const char* types, std::array<TColumn, N>& items) {
    TqvDataController* dc = New<TqvDataController>(nullptr);
    for (size_t i = 0; i < N; ++i) {
      dc->AddItem(&items[i]);
      dc->ChangeValueTypeClass(Integer(i), types[i] == 'i' ? TqvIntegerValueType::Class() : TqvStringValueType::Class());
    }
    return dc;
  }
};
