#pragma once
// System DLLs the launcher loads only when it first needs them (the shell,
// COM, the screen-reader support), so that start-up does not pay for them.
// They come from the system folder only: the launcher runs from media and
// download folders, where a planted copy must never be loaded instead.
#include <windows.h>

namespace forms::win32 {

// nullptr when the system has no such library.
HMODULE LoadSystemLibrary(const wchar_t* name);

// Sets `function` to the library's export of that name, or to nullptr.
template <class Function>
void FindFunction(HMODULE module, const char* name, Function*& function) {
  const FARPROC found = module != nullptr ? ::GetProcAddress(module, name) : nullptr;
  // Through the generic function type: the signatures differ.
  function = reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(found));
}

}  // namespace forms::win32
