// The canvas wrapper, regions, colour blends, the brush cache and the colour-change notifier.
#include <stdexcept>

#include "LookAndFeelTestSupport.h"
#include "platform/os/Windows.h"

namespace {

using GraphicsCanvas = TLookAndFeelTest;

struct TFlagCase {
  TqvTextFlags Flags;
  UINT Expected;
};

TEST(GraphicsTextFlags, MapToDrawTextFlags) {
  const TFlagCase cases[] = {
      {0, DT_NOPREFIX},
      {tfLeft | tfTop, DT_NOPREFIX},
      {tfRight | tfBottom, DT_NOPREFIX | DT_RIGHT | DT_BOTTOM},
      {tfHCenter | tfVCenter | tfSingleLine, DT_NOPREFIX | DT_CENTER | DT_VCENTER | DT_SINGLELINE},
      {tfShowPrefix, 0},
      {tfWordBreak, DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL},
      {tfNoClip | tfExpandTabs | tfEndEllipsis, DT_NOPREFIX | DT_NOCLIP | DT_EXPANDTABS | DT_END_ELLIPSIS},
      {tfCalcOnly | tfPathEllipsis, DT_NOPREFIX | DT_CALCRECT | DT_PATH_ELLIPSIS},
  };
  for (const TFlagCase& c : cases) EXPECT_EQ(TextFlagsToDrawTextFlags(c.Flags), c.Expected) << std::hex << c.Flags;
}

TEST_F(GraphicsCanvas, EmptyTextDrawsNothing) {
  Canvas()->DrawText("", Rect(0, 0, 64, 64), tfLeft, true);
  Canvas()->DrawText("", Rect(0, 0, 64, 64), tfLeft, false);
  EXPECT_EQ(InkBox(), TRect{});
}

TEST_F(GraphicsCanvas, ShortSingleLineIsCentredWithoutClipping) {
  Canvas()->GetFont()->SetColor(clBlack);
  const TSize size = Canvas()->TextExtent("Ab");
  const TRect r{4, 4, 60, 60};
  Canvas()->GetBrush()->SetStyle(bsClear);
  Canvas()->DrawText("Ab", r, tfHCenter | tfVCenter | tfSingleLine, true);
  const TRect ink = InkBox();
  const Integer x = (r.Left + r.Right - size.cx) / 2, y = (r.Top + r.Bottom - size.cy) / 2;
  EXPECT_GE(ink.Left, x);
  EXPECT_LE(ink.Right, x + size.cx + 1);
  EXPECT_GE(ink.Top, y);
  EXPECT_LE(ink.Bottom, y + size.cy);
}

TEST_F(GraphicsCanvas, WideTextIsClippedAndLeftAligned) {
  Canvas()->GetFont()->SetColor(clBlack);
  Canvas()->GetBrush()->SetStyle(bsClear);
  const TRect r{10, 10, 30, 40};
  Canvas()->DrawText("WWWWWWWWWWWW", r, tfHCenter | tfVCenter | tfSingleLine, true);
  const TRect ink = InkBox();
  EXPECT_GE(ink.Left, r.Left);
  EXPECT_LE(ink.Right, r.Right);
  EXPECT_LE(ink.Left, r.Left + 2) << "left-aligned when it does not fit";
}

TEST_F(GraphicsCanvas, DisabledTextIsEmbossedAndTheFontColourComesBack) {
  Canvas()->GetFont()->SetColor(clRed);
  Canvas()->DrawText("Mm", Rect(0, 0, 64, 64), tfLeft | tfTop | tfSingleLine, false);
  EXPECT_GT(Count(clBtnHighlight), 0);
  EXPECT_GT(Count(clBtnShadow), 0);
  EXPECT_EQ(Count(clRed), 0);
  EXPECT_EQ(Canvas()->GetFont()->GetColor(), clRed);
}

// The embossed copy lies one pixel right and down of the shadowed one, so right- and
// bottom-aligned disabled text moves one pixel left and up and its highlight ends where the
// enabled text ends.
TEST_F(GraphicsCanvas, DisabledRightBottomTextMovesOnePixelLeftAndUp) {
  const TRect r{4, 4, 60, 60};
  Canvas()->GetFont()->SetColor(clBlack);
  Canvas()->GetBrush()->SetStyle(bsClear);
  Canvas()->DrawText("Mm", r, tfRight | tfBottom | tfSingleLine, true);
  const TRect enabled = InkBox();
  Clear();
  Canvas()->DrawText("Mm", r, tfRight | tfBottom | tfSingleLine, false);
  const TRect disabled = InkBox();
  EXPECT_EQ(disabled, (TRect{enabled.Left - 1, enabled.Top - 1, enabled.Right, enabled.Bottom}));
}

TEST_F(GraphicsCanvas, WordBreakBottomPutsTheLastLineAtTheBottom) {
  Canvas()->GetFont()->SetColor(clBlack);
  Canvas()->GetBrush()->SetStyle(bsClear);
  const TRect r{0, 0, 40, 64};
  Canvas()->DrawText("aaa bbb ccc ddd", r, tfWordBreak | tfBottom, true);
  TRect calc{0, 0, 40, 0};
  Canvas()->CalcTextRect("aaa bbb ccc ddd", calc, tfWordBreak);
  const TRect ink = InkBox();
  EXPECT_GE(ink.Top, r.Bottom - calc.Height());
  EXPECT_GT(calc.Height(), Canvas()->TextHeight("a")) << "the text takes several lines";
}

TEST_F(GraphicsCanvas, FrameRectWithDefaultKeepsTheBrushColour) {
  Canvas()->SetBrushColor(clLime);
  Canvas()->FrameRect(Rect(2, 2, 10, 10), clDefault, 2, qvBorder(bLeft) | qvBorder(bBottom));
  EXPECT_EQ(PixelRGB(3, 5), RGBOf(clLime));
  EXPECT_EQ(PixelRGB(5, 9), RGBOf(clLime));
  EXPECT_EQ(PixelRGB(8, 3), RGBOf(Paper)) << "no right or top band";
}

struct TEdgeCase {
  bool Sunken, Outer;
  TColor LeftTop, RightBottom;
};

TEST_F(GraphicsCanvas, EdgesUseTheColourTable) {
  const TEdgeCase cases[] = {{true, true, clBtnShadow, clBtnHighlight},
                             {true, false, cl3DDkShadow, cl3DLight},
                             {false, true, cl3DLight, cl3DDkShadow},
                             {false, false, clBtnHighlight, clBtnShadow}};
  SetSysColors(1, std::array<int, 1>{COLOR_3DLIGHT}.data(), std::array<COLORREF, 1>{RGB(1, 200, 3)}.data());
  for (const TEdgeCase& c : cases) {
    Clear();
    Canvas()->DrawEdge(Rect(0, 0, 10, 10), c.Sunken, c.Outer);
    EXPECT_EQ(PixelRGB(0, 5), RGBOf(c.LeftTop)) << c.Sunken << c.Outer;
    EXPECT_EQ(PixelRGB(5, 0), RGBOf(c.LeftTop));
    EXPECT_EQ(PixelRGB(9, 5), RGBOf(c.RightBottom));
    EXPECT_EQ(PixelRGB(0, 9), RGBOf(c.RightBottom)) << "bottom overwrites the shared corner";
  }
}

class GraphicsTiles : public TLookAndFeelTest {
 protected:
  void SetUp() override {
    TLookAndFeelTest::SetUp();
    FTile = MakeOwned<TBitmap>();
    FTile->SetPixelFormat(pf32bit);
    FTile->SetSize(16, 16);
    FTile->GetCanvas()->GetBrush()->SetColor(clYellow);
    FTile->GetCanvas()->FillRect(Rect(0, 0, 16, 16));
    FTile->GetCanvas()->SetPixel(0, 0, clRed);  // marks each tile's origin
  }
  TOwned<TBitmap> FTile;
};

TEST_F(GraphicsTiles, TwoTilesFillThirtyTwoBySixteen) {
  Canvas()->FillRectWithBitmap(Rect(0, 0, 32, 16), FTile.get());
  EXPECT_EQ(InkBox(), (TRect{0, 0, 32, 16}));
  EXPECT_EQ(Count(clRed), 2);
}

TEST_F(GraphicsTiles, NegativeOriginsLeaveNoUnfilledStrip) {
  POINT old;
  SetWindowOrgEx(Canvas()->GetHandle(), -20, -20, &old);
  Canvas()->FillRectWithBitmap(Rect(-12, -12, 12, 12), FTile.get());
  SetWindowOrgEx(Canvas()->GetHandle(), old.X, old.Y, nullptr);
  EXPECT_EQ(InkBox(), (TRect{8, 8, 32, 32}));
  EXPECT_EQ(Count(Paper), 64 * 64 - 24 * 24);
  EXPECT_EQ(PixelRGB(20, 20), RGBOf(clRed)) << "tiles stay anchored to the origin";
  EXPECT_EQ(PixelRGB(4 + 0, 4 + 0), RGBOf(Paper));
}

TEST_F(GraphicsTiles, EmptyBitmapDrawsNothing) {
  TBitmap empty;
  Canvas()->FillRectWithBitmap(Rect(0, 0, 32, 16), &empty);
  EXPECT_EQ(InkBox(), TRect{});
}

TEST_F(GraphicsCanvas, ClipRegionOfAPlainContextIsTheWholePlane) {
  TOwned<TqvRegion> clip = Canvas()->GetClipRegion();
  RECT box;
  GetRgnBox(clip->GetHandle(), &box);
  EXPECT_EQ(box, (TRect{0, 0, qvMaxClipCoordinate, qvMaxClipCoordinate}));
}

TEST_F(GraphicsCanvas, SettingAClipNeverShiftsTheCallersRegion) {
  POINT old;
  SetWindowOrgEx(Canvas()->GetHandle(), 5, 5, &old);
  TqvRegion mine(10, 10, 20, 20);
  Canvas()->SetClipRegion(&mine, roIntersection);
  RECT box;
  GetRgnBox(mine.GetHandle(), &box);
  EXPECT_EQ(box, (TRect{10, 10, 20, 20}));
  Canvas()->SetBrushColor(clBlue);
  Canvas()->FillRect(Rect(0, 0, 64, 64));
  SetWindowOrgEx(Canvas()->GetHandle(), old.X, old.Y, nullptr);
  EXPECT_EQ(InkBox(), (TRect{5, 5, 15, 15})) << "logical (10,10)-(20,20) at window origin (5,5)";
}

struct TClipCase {
  TqvRegionOperation Operation;
  bool In5, In20, In40, In40x5;  // whether (5,5), (20,20), (40,40) and (40,5) are painted
};

// The current clip (0,0)-(32,32) and the region (16,16)-(48,48), by each operation.
TEST_F(GraphicsCanvas, ClipRegionsCombineByTheirOperation) {
  const TClipCase cases[] = {{roCopy, false, true, true, false},
                             {roUnion, true, true, true, false},
                             {roDifference, true, false, false, false},
                             {roIntersection, false, true, false, false}};
  for (const TClipCase& c : cases) {
    Clear();
    TOwned<TqvRegion> saved = Canvas()->GetClipRegion();
    Canvas()->IntersectClipRect(Rect(0, 0, 32, 32));
    Canvas()->SetClipRegion(MakeOwned<TqvRegion>(16, 16, 48, 48), c.Operation);
    Canvas()->SetBrushColor(clBlue);
    Canvas()->FillRect(Rect(0, 0, 64, 64));
    Canvas()->SetClipRegion(std::move(saved), roCopy);
    const TPoint points[] = {{5, 5}, {20, 20}, {40, 40}, {40, 5}};
    const bool expected[] = {c.In5, c.In20, c.In40, c.In40x5};
    for (size_t i = 0; i < 4; ++i)
      EXPECT_EQ(PixelRGB(points[i].X, points[i].Y) == RGBOf(clBlue), expected[i])
          << "operation " << c.Operation << " at " << points[i];
  }
}

TEST_F(GraphicsCanvas, SavedClipComesBackWithCopy) {
  TOwned<TqvRegion> saved = Canvas()->GetClipRegion();
  Canvas()->IntersectClipRect(Rect(0, 0, 8, 8));
  Canvas()->ExcludeClipRect(Rect(0, 0, 4, 4));
  EXPECT_FALSE(Canvas()->RectVisible(Rect(0, 0, 4, 4)));
  EXPECT_TRUE(Canvas()->RectVisible(Rect(5, 5, 6, 6)));
  Canvas()->SetClipRegion(std::move(saved), roCopy);
  EXPECT_TRUE(Canvas()->RectVisible(Rect(40, 40, 50, 50)));
}

TEST_F(GraphicsCanvas, RegionsCombine) {
  TqvRegion r(0, 0, 10, 10);
  r.Combine(MakeOwned<TqvRegion>(5, 0, 10, 10), roDifference);
  RECT box;
  GetRgnBox(r.GetHandle(), &box);
  EXPECT_EQ(box, (TRect{0, 0, 5, 10}));
  r.Combine(MakeOwned<TqvRegion>(20, 20, 30, 30), roIntersection);
  EXPECT_TRUE(r.IsEmpty());
  EXPECT_TRUE(TqvRegion().IsEmpty());
}

TEST_F(GraphicsCanvas, BlendOfABlackOrWhiteFaceIsTheHighlight) {
  for (COLORREF face : {RGB(0, 0, 0), RGB(255, 255, 255)}) {
    const int index = COLOR_BTNFACE;
    SetSysColors(1, &index, &face);
    EXPECT_EQ(static_cast<COLORREF>(BlendSystemColors(-2, 30, 72)), RGBOf(clHighlight));
  }
  ThemeEngine::SetEnabled(false);
  ResetSysColors();
  // Classic grey face, navy highlight, white window: each channel weighted and clamped.
  EXPECT_EQ(static_cast<COLORREF>(BlendSystemColors(-2, 30, 72)), RGB(180, 180, 218));
  EXPECT_EQ(GetUltraFlatPressedColor(), BlendSystemColors(14, 44, 40));
}

// ------------------------------------------------------------------ brush cache

using GraphicsBrushCache = TLookAndFeelTest;

TEST_F(GraphicsBrushCache, SystemColoursTakeTheSystemBrushes) {
  TqvSolidBrushCache cache(4);
  EXPECT_EQ(cache.GetBrush(clBtnFace), GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_EQ(cache.GetCount(), 0);
  cache.GetBrush(static_cast<TColor>(0x8000001F));
  EXPECT_EQ(cache.GetCount(), 1) << "past the last system colour is an ordinary colour";
}

TEST_F(GraphicsBrushCache, AHitCountsAndReturnsTheSameBrush) {
  TqvSolidBrushCache cache(4);
  HBRUSH a = cache.GetBrush(clRed);
  EXPECT_EQ(cache.GetUseCount(0), 0u);
  EXPECT_EQ(cache.GetBrush(clRed), a);
  EXPECT_EQ(cache.GetUseCount(0), 1u);
  LOGBRUSH lb;
  GetObject(a, sizeof lb, &lb);
  EXPECT_EQ(lb.lbColor, RGBOf(clRed));
}

TEST_F(GraphicsBrushCache, TheLeastUsedLowestColourIsEvictedAndOrderKept) {
  TqvSolidBrushCache cache(3);
  cache.GetBrush(0x30);
  cache.GetBrush(0x10);
  cache.GetBrush(0x20);
  cache.GetBrush(0x30);  // 0x30 used once, 0x10 and 0x20 not
  cache.GetBrush(0x25);
  ASSERT_EQ(cache.GetCount(), 3);
  EXPECT_EQ(cache.GetColor(0), 0x20) << "0x10 went: unused and lowest";
  EXPECT_EQ(cache.GetColor(1), 0x25);
  EXPECT_EQ(cache.GetColor(2), 0x30);
}

TEST_F(GraphicsBrushCache, AnEvictedBrushLivesUntilTheLoopRunsAgain) {
  TqvSolidBrushCache cache(1);
  HBRUSH first = cache.GetBrush(clRed);
  cache.GetBrush(clBlue);  // evicts red during the same paint
  EXPECT_EQ(GetObjectType(first), OBJ_BRUSH) << "still valid for the paint that asked";
  EXPECT_EQ(cache.GetRetiredCount(), 1);
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
  EXPECT_EQ(cache.GetRetiredCount(), 0);
  EXPECT_EQ(GetObjectType(first), 0u);
}

TEST_F(GraphicsBrushCache, AColourChangeDeletesEveryBrush) {
  HBRUSH red = GetSolidBrush(Canvas(), clRed);
  ASSERT_EQ(SolidBrushCache()->GetCount(), 1);
  const int index = COLOR_BTNFACE;
  const COLORREF face = RGB(10, 20, 30);
  SetSysColors(1, &index, &face);
  EXPECT_EQ(SolidBrushCache()->GetCount(), 0);
  EXPECT_EQ(GetObjectType(red), 0u);
  EXPECT_NE(GetObjectType(GetSolidBrush(Canvas(), clRed)), 0u);
}

TEST_F(GraphicsBrushCache, ARaisingNotifierReachesTheHandlerAndTheOthersStillHear) {
  std::vector<String> heard;
  TqvSystemPaletteChangedNotifier first, second;
  first.OnSystemPaletteChanged = [&] { throw Exception("boom"); };
  second.OnSystemPaletteChanged = [&] { heard.push_back("second"); };
  auto saved = Application->OnException;
  Application->OnException = [&](TObject*, Exception* e) { heard.push_back(e->Message()); };
  SystemPaletteChangedListener()->NotifyAll();
  Application->OnException = saved;
  EXPECT_EQ(heard, (std::vector<String>{"boom", "second"}));
}

TEST_F(GraphicsBrushCache, ANotifierFreedByAnotherIsSkipped) {
  int calls = 0;
  TOwned<TqvSystemPaletteChangedNotifier> victim;
  TqvSystemPaletteChangedNotifier killer;
  victim = MakeOwned<TqvSystemPaletteChangedNotifier>();
  victim->OnSystemPaletteChanged = [&] { ++calls; };
  killer.OnSystemPaletteChanged = [&] { victim.reset(); };
  SystemPaletteChangedListener()->NotifyAll();
  EXPECT_EQ(calls, 0) << "freed by the killer, which registered first";
  EXPECT_FALSE(victim);
}

}  // namespace

namespace {

class GraphicsGlyphs : public TLookAndFeelTest {
 protected:
  void SetUp() override {
    TLookAndFeelTest::SetUp();
    FGlyph = MakeOwned<TBitmap>();
    FGlyph->SetPixelFormat(pf32bit);
    FGlyph->SetSize(8, 8);
    FGlyph->GetCanvas()->GetBrush()->SetColor(clFuchsia);
    FGlyph->GetCanvas()->FillRect(Rect(0, 0, 8, 8));
    FGlyph->GetCanvas()->GetBrush()->SetColor(clBlack);
    FGlyph->GetCanvas()->FillRect(Rect(2, 2, 6, 6));
    FGlyph->SetTransparentColor(clFuchsia);
  }
  TOwned<TBitmap> FGlyph;
};

TEST_F(GraphicsGlyphs, EnabledGlyphsReplaceTheirTransparentColour) {
  Canvas()->DrawGlyph(0, 0, FGlyph.get(), true, clNone);
  EXPECT_EQ(PixelRGB(0, 0), RGBOf(Paper)) << "clNone keeps the background";
  EXPECT_EQ(PixelRGB(3, 3), RGBOf(clBlack));
  Canvas()->DrawGlyph(10, 0, FGlyph.get(), true, clLime);
  EXPECT_EQ(PixelRGB(10, 0), RGBOf(clLime));
  EXPECT_EQ(PixelRGB(13, 3), RGBOf(clBlack));
  EXPECT_EQ(Canvas()->GetBrush()->GetStyle(), bsSolid) << "the brush style comes back";
}

TEST_F(GraphicsGlyphs, DisabledGlyphsAreEmbossed) {
  Canvas()->DrawGlyph(0, 0, FGlyph.get(), false, clNone);
  EXPECT_EQ(Count(clBlack), 0);
  EXPECT_GT(Count(clBtnShadow), 0);
  EXPECT_GT(Count(clBtnHighlight), 0);
  EXPECT_EQ(PixelRGB(0, 0), RGBOf(Paper));
  Canvas()->DrawGlyph(20, 0, FGlyph.get(), false, clLime);
  EXPECT_EQ(PixelRGB(20, 0), RGBOf(clLime)) << "over the background colour";
}

TEST_F(GraphicsCanvas, InvertRectInvertsAndRestoresTheCopyMode) {
  Canvas()->InvertRect(Rect(0, 0, 4, 4));
  EXPECT_EQ(PixelRGB(1, 1), RGBOf(Paper) ^ 0xFFFFFF);
  EXPECT_EQ(PixelRGB(5, 5), RGBOf(Paper));
  EXPECT_EQ(Canvas()->GetCanvas()->GetCopyMode(), cmSrcCopy);
}

TEST_F(GraphicsCanvas, ScreenCanvasMeasuresWithoutAWindow) {
  TqvScreenCanvas screen;
  EXPECT_GT(screen.TextWidth("Measure"), screen.TextWidth("M"));
  EXPECT_EQ(screen.FontHeight(Canvas()->GetFont()), Canvas()->TextHeight("Qq"));
}

}  // namespace
