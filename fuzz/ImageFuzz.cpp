// Feeds arbitrary bytes to the image reader, the table walkers, the views and the rebuild: whatever the
// bytes, nothing may crash or touch memory outside the image.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>

#include "app/DBImage.h"
#include "platform/rtl/SysUtils.h"
#include "support/ImageViewsFixture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TDBImage image;
  // Short inputs are repeated over the whole image so that every table sees them.
  for (size_t at = 0; size > 0 && at < TDBImage::Size; at += size)
    std::memcpy(image.Data() + at, data, std::min(size, TDBImage::Size - at));
  image.Lnbs();
  image.Satellites();
  auto tps = image.Transponders();
  for (bool tv : {true, false}) {
    for (uint16_t slot : image.OrderList(tv)) image.WriteChannel(slot, image.Channel(slot));
    for (int group = 0; group < ImageLayout::FavoriteGroupCount; ++group) image.FavoriteList(group, tv);
  }
  for (auto& [index, tp] : tps) image.WriteTransponder(index, tp);
  if (size >= 2) {
    uint16_t slot = static_cast<uint16_t>((data[0] << 8) | data[1]) % ImageLayout::SlotCount;
    image.FreeChannelSlot(slot);
  }
  TImageViewsFixture views;
  views.Load(image);
  try {
    RebuildImage(image, views.Views());
  } catch (const Exception&) {
    // A refused rebuild is a fine outcome; only a crash or a stray access is a finding.
  }
  image.AllocChannelSlot(true);
  image.AllocChannelSlot(false);
  image.AllocTransponderId();
  return 0;
}
