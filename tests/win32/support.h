#pragma once
// What the window tests share: a runtime that records shell starts and
// answers questions without showing a box, message pumping with generous
// bounds, pixel capture through the paint function, and GDI object counts.
#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "forms/headless/scripted_answers.h"
#include "forms/picture/pixels.h"
#include "forms/win32/win32_runtime.h"
#include "launcher/FrmSetup.h"

namespace kvd_test {

// Requests are recorded as the window's thread issues them (with whether
// the window was on screen), then handed to the shell's thread, which notes
// the thread it performs each one on instead of starting anything.
class RecordingRuntime : public forms::win32::Win32Runtime, public forms::headless::ScriptedAnswers {
 public:
  using Win32Runtime::Win32Runtime;
  ~RecordingRuntime() override { FinishShellStarts(); }
  int ShellStart(const forms::ShellRequest& request) override {
    shell_requests.push_back(request);
    shown_at_request.push_back(IsWindowVisible(reinterpret_cast<HWND>(request.owner)) != FALSE);
    return Win32Runtime::ShellStart(request);
  }
  // Records the thread each start runs on; with real_shell, the shell starts it.
  int PerformShellStart(const forms::ShellRequest& request) override {
    performed_on.push_back(GetCurrentThreadId());  // one at a time, on the shell's thread
    return real_shell ? Win32Runtime::PerformShellStart(request) : 42;
  }
  // Answers from the script without a box, or, with real_question, shows
  // the real one; while_asking runs first either way.
  int MsgBox(forms::Form& owner, const std::string& prompt, int style, const std::string& title) override {
    ++questions;
    if (!real_question) return NextAnswer();
    if (while_asking) std::exchange(while_asking, nullptr)();
    return Win32Runtime::MsgBox(owner, prompt, style, title);
  }
  std::vector<forms::ShellRequest> shell_requests;
  std::vector<bool> shown_at_request;
  std::vector<DWORD> performed_on;  // read after FinishShellStarts()
  bool real_question = false;
  bool real_shell = false;
  int questions = 0;
};

// The launcher window shown on a runtime of its own.
struct Launcher {
  explicit Launcher(int dpi = 0);
  // Pumps messages until the opening animation has finished.
  void Open();
  HWND Window() const { return runtime->WindowOf(frm->Window); }
  HWND Picture() const { return runtime->WindowOf(frm->PicForm); }
  HWND Button(const forms::Control& button) const { return runtime->WindowOf(button); }

  std::unique_ptr<RecordingRuntime> runtime;
  std::unique_ptr<launcher::FrmSetup> frm;
};

// Pumps messages until done() or the bound passes; returns done().
bool PumpUntil(forms::win32::Win32Runtime& runtime, const std::function<bool()>& done, DWORD bound_ms = 20000);

// A 32-bit top-down image, 0x00RRGGBB per pixel.
using Image = forms::picture::Pixels;

// What the window's paint function draws, through WM_PRINTCLIENT.
Image CaptureClient(HWND window);
// A BMP file from the assets folder.
Image ReadBmp(const char* path);
inline std::uint32_t Rgb(COLORREF c) { return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c); }

// Live GDI objects of this process (GetGuiResources answers 0 under Wine).
int LiveGdiObjects();
// Windows of this thread, children included.
int ThreadWindows();

// Pointer and keyboard messages as the window system sends them.
void MoveTo(HWND window, int x, int y, WPARAM keys = 0);
void PressKey(forms::win32::Win32Runtime& runtime, WPARAM key, wchar_t typed = 0);

}  // namespace kvd_test
