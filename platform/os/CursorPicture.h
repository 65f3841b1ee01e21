// Cursors drawn in code: a square of pixels that are black, white or transparent, filled from text
// rows and shapes, made into a cursor.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/os/WinTypes.h"

class TCursorPicture {
 public:
  static constexpr int kDefaultSize = 16;
  static constexpr uint32_t kBlack = 0x000000;
  static constexpr uint32_t kWhite = 0xFFFFFF;

  // Transparent all over.
  explicit TCursorPicture(int ASize = kDefaultSize);

  int Size() const { return FSize; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < FSize && y < FSize; }
  // 0x00RRGGBB; a transparent pixel reads 0.
  uint32_t Pixel(int x, int y) const { return FPixels[Index(x, y)]; }
  bool Opaque(int x, int y) const { return FOpaque[Index(x, y)]; }
  // An opaque pixel; outside the square nothing happens.
  void Set(int x, int y, uint32_t AColor);
  // Text rows from (x, y) down: 'X' black, '.' white; any other character leaves its pixel alone.
  void DrawRows(int x, int y, const std::vector<std::string>& ARows);
  // A new cursor of the picture; the hot spot is clamped into it.
  HCURSOR CreateCursor(int AHotX, int AHotY) const;

 private:
  size_t Index(int x, int y) const { return size_t(y) * size_t(FSize) + size_t(x); }
  int FSize;
  std::vector<uint32_t> FPixels;
  std::unique_ptr<bool[]> FOpaque;
};

// A 16 x 16 cursor from text rows ('X' black, '.' white, anything else transparent).
HCURSOR CursorFromPicture(const std::vector<std::string>& ARows, int AHotX, int AHotY);
