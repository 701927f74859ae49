// Setup.exe: the launcher window and nothing else. It creates the window from
// its definition, shows it and runs until the window is unloaded.
#include <windows.h>

#include <cstdio>

#include "forms/error.h"
#include "forms/win32/system_library.h"
#include "forms/win32/win32_runtime.h"
#include "launcher/FrmSetup.h"

namespace {

// The launcher runs from removable media or a download folder, where a
// planted DLL must never be loaded in place of a system one: DLLs loaded at
// run time come from System32 only (Windows 8, or Vista and 7 with their
// update). Older systems at least drop the current folder from the search
// (XP SP1 and later); Windows 2000 has neither call, and there every DLL the
// launcher loads itself is loaded by its full path (LoadSystemLibrary).
// This is the first code to run: before it Windows has loaded only the
// program's imports, known DLLs that it takes from System32. (Wine's user32
// also imports version.dll, which Windows' does not: under Wine a
// version.dll beside the program is taken before this runs.)
void LoadLibrariesFromSystemOnly() {
  BOOL(WINAPI * set_default_directories)(DWORD) = nullptr;
  forms::win32::FindOptionalFunction("kernel32.dll", "SetDefaultDllDirectories", set_default_directories);
  if (set_default_directories == nullptr || !set_default_directories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    BOOL(WINAPI * set_dll_directory)(const wchar_t*) = nullptr;
    forms::win32::FindOptionalFunction("kernel32.dll", "SetDllDirectoryW", set_dll_directory);
    if (set_dll_directory != nullptr) set_dll_directory(L"");
  }
  // Without the search flags the program's folder is still searched first,
  // also for the DLLs the window system loads for us and for their imports
  // (common controls 6 comes from the side-by-side store by full path, its
  // imports by name): these are loaded from System32 now, so that a later
  // load by name finds them among the loaded modules, which the loader
  // looks at before any folder. (msimg32, which common controls 6 imports,
  // is loaded by the window's backend just before the first button.)
  for (const wchar_t* name : {L"uxtheme.dll", L"version.dll"}) forms::win32::LoadSystemLibrary(name);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  LoadLibrariesFromSystemOnly();
  // The shell and COM are set up by the thread that starts the programs.
  int status = 1;
  forms::Guard(
      [&status] {
        forms::win32::Win32Runtime runtime;
        launcher::FrmSetup frm(runtime);
        frm.Show();
        status = runtime.Run();
      },
      [](const forms::RuntimeError& error) {
        // A failure outside any handler: the window could not be created.
        std::fprintf(stderr, "Setup: the window could not be created: %s\n", error.what());
      });
  return status;
}
