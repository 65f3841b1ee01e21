// Button editor: its one ellipsis button, clicks reaching OnButtonClick, the published button
// style values, and the registrations of the small text editors.
#include "../lookandfeel/qvControlsTestSupport.h"
#include "editors/qvButtonEdit.h"
#include "editors/qvHyperLinkEdit.h"
#include "editors/qvMemo.h"

namespace {

struct TRegistrationCase {
  const char* ShortName;
  TClass Class;
  const char* DisplayText;
};

std::ostream& operator<<(std::ostream& os, const TRegistrationCase& c) { return os << c.ShortName; }

class TqvSmallEditorRegistrationTest : public ::testing::TestWithParam<TRegistrationCase> {};

TEST_P(TqvSmallEditorRegistrationTest, RegisteredUnderItsDisplayText) {
  const TRegistrationCase& c = GetParam();
  TqvRegisteredClasses* registry = GetRegisteredEditProperties();
  EXPECT_EQ(registry->FindByShortName(c.ShortName), c.Class);
  ASSERT_GE(registry->IndexOf(c.Class), 0);
  EXPECT_EQ(registry->GetDisplayText(registry->IndexOf(c.Class)), c.DisplayText);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TqvSmallEditorRegistrationTest,
    ::testing::Values(
        TRegistrationCase{"ButtonEdit", &TqvButtonEditProperties::StaticClass(),
                          "ButtonEdit|Represents an edit control with embedded buttons"},
        TRegistrationCase{"HyperLink", &TqvHyperLinkEditProperties::StaticClass(),
                          "HyperLink|Represents a text editor with hyperlink functionality"},
        TRegistrationCase{"Memo", &TqvMemoProperties::StaticClass(),
                          "Memo|Represents an edit control that allows editing memo data"}));

TEST(TqvButtonEditProperties, OneEllipsisButtonAndTheButtonEditAsContainer) {
  auto properties = MakeOwned<TqvButtonEditProperties>(nullptr);
  ASSERT_EQ(properties->GetButtons()->GetCount(), 1);
  EXPECT_EQ(properties->GetButtons()->GetItem(0)->GetKind(), bkEllipsis);
  EXPECT_EQ(properties->GetContainerClass(), &TqvButtonEdit::StaticClass());
  auto copy = MakeOwned<TqvButtonEditProperties>(nullptr);
  copy->GetButtons()->Add()->SetKind(bkDown);
  copy->Assign(properties.get());
  EXPECT_EQ(copy->GetButtons()->GetCount(), 1) << "Assign copies the buttons, it does not add to them";
}

class TqvButtonEditTest : public TqvControlsTest {
 protected:
  void SetUp() override {
    TqvControlsTest::SetUp();
    FForm = NewForm(300, 200);
    FEdit = New<TqvButtonEdit>(FForm);
    FEdit->SetBounds(10, 10, 160, 21);
    FEdit->SetParent(FForm);
    Show(FForm);
  }
  TForm* FForm = nullptr;
  TqvButtonEdit* FEdit = nullptr;
};

TEST_F(TqvButtonEditTest, AClickOnTheEllipsisReachesOnButtonClick) {
  std::vector<Integer> clicked;
  FEdit->GetProperties()->OnButtonClick = [&](TObject*, Integer AIndex) { clicked.push_back(AIndex); };
  ASSERT_EQ(FEdit->GetViewInfo()->GetButtonCount(), 1);
  const TRect b = FEdit->GetViewInfo()->GetButton(0)->Bounds;
  EXPECT_GE(b.Left, FEdit->GetWidth() / 2) << "the button sits at the right end";
  Click(FEdit, {(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2});
  Click(FEdit, {4, 4});
  EXPECT_EQ(clicked, std::vector<Integer>({0})) << "a click on the text is no button click";
}

TEST_F(TqvButtonEditTest, TheButtonStyleIsPublishedButNotThePopupBorder) {
  const TqvContainerStyleValues values = FEdit->GetNotPublishedStyleValues();
  EXPECT_FALSE(values & csvBit(svButtonStyle));
  EXPECT_FALSE(values & csvBit(svButtonTransparency));
  EXPECT_TRUE(values & csvBit(svPopupBorderStyle));
}

TEST_F(TqvButtonEditTest, AMaskStillApplies) {
  FEdit->GetProperties()->SetMaskKind(emkRegExprEx);
  FEdit->GetProperties()->SetEditMask("\\d\\d");
  FEdit->SetFocus();
  Pump();
  for (char ch : {'1', 'a', '2', '3'}) {
    Headless::TypeText(String(1, ch));
    Pump();
  }
  EXPECT_EQ(FEdit->GetText(), "12");
}

}  // namespace
