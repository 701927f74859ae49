#include "forms/win32/shell_start.h"

#include <windows.h>
// After windows.h, which they need.
#include <shellapi.h>

#include <string>

#include "forms/win32/system_library.h"
#include "forms/win32/text.h"

namespace forms::win32 {
namespace {

constexpr int kNotFound = 2;  // the shell's own "file not found"

// The form of a path that the file functions take at any length.
std::wstring Extended(const std::wstring& path) {
  if (path.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + path.substr(2);
  return L"\\\\?\\" + path;
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(Extended(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The 8.3 form of an existing path, without the long-path prefix; "" when
// the volume has none to give.
std::wstring ShortForm(const std::wstring& path) {
  const std::wstring extended = Extended(path);
  std::wstring out(extended.size() + 1, L'\0');
  const DWORD length = ::GetShortPathNameW(extended.c_str(), out.data(), static_cast<DWORD>(out.size()));
  if (length == 0 || length >= out.size()) return {};
  out.resize(length);
  if (out.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + out.substr(8);
  if (out.starts_with(L"\\\\?\\")) return out.substr(4);
  return out;
}

// Some shells expand %NAME% in the file and folder they are given even when
// not asked to (Wine does), which would start a program of another folder:
// a text with two percent signs is never handed over as it is.
bool CouldBeReread(const std::wstring& text) { return text.find(L'%') != text.rfind(L'%'); }

// Restores the program's current folder when it goes.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::wstring& folder) {
    const DWORD length = ::GetCurrentDirectoryW(0, nullptr);
    previous_.resize(length);
    previous_.resize(::GetCurrentDirectoryW(length, previous_.data()));
    entered_ = ::SetCurrentDirectoryW(folder.c_str()) != 0;
  }
  ~CurrentFolder() { ::SetCurrentDirectoryW(previous_.c_str()); }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;
  bool Entered() const noexcept { return entered_; }

 private:
  std::wstring previous_;
  bool entered_ = false;
};

// The shell, loaded by the first start (on the shell's thread, after the
// window shows); later starts find it loaded.
decltype(::ShellExecuteExW)* ShellExecuteFunction() {
  decltype(::ShellExecuteExW)* execute = nullptr;
  FindFunction(LoadSystemLibrary(L"shell32.dll"), "ShellExecuteExW", execute);
  return execute;
}

// One call of the shell. It completes the start before returning (the
// launcher may end right after), and a failed start shows nothing.
int Execute(const ShellRequest& request, const std::wstring& file, const std::wstring& directory) {
  const std::wstring verb = Widen(request.verb);
  const std::wstring parameters = Widen(request.parameters);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.hwnd = reinterpret_cast<HWND>(request.owner);
  info.lpVerb = verb.c_str();
  info.lpFile = file.c_str();
  info.lpParameters = parameters.c_str();  // "" rather than no text
  info.lpDirectory = directory.c_str();
  info.nShow = request.show;
  const auto execute = ShellExecuteFunction();
  if (execute == nullptr) return kNotFound;
  execute(&info);
  return static_cast<int>(reinterpret_cast<INT_PTR>(info.hInstApp));
}

}  // namespace

// A program in the application folder is started from there and from
// nowhere else, whatever the folder's name or length: as it is where that is
// safe; else by its name relative to the folder, made the current one; else
// in its 8.3 form, plain or in the long-path form. A folder, or nothing,
// where the program should be starts nothing. Links go to the shell as they
// are.
int StartWithShell(const ShellRequest& request) {
  const std::wstring file = Widen(request.file);
  const std::wstring directory = Widen(request.directory);
  const std::wstring inside = directory.ends_with(L'\\') ? directory : directory + L'\\';
  if (directory.empty() || !file.starts_with(inside)) return Execute(request, file, directory);
  if (!IsFile(file)) return kNotFound;
  if (file.size() < MAX_PATH && !CouldBeReread(file)) return Execute(request, file, directory);

  int result = kNotFound;
  const std::wstring relative = L".\\" + file.substr(inside.size());
  if (file.size() < MAX_PATH && !CouldBeReread(relative)) {
    const CurrentFolder here(directory);
    if (here.Entered()) result = Execute(request, relative, L".");
  }
  if (result > 32) return result;
  const std::wstring short_file = ShortForm(file);
  const std::wstring short_directory = ShortForm(directory);
  if (short_file.empty() || short_file.size() >= MAX_PATH || short_directory.empty() || CouldBeReread(short_file) ||
      CouldBeReread(short_directory))
    return result;
  result = Execute(request, short_file, short_directory);
  // Some process creators (Wine's) turn an 8.3 path back into its long form
  // first, and then find it too long; in the long-path form they take it as
  // it is.
  if (result <= 32) result = Execute(request, Extended(short_file), short_directory);
  return result;
}

}  // namespace forms::win32
