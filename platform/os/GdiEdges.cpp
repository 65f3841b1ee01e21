// 3D edges and frame controls in the classic look, drawn from system colours.
#include <algorithm>
#include <cmath>

#include "platform/os/GdiInternal.h"

namespace {

void FillColor(TDC& dc, const TRect& logical, COLORREF color) {
  TFillSource src;
  src.Solid = TargetPixel(dc, color);
  FillSurfaceRect(dc, dc.ToSurface(logical), src, PATCOPY);
}

void PutPixel(TDC& dc, Integer x, Integer y, COLORREF color) { FillColor(dc, {x, y, x + 1, y + 1}, color); }

// One ring of an edge: top and left in `light`, right and bottom in `dark`; the top-right and
// bottom-left corners belong to the dark sides.
void EdgeRing(TDC& dc, const TRect& r, UINT sides, COLORREF light, COLORREF dark) {
  if (r.IsEmpty()) return;
  if (sides & BF_TOP) FillColor(dc, {r.Left, r.Top, (sides & BF_RIGHT) ? r.Right - 1 : r.Right, r.Top + 1}, light);
  if (sides & BF_LEFT) FillColor(dc, {r.Left, r.Top, r.Left + 1, (sides & BF_BOTTOM) ? r.Bottom - 1 : r.Bottom}, light);
  if (sides & BF_RIGHT) FillColor(dc, {r.Right - 1, r.Top, r.Right, r.Bottom}, dark);
  if (sides & BF_BOTTOM) FillColor(dc, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, dark);
}

TRect Shrink(const TRect& r, UINT sides) {
  return {r.Left + ((sides & BF_LEFT) ? 1 : 0), r.Top + ((sides & BF_TOP) ? 1 : 0),
          r.Right - ((sides & BF_RIGHT) ? 1 : 0), r.Bottom - ((sides & BF_BOTTOM) ? 1 : 0)};
}

struct TRingColors {
  COLORREF Light, Dark;
};

TRingColors OuterColors(UINT edge, UINT flags) {
  if (flags & BF_MONO) return {GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME)};
  if (flags & BF_FLAT) return {GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW)};
  if (edge & BDR_RAISEDOUTER)
    return {GetSysColor((flags & BF_SOFT) ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW)};
  return {GetSysColor((flags & BF_SOFT) ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT)};
}

TRingColors InnerColors(UINT edge, UINT flags) {
  if (flags & BF_MONO) return {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOW)};
  if (flags & BF_FLAT) return {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNFACE)};
  if (edge & BDR_RAISEDINNER)
    return {GetSysColor((flags & BF_SOFT) ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW)};
  return {GetSysColor((flags & BF_SOFT) ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT)};
}

// Draws a glyph given as rows of '#' (foreground) centred in `r`.
void Glyph(TDC& dc, const TRect& r, const std::vector<const char*>& rows, COLORREF color, Integer dx = 0, Integer dy = 0) {
  Integer h = Integer(rows.size()), w = Integer(std::char_traits<char>::length(rows[0]));
  Integer x0 = r.Left + (r.Width() - w) / 2 + dx, y0 = r.Top + (r.Height() - h) / 2 + dy;
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x)
      if (rows[size_t(y)][x] == '#') PutPixel(dc, x0 + x, y0 + y, color);
}

// Solid triangle pointing in `dir` (0 up, 1 down, 2 left, 3 right) centred in `r`.
void Arrow(TDC& dc, const TRect& r, UINT dir, COLORREF color, Integer shift) {
  Integer s = std::min(r.Width(), r.Height());
  Integer a = std::max(1, (s - 4) / 4);
  Integer cx = r.Left + (r.Width() - 1) / 2 + shift, cy = r.Top + (r.Height() - 1) / 2 + shift;
  for (Integer i = 0; i <= a; ++i) {
    Integer half = (dir == 0 || dir == 2) ? i : a - i;
    Integer along = i - a / 2;
    if (dir <= 1) FillColor(dc, {cx - half, cy + along, cx + half + 1, cy + along + 1}, color);
    else FillColor(dc, {cx + along, cy - half, cx + along + 1, cy + half + 1}, color);
  }
}

TRect CenteredSquare(const TRect& r) {
  Integer s = std::min(r.Width(), r.Height());
  Integer x = r.Left + (r.Width() - s) / 2, y = r.Top + (r.Height() - s) / 2;
  return {x, y, x + s, y + s};
}

void PushButton(HDC h, TRect r, UINT state) {
  bool pushed = state & (DFCS_PUSHED | DFCS_CHECKED);
  UINT flags = BF_RECT | BF_MIDDLE | BF_SOFT | ((state & DFCS_FLAT) ? BF_FLAT : 0) | ((state & DFCS_MONO) ? BF_MONO : 0);
  if (pushed && !(state & DFCS_FLAT)) flags &= ~BF_SOFT;
  DrawEdge(h, &r, pushed ? EDGE_SUNKEN : EDGE_RAISED, flags);
}

// The check mark of a check box or a menu item in its 7 x 7 cell at Cell's top left, drawn in
// device columns: a band three units high whose top follows the mark's two slopes, so that at a
// device scale the slopes step by device pixels (at one pixel a unit it is the classic mark).
void CheckMark(TDC& dc, TPoint Cell, double Scale, COLORREF color) {
  constexpr double kCell = 7, kBand = 3;
  const Integer columns = Integer(std::lround(kCell * Scale));
  for (Integer x = 0; x < columns; ++x) {
    const double u = (x + 0.5) / Scale;
    const Integer top = Integer(std::lround(std::min(u + 1.5, 6.5 - u) * Scale));
    FillColor(dc, {Cell.X + x, Cell.Y + top, Cell.X + x + 1, Cell.Y + top + Integer(std::lround(kBand * Scale))}, color);
  }
}

void CheckBox(TDC& dc, HDC h, const TRect& area, UINT state) {
  TRect box = CenteredSquare(area);
  bool grey = (state & DFCS_INACTIVE) || ((state & DFCS_BUTTON3STATE) && (state & DFCS_CHECKED));
  COLORREF back = GetSysColor((state & (DFCS_PUSHED | DFCS_INACTIVE)) ? COLOR_BTNFACE : COLOR_WINDOW);
  TRect inner = box;
  if (state & (DFCS_FLAT | DFCS_MONO)) {
    FillColor(dc, box, GetSysColor((state & DFCS_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW));
    inner = {box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1};
  } else {
    DrawEdge(h, &inner, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  }
  FillColor(dc, inner, back);
  if (state & DFCS_CHECKED) {
    COLORREF mark = GetSysColor(grey ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
    TDeviceGlyphScope glyph(h, inner);
    const TPoint cell = glyph.Map(TPoint{inner.Left + (inner.Width() - 7) / 2, inner.Top + (inner.Height() - 7) / 2});
    CheckMark(*DCOf(glyph.DC()), cell, glyph.Scale(), mark);
  }
}

// Pixels of the circle inside `box`, split by the anti-diagonal into the top-left half.
void RadioRing(TDC& dc, const TRect& box, const TRegionData& disc, const TRegionData& inner, COLORREF tl, COLORREF br) {
  Integer diag = box.Left + box.Top + box.Width() - 1;
  const TRegionData ring = disc.Subtract(inner);
  for (const TRect& r : ring.Rects())
    for (Integer y = r.Top; y < r.Bottom; ++y)
      for (Integer x = r.Left; x < r.Right; ++x) PutPixel(dc, x, y, x + y < diag ? tl : br);
}

// The radio circle: its rings `unit` pixels wide (more than one when it is drawn at device pixels).
void RadioButton(TDC& dc, const TRect& area, UINT state, Integer unit) {
  TRect box = CenteredSquare(area);
  TRegionData disc = TRegionData::Ellipse(box);
  if (state & DFCS_BUTTONRADIOMASK) {
    FillColor(dc, box, RGB(255, 255, 255));
    for (const TRect& r : disc.Rects()) FillColor(dc, r, RGB(0, 0, 0));
    return;
  }
  if (state & DFCS_BUTTONRADIOIMAGE) FillColor(dc, box, RGB(0, 0, 0));
  TRegionData ring1 = TRegionData::Ellipse({box.Left + unit, box.Top + unit, box.Right - unit, box.Bottom - unit});
  TRegionData ring2 =
      TRegionData::Ellipse({box.Left + 2 * unit, box.Top + 2 * unit, box.Right - 2 * unit, box.Bottom - 2 * unit});
  bool flat = state & (DFCS_FLAT | DFCS_MONO);
  RadioRing(dc, box, disc, ring1, GetSysColor(COLOR_BTNSHADOW), GetSysColor(flat ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT));
  if (!flat) RadioRing(dc, box, ring1, ring2, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
  const TRegionData& inside = flat ? ring1 : ring2;
  COLORREF back = GetSysColor((state & (DFCS_PUSHED | DFCS_INACTIVE)) ? COLOR_BTNFACE : COLOR_WINDOW);
  for (const TRect& r : inside.Rects()) FillColor(dc, r, back);
  if (state & DFCS_CHECKED) {
    Integer s = std::max(2 * unit, box.Width() / 3);
    Integer x = box.Left + (box.Width() - s) / 2, y = box.Top + (box.Height() - s) / 2;
    COLORREF dot = GetSysColor((state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
    const TRegionData dotShape = TRegionData::Ellipse({x, y, x + s, y + s});
    for (const TRect& r : dotShape.Rects()) FillColor(dc, r, dot);
  }
}

void SizeGrip(TDC& dc, const TRect& r, bool mirrored) {
  FillColor(dc, r, GetSysColor(COLOR_BTNFACE));
  for (Integer y = r.Top; y < r.Bottom; ++y)
    for (Integer x = r.Left; x < r.Right; ++x) {
      Integer fromRight = mirrored ? x - r.Left : r.Right - 1 - x;
      Integer t = fromRight + (r.Bottom - 1 - y);
      if (t < 1 || t > 12) continue;
      Integer m = (t - 1) % 4;
      if (m == 0) PutPixel(dc, x, y, GetSysColor(COLOR_BTNHIGHLIGHT));
      else if (m != 3) PutPixel(dc, x, y, GetSysColor(COLOR_BTNSHADOW));
    }
}

BOOL ButtonControl(TDC& dc, HDC h, TRect& r, UINT state) {
  if (state & DFCS_BUTTONPUSH) PushButton(h, r, state);
  else if (state & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) {
    TDeviceGlyphScope glyph(h, r);
    RadioButton(*DCOf(glyph.DC()), glyph.Rect(), state, glyph.Length(1));
  } else {
    CheckBox(dc, h, r, state);
  }
  return TRUE;
}

BOOL ScrollControl(TDC& dc, HDC h, TRect& r, UINT state) {
  UINT kind = state & 0x1F;
  if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
    SizeGrip(dc, r, kind == DFCS_SCROLLSIZEGRIPRIGHT);
    return TRUE;
  }
  PushButton(h, r, state);
  UINT dir = kind == DFCS_SCROLLCOMBOBOX ? 1 : kind;
  if (dir > 3) return FALSE;
  TDeviceGlyphScope glyph(h, r);
  TDC& fine = *DCOf(glyph.DC());
  Integer shift = glyph.Length((state & DFCS_PUSHED) ? 1 : 0);
  if (state & DFCS_INACTIVE) {
    Arrow(fine, glyph.Rect(), dir, GetSysColor(COLOR_BTNHIGHLIGHT), shift + glyph.Length(1));
    Arrow(fine, glyph.Rect(), dir, GetSysColor(COLOR_BTNSHADOW), shift);
  } else {
    Arrow(fine, glyph.Rect(), dir, GetSysColor(COLOR_BTNTEXT), shift);
  }
  return TRUE;
}

BOOL CaptionControl(TDC& dc, HDC h, TRect& r, UINT state) {
  PushButton(h, r, state);
  COLORREF c = GetSysColor((state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
  Integer s = (state & DFCS_PUSHED) ? 1 : 0;
  switch (state & 0xF) {
    case DFCS_CAPTIONCLOSE:
      Glyph(dc, r, {"##....##", ".##..##.", "..####..", "...##...", "..####..", ".##..##.", "##....##"}, c, s, s);
      return TRUE;
    case DFCS_CAPTIONMIN: Glyph(dc, r, {"......", "......", "......", "......", "######", "######"}, c, s, s); return TRUE;
    case DFCS_CAPTIONMAX:
      Glyph(dc, r, {"#########", "#########", "#.......#", "#.......#", "#.......#", "#.......#", "#########"}, c, s, s);
      return TRUE;
    case DFCS_CAPTIONRESTORE:
      Glyph(dc, r, {"..######", "..######", "..#....#", "######.#", "######.#", "#....###", "#....#..", "######.."}, c, s, s);
      return TRUE;
    case DFCS_CAPTIONHELP:
      Glyph(dc, r, {".####.", "##..##", "....##", "...##.", "..##..", "......", "..##..", "..##.."}, c, s, s);
      return TRUE;
    default: return FALSE;
  }
}

// Menu glyphs are masks: black glyph on white.
BOOL MenuControl(TDC& dc, TRect& r, UINT state) {
  FillColor(dc, r, RGB(255, 255, 255));
  switch (state & 0xF) {
    case DFCS_MENUARROW: Glyph(dc, r, {"#...", "##..", "###.", "####", "###.", "##..", "#..."}, RGB(0, 0, 0)); return TRUE;
    case DFCS_MENUARROWRIGHT:
      Glyph(dc, r, {"...#", "..##", ".###", "####", ".###", "..##", "...#"}, RGB(0, 0, 0));
      return TRUE;
    case DFCS_MENUCHECK:
      CheckMark(dc, {r.Left + (r.Width() - 7) / 2, r.Top + (r.Height() - 7) / 2}, 1, RGB(0, 0, 0));
      return TRUE;
    case DFCS_MENUBULLET: Glyph(dc, r, {".##.", "####", "####", ".##."}, RGB(0, 0, 0)); return TRUE;
    default: return FALSE;
  }
}

}  // namespace

BOOL DrawEdge(HDC dc, LPRECT rect, UINT edge, UINT flags) {
  TDC* d = DCOf(dc);
  if (!d || !rect) return FALSE;
  TRect r = *rect;
  UINT sides = flags & BF_RECT;
  if (edge & BDR_OUTER) {
    TRingColors c = OuterColors(edge, flags);
    EdgeRing(*d, r, sides, c.Light, c.Dark);
    r = Shrink(r, sides);
  }
  if (edge & BDR_INNER) {
    TRingColors c = InnerColors(edge, flags);
    EdgeRing(*d, r, sides, c.Light, c.Dark);
    r = Shrink(r, sides);
  }
  if ((flags & BF_MIDDLE) && !r.IsEmpty())
    FillColor(*d, r, GetSysColor((flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE));
  if (flags & BF_ADJUST) *rect = r;
  return TRUE;
}

BOOL DrawFrameControl(HDC dc, LPRECT rect, UINT type, UINT state) {
  TDC* d = DCOf(dc);
  if (!d || !rect) return FALSE;
  TRect r = *rect;
  if (r.IsEmpty()) return FALSE;
  BOOL ok = FALSE;
  switch (type) {
    case DFC_BUTTON: ok = ButtonControl(*d, dc, r, state); break;
    case DFC_SCROLL: ok = ScrollControl(*d, dc, r, state); break;
    case DFC_CAPTION: ok = CaptionControl(*d, dc, r, state); break;
    case DFC_MENU: ok = MenuControl(*d, r, state); break;
    default: return FALSE;
  }
  if (ok && (state & DFCS_ADJUSTRECT)) *rect = {r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2};
  return ok;
}
