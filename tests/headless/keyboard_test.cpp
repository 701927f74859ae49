// Neither button is the window's default or cancel button: keys press only
// the focused button, and Tab moves among the controls that can take focus.
#include <gtest/gtest.h>

#include "launcher_fixture.h"

namespace {

using forms::Key;

TEST(Keyboard, TabOrderSkipsTheLabelAndADisabledOk) {
  Launcher l;
  auto& f = l.Open();
  EXPECT_EQ(f.Window.ActiveControl(), &f.PicForm);
  l.rt.Key(Key::Tab);
  EXPECT_EQ(f.Window.ActiveControl(), &f.CmdExit);
  l.rt.Key(Key::Tab);
  EXPECT_EQ(f.Window.ActiveControl(), &f.PicForm);

  l.rt.Advance(15000);
  l.rt.Key(Key::Tab);
  EXPECT_EQ(f.Window.ActiveControl(), &f.CmdExit);
  l.rt.Key(Key::Tab);
  EXPECT_EQ(f.Window.ActiveControl(), &f.CmdOK);
  l.rt.Key(Key::Tab);
  EXPECT_EQ(f.Window.ActiveControl(), &f.PicForm);
  l.rt.Key(Key::ShiftTab);
  EXPECT_EQ(f.Window.ActiveControl(), &f.CmdOK);
}

TEST(Keyboard, EnterAndEscOnTheArtworkPressNothing) {
  Launcher l;
  auto& f = l.Open();
  l.rt.Advance(16000);
  ASSERT_EQ(f.Window.ActiveControl(), &f.PicForm);
  l.rt.Key(Key::Enter);
  l.rt.Key(Key::Space);
  l.rt.Key(Key::Escape);
  EXPECT_TRUE(l.rt.questions.empty());
  EXPECT_EQ(l.shell.requests.size(), 2u);
}

TEST(Keyboard, EscNeverPressesAButton) {
  Launcher l;
  auto& f = l.Open();
  l.rt.Advance(16000);
  for (auto* focus : {&f.CmdExit, &f.CmdOK}) {
    f.Window.SetFocus(focus);
    l.rt.Key(Key::Escape);
  }
  EXPECT_TRUE(l.rt.questions.empty());
  EXPECT_EQ(l.shell.requests.size(), 2u);
}

TEST(Keyboard, SpaceOrEnterPressesTheFocusedButton) {
  for (Key key : {Key::Space, Key::Enter}) {
    Launcher l;
    auto& f = l.Open();
    l.rt.Advance(16000);
    l.rt.Key(Key::Tab);  // Cancel
    l.rt.answers = {2};
    l.rt.Key(key);
    l.rt.Key(key, /*repeat=*/true);  // held: the keyboard repeats it
    EXPECT_EQ(l.rt.questions.size(), 1u);
    l.rt.Key(Key::Tab);  // OK
    l.rt.Key(key);
    EXPECT_EQ(l.CountStarts("data\\data2.exe"), 1);
    // Both buttons are now disabled: the focus goes back to the artwork and
    // the same key presses nothing more.
    EXPECT_EQ(f.Window.ActiveControl(), &f.PicForm);
    l.rt.Key(key);
    l.rt.Key(Key::Tab);
    EXPECT_EQ(f.Window.ActiveControl(), &f.PicForm);
    EXPECT_EQ(l.rt.questions.size(), 1u);
  }
}

TEST(Keyboard, ClickingAButtonFocusesIt) {
  Launcher l;
  auto& f = l.Open();
  l.FinishAnimation();
  l.ClickOn(f.CmdExit);
  EXPECT_EQ(f.Window.ActiveControl(), &f.CmdExit);
  l.ClickOn(f.CmdOK);  // disabled: the click lands on the artwork
  EXPECT_EQ(f.Window.ActiveControl(), &f.PicForm);
  EXPECT_EQ(l.shell.requests.size(), 2u);
}

}  // namespace
