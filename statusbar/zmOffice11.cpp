#include "statusbar/zmOffice11.h"

#include <algorithm>
#include <array>

#include "platform/os/Gdi.h"
#include "platform/os/Theme.h"
#include "platform/rtl/FileUtils.h"

namespace zmOffice11 {

namespace {

constexpr Integer kMaxBands = 256;
constexpr Integer kThemeNameChars = 260;
constexpr Integer kGripDotRows = 3;
constexpr Integer kGripDotCell = 4;  // the dots' pitch, and how much higher and shorter each next row is
constexpr Integer kGripDotRowHeight = 3;
constexpr Integer kGripDotSize = 2;

struct TSchemeState {
  Integer References = 0;
  bool Computed = false;
  TzmOffice11Colors Colors;
};

TSchemeState& State() {
  static TSchemeState state;
  return state;
}

struct TNamedScheme {
  const char* ColorName;
  TzmOffice11Scheme Scheme;
};

const TNamedScheme kNamedSchemes[] = {{"NORMALCOLOR", osBlue}, {"HOMESTEAD", osOlive}, {"METALLIC", osSilver}};

TColor Rgb(Byte R, Byte G, Byte B) { return static_cast<TColor>(RGB(R, G, B)); }

Integer MiddleChannel(Integer C1, Integer C2, Integer AMiddlePosition) {
  return C1 - MulDiv(C1 - C2, AMiddlePosition, 200);
}

TColor MiddleColor(COLORREF C1, COLORREF C2, Integer AMiddlePosition) {
  return Rgb(Byte(MiddleChannel(GetRValue(C1), GetRValue(C2), AMiddlePosition)),
             Byte(MiddleChannel(GetGValue(C1), GetGValue(C2), AMiddlePosition)),
             Byte(MiddleChannel(GetBValue(C1), GetBValue(C2), AMiddlePosition)));
}

// One colour channel of a gradient of ABands bands (at least 2) whose middle band is AHalf.
class TGradientChannel {
 public:
  TGradientChannel(Integer C1, Integer C2, Integer AMiddlePosition, Integer ABands, Integer AHalf)
      : FStart(C1), FMiddle(MiddleChannel(C1, C2, AMiddlePosition)), FEnd(C2), FBands(ABands), FHalf(AHalf) {
    FFirstFarEnd = FStart - MulDiv(FStart - FMiddle, FBands, FHalf);
    FSecondNearEnd = FEnd + MulDiv(FMiddle - FEnd, FBands, FHalf);
  }

  Byte At(Integer K) const {
    Integer value;
    if (K < FHalf)
      value = FStart + MulDiv(K, FFirstFarEnd - FStart, FBands - 1);
    else if (K == FHalf)
      value = FMiddle;
    else
      value = FSecondNearEnd + MulDiv(K, FEnd - FSecondNearEnd, FBands - 1);
    return Byte(std::clamp<Integer>(value, 0, 255));
  }

 private:
  Integer FStart, FMiddle, FEnd, FBands, FHalf;
  Integer FFirstFarEnd;    // where the first segment would arrive at the last band
  Integer FSecondNearEnd;  // where the second segment would start at band 0
};

// The bands are counted in pixels up to 256 pixels; a longer gradient keeps 256 bands and
// switches to the second segment at the middle band, so it still runs from C1 through M to C2.
void FillBands(TqvCanvas* ACanvas, const TRect& R, COLORREF C1, bool AHorizontal, COLORREF C2, Integer AMiddlePosition) {
  const Integer extent = AHorizontal ? R.Width() : R.Height();
  const Integer bands = std::min(extent, kMaxBands);
  const Integer half = bands / 2;
  const TGradientChannel r(GetRValue(C1), GetRValue(C2), AMiddlePosition, bands, half);
  const TGradientChannel g(GetGValue(C1), GetGValue(C2), AMiddlePosition, bands, half);
  const TGradientChannel b(GetBValue(C1), GetBValue(C2), AMiddlePosition, bands, half);
  const Integer start = AHorizontal ? R.Left : R.Top;
  for (Integer k = 0; k < bands; ++k) {
    const Integer from = start + MulDiv(k, extent, bands), to = start + MulDiv(k + 1, extent, bands);
    if (to <= from) continue;
    ACanvas->SetBrushColor(Rgb(r.At(k), g.At(k), b.At(k)));
    ACanvas->FillRect(AHorizontal ? Rect(from, R.Top, to, R.Bottom) : Rect(R.Left, from, R.Right, to));
  }
}

void FillSquare(TqvCanvas* ACanvas, Integer X, Integer Y, TColor AColor) {
  ACanvas->SetBrushColor(AColor);
  ACanvas->FillRect(Bounds(X, Y, kGripDotSize, kGripDotSize));
}

}  // namespace

void AddRef() {
  if (State().References++ == 0) Refresh();
}

void Release() {
  if (State().References > 0) --State().References;
}

Integer GetReferenceCount() { return State().References; }

void Refresh() {
  State().Colors = GetSchemeColors(GetScheme());
  State().Computed = true;
}

const TzmOffice11Colors& GetColors() {
  if (!State().Computed) Refresh();
  return State().Colors;
}

TzmOffice11Scheme GetScheme() {
  if (!IsThemeActive()) return osSystemColors;
  std::array<WideChar, kThemeNameChars> file{}, color{};
  if (FAILED(GetCurrentThemeName(file.data(), kThemeNameChars, color.data(), kThemeNameChars, nullptr, 0)))
    return osSystemColors;
  if (UpperCase(ExtractFileName(WideToAnsi(file.data()))) != "LUNA.MSSTYLES") return osSystemColors;
  const String colorName = UpperCase(WideToAnsi(color.data()));
  for (const TNamedScheme& named : kNamedSchemes)
    if (colorName == named.ColorName) return named.Scheme;
  return osSystemColors;
}

TzmOffice11Colors GetSchemeColors(TzmOffice11Scheme AScheme) {
  switch (AScheme) {
    case osBlue:
      return {Rgb(221, 236, 254), Rgb(129, 169, 226), Rgb(106, 140, 203), Rgb(241, 249, 255), Rgb(39, 65, 118),
              Rgb(255, 255, 255), 41};
    case osOlive:
      return {Rgb(244, 247, 222), Rgb(183, 198, 145), Rgb(96, 128, 88), Rgb(244, 247, 222), Rgb(81, 94, 51),
              Rgb(255, 255, 255), 125};
    case osSilver:
      return {Rgb(243, 244, 250), Rgb(153, 151, 181), Rgb(110, 109, 143), Rgb(255, 255, 255), Rgb(84, 84, 117),
              Rgb(255, 255, 255), 40};
    case osSystemColors: break;
  }
  return {MixColors(clBtnFace, clWindow, 22), MixColors(clBtnFace, clWindow, 96), MixColors(clBtnShadow, clWindow, 70),
          clWhite,   MixColors(clBtnShadow, clWindow, 76), clWindow, 75};
}

TColor MixColors(TColor A, TColor B, Integer Percent) {
  const COLORREF a = ColorToRGB(A), b = ColorToRGB(B);
  auto channel = [Percent](Byte ca, Byte cb) {
    return Byte(std::min<Integer>(MulDiv(ca, Percent, 100) + MulDiv(cb, 100 - Percent, 100), 255));
  };
  return GetNearestScreenColor(
      Rgb(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)), channel(GetBValue(a), GetBValue(b))));
}

void FillGradientRect(TqvCanvas* ACanvas, const TRect& R, TColor C1, bool AHorizontal, TColor C2,
                      Integer AMiddlePosition) {
  if (R.IsEmpty()) return;
  const COLORREF c1 = ColorToRGB(C1), c2 = ColorToRGB(C2);
  if (c1 == c2) {
    ACanvas->SetBrushColor(C1);
    ACanvas->FillRect(R);
    return;
  }
  const Integer extent = AHorizontal ? R.Width() : R.Height();
  if (extent == 1) {  // one band: it is the middle one
    ACanvas->SetBrushColor(MiddleColor(c1, c2, AMiddlePosition));
    ACanvas->FillRect(R);
    return;
  }
  FillBands(ACanvas, R, c1, AHorizontal, c2, AMiddlePosition);
}

void FillGradientRect(TqvCanvas* ACanvas, const TRect& R, TColor C1, bool AHorizontal, TColor C2) {
  FillGradientRect(ACanvas, R, C1, AHorizontal, C2, GetColors().MiddlePosition);
}

void DrawSizeGripDots(TqvCanvas* ACanvas, const TRect& R) {
  const TzmOffice11Colors& colors = GetColors();
  for (Integer row = 0; row < kGripDotRows; ++row) {
    const Integer width = (kGripDotRows - row) * kGripDotCell;
    const Integer top = R.Bottom - kGripDotRowHeight - row * kGripDotCell;
    for (Integer x = R.Right - width; x < R.Right; x += kGripDotCell) {
      FillSquare(ACanvas, x + 1, top + 1, colors.GripLightColor);
      FillSquare(ACanvas, x, top, colors.GripDarkColor);
    }
  }
}

}  // namespace zmOffice11
