// The shell's open operation: URLs and files handed to the desktop's opener (xdg-open).
//
// Only the "open" verb (or none) and only http, https, ftp, mailto and file URLs or paths of
// existing files are opened; everything else is refused with the platform's error codes. The
// opener runs as a program with an argument vector, never through a shell, so the target cannot
// smuggle in commands; a path is made absolute so that it can never pass for an option.
//
// Where the parts live: WinShell.cpp.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/os/WinTypes.h"
#include "platform/rtl/SysUtils.h"

// Results of ShellExecute: above 32 on success.
constexpr int SE_ERR_FNF = 2, SE_ERR_PNF = 3, SE_ERR_ACCESSDENIED = 5, SE_ERR_OOM = 8,
              SE_ERR_NOASSOC = 31, SE_ERR_SUCCESS = 42;

// Opens `file` (Windows-1252); parameters and the directory are ignored for documents, as on the
// platform, and the show command is the opener's business.
HINSTANCE ShellExecute(HWND wnd, const char* operation, const char* file, const char* parameters,
                       const char* directory, int showCmd);

// The URL scheme a target starts with ("https" of "HTTPS://x"), in lower case; empty when the
// text does not start with one (a drive letter is no scheme).
String UrlScheme(const String& target);

// Starts a program with an argument vector (argv[0] the program); false when it could not start.
// The default one looks the program up in PATH and does not wait for it.
using TShellLauncher = std::function<bool(const std::vector<std::string>& argv)>;
// Replaces the launcher (tests); an empty one restores the default. Returns the previous one.
TShellLauncher SetShellLauncher(TShellLauncher launcher);
