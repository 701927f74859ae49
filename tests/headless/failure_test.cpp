// A failing operation abandons the rest of its handler, keeps the steps
// already taken and ends the program with status 1 after the runtime's
// default handling, wherever the failure comes from: nothing after it runs.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "forms/error.h"
#include "launcher_fixture.h"

namespace {

using testing::ExitedWithCode;

std::string Report(int status, std::size_t starts, float height) {
  char line[80];
  std::snprintf(line, sizeof line, "status %d, starts %zu, height %g\n", status, starts, static_cast<double>(height));
  return line;
}

// Says, as the program ends after a failure, how far it had got: its own
// exit status, the shell starts requested and the window's height.
void ReportAtFailureExit(Launcher& l) {
  forms::SetFailureExit(
      [](void* launcher) {
        const Launcher& at_end = *static_cast<Launcher*>(launcher);
        std::fputs(Report(at_end.rt.exit_status(), at_end.shell.requests.size(), at_end.frm->Window.Height).c_str(),
                   stderr);
      },
      &l);
}

std::string Unhandled(const std::string& what) { return "FrmSetup: unhandled run-time error: " + what + "\n"; }

TEST(FailureDeathTest, AFailedStepInATimerHandlerSkipsTheRestOfIt) {
  Launcher l;
  l.Open();
  l.rt.Advance(50);
  l.rt.FailOn("PicForm", forms::Prop::Top);
  const float height = l.frm->Window.Height;  // grown only after the failed step
  EXPECT_EXIT(
      {
        ReportAtFailureExit(l);
        l.rt.Advance(forms::kTimerFloorMs);
      },
      ExitedWithCode(1), Unhandled("property of PicForm could not be set") + Report(1, 1, height));
}

TEST(FailureDeathTest, AFailureInLoadStartsNothing) {
  Launcher l;
  l.rt.FailOn("TimerForm", forms::Prop::Enabled);
  EXPECT_EXIT(
      {
        l.frm = std::make_unique<launcher::FrmSetup>(l.rt);
        ReportAtFailureExit(l);
        l.frm->Show();
      },
      ExitedWithCode(1), Unhandled("property of TimerForm could not be set") + Report(1, 0, 15));
}

// OK has armed the installer's timer and disabled itself when disabling
// Cancel fails: data2.exe is never asked for.
TEST(FailureDeathTest, AFailedStepInAClickRequestsNoLaterStart) {
  Launcher l;
  l.Open();
  l.rt.Advance(16000);
  l.rt.FailOn("CmdExit", forms::Prop::Enabled);
  const float height = l.frm->Window.Height;
  EXPECT_EXIT(
      {
        ReportAtFailureExit(l);
        l.ClickOn(l.frm->CmdOK);
      },
      ExitedWithCode(1), Unhandled("property of CmdExit could not be set") + Report(1, 2, height));
}

}  // namespace
