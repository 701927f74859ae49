// The window as defined: creation order, sizes that come from the artwork and
// the caption, and a font object per control.
#include <gtest/gtest.h>

#include "forms/wiring.h"
#include "launcher_fixture.h"

namespace {

TEST(Definition, CreationOrderThenLoadThenShow) {
  Launcher l;
  l.Open();
  EXPECT_EQ(l.rt.created, (std::vector<std::string>{"FrmSetup", "TimeSetup", "TimePlay", "PicForm", "CmdOK", "CmdExit",
                                                    "TimerForm", "LabelFont"}));
}

TEST(Definition, SizesComeFromTheArtworkAndTheCaption) {
  Launcher l;
  auto& f = l.Open();
  EXPECT_EQ(f.PicForm.Width.Get(), 7245.0f);
  EXPECT_EQ(f.PicForm.Height.Get(), 3900.0f);
  EXPECT_EQ(f.LabelFont.Width.Get(), 1980.0f);
  EXPECT_EQ(f.LabelFont.Height.Get(), 180.0f);
  EXPECT_EQ(f.LabelFont.Caption.Get(), std::string("E-Mail:") + launcher::kContactAddress);
  EXPECT_EQ(f.CmdOK.Width.Get(), 975.0f);
  EXPECT_EQ(f.CmdOK.Caption.Get(), "确定");
  EXPECT_EQ(f.CmdExit.Caption.Get(), "取消");
  EXPECT_EQ(f.Window.Caption.Get(), "安装Keyvandor");
}

// A longer or shorter address widens or narrows the label to the right of
// its fixed left edge.
TEST(Definition, TheLabelGrowsToTheRightOfItsLeftEdge) {
  Launcher l;
  auto& f = l.Open();
  f.LabelFont.Caption = "E-Mail:keyvandor-support@example.com";
  EXPECT_EQ(f.LabelFont.Left.Get(), 3720.0f);
  EXPECT_EQ(f.LabelFont.Width.Get(), 36 * 90.0f);
  f.LabelFont.Caption = "E-Mail:客服@example.com";
  EXPECT_EQ(f.LabelFont.Width.Get(), 19 * 90.0f + 2 * 180.0f);
  EXPECT_EQ(f.LabelFont.Left.Get(), 3720.0f);
}

TEST(Definition, EveryControlHasItsOwnFontObject) {
  Launcher l;
  auto& f = l.Open();
  f.CmdOK.Font.Underline = true;
  EXPECT_FALSE(f.CmdExit.Font.Underline);
  EXPECT_FALSE(f.LabelFont.Font.Underline);
  EXPECT_FALSE(f.Window.Font.Underline);
  for (auto* c : {&f.CmdOK, &f.CmdExit, &f.LabelFont}) {
    EXPECT_EQ(c->Font.Name.Get(), "宋体");
    EXPECT_EQ(c->Font.Size.Get(), 9.0f);
    EXPECT_EQ(c->Font.Weight.Get(), 400);
  }
}

TEST(Definition, TwipsStayTheUnitAtEveryDpi) {
  Launcher l;
  l.rt.screen = {1280, 1024, 144};
  auto& f = l.Open();
  l.FinishAnimation();
  // The artwork keeps its own size in twips; only the border is a screen pixel.
  EXPECT_EQ(f.PicForm.Width.Get(), 481 * 15.0f + 2 * 10.0f);
  EXPECT_EQ(f.LabelFont.Width.Get(), 1980.0f);
  const auto r = l.rt.RectOf(f.CmdOK);
  EXPECT_EQ(r.left, 1 + 300);  // 200 artwork pixels at 1.5 screen pixels each
  EXPECT_EQ(r.top, 1 + 342);
}

// A handler wired to a name the window does not have, or a tick to a
// control that is not a timer, fails once, when the window is created, and
// says which. (A handler of the wrong signature does not build.)
TEST(DefinitionDeathTest, WiringNamesWhatItCannotConnect) {
  struct Handlers {
    void Tick() {}
  } handlers;
  using Wire = forms::EventWire<Handlers>;
  forms::headless::HeadlessRuntime rt;
  auto window = forms::CreateForm(launcher::FrmSetupDefinition(), rt);
  for (const auto& [wire, says] :
       {std::pair{Wire::Click("CmdOk", &Handlers::Tick), "FrmSetup has no control named CmdOk"},
        std::pair{Wire::Timer("LabelFont", &Handlers::Tick), "LabelFont of FrmSetup is not a timer"}}) {
    EXPECT_EXIT(forms::Connect<Handlers>(*window, handlers, std::span(&wire, 1)), testing::ExitedWithCode(1),
                std::string("unhandled run-time error: ") + says);
  }
}

}  // namespace
