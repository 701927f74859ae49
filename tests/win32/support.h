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
#include "shell/shell_service.h"
#include "shell/win32/desktop_shell.h"

namespace kvd_test {

// Requests are recorded as the window's thread issues them (with whether
// the window was on screen), then handed to the shell's thread, which notes
// the thread it performs each one on instead of starting anything.
class RecordingShell : public shell::win32::DesktopShell {
 public:
  ~RecordingShell() override { Finish(); }
  void HandOver(const shell::ShellRequest& request) override {
    requests.push_back(request);
    shown_at_request.push_back(IsWindowVisible(reinterpret_cast<HWND>(request.owner)) != FALSE);
    DesktopShell::HandOver(request);
  }
  std::vector<shell::ShellRequest> requests;
  std::vector<bool> shown_at_request;
  std::vector<DWORD> performed_on;  // read after Finish()
  bool real = false;                // the shell starts them

 protected:
  void Perform(const shell::ShellRequest& request) override {
    performed_on.push_back(GetCurrentThreadId());  // one at a time, on the shell's thread
    if (real) DesktopShell::Perform(request);
  }
};

// The shell comes first and goes last: the runtime completes its starts
// before the windows go.
struct WithRecordingShell {
  RecordingShell shell;
  shell::UseShellService use_shell{shell};
};

// A runtime with its shell attached, as Setup.exe has it, that answers
// questions from the script without a box or, with real_question, shows the
// real one (while_asking runs first either way).
class RecordingRuntime : public WithRecordingShell,
                         public forms::win32::Win32Runtime,
                         public forms::headless::ScriptedAnswers {
 public:
  explicit RecordingRuntime(forms::win32::Options options = {}) : Win32Runtime(options) {
    Attach({[this] { shell.Release(); }, [this] { shell.Finish(); }});
  }
  int MsgBox(forms::Form& owner, const std::string& prompt, int style, const std::string& title) override {
    ++questions;
    if (!real_question) return NextAnswer();
    if (while_asking) std::exchange(while_asking, nullptr)();
    return Win32Runtime::MsgBox(owner, prompt, style, title);
  }
  bool real_question = false;
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
