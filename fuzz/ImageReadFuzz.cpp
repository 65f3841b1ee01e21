// The fast image target: the reader, the table walkers and the slot and entry writers over a sample
// image patched by the input. Whatever the bytes, nothing may crash or touch memory outside the
// image. The views and the rebuild are left to ImageSaveFuzz, which is slower by far.
#include "ImagePatch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TDBImage image;
  ImagePatch::Apply(image, data, size);
  image.Lnbs();
  image.Satellites();
  auto tps = image.Transponders();
  for (bool tv : {true, false}) {
    for (uint16_t slot : image.OrderList(tv)) image.WriteChannel(slot, image.Channel(slot));
    for (int group = 0; group < ImageLayout::FavoriteGroupCount; ++group) {
      image.FavoriteGroupName(group);
      image.FavoriteList(group, tv);
    }
  }
  for (auto& [index, tp] : tps) image.WriteTransponder(index, tp);
  if (size >= 2) image.FreeChannelSlot(((data[0] << 8) | data[1]) % ImageLayout::SlotCount);
  image.AllocChannelSlot(true);
  image.AllocChannelSlot(false);
  image.AllocTransponderId();
  return 0;
}
