// Edit styles: the fallback chain of values, assigned values, and which editors hear of a
// controller's change.
#include "zmTestSupport.h"

namespace {

// An editor that counts the style changes it hears.
class TCountingEdit : public TzmInplaceEdit {
  QJ_INLINE_CLASS(TCountingEdit, TzmInplaceEdit)
 public:
  using TzmInplaceEdit::TzmInplaceEdit;
  int StyleChanges = 0;
  void StyleChanged() override {
    ++StyleChanges;
    inherited::StyleChanged();
  }
};

TEST(zmEditStyle, WithoutAnyControllerTheHardDefaultsApply) {
  ASSERT_EQ(DefaultEditStyleController(), nullptr);
  auto style = MakeOwned<TzmEditStyle>(nullptr);
  EXPECT_EQ(style->GetBorderColor(), clWindowFrame);
  EXPECT_EQ(style->GetBorderStyle(), xbs3D);
  EXPECT_EQ(style->GetButtonStyle(), TzmEditButtonViewStyle::btsDefault);
  EXPECT_EQ(style->GetButtonTransparence(), TzmEditButtonTransparence::ebtNone);
  EXPECT_EQ(style->GetEdges(), zmAllEdges);
  EXPECT_FALSE(style->GetHotTrack());
  EXPECT_FALSE(style->GetShadow());
}

TEST(zmEditStyle, UnassignedValuesFollowTheDefaultController) {
  zmCntnerStart();
  auto style = MakeOwned<TzmEditStyle>(nullptr);
  DefaultEditStyleController()->SetBorderStyle(xbsFlat);
  DefaultEditStyleController()->SetEdges(edgLeft | edgBottom);
  EXPECT_EQ(style->GetBorderStyle(), xbsFlat);
  EXPECT_EQ(style->GetEdges(), edgLeft | edgBottom);
  style.reset();
  zmCntnerEnd();
}

TEST(zmEditStyle, AssigningTheInheritedValueStillMarksItAssigned) {
  zmCntnerStart();
  auto style = MakeOwned<TzmEditStyle>(nullptr);
  style->SetHotTrack(false);
  EXPECT_TRUE(style->IsAssigned(TzmEditStyleValue::svHotTrack));
  DefaultEditStyleController()->SetHotTrack(true);
  EXPECT_FALSE(style->GetHotTrack()) << "the controller no longer reaches an assigned value";
  style->SetAssignedValues(style->GetAssignedValues() & ~zmStyleValue(TzmEditStyleValue::svHotTrack));
  EXPECT_TRUE(style->GetHotTrack());
  style->SetShadow(true);
  style->RestoreDefaults();
  EXPECT_EQ(style->GetAssignedValues(), 0);
  EXPECT_FALSE(style->GetShadow());
  style.reset();
  zmCntnerEnd();
}

TEST(zmEditStyle, AssignCopiesEffectiveValuesAsAssigned) {
  zmCntnerStart();
  DefaultEditStyleController()->SetBorderStyle(xbsSingle);
  auto source = MakeOwned<TzmEditStyle>(nullptr);
  source->SetShadow(true);
  auto copy = MakeOwned<TzmEditStyle>(nullptr);
  copy->Assign(source.get());
  EXPECT_EQ(copy->GetAssignedValues(), 0x7F);
  DefaultEditStyleController()->SetBorderStyle(xbsThick);
  EXPECT_EQ(copy->GetBorderStyle(), xbsSingle);
  EXPECT_TRUE(copy->GetShadow());
  source.reset();
  copy.reset();
  zmCntnerEnd();
}

TEST(zmStyleController, AnUnbalancedEndUpdateNeverSilencesTheController) {
  TzmEditStyleController controller(nullptr);
  std::vector<TObject*> heard;
  TObject link;
  controller.AddLink(&link);
  controller.OnStyleChanged = [&](TObject*, TObject* l) { heard.push_back(l); };
  controller.EndUpdate();
  controller.EndUpdate();
  controller.SetShadow(true);
  EXPECT_EQ(heard.size(), 1u) << "the lock stays at zero";
  controller.BeginUpdate();
  controller.SetHotTrack(true);
  controller.SetBorderStyle(xbsNone);
  EXPECT_EQ(heard.size(), 1u);
  controller.EndUpdate();
  EXPECT_EQ(heard.size(), 2u) << "one change for the bracket";
}

TEST(zmStyleController, AssignAndRestoreDefaultsAreOneChange) {
  TzmEditStyleController source(nullptr), controller(nullptr);
  source.SetBorderStyle(xbsNone);
  source.SetShadow(true);
  source.SetEdges(edgTop);
  TObject link;
  controller.AddLink(&link);
  int changes = 0;
  controller.OnStyleChanged = [&](TObject*, TObject*) { ++changes; };
  controller.Assign(&source);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(controller.GetEdges(), edgTop);
  controller.RestoreDefaults();
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(controller.GetBorderStyle(), xbs3D);
  EXPECT_EQ(controller.GetEdges(), zmAllEdges);
}

TEST(zmStyleController, LoadingControllerTellsNothingUntilLoaded) {
  TzmEditStyleController controller(nullptr);
  TObject link;
  controller.AddLink(&link);
  int changes = 0;
  controller.OnStyleChanged = [&](TObject*, TObject*) { ++changes; };
  controller.BeginLoading();
  controller.SetShadow(true);
  controller.SetHotTrack(true);
  EXPECT_EQ(changes, 0);
  controller.EndLoading();
  EXPECT_EQ(changes, 1);
}

TEST(zmStyleController, LinksAllowDuplicatesAndRemoveTheFirst) {
  TzmStyleController controller(nullptr);
  TObject a, b;
  controller.AddLink(&a);
  controller.AddLink(&b);
  controller.AddLink(&a);
  controller.RemoveLink(&a);
  ASSERT_EQ(controller.GetLinkCount(), 2);
  EXPECT_EQ(controller.GetLink(0), &b);
  EXPECT_EQ(controller.GetLink(1), &a);
}

TEST(zmStyleController, CheckEditControllerDefaultsToNoBorderAnd3DButtons) {
  TzmCheckEditStyleController controller(nullptr);
  EXPECT_EQ(controller.GetBorderStyle(), xbsNone);
  EXPECT_EQ(controller.GetButtonStyle(), TzmEditButtonViewStyle::bts3D);
  controller.SetBorderStyle(xbsThick);
  controller.SetShadow(true);
  controller.RestoreDefaults();
  EXPECT_EQ(controller.GetBorderStyle(), xbsNone);
  EXPECT_FALSE(controller.GetShadow());
}

using zmEditStyleEditors = TzmEditorTest;

TEST_F(zmEditStyleEditors, DefaultControllerReachesOnlyEditorsWithoutTheirOwn) {
  auto* plain = NewEditor<TCountingEdit>();
  auto* linked = NewEditor<TCountingEdit>();
  auto* own = New<TzmEditStyleController>(Form);
  linked->SetStyleController(own);
  plain->StyleChanges = linked->StyleChanges = 0;
  DefaultEditStyleController()->SetBorderStyle(xbsFlat);
  EXPECT_EQ(plain->StyleChanges, 1);
  EXPECT_EQ(linked->StyleChanges, 0);
  EXPECT_EQ(plain->GetStyle()->GetBorderStyle(), xbsFlat);
  EXPECT_EQ(linked->GetStyle()->GetBorderStyle(), xbs3D);
  own->SetShadow(true);
  EXPECT_EQ(linked->StyleChanges, 1);
  EXPECT_EQ(plain->StyleChanges, 1);
  EXPECT_TRUE(linked->GetStyle()->GetShadow());
}

TEST_F(zmEditStyleEditors, AFreedControllerUnlinksItsEditors) {
  auto* edit = NewEditor<TCountingEdit>();
  auto* own = New<TzmEditStyleController>(nullptr);
  own->SetBorderStyle(xbsSingle);
  edit->SetStyleController(own);
  EXPECT_EQ(edit->GetStyle()->GetBorderStyle(), xbsSingle);
  Free(own);
  EXPECT_EQ(edit->GetStyleController(), nullptr);
  EXPECT_EQ(edit->GetStyle()->GetBorderStyle(), xbs3D);
  EXPECT_EQ(DefaultEditStyleController()->GetLinkCount(), 1) << "the editor's style still links it to the default";
  Free(edit);
  EXPECT_EQ(DefaultEditStyleController()->GetLinkCount(), 0);
}

}  // namespace
