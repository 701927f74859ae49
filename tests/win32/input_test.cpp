// Pointer and keyboard on real windows: the e-mail label's hit area, its
// pointer and its click; the keys that move the focus and press buttons; a
// close request from the window system.
#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>

#include "support.h"

namespace kvd_test {
namespace {

constexpr forms::Color kGrey = 0x808080;

bool Hovered(const launcher::FrmSetup& frm) {
  return frm.LabelFont.Font.Underline.Get() && frm.LabelFont.ForeColor.Get() == kGrey;
}
bool Plain(const launcher::FrmSetup& frm) {
  return !frm.LabelFont.Font.Underline.Get() && frm.LabelFont.ForeColor.Get() == 0;
}

class OpenLauncher : public ::testing::Test {
 protected:
  void SetUp() override {
    launcher.Open();
    label = launcher.runtime->PixelRect(launcher.frm->LabelFont);
  }
  Launcher launcher;
  RECT label{};
};

TEST_F(OpenLauncher, LabelTakesThePointerExactlyInsideItsRectangle) {
  const HWND picture = launcher.Picture();
  const auto& frm = *launcher.frm;
  ASSERT_EQ(label.left, 1 + 248);
  ASSERT_EQ(label.top, 1 + 152);
  ASSERT_GT(label.right - label.left, 100);  // "E-Mail:" and the address on one line

  MoveTo(picture, label.left, label.top);
  EXPECT_TRUE(Hovered(frm));
  MoveTo(picture, label.left - 1, label.top);
  EXPECT_TRUE(Plain(frm));
  MoveTo(picture, label.right - 1, label.bottom - 1);
  EXPECT_TRUE(Hovered(frm));
  MoveTo(picture, label.right, label.bottom - 1);
  EXPECT_TRUE(Plain(frm));
  MoveTo(picture, label.left + 5, label.bottom - 1);
  MoveTo(picture, label.left + 5, label.bottom);
  EXPECT_TRUE(Plain(frm));
}

TEST_F(OpenLauncher, PointerOverTheLabelIsTheLinkHandWithItsFingertipHotspot) {
  const HWND picture = launcher.Picture();
  const auto set_cursor_at = [picture](int x, int y) {
    POINT p{x, y};
    ClientToScreen(picture, &p);
    SetCursorPos(p.x, p.y);
    SendMessageW(picture, WM_SETCURSOR, reinterpret_cast<WPARAM>(picture), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  };
  const HCURSOR over_label = set_cursor_at(label.left + 3, label.top + 3);
  ASSERT_NE(over_label, nullptr);
  EXPECT_EQ(over_label, launcher.runtime->LinkCursor());
  EXPECT_EQ(set_cursor_at(label.left - 3, label.top + 3), LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_EQ(set_cursor_at(label.left + 10, label.top + 3), over_label);  // made once, used again

  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(over_label, &info));
  DeleteObject(info.hbmMask);
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  EXPECT_FALSE(info.fIcon);
  unsigned x = 99, y = 99;
  FILE* file = std::fopen(KVD_ASSETS "/link.ico.hotspot", "r");
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(std::fscanf(file, "%u %u", &x, &y), 2);
  std::fclose(file);
  EXPECT_EQ(info.xHotspot, x);
  EXPECT_EQ(info.yHotspot, y);
}

TEST_F(OpenLauncher, LabelClickIsALeftPressAndReleaseBothInsideIt) {
  const HWND picture = launcher.Picture();
  auto& runtime = *launcher.runtime;
  const auto& frm = *launcher.frm;
  const std::size_t before = runtime.shell_requests.size();
  const LPARAM inside = MAKELPARAM(label.left + 4, label.top + 4);

  MoveTo(picture, label.left + 4, label.top + 4);
  SendMessageW(picture, WM_RBUTTONDOWN, MK_RBUTTON, inside);  // button mask 2: no change
  EXPECT_TRUE(Hovered(frm));
  SendMessageW(picture, WM_RBUTTONUP, 0, inside);
  EXPECT_EQ(runtime.shell_requests.size(), before);

  SendMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, inside);
  EXPECT_TRUE(Plain(frm));
  EXPECT_EQ(GetCapture(), picture);
  SendMessageW(picture, WM_LBUTTONUP, 0, inside);
  ASSERT_EQ(runtime.shell_requests.size(), before + 1);
  EXPECT_EQ(runtime.shell_requests.back().file, "mailto:kvd@example.com");
  EXPECT_EQ(runtime.shell_requests.back().verb, "open");
  EXPECT_EQ(reinterpret_cast<HWND>(runtime.shell_requests.back().owner), launcher.Window());

  // Released off the label: no click.
  SendMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, inside);
  SendMessageW(picture, WM_LBUTTONUP, 0, MAKELPARAM(label.left - 2, label.top + 4));
  EXPECT_EQ(runtime.shell_requests.size(), before + 1);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST(Keyboard, TabEnterSpaceAndEscReachTheFocusedButtonOnce) {
  Launcher launcher;
  launcher.Open();
  auto& runtime = *launcher.runtime;
  auto& frm = *launcher.frm;
  ASSERT_EQ(GetFocus(), launcher.Picture());

  PressKey(runtime, VK_RETURN, L'\r');  // the picture box has no click
  PressKey(runtime, VK_ESCAPE, 0x1B);   // no cancel button
  EXPECT_EQ(runtime.questions, 0);

  PressKey(runtime, VK_TAB, L'\t');  // OK is still disabled
  EXPECT_EQ(GetFocus(), launcher.Button(frm.CmdExit));
  EXPECT_EQ(frm.Window.ActiveControl(), &frm.CmdExit);
  PressKey(runtime, VK_RETURN, L'\r');
  EXPECT_EQ(runtime.questions, 1);
  PressKey(runtime, VK_SPACE, L' ');
  EXPECT_EQ(runtime.questions, 2);
  PressKey(runtime, VK_ESCAPE, 0x1B);
  EXPECT_EQ(runtime.questions, 2);
  EXPECT_TRUE(runtime.ProcessMessages(0));  // both questions answered Cancel

  frm.CmdOK.Enabled = true;  // as TimePlay does
  PressKey(runtime, VK_TAB, L'\t');
  EXPECT_EQ(GetFocus(), launcher.Button(frm.CmdOK));
  const std::size_t before = runtime.shell_requests.size();
  PressKey(runtime, VK_SPACE, L' ');
  ASSERT_EQ(runtime.shell_requests.size(), before + 1);
  EXPECT_EQ(runtime.shell_requests.back().file.substr(runtime.shell_requests.back().file.size() - 14),
            "data\\data2.exe");
  EXPECT_FALSE(IsWindowEnabled(launcher.Button(frm.CmdOK)));
  EXPECT_FALSE(IsWindowEnabled(launcher.Button(frm.CmdExit)));
  EXPECT_EQ(GetFocus(), launcher.Picture());  // the focus left the disabled buttons
}

TEST(Close, CloseRequestUnloadsAtOnceWithoutTheQuestion) {
  Launcher launcher;
  auto& runtime = *launcher.runtime;
  const HWND window = launcher.Window();
  const std::size_t started = runtime.shell_requests.size();
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(PumpUntil(
      runtime, [&runtime] { return runtime.Ended(); }, 5000));
  EXPECT_EQ(runtime.ExitStatus(), 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(launcher.frm->Window.IsLoaded());
  EXPECT_EQ(runtime.questions, 0);
  EXPECT_EQ(runtime.shell_requests.size(), started);  // the speech program never starts
}

// Closing the hidden owner (a task list closing every window of the
// program) closes the launcher the same way, rather than leaving a process
// with no window.
TEST(Close, ClosingTheOwnerWindowUnloadsTheLauncher) {
  Launcher launcher;
  auto& runtime = *launcher.runtime;
  const HWND window = launcher.Window();
  const HWND owner = GetWindow(window, GW_OWNER);
  ASSERT_NE(owner, nullptr);
  PostMessageW(owner, WM_CLOSE, 0, 0);
  EXPECT_TRUE(PumpUntil(
      runtime, [&runtime] { return runtime.Ended(); }, 5000));
  EXPECT_EQ(runtime.ExitStatus(), 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(runtime.questions, 0);
}

TEST(Close, AWindowDestroyedFromOutsideIsUnloaded) {
  Launcher launcher;
  auto& runtime = *launcher.runtime;
  DestroyWindow(launcher.Window());
  EXPECT_TRUE(PumpUntil(
      runtime, [&runtime] { return runtime.Ended(); }, 5000));
  EXPECT_FALSE(launcher.frm->Window.IsLoaded());
  EXPECT_EQ(runtime.ExitStatus(), 0);
}

TEST(Close, AnUnhandledFailureEndsWithANonZeroStatus) {
  Launcher launcher;
  auto& runtime = *launcher.runtime;
  const HWND window = launcher.Window();
  launcher.frm->Window.Fail(std::runtime_error("test failure"));
  EXPECT_TRUE(PumpUntil(
      runtime, [&runtime] { return runtime.Ended(); }, 5000));
  EXPECT_NE(runtime.ExitStatus(), 0);
  EXPECT_FALSE(IsWindow(window));
}

}  // namespace
}  // namespace kvd_test
