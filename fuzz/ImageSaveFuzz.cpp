// The full image target: a sample image patched by the input fills the views, which are rebuilt
// into the image and saved. Whatever the bytes, nothing may crash or touch memory outside the
// image, and a refused rebuild leaves the image as it was.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ImagePatch.h"
#include "platform/rtl/SysUtils.h"
#include "support/ImageViewsFixture.h"

namespace {

String SavePath() {
  const char* dir = std::getenv("TMPDIR");
  return String(dir && *dir ? dir : "/tmp") + "/qj-image-save-fuzz-" + std::to_string(getpid()) + ".img";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const String path = [] {
    std::atexit([] { std::remove(SavePath().c_str()); });
    return SavePath();
  }();
  static TDBImage image, before;
  ImagePatch::Apply(image, data, size);
  TImageViewsFixture views;
  views.Load(image);
  before = image;
  try {
    RebuildImage(image, views.Views());
  } catch (const Exception&) {
    // A refused rebuild is a fine outcome as long as it kept the image.
    if (std::memcmp(before.Data(), image.Data(), TDBImage::Size) != 0) std::abort();
    return 0;
  }
  if (!WriteImageFile(path, image)) std::abort();
  image.AllocChannelSlot(true);
  image.AllocTransponderId();
  return 0;
}
