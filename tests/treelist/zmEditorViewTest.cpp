// The editor's look: view data from a live editor, the layout computed from it, borders, shadow,
// cursor, window shape and non-client area.
#include <string>
#include "platform/os/GdiTestSupport.h"
#include "treelist/zmTextEdit.h"
#include "zmTestSupport.h"

namespace {

const TzmInplaceEditClassOps& BaseOps() { return TzmInplaceEdit::ClassOps(); }

TOwned<TzmEditViewData> ViewData(TzmEditBorderStyle Border, TzmEditEdges Edges, bool Shadow) {
  auto v = MakeOwned<TzmEditViewData>();
  v->BorderStyle = Border;
  v->Edges = Edges;
  v->Shadow = Shadow;
  v->ViewRect = Rect(0, 0, 100, 24);
  v->BorderColor = clBlack;
  return v;
}

// ------------------------------------------------------------------ view info

struct TViewInfoCase {
  const char* Name;
  TzmEditBorderStyle Border;
  TzmEditEdges Edges;
  bool Shadow;
  Integer BorderWidth;
  TRect Content;
  TRect BorderRect;
  TRect ShadowRect;
};

class zmEditViewInfo : public testing::TestWithParam<TViewInfoCase> {};

TEST_P(zmEditViewInfo, LayoutFollowsBorderEdgesAndShadow) {
  const TViewInfoCase& c = GetParam();
  auto v = ViewData(c.Border, c.Edges, c.Shadow);
  TzmEditViewInfo info;
  BaseOps().CalcViewInfo(v.get(), false, info);
  EXPECT_EQ(info.BorderWidth, c.BorderWidth);
  EXPECT_EQ(info.Bounds, Rect(0, 0, 100, 24));
  EXPECT_EQ(info.ContentRect, c.Content);
  EXPECT_EQ(info.BorderRect, c.BorderRect);
  EXPECT_EQ(info.ShadowRect, c.ShadowRect);
}

INSTANTIATE_TEST_SUITE_P(
    Borders, zmEditViewInfo,
    testing::Values(
        TViewInfoCase{"None", xbsNone, zmAllEdges, false, 0, {2, 2, 98, 22}, {2, 2, 98, 22}, {}},
        TViewInfoCase{"Single", xbsSingle, zmAllEdges, false, 1, {2, 2, 98, 22}, {1, 1, 99, 23}, {}},
        TViewInfoCase{"SingleLeftBottom", xbsSingle, edgLeft | edgBottom, false, 1, {2, 2, 98, 22}, {1, 2, 98, 23}, {}},
        TViewInfoCase{"Thick", xbsThick, zmAllEdges, false, 2, {2, 2, 98, 22}, {0, 0, 100, 24}, {}},
        TViewInfoCase{"Flat3DShadow", xbs3D, zmAllEdges, true, 2, {2, 2, 96, 20}, {0, 0, 98, 22}, {2, 2, 100, 24}},
        TViewInfoCase{"FlatTopOnly", xbsFlat, edgTop, false, 2, {2, 2, 98, 22}, {2, 0, 98, 22}, {}}),
    [](const testing::TestParamInfo<TViewInfoCase>& info) { return info.param.Name; });

TEST(zmEditViewRegion, TheWindowShapeIsCutUnlessTheBorderFillsTheBounds) {
  for (bool shadow : {false, true}) {
    auto v = ViewData(xbs3D, zmAllEdges, shadow);
    TzmEditViewInfo info;
    BaseOps().CalcViewInfo(v.get(), false, info);
    HRGN region = GetViewInfoRegion(info);
    EXPECT_EQ(region != nullptr, shadow) << "a shadow cuts the shape even with a 3D border";
    if (region) {
      EXPECT_FALSE(PtInRegion(region, 99, 0)) << "the shadow's top-right corner is cut away";
      EXPECT_TRUE(PtInRegion(region, 99, 10));
      DeleteObject(region);
    }
  }
  auto single = ViewData(xbsSingle, zmAllEdges, false);
  TzmEditViewInfo info;
  BaseOps().CalcViewInfo(single.get(), false, info);
  HRGN region = GetViewInfoRegion(info);
  ASSERT_NE(region, nullptr) << "a one-pixel border leaves an outer ring";
  EXPECT_FALSE(PtInRegion(region, 0, 0));
  EXPECT_TRUE(PtInRegion(region, 1, 1));
  DeleteObject(region);
}

// ------------------------------------------------------------------ borders

TEST(zmEditBorder, SingleBorderWithLeftAndBottomEdgesStartsAbove) {
  TPixelCanvas canvas(100, 24);
  auto v = ViewData(xbsSingle, edgLeft | edgBottom, false);
  TzmEditViewInfo info;
  BaseOps().CalcViewInfo(v.get(), false, info);
  BaseOps().DrawBorder(canvas.DC(), info, v.get());
  const COLORREF black = RGB(0, 0, 0);
  EXPECT_EQ(canvas.At(1, 1), black) << "the left band starts one pixel above BorderRect";
  EXPECT_EQ(canvas.At(1, 22), black);
  EXPECT_EQ(canvas.At(50, 22), black) << "the bottom band";
  EXPECT_NE(canvas.At(50, 1), black) << "no top band";
  EXPECT_NE(canvas.At(98, 10), black) << "no right band";
  EXPECT_EQ(canvas.Count(black), 22 + 96);
}

TEST(zmEditBorder, ThickBorderFramesTwice) {
  TPixelCanvas canvas(100, 24);
  auto v = ViewData(xbsThick, zmAllEdges, false);
  TzmEditViewInfo info;
  BaseOps().CalcViewInfo(v.get(), false, info);
  BaseOps().DrawBorder(canvas.DC(), info, v.get());
  const COLORREF black = RGB(0, 0, 0);
  EXPECT_EQ(canvas.At(0, 0), black);
  EXPECT_EQ(canvas.At(1, 1), black);
  EXPECT_NE(canvas.At(2, 2), black);
}

// ------------------------------------------------------------------ live editors

class zmEditorView : public TzmEditorTest {
 protected:
  TOwned<TzmEditViewData> View(TzmInplaceEdit* e) { return e->CreateViewData(false); }
};

struct THotCase {
  TzmEditBorderStyle Border;
  TzmEditBorderStyle Hot;
  TzmEditButtonViewStyle Button;  // what btsDefault resolves to for the hot border
};

TEST_F(zmEditorView, HotTrackingRaisesTheBorderAndDefaultButtonsFollowIt) {
  const THotCase cases[] = {{xbsNone, xbsFlat, TzmEditButtonViewStyle::btsFlat},
                            {xbsSingle, xbsThick, TzmEditButtonViewStyle::bts3D},
                            {xbsFlat, xbs3D, TzmEditButtonViewStyle::bts3D},
                            {xbsThick, xbsThick, TzmEditButtonViewStyle::bts3D},
                            {xbs3D, xbs3D, TzmEditButtonViewStyle::bts3D}};
  auto* edit = NewEditor<TzmInplaceEdit>();
  edit->GetStyle()->SetHotTrack(true);
  for (const THotCase& c : cases) {
    edit->GetStyle()->SetBorderStyle(c.Border);
    edit->SetSelected(false);
    EXPECT_EQ(View(edit)->BorderStyle, c.Border);
    edit->SetSelected(true);
    EXPECT_EQ(View(edit)->BorderStyle, c.Hot) << c.Border;
    EXPECT_EQ(View(edit)->ButtonStyle, c.Button) << c.Border;
  }
}

TEST_F(zmEditorView, ThePointerOverAnEditorMakesItHotAndTellsItsHandlers) {
  auto* edit = NewEditor<TzmInplaceEdit>();
  edit->ActivateEdit(Rect(20, 20, 140, 40));
  Other->SetFocus();
  Pump();
  std::vector<std::string> heard;
  edit->OnMouseEnter = [&](TObject* Sender) {
    EXPECT_EQ(Sender, edit);
    heard.push_back(edit->GetSelected() ? "enter, hot" : "enter, cold");
  };
  edit->OnMouseLeave = [&](TObject*) { heard.push_back(edit->GetSelected() ? "leave, hot" : "leave, cold"); };
  TPoint inside = At(edit, {5, 5}), outside = At(Container, {200, 120});
  Headless::MoveMouse(inside.X, inside.Y);
  Pump();
  EXPECT_TRUE(View(edit)->IsSelected);
  Headless::MoveMouse(outside.X, outside.Y);
  Pump();
  EXPECT_FALSE(View(edit)->IsSelected);
  EXPECT_EQ(heard, (std::vector<std::string>{"enter, hot", "leave, cold"}));
}

TEST_F(zmEditorView, DefaultButtonStyleFollowsTheBorder) {
  const std::pair<TzmEditBorderStyle, TzmEditButtonViewStyle> cases[] = {
      {xbsNone, TzmEditButtonViewStyle::btsSimple}, {xbsSingle, TzmEditButtonViewStyle::btsHotFlat},
      {xbsFlat, TzmEditButtonViewStyle::btsFlat},   {xbsThick, TzmEditButtonViewStyle::bts3D},
      {xbs3D, TzmEditButtonViewStyle::bts3D}};
  auto* edit = NewEditor<TzmInplaceEdit>();
  for (auto [border, button] : cases) {
    edit->GetStyle()->SetBorderStyle(border);
    EXPECT_EQ(View(edit)->ButtonStyle, button) << border;
  }
  edit->GetStyle()->SetButtonStyle(TzmEditButtonViewStyle::btsSimple);
  EXPECT_EQ(View(edit)->ButtonStyle, TzmEditButtonViewStyle::btsSimple) << "an explicit style stays";
}

TEST_F(zmEditorView, ButtonTransparencyByTransparenceAndHotState) {
  auto* edit = NewEditor<TzmInplaceEdit>();
  using T = TzmEditButtonTransparence;
  const std::tuple<T, bool, bool> cases[] = {{T::ebtNone, false, false},         {T::ebtInactive, false, true},
                                             {T::ebtInactive, true, false},      {T::ebtAlways, true, true},
                                             {T::ebtHideInactive, false, false}, {T::ebtHideInactive, true, false}};
  for (auto [transparence, hot, transparent] : cases) {
    edit->GetStyle()->SetButtonTransparence(transparence);
    edit->SetSelected(hot);
    EXPECT_EQ(View(edit)->ButtonTransparent, transparent) << static_cast<int>(transparence) << " hot " << hot;
  }
}

TEST_F(zmEditorView, DisabledEditorsDrawInButtonColours) {
  auto* edit = NewEditor<TzmInplaceEdit>();
  edit->SetColor(clRed);
  edit->GetFont()->SetColor(clBlue);
  EXPECT_EQ(View(edit)->BackColor, RGB(255, 0, 0));
  EXPECT_EQ(View(edit)->ForeColor, RGB(0, 0, 255));
  edit->SetEnabled(false);
  auto v = View(edit);
  EXPECT_EQ(v->BackColor, GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(v->ForeColor, GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(v->BrushHandle, GetSysColorBrush(COLOR_BTNFACE));
}

TEST_F(zmEditorView, CursorIsTheDefaultOverTextAndTheArrowElsewhere) {
  auto* plain = NewEditor<TzmInplaceEdit>();
  auto* text = NewEditor<TzmInplaceTextEdit>();
  EXPECT_EQ(plain->GetClassOps().GetCursor(0, 0, View(plain).get()), crArrow);
  EXPECT_EQ(text->GetClassOps().GetCursor(0, 0, View(text).get()), crDefault);
  text->SetCursor(crHandPoint);
  EXPECT_EQ(text->GetClassOps().GetCursor(0, 0, View(text).get()), crHandPoint);
}

TEST_F(zmEditorView, EditHeightIsTheFontHeightPlusThree) {
  auto* edit = NewEditor<TzmInplaceEdit>();
  auto v = View(edit);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, v->FontHandle);
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(edit->GetClassOps().GetEditHeight(v.get()), tm.tmHeight + 3);
}

TEST_F(zmEditorView, ShadowGivesTheWindowAShape) {
  auto* edit = NewEditor<TzmInplaceEdit>();
  Open(edit, "");
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(edit->GetHandle(), probe), ERROR) << "a 3D border fills the window";
  edit->GetStyle()->SetShadow(true);
  EXPECT_NE(GetWindowRgn(edit->GetHandle(), probe), ERROR);
  DeleteObject(probe);
  RECT client;
  GetClientRect(edit->GetHandle(), &client);
  EXPECT_EQ(client.Right, edit->GetWidth() - 6) << "2 pixels of frame and 2 of shadow on the right";
  EXPECT_EQ(client.Bottom, edit->GetHeight() - 6);
}

TEST_F(zmEditorView, NonClientAreaNeverInvertsTheClientRectangle) {
  auto* edit = NewEditor<TzmInplaceEdit>();
  for (TRect proposed : {Rect(0, 0, 3, 40), Rect(0, 0, 40, 3)}) {
    TRect r = proposed;
    edit->Perform(WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r));
    EXPECT_GE(r.Right, r.Left);
    EXPECT_GE(r.Bottom, r.Top);
  }
  TRect tall{0, 0, 40, 3};
  edit->Perform(WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&tall));
  EXPECT_EQ(tall, Rect(2, 2, 38, 2));
}

TEST_F(zmEditorView, ANonClientBorderIsPaintedAroundTheClient) {
  auto* edit = NewEditor<TzmInplaceEdit>();
  edit->GetStyle()->SetBorderStyle(xbsSingle);
  edit->GetStyle()->SetBorderColor(clRed);
  Open(edit, "");
  Form->Repaint();
  Pump();
  TPoint topLeft = Form->ScreenToClient(edit->ClientToScreen({-1, -1}));
  EXPECT_EQ(ClientPixel(Form, topLeft), 0xFF0000u) << "the single border lies one pixel outside the client area";
}

}  // namespace
