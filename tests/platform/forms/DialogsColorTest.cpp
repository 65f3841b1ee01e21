// The colour dialog: picking basic colours by keys and by mouse, cancelling, defining a custom
// colour, and headless answers.
#include "DialogsTestSupport.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/StringList.h"

namespace {

class DialogsColorTest : public TDialogsTest {
 protected:
  void SetUp() override {
    TDialogsTest::SetUp();
    Dialog = New<TColorDialog>(nullptr);
  }
  void TearDown() override {
    SetDialogExecuteHandler(&TColorDialog::StaticClass(), nullptr);
    unsetenv("QJ_COLORDIALOG_ANSWERS");
    Free(Dialog);
    TDialogsTest::TearDown();
  }
  TColorDialog* Dialog = nullptr;
};

TEST_F(DialogsColorTest, ArrowKeysPickABasicColourAndEnterAcceptsIt) {
  Dialog->SetColor(ColorDialogBasicColor(0));
  Script({Keys(VK_RIGHT), Keys(VK_DOWN), Keys(VK_RETURN)});
  ASSERT_TRUE(Dialog->Execute());
  EXPECT_EQ(Dialog->GetColor(), ColorDialogBasicColor(9));
}

TEST_F(DialogsColorTest, AClickPicksACellAndEscapeKeepsTheColour) {
  Dialog->SetColor(clWhite);
  Script({Act([](TCustomForm* d) {
            auto* grid = Find<TWinControl>(d, "BasicColors");
            ClickAt(grid, {3 * 26 + 13, 2 * 22 + 11});  // row 2, column 3
          }),
          Act([](TCustomForm* d) { ClickCentre(Find<TButton>(d, "OkButton")); })});
  ASSERT_TRUE(Dialog->Execute());
  EXPECT_EQ(Dialog->GetColor(), ColorDialogBasicColor(19));

  Script({Keys(VK_LEFT), Keys(VK_ESCAPE)});
  EXPECT_FALSE(Dialog->Execute());
  EXPECT_EQ(Dialog->GetColor(), ColorDialogBasicColor(19));
}

TEST_F(DialogsColorTest, TypedChannelsDefineACustomColourThatIsWrittenBack) {
  auto* custom = New<TStringList>();
  custom->Add("ColorA=00FF00");
  custom->Add("ColorB=junk");
  Dialog->SetCustomColors(custom);
  Free(custom);
  Dialog->SetColor(RGB(1, 2, 3));
  Dialog->SetOptions(cdFullOpen);
  Script({[](TCustomForm* d) { Find<TWinControl>(d, "CustomColors")->SetFocus(); }, Keys(VK_RIGHT), Keys(VK_RIGHT),
          Act([](TCustomForm* d) {
            // the second cell (white) is chosen; make it a paler yellow
            Find<TEdit>(d, "BlueEdit")->SetFocus();
            Headless::PressKey('A', skCtrl);
            Headless::TypeText("119");
          }),
          Act([](TCustomForm* d) { ClickCentre(Find<TButton>(d, "AddCustomButton")); }),
          Act([](TCustomForm* d) { ClickCentre(Find<TButton>(d, "OkButton")); })});
  ASSERT_TRUE(Dialog->Execute());
  TStrings* written = Dialog->GetCustomColors();
  ASSERT_EQ(written->GetCount(), 16);
  EXPECT_EQ(written->Get(0), "ColorA=00FF00");
  EXPECT_EQ(written->GetValue("ColorB"), "77FFFF") << "white, then blue 119";
  EXPECT_EQ(written->GetValue("ColorP"), "FFFFFF");
  EXPECT_EQ(Dialog->GetColor(), static_cast<TColor>(RGB(255, 255, 119)));
}

TEST_F(DialogsColorTest, TheDefinePartOpensOnRequestOrNever) {
  struct TCase {
    TColorDialogOptions Options;
    bool OpenAtFirst, HasButton;
  } cases[] = {{0, false, true}, {cdFullOpen, true, false}, {cdPreventFullOpen, false, false}};
  for (const TCase& c : cases) {
    Dialog->SetOptions(c.Options);
    Integer widthBefore = 0, widthAfter = 0;
    bool hasButton = false, redReachable = false;
    Script({Act([&](TCustomForm* d) {
              widthBefore = d->GetClientWidth();
              auto* define = dynamic_cast<TButton*>(d->FindComponent("DefineButton"));
              hasButton = define;
              if (define)
                ClickCentre(define);
              else
                Headless::PressKey(VK_SHIFT);
            }),
            Act([&](TCustomForm* d) {
              widthAfter = d->GetClientWidth();
              auto* red = dynamic_cast<TEdit*>(d->FindComponent("RedEdit"));
              redReachable = red && red->CanFocus();
              Headless::PressKey(VK_ESCAPE);
            })});
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_EQ(hasButton, c.HasButton) << c.Options;
    EXPECT_EQ(widthBefore > 300, c.OpenAtFirst) << c.Options;
    EXPECT_EQ(widthAfter > 300, c.OpenAtFirst || c.HasButton) << c.Options;
    EXPECT_EQ(redReachable, widthAfter > 300) << "the closed part takes no focus";
  }
}

TEST_F(DialogsColorTest, HeadlessAnswers) {
  SetDialogExecuteHandler(&TColorDialog::StaticClass(), [](TCommonDialog* d) {
    static_cast<TColorDialog*>(d)->SetColor(clRed);
    return daOk;
  });
  EXPECT_TRUE(Dialog->Execute());
  EXPECT_EQ(Dialog->GetColor(), clRed);
  SetDialogExecuteHandler(&TColorDialog::StaticClass(), nullptr);

  setenv("QJ_COLORDIALOG_ANSWERS", "#102030;clBlue;cancel;no-colour", 1);
  EXPECT_TRUE(Dialog->Execute());
  EXPECT_EQ(Dialog->GetColor(), static_cast<TColor>(RGB(0x10, 0x20, 0x30)));
  EXPECT_TRUE(Dialog->Execute());
  EXPECT_EQ(Dialog->GetColor(), clBlue);
  EXPECT_FALSE(Dialog->Execute());
  EXPECT_FALSE(Dialog->Execute()) << "an unreadable colour cancels";
  EXPECT_EQ(Dialog->GetColor(), clBlue);
}

}  // namespace
