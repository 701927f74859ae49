#include "forms/win32/shell_start.h"

#include <windows.h>
// After windows.h, which they need.
#include <shellapi.h>

#include <string>

#include "forms/win32/system_calls.h"
#include "forms/win32/text.h"
#include "shell/program_folder.h"
#include "shell/start_plan.h"

namespace forms::win32 {
namespace {

constexpr int kNotFound = 2;  // the shell's own "file not found"

// The file system as the start plan sees it, asked in the long-path form so
// that no length is too long.
class SystemFiles : public shell::FileSystemView {
 public:
  shell::PathKind KindOf(const std::string& path) const override {
    const DWORD attributes = Calls().file_attributes(Widen(shell::LongPathForm(path)).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return shell::PathKind::kMissing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? shell::PathKind::kFolder : shell::PathKind::kFile;
  }
  std::string ShortForm(const std::string& path) const override {
    const std::wstring extended = Widen(shell::LongPathForm(path));
    std::wstring out(extended.size() + 1, L'\0');
    const DWORD length = Calls().short_path_name(extended.c_str(), out.data(), static_cast<DWORD>(out.size()));
    if (length == 0 || length >= out.size()) return {};
    out.resize(length);
    return Narrow(out);
  }
};

// Restores the program's current folder when it goes.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::wstring& folder) {
    const DWORD length = Calls().current_directory(0, nullptr);
    previous_.resize(length);
    previous_.resize(Calls().current_directory(length, previous_.data()));
    entered_ = Calls().set_current_directory(folder.c_str()) != 0;
  }
  ~CurrentFolder() { Calls().set_current_directory(previous_.c_str()); }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;
  bool Entered() const noexcept { return entered_; }

 private:
  std::wstring previous_;
  bool entered_ = false;
};

// One call of the shell. It completes the start before returning (the
// launcher may end right after), and a failed start shows nothing.
int Execute(const ShellRequest& request, const shell::StartAttempt& attempt) {
  const std::wstring verb = Widen(request.verb);
  const std::wstring file = Widen(attempt.file);
  const std::wstring parameters = Widen(request.parameters);
  const std::wstring directory = Widen(attempt.directory);
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
  Calls().shell_execute(&info);
  return static_cast<int>(reinterpret_cast<INT_PTR>(info.hInstApp));
}

}  // namespace

// Each attempt of the plan in turn, until the shell reports a start (a
// result above 32). An attempt whose folder cannot be made current is not
// made. No attempt at all (nothing to start): the shell's "not found".
int StartWithShell(const ShellRequest& request) {
  int result = kNotFound;
  for (const shell::StartAttempt& attempt : shell::PlanStart(request.directory, request.file, SystemFiles{})) {
    if (attempt.current_folder.empty()) {
      result = Execute(request, attempt);
    } else {
      const CurrentFolder here(Widen(attempt.current_folder));
      if (!here.Entered()) continue;
      result = Execute(request, attempt);
    }
    if (result > 32) break;
  }
  return result;
}

}  // namespace forms::win32
