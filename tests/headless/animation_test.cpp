#include <gtest/gtest.h>

#include "forms/headless/headless_runtime.h"
#include "launcher/FrmSetup.h"

TEST(Smoke, Opens) {
  forms::headless::HeadlessRuntime rt;
  launcher::FrmSetup frm(rt);
  frm.Show();
  rt.Advance(1000);
  EXPECT_EQ(frm.Window.Width.Get(), 7245.0f);
  EXPECT_EQ(frm.Window.Height.Get(), 3900.0f);
  EXPECT_EQ(rt.shell_requests.size(), 2u);
}
