// The open and save dialogs: filters and masks, choosing, cancelling and refusing names through
// injected keys, overwrite prompts, filter switching, folder navigation, and headless answers.
#include "DialogsTestSupport.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/StringList.h"

namespace {

const char* const kImageFilter = "DB Data File(*.IMG)|*.img|All File(*.*)|*.*";

TEST(DialogsFileFilter, EntriesMasksAndPaths) {
  std::vector<TFileFilter> f = ParseFileFilter(kImageFilter);
  ASSERT_EQ(f.size(), 2u);
  EXPECT_EQ(f[0].Name, "DB Data File(*.IMG)");
  EXPECT_EQ(f[0].Masks, "*.img");
  EXPECT_EQ(f[1].Masks, "*.*");
  EXPECT_EQ(ParseFileFilter("Pictures|*.bmp;*.jpg|Dangling").size(), 1u) << "a name without masks is dropped";
  EXPECT_TRUE(ParseFileFilter("").empty());
  std::vector<TFileFilter> pictures = ParseFileFilter(GraphicFilter(nullptr));
  ASSERT_FALSE(pictures.empty()) << "the picture editor's filter";
  EXPECT_TRUE(MatchesFileMasks("logo.BMP", pictures[0].Masks)) << pictures[0].Masks;

  struct TMaskCase {
    const char* Name;
    const char* Masks;
    bool Match;
  } masks[] = {
      {"chan.IMG", "*.img", true},
      {"chan.img.bak", "*.img", false},
      {"a.jpg", "*.bmp;*.jpg", true},
      {"README", "*.*", true},
      {"a.txt", "", true},
      {"ab.flt", "a?.flt", true},
      {"abc.flt", "a?.flt", false},
      {"x.jpeg", "*.jpg", false},
      {"x.jpeg", " *.bmp ; *.jpeg ", true},
  };
  for (const TMaskCase& c : masks) EXPECT_EQ(MatchesFileMasks(c.Name, c.Masks), c.Match) << c.Name << " " << c.Masks;

  EXPECT_EQ(ExpandDialogPath("a/../b/./c.img", "/data"), "/data/b/c.img");
  EXPECT_EQ(ExpandDialogPath("/x/y/", "/ignored"), "/x/y");
  EXPECT_EQ(ExpandDialogPath("../../..", "/a"), "/");
  EXPECT_EQ(ExpandDialogPath("./"), ExpandDialogPath(""));
}

class DialogsFileTest : public TDialogsTest {
 protected:
  void SetUp() override {
    TDialogsTest::SetUp();
    Application->SetMessageBoxFunc([this](const String& text, const String&, UINT) {
      Boxes.push_back(text);
      return BoxAnswer;
    });
    Files.File("chan.img");
    Files.File("notes.txt");
    Files.File("sub/inner.img");
    Open = New<TOpenDialog>(nullptr);
    Open->SetFilter(kImageFilter);
    Open->SetInitialDir(Files.Path);
  }
  void TearDown() override {
    SetDialogExecuteHandler(&TOpenDialog::StaticClass(), nullptr);
    unsetenv("QJ_FILEDIALOG_ANSWERS");
    Free(Open);
    TDialogsTest::TearDown();
  }
  std::vector<String> Listed(TCustomForm* dialog) {
    TStrings* items = Find<TListBox>(dialog, "FileList")->GetItems();
    std::vector<String> names;
    for (Integer i = 0; i < items->GetCount(); ++i) names.push_back(items->Get(i));
    return names;
  }

  TScratchFolder Files;
  TOpenDialog* Open = nullptr;
  Integer BoxAnswer = IDOK;
};

TEST_F(DialogsFileTest, TypingANameAndEnterChoosesIt) {
  std::vector<String> listed;
  String caption;
  Script({[&](TCustomForm* d) {
            listed = Listed(d);
            caption = d->GetCaption();
          },
          Type("chan"), Keys(VK_RETURN)});
  Open->SetDefaultExt("img");
  ASSERT_TRUE(Open->Execute());
  EXPECT_EQ(Open->GetFileName(), Files.Path + "/chan.img") << "absolute, with the default extension";
  EXPECT_EQ(Open->GetFiles()->GetCount(), 1);
  EXPECT_EQ(Open->GetFilterIndex(), 1);
  EXPECT_EQ(listed, (std::vector<String>{"sub/", "chan.img"})) << "folders first, then files of the filter";
  EXPECT_EQ(caption, "Open");
}

TEST_F(DialogsFileTest, EscapeCancelsAndKeepsTheFileName) {
  Open->SetFileName("old.img");
  Script({Type("chan.img"), Keys(VK_ESCAPE)});
  EXPECT_FALSE(Open->Execute());
  EXPECT_EQ(Open->GetFileName(), "old.img");
}

TEST_F(DialogsFileTest, AMissingFileIsRefusedWhenItMustExist) {
  Open->SetOptions(Open->GetOptions() | ofFileMustExist);
  bool stillOpen = false;
  Script({Type("missing.img"), Keys(VK_RETURN), [&](TCustomForm* d) { stillOpen = d->GetVisible(); },
          Act([](TCustomForm*) {
            Headless::PressKey('A', skCtrl);
            Headless::TypeText("chan.img");
            Headless::PressKey(VK_RETURN);
          })});
  ASSERT_TRUE(Open->Execute());
  EXPECT_TRUE(stillOpen);
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_NE(Boxes[0].find("missing.img\nFile not found."), String::npos) << Boxes[0];
  EXPECT_EQ(Open->GetFileName(), Files.Path + "/chan.img");
}

TEST_F(DialogsFileTest, TheReadOnlyBoxShowsUnlessHiddenAndSetsTheOption) {
  bool shownByDefault = true;
  Script(
      {[&](TCustomForm* d) { shownByDefault = Find<TCheckBox>(d, "ReadOnlyCheck")->GetVisible(); }, Keys(VK_ESCAPE)});
  Open->Execute();
  EXPECT_FALSE(shownByDefault);

  Open->SetOptions(ofFileMustExist);
  Script({[](TCustomForm* d) { Find<TCheckBox>(d, "ReadOnlyCheck")->SetFocus(); }, Keys(VK_SPACE),
          [](TCustomForm* d) { Find<TEdit>(d, "FileNameEdit")->SetFocus(); }, Type("chan.img"), Keys(VK_RETURN)});
  ASSERT_TRUE(Open->Execute());
  EXPECT_EQ(Open->GetOptions(), ofFileMustExist | ofReadOnly);
}

TEST_F(DialogsFileTest, SeveralFilesAreChosenWhenTheListAllowsIt) {
  Files.File("b.img");
  Open->SetOptions(ofAllowMultiSelect | ofFileMustExist);
  Script({[](TCustomForm* d) { Find<TListBox>(d, "FileList")->SetFocus(); }, Keys(VK_HOME), Keys(VK_DOWN),
          Keys(VK_DOWN, skShift), Keys(VK_RETURN)});
  ASSERT_TRUE(Open->Execute());
  ASSERT_EQ(Open->GetFiles()->GetCount(), 2);
  EXPECT_EQ(Open->GetFiles()->Get(0), Files.Path + "/b.img");
  EXPECT_EQ(Open->GetFiles()->Get(1), Files.Path + "/chan.img");
  EXPECT_EQ(Open->GetFileName(), Files.Path + "/b.img");

  Open->SetOptions(ofFileMustExist);
  EXPECT_FALSE(Open->AcceptFileNames({"b.img", "gone.img"}, Files.Path)) << "one refused name refuses all";
  EXPECT_EQ(Open->GetFiles()->GetCount(), 2) << "the previous choice stays";
}

TEST_F(DialogsFileTest, SavingOverAFileAsksFirst) {
  auto* save = New<TSaveDialog>(nullptr);
  save->SetFilter(kImageFilter);
  save->SetInitialDir(Files.Path);
  save->SetOptions(ofOverwritePrompt | ofHideReadOnly);
  BoxAnswer = IDNO;
  Script({Type("chan.img"), Keys(VK_RETURN), Act([&](TCustomForm* d) {
            EXPECT_EQ(d->GetCaption(), "Save As");
            BoxAnswer = IDYES;
            Headless::PressKey(VK_RETURN);
          })});
  EXPECT_TRUE(save->Execute());
  EXPECT_EQ(Boxes.size(), 2u) << "No kept the dialog open, Yes accepted";
  EXPECT_EQ(save->GetFileName(), Files.Path + "/chan.img");

  Boxes.clear();
  Script({Type("new.img"), Keys(VK_RETURN)});
  EXPECT_TRUE(save->Execute());
  EXPECT_TRUE(Boxes.empty()) << "no prompt for a new file";
  Free(save);
}

TEST_F(DialogsFileTest, SwitchingTheFilterRelistsTheFolder) {
  std::vector<String> before, after;
  Script({[&](TCustomForm* d) {
            before = Listed(d);
            Find<TListBox>(d, "TypeList")->SetFocus();
          },
          Keys(VK_DOWN),
          [&](TCustomForm* d) {
            after = Listed(d);
            Find<TEdit>(d, "FileNameEdit")->SetFocus();
          },
          Type("notes.txt"), Keys(VK_RETURN)});
  ASSERT_TRUE(Open->Execute());
  EXPECT_EQ(before, (std::vector<String>{"sub/", "chan.img"}));
  EXPECT_EQ(after, (std::vector<String>{"sub/", "chan.img", "notes.txt"}));
  EXPECT_EQ(Open->GetFilterIndex(), 2);
}

TEST_F(DialogsFileTest, FoldersOpenFromTheListAndTheTypedPathAndGoUp) {
  std::vector<String> inSub, afterUp, typed;
  Script({[&](TCustomForm* d) { Find<TListBox>(d, "FileList")->SetFocus(); }, Keys(VK_HOME), Keys(VK_RETURN),  // "sub/"
          [&](TCustomForm* d) { inSub = Listed(d); }, Keys(VK_BACK),
          [&](TCustomForm* d) {
            afterUp = Listed(d);
            Find<TEdit>(d, "FolderEdit")->SetFocus();
          },
          Act([&](TCustomForm*) {
            Headless::PressKey('A', skCtrl);
            Headless::TypeText(Files.Path + "/sub");
            Headless::PressKey(VK_RETURN);
          }),
          [&](TCustomForm* d) {
            typed = Listed(d);
            Find<TEdit>(d, "FileNameEdit")->SetFocus();
          },
          Type("inner.img"), Keys(VK_RETURN)});
  ASSERT_TRUE(Open->Execute());
  EXPECT_EQ(inSub, (std::vector<String>{"inner.img"}));
  EXPECT_EQ(afterUp, (std::vector<String>{"sub/", "chan.img"}));
  EXPECT_EQ(typed, inSub);
  EXPECT_EQ(Open->GetFileName(), Files.Path + "/sub/inner.img");
}

TEST_F(DialogsFileTest, AHandlerAnswersAndItsNameIsCheckedLikeTheOkButton) {
  std::vector<String> classes;
  String answer = "chan.img";
  SetDialogExecuteHandler(&TOpenDialog::StaticClass(), [&](TCommonDialog* d) {
    classes.push_back(d->ClassName());
    auto* open = static_cast<TOpenDialog*>(d);
    open->SetFileName(answer);
    return answer.empty() ? daCancel : daOk;
  });
  EXPECT_TRUE(Open->Execute());
  EXPECT_EQ(Open->GetFileName(), Files.Path + "/chan.img");

  Open->SetOptions(ofFileMustExist);
  answer = "gone.img";
  EXPECT_FALSE(Open->Execute());
  EXPECT_EQ(Boxes.size(), 1u);

  Open->SetOptions(ofPathMustExist);
  answer = "nowhere/x.img";
  EXPECT_FALSE(Open->Execute());
  ASSERT_EQ(Boxes.size(), 2u);
  EXPECT_NE(Boxes[1].find("Path does not exist"), String::npos) << Boxes[1];

  auto* save = New<TSaveDialog>(nullptr);
  save->SetInitialDir(Files.Path);
  answer = "";
  EXPECT_FALSE(save->Execute()) << "a save dialog uses the open dialog's handler";
  Free(save);
  EXPECT_EQ(classes, (std::vector<String>{"TOpenDialog", "TOpenDialog", "TOpenDialog", "TSaveDialog"}));
}

TEST_F(DialogsFileTest, TheEnvironmentListAnswersOneDialogAfterAnother) {
  setenv("QJ_FILEDIALOG_ANSWERS", "cancel; chan.img ;sub/inner.img", 1);
  EXPECT_FALSE(Open->Execute());
  EXPECT_TRUE(Open->Execute());
  EXPECT_EQ(Open->GetFileName(), Files.Path + "/chan.img");
  EXPECT_TRUE(Open->Execute());
  EXPECT_EQ(Open->GetFileName(), Files.Path + "/sub/inner.img");
  Script({Keys(VK_ESCAPE)});
  EXPECT_FALSE(Open->Execute()) << "a used-up list shows the dialog again";
}

}  // namespace
