// The e-mail label behaves like a link: grey and underlined under the
// pointer, black and plain when pressed or when the pointer is back on the
// artwork.
#include <gtest/gtest.h>

#include "forms/accessibility.h"
#include "launcher_fixture.h"

namespace {

constexpr forms::Color kGrey = 8421504;

bool Hovered(const launcher::FrmSetup& f) { return f.LabelFont.ForeColor == kGrey && f.LabelFont.Font.Underline; }
bool Plain(const launcher::FrmSetup& f) { return f.LabelFont.ForeColor == 0u && !f.LabelFont.Font.Underline; }

struct OpenLauncher : ::testing::Test {
  Launcher l;
  launcher::FrmSetup* f = nullptr;
  void SetUp() override {
    f = &l.Open();
    l.FinishAnimation();
  }
  // A point on the artwork away from every control.
  void MoveOverArtwork() { l.rt.MoveTo(20, 200); }
};

TEST_F(OpenLauncher, PointerOverTheLabelAndBackOnTheArtwork) {
  EXPECT_TRUE(Plain(*f));
  l.MoveOver(f->LabelFont);
  EXPECT_TRUE(Hovered(*f));
  MoveOverArtwork();
  EXPECT_TRUE(Plain(*f));
  // Any button state counts for moves.
  l.rt.Press(forms::kRightButton);
  l.MoveOver(f->LabelFont);
  EXPECT_TRUE(Hovered(*f));
  MoveOverArtwork();
  EXPECT_TRUE(Plain(*f));
  l.rt.Release(forms::kRightButton);
}

TEST_F(OpenLauncher, OnlyALeftPressAloneMakesItPlain) {
  l.MoveOver(f->LabelFont);
  l.rt.Press(forms::kRightButton);
  EXPECT_TRUE(Hovered(*f)) << "right press";
  l.rt.Release(forms::kRightButton);
  l.rt.Press(forms::kMiddleButton);
  EXPECT_TRUE(Hovered(*f)) << "middle press";
  l.rt.Press(forms::kLeftButton);  // left together with middle: mask 5
  EXPECT_TRUE(Hovered(*f)) << "left with middle held";
  l.rt.Release(forms::kLeftButton);  // still a click: the mail opens
  l.rt.Release(forms::kMiddleButton);
  EXPECT_TRUE(Hovered(*f));

  l.rt.Press(forms::kLeftButton);
  EXPECT_TRUE(Plain(*f));
  l.rt.Release(forms::kLeftButton);
  EXPECT_TRUE(Plain(*f)) << "the click does not change the look";
  EXPECT_EQ(l.CountStarts("mailto:kvd@example.com"), 2);
  // Moving on while over it makes it grey again.
  l.MoveOver(f->LabelFont);
  EXPECT_TRUE(Hovered(*f));
}

TEST_F(OpenLauncher, ClickNeedsPressAndReleaseOnTheLabel) {
  l.MoveOver(f->LabelFont);
  l.rt.Press(forms::kLeftButton);
  MoveOverArtwork();
  l.rt.Release(forms::kLeftButton);
  MoveOverArtwork();
  l.rt.Press(forms::kLeftButton);
  l.MoveOver(f->LabelFont);
  l.rt.Release(forms::kLeftButton);
  l.rt.Press(forms::kRightButton);
  l.rt.Release(forms::kRightButton);
  EXPECT_EQ(l.CountStarts("mailto:kvd@example.com"), 0);
}

// Only the left button's release ends a left press: pressing and releasing
// the right one over the pressed button makes no click, and the press goes
// on until the left one is released elsewhere.
TEST_F(OpenLauncher, ARightReleaseNeverCompletesALeftPress) {
  l.MoveOver(f->CmdExit);
  l.rt.Press(forms::kLeftButton);
  l.rt.Press(forms::kRightButton);
  l.rt.Release(forms::kRightButton);
  EXPECT_EQ(l.rt.shown_pressed(), &f->CmdExit);
  MoveOverArtwork();
  l.rt.Release(forms::kLeftButton);
  EXPECT_TRUE(l.rt.questions.empty());
}

TEST_F(OpenLauncher, FromTheLabelStraightOntoAButtonStaysGrey) {
  l.MoveOver(f->LabelFont);
  l.MoveOver(f->CmdExit);
  EXPECT_TRUE(Hovered(*f));
  MoveOverArtwork();
  EXPECT_TRUE(Plain(*f));
}

// A disabled button is transparent to the pointer: moving over it is moving
// over the artwork.
TEST_F(OpenLauncher, ADisabledButtonIsPartOfTheArtwork) {
  ASSERT_FALSE(f->CmdOK.Enabled);
  l.MoveOver(f->LabelFont);
  l.MoveOver(f->CmdOK);
  EXPECT_TRUE(Plain(*f));
  l.rt.Advance(15000);
  l.MoveOver(f->LabelFont);
  l.MoveOver(f->CmdOK);
  EXPECT_TRUE(Hovered(*f)) << "an enabled button takes the pointer itself";
}

TEST_F(OpenLauncher, TheLabelsHitAreaIsItsCaption) {
  const auto r = l.rt.RectOf(f->LabelFont);
  EXPECT_EQ(r.left, 249);  // 248 on the artwork, inside the one-pixel border
  EXPECT_EQ(r.top, 153);
  EXPECT_EQ(r.right - r.left, 132);
  EXPECT_EQ(r.bottom - r.top, 12);
  EXPECT_EQ(l.rt.ControlAt(r.left, r.top), &f->LabelFont);
  EXPECT_EQ(l.rt.ControlAt(r.right - 1, r.bottom - 1), &f->LabelFont);
  EXPECT_EQ(l.rt.ControlAt(r.right, r.top), &f->PicForm);
  EXPECT_EQ(l.rt.ControlAt(r.left - 1, r.top), &f->PicForm);
  EXPECT_EQ(l.rt.ControlAt(r.left, r.bottom), &f->PicForm);
}

TEST_F(OpenLauncher, UnderlineBelongsToTheLabelsOwnFont) {
  l.MoveOver(f->LabelFont);
  EXPECT_FALSE(f->CmdOK.Font.Underline);
  EXPECT_FALSE(f->CmdExit.Font.Underline);
  EXPECT_FALSE(f->Window.Font.Underline);
  EXPECT_FALSE(f->PicForm.Font.Underline);
  EXPECT_EQ(f->CmdExit.ForeColor.Get(), 0u);
}

// What a screen reader finds on the picture: the label as a link, where it
// is drawn, and never focusable, since a label never holds the focus.
TEST_F(OpenLauncher, ScreenReaderFindsTheLabelAsALink) {
  const forms::AccessiblePicture picture(f->PicForm);
  const forms::PixelGrid grid{96};
  EXPECT_EQ(picture.Name(), "安装Keyvandor");
  ASSERT_EQ(picture.Links(), std::vector<forms::Control*>{&f->LabelFont});
  const auto [x, y] = l.CentreOf(f->LabelFont);
  EXPECT_EQ(picture.LinkAt({grid.Twips(x), grid.Twips(y)}), 1);
  EXPECT_EQ(picture.LinkAt({grid.Twips(20), grid.Twips(200)}), 0);
  const forms::AccessibleLink link = picture.Describe(f->LabelFont, grid);
  EXPECT_EQ(link.name, "E-Mail:kvd@example.com");
  EXPECT_EQ(link.value, "mailto:kvd@example.com");
  EXPECT_EQ(link.states, forms::kAccessibleLinked);
  EXPECT_EQ(link.rect.left, l.rt.RectOf(f->LabelFont).left);
  f->LabelFont.Enabled = false;
  f->LabelFont.Visible = false;
  EXPECT_EQ(picture.Describe(f->LabelFont, grid).states,
            forms::kAccessibleLinked | forms::kAccessibleUnavailable | forms::kAccessibleInvisible);
}

}  // namespace
