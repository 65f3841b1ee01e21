// The radio-button glyph cache: the system's radio image measured once, its pixels sorted into
// roles, and 48 coloured images built from the roles on demand.
#include <vector>

#include "lookandfeel/qvLookAndFeelPainters.h"
#include "platform/forms/ImgList.h"
#include "platform/os/Gdi.h"
#include "platform/os/Windows.h"

namespace qvLookAndFeelPainters {

QJ_IMPLEMENT_CLASS(TqvRadioButtonImageList)

namespace {

// Pixel roles of the glyph.
enum TRadioRole { rrOutside, rrOuterUpperLeft, rrOuterLowerRight, rrInnerUpperLeft, rrInnerLowerRight, rrInterior,
                  rrDot, rrCount };

// Used when the system glyph cannot be measured.
constexpr Integer kFallbackSize = 12;
constexpr TRect kFallbackDot{4, 4, 8, 8};

struct TRadioGlyph {
  Integer W = 0, H = 0, Left = -1, Top = -1;
  TRect Dot;
  std::vector<Integer> Roles;  // H rows of W codes
  Integer& At(Integer x, Integer y) { return Roles[size_t(y * W + x)]; }
};

bool IsBlack(TBitmap& B, Integer x, Integer y) { return (B.ScanLine(y)[x] & 0xFFFFFF) == 0; }

void DrawCell(TBitmap& Cell, UINT AState) {
  const Integer w = Cell.GetWidth(), h = Cell.GetHeight();
  Cell.GetCanvas()->GetBrush()->SetColor(clBlack);
  Cell.GetCanvas()->FillRect(Rect(0, 0, w, h));
  RECT r{0, 0, w, h};
  DrawFrameControl(Cell.GetCanvas()->GetHandle(), &r, DFC_BUTTON, AState);
}

// Scans from (x, y) by (dx, dy) while the pixels stay black and inside the cell; the first
// position past the black run.
Integer ScanBlack(TBitmap& Cell, Integer x, Integer y, Integer dx, Integer dy) {
  while (x >= 0 && y >= 0 && x < Cell.GetWidth() && y < Cell.GetHeight() && IsBlack(Cell, x, y)) {
    x += dx;
    y += dy;
  }
  return dx != 0 ? x : y;
}

TRadioGlyph MeasureSystemRadioGlyph() {
  TRadioGlyph g;
  TBitmap boxes;
  boxes.SetHandle(LoadBitmap(nullptr, MAKEINTRESOURCE(OBM_CHECKBOXES)));
  const Integer cw = boxes.GetWidth() / 4, ch = boxes.GetHeight() / 3;
  if (cw > 0 && ch > 0) {
    TBitmap cell;
    cell.SetPixelFormat(pf32bit);
    cell.SetSize(cw, ch);
    DrawCell(cell, DFCS_BUTTONRADIOMASK | DFCS_CHECKED | DFCS_FLAT);
    for (Integer x = 0; x < cw; ++x)
      for (Integer y = 0; y < ch; ++y)
        if (IsBlack(cell, x, y)) {
          if (g.Left < 0) g.Left = x;
          ++g.W;
          break;
        }
    for (Integer y = 0; y < ch; ++y)
      for (Integer x = 0; x < cw; ++x)
        if (IsBlack(cell, x, y)) {
          if (g.Top < 0) g.Top = y;
          ++g.H;
          break;
        }
    if (g.W > 0 && g.H > 0) {
      DrawCell(cell, DFCS_BUTTONRADIOIMAGE | DFCS_CHECKED | DFCS_FLAT);
      const Integer cx = g.W / 2 + g.Left - 1, cy = g.H / 2 + g.Top - 1;
      g.Dot.Top = ScanBlack(cell, cx, cy - 1, 0, -1) + 1;
      g.Dot.Bottom = ScanBlack(cell, cx, g.Dot.Top, 0, 1);
      g.Dot.Left = ScanBlack(cell, cx - 1, cy, -1, 0) + 1;
      g.Dot.Right = ScanBlack(cell, g.Dot.Left, cy, 1, 0);
    }
  }
  if (g.W <= 0 || g.H <= 0 || g.Dot.IsEmpty()) {
    g.W = g.H = kFallbackSize;
    g.Left = g.Top = 0;
    g.Dot = kFallbackDot;
  }
  g.Roles.assign(size_t(g.W * g.H), rrOutside);
  return g;
}

// A W x H bitmap, white, with an ellipse drawn as a round rectangle over R in a black pen.
void DrawOutline(TBitmap& B, Integer W, Integer H, const TRect& R, TColor AFill) {
  B.SetPixelFormat(pf32bit);
  B.SetSize(W, H);
  TCanvas* c = B.GetCanvas();
  c->GetBrush()->SetColor(clWhite);
  c->FillRect(Rect(0, 0, W, H));
  c->GetPen()->SetColor(clBlack);
  c->GetBrush()->SetColor(AFill);
  c->RoundRect(R.Left, R.Top, R.Right, R.Bottom, R.Width() - 1, R.Height() - 1);
}

bool BelowDiagonal(const TRadioGlyph& g, Integer x, Integer y) {
  return (g.H - 1) * (g.W - 1 - x) < y * (g.W - 1);
}

void BuildOuterRingMap(TRadioGlyph& g) {
  TBitmap b;
  DrawOutline(b, g.W, g.H, Rect(0, 0, g.W, g.H), clWhite);
  for (Integer y = 0; y < g.H; ++y)
    for (Integer x = 0; x < g.W; ++x)
      if (IsBlack(b, x, y)) g.At(x, y) = BelowDiagonal(g, x, y) ? rrOuterLowerRight : rrOuterUpperLeft;
}

void FillInterior(TRadioGlyph& g) {
  for (Integer y = 1; y <= g.H - 2; ++y) {
    for (Integer x = g.W / 2 - 1; x >= 0 && g.At(x, y) == rrOutside; --x) g.At(x, y) = rrInterior;
    for (Integer x = g.W / 2; x < g.W && g.At(x, y) == rrOutside; ++x) g.At(x, y) = rrInterior;
  }
}

void MarkInnerRingPixel(TRadioGlyph& g, Integer x, Integer y) {
  const Integer a = (g.H - 1) * (g.W - 1 - x), b = y * (g.W - 1);
  const bool lower = a < b || (a == b && x > g.W / 2 - 1);
  g.At(x, y) = lower ? rrInnerLowerRight : rrInnerUpperLeft;
}

bool IsOuterRing(Integer code) { return code == rrOuterUpperLeft || code == rrOuterLowerRight; }

// Walks from (x, y) by (dx, dy) up to the outer ring: marks the last pixel before it, or every
// pixel passed on an edge row or column.
void WalkToRing(TRadioGlyph& g, Integer x, Integer y, Integer dx, Integer dy, bool markAll) {
  Integer lastX = -1, lastY = -1;
  while (x >= 0 && y >= 0 && x < g.W && y < g.H && !IsOuterRing(g.At(x, y))) {
    if (markAll) MarkInnerRingPixel(g, x, y);
    lastX = x;
    lastY = y;
    x += dx;
    y += dy;
  }
  if (lastX >= 0 && !markAll) MarkInnerRingPixel(g, lastX, lastY);
}

void BuildInnerRingMap(TRadioGlyph& g) {
  for (Integer y = 1; y <= g.H - 2; ++y) {
    const bool edge = y == 1 || y == g.H - 2;
    WalkToRing(g, g.W / 2 - 1, y, -1, 0, edge);
    WalkToRing(g, g.W / 2, y, 1, 0, edge);
  }
  for (Integer x = 1; x <= g.W - 2; ++x) {
    const bool edge = x == 1 || x == g.W - 2;
    WalkToRing(g, x, g.H / 2 - 1, 0, -1, edge);
    WalkToRing(g, x, g.H / 2, 0, 1, edge);
  }
}

void MarkRadioDotPixels(TRadioGlyph& g) {
  TBitmap b;
  DrawOutline(b, g.W, g.H, qvOffsetRect(g.Dot, -g.Left, -g.Top), clBlack);
  for (Integer y = 0; y < g.H; ++y)
    for (Integer x = 0; x < g.W; ++x)
      if (IsBlack(b, x, y)) g.At(x, y) = rrDot;
}

TRadioGlyph& Glyph() {
  static TRadioGlyph glyph = [] {
    TRadioGlyph g = MeasureSystemRadioGlyph();
    BuildOuterRingMap(g);
    FillInterior(g);
    BuildInnerRingMap(g);
    MarkRadioDotPixels(g);
    return g;
  }();
  return glyph;
}

TColor GetRadioInteriorColor(Integer AStyle, TqvButtonState AState) {
  if (AState == qvbsDisabled) return clBtnFace;
  if (AStyle == psUltraFlat) {
    if (AState == qvbsHot) return GetUltraFlatHotColor();
    if (AState == qvbsPressed) return GetUltraFlatPressedColor();
    return clWindow;
  }
  return AState == qvbsPressed ? clBtnFace : clWindow;
}

std::array<COLORREF, rrCount> FillRadioColorTable(bool AHighlightRing, Integer AStyle, bool AChecked,
                                                  TqvButtonState AState, bool AHighlightAll) {
  const TColor interior = GetRadioInteriorColor(AStyle, AState);
  std::array<TColor, 4> ring;
  if (AStyle == psFlat) {
    ring = {clBtnShadow, clBtnHighlight, cl3DLight, cl3DLight};
  } else if (AStyle == psStandard) {
    ring = {clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight};
  } else {
    const bool lit = AHighlightRing || AState == qvbsHot || (AHighlightAll && AState != qvbsDisabled);
    const TColor outer = lit ? clHighlight : clBtnShadow;
    ring = {outer, outer, interior, interior};
  }
  const TColor dot = AChecked ? (AState == qvbsDisabled ? clBtnShadow : clBtnText) : interior;
  return {0,
          ColorToRGB(ring[0]),
          ColorToRGB(ring[1]),
          ColorToRGB(ring[2]),
          ColorToRGB(ring[3]),
          ColorToRGB(interior),
          ColorToRGB(dot)};
}

uint32_t ToPixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// Whether (u, v) lies in the ellipse inscribed in R (continuous coordinates).
bool InEllipse(const TRect& R, double u, double v) {
  const double rx = R.Width() / 2.0, ry = R.Height() / 2.0;
  if (rx <= 0 || ry <= 0) return false;
  const double dx = (u - (R.Left + rx)) / rx, dy = (v - (R.Top + ry)) / ry;
  return dx * dx + dy * dy <= 1;
}

// The role of the point (u, v) of the glyph in units, for drawing it at device pixels: an outer
// and an inner ring one unit wide split by the anti-diagonal, the interior and the dot.
Integer RoleAt(const TRadioGlyph& g, double u, double v) {
  const TRect outer{0, 0, g.W, g.H}, inner{1, 1, g.W - 1, g.H - 1}, interior{2, 2, g.W - 2, g.H - 2};
  if (!InEllipse(outer, u, v)) return rrOutside;
  const bool lower = v * g.W > (g.W - u) * g.H;
  if (!InEllipse(inner, u, v)) return lower ? rrOuterLowerRight : rrOuterUpperLeft;
  if (!InEllipse(interior, u, v)) return lower ? rrInnerLowerRight : rrInnerUpperLeft;
  return InEllipse(qvOffsetRect(g.Dot, -g.Left, -g.Top), u, v) ? rrDot : rrInterior;
}

// The image index's parts, as ImageIndex makes it.
struct TRadioImageKey {
  bool HighlightRing;
  Integer Style;
  bool Checked;
  TqvButtonState State;
};

TRadioImageKey KeyOf(Integer AIndex) {
  return {AIndex >= 24, (AIndex % 24) / 8, (AIndex % 8) >= 4, TqvButtonState(qvbsNormal + AIndex % 4)};
}

TOwned<TqvRadioButtonImageList>& SharedList() {
  static TOwned<TqvRadioButtonImageList> list;
  return list;
}

}  // namespace

TqvRadioButtonImageList::TqvRadioButtonImageList()
    : FDrawBitmap(MakeOwned<TBitmap>()),
      FMaskBitmap(MakeOwned<TBitmap>()),
      FNotifier(MakeOwned<TqvSystemPaletteChangedNotifier>()) {
  const TRadioGlyph& g = Glyph();
  FImages.reset(New<TImageList>(nullptr, g.W, g.H));
  FImages->SetMasked(true);
  FDrawBitmap->SetPixelFormat(pf32bit);
  FDrawBitmap->SetSize(g.W, g.H);
  DrawOutline(*FMaskBitmap, g.W, g.H, Rect(0, 0, g.W, g.H), clBlack);
  FNotifier->OnSystemPaletteChanged = [this] { ClearImages(); };
}

TqvRadioButtonImageList::~TqvRadioButtonImageList() = default;

Integer TqvRadioButtonImageList::ImageIndex(bool AHighlightRing, TqvPainterStyle AStyle, bool AChecked,
                                            TqvButtonState AState) {
  const Integer style = AStyle == psNative ? psStandard : AStyle;
  const Integer state = AState == qvbsDefault ? 0 : AState - qvbsNormal;
  return (AHighlightRing ? 24 : 0) + style * 8 + (AChecked ? 4 : 0) + state;
}

void TqvRadioButtonImageList::BuildImages(bool AHighlightAll) {
  if (FImages->GetCount() > 0) return;
  FHighlightAll = AHighlightAll;
  TRadioGlyph& g = Glyph();
  static const TqvButtonState kStates[] = {qvbsNormal, qvbsHot, qvbsPressed, qvbsDisabled};
  for (bool ring : {false, true})
    for (Integer style = psFlat; style <= psUltraFlat; ++style)
      for (bool checked : {false, true})
        for (TqvButtonState state : kStates) {
          const auto table = FillRadioColorTable(ring, style, checked, state, AHighlightAll);
          for (Integer y = 0; y < g.H; ++y) {
            uint32_t* row = FDrawBitmap->ScanLine(y);
            for (Integer x = 0; x < g.W; ++x) row[x] = ToPixel(table[size_t(g.At(x, y))]);
          }
          FImages->Add(FDrawBitmap.get(), FMaskBitmap.get());
        }
}

void TqvRadioButtonImageList::Draw(TqvCanvas* ACanvas, Integer AIndex, Integer X, Integer Y,
                                   TColor ABackgroundColor) {
  if (AIndex < 0 || AIndex >= FImages->GetCount()) return;
  // The box is filled first instead of keying out a colour: the glyph's own black pixels (a
  // standard ring, a checked dot) must stay.
  if (ABackgroundColor != clDefault) {
    ACanvas->SetBrushColor(ABackgroundColor);
    ACanvas->FillRect(Bounds(X, Y, FImages->GetWidth(), FImages->GetHeight()));
  }
  TDeviceGlyphScope glyph(ACanvas->GetHandle(), Bounds(X, Y, FImages->GetWidth(), FImages->GetHeight()));
  if (glyph.Scale() == 1) {
    FImages->Draw(ACanvas->GetCanvas(), X, Y, AIndex);
    return;
  }
  const TRadioGlyph& g = Glyph();
  const TRadioImageKey key = KeyOf(AIndex);
  const auto table = FillRadioColorTable(key.HighlightRing, key.Style, key.Checked, key.State, FHighlightAll);
  const TRect r = glyph.Rect();
  for (Integer y = r.Top; y < r.Bottom; ++y)
    for (Integer x = r.Left; x < r.Right; ++x) {
      const Integer role = RoleAt(g, (x - r.Left + 0.5) * g.W / r.Width(), (y - r.Top + 0.5) * g.H / r.Height());
      if (role != rrOutside) SetPixelV(glyph.DC(), x, y, table[size_t(role)]);
    }
}

void TqvRadioButtonImageList::ClearImages() { FImages->Clear(); }

Integer TqvRadioButtonImageList::GetCount() const { return FImages->GetCount(); }

TSize TqvRadioButtonImageList::GetGlyphSize() const { return {FImages->GetWidth(), FImages->GetHeight()}; }

TqvRadioButtonImageList* GetRadioButtonImageList() {
  TOwned<TqvRadioButtonImageList>& list = SharedList();
  if (!list) list = MakeOwned<TqvRadioButtonImageList>();
  return list.get();
}

void FreeRadioButtonImageList() { SharedList().reset(); }

}  // namespace qvLookAndFeelPainters
