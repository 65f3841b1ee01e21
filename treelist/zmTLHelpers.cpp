// The tree list's drawing, measuring and sorting helpers.
#include "treelist/zmTLHelpers.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <vector>

#include "platform/forms/Controls.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/ImgList.h"
#include "platform/os/GdiScopes.h"
#include "treelist/zmTLColumn.h"
#include "treelist/zmTLResources.h"
#include "treelist/zmUtils.h"

namespace {

TRect Inflated(const TRect& R, Integer Dx, Integer Dy) { return {R.Left - Dx, R.Top - Dy, R.Right + Dx, R.Bottom + Dy}; }

TRect Intersection(const TRect& A, const TRect& B) {
  TRect r{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right), std::min(A.Bottom, B.Bottom)};
  return r.IsEmpty() ? TRect{} : r;
}

void FillSys(HDC DC, const TRect& R, int Index) { FillRect(DC, &R, GetSysColorBrush(Index)); }

void FrameSys(HDC DC, const TRect& R, int Index) { FrameRect(DC, &R, GetSysColorBrush(Index)); }

void Edge(HDC DC, TRect& R, UINT Kind, UINT Flags) { DrawEdge(DC, &R, Kind, Flags); }

UINT AlignmentFormat(TAlignment Alignment) {
  switch (Alignment) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
  }
}

Integer ClampedCount(const String& Text, Integer Count) {
  return std::clamp<Integer>(Count, 0, static_cast<Integer>(Text.size()));
}

// A 1-pixel line from (X1, Y1) to (X2, Y2) inclusive in a colour.
void Line(HDC DC, COLORREF Color, Integer X1, Integer Y1, Integer X2, Integer Y2) {
  HPEN pen = CreatePen(PS_SOLID, 1, Color);
  HGDIOBJ old = SelectObject(DC, pen);
  MoveToEx(DC, X1, Y1, nullptr);
  LineTo(DC, X2, Y2);
  SetPixel(DC, X2, Y2, Color);
  SelectObject(DC, old);
  DeleteObject(pen);
}

// Draws into Buffer (sized to Rect, with DC's font and text colour) at the origin, then copies the
// part of Rect inside Visible to DC. On a high-DPI DC a buffer of its resolution stands in for
// Buffer, so that text and glyphs stay sharp.
template <class F>
void DrawThroughBuffer(HDC DC, const TRect& Rect, const TRect& Visible, TBitmap* Buffer, F&& Draw) {
  const bool deviceScaled = GetDeviceScale(DC) != 1;
  TOwnedGdiObject deviceBitmap(deviceScaled ? CreateCompatibleBitmap(DC, Rect.Width(), Rect.Height()) : nullptr);
  std::optional<TMemoryDC> device;
  if (deviceScaled) device.emplace(DC, static_cast<HBITMAP>(deviceBitmap.Get()));
  else EnsureBitmapSize(Buffer, Rect.Width(), Rect.Height());
  HDC buffer = device ? device->Handle() : Buffer->GetCanvas()->GetHandle();
  HGDIOBJ oldFont = SelectObject(buffer, GetCurrentObject(DC, OBJ_FONT));
  COLORREF oldText = SetTextColor(buffer, GetTextColor(DC));
  Draw(buffer, TRect{0, 0, Rect.Width(), Rect.Height()});
  TRect part = Intersection(Rect, Visible);
  if (!part.IsEmpty())
    BitBlt(DC, part.Left, part.Top, part.Width(), part.Height(), buffer, part.Left - Rect.Left, part.Top - Rect.Top,
           SRCCOPY);
  SetTextColor(buffer, oldText);
  SelectObject(buffer, oldFont);
}

// ---------------------------------------------------------------------------------------------
// Value ordering

constexpr Int64 kCurrencyScale = 10000;

template <class T>
Integer Three(const T& A, const T& B) {
  return A < B ? -1 : (B < A ? 1 : 0);
}

Integer Sign(Integer Value) { return Value < 0 ? -1 : (Value > 0 ? 1 : 0); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Measuring and small helpers

Integer CalcWrappedLineCount(const String& Text, Integer Width, Integer LineHeight, Integer MaxLines, TFont* Font,
                             bool Tight, Integer Indent, Integer& Height) {
  if (Text.empty() || MaxLines == 0) return 0;
  HDC screen = TreeListMeasureDC();
  HDC dc = screen ? screen : GetDC(nullptr);
  HGDIOBJ oldFont = SelectObject(dc, Font->GetHandle());
  TRect r = Inflated(TRect{0, 0, Width - Indent, LineHeight}, -2, Tight ? -2 : -1);
  DrawText(dc, Text.c_str(), static_cast<int>(Text.size()), &r, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_CALCRECT);
  Height = r.Height();
  Integer lineHeight = LineHeight;
  if (lineHeight == 0) {
    SIZE size{};
    GetTextExtentPoint32(dc, "Wg", 2, &size);
    lineHeight = size.cy;
  }
  SelectObject(dc, oldFont);
  if (!screen) ReleaseDC(nullptr, dc);
  Integer lines = lineHeight > 0 ? Height / lineHeight : 0;
  if (MaxLines != -1 && lines > MaxLines) {
    Height = MaxLines * lineHeight;
    lines = MaxLines;
  }
  Height += 3;
  return lines;
}

bool RectIsPoint(const TRect& Rect) { return Rect.Left == Rect.Right && Rect.Top == Rect.Bottom; }

bool SameTextAnsi(const String& A, const String& B) { return AnsiUpperCase(A) == AnsiUpperCase(B); }

void RaiseTreeListError(const String& Message) { throw EInvalidzmTreeListOperation(Message); }

// ---------------------------------------------------------------------------------------------
// Sorting

TzmSortValue& TzmSortValue::operator=(const Variant& Value) {
  *this = TzmSortValue();
  Integer type = Value.VarType() & varTypeMask;
  switch (type) {
    case varNull: FRank = rkNull; return *this;
    case varEmpty: return *this;
    case varString:
    case varOleStr:
      FRank = Value.IsArray() ? rkOther : rkText;
      if (FRank == rkText) FText = VarToStr(Value);
      return *this;
    case varSmallint:
    case varInteger:
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
    case varBoolean:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64: break;
    default: FRank = rkOther; return *this;
  }
  if (Value.IsArray()) {
    FRank = rkOther;
    return *this;
  }
  FRank = rkNumber;
  switch (type) {
    case varSingle:
    case varDouble:
    case varDate:
      FFloating = true;
      FApprox = Value.AsDouble();
      FIsNaN = std::isnan(FApprox);
      return *this;
    case varCurrency: FExact = Value.AsCurrency().Value; break;
    case varBoolean: FExact = static_cast<__int128>(Value.AsBoolean() ? 1 : 0) * kCurrencyScale; break;
    default: FExact = static_cast<__int128>(Value.AsInt64()) * kCurrencyScale; break;
  }
  FApprox = static_cast<double>(FExact) / static_cast<double>(kCurrencyScale);
  return *this;
}

Integer TzmSortValue::CompareNumbers(const TzmSortValue& A, const TzmSortValue& B) {
  if (A.FIsNaN || B.FIsNaN) return Three(A.FIsNaN, B.FIsNaN);
  if (Integer r = Three(A.FApprox, B.FApprox)) return r;
  if (Integer r = Three(A.FFloating, B.FFloating)) return r;
  return A.FFloating ? 0 : Three(A.FExact, B.FExact);
}

Integer TzmSortValue::Compare(const TzmSortValue& A, const TzmSortValue& B) {
  if (A.FRank != B.FRank) return Three(A.FRank, B.FRank);
  switch (A.FRank) {
    case rkNumber: return CompareNumbers(A, B);
    case rkText: return Sign(AnsiCompareStr(A.FText, B.FText));
    default: return 0;
  }
}

Integer CompareVariants(const Variant& V1, const Variant& V2) {
  return TzmSortValue::Compare(TzmSortValue(V1), TzmSortValue(V2));
}

// Texts already go by the code page's case-sensitive collation, so the order is the same.
Integer CompareVariantsCaseSensitive(const Variant& V1, const Variant& V2) { return CompareVariants(V1, V2); }

Integer CompareKeyChain(const TNodeVariant* A, const TNodeVariant* B) {
  for (; A && B; A = A->Next, B = B->Next)
    if (Integer r = TzmSortValue::Compare(A->Value, B->Value)) return A->Descending ? -r : r;
  return 0;
}

Integer CompareKeyChainCaseSensitive(const TNodeVariant* A, const TNodeVariant* B) { return CompareKeyChain(A, B); }

Integer CompareSortKeys(TCustomzmTreeList* Control, const TNodeVariant* A, const TNodeVariant* B) {
  if (Integer r = CompareKeyChain(A, B)) return r;
  return Control->CompareNodeIdentity(A->Node, B->Node);
}

Integer CompareSortKeysCaseSensitive(TCustomzmTreeList* Control, const TNodeVariant* A, const TNodeVariant* B) {
  return CompareSortKeys(Control, A, B);
}

Integer CompareSortKeysByEvent(TCustomzmTreeList* Control, const TNodeVariant* A, const TNodeVariant* B) {
  Integer result = 0;
  if (Control->OnCompareNodes) Control->OnCompareNodes(Control, A->Node, B->Node, result);
  return result != 0 ? Sign(result) : Control->CompareNodeIdentity(A->Node, B->Node);
}

Integer CompareFirstValues(const void* A, const void* B) {
  std::less<const void*> before;
  return before(A, B) ? -1 : (before(B, A) ? 1 : 0);
}

Integer CompareSortedOrder(const TzmTreeListColumn* A, const TzmTreeListColumn* B) {
  return Three(A->GetSortedOrder(), B->GetSortedOrder());
}

// ---------------------------------------------------------------------------------------------
// Images and expand buttons

void DrawImageCentered(TCanvas* Canvas, const TRect& Rect, TCustomImageList* Images, Integer Index) {
  if (!Images || Index < 0 || Index >= Images->GetCount()) return;
  Integer x = static_cast<Integer>(Div(Rect.Left + Rect.Right - Images->GetWidth() + 1, 2));
  Integer y = static_cast<Integer>(Div(Rect.Top + Rect.Bottom - Images->GetHeight() + 1, 2));
  Images->Draw(Canvas, x, y, Index);
}

void DrawGlyphCentered(HDC DC, const TRect& Rect, TCustomImageList* Images, Integer Index) {
  if (!Images || Index < 0 || Index >= Images->GetCount()) return;
  const TPoint at{static_cast<Integer>(Div(Rect.Left + Rect.Right - Images->GetWidth() + 1, 2)),
                  static_cast<Integer>(Div(Rect.Top + Rect.Bottom - Images->GetHeight() + 1, 2))};
  TDeviceGlyphScope glyph(DC, Bounds(at.X, at.Y, Images->GetWidth(), Images->GetHeight()));
  glyph.DrawImage(Images->GetHandle(), Index, at);
}

void DrawBitmapCentered(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap) {
  if (!Bitmap || Bitmap->GetEmpty()) return;
  Integer x = static_cast<Integer>(Div(Rect.Left + Rect.Right - Bitmap->GetWidth() + 1, 2));
  Integer y = static_cast<Integer>(Div(Rect.Top + Rect.Bottom - Bitmap->GetHeight() + 1, 2));
  Canvas->Draw(x, y, Bitmap);
}

void DrawExpandButton(TCanvas* Canvas, const TRect& Rect, Integer CenterY, bool Plus) {
  HDC dc = Canvas->GetHandle();
  Integer l = static_cast<Integer>(Div(Rect.Left + Rect.Right - 9, 2)), t = CenterY - 4;
  Integer r = l + 9, b = CenterY + 5;
  FrameSys(dc, {l, t, r, b}, COLOR_GRAYTEXT);
  FillSys(dc, {l + 2, t + 4, r - 2, t + 5}, COLOR_WINDOWTEXT);
  if (Plus) FillSys(dc, {l + 4, t + 2, l + 5, b - 2}, COLOR_WINDOWTEXT);
}

void DrawBitmapExpandButton(TCanvas* Canvas, const TRect& Rect, bool Plus) {
  DrawBitmapCentered(Canvas, Rect, Plus ? ExpandPlusBitmap() : ExpandMinusBitmap());
}

void DrawFlatExpandButton(HDC DC, const TRect& Rect, bool Plus) {
  constexpr Integer size = 11;
  Integer l = Rect.Left + static_cast<Integer>(Div(Rect.Width() - size, 2));
  Integer t = Rect.Top + static_cast<Integer>(Div(Rect.Height() - size, 2));
  TRect shadow{l, t, l + size + 1, t + size + 1};
  Edge(DC, shadow, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM | BF_FLAT);
  FrameSys(DC, {l, t, l + size, t + size}, COLOR_WINDOWFRAME);
  FillSys(DC, {l + 3, t + 5, l + 8, t + 6}, COLOR_WINDOWFRAME);
  if (Plus) FillSys(DC, {l + 5, t + 3, l + 6, t + 8}, COLOR_WINDOWFRAME);
}

void DrawSortArrow(HDC DC, const TRect& Rect, bool Up) {
  Integer cx = static_cast<Integer>(Div(Rect.Left + Rect.Right, 2));
  Integer cy = static_cast<Integer>(Div(Rect.Top + Rect.Bottom, 2));
  COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
  if (Up) {
    Line(DC, shadow, cx, cy - 3, cx - 4, cy + 3);
    Line(DC, light, cx - 4, cy + 3, cx + 4, cy + 3);
    Line(DC, light, cx, cy - 3, cx + 4, cy + 3);
  } else {
    Line(DC, shadow, cx - 4, cy - 3, cx + 4, cy - 3);
    Line(DC, shadow, cx - 4, cy - 3, cx, cy + 3);
    Line(DC, light, cx + 4, cy - 3, cx, cy + 3);
  }
}

// ---------------------------------------------------------------------------------------------
// Button faces and header buttons

void DrawButtonFace(HDC DC, TRect& Rect, HBRUSH Brush, bool Pressed, Integer Kind, TzmTreeListFrameLook Look) {
  if (Look == zmflStandard) {
    Edge(DC, Rect, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
    if (!Pressed) Edge(DC, Rect, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
    Edge(DC, Rect, Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_ADJUST);
    FillRect(DC, &Rect, Brush);
    return;
  }
  if (Kind == 0) {
    if (Look == zmflUltraFlat) {
      FrameSys(DC, Rect, COLOR_BTNSHADOW);
      Rect = Inflated(Rect, -1, -1);
    } else {
      Edge(DC, Rect, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    }
    FillRect(DC, &Rect, Brush);
    Rect = Inflated(Rect, -1, 0);
    return;
  }
  FillRect(DC, &Rect, Brush);
  TRect edges = Rect;
  if (Look == zmflUltraFlat) Edge(DC, edges, BDR_SUNKENOUTER, BF_TOP | BF_BOTTOM | BF_FLAT);
  else Edge(DC, edges, BDR_RAISEDINNER, BF_TOP | BF_BOTTOM);
  bool first = Kind == 1 || Kind == 3, last = Kind == 2 || Kind == 3;
  if (Look == zmflFlat) {
    TRect left{Rect.Left, Rect.Top + (first ? 2 : 1), Rect.Right, Rect.Bottom - (first ? 2 : 1)};
    Edge(DC, left, BDR_RAISEDINNER, BF_LEFT);
  }
  TRect right{Rect.Left, Rect.Top + (last ? 2 : 0), Rect.Right, Rect.Bottom - (last ? 2 : 1)};
  Edge(DC, right, BDR_RAISEDINNER, BF_RIGHT);
  Rect = Inflated(Rect, -2, -1);
}

void DrawButtonFaceInverted(HDC DC, TRect& Rect, HBRUSH Brush, bool Pressed, Integer Kind, TzmTreeListFrameLook Look) {
  TRect whole = Rect;
  DrawButtonFace(DC, Rect, Brush, Pressed, Kind, Look);
  if (Look != zmflStandard && Pressed) InvertRect(DC, &whole);
}

void DrawDropDownButton(HDC DC, const TRect& Rect, Byte State) {
  FrameSys(DC, Rect, COLOR_BTNSHADOW);
  TRect inner = Inflated(Rect, -1, -1);
  bool pressed = (State & zmhbPressed) != 0, hot = (State & zmhbHot) != 0;
  FillSys(DC, inner, pressed ? COLOR_BTNTEXT : (hot ? COLOR_BTNSHADOW : COLOR_BTNFACE));
  COLORREF color = hot || pressed ? GetSysColor(COLOR_WINDOW)
                                  : ((State & zmDropDownHighlight) ? RGB(0, 0, 255) : GetSysColor(COLOR_BTNTEXT));
  Integer width = inner.Width() / 2;
  if (width % 2 == 0) ++width;
  Integer height = width / 2;
  Integer x = inner.Left + (inner.Width() - width) / 2;
  Integer y = inner.Top + (inner.Height() - height) / 2 - (inner.Height() % 2 != 0 ? 1 : 0);
  const POINT points[3] = {{x, y}, {x + width - 1, y}, {x + width / 2, y + height}};
  TDeviceGlyphScope glyph(DC, inner);
  glyph.ConvexPolygon(points, 3, color);
}

void DrawHeaderButton(HDC DC, const TRect& Rect, HBRUSH Brush, const TzmHeaderButtonContent& Content) {
  TRect face = Rect;
  DrawButtonFace(DC, face, Brush, Content.Pressed, Content.Kind, Content.Look);
  TRect content = Inflated(Rect, -1, -1);
  if (Content.Pressed && Content.Look == zmflStandard) {
    content.Left += 2;
    content.Top += 2;
  }
  --content.Bottom;
  if (Content.DropDownState != 0 && content.Width() > zmDropDownZoneWidth - 1) {
    DrawDropDownButton(DC, {content.Right - zmDropDownZoneWidth, content.Top + 1, content.Right, content.Bottom},
                       Content.DropDownState);
    content.Right -= zmDropDownZoneWidth;
  }
  if (Content.SortState != TzmTreeListColumnSort::csNone && content.Width() > zmSortArrowWidth - 1) {
    DrawSortArrow(DC, {content.Right - zmSortArrowWidth, content.Top, content.Right, content.Bottom},
                  Content.SortState == TzmTreeListColumnSort::csUp);
    content.Right -= zmSortArrowWidth;
  }
  if (Content.Glyph && !Content.Glyph->GetEmpty() && content.Width() > 0) {
    Integer width = Content.Glyph->GetWidth();
    DrawGlyphOnBrush(DC, Brush, {content.Left - 1, content.Top - 1, content.Left - 1 + width, content.Bottom},
                     Content.Glyph);
    content.Left += width;
  }
  SetBkMode(DC, TRANSPARENT);
  UINT format = AlignmentFormat(Content.Alignment) | DT_EXPANDTABS | DT_NOPREFIX;
  const char* text = Content.Text.c_str();
  int count = static_cast<int>(Content.Text.size());
  if (Content.MultiLineIndex == 0) {
    format |= DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
    SIZE size{};
    GetTextExtentPoint32(DC, text, count, &size);
    if (size.cx <= content.Width()) format |= DT_NOCLIP;
  } else {
    format |= DT_WORDBREAK;
  }
  DrawText(DC, text, count, &content, format);
}

void DrawHeaderButtonBuffered(HDC DC, const TRect& Rect, const TRect& VisibleRect, HBRUSH Brush, TBitmap* Buffer,
                              const TzmHeaderButtonContent& Content) {
  DrawThroughBuffer(DC, Rect, VisibleRect, Buffer, [&](HDC Target, const TRect& Local) {
    DrawHeaderButton(Target, Local, Brush, Content);
    if (Content.Pressed && Content.Look != zmflStandard) InvertRect(Target, &Local);
  });
}

void DrawIndicatorFace(HDC DC, TRect& Rect, HBRUSH Brush) {
  Edge(DC, Rect, BDR_SUNKENOUTER, BF_RIGHT | BF_BOTTOM | BF_FLAT | BF_ADJUST);
  FillRect(DC, &Rect, Brush);
  Rect = Inflated(Rect, -1, 0);
}

void DrawIndicatorCell(HDC DC, const TRect& Rect, const TRect& VisibleRect, HBRUSH Brush, TBitmap* Buffer,
                       Integer GlyphPlusOne, TzmTreeListFrameLook Look) {
  DrawThroughBuffer(DC, Rect, VisibleRect, Buffer, [&](HDC Target, const TRect& Local) {
    TRect face = Local;
    if (Look == zmflUltraFlat) DrawIndicatorFace(Target, face, Brush);
    else DrawButtonFace(Target, face, Brush, false, 0, Look);
    if (GlyphPlusOne != 0) DrawGlyphCentered(Target, Local, IndicatorImages(), GlyphPlusOne - 1);
  });
}

// ---------------------------------------------------------------------------------------------
// Cell and preview text

void DrawCellTextFast(HDC DC, const TRect& Rect, HBRUSH Brush, TColor Color, TBitmap* Buffer, const String& Text,
                      Integer Count, const TzmCellTextOptions& Options) {
  Count = ClampedCount(Text, Count);
  COLORREF rgb = ColorToRGB(Color);
  bool pure = !Options.EndEllipsis && !Options.MultiLine && GetNearestColor(DC, rgb) == rgb;
  if (Options.Opaque || pure) {
    Integer inset = Options.TopInsetTwo ? 2 : 1;
    TRect right{std::max(Rect.Right - 2, Rect.Left), Rect.Top, Rect.Right, Rect.Bottom};
    TRect text{Rect.Left, Rect.Top, right.Left, Rect.Bottom};
    TRect left{Rect.Left, Rect.Top, Rect.Left, Rect.Bottom};
    if (Options.Alignment != taLeftJustify) {
      left.Right = std::min(Rect.Left + 2, text.Right);
      text.Left = left.Right;
    }
    SIZE size{};
    GetTextExtentPoint32(DC, Text.c_str(), Count, &size);
    Integer x = Rect.Left + 2;
    if (Options.Alignment == taRightJustify) x = text.Left + text.Width() - size.cx;
    else if (Options.Alignment == taCenter) x = text.Left + text.Width() / 2 - size.cx / 2;
    if (Options.Opaque) {
      SetBkMode(DC, OPAQUE);
      ExtTextOut(DC, x, Rect.Top + inset, ETO_CLIPPED, &text, Text.c_str(), static_cast<UINT>(Count), nullptr);
      return;
    }
    ExtTextOut(DC, x, Rect.Top + inset, ETO_CLIPPED | ETO_OPAQUE, &text, Text.c_str(), static_cast<UINT>(Count),
               nullptr);
    FillRect(DC, &right, Brush);
    if (!left.IsEmpty()) FillRect(DC, &left, Brush);
    return;
  }
  if (Options.Buffered && Buffer) {
    DrawThroughBuffer(DC, Rect, Rect, Buffer, [&](HDC Target, const TRect& Local) {
      DrawCellTextRect(Target, Local, Brush, Text, Count, Options);
    });
    return;
  }
  DrawCellTextRect(DC, Rect, Brush, Text, Count, Options);
}

void DrawCellTextRect(HDC DC, const TRect& Rect, HBRUSH Brush, const String& Text, Integer Count,
                      const TzmCellTextOptions& Options) {
  FillRect(DC, &Rect, Brush);
  SetBkMode(DC, TRANSPARENT);
  TRect r = Inflated(Rect, -2, Options.TopInsetTwo ? -2 : -1);
  UINT format = DT_EXPANDTABS | DT_NOPREFIX | AlignmentFormat(Options.Alignment);
  format |= Options.MultiLine ? DT_WORDBREAK : (DT_SINGLELINE | DT_VCENTER);
  if (Options.EndEllipsis) format |= DT_END_ELLIPSIS;
  DrawText(DC, Text.c_str(), ClampedCount(Text, Count), &r, format);
}

void DrawPreviewText(HDC DC, const TRect& Rect, HBRUSH Brush, TFont* Font, TBitmap* Buffer, TColor TextColor,
                     const String& Text, Integer Indent, bool Buffered) {
  if (!Buffered || !Buffer) {
    DrawPreviewTextRect(DC, Rect, Brush, Font, TextColor, Text, Indent);
    return;
  }
  DrawThroughBuffer(DC, Rect, Rect, Buffer, [&](HDC Target, const TRect& Local) {
    DrawPreviewTextRect(Target, Local, Brush, Font, TextColor, Text, Indent);
  });
}

void DrawPreviewTextRect(HDC DC, const TRect& Rect, HBRUSH Brush, TFont* Font, TColor TextColor, const String& Text,
                         Integer Indent) {
  FillRect(DC, &Rect, Brush);
  SetBkMode(DC, TRANSPARENT);
  TRect r = Inflated(Rect, -1, -1);
  r.Left += Indent;
  HGDIOBJ oldFont = SelectObject(DC, Font->GetHandle());
  COLORREF oldColor = SetTextColor(DC, ColorToRGB(TextColor));
  DrawText(DC, Text.c_str(), static_cast<int>(Text.size()), &r,
           DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_END_ELLIPSIS);
  SetTextColor(DC, oldColor);
  SelectObject(DC, oldFont);
}

// ---------------------------------------------------------------------------------------------
// Focus and drop frames

void DrawFocusRectangle(HDC DC, const TRect& Rect) {
  COLORREF oldBack = SetBkColor(DC, RGB(0, 0, 0));
  COLORREF oldText = SetTextColor(DC, RGB(255, 255, 255));
  DrawFocusRect(DC, &Rect);
  SetTextColor(DC, oldText);
  SetBkColor(DC, oldBack);
}

void InvertFrame(HDC DC, const TRect& Rect) {
  Integer w = Rect.Width(), h = Rect.Height();
  if (w <= 0 || h <= 0) return;
  PatBlt(DC, Rect.Left, Rect.Top, w, 1, DSTINVERT);
  if (h > 1) {
    PatBlt(DC, Rect.Right - 1, Rect.Top + 1, 1, h - 1, DSTINVERT);
    if (w > 1) PatBlt(DC, Rect.Left, Rect.Top + 1, 1, h - 1, DSTINVERT);
    if (w > 2) PatBlt(DC, Rect.Left + 1, Rect.Bottom - 1, w - 2, 1, DSTINVERT);
  }
}
