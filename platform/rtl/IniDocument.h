// The text of an INI file as lines: "[section]" headers, "key=value" entries and every other line
// (comments, blank and malformed lines), which is kept byte for byte when the text is written
// back. Sections and keys compare case-insensitively; keys and values are trimmed of blanks.
// Lines before the first header belong to no section and are only kept.
//
// Used by the INI file classes and the settings store; not a public interface.
#pragma once

#include <utility>
#include <vector>

#include "platform/rtl/System.h"

class TIniDocument {
 public:
  // How reading a file went: it was read, it does not exist (an empty document), or it exists
  // but could not be read (ReadError tells why).
  enum class TLoadResult { Loaded, Missing, Failed };

  void SetText(const String& text);  // LF or CRLF line breaks
  String GetText() const;            // with the line break the text came with (LF when new)
  void Clear();

  TLoadResult LoadFromFile(const String& fileName);
  int GetReadError() const { return FReadError; }
  // Writes the text with WriteFileAtomically.
  void SaveToFile(const String& fileName) const;

  bool ReadValue(const String& section, const String& key, String& value) const;
  bool SectionExists(const String& section) const;
  bool ValueExists(const String& section, const String& key) const;
  std::vector<String> SectionNames() const;  // in order of appearance, each once
  std::vector<String> KeyNames(const String& section) const;
  std::vector<std::pair<String, String>> Values(const String& section) const;

  // Each returns true when the document changed.
  bool WriteValue(const String& section, const String& key, const String& value);
  bool AddSection(const String& section);
  bool DeleteKey(const String& section, const String& key);
  bool EraseSection(const String& section);

 private:
  enum class TLineKind { Header, Entry, Other };
  struct TLine {
    TLineKind Kind = TLineKind::Other;
    String Text;  // the line as read or written, without its line break
    String Name;  // the section of a header, the key of an entry
    String Value;
  };

  static TLine ParseLine(const String& text);
  // Calls visit(index) for each entry line of the section; stops when visit returns true.
  template <class F>
  bool ForEachEntry(const String& section, F&& visit) const;
  std::ptrdiff_t FindEntry(const String& section, const String& key) const;
  std::ptrdiff_t FindHeader(const String& section) const;
  size_t InsertionPoint(size_t header) const;

  std::vector<TLine> FLines;
  String FLineBreak = "\n";
  int FReadError = 0;
};
