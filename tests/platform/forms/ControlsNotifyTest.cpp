// CM_ notifications of property changes, parent-following properties, and painting of graphic
// children through their parent.
#include "ControlsTestSupport.h"

namespace {

class ControlsNotifyTest : public TFormsTest {};

struct TPropCase {
  const char* Name;
  std::function<void(TControl*)> Change;
  UINT Expected;
};

TEST_F(ControlsNotifyTest, PropertyChangesSendTheirNotification) {
  const TPropCase cases[] = {
      {"Color", [](TControl* c) { c->SetColor(clRed); }, CM_COLORCHANGED},
      {"Font", [](TControl* c) { c->GetFont()->SetSize(20); }, CM_FONTCHANGED},
      {"Enabled", [](TControl* c) { c->SetEnabled(false); }, CM_ENABLEDCHANGED},
      {"Visible", [](TControl* c) { c->SetVisible(false); }, CM_VISIBLECHANGED},
      {"Cursor", [](TControl* c) { c->SetCursor(crHandPoint); }, CM_CURSORCHANGED},
      {"BiDiMode", [](TControl* c) { c->SetBiDiMode(bdRightToLeft); }, CM_BIDIMODECHANGED},
      {"Ctl3D", [](TControl* c) { c->SetCtl3D(false); }, CM_CTL3DCHANGED},
      {"Text", [](TControl* c) { c->SetText("x"); }, CM_TEXTCHANGED},
      {"ShowHint", [](TControl* c) { c->SetShowHint(true); }, CM_SHOWHINTCHANGED},
  };
  TForm* form = NewForm();
  for (const TPropCase& pc : cases) {
    SCOPED_TRACE(pc.Name);
    for (bool windowed : {true, false}) {
      TControl* c = windowed ? static_cast<TControl*>(Add<TProbeControl>(form, "", Rect(0, 0, 10, 10)))
                             : static_cast<TControl*>(Add<TProbeGraphic>(form, "", Rect(0, 0, 10, 10)));
      auto count = [&] {
        if (auto* w = dynamic_cast<TProbeControl*>(c)) return w->Count(pc.Expected);
        return static_cast<TProbeGraphic*>(c)->Count(pc.Expected);
      };
      int before = count();  // joining the parent may have changed the property already
      pc.Change(c);
      EXPECT_EQ(count(), before + 1) << (windowed ? "windowed" : "graphic");
      pc.Change(c);
      EXPECT_EQ(count(), before + 1) << "setting the same value again says nothing";
      Free(c);
    }
  }
}

TEST_F(ControlsNotifyTest, ParentColorAndFontFollowTheParentUntilSetOwnValue) {
  TForm* form = NewForm();
  auto* panel = Add<TProbeControl>(form, "panel", Rect(0, 0, 100, 100));
  auto* child = Add<TProbeGraphic>(panel, "child", Rect(0, 0, 10, 10));
  EXPECT_TRUE(child->GetParentColor());
  panel->SetColor(clYellow);
  EXPECT_EQ(child->GetColor(), clYellow);
  EXPECT_EQ(child->Count(CM_PARENTCOLORCHANGED), 2) << "once when inserted, once for the change";
  EXPECT_TRUE(child->GetParentColor());

  form->GetFont()->SetName("DejaVu Serif");
  EXPECT_EQ(child->GetFont()->GetName(), "DejaVu Serif") << "font changes travel down the tree";
  EXPECT_TRUE(child->GetParentFont());
  child->GetFont()->SetStyle(fsBold);
  EXPECT_FALSE(child->GetParentFont());
  form->GetFont()->SetName("DejaVu Sans");
  EXPECT_EQ(child->GetFont()->GetName(), "DejaVu Serif");

  child->SetColor(clLime);
  EXPECT_FALSE(child->GetParentColor());
  panel->SetColor(clAqua);
  EXPECT_EQ(child->GetColor(), clLime);
  child->SetParentColor(true);
  EXPECT_EQ(child->GetColor(), clAqua) << "ParentColor takes the parent's colour again";

  form->SetShowHint(true);
  EXPECT_TRUE(child->GetShowHint());
}

TEST_F(ControlsNotifyTest, ShowingFollowsVisibilityOfEveryParent) {
  TForm* form = NewForm();
  auto* panel = Add<TProbeControl>(form, "panel", Rect(0, 0, 100, 100));
  auto* child = Add<TProbeControl>(panel, "child", Rect(0, 0, 10, 10));
  EXPECT_FALSE(child->GetShowing());
  form->Show();
  EXPECT_TRUE(child->GetShowing());
  EXPECT_TRUE(IsWindowVisible(child->GetHandle()));
  child->Messages.clear();
  panel->Hide();
  EXPECT_FALSE(IsWindowVisible(child->GetHandle()));
  EXPECT_FALSE(panel->GetShowing());
  panel->Show();
  EXPECT_TRUE(IsWindowVisible(child->GetHandle()));
  child->Hide();
  EXPECT_EQ(child->Count(CM_SHOWINGCHANGED), 1);
  EXPECT_FALSE(child->GetShowing());
  child->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(child->GetHandle()));
}

TEST_F(ControlsNotifyTest, SystemColourAndSettingChangesReachEveryControl) {
  TForm* form = NewForm();
  auto* panel = Add<TProbeControl>(form, "panel", Rect(0, 0, 100, 100));
  auto* graphic = Add<TProbeGraphic>(panel, "graphic", Rect(0, 0, 10, 10));
  form->Show();
  BroadcastSysColorChange();
  BroadcastSettingChange(0, "intl");
  EXPECT_EQ(panel->Count(CM_SYSCOLORCHANGE), 1);
  EXPECT_EQ(graphic->Count(CM_SYSCOLORCHANGE), 1);
  EXPECT_EQ(graphic->Count(CM_WININICHANGE), 1);
}

TEST_F(ControlsNotifyTest, GraphicChildrenArePaintedByTheParentIntoItsWindow) {
  TForm* form = NewForm(200, 150);
  form->SetColor(clWhite);
  auto* panel = Add<TProbeControl>(form, "panel", Rect(10, 10, 190, 140));
  panel->PaintColor = clBlue;
  auto* graphic = Add<TProbeGraphic>(panel, "graphic", Rect(20, 30, 60, 50));
  form->Show();
  form->Update();
  panel->Update();
  EXPECT_GE(graphic->Paints, 1);
  EXPECT_EQ(ClientPixel(form, {10 + 20, 10 + 30}), kRedPixel) << "top-left pixel of the graphic child";
  EXPECT_EQ(ClientPixel(form, {10 + 59, 10 + 49}), kRedPixel) << "bottom-right pixel";
  EXPECT_EQ(ClientPixel(form, {10 + 60, 10 + 49}), 0x0000FFu) << "the panel's own paint around it";
  EXPECT_EQ(ClientPixel(form, {5, 5}), 0xFFFFFFu) << "the form's background";

  graphic->PaintColor = clLime;
  graphic->Invalidate();
  panel->Update();
  EXPECT_EQ(ClientPixel(form, {10 + 40, 10 + 40}), 0x00FF00u);
  graphic->Hide();
  panel->Update();
  EXPECT_EQ(ClientPixel(form, {10 + 40, 10 + 40}), 0x0000FFu) << "a hidden graphic child leaves the parent's paint";
}

TEST_F(ControlsNotifyTest, CanvasesDrawOutsidePaintingToo) {
  TForm* form = NewForm(200, 150);
  form->SetColor(clWhite);
  auto* panel = Add<TProbeControl>(form, "panel", Rect(10, 10, 110, 110));
  auto* graphic = Add<TProbeGraphic>(panel, "graphic", Rect(20, 20, 40, 40));
  form->Show();
  form->Update();
  panel->Update();
  panel->GetCanvas()->GetBrush()->SetColor(clLime);
  panel->GetCanvas()->FillRect(Rect(0, 0, 5, 5));
  graphic->GetCanvas()->GetBrush()->SetColor(clBlue);
  graphic->GetCanvas()->FillRect(Rect(0, 0, 100, 100));
  EXPECT_EQ(ClientPixel(form, {10, 10}), 0x00FF00u);
  EXPECT_EQ(ClientPixel(form, {10 + 20, 10 + 20}), 0x0000FFu) << "a graphic control's canvas starts at its corner";
  EXPECT_NE(ClientPixel(form, {10 + 40, 10 + 40}), 0x0000FFu) << "and is clipped to its bounds";
}

TEST_F(ControlsNotifyTest, DoubleBufferedControlsPaintTheSame) {
  TForm* form = NewForm(200, 150);
  auto* panel = Add<TProbeControl>(form, "panel", Rect(10, 10, 110, 110));
  panel->PaintColor = clBlue;
  panel->SetDoubleBuffered(true);
  Add<TProbeGraphic>(panel, "graphic", Rect(5, 5, 15, 15));
  form->Show();
  form->Update();
  panel->Update();
  EXPECT_EQ(ClientPixel(form, {10 + 7, 10 + 7}), kRedPixel);
  EXPECT_EQ(ClientPixel(form, {10 + 50, 10 + 50}), 0x0000FFu);
}

}  // namespace
