#include "forms/win32/shell_start.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "forms/win32/text.h"

namespace forms::win32 {

// Every text is passed, an empty one as "" rather than as no text.
int StartWithShell(const ShellRequest& request) {
  const std::wstring verb = Widen(request.verb);
  const std::wstring file = Widen(request.file);
  const std::wstring parameters = Widen(request.parameters);
  const std::wstring directory = Widen(request.directory);
  const HINSTANCE result = ::ShellExecuteW(reinterpret_cast<HWND>(request.owner), verb.c_str(), file.c_str(),
                                           parameters.c_str(), directory.c_str(), request.show);
  return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}

}  // namespace forms::win32
