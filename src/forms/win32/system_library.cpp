#include "forms/win32/system_library.h"

#include <string>

namespace forms::win32 {

// Systems without the search flag (an early Windows 7 without its update)
// get the full path instead.
HMODULE LoadSystemLibrary(const wchar_t* name) {
  if (HMODULE module = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
  wchar_t folder[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return ::LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str());
}

}  // namespace forms::win32
