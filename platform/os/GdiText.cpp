// Text output: TextOut, ExtTextOut, tabbed text, justification and DrawText layout.
#include <algorithm>
#include <cstring>

#include "platform/os/GdiTextEngine.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr TRect kNoClip{-(1 << 29), -(1 << 29), 1 << 29, 1 << 29};
const String kEllipsis = "...";

String TextSlice(const char* text, int count) {
  if (!text) return {};
  if (count < 0) return String(text);
  return String(text, size_t(count));
}

void FillBackground(TDC& dc, const TRect& surfaceRect, const TRect& clip) {
  TFillSource src;
  src.Solid = TargetPixel(dc, dc.State.BkColor);
  TRect r{std::max(surfaceRect.Left, clip.Left), std::max(surfaceRect.Top, clip.Top),
          std::min(surfaceRect.Right, clip.Right), std::min(surfaceRect.Bottom, clip.Bottom)};
  FillSurfaceRect(dc, r, src, PATCOPY);
}

// A piece of a line placed at an x offset from the line start (tabs split lines into pieces).
struct TRun {
  String Text;
  Integer X = 0;
};

// Tab stops: an interval, or explicit positions (relative to the origin) then single spaces.
struct TTabStops {
  Integer Interval = 0;
  std::vector<Integer> Positions;

  Integer Next(Integer x, Integer spaceWidth) const {
    if (Positions.empty()) return Interval > 0 ? (x / Interval + 1) * Interval : x + spaceWidth;
    for (Integer p : Positions)
      if (p > x) return p;
    return x + spaceWidth;
  }
};

// Splits at tabs (when expanding) and places the pieces; returns the total width.
Integer PlaceRuns(TFontFace& face, const String& text, const TTabStops* tabs, Integer origin, std::vector<TRun>* runs) {
  Integer x = 0;
  size_t start = 0;
  while (true) {
    size_t tab = tabs ? text.find('\t', start) : String::npos;
    String piece = text.substr(start, tab == String::npos ? String::npos : tab - start);
    if (runs && !piece.empty()) runs->push_back({piece, x});
    x += face.Width(piece);
    if (tab == String::npos) break;
    x = tabs->Next(x + origin, face.Width(" ")) - origin;
    start = tab + 1;
  }
  return x;
}

struct TTextJob {
  TDC* DC = nullptr;
  TFontFace* Face = nullptr;
  TRect Clip = kNoClip;  // surface coordinates
};

void DrawRuns(TTextJob& job, const std::vector<TRun>& runs, Integer x, Integer y) {
  for (const TRun& r : runs) {
    TShapedText& shaped = job.Face->Shape(r.Text);
    RenderShaped(*job.DC, *job.Face, shaped, x + r.X, y, job.Clip);
  }
}

// Draws with the break characters widened by the DC's justification.
void DrawJustified(TTextJob& job, const String& text, Integer x, Integer y) {
  TDCState& s = job.DC->State;
  Integer spaces = Integer(std::count(text.begin(), text.end(), ' '));
  Integer count = std::max(1, std::min(s.BreakCount, spaces));
  Integer done = 0, pos = x;
  size_t start = 0;
  while (start <= text.size()) {
    size_t sp = text.find(' ', start);
    String word = text.substr(start, sp == String::npos ? String::npos : sp - start + 1);
    if (!word.empty()) RenderShaped(*job.DC, *job.Face, job.Face->Shape(word), pos, y, job.Clip);
    pos += job.Face->Width(word);
    if (sp == String::npos) break;
    if (done < count) pos += s.BreakExtra / count + (done < s.BreakExtra % count ? 1 : 0);
    ++done;
    start = sp + 1;
  }
}

Integer JustifiedWidth(TDC& dc, TFontFace& face, const String& text) {
  Integer w = face.Width(text);
  if (dc.State.BreakExtra == 0 || text.find(' ') == String::npos) return w;
  return w + dc.State.BreakExtra;
}

// Places the reference point according to the text alignment; returns the cell's top-left.
TPoint AlignedCell(TDC& dc, TFontFace& face, TPoint ref, Integer width) {
  UINT a = dc.State.TextAlign;
  TPoint p = ref;
  if ((a & TA_CENTER) == TA_CENTER) p.X -= width / 2;
  else if (a & TA_RIGHT) p.X -= width;
  if ((a & TA_BASELINE) == TA_BASELINE) p.Y -= face.Ascent;
  else if (a & TA_BOTTOM) p.Y -= face.Height();
  return p;
}

}  // namespace

BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, const char* text, UINT count,
                const int* dx) {
  TDC* d = DCOf(dc);
  if (!d || (!text && count > 0)) return FALSE;
  TFontFace& face = FaceOf(*d);
  String s = TextSlice(text, int(count));
  TTextJob job{d, &face, kNoClip};
  TRect surfRect = rect ? d->ToSurface(*rect) : TRect{};
  if (rect && (options & ETO_CLIPPED)) job.Clip = surfRect;
  if (rect && (options & ETO_OPAQUE)) FillBackground(*d, surfRect, kNoClip);
  Integer width = 0;
  if (dx) for (size_t i = 0; i < s.size(); ++i) width += dx[i];
  else width = JustifiedWidth(*d, face, s);
  bool updateCP = d->State.TextAlign & TA_UPDATECP;
  TPoint ref = updateCP ? d->State.CurPos : TPoint{x, y};
  TPoint cell = face.AngleDegrees != 0 ? ref : AlignedCell(*d, face, ref, width);
  if (updateCP) {
    UINT a = d->State.TextAlign;
    if ((a & TA_CENTER) != TA_CENTER) d->State.CurPos.X += (a & TA_RIGHT) ? -width : width;
  }
  if (s.empty()) return TRUE;
  if (d->PathOpen) {
    AddTextToPath(*d, cell, s);
    return TRUE;
  }
  TPoint sp = d->ToSurface(cell);
  if (d->State.BkMode == OPAQUE && face.AngleDegrees == 0)
    FillBackground(*d, {sp.X, sp.Y, sp.X + width, sp.Y + face.Height()}, job.Clip);
  if (dx) {
    Integer pos = sp.X;
    for (size_t i = 0; i < s.size(); ++i) {
      RenderShaped(*d, face, face.Shape(String(1, s[i])), pos, sp.Y, job.Clip);
      pos += dx[i];
    }
  } else if (d->State.BreakExtra != 0) {
    DrawJustified(job, s, sp.X, sp.Y);
  } else {
    RenderShaped(*d, face, face.Shape(s), sp.X, sp.Y, job.Clip);
  }
  return TRUE;
}

BOOL TextOut(HDC dc, int x, int y, const char* text, int count) {
  if (count < 0) return FALSE;
  return ExtTextOut(dc, x, y, 0, nullptr, text, UINT(count), nullptr);
}

BOOL SetTextJustification(HDC dc, int breakExtra, int breakCount) {
  TDC* d = DCOf(dc);
  if (!d) return FALSE;
  d->State.BreakExtra = breakCount > 0 ? breakExtra : 0;
  d->State.BreakCount = std::max(0, breakCount);
  return TRUE;
}

namespace {

TTabStops TabStopsOf(TFontFace& face, int n, const int* stops) {
  TTabStops t;
  if (n <= 0 || !stops) t.Interval = 8 * face.AveCharWidth;
  else if (n == 1) t.Interval = std::max(1, stops[0]);
  else t.Positions.assign(stops, stops + n);
  return t;
}

}  // namespace

LONG TabbedTextOut(HDC dc, int x, int y, const char* text, int count, int tabPositions, const int* tabStops,
                   int tabOrigin) {
  TDC* d = DCOf(dc);
  if (!d || (!text && count > 0) || count < 0) return 0;
  TFontFace& face = FaceOf(*d);
  TTabStops tabs = TabStopsOf(face, tabPositions, tabStops);
  std::vector<TRun> runs;
  String s = TextSlice(text, count);
  Integer width = PlaceRuns(face, s, &tabs, x - tabOrigin, &runs);
  TPoint sp = d->ToSurface(TPoint{x, y});
  TTextJob job{d, &face, kNoClip};
  if (d->State.BkMode == OPAQUE) FillBackground(*d, {sp.X, sp.Y, sp.X + width, sp.Y + face.Height()}, kNoClip);
  DrawRuns(job, runs, sp.X, sp.Y);
  return MAKELONG(WORD(width), WORD(face.Height()));
}

DWORD GetTabbedTextExtent(HDC dc, const char* text, int count, int tabPositions, const int* tabStops) {
  TDC* d = DCOf(dc);
  if (!d || (!text && count > 0) || count < 0) return 0;
  TFontFace& face = FaceOf(*d);
  TTabStops tabs = TabStopsOf(face, tabPositions, tabStops);
  Integer width = PlaceRuns(face, TextSlice(text, count), &tabs, 0, nullptr);
  return DWORD(MAKELONG(WORD(width), WORD(face.Height())));
}

// ---------------------------------------------------------------------------------------------
// DrawText

namespace {

struct TDrawLine {
  String Text;
  Integer Prefix = -1;  // index of the underlined character in Text
};

class TDrawTextLayout {
 public:
  TDrawTextLayout(TFontFace& face, UINT format, Integer tabChars) : FFace(face), FFormat(format) {
    if (format & DT_EXPANDTABS) {
      FTabs.Interval = std::max(1, tabChars) * face.AveCharWidth;
      FExpand = true;
    }
  }

  Integer Measure(const String& s) const { return PlaceRuns(FFace, s, FExpand ? &FTabs : nullptr, 0, nullptr); }
  std::vector<TRun> Runs(const String& s) const {
    std::vector<TRun> runs;
    PlaceRuns(FFace, s, FExpand ? &FTabs : nullptr, 0, &runs);
    return runs;
  }

  // Removes '&' markers; returns the index of the last marked character or -1.
  static Integer StripPrefixes(String& s) {
    String out;
    Integer prefix = -1;
    for (size_t i = 0; i < s.size(); ++i) {
      if (s[i] == '&' && i + 1 < s.size()) {
        ++i;
        if (s[i] != '&') prefix = Integer(out.size());
      } else if (s[i] == '&') {
        continue;
      }
      out += s[i];
    }
    s = std::move(out);
    return prefix;
  }

  std::vector<TDrawLine> Lines(const String& text, Integer prefix, Integer width) const {
    std::vector<TDrawLine> lines;
    bool single = FFormat & DT_SINGLELINE;
    size_t p = 0;
    while (true) {
      size_t e = single ? String::npos : text.find_first_of("\r\n", p);
      size_t end = e == String::npos ? text.size() : e;
      if (!single && (FFormat & DT_WORDBREAK)) Wrap(text, p, end, prefix, width, lines);
      else lines.push_back(MakeLine(text, p, end, prefix));
      if (e == String::npos) break;
      p = e + 1;
      if (text[e] == '\r' && p < text.size() && text[p] == '\n') ++p;
      if (p >= text.size()) break;
    }
    return lines;
  }

  // Shortens a line that is wider than `width` with the ellipsis the format asks for.
  // `cut`: more text follows that is not shown, so the ellipsis is due even when the line fits.
  void Ellipsize(TDrawLine& line, Integer width, bool cut) const {
    if (!(FFormat & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS))) return;
    if (!cut && Measure(line.Text) <= width) return;
    if ((FFormat & DT_PATH_ELLIPSIS) && !cut) {
      size_t sep = line.Text.find_last_of("\\/");
      if (sep != String::npos && sep > 0) {
        String tail = line.Text.substr(sep);
        size_t keep = FitPrefix(line.Text.substr(0, sep), tail, width, false);
        if (keep > 0 || Measure(kEllipsis + tail) <= width) {
          line.Text = line.Text.substr(0, keep) + kEllipsis + tail;
          if (line.Prefix >= Integer(keep)) line.Prefix = -1;
          return;
        }
        line.Text = kEllipsis + tail;
        line.Prefix = -1;
      }
    }
    size_t keep = FitPrefix(line.Text, "", width, FFormat & DT_WORD_ELLIPSIS);
    line.Text = line.Text.substr(0, keep) + kEllipsis;
    if (line.Prefix >= Integer(keep)) line.Prefix = -1;
  }

 private:

  TDrawLine MakeLine(const String& text, size_t b, size_t e, Integer prefix) const {
    TDrawLine l;
    l.Text = text.substr(b, e - b);
    if (FFormat & DT_SINGLELINE) std::replace_if(l.Text.begin(), l.Text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    if (prefix >= Integer(b) && prefix < Integer(e)) l.Prefix = prefix - Integer(b);
    return l;
  }

  // Greedy breaking between words; a word wider than the line stands alone, or is broken
  // inside when the format imitates an edit control.
  void Wrap(const String& text, size_t b, size_t e, Integer prefix, Integer width,
            std::vector<TDrawLine>& lines) const {
    size_t pos = b;
    do {
      size_t end = pos, scan = pos;
      while (scan < e) {
        size_t w = scan;
        while (w < e && IsSpaceOrTab(text[w])) ++w;
        while (w < e && !IsSpaceOrTab(text[w])) ++w;
        Integer measured = Measure(text.substr(pos, w - pos));
        if (measured <= width) {
          end = scan = w;
          continue;
        }
        if (end == pos) end = (FFormat & DT_EDITCONTROL) ? pos + BreakInside(text.substr(pos, w - pos), width) : w;
        break;
      }
      if (end == pos) end = e;
      size_t trimmed = end;
      while (trimmed > pos && text[trimmed - 1] == ' ') --trimmed;
      lines.push_back(MakeLine(text, pos, trimmed, prefix));
      pos = end;
      while (pos < e && text[pos] == ' ') ++pos;
    } while (pos < e);
  }

  size_t BreakInside(const String& word, Integer width) const {
    size_t n = 1;
    while (n < word.size() && Measure(word.substr(0, n + 1)) <= width) ++n;
    return n;
  }

  // The longest prefix of `s` that, followed by the ellipsis and `tail`, fits.
  size_t FitPrefix(const String& s, const String& tail, Integer width, bool atWords) const {
    size_t lo = 0;
    if (!FExpand || s.find('\t') == String::npos) {
      // Estimate from the character positions of the whole string, then confirm by measuring.
      Integer extra = Measure(kEllipsis + tail);
      const std::vector<Integer>& ends = FFace.CharEnds(s);
      while (lo < s.size() && ends[lo] + extra <= width) ++lo;
      while (lo > 0 && Measure(s.substr(0, lo) + kEllipsis + tail) > width) --lo;
    } else {
      size_t hi = s.size();
      while (lo < hi) {
        size_t mid = (lo + hi + 1) / 2;
        if (Measure(s.substr(0, mid) + kEllipsis + tail) <= width) lo = mid;
        else hi = mid - 1;
      }
    }
    if (atWords && lo < s.size()) {
      size_t sp = s.find_last_of(' ', lo);
      if (sp != String::npos && sp > 0) lo = sp;
    }
    return lo;
  }

  TFontFace& FFace;
  UINT FFormat;
  TTabStops FTabs;
  bool FExpand = false;
};

void UnderlinePrefix(TTextJob& job, const TDrawTextLayout& layout, const TDrawLine& line, Integer x, Integer y) {
  if (line.Prefix < 0 || line.Prefix >= Integer(line.Text.size())) return;
  Integer x0 = layout.Measure(line.Text.substr(0, size_t(line.Prefix)));
  Integer x1 = layout.Measure(line.Text.substr(0, size_t(line.Prefix) + 1));
  TFillSource src;
  src.Solid = TargetPixel(*job.DC, job.DC->State.TextColor);
  Integer uy = y + job.Face->Ascent + 1;
  TRect r{x + x0, uy, x + x1, uy + 1};
  TRect c{std::max(r.Left, job.Clip.Left), std::max(r.Top, job.Clip.Top), std::min(r.Right, job.Clip.Right),
          std::min(r.Bottom, job.Clip.Bottom)};
  FillSurfaceRect(*job.DC, c, src, PATCOPY);
}

int DrawTextCore(HDC dc, String text, LPRECT rect, UINT format, DRAWTEXTPARAMS* params, String* modified) {
  TDC* d = DCOf(dc);
  if (!d || !rect) return 0;
  Integer tabChars = 8;
  if (format & DT_TABSTOP) {
    tabChars = Integer((format >> 8) & 0xFF);
    format &= ~0xFF00u;
  }
  if (params && params->iTabLength > 0) tabChars = params->iTabLength;
  TFontFace& face = FaceOf(*d);
  TRect box = *rect;
  if (params) {
    box.Left += params->iLeftMargin;
    box.Right -= params->iRightMargin;
    params->uiLengthDrawn = UINT(text.size());
  }
  if (text.empty()) {
    if (format & DT_CALCRECT) rect->Right = rect->Left, rect->Bottom = rect->Top;
    return 0;
  }
  Integer prefix = -1;
  if (!(format & DT_NOPREFIX)) prefix = TDrawTextLayout::StripPrefixes(text);
  if (format & DT_HIDEPREFIX) prefix = -1;
  TDrawTextLayout layout(face, format, tabChars);
  std::vector<TDrawLine> lines = layout.Lines(text, prefix, box.Width());
  Integer lineHeight = face.Height();
  Integer total = lineHeight * Integer(lines.size());
  if (format & DT_CALCRECT) {
    Integer widest = 0;
    for (const TDrawLine& l : lines) widest = std::max(widest, layout.Measure(l.Text));
    rect->Right = box.Left + widest + (params ? params->iRightMargin : 0);
    rect->Bottom = rect->Top + total;
    return total;
  }
  Integer y = box.Top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) y = box.Top + (box.Height() - lineHeight) / 2;
    else if (format & DT_BOTTOM) y = box.Bottom - lineHeight;
  }
  TTextJob job{d, &face, (format & DT_NOCLIP) ? kNoClip : d->ToSurface(box)};
  // An edit control shows no partly visible last line.
  size_t visible = lines.size();
  if ((format & DT_EDITCONTROL) && lineHeight > 0)
    visible = std::clamp<size_t>(size_t(std::max(0, box.Height() / lineHeight)), 1, lines.size());
  Integer lineTop = y;
  for (size_t i = 0; i < visible; ++i, lineTop += lineHeight) {
    TDrawLine& line = lines[i];
    // Broken lines fit by construction: only the end of the text may be cut.
    if (i + 1 == visible && visible < lines.size()) layout.Ellipsize(line, box.Width(), true);
    else if (!(format & DT_WORDBREAK) || (format & DT_SINGLELINE) || i + 1 == lines.size())
      layout.Ellipsize(line, box.Width(), false);
    if (modified && i == 0) *modified = line.Text;
    Integer w = layout.Measure(line.Text);
    Integer x = box.Left;
    if (format & DT_CENTER) x = box.Left + (box.Width() - w) / 2;
    else if (format & DT_RIGHT) x = box.Right - w;
    // Inside an open path the text's outlines join the path instead of being drawn.
    if (d->PathOpen) {
      if (!(format & DT_PREFIXONLY)) AddTextToPath(*d, TPoint{x, lineTop}, line.Text);
      continue;
    }
    TPoint sp = d->ToSurface(TPoint{x, lineTop});
    if (!(format & DT_PREFIXONLY)) {
      if (d->State.BkMode == OPAQUE) FillBackground(*d, {sp.X, sp.Y, sp.X + w, sp.Y + lineHeight}, job.Clip);
      DrawRuns(job, layout.Runs(line.Text), sp.X, sp.Y);
    }
    UnderlinePrefix(job, layout, line, sp.X, sp.Y);
  }
  if (format & (DT_VCENTER | DT_BOTTOM) && (format & DT_SINGLELINE)) return y - box.Top + total;
  return total;
}

}  // namespace

int DrawText(HDC dc, const char* text, int count, LPRECT rect, UINT format) {
  if (!text && count != 0) return 0;
  return DrawTextCore(dc, TextSlice(text, count), rect, format & ~DT_MODIFYSTRING, nullptr, nullptr);
}

int DrawTextEx(HDC dc, char* text, int count, LPRECT rect, UINT format, DRAWTEXTPARAMS* params) {
  if (!text && count != 0) return 0;
  if (params && params->cbSize != sizeof(DRAWTEXTPARAMS)) return 0;
  String source = TextSlice(text, count);
  String modified;
  bool modify = (format & DT_MODIFYSTRING) && text && (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS));
  int h = DrawTextCore(dc, source, rect, format, params, modify ? &modified : nullptr);
  // The caller's buffer holds the text plus room for the ellipsis.
  if (modify && !modified.empty() && modified != source) {
    size_t n = std::min(modified.size(), source.size() + 4);
    std::memcpy(text, modified.data(), n);
    if (count < 0 || n < source.size() + 4) text[n] = 0;
  }
  return h;
}
