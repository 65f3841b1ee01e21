#include <gtest/gtest.h>

#include <signal.h>

#include <cstring>
#include <functional>
#include <memory>

#include "FileTestSupport.h"
#include "RtlTestSupport.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/StringList.h"

namespace {

using TStringVector = std::vector<String>;

// Every test gets an empty store of its own.
class Registry : public testing::Test {
 protected:
  Registry() : FConfig("XDG_CONFIG_HOME", FFolder.Path()) {}

  String StoreFile() const { return FFolder.File("qjeditor/registry.ini"); }
  String StoreText() const { return ReadWholeFile(StoreFile()); }

  TTempFolder FFolder;
  TEnvScope FConfig;
  TRegistry FReg;
};

TEST_F(Registry, TheStoreLivesInTheUserConfigurationFolder) {
  EXPECT_EQ(FReg.GetStoreFileName(), StoreFile());
  EXPECT_EQ(FReg.GetRootKey(), HKEY_CURRENT_USER);
  {
    TEnvScope relative("XDG_CONFIG_HOME", "relative/path");
    TEnvScope home("HOME", "/home/someone");
    EXPECT_EQ(TRegistry::DefaultFileName(), "/home/someone/.config/qjeditor/registry.ini");
  }
  {
    TEnvScope unset("XDG_CONFIG_HOME", "");
    TEnvScope home("HOME", "/h/");
    EXPECT_EQ(TRegistry::DefaultFileName(), "/h/.config/qjeditor/registry.ini");
  }
}

TEST_F(Registry, OpensKeysWithOrWithoutCreatingThem) {
  EXPECT_FALSE(FReg.OpenKey("Software\\QJ\\Editor", false));
  EXPECT_FALSE(FileExists(StoreFile()));
  EXPECT_FALSE(FReg.HasCurrentKey());

  EXPECT_TRUE(FReg.OpenKey("Software\\QJ\\Editor", true));
  EXPECT_EQ(FReg.GetCurrentPath(), "Software\\QJ\\Editor");
  EXPECT_TRUE(FileExists(StoreFile()));
  FReg.CloseKey();
  EXPECT_EQ(FReg.GetCurrentPath(), "");

  for (const char* key : {"Software", "software\\qj", "\\SOFTWARE\\QJ\\EDITOR", "Software\\QJ\\Editor\\"})
    EXPECT_TRUE(FReg.KeyExists(key)) << key;
  EXPECT_FALSE(FReg.KeyExists("Software\\Other"));
  EXPECT_TRUE(FReg.OpenKey("Software", false));
  EXPECT_TRUE(FReg.OpenKey("QJ", false));  // relative to the open key
  EXPECT_EQ(FReg.GetCurrentPath(), "Software\\QJ");
  EXPECT_TRUE(FReg.OpenKey("\\Software", false));  // from the root
  EXPECT_EQ(FReg.GetCurrentPath(), "Software");
}

TEST_F(Registry, ValuesOfEachTypeRoundTrip) {
  ASSERT_TRUE(FReg.OpenKey("Software\\QJ", true));
  const String text = "  Mixed Case \"quoted\" back\\slash\ttab\r\nline \x01 caf\xE9  ";
  FReg.WriteString("Text", text);
  FReg.WriteString("Empty", "");
  FReg.WriteExpandString("Path", "$HOME/x");
  FReg.WriteInteger("Width", -300);
  FReg.WriteBool("Visible", true);
  FReg.WriteFloat("Ratio", 0.125);
  const unsigned char bytes[] = {0, 1, 0x7F, 0xFF};
  FReg.WriteBinaryData("Blob", bytes, sizeof bytes);

  TRegistry other;  // a second object reads the file
  ASSERT_TRUE(other.OpenKey("software\\qj", false));
  EXPECT_EQ(other.ReadString("text"), text);
  EXPECT_EQ(other.ReadString("Empty"), "");
  EXPECT_EQ(other.ReadString("Path"), "$HOME/x");
  EXPECT_EQ(other.ReadInteger("WIDTH"), -300);
  EXPECT_TRUE(other.ReadBool("Visible"));
  EXPECT_DOUBLE_EQ(other.ReadFloat("Ratio"), 0.125);
  unsigned char read[8] = {};
  EXPECT_EQ(other.ReadBinaryData("Blob", read, sizeof read), 4);
  EXPECT_EQ(std::memcmp(read, bytes, 4), 0);

  struct Case {
    const char* Name;
    TRegDataType Type;
    Integer Size;
  };
  const Case cases[] = {{"Text", rdString, Length(text) + 1}, {"Path", rdExpandString, 8},
                        {"Width", rdInteger, 4},             {"Ratio", rdBinary, 8},
                        {"Blob", rdBinary, 4},               {"Missing", rdUnknown, -1}};
  for (const Case& c : cases) {
    EXPECT_EQ(other.GetDataType(c.Name), c.Type) << c.Name;
    EXPECT_EQ(other.GetDataSize(c.Name), c.Size) << c.Name;
  }
}

TEST_F(Registry, TheFileIsReadableText) {
  ASSERT_TRUE(FReg.OpenKey("Software\\QJ", true));
  FReg.WriteInteger("Width", 300);
  FReg.WriteString("Caption", "Hello");
  EXPECT_EQ(StoreText(),
            "[HKEY_CURRENT_USER\\Software]\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\QJ]\n"
            "Width=int:300\n"
            "Caption=\"Hello\"\n");
}

TEST_F(Registry, ReadingMissingOrMistypedValuesRaises) {
  ASSERT_TRUE(FReg.OpenKey("K", true));
  FReg.WriteString("Text", "12");
  FReg.WriteInteger("Number", 12);
  EXPECT_EQ(ErrorOf<ERegistryException>([&] { FReg.ReadInteger("Text"); }),
            "Invalid data type for 'Text'");
  EXPECT_EQ(ErrorOf<ERegistryException>([&] { FReg.ReadString("Number"); }),
            "Invalid data type for 'Number'");
  EXPECT_EQ(ErrorOf<ERegistryException>([&] { FReg.ReadFloat("Number"); }),
            "Invalid data type for 'Number'");
  EXPECT_EQ(ErrorOf<ERegistryException>([&] { FReg.ReadInteger("Missing"); }),
            "Failed to get data for 'Missing'");
  EXPECT_THROW(FReg.ReadBool("Missing"), ERegistryException);
  EXPECT_EQ(FReg.ReadString("Missing"), "");  // as on the original platform
  char small[1];
  FReg.WriteBinaryData("Blob", "abc", 3);
  EXPECT_THROW(FReg.ReadBinaryData("Blob", small, 1), ERegistryException);
}

TEST_F(Registry, HandEditedJunkReadsAsUnknownNeverCrashes) {
  ForceDirectories(FFolder.File("qjeditor"));
  WriteWholeFile(StoreFile(),
                 "[HKEY_CURRENT_USER\\K]\n"
                 "a=plain text\n"
                 "b=int:12x\n"
                 "c=\"unterminated\n"
                 "d=hex:0g\n"
                 "e=\"bad \\x4\"\n"
                 "f=expand:nope\n"
                 "g=\"ends in \\\"\n"
                 "junk line\n");
  ASSERT_TRUE(FReg.OpenKey("K", false));
  for (const char* name : {"a", "b", "c", "d", "e", "f", "g"}) {
    EXPECT_TRUE(FReg.ValueExists(name)) << name;
    EXPECT_EQ(FReg.GetDataType(name), rdUnknown) << name;
    EXPECT_THROW(FReg.ReadString(name), ERegistryException) << name;
  }
  FReg.WriteInteger("a", 1);
  EXPECT_EQ(FReg.ReadInteger("a"), 1);
  EXPECT_NE(StoreText().find("junk line"), String::npos);
}

TEST_F(Registry, NamesTheFileCannotHoldAsTheyAreRoundTrip) {
  const String keyName = " odd]key [x] 100% ";
  const String valueNames[] = {"", "@", "a=b", ";c", "[d", " e ", "back\\slash", "tab\tname", "50%",
                               "caf\xE9"};
  ASSERT_TRUE(FReg.OpenKey(keyName, true));
  for (const String& name : valueNames) FReg.WriteString(name, "v:" + name);
  TRegistry other;
  EXPECT_EQ(other.KeyNames(), TStringVector{keyName});
  ASSERT_TRUE(other.OpenKey(keyName, false));
  EXPECT_EQ(other.ValueNames(), TStringVector(std::begin(valueNames), std::end(valueNames)));
  for (const String& name : valueNames) EXPECT_EQ(other.ReadString(name), "v:" + name);
}

TEST_F(Registry, ListsSubKeysAndValues) {
  ASSERT_TRUE(FReg.OpenKey("App\\Grid\\Columns", true));
  ASSERT_TRUE(FReg.OpenKey("\\App\\Window", true));
  FReg.WriteInteger("Left", 1);
  FReg.WriteInteger("Top", 2);
  ASSERT_TRUE(FReg.OpenKey("\\App", false));
  EXPECT_EQ(FReg.KeyNames(), (TStringVector{"Grid", "Window"}));
  EXPECT_TRUE(FReg.HasSubKeys());
  TStringList list;
  FReg.GetKeyNames(&list);
  EXPECT_EQ(list.GetText(), "Grid\r\nWindow\r\n");
  ASSERT_TRUE(FReg.OpenKey("Window", false));
  FReg.GetValueNames(&list);
  EXPECT_EQ(list.GetText(), "Left\r\nTop\r\n");
  EXPECT_FALSE(FReg.HasSubKeys());
  FReg.CloseKey();
  EXPECT_EQ(FReg.KeyNames(), TStringVector{"App"});
}

TEST_F(Registry, DeletesValuesAndKeysWithEverythingBelow) {
  ASSERT_TRUE(FReg.OpenKey("A\\B\\C", true));
  FReg.WriteInteger("x", 1);
  EXPECT_TRUE(FReg.DeleteValue("X"));
  EXPECT_FALSE(FReg.ValueExists("x"));
  EXPECT_FALSE(FReg.DeleteValue("x"));
  FReg.CloseKey();
  EXPECT_TRUE(FReg.DeleteKey("a\\b"));
  EXPECT_FALSE(FReg.KeyExists("A\\B\\C"));
  EXPECT_FALSE(FReg.KeyExists("A\\B"));
  EXPECT_TRUE(FReg.KeyExists("A"));  // the parent stays
  EXPECT_FALSE(FReg.DeleteKey("A\\B"));
  EXPECT_FALSE(FReg.DeleteKey(""));  // never the root
}

TEST_F(Registry, RootKeysAreSeparate) {
  ASSERT_TRUE(FReg.OpenKey("Software", true));
  FReg.WriteInteger("v", 1);
  FReg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_FALSE(FReg.HasCurrentKey());
  EXPECT_FALSE(FReg.KeyExists("Software"));
  ASSERT_TRUE(FReg.OpenKey("Software", true));
  EXPECT_FALSE(FReg.ValueExists("v"));
}

TEST_F(Registry, ReadOnlyAccessRefusesChanges) {
  ASSERT_TRUE(FReg.OpenKey("K", true));
  FReg.WriteInteger("v", 1);
  ASSERT_TRUE(FReg.OpenKeyReadOnly("\\K"));
  EXPECT_EQ(FReg.ReadInteger("v"), 1);
  EXPECT_EQ(ErrorOf<ERegistryException>([&] { FReg.WriteInteger("v", 2); }),
            "Failed to set data for 'v'");
  EXPECT_FALSE(FReg.DeleteValue("v"));
  EXPECT_FALSE(FReg.OpenKeyReadOnly("\\Missing"));

  TRegistry reader(KEY_READ);
  EXPECT_FALSE(reader.OpenKey("New", true));
  ASSERT_TRUE(reader.OpenKey("K", false));
  EXPECT_EQ(reader.ReadInteger("v"), 1);
  EXPECT_THROW(reader.WriteString("s", "x"), ERegistryException);
  EXPECT_EQ(reader.GetAccess(), KEY_READ);
}

TEST_F(Registry, AStoreThatCannotBeReadIsNeverOverwritten) {
  // A folder stands where the store should be: it cannot be read, and must not be replaced.
  ASSERT_TRUE(ForceDirectories(StoreFile()));
  const String message = ErrorOf<ERegistryException>([&] { FReg.CreateKey("K"); });
  EXPECT_EQ(message.rfind("Cannot read file \"" + StoreFile() + "\". ", 0), 0u) << message;
  EXPECT_TRUE(DirectoryExists(StoreFile()));
}

TEST_F(Registry, ACrashMidWriteLeavesTheOldStore) {
  ASSERT_TRUE(FReg.OpenKey("K", true));
  FReg.WriteString("v", "old");
  const String before = StoreText();
  {
    TFailingWriterScope failing(3);
    String message = ErrorOf<ERegistryException>([&] { FReg.WriteString("v", "new"); });
    EXPECT_EQ(message.rfind("Failed to set data for 'v'. Cannot write file", 0), 0u) << message;
  }
  EXPECT_EQ(StoreText(), before);

  auto killedMidWrite = [&] {
    SetAtomicWriteFunc([](int fd, const void* buffer, size_t count) -> long {
      if (::write(fd, buffer, count / 2) < 0) return -1;
      ::kill(::getpid(), SIGKILL);
      return -1;
    });
    FReg.WriteString("v", "new");
  };
  EXPECT_EXIT(killedMidWrite(), testing::KilledBySignal(SIGKILL), "");
  EXPECT_EQ(StoreText(), before);
  EXPECT_EQ(FReg.ReadString("v"), "old");
}

// ---------------------------------------------------------------------------------------------
// TRegIniFile

TEST_F(Registry, RegIniFileMapsSectionsToSubkeys) {
  TRegIniFile ini("Software\\QJ\\Layout");
  EXPECT_EQ(ini.GetFileName(), "Software\\QJ\\Layout");
  EXPECT_EQ(ini.GetCurrentPath(), "Software\\QJ\\Layout");
  EXPECT_EQ(ini.ReadString("Grid", "Caption", "def"), "def");
  EXPECT_FALSE(ini.KeyExists("Grid"));  // reading creates nothing

  ini.WriteString("Grid", "Caption", "Channels");
  ini.WriteInteger("Grid", "Width", 120);
  ini.WriteBool("Grid", "Visible", true);
  ini.WriteString("", "Top", "at the file's key");
  EXPECT_EQ(ini.GetCurrentPath(), "Software\\QJ\\Layout");  // back where it was

  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\QJ\\Layout\\Grid", false));
  EXPECT_EQ(reg.ReadString("Width"), "120");  // integers go in as text
  reg.WriteInteger("Height", 40);

  EXPECT_EQ(ini.ReadString("Grid", "Caption", ""), "Channels");
  EXPECT_EQ(ini.ReadInteger("Grid", "Width", 0), 120);
  EXPECT_EQ(ini.ReadInteger("Grid", "Height", 0), 40);  // integer values read too
  EXPECT_EQ(ini.ReadInteger("Grid", "Caption", -1), -1);
  EXPECT_TRUE(ini.ReadBool("Grid", "Visible", false));
  EXPECT_TRUE(ini.ReadBool("Grid", "Missing", true));
  EXPECT_EQ(ini.ReadString("", "Top", ""), "at the file's key");

  TStringList list;
  ini.ReadSections(&list);
  EXPECT_EQ(list.GetText(), "Grid\r\n");
  ini.ReadSection("Grid", &list);
  EXPECT_EQ(list.GetText(), "Caption\r\nWidth\r\nVisible\r\nHeight\r\n");
  ini.ReadSectionValues("Grid", &list);
  EXPECT_EQ(list.GetText(), "Caption=Channels\r\nWidth=120\r\nVisible=1\r\nHeight=40\r\n");

  ini.DeleteKey("Grid", "Caption");
  EXPECT_EQ(ini.ReadString("Grid", "Caption", "gone"), "gone");
  ini.EraseSection("Grid");
  EXPECT_FALSE(ini.KeyExists("Grid"));
  ini.ReadSection("Grid", &list);
  EXPECT_EQ(list.GetCount(), 0);
}

}  // namespace
