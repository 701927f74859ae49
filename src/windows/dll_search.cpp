#include "windows/dll_search.h"

#include <windows.h>

#include <initializer_list>

#include "windows/system_library.h"

namespace windows {

// DLLs loaded at run time come from System32 only on Windows 8, or on Vista
// and 7 with their update. Older systems at least drop the current folder
// from the search (XP SP1 and later); Windows 2000 has neither call, and
// there every DLL the launcher loads itself is loaded by its full path
// (LoadSystemLibrary). (Wine's user32 also imports version.dll, which
// Windows' does not: under Wine a version.dll beside the program is taken
// before this runs.)
void LoadLibrariesFromSystemOnly() {
  BOOL(WINAPI * set_default_directories)(DWORD) = nullptr;
  FindOptionalFunction("kernel32.dll", "SetDefaultDllDirectories", set_default_directories);
  if (set_default_directories == nullptr || !set_default_directories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    BOOL(WINAPI * set_dll_directory)(const wchar_t*) = nullptr;
    FindOptionalFunction("kernel32.dll", "SetDllDirectoryW", set_dll_directory);
    if (set_dll_directory != nullptr) set_dll_directory(L"");
  }
  // Without the search flags the program's folder is still searched first,
  // also for the DLLs the window system loads for us and for their imports
  // (common controls 6 comes from the side-by-side store by full path, its
  // imports by name): these are loaded from System32 now, so that a later
  // load by name finds them among the loaded modules, which the loader
  // looks at before any folder. (msimg32 follows just before the first
  // button: LoadCommonControlsImportsFromSystem.)
  for (const wchar_t* name : {L"uxtheme.dll", L"version.dll"}) LoadSystemLibrary(name);
}

void LoadCommonControlsImportsFromSystem() { LoadSystemLibrary(L"msimg32.dll"); }

}  // namespace windows
