// Which companion programs start, when, and with what request to the shell.
#include <gtest/gtest.h>

#include "launch/shell_open.h"
#include "launcher_fixture.h"

namespace {

using forms::headless::ShellRecord;

TEST(Companions, StartInOrderAndAtTheirMoments) {
  Launcher l;
  l.rt.app_folder = "E:\\";
  auto& f = l.Open();

  ASSERT_EQ(l.rt.shell_requests.size(), 1u);
  EXPECT_EQ(l.rt.shell_requests[0].request.file, "E:\\data\\data1.exe");
  EXPECT_FALSE(l.rt.shell_requests[0].window_shown) << "started during load, before the window shows";

  const long long open_at = 40 * forms::kTimerFloorMs;  // the 40th tick
  l.rt.Advance(open_at - 1);
  EXPECT_EQ(l.rt.shell_requests.size(), 1u);
  l.rt.Advance(1);
  ASSERT_EQ(l.rt.shell_requests.size(), 2u);
  EXPECT_EQ(l.rt.shell_requests[1].request.file, "E:\\speech.exe");
  EXPECT_EQ(l.rt.shell_requests[1].at_ms, open_at);

  l.rt.Advance(15000);
  l.ClickOn(f.CmdOK);
  ASSERT_EQ(l.rt.shell_requests.size(), 3u);
  EXPECT_EQ(l.rt.shell_requests[2].request.file, "E:\\data\\data2.exe");
  const long long ok_at = l.rt.Now();

  l.rt.Advance(19999);
  EXPECT_FALSE(l.rt.ended());
  EXPECT_EQ(l.rt.shell_requests.size(), 3u);
  l.rt.Advance(1);
  ASSERT_EQ(l.rt.shell_requests.size(), 4u);
  EXPECT_EQ(l.rt.shell_requests[3].request.file, "E:\\file\\File.exe");
  EXPECT_EQ(l.rt.shell_requests[3].at_ms, ok_at + 20000);
  EXPECT_TRUE(l.rt.ended());
  EXPECT_EQ(l.rt.ended_at(), ok_at + 20000) << "the installer starts in the tick that unloads";
  EXPECT_EQ(l.rt.exit_status(), 0);

  // Nothing reaches the shell after the unload.
  l.rt.Advance(100000);
  l.ClickOn(f.LabelFont);
  l.rt.Key(forms::Key::Enter);
  EXPECT_EQ(l.rt.shell_requests.size(), 4u);
  EXPECT_EQ(l.CountStarts("E:\\speech.exe"), 1);
}

// Each request names the verb as the launcher has always passed it, the
// absolute target, an empty parameter text, the application folder and
// "shown normally", owned by the launcher window.
TEST(Companions, EveryRequestIsCompleteAndAbsolute) {
  Launcher l;
  l.rt.app_folder = "D:\\Media\\Keyvandor";
  auto& f = l.Open();
  l.rt.Advance(15000);
  l.ClickOn(f.LabelFont);
  l.ClickOn(f.CmdOK);
  l.rt.Advance(20000);

  const std::vector<std::pair<std::string, std::string>> expected{
      {"Open", "D:\\Media\\Keyvandor\\data\\data1.exe"},
      {"Open", "D:\\Media\\Keyvandor\\speech.exe"},
      {"open", "mailto:kvd@example.com"},
      {"open", "D:\\Media\\Keyvandor\\data\\data2.exe"},
      {"Open", "D:\\Media\\Keyvandor\\file\\File.exe"},
  };
  ASSERT_EQ(l.rt.shell_requests.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const auto& r = l.rt.shell_requests[i].request;
    EXPECT_EQ(r.verb, expected[i].first) << i;
    EXPECT_EQ(r.file, expected[i].second) << i;
    EXPECT_EQ(r.parameters, "") << i;
    EXPECT_EQ(r.directory, "D:\\Media\\Keyvandor") << i;
    EXPECT_EQ(r.show, 1) << i;
    EXPECT_EQ(r.owner, 0x000A0C2Eu) << i;
  }
}

// A folder name no single code page can hold reaches the shell intact.
TEST(Companions, FolderNamesInAnyScriptReachTheShellIntact) {
  Launcher l;
  const std::string folder = "C:\\Users\\김민수\\下载\\Café Keyvandor 安装";
  l.rt.app_folder = folder;
  l.Open();
  l.FinishAnimation();
  ASSERT_EQ(l.rt.shell_requests.size(), 2u);
  EXPECT_EQ(l.rt.shell_requests[0].request.file, folder + "\\data\\data1.exe");
  EXPECT_EQ(l.rt.shell_requests[1].request.file, folder + "\\speech.exe");
  EXPECT_EQ(l.rt.shell_requests[1].request.directory, folder);
}

TEST(Companions, TargetsResolveAgainstTheApplicationFolderOnly) {
  using launch::ResolveTarget;
  EXPECT_EQ(ResolveTarget("C:\\Media", "speech.exe"), "C:\\Media\\speech.exe");
  EXPECT_EQ(ResolveTarget("D:\\", "file\\File.exe"), "D:\\file\\File.exe");
  EXPECT_EQ(ResolveTarget("\\\\server\\share\\kvd", "data\\data1.exe"), "\\\\server\\share\\kvd\\data\\data1.exe");
  EXPECT_EQ(ResolveTarget("C:\\Media", "mailto:kvd@example.com"), "mailto:kvd@example.com");
  EXPECT_EQ(ResolveTarget("C:\\Media", "C:\\Other\\x.exe"), "C:\\Other\\x.exe");
}

TEST(Companions, TheMailLinkOpensOnEveryClickInEveryState) {
  Launcher l;
  auto& f = l.Open();
  auto mails = [&l] { return l.CountStarts("mailto:kvd@example.com"); };
  l.rt.Advance(30 * forms::kTimerFloorMs);
  ASSERT_TRUE(f.TimerForm.Enabled);
  l.ClickOn(f.LabelFont);  // still growing
  l.FinishAnimation();
  l.ClickOn(f.LabelFont);  // waiting for OK
  l.ClickOn(f.LabelFont);
  l.rt.Advance(15000);
  l.ClickOn(f.LabelFont);  // ready
  l.ClickOn(f.CmdOK);
  l.ClickOn(f.LabelFont);  // handing over to the installer
  EXPECT_EQ(mails(), 5);
  EXPECT_FALSE(l.rt.ended());
}

}  // namespace
