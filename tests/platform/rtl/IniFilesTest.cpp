#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <memory>

#include "FileTestSupport.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"

namespace {

using TStringVector = std::vector<String>;

// ---------------------------------------------------------------------------------------------
// Behaviour both INI classes share. A TMemIniFile sees the file as it was when it was created.

struct TIniKind {
  const char* Name;
  bool WritesAtOnce;
  std::function<std::unique_ptr<TCustomIniFile>(const String&)> Make;
  friend void PrintTo(const TIniKind& kind, std::ostream* os) { *os << kind.Name; }
};

class IniKinds : public testing::TestWithParam<TIniKind> {
 protected:
  String FileName() const { return FFolder.File("settings.ini"); }
  std::unique_ptr<TCustomIniFile> Open(const String& content) {
    WriteWholeFile(FileName(), content);
    return GetParam().Make(FileName());
  }
  // The file's text once the changes reached it.
  String Saved(TCustomIniFile& ini) {
    ini.UpdateFile();
    return ReadWholeFile(FileName());
  }
  TTempFolder FFolder;
};

TEST_P(IniKinds, SectionsAndKeysIgnoreCaseAndValuesKeepIt) {
  auto ini = Open("[Main]\nName = Some Value  \n");
  EXPECT_EQ(ini->ReadString("MAIN", "name", "def"), "Some Value");
  EXPECT_EQ(ini->ReadString(" main ", " NAME ", "def"), "Some Value");
  EXPECT_EQ(ini->ReadString("Main", "Other", "def"), "def");
  EXPECT_EQ(ini->ReadString("Other", "Name", "def"), "def");
}

TEST_P(IniKinds, AnEmptyValueIsAValue) {
  auto ini = Open("[S]\nEmpty=\n");
  EXPECT_EQ(ini->ReadString("S", "Empty", "def"), "");
  EXPECT_TRUE(ini->ValueExists("S", "Empty"));
}

TEST_P(IniKinds, ReadsIntegers) {
  auto ini = Open(
      "[N]\ndec=42\nneg=-7\ndollar=$1F\nhex=0x1f\nHEX=0XFF\nblank= 12 \nbad=12a\nempty=\n"
      "huge=99999999999\n");
  struct Case {
    const char* Key;
    Integer Expected;
  };
  const Case cases[] = {{"dec", 42},  {"neg", -7},  {"dollar", 31}, {"hex", 31}, {"HEX", 31},
                        {"blank", 12}, {"bad", -1}, {"empty", -1},  {"huge", -1}, {"missing", -1}};
  for (const Case& c : cases) EXPECT_EQ(ini->ReadInteger("N", c.Key, -1), c.Expected) << c.Key;
}

TEST_P(IniKinds, ReadsBooleansAndFloats) {
  auto ini = Open("[B]\none=1\nzero=0\nfive=5\ntrue=True\nfalse=false\nbad=maybe\nf=2.5\nfbad=2,5x\n");
  EXPECT_TRUE(ini->ReadBool("B", "one", false));
  EXPECT_FALSE(ini->ReadBool("B", "zero", true));
  EXPECT_TRUE(ini->ReadBool("B", "five", false));
  EXPECT_TRUE(ini->ReadBool("B", "true", false));
  EXPECT_FALSE(ini->ReadBool("B", "false", true));
  EXPECT_TRUE(ini->ReadBool("B", "bad", true));
  EXPECT_FALSE(ini->ReadBool("B", "missing", false));
  EXPECT_DOUBLE_EQ(ini->ReadFloat("B", "f", 0), 2.5);
  EXPECT_DOUBLE_EQ(ini->ReadFloat("B", "fbad", -1), -1);
  EXPECT_DOUBLE_EQ(ini->ReadFloat("B", "missing", 7), 7);
}

TEST_P(IniKinds, WritesTypedValues) {
  auto ini = Open("");
  ini->WriteInteger("T", "Int", -12);
  ini->WriteBool("T", "Yes", true);
  ini->WriteBool("T", "No", false);
  ini->WriteFloat("T", "F", 0.5);
  ini->WriteString("T", "S", "  padded  ");
  EXPECT_EQ(Saved(*ini), "[T]\nInt=-12\nYes=1\nNo=0\nF=0.5\nS=padded\n");
  EXPECT_EQ(ini->ReadInteger("T", "Int", 0), -12);
  EXPECT_TRUE(ini->ReadBool("T", "Yes", false));
}

TEST_P(IniKinds, RewritesKeepCommentsBlankAndMalformedLines) {
  const String original =
      "; leading comment\n"
      "\n"
      "[First]\n"
      "; about a\n"
      "A = 1\n"
      "this line is malformed\n"
      "=no key\n"
      "B=2\n"
      "\n"
      "[Second]\n"
      "C=3\n";
  auto ini = Open(original);
  ini->WriteString("first", "a", "one");
  ini->WriteString("First", "New", "x");
  ini->WriteString("Third", "D", "4");
  EXPECT_EQ(Saved(*ini),
            "; leading comment\n"
            "\n"
            "[First]\n"
            "; about a\n"
            "A=one\n"
            "this line is malformed\n"
            "=no key\n"
            "B=2\n"
            "New=x\n"
            "\n"
            "[Second]\n"
            "C=3\n"
            "\n"
            "[Third]\n"
            "D=4\n");
}

TEST_P(IniKinds, KeepsWindowsLineBreaks) {
  auto ini = Open("[S]\r\nA=1\r\n");
  EXPECT_EQ(ini->ReadString("S", "A", ""), "1");
  ini->WriteString("S", "B", "2");
  EXPECT_EQ(Saved(*ini), "[S]\r\nA=1\r\nB=2\r\n");
}

TEST_P(IniKinds, ListsSectionsKeysAndValues) {
  auto ini = Open("[One]\nA=1\nb=2\na=dup\n[Two]\n[one]\nC=3\n");
  EXPECT_EQ(ini->SectionNames(), (TStringVector{"One", "Two"}));
  EXPECT_EQ(ini->SectionKeys("ONE"), (TStringVector{"A", "b", "C"}));
  EXPECT_EQ(ini->ReadString("One", "A", ""), "1");  // the first of duplicates counts
  EXPECT_TRUE(ini->SectionKeys("Two").empty());
  EXPECT_TRUE(ini->SectionKeys("Missing").empty());

  TStringList list;
  list.Add("stale");
  ini->ReadSections(&list);
  EXPECT_EQ(list.GetText(), "One\r\nTwo\r\n");
  ini->ReadSection("one", &list);
  EXPECT_EQ(list.GetText(), "A\r\nb\r\nC\r\n");
  ini->ReadSectionValues("one", &list);
  EXPECT_EQ(list.GetText(), "A=1\r\nb=2\r\nC=3\r\n");
}

TEST_P(IniKinds, ExistenceOfSectionsAndValues) {
  auto ini = Open("[Empty]\n[Full]\nK=v\n");
  EXPECT_TRUE(ini->SectionExists("empty"));
  EXPECT_TRUE(ini->SectionExists("FULL"));
  EXPECT_FALSE(ini->SectionExists("none"));
  EXPECT_TRUE(ini->ValueExists("full", "k"));
  EXPECT_FALSE(ini->ValueExists("full", "x"));
  EXPECT_FALSE(ini->ValueExists("empty", "k"));
}

TEST_P(IniKinds, EraseSectionAndDeleteKey) {
  auto ini = Open("[A]\nx=1\ny=2\nx=3\n[B]\nz=1\n[a]\nw=4\n");
  ini->DeleteKey("a", "X");
  EXPECT_FALSE(ini->ValueExists("A", "x"));  // duplicates go too
  EXPECT_EQ(ini->ReadString("A", "y", ""), "2");
  ini->DeleteKey("A", "missing");
  ini->DeleteKey("Missing", "x");
  ini->EraseSection("a");
  EXPECT_FALSE(ini->SectionExists("A"));
  EXPECT_EQ(Saved(*ini), "[B]\nz=1\n");
}

TEST_P(IniKinds, RefusesNamesThatCannotBeWrittenAndKeepsTheFile) {
  auto ini = Open("[S]\nK=v\n");
  struct Case {
    String Section, Key, Value;
  };
  const Case cases[] = {
      {"", "K", "v"},      {"  ", "K", "v"},   {"a]b", "K", "v"}, {"a\nb", "K", "v"},
      {"S", "", "v"},      {"S", "a=b", "v"},  {"S", ";c", "v"},  {"S", "[k", "v"},
      {"S", "k\rx", "v"},   {"S", "K", "a\nb"}, {"S", "K", "a\rb"},
  };
  for (const Case& c : cases)
    EXPECT_THROW(ini->WriteString(c.Section, c.Key, c.Value), EIniFileException)
        << c.Section << "/" << c.Key;
  EXPECT_EQ(Saved(*ini), "[S]\nK=v\n");
}

TEST_P(IniKinds, MalformedFilesReadWithoutCrashing) {
  String binary;
  for (int i = 0; i < 512; ++i) binary += static_cast<char>((i * 37) % 256);
  const String contents[] = {
      "[unclosed\nk=v\n", "]\n[\n[]\n=\n==\n;\n", "no newline at end", "\r\r\n\n\r", binary,
      "[S]\nk=v=w\n",
  };
  for (const String& content : contents) {
    auto ini = Open(content);
    for (const String& section : ini->SectionNames()) ini->SectionValues(section);
    ini->ReadString("S", "k", "");
    ini->WriteString("S", "after", "1");
    EXPECT_EQ(ini->ReadString("S", "after", ""), "1");
  }
  auto ini = Open("[S]\nk=v=w\n");
  EXPECT_EQ(ini->ReadString("S", "k", ""), "v=w");
}

TEST_P(IniKinds, AMissingFileReadsAsEmptyAndIsCreatedOnTheFirstWrite) {
  auto ini = GetParam().Make(FFolder.File("new.ini"));
  EXPECT_EQ(ini->ReadString("S", "K", "def"), "def");
  EXPECT_TRUE(ini->SectionNames().empty());
  EXPECT_FALSE(FileExists(FFolder.File("new.ini")));
  ini->WriteString("S", "K", "v");
  ini->UpdateFile();
  EXPECT_EQ(ReadWholeFile(FFolder.File("new.ini")), "[S]\nK=v\n");
}

TEST_P(IniKinds, ACrashMidWriteLeavesTheOldFile) {
  const String original = "; settings\n[S]\nK=old\n";
  auto ini = Open(original);
  {
    TFailingWriterScope failing(5);
    if (GetParam().WritesAtOnce) {
      EXPECT_THROW(ini->WriteString("S", "K", "new value"), EWriteError);
    } else {
      ini->WriteString("S", "K", "new value");
      EXPECT_THROW(ini->UpdateFile(), EWriteError);
    }
  }
  EXPECT_EQ(ReadWholeFile(FileName()), original);
  EXPECT_EQ(FFolder.EntryCount(), 1u);

  auto killedMidWrite = [&] {
    SetAtomicWriteFunc([](int fd, const void* buffer, size_t count) -> long {
      if (::write(fd, buffer, count / 2) < 0) return -1;
      ::kill(::getpid(), SIGKILL);
      return -1;
    });
    ini->WriteString("S", "K", "other");
    ini->UpdateFile();
  };
  EXPECT_EXIT(killedMidWrite(), testing::KilledBySignal(SIGKILL), "");
  EXPECT_EQ(ReadWholeFile(FileName()), original);
}

TEST_P(IniKinds, WritesKeepTheFilePermissions) {
  auto ini = Open("[S]\n");
  ::chmod(FileName().c_str(), 0600);
  ini->WriteString("S", "K", "v");
  ini->UpdateFile();
  struct stat st;
  ASSERT_EQ(::stat(FileName().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

INSTANTIATE_TEST_SUITE_P(
    IniFiles, IniKinds,
    testing::Values(TIniKind{"IniFile", true,
                             [](const String& f) { return std::make_unique<TIniFile>(f); }},
                    TIniKind{"MemIniFile", false,
                             [](const String& f) { return std::make_unique<TMemIniFile>(f); }}),
    [](const testing::TestParamInfo<TIniKind>& info) { return String(info.param.Name); });

// ---------------------------------------------------------------------------------------------
// What differs between them

class IniFile : public testing::Test {
 protected:
  String FileName() const { return FFolder.File("s.ini"); }
  TTempFolder FFolder;
};

TEST_F(IniFile, TIniFileSeesChangesOfOthersAndWritesAtOnce) {
  TIniFile first(FileName());
  TIniFile second(FileName());
  first.WriteString("S", "A", "1");
  EXPECT_EQ(ReadWholeFile(FileName()), "[S]\nA=1\n");
  second.WriteString("S", "B", "2");
  EXPECT_EQ(first.ReadString("S", "B", ""), "2");
  EXPECT_EQ(ReadWholeFile(FileName()), "[S]\nA=1\nB=2\n");
}

TEST_F(IniFile, TIniFileDoesNotRewriteAnUnchangedFile) {
  WriteWholeFile(FileName(), "[S]\nA=1\n");
  TIniFile ini(FileName());
  TFailingWriterScope failing(0);  // any write would raise
  EXPECT_NO_THROW(ini.WriteString("S", "A", "1"));
  EXPECT_NO_THROW(ini.DeleteKey("S", "missing"));
  EXPECT_NO_THROW(ini.EraseSection("missing"));
  EXPECT_EQ(ReadWholeFile(FileName()), "[S]\nA=1\n");
}

TEST_F(IniFile, TMemIniFileWritesOnlyOnUpdateFile) {
  WriteWholeFile(FileName(), "[S]\nA=1\n");
  TMemIniFile ini(FileName());
  ini.WriteString("S", "A", "2");
  EXPECT_EQ(ReadWholeFile(FileName()), "[S]\nA=1\n");
  ini.Reload();
  EXPECT_EQ(ini.ReadString("S", "A", ""), "1");
  ini.SetText("[T]\r\nX=y\r\n");
  ini.UpdateFile();
  EXPECT_EQ(ReadWholeFile(FileName()), "[T]\r\nX=y\r\n");
  ini.Clear();
  EXPECT_EQ(ini.GetText(), "");
}

TEST_F(IniFile, AFileThatCannotBeReadIsNeverOverwritten) {
  // A folder stands where the file should be: it cannot be read, and must not be replaced.
  ::mkdir(FileName().c_str(), 0755);
  TIniFile ini(FileName());
  EXPECT_EQ(ini.ReadString("S", "K", "def"), "def");
  EXPECT_THROW(ini.WriteString("S", "K", "v"), EIniFileException);
  TMemIniFile mem(FileName());
  mem.WriteString("S", "K", "v");
  EXPECT_THROW(mem.UpdateFile(), EIniFileException);
  EXPECT_TRUE(DirectoryExists(FileName()));
}

}  // namespace
