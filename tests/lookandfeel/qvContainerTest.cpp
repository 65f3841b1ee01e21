// The container: the frame it computes for each border style and state (hot tracking, focus,
// shadow, edges, native frame, disabled), the window region, the inner control it places, clips
// and keeps in colour and font agreement, colours flowing between control and style, and the
// keys and mouse it reacts to, through real input.
#include "lookandfeel/qvContainer.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/StdCtrls.h"
#include "qvControlsTestSupport.h"

namespace {

// A container with an edit box inside, as the editors have.
class TEditContainer : public TqvContainer {
  QJ_INLINE_CLASS(TEditContainer, TqvContainer)
 public:
  explicit TEditContainer(TComponent* AOwner) : TqvContainer(AOwner) {
    FEdit = New<TEdit>(this);
    FEdit->SetBorderStyle(bsNone);
    FEdit->SetTabStop(false);
    FEdit->SetParent(this);
    SetInnerControl(FEdit);
  }
  TEdit* GetEdit() const { return FEdit; }
  using TqvContainer::GetBorderExtent;

 private:
  TEdit* FEdit;
};

class Container : public TqvControlsTest {
 protected:
  void SetUp() override {
    TqvControlsTest::SetUp();
    FForm = NewForm();
  }
  TForm* Form() const { return FForm; }
  TqvContainer* NewContainer(TRect bounds = Rect(10, 10, 110, 40)) { return Add<TqvContainer>(FForm, bounds); }
  TEditContainer* NewEditContainer(TRect bounds = Rect(10, 10, 110, 40)) {
    return Add<TEditContainer>(FForm, bounds);
  }
  // Moves the mouse away from every container and refreshes c.
  static void Rest(TqvContainer* c) {
    Headless::MoveMouse(390, 290);
    Pump();
    c->ShortRefreshContainer(false);
  }
  static TRect RegionBox(TWinControl* c) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    TRect box;
    if (GetWindowRgn(c->GetHandle(), rgn) == ERROR)
      box = Rect(-1, -1, -1, -1);
    else
      GetRgnBox(rgn, &box);
    DeleteObject(rgn);
    return box;
  }
  static bool InRegion(TWinControl* c, Integer x, Integer y) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    const bool in = GetWindowRgn(c->GetHandle(), rgn) != ERROR && PtInRegion(rgn, x, y);
    DeleteObject(rgn);
    return in;
  }

 private:
  TForm* FForm = nullptr;
};

struct TBorderCase {
  TqvContainerBorderStyle Style;
  TqvContainerBorderStyle AtRest, WhenHot;
  Integer RestWidth, HotWidth;
};

class ContainerHotBorder : public Container, public ::testing::WithParamInterface<TBorderCase> {};

TEST_P(ContainerHotBorder, TheDrawnBorderChangesWhileTheMouseIsOverItAndTheClientStays) {
  const TBorderCase& c = GetParam();
  Show(Form());
  auto* container = NewContainer();
  container->GetStyle()->SetBorderStyle(c.Style);
  Rest(container);
  const TRect client = container->GetViewInfo()->ClientRect;
  EXPECT_EQ(c.AtRest, container->GetViewInfo()->BorderStyle);
  EXPECT_EQ(c.RestWidth, container->GetViewInfo()->BorderThickness);
  MoveTo(container, {50, 15});
  EXPECT_EQ(c.WhenHot, container->GetViewInfo()->BorderStyle);
  EXPECT_EQ(c.HotWidth, container->GetViewInfo()->BorderThickness);
  EXPECT_EQ(client, container->GetViewInfo()->ClientRect);
  EXPECT_EQ(Rect(2, 2, 98, 28), client);
}

INSTANTIATE_TEST_SUITE_P(
    EachStyle, ContainerHotBorder,
    ::testing::Values(TBorderCase{cbsNone, cbsNone, cbsFlat, 0, 2}, TBorderCase{cbsSingle, cbsSingle, cbsThick, 1, 2},
                      TBorderCase{cbsThick, cbsThick, cbsThick, 2, 2}, TBorderCase{cbsFlat, cbsFlat, cbs3D, 2, 2},
                      TBorderCase{cbs3D, cbs3D, cbs3D, 2, 2}, TBorderCase{cbsUltraFlat, cbsSingle, cbsSingle, 1, 1}));

TEST_F(Container, WithoutHotTrackTheBorderNeverChanges) {
  Show(Form());
  auto* c = NewContainer();
  c->GetStyle()->SetBorderStyle(cbsSingle);
  c->GetStyle()->SetHotTrack(false);
  c->GetStyle()->SetTransparentBorder(false);
  MoveTo(c, {50, 15});
  EXPECT_EQ(cbsSingle, c->GetViewInfo()->BorderStyle);
  EXPECT_EQ(Rect(1, 1, 99, 29), c->GetViewInfo()->ClientRect);
}

TEST_F(Container, AMouseMoveWithTheButtonHeldDoesNotMakeItHot) {
  Show(Form());
  auto* c = NewContainer();
  c->GetStyle()->SetBorderStyle(cbsSingle);
  Rest(c);
  Headless::MouseDown(0);
  Pump();
  c->SetFocus();
  Pump();
  Headless::MouseUp(0);
  Pump();
  auto* other = NewContainer(Rect(200, 10, 300, 40));
  other->GetStyle()->SetBorderStyle(cbsSingle);
  Rest(other);
  Down(other, {2, 2});
  MoveTo(other, {50, 15});
  EXPECT_FALSE(other->GetViewInfo()->ContainerState & cstBit(cstHot));
  Up();
}

TEST_F(Container, FocusMakesTheBorderHotAndTheStateActive) {
  Show(Form());
  auto* c = NewContainer();
  c->GetStyle()->SetBorderStyle(cbsSingle);
  c->SetFocus();
  Pump();
  Rest(c);
  EXPECT_EQ(cstBit(cstActive), c->GetViewInfo()->ContainerState);
  EXPECT_EQ(cbsThick, c->GetViewInfo()->BorderStyle);
}

TEST_F(Container, TheUltraFlatBorderIsHighlightedWhenFocusedOrHot) {
  Show(Form());
  auto* c = NewContainer();
  c->GetStyle()->SetBorderStyle(cbsUltraFlat);
  Rest(c);
  EXPECT_EQ(clBtnShadow, c->GetViewInfo()->BorderColor);
  MoveTo(c, {50, 15});
  EXPECT_EQ(clHighlight, c->GetViewInfo()->BorderColor);
  c->GetStyle()->SetHotTrack(false);
  EXPECT_EQ(clBtnShadow, c->GetViewInfo()->BorderColor);
  c->SetFocus();
  Pump();
  EXPECT_EQ(clHighlight, c->GetViewInfo()->BorderColor);
}

TEST_F(Container, AShadowIsReservedPaintedAndInsideTheRegion) {
  Show(Form());
  auto* c = NewContainer();
  c->GetStyle()->SetBorderStyle(cbsSingle);
  c->GetStyle()->SetShadow(true);
  Rest(c);
  EXPECT_EQ(Rect(2, 2, 95, 25), c->GetViewInfo()->ClientRect);
  EXPECT_TRUE(c->GetViewInfo()->Shadow);
  // The frame is (1, 1, 96, 26); the shadow lies 3 pixels right and below, 3 in from the corners.
  EXPECT_TRUE(InRegion(c, 97, 10));
  EXPECT_TRUE(InRegion(c, 10, 27));
  EXPECT_FALSE(InRegion(c, 97, 2));
  EXPECT_FALSE(InRegion(c, 0, 0));

  TBitmap bmp;
  bmp.SetPixelFormat(pf32bit);
  bmp.SetSize(100, 30);
  TqvCanvas canvas(bmp.GetCanvas());
  c->GetViewInfo()->Draw(&canvas);
  // The shadow is outside the clip afterwards, so the pixels are read from the bitmap.
  auto pixel = [&](Integer x, Integer y) { return TColor(bmp.ScanLine(y)[x] & 0xFFFFFF); };
  const TColor shadow = TColor(GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(shadow, pixel(97, 10));
  EXPECT_EQ(shadow, pixel(10, 27));
  EXPECT_NE(shadow, pixel(97, 2));
}

TEST_F(Container, ANativeFrameHasNoShadowAndNoRegion) {
  Show(Form());
  auto* c = NewContainer();
  c->GetStyle()->SetShadow(true);
  c->GetStyle()->GetLookAndFeel()->SetNativeStyle(true);
  Rest(c);
  EXPECT_TRUE(c->GetViewInfo()->NativeStyle);
  EXPECT_FALSE(c->GetViewInfo()->Shadow);
  EXPECT_EQ(Rect(2, 2, 98, 28), c->GetViewInfo()->ClientRect);
  EXPECT_EQ(Rect(-1, -1, -1, -1), RegionBox(c));
  TRect visible;
  c->GetVisibleBounds(visible);
  EXPECT_EQ(Rect(0, 0, 100, 30), visible);
}

TEST_F(Container, ADisabledNativeFrameTakesTheThemesDisabledFill) {
  Show(Form());
  auto* c = NewContainer();
  c->GetStyle()->GetLookAndFeel()->SetNativeStyle(true);
  c->SetEnabled(false);
  Pump();
  EXPECT_EQ(ETS_DISABLED, c->GetViewInfo()->ThemeState);
  COLORREF disabled = 0;
  GetThemeColor(OpenTheme(totEdit), EP_EDITTEXT, ETS_DISABLED, TMT_FILLCOLOR, &disabled);
  COLORREF normal = 0;
  GetThemeColor(OpenTheme(totEdit), EP_EDITTEXT, ETS_NORMAL, TMT_FILLCOLOR, &normal);
  ASSERT_NE(disabled, normal);
  EXPECT_EQ(disabled, ColorToRGB(c->GetViewInfo()->BackgroundColor));
}

TEST_F(Container, OnlyTheEdgesInTheStyleAreInsideTheRegionAndTheVisibleBounds) {
  Show(Form());
  auto* c = NewContainer();
  c->GetStyle()->SetBorderStyle(cbsSingle);
  c->GetStyle()->SetHotTrack(false);
  c->GetStyle()->SetEdges(qvBorder(bLeft) | qvBorder(bTop));
  Rest(c);
  TRect visible;
  c->GetVisibleBounds(visible);
  EXPECT_EQ(Rect(1, 1, 98, 28), visible);
  EXPECT_EQ(visible, RegionBox(c));
}

TEST_F(Container, ADisabledContainerIsButtonFaceAndGreysItsInnerText) {
  Show(Form());
  auto* c = NewEditContainer();
  c->GetStyle()->SetColor(clYellow);
  Rest(c);
  EXPECT_EQ(clYellow, c->GetEdit()->GetColor());
  c->SetEnabled(false);
  Pump();
  EXPECT_FALSE(c->GetEdit()->GetEnabled());
  EXPECT_EQ(clBtnFace, c->GetViewInfo()->BackgroundColor);
  EXPECT_EQ(clBtnFace, c->GetEdit()->GetColor());
  EXPECT_EQ(clBtnShadow, c->GetEdit()->GetFont()->GetColor());
}

TEST_F(Container, TheInnerControlFillsTheClientRectangle) {
  Show(Form());
  auto* c = NewEditContainer();
  c->GetStyle()->SetShadow(true);
  Rest(c);
  EXPECT_EQ(c->GetViewInfo()->InnerEditRect, c->GetEdit()->GetBoundsRect());
  EXPECT_EQ(Rect(2, 2, 95, 25), c->GetEdit()->GetBoundsRect());
  c->SetBounds(10, 10, 150, 50);
  Pump();
  EXPECT_EQ(Rect(2, 2, 145, 45), c->GetEdit()->GetBoundsRect());
}

TEST_F(Container, FocusGoesToTheInnerControl) {
  Show(Form());
  auto* c = NewEditContainer();
  c->SetFocus();
  Pump();
  EXPECT_EQ(c->GetEdit()->GetHandle(), GetFocus());
  EXPECT_TRUE(c->Focused());
  EXPECT_EQ(cstBit(cstActive), c->GetViewInfo()->ContainerState);
}

TEST_F(Container, TabAndShiftTabMoveTheFocusOn) {
  Show(Form());
  auto* first = NewEditContainer(Rect(10, 10, 110, 40));
  auto* second = NewEditContainer(Rect(10, 50, 110, 80));
  auto* third = NewEditContainer(Rect(10, 90, 110, 120));
  second->SetFocus();
  Pump();
  Word key = VK_TAB;
  second->KeyDown(key, 0);
  Pump();
  EXPECT_EQ(0, key);
  EXPECT_TRUE(third->Focused());
  key = VK_TAB;
  third->KeyDown(key, ssShift);
  Pump();
  EXPECT_TRUE(second->Focused());
  key = VK_TAB;
  second->KeyDown(key, ssCtrl);
  EXPECT_EQ(VK_TAB, key);
  EXPECT_TRUE(second->Focused());
  EXPECT_FALSE(first->Focused());
}

TEST_F(Container, AColourSetOnTheControlIsAssignedInItsStyle) {
  Show(Form());
  auto* c = NewContainer();
  c->SetColor(clAqua);
  EXPECT_TRUE(c->GetStyle()->GetAssignedValues() & csvBit(csvColor));
  EXPECT_EQ(clAqua, c->GetStyle()->GetColor());
  Form()->SetColor(clLime);
  Pump();
  EXPECT_EQ(clAqua, c->GetColor());
}

TEST_F(Container, ParentColorShowsTheParentsColourEvenWhenTheStyleAssignsOne) {
  Show(Form());
  auto* c = NewContainer();
  c->GetStyle()->SetColor(clAqua);
  Form()->SetColor(clLime);
  c->SetParentColor(true);
  Pump();
  EXPECT_EQ(clLime, c->GetStyle()->GetColor());
  Rest(c);
  EXPECT_EQ(clLime, c->GetViewInfo()->BackgroundColor);
}

TEST_F(Container, AStyleChangeReachesTheControlsColourAndFont) {
  Show(Form());
  auto* c = NewEditContainer();
  auto* controller = New<TqvStyleController>(Form());
  c->GetStyle()->SetStyleController(controller);
  controller->GetStyle()->SetColor(clYellow);
  controller->GetStyle()->GetFont()->SetSize(15);
  EXPECT_EQ(clYellow, c->GetColor());
  EXPECT_EQ(15, c->GetFont()->GetSize());
  EXPECT_EQ(15, c->GetEdit()->GetFont()->GetSize());
}

TEST_F(Container, AFontSetOnTheControlGoesToTheStyleUnassigned) {
  Show(Form());
  auto* c = NewContainer();
  c->GetFont()->SetSize(17);
  EXPECT_EQ(17, c->GetStyle()->GetFont()->GetSize());
  EXPECT_FALSE(c->GetStyle()->GetAssignedValues() & csvBit(csvFont));
}

TEST_F(Container, AnInnerControlSpillingOverTheClientIsClippedByItsRegion) {
  Show(Form());
  auto* c = NewContainer(Rect(10, 10, 110, 60));
  auto* child = Add<TPanel>(c, Rect(0, 0, 50, 20));
  Pump();
  const TRect client = c->GetViewInfo()->ClientRect;
  child->SetBounds(-5, -5, 50, 20);
  Pump();
  EXPECT_EQ(Rect(client.Left + 5, client.Top + 5, 50, 20), RegionBox(child));
}

TEST_F(Container, ABorderStyleTableGivesTheWidths) {
  const Integer widths[] = {0, 1, 2, 2, 2, 1};
  for (Integer s = cbsNone; s <= cbsUltraFlat; ++s)
    EXPECT_EQ(widths[s], TqvContainer::GetBorderWidth(TqvContainerBorderStyle(s))) << s;
}

TEST_F(Container, FreedInsideItsOwnStyleChangeItDoesNotCrash) {
  Show(Form());
  auto* c = NewContainer();
  auto* controller = New<TqvStyleController>(Form());
  c->GetStyle()->SetStyleController(controller);
  controller->OnStyleChanged = [c](TObject*, TqvContainerStyle* s) {
    if (s == c->GetStyle()) Free(c);
  };
  controller->GetStyle()->SetBorderStyle(cbsThick);
  EXPECT_EQ(0, controller->GetStyleCount());
}

}  // namespace
