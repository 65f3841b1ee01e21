#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <limits>
#include <thread>
#include <memory>

#include "FileTestSupport.h"
#include "platform/rtl/Streams.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Behaviour every stream shares, run over each kind of stream.

struct TStreamKind {
  const char* Name;
  std::function<TOwned<TStream>(const TTempFolder&)> Make;
  friend void PrintTo(const TStreamKind& kind, std::ostream* os) { *os << kind.Name; }
};

class StreamKinds : public testing::TestWithParam<TStreamKind> {
 protected:
  void SetUp() override { FStream = GetParam().Make(FFolder); }
  TTempFolder FFolder;
  TOwned<TStream> FStream;
};

TEST_P(StreamKinds, ReadsBackWhatWasWritten) {
  FStream->WriteBuffer("hello world", 11);
  EXPECT_EQ(FStream->GetSize(), 11);
  EXPECT_EQ(FStream->GetPosition(), 11);
  FStream->SetPosition(6);
  char buffer[5];
  FStream->ReadBuffer(buffer, 5);
  EXPECT_EQ(String(buffer, 5), "world");
}

TEST_P(StreamKinds, ReadingPastTheEndReturnsFewerBytes) {
  FStream->WriteBuffer("abcdef", 6);
  FStream->SetPosition(4);
  char buffer[10] = {};
  EXPECT_EQ(FStream->Read(buffer, 10), 2);
  EXPECT_EQ(String(buffer, 2), "ef");
  EXPECT_EQ(FStream->Read(buffer, 10), 0);
  EXPECT_EQ(FStream->GetPosition(), 6);
}

TEST_P(StreamKinds, ReadBufferPastTheEndRaises) {
  FStream->WriteBuffer("abc", 3);
  FStream->SetPosition(1);
  char buffer[3];
  try {
    FStream->ReadBuffer(buffer, 3);
    FAIL() << "no exception";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Stream read error");
  }
  FStream->SetPosition(3);
  EXPECT_NO_THROW(FStream->ReadBuffer(buffer, 0));
}

TEST_P(StreamKinds, SeekOriginsOfBothForms) {
  FStream->WriteBuffer("0123456789", 10);
  struct Case {
    Int64 Offset;
    TSeekOrigin Origin;
    Int64 Expected;
  };
  const Case cases[] = {
      {3, soBeginning, 3}, {2, soCurrent, 5}, {-1, soCurrent, 4}, {0, soEnd, 10}, {-4, soEnd, 6},
  };
  for (const Case& c : cases) EXPECT_EQ(FStream->Seek(c.Offset, c.Origin), c.Expected);

  EXPECT_EQ(FStream->Seek(1, soFromBeginning), 1);
  EXPECT_EQ(FStream->Seek(2, soFromCurrent), 3);
  EXPECT_EQ(FStream->Seek(-3, soFromEnd), 7);
  EXPECT_THROW(FStream->Seek(0, Word(7)), EStreamError);
  EXPECT_EQ(FStream->GetPosition(), 7);
}

TEST_P(StreamKinds, SetSizeTruncatesAndPullsThePositionBack) {
  FStream->WriteBuffer("0123456789", 10);
  FStream->SetSize(4);
  EXPECT_EQ(FStream->GetSize(), 4);
  EXPECT_EQ(FStream->GetPosition(), 4);
  FStream->SetPosition(0);
  char buffer[10];
  EXPECT_EQ(FStream->Read(buffer, 10), 4);
  EXPECT_EQ(String(buffer, 4), "0123");
}

TEST_P(StreamKinds, WritingAfterTheEndFillsTheGapWithZeros) {
  FStream->WriteBuffer("ab", 2);
  FStream->SetPosition(5);
  FStream->WriteBuffer("z", 1);
  EXPECT_EQ(FStream->GetSize(), 6);
  FStream->SetPosition(0);
  char buffer[6];
  FStream->ReadBuffer(buffer, 6);
  EXPECT_EQ(String(buffer, 6), String("ab\0\0\0z", 6));
}

TEST_P(StreamKinds, CopyFromWithZeroCountCopiesTheWholeSource) {
  TStringStream source("the whole source");
  source.SetPosition(9);
  EXPECT_EQ(FStream->CopyFrom(&source, 0), 16);
  FStream->SetPosition(0);
  char buffer[16];
  FStream->ReadBuffer(buffer, 16);
  EXPECT_EQ(String(buffer, 16), "the whole source");
}

TEST_P(StreamKinds, CopyFromCopiesCountBytesFromTheSourcePosition) {
  std::vector<char> big(200000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  TMemoryStream source;
  source.WriteBuffer(big.data(), static_cast<Integer>(big.size()));
  source.SetPosition(100);
  EXPECT_EQ(FStream->CopyFrom(&source, 150000), 150000);
  EXPECT_EQ(source.GetPosition(), 150100);
  FStream->SetPosition(0);
  std::vector<char> copied(150000);
  FStream->ReadBuffer(copied.data(), 150000);
  EXPECT_TRUE(std::equal(copied.begin(), copied.end(), big.begin() + 100));
}

TEST_P(StreamKinds, CopyFromAShortSourceRaises) {
  TStringStream source("short");
  EXPECT_THROW(FStream->CopyFrom(&source, 10), EReadError);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, StreamKinds,
    testing::Values(
        TStreamKind{"Memory", [](const TTempFolder&) { return TOwned<TStream>(New<TMemoryStream>()); }},
        TStreamKind{"String", [](const TTempFolder&) { return TOwned<TStream>(New<TStringStream>()); }},
        TStreamKind{"File",
                    [](const TTempFolder& folder) {
                      return TOwned<TStream>(New<TFileStream>(folder.File("s.bin"), fmCreate));
                    }}),
    [](const testing::TestParamInfo<TStreamKind>& info) { return String(info.param.Name); });

// ---------------------------------------------------------------------------------------------
// Memory streams

TEST(MemoryStream, GrowsItsCapacityAndKeepsTheContent) {
  TMemoryStream stream;
  EXPECT_EQ(stream.Memory(), nullptr);
  for (int i = 0; i < 10000; ++i) stream.WriteBuffer(&i, sizeof i);
  EXPECT_EQ(stream.GetSize(), 40000);
  EXPECT_GE(stream.GetCapacity(), 40000);
  const int* values = static_cast<const int*>(stream.Memory());
  EXPECT_EQ(values[0], 0);
  EXPECT_EQ(values[9999], 9999);
}

TEST(MemoryStream, SetSizeGrowsWithZerosEvenOverOldBytes) {
  TMemoryStream stream;
  stream.WriteBuffer("xyz", 3);
  stream.SetSize(1);
  stream.SetSize(3);
  EXPECT_EQ(String(static_cast<const char*>(stream.Memory()), 3), String("x\0\0", 3));
  EXPECT_EQ(stream.GetPosition(), 1);
}

TEST(MemoryStream, RefusesANegativeSizeAndKeepsTheContent) {
  TMemoryStream stream;
  stream.WriteBuffer("abc", 3);
  EXPECT_THROW(stream.SetSize(-1), EStreamError);
  EXPECT_EQ(stream.GetSize(), 3);
}

TEST(MemoryStream, AnImpossiblePositionIsAnErrorNotACrash) {
  TMemoryStream stream;
  stream.WriteBuffer("abc", 3);
  stream.Seek(Int64(1) << 62, soBeginning);
  EXPECT_THROW(stream.WriteBuffer("x", 1), EOutOfMemory);
  EXPECT_EQ(stream.GetSize(), 3);
  EXPECT_THROW(stream.Seek(std::numeric_limits<Int64>::max(), soCurrent), EStreamError);
  TStringStream text("abc");
  text.SetPosition(1);
  EXPECT_THROW(text.Seek(std::numeric_limits<Int64>::max(), soCurrent), EStreamError);
  EXPECT_EQ(text.GetPosition(), 1);
  stream.Seek(Int64(-5), soBeginning);
  char c;
  EXPECT_EQ(stream.Read(&c, 1), 0);
  EXPECT_EQ(stream.Write("x", 1), 0);
}

TEST(MemoryStream, ClearEmptiesEverything) {
  TMemoryStream stream;
  stream.WriteBuffer("abc", 3);
  stream.Clear();
  EXPECT_EQ(stream.GetSize(), 0);
  EXPECT_EQ(stream.GetPosition(), 0);
  EXPECT_EQ(stream.GetCapacity(), 0);
  EXPECT_EQ(stream.Memory(), nullptr);
}

TEST(MemoryStream, SavesToAndLoadsFromFiles) {
  TTempFolder folder;
  TMemoryStream out;
  String data("binary\0data\xff", 12);
  out.WriteBuffer(data.data(), Length(data));
  out.SaveToFile(folder.File("m.bin"));
  EXPECT_EQ(ReadWholeFile(folder.File("m.bin")), data);

  TMemoryStream in;
  in.WriteBuffer("old content that is longer", 26);
  in.LoadFromFile(folder.File("m.bin"));
  EXPECT_EQ(in.GetSize(), 12);
  EXPECT_EQ(in.GetPosition(), 0);
  EXPECT_EQ(String(static_cast<const char*>(in.Memory()), 12), data);
  EXPECT_THROW(in.LoadFromFile(folder.File("missing.bin")), EFOpenError);
}

// A read-only stream over memory a descendant hands in.
class TReadOnlyMemoryStream : public TCustomMemoryStream {
 public:
  explicit TReadOnlyMemoryStream(const String& text) : FText(text) {
    SetPointer(FText.data(), Length(FText));
  }

 private:
  String FText;
};

TEST(MemoryStream, CustomMemoryStreamReadsButDoesNotWrite) {
  TReadOnlyMemoryStream stream("fixed");
  char buffer[5];
  stream.ReadBuffer(buffer, 5);
  EXPECT_EQ(String(buffer, 5), "fixed");
  stream.SetPosition(0);
  EXPECT_THROW(stream.WriteBuffer("x", 1), EWriteError);
  try {
    stream.WriteBuffer("x", 1);
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message(), "Stream write error");
  }
}

// ---------------------------------------------------------------------------------------------
// String streams

TEST(StringStream, ReadsAndWritesStrings) {
  TStringStream stream("Hello");
  EXPECT_EQ(stream.GetSize(), 5);
  EXPECT_EQ(stream.ReadString(3), "Hel");
  EXPECT_EQ(stream.ReadString(10), "lo");
  EXPECT_EQ(stream.ReadString(10), "");
  stream.SetPosition(1);
  stream.WriteString("EY");
  EXPECT_EQ(stream.GetDataString(), "HEYlo");
  stream.Seek(Int64(0), soEnd);
  stream.WriteString(", world");
  EXPECT_EQ(stream.GetDataString(), "HEYlo, world");
}

TEST(StringStream, KeepsEveryByteValue) {
  String all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  TStringStream stream;
  stream.WriteString(all);
  stream.SetPosition(0);
  EXPECT_EQ(stream.ReadString(256), all);
}

// ---------------------------------------------------------------------------------------------
// File streams

class FileStream : public testing::Test {
 protected:
  TTempFolder FFolder;
};

TEST_F(FileStream, CreateTruncatesAnExistingFile) {
  WriteWholeFile(FFolder.File("f.txt"), "a long old content");
  {
    TFileStream stream(FFolder.File("f.txt"), fmCreate | fmShareExclusive);
    stream.WriteBuffer("new", 3);
    EXPECT_EQ(stream.GetFileName(), FFolder.File("f.txt"));
  }
  EXPECT_EQ(ReadWholeFile(FFolder.File("f.txt")), "new");
}

TEST_F(FileStream, OpenModesAllowWhatTheyName) {
  WriteWholeFile(FFolder.File("f.txt"), "0123456789");
  {
    TFileStream reader(FFolder.File("f.txt"), fmOpenRead | fmShareDenyNone);
    EXPECT_EQ(reader.GetSize(), 10);
    EXPECT_THROW(reader.WriteBuffer("x", 1), EWriteError);
  }
  {
    TFileStream writer(FFolder.File("f.txt"), fmOpenWrite | fmShareDenyWrite);
    writer.SetPosition(2);
    writer.WriteBuffer("ab", 2);
    char c;
    EXPECT_EQ(writer.Read(&c, 1), 0);
  }
  {
    TFileStream both(FFolder.File("f.txt"), fmOpenReadWrite);
    both.Seek(Int64(-1), soEnd);
    both.WriteBuffer("Z", 1);
    both.SetPosition(0);
    char buffer[10];
    both.ReadBuffer(buffer, 10);
    EXPECT_EQ(String(buffer, 10), "01ab45678Z");
  }
}

TEST_F(FileStream, ReportsFilesThatCannotBeOpenedOrCreated) {
  struct Case {
    String Name;
    Word Mode;
    bool IsCreate;
    String Message;
  };
  const String missing = FFolder.File("missing.txt");
  const String inMissingFolder = FFolder.File("nofolder/new.txt");
  const Case cases[] = {
      {missing, fmOpenRead, false,
       "Cannot open file \"" + missing + "\". No such file or directory"},
      {missing, fmOpenReadWrite, false,
       "Cannot open file \"" + missing + "\". No such file or directory"},
      {FFolder.Path(), fmOpenRead, false,
       "Cannot open file \"" + FFolder.Path() + "\". Is a directory"},
      {inMissingFolder, fmCreate, true,
       "Cannot create file \"" + inMissingFolder + "\". No such file or directory"},
      {"", fmOpenRead, false, "Cannot open file \"\". No such file or directory"},
  };
  for (const Case& c : cases) {
    try {
      TFileStream stream(c.Name, c.Mode);
      ADD_FAILURE() << "opened " << c.Name;
    } catch (const EFCreateError& e) {
      EXPECT_TRUE(c.IsCreate) << c.Name;
      EXPECT_EQ(e.Message(), c.Message);
    } catch (const EFOpenError& e) {
      EXPECT_FALSE(c.IsCreate) << c.Name;
      EXPECT_EQ(e.Message(), c.Message);
    }
  }
}

TEST_F(FileStream, AFailedSeekReturnsMinusOneAndKeepsThePosition) {
  TFileStream stream(FFolder.File("f"), fmCreate);
  stream.WriteBuffer("abc", 3);
  EXPECT_EQ(stream.Seek(Int64(-10), soBeginning), -1);
  EXPECT_EQ(stream.Seek(std::numeric_limits<Int64>::max(), soCurrent), -1);
  EXPECT_EQ(stream.GetPosition(), 3);
}

TEST_F(FileStream, NewFileGetsTheRightsAskedFor) {
  { TFileStream stream(FFolder.File("private"), fmCreate, 0600); }
  struct stat st;
  ASSERT_EQ(::stat(FFolder.File("private").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(FileStream, HandleStreamLeavesTheHandleOpen) {
  WriteWholeFile(FFolder.File("h.txt"), "handle");
  int fd = ::open(FFolder.File("h.txt").c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  {
    THandleStream stream(fd);
    EXPECT_EQ(stream.GetHandle(), fd);
    EXPECT_EQ(stream.GetSize(), 6);
  }
  char c;
  EXPECT_EQ(::read(fd, &c, 1), 1);
  ::close(fd);
}

TEST_F(FileStream, HandleStreamReadsAPipeWholeThoughItArrivesInPieces) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  String sent(300000, 'p');
  std::thread writer([&] {
    THandleStream out(fds[1]);
    out.WriteBuffer(sent.data(), Length(sent));
    ::close(fds[1]);
  });
  THandleStream in(fds[0]);
  String received(sent.size(), '\0');
  in.ReadBuffer(received.data(), Length(received));
  writer.join();
  EXPECT_EQ(received, sent);
  char c;
  EXPECT_EQ(in.Read(&c, 1), 0);
  ::close(fds[0]);
}

}  // namespace
