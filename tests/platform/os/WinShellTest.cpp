// The shell's open operation through an injected launcher: which targets reach xdg-open, and how.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "platform/os/Shell.h"
#include "platform/rtl/SysUtils.h"
#include "tests/platform/os/WinTestSupport.h"

namespace {

class WinShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetShellLauncher([this](const std::vector<std::string>& argv) {
      Launched.push_back(argv);
      return LaunchWorks;
    });
  }
  void TearDown() override { SetShellLauncher(nullptr); }

  static int Open(const char* target, const char* verb = "open") {
    return static_cast<int>(reinterpret_cast<intptr_t>(ShellExecute(nullptr, verb, target, nullptr, nullptr, SW_SHOWMAXIMIZED)));
  }

  std::vector<std::vector<std::string>> Launched;
  bool LaunchWorks = true;
};

TEST_F(WinShellTest, OpensAllowedUrlsAsOneArgument) {
  const char* urls[] = {"http://example.com/a b?c=1;rm -rf /", "HTTPS://example.com", "ftp://host/file",
                        "mailto:someone@example.com", "file:///tmp", "  http://padded.example  "};
  for (const char* url : urls) {
    Launched.clear();
    EXPECT_GT(Open(url, "OPEN"), 32) << url;
    ASSERT_EQ(Launched.size(), 1u) << url;
    ASSERT_EQ(Launched[0].size(), 2u);
    EXPECT_EQ(Launched[0][0], "xdg-open");
    EXPECT_EQ(Launched[0][1], Trim(url));
  }
  EXPECT_GT(Open("http://caf\xE9.example", nullptr), 32) << "no verb means open";
  EXPECT_EQ(Launched.back()[1], "http://caf\xC3\xA9.example") << "UTF-8 at the boundary";
}

TEST_F(WinShellTest, RefusesOtherSchemesVerbsAndBadTargets) {
  struct TCase {
    const char* Target;
    const char* Verb;
    int Error;
  };
  const TCase cases[] = {
      {"javascript:alert(1)", "open", SE_ERR_NOASSOC}, {"smb://host/share", "open", SE_ERR_NOASSOC},
      {"ssh://host", "open", SE_ERR_NOASSOC},          {"http://example.com", "edit", SE_ERR_NOASSOC},
      {"http://example.com", "print", SE_ERR_NOASSOC}, {"http:", "open", SE_ERR_FNF},
      {"mailto:", "open", SE_ERR_FNF},                 {"http://a\nb", "open", SE_ERR_FNF},
      {"", "open", SE_ERR_FNF},                        {"-n", "open", SE_ERR_FNF},
      {"/no/such/file/here", "open", SE_ERR_FNF},      {"www.example.com", "open", SE_ERR_FNF},
  };
  for (const TCase& c : cases) EXPECT_EQ(Open(c.Target, c.Verb), c.Error) << c.Target << " / " << c.Verb;
  EXPECT_EQ(Open(nullptr), SE_ERR_FNF);
  EXPECT_TRUE(Launched.empty()) << "nothing refused reaches the opener";
}

TEST(WinShellScheme, SchemesOfTargets) {
  EXPECT_EQ(UrlScheme("HTTPS://example.com"), "https");
  EXPECT_EQ(UrlScheme("mailto:a@b"), "mailto");
  EXPECT_EQ(UrlScheme("svn+ssh://host"), "svn+ssh");
  EXPECT_EQ(UrlScheme("C:\\dir\\file"), "") << "a drive letter";
  EXPECT_EQ(UrlScheme("1http://x"), "") << "a scheme starts with a letter";
  EXPECT_EQ(UrlScheme("file name: notes"), "") << "no blanks in a scheme";
  EXPECT_EQ(UrlScheme("plain"), "");
}

TEST_F(WinShellTest, ExistingFilesGoAsAbsolutePathsAndLaunchFailuresReport) {
  std::string name = "-qj-shell-test.txt";  // would pass for an option if handed over as is
  { std::ofstream(name) << "x"; }
  EXPECT_GT(Open(name.c_str()), 32);
  ASSERT_EQ(Launched.size(), 1u);
  EXPECT_EQ(Launched[0][1].front(), '/');
  EXPECT_EQ(Launched[0][1].substr(Launched[0][1].size() - name.size()), name);
  LaunchWorks = false;
  EXPECT_EQ(Open("https://example.com"), SE_ERR_NOASSOC);
  std::remove(name.c_str());
}

TEST_F(WinShellTest, DefaultLauncherStartsTheOpenerFromPathWithoutAShell) {
  SetShellLauncher(nullptr);
  // A stand-in opener early in PATH records the argument it got.
  std::string dir = "/tmp/qj-shell-test-" + std::to_string(getpid());
  std::string out = dir + "/args";
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  {
    std::ofstream script(dir + "/xdg-open");
    script << "#!/bin/sh\nprintf '%s' \"$1\" > " << out << "\n";
  }
  chmod((dir + "/xdg-open").c_str(), 0700);
  std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (dir + ":" + oldPath).c_str(), 1);
  std::string url = "http://example.com/$(touch " + dir + "/pwned)";
  EXPECT_GT(Open(url.c_str()), 32);
  setenv("PATH", "/nonexistent", 1);
  EXPECT_EQ(Open("http://example.com"), SE_ERR_NOASSOC) << "no opener to start";
  setenv("PATH", oldPath.c_str(), 1);
  std::string got;
  for (int i = 0; i < 400 && got.empty(); ++i) {
    std::ifstream in(out);
    std::getline(in, got);
    if (got.empty()) usleep(5000);
  }
  EXPECT_EQ(got, url);
  EXPECT_FALSE(std::ifstream(dir + "/pwned").good()) << "no shell ran the text";
  std::remove(out.c_str());
  std::remove((dir + "/xdg-open").c_str());
  rmdir(dir.c_str());
}

}  // namespace
