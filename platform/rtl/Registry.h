// The per-user settings store, with the original platform's registry interface.
//
// Every root key lives in one text file, $XDG_CONFIG_HOME/qjeditor/registry.ini (else
// ~/.config/qjeditor/registry.ini). Each key is a section named by its full path,
// "[HKEY_CURRENT_USER\Software\QJ\Editor]"; each value is one line:
//   Name="text"            a string (\\ \" \n \r \t and \xHH escapes)
//   Name=expand:"text"     a string with environment references
//   Name=int:-12           an integer
//   Name=hex:01,ff         binary data
//   @=...                  the key's unnamed (default) value
// Characters of key and value names that the file cannot hold as they are, and '%', become %HH. A key
// exists when its section does or when a key below it does. Every change reads the file, changes
// it and writes it back whole through WriteFileAtomically, so it is never half-written.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/rtl/SysUtils.h"

class TStrings;
class TIniDocument;

enum class HKEY : uintptr_t {};
constexpr HKEY HKEY_CLASSES_ROOT = HKEY(0x80000000u);
constexpr HKEY HKEY_CURRENT_USER = HKEY(0x80000001u);
constexpr HKEY HKEY_LOCAL_MACHINE = HKEY(0x80000002u);
constexpr HKEY HKEY_USERS = HKEY(0x80000003u);
constexpr HKEY HKEY_CURRENT_CONFIG = HKEY(0x80000005u);

// Access rights of a TRegistry: reading needs KEY_QUERY_VALUE, changing needs KEY_SET_VALUE
// (values) or KEY_CREATE_SUB_KEY (keys).
constexpr Cardinal KEY_QUERY_VALUE = 0x0001;
constexpr Cardinal KEY_SET_VALUE = 0x0002;
constexpr Cardinal KEY_CREATE_SUB_KEY = 0x0004;
constexpr Cardinal KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr Cardinal KEY_NOTIFY = 0x0010;
constexpr Cardinal KEY_READ = 0x00020019;
constexpr Cardinal KEY_WRITE = 0x00020006;
constexpr Cardinal KEY_ALL_ACCESS = 0x000F003F;

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
  TRegDataType RegData = rdUnknown;
  Integer DataSize = 0;
};

extern const TResourceString SRegGetDataFailed;
extern const TResourceString SRegSetDataFailed;
extern const TResourceString SInvalidRegType;
extern const TResourceString SRegCreateFailed;

class TRegistry : public TObject {
  QJ_CLASS(TRegistry, TObject)
 public:
  explicit TRegistry(Cardinal access = KEY_ALL_ACCESS);

  // The store's file, from the environment at construction.
  const String& GetStoreFileName() const { return FFileName; }
  static String DefaultFileName();

  HKEY GetRootKey() const { return FRootKey; }
  void SetRootKey(HKEY value);  // closes the current key
  Cardinal GetAccess() const { return FAccess; }
  void SetAccess(Cardinal value) { FAccess = value; }
  // The open key's path below the root, "" for the root itself.
  const String& GetCurrentPath() const { return FCurrentPath; }
  bool HasCurrentKey() const { return FKeyOpen; }

  // A key starting with '\' is a path from the root; otherwise it is below the open key.
  bool OpenKey(const String& key, bool canCreate);
  bool OpenKeyReadOnly(const String& key);
  void CloseKey();
  bool CreateKey(const String& key);
  bool DeleteKey(const String& key);  // with every key below it
  bool KeyExists(const String& key);
  bool HasSubKeys();
  void GetKeyNames(TStrings* strings);
  std::vector<String> KeyNames();

  // Values of the open key (of the root when no key is open).
  bool ValueExists(const String& name);
  bool DeleteValue(const String& name);
  void GetValueNames(TStrings* strings);
  std::vector<String> ValueNames();
  TRegDataType GetDataType(const String& name);
  Integer GetDataSize(const String& name);  // -1 when there is no such value
  bool GetDataInfo(const String& name, TRegDataInfo& info);

  // Reading a missing value raises ERegistryException ("Failed to get data for '%s'"), except
  // ReadString, which gives "" as on the original platform; a value of another type raises
  // "Invalid data type for '%s'". Writing without the right raises "Failed to set data for '%s'".
  String ReadString(const String& name);
  void WriteString(const String& name, const String& value);
  void WriteExpandString(const String& name, const String& value);
  Integer ReadInteger(const String& name);
  void WriteInteger(const String& name, Integer value);
  bool ReadBool(const String& name);  // an integer, non-zero is true
  void WriteBool(const String& name, bool value);
  double ReadFloat(const String& name);  // eight bytes of binary data
  void WriteFloat(const String& name, double value);
  // Copies up to bufSize bytes; returns the value's size. Raises when the value is longer.
  Integer ReadBinaryData(const String& name, void* buffer, Integer bufSize);
  void WriteBinaryData(const String& name, const void* buffer, Integer bufSize);

 protected:
  // The open key, to come back to after a detour.
  struct TKeyState {
    String Path;
    bool Open = false;
    bool ReadOnly = false;
  };
  TKeyState SaveKey() const { return {FCurrentPath, FKeyOpen, FReadOnlyKey}; }
  void RestoreKey(const TKeyState& state);

 private:
  struct TValue;
  String Section(const String& path) const;
  String ResolvePath(const String& key) const;
  bool PathExists(const TIniDocument& document, const String& path) const;
  TIniDocument Load() const;
  template <class F>
  bool Change(F&& change);
  bool FindValue(const String& name, TValue& value);
  TValue GetValue(const String& name, TRegDataType wanted);
  void PutValue(const String& name, const String& encoded);
  bool CanRead() const;
  bool CanWrite() const;

  String FFileName;
  HKEY FRootKey = HKEY_CURRENT_USER;
  Cardinal FAccess;
  String FCurrentPath;
  bool FKeyOpen = false;
  bool FReadOnlyKey = false;
};

// INI-style access to the store: the key given at construction (created when missing) plays the
// file, its subkeys play the sections and their values the keys. Sections are opened like keys:
// below the file's key, or from the root when they start with '\\'. Integers and booleans are
// written as text; ReadInteger also reads integer values.
class TRegIniFile : public TRegistry {
  QJ_CLASS(TRegIniFile, TRegistry)
 public:
  explicit TRegIniFile(const String& fileName, Cardinal access = KEY_ALL_ACCESS);

  const String& GetFileName() const { return FIniFileName; }

  String ReadString(const String& section, const String& ident, const String& def);
  void WriteString(const String& section, const String& ident, const String& value);
  Integer ReadInteger(const String& section, const String& ident, Integer def);
  void WriteInteger(const String& section, const String& ident, Integer value);
  bool ReadBool(const String& section, const String& ident, bool def);
  void WriteBool(const String& section, const String& ident, bool value);
  void ReadSection(const String& section, TStrings* strings);        // value names
  void ReadSections(TStrings* strings);                              // subkey names
  void ReadSectionValues(const String& section, TStrings* strings);  // "name=value" lines
  void EraseSection(const String& section);
  void DeleteKey(const String& section, const String& ident);

 private:
  // Runs action with the section's key open; false when the section is missing and not created.
  template <class F>
  bool InSection(const String& section, bool create, F&& action);

  String FIniFileName;
};
