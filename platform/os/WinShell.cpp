// The shell's open operation: checks the target and hands it to xdg-open as one argument.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/os/Shell.h"
#include "platform/rtl/SysUtils.h"

namespace {

const char* const kOpener = "xdg-open";

// ------------------------------------------------------------------ the default launcher

std::string FindInPath(const std::string& program) {
  if (program.find('/') != std::string::npos) return access(program.c_str(), X_OK) == 0 ? program : std::string();
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

// Starts the program detached (a grandchild, so no zombie is left behind); a pipe closed on exec
// tells whether the exec worked.
bool SpawnDetached(const std::vector<std::string>& argv) {
  if (argv.empty()) return false;
  std::string program = FindInPath(argv[0]);
  if (program.empty()) return false;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  pid_t child = fork();
  if (child < 0) {
    close(fds[0]);
    close(fds[1]);
    return false;
  }
  if (child == 0) {
    close(fds[0]);
    if (fork() == 0) {
      execv(program.c_str(), args.data());
      int error = errno;
      ssize_t written = write(fds[1], &error, sizeof error);
      (void)written;
    }
    _exit(0);
  }
  close(fds[1]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got;
  while ((got = read(fds[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  close(fds[0]);
  return got == 0;
}

TShellLauncher& Launcher() {
  static TShellLauncher launcher;
  return launcher;
}

// ------------------------------------------------------------------ target checks

bool HasControlCharacters(const String& s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  return false;
}

int CheckUrl(const String& url, const String& scheme) {
  String rest = url.substr(scheme.size() + 1);
  if (scheme == "mailto") return rest.empty() ? SE_ERR_FNF : 0;
  if (scheme == "http" || scheme == "https" || scheme == "ftp" || scheme == "file")
    return rest.size() > 2 && rest.compare(0, 2, "//") == 0 ? 0 : SE_ERR_FNF;
  return SE_ERR_NOASSOC;
}

// An existing file or folder as an absolute path (UTF-8), empty when there is none.
std::string AbsoluteExistingPath(const String& path) {
  std::string os = AnsiToUtf8(path);
  struct stat st;
  if (stat(os.c_str(), &st) != 0) return {};
  char resolved[PATH_MAX];
  return realpath(os.c_str(), resolved) ? std::string(resolved) : std::string();
}

// The argument for the opener, or the error code.
int OpenerArgument(const String& target, std::string& argument) {
  if (target.empty() || HasControlCharacters(target)) return SE_ERR_FNF;
  String scheme = UrlScheme(target);
  if (!scheme.empty()) {
    int error = CheckUrl(target, scheme);
    if (!error) argument = AnsiToUtf8(target);
    return error;
  }
  argument = AbsoluteExistingPath(target);
  return argument.empty() ? SE_ERR_FNF : 0;
}

HINSTANCE Result(int code) { return reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(code)); }

}  // namespace

HINSTANCE ShellExecute(HWND, const char* operation, const char* file, const char*, const char*, int) {
  if (operation && *operation && !SameText(operation, "open")) return Result(SE_ERR_NOASSOC);
  std::string argument;
  int error = OpenerArgument(Trim(String(file ? file : "")), argument);
  if (error) return Result(error);
  std::vector<std::string> argv{kOpener, argument};
  bool started = Launcher() ? Launcher()(argv) : SpawnDetached(argv);
  return Result(started ? SE_ERR_SUCCESS : SE_ERR_NOASSOC);
}

String UrlScheme(const String& s) {
  size_t colon = s.find(':');
  if (colon == String::npos || colon < 2) return {};
  for (size_t i = 0; i < colon; ++i) {
    char c = s[i];
    bool ok = IsAsciiLetter(c) || (i > 0 && (IsDigitChar(c) || c == '+' || c == '-' || c == '.'));
    if (!ok) return {};
  }
  return LowerCase(s.substr(0, colon));
}

TShellLauncher SetShellLauncher(TShellLauncher launcher) {
  TShellLauncher previous = std::move(Launcher());
  Launcher() = std::move(launcher);
  return previous;
}
