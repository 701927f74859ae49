// The opening animation: the window grows out of a centred strip about its
// centre while the artwork slides into place, then snaps to the artwork.
#include <gtest/gtest.h>

#include <array>

#include "launcher_fixture.h"

namespace {

// TimerForm asks for 5 ms; the window system ticks no faster than its floor.
void Ticks(Launcher& l, int n) { l.rt.Advance(static_cast<long long>(forms::kTimerFloorMs) * n); }

TEST(OpeningAnimation, StartsAsACentredStripOnAnyScreen) {
  for (auto [w, h, dpi] : {std::tuple{1024, 768, 96}, std::tuple{1920, 1080, 96}, std::tuple{800, 600, 144}}) {
    Launcher l;
    l.rt.screen = {w, h, dpi};
    auto& f = l.Open();
    EXPECT_TRUE(l.rt.shown());
    EXPECT_EQ(f.Window.Width.Get(), 1000.0f);
    EXPECT_EQ(f.Window.Height.Get(), 15.0f);
    const float tpp = 1440.0f / static_cast<float>(dpi);
    const float centre_x = (f.Window.Left + f.Window.Width / 2) / tpp;
    const float centre_y = (f.Window.Top + f.Window.Height / 2) / tpp;
    EXPECT_NEAR(centre_x, w / 2.0f, 1.0f) << w << "x" << h;
    EXPECT_NEAR(centre_y, h / 2.0f, 1.0f) << w << "x" << h;
  }
}

TEST(OpeningAnimation, ThirtyNineGrowingTicksThenTheFinishingFortieth) {
  Launcher l;
  auto& f = l.Open();
  const float left0 = f.Window.Left, top0 = f.Window.Top;
  Ticks(l, 39);
  EXPECT_EQ(f.Window.Width.Get(), 7240.0f);
  EXPECT_EQ(f.Window.Height.Get(), 3915.0f);
  EXPECT_EQ(f.PicForm.Left.Get(), 150.0f);
  EXPECT_EQ(f.PicForm.Top.Get(), 30.0f);
  EXPECT_EQ(f.Window.Left.Get(), left0 - 39 * 80.0f);
  EXPECT_EQ(f.Window.Top.Get(), top0 - 39 * 50.0f);
  EXPECT_TRUE(f.TimerForm.Enabled);
  const float left39 = f.Window.Left, top39 = f.Window.Top;

  Ticks(l, 1);
  EXPECT_EQ(f.Window.Width.Get(), 7245.0f);
  EXPECT_EQ(f.Window.Height.Get(), 3900.0f);
  EXPECT_EQ(f.PicForm.Left.Get(), 0.0f);
  EXPECT_EQ(f.PicForm.Top.Get(), 0.0f);
  EXPECT_FALSE(f.TimerForm.Enabled);
  // The finishing tick does not correct the position reached by growing.
  EXPECT_EQ(f.Window.Left.Get(), left39);
  EXPECT_EQ(f.Window.Top.Get(), top39);

  Ticks(l, 1000);
  EXPECT_EQ(f.Window.Width.Get(), 7245.0f);
  EXPECT_EQ(f.Window.Left.Get(), left39);
}

// The window's own fill shows where the artwork no longer covers it: at the
// left from the 37th growing tick, at the top from the 39th.
TEST(OpeningAnimation, WindowFillShowsAtTheEdgesOnlyNearTheEnd) {
  Launcher l;
  auto& f = l.Open();
  Ticks(l, 36);
  EXPECT_EQ(l.rt.ControlAt(0, 5), &f.PicForm);
  Ticks(l, 1);
  EXPECT_EQ(l.rt.ControlAt(0, 5), &f.Window);
  EXPECT_EQ(l.rt.ControlAt(100, 0), &f.PicForm);
  Ticks(l, 2);
  EXPECT_EQ(l.rt.ControlAt(100, 0), &f.Window);
  Ticks(l, 1);
  EXPECT_EQ(l.rt.ControlAt(0, 0), &f.PicForm);
  EXPECT_EQ(l.rt.ControlAt(482, 259), &f.PicForm);
}

TEST(OpeningAnimation, ArtworkNoTallerThanTheStripFinishesOnTheFirstTick) {
  for (float height : {15.0f, 10.0f}) {
    Launcher l;
    auto& f = l.Open();
    f.PicForm.Height = height;
    const float left0 = f.Window.Left;
    Ticks(l, 1);
    EXPECT_FALSE(f.TimerForm.Enabled);
    EXPECT_EQ(f.Window.Height.Get(), height);
    EXPECT_EQ(f.Window.Width.Get(), f.PicForm.Width.Get());
    EXPECT_EQ(f.Window.Left.Get(), left0);
    EXPECT_EQ(l.CountStarts("speech.exe"), 1);
  }
}

TEST(OpeningAnimation, ArtworkOfAnotherSizeSetsTheFinalSize) {
  // 19 pixels high with its border: 15 + 100 * 3 twips.
  Launcher l;
  l.rt.pictures["artwork"] = {200, 19, 96};
  auto& f = l.Open();
  EXPECT_EQ(f.PicForm.Width.Get(), 3030.0f);
  EXPECT_EQ(f.PicForm.Height.Get(), 315.0f);
  Ticks(l, 3);
  EXPECT_EQ(f.Window.Height.Get(), 315.0f);
  EXPECT_TRUE(f.TimerForm.Enabled);
  EXPECT_EQ(f.Window.Width.Get(), 1480.0f);  // grows by 160 a tick, whatever the artwork's width
  Ticks(l, 1);
  EXPECT_FALSE(f.TimerForm.Enabled);
  EXPECT_EQ(f.Window.Height.Get(), 315.0f);
  EXPECT_EQ(f.Window.Width.Get(), 3030.0f);
  EXPECT_EQ(l.shell.requests.back().at_ms, 4 * forms::kTimerFloorMs);
}

// Moved between monitors of 96, 120, 144 and 192 dpi and back while growing,
// once open and while asking its question: after each move the window stands
// where the window system put it, and every size and place is that of a
// window opened at that dpi and ticked as often.
TEST(OpeningAnimation, MovedToAnotherDpiItIsTheWindowOpenedThere) {
  Launcher moved;
  auto& f = moved.Open();
  int ticks = 0;
  const auto geometry = [](const forms::Control& c) {
    return std::array{c.Left.Get(), c.Top.Get(), c.Width.Get(), c.Height.Get()};
  };
  const auto move_and_compare = [&](int dpi) {
    moved.rt.MoveToDpi(dpi, 100, 50);
    Launcher opened;
    opened.rt.screen.dpi = dpi;
    auto& g = opened.Open();
    Ticks(opened, ticks);
    SCOPED_TRACE(testing::Message() << dpi << " dpi after " << ticks << " ticks");
    const float tpp = 1440.0f / static_cast<float>(dpi);
    EXPECT_EQ(geometry(f.Window), (std::array{100 * tpp, 50 * tpp, g.Window.Width.Get(), g.Window.Height.Get()}));
    EXPECT_EQ(geometry(f.PicForm), geometry(g.PicForm));
    EXPECT_EQ(geometry(f.LabelFont), geometry(g.LabelFont));
  };
  for (const int dpi : {120, 96, 144, 96, 192, 96, 144, 192, 96}) {  // the 8th move finds it open
    Ticks(moved, 5);
    ticks += 5;
    move_and_compare(dpi);
  }
  moved.rt.while_asking = [&] {
    for (const int dpi : {120, 144, 192, 96}) move_and_compare(dpi);
  };
  moved.ClickOn(f.CmdExit);
  EXPECT_EQ(moved.rt.questions.size(), 1u);
}

TEST(OpeningAnimation, ClosingWhileGrowingStopsItWithoutTheSpeechProgram) {
  Launcher l;
  auto& f = l.Open();
  Ticks(l, 10);
  l.rt.RequestClose();
  const float height = f.Window.Height;
  Ticks(l, 1000);
  EXPECT_EQ(f.Window.Height.Get(), height);
  EXPECT_EQ(l.CountStarts("speech.exe"), 0);
  EXPECT_EQ(l.rt.exit_status(), 0);
}

}  // namespace
