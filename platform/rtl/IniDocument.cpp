#include "platform/rtl/IniDocument.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/SysUtils.h"

namespace {

bool IsBlankLine(const String& text) { return Trim(text).empty(); }

// Reads a whole file; returns 0 or an errno value.
int ReadFileContent(const String& fileName, String& content) {
  int fd = ::open(FileNameToOs(fileName).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  content.clear();
  char buffer[65536];
  int error = 0;
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : 0;
      break;
    }
    content.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return error;
}

}  // namespace

TIniDocument::TLine TIniDocument::ParseLine(const String& text) {
  TLine line;
  line.Text = text;
  const String trimmed = Trim(text);
  if (trimmed.empty() || trimmed[0] == ';') return line;
  if (trimmed[0] == '[') {
    size_t close = trimmed.find(']');
    if (close != String::npos) {
      line.Kind = TLineKind::Header;
      line.Name = Trim(trimmed.substr(1, close - 1));
    }
    return line;
  }
  size_t equals = trimmed.find('=');
  if (equals == String::npos || equals == 0) return line;  // no key: kept, never read
  line.Kind = TLineKind::Entry;
  line.Name = Trim(trimmed.substr(0, equals));
  line.Value = Trim(trimmed.substr(equals + 1));
  return line;
}

void TIniDocument::SetText(const String& text) {
  FLines.clear();
  FLineBreak = "\n";
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == String::npos) end = text.size();
    size_t lineEnd = end;
    if (lineEnd > start && text[lineEnd - 1] == '\r') {
      --lineEnd;
      if (FLines.empty()) FLineBreak = "\r\n";
    }
    FLines.push_back(ParseLine(text.substr(start, lineEnd - start)));
    start = end + 1;
  }
}

String TIniDocument::GetText() const {
  String text;
  for (const TLine& line : FLines) text += line.Text + FLineBreak;
  return text;
}

void TIniDocument::Clear() { FLines.clear(); }

TIniDocument::TLoadResult TIniDocument::LoadFromFile(const String& fileName) {
  String content;
  FReadError = ReadFileContent(fileName, content);
  if (FReadError == ENOENT) {
    Clear();
    return TLoadResult::Missing;
  }
  if (FReadError != 0) {
    Clear();
    return TLoadResult::Failed;
  }
  SetText(content);
  return TLoadResult::Loaded;
}

void TIniDocument::SaveToFile(const String& fileName) const {
  const String text = GetText();
  WriteFileAtomically(fileName, text.data(), text.size());
}

template <class F>
bool TIniDocument::ForEachEntry(const String& section, F&& visit) const {
  bool inSection = false;
  for (size_t i = 0; i < FLines.size(); ++i) {
    const TLine& line = FLines[i];
    if (line.Kind == TLineKind::Header)
      inSection = AnsiSameText(line.Name, section);
    else if (inSection && line.Kind == TLineKind::Entry && visit(i))
      return true;
  }
  return false;
}

std::ptrdiff_t TIniDocument::FindEntry(const String& section, const String& key) const {
  std::ptrdiff_t found = -1;
  const String name = Trim(key);
  ForEachEntry(section, [&](size_t i) {
    if (!AnsiSameText(FLines[i].Name, name)) return false;
    found = static_cast<std::ptrdiff_t>(i);
    return true;
  });
  return found;
}

std::ptrdiff_t TIniDocument::FindHeader(const String& section) const {
  for (size_t i = 0; i < FLines.size(); ++i)
    if (FLines[i].Kind == TLineKind::Header && AnsiSameText(FLines[i].Name, section))
      return static_cast<std::ptrdiff_t>(i);
  return -1;
}

// After the last entry of the section that starts at header, else right after the header.
size_t TIniDocument::InsertionPoint(size_t header) const {
  size_t point = header + 1;
  for (size_t i = header + 1; i < FLines.size() && FLines[i].Kind != TLineKind::Header; ++i)
    if (FLines[i].Kind == TLineKind::Entry) point = i + 1;
  return point;
}

bool TIniDocument::ReadValue(const String& section, const String& key, String& value) const {
  std::ptrdiff_t i = FindEntry(Trim(section), key);
  if (i < 0) return false;
  value = FLines[static_cast<size_t>(i)].Value;
  return true;
}

bool TIniDocument::SectionExists(const String& section) const {
  return FindHeader(Trim(section)) >= 0;
}

bool TIniDocument::ValueExists(const String& section, const String& key) const {
  return FindEntry(Trim(section), key) >= 0;
}

std::vector<String> TIniDocument::SectionNames() const {
  std::vector<String> names;
  for (const TLine& line : FLines) {
    if (line.Kind != TLineKind::Header) continue;
    bool known = false;
    for (const String& name : names) known = known || AnsiSameText(name, line.Name);
    if (!known) names.push_back(line.Name);
  }
  return names;
}

std::vector<String> TIniDocument::KeyNames(const String& section) const {
  std::vector<String> names;
  for (const auto& [key, value] : Values(section)) names.push_back(key);
  return names;
}

std::vector<std::pair<String, String>> TIniDocument::Values(const String& section) const {
  std::vector<std::pair<String, String>> values;
  ForEachEntry(Trim(section), [&](size_t i) {
    const TLine& line = FLines[i];
    bool known = false;
    for (const auto& [key, value] : values) known = known || AnsiSameText(key, line.Name);
    if (!known) values.emplace_back(line.Name, line.Value);  // the first of duplicates counts
    return false;
  });
  return values;
}

bool TIniDocument::AddSection(const String& section) {
  const String name = Trim(section);
  if (FindHeader(name) >= 0) return false;
  if (!FLines.empty() && !IsBlankLine(FLines.back().Text)) FLines.push_back(ParseLine(""));
  FLines.push_back(ParseLine("[" + name + "]"));
  return true;
}

bool TIniDocument::WriteValue(const String& section, const String& key, const String& value) {
  const String sectionName = Trim(section);
  const String keyName = Trim(key);
  const String text = Trim(value);
  std::ptrdiff_t i = FindEntry(sectionName, keyName);
  if (i >= 0) {
    TLine& line = FLines[static_cast<size_t>(i)];
    if (line.Value == text) return false;
    line = ParseLine(line.Name + "=" + text);
    return true;
  }
  AddSection(sectionName);
  size_t point = InsertionPoint(static_cast<size_t>(FindHeader(sectionName)));
  FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(point), ParseLine(keyName + "=" + text));
  return true;
}

bool TIniDocument::DeleteKey(const String& section, const String& key) {
  bool changed = false;
  for (std::ptrdiff_t i; (i = FindEntry(Trim(section), key)) >= 0; changed = true)
    FLines.erase(FLines.begin() + i);  // every duplicate goes, so none resurfaces
  return changed;
}

bool TIniDocument::EraseSection(const String& section) {
  const String name = Trim(section);
  bool changed = false;
  bool inSection = false;
  std::vector<TLine> kept;
  for (TLine& line : FLines) {
    if (line.Kind == TLineKind::Header) inSection = AnsiSameText(line.Name, name);
    if (inSection)
      changed = true;
    else
      kept.push_back(std::move(line));
  }
  FLines = std::move(kept);
  return changed;
}
