// File and folder helpers with the original platform's names and semantics, '/' as the path
// delimiter, and one safe whole-file writer that every settings and image writer goes through.
//
// File names are Windows-1252 Strings like all text; they become UTF-8 only at the OS boundary.
#pragma once

#include <cstddef>
#include <functional>

#include "platform/rtl/System.h"

constexpr char PathDelim = '/';
constexpr char PathSep = ':';

// Conversions of file names at the boundary to the OS.
std::string FileNameToOs(const String& fileName);
String FileNameFromOs(const std::string& osName);

// The OS's text for an errno value.
String SysErrorMessage(int errorCode);

bool FileExists(const String& fileName);  // a file, not a folder
bool DirectoryExists(const String& dir);
bool ForceDirectories(const String& dir);  // creates every missing folder; true when it exists
bool DeleteFile(const String& fileName);
bool RenameFile(const String& oldName, const String& newName);  // false when newName exists

// "dir/sub/name.ext": path "dir/sub/", dir "dir/sub", name "name.ext", ext ".ext".
String ExtractFilePath(const String& fileName);
String ExtractFileDir(const String& fileName);
String ExtractFileName(const String& fileName);
String ExtractFileExt(const String& fileName);
String ChangeFileExt(const String& fileName, const String& extension);
String IncludeTrailingPathDelimiter(const String& path);
String ExcludeTrailingPathDelimiter(const String& path);
String GetEnvironmentVariable(const String& name);  // "" when unset

struct TAtomicWriteOptions {
  // When the existing file is longer than the new content, its bytes beyond the new content's
  // length are kept after it (an image writer that knows only a prefix of the file uses this).
  bool KeepExistingTail = false;
};

// Replaces the file's whole content so that a reader sees either the old or the new bytes, even
// after a crash: a temporary file in the same folder gets the data and the old file's
// permissions, is flushed to disk and renamed over the target; then the folder is flushed. On
// failure the temporary file is removed, the old file stays untouched and EFCreateError (cannot
// create the temporary file) or EWriteError (cannot write, flush or rename it) is raised.
void WriteFileAtomically(const String& fileName, const void* data, size_t size,
                         const TAtomicWriteOptions& options = {});

// Test seam: the function WriteFileAtomically writes its temporary file with, in the shape of
// POSIX write(2) (bytes written, or -1 with errno set). Returns the previous function; an empty
// function restores the system call.
using TFileWriteFunc = std::function<long(int fd, const void* buffer, size_t count)>;
TFileWriteFunc SetAtomicWriteFunc(TFileWriteFunc func);
