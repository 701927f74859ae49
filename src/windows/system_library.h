#pragma once
// System DLLs and functions the launcher finds at run time, the one place
// that does. Two kinds:
// - the shell, COM and the screen-reader support, which every supported
//   system has: loaded only when first needed, so that start-up does not
//   pay for them (FindFunction);
// - functions that older systems lack (FindOptionalFunction): each has a
//   fallback, so that their absence never stops the launcher.
// tools/floor/run-time-functions.txt lists every name looked up here, with
// the oldest system that has it and what the launcher does without it; the
// file check of Setup.exe holds the program to that list.
// DLLs come from the system folder only: the launcher runs from media and
// download folders, where a planted copy must never be loaded instead.
#include <windows.h>
// After windows.h: IUnknown.
#include <unknwn.h>

namespace windows {

// nullptr when the system has no such library.
HMODULE LoadSystemLibrary(const wchar_t* name);

// Whether LoadLibraryExW knows the LOAD_LIBRARY_SEARCH_* flags. Windows 8
// does; Vista and 7 only with the update KB2533623, which brought
// AddDllDirectory with the flags: that export is how to tell.
bool SystemHasSearchFlags();

namespace detail {
FARPROC Export(HMODULE module, const char* name);
FARPROC OptionalExport(const char* loaded_module, const char* name);
}  // namespace detail

// Sets `function` to the library's export of that name, or to nullptr.
template <class Function>
void FindFunction(HMODULE module, const char* name, Function*& function) {
  // Through the generic function type: the signatures differ.
  function = reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(detail::Export(module, name)));
}

// The same for a function of a module the program has loaded already
// (kernel32, user32) that older systems do not have: nullptr there.
template <class Function>
void FindOptionalFunction(const char* loaded_module, const char* name, Function*& function) {
  function = reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(detail::OptionalExport(loaded_module, name)));
}

// COM of the system folder's ole32, loaded by each thread that sets it up
// for itself (the shell's thread, the screen reader's object); every
// pointer is null where it cannot be had.
struct ComFunctions {
  HRESULT(WINAPI* initialize)(void* reserved, DWORD model) = nullptr;
  void(WINAPI* uninitialize)() = nullptr;
  HRESULT(WINAPI* disconnect)(IUnknown* object, DWORD reserved) = nullptr;

  bool Ready() const noexcept { return initialize != nullptr && uninitialize != nullptr && disconnect != nullptr; }
};
ComFunctions LoadCom();

}  // namespace windows
