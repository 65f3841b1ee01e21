#include "tests/platform/forms/GraphicsTestSupport.h"

namespace {

class GraphicsCanvas : public GraphicsTestBase {
 protected:
  void SetUp() override {
    GraphicsTestBase::SetUp();
    FillBitmap(FBmp, 40, 30, clWhite);
    FCanvas = FBmp.GetCanvas();
  }
  TColor At(Integer x, Integer y) { return PixelOf(FBmp, x, y); }

  TBitmap FBmp;
  TCanvas* FCanvas = nullptr;
};

TEST_F(GraphicsCanvas, ObjectsAreSelectedOnlyWhenAnOperationNeedsThem) {
  TCanvas* c = FCanvas;
  c->Refresh();
  EXPECT_EQ(c->GetState() & (csFontValid | csPenValid | csBrushValid), 0u);
  c->FillRect(Rect(0, 0, 2, 2));
  EXPECT_EQ(c->GetState() & (csFontValid | csPenValid | csBrushValid), TCanvasState(csBrushValid));
  c->LineTo(3, 3);
  EXPECT_TRUE(c->GetState() & csPenValid);
  EXPECT_FALSE(c->GetState() & csFontValid);
  c->TextWidth("x");
  EXPECT_TRUE(c->GetState() & csFontValid);
}

TEST_F(GraphicsCanvas, ChangingASelectedObjectDeselectsIt) {
  FCanvas->FillRect(Rect(0, 0, 1, 1));
  FCanvas->TextWidth("x");
  FCanvas->GetBrush()->SetColor(clRed);
  EXPECT_FALSE(FCanvas->GetState() & csBrushValid);
  EXPECT_TRUE(FCanvas->GetState() & csFontValid);
  FCanvas->GetFont()->SetSize(20);
  EXPECT_FALSE(FCanvas->GetState() & csFontValid);
  FCanvas->FillRect(Rect(0, 0, 5, 5));
  EXPECT_EQ(At(4, 4), clRed);
  EXPECT_EQ(GetCurrentObject(FCanvas->GetHandle(), OBJ_FONT), FCanvas->GetFont()->GetHandle());
}

TEST_F(GraphicsCanvas, FillRectAndFrameRectUseTheBrush) {
  FCanvas->GetBrush()->SetColor(clBlue);
  FCanvas->FillRect(Rect(2, 2, 10, 10));
  EXPECT_EQ(At(2, 2), clBlue);
  EXPECT_EQ(At(9, 9), clBlue);
  EXPECT_EQ(At(10, 10), clWhite);
  FCanvas->GetBrush()->SetColor(clRed);
  FCanvas->FrameRect(Rect(2, 2, 10, 10));
  EXPECT_EQ(At(2, 5), clRed);
  EXPECT_EQ(At(9, 5), clRed);
  EXPECT_EQ(At(5, 5), clBlue);
}

TEST_F(GraphicsCanvas, RectangleHasAPenBorderAndABrushInside) {
  FCanvas->GetPen()->SetColor(clRed);
  FCanvas->GetBrush()->SetColor(clLime);
  FCanvas->Rectangle(5, 5, 15, 12);
  EXPECT_EQ(At(5, 5), clRed);
  EXPECT_EQ(At(14, 11), clRed);
  EXPECT_EQ(At(10, 8), clLime);
  EXPECT_EQ(At(15, 12), clWhite);
  FCanvas->GetBrush()->SetStyle(bsClear);
  FCanvas->Rectangle(20, 5, 30, 12);
  EXPECT_EQ(At(20, 5), clRed);
  EXPECT_EQ(At(25, 8), clWhite) << "a clear brush leaves the inside";
}

TEST_F(GraphicsCanvas, LinesFollowThePenPosition) {
  FCanvas->GetPen()->SetColor(clBlack);
  FCanvas->MoveTo(2, 20);
  FCanvas->LineTo(12, 20);
  EXPECT_EQ(FCanvas->GetPenPos(), Point(12, 20));
  EXPECT_EQ(CountColor(FBmp, Rect(0, 20, 40, 21), clBlack), 10) << "the last pixel is not drawn";
  FCanvas->Polyline({{20, 2}, {20, 8}, {26, 8}});
  EXPECT_EQ(At(20, 5), clBlack);
  EXPECT_EQ(At(23, 8), clBlack);
}

TEST_F(GraphicsCanvas, PenModeXorInvertsTwice) {
  FCanvas->GetPen()->SetMode(pmXor);
  FCanvas->GetPen()->SetColor(clWhite);
  FCanvas->MoveTo(0, 1);
  FCanvas->LineTo(10, 1);
  EXPECT_EQ(At(5, 1), clBlack);
  EXPECT_EQ(GetROP2(FCanvas->GetHandle()), R2_XORPEN);
  FCanvas->MoveTo(0, 1);
  FCanvas->LineTo(10, 1);
  EXPECT_EQ(At(5, 1), clWhite);
}

TEST_F(GraphicsCanvas, PolygonEllipseAndRoundRectFill) {
  FCanvas->GetPen()->SetColor(clBlack);
  FCanvas->GetBrush()->SetColor(clYellow);
  FCanvas->Polygon({{1, 1}, {11, 1}, {11, 11}, {1, 11}});
  EXPECT_EQ(At(6, 6), clYellow);
  FCanvas->Ellipse(14, 1, 34, 21);
  EXPECT_EQ(At(24, 11), clYellow);
  EXPECT_EQ(At(14, 1), clWhite) << "corners lie outside the ellipse";
  FCanvas->GetBrush()->SetColor(clAqua);
  FCanvas->RoundRect(1, 14, 13, 26, 6, 6);
  EXPECT_EQ(At(7, 20), clAqua);
  EXPECT_EQ(At(1, 14), clWhite);
}

TEST_F(GraphicsCanvas, PixelsReadAndWrite) {
  FCanvas->SetPixel(3, 4, clFuchsia);
  EXPECT_EQ(FCanvas->GetPixel(3, 4), clFuchsia);
  FCanvas->SetPixel(5, 5, clBtnFace);
  EXPECT_EQ(FCanvas->GetPixel(5, 5), static_cast<TColor>(ColorToRGB(clBtnFace)));
}

TEST_F(GraphicsCanvas, TextOutDrawsInTheFontColourAndMovesThePen) {
  FCanvas->GetFont()->SetColor(clRed);
  FCanvas->GetBrush()->SetStyle(bsClear);
  TSize ext = FCanvas->TextExtent("Wg");
  EXPECT_GT(ext.cx, 0);
  EXPECT_GT(ext.cy, 8);
  EXPECT_EQ(FCanvas->TextWidth("Wg"), ext.cx);
  EXPECT_EQ(FCanvas->TextHeight("Wg"), ext.cy);
  FCanvas->TextOut(2, 2, "Wg");
  EXPECT_EQ(FCanvas->GetPenPos(), Point(2 + ext.cx, 2));
  int reddish = 0;
  for (Integer y = 2; y < 2 + ext.cy; ++y)
    for (Integer x = 2; x < 2 + ext.cx; ++x) {
      COLORREF c = ColorToRGB(At(x, y));
      reddish += GetRValue(c) > 200 && GetGValue(c) < 120;
    }
  EXPECT_GT(reddish, 5);
  EXPECT_EQ(CountColor(FBmp, Rect(2 + ext.cx + 1, 0, 40, 30), clWhite), (40 - 3 - ext.cx) * 30);
}

TEST_F(GraphicsCanvas, OpaqueTextFillsItsBackgroundWithTheBrush) {
  FCanvas->GetBrush()->SetColor(clLime);
  FCanvas->TextOut(0, 0, "ii");
  EXPECT_EQ(At(0, 0), clLime);
}

TEST_F(GraphicsCanvas, TextRectClipsToItsRectangle) {
  FCanvas->GetFont()->SetColor(clBlack);
  FCanvas->GetBrush()->SetColor(clYellow);
  TRect r = Rect(5, 5, 12, 12);
  FCanvas->TextRect(r, 5, 5, "WWWWWWWW");
  EXPECT_EQ(At(5, 5), clYellow);
  EXPECT_EQ(CountColor(FBmp, Rect(12, 0, 40, 30), clWhite), 28 * 30);
  EXPECT_EQ(CountColor(FBmp, Rect(0, 12, 12, 30), clWhite), 12 * 18);
}

TEST_F(GraphicsCanvas, FontChangeBetweenTextsTakesEffect) {
  FCanvas->GetBrush()->SetStyle(bsClear);
  FCanvas->GetFont()->SetColor(clRed);
  FCanvas->TextOut(0, 0, "M");
  FCanvas->GetFont()->SetColor(clBlue);
  FCanvas->TextOut(20, 0, "M");
  int blue = 0;
  for (Integer y = 0; y < 15; ++y)
    for (Integer x = 20; x < 32; ++x) {
      COLORREF c = ColorToRGB(At(x, y));
      blue += GetBValue(c) > 200 && GetRValue(c) < 120;
    }
  EXPECT_GT(blue, 3);
}

TEST_F(GraphicsCanvas, DrawAndStretchDrawABitmap) {
  TBitmap src;
  FillBitmap(src, 4, 3, clRed);
  src.GetCanvas()->SetPixel(0, 0, clBlue);
  FCanvas->Draw(10, 10, &src);
  EXPECT_EQ(At(10, 10), clBlue);
  EXPECT_EQ(At(13, 12), clRed);
  EXPECT_EQ(At(14, 12), clWhite);
  FCanvas->StretchDraw(Rect(20, 10, 28, 16), &src);
  EXPECT_EQ(At(21, 11), clBlue);
  EXPECT_EQ(At(27, 15), clRed);
  EXPECT_EQ(At(28, 16), clWhite);
}

TEST_F(GraphicsCanvas, MonochromeBitmapsDrawBlackAndWhiteWhateverTheColours) {
  TBitmap mono;
  FillBitmap(mono, 2, 1, clWhite);
  mono.GetCanvas()->SetPixel(0, 0, clBlack);
  mono.SetMonochrome(true);
  FCanvas->GetFont()->SetColor(clRed);
  FCanvas->GetBrush()->SetColor(clBlue);
  FCanvas->Draw(0, 0, &mono);
  EXPECT_EQ(At(0, 0), clBlack);
  EXPECT_EQ(At(1, 0), clWhite);
  EXPECT_EQ(GetTextColor(FCanvas->GetHandle()), RGB(255, 0, 0)) << "the DC's colours come back";
}

TEST_F(GraphicsCanvas, TransparentBitmapsLeaveTheirKeyColour) {
  TBitmap src;
  FillBitmap(src, 4, 4, clFuchsia);
  src.GetCanvas()->GetBrush()->SetColor(clNavy);
  src.GetCanvas()->FillRect(Rect(1, 1, 3, 3));
  src.SetTransparent(true);
  EXPECT_EQ(src.GetTransparentColor(), clFuchsia) << "the bottom-left pixel";
  FCanvas->Draw(0, 0, &src);
  EXPECT_EQ(At(0, 0), clWhite);
  EXPECT_EQ(At(1, 1), clNavy);
  FCanvas->StretchDraw(Rect(10, 0, 18, 8), &src);
  EXPECT_EQ(At(10, 0), clWhite);
  EXPECT_EQ(At(13, 3), clNavy);
  src.SetTransparentColor(clNavy);
  EXPECT_EQ(src.GetTransparentMode(), tmFixed);
  FCanvas->Draw(20, 0, &src);
  EXPECT_EQ(At(20, 0), clFuchsia);
  EXPECT_EQ(At(21, 1), clWhite);
}

TEST_F(GraphicsCanvas, CopyRectUsesTheCopyMode) {
  TBitmap src;
  FillBitmap(src, 10, 10, clRed);
  FCanvas->CopyRect(Rect(0, 0, 5, 5), src.GetCanvas(), Rect(0, 0, 10, 10));
  EXPECT_EQ(At(4, 4), clRed);
  EXPECT_EQ(At(5, 5), clWhite);
  FCanvas->SetCopyMode(cmDstInvert);
  FCanvas->CopyRect(Rect(0, 0, 2, 2), src.GetCanvas(), Rect(0, 0, 2, 2));
  EXPECT_EQ(At(0, 0), clAqua);
}

TEST_F(GraphicsCanvas, BrushCopyReplacesTheKeyColourWithTheBrush) {
  TBitmap src;
  FillBitmap(src, 4, 4, clOlive);
  src.GetCanvas()->SetPixel(0, 0, clRed);
  FCanvas->GetBrush()->SetColor(clBlue);
  FCanvas->BrushCopy(Rect(0, 0, 4, 4), &src, Rect(0, 0, 4, 4), clOlive);
  EXPECT_EQ(At(0, 0), clRed);
  EXPECT_EQ(At(2, 2), clBlue);
  EXPECT_EQ(At(4, 4), clWhite);
}

TEST_F(GraphicsCanvas, BrushCopyWithAClearBrushLeavesTheKeyPixelsAlone) {
  TBitmap src;
  FillBitmap(src, 4, 4, clOlive);
  src.GetCanvas()->SetPixel(0, 0, clRed);
  FCanvas->GetBrush()->SetStyle(bsClear);
  FCanvas->BrushCopy(Rect(0, 0, 4, 4), &src, Rect(0, 0, 4, 4), clOlive);
  EXPECT_EQ(At(0, 0), clRed);
  EXPECT_EQ(At(2, 2), clWhite);
}

TEST_F(GraphicsCanvas, FloodFillBySurfaceAndByBorder) {
  FCanvas->GetPen()->SetColor(clBlack);
  FCanvas->GetBrush()->SetStyle(bsClear);
  FCanvas->Rectangle(0, 0, 10, 10);
  FCanvas->GetBrush()->SetColor(clRed);
  FCanvas->FloodFill(5, 5, clWhite, fsSurface);
  EXPECT_EQ(CountColor(FBmp, Rect(1, 1, 9, 9), clRed), 64);
  EXPECT_EQ(At(20, 20), clWhite);
  FCanvas->GetBrush()->SetColor(clLime);
  FCanvas->FloodFill(5, 5, clBlack, fsBorder);
  EXPECT_EQ(At(5, 5), clLime);
  EXPECT_EQ(At(0, 0), clBlack);
  EXPECT_EQ(At(20, 20), clWhite);
}

TEST_F(GraphicsCanvas, ACanvasWithoutADCRefusesToDraw) {
  TCanvas canvas;
  EXPECT_THROW(canvas.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
  EXPECT_THROW(canvas.GetHandle(), EInvalidOperation);
}

TEST_F(GraphicsCanvas, AGivenDCIsUsedAndObjectsLeaveItOnRelease) {
  HBITMAP bmp = CreateBitmap(8, 8, 1, 32, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);
  {
    TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.GetBrush()->SetColor(clRed);
    canvas.FillRect(Rect(0, 0, 8, 8));
    EXPECT_EQ(GetPixel(dc, 3, 3), RGB(255, 0, 0));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), canvas.GetBrush()->GetHandle());
    canvas.SetHandle(nullptr);
    EXPECT_NE(GetCurrentObject(dc, OBJ_BRUSH), canvas.GetBrush()->GetHandle());
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bmp);
}

TEST_F(GraphicsCanvas, ChangeEventsSurroundDrawing) {
  std::vector<std::string> log;
  FCanvas->OnChanging = [&](TObject*) { log.push_back("changing"); };
  FCanvas->OnChange = [&](TObject*) { log.push_back("change"); };
  FCanvas->FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(log, (std::vector<std::string>{"changing", "change"}));
}

TEST_F(GraphicsCanvas, LockNestsOnOneThread) {
  FCanvas->Lock();
  FCanvas->Lock();
  EXPECT_EQ(FCanvas->GetLockCount(), 2);
  EXPECT_TRUE(FCanvas->TryLock());
  FCanvas->Unlock();
  FCanvas->Unlock();
  FCanvas->Unlock();
  EXPECT_EQ(FCanvas->GetLockCount(), 0);
}

}  // namespace
