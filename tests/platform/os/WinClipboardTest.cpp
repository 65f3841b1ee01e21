// The clipboard on the headless backend: opening rules, text in every byte value, the text forms
// standing in for each other, bitmaps, registered formats and memory blocks.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/os/Clipboard.h"
#include "platform/os/Gdi.h"
#include "platform/rtl/SysUtils.h"
#include "tests/platform/os/WinTestSupport.h"

namespace {

class WinClipboardTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
  }

  static HGLOBAL Block(const void* data, size_t size) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(h), data, size);
    GlobalUnlock(h);
    return h;
  }

  static String TextOf(HANDLE h) {
    auto* p = static_cast<const char*>(GlobalLock(static_cast<HGLOBAL>(h)));
    String s = p ? String(p) : String();
    GlobalUnlock(static_cast<HGLOBAL>(h));
    return s;
  }
};

TEST_F(WinClipboardTest, TextRoundTripsEveryNonZeroByteValue) {
  String all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  ASSERT_TRUE(SetClipboardText(nullptr, all));
  EXPECT_EQ(GetClipboardText(nullptr), all);

  // The platform's own steps give the same bytes.
  HWND w = Top(10, 10, 100, 100);
  ASSERT_TRUE(OpenClipboard(w));
  ASSERT_TRUE(EmptyClipboard());
  HGLOBAL h = Block(all.c_str(), all.size() + 1);
  EXPECT_EQ(SetClipboardData(CF_TEXT, h), h);
  EXPECT_EQ(TextOf(GetClipboardData(CF_TEXT)), all);
  EXPECT_TRUE(CloseClipboard());
  EXPECT_EQ(GetClipboardOwner(), w);

  ASSERT_TRUE(SetClipboardText(nullptr, String("before\0after", 12)));
  EXPECT_EQ(GetClipboardText(nullptr), "before") << "CF_TEXT ends at the first zero byte";
}

TEST_F(WinClipboardTest, OpeningRulesAndFailureValues) {
  HWND a = Top(10, 10, 100, 100), b = Top(200, 10, 100, 100);
  EXPECT_FALSE(CloseClipboard()) << "not open";
  EXPECT_FALSE(EmptyClipboard());
  EXPECT_EQ(SetClipboardData(CF_TEXT, GlobalAlloc(GHND, 4)), nullptr) << "closed clipboard takes nothing";
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);

  ASSERT_TRUE(OpenClipboard(a));
  EXPECT_EQ(GetOpenClipboardWindow(), a);
  EXPECT_FALSE(OpenClipboard(b)) << "held by another window";
  EXPECT_EQ(GetClipboardText(b), "") << "a reader locked out gets nothing";
  EXPECT_FALSE(SetClipboardText(b, "x"));
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_EQ(SetClipboardData(CF_TEXT, nullptr), nullptr) << "no data rendered later";
  EXPECT_EQ(SetClipboardData(CF_TEXT, reinterpret_cast<HANDLE>(0x1234)), nullptr) << "not a memory block";
  EXPECT_EQ(SetClipboardData(CF_BITMAP, GlobalAlloc(GHND, 4)), nullptr) << "CF_BITMAP needs a bitmap";
  EXPECT_TRUE(CloseClipboard());
  EXPECT_FALSE(OpenClipboard(reinterpret_cast<HWND>(0x99))) << "a dead window cannot open it";

  ASSERT_TRUE(OpenClipboard(a));
  DestroyWindow(a);
  EXPECT_TRUE(OpenClipboard(b)) << "the dead opener no longer holds it";
  EXPECT_TRUE(CloseClipboard());
}

TEST_F(WinClipboardTest, TextFormsStandInForEachOtherAndFollowTheLatestSet) {
  ASSERT_TRUE(SetClipboardText(nullptr, "caf\xE9 \x80"));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  ASSERT_TRUE(OpenClipboard(nullptr));
  auto* wide = static_cast<const char16_t*>(GlobalLock(static_cast<HGLOBAL>(GetClipboardData(CF_UNICODETEXT))));
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(WideString(wide), u"caf\u00E9 \u20AC");

  WideString replaced = u"\u00FCber";
  HGLOBAL h = Block(replaced.c_str(), (replaced.size() + 1) * 2);
  ASSERT_EQ(SetClipboardData(CF_UNICODETEXT, h), h);
  EXPECT_EQ(TextOf(GetClipboardData(CF_TEXT)), "\xFC" "ber") << "the older CF_TEXT was replaced";
  CloseClipboard();
}

TEST_F(WinClipboardTest, BitmapsAndRegisteredFormatsAreOwnedByTheClipboard) {
  UINT picture = RegisterClipboardFormat("Delphi Picture");
  EXPECT_GE(picture, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormat("DELPHI PICTURE"), picture) << "names ignore case";
  EXPECT_EQ(RegisterClipboardFormat(""), 0u);
  char name[32];
  EXPECT_EQ(GetClipboardFormatName(picture, name, sizeof name), 14);
  EXPECT_STREQ(name, "Delphi Picture");

  HBITMAP bmp = CreateBitmap(4, 3, 1, 32, nullptr);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  EXPECT_EQ(SetClipboardData(CF_BITMAP, bmp), bmp);
  const char data[] = "xyz";
  EXPECT_NE(SetClipboardData(picture, Block(data, sizeof data)), nullptr);
  EXPECT_EQ(CountClipboardFormats(), 2);
  EXPECT_EQ(EnumClipboardFormats(0), CF_BITMAP);
  EXPECT_EQ(EnumClipboardFormats(CF_BITMAP), picture);
  EXPECT_EQ(EnumClipboardFormats(picture), 0u);
  EXPECT_EQ(GetClipboardData(CF_BITMAP), bmp);
  DWORD sequence = GetClipboardSequenceNumber();
  EmptyClipboard();
  EXPECT_GT(GetClipboardSequenceNumber(), sequence);
  CloseClipboard();
  EXPECT_EQ(GetObjectType(bmp), 0u) << "emptying deleted the bitmap";
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
}

TEST_F(WinClipboardTest, MemoryBlocksRefuseBadHandles) {
  HGLOBAL h = GlobalAlloc(GHND, 8);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GlobalSize(h), 8u);
  auto* p = static_cast<char*>(GlobalLock(h));
  EXPECT_EQ(p[7], 0) << "GHND zero-fills";
  EXPECT_EQ(GlobalLock(h), p);
  EXPECT_TRUE(GlobalUnlock(h)) << "one lock left";
  EXPECT_FALSE(GlobalUnlock(h));
  EXPECT_FALSE(GlobalUnlock(h)) << "not locked";
  EXPECT_EQ(GlobalFree(h), nullptr);
  EXPECT_EQ(GlobalFree(h), h) << "freed twice";
  EXPECT_EQ(GlobalLock(h), nullptr);
  EXPECT_EQ(GlobalSize(h), 0u);

  HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
  EXPECT_EQ(GlobalSize(empty), 0u);
  EXPECT_NE(GlobalLock(empty), nullptr);
  GlobalUnlock(empty);
  GlobalFree(empty);
}

}  // namespace

// ------------------------------------------------------------------ the system clipboard (sdl)

namespace {

// SDL stays attached to the first display it opens for the life of the process, so the check runs
// in a child process of its own against an X server of its own.
class WinClipboardSdlTest : public TWinTest {
 protected:
  void TearDown() override {
    if (FServer > 0) {
      kill(FServer, SIGTERM);
      waitpid(FServer, nullptr, 0);
    }
    TWinTest::TearDown();
  }

  // Starts Xvfb on a free display number; empty when it is missing or does not come up.
  std::string StartServer() {
    const char* xvfb = "/usr/bin/Xvfb";
    if (access(xvfb, X_OK) != 0) return {};
    for (int n = 161; n < 230; ++n) {
      std::string num = std::to_string(n);
      if (access(("/tmp/.X" + num + "-lock").c_str(), F_OK) == 0 || access(("/tmp/.X11-unix/X" + num).c_str(), F_OK) == 0)
        continue;
      FServer = fork();
      if (FServer == 0) {
        execl(xvfb, "Xvfb", (":" + num).c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp", nullptr);
        _exit(127);
      }
      for (int i = 0; i < 500; ++i) {
        if (access(("/tmp/.X11-unix/X" + num).c_str(), F_OK) == 0) return ":" + num;
        if (waitpid(FServer, nullptr, WNOHANG) == FServer) break;
        usleep(10000);
      }
      kill(FServer, SIGTERM);
      waitpid(FServer, nullptr, 0);
      FServer = -1;
    }
    return {};
  }

  pid_t FServer = -1;
};

int Check(bool ok, const char* what) {
  if (!ok) std::fprintf(stderr, "failed: %s\n", what);
  return ok ? 0 : 1;
}

// Runs in the child process: exits 0 when every check holds.
void CheckSystemClipboard(const std::string& display) {
  setenv("DISPLAY", display.c_str(), 1);
  auto sdl = CreateSdlBackend();
  if (!sdl) _exit(Check(false, "SDL opens the display"));
  SetBackend(std::move(sdl));
  int failures = Check(Backend().HasSystemClipboard(), "the sdl backend shares a clipboard");
  failures += Check(SetClipboardText(nullptr, "caf\xE9 \x80\r\nline") != FALSE, "setting text");
  failures += Check(Backend().SystemClipboardText() == "caf\xC3\xA9 \xE2\x82\xAC\nline", "UTF-8 with LF outside");
  failures += Check(GetClipboardText(nullptr) == "caf\xE9 \x80\r\nline", "our own text comes back byte for byte");
  // Text another program put there arrives in the code page, CRLF inside, '?' where it has no byte.
  Backend().SetSystemClipboardText("\xC3\xBC" "ber\n\xE2\x98\x83");
  failures += Check(IsClipboardFormatAvailable(CF_TEXT) != FALSE, "foreign text is available");
  failures += Check(GetClipboardText(nullptr) == "\xFC" "ber\r\n?", "foreign text converted");
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  failures += Check(!IsClipboardFormatAvailable(CF_TEXT), "emptying clears the system text");
  std::fflush(stderr);
  _exit(failures ? 1 : 0);
}

TEST_F(WinClipboardSdlTest, TextGoesThroughTheSystemClipboardAsUtf8) {
  std::string display = StartServer();
  if (display.empty()) GTEST_SKIP() << "no Xvfb to give SDL a display";
  EXPECT_EXIT(CheckSystemClipboard(display), ::testing::ExitedWithCode(0), "");
}

}  // namespace
