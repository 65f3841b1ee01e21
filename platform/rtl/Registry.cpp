#include "platform/rtl/Registry.h"

#include <pwd.h>
#include <unistd.h>

#include <cstring>
#include <mutex>

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/IniDocument.h"
#include "platform/rtl/Scopes.h"
#include "platform/rtl/StringList.h"

const TResourceString SRegGetDataFailed = {65340, "Failed to get data for '%s'"};
const TResourceString SRegSetDataFailed = {65341, "Failed to set data for '%s'"};
const TResourceString SInvalidRegType = {65342, "Invalid data type for '%s'"};
const TResourceString SRegCreateFailed = {65343, "Failed to create key %s"};
const TResourceString SRegReadFailed = {65344, "Cannot read file \"%s\". %s"};

QJ_IMPLEMENT_CLASS(TRegistry)
QJ_IMPLEMENT_CLASS(TRegIniFile)

struct TRegistry::TValue {
  TRegDataType Type = rdUnknown;
  String Data;  // the text of a string, the bytes of binary data
  Integer Int = 0;
};

namespace {

constexpr char KeyDelim = '\\';

// One read-change-write of the store at a time in this process.
std::mutex storeLock;

String RootName(HKEY root) {
  switch (root) {
    case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS: return "HKEY_USERS";
    case HKEY_CURRENT_CONFIG: return "HKEY_CURRENT_CONFIG";
  }
  return "HKEY_" + IntToHex(static_cast<Int64>(root), 8);
}

String HexByte(unsigned char c) { return IntToHex(c, 2); }

// Reads the two hex digits at s[i], s[i + 1]; -1 when they are not there.
int HexPair(const String& s, size_t i) {
  if (i + 1 >= s.size()) return -1;
  int high = HexDigitValue(s[i]), low = HexDigitValue(s[i + 1]);
  return high < 0 || low < 0 ? -1 : high * 16 + low;
}

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// Replaces the characters escapeAt picks with %HH. Names use '%', not '\\', since '\\' separates
// the keys of a path.
template <class F>
String EscapeName(const String& name, F&& escapeAt) {
  String result;
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (IsControl(c) || c == '%' || c == '\\' || (c == ' ' && (i == 0 || i + 1 == name.size())) ||
        escapeAt(c, i))
      result += "%" + HexByte(c);
    else
      result += static_cast<char>(c);
  }
  return result;
}

String UnescapeName(const String& text) {
  String result;
  for (size_t i = 0; i < text.size(); ++i) {
    int byte = text[i] == '%' ? HexPair(text, i + 1) : -1;
    if (byte < 0) {
      result += text[i];
    } else {
      result += static_cast<char>(byte);
      i += 2;
    }
  }
  return result;
}

String EscapeKeyName(const String& name) {
  return EscapeName(name, [](unsigned char c, size_t) { return c == ']'; });
}

String EscapeValueName(const String& name) {
  if (name.empty()) return "@";
  return EscapeName(name, [](unsigned char c, size_t i) {
    return c == '=' || (i == 0 && (c == ';' || c == '[' || c == '@'));
  });
}

String ValueNameFromKey(const String& key) { return key == "@" ? String() : UnescapeName(key); }

String QuoteText(const String& text) {
  String result = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '\\': result += "\\\\"; break;
      case '"': result += "\\\""; break;
      case '\n': result += "\\n"; break;
      case '\r': result += "\\r"; break;
      case '\t': result += "\\t"; break;
      default:
        if (IsControl(c))
          result += "\\x" + HexByte(c);
        else
          result += static_cast<char>(c);
    }
  }
  return result + "\"";
}

bool UnquoteText(const String& quoted, String& text) {
  if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') return false;
  text.clear();
  for (size_t i = 1; i + 1 < quoted.size(); ++i) {
    char c = quoted[i];
    if (c != '\\') {
      text += c;
      continue;
    }
    if (i + 2 >= quoted.size()) return false;  // a lone backslash before the closing quote
    char e = quoted[++i];
    if (e == 'x') {
      int byte = HexPair(quoted, i + 1);
      if (byte < 0 || i + 2 >= quoted.size()) return false;
      text += static_cast<char>(byte);
      i += 2;
    } else {
      text += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
    }
  }
  return true;
}

String EncodeBinary(const void* buffer, Integer size) {
  String result = "hex:";
  const unsigned char* bytes = static_cast<const unsigned char*>(buffer);
  for (Integer i = 0; i < size; ++i) result += (i ? "," : "") + HexByte(bytes[i]);
  return result;
}

bool DecodeBinary(const String& text, String& bytes) {
  bytes.clear();
  for (size_t i = 0; i < text.size(); i += 3) {
    int byte = HexPair(text, i);
    if (byte < 0 || (i + 2 < text.size() && text[i + 2] != ',')) return false;
    bytes += static_cast<char>(byte);
  }
  return true;
}

bool StartsWith(const String& s, const char* prefix) { return s.compare(0, std::strlen(prefix), prefix) == 0; }

// Case-insensitive: does name start with prefix?
bool HasPrefix(const String& name, const String& prefix) {
  return name.size() > prefix.size() && AnsiSameText(name.substr(0, prefix.size()), prefix);
}

String HomeFolder() {
  String home = GetEnvironmentVariable("HOME");
  if (!home.empty()) return home;
  const passwd* entry = ::getpwuid(::getuid());
  return entry && entry->pw_dir ? FileNameFromOs(entry->pw_dir) : String("/tmp");
}

}  // namespace

// ---------------------------------------------------------------------------------------------

TRegistry::TRegistry(Cardinal access) : FFileName(DefaultFileName()), FAccess(access) {}

String TRegistry::DefaultFileName() {
  String base = GetEnvironmentVariable("XDG_CONFIG_HOME");
  // Only an absolute path counts, as the base directory rules of the desktop say.
  if (base.empty() || base[0] != PathDelim) base = IncludeTrailingPathDelimiter(HomeFolder()) + ".config";
  return IncludeTrailingPathDelimiter(base) + "qjeditor/registry.ini";
}

void TRegistry::SetRootKey(HKEY value) {
  CloseKey();
  FRootKey = value;
}

String TRegistry::Section(const String& path) const {
  String section = RootName(FRootKey);
  size_t start = 0;
  while (start < path.size()) {
    size_t end = path.find(KeyDelim, start);
    if (end == String::npos) end = path.size();
    section += KeyDelim + EscapeKeyName(path.substr(start, end - start));
    start = end + 1;
  }
  return section;
}

String TRegistry::ResolvePath(const String& key) const {
  String path = !key.empty() && key[0] == KeyDelim ? String() : FCurrentPath;
  size_t start = 0;
  while (start <= key.size()) {
    size_t end = key.find(KeyDelim, start);
    if (end == String::npos) end = key.size();
    if (end > start) path += (path.empty() ? "" : String(1, KeyDelim)) + key.substr(start, end - start);
    start = end + 1;
  }
  return path;
}

bool TRegistry::PathExists(const TIniDocument& document, const String& path) const {
  if (path.empty()) return true;
  const String section = Section(path);
  if (document.SectionExists(section)) return true;
  for (const String& name : document.SectionNames())
    if (HasPrefix(name, section + KeyDelim)) return true;
  return false;
}

// Reading never fails: a store that cannot be read reads as empty.
TIniDocument TRegistry::Load() const {
  TIniDocument document;
  document.LoadFromFile(FFileName);
  return document;
}

template <class F>
bool TRegistry::Change(F&& change) {
  std::lock_guard<std::mutex> guard(storeLock);
  TIniDocument document;
  if (document.LoadFromFile(FFileName) == TIniDocument::TLoadResult::Failed)
    throw ERegistryException(&SRegReadFailed, {FFileName, SysErrorMessage(document.GetReadError())});
  if (!change(document)) return false;
  ForceDirectories(ExtractFileDir(FFileName));
  document.SaveToFile(FFileName);
  return true;
}

bool TRegistry::CanRead() const { return (FAccess & KEY_QUERY_VALUE) != 0; }

bool TRegistry::CanWrite() const { return !FReadOnlyKey && (FAccess & KEY_SET_VALUE) != 0; }

// ---------------------------------------------------------------------------------------------
// Keys

bool TRegistry::OpenKey(const String& key, bool canCreate) {
  const String path = ResolvePath(key);
  if (!PathExists(Load(), path)) {
    if (!canCreate || (FAccess & KEY_CREATE_SUB_KEY) == 0 || FReadOnlyKey) return false;
    try {
      CreateKey(key);
    } catch (const Exception&) {
      return false;  // the platform answers a failed open with false
    }
  }
  FCurrentPath = path;
  FKeyOpen = true;
  FReadOnlyKey = false;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const String& key) {
  const String path = ResolvePath(key);
  if (!PathExists(Load(), path)) return false;
  FCurrentPath = path;
  FKeyOpen = true;
  FReadOnlyKey = true;
  return true;
}

void TRegistry::RestoreKey(const TKeyState& state) {
  FCurrentPath = state.Path;
  FKeyOpen = state.Open;
  FReadOnlyKey = state.ReadOnly;
}

void TRegistry::CloseKey() {
  FCurrentPath.clear();
  FKeyOpen = false;
  FReadOnlyKey = false;
}

bool TRegistry::CreateKey(const String& key) {
  const String path = ResolvePath(key);
  if (path.empty() || (FAccess & KEY_CREATE_SUB_KEY) == 0)
    throw ERegistryException(&SRegCreateFailed, {key});
  // Every key on the way gets its section, so each stays when a key below it is deleted.
  Change([&](TIniDocument& document) {
    bool changed = false;
    for (size_t end = path.find(KeyDelim);; end = path.find(KeyDelim, end + 1)) {
      changed = document.AddSection(Section(path.substr(0, end))) || changed;
      if (end == String::npos) break;
    }
    return changed;
  });
  return true;
}

bool TRegistry::DeleteKey(const String& key) {
  const String path = ResolvePath(key);
  if (path.empty() || !CanWrite()) return false;
  const String section = Section(path);
  return Change([&](TIniDocument& document) {
    bool changed = document.EraseSection(section);
    for (const String& name : document.SectionNames())
      if (HasPrefix(name, section + KeyDelim)) changed = document.EraseSection(name) || changed;
    return changed;
  });
}

bool TRegistry::KeyExists(const String& key) { return PathExists(Load(), ResolvePath(key)); }

std::vector<String> TRegistry::KeyNames() {
  const String prefix = Section(FCurrentPath) + KeyDelim;
  std::vector<String> names;
  for (const String& section : Load().SectionNames()) {
    if (!HasPrefix(section, prefix)) continue;
    String child = section.substr(prefix.size());
    child = UnescapeName(child.substr(0, child.find(KeyDelim)));
    bool known = false;
    for (const String& name : names) known = known || AnsiSameText(name, child);
    if (!known) names.push_back(child);
  }
  return names;
}

bool TRegistry::HasSubKeys() { return !KeyNames().empty(); }

void TRegistry::GetKeyNames(TStrings* strings) { strings->SetLines(KeyNames()); }

// ---------------------------------------------------------------------------------------------
// Values

bool TRegistry::FindValue(const String& name, TValue& value) {
  String text;
  if (!Load().ReadValue(Section(FCurrentPath), EscapeValueName(name), text)) return false;
  value = TValue();
  if (StartsWith(text, "\"")) {
    if (UnquoteText(text, value.Data)) value.Type = rdString;
  } else if (StartsWith(text, "expand:")) {
    if (UnquoteText(text.substr(7), value.Data)) value.Type = rdExpandString;
  } else if (StartsWith(text, "int:")) {
    if (TryStrToInt(text.substr(4), value.Int)) value.Type = rdInteger;
  } else if (StartsWith(text, "hex:")) {
    if (DecodeBinary(text.substr(4), value.Data)) value.Type = rdBinary;
  }
  return true;
}

TRegistry::TValue TRegistry::GetValue(const String& name, TRegDataType wanted) {
  TValue value;
  if (!CanRead() || !FindValue(name, value)) throw ERegistryException(&SRegGetDataFailed, {name});
  bool isText = value.Type == rdString || value.Type == rdExpandString;
  if (wanted == rdString ? !isText : value.Type != wanted)
    throw ERegistryException(&SInvalidRegType, {name});
  return value;
}

void TRegistry::PutValue(const String& name, const String& encoded) {
  if (!CanWrite()) throw ERegistryException(&SRegSetDataFailed, {name});
  const String section = Section(FCurrentPath);
  try {
    Change([&](TIniDocument& document) {
      return document.WriteValue(section, EscapeValueName(name), encoded);
    });
  } catch (const EStreamError& e) {
    throw ERegistryException(Format(LoadResString(&SRegSetDataFailed), {name}) + ". " + e.Message());
  }
}

bool TRegistry::ValueExists(const String& name) {
  TValue value;
  return FindValue(name, value);
}

bool TRegistry::DeleteValue(const String& name) {
  if (!CanWrite()) return false;
  const String section = Section(FCurrentPath);
  return Change([&](TIniDocument& document) {
    return document.DeleteKey(section, EscapeValueName(name));
  });
}

std::vector<String> TRegistry::ValueNames() {
  std::vector<String> names;
  for (const String& key : Load().KeyNames(Section(FCurrentPath))) names.push_back(ValueNameFromKey(key));
  return names;
}

void TRegistry::GetValueNames(TStrings* strings) { strings->SetLines(ValueNames()); }

bool TRegistry::GetDataInfo(const String& name, TRegDataInfo& info) {
  TValue value;
  info = TRegDataInfo();
  if (!FindValue(name, value)) return false;
  info.RegData = value.Type;
  switch (value.Type) {
    case rdString:
    case rdExpandString: info.DataSize = Length(value.Data) + 1; break;  // with the terminator
    case rdInteger: info.DataSize = 4; break;
    default: info.DataSize = Length(value.Data); break;
  }
  return true;
}

TRegDataType TRegistry::GetDataType(const String& name) {
  TRegDataInfo info;
  GetDataInfo(name, info);
  return info.RegData;
}

Integer TRegistry::GetDataSize(const String& name) {
  TRegDataInfo info;
  return GetDataInfo(name, info) ? info.DataSize : -1;
}

String TRegistry::ReadString(const String& name) {
  if (CanRead() && !ValueExists(name)) return String();
  return GetValue(name, rdString).Data;
}

void TRegistry::WriteString(const String& name, const String& value) {
  PutValue(name, QuoteText(value));
}

void TRegistry::WriteExpandString(const String& name, const String& value) {
  PutValue(name, "expand:" + QuoteText(value));
}

Integer TRegistry::ReadInteger(const String& name) { return GetValue(name, rdInteger).Int; }

void TRegistry::WriteInteger(const String& name, Integer value) {
  PutValue(name, "int:" + IntToStr(value));
}

bool TRegistry::ReadBool(const String& name) { return ReadInteger(name) != 0; }

void TRegistry::WriteBool(const String& name, bool value) { WriteInteger(name, value ? 1 : 0); }

double TRegistry::ReadFloat(const String& name) {
  TValue value = GetValue(name, rdBinary);
  double result;
  if (value.Data.size() != sizeof result) throw ERegistryException(&SInvalidRegType, {name});
  std::memcpy(&result, value.Data.data(), sizeof result);
  return result;
}

void TRegistry::WriteFloat(const String& name, double value) {
  WriteBinaryData(name, &value, sizeof value);
}

Integer TRegistry::ReadBinaryData(const String& name, void* buffer, Integer bufSize) {
  TValue value = GetValue(name, rdBinary);
  if (Length(value.Data) > bufSize) throw ERegistryException(&SInvalidRegType, {name});
  if (!value.Data.empty()) std::memcpy(buffer, value.Data.data(), value.Data.size());
  return Length(value.Data);
}

void TRegistry::WriteBinaryData(const String& name, const void* buffer, Integer bufSize) {
  PutValue(name, EncodeBinary(buffer, bufSize < 0 ? 0 : bufSize));
}

// ---------------------------------------------------------------------------------------------
// TRegIniFile

TRegIniFile::TRegIniFile(const String& fileName, Cardinal access)
    : TRegistry(access), FIniFileName(fileName) {
  OpenKey(fileName, true);
}

template <class F>
bool TRegIniFile::InSection(const String& section, bool create, F&& action) {
  const TKeyState saved = SaveKey();
  if (!section.empty() && !OpenKey(section, create)) return false;
  TFinally restore([&] { RestoreKey(saved); });
  action();
  return true;
}

String TRegIniFile::ReadString(const String& section, const String& ident, const String& def) {
  String result = def;
  InSection(section, false, [&] {
    if (ValueExists(ident)) result = TRegistry::ReadString(ident);
  });
  return result;
}

void TRegIniFile::WriteString(const String& section, const String& ident, const String& value) {
  if (!InSection(section, true, [&] { TRegistry::WriteString(ident, value); }))
    throw ERegistryException(&SRegCreateFailed, {section});
}

Integer TRegIniFile::ReadInteger(const String& section, const String& ident, Integer def) {
  Integer result = def;
  InSection(section, false, [&] {
    switch (GetDataType(ident)) {
      case rdString:
      case rdExpandString: result = StrToIntDef(TRegistry::ReadString(ident), def); break;
      case rdInteger: result = TRegistry::ReadInteger(ident); break;
      default: break;
    }
  });
  return result;
}

void TRegIniFile::WriteInteger(const String& section, const String& ident, Integer value) {
  WriteString(section, ident, IntToStr(value));
}

bool TRegIniFile::ReadBool(const String& section, const String& ident, bool def) {
  return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(const String& section, const String& ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

void TRegIniFile::ReadSection(const String& section, TStrings* strings) {
  std::vector<String> names;
  InSection(section, false, [&] { names = ValueNames(); });
  strings->SetLines(names);
}

void TRegIniFile::ReadSections(TStrings* strings) { GetKeyNames(strings); }

void TRegIniFile::ReadSectionValues(const String& section, TStrings* strings) {
  std::vector<String> lines;
  InSection(section, false, [&] {
    for (const String& name : ValueNames()) {
      TRegDataType type = GetDataType(name);
      if (type == rdString || type == rdExpandString)
        lines.push_back(name + "=" + TRegistry::ReadString(name));
      else if (type == rdInteger)
        lines.push_back(name + "=" + IntToStr(TRegistry::ReadInteger(name)));
    }
  });
  strings->SetLines(lines);
}

void TRegIniFile::EraseSection(const String& section) { TRegistry::DeleteKey(section); }

void TRegIniFile::DeleteKey(const String& section, const String& ident) {
  InSection(section, false, [&] { DeleteValue(ident); });
}
