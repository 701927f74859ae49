#include "shell/win32/shell_start.h"

#include <windows.h>
// After windows.h, which they need.
#include <shellapi.h>

#include <string>

#include "shell/program_folder.h"
#include "shell/start_plan.h"
#include "windows/system_calls.h"
#include "windows/text.h"

namespace shell::win32 {
namespace {

constexpr int kNotFound = 2;  // the shell's own "file not found"

// The file system as the start plan sees it, asked in the long-path form so
// that no length is too long.
class SystemFiles : public FileSystemView {
 public:
  PathKind KindOf(const std::string& path) const override {
    const DWORD attributes = windows::Calls().file_attributes(windows::Widen(LongPathForm(path)).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::kMissing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::kFolder : PathKind::kFile;
  }
  std::string ShortForm(const std::string& path) const override {
    const std::wstring extended = windows::Widen(LongPathForm(path));
    std::wstring out(extended.size() + 1, L'\0');
    const DWORD length = windows::Calls().short_path_name(extended.c_str(), out.data(), static_cast<DWORD>(out.size()));
    if (length == 0 || length >= out.size()) return {};
    out.resize(length);
    return windows::Narrow(out);
  }
};

// Restores the program's current folder when it goes.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::wstring& folder) {
    const DWORD length = windows::Calls().current_directory(0, nullptr);
    previous_.resize(length);
    previous_.resize(windows::Calls().current_directory(length, previous_.data()));
    entered_ = windows::Calls().set_current_directory(folder.c_str()) != 0;
  }
  ~CurrentFolder() { windows::Calls().set_current_directory(previous_.c_str()); }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;
  bool Entered() const noexcept { return entered_; }

 private:
  std::wstring previous_;
  bool entered_ = false;
};

// One call of the shell. It completes the start before returning (the
// launcher may end right after), and a failed start shows nothing.
int Execute(const ShellRequest& request, const StartAttempt& attempt) {
  const std::wstring verb = windows::Widen(request.verb);
  const std::wstring file = windows::Widen(attempt.file);
  const std::wstring parameters = windows::Widen(request.parameters);
  const std::wstring directory = windows::Widen(attempt.directory);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.hwnd = reinterpret_cast<HWND>(request.owner);
  info.lpVerb = verb.c_str();
  info.lpFile = file.c_str();
  info.lpParameters = parameters.c_str();  // "" rather than no text
  info.lpDirectory = directory.c_str();
  info.nShow = request.show;
  // The shell is loaded by the first start (on the shell's thread, after the
  // window shows); later starts find it loaded.
  windows::Calls().shell_execute(&info);
  return static_cast<int>(reinterpret_cast<INT_PTR>(info.hInstApp));
}

}  // namespace

// Each attempt of the plan in turn, until the shell reports a start (a
// result above 32). An attempt whose folder cannot be made current is not
// made. No attempt at all (nothing to start): the shell's "not found".
int StartWithShell(const ShellRequest& request) {
  int result = kNotFound;
  for (const StartAttempt& attempt : PlanStart(request.directory, request.file, SystemFiles{})) {
    if (attempt.current_folder.empty()) {
      result = Execute(request, attempt);
    } else {
      const CurrentFolder here(windows::Widen(attempt.current_folder));
      if (!here.Entered()) continue;
      result = Execute(request, attempt);
    }
    if (result > 32) break;
  }
  return result;
}

}  // namespace shell::win32
