// Builds valid database images for tests, benchmarks and the first start of the editor.
//
// Every byte the editor keeps without interpreting it holds a recognisable pattern derived from
// its offset, so that a test can prove those bytes survive an open and a save.
#pragma once

#include "app/DBImage.h"

enum class TSampleSize {
  Small,  // 4 LNBs, 5 satellites, 60 transponders, 500 TV and 100 radio channels
  Full    // 16 LNBs, 150 satellites, 4,000 transponders, 7,000 TV and 3,000 radio channels
};

void BuildSampleImage(TDBImage& image, uint32_t seed, TSampleSize size);

// The pattern byte a kept byte at `offset` holds in a sample image of `seed`.
uint8_t SampleKeptByte(uint32_t seed, size_t offset);
