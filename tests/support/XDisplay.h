// End-to-end tests on a real X display: a private Xvfb server and pixel reads of its screen
// (Xlib is loaded at run time, and kept out of this header because its names clash with the
// class library's).
#pragma once

#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// The full path of a program on PATH, or "" when there is none.
std::string FindProgram(const char* name);

// SDL keeps its display connection for the life of a process, so an end-to-end test with its own
// X server runs in a fresh run of the test program, given the test's full name: IsChildRunOf is
// true in that run; RunInChild starts it and returns its exit status and output.
bool IsChildRunOf(const std::string& testName);
int RunInChild(const std::string& testName, std::string& output);

// Starts Xvfb on the first free display number from `firstDisplay` and points DISPLAY at it;
// the destructor stops it and restores DISPLAY.
class TXvfbServer {
 public:
  TXvfbServer() = default;
  ~TXvfbServer();
  TXvfbServer(const TXvfbServer&) = delete;
  TXvfbServer& operator=(const TXvfbServer&) = delete;

  // False when Xvfb is missing or does not come up. A dpi above 0 sets the screen's resolution.
  bool Start(int firstDisplay, const char* screenSize = "800x600x24", int dpi = 0);
  const std::string& Display() const { return FDisplay; }

 private:
  void Stop();
  pid_t FServer = -1;
  std::string FDisplay;
  std::string FOldDisplay;
  bool FHadDisplay = false;
};

class TXScreenReader {
 public:
  explicit TXScreenReader(const std::string& display);
  ~TXScreenReader();
  bool Ok() const;
  // 0x00RRGGBB of a screen pixel of a 24-bit TrueColor screen (0xFFFFFFFF on failure).
  uint32_t Pixel(int x, int y);
  // The pixels of a screen rectangle, row by row (empty on failure).
  std::vector<uint32_t> Pixels(int x, int y, int width, int height);

 private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};

// Replaces the server's resource database (what xrdb would load), e.g. "Xft.dpi:\t144\n".
bool SetXResources(const std::string& display, const std::string& resources);

// The size limits a top-level window asks the window manager for (0 where it sets none).
struct TXSizeHints {
  int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
};
// False when no top-level window has that title.
bool ReadSizeHints(const std::string& display, const std::string& title, TXSizeHints& hints);

// The PRIMARY selection as another X client sees it: Request asks its owner for the text as UTF-8,
// Arrived reports the answer once it came (the owner answers from its own event loop, so the
// caller keeps that loop running meanwhile); Own takes the selection with a text and answers
// other clients' requests from a thread until the object goes.
class TXPrimarySelection {
 public:
  explicit TXPrimarySelection(const std::string& display);
  ~TXPrimarySelection();
  bool Ok() const;
  void Request();
  bool Arrived(std::string& utf8);
  void Own(const std::string& utf8);

 private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
  std::thread FOwner;
  std::atomic<bool> FStop{false};
};

