// The container style and the style controller: values inherited along the controller chain,
// defaults, assigned-value bookkeeping, update brackets, the in-place style, fonts, chains that
// would loop, and controllers that go away while styles hang on them.
#include "LookAndFeelTestSupport.h"
#include "lookandfeel/qvContainer.h"
#include "support/EnumNames.h"

namespace {

class ContainerStyle : public TLookAndFeelTest {
 protected:
  void TearDown() override {
    for (auto it = FControllers.rbegin(); it != FControllers.rend(); ++it) Free(*it);
    FStyles.clear();
    TLookAndFeelTest::TearDown();
  }
  TqvContainerStyle* NewStyle(bool inplace = false) {
    FStyles.push_back(TOwned<TqvContainerStyle>(TqvContainerStyle::StaticClass().Create(nullptr, inplace)));
    return FStyles.back().get();
  }
  TqvStyleController* NewController() {
    FControllers.push_back(New<TqvStyleController>(nullptr));
    return FControllers.back();
  }
  void FreeController(TqvStyleController* c) {
    FControllers.erase(std::find(FControllers.begin(), FControllers.end(), c));
    Free(c);
  }

 private:
  std::vector<TOwned<TqvContainerStyle>> FStyles;
  std::vector<TqvStyleController*> FControllers;
};

// Counts the change notifications of a style.
struct TChangeCounter {
  explicit TChangeCounter(TqvContainerStyle* s) {
    s->OnChanged = [this](TObject*) { ++Count; };
  }
  Integer Count = 0;
};

TEST_F(ContainerStyle, AValueComesFromTheControllerAndFallsBackToTheDefaultWhenItGoes) {
  auto* style = NewStyle();
  auto* controller = NewController();
  EXPECT_EQ(cbsUltraFlat, style->GetBorderStyle());
  style->SetStyleController(controller);
  controller->GetStyle()->SetBorderStyle(cbsSingle);
  EXPECT_EQ(cbsSingle, style->GetBorderStyle());
  EXPECT_EQ(0u, style->GetAssignedValues());
  FreeController(controller);
  EXPECT_EQ(nullptr, style->GetStyleController());
  EXPECT_EQ(cbsUltraFlat, style->GetBorderStyle());
}

TEST_F(ContainerStyle, AValueAssignedHereWinsOverTheChain) {
  auto* style = NewStyle();
  auto* controller = NewController();
  style->SetStyleController(controller);
  controller->GetStyle()->SetShadow(true);
  controller->GetStyle()->SetBorderColor(clRed);
  style->SetBorderColor(clBlue);
  EXPECT_TRUE(style->GetShadow());
  EXPECT_EQ(clBlue, style->GetBorderColor());
}

TEST_F(ContainerStyle, ValuesFollowAChainOfTwoControllers) {
  auto* style = NewStyle();
  auto* near = NewController();
  auto* far = NewController();
  style->SetStyleController(near);
  near->GetStyle()->SetStyleController(far);
  far->GetStyle()->SetEdges(qvBorder(bLeft));
  far->GetStyle()->SetHotTrack(false);
  near->GetStyle()->SetHotTrack(true);
  EXPECT_EQ(qvBorder(bLeft), style->GetEdges());
  EXPECT_TRUE(style->GetHotTrack());
}

TEST_F(ContainerStyle, TheDefaultBorderFollowsTheLookAndFeelKind) {
  auto* style = NewStyle();
  const std::pair<TqvLookAndFeelKind, TqvContainerBorderStyle> cases[] = {
      {lfFlat, cbsFlat}, {lfStandard, cbs3D}, {lfUltraFlat, cbsUltraFlat}};
  for (auto [kind, border] : cases) {
    style->GetLookAndFeel()->SetKind(kind);
    EXPECT_EQ(border, style->GetBorderStyle()) << kind;
  }
}

TEST_F(ContainerStyle, TheControllersLookAndFeelIsTheMasterOfItsUsers) {
  auto* style = NewStyle();
  auto* controller = NewController();
  style->SetStyleController(controller);
  controller->GetStyle()->GetLookAndFeel()->SetKind(lfStandard);
  EXPECT_EQ(cbs3D, style->GetBorderStyle());
}

class ValueAssignedUpTheChain : public ContainerStyle, public ::testing::WithParamInterface<TqvContainerStyleValue> {};

TEST_P(ValueAssignedUpTheChain, IsReportedAsAssigned) {
  auto* style = NewStyle();
  auto* near = NewController();
  auto* far = NewController();
  style->SetStyleController(near);
  near->GetStyle()->SetStyleController(far);
  EXPECT_FALSE(style->IsValueAssigned(GetParam()));
  far->GetStyle()->SetAssignedValues(csvBit(GetParam()));
  EXPECT_TRUE(style->IsValueAssigned(GetParam()));
  EXPECT_EQ(0u, style->GetAssignedValues());
}

std::string ValueName(const ::testing::TestParamInfo<TqvContainerStyleValue>& info) {
  return NameOf(info.param, {{csvBorderColor, "BorderColor"}, {csvBorderStyle, "BorderStyle"}, {csvColor, "Color"},
                             {csvEdges, "Edges"}, {csvFont, "Font"}, {csvHotTrack, "HotTrack"}, {csvShadow, "Shadow"},
                             {csvTransparentBorder, "TransparentBorder"}});
}

INSTANTIATE_TEST_SUITE_P(EachValue, ValueAssignedUpTheChain, ::testing::Range(0, 8), ValueName);

TEST_F(ContainerStyle, ValueNamesAreKnownForTheEightValuesOnly) {
  auto* style = NewStyle();
  String name = "x";
  EXPECT_TRUE(style->GetStyleValueName(csvTransparentBorder, name));
  EXPECT_EQ("TransparentBorder", name);
  EXPECT_FALSE(style->GetStyleValueName(8, name));
  EXPECT_EQ("", name);
  EXPECT_FALSE(style->IsValueAssigned(8));
}

TEST_F(ContainerStyle, AssigningTheInheritedValueMarksItAndASecondSetNotifiesNothing) {
  auto* style = NewStyle();
  TChangeCounter changes(style);
  style->SetColor(style->GetColor());
  EXPECT_EQ(csvBit(csvColor), style->GetAssignedValues());
  EXPECT_EQ(1, changes.Count);
  style->SetColor(style->GetColor());
  EXPECT_EQ(1, changes.Count);
}

TEST_F(ContainerStyle, ChangesInsideAnUpdateAreReportedOnce) {
  auto* style = NewStyle();
  TChangeCounter changes(style);
  style->BeginUpdate();
  style->SetShadow(true);
  style->SetEdges(qvBorder(bTop));
  EXPECT_EQ(0, changes.Count);
  style->EndUpdate();
  EXPECT_EQ(1, changes.Count);
  style->EndUpdate();
  EXPECT_EQ(1, changes.Count);
  style->SetHotTrack(false);
  EXPECT_EQ(2, changes.Count);
}

TEST_F(ContainerStyle, RemovingAnAssignedValueReturnsItToTheChain) {
  auto* style = NewStyle();
  auto* controller = NewController();
  style->SetStyleController(controller);
  controller->GetStyle()->SetTransparentBorder(false);
  style->SetTransparentBorder(true);
  EXPECT_TRUE(style->GetTransparentBorder());
  style->SetAssignedValues(0);
  EXPECT_FALSE(style->GetTransparentBorder());
}

TEST_F(ContainerStyle, AnInPlaceStyleReportsEveryValueAndFixedAnswers) {
  auto* style = NewStyle(true);
  EXPECT_EQ(0xFFu, style->GetAssignedValues());
  EXPECT_EQ(0u, style->GetEdges());
  EXPECT_FALSE(style->GetShadow());
  EXPECT_TRUE(style->GetTransparentBorder());
  EXPECT_EQ(clDefault, style->GetBorderColor());
  EXPECT_EQ(nullptr, style->GetFont());
  TFont font;
  style->SetFont(&font);
  EXPECT_EQ(&font, style->GetFont());
}

TEST_F(ContainerStyle, TheFontFollowsTheControllerUntilItIsAssignedHere) {
  auto* style = NewStyle();
  auto* controller = NewController();
  style->SetStyleController(controller);
  controller->GetStyle()->GetFont()->SetName("Courier New");
  EXPECT_EQ("Courier New", style->GetFont()->GetName());
  EXPECT_FALSE(style->GetAssignedValues() & csvBit(csvFont));

  style->GetFont()->SetSize(20);
  EXPECT_TRUE(style->GetAssignedValues() & csvBit(csvFont));
  controller->GetStyle()->GetFont()->SetName("Arial");
  EXPECT_EQ("Courier New", style->GetFont()->GetName());

  style->SetAssignedValues(0);
  EXPECT_EQ("Arial", style->GetFont()->GetName());
}

TEST_F(ContainerStyle, AControllerThatWouldCloseALoopIsRefused) {
  auto* a = NewController();
  auto* b = NewController();
  a->GetStyle()->SetStyleController(b);
  b->GetStyle()->SetStyleController(a);
  EXPECT_EQ(nullptr, b->GetStyle()->GetStyleController());
  a->GetStyle()->SetStyleController(a);
  EXPECT_EQ(b, a->GetStyle()->GetStyleController());
  // Looking a value up still ends.
  EXPECT_EQ(cbsUltraFlat, a->GetStyle()->GetBorderStyle());
}

TEST_F(ContainerStyle, TheControllerTellsItsOwnStyleAndEachUserOnce) {
  auto* controller = NewController();
  auto* first = NewStyle();
  auto* second = NewStyle();
  first->SetStyleController(controller);
  second->SetStyleController(controller);
  std::vector<TqvContainerStyle*> told;
  controller->OnStyleChanged = [&](TObject*, TqvContainerStyle* s) { told.push_back(s); };
  TChangeCounter changes(first);
  controller->GetStyle()->SetColor(clYellow);
  EXPECT_EQ((std::vector<TqvContainerStyle*>{controller->GetStyle(), first, second}), told);
  EXPECT_EQ(1, changes.Count);
  EXPECT_EQ(clYellow, second->GetColor());
}

TEST_F(ContainerStyle, AUserThatLeavesWhileTheControllerTellsDoesNotBreakTheWalk) {
  auto* controller = NewController();
  auto* first = NewStyle();
  auto* second = NewStyle();
  first->SetStyleController(controller);
  second->SetStyleController(controller);
  first->OnChanged = [second](TObject*) { second->SetStyleController(nullptr); };
  controller->GetStyle()->SetShadow(true);
  EXPECT_EQ(1, controller->GetStyleCount());
  EXPECT_FALSE(second->GetShadow());
}

TEST_F(ContainerStyle, AssignCopiesValuesControllerAndAssignedSet) {
  auto* controller = NewController();
  auto* source = NewStyle();
  source->SetStyleController(controller);
  source->SetBorderStyle(cbsThick);
  source->SetShadow(true);
  source->GetLookAndFeel()->SetKind(lfFlat);
  auto* target = NewStyle();
  TChangeCounter changes(target);
  target->Assign(source);
  EXPECT_EQ(controller, target->GetStyleController());
  EXPECT_EQ(cbsThick, target->GetBorderStyle());
  EXPECT_TRUE(target->GetShadow());
  EXPECT_EQ(lfFlat, target->GetLookAndFeel()->GetKind());
  EXPECT_EQ(source->GetAssignedValues(), target->GetAssignedValues());
  EXPECT_EQ(1, changes.Count);
}

}  // namespace
