#include "shell/win32/desktop_shell.h"

#include "shell/program_folder.h"
#include "shell/win32/shell_start.h"
#include "shell/win32/shell_thread.h"
#include "windows/system_calls.h"
#include "windows/text.h"

namespace shell::win32 {

DesktopShell::DesktopShell() = default;

// Performs what was handed over, then the shell's thread ends.
DesktopShell::~DesktopShell() = default;

std::string DesktopShell::AppFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = windows::Calls().module_file_name(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return ProgramFolder(windows::Narrow(path));
}

// The window's thread goes on at once.
void DesktopShell::HandOver(const ShellRequest& request) {
  if (!thread_) thread_ = std::make_unique<ShellThread>([this](const ShellRequest& r) { Perform(r); }, !released_);
  thread_->HandOver(request);
}

void DesktopShell::Release() {
  released_ = true;
  if (thread_) thread_->Release();
}

void DesktopShell::Finish() {
  if (thread_) thread_->Finish();
}

void DesktopShell::Perform(const ShellRequest& request) { StartWithShell(request); }

}  // namespace shell::win32
