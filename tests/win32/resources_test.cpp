// Long use of the e-mail link must not leak: the label's font is made again
// whenever its underline changes, and every click asks the shell once.
#include <gtest/gtest.h>

#include <string>

#include "support.h"

namespace kvd_test {
namespace {

TEST(Resources, GdiAndUserObjectsStayFlatOverHoverAndClicks) {
  Launcher launcher;
  launcher.Open();
  auto& runtime = *launcher.runtime;
  const HWND picture = launcher.Picture();
  const RECT label = runtime.PixelRect(launcher.frm->LabelFont);
  const int lx = label.left + 4, ly = label.top + 4;
  const auto hover_cycle = [&] {
    MoveTo(picture, lx, ly);
    UpdateWindow(picture);  // paints with the underlined font
    SendMessageW(picture, WM_SETCURSOR, reinterpret_cast<WPARAM>(picture), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    MoveTo(picture, 20, 20);
    UpdateWindow(picture);
  };
  const auto click = [&] {
    MoveTo(picture, lx, ly);
    SendMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(lx, ly));
    SendMessageW(picture, WM_LBUTTONUP, 0, MAKELPARAM(lx, ly));
    UpdateWindow(picture);
  };
  hover_cycle();
  click();
  runtime.ProcessMessages(0);
  const int gdi_before = LiveGdiObjects();
  const int windows_before = ThreadWindows();
  const HCURSOR cursor = runtime.LinkCursor();
  const std::size_t clicks_before = runtime.shell_requests.size();

  for (int i = 0; i < 1000; ++i) hover_cycle();
  for (int i = 0; i < 1000; ++i) click();
  runtime.ProcessMessages(0);

  EXPECT_EQ(LiveGdiObjects(), gdi_before);
  EXPECT_EQ(ThreadWindows(), windows_before);
  EXPECT_EQ(runtime.LinkCursor(), cursor);
  EXPECT_EQ(runtime.shell_requests.size(), clicks_before + 1000);
}

// The real question box and real shell starts leave nothing behind either.
// Each question is answered Cancel as soon as it shows.
BOOL CALLBACK CancelIfQuestion(HWND window, LPARAM) {
  wchar_t title[32] = {};
  GetWindowTextW(window, title, 32);
  if (std::wstring(title) == L"退出询问") PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
  return TRUE;
}
void CALLBACK AnswerCancel(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), CancelIfQuestion, 0); }

TEST(Resources, RealQuestionsAndShellStartsStayFlat) {
  Launcher launcher;
  launcher.Open();
  auto& runtime = *launcher.runtime;
  runtime.real_question = runtime.real_shell = true;
  const UINT_PTR answerer = SetTimer(nullptr, 0, 5, AnswerCancel);
  auto& frm = *launcher.frm;
  const auto ask = [&frm] { frm.Window.Deliver([&frm] { frm.CmdExit_Click(); }); };
  const auto mail = [&frm] { frm.Window.Deliver([&frm] { frm.LabelFont_Click(); }); };
  ask();
  mail();
  runtime.FinishShellStarts();
  runtime.ProcessMessages(100);
  const int gdi_before = LiveGdiObjects();
  const int windows_before = ThreadWindows();

  for (int i = 0; i < 100; ++i) ask();
  for (int i = 0; i < 100; ++i) mail();
  runtime.FinishShellStarts();
  runtime.ProcessMessages(100);
  KillTimer(nullptr, answerer);

  EXPECT_EQ(runtime.questions, 101);
  EXPECT_TRUE(frm.Window.IsLoaded());
  EXPECT_EQ(LiveGdiObjects(), gdi_before);
  EXPECT_EQ(ThreadWindows(), windows_before);
}

}  // namespace
}  // namespace kvd_test
