#include "platform/rtl/FileUtils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

namespace {

const TResourceString SFWriteError = {65310, "Cannot write file \"%s\". %s"};
const TResourceString SNotRegularFile = {65311, "Not a regular file"};

std::mutex writeFuncLock;
TFileWriteFunc writeFunc;

TFileWriteFunc CurrentWriteFunc() {
  std::lock_guard<std::mutex> guard(writeFuncLock);
  if (writeFunc) return writeFunc;
  return [](int fd, const void* buffer, size_t count) -> long { return ::write(fd, buffer, count); };
}

bool IsDelim(const String& s, size_t index) { return index < s.size() && s[index] == PathDelim; }

// Index of the last '/' or String::npos.
size_t LastPathDelim(const String& fileName) { return fileName.rfind(PathDelim); }

bool StatOs(const std::string& osName, struct stat& st) { return ::stat(osName.c_str(), &st) == 0; }

// The folder part of an OS path, "." for a bare name.
std::string OsFolderOf(const std::string& osPath) {
  size_t slash = osPath.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return osPath.substr(0, slash);
}

// Writes the new content over the file a symbolic link points to, not over the link.
std::string ResolveTarget(const std::string& osPath) {
  char* real = ::realpath(osPath.c_str(), nullptr);
  if (!real) return osPath;
  std::string result(real);
  std::free(real);
  return result;
}

[[noreturn]] void RaiseWriteError(const String& fileName, int error) {
  throw EWriteError(&SFWriteError, {fileName, SysErrorMessage(error)});
}

// The temporary file of one atomic write. Unless committed, it is closed and removed when the
// writer leaves, so a failure never leaves a stray file behind.
class TTempFile {
 public:
  TTempFile(const std::string& folder, const std::string& baseName) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100 && FHandle < 0; ++attempt) {
      FPath = folder + "/." + baseName + ".tmp-" + std::to_string(::getpid()) + "-" +
              std::to_string(counter.fetch_add(1));
      FHandle = ::open(FPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (FHandle < 0 && errno != EEXIST) break;
    }
    FError = FHandle < 0 ? errno : 0;
  }
  ~TTempFile() {
    if (FHandle >= 0) ::close(FHandle);
    if (!FCommitted) ::unlink(FPath.c_str());
  }
  TTempFile(const TTempFile&) = delete;
  TTempFile& operator=(const TTempFile&) = delete;

  bool IsOpen() const { return FHandle >= 0; }
  int Error() const { return FError; }
  int Handle() const { return FHandle; }
  const std::string& Path() const { return FPath; }
  // Closes the handle; returns 0 or an errno value.
  int Close() {
    int rc = ::close(FHandle);
    FHandle = -1;
    return rc == 0 ? 0 : errno;
  }
  void Commit() { FCommitted = true; }

 private:
  std::string FPath;
  int FHandle = -1;
  int FError = 0;
  bool FCommitted = false;
};

// Returns 0 or an errno value.
int WriteAll(const TFileWriteFunc& write, int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    long n = write(fd, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return EIO;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return 0;
}

// Appends the existing file's bytes from offset `from` on; returns 0 or an errno value.
int CopyTail(const TFileWriteFunc& write, const std::string& source, Int64 from, int fd) {
  int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return errno;
  char buffer[65536];
  int error = 0;
  for (Int64 offset = from;;) {
    ssize_t n = ::pread(in, buffer, sizeof buffer, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : 0;
      break;
    }
    error = WriteAll(write, fd, buffer, static_cast<size_t>(n));
    if (error) break;
    offset += n;
  }
  ::close(in);
  return error;
}

// The new file takes the old one's permissions, and its owner where this process may give it
// away (it may when it runs as root on a user's file); a refused owner change is no failure.
void KeepOwnerAndPermissions(int fd, const struct stat& old) {
  ::fchmod(fd, old.st_mode & 07777);
  [[maybe_unused]] const int refused = ::fchown(fd, old.st_uid, old.st_gid);
}

// Makes the rename itself durable. The new content is already in place when this runs, so a
// folder that cannot be flushed (some file systems refuse) is not reported as a failed write.
void SyncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::string FileNameToOs(const String& fileName) { return AnsiToUtf8(fileName); }
String FileNameFromOs(const std::string& osName) { return Utf8ToAnsi(osName); }

String SysErrorMessage(int errorCode) {
  char buffer[256];
  return FileNameFromOs(::strerror_r(errorCode, buffer, sizeof buffer));
}

bool FileExists(const String& fileName) {
  struct stat st;
  return !fileName.empty() && StatOs(FileNameToOs(fileName), st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const String& dir) {
  struct stat st;
  return !dir.empty() && StatOs(FileNameToOs(dir), st) && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const String& dir) {
  String path = ExcludeTrailingPathDelimiter(dir);
  if (path.empty()) return !dir.empty();  // "/" exists, "" is no folder
  if (DirectoryExists(path)) return true;
  String parent = ExtractFileDir(path);
  if (parent != path && !parent.empty() && !ForceDirectories(parent)) return false;
  return ::mkdir(FileNameToOs(path).c_str(), 0777) == 0 || (errno == EEXIST && DirectoryExists(path));
}

bool DeleteFile(const String& fileName) {
  return !fileName.empty() && ::unlink(FileNameToOs(fileName).c_str()) == 0;
}

bool RenameFile(const String& oldName, const String& newName) {
  if (oldName.empty() || newName.empty()) return false;
  std::string from = FileNameToOs(oldName);
  std::string to = FileNameToOs(newName);
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // The file system cannot refuse to replace by itself: check first.
  struct stat st;
  if (::lstat(to.c_str(), &st) == 0) return false;
  return ::rename(from.c_str(), to.c_str()) == 0;
}

String ExtractFilePath(const String& fileName) {
  size_t slash = LastPathDelim(fileName);
  return slash == String::npos ? String() : fileName.substr(0, slash + 1);
}

String ExtractFileDir(const String& fileName) {
  size_t slash = LastPathDelim(fileName);
  if (slash == String::npos) return String();
  // "/a/b" gives "/a" but "/b" gives "/" and "a//b" keeps "a//".
  size_t end = slash + 1;
  if (slash > 0 && !IsDelim(fileName, slash - 1)) end = slash;
  return fileName.substr(0, end);
}

String ExtractFileName(const String& fileName) {
  size_t slash = LastPathDelim(fileName);
  return slash == String::npos ? fileName : fileName.substr(slash + 1);
}

String ExtractFileExt(const String& fileName) {
  size_t dot = fileName.find_last_of(String(1, '.') + PathDelim);
  if (dot == String::npos || fileName[dot] != '.') return String();
  return fileName.substr(dot);
}

String ChangeFileExt(const String& fileName, const String& extension) {
  size_t dot = fileName.find_last_of(String(1, '.') + PathDelim);
  if (dot == String::npos || fileName[dot] != '.') return fileName + extension;
  return fileName.substr(0, dot) + extension;
}

String IncludeTrailingPathDelimiter(const String& path) {
  if (!path.empty() && path.back() == PathDelim) return path;
  return path + PathDelim;
}

String ExcludeTrailingPathDelimiter(const String& path) {
  if (!path.empty() && path.back() == PathDelim) return path.substr(0, path.size() - 1);
  return path;
}

String GetEnvironmentVariable(const String& name) {
  const char* value = std::getenv(FileNameToOs(name).c_str());
  return value ? FileNameFromOs(value) : String();
}

TFileWriteFunc SetAtomicWriteFunc(TFileWriteFunc func) {
  std::lock_guard<std::mutex> guard(writeFuncLock);
  TFileWriteFunc previous = std::move(writeFunc);
  writeFunc = std::move(func);
  return previous;
}

void WriteFileAtomically(const String& fileName, const void* data, size_t size,
                         const TAtomicWriteOptions& options) {
  if (fileName.empty()) throw EFCreateError(&SFCreateError, {fileName, SysErrorMessage(ENOENT)});
  const std::string target = ResolveTarget(FileNameToOs(fileName));
  struct stat old;
  const bool hasOld = StatOs(target, old);
  if (hasOld && S_ISDIR(old.st_mode))
    throw EFCreateError(&SFCreateError, {fileName, SysErrorMessage(EISDIR)});
  // A device or pipe cannot be replaced by a file without breaking whatever uses it.
  if (hasOld && !S_ISREG(old.st_mode))
    throw EFCreateError(&SFCreateError, {fileName, LoadResString(&SNotRegularFile)});

  const std::string folder = OsFolderOf(target);
  TTempFile temp(folder, target.substr(target.rfind('/') + 1));
  if (!temp.IsOpen()) throw EFCreateError(&SFCreateError, {fileName, SysErrorMessage(temp.Error())});
  if (hasOld) KeepOwnerAndPermissions(temp.Handle(), old);

  const TFileWriteFunc write = CurrentWriteFunc();
  int error = WriteAll(write, temp.Handle(), data, size);
  if (!error && options.KeepExistingTail && hasOld && old.st_size > static_cast<off_t>(size))
    error = CopyTail(write, target, static_cast<Int64>(size), temp.Handle());
  if (!error && ::fsync(temp.Handle()) != 0) error = errno;
  if (!error) error = temp.Close();
  if (!error && ::rename(temp.Path().c_str(), target.c_str()) != 0) error = errno;
  if (error) RaiseWriteError(fileName, error);
  temp.Commit();
  SyncFolder(folder);
}
