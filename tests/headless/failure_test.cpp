// A failing operation abandons the rest of its handler, keeps the steps
// already taken and ends the program through the runtime's default handling.
#include <gtest/gtest.h>

#include "launcher_fixture.h"

namespace {

TEST(Failure, AFailedStepMidHandlerKeepsEarlierStepsAndEndsTheProgram) {
  Launcher l;
  auto& f = l.Open();
  l.rt.Advance(50);
  const float left = f.Window.Left, top = f.Window.Top, pic_left = f.PicForm.Left, pic_top = f.PicForm.Top,
              height = f.Window.Height;
  l.rt.FailOn("PicForm", forms::Prop::Top);
  testing::internal::CaptureStderr();
  l.rt.Advance(forms::kTimerFloorMs);
  const std::string diagnostic = testing::internal::GetCapturedStderr();

  EXPECT_EQ(f.Window.Left.Get(), left - 80);
  EXPECT_EQ(f.Window.Top.Get(), top - 50);
  EXPECT_EQ(f.PicForm.Left.Get(), pic_left + 50);
  EXPECT_EQ(f.PicForm.Top.Get(), pic_top) << "the failed write leaves the value as it was";
  EXPECT_EQ(f.Window.Height.Get(), height) << "steps after the failure are skipped";
  EXPECT_TRUE(l.rt.ended());
  EXPECT_NE(l.rt.exit_status(), 0);
  EXPECT_NE(diagnostic.find("PicForm"), std::string::npos) << diagnostic;

  l.rt.Advance(60000);
  EXPECT_EQ(l.rt.shell_requests.size(), 1u) << "nothing runs after the default handling";
}

TEST(Failure, AFailureInLoadStartsNothingAndNeverShows) {
  Launcher l;
  l.rt.FailOn("TimerForm", forms::Prop::Enabled);
  testing::internal::CaptureStderr();
  l.Open();
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(l.rt.ended());
  EXPECT_NE(l.rt.exit_status(), 0);
  EXPECT_FALSE(l.rt.shown());
  EXPECT_TRUE(l.rt.shell_requests.empty());
  EXPECT_EQ(l.frm->Window.Width.Get(), 1000.0f);
}

}  // namespace
