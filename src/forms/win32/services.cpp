// The desktop's services: the question box, the shell's open service, the
// program's own folder and the screen.
#include "forms/win32/shell_start.h"
#include "forms/win32/shell_thread.h"
#include "forms/win32/system_calls.h"
#include "forms/win32/text.h"
#include "forms/win32/win32_runtime.h"
#include "shell/program_folder.h"

namespace forms::win32 {

int Win32Runtime::MsgBox(Form& owner, const std::string& prompt, int style, const std::string& title) {
  return ::MessageBoxW(WindowOf(owner), Widen(prompt).c_str(), Widen(title).c_str(), static_cast<UINT>(style));
}

// Handed to the shell's thread, made on the first request (during Load): the
// window's thread goes on at once, and the requests start in the order given,
// from the moment the window has first shown.
int Win32Runtime::ShellStart(const ShellRequest& request) {
  if (!shell_thread_)
    shell_thread_ = std::make_unique<ShellThread>([this](const ShellRequest& r) { PerformShellStart(r); }, !tree_.Shown());
  shell_thread_->HandOver(request);
  return kShellHandedOver;
}

int Win32Runtime::PerformShellStart(const ShellRequest& request) { return StartWithShell(request); }

void Win32Runtime::FinishShellStarts() {
  if (shell_thread_) shell_thread_->Finish();
}

// The folder of the running program, however long its path, in its
// ordinary absolute form ("" when it has none).
std::string Win32Runtime::AppFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = Calls().module_file_name(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return shell::ProgramFolder(Narrow(path));
}

ScreenInfo Win32Runtime::Screen() {
  return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), Dpi()};
}

}  // namespace forms::win32
