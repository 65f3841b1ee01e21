// Hyperlink editor: which link texts reach the desktop's opener (and as what), the ways to open
// a link, the link look and the hand cursor.
#include <cstdio>
#include <fstream>
#include <optional>

#include "../lookandfeel/qvControlsTestSupport.h"
#include "editors/qvHyperLinkEdit.h"
#include "platform/os/Shell.h"
#include "platform/forms/StdCtrls.h"

namespace {

class TqvHyperLinkEditTest : public TqvControlsTest {
 protected:
  void SetUp() override {
    TqvControlsTest::SetUp();
    SetShellLauncher([this](const std::vector<std::string>& argv) {
      Launched.push_back(argv);
      return true;
    });
    FForm = NewForm(400, 300);
    FEdit = New<TqvHyperLinkEdit>(FForm);
    FEdit->SetBounds(10, 10, 200, 21);
    FEdit->SetParent(FForm);
    FOther = Add<TEdit>(FForm, Rect(10, 100, 110, 120));
    Show(FForm);
  }
  void TearDown() override {
    SetShellLauncher(nullptr);
    TqvControlsTest::TearDown();
  }
  void Focus() {
    FEdit->SetFocus();
    Pump();
  }
  // The one argument the opener got, or none.
  std::optional<std::string> Opened() const {
    if (Launched.empty()) return std::nullopt;
    EXPECT_EQ(Launched.size(), 1u);
    EXPECT_EQ(Launched[0].size(), 2u);
    EXPECT_EQ(Launched[0][0], "xdg-open");
    return Launched[0].back();
  }

  TForm* FForm = nullptr;
  TqvHyperLinkEdit* FEdit = nullptr;
  TEdit* FOther = nullptr;
  std::vector<std::vector<std::string>> Launched;
};

struct TTargetCase {
  const char* Name;
  String Text;
  std::optional<std::string> Opened;
};

std::ostream& operator<<(std::ostream& os, const TTargetCase& c) { return os << c.Name; }

class TqvHyperLinkTargetTest : public TqvHyperLinkEditTest, public ::testing::WithParamInterface<TTargetCase> {};

TEST_P(TqvHyperLinkTargetTest, OnlyAllowedTargetsReachTheOpener) {
  const TTargetCase& c = GetParam();
  FEdit->SetEditValue(c.Text);
  Focus();
  Press(VK_RETURN, skCtrl);
  EXPECT_EQ(Opened(), c.Opened);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TqvHyperLinkTargetTest,
    ::testing::Values(
        TTargetCase{"Http", "http://example.com/a?b=1;rm -rf /", "http://example.com/a?b=1;rm -rf /"},
        TTargetCase{"HttpsTrimmed", "  https://example.org/x  ", "https://example.org/x"},
        TTargetCase{"Ftp", "ftp://host/file", "ftp://host/file"},
        TTargetCase{"Mailto", "mailto:someone@example.com", "mailto:someone@example.com"},
        TTargetCase{"AnOption", "-x", std::nullopt},
        TTargetCase{"Javascript", "javascript:alert(1)", std::nullopt},
        TTargetCase{"FileWithSpaces", "file with spaces", std::nullopt},
        TTargetCase{"FileUrl", "file:///etc/passwd", std::nullopt},
        TTargetCase{"OtherScheme", "smb://host/share", std::nullopt},
        TTargetCase{"ShellText", "$(reboot)", std::nullopt},
        TTargetCase{"Blank", "   ", std::nullopt}, TTargetCase{"Empty", "", std::nullopt}));

TEST_F(TqvHyperLinkEditTest, AnExistingFileOpensAsOneAbsolutePath) {
  const std::string name = "qj hyperlink test file.txt";
  { std::ofstream(name) << "x"; }
  FEdit->SetEditValue(String(name));
  Focus();
  Press(VK_RETURN, skCtrl);
  std::remove(name.c_str());
  const std::optional<std::string> opened = Opened();
  ASSERT_TRUE(opened);
  EXPECT_EQ(opened->front(), '/');
  EXPECT_EQ(opened->substr(opened->size() - name.size()), name);
}

TEST_F(TqvHyperLinkEditTest, StartClickReplacesTheOpening) {
  TObject* sender = nullptr;
  FEdit->GetProperties()->OnStartClick = [&](TObject* S) { sender = S; };
  FEdit->SetEditValue(String("http://example.com"));
  Focus();
  Press(VK_RETURN, skCtrl);
  EXPECT_EQ(sender, FEdit);
  EXPECT_FALSE(Opened());
}

TEST_F(TqvHyperLinkEditTest, ACustomStartKeyTakesThePlaceOfCtrlEnter) {
  FEdit->GetProperties()->SetStartKey(VK_F5);
  FEdit->SetEditValue(String("http://example.com"));
  Focus();
  Press(VK_RETURN, skCtrl);
  EXPECT_FALSE(Opened());
  Press(VK_F5);
  EXPECT_EQ(Opened(), "http://example.com");
}

TEST_F(TqvHyperLinkEditTest, ADoubleClickOpensWithoutSingleClick) {
  FEdit->SetEditValue(String("http://example.com"));
  Click(FEdit, {20, 10});
  EXPECT_FALSE(Opened()) << "one click only places the caret";
  Click(FEdit, {20, 10});
  EXPECT_EQ(Opened(), "http://example.com");
}

TEST_F(TqvHyperLinkEditTest, WithSingleClickAClickOpensButASelectionDoesNot) {
  FEdit->GetProperties()->SetSingleClick(true);
  FEdit->SetEditValue(String("http://example.com/long/path"));
  Focus();
  Down(FEdit, {10, 10});
  MoveTo(FEdit, {120, 10});
  Up();
  EXPECT_GT(FEdit->GetSelLength(), 0);
  EXPECT_FALSE(Opened()) << "selecting with the mouse does not open";
  Wait(1000);
  Click(FEdit, {40, 10});
  EXPECT_EQ(Opened(), "http://example.com/long/path");
}

TEST_F(TqvHyperLinkEditTest, SingleClickShowsTheHandWhileTheMouseIsOver) {
  FEdit->GetProperties()->SetSingleClick(true);
  const TCursor before = FEdit->GetCursor();
  MoveTo(FEdit, {20, 10});
  EXPECT_EQ(FEdit->GetCursor(), crHandPoint);
  MoveTo(FOther, {5, 5});
  Wait(50);
  EXPECT_EQ(FEdit->GetCursor(), before);
}

TEST_F(TqvHyperLinkEditTest, TheInnerEditShowsTheLink) {
  FEdit->GetProperties()->SetLinkColor(clRed);
  FEdit->SetEditValue(String("http://example.com"));
  Focus();
  TFont* font = FEdit->GetInnerEdit()->GetControl()->GetFont();
  EXPECT_NE(font->GetStyle() & fsUnderline, 0u);
  EXPECT_EQ(font->GetColor(), clRed);
}

TEST(TqvHyperLinkEditProperties, DefaultsAssignAndOperations) {
  TOwned<TqvHyperLinkEditProperties> a = MakeOwned<TqvHyperLinkEditProperties>(nullptr);
  EXPECT_FALSE(a->GetAutoSelect());
  EXPECT_EQ(a->GetLinkColor(), clBlue);
  EXPECT_EQ(a->GetStartKey(), 16397);
  EXPECT_EQ(a->GetSupportedOperations() & esoHotTrack, 0u);
  a->SetSingleClick(true);
  EXPECT_NE(a->GetSupportedOperations() & esoHotTrack, 0u);
  a->SetLinkColor(clGreen);
  a->SetStartKey(VK_F2);
  int started = 0;
  a->OnStartClick = [&](TObject*) { ++started; };
  TOwned<TqvHyperLinkEditProperties> b = MakeOwned<TqvHyperLinkEditProperties>(nullptr);
  b->Assign(a.get());
  EXPECT_TRUE(b->GetSingleClick());
  EXPECT_EQ(b->GetLinkColor(), clGreen);
  EXPECT_EQ(b->GetStartKey(), VK_F2);
  b->OnStartClick(nullptr);
  EXPECT_EQ(started, 1);
  EXPECT_EQ(GetRegisteredEditProperties()->FindByClassName("TqvHyperLinkEditProperties"),
            &TqvHyperLinkEditProperties::StaticClass());
}

TEST(TqvHyperLinkEditTargets, AllowedSchemes) {
  EXPECT_TRUE(IsHyperLinkTargetAllowed("HTTP://x"));
  EXPECT_TRUE(IsHyperLinkTargetAllowed("report.pdf"));
  EXPECT_TRUE(IsHyperLinkTargetAllowed("C:\\report.pdf")) << "a drive letter is no scheme";
  EXPECT_FALSE(IsHyperLinkTargetAllowed("vbscript:x"));
  EXPECT_FALSE(IsHyperLinkTargetAllowed("FILE:///tmp"));
}

}  // namespace
