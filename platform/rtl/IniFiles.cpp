#include "platform/rtl/IniFiles.h"

#include <mutex>

#include "platform/rtl/IniDocument.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StringList.h"

const TResourceString SIniInvalidSection = {65330, "Invalid INI section name \"%s\""};
const TResourceString SIniInvalidKey = {65331, "Invalid INI key name \"%s\""};
const TResourceString SIniInvalidValue = {65332, "INI values cannot hold line breaks"};
const TResourceString SIniReadError = {65333, "Cannot read file \"%s\". %s"};

QJ_IMPLEMENT_CLASS(TCustomIniFile)
QJ_IMPLEMENT_CLASS(TIniFile)
QJ_IMPLEMENT_CLASS(TMemIniFile)

namespace {

// One read-change-write of a file at a time in this process, so two objects on the same file
// cannot lose each other's changes.
std::mutex fileChangeLock;

bool HasLineBreak(const String& s) { return s.find_first_of("\r\n") != String::npos; }

[[noreturn]] void RaiseReadError(const String& fileName, int error) {
  throw EIniFileException(&SIniReadError, {fileName, SysErrorMessage(error)});
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TCustomIniFile

void TCustomIniFile::CheckSection(const String& section) {
  const String name = Trim(section);
  if (name.empty() || HasLineBreak(name) || name.find(']') != String::npos)
    throw EIniFileException(&SIniInvalidSection, {section});
}

void TCustomIniFile::CheckKey(const String& ident) {
  const String name = Trim(ident);
  if (name.empty() || HasLineBreak(name) || name.find('=') != String::npos || name[0] == ';' ||
      name[0] == '[')
    throw EIniFileException(&SIniInvalidKey, {ident});
}

void TCustomIniFile::CheckValue(const String& value) {
  if (HasLineBreak(value)) throw EIniFileException(&SIniInvalidValue);
}

Integer TCustomIniFile::ReadInteger(const String& section, const String& ident, Integer def) {
  String text = Trim(ReadString(section, ident, ""));
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    text = "$" + text.substr(2);
  return StrToIntDef(text, def);
}

void TCustomIniFile::WriteInteger(const String& section, const String& ident, Integer value) {
  WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const String& section, const String& ident, bool def) {
  const String text = ReadString(section, ident, "");
  Integer number;
  if (TryStrToInt(text, number)) return number != 0;
  bool value;
  return TryStrToBool(text, value) ? value : def;
}

void TCustomIniFile::WriteBool(const String& section, const String& ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const String& section, const String& ident, double def) {
  double value;
  return TryStrToFloat(ReadString(section, ident, ""), value) ? value : def;
}

void TCustomIniFile::WriteFloat(const String& section, const String& ident, double value) {
  WriteString(section, ident, FloatToStr(value));
}

void TCustomIniFile::ReadSection(const String& section, TStrings* strings) {
  strings->SetLines(SectionKeys(section));
}

void TCustomIniFile::ReadSections(TStrings* strings) { strings->SetLines(SectionNames()); }

void TCustomIniFile::ReadSectionValues(const String& section, TStrings* strings) {
  std::vector<String> lines;
  for (const auto& [key, value] : SectionValues(section)) lines.push_back(key + "=" + value);
  strings->SetLines(lines);
}

// ---------------------------------------------------------------------------------------------
// TIniFile

// Reading never fails: a file that cannot be read reads as empty.
TIniDocument TIniFile::Load() const {
  TIniDocument document;
  document.LoadFromFile(GetFileName());
  return document;
}

template <class F>
void TIniFile::Change(F&& change) {
  std::lock_guard<std::mutex> guard(fileChangeLock);
  TIniDocument document;
  if (document.LoadFromFile(GetFileName()) == TIniDocument::TLoadResult::Failed)
    RaiseReadError(GetFileName(), document.GetReadError());
  if (change(document)) document.SaveToFile(GetFileName());
}

String TIniFile::ReadString(const String& section, const String& ident, const String& def) {
  String value;
  return Load().ReadValue(section, ident, value) ? value : def;
}

void TIniFile::WriteString(const String& section, const String& ident, const String& value) {
  CheckSection(section);
  CheckKey(ident);
  CheckValue(value);
  Change([&](TIniDocument& d) { return d.WriteValue(section, ident, value); });
}

std::vector<String> TIniFile::SectionKeys(const String& section) { return Load().KeyNames(section); }

std::vector<String> TIniFile::SectionNames() { return Load().SectionNames(); }

std::vector<std::pair<String, String>> TIniFile::SectionValues(const String& section) {
  return Load().Values(section);
}

void TIniFile::EraseSection(const String& section) {
  Change([&](TIniDocument& d) { return d.EraseSection(section); });
}

void TIniFile::DeleteKey(const String& section, const String& ident) {
  Change([&](TIniDocument& d) { return d.DeleteKey(section, ident); });
}

bool TIniFile::SectionExists(const String& section) { return Load().SectionExists(section); }

bool TIniFile::ValueExists(const String& section, const String& ident) {
  return Load().ValueExists(section, ident);
}

// ---------------------------------------------------------------------------------------------
// TMemIniFile

TMemIniFile::TMemIniFile(const String& fileName)
    : TCustomIniFile(fileName), FDocument(std::make_unique<TIniDocument>()) {
  Reload();
}

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::Reload() {
  FLoadFailed = FDocument->LoadFromFile(GetFileName()) == TIniDocument::TLoadResult::Failed;
}

String TMemIniFile::ReadString(const String& section, const String& ident, const String& def) {
  String value;
  return FDocument->ReadValue(section, ident, value) ? value : def;
}

void TMemIniFile::WriteString(const String& section, const String& ident, const String& value) {
  CheckSection(section);
  CheckKey(ident);
  CheckValue(value);
  FDocument->WriteValue(section, ident, value);
}

std::vector<String> TMemIniFile::SectionKeys(const String& section) {
  return FDocument->KeyNames(section);
}

std::vector<String> TMemIniFile::SectionNames() { return FDocument->SectionNames(); }

std::vector<std::pair<String, String>> TMemIniFile::SectionValues(const String& section) {
  return FDocument->Values(section);
}

void TMemIniFile::EraseSection(const String& section) { FDocument->EraseSection(section); }

void TMemIniFile::DeleteKey(const String& section, const String& ident) {
  FDocument->DeleteKey(section, ident);
}

bool TMemIniFile::SectionExists(const String& section) { return FDocument->SectionExists(section); }

bool TMemIniFile::ValueExists(const String& section, const String& ident) {
  return FDocument->ValueExists(section, ident);
}

void TMemIniFile::UpdateFile() {
  if (FLoadFailed) RaiseReadError(GetFileName(), FDocument->GetReadError());
  std::lock_guard<std::mutex> guard(fileChangeLock);
  FDocument->SaveToFile(GetFileName());
}

// Replacing the whole content makes it safe to write even when the file could not be read.
void TMemIniFile::Clear() {
  FDocument->Clear();
  FLoadFailed = false;
}

String TMemIniFile::GetText() const { return FDocument->GetText(); }

void TMemIniFile::SetText(const String& text) {
  FDocument->SetText(text);
  FLoadFailed = false;
}
