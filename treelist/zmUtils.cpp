// Settings wrapper, cell text output and the small drawing helpers of the tree list.
#include "treelist/zmUtils.h"

#include <algorithm>
#include <vector>

#include "platform/forms/Graphics.h"
#include "platform/os/GdiScopes.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/StringList.h"

QJ_IMPLEMENT_CLASS(TzmRegIniWrapper)

namespace {

TzmUnitCounter UtilsUnitCounter;
HBRUSH FHalftoneBrush = nullptr;

// The brush where the mask (source) is set, the destination elsewhere.
constexpr DWORD kBrushThroughMask = 0x00E20746;

// The registry takes a section below the settings object's key, not from the root.
String RegistrySection(const String& Section) {
  return !Section.empty() && Section[0] == '\\' ? Section.substr(1) : Section;
}

// The section itself or one below it: the next character after the prefix ends a path element.
bool IsSectionOrBelow(const String& Name, const String& Prefix) {
  if (Name.compare(0, Prefix.size(), Prefix) != 0) return false;
  return Name.size() == Prefix.size() || Name[Prefix.size()] == '\\';
}

// Selects the font and colours for a text output and puts the previous ones back afterwards.
class TTextState {
 public:
  TTextState(HDC DC, HFONT Font, COLORREF BackColor, COLORREF TextColor)
      : FDC(DC),
        FOldFont(SelectObject(DC, Font)),
        FOldText(SetTextColor(DC, TextColor)),
        FOldBack(SetBkColor(DC, BackColor)),
        FOldMode(GetBkMode(DC)) {}
  ~TTextState() {
    SetBkMode(FDC, FOldMode);
    SetBkColor(FDC, FOldBack);
    SetTextColor(FDC, FOldText);
    SelectObject(FDC, FOldFont);
  }
  TTextState(const TTextState&) = delete;
  TTextState& operator=(const TTextState&) = delete;

 private:
  HDC FDC;
  HGDIOBJ FOldFont;
  COLORREF FOldText, FOldBack;
  int FOldMode;
};

UINT HorzFormat(TzmCellTextFlags Flags) {
  switch (Flags & zmctAlignMask) {
    case zmctCenter: return DT_CENTER;
    case zmctRight: return DT_RIGHT;
    default: return DT_LEFT;
  }
}

UINT VertFormat(TzmCellTextFlags Flags) {
  switch (Flags & zmctLayoutMask) {
    case zmctVCenter: return DT_SINGLELINE | DT_VCENTER;
    case zmctBottom: return DT_SINGLELINE | DT_BOTTOM;
    case zmctWordWrap: return DT_WORDBREAK;
    default: return DT_SINGLELINE;
  }
}

void DrawCellFocusRect(HDC DC, TRect R) {
  R = {R.Left - 1, R.Top - 1, R.Right + 1, R.Bottom + 1};
  SetBkColor(DC, RGB(0, 0, 0));
  SetTextColor(DC, RGB(255, 255, 255));
  DrawFocusRect(DC, &R);
}

struct TCellText {
  HDC DC;
  const char* Text;
  Integer Count;
  TRect CellRect, TextRect;
  TzmCellTextFlags Flags;
  HBRUSH Brush;
  TSize Extent;

  bool Has(TzmCellTextFlags Flag) const { return (Flags & Flag) != 0; }
  bool Wider() const { return Extent.cx > TextRect.Width(); }
};

// DrawText over the formatted path: alignment, tabs, ellipses, wrapping, optional prefixes.
Integer FormattedCellText(const TCellText& C) {
  bool forced = C.Has(zmctFormatted) || C.Has(zmctWordWrap);
  UINT format = HorzFormat(C.Flags) | DT_EXPANDTABS | VertFormat(C.Flags);
  if (!C.Wider() && !forced) format |= DT_NOCLIP;
  if (!C.Has(zmctFormatted)) format |= DT_NOPREFIX;
  if (C.Has(zmctEndEllipsis)) format |= DT_END_ELLIPSIS;
  if (C.Has(zmctPathEllipsis)) format |= DT_PATH_ELLIPSIS;
  if (C.Has(zmctMeasure)) {
    TRect r = C.TextRect;
    DrawText(C.DC, C.Text, C.Count, &r, format | DT_CALCRECT);
    return C.CellRect.Height() - C.TextRect.Height() + r.Height();
  }
  if (!C.Has(zmctTransparent)) FillRect(C.DC, &C.CellRect, C.Brush);
  if (!C.Has(zmctKeepBkMode)) SetBkMode(C.DC, TRANSPARENT);
  TRect r = C.TextRect;
  DrawText(C.DC, C.Text, C.Count, &r, format);
  if (C.Has(zmctFocusRect)) {
    TRect focus = C.TextRect;
    if (C.Has(zmctFocusAroundText)) {
      DrawText(C.DC, C.Text, C.Count, &focus, format | DT_CALCRECT);
      if (!C.Has(zmctWordWrap)) focus.Top = focus.Bottom - C.Extent.cy;
    }
    if (C.Count > 0 || !C.Has(zmctFocusAroundText)) DrawCellFocusRect(C.DC, focus);
  }
  return 0;
}

// One clipped ExtTextOut: opaque output fills the whole clip rectangle with the background.
Integer FastCellText(const TCellText& C) {
  TRect clip = C.CellRect, out = C.TextRect;
  Integer w = C.Extent.cx, h = C.Extent.cy;
  if (C.Wider()) {
    if (!C.Has(zmctTransparent)) {
      TRect rest{C.TextRect.Right, C.CellRect.Top, C.CellRect.Right, C.CellRect.Bottom};
      FillRect(C.DC, &rest, C.Brush);
    }
    clip.Right = C.TextRect.Right;
  } else {
    if ((C.Flags & zmctAlignMask) == zmctCenter) out.Left = static_cast<Integer>(Div(out.Left + out.Right - w, 2));
    else if ((C.Flags & zmctAlignMask) == zmctRight) out.Left = out.Right - w;
    out.Right = out.Left + w;
  }
  if (C.Has(zmctMeasure)) return C.CellRect.Height() - C.TextRect.Height() + h;
  switch (C.Flags & zmctLayoutMask) {
    case zmctVCenter:
      out.Top = static_cast<Integer>(Div(out.Top + out.Bottom - h, 2));
      out.Bottom = out.Top + h;
      break;
    case zmctBottom: out.Top = out.Bottom - h; break;
    default: break;
  }
  UINT options = ETO_CLIPPED;
  if (C.Has(zmctTransparent)) {
    if (!C.Has(zmctKeepBkMode)) SetBkMode(C.DC, TRANSPARENT);
  } else {
    options |= ETO_OPAQUE;
  }
  ExtTextOut(C.DC, out.Left, out.Top, options, &clip, C.Text, static_cast<UINT>(C.Count), nullptr);
  if (C.Has(zmctFocusRect) && (C.Count > 0 || !C.Has(zmctFocusAroundText)))
    DrawCellFocusRect(C.DC, C.Has(zmctFocusAroundText) ? out : C.TextRect);
  return 0;
}

bool HasLineBreak(const char* Text, Integer Count) {
  return std::any_of(Text, Text + Count, [](char c) { return c == '\r' || c == '\n'; });
}

}  // namespace

void zmUtilsStart() {
  if (UtilsUnitCounter.Start()) FHalftoneBrush = CreateCheckerBrush();
}

void zmUtilsEnd() {
  if (!UtilsUnitCounter.End()) return;
  DeleteObject(FHalftoneBrush);
  FHalftoneBrush = nullptr;
}

HBRUSH HalftoneBrush() { return FHalftoneBrush; }

// ---------------------------------------------------------------------------------------------
// TzmRegIniWrapper

Integer TzmRegIniWrapper::ReadInteger(const String& Section, const String& Ident, Integer Default) {
  if (auto* ini = As<TCustomIniFile>(FRegIniObject)) return ini->ReadInteger(Section, Ident, Default);
  return As<TRegIniFile>(FRegIniObject)->ReadInteger(RegistrySection(Section), Ident, Default);
}

void TzmRegIniWrapper::WriteInteger(const String& Section, const String& Ident, Integer Value) {
  if (auto* ini = As<TCustomIniFile>(FRegIniObject)) return ini->WriteInteger(Section, Ident, Value);
  As<TRegIniFile>(FRegIniObject)->WriteInteger(RegistrySection(Section), Ident, Value);
}

bool TzmRegIniWrapper::ReadBool(const String& Section, const String& Ident, bool Default) {
  if (auto* ini = As<TCustomIniFile>(FRegIniObject)) return ini->ReadBool(Section, Ident, Default);
  return As<TRegIniFile>(FRegIniObject)->ReadBool(RegistrySection(Section), Ident, Default);
}

void TzmRegIniWrapper::WriteBool(const String& Section, const String& Ident, bool Value) {
  if (auto* ini = As<TCustomIniFile>(FRegIniObject)) return ini->WriteBool(Section, Ident, Value);
  As<TRegIniFile>(FRegIniObject)->WriteBool(RegistrySection(Section), Ident, Value);
}

void TzmRegIniWrapper::ReadSections(TStrings* List) {
  if (auto* ini = As<TCustomIniFile>(FRegIniObject)) return ini->ReadSections(List);
  As<TRegIniFile>(FRegIniObject)->ReadSections(List);
}

void TzmRegIniWrapper::EraseSection(const String& Section) {
  if (auto* ini = As<TCustomIniFile>(FRegIniObject)) return ini->EraseSection(Section);
  As<TRegIniFile>(FRegIniObject)->EraseSection(RegistrySection(Section));
}

void TzmRegIniWrapper::EraseSectionsWithPrefix(const String& Prefix) {
  auto* ini = As<TCustomIniFile>(FRegIniObject);
  if (!ini) return;
  for (const String& name : ini->SectionNames())
    if (IsSectionOrBelow(name, Prefix)) ini->EraseSection(name);
}

// ---------------------------------------------------------------------------------------------
// Drawing routines

void EnsureBitmapSize(TBitmap* Bitmap, Integer MinWidth, Integer MinHeight) {
  if (Bitmap->GetWidth() < MinWidth) Bitmap->SetWidth(MinWidth);
  if (Bitmap->GetHeight() < MinHeight) Bitmap->SetHeight(MinHeight);
}

void DrawGlyphOnBrush(HDC DC, HBRUSH Brush, const TRect& Rect, TBitmap* Bitmap) {
  Integer w = Bitmap->GetWidth(), h = Bitmap->GetHeight();
  TOwnedGdiObject copyBitmap(CreateCompatibleBitmap(DC, w, h));
  TMemoryDC copy(DC, copyBitmap.Get());
  BitBlt(copy.Handle(), 0, 0, w, h, Bitmap->GetCanvas()->GetHandle(), 0, 0, SRCCOPY);
  TOwnedGdiObject maskBitmap(Bitmap->MaskHandleFor(Bitmap->GetTransparentColor()));
  TMemoryDC mask(DC, maskBitmap.Get());
  {
    TSelectObjectScope brush(copy.Handle(), Brush);
    SetTextColor(copy.Handle(), RGB(0, 0, 0));
    SetBkColor(copy.Handle(), RGB(255, 255, 255));
    BitBlt(copy.Handle(), 0, 0, w, h, mask.Handle(), 0, 0, kBrushThroughMask);
  }
  BitBlt(DC, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), copy.Handle(), 0, 0, SRCCOPY);
}

void FillShadowEdges(HDC DC, const TRect& Rect, Integer Size, HBRUSH Brush) {
  TRect bottom{Rect.Left, Rect.Bottom - Size, Rect.Right, Rect.Bottom};
  TRect right{Rect.Right - Size, Rect.Top, Rect.Right, Rect.Bottom};
  FillRect(DC, &bottom, Brush);
  FillRect(DC, &right, Brush);
}

Integer DrawCellText(HDC DC, const String& Text, Integer Count, const TRect& CellRect, const TRect& TextRect,
                     TzmCellTextFlags Flags, HBRUSH Brush, HFONT Font, COLORREF BackColor, COLORREF TextColor,
                     Integer* LineHeight) {
  TTextState state(DC, Font, BackColor, TextColor);
  TCellText c{DC, Text.data(), std::clamp(Count, 0, Length(Text)), CellRect, TextRect, Flags, Brush, {}};
  GetTextExtentPoint32(DC, c.Text, c.Count, &c.Extent);
  if (c.Has(zmctMeasure)) {
    if (LineHeight) *LineHeight = c.Extent.cy;
    if (c.Extent.cy == 0) return 0;
  }
  bool formatted = c.Has(zmctFormatted) || c.Has(zmctWordWrap) ||
                   ((c.Wider() || HasLineBreak(c.Text, c.Count)) && c.Has(zmctEndEllipsis | zmctPathEllipsis));
  return formatted ? FormattedCellText(c) : FastCellText(c);
}
