// Writes a valid sample database image: mkimage <file> [seed] [small|full]
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/DBImage.h"
#include "app/SampleImage.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: mkimage <file> [seed] [small|full]\n");
    return 2;
  }
  uint32_t seed = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 1;
  TSampleSize size = argc > 3 && std::strcmp(argv[3], "full") == 0 ? TSampleSize::Full : TSampleSize::Small;
  TDBImage image;
  BuildSampleImage(image, seed, size);
  if (!WriteImageFile(argv[1], image)) {
    std::fprintf(stderr, "mkimage: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
