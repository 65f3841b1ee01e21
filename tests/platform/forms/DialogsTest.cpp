// Message dialogs: their message box flags, answers from the application's function, the window
// system's handler and a real box driven by keys, and placement.
#include "ControlsTestSupport.h"
#include "platform/forms/Dialogs.h"

namespace {

struct TFlagsCase {
  TMsgDlgType Type;
  TMsgDlgButtons Buttons;
  Integer Default;
  UINT Flags;
};

TEST(DialogsFlags, ButtonSetsIconsAndDefaultButtons) {
  const TFlagsCase cases[] = {
      {mtInformation, mbOKOnly, -1, MB_OK | MB_ICONINFORMATION},
      {mtWarning, mbOKCancel, -1, MB_OKCANCEL | MB_ICONWARNING},
      {mtWarning, mbOKCancel, mbCancel, MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2},
      {mtConfirmation, mbYesNoCancel, mbCancel, MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3},
      {mtConfirmation, mbYesNo | MsgDlgButton(mbHelp), -1, MB_YESNO | MB_ICONQUESTION},
      {mtError, mbAbortRetryIgnore, mbRetry, MB_ABORTRETRYIGNORE | MB_ICONERROR | MB_DEFBUTTON2},
      {mtError, mbRetryCancel, mbYes, MB_RETRYCANCEL | MB_ICONERROR},
      {mtCustom, 0, -1, MB_OK},
  };
  for (const TFlagsCase& c : cases) EXPECT_EQ(MessageDlgFlags(c.Type, c.Buttons, c.Default), c.Flags) << c.Buttons;
}

TEST(DialogsFlags, SetsWithoutAButtonRowAreRefused) {
  for (TMsgDlgButtons set : {MsgDlgButton(mbCancel), mbYesNo | MsgDlgButton(mbYesToAll), MsgDlgButton(mbYes) | MsgDlgButton(mbCancel),
                             MsgDlgButton(mbAll)})
    EXPECT_THROW(MessageDlgFlags(mtWarning, set), EInvalidOperation) << set;
}

class DialogsTest : public TFormsTest {
 protected:
  void TearDown() override {
    SetMessageBoxHandler(nullptr);
    Application->SetTitle("");
    TFormsTest::TearDown();
  }
};

TEST_F(DialogsTest, TheApplicationsFunctionAnswersWithCaptionsOfTheType) {
  std::vector<String> captions;
  std::vector<UINT> flags;
  Application->SetMessageBoxFunc([&](const String&, const String& caption, UINT f) {
    captions.push_back(caption);
    flags.push_back(f);
    return (f & MB_TYPEMASK) == MB_YESNOCANCEL ? IDNO : IDOK;
  });
  Application->SetTitle("QJ Test");
  EXPECT_EQ(MessageDlg("Save changes?", mtConfirmation, mbYesNoCancel, 0), mrNo);
  EXPECT_EQ(MessageDlg("Careful", mtWarning, mbOKCancel, 0), mrOk);
  ShowMessage("Done");
  ShowMessageFmt("%d channels", {12});
  EXPECT_EQ(captions, (std::vector<String>{"Confirm", "Warning", "QJ Test", "QJ Test"}));
  EXPECT_EQ(flags[2], MB_OK);
}

TEST_F(DialogsTest, BoxesWithoutACaptionShowTheTitleElseTheProgramName) {
  std::vector<String> captions;
  Application->SetMessageBoxFunc([&](const String&, const String& caption, UINT) {
    captions.push_back(caption);
    return IDOK;
  });
  ShowMessage("Done");
  Application->MessageBox("Plain", "", MB_OK);
  Application->SetTitle("QJ Test");
  Application->MessageBox("Plain", "", MB_OK);
  Application->MessageBox("Own", "Own caption", MB_OK);
  EXPECT_EQ(captions, (std::vector<String>{"test_forms", "test_forms", "QJ Test", "Own caption"}));
}

TEST_F(DialogsTest, TheWindowSystemsHandlerAnswersWithoutTheApplicationsFunction) {
  Application->SetMessageBoxFunc(nullptr);
  String seen;
  SetMessageBoxHandler([&](HWND, const String& text, const String&, UINT) {
    seen = text;
    return IDRETRY;
  });
  EXPECT_EQ(MessageDlg("Disk busy", mtError, mbAbortRetryIgnore, 0), mrRetry);
  EXPECT_EQ(seen, "Disk busy");
}

TEST_F(DialogsTest, ARealBoxAnswersKeysAndIsPlacedWhereAsked) {
  Application->SetMessageBoxFunc(nullptr);
  RECT placed{};
  HWND box = nullptr;
  String boxClass;
  OnceIdle([&] {
    box = GetActiveWindow();
    boxClass = GetClassName(box);
    GetWindowRect(box, &placed);
    Headless::PressKey(VK_RETURN);
  });
  EXPECT_EQ(MessageDlgPos("Overwrite?", mtConfirmation, mbYesNo, 0, 40, 60), mrYes) << "Enter presses the default";
  EXPECT_EQ(boxClass, MESSAGEBOX_CLASS);
  EXPECT_EQ(placed.Left, 40);
  EXPECT_EQ(placed.Top, 60);

  OnceIdle([] { Headless::PressKey(VK_RETURN); });
  EXPECT_EQ(MessageDlg("Overwrite?", mtConfirmation, mbYesNo, 0, mbNo), mrNo) << "a chosen default button";
  OnceIdle([] { Headless::PressKey(VK_ESCAPE); });
  EXPECT_EQ(MessageDlg("Leave?", mtWarning, mbYesNoCancel, 0), mrCancel);
}

}  // namespace
