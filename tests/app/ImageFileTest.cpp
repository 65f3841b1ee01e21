#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <filesystem>
#include <fstream>

#include "app/DBImage.h"
#include "app/SampleImage.h"
#include "platform/rtl/FileUtils.h"

namespace fs = std::filesystem;

namespace {

class ImageFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("qj-imagefile-" + std::to_string(::getpid()) + "-" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
    BuildSampleImage(sample, 11, TSampleSize::Small);
  }
  void TearDown() override { fs::remove_all(dir); }

  String PathOf(const char* name) const { return (dir / name).string(); }
  void WriteBytes(const String& path, const std::vector<uint8_t>& bytes) const {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  std::vector<uint8_t> ReadBytes(const String& path) const {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  std::vector<uint8_t> SampleBytes(size_t size, uint8_t tail = 0x5A) const {
    std::vector<uint8_t> bytes(sample.Data(), sample.Data() + TDBImage::Size);
    bytes.resize(size, tail);
    return bytes;
  }

  fs::path dir;
  TDBImage sample;
};


TEST_F(ImageFileTest, ReadAcceptsFullOrLongerFilesOnly) {
  struct Case {
    size_t size;
    bool accepted;
  } cases[] = {{TDBImage::Size - 1, false}, {TDBImage::Size, true}, {TDBImage::Size + 1, true}, {0, false}};
  for (const Case& c : cases) {
    String path = PathOf("case.img");
    WriteBytes(path, SampleBytes(c.size));
    TDBImage image;
    image.SetU8(100, 0x77);
    EXPECT_EQ(ReadImageFile(path, image), c.accepted) << c.size;
    if (c.accepted)
      EXPECT_EQ(std::memcmp(image.Data(), sample.Data(), TDBImage::Size), 0) << c.size;
    else
      EXPECT_EQ(image.U8(100), 0x77) << "a refused file leaves the image as it was";
  }
  TDBImage image;
  EXPECT_FALSE(ReadImageFile(PathOf("missing.img"), image));
}

TEST_F(ImageFileTest, WriteCreatesExactImageOrKeepsALongerFilesTail) {
  String fresh = PathOf("new.img");
  ASSERT_TRUE(WriteImageFile(fresh, sample));
  EXPECT_EQ(ReadBytes(fresh), SampleBytes(TDBImage::Size));

  String longer = PathOf("longer.img");
  std::vector<uint8_t> old(TDBImage::Size + 300, 0x11);
  for (size_t i = TDBImage::Size; i < old.size(); ++i) old[i] = static_cast<uint8_t>(i);
  WriteBytes(longer, old);
  ASSERT_TRUE(WriteImageFile(longer, sample));
  std::vector<uint8_t> written = ReadBytes(longer);
  ASSERT_EQ(written.size(), old.size());
  EXPECT_EQ(std::memcmp(written.data(), sample.Data(), TDBImage::Size), 0);
  EXPECT_TRUE(std::equal(old.begin() + TDBImage::Size, old.end(), written.begin() + TDBImage::Size));
}

TEST_F(ImageFileTest, FailedWriteLeavesTheOldFileUntouched) {
  String path = PathOf("keep.img");
  std::vector<uint8_t> old(TDBImage::Size, 0x42);
  WriteBytes(path, old);
  size_t calls = 0;
  TFileWriteFunc previous = SetAtomicWriteFunc([&calls](int, const void*, size_t count) -> long {
    if (++calls > 1) {  // the first chunk lands, then the disk fills up
      errno = ENOSPC;
      return -1;
    }
    return static_cast<long>(count / 2);
  });
  bool ok = WriteImageFile(path, sample);
  SetAtomicWriteFunc(previous);
  EXPECT_FALSE(ok);
  EXPECT_EQ(ReadBytes(path), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1) << "no temporary file left";
}

TEST_F(ImageFileTest, UnwritableFolderReportsFailure) {
  EXPECT_FALSE(WriteImageFile(PathOf("no/such/folder/x.img"), sample));
}

}  // namespace
