// INI settings files.
//
// TIniFile reads the file at every call and writes it at every change, like the original
// platform's profile functions; TMemIniFile reads it once and writes it on UpdateFile. Either way
// the file is replaced whole through WriteFileAtomically, so it is never half-written, and
// comments and malformed lines survive a rewrite. A missing file reads as empty and is created on
// the first write (its folder must exist). Text is stored byte for byte (Windows-1252).
//
// Sections and keys are case-insensitive; keys and values lose leading and trailing blanks.
// Names that cannot be written as one line of the file (a line break anywhere, '=' or a leading
// ';' or '[' in a key, ']' in a section, an empty key or section) raise EIniFileException.
// A section exists when its header is in the file, even with no keys under it.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/rtl/SysUtils.h"

class TStrings;
class TIniDocument;

extern const TResourceString SIniInvalidSection;
extern const TResourceString SIniInvalidKey;
extern const TResourceString SIniInvalidValue;
extern const TResourceString SIniReadError;

class TCustomIniFile : public TObject {
  QJ_CLASS(TCustomIniFile, TObject)
 public:
  explicit TCustomIniFile(const String& fileName) : FFileName(fileName) {}

  const String& GetFileName() const { return FFileName; }

  virtual String ReadString(const String& section, const String& ident, const String& def) = 0;
  virtual void WriteString(const String& section, const String& ident, const String& value) = 0;
  // Decimal, or hexadecimal with '$' or "0x"; text that is no number gives def.
  Integer ReadInteger(const String& section, const String& ident, Integer def);
  void WriteInteger(const String& section, const String& ident, Integer value);
  // A number (non-zero is true) or True/False; anything else gives def. Writes "1" or "0".
  bool ReadBool(const String& section, const String& ident, bool def);
  void WriteBool(const String& section, const String& ident, bool value);
  // Text that is no number in the locale's format gives def.
  double ReadFloat(const String& section, const String& ident, double def);
  void WriteFloat(const String& section, const String& ident, double value);

  // The key names of a section, the section names, and the "key=value" lines of a section.
  virtual std::vector<String> SectionKeys(const String& section) = 0;
  virtual std::vector<String> SectionNames() = 0;
  virtual std::vector<std::pair<String, String>> SectionValues(const String& section) = 0;
  // The same, into a string list (cleared first).
  void ReadSection(const String& section, TStrings* strings);
  void ReadSections(TStrings* strings);
  void ReadSectionValues(const String& section, TStrings* strings);

  virtual void EraseSection(const String& section) = 0;
  virtual void DeleteKey(const String& section, const String& ident) = 0;
  virtual bool SectionExists(const String& section) = 0;
  virtual bool ValueExists(const String& section, const String& ident) = 0;
  virtual void UpdateFile() = 0;

 protected:
  static void CheckSection(const String& section);
  static void CheckKey(const String& ident);
  static void CheckValue(const String& value);

 private:
  String FFileName;
};

// Every call reads the file; every change is written at once.
class TIniFile : public TCustomIniFile {
  QJ_CLASS(TIniFile, TCustomIniFile)
 public:
  using TCustomIniFile::TCustomIniFile;

  String ReadString(const String& section, const String& ident, const String& def) override;
  void WriteString(const String& section, const String& ident, const String& value) override;
  std::vector<String> SectionKeys(const String& section) override;
  std::vector<String> SectionNames() override;
  std::vector<std::pair<String, String>> SectionValues(const String& section) override;
  void EraseSection(const String& section) override;
  void DeleteKey(const String& section, const String& ident) override;
  bool SectionExists(const String& section) override;
  bool ValueExists(const String& section, const String& ident) override;
  void UpdateFile() override {}  // every change is in the file already

 private:
  TIniDocument Load() const;
  template <class F>
  void Change(F&& change);
};

// Reads the file once; changes stay in memory until UpdateFile writes them.
class TMemIniFile : public TCustomIniFile {
  QJ_CLASS(TMemIniFile, TCustomIniFile)
 public:
  explicit TMemIniFile(const String& fileName);
  ~TMemIniFile() override;

  String ReadString(const String& section, const String& ident, const String& def) override;
  void WriteString(const String& section, const String& ident, const String& value) override;
  std::vector<String> SectionKeys(const String& section) override;
  std::vector<String> SectionNames() override;
  std::vector<std::pair<String, String>> SectionValues(const String& section) override;
  void EraseSection(const String& section) override;
  void DeleteKey(const String& section, const String& ident) override;
  bool SectionExists(const String& section) override;
  bool ValueExists(const String& section, const String& ident) override;
  // Writes the content. EIniFileException when the file existed but could not be read, since
  // writing would then replace settings that were never loaded.
  void UpdateFile() override;

  // Clear and SetText replace the whole content, so UpdateFile may write it even when the file
  // could not be read.
  void Clear();
  // Forgets unsaved changes and reads the file again.
  void Reload();
  // The whole text, as the file would hold it.
  String GetText() const;
  void SetText(const String& text);

 private:
  std::unique_ptr<TIniDocument> FDocument;
  bool FLoadFailed = false;
};
