// Scratch folders, whole-file helpers and environment pins for the file, stream and settings tests.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/System.h"

// A fresh, empty folder removed with everything in it at the end of the test.
class TTempFolder {
 public:
  TTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qj-rtl-XXXXXX").string();
    FPath = ::mkdtemp(pattern.data());
  }
  ~TTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const String& Path() const { return FPath; }
  String File(const String& name) const { return FPath + "/" + name; }
  // How many entries the folder holds, to find stray temporary files.
  size_t EntryCount() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(FPath),
                                             std::filesystem::directory_iterator()));
  }

 private:
  String FPath;
};

inline String ReadWholeFile(const String& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  return String(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const String& fileName, const String& content) {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  out << content;
}

// Sets an environment variable for the scope and restores it afterwards.
class TEnvScope {
 public:
  TEnvScope(const char* name, const String& value) : FName(name) {
    if (const char* old = ::getenv(name)) FOld = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~TEnvScope() {
    if (FOld)
      ::setenv(FName.c_str(), FOld->c_str(), 1);
    else
      ::unsetenv(FName.c_str());
  }
  TEnvScope(const TEnvScope&) = delete;
  TEnvScope& operator=(const TEnvScope&) = delete;

 private:
  std::string FName;
  std::optional<std::string> FOld;
};

// Replaces the writer of WriteFileAtomically for the scope: it writes `allowed` bytes in all,
// then fails as a full disk does.
class TFailingWriterScope {
 public:
  explicit TFailingWriterScope(size_t allowed) {
    auto left = std::make_shared<size_t>(allowed);
    FPrevious = SetAtomicWriteFunc([left](int fd, const void* buffer, size_t count) -> long {
      if (*left == 0) {
        errno = ENOSPC;
        return -1;
      }
      size_t n = count < *left ? count : *left;
      *left -= n;
      return ::write(fd, buffer, n);
    });
  }
  ~TFailingWriterScope() { SetAtomicWriteFunc(FPrevious); }
  TFailingWriterScope(const TFailingWriterScope&) = delete;
  TFailingWriterScope& operator=(const TFailingWriterScope&) = delete;

 private:
  TFileWriteFunc FPrevious;
};
