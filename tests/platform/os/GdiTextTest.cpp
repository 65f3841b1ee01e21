#include <gtest/gtest.h>

#include <cstring>

#include "tests/platform/os/GdiTestSupport.h"

namespace {

HFONT PinnedFont(LONG height = -13, LONG weight = FW_NORMAL, LONG escapement = 0) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfEscapement = escapement;
  std::strcpy(lf.lfFaceName, "DejaVu Sans");
  return CreateFontIndirect(&lf);
}

class GdiText : public ::testing::Test {
 protected:
  GdiText() : FCanvas(200, 80) {
    FFont = PinnedFont();
    SelectObject(DC(), FFont);
    GetTextMetrics(DC(), &FMetrics);
  }
  ~GdiText() override {
    SelectObject(DC(), GetStockObject(SYSTEM_FONT));
    DeleteObject(FFont);
  }
  HDC DC() const { return FCanvas.DC(); }
  int Width(const char* s) {
    SIZE size;
    GetTextExtentPoint32(DC(), s, int(std::strlen(s)), &size);
    return size.cx;
  }
  int LineHeight() const { return FMetrics.tmHeight; }
  // In opaque mode the text cell is filled with the background colour: its box shows where
  // the layout put the text, to the pixel.
  RECT OpaqueBox(const char* text, RECT r, UINT format) {
    FCanvas.Clear(kWhite);
    SetBkMode(DC(), OPAQUE);
    SetBkColor(DC(), kRed);
    SetTextColor(DC(), kBlack);
    // With DT_TABSTOP the second byte holds the tab size, so no clip flag can be added.
    DrawText(DC(), text, -1, &r, (format & DT_TABSTOP) ? format : format | DT_NOCLIP);
    return RedBox();
  }
  RECT RedBox() const {
    RECT box{1000, 1000, -1, -1};
    for (int y = 0; y < FCanvas.Height(); ++y)
      for (int x = 0; x < FCanvas.Width(); ++x) {
        COLORREF c = FCanvas.At(x, y);
        if (GetRValue(c) < 250 || c == kWhite) continue;
        box.Left = std::min(box.Left, x);
        box.Top = std::min(box.Top, y);
        box.Right = std::max(box.Right, x + 1);
        box.Bottom = std::max(box.Bottom, y + 1);
      }
    return box;
  }

  TPixelCanvas FCanvas;
  HFONT FFont;
  TEXTMETRIC FMetrics;
};

TEST_F(GdiText, MetricsOfThePinnedFont) {
  EXPECT_EQ(FMetrics.tmHeight, FMetrics.tmAscent + FMetrics.tmDescent);
  EXPECT_GE(FMetrics.tmHeight, 13);
  EXPECT_LE(FMetrics.tmHeight, 17);
  EXPECT_GT(FMetrics.tmAveCharWidth, 4);
  EXPECT_TRUE(FMetrics.tmPitchAndFamily & TMPF_TRUETYPE);
  char face[LF_FACESIZE];
  GetTextFace(DC(), LF_FACESIZE, face);
  EXPECT_STREQ(face, "DejaVu Sans");
  // A positive height asks for the cell height.
  HFONT cell = PinnedFont(20);
  HGDIOBJ old = SelectObject(DC(), cell);
  TEXTMETRIC tm;
  GetTextMetrics(DC(), &tm);
  EXPECT_NEAR(tm.tmHeight, 20, 1);
  SelectObject(DC(), old);
  DeleteObject(cell);
}

TEST_F(GdiText, ExtentsAreStableAndMonotonic) {
  EXPECT_EQ(Width(""), 0);
  int w1 = Width("Channel");
  EXPECT_EQ(Width("Channel"), w1);
  EXPECT_GT(Width("Channels"), w1);
  EXPECT_GT(Width("WWW"), Width("iii"));
  SIZE size;
  EXPECT_TRUE(GetTextExtentPoint32(DC(), "Wg", 2, &size));
  EXPECT_EQ(size.cy, LineHeight());
  EXPECT_FALSE(GetTextExtentPoint32(nullptr, "x", 1, &size));
  // Windows-1252 letters are real glyphs, not replacement marks.
  EXPECT_NE(Width("\xE9"), Width("?"));
  EXPECT_GT(Width("\x80"), 0);
  HFONT bold = PinnedFont(-13, FW_BOLD);
  HGDIOBJ old = SelectObject(DC(), bold);
  int boldWidth = Width("Channel");
  SelectObject(DC(), old);
  DeleteObject(bold);
  EXPECT_GT(boldWidth, w1);
}

TEST_F(GdiText, DrawnInkStaysInsideTheMeasuredCell) {
  SetBkMode(DC(), TRANSPARENT);
  TextOut(DC(), 10, 10, "Hamburg 11.493 H", 16);
  RECT ink = FCanvas.InkBox(kWhite);
  int w = Width("Hamburg 11.493 H");
  EXPECT_GE(ink.Left, 10);
  EXPECT_LE(ink.Right, 10 + w + 1);
  EXPECT_GE(ink.Top, 10);
  EXPECT_LE(ink.Bottom, 10 + LineHeight());
  EXPECT_GT(ink.Right - ink.Left, w - 4);
  // Anti-aliased: some pixels are neither black nor white.
  int grey = 0;
  for (int y = ink.Top; y < ink.Bottom; ++y)
    for (int x = ink.Left; x < ink.Right; ++x) grey += FCanvas.At(x, y) != kWhite && FCanvas.At(x, y) != kBlack;
  EXPECT_GT(grey, 0);
}

TEST_F(GdiText, DrawingIsDeterministic) {
  SetBkMode(DC(), TRANSPARENT);
  TextOut(DC(), 3, 3, "Astra 19.2E", 11);
  auto first = FCanvas.Snapshot();
  FCanvas.Clear(kWhite);
  TextOut(DC(), 3, 3, "Astra 19.2E", 11);
  EXPECT_EQ(FCanvas.Snapshot(), first);
}

TEST_F(GdiText, DrawTextAlignment) {
  struct Case {
    UINT Format;
    const char* Text;
  };
  const RECT r{10, 5, 190, 65};
  const Case cases[] = {
      {DT_LEFT | DT_SINGLELINE, "Left"},
      {DT_CENTER | DT_SINGLELINE, "Centre"},
      {DT_RIGHT | DT_SINGLELINE, "Right"},
      {DT_LEFT | DT_SINGLELINE | DT_VCENTER, "Middle"},
      {DT_RIGHT | DT_SINGLELINE | DT_BOTTOM, "Bottom"},
      {DT_LEFT | DT_VCENTER, "Not centred"},  // only single lines centre vertically
  };
  for (const Case& k : cases) {
    int w = Width(k.Text), h = LineHeight();
    RECT expect{r.Left, r.Top, r.Left + w, r.Top + h};
    if (k.Format & DT_CENTER) expect.Left = r.Left + (r.Width() - w) / 2;
    if (k.Format & DT_RIGHT) expect.Left = r.Right - w;
    if ((k.Format & DT_SINGLELINE) && (k.Format & DT_VCENTER)) expect.Top = r.Top + (r.Height() - h) / 2;
    if ((k.Format & DT_SINGLELINE) && (k.Format & DT_BOTTOM)) expect.Top = r.Bottom - h;
    expect.Right = expect.Left + w;
    expect.Bottom = expect.Top + h;
    EXPECT_EQ(OpaqueBox(k.Text, r, k.Format), expect) << k.Text;
  }
}

TEST_F(GdiText, CalcRectMatchesTheDrawnExtent) {
  const char* texts[] = {"Single", "Two\nlines", "Three\r\nshort\rlines", "Word wrapped text that does not fit"};
  for (const char* t : texts) {
    RECT calc{20, 10, 120, 10};
    int h = DrawText(DC(), t, -1, &calc, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(h, calc.Bottom - calc.Top) << t;
    EXPECT_EQ(h % LineHeight(), 0) << t;
    RECT drawn = OpaqueBox(t, {20, 10, 120, 80}, DT_WORDBREAK);
    EXPECT_EQ(drawn.Left, calc.Left) << t;
    EXPECT_EQ(drawn.Top, calc.Top) << t;
    EXPECT_EQ(drawn.Right, calc.Right) << t;
    EXPECT_EQ(drawn.Bottom, calc.Bottom) << t;
  }
  RECT multi{0, 0, 500, 0};
  EXPECT_EQ(DrawText(DC(), "a\nbb\nccc", -1, &multi, DT_CALCRECT), 3 * LineHeight());
  EXPECT_EQ(multi.Right, Width("ccc"));
  RECT single{0, 0, 500, 0};
  DrawText(DC(), "a\nbb", -1, &single, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(single.Bottom, LineHeight());
  RECT empty{5, 5, 50, 50};
  EXPECT_EQ(DrawText(DC(), "", 0, &empty, DT_CALCRECT), 0);
  EXPECT_EQ(DrawText(nullptr, "x", 1, &empty, 0), 0);
}

TEST_F(GdiText, DrawTextClipsToItsRectangleUnlessNoClip) {
  SetBkMode(DC(), TRANSPARENT);
  RECT r{10, 10, 30, 30};
  DrawText(DC(), "Wide clipped text", -1, &r, DT_SINGLELINE);
  RECT ink = FCanvas.InkBox(kWhite);
  EXPECT_GE(ink.Left, 10);
  EXPECT_LE(ink.Right, 30);
  EXPECT_GT(ink.Right, 20);
  FCanvas.Clear(kWhite);
  DrawText(DC(), "Wide clipped text", -1, &r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(FCanvas.InkBox(kWhite).Right, 60);
  // The DC's own clip still applies.
  FCanvas.Clear(kWhite);
  IntersectClipRect(DC(), 0, 0, 15, 80);
  DrawText(DC(), "Wide clipped text", -1, &r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_LE(FCanvas.InkBox(kWhite).Right, 15);
  SelectClipRgn(DC(), nullptr);
}

TEST_F(GdiText, WordBreakTable) {
  struct Case {
    const char* Text;
    const char* FitWidthOf;  // the rectangle is exactly as wide as this text
    UINT Extra;
    int Lines;
  };
  const Case cases[] = {
      {"aaa bbb ccc", "aaa bbb ccc", 0, 1},
      {"aaa bbb ccc", "aaa bbb", 0, 2},
      {"aaa bbb ccc", "aaa", 0, 3},
      {"aaa   bbb", "aaa", 0, 2},          // blanks at the break vanish
      {"abcdefghij xy", "abcd", 0, 2},     // a long word stands alone
      {"abcdefghij", "abcd", DT_EDITCONTROL, 3},  // or is broken like an edit control does
      {"one\ntwo three", "two three", 0, 2},
  };
  for (const Case& k : cases) {
    RECT r{0, 0, Width(k.FitWidthOf), 0};
    int h = DrawText(DC(), k.Text, -1, &r, DT_WORDBREAK | DT_CALCRECT | k.Extra);
    EXPECT_EQ(h, k.Lines * LineHeight()) << k.Text << " in " << k.FitWidthOf;
  }
}

TEST_F(GdiText, EllipsesShortenToFit) {
  char buf[64];
  std::strcpy(buf, "Transponder list of satellite");
  RECT r{0, 0, Width("Transponder li"), 20};
  DrawTextEx(DC(), buf, -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, nullptr);
  EXPECT_EQ(std::string(buf).substr(std::strlen(buf) - 3), "...");
  EXPECT_LE(Width(buf), r.Right);
  EXPECT_EQ(std::strncmp(buf, "Transponder", 11), 0);
  char path[64];
  std::strcpy(path, "C:\\Receiver\\Backups\\channels.dat");
  RECT p{0, 0, Width("C:\\Rec...\\channels.dat") + 2, 20};
  DrawTextEx(DC(), path, -1, &p, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING, nullptr);
  std::string s = path;
  EXPECT_NE(s.find("..."), std::string::npos) << s;
  EXPECT_EQ(s.substr(s.size() - 13), "\\channels.dat") << s;
  EXPECT_LE(Width(path), p.Right);
  // Word-broken text is cut with an ellipsis only at its end, and an edit control shows no
  // partly visible line: the last whole line takes the ellipsis.
  RECT two{0, 0, Width("aaa bbb"), 2 * LineHeight() + LineHeight() / 2};
  SetTextColor(DC(), kBlack);
  SetBkMode(DC(), OPAQUE);
  SetBkColor(DC(), kRed);
  FCanvas.Clear(kWhite);
  DrawText(DC(), "aaa bbb ccc ddd eee", -1, &two, DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS);
  RECT drawn = RedBox();
  EXPECT_EQ(drawn.Bottom, 2 * LineHeight());
  EXPECT_LE(drawn.Right, two.Right);
  // Text that fits is left alone.
  char fits[16] = "Short";
  RECT wide{0, 0, 150, 20};
  DrawTextEx(DC(), fits, -1, &wide, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, nullptr);
  EXPECT_STREQ(fits, "Short");
}

TEST_F(GdiText, PrefixesAreHiddenAndUnderlined) {
  RECT calc{0, 0, 300, 0};
  DrawText(DC(), "&File", -1, &calc, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(calc.Right, Width("File"));
  calc = {0, 0, 300, 0};
  DrawText(DC(), "&File", -1, &calc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(calc.Right, Width("&File"));
  calc = {0, 0, 300, 0};
  DrawText(DC(), "Save && exit", -1, &calc, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(calc.Right, Width("Save & exit"));
  // The underline sits one pixel below the baseline under the marked character only.
  SetBkMode(DC(), TRANSPARENT);
  SetTextColor(DC(), kRed);
  RECT r{10, 10, 200, 40};
  DrawText(DC(), "E&xit", -1, &r, DT_SINGLELINE | DT_PREFIXONLY);
  int y = 10 + FMetrics.tmAscent + 1;
  int x0 = 10 + Width("E"), x1 = 10 + Width("Ex");
  for (int x = 0; x < 200; ++x) EXPECT_EQ(FCanvas.At(x, y) == kRed, x >= x0 && x < x1) << x;
  EXPECT_EQ(FCanvas.Count(kRed), x1 - x0);
}

TEST_F(GdiText, DrawTextExMargins) {
  DRAWTEXTPARAMS params;
  params.iLeftMargin = 7;
  params.iRightMargin = 5;
  char text[] = "Margins";
  RECT calc{10, 0, 150, 0};
  DrawTextEx(DC(), text, -1, &calc, DT_CALCRECT | DT_SINGLELINE, &params);
  EXPECT_EQ(calc.Right, 10 + 7 + Width("Margins") + 5);
  EXPECT_EQ(params.uiLengthDrawn, 7u);
  FCanvas.Clear(kWhite);
  SetBkMode(DC(), OPAQUE);
  SetBkColor(DC(), kRed);
  RECT r{10, 0, 150, 20};
  DrawTextEx(DC(), text, -1, &r, DT_SINGLELINE | DT_RIGHT, &params);
  EXPECT_EQ(RedBox().Right, 145);
  DRAWTEXTPARAMS wrong;
  wrong.cbSize = 3;
  EXPECT_EQ(DrawTextEx(DC(), text, -1, &r, DT_SINGLELINE, &wrong), 0);
}

TEST_F(GdiText, TabsExpand) {
  RECT r{0, 0, 400, 0};
  DrawText(DC(), "a\tb", -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
  EXPECT_EQ(r.Right, 8 * FMetrics.tmAveCharWidth + Width("b"));
  RECT box = OpaqueBox("a\tb", {0, 0, 200, 40}, DT_SINGLELINE | DT_EXPANDTABS | DT_TABSTOP | (4 << 8));
  EXPECT_EQ(box.Right, 4 * FMetrics.tmAveCharWidth + Width("b"));
  int stops[] = {50, 120};
  DWORD ext = GetTabbedTextExtent(DC(), "x\ty\tz", 5, 2, stops);
  EXPECT_EQ(LOWORD(ext), 120 + Width("z"));
  EXPECT_EQ(HIWORD(ext), LineHeight());
  int interval = 30;
  ext = GetTabbedTextExtent(DC(), "x\ty", 3, 1, &interval);
  EXPECT_EQ(LOWORD(ext), 30 + Width("y"));
  LONG drawn = TabbedTextOut(DC(), 0, 0, "x\ty", 3, 1, &interval, 0);
  EXPECT_EQ(LOWORD(drawn), LOWORD(ext));
}

TEST_F(GdiText, ExtTextOutOpaqueClippedAndAligned) {
  SetBkColor(DC(), kRed);
  SetBkMode(DC(), TRANSPARENT);
  RECT r{5, 5, 25, 20};
  ExtTextOut(DC(), 5, 5, ETO_OPAQUE | ETO_CLIPPED, &r, "Clipped text", 12, nullptr);
  RECT ink = FCanvas.InkBox(kWhite);
  EXPECT_EQ(ink, r);
  FCanvas.Clear(kWhite);
  SetBkMode(DC(), OPAQUE);
  SetTextAlign(DC(), TA_RIGHT | TA_BOTTOM);
  ExtTextOut(DC(), 100, 50, 0, nullptr, "Abc", 3, nullptr);
  EXPECT_EQ(RedBox(), Rect(100 - Width("Abc"), 50 - LineHeight(), 100, 50));
  FCanvas.Clear(kWhite);
  SetTextAlign(DC(), TA_CENTER | TA_BASELINE);
  ExtTextOut(DC(), 100, 50, 0, nullptr, "Abcd", 4, nullptr);
  EXPECT_EQ(RedBox(), Rect(100 - Width("Abcd") / 2, 50 - FMetrics.tmAscent, 100 - Width("Abcd") / 2 + Width("Abcd"),
                           50 - FMetrics.tmAscent + LineHeight()));
  // Updating the current position moves it past the text.
  SetTextAlign(DC(), TA_UPDATECP);
  MoveToEx(DC(), 10, 10, nullptr);
  TextOut(DC(), 0, 0, "ab", 2);
  POINT cp;
  GetCurrentPositionEx(DC(), &cp);
  EXPECT_EQ(cp, Point(10 + Width("ab"), 10));
  SetTextAlign(DC(), TA_LEFT | TA_TOP);
  // A spacing array places each character.
  FCanvas.Clear(kWhite);
  int dx[] = {20, 20, 20};
  ExtTextOut(DC(), 0, 0, 0, nullptr, "iii", 3, dx);
  EXPECT_EQ(RedBox(), Rect(0, 0, 60, LineHeight()));
}

TEST_F(GdiText, ExtentExFitsCharacters) {
  int fit = -1;
  int dx[8];
  SIZE size;
  int limit = Width("abc");
  EXPECT_TRUE(GetTextExtentExPoint(DC(), "abcdefgh", 8, limit, &fit, dx, &size));
  EXPECT_EQ(fit, 3);
  EXPECT_EQ(dx[2], limit);
  EXPECT_EQ(size.cx, Width("abcdefgh"));
  EXPECT_TRUE(GetTextExtentExPoint(DC(), "abcdefgh", 8, -1, nullptr, dx, &size));
  EXPECT_EQ(dx[7], size.cx);
  for (int i = 1; i < 8; ++i) EXPECT_GE(dx[i], dx[i - 1]);
  int widths[3];
  EXPECT_TRUE(GetCharWidth32(DC(), 'a', 'c', widths));
  EXPECT_EQ(widths[0], Width("a"));
  EXPECT_FALSE(GetCharWidth32(DC(), 'c', 'a', widths));
}

TEST_F(GdiText, JustificationWidensBreaks) {
  SetBkMode(DC(), OPAQUE);
  SetBkColor(DC(), kRed);
  SetTextJustification(DC(), 10, 1);
  TextOut(DC(), 0, 0, "a b", 3);
  EXPECT_EQ(RedBox().Right, Width("a b") + 10);
  SetTextJustification(DC(), 0, 0);
}

TEST_F(GdiText, UnderlineSpansTheTextBelowTheBaseline) {
  LOGFONT lf;
  GetObject(FFont, sizeof lf, &lf);
  lf.lfUnderline = 1;
  HFONT underlined = CreateFontIndirect(&lf);
  SelectObject(DC(), underlined);
  SetBkMode(DC(), TRANSPARENT);
  TextOut(DC(), 10, 10, "mmmm", 4);
  int w = Width("mmmm");
  SelectObject(DC(), FFont);
  DeleteObject(underlined);
  int best = 0;
  for (int y = 10 + FMetrics.tmAscent; y < 10 + LineHeight(); ++y) {
    int dark = 0;
    for (int x = 10; x < 10 + w; ++x) dark += GetRValue(FCanvas.At(x, y)) < 128;
    best = std::max(best, dark);
  }
  EXPECT_EQ(best, w);
}

TEST_F(GdiText, RotatedTextRunsUpwards) {
  HFONT up = PinnedFont(-13, FW_NORMAL, 900);
  SelectObject(DC(), up);
  SetBkMode(DC(), TRANSPARENT);
  TextOut(DC(), 20, 75, "Vertical", 8);
  RECT ink = FCanvas.InkBox(kWhite);
  SelectObject(DC(), FFont);
  DeleteObject(up);
  EXPECT_GT(ink.Bottom - ink.Top, ink.Right - ink.Left);
  EXPECT_LE(ink.Bottom, 76);
  EXPECT_GE(ink.Left, 19);
}

TEST_F(GdiText, MonochromeTargetsStayTwoColoured) {
  HDC mono = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateBitmap(60, 20, 1, 1, nullptr);
  SelectObject(mono, bmp);
  RECT all{0, 0, 60, 20};
  FillRect(mono, &all, GetStockObject(WHITE_BRUSH));
  SelectObject(mono, FFont);
  SetBkMode(mono, TRANSPARENT);
  TextOut(mono, 2, 2, "Mask", 4);
  int black = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x) {
      COLORREF c = GetPixel(mono, x, y);
      ASSERT_TRUE(c == kBlack || c == kWhite);
      black += c == kBlack;
    }
  EXPECT_GT(black, 10);
  DeleteDC(mono);
  DeleteObject(bmp);
}

TEST_F(GdiText, OutlinedTextThroughPaths) {
  BeginPath(DC());
  SetBkMode(DC(), TRANSPARENT);
  TextOut(DC(), 10, 10, "O", 1);
  EndPath(DC());
  EXPECT_EQ(FCanvas.Count(kBlack), 0);
  HPEN pen = CreatePen(PS_SOLID, 1, kRed);
  SelectObject(DC(), pen);
  EXPECT_TRUE(StrokePath(DC()));
  RECT ink = FCanvas.InkBox(kWhite);
  EXPECT_GT(ink.Right - ink.Left, 5);
  EXPECT_GE(ink.Left, 10);
  EXPECT_GE(ink.Top, 10);
  EXPECT_GT(FCanvas.Count(kRed), 10);
  SelectObject(DC(), GetStockObject(BLACK_PEN));
  DeleteObject(pen);
}

// DrawText inside an open path adds the text where it would have drawn it; nothing is drawn.
TEST_F(GdiText, DrawTextJoinsAnOpenPath) {
  RECT r{10, 10, 110, 40};
  BeginPath(DC());
  DrawText(DC(), "O", 1, &r, DT_RIGHT);
  EndPath(DC());
  EXPECT_EQ(FCanvas.Count(kBlack), 0);
  SelectClipPath(DC(), RGN_COPY);
  HBRUSH red = CreateSolidBrush(kRed);
  RECT all{0, 0, 200, 100};
  FillRect(DC(), &all, red);
  SelectClipRgn(DC(), nullptr);
  DeleteObject(red);
  RECT ink = FCanvas.InkBox(kWhite);
  EXPECT_GT(FCanvas.Count(kRed), 10);
  EXPECT_LE(ink.Right, 110);
  EXPECT_GT(ink.Left, 90);
}

}  // namespace
