// OK after the hold-back delay hands over to the installer; Cancel asks first.
#include <gtest/gtest.h>

#include "launcher_fixture.h"

namespace {

constexpr const char* kData2 = "data\\data2.exe";
constexpr const char* kInstaller = "file\\File.exe";
constexpr const char* kSpeech = "speech.exe";

struct FlowState {
  bool ok, exit, play, setup, form;
  bool operator==(const FlowState&) const = default;
};
FlowState StateOf(const launcher::FrmSetup& f) {
  return {f.CmdOK.Enabled, f.CmdExit.Enabled, f.TimePlay.Enabled, f.TimeSetup.Enabled, f.TimerForm.Enabled};
}

TEST(InstallFlow, OkCannotBePressedBeforeFifteenSeconds) {
  Launcher l;
  auto& f = l.Open();
  l.rt.Advance(14999);
  l.ClickOn(f.CmdOK);
  for (int i = 0; i < 4; ++i) {
    l.rt.Key(forms::Key::Tab);
    EXPECT_NE(f.Window.ActiveControl(), &f.CmdOK);
    l.rt.Key(forms::Key::Enter);
    l.rt.Key(forms::Key::Space);
  }
  EXPECT_EQ(l.CountStarts(kData2), 0);
  EXPECT_FALSE(f.CmdOK.Enabled);
  EXPECT_FALSE(l.rt.ended()) << "keys reached Cancel";

  l.rt.Advance(1);
  EXPECT_TRUE(f.CmdOK.Enabled);
  EXPECT_FALSE(f.TimePlay.Enabled);
  l.ClickOn(f.CmdOK);
  EXPECT_EQ(l.CountStarts(kData2), 1);
}

TEST(InstallFlow, OkLocksBothButtonsAtOnceAndCannotRunTwice) {
  Launcher l;
  auto& f = l.Open();
  l.rt.Advance(15000);
  l.ClickOn(f.CmdOK);
  EXPECT_EQ(StateOf(f), (FlowState{false, false, false, true, false}));
  l.ClickOn(f.CmdOK);
  l.ClickOn(f.CmdExit);
  l.rt.Key(forms::Key::Enter);
  l.rt.Key(forms::Key::Space);
  EXPECT_TRUE(l.rt.questions.empty());
  EXPECT_EQ(l.CountStarts(kData2), 1);
  // The OK-release timer fired once: nothing enables OK again.
  l.rt.Advance(19999);
  EXPECT_FALSE(f.CmdOK.Enabled);
  l.rt.Advance(1);
  EXPECT_EQ(l.CountStarts(kInstaller), 1);
}

TEST(InstallFlow, OkStaysAvailableUntilPressed) {
  Launcher l;
  auto& f = l.Open();
  l.rt.Advance(15000 * 5);
  EXPECT_TRUE(f.CmdOK.Enabled);
  EXPECT_FALSE(f.TimePlay.Enabled);
}

TEST(InstallFlow, CancelAsksAndAnsweringCancelChangesNothing) {
  for (long long at : {360LL, 1000LL, 16000LL}) {
    Launcher l;
    auto& f = l.Open();
    l.rt.Advance(at);
    const FlowState before = StateOf(f);
    const auto starts = l.shell.requests.size();
    l.rt.answers = {2};
    l.ClickOn(f.CmdExit);
    ASSERT_EQ(l.rt.questions.size(), 1u) << at;
    const auto& q = l.rt.questions[0];
    EXPECT_EQ(q.prompt, "您确定要退出安装系统吗?");
    EXPECT_EQ(q.title, "退出询问");
    EXPECT_EQ(q.style, 4385);
    EXPECT_EQ(q.owner, f.Window.hWnd());
    EXPECT_EQ(StateOf(f), before) << at;
    EXPECT_EQ(l.shell.requests.size(), starts);
    EXPECT_FALSE(l.rt.ended());
  }
}

TEST(InstallFlow, CancelAnsweredOkBeforeTheAnimationEndsNeverStartsSpeech) {
  Launcher l;
  auto& f = l.Open();
  l.rt.Advance(36 * forms::kTimerFloorMs);  // Cancel is inside the growing window
  ASSERT_TRUE(f.TimerForm.Enabled);
  l.rt.answers = {1};
  l.ClickOn(f.CmdExit);
  EXPECT_TRUE(l.rt.ended());
  EXPECT_EQ(l.rt.exit_status(), 0);
  l.rt.Advance(60000);
  EXPECT_EQ(l.CountStarts(kSpeech), 0);
  EXPECT_EQ(l.shell.requests.size(), 1u);
}

TEST(InstallFlow, CancelThenOkAfterReadyEndsWithoutHandingOver) {
  Launcher l;
  auto& f = l.Open();
  l.rt.Advance(16000);
  l.rt.answers = {2, 1};
  l.ClickOn(f.CmdExit);
  EXPECT_FALSE(l.rt.ended());
  l.ClickOn(f.CmdExit);
  EXPECT_TRUE(l.rt.ended());
  l.rt.Advance(60000);
  EXPECT_EQ(l.CountStarts(kData2), 0);
  EXPECT_EQ(l.CountStarts(kInstaller), 0);
}

TEST(InstallFlow, ACloseRequestClosesAtOnceWithoutTheQuestion) {
  for (long long at : {0LL, 100LL, 15000LL, 25000LL}) {
    Launcher l;
    auto& f = l.Open();
    l.rt.Advance(at);
    if (at == 25000) l.ClickOn(f.CmdOK);  // even while handing over
    const auto starts = l.shell.requests.size();
    l.rt.RequestClose();
    EXPECT_TRUE(l.rt.ended()) << at;
    EXPECT_EQ(l.rt.exit_status(), 0);
    EXPECT_TRUE(l.rt.questions.empty());
    l.rt.Advance(60000);
    EXPECT_EQ(l.shell.requests.size(), starts) << at;
  }
}

// Handlers run one at a time: while the question waits for its answer, the
// animation's ticks wait too, folded into one, and go on after it.
TEST(InstallFlow, TheAnimationWaitsWhileTheQuestionIsOpen) {
  Launcher l;
  auto& f = l.Open();
  l.rt.Advance(36 * forms::kTimerFloorMs);
  const float height = f.Window.Height;
  l.rt.answers = {2};
  l.rt.while_asking = [&] {
    l.rt.Advance(5000);
    EXPECT_EQ(f.Window.Height.Get(), height);
  };
  l.ClickOn(f.CmdExit);
  EXPECT_EQ(f.Window.Height.Get(), height + 100) << "one folded tick after the answer";
  l.FinishAnimation();
  EXPECT_EQ(f.Window.Height.Get(), 3900.0f);
  EXPECT_EQ(l.CountStarts(kSpeech), 1);
}

// A close request while the question is open closes the window at once; the
// answer that follows, whichever it is, finds it gone and changes nothing.
TEST(InstallFlow, ClosedWhileAskingTheAnswerDoesNothingMore) {
  for (const int answer : {1, 2}) {
    Launcher l;
    auto& f = l.Open();
    l.rt.Advance(16000);
    l.rt.answers = {answer};
    l.rt.while_asking = [&] {
      l.rt.RequestClose();
      EXPECT_FALSE(f.Window.IsLoaded()) << "not held back behind the question";
    };
    l.ClickOn(f.CmdExit);
    EXPECT_TRUE(l.rt.ended());
    EXPECT_EQ(l.rt.exit_status(), 0);
    EXPECT_EQ(l.shell.requests.size(), 2u);
  }
}

// Events that reach the window after it was unloaded, or clicks on OK that
// queued up behind a running handler, run nothing: OK starts the hand-over
// once, and an unloaded window does nothing at all.
TEST(InstallFlow, NothingRunsTwiceOrAfterUnloading) {
  Launcher l;
  auto& f = l.Open();
  l.rt.Advance(16000);
  l.rt.while_asking = [&] {
    l.ClickOn(f.CmdOK);
    l.ClickOn(f.CmdOK);
  };
  l.ClickOn(f.CmdExit);  // answered Cancel; then the two queued clicks
  EXPECT_EQ(l.CountStarts(kData2), 1);

  l.rt.Advance(20000);
  ASSERT_TRUE(l.rt.ended());
  const auto starts = l.shell.requests.size();
  int ran = 0;
  f.Window.Deliver([&ran] { ++ran; });
  f.Window.TimerDue(f.TimerForm);
  l.ClickOn(f.LabelFont);
  l.rt.Key(forms::Key::Enter);
  EXPECT_EQ(ran, 0);
  EXPECT_EQ(l.shell.requests.size(), starts);
}

// Pressed before the animation ends (only if it lasts past 15 s), OK does
// not stop it: the speech program still starts when it finishes, unless the
// installer's hand-over unloads the window first.
TEST(InstallFlow, OkDuringASlowAnimationLetsItGoOn) {
  for (auto [artwork_px, speech_starts] : {std::pair{20000, 1}, std::pair{60000, 0}}) {
    Launcher l;
    l.rt.pictures["artwork"] = {481, artwork_px, 96};  // 15 s of growing and more
    auto& f = l.Open();
    l.rt.Advance(15000);
    ASSERT_TRUE(f.TimerForm.Enabled);
    l.ClickOn(f.CmdOK);
    ASSERT_EQ(l.CountStarts(kData2), 1);
    l.rt.Advance(20000);
    EXPECT_EQ(l.CountStarts(kInstaller), 1);
    EXPECT_TRUE(l.rt.ended());
    EXPECT_EQ(l.CountStarts(kSpeech), speech_starts) << artwork_px;
  }
}

}  // namespace
