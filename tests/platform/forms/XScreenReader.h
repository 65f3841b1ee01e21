// Reads pixels of a real X display (through Xlib loaded at run time), for the tests that run the
// SDL backend under Xvfb. Kept apart from the class library's headers, whose names clash with
// Xlib's.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class TXScreenReader {
 public:
  explicit TXScreenReader(const std::string& display);
  ~TXScreenReader();
  bool Ok() const;
  // 0x00RRGGBB of a screen pixel of a 24-bit TrueColor screen (0xFFFFFFFF on failure).
  uint32_t Pixel(int x, int y);

 private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};
