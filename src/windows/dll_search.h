#pragma once
// Which DLLs the launcher lets load, and from where. It runs from removable
// media or a download folder, where a planted DLL must never be loaded in
// place of a system one.

namespace windows {

// DLLs loaded at run time come from the system folder only, and those that
// the window system loads for the program by name are loaded from there
// first. The first code the program runs: before it Windows has loaded only
// the program's imports, known DLLs that it takes from the system folder.
void LoadLibrariesFromSystemOnly();

// Before the first button: common controls 6, which the first button loads,
// imports msimg32, which the loader would look for beside the launcher first.
// Loaded from the system folder now, the import finds it loaded.
void LoadCommonControlsImportsFromSystem();

}  // namespace windows
