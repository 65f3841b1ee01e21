// The pictures of the library's cursors and of the anchor window of middle-button scrolling,
// drawn in code: black shapes, with a white rim around them so they show on any background.
#include <cmath>
#include <initializer_list>

#include "lookandfeel/qvControls.h"
#include "platform/os/CursorPicture.h"

namespace {

constexpr uint32_t kBlack = TCursorPicture::kBlack;
constexpr uint32_t kWhite = TCursorPicture::kWhite;
constexpr Integer kAnchorSize = 28;

// A cursor picture with the shapes the library's cursors are drawn from.
class TSketch : public TCursorPicture {
 public:
  using TCursorPicture::TCursorPicture;

  bool IsBlack(Integer x, Integer y) const { return Inside(x, y) && Opaque(x, y) && Pixel(x, y) == kBlack; }

  void Fill(const TRect& r, uint32_t color) {
    for (Integer y = r.Top; y < r.Bottom; ++y)
      for (Integer x = r.Left; x < r.Right; ++x) Set(x, y, color);
  }
  void Frame(const TRect& r) {
    Fill(Rect(r.Left, r.Top, r.Right, r.Top + 1), kBlack);
    Fill(Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom), kBlack);
    Fill(Rect(r.Left, r.Top, r.Left + 1, r.Bottom), kBlack);
    Fill(Rect(r.Right - 1, r.Top, r.Right, r.Bottom), kBlack);
  }
  void Box(const TRect& r) {
    Fill(r, kWhite);
    Frame(r);
  }
  // A solid triangle with its tip at (x, y) pointing in a direction, ALength rows deep.
  void Triangle(Integer x, Integer y, TqvScrollDirection ADirection, Integer ALength) {
    for (Integer i = 0; i < ALength; ++i)
      for (Integer j = -i; j <= i; ++j) {
        switch (ADirection) {
          case sdUp: Set(x + j, y + i, kBlack); break;
          case sdDown: Set(x + j, y - i, kBlack); break;
          case sdLeft: Set(x + i, y + j, kBlack); break;
          case sdRight: Set(x - i, y + j, kBlack); break;
          case sdNone: break;
        }
      }
  }
  void Dot(Integer cx, Integer cy, double r) {
    for (Integer y = cy - Integer(r) - 1; y <= cy + Integer(r) + 1; ++y)
      for (Integer x = cx - Integer(r) - 1; x <= cx + Integer(r) + 1; ++x)
        if (std::hypot(x - cx, y - cy) <= r) Set(x, y, kBlack);
  }
  // A line ATh pixels thick between two points (Bresenham, widened downwards and rightwards).
  void Line(Integer x0, Integer y0, Integer x1, Integer y1, Integer ATh) {
    const Integer dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const Integer sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    for (Integer err = dx + dy;;) {
      Fill(Bounds(x0, y0, ATh, ATh), kBlack);
      if (x0 == x1 && y0 == y1) break;
      const Integer e2 = 2 * err;
      if (e2 >= dy) {
        err += dy;
        x0 += sx;
      }
      if (e2 <= dx) {
        err += dx;
        y0 += sy;
      }
    }
  }
  // Transparent pixels touching a black one turn white.
  void Rim() {
    std::vector<std::pair<Integer, Integer>> rim;
    for (Integer y = 0; y < Size(); ++y)
      for (Integer x = 0; x < Size(); ++x) {
        if (Opaque(x, y)) continue;
        bool touches = false;
        for (Integer dy = -1; dy <= 1 && !touches; ++dy)
          for (Integer dx = -1; dx <= 1 && !touches; ++dx) touches = IsBlack(x + dx, y + dy);
        if (touches) rim.push_back({x, y});
      }
    for (auto [x, y] : rim) Set(x, y, kWhite);
  }
};

// The pointer at the top-left corner.
void DrawPointer(TSketch& s) {
  s.DrawRows(0, 0, {"X", "XX", "X.X", "X..X", "X...X", "X....X", "X.....X", "X......X", "X.......X", "X........X",
                   "X.....XXXXX", "X..X..X", "X.X X..X", "XX  X..X", "X    X..X", "     X..X", "      XX"});
}

// Arrows pointing away from a dot in the centre: the marks of anchor scrolling.
void DrawScrollMarks(TSketch& s, std::initializer_list<TqvScrollDirection> ADirections) {
  const Integer c = s.Size() / 2 - 1, reach = s.Size() / 2 - 3, depth = s.Size() / 6;
  s.Dot(c, c, 1.6);
  for (TqvScrollDirection d : ADirections) {
    switch (d) {
      case sdUp: s.Triangle(c, c - reach, sdUp, depth); break;
      case sdDown: s.Triangle(c, c + reach, sdDown, depth); break;
      case sdLeft: s.Triangle(c - reach, c, sdLeft, depth); break;
      case sdRight: s.Triangle(c + reach, c, sdRight, depth); break;
      case sdNone: break;
    }
  }
}

// A double arrow across a bar: sizing rows (vertical) or columns.
void DrawSizeMark(TSketch& s, bool AVertical) {
  const Integer c = s.Size() / 2 - 1;
  if (AVertical) {
    s.Fill(Rect(c - 8, c - 1, c + 9, c + 1), kBlack);
    s.Fill(Rect(c, c - 8, c + 1, c + 9), kBlack);
    s.Triangle(c, c - 11, sdUp, 5);
    s.Triangle(c, c + 11, sdDown, 5);
  } else {
    s.Fill(Rect(c - 1, c - 8, c + 1, c + 9), kBlack);
    s.Fill(Rect(c - 8, c, c + 9, c + 1), kBlack);
    s.Triangle(c - 11, c, sdLeft, 5);
    s.Triangle(c + 11, c, sdRight, 5);
  }
}

void DrawNoDrop(TSketch& s) {
  const Integer c = s.Size() / 2 - 1;
  for (Integer y = 0; y < s.Size(); ++y)
    for (Integer x = 0; x < s.Size(); ++x) {
      const double d = std::hypot(x - c, y - c);
      if (d <= 9.5 && d >= 7) s.Set(x, y, kBlack);
    }
  s.Line(c - 6, c - 6, c + 5, c + 5, 2);
}

TqvCursorPicture ToPicture(const TSketch& s, TPoint AHotSpot) {
  TqvCursorPicture picture;
  for (Integer y = 0; y < s.Size(); ++y)
    for (Integer x = 0; x < s.Size(); ++x) {
      picture.Pixels[y * TqvCursorPicture::Size + x] = s.Pixel(x, y);
      picture.Opaque[y * TqvCursorPicture::Size + x] = s.Opaque(x, y);
    }
  picture.HotSpot = AHotSpot;
  return picture;
}

}  // namespace

TqvCursorPicture GetLibraryCursorPicture(TCursor ACursor) {
  TSketch s(TqvCursorPicture::Size);
  const TPoint centre{TqvCursorPicture::Size / 2 - 1, TqvCursorPicture::Size / 2 - 1};
  TPoint hot{0, 0};
  switch (ACursor) {
    case crqvDragCopy:
      s.Box(Rect(9, 18, 21, 27));
      s.DrawRows(17, 21, {"XXXXXXXXX", "X.......X", "X...X...X", "X...X...X", "X.XXXXX.X", "X...X...X", "X...X...X",
                         "X.......X", "XXXXXXXXX"});
      DrawPointer(s);
      break;
    case crqvDrag:
      s.Box(Rect(9, 18, 21, 27));
      DrawPointer(s);
      break;
    case crqvMultiDrag:
      s.Box(Rect(12, 21, 24, 30));
      s.Box(Rect(9, 18, 21, 27));
      DrawPointer(s);
      break;
    case crqvRemove:
      s.Line(13, 17, 23, 27, 3);
      s.Line(23, 17, 13, 27, 3);
      DrawPointer(s);
      break;
    case crqvNoDrop:
      DrawNoDrop(s);
      hot = centre;
      break;
    case crqvVertSize:
    case crqvHorzSize:
      DrawSizeMark(s, ACursor == crqvVertSize);
      hot = centre;
      break;
    case crqvFullScroll: DrawScrollMarks(s, {sdUp, sdDown, sdLeft, sdRight}); hot = centre; break;
    case crqvHorScroll: DrawScrollMarks(s, {sdLeft, sdRight}); hot = centre; break;
    case crqvVerScroll: DrawScrollMarks(s, {sdUp, sdDown}); hot = centre; break;
    case crqvUpScroll: DrawScrollMarks(s, {sdUp}); hot = centre; break;
    case crqvRightScroll: DrawScrollMarks(s, {sdRight}); hot = centre; break;
    case crqvDownScroll: DrawScrollMarks(s, {sdDown}); hot = centre; break;
    case crqvLeftScroll: DrawScrollMarks(s, {sdLeft}); hot = centre; break;
    default: return TqvCursorPicture();
  }
  s.Rim();
  return ToPicture(s, hot);
}

TOwned<TBitmap> CreateAnchorBitmap(TqvAnchorScrollBars AKind) {
  TSketch s(kAnchorSize);
  s.Fill(Rect(0, 0, kAnchorSize, kAnchorSize), kWhite);
  switch (AKind) {
    case asbBoth: DrawScrollMarks(s, {sdUp, sdDown, sdLeft, sdRight}); break;
    case asbHorizontal: DrawScrollMarks(s, {sdLeft, sdRight}); break;
    case asbVertical: DrawScrollMarks(s, {sdUp, sdDown}); break;
  }
  auto bitmap = MakeOwned<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(kAnchorSize, kAnchorSize);
  for (Integer y = 0; y < kAnchorSize; ++y) {
    uint32_t* row = bitmap->ScanLine(y);
    for (Integer x = 0; x < kAnchorSize; ++x) row[x] = s.Pixel(x, y);
  }
  return bitmap;
}
