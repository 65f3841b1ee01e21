#include "platform/os/CursorPicture.h"

#include "platform/os/Windows.h"

TCursorPicture::TCursorPicture(int ASize)
    : FSize(ASize), FPixels(size_t(ASize) * size_t(ASize)), FOpaque(new bool[size_t(ASize) * size_t(ASize)]()) {}

void TCursorPicture::Set(int x, int y, uint32_t AColor) {
  if (!Inside(x, y)) return;
  FPixels[Index(x, y)] = AColor;
  FOpaque[Index(x, y)] = true;
}

void TCursorPicture::DrawRows(int x, int y, const std::vector<std::string>& ARows) {
  for (const std::string& row : ARows) {
    for (size_t i = 0; i < row.size(); ++i)
      if (row[i] == 'X' || row[i] == '.') Set(x + int(i), y, row[i] == 'X' ? kBlack : kWhite);
    ++y;
  }
}

HCURSOR TCursorPicture::CreateCursor(int AHotX, int AHotY) const {
  return CreateCursorFromPixels(FSize, FSize, FPixels.data(), FOpaque.get(), AHotX, AHotY);
}

HCURSOR CursorFromPicture(const std::vector<std::string>& ARows, int AHotX, int AHotY) {
  TCursorPicture picture;
  picture.DrawRows(0, 0, ARows);
  return picture.CreateCursor(AHotX, AHotY);
}
