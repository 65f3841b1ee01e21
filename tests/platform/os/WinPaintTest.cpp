// The painting protocol: update regions, WM_PAINT and WM_ERASEBKGND, device contexts clipped to
// what a window may draw, and scrolling of window contents.
#include "WinTestSupport.h"

#include "platform/os/Gdi.h"

namespace {

void Invalidate(HWND w, RECT r, BOOL erase) { InvalidateRect(w, &r, erase); }
void Validate(HWND w, RECT r) { ValidateRect(w, &r); }

uint32_t Pixel(COLORREF c) { return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c); }

class WinPaintTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    Painted().clear();
    Colors().clear();
    // Each window paints its update area in its own colour and records what it was asked for.
    MsgHandler() = [](HWND w, UINT msg, WPARAM, LPARAM, LRESULT& r) {
      if (msg == WM_ERASEBKGND) {
        r = 0;
        return true;
      }
      if (msg != WM_PAINT) return false;
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(w, &ps);
      Painted().push_back({w, ps.rcPaint, ps.fErase != FALSE});
      auto it = Colors().find(w);
      if (it != Colors().end()) {
        HBRUSH brush = CreateSolidBrush(it->second);
        RECT all = Rect(-1000, -1000, 5000, 5000);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
      }
      EndPaint(w, &ps);
      r = 0;
      return true;
    };
  }

  struct TPainted {
    HWND Wnd;
    RECT Rect;
    bool Erase;
  };
  static std::vector<TPainted>& Painted() {
    static std::vector<TPainted> p;
    return p;
  }
  static std::map<HWND, COLORREF>& Colors() {
    static std::map<HWND, COLORREF> c;
    return c;
  }
  static uint32_t At(HWND top, int x, int y) { return Headless::WindowSurface(top)->Row(y)[x]; }
};

TEST_F(WinPaintTest, InvalidationsMergeIntoOnePaintOfTheirUnion) {
  HWND w = Top(0, 0, 200, 200);
  Pump();
  ASSERT_EQ(Painted().size(), 1u);
  EXPECT_EQ(Painted()[0].Rect, Rect(0, 0, 200, 200)) << "a shown window paints whole";
  EXPECT_TRUE(Painted()[0].Erase) << "the erase was not done by WM_ERASEBKGND";
  Painted().clear();
  Invalidate(w, Rect(10, 10, 20, 20), FALSE);
  Invalidate(w, Rect(50, 60, 70, 80), FALSE);
  RECT update;
  EXPECT_TRUE(GetUpdateRect(w, &update, FALSE));
  EXPECT_EQ(update, Rect(10, 10, 70, 80));
  MsgLog().clear();
  Pump();
  EXPECT_EQ(Count(WM_PAINT, w), 1);
  EXPECT_EQ(Count(WM_ERASEBKGND, w), 0) << "no erase was asked for";
  ASSERT_EQ(Painted().size(), 1u);
  EXPECT_EQ(Painted()[0].Rect, Rect(10, 10, 70, 80));
  EXPECT_FALSE(GetUpdateRect(w, &update, FALSE));
  InvalidateRect(w, nullptr, TRUE);
  MsgLog().clear();
  Pump();
  EXPECT_EQ(Names(w), (TStrings{"PAINT", "ERASEBKGND"}));
}

TEST_F(WinPaintTest, ValidatedAreasAreNotPaintedAndHiddenWindowsNever) {
  HWND w = Top(0, 0, 100, 100);
  Pump();
  Painted().clear();
  Invalidate(w, Rect(0, 0, 10, 10), FALSE);
  Invalidate(w, Rect(50, 50, 60, 60), FALSE);
  Validate(w, Rect(0, 0, 10, 10));
  Pump();
  ASSERT_EQ(Painted().size(), 1u);
  EXPECT_EQ(Painted()[0].Rect, Rect(50, 50, 60, 60));
  ValidateRect(w, nullptr);
  InvalidateRect(w, nullptr, FALSE);
  ValidateRect(w, nullptr);
  Painted().clear();
  Pump();
  EXPECT_TRUE(Painted().empty());
  ShowWindow(w, SW_HIDE);
  InvalidateRect(w, nullptr, TRUE);
  Pump();
  EXPECT_TRUE(Painted().empty());
  ShowWindow(w, SW_SHOWNA);
  Pump();
  EXPECT_EQ(Painted().size(), 1u);
}

TEST_F(WinPaintTest, InvalidatingAParentReachesChildrenUnlessItClipsThem) {
  HWND top = Top(0, 0, 200, 200);
  HWND child = Child(top, 50, 50, 50, 50);
  Pump();
  Painted().clear();
  Invalidate(top, Rect(60, 60, 70, 70), FALSE);
  UpdateWindow(top);
  ASSERT_EQ(Painted().size(), 2u) << "UpdateWindow paints at once, the parent first";
  EXPECT_EQ(Painted()[0].Wnd, top);
  EXPECT_EQ(Painted()[1].Wnd, child);
  EXPECT_EQ(Painted()[1].Rect, Rect(10, 10, 20, 20));
  SetWindowLongPtr(top, GWL_STYLE, GetWindowLongPtr(top, GWL_STYLE) | WS_CLIPCHILDREN);
  Painted().clear();
  Invalidate(top, Rect(60, 60, 70, 70), FALSE);
  Pump();
  EXPECT_TRUE(Painted().empty()) << "the area is all child, which a clipping parent leaves alone";
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(Painted().size(), 2u);
}

TEST_F(WinPaintTest, PaintingIsClippedToTheWindowAndItsChildrenStayOnTop) {
  HWND top = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_BORDER);
  HWND child = Child(top, 20, 20, 30, 30);
  HWND sibling = Child(top, 40, 40, 30, 30, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS);
  Colors()[top] = RGB(255, 0, 0);
  Colors()[child] = RGB(0, 255, 0);
  Colors()[sibling] = RGB(0, 0, 255);
  Pump();
  EXPECT_EQ(At(top, 0, 0), Pixel(GetSysColor(COLOR_WINDOWFRAME))) << "the default frame";
  EXPECT_EQ(At(top, 5, 5), 0xFF0000u);
  EXPECT_EQ(At(top, 25, 25), 0x00FF00u);
  EXPECT_EQ(At(top, 45, 45), 0x00FF00u) << "the sibling clips itself below the child";
  EXPECT_EQ(At(top, 65, 65), 0x0000FFu);
  EXPECT_EQ(At(top, 95, 95), 0xFF0000u);
  HDC dc = GetDC(top);
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  RECT all = Rect(0, 0, 100, 100);
  FillRect(dc, &all, white);
  ReleaseDC(top, dc);
  EXPECT_EQ(At(top, 1, 1), 0xFFFFFFu) << "client origin is inside the border";
  EXPECT_EQ(At(top, 0, 0), Pixel(GetSysColor(COLOR_WINDOWFRAME)));
  EXPECT_EQ(At(top, 25, 25), 0x00FF00u);
  HDC wdc = GetWindowDC(top);
  FillRect(wdc, &all, white);
  ReleaseDC(top, wdc);
  EXPECT_EQ(At(top, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(ReleaseDC(top, wdc), 0) << "a released DC is gone";
  DeleteObject(white);
}

TEST_F(WinPaintTest, WindowRegionClipsPainting) {
  HWND top = Top(0, 0, 100, 100);
  HWND round = Child(top, 0, 0, 100, 100);
  SetWindowRgn(round, CreateEllipticRgn(0, 0, 100, 100), TRUE);
  Colors()[top] = RGB(255, 0, 0);
  Colors()[round] = RGB(0, 0, 255);
  Pump();
  EXPECT_EQ(At(top, 50, 50), 0x0000FFu);
  EXPECT_EQ(At(top, 2, 2), 0xFF0000u);
}

TEST_F(WinPaintTest, ScrollWindowExMovesPixelsAndInvalidatesWhatIsUncovered) {
  HWND w = Top(0, 0, 100, 100);
  Pump();
  HDC dc = GetDC(w);
  for (int y = 0; y < 100; ++y) {
    HBRUSH b = CreateSolidBrush(RGB(0, 0, static_cast<BYTE>(y)));
    RECT row = Rect(0, y, 100, y + 1);
    FillRect(dc, &row, b);
    DeleteObject(b);
  }
  ReleaseDC(w, dc);
  ValidateRect(w, nullptr);
  Invalidate(w, Rect(0, 50, 10, 60), FALSE);
  HRGN update = CreateRectRgn(0, 0, 0, 0);
  RECT updateRect;
  EXPECT_EQ(ScrollWindowEx(w, 0, -10, nullptr, nullptr, update, &updateRect, SW_INVALIDATE), SIMPLEREGION);
  EXPECT_EQ(updateRect, Rect(0, 90, 100, 100));
  EXPECT_TRUE(PtInRegion(update, 5, 95));
  EXPECT_EQ(At(w, 5, 0), 10u) << "row 10 moved to the top";
  EXPECT_EQ(At(w, 5, 89), 99u);
  Painted().clear();
  Pump();
  ASSERT_EQ(Painted().size(), 1u);
  EXPECT_EQ(Painted()[0].Rect, Rect(0, 40, 100, 100)) << "the pending area moved up with the contents";
  RECT scroll = Rect(0, 0, 50, 50);
  EXPECT_EQ(ScrollWindowEx(w, 5, 0, &scroll, nullptr, nullptr, &updateRect, 0), SIMPLEREGION);
  EXPECT_EQ(updateRect, Rect(0, 0, 5, 50));
  EXPECT_EQ(At(w, 60, 0), 10u) << "outside the scroll rectangle nothing moves";
  EXPECT_FALSE(GetUpdateRect(w, &updateRect, FALSE)) << "without SW_INVALIDATE nothing is invalidated";
  DeleteObject(update);
}

TEST_F(WinPaintTest, ScrollingChildrenMovesThem) {
  HWND w = Top(0, 0, 200, 200);
  HWND c = Child(w, 10, 10, 20, 20);
  Pump();
  ScrollWindowEx(w, 0, 30, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
  RECT r;
  GetWindowRect(c, &r);
  EXPECT_EQ(r, Rect(10, 40, 30, 60));
  MsgLog().clear();
  Pump();
  EXPECT_EQ(Count(WM_ERASEBKGND, w), 1);
}

}  // namespace

namespace {

class WinResizeTest : public WinPaintTest {};

TEST_F(WinResizeTest, GrowingRepaintsOnlyTheNewPartUnlessTheClassRedrawsOnSize) {
  RegisterClass("QJRedraw", CS_HREDRAW | CS_VREDRAW);
  HWND top = Top(0, 0, 300, 300);
  HWND keep = Child(top, 0, 0, 50, 50, WS_CHILD | WS_VISIBLE, 0, "QJPlain");
  HWND redraw = Child(top, 100, 100, 50, 50, WS_CHILD | WS_VISIBLE, 0, "QJRedraw");
  Pump();
  Painted().clear();
  SetWindowPos(keep, nullptr, 0, 0, 80, 50, SWP_NOMOVE | SWP_NOZORDER);
  SetWindowPos(redraw, nullptr, 0, 0, 80, 50, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  std::map<HWND, RECT> rects;
  for (const auto& p : Painted()) rects[p.Wnd] = p.Rect;
  EXPECT_EQ(rects[keep], Rect(50, 0, 80, 50));
  EXPECT_EQ(rects[redraw], Rect(0, 0, 80, 50));
  EXPECT_EQ(rects.count(top), 0u) << "growing exposes nothing of the parent";
  Painted().clear();
  SetWindowPos(keep, nullptr, 0, 0, 20, 50, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  ASSERT_EQ(Painted().size(), 1u);
  EXPECT_EQ(Painted()[0].Wnd, top);
  EXPECT_EQ(Painted()[0].Rect, Rect(20, 0, 80, 50));
}

TEST_F(WinResizeTest, PixelsNothingPaintedShowTheUnpaintedColourAlsoWhereATopLevelWindowGrew) {
  HWND top = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
  Colors()[top] = RGB(0, 0, 255);
  HWND lazy = Child(top, 10, 10, 20, 20, WS_CHILD | WS_VISIBLE, 0, "QJPlain");
  Pump();
  const uint32_t unpainted = Pixel(Headless::kUnpaintedColor);
  EXPECT_EQ(At(top, 15, 15), unpainted) << "a child that paints nothing";
  EXPECT_EQ(At(top, 50, 50), 0x0000FFu);
  DestroyWindow(lazy);
  Colors().erase(top);
  MoveWindow(top, 0, 0, 150, 100, TRUE);
  Pump();
  EXPECT_EQ(At(top, 50, 50), 0x0000FFu) << "kept";
  EXPECT_EQ(At(top, 120, 50), unpainted) << "gained";
}

TEST_F(WinResizeTest, AnOpenDeviceContextFollowsItsWindow) {
  HWND top = Top(0, 0, 300, 300);
  HWND c = Child(top, 0, 0, 50, 50, WS_CHILD | WS_VISIBLE, 0, "QJPlain");
  Pump();
  HDC dc = GetDC(c);
  MoveWindow(c, 100, 100, 50, 50, FALSE);
  HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
  RECT r = Rect(0, 0, 10, 10);
  FillRect(dc, &r, green);
  ReleaseDC(c, dc);
  DeleteObject(green);
  EXPECT_EQ(At(top, 105, 105), 0x00FF00u);
  EXPECT_NE(At(top, 5, 5), 0x00FF00u);
  EXPECT_EQ(WindowFromDC(dc), nullptr);
}

}  // namespace
