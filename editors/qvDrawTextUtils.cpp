#include "editors/qvDrawTextUtils.h"

#include <algorithm>

#include "lookandfeel/qvGraphics.h"
#include "platform/os/Gdi.h"
#include "platform/os/GdiScopes.h"

const String qvTextEllipsis = "...";

namespace {

constexpr char CR = '\r', LF = '\n', TAB = '\t';

bool IsLineEnd(char c) { return c == CR || c == LF; }

// The extent of a piece of text: tab-expanded to the default stops, or plain.
TSize MeasureText(HDC ADC, const char* AText, Integer ALength, bool AExpandTabs) {
  if (ALength <= 0) {
    SIZE size{};
    GetTextExtentPoint32(ADC, "", 0, &size);
    return {0, size.cy};
  }
  if (AExpandTabs) {
    DWORD extent = GetTabbedTextExtent(ADC, AText, ALength, 0, nullptr);
    return {Integer(LOWORD(extent)), Integer(HIWORD(extent))};
  }
  SIZE size{};
  GetTextExtentPoint32(ADC, AText, ALength, &size);
  return size;
}

// The bytes of a row that the text still has.
struct TRowSpan {
  Integer Offset = 0;
  Integer Length = 0;
};

TRowSpan ClampedRowSpan(const String& AText, const TqvTextRow& ARow) {
  const Integer size = Integer(AText.size());
  TRowSpan span;
  span.Offset = std::clamp(ARow.Offset, 0, size);
  span.Length = std::clamp(ARow.Length, 0, size - span.Offset);
  return span;
}

// ---------------------------------------------------------------------------------------------
// Breaking rows

class TRowBreaker {
 public:
  TRowBreaker(HDC ADC, const String& AText, Integer AWidth, const TqvTextLayoutParams& AParams)
      : FDC(ADC), FText(AText), FWidth(AWidth), FParams(AParams) {}

  // Lays out the row starting at APos and moves APos past it and its separators.
  void LayoutRow(bool ALast, Integer& APos, TqvTextRow& ARow) const;

 private:
  Integer WalkRow(bool ALast, Integer AStart, Integer& ABreakCount) const;
  Int64 ExtentSoFar(Integer AStart, Integer AIndex, Int64 ASum) const;
  Integer SkipSeparators(Integer APos, bool& ACRSkipped) const;

  HDC FDC;
  const String& FText;
  Integer FWidth;
  const TqvTextLayoutParams& FParams;
};

// Character widths are summed, so that a row costs one measure per character. The drawing
// layer kerns character pairs, so a sum that passes the width is checked against the exact
// extent of the row so far before the row is broken: rows then break where they really stop
// fitting, and a rectangle measured for a row holds it again.
Int64 TRowBreaker::ExtentSoFar(Integer AStart, Integer AIndex, Int64 ASum) const {
  if (FParams.ExpandTabs) return MeasureText(FDC, FText.data() + AStart, AIndex - AStart + 1, true).cx;
  Int64 sum = ASum + MeasureText(FDC, FText.data() + AIndex, 1, false).cx;
  if (sum <= FWidth) return sum;
  return MeasureText(FDC, FText.data() + AStart, AIndex - AStart + 1, false).cx;
}

// The row's length; ABreakCount gets its break characters.
Integer TRowBreaker::WalkRow(bool ALast, Integer AStart, Integer& ABreakCount) const {
  const TqvTextLayoutParams& p = FParams;
  const Integer textLength = Integer(FText.size());
  const bool wrap = !p.SingleLine && (p.WordBreak || p.IsJustified());
  const bool breakInside = wrap && p.BreakLongWords;
  const bool takeRest = ALast && p.EndEllipsis && !p.WholeRowsOnly && !p.NoClip && !p.IsJustified();
  const bool measure = wrap || takeRest || p.SingleLine;
  Integer length = 0, lastBreakLength = 0;
  Int64 extent = 0;
  ABreakCount = 0;
  for (Integer i = AStart; i < textLength; ++i) {
    const char c = FText[size_t(i)];
    if (c == p.BreakChar || c == TAB) {
      ++ABreakCount;
      lastBreakLength = i - AStart + 1;
    } else if (IsLineEnd(c) && !p.SingleLine && !takeRest) {
      if (p.HorzAlignment == tlhaJustify) ABreakCount = 0;
      break;
    }
    length = i - AStart + 1;
    if (!measure) continue;
    extent = ExtentSoFar(AStart, i, extent);
    if (extent <= FWidth) continue;
    if (takeRest || p.SingleLine) break;
    if (lastBreakLength > 0) return lastBreakLength;
    if (breakInside) return i > AStart ? i - AStart : length;
    // The word overflows until a break character or a line end.
  }
  return length;
}

// Skips the break characters after a row, then one tab, a CR and an LF.
Integer TRowBreaker::SkipSeparators(Integer APos, bool& ACRSkipped) const {
  const Integer textLength = Integer(FText.size());
  auto at = [&](Integer i) { return i < textLength ? FText[size_t(i)] : '\0'; };
  while (APos < textLength && at(APos) == FParams.BreakChar) ++APos;
  if (at(APos) == TAB) ++APos;
  ACRSkipped = at(APos) == CR;
  if (ACRSkipped) ++APos;
  if (at(APos) == LF) ++APos;
  return APos;
}

void TRowBreaker::LayoutRow(bool ALast, Integer& APos, TqvTextRow& ARow) const {
  const Integer start = APos;
  Integer breakCount = 0;
  Integer length = WalkRow(ALast, start, breakCount);
  if (FParams.IsJustified())
    while (length > 0 && (FText[size_t(start + length - 1)] == FParams.BreakChar ||
                          FText[size_t(start + length - 1)] == TAB)) {
      --length;
      if (breakCount > 0) --breakCount;
    }
  const TSize extent = MeasureText(FDC, FText.data() + start, length, FParams.ExpandTabs);
  bool crSkipped = false;
  APos = SkipSeparators(start + length, crSkipped);
  if (FParams.HorzAlignment == tlhaJustify && (crSkipped || APos >= Integer(FText.size()))) breakCount = 0;
  ARow.Offset = start;
  ARow.Length = length;
  ARow.Width = extent.cx;
  ARow.Height = extent.cy;
  ARow.BreakCount = breakCount;
}

bool IsLastRow(const TqvTextLayoutParams& AParams, Integer ARowLimit, Integer ARowCount, Int64 AHeightSum,
               Int64 AHeight) {
  if (AParams.SingleLine) return true;
  if ((AParams.VertAlignment != tlvaTop || AParams.CalcRect) && ARowLimit > 0 && ARowCount >= ARowLimit) return true;
  if (!AParams.WholeRowsOnly || AParams.NoClip) return AHeightSum > AHeight;
  return AHeightSum + AParams.RowHeight > AHeight;
}

// ---------------------------------------------------------------------------------------------
// Drawing rows

class TRowPainter {
 public:
  TRowPainter(HDC ADC, const String& AText, const TRect& ARect, const TqvTextLayoutParams& AParams,
              bool AEllipsisOnLast, TColor ASelTextColor, TColor ASelBkColor, Integer ASelLength, Integer ASelStart)
      : FDC(ADC), FText(AText), FRect(ARect), FParams(AParams), FEllipsisOnLast(AEllipsisOnLast),
        FSelTextColor(ColorToRGB(ASelTextColor)), FSelBkColor(ColorToRGB(ASelBkColor)), FSelLength(ASelLength),
        FSelStart(ASelStart) {}

  void DrawRow(const TqvTextRow& ARow, bool ALast) const;

 private:
  void OutputRow(const TqvTextRow& ARow, const char* AText, Integer ALength) const;
  // The longest prefix of the row, at least one character, that fits in AWidth.
  Integer FitLength(const char* AText, Integer ALength, Integer AWidth) const;
  void DrawSelection(const TqvTextRow& ARow, const TRowSpan& ASpan, Integer ALength) const;
  void DrawEllipsis(Integer X, Integer Y) const;
  void NarrowClipToRow(const TqvTextRow& ARow) const;
  Integer LineBottom(const TqvTextRow& ARow) const { return ARow.Y + FParams.RowHeight; }

  HDC FDC;
  const String& FText;
  TRect FRect;
  const TqvTextLayoutParams& FParams;
  bool FEllipsisOnLast;
  COLORREF FSelTextColor;
  COLORREF FSelBkColor;
  Integer FSelLength;
  Integer FSelStart;
};

void TRowPainter::OutputRow(const TqvTextRow& ARow, const char* AText, Integer ALength) const {
  if (FParams.ExpandTabs) TabbedTextOut(FDC, ARow.X, ARow.Y, AText, ALength, 0, nullptr, ARow.X);
  else TextOut(FDC, ARow.X, ARow.Y, AText, ALength);
}

Integer TRowPainter::FitLength(const char* AText, Integer ALength, Integer AWidth) const {
  Integer lo = 1, hi = ALength;
  while (lo < hi) {
    const Integer mid = lo + (hi - lo + 1) / 2;
    if (MeasureText(FDC, AText, mid, FParams.ExpandTabs).cx <= AWidth) lo = mid;
    else hi = mid - 1;
  }
  return lo;
}

void TRowPainter::NarrowClipToRow(const TqvTextRow& ARow) const {
  IntersectClipRect(FDC, FRect.Left, std::max(ARow.Y, FRect.Top), FRect.Right, std::min(LineBottom(ARow), FRect.Bottom));
}

void TRowPainter::DrawSelection(const TqvTextRow& ARow, const TRowSpan& ASpan, Integer ALength) const {
  const Int64 first = std::max<Int64>(ASpan.Offset, FSelStart);
  const Int64 last = std::min<Int64>(Int64(ASpan.Offset) + ALength, Int64(FSelStart) + FSelLength);
  if (first >= last) return;
  const char* text = FText.data() + ASpan.Offset;
  const Integer before = MeasureText(FDC, text, Integer(first - ASpan.Offset), FParams.ExpandTabs).cx;
  const Integer through = MeasureText(FDC, text, Integer(last - ASpan.Offset), FParams.ExpandTabs).cx;
  const TRect selection{ARow.X + before, ARow.Y, ARow.X + through, LineBottom(ARow)};
  if (selection.IsEmpty()) return;
  TSavedDCScope state(FDC);
  IntersectClipRect(FDC, selection.Left, selection.Top, selection.Right, selection.Bottom);
  HBRUSH brush = CreateSolidBrush(FSelBkColor);
  FillRect(FDC, &selection, brush);
  DeleteObject(brush);
  SetTextColor(FDC, FSelTextColor);
  OutputRow(ARow, text, ALength);
}

void TRowPainter::DrawEllipsis(Integer X, Integer Y) const {
  if (X >= FRect.Right) return;
  const bool fits = X + FParams.EllipsisWidth <= FRect.Right && Y >= FRect.Top && Y + FParams.RowHeight <= FRect.Bottom;
  TSavedDCScope state(FDC);
  if (!FParams.NoClip && !fits) IntersectClipRect(FDC, FRect.Left, FRect.Top, FRect.Right, FRect.Bottom);
  TextOut(FDC, X, Y, qvTextEllipsis.data(), Integer(qvTextEllipsis.size()));
}

void TRowPainter::DrawRow(const TqvTextRow& ARow, bool ALast) const {
  const TRowSpan span = ClampedRowSpan(FText, ARow);
  const bool ellipsisRow = FParams.EndEllipsis && ALast && (FEllipsisOnLast || ARow.Width > FRect.Width());
  if (span.Length == 0) {
    if (ALast && FEllipsisOnLast && FParams.EndEllipsis) DrawEllipsis(ARow.X, ARow.Y);
    return;
  }
  const char* text = FText.data() + span.Offset;
  Integer length = span.Length, width = ARow.Width;
  {
    TSavedDCScope state(FDC);
    if (FParams.IsJustified() && !ellipsisRow && FRect.Width() > ARow.Width && ARow.BreakCount > 0)
      SetTextJustification(FDC, FRect.Width() - ARow.Width, ARow.BreakCount);
    if (!FParams.NoClip && (ARow.Width > FRect.Width() || ARow.Y < FRect.Top || LineBottom(ARow) > FRect.Bottom))
      NarrowClipToRow(ARow);
    if (ellipsisRow) {
      length = FitLength(text, length, std::max(0, FRect.Width() - FParams.EllipsisWidth));
      width = MeasureText(FDC, text, length, FParams.ExpandTabs).cx;
    }
    OutputRow(ARow, text, length);
    if (FSelLength > 0) DrawSelection(ARow, span, length);
  }
  if (ellipsisRow) DrawEllipsis(ARow.X + width, ARow.Y);
}

TqvTextLayoutParams ParamsFromFlags(TqvTextLayoutFlags AFlags) {
  TqvTextLayoutParams p;
  const Cardinal horz = AFlags & tlHorzMask;
  p.HorzAlignment = horz <= tlhaDistribute ? TqvTextLayoutHorzAlignment(horz) : tlhaLeft;
  p.VertAlignment = TqvTextLayoutVertAlignment((AFlags & tlVertMask) >> 4);
  p.KeepLeftInside = AFlags & tlKeepLeftInside;
  p.KeepTopInside = AFlags & tlKeepTopInside;
  p.WordBreak = AFlags & tlWordBreak;
  p.SingleLine = AFlags & tlSingleLine;
  p.ExpandTabs = AFlags & tlExpandTabs;
  p.EndEllipsis = AFlags & tlEndEllipsis;
  p.ExternalLeading = AFlags & tlExternalLeading;
  p.WholeRowsOnly = AFlags & tlWholeRowsOnly;
  p.NoClip = AFlags & tlNoClip;
  p.BreakLongWords = AFlags & tlBreakLongWords;
  p.CalcRect = AFlags & tlCalcRect;
  p.ReturnRowCount = AFlags & tlReturnRowCount;
  return p;
}

// The DC of a canvas with its font selected.
HDC CanvasDC(TqvCanvas* ACanvas) { return ACanvas->GetHandle(); }

}  // namespace

// ---------------------------------------------------------------------------------------------

TqvTextLayoutParams CalcTextLayoutParams(HDC ADC, TqvTextLayoutFlags AFlags) {
  TqvTextLayoutParams p = ParamsFromFlags(AFlags);
  TEXTMETRIC metrics;
  GetTextMetrics(ADC, &metrics);
  p.TextHeight = metrics.tmHeight;
  p.Leading = p.ExternalLeading ? metrics.tmExternalLeading : 0;
  p.RowHeight = p.TextHeight + p.Leading;
  p.BreakChar = char(metrics.tmBreakChar);
  if (p.EndEllipsis)
    p.EllipsisWidth = MeasureText(ADC, qvTextEllipsis.data(), Integer(qvTextEllipsis.size()), false).cx;
  return p;
}

TqvTextLayoutParams CalcTextLayoutParams(TqvCanvas* ACanvas, TqvTextLayoutFlags AFlags) {
  return CalcTextLayoutParams(CanvasDC(ACanvas), AFlags);
}

bool LayoutTextRows(HDC ADC, const String& AText, const TRect& ARect, Integer ARowLimit, Integer& ARowCount,
                    TqvTextRows& ARows, const TqvTextLayoutParams& AParams) {
  ARowCount = 0;
  ARows.clear();
  if (AText.empty()) return true;
  const Integer textLength = Integer(AText.size());
  TRowBreaker breaker(ADC, AText, ARect.Width(), AParams);
  if (AParams.CalcRect && AParams.SingleLine) {
    const TSize extent = MeasureText(ADC, AText.data(), textLength, AParams.ExpandTabs);
    ARows.push_back({0, textLength, extent.cx, extent.cy, 0, 0, 0});
    ARowCount = 1;
    return true;
  }
  const Int64 height = ARect.Height();
  Int64 heightSum = 0;
  Integer pos = 0;
  bool last = false;
  while (pos < textLength && !last) {
    ARows.emplace_back();
    ++ARowCount;
    heightSum += AParams.RowHeight;
    last = IsLastRow(AParams, ARowLimit, ARowCount, heightSum, height);
    breaker.LayoutRow(last, pos, ARows.back());
  }
  return AParams.SingleLine || AParams.CalcRect || ARowLimit <= 0 || ARowCount != ARowLimit || pos >= textLength;
}

bool LayoutTextRows(TqvCanvas* ACanvas, const String& AText, const TRect& ARect, Integer ARowLimit,
                    Integer& ARowCount, TqvTextRows& ARows, const TqvTextLayoutParams& AParams) {
  return LayoutTextRows(CanvasDC(ACanvas), AText, ARect, ARowLimit, ARowCount, ARows, AParams);
}

void PlaceTextRows(HDC, const TRect& ARect, TqvTextLayoutParams& AParams, Integer ARowCount, TqvTextRows& ARows) {
  const Integer count = std::min(ARowCount, Integer(ARows.size()));
  if (count <= 0) return;
  Integer extraPixels = 0;
  if (AParams.VertAlignment == tlvaDistribute && count > 1) {
    const Integer gap = ARect.Height() - AParams.TextHeight;
    if (Int64(AParams.TextHeight) * (count - 1) < gap) {
      AParams.RowHeight = gap / (count - 1);
      extraPixels = gap % (count - 1);
    }
  }
  const Int64 blockHeight = Int64(count) * AParams.RowHeight;
  Int64 top = ARect.Top;
  if (AParams.VertAlignment == tlvaCenter) top = ARect.Top + (ARect.Height() - blockHeight) / 2;
  else if (AParams.VertAlignment == tlvaBottom) top = ARect.Bottom - blockHeight + AParams.Leading;
  if (AParams.KeepTopInside) top = std::max<Int64>(top, ARect.Top);
  for (Integer i = 0; i < count; ++i) {
    TqvTextRow& row = ARows[size_t(i)];
    Integer x = ARect.Left;
    if (AParams.HorzAlignment == tlhaCenter) x = ARect.Left + (ARect.Width() - row.Width) / 2;
    else if (AParams.HorzAlignment == tlhaRight) x = ARect.Right - row.Width;
    if (AParams.KeepLeftInside) x = std::max(x, ARect.Left);
    row.X = x;
    row.Y = ClampToInteger(top);
    top += AParams.RowHeight;
    if (extraPixels > 0) {
      ++top;
      --extraPixels;
    }
  }
}

void DrawTextRows(HDC ADC, const String& AText, const TRect& ARect, const TqvTextLayoutParams& AParams,
                  bool AEllipsisOnLast, TColor ASelTextColor, TColor ASelBkColor, Integer ASelLength,
                  Integer ASelStart, Integer ARowCount, const TqvTextRows& ARows) {
  const Integer count = std::min(ARowCount, Integer(ARows.size()));
  TSavedDCScope state(ADC);
  SetBkMode(ADC, TRANSPARENT);
  TRowPainter painter(ADC, AText, ARect, AParams, AEllipsisOnLast, ASelTextColor, ASelBkColor, ASelLength, ASelStart);
  for (Integer i = 0; i < count; ++i) painter.DrawRow(ARows[size_t(i)], i == count - 1);
}

Integer DrawTextLayout(HDC ADC, const String& AText, TRect& ARect, Integer ARightInset, Integer ALeftInset,
                       Integer ARowLimit, TColor ASelTextColor, TColor ASelBkColor, Integer ASelLength,
                       Integer ASelStart, TqvTextLayoutFlags AFlags) {
  if (AText.empty()) return 0;
  TqvTextLayoutParams params = CalcTextLayoutParams(ADC, AFlags);
  TRect r = ARect;
  r.Left += ALeftInset;
  r.Right -= ARightInset;
  if (params.CalcRect ? r.Width() <= 0 : r.IsEmpty()) return 0;
  TqvTextRows rows;
  Integer count = 0;
  const bool complete = LayoutTextRows(ADC, AText, r, ARowLimit, count, rows, params);
  if (count == 0) return 0;
  if (params.CalcRect) {
    if (ARowLimit > 0 && ARowLimit < count) count = ARowLimit;
    r.Right = r.Left + GetTextRowsMaxWidth(rows, count);
    if (!params.SingleLine) LayoutTextRows(ADC, AText, r, ARowLimit, count, rows, params);
    PlaceTextRows(ADC, r, params, count, rows);
    r.Bottom = rows[size_t(count - 1)].Y + params.TextHeight;
    ARect = {r.Left - ALeftInset, r.Top, r.Right + ARightInset, r.Bottom};
  } else {
    bool ellipsisOnLast = false;
    if (ARowLimit > 0 && count >= ARowLimit) {
      count = ARowLimit;
      ellipsisOnLast = !complete && params.EndEllipsis && params.WholeRowsOnly && !params.SingleLine;
    }
    PlaceTextRows(ADC, r, params, count, rows);
    const Integer textLength = Integer(AText.size());
    if (ASelStart < 0 || ASelStart >= textLength) ASelLength = 0;
    else ASelLength = Integer(std::min<Int64>(ASelLength, Int64(textLength) - ASelStart));
    DrawTextRows(ADC, AText, r, params, ellipsisOnLast, ASelTextColor, ASelBkColor, ASelLength, ASelStart, count,
                 rows);
  }
  const Integer height = ClampToInteger(Int64(rows[size_t(count - 1)].Y) + params.TextHeight - r.Top);
  return params.ReturnRowCount || height == 0 ? count : height;
}

Integer DrawTextLayout(TqvCanvas* ACanvas, const String& AText, TRect& ARect, Integer ARightInset,
                       Integer ALeftInset, Integer ARowLimit, TColor ASelTextColor, TColor ASelBkColor,
                       Integer ASelLength, Integer ASelStart, TqvTextLayoutFlags AFlags) {
  return DrawTextLayout(CanvasDC(ACanvas), AText, ARect, ARightInset, ALeftInset, ARowLimit, ASelTextColor,
                        ASelBkColor, ASelLength, ASelStart, AFlags);
}

Integer TextOutOnCanvas(TqvCanvas* ACanvas, const String& AText, TRect& ARect, Integer ARightInset,
                        Integer ALeftInset, Integer ARowLimit, TqvTextLayoutFlags AFlags) {
  return DrawTextLayout(ACanvas, AText, ARect, ARightInset, ALeftInset, ARowLimit, clBlack,
                        ACanvas->GetFont()->GetColor(), 0, 0, AFlags);
}

Integer GetTextRowsMaxWidth(const TqvTextRows& ARows, Integer ACount) {
  const Integer count = std::clamp(ACount, 0, Integer(ARows.size()));
  Integer width = 0;
  for (Integer i = 0; i < count; ++i) width = std::max(width, ARows[size_t(i)].Width);
  return width;
}
