// The drawings of the theme engine: one light, modern style for every part, made of vertical
// gradients, rounded corners and flat glyphs, with hot, pressed, disabled and default looks.
#include <algorithm>
#include <cstdlib>

#include "platform/os/ThemeInternal.h"

namespace {

struct TLook {
  COLORREF Top, Bottom, Border, Glyph, Text;
};

// Buttons, arrows, thumbs and other pressable faces, by visual state.
const TLook kFaceLooks[] = {
    /* Normal   */ {RGB(246, 246, 246), RGB(222, 222, 222), RGB(112, 112, 112), RGB(77, 77, 77), RGB(0, 0, 0)},
    /* Hot      */ {RGB(234, 246, 253), RGB(190, 228, 250), RGB(60, 127, 177), RGB(30, 57, 91), RGB(0, 0, 0)},
    /* Pressed  */ {RGB(196, 229, 246), RGB(152, 206, 236), RGB(44, 98, 139), RGB(20, 40, 70), RGB(0, 0, 0)},
    /* Disabled */ {RGB(244, 244, 244), RGB(244, 244, 244), RGB(173, 178, 181), RGB(170, 170, 170), RGB(131, 131, 131)},
    /* Default  */ {RGB(246, 246, 246), RGB(222, 222, 222), RGB(51, 153, 255), RGB(77, 77, 77), RGB(0, 0, 0)},
};

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kPaneBorder = RGB(137, 140, 149);
const COLORREF kSeparator = RGB(213, 213, 213);
const COLORREF kTrackFill = kThemedFaceColor;
const COLORREF kTrackPressed = RGB(200, 200, 200);
const COLORREF kStatusFill = kThemedFaceColor;
const COLORREF kEditBorders[] = {RGB(171, 173, 179), RGB(126, 180, 234), RGB(86, 157, 229), RGB(217, 217, 217)};
const COLORREF kCloseHot = RGB(232, 17, 35);

const TLook& FaceLook(TVisual v) { return kFaceLooks[int(v)]; }

COLORREF Mix(COLORREF a, COLORREF b, int num, int den) {
  auto ch = [&](BYTE x, BYTE y) { return BYTE(x + (int(y) - int(x)) * num / den); };
  return RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)), ch(GetBValue(a), GetBValue(b)));
}

void Fill(HDC dc, const TRect& r, COLORREF color) {
  if (r.IsEmpty()) return;
  SetDCBrushColor(dc, color);
  FillRect(dc, &r, GetStockObject(DC_BRUSH));
}

void Gradient(HDC dc, const TRect& r, COLORREF top, COLORREF bottom) {
  const int h = r.Height();
  for (int y = 0; y < h; ++y) Fill(dc, {r.Left, r.Top + y, r.Right, r.Top + y + 1}, Mix(top, bottom, y, std::max(1, h - 1)));
}

void BlendPixel(HDC dc, int x, int y, COLORREF color) {
  COLORREF under = GetPixel(dc, x, y);
  if (under != CLR_INVALID) SetPixelV(dc, x, y, Mix(under, color, 1, 2));
}

// A border `width` pixels wide (1 unless a glyph is drawn at device pixels); rounded: the corners
// are left alone and the inner corners softened.
void Border(HDC dc, const TRect& r, COLORREF color, bool rounded, int width = 1) {
  if (r.Width() < 2 * width || r.Height() < 2 * width) return Fill(dc, r, color);
  const int c = rounded ? width : 0;
  Fill(dc, {r.Left + c, r.Top, r.Right - c, r.Top + width}, color);
  Fill(dc, {r.Left + c, r.Bottom - width, r.Right - c, r.Bottom}, color);
  Fill(dc, {r.Left, r.Top + c, r.Left + width, r.Bottom - c}, color);
  Fill(dc, {r.Right - width, r.Top + c, r.Right, r.Bottom - c}, color);
  if (!rounded) return;
  for (int dy = 0; dy < width; ++dy)
    for (int dx = 0; dx < width; ++dx) {
      BlendPixel(dc, r.Left + width + dx, r.Top + width + dy, color);
      BlendPixel(dc, r.Right - 2 * width + dx, r.Top + width + dy, color);
      BlendPixel(dc, r.Left + width + dx, r.Bottom - 2 * width + dy, color);
      BlendPixel(dc, r.Right - 2 * width + dx, r.Bottom - 2 * width + dy, color);
    }
}

TRect Inset(const TRect& r, int d) { return {r.Left + d, r.Top + d, r.Right - d, r.Bottom - d}; }

void Face(HDC dc, const TRect& r, TVisual v, bool rounded) {
  const TLook& look = FaceLook(v);
  Gradient(dc, Inset(r, 1), look.Top, look.Bottom);
  Border(dc, r, look.Border, rounded);
  if (v == TVisual::Default) Border(dc, Inset(r, 1), RGB(178, 217, 255), false);
}

void Triangle(HDC dc, const POINT (&p)[3], COLORREF color) {
  SetDCBrushColor(dc, color);
  SetDCPenColor(dc, color);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  Polygon(dc, p, 3);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
}

// A solid arrow of odd base width centred in r, drawn at the device pixels: the base takes three
// fifths of r across the arrow, as far as the arrow's depth (half the base) fits three fifths of r
// along it, so a narrow button keeps a tall arrow.
void ThemedArrow(HDC screenDC, const TRect& area, TArrowDir dir, COLORREF color) {
  TDeviceGlyphScope glyph(screenDC, area);
  HDC dc = glyph.DC();
  const TRect r = glyph.Rect();
  const bool vertical = dir == TArrowDir::Up || dir == TArrowDir::Down;
  const int across = vertical ? r.Width() : r.Height(), along = vertical ? r.Height() : r.Width();
  int base = std::min(across * 3 / 5, 2 * (along * 3 / 5) - 1);
  if (base % 2 == 0) --base;
  base = std::max(base, 3);
  const int depth = base / 2 + 1;
  const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
  const int half = base / 2;
  if (vertical) {
    const int top = cy - depth / 2;
    const int tipY = dir == TArrowDir::Up ? top : top + depth - 1;
    const int baseY = dir == TArrowDir::Up ? top + depth - 1 : top;
    Triangle(dc, {{cx, tipY}, {cx - half, baseY}, {cx + half, baseY}}, color);
  } else {
    const int left = cx - depth / 2;
    const int tipX = dir == TArrowDir::Left ? left : left + depth - 1;
    const int baseX = dir == TArrowDir::Left ? left + depth - 1 : left;
    Triangle(dc, {{tipX, cy}, {baseX, cy - half}, {baseX, cy + half}}, color);
  }
}

void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF color, int width) {
  HPEN pen = CreatePen(PS_SOLID, width, color);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void FillEllipse(HDC dc, const TRect& r, COLORREF color) {
  HRGN rgn = CreateEllipticRgn(r.Left, r.Top, r.Right, r.Bottom);
  SetDCBrushColor(dc, color);
  FillRgn(dc, rgn, GetStockObject(DC_BRUSH));
  DeleteObject(rgn);
}

void ThemedCheckBox(HDC dc, const TRect& r, const TPartState& s) {
  const TLook& look = FaceLook(s.Visual);
  TRect box{r.Left, r.Top, r.Left + std::min(r.Width(), 13), r.Top + std::min(r.Height(), 13)};
  Gradient(dc, Inset(box, 1), s.Visual == TVisual::Disabled ? look.Top : kWhite,
           s.Visual == TVisual::Disabled ? look.Bottom : Mix(kWhite, look.Bottom, 1, 2));
  Border(dc, box, look.Border, false);
  const COLORREF mark = s.Visual == TVisual::Disabled ? look.Glyph : RGB(33, 33, 33);
  if (s.Check == 1) {
    TDeviceGlyphScope glyph(dc, box);
    const int x = box.Left + 3, y = box.Top + 6;
    const TPoint a = glyph.Map(TPoint{x, y}), b = glyph.Map(TPoint{x + 2, y + 2}), c = glyph.Map(TPoint{x + 7, y - 3});
    Line(glyph.DC(), a.X, a.Y, b.X, b.Y, mark, glyph.Length(2));
    Line(glyph.DC(), b.X, b.Y, c.X, c.Y, mark, glyph.Length(2));
  } else if (s.Check == 2) {
    Fill(dc, Inset(box, 3), mark);
  }
}

void ThemedRadioButton(HDC dc, const TRect& r, const TPartState& s) {
  const TLook& look = FaceLook(s.Visual);
  TRect box{r.Left, r.Top, r.Left + std::min(r.Width(), 13), r.Top + std::min(r.Height(), 13)};
  TDeviceGlyphScope glyph(dc, box);
  FillEllipse(glyph.DC(), glyph.Map(box), look.Border);
  FillEllipse(glyph.DC(), glyph.Map(Inset(box, 1)),
              s.Visual == TVisual::Disabled ? look.Top : Mix(kWhite, look.Bottom, 1, 3));
  if (s.Check)
    FillEllipse(glyph.DC(), glyph.Map(Inset(box, 4)), s.Visual == TVisual::Disabled ? look.Glyph : RGB(33, 33, 33));
}

void TreeGlyph(HDC screenDC, const TRect& r, const TPartState& s) {
  TRect box{r.Left, r.Top, r.Left + 9, r.Top + 9};
  TDeviceGlyphScope glyph(screenDC, box);
  HDC dc = glyph.DC();
  const int line = glyph.Length(1);
  const TRect b = glyph.Map(box);
  Gradient(dc, Inset(b, line), kWhite, RGB(220, 220, 220));
  Border(dc, b, RGB(142, 143, 143), true, line);
  Fill(dc, glyph.Map(TRect{box.Left + 2, box.Top + 4, box.Right - 2, box.Top + 5}), RGB(0, 0, 0));
  if (!s.Opened) Fill(dc, glyph.Map(TRect{box.Left + 4, box.Top + 2, box.Left + 5, box.Bottom - 2}), RGB(0, 0, 0));
}

void HeaderItem(HDC dc, const TRect& r, const TPartState& s) {
  static const COLORREF kTops[] = {kWhite, RGB(227, 247, 255), RGB(188, 228, 249)};
  static const COLORREF kBottoms[] = {RGB(242, 242, 242), RGB(189, 237, 255), RGB(141, 214, 247)};
  const int i = s.Visual == TVisual::Hot ? 1 : s.Visual == TVisual::Pressed ? 2 : 0;
  Gradient(dc, r, kTops[i], kBottoms[i]);
  Fill(dc, {r.Right - 1, r.Top + 3, r.Right, r.Bottom - 3}, kSeparator);
  Fill(dc, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, kSeparator);
  if (i > 0) Border(dc, r, i == 1 ? RGB(136, 203, 235) : RGB(97, 165, 200), false);
}

void TabItem(HDC dc, const TRect& r, const TPartState& s) {
  TRect body = r;
  if (s.Selected) {
    Fill(dc, {body.Left + 1, body.Top + 1, body.Right - 1, body.Bottom}, kWhite);
  } else {
    const TLook& look = FaceLook(s.Visual == TVisual::Pressed ? TVisual::Hot : s.Visual);
    Gradient(dc, {body.Left + 1, body.Top + 1, body.Right - 1, body.Bottom}, look.Top, look.Bottom);
  }
  Fill(dc, {body.Left + 1, body.Top, body.Right - 1, body.Top + 1}, kPaneBorder);
  Fill(dc, {body.Left, body.Top + 1, body.Left + 1, body.Bottom}, kPaneBorder);
  Fill(dc, {body.Right - 1, body.Top + 1, body.Right, body.Bottom}, kPaneBorder);
  if (!s.Selected) Fill(dc, {body.Left, body.Bottom - 1, body.Right, body.Bottom}, kPaneBorder);
}

void EditText(HDC dc, const TRect& r, const TPartState& s) {
  const int i = s.Visual == TVisual::Disabled ? 3 : s.Selected ? 2 : s.Visual == TVisual::Hot ? 1 : 0;
  Fill(dc, Inset(r, 1), s.Visual == TVisual::Disabled ? kTrackFill : kWhite);
  Border(dc, r, kEditBorders[i], false);
}

void SmallClose(HDC dc, const TRect& r, const TPartState& s) {
  COLORREF cross = FaceLook(s.Visual).Glyph;
  if (s.Visual == TVisual::Hot || s.Visual == TVisual::Pressed) {
    Fill(dc, Inset(r, 1), s.Visual == TVisual::Hot ? kCloseHot : Mix(kCloseHot, RGB(0, 0, 0), 1, 4));
    Border(dc, r, Mix(kCloseHot, RGB(0, 0, 0), 1, 3), true);
    cross = kWhite;
  }
  const int size = std::min(r.Width(), r.Height()) - 6;
  if (size < 2) return;
  const int x = (r.Left + r.Right - size) / 2, y = (r.Top + r.Bottom - size) / 2;
  Line(dc, x, y, x + size, y + size, cross, 2);
  Line(dc, x, y + size - 1, x + size, y - 1, cross, 2);
}

void Gripper(HDC dc, const TRect& r, bool horizontal, COLORREF color) {
  const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
  for (int i = -2; i <= 2; i += 2) {
    if (horizontal)
      Fill(dc, {cx + i, cy - 3, cx + i + 1, cy + 4}, color);
    else
      Fill(dc, {cx - 3, cy + i, cx + 4, cy + i + 1}, color);
  }
}

void StatusGripper(HDC dc, const TRect& r) {
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col <= row; ++col) {
      const int x = r.Right - 4 - col * 4, y = r.Bottom - 4 - (row - col) * 4;
      Fill(dc, {x, y, x + 2, y + 2}, RGB(160, 160, 160));
    }
}

// A green chunk, lighter in its middle across the bar.
void ProgressChunk(HDC dc, const TRect& r, bool vertical) {
  const COLORREF edge = RGB(6, 176, 37), middle = RGB(108, 219, 126);
  if (vertical) {
    const int w = r.Width();
    for (int x = 0; x < w; ++x) {
      const int d = std::abs(2 * x - (w - 1));
      Fill(dc, {r.Left + x, r.Top, r.Left + x + 1, r.Bottom}, Mix(middle, edge, d, std::max(1, w - 1)));
    }
    return;
  }
  const int h = r.Height();
  for (int y = 0; y < h; ++y) {
    const int d = std::abs(2 * y - (h - 1));
    Fill(dc, {r.Left, r.Top + y, r.Right, r.Top + y + 1}, Mix(middle, edge, d, std::max(1, h - 1)));
  }
}

void TrackThumb(HDC dc, const TRect& r, const TPartState& s) {
  Face(dc, r, s.Visual, true);
  if (s.Selected) Border(dc, Inset(r, 1), RGB(51, 153, 255), false);
}

}  // namespace

void DrawThemePart(HDC dc, const TThemePart& part, const TPartState& s, const TRect& r) {
  if (r.IsEmpty()) return;
  switch (part.Kind) {
    case TPartKind::PushButton: Face(dc, r, s.Visual, true); break;
    case TPartKind::CheckBox: ThemedCheckBox(dc, r, s); break;
    case TPartKind::RadioButton: ThemedRadioButton(dc, r, s); break;
    case TPartKind::GroupBox: Border(dc, r, s.Visual == TVisual::Disabled ? kEditBorders[3] : kSeparator, true); break;
    case TPartKind::ScrollArrow:
    case TPartKind::ArrowButton:
    case TPartKind::DropDown:
      Face(dc, r, s.Visual, false);
      ThemedArrow(dc, Inset(r, 2), s.Arrow, FaceLook(s.Visual).Glyph);
      break;
    case TPartKind::ScrollThumb: Face(dc, r, s.Visual, true); break;
    case TPartKind::ScrollTrack: Fill(dc, r, s.Visual == TVisual::Pressed ? kTrackPressed : kTrackFill); break;
    case TPartKind::ScrollGripper:
      Gripper(dc, r, s.Arrow == TArrowDir::Left, FaceLook(s.Visual).Glyph);
      break;
    case TPartKind::SizeBox:
      Fill(dc, r, kTrackFill);
      StatusGripper(dc, r);
      break;
    case TPartKind::Frame: Border(dc, r, kPaneBorder, false); break;
    case TPartKind::TreeGlyph: TreeGlyph(dc, r, s); break;
    case TPartKind::HeaderItem: HeaderItem(dc, r, s); break;
    case TPartKind::Track:
      Fill(dc, Inset(r, 1), RGB(231, 234, 234));
      Border(dc, r, RGB(176, 176, 176), false);
      break;
    case TPartKind::TrackThumb: TrackThumb(dc, r, s); break;
    case TPartKind::SmallClose: SmallClose(dc, r, s); break;
    case TPartKind::TabItem: TabItem(dc, r, s); break;
    case TPartKind::TabPane:
      Fill(dc, Inset(r, 1), kWhite);
      Border(dc, r, kPaneBorder, false);
      break;
    case TPartKind::EditText: EditText(dc, r, s); break;
    case TPartKind::StatusBackground: Fill(dc, r, kStatusFill); break;
    case TPartKind::StatusPane: Fill(dc, {r.Right - 1, r.Top + 2, r.Right, r.Bottom - 2}, kSeparator); break;
    case TPartKind::StatusGripper: StatusGripper(dc, r); break;
    case TPartKind::ProgressBar:
      Fill(dc, Inset(r, 1), RGB(230, 230, 230));
      Border(dc, r, RGB(188, 188, 188), true);
      break;
    case TPartKind::ProgressChunk: ProgressChunk(dc, r, s.Arrow == TArrowDir::Up); break;
  }
}

void DrawThemeEdgeLines(HDC dc, TRect& r, UINT edge, UINT flags) {
  struct TRing {
    UINT Raised, Sunken;
    COLORREF RaisedTL, RaisedBR, SunkenTL, SunkenBR;
  };
  const TRing rings[] = {
      {BDR_RAISEDOUTER, BDR_SUNKENOUTER, RGB(227, 227, 227), RGB(160, 160, 160), RGB(160, 160, 160), kWhite},
      {BDR_RAISEDINNER, BDR_SUNKENINNER, kWhite, kSeparator, kSeparator, RGB(227, 227, 227)},
  };
  for (const TRing& ring : rings) {
    if (!(edge & (ring.Raised | ring.Sunken))) continue;
    const bool raised = edge & ring.Raised;
    const COLORREF tl = raised ? ring.RaisedTL : ring.SunkenTL, br = raised ? ring.RaisedBR : ring.SunkenBR;
    if (flags & BF_LEFT) Fill(dc, {r.Left, r.Top, r.Left + 1, r.Bottom}, tl);
    if (flags & BF_TOP) Fill(dc, {r.Left, r.Top, r.Right, r.Top + 1}, tl);
    if (flags & BF_RIGHT) Fill(dc, {r.Right - 1, r.Top, r.Right, r.Bottom}, br);
    if (flags & BF_BOTTOM) Fill(dc, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, br);
    if (flags & BF_LEFT) ++r.Left;
    if (flags & BF_TOP) ++r.Top;
    if (flags & BF_RIGHT) --r.Right;
    if (flags & BF_BOTTOM) --r.Bottom;
  }
  if (flags & BF_MIDDLE) Fill(dc, r, kTrackFill);
}

bool ThemePartColor(const TThemePart& part, const TPartState& s, int propId, COLORREF& color) {
  const TLook& look = FaceLook(s.Visual);
  const bool edit = part.Kind == TPartKind::EditText || part.Kind == TPartKind::DropDown;
  switch (propId) {
    case TMT_BORDERCOLOR:
      color = edit ? kEditBorders[s.Visual == TVisual::Disabled ? 3 : s.Selected ? 2 : s.Visual == TVisual::Hot ? 1 : 0]
                   : look.Border;
      return true;
    case TMT_FILLCOLOR:
      color = part.Kind == TPartKind::EditText ? (s.Visual == TVisual::Disabled ? kTrackFill : kWhite)
                                               : Mix(look.Top, look.Bottom, 1, 2);
      return true;
    case TMT_TEXTCOLOR: color = look.Text; return true;
    case TMT_GLYPHTEXTCOLOR: color = look.Glyph; return true;
    default: return false;
  }
}
