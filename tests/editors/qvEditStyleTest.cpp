// The edit style and its controller: the three edit values resolved along the controller chain,
// the in-place style's own values, change notification, names, storing and copying.
#include "editors/qvEdit.h"
#include "editors/qvEditorsTestSupport.h"

namespace {

// An editor whose class hides the edit values from streaming, as a plain editor does.
class TEditLikeContainer : public TqvContainer {
  QJ_INLINE_CLASS(TEditLikeContainer, TqvContainer)
 public:
  using TqvContainer::TqvContainer;
  TqvContainerStyleValues GetNotPublishedStyleValues() const override {
    return csvBit(svButtonStyle) | csvBit(svButtonTransparency) | csvBit(svPopupBorderStyle);
  }
};

class EditStyle : public TEditorsTest {
 protected:
  void TearDown() override {
    FStyles.clear();
    for (auto it = FControllers.rbegin(); it != FControllers.rend(); ++it) Free(*it);
    TEditorsTest::TearDown();
  }
  TqvCustomEditStyle* NewStyle(bool AInplace = false, TPersistent* AOwner = nullptr) {
    FStyles.push_back(TOwned<TqvContainerStyle>(TqvCustomEditStyle::StaticClass().Create(AOwner, AInplace)));
    return static_cast<TqvCustomEditStyle*>(FStyles.back().get());
  }
  TqvEditStyleController* NewController() {
    FControllers.push_back(New<TqvEditStyleController>(nullptr));
    return FControllers.back();
  }
  void FreeController(TqvEditStyleController* c) {
    FControllers.erase(std::find(FControllers.begin(), FControllers.end(), c));
    Free(c);
  }

 private:
  std::vector<TOwned<TqvContainerStyle>> FStyles;
  std::vector<TqvEditStyleController*> FControllers;
};

struct TStyleChangeCounter {
  explicit TStyleChangeCounter(TqvContainerStyle* s) {
    s->OnChanged = [this](TObject*) { ++Count; };
  }
  Integer Count = 0;
};

TEST_F(EditStyle, FreshStyleHasTheDefaults) {
  auto* style = NewStyle();
  EXPECT_EQ(btsDefault, style->GetButtonStyle());
  EXPECT_EQ(ebtNone, style->GetButtonTransparency());
  EXPECT_EQ(epbsDefault, style->GetPopupBorderStyle());
  EXPECT_TRUE(style->GetPopupCloseButton());
  EXPECT_EQ(0u, style->GetAssignedValues());
  for (TqvContainerStyleValue v : {svButtonStyle, svButtonTransparency, svPopupBorderStyle})
    EXPECT_FALSE(style->IsValueAssigned(v)) << v;
}

TEST_F(EditStyle, ControllerSuppliesAValueUntilItGoes) {
  auto* style = NewStyle();
  auto* controller = NewController();
  style->SetStyleController(controller);
  controller->GetStyle()->SetButtonStyle(btsFlat);
  EXPECT_EQ(btsFlat, style->GetButtonStyle());
  EXPECT_TRUE(style->IsValueAssigned(svButtonStyle));
  EXPECT_EQ(0u, style->GetAssignedValues());
  FreeController(controller);
  EXPECT_EQ(btsDefault, style->GetButtonStyle());
  EXPECT_FALSE(style->IsValueAssigned(svButtonStyle));
}

TEST_F(EditStyle, ControllersChainAndTheNearestAssignedWins) {
  auto* style = NewStyle();
  auto* near = NewController();
  auto* far = NewController();
  style->SetStyleController(near);
  near->GetStyle()->SetStyleController(far);
  far->GetStyle()->SetPopupBorderStyle(epbsFrame3D);
  far->GetStyle()->SetButtonTransparency(ebtAlways);
  near->GetStyle()->SetButtonTransparency(ebtInactive);
  EXPECT_EQ(epbsFrame3D, style->GetPopupBorderStyle());
  EXPECT_EQ(ebtInactive, style->GetButtonTransparency());
  style->SetButtonTransparency(ebtHideInactive);
  EXPECT_EQ(ebtHideInactive, style->GetButtonTransparency());
}

TEST_F(EditStyle, InplaceStyleIgnoresTheControllerForTheEditValues) {
  auto* style = NewStyle(true);
  auto* controller = NewController();
  style->SetStyleController(controller);
  controller->GetStyle()->SetButtonStyle(btsFlat);
  controller->GetStyle()->SetPopupBorderStyle(epbsFlat);
  EXPECT_EQ(btsDefault, style->GetButtonStyle());
  EXPECT_EQ(epbsDefault, style->GetPopupBorderStyle());
  style->SetButtonStyle(btsUltraFlat);
  EXPECT_EQ(btsUltraFlat, style->GetButtonStyle());
}

TEST_F(EditStyle, SettingAnUnassignedValueAssignsItAndNotifiesOnce) {
  auto* style = NewStyle();
  TStyleChangeCounter changes(style);
  style->SetButtonTransparency(ebtNone);
  EXPECT_EQ(1, changes.Count);
  EXPECT_EQ(csvBit(svButtonTransparency), style->GetAssignedValues());
  style->SetButtonTransparency(ebtNone);
  EXPECT_EQ(1, changes.Count);
  style->SetButtonTransparency(ebtAlways);
  EXPECT_EQ(2, changes.Count);
}

TEST_F(EditStyle, PopupCloseButtonNotifiesOnlyOnAChange) {
  auto* style = NewStyle();
  TStyleChangeCounter changes(style);
  style->SetPopupCloseButton(true);
  EXPECT_EQ(0, changes.Count);
  style->SetPopupCloseButton(false);
  EXPECT_EQ(1, changes.Count);
  EXPECT_FALSE(style->GetPopupCloseButton());
}

TEST_F(EditStyle, ValueNamesContinueTheContainers) {
  auto* style = NewStyle();
  EXPECT_EQ(11, style->GetStyleValueCount());
  String name;
  ASSERT_TRUE(style->GetStyleValueName(csvBorderStyle, name));
  EXPECT_EQ("BorderStyle", name);
  const char* expected[] = {"ButtonStyle", "ButtonTransparency", "PopupBorderStyle"};
  for (Integer i = 0; i < 3; ++i) {
    ASSERT_TRUE(style->GetStyleValueName(svButtonStyle + i, name));
    EXPECT_EQ(expected[i], name);
  }
  EXPECT_FALSE(style->GetStyleValueName(11, name));
}

TEST_F(EditStyle, InplaceStyleReportsTheEditValuesAssigned) {
  auto* style = NewStyle(true);
  EXPECT_EQ(0x7FFu, style->GetAssignedValues());
}

TEST_F(EditStyle, BorderStyleReadsInTheEditorsTerms) {
  auto* style = NewStyle();
  style->SetBorderStyle(ebsThick);
  EXPECT_EQ(ebsThick, style->GetBorderStyle());
  EXPECT_EQ(cbsThick, static_cast<TqvContainerStyle*>(style)->GetBorderStyle());
}

TEST_F(EditStyle, AssignedEditValuesAreStoredUnlessTheEditorHidesThem) {
  auto* free = NewStyle();
  free->SetButtonStyle(btsFlat);
  EXPECT_TRUE(free->IsButtonStyleStored());
  EXPECT_FALSE(free->IsButtonTransparencyStored());

  TOwned<TEditLikeContainer> editor(New<TEditLikeContainer>(nullptr));
  auto* owned = NewStyle(false, editor.get());
  owned->SetButtonStyle(btsFlat);
  owned->SetBorderStyle(ebsSingle);
  EXPECT_FALSE(owned->IsButtonStyleStored());
  EXPECT_TRUE(owned->IsBorderStyleStored());
}

TEST_F(EditStyle, AssignCopiesTheEditValuesWithOneChange) {
  auto* source = NewStyle();
  source->SetButtonStyle(bts3D);
  source->SetPopupBorderStyle(epbsSingle);
  source->SetPopupCloseButton(false);
  source->SetColor(clRed);
  auto* target = NewStyle();
  TStyleChangeCounter changes(target);
  target->Assign(source);
  EXPECT_EQ(1, changes.Count);
  EXPECT_EQ(bts3D, target->GetButtonStyle());
  EXPECT_EQ(epbsSingle, target->GetPopupBorderStyle());
  EXPECT_FALSE(target->GetPopupCloseButton());
  EXPECT_EQ(clRed, target->GetColor());
  EXPECT_EQ(source->GetAssignedValues(), target->GetAssignedValues());
}

TEST_F(EditStyle, DefaultColorIsTheParentsOnlyForAStandaloneEditorWithParentColor) {
  TOwned<TEditLikeContainer> parent(New<TEditLikeContainer>(nullptr));
  parent->SetColor(clYellow);
  TOwned<TEditLikeContainer> editor(New<TEditLikeContainer>(nullptr));
  editor->SetParent(parent.get());
  auto* style = NewStyle(false, editor.get());
  EXPECT_EQ(clWindow, style->GetColor());
  editor->SetParentColor(true);
  EXPECT_EQ(clYellow, style->GetColor());
  editor->SetParent(nullptr);
  EXPECT_EQ(clWindow, style->GetColor());
}

TEST_F(EditStyle, ControllerMakesAnEditStyle) {
  auto* controller = NewController();
  ASSERT_TRUE(controller->GetStyle()->InheritsFrom<TqvEditStyle>());
  auto* style = NewStyle();
  style->SetStyleController(controller);
  auto* source = NewStyle();
  source->SetButtonStyle(btsHotFlat);
  controller->GetStyle()->Assign(source);
  EXPECT_EQ(btsHotFlat, style->GetButtonStyle());
}

}  // namespace
