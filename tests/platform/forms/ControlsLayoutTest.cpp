// Alignment, anchors and constraints of child controls, with and without windows.
#include "ControlsTestSupport.h"

namespace {

class ControlsLayoutTest : public TFormsTest {};

// Runs a step when its window is made.
class TWindowMaker : public TProbeControl {
  QJ_INLINE_CLASS(TWindowMaker, TProbeControl)
 public:
  using TProbeControl::TProbeControl;
  std::function<void()> OnCreateWnd;

 protected:
  void CreateWnd() override {
    TProbeControl::CreateWnd();
    if (OnCreateWnd) OnCreateWnd();
  }
};

struct TAlignChild {
  TAlign Align;
  TRect Bounds;    // before alignment
  TRect Expected;  // after alignment in a 200 x 100 parent
};

struct TAlignCase {
  const char* Name;
  std::vector<TAlignChild> Children;
};

const TAlignCase kAlignCases[] = {
    {"client fills", {{alClient, Rect(5, 5, 20, 20), Rect(0, 0, 200, 100)}}},
    {"top keeps height", {{alTop, Rect(30, 40, 50, 60), Rect(0, 0, 200, 20)}}},
    {"bottom keeps height", {{alBottom, Rect(0, 0, 10, 30), Rect(0, 70, 200, 100)}}},
    {"left keeps width", {{alLeft, Rect(50, 50, 80, 60), Rect(0, 0, 30, 100)}}},
    {"right keeps width", {{alRight, Rect(0, 0, 25, 10), Rect(175, 0, 200, 100)}}},
    {"top before left before client",
     {{alClient, Rect(0, 0, 1, 1), Rect(40, 20, 200, 100)},
      {alLeft, Rect(0, 0, 40, 1), Rect(0, 20, 40, 100)},
      {alTop, Rect(0, 0, 1, 20), Rect(0, 0, 200, 20)}}},
    {"two tops stack by their top",
     {{alTop, Rect(0, 50, 10, 60), Rect(0, 15, 200, 25)}, {alTop, Rect(0, 10, 10, 25), Rect(0, 0, 200, 15)}}},
    {"two bottoms stack from the bottom",
     {{alBottom, Rect(0, 90, 10, 100), Rect(0, 90, 200, 100)}, {alBottom, Rect(0, 0, 10, 20), Rect(0, 70, 200, 90)}}},
    {"bottom and right share the rest",
     {{alBottom, Rect(0, 0, 1, 10), Rect(0, 90, 200, 100)},
      {alRight, Rect(0, 0, 50, 1), Rect(150, 0, 200, 90)},
      {alClient, Rect(0, 0, 1, 1), Rect(0, 0, 150, 90)}}},
    {"unaligned stays", {{alNone, Rect(7, 8, 27, 28), Rect(7, 8, 27, 28)}}},
};

TEST_F(ControlsLayoutTest, AlignmentTableWithoutWindows) {
  for (const TAlignCase& c : kAlignCases) {
    SCOPED_TRACE(c.Name);
    auto* parent = New<TProbeControl>(nullptr);
    parent->SetBounds(0, 0, 200, 100);
    parent->DisableAlign();  // every child is placed from its original bounds
    std::vector<TProbeControl*> kids;
    for (const TAlignChild& k : c.Children) {
      auto* child = New<TProbeControl>(parent);
      child->SetBoundsRect(k.Bounds);
      child->SetAlign(k.Align);
      child->SetParent(parent);
      kids.push_back(child);
    }
    parent->EnableAlign();
    for (size_t i = 0; i < kids.size(); ++i) EXPECT_EQ(kids[i]->GetBoundsRect(), c.Children[i].Expected) << "child " << i;
    Free(parent);
  }
}

TEST_F(ControlsLayoutTest, ResizingAShownFormRealignsAndMovesAnchoredChildren) {
  TForm* form = NewForm(200, 100);
  auto* top = Add<TProbeControl>(form, "top", Rect(0, 0, 10, 20));
  top->SetAlign(alTop);
  auto* client = Add<TProbeControl>(form, "client", Rect(0, 0, 10, 10));
  client->SetAlign(alClient);
  form->Show();
  ASSERT_TRUE(client->HandleAllocated());
  auto* corner = Add<TProbeControl>(client, "corner", Rect(150, 50, 190, 70));
  corner->SetAnchors(akRight | akBottom);
  auto* stretch = Add<TProbeControl>(client, "stretch", Rect(10, 5, 190, 15));
  stretch->SetAnchors(akLeft | akRight | akTop);

  form->SetClientWidth(300);
  form->SetClientHeight(180);
  EXPECT_EQ(form->GetClientRect(), Rect(0, 0, 300, 180));
  EXPECT_EQ(top->GetBoundsRect(), Rect(0, 0, 300, 20));
  EXPECT_EQ(client->GetBoundsRect(), Rect(0, 20, 300, 180));
  EXPECT_EQ(corner->GetBoundsRect(), Rect(250, 130, 290, 150)) << "keeps its gaps to the right and bottom";
  EXPECT_EQ(stretch->GetBoundsRect(), Rect(10, 5, 290, 15)) << "stretches between both sides";
  RECT r;
  GetWindowRect(corner->GetHandle(), &r);
  MapWindowPoints(nullptr, client->GetHandle(), &r);
  EXPECT_EQ(r, corner->GetBoundsRect()) << "the window follows the control";
}

TEST_F(ControlsLayoutTest, ConstraintsLimitSizesAndAlignedControlsTakeOnlyWhatTheyGet) {
  auto* parent = New<TProbeControl>(nullptr);
  parent->SetBounds(0, 0, 200, 100);
  auto* left = New<TProbeControl>(parent);
  left->GetConstraints()->SetMaxHeight(60);
  left->SetBounds(0, 0, 50, 10);
  left->SetAlign(alLeft);
  left->SetParent(parent);
  auto* rest = New<TProbeControl>(parent);
  rest->SetAlign(alClient);
  rest->SetParent(parent);
  EXPECT_EQ(left->GetBoundsRect(), Rect(0, 0, 50, 60));
  EXPECT_EQ(rest->GetBoundsRect(), Rect(50, 0, 200, 100));

  left->GetConstraints()->SetMinWidth(80);
  EXPECT_EQ(left->GetWidth(), 80) << "a new minimum applies at once";
  EXPECT_EQ(rest->GetLeft(), 80);
  left->GetConstraints()->SetMaxWidth(70);
  EXPECT_EQ(left->GetConstraints()->GetMinWidth(), 70) << "a maximum below the minimum lowers it";
  left->SetBounds(0, 0, -5, -5);
  EXPECT_EQ(left->GetWidth(), 70);
  Free(parent);
}

TEST_F(ControlsLayoutTest, DisabledAlignmentWaitsForEnableAlign) {
  auto* parent = New<TProbeControl>(nullptr);
  parent->SetBounds(0, 0, 200, 100);
  parent->DisableAlign();
  auto* child = New<TProbeControl>(parent);
  child->SetAlign(alClient);
  child->SetParent(parent);
  EXPECT_EQ(child->GetWidth(), 0);
  parent->EnableAlign();
  EXPECT_EQ(child->GetBoundsRect(), Rect(0, 0, 200, 100));
  Free(parent);
}

TEST_F(ControlsLayoutTest, ChildrenKeepZOrderAndCoordinatesMapThroughParents) {
  TForm* form = NewForm(300, 200, 100, 100);
  auto* panel = Add<TProbeControl>(form, "panel", Rect(10, 20, 210, 120));
  auto* g1 = Add<TProbeGraphic>(panel, "g1", Rect(0, 0, 50, 50));
  auto* g2 = Add<TProbeGraphic>(panel, "g2", Rect(20, 20, 70, 70));
  auto* inner = Add<TProbeControl>(panel, "inner", Rect(100, 0, 150, 50));
  EXPECT_EQ(panel->GetControlCount(), 3);
  EXPECT_EQ(panel->GetControl(0), g1);
  EXPECT_EQ(panel->GetControl(2), inner) << "windowed children come after graphic ones";
  EXPECT_EQ(panel->ControlAtPos({30, 30}, false), g2);
  g1->BringToFront();
  EXPECT_EQ(panel->ControlAtPos({30, 30}, false), g1);
  g1->SetEnabled(false);
  EXPECT_EQ(panel->ControlAtPos({30, 30}, false), g2);
  EXPECT_EQ(panel->ControlAtPos({30, 30}, true), g1);
  EXPECT_EQ(panel->ControlAtPos({120, 10}, false, true), inner);
  EXPECT_EQ(panel->FindChildControl("G2"), g2);
  EXPECT_THROW(panel->GetControl(3), EListError);

  form->Show();
  TPoint origin = form->ClientToScreen({0, 0});
  EXPECT_EQ(inner->ClientToScreen({1, 2}), (TPoint{origin.X + 10 + 100 + 1, origin.Y + 20 + 2}));
  EXPECT_EQ(g2->ScreenToClient(g2->ClientToScreen({5, 6})), (TPoint{5, 6}));
  EXPECT_EQ(g2->ClientToParent({1, 1}, form), (TPoint{31, 41}));
  EXPECT_THROW(panel->SetParent(panel), EInvalidOperation);
}

// A window made after its siblings' takes the place its control holds in the children's order;
// a child added while its parent is being shown is shown with it.
TEST_F(ControlsLayoutTest, LateWindowsKeepTheirPlaceAndShowWithTheirParent) {
  TForm* form = NewForm(300, 200, 100, 100);
  auto* below = Add<TProbeControl>(form, "below", Rect(0, 0, 100, 100));
  auto* above = Add<TProbeControl>(form, "above", Rect(50, 50, 150, 150));
  above->SetVisible(false);
  form->Show();
  ASSERT_TRUE(below->HandleAllocated());
  above->SetVisible(true);
  ASSERT_TRUE(above->HandleAllocated());
  const TPoint overlap = form->ClientToScreen({75, 75});
  EXPECT_EQ(above->GetHandle(), WindowFromPoint(overlap)) << "the later window goes on top, as its control";
  above->SendToBack();
  EXPECT_EQ(below->GetHandle(), WindowFromPoint(overlap));

  // A control that places a helper on its parent when its own window is made.
  TForm* hidden = NewForm(300, 200, 450, 100);
  auto* host = Add<TProbeControl>(hidden, "host", Rect(0, 0, 200, 150));
  auto* maker = Add<TWindowMaker>(host, "maker", Rect(0, 0, 100, 100));
  TProbeControl* helper = nullptr;
  maker->OnCreateWnd = [&] { helper = Add<TProbeControl>(host, "helper", Rect(120, 0, 150, 30)); };
  hidden->Show();
  ASSERT_NE(helper, nullptr);
  EXPECT_TRUE(helper->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(helper->GetHandle()));
}

TEST_F(ControlsLayoutTest, WindowsAreMadeOnDemandAndFollowReparenting) {
  TForm* form = NewForm();
  auto* orphan = New<TProbeControl>(form);
  EXPECT_THROW(orphan->GetHandle(), EInvalidOperation) << "a child control needs a parent window";
  orphan->SetParent(form);
  EXPECT_FALSE(orphan->HandleAllocated());
  HWND h = orphan->GetHandle();
  EXPECT_TRUE(form->HandleAllocated()) << "the parent's window comes first";
  EXPECT_EQ(GetParent(h), form->GetHandle());
  EXPECT_EQ(FindControl(h), orphan);
  orphan->SetText("caption");
  EXPECT_EQ(GetWindowText(h), "caption");
  orphan->RecreateWnd();
  EXPECT_EQ(orphan->GetText(), "caption") << "the text survives a new window";
  EXPECT_FALSE(IsWindow(h));
  orphan->SetParent(nullptr);
  EXPECT_FALSE(orphan->HandleAllocated()) << "leaving the parent drops the window";
  Free(orphan);
}

}  // namespace
