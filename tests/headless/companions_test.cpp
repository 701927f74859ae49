// Which companion programs start, when, and with what request to the shell.
#include <gtest/gtest.h>

#include "launcher_fixture.h"

namespace {

TEST(Companions, StartInOrderAndAtTheirMoments) {
  Launcher l;
  l.shell.app_folder = "E:\\";
  auto& f = l.Open();

  ASSERT_EQ(l.shell.requests.size(), 1u);
  EXPECT_EQ(l.shell.requests[0].request.file, "data\\data1.exe");
  EXPECT_FALSE(l.shell.requests[0].window_shown) << "started during load, before the window shows";

  const long long open_at = 40 * forms::kTimerFloorMs;  // the 40th tick
  l.rt.Advance(open_at - 1);
  EXPECT_EQ(l.shell.requests.size(), 1u);
  l.rt.Advance(1);
  ASSERT_EQ(l.shell.requests.size(), 2u);
  EXPECT_EQ(l.shell.requests[1].request.file, "speech.exe");
  EXPECT_EQ(l.shell.requests[1].at_ms, open_at);

  l.rt.Advance(15000);
  l.ClickOn(f.CmdOK);
  ASSERT_EQ(l.shell.requests.size(), 3u);
  EXPECT_EQ(l.shell.requests[2].request.file, "data\\data2.exe");
  const long long ok_at = l.rt.Now();

  l.rt.Advance(19999);
  EXPECT_FALSE(l.rt.ended());
  EXPECT_EQ(l.shell.requests.size(), 3u);
  l.rt.Advance(1);
  ASSERT_EQ(l.shell.requests.size(), 4u);
  EXPECT_EQ(l.shell.requests[3].request.file, "file\\File.exe");
  EXPECT_EQ(l.shell.requests[3].at_ms, ok_at + 20000);
  EXPECT_TRUE(l.rt.ended());
  EXPECT_EQ(l.rt.ended_at(), ok_at + 20000) << "the installer starts in the tick that unloads";
  EXPECT_EQ(l.rt.exit_status(), 0);

  // Nothing reaches the shell after the unload.
  l.rt.Advance(100000);
  l.ClickOn(f.LabelFont);
  l.rt.Key(forms::Key::Enter);
  EXPECT_EQ(l.shell.requests.size(), 4u);
  EXPECT_EQ(l.CountStarts("speech.exe"), 1);
}

// Each request names the verb as the launcher has always passed it, the
// target, an empty parameter text, the application folder and "shown
// normally", owned by the launcher window.
TEST(Companions, EveryRequestIsComplete) {
  Launcher l;
  l.shell.app_folder = "D:\\Media\\Keyvandor";
  auto& f = l.Open();
  l.rt.Advance(15000);
  l.ClickOn(f.LabelFont);
  l.ClickOn(f.CmdOK);
  l.rt.Advance(20000);

  const std::vector<std::pair<std::string, std::string>> expected{
      {"Open", "data\\data1.exe"}, {"Open", "speech.exe"},     {"open", "mailto:kvd@example.com"},
      {"open", "data\\data2.exe"}, {"Open", "file\\File.exe"},
  };
  ASSERT_EQ(l.shell.requests.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const auto& r = l.shell.requests[i].request;
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
  l.shell.app_folder = folder;
  l.Open();
  l.FinishAnimation();
  ASSERT_EQ(l.shell.requests.size(), 2u);
  EXPECT_EQ(l.shell.requests[0].request.directory, folder);
  EXPECT_EQ(l.shell.requests[1].request.directory, folder);
}

}  // namespace
