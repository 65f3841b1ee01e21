// MRU editor: the remembered texts (order, limit, case), when texts are remembered, the ellipsis
// button and its glyph, and handing the list back to a column's properties.
#include "../lookandfeel/qvControlsTestSupport.h"
#include "editors/qvMRUEdit.h"
#include "platform/forms/StdCtrls.h"

namespace {

std::vector<String> ItemsOf(TqvCustomMRUEditProperties* AProperties) {
  std::vector<String> items;
  for (Integer i = 0; i < AProperties->GetItems()->GetCount(); ++i) items.push_back(AProperties->GetItems()->Get(i));
  return items;
}

class TqvMRUEditTest : public TqvControlsTest {
 protected:
  void SetUp() override {
    TqvControlsTest::SetUp();
    FForm = NewForm(300, 200);
    FEdit = New<TqvMRUEdit>(FForm);
    FEdit->SetBounds(10, 10, 160, 21);
    FEdit->SetParent(FForm);
    FOther = Add<TEdit>(FForm, Rect(10, 100, 110, 120));
    Show(FForm);
  }
  TqvMRUEditProperties* Props() const { return FEdit->GetProperties(); }
  void AddAll(std::initializer_list<const char*> ATexts) {
    for (const char* text : ATexts) FEdit->AddItem(text);
  }
  TForm* FForm = nullptr;
  TqvMRUEdit* FEdit = nullptr;
  TEdit* FOther = nullptr;
};

struct TAddCase {
  const char* Name;
  Integer MaxItemCount;
  std::vector<const char*> Added;
  std::vector<String> Expected;
};

std::ostream& operator<<(std::ostream& os, const TAddCase& c) { return os << c.Name; }

class TqvMRUAddTest : public TqvMRUEditTest, public ::testing::WithParamInterface<TAddCase> {};

TEST_P(TqvMRUAddTest, NewestFirstWithinTheLimit) {
  const TAddCase& c = GetParam();
  Props()->SetMaxItemCount(c.MaxItemCount);
  for (const char* text : c.Added) FEdit->AddItem(text);
  EXPECT_EQ(ItemsOf(Props()), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TqvMRUAddTest,
    ::testing::Values(TAddCase{"TrimmedToThree", 3, {"a", "b", "c", "d"}, {"d", "c", "b"}},
                      TAddCase{"AListedTextMovesToTheTop", 3, {"a", "b", "c", "d", "b"}, {"b", "d", "c"}},
                      TAddCase{"NoLimit", 0, {"a", "b", "c", "d"}, {"d", "c", "b", "a"}},
                      TAddCase{"EmptyTextsAreIgnored", 0, {"a", "", "b"}, {"b", "a"}},
                      TAddCase{"TheTopTextStays", 0, {"a", "b", "b"}, {"b", "a"}},
                      TAddCase{"CaseIsIgnoredAndTheListedFormKept", 0, {"Astra", "Hotbird", "ASTRA"}, {"Astra", "Hotbird"}}));

TEST_F(TqvMRUEditTest, MaxItemCountIsNeverNegativeAndALowerLimitTrims) {
  AddAll({"a", "b", "c", "d", "e"});
  Props()->SetMaxItemCount(-5);
  EXPECT_EQ(Props()->GetMaxItemCount(), 0);
  EXPECT_EQ(ItemsOf(Props()).size(), 5u);
  Props()->SetMaxItemCount(2);
  EXPECT_EQ(ItemsOf(Props()), std::vector<String>({"e", "d"}));
}

TEST_F(TqvMRUEditTest, APostedTextIsRemembered) {
  FEdit->SetFocus();
  Pump();
  Headless::TypeText("Astra 19.2E");
  Pump();
  Headless::PressKey(VK_RETURN);
  Pump();
  FEdit->PostEditValue();
  EXPECT_EQ(ItemsOf(Props()), std::vector<String>({"Astra 19.2E"}));
}

TEST_F(TqvMRUEditTest, AReadOnlyEditorRemembersNothing) {
  Props()->SetReadOnly(true);
  FEdit->SetEditValue(String("Astra"));
  FEdit->PostEditValue();
  EXPECT_TRUE(ItemsOf(Props()).empty());
}

TEST_F(TqvMRUEditTest, TheEllipsisFiresOnButtonClickAndTheDropDownButtonDoesNot) {
  Integer ellipsis = 0;
  std::vector<Integer> anyButton;
  Props()->OnButtonClick = [&](TObject* Sender) {
    EXPECT_EQ(Sender, FEdit);
    ++ellipsis;
  };
  static_cast<TqvCustomEditProperties*>(Props())->OnButtonClick = [&](TObject*, Integer AIndex) {
    anyButton.push_back(AIndex);
  };
  FEdit->RefreshContainerAtCursor();
  ASSERT_EQ(FEdit->GetViewInfo()->GetButtonCount(), 2);
  for (Integer i = 0; i < 2; ++i) {
    TqvEditButtonViewInfo* b = FEdit->GetViewInfo()->GetButton(i);
    if (b->ButtonIndex != 1) continue;
    Click(FEdit, {(b->Bounds.Left + b->Bounds.Right) / 2, (b->Bounds.Top + b->Bounds.Bottom) / 2});
  }
  EXPECT_EQ(ellipsis, 1);
  EXPECT_EQ(anyButton, std::vector<Integer>({1}));
}

TEST_F(TqvMRUEditTest, ButtonsByShowEllipsisAndGlyph) {
  TqvEditButtons* buttons = Props()->GetButtons();
  ASSERT_EQ(buttons->GetCount(), 2);
  EXPECT_EQ(buttons->GetItem(0)->GetKind(), bkDown);
  EXPECT_EQ(buttons->GetItem(1)->GetKind(), bkEllipsis);
  EXPECT_TRUE(buttons->GetItem(1)->GetDefault());
  EXPECT_EQ(Props()->GetDropDownListStyle(), lsEditList);

  auto glyph = MakeOwned<TBitmap>();
  glyph->SetSize(8, 8);
  Props()->SetButtonGlyph(glyph.get());
  EXPECT_EQ(buttons->GetItem(1)->GetKind(), bkGlyph) << "the glyph rides on the ellipsis button";

  Props()->SetShowEllipsis(false);
  EXPECT_FALSE(buttons->GetItem(1)->GetVisible());
  EXPECT_EQ(buttons->GetItem(0)->GetKind(), bkGlyph) << "without the ellipsis the glyph moves to button 0";

  Props()->SetButtonGlyph(nullptr);
  FEdit->PropertiesChanged(Props());
  EXPECT_EQ(buttons->GetItem(0)->GetKind(), bkDown);
  Props()->SetShowEllipsis(true);
  EXPECT_TRUE(buttons->GetItem(1)->GetVisible());
  EXPECT_EQ(buttons->GetItem(0)->GetKind(), bkDown);
  EXPECT_EQ(buttons->GetItem(1)->GetKind(), bkEllipsis);
}

TEST_F(TqvMRUEditTest, AssignAndUpdatePropertiesCarryTheSettingsAndTheList) {
  Props()->SetMaxItemCount(4);
  Props()->SetShowEllipsis(false);
  Integer clicks = 0;
  Props()->OnButtonClick = [&](TObject*) { ++clicks; };
  AddAll({"a", "b"});
  auto column = MakeOwned<TqvMRUEditProperties>(nullptr);
  column->Assign(Props());
  EXPECT_EQ(column->GetMaxItemCount(), 4);
  EXPECT_FALSE(column->GetShowEllipsis());
  ASSERT_TRUE(column->OnButtonClick);
  column->OnButtonClick(nullptr);
  EXPECT_EQ(clicks, 1);

  auto other = MakeOwned<TqvMRUEditProperties>(nullptr);
  Props()->UpdateProperties(other.get());
  EXPECT_EQ(ItemsOf(other.get()), std::vector<String>({"b", "a"}));
}

TEST(TqvMRUEditRegistration, RegisteredUnderItsDisplayText) {
  TqvRegisteredClasses* registry = GetRegisteredEditProperties();
  EXPECT_EQ(registry->FindByShortName("MRUEdit"), &TqvMRUEditProperties::StaticClass());
  EXPECT_EQ(registry->GetDisplayText(registry->IndexOf(&TqvMRUEditProperties::StaticClass())),
            "MRUEdit|Represents a text editor displaying the list of most recently used items (MRU) within a "
            "dropdown window");
}

}  // namespace
