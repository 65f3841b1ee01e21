#include <cstring>

#include "tests/platform/forms/GraphicsTestSupport.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Colours

using GraphicsColors = GraphicsTestBase;

TEST_F(GraphicsColors, ColorToRGBResolvesSystemColoursAndPassesTheRest) {
  struct Case {
    TColor Color;
    COLORREF Expected;
  } cases[] = {
      {clRed, RGB(255, 0, 0)},
      {clNavy, RGB(0, 0, 128)},
      {clBtnFace, GetSysColor(COLOR_BTNFACE)},
      {clWindowText, GetSysColor(COLOR_WINDOWTEXT)},
      {clHighlight, GetSysColor(COLOR_HIGHLIGHT)},
      {clNone, 0x1FFFFFFFu},
      {clDefault, 0x20000000u},
  };
  for (const Case& c : cases) EXPECT_EQ(ColorToRGB(c.Color), c.Expected) << ColorToString(c.Color);
}

TEST_F(GraphicsColors, SystemColoursFollowSetSysColors) {
  int index = COLOR_BTNFACE;
  COLORREF pink = RGB(250, 10, 200);
  SetSysColors(1, &index, &pink);
  EXPECT_EQ(ColorToRGB(clBtnFace), pink);
  ResetSysColors();
  EXPECT_NE(ColorToRGB(clBtnFace), pink);
}

TEST_F(GraphicsColors, SpecialValuesAreThoseOfThePlatform) {
  EXPECT_EQ(clDefault, 0x20000000);
  EXPECT_EQ(clNone, 0x1FFFFFFF);
  EXPECT_EQ(static_cast<uint32_t>(clBtnFace), 0xFF000000u + COLOR_BTNFACE);
  EXPECT_EQ(static_cast<uint32_t>(cl3DDkShadow), 0xFF000000u + COLOR_3DDKSHADOW);
  EXPECT_EQ(clWindow, -16777211) << "the integer colour values keep";
  EXPECT_LT(clInfoBk, 0);
}

TEST_F(GraphicsColors, NamesRoundTripAndNumbersParse) {
  for (TColor c : {clRed, clBtnFace, clNone, clDefault, cl3DLight, clMoneyGreen})
    EXPECT_EQ(StringToColor(ColorToString(c)), c) << ColorToString(c);
  EXPECT_EQ(ColorToString(0x00123456), "$00123456");
  EXPECT_EQ(StringToColor("$00123456"), 0x00123456);
  EXPECT_EQ(StringToColor("clbtnface"), clBtnFace);
  EXPECT_EQ(StringToColor("255"), clRed);
  EXPECT_THROW(StringToColor("clNotAColour"), EConvertError);
}

// ---------------------------------------------------------------------------------------------
// Font, pen, brush

class GraphicsObjects : public GraphicsTestBase {
 protected:
  int FChanges = 0;
  template <class T>
  void Count(T& obj) {
    obj.OnChange = [this](TObject*) { ++FChanges; };
  }
};

LOGFONT LogOf(HFONT font) {
  LOGFONT lf;
  EXPECT_EQ(GetObject(font, sizeof(lf), &lf), int(sizeof(lf)));
  return lf;
}

TEST_F(GraphicsObjects, FontDefaultsAreEightPointsAtNinetySixPixelsAnInch) {
  TFont font;
  EXPECT_EQ(font.GetSize(), 8);
  EXPECT_EQ(font.GetHeight(), -11);
  EXPECT_EQ(font.GetColor(), clWindowText);
  EXPECT_EQ(font.GetStyle(), 0u);
  EXPECT_EQ(font.GetCharset(), DEFAULT_CHARSET);
  EXPECT_FALSE(font.GetName().empty());
}

TEST_F(GraphicsObjects, FontSizeAndHeightConvert) {
  struct Case {
    Integer Size, Height;
  } cases[] = {{8, -11}, {10, -13}, {12, -16}, {9, -12}};
  for (const Case& c : cases) {
    TFont font;
    font.SetSize(c.Size);
    EXPECT_EQ(font.GetHeight(), c.Height) << c.Size;
    font.SetHeight(c.Height);
    EXPECT_EQ(font.GetSize(), c.Size) << c.Height;
  }
}

TEST_F(GraphicsObjects, EachFontChangeTellsOnceAndTheHandleFollows) {
  struct Case {
    const char* Name;
    void (*Apply)(TFont&);
    bool (*Check)(const LOGFONT&);
  } cases[] = {
      {"size", [](TFont& f) { f.SetSize(14); }, [](const LOGFONT& lf) { return lf.lfHeight == -19; }},
      {"bold", [](TFont& f) { f.SetStyle(fsBold); }, [](const LOGFONT& lf) { return lf.lfWeight == FW_BOLD; }},
      {"italic underline", [](TFont& f) { f.SetStyle(fsItalic | fsUnderline); },
       [](const LOGFONT& lf) { return lf.lfItalic && lf.lfUnderline && !lf.lfStrikeOut; }},
      {"name", [](TFont& f) { f.SetName("DejaVu Sans Mono"); },
       [](const LOGFONT& lf) { return std::strcmp(lf.lfFaceName, "DejaVu Sans Mono") == 0; }},
      {"charset", [](TFont& f) { f.SetCharset(GB2312_CHARSET); }, [](const LOGFONT& lf) { return lf.lfCharSet == GB2312_CHARSET; }},
      {"pitch", [](TFont& f) { f.SetPitch(fpFixed); }, [](const LOGFONT& lf) { return (lf.lfPitchAndFamily & 3) == FIXED_PITCH; }},
      {"orientation", [](TFont& f) { f.SetOrientation(900); }, [](const LOGFONT& lf) { return lf.lfEscapement == 900; }},
  };
  for (const Case& c : cases) {
    TFont font;
    Count(font);
    font.GetHandle();
    FChanges = 0;
    c.Apply(font);
    EXPECT_EQ(FChanges, 1) << c.Name;
    EXPECT_FALSE(font.HandleAllocated()) << c.Name;
    EXPECT_TRUE(c.Check(LogOf(font.GetHandle()))) << c.Name;
    c.Apply(font);
    EXPECT_EQ(FChanges, 1) << c.Name << ": the same value again is no change";
  }
}

TEST_F(GraphicsObjects, FontColourChangeKeepsTheHandle) {
  TFont font;
  Count(font);
  HFONT h = font.GetHandle();
  font.SetColor(clRed);
  EXPECT_EQ(FChanges, 1);
  EXPECT_EQ(font.GetHandle(), h);
  EXPECT_EQ(GetObjectType(h), OBJ_FONT);
}

TEST_F(GraphicsObjects, OldFontHandleLivesThroughOnChange) {
  TFont font;
  HFONT old = font.GetHandle();
  DWORD typeDuringEvent = 0;
  font.OnChange = [&](TObject*) { typeDuringEvent = GetObjectType(old); };
  font.SetSize(20);
  EXPECT_EQ(typeDuringEvent, OBJ_FONT);
  EXPECT_EQ(GetObjectType(old), 0u) << "deleted after the event";
}

TEST_F(GraphicsObjects, FontSetHandleAdoptsTheFont) {
  HFONT h = CreateFont(-20, 0, 0, 0, FW_BOLD, 1, 0, 0, ANSI_CHARSET, 0, 0, 0, FIXED_PITCH, "DejaVu Sans Mono");
  TFont font;
  Count(font);
  font.SetHandle(h);
  EXPECT_EQ(FChanges, 1);
  EXPECT_EQ(font.GetName(), "DejaVu Sans Mono");
  EXPECT_EQ(font.GetHeight(), -20);
  EXPECT_EQ(font.GetStyle(), TFontStyles(fsBold | fsItalic));
  EXPECT_EQ(font.GetPitch(), fpFixed);
  EXPECT_EQ(font.GetHandle(), h);
}

TEST_F(GraphicsObjects, FontAssignCopiesAndRefusesOtherClasses) {
  TFont a, b;
  a.SetName("DejaVu Serif");
  a.SetSize(11);
  a.SetStyle(fsBold | fsStrikeOut);
  a.SetColor(clBlue);
  Count(b);
  b.Assign(&a);
  EXPECT_EQ(FChanges, 1);
  EXPECT_EQ(b.GetName(), "DejaVu Serif");
  EXPECT_EQ(b.GetSize(), 11);
  EXPECT_EQ(b.GetStyle(), TFontStyles(fsBold | fsStrikeOut));
  EXPECT_EQ(b.GetColor(), clBlue);
  TPen pen;
  EXPECT_THROW(b.Assign(&pen), EConvertError);
  EXPECT_EQ(b.GetName(), "DejaVu Serif");
}

// Painters assign a font for every cell they draw: an equal face keeps the font's handle, while
// listeners still hear of every assignment.
TEST_F(GraphicsObjects, FontAssignOfAnEqualFaceKeepsTheHandle) {
  TFont a, b;
  a.SetName("DejaVu Serif");
  b.Assign(&a);
  const HFONT handle = b.GetHandle();
  Count(b);
  b.Assign(&a);
  a.SetColor(clRed);
  b.Assign(&a);
  EXPECT_EQ(FChanges, 2);
  EXPECT_EQ(b.GetColor(), clRed);
  EXPECT_EQ(b.GetHandle(), handle);
  a.SetStyle(fsItalic);
  b.Assign(&a);
  EXPECT_EQ(FChanges, 3);
  EXPECT_NE(b.GetHandle(), handle);
}

TEST_F(GraphicsObjects, PenHandleCarriesStyleWidthAndColour) {
  TPen pen;
  Count(pen);
  pen.SetColor(clBtnShadow);
  pen.SetWidth(3);
  pen.SetStyle(psDash);
  EXPECT_EQ(FChanges, 3);
  LOGPEN lp;
  ASSERT_EQ(GetObject(pen.GetHandle(), sizeof(lp), &lp), int(sizeof(lp)));
  EXPECT_EQ(lp.lopnStyle, PS_DASH);
  EXPECT_EQ(lp.lopnWidth.X, 3);
  EXPECT_EQ(lp.lopnColor, GetSysColor(COLOR_BTNSHADOW));
  HPEN h = pen.GetHandle();
  pen.SetMode(pmXor);
  EXPECT_EQ(FChanges, 4);
  EXPECT_EQ(pen.GetHandle(), h) << "the mode is the DC's";
}

TEST_F(GraphicsObjects, PenModesMapToRop2) {
  EXPECT_EQ(PenModeToRop2(pmCopy), R2_COPYPEN);
  EXPECT_EQ(PenModeToRop2(pmNotXor), R2_NOTXORPEN);
  EXPECT_EQ(PenModeToRop2(pmXor), R2_XORPEN);
  EXPECT_EQ(PenModeToRop2(pmNot), R2_NOT);
  EXPECT_EQ(PenModeToRop2(pmBlack), R2_BLACK);
}

TEST_F(GraphicsObjects, BrushStylesMakeTheirKindOfBrush) {
  struct Case {
    TBrushStyle Style;
    UINT LogStyle;
    ULONG_PTR Hatch;
  } cases[] = {{bsSolid, BS_SOLID, 0},          {bsClear, BS_NULL, 0},          {bsHorizontal, BS_HATCHED, HS_HORIZONTAL},
               {bsCross, BS_HATCHED, HS_CROSS}, {bsDiagCross, BS_HATCHED, HS_DIAGCROSS}, {bsBDiagonal, BS_HATCHED, HS_BDIAGONAL}};
  for (const Case& c : cases) {
    TBrush brush;
    brush.SetColor(clRed);
    brush.SetStyle(c.Style);
    LOGBRUSH lb;
    ASSERT_EQ(GetObject(brush.GetHandle(), sizeof(lb), &lb), int(sizeof(lb)));
    EXPECT_EQ(lb.lbStyle, c.LogStyle) << c.Style;
    if (c.LogStyle == BS_HATCHED) {
      EXPECT_EQ(lb.lbHatch, c.Hatch) << c.Style;
    }
  }
}

TEST_F(GraphicsObjects, ColourMakesAClearBrushSolid) {
  TBrush brush;
  brush.SetStyle(bsClear);
  Count(brush);
  brush.SetColor(clRed);
  EXPECT_EQ(brush.GetStyle(), bsSolid);
  EXPECT_EQ(FChanges, 1);
}

TEST_F(GraphicsObjects, BrushBitmapMakesAPatternFromACopy) {
  TBrush brush;
  {
    TBitmap pattern;
    FillBitmap(pattern, 8, 8, clRed);
    brush.SetBitmap(&pattern);
  }
  ASSERT_NE(brush.GetBitmap(), nullptr);
  LOGBRUSH lb;
  ASSERT_EQ(GetObject(brush.GetHandle(), sizeof(lb), &lb), int(sizeof(lb)));
  EXPECT_EQ(lb.lbStyle, BS_PATTERN);
  TBitmap target;
  target.SetSize(4, 4);
  target.GetCanvas()->GetBrush()->Assign(&brush);
  target.GetCanvas()->FillRect(Rect(0, 0, 4, 4));
  EXPECT_EQ(PixelOf(target, 2, 2), clRed);
  brush.SetStyle(bsSolid);
  EXPECT_EQ(brush.GetBitmap(), nullptr);
}

}  // namespace
