// Setup.exe: the launcher window and nothing else. It creates the window from
// its definition, shows it and runs until the window is unloaded.
#include <windows.h>

#include <cstdio>

#include "forms/error.h"
#include "forms/win32/win32_runtime.h"
#include "launcher/FrmSetup.h"
#include "shell/shell_service.h"
#include "shell/win32/desktop_shell.h"
#include "windows/dll_search.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  windows::LoadLibrariesFromSystemOnly();
  int status = 1;
  forms::Guard(
      [&status] {
        // The shell's starts wait for the window to show, and are all
        // performed before its windows go: at the end, and after a failure.
        // (The shell and COM are set up by the thread that starts them.)
        shell::win32::DesktopShell desktop_shell;
        const shell::UseShellService use_shell(desktop_shell);
        forms::win32::Win32Runtime runtime;
        runtime.Attach({[&desktop_shell] { desktop_shell.Release(); }, [&desktop_shell] { desktop_shell.Finish(); }});
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
