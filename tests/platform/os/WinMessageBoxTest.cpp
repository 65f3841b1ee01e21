// Message boxes answered by the headless handler, by script answers, by keys and by the mouse.
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "platform/os/Clipboard.h"
#include "platform/os/WinDialogs.h"
#include "platform/rtl/SysUtils.h"
#include "tests/platform/os/WinTestSupport.h"

namespace {

class WinMessageBoxTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    Owner = Top(100, 100, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Child = TWinTest::Child(Owner, 10, 10, 50, 20);
    SetActiveWindow(Owner);
    unsetenv("QJ_MESSAGEBOX_ANSWERS");
    unsetenv("QJ_MESSAGEBOX_LOG");
  }
  void TearDown() override {
    SetMessageBoxHandler(nullptr);
    unsetenv("QJ_MESSAGEBOX_ANSWERS");
    unsetenv("QJ_MESSAGEBOX_LOG");
    TWinTest::TearDown();
  }

  // Screen centre of the box's button `index` of `count` (a row centred at the bottom).
  static TPoint ButtonCentre(int index, int count) {
    HWND box = GetActiveWindow();
    RECT client;
    GetClientRect(box, &client);
    int row = count * 75 + (count - 1) * 6;
    POINT p{(client.Width() - row) / 2 + index * 81 + 37, client.Height() - 12 - 11};
    ClientToScreen(box, &p);
    return p;
  }

  HWND Owner = nullptr;
  HWND Child = nullptr;
};

TEST_F(WinMessageBoxTest, HandlerAnswersWithWhatTheBoxShows) {
  HWND seenOwner = nullptr;
  String seenText, seenCaption;
  UINT seenType = 0;
  SetMessageBoxHandler([&](HWND owner, const String& text, const String& caption, UINT type) {
    seenOwner = owner;
    seenText = text;
    seenCaption = caption;
    seenType = type;
    return IDNO;
  });
  EXPECT_EQ(MessageBox(Child, "Delete the channel?", "Warning", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(seenOwner, Owner) << "the box belongs to the top-level window";
  EXPECT_EQ(seenText, "Delete the channel?");
  EXPECT_EQ(seenCaption, "Warning");
  EXPECT_EQ(seenType, MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(GetActiveWindow(), Owner) << "no window was shown";

  EXPECT_THROW(MessageBox(Owner, "x", "y", MB_OKCANCEL), EInvalidOperation) << "IDNO is not a button of OK/Cancel";
  EXPECT_EQ(MessageBox(Owner, "x", "y", 0x0F), 0) << "unknown button set";
}

TEST_F(WinMessageBoxTest, ScriptAnswersAreUsedInOrderAndLogged) {
  std::string log = "/tmp/qj-msgbox-" + std::to_string(getpid()) + ".log";
  setenv("QJ_MESSAGEBOX_ANSWERS", " OK , no,default,retry", 1);
  setenv("QJ_MESSAGEBOX_LOG", log.c_str(), 1);
  EXPECT_EQ(MessageBox(Owner, "one", "A", MB_OKCANCEL), IDOK);
  EXPECT_EQ(MessageBox(Owner, "two\nlines", "B", MB_YESNOCANCEL), IDNO);
  EXPECT_EQ(MessageBox(Owner, "three", "C", MB_YESNO | MB_DEFBUTTON2), IDNO);
  // "retry" does not fit an OK box: the box shows and is answered by a key.
  Headless::PressKey(VK_RETURN);
  EXPECT_EQ(MessageBox(Owner, "four", "D", MB_OK), IDOK);
  std::ifstream in(log);
  std::string line;
  std::vector<std::string> lines;
  while (std::getline(in, line)) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"A|one|ok", "B|two lines|no", "C|three|no"}));
  std::remove(log.c_str());
}

TEST_F(WinMessageBoxTest, KeysChooseButtons) {
  struct TCase {
    UINT Type;
    std::vector<std::pair<BYTE, unsigned>> Keys;
    int Result;
  };
  const TCase cases[] = {
      {MB_OK, {{VK_RETURN, skNone}}, IDOK},
      {MB_OK, {{VK_ESCAPE, skNone}}, IDOK},
      {MB_OKCANCEL, {{VK_ESCAPE, skNone}}, IDCANCEL},
      {MB_OKCANCEL, {{VK_TAB, skNone}, {VK_RETURN, skNone}}, IDCANCEL},
      {MB_OKCANCEL, {{VK_TAB, skShift}, {VK_SPACE, skNone}}, IDCANCEL},
      {MB_YESNO, {{VK_RETURN, skNone}}, IDYES},
      {MB_YESNO | MB_DEFBUTTON2, {{VK_RETURN, skNone}}, IDNO},
      {MB_YESNO, {{VK_ESCAPE, skNone}, {'N', skNone}}, IDNO},  // no Cancel: Esc does nothing
      {MB_YESNOCANCEL, {{VK_ESCAPE, skNone}}, IDCANCEL},
      {MB_ABORTRETRYIGNORE, {{VK_RIGHT, skNone}, {VK_RIGHT, skNone}, {VK_SPACE, skNone}}, IDIGNORE},
      {MB_RETRYCANCEL, {{'R', skAlt}}, IDRETRY},
      {MB_CANCELTRYCONTINUE | MB_ICONWARNING, {{'C', skNone}}, IDCONTINUE},
      {MB_CANCELTRYCONTINUE | MB_DEFBUTTON3, {{VK_LEFT, skNone}, {VK_RETURN, skNone}}, IDTRYAGAIN},
  };
  for (const TCase& c : cases) {
    for (auto [key, shift] : c.Keys) Headless::PressKey(key, shift);
    EXPECT_EQ(MessageBox(Owner, "Text", "Caption", c.Type), c.Result) << "type " << c.Type;
    EXPECT_TRUE(IsWindowEnabled(Owner));
    EXPECT_EQ(GetActiveWindow(), Owner) << "activation returns to the owner";
  }
}

TEST_F(WinMessageBoxTest, BoxIsModalOverItsOwnerAndCopiesItsText) {
  bool ownerDisabled = false;
  String caption;
  RunWhenIdle({[&] {
         HWND box = GetActiveWindow();
         ownerDisabled = !IsWindowEnabled(Owner);
         caption = GetWindowText(box);
         EXPECT_EQ(GetClassName(box), MESSAGEBOX_CLASS);
         Headless::PressKey('C', skCtrl);
         Headless::PressKey(VK_RETURN);
       }});
  EXPECT_EQ(MessageBox(Owner, "Can not read file !", "QJ Editor", MB_OK | MB_ICONERROR), IDOK);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_EQ(caption, "QJ Editor");
  EXPECT_TRUE(IsWindowEnabled(Owner));
  EXPECT_EQ(GetClipboardText(nullptr), "QJ Editor\r\n\r\nCan not read file !");
}

TEST_F(WinMessageBoxTest, MouseReleaseOverThePressedButtonChoosesIt) {
  RunWhenIdle({[&] {
                 TPoint ok = ButtonCentre(0, 2);
                 Headless::MoveMouse(ok.X, ok.Y);
                 Headless::MouseDown();
                 Headless::MoveMouse(ok.X, ok.Y - 100);  // slide off before releasing
                 Headless::MouseUp();
               },
               [&] {
                 TPoint cancel = ButtonCentre(1, 2);
                 Headless::Click(cancel.X, cancel.Y);
               }});
  EXPECT_EQ(MessageBox(Owner, "Text", "Caption", MB_OKCANCEL), IDCANCEL);
}

TEST_F(WinMessageBoxTest, CloseAndQuitEndTheBox) {
  RunWhenIdle({[&] { PostMessage(GetActiveWindow(), WM_CLOSE, 0, 0); }});
  EXPECT_EQ(MessageBox(Owner, "Text", "Caption", MB_YESNOCANCEL), IDCANCEL);

  PostQuitMessage(3);
  EXPECT_EQ(MessageBox(nullptr, "Text", nullptr, MB_OKCANCEL), IDCANCEL);
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT)) << "the quit is passed on";
  EXPECT_EQ(m.wParam, 3u);
}

}  // namespace
