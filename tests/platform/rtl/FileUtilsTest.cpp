#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include "FileTestSupport.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Streams.h"

namespace {

TEST(FileNames, PartsOfAName) {
  struct Case {
    String Name, Path, Dir, FileName, Ext;
  };
  const Case cases[] = {
      {"/home/u/file.txt", "/home/u/", "/home/u", "file.txt", ".txt"},
      {"file.tar.gz", "", "", "file.tar.gz", ".gz"},
      {"/file", "/", "/", "file", ""},
      {"dir.d/file", "dir.d/", "dir.d", "file", ""},
      {"dir/", "dir/", "dir", "", ""},
      {"a//b", "a//", "a//", "b", ""},
      {"name.", "", "", "name.", "."},
      {".bashrc", "", "", ".bashrc", ".bashrc"},
      {"", "", "", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtractFilePath(c.Name), c.Path) << c.Name;
    EXPECT_EQ(ExtractFileDir(c.Name), c.Dir) << c.Name;
    EXPECT_EQ(ExtractFileName(c.Name), c.FileName) << c.Name;
    EXPECT_EQ(ExtractFileExt(c.Name), c.Ext) << c.Name;
  }
}

TEST(FileNames, ChangeFileExtAndTrailingDelimiters) {
  EXPECT_EQ(ChangeFileExt("/a/b.txt", ".ini"), "/a/b.ini");
  EXPECT_EQ(ChangeFileExt("/a.d/b", ".ini"), "/a.d/b.ini");
  EXPECT_EQ(ChangeFileExt("b.tar.gz", ""), "b.tar");
  EXPECT_EQ(ChangeFileExt("", ".x"), ".x");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter(""), "/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/a"), "/a");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "");
}

TEST(FileNames, NamesWithCodePageCharactersReachTheOsAsUtf8) {
  TTempFolder folder;
  const String name = folder.File("caf\xE9.txt");  // "café" in Windows-1252
  WriteFileAtomically(name, "x", 1);
  EXPECT_TRUE(FileExists(name));
  EXPECT_EQ(ReadWholeFile(folder.File("caf\xC3\xA9.txt")), "x");
}

TEST(Environment, ReadsVariables) {
  TEnvScope scope("QJ_TEST_VARIABLE", "value 1");
  EXPECT_EQ(GetEnvironmentVariable("QJ_TEST_VARIABLE"), "value 1");
  EXPECT_EQ(GetEnvironmentVariable("QJ_TEST_VARIABLE_THAT_IS_NOT_SET"), "");
}

class FileSystem : public testing::Test {
 protected:
  TTempFolder FFolder;
};

TEST_F(FileSystem, ExistenceOfFilesAndFolders) {
  WriteWholeFile(FFolder.File("f"), "");
  EXPECT_TRUE(FileExists(FFolder.File("f")));
  EXPECT_FALSE(DirectoryExists(FFolder.File("f")));
  EXPECT_TRUE(DirectoryExists(FFolder.Path()));
  EXPECT_FALSE(FileExists(FFolder.Path()));
  EXPECT_FALSE(FileExists(FFolder.File("none")));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(DirectoryExists(""));
}

TEST_F(FileSystem, ForceDirectoriesCreatesEveryLevel) {
  EXPECT_TRUE(ForceDirectories(FFolder.File("a/b/c/")));
  EXPECT_TRUE(DirectoryExists(FFolder.File("a/b/c")));
  EXPECT_TRUE(ForceDirectories(FFolder.File("a/b")));
  WriteWholeFile(FFolder.File("file"), "");
  EXPECT_FALSE(ForceDirectories(FFolder.File("file/sub")));
  EXPECT_FALSE(ForceDirectories(""));
  EXPECT_TRUE(ForceDirectories("/"));
}

TEST_F(FileSystem, DeleteAndRename) {
  WriteWholeFile(FFolder.File("a"), "A");
  WriteWholeFile(FFolder.File("b"), "B");
  EXPECT_FALSE(RenameFile(FFolder.File("a"), FFolder.File("b")));  // never replaces
  EXPECT_EQ(ReadWholeFile(FFolder.File("b")), "B");
  EXPECT_TRUE(RenameFile(FFolder.File("a"), FFolder.File("c")));
  EXPECT_EQ(ReadWholeFile(FFolder.File("c")), "A");
  EXPECT_FALSE(RenameFile(FFolder.File("missing"), FFolder.File("d")));
  EXPECT_TRUE(DeleteFile(FFolder.File("c")));
  EXPECT_FALSE(DeleteFile(FFolder.File("c")));
  EXPECT_FALSE(DeleteFile(FFolder.Path()));
}

// ---------------------------------------------------------------------------------------------
// WriteFileAtomically

class AtomicWrite : public testing::Test {
 protected:
  String Target() const { return FFolder.File("data.bin"); }
  TTempFolder FFolder;
};

TEST_F(AtomicWrite, CreatesAndReplacesFiles) {
  WriteFileAtomically(Target(), "first", 5);
  EXPECT_EQ(ReadWholeFile(Target()), "first");
  WriteFileAtomically(Target(), "2nd", 3);
  EXPECT_EQ(ReadWholeFile(Target()), "2nd");
  WriteFileAtomically(Target(), "", 0);
  EXPECT_EQ(ReadWholeFile(Target()), "");
  EXPECT_EQ(FFolder.EntryCount(), 1u);  // no temporary file left
}

TEST_F(AtomicWrite, KeepsThePermissionsOfTheOldFile) {
  WriteWholeFile(Target(), "old");
  ::chmod(Target().c_str(), 0640);
  WriteFileAtomically(Target(), "new", 3);
  struct stat st;
  ASSERT_EQ(::stat(Target().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(AtomicWrite, KeepsTheTailOfTheOldFileWhenAsked) {
  WriteWholeFile(Target(), "0123456789");
  TAtomicWriteOptions keep;
  keep.KeepExistingTail = true;
  WriteFileAtomically(Target(), "abcd", 4, keep);
  EXPECT_EQ(ReadWholeFile(Target()), "abcd456789");
  WriteFileAtomically(Target(), "a longer text", 13, keep);
  EXPECT_EQ(ReadWholeFile(Target()), "a longer text");
  WriteFileAtomically(Target(), "xy", 2);
  EXPECT_EQ(ReadWholeFile(Target()), "xy");
}

TEST_F(AtomicWrite, WritesThroughASymbolicLinkToItsTarget) {
  WriteWholeFile(Target(), "old");
  ::symlink(Target().c_str(), FFolder.File("link").c_str());
  WriteFileAtomically(FFolder.File("link"), "new", 3);
  EXPECT_EQ(ReadWholeFile(Target()), "new");
  struct stat st;
  ASSERT_EQ(::lstat(FFolder.File("link").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST_F(AtomicWrite, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  WriteWholeFile(Target(), "old content");
  const String big(100000, 'n');
  for (size_t allowed : {size_t(0), size_t(1), size_t(50000)}) {
    TFailingWriterScope failing(allowed);
    try {
      WriteFileAtomically(Target(), big.data(), big.size());
      ADD_FAILURE() << "no exception after " << allowed << " bytes";
    } catch (const EWriteError& e) {
      EXPECT_EQ(e.Message(), "Cannot write file \"" + Target() + "\". No space left on device");
    }
    EXPECT_EQ(ReadWholeFile(Target()), "old content");
    EXPECT_EQ(FFolder.EntryCount(), 1u);
  }
  WriteFileAtomically(Target(), "after", 5);  // the writer is back to normal
  EXPECT_EQ(ReadWholeFile(Target()), "after");
}

TEST_F(AtomicWrite, ACrashMidWriteLeavesTheOldContent) {
  WriteWholeFile(Target(), "old content");
  const String big(100000, 'n');
  auto crashHalfway = [&] {
    SetAtomicWriteFunc([](int fd, const void* buffer, size_t count) -> long {
      if (::write(fd, buffer, count / 2) < 0) return -1;
      ::kill(::getpid(), SIGKILL);
      return -1;
    });
    WriteFileAtomically(Target(), big.data(), big.size());
  };
  EXPECT_EXIT(crashHalfway(), testing::KilledBySignal(SIGKILL), "");
  EXPECT_EQ(ReadWholeFile(Target()), "old content");
  WriteFileAtomically(Target(), "after", 5);
  EXPECT_EQ(ReadWholeFile(Target()), "after");
}

TEST_F(AtomicWrite, ReportsTargetsThatCannotBeWritten) {
  struct Case {
    String Name;
    String Message;
  };
  const String noFolder = FFolder.File("missing/x.bin");
  const Case cases[] = {
      {noFolder, "Cannot create file \"" + noFolder + "\". No such file or directory"},
      {FFolder.Path(), "Cannot create file \"" + FFolder.Path() + "\". Is a directory"},
      {"", "Cannot create file \"\". No such file or directory"},
      {"/dev/null", "Cannot create file \"/dev/null\". Not a regular file"},
  };
  for (const Case& c : cases) {
    try {
      WriteFileAtomically(c.Name, "x", 1);
      ADD_FAILURE() << c.Name;
    } catch (const EFCreateError& e) {
      EXPECT_EQ(e.Message(), c.Message);
    }
  }
}

}  // namespace
