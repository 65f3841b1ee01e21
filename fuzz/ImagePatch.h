// The image a fuzz input stands for: a valid sample image with the input's patches written over it,
// so that most inputs reach the tables' contents instead of failing at the first end marker.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "app/DBImage.h"
#include "app/SampleImage.h"

namespace ImagePatch {

// The input is a run of patches: a 24-bit big-endian offset (wrapped to the image), a length
// byte, then that many bytes (fewer when the input ends first).
constexpr size_t HeaderSize = 4;

// The small sample with short order lists: the other channels stay in their slots, where a patch
// that moves an end marker reaches them.
inline const TDBImage& Template() {
  static const TDBImage image = [] {
    constexpr size_t TvListed = 40, RadioListed = 10;
    TDBImage sample;
    BuildSampleImage(sample, 1, TSampleSize::Small);
    for (bool tv : {true, false}) {
      std::vector<uint16_t> list = sample.OrderList(tv);
      list.resize(std::min(list.size(), tv ? TvListed : RadioListed));
      sample.SetOrderList(tv, list);
    }
    return sample;
  }();
  return image;
}

inline void Apply(TDBImage& image, const uint8_t* data, size_t size) {
  std::memcpy(image.Data(), Template().Data(), TDBImage::Size);
  while (size >= HeaderSize) {
    size_t offset = ((size_t(data[0]) << 16) | (size_t(data[1]) << 8) | data[2]) % TDBImage::Size;
    size_t length = data[3];
    data += HeaderSize;
    size -= HeaderSize;
    length = std::min({length, size, TDBImage::Size - offset});
    std::memcpy(image.Data() + offset, data, length);
    data += length;
    size -= length;
  }
}

}  // namespace ImagePatch
