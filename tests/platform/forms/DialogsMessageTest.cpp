// The message dialog form for button sets without a message box row: its buttons, default and
// Esc, answers by keys and mouse, and headless answers.
#include "DialogsTestSupport.h"
#include "platform/forms/StdCtrls.h"

namespace {

constexpr TMsgDlgButtons kToAll = MsgDlgButton(mbYes) | MsgDlgButton(mbNo) | MsgDlgButton(mbYesToAll) |
                                  MsgDlgButton(mbNoToAll) | MsgDlgButton(mbCancel);

class DialogsMessageTest : public TDialogsTest {
 protected:
  void TearDown() override {
    SetMessageDlgHandler(nullptr);
    unsetenv("QJ_MESSAGEDLG_ANSWERS");
    TDialogsTest::TearDown();
  }
};

TEST_F(DialogsMessageTest, TheFormHasTheSetsButtonsInOrder) {
  TForm* form = CreateMessageDialog("Replace chan.img?", mtConfirmation, kToAll | MsgDlgButton(mbHelp), mbNo);
  std::vector<String> captions;
  TButton* cancel = nullptr;
  for (Integer i = 0; i < form->GetControlCount(); ++i)
    if (auto* b = dynamic_cast<TButton*>(form->GetControl(i))) {
      captions.push_back(b->GetCaption());
      if (b->GetCancel()) cancel = b;
    }
  EXPECT_EQ(captions, (std::vector<String>{"&Yes", "&No", "Cancel", "N&o to All", "Yes to &All"}));
  EXPECT_EQ(form->GetActiveControl()->GetName(), "noButton");
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(cancel->GetModalResult(), mrCancel);
  EXPECT_EQ(form->GetCaption(), "Confirm");
  Free(form);
  EXPECT_THROW(CreateMessageDialog("x", mtWarning, MsgDlgButton(mbHelp)), EInvalidOperation);
}

TEST_F(DialogsMessageTest, YesToAllIsAnsweredByMouseAndTheDefaultByEnter) {
  Script({Act([](TCustomForm* d) { ClickCentre(Find<TButton>(d, "yestoallButton")); })});
  EXPECT_EQ(MessageDlg("Replace chan.img?", mtConfirmation, kToAll, 0), mrYesToAll);
  Script({Keys(VK_RETURN)});
  EXPECT_EQ(MessageDlg("Replace?", mtConfirmation, kToAll, 0, mbNoToAll), mrNoToAll);
  Script({Keys(VK_ESCAPE)});
  EXPECT_EQ(MessageDlg("Replace?", mtWarning, MsgDlgButton(mbYes) | MsgDlgButton(mbAll), 0), mrAll)
      << "without Cancel or No, Esc is the last button";
  EXPECT_TRUE(Boxes.empty()) << "no message box is used for these sets";
}

TEST_F(DialogsMessageTest, HeadlessAnswers) {
  std::vector<TMsgDlgButtons> seen;
  SetMessageDlgHandler([&](const String&, TMsgDlgType, TMsgDlgButtons buttons) {
    seen.push_back(buttons);
    return seen.size() == 1 ? mrYesToAll : mrOk;
  });
  EXPECT_EQ(MessageDlg("x", mtConfirmation, kToAll | MsgDlgButton(mbHelp), 0), mrYesToAll);
  EXPECT_THROW(MessageDlg("x", mtConfirmation, kToAll, 0), EInvalidOperation) << "OK is not in the set";
  EXPECT_EQ(seen[0], kToAll);
  SetMessageDlgHandler(nullptr);

  setenv("QJ_MESSAGEDLG_ANSWERS", "notoall, yes", 1);
  EXPECT_EQ(MessageDlg("x", mtConfirmation, kToAll, 0), mrNoToAll);
  EXPECT_EQ(MessageDlg("x", mtConfirmation, kToAll, 0), mrYes);
  EXPECT_EQ(MessageDlg("Sure?", mtConfirmation, mbYesNo, 0), mrOk) << "sets with a row still use the message box";
}

}  // namespace
